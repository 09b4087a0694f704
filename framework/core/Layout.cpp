#include "Layout.h"

#include <utility>

#include <algorithm>
#include <vector>

namespace {

class NoWindowPort : public LayoutWindowPort {
public:
    bool clientSize(WindowCL*, int32_t&, int32_t&) override { return false; }
    void moveWindow(WindowCL*, const Rect&, int) override {}
};

NoWindowPort noWindowPort;
LayoutWindowPort* currentPort = &noWindowPort;

int32_t given(int32_t v)
{
    return v == kNotGiven ? 0 : v;
}

// A preferred extent counts only when it is positive and smaller than what
// remains; otherwise the child takes all that remains.
int32_t fitted(int32_t preferred, int32_t available)
{
    return (preferred > 0 && preferred < available) ? preferred : available;
}

// Every child's hints, in child order; the children themselves into kids
// when asked for.
std::vector<SizeHints> hintsOfChildren(GeometryList& children, std::vector<Geometry*>* kids = nullptr)
{
    std::vector<SizeHints> hints;
    DListIteratorOf<Geometry> walk(children);
    while (Geometry* child = walk.next()) {
        SizeHints h;
        child->getSizeHints(h);
        if (kids)
            kids->push_back(child);
        hints.push_back(h);
    }
    return hints;
}

// Measuring children together: along the side where they stack the extents
// add up, across it the largest counts.
void takeLargestWidths(SizeHints& sum, const SizeHints& c)
{
    sum.minWidth = std::max(sum.minWidth, given(c.minWidth));
    sum.prefWidth = std::max(sum.prefWidth, given(c.prefWidth));
    sum.maxWidth = std::max(sum.maxWidth, given(c.maxWidth));
}

void takeLargestHeights(SizeHints& sum, const SizeHints& c)
{
    sum.minHeight = std::max(sum.minHeight, given(c.minHeight));
    sum.prefHeight = std::max(sum.prefHeight, given(c.prefHeight));
    sum.maxHeight = std::max(sum.maxHeight, given(c.maxHeight));
}

void stackBeside(SizeHints& sum, const SizeHints& c)
{
    sum.minWidth += given(c.minWidth);
    sum.prefWidth += given(c.prefWidth);
    sum.maxWidth += given(c.maxWidth);
    takeLargestHeights(sum, c);
}

void stackAbove(SizeHints& sum, const SizeHints& c)
{
    sum.minHeight += given(c.minHeight);
    sum.prefHeight += given(c.prefHeight);
    sum.maxHeight += given(c.maxHeight);
    takeLargestWidths(sum, c);
}

// The hints of a geometry that keeps one size, at its own place.
void fixedSizeHints(SizeHints& hints, const Geometry& g, int32_t w, int32_t h)
{
    hints.clear();
    hints.setFixedSize(w, h);
    hints.x = g.x;
    hints.y = g.y;
    hints.kind = g.kind;
}

} // namespace

void setLayoutWindowPort(LayoutWindowPort* port)
{
    currentPort = port ? port : &noWindowPort;
}

LayoutWindowPort& layoutWindowPort()
{
    return *currentPort;
}

void SizeHints::clear()
{
    x = y = 0;
    minWidth = minHeight = prefWidth = prefHeight = maxWidth = maxHeight = 0;
    reserved = 0;
    kind = PLACE_FREE;
}

void SizeHints::setFixedSize(int32_t w, int32_t h)
{
    minWidth = prefWidth = maxWidth = w;
    minHeight = prefHeight = maxHeight = h;
}

// ---------------------------------------------------------------- Geometry

Geometry::Geometry(Layout* parent)
    : x(kNotGiven), y(kNotGiven), width(kNotGiven), height(kNotGiven), parentLayout(nullptr),
      kind(PLACE_FREE)
{
    if (parent)
        parent->addChild(this);
}

Geometry::Geometry(const Point& origin, const Point& size, Layout* parent)
    : x(origin.x()), y(origin.y()), width(size.x()), height(size.y()), parentLayout(nullptr),
      kind(PLACE_FREE)
{
    if (parent)
        parent->addChild(this);
}

