#include "TablePane.h"

#include "Bitmap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

ClipCursorCall clipCursorCall = ClipCursor;

// The pane's dialog frames register this class; a pane in one is repainted
// whole when it scrolls.
const char kDialogFrameClass[] = "DialogFrameCL";

const int kFormatBound = 900;
const int kFormatWhole = 32767;

RECT toRECT(const Rect& r)
{
    RECT out = {r.left(), r.top(), r.right(), r.bottom()};
    return out;
}

bool rectIsEmpty(const Rect& r)
{
    return r.right() <= r.left() || r.bottom() <= r.top();
}

// A brush or a font that an attribute selected, with whether it was pushed.
struct GdiResource : AttributeResource {
    explicit GdiResource(GdiObject* o) : object(o), pushed(false) {}
    ~GdiResource() override { delete object; }
    GdiObject* object;
    bool pushed;
};

} // namespace

// ---------------------------------------------------------------- cell canvas

void DeviceCellCanvas::select(CellAttribute& a)
{
    switch (a.kind) {
    case ATTR_TEXT_COLOR: {
        auto& t = static_cast<TextColorAttribute&>(a);
        t.saved = dc.setTextColor(t.colour);
        break;
    }
    case ATTR_BACKGROUND: {
        auto& b = static_cast<BackgroundAttribute&>(a);
        if (!a.resource)
            a.resource.reset(new GdiResource(new Brush(b.colour)));
        auto* r = static_cast<GdiResource*>(a.resource.get());
        r->pushed = dc.currentBrush() != r->object;
        if (r->pushed)
            dc.pushBrush(static_cast<Brush*>(r->object));
        break;
    }
    case ATTR_FONT: {
        auto& f = static_cast<FontAttribute&>(a);
        if (!a.resource) {
            const int height = -(f.height * dc.deviceCaps(LOGPIXELSY) / 720);
            a.resource.reset(
                new GdiResource(new Font(f.faceName.c_str(), 0, height, f.weight, FF_DONTCARE, VARIABLE_PITCH, 0)));
        }
        auto* r = static_cast<GdiResource*>(a.resource.get());
        r->pushed = dc.currentFont() != r->object;
        if (r->pushed)
            dc.pushFont(static_cast<Font*>(r->object));
        break;
    }
    default: break;
    }
}

void DeviceCellCanvas::restore(CellAttribute& a)
{
    auto* r = static_cast<GdiResource*>(a.resource.get());
    switch (a.kind) {
    case ATTR_TEXT_COLOR: dc.setTextColor(static_cast<TextColorAttribute&>(a).saved); break;
    case ATTR_BACKGROUND:
        if (r && r->pushed) {
            dc.popBrush();
            r->pushed = false;
        }
        break;
    case ATTR_FONT:
        if (r && r->pushed) {
            dc.popFont();
            r->pushed = false;
        }
        break;
    default: break;
    }
}

void DeviceCellCanvas::drawRect(const Rect& r, bool black)
{
    if (black)
        dc.pushPen(blackPen);
    dc.rectangle(r.left(), r.top(), r.right(), r.bottom());
    if (black)
        dc.popPen();
}

void DeviceCellCanvas::drawText(int x, int y, const std::string& text)
{
    dc.textOut(x, y, text.c_str(), static_cast<int>(text.size()));
}

int DeviceCellCanvas::textWidth(const std::string& text)
{
    return dc.textExtent(text.c_str(), static_cast<int>(text.size())).x();
}

void DeviceCellCanvas::invert(const Rect& r)
{
    dc.patBlt(r.left(), r.top(), r.width(), r.height(), DSTINVERT);
}

void DeviceCellCanvas::focusFrame(const Rect& r)
{
    dc.pushPen(blackPen);
    dc.moveTo(r.left() + 1, r.top() + 1);
    dc.lineTo(r.left() + 1, r.bottom() - 2);
    dc.lineTo(r.right() - 2, r.bottom() - 2);
    dc.lineTo(r.right() - 2, r.top() + 1);
    dc.lineTo(r.left() + 1, r.top() + 1);
    dc.popPen();
}

// ---------------------------------------------------------------- BitmapCell

BitmapCell::BitmapCell(TableModelBase* m, const CellPos& pos, Bitmap* owned) : TableCell(m, pos), bitmap(owned) {}

BitmapCell::~BitmapCell()
{
    delete bitmap;
}

void BitmapCell::paint(CellCanvas& canvas, CellStyle& style, const Rect& r)
{
    paintCellFrame(canvas, style, r, false, [this](CellCanvas& c, const Rect& cell) {
        if (auto* device = dynamic_cast<DeviceCellCanvas*>(&c))
            if (bitmap)
                device->context().drawBitmap(*bitmap, cell.left() + 3, cell.top() + 3, SRCCOPY);
        return 0;
    });
}

void setClipCursorCall(ClipCursorCall call)
{
    clipCursorCall = call ? call : ClipCursor;
}

// ---------------------------------------------------------------- TableScroller

TableScroller::TableScroller(TablePaneCL* tablePane) : RangeScroller(tablePane), table(tablePane) {}

int TableScroller::scrollVertPage()
{
    ScrollBarState* bar = table->vScrollState;
    if (!bar)
        return 0;
    table->geo.firstVisibleRow = table->geo.pageRow(bar->previous <= bar->position);
    return afterPage(true);
}

int TableScroller::scrollHorzPage()
{
    ScrollBarState* bar = table->hScrollState;
    if (!bar || bar->position == bar->previous)
        return 0;
    table->geo.firstVisibleColumn = table->geo.pageColumn(bar->previous < bar->position);
    return afterPage(false);
}

int TableScroller::afterPage(bool vertical)
{
    table->geo.layout();
    table->invalidateWhole(false);
    table->update();
    ScrollBarState* bar = vertical ? table->vScrollState : table->hScrollState;
    const uint32_t count = vertical ? table->geo.rowCount : table->geo.columnCount;
    const uint32_t first = vertical ? table->geo.firstVisibleRow : table->geo.firstVisibleColumn;
    if (count < 32768) {
        bar->setPosition(static_cast<int32_t>(first));
        bar->previous = bar->position;
    } else {
        const int32_t p = thumbOfFirstLine(first, vertical ? table->rowShift : table->columnShift);
        if (bar->position != p)
            bar->trackTo(p);
        bar->previous = p;
    }
    return 0;
}

int TableScroller::scrollVertThumb()
{
    return toThumbPosition(true);
}

int TableScroller::scrollHorzThumb()
{
    return toThumbPosition(false);
}

int TableScroller::toThumbPosition(bool vertical)
{
    ScrollBarState* bar = vertical ? table->vScrollState : table->hScrollState;
    if (!bar || bar->position == bar->previous)
        return 0;
    const uint32_t first = firstLineOfThumb(bar->position, vertical ? table->rowShift : table->columnShift);
    if (vertical)
        table->geo.firstVisibleRow = first;
    else
        table->geo.firstVisibleColumn = first;
    table->geo.layout();
    table->invalidateWhole(false);
    table->update();
    bar->previous = bar->position;
    return 1;
}

