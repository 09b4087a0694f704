// The scroll-bar state of a window and the scroller that moves a pane's
// contents. Only what the window dispatch needs lives here so far: the state
// the scroll messages update, and the scroller's entry point.
#ifndef KYT_FRAMEWORK_SCROLL_H
#define KYT_FRAMEWORK_SCROLL_H

#include "EventTarget.h"

#include <cstdint>

class ScrollBarState {
public:
    ScrollBarState(int32_t minValue = 0, int32_t maxValue = 100, int32_t lineStep = 1, int32_t pageStep = 10)
        : minimum(minValue), maximum(maxValue), position(minValue), previous(minValue), line(lineStep),
          page(pageStep)
    {
    }
    virtual ~ScrollBarState() {}

    // Remembers the previous position and clamps to [minimum, maximum].
    virtual void setPosition(int32_t p);
    // Moves to the thumb position without remembering the previous one.
    virtual void trackTo(int32_t p) { position = p; }
    // Applies scroll code LOWORD(wParam) of a WM_HSCROLL or WM_VSCROLL.
    void applyScrollCode(int code, int thumb);

    int32_t minimum;
    int32_t maximum;
    int32_t position;
    int32_t previous;
    int32_t line;
    int32_t page;
};

class Scroller : public EventTarget {
public:
    // A scroll message for the window the scroller serves; non-zero when handled.
    virtual LRESULT handleScroll(EventRecord*) { return 0; }
};

#endif
