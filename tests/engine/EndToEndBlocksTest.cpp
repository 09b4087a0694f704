// The blocks of the fuzzy, Laplace and identification wizards in whole runs:
// model text with the block as the wizard wrote it, compiled on the run
// command's road and simulated headless, with the libraries FUZZY and IDENT
// attached as the program attaches them. Every run carries its expected
// figures and where they come from.
#include "SimulationTestSupport.h"

#include "CompileRoad.h"
#include "FuzzyModule.h"
#include "FuzzyParser.h"
#include "PiLoader.h"
#include "PolyGrammarParser.h"
#include "RunTimeLibraries.h"
#include "TransferBlockCases.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

using namespace simtest;

namespace {

const std::string kFixtures = KYT_ENGINE_FIXTURES;
const std::string kFuzzyFixtures = KYT_FUZZY_FIXTURES;

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to)
{
    for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
    return s;
}

// The directory of the "Local" library that FZINIT reads wizard blocks from.
std::string localDirectory;
const char* localLibrary()
{
    return localDirectory.c_str();
}

class EndToEndTest : public SimulationTest {
protected:
    void SetUp() override
    {
        SimulationTest::SetUp();
        // The libraries of the program, as it hands them to the registry.
        setModuleLibraryList(kRunTimeLibraries);
        scratch.mkdir("Local");
        localDirectory = scratch.file("Local");
        HostSeams seams = {};
        seams.queueDeferredMessage = pitest::recordQueued;
        seams.stringCount = piStringCount;
        seams.stringText = piStringText;
        seams.localLibraryDirectory = localLibrary;
        setHostSeams(&seams);
    }
    void TearDown() override
    {
        SimulationTest::TearDown();
        localDirectory.clear();
    }

    // Compiles model text from a file in the scratch directory; the
    // outcome of the compile road.
    int compileText(const std::string& text, const char* name = "modell.kyt")
    {
        scratch.write(name, text);
        const int outcome = compileModelFile(scratch.file(name).c_str());
        if (outcome == COMPILE_LOADED)
            labelOutputs();
        return outcome;
    }

    // The column of a saved signal in the plot's points.
    int column(const std::string& name)
    {
        for (size_t i = 0; i < plot.signals.size(); ++i)
            if (plot.signals[i].name == name)
                return static_cast<int>(i);
        ADD_FAILURE() << "no signal " << name;
        return -1;
    }

    // The points recorded at time t (within 1e-9).
    std::vector<RecordedPoint> pointsAt(double t)
    {
        std::vector<RecordedPoint> out;
        for (const RecordedPoint& p : plot.points)
            if (std::fabs(p.x - t) <= 1e-9)
                out.push_back(p);
        return out;
    }

    // The value of a signal at time t: in the last point recorded then. STORE
    // ALL records twice, before and after the events of that time.
    double valueAt(const std::string& signal, double t)
    {
        const int c = column(signal);
        const std::vector<RecordedPoint> at = pointsAt(t);
        if (c < 0 || at.empty()) {
            ADD_FAILURE() << "no point of " << signal << " at t = " << t;
            return NAN;
        }
        return at.back().values[static_cast<size_t>(c)];
    }

    void expectNoMessages()
    {
        EXPECT_TRUE(boxes().empty()) << (boxes().empty() ? "" : boxes()[0]);
        for (const pitest::QueuedMessage& m : pitest::queued)
            ADD_FAILURE() << "queued: " << m.text;
    }
};

// ---------------------------------------------------------------------------
// Fuzzy: the wizard block pd9 in "Local", FZINIT(TYPENAME) in INIT and the
// other three functions in its sampling procedure.

struct FuzzyVariant {
    const char* fileName;   // in "Local"
    const char* what;
    double u[6];            // hand-computed outputs of the six rows
};

