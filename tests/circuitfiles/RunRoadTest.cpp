// The run road without windows: a circuit built in code from the compilable
// fixture library Regel is checked, written for the compiler, compiled,
// loaded, labelled and simulated. Expected values are analytic.
#include "CircuitModel.h"
#include "CircuitReader.h"
#include "CircuitTestSupport.h"
#include "CompileRoad.h"
#include "Integrators.h"
#include "PiProgram.h"
#include "RecordingRun.h"
#include "ResString.h"
#include "ResetSimulator.h"
#include "ResultFile.h"
#include "RunRoad.h"
#include "TextLines.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class RunRoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.mkdir("tmp");
        std::string ini = "CIRCUITDIR = " + scratch.file("tmp") + ";\nICONDIR = " + kFixtures +
                          "/icons;\nTEMPDIR = " + scratch.file("tmp") + ";\nBLOCKLIBS\n    LIB Regel AT " + kFixtures +
                          "/regel;\nENDBLOCKLIBS\n";
        readInstallationFile(workspace, scratch.write("kyt.ini", ini).c_str());
        setWorkspace(&workspace);
        sNBase = &registry;
        iconBase = &icons;
        char buffer[4096];
        ASSERT_NE(nullptr, getcwd(buffer, sizeof buffer));
        oldDirectory = buffer;
        // The result file "nul" and simul.dat land in the scratch directory.
        ASSERT_EQ(0, chdir(scratch.path.c_str()));
    }
    void TearDown() override
    {
        simulator.reset();
        ResultFileClose();
        freeIntegrator(0);
        resetSimulator();
        releaseCompiledModel();
        EXPECT_EQ(0, chdir(oldDirectory.c_str()));
        iconBase = nullptr;
        sNBase = nullptr;
        setWorkspace(nullptr);
    }

    BlockObject* add(const char* file, Point at)
    {
        BlockObject* b = model.createBlock(at, Point(6, 3), (kFixtures + "/regel/" + file).c_str(), "Regel", 1);
        EXPECT_TRUE(b && !b->errorFlag) << file;
        return b;
    }

    // Control block (te 5), step (t0 1, a 1) into a PT1 (K 2, T 0.5), its
    // output marked.
    void buildPt1Circuit(bool withControl = true)
    {
        if (withControl)
            add("steuer", Point(2, 2))->setParameterValue("te", "5");
        BlockObject* step = add("sprung", Point(2, 10));
        step->setParameterValue("t0", "1");
        step->setParameterValue("a", "1");
        BlockObject* pt1 = add("pt1", Point(12, 10));
        pt1->setParameterValue("K", "2");
        pt1->setParameterValue("T", "0.5");
        ASSERT_TRUE(model.createConnection(step, PortRef{2, 1}, pt1, PortRef{1, 1}));
        BlockObject::store(pt1->symbolMarks, pt1->symbolMarkIndex(SYMBOL_OUTPUT, 0), 1);
        SimParams sim = defaultSimParams();
        sim.IALG = kMethodRungeKutta4;
        sim.INITSTEP = 0.01;
        workspace.setSimParams(sim);
    }

    int run()
    {
        SimParams sim;
        workspace.getSimParams(sim);
        simulator.reset(new Simulator(&plot, &host));
        if (!simulator->startSimulation(sim, 1))
            return -2;
        for (long i = 0; i < 2000000; ++i)
            if (simulator->SimulationRunStep())
                return simulator->lastEndCode();
        return -1;
    }

    RecordingScope rec;
    ScratchDir scratch;
    Workspace workspace;
    SignalNameRegistry registry;
    IconStore icons;
    CircuitModel model;
    std::string oldDirectory;
    RecordingPlot plot;
    RecordingHost host;
    std::unique_ptr<Simulator> simulator;
};

} // namespace

TEST_F(RunRoadTest, Pt1StepResponseWithRungeKutta4)
{
    buildPt1Circuit();
    ASSERT_EQ(RunFinding::Runnable, model.checkRunnable());
    ASSERT_EQ(COMPILE_LOADED, compileCircuit(model)) << (rec.viewer.calls.empty() ? "" : rec.viewer.calls[0].message);
    EXPECT_TRUE(scratch.exists("tmp/kyttrans.tmp"));
    collectMarkedSymbols(model, piProgram);
    ASSERT_EQ(SIM_END_NORMAL, run()) << (rec.viewer.calls.empty() ? "" : rec.viewer.calls[0].message);
    ASSERT_FALSE(plot.points.empty());
    ASSERT_EQ(1u, plot.signals.size());
    // Labelled with the signal name of the PT1 output (the step holds "y").
    EXPECT_EQ("y_1", plot.signals[0].name);
    EXPECT_NEAR(5.0, plot.points.back().x, 1e-9);
    // 2 (1 - e^-8): four seconds after the step, eight time constants.
    EXPECT_NEAR(2 * (1 - std::exp(-8.0)), plot.points.back().values[0], 1e-6);
    EXPECT_NEAR(1.9993291, plot.points.back().values[0], 1e-6);
}

