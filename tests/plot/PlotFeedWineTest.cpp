// Under wine: a pane fed point by point and drawn in batches shows the very
// pixels that drawing every point as it came gave. A second pane of the same
// size draws each point at once, a line per signal with a pen of its own and
// the page drawn anew when the view pages; the batched pane is drawn after
// 1, 3, 50 and 1000 points and once at the end (more lines than the pane
// keeps: it draws on its own in between), also with part of both panes
// painted anew in the middle of a batch. The curves cross, page, leave the
// plot area, break at values that are no numbers, stay flat, share a colour
// and hide; the pixels of both client areas are compared.
//
//   plot_feed_test PNG-PATH
#include "Application.h"
#include "Frame.h"
#include "PlotPane.h"
#include "WineCheck.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using winecheck::check;

namespace {

const int kSignals = 5;
const uint32_t kColours[kSignals] = {plotColour(255, 0, 0), plotColour(0, 128, 0), plotColour(0, 0, 255),
                                     plotColour(0, 0, 0), plotColour(0, 0, 0)};

// The pane as it drew before: each point at once.
class EachPointPane : public PlotPane {
public:
    EachPointPane(WindowCL* parent) : PlotPane(parent, new RestLayout) {}

    void feed(double t, const double* values, int count)
    {
        bool paged = false;
        model.addPoint(t, values, count, &lines, &paged);
        if (!isWindow() || !IsWindowVisible(hwnd))
            return;
        own->attach();
        HDC hdc = own->hdc;
        if (paged) {
            // A new page may need other margins for its labels.
            setupMetrics(*own);
            fillBackground(hdc, model.drawingWidth(), model.drawingHeight());
            drawAxes(*own);
        }
        IntersectClipRect(hdc, model.areaLeft(), model.areaTop(), model.areaRight() + 1, model.areaBottom() + 1);
        for (const NewSegment& s : lines) {
            own->pushPen(new Pen(PS_SOLID, 1, Color(model.signals[s.signal].colour)));
            MoveToEx(hdc, s.from.x, s.from.y, nullptr);
            if (s.hasFrom)
                LineTo(hdc, s.to.x, s.to.y);
            delete own->popPen();
        }
        SelectClipRgn(hdc, nullptr);
        own->release();
    }

private:
    std::vector<NewSegment> lines;
};

struct Window {
    AppFrameCL* frame;
    PlotPane* pane;
};

Window makeWindow(int y, bool eachPoint, const char* title)
{
    RECT outer = {0, 0, 480, 300};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    AppFrameCL* frame =
        new AppFrameCL(nullptr, new Layout(10, y, outer.right - outer.left, outer.bottom - outer.top),
                       WS_OVERLAPPEDWINDOW, title);
    PlotPane* pane = eachPoint ? new EachPointPane(frame) : new PlotPane(frame, new RestLayout);
    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    return {frame, pane};
}

// The client area's pixels, 32 bits each.
std::vector<uint32_t> pixels(HWND hwnd, int& width, int& height)
{
    RECT r;
    GetClientRect(hwnd, &r);
    width = r.right;
    height = r.bottom;
    HDC screen = GetDC(hwnd);
    std::vector<uint32_t> out = winecheck::readPixels(screen, 0, 0, width, height);
    ReleaseDC(hwnd, screen);
    out.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    return out;
}

struct FeedCase {
    const char* name;
    int points;
    // The batched pane draws after this many points (0: only at the end).
    int batch;
    // Pages of the time axis the points span.
    double pages;
    bool hideOne;
    // After this many points part of both panes is painted anew (0: never),
    // while the batched pane still holds undrawn lines.
    int paintAt;
};

// The values of point i: crossing sines, a fast ripple, a flat stretch,
// values beyond the plot area and a gap of values that are no numbers.
void valuesAt(int i, int points, double values[kSignals])
{
    const double t = 10.0 * i / points;
    values[0] = 1.2 * std::sin(2.0 * t);
    values[1] = 1.2 * std::sin(2.0 * t + 0.5) + 0.05 * std::sin(97.0 * t);
    values[2] = (i / 40) % 3 == 0 ? 0.25 : 0.9 * std::cos(3.0 * t);
    values[3] = 0.5 * std::sin(t) - 0.1;
    values[4] = -0.5 * std::sin(t) + 0.1;
    if (i % 997 > 990)
        values[1] = std::numeric_limits<double>::quiet_NaN();
    if (i % 1499 == 700)
        values[0] = std::numeric_limits<double>::infinity();
}

void prepare(PlotPane* pane, const FeedCase& c)
{
    PlotModel& m = pane->model;
    pane->setSignals(kSignals);
    for (int s = 0; s < kSignals; ++s)
        pane->setSignal(s, ("s" + std::to_string(s)).c_str(), kColours[s]);
    if (c.hideOne)
        m.signals[3].shown = 0;
    m.pagingMode = kPlotPagingTime;
    m.autoX = m.autoY = 0;
    const int nx = m.xDivisions() > 0 ? m.xDivisions() : 1;
    const int ny = m.yDivisions() > 0 ? m.yDivisions() : 1;
    m.xscale = 10.0 / c.pages / nx;
    m.xoff = 0;
    m.yscale = 2.0 / ny;
    m.yoff = -1.0;
}

bool samePicture(const FeedCase& c, const std::string& png)
{
    Window batched = makeWindow(10, false, "in Stapeln");
    Window each = makeWindow(340, true, "Punkt fuer Punkt");
    winecheck::pump();
    prepare(batched.pane, c);
    prepare(each.pane, c);
    batched.pane->repaint();
    each.pane->repaint();
    UpdateWindow(batched.pane->hwnd);
    UpdateWindow(each.pane->hwnd);
    winecheck::pump();

    EachPointPane* reference = static_cast<EachPointPane*>(each.pane);
    double values[kSignals];
    for (int i = 0; i < c.points; ++i) {
        valuesAt(i, c.points, values);
        const double t = 10.0 * i / c.points;
        batched.pane->addPoint(t, values, kSignals);
        reference->feed(t, values, kSignals);
        if (c.batch > 0 && (i + 1) % c.batch == 0)
            batched.pane->drawNewPoints();
        if (i + 1 == c.paintAt) {
            // The left third of the plot, as when a window over it goes;
            // the undrawn lines are further right.
            for (PlotPane* pane : {batched.pane, each.pane}) {
                RECT part = {0, 0, pane->model.areaLeft() + (pane->model.areaRight() - pane->model.areaLeft()) / 3,
                             pane->model.areaBottom()};
                InvalidateRect(pane->hwnd, &part, TRUE);
                UpdateWindow(pane->hwnd);
            }
        }
    }
    batched.pane->drawNewPoints();
    GdiFlush();

    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    const std::vector<uint32_t> a = pixels(batched.pane->hwnd, w1, h1);
    const std::vector<uint32_t> b = pixels(each.pane->hwnd, w2, h2);
    long differing = 0, drawn = 0;
    int firstX = -1, firstY = -1;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if ((a[i] & 0xffffff) == 0xff0000 || (a[i] & 0xffffff) == 0x0000ff)
            ++drawn;
        if (a[i] != b[i]) {
            if (!differing) {
                firstX = static_cast<int>(i % static_cast<size_t>(w1));
                firstY = static_cast<int>(i / static_cast<size_t>(w1));
            }
            ++differing;
        }
    }
    printf("%s: %d x %d, %ld pixels of the red and blue curves, %ld differ (first at %d, %d)\n", c.name, w1, h1,
           drawn, differing, firstX, firstY);
    if (!png.empty())
        check(winecheck::saveWindowPicture(batched.frame->hwnd, png), ("the picture is saved: " + png).c_str());
    DestroyWindow(batched.frame->hwnd);
    DestroyWindow(each.frame->hwnd);
    winecheck::pump();
    return w1 == w2 && h1 == h2 && w1 > 100 && h1 > 100 && drawn > 500 && differing == 0;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(200);
    const std::string png = winecheck::trimmedArgument(app->commandLine.text());
    const FeedCase cases[] = {
        {"every point drawn at once", 3000, 1, 2.5, false, 0},
        {"batches of 3", 3000, 3, 2.5, false, 0},
        {"batches of 50, a signal hidden", 6000, 50, 3.5, true, 0},
        {"batches of 1000, 100 points per column", 40000, 1000, 1.2, false, 0},
        {"one batch at the end, drawn on its own in between", 40000, 0, 3.5, false, 0},
        {"batches of 1000, part of the pane painted in the middle of one", 20000, 1000, 1.2, false, 14500},
    };
    for (const FeedCase& c : cases)
        check(samePicture(c, &c == &cases[3] ? png : std::string()),
              (std::string("the same pixels as drawn point by point: ") + c.name).c_str());
    app->exitCode = winecheck::summary();
}
