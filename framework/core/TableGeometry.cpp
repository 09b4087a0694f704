#include "TableGeometry.h"

#include <algorithm>

// ---------------------------------------------------------------- SizeTable

int SizeTable::get(uint32_t index, int defaultSize) const
{
    if (index > highestSized)
        return defaultSize;
    const size_t page = index / 256;
    if (page >= pages.size() || !pages[page])
        return defaultSize;
    const int16_t v = (*pages[page])[index % 256];
    return v < 0 ? defaultSize : v;
}

void SizeTable::set(uint32_t index, int size)
{
    const size_t page = index / 256;
    if (page >= pages.size())
        pages.resize(page + 1);
    if (!pages[page]) {
        pages[page].reset(new std::array<int16_t, 256>);
        pages[page]->fill(-1);
    }
    // Stored in 16 bits: a size above 32767 turns negative and so reads back
    // as the default.
    (*pages[page])[index % 256] = static_cast<int16_t>(static_cast<uint16_t>(size));
    highestSized = std::max(highestSized, index);
}

// ---------------------------------------------------------------- free functions

int scrollShiftFor(uint32_t n)
{
    if (n <= 32767)
        return 0;
    int shift = 1;
    while (shift < 16 && (n >> shift) >= 32767)
        ++shift;
    return shift;
}

Point scrollRangeFor(uint32_t n)
{
    const uint32_t shifted = n >> scrollShiftFor(n);
    return Point(static_cast<int32_t>(std::min<uint32_t>(shifted, 1)),
                 static_cast<int32_t>(std::max<uint32_t>(shifted, 1)));
}

uint32_t firstLineOfThumb(int32_t position, int shift)
{
    return (static_cast<uint32_t>(position - 1) << shift) + 1;
}

int32_t thumbOfFirstLine(uint32_t first, int shift)
{
    return static_cast<int32_t>(first >> shift) + 1;
}

std::string headerLetters(uint32_t index)
{
    std::string letters;
    while (index > 0) {
        --index;
        letters.insert(letters.begin(), static_cast<char>('A' + index % 26));
        index /= 26;
    }
    return letters;
}

bool clipRange(const CellRange& r, const CellRange& to, CellRange& out)
{
    out = CellRange(std::max(r.column1, to.column1), std::max(r.row1, to.row1), std::min(r.column2, to.column2),
                    std::min(r.row2, to.row2));
    return out.column1 <= out.column2 && out.row1 <= out.row2;
}

// ---------------------------------------------------------------- TableGeometry

TableGeometry::TableGeometry() {}

void TableGeometry::setColumnWidths(uint32_t first, uint32_t last, int width)
{
    if (first > last)
        std::swap(first, last);
    for (uint32_t c = first; c <= last && c != 0xFFFFFFFFu; ++c)
        widths.set(c, width);
    if (last == 0xFFFFFFFFu)
        widths.set(last, width);
}

void TableGeometry::measure(int textWidth, int textHeight)
{
    defaultColumnWidth = textWidth + 5;
    defaultRowHeight = textHeight + 5;
    if (rowHeaderWidth == 0 && columnHeaderHeight == 0) {
        rowHeaderWidth = defaultColumnWidth - 10;
        columnHeaderHeight = defaultRowHeight + 5;
    }
}

