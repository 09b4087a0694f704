// The root of the framework's window-side objects, the record every handler
// receives, and the handler records that windows, menus and the application
// keep in their lists.
#ifndef KYT_FRAMEWORK_EVENTTARGET_H
#define KYT_FRAMEWORK_EVENTTARGET_H

#include "Collections.h"
#include "MemberCall.h"

#include <windows.h>

// One message as the window procedure received it. Lives on the stack of the
// window procedure for the duration of the message.
struct EventRecord {
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
};

// The mouse messages seen through their record: a handler of a mouse message
// may look at its EventRecord as a MouseEvent (the same four fields).
struct MouseEvent : EventRecord {
    // The message is a press, release or double click of button n (1 left,
    // 2 right, 3 middle).
    bool isButton(int n) const
    {
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK: return n == 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK: return n == 2;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK: return n == 3;
        }
        return false;
    }
    // wParam holds the button's MK_ flag; isButtonDown is its twin.
    bool isButtonDown(int n) const { return isButtonHeld(n); }
    bool isButtonHeld(int n) const
    {
        WPARAM flag = n == 1 ? MK_LBUTTON : n == 2 ? MK_RBUTTON : n == 3 ? MK_MBUTTON : 0;
        return flag && (wParam & flag);
    }
    // The client position, signed.
    int x() const { return static_cast<short>(LOWORD(lParam)); }
    int y() const { return static_cast<short>(HIWORD(lParam)); }
};

class EventTarget {
public:
    virtual ~EventTarget() {}
    // DefWindowProcA with the record's four fields; 0 without a record.
    virtual LRESULT defaultEvent(EventRecord* event);
};

// A registered member function: returns non-zero when it handled the event,
// and that value becomes the window procedure's result.
typedef MemberCall<LRESULT(EventRecord*)> EventCall;

class HandlerRecord {
public:
    // All ids 0-65535 of message; filtered by the window handle when one is given.
    template <typename O, typename T>
    HandlerRecord(LRESULT (T::*function)(EventRecord*), O* object, UINT msg, HWND window = nullptr)
        : firstId(0), lastId(0xFFFF), message(msg), filter(window), call(object, function)
    {
    }
    // An id range, no filter.
    template <typename O, typename T>
    HandlerRecord(UINT first, UINT last, LRESULT (T::*function)(EventRecord*), O* object, UINT msg)
        : firstId(first), lastId(last), message(msg), filter(nullptr), call(object, function)
    {
    }
    // One id, no filter.
    template <typename O, typename T>
    HandlerRecord(UINT id, LRESULT (T::*function)(EventRecord*), O* object, UINT msg)
        : firstId(id), lastId(id), message(msg), filter(nullptr), call(object, function)
    {
    }
    HandlerRecord(UINT first, UINT last, UINT msg, HWND window, const EventCall& c)
        : firstId(first), lastId(last), message(msg), filter(window), call(c)
    {
    }
    virtual ~HandlerRecord() {}

    // Same message, LOWORD(wParam) within [first id, last id], and no filter
    // or the event's window.
    virtual bool matches(const EventRecord* event) const;
    bool isFor(const EventCall& other) const { return call.isFor(other); }
    template <typename O, typename T>
    bool isFor(O* object, LRESULT (T::*function)(EventRecord*)) const
    {
        return call.isFor(EventCall(object, function));
    }
    // The message and window filter match, whatever the ids: how a removal
    // finds its record (a probe with id 0 would miss a one-id record).
    bool sameTarget(UINT msg, HWND window) const { return message == msg && (!filter || filter == window); }
    LRESULT invoke(EventRecord* event) const { return call(event); }

    UINT firstId;
    UINT lastId;
    UINT message;
    HWND filter;
    EventCall call;
};

// A notification from one control (WM_COMMAND with its handle in lParam and
// the code in the high word of wParam).
class NotifyHandlerRecord : public HandlerRecord {
public:
    template <typename O, typename T>
    NotifyHandlerRecord(HWND controlWindow, UINT notifyCode, LRESULT (T::*function)(EventRecord*), O* object)
        : HandlerRecord(function, object, WM_COMMAND), control(controlWindow), code(notifyCode)
    {
    }
    bool matches(const EventRecord* event) const override;

    HWND control;
    UINT code;
};

typedef DListOf<HandlerRecord> HandlerList;

// Asks the records in list order; the first non-zero result of a matching
// record ends the walk. owner is watched: when a callback deletes it (and with
// it the list), the walk stops at once and *died is set.
class LifeWatch;
LRESULT askHandlers(HandlerList* list, EventRecord* event, const LifeWatch* owner, bool* died);
// Removes and deletes the first record for (message, window) whose function
// is call; 1 when one was found.
int removeHandlerRecord(HandlerList* list, UINT message, HWND window, const EventCall& call);
// Deletes every record and the list.
void deleteHandlerList(HandlerList*& list);

#endif
