#include "PlotPane.h"

#include "Application.h"
#include "Bitmap.h"
#include "PlotFrameParts.h"
#include "PlotOptionsDialog.h"
#include "Printing.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

PlotBeepHook beepHook = nullptr;

COLORREF colourRef(uint32_t packed)
{
    return RGB(packed & 255, (packed >> 8) & 255, (packed >> 16) & 255);
}

const uint32_t kBlack = 0;
const uint32_t kWhite = 0xffffff;
const COLORREF kBandGrey = RGB(128, 128, 128);

// Pixels between the legend and the right edge of the drawing.
const int kLegendMargin = 10;

// New lines a pane keeps before it draws them without being asked.
const size_t kMostNewSegments = 1 << 16;

// The character height of the system's dialog font, the smallest tick font
// on the screen: tenths of a millimetre of a small window are a few pixels,
// and without a raster face that stops at about 8 points (wine has none)
// the numbers were drawn 3 to 5 pixels high.
int dialogFontHeight()
{
    static int height = 0;
    if (height > 0)
        return height;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 13;
    HGDIOBJ old = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm;
    if (GetTextMetricsA(screen, &tm) && tm.tmHeight > 0)
        height = tm.tmHeight;
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return height > 0 ? height : 13;
}

int textWidth(HDC hdc, const String& text)
{
    SIZE size;
    if (!GetTextExtentPoint32A(hdc, text.text(), static_cast<int>(text.getLength()), &size))
        return 0;
    return size.cx;
}

} // namespace

// What drawNewPoints collects before it draws: per signal the polylines of
// its waiting lines, and per pixel column the rows those lines may touch.
// A line of one colour that may touch a waiting line of another colour
// draws everything waiting first, so the later line stays on top, as it was
// when every point was drawn as it came. Lines of one colour need no order.
struct SegmentBatch {
    struct Curve {
        std::vector<POINT> points;
        std::vector<DWORD> counts;
        // Rows per column (from the batch's first column), valid where the
        // stamp is the batch's generation.
        std::vector<int> low, high;
        std::vector<unsigned> stamp;
        uint32_t colour = 0;
    };
    std::vector<Curve> curves;
    int firstColumn = 0;
    unsigned generation = 1;
    bool waiting = false;

    void start(size_t signals, int left, int right)
    {
        if (curves.size() < signals)
            curves.resize(signals);
        firstColumn = left;
        const size_t columns = static_cast<size_t>(right - left + 1);
        for (Curve& c : curves) {
            if (c.stamp.size() < columns) {
                c.low.resize(columns);
                c.high.resize(columns);
                c.stamp.assign(columns, 0);
            }
            c.points.clear();
            c.counts.clear();
        }
        next();
    }
    void next()
    {
        waiting = false;
        if (++generation == 0) {
            for (Curve& c : curves)
                std::fill(c.stamp.begin(), c.stamp.end(), 0u);
            generation = 1;
        }
    }
    bool touchesOther(size_t signal, int c0, int c1, int y0, int y1) const
    {
        for (size_t r = 0; r < curves.size(); ++r) {
            const Curve& other = curves[r];
            if (r == signal || other.counts.empty() || other.colour == curves[signal].colour)
                continue;
            for (int c = c0; c <= c1; ++c) {
                const size_t i = static_cast<size_t>(c - firstColumn);
                if (other.stamp[i] == generation && other.low[i] <= y1 && y0 <= other.high[i])
                    return true;
            }
        }
        return false;
    }
    void add(size_t signal, POINT from, POINT to, int c0, int c1, int y0, int y1)
    {
        Curve& curve = curves[signal];
        for (int c = c0; c <= c1; ++c) {
            const size_t i = static_cast<size_t>(c - firstColumn);
            if (curve.stamp[i] != generation) {
                curve.stamp[i] = generation;
                curve.low[i] = y0;
                curve.high[i] = y1;
            } else {
                curve.low[i] = std::min(curve.low[i], y0);
                curve.high[i] = std::max(curve.high[i], y1);
            }
        }
        if (!curve.counts.empty() && curve.points.back().x == from.x && curve.points.back().y == from.y) {
            curve.points.push_back(to);
            ++curve.counts.back();
        } else {
            curve.points.push_back(from);
            curve.points.push_back(to);
            curve.counts.push_back(2);
        }
        waiting = true;
    }
};