// ---------------------------------------------------------------- set-up

TablePaneCL::TablePaneCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, TableModelBase* given)
    : PaneWindowCL(parentWindow, g, windowStyle | WS_HSCROLL | WS_VSCROLL)
{
    setUp(given, new Cursor(ResourceId(kColumnResizeCursor)), new Cursor(ResourceId(kRowResizeCursor)));
    ownsCursors = true;
}

TablePaneCL::TablePaneCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, TableModelBase* given,
                         Cursor* columnResize, Cursor* rowResize)
    : PaneWindowCL(parentWindow, g, windowStyle | WS_HSCROLL | WS_VSCROLL)
{
    setUp(given, columnResize, rowResize);
    ownsCursors = false;
}

void TablePaneCL::setUp(TableModelBase* given, Cursor* columnResizeCursor, Cursor* rowResizeCursor)
{
    className = "TablePaneCL";
    style |= WS_TABSTOP;
    if (hwnd)
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(GetWindowLongA(hwnd, GWL_STYLE) | WS_TABSTOP));
    selection = TableSelection();
    ownsModel = given == nullptr;
    model = given ? given : new TableModel(100, 100);
    geo.columnCount = model->getColumns();
    geo.rowCount = model->getRows();
    enterDirection = ENTER_DOWN;
    drag = 0;
    buttonDown = false;
    releasingCapture = false;
    columnCursor = columnResizeCursor;
    rowCursor = rowResizeCursor;
    ownsCursors = false;
    resizeState = 0;
    resizedColumn = resizedRow = 0;
    headerTextMode[0] = HEADER_NUMBER;
    headerTextMode[1] = HEADER_NUMBER;
    headerTextMode[2] = HEADER_EMPTY;
    headerStyle = HEADER_RAISED;
    selectOption = headerSelect = headerDragExtend = true;
    rowResize = columnResize = true;
    highlightFirst = highlightLast = 2;
    highlightKind = HEADER_CORNER;
    headerDragAnchor = headerDragEnd = 0;
    prepared = false;
    hasFocus = false;
    rowShift = columnShift = 0;
    editor = nullptr;
    clipRegion = nullptr;
    dragPen = nullptr;

    // "System", 10 points, weight 300, variable pitch.
    const int height = -(100 * own->deviceCaps(LOGPIXELSY) / 720);
    paneFont = new Font("System", 0, height, 300, FF_DONTCARE, VARIABLE_PITCH, 0);
    own->pushFont(paneFont);
    AddEventHandler(this, &TablePaneCL::onKey, WM_KEYDOWN);
    gridPen = new Pen(PS_SOLID, 1, Color(200, 200, 200));
    own->pushPen(gridPen);
    scroller = new TableScroller(this);
    lightGrayBrush = new Brush(StockObject{LTGRAY_BRUSH});
    whiteBrush = new Brush(StockObject{WHITE_BRUSH});
    darkGrayBrush = new Brush(StockObject{DKGRAY_BRUSH});
    blackBrush = new Brush(StockObject{BLACK_BRUSH});
    blackPen = new Pen(StockObject{BLACK_PEN});
    whitePen = new Pen(StockObject{WHITE_PEN});
    shadowPen = new Pen(PS_SOLID, 0, Color(128, 128, 128));
    model->addView(ViewCall(this, &TablePaneCL::modelChanged));
}

TablePaneCL::~TablePaneCL()
{
    if (drag == 1)
        endBorderDrag(nullptr);
    model->removeView(ViewCall(this, &TablePaneCL::modelChanged));
    if (ownsModel)
        delete model;
    model = nullptr;
    if (editor)
        editor->pane = nullptr;
    // A mended fault: the grid pen was deleted here while the context still
    // held it, and the context deleted it a second time. Popped first, like
    // the font.
    while (own && own->currentPen() == gridPen)
        own->popPen();
    delete gridPen;
    if (own && own->currentFont() == paneFont)
        own->popFont();
    delete paneFont;
    delete lightGrayBrush;
    delete whiteBrush;
    delete darkGrayBrush;
    delete blackBrush;
    delete blackPen;
    delete whitePen;
    delete shadowPen;
    delete scroller;
    scroller = nullptr;
    if (ownsCursors) {
        delete columnCursor;
        delete rowCursor;
    }
}

// ---------------------------------------------------------------- sizes and layout

void TablePaneCL::setScrollRanges()
{
    columnShift = scrollShiftFor(geo.columnCount);
    rowShift = scrollShiftFor(geo.rowCount);
    if (hScrollState) {
        hScrollState->setRange(scrollRangeFor(geo.columnCount));
        hScrollState->setPosition(1);
        hScrollState->previous = 1;
    }
    if (vScrollState) {
        vScrollState->setRange(scrollRangeFor(geo.rowCount));
        vScrollState->setPosition(1);
        vScrollState->previous = 1;
    }
}

void TablePaneCL::relayoutScroller(bool onSizeForm)
{
    auto* range = static_cast<RangeScroller*>(scroller);
    const Rect& c = geo.client;
    if (onSizeForm) {
        range->setViewRect(c.left(), geo.headerTop(), c.right(), c.bottom());
        range->setDocumentRect(geo.headerLeft(), c.top(), c.right(), c.bottom());
    } else {
        range->setViewRect(geo.headerLeft(), geo.headerTop(), c.right(), c.bottom());
        range->setDocumentRect(geo.headerLeft(), geo.headerTop(), c.right(), c.bottom());
    }
}

void TablePaneCL::dcChanged()
{
    prepared = true;
    own->setBackMode(TRANSPARENT);
    own->attach();
    const Point extent = own->textExtent("MMM MMM MMM", 9);
    own->release();
    geo.measure(extent.x(), extent.y());
    if (own->currentPen() != gridPen)
        own->pushPen(gridPen);
    auto* range = static_cast<RangeScroller*>(scroller);
    range->setVertLine(1);
    range->setHorzLine(1);
    range->setVertPage(4);
    range->setHorzPage(4);
    if (vScrollState)
        vScrollState->page = 4;
    if (hScrollState)
        hScrollState->page = 4;
    setScrollRanges();
    geo.client = paneClientRect();
    geo.layout();
    relayoutScroller(false);
    if (editor)
        loadEditor(LOAD_MOVING);
}

LRESULT TablePaneCL::onSize(EventRecord*)
{
    geo.client = paneClientRect();
    geo.layout();
    relayoutScroller(true);
    invalidateWhole(false);
    return 0;
}

void TablePaneCL::getHeaderSize(int& width, int& height) const
{
    width = geo.rowHeaderWidth;
    height = geo.columnHeaderHeight;
}

void TablePaneCL::setHeaderSize(int width, int height)
{
    geo.rowHeaderWidth = width;
    geo.columnHeaderHeight = height;
    if (prepared) {
        geo.layout();
        relayoutScroller(true);
        invalidateWhole(true);
    }
}

