#include "RunSequence.h"

#include "CircuitModel.h"
#include "CompileRoad.h"
#include "ResString.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the steps; each answers as the case says.
class FakeSteps : public RunRoadSteps {
public:
    bool wizardRunning() override { return wizard; }
    void resetPane() override { note("reset pane"); }
    RunFinding checkRunnable() override { return runnable; }
    void clearKeyStates() override { note("clear keys"); }
    bool ensurePlotWindow() override { return note("plot window"), plotWindow; }
    void setStatus(unsigned int text) override { status = text; }
    void lockForRun() override { locked = true; }
    void unlock() override { locked = false; }
    void setWaitCursor(bool on) override { waiting = on; }
    bool writeCompilerFile(const std::string& path) override
    {
        written = path;
        return writes;
    }
    int compile(const std::string&) override { return note("compile"), outcome; }
    void resetSimulator() override { note("reset simulator"); }
    void collectMarkedSymbols() override { note("marked"); }
    void startRun(int startAtOnce) override { note("start " + std::to_string(startAtOnce)); }
    std::string tempDir() override { return "C:\\kyt\\tmp"; }

    void note(const std::string& s) { steps.push_back(s); }
    bool has(const std::string& s) const
    {
        for (const std::string& x : steps)
            if (x == s)
                return true;
        return false;
    }

    bool wizard = false;
    RunFinding runnable = RunFinding::Runnable;
    bool plotWindow = true;
    bool writes = true;
    int outcome = COMPILE_LOADED;
    unsigned int status = 0;
    bool locked = false;
    bool waiting = false;
    std::string written;
    std::vector<std::string> steps;
};

TEST(RunSequence, ACircuitThatCannotRunGivesItsMessageAndTouchesNothing)
{
    const struct {
        RunFinding runnable;
        unsigned int text;
    } cases[] = {{RunFinding::NoControlBlock, kRunNoControlBlock},
                 {RunFinding::NoCircuit, kRunNoCircuit},
                 {RunFinding::NoMarkedSignal, kResNoSignalMarked}};
    for (const auto& c : cases) {
        ErrorBoxScope boxes;
        FakeSteps steps;
        steps.runnable = c.runnable;
        EXPECT_EQ(runCircuitRoad(steps, 0), RUN_NOT_RUNNABLE);
        ASSERT_EQ(boxes.sink.boxes.size(), 1u);
        EXPECT_NE(boxes.sink.boxes[0].find(getResString(c.text)), std::string::npos);
        EXPECT_FALSE(steps.has("plot window"));
        EXPECT_TRUE(steps.written.empty());
        EXPECT_TRUE(steps.has("clear keys"));
    }
}

TEST(RunSequence, AWizardKeepsThePaneAndADeclinedPlotWindowWritesNothing)
{
    FakeSteps wizard;
    wizard.wizard = true;
    runCircuitRoad(wizard, 1);
    EXPECT_FALSE(wizard.has("reset pane"));

    FakeSteps declined;
    EXPECT_TRUE((runCircuitRoad(declined, 0), declined.has("reset pane")));
    declined = FakeSteps();
    declined.plotWindow = false;
    EXPECT_EQ(runCircuitRoad(declined, 0), RUN_NO_PLOT_WINDOW);
    EXPECT_TRUE(declined.written.empty());
    EXPECT_FALSE(declined.locked);
    EXPECT_EQ(declined.status, 0u);
}

TEST(RunSequence, EveryFailureEndsUnlockedAndEditingWithThePreviousRunKept)
{
    const struct {
        const char* name;
        bool writes;
        int outcome;
        size_t boxes;
        bool resetSimulator;
    } cases[] = {
        {"unwritable kyttrans.tmp", false, COMPILE_LOADED, 1, false},
        {"scanreset", true, COMPILE_NOT_STARTED, 0, false},
        {"parse", true, COMPILE_PARSE_FAILED, 0, false},
        {"code generation", true, COMPILE_GENERATION_FAILED, 0, false},
        {"registry", true, COMPILE_REGISTRY_FAILED, 0, false},
        {"load", true, COMPILE_LOAD_FAILED, 0, true},
    };
    for (const auto& c : cases) {
        ErrorBoxScope boxes;
        FakeSteps steps;
        steps.writes = c.writes;
        steps.outcome = c.outcome;
        EXPECT_EQ(runCircuitRoad(steps, 0), RUN_FAILED) << c.name;
        EXPECT_FALSE(steps.locked) << c.name;
        EXPECT_FALSE(steps.waiting) << c.name;
        EXPECT_EQ(steps.status, kResEditing) << c.name;
        EXPECT_TRUE(steps.has("clear keys")) << c.name;
        EXPECT_FALSE(steps.has("start 0")) << c.name;
        EXPECT_EQ(steps.has("reset simulator"), c.resetSimulator) << c.name;
        EXPECT_EQ(boxes.sink.boxes.size(), c.boxes) << c.name;
        // The compiler is not asked after a failed write.
        EXPECT_EQ(steps.has("compile"), c.writes) << c.name;
    }
    ErrorBoxScope boxes;
    FakeSteps unwritable;
    unwritable.writes = false;
    runCircuitRoad(unwritable, 0);
    ASSERT_EQ(boxes.sink.boxes.size(), 1u);
    EXPECT_NE(boxes.sink.boxes[0].find("C:\\kyt\\tmp"), std::string::npos);
}

TEST(RunSequence, ASuccessfulRoadLabelsTheSignalsThenStartsTheRun)
{
    FakeSteps steps;
    EXPECT_EQ(runCircuitRoad(steps, 1), RUN_STARTED);
    EXPECT_EQ(steps.written, "C:\\kyt\\tmp\\kyttrans.tmp");
    EXPECT_TRUE(steps.locked);
    EXPECT_EQ(steps.status, kResCompiling);
    // The state word the status bar shows while the compiler works.
    EXPECT_STREQ(getResString(kResCompiling), "\xDC" "bersetzen");
    const std::vector<std::string> tail(steps.steps.end() - 3, steps.steps.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"compile", "marked", "start 1"}));
}

} // namespace
