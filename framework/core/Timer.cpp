#include "Timer.h"

#include <chrono>
#include <initializer_list>

namespace {

uint32_t steadyTick()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TickSource tickSource = steadyTick;
TimerPulse* pulse = nullptr;
TimerService* service = nullptr;

// Due when the interval has passed since the start, counted in unsigned
// 32-bit arithmetic: the difference stays right across the wrap of the tick
// counter every 49.7 days, where comparing start + interval with now would
// fire early or not for another 49.7 days.
bool isDue(const Timer* t, uint32_t now)
{
    return now - t->startTick >= t->interval;
}

} // namespace

void setTickSource(TickSource source)
{
    tickSource = source ? source : steadyTick;
}

uint32_t currentTick()
{
    return tickSource();
}

void setTimerPulse(TimerPulse* p)
{
    pulse = p;
}

TimerService::TimerService() : oneShots(nullptr), periodics(nullptr), windowsTimerId(0)
{
}

TimerService::~TimerService()
{
    if (windowsTimerId && pulse)
        pulse->stop(windowsTimerId);
    windowsTimerId = 0;
    for (DListOf<Timer>* list : {oneShots, periodics}) {
        if (!list)
            continue;
        DListIteratorOf<Timer> walk(*list);
        while (Timer* t = walk.next())
            t->linked = 0;
    }
    delete oneShots;
    delete periodics;
    if (service == this)
        service = nullptr;
}

TimerService* TimerService::current()
{
    return service;
}

TimerService& TimerService::instance()
{
    if (!service)
        service = new TimerService;
    return *service;
}

void TimerService::destroyCurrent()
{
    delete service;
    service = nullptr;
}

void TimerService::ensurePulse()
{
    if (windowsTimerId || !pulse)
        return;
    if ((oneShots && !oneShots->isEmpty()) || (periodics && !periodics->isEmpty()))
        windowsTimerId = pulse->start();
}

void TimerService::add(Timer* timer)
{
    if (!windowsTimerId && pulse)
        windowsTimerId = pulse->start();
    DListOf<Timer>*& list = timer->periodic ? periodics : oneShots;
    if (!list)
        list = new DListOf<Timer>;
    if (list->prepend(timer))
        timer->linked = 1;
}

void TimerService::remove(Timer* timer)
{
    if ((periodics && periodics->remove(timer)) || (oneShots && oneShots->remove(timer)))
        timer->linked = 0;
}

void TimerService::dispatch()
{
    const uint32_t now = currentTick();
    if (oneShots) {
        DListIteratorOf<Timer> walk(*oneShots);
        while (Timer* t = walk.next()) {
            if (!isDue(t, now))
                continue;
            // Unlinked before the call: the callback may delete its timer.
            walk.removeCurrent();
            t->linked = 0;
            t->call();
        }
    }
    if (periodics) {
        DListIteratorOf<Timer> walk(*periodics);
        while (Timer* t = walk.next()) {
            if (!isDue(t, now))
                continue;
            t->startTick = now;
            t->call();
        }
    }
}

void Timer::start()
{
    startTick = currentTick();
    TimerService::instance().add(this);
}

Timer::~Timer()
{
    stop();
}

void Timer::stop()
{
    if (linked && TimerService::current())
        TimerService::current()->remove(this);
    linked = 0;
}
