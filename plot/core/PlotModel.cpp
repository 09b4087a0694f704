#include "PlotModel.h"

#include "NumberFormat.h"
#include "ResString.h"
#include "strings/PlotStrings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

const unsigned int kMaxSignalName = 48;

// Logical distances beyond this are drawn here: far data (a diverging run)
// must not overflow the device coordinates.
const double kFarLogical = 1.0e6;
// Scroll ranges and positions stay within this.
const double kFarPosition = 1.0e15;
const double kLargestOffset = 1.0e308;

// The drawing in logical units (0.1 mm): the margins and the plot area.
const int kLeft = 150;
const int kRight = 150;
const int kBottom = 100;
const int kTop = 150;
const double kDrawingWidth = 1300.0;
const double kDrawingHeight = 1250.0;
// Logical units between the plot area and its tick labels.
const int kLabelGap = 20;
// Pixels: between the legend and the right edge of the drawing, between
// labels and the window's edge, at least between the plot area and its
// labels, and at least between two neighbouring labels.
const int kLegendMargin = 10;
const int kEdge = 2;
const int kMinGap = 3;
const int kLabelSpacing = 6;

double clampTo(double v, double limit)
{
    if (std::isnan(v))
        return 0.0;
    if (v > limit)
        return limit;
    if (v < -limit)
        return -limit;
    return v;
}

int toInt(double v)
{
    const double limit = 2147483647.0;
    if (std::isnan(v))
        return 0;
    if (v >= limit)
        return 2147483647;
    if (v <= -limit)
        return -2147483647;
    return static_cast<int>(v);
}

// Rounding half away from zero.
int roundInt(double v)
{
    return toInt(v < 0 ? v - 0.5 : v + 0.5);
}

// The scroll position of the upper end, ceil((lo + rest) / scale); data
// whose span is no double any more are measured in divisions instead.
double upperEnd(double lo, double hi, int divisions, double scale, double rest)
{
    double v = std::ceil((lo + rest) / scale);
    if (std::isfinite(v))
        return v;
    double over = hi / scale - lo / scale - divisions;
    return std::ceil(lo / scale + (over > 0 ? over : 0));
}

double orderedMin(double a, double b)
{
    return a < b ? a : b;
}

double orderedMax(double a, double b)
{
    return a < b ? b : a;
}

} // namespace

PlotModel::PlotModel()
    : nSignals(0), xmin(0.0), xmax(0.0), ymin(0.0), ymax(0.0), xscale(1.0), yscale(1.0), xoff(0.0), yoff(0.0),
      autoX(1), autoY(1), gridPx(100), plotW(1000), plotH(1000), xLow(0), xHigh(0), yLow(0), yHigh(0),
      pagingMode(kPlotPagingNone), adding(0), xTitle(getResString(kStrPlotTime)), textLocked(0), left(150),
      right(150), bottom(100), top(150), xFactor(1.0), yFactor(1.0), height(1250), drawW(1300),
      backColour(plotColour(255, 255, 232)), gridColour(plotColour(0, 64, 128)), scaleColour(plotColour(0, 64, 128)),
      fontFace("MS Sans Serif"), fontSize(20), gridStyle(2), printing(0), printLarge(1), overRight(0), overLeft(0),
      xStep(1), yStep(1), xGap(kLabelGap), yGap(kLabelGap), nPoints(0), xKnown(false), yKnown(false), hMin(0),
      hMax(0), hPos(0), vMin(0), vMax(0), vPos(0)
{
}

// ---------------------------------------------------------------- signals

void PlotModel::setSignals(int n)
{
    if (n < 0)
        n = 0;
    nSignals = n;
    signals.assign(static_cast<size_t>(n), SignalEntry());
    for (int i = 0; i < n; ++i) {
        char name[kMaxSignalName + 1];
        snprintf(name, sizeof name, getResString(kStrPlotSignal), i);
        signals[i].name = name;
        signals[i].colour = 0;
        signals[i].shown = 1;
    }
}

void PlotModel::setSignal(int index, const char* name, uint32_t colour)
{
    if (index < 0 || index >= static_cast<int>(signals.size()))
        return;
    signals[index].name = name ? name : "";
    signals[index].colour = colour;
}

String PlotModel::signalName(int i) const
{
    if (i < 0 || i >= static_cast<int>(signals.size()))
        return String();
    return signals[i].name;
}

