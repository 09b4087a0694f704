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

// ---- runs that end with an error, runs that never ended

std::string replaceAll(std::string s, const std::string& from, const std::string& to)
{
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

// A model of one block "M" with one state x (x(0) = x0, x' = deriv), output
// y = x, the procedure p (body) at tp and the end at tend (QUIT).
std::string oneBlockModel(const std::string& deriv, const std::string& body,
                          const std::string& tp = "0.5", const std::string& tend = "1",
                          const std::string& x0 = "1.")
{
    return "BLOCK M;\nOUTPUT y \"y\";\nSTATE x = " + x0 + ";\nSIM\n  x .= " + deriv +
           ";\n  y = x;\nENDSIM\nPROCEDURE p;\n" + body +
           "\nENDPROCEDURE\nPROCEDURE ende;\n  STORE;\n  QUIT;\nENDPROCEDURE\nINIT\n"
           "  SCHEDULE p AT " + tp + ";\n  SCHEDULE ende AT " + tend +
           ";\nENDINIT\nENDBLOCK M;\n\nCIRCUIT C;\nUSE M AS P1\nENDUSE\nSAVE P1.x;\n"
           "ENDCIRCUIT C;\n";
}

// Mended: x' = x^2, x(0) = 1 has its pole at t = 1. DASSL crept towards it
// with accepted steps of 1e-16 for ever; every variable-step method now ends
// with the accuracy message once the step falls below MINSTEP.
TEST_F(KytsimTest, ABlowUpEndsWithTheAccuracyCodeWithEveryVariableStepMethod)
{
    work.write("pol.kyt", oneBlockModel("x*x", "  STORE;", "0.5", "2"));
    for (int method : {2, 3, 4, 5, 6, 7, 9}) {
        SCOPED_TRACE("IALG " + std::to_string(method));
        const ConsoleRun r = kytsim("pol.kyt --IALG " + std::to_string(method));
        EXPECT_EQ(5, r.status);
        EXPECT_THAT(r.err, HasSubstr("Genauigkeitsfehler"));
    }
}

// Mended: a procedure that schedules itself at NOW kept the run at that time
// for ever without a word.
TEST_F(KytsimTest, AProcedureReschedulingItselfAtNowEndsNamingIt)
{
    work.write("immer.kyt", oneBlockModel("-x", "  SCHEDULE p AT NOW;"));
    const ConsoleRun r = kytsim("immer.kyt");
    EXPECT_EQ(6, r.status);
    EXPECT_THAT(r.err, HasSubstr("Die Prozedur P1_p lief zur Zeit t = 0.5 mehr als 100000 Mal"));
    EXPECT_THAT(r.err, HasSubstr("SCHEDULE Fehler bei Zeitereignissen!"));
}

// Mended: MODE 2 on a program that never ran skipped its INIT code: no
// record was scheduled and no end. It starts as a new run.
TEST_F(KytsimTest, GoingOnWithAProgramThatNeverRanStartsIt)
{
    const ConsoleRun r = kytsim(kDecay + " --IALG 1 --INITSTEP 0.01 --MODE 2");
    EXPECT_EQ(0, r.status) << r.err;
    const std::vector<std::string> rows = linesOf(r.out);
    ASSERT_EQ(12u, rows.size());
    double t = 0, x = 0;
    ASSERT_EQ(2, sscanf(rows.back().c_str(), "%lf %lf", &t, &x));
    EXPECT_EQ(1.0, t);
    EXPECT_NEAR(std::exp(-1.0), x, 1e-8);   // analytic
}

// Mended: a step that the time cannot resolve ran for ever; it is refused
// before the run like the other bad step settings.
TEST_F(KytsimTest, AStepTheTimeCannotResolveIsRefusedBeforeTheRun)
{
    for (const char* option : {"--INITSTEP 1e-300", "--MAXSTEP 1e-300", "--INITSTEP 1e-20"}) {
        SCOPED_TRACE(option);
        const ConsoleRun r = kytsim(kDecay + " --IALG 1 " + option + " --FNAME out.txt");
        EXPECT_EQ(4, r.status);
        EXPECT_THAT(r.err, HasSubstr("ist zu klein: die Zeit t = 0 schreitet damit nicht fort!"));
        EXPECT_THAT(r.err, HasSubstr("Fehler aufgrund falscher Simulationsparameter!"));
        EXPECT_EQ("", r.out);
    }
}

// Mended: with MAXSTEP 1e-3 the steps ended a rounding error before the
// procedure's events; the procedure then appended to the delay line at its
// own, later time than the SIM code after it and the run stopped with the
// internal "nicht monoton" error. Reference: u counts the procedure's runs
// at 0.1, 0.2, ...; at 8.05 the line gives u at 7.78, 77.
TEST_F(KytsimTest, ADelayWrittenInAProcedureRunsWithAnyMaxStep)
{
    work.write("tot.kyt",
               "BLOCK Tot;\nOUTPUT y \"y\";\nDELAY d = 0.5;\nVAR u DISCRETE;\nSTATE x = 0.;\n"
               "SIM\n  x .= 1;\n  d = u;\n  y = d[NOW - 0.27];\nENDSIM\n"
               "PROCEDURE tick;\n  u = u + 1;\n  d = u;\n  SCHEDULE tick AT NOW + 0.1;\n"
               "ENDPROCEDURE\nPROCEDURE ende;\n  STORE;\n  QUIT;\nENDPROCEDURE\n"
               "INIT\n  u = 0;\n  SCHEDULE tick AT 0.1;\n  SCHEDULE ende AT 8.05;\nENDINIT\n"
               "ENDBLOCK Tot;\n\nCIRCUIT C;\nUSE Tot AS P1\nENDUSE\nSAVE P1.y;\nENDCIRCUIT C;\n");
    for (const char* method : {"1", "6", "7", "9"})
        for (const char* maxStep : {"1", "1e-3"}) {
            SCOPED_TRACE(std::string("IALG ") + method + ", MAXSTEP " + maxStep);
            const ConsoleRun r = kytsim(std::string("tot.kyt --INITSTEP 0.01 --IALG ") + method +
                                        " --MAXSTEP " + maxStep);
            EXPECT_EQ(0, r.status);
            EXPECT_EQ("", r.err);
            EXPECT_EQ("#Zeit P1_y\n8.05 77.\n", r.out);
        }
}

// Mended: Van der Pol with mu = 1000 and method 7 ended correctly but warned
// about run-time errors: its first trial step overflows and is rejected.
TEST_F(KytsimTest, AnOverflowInARejectedTrialStepIsNoRunTimeError)
{
    const ConsoleRun r = kytsim("'" + kFixtures + "/vanderpol1000.kyt' --IALG 7");
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("", r.err);
    const std::vector<std::string> rows = linesOf(r.out);
    ASSERT_EQ(2u, rows.size());
    double t = 0, x = 0;
    ASSERT_EQ(2, sscanf(rows[1].c_str(), "%lf %lf", &t, &x));
    EXPECT_EQ(0.5, t);
    // The slow manifold: x^2/2 - ln x falls by t/mu, x(0.5) = 1.9996667.
    EXPECT_NEAR(1.9996667, x, 1e-5);
}

struct EndCase {
    const char* what;
    std::string body;    // of the procedure p at 0.5
    int status;
    std::string message;
};

// Mended: runs stopped by an error exited 0, and an error stop inside a
// procedure ended as a user stop. Every error stop ends with code 8 whatever
// section asked for it; the model's own QUIT, BREAK and EXIT end with 0.
TEST_F(KytsimTest, TheExitStatusTellsAnErrorEndFromANormalOne)
{
    const EndCase cases[] = {
        {"library error in a procedure", "  FZSETINPUT(100, 0, 1);", 8,
         "Unacceptable handle for fuzzy-block !"},
        {"bad handle in a procedure", "  FCLOSE(99);", 8, "Es gibt keine Datei mit der #99!"},
        {"BREAK", "  BREAK;", 0, ""},
        {"EXIT", "  EXIT \"Ende\";", 0, "EXIT Meldung: Ende"},
        {"QUIT", "  QUIT;", 0, ""},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.what);
        work.write("m.kyt", oneBlockModel("-x", c.body));
        const ConsoleRun r = kytsim("m.kyt --IALG 1");
        EXPECT_EQ(c.status, r.status) << r.err;
        if (c.message.empty()) {
            EXPECT_EQ("", r.err);
        } else {
            EXPECT_THAT(r.err, HasSubstr(c.message));
        }
    }
    // In the SIM code and in INIT: the same code.
    work.write("sim.kyt", replaceAll(oneBlockModel("-x", "  STORE;"), "  y = x;",
                                     "  y = x + SQRT(NOW - 0.5);"));
    EXPECT_EQ(8, kytsim("sim.kyt --IALG 1").status);
    work.write("init.kyt", replaceAll(oneBlockModel("-x", "  STORE;"), "\nINIT\n",
                                      "\nINIT\n  FCLOSE(99);\n"));
    EXPECT_EQ(8, kytsim("init.kyt --IALG 1").status);
    // A procedure that calls itself without end is abandoned at the stack's
    // depth: an error stop as well.
    work.write("rec.kyt", replaceAll(oneBlockModel("-x", "  n := n + 1 <- CALL p;"),
                                     "STATE x = 1.;\n", "STATE x = 1.;\nVAR n = 0 DISCRETE\n"));
    EXPECT_EQ(8, kytsim("rec.kyt --IALG 1").status);
}