void TableGeometry::layout()
{
    // Columns.
    int x = headerLeft();
    const uint32_t lastColumn = std::min<uint64_t>(columnCount, uint64_t(firstVisibleColumn) + kMaxLaidOut - 1);
    uint32_t i = 0;
    bool overflow = false;
    for (uint64_t c = firstVisibleColumn; c <= lastColumn; ++c, ++i) {
        columnLeft[i] = x;
        x += columnWidth(static_cast<uint32_t>(c));
        if (x > client.right()) {
            columnLeft[i + 1] = x;
            visibleColumns = i + 1;
            overflow = true;
            break;
        }
    }
    if (!overflow) {
        visibleColumns = i;
        columnLeft[i] = x;
    }

    // Rows; when they overflow, the row after the partly shown one counts as
    // visible as well.
    int y = headerTop();
    const uint32_t lastRow = std::min<uint64_t>(rowCount, uint64_t(firstVisibleRow) + kMaxLaidOut - 1);
    i = 0;
    overflow = false;
    for (uint64_t r = firstVisibleRow; r <= lastRow; ++r, ++i) {
        rowTop[i] = y;
        y += rowHeight(static_cast<uint32_t>(r));
        if (y > client.bottom()) {
            rowTop[i + 1] = y;
            visibleRows = i + 2;
            overflow = true;
            break;
        }
    }
    if (!overflow) {
        visibleRows = i;
        rowTop[i] = y;
    }

    Rect area = client;
    if (headersShown)
        area = Rect(rowHeaderWidth, columnHeaderHeight, client.right(), client.bottom());
    visibleRange = rangeOfRect(area);
}

uint32_t TableGeometry::relativeColumn(int x, uint32_t from) const
{
    if (visibleColumns == 0)
        return 0;
    for (uint32_t i = from; i < visibleColumns; ++i)
        if (columnLeft[i] >= x)
            return i + 1 - (columnLeft[i] > x ? 1 : 0);
    const uint32_t last = visibleColumns;
    const int right = columnLeft[last - 1] + columnWidth(firstVisibleColumn + last - 1);
    return x > right ? last + 1 : last;
}

uint32_t TableGeometry::relativeRow(int y, uint32_t from) const
{
    if (visibleRows == 0)
        return 0;
    for (uint32_t i = from; i < visibleRows; ++i)
        if (rowTop[i] >= y)
            return i + 1 - (rowTop[i] > y ? 1 : 0);
    const uint32_t last = visibleRows;
    const int bottom = rowTop[last - 1] + rowHeight(firstVisibleRow + last - 1);
    return y > bottom ? last + 1 : last;
}

CellRange TableGeometry::rangeOfRect(const Rect& r) const
{
    int left = r.left(), right = r.right(), top = r.top(), bottom = r.bottom();
    if (headersShown) {
        left = std::max(left, rowHeaderWidth);
        right = std::max(right, rowHeaderWidth);
        top = std::max(top, columnHeaderHeight);
        bottom = std::max(bottom, columnHeaderHeight);
    }
    const uint32_t c1 = relativeColumn(left, 0);
    const uint32_t c2 = relativeColumn(right, c1 > 0 ? c1 - 1 : 0);
    const uint32_t r1 = relativeRow(top, 0);
    const uint32_t r2 = relativeRow(bottom, r1 > 0 ? r1 - 1 : 0);
    return CellRange(c1 + firstVisibleColumn - 1, r1 + firstVisibleRow - 1, c2 + firstVisibleColumn - 1,
                     r2 + firstVisibleRow - 1);
}

bool TableGeometry::laidOut(const CellPos& pos) const
{
    return pos.column >= firstVisibleColumn && pos.column - firstVisibleColumn < visibleColumns &&
           pos.row >= firstVisibleRow && pos.row - firstVisibleRow < visibleRows;
}

Rect TableGeometry::cellRect(const CellPos& pos) const
{
    if (!laidOut(pos))
        return Rect();
    const int left = columnLeft[pos.column - firstVisibleColumn];
    const int top = rowTop[pos.row - firstVisibleRow];
    return Rect(left, top, left + columnWidth(pos.column), top + rowHeight(pos.row));
}

Rect TableGeometry::dataArea() const
{
    return Rect(headerLeft(), headerTop(), client.right(), client.bottom());
}