// The rows (e, de): (0, 0), (0.5, -0.25), (-0.7, 0.3), (0.25, 0.75), (1, 1)
// and (2, -3), clamped to (1, -1). Centroids over x_i = -1 + 0.02 i; the
// fractions are exact sums over the 101 points (the kernel's own test holds
// the same table).
const FuzzyVariant kFuzzyVariants[] = {
    {"pd9s", "S max_prod centroid", {0, 0.1, -2.0 / 13, 0.5, 1, 0}},
    {"pd9", "T max_min centroid", {0, 703.0 / 7498, -250.0 / 1887, 1503.0 / 4025, 0.84, 0}},
    {"pd9tp", "T max_prod centroid", {0, 14613.0 / 130250, -1225.0 / 7002, 1953.0 / 4714, 0.84, 0}},
    {"pd9tx", "T max_min max", {0, 0.25, -0.5, 0.5, 1, 0}},
};

class FuzzyEndToEndTest : public EndToEndTest {
protected:
    // The four wizard blocks in "Local": the fixtures pd9 (T) and pd9s (S),
    // and pd9 with the other inference or defuzzification.
    void storeLocalBlocks()
    {
        const std::string pd9 = readBytes(kFuzzyFixtures + "/Local/pd9");
        const std::string pd9s = readBytes(kFuzzyFixtures + "/Local/pd9s");
        ASSERT_FALSE(pd9.empty());
        ASSERT_FALSE(pd9s.empty());
        auto renamed = [&](const std::string& name, const std::string& from, const std::string& to) {
            std::string t = replaceAll(pd9, from, to);
            t = replaceAll(t, "Fuzzy-Block pd9 ", "Fuzzy-Block " + name + " ");
            t = replaceAll(t, "BLOCK pd9;", "BLOCK " + name + ";");
            return t;
        };
        scratch.write("Local/pd9", pd9);
        scratch.write("Local/pd9s", pd9s);
        scratch.write("Local/pd9tp", renamed("pd9tp", "INFERENCE_METHOD = max_min;", "INFERENCE_METHOD = max_prod;"));
        scratch.write("Local/pd9tx", renamed("pd9tx", "DEFUZZIFICATION_METHOD = centroid;",
                                             "DEFUZZIFICATION_METHOD = max;"));
    }

    // The model text as the circuit writer makes it: the library block with
    // its FROM clause, then the test's own blocks and the circuit.
    std::string modelText(const std::string& fileName)
    {
        const std::string block = scratch.read("Local/" + fileName);
        const std::string rest = readBytes(kFixtures + "/fuzzy_pd9.kyt");
        return "FROM \"Local\" \"" + fileName + "\"\n" + block + "\n" +
               replaceAll(rest, "USE pd9 AS F", "USE " + fileName + " AS F");
    }
};

TEST_F(FuzzyEndToEndTest, CompiledCircuitGivesTheHandComputedOutputs)
{
    storeLocalBlocks();
    ASSERT_FALSE(HasFatalFailure());
    const double e[6] = {0, 0.5, -0.7, 0.25, 1, 2};
    const double de[6] = {0, -0.25, 0.3, 0.75, 1, -3};
    for (const FuzzyVariant& v : kFuzzyVariants) {
        SCOPED_TRACE(v.what);
        plot.points.clear();
        ASSERT_EQ(COMPILE_LOADED, compileText(modelText(v.fileName)));
        ASSERT_EQ(SIM_END_NORMAL, run(testSettings(0.01)));
        double worst = 0;
        for (int r = 0; r < 6; ++r) {
            const double t = r + 0.77;
            EXPECT_EQ(e[r], valueAt("Q_e", t)) << "row " << r;
            EXPECT_EQ(de[r], valueAt("Q_de", t)) << "row " << r;
            const double u = valueAt("F_u", t);
            EXPECT_NEAR(v.u[r], u, 1e-9) << "row " << r;
            worst = std::fmax(worst, std::fabs(u - v.u[r]));
        }
        printf("%s: largest deviation from the table %.3g\n", v.what, worst);
        expectNoMessages();
        // The block's exit procedure and the unload hook have freed the slot.
        EXPECT_EQ(0, fuzzyBlockTable().usedCount());
    }
}