uint32_t PlotModel::signalColour(int i) const
{
    if (i < 0 || i >= static_cast<int>(signals.size()))
        return 0;
    return signals[i].colour;
}

uint32_t PlotModel::colourByName(const char* name) const
{
    for (const SignalEntry& s : signals)
        if (std::strcmp(s.name.text(), name) == 0)
            return s.colour;
    return 0;
}

void PlotModel::setColourByName(const char* name, uint32_t colour)
{
    for (SignalEntry& s : signals)
        if (std::strcmp(s.name.text(), name) == 0) {
            s.colour = colour;
            return;
        }
}

int PlotModel::isShownByName(const char* name) const
{
    for (const SignalEntry& s : signals)
        if (std::strcmp(s.name.text(), name) == 0)
            return s.shown;
    return 0;
}

void PlotModel::setShownByName(const char* name, int flag)
{
    for (SignalEntry& s : signals)
        if (std::strcmp(s.name.text(), name) == 0)
            s.shown = flag;
}

// ---------------------------------------------------------------- points

void PlotModel::addPoint(double t, const double* values, int count, std::vector<NewSegment>* out, bool* paged)
{
    if (paged)
        *paged = false;
    if (out)
        out->clear();
    // 1., 2.
    PlotPoint p;
    p.t = t;
    p.values.assign(static_cast<size_t>(nSignals), 0.0);
    for (int i = 0; i < nSignals && i < count && values; ++i)
        p.values[i] = values[i];
    list.push_back(p);

    // 3. The page is chosen by the new point alone; the previous point is
    // then mapped into that page without paging again.
    adding = 1;
    const PlotPoint& now = list.back();
    const PlotPoint* before = list.size() > 1 ? &list[list.size() - 2] : nullptr;
    if (std::isfinite(t)) {
        int x = pageX(t, paged);
        adding = 0;
        for (int i = 0; i < nSignals; ++i) {
            if (!signals[i].shown || !std::isfinite(now.values[i]))
                continue;
            NewSegment s;
            s.signal = i;
            s.to = {x, deviceYOf(now.values[i])};
            s.hasFrom = before && std::isfinite(before->t) && std::isfinite(before->values[i]);
            s.from = s.hasFrom ? PlotXY{pageX(before->t), deviceYOf(before->values[i])} : s.to;
            if (out)
                out->push_back(s);
        }
    }
    adding = 0;

    // 4., 5.
    if (nPoints == 0) {
        xKnown = false;
        yKnown = false;
    }
    widenExtents(now);
    ++nPoints;
}

void PlotModel::widenExtents(const PlotPoint& p)
{
    // Values equal to an extent leave it; values that are not finite numbers
    // are left out, so that one diverging step does not spoil the scales.
    if (std::isfinite(p.t)) {
        if (!xKnown) {
            xmin = xmax = p.t;
            xKnown = true;
        } else {
            if (p.t > xmax)
                xmax = p.t;
            if (p.t < xmin)
                xmin = p.t;
        }
    }
    // Without signals the first value reads as 0.0.
    const double none = 0.0;
    const double* v = p.values.empty() ? &none : p.values.data();
    size_t n = p.values.empty() ? (nPoints == 0 ? 1 : 0) : p.values.size();
    for (size_t i = 0; i < n; ++i) {
        if (!std::isfinite(v[i]))
            continue;
        if (!yKnown) {
            ymin = ymax = v[i];
            yKnown = true;
        } else {
            if (v[i] > ymax)
                ymax = v[i];
            if (v[i] < ymin)
                ymin = v[i];
        }
    }
}

void PlotModel::clearPoints()
{
    list.clear();
    list.shrink_to_fit();
    nPoints = 0;
}

// ---------------------------------------------------------------- scaling

