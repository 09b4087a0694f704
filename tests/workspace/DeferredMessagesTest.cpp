// The deferred-message queue and the help sections.
#include "DeferredMessages.h"
#include "Workspace.h"

#include "RecordingUi.h"
#include "TempDirFixture.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Shows boxes like the real sink, and may send a 9032 from inside a box, as
// a box's own message loop can.
class ReenteringSink : public RecordingErrorSink {
public:
    void showBox(const char* text, const char* title) override
    {
        RecordingErrorSink::showBox(text, title);
        if (reenter)
            inner.push_back(flushDeferredMessages(kCommandShowDeferredMessages));
    }
    bool reenter = false;
    std::vector<int> inner;
};

class DeferredMessagesTest : public ::testing::Test {
protected:
    DeferredMessagesTest()
    {
        setErrorSink(&sink);
        disableErrorLog();
        setDeferredCommandPoster([this](int id) { posted.push_back(id); });
        setRunPauseWord(&pauseWord);
    }
    ~DeferredMessagesTest() override
    {
        clearDeferredMessages();
        setRunPauseWord(nullptr);
        setDeferredCommandPoster(nullptr);
        setErrorSink(nullptr);
        enableErrorLog();
    }
    ReenteringSink sink;
    std::vector<int> posted;
    int pauseWord = 0;
};

TEST_F(DeferredMessagesTest, OneCommandShowsAllInOrder)
{
    queueDeferredMessage(2, "A %d");
    queueDeferredMessage(0, "100% B");
    EXPECT_EQ(1, pauseWord);
    EXPECT_EQ(2, deferredMessageCount());
    EXPECT_EQ((std::vector<int>{9032, 9032}), posted);
    EXPECT_TRUE(sink.boxes.empty());

    sink.reenter = true;
    EXPECT_EQ(1, flushDeferredMessages(9032));
    ASSERT_EQ(2u, sink.boxes.size());
    EXPECT_NE(std::string::npos, sink.boxes[0].find("A %d"));
    EXPECT_EQ(0u, sink.boxes[0].find("Fehler:"));
    EXPECT_EQ("100% B", sink.boxes[1]);
    // The 9032 that came during the boxes showed nothing again.
    EXPECT_EQ((std::vector<int>{1, 1}), sink.inner);
    EXPECT_EQ(0, pauseWord);
    EXPECT_EQ(0, deferredMessageCount());

    // The next command shows nothing and is still handled.
    sink.reenter = false;
    EXPECT_EQ(1, flushDeferredMessages(9032));
    EXPECT_EQ(2u, sink.boxes.size());
}

