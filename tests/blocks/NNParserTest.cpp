// The net-file language: scanner, conversions, token names, the net-file
// grammar on xor.net and its variants, and the pattern-file grammar.
#include "NNTestSupport.h"

#include <climits>
#include <cmath>
#include <cstring>

using namespace nntest;

namespace {

struct Token {
    int code;
    std::string text;
};

std::vector<Token> scanAll(const std::string& input)
{
    std::vector<Token> out;
    netScannerSetInput(input.data(), input.size());
    for (int guard = 0; guard < 1000; ++guard) {
        int code = nnyylook();
        if (code == 0)
            break;
        out.push_back({code, netScannerText()});
    }
    netScannerSetInput(nullptr, 0);
    return out;
}

std::string describe(const std::vector<Token>& tokens)
{
    std::string s;
    for (const Token& t : tokens)
        s += std::to_string(t.code) + ":" + t.text + " ";
    return s;
}

const int DIGITS = 257, IDENT = 294, BAR = 295;

struct ScanCase {
    const char* input;
    std::vector<Token> expected;
};

// Longest match, and of two matches of one length the lower code.
TEST(NetScanner, TokenFormsAsTheLanguageDefinesThem)
{
    const std::string longName(300, 'a');
    const std::vector<ScanCase> cases = {
        {"12 -0.5 .5 1e-5 - e", {{DIGITS, "12"}, {DIGITS, "-0.5"}, {DIGITS, ".5"}, {DIGITS, "1e-5"}, {DIGITS, "-"}, {DIGITS, "e"}}},
        {"1e+5", {{DIGITS, "1e"}, {DIGITS, "5"}}},
        {"1.5E-3", {{IDENT, "1.5E"}, {DIGITS, "-3"}}},
        {"a-b", {{IDENT, "a"}, {DIGITS, "-"}, {IDENT, "b"}}},
        {"FILENAME:net1 FILENAME: net1", {{IDENT, "FILENAME:net1"}, {258, "FILENAME:"}, {IDENT, "net1"}}},
        {"PATTERN: PATTERN", {{IDENT, "PATTERN:"}, {277, "PATTERN"}}},
        {"On ON off Off", {{284, "On"}, {IDENT, "ON"}, {IDENT, "off"}, {285, "Off"}}},
        {"E1 ee 12x", {{IDENT, "E1"}, {DIGITS, "ee"}, {IDENT, "12x"}}},
        {"x|y||", {{IDENT, "x"}, {BAR, "|"}, {IDENT, "y"}, {BAR, "|"}, {BAR, "|"}}},
        {"SCREENOPTIONS SCREENOPTIONS:", {{282, "SCREENOPTIONS"}, {IDENT, "SCREENOPTIONS:"}}},
        {"NOOFPATTERN: INPUT: INPUT", {{261, "NOOFPATTERN:"}, {278, "INPUT:"}, {IDENT, "INPUT"}}},
        {": C:\\KYT\\CIRCUITS\\xor.net", {{IDENT, ":"}, {IDENT, "C:\\KYT\\CIRCUITS\\xor.net"}}},
        {"COMMENT: a b, c\nX", {{259, "COMMENT: a b, c"}, {IDENT, "X"}}},
        {"COMMENT: last", {{IDENT, "COMMENT:"}, {IDENT, "last"}}},
        {"a + b; \"c\" /d", {{IDENT, "a"}, {IDENT, "b"}, {IDENT, "c"}, {IDENT, "d"}}},
        {longName.c_str(), {{IDENT, longName}}},
    };
    for (const ScanCase& c : cases) {
        std::vector<Token> got = scanAll(c.input);
        EXPECT_EQ(describe(got), describe(c.expected)) << "input: " << c.input;
    }
}

TEST(NetScanner, AByteZeroEndsTheInput)
{
    const std::string text("a b\0c d", 7);
    EXPECT_EQ(describe(scanAll(text)), describe({{IDENT, "a"}, {IDENT, "b"}}));
}

TEST(NetScanner, SkippedCharactersGoToStandardOutput)
{
    testing::internal::CaptureStdout();
    scanAll("a +b;\n");
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " +;\n");
}

