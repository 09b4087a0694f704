#include "Simulator.h"

#include "Assert.h"
#include "DelayLines.h"
#include "DiscreteFlags.h"
#include "ErrorReporter.h"
#include "EventQueue.h"
#include "FloatFlags.h"
#include "ModuleRegistry.h"
#include "NumberFormat.h"
#include "PiInterpreter.h"
#include "PiLoader.h"
#include "ResetSimulator.h"
#include "ResString.h"
#include "ResultFile.h"
#include "RunState.h"
#include "strings/SimulatorStrings.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Every number a run computes with must be finite.
bool finite(double v)
{
    return std::isfinite(v);
}

// Mended: wrong settings ended in endless runs (a step of 0 or backwards, h
// = 0 at a pending event), read past the record buffer (XVAR) or overran
// the name. They end the run at once with the parameter message.
// "Die Einstellung "%s" (%s = %s) muss größer als 0 sein." and its kin:
// a run refused for its settings names the first setting it cannot use.

// The settings' names as the simulation options dialog shows them: the
// texts 20648 to 20653 of the string table.
struct SettingRow {
    const char* key;
    unsigned label;
    double SimParams::*value;
    unsigned rule;
};
const SettingRow kNumberSettings[] = {
    {"INITSTEP", kStrSettingInitStep, &SimParams::INITSTEP, kStrSettingAboveZero},
    {"MINSTEP", kStrSettingMinStep, &SimParams::MINSTEP, kStrSettingNotNegative},
    {"MAXSTEP", kStrSettingMaxStep, &SimParams::MAXSTEP, kStrSettingAboveZero},
    {"RELERR", kStrSettingRelErr, &SimParams::RELERR, kStrSettingFinite},
    {"ABSERR", kStrSettingAbsErr, &SimParams::ABSERR, kStrSettingFinite},
    {"LIMIT", kStrSettingLimit, &SimParams::LIMIT, kStrSettingAboveZero},
};

// Extra arguments beyond those the text uses are ignored.
std::string formatted(unsigned id, const char* a, const char* b, const char* c)
{
    char text[400];
    snprintf(text, sizeof text, getResString(id), a, b, c);
    return text;
}

// The first setting the run cannot use, as a line naming it; empty when
// every setting is usable. The error bounds need only be finite: they are
// read by the variable-step methods alone.
std::string unusableSetting(const SimParams& s, int outputs)
{
    for (const SettingRow& row : kNumberSettings) {
        const double v = s.*row.value;
        const bool usable = finite(v) && (row.rule != kStrSettingAboveZero || v > 0) &&
                            (row.rule != kStrSettingNotNegative || v >= 0);
        if (!usable)
            return formatted(row.rule, getResString(row.label), row.key,
                             formatDouble(v).text());
    }
    char number[32];
    if (s.MODE < 0 || s.MODE > 2) {
        snprintf(number, sizeof number, "%d", s.MODE);
        return formatted(kStrSettingMode, number, "", "");
    }
    if (memchr(s.FNAME, 0, sizeof s.FNAME) == nullptr)
        return formatted(kStrSettingResultFile, "", "", "");
    if (s.XVAR < 0 || s.XVAR >= outputs) {
        char count[32];
        snprintf(number, sizeof number, "%d", s.XVAR);
        snprintf(count, sizeof count, "%d", outputs);
        return formatted(kStrSettingXAxis, number, count, "");
    }
    return std::string();
}

// "Die Schrittweite %s = %g ist zu klein: die Zeit t = %g schreitet damit
// nicht fort!"
// "Die Prozedur %s lief zur Zeit t = %g mehr als %ld Mal: sie plant sich wohl
// immer wieder zur selben Zeit ein!"

// Mended: a step that the time cannot resolve (t + h == t, or below the
// time tolerance, e.g. INITSTEP 1e-300) was taken and the run never moved
// on. Such a setting is refused before the run.
bool stepAdvances(const char* name, double t, double h)
{
    if (h >= kTimeEpsilon && t + h != t)
        return true;
    reportError(ERR_ERROR, getResString(kStrStepTooSmall), name, h, t);
    return false;
}

// A step may grow by this part of itself to end at an event rather than a
// rounding error before it.
const double kEventSlack = 1e-6;

// Within rounding of the time t: the times of two points that differ only by
// the rounding of a sum of steps.
bool withinRounding(double a, double t, double epsilon)
{
    const double tolerance = 4 * DBL_EPSILON * std::fabs(t);
    return std::fabs(a - t) <= (tolerance > epsilon ? tolerance : epsilon);
}