void setPlotBeepHook(PlotBeepHook hook)
{
    beepHook = hook;
}

void plotBeep()
{
    if (beepHook)
        beepHook();
    else
        MessageBeep(0);
}

// ---------------------------------------------------------------- PlotScroller

PlotScroller::PlotScroller(PlotPane* pane) : Scroller(pane), plot(pane)
{
}

int PlotScroller::handleScroll(unsigned message, int code)
{
    if (code == SCROLL_ENDSCROLL)
        return 1;
    if (message == kMessageVScroll)
        return scrollVertical2();
    if (message != kMessageHScroll || !plot->hScrollState)
        return 0;
    // The bar has clamped the position already; the step asked for may lie
    // below its range.
    ScrollBarState* bar = plot->hScrollState;
    int requested = bar->position;
    if (code == SCROLL_LINEUP)
        requested = bar->previous - bar->line;
    else if (code == SCROLL_PAGEUP)
        requested = bar->previous - bar->page;
    return scrollHorizontal2(requested);
}

int PlotScroller::scrollVertical()
{
    ScrollBarState* bar = plot->vScrollState;
    if (!bar)
        return 0;
    plot->model.setVerticalPosition(bar->position);
    bar->setPrevious(bar->position);
    plot->repaint();
    return 1;
}

int PlotScroller::scrollVertical2()
{
    return scrollVertical();
}

int PlotScroller::scrollHorizontal()
{
    ScrollBarState* bar = plot->hScrollState;
    if (!bar)
        return 0;
    plot->model.setHorizontalPosition(bar->position);
    bar->setPrevious(bar->position);
    plot->repaint();
    return 1;
}

int PlotScroller::scrollHorizontal2(int requested)
{
    if (requested < 0)
        plotBeep();
    return scrollHorizontal();
}

// ---------------------------------------------------------------- PlotPane

PlotPane::PlotPane(WindowCL* parentWindow, Geometry* g)
    : PaneWindowCL(parentWindow, g, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS),
      printJob(nullptr), optionsDialog(nullptr), dragging(0),
      pressPoint{0, 0}, bandPoint{-1, -1}, ticFont(nullptr), drawingPicture(false), statusBars(nullptr),
      newPage(false), idleTaskOn(false), batch(nullptr)
{
    title = "osziPane";
    scroller = new PlotScroller(this);
    setBackColor(Color(model.backColour));
    for (ScrollBarState* bar : {hScrollState, vScrollState})
        if (bar) {
            bar->line = 1;
            bar->page = 10;
        }
    own->attach();
    setupMetrics(*own);
    own->release();
}

PlotPane::~PlotPane()
{
    // The dialog edits this pane: it goes first.
    delete optionsDialog;
    optionsDialog = nullptr;
    // A job still printing this pane would print a deleted one at its next
    // idle pass.
    if (printJob && PrintJob::current() == printJob)
        printJob->abort();
    printJob = nullptr;
    delete scroller;
    scroller = nullptr;
    if (idleTaskOn && theApplication)
        theApplication->removeIdleTask(this, &PlotPane::drawNewPointsWhenIdle);
    delete batch;
    if (ticFont) {
        if (own->currentFont() == ticFont)
            own->popFont();
        delete ticFont;
    }
}

// ---- feeding

void PlotPane::setSignals(int n)
{
    model.setSignals(n);
}

void PlotPane::setSignal(int index, const char* name, uint32_t colour)
{
    model.setSignal(index, name, colour);
}

