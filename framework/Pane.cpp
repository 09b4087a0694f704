#include "Pane.h"

#include "Application.h"

#include <algorithm>
#include <cstdarg>

namespace {

bool paneClassRegistered = false;

} // namespace

// ---------------------------------------------------------------- caret

void CaretRecord::on()
{
    if (!pane || !pane->hwnd)
        return;
    if (bitmap)
        CreateCaret(pane->hwnd, bitmap, 0, 0);
    else
        CreateCaret(pane->hwnd, reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(gray ? 1 : 0)), width, height);
    SetCaretPos(x, y);
    savedBlinkTime = GetCaretBlinkTime();
    if (blinkTime)
        SetCaretBlinkTime(blinkTime);
    if (visibleCount > 0)
        ShowCaret(pane->hwnd);
    shown = 1;
}

void CaretRecord::off()
{
    if (!shown)
        return;
    if (savedBlinkTime)
        SetCaretBlinkTime(savedBlinkTime);
    DestroyCaret();
    shown = 0;
}

// ---------------------------------------------------------------- PaneWindowCL

PaneWindowCL::PaneWindowCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle)
    : VisualCtrl(parentWindow, g, windowStyle), current(nullptr), own(nullptr), caret(nullptr)
{
    className = "PaneWindowCL";
    initPane();
    create();
    makeBarStates();
}

PaneWindowCL::PaneWindowCL(HWND existing, WindowCL* parentWindow, Geometry* g, DWORD windowStyle)
    : VisualCtrl(parentWindow, g, windowStyle), current(nullptr), own(nullptr), caret(nullptr)
{
    className = "PaneWindowCL";
    hwnd = existing;
    initPane();
    mapWindow();
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaneWindowProc));
    makeBarStates();
}

void PaneWindowCL::initPane()
{
    own = new WindowDC(this);
    current = own;
    contexts.prepend(own);
}

void PaneWindowCL::makeBarStates()
{
    if ((style & WS_VSCROLL) && !vScrollState)
        vScrollState = new ScrollBarState(this, BAR_VERT);
    if ((style & WS_HSCROLL) && !hScrollState)
        hScrollState = new ScrollBarState(this, BAR_HORZ);
}

PaneWindowCL::~PaneWindowCL()
{
    if (caret) {
        caret->off();
        delete caret;
        caret = nullptr;
    }
    for (auto& link : keyLinks) {
        RemoveEventHandler(link.second, &KeyLink::onKey, WM_KEYDOWN);
        delete link.second;
    }
    keyLinks.clear();
    delete own;
    own = nullptr;
    current = nullptr;
    while (!contexts.isEmpty())
        contexts.removeFirst();
}

WNDCLASSA* PaneWindowCL::classInfo()
{
    // Registered once; later panes find the class there.
    if (paneClassRegistered)
        return nullptr;
    paneClassRegistered = true;
    WNDCLASSA* wc = WindowCL::classInfo();
    wc->style = CS_DBLCLKS;
    wc->hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc->hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc->lpfnWndProc = PaneWindowProc;
    return wc;
}

void PaneWindowCL::show(int cmd)
{
    if (!(state & STATE_SHOWN))
        dcChanged();
    VisualCtrl::show(cmd);
}

LRESULT PaneWindowCL::onFocus(EventRecord* event)
{
    if (caret) {
        if (event->message == WM_SETFOCUS)
            caret->on();
        else
            caret->off();
    }
    return 0;
}

void PaneWindowCL::setCaret(int width, int height, int gray)
{
    if (!caret)
        caret = new CaretRecord();
    caret->pane = this;
    caret->width = width;
    caret->height = height;
    caret->gray = gray;
    caret->visibleCount = 1;
}

LRESULT PaneWindowCL::paint(DeviceContext&)
{
    return 0;
}

int PaneWindowCL::printTo(DeviceContext*, int)
{
    return 0;
}

void PaneWindowCL::scrollWindow(int dx, int dy, const Rect* rect)
{
    if (!isWindow())
        return;
    if (rect) {
        RECT r = {rect->left(), rect->top(), rect->right(), rect->bottom()};
        ScrollWindow(hwnd, dx, dy, &r, &r);
    } else {
        ScrollWindow(hwnd, dx, dy, nullptr, nullptr);
    }
}