// A procedure's event is named after the procedure.
const char* eventName(const ScheduledEvent& e)
{
    const PiProgram& p = piProgram;
    if (e.handler == runDiscreteSection && e.argument >= 0 && e.argument < p.ndiscr &&
        p.discrete[e.argument].name[0])
        return p.discrete[e.argument].name;
    return e.name;
}

} // namespace

const char* endCodeMessage(int code)
{
    switch (code) {
    case SIM_END_NORMAL:
    case SIM_END_STOPPED:
    case SIM_END_ERROR:
        return nullptr;
    case SIM_END_EXIT:
        return getResString(kStrExitMessage);
    case SIM_END_PARAMETERS:
        return getResString(kStrBadSimulationSettings);
    case SIM_END_ACCURACY:
        return getResString(kStrAccuracyError);
    case SIM_END_SCHEDULE:
        return getResString(kStrScheduleError);
    case SIM_END_NO_STATES:
        return getResString(kStrStatesNotDeclared);
    default:
        return getResString(kStrInternalUnknownSimResult);
    }
}

Simulator::Simulator(PlotServices* plotWindow, RunHost* runHost)
    : plot(plotWindow), host(runHost), params(defaultSimParams())
{
}

Simulator::~Simulator()
{
    // A run given up half-way leaves nothing behind: the next run must
    // find no result file and no record buffer.
    if (step)
        freeIntegrator(methodInUse);
    if (!ended && runState.state != 1)
        ResultFileClose();
}

bool Simulator::startSimulation(const SimParams& settings, int startAtOnce)
{
    params = settings;
    ended = false;
    if (host && !host->confirmSettings(params, startAtOnce)) {
        resetSimulator();
        unloadPICode();
        ModuleRegistryFree();
        host->unlockEditing();
        host->setMainStatus(1, getResString(kStrStateEditing));
        ended = true;
        return false;
    }
    if (host)
        host->setMainStatus(1, getResString(kStrStateSimulating));
    if (!plot) {
        reportError(ERR_FATAL, "%s", getResString(kStrInternalNoPlot));
        abort();
    }
    plot->clearPoints();
    if (plot->newSettingsFlag()) {
        plot->clearNewSettingsFlag();
        PlotParams plotParams = {1, 1, 1.0, 1.0, 0.0, 0.0};
        if (host)
            host->getPlotParams(plotParams);
        plot->setPlotParams(plotParams);
    }
    runState.mathErrors = 0;
    resetRunErrors();
    resultFailureShown = false;
    runState.state = 1;
    pauseWord = 0;
    if (host)
        host->startStatusTimer(kStatusInterval);
    startTick = std::chrono::steady_clock::now();
    if (host)
        host->registerIdleTask();
    return true;
}

int Simulator::SimulationRunStep()
{
    // The program was unloaded with the end of the run: nothing to step.
    if (ended)
        return 1;
    if (pauseWord)
        return 0;
    const int result = simulmain();
    if (result == kSimulationGoesOn || result == SIM_END_RESTART || runState.state == 6)
        return 0;
    // The flags of the last accepted point, its events and the end.
    noteFloatFlags();
    endOfRun(result);
    return 1;
}

int Simulator::simulmain()
{
    switch (runState.state) {
    case 1:
        return setUp();
    case 2:
        return acceptedPoint();
    case 3:
        return dueEvents();
    case 4:
        return outputAndNextStep();
    case 5:
        return integrationStep();
    case 6:
        return finish();
    default:
        // A state that cannot be: the check's message and the end.
        AssertFailed("0", "SIMUL", 3332);
    }
}

void Simulator::SimulationStatus()
{
    double t = shownTime;
    double h = shownStep;
    if (!ended && piProgram.stack) {
        t = piProgram.t[runState.current];
        h = runState.stepSize[runState.current];
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - startTick).count();
    char text[64];
    if (!host)
        return;
    snprintf(text, sizeof text, "t=%12.6g", t);
    host->setPlotStatus(1, text);
    snprintf(text, sizeof text, "h=%12.6g", h);
    host->setPlotStatus(2, text);
    snprintf(text, sizeof text, "tsim=%.1f", seconds);
    host->setPlotStatus(3, text);
}

// The floating-point flags are tested as the run's signal handler would have
// caught an exception: everything from the set-up to the end of the run
// counts, except a rejected trial step (see integrationStep). They are
// sticky, so a test once per step before it is taken, and once at the end,
// sees them all.
void Simulator::noteFloatFlags()
{
    if (raisedWatchedExceptions()) {
        runState.mathErrors |= kMathErrorSignal;
        clearWatchedExceptions();
    }
}

