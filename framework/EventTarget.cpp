#include "EventTarget.h"

#include "LifeWatch.h"

LRESULT EventTarget::defaultEvent(EventRecord* event)
{
    if (!event)
        return 0;
    return DefWindowProcA(event->hwnd, event->message, event->wParam, event->lParam);
}

bool HandlerRecord::matches(const EventRecord* event) const
{
    UINT itemId = LOWORD(event->wParam);
    return message == event->message && itemId >= firstId && itemId <= lastId &&
           (!filter || filter == event->hwnd);
}

bool NotifyHandlerRecord::matches(const EventRecord* event) const
{
    return HandlerRecord::matches(event) && event->lParam == reinterpret_cast<LPARAM>(control) &&
           HIWORD(event->wParam) == code;
}

LRESULT askHandlers(HandlerList* list, EventRecord* event, const LifeWatch* owner, bool* died)
{
    if (!list)
        return 0;
    DListIteratorOf<HandlerRecord> walk(*list);
    while (HandlerRecord* record = walk.next()) {
        if (!record->matches(event))
            continue;
        LRESULT result = record->invoke(event);
        if (owner && !owner->alive()) {
            // The list went with its owner.
            walk.abandon();
            if (died)
                *died = true;
            return result;
        }
        if (result)
            return result;
    }
    return 0;
}

int removeHandlerRecord(HandlerList* list, UINT message, HWND window, const EventCall& call)
{
    if (!list)
        return 0;
    DListIteratorOf<HandlerRecord> walk(*list);
    while (HandlerRecord* record = walk.next()) {
        if (record->sameTarget(message, window) && record->isFor(call)) {
            walk.removeCurrent();
            delete record;
            return 1;
        }
    }
    return 0;
}

void deleteHandlerList(HandlerList*& list)
{
    if (!list)
        return;
    HandlerList* gone = list;
    list = nullptr;
    {
        DListIteratorOf<HandlerRecord> walk(*gone);
        while (HandlerRecord* record = walk.next()) {
            walk.removeCurrent();
            delete record;
        }
    }
    delete gone;
}
