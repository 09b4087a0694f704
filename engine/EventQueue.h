// The simulator's list of scheduled events, sorted by time and then by
// descending priority. SCHED fills it; the simulator takes the due events.
#ifndef KYT_ENGINE_EVENTQUEUE_H
#define KYT_ENGINE_EVENTQUEUE_H

// The handler of an event: runs at the event's time with the current states
// and discrete buffers; returns statement result flags.
typedef int (*EventHandler)(double t, double* S, double* discreteCurrent,
                            double* discreteNext, int argument);

// Length of an event name, the NUL included.
const int kEventNameSize = 20;
// The time that stands for no time (AT EXIT).
const double kNoTime = 1e30;

struct ScheduledEvent {
    double time;
    int kind;                 // 0 for SCHED; kinds >= 1 survive a continued run,
                              // >= 2 also a new one
    EventHandler handler;
    int argument;             // the DISCRET section number for SCHED
    int priority;
    char name[kEventNameSize];
    ScheduledEvent* next;
};

// Inserts an event after every event that is earlier, and after the events at
// the same time (within epsilon) whose priority is not below the new one.
// Returns 1 without inserting when the time lies in the past (time + epsilon
// < current time); returns 0 without inserting when the current time is the
// no-time 1e30 (the run is ending); else 0.
int ScheduleEvent(double time, int kind, EventHandler handler, int priority,
                  int argument, const char* name);

// The first event, or null; walk on with next.
ScheduledEvent* firstEvent();
// Takes the first event off the list; the caller frees it with freeEvent.
ScheduledEvent* takeFirstEvent();
void freeEvent(ScheduledEvent* event);
// Drops every event whose kind is below kind.
void dropEventsBelowKind(int kind);
int eventCount();
// Frees every event.
void freeEvents();

#endif