int Simulator::endWith(int code)
{
    runState.state = 6;
    runState.endCode = code;
    return code;
}

bool Simulator::variableStep() const
{
    return (methodInUse > kMethodRungeKutta4 && methodInUse < kMethodEuler) ||
           methodInUse == kMethodDassl;
}

int Simulator::endCodeOf(int result) const
{
    if (result & PI_RESULT_ERROR)
        return SIM_END_ERROR;
    if (result & PI_RESULT_EXIT)
        return SIM_END_EXIT;
    if (result & PI_RESULT_RESTART)
        return SIM_END_RESTART;
    return -1;
}

void Simulator::advanceDiscreteBuffers()
{
    runState.discreteCurrent = runState.discreteNext;
    runState.discreteNext = runState.discreteCurrent % 2 + 1;
}

int Simulator::settleCodeRun(int result)
{
    if (result & PI_RESULT_DISCRETE)
        advanceDiscreteBuffers();
    return endCodeOf(result);
}

int Simulator::failSetUp()
{
    if (step)
        freeIntegrator(methodInUse);
    step = nullptr;
    ResultFileClose();
    return SIM_END_PARAMETERS;
}

int Simulator::failResultFile(unsigned int message)
{
    if (!resultFailureShown)
        reportError(ERR_ERROR, getResString(message), resultFileName());
    resultFailureShown = true;
    return SIM_END_ERROR;
}

int Simulator::checkResultFile()
{
    if (!resultFileWriteFailed())
        return -1;
    return endWith(failResultFile(kStrResultFileNotWritten));
}

// State 1, the set-up.
int Simulator::setUp()
{
    RunState& rs = runState;
    PiProgram& p = piProgram;

    // 1. The method, and the settings it works with. Flags that the host
    // left set before the run are not the model's.
    rs.mathErrors = 0;
    clearWatchedExceptions();
    step = nullptr;
    settingsProblem = unusableSetting(params, countOutputs());
    if (!settingsProblem.empty())
        return SIM_END_PARAMETERS;
    methodInUse = p.nstates > 0 ? params.IALG : kMethodNone;
    step = selectIntegrator(params, methodInUse);
    if (!step && (methodInUse < 0 || methodInUse >= kIntegrationMethodCount)) {
        char number[32];
        snprintf(number, sizeof number, "%d", params.IALG);
        settingsProblem = formatted(kStrSettingMethod, number, "", "");
    }
    if (!step || !hasDiscreteFlags())
        return failSetUp();

    // 2.
    stopRequest = 0;
    newPointReady = false;
    clearStepFlagChanged();
    rs.phase = 2;

    // A program just loaded stands at its initial values, whatever an
    // earlier program left in the buffer indexes and step sizes.
    if (firstSetUp) {
        rs.current = 0;
        rs.next = 1;
        rs.discreteCurrent = 0;
        rs.discreteNext = 1;
        rs.stepSize[0] = rs.stepSize[1] = rs.stepSize[2] = 0;
    }

    // 3. By MODE. Mended: going on (MODE 2) with a program that never ran
    // skipped its INIT code, so nothing was computed or scheduled; such a
    // program starts as a new run.
    const int mode = params.MODE == 2 && firstSetUp ? 0 : params.MODE;
    int initResult = 0;
    switch (mode) {
    case 0:
        integratorShared.rejected = false;
        rs.current = 0;
        rs.next = 1;
        rs.discreteCurrent = 0;
        rs.discreteNext = 1;
        dropEventsBelowKind(2);
        for (int i = 1; i <= discreteFlagCount(); ++i)
            DiscreteFlag(i, 0);
        if (const int opened = ResultFileOpen(params, params.RMODE)) {
            failSetUp();
            return opened == 1 ? failResultFile(kStrResultFileNotOpened) : SIM_END_PARAMETERS;
        }
        if (params.HMODE == 1)
            ResultFileHeader(params, plot, host ? host->circuitName() : "");
        if (resultFileWriteFailed()) {
            failSetUp();
            return failResultFile(kStrResultFileNotWritten);
        }
        clearDelayLines();
        runStartHooks();
        initResult = runInitCode(p.t[0], 1);
        break;
    case 1:
        integratorShared.rejected = false;
        dropEventsBelowKind(1);
        if (firstSetUp) {
            // The snapshot goes on in buffer 1: the INIT code writes buffer 0.
            const int restored = SimulationRestore(1, 1);
            if (restored > 0)
                return failSetUp();
            if (restored == 0) {
                rs.current = rs.discreteCurrent = 1;
                rs.next = rs.discreteNext = 2;
            }
        }
        if (const int opened = ResultFileOpen(params, params.RMODE)) {
            failSetUp();
            return opened == 1 ? failResultFile(kStrResultFileNotOpened) : SIM_END_PARAMETERS;
        }
        if (params.HMODE == 1)
            ResultFileHeader(params, plot, host ? host->circuitName() : "");
        if (resultFileWriteFailed()) {
            failSetUp();
            return failResultFile(kStrResultFileNotWritten);
        }
        initResult = runInitCode(p.t[rs.current], 0);
        break;
    case 2:
        // No file, no INIT code; the record buffer still takes the outputs.
        ResultFileOpen(params, params.RMODE, false);
        break;
    default:
        return failSetUp();
    }
    firstSetUp = false;
    if (initResult != 0) {
        ResultFileClose();
        if (plot)
            plot->rescale();
        freeIntegrator(methodInUse);
        step = nullptr;
        return initResult & PI_RESULT_ERROR ? SIM_END_ERROR : SIM_END_EXIT;
    }

    // 4.
    if (mode != 2 || !(rs.stepSize[rs.current] > 0))
        rs.stepSize[rs.current] = params.INITSTEP;
    if (!stepAdvances("INITSTEP", p.t[rs.current], rs.stepSize[rs.current]) ||
        !stepAdvances("MAXSTEP", p.t[rs.current], params.MAXSTEP))
        return failSetUp();

    // 5.
    work.assign(static_cast<size_t>(p.nstates > 0 ? p.nstates : 1), 0.0);
    rs.flags = 0;
    rs.state = 2;
    return kSimulationGoesOn;
}

