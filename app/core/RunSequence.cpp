#include "RunSequence.h"

#include "CircuitModel.h"
#include "CompileRoad.h"
#include "ErrorReporter.h"
#include "ResString.h"

namespace {

RunRoadResult failureEnd(RunRoadSteps& steps)
{
    steps.setWaitCursor(false);
    steps.unlock();
    steps.clearKeyStates();
    steps.setStatus(kResEditing);
    return RUN_FAILED;
}

} // namespace

RunRoadResult runCircuitRoad(RunRoadSteps& steps, int startAtOnce)
{
    if (!steps.wizardRunning())
        steps.resetPane();
    const RunFinding runnable = steps.checkRunnable();
    if (runnable != RunFinding::Runnable) {
        const unsigned int text = runnable == RunFinding::NoControlBlock ? kRunNoControlBlock
                                  : runnable == RunFinding::NoCircuit    ? kRunNoCircuit
                                                                          : kResNoSignalMarked;
        reportError(ERR_ERROR, getResString(text));
        steps.clearKeyStates();
        return RUN_NOT_RUNNABLE;
    }
    if (!steps.ensurePlotWindow()) {
        steps.clearKeyStates();
        return RUN_NO_PLOT_WINDOW;
    }
    steps.setStatus(kResCompiling);
    steps.lockForRun();
    steps.setWaitCursor(true);

    const std::string dir = steps.tempDir();
    const std::string path = dir + "\\kyttrans.tmp";
    if (!steps.writeCompilerFile(path)) {
        // Not the end of the program: the circuit on screen must survive.
        reportError(ERR_ERROR, getResString(kResNoTempRights), dir.c_str());
        return failureEnd(steps);
    }
    const int outcome = steps.compile(path);
    if (outcome == COMPILE_LOAD_FAILED)
        steps.resetSimulator();
    if (outcome != COMPILE_LOADED)
        return failureEnd(steps);
    steps.collectMarkedSymbols();
    steps.setWaitCursor(false);
    steps.startRun(startAtOnce);
    return RUN_STARTED;
}
