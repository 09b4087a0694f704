#include "GraphicObject.h"

#include "Canvas.h"
#include "ErrorReporter.h"

GraphicObject::GraphicObject(const Point& p)
    : markWord(0), highlightWord(0), position(p), rect(p, p), rightOverhang(0), leftOverhang(0),
      startPosition(p)
{
}

GraphicObject::~GraphicObject() {}

void GraphicObject::paint(PaneView&, int, int) {}

void GraphicObject::invalidate(PaneView& pane, int zoomX, int zoomY, int erase)
{
    Rect r = getRect();
    Point o = pane.scrollOffset();
    pane.invalidateRect(Rect(r.left() * zoomX - o.x(), r.top() * zoomY - o.y(),
                             r.right() * zoomX - o.x(), r.bottom() * zoomY - o.y()),
                        erase);
}

int GraphicObject::hitTest(const Point&, int, int) const
{
    return 0;
}

void GraphicObject::paintTo(Canvas&, const Point&, const Point&, int, int) {}

void GraphicObject::setConnectStart(int, int) {}

int GraphicObject::clearConnectStart()
{
    return 0;
}

Point GraphicObject::portPosition(int, int) const
{
    return Point(0, 0);
}

Rect GraphicObject::scaleRect(int zoomX, int zoomY) const
{
    return Rect(rect.left() * zoomX, rect.top() * zoomY, rect.right() * zoomX, rect.bottom() * zoomY);
}

Point GraphicObject::scalePosition(int zoomX, int zoomY) const
{
    return Point(position.x() * zoomX, position.y() * zoomY);
}

void GraphicObject::moveTo(const Point& p)
{
    int dx = p.x() - position.x();
    int dy = p.y() - position.y();
    position = p;
    rect.topLeft().offset(dx, dy);
    rect.bottomRight().offset(dx, dy);
}

void GraphicObject::drawFrame(Canvas& dc, const Rect& r, int flag)
{
    dc.rectangle(r.left(), r.top(), r.right(), r.bottom());
    if (flag) {
        dc.moveTo(r.right(), r.top());
        dc.lineTo(r.right(), r.bottom());
        dc.lineTo(r.left(), r.bottom());
    }
}

void PaneView::beep()
{
    getErrorSink()->beep();
}

void PaneView::paintNow(GraphicObject& object, int zoomX, int zoomY)
{
    object.paint(*this, zoomX, zoomY);
}