void PlotPane::setTitle(const char* text)
{
    model.setTitle(text ? text : "");
}

DeviceContext* PlotPane::drawingContext(std::unique_ptr<WindowDC>& whole)
{
    // Within a paint the pane's own context is clipped to the region being
    // painted: the lines go on the whole window, as they would have before.
    if (!own->isAttached())
        return own;
    whole.reset(new WindowDC(this));
    return whole.get();
}

void PlotPane::addPoint(double t, const double* values, int count)
{
    bool paged = false;
    model.addPoint(t, values, count, &segments, &paged);
    // A new page covers every line before it. Its labels may need other
    // margins: the points after it are placed in the new plot area at once,
    // as when every point was drawn as it came.
    if (paged) {
        newSegments.clear();
        newPage = true;
        if (isWindow() && IsWindowVisible(hwnd)) {
            std::unique_ptr<WindowDC> whole;
            DeviceContext* dc = drawingContext(whole);
            dc->attach();
            setupMetrics(*dc);
            dc->release();
        }
    }
    newSegments.insert(newSegments.end(), segments.begin(), segments.end());
    if (!idleTaskOn && theApplication) {
        idleTaskOn = true;
        theApplication->addIdleTask(this, &PlotPane::drawNewPointsWhenIdle);
    }
    if (newSegments.size() >= kMostNewSegments)
        drawNewPoints();
}

int PlotPane::drawNewPointsWhenIdle()
{
    idleTaskOn = false;
    drawNewPoints();
    return 1;
}

void PlotPane::clearPoints()
{
    drawNewPoints();
    model.clearPoints();
}

void PlotPane::rescale()
{
    drawNewPoints();
    if (model.pointCount() == 0)
        return;
    model.rescale();
    showBars();
    repaint();
}

void PlotPane::stampDateTime()
{
    time_t now = time(nullptr);
    struct tm* local = localtime(&now);
    char text[64] = "";
    if (local)
        snprintf(text, sizeof text, "%02d.%02d.%d, %02d:%02d:%02d", local->tm_mday, local->tm_mon + 1,
                 local->tm_year + 1900, local->tm_hour, local->tm_min, local->tm_sec);
    model.dateText = text;
    showStatusField(kPlotSecondBar, 2, model.dateText);
}

void PlotPane::setStatusText(const char* text)
{
    if (!model.textLocked)
        model.statusText = text ? text : "";
    showStatusField(kPlotSecondBar, 1, model.statusText);
}

void PlotPane::showStatusField(int bar, int field, const String& text)
{
    if (statusBars)
        statusBars->setStatusField(bar, field, text.text());
}

// ---- scrolling

void PlotPane::showBars()
{
    PlotModel::Bar h = model.horizontalBar();
    PlotModel::Bar v = model.verticalBar();
    if (hScrollState) {
        hScrollState->setRange(Point(h.minimum, h.maximum));
        hScrollState->setPosition(h.position);
        hScrollState->setPrevious(hScrollState->position);
    }
    if (vScrollState) {
        vScrollState->setRange(Point(v.minimum, v.maximum));
        vScrollState->setPosition(v.position);
        vScrollState->setPrevious(vScrollState->position);
    }
}

void PlotPane::repaint()
{
    drawNewPoints();
    if (isWindow())
        InvalidateRect(hwnd, nullptr, TRUE);
}

// ---- metrics

