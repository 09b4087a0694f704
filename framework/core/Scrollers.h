// Scroll-bar state and the scrollers that move a pane's contents: the key,
// step and range arithmetic, free of any window. The pane and the window
// that shows a bar are reached through the two small interfaces below, which
// the window layer implements and the tests fake.
#ifndef KYT_FRAMEWORK_SCROLLERS_H
#define KYT_FRAMEWORK_SCROLLERS_H

#include "ValueTypes.h"

#include <cstdint>

// Scroll codes of WM_HSCROLL and WM_VSCROLL (LOWORD(wParam)).
enum ScrollCode {
    SCROLL_LINEUP = 0,
    SCROLL_LINEDOWN = 1,
    SCROLL_PAGEUP = 2,
    SCROLL_PAGEDOWN = 3,
    SCROLL_THUMBPOSITION = 4,
    SCROLL_THUMBTRACK = 5,
    SCROLL_TOP = 6,
    SCROLL_BOTTOM = 7,
    SCROLL_ENDSCROLL = 8
};

// Bar kinds as SetScrollRange numbers them.
enum ScrollBarKind { BAR_HORZ = 0, BAR_VERT = 1, BAR_CTL = 2 };

const unsigned kMessageHScroll = 276;
const unsigned kMessageVScroll = 277;
const int kKeyPageUp = 33;
const int kKeyPageDown = 34;
const int kKeyEnd = 35;
const int kKeyHome = 36;

// The window that shows a bar.
class ScrollBarOwner {
public:
    virtual ~ScrollBarOwner() {}
    virtual void showBarRange(int kind, int32_t minimum, int32_t maximum) = 0;
    virtual void showBarPosition(int kind, int32_t position) = 0;
};

class ScrollBarState {
public:
    explicit ScrollBarState(ScrollBarOwner* owner = nullptr, int kind = BAR_VERT)
        : minimum(0), maximum(100), page(10), line(1), position(0), previous(0), barOwner(owner), barKind(kind)
    {
    }
    virtual ~ScrollBarState() {}

    // Stores x as minimum and y as maximum and shows them.
    void setRange(const Point& range);
    // The drawn position takes the current one; the position is clamped.
    virtual void setPosition(int32_t p);
    // The position clamped, the drawn position kept (thumb dragging).
    virtual void trackTo(int32_t p);
    // The contents now show position p.
    void setPrevious(int32_t p) { previous = p; }
    int kind() const { return barKind; }
    bool emptyRange() const { return minimum == maximum; }
    // Applies a scroll code of WM_HSCROLL or WM_VSCROLL.
    void applyScrollCode(int code, int thumb);

    int32_t minimum;
    int32_t maximum;
    int32_t page;
    int32_t line;
    int32_t position;
    // The drawn position: what the window's contents show.
    int32_t previous;

private:
    int32_t clamp(int32_t p) const;
    void showPosition();

    ScrollBarOwner* barOwner;
    int barKind;
};

class Scroller;
class KeyScroller;

// What a scroller asks of its pane.
class ScrollPane {
public:
    virtual ~ScrollPane() {}
    virtual ScrollBarState* verticalBar() = 0;
    virtual ScrollBarState* horizontalBar() = 0;
    virtual Scroller* paneScroller() = 0;
    virtual bool paneIsWindow() = 0;
    // The client rectangle; all zero when the pane has no window.
    virtual Rect paneClientRect() = 0;
    // The document size; 0 when the pane knows none.
    virtual int paneExtent(Point& size) = 0;
    virtual void scrollContents(int dx, int dy, const Rect* clip) = 0;
    // The window origin of the pane's drawing context.
    virtual Point contextOrigin() = 0;
    virtual void setContextOrigin(const Point& origin) = 0;
    // The whole pane repainted, background erased.
    virtual void invalidatePane() = 0;
    virtual void updatePane() = 0;
    virtual bool controlKeyDown() = 0;
    virtual void addKeyHandler(KeyScroller* scroller) = 0;
    virtual void removeKeyHandler(KeyScroller* scroller) = 0;
};

class Scroller {
public:
    explicit Scroller(ScrollPane* scrollPane) : pane(scrollPane) {}
    virtual ~Scroller() {}

