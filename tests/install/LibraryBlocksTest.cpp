// Every block of every library of the staged installation, each on its own
// in a minimal circuit with the control block: it reads without a message,
// every declaration carries the comment that the parameter dialog shows,
// its icon exists and draws, and the circuit compiles, loads and runs for
// one second. A failure names the library, the group and the block.
#include "BlockObject.h"
#include "CircuitModel.h"
#include "CompileRoad.h"
#include "FileLayer.h"
#include "HostServices.h"
#include "Icon.h"
#include "Integrators.h"
#include "PiLoader.h"
#include "PiProgram.h"
#include "RecordingRun.h"
#include "ResetSimulator.h"
#include "ResultFile.h"
#include "RunRoad.h"
#include "SignalNameRegistry.h"
#include "Simulator.h"
#include "TempDirFixture.h"
#include "TestSinks.h"
#include "Workspace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string kInstallation = KYT_INSTALL_DIR;

struct LibraryBlock {
    std::string library;
    std::string group;
    std::string name;
    std::string file;  // path relative to the installation
    std::string label() const { return library + " / " + group + " / " + name + " (" + file + ")"; }
};

// Runs in the installation directory, as the programs do: kyt.ini names its
// directories relative to it. Temporary files go to a scratch directory.
class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char buffer[4096];
        ASSERT_NE(nullptr, getcwd(buffer, sizeof buffer));
        oldDirectory = buffer;
        ASSERT_EQ(0, chdir(kInstallation.c_str())) << kInstallation;
        readInstallationFile(workspace, "kyt.ini");
        workspace.setTempDir(scratch.path.c_str());
        setWorkspace(&workspace);
        sNBase = &registry;
        iconBase = &icons;
        // The string constants of the program reach the libraries (file
        // names of TABLEOPEN), as in the main program.
        HostSeams seams = {};
        seams.stringCount = piStringCount;
        seams.stringText = piStringText;
        setHostSeams(&seams);
    }
    void TearDown() override
    {
        setHostSeams(nullptr);
        iconBase = nullptr;
        sNBase = nullptr;
        setWorkspace(nullptr);
        EXPECT_EQ(0, chdir(oldDirectory.c_str()));
    }

    std::vector<LibraryBlock> blocks()
    {
        std::vector<LibraryBlock> all;
        for (int i = 0; i < workspace.libraryCount; ++i) {
            BlockLibrary& lib = workspace.libraries[i];
            for (int s = 0; s < lib.sectionCount; ++s) {
                LibrarySection& section = lib.sections[s];
                for (int b = 0; b < section.count; ++b)
                    all.push_back({lib.name.text(), section.name.text(), section.getFirstName(b).text(),
                                   std::string(lib.file.text()) + "/" + section.getSecondName(b).text()});
            }
        }
        return all;
    }

    BlockObject* add(CircuitModel& model, const std::string& file, const char* library, Point at)
    {
        return model.createBlock(at, Point(6, 4), file.c_str(), library, 1);
    }

    RecordingScope rec;
    ScratchDir scratch;
    Workspace workspace;
    SignalNameRegistry registry;
    IconStore icons;
    std::string oldDirectory;
};

std::string messages(const RecordingScope& rec)
{
    std::string all;
    for (const auto& call : rec.viewer.calls)
        all += call.message + "\n";
    for (const auto& box : rec.sink.boxes)
        all += box + "\n";
    return all;
}

int runFor(Simulator& simulator, const SimParams& sim)
{
    if (!simulator.startSimulation(sim, 1))
        return -2;
    for (long i = 0; i < 1000000; ++i)
        if (simulator.SimulationRunStep())
            return simulator.lastEndCode();
    return -1;
}

} // namespace

TEST_F(InstallationTest, TheLibrariesOfKytIniAreAllThere)
{
    const char* expected[] = {"Allgemein", "Quellen", "Linear", "Regler", "Nichtlinear", "Diskret", "Local"};
    ASSERT_EQ(static_cast<int>(sizeof expected / sizeof expected[0]), workspace.libraryCount);
    for (int i = 0; i < workspace.libraryCount; ++i)
        EXPECT_STREQ(expected[i], workspace.libraries[i].name.text());
    EXPECT_STREQ("Beispiele", workspace.CIRCUITDIR.text());
    EXPECT_STREQ("hilfe", workspace.HELPDIR.text());
    EXPECT_STREQ("bin", workspace.BINDIR.text());
    EXPECT_GE(blocks().size(), 39u);
    // The staged index is Windows-1252, as this test's own literals are.
    ASSERT_GE(workspace.libraries[2].sectionCount, 1);
    EXPECT_STREQ("Lineare Übertragungsglieder", workspace.libraries[2].sections[0].name.text());
    EXPECT_EQ("", messages(rec));
}

