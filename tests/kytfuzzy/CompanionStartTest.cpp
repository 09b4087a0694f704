// The companions' start: their kyt.ini reader, the wizard command line and
// the extraction of the fuzzy text from a wizard block.
#include "CompanionStart.h"
#include "EditorStrings.h"
#include "ErrorReporter.h"
#include "FuzzyBlockWriter.h"
#include "FuzzyKernel.h"
#include "FuzzyParser.h"
#include "ShowFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class ViewerRecorder : public FileViewer {
public:
    void showFile(const char* message, const char* path, int line) override
    {
        calls.push_back(std::string(message) + "|" + path + "|" + std::to_string(line));
    }
    std::vector<std::string> calls;
};

class SinkRecorder : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int code) override { _exit(code); }
    std::vector<std::string> boxes;
};

class CompanionStartTest : public EditorStringsTest {
protected:
    void SetUp() override
    {
        EditorStringsTest::SetUp();
        char tmpl[] = "/tmp/kytcompanionXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        setFileViewer(&viewer);
        setErrorSink(&sink);
        disableErrorLog();
    }
    void TearDown() override
    {
        enableErrorLog();
        setErrorSink(nullptr);
        setFileViewer(nullptr);
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(0, system(cmd.c_str()));
        EditorStringsTest::TearDown();
    }
    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    }
    std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir;
    ViewerRecorder viewer;
    SinkRecorder sink;
};

TEST_F(CompanionStartTest, IniReaderTakesTempdirAndHelpdir)
{
    ASSERT_EQ(0, system(("mkdir -p '" + dir + "/t' '" + dir + "/h'").c_str()));
    struct Case {
        std::string text;
        std::string temp;
        std::string help;
    } cases[] = {
        {"TEMPDIR = " + dir + "/t ;\nHELPDIR=" + dir + "/h", dir + "/t", dir + "/h"},
        {"# Kommentar\nBINDIR = x;\ntempdir = " + dir + "/h;\n/* TEMPDIR = " + dir + "/h; */\n// HELPDIR = y\n"
         "TEMPDIR\t=\r\n" + dir + "/t;",
         dir + "/t", dir},
        {"TEMPDIR = " + dir + "/t/;\n", dir + "/t/", dir},
        {"LIB Standard AT \"C:\\kyt\\lib\";\nHELPDIR = " + dir + "/h;", dir, dir + "/h"},
    };
    for (const Case& c : cases) {
        write("kyt.ini", c.text);
        std::string temp, help, ini;
        ASSERT_EQ(COMPANION_INI_OK, readCompanionIni(dir, &temp, &help, &ini)) << c.text;
        EXPECT_EQ(c.temp, temp) << c.text;
        EXPECT_EQ(c.help, help) << c.text;
        EXPECT_EQ(dir + "\\kyt.ini", ini);
    }
    EXPECT_TRUE(viewer.calls.empty());
}

TEST_F(CompanionStartTest, IniReaderProblems)
{
    write("kyt.ini", "HELPDIR = " + dir + ";\nTEMPDIR = \"" + dir + "/t\";\n");
    std::string temp, help, ini;
    ASSERT_EQ(COMPANION_INI_OK, readCompanionIni(dir, &temp, &help, &ini));
    EXPECT_EQ(dir, temp);
    ASSERT_EQ(1u, viewer.calls.size());
    EXPECT_EQ("FEHLER in Datei " + ini + ": \nZeile 2, vor Spalte 11\n\nBEACHTE: Ein String wird erwartet!|" + ini + "|2",
              viewer.calls[0]);

    write("kyt.ini", "TEMPDIR ;\n");
    ASSERT_EQ(COMPANION_INI_OK, readCompanionIni(dir, &temp, &help, &ini));
    EXPECT_NE(std::string::npos, viewer.calls.back().find("BEACHTE: = wird erwartet!"));

    write("kyt.ini", "TEMPDIR = " + dir + "/fehlt;\n");
    EXPECT_EQ(COMPANION_INI_TEMPDIR_LOCKED, readCompanionIni(dir, &temp, &help, &ini));
    EXPECT_EQ(COMPANION_INI_MISSING, readCompanionIni(dir + "/nirgends", &temp, &help, &ini));
}