// The fuzzy wizard's block as kytfuzzy writes it (2 inputs, 1 output,
// sampled every 0.05 s) in "Local", fed by steps that change just after a
// sample. Between samples the output is ku times the kernel at the inputs
// of the last sample; the reference is the kernel read from the same file.
TEST_F(FuzzyEndToEndTest, WizardBlockOfTheEditorRunsItsKernel)
{
    const std::string block = readBytes(KYT_WIZARD_BLOCK);
    ASSERT_FALSE(block.empty());
    scratch.write("Local/Fuzzy1", block);
    // Rows of (e, de), row r from t = 0.5 r + 0.03 on.
    const double rows[][2] = {{0, 0}, {-1, -2}, {-0.6, -0.5}, {0.3, 1.2}, {1, 2}, {-0.2, 0.4}, {0.8, -1.5}, {2, -3}};
    std::string source = "BLOCK Stufen;\nOUTPUT e \"e\"; de \"de\";\nVAR r DISCRETE; ew DISCRETE; dew DISCRETE;\n"
                         "SIM\n  e = ew;\n  de = dew;\nENDSIM\nPROCEDURE weiter;\n  r = r + 1;\n";
    for (int r = 1; r < 8; ++r) {
        char line[120];
        snprintf(line, sizeof line, "  IF r == %d THEN ew = %.17g; dew = %.17g; ENDIF\n", r, rows[r][0], rows[r][1]);
        source += line;
    }
    source += "  SCHEDULE weiter AT NOW + 0.5;\nENDPROCEDURE\nINIT\n  r = 0; ew = 0; dew = 0;\n"
              "  SCHEDULE weiter AT 0.53;\nENDINIT\nENDBLOCK Stufen;\n\n"
              "BLOCK Messen;\nPROCEDURE messen;\n  STORE;\n  SCHEDULE messen AT NOW + 0.05;\nENDPROCEDURE\n"
              "PROCEDURE ende;\n  QUIT;\nENDPROCEDURE\nINIT\n  SCHEDULE messen AT 0.075;\n  SCHEDULE ende AT 3.99;\n"
              "ENDINIT\nENDBLOCK Messen;\n\n"
              "CIRCUIT Wizard;\nUSE Stufen AS Q\nENDUSE\nFROM \"Local\"\nUSE Fuzzy1 AS F\n$ BLOCKLIB Local\nENDUSE\n"
              "USE Messen AS M\nENDUSE\nCONNECT Q.e TO F.e;\nCONNECT Q.de TO F.de;\nSAVE Q.e Q.de F.u;\n"
              "ENDCIRCUIT Wizard;\n";
    ASSERT_EQ(COMPILE_LOADED, compileText("FROM \"Local\" \"Fuzzy1\"\n" + block + "\n" + source));
    ASSERT_EQ(SIM_END_NORMAL, run(testSettings(0.01)));
    expectNoMessages();

    FuzzyReadResult result;
    String detail;
    FuzzyKernel* kernel = readFuzzyBlockFile(scratch.file("Local/Fuzzy1").c_str(), kFuzzyCheckTexts, &result, &detail);
    ASSERT_TRUE(kernel) << detail.text();
    std::set<double> outputs;
    for (int k = 0; k < 78; ++k) {
        const double t = 0.075 + 0.05 * k;
        outputs.insert(valueAt("F_u", t));
        // The inputs of the sample 0.025 s before t.
        const int row = std::min(7, std::max(0, static_cast<int>(std::floor((t - 0.025 - 0.03) / 0.5))));
        setFuzzyInputAt(kernel, 0, rows[row][0]);
        setFuzzyInputAt(kernel, 1, rows[row][1]);
        SimulateStep(kernel);
        EXPECT_NEAR(getFuzzyOutputAt(kernel, 0), valueAt("F_u", t), 1e-12) << "t = " << t;
    }
    // The rows reach different rules: no constant output passes.
    EXPECT_GE(outputs.size(), 5u);
    fuzzyBlockTable().freeKernel(kernel);
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());
}

