// The simulator's state machine on hand-written PI programs: set-up, the
// accepted point, due events, output and step size, the integration step,
// the end, and what the run shows through the plot and the host.
#include "SimulationTestSupport.h"

#include "DiscreteFlags.h"
#include "EventQueue.h"
#include "NumberFormat.h"
#include "PiInterpreter.h"
#include "ResString.h"

#include <gmock/gmock.h>

#include <cfenv>
#include <cmath>

using namespace simtest;
using ::testing::HasSubstr;

namespace {

class SimulatorTest : public SimulationTest {};

const double kE1 = 0.36787944117144233;   // e^-1

// ---- examples with their expected output

struct DecayCase {
    int method;
    double step;
    double expected;     // x(1)
    double tolerance;
    const char* source;
};

// x' = -x, x(0) = 1, records every 0.1 up to QUIT at 1.
const DecayCase kDecayCases[] = {
    {kMethodRungeKutta4, 0.01, kE1, 1e-8, "analytic e^-1 (RK4 error ~3e-11)"},
    {kMethodEuler, 0.01, 0.36603234127322950, 1e-12, "0.99^100 (Euler is exact here)"},
    {kMethodRungeKutta4, 0.1, 0.3678797744124984, 1e-13,
     "(1 - h + h^2/2 - h^3/6 + h^4/24)^10 with h = 0.1, in exact rational arithmetic"},
};

TEST_F(SimulatorTest, DecayEndsAtItsExpectedValueWithARecordEveryTenth)
{
    for (const DecayCase& c : kDecayCases) {
        SCOPED_TRACE(c.source);
        SimParams s = testSettings(c.step);
        s.IALG = c.method;
        ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram(), s));
        ASSERT_EQ(11u, plot.points.size());
        for (size_t i = 0; i < plot.points.size(); ++i)
            EXPECT_NEAR(0.1 * static_cast<double>(i), plot.points[i].x, 1e-12);
        EXPECT_NEAR(c.expected, plot.points.back().values[0], c.tolerance);
        EXPECT_TRUE(boxes().empty());
    }
}

// ---- the start and the end of a run as the host and the plot see them

TEST_F(SimulatorTest, StartAndEndGoThroughTheHostAndThePlot)
{
    plot.newSettings = 1;
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.2"), testSettings()));
    EXPECT_EQ((std::vector<std::string>{"confirmSettings 1", "main 1 Simulieren",
                                        "getPlotParams", "startStatusTimer 500",
                                        "registerIdleTask", "main 2 ", "unlockEditing",
                                        "main 1 Bearbeiten", "stopStatusTimer"}),
              host.calls);
    EXPECT_EQ(2.5, plot.plotParams.xscale);
    EXPECT_EQ(-1, plot.plotParams.xoff);
    EXPECT_EQ((std::vector<std::string>{"clearPoints", "clearNewSettingsFlag", "setPlotParams",
                                        "setSignals 2", "setTitle Zeit", "setSignal 0 x",
                                        "setSignal 1 v", "setPagingMode 1", "setRunState 0",
                                        "stampDateTime", "setStatusText Regelkreis",
                                        "setRunState 1", "rescale", "setRunState 1"}),
              plot.calls);
    // The last status texts: the time at the end and the step before it.
    ASSERT_EQ(3u, host.plotStatus.size());
    EXPECT_EQ("1 t=         0.2", host.plotStatus[0]);
    EXPECT_EQ("2 h=        0.01", host.plotStatus[1]);
    EXPECT_EQ(0u, host.plotStatus[2].find("3 tsim="));
    // The run freed what it loaded.
    EXPECT_EQ(nullptr, piProgram.stack);
    EXPECT_EQ(0, moduleListLength(MODULE_LIST_FUNCTIONS));
    EXPECT_EQ(0, eventCount());
}

TEST_F(SimulatorTest, ACancelledDialogReleasesTheProgramAndRunsNothing)
{
    load(decayProgram());
    host.confirmed = false;
    Simulator sim(&plot, &host);
    EXPECT_FALSE(sim.startSimulation(testSettings(), 0));
    EXPECT_EQ((std::vector<std::string>{"confirmSettings 0", "unlockEditing",
                                        "main 1 Bearbeiten"}),
              host.calls);
    EXPECT_TRUE(plot.calls.empty());
    EXPECT_EQ(nullptr, piProgram.stack);
}

