#include "DiscreteToContinuous.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Each case: G(z) as the estimators' theta (a1 .. an, b_m .. b_0), and the
// G(s) it must come back as, in the conversion's layout (denominator below
// the leading 1, then the numerator from s^r down), within 1e-6.
//
// The G(z) values are the forward discretisation of that G(s): the exponential
// of the augmented matrix (zero-order hold) and the triangle-hold integrals
// (first-order hold), computed in mpmath 1.3 at 40 digits by c2d_reference.py
// beside this file, printed to 17 digits (the double integrator: its closed
// form).
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
    // The pole at z = 1 meets the augmenting eigenvalue 1: a Jordan block,
    // whose logarithm once needed a random perturbation.
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
    // Third and fourth order in both holds: the Schur form of the augmented
    // matrix never ended for these.
    {"ZohThirdOrderIntegrator", kZeroOrderHold, 3, 3, 0.5,
     {-1.9744101008840757, 1.1975402610325056, -0.22313016014842983, 0.029121598839545686,
      0.081471662982339629, 0.013766767810291726},
     {3, 2, 0, 0, 0, 0, 2}},
    {"FohThirdOrderIntegrator", kFirstOrderHold, 4, 3, 0.5,
     {-1.9744101008840757, 1.1975402610325056, -0.22313016014842983, 0.0078170817351874664,
      0.065081588324771575, 0.048280453622413973, 0.0031809059498040273},
     {3, 2, 0, 0, 0, 0, 2}},
    {"ZohThirdOrderComplexPoles", kZeroOrderHold, 3, 3, 0.2,
     {-2.4943680864366253, 2.1906265689042853, -0.67032004603563929, 0.019683729939901276,
      0.0064585590608595259, -0.013173070784750432},
     {2, 5, 4, 0, 0, 1, 2}},
    {"FohThirdOrderComplexPoles", kFirstOrderHold, 4, 3, 0.2,
     {-2.4943680864366253, 2.1906265689042853, -0.67032004603563929, 0.0066028202201213236,
      0.021713328044564751, -0.010924487044014979, -0.0044224430046607267},
     {2, 5, 4, 0, 0, 1, 2}},
    {"ZohFourthOrder", kZeroOrderHold, 4, 4, 0.5,
     {-1.3328755442691183, 0.60261989242302255, -0.10940908721715893, 0.0067379469990854671,
      0.0019973875684178009, 0.008645451735143058, 0.0031804839529991046, 9.9444071425938575e-5},
     {10, 35, 50, 24, 0, 0, 0, 0, 2}},
    {"FohFourthOrder", kFirstOrderHold, 5, 4, 0.5,
     {-1.3328755442691183, 0.60261989242302255, -0.10940908721715893, 0.0067379469990854671,
      0.00047067356527111032, 0.0057617085423461157, 0.0065807502249857957, 0.0010928211970919766,
      1.6813798290903831e-5},
     {10, 35, 50, 24, 0, 0, 0, 0, 2}},
    // An integrator or a slow pole under the first-order hold: its pole at
    // or near z = 1 meets the eigenvalue 1 of the hold, which once gave a
    // spurious constant numerator term of about 2 %.
    {"FohIntegratorAndLag", kFirstOrderHold, 3, 2, 0.5,
     {-1.6065306597126334, 0.60653065971263342, 0.036938680574733153, 0.13102063363500876,
      0.028775355933941373},
     {1, 0, 0, 0, 1}},
    {"FohSlowPoleAndLag", kFirstOrderHold, 3, 2, 0.5,
     {-1.6064806609626126, 0.60650033393779848, 0.036938207780927391, 0.13101727656542315,
      0.028774267512550911},
     {1.0001, 1e-4, 0, 0, 1}},
    // 1/s^2: the triangle hold gives T^2 (z^2 + 4z + 1) / (6 (z - 1)^2)
    // (closed form), once off by 1.4e-2.
    {"FohDoubleIntegrator", kFirstOrderHold, 3, 2, 0.5,
     {-2.0, 1.0, 0.25 / 6, 1.0 / 6, 0.25 / 6},
     {0, 0, 0, 0, 1}},
    {"FohDoubleIntegratorShortSample", kFirstOrderHold, 3, 2, 0.1,
     {-2.0, 1.0, 0.01 / 6, 0.04 / 6, 0.01 / 6},
     {0, 0, 0, 0, 1}},
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
    // A repeated eigenvalue (the pole at z = 1 and the hold's): the result
    // depends on the input alone, as it did not while such a matrix was
    // perturbed at random.
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
        // 1 / (z + 0.5) and 1 / ((z + 0.5)(z - 0.8)): a real matrix
        // logarithm needs the negative real poles in pairs.
        {"NegativePole", 1, 1, {0.5, 1.0}},
        {"NegativeAndPositivePole", 2, 2, {-0.3, -0.4, 1.0, 0.5}},
    };
    for (const FailureCase& f : failures)
        for (int hold : {kZeroOrderHold, kFirstOrderHold}) {
            SCOPED_TRACE(testing::Message() << f.name << " hold " << hold);
            std::vector<double> g = {42};
            EXPECT_FALSE(convertToContinuous(hold, f.theta.data(), f.nb, f.na, 0.1, g));
            EXPECT_TRUE(g.empty());
        }
}

