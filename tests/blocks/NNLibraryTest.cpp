// The NN run-time library against a recording host and a recording error
// plot: handles and modes, loading, recording samples, training after the
// run and on-line, the files it writes, and the hooks.
#include "NNTestSupport.h"

#include "NetFiles.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace nntest;

namespace {

class NNLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        descriptor = NetFakeHost::attach();
        setNetErrorPlotSystem(&plots);
        nnLoadHook();
        netPath = scratch.file("xor.net");
        writeFileBytes(netPath, readFileBytes(fixturePath("xor.net")));
        // The circuits directory in DOS form, as kyt.ini names it: one name
        // on the pattern file's FILENAME: line.
        NetFakeHost::circuitsDir() = scratch.path();
        for (char& c : NetFakeHost::circuitsDir())
            if (c == '/')
                c = '\\';
        xorName = NetFakeHost::addString(netPath);
    }
    void TearDown() override
    {
        nnUnloadHook();
        setNetErrorPlotSystem(nullptr);
    }
    std::string message(size_t i) const
    {
        return i < NetFakeHost::messages().size() ? NetFakeHost::messages()[i] : std::string("<none>");
    }
    // The four XOR samples, recorded as a model would: evaluate, take the
    // output, hand the error back, record.
    void recordXorSamples(double handle)
    {
        const double in[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
        const double ref[4] = {0, 1, 1, 0};
        for (int p = 0; p < 4; ++p) {
            NNSETINPUT(handle, 0, in[p][0]);
            NNSETINPUT(handle, 1, in[p][1]);
            NNTRAINING(handle, 0);
            NNSETOUTPUTERR(handle, 0, ref[p] - NNGETOUTPUT(handle, 0));
            NNTRAINING(handle, 1);
        }
    }

    ModuleDescriptor* descriptor = nullptr;
    FakePlotSystem plots;
    ScratchDir scratch;
    std::string netPath;
    double xorName = 0;
    SinkScope errors;
};

TEST_F(NNLibrary, DescriptorRows)
{
    ASSERT_NE(descriptor, nullptr);
    EXPECT_STREQ(descriptor->errorKey, "NNHAND");
    const struct {
        const char* name;
        int kind;
        const char* signature;
    } rows[] = {
        {"NN", 4, nullptr},          {"NN", 16, nullptr},          {"NNINIT", 1, "dsd"},
        {"NNEXIT", 2, "dd"},         {"NNSETINPUT", 2, "ddd"},     {"NNGETOUTPUT", 1, "ddd"},
        {"NNSETCYCLES", 2, "dd"},    {"NNTRAINING", 2, "dd"},      {"NNSETOUTPUTERR", 2, "ddd"},
        {"NNGETERROR", 1, "dd"},
    };
    size_t i = 0;
    for (; descriptor->entries[i].name; ++i) {
        ASSERT_LT(i, sizeof rows / sizeof rows[0]);
        EXPECT_STREQ(descriptor->entries[i].name, rows[i].name);
        EXPECT_EQ(descriptor->entries[i].kind, rows[i].kind);
        if (rows[i].signature) {
            EXPECT_STREQ(descriptor->entries[i].signature, rows[i].signature);
        }
        EXPECT_NE(descriptor->entries[i].function, nullptr);
    }
    EXPECT_EQ(i, sizeof rows / sizeof rows[0]);
}

TEST_F(NNLibrary, HandlesAreCutAndCheckedOnTheDouble)
{
    for (int i = 0; i < kNNSlots; ++i)
        ASSERT_EQ(NNINIT(xorName, 0), static_cast<double>(i));
    NetFakeHost::clear();
    EXPECT_EQ(NNGETERROR(9.9), 0.0);   // slot 9
    EXPECT_TRUE(NetFakeHost::messages().empty());

    const double bad[] = {10.0, -0.5, std::numeric_limits<double>::quiet_NaN(), -1.0, 1e300};
    for (double h : bad) {
        NetFakeHost::clear();
        EXPECT_EQ(NNGETOUTPUT(h, 0), 0.0) << h;
        EXPECT_EQ(message(0), "Interne Blockkennung ist ungültig!") << h;
        EXPECT_EQ(NetFakeHost::levels()[0], 1);
        EXPECT_EQ(NetFakeHost::stops(), 1);
        EXPECT_EQ(NetFakeHost::compileKeys(), std::vector<std::string>{"NNHAND"});
    }
    NetFakeHost::clear();
    NNSETOUTPUTERR(12, 0, 1.0);
    EXPECT_EQ(NetFakeHost::compileKeys(), std::vector<std::string>{"NNHANDLE"});

    // An empty slot is no handle either.
    NNEXIT(3, 0);
    NetFakeHost::clear();
    NNTRAINING(3, 0);
    EXPECT_EQ(message(0), "Interne Blockkennung ist ungültig!");
}

