// The TABLE library through its registry rows: loading table files,
// interpolating in them, the refused files and the table of slots.
#include "LibraryTestSupport.h"

#include "TableLibrary.h"


using namespace libtest;

namespace {

class TableLibraryTest : public LibraryTest {
protected:
    static double open(const std::string& file) { return f1("TABLEOPEN", name(file)); }
    static void close(double h) { p1("TABLECLOSE", h); }
    static double get(double h, double y, double x) { return f3("TABLEGET", h, y, x); }
};

// x from 0 to 2 in 3 points, y from 0 to 1 in 2 points.
const char kSmallTable[] = "0 2 3 0 1 2\n0 1 2\n10 11 12\n";

TEST_F(TableLibraryTest, Rows)
{
    EXPECT_EQ(1, row("TABLEOPEN").kind);
    EXPECT_STREQ("ds", row("TABLEOPEN").signature);
    EXPECT_EQ(2, row("TABLECLOSE").kind);
    EXPECT_STREQ("d", row("TABLECLOSE").signature);
    EXPECT_EQ(1, row("TABLEGET").kind);
    EXPECT_STREQ("dddd", row("TABLEGET").signature);
    ASSERT_EQ(3, moduleListLength(MODULE_LIST_LOAD));
    EXPECT_STREQ("TABLE", moduleListEntry(MODULE_LIST_LOAD, 2)->name);
}

TEST_F(TableLibraryTest, SmallTable)
{
    scratch.write("t.tab", kSmallTable);
    const double h = open("t.tab");
    EXPECT_EQ(0, h);
    EXPECT_EQ(6, tableValueCount(0));
    EXPECT_DOUBLE_EQ(5.5, get(h, 0.5, 0.5));
    // The corners, the last column and the last row.
    EXPECT_EQ(0, get(h, 0, 0));
    EXPECT_EQ(12, get(h, 1, 2));
    EXPECT_EQ(2, get(h, 0, 2));
    EXPECT_EQ(10, get(h, 1, 0));
    EXPECT_DOUBLE_EQ(11.5, get(h, 1, 1.5));
    EXPECT_DOUBLE_EQ(7, get(h, 0.5, 2));
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(stopped());

    EXPECT_EQ(0, get(h, 0, 3));
    EXPECT_EQ(std::vector<std::string>{"Tabellenzugriff mit\n [0.000000 <= 3.000000 <= 2.000000, "
                                       "0.000000 <= 0.000000 <= 1.000000]\n außerhalb des Bereichs!"},
              messages());
    EXPECT_TRUE(stopped());
    close(h);
}

// f(x, y) = 2x - 3y + 1 on a 5 x 4 grid over [-1, 1] x [0, 3]: the
// interpolation of a plane is the plane itself (reference: the analytic
// value).
TEST_F(TableLibraryTest, PlaneIsInterpolatedExactly)
{
    std::string text = "-1 1 5 0 3 4\n";
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 5; ++i) {
            double x = -1 + 0.5 * i, y = j;
            text += std::to_string(2 * x - 3 * y + 1) + (i < 4 ? " " : "\n");
        }
    }
    scratch.write("ebene.tab", text);
    const double h = open("ebene.tab");
    for (double x : {-1.0, -0.8, -0.25, 0.0, 0.3, 0.999, 1.0}) {
        for (double y : {0.0, 0.4, 1.5, 2.75, 3.0}) {
            SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
            EXPECT_NEAR(2 * x - 3 * y + 1, get(h, y, x), 1e-12);
        }
    }
    EXPECT_TRUE(queued.empty());
    close(h);
}

// A single column has the step 1: x up to xmin + 1 (exclusive) is inside.
TEST_F(TableLibraryTest, SinglePointHasStepOne)
{
    scratch.write("t.tab", "5 9 1 0 1 2\n7\n8\n");
    const double h = open("t.tab");
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(7, get(h, 0, 5));
    EXPECT_EQ(7, get(h, 0, 5.9));
    EXPECT_DOUBLE_EQ(7.5, get(h, 0.5, 5.9));
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(0, get(h, 0, 6));
    EXPECT_EQ(1u, queued.size());
    close(h);
}