void PlotPane::setupMetrics(DeviceContext& dc)
{
    HDC hdc = dc.hdc;
    const bool screen = !model.printing && !drawingPicture;
    if (model.printing && hdc) {
        // Pixels per 0.1 mm of the page.
        // The context's own figures: a printer's are read once, when it
        // is opened.
        double xmetric = dc.deviceCaps(CAP_HORZRES) / (dc.deviceCaps(CAP_HORZSIZE) * 10.0);
        double ymetric = dc.deviceCaps(CAP_VERTRES) / (dc.deviceCaps(CAP_VERTSIZE) * 10.0);
        if (!(xmetric > 0) || !(ymetric > 0) || !std::isfinite(xmetric) || !std::isfinite(ymetric))
            xmetric = ymetric = 1.0;
        model.setPrintMetrics(xmetric, ymetric);
    } else if (isWindow()) {
        RECT r;
        GetClientRect(hwnd, &r);
        model.setDrawingSize(r.right - r.left, r.bottom - r.top);
        if (!screen)
            model.fitLabels(PlotLabelSpace());
    }
    if (hdc) {
        makeTickFont(dc, screen ? dialogFontHeight() : 0);
        if (screen)
            fitLabels(dc);
    }
}

void PlotPane::makeTickFont(DeviceContext& dc, int minimum)
{
    if (ticFont) {
        if (dc.currentFont() == ticFont)
            dc.popFont();
        if (own->currentFont() == ticFont)
            own->popFont();
        delete ticFont;
        ticFont = nullptr;
    }
    int h = model.tickFontHeight(minimum);
    // Not smoothed: the legend's names are written in the exact colours of
    // their curves.
    ticFont = new Font(model.fontFace.text(), 0, h, FW_NORMAL, FF_SWISS, DEFAULT_PITCH, 0, 0, 0, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY);
}

void PlotPane::fitLabels(DeviceContext& dc)
{
    HDC hdc = dc.hdc;
    PlotModel& m = model;
    dc.pushFont(ticFont);
    PlotLabelSpace space;
    TEXTMETRICA tm;
    if (GetTextMetricsA(hdc, &tm))
        space.textHeight = tm.tmHeight;
    for (int i = 0; i <= m.xDivisions(); ++i)
        space.xLabelWidth = std::max(space.xLabelWidth, textWidth(hdc, m.xTickLabel(i)));
    for (int k = 0; k <= m.yDivisions(); ++k)
        space.yLabelWidth = std::max(space.yLabelWidth, textWidth(hdc, m.yTickLabel(k)));
    for (const SignalEntry& s : m.signals)
        space.legendWidth = std::max(space.legendWidth, textWidth(hdc, s.name));
    space.legendWidth = std::max(space.legendWidth, textWidth(hdc, m.xTitle));
    dc.popFont();
    m.fitLabels(space);
}

// ---- drawing

void PlotPane::fillBackground(HDC hdc, int width, int height)
{
    HBRUSH brush = CreateSolidBrush(model.printing ? colourRef(kWhite) : colourRef(model.backColour));
    RECT r = {0, 0, width, height};
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
}

