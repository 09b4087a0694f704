// The run command on screen: the road of RunSequence over the main frame's
// pane, tool bar and status bar, the workspace's plot slots and busy state,
// the circuit writer and the compiler, ending in a new run object.
#include "MainFrame.h"

#include "CompileRoad.h"
#include "GedPane.h"
#include "KytTiming.h"
#include "PiProgram.h"
#include "ResString.h"
#include "ResetSimulator.h"
#include "RunRoad.h"
#include "RunSequence.h"
#include "SimulationRun.h"
#include "StatusBar.h"
#include "Workspace.h"

namespace {

class FrameRunSteps : public RunRoadSteps {
public:
    explicit FrameRunSteps(MainFrame& f) : frame(f) {}

    bool wizardRunning() override { return theWorkspace && theWorkspace->busy && theWorkspace->wizardActive; }
    void resetPane() override
    {
        if (GedPane* pane = frame.getPane())
            pane->model().unmarkAll();
        frame.resetTool();
    }
    RunFinding checkRunnable() override
    {
        GedPane* pane = frame.getPane();
        return pane ? pane->model().checkRunnable() : RunFinding::NoCircuit;
    }
    void clearKeyStates() override
    {
        if (GedPane* pane = frame.getPane())
            pane->controller().ctrlDown = 0;
    }
    bool ensurePlotWindow() override
    {
        // An active plot window is fed again; otherwise one in a free slot.
        return theWorkspace && theWorkspace->openPlotWindow(nullptr) == 0 && plotOszi;
    }
    void setStatus(unsigned int text) override
    {
        if (frame.getStatusBar())
            frame.getStatusBar()->setFieldText(kStateField, getResString(text));
    }
    void lockForRun() override
    {
        if (theWorkspace)
            theWorkspace->setSimulationRunningUi(0);
    }
    void unlock() override
    {
        if (theWorkspace)
            theWorkspace->setSimulationStoppedUi(0);
    }
    void setWaitCursor(bool on) override
    {
        if (GedPane* pane = frame.getPane())
            pane->setCursorShape(on ? kWaitCursor : kToolCursorNormal);
    }
    bool writeCompilerFile(const std::string& path) override
    {
        GedPane* pane = frame.getPane();
        const bool written = pane && pane->model().saveCircuit(path.c_str(), 1, 0);
        if (written)
            timingEvent("written");
        return written;
    }
    int compile(const std::string& path) override
    {
        CompileRequest request;
        request.generated = [] { timingEvent("compiled"); };
        const int outcome = compileModelFile(path.c_str(), request);
        if (outcome == COMPILE_LOADED)
            timingEvent("loaded");
        return outcome;
    }
    void resetSimulator() override { ::resetSimulator(); }
    void collectMarkedSymbols() override
    {
        if (GedPane* pane = frame.getPane())
            ::collectMarkedSymbols(pane->model(), piProgram);
    }
    void startRun(int startAtOnce) override
    {
        // The previous run goes only now, when the new program is loaded.
        SimulationRun* run = new SimulationRun;
        setSimulationRun(run);
        run->startSimulation(startAtOnce);
    }
    std::string tempDir() override { return theWorkspace ? theWorkspace->TEMPDIR.text() : "."; }

private:
    MainFrame& frame;
};

} // namespace

int MainFrame::runCircuit(int startAtOnce)
{
    // Start is off while a run goes on; a posted command must not load a
    // program over the running one either.
    if (SimulationRun* running = currentSimulationRun())
        if (running->running())
            return 0;
    timingEvent("run");
    FrameRunSteps steps(*this);
    return runCircuitRoad(steps, startAtOnce) == RUN_STARTED ? 1 : 0;
}

int MainFrame::stopRun()
{
    SimulationRun* run = currentSimulationRun();
    if (!run || !run->running())
        return 0;
    run->stop();
    return 1;
}
