// Window objects: every window of the programs is an object of a class
// derived from WindowCL. Messages reach it through a window procedure of the
// framework, which finds the object by its handle in the application's
// WinMap, asks the registered handler records and then a virtual operation of
// the object; a zero result from both goes to default processing.
#ifndef KYT_FRAMEWORK_WINDOW_H
#define KYT_FRAMEWORK_WINDOW_H

#include "EventTarget.h"
#include "Layout.h"
#include "LifeWatch.h"
#include "Scrollers.h"
#include "String.h"
#include "ValueTypes.h"

#include <windows.h>

class Menu;
class Icon;

// State bits of a window object.
enum WindowState {
    STATE_AUTODELETE = 1, // the object deletes itself when its window is destroyed
    STATE_GONE = 2,       // WM_NCDESTROY has come
    STATE_SHOWN = 4,      // the first show has run
    STATE_DELETING = 8    // the destructor runs: messages go to default processing
};

// Handler flags: the handler lists are asked for these messages only when
// the bit is set on the window.
enum HandlerFlag {
    HF_SETCURSOR = 0x002,
    HF_NCHITTEST = 0x004,
    HF_MENU = 0x008, // WM_COMMAND, WM_INITMENU, WM_MENUSELECT: the attached menu is asked
    HF_BUTTONUP = 0x010,
    HF_MOUSEMOVE = 0x020,
    HF_ACTIVATE = 0x040,
    HF_CLOSE = 0x080,
    HF_BUTTONDOWN = 0x100,
    HF_FOCUS = 0x200
};

// Background colours with a meaning of their own.
const COLORREF kNoBackground = static_cast<COLORREF>(-2);     // the framework does not erase
const COLORREF kParentBackground = static_cast<COLORREF>(-3); // the parent's colour

class WindowCL : public EventTarget, public LifeTracked, public ScrollBarOwner {
public:
    WindowCL(WindowCL* parent, Geometry* geometry, DWORD style);
    // A layout of its own, placed in the parent's layout.
    explicit WindowCL(WindowCL* parent);
    WindowCL();
    // Deletes the children, destroys the window when it still exists, leaves
    // the map and deletes geometry, handler lists and scroll-bar states.
    ~WindowCL() override;

    LRESULT defaultEvent(EventRecord* event) override;
    // A new class description (the caller frees it); window procedure and
    // class name are left to the derived class.
    virtual WNDCLASSA* classInfo();
    // WM_SIZE: stores the size and, unless minimised, lays out the children.
    virtual void relayout(EventRecord* event);
    virtual LRESULT onActivate(EventRecord* event);
    virtual LRESULT onSize(EventRecord* event);
    virtual LRESULT onMove(EventRecord* event);
    // A non-zero result keeps the window open.
    virtual LRESULT onClose(EventRecord* event);
    virtual LRESULT onCommand(EventRecord* event);
    virtual LRESULT onScroll(EventRecord* event);
    virtual LRESULT onMouseMove(EventRecord* event);
    virtual LRESULT onButtonUp(EventRecord* event);
    virtual LRESULT onButtonDown(EventRecord* event);
    virtual LRESULT onFocus(EventRecord* event);
    virtual LRESULT onEraseBackground(EventRecord* event);
    // Panes that know the size of their content write it and return 1.
    virtual int getExtent(Point& size);
    virtual void setBackColor(const Color& colour);
    virtual void show(int cmd);
    virtual void create();
    // The attached menu of a frame; null for other windows.
    virtual Menu* getMenu() { return nullptr; }
    virtual void setAttachedMenu(Menu*) {}

    // The dispatch of FrameWindowProc, for window procedures that build on it.
    LRESULT dispatchEvent(EventRecord* event);

    // A handler for all ids of message on this window, asked before the older ones.
    template <typename O, typename T>
    DListNode* AddEventHandler(O* object, LRESULT (T::*function)(EventRecord*), UINT message)
    {
        return addMessageHandler(new HandlerRecord(function, object, message, hwnd));
    }
    template <typename O, typename T>
    void RemoveEventHandler(O* object, LRESULT (T::*function)(EventRecord*), UINT message)
    {
        removeHandlerRecord(messageHandlers, message, hwnd, EventCall(object, function));
    }
    // Puts a record (owned from now on) at the front of the message-handler list.
    DListNode* addMessageHandler(HandlerRecord* record);
    // Puts a record (owned) at the front of the command-handler list, asked
    // first for WM_COMMAND (the notifications of controls).
    DListNode* addCommandHandler(HandlerRecord* record);
    template <typename O, typename T>
    void removeCommandHandlerRecord(O* object, LRESULT (T::*function)(EventRecord*))
    {
        removeHandlerRecord(commandHandlers, WM_COMMAND, hwnd, EventCall(object, function));
    }
    void setHandlerFlags(DWORD bits) { handlerFlags |= bits; }

