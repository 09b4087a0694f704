// The geometry of the membership-function graphic, without windows: the
// layout of a drawing area, the mapping between values and pixels, snapping
// to the grid, the shapes of the fuzzy sets with their support points cut
// at the plot's edges, the ticks of the value axis, the hit tests, where a
// dragged point is dropped and the values written back into the model.
// The page draws what these give and feeds them the mouse.
#ifndef KYT_KYTFUZZY_MEMBERSHIPGEOMETRY_H
#define KYT_KYTFUZZY_MEMBERSHIPGEOMETRY_H

#include "FuzzyBlock.h"

#include <string>
#include <vector>

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// Frame and plot rectangles of a drawing area, and the drawing units.
struct MembershipLayout {
    PixelRect frame;
    PixelRect plot;
    double horizontalUnit = 0; // width / 800
    double verticalUnit = 0;   // height / 300
    int width = 0;
    int height = 0;
};

// Printing keeps a band of the page: 0.2 of it cut at the top, 0.4 at the bottom.
MembershipLayout layoutMembership(const PixelRect& area, bool printing);

// The frame is too small to draw below 501 x 101 pixels.
bool frameTooSmall(const MembershipLayout& layout);

// Values and pixels over the plot rectangle, for the range of a variable.
class ValueMapping {
public:
    ValueMapping() {}
    // grid: the step snapped to (not positive: nothing is snapped).
    ValueMapping(const PixelRect& plot, double xmin, double xmax, double grid);
    // For the variable's XMIN and XMAX texts and a GRID text.
    ValueMapping(const PixelRect& plot, const FuzzyVariable* variable, const char* gridText);

    // Finite bounds with xmin < xmax; without them nothing maps.
    bool valid() const { return rangeValid; }
    int pixelOf(double v) const;
    double valueOf(int x) const;
    // 1 at the plot's top, 0 at its bottom.
    double membershipOf(int y) const;
    int heightOf(double mu) const;
    // A pixel on the plot's left or right edge is kept; else the pixel of
    // the grid point nearest its value (an exact half rounds down).
    int snapPixel(int x) const;
    // The same for a value; xmin and xmax are kept.
    double snapValue(double v) const;
    double snapToGrid(double v) const;

    PixelRect plot;
    double xmin = 0;
    double xmax = 0;
    double grid = 0;

private:
    bool rangeValid = false;
};

// Edge codes of a support point.
enum EdgeCode { EDGE_NONE = 0, EDGE_LEFT = 1, EDGE_RIGHT = 2 };

struct SupportPoint {
    int x = 0;
    int y = 0;
    PixelRect handle;
    bool visible = false;
    int edge = EDGE_NONE;
    bool dragged = false;
    void setHandle();
};

struct ShapeColour {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
    bool operator==(const ShapeColour& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

// Drawing colour of a set's colour index: the eight colours, black for none
// (8), and (0, 255, 255) for any other value.
ShapeColour shapeColour(int colourIndex);

struct SetShape {
    SupportPoint point[4];
    int penWidth = 2;
    ShapeColour colour = {0, 0, 0};
    bool selected = false;
    bool moved = false;
    int nameWidth = 0;
    int nameHeight = 0;
    int labelX = 500;
    int labelY = 100;
    std::string name;
    int kind = FZ_SHAPE_TRAPEZ;

    bool anyVisible() const;
};

// The shape of a member set; the name's extent comes from the page's font.
// Without a valid mapping nothing is visible.
SetShape buildSetShape(const ValueMapping& mapping, const FuzzyMember* member, int nameWidth, int nameHeight);

// ---------------------------------------------------------------- ticks

// Step of the value axis for a plot width: a pixel count of 40 per tick on
// screen, 250 when printing, rounded to 1, 0.75, 0.5, 0.25, 0.2 or 0.15
// times a power of ten. 0 when the span is no positive finite number.
double tickStep(double span, int plotWidth, bool printing);

struct AxisTick {
    double value;
    int x;
};

struct AxisTicks {
    double step = 0;
    std::vector<AxisTick> major;
    // Four between each two major ticks.
    std::vector<int> minor;
};

AxisTicks axisTicks(const ValueMapping& mapping, bool printing);

// Number texts of the graphic: tick labels and the read-out with 5
// significant digits, written-back values with 10.
std::string tickText(double v);
std::string parameterText(double v);

// ---------------------------------------------------------------- mouse

// Which of the shape's visible points has its handle at (x, y); -1 none.
int hitHandle(const SetShape& shape, int x, int y);
bool hitShape(const SetShape& shape, int x, int y);
// The point a drag pressed at (x, y) takes once the pointer has moved to
// movedX: where several handles lie under the press (the apex of a
// triangle, b = c), the one that can go that way, the rightmost for a move
// to the right, the leftmost for one to the left; without a horizontal move
// the first. -1 when no handle is under the press.
int dragPointFor(const SetShape& shape, int x, int y, int movedX);

// Where the pointer lets a dragged point go: x clamped to the plot's edges
// (the edge code says which) or snapped to the grid, y clamped to the plot.
struct DragPosition {
    int x;
    int y;
    int edge;
};
DragPosition dragPosition(const ValueMapping& mapping, int x, int y);

// Moves the dragged point of the shape to the position, with the rules of
// the drop (neighbours limit x; an edge drop keeps the pointer's height and
// hides the points beyond).
void dropPoint(SetShape& shape, int index, const DragPosition& at, const PixelRect& plot);

// The rubber band of a drag: the handle at the drop place and the lines to
// the neighbours the shape draws.
struct RubberBand {
    PixelRect handles[2];
    int handleCount = 0;
    std::vector<int> line; // x, y pairs of one polyline
};
RubberBand rubberBand(const SetShape& shape, int index, const DragPosition& at, const PixelRect& plot);

// The parameter values of a moved shape from its points: a point on an edge
// gives the value where the line through it and its visible neighbour
// reaches membership 0 (points 0 and 3) or 1 (points 1 and 2); hidden points
// keep their old values, held in order with their neighbours. Each value is
// snapped to the grid.
void writeBackValues(const ValueMapping& mapping, const SetShape& shape, const double old[4], double out[4]);

// Writes the values of a moved shape into its member set (numbers and texts
// of 10 significant digits; a singleton only its first).
void writeBackShape(const ValueMapping& mapping, const SetShape& shape, FuzzyMember* member);

// The read-out of the pointer's x: the snapped value inside the plot, the
// XMIN or XMAX text at or beyond its edges.
std::string readoutText(const ValueMapping& mapping, int x, const char* xminText, const char* xmaxText);

#endif
