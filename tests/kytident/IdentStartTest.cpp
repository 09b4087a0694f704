// The start up to the dialog: command line, block file, kyt.ini and the
// help-file probe, with the exit code when the program ends early.
#include "IdentStart.h"

#include "ErrorReporter.h"
#include "kytident/IdentTestSupport.h"

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class SinkRecorder : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int code) override { _exit(code); }
    std::vector<std::string> boxes;
};

class IdentStartTest : public IdentScratchTest {
protected:
    void SetUp() override
    {
        IdentScratchTest::SetUp();
        setErrorSink(&sink);
        disableErrorLog();
    }
    void TearDown() override
    {
        enableErrorLog();
        setErrorSink(nullptr);
        IdentScratchTest::TearDown();
    }
    bool start(const std::string& commandLine)
    {
        doc = IdentBlockData();
        return startIdentWizard(commandLine, dir, &doc, boxes.ask(), &exitCode);
    }
    SinkRecorder sink;
    BoxRecorder boxes;
    IdentBlockData doc;
    int exitCode = 0;
};

TEST_F(IdentStartTest, CommandLineNeedsTwoWords)
{
    for (const char* line : {"a", "", "a b c"}) {
        boxes = BoxRecorder();
        EXPECT_FALSE(start(line)) << line;
        EXPECT_EQ(-1, exitCode) << line;
        ASSERT_EQ(std::vector<unsigned int>{26985}, boxes.ids()) << line;
        EXPECT_EQ(IDENT_BOX_ERROR, boxes.shown[0].kind);
        EXPECT_EQ(26961u, boxes.shown[0].captionId);
        EXPECT_EQ("Falscher Wizardaufruf!\nSyntax: KYTIDENT Blockname Pfad", boxes.shown[0].text);
    }
}

// kyt quotes a Local directory with a blank; it arrives as one word.
TEST_F(IdentStartTest, QuotedDirectoryWithABlank)
{
    ASSERT_EQ(0, mkdir((dir + "/lokale Bl").c_str(), 0755));
    write("kyt.ini", "BINDIR = " + dir + ";\n");
    ASSERT_TRUE(start("w7 \"" + dir + "/lokale Bl\""));
    EXPECT_EQ("w7", doc.blockName);
    EXPECT_EQ(dir + "/lokale Bl", doc.directory);
    boxes = BoxRecorder();
    EXPECT_FALSE(start("w7 " + dir + "/lokale Bl"));
    EXPECT_EQ(std::vector<unsigned int>{26985}, boxes.ids());
}

TEST_F(IdentStartTest, NewBlockWithHelpFromHelpdir)
{
    ASSERT_EQ(0, mkdir((dir + "/hilfe").c_str(), 0755));
    write("hilfe/identhlp.txt", "Hilfe\n&1 zu G(&q)\n&0\nRLS\n");
    write("kyt.ini", "BINDIR = " + dir + ";\nHELPDIR = " + dir + "/hilfe;\n");
    ASSERT_TRUE(start("w7  " + dir));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_EQ("w7", doc.blockName);
    EXPECT_EQ(dir, doc.directory);
    EXPECT_EQ(dir + "/hilfe\\identhlp.txt", doc.helpPath);
    EXPECT_EQ('q', doc.shiftLetter);
    EXPECT_EQ(0, doc.algo);
    EXPECT_EQ(2, doc.denDeg);
}

TEST_F(IdentStartTest, KeptForeignBlockEndsWithNothingWritten)
{
    const std::string text = "BLOCK w1;\nENDBLOCK w1;\n";
    write("w1", text);
    boxes.answers = {false};
    EXPECT_FALSE(start("w1 " + dir));
    EXPECT_EQ(1, exitCode);
    EXPECT_EQ(std::vector<unsigned int>{26982}, boxes.ids());
    EXPECT_EQ(text, read(dir + "/w1"));
}

TEST_F(IdentStartTest, MissingIniAndHelpAreToldAndTheDialogOpens)
{
    ASSERT_TRUE(start("w1 " + dir));
    ASSERT_EQ(1u, sink.boxes.size());
    EXPECT_NE(std::string::npos, sink.boxes[0].find("Die Datei " + dir + "\\kyt.ini wurde nicht gefunden!"))
        << sink.boxes[0];
    ASSERT_EQ(std::vector<unsigned int>{26986}, boxes.ids());
    EXPECT_EQ(IDENT_BOX_NOTICE, boxes.shown[0].kind);
    EXPECT_EQ(26961u, boxes.shown[0].captionId);
    EXPECT_EQ(dir + "\\identhlp.txt", doc.helpPath);
    EXPECT_EQ('z', doc.shiftLetter);
}

} // namespace