TEST_F(SimulatorTest, WhilePausedAStepChangesNothing)
{
    load(decayProgram());
    Simulator sim(&plot, &host);
    ASSERT_TRUE(sim.startSimulation(testSettings(), 1));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0, sim.SimulationRunStep());
    const int state = runState.state;
    const double t = piProgram.t[runState.current];
    const size_t points = plot.points.size();
    sim.pauseWord = 1;
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(0, sim.SimulationRunStep());
    EXPECT_EQ(state, runState.state);
    EXPECT_EQ(t, piProgram.t[runState.current]);
    EXPECT_EQ(points, plot.points.size());
    sim.pauseWord = 0;
    int result = 0;
    for (int i = 0; i < 100000 && !result; ++i)
        result = sim.SimulationRunStep();
    EXPECT_EQ(1, result);
    EXPECT_EQ(11u, plot.points.size());
}

TEST_F(SimulatorTest, TheStopFlagEndsTheRunQuietlyWithCode1AndClosesTheFile)
{
    load(decayProgram());
    SimParams s = testSettings();
    ASSERT_TRUE(setResultFileName(s, "stop.txt"));
    Simulator sim(&plot, &host);
    ASSERT_TRUE(sim.startSimulation(s, 1));
    int steps = 0;
    int result = 0;
    for (int i = 0; i < 100000 && !result; ++i) {
        const int before = runState.state;
        result = sim.SimulationRunStep();
        if (before == 5 && runState.state == 2 && ++steps == 10)
            stopRequest = 1;
    }
    EXPECT_EQ(1, result);
    EXPECT_EQ(SIM_END_STOPPED, sim.lastEndCode());
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(resultFileIsOpen());
    // The stop came at the point after the tenth step, before its record:
    // only the record at 0 is there, after the header.
    EXPECT_EQ(1u, plot.points.size());
    const std::string text = scratch.read("stop.txt");
    EXPECT_EQ(2, std::count(text.begin(), text.end(), '\n'));
}

// ---- wrong settings

struct WrongSettings {
    const char* what;
    void (*change)(SimParams&);
    // The line after the parameter message that names the setting.
    const char* named;
};

const WrongSettings kWrongSettings[] = {
    {"MODE 3", [](SimParams& s) { s.MODE = 3; }, "Der Simulationsmodus MODE = 3 muss 0, 1 oder 2 sein."},
    {"INITSTEP 0", [](SimParams& s) { s.INITSTEP = 0; },
     "Die Einstellung \"Anfangsschrittweite\" (INITSTEP = 0.) muss gr\xf6\xdf" "er als 0 sein."},
    {"INITSTEP -0.1", [](SimParams& s) { s.INITSTEP = -0.1; }, "(INITSTEP = -0.1)"},
    {"MAXSTEP 0", [](SimParams& s) { s.MAXSTEP = 0; }, "\"Max Schrittweite (Grenze)\" (MAXSTEP = 0.)"},
    {"LIMIT 0", [](SimParams& s) { s.LIMIT = 0; }, "\"Ereignisgenauigkeit\" (LIMIT = 0.)"},
    {"MINSTEP -1", [](SimParams& s) { s.MINSTEP = -1; },
     "\"Min. Schrittweite (Grenze)\" (MINSTEP = -1.) darf nicht negativ sein."},
    {"RELERR NaN", [](SimParams& s) { s.RELERR = std::nan(""); }, "\"Max rel. lokaler Fehler\" (RELERR = "},
    {"ABSERR infinite", [](SimParams& s) { s.ABSERR = HUGE_VAL; },
     "\"Min. rel. bewert. Amplitude\" (ABSERR = 1.#INF) muss eine endliche Zahl sein."},
    {"XVAR = outputs", [](SimParams& s) { s.XVAR = 3; }, "(XVAR = 3) gibt es nicht: das Modell gibt 3 Signale aus."},
    {"XVAR -1", [](SimParams& s) { s.XVAR = -1; }, "(XVAR = -1)"},
    {"FNAME without its end", [](SimParams& s) { memset(s.FNAME, 'a', sizeof s.FNAME); },
     "Der Name der Ergebnisdatei (FNAME) ist zu lang."},
    {"method 10", [](SimParams& s) { s.IALG = 10; }, "Das Integrationsverfahren IALG = 10 gibt es nicht."},
    {"method -1", [](SimParams& s) { s.IALG = -1; }, "IALG = -1"},
};