TEST_F(RunRoadTest, TheCheckComesFirstAndAFailedWriteIsNoRun)
{
    buildPt1Circuit(false);
    EXPECT_EQ(RunFinding::NoControlBlock, model.checkRunnable());
    workspace.setTempDir(scratch.file("fehlt").c_str());
    EXPECT_EQ(COMPILE_NOT_OPENED, compileCircuit(model));
    ASSERT_EQ(1u, rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, rec.sink.boxes[0].find("kyttrans.tmp"));
}

// ---- kytsim on a saved circuit ----

#ifdef KYTSIM_PATH
namespace {

struct ConsoleRun {
    int status;
    std::string out;
    std::string err;
};

std::string readAll(const std::string& path)
{
    std::string text;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        fclose(f);
    }
    return text;
}

// The value column of the last printed point.
double lastValue(const std::string& out)
{
    size_t end = out.find_last_not_of('\n');
    size_t start = out.rfind('\n', end);
    std::string line = out.substr(start == std::string::npos ? 0 : start + 1, end + 1);
    double x = 0, y = -1;
    sscanf(line.c_str(), "%lf %lf", &x, &y);
    return y;
}

bool isEmptyDirectory(const std::string& dir)
{
    std::string listing;
    std::string command = "ls -A '" + dir + "'";
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return false;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, p))
        listing += buffer;
    return pclose(p) == 0 && listing.empty();
}

} // namespace

class KytsimCircuitTest : public RunRoadTest {
protected:
    // An installation of its own whose TEMPDIR and Local must stay as they are.
    std::string writeIni()
    {
        scratch.mkdir("editor-tmp");
        scratch.mkdir("editor-local");
        return scratch.write("kyt-run.ini", "TEMPDIR = " + scratch.file("editor-tmp") +
                                                 ";\nBLOCKLIBS\n    LIB Regel AT " + kFixtures +
                                                 "/regel;\n    LIB Local AT " + scratch.file("editor-local") +
                                                 ";\nENDBLOCKLIBS\n");
    }
    ConsoleRun kytsim(const std::string& arguments) { return shell("'" KYTSIM_PATH "' " + arguments); }
    // A shell command line whose last command's output is caught.
    ConsoleRun shell(const std::string& line)
    {
        std::string command = line + " > '" + scratch.file("out.txt") + "' 2> '" + scratch.file("err.txt") + "'";
        int status = system(command.c_str());
        return ConsoleRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readAll(scratch.file("out.txt")),
                          readAll(scratch.file("err.txt"))};
    }
};

TEST_F(KytsimCircuitTest, RunsASavedCircuitWithItsSettings)
{
    buildPt1Circuit();
    ASSERT_TRUE(model.saveCircuit(scratch.file("pt1.kyt").c_str(), 0, 0));
    std::string ini = writeIni();

    ConsoleRun r = kytsim("pt1.kyt --ini '" + ini + "'");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_NEAR(1.9993291, lastValue(r.out), 1e-6) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("y_1")) << r.out;

    // Euler with h = 0.01 over the four seconds after the step: 0.98^400.
    r = kytsim("pt1.kyt --ini '" + ini + "' --IALG 8");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_NEAR(2 - 2 * std::pow(0.98, 400), lastValue(r.out), 1e-6) << r.out;
    EXPECT_NEAR(1.9993813, lastValue(r.out), 1e-6);

    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-tmp")));
    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-local")));
}

TEST_F(KytsimCircuitTest, RefusesCircuitsThatCannotRun)
{
    std::string ini = writeIni();
    buildPt1Circuit(false);
    ASSERT_TRUE(model.saveCircuit(scratch.file("ohne.kyt").c_str(), 0, 0));
    ConsoleRun r = kytsim("ohne.kyt --ini '" + ini + "'");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find(getResString(kResNoControlBlock))) << r.err;

    std::string text = readAll(scratch.file("ohne.kyt"));
    size_t as = text.find(" AS ");
    ASSERT_NE(std::string::npos, as);
    scratch.write("kaputt.kyt", text.substr(0, as) + text.substr(as + 3));
    r = kytsim("kaputt.kyt --ini '" + ini + "'");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("FEHLER in Datei kaputt.kyt:")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find(getResString(kResExpectAs))) << r.err;
    EXPECT_TRUE(r.out.empty());

    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-tmp")));
    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-local")));
}
// A circuit that reads but does not compile: the compiler's line is that of
// the text written for it, so that text is kept and named, and the line
// named holds the fault.
TEST_F(KytsimCircuitTest, ACompileErrorNamesTheKeptCompilerTextAndItsLine)
{
    std::string ini = writeIni();
    buildPt1Circuit();
    ASSERT_TRUE(model.saveCircuit(scratch.file("pt1.kyt").c_str(), 0, 0));
    std::string text = readAll(scratch.file("pt1.kyt"));
    size_t k = text.find("    T = 0.5;");
    ASSERT_NE(std::string::npos, k);
    text.replace(k, 12, "    T = 0.5 */ 3;");
    scratch.write("kaputt.kyt", text);
    scratch.mkdir("temp");

    std::string command = "TMPDIR='" + scratch.file("temp") + "' '" KYTSIM_PATH "' kaputt.kyt --ini '" + ini +
                          "' > '" + scratch.file("out.txt") + "' 2> '" + scratch.file("err.txt") + "'";
    int status = system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(1, WEXITSTATUS(status));
    const std::string err = readAll(scratch.file("err.txt"));
    size_t at = err.find("/kyttrans.tmp:");
    ASSERT_NE(std::string::npos, at) << err;
    const size_t lineStart = err.rfind('\n', at);
    const size_t from = lineStart == std::string::npos ? 0 : lineStart + 1;
    const std::string kept = err.substr(from, at + 13 - from);
    const int line = atoi(err.c_str() + at + 14);
    EXPECT_NE(std::string::npos, err.find("bleibt in " + kept + " erhalten")) << err;
    const std::vector<std::string> lines = linesOf(readAll(kept));
    ASSERT_GE(static_cast<int>(lines.size()), line);
    ASSERT_GT(line, 0);
    EXPECT_NE(std::string::npos, lines[line - 1].find("*/")) << lines[line - 1];
    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-tmp")));
    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-local")));
}