TEST(NetScanner, TokensKnowTheirBytesAndLines)
{
    const std::string text = "ab  12\nCOMMENT: x y\n|";
    netScannerSetInput(text.data(), text.size());
    struct Where {
        long begin, end;
        int line;
    };
    const Where expected[] = {{0, 2, 1}, {4, 6, 1}, {7, 19, 2}, {20, 21, 3}};
    for (const Where& w : expected) {
        ASSERT_NE(nnyylook(), 0);
        NetSpan s = netScannerSpan();
        EXPECT_EQ(s.begin, w.begin);
        EXPECT_EQ(s.end, w.end);
        EXPECT_EQ(s.line, w.line);
    }
    EXPECT_EQ(nnyylook(), 0);
    netScannerSetInput(nullptr, 0);
    EXPECT_EQ(nnyylook(), 0);  // no input: the end at once
}

TEST(NetScanner, ConversionsReadTheLongestNumberWhateverTheLocale)
{
    const struct {
        const char* text;
        int integer;
        double real;
    } cases[] = {
        {"12", 12, 12.0},       {"1-2", 1, 1.0},     {"-", 0, 0.0},           {"e", 0, 0.0},
        {"-7", -7, -7.0},       {"1.9", 1, 1.9},     {".5", 0, 0.5},          {"1e", 1, 1.0},
        {"1.5e-3", 1, 1.5e-3},  {"--5", 0, 0.0},     {"99999999999", INT_MAX, 99999999999.0},
        {"-99999999999", INT_MIN, -99999999999.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(netTextToInt(c.text), c.integer) << c.text;
        EXPECT_DOUBLE_EQ(netTextToReal(c.text), c.real) << c.text;
    }
}

TEST(NetParsers, TokenNamesComeFromTheLanguageTableThenTheCommonNames)
{
    NetDescriptionParser p;
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {0, "End of File"},     {257, "Digits"},           {261, "ATTERNANZAHL"}, {278, "INPUT"},
        {282, "SCREENOPTIONS:"}, {294, "Identifier"},       {295, "|"},            {256, "Error"},
        {10, "'\\n'"},           {'a', "'a`"},              {296, "Symbol 296"},   {300, "Symbol 300"},
        {200, "char 0xC8"},     {1, "char 0x01"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(p.tokenName(c.code), c.name) << c.code;
}

// --- Net files ------------------------------------------------------------------

class NetFileGrammar : public ::testing::Test {
protected:
    void SetUp() override { xorText = readFileBytes(fixturePath("xor.net")); }
    std::string xorText;
    SinkScope errors;
};

TEST_F(NetFileGrammar, XorNetReadsAsWritten)
{
    NeuralNet net;
    ASSERT_EQ(parseNet(&net, xorText), 0);
    EXPECT_STREQ(net.fileName, "C:\\KYT\\CIRCUITS\\xor.net");
    EXPECT_STREQ(net.netType, "Feedforward");
    EXPECT_STREQ(net.trainingMode, "Batch");
    EXPECT_STREQ(net.learningMethod, "Backpropagation");
    EXPECT_STREQ(net.initName, "Random");
    EXPECT_DOUBLE_EQ(net.learningRate, 0.5);
    EXPECT_DOUBLE_EQ(net.momentum, 0.9);
    EXPECT_DOUBLE_EQ(net.maxErrorRatio, 1.04);
    EXPECT_DOUBLE_EQ(net.rateIncrease, 1.05);
    EXPECT_DOUBLE_EQ(net.rateDecrease, 0.7);
    EXPECT_DOUBLE_EQ(net.initFirst, -0.5);
    EXPECT_EQ(net.cycles, 5000);
    EXPECT_DOUBLE_EQ(net.errorLimit, 0.01);
    EXPECT_EQ(net.hiddenLayers, 1);
    ASSERT_NE(net.layerSizes, nullptr);
    EXPECT_EQ(net.layerSizes[0], 2);
    EXPECT_EQ(net.inputs, 2);
    EXPECT_EQ(net.outputs, 1);
    EXPECT_EQ(net.n, 5);

    // Weights and marks from the connection rows (neurons from 0 here).
    const double w[5][5] = {{0, 0, 0.5, -0.4, 0}, {0, 0, 0.3, 0.6, 0}, {0, 0, 0, 0, 0.7}, {0, 0, 0, 0, -0.5}, {0, 0, 0, 0, 0}};
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i) {
            EXPECT_DOUBLE_EQ(net.getWeight(j, i), w[j][i]) << j << "->" << i;
            EXPECT_EQ(net.isConnected(j, i), w[j][i] != 0.0) << j << "->" << i;
        }
    // Biases and functions, also of the row written without blanks.
    const double bias[5] = {0, 0, 0.1, -0.2, 0.05};
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(net.neurons[i].bias, bias[i]) << i;
        EXPECT_STREQ(net.neurons[i].activationFunction, i < 2 ? "Ident" : "Sigmoide") << i;
        EXPECT_STREQ(net.neurons[i].outputFunction, "Ident") << i;
        EXPECT_DOUBLE_EQ(net.neurons[i].activationGain, 1.0);
        EXPECT_DOUBLE_EQ(net.neurons[i].outputGain, 1.0);
    }
    EXPECT_TRUE(errors.sink.boxes.empty());
}

