// The services that PI code calls in the simulator: the event list, the
// discrete flags and the delay lines.
#include "PiTestSupport.h"

#include "DelayLines.h"
#include "DiscreteFlags.h"
#include "EventQueue.h"
#include "ResetSimulator.h"

#include <cfloat>

using namespace pitest;

namespace {

class SimulatorServicesTest : public PiEngineTest {
protected:
    void TearDown() override
    {
        resetSimulator();
        PiEngineTest::TearDown();
    }
};

int noHandler(double, double*, double*, double*, int) { return 0; }

std::vector<std::string> eventNames()
{
    std::vector<std::string> names;
    for (ScheduledEvent* e = firstEvent(); e; e = e->next)
        names.push_back(e->name);
    return names;
}

// ---- events

TEST_F(SimulatorServicesTest, EventsRunByTimeThenDescendingPriorityThenInOrder)
{
    runState.currentTime = 0;
    const double eps = runState.epsilon;
    EXPECT_EQ(0, ScheduleEvent(2, 0, noHandler, 1, 0, "t2p1"));
    EXPECT_EQ(0, ScheduleEvent(1, 0, noHandler, 0, 0, "t1"));
    EXPECT_EQ(0, ScheduleEvent(2, 0, noHandler, 5, 0, "t2p5"));
    EXPECT_EQ(0, ScheduleEvent(2 + eps / 2, 0, noHandler, 1, 0, "t2p1b"));  // the same time
    EXPECT_EQ(0, ScheduleEvent(2 - eps / 2, 0, noHandler, 9, 0, "t2p9"));
    EXPECT_EQ(0, ScheduleEvent(1e30, 0, noHandler, 0, 0, "exit"));
    EXPECT_EQ(0, ScheduleEvent(3, 0, noHandler, 0, 0, "t3"));
    EXPECT_EQ((std::vector<std::string>{"t1", "t2p9", "t2p5", "t2p1", "t2p1b", "t3", "exit"}),
              eventNames());
}

TEST_F(SimulatorServicesTest, EventsInThePastOrAtTheEndAreNotInserted)
{
    runState.currentTime = 5;
    EXPECT_EQ(1, ScheduleEvent(4.9, 0, noHandler, 0, 0, "past"));
    EXPECT_EQ(0, ScheduleEvent(5 - runState.epsilon / 2, 0, noHandler, 0, 0, "now"));
    runState.currentTime = 1e30;
    EXPECT_EQ(0, ScheduleEvent(1e30, 0, noHandler, 0, 0, "late"));
    EXPECT_EQ((std::vector<std::string>{"now"}), eventNames());
}

TEST_F(SimulatorServicesTest, EventRecordsKeepTheirFieldsAndCanBeTakenOrDropped)
{
    runState.currentTime = 0;
    ScheduleEvent(1, 0, noHandler, 3, 7, "a name longer than twenty");
    ScheduleEvent(2, 1, noHandler, 0, 0, "kind1");
    ScheduleEvent(3, 2, noHandler, 0, 0, "kind2");
    const ScheduledEvent* e = firstEvent();
    EXPECT_EQ(1, e->time);
    EXPECT_EQ(3, e->priority);
    EXPECT_EQ(7, e->argument);
    EXPECT_EQ(&noHandler, e->handler);
    EXPECT_STREQ("a name longer than ", e->name);

    dropEventsBelowKind(1);
    EXPECT_EQ((std::vector<std::string>{"kind1", "kind2"}), eventNames());
    ScheduledEvent* taken = takeFirstEvent();
    EXPECT_STREQ("kind1", taken->name);
    EXPECT_EQ(nullptr, taken->next);
    freeEvent(taken);
    EXPECT_EQ(1, eventCount());
    resetSimulator();
    EXPECT_EQ(0, eventCount());
    EXPECT_EQ(nullptr, takeFirstEvent());
}

// ---- discrete flags

TEST_F(SimulatorServicesTest, DiscreteFlagOverPhasesAndIndexes)
{
    struct Case {
        int phase;
        int index;
        int stored;    // the flag before the call
        int value;
        int result;
        int after;     // the flag after the call
        bool marked;   // the step is marked as changed
    };
    const Case cases[] = {
        // edge flags: a result only in phase 2, a mark on rising edges in phase 0
        {2, 1, 0, 5, 1, 5, false},
        {2, 1, 5, 3, 0, 3, false},
        {2, 1, 5, 0, 0, 0, false},
        {0, 1, 0, 1, 0, 0, true},
        {0, 1, 1, 1, 0, 1, false},
        {0, 1, 1, 0, 0, 1, false},
        {1, 1, 0, 1, 0, 0, false},
        // level flags -n: any difference marks in phase 0; stored in phase 2
        {2, -2, 0, 4, 4, 4, false},
        {0, -2, 0, 4, 0, 0, true},
        {0, -2, 4, 4, 4, 4, false},
        {1, -2, 0, 4, 0, 0, false},
        // the immediate flag
        {2, 0, 0, 3, 1, 0, false},
        {2, 0, 0, 0, 0, 0, false},
        {0, 0, 0, 3, 0, 0, true},
        {1, 0, 0, 3, 0, 0, false},
    };
    allocDiscreteFlags(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "phase " << c.phase << " index " << c.index
                                        << " value " << c.value);
        int slot = c.index < 0 ? -c.index : c.index;
        if (slot) {
            runState.phase = 2;
            DiscreteFlag(c.index < 0 ? -slot : slot, c.stored);
        }
        clearStepFlagChanged();
        runState.phase = c.phase;
        EXPECT_EQ(c.result, DiscreteFlag(c.index, c.value));
        if (slot) {
            EXPECT_EQ(c.after, discreteFlagValue(slot));
        }
        EXPECT_EQ(c.marked, stepFlagChanged());
    }
    EXPECT_TRUE(queued.empty());
}

