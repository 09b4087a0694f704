// Controls of a separately registered window class (one the application
// recorded as a custom control class), made in code or by a dialog template.
#ifndef KYT_FRAMEWORK_CUSTOMCTRL_H
#define KYT_FRAMEWORK_CUSTOMCTRL_H

#include "CtrlWindow.h"

struct CustomControlClass;

class CustomCtrlCL : public CtrlWindowCL {
public:
    // Nothing is created when the class is not a recorded custom control class.
    CustomCtrlCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId,
                 const char* controlClass, LPVOID creationParameter = nullptr);
    CustomCtrlCL(WindowCL* parent, int controlId);
    ~CustomCtrlCL() override;

    LRESULT defaultEvent(EventRecord* event) override;

    CustomControlClass* record;
    LPVOID creationParameter;
};

#endif
