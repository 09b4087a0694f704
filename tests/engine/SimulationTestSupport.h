// What the tests of a whole simulation run share: hand-written PI programs
// built from small pieces, a scratch directory as the current directory (the
// result file and simul.dat land there), the recorders of the plot and the
// host, and a loop that drives the run to its end.
#ifndef KYT_TESTS_ENGINE_SIMULATIONTESTSUPPORT_H
#define KYT_TESTS_ENGINE_SIMULATIONTESTSUPPORT_H

#include "PiTestSupport.h"
#include "RecordingRun.h"
#include "TempDirFixture.h"

#include "Integrators.h"
#include "ResetSimulator.h"
#include "ResultFile.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace simtest {

// The usual declarations: t SAVE; state x (x0) SAVE; VARS v SAVE (V 0),
// w (V 1), the result slots of four procedures (V 2 .. V 5), of INIT (V 6)
// and of CONT (V 7); PARAMS k = 1 (P 0), n = 0 (P 1); the string "Ende";
// two events and one delay line. Outputs: t, x, v.
inline std::string declarations(const char* x0 = "1.")
{
    return std::string("INDEP\n"
                       "   \"t\"   0.0 SAVE\n"
                       "STATES   1\n"
                       "   \"x\"  ") +
           x0 +
           "  SAVE // 0\n"
           "DERIV\n"
           "   \"dx\"   // 0\n"
           "DSTATES  0\n"
           "VARS     8\n"
           "   \"v\"  SAVE // 0\n"
           "   \"w\"   // 1\n"
           "   // return of p0(0)  2\n"
           "   // return of p1(1)  3\n"
           "   // return of p2(2)  4\n"
           "   // return of p3(3)  5\n"
           "   // return of INIT  6\n"
           "   // return of CONT  7\n"
           "PARAMS   2\n"
           "   \"k\"  1.   // 0\n"
           "   \"n\"  0.   // 1\n"
           "STRINGS  1\n"
           "   \"Ende\"  // 0\n"
           "EVENTS   2\n"
           "DELAYS   1\n";
}

const int kInitSlot = 6;
const int kContSlot = 7;
inline int procedureSlot(int k) { return 2 + k; }

// A code section: the result slot starts at start, then body, then the
// result on the stack.
inline std::string section(const std::string& body, int slot, int start = 0)
{
    return "   PUSH  " + std::to_string(start) + "\n   POP   V " + std::to_string(slot) + "\n" +
           body + "   PUSH  V " + std::to_string(slot) + "\n   END\n";
}

// ORs bits into a section's result (STORE 2, QUIT 8, snapshot 4, ...).
inline std::string orResult(int slot, int bits)
{
    return "   PUSH  V " + std::to_string(slot) + "\n   PUSH  " + std::to_string(bits) +
           "\n   FUNC  OR\n   POP   V " + std::to_string(slot) + "\n";
}

// SCHEDULE of DISCRET section `procedure` at the time that `time` pushes.
inline std::string schedule(const std::string& time, int procedure, int priority = 0)
{
    return time + "   PUSH  " + std::to_string(priority) + "\n   PUSH  " +
           std::to_string(procedure) + "\n   FUNC  SCHED\n";
}

inline std::string push(const std::string& operand)
{
    return "   PUSH  " + operand + "\n";
}

// x' = -k x.
inline const std::string kDecay = push("S 0") + push("P 0") + "   FUNC  MUL\n   FUNC  CHS\n   POP   D 0\n";

inline std::string program(const std::string& decl, const std::string& init,
                           const std::string& cont, const std::vector<std::string>& procedures)
{
    std::string text = "EXAMPLE \"test\"\n" + decl + "INIT\n" + init + "CONT\n" + cont;
    text += "DISCRET  " + std::to_string(procedures.size()) + "\n";
    for (size_t i = 0; i < procedures.size(); ++i)
        text += "DISC  " + std::to_string(i) + "\n" + procedures[i];
    return text;
}

// The decay x' = -x, x(0) = 1 with a record every 0.1 (procedure 0) and
// QUIT at tEnd (procedure 1).
inline std::string decayProgram(const char* tEnd = "1.", const std::string& extraCont = "")
{
    return program(declarations(),
                   section(schedule(push("0."), 0) + schedule(push(tEnd), 1), kInitSlot),
                   section(kDecay + extraCont, kContSlot),
                   {section(orResult(procedureSlot(0), 2) +
                                schedule(push("T") + push("0.1") + "   FUNC  ADD\n", 0),
                            procedureSlot(0), 1),
                    section(orResult(procedureSlot(1), 8), procedureSlot(1), 1)});
}

// Settings of the tests: RK4 (the default method comes later), records to
// no file.
inline SimParams testSettings(double initStep = 0.01)
{
    SimParams s = defaultSimParams();
    s.IALG = kMethodRungeKutta4;
    s.INITSTEP = initStep;
    return s;
}

// Names every output's label after its row, as the editor labels the
// marked signals.
inline void labelOutputs()
{
    for (int i = 0; i < piProgram.nsymbols; ++i)
        if (piProgram.symbols[i].flags & PI_SAVE)
            piProgram.symbols[i].label = piProgram.symbols[i].name;
}

class SimulationTest : public pitest::PiEngineTest {
protected:
    void SetUp() override
    {
        pitest::PiEngineTest::SetUp();
        char buffer[4096];
        ASSERT_NE(nullptr, getcwd(buffer, sizeof buffer));
        oldDirectory = buffer;
        ASSERT_EQ(0, chdir(scratch.path.c_str()));
        stopRequest = 0;
    }
    void TearDown() override
    {
        simulator.reset();
        ResultFileClose();
        setModelFunction(nullptr);
        freeIntegrator(0);
        stopRequest = 0;
        resetSimulator();
        EXPECT_EQ(0, chdir(oldDirectory.c_str()));
        pitest::PiEngineTest::TearDown();
    }

    // Loads the text (the registry attached again, as the run command does)
    // and labels its outputs.
    void load(const std::string& text)
    {
        ASSERT_EQ(0, ModuleRegistryLoad());
        ASSERT_TRUE(pitest::loadPiText(text));
        labelOutputs();
    }

    // Starts a run at once and steps it to its end; the end code, or -1
    // when it did not end within maxSteps idle passes.
    int run(const SimParams& settings, long maxSteps = 2000000)
    {
        simulator.reset(new Simulator(&plot, &host));
        if (!simulator->startSimulation(settings, 1))
            return -2;
        for (long i = 0; i < maxSteps; ++i)
            if (simulator->SimulationRunStep())
                return simulator->lastEndCode();
        return -1;
    }

    int loadAndRun(const std::string& text, const SimParams& settings)
    {
        load(text);
        if (::testing::Test::HasFatalFailure())
            return -3;
        return run(settings);
    }

    const std::vector<std::string>& boxes() { return recording.sink.boxes; }

    ScratchDir scratch;
    std::string oldDirectory;
    RecordingPlot plot;
    RecordingHost host;
    std::unique_ptr<Simulator> simulator;
};

} // namespace simtest

#endif
