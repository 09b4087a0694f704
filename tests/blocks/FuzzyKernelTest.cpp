// The inference kernel: the pd9 controller against hand-computed outputs,
// membership and defuzzification edges, the setters, the checks and dumps.
#include "FuzzyTestSupport.h"

#include "NumberFormat.h"
#include "ResString.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace fuzzytest;

namespace {

// Hand-computed outputs of pd9 (centroids over x_i = -1 + 0.02 i); the
// fractions are exact sums over the 101 points.
struct Pd9Case {
    double e, de;
    double sProdCentroid, tMinCentroid, tProdCentroid, tMinMax;
};

const Pd9Case kPd9Cases[] = {
    {0, 0, 0, 0, 0, 0},
    {0.5, -0.25, 0.1, 703.0 / 7498, 14613.0 / 130250, 0.25},
    {-0.7, 0.3, -2.0 / 13, -250.0 / 1887, -1225.0 / 7002, -0.5},
    {0.25, 0.75, 0.5, 1503.0 / 4025, 1953.0 / 4714, 0.5},
    {1, 1, 1, 0.84, 0.84, 1},
    {2, -3, 0, 0, 0, 0},  // clamped to (1, -1)
};

TEST(FuzzyKernelPd9, HandComputedOutputsOfTheFourVariants)
{
    KernelHolder s(readText(pd9Text('S', "max_prod", "centroid")));
    KernelHolder tMin(readText(pd9Text('T', "max_min", "centroid")));
    KernelHolder tProd(readText(pd9Text('T', "max_prod", "centroid")));
    KernelHolder tMax(readText(pd9Text('T', "max_min", "max")));
    ASSERT_TRUE(s.kernel && tMin.kernel && tProd.kernel && tMax.kernel);
    for (const Pd9Case& c : kPd9Cases) {
        SCOPED_TRACE(testing::Message() << "e=" << c.e << " de=" << c.de);
        EXPECT_NEAR(c.sProdCentroid, evaluate(s.kernel, c.e, c.de), 1e-9);
        EXPECT_NEAR(c.tMinCentroid, evaluate(tMin.kernel, c.e, c.de), 1e-9);
        EXPECT_NEAR(c.tProdCentroid, evaluate(tProd.kernel, c.e, c.de), 1e-9);
        EXPECT_NEAR(c.tMinMax, evaluate(tMax.kernel, c.e, c.de), 1e-9);
    }
}

TEST(FuzzyKernelPd9, InputsAreClampedAndUnknownIndexesIgnored)
{
    KernelHolder k(readText(pd9Text('T', "max_min", "centroid")));
    ASSERT_TRUE(k.kernel);
    setFuzzyInputAt(k.kernel, 0, 7.5);
    EXPECT_EQ(1.0, k->inputAt(0)->value);
    setFuzzyInputAt(k.kernel, 1.9, -7.5);  // cut toward zero: input 1
    EXPECT_EQ(-1.0, k->inputAt(1)->value);
    setFuzzyInput(k.kernel, "de", 0.25);
    EXPECT_EQ(0.25, k->inputAt(1)->value);
    for (double bad : {2.0, -1.0, std::nan(""), 1e300, -std::numeric_limits<double>::infinity()})
        setFuzzyInputAt(k.kernel, bad, 0.5);
    setFuzzyInput(k.kernel, "nosuch", 0.5);
    EXPECT_EQ(1.0, k->inputAt(0)->value);
    EXPECT_EQ(0.25, k->inputAt(1)->value);
    EXPECT_EQ(0.0, getFuzzyOutputAt(k.kernel, 1));
    EXPECT_EQ(0.0, getFuzzyOutputAt(k.kernel, std::nan("")));
    EXPECT_EQ(0.0, getFuzzyOutput(k.kernel, "nosuch"));
    SimulateStep(k.kernel);
    EXPECT_EQ(getFuzzyOutputAt(k.kernel, 0.7), getFuzzyOutput(k.kernel, "u"));
}

TEST(FuzzyKernelMembership, TrapezoidEdges)
{
    const double p[4] = {-1, 0, 2, 4};
    const double shoulder[4] = {1, 1, 3, 3};
    struct {
        const double* p;
        double x, mu;
    } cases[] = {
        {p, -1.0, 0.0},  {p, -0.5, 0.5}, {p, 0.0, 1.0},  {p, 1.0, 1.0}, {p, 2.0, 1.0},
        {p, 3.0, 0.5},   {p, 4.0, 0.0},  {p, 5.0, 0.0},  {p, -2.0, 0.0},
        // a = b: 1 at x = a, 0 just below it.
        {shoulder, 1.0, 1.0}, {shoulder, std::nextafter(1.0, 0.0), 0.0},
        // c = d: 1 up to d, 0 beyond.
        {shoulder, 3.0, 1.0}, {shoulder, std::nextafter(3.0, 4.0), 0.0},
        {p, std::nan(""), 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.mu, trapezMembership(c.x, c.p)) << "x=" << c.x;
}

// One input x on [0, 1] with the set A = TRAPEZ 0,0,0,1 (mu = 1 - x) and
// the given output sets and rules.
std::string oneInputBlock(const std::string& outRange, const std::string& outSets, const std::string& rules,
                          const std::string& defuzz = "centroid", const std::string& inference = "max_prod")
{
    return "FBLOCK t;\nCONFIGURATION;\nAND_METHOD = min;\nOR_METHOD = max;\nINFERENCE_METHOD = " + inference +
           ";\nDEFUZZIFICATION_METHOD = " + defuzz +
           ";\nENDCONFIGURATION;\n"
           "INPUTVAR x;\nXMIN 0;\nXMAX 1;\nMEMBER A;\nTRAPEZ 0, 0, 0, 1;\nENDMEMBER;\n"
           "MEMBER B;\nTRAPEZ 0, 1, 1, 1;\nENDMEMBER;\nMEMBER S;\nSINGLETON 0.5;\nENDMEMBER;\nENDINPUTVAR;\n"
           "OUTPUTVAR y;\n" + outRange + outSets + "ENDOUTPUTVAR;\nRULEBASE;\n" + rules +
           "ENDRULEBASE;\nENDFBLOCK;\n";
}

struct DefuzzCase {
    const char* what;
    std::string text;
    double x;
    double expected;  // by hand
};

TEST(FuzzyKernelDefuzzification, EdgesComputedByHand)
{
    const std::string range01 = "XMIN 0;\nXMAX 1;\n";
    const DefuzzCase cases[] = {
        {"no rule fires: the middle of the range",
         oneInputBlock("XMIN 2;\nXMAX 6;\n", "MEMBER T;\nTRAPEZ 2, 3, 3, 4;\nENDMEMBER;\n",
                       "IF (x==A) THEN y=T;\n"),
         1.0, 4.0},
        {"a factor of 0 silences the rule",
         oneInputBlock("XMIN 2;\nXMAX 6;\n", "MEMBER T;\nTRAPEZ 2, 3, 3, 4;\nENDMEMBER;\n",
                       "IF (x==A) THEN y=T WITH 0;\n"),
         0.0, 4.0},
        {"a singleton in a premise gives degree 0",
         oneInputBlock(range01, "MEMBER T;\nSINGLETON 0.8;\nENDMEMBER;\n", "IF (x==S) THEN y=T;\n"), 0.5, 0.5},
        {"NOT of a singleton premise fires fully",
         oneInputBlock(range01, "MEMBER T;\nSINGLETON 0.8;\nENDMEMBER;\n", "IF NOT (x==S) THEN y=T;\n"), 0.5, 0.8},
        {"XMIN = XMAX = 5: every point is 5",
         oneInputBlock("XMIN 5;\nXMAX 5;\n", "MEMBER T;\nTRAPEZ 4, 5, 5, 6;\nENDMEMBER;\n",
                       "IF (x==A) THEN y=T;\n"),
         0.0, 5.0},
        {"XMIN = XMAX = 5 and nothing fires",
         oneInputBlock("XMIN 5;\nXMAX 5;\n", "MEMBER T;\nTRAPEZ 4, 5, 5, 6;\nENDMEMBER;\n",
                       "IF (x==A) THEN y=T;\n"),
         1.0, 5.0},
        {"max: a plateau gives the mean of its grid points",
         oneInputBlock(range01, "MEMBER T;\nTRAPEZ 0.2, 0.4, 0.6, 0.8;\nENDMEMBER;\n", "IF (x==A) THEN y=T;\n",
                       "max"),
         0.0, 0.5},
        {"max: a single peak gives its place",
         oneInputBlock(range01, "MEMBER T;\nTRAPEZ 0.1, 0.3, 0.3, 0.9;\nENDMEMBER;\n", "IF (x==A) THEN y=T;\n",
                       "max"),
         0.0, 0.3},
        {"max: singletons, the larger activation wins",
         oneInputBlock(range01, "MEMBER L;\nSINGLETON 0.2;\nENDMEMBER;\nMEMBER H;\nSINGLETON 0.9;\nENDMEMBER;\n",
                       "IF (x==A) THEN y=L;\nIF (x==B) THEN y=H;\n", "max"),
         0.25, 0.2},
        {"singletons: weighted mean of the values (0.75*0.2 + 0.25*0.9)",
         oneInputBlock(range01, "MEMBER L;\nSINGLETON 0.2;\nENDMEMBER;\nMEMBER H;\nSINGLETON 0.9;\nENDMEMBER;\n",
                       "IF (x==A) THEN y=L;\nIF (x==B) THEN y=H;\n"),
         0.25, 0.375},
        {"mixed: mean of the sweep quotient 0.3 and the singleton quotient 1",
         oneInputBlock(range01,
                       "MEMBER T;\nTRAPEZ 0.2, 0.3, 0.3, 0.4;\nENDMEMBER;\nMEMBER H;\nSINGLETON 1;\nENDMEMBER;\n",
                       "IF (x==A) THEN y=T;\nIF (x==B) THEN y=H;\n"),
         0.5, 0.65},
        {"mixed: only the singleton fires",
         oneInputBlock(range01,
                       "MEMBER T;\nTRAPEZ 0.2, 0.3, 0.3, 0.4;\nENDMEMBER;\nMEMBER H;\nSINGLETON 1;\nENDMEMBER;\n",
                       "IF (x==A) THEN y=T;\nIF (x==B) THEN y=H;\n"),
         1.0, 1.0},
        {"OR takes the larger degree, AND the smaller (max_min clips at 0.5)",
         oneInputBlock(range01, "MEMBER T;\nTRAPEZ 0, 0, 0, 1;\nENDMEMBER;\n",
                       "IF ((x==A) AND (x==B)) OR (x==S) THEN y=T;\n", "max", "max_min"),
         0.5, 0.25},
    };
    for (const DefuzzCase& c : cases) {
        SCOPED_TRACE(c.what);
        FuzzyReadResult r;
        std::string detail;
        KernelHolder k(readText(c.text, &r, &detail));
        ASSERT_TRUE(k.kernel) << detail;
        setFuzzyInputAt(k.kernel, 0, c.x);
        SimulateStep(k.kernel);
        EXPECT_NEAR(c.expected, getFuzzyOutputAt(k.kernel, 0), 1e-12);
    }
}

TEST(FuzzyKernelSetters, CertaintyFactorsAndParametersAsNumberTexts)
{
    KernelHolder k(readText(pd9Text('T', "max_min", "centroid")));
    ASSERT_TRUE(k.kernel);
    FuzzyRule* first = k->getRules()->rule;
    // A rule number without a number reads as 0.
    EXPECT_TRUE(SetCfOfRule(k.kernel, "0.5", "nan"));
    EXPECT_STREQ("0.5", first->cfText);
    EXPECT_TRUE(SetCfOfRule(k.kernel, "0.123456", "0"));
    EXPECT_STREQ("0.12346", first->cfText);
    EXPECT_EQ(0.123456, first->cf);
    EXPECT_TRUE(SetCfOfRule(k.kernel, "2", "8"));
    EXPECT_FALSE(SetCfOfRule(k.kernel, "1", "9"));
    EXPECT_FALSE(SetCfOfRule(k.kernel, "1", "-1"));
    char* dump = dumpFuzzyCertaintyFactors(k.kernel);
    EXPECT_EQ(0u, std::string(dump).find("0 : 0.12346\n1 :  1\n"));
    EXPECT_NE(std::string::npos, std::string(dump).find("\n8 : 2.\n"));
    free(dump);

    EXPECT_TRUE(setMemberParameter(k.kernel, "u", "PB", "2", "0.12345678901234"));
    FuzzyMember* pb = findMember(findVariable(k->getBlock()->outputs, "u"), "PB");
    EXPECT_STREQ("0.123456789", pb->set->text[1]);
    EXPECT_EQ(0.12345678901234, pb->set->value[1]);
    EXPECT_TRUE(setMemberParameter(k.kernel, "e", "N", "4", "1e30"));
    EXPECT_STREQ("1.e+030", findMember(findVariable(k->getBlock()->inputs, "e"), "N")->set->text[3]);
    EXPECT_FALSE(setMemberParameter(k.kernel, "u", "PB", "5", "1"));
    EXPECT_FALSE(setMemberParameter(k.kernel, "u", "XX", "1", "1"));
    EXPECT_FALSE(setMemberParameter(k.kernel, "v", "PB", "1", "1"));

    KernelHolder s(readText(pd9Text('S', "max_prod", "centroid")));
    ASSERT_TRUE(s.kernel);
    EXPECT_FALSE(setMemberParameter(s.kernel, "u", "NB", "2", "7"));
    EXPECT_TRUE(setMemberParameter(s.kernel, "u", "NB", "1", "-0.75"));
    EXPECT_STREQ("-0.75", findMember(findVariable(s->getBlock()->outputs, "u"), "NB")->set->text[0]);
}

TEST(FuzzyKernelDumps, TextsForOutsidePrograms)
{
    KernelHolder k(readText(pd9Text('T', "max_min", "max")));
    ASSERT_TRUE(k.kernel);
    struct {
        char* text;
        const char* expected;
    } dumps[] = {
        {dumpFuzzyConfiguration(k.kernel), "AND: min\nOR: max\nINFERENCE: max_min\nDEFUZZIFICATION: maxim\n"},
        {dumpFuzzyInputNames(k.kernel), "INPUTS: e, de"},
        {dumpFuzzyOutputNames(k.kernel), "OUTPUTS: u"},
        {dumpFuzzyMembers(k.kernel, "de"), "de:\n\tXMIN: -1\n\tXMAX: 1\n\tN, Z, P"},
        {dumpFuzzyMemberParameters(k.kernel, "NS", "u"), "NS: \n\tTrapez: -1, -0.5, -0.5, 0\n"},
    };
    for (const auto& d : dumps) {
        EXPECT_STREQ(d.expected, d.text);
        free(d.text);
    }
    EXPECT_EQ(nullptr, dumpFuzzyMembers(k.kernel, "v"));
    EXPECT_EQ(nullptr, dumpFuzzyMemberParameters(k.kernel, "NS", "e"));
}

// Checks of a freshly read block, built from the records directly so that
// blocks the grammar would refuse can be tested too.
struct CheckedBlock {
    CheckedBlock() : kernel(new FuzzyKernel) {}
    ~CheckedBlock() { freeFuzzyBlock(kernel); }
    FuzzyKernel* kernel;
};

FuzzyVariable* variable(const char* name, std::vector<const char*> members)
{
    FuzzyMember* list = nullptr;
    for (const char* m : members)
        list = appendMember(list, fuzzyCopyText(m),
                            makeMember("TRAPEZ", fuzzyCopyText("0"), fuzzyCopyText("1"), fuzzyCopyText("2"),
                                       fuzzyCopyText("3")),
                            kFuzzyNoColor, nullptr);
    return makeVariable(fuzzyCopyText(name), fuzzyCopyText("0"), fuzzyCopyText("3"), nullptr, list);
}

FuzzyRule* testRule(const char* in, const char* inTerm, const char* out, const char* outTerm)
{
    return makeRule(makeCompareNode("EQ", fuzzyCopyText(in), fuzzyCopyText(inTerm)),
                    makeConclusion(fuzzyCopyText(out), fuzzyCopyText(outTerm)), nullptr);
}

FuzzyRuleNode* rule(const char* in, const char* inTerm, const char* out, const char* outTerm)
{
    return newNameList(testRule(in, inTerm, out, outTerm));
}

std::string res(unsigned int id)
{
    return getResString(id);
}

TEST(FuzzyKernelChecks, RepeatedNamesAreRenamedAndRejected)
{
    CheckedBlock b;
    FuzzyVariable* ins = appendVariable(variable("e", {"N", "Z"}), variable("e", {"N", "N"}));
    FuzzyVariable* outs = appendVariable(variable("u", {"A"}), variable("e", {"A"}));
    FuzzyBlock::finish(b.kernel, nullptr, makeConfiguration(nullptr, nullptr, nullptr, nullptr), ins, outs,
                       rule("e", "N", "u", "A"), nullptr);
    EXPECT_FALSE(checkFuzzyBlock(b.kernel, kFuzzyCheckTexts));
    EXPECT_EQ("e" + res(21102) + "Input1 !\n" + "N" + res(21102) + "Mem1 !\n" + "e" + res(21102) + "Output1 !\n",
              b.kernel->message.text());
    EXPECT_EQ(3, b.kernel->findings);
    EXPECT_STREQ("Input1", ins->next->name);
    EXPECT_STREQ("Mem1", ins->next->members->next->name);
    EXPECT_STREQ("Output1", outs->next->name);

    CheckedBlock ok;
    FuzzyBlock::finish(ok.kernel, nullptr, makeConfiguration(nullptr, nullptr, nullptr, nullptr),
                       variable("e", {"N"}), variable("u", {"N"}), rule("e", "N", "u", "N"), nullptr);
    EXPECT_TRUE(checkFuzzyBlock(ok.kernel, kFuzzyCheckTexts));
    EXPECT_TRUE(checkFuzzyCompleteness(ok.kernel, kFuzzyCheckTexts));
    EXPECT_STREQ("", ok.kernel->message.text());
}

// A new name skips the numbers its scope already has: the variables of the
// block (inputs and outputs together) or the sets of one variable.
TEST(FuzzyKernelChecks, NewNamesAreFreeInTheirScope)
{
    CheckedBlock b;
    FuzzyVariable* ins = appendVariable(variable("e", {"Mem1", "Mem2", "Mem1"}), variable("e", {"N"}));
    ins = appendVariable(ins, variable("Input1", {"N"}));
    FuzzyVariable* outs = appendVariable(variable("Output1", {"A"}), variable("Input2", {"A"}));
    outs = appendVariable(outs, variable("Input1", {"A", "Mem1", "A"}));
    FuzzyBlock::finish(b.kernel, nullptr, makeConfiguration(nullptr, nullptr, nullptr, nullptr), ins, outs,
                       rule("e", "N", "Output1", "A"), nullptr);
    EXPECT_FALSE(checkFuzzyBlock(b.kernel, kFuzzyCheckTexts));
    EXPECT_EQ("Mem1" + res(21102) + "Mem3 !\n" + "e" + res(21102) + "Input3 !\n" + "Input1" + res(21102) +
                  "Output2 !\n" + "A" + res(21102) + "Mem4 !\n",
              b.kernel->message.text());
    EXPECT_STREQ("Mem3", ins->members->next->next->name);
    EXPECT_STREQ("Input3", ins->next->name);
    EXPECT_STREQ("Output2", outs->next->next->name);
    EXPECT_STREQ("Mem4", outs->next->next->members->next->next->name);
    // Checked again, the block has no repeated name left.
    EXPECT_TRUE(checkFuzzyBlock(b.kernel, kFuzzyCheckTexts));
}

TEST(FuzzyKernelChecks, AfterSixRenamesOnlyDots)
{
    CheckedBlock b;
    FuzzyVariable* ins = nullptr;
    for (int i = 0; i < 9; ++i)
        ins = appendVariable(ins, variable("x", {"A"}));
    FuzzyBlock::finish(b.kernel, nullptr, nullptr, ins, nullptr, nullptr, nullptr);
    EXPECT_FALSE(checkFuzzyBlock(b.kernel, kFuzzyCheckTexts));
    std::string t = b.kernel->message.text();
    EXPECT_NE(std::string::npos, t.find("x" + res(21102) + "Input6 !\n.." + res(21103)));
    EXPECT_EQ(9, b.kernel->findings);
}

TEST(FuzzyKernelChecks, MissingPartsAndUnknownNames)
{
    CheckedBlock none;
    EXPECT_FALSE(checkFuzzyBlock(none.kernel, kFuzzyCheckTexts));
    EXPECT_EQ(res(21100), none.kernel->message.text());
    EXPECT_FALSE(checkFuzzyCompleteness(none.kernel, kFuzzyCheckTexts));

    CheckedBlock empty;
    FuzzyBlock::finish(empty.kernel, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(checkFuzzyBlock(empty.kernel, kFuzzyCheckTexts));
    EXPECT_EQ(res(21101) + res(21103), empty.kernel->message.text());
    EXPECT_FALSE(checkFuzzyCompleteness(empty.kernel, kFuzzyCheckTexts));
    EXPECT_EQ(res(21111) + res(21112) + res(21113) + res(21114) + res(21104), empty.kernel->message.text());

    CheckedBlock b;
    FuzzyRuleNode* rules = rule("e", "N", "v", "A");
    rules = appendNameList(rules, testRule("e", "Q", "u", "B"));
    rules = appendNameList(rules, testRule("f", "N", "u", "A"));
    FuzzyBlock::finish(b.kernel, nullptr, makeConfiguration(nullptr, nullptr, nullptr, nullptr),
                       variable("e", {"N"}), variable("u", {"A"}), rules, nullptr);
    EXPECT_TRUE(checkFuzzyBlock(b.kernel, kFuzzyCheckTexts));
    EXPECT_FALSE(checkFuzzyCompleteness(b.kernel, kFuzzyCheckTexts));
    EXPECT_EQ(res(21105) + "v\" !" + res(21107) + "B" + res(21108) + "u\" !" + res(21107) + "Q" + res(21110) +
                  "e\" !" + res(21109) + "f\" !",
              b.kernel->message.text());
    EXPECT_EQ(4, b.kernel->findings);
}

TEST(FuzzyKernelChecks, LongNamesAreCutAndTheListEnds)
{
    const std::string longName(600, 'n');
    CheckedBlock b;
    FuzzyVariable* ins = appendVariable(variable(longName.c_str(), {"N"}), variable(longName.c_str(), {"N"}));
    FuzzyBlock::finish(b.kernel, nullptr, nullptr, ins, variable("u", {"A"}), nullptr, nullptr);
    EXPECT_FALSE(checkFuzzyBlock(b.kernel, kFuzzyCheckTexts));
    std::string t = b.kernel->message.text();
    EXPECT_EQ(static_cast<size_t>(FuzzyMessage::kSize - 1), t.size());
    EXPECT_EQ(res(21106), t.substr(t.size() - res(21106).size()));
    EXPECT_EQ(0u, t.find(std::string(400, 'n')));

    CheckedBlock c;
    FuzzyBlock::finish(c.kernel, nullptr, makeConfiguration(nullptr, nullptr, nullptr, nullptr),
                       variable("e", {"N"}), variable("u", {"A"}),
                       rule(longName.c_str(), "N", longName.c_str(), "A"), nullptr);
    EXPECT_FALSE(checkFuzzyCompleteness(c.kernel, kFuzzyCheckTexts));
    t = c.kernel->message.text();
    EXPECT_LT(t.size(), static_cast<size_t>(FuzzyMessage::kSize));
    EXPECT_EQ(res(21106), t.substr(t.size() - res(21106).size()));
}

TEST(FuzzyKernelMessage, BoundedAppend)
{
    FuzzyMessage m;
    m.append("abc", "~etc");
    m.append(std::string(495, 'x').c_str(), "~etc");  // 3 + 495 + 4 = 502: fits
    EXPECT_FALSE(m.isClosed());
    m.append("yz", "~etc");                            // 504 with the end text: cut
    EXPECT_TRUE(m.isClosed());
    std::string t = m.text();
    EXPECT_EQ(503u, t.size());
    EXPECT_EQ("xy~etc", t.substr(t.size() - 6));
    m.append("more", "~etc");
    EXPECT_EQ(t, m.text());
}

TEST(FuzzyKernelIndex, CutTowardZeroOnlyInsideTheIntRange)
{
    int i = -7;
    EXPECT_TRUE(fuzzyCutToInt(3.9, &i));
    EXPECT_EQ(3, i);
    EXPECT_TRUE(fuzzyCutToInt(-0.5, &i));
    EXPECT_EQ(0, i);
    EXPECT_TRUE(fuzzyCutToInt(-2147483648.5, &i));
    EXPECT_EQ(-2147483647 - 1, i);
    for (double bad : {std::nan(""), 1e300, -1e300, 2147483648.0, std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(fuzzyCutToInt(bad, &i)) << bad;
}

} // namespace

namespace {

// The number texts the kernel writes: significant digits as asked, fixed
// notation while the exponent fits them, the point kept (values by %g rules).
TEST(FuzzyKernelNumberTexts, DigitsAndNotation)
{
    struct {
        double v;
        int digits;
        const char* text;
    } cases[] = {
        {1, 3, "1."},          {100, 3, "100."},        {1234, 3, "1.23e+003"},  {0.00001234, 3, "1.23e-5"},
        {0.123456, 5, "0.12346"}, {99999, 5, "99999."}, {999999, 5, "1.e+006"},  {-2.5, 5, "-2.5"},
        {0.12345678901234, 10, "0.123456789"},          {1e30, 10, "1.e+030"},
        {0.1, 20, "0.10000000000000000555"},            {0, 20, "0."},
    };
    for (const auto& c : cases) {
        char buf[kMaxNumberText + 1];
        formatNumberDigits(c.v, c.digits, buf);
        EXPECT_STREQ(c.text, buf) << c.v << " with " << c.digits;
    }
}

} // namespace

namespace {

// The defuzzification as the kernel did it before the output terms' grids:
// every fired rule's term evaluated at every point of the sweep. Reads the
// activations the step left in the conclusions.
double pointByPointOutput(FuzzyKernel* k, const FuzzyIoNode* o)
{
    std::vector<const FuzzyRule*> fired;
    for (FuzzyRuleNode* n = k->getRules(); n; n = n->next)
        if (n->rule && n->rule->conclusion && n->rule->conclusion->variable == o->variable &&
            n->rule->conclusion->activation > 0.0)
            fired.push_back(n->rule);
    auto membership = [](const FuzzyMemberSet* s, double x, bool singletonPoint) {
        if (!s)
            return 0.0;
        if (s->shape == FZ_SHAPE_SINGLETON)
            return singletonPoint && x == s->value[0] ? 1.0 : 0.0;
        return trapezMembership(x, s->value);
    };
    auto inferAt = [&](double x, bool singletonPoint) {
        double mu = 0.0;
        for (const FuzzyRule* r : fired) {
            double m = membership(r->conclusion->set, x, singletonPoint);
            double w = r->conclusion->activation;
            double v = k->getInference() == FZ_INFERENCE_MAX_MIN ? std::fmin(m, w) : m * w;
            if (v > mu)
                mu = v;
        }
        return mu;
    };
    const FuzzyVariable* v = o->variable;
    const double lo = o->minimum, hi = o->maximum;
    const double mid = (hi + lo) * 0.5, step = (hi - lo) * 0.01;
    if (k->getDefuzzification() == FZ_DEFUZZ_MAX) {
        double best = 0.0, sum = 0.0;
        int count = 0;
        auto visit = [&](double x, double mu) {
            if (mu > best) {
                best = mu;
                sum = x;
                count = 1;
            } else if (mu == best && mu > 0.0) {
                sum += x;
                ++count;
            }
        };
        if (v->hasTrapez)
            for (int i = 0; i <= 100; ++i)
                visit(lo + i * step, inferAt(lo + i * step, false));
        if (v->hasSingleton)
            for (FuzzyMember* m = v->members; m; m = m->next)
                if (m->set && m->set->shape == FZ_SHAPE_SINGLETON)
                    visit(m->set->value[0], inferAt(m->set->value[0], true));
        return count ? sum / count : mid;
    }
    double sx1 = 0.0, s1 = 0.0, sx2 = 0.0, s2 = 0.0;
    if (v->hasTrapez)
        for (int i = 0; i <= 100; ++i) {
            double x = lo + i * step;
            double mu = inferAt(x, false);
            sx1 += x * mu;
            s1 += mu;
        }
    if (v->hasSingleton)
        for (FuzzyMember* m = v->members; m; m = m->next)
            if (m->set && m->set->shape == FZ_SHAPE_SINGLETON) {
                double a = m->set->value[0];
                double mu = inferAt(a, true);
                sx2 += a * mu;
                s2 += mu;
            }
    if (s1 != 0.0 && s2 != 0.0)
        return (sx1 / s1 + sx2 / s2) * 0.5;
    if (s1 != 0.0)
        return sx1 / s1;
    if (s2 != 0.0)
        return sx2 / s2;
    return mid;
}

} // namespace

// The terms' memberships on the sweep are computed once and kept: on random
// inputs, and with output parameters and certainty factors changed between
// steps (the kept grid must follow), every variant gives what the point by
// point evaluation gives, within 1e-12.
TEST(FuzzyKernelGrid, KeptTermGridsGiveThePointByPointOutputs)
{
    std::mt19937 random(1211);
    std::uniform_real_distribution<double> input(-1.2, 1.2);
    std::uniform_real_distribution<double> parameter(-1.0, 1.0);
    const char* terms[] = {"NB", "NS", "ZO", "PS", "PB"};
    const struct {
        char sets;
        const char* inference;
        const char* defuzzification;
    } variants[] = {{'S', "max_prod", "centroid"}, {'T', "max_min", "centroid"},
                    {'T', "max_prod", "centroid"}, {'T', "max_min", "max"},
                    {'T', "max_prod", "max"},      {'S', "max_min", "max"}};
    for (const auto& variant : variants) {
        SCOPED_TRACE(testing::Message() << variant.sets << " " << variant.inference << " "
                                        << variant.defuzzification);
        KernelHolder k(readText(pd9Text(variant.sets, variant.inference, variant.defuzzification)));
        ASSERT_TRUE(k.kernel);
        for (int step = 0; step < 3000; ++step) {
            if (step % 50 == 49) {
                // A new trapezoid (sorted corners) or singleton for one term.
                double p[4];
                for (double& x : p)
                    x = parameter(random);
                std::sort(p, p + 4);
                const char* term = terms[random() % 5];
                for (int i = 0; i < 4; ++i) {
                    char text[32];
                    snprintf(text, sizeof text, "%.17g", p[i]);
                    const char number[2] = {static_cast<char>('1' + i), 0};
                    setMemberParameter(k.kernel, "u", term, number, text);
                }
            }
            if (step % 70 == 69) {
                char cf[32], rule[8];
                snprintf(cf, sizeof cf, "%.6f", 0.2 + 0.8 * (random() % 1000) / 1000.0);
                snprintf(rule, sizeof rule, "%u", static_cast<unsigned>(random() % 9));
                SetCfOfRule(k.kernel, cf, rule);
            }
            const double e = input(random), de = input(random);
            const double got = evaluate(k.kernel, e, de);
            const double expected = pointByPointOutput(k.kernel, k->outputAt(0));
            ASSERT_NEAR(expected, got, 1e-12) << "step " << step << " e=" << e << " de=" << de;
        }
    }
}
