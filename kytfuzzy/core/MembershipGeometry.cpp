#include "MembershipGeometry.h"

#include "FuzzyKernel.h"
#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const int kHandleHalf = 5;
// Pixels far outside the plot are held here, short of the int range.
const double kPixelLimit = 1.0e6;
// More ticks than this are no axis any more.
const double kMaxTicks = 10000;

int cut(double v)
{
    if (!(v > -kPixelLimit))
        return static_cast<int>(-kPixelLimit);
    if (!(v < kPixelLimit))
        return static_cast<int>(kPixelLimit);
    return static_cast<int>(v);
}

const ShapeColour kColours[kFuzzyColorCount] = {
    {0, 128, 0}, {0, 128, 128}, {128, 64, 0}, {160, 160, 164}, {128, 0, 128}, {0, 0, 255}, {0, 0, 0}, {255, 0, 0}};

void place(SupportPoint& p, int x, int y, int edge)
{
    p.x = x;
    p.y = y;
    p.edge = edge;
    p.visible = true;
    p.setHandle();
}

} // namespace

MembershipLayout layoutMembership(const PixelRect& area, bool printing)
{
    MembershipLayout l;
    PixelRect a = area;
    if (printing) {
        const int h = a.height();
        a.bottom -= static_cast<int>(0.4 * h);
        a.top += static_cast<int>(0.2 * h);
    }
    l.width = a.width();
    l.height = a.height();
    l.horizontalUnit = l.width * 0.00125;
    l.verticalUnit = l.height / 300.0;
    l.frame.left = a.left + static_cast<int>(0.1 * l.width);
    l.frame.top = a.top + static_cast<int>(0.1 * l.height);
    l.frame.right = a.right - static_cast<int>(0.1 * l.width);
    l.frame.bottom = a.bottom - static_cast<int>(0.15 * l.height);
    l.plot.left = l.frame.left;
    l.plot.top = l.frame.top + static_cast<int>(0.15 * l.frame.height());
    l.plot.right = l.frame.right - static_cast<int>(0.05 * l.frame.width());
    l.plot.bottom = l.frame.bottom;
    return l;
}

bool frameTooSmall(const MembershipLayout& layout)
{
    return layout.frame.width() < 501 || layout.frame.height() < 101;
}

// ---------------------------------------------------------------- mapping

ValueMapping::ValueMapping(const PixelRect& plotRect, double low, double high, double step)
    : plot(plotRect), xmin(low), xmax(high), grid(step)
{
    rangeValid = std::isfinite(xmin) && std::isfinite(xmax) && xmin < xmax && std::isfinite(xmax - xmin) &&
                 plot.right > plot.left && plot.bottom > plot.top;
    if (!std::isfinite(grid))
        grid = 0;
}

ValueMapping::ValueMapping(const PixelRect& plotRect, const FuzzyVariable* variable, const char* gridText)
    : ValueMapping(plotRect, variable ? fuzzyTextValue(variable->xmin) : 0.0,
                   variable ? fuzzyTextValue(variable->xmax) : 0.0, fuzzyTextValue(gridText))
{
}

int ValueMapping::pixelOf(double v) const
{
    if (!rangeValid)
        return plot.left;
    return cut(plot.left + (v - xmin) * (plot.right - plot.left) / (xmax - xmin));
}

double ValueMapping::valueOf(int x) const
{
    if (!rangeValid)
        return 0.0;
    return xmin + (x - plot.left) * (xmax - xmin) / (plot.right - plot.left);
}

double ValueMapping::membershipOf(int y) const
{
    if (plot.bottom == plot.top)
        return 0.0;
    return static_cast<double>(plot.bottom - y) / (plot.bottom - plot.top);
}

int ValueMapping::heightOf(double mu) const
{
    return cut(plot.bottom - mu * (plot.bottom - plot.top));
}

double ValueMapping::snapToGrid(double v) const
{
    if (!(grid > 0))
        return v;
    const double q = v / grid;
    double n = std::floor(q);
    if (q - n > 0.5)
        n += 1;
    return n * grid;
}