void PaneWindowCL::pushContext(DeviceContext* dc)
{
    contexts.prepend(dc);
    current = dc;
}

void PaneWindowCL::popContext()
{
    if (contexts.getCount() > 1)
        contexts.removeFirst();
    current = static_cast<DeviceContext*>(contexts.first());
}

LRESULT PaneWindowCL::paintInto(DeviceContext* dc)
{
    pushContext(dc);
    dcChanged();
    dc->attach();
    LRESULT r = paint(*dc);
    dc->release();
    popContext();
    dcChanged();
    return r;
}

LRESULT PaneWindowCL::paintWith(EventRecord*)
{
    const bool switched = current != own;
    if (switched) {
        pushContext(own);
        dcChanged();
    }
    LRESULT r = 0;
    if (current->kind() == DC_WINDOW) {
        WindowDC* windowContext = static_cast<WindowDC*>(current);
        windowContext->painting = 1;
        windowContext->attach();
        r = paint(*windowContext);
        windowContext->release();
        windowContext->painting = 0;
    } else {
        r = paint(*current);
    }
    if (switched) {
        popContext();
        dcChanged();
    }
    return r;
}

LRESULT PaneWindowCL::onScroll(EventRecord* event)
{
    if (event->lParam || scroller)
        return WindowCL::onScroll(event);
    if (LOWORD(event->wParam) != SB_ENDSCROLL)
        return 1;
    // Without a scroller the client area follows both bars at the end.
    int dx = 0, dy = 0;
    if (hScrollState) {
        dx = hScrollState->previous - hScrollState->position;
        hScrollState->previous = hScrollState->position;
    }
    if (vScrollState) {
        dy = vScrollState->previous - vScrollState->position;
        vScrollState->previous = vScrollState->position;
    }
    if (dx || dy) {
        scrollWindow(dx, dy, nullptr);
        Point origin = own->windowOrigin();
        own->setWindowOrigin(Point(origin.x() - dx, origin.y() - dy));
        UpdateWindow(hwnd);
    }
    return 1;
}

Rect PaneWindowCL::paneClientRect()
{
    if (!isWindow())
        return Rect();
    RECT r;
    GetClientRect(hwnd, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
}

void PaneWindowCL::updatePane()
{
    if (isWindow())
        UpdateWindow(hwnd);
}

LRESULT PaneWindowCL::KeyLink::onKey(EventRecord* event)
{
    return scroller->onKeyDown(static_cast<int>(event->wParam));
}

void PaneWindowCL::addKeyHandler(KeyScroller* s)
{
    if (keyLinks.count(s))
        return;
    KeyLink* link = new KeyLink{s};
    keyLinks[s] = link;
    AddEventHandler(link, &KeyLink::onKey, WM_KEYDOWN);
}

void PaneWindowCL::removeKeyHandler(KeyScroller* s)
{
    auto it = keyLinks.find(s);
    if (it == keyLinks.end())
        return;
    RemoveEventHandler(it->second, &KeyLink::onKey, WM_KEYDOWN);
    delete it->second;
    keyLinks.erase(it);
}

LRESULT CALLBACK PaneWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowCL* window = (theApplication && theApplication->winMap) ? theApplication->winMap->lookup(hwnd) : nullptr;
    PaneWindowCL* pane = dynamic_cast<PaneWindowCL*>(window);
    if (!pane || (pane->state & STATE_DELETING))
        return FrameWindowProc(hwnd, message, wParam, lParam);
    EventRecord event = {lParam, wParam, message, hwnd};
    switch (message) {
    case WM_PAINT: return pane->paintWith(&event);
    case WM_CHAR:
    case WM_SYSCHAR: {
        LRESULT r = pane->onChar(&event);
        return r ? r : pane->defaultEvent(&event);
    }
    default: return pane->dispatchEvent(&event);
    }
}

// ---------------------------------------------------------------- TextPaneCL