// ---------------------------------------------------------------------------
// Laplace: the blocks the generator writes, compiled and simulated.

// Generates text as block blockName into the scratch directory (through the
// work file laplace.tmp, as the wizard does) and returns the block text, or
// "" when no block was written.
std::string generateBlockText(const ScratchDir& dir, const char* text, const char* blockName)
{
    const std::string work = dir.file("laplace.tmp");
    const std::string block = dir.file(std::string(blockName) + ".blk");
    std::remove(block.c_str());
    int rc;
    {
        PolyGrammarParser d;
        rc = d.generateBlock(text, work.c_str(), block.c_str(), blockName);
        EXPECT_EQ(0, rc) << text << ": " << d.getMessage();
    }
    return rc == 0 ? readBytes(block) : std::string();
}

// A constant source in front of the block's input u, and blocks that record
// and end the run.
const char* const kLaplaceHelpers =
    "BLOCK Quelle;\n"
    "OUTPUT y \"Ausgang\";\n"
    "PARAMETER c = 1. \"Wert\";\n"
    "SIM\n"
    "  y = c;\n"
    "ENDSIM\n"
    "ENDBLOCK Quelle;\n"
    "\n"
    "BLOCK Messen;\n"
    "PARAMETER t1 = 0. \"erste Messung\"; dt = 1. \"Abstand\"; tend = 1. \"Endzeit\";\n"
    "PROCEDURE messen;\n"
    "  STORE;\n"
    "  SCHEDULE messen AT NOW + dt;\n"
    "ENDPROCEDURE\n"
    "PROCEDURE ende;\n"
    "  STORE;\n"
    "  QUIT;\n"
    "ENDPROCEDURE\n"
    "INIT\n"
    "  SCHEDULE messen AT t1;\n"
    "  SCHEDULE ende AT tend;\n"
    "ENDINIT\n"
    "ENDBLOCK Messen;\n";

// The small test circuit around a generated block: Quelle -> G, recorded
// by Messen; parameters are "name = value;" lines of the block's USE.
std::string laplaceCircuit(const std::string& block, const char* blockName,
                           const std::string& parameters = "",
                           const std::string& probe = "")
{
    return std::string(kLaplaceHelpers) + "\n" + block + "\n" +
           "CIRCUIT Pruefung;\n"
           "USE Quelle AS Q\n"
           "ENDUSE\n"
           "USE " + blockName + " AS G\n" + parameters +
           "ENDUSE\n"
           "USE Messen AS M\n" + probe +
           "ENDUSE\n"
           "CONNECT Q.y TO G.u;\n"
           "SAVE G.y;\n"
           "ENDCIRCUIT Pruefung;\n";
}

class LaplaceEndToEndTest : public EndToEndTest {};

TEST_F(LaplaceEndToEndTest, EveryGeneratedBlockCompilesInATestCircuit)
{
    for (const TransferBlockCase& c : kTransferBlockCases) {
        SCOPED_TRACE(c.text);
        const std::string block = generateBlockText(scratch, c.text, c.blockName);
        ASSERT_FALSE(block.empty());
        // COMPILE_LOADED: yyparse and PiCodeGenerate gave 0, loadPICode loaded.
        EXPECT_EQ(COMPILE_LOADED, compileText(laplaceCircuit(block, c.blockName)));
        expectNoMessages();
        releaseCompiledModel();
    }
}

