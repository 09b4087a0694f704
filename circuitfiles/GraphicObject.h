// The common base of the objects of a circuit diagram: blocks and
// connections. The editing pane calls them only through the virtual
// operations; positions and sizes are grid units.
#ifndef KYT_CIRCUITFILES_GRAPHICOBJECT_H
#define KYT_CIRCUITFILES_GRAPHICOBJECT_H

#include "ValueTypes.h"

class Canvas;

class GraphicObject;
class BlockObject;

// What an object needs of the editing pane it stands in: its canvas, its
// scroll offset in pixels, and invalidation.
class PaneView {
public:
    virtual ~PaneView() {}
    virtual Canvas& canvas() = 0;
    virtual Point scrollOffset() const = 0;
    // The pane notes that something was painted.
    virtual void notePainted() = 0;
    virtual void invalidateRect(const Rect& pixels, int erase) = 0;
    // MessageBeep(0) on the screen; through the error sink otherwise.
    virtual void beep();
    // The whole pane is drawn anew (with erasing).
    virtual void invalidateAll() { invalidateRect(Rect(-1000000, -1000000, 1000000, 1000000), 1); }
    // Paints the object at once (on the screen: the context attached around it).
    virtual void paintNow(GraphicObject& object, int zoomX, int zoomY);
    // The wait cursor while a circuit is written or read; restoring gives
    // back the previous cursor.
    virtual void showWaitCursor() {}
    virtual void restoreCursor() {}

    // The editor's feedback and the calls it makes on the frame. Points are
    // document pixels unless named client points. Each XOR primitive is
    // drawn in grey with an exclusive-or mix, so that drawing it twice
    // removes it: the rubber line, the dotted rubber band and a block's
    // dotted drag outline.
    virtual void xorLine(const Point&, const Point&) {}
    virtual void xorBand(const Rect&) {}
    virtual void xorOutline(const Rect&) {}
    virtual void setCursorShape(int) {}
    // A string id for status field 2; 0 clears the field.
    virtual void setStatusHint(unsigned int) {}
    virtual void captureMouse(int) {}
    // A Yes/No question with an exclamation icon; 1 for Yes. Without a
    // window the answer is No.
    virtual int askYesNo(unsigned int, unsigned int) { return 0; }
    virtual void showInsertMenu(const Point&) {}
    virtual void showBlockMenu(const Point&, BlockObject&) {}
    // The text-block and frame-block dialogs; 1 when accepted (and applied).
    virtual int editTextBlock(BlockObject&) { return 0; }
    virtual int editFrameBlock(BlockObject&) { return 0; }
    virtual void copyToClipFile() {}
    virtual void cutToClipFile() {}
    virtual void pasteFromClipFile() {}
};

// A port reference: side 1 an input, side 2 an output; index from 1.
struct PortRef {
    int side;
    int index;
    bool operator==(const PortRef& o) const { return side == o.side && index == o.index; }
};

class GraphicObject {
public:
    explicit GraphicObject(const Point& position);
    virtual ~GraphicObject();

    virtual int kind() const { return 65535; }
    virtual void paint(PaneView& pane, int zoomX, int zoomY);
    virtual void invalidate(PaneView& pane, int zoomX, int zoomY, int erase);
    virtual int hitTest(const Point& point, int zoomX, int zoomY) const;
    virtual void paintTo(Canvas& dc, const Point& a, const Point& b, int zoomX, int zoomY);
    virtual Rect getRect() const { return rect; }
    virtual void setConnectStart(int side, int index);
    virtual int clearConnectStart();
    virtual Point portPosition(int side, int index) const;

    Rect scaleRect(int zoomX, int zoomY) const;
    Point scalePosition(int zoomX, int zoomY) const;
    Point getPosition() const { return position; }
    void setMarked(int mark) { markWord = mark; }
    int isMarked() const { return markWord; }
    void moveTo(const Point& p);
    static void drawFrame(Canvas& dc, const Rect& r, int flag);

    int32_t markWord;
    int32_t highlightWord;
    Point position;
    Rect rect;
    int rightOverhang;
    int leftOverhang;
    Point startPosition;
};

#endif