TEST_F(CompanionStartTest, WizardCommandLine)
{
    struct Case {
        const char* line;
        bool wizard;
    } cases[] = {{"a  b", true}, {" w0 C:\\kyt\\local ", true}, {"a\tb", false}, {"a", false}, {"a b c", false},
                 {"", false}};
    for (const Case& c : cases) {
        std::string name, path;
        EXPECT_EQ(c.wizard, splitWizardCommandLine(c.line, &name, &path)) << c.line;
    }
    std::string name, path;
    ASSERT_TRUE(splitWizardCommandLine("a  b", &name, &path));
    EXPECT_EQ("a", name);
    EXPECT_EQ("b", path);
    EXPECT_EQ(1, finalExitCode(0, false));
    EXPECT_EQ(0, finalExitCode(0, true));
    EXPECT_EQ(-1, finalExitCode(-1, true));
}

TEST_F(CompanionStartTest, ExtractionCopiesTheDataLines)
{
    std::string longLine(700, 'x');
    const std::string header = "#  Fuzzy-Block w0\n#\n";
    for (const char* wizardLine : {"$WIZARD Fuzzy \"a.kyb\"", "$ WIZARD Fuzzy"}) {
        write("w0", header + wizardLine + "\n#FBLOCK \"w0\";\n# x\nskipped\n#" + longLine +
                        "\nBLOCK w0;\n#after\nENDBLOCK w0;\n");
        std::string open;
        ASSERT_EQ(1, extractWizardKyb("w0", dir, dir, nullptr, &open)) << wizardLine;
        EXPECT_EQ(dir + "\\InWizard.kyb", open);
        EXPECT_EQ("FBLOCK \"w0\";\n x\n" + longLine + "\n", read(dir + "/InWizard.kyb"));
    }

    // "$WIZARD" alone is no wizard line: the overwrite question decides.
    const std::string plain = "$WIZARD\n#FBLOCK \"w0\";\n";
    write("w0", plain);
    std::string open;
    int asked = 0;
    EXPECT_EQ(-1, extractWizardKyb("w0", dir, dir, [&] { ++asked; return false; }, &open));
    EXPECT_EQ(plain, read(dir + "/w0"));
    EXPECT_EQ(0, extractWizardKyb("w0", dir, dir, [&] { ++asked; return true; }, &open));
    EXPECT_EQ(2, asked);
    EXPECT_EQ(0, extractWizardKyb("fehlt", dir, dir, nullptr, &open));
}

TEST_F(CompanionStartTest, ExtractionIntoAnUnwritableTempdir)
{
    write("w0", "$WIZARD Fuzzy \"a.kyb\"\n#FBLOCK \"w0\";\nBLOCK w0;\n");
    ASSERT_EQ(0, system(("mkdir -p '" + dir + "/InWizard.kyb/inhalt'").c_str()));
    std::string open;
    EXPECT_EQ(-1, extractWizardKyb("w0", dir, dir, nullptr, &open));
    ASSERT_EQ(1u, sink.boxes.size());
    EXPECT_NE(std::string::npos, sink.boxes[0].find("Kann tempor\xE4re Datei \"" + dir + "\\InWizard.kyb\" nicht"));
}

TEST_F(CompanionStartTest, ExtractionGivesTheWritersText)
{
    // The wizard block the editor writes holds the fuzzy text the block
    // writer makes of the same block.
    std::string wizard = std::string(KYTFUZZY_TEST_DATA) + "/wizard2x1.mdl";
    FuzzyReadResult result;
    String detail;
    FuzzyKernel* kernel = readFuzzyBlockFile(wizard.c_str(), kFuzzyCheckTexts, &result, &detail);
    ASSERT_TRUE(kernel);
    ASSERT_EQ(1, FuzzyBlockWrite(kernel->getBlock(), (dir + "/plain.kyb").c_str()));
    freeFuzzyBlock(kernel);

    write("Fuzzy1", read(wizard));
    std::string open;
    ASSERT_EQ(1, extractWizardKyb("Fuzzy1", dir, dir, nullptr, &open));
    EXPECT_EQ(read(dir + "/plain.kyb"), read(dir + "/InWizard.kyb"));
}

} // namespace
