// The button family of the standard controls: push buttons, the default
// button, check boxes (bound to an int), radio buttons and group boxes.
#ifndef KYT_FRAMEWORK_BUTTONS_H
#define KYT_FRAMEWORK_BUTTONS_H

#include "CtrlWindow.h"

class ButtonCL : public CtrlWindowCL {
public:
    // The window is made by the derived classes (or by create).
    ButtonCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    ButtonCL(WindowCL* parent, int controlId);

    template <typename O, typename T>
    void onClick(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, BN_CLICKED);
    }

protected:
    void initButton();
};

class PushButtonCL : public ButtonCL {
public:
    PushButtonCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    PushButtonCL(WindowCL* parent, int controlId);
};

class DefPushButtonCL : public ButtonCL {
public:
    DefPushButtonCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    // Takes over the dialog's button of that id.
    DefPushButtonCL(WindowCL* parent, int controlId);
};

class CheckBoxCL : public ButtonCL {
public:
    CheckBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    CheckBoxCL(WindowCL* parent, int controlId);
    // Bound to an int: the check is set from it at once.
    CheckBoxCL(WindowCL* parent, int controlId, int* variable);

    int getCheck() const;
    void setCheck(int state);
    int storeValue() override;
    int loadValue() override;

    int* boundInt;
    int bindingKind;
};

class RadioButtonCL : public ButtonCL {
public:
    RadioButtonCL(WindowCL* parent, int controlId);
};

class GroupBoxCL : public ButtonCL {
public:
    GroupBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    GroupBoxCL(WindowCL* parent, int controlId);
};

#endif
