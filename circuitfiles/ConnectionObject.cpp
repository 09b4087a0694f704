#include "ConnectionObject.h"

#include "Assert.h"
#include "BlockObject.h"
#include "Canvas.h"
#include "Workspace.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const Color kBlack(0, 0, 0);
const Color kRed(255, 0, 0);
const Color kGrey(128, 128, 128);

int divide(int value, int by)
{
    KYT_ASSERT_TEXT(by >= 1, "grid.width() >= 1");
    return value / by;
}

} // namespace

ConnectionObject::ConnectionObject(BlockObject* a, const PortRef& pa, BlockObject* b, const PortRef& pb)
    : GraphicObject(Point(pa.side, pa.index)), blockA(a), blockB(b), portB(pb), style(0), reserved(0)
{
    rect = getRect();
}

ConnectionObject::~ConnectionObject() {}

Point ConnectionObject::portCell(const BlockObject* block, const PortRef& port)
{
    Point row = block->portPosition(port.side, port.index);
    bool onLeft = (port.side == 1) != (block->mirrored != 0);
    int x = onLeft ? block->position.x() : block->position.x() + block->size.x() - 1;
    return Point(x, block->position.y() + row.y() - 1);
}

Point ConnectionObject::portPixel(const BlockObject* block, const PortRef& port, int zoomX, int zoomY)
{
    Point row = block->portPosition(port.side, port.index);
    return block->portPoint(port.side, row.y(), zoomX, zoomY);
}

Point ConnectionObject::endPoint(const BlockObject* block, const PortRef& port, int zoomX, int zoomY)
{
    Point p = portPixel(block, port, zoomX, zoomY);
    int shift = static_cast<int>(zoomX * 0.5);
    bool toLeft = (port.side == 1) != (block->mirrored != 0);
    return Point(toLeft ? p.x() - shift : p.x() + shift, p.y());
}

Point ConnectionObject::cellCentre(int x, int y, int zoomX, int zoomY)
{
    return Point(static_cast<int>((x + 0.5) * zoomX), static_cast<int>((y + 0.5) * zoomY));
}

bool ConnectionObject::segmentHit(const Point& s, const Point& e, const Point& p)
{
    double ex = e.x() - s.x(), ey = e.y() - s.y();
    double d = std::sqrt(ex * ex + ey * ey);
    if (d < 1.0)
        return false;
    double ux = ex / d, uy = ey / d;
    double vx = p.x() - s.x(), vy = p.y() - s.y();
    double along = ux * vx + uy * vy;
    double across = ux * vy - uy * vx;
    return along >= -2 && along <= d + 2 && across >= -2 && across <= 2;
}

void ConnectionObject::pathPoints(std::vector<Point>& points, int zoomX, int zoomY) const
{
    points.clear();
    points.push_back(portPixel(blockA, portA(), zoomX, zoomY));
    for (const Interpoint& ip : interpoints)
        points.push_back(cellCentre(ip.x, ip.y, zoomX, zoomY));
    points.push_back(portPixel(blockB, portB, zoomX, zoomY));
}

int ConnectionObject::hitTest(const Point& p, int zoomX, int zoomY) const
{
    std::vector<Point> points;
    pathPoints(points, zoomX, zoomY);
    for (size_t i = 0; i + 1 < points.size(); ++i)
        if (segmentHit(points[i], points[i + 1], p))
            return 1;
    return 0;
}

int ConnectionObject::editPath(const Point& p, int zoomX, int zoomY, int insert, PaneView* beeper)
{
    std::vector<Point> points;
    pathPoints(points, zoomX, zoomY);
    size_t hit = points.size();
    for (size_t i = 0; i + 1 < points.size(); ++i)
        if (segmentHit(points[i], points[i + 1], p)) {
            hit = i;
            break;
        }
    if (hit == points.size())
        return 0;
    if (!insert)
        return 1;
    Point cell(divide(p.x(), zoomX), divide(p.y(), zoomY));
    if (cellOccupied(cell)) {
        if (beeper)
            beeper->beep();
        return 0;
    }
    // Segment i ends at interpoint i (0-based), or at end B for the last.
    auto before = interpoints.begin();
    std::advance(before, std::min(hit, interpoints.size()));
    interpoints.insert(before, Interpoint{cell.x(), cell.y(), 0});
    return 1;
}

Interpoint* ConnectionObject::findInterpointNear(int x, int y, int zoomX, int zoomY)
{
    for (Interpoint& ip : interpoints) {
        Point c = cellCentre(ip.x, ip.y, zoomX, zoomY);
        if (std::abs(c.x() - x) < 3 && std::abs(c.y() - y) < 3)
            return &ip;
    }
    return nullptr;
}

void ConnectionObject::removeInterpoint(Interpoint* point)
{
    interpoints.remove_if([point](const Interpoint& ip) { return &ip == point; });
}

void ConnectionObject::moveInterpointTo(int x, int y, Interpoint* point, int zoomX, int zoomY)
{
    int cx = divide(x, zoomX);
    int cy = divide(y, zoomY);
    if (point) {
        point->x = cx;
        point->y = cy;
    }
}

void ConnectionObject::moveMarkedInterpointsBy(int dx, int dy)
{
    for (Interpoint& ip : interpoints)
        if (ip.mark) {
            ip.x += dx;
            ip.y += dy;
        }
}

void ConnectionObject::deleteMarkedInterpoints()
{
    interpoints.remove_if([](const Interpoint& ip) { return ip.mark != 0; });
}