TEST_F(LaplaceEndToEndTest, FirstOrderLagRisesTo2TimesOneMinusEToTheMinus2)
{
    const std::string block = generateBlockText(scratch, "K/(1+T*s)", "G1");
    ASSERT_FALSE(block.empty());
    ASSERT_EQ(COMPILE_LOADED, compileText(laplaceCircuit(block, "G1", "    K = 2.;\n    T = 0.5;\n")));
    ASSERT_EQ(SIM_END_NORMAL, run(testSettings(0.01)));
    // Analytic: y(t) = K (1 - e^(-t/T)) for u = 1.
    const double y1 = valueAt("G_y", 1.0);
    EXPECT_NEAR(2 * (1 - std::exp(-2.0)), y1, 1e-4);
    printf("K/(1+T*s), K = 2, T = 0.5, RK4 h = 0.01: y(1) = %.10f (analytic %.10f)\n", y1,
           2 * (1 - std::exp(-2.0)));
    expectNoMessages();
}

TEST_F(LaplaceEndToEndTest, DiscreteFirstOrderStepsTowardsOne)
{
    const std::string block = generateBlockText(scratch, "0.5/(z-0.5)", "G2");
    ASSERT_FALSE(block.empty());
    ASSERT_EQ(COMPILE_LOADED,
              compileText(laplaceCircuit(block, "G2", "    T = 1.;\n",
                                         "    t1 = 0.5;\n    dt = 1.;\n    tend = 3.6;\n")));
    ASSERT_EQ(SIM_END_NORMAL, run(testSettings(0.01)));
    // y(k) = 0.5 y(k-1) + 0.5 u(k-1) with u = 1: y = 1 - 0.5^k on [k, k+1).
    const double expected[4] = {0, 0.5, 0.75, 0.875};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(expected[k], valueAt("G_y", k + 0.5), 1e-12) << "k = " << k;
    expectNoMessages();
}

// ---------------------------------------------------------------------------
// Identification: the plant and the wizard's RLS block in one model.

class IdentEndToEndTest : public EndToEndTest {};

TEST_F(IdentEndToEndTest, CompiledModelIdentifiesThePlant)
{
    ASSERT_EQ(COMPILE_LOADED, compileModelFile((kFixtures + "/ident_strecke.kyt").c_str()));
    labelOutputs();
    ASSERT_EQ(SIM_END_NORMAL, run(testSettings(0.01)));

    // The records at the block's samples t = 0 .. 199: the plant's pairs obey
    // its difference equation, and the input is +1/-1 with both signs.
    std::vector<double> u, y;
    for (int t = 0; t < 200; ++t) {
        u.push_back(valueAt("S_u", t));
        y.push_back(valueAt("S_y", t));
    }
    int plus = 0, minus = 0;
    for (int t = 1; t < 200; ++t) {
        EXPECT_EQ(1.0, std::fabs(u[t])) << t;
        (u[t] > 0 ? plus : minus) += 1;
        const double y1 = y[t - 1], y2 = t >= 2 ? y[t - 2] : 0;
        const double u1 = u[t - 1], u2 = t >= 2 ? u[t - 2] : 0;
        EXPECT_NEAR(1.5 * y1 - 0.7 * y2 + u1 + 0.5 * u2, y[t], 1e-9) << t;
    }
    EXPECT_GT(plus, 50);
    EXPECT_GT(minus, 50);

    // After the 200th IDSTEP (t = 199): theta = (-1.5, 0.7, 1, 0.5), the
    // plant's coefficients.
    const char* names[4] = {"I_a1", "I_a0", "I_b1", "I_b0"};
    const double theta[4] = {-1.5, 0.7, 1.0, 0.5};
    for (int i = 0; i < 4; ++i) {
        const double got = valueAt(names[i], 199);
        EXPECT_NEAR(theta[i], got, 1e-6) << names[i];
        printf("%s after 200 samples: %.12f (error %.3g)\n", names[i], got, got - theta[i]);
    }
    expectNoMessages();
}

} // namespace