Geometry::Geometry(int32_t gx, int32_t gy, int32_t w, int32_t h, Layout* parent)
    : x(gx), y(gy), width(w), height(h), parentLayout(nullptr), kind(PLACE_FREE)
{
    if (parent)
        parent->addChild(this);
}

Geometry::Geometry(const Rect& r, Layout* parent)
    : x(r.left()), y(r.top()), width(r.width()), height(r.height()), parentLayout(nullptr),
      kind(PLACE_FREE)
{
    if (parent)
        parent->addChild(this);
}

Geometry::~Geometry()
{
    detach();
}

void Geometry::apply(WindowCL*, const SizeEvent&)
{
}

void Geometry::layout(const Rect*)
{
}

void Geometry::getSizeHints(SizeHints&)
{
}

void Geometry::applyRect(const Rect&, int)
{
}

void Geometry::setOrigin(const Point& origin)
{
    x = origin.x();
    y = origin.y();
}

void Geometry::setSize(const Point& size)
{
    width = size.x();
    height = size.y();
}

void Geometry::detach()
{
    if (parentLayout)
        parentLayout->removeChild(this);
}

Rect Geometry::rect() const
{
    int32_t gx = given(x), gy = given(y);
    return Rect(gx, gy, gx + given(width), gy + given(height));
}

// ---------------------------------------------------------------- KindArranger

KindArranger& KindArranger::shared()
{
    static KindArranger arranger;
    return arranger;
}

void KindArranger::place(Rect& area, GeometryList& children, int count)
{
    // 1. Every child's hints, in child order.
    std::vector<Geometry*> kids;
    kids.reserve(count > 0 ? count : 0);
    const std::vector<SizeHints> hints = hintsOfChildren(children, &kids);
    // 2. A rectangle for each child by its kind, taken from the remaining area.
    int32_t left = area.left(), top = area.top(), right = area.right(), bottom = area.bottom();
    int32_t summedWidth = 0, summedHeight = 0;
    bool filled = false;
    std::vector<Rect> rects;
    rects.reserve(kids.size());
    for (const SizeHints& h : hints) {
        int32_t pw = given(h.prefWidth), ph = given(h.prefHeight);
        Rect r;
        switch (h.kind) {
        case PLACE_LEFT: {
            int32_t hh = ph ? ph : bottom - top;
            r = Rect(left, top, left + pw, top + hh);
            left += pw;
            summedWidth += pw;
            break;
        }
        case PLACE_RIGHT: {
            int32_t hh = ph ? ph : bottom - top;
            r = Rect(right - pw, top, right, top + hh);
            right -= pw;
            summedWidth += pw;
            break;
        }
        case PLACE_TOP: {
            int32_t ww = pw ? pw : right - left;
            r = Rect(left, top, left + ww, top + ph);
            top += ph;
            summedHeight += ph;
            break;
        }
        case PLACE_BOTTOM: {
            int32_t ww = pw ? pw : right - left;
            r = Rect(left, bottom - ph, left + ww, bottom);
            bottom -= ph;
            summedHeight += ph;
            break;
        }
        case PLACE_CENTRED:
        case PLACE_REST: {
            int32_t availW = right - left, availH = bottom - top;
            int32_t ww = fitted(h.prefWidth, availW), hh = fitted(h.prefHeight, availH);
            int32_t dx = 0, dy = 0;
            if (h.kind == PLACE_CENTRED) {
                dx = (availW - ww) / 2;
                dy = (availH - hh) / 2;
            }
            r = Rect(left + dx, top + dy, left + dx + ww, top + dy + hh);
            filled = true;
            break;
        }
        default: {
            int32_t fx = h.x == kNotGiven ? left : h.x;
            int32_t fy = h.y == kNotGiven ? top : h.y;
            int32_t ww = h.prefWidth == kNotGiven ? right - fx : h.prefWidth;
            int32_t hh = h.prefHeight == kNotGiven ? bottom - fy : h.prefHeight;
            r = Rect(fx, fy, fx + ww, fy + hh);
            break;
        }
        }
        rects.push_back(r);
    }
    // 3. Each child takes its rectangle, in child order.
    for (size_t i = 0; i < kids.size(); ++i)
        kids[i]->applyRect(rects[i], 0);
    // 4. Without a child that filled the area, report what the strips took.
    if (!filled)
        area = Rect(area.left(), area.top(), area.left() + summedWidth, area.top() + summedHeight);
}