TEST_F(SimulatorTest, WrongSettingsEndTheRunWithTheParameterMessageAndNoFile)
{
    for (const WrongSettings& w : kWrongSettings) {
        SCOPED_TRACE(w.what);
        recording.sink.boxes.clear();
        plot.points.clear();
        SimParams s = testSettings();
        ASSERT_TRUE(setResultFileName(s, "wrong.txt"));
        w.change(s);
        EXPECT_EQ(SIM_END_PARAMETERS, loadAndRun(decayProgram(), s));
        ASSERT_EQ(1u, boxes().size());
        EXPECT_THAT(boxes()[0], HasSubstr("Fehler aufgrund falscher Simulationsparameter!\n"));
        EXPECT_THAT(boxes()[0], HasSubstr(w.named));
        EXPECT_FALSE(scratch.exists("wrong.txt"));
        EXPECT_TRUE(plot.points.empty());
        EXPECT_EQ(nullptr, integratorShared.work);
    }
}

TEST_F(SimulatorTest, TheNullDeviceTakesTextButRefusesTheBinaryForm)
{
    SimParams s = testSettings();
    EXPECT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.2"), s));
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(scratch.exists("nul"));
    s.RMODE = 1;
    EXPECT_EQ(SIM_END_PARAMETERS, loadAndRun(decayProgram("0.2"), s));
    ASSERT_EQ(1u, boxes().size());
    EXPECT_THAT(boxes()[0], HasSubstr("Fehler aufgrund falscher Simulationsparameter!"));
}

// ---- step sizes and events

// CONT records every accepted point.
std::string everyPointProgram(const std::string& init, const std::vector<std::string>& procs)
{
    return program(declarations(), section(init, kInitSlot),
                   section(kDecay + orResult(kContSlot, 2), kContSlot), procs);
}

const std::string kQuit = section(orResult(procedureSlot(0), 8), procedureSlot(0), 1);

TEST_F(SimulatorTest, MaxStepBelowInitStepMakesTheFirstStepMaxStep)
{
    SimParams s = testSettings(0.1);
    s.MAXSTEP = 0.05;
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(everyPointProgram(schedule(push("0.2"), 0), {kQuit}), s));
    ASSERT_GE(plot.points.size(), 2u);
    EXPECT_EQ(0.0, plot.points[0].x);
    EXPECT_DOUBLE_EQ(0.05, plot.points[1].x);
    EXPECT_NEAR(0.2, plot.points.back().x, 1e-12);
}

// Procedure 1 stores NOW in v and records.
const std::string kNoteNow =
    section(push("T") + "   POP   V 0\n" + orResult(procedureSlot(1), 2), procedureSlot(1), 1);

std::string noteNowAt(const char* time)
{
    return program(declarations(),
                   section(schedule(push(time), 1) + schedule(push("0.01"), 0), kInitSlot),
                   section(kDecay, kContSlot), {kQuit, kNoteNow});
}

TEST_F(SimulatorTest, AnEventLimitAheadWaitsForItsStep)
{
    SimParams s = testSettings(0.1);
    s.LIMIT = 1e-3;
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(noteNowAt("0.001"), s));
    ASSERT_EQ(1u, plot.points.size());
    // The step ended on the event, which ran there.
    EXPECT_EQ(0.001, plot.points[0].x);
    EXPECT_EQ(0.001, plot.points[0].values[1]);
}

TEST_F(SimulatorTest, AnEventHalfALimitAheadRunsNowAtItsOwnTime)
{
    SimParams s = testSettings(0.1);
    s.LIMIT = 1e-3;
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(noteNowAt("0.0005"), s));
    ASSERT_EQ(1u, plot.points.size());
    EXPECT_EQ(0.0, plot.points[0].x);
    EXPECT_EQ(0.0005, plot.points[0].values[1]);
    EXPECT_EQ(1.0, plot.points[0].values[0]);
}

// v = 10 v + digit, and a record.
std::string appendDigit(int procedure, int digit)
{
    return section(push("V 0") + push("10") + "   FUNC  MUL\n" + push(std::to_string(digit)) +
                       "   FUNC  ADD\n   POP   V 0\n" + orResult(procedureSlot(procedure), 2),
                   procedureSlot(procedure), 1);
}

