// The BASE library through its registry rows: values, domain errors, the
// random generators and DELAYINIT.
#include "PiTestSupport.h"

#include "DelayLines.h"
#include "ResetSimulator.h"

#include <cmath>
#include <cstdio>

using namespace pitest;

namespace {

class BaseLibraryTest : public PiEngineTest {
protected:
    void TearDown() override
    {
        setBaseClock(nullptr);
        setBaseGaussUniform(nullptr);
        resetSimulator();
        PiEngineTest::TearDown();
    }

    static const ModuleEntry& row(const char* name)
    {
        const ModuleEntry* e = ModuleRegistryLookup(name);
        EXPECT_NE(nullptr, e) << name;
        return *e;
    }
    static double f0(const char* name)
    {
        return reinterpret_cast<double (*)()>(row(name).function)();
    }
    static double f1(const char* name, double x)
    {
        return reinterpret_cast<double (*)(double)>(row(name).function)(x);
    }
    static double f2(const char* name, double x, double y)
    {
        return reinterpret_cast<double (*)(double, double)>(row(name).function)(x, y);
    }
    static void p1(const char* name, double x)
    {
        reinterpret_cast<void (*)(double)>(row(name).function)(x);
    }
    static void p2(const char* name, double x, double y)
    {
        reinterpret_cast<void (*)(double, double)>(row(name).function)(x, y);
    }
};

TEST_F(BaseLibraryTest, RowsAndKinds)
{
    struct Row {
        const char* name;
        int kind;
        const char* signature;
    };
    const Row rows[] = {
        {"SQR", 0x301, "dd"},      {"SQRT", 0x301, "dd"},  {"SIGN", 0x301, "dd"},
        {"ABS", 0x301, "dd"},      {"SIN", 0x301, "dd"},   {"COS", 0x301, "dd"},
        {"TAN", 0x301, "dd"},      {"ASIN", 0x301, "dd"},  {"ACOS", 0x301, "dd"},
        {"ATAN", 0x301, "dd"},     {"SINH", 0x301, "dd"},  {"COSH", 0x301, "dd"},
        {"TANH", 0x301, "dd"},     {"ASINH", 0x301, "dd"}, {"ACOSH", 0x301, "dd"},
        {"ATANH", 0x301, "dd"},    {"EXP", 0x301, "dd"},   {"LN", 0x301, "dd"},
        {"LOG", 0x301, "dd"},      {"POW", 0x301, "ddd"},  {"RANDOMIZE", 2, "d"},
        {"RND", 1, "d"},           {"RNDEXP", 1, "d"},     {"RNDGAUSS", 1, "d"},
        {"ROUND", 1, "dd"},        {"TRUNC", 1, "dd"},     {"DELAYINIT", 2, "dd"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const ModuleEntry& e = row(r.name);
        EXPECT_EQ(r.kind, e.kind);
        EXPECT_STREQ(r.signature, e.signature);
    }
    // BASE files its three hooks first.
    ASSERT_GE(moduleListLength(MODULE_LIST_LOAD), 1);
    EXPECT_STREQ("BASE", moduleListEntry(MODULE_LIST_LOAD, 0)->name);
    EXPECT_STREQ("BASE", moduleListEntry(MODULE_LIST_START, 0)->name);
    EXPECT_STREQ("BASE", moduleListEntry(MODULE_LIST_UNLOAD, 0)->name);
    EXPECT_EQ(0, runLoadHooks());
}

// References: the C library's functions in long double (independent of the
// double versions BASE calls) and the closed forms in the comments.
TEST_F(BaseLibraryTest, Values)
{
    struct Case {
        const char* name;
        double x;
        double expected;
    };
    const Case cases[] = {
        {"SQR", 3, 9},
        {"SQRT", 2, std::sqrt(2.0L)},
        {"SIGN", -0.0, 0},
        {"SIGN", -3, -1},
        {"SIGN", 1e-300, 1},
        {"ABS", -2.5, 2.5},
        {"SIN", 0.5, std::sin(0.5L)},
        {"COS", 0.5, std::cos(0.5L)},
        {"TAN", 0.5, std::tan(0.5L)},
        {"ASIN", 0.5, std::asin(0.5L)},
        {"ACOS", 0.5, std::acos(0.5L)},
        {"ATAN", 2, std::atan(2.0L)},
        {"SINH", 1, std::sinh(1.0L)},
        {"COSH", 1, std::cosh(1.0L)},
        {"TANH", 1, std::tanh(1.0L)},
        {"ATANH", 0.5, 0.549306144334055},      // ln(3) / 2
        {"ASINH", -1e9, -21.4164130175064},     // -ln(2e9)
        {"ACOSH", 1, 0},
        {"ACOSH", 2, 1.31695789692482},         // ln(2 + sqrt(3))
        {"EXP", 1, 2.71828182845905},
        {"LN", 2.71828182845904523536, 1},
        {"LOG", 1000, 3},
        {"ROUND", -2.5, -3},
        {"ROUND", 2.5, 3},
        {"ROUND", -2.4, -2},
        {"TRUNC", -2.7, -2},
        {"TRUNC", 2.7, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << "(" << c.x << ")");
        double v = f1(c.name, c.x);
        if (c.expected == 0) {
            EXPECT_EQ(0, v);
        } else {
            EXPECT_NEAR(c.expected, v, 1e-12 * std::fabs(c.expected));
        }
    }
    EXPECT_EQ(-8, f2("POW", -2, 3));
    EXPECT_EQ(0.25, f2("POW", 2, -2));
    EXPECT_EQ(1024, f2("POW", 2, 10));
    EXPECT_NEAR(std::sqrt(2.0), f2("POW", 2, 0.5), 1e-15);
    // A whole exponent of any size takes no time: both at once.
    EXPECT_EQ(1, f2("POW", -1, 1e12));
    EXPECT_EQ(-1, f2("POW", -1, 1e12 + 1));
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(0, runState.errorFlag);
}

TEST_F(BaseLibraryTest, DomainErrorsGiveZeroAMessageAndAnErrorStop)
{
    struct Case {
        const char* name;
        double x;
        double y;   // POW only
    };
    const Case cases[] = {
        {"SQRT", -1, 0}, {"ACOSH", 0.5, 0}, {"ATANH", 1, 0}, {"ATANH", -1, 0},
        {"ATANH", -3, 0}, {"LN", 0, 0},     {"LOG", -1, 0},  {"POW", -2, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << "(" << c.x << ")");
        queued.clear();
        runState.errorFlag = 0;
        double v = strcmp(c.name, "POW") == 0 ? f2(c.name, c.x, c.y) : f1(c.name, c.x);
        EXPECT_EQ(0, v);
        char expected[200];
        snprintf(expected, sizeof expected, getResString(20267), c.name);
        ASSERT_EQ(1u, queued.size());
        EXPECT_EQ(ERR_ERROR, queued[0].level);
        EXPECT_EQ(expected, queued[0].text);
        EXPECT_EQ(kRunErrorStop, runState.errorFlag);
    }
    EXPECT_EQ("SQRT Argument au\xdf" "erhalb des zul\xe4ssigen Wertebereichs",
              [] {
                  char t[200];
                  snprintf(t, sizeof t, getResString(20267), "SQRT");
                  return std::string(t);
              }());

    // Called for a check while compiling: nothing is queued, nothing stops.
    queued.clear();
    runState.errorFlag = 0;
    setOption(OPTION_COMPILE_PHASE);
    EXPECT_EQ(0, f1("SQRT", -1));
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(0, runState.errorFlag);
}

TEST_F(BaseLibraryTest, RandomizeWithASeedRepeatsItsSequence)
{
    // The values of the three-generator shuffle seeded with -1 (after the
    // one number the seeding call draws), computed independently.
    const double expected[] = {0.171148413633, 0.642383904090, 0.868852239979};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        p1("RANDOMIZE", 1);
        for (double e : expected)
            EXPECT_NEAR(e, f0("RND"), 1e-12);
    }
    p1("RANDOMIZE", -1.7);   // the seed is the integer of |s|
    EXPECT_NEAR(expected[0], f0("RND"), 1e-12);
    p1("RANDOMIZE", 1);
    EXPECT_NEAR(-std::log(expected[0]), f0("RNDEXP"), 1e-11);
}

int64_t fixedClock() { return 1700000000; }

TEST_F(BaseLibraryTest, RandomizeFromTheClockStaysInRange)
{
    setBaseClock(fixedClock);
    p1("RANDOMIZE", 0);
    for (int i = 0; i < 100000; ++i) {
        double r = f0("RND");
        ASSERT_GT(r, 0) << i;
        ASSERT_LT(r, 1) << i;
        ASSERT_GE(baseLastRandomIndex(), 0);
        ASSERT_LE(baseLastRandomIndex(), 96);
    }
}

TEST_F(BaseLibraryTest, RandomizeFromTheClockOnlySeedsAnUnusedGenerator)
{
    setBaseClock(fixedClock);
    p1("RANDOMIZE", 0);
    f0("RND");
    f0("RND");
    const double third = f0("RND");

    resetBaseRandom();
    p1("RANDOMIZE", 0);
    f0("RND");
    p1("RANDOMIZE", 0);  // goes on with the sequence (and draws one)
    EXPECT_EQ(third, f0("RND"));
}

std::vector<double> uniforms;
size_t nextUniformIndex = 0;
double fedUniform() { return uniforms.at(nextUniformIndex++); }

TEST_F(BaseLibraryTest, RndGaussRetriesAtZeroAndKeepsTheSecondValue)
{
    // u = w = 0 gives r = 0 and is drawn again; then u = -0.4, w = 0.2,
    // r = 0.2, f = sqrt(-2 ln 0.2 / 0.2): w f first, then the kept u f.
    uniforms = {0.5, 0.5, 0.3, 0.6};
    nextUniformIndex = 0;
    setBaseGaussUniform(fedUniform);
    EXPECT_NEAR(0.802356008872, f0("RNDGAUSS"), 1e-12);
    EXPECT_NEAR(-1.604712017745, f0("RNDGAUSS"), 1e-12);
    EXPECT_EQ(4u, nextUniformIndex);
}

TEST_F(BaseLibraryTest, DelayInitRoundsTheLineIndex)
{
    allocDelayLines(2);
    p2("DELAYINIT", 0.6, 3);
    EXPECT_EQ(3, DelayRead(1, 0));
    EXPECT_EQ(0, DelayRead(0, 0));
    p2("DELAYINIT", 7.2, 1);
    EXPECT_EQ(3, DelayRead(1, 0));
    EXPECT_EQ(0, DelayRead(0, 0));
    EXPECT_TRUE(queued.empty());
    // Not while compiling.
    setOption(OPTION_COMPILE_PHASE);
    p2("DELAYINIT", 0, 5);
    EXPECT_EQ(0, DelayRead(0, 0));
}

} // namespace
