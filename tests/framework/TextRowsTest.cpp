#include "TextRows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingView : TextRowsView {
    struct Draw {
        int column, row;
        std::string text;
    };
    std::vector<Draw> draws;
    std::vector<int> scrolls;
    void drawCells(int column, int row, const char* text, int count) override
    {
        draws.push_back({column, row, std::string(text, static_cast<size_t>(count))});
    }
    void scrolled(int rows) override { scrolls.push_back(rows); }
};

int changedCells(const TextRows& t)
{
    int n = 0;
    for (int r = 0; r < t.rows(); ++r)
        if (!t.changed(r).empty())
            n += t.changed(r).to - t.changed(r).from + 1;
    return n;
}

std::string trimmedRow(const TextRows& t, int r)
{
    std::string s = t.rowText(r);
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

} // namespace

TEST(TextRows, PrintAtLeftOfTheMarginColumnWritesAtTheMargin)
{
    TextRows t(10, 40);
    RecordingView view;
    t.setView(&view);
    t.setMarginColumn(2);
    t.printAt(0, 3, "x=%d", 7);
    EXPECT_EQ(t.rowText(3).substr(0, 6), "  x=7 ");
    ASSERT_EQ(view.draws.size(), 1u);
    EXPECT_EQ(view.draws[0].column, 2);
    EXPECT_EQ(view.draws[0].row, 3);
    EXPECT_EQ(view.draws[0].text, "x=7");
    EXPECT_EQ(t.cursorColumn(), 5);
}

TEST(TextRows, LineFeedStartsARowAtTheMarginAndCarriageReturnIsDropped)
{
    TextRows t(10, 40);
    t.setMarginColumn(1);
    t.printAt(4, 0, "abc\r\ndef");
    EXPECT_EQ(trimmedRow(t, 0), "    abc");
    EXPECT_EQ(trimmedRow(t, 1), " def");
    EXPECT_EQ(t.cursorRow(), 1);
    EXPECT_EQ(t.cursorColumn(), 4);
    EXPECT_EQ(t.usedLength(1), 4);
    EXPECT_EQ(t.firstChangedRow(), 0);
    EXPECT_EQ(t.lastChangedRow(), 1);
}

TEST(TextRows, WritesNeverPassTheLastColumn)
{
    struct Case {
        int columns;
        int length;
        int startColumn;
        int expectedCells;
    } cases[] = {
        {40, 100, 0, 40},
        {40, 100, 30, 10},
        {40, 5, 38, 2},
        {40, 0, 0, 0},
    };
    for (const Case& c : cases) {
        TextRows t(5, c.columns);
        RecordingView view;
        t.setView(&view);
        t.setCursor(c.startColumn, 0);
        t.write(std::string(static_cast<size_t>(c.length), 'x').c_str());
        EXPECT_EQ(changedCells(t), c.expectedCells) << c.length << " at " << c.startColumn;
        EXPECT_EQ(t.rowText(0).size(), static_cast<size_t>(c.columns));
        EXPECT_EQ(t.rowText(1), std::string(static_cast<size_t>(c.columns), ' '));
    }
}

TEST(TextRows, LineDownPastTheLastRowScrollsByTheExcess)
{
    TextRows t(10, 20);
    RecordingView view;
    t.setView(&view);
    for (int r = 0; r < 10; ++r)
        t.printAt(0, r, "row %d", r);
    t.setCursor(0, 8);
    EXPECT_EQ(t.lineDown(3), 2);
    EXPECT_EQ(t.cursorRow(), 9);
    ASSERT_EQ(view.scrolls, std::vector<int>{2});
    EXPECT_EQ(trimmedRow(t, 0), "row 2");
    EXPECT_EQ(trimmedRow(t, 7), "row 9");
    EXPECT_EQ(trimmedRow(t, 8), "");
    EXPECT_EQ(trimmedRow(t, 9), "");
    t.lineUp(50);
    EXPECT_EQ(t.cursorRow(), 0);
    t.columnRight(500);
    EXPECT_EQ(t.cursorColumn(), 19);
}

TEST(TextRows, TwelveLinesInTenRowsKeepTheLastTen)
{
    TextRows t(10, 20);
    for (int i = 1; i <= 12; ++i)
        t.write(("Zeile " + std::to_string(i) + "\n").c_str());
    EXPECT_EQ(trimmedRow(t, 0), "Zeile 4");
    EXPECT_EQ(trimmedRow(t, 8), "Zeile 12");
    EXPECT_EQ(t.cursorRow(), 9);
}

TEST(TextRows, PrintAtIsCutAt299Characters)
{
    TextRows t(4, 400);
    std::string thousand(1000, 'q');
    t.printAt(0, 0, "%s", thousand.c_str());
    EXPECT_EQ(changedCells(t), 299);
    EXPECT_EQ(t.rowText(0)[298], 'q');
    EXPECT_EQ(t.rowText(0)[299], ' ');
}

TEST(TextRows, DeferredModeMarksWithoutDrawingAndStillAdvances)
{
    TextRows t(4, 20);
    RecordingView view;
    t.setView(&view);
    t.setDeferred(true);
    t.write("abc");
    EXPECT_TRUE(view.draws.empty());
    EXPECT_EQ(t.cursorColumn(), 3);
    EXPECT_EQ(t.changed(0).from, 0);
    EXPECT_EQ(t.changed(0).to, 2);
    t.markAllDrawn();
    EXPECT_TRUE(t.changed(0).empty());
}

TEST(TextRows, ClearBlanksARectangleOrEverything)
{
    TextRows t(4, 10);
    t.write("0123456789\n0123456789");
    Rect part(2, 0, 5, 1);
    t.clear(&part);
    EXPECT_EQ(t.rowText(0), "01   56789");
    EXPECT_TRUE(t.changed(0).empty());
    t.clear();
    EXPECT_EQ(t.rowText(1), std::string(10, ' '));
}

TEST(CellGeometry, PointsMapToTheNearestCell)
{
    CellGeometry g;
    g.cellWidth = 8;
    g.cellHeight = 16;
    g.leftMargin = 4;
    g.topMargin = 8;
    g.columns = 40;
    g.rows = 10;
    struct Case {
        Point p;
        Point cell;
    } cases[] = {
        {Point(-50, 10000), Point(0, 9)},
        {Point(4, 8), Point(0, 0)},
        {Point(4 + 8 * 3 + 7, 8 + 16 * 2), Point(3, 2)},
        {Point(100000, -3), Point(39, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(g.cellAt(c.p), c.cell) << c.p.x() << "," << c.p.y();
    EXPECT_EQ(g.pointOf(Point(3, 2)), Point(28, 40));
    EXPECT_EQ(g.extent(), Point(40 * 8 + 8, 10 * 16 + 16));
}