struct Variant {
    const char* what;
    const char* from;
    std::string to;
    bool accepted;
    const char* inMessage;   // part of the parser's message when refused
};

TEST_F(NetFileGrammar, VariantsAcceptedOrRefusedWithTheExpectedTokens)
{
    const Variant variants[] = {
        {"SCREENOPTIONS with a colon is a name", "SCREENOPTIONS\n", "SCREENOPTIONS:\n", false,
         "In oder vor Zeile 20:\n\nerwartet wird: \" Digits \"\n         oder: \" SCREENOPTIONS: \""},
        {"a keyword glued to its value is a name", "FILENAME: C:", "FILENAME:C:", false, "\" FILENAME: \""},
        {"a header name of number characters is a number", "| Name |", "| ee |", false, "\" Identifier \""},
        {"E1 is a name", "| Name |", "| E1 |", true, ""},
        {"ON is no keyword", "MOMENTUM: On", "MOMENTUM: ON", false, "\" On \"\n         oder: \" Off \""},
        {"1e+5 is 1e and 5", "ERRORLIMIT: 0.01", "ERRORLIMIT: 1e+5", false, "\" HIDDENLAYER: \""},
        {"a byte 0 ends the input", "NEURONCONNECTIONS", std::string("NEURON\0CONNECTIONS", 18), false,
         "\" NEURONCONNECTIONS \""},
        {"a negative count is refused", "HIDDENLAYER: 1", "HIDDENLAYER: -1", false,
         "HIDDENLAYER: darf nicht negativ sein!"},
        {"a negative input count is refused", "INPUTNEURONS: 2", "INPUTNEURONS: -2", false,
         "INPUTNEURONS: darf nicht negativ sein!"},
        {"a negative hidden size is refused", "HIDDENNEURONS: 2", "HIDDENNEURONS: -2", false,
         "HIDDENNEURONS: darf nicht negativ sein!"},
        {"a count beyond the limit is refused", "OUTPUTNEURONS: 1", "OUTPUTNEURONS: 99999999", false,
         "OUTPUTNEURONS: ist zu gro"},
        {"the whole file must be read", "4     | 5 : -0.5  \n", "4     | 5 : -0.5  \nSCREENOPTIONS\n", false,
         "\" End of File \""},
        {"rows need a target", "4     | 5 : -0.5  \n", "4     \n", false, "\" | \""},
    };
    for (const Variant& v : variants) {
        std::string text = xorText;
        size_t at = text.find(v.from);
        ASSERT_NE(at, std::string::npos) << v.what;
        text.replace(at, strlen(v.from), v.to);
        NeuralNet net;
        NetDescriptionParser parser;
        parser.setNet(&net);
        int result = parser.parseText(text.data(), text.size());
        EXPECT_EQ(result == 0, v.accepted) << v.what;
        if (!v.accepted) {
            EXPECT_NE(std::string(parser.getMessage()).find(v.inMessage), std::string::npos)
                << v.what << "\nmessage: " << parser.getMessage();
        }
    }
}

