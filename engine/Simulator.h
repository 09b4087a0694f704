// One simulation run of the loaded PI program: the state machine simulmain,
// which does one small piece of work per call, and the idle step around it.
// The core needs no window: what the framework does for a run (the options
// dialog, the idle task, the status timer, the status texts, the unlock of
// the editing interface) goes through RunHost, and the outputs go to a
// plot window through PlotServices. The main program wraps it in its run
// object; the console runner drives it in a loop; tests record both sides.
#ifndef KYT_ENGINE_SIMULATOR_H
#define KYT_ENGINE_SIMULATOR_H

#include "Integrators.h"
#include "PlotServices.h"
#include "SimParams.h"

#include <chrono>
#include <string>
#include <vector>

class RunHost {
public:
    virtual ~RunHost() {}
    // Dialog 1104 on the settings (not shown when startAtOnce is set, but
    // its normalisation still applies); takes the values back and stores
    // the settings in the workspace. False when it was cancelled.
    virtual bool confirmSettings(SimParams& settings, int startAtOnce) = 0;
    // The workspace's plot defaults.
    virtual void getPlotParams(PlotParams& params) = 0;
    // The current circuit's name, shown in the plot's status text.
    virtual const char* circuitName() = 0;
    // Status field 1 or 2 of the main frame.
    virtual void setMainStatus(int field, const char* text) = 0;
    // Status field 1, 2 or 3 of the plot frame.
    virtual void setPlotStatus(int field, const char* text) = 0;
    // A periodic timer whose callback is Simulator::SimulationStatus.
    virtual void startStatusTimer(int milliseconds) = 0;
    virtual void stopStatusTimer() = 0;
    // Registers Simulator::SimulationRunStep as an idle task; the task goes
    // when the step returns 1.
    virtual void registerIdleTask() = 0;
    // Re-enables the editing interface and menus after a run.
    virtual void unlockEditing() = 0;
};

// What simulmain returns while there is more to do.
const int kSimulationGoesOn = 512;

// End codes of a run.
enum SimulationEndCode {
    SIM_END_NORMAL = 0,
    SIM_END_STOPPED = 1,
    SIM_END_RESTART = 2,      // the run ends and starts anew
    SIM_END_EXIT = 3,
    SIM_END_PARAMETERS = 4,   // wrong simulation parameters
    SIM_END_ACCURACY = 5,     // step below MINSTEP
    SIM_END_SCHEDULE = 6,     // an event in the past
    SIM_END_NO_STATES = 7,
    // A mended fault: a run-time error stop (a library's or the
    // interpreter's, in any section) ended the run as if it had ended
    // normally or been stopped. Its message has been shown already.
    SIM_END_ERROR = 8
};

// More events than this at one time end the run: a procedure that schedules
// itself at NOW would otherwise keep the run at that time for ever.
const long kMaxEventsAtOneTime = 100000;

// The status timer's interval.
const int kStatusInterval = 500;

class Simulator {
public:
    // plot: the plot window the run feeds; host: the framework's side.
    Simulator(PlotServices* plot, RunHost* host);
    ~Simulator();

    // The start of a run (the run object's startSimulation): the settings
    // dialog through the host unless startAtOnce; when it is cancelled,
    // frees the events, flags, delay lines, the loaded program and the
    // registry, unlocks and shows "Bearbeiten", and returns false.
    // Otherwise shows "Simulieren", clears the plot's points and hands it
    // the plot defaults when it asks for them, clears the math errors and
    // the run error flag, starts the status timer, registers the idle step
    // and returns true.
    bool startSimulation(const SimParams& settings, int startAtOnce);

    // One idle pass: nothing while paused; otherwise one simulmain call.
    // The floating-point flags of the run are noted before each step and at
    // the end. 0 while the run goes on (the task stays), 1 after the run has
    // ended (the task goes).
    int SimulationRunStep();

    // One state of the machine: 512 while there is more to do, else the
    // end code (and after an end code the final state 6 still runs).
    int simulmain();

    // "t=", "h=" and "tsim=" into the plot frame's status fields 1 to 3.
    void SimulationStatus();

    // The pause word: non-zero while deferred messages wait to be shown;
    // the idle step does nothing then.
    int pauseWord = 0;

    const SimParams& settings() const { return params; }
    // The end code of the last run that ended (-1 before).
    int lastEndCode() const { return finalCode; }
    bool hasEnded() const { return ended; }
    // The method that the set-up selected.
    int method() const { return methodInUse; }

private:
    int setUp();
    int acceptedPoint();
    int dueEvents();
    int outputAndNextStep();
    int integrationStep();
    int finish();

    int endWith(int code);
    // Methods 2 to 7 and 9 choose their own step size.
    bool variableStep() const;
    // The end code that a code run's result asks for, or -1.
    int endCodeOf(int result) const;
    void advanceDiscreteBuffers();
    // After a run of the model's code: the discrete buffers move on when it
    // changed a DISCRETE var; then the end code its result asks for, or -1.
    int settleCodeRun(int result);
    int failSetUp();
    // The result file did not open, or a write into it failed: says so once,
    // naming the file, and gives the error end.
    int failResultFile(unsigned int message);
    // After the records of a point: the error end when a write failed.
    int checkResultFile();
    // Floating-point flags raised so far into the math-error word; clears them.
    void noteFloatFlags();
    void endOfRun(int code);

    PlotServices* plot;
    RunHost* host;
    SimParams params;
    StepFunction step = nullptr;
    int methodInUse = -1;
    std::vector<double> work;   // the derivatives at a new point
    // The step's method left the new point's derivatives and result
    // (integratorShared) for state 2, which then runs no CONT code.
    bool newPointReady = false;
    // The first set-up after the program was loaded: MODE 1 reads simul.dat.
    bool firstSetUp = true;
    bool ended = false;
    int finalCode = -1;
    // The line naming the setting that refused the last set-up.
    std::string settingsProblem;
    double shownTime = 0;
    double shownStep = 0;
    // The events run at the current time so far.
    long eventsAtThisTime = 0;
    // The failure of the result file was reported in this run.
    bool resultFailureShown = false;
    std::chrono::steady_clock::time_point startTick;
};

// The text of the end of a run for an end code (codes 0 and 1 have none).
const char* endCodeMessage(int code);

#endif