int ValueMapping::snapPixel(int x) const
{
    if (x == plot.left || x == plot.right || !(grid > 0) || !rangeValid)
        return x;
    return pixelOf(snapToGrid(valueOf(x)));
}

double ValueMapping::snapValue(double v) const
{
    if (v == xmin || v == xmax)
        return v;
    return snapToGrid(v);
}

// ---------------------------------------------------------------- shapes

void SupportPoint::setHandle()
{
    handle.left = x - kHandleHalf;
    handle.top = y - kHandleHalf;
    handle.right = x + kHandleHalf;
    handle.bottom = y + kHandleHalf;
}

ShapeColour shapeColour(int index)
{
    if (index >= 0 && index < kFuzzyColorCount)
        return kColours[index];
    if (index == kFuzzyNoColor)
        return {0, 0, 0};
    return {0, 255, 255};
}

bool SetShape::anyVisible() const
{
    for (const SupportPoint& p : point)
        if (p.visible)
            return true;
    return false;
}

SetShape buildSetShape(const ValueMapping& m, const FuzzyMember* member, int nameWidth, int nameHeight)
{
    SetShape s;
    s.colour = shapeColour(member->color);
    s.name = member->name ? member->name : "";
    s.nameWidth = nameWidth;
    s.nameHeight = nameHeight;
    s.kind = member->set ? member->set->shape : FZ_SHAPE_TRAPEZ;
    if (!m.valid() || !member->set)
        return s;
    const PixelRect& p = m.plot;
    const double* v = member->set->value;
    if (s.kind == FZ_SHAPE_SINGLETON) {
        if (m.xmin <= v[0] && v[0] <= m.xmax) {
            const int x = m.pixelOf(v[0]);
            place(s.point[0], x, p.bottom, EDGE_NONE);
            place(s.point[1], x, p.top, EDGE_NONE);
            s.labelX = x;
            s.labelY = p.top - 5 - nameHeight;
        }
        return s;
    }
    const double a = v[0], b = v[1], c = v[2], d = v[3];
    if (a >= m.xmax || d <= m.xmin)
        return s;
    // Where the curve leaves the range it is cut at the plot's edge, at the
    // set's membership there.
    const int leftCut = m.heightOf(trapezMembership(m.xmin, v));
    const int rightCut = m.heightOf(trapezMembership(m.xmax, v));
    place(s.point[1], m.pixelOf(b), p.top, EDGE_NONE);
    place(s.point[2], m.pixelOf(c), p.top, EDGE_NONE);
    if (m.xmin < a) {
        place(s.point[0], m.pixelOf(a), p.bottom, EDGE_NONE);
    } else if (m.xmin < b) {
        place(s.point[0], p.left, leftCut, EDGE_LEFT);
    } else if (m.xmin < c) {
        place(s.point[1], p.left, p.top, EDGE_LEFT);
    } else {
        s.point[1].visible = false;
        place(s.point[2], p.left, leftCut, EDGE_LEFT);
    }
    if (d <= m.xmax) {
        place(s.point[3], m.pixelOf(d), p.bottom, EDGE_NONE);
    } else if (c < m.xmax) {
        place(s.point[3], p.right, rightCut, EDGE_RIGHT);
    } else if (b <= m.xmax) {
        place(s.point[2], p.right, p.top, EDGE_RIGHT);
    } else {
        s.point[2].visible = false;
        place(s.point[1], p.right, rightCut, EDGE_RIGHT);
    }
    if (m.xmin <= c && c <= m.xmax) {
        s.labelX = m.pixelOf(c) - nameWidth;
    } else {
        // The plateau's end is outside: the name stands over the visible
        // part, kept inside the plot.
        int right = p.left;
        for (const SupportPoint& q : s.point)
            if (q.visible)
                right = std::max(right, q.x);
        s.labelX = std::max(p.left, right - nameWidth);
    }
    s.labelY = p.top - 5 - nameHeight;
    return s;
}

