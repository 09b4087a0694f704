// Where a window sits and how it wants to be placed in its parent.
//
// Every window object holds a Geometry. A Layout is a geometry with child
// geometries that it places inside its own rectangle whenever its window is
// sized, the way a docking frame works: children take strips from the left,
// right, top or bottom of the remaining area, one child may take what
// remains, and free children keep their own position.
//
// The layouts know the window only as a pointer they hand back to the
// LayoutWindowPort, which the window layer installs (and tests record), so
// the placing rules run and are tested without any window.
#ifndef KYT_FRAMEWORK_LAYOUT_H
#define KYT_FRAMEWORK_LAYOUT_H

#include "Collections.h"
#include "UnitPoint.h"
#include "ValueTypes.h"

#include <cstdint>
#include <functional>

class WindowCL;
class Layout;

// What the layouts ask of a window: its client size, and to move it.
class LayoutWindowPort {
public:
    virtual ~LayoutWindowPort() {}
    // False when the window has no client area (no window on the screen).
    virtual bool clientSize(WindowCL* window, int32_t& width, int32_t& height) = 0;
    virtual void moveWindow(WindowCL* window, const Rect& rect, int repaint) = 0;
};

// The port in use; null installs one that knows no window and moves nothing.
void setLayoutWindowPort(LayoutWindowPort* port);
LayoutWindowPort& layoutWindowPort();

// A value of x, y, width or height that was not given (CW_USEDEFAULT).
const int32_t kNotGiven = static_cast<int32_t>(0x80000000u);

// The new client size of a window (WM_SIZE: low and high word of lParam) and
// the kind of sizing (its wParam; 1 = minimised).
struct SizeEvent {
    int32_t width;
    int32_t height;
    int32_t type;
};

// Placement kinds of a geometry in its parent layout.
enum PlacementKind {
    PLACE_LEFT = 0,
    PLACE_RIGHT = 1,
    PLACE_TOP = 2,
    PLACE_BOTTOM = 3,
    PLACE_CENTRED = 4,
    PLACE_REST = 5,
    PLACE_FREE = 6
};

struct SizeHints {
    int32_t x;
    int32_t y;
    int32_t minWidth;
    int32_t minHeight;
    int32_t prefWidth;
    int32_t prefHeight;
    int32_t maxWidth;
    int32_t maxHeight;
    int32_t reserved;
    int32_t kind;

    SizeHints() { clear(); }
    void clear();
    void setFixedSize(int32_t w, int32_t h);
};

class Geometry {
public:
    explicit Geometry(Layout* parent = nullptr);
    Geometry(const Point& origin, const Point& size, Layout* parent = nullptr);
    Geometry(int32_t x, int32_t y, int32_t width, int32_t height, Layout* parent = nullptr);
    Geometry(const Rect& rect, Layout* parent = nullptr);
    // Leaves the parent layout.
    virtual ~Geometry();

    // The owning window has a new client size.
    virtual void apply(WindowCL* window, const SizeEvent& event);
    // Places the children in rect (null: in the geometry's own rectangle).
    virtual void layout(const Rect* rect);
    virtual void getSizeHints(SizeHints& hints);
    // Takes rect as the new position and size; flag 0 when a parent layout
    // places this geometry, 1 when the geometry's own window was sized.
    virtual void applyRect(const Rect& rect, int flag);
    // The geometry as a layout, null for a plain geometry.
    virtual Layout* asLayout() { return nullptr; }
    // Makes window the one whose client area this geometry fills.
    virtual void bindWindow(WindowCL*) {}

    void setOrigin(const Point& origin);
    void setSize(const Point& size);
    // Leaves the parent layout.
    void detach();
    // Origin and size with values not given taken as 0.
    Rect rect() const;

    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    Layout* parentLayout;
    int32_t kind;

private:
    Geometry(const Geometry&) = delete;
    Geometry& operator=(const Geometry&) = delete;
};

typedef DListOf<Geometry> GeometryList;

// Measures and places the children of a layout.
class Arranger {
public:
    virtual ~Arranger() {}
    // Places count children in area; may shrink area to what they took.
    virtual void place(Rect& area, GeometryList& children, int count) = 0;
    // The size hints of the children together.
    virtual void measure(SizeHints& hints, GeometryList& children) = 0;
};

// Places children by their placement kinds.
class KindArranger : public Arranger {
public:
    void place(Rect& area, GeometryList& children, int count) override;
    void measure(SizeHints& hints, GeometryList& children) override;
    // The arranger of every layout that has none of its own.
    static KindArranger& shared();
};

// Places children one after another along a row (orientation 1) or a column.
class BoxArranger : public Arranger {
public:
    explicit BoxArranger(int orientation) : orientation(orientation) {}
    void place(Rect& area, GeometryList& children, int count) override;
    void measure(SizeHints& hints, GeometryList& children) override;

private:
    int orientation;
};