void TablePaneCL::setHeaderShown(bool shown)
{
    if (geo.headersShown == shown)
        return;
    geo.headersShown = shown;
    if (prepared) {
        geo.client = paneClientRect();
        geo.layout();
        relayoutScroller(true);
        invalidateWhole(true);
    }
}

void TablePaneCL::setOption(int kind, int mode)
{
    if (kind >= 0 && kind < 3)
        headerTextMode[kind] = mode;
}

void TablePaneCL::setHeaderText(int kind, uint32_t index, const std::string& text)
{
    if (kind == HEADER_CORNER) {
        cornerText = text;
        return;
    }
    std::vector<std::string>& texts = kind == HEADER_ROWS ? rowHeaderTexts : columnHeaderTexts;
    if (index >= texts.size())
        texts.resize(std::max<size_t>(texts.size() + 100, size_t(index) + 1));
    texts[index] = text;
}

std::string TablePaneCL::headerText(int kind, uint32_t index) const
{
    switch (headerTextMode[kind]) {
    case HEADER_NUMBER: {
        char number[16];
        snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(index));
        return number;
    }
    case HEADER_STORED: {
        if (kind == HEADER_CORNER)
            return cornerText;
        const std::vector<std::string>& texts = kind == HEADER_ROWS ? rowHeaderTexts : columnHeaderTexts;
        return index < texts.size() ? texts[index] : std::string();
    }
    case HEADER_LETTERS: return headerLetters(index);
    default: return std::string();
    }
}

void TablePaneCL::setGridColor(const Color& colour)
{
    if (own->currentPen() == gridPen)
        own->popPen();
    delete gridPen;
    gridPen = new Pen(PS_SOLID, 0, colour);
    own->pushPen(gridPen);
}

void TablePaneCL::setColumnWidth(uint32_t column, int width)
{
    geo.setColumnWidth(column, width);
    geo.layout();
}

void TablePaneCL::setColumnWidths(uint32_t first, uint32_t last, int width)
{
    geo.setColumnWidths(first, last, width);
    geo.layout();
}

void TablePaneCL::setRowHeight(uint32_t row, int height)
{
    geo.setRowHeight(row, height);
    geo.layout();
}

// ---------------------------------------------------------------- invalidation

void TablePaneCL::invalidateWhole(bool erase)
{
    if (isWindow())
        InvalidateRect(hwnd, nullptr, erase ? TRUE : FALSE);
}

void TablePaneCL::update()
{
    if (isWindow())
        UpdateWindow(hwnd);
}

void TablePaneCL::invalidateCell(const CellPos& pos)
{
    const Rect r = geo.cellRect(pos);
    if (!isWindow() || rectIsEmpty(r))
        return;
    RECT w = toRECT(r);
    InvalidateRect(hwnd, &w, FALSE);
}

void TablePaneCL::invalidateRange(const CellRange& range)
{
    CellRange shown;
    const CellRange laid(geo.firstVisibleColumn, geo.firstVisibleRow, geo.firstVisibleColumn + geo.visibleColumns - 1,
                         geo.firstVisibleRow + geo.visibleRows - 1);
    if (!isWindow() || geo.visibleColumns == 0 || geo.visibleRows == 0 || !clipRange(range, laid, shown))
        return;
    const Rect first = geo.cellRect(CellPos(shown.column1, shown.row1));
    const Rect last = geo.cellRect(CellPos(shown.column2, shown.row2));
    RECT w = {first.left(), first.top(), last.right(), last.bottom()};
    InvalidateRect(hwnd, &w, FALSE);
}

void TablePaneCL::invalidateHeaders(int kind, uint32_t first, uint32_t last)
{
    if (!isWindow())
        return;
    RECT w = {0, 0, geo.rowHeaderWidth, geo.columnHeaderHeight};
    if (kind == HEADER_ROWS || kind == HEADER_COLUMNS) {
        const bool rows = kind == HEADER_ROWS;
        const uint32_t from = rows ? geo.firstVisibleRow : geo.firstVisibleColumn;
        const uint32_t count = rows ? geo.visibleRows : geo.visibleColumns;
        first = std::max(first, from);
        last = std::min<uint64_t>(last, uint64_t(from) + count - 1);
        if (count == 0 || first > last)
            return;
        if (rows) {
            const Rect a = geo.cellRect(CellPos(geo.firstVisibleColumn, first));
            const Rect b = geo.cellRect(CellPos(geo.firstVisibleColumn, last));
            w = RECT{0, a.top(), geo.rowHeaderWidth, b.bottom()};
        } else {
            const Rect a = geo.cellRect(CellPos(first, geo.firstVisibleRow));
            const Rect b = geo.cellRect(CellPos(last, geo.firstVisibleRow));
            w = RECT{a.left(), 0, b.right(), geo.columnHeaderHeight};
        }
    }
    InvalidateRect(hwnd, &w, FALSE);
}

// ---------------------------------------------------------------- scrolling

void TablePaneCL::scrollWindow(int dx, int dy, const Rect* clip)
{
    const uint32_t oldColumn = geo.firstVisibleColumn;
    const uint32_t oldRow = geo.firstVisibleRow;
    // Never before the first or past the last line, whatever the delta.
    const auto within = [](int64_t v, uint32_t count) {
        return static_cast<uint32_t>(std::max<int64_t>(1, std::min<int64_t>(v, std::max<uint32_t>(count, 1))));
    };
    geo.firstVisibleColumn = within(int64_t(oldColumn) - dx, geo.columnCount);
    geo.firstVisibleRow = within(int64_t(oldRow) - dy, geo.rowCount);
    if (dx && geo.columnCount >= 32768 && hScrollState) {
        const int32_t p = thumbOfFirstLine(geo.firstVisibleColumn, columnShift);
        if (hScrollState->position != p)
            hScrollState->trackTo(p);
    }
    if (dy && geo.rowCount >= 32768 && vScrollState) {
        const int32_t p = thumbOfFirstLine(geo.firstVisibleRow, rowShift);
        if (vScrollState->position != p)
            vScrollState->trackTo(p);
    }
    geo.layout();
    const int width = geo.client.width(), height = geo.client.height();
    const int px = dx == 1    ? geo.columnWidth(geo.firstVisibleColumn)
                   : dx == -1 ? -geo.columnWidth(oldColumn)
                   : dx > 1   ? width
                   : dx < -1  ? -width
                              : 0;
    const int py = dy == 1    ? geo.rowHeight(geo.firstVisibleRow)
                   : dy == -1 ? -geo.rowHeight(oldRow)
                   : dy > 1   ? height
                   : dy < -1  ? -height
                              : 0;
    if (!isWindow())
        return;
    char parentClass[64] = "";
    if (parent && parent->isWindow())
        GetClassNameA(parent->hwnd, parentClass, sizeof parentClass);
    if (strcmp(parentClass, kDialogFrameClass) == 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
    } else {
        RECT none = {0, 0, 0, 0};
        InvalidateRect(hwnd, &none, FALSE);
    }
    if (clip) {
        RECT c = toRECT(*clip);
        ScrollWindow(hwnd, px, py, &c, &c);
    } else {
        ScrollWindow(hwnd, px, py, nullptr, nullptr);
    }
}