TEST_F(TableLibraryTest, OutOfRange)
{
    scratch.write("t.tab", kSmallTable);
    const double h = open("t.tab");
    struct Case {
        double y, x;
    };
    // Beyond the last index, before the first, and what has no index.
    const Case cases[] = {{0, 3}, {2, 0}, {0, -1}, {-1.5, 0}, {0, kNaN}, {kNaN, 0}, {0, INFINITY},
                          {0, 1e300}, {-1e300, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        queued.clear();
        resetRunErrors();
        EXPECT_EQ(0, get(h, c.y, c.x));
        ASSERT_EQ(1u, queued.size());
        EXPECT_EQ(0u, queued[0].text.find("Tabellenzugriff mit\n [0.000000 <= "));
        EXPECT_TRUE(stopped());
    }
    close(h);
}

struct RefusedCase {
    const char* what;
    const char* text;  // null: no file
};

TEST_F(TableLibraryTest, RefusedFiles)
{
    const RefusedCase cases[] = {
        {"a missing file", nullptr},
        {"nx negative", "0 1 -3 0 1 1\n1 2 3\n"},
        {"nx not whole", "0 1 2.5 0 1 1\n1 2 3\n"},
        {"a size beyond the int range", "0 1 4294967297 0 1 1\n1 2\n"},
        {"short rows", "0 2 3 0 1 2\n0 1 2\n10 11\n"},
        {"a word among the values", "0 2 3 0 1 2\n0 1 2\n10 x 12\n"},
        {"a number with text after it", "0 2 3 0 1 2\n0 1 2\n10 11abc 12\n"},
        // A sign stands once, as "%lf" reads it.
        {"a doubled sign", "0 2 3 0 1 2\n0 1 2\n10 +-11 12\n"},
        {"a doubled sign in the header", "0 2 +-3 0 1 2\n0 1 2\n10 11 12\n"},
        {"nx 0", "0 1 0 0 1 1\n"},
        {"ny 0", "0 1 1 0 1 0\n5\n"},
        {"an empty x range with 3 points", "1 1 3 0 1 1\n1 2 3\n"},
        {"an empty y range with 2 points", "0 1 1 4 4 2\n1\n2\n"},
        {"a range that is not a number", "nan 1 2 0 1 1\n1 2\n"},
        {"an infinite range", "0 inf 2 0 1 1\n1 2\n"},
        {"a header cut short", "0 1 2 0"},
        {"an empty file", ""},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.what);
        queued.clear();
        resetRunErrors();
        std::remove("t.tab");
        if (c.text)
            scratch.write("t.tab", c.text);
        const double h = open("t.tab");
        EXPECT_EQ(0, h);  // the failed slot is free again each time
        EXPECT_EQ(std::vector<std::string>{"Die Tabelle t.tab kann nicht geöffnet werden!"}, messages());
        EXPECT_TRUE(stopped());
        EXPECT_EQ(0, tableValueCount(0));
        EXPECT_EQ(0, liveStreams);
    }
    EXPECT_EQ(1, tableSlotCount());
}