class RowArranger : public BoxArranger {
public:
    RowArranger() : BoxArranger(1) {}
};

class Layout : public Geometry {
public:
    explicit Layout(Layout* parent = nullptr);
    Layout(const Point& origin, const Point& size, Layout* parent = nullptr);
    Layout(int32_t x, int32_t y, int32_t width, int32_t height, Layout* parent = nullptr);
    // Clears the parent link of every child and leaves its own parent.
    ~Layout() override;

    void layout(const Rect* rect) override;
    void getSizeHints(SizeHints& hints) override;
    void applyRect(const Rect& rect, int flag) override;
    Layout* asLayout() override { return this; }
    void bindWindow(WindowCL* w) override;

    // Appends a child at the end and makes this layout its parent.
    void addChild(Geometry* child);
    void removeChild(Geometry* child);
    // Gives the layout an arranger of its own (owned); null returns to the
    // shared kind arranger.
    void setArranger(Arranger* own);
    Arranger& currentArranger() { return arranger ? *arranger : KindArranger::shared(); }

    Arranger* arranger;
    GeometryList* children;
    WindowCL* window;
    int32_t hasWindow;
    int32_t childCount;
};

// A strip docked at a side (0 left, 1 right, 2 top, 3 bottom) with a size:
// sides 0 and 1 set the width, sides 2 and 3 the height, other sides both.
class EdgeLayout : public Layout {
public:
    EdgeLayout(int side, const Point& size, Layout* parent = nullptr);
    EdgeLayout(int side, int32_t width, int32_t height, Layout* parent = nullptr);
    void getSizeHints(SizeHints& hints) override;

    int32_t side;
    Point sizePoint;
};

// Takes what remains of the parent; on a new size of the parent it first
// covers the whole client area, then the parent's layout fits it in. Its
// hints are the size it was last given, by the parent's size event or the
// parent's layout: its own window's size events report only the client
// area, which scroll bars or a border make smaller, and a later layout of
// the parent (a sibling shown, a pane replaced) would otherwise centre a
// shrunken fill in a band of the parent's background.
class FillLayout : public Layout {
public:
    FillLayout();
    void apply(WindowCL* window, const SizeEvent& event) override;
    void applyRect(const Rect& rect, int flag) override;
    void getSizeHints(SizeHints& hints) override;

    int32_t givenWidth;
    int32_t givenHeight;
};

// A strip whose size is a percentage of the parent layout's size (0: all of it).
class ProportionalLayout : public EdgeLayout {
public:
    ProportionalLayout(int side, Layout* parent = nullptr);
    ProportionalLayout(int side, float heightPercent, float widthPercent, Layout* parent = nullptr);
    void getSizeHints(SizeHints& hints) override;

    float heightPercent;
    float widthPercent;
};

// A strip measured from its own children; mode 1 fixes its height to its own
// height, mode 2 its width to its own width.
class FittedEdgeLayout : public EdgeLayout {
public:
    FittedEdgeLayout(int side, int mode, Layout* parent = nullptr);
    void getSizeHints(SizeHints& hints) override;

    int32_t mode;
};

// A strip docked at a side whose size a function measures each time the
// layout asks for the hints (a text item's extent): what it shows decides
// its room.
class MeasuredEdgeLayout : public EdgeLayout {
public:
    typedef std::function<Point()> Measure;
    MeasuredEdgeLayout(int side, Measure measure, Layout* parent = nullptr);
    void getSizeHints(SizeHints& hints) override;

    Measure measure;
};

// Items of the box arrangers: hints from their own position, size and kind,
// and applyRect stores the rectangle.
class LayoutItem : public Geometry {
public:
    LayoutItem(int32_t x, int32_t y, int32_t width, int32_t height, int kind = PLACE_FREE,
               Layout* parent = nullptr);
    void getSizeHints(SizeHints& hints) override;
    void applyRect(const Rect& rect, int flag) override;
};

// An item with a stored hints record, given back as it is.
class HintsLayoutItem : public LayoutItem {
public:
    HintsLayoutItem(const SizeHints& hints, Layout* parent = nullptr);
    void getSizeHints(SizeHints& hints) override;

    SizeHints stored;
};

// An item with a kind and a fixed size.
class KindLayoutItem : public LayoutItem {
public:
    KindLayoutItem(int kind, const Point& size, Layout* parent = nullptr);
    void getSizeHints(SizeHints& hints) override;

    Point sizePoint;
};

// Top-left corner that centres a window rectangle over the parent's rectangle
// (or the screen without one), kept on the screen and never negative.
Point centerPosition(const Rect& window, const Rect* parent, const ScreenMetrics& screen);

#endif