// State 2, the accepted point.
int Simulator::acceptedPoint()
{
    RunState& rs = runState;
    PiProgram& p = piProgram;
    rs.phase = 2;
    int r;
    if (newPointReady) {
        // The method's last stage ran the CONT code at this very point.
        newPointReady = false;
        memcpy(p.derivative, integratorShared.newPointDerivatives,
               sizeof(double) * static_cast<size_t>(p.nstates));
        r = integratorShared.newPointResult | runState.errorFlag;
    } else {
        r = runContCode(p.t[rs.current], p.state[rs.current], p.dstate[rs.discreteCurrent],
                        p.dstate[rs.discreteNext], p.derivative);
    }
    const int code = settleCodeRun(r);
    if (code >= 0)
        return endWith(code);
    ResultFileFill(rs.current, rs.discreteCurrent);
    rs.flags |= r & ~PI_RESULT_DISCRETE;
    rs.state = 3;
    return kSimulationGoesOn;
}

// State 3, the due events: one per call.
int Simulator::dueEvents()
{
    RunState& rs = runState;
    PiProgram& p = piProgram;
    const double now = p.t[rs.current];
    const ScheduledEvent* first = firstEvent();
    if (!first || first->time - now >= params.LIMIT) {
        rs.state = 4;
        return kSimulationGoesOn;
    }
    const double d = first->time - now;
    ScheduledEvent* event = takeFirstEvent();
    if (d < -10 * rs.epsilon) {
        freeEvent(event);
        return endWith(SIM_END_SCHEDULE);
    }
    if (++eventsAtThisTime > kMaxEventsAtOneTime) {
        reportError(ERR_ERROR, getResString(kStrEndlessEvents), eventName(*event), now,
                    kMaxEventsAtOneTime);
        freeEvent(event);
        return endWith(SIM_END_SCHEDULE);
    }
    if (stopRequest) {
        freeEvent(event);
        return endWith(SIM_END_STOPPED);
    }
    int r = event->handler(event->time, p.state[rs.current], p.dstate[rs.discreteCurrent],
                           p.dstate[rs.discreteNext], event->argument);
    freeEvent(event);
    int code = settleCodeRun(r);
    if (code >= 0)
        return endWith(code);
    rs.flags |= r;
    rs.flags &= ~PI_RESULT_DISCRETE;

    r = runContCode(now, p.state[rs.current], p.dstate[rs.discreteCurrent],
                    p.dstate[rs.discreteNext], p.derivative);
    code = settleCodeRun(r);
    if (code >= 0)
        return endWith(code);
    rs.flags |= r;
    return kSimulationGoesOn;
}

