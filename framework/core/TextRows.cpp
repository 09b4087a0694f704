#include "TextRows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

TextRows::TextRows(int rowsWanted, int columnsWanted)
    : rowCount(rowsWanted < 1 ? 1 : rowsWanted), columnCount(columnsWanted < 1 ? 1 : columnsWanted), first(0),
      text(rowCount, std::string(columnCount, ' ')), ranges(rowCount), used(rowCount, 0), firstChanged(32767),
      lastChanged(-1), column(0), row(0), leftMarginColumn(0), deferred(false), view(nullptr)
{
}

void TextRows::markDrawn(int r)
{
    ranges[physical(r)] = ChangedRange();
}

void TextRows::markAllDrawn()
{
    for (ChangedRange& range : ranges)
        range = ChangedRange();
    firstChanged = 32767;
    lastChanged = -1;
}

void TextRows::setCursor(int c, int r)
{
    column = std::max(0, std::min(c, columnCount));
    row = std::max(0, std::min(r, rowCount - 1));
}

int TextRows::lineDown(int n)
{
    if (n <= 0)
        return 0;
    int target = row + n;
    if (target < rowCount) {
        row = target;
        return 0;
    }
    int excess = target - (rowCount - 1);
    row = rowCount - 1;
    scroll(excess);
    return excess;
}

void TextRows::lineUp(int n)
{
    row = std::max(0, row - n);
}

void TextRows::columnRight(int n)
{
    column = std::min(columnCount - 1, column + n);
}

void TextRows::scroll(int n)
{
    if (n <= 0)
        return;
    const int blanked = std::min(n, rowCount);
    for (int i = 0; i < blanked; ++i) {
        const int p = physical(i);
        text[p].assign(columnCount, ' ');
        ranges[p] = ChangedRange();
        used[p] = 0;
    }
    first = (first + n) % rowCount;
    if (view)
        view->scrolled(n);
}

void TextRows::writePiece(const char* piece, int length)
{
    // Text beyond the row's last column is dropped.
    const int room = columnCount - column;
    const int n = std::min(length, room);
    if (n <= 0)
        return;
    const int p = physical(row);
    text[p].replace(static_cast<size_t>(column), static_cast<size_t>(n), piece, static_cast<size_t>(n));
    ChangedRange& range = ranges[p];
    range.from = std::min(range.from, column);
    range.to = std::max(range.to, column + n - 1);
    firstChanged = std::min(firstChanged, row);
    lastChanged = std::max(lastChanged, row);
    used[p] = std::max(used[p], column + n);
    if (!deferred && view)
        view->drawCells(column, row, text[p].data() + column, n);
    // The cursor advances in both modes.
    column += n;
}

void TextRows::write(const char* s, int length)
{
    if (!s)
        return;
    if (length < 0)
        length = static_cast<int>(strlen(s));
    std::string piece;
    for (int i = 0; i < length; ++i) {
        const char c = s[i];
        if (c == '\r')
            continue;
        if (c == '\n') {
            writePiece(piece.data(), static_cast<int>(piece.size()));
            piece.clear();
            column = leftMarginColumn;
            lineDown(1);
            continue;
        }
        piece += c;
    }
    writePiece(piece.data(), static_cast<int>(piece.size()));
}

void TextRows::vprintAt(int c, int r, const char* format, va_list args)
{
    // A mended fault: the text is formatted with its length bounded, cut at
    // 299 characters.
    char buffer[300];
    vsnprintf(buffer, sizeof buffer, format, args);
    setCursor(std::max(c, leftMarginColumn), r);
    write(buffer);
}

void TextRows::printAt(int c, int r, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintAt(c, r, format, args);
    va_end(args);
}

void TextRows::clear(const Rect* cells)
{
    Rect all(0, 0, columnCount, rowCount);
    const Rect& area = cells ? *cells : all;
    const int left = std::max(0, area.left()), right = std::min(columnCount, area.right());
    const int top = std::max(0, area.top()), bottom = std::min(rowCount, area.bottom());
    for (int r = top; r < bottom; ++r) {
        const int p = physical(r);
        if (right > left)
            text[p].replace(static_cast<size_t>(left), static_cast<size_t>(right - left),
                            static_cast<size_t>(right - left), ' ');
        ranges[p] = ChangedRange();
        if (left == 0 && right >= used[p])
            used[p] = 0;
    }
}

Point CellGeometry::cellAt(const Point& p) const
{
    int c = cellWidth > 0 ? (p.x() - leftMargin) / cellWidth : 0;
    int r = cellHeight > 0 ? (p.y() - topMargin) / cellHeight : 0;
    c = std::max(0, std::min(c, columns - 1));
    r = std::max(0, std::min(r, rows - 1));
    return Point(c, r);
}

Point CellGeometry::pointOf(const Point& cell) const
{
    return Point(cell.x() * cellWidth + leftMargin, cell.y() * cellHeight + topMargin);
}

Point CellGeometry::extent() const
{
    return Point(columns * cellWidth + 2 * leftMargin, rows * cellHeight + 2 * topMargin);
}