// The check of the random sweep: the continuous G(s) is simulated (classic
// Runge-Kutta, 100 steps per sample) and sampled; held by a zero-order hold
// its step response, by the first-order hold its ramp response must equal
// the response of G(z) to the sampled step or ramp (both holds reproduce
// that input exactly).
double largestResponseError(int hold, const std::vector<double>& theta, int nb, int na, double tsamp,
                            const std::vector<double>& gs, double* largestResponse)
{
    const int samples = 40;
    auto input = [&](double t) { return hold == kZeroOrderHold ? (t >= 0 ? 1.0 : 0.0) : t; };

    // Discrete: y(k) = -a1 y(k-1) - ... - an y(k-n) + b_m u(k-n+m) + ... + b_0 u(k-n).
    std::vector<double> yd(samples, 0.0);
    for (int k = 0; k < samples; ++k) {
        double y = 0.0;
        for (int i = 1; i <= na && k - i >= 0; ++i)
            y -= theta[i - 1] * yd[k - i];
        for (int i = 0; i < nb; ++i) {
            int j = k - na + (nb - 1 - i);
            if (j >= 0)
                y += theta[na + i] * input(j * tsamp);
        }
        yd[k] = y;
    }

    // Continuous, controllable canonical form of G(s) (order at most 5 here).
    const int r = (static_cast<int>(gs.size()) - 1) / 2;
    if (r < 1 || r > 5)
        return INFINITY;
    const double d = gs[r];
    double c[5];
    for (int k = 0; k < r; ++k)
        c[k] = gs[2 * r - k] - gs[r - 1 - k] * d;  // coefficient of s^k less d * den
    auto derivative = [&](const double* x, double u, double* dx) {
        for (int i = 0; i + 1 < r; ++i)
            dx[i] = x[i + 1];
        double last = u;
        for (int k = 0; k < r; ++k)
            last -= gs[r - 1 - k] * x[k];
        dx[r - 1] = last;
    };
    double x[5] = {0, 0, 0, 0, 0}, k1[5], k2[5], k3[5], k4[5], xt[5];
    const int steps = 100;
    const double h = tsamp / steps;
    double worst = 0.0;
    *largestResponse = 0.0;
    for (int k = 0; k < samples; ++k) {
        const double t = k * tsamp;
        double y = d * input(t);
        for (int i = 0; i < r; ++i)
            y += c[i] * x[i];
        worst = std::max(worst, std::fabs(y - yd[k]));
        *largestResponse = std::max(*largestResponse, std::fabs(yd[k]));
        for (int s = 0; s < steps; ++s) {
            const double t0 = t + s * h;
            derivative(x, input(t0), k1);
            for (int i = 0; i < r; ++i)
                xt[i] = x[i] + 0.5 * h * k1[i];
            derivative(xt, input(t0 + 0.5 * h), k2);
            for (int i = 0; i < r; ++i)
                xt[i] = x[i] + 0.5 * h * k2[i];
            derivative(xt, input(t0 + 0.5 * h), k3);
            for (int i = 0; i < r; ++i)
                xt[i] = x[i] + h * k3[i];
            derivative(xt, input(t0 + h), k4);
            for (int i = 0; i < r; ++i)
                x[i] += h / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]);
        }
    }
    return worst;
}

TEST(DiscreteToContinuousTest, RandomStablePlantsConvert)
{
    // Seeded: poles in (0.05, 0.999), orders 2 to 4, random numerators,
    // both holds. Each conversion must end; real positive poles always have
    // a logarithm, so each gives a G(s) whose held response is G(z)'s.
    uint64_t state = 0x2545F4914F6CDD1DULL;
    auto uniform = [&state]() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<double>((state * 2685821657736338717ULL) >> 11) / 9007199254740992.0;
    };
    for (int na = 2; na <= 4; ++na)
        for (int hold : {kZeroOrderHold, kFirstOrderHold})
            for (int trial = 0; trial < 15; ++trial) {
                const double tsamp = 0.5;
                // Denominator from its poles, a1 .. an.
                std::vector<double> den = {1.0};
                for (int i = 0; i < na; ++i) {
                    const double pole = 0.05 + 0.949 * uniform();
                    den.push_back(0.0);
                    for (size_t k = den.size() - 1; k > 0; --k)
                        den[k] -= pole * den[k - 1];
                }
                const int nb = hold == kZeroOrderHold ? na : na + 1;
                std::vector<double> theta(den.begin() + 1, den.end());
                for (int i = 0; i < nb; ++i)
                    theta.push_back(2.0 * uniform() - 1.0);
                SCOPED_TRACE(testing::Message() << "order " << na << " hold " << hold << " trial " << trial);
                std::vector<double> g;
                ASSERT_TRUE(convertToContinuous(hold, theta.data(), nb, na, tsamp, g));
                double largest = 0.0;
                const double error = largestResponseError(hold, theta, nb, na, tsamp, g, &largest);
                EXPECT_LE(error, 1e-6 * std::max(1.0, largest));
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