TEST_F(SimulatorTest, AtTheSameTimeTheHigherPriorityRunsFirst)
{
    const std::string text =
        program(declarations(),
                section(schedule(push("0.5"), 1, 1) + schedule(push("0.5"), 2, 5) +
                            schedule(push("0.5"), 3, 1) + schedule(push("1."), 0),
                        kInitSlot),
                section(kDecay, kContSlot),
                {kQuit, appendDigit(1, 1), appendDigit(2, 5), appendDigit(3, 3)});
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(text, testSettings(0.1)));
    ASSERT_EQ(1u, plot.points.size());
    EXPECT_EQ(0.5, plot.points[0].x);
    EXPECT_EQ(513.0, plot.points[0].values[1]);
}

TEST_F(SimulatorTest, StoreAllRecordsThePointBeforeAndAfterItsEvents)
{
    // Procedure 1 at 0.5: v = 5 and STORE ALL.
    const std::string storeAll =
        section(push("5") + "   POP   V 0\n" + orResult(procedureSlot(1), 128), procedureSlot(1), 1);
    const std::string text = program(
        declarations(), section(schedule(push("0.5"), 1) + schedule(push("1."), 0), kInitSlot),
        section(kDecay, kContSlot), {kQuit, storeAll});
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(text, testSettings(0.1)));
    ASSERT_EQ(2u, plot.points.size());
    EXPECT_EQ(0.5, plot.points[0].x);
    EXPECT_EQ(0.5, plot.points[1].x);
    EXPECT_EQ(0.0, plot.points[0].values[1]);
    EXPECT_EQ(5.0, plot.points[1].values[1]);
}

TEST_F(SimulatorTest, AnInitCodeWithAResultEndsTheRunWithCode3AndClosesTheFile)
{
    const std::string text = program(declarations(), section(orResult(kInitSlot, 2), kInitSlot),
                                     section(kDecay, kContSlot), {});
    SimParams s = testSettings();
    ASSERT_TRUE(setResultFileName(s, "init.txt"));
    EXPECT_EQ(SIM_END_EXIT, loadAndRun(text, s));
    EXPECT_FALSE(resultFileIsOpen());
    EXPECT_EQ(nullptr, recordBuffer());
    EXPECT_EQ("SIMUL 1.0:REAL*8:ASCII:VAR:t:x:v:\n", scratch.read("init.txt"));
    ASSERT_EQ(1u, boxes().size());
    EXPECT_THAT(boxes()[0], HasSubstr("EXIT Meldung: "));
}

TEST_F(SimulatorTest, AtExitRunsOnceWithNowAtNoTime)
{
    // Procedure 1 counts its runs in w and hands (NOW, w) to P2.
    const std::string atExit =
        section(push("V 1") + push("1") + "   FUNC  ADD\n   POP   V 1\n" + push("V 1") +
                    push("T") + "   FUNC  UPROC 2 \"P2\"\n",
                procedureSlot(1), 1);
    const std::string text = program(
        declarations(), section(schedule(push("1.e+030"), 1) + schedule(push("0.3"), 0), kInitSlot),
        section(kDecay, kContSlot), {kQuit, atExit});
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(text, testSettings(0.1)));
    EXPECT_EQ((std::vector<double>{1e30, 1}), pitest::procedureArguments);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SimulatorTest, AnExitAtTheEndTurnsANormalEndIntoCode3)
{
    const std::string exitProc =
        section(push("0") + "   FUNC  ABORT\n" + orResult(procedureSlot(1), 16), procedureSlot(1), 1);
    const std::string text = program(
        declarations(), section(schedule(push("1.e+030"), 1) + schedule(push("0.3"), 0), kInitSlot),
        section(kDecay, kContSlot), {kQuit, exitProc});
    ASSERT_EQ(SIM_END_EXIT, loadAndRun(text, testSettings(0.1)));
    ASSERT_EQ(1u, boxes().size());
    EXPECT_THAT(boxes()[0], HasSubstr("EXIT Meldung: Ende"));
}