TEST_F(NNLibrary, TheEleventhNetFindsNoSlotAndTouchesNone)
{
    NeuralNet* before[kNNSlots];
    for (int i = 0; i < kNNSlots; ++i) {
        NNINIT(xorName, 0);
        before[i] = nnSlotNet(i);
    }
    NetFakeHost::clear();
    EXPECT_EQ(NNINIT(xorName, 0), 0.0);
    EXPECT_EQ(message(0), "Es wurden mehr als 10 Neuro-Einheiten instanziert!");
    EXPECT_EQ(NetFakeHost::stops(), 1);
    for (int i = 0; i < kNNSlots; ++i)
        EXPECT_EQ(nnSlotNet(i), before[i]);
}

TEST_F(NNLibrary, LoadFailuresReturnZeroAndStop)
{
    const std::string missing = scratch.file("fehlt.net");
    NetFakeHost::clear();
    EXPECT_EQ(NNINIT(NetFakeHost::addString(missing), 0), 0.0);
    EXPECT_EQ(message(0), "Die Datei " + missing + " kann nicht geöffnet werden!");
    EXPECT_EQ(NetFakeHost::stops(), 1);
    EXPECT_EQ(nnSlotNet(0), nullptr);

    struct Broken {
        const char* from;
        const char* to;
        const char* inMessage;
    };
    const Broken broken[] = {
        {"SCREENOPTIONS\n", "SCREENOPTIONS:\n", "erwartet wird: \" Digits \""},
        {"HIDDENLAYER: 1", "HIDDENLAYER: -1", "HIDDENLAYER: darf nicht negativ sein!"},
    };
    for (const Broken& b : broken) {
        const std::string path = scratch.file("kaputt.net");
        writeFileBytes(path, replaceOnce(readFileBytes(fixturePath("xor.net")), b.from, b.to));
        NetFakeHost::clear();
        errors.sink.boxes.clear();
        EXPECT_EQ(NNINIT(NetFakeHost::addString(path), 0), 0.0);
        EXPECT_EQ(message(0).rfind("Netz-Parser fand einen Fehler:\nIn oder vor Zeile ", 0), 0u) << message(0);
        EXPECT_NE(message(0).find(b.inMessage), std::string::npos) << message(0);
        EXPECT_EQ(NetFakeHost::stops(), 1);
        EXPECT_EQ(errors.sink.boxes.size(), 1u);   // the parser's own box
        EXPECT_EQ(nnSlotNet(0), nullptr);
    }

    // A string index the program does not have.
    NetFakeHost::clear();
    EXPECT_EQ(NNINIT(99, 0), 0.0);
    EXPECT_EQ(nnSlotNet(0), nullptr);
}

