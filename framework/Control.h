// The standard controls: every Windows control a framework window or dialog
// uses is wrapped in an object derived from CtrlWindowCL. The wrapper makes
// the control window (or takes over one that a dialog template made),
// subclasses it so that its messages reach the object's handlers and virtual
// operations, paints its background colour, and binds a dialog field to a
// program variable (storeValue, validate, loadValue).
#ifndef KYT_FRAMEWORK_CONTROL_H
#define KYT_FRAMEWORK_CONTROL_H

#include "Window.h"

struct CustomControlClass;
class ScrollBarState;

// What kind of control an object wraps.
enum ControlKind {
    KIND_BUTTON = 0,
    KIND_LISTBOX = 1,
    KIND_SCROLLBAR = 2,
    KIND_STATIC = 3,
    KIND_EDIT = 4,
    KIND_COMBOBOX = 5,
    KIND_GENERIC = 6,
    KIND_CUSTOM = 7,   // a separately registered class
    KIND_OWNERDRAW = 8, // the owner-drawn controls of the 3-D items
    KIND_OWNERDRAW_ALT = 9
};

// Options word of bound fields: an empty value is accepted.
const int kAcceptEmpty = 0x100;

// Binding kinds of combo and list boxes.
enum BindingKind { BIND_NONE = 0, BIND_INDEX = 1, BIND_STRING = 2 };

class CtrlWindowCL : public VisualCtrl {
public:
    // A new control window. Style 0 means WS_TABSTOP; any other style is
    // added as given.
    CtrlWindowCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    // Takes over the parent's child with that id, made by the dialog
    // template reader. When the parent has no such child, the object stays
    // without a window and an error is reported.
    CtrlWindowCL(WindowCL* parent, int controlId);
    // Deletes the background brush; destroys the window unless it is gone.
    ~CtrlWindowCL() override;

    // Every message the object leaves goes to the class's own procedure.
    LRESULT defaultEvent(EventRecord* event) override;
    // Flag 0 gives RGB, any other flag the palette-relative form; the
    // control gets a solid brush of it.
    void setBackColor(const Color& colour) override;
    void create() override;

    void enable();
    void disable();
    bool isEnabled() const;
    String getText() const;
    virtual void setText(const String& text);
    virtual void setText(const char* text);

    using WindowCL::onCommand;
    // A handler for WM_COMMAND with this control's id, at the front of the
    // parent's message-handler list.
    template <typename O, typename T>
    void onCommand(O* object, LRESULT (T::*function)(EventRecord*))
    {
        if (parent)
            parent->addMessageHandler(new HandlerRecord(static_cast<UINT>(id), function, object, WM_COMMAND));
    }
    // A handler for one notification code of this control, at the front of
    // the parent's command-handler list.
    template <typename O, typename T>
    void onNotify(O* object, LRESULT (T::*function)(EventRecord*), UINT code)
    {
        if (!parent)
            return;
        NotifyHandlerRecord* record = new NotifyHandlerRecord(hwnd, code, function, object);
        record->firstId = record->lastId = static_cast<UINT>(id & 0xFFFF);
        parent->addCommandHandler(record);
    }
    // Removes the first record of this control and code that calls that function.
    template <typename O, typename T>
    int removeNotify(O* object, LRESULT (T::*function)(EventRecord*), UINT code)
    {
        return removeNotifyRecord(EventCall(object, function), code);
    }

    // The dispatch of the framework control procedure.
    LRESULT dispatchControl(EventRecord* event);
    // The procedure the control's class had (saved when it was subclassed).
    WNDPROC savedProcedure() const { return savedProc; }
    // True when a take-over found no child with its id.
    bool isMissing() const { return missing; }

    HBRUSH backBrush;
    WNDPROC savedProc;
    int32_t kind;
    // A take-over of a registered-class control: the object that keeps the window.
    CtrlWindowCL* linked;

protected:
    // The window with this class's name, title, style, geometry and id;
    // subclassed and mapped. Nothing happens when it cannot be made.
    void createControlWindow(LPVOID creationParameter = nullptr);
    // The combo box's colour for its edit and list (a brush, or 0).
    virtual LRESULT innerColour(EventRecord*) { return 0; }
    // Takes over what the placeholder of the dialog had.
    virtual void adoptFrom(CtrlWindowCL* placeholder);

    HICON icon; // SS_ICON statics

private:
    void initControl(DWORD controlStyle, const char* text, int controlId);
    void takeOver(int controlId);
    int removeNotifyRecord(const EventCall& call, UINT code);

    bool missing;
};

// The framework control procedure installed on every control window.
LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Answers WM_CTLCOLOR* at a parent window for its controls' colours (installed
// on every window by the application).
LRESULT controlColourAtParent(WindowCL* parent, EventRecord* event);
// The one solid brush handed out for colours that no control owns; replaced
// on each use, deleted at shutdown.
HBRUSH sharedControlBrush(COLORREF colour);
void deleteSharedControlBrush();
// The drawing rule: flag 0 RGB, flag 1 palette index, other flags palette-relative RGB.
COLORREF drawingColour(const Color& colour);

// ---------------------------------------------------------------- statics

