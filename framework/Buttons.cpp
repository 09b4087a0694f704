#include "Buttons.h"

ButtonCL::ButtonCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId)
{
    initButton();
}

ButtonCL::ButtonCL(WindowCL* parentWindow, int controlId) : CtrlWindowCL(parentWindow, controlId) {}

void ButtonCL::initButton()
{
    className = "button";
    kind = KIND_BUTTON;
    style |= WS_CHILD | WS_VISIBLE;
    takeParentColour();
}

PushButtonCL::PushButtonCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : ButtonCL(parentWindow, g, controlStyle, text, controlId)
{
    createControlWindow();
}

PushButtonCL::PushButtonCL(WindowCL* parentWindow, int controlId) : ButtonCL(parentWindow, controlId) {}

DefPushButtonCL::DefPushButtonCL(WindowCL* parentWindow, int controlId) : ButtonCL(parentWindow, controlId) {}

DefPushButtonCL::DefPushButtonCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                 int controlId)
    : ButtonCL(parentWindow, g, controlStyle, text, controlId)
{
    style |= BS_DEFPUSHBUTTON;
    createControlWindow();
}

CheckBoxCL::CheckBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : ButtonCL(parentWindow, g, controlStyle, text, controlId), boundInt(nullptr), bindingKind(0)
{
    style |= BS_AUTOCHECKBOX;
    createControlWindow();
}

CheckBoxCL::CheckBoxCL(WindowCL* parentWindow, int controlId)
    : ButtonCL(parentWindow, controlId), boundInt(nullptr), bindingKind(0)
{
}

CheckBoxCL::CheckBoxCL(WindowCL* parentWindow, int controlId, int* variable)
    : ButtonCL(parentWindow, controlId), boundInt(variable), bindingKind(variable ? 1 : 0)
{
    if (boundInt)
        setCheck(*boundInt);
}

int CheckBoxCL::getCheck() const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, BM_GETCHECK, 0, 0)) : 0;
}

void CheckBoxCL::setCheck(int checkState)
{
    if (hwnd)
        SendMessageA(hwnd, BM_SETCHECK, static_cast<WPARAM>(checkState), 0);
}

int CheckBoxCL::storeValue()
{
    if (!hwnd)
        return 0;
    if (bindingKind == 1 && boundInt)
        *boundInt = getCheck();
    return 1;
}

int CheckBoxCL::loadValue()
{
    if (!boundInt || !hwnd)
        return 0;
    setCheck(*boundInt);
    return 1;
}

RadioButtonCL::RadioButtonCL(WindowCL* parentWindow, int controlId) : ButtonCL(parentWindow, controlId) {}

GroupBoxCL::GroupBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : ButtonCL(parentWindow, g, controlStyle, text, controlId)
{
    style |= BS_GROUPBOX;
    backColor = kParentBackground;
    createControlWindow();
}

GroupBoxCL::GroupBoxCL(WindowCL* parentWindow, int controlId) : ButtonCL(parentWindow, controlId)
{
    backColor = kParentBackground;
}
