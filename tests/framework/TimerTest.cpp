#include "Timer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

uint32_t fakeNow = 0;

uint32_t fakeTick()
{
    return fakeNow;
}

class CountingPulse : public TimerPulse {
public:
    int starts = 0, stops = 0;
    int answer = 1;
    int start() override
    {
        ++starts;
        return answer;
    }
    void stop(int) override { ++stops; }
};

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeNow = 0;
        setTickSource(fakeTick);
        setTimerPulse(&pulse);
    }
    void TearDown() override
    {
        TimerService::destroyCurrent();
        setTimerPulse(nullptr);
        setTickSource(nullptr);
    }
    // Pulses every 100 ms up to and including the given tick.
    void pulsesUntil(uint32_t end)
    {
        while (fakeNow != end) {
            fakeNow += 100;
            TimerService::instance().dispatch();
        }
    }
    CountingPulse pulse;
};

class Owner {
public:
    std::vector<uint32_t> fired;
    std::string log;
    Timer* self = nullptr;
    Timer* other = nullptr;
    void tick() { fired.push_back(fakeNow); }
    void a() { log += 'a'; }
    void b() { log += 'b'; }
    void deleteSelf()
    {
        log += 'x';
        delete self;
        self = nullptr;
    }
    void deleteOther()
    {
        log += 'y';
        delete other;
        other = nullptr;
    }
};

TEST_F(TimerTest, APeriodTimerFiresOnThePulseAfterItsInterval)
{
    Owner o;
    Timer t(&o, &Owner::tick, 250);
    pulsesUntil(700);
    EXPECT_EQ(o.fired, (std::vector<uint32_t>{300, 600}));
    EXPECT_EQ(pulse.starts, 1);
    EXPECT_EQ(TimerService::instance().pulseId(), 1);
}

TEST_F(TimerTest, AOneShotFiresOnceAndIsUnlinked)
{
    Owner o;
    Timer t(&o, &Owner::tick, 150, Timer::ONE_SHOT);
    EXPECT_TRUE(t.isLinked());
    pulsesUntil(600);
    EXPECT_EQ(o.fired, (std::vector<uint32_t>{200}));
    EXPECT_FALSE(t.isLinked());
    EXPECT_EQ(t.interval, 150u) << "the Timer object stays with its owner";
}

TEST_F(TimerTest, TimersFireAcrossTheWrapOfTheTickCounter)
{
    fakeNow = 0xFFFFFF00u;
    Owner o;
    Timer t(&o, &Owner::tick, 250);
    Timer once(&o, &Owner::tick, 250, Timer::ONE_SHOT);
    pulsesUntil(0x0000002Cu);
    EXPECT_EQ(o.fired, (std::vector<uint32_t>{0x2Cu, 0x2Cu}));
}

TEST_F(TimerTest, ADeletedTimerIsNeverCalledAgain)
{
    Owner o;
    Timer* t = new Timer(&o, &Owner::tick, 100);
    Timer* once = new Timer(&o, &Owner::tick, 100, Timer::ONE_SHOT);
    delete t;
    delete once;
    pulsesUntil(500);
    EXPECT_TRUE(o.fired.empty());
}

TEST_F(TimerTest, ATimerDeletingItselfInItsCallbackLeavesTheOthersRunning)
{
    Owner o;
    Timer after(&o, &Owner::a, 100);
    o.self = new Timer(&o, &Owner::deleteSelf, 100);
    Timer before(&o, &Owner::b, 100); // linked in front: runs first
    pulsesUntil(300);
    EXPECT_EQ(o.log, "bxa" "ba" "ba");
    EXPECT_EQ(o.self, nullptr);

    Owner p;
    p.self = new Timer(&p, &Owner::deleteSelf, 100, Timer::ONE_SHOT);
    pulsesUntil(500);
    EXPECT_EQ(p.log, "x");
}

TEST_F(TimerTest, ATimerDeletingAnotherDuringTheDispatchStopsIt)
{
    // A one-shot runs before the periodic list is walked.
    Owner o;
    o.other = new Timer(&o, &Owner::a, 100);
    Timer killer(&o, &Owner::deleteOther, 100, Timer::ONE_SHOT);
    pulsesUntil(300);
    EXPECT_EQ(o.log, "y");

    // A periodic timer ahead of its victim in the same walk.
    Owner p;
    p.other = new Timer(&p, &Owner::a, 100);
    Timer ahead(&p, &Owner::deleteOther, 100);
    pulsesUntil(500);
    EXPECT_EQ(p.log, "yy");
}

TEST_F(TimerTest, ThePulseStartsOnceAndLaterWhenTheMainFrameCameLate)
{
    pulse.answer = 0; // no main frame yet
    Owner o;
    Timer t(&o, &Owner::tick, 100);
    EXPECT_EQ(TimerService::instance().pulseId(), 0);
    pulse.answer = 1;
    TimerService::instance().ensurePulse();
    TimerService::instance().ensurePulse();
    Timer u(&o, &Owner::tick, 100);
    EXPECT_EQ(pulse.starts, 2);
    EXPECT_EQ(TimerService::instance().pulseId(), 1);
    TimerService::destroyCurrent();
    EXPECT_EQ(pulse.stops, 1);
    EXPECT_FALSE(t.isLinked()) << "the end of the service lets its timers go";
}

TEST_F(TimerTest, StoppedTimersStayWithTheirOwner)
{
    Owner o;
    Timer t(&o, &Owner::tick, 100);
    pulsesUntil(100);
    t.stop();
    t.stop();
    pulsesUntil(300);
    EXPECT_EQ(o.fired, (std::vector<uint32_t>{100}));
}

} // namespace