double PlotModel::niceStep(double a, double b)
{
    // 1.
    double d = std::fabs(a - b) - 1e-12;
    if (!std::isfinite(d))
        return 0.0;
    if (d <= 0)
        return 0.1;
    // 2.
    double L = std::log10(d);
    int e = static_cast<int>(L);
    if (L < 0)
        e -= 1;
    // 3.
    double m = std::pow(10.0, L - e);
    static const double factors[] = {0.15, 0.2, 0.25, 0.5, 1.0};
    int f;
    if (m <= 1.5)
        f = 0;
    else if (m <= 2.0)
        f = 1;
    else if (m <= 2.5)
        f = 2;
    else if (m <= 5.0)
        f = 3;
    else
        f = 4;
    // 4.
    double power = 1.0;
    for (int i = 0; i < (e < 0 ? -e : e); ++i)
        power *= 10.0;
    auto stepOf = [&](int k) { return e < 0 ? factors[k] / power : factors[k] * power; };
    double step = stepOf(f);
    if (!(step > 0) || !std::isfinite(step))
        return 0.0;
    // 5.
    if (std::ceil(std::fabs(a / step)) + std::ceil(std::fabs(b / step)) > 10 && f < 4)
        step = stepOf(f + 1);
    return step;
}

void PlotModel::rescale()
{
    // 1.
    if (nPoints == 0)
        return;
    int nx = xDivisions();
    int ny = yDivisions();
    if (nx < 1 || ny < 1)
        return;
    // 2. Data without one finite number keep the scales they have.
    if (autoX && xKnown) {
        double s = niceStep(xmin / nx, xmax / nx) * nx;
        if (s > 0 && std::isfinite(s))
            xscale = s;
    }
    if (autoY && yKnown) {
        double s = niceStep(ymin / ny, ymax / ny) * ny;
        if (s > 0 && std::isfinite(s))
            yscale = s;
    }
    // 3.
    double rest = (ymax - ymin) - ny * yscale;
    if (!(rest > 0))
        rest = 0;
    yLow = clampTo(std::floor(ymin / yscale), kFarPosition);
    yHigh = clampTo(upperEnd(ymin, ymax, ny, yscale, rest), kFarPosition);
    if (autoY) {
        vMin = vMax = yHigh;
    } else {
        vMin = orderedMin(yLow, yHigh);
        vMax = orderedMax(yLow, yHigh);
    }
    setVerticalPosition(yLow);
    // 4.
    rest = (xmax - xmin) - nx * xscale;
    if (!(rest > 0))
        rest = 0;
    xLow = clampTo(std::floor(xmin / xscale), kFarPosition);
    xHigh = clampTo(upperEnd(xmin, xmax, nx, xscale, rest), kFarPosition);
    if (autoX) {
        hMin = hMax = xLow;
    } else {
        hMin = orderedMin(xLow, xHigh);
        hMax = orderedMax(xLow, xHigh);
    }
    setHorizontalPosition(xLow);
}

PlotModel::Bar PlotModel::horizontalBar() const
{
    return {toInt(hMin), toInt(hMax), toInt(hPos)};
}

PlotModel::Bar PlotModel::verticalBar() const
{
    return {toInt(vMin), toInt(vMax), toInt(vPos)};
}

void PlotModel::setHorizontalPosition(double p)
{
    p = clampTo(p, kFarPosition);
    if (p < hMin)
        p = hMin;
    if (p > hMax)
        p = hMax;
    hPos = p;
    xoff = clampTo(p * xscale, kLargestOffset);
}

void PlotModel::setVerticalPosition(double p)
{
    p = clampTo(p, kFarPosition);
    if (p < vMin)
        p = vMin;
    if (p > vMax)
        p = vMax;
    vPos = p;
    yoff = clampTo((yLow + yHigh - p) * yscale, kLargestOffset);
}

void PlotModel::setPlotParams(const PlotParams& p)
{
    autoX = p.autoX;
    autoY = p.autoY;
    if (p.xscale > 0 && std::isfinite(p.xscale))
        xscale = p.xscale;
    if (p.yscale > 0 && std::isfinite(p.yscale))
        yscale = p.yscale;
    if (std::isfinite(p.xoff))
        xoff = p.xoff;
    if (std::isfinite(p.yoff))
        yoff = p.yoff;
}

// ---------------------------------------------------------------- metrics

void PlotModel::setDrawingSize(int w, int h)
{
    drawW = w > 1 ? w : 1;
    height = h > 1 ? h : 1;
    layOutLabels();
}

void PlotModel::setPrintMetrics(double xmetric, double ymetric)
{
    double k = printLarge ? 1.5 : 1.0;
    labels = PlotLabelSpace();
    setDrawingSize(roundInt(1300 * xmetric * k), roundInt(1250 * ymetric * k));
}

int PlotModel::tickFontHeight(int minimum) const
{
    // Tenths of a millimetre of the drawing as it is without grown margins.
    int h = roundInt(fontSize * (height / kDrawingHeight));
    if (h < minimum)
        h = minimum;
    return h < 1 ? 1 : h;
}

