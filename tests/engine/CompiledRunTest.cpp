// Whole runs of compiled model text: the compile road of the run command up
// to the loaded program, then the simulator; and the console runner kytsim
// on the same files. Every model carries its expected result and where it
// comes from.
#include "SimulationTestSupport.h"
#include "TextLines.h"

#include "CompileRoad.h"

#include <gmock/gmock.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/wait.h>

using namespace simtest;
using ::testing::HasSubstr;

namespace {

const std::string kExamples = KYT_EXAMPLES_DIR;
const std::string kFixtures = KYT_ENGINE_FIXTURES;

class CompiledRunTest : public SimulationTest {
protected:
    void SetUp() override
    {
        SimulationTest::SetUp();
        // The libraries of the program, as the run command attaches them.
        setModuleLibraryList(nullptr);
    }

    void compile(const std::string& path)
    {
        ASSERT_EQ(COMPILE_LOADED, compileModelFile(path.c_str()));
        labelOutputs();
    }

    // The accepted points (t, first state) of a run stepped to its end.
    std::vector<std::pair<double, double>> acceptedPoints(const SimParams& s)
    {
        std::vector<std::pair<double, double>> points;
        simulator.reset(new Simulator(&plot, &host));
        EXPECT_TRUE(simulator->startSimulation(s, 1));
        for (long i = 0; i < 1000000; ++i) {
            const int before = runState.state;
            if (simulator->SimulationRunStep())
                break;
            if (before == 2 && runState.state == 3)
                points.emplace_back(piProgram.t[runState.current],
                                    piProgram.state[runState.current][0]);
        }
        return points;
    }
};

TEST_F(CompiledRunTest, DecayWithRungeKutta4EndsAtEToTheMinusOne)
{
    compile(kExamples + "/decay.kyt");
    ASSERT_EQ(SIM_END_NORMAL, run(testSettings(0.01)));
    ASSERT_EQ(11u, plot.points.size());
    EXPECT_NEAR(1.0, plot.points.back().x, 1e-12);
    // Analytic e^-1; RK4's error with h = 0.01 is about 3e-11.
    EXPECT_NEAR(0.36787944117144, plot.points.back().values[0], 1e-8);
    EXPECT_EQ("P1_x", plot.signals[0].name);
}

TEST_F(CompiledRunTest, DecayWithEulerEndsAtPointNineNineToTheHundred)
{
    compile(kExamples + "/decay.kyt");
    SimParams s = testSettings(0.01);
    s.IALG = kMethodEuler;
    ASSERT_EQ(SIM_END_NORMAL, run(s));
    // Each Euler step multiplies by 1 - h: 0.99^100.
    EXPECT_NEAR(0.36603234127323, plot.points.back().values[0], 1e-12);
}

TEST_F(CompiledRunTest, AStepSourceMeetsItsEventWithoutStraddlingIt)
{
    compile(kFixtures + "/sprung.kyt");
    const auto points = acceptedPoints(testSettings(0.1));
    ASSERT_FALSE(points.empty());
    bool atFive = false;
    for (const auto& p : points) {
        if (std::fabs(p.first - 5) <= 1e-12) {
            atFive = true;
            EXPECT_EQ(0.0, p.second);
        }
        // Before the step the integrator stands still.
        if (p.first < 5 - 1e-12) {
            EXPECT_EQ(0.0, p.second) << p.first;
        }
    }
    EXPECT_TRUE(atFive);
    // x = t - 5 after the step (analytic).
    EXPECT_NEAR(10.0, points.back().first, 1e-12);
    EXPECT_NEAR(5.0, points.back().second, 1e-9);
    ASSERT_EQ(1u, plot.points.size());
    EXPECT_NEAR(5.0, plot.points[0].values[0], 1e-9);
}

TEST_F(CompiledRunTest, OnRiseRunsItsProcedureWithinLimitAfterTheCrossing)
{
    compile(kFixtures + "/onrise.kyt");
    SimParams s = testSettings(0.1);
    s.LIMIT = 1e-6;
    ASSERT_EQ(SIM_END_NORMAL, run(s));
    ASSERT_EQ(1u, plot.points.size());
    const double t = plot.points[0].values[1];   // tr = NOW of the procedure
    EXPECT_GE(t, 0.55);
    EXPECT_LE(t, 0.55 + 2e-6);
    EXPECT_EQ(t, plot.points[0].x);
}

// ---- the console runner

struct ConsoleRun {
    int status;
    std::string out;
    std::string err;
};

class KytsimTest : public ::testing::Test {
protected:
    // Runs kytsim in the work directory; its output lands in another one.
    ConsoleRun kytsim(const std::string& arguments)
    {
        const std::string command = "cd '" + work.path + "' && '" KYTSIM_PATH "' " + arguments +
                                    " > '" + logs.file("out") + "' 2> '" + logs.file("err") + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, logs.read("out"), logs.read("err")};
    }

