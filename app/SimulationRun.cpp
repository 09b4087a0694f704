#include "SimulationRun.h"

#include "Application.h"
#include "DeferredMessages.h"
#include "KytTiming.h"
#include "MainFrame.h"
#include "ModuleRegistry.h"
#include "PiLoader.h"
#include "PiProgram.h"
#include "ResetSimulator.h"
#include "RunState.h"
#include "SimOptionsDialog.h"
#include "SimOptionsModel.h"
#include "StatusBar.h"
#include "Timer.h"
#include "Workspace.h"

#include <chrono>
#include <string>
#include <vector>

namespace {

// The longest a run keeps the message loop waiting: short enough that
// Stop, moves and paints answer at once to a person.
const auto kRunSlice = std::chrono::milliseconds(10);
// Input is looked for this often within a slice (each look is a wineserver
// round trip), and the clock after this many state-machine calls.
const auto kQueueLookInterval = std::chrono::milliseconds(1);
const int kCallsPerClockLook = 8;

SimulationRun* theRun = nullptr;
WindowCL* dialogOwner = nullptr;

// The rows the x-axis combo offers: flag bit 0 set, in table order.
std::vector<std::string> listedVariables()
{
    std::vector<std::string> names;
    for (int i = 0; i < piProgram.nsymbols; ++i)
        if (piProgram.symbols[i].flags & PI_SAVE)
            names.push_back(piProgram.symbols[i].name ? piProgram.symbols[i].name : "");
    return names;
}

} // namespace

void RunPlotServices::clearPoints()
{
    pointSeen = false;
    ActivePlotServices::clearPoints();
}

void RunPlotServices::addPoint(double x, const double* values, int count)
{
    if (!pointSeen) {
        pointSeen = true;
        timingEvent("point");
    }
    ActivePlotServices::addPoint(x, values, count);
}

SimulationRun* currentSimulationRun()
{
    return theRun;
}

void setSimulationRun(SimulationRun* run)
{
    if (run == theRun)
        return;
    SimulationRun* old = theRun;
    theRun = run;
    delete old;
}

void setSimOptionsOwner(WindowCL* owner)
{
    dialogOwner = owner;
}

bool KytRunHost::confirmSettings(SimParams& settings, int startAtOnce)
{
    SimOptionsModel model(settings, listedVariables());
    if (!startAtOnce) {
        WindowCL* parent = dialogOwner ? dialogOwner : static_cast<WindowCL*>(edWin);
        SimOptionsDialog* dialog = new SimOptionsDialog(parent, model);
        const bool ok = dialog->ask();
        delete dialog;
        // Cancel leaves the workspace as it was.
        if (!ok)
            return false;
    }
    // The circuit's record with the dialog's values: FNAME and the modes stay.
    model.storeInto(settings);
    if (theWorkspace)
        theWorkspace->setSimParams(settings);
    return true;
}

void KytRunHost::getPlotParams(PlotParams& params)
{
    if (theWorkspace)
        theWorkspace->getPlotParams(params);
}

const char* KytRunHost::circuitName()
{
    return theWorkspace ? theWorkspace->circuitName.text() : "";
}

void KytRunHost::setMainStatus(int field, const char* text)
{
    if (edWin && edWin->getStatusBar())
        edWin->getStatusBar()->setFieldText(field, text);
}

void KytRunHost::setPlotStatus(int field, const char* text)
{
    ActivePlotServices::setStatus(field, text);
}

void KytRunHost::startStatusTimer(int milliseconds)
{
    owner.deleteTimer();
    owner.statusTimer = new Timer(owner.sim, &Simulator::SimulationStatus, static_cast<uint32_t>(milliseconds));
}

void KytRunHost::stopStatusTimer()
{
    owner.deleteTimer();
}

void KytRunHost::registerIdleTask()
{
    if (!theApplication || owner.idleTaskOn)
        return;
    theApplication->addIdleTask(&owner, &SimulationRun::runSlice);
    owner.idleTaskOn = true;
}

void KytRunHost::unlockEditing()
{
    // The idle list drops the task itself once the last step returned 1.
    owner.idleTaskOn = false;
    timingEvent("ended");
    if (theWorkspace)
        theWorkspace->setSimulationStoppedUi(0);
}

SimulationRun::SimulationRun()
    : host(*this), sim(nullptr), statusTimer(nullptr), idleTaskOn(false), started(false)
{
    sim = new Simulator(&plot, &host);
    setRunPauseWord(&sim->pauseWord);
}

SimulationRun::~SimulationRun()
{
    setRunPauseWord(nullptr);
    removeIdleTask();
    deleteTimer();
    // A run that still goes on (kyt is closing) ends here: the simulator
    // closes its result file and frees its method, then the loaded program
    // goes as at the end of a run, the libraries' unload hooks included.
    const bool stillRunning = running();
    delete sim;
    sim = nullptr;
    if (stillRunning) {
        resetSimulator();
        unloadPICode();
        ModuleRegistryFree();
        plot.setRunState(1);
        if (theWorkspace)
            theWorkspace->setSimulationStoppedUi(0);
    }
}

void SimulationRun::removeIdleTask()
{
    if (theApplication)
        theApplication->removeIdleTask(this, &SimulationRun::runSlice);
    idleTaskOn = false;
}

int SimulationRun::runSlice()
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point queueLook = start + kQueueLookInterval;
    for (;;) {
        for (int i = 0; i < kCallsPerClockLook; ++i) {
            if (sim->SimulationRunStep())
                return 1;
            // A message waits to be shown: the machine pauses until the
            // loop has shown it.
            if (sim->pauseWord)
                return 0;
        }
        const Clock::time_point now = Clock::now();
        if (now - start >= kRunSlice)
            return 0;
        if (now >= queueLook) {
            if (HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0)
                return 0;
            queueLook = now + kQueueLookInterval;
        }
    }
}

void SimulationRun::deleteTimer()
{
    delete statusTimer;
    statusTimer = nullptr;
}

bool SimulationRun::startSimulation(int startAtOnce)
{
    SimParams settings;
    if (theWorkspace)
        theWorkspace->getSimParams(settings);
    started = sim->startSimulation(settings, startAtOnce);
    return started;
}

void SimulationRun::stop()
{
    if (running())
        stopRequest = 1;
}

bool SimulationRun::running() const
{
    return started && !sim->hasEnded();
}
