// The neural-net kernel: neuron functions, evaluation, error and overflow,
// backpropagation training, and nets of different sizes side by side.
//
// The XOR numbers come from nn/reference_xor.py, an independent computation
// of the same algorithm in Python (double precision).
#include "NNTestSupport.h"

#include <cmath>
#include <limits>

using namespace nntest;

namespace {

// --- Neuron functions (analytic values) -------------------------------------------

TEST(NetNeuronFunctions, ValuesAndDerivativesCarryTheGain)
{
    const struct {
        const char* name;
        double gain, x, value, derivative;
    } cases[] = {
        {"Sigmoide", 2.0, 0.0, 0.5, 0.5},
        {"Tansig", 2.0, 0.5, 0.76159415595576485, 0.83994868322805},   // tanh(1), 2(1 - tanh(1)^2)
        {"Ident", 3.0, 1.5, 4.5, 3.0},
        {"Sigmoide", 1.0, 2.0, 0.88079707797788231, 0.10499358540350651},
        {"Unbekannt", 1.0, 0.0, 0.5, 0.25},   // any other name counts as Sigmoide
        {nullptr, 1.0, 0.0, 0.5, 0.25},
    };
    for (const auto& c : cases) {
        double f = 0, d = 0;
        netNeuronFunction(c.name, c.gain, c.x, &f, &d);
        EXPECT_NEAR(f, c.value, 1e-12) << (c.name ? c.name : "null");
        EXPECT_NEAR(d, c.derivative, 1e-12) << (c.name ? c.name : "null");
    }
}

TEST(NetOverflow, NotANumberInfinityAndLargeValuesOverflow)
{
    EXPECT_TRUE(netOverflowed(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(netOverflowed(std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(netOverflowed(-2e6));
    EXPECT_FALSE(netOverflowed(1e6));
    EXPECT_FALSE(netOverflowed(-0.5));
}

// --- A 1 -> 1 net without a hidden layer ---------------------------------------------

const char kOneToOne[] =
    "Netfile\nFILENAME: one.net\nCOMMENT: eins zu eins\nNETPARAMETER\nNETSTATUS: x\nNETTYPE: Feedforward\n"
    "LEARNINGMETHOD: Batch Backpropagation\nLEARNPARAMETER: 0.1\nMOMENTUM: Off 0 0\nADAPTIVE: Off 0 0\n"
    "INIT: Random 0 0\nINITSTATUS: x\nCYCLES: 1\nERRORLIMIT: 0\nHIDDENLAYER: 0\nINPUTNEURONS: 1\n"
    "OUTPUTNEURONS: 1\nHIDDENNEURONS: 0\n"
    "SCREENOPTIONS WEIGHTS: On CONNECTIONS: On NEURONNUMBER: On BIAS: On GRIDWIDTH: 1 GRIDHEIGHT: 1\n"
    "NEURONPARAMETER\nc1|c2|c3|c4|c5|c6|c7|c8|c9|c10|c11|c12|c13|c14\n"
    "1|in|0|0|0|0|Ident|1|0|Ident|1|0|0|0\n"
    "2|out|0|0|0|0|Ident|1|0|Ident|1|0|0|1\n"
    "LAYERPARAMETER\nc1|c2|c3|c4|c5|c6|c7|c8|c9|c10|c11|c12|c13|c14|c15|c16|c17|c18|c19\n"
    "0|1|0|0|Ident|1|0|Ident|1|0|0|0|0|0|0|0|0|0|0\n"
    "NEURONCONNECTIONS\nSource|Targets\n1 | 2 : 2\n";

class OneToOneNet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(parseNet(&net, kOneToOne), 0);
        net.patternCount = 1;
        net.makePatterns();
        net.makeWorkMatrices();
    }
    NeuralNet net;
    SinkScope errors;
};

TEST_F(OneToOneNet, MapsThreeToSevenInOnePass)
{
    net.setInputPattern(0, 0, 3.0);
    net.feedForward(0);
    EXPECT_DOUBLE_EQ(netOutputValue(0, 0), 7.0);   // 2 * 3 + 1
    EXPECT_DOUBLE_EQ(net.neurons[1].outputValue, 7.0);
}

TEST_F(OneToOneNet, OverflowedErrorsReadTheLimitValue)
{
    net.setInputPattern(0, 0, 0.0);   // output 1
    const double references[] = {std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity(), 1.0 + std::sqrt(2e6)};
    for (double r : references) {
        net.setReferenceOutput(0, 0, r);
        EXPECT_EQ(net.computeError(), kNetOverflowError) << r;
    }
    net.setReferenceOutput(0, 0, 4.0);
    EXPECT_DOUBLE_EQ(net.computeError(), 9.0);
}

TEST_F(OneToOneNet, BackpropagationFollowsTheGradient)
{
    // E = (r - (w x + b))^2 / 2; one step moves w by rate * (r - y) * x.
    net.setInputPattern(0, 0, 3.0);
    net.setReferenceOutput(0, 0, 10.0);
    net.feedForward(0);
    net.outputError(0);
    EXPECT_DOUBLE_EQ(net.getOutputError(0, 0), 3.0);
    net.backPropagate(0);
    EXPECT_NEAR(netMatrixValue(netGradientAccumulator(), 0, 2), 0.1 * 3.0, 1e-15);       // bias of neuron 2
    EXPECT_NEAR(netMatrixValue(netGradientAccumulator(), 1, 2), 0.1 * 3.0 * 3.0, 1e-15); // weight 1 -> 2
    EXPECT_NEAR(net.applyUpdate(netGradientAccumulator()), std::pow(10.0 - (2.9 * 3.0 + 1.3), 2), 1e-12);
    EXPECT_NEAR(net.getWeight(0, 1), 2.9, 1e-15);
    EXPECT_NEAR(net.neurons[1].bias, 1.3, 1e-15);
}

TEST_F(OneToOneNet, AWeightThatOverflowsIsCappedAndTheStepReportsIt)
{
    MAT* g = netMakeMatrix(3, 3);
    netMatrixSet(g, 1, 2, 5e6);
    EXPECT_EQ(net.applyUpdate(g), kNetOverflowError);
    EXPECT_EQ(net.getWeight(0, 1), kNetOverflowLimit);
    netFreeMatrix(g);
}

TEST_F(OneToOneNet, ReadsOutsideGiveZeroAndWritesThereDoNothing)
{
    net.setInputPattern(5, 0, 1.0);
    net.setInputPattern(0, 9, 1.0);
    net.setOutputError(-1, 0, 1.0);
    EXPECT_EQ(net.getInputPattern(5, 0), 0.0);
    EXPECT_EQ(net.getReferenceOutput(0, 7), 0.0);
    EXPECT_EQ(netOutputValue(3, 0), 0.0);
    EXPECT_EQ(netMatrixValue(nullptr, 0, 0), 0.0);
    netMatrixSet(nullptr, 0, 0, 1.0);
}

TEST_F(OneToOneNet, FreeingTwiceIsHarmless)
{
    net.freePatterns();
    net.freeContents();
    net.freeContents();
    net.freePatterns();
    EXPECT_EQ(net.n, 0);
    EXPECT_EQ(net.neurons, nullptr);
    EXPECT_EQ(net.fileName, nullptr);
    EXPECT_EQ(net.weights, nullptr);
    EXPECT_EQ(netSharedOutputs(), nullptr);
    net.feedForward(0);   // nothing left to evaluate
    EXPECT_EQ(net.computeError(), 0.0);
}

// --- XOR ----------------------------------------------------------------------------

class XorTraining : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.reset(new ScratchDir);
        netPath = scratch->file("xor.net");
    }
    // xor.net, changed by the replacements, as a file of the scratch
    // directory, with the patterns of xor.pat.
    NeuralNet* load(const std::vector<std::pair<std::string, std::string>>& changes = {})
    {
        std::string text = readFileBytes(fixturePath("xor.net"));
        for (const auto& c : changes)
            text = replaceOnce(text, c.first, c.second);
        writeFileBytes(netPath, text);
        NeuralNet* net = loadNetFile(netPath);
        EXPECT_NE(net, nullptr);
        if (net) {
            EXPECT_TRUE(loadPatterns(net, fixturePath("xor.pat")));
        }
        return net;
    }
    std::unique_ptr<ScratchDir> scratch;
    std::string netPath;
    SinkScope errors;
};

TEST_F(XorTraining, InitialOutputsAndErrorMatchTheReference)
{
    std::unique_ptr<NeuralNet> net(load());
    const double outputs[4] = {0.5479527695821192, 0.5423327948639969, 0.5804905738666569, 0.5738715225352593};
    EXPECT_NEAR(net->computeError(), 1.01502819134138, 1e-12);
    for (int p = 0; p < 4; ++p)
        EXPECT_NEAR(netOutputValue(0, p), outputs[p], 1e-13) << p;
}

TEST_F(XorTraining, BatchTrainingReachesTheErrorLimit)
{
    std::unique_ptr<NeuralNet> net(load());
    FakePlot plot;
    NetTrain(net.get(), &plot);

    ASSERT_GE(plot.points.size(), 2u);
    EXPECT_EQ(plot.points[0].first, 0.0);
    EXPECT_NEAR(plot.points[0].second, 1.01502819134138, 1e-12);
    for (size_t i = 1; i < plot.points.size(); ++i)
        EXPECT_EQ(plot.points[i].first, static_cast<double>(i));   // one point per cycle
    EXPECT_LT(net->computeError(), 0.01);
    // Reference: 183 cycles, final error 0.0098087812305937, rate 20.978...
    EXPECT_EQ(plot.points.size() - 1, 183u);
    EXPECT_NEAR(plot.points.back().second, 0.0098087812305937, 1e-9);
    EXPECT_NEAR(net->learningRate, 20.9782085470145, 1e-7);
    EXPECT_EQ(netGradientAccumulator(), nullptr);   // freed at the end of the run
}

TEST_F(XorTraining, WithMomentumOffTheRateNeverChanges)
{
    std::unique_ptr<NeuralNet> net(load({{"MOMENTUM: On 0.9 1.04", "MOMENTUM: Off 0.9 1.04"},
                                         {"ADAPTIVE: On 1.05 0.7", "ADAPTIVE: Off 1.05 0.7"},
                                         {"CYCLES: 5000", "CYCLES: 50"}}));
    FakePlot plot;
    NetTrain(net.get(), &plot);
    EXPECT_EQ(net->learningRate, 0.5);
    EXPECT_EQ(plot.points.size(), 51u);
    EXPECT_NEAR(plot.points.back().second, 0.999157723292591, 1e-12);   // reference
}

TEST_F(XorTraining, StandardModeTrainsPatternByPattern)
{
    std::unique_ptr<NeuralNet> net(load({{"LEARNINGMETHOD: Batch", "LEARNINGMETHOD: Standard"},
                                         {"CYCLES: 5000", "CYCLES: 300"}}));
    FakePlot plot;
    const double before = net->computeError();
    NetTrain(net.get(), &plot);
    EXPECT_GT(plot.points.size(), 2u);
    EXPECT_LT(net->computeError(), before);
}

TEST_F(XorTraining, ANetThatDoesNotLearnByBackpropagationStaysUnchanged)
{
    std::unique_ptr<NeuralNet> net(load({{"Batch Backpropagation", "Batch Quickprop"}}));
    const std::string fileBefore = readFileBytes(netPath);
    FakePlot plot;
    NetTrain(net.get(), &plot);
    EXPECT_TRUE(plot.points.empty());
    EXPECT_EQ(net->learningRate, 0.5);
    EXPECT_EQ(net->getWeight(0, 2), 0.5);
    EXPECT_EQ(net->neurons[2].bias, 0.1);
    EXPECT_EQ(readFileBytes(netPath), fileBefore);
}

TEST_F(XorTraining, AnInitialErrorThatOverflowsEndsTheRunBeforeAnyCycle)
{
    std::unique_ptr<NeuralNet> net(load({{"CYCLES: 5000", "CYCLES: 7"}}));
    net->setReferenceOutput(0, 2, 5000.0);
    FakePlot plot;
    NetTrain(net.get(), &plot);
    ASSERT_EQ(plot.points.size(), 1u);
    EXPECT_EQ(plot.points[0], std::make_pair(0.0, 0.0));
    EXPECT_STREQ(net->trainingMode, "ERROR");
    EXPECT_EQ(net->error, kNetOverflowError);
    EXPECT_EQ(net->getWeight(0, 2), 0.5);
    // Written back: the cycles of the run stand in the file.
    EXPECT_NE(readFileBytes(netPath).find("CYCLES: 7\n"), std::string::npos);
}

// --- Nets of different sizes ---------------------------------------------------------

TEST(NetsOfDifferentSizes, ShareTheOutputMatrixWithoutReachingBeyondIt)
{
    SinkScope errors;
    std::unique_ptr<NeuralNet> small(new NeuralNet), wide(new NeuralNet);
    ASSERT_EQ(parseNet(small.get(), readFileBytes(fixturePath("xor.net"))), 0);
    ASSERT_EQ(parseNet(wide.get(), readFileBytes(fixturePath("wide.net"))), 0);
    ASSERT_EQ(wide->n, 9);
    small->patternCount = 1;
    small->makePatterns();
    wide->patternCount = 3;
    wide->makePatterns();
    for (int p = 0; p < 3; ++p)
        for (int i = 0; i < 3; ++i)
            wide->setInputPattern(i, p, 0.1 * (p + 1) * (i + 1));
    small->setInputPattern(0, 0, 1.0);

    wide->feedForward(2);
    const double wideOut = netOutputValue(1, 2);
    small->feedForward(0);
    const double smallOut = netOutputValue(0, 0);
    EXPECT_NEAR(smallOut, 0.5804905738666569, 1e-13);   // pattern (1, 0) of the reference
    EXPECT_EQ(netOutputValue(1, 2), 0.0);               // remade for the small net
    wide->feedForward(2);
    EXPECT_EQ(netOutputValue(1, 2), wideOut);

    // Training one after the other, each its own size.
    FakePlot plot;
    small->cycles = 3;
    wide->cycles = 3;
    NetTrain(wide.get(), &plot);
    NetTrain(small.get(), &plot);
    wide->freePatterns();
    wide->freeContents();
    small->feedForward(0);
    EXPECT_TRUE(std::isfinite(netOutputValue(0, 0)));
}

} // namespace
