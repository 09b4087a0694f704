#include "Assert.h"
#include "CheckedHeap.h"
#include "ErrorReporter.h"
#include "FileBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Records what the reporter shows; a fatal report ends the test process
// through the real exit, so the death tests see exit code 1.
class RecordingSink : public ErrorSink {
public:
    void beep() override { ++beeps; }
    void showBox(const char* text, const char* title) override
    {
        boxes.push_back(text);
        titles.push_back(title);
        // A fatal report's box must be visible in the death test's output.
        fprintf(stderr, "BOX[%s]\n", text);
    }
    [[noreturn]] void endProcess(int exitCode) override { _exit(exitCode); }

    int beeps = 0;
    std::vector<std::string> boxes;
    std::vector<std::string> titles;
};

class ErrorReporterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/kyt-reporter-XXXXXX";
        dir = mkdtemp(tmpl);
        ASSERT_EQ(0, getcwd(oldDir, sizeof oldDir) == nullptr);
        ASSERT_EQ(0, chdir(dir.c_str()));
        setErrorSink(&sink);
        enableErrorLog();
        setMessageBoxesEnabled(true);
    }
    void TearDown() override
    {
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
    const char* box;
    int beeps;
    const char* logWord;  // null: no log line
};

const LevelCase levelCases[] = {
    {0, "Ventil 3 offen", 0, nullptr},
    {1, "Warnung: Ventil 3 offen", 0, " Warning: Ventil 3 offen"},
    {2, "Fehler: Ventil 3 offen", 1, " Error: Ventil 3 offen"},
    {-1, "??: Ventil 3 offen", 0, nullptr},
};

TEST_F(ErrorReporterTest, LevelsThatReturnShowTheirBoxBeepAndLogLine)
{
    for (const LevelCase& c : levelCases) {
        SCOPED_TRACE(c.level);
        sink.boxes.clear();
        sink.titles.clear();
        sink.beeps = 0;
        remove("ERROR.LOG");
        reportError(c.level, "Ventil %d %s", 3, "offen");
        ASSERT_EQ(1u, sink.boxes.size());
        EXPECT_EQ(c.box, sink.boxes[0]);
        EXPECT_EQ("Nachricht", sink.titles[0]);
        EXPECT_EQ(c.beeps, sink.beeps);
        std::string log = readFileBytes("ERROR.LOG");
        if (c.logWord) {
            // "\n<ctime without newline> Warning: text"
            ASSERT_EQ('\n', log[0]);
            EXPECT_NE(std::string::npos, log.find(c.logWord));
            EXPECT_EQ(std::string::npos, log.find('\n', 1)) << "no line break inside the entry";
        } else {
            EXPECT_EQ("", log);
        }
    }
}

TEST_F(ErrorReporterTest, LogSwitchOffWritesNoLog)
{
    disableErrorLog();
    reportError(ERR_ERROR, "x");
    EXPECT_EQ("", readFileBytes("ERROR.LOG"));
    EXPECT_EQ(1u, sink.boxes.size());
}

TEST_F(ErrorReporterTest, BoxSwitchOffShowsNothing)
{
    setMessageBoxesEnabled(false);
    reportError(ERR_WARNING, "x");
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_NE(std::string::npos, readFileBytes("ERROR.LOG").find("Warning: x"));
}

TEST_F(ErrorReporterTest, LongTextIsCutAt999Characters)
{
    std::string longText(5000, 'a');
    reportError(ERR_MESSAGE, "%s", longText.c_str());
    ASSERT_EQ(1u, sink.boxes.size());
    EXPECT_EQ(std::string(999, 'a'), sink.boxes[0]);
    reportError(ERR_WARNING, "%s%s", longText.c_str(), "tail");
    EXPECT_EQ("Warnung: " + std::string(999, 'a'), sink.boxes[1]);
}

struct FatalCase {
    const char* what;
    void (*act)();
    const char* boxPattern;
};