TEST_F(SimulatorTest, ExitInTheContCodeEndsWithCode3AndItsMessage)
{
    // IF NOW >= 0.5 THEN EXIT "Ende"
    const std::string cont = kDecay + push("T") + push("0.5") + "   FUNC  GE\n   IFF   $1\n" +
                             push("0") + "   FUNC  ABORT\n" + orResult(kContSlot, 16) + "$1\n";
    const std::string text =
        program(declarations(), section("", kInitSlot), section(cont, kContSlot), {});
    ASSERT_EQ(SIM_END_EXIT, loadAndRun(text, testSettings(0.1)));
    ASSERT_EQ(1u, boxes().size());
    EXPECT_THAT(boxes()[0], HasSubstr("EXIT Meldung: Ende"));
}

TEST_F(SimulatorTest, Bit32EndsTheRunAndStartsItAgainAtState1)
{
    // Procedure 1 at 0.5: the first time (n = 0) n = 1 and the run starts
    // anew; parameters keep their values across the new start.
    const std::string restart =
        section(push("P 1") + "   IFT   $1\n" + push("1") + "   POP   P 1\n" +
                    orResult(procedureSlot(1), 32) + "$1\n",
                procedureSlot(1), 1);
    const std::string text =
        program(declarations(), section(schedule(push("0.5"), 1) + schedule(push("1."), 0), kInitSlot),
                section(kDecay + orResult(kContSlot, 2), kContSlot), {kQuit, restart});
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(text, testSettings(0.25)));
    std::vector<double> times;
    for (const RecordedPoint& p : plot.points)
        times.push_back(p.x);
    // The first run records 0 and 0.25 and ends at 0.5 before the record
    // there; the second one starts at 0 again and runs to the end.
    EXPECT_EQ((std::vector<double>{0, 0.25, 0, 0.25, 0.5, 0.75, 1}), times);
    EXPECT_EQ(2, std::count(plot.calls.begin(), plot.calls.end(), "setSignals 2"));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SimulatorTest, AnOverflowIsReportedAsAFloatingPointErrorAtTheEnd)
{
    // w = EXP(1000 NOW): past NOW = 0.71 it overflows.
    const std::string text = program(
        declarations(), section(schedule(push("1."), 0), kInitSlot),
        section(kDecay + push("T") + push("1000") + "   FUNC  MUL\n   FUNC  UFUNC 1 \"EXP\"\n"
                                                        "   POP   V 1\n",
                kContSlot),
        {kQuit});
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(text, testSettings(0.1)));
    ASSERT_EQ(1u, boxes().size());
    EXPECT_THAT(boxes()[0], HasSubstr("Laufzeitfehler sind aufgetreten!\nVielleicht zeigt die "
                                      "Schaltung instabiles Verhalten?\nFehlerursachen sind "
                                      "fpecatch() \n"));
}

// Flags the host left set before a step are not the model's: the step
// clears them first (only when one is set) and the run ends without the
// error message.
TEST_F(SimulatorTest, FlagsSetBeforeTheRunAreNotTheModels)
{
    feraiseexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram(), testSettings(0.1)));
    EXPECT_EQ(0, runState.mathErrors);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(0, fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO));
}

// The flags are tested about once per step and at the end: an overflow is
// reported wherever the run computes it, in the INIT code before the first
// step, in a procedure between two steps, or in the last procedure, after
// which no step follows.
TEST_F(SimulatorTest, AnOverflowAnywhereInTheRunIsReported)
{
    const std::string overflow = push("1e300") + push("1e300") + "   FUNC  MUL\n   POP   V 1\n";
    auto run = [&](const std::string& initExtra, const std::string& recordExtra,
                   const std::string& quitExtra) {
        return program(declarations(),
                       section(schedule(push("0.1"), 0) + schedule(push("0.2"), 1) + initExtra,
                               kInitSlot),
                       section(kDecay, kContSlot),
                       {section(orResult(procedureSlot(0), 2) + recordExtra, procedureSlot(0), 1),
                        section(orResult(procedureSlot(1), 8) + quitExtra, procedureSlot(1), 1)});
    };
    const struct {
        const char* where;
        std::string text;
        bool reported;
    } cases[] = {
        {"nowhere", run("", "", ""), false},
        {"INIT code", run(overflow, "", ""), true},
        {"a procedure between steps", run("", overflow, ""), true},
        {"the last procedure", run("", "", overflow), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        recording.sink.boxes.clear();
        ASSERT_EQ(SIM_END_NORMAL, loadAndRun(c.text, testSettings(0.05)));
        if (!c.reported) {
            EXPECT_TRUE(boxes().empty());
            continue;
        }
        ASSERT_EQ(1u, boxes().size());
        EXPECT_THAT(boxes()[0], HasSubstr("Fehlerursachen sind fpecatch() \n"));
        EXPECT_EQ(0, fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO));
    }
}