void PlotModel::fitLabels(const PlotLabelSpace& space)
{
    labels = space;
    layOutLabels();
}

namespace {

// The device margins before and after the plot area of extent pixels: as
// wanted, but a third of the extent stays for the curves.
void shareMargins(int extent, int& before, int& after)
{
    const int keep = extent / 3 > 1 ? extent / 3 : 1;
    if (extent - before - after >= keep)
        return;
    const double k = static_cast<double>(extent - keep) / (before + after);
    before = static_cast<int>(before * k);
    after = static_cast<int>(after * k);
}

// Every step-th of the divisions + 1 labels, so that labels of extent
// pixels on lines spacing pixels apart keep clear of each other; a step
// that divides the divisions where there is one, so that the last line
// keeps its label too.
int labelStep(int extent, double spacing, int divisions)
{
    if (divisions < 2)
        return 1;
    int step = 1;
    while (step < divisions && step * spacing < extent)
        ++step;
    while (step < divisions && divisions % step != 0)
        ++step;
    return step;
}

} // namespace

void PlotModel::layOutLabels()
{
    left = kLeft;
    right = kRight;
    bottom = kBottom;
    top = kTop;
    xFactor = drawW / kDrawingWidth;
    yFactor = height / kDrawingHeight;
    xGap = roundInt(kLabelGap * xFactor);
    yGap = roundInt(kLabelGap * yFactor);
    xStep = 1;
    yStep = 1;
    const int h = labels.textHeight;
    if (h <= 0 || plotW <= 0 || plotH <= 0)
        return;
    // Below the plot area the x labels keep clear of the lowest y label,
    // which reaches half its height below its line.
    xGap = std::max(xGap, kMinGap);
    yGap = std::max(yGap, h / 2 + kMinGap);
    const int halfX = (labels.xLabelWidth + 1) / 2;
    int l = std::max(roundInt(kLeft * xFactor), std::max(labels.yLabelWidth + xGap, halfX) + kEdge);
    // The legend's column, and the x title in it, right of the last x label.
    int r = std::max(roundInt(kRight * xFactor), kLegendMargin + labels.legendWidth + xGap + halfX);
    int b = std::max(roundInt(kBottom * yFactor), yGap + h + kEdge);
    int t = std::max(roundInt(kTop * yFactor), (h + 1) / 2 + kEdge);
    if (l > roundInt(kLeft * xFactor) || r > roundInt(kRight * xFactor)) {
        shareMargins(drawW, l, r);
        xFactor = static_cast<double>(drawW - l - r) / plotW;
        left = roundInt(l / xFactor);
        right = roundInt(r / xFactor);
    }
    if (b > roundInt(kBottom * yFactor) || t > roundInt(kTop * yFactor)) {
        shareMargins(height, b, t);
        yFactor = static_cast<double>(height - b - t) / plotH;
        bottom = roundInt(b / yFactor);
        top = roundInt(t / yFactor);
    }
    xStep = labelStep(labels.xLabelWidth + kLabelSpacing, gridPx * xFactor, xDivisions());
    yStep = labelStep(h + kLabelSpacing / 2, gridPx * yFactor, yDivisions());
}

int PlotModel::xLabelTop() const
{
    return labels.textHeight > 0 ? areaBottom() + yGap : deviceY(bottom - kLabelGap);
}

int PlotModel::yLabelRight() const
{
    return labels.textHeight > 0 ? areaLeft() - xGap : deviceX(left - kLabelGap);
}

int PlotModel::deviceX(double lx) const
{
    return roundInt(xFactor * lx);
}

int PlotModel::deviceY(double ly) const
{
    return height - roundInt(yFactor * ly);
}

double PlotModel::mapToPlot(double v, double scale, double off, int divisions)
{
    // Both flags are cleared on every call: an overflow of y must not page x,
    // and one overflow must not page every later point.
    overRight = 0;
    overLeft = 0;
    if (scale == 0)
        return 0.0;
    double d = (v - off) / scale * gridPx;
    if (d > static_cast<double>(divisions) * gridPx)
        overRight = 1;
    else if (d < 0)
        overLeft = 1;
    return clampTo(d, kFarLogical);
}

