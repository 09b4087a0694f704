// Owner-drawn control windows: the "VisualCtrl" class, whose surface the
// program paints itself through a drawing context of its own, and the
// control that hosts a tree of painted items. register3dClasses makes the
// six 3-D control classes known to the dialog-template reader.
#ifndef KYT_FRAMEWORK_VISUALCTRL_H
#define KYT_FRAMEWORK_VISUALCTRL_H

#include "CtrlWindow.h"
#include "Items.h"

#include <string>

// What a take-over keeps of the object a dialog template made for an id:
// its place, window style, text and font, and the window before it in the
// tab order. The placeholder itself is deleted, whatever class it was of:
// the owner-drawn window is a window of its own class in the same place.
struct Placeholder3d {
    Layout* geometry;
    DWORD style;
    std::string text;
    HWND after;
    HFONT font;
    bool found;
};
Placeholder3d takePlaceholder(WindowCL* parent, int id);

class VisualCtrlCL : public CtrlWindowCL {
public:
    // Created at once.
    VisualCtrlCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    // Takes over the parent's control with that id (kind 9): the same place,
    // style, title, tab order and font. Without such a control the window
    // is empty and of no size.
    VisualCtrlCL(WindowCL* parent, int controlId);
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

protected:
    VisualCtrlCL(const Placeholder3d& placeholder, WindowCL* parent, int controlId);
    // Into the placeholder's tab-order place, drawing with its font.
    void adoptPlace(const Placeholder3d& placeholder);
};

class ItemCtrlCL : public VisualCtrlCL {
public:
    ItemCtrlCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title = nullptr, int controlId = 0);
    // Takes over the parent's control with that id.
    ItemCtrlCL(WindowCL* parent, int controlId);
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
