#include "ErrorReporter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class RecordingSink : public ErrorSink {
public:
    void beep() override { ++beeps; }
    void showBox(const char* text, const char* title) override
    {
        boxes.push_back(text);
        titles.push_back(title);
        fprintf(stderr, "BOX[%s]\n", text);
    }
    [[noreturn]] void endProcess(int exitCode) override { _exit(exitCode); }

    int beeps = 0;
    std::vector<std::string> boxes;
    std::vector<std::string> titles;
};

const std::time_t kFixedTime = 1000000000;
long long fixedClock()
{
    return kFixedTime;
}

std::string stamp()
{
    std::time_t t = kFixedTime;
    std::string s = ctime(&t);
    s.pop_back();
    return s;
}

std::string logText()
{
    FILE* f = fopen("ERROR.LOG", "rb");
    if (!f)
        return "";
    std::string s;
    int c;
    while ((c = fgetc(f)) != EOF)
        s += static_cast<char>(c);
    fclose(f);
    return s;
}

class CompanionReporterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/kyt-companion-XXXXXX";
        dir = mkdtemp(tmpl);
        ASSERT_NE(nullptr, getcwd(oldDir, sizeof oldDir));
        ASSERT_EQ(0, chdir(dir.c_str()));
        setErrorSink(&sink);
        disableErrorLog();
        setMessageBoxesEnabled(false);
        setCompanionReporting(true);
        setReportClock(fixedClock);
    }
    void TearDown() override
    {
        setCompanionReporting(false);
        setReportClock(nullptr);
        setErrorSink(nullptr);
        remove("ERROR.LOG");
        ASSERT_EQ(0, chdir(oldDir));
        rmdir(dir.c_str());
    }

    RecordingSink sink;
    std::string dir;
    char oldDir[4096];
};

struct LevelCase {
    int level;
    const char* boxPrefix;
    const char* logWord;  // null: nothing logged
    bool beeps;
    bool ends;
};

const LevelCase kLevels[] = {
    {-1, "\n??: ", nullptr, false, false},
    {0, "\nWarning: ", "Warning", false, false},
    {1, "\nWarning: ", "Warning", false, false},
    {2, "\nError: ", "Error", true, false},
    {3, "\nFatal Error: ", "Fatal Error", true, true},
    {4, "\n??: ", "??", true, true},
};

TEST_F(CompanionReporterTest, LevelTable)
{
    for (const LevelCase& c : kLevels) {
        remove("ERROR.LOG");
        if (c.ends) {
            // Box text and abort line reach stderr and the log of the child.
            EXPECT_EXIT(reportError(c.level, "x%d", 7), ::testing::ExitedWithCode(1),
                        std::string("BOX\\[") + (c.level == 3 ? "\nFatal Error: " : "\n\\?\\?: ") +
                            "x7\nProgram aborts\n\\]")
                << c.level;
            std::string log = logText();
            EXPECT_EQ("\n" + stamp() + " " + c.logWord + ": x7\n" + stamp() + " Program aborts!\n", log)
                << c.level;
            continue;
        }
        sink.boxes.clear();
        sink.titles.clear();
        sink.beeps = 0;
        reportError(c.level, "x%d", 7);
        ASSERT_EQ(1u, sink.boxes.size()) << c.level;
        EXPECT_EQ(std::string(c.boxPrefix) + "x7", sink.boxes[0]) << c.level;
        EXPECT_EQ("Message", sink.titles[0]);
        EXPECT_EQ(c.beeps ? 1 : 0, sink.beeps) << c.level;
        EXPECT_EQ(c.logWord ? "\n" + stamp() + " " + c.logWord + ": x7" : std::string(), logText()) << c.level;
    }
}

TEST_F(CompanionReporterTest, LongTextIsCutInTheBoxButLoggedWhole)
{
    std::string text(1500, 'a');
    reportError(1, "%s", text.c_str());
    ASSERT_EQ(1u, sink.boxes.size());
    EXPECT_EQ("\nWarning: " + std::string(kMaxReportText, 'a'), sink.boxes[0]);
    EXPECT_EQ("\n" + stamp() + " Warning: " + text, logText());
}

TEST_F(CompanionReporterTest, TwoReportsGiveTwoEntries)
{
    reportError(2, "eins");
    reportError(0, "zwei");
    EXPECT_EQ("\n" + stamp() + " Error: eins\n" + stamp() + " Warning: zwei", logText());
}

TEST_F(CompanionReporterTest, ModeOffKeepsTheMainReporter)
{
    setCompanionReporting(false);
    reportError(0, "plain");
    ASSERT_EQ(1u, sink.boxes.size());
    EXPECT_EQ("plain", sink.boxes[0]);
    EXPECT_NE("Message", sink.titles[0]);
}

} // namespace