void TablePaneCL::scrollOne(bool vertical, bool forward)
{
    ScrollBarState* bar = vertical ? vScrollState : hScrollState;
    if (!bar || !scroller)
        return;
    int32_t p = bar->position;
    if (!forward && p == 1)
        p = 2;
    bar->previous = p;
    bar->position = forward ? p + 1 : p - 1;
    showBarPosition(bar->kind(), bar->position);
    if (vertical)
        scroller->scrollVertLine();
    else
        scroller->scrollHorzLine();
}

// ---------------------------------------------------------------- model

int TablePaneCL::modelChanged(TableModelBase* changed, const CellRange* range)
{
    if (range) {
        invalidateRange(*range);
        update();
        return 1;
    }
    invalidateWhole(false);
    if (changed->getColumns() == geo.columnCount && changed->getRows() == geo.rowCount) {
        update();
        return 1;
    }
    geo.columnCount = changed->getColumns();
    geo.rowCount = changed->getRows();
    // A mended fault: the current cell and the selection end stayed where
    // they were, and an edit there went into a cell the model never took.
    selection.fitTo(geo.columnCount, geo.rowCount);
    geo.firstVisibleColumn = 1;
    geo.firstVisibleRow = 1;
    if (prepared) {
        auto* r = static_cast<RangeScroller*>(scroller);
        r->setVertLine(1);
        r->setHorzLine(1);
        r->setVertPage(4);
        r->setHorzPage(4);
        setScrollRanges();
    }
    geo.client = paneClientRect();
    geo.layout();
    update();
    return 1;
}

// ---------------------------------------------------------------- painting

LRESULT TablePaneCL::paint(DeviceContext& dc)
{
    CellStyle style(model);
    const Rect upd = dc.updateRect();
    const CellRange range = geo.rangeOfRect(upd);
    dc.attach();
    clipRegion = CreateRectRgn(0, 0, geo.client.right(), geo.client.bottom());
    SelectClipRgn(dc.hdc, clipRegion);
    DeviceCellCanvas canvas(dc, blackPen);

    const auto columnIndex = [this](uint32_t c) {
        return std::min<uint32_t>(c - geo.firstVisibleColumn, kMaxLaidOut + 1);
    };
    const auto rowIndex = [this](uint32_t r) { return std::min<uint32_t>(r - geo.firstVisibleRow, kMaxLaidOut + 1); };
    const bool haveRange = range.column1 >= geo.firstVisibleColumn && range.row1 >= geo.firstVisibleRow &&
                           range.column1 <= range.column2 && range.row1 <= range.row2;

    // White strips right of and below the cells.
    int cellsRight = geo.headerLeft(), cellsBottom = geo.headerTop();
    if (haveRange) {
        cellsRight = geo.columnLeft[columnIndex(range.column2)] + geo.columnWidth(range.column2);
        cellsBottom = geo.rowTop[rowIndex(range.row2)] + geo.rowHeight(range.row2);
    }
    if (upd.right() > cellsRight || upd.bottom() > cellsBottom) {
        dc.pushPen(whitePen);
        dc.pushBrush(whiteBrush);
        dc.rectangle(cellsRight, upd.top(), upd.right(), upd.bottom());
        dc.rectangle(upd.left(), cellsBottom, upd.right(), upd.bottom());
        dc.popBrush();
        dc.popPen();
    }

    if (geo.headersShown && upd.left() < geo.rowHeaderWidth && upd.top() < geo.columnHeaderHeight)
        paintHeaderCell(Rect(0, 0, geo.rowHeaderWidth, geo.columnHeaderHeight), 0, HEADER_CORNER);

    if (haveRange) {
        const CellRange selected = selection.range();
        for (uint32_t r = range.row1; r <= range.row2; ++r) {
            const int top = geo.rowTop[rowIndex(r)];
            const int height = geo.rowHeight(r);
            if (geo.headersShown)
                paintHeaderCell(Rect(0, top, geo.rowHeaderWidth, top + height), r, HEADER_ROWS);
            for (uint32_t c = range.column1; c <= range.column2; ++c) {
                const int left = geo.columnLeft[columnIndex(c)];
                const int width = geo.columnWidth(c);
                if (r == range.row1 && geo.headersShown)
                    paintHeaderCell(Rect(left, 0, left + width, geo.columnHeaderHeight), c, HEADER_COLUMNS);
                const CellPos pos(c, r);
                const Rect cell(left, top, left + width, top + height);
                style.focused = pos == selection.current;
                style.selected = !style.focused && selection.hasSelection() && selected.contains(pos);
                style.lookup(pos);
                if (TableCell* object = model->getCell(pos)) {
                    object->paint(canvas, style, cell);
                } else if (c <= geo.columnCount && r <= geo.rowCount) {
                    paintEmptyCell(cell, style);
                } else {
                    dc.pushPen(whitePen);
                    dc.pushBrush(whiteBrush);
                    dc.rectangle(cell.left(), cell.top(), cell.right(), cell.bottom());
                    dc.popBrush();
                    dc.popPen();
                }
            }
        }
    }

    SelectClipRgn(dc.hdc, nullptr);
    DeleteObject(clipRegion);
    clipRegion = nullptr;
    dc.release();
    return 0;
}

void TablePaneCL::paintEmptyCell(const Rect& r, CellStyle& style)
{
    DeviceCellCanvas canvas(*own, blackPen);
    paintTextCell(canvas, style, r, std::string());
}