// A result file that cannot be written (here a device that is always full)
// or opened ends kytsim with status 8 and a message naming it, never with 0.
TEST_F(KytsimTest, AResultFileThatCannotBeWrittenEndsWithStatus8)
{
    for (const char* name : {"/dev/full", "fehlt/out.txt"}) {
        SCOPED_TRACE(name);
        const ConsoleRun r = kytsim(kDecay + " --IALG 1 --INITSTEP 0.01 --FNAME " + name);
        EXPECT_EQ(8, r.status);
        EXPECT_THAT(r.err, HasSubstr(std::string("Die Ergebnisdatei \"") + name + "\""));
        EXPECT_THAT(r.err, ::testing::Not(HasSubstr("Simulationsparameter")));
    }
}

TEST_F(KytsimTest, TheHelpNamesTheOptionsAndTheExitStatuses)
{
    const ConsoleRun r = kytsim("--help");
    EXPECT_EQ(0, r.status);
    EXPECT_THAT(r.out, HasSubstr("--INI"));
    EXPECT_THAT(r.out, HasSubstr("--LOCAL"));
    EXPECT_THAT(r.out, HasSubstr("\n  8    ein Laufzeitfehler"));
}

// Mended: method 0 left the states where they were without a word.
TEST_F(KytsimTest, MethodZeroWarnsOnceThatItIntegratesNoState)
{
    const ConsoleRun r = kytsim(kDecay + " --IALG 0");
    EXPECT_EQ(0, r.status);
    const std::string warning = "Das Verfahren IALG 0 integriert nicht: die 1 Zust";
    EXPECT_THAT(r.err, HasSubstr(warning));
    EXPECT_EQ(r.err.find(warning), r.err.rfind(warning));
    EXPECT_EQ("", kytsim(kDecay + " --IALG 1").err);
}