    // The files in the work directory.
    std::vector<std::string> workFiles()
    {
        std::vector<std::string> names;
        if (DIR* d = opendir(work.path.c_str())) {
            while (dirent* e = readdir(d))
                if (e->d_name[0] != '.')
                    names.push_back(e->d_name);
            closedir(d);
        }
        return names;
    }

    ScratchDir work;
    ScratchDir logs;
};

const std::string kDecay = "'" + kExamples + "/decay.kyt'";

TEST_F(KytsimTest, ItPrintsTheDecaysPointsAsAsciiColumns)
{
    const ConsoleRun r = kytsim(kDecay + " --IALG 1 --INITSTEP 0.01");
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("", r.err);
    const std::vector<std::string> rows = linesOf(r.out);
    ASSERT_EQ(12u, rows.size());
    EXPECT_EQ("#Zeit P1_x", rows[0]);
    EXPECT_EQ("0. 1.", rows[1]);
    double t = 0, x = 0;
    ASSERT_EQ(2, sscanf(rows.back().c_str(), "%lf %lf", &t, &x));
    EXPECT_EQ(1.0, t);
    EXPECT_NEAR(std::exp(-1.0), x, 1e-8);   // analytic
}

TEST_F(KytsimTest, TheResultFileHoldsTheHeaderAndTheSameRecords)
{
    const ConsoleRun r = kytsim(kDecay + " --IALG 1 --INITSTEP 0.01 --FNAME out.txt");
    EXPECT_EQ(0, r.status);
    std::vector<std::string> file = linesOf(work.read("out.txt"));
    std::vector<std::string> rows = linesOf(r.out);
    ASSERT_EQ(12u, file.size());
    EXPECT_EQ("SIMUL 1.0:REAL*8:ASCII:VAR:t:P1_x:", file[0]);
    // The outputs are t and x: the records read as the printed points.
    file.erase(file.begin());
    rows.erase(rows.begin());
    EXPECT_EQ(rows, file);
}

struct BadInput {
    const char* what;
    std::string arguments;
    std::string message;   // a part of the one message
};

TEST_F(KytsimTest, BadInputGivesOneMessageNoFileAndStatus1)
{
    char missing[300];
    snprintf(missing, sizeof missing, getResString(20907), "fehlt.kyt");
    const BadInput cases[] = {
        {"unknown option", kDecay + " --SCHRITT 1", "Unbekannte Option --SCHRITT!"},
        {"no number", kDecay + " --INITSTEP abc", "--INITSTEP erwartet eine Zahl"},
        {"no value", kDecay + " --IALG", "Der Option --IALG fehlt ihr Wert!"},
        {"FNAME of 80", kDecay + " --FNAME " + std::string(80, 'a'), "zu lang"},
        {"missing model file", "fehlt.kyt", missing},
        {"syntax error", "'" + kFixtures + "/syntaxfehler.kyt'", "In oder vor Zeile 6"},
        {"no model", "--IALG 1", "Aufruf: kytsim"},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.what);
        const ConsoleRun r = kytsim(c.arguments);
        EXPECT_EQ(1, r.status);
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_EQ(r.err.find(c.message), r.err.rfind(c.message));
        EXPECT_EQ("", r.out);
        EXPECT_TRUE(workFiles().empty());
    }
}

TEST_F(KytsimTest, ARunEndingWithAnEndCodeExitsWithIt)
{
    const ConsoleRun r = kytsim(kDecay + " --IALG 1 --INITSTEP 0 --FNAME out.txt");
    EXPECT_EQ(4, r.status);
    EXPECT_THAT(r.err, HasSubstr("Fehler aufgrund falscher Simulationsparameter!"));
    EXPECT_TRUE(workFiles().empty());
}

} // namespace