void PlotPane::drawAxes(DeviceContext& dc)
{
    HDC hdc = dc.hdc;
    PlotModel& m = model;
    // 1.
    setupMetrics(dc);
    SelectClipRgn(hdc, nullptr);
    // 2.
    const uint32_t gridColour = m.printing ? kBlack : m.gridColour;
    const uint32_t textColour = m.printing ? kBlack : m.scaleColour;
    const uint32_t backColour = m.printing ? kWhite : m.backColour;
    dc.pushPen(new Pen(m.gridStyle == 1 ? PS_SOLID : PS_DOT, 1, Color(gridColour)));
    dc.pushFont(ticFont);
    COLORREF oldText = SetTextColor(hdc, colourRef(textColour));
    COLORREF oldBack = SetBkColor(hdc, colourRef(backColour));
    int oldMode = SetBkMode(hdc, OPAQUE);
    UINT oldAlign = GetTextAlign(hdc);
    TEXTMETRICA tm;
    GetTextMetricsA(hdc, &tm);

    const int nx = m.xDivisions();
    const int ny = m.yDivisions();
    const int labelTop = m.xLabelTop();
    // 3.
    SetTextAlign(hdc, TA_CENTER | TA_TOP);
    for (int i = 0; i <= nx; ++i) {
        int x = m.deviceX(m.left + i * m.gridPx);
        MoveToEx(hdc, x, m.deviceY(m.bottom), nullptr);
        LineTo(hdc, x, m.deviceY(m.bottom + m.plotH));
        if (i % m.xLabelStep() != 0)
            continue;
        String label = m.xTickLabel(i);
        TextOutA(hdc, x, labelTop, label.text(), static_cast<int>(label.getLength()));
    }
    // 4.
    SetTextAlign(hdc, TA_RIGHT | TA_TOP);
    const int labelRight = m.yLabelRight();
    for (int k = 0; k <= ny; ++k) {
        int y = m.deviceY(m.bottom + k * m.gridPx);
        MoveToEx(hdc, m.deviceX(m.left), y, nullptr);
        LineTo(hdc, m.deviceX(m.left + m.plotW), y);
        if (k % m.yLabelStep() != 0)
            continue;
        String label = m.yTickLabel(k);
        TextOutA(hdc, labelRight, y - tm.tmHeight / 2, label.text(), static_cast<int>(label.getLength()));
    }
    // 5.
    SetTextAlign(hdc, TA_LEFT | TA_TOP);
    if (m.printing) {
        String line = m.statusText + "   " + m.dateText;
        TextOutA(hdc, m.deviceX(m.left), static_cast<int>(std::lround(m.bottom * m.yFactor)), line.text(),
                 static_cast<int>(line.getLength()));
    }
    // 6.
    delete dc.setPen(new Pen(PS_SOLID, 1, Color(gridColour)));
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, m.areaLeft(), m.areaTop(), m.areaRight() + 1, m.areaBottom() + 1);
    SelectObject(hdc, oldBrush);
    // 7.
    int maxW = 0;
    SIZE size;
    for (const SignalEntry& s : m.signals)
        if (GetTextExtentPoint32A(hdc, s.name.text(), static_cast<int>(s.name.getLength()), &size) && size.cx > maxW)
            maxW = size.cx;
    if (GetTextExtentPoint32A(hdc, m.xTitle.text(), static_cast<int>(m.xTitle.getLength()), &size) && size.cx > maxW)
        maxW = size.cx;
    const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
    const int legendX = m.drawingWidth() - kLegendMargin - maxW;
    const int legendTop = static_cast<int>(std::lround(m.bottom * m.yFactor));
    int k = 0;
    for (int i : m.legendOrder()) {
        ++k;
        const SignalEntry& s = m.signals[i];
        SetTextColor(hdc, colourRef(s.colour));
        TextOutA(hdc, legendX, legendTop + (k + 1) * lineHeight, s.name.text(), static_cast<int>(s.name.getLength()));
    }
    SetTextColor(hdc, colourRef(textColour));
    TextOutA(hdc, legendX, labelTop, m.xTitle.text(), static_cast<int>(m.xTitle.getLength()));
    IntersectClipRect(hdc, m.areaLeft(), m.areaTop(), m.areaRight() + 1, m.areaBottom() + 1);

    SetTextAlign(hdc, oldAlign);
    SetBkMode(hdc, oldMode);
    SetBkColor(hdc, oldBack);
    SetTextColor(hdc, oldText);
    dc.popFont();
    delete dc.popPen();
}

void PlotPane::drawCurves(DeviceContext& dc)
{
    HDC hdc = dc.hdc;
    for (int i : model.legendOrder()) {
        model.paintVertices(i, vertices);
        if (vertices.empty())
            continue;
        dc.pushPen(new Pen(PS_SOLID, 1, Color(model.signals[i].colour)));
        // One Polyline per unbroken run of vertices.
        size_t at = 0;
        while (at < vertices.size()) {
            polyline.clear();
            polyline.push_back({vertices[at].x, vertices[at].y});
            ++at;
            while (at < vertices.size() && !vertices[at].move) {
                polyline.push_back({vertices[at].x, vertices[at].y});
                ++at;
            }
            if (polyline.size() > 1)
                Polyline(hdc, polyline.data(), static_cast<int>(polyline.size()));
        }
        delete dc.popPen();
    }
}

