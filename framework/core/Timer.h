// Timers of the framework. One Windows timer of 100 ms on the main frame (the
// pulse) drives them all: on every pulse the service calls each timer whose
// interval has passed, so a timer's period is its interval rounded up to the
// next pulse. A Timer belongs to its creator; deleting it stops it, also from
// inside its own callback.
#ifndef KYT_FRAMEWORK_TIMER_H
#define KYT_FRAMEWORK_TIMER_H

#include "Collections.h"
#include "MemberCall.h"

#include <cstdint>

// The millisecond counter (GetTickCount in the Windows programs). Tests
// install a fake one.
typedef uint32_t (*TickSource)();
void setTickSource(TickSource source);
uint32_t currentTick();

// Starts and stops the pulse: the Windows layer sets a 100 ms timer on the
// main frame's window.
class TimerPulse {
public:
    virtual ~TimerPulse() {}
    // The Windows timer id, 0 when no timer could be set (no main frame yet).
    virtual int start() = 0;
    virtual void stop(int id) = 0;
};
// null: no pulse (the timers then run only when dispatch is called).
void setTimerPulse(TimerPulse* pulse);

class Timer;

class TimerService {
public:
    TimerService();
    // Stops the pulse; timers still linked are let go, not deleted.
    ~TimerService();

    // Starts the pulse when it is not running and links the timer at the
    // front of the periodic or the one-shot list.
    void add(Timer* timer);
    // Unlinks the timer: the periodic list is searched first, then the one-shot list.
    void remove(Timer* timer);
    // On every pulse: calls the timers that are due.
    void dispatch();
    // Starts the pulse when timers are waiting and it is not running (the
    // main frame came after the first timer).
    void ensurePulse();
    int pulseId() const { return windowsTimerId; }

    // The service of the program, null before the first timer.
    static TimerService* current();
    // The service, created on first use.
    static TimerService& instance();
    // Deletes the service (at program end).
    static void destroyCurrent();

private:
    TimerService(const TimerService&) = delete;
    TimerService& operator=(const TimerService&) = delete;

    DListOf<Timer>* oneShots;
    DListOf<Timer>* periodics;
    int32_t windowsTimerId;
};

class Timer {
public:
    enum Kind { ONE_SHOT = 0, PERIODIC = 1 };

    template <typename O, typename T>
    Timer(O* object, void (T::*function)(), uint32_t intervalMs, Kind kind = PERIODIC)
        : call(object, function), interval(intervalMs), startTick(0), periodic(kind == PERIODIC ? 1 : 0),
          linked(0)
    {
        start();
    }
    // Stops the timer: a deleted Timer is never called again.
    virtual ~Timer();

    void stop();
    bool isLinked() const { return linked != 0; }

    MemberCall<void()> call;
    uint32_t interval;
    uint32_t startTick;
    int32_t periodic;

private:
    friend class TimerService;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void start();

    int32_t linked;
};

#endif
