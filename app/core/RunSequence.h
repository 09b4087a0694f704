// The road of the run command from the circuit on screen to a started
// run, without windows: check the circuit, make sure a plot window is
// active, lock the interface, write kyttrans.tmp, compile and load it,
// label the marked signals and start the run. The windows, the compiler
// and the run sit behind RunRoadSteps, so that each failure end can be
// tested with fakes.
#ifndef KYT_APP_RUNSEQUENCE_H
#define KYT_APP_RUNSEQUENCE_H

#include "strings/AppStrings.h"
#include "strings/CircuitStrings.h"
#include "strings/MessagesStrings.h"
#include "strings/SimulatorStrings.h"

#include <string>

enum class RunFinding;

class RunRoadSteps {
public:
    virtual ~RunRoadSteps() {}
    // A wizard runs: the pane keeps its tool.
    virtual bool wizardRunning() = 0;
    // Nothing marked, the normal cursor, the edit tool and its button.
    virtual void resetPane() = 0;
    // CircuitModel::checkRunnable's finding (CircuitModel.h).
    virtual RunFinding checkRunnable() = 0;
    virtual void clearKeyStates() = 0;
    // An active plot window, or a new one in a free slot; false when the
    // user declined to reuse window 1.
    virtual bool ensurePlotWindow() = 0;
    // Status field 1 of the main frame (a string id).
    virtual void setStatus(unsigned int text) = 0;
    // Editing commands off, Stop on; and back.
    virtual void lockForRun() = 0;
    virtual void unlock() = 0;
    virtual void setWaitCursor(bool on) = 0;
    // The circuit as model text into path: every write and the close
    // checked; false when anything failed (the old file stays).
    virtual bool writeCompilerFile(const std::string& path) = 0;
    // A CompileOutcome (compileroad/CompileRoad.h).
    virtual int compile(const std::string& path) = 0;
    // After a failed load: events, discrete flags and delay lines.
    virtual void resetSimulator() = 0;
    virtual void collectMarkedSymbols() = 0;
    // Deletes the previous run object and starts a new one.
    virtual void startRun(int startAtOnce) = 0;
    virtual std::string tempDir() = 0;
};

// What became of one run command.
enum RunRoadResult {
    RUN_STARTED = 0,
    RUN_NOT_RUNNABLE,   // a message told why
    RUN_NO_PLOT_WINDOW, // the user declined the plot window
    RUN_FAILED          // the failure end: unlocked, "Bearbeiten"
};

// Texts of the road.
const unsigned int kRunNoControlBlock = kStrNoControlBlock;
const unsigned int kRunNoCircuit = kStrNoCircuitToSimulate;
const unsigned int kResNoSignalMarked = kStrNoSignalMarked;
const unsigned int kResCompiling = kStrStateCompiling;
const unsigned int kResEditing = kStrStateEditing;
const unsigned int kResNoTempRights = kStrNoTempRights;

// Runs the road; messages go to the error reporter.
RunRoadResult runCircuitRoad(RunRoadSteps& steps, int startAtOnce);

#endif