void TablePaneCL::paintHeaderCell(const Rect& r, uint32_t index, int kind)
{
    DeviceContext& dc = *own;
    const bool pressed = highlightKind == kind && highlightFirst <= index && index <= highlightLast;
    dc.attach();
    if ((kind == HEADER_ROWS && index > geo.rowCount) || (kind == HEADER_COLUMNS && index > geo.columnCount)) {
        dc.pushPen(whitePen);
        dc.pushBrush(whiteBrush);
        dc.rectangle(r.left(), r.top(), r.right(), r.bottom());
        dc.popBrush();
        dc.popPen();
        dc.release();
        return;
    }
    const std::string text = headerText(kind, index);

    RECT box;
    GetClipBox(dc.hdc, &box);
    RECT cell = toRECT(r), inside;
    IntersectRect(&inside, &box, &cell);
    HRGN local = CreateRectRgnIndirect(&inside);
    SelectClipRgn(dc.hdc, local);
    const Point extent = dc.textExtent(text.c_str(), static_cast<int>(text.size()));
    int x = r.left() + (r.width() / 2 - extent.x() / 2);
    int y = r.top() + (r.height() / 2 - extent.y() / 2);
    const int left = r.left(), top = r.top(), right = r.right(), bottom = r.bottom();
    const auto line = [&dc](Pen* pen, int x0, int y0, int x1, int y1, int x2, int y2) {
        dc.pushPen(pen);
        dc.moveTo(x0, y0);
        dc.lineTo(x1, y1);
        dc.lineTo(x2, y2);
        dc.popPen();
    };
    const auto box3 = [&dc](Brush* brush, Pen* pen, int l, int t, int rr, int b) {
        dc.pushBrush(brush);
        dc.pushPen(pen);
        dc.rectangle(l, t, rr, b);
        dc.popPen();
        dc.popBrush();
    };
    const auto whiteText = [&dc, &text](int tx, int ty) {
        const Color old = dc.setTextColor(Color(255, 255, 255));
        dc.textOut(tx, ty, text.c_str(), static_cast<int>(text.size()));
        dc.setTextColor(old);
    };
    const auto plainText = [&dc, &text](int tx, int ty) {
        dc.textOut(tx, ty, text.c_str(), static_cast<int>(text.size()));
    };

    switch (headerStyle) {
    case HEADER_FLAT:
        if (!pressed) {
            box3(whiteBrush, blackPen, left, top, right, bottom);
            plainText(x, y);
        } else {
            box3(blackBrush, blackPen, left, top, right, bottom);
            whiteText(x, y);
        }
        break;
    case HEADER_RAISED:
        if (kind == HEADER_CORNER) {
            box3(lightGrayBrush, whitePen, left, top, right, bottom);
            line(whitePen, right - 2, top + 1, left + 1, top + 1, left + 1, bottom - 2);
            line(shadowPen, left, bottom - 1, right - 1, bottom - 1, right - 1, top);
            line(shadowPen, left + 1, bottom - 2, right - 2, bottom - 2, right - 2, top + 1);
            plainText(x, y);
        } else if (!pressed) {
            box3(lightGrayBrush, whitePen, left, top, right, bottom);
            line(shadowPen, left, bottom - 1, right - 1, bottom - 1, right - 1, top);
            plainText(x, y);
        } else {
            box3(darkGrayBrush, blackPen, left, top, right, bottom);
            line(whitePen, left, bottom - 1, right - 1, bottom - 1, right - 1, top);
            whiteText(x, y);
        }
        break;
    default: {
        if (pressed) {
            x += 2;
            y += 2;
        }
        box3(lightGrayBrush, blackPen, left, top, right, bottom);
        Pen nullPen(PS_NULL, 0, Color());
        box3(pressed ? whiteBrush : darkGrayBrush, &nullPen, right - 3, top + 1, right, bottom);
        box3(pressed ? whiteBrush : darkGrayBrush, &nullPen, left + 2, bottom - 2, right - 3, bottom);
        box3(pressed ? darkGrayBrush : whiteBrush, &nullPen, left + 1, top + 1, left + 4, bottom - 2);
        box3(pressed ? darkGrayBrush : whiteBrush, &nullPen, left + 1, top + 1, right - 1, top + 4);
        plainText(x, y);
        break;
    }
    }
    SelectClipRgn(dc.hdc, clipRegion);
    DeleteObject(local);
    dc.release();
}

// ---------------------------------------------------------------- current cell and selection

void TablePaneCL::callHook(const TableHook& hook)
{
    if (hook.isSet())
        hook();
}

void TablePaneCL::setCurrentCell(const CellPos& pos, bool force)
{
    if (pos == selection.current && !force)
        return;
    if (selection.hasSelection()) {
        CellRange shown;
        if (clipRange(selection.range(), geo.visibleRange, shown))
            invalidateRange(shown);
        selection.end = CellPos(0, 0);
    }
    clearHeaderHighlight();
    invalidateCell(selection.current);
    selection.current = TableSelection::clamped(pos, geo.columnCount, geo.rowCount);
    invalidateCell(selection.current);
    update();
    if (editor)
        loadEditor(LOAD_MOVING);
    callHook(currentCellHook);
    callHook(selectionHook);
}

bool TablePaneCL::extendSelection(int dx, int dy, bool updateNow)
{
    CellRange strip, shown;
    if (!selection.extend(dx, dy, geo.columnCount, geo.rowCount, strip))
        return false;
    if (clipRange(strip, geo.visibleRange, shown))
        invalidateRange(shown);
    if (updateNow) {
        update();
        callHook(selectionHook);
    }
    return true;
}

void TablePaneCL::stepSelectionTo(const CellPos& target, bool updateNow)
{
    // Column by column, then row by row.
    for (;;) {
        const CellPos end = selection.hasSelection() ? selection.end : selection.current;
        const int dx = target.column > end.column ? 1 : target.column < end.column ? -1 : 0;
        const int dy = dx ? 0 : target.row > end.row ? 1 : target.row < end.row ? -1 : 0;
        if ((dx == 0 && dy == 0) || !extendSelection(dx, dy, false))
            break;
    }
    if (updateNow) {
        update();
        callHook(selectionHook);
    }
}

void TablePaneCL::selectRange(const CellRange& range)
{
    // Only (0, 0, 0, 0) is the empty range; a single cell becomes current.
    if (range == CellRange(0, 0, 0, 0))
        return;
    setCurrentCell(CellPos(range.column1, range.row1), false);
    if (!selectOption)
        return;
    stepSelectionTo(CellPos(range.column2, range.row2), false);
    update();
    callHook(selectionHook);
}

void TablePaneCL::clearHeaderHighlight()
{
    if (highlightKind == HEADER_CORNER && highlightFirst == 2)
        return;
    const int kind = highlightKind;
    const uint32_t first = highlightFirst, last = highlightLast;
    highlightKind = HEADER_CORNER;
    highlightFirst = highlightLast = 2;
    invalidateHeaders(kind, first, last);
}

void TablePaneCL::highlight(int kind, uint32_t first, uint32_t last)
{
    clearHeaderHighlight();
    highlightKind = kind;
    highlightFirst = first;
    highlightLast = last;
    invalidateHeaders(kind, first, last);
}

void TablePaneCL::selectHeaderRange(int kind, uint32_t first, uint32_t last)
{
    if (!headerSelect)
        return;
    if (first > last)
        std::swap(first, last);
    switch (kind) {
    case HEADER_ROWS:
        if (last > geo.rowCount || first == 0)
            return;
        setCurrentCell(CellPos(1, first), true);
        selection.end = CellPos(geo.columnCount, last);
        highlight(HEADER_ROWS, first, last);
        invalidateRange(CellRange(1, first, geo.columnCount, last));
        break;
    case HEADER_COLUMNS:
        if (last > geo.columnCount || first == 0)
            return;
        setCurrentCell(CellPos(first, 1), true);
        selection.end = CellPos(last, geo.rowCount);
        highlight(HEADER_COLUMNS, first, last);
        invalidateRange(CellRange(first, 1, last, geo.rowCount));
        break;
    default:
        if (highlightKind == HEADER_CORNER && highlightFirst == 0)
            return;
        setCurrentCell(CellPos(1, 1), true);
        selection.end = CellPos(geo.columnCount, geo.rowCount);
        highlightKind = HEADER_CORNER;
        highlightFirst = highlightLast = 0;
        invalidateWhole(false);
        break;
    }
    update();
}