TEST_F(SimulatorServicesTest, AFlagIndexOutsideTheArrayIsRefused)
{
    allocDiscreteFlags(2);
    for (int index : {3, -3, 0x7fffffff, static_cast<int>(0x80000000u)}) {
        SCOPED_TRACE(index);
        queued.clear();
        runState.errorFlag = 0;
        EXPECT_EQ(0, DiscreteFlag(index, 1));
        ASSERT_EQ(1u, queued.size());
        EXPECT_EQ(ERR_ERROR, queued[0].level);
        EXPECT_NE(std::string::npos, queued[0].text.find(std::to_string(index)));
        EXPECT_EQ(kRunErrorStop, runState.errorFlag);
    }
    EXPECT_EQ(0, discreteFlagValue(3));
}

// ---- delay lines

TEST_F(SimulatorServicesTest, ADelayLineReadsItsInitialValueBeforeAnyAppend)
{
    allocDelayLines(2);
    EXPECT_EQ(0, DelayRead(0, 5));
    DelayInit(1, 3);
    EXPECT_EQ(3, DelayRead(1, -1e300));
    EXPECT_EQ(3, DelayRead(1, 1e300));
    DelayInit(7, 1);   // no such line: nothing happens
    DelayInit(-1, 1);
    EXPECT_EQ(0, DelayRead(0, 5));
    EXPECT_TRUE(queued.empty());
}

TEST_F(SimulatorServicesTest, ReadsBetweenRecordsHoldTheEarlierValueInBothDirections)
{
    allocDelayLines(1);
    setDelayTime(0, 100);
    DelayInit(0, -1);
    for (int k = 1; k <= 5; ++k)
        DelayAppend(0, k, 10 * k);
    struct Read {
        double t;
        double value;
    };
    // Forward, backward, jumps, exact record times, outside both ends.
    const Read reads[] = {{0.5, -1}, {1, 10},  {1.5, 10}, {4.99, 40}, {5, 50},   {9, 50},
                          {2.5, 20}, {2, 20},  {1.9, 10}, {0.9, -1},  {3.5, 30}, {1 - 1e-15, 10},
                          {-DBL_MAX, -1}};
    for (const Read& r : reads) {
        SCOPED_TRACE(r.t);
        EXPECT_EQ(r.value, DelayRead(0, r.t));
    }
}

TEST_F(SimulatorServicesTest, AppendsKeepWhatTheDelayStillNeeds)
{
    allocDelayLines(1);
    setDelayTime(0, 0.3);
    for (int k = 0; k <= 10; ++k)
        DelayAppend(0, k / 10.0, k);
    // Kept: the records from t - 0.3 on, and the newest earlier one.
    EXPECT_EQ(5, delayRecordCount(0));
    EXPECT_EQ(7, DelayRead(0, 0.7));
    EXPECT_EQ(6, DelayRead(0, 0.69));
    // Before the kept records the line reads its initial value.
    EXPECT_EQ(0, DelayRead(0, 0.2));

    // Appending twice at one time is allowed.
    DelayAppend(0, 1.0, 11);
    EXPECT_EQ(6, delayRecordCount(0));
    EXPECT_EQ(11, DelayRead(0, 1.0));
    EXPECT_TRUE(queued.empty());

    clearDelayLines();
    EXPECT_EQ(0, delayRecordCount(0));
    EXPECT_EQ(0, DelayRead(0, 1.0));
}

TEST_F(SimulatorServicesTest, AppendsOnlyInPhase2)
{
    allocDelayLines(1);
    runState.phase = 0;
    DelayAppend(0, 1, 5);
    runState.phase = 1;
    DelayAppend(0, 1, 5);
    EXPECT_EQ(0, delayRecordCount(0));
}

TEST_F(SimulatorServicesTest, AnAppendOutOfTimeOrderStopsTheRunAndInsertsNothing)
{
    allocDelayLines(1);
    setDelayTime(0, 10);
    DelayAppend(0, 3, 30);
    DelayAppend(0, 2, 20);
    EXPECT_EQ(1, delayRecordCount(0));
    EXPECT_EQ(30, DelayRead(0, 3));
    ASSERT_EQ(1u, queued.size());
    EXPECT_EQ(ERR_ERROR, queued[0].level);
    EXPECT_EQ(getResString(20264), queued[0].text);
    EXPECT_EQ(kRunErrorStop, runState.errorFlag);
}

TEST_F(SimulatorServicesTest, ALineIndexOutsideIsRefused)
{
    allocDelayLines(2);
    setDelayTime(2, 1);
    DelayAppend(-1, 1, 1);
    EXPECT_EQ(0, DelayRead(5, 1));
    ASSERT_EQ(3u, queued.size());
    EXPECT_NE(std::string::npos, queued[0].text.find(" 2 "));
    EXPECT_NE(std::string::npos, queued[1].text.find(" -1 "));
    EXPECT_NE(std::string::npos, queued[2].text.find(" 5 "));
    EXPECT_EQ(kRunErrorStop, runState.errorFlag);
}

TEST_F(SimulatorServicesTest, WhileCompilingNothingIsQueuedAndNothingStops)
{
    allocDelayLines(1);
    allocDiscreteFlags(1);
    setOption(OPTION_COMPILE_PHASE);
    DelayRead(4, 1);
    DiscreteFlag(9, 1);
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(0, runState.errorFlag);
}

} // namespace