namespace {

// The saved PT1 circuit with its PT1 as block "eigen" of an embedded
// library (with more embedded blocks before it when given).
std::string withEmbeddedPt1(const std::string& saved, const std::string& padding, const std::string& more = "")
{
    std::string text = saved;
    const std::string use = "USE pt1 AS B_3 \n$ BLOCKLIB Regel\n";
    size_t at = text.find(use);
    if (at == std::string::npos)
        return std::string();
    text.replace(at, use.size(), "USE eigen AS B_3 \n$ BLOCKLIB Local\n");
    return "@START_BFL\n@END_BFL\n\n" + more + "@START_BLOCK \"eigen\"\n" + padding +
           readAll(kFixtures + "/regel/pt1") + "@END_BLOCK\n\n@END_LOCALLIB\n\n" + text;
}

} // namespace

TEST_F(KytsimCircuitTest, DevicesAndEndlessLinesEndWithAMessage)
{
    std::string ini = writeIni();
    ConsoleRun r = kytsim("/dev/zero --ini '" + ini + "'");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find(std::string(getResString(kResCircuitTooLarge)).substr(0, 30))) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-local")));
}

TEST_F(KytsimCircuitTest, EmbeddedBlocksStayInsideItsLocalDirectory)
{
    buildPt1Circuit();
    ASSERT_TRUE(model.saveCircuit(scratch.file("pt1.kyt").c_str(), 0, 0));
    std::string ini = writeIni();
    // kytsim's Local is a fresh directory in the system's temporary
    // directory: one step up is that directory itself.
    const std::string escape = "kytsim-escape-" + std::to_string(getpid());
    const std::string outside = std::string(P_tmpdir) + "/" + escape;
    std::string bad;
    for (const std::string& name : std::vector<std::string>{"../" + escape, "..\\" + escape, "nul", "con.blk"})
        bad += "@START_BLOCK \"" + name + "\"\nBLOCK boese;\nENDBLOCK\n@END_BLOCK\n";
    scratch.write("eigen.kyt", withEmbeddedPt1(readAll(scratch.file("pt1.kyt")), "", bad));

    ConsoleRun r = kytsim("eigen.kyt --ini '" + ini + "'");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_NEAR(1.9993291, lastValue(r.out), 1e-6) << r.out;
    EXPECT_NE(std::string::npos, r.err.find("\"../" + escape + "\"")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("\"nul\"")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("\"con.blk\"")) << r.err;
    EXPECT_NE(0, access(outside.c_str(), F_OK));
    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-local")));
}

TEST_F(KytsimCircuitTest, ACircuitWhoseBlockLocalCannotTakeDoesNotRun)
{
    buildPt1Circuit();
    ASSERT_TRUE(model.saveCircuit(scratch.file("pt1.kyt").c_str(), 0, 0));
    std::string ini = writeIni();
    const std::string padding = "# " + std::string(2000, '-') + "\n";
    scratch.write("eigen.kyt", withEmbeddedPt1(readAll(scratch.file("pt1.kyt")), padding));

    // With room the embedded PT1 runs as the library's did.
    ConsoleRun r = kytsim("eigen.kyt --ini '" + ini + "'");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_NEAR(1.9993291, lastValue(r.out), 1e-6) << r.out;

    // Files of at most 1024 bytes: the block does not fit, and the circuit
    // without it is not run as if it were the whole.
    r = shell("trap '' XFSZ; ulimit -f 2; '" KYTSIM_PATH "' eigen.kyt --ini '" + ini + "'");
    EXPECT_EQ(1, r.status) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(std::string::npos, r.err.find("Der Block \"eigen\"")) << r.err;
    EXPECT_EQ(std::string::npos, r.err.find("FEHLER in Datei")) << r.err;
    EXPECT_TRUE(isEmptyDirectory(scratch.file("editor-local")));
}
#endif