void KindArranger::measure(SizeHints& hints, GeometryList& children)
{
    // Docked children are measured from the last to the first, the way the
    // placing peels them off from the first: a strip adds its extent along
    // the side it docks to and takes the larger extent across. Adding up top
    // strips only would measure a frame with a bottom status bar or a side
    // panel too small.
    const std::vector<SizeHints> kids = hintsOfChildren(children);
    SizeHints sum;
    int32_t freeWidth = 0, freeHeight = 0;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        const SizeHints& c = *it;
        switch (c.kind) {
        case PLACE_TOP:
        case PLACE_BOTTOM:
            stackAbove(sum, c);
            break;
        case PLACE_LEFT:
        case PLACE_RIGHT:
            stackBeside(sum, c);
            break;
        case PLACE_CENTRED:
        case PLACE_REST:
            takeLargestWidths(sum, c);
            takeLargestHeights(sum, c);
            break;
        default:
            freeWidth = std::max(freeWidth, given(c.x) + given(c.prefWidth));
            freeHeight = std::max(freeHeight, given(c.y) + given(c.prefHeight));
            break;
        }
    }
    hints.minWidth = sum.minWidth;
    hints.minHeight = sum.minHeight;
    hints.prefWidth = std::max(sum.prefWidth, freeWidth);
    hints.maxWidth = std::max(sum.maxWidth, freeWidth);
    hints.prefHeight = std::max(sum.prefHeight, freeHeight);
    hints.maxHeight = std::max(sum.maxHeight, freeHeight);
}

// ---------------------------------------------------------------- BoxArranger

void BoxArranger::place(Rect& area, GeometryList& children, int)
{
    const bool row = orientation == 1;
    std::vector<Geometry*> kids;
    const std::vector<SizeHints> hints = hintsOfChildren(children, &kids);
    int64_t sumMin = 0, sumPref = 0;
    for (const SizeHints& h : hints) {
        sumMin += given(row ? h.minWidth : h.minHeight);
        sumPref += given(row ? h.prefWidth : h.prefHeight);
    }
    const int32_t along = row ? area.width() : area.height();
    const int32_t across = row ? area.height() : area.width();
    int32_t pos = row ? area.left() : area.top();
    for (size_t i = 0; i < kids.size(); ++i) {
        const SizeHints& h = hints[i];
        int32_t minAlong = given(row ? h.minWidth : h.minHeight);
        int32_t prefAlong = given(row ? h.prefWidth : h.prefHeight);
        int32_t extent;
        if (along >= sumPref) {
            extent = prefAlong;
        } else if (along > sumMin && sumPref > sumMin) {
            // The space above the summed minimum goes out in proportion to
            // what each child wanted beyond its minimum.
            double share = double(along - sumMin) * double(prefAlong - minAlong) / double(sumPref - sumMin);
            extent = minAlong + static_cast<int32_t>(share);
        } else {
            // Below the summed minimum every child keeps its minimum and the
            // row runs past the area.
            extent = minAlong;
        }
        int32_t prefAcross = given(row ? h.prefHeight : h.prefWidth);
        int32_t size = prefAcross > 0 ? prefAcross : across;
        Rect r = row ? Rect(pos, area.top(), pos + extent, area.top() + size)
                     : Rect(area.left(), pos, area.left() + size, pos + extent);
        kids[i]->applyRect(r, 0);
        pos += extent;
    }
}

void BoxArranger::measure(SizeHints& hints, GeometryList& children)
{
    const bool row = orientation == 1;
    DListIteratorOf<Geometry> walk(children);
    while (Geometry* child = walk.next()) {
        SizeHints c;
        child->getSizeHints(c);
        if (row)
            stackBeside(hints, c);
        else
            stackAbove(hints, c);
    }
}

// ---------------------------------------------------------------- Layout

Layout::Layout(Layout* parent)
    : Geometry(parent), arranger(nullptr), children(nullptr), window(nullptr), hasWindow(0), childCount(0)
{
}

Layout::Layout(const Point& origin, const Point& size, Layout* parent)
    : Geometry(origin, size, parent), arranger(nullptr), children(nullptr), window(nullptr), hasWindow(0),
      childCount(0)
{
}