void TablePaneCL::headerClick(int kind, uint32_t index)
{
    if (!headerSelect)
        return;
    headerDragAnchor = headerDragEnd = index;
    drag = 2;
    selectHeaderRange(kind, index, index);
}

void TablePaneCL::headerDrag(int kind, uint32_t index)
{
    if (!headerSelect)
        return;
    if (!headerDragExtend || kind == HEADER_CORNER) {
        headerClick(kind, index);
        return;
    }
    if (highlightKind != kind) {
        headerClick(kind, index);
        return;
    }
    const uint32_t count = kind == HEADER_ROWS ? geo.rowCount : geo.columnCount;
    if (index == 0 || index > count || index == headerDragEnd)
        return;
    const CellPos target = kind == HEADER_ROWS ? CellPos(selection.end.column, index)
                                               : CellPos(index, selection.end.row);
    stepSelectionTo(target, false);
    headerDragEnd = index;
    const uint32_t oldFirst = highlightFirst, oldLast = highlightLast;
    highlightFirst = std::min(headerDragAnchor, index);
    highlightLast = std::max(headerDragAnchor, index);
    invalidateHeaders(kind, std::min(oldFirst, highlightFirst), std::max(oldLast, highlightLast));
    update();
}

// ---------------------------------------------------------------- keys

LRESULT TablePaneCL::onKey(EventRecord* event)
{
    // Only the separate cursor block counts, not the numeric pad.
    if (!(event->lParam & (1 << 24)))
        return 0;
    const bool shift = selectOption && GetKeyState(VK_SHIFT) < 0;
    switch (event->wParam) {
    case VK_HOME: setCurrentCell(CellPos(geo.visibleRange.column1, geo.visibleRange.row1), false); return 1;
    case VK_END: setCurrentCell(CellPos(geo.visibleRange.column2, geo.visibleRange.row2), false); return 1;
    case VK_LEFT:
        if (shift)
            shiftMove(-1, 0);
        else
            moveLeft();
        return 1;
    case VK_RIGHT:
        if (shift)
            shiftMove(1, 0);
        else
            moveRight();
        return 1;
    case VK_UP:
        if (shift)
            shiftMove(0, -1);
        else
            moveUp();
        return 1;
    case VK_DOWN:
        if (shift)
            shiftMove(0, 1);
        else
            moveDown();
        return 1;
    default: return 0;
    }
}

void TablePaneCL::moveLeft()
{
    if (selection.current.column <= 1)
        return;
    if (!inVisibleRange(selection.current)) {
        setCurrentCell(CellPos(geo.visibleRange.column1, geo.visibleRange.row1), false);
        if (selection.current.column <= 1)
            return;
    }
    const CellPos target(selection.current.column - 1, selection.current.row);
    if (!inVisibleRange(target))
        scrollOne(false, false);
    setCurrentCell(target, false);
}

void TablePaneCL::moveRight()
{
    if (selection.current.column >= geo.columnCount)
        return;
    if (!inVisibleRange(selection.current)) {
        setCurrentCell(CellPos(geo.visibleRange.column2, geo.visibleRange.row1), false);
        if (selection.current.column >= geo.columnCount)
            return;
    }
    const CellPos target(selection.current.column + 1, selection.current.row);
    if (!inVisibleRange(target))
        scrollOne(false, true);
    setCurrentCell(target, false);
}

void TablePaneCL::moveUp()
{
    if (selection.current.row <= 1)
        return;
    if (!inVisibleRange(selection.current)) {
        setCurrentCell(CellPos(geo.visibleRange.column1, geo.visibleRange.row1), false);
        if (selection.current.row <= 1)
            return;
    }
    const CellPos target(selection.current.column, selection.current.row - 1);
    if (!inVisibleRange(target))
        scrollOne(true, false);
    setCurrentCell(target, false);
}

void TablePaneCL::moveDown()
{
    if (selection.current.row >= geo.rowCount)
        return;
    if (!inVisibleRange(selection.current)) {
        setCurrentCell(CellPos(geo.visibleRange.column1, geo.visibleRange.row2), false);
        if (selection.current.row >= geo.rowCount)
            return;
    }
    const CellPos target(selection.current.column, selection.current.row + 1);
    if (!inVisibleRange(target))
        scrollOne(true, true);
    setCurrentCell(target, false);
}

void TablePaneCL::shiftMove(int dx, int dy)
{
    if (!selection.hasSelection())
        selection.end = selection.current;
    const bool vertical = dy != 0;
    const bool rowOrColumnHighlight = highlightKind == HEADER_ROWS || highlightKind == HEADER_COLUMNS;
    if (dx < 0 || dy < 0) {
        if ((dx < 0 && selection.end.column <= 1) || (dy < 0 && selection.end.row <= 1))
            return;
        const CellPos next(selection.end.column + dx, selection.end.row + dy);
        if (!inVisibleRange(next))
            scrollOne(vertical, false);
        extendSelection(dx, dy, true);
        if (rowOrColumnHighlight)
            clearHeaderHighlight();
        return;
    }
    extendSelection(dx, dy, true);
    if (rowOrColumnHighlight)
        clearHeaderHighlight();
    if (!inVisibleRange(selection.end))
        scrollOne(vertical, true);
}

// ---------------------------------------------------------------- mouse

LRESULT TablePaneCL::onButtonDown(EventRecord* event)
{
    const MouseEvent* mouse = static_cast<MouseEvent*>(event);
    if (GetFocus() != hwnd) {
        if (editor && editor->isWindow() && GetFocus() == editor->hwnd)
            commitEdit(false);
        hasFocus = true;
        SetFocus(hwnd);
    }
    if (!mouse->isButton(1))
        return 0;
    buttonDown = true;
    SetCapture(hwnd);
    const Point p(mouse->x(), mouse->y());
    CellPos cell;
    if (geo.cellAtPoint(p, cell)) {
        drag = 0;
        const bool highlighted = !(highlightKind == HEADER_CORNER && highlightFirst == 2);
        setCurrentCell(cell, highlighted && cell == selection.current);
        return 0;
    }
    uint32_t index = 0;
    int kind = HEADER_CORNER;
    const int hit = geo.hitHeader(p, index, kind);
    if (hit == HIT_NONE) {
        setCurrentCell(selection.current, true);
    } else if (hit == HIT_HEADER || resizeState == 0) {
        headerClick(kind, index);
    } else {
        drag = 1;
        dragStart = p;
        RECT confine;
        if (resizeState == 1) {
            resizedRow = index;
            const Rect r = geo.cellRect(CellPos(geo.firstVisibleColumn, index));
            confine = RECT{0, r.top(), geo.rowHeaderWidth, geo.client.bottom()};
        } else {
            resizedColumn = index;
            const Rect r = geo.cellRect(CellPos(index, geo.firstVisibleRow));
            confine = RECT{r.left(), 0, geo.client.right(), geo.columnHeaderHeight};
        }
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&confine), 2);
        clipCursorCall(&confine);
        dragPen = new Pen(PS_SOLID, 2, Color(0, 0, 0));
        own->pushPen(dragPen);
        own->setROP2(R2_NOTXORPEN);
        drawFeedbackLine(p);
        lastMouse = p;
    }
    return 0;
}

