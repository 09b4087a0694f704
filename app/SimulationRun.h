// kyt's run object: one simulation of the loaded program, fed into the
// active plot window in idle time. It owns the engine's Simulator, made with
// kyt's RunHost (dialog 1104, the idle task, the 500 ms status timer, the
// status texts, the unlock at the end) and a PlotServices that reaches the
// active plot frame at each call. Its idle task runs the state machine for
// a time slice per idle pass: one call per pass spent nearly all of a run in
// wine's message round trips.
#ifndef KYT_APP_SIMULATIONRUN_H
#define KYT_APP_SIMULATIONRUN_H

#include "ActivePlotServices.h"
#include "Simulator.h"

class SimulationRun;
class Timer;

// The active plot frame, and the first point of a run in the timing trace.
class RunPlotServices : public ActivePlotServices {
public:
    void clearPoints() override;
    void addPoint(double x, const double* values, int count) override;

private:
    bool pointSeen = false;
};
class WindowCL;

// The framework's side of a run in kyt.
class KytRunHost : public RunHost {
public:
    explicit KytRunHost(SimulationRun& run) : owner(run) {}

    bool confirmSettings(SimParams& settings, int startAtOnce) override;
    void getPlotParams(PlotParams& params) override;
    const char* circuitName() override;
    void setMainStatus(int field, const char* text) override;
    void setPlotStatus(int field, const char* text) override;
    void startStatusTimer(int milliseconds) override;
    void stopStatusTimer() override;
    void registerIdleTask() override;
    void unlockEditing() override;

private:
    SimulationRun& owner;
};

class SimulationRun {
public:
    SimulationRun();
    // A run that still goes on loses its idle task and timer first; then
    // its result file is closed and the loaded program unloaded and the
    // libraries freed, as at the end of a run.
    ~SimulationRun();

    // The settings are the workspace's (the circuit's); false when the
    // dialog was cancelled (the loaded program is released then).
    bool startSimulation(int startAtOnce);
    // Command 9031: the run ends at its next step.
    void stop();
    bool running() const;

    Simulator& simulator() { return *sim; }

    // The idle task: state-machine calls until the slice has passed, input
    // waits, deferred messages wait to be shown or the run has ended (the
    // plot draws the new points in the same idle pass). 1 once the run has
    // ended (the task goes).
    int runSlice();

private:
    friend class KytRunHost;
    void removeIdleTask();
    void deleteTimer();

    RunPlotServices plot;
    KytRunHost host;
    Simulator* sim;
    Timer* statusTimer;
    bool idleTaskOn;
    bool started;
};

// The program's one run object; null before the first start.
SimulationRun* currentSimulationRun();
// Replaces it (the previous one is deleted); null deletes it.
void setSimulationRun(SimulationRun* run);

// The window dialog 1104 belongs to; null: the main frame.
void setSimOptionsOwner(WindowCL* owner);

#endif