class StaticCL : public CtrlWindowCL {
public:
    StaticCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    StaticCL(WindowCL* parent, int controlId);
    LRESULT defaultEvent(EventRecord* event) override;
    HICON iconHandle() const { return icon; }

private:
    void initStatic();
};

// ---------------------------------------------------------------- buttons

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

// ---------------------------------------------------------------- edits

class EditCL : public CtrlWindowCL {
public:
    EditCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    // Take-over bound to a String (loaded at once when given).
    EditCL(WindowCL* parent, int controlId, String* variable = nullptr, int options = 0);

    // Enter sends WM_USER+2 (0x1000, 0x1000) to the parent, unless the edit
    // wants returns or Ctrl is held.
    LRESULT defaultEvent(EventRecord* event) override;
    // A disabled edit is enabled for the time of the change and stays disabled.
    void setText(const String& text) override;
    void setText(const char* text) override;

    template <typename O, typename T>
    void onKillFocus(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, EN_KILLFOCUS);
    }
    template <typename O, typename T>
    void onVScroll(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, EN_VSCROLL);
    }

    // Start and end of the selection, ordered.
    void getSelection(int& start, int& end) const;
    String selectedText() const;
    void setSelection(int start, int end);
    void replaceSelection(const char* text);
    void limitText(int count);
    void cut();
    void copy();
    void paste();
    int isModified() const;
    void setModified(int flag);
    void setRect(const RECT& rect);
    void lineScroll(int lines, int columns = 0);
    void bindBuffer(String* variable) { boundText = variable; }

    int validate() override;
    int storeValue() override;
    int loadValue() override;

    String* boundText;
    int options;

protected:
    void initEdit();
};

class MultiEditCL : public EditCL {
public:
    MultiEditCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    MultiEditCL(WindowCL* parent, int controlId, String* variable = nullptr, int options = 0);
};

class BorderEditCL : public EditCL {
public:
    BorderEditCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    BorderEditCL(WindowCL* parent, int controlId, String* variable = nullptr, int options = 0);
};

// ---------------------------------------------------------------- combo boxes

class ComboBoxCL : public CtrlWindowCL {
public:
    // The window is made by the derived classes (or by create).
    ComboBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    ComboBoxCL(WindowCL* parent, int controlId);

    template <typename O, typename T>
    void onSelChange(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, CBN_SELCHANGE);
    }

    int addString(const String& text);
    int addText(const char* text);
    int deleteString(int index);
    int insertString(int index, const char* text);
    int getCount() const;
    void resetContent();
    void showList();
    int getCurSel() const;
    int setCurSel(int index);
    int selectString(const char* text);
    // Index -1: the current selection. 0 when there is no such item.
    int getItemText(int index, String& text) const;
    String getEditText() const;
    void bindString(String* variable);
    void bindInt(int* variable);
    // A null-terminated array of texts, added with the redrawing off.
    void fill(const char* const* texts);
    // The colour of the box's own edit and list (drawing rule; -2 none, -3 the parent's).
    void setInnerColor(const Color& colour);
    void setInnerColor(COLORREF special) { innerColourValue = special; }

    int validate() override;
    int storeValue() override;
    int loadValue() override;

    void* binding;
    int bindingKind;
    int options;
    COLORREF innerColourValue;

protected:
    LRESULT innerColour(EventRecord* event) override;
    void initCombo();
};

class SortedComboBoxCL : public ComboBoxCL {
public:
    SortedComboBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
};

class BoundComboBoxCL : public ComboBoxCL {
public:
    // The selected item's text, or the edit text of an editable box.
    BoundComboBoxCL(WindowCL* parent, int controlId, String* variable, int options = 0);
    // The selection's index.
    BoundComboBoxCL(WindowCL* parent, int controlId, int* variable, int options = 0);
};

// ---------------------------------------------------------------- list boxes

class ListBoxCL : public CtrlWindowCL {
public:
    ListBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    ListBoxCL(WindowCL* parent, int controlId);
    ~ListBoxCL() override;

    template <typename O, typename T>
    void onSelChange(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, LBN_SELCHANGE);
    }
    template <typename O, typename T>
    void onDoubleClick(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, LBN_DBLCLK);
    }

    int addString(const char* text);
    int insertString(int index, const char* text);
    int deleteString(int index);
    int getCount() const;
    void resetContent();
    int getCurSel() const;
    int setCurSel(int index);
    int selectString(const char* text);
    // An empty String when there is no such item.
    String getItemText(int index) const;
    int directory(UINT attributes, const char* pattern);
    void bindString(String* variable);
    void bindInt(int* variable);
    void fill(const char* const* texts);

    int validate() override;
    int storeValue() override;
    int loadValue() override;

    void* binding;
    int bindingKind;
    int options;

protected:
    void initList();
};

class SortedListBoxCL : public ListBoxCL {
public:
    SortedListBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
};

class BoundListBoxCL : public ListBoxCL {
public:
    BoundListBoxCL(WindowCL* parent, int controlId, String* variable, int options = 0);
    BoundListBoxCL(WindowCL* parent, int controlId, int* variable, int options = 0);
};

// ---------------------------------------------------------------- scroll bars

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

// ---------------------------------------------------------------- registered classes

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
