#include "ScrollBars.h"

#include "Scrollers.h"

ScrollBarCL::ScrollBarCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId), barState(nullptr)
{
    className = "scrollbar";
    kind = KIND_SCROLLBAR;
    style |= WS_CHILD | WS_VISIBLE;
    initScrollBar(BAR_CTL);
}

ScrollBarCL::ScrollBarCL(WindowCL* parentWindow, int controlId)
    : CtrlWindowCL(parentWindow, controlId), barState(nullptr)
{
    initScrollBar(BAR_CTL);
}

void ScrollBarCL::initScrollBar(int barKind)
{
    delete barState;
    barState = new ScrollBarState(this, barKind);
}

ScrollBarCL::~ScrollBarCL()
{
    delete barState;
    barState = nullptr;
}

VertScrollBarCL::VertScrollBarCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                 int controlId)
    : ScrollBarCL(parentWindow, g, controlStyle | SBS_VERT, text, controlId)
{
    initScrollBar(BAR_VERT);
    createControlWindow();
}

HorzScrollBarCL::HorzScrollBarCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                 int controlId)
    : ScrollBarCL(parentWindow, g, controlStyle | SBS_HORZ, text, controlId)
{
    initScrollBar(BAR_HORZ);
    createControlWindow();
}

CreatedScrollBarCL::CreatedScrollBarCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                       int controlId)
    : ScrollBarCL(parentWindow, g, controlStyle, text, controlId)
{
    createControlWindow();
}