Layout::Layout(int32_t lx, int32_t ly, int32_t w, int32_t h, Layout* parent)
    : Geometry(lx, ly, w, h, parent), arranger(nullptr), children(nullptr), window(nullptr), hasWindow(0),
      childCount(0)
{
}

Layout::~Layout()
{
    if (children) {
        DListIteratorOf<Geometry> walk(*children);
        while (Geometry* child = walk.next())
            child->parentLayout = nullptr;
    }
    delete children;
    children = nullptr;
    childCount = 0;
    delete arranger;
}

void Layout::bindWindow(WindowCL* w)
{
    window = w;
    hasWindow = w != nullptr;
}

void Layout::addChild(Geometry* child)
{
    if (!child || child->parentLayout == this)
        return;
    if (child->parentLayout)
        child->parentLayout->removeChild(child);
    if (!children)
        children = new GeometryList;
    children->append(child);
    child->parentLayout = this;
    ++childCount;
}

void Layout::removeChild(Geometry* child)
{
    if (!child || child->parentLayout != this || !children)
        return;
    if (children->remove(child))
        --childCount;
    child->parentLayout = nullptr;
}

void Layout::setArranger(Arranger* own)
{
    if (own == arranger)
        return;
    delete arranger;
    arranger = own;
}

void Layout::layout(const Rect* r)
{
    Rect target;
    if (r) {
        target = *r;
    } else {
        int32_t w, h;
        if (hasWindow && layoutWindowPort().clientSize(window, w, h)) {
            width = w;
            height = h;
        }
        target = rect();
    }
    applyRect(target, 1);
}

void Layout::applyRect(const Rect& r, int flag)
{
    x = r.left();
    y = r.top();
    width = r.width();
    height = r.height();
    Rect area = hasWindow ? Rect(0, 0, width, height) : r;
    if (childCount > 0 && children)
        currentArranger().place(area, *children, childCount);
    if (hasWindow && flag == 0 && kind != PLACE_FREE)
        layoutWindowPort().moveWindow(window, r, 1);
}

void Layout::getSizeHints(SizeHints& hints)
{
    hints.clear();
    if (childCount > 0 && children) {
        currentArranger().measure(hints, *children);
        if (kind == PLACE_FREE)
            hints.setFixedSize(width, height);
    } else {
        hints.setFixedSize(width, height);
    }
    hints.x = x;
    hints.y = y;
    hints.kind = kind;
}

// ---------------------------------------------------------------- EdgeLayout and friends

EdgeLayout::EdgeLayout(int s, const Point& size, Layout* parent) : Layout(parent), side(s), sizePoint(size)
{
    kind = s;
}

EdgeLayout::EdgeLayout(int s, int32_t w, int32_t h, Layout* parent) : Layout(parent), side(s)
{
    kind = s;
    if (s == PLACE_LEFT || s == PLACE_RIGHT)
        sizePoint = Point(w, 0);
    else if (s == PLACE_TOP || s == PLACE_BOTTOM)
        sizePoint = Point(0, h);
    else
        sizePoint = Point(w, h);
}

void EdgeLayout::getSizeHints(SizeHints& hints)
{
    fixedSizeHints(hints, *this, sizePoint.x(), sizePoint.y());
}

MeasuredEdgeLayout::MeasuredEdgeLayout(int s, Measure m, Layout* parent)
    : EdgeLayout(s, Point(0, 0), parent), measure(std::move(m))
{
}

void MeasuredEdgeLayout::getSizeHints(SizeHints& hints)
{
    if (measure)
        sizePoint = measure();
    EdgeLayout::getSizeHints(hints);
}

FillLayout::FillLayout() : Layout(nullptr), givenWidth(kNotGiven), givenHeight(kNotGiven)
{
    kind = PLACE_CENTRED;
}

void FillLayout::apply(WindowCL* w, const SizeEvent& event)
{
    x = 0;
    y = 0;
    width = event.width;
    height = event.height;
    givenWidth = event.width;
    givenHeight = event.height;
    WindowCL* target = window ? window : w;
    if (target)
        layoutWindowPort().moveWindow(target, Rect(0, 0, event.width, event.height), 1);
}

