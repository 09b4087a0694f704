#include "EventQueue.h"

#include "RunState.h"

#include <cstring>

namespace {

ScheduledEvent* eventList = nullptr;

} // namespace

int ScheduleEvent(double time, int kind, EventHandler handler, int priority,
                  int argument, const char* name)
{
    const double now = runState.currentTime;
    const double eps = runState.epsilon;
    if (now == kNoTime)
        return 0;
    if (time + eps < now)
        return 1;

    ScheduledEvent** link = &eventList;
    while (*link && (*link)->time < time - eps)
        link = &(*link)->next;
    while (*link && (*link)->time <= time + eps && (*link)->priority >= priority)
        link = &(*link)->next;

    ScheduledEvent* event = new ScheduledEvent;
    event->time = time;
    event->kind = kind;
    event->handler = handler;
    event->argument = argument;
    event->priority = priority;
    event->name[0] = 0;
    if (name) {
        strncpy(event->name, name, kEventNameSize - 1);
        event->name[kEventNameSize - 1] = 0;
    }
    event->next = *link;
    *link = event;
    return 0;
}

ScheduledEvent* firstEvent()
{
    return eventList;
}

ScheduledEvent* takeFirstEvent()
{
    ScheduledEvent* event = eventList;
    if (event) {
        eventList = event->next;
        event->next = nullptr;
    }
    return event;
}

void freeEvent(ScheduledEvent* event)
{
    delete event;
}

void dropEventsBelowKind(int kind)
{
    ScheduledEvent** link = &eventList;
    while (*link) {
        ScheduledEvent* event = *link;
        if (event->kind < kind) {
            *link = event->next;
            delete event;
        } else {
            link = &event->next;
        }
    }
}

int eventCount()
{
    int n = 0;
    for (ScheduledEvent* e = eventList; e; e = e->next)
        ++n;
    return n;
}

void freeEvents()
{
    while (eventList)
        delete takeFirstEvent();
}