TEST_F(SimulatorTest, ADivisionByZeroNamesItsOwnCause)
{
    const std::string text = program(
        declarations(), section(schedule(push("0.2"), 0), kInitSlot),
        section(kDecay + push("1") + push("0") + "   FUNC  DIV\n   POP   V 1\n", kContSlot), {kQuit});
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(text, testSettings(0.1)));
    ASSERT_EQ(2u, boxes().size());   // the interpreter's own, then the end
    EXPECT_THAT(boxes()[1], HasSubstr("Fehlerursachen sind / \n"));
}

TEST_F(SimulatorTest, AnEventInThePastEndsWithTheScheduleMessage)
{
    // The event is put into the list behind the simulator's back.
    load(decayProgram());
    Simulator sim(&plot, &host);
    ASSERT_TRUE(sim.startSimulation(testSettings(0.1), 1));
    int result = 0;
    bool planted = false;
    for (int i = 0; i < 100000 && !result; ++i) {
        if (!planted && runState.state == 3 && piProgram.t[runState.current] > 0.35) {
            runState.currentTime = 0;
            ScheduleEvent(0.2, 0, runDiscreteSection, 0, 0, "late");
            planted = true;
        }
        result = sim.SimulationRunStep();
    }
    EXPECT_EQ(SIM_END_SCHEDULE, sim.lastEndCode());
    ASSERT_EQ(1u, boxes().size());
    EXPECT_THAT(boxes()[0], HasSubstr("SCHEDULE Fehler bei Zeitereignissen!"));
}

TEST_F(SimulatorTest, ADelayAppendedOutOfOrderStopsTheRunAndTheProcessLives)
{
    // Procedure 1, half a LIMIT ahead, appends at its own time; the CONT
    // code after it appends at the earlier current time.
    const std::string append = section(push("7") + push("0") + "   FUNC  SDELAY\n", procedureSlot(1), 1);
    const std::string text = program(
        declarations(), section(schedule(push("5.e-7"), 1) + schedule(push("1."), 0), kInitSlot),
        section(kDecay + push("S 0") + push("0") + "   FUNC  SDELAY\n", kContSlot), {kQuit, append});
    ASSERT_EQ(SIM_END_ERROR, loadAndRun(text, testSettings(0.1)));
    ASSERT_EQ(1u, pitest::queued.size());
    EXPECT_EQ(getResString(20264), pitest::queued[0].text);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SimulatorTest, AStateMachineStateThatCannotBeIsFatal)
{
    load(decayProgram());
    Simulator sim(&plot, &host);
    runState.state = 9;
    EXPECT_EXIT(
        {
            setErrorSink(nullptr);
            sim.simulmain();
        },
        ::testing::ExitedWithCode(1), "SIMUL");
    runState.state = 1;
}

// ---- ONRISE on hand-written code: x' = 1, the flag rises at x > 0.55

TEST_F(SimulatorTest, ARisingFlagShortensTheStepUntilItIsBelowLimit)
{
    const std::string cont = section(push("1") + "   POP   D 0\n" + push("S 0") + push("0.55") +
                                         "   FUNC  GT\n" + push("1") + "   FUNC  EVENT\n" +
                                         "   IFF   $1\n" + schedule(push("T"), 1) + "$1\n",
                                     kContSlot);
    const std::string text = program(
        declarations("0."), section(schedule(push("1."), 0), kInitSlot), cont, {kQuit, kNoteNow});
    SimParams s = testSettings(0.1);
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(text, s));
    ASSERT_EQ(1u, plot.points.size());
    const double t = plot.points[0].values[1];
    EXPECT_GE(t, 0.55);
    EXPECT_LE(t, 0.55 + 2e-6);
    EXPECT_NEAR(t, plot.points[0].values[0], 1e-12);   // x = t
}

} // namespace
