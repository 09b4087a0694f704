// The kernel against an independent implementation, libfuzzylite 6.0, on the
// 21 x 21 grid of step 0.1 over [-1, 1]^2: pd9 plus a rule WITH 0.5, an OR
// rule and a NOT before a comparison. Only combinations with the same
// semantics are compared:
// - trapezoid outputs: Mamdani with Minimum conjunction, Maximum disjunction,
//   Maximum aggregation and Centroid, with Minimum implication for max_min
//   and AlgebraicProduct for max_prod. The centroid resolution is 101 over
//   [lo - h/2, hi + h/2], h = (hi - lo)/100, so that the midpoints of
//   fuzzylite are the kernel's points; the default value is (lo + hi)/2.
// - singleton outputs: TakagiSugeno with Constant terms and WeightedAverage,
//   on a variant in which no two rules conclude the same set, nor two sets
//   share a value (fuzzylite sums per rule, the kernel takes the maximum per
//   set and point).
// Not compared: max defuzzification, mixed outputs, NOT of a parenthesised
// premise, and inputs out of range (fuzzylite does not clamp).
#include "FuzzyTestSupport.h"

#include <fl/Headers.h>

#include <cstdio>
#include <memory>

using namespace fuzzytest;

namespace {

struct Set {
    const char* name;
    double a, b, c, d;  // a alone for a singleton
};

struct Rule {
    const char* kernelPremise;
    const char* fllPremise;
    const char* term;
    const char* weight;  // null: none
};

const Set kInputSets[] = {{"N", -1, -1, -1, 0}, {"Z", -1, 0, 0, 1}, {"P", 0, 1, 1, 1}};
const Set kTrapezOutputs[] = {{"NB", -1, -1, -1, -0.5}, {"NS", -1, -0.5, -0.5, 0}, {"ZO", -0.5, 0, 0, 0.5},
                              {"PS", 0, 0.5, 0.5, 1},    {"PB", 0.5, 1, 1, 1}};

// pd9 and the three extra rules.
const Rule kTrapezRules[] = {
    {"((e==N) AND (de==N))", "e is N and de is N", "NB", nullptr},
    {"((e==N) AND (de==Z))", "e is N and de is Z", "NS", nullptr},
    {"((e==N) AND (de==P))", "e is N and de is P", "ZO", nullptr},
    {"((e==Z) AND (de==N))", "e is Z and de is N", "NS", nullptr},
    {"((e==Z) AND (de==Z))", "e is Z and de is Z", "ZO", nullptr},
    {"((e==Z) AND (de==P))", "e is Z and de is P", "PS", nullptr},
    {"((e==P) AND (de==N))", "e is P and de is N", "ZO", nullptr},
    {"((e==P) AND (de==Z))", "e is P and de is Z", "PS", nullptr},
    {"((e==P) AND (de==P))", "e is P and de is P", "PB", nullptr},
    {"(e==P)", "e is P", "NS", "0.5"},
    {"((e==N) OR (de==P))", "e is N or de is P", "PS", nullptr},
    {"(NOT ((e==Z)) AND (de==Z))", "e is not Z and de is Z", "NB", nullptr},
};

// The same premises, each concluding a singleton of its own value.
const Set kSingletonOutputs[] = {{"S0", -1, 0, 0, 0},    {"S1", -0.6, 0, 0, 0}, {"S2", -0.1, 0, 0, 0},
                                 {"S3", -0.45, 0, 0, 0}, {"S4", 0, 0, 0, 0},    {"S5", 0.4, 0, 0, 0},
                                 {"S6", 0.15, 0, 0, 0},  {"S7", 0.55, 0, 0, 0}, {"S8", 1, 0, 0, 0},
                                 {"S9", -0.3, 0, 0, 0},  {"S10", 0.7, 0, 0, 0}, {"S11", -0.8, 0, 0, 0}};

std::string num(double v)
{
    char buf[40];
    snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string kernelText(bool singletons, const char* inference)
{
    std::string t = std::string("FBLOCK oracle;\nCONFIGURATION;\nAND_METHOD = min;\nOR_METHOD = max;\n") +
                    "INFERENCE_METHOD = " + inference + ";\nDEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n";
    for (const char* v : {"e", "de"}) {
        t += std::string("INPUTVAR ") + v + ";\nXMIN -1;\nXMAX 1;\n";
        for (const Set& s : kInputSets)
            t += std::string("MEMBER ") + s.name + ";\nTRAPEZ " + num(s.a) + ", " + num(s.b) + ", " + num(s.c) +
                 ", " + num(s.d) + ";\nENDMEMBER;\n";
        t += "ENDINPUTVAR;\n";
    }
    t += "OUTPUTVAR u;\nXMIN -1;\nXMAX 1;\n";
    if (singletons)
        for (const Set& s : kSingletonOutputs)
            t += std::string("MEMBER ") + s.name + ";\nSINGLETON " + num(s.a) + ";\nENDMEMBER;\n";
    else
        for (const Set& s : kTrapezOutputs)
            t += std::string("MEMBER ") + s.name + ";\nTRAPEZ " + num(s.a) + ", " + num(s.b) + ", " + num(s.c) +
                 ", " + num(s.d) + ";\nENDMEMBER;\n";
    t += "ENDOUTPUTVAR;\nRULEBASE;\n";
    int i = 0;
    for (const Rule& r : kTrapezRules) {
        const char* term = singletons ? kSingletonOutputs[i].name : r.term;
        t += std::string("IF ") + r.kernelPremise + " THEN u=" + term;
        if (r.weight)
            t += std::string(" WITH ") + r.weight;
        t += ";\n";
        ++i;
    }
    return t + "ENDRULEBASE;\nENDFBLOCK;\n";
}

std::string fllText(bool singletons, const char* implication)
{
    std::string t = "Engine: oracle\n";
    for (const char* v : {"e", "de"}) {
        t += std::string("InputVariable: ") + v + "\n  enabled: true\n  range: -1 1\n  lock-range: false\n";
        for (const Set& s : kInputSets)
            t += std::string("  term: ") + s.name + " Trapezoid " + num(s.a) + " " + num(s.b) + " " + num(s.c) + " " +
                 num(s.d) + "\n";
    }
    const double lo = -1, hi = 1, h = (hi - lo) / 100;
    t += "OutputVariable: u\n  enabled: true\n  lock-range: false\n  lock-previous: false\n";
    t += "  default: " + num((lo + hi) / 2) + "\n";
    if (singletons) {
        t += "  range: -1 1\n  aggregation: none\n  defuzzifier: WeightedAverage TakagiSugeno\n";
        for (const Set& s : kSingletonOutputs)
            t += std::string("  term: ") + s.name + " Constant " + num(s.a) + "\n";
    } else {
        t += "  range: " + num(lo - h / 2) + " " + num(hi + h / 2) + "\n";
        t += "  aggregation: Maximum\n  defuzzifier: Centroid 101\n";
        for (const Set& s : kTrapezOutputs)
            t += std::string("  term: ") + s.name + " Trapezoid " + num(s.a) + " " + num(s.b) + " " + num(s.c) +
                 " " + num(s.d) + "\n";
    }
    t += "RuleBlock: rules\n  enabled: true\n  conjunction: Minimum\n  disjunction: Maximum\n";
    t += std::string("  implication: ") + (singletons ? "none" : implication) + "\n  activation: General\n";
    int i = 0;
    for (const Rule& r : kTrapezRules) {
        const char* term = singletons ? kSingletonOutputs[i].name : r.term;
        t += std::string("  rule: if ") + r.fllPremise + " then u is " + term;
        if (r.weight)
            t += std::string(" with ") + r.weight;
        t += "\n";
        ++i;
    }
    return t;
}

struct Variant {
    const char* what;
    bool singletons;
    const char* inference;
    const char* implication;
};

TEST(FuzzyOracle, AgreesWithFuzzyliteOnTheGrid)
{
    const Variant variants[] = {
        {"T with max_min: Mamdani, Minimum implication", false, "max_min", "Minimum"},
        {"T with max_prod: Mamdani, AlgebraicProduct implication", false, "max_prod", "AlgebraicProduct"},
        {"singletons: TakagiSugeno, WeightedAverage", true, "max_prod", nullptr},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.what);
        std::string detail;
        FuzzyReadResult r;
        KernelHolder k(readText(kernelText(v.singletons, v.inference), &r, &detail));
        ASSERT_TRUE(k.kernel) << detail;

        std::unique_ptr<fl::Engine> engine;
        try {
            engine.reset(fl::FllImporter().fromString(fllText(v.singletons, v.implication)));
        } catch (const fl::Exception& ex) {
            FAIL() << ex.what();
        }
        std::string status;
        ASSERT_TRUE(engine->isReady(&status)) << status;
        fl::InputVariable* e = engine->getInputVariable("e");
        fl::InputVariable* de = engine->getInputVariable("de");
        fl::OutputVariable* u = engine->getOutputVariable("u");

        int compared = 0;
        double largest = 0;
        for (int i = 0; i <= 20; ++i)
            for (int j = 0; j <= 20; ++j) {
                double x = -1 + 0.1 * i, y = -1 + 0.1 * j;
                e->setValue(x);
                de->setValue(y);
                engine->process();
                double expected = u->getValue();
                double got = evaluate(k.kernel, x, y);
                EXPECT_NEAR(expected, got, 1e-9) << "e=" << x << " de=" << y;
                largest = std::max(largest, std::fabs(expected));
                ++compared;
            }
        EXPECT_EQ(441, compared);
        EXPECT_GT(largest, 0.3);  // the grid is not all defaults
    }
}

} // namespace

// libfuzzylite exports the main function of its console program; a main of
// our own keeps that one out.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
