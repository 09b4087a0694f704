// Speed of a plot repaint (prints figures; asserts nothing on time).
//
// An 800 x 600 pane holds 4 signals x 10^5 points over t = 0 .. 100 (sines
// with a fast ripple) in time mode, rescaled so that every point is in view.
// The median of 20 full repaints is set against the median of 20 runs of
// one Polyline per signal through the same points, mapped by the model, on
// the same context with the same pens: the repaint, which draws one vertex
// per pixel column, should cost no more than half of that. First it prints
// the time per fed point of 10^6 points x 4 signals (append, extents, and
// the new lines drawn every 10^4 points, as a run's idle pass draws them),
// beside the cost per point of those Polylines, and the same for 10^5
// points of noise, whose every line is long and crosses the others.
#include "Application.h"
#include "Frame.h"
#include "PlotPane.h"
#include "WineCheck.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int kSignals = 4;
const int kPoints = 100000;
const int kFedPoints = 1000000;
// About the points of a run's time slice at the engine's speed.
const int kPointsPerDrawing = 10000;
const int kRuns = 20;

double milliseconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void bench()
{
    RECT outer = {0, 0, 800, 600};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(0, 0, outer.right - outer.left, outer.bottom - outer.top),
                                       WS_OVERLAPPEDWINDOW, "bench_plot_redraw");
    PlotPane* pane = new PlotPane(frame, new RestLayout);
    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    winecheck::pump();

    PlotModel& m = pane->model;
    pane->setSignals(kSignals);
    const COLORREF colours[kSignals] = {RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 128), RGB(0, 0, 255)};
    for (int s = 0; s < kSignals; ++s)
        pane->setSignal(s, "Signal", colours[s]);
    m.pagingMode = kPlotPagingTime;
    double values[kSignals];
    // Noise: every line is long and crosses the other signals' lines.
    bool noise = false;
    uint32_t seed = 12345;
    auto noiseValue = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 8388608.0 - 1.0;
    };
    auto feed = [&](int points, bool timed) {
        double ms = 0;
        for (int i = 0; i < points;) {
            // The values are no part of the feed's cost.
            std::vector<double> block;
            const int end = std::min(points, i + kPointsPerDrawing);
            for (int k = i; k < end; ++k) {
                double t = 100.0 * k / (points - 1);
                block.push_back(t);
                for (int s = 0; s < kSignals; ++s)
                    block.push_back(noise ? noiseValue()
                                          : std::sin(t * (0.2 + 0.1 * s) + s) + 0.05 * std::sin(t * 97.0 + s));
            }
            auto start = std::chrono::steady_clock::now();
            for (size_t at = 0; at < block.size(); at += kSignals + 1)
                pane->addPoint(block[at], &block[at + 1], kSignals);
            pane->drawNewPoints();
            GdiFlush();
            if (timed)
                ms += milliseconds(start);
            i = end;
        }
        return ms;
    };
    const double feedMs = feed(kFedPoints, true);
    pane->clearPoints();
    m.xoff = 0;
    noise = true;
    const double noiseMs = feed(kFedPoints / 10, true);
    noise = false;
    pane->clearPoints();
    m.xoff = 0;
    feed(kPoints, false);
    pane->rescale();
    winecheck::pump();
    RECT client;
    GetClientRect(pane->hwnd, &client);
    printf("pane %d x %d, x scale %g, xoff %g\n", static_cast<int>(client.right), static_cast<int>(client.bottom),
           m.xscale, m.xoff);

    std::vector<double> redraw;
    for (int r = 0; r < kRuns; ++r) {
        auto start = std::chrono::steady_clock::now();
        InvalidateRect(pane->hwnd, nullptr, TRUE);
        UpdateWindow(pane->hwnd);
        GdiFlush();
        redraw.push_back(milliseconds(start));
    }

    // The same points, mapped by the model, one Polyline per signal.
    std::vector<std::vector<POINT>> lines(kSignals);
    for (int s = 0; s < kSignals; ++s)
        for (const PlotPoint& p : m.points())
            lines[s].push_back({m.pageX(p.t), m.deviceYOf(p.values[s])});
    std::vector<double> polyline;
    HDC dc = GetDC(pane->hwnd);
    std::vector<HPEN> pens;
    for (int s = 0; s < kSignals; ++s)
        pens.push_back(CreatePen(PS_SOLID, 1, colours[s]));
    for (int r = 0; r < kRuns; ++r) {
        auto start = std::chrono::steady_clock::now();
        for (int s = 0; s < kSignals; ++s) {
            HGDIOBJ old = SelectObject(dc, pens[s]);
            Polyline(dc, lines[s].data(), static_cast<int>(lines[s].size()));
            SelectObject(dc, old);
        }
        GdiFlush();
        polyline.push_back(milliseconds(start));
    }
    for (HPEN pen : pens)
        DeleteObject(pen);
    ReleaseDC(pane->hwnd, dc);

    const double redrawMs = median(redraw);
    const double polylineMs = median(polyline);
    printf("redraw ms %.2f\n", redrawMs);
    printf("polyline ms %.2f\n", polylineMs);
    printf("ratio redraw/polyline %.3f\n", polylineMs > 0 ? redrawMs / polylineMs : 0.0);
    printf("feed us per point %.2f (%d points x %d signals, drawn every %d points)\n", feedMs * 1000.0 / kFedPoints,
           kFedPoints, kSignals, kPointsPerDrawing);
    printf("feed us per point %.2f with noise (%d points, every line long and crossing the others)\n",
           noiseMs * 1000.0 / (kFedPoints / 10), kFedPoints / 10);
    printf("polyline us per point %.3f (the Polylines above, per point of all signals)\n",
           polylineMs * 1000.0 / kPoints);
    fflush(stdout);
    DestroyWindow(frame->hwnd);
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(240);
    bench();
    app->exitCode = 0;
}
