// Command targets and menus. A menu is the command target of the frame it is
// attached to: its handlers see the WM_COMMAND, WM_INITMENU and WM_MENUSELECT
// messages of that window before the window's own lists. A popup menu, while
// it exists, sees every WM_COMMAND first.
#ifndef KYT_FRAMEWORK_MENU_H
#define KYT_FRAMEWORK_MENU_H

#include "EventTarget.h"
#include "LifeWatch.h"
#include "ResourceId.h"
#include "ValueTypes.h"

#include <windows.h>

class WindowCL;

class CommandTarget : public EventTarget, public LifeTracked {
public:
    CommandTarget() : handlers(nullptr), flagMask(0) {}
    // Deletes every record.
    ~CommandTarget() override;

    // Asks the records in list order; 1 when one of them handled the event.
    virtual LRESULT dispatch(EventRecord* event);

    // Puts the record (owned) at the front and gives the window the flag mask.
    void addHandler(WindowCL* window, HandlerRecord* record);
    // Removes the first record for message and the window's handle whose
    // function is that one, whatever ids it covers.
    int removeHandler(WindowCL* window, const EventCall& call, UINT message);
    void setFlags(DWORD bits) { flagMask |= bits; }

    HandlerList* handlers;
    DWORD flagMask;
};

class Menu : public CommandTarget {
public:
    // An empty popup menu, no owner.
    Menu();
    // A menu bar set on the window; none with a null window.
    explicit Menu(WindowCL* window);
    // A menu resource set on the window (none when it does not load).
    Menu(WindowCL* window, const ResourceId& resource);
    // A menu resource, not set on any window.
    explicit Menu(const ResourceId& resource);
    // Takes the menu off its window when it still shows it, then destroys it.
    ~Menu() override;

    void redraw();

    template <typename O, typename T>
    void onCommand(O* object, LRESULT (T::*function)(EventRecord*), UINT commandId)
    {
        addHandler(owner, new HandlerRecord(commandId, function, object, WM_COMMAND));
    }
    template <typename O, typename T>
    void onAnyCommand(O* object, LRESULT (T::*function)(EventRecord*))
    {
        addHandler(owner, new HandlerRecord(0, 0xFFFF, function, object, WM_COMMAND));
    }
    template <typename O, typename T>
    int removeCommandHandler(O* object, LRESULT (T::*function)(EventRecord*))
    {
        return removeHandler(owner, EventCall(object, function), WM_COMMAND);
    }
    template <typename O, typename T>
    void onMenuSelect(O* object, LRESULT (T::*function)(EventRecord*))
    {
        addHandler(owner, new HandlerRecord(0, 0xFFFF, function, object, WM_MENUSELECT));
    }
    template <typename O, typename T>
    int removeMenuSelectHandler(O* object, LRESULT (T::*function)(EventRecord*))
    {
        return removeHandler(owner, EventCall(object, function), WM_MENUSELECT);
    }
    template <typename O, typename T>
    void onInitMenu(O* object, LRESULT (T::*function)(EventRecord*))
    {
        addHandler(owner, new HandlerRecord(0, 0xFFFF, function, object, WM_INITMENU));
    }

    BOOL appendItem(UINT itemId, const char* text, UINT flags = 0);
    BOOL appendNewColumnItem(UINT itemId, const char* text);
    BOOL appendSeparator();
    BOOL appendBitmapItem(UINT itemId, HBITMAP bitmap);
    // The submenu's handle belongs to this menu from now on.
    BOOL appendPopup(Menu* submenu, const char* text);
    BOOL insertItemAt(int position, UINT itemId, const char* text, UINT flags = 0);
    BOOL insertBitmapItemAt(int position, UINT itemId, HBITMAP bitmap);
    BOOL insertPopup(Menu* submenu, const char* text, int position);
    BOOL insertBitmapPopup(Menu* submenu, HBITMAP bitmap, int position);
    BOOL deleteItemAt(int position);

    void grayItem(UINT itemId, int gray);
    int enableItem(UINT itemId, int enable);
    int checkItem(UINT itemId, int check);

    HMENU handle() const { return hmenu; }
    // Windows destroyed the menu with its window.
    void clearHandle() { hmenu = nullptr; }

    WindowCL* owner;
    HMENU hmenu;
    // Set when a parent menu or Windows owns the handle: not destroyed here.
    int handleOwnedElsewhere;

protected:
    void attachTo(WindowCL* window);
    static HMENU loadMenu(const ResourceId& resource);
};

class SystemMenu : public Menu {
public:
    explicit SystemMenu(WindowCL* window);
};

class PopupMenu : public Menu {
public:
    // An empty popup shown at the client point (x, y) of the window.
    PopupMenu(int x, int y, WindowCL* window);
    // The first submenu of a menu resource.
    PopupMenu(int x, int y, WindowCL* window, const ResourceId& resource);
    ~PopupMenu() override;

    // Makes this popup the active one and tracks it with the right button.
    BOOL track();
    BOOL trackAt(const Point& clientPoint);

    // The popup that sees every WM_COMMAND first; null when none.
    static PopupMenu* active();

    int screenX;
    int screenY;
    HMENU loaded;

private:
    void placeAt(int x, int y);
};

// A raw resource of the program, found, loaded and locked.
class ResourceData {
public:
    explicit ResourceData(const ResourceId& resource, LPCSTR type = RT_RCDATA);
    ~ResourceData();

    HRSRC resourceHandle;
    HMODULE module;
    const void* data;
    DWORD size;
};

#endif