// An endless input is read up to the limit of a net file only, then refused
// with its own message.
TEST_F(NNLibrary, AnEndlessNetFileIsRefusedAtTheLimit)
{
    NetFakeHost::clear();
    EXPECT_EQ(NNINIT(NetFakeHost::addString("/dev/zero"), 0), 0.0);
    EXPECT_EQ(message(0), "Die Datei /dev/zero ist zu groß für ein Netz (mehr als 64 MB)!");
    EXPECT_EQ(NetFakeHost::stops(), 1);
    EXPECT_EQ(nnSlotNet(0), nullptr);

    // The limit itself: a stream of exactly that many bytes is read whole.
    struct Case {
        size_t bytes;
        bool read;
    } cases[] = {{99, true}, {100, true}, {101, false}, {100000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        FILE* f = tmpfile();
        ASSERT_TRUE(f);
        std::string text(c.bytes, 'x');
        fwrite(text.data(), 1, text.size(), f);
        rewind(f);
        std::string bytes = "old";
        bool tooLarge = !c.read;
        EXPECT_EQ(c.read, netReadStream(f, &bytes, &tooLarge, 100));
        EXPECT_EQ(!c.read, tooLarge);
        EXPECT_EQ(c.read ? text : std::string(), bytes);
        fclose(f);
    }
}

TEST_F(NNLibrary, AnUnknownModeIsReportedAndTheNetStays)
{
    EXPECT_EQ(NNINIT(xorName, 7), 0.0);
    EXPECT_EQ(message(0), "Ungültiger Parameter 7. im Neuronalen Netz 0 !");
    EXPECT_EQ(NetFakeHost::compileKeys(), std::vector<std::string>{"NNPARA"});
    EXPECT_NE(nnSlotNet(0), nullptr);
    NetFakeHost::clear();
    NNTRAINING(0, 4.5);
    EXPECT_EQ(message(0), "Ungültiger Parameter 4.5 im Neuronalen Netz 0 !");
    NetFakeHost::clear();
    NNEXIT(0, -3);
    EXPECT_EQ(message(0), "Ungültiger Parameter -3. im Neuronalen Netz 0 !");
    EXPECT_NE(nnSlotNet(0), nullptr);
}

TEST_F(NNLibrary, ModeTwoWithoutSamplesActsAsModeOne)
{
    EXPECT_EQ(NNINIT(xorName, 2), 0.0);
    EXPECT_TRUE(plots.plots.empty());
    EXPECT_EQ(nnTrainingPending(), 0);
    EXPECT_EQ(nnSlotNet(0)->patternCount, 1);
}

TEST_F(NNLibrary, ExitWithoutSamplesKeepsTheNet)
{
    NNINIT(xorName, 1);
    for (double mode : {2.0, 1.0}) {
        NetFakeHost::clear();
        NNEXIT(0, mode);
        EXPECT_EQ(message(0), "Es sind keine Testmusterdaten vorhanden!") << mode;
        EXPECT_EQ(NetFakeHost::stops(), 1);
        EXPECT_NE(nnSlotNet(0), nullptr);
    }
    EXPECT_EQ(readFileBytes(netPath), readFileBytes(fixturePath("xor.net")));
}

TEST_F(NNLibrary, RecordsNumberTheirSamplesOnFromTheCounter)
{
    NNINIT(xorName, 1);
    NNTRAINING(0, 1);
    NNTRAINING(0, 1);
    EXPECT_EQ(nnSampleCounter(0), 2);
    EXPECT_EQ(nnSampleListLength(0), 2);
    NNEXIT(0, 0);
    // The counter survives the net; mode 0 keeps it.
    EXPECT_EQ(nnSlotNet(0), nullptr);
    NNINIT(xorName, 0);
    NNTRAINING(0, 1);
    EXPECT_EQ(nnSampleCounter(0), 3);
    EXPECT_EQ(nnSampleListLength(0), 1);
}

TEST_F(NNLibrary, RecordingThenTrainingAfterTheRun)
{
    // The run: record the four XOR samples, then end with the pattern file.
    ASSERT_EQ(NNINIT(xorName, 1), 0.0);
    recordXorSamples(0);
    EXPECT_EQ(nnSampleCounter(0), 4);
    NNEXIT(0, 1);
    EXPECT_EQ(nnSlotNet(0), nullptr);
    EXPECT_TRUE(NetFakeHost::messages().empty()) << message(0);
    const std::string patPath = scratch.file("xor.pat");
    ASSERT_TRUE(fileExists(patPath));
    EXPECT_NE(readFileBytes(patPath).find("FILENAME: " + NetFakeHost::circuitsDir() + "\n"), std::string::npos);
    {
        NeuralNet check;
        ASSERT_EQ(parseNet(&check, readFileBytes(netPath)), 0);
        ASSERT_EQ(parsePatterns(&check, readFileBytes(patPath)), 0);
        EXPECT_EQ(check.patternCount, 4);
        EXPECT_EQ(check.getReferenceOutput(0, 1), 1.0);
        EXPECT_EQ(check.getInputPattern(0, 2), 1.0);
    }

    // The next run: mode 2 takes the samples, the cycles start the training.
    ASSERT_EQ(NNINIT(xorName, 2), 0.0);
    EXPECT_EQ(nnTrainingPending(), 1);
    ASSERT_EQ(plots.plots.size(), 1u);
    FakePlot* plot = plots.last();
    const NetErrorPlotFrame& f = plots.frames[0];
    EXPECT_EQ(f.x, 450);
    EXPECT_EQ(f.y, 0);
    EXPECT_EQ(f.width, 400);
    EXPECT_EQ(f.height, 400);
    EXPECT_EQ(f.style, 0xcf0000UL);
    EXPECT_STREQ(f.title, "Error-Oszi");
    EXPECT_EQ(plot->signalCount, 1);
    EXPECT_EQ(plot->plotTitle, "Cycles");
    EXPECT_EQ(plot->signalName, "Error");
    EXPECT_EQ(plot->colour, 0xff0000UL);
    EXPECT_EQ(plot->drawingMode, 1);
    const double e0 = 1.01502819134138;   // nn/reference_xor.py
    const std::vector<std::pair<double, double>> initial = {{0, e0}, {0, 0}, {11, 0}, {0, 0}, {0, e0}};
    ASSERT_EQ(plot->points.size(), initial.size());
    for (size_t i = 0; i < initial.size(); ++i) {
        EXPECT_EQ(plot->points[i].first, initial[i].first) << i;
        EXPECT_NEAR(plot->points[i].second, initial[i].second, 1e-12) << i;
    }
    EXPECT_EQ(plot->rescales, 1);

    NNSETCYCLES(0, 5000);
    EXPECT_EQ(nnTrainingPending(), 0);
    EXPECT_LT(NNGETERROR(0), 0.01);
    EXPECT_EQ(plot->points.size(), initial.size() + 1 + 183);   // (0, E0), then one point per cycle
    EXPECT_EQ(plot->rescales, 2);

    // The trained net goes back into its file.
    NNEXIT(0, 3);
    NeuralNet trained;
    ASSERT_EQ(parseNet(&trained, readFileBytes(netPath)), 0);
    EXPECT_NE(trained.getWeight(0, 2), 0.5);
    EXPECT_EQ(trained.cycles, 5000);
    EXPECT_TRUE(NetFakeHost::messages().empty()) << message(0);
}

TEST_F(NNLibrary, ExitModeTwoSkipsThePatternFileOfAnOverflowedNet)
{
    NNINIT(xorName, 1);
    NNSETOUTPUTERR(0, 0, 5000.0);   // reference = output + 5000
    NNTRAINING(0, 1);
    NNEXIT(0, 1);
    EXPECT_FALSE(fileExists(scratch.file("xor.pat")));
    EXPECT_EQ(nnSlotNet(0), nullptr);
    EXPECT_NE(readFileBytes(netPath), readFileBytes(fixturePath("xor.net")));   // written back all the same
}

TEST_F(NNLibrary, OnLineTrainingStepByStep)
{
    plots.scale = 1.0;   // rescale every 10 steps
    ASSERT_EQ(NNINIT(xorName, 3), 0.0);
    FakePlot* plot = plots.last();
    ASSERT_NE(plot, nullptr);
    const size_t initial = plot->points.size();
    const int rescalesBefore = plot->rescales;
    const double in[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    const double ref[4] = {0, 1, 1, 0};
    for (int step = 0; step < 20; ++step) {
        const int p = step % 4;
        NNSETINPUT(0, 0, in[p][0]);
        NNSETINPUT(0, 1, in[p][1]);
        NNTRAINING(0, 2);
        NNSETOUTPUTERR(0, 0, ref[p] - NNGETOUTPUT(0, 0));
        NNTRAINING(0, 3);
    }
    ASSERT_EQ(plot->points.size(), initial + 20);
    for (int step = 0; step < 20; ++step)
        EXPECT_EQ(plot->points[initial + step].first, static_cast<double>(step));
    EXPECT_EQ(plot->rescales - rescalesBefore, 2);
    EXPECT_EQ(nnSlotNet(0)->cycles, 1);
    EXPECT_NE(nnSlotNet(0)->getWeight(0, 2), 0.5);

    // An x scale below 1 gives a period of 0: a rescale at every step.
    plot->scale = 0.5;
    const int r = plot->rescales;
    NNTRAINING(0, 3);
    NNTRAINING(0, 3);
    EXPECT_EQ(plot->rescales - r, 2);
}

TEST_F(NNLibrary, ASecondPlotTakesThePlaceOfTheFirst)
{
    NNINIT(xorName, 3);
    NNINIT(xorName, 3);
    ASSERT_EQ(plots.plots.size(), 2u);
    EXPECT_TRUE(plots.plots[0]->released);
    EXPECT_EQ(nnErrorPlot(), plots.plots[1]);
    nnUnloadHook();
    EXPECT_TRUE(plots.plots[1]->destroyed);
    EXPECT_EQ(nnErrorPlot(), nullptr);
}

TEST_F(NNLibrary, TwoNetsOfDifferentSizesLoadedTrainedAndUnloaded)
{
    const std::string widePath = scratch.file("wide.net");
    writeFileBytes(widePath, readFileBytes(fixturePath("wide.net")));
    ASSERT_EQ(NNINIT(xorName, 3), 0.0);
    ASSERT_EQ(NNINIT(NetFakeHost::addString(widePath), 3), 1.0);
    for (int step = 0; step < 12; ++step) {
        NNSETINPUT(0, 0, step % 2);
        NNSETINPUT(1, 2, 0.1 * step);
        NNTRAINING(0, 2);
        NNSETOUTPUTERR(0, 0, 1.0 - NNGETOUTPUT(0, 0));
        NNTRAINING(0, 3);
        NNTRAINING(1, 2);
        NNSETOUTPUTERR(1, 1, 0.5 - NNGETOUTPUT(1, 1));
        NNTRAINING(1, 3);
        NNTRAINING(1, 1);
    }
    EXPECT_TRUE(std::isfinite(NNGETERROR(0)));
    EXPECT_TRUE(std::isfinite(NNGETERROR(1)));
    NNEXIT(1, 1);   // wide: samples to patterns, pattern file, write-back
    EXPECT_TRUE(fileExists(scratch.file("wide.pat")));
    EXPECT_TRUE(NetFakeHost::messages().empty()) << message(0);
    // Slot 0 stays for the unload hook.
}

} // namespace
