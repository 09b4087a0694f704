#include "DiscreteToContinuous.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Each case: G(z) as the estimators' theta (a1 .. an, b_m .. b_0), and the
// G(s) it must come back as, in the conversion's layout (denominator below
// the leading 1, then the numerator from s^r down), within 1e-6.
//
// The G(z) values are the forward discretisation of that G(s): the exponential
// of the augmented matrix (zero-order hold) and the triangle-hold integrals
// (first-order hold), computed in mpmath 1.3 at 40 digits by c2d_reference.py
// beside this file, printed to 17 digits.
struct ConversionCase {
    const char* name;
    int hold;
    int nb;
    int na;
    double tsamp;
    std::vector<double> theta;
    std::vector<double> expected;
};

const double p = std::exp(-0.1);

const ConversionCase cases[] = {
    {"ZohFirstOrder", kZeroOrderHold, 1, 1, 0.1,
     {-0.90483741803595957, 0.095162581964040432},
     {1, 0, 1}},
    {"ZohBiproper", kZeroOrderHold, 2, 1, 0.1,
     {-0.90483741803595957, 1.0, -0.80967483607191914},
     {1, 1, 2}},
    {"ZohTwoRealPoles", kZeroOrderHold, 2, 2, 0.1,
     {-1.7235681711139414, 0.74081822068171785, 0.0045279585030313566, 0.0040970662808568614},
     {3, 2, 0, 0, 1}},
    {"ZohComplexPoles", kZeroOrderHold, 2, 2, 0.2,
     {-1.5082019225014732, 0.67032004603563929, 0.21130517778170618, -0.11403430366120655},
     {2, 5, 0, 1, 3}},
    // The pole at z = 1 meets the augmenting eigenvalue 1: the logarithm
    // takes the perturbation path.
    {"ZohIntegrator", kZeroOrderHold, 1, 1, 0.5, {-1.0, 0.5}, {0, 0, 1}},
    // (1-p)(z-0.5) / ((z-p)(z-0.5)), p = e^-0.1: the common factor goes, the
    // result is of order 1 (exact input, no reference needed).
    {"ZohCancellingFactor", kZeroOrderHold, 2, 2, 0.1,
     {-(p + 0.5), 0.5 * p, 1 - p, -0.5 * (1 - p)},
     {1, 0, 1}},
    {"FohFirstOrder", kFirstOrderHold, 2, 1, 0.1,
     {-0.90483741803595957, 0.048374180359595734, 0.046788401604444698},
     {1, 0, 1}},
    {"FohTwoRealPoles", kFirstOrderHold, 3, 2, 0.1,
     {-1.7235681711139414, 0.74081822068171785, 0.0015472976646410851, 0.005745947355423858,
      0.0013317797638232749},
     {3, 2, 0, 0, 1}},
    {"FohComplexPoles", kFirstOrderHold, 3, 2, 0.5,
     {-1.4138438496149344, 0.60653065971263342, 0.036498646140027555, 0.12778523790961242,
      0.028402926048059062},
     {1, 1, 0, 0, 1}},
    {"FohIntegrator", kFirstOrderHold, 2, 1, 0.5, {-1.0, 0.25, 0.25}, {0, 0, 1}},
};

TEST(DiscreteToContinuousTest, ConversionTable)
{
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> g;
        ASSERT_TRUE(convertToContinuous(c.hold, c.theta.data(), c.nb, c.na, c.tsamp, g));
        ASSERT_EQ(c.expected.size(), g.size());
        for (size_t i = 0; i < g.size(); ++i)
            EXPECT_NEAR(c.expected[i], g[i], 1e-6) << "element " << i;
    }
}

TEST(DiscreteToContinuousTest, SameInputSameResult)
{
    // The perturbation path draws random numbers; the result must not vary.
    const double theta[] = {-1.0, 0.5};
    std::vector<double> first, second;
    ASSERT_TRUE(convertToContinuous(kZeroOrderHold, theta, 1, 1, 0.5, first));
    ASSERT_TRUE(convertToContinuous(kZeroOrderHold, theta, 1, 1, 0.5, second));
    EXPECT_EQ(first, second);
}

struct FailureCase {
    const char* name;
    int nb;
    int na;
    std::vector<double> theta;
};

TEST(DiscreteToContinuousTest, FailuresGiveNoResult)
{
    const FailureCase failures[] = {
        // (z + 0.5) / (z (z - 0.5)): a pole at z = 0 has no logarithm.
        {"PoleAtZero", 2, 2, {-0.5, 0.0, 1.0, 0.5}},
        {"NaNInTheta", 2, 2, {-1.5, NAN, 1.0, 0.5}},
        {"InfinityInTheta", 1, 1, {-0.5, INFINITY}},
        // A zero numerator: nothing is controllable and observable.
        {"ZeroNumerator", 1, 1, {-0.5, 0.0}},
    };
    for (const FailureCase& f : failures)
        for (int hold : {kZeroOrderHold, kFirstOrderHold}) {
            SCOPED_TRACE(testing::Message() << f.name << " hold " << hold);
            std::vector<double> g = {42};
            EXPECT_FALSE(convertToContinuous(hold, f.theta.data(), f.nb, f.na, 0.1, g));
            EXPECT_TRUE(g.empty());
        }
}

TEST(DiscreteToContinuousTest, BadArgumentsGiveNoResult)
{
    const double theta[] = {-0.5, 1.0};
    std::vector<double> g;
    EXPECT_FALSE(convertToContinuous(1, theta, 1, 1, 0.1, g));
    EXPECT_FALSE(convertToContinuous(kZeroOrderHold, theta, 1, 1, 0.0, g));
    EXPECT_FALSE(convertToContinuous(kZeroOrderHold, theta, 1, 1, NAN, g));
    EXPECT_FALSE(convertToContinuous(kZeroOrderHold, theta, 3, 1, 0.1, g));
}

} // namespace