    virtual void updateBars() {}
    // WM_VSCROLL or WM_HSCROLL with its scroll code, after the dispatch moved
    // the bar; non-zero when handled.
    virtual int handleScroll(unsigned message, int code);
    virtual int scrollVertLine() { return 0; }
    virtual int scrollVertPage() { return 0; }
    virtual int scrollVertTop() { return 0; }
    virtual int scrollVertBottom() { return 0; }
    virtual int scrollVertThumb() { return 0; }
    virtual int trackVertThumb() { return 0; }
    virtual int scrollHorzLine() { return 0; }
    virtual int scrollHorzPage() { return 0; }
    virtual int scrollHorzLeft() { return 0; }
    virtual int scrollHorzRight() { return 0; }
    virtual int scrollHorzThumb() { return 0; }
    virtual int trackHorzThumb() { return 0; }
    virtual void beforeScroll() {}

    ScrollPane* pane;

private:
    Scroller(const Scroller&) = delete;
    Scroller& operator=(const Scroller&) = delete;
};

// Page Up/Down and Ctrl+Home/End (Ctrl+Page Up/Down sideways) as scroll steps.
class KeyScroller : public Scroller {
public:
    explicit KeyScroller(ScrollPane* scrollPane);
    ~KeyScroller() override;
    // The virtual key of WM_KEYDOWN; non-zero when the key scrolled.
    virtual int onKeyDown(int key);

    bool keyHandlerRegistered;
};

class RangeScroller : public KeyScroller {
public:
    explicit RangeScroller(ScrollPane* scrollPane);

    void updateBars() override;
    int scrollVertLine() override;
    int scrollVertPage() override;
    int scrollVertTop() override;
    int scrollVertBottom() override;
    int scrollVertThumb() override;
    int scrollHorzLine() override;
    int scrollHorzPage() override;
    int scrollHorzLeft() override;
    int scrollHorzRight() override;
    int scrollHorzThumb() override;

    void setDocumentRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void setViewRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // A mended fault: a unit below 1 would divide by zero; it is stored as 1.
    void setHorzLine(int32_t unit) { horzLine = atLeastOne(unit); }
    void setVertLine(int32_t unit) { vertLine = atLeastOne(unit); }
    void setHorzPage(int32_t unit) { horzPage = atLeastOne(unit); }
    void setVertPage(int32_t unit) { vertPage = atLeastOne(unit); }
    // View rectangle (null: the client rectangle), vertical line unit (0
    // becomes 1) and page unit (0: bar page step / bar line step x line unit,
    // or 10 without a vertical bar).
    void setView(const Rect* view, int32_t vertLineUnit, int32_t vertPageUnit);
    const Rect& documentRect() const { return document; }
    const Rect& viewRect() const { return view; }
    int32_t horzLineUnit() const { return horzLine; }
    int32_t vertLineUnit() const { return vertLine; }
    int32_t horzPageUnit() const { return horzPage; }
    int32_t vertPageUnit() const { return vertPage; }

protected:
    enum Move { MOVE_STEP, MOVE_START, MOVE_END };
    static int32_t atLeastOne(int32_t v) { return v < 1 ? 1 : v; }
    // Scrolls the contents by d pixels along one axis, then the drawn
    // position follows the position.
    int scrollBy(bool vertical, int d, Move move);
    // After the contents moved (the extent scroller moves the origin).
    virtual void moved(bool vertical, int d, Move move);
    int lineStep(bool vertical);
    int pageStep(bool vertical);
    int toStart(bool vertical);
    int toEnd(bool vertical);
    int toThumb(bool vertical);

    Rect document;
    Rect view;
    int32_t horzLine;
    int32_t vertLine;
    int32_t horzPage;
    int32_t vertPage;
};

// Takes the document size from the pane, sets the bar ranges from it and
// moves the pane's origin so that the pane paints in document coordinates.
class ExtentScroller : public RangeScroller {
public:
    explicit ExtentScroller(ScrollPane* scrollPane);
    ~ExtentScroller() override;

    void updateBars() override;
    void setUpdateAtOnce(bool on) { updateAtOnce = on; }
    bool getUpdateAtOnce() const { return updateAtOnce; }
    const Point& documentExtent() const { return extent; }

    bool moveOrigin;
    bool updateAtOnce;

protected:
    void moved(bool vertical, int d, Move move) override;

private:
    // One axis of updateBars; true when the pane needs repainting.
    bool updateAxis(bool vertical, bool haveExtent, const Rect& client);

    Point extent;
};

#endif