void FillLayout::applyRect(const Rect& rect, int flag)
{
    // Placed by the parent (flag 0): that is the size it fills. Its own
    // window's size (flag 1) is only the client area.
    if (flag == 0) {
        givenWidth = rect.width();
        givenHeight = rect.height();
    }
    Layout::applyRect(rect, flag);
}

void FillLayout::getSizeHints(SizeHints& hints)
{
    const bool given = givenWidth != kNotGiven && givenHeight != kNotGiven;
    fixedSizeHints(hints, *this, given ? givenWidth : width, given ? givenHeight : height);
}

ProportionalLayout::ProportionalLayout(int s, Layout* parent)
    : EdgeLayout(s, Point(0, 0), parent), heightPercent(0), widthPercent(0)
{
}

ProportionalLayout::ProportionalLayout(int s, float hp, float wp, Layout* parent)
    : EdgeLayout(s, Point(0, 0), parent), heightPercent(hp), widthPercent(wp)
{
}

void ProportionalLayout::getSizeHints(SizeHints& hints)
{
    int32_t parentWidth = parentLayout ? given(parentLayout->width) : 0;
    int32_t parentHeight = parentLayout ? given(parentLayout->height) : 0;
    int32_t h = heightPercent == 0.0f ? parentHeight
                                      : static_cast<int32_t>(float(parentHeight) * heightPercent * 0.01f);
    int32_t w = widthPercent == 0.0f ? parentWidth
                                     : static_cast<int32_t>(float(parentWidth) * widthPercent * 0.01f);
    sizePoint = Point(w, h);
    EdgeLayout::getSizeHints(hints);
}

FittedEdgeLayout::FittedEdgeLayout(int s, int m, Layout* parent) : EdgeLayout(s, Point(0, 0), parent), mode(m)
{
}

void FittedEdgeLayout::getSizeHints(SizeHints& hints)
{
    hints.clear();
    if (childCount > 0 && children)
        currentArranger().measure(hints, *children);
    hints.x = x;
    hints.y = y;
    hints.kind = kind;
    if (mode == 1)
        hints.minHeight = hints.prefHeight = hints.maxHeight = height;
    else if (mode == 2)
        hints.minWidth = hints.prefWidth = hints.maxWidth = width;
}

LayoutItem::LayoutItem(int32_t ix, int32_t iy, int32_t w, int32_t h, int k, Layout* parent)
    : Geometry(ix, iy, w, h, parent)
{
    kind = k;
}

void LayoutItem::getSizeHints(SizeHints& hints)
{
    fixedSizeHints(hints, *this, width, height);
}

void LayoutItem::applyRect(const Rect& r, int)
{
    x = r.left();
    y = r.top();
    width = r.width();
    height = r.height();
}

HintsLayoutItem::HintsLayoutItem(const SizeHints& hints, Layout* parent)
    : LayoutItem(hints.x, hints.y, hints.prefWidth, hints.prefHeight, hints.kind, parent), stored(hints)
{
}

void HintsLayoutItem::getSizeHints(SizeHints& hints)
{
    hints = stored;
}

KindLayoutItem::KindLayoutItem(int k, const Point& size, Layout* parent)
    : LayoutItem(kNotGiven, kNotGiven, size.x(), size.y(), k, parent), sizePoint(size)
{
}

void KindLayoutItem::getSizeHints(SizeHints& hints)
{
    hints.clear();
    hints.setFixedSize(sizePoint.x(), sizePoint.y());
    hints.kind = kind;
}

// ---------------------------------------------------------------- centring

Point centerPosition(const Rect& window, const Rect* parent, const ScreenMetrics& screen)
{
    int32_t w = window.width(), h = window.height();
    int32_t px, py;
    if (!parent) {
        px = (screen.horzRes - w) / 2;
        py = (screen.vertRes - h) / 2;
    } else {
        px = parent->left() + (parent->width() - w) / 2;
        py = parent->top() + (parent->height() - h) / 2;
        if (px + w > screen.horzRes)
            px = screen.horzRes - w;
        if (py + h > screen.vertRes)
            py = screen.vertRes - h;
    }
    if (px < 0)
        px = 0;
    if (py < 0)
        py = 0;
    return Point(px, py);
}
