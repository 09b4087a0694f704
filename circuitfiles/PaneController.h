// The editing pane's mouse and keys as one state machine over the circuit
// model: hovering shows cursors and hints, a left press selects, drags,
// resizes, bands, connects or deletes by the tool, a right press marks an
// output or opens a menu, the release drops what was dragged. Its input
// arrives decoded by the pane; what it shows goes through the PaneView.
#ifndef KYT_CIRCUITFILES_PANECONTROLLER_H
#define KYT_CIRCUITFILES_PANECONTROLLER_H

#include "CircuitModel.h"
#include "strings/CircuitStrings.h"

#include <map>

// Mouse events and buttons as the pane decodes them.
const int kMouseMove = 0;
const int kMousePress = 1;
const int kMouseRelease = 2;
const int kLeftButton = 1;
const int kRightButton = 2;

// Cursors of the editor.
const int kCursorPort = 120;
const int kCursorNormal = 122;
const int kCursorBlock = 123;
const int kCursorLine = 124;
const int kCursorResize = 125;
const int kCursorInterpoint = 1125;

// Hints for status field 2.
const unsigned int kHintBlock = kStrHintBlock;
const unsigned int kHintInterpoint = kStrHintInterpoint;
const unsigned int kHintLine = kStrHintLine;
const unsigned int kHintPort = kStrHintPort;
const unsigned int kHintResize = kStrHintResize;
const unsigned int kHintDeletePort = kStrHintDeletePort;
const unsigned int kHintChangePort = kStrHintChangePort;
const unsigned int kHintDeleteInterpoint = kStrHintDeleteInterpoint;
const unsigned int kHintDeleteLine = kStrHintDeleteLine;
const unsigned int kHintDeleteBlock = kStrHintDeleteBlock;
const unsigned int kHintChangeBlock = kStrHintChangeBlock;
const unsigned int kResDeleteBlock = kStrDeleteBlock;

// Virtual keys the pane reacts to.
const int kKeyInsert = 45;
const int kKeyDelete = 46;

class PaneController {
public:
    PaneController(CircuitModel& model, PaneView& view);

    // One mouse event at a document point (client: the same in the
    // window's client area); ctrl: Ctrl was held. Always 1.
    int onMouse(int event, int button, const Point& point, const Point& client, int ctrl);
    // The capture went elsewhere without the pane's own release: the drag
    // feedback is wiped and nothing moves.
    void captureLost();
    // extended: lParam's extended-key bit; alt: its context-code bit;
    // ctrlHeld: Ctrl is down now. 1 when the key was used.
    int onKeyDown(int key, int extended, int alt, int ctrlHeld);
    int onKeyUp(int ctrlHeld);
    int onChar(int character, int extended, int alt);

    void setTool(int command);
    int getTool() const { return model.tool; }
    // True while the pane itself gives up the capture.
    bool releasingCapture() const { return ownRelease; }

    int buttonDown;
    int skipBand;
    int ctrlDown;
    ConnectionObject* connectionToMove;
    int dragged;
    int resizing;
    BlockObject* resizeBlock;
    Point dragOrigin;
    Interpoint* grabbedInterpoint;
    BlockObject* pressedObject;
    BlockObject* contextBlock;
    Point lastRubberPoint;
    Point bandAnchor;
    Rect bandRect;
    Point pressPoint;

private:
    bool busy() const;
    bool linesHidden() const;
    bool gridActive() const;
    Point snapped(const Point& p) const;
    Point rubberStart() const;
    Rect pendingBounds() const;
    void invalidate(GraphicObject* object);
    void paint(GraphicObject* object);
    void releaseCapture();

    void mouseMove(const Point& p);
    void hover(const Point& p);
    void resizeStep(const Point& p);
    void dragStep(const Point& p);
    void leftPress(const Point& p, int ctrl);
    void editPress(const Point& p, int ctrl);
    void blockPress(const Point& p, int ctrl);
    void deletePress(const Point& p);
    void changePress(const Point& p);
    void rightPress(const Point& p, const Point& client);
    void leftRelease(const Point& p);
    void drop(GraphicObject* object, const Point& p);

    // The drag's objects in order; null at the end.
    GraphicObject* nextDragged(GraphicObject* prev) const;
    // Draws the outline of object at target (erasing the last one first).
    void dragOutline(GraphicObject* object, const Point& target);
    void eraseOutline(GraphicObject* object);
    Rect blockOutline(const BlockObject* block, const Point& target) const;

    CircuitModel& model;
    PaneView& view;
    // Where each dragged object's outline was last drawn.
    std::map<GraphicObject*, Point> dragTargets;
    bool ownRelease;
};

#endif
