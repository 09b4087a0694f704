// Scroll-bar controls: the generic bar a dialog template makes, the
// vertical and horizontal bars, and the bar that is created at once. Each
// keeps its range and position in a ScrollBarState.
#ifndef KYT_FRAMEWORK_SCROLLBARS_H
#define KYT_FRAMEWORK_SCROLLBARS_H

#include "CtrlWindow.h"

class ScrollBarState;

class ScrollBarCL : public CtrlWindowCL {
public:
    // The generic form: the window is made by create.
    ScrollBarCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    ScrollBarCL(WindowCL* parent, int controlId);
    ~ScrollBarCL() override;

    ScrollBarState* barState;

protected:
    void initScrollBar(int barKind);
};

class VertScrollBarCL : public ScrollBarCL {
public:
    VertScrollBarCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
};

class HorzScrollBarCL : public ScrollBarCL {
public:
    HorzScrollBarCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
};

// Created at once (the fuzzy-block editor's bars).
class CreatedScrollBarCL : public ScrollBarCL {
public:
    CreatedScrollBarCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
};

#endif