LRESULT PlotPane::paint(DeviceContext& dc)
{
    if (!dc.hdc)
        return 0;
    // The lines that came before the paint are on the screen before it.
    if (!model.printing)
        drawNewPoints();
    drawAxes(dc);
    if (model.pointCount() && model.nSignals)
        drawCurves(dc);
    SelectClipRgn(dc.hdc, nullptr);
    return 0;
}

void PlotPane::drawNewPoints()
{
    if (idleTaskOn && theApplication) {
        idleTaskOn = false;
        theApplication->removeIdleTask(this, &PlotPane::drawNewPointsWhenIdle);
    }
    if (newSegments.empty() && !newPage)
        return;
    if (!isWindow() || !IsWindowVisible(hwnd)) {
        newSegments.clear();
        newPage = false;
        return;
    }
    std::unique_ptr<WindowDC> whole;
    DeviceContext* dc = drawingContext(whole);
    dc->attach();
    HDC hdc = dc->hdc;
    if (newPage) {
        setupMetrics(*dc);
        fillBackground(hdc, model.drawingWidth(), model.drawingHeight());
        drawAxes(*dc);
    }
    const int left = model.areaLeft(), right = model.areaRight();
    const int top = model.areaTop(), bottom = model.areaBottom();
    IntersectClipRect(hdc, left, top, right + 1, bottom + 1);
    if (right >= left && bottom >= top) {
        if (!batch)
            batch = new SegmentBatch;
        batch->start(model.signals.size(), left, right);
        for (size_t i = 0; i < model.signals.size(); ++i)
            batch->curves[i].colour = model.signals[i].colour;
        std::vector<Pen*> pens(model.signals.size(), nullptr);
        HGDIOBJ oldPen = nullptr;
        auto drawWaiting = [&] {
            for (size_t i = 0; i < batch->curves.size(); ++i) {
                SegmentBatch::Curve& curve = batch->curves[i];
                if (curve.counts.empty())
                    continue;
                if (!pens[i])
                    pens[i] = new Pen(PS_SOLID, 1, Color(curve.colour));
                HGDIOBJ previous = SelectObject(hdc, pens[i]->pen());
                if (!oldPen)
                    oldPen = previous;
                PolyPolyline(hdc, curve.points.data(), curve.counts.data(), static_cast<DWORD>(curve.counts.size()));
                curve.points.clear();
                curve.counts.clear();
            }
            batch->next();
        };
        for (const NewSegment& s : newSegments) {
            // A signal's first point is only moved to; a line of no length
            // and one outside the plot area leave no pixel.
            if (!s.hasFrom || (s.from.x == s.to.x && s.from.y == s.to.y))
                continue;
            const int x0 = std::max(std::min(s.from.x, s.to.x), left);
            const int x1 = std::min(std::max(s.from.x, s.to.x), right);
            const int y0 = std::min(s.from.y, s.to.y), y1 = std::max(s.from.y, s.to.y);
            if (x0 > x1 || y1 < top || y0 > bottom)
                continue;
            const size_t signal = static_cast<size_t>(s.signal);
            if (batch->waiting && batch->touchesOther(signal, x0, x1, y0, y1))
                drawWaiting();
            batch->add(signal, POINT{s.from.x, s.from.y}, POINT{s.to.x, s.to.y}, x0, x1, y0, y1);
        }
        if (batch->waiting)
            drawWaiting();
        if (oldPen)
            SelectObject(hdc, oldPen);
        for (Pen* pen : pens)
            delete pen;
    }
    SelectClipRgn(hdc, nullptr);
    dc->release();
    newSegments.clear();
    newPage = false;
}

int PlotPane::printTo(DeviceContext* dc, int)
{
    drawNewPoints();
    model.printing = 1;
    // A page is white; a bitmap that stands in for one is not.
    dc->attach();
    if (dc->hdc) {
        setupMetrics(*dc);
        fillBackground(dc->hdc, model.drawingWidth(), model.drawingHeight());
    }
    dc->release();
    LRESULT r = paintInto(dc);
    model.printing = 0;
    // The screen's metrics again.
    own->attach();
    setupMetrics(*own);
    own->release();
    return static_cast<int>(r);
}

