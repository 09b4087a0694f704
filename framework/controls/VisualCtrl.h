// Owner-drawn control windows: the "VisualCtrl" class, whose surface the
// program paints itself through a drawing context of its own, and the
// control that hosts a tree of painted items. register3dClasses makes the
// six 3-D control classes known to the dialog-template reader.
#ifndef KYT_FRAMEWORK_VISUALCTRL_H
#define KYT_FRAMEWORK_VISUALCTRL_H

#include "Control.h"
#include "Items.h"

class VisualCtrlCL : public CtrlWindowCL {
public:
    // Created at once.
    VisualCtrlCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    ~VisualCtrlCL() override;

    // DefWindowProcA: the class has no procedure of its own to fall back on.
    LRESULT defaultEvent(EventRecord* event) override;
    WNDCLASSA* classInfo() override;
    void create() override;
    // WM_PAINT, with the context attached and in its paint mark.
    virtual LRESULT paint(EventRecord* event) = 0;

    // Points of mouse events are shifted by it (normally (0, 0)).
    Point pixelOrigin() const { return drawing ? drawing->scrollOrigin() : Point(); }

    DeviceContext* drawing;
};

class ItemCtrlCL : public VisualCtrlCL {
public:
    ItemCtrlCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title = nullptr, int controlId = 0);
    ~ItemCtrlCL() override;

    // Adds to the container and paints it at once.
    void addItem(ItemCL* item);
    // Lays the items out over the client area.
    void layoutItems();
    // The container lets mouse and keys through.
    bool itemsEnabled() const { return items && (items->flags & kWantsMouse); }

    LRESULT onSize(EventRecord* event) override;
    LRESULT onMouseMove(EventRecord* event) override;
    LRESULT onButtonUp(EventRecord* event) override;
    LRESULT onButtonDown(EventRecord* event) override;
    LRESULT onChar(EventRecord* event) override;
    LRESULT paint(EventRecord* event) override;

    ItemGroupCL* items;
};

LRESULT CALLBACK VisualCtrlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// "CheckBox3dClass", "RadioBtn3dClass", "StatTxt3dClass", "GroupBox3dClass",
// "BmpBtnClass" and "Panel3dClass" for dialog templates.
void register3dClasses();

#endif
