// The arithmetic of the table pane, free of any window: per-row heights and
// per-column widths in pages, the layout of the visible rows and columns,
// pixels to cells, header hits, scroll-bar shifts, page and thumb scrolling,
// and the current cell with its selection.
#ifndef KYT_FRAMEWORK_TABLEGEOMETRY_H
#define KYT_FRAMEWORK_TABLEGEOMETRY_H

#include "TableModel.h"
#include "ValueTypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Heights or widths, 256 signed 16-bit entries to a page; a negative entry,
// a page never made or an index above the highest sized one means the
// default. Explicit sizes so range over 0..32767.
class SizeTable {
public:
    int get(uint32_t index, int defaultSize) const;
    void set(uint32_t index, int size);
    uint32_t highest() const { return highestSized; }

private:
    std::vector<std::unique_ptr<std::array<int16_t, 256>>> pages;
    uint32_t highestSized = 0;
};

// Results of a header hit test.
enum HeaderHit { HIT_NONE = 0, HIT_HEADER = 1, HIT_RESIZE_ZONE = 2 };
// Header kinds: row headers, column headers, the corner.
enum HeaderKind { HEADER_ROWS = 0, HEADER_COLUMNS = 1, HEADER_CORNER = 2 };

// How many bits a scroll range of n lines is shifted right to fit a 16-bit
// bar: 0 up to 32767, else the smallest shift that brings it below 32767.
int scrollShiftFor(uint32_t n);
// The bar range (min(n', 1), max(n', 1)) of the shifted count n'.
Point scrollRangeFor(uint32_t n);
// The first line shown for a thumb position, and the bar position of a
// first shown line.
uint32_t firstLineOfThumb(int32_t position, int shift);
int32_t thumbOfFirstLine(uint32_t first, int shift);
// Column letters: 1 A, 26 Z, 27 AA (bijective base 26).
std::string headerLetters(uint32_t index);

const int kMaxLaidOut = 98;

class TableGeometry {
public:
    TableGeometry();

    int columnWidth(uint32_t column) const { return widths.get(column, defaultColumnWidth); }
    int rowHeight(uint32_t row) const { return heights.get(row, defaultRowHeight); }
    void setColumnWidth(uint32_t column, int width) { widths.set(column, width); }
    // Either order of first and last.
    void setColumnWidths(uint32_t first, uint32_t last, int width);
    void setRowHeight(uint32_t row, int height) { heights.set(row, height); }

    // The first nine characters of "MMM MMM MMM" measured in the pane's font;
    // header sizes follow when neither was set.
    void measure(int textWidth, int textHeight);
    // Lays out the visible rows and columns from the first visible ones.
    void layout();
    // The cells a pixel rectangle touches, partly covered ones included.
    CellRange rangeOfRect(const Rect& r) const;
    // (left, top, left + width, top + height) of a laid-out cell; empty when
    // the cell is not laid out.
    Rect cellRect(const CellPos& pos) const;
    bool laidOut(const CellPos& pos) const;
    // The data area: the client rectangle without the headers.
    Rect dataArea() const;
    int headerLeft() const { return headersShown ? rowHeaderWidth : 0; }
    int headerTop() const { return headersShown ? columnHeaderHeight : 0; }

    int hitHeader(const Point& p, uint32_t& index, int& kind) const;
    // The cell under a point; false over a header or where a number is 0.
    bool cellAtPoint(const Point& p, CellPos& pos) const;

    // The first visible row (column) after a page forward or back.
    uint32_t pageRow(bool forward) const;
    uint32_t pageColumn(bool forward) const;

    uint32_t rowCount = 0;
    uint32_t columnCount = 0;
    bool headersShown = true;
    int rowHeaderWidth = 0;
    int columnHeaderHeight = 0;
    Rect client;
    CellRange visibleRange;
    int defaultColumnWidth = 0;
    int defaultRowHeight = 0;
    int resizeZone = 2;
    uint32_t firstVisibleColumn = 1;
    uint32_t firstVisibleRow = 1;
    int rowTop[kMaxLaidOut + 3] = {};
    int columnLeft[kMaxLaidOut + 3] = {};
    uint32_t visibleRows = 0;
    uint32_t visibleColumns = 0;

private:
    // Relative column (row) of a coordinate, searched from a 0-based index.
    uint32_t relativeColumn(int x, uint32_t from) const;
    uint32_t relativeRow(int y, uint32_t from) const;

    SizeTable widths;
    SizeTable heights;
};

// The current cell (the fixed corner of the selection) and the selection
// end (its moving corner; column 0: no selection).
struct TableSelection {
    CellPos current{1, 1};
    CellPos end{0, 0};

    bool hasSelection() const { return end.column != 0; }
    // The range spanned by the current cell and the end, or the current cell.
    CellRange range() const;
    // pos clamped to the size, as the current cell takes it.
    static CellPos clamped(const CellPos& pos, uint32_t columns, uint32_t rows);
    // One step of the end. False when it would leave the table; otherwise
    // strip is the part to repaint (given up when it shrinks, added when it
    // grows) and the end has moved.
    bool extend(int dx, int dy, uint32_t columns, uint32_t rows, CellRange& strip);
    // After the model shrank: the current cell clamped, a selection that
    // reaches outside dropped.
    void fitTo(uint32_t columns, uint32_t rows);
};

// The part of a range inside another; false when they do not meet.
bool clipRange(const CellRange& r, const CellRange& to, CellRange& out);

#endif
