// The base of the standard controls: every Windows control a framework
// window or dialog uses is wrapped in an object derived from CtrlWindowCL.
// The wrapper makes the control window (or takes over one that a dialog
// template made), subclasses it so that its messages reach the object's
// handlers and virtual operations, paints its background colour, and binds a
// dialog field to a program variable (storeValue, validate, loadValue).
#ifndef KYT_FRAMEWORK_CTRLWINDOW_H
#define KYT_FRAMEWORK_CTRLWINDOW_H

#include "Window.h"

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
    // Statics and buttons take their parent's colour from the start.
    void takeParentColour();
    // The length of the window's text (0 without a window).
    int textLength() const;

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

#endif