void TablePaneCL::drawFeedbackLine(const Point& p)
{
    own->attach();
    if (resizeState == 1) {
        own->moveTo(geo.rowHeaderWidth, p.y());
        own->lineTo(geo.client.right(), p.y());
    } else {
        own->moveTo(p.x(), geo.columnHeaderHeight);
        own->lineTo(p.x(), geo.client.bottom());
    }
    own->release();
}

void TablePaneCL::endBorderDrag(const Point* releasedAt)
{
    drawFeedbackLine(lastMouse);
    own->setROP2(R2_COPYPEN);
    if (dragPen && own->currentPen() == dragPen)
        own->popPen();
    delete dragPen;
    dragPen = nullptr;
    if (releasedAt) {
        int size = -1;
        if (resizeState == 1) {
            const Rect r = geo.cellRect(CellPos(geo.firstVisibleColumn, resizedRow));
            if (!rectIsEmpty(Rect(r.left(), r.top(), r.right(), r.top() + 1)))
                size = releasedAt->y() - r.top();
            if (size >= 0)
                setRowHeight(resizedRow, size);
        } else {
            const Rect r = geo.cellRect(CellPos(resizedColumn, geo.firstVisibleRow));
            if (!rectIsEmpty(Rect(r.left(), r.top(), r.left() + 1, r.bottom())))
                size = releasedAt->x() - r.left();
            if (size >= 0)
                setColumnWidth(resizedColumn, size);
        }
        if (size >= 0)
            invalidateWhole(true);
    }
    drag = 0;
    resizeState = 0;
    clipCursorCall(nullptr);
    Cursor(IDC_ARROW).applyTo(this);
}

LRESULT TablePaneCL::onMouseMove(EventRecord* event)
{
    const MouseEvent* mouse = static_cast<MouseEvent*>(event);
    Point p(mouse->x(), mouse->y());
    if (!(mouse->wParam & MK_LBUTTON)) {
        int state = 0;
        if (geo.headersShown && (p.x() < geo.rowHeaderWidth || p.y() < geo.columnHeaderHeight)) {
            uint32_t index = 0;
            int kind = HEADER_CORNER;
            if (geo.hitHeader(p, index, kind) == HIT_RESIZE_ZONE) {
                if (kind == HEADER_ROWS && rowResize)
                    state = 1;
                else if (kind == HEADER_COLUMNS && columnResize)
                    state = 2;
            }
        }
        if (state != resizeState) {
            resizeState = state;
            if (state == 1 && rowCursor)
                rowCursor->applyTo(this);
            else if (state == 2 && columnCursor)
                columnCursor->applyTo(this);
            else
                Cursor(IDC_ARROW).applyTo(this);
        }
        return 0;
    }
    if (!buttonDown)
        return 0;
    if (drag == 1) {
        drawFeedbackLine(lastMouse);
        drawFeedbackLine(p);
        lastMouse = p;
        return 0;
    }
    if (drag == 2) {
        uint32_t index = 0;
        int kind = HEADER_CORNER;
        if (geo.hitHeader(p, index, kind) != HIT_NONE)
            headerDrag(kind, index);
        return 0;
    }
    if (geo.headersShown && !headerSelect &&
        ((p.x() >= 0 && p.x() < geo.rowHeaderWidth) || (p.y() >= 0 && p.y() < geo.columnHeaderHeight)))
        return 0;
    const Rect area = geo.dataArea();
    if (p.x() < area.left()) {
        p = Point(area.left() + 1, p.y());
        if (geo.firstVisibleColumn > 1)
            scrollOne(false, false);
    } else if (p.x() > area.right() && geo.firstVisibleColumn < geo.columnCount) {
        scrollOne(false, true);
    }
    if (p.y() < area.top()) {
        p = Point(p.x(), area.top() + 1);
        if (geo.firstVisibleRow > 1)
            scrollOne(true, false);
    } else if (p.y() > area.bottom() && geo.firstVisibleRow < geo.rowCount) {
        scrollOne(true, true);
    }
    CellPos cell;
    if (geo.cellAtPoint(p, cell)) {
        if (!selectOption)
            setCurrentCell(cell, false);
        else
            stepSelectionTo(TableSelection::clamped(cell, geo.columnCount, geo.rowCount), false);
        update();
    }
    return 0;
}

LRESULT TablePaneCL::onButtonUp(EventRecord* event)
{
    const MouseEvent* mouse = static_cast<MouseEvent*>(event);
    if (!mouse->isButton(1))
        return 0;
    buttonDown = false;
    const int mode = drag;
    if (mode == 1) {
        const Point p(mouse->x(), mouse->y());
        endBorderDrag(&p);
    }
    releasingCapture = true;
    ReleaseCapture();
    releasingCapture = false;
    if (mode == 0 || mode == 2) {
        drag = 0;
        callHook(selectionHook);
    }
    return 0;
}

LRESULT TablePaneCL::onFocus(EventRecord* event)
{
    hasFocus = event->message == WM_SETFOCUS;
    return 0;
}

LRESULT TablePaneCL::defaultEvent(EventRecord* event)
{
    switch (event->message) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // A mended fault: a capture lost in mid-drag (Alt+Tab, a message
        // box) left the pointer confined and the context drawing in XOR.
        if (drag == 1 && !releasingCapture) {
            buttonDown = false;
            endBorderDrag(nullptr);
        }
        break;
    default: break;
    }
    return PaneWindowCL::defaultEvent(event);
}

// ---------------------------------------------------------------- the editor, pane side