TEST_F(InstallationTest, EveryBlockReadsWithCommentsAndAnIcon)
{
    for (const LibraryBlock& entry : blocks()) {
        SCOPED_TRACE(entry.label());
        BlockObject block(Point(0, 0), Point(0, 0), entry.file.c_str(), entry.library.c_str());
        ASSERT_FALSE(block.errorFlag) << messages(rec);
        if (block.kindFlags & (kKindText | kKindFrame))
            continue;
        for (int i = 0; i < block.inputCount; ++i)
            EXPECT_NE("", std::string(BlockObject::at(block.inputComments, i).text())) << "input " << i + 1;
        for (int i = 0; i < block.outputCount; ++i)
            EXPECT_NE("", std::string(BlockObject::at(block.outputComments, i).text())) << "output " << i + 1;
        for (int i = 0; i < block.parameterCount; ++i) {
            SCOPED_TRACE(BlockObject::at(block.parameterNames, i).text());
            EXPECT_NE("", std::string(BlockObject::at(block.parameterComments, i).text()));
            EXPECT_NE("", std::string(BlockObject::at(block.parameterValues, i).text()));
        }
        // The icon: a program of the icon directory that draws something.
        const Icon* icon = icons.get(block.iconName.text());
        ASSERT_NE(nullptr, icon) << block.iconName.text();
        EXPECT_NE("*** NO PIC ***", std::string(block.iconName.text()));
        EXPECT_FALSE(icon->program().empty());
        EXPECT_GT(icon->getMaxWidth(), 0);
        EXPECT_GT(icon->getMaxHeight(), 0);
    }
    EXPECT_EQ("", messages(rec));
}

TEST_F(InstallationTest, EveryBlockCompilesAndRunsWithTheControlBlock)
{
    const std::string control = "allgemein/steuerung";
    const std::string constant = "quellen/konstante";
    for (const LibraryBlock& entry : blocks()) {
        SCOPED_TRACE(entry.label());
        rec.viewer.calls.clear();
        rec.sink.boxes.clear();
        CircuitModel model;
        if (entry.file != control) {
            BlockObject* steuerung = add(model, control, "Allgemein", Point(2, 2));
            ASSERT_TRUE(steuerung && !steuerung->errorFlag);
            steuerung->setParameterValue("tend", "1");
        }
        BlockObject* block = add(model, entry.file, entry.library.c_str(), Point(20, 10));
        ASSERT_TRUE(block && !block->errorFlag) << messages(rec);
        if (block->kindFlags & kKindControl)
            block->setParameterValue("tend", "1");
        // Every input from one constant 0.5 (inside every table's range),
        // which is marked: a block without outputs still leaves a signal.
        BlockObject* source = add(model, constant, "Quellen", Point(2, 10));
        ASSERT_TRUE(source && !source->errorFlag);
        source->setParameterValue("c", "0.5");
        BlockObject::store(source->symbolMarks, source->symbolMarkIndex(SYMBOL_OUTPUT, 0), 1);
        for (int i = 0; i < block->inputCount; ++i)
            ASSERT_TRUE(model.createConnection(source, PortRef{2, 1}, block, PortRef{1, i + 1}));
        if (block->outputCount > 0)
            BlockObject::store(block->symbolMarks, block->symbolMarkIndex(SYMBOL_OUTPUT, 0), 1);

        const int compiled = compileCircuit(model);
        EXPECT_EQ(COMPILE_LOADED, compiled) << messages(rec);
        if (compiled != COMPILE_LOADED)
            continue;
        collectMarkedSymbols(model, piProgram);
        SimParams sim = defaultSimParams();
        sim.IALG = kMethodRungeKutta4;
        sim.INITSTEP = 0.01;
        RecordingPlot plot;
        RecordingHost host;
        {
            Simulator simulator(&plot, &host);
            EXPECT_EQ(SIM_END_NORMAL, runFor(simulator, sim)) << messages(rec);
        }
        ResultFileClose();
        freeIntegrator(0);
        resetSimulator();
        releaseCompiledModel();
        EXPECT_EQ("", messages(rec));
        EXPECT_FALSE(plot.points.empty());
    }
}