// Inputs beyond what a table can hold are refused with their own message,
// after reading no more than the limit.
TEST_F(TableLibraryTest, InputsBeyondTheLimits)
{
    const std::string longLine = "0 2 3 0 1 2\n0 1 2 " + std::string((1u << 20) + 8, ' ') + "\n10 11 12\n";
    struct Case {
        const char* what;
        std::string file;  // written into the scratch directory unless it starts with "/"
        std::string text;
        std::string message;
    } cases[] = {
        {"huge sizes with four numbers", "t.tab", "0 1 2147483647 0 1 2147483647\n1 2 3 4\n",
         "Die Tabelle t.tab hat mehr als 16777216 Werte!"},
        {"4097 x 4096 values", "t.tab", "0 1 4097 0 1 4096\n1 2\n", "Die Tabelle t.tab hat mehr als 16777216 Werte!"},
        {"a line of blanks beyond a megabyte", "t.tab", longLine,
         "In der Tabelle t.tab ist eine Zeile zu lang (> 1048576)!"},
        {"an endless line of NUL bytes", "/dev/zero", "",
         "In der Tabelle /dev/zero ist eine Zeile zu lang (> 1048576)!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        queued.clear();
        resetRunErrors();
        if (c.file[0] != '/')
            scratch.write(c.file.c_str(), c.text);
        const double h = open(c.file);
        EXPECT_EQ(0, h);
        EXPECT_EQ(std::vector<std::string>{c.message}, messages());
        EXPECT_TRUE(stopped());
        EXPECT_EQ(0, tableValueCount(0));
        EXPECT_EQ(0, liveStreams);
    }
}

TEST_F(TableLibraryTest, ClosedAndUnknownTables)
{
    scratch.write("t.tab", kSmallTable);
    const double h = open("t.tab");
    close(h);
    EXPECT_EQ(0, tableValueCount(0));
    EXPECT_TRUE(queued.empty());
    const RefusedCall cases[] = {
        {"TABLEGET after TABLECLOSE", [h] { EXPECT_EQ(0, get(h, 0, 0)); },
         "Die Tabelle #0 kann nicht geöffnet werden!"},
        {"TABLEGET(5)", [] { EXPECT_EQ(0, get(5, 0, 0)); }, "Es gibt keine Tabelle mit der #5!"},
        {"TABLEGET(NaN)", [] { EXPECT_EQ(0, get(kNaN, 0, 0)); }, "Es gibt keine Tabelle mit der #-1!"},
        {"TABLECLOSE(1e300)", [] { close(1e300); }, "Es gibt keine Tabelle mit der #2147483647!"},
        {"TABLECLOSE(-2)", [] { close(-2); }, "Es gibt keine Tabelle mit der #-2!"},
    };
    expectEachRefused(cases);
    // The closed slot is taken by the next table.
    queued.clear();
    EXPECT_EQ(0, open("t.tab"));
    EXPECT_EQ(1, tableSlotCount());
    EXPECT_EQ(12, get(0, 1, 2));
    EXPECT_TRUE(queued.empty());
}

TEST_F(TableLibraryTest, SlotsAndHooks)
{
    scratch.write("t.tab", kSmallTable);
    scratch.write("kreis/u.tab", "0 1 2 0 1 1\n5 6\n");
    EXPECT_EQ(0, open("t.tab"));
    EXPECT_EQ(1, open("@:\\u.tab"));
    EXPECT_EQ(2, open("t.tab"));
    EXPECT_DOUBLE_EQ(5.5, get(1, 0, 0.5));
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(3, openedStreams);
    EXPECT_EQ(0, liveStreams);  // read whole and closed at once
    // A new run starts without values; the slots stay to be taken again.
    runStartHooks();
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(0, tableValueCount(k));
    EXPECT_EQ(0, open("t.tab"));
    for (int round = 0; round < 2; ++round) {
        runUnloadHooks();
        EXPECT_EQ(0, tableSlotCount());
        ASSERT_EQ(0, runLoadHooks());
        runStartHooks();
        EXPECT_EQ(0, open("t.tab"));
    }
    EXPECT_TRUE(queued.empty());
}

TEST_F(TableLibraryTest, LoadWithoutUnloadIsFatal)
{
    scratch.write("t.tab", kSmallTable);
    open("t.tab");
    // FILE has no slots: its hook passes, TABLE's reports.
    EXPECT_EXIT(
        {
            setErrorSink(nullptr);
            runLoadHooks();
        },
        ::testing::ExitedWithCode(1), "Interner Fehler: Tabellen wurden bereits deklariert");
}

} // namespace