// ---------------------------------------------------------------- ticks

double tickStep(double span, int plotWidth, bool printing)
{
    if (!(span > 0) || !std::isfinite(span))
        return 0;
    int n = plotWidth / (printing ? 250 : 40);
    if (n < 1)
        n = 1;
    const double raw = span / n;
    double power = std::pow(10.0, std::ceil(std::log10(raw)));
    if (!(power > 0) || !std::isfinite(power))
        return 0;
    double m = raw / power;
    // log10 of an exact power of ten may land a hair off: m stays in (0.1, 1].
    if (m <= 0.1 * (1 + 1e-12)) {
        power /= 10;
        m = raw / power;
    } else if (m > 1 + 1e-12) {
        power *= 10;
        m = raw / power;
    }
    double f = 0.15;
    if (m >= 0.75)
        f = 1.0;
    else if (m >= 0.5)
        f = 0.75;
    else if (m >= 0.25)
        f = 0.5;
    else if (m >= 0.2)
        f = 0.25;
    else if (m >= 0.15)
        f = 0.2;
    return power * f;
}

AxisTicks axisTicks(const ValueMapping& m, bool printing)
{
    AxisTicks t;
    if (!m.valid())
        return t;
    t.step = tickStep(m.xmax - m.xmin, m.plot.width(), printing);
    if (!(t.step > 0))
        return t;
    const double first = std::floor(m.xmin / t.step);
    const double last = std::ceil(m.xmax / t.step);
    if (!(last - first < kMaxTicks))
        return t;
    for (double k = first; k <= last; k += 1) {
        const double value = k * t.step;
        const int x = m.pixelOf(value);
        if (x - m.plot.left >= 0 && x - m.plot.left <= m.plot.right - m.plot.left)
            t.major.push_back({value, x});
    }
    for (size_t i = 0; i + 1 < t.major.size(); ++i)
        for (int j = 1; j <= 4; ++j)
            t.minor.push_back(m.pixelOf(t.major[i].value + j * 0.2 * t.step));
    return t;
}

std::string tickText(double v)
{
    char text[kMaxNumberText + 1];
    formatNumberDigits(v, 5, text);
    return text;
}

std::string parameterText(double v)
{
    char text[kMaxNumberText + 1];
    formatNumberDigits(v, 10, text);
    return text;
}

// ---------------------------------------------------------------- mouse

int hitHandle(const SetShape& shape, int x, int y)
{
    for (int i = 0; i < 4; ++i)
        if (shape.point[i].visible && shape.point[i].handle.contains(x, y))
            return i;
    return -1;
}

int dragPointFor(const SetShape& shape, int x, int y, int movedX)
{
    int first = -1, last = -1;
    for (int i = 0; i < 4; ++i)
        if (shape.point[i].visible && shape.point[i].handle.contains(x, y)) {
            if (first < 0)
                first = i;
            last = i;
        }
    // Each point stops at its right neighbour and its left one: of two
    // points on one spot only the right one can go right, the left one left.
    return movedX > x ? last : first;
}

namespace {

bool nearEnd(const SupportPoint& e, int x, int y)
{
    return std::abs(x - e.x) <= 6 && std::abs(y - e.y) <= 6;
}

bool hitSegment(const SupportPoint& p, const SupportPoint& q, int x, int y)
{
    if (!p.visible || !q.visible)
        return false;
    const int lo = std::min(p.x, q.x), hi = std::max(p.x, q.x);
    if (x < lo || x > hi || nearEnd(p, x, y) || nearEnd(q, x, y))
        return false;
    if (p.x == q.x) {
        // A vertical flank: hit as near as a singleton's line.
        return std::abs(x - p.x) < 3 && y > std::min(p.y, q.y) && y < std::max(p.y, q.y);
    }
    if (p.y == q.y)
        return std::abs(y - p.y) <= 3 && x > lo && x < hi;
    const double at = p.y + static_cast<double>(x - p.x) * (q.y - p.y) / (q.x - p.x);
    return std::fabs(y - at) < 4;
}

} // namespace