const FatalCase fatalCases[] = {
    {"level 3", [] { reportError(ERR_FATAL, "Speicher %d", 7); },
     "BOX\\[Fataler Fehler: Speicher 7\nDas Programm bricht ab.\n\\]"},
    {"level 4", [] { reportError(4, "seltsam"); }, "BOX\\[\\?\\?: seltsam\nDas Programm bricht ab.\n\\]"},
    {"assertion", [] { KYT_ASSERT_TEXT(false, "pNode"); },
     "BOX\\[Fataler Fehler: Internal KYT 2.x error\nAssertion \"pNode\" failed\nin file \"[^\"]*ErrorReporterTest.cpp\":[0-9]+\n"},
    {"heap", [] { CheckedAlloc(static_cast<size_t>(1) << 62); },
     "BOX\\[Fataler Fehler: Kein Heap-Speicherplatz mehr 0\nDas Programm bricht ab"},
    {"calloc", [] { checkedCalloc(static_cast<size_t>(1) << 62); },
     "BOX\\[Fataler Fehler: Kein Heap-Speicherplatz mehr\nDas Programm bricht ab"},
    {"realloc", [] { free(trrealloc(nullptr, static_cast<size_t>(1) << 62)); },
     "BOX\\[Fataler Fehler: Kein Heap-Speicherplatz mehr \\(trrealloc\\)\nDas Programm bricht ab"},
};

TEST_F(ErrorReporterTest, FatalReportsShowOneBoxAndExitWithCode1)
{
    for (const FatalCase& c : fatalCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(c.act(), ::testing::ExitedWithCode(1), c.boxPattern);
    }
}

TEST_F(ErrorReporterTest, FatalReportLogsTheAbortLine)
{
    EXPECT_EXIT(reportError(ERR_FATAL, "aus"), ::testing::ExitedWithCode(1), "");
    std::string log = readFileBytes("ERROR.LOG");
    EXPECT_NE(std::string::npos, log.find(" Fatal Error: aus\n"));
    EXPECT_NE(std::string::npos, log.find(" Program aborts!\n"));
}

TEST_F(ErrorReporterTest, CollectedReportsKeepTheBoxesFromTheSinkAndGiveItBack)
{
    {
        CollectedReports outer;
        reportError(ERR_ERROR, "Zeile %d", 4);
        {
            CollectedReports inner;
            reportError(ERR_WARNING, "innen");
            EXPECT_EQ(&inner, getErrorSink());
            ASSERT_EQ(1, inner.count());
            EXPECT_STREQ("Warnung: innen", inner.text(0));
        }
        EXPECT_EQ(&outer, getErrorSink());
        reportError(ERR_MESSAGE, "danach");
        ASSERT_EQ(2, outer.count());
        EXPECT_STREQ("Fehler: Zeile 4", outer.text(0));
        EXPECT_STREQ("danach", outer.text(1));
        EXPECT_STREQ("", outer.text(2));
        // The log keeps its entries: it is where the texts can be read later.
        EXPECT_NE(std::string::npos, readFileBytes("ERROR.LOG").find("Error: Zeile 4"));
    }
    EXPECT_EQ(&sink, getErrorSink());
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_EQ(0, sink.beeps);
    reportError(ERR_MESSAGE, "wieder sichtbar");
    EXPECT_EQ(std::vector<std::string>{"wieder sichtbar"}, sink.boxes);
}

TEST_F(ErrorReporterTest, AFatalReportUnderCollectedReportsStillEndsTheProcess)
{
    EXPECT_EXIT(
        {
            CollectedReports collected;
            reportError(ERR_FATAL, "aus");
        },
        ::testing::ExitedWithCode(1), "");
}

TEST(CheckedHeapTest, HooksAllocateAndFree)
{
    void* p = mallocHook(32);
    ASSERT_NE(nullptr, p);
    freeHook(p);
    freeHook(nullptr);
    EXPECT_EQ(0, IsValidAddress(nullptr, 4, 0));
    int x = 0;
    EXPECT_EQ(1, IsValidAddress(&x, sizeof x, 1));
}

TEST(CheckedHeapTest, FileHandleGuardClosesOnceAndLeavesOpenOnDestruction)
{
    FileHandleGuard g;
    EXPECT_EQ(nullptr, g.get());
    g.close();
    g.set(tmpfile());
    ASSERT_NE(nullptr, g.get());
    g.close();
    EXPECT_EQ(nullptr, g.get());
}

} // namespace