TextPaneCL::TextPaneCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, int rowCount, int columnCount)
    : PaneWindowCL(parentWindow, g, windowStyle), buffer(rowCount, columnCount), cellFont(nullptr)
{
    cellFont = new Font(StockObject{SYSTEM_FIXED_FONT});
    own->pushFont(cellFont);
    TextMetrics tm(*own);
    cells.cellHeight = std::max(1, static_cast<int>(tm.metrics.tmHeight + tm.metrics.tmExternalLeading));
    cells.cellWidth = std::max(1, static_cast<int>(tm.metrics.tmMaxCharWidth));
    cells.topMargin = cells.cellHeight / 2;
    cells.leftMargin = cells.cellWidth / 2;
    cells.rows = buffer.rows();
    cells.columns = buffer.columns();
    buffer.setView(this);
}

void TextPaneCL::show(int cmd)
{
    const bool first = !(state & STATE_SHOWN);
    PaneWindowCL::show(cmd);
    if (!first)
        return;
    Point total = cells.extent();
    if (vScrollState) {
        vScrollState->setRange(Point(std::min(total.y(), 0), std::max(total.y(), 0)));
        vScrollState->line = vScrollState->page = cells.cellHeight;
    }
    if (hScrollState) {
        hScrollState->setRange(Point(std::min(total.x(), 0), std::max(total.x(), 0)));
        hScrollState->line = hScrollState->page = cells.cellWidth;
    }
}

int TextPaneCL::getExtent(Point& size)
{
    size = cells.extent();
    return 1;
}

void TextPaneCL::drawCells(int column, int row, const char* text, int count)
{
    if (!isWindow())
        return;
    Point at = cells.pointOf(Point(column, row));
    own->attach();
    own->textOut(at.x(), at.y(), text, count);
    own->release();
    buffer.markDrawn(row);
}

void TextPaneCL::scrolled(int rowCount)
{
    if (!isWindow())
        return;
    // Only the cells move: the margins stay blank.
    Point top = cells.pointOf(Point(0, 0));
    Point bottom = cells.pointOf(Point(buffer.columns(), buffer.rows()));
    RECT area = {top.x() - own->windowOrigin().x(), top.y() - own->windowOrigin().y(),
                 bottom.x() - own->windowOrigin().x(), bottom.y() - own->windowOrigin().y()};
    const int dy = cells.cellHeight * std::min(rowCount, buffer.rows());
    ScrollWindow(hwnd, 0, -dy, &area, &area);
    // The strip that came free at the bottom.
    RECT strip = area;
    strip.top = std::max(area.top, static_cast<LONG>(area.bottom - dy));
    InvalidateRect(hwnd, &strip, TRUE);
    UpdateWindow(hwnd);
}

LRESULT TextPaneCL::paint(DeviceContext& dc)
{
    // A covered window needs its text back: the rows inside the update
    // rectangle are drawn as far as they are used, one TextOut per row's
    // changed range.
    Rect update = dc.updateRect();
    const bool all = update.width() == 0 && update.height() == 0;
    for (int r = 0; r < buffer.rows(); ++r) {
        ChangedRange range = buffer.changed(r);
        Point top = cells.pointOf(Point(0, r));
        const bool inside = all || (top.y() < update.bottom() && top.y() + cells.cellHeight > update.top());
        if (inside && buffer.usedLength(r) > 0) {
            range.from = 0;
            range.to = std::max(range.to, buffer.usedLength(r) - 1);
        }
        if (range.empty())
            continue;
        Point at = cells.pointOf(Point(range.from, r));
        dc.textOut(at.x(), at.y(), buffer.rowText(r).data() + range.from, range.to - range.from + 1);
        buffer.markDrawn(r);
    }
    return 0;
}

TextPaneCL& TextPaneCL::operator<<(const char* text)
{
    buffer.write(text);
    return *this;
}

TextPaneCL& TextPaneCL::operator<<(char c)
{
    buffer.write(&c, 1);
    return *this;
}

void TextPaneCL::printAt(int column, int row, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    buffer.vprintAt(column, row, format, args);
    va_end(args);
}

void TextPaneCL::clear(const Rect* cellRect)
{
    buffer.clear(cellRect);
    if (!cellRect) {
        own->invalidateRect(nullptr, true);
        return;
    }
    Point a = cells.pointOf(cellRect->topLeft());
    Point b = cells.pointOf(cellRect->bottomRight());
    Rect area(a, b);
    own->invalidateRect(&area, true);
}