Bitmap* PlotPane::makePicture()
{
    if (!isWindow())
        return nullptr;
    RECT r;
    GetClientRect(hwnd, &r);
    if (r.right <= 0 || r.bottom <= 0)
        return nullptr;
    drawNewPoints();
    MemoryDC memory(*own, r.right, r.bottom);
    if (!memory.hdc)
        return nullptr;
    drawingPicture = true;
    fillBackground(memory.hdc, r.right, r.bottom);
    paintInto(&memory);
    drawingPicture = false;
    // The screen's metrics again.
    own->attach();
    setupMetrics(*own);
    own->release();
    return memory.selectBitmap(nullptr);
}

LRESULT PlotPane::onSize(EventRecord* event)
{
    // The waiting lines were mapped to the old size.
    drawNewPoints();
    PaneWindowCL::onSize(event);
    model.setDrawingSize(LOWORD(event->lParam), HIWORD(event->lParam));
    repaint();
    return 0;
}

// ---- zoom

void PlotPane::drawBand(POINT to)
{
    own->attach();
    HDC hdc = own->hdc;
    int oldRop = SetROP2(hdc, R2_XORPEN);
    own->pushPen(new Pen(PS_DOT, 1, Color(128, 128, 128)));
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    Rectangle(hdc, pressPoint.x, pressPoint.y, to.x, to.y);
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, oldBrush);
    delete own->popPen();
    SetROP2(hdc, oldRop);
    own->release();
}

LRESULT PlotPane::onButtonDown(EventRecord* event)
{
    if (event->message != WM_LBUTTONDOWN)
        return 0;
    dragging = 1;
    pressPoint = {static_cast<short>(LOWORD(event->lParam)), static_cast<short>(HIWORD(event->lParam))};
    bandPoint = {-1, -1};
    SetCapture(hwnd);
    return 1;
}

LRESULT PlotPane::onMouseMove(EventRecord* event)
{
    if (!dragging)
        return 0;
    POINT now = {static_cast<short>(LOWORD(event->lParam)), static_cast<short>(HIWORD(event->lParam))};
    if (bandPoint.x != -1 || bandPoint.y != -1)
        drawBand(bandPoint);
    drawBand(now);
    bandPoint = now;
    return 1;
}

LRESULT PlotPane::onButtonUp(EventRecord* event)
{
    if (event->message != WM_LBUTTONUP || !dragging)
        return 0;
    dragging = 0;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (bandPoint.x != -1 || bandPoint.y != -1)
        drawBand(bandPoint);
    bandPoint = {-1, -1};
    POINT release = {static_cast<short>(LOWORD(event->lParam)), static_cast<short>(HIWORD(event->lParam))};
    if (model.zoom(pressPoint.x, pressPoint.y, release.x, release.y)) {
        showBars();
        repaint();
    }
    return 1;
}

// ---- fonts and colours

void PlotPane::setFont(const char* face, int size, uint32_t colour)
{
    model.fontFace = face ? face : "";
    model.scaleColour = colour;
    if (size > 0)
        model.fontSize = size;
    own->attach();
    setupMetrics(*own);
    own->release();
    repaint();
}

void PlotPane::setBackColour(uint32_t colour)
{
    model.backColour = colour;
    setBackColor(Color(colour & 0xffffff));
    repaint();
}

void PlotPane::setGridColour(uint32_t colour)
{
    model.gridColour = colour;
    repaint();
}

void PlotPane::setScaleColour(uint32_t colour)
{
    model.scaleColour = colour;
    repaint();
}

void PlotPane::setGridStyle(int style)
{
    model.gridStyle = style == 1 ? 1 : 2;
    repaint();
}