bool hitShape(const SetShape& s, int x, int y)
{
    if (s.kind == FZ_SHAPE_SINGLETON) {
        const SupportPoint& bottom = s.point[0];
        const SupportPoint& top = s.point[1];
        return bottom.visible && std::abs(x - bottom.x) < 3 && top.y + 5 < y && y < bottom.y - 5;
    }
    for (int i = 0; i < 3; ++i)
        if (hitSegment(s.point[i], s.point[i + 1], x, y))
            return true;
    return false;
}

DragPosition dragPosition(const ValueMapping& m, int x, int y)
{
    DragPosition at;
    if (x <= m.plot.left) {
        at.x = m.plot.left;
        at.edge = EDGE_LEFT;
    } else if (x >= m.plot.right) {
        at.x = m.plot.right;
        at.edge = EDGE_RIGHT;
    } else {
        at.x = m.snapPixel(x);
        at.edge = EDGE_NONE;
    }
    at.y = std::min(std::max(y, m.plot.top), m.plot.bottom);
    return at;
}

void dropPoint(SetShape& s, int index, const DragPosition& at, const PixelRect& plot)
{
    SupportPoint* p = s.point;
    const int L = plot.left, T = plot.top, R = plot.right, B = plot.bottom;
    int x = at.x;
    if (s.kind == FZ_SHAPE_SINGLETON) {
        place(p[0], x, p[0].y, p[0].edge);
        place(p[1], x, p[1].y, p[1].edge);
        return;
    }
    switch (index) {
    case 0:
        if (p[1].visible && x > p[1].x)
            x = p[1].x;
        if (at.edge == EDGE_NONE)
            place(p[0], x, B, EDGE_NONE);
        else
            place(p[0], x, at.y <= p[1].y ? p[1].y + 5 : at.y, EDGE_LEFT);
        break;
    case 1:
        if (at.edge == EDGE_LEFT) {
            place(p[1], L, T, EDGE_LEFT);
            p[0].visible = false;
        } else if (at.edge == EDGE_RIGHT) {
            place(p[1], R, p[0].visible && at.y >= p[0].y ? p[0].y - 1 : at.y, EDGE_RIGHT);
            p[2].visible = p[3].visible = false;
        } else {
            if (p[0].visible && x < p[0].x)
                x = p[0].x;
            if (p[2].visible && x > p[2].x)
                x = p[2].x;
            place(p[1], x, T, EDGE_NONE);
            if (!p[0].visible)
                place(p[0], L, B, EDGE_NONE);
            if (!p[2].visible)
                place(p[2], R, T, EDGE_RIGHT);
        }
        break;
    case 2:
        if (at.edge == EDGE_RIGHT) {
            place(p[2], R, T, EDGE_RIGHT);
            p[3].visible = false;
        } else if (at.edge == EDGE_LEFT) {
            place(p[2], L, p[3].visible && at.y >= p[3].y ? p[3].y - 1 : at.y, EDGE_LEFT);
            p[0].visible = p[1].visible = false;
        } else {
            if (p[1].visible && x < p[1].x)
                x = p[1].x;
            if (p[3].visible && x > p[3].x)
                x = p[3].x;
            place(p[2], x, T, EDGE_NONE);
            if (!p[1].visible)
                place(p[1], L, T, EDGE_LEFT);
            if (!p[3].visible)
                place(p[3], R, B, EDGE_NONE);
        }
        break;
    case 3:
        if (p[2].visible && x < p[2].x)
            x = p[2].x;
        if (at.edge == EDGE_NONE)
            place(p[3], x, B, EDGE_NONE);
        else
            place(p[3], x, at.y <= p[2].y ? p[2].y + 5 : at.y, EDGE_RIGHT);
        break;
    default:
        break;
    }
}