int PlotModel::pageX(double t, bool* paged)
{
    int nx = xDivisions();
    // 1.
    double px = mapToPlot(t, xscale, xoff, nx);
    // 2.
    if ((overRight || overLeft) && adding && pagingMode != kPlotPagingNone) {
        double page = nx * xscale;
        xoff += overRight ? page : -page;
        px = mapToPlot(t, xscale, xoff, nx);
        if (paged)
            *paged = true;
    }
    // 3.
    return toInt((left + px) * xFactor);
}

int PlotModel::deviceYOf(double value)
{
    double py = mapToPlot(value, yscale, yoff, yDivisions()) + bottom;
    return deviceY(py);
}

// ---------------------------------------------------------------- repaint

size_t PlotModel::paintStart() const
{
    if (pagingMode != kPlotPagingTime || list.empty())
        return 0;
    size_t start = 0;
    bool found = false;
    bool allLeft = true;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].t <= xoff) {
            start = i;
            found = true;
        }
        if (!(list[i].t < xoff))
            allLeft = false;
    }
    return found && !allLeft ? start : 0;
}

void PlotModel::paintVertices(int signal, std::vector<PlotVertex>& out)
{
    out.clear();
    if (signal < 0 || signal >= nSignals || list.empty())
        return;
    int saved = adding;
    adding = 0;
    const double rightEdge = xoff + xDivisions() * xscale;
    bool breakNext = true;
    size_t i = paintStart();
    while (i < list.size()) {
        // 3.
        if (pagingMode == kPlotPagingTime && list[i].t > rightEdge)
            break;
        if (!std::isfinite(list[i].t)) {
            breakNext = true;
            ++i;
            continue;
        }
        // 2. One group: the consecutive points on this device column.
        int column = pageX(list[i].t);
        double sum = 0;
        int count = 0;
        bool broken = false;
        while (i < list.size() && std::isfinite(list[i].t) &&
               !(pagingMode == kPlotPagingTime && list[i].t > rightEdge) && pageX(list[i].t) == column) {
            double v = list[i].values[signal];
            if (std::isfinite(v)) {
                sum += v;
                ++count;
            } else {
                broken = true;
            }
            ++i;
        }
        if (count) {
            out.push_back({column, deviceYOf(sum / count), breakNext ? 1 : 0});
            breakNext = false;
        }
        // A value that is not a number breaks the curve after its column.
        if (broken)
            breakNext = true;
    }
    adding = saved;
}

String PlotModel::xTickLabel(int i) const
{
    return formatDouble(i * xscale + xoff);
}

String PlotModel::yTickLabel(int k) const
{
    return formatDouble(k * yscale + yoff);
}

std::vector<int> PlotModel::legendOrder() const
{
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(signals.size()); ++i)
        if (signals[i].shown)
            order.push_back(i);
    return order;
}

// ---------------------------------------------------------------- zoom

bool PlotModel::zoom(int px1, int py1, int px2, int py2)
{
    int nx = xDivisions();
    int ny = yDivisions();
    if (nx < 1 || ny < 1 || !(xFactor > 0) || !(yFactor > 0))
        return false;
    // 3.
    double x1 = (px1 / xFactor - left) / gridPx * xscale + xoff;
    double x2 = (px2 / xFactor - left) / gridPx * xscale + xoff;
    double y1 = ((height - py1) / yFactor - bottom) / gridPx * yscale + yoff;
    double y2 = ((height - py2) / yFactor - bottom) / gridPx * yscale + yoff;
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    if (!(x2 - x1 >= kPlotEpsilon) || !(y2 - y1 >= kPlotEpsilon))
        return false;
    // 4.
    autoX = 0;
    autoY = 0;
    double q = xscale * 0.25;
    double s = std::round((x2 - x1) / q) / nx * q;
    if (s >= kPlotEpsilon && std::isfinite(s))
        xscale = s;
    q = yscale * 0.25;
    s = std::round((y2 - y1) / q) / ny * q;
    if (s >= kPlotEpsilon && std::isfinite(s))
        yscale = s;
    rescale();
    // 5.
    double x1s = std::round(x1 / (xscale * 0.1)) * xscale * 0.1;
    double y1s = std::round(y1 / (yscale * 0.1)) * yscale * 0.1;
    setHorizontalPosition(std::round(x1s / xscale));
    setVerticalPosition(yLow + yHigh - std::round(y1s / yscale));
    return true;
}