LRESULT TablePaneCL::onChar(EventRecord* event)
{
    if (event->wParam == 9) {
        if (parent && parent->isWindow())
            SendMessageA(parent->hwnd, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
        return 0;
    }
    if (event->lParam & (1 << 29))
        return 0;
    if (editor && !editor->isReadOnly() && inVisibleRange(selection.current)) {
        if (editor->isWindow())
            SendMessageA(editor->hwnd, EM_SETSEL, 0, kFormatBound);
        editor->moveToCell(selection.current);
        if (editor->isWindow()) {
            SetFocus(editor->hwnd);
            SendMessageA(editor->hwnd, WM_CHAR, event->wParam, event->lParam);
        }
    }
    return 0;
}

void TablePaneCL::attachEditor(CellEditCL* cellEditor)
{
    editor = cellEditor;
    if (editor) {
        editor->pane = this;
        loadEditor(LOAD_PLAIN);
    }
}

void TablePaneCL::loadEditor(EditorLoad how)
{
    if (!editor)
        return;
    const CellPos pos = selection.current;
    TableCell* cell = model->getCell(pos);
    CellStyle style(model);
    style.lookup(pos);
    // The formatter of the cell's kind: the second one for 0x08.
    CellFormatter* formatter = nullptr;
    if (cell && (cell->flags & CELL_FORMATTED))
        formatter = style.formatter((cell->flags & CELL_SECOND_FORMATTER) != 0);
    editor->setCellFormatter(formatter);
    std::string text = cell ? cell->getText() : std::string();
    if (formatter) {
        if (how == LOAD_MOVING) {
            formatter->format(" ", 0, kFormatBound);
            text = formatter->format(text, 0, kFormatBound);
        } else {
            text = formatter->format(text, 0, kFormatWhole);
        }
    }
    editor->setText(text.c_str());
    if (how == LOAD_MOVING)
        editor->moveToCell(pos);
    editor->setReadOnly(style.slot(ATTR_MARK) != nullptr);
}

void TablePaneCL::commitEdit(bool move)
{
    if (selection.current.column == 0 || selection.current.row == 0)
        return;
    if (editor) {
        // The plain value: a number shown with its grouping is stored as the
        // number, so that the model files it as one.
        const String text = editor->getValue(0);
        delete model->setCellText(selection.current, text.text() ? text.text() : "");
        invalidateCell(selection.current);
        model->notifyViews();
    }
    if (move) {
        switch (enterDirection) {
        case ENTER_LEFT: moveLeft(); break;
        case ENTER_RIGHT: moveRight(); break;
        case ENTER_UP: moveUp(); break;
        default: moveDown(); break;
        }
    }
    if (isWindow())
        SetFocus(hwnd);
}

void TablePaneCL::commitAndMoveVertically(int direction)
{
    commitEdit(false);
    if (direction == 0)
        moveUp();
    else
        moveDown();
    if (isWindow())
        SetFocus(hwnd);
}

void TablePaneCL::cancelEdit()
{
    if (editor)
        loadEditor(LOAD_PLAIN);
    if (isWindow())
        SetFocus(hwnd);
}

// ---------------------------------------------------------------- CellEditCL

CellEditCL::CellEditCL(WindowCL* parentWindowArg, Geometry* g, DWORD editStyle, int controlId)
    : FormattedEditCL(parentWindowArg, g, editStyle | ES_WANTRETURN, "", controlId, nullptr, 0),
      parentWindow(parentWindowArg), pane(nullptr), cellFormatter(nullptr), readOnly(false)
{
}

CellEditCL::CellEditCL(WindowCL* parentWindowArg, int controlId)
    : FormattedEditCL(parentWindowArg, controlId, nullptr, 0), parentWindow(parentWindowArg), pane(nullptr),
      cellFormatter(nullptr), readOnly(false)
{
}

CellEditCL::~CellEditCL()
{
    setCellFormatter(nullptr);
    if (pane && pane->getEditor() == this)
        pane->attachEditor(nullptr);
}

void CellEditCL::setCellFormatter(CellFormatter* f)
{
    cellFormatter = f;
    // The field's formatter slot borrows the model's: the field must not
    // delete it.
    formatter = f ? f->fieldFormatter() : nullptr;
}

void CellEditCL::setReadOnly(bool flag)
{
    if (flag == readOnly)
        return;
    readOnly = flag;
    if (isWindow())
        EnableWindow(hwnd, flag ? FALSE : TRUE);
}

LRESULT CellEditCL::defaultEvent(EventRecord* event)
{
    if (event->message == WM_GETDLGCODE)
        return DLGC_WANTALLKEYS;
    // Up and Down end the edit and move; Left and Right stay in the text.
    if (event->message == WM_KEYDOWN && pane && (event->wParam == VK_UP || event->wParam == VK_DOWN)) {
        hideEditor();
        pane->commitAndMoveVertically(event->wParam == VK_UP ? 0 : 1);
        return 0;
    }
    return FormattedEditCL::defaultEvent(event);
}

LRESULT CellEditCL::onChar(EventRecord* event)
{
    const WPARAM ch = event->wParam;
    if (pane) {
        if (ch == 13) {
            pane->commitEdit(true);
            return 1;
        }
        if (ch == 27) {
            pane->cancelEdit();
            return 1;
        }
        if ((ch == 38 || ch == 40) && (event->lParam & (1 << 24))) {
            hideEditor();
            pane->commitAndMoveVertically(ch == 38 ? 0 : 1);
            return 1;
        }
    }
    // Everything else is typed through the formatter, unless Alt is held.
    if (event->lParam & (1 << 29))
        return 0;
    return FormattedEditCL::onChar(event);
}

// ---------------------------------------------------------------- TableEditCL

TableEditCL::TableEditCL(TablePaneCL* tablePane, DWORD editStyle, int controlId)
    : CellEditCL(tablePane, new Geometry(0, 0, 10, 10), editStyle & ~static_cast<DWORD>(WS_BORDER), controlId),
      shown(false), cell(1, 1), editFont(nullptr)
{
    pane = tablePane;
    ShowWindow(hwnd, SW_HIDE);
    // The field base gives every edit a border; over a cell the grid frames it.
    style &= ~static_cast<DWORD>(WS_BORDER);
    if (isWindow() && (GetWindowLongA(hwnd, GWL_STYLE) & WS_BORDER)) {
        SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) & ~WS_BORDER);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    HDC screen = GetDC(nullptr);
    const int height = -(100 * GetDeviceCaps(screen, LOGPIXELSY) / 720);
    ReleaseDC(nullptr, screen);
    editFont = new Font("Helv", 0, height, 300, FF_DONTCARE, VARIABLE_PITCH, 0);
    if (isWindow())
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(editFont->font()), TRUE);
    tablePane->attachEditor(this);
}

TableEditCL::~TableEditCL()
{
    setCellFormatter(nullptr);
    if (isWindow())
        SendMessageA(hwnd, WM_SETFONT, 0, FALSE);
    delete editFont;
}

void TableEditCL::hideEditor()
{
    if (isWindow())
        ShowWindow(hwnd, SW_HIDE);
    shown = false;
}

LRESULT TableEditCL::onChar(EventRecord* event)
{
    if (!pane)
        return CellEditCL::onChar(event);
    const WPARAM ch = event->wParam;
    if (!shown) {
        const Rect r = pane->cellRect(cell);
        shown = true;
        MoveWindow(hwnd, r.left(), r.top(), r.width(), r.height(), TRUE);
        ShowWindow(hwnd, SW_SHOWNORMAL);
        if (!readOnly)
            EnableWindow(hwnd, TRUE);
        if (ch == 13 || ch == 27)
            return 1;
    }
    if (ch == 13 || ch == 27)
        hideEditor();
    return CellEditCL::onChar(event);
}

void TableEditCL::moveToCell(const CellPos& pos)
{
    if (shown && pos != cell)
        hideEditor();
    cell = pos;
}

LRESULT TableEditCL::onFocus(EventRecord* event)
{
    if (event->message == WM_KILLFOCUS && shown)
        hideEditor();
    return 0;
}
