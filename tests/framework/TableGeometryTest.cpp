#include "TableGeometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Row header 20 wide, column header 10 high, columns 40 and rows 15 by
// default, in a client area of 300 x 200: column c starts at 20 + 40 (c - 1).
class TableGeometryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.columnCount = 10;
        g.rowCount = 50;
        g.rowHeaderWidth = 20;
        g.columnHeaderHeight = 10;
        g.measure(35, 10);
        g.client = Rect(0, 0, 300, 200);
        g.layout();
    }
    TableGeometry g;
};

TEST(TableScrollTest, ShiftsRangesThumbsAndLetters)
{
    EXPECT_EQ(Point(0, 1), scrollRangeFor(0));
    EXPECT_EQ(Point(1, 1), scrollRangeFor(1));
    EXPECT_EQ(Point(1, 32767), scrollRangeFor(32767));
    EXPECT_EQ(0, scrollShiftFor(32767));
    EXPECT_EQ(1, scrollShiftFor(32768));
    EXPECT_EQ(2, scrollShiftFor(100000));
    EXPECT_EQ(Point(1, 25000), scrollRangeFor(100000));
    EXPECT_EQ(9u, firstLineOfThumb(3, 2));
    EXPECT_EQ(3, thumbOfFirstLine(9, 2));
    EXPECT_EQ(16, scrollShiftFor(0xFFFFFFFFu));

    struct Case {
        uint32_t index;
        const char* letters;
    };
    for (Case c : {Case{1, "A"}, Case{26, "Z"}, Case{27, "AA"}, Case{52, "AZ"}, Case{703, "AAA"}, Case{0, ""}})
        EXPECT_EQ(c.letters, headerLetters(c.index)) << c.index;
}

TEST_F(TableGeometryTest, DefaultsAndSizeTables)
{
    // Without sizes of their own, the headers follow the measured defaults.
    TableGeometry fresh;
    fresh.measure(35, 10);
    EXPECT_EQ(fresh.defaultColumnWidth - 10, fresh.rowHeaderWidth);
    EXPECT_EQ(fresh.defaultRowHeight + 5, fresh.columnHeaderHeight);

    g.setColumnWidth(3, 40000);
    g.setColumnWidth(4, 0);
    g.setRowHeight(70000, 33);
    EXPECT_EQ(g.defaultColumnWidth, g.columnWidth(3));
    EXPECT_EQ(0, g.columnWidth(4));
    EXPECT_EQ(g.defaultColumnWidth, g.columnWidth(5));
    EXPECT_EQ(33, g.rowHeight(70000));
    EXPECT_EQ(g.defaultRowHeight, g.rowHeight(69999));
    EXPECT_EQ(g.defaultRowHeight, g.rowHeight(70001));
    g.setColumnWidths(8, 6, 12);
    for (uint32_t c : {6u, 7u, 8u})
        EXPECT_EQ(12, g.columnWidth(c));
}

TEST_F(TableGeometryTest, LayoutCountsPartlyShownCells)
{
    // Columns at 20, 60, ..., 260, 300: the seventh ends on the client edge
    // and the eighth would pass it.
    EXPECT_EQ(8u, g.visibleColumns);
    EXPECT_EQ(260, g.columnLeft[6]);
    // Rows of 15 from 10: the 13th ends at 205, past 200, and one more counts.
    EXPECT_EQ(14u, g.visibleRows);
    EXPECT_EQ(CellRange(1, 1, 8, 13), g.visibleRange);

    TableGeometry wide;
    wide.columnCount = 200;
    wide.rowCount = 3;
    wide.measure(5, 5);
    wide.client = Rect(0, 0, 100000, 100);
    wide.layout();
    EXPECT_EQ(98u, wide.visibleColumns);
    EXPECT_EQ(3u, wide.visibleRows);

    TableGeometry empty;
    empty.measure(35, 10);
    empty.client = Rect(0, 0, 300, 200);
    empty.layout();
    EXPECT_EQ(0u, empty.visibleColumns);
    EXPECT_EQ(0u, empty.visibleRows);
}

