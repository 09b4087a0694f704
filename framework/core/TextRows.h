// The text pane's row buffer and cursor: fixed-size character cells in a
// ring of rows, written to like a terminal. The window side draws what the
// buffer reports through a TextRowsView and scrolls the client area when the
// buffer scrolls.
#ifndef KYT_FRAMEWORK_TEXTROWS_H
#define KYT_FRAMEWORK_TEXTROWS_H

#include "ValueTypes.h"

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

class TextRowsView {
public:
    virtual ~TextRowsView() {}
    // Draw count cells of text at the cell (column, row) at once.
    virtual void drawCells(int column, int row, const char* text, int count) = 0;
    // The contents moved up by rows rows.
    virtual void scrolled(int rows) = 0;
};

// Column range of a row that waits to be drawn; from 32767, to 0 when none.
struct ChangedRange {
    int from = 32767;
    int to = 0;
    bool empty() const { return from > to; }
};

class TextRows {
public:
    TextRows(int rows, int columns);

    int rows() const { return rowCount; }
    int columns() const { return columnCount; }

    // The row as seen on screen (0 top), ring index resolved.
    const std::string& rowText(int row) const { return text[physical(row)]; }
    const ChangedRange& changed(int row) const { return ranges[physical(row)]; }
    int usedLength(int row) const { return used[physical(row)]; }
    int firstChangedRow() const { return firstChanged; }
    int lastChangedRow() const { return lastChanged; }
    void markDrawn(int row);
    void markAllDrawn();

    // Cursor.
    int cursorColumn() const { return column; }
    int cursorRow() const { return row; }
    void setCursor(int c, int r);
    int marginColumn() const { return leftMarginColumn; }
    void setMarginColumn(int c) { leftMarginColumn = c < 0 ? 0 : c; }
    // Down by n rows; past the last row the contents scroll by the excess
    // and the cursor stays on the last row. Returns the rows scrolled.
    int lineDown(int n);
    void lineUp(int n);
    void columnRight(int n);

    // Deferred mode: written cells are only marked for the next paint.
    void setDeferred(bool on) { deferred = on; }
    bool isDeferred() const { return deferred; }

    // Writes at the cursor: pieces cut at line feeds, carriage returns
    // dropped, each piece cut at the row's end (the rest is dropped).
    void write(const char* text, int length = -1);
    // At (max(column, margin column), row), formatted into 300 bytes
    // (at most 299 characters).
    void printAt(int column, int row, const char* format, ...);
    void vprintAt(int column, int row, const char* format, va_list args);

    // Blanks the cells of the rectangle (in cells, right and bottom
    // exclusive; the whole buffer when null) and marks them unchanged.
    void clear(const Rect* cells = nullptr);
    // Moves the contents up by n rows: the leaving rows come back blank at
    // the bottom.
    void scroll(int n);

    void setView(TextRowsView* v) { view = v; }

private:
    int physical(int r) const { return (first + r) % rowCount; }
    void writePiece(const char* piece, int length);

    int rowCount;
    int columnCount;
    int first;
    std::vector<std::string> text;
    std::vector<ChangedRange> ranges;
    std::vector<int> used;
    int firstChanged;
    int lastChanged;
    int column;
    int row;
    int leftMarginColumn;
    bool deferred;
    TextRowsView* view;
};

// The cell geometry of a text pane: cell size and margins in pixels.
struct CellGeometry {
    int cellWidth = 8;
    int cellHeight = 16;
    int leftMargin = 4;
    int topMargin = 8;
    int columns = 1;
    int rows = 1;

    // The cell under a client point, clamped to the buffer.
    Point cellAt(const Point& p) const;
    // The client point of a cell's top left corner.
    Point pointOf(const Point& cell) const;
    // The document size: cells and both margins.
    Point extent() const;
};

#endif