    // SetScrollRange and SetScrollPos of a bar, while the window exists.
    void showBarRange(int kind, int32_t minimum, int32_t maximum) override;
    void showBarPosition(int kind, int32_t position) override;

    void setTitle(const String& text);
    void setTitle(const char* text);
    const String& getTitle() const { return title; }

    WindowCL* findChild(int childId);
    DListNode* findChildPosition(int childId);
    WindowCL* nextSibling();
    WindowCL* previousSibling();

    void updateStyle();
    void updateClassStyle();
    // Sets the cursor now and on every mouse move.
    void setCursorHandle(HCURSOR handle);
    // SetClassLongPtrA(GCLP_HICON) with the icon's handle (null clears it);
    // the Icon object is deleted, its handle kept.
    void setClassIcon(Icon* icon);
    void showWindow(int cmd);
    // Mode 0: both corners through ClientToScreen.
    void rectToScreen(int mode, Rect& rect);
    // The window as a child of parent: appended to its children.
    void addChild(WindowCL* child);
    void removeChild(WindowCL* child);
    bool isWindow() const { return hwnd && IsWindow(hwnd); }

    int32_t id;
    uint16_t state;
    String title;
    DWORD handlerFlags;
    Geometry* geometry;
    HWND hwnd;
    DWORD style;
    String className;
    HCURSOR cursor;
    int32_t cursorFlag;
    COLORREF backColor;
    uint16_t classStyle;
    ScrollBarState* vScrollState;
    ScrollBarState* hScrollState;
    HandlerList* messageHandlers;
    HandlerList* commandHandlers;
    DListOf<WindowCL>* children;
    WindowCL* parent;
    Scroller* scroller;

protected:
    // Registers the class of the description (its class name becomes the
    // window's, or the decimal address for a class-style word of its own) and
    // records the name for unregistering at exit. Frees the description.
    void registerWindowClass(WNDCLASSA* description, bool onceOnly, bool* registeredFlag);
    // A window of the class, at the geometry's place and size (the system's
    // defaults without a geometry); null when it cannot be made.
    HWND createAtGeometry(HWND parentHandle);
    // A control in the parent window, with the window's title and id, at
    // the geometry's place and size (0 for what is not given); null when it
    // cannot be made.
    HWND createControlAtGeometry(LPVOID creationParameter);
    // Puts the new handle into the WinMap.
    void mapWindow();
    // The first show lays the window out and shows it; a later one only
    // changes its show state. true for the first, which counts as run from
    // here on.
    bool markFirstShow(int cmd);
    LRESULT askAllHandlers(EventRecord* event, bool commandListFirst, const LifeWatch& watch, bool* died);
    // The handler lists, when the window's flag for the message is set, and
    // then the object's own operation, unless a handler answered or the
    // window died.
    LRESULT askHandlersThenOwn(EventRecord* event, DWORD flag, LRESULT (WindowCL::*own)(EventRecord*),
                               const LifeWatch& watch, bool* died);

private:
    WindowCL(const WindowCL&) = delete;
    WindowCL& operator=(const WindowCL&) = delete;

    void init(WindowCL* parentWindow, Geometry* g, DWORD windowStyle);
    LRESULT dispatchScroll(EventRecord* event, const LifeWatch& watch);
};

// Child windows: panes and controls derive from it.
class VisualCtrl : public WindowCL {
public:
    VisualCtrl(WindowCL* parent, Geometry* geometry, DWORD style);
    explicit VisualCtrl(WindowCL* parent);

    void show(int cmd) override;
    void create() override;
    virtual LRESULT onChar(EventRecord* event);
    virtual int storeValue();
    virtual int validate();
    virtual int loadValue();

private:
    void initChild();
};

// The window procedure of frames, and the base of the others.
LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The routine that answers WM_CTLCOLOR* for the controls (a brush, or 0).
typedef LRESULT (*ControlColorRoutine)(WindowCL* window, EventRecord* event);
void setControlColorRoutine(ControlColorRoutine routine);

// Places a window in the middle of the screen, or over its parent.
void centerWindow(WindowCL* window, int overParent);

#endif