TEST_F(DeferredMessagesTest, OtherCommandsAreNotHandled)
{
    queueDeferredMessage(0, "wartet");
    EXPECT_EQ(0, flushDeferredMessages(9031));
    EXPECT_EQ(0, flushDeferredMessages(0));
    EXPECT_EQ(1, pauseWord);
    EXPECT_EQ(1, deferredMessageCount());
    EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(DeferredMessagesTest, WithoutARunNothingIsPaused)
{
    setRunPauseWord(nullptr);
    queueDeferredMessage(0, "x");
    EXPECT_EQ(0, pauseWord);
    EXPECT_EQ(1, flushDeferredMessages(9032));
    EXPECT_EQ(1u, sink.boxes.size());
}

// kythelp.txt with a few sections.
const char kHelpText[] =
    "Vorspann\n"
    "IDH_HELP_FontSelDlg\n"
    "Schrift waehlen\n"
    "IDH_HELP_Font\r\n"
    "Zeile eins\r\n"
    "\r\n"
    "x\r\n"
    "IDH_HELP_Ende\n"
    "Ende ohne Zeilenende";

class HelpSectionTest : public ::testing::Test {
protected:
    HelpSectionTest()
    {
        w.setHelpDir(String(dir.path.c_str()));
        w.setHelpViewerFactory(&viewers);
    }
    // The workspace leaves the last viewer to its window.
    ~HelpSectionTest() override { delete w.helpWindow; }
    ErrorBoxScope boxes;
    ScratchDir dir;
    FakeHelpFactory viewers;
    Workspace w;
};

TEST_F(HelpSectionTest, SectionsByWholeMarker)
{
    dir.write("kythelp.txt", kHelpText);
    EXPECT_STREQ("Zeile eins\r\n\r\nx\r\n", loadHelpSection(dir.path.c_str(), "IDH_HELP_Font").text());
    EXPECT_STREQ("Schrift waehlen\r\n", loadHelpSection(dir.path.c_str(), "IDH_HELP_FontSelDlg").text());
    // A last line without a line feed is whole and gets none.
    EXPECT_STREQ("Ende ohne Zeilenende", loadHelpSection(dir.path.c_str(), "IDH_HELP_Ende").text());
    EXPECT_TRUE(boxes.sink.boxes.empty());
}

TEST_F(HelpSectionTest, MissingMarkerAndMissingFile)
{
    dir.write("kythelp.txt", kHelpText);
    w.showHelpSection("IDH_HELP_Fehlt");
    ASSERT_EQ(1u, boxes.sink.boxes.size());
    EXPECT_EQ("Es ist leider keine Hilfe verf\xfcgbar!", boxes.sink.boxes[0]);
    EXPECT_TRUE(viewers.made.empty());
    EXPECT_EQ(nullptr, w.helpWindow);

    ScratchDir empty;
    w.setHelpDir(String(empty.path.c_str()));
    w.showHelpSection("IDH_HELP_Font");
    ASSERT_EQ(2u, boxes.sink.boxes.size());
    std::string expected = "Die Hilfedatei \"" + empty.path + "/kythelp.txt\"  ist nicht verf\xfcgbar!";
    EXPECT_EQ(expected, boxes.sink.boxes[1]);
    EXPECT_TRUE(viewers.made.empty());
}

TEST_F(HelpSectionTest, LongSectionIsCutAndShown)
{
    std::string text = "IDH_HELP_Lang\n";
    std::string line(99, 'a');
    for (int i = 0; i < 300; ++i)
        text += line + "\n";
    text += "IDH_HELP_Weiter\n";
    dir.write("kythelp.txt", text);
    w.showHelpSection("IDH_HELP_Lang");
    // Lines of 101 characters with "\r\n": the 159th passes 16000.
    ASSERT_EQ(1u, viewers.made.size());
    EXPECT_EQ(159u * 101u, viewers.made[0]->text.size());
    EXPECT_EQ(line + "\r\n", viewers.made[0]->text.substr(0, 101));
    ASSERT_EQ(1u, boxes.sink.boxes.size());
    EXPECT_EQ(0u, boxes.sink.boxes[0].find("Warnung:"));
    EXPECT_NE(std::string::npos, boxes.sink.boxes[0].find("Hilfetext zu lang f\xfcr die Anzeige!"));
    EXPECT_EQ("KYT Hilfe", viewers.title);
}

TEST_F(HelpSectionTest, LongLinesStayWhole)
{
    std::string longLine(1200, 'b');
    dir.write("kythelp.txt", "IDH_HELP_Breit\n" + longLine + "\n");
    EXPECT_EQ(longLine + "\r\n", std::string(loadHelpSection(dir.path.c_str(), "IDH_HELP_Breit").text()));
}

TEST_F(HelpSectionTest, SecondViewerReplacesTheFirst)
{
    dir.write("kythelp.txt", kHelpText);
    w.showHelpSection("IDH_HELP_Font");
    ASSERT_EQ(1u, viewers.made.size());
    EXPECT_EQ(viewers.made[0], w.helpWindow);
    EXPECT_EQ("Zeile eins\r\n\r\nx\r\n", viewers.made[0]->text);
    w.showHelpSection("IDH_HELP_FontSelDlg");
    EXPECT_EQ(1, viewers.deletions);
    ASSERT_EQ(2u, viewers.made.size());
    EXPECT_EQ(viewers.made[1], w.helpWindow);

    // Closed by the user: not deleted again.
    viewers.made[1]->closeByUser();
    EXPECT_EQ(2, viewers.deletions);
    EXPECT_EQ(nullptr, w.helpWindow);
    w.showHelpSection("IDH_HELP_Font");
    EXPECT_EQ(2, viewers.deletions);
    EXPECT_EQ(viewers.made[2], w.helpWindow);
}

} // namespace

#include "NetHost.h"
#include "WorkspaceSeams.h"

namespace {

TEST_F(DeferredMessagesTest, EngineSeamsReachTheWorkspace)
{
    Workspace w;
    setWorkspace(&w);
    w.updateMainTitle("C:\\KYT\\regler.kyt");
    w.setCircuitDir(String("C:\\KYT\\Schaltungen"));
    HostSeams seams = {};
    fillWorkspaceSeams(seams);
    installWorkspaceDirectorySources();
    ASSERT_NE(nullptr, seams.circuitFileName);
    EXPECT_STREQ("C:\\KYT\\regler.kyt", seams.circuitFileName());
    EXPECT_STREQ("C:\\KYT\\Schaltungen", netCircuitsDirectory());
    ASSERT_NE(nullptr, seams.queueDeferredMessage);
    seams.queueDeferredMessage(0, "aus der Bibliothek");
    EXPECT_EQ(1, pauseWord);
    EXPECT_EQ(1, flushDeferredMessages(9032));
    EXPECT_EQ((std::vector<std::string>{"aus der Bibliothek"}), sink.boxes);
    setNetCircuitsDirectorySource(nullptr);
    setWorkspace(nullptr);
}

} // namespace
