// One line of a circuit: from a port of one block (end A) to a port of
// another (end B), through the interpoints the user placed. Interpoints are
// grid cells; a cell is drawn at its centre.
#ifndef KYT_CIRCUITFILES_CONNECTIONOBJECT_H
#define KYT_CIRCUITFILES_CONNECTIONOBJECT_H

#include "GraphicObject.h"
#include "String.h"

#include <list>
#include <vector>

class BlockObject;

struct Interpoint {
    int x;
    int y;
    int mark;
};

// Style bit 0: the connection is hidden (not painted, still hit and written).
const int kConnectionHidden = 1;

class ConnectionObject : public GraphicObject {
public:
    ConnectionObject(BlockObject* blockA, const PortRef& portA, BlockObject* blockB, const PortRef& portB);
    ~ConnectionObject() override;

    int kind() const override { return 2; }
    void paint(PaneView& pane, int zoomX, int zoomY) override;
    void invalidate(PaneView& pane, int zoomX, int zoomY, int erase) override;
    int hitTest(const Point& point, int zoomX, int zoomY) const override;
    // The box of both port cells and every interpoint, in cells.
    Rect getRect() const override;

    // With insert 0 the hit test; with insert 1 a new interpoint in the cell
    // under the point, before the end of the hit segment. 0 when the point
    // is off the line or the cell is taken (a beep through beeper).
    int editPath(const Point& point, int zoomX, int zoomY, int insert, PaneView* beeper = nullptr);
    // The first interpoint whose centre lies less than 3 pixels off in x and y.
    Interpoint* findInterpointNear(int x, int y, int zoomX, int zoomY);
    void removeInterpoint(Interpoint* point);
    void moveInterpointTo(int x, int y, Interpoint* point, int zoomX, int zoomY);
    void moveMarkedInterpointsBy(int dx, int dy);
    void deleteMarkedInterpoints();
    int unmarkInterpoints();
    int countMarkedInterpoints() const;
    // Appends an interpoint at cell (x, y) (the reader's and undo's way).
    void appendInterpoint(int x, int y, int mark = 0);
    // The interpoint before and after point, null at the ends.
    Interpoint* previousOf(Interpoint* point);
    Interpoint* nextOf(Interpoint* point);

    // The XOR band of an interpoint dragged to pixel point: with selector
    // below 1 from its predecessor, with selector 0 or more to its successor.
    void rubberBand(Canvas& dc, const Point& dragged, Interpoint* point, int selector, int zoomX, int zoomY);

    int touches(const BlockObject* block) const;
    // The signal that drives input index of block when this connection
    // ends there; empty otherwise.
    String signalNameAt(const BlockObject* block, int index) const;
    int cellOccupied(const Point& cell) const;

    // The cell of a port, and the pixel point where a line meets it.
    static Point portCell(const BlockObject* block, const PortRef& port);
    static Point endPoint(const BlockObject* block, const PortRef& port, int zoomX, int zoomY);
    static Point portPixel(const BlockObject* block, const PortRef& port, int zoomX, int zoomY);
    static Point cellCentre(int x, int y, int zoomX, int zoomY);
    // The segment test: P within 2 pixels of the segment S-E, also beyond
    // its ends; segments shorter than one pixel are never hit.
    static bool segmentHit(const Point& s, const Point& e, const Point& p);

    PortRef portA() const { return PortRef{position.x(), position.y()}; }
    // The port ends ({kind, number}; end A's is kept in position).
    void setPortA(const PortRef& port) { position = Point(port.side, port.index); }
    void setPortB(const PortRef& port) { portB = port; }

    BlockObject* blockA;
    BlockObject* blockB;
    PortRef portB;
    std::list<Interpoint> interpoints;
    int style;
    int reserved;

private:
    // The polyline from end A's port point through the interpoints to end B's.
    void pathPoints(std::vector<Point>& points, int zoomX, int zoomY) const;
};

#endif