int TableGeometry::hitHeader(const Point& p, uint32_t& index, int& kind) const
{
    if (!headersShown)
        return HIT_NONE;
    const int x = p.x(), y = p.y();
    if (x < rowHeaderWidth && y < columnHeaderHeight) {
        kind = HEADER_CORNER;
        index = 0;
        return HIT_HEADER;
    }
    if (x < rowHeaderWidth && y <= client.bottom()) {
        kind = HEADER_ROWS;
        const uint32_t rel = relativeRow(std::max(y, columnHeaderHeight), 0);
        const uint32_t row = rel + firstVisibleRow - 1;
        index = row;
        if (rel == 0 || rel > visibleRows || row > rowCount)
            return HIT_NONE;
        const int bottom = rowTop[rel - 1] + rowHeight(row);
        if (y < bottom - resizeZone + 1)
            return HIT_HEADER;
        return y <= bottom ? HIT_RESIZE_ZONE : HIT_NONE;
    }
    if (y >= columnHeaderHeight || x > client.right())
        return HIT_NONE;
    kind = HEADER_COLUMNS;
    const uint32_t rel = relativeColumn(std::max(x, rowHeaderWidth), 0);
    const uint32_t column = rel + firstVisibleColumn - 1;
    index = column;
    if (rel == 0 || rel > visibleColumns || column > columnCount)
        return HIT_NONE;
    const int right = columnLeft[rel - 1] + columnWidth(column);
    if (x < right - resizeZone + 1)
        return HIT_HEADER;
    return x <= right ? HIT_RESIZE_ZONE : HIT_NONE;
}

bool TableGeometry::cellAtPoint(const Point& p, CellPos& pos) const
{
    if (headersShown && (p.x() < rowHeaderWidth || p.y() < columnHeaderHeight))
        return false;
    const CellRange r = rangeOfRect(Rect(p.x(), p.y(), p.x(), p.y()));
    pos = CellPos(r.column1, r.row1);
    return pos.column != 0 && pos.row != 0;
}

uint32_t TableGeometry::pageRow(bool forward) const
{
    if (forward)
        return std::max<uint32_t>(1, std::min(visibleRange.row2, rowCount));
    const int height = client.height() - headerTop();
    int sum = 0;
    for (uint32_t r = firstVisibleRow; r > 1; --r) {
        sum += rowHeight(r);
        if (sum >= height)
            return r == firstVisibleRow ? r - 1 : r;
    }
    return 1;
}

uint32_t TableGeometry::pageColumn(bool forward) const
{
    if (forward)
        return std::max<uint32_t>(1, std::min(visibleRange.column2, columnCount));
    const int width = client.width() - headerLeft();
    int sum = 0;
    for (uint32_t c = firstVisibleColumn; c > 1; --c) {
        sum += columnWidth(c);
        if (sum >= width)
            return c == firstVisibleColumn ? c - 1 : c;
    }
    return 1;
}

// ---------------------------------------------------------------- TableSelection

CellRange TableSelection::range() const
{
    if (!hasSelection())
        return CellRange(current.column, current.row, current.column, current.row);
    return CellRange(std::min(current.column, end.column), std::min(current.row, end.row),
                     std::max(current.column, end.column), std::max(current.row, end.row));
}

CellPos TableSelection::clamped(const CellPos& pos, uint32_t columns, uint32_t rows)
{
    return CellPos(std::min(pos.column, columns), std::min(pos.row, rows));
}

bool TableSelection::extend(int dx, int dy, uint32_t columns, uint32_t rows, CellRange& strip)
{
    if (dx == 0 && dy == 0)
        return false;
    const CellPos oldEnd = hasSelection() ? end : current;
    const int64_t c = int64_t(oldEnd.column) + dx;
    const int64_t r = int64_t(oldEnd.row) + dy;
    if (c < 1 || c > columns || r < 1 || r > rows)
        return false;
    const CellPos newEnd(static_cast<uint32_t>(c), static_cast<uint32_t>(r));
    TableSelection before = *this;
    before.end = oldEnd;
    const CellRange old = before.range();
    const bool shrinks = old.contains(newEnd) && newEnd != oldEnd;
    const CellPos& edge = shrinks ? oldEnd : newEnd;
    if (dx != 0)
        strip = CellRange(edge.column, old.row1, edge.column, old.row2);
    else
        strip = CellRange(old.column1, edge.row, old.column2, edge.row);
    end = newEnd;
    return true;
}

void TableSelection::fitTo(uint32_t columns, uint32_t rows)
{
    current = clamped(current, columns, rows);
    if (hasSelection() && (end.column > columns || end.row > rows))
        end = CellPos(0, 0);
}