// State 4, the output and the next step size.
int Simulator::outputAndNextStep()
{
    RunState& rs = runState;
    PiProgram& p = piProgram;

    // 1.
    if ((rs.flags & PI_RESULT_SNAPSHOT) &&
        SimulationSnapshot(params, rs.stepSize[0], rs.stepSize[rs.current], rs.current,
                           rs.discreteCurrent) != 0) {
        reportError(ERR_ERROR, getResString(kStrSnapshotNotWritten), kSnapshotFileName);
        return endWith(SIM_END_ERROR);
    }
    // 2. Around events: the values before them and after them.
    if (rs.flags & PI_RESULT_AROUND) {
        ResultFileRecord(params, plot);
        ResultFileFill(rs.current, rs.discreteCurrent);
        ResultFileRecord(params, plot);
    } else if (rs.flags & PI_RESULT_RECORD) {
        ResultFileFill(rs.current, rs.discreteCurrent);
        ResultFileRecord(params, plot);
    }
    const int written = checkResultFile();
    if (written >= 0)
        return written;
    // 3.
    if (rs.flags & PI_RESULT_STOP)
        return endWith(SIM_END_NORMAL);
    if (stopRequest || (rs.flags & PI_RESULT_END))
        return endWith(SIM_END_STOPPED);

    // 4. A step ends on the next event, and leaves no step below MINSTEP
    // before it.
    rs.flags = 0;
    eventsAtThisTime = 0;
    double& h = rs.stepSize[rs.current];
    if (const ScheduledEvent* e = firstEvent()) {
        const double d = e->time - p.t[rs.current];
        if (d - rs.epsilon < h)
            h = d;
        else if (d - params.MINSTEP < h)
            h = d / 2;
    }
    // 5.
    if (h > params.MAXSTEP)
        h = params.MAXSTEP;
    // Mended: a step cut by MAXSTEP could end a rounding error before an
    // event; the event was then due at that point and its procedure ran at
    // its own, later time than the code after it (a delay line refused the
    // earlier time). No step ends within LIMIT before an event: within
    // rounding it ends at the event, otherwise two steps reach it.
    if (const ScheduledEvent* e = firstEvent()) {
        const double d = e->time - p.t[rs.current];
        const double gap = d - h;
        if (gap > 0 && gap < params.LIMIT) {
            if (gap <= kEventSlack * h)
                h = d;
            else if (d / 2 < h)
                h = d / 2;
        }
    }
    rs.phase = 0;
    rs.state = 5;
    return kSimulationGoesOn;
}

// State 5, one integration step.
int Simulator::integrationStep()
{
    RunState& rs = runState;
    PiProgram& p = piProgram;
    const double t = p.t[rs.current];
    const double h = rs.stepSize[rs.current];
    double tNext = t + h;
    // A step that does not move the time would be taken for ever.
    if (tNext == t)
        return endWith(SIM_END_ACCURACY);
    // Mended: an overflow inside a trial step that is then rejected made the
    // end of the run warn about run-time errors; only the flags of the
    // accepted step count. What the accepted point before raised is noted
    // first; the flags then hold the step's alone.
    noteFloatFlags();
    const int r = step(t, h, p.state[rs.current], p.derivative, p.dstate[rs.discreteCurrent],
                       p.dstate[rs.discreteNext], &rs.stepSize[rs.next], p.state[rs.next]);
    if (r != 0 || stepFlagChanged())
        clearWatchedExceptions();
    // Dormand-Prince 5(4) evaluated the new point in its last stage. CONT
    // code without side effects tests no discrete flag: evaluating the new
    // point for that test changes nothing, and state 2 evaluates it anyway
    // (or, after Dormand-Prince, takes the last stage's derivatives).
    const bool repeatable = p.contRepeatable && modelFunction() == runContCode;
    newPointReady = repeatable && methodInUse == kMethodDormandPrince5 && r == 0 &&
                    integratorShared.newPointDerivatives && !stepFlagChanged();
    if (methodInUse != kMethodDormandPrince5 && r == 0 && rs.phase == 0 && !repeatable)
        runContCode(tNext, p.state[rs.next], p.dstate[rs.discreteCurrent],
                    p.dstate[rs.discreteNext], work.data());

    if (stepFlagChanged()) {
        // Halved until shorter than LIMIT; then tried once more and taken.
        if (h >= params.LIMIT)
            rs.stepSize[rs.current] = h / 2;
        else
            rs.phase = 1;
        clearStepFlagChanged();
        if (rs.stepSize[rs.current] >= params.MINSTEP)
            return kSimulationGoesOn;
        return endWith(SIM_END_ACCURACY);
    }
    if (r != 0) {
        rs.stepSize[rs.current] = rs.stepSize[rs.next];
        // Result 2: the method gives up (DASSL failed twice at one time).
        if (r == 1 && rs.stepSize[rs.current] >= params.MINSTEP)
            return kSimulationGoesOn;
        return endWith(SIM_END_ACCURACY);
    }
    // Mended: an accepted step whose next step is below MINSTEP went on (DASSL
    // crept towards a pole with steps of 1e-16 for ever); it is the accuracy
    // end as well.
    if (variableStep() && rs.stepSize[rs.next] < params.MINSTEP)
        return endWith(SIM_END_ACCURACY);
    // Mended: a step that MAXSTEP cut ended within rounding before an event,
    // so the event's procedure ran at a later time than the code after it
    // (a delay line then refused the earlier time). Such a step ends exactly
    // at the event.
    if (const ScheduledEvent* e = firstEvent())
        if (withinRounding(tNext, e->time, rs.epsilon))
            tNext = e->time;
    p.t[rs.next] = tNext;
    rs.current = rs.next;
    rs.next = rs.current % 2 + 1;
    rs.state = 2;
    return kSimulationGoesOn;
}