RubberBand rubberBand(const SetShape& shape, int index, const DragPosition& at, const PixelRect& plot)
{
    RubberBand band;
    SetShape preview = shape;
    dropPoint(preview, index, at, plot);
    if (preview.kind == FZ_SHAPE_SINGLETON) {
        band.handles[0] = preview.point[0].handle;
        band.handles[1] = preview.point[1].handle;
        band.handleCount = 2;
        band.line = {preview.point[0].x, preview.point[0].y, preview.point[1].x, preview.point[1].y};
        return band;
    }
    if (index < 0 || index > 3)
        return band;
    const SupportPoint& moved = preview.point[index];
    band.handles[0] = moved.handle;
    band.handleCount = 1;
    if (index > 0) {
        const SupportPoint& left = preview.point[index - 1];
        band.line.push_back(left.visible ? left.x : plot.left);
        band.line.push_back(left.visible ? left.y : (index - 1 == 0 ? plot.bottom : plot.top));
    }
    band.line.push_back(moved.x);
    band.line.push_back(moved.y);
    if (index < 3) {
        const SupportPoint& right = preview.point[index + 1];
        band.line.push_back(right.visible ? right.x : plot.right);
        band.line.push_back(right.visible ? right.y : (index + 1 == 3 ? plot.bottom : plot.top));
    }
    return band;
}

void writeBackValues(const ValueMapping& m, const SetShape& s, const double old[4], double out[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = old[i];
    if (s.kind == FZ_SHAPE_SINGLETON) {
        if (s.point[0].visible)
            out[0] = m.snapValue(m.valueOf(s.point[0].x));
        return;
    }
    const int neighbours[4][2] = {{1, 1}, {0, 2}, {3, 1}, {2, 2}};
    for (int i = 0; i < 4; ++i) {
        const SupportPoint& p = s.point[i];
        if (!p.visible)
            continue;
        double v = m.valueOf(p.x);
        if (p.edge != EDGE_NONE) {
            const SupportPoint* n = nullptr;
            for (int k : neighbours[i])
                if (!n && s.point[k].visible)
                    n = &s.point[k];
            const double target = (i == 0 || i == 3) ? 0.0 : 1.0;
            const double mu = m.membershipOf(p.y);
            if (n) {
                const double vn = m.valueOf(n->x), mun = m.membershipOf(n->y);
                if (mun != mu)
                    v = v + (target - mu) * (vn - v) / (mun - mu);
            }
        }
        out[i] = m.snapValue(v);
    }
    // Hidden points were not moved, but stay in order with the moved ones.
    if (!s.point[1].visible)
        out[1] = std::min(out[1], out[2]);
    if (!s.point[0].visible)
        out[0] = std::min(out[0], out[1]);
    if (!s.point[2].visible)
        out[2] = std::max(out[2], out[1]);
    if (!s.point[3].visible)
        out[3] = std::max(out[3], out[2]);
}

void writeBackShape(const ValueMapping& m, const SetShape& shape, FuzzyMember* member)
{
    if (!member || !member->set)
        return;
    FuzzyMemberSet* set = member->set;
    double values[4];
    writeBackValues(m, shape, set->value, values);
    const int count = shape.kind == FZ_SHAPE_SINGLETON ? 1 : 4;
    for (int i = 0; i < count; ++i) {
        set->value[i] = values[i];
        char* text = fuzzyCopyText(parameterText(values[i]).c_str());
        free(set->text[i]);
        set->text[i] = text;
    }
}

std::string readoutText(const ValueMapping& m, int x, const char* xminText, const char* xmaxText)
{
    const PixelRect& p = m.plot;
    if (!m.valid()) {
        // No value to show inside an undrawable range: the nearer bound.
        return x < (p.left + p.right) / 2 ? (xminText ? xminText : "") : (xmaxText ? xmaxText : "");
    }
    if (x <= p.left)
        return xminText ? xminText : "";
    if (x >= p.right)
        return xmaxText ? xmaxText : "";
    return tickText(m.snapToGrid(m.valueOf(x)));
}
