// The 3-D control windows: check box, radio button, static text, group box
// and panel, drawn by their own items on the button face and answering the
// Windows button and static messages like the standard controls.
#ifndef KYT_FRAMEWORK_CTL3DWINDOW_H
#define KYT_FRAMEWORK_CTL3DWINDOW_H

#include "Items3d.h"
#include "VisualCtrl.h"

class ButtonItemCL;

class Ctl3dWindowCL : public ItemCtrlCL {
public:
    Ctl3dWindowCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId);
    // Takes over the template's control with that id: its window style
    // becomes the button style, its title the text.
    Ctl3dWindowCL(WindowCL* parent, int controlId);
    ~Ctl3dWindowCL() override;

    LRESULT defaultEvent(EventRecord* event) override;
    // A static never keeps the focus.
    LRESULT onFocus(EventRecord* event) override;
    // The whole area in the face colour, then the items. The erase that
    // comes with a visible window's creation runs before the control has
    // its colour and would leave the class's window colour around the items.
    LRESULT paint(EventRecord* event) override;
    // Group box and panel lie over other windows, which their face leaves out.
    virtual bool holdsWindows() const { return false; }

    virtual void setFont(HFONT font, int redraw);
    virtual HFONT getFont() { return font; }
    virtual void setDisabled(int flag);
    virtual void setStyle(uint32_t style, int redraw);
    virtual String getText() { return title; }
    virtual void setText(const char* text) override;
    using CtrlWindowCL::setText;

    // Stores style and the composite and adds it to the container.
    void setMainItem(ItemGroupCL* container, SubItemGroupCL* item, uint32_t style);
    // The composite's text and mark (null when there is none).
    LabelItemCL* textItem() const;
    ButtonItemCL* markItem() const;
    // WM_COMMAND to the parent with the id and the code.
    void notifyParent(int code);
    void postNotify(int code);
    void repaintBox();
    // A composite filling the client area.
    SubItemGroupCL* makeBox();
    // A geometry filling the composite.
    EdgeLayout* fill(SubItemGroupCL* box);

    HFONT font;
    SubItemGroupCL* mainItem;
    int32_t controlId;
    uint32_t buttonStyle;
};

class Button3dCL : public Ctl3dWindowCL {
public:
    Button3dCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId);

    LRESULT defaultEvent(EventRecord* event) override;
    LRESULT onFocus(EventRecord* event) override;
    LRESULT onButtonDown(EventRecord* event) override;
    LRESULT onButtonUp(EventRecord* event) override;

    // Keeps the label's focus-shown state for a take-over of this window.
    ~Button3dCL() override;

    virtual void keyDown(WPARAM key);
    virtual void keyUp();
    virtual void setButtonStyle(uint32_t style) = 0;

    // The focus-shown state of the last 3-D button deleted.
    static int lastFocusShown;
    // The placeholder's place, and the focus-shown state it had.
    void takePlace(const Placeholder3d& placeholder);

    int32_t pushButton;
};

class CheckBox3dCL : public Button3dCL {
public:
    CheckBox3dCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId);
    // Takes over the template's control with that id, bound to variable
    // (loaded at once when given).
    CheckBox3dCL(WindowCL* parent, int controlId, int* variable = nullptr, int extra = 0);
    void setButtonStyle(uint32_t style) override;
    void bind(int* variable);
    int storeValue() override;
    int loadValue() override;

    int* bound;
    int32_t bindingKind;
    int32_t extra;

private:
    CheckBox3dCL(const Placeholder3d& placeholder, WindowCL* parent, int controlId, int* variable, int extra);
};

class RadioButton3dCL : public Button3dCL {
public:
    RadioButton3dCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId);
    RadioButton3dCL(WindowCL* parent, int controlId, int* variable = nullptr, int extra = 0);
    void setButtonStyle(uint32_t style) override;
    LRESULT onButtonDown(EventRecord* event) override;
    LRESULT onButtonUp(EventRecord* event) override;
    LRESULT onFocus(EventRecord* event) override;
    void bind(int* variable);
    int storeValue() override;
    int loadValue() override;

    int* bound;
    int32_t bindingKind;
    int32_t extra;
    int32_t mouseUp;

private:
    RadioButton3dCL(const Placeholder3d& placeholder, WindowCL* parent, int controlId, int* variable, int extra);
};

class StaticText3dCL : public Ctl3dWindowCL {
public:
    StaticText3dCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId);
    // Takes over the template's control with that id, with its text and style.
    StaticText3dCL(WindowCL* parent, int controlId);

private:
    void buildItems(DWORD style, const char* text);
};

class GroupBox3dCL : public Ctl3dWindowCL {
public:
    GroupBox3dCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId);
    // Transparent to the mouse, never erased.
    LRESULT defaultEvent(EventRecord* event) override;
    LRESULT onEraseBackground(EventRecord*) override { return 1; }
    bool holdsWindows() const override { return true; }
};

class Panel3dCL : public Ctl3dWindowCL {
public:
    // Width and gap both 999: taken from the style.
    Panel3dCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId, int bevelWidth,
              int gap);
    LRESULT defaultEvent(EventRecord* event) override;
    LRESULT onEraseBackground(EventRecord*) override { return 1; }
    void setStyle(uint32_t style, int redraw) override;

    int32_t bevelWidth;
    int32_t gap;
};

#endif