// State 6, the end: the AT EXIT events, then everything of the run is freed.
int Simulator::finish()
{
    RunState& rs = runState;
    PiProgram& p = piProgram;
    rs.phase = 2;
    const ScheduledEvent* e = firstEvent();
    while (e && e->time != kNoTime)
        e = e->next;
    // These events stay in the list: the end of the run frees them.
    for (; e; e = e->next) {
        if (e->time != kNoTime)
            continue;
        const int r = e->handler(e->time, p.state[rs.current], p.dstate[rs.discreteCurrent],
                                 p.dstate[rs.discreteNext], e->argument);
        if (r & PI_RESULT_DISCRETE)
            advanceDiscreteBuffers();
        if ((r & PI_RESULT_EXIT) &&
            (rs.endCode == SIM_END_NORMAL || rs.endCode == SIM_END_STOPPED))
            rs.endCode = SIM_END_EXIT;
        if ((r & PI_RESULT_ERROR) &&
            (rs.endCode == SIM_END_NORMAL || rs.endCode == SIM_END_STOPPED))
            rs.endCode = SIM_END_ERROR;
    }
    ResultFileClose();
    // The last records reach the disk only at the close.
    if (resultFileWriteFailed()) {
        failResultFile(kStrResultFileNotWritten);
        rs.endCode = SIM_END_ERROR;
    }
    if (plot)
        plot->rescale();
    if (step)
        freeIntegrator(methodInUse);
    step = nullptr;
    work.clear();
    rs.state = 1;
    return rs.endCode;
}

void Simulator::endOfRun(int code)
{
    // An error stop asked for on the way (inside a step, or while the run
    // was ending) makes the end an error end.
    if ((code == SIM_END_NORMAL || code == SIM_END_STOPPED) && runState.errorFlag)
        code = SIM_END_ERROR;
    if (runState.mathErrors) {
        std::string text = getResString(kStrRunTimeErrors);
        if (runState.mathErrors & kMathErrorSignal)
            text += getResString(kStrCauseFpeCatch);
        if (runState.mathErrors & kMathErrorDivision)
            text += getResString(kStrCauseSeparator);
        text += "\n";
        reportError(ERR_WARNING, "%s", text.c_str());
    }
    if (const char* message = endCodeMessage(code)) {
        if (code == SIM_END_EXIT)
            reportError(ERR_ERROR, "%s%s", message, getExitMessage());
        else if (code == SIM_END_PARAMETERS && !settingsProblem.empty())
            reportError(ERR_ERROR, "%s\n%s", message, settingsProblem.c_str());
        else
            reportError(ERR_ERROR, "%s", message);
    }
    finalCode = code;
    if (plot)
        plot->setRunState(1);
    if (host)
        host->setMainStatus(2, "");
    shownTime = piProgram.stack ? piProgram.t[runState.current] : 0;
    shownStep = runState.stepSize[runState.current];
    ended = true;
    resetSimulator();
    unloadPICode();
    ModuleRegistryFree();
    if (host) {
        host->unlockEditing();
        host->setMainStatus(1, getResString(kStrStateEditing));
        host->stopStatusTimer();
    }
    SimulationStatus();
}