TEST_F(TableGeometryTest, PixelsToCellsAndHeaderHits)
{
    struct Case {
        int x, y;
        bool onCell;
        uint32_t column, row;
    };
    // A left edge belongs to its column, a right edge to the next one.
    for (Case c : {Case{60, 25, true, 2, 2}, Case{59, 25, true, 1, 2}, Case{100, 10, true, 3, 1},
                   Case{19, 25, false, 0, 0}, Case{30, 9, false, 0, 0}}) {
        CellPos pos;
        EXPECT_EQ(c.onCell, g.cellAtPoint(Point(c.x, c.y), pos)) << c.x << "," << c.y;
        if (c.onCell) {
            EXPECT_EQ(CellPos(c.column, c.row), pos) << c.x << "," << c.y;
        }
    }
    EXPECT_EQ(Rect(60, 25, 100, 40), g.cellRect(CellPos(2, 2)));
    EXPECT_EQ(Rect(), g.cellRect(CellPos(2, 40)));

    struct Hit {
        int x, y;
        int result;
        uint32_t index;
        int kind;
    };
    // Column 2's right edge is at 100.
    for (Hit h : {Hit{98, 5, HIT_HEADER, 2, HEADER_COLUMNS}, Hit{99, 5, HIT_RESIZE_ZONE, 2, HEADER_COLUMNS},
                  Hit{100, 5, HIT_HEADER, 3, HEADER_COLUMNS}, Hit{5, 5, HIT_HEADER, 0, HEADER_CORNER},
                  Hit{5, 23, HIT_HEADER, 1, HEADER_ROWS}, Hit{5, 24, HIT_RESIZE_ZONE, 1, HEADER_ROWS},
                  Hit{5, 25, HIT_HEADER, 2, HEADER_ROWS}, Hit{50, 50, HIT_NONE, 0, -1}}) {
        uint32_t index = 0;
        int kind = -1;
        EXPECT_EQ(h.result, g.hitHeader(Point(h.x, h.y), index, kind)) << h.x << "," << h.y;
        if (h.result != HIT_NONE) {
            EXPECT_EQ(h.index, index) << h.x << "," << h.y;
            EXPECT_EQ(h.kind, kind) << h.x << "," << h.y;
        }
    }
    // Headers of rows beyond the table hit nothing.
    g.rowCount = 3;
    g.layout();
    uint32_t index = 0;
    int kind = -1;
    EXPECT_EQ(HIT_NONE, g.hitHeader(Point(5, 100), index, kind));
    g.headersShown = false;
    EXPECT_EQ(HIT_NONE, g.hitHeader(Point(5, 5), index, kind));
}

TEST_F(TableGeometryTest, PagesAndThumbs)
{
    // Forward: the last visible row comes to the top.
    EXPECT_EQ(13u, g.pageRow(true));
    EXPECT_EQ(8u, g.pageColumn(true));
    // Back from row 30: 190 pixels of data area take 13 rows of 15.
    g.firstVisibleRow = 30;
    g.layout();
    EXPECT_EQ(18u, g.pageRow(false));
    g.firstVisibleRow = 5;
    EXPECT_EQ(1u, g.pageRow(false));
    // A row taller than the page goes back by one.
    g.firstVisibleRow = 9;
    g.setRowHeight(9, 500);
    EXPECT_EQ(8u, g.pageRow(false));
    g.firstVisibleColumn = 1;
    EXPECT_EQ(1u, g.pageColumn(false));
}

TEST(TableSelectionTest, StepsRepaintTheStripAddedOrGivenUp)
{
    TableSelection s;
    s.current = CellPos(2, 2);
    CellRange strip;
    EXPECT_FALSE(s.extend(0, 0, 5, 5, strip));
    ASSERT_TRUE(s.extend(1, 0, 5, 5, strip));
    EXPECT_EQ(CellRange(3, 2, 3, 2), strip);
    ASSERT_TRUE(s.extend(0, 1, 5, 5, strip));
    EXPECT_EQ(CellRange(2, 3, 3, 3), strip);
    EXPECT_EQ(CellRange(2, 2, 3, 3), s.range());
    // Shrinking gives the old end column up.
    ASSERT_TRUE(s.extend(-1, 0, 5, 5, strip));
    EXPECT_EQ(CellRange(3, 2, 3, 3), strip);
    EXPECT_EQ(CellRange(2, 2, 2, 3), s.range());
    // Never out of the table.
    s.end = CellPos(5, 1);
    EXPECT_FALSE(s.extend(1, 0, 5, 5, strip));
    EXPECT_FALSE(s.extend(0, -1, 5, 5, strip));
    EXPECT_EQ(CellPos(5, 1), s.end);

    // A shrunk model: the current cell is clamped, an outlying selection goes.
    s.current = CellPos(2, 5);
    s.end = CellPos(1, 4);
    s.fitTo(2, 3);
    EXPECT_EQ(CellPos(2, 3), s.current);
    EXPECT_FALSE(s.hasSelection());
}

} // namespace
