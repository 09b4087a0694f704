#include "CustomCtrl.h"

#include "Application.h"

CustomCtrlCL::CustomCtrlCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId,
                           const char* controlClass, LPVOID parameter)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId), record(nullptr), creationParameter(parameter)
{
    kind = KIND_CUSTOM;
    style |= WS_CHILD | WS_VISIBLE;
    record = theApplication ? theApplication->findCustomControlClass(controlClass) : nullptr;
    if (!record)
        return;
    className = record->className;
    createControlWindow(creationParameter);
    if (hwnd)
        record->previousProcedure = savedProc;
}

CustomCtrlCL::CustomCtrlCL(WindowCL* parentWindow, int controlId)
    : CtrlWindowCL(parentWindow, controlId), record(nullptr), creationParameter(nullptr)
{
}

CustomCtrlCL::~CustomCtrlCL()
{
    CtrlWindowCL* follower = linked;
    linked = nullptr;
    if (follower && (follower->state & STATE_AUTODELETE)) {
        follower->state &= ~STATE_AUTODELETE;
        delete follower;
    }
}

LRESULT CustomCtrlCL::defaultEvent(EventRecord* event)
{
    WNDPROC procedure = record ? record->previousProcedure : savedProc;
    if (procedure)
        return CallWindowProcA(procedure, event->hwnd, event->message, event->wParam, event->lParam);
    return DefWindowProcA(event->hwnd, event->message, event->wParam, event->lParam);
}