int ConnectionObject::unmarkInterpoints()
{
    int any = 0;
    for (Interpoint& ip : interpoints) {
        any |= ip.mark != 0;
        ip.mark = 0;
    }
    return any;
}

int ConnectionObject::countMarkedInterpoints() const
{
    return static_cast<int>(std::count_if(interpoints.begin(), interpoints.end(),
                                          [](const Interpoint& ip) { return ip.mark != 0; }));
}

void ConnectionObject::appendInterpoint(int x, int y, int mark)
{
    interpoints.push_back(Interpoint{x, y, mark});
}

Interpoint* ConnectionObject::previousOf(Interpoint* point)
{
    Interpoint* previous = nullptr;
    for (Interpoint& ip : interpoints) {
        if (&ip == point)
            return previous;
        previous = &ip;
    }
    return nullptr;
}

Interpoint* ConnectionObject::nextOf(Interpoint* point)
{
    for (auto it = interpoints.begin(); it != interpoints.end(); ++it)
        if (&*it == point) {
            ++it;
            return it == interpoints.end() ? nullptr : &*it;
        }
    return nullptr;
}

void ConnectionObject::paint(PaneView& pane, int zoomX, int zoomY)
{
    if ((theWorkspace && theWorkspace->hideConnectionLines) || (style & kConnectionHidden))
        return;
    const bool printing = theWorkspace && theWorkspace->printing;
    Canvas& dc = pane.canvas();
    const Point o = pane.scrollOffset();
    dc.pushPen(PenSpec{PEN_SOLID, 1, kBlack});
    Point a = endPoint(blockA, portA(), zoomX, zoomY);
    dc.moveTo(a.x() - o.x(), a.y() - o.y());
    for (const Interpoint& ip : interpoints) {
        Point c = cellCentre(ip.x, ip.y, zoomX, zoomY).minus(o);
        dc.lineTo(c.x(), c.y());
        if (!printing && ip.mark) {
            dc.pushPen(PenSpec{PEN_SOLID, 1, kRed});
            dc.ellipse(c.x(), c.y(), 2);
            dc.popPen();
        }
    }
    Point b = endPoint(blockB, portB, zoomX, zoomY).minus(o);
    dc.lineTo(b.x(), b.y());
    dc.popPen();
}

Rect ConnectionObject::getRect() const
{
    Point a = portCell(blockA, portA());
    Point b = portCell(blockB, portB);
    int left = std::min(a.x(), b.x()), top = std::min(a.y(), b.y());
    int right = std::max(a.x(), b.x()), bottom = std::max(a.y(), b.y());
    for (const Interpoint& ip : interpoints) {
        left = std::min(left, ip.x);
        top = std::min(top, ip.y);
        right = std::max(right, ip.x);
        bottom = std::max(bottom, ip.y);
    }
    return Rect(left, top, right + 1, bottom + 1);
}

void ConnectionObject::invalidate(PaneView& pane, int zoomX, int zoomY, int erase)
{
    rect = getRect();
    Point o = pane.scrollOffset();
    // The line meets the blocks at the edge of their port cells; three
    // pixels more cover the pen and the marks' circles.
    pane.invalidateRect(Rect(rect.left() * zoomX - o.x() - 3, rect.top() * zoomY - o.y() - 3,
                             rect.right() * zoomX - o.x() + 3, rect.bottom() * zoomY - o.y() + 3),
                        erase);
}

void ConnectionObject::rubberBand(Canvas& dc, const Point& dragged, Interpoint* point, int selector, int zoomX,
                                  int zoomY)
{
    int oldRop = dc.setRop2(kRop2XorPen);
    dc.pushBrush(BrushSpec{BRUSH_HOLLOW, kBlack});
    dc.pushPen(PenSpec{PEN_SOLID, 1, kGrey});
    Interpoint* previous = previousOf(point);
    Interpoint* next = nextOf(point);
    Point cellA = portCell(blockA, portA());
    Point cellB = portCell(blockB, portB);
    if (selector < 1) {
        Point from = previous ? cellCentre(previous->x, previous->y, zoomX, zoomY)
                              : cellCentre(cellA.x(), cellA.y(), zoomX, zoomY);
        dc.moveTo(from.x(), from.y());
        dc.lineTo(dragged.x(), dragged.y());
        dc.ellipse(dragged.x(), dragged.y(), 2);
    }
    if (selector >= 0) {
        Point to = next ? cellCentre(next->x, next->y, zoomX, zoomY) : cellCentre(cellB.x(), cellB.y(), zoomX, zoomY);
        dc.moveTo(dragged.x(), dragged.y());
        dc.lineTo(to.x(), to.y());
        dc.ellipse(dragged.x(), dragged.y(), 2);
    }
    dc.popPen();
    dc.popBrush();
    dc.setRop2(oldRop);
}

int ConnectionObject::touches(const BlockObject* block) const
{
    return blockA == block || blockB == block ? 1 : 0;
}

String ConnectionObject::signalNameAt(const BlockObject* block, int index) const
{
    PortRef input{1, index};
    if (blockA == block && portA() == input)
        return blockB->signalName(portB.index);
    if (blockB == block && portB == input)
        return blockA->signalName(portA().index);
    return String();
}

int ConnectionObject::cellOccupied(const Point& cell) const
{
    if (portCell(blockA, portA()) == cell || portCell(blockB, portB) == cell)
        return 1;
    for (const Interpoint& ip : interpoints)
        if (ip.x == cell.x() && ip.y == cell.y())
            return 1;
    return 0;
}