// Mended: kytsim installed no library "Local", so FZINIT could not read the
// wizard's block and the fuzzy controller could not run headless. The
// library comes from kyt.ini (in the current directory, or where --INI
// says) or from --LOCAL. Reference: the hand-computed outputs of pd9.
TEST_F(KytsimTest, AFuzzyBlockOfTheLocalLibraryRunsHeadless)
{
    const std::string fuzzy = KYT_FUZZY_FIXTURES;
    const std::string block = readFileBytes(fuzzy + "/Local/pd9");
    const std::string rest = readFileBytes(kFixtures + "/fuzzy_pd9.kyt");
    ASSERT_FALSE(block.empty());
    work.write("fuzzy.kyt", "FROM \"Local\" \"pd9\"\n" + block + "\n" + rest);
    const std::string settings = " --IALG 1 --INITSTEP 0.01";
    work.mkdir("inst");
    work.write("inst/kyt.ini", "BLOCKLIBS\n  LIB Local AT " + fuzzy + "/Local;\nENDBLOCKLIBS\n");
    const std::string ways[] = {"--INI '" + kFixtures + "/installation'",
                                "--LOCAL '" + fuzzy + "/Local'", "--INI inst"};
    const double expected[6] = {0, 703.0 / 7498, -250.0 / 1887, 1503.0 / 4025, 0.84, 0};
    for (const std::string& way : ways) {
        SCOPED_TRACE(way);
        const ConsoleRun r = kytsim("fuzzy.kyt " + way + settings);
        EXPECT_EQ(0, r.status);
        EXPECT_EQ("", r.err);
        // The block records at its own sampling as well: the rows at r + 0.77.
        int found = 0;
        for (const std::string& line : linesOf(r.out)) {
            double t = 0, e = 0, de = 0, u = 0;
            if (sscanf(line.c_str(), "%lf %lf %lf %lf", &t, &e, &de, &u) != 4)
                continue;
            const long row = std::lround(t - 0.77);
            if (std::fabs(t - 0.77 - row) > 1e-9 || row < 0 || row > 5)
                continue;
            EXPECT_NEAR(expected[row], u, 1e-9) << "row " << row;
            ++found;
        }
        EXPECT_EQ(6, found);
    }
    // kyt.ini in the current directory, as kyt finds it.
    work.write("kyt.ini", work.read("inst/kyt.ini"));
    EXPECT_EQ(0, kytsim("fuzzy.kyt" + settings).status);
    // Without the library FZINIT stops the run: an error end.
    ScratchDir other;
    const ConsoleRun none = kytsim("fuzzy.kyt --INI '" + other.path + "'" + settings);
    EXPECT_EQ(1, none.status);
    EXPECT_THAT(none.err, HasSubstr("kyt.ini kann nicht ge"));
    other.write("kyt.ini", "TEMPDIR = tmp;\n");
    const ConsoleRun unnamed = kytsim("fuzzy.kyt --INI '" + other.path + "'" + settings);
    EXPECT_EQ(1, unnamed.status);
    EXPECT_THAT(unnamed.err, HasSubstr("Die Blockbibliothek Local ist in"));
    std::remove(work.file("kyt.ini").c_str());
    const ConsoleRun noLocal = kytsim("fuzzy.kyt" + settings);
    EXPECT_EQ(8, noLocal.status);
    EXPECT_THAT(noLocal.err, HasSubstr("Blockbibliothek Local installiert"));
}

} // namespace