TEST_F(NetFileGrammar, ABinaryZeroAfterTheLastRowEndsTheFileThere)
{
    std::string text = xorText + std::string("\0GARBAGE |||", 12);
    NeuralNet net;
    EXPECT_EQ(parseNet(&net, text), 0);
    EXPECT_DOUBLE_EQ(net.getWeight(3, 4), -0.5);
}

TEST_F(NetFileGrammar, EachParseStartsWithAnEmptyReadAhead)
{
    NetDescriptionParser parser;
    NeuralNet bad, good;
    parser.setNet(&bad);
    std::string broken = replaceOnce(xorText, "SCREENOPTIONS\n", "SCREENOPTIONS:\n");
    EXPECT_EQ(parser.parseText(broken.data(), broken.size()), 1);
    parser.setNet(&good);
    EXPECT_EQ(parser.parseText(xorText.data(), xorText.size()), 0);
    EXPECT_EQ(good.n, 5);
}

TEST_F(NetFileGrammar, ConnectionRowsReplaceTheirSourceRow)
{
    struct Case {
        const char* what;
        const char* extraRows;
        int source;                // from 0
        double weights[5];
        bool marks[5];
    };
    const Case cases[] = {
        {"a partial row zeroes the other targets", "1 | 4 : 0.25\n", 0, {0, 0, 0, 0.25, 0}, {0, 0, 0, 1, 0}},
        {"a second row replaces the first", "2 | 3 : 0.9 | 5 : 0.1\n", 1, {0, 0, 0.9, 0, 0.1}, {0, 0, 1, 0, 1}},
        {"a target outside the net is ignored", "1 | 9 : 1.0 | 3 : 0.7\n", 0, {0, 0, 0.7, 0, 0}, {0, 0, 1, 0, 0}},
        {"a source outside the net changes nothing", "9 | 3 : 1.0\n", 0, {0, 0, 0.5, -0.4, 0}, {0, 0, 1, 1, 0}},
        {"target 0 is outside too", "1 | 0 : 1.0 | 4 : 0.2\n", 0, {0, 0, 0, 0.2, 0}, {0, 0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        NeuralNet net;
        ASSERT_EQ(parseNet(&net, xorText + c.extraRows), 0) << c.what;
        for (int j = 0; j < 5; ++j) {
            EXPECT_DOUBLE_EQ(net.getWeight(c.source, j), c.weights[j]) << c.what << " target " << j;
            EXPECT_EQ(net.isConnected(c.source, j), c.marks[j]) << c.what << " target " << j;
        }
    }
}

TEST_F(NetFileGrammar, ValuesOutsideTheNetChangeNothing)
{
    std::string text = replaceOnce(xorText, "HIDDENNEURONS: 2", "HIDDENNEURONS: 2 7 9");
    text = replaceOnce(text, "\n\nLAYERPARAMETER",
                       "\n9 | z | 0 | 0 | 0 | 0 | Tansig | 3.0 | 0.0 | Tansig | 3.0 | 0.0 | 0.0 | 9.9\n\nLAYERPARAMETER");
    NeuralNet net;
    ASSERT_EQ(parseNet(&net, text), 0);
    EXPECT_EQ(net.n, 5);  // sizes beyond the hidden layers are ignored
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(net.neurons[i].bias, 9.9);
}

TEST_F(NetFileGrammar, ALongNameIsKeptWhole)
{
    const std::string name(300, 'N');
    std::string text = replaceOnce(xorText, "C:\\KYT\\CIRCUITS\\xor.net", name);
    NeuralNet net;
    ASSERT_EQ(parseNet(&net, text), 0);
    EXPECT_EQ(std::string(net.fileName), name);
}

TEST_F(NetFileGrammar, MomentumAndAdaptiveOffStoreTheirNeutralValues)
{
    std::string text = replaceOnce(xorText, "MOMENTUM: On 0.9 1.04", "MOMENTUM: Off 0.9 1.04");
    text = replaceOnce(text, "ADAPTIVE: On 1.05 0.7", "ADAPTIVE: Off 1.05 0.7");
    NeuralNet net;
    net.error = 3.0;
    ASSERT_EQ(parseNet(&net, text), 0);
    EXPECT_EQ(net.momentum, 0.0);
    EXPECT_EQ(net.maxErrorRatio, 1.0);
    EXPECT_EQ(net.rateIncrease, 1.0);
    EXPECT_EQ(net.rateDecrease, 1.0);
    EXPECT_EQ(net.error, 0.0);
}

TEST_F(NetFileGrammar, SyntaxErrorsGoToTheErrorBoxToo)
{
    std::string text = replaceOnce(xorText, "SCREENOPTIONS\n", "SCREENOPTIONS:\n");
    NeuralNet net;
    EXPECT_EQ(parseNet(&net, text), 1);
    ASSERT_EQ(errors.sink.boxes.size(), 1u);
    EXPECT_NE(errors.sink.boxes[0].find("erwartet wird"), std::string::npos);
}

// --- Pattern files ------------------------------------------------------------------

class PatternFileGrammar : public NetFileGrammar {
protected:
    void SetUp() override
    {
        NetFileGrammar::SetUp();
        ASSERT_EQ(parseNet(&net, xorText), 0);
        patText = readFileBytes(fixturePath("xor.pat"));
    }
    NeuralNet net;
    std::string patText;
};

TEST_F(PatternFileGrammar, XorPatternsRead)
{
    ASSERT_EQ(parsePatterns(&net, patText), 0);
    EXPECT_EQ(net.patternCount, 4);
    const double in[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    const double ref[4] = {0, 1, 1, 0};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(net.getInputPattern(0, p), in[p][0]);
        EXPECT_EQ(net.getInputPattern(1, p), in[p][1]);
        EXPECT_EQ(net.getReferenceOutput(0, p), ref[p]);
    }
}

TEST_F(PatternFileGrammar, ListsLongerOrShorterThanTheNetStayInBounds)
{
    std::string text = replaceOnce(patText, "INPUT:            0. 1. ", "INPUT: 7 8 9 10 11 12 13 14");
    text = replaceOnce(text, "INPUT:            1. 0. ", "INPUT: 5");
    text = replaceOnce(text, "PATTERN 4", "PATTERN 9");
    ASSERT_EQ(parsePatterns(&net, text), 0);
    EXPECT_EQ(net.getInputPattern(0, 1), 7.0);   // eight values: the first two count
    EXPECT_EQ(net.getInputPattern(1, 1), 8.0);
    EXPECT_EQ(net.getInputPattern(0, 2), 5.0);   // one value: the second input stays
    EXPECT_EQ(net.getInputPattern(1, 2), 0.0);
    EXPECT_EQ(net.getInputPattern(0, 3), 0.0);   // pattern 9 of 4 sets nothing
    EXPECT_EQ(net.getReferenceOutput(0, 3), 0.0);
}

TEST_F(PatternFileGrammar, ANegativePatternCountIsRefused)
{
    std::string text = replaceOnce(patText, "NOOFPATTERN: 4", "NOOFPATTERN: -4");
    NetAuxParser parser;
    parser.setNet(&net);
    EXPECT_EQ(parser.parseText(text.data(), text.size()), 1);
    EXPECT_NE(std::string(parser.getMessage()).find("NOOFPATTERN: darf nicht negativ"), std::string::npos);
}

} // namespace
