#include "Estimators.h"
#include "blocks/IdentTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// The plant of every case below unless a case says otherwise:
//     y(t) - 1.5 y(t-1) + 0.7 y(t-2) = u(t-1) + 0.5 u(t-2) + e(t)
// with na 2, m 1, d 0, so theta = (a1, a2, b1, b0) = (-1.5, 0.7, 1, 0.5).
const double kTheta[4] = {-1.5, 0.7, 1.0, 0.5};

// Input and output of a plant run: u a seeded random +-1 sequence, e white
// noise of deviation sigma (none for sigma 0). b1 is the u(t-1)
// coefficient, which may change during the run.
struct Samples {
    std::vector<double> u, y;
};

Samples simulatePlant(int n, unsigned seed, double sigma, bool zeroInput = false,
                      const std::function<double(int)>& b1 = [](int) { return 1.0; })
{
    std::mt19937 gen(seed);
    std::bernoulli_distribution coin(0.5);
    std::normal_distribution<double> noise(0.0, sigma > 0 ? sigma : 1.0);
    Samples s;
    double y1 = 0, y2 = 0, u1 = 0, u2 = 0;
    for (int t = 0; t < n; ++t) {
        double u = zeroInput ? 0.0 : (coin(gen) ? 1.0 : -1.0);
        double e = sigma > 0 ? noise(gen) : 0.0;
        double y = 1.5 * y1 - 0.7 * y2 + b1(t) * u1 + 0.5 * u2 + e;
        s.u.push_back(u);
        s.y.push_back(y);
        y2 = y1;
        y1 = y;
        u2 = u1;
        u1 = u;
    }
    return s;
}

// An estimator record opened and closed with the test.
class Estimator {
public:
    Estimator(int method, int nb, int na, int d) { openEstimator(&rec, method, nb, na, d); }
    ~Estimator() { closeEstimator(&rec); }
    const IdentMethod& method() const { return identMethods[rec.method]; }
    void set(int index, double value)
    {
        ASSERT_EQ(1, method().check(index, value, rec.na)) << "parameter " << index << " = " << value;
        rec.params[index] = value;
    }
    int reset() { return method().reset(&rec, 1); }
    double step(double u, double y) { return method().step(&rec, u, y); }
    std::vector<double> theta() const
    {
        const VEC* t = method().getTheta(&rec);
        return std::vector<double>(t->ve, t->ve + t->dim);
    }
    EstimatorRecord rec = {};
};

class EstimatorsTest : public ::testing::Test {
protected:
    void SetUp() override { FakeHost::install(); }
    void TearDown() override { setIdentHostServices(nullptr); }
};

// The parameters a case sets: index and value.
struct Setting {
    int index;
    double value;
};

struct NoiseFreeCase {
    const char* name;
    int method;
    std::vector<Setting> settings;
};

// Lambda 1; Alpha 1e6 (P = Alpha I) or 0.001 (R = Alpha I, a weak start);
// Gamma 0.9 and d 2 for the instrumental variables; Filtergrad 0 to 2.
const NoiseFreeCase noiseFreeCases[] = {
    {"LeastSquares", 0, {{0, 1.0}, {1, 1e6}}},
    {"LeastSquaresQR", 1, {{0, 1.0}, {1, 0.001}}},
    {"InstrumentalVariables", 2, {{0, 1.0}, {1, 1e6}, {2, 0.9}, {3, 2}}},
    {"ExtendedFilter0", 3, {{0, 1.0}, {1, 1e6}, {2, 0}}},
    {"ExtendedFilter1", 3, {{0, 1.0}, {1, 1e6}, {2, 1}}},
    {"ExtendedFilter2", 3, {{0, 1.0}, {1, 1e6}, {2, 2}}},
    {"TotalLS", 4, {{0, 1.0}, {1, 0.001}}},
    {"AdjustedLS", 5, {{0, 1.0}, {1, 0.001}}},
};

TEST_F(EstimatorsTest, EveryMethodFindsTheNoiseFreePlantIn200Samples)
{
    Samples s = simulatePlant(200, 7, 0.0);
    for (const NoiseFreeCase& c : noiseFreeCases) {
        SCOPED_TRACE(c.name);
        Estimator est(c.method, 2, 2, 0);
        for (const Setting& p : c.settings)
            est.set(p.index, p.value);
        ASSERT_EQ(1, est.reset());
        for (size_t k = 0; k < s.u.size(); ++k)
            est.step(s.u[k], s.y[k]);
        std::vector<double> theta = est.theta();
        ASSERT_GE(theta.size(), 4u);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(kTheta[i], theta[i], 1e-6) << "coefficient " << i;
        if (c.method == 3) {
            EXPECT_EQ(4u + static_cast<unsigned>(c.settings[2].value) + 1u, theta.size());
        }
        EXPECT_TRUE(FakeHost::messages().empty());
    }
}

// Other shapes of the model: the regressor must take the inputs that the
// plant's equation names (written out here, not derived from the estimator).
struct ShapeCase {
    const char* name;
    int nb, na, d;
    std::vector<double> theta;
    // y(k) from the histories y[k-1], y[k-2], ... and u[k], u[k-1], ...
    std::function<double(const std::vector<double>& y, const std::vector<double>& u, int k)> plant;
};

double at(const std::vector<double>& v, int k)
{
    return k >= 0 ? v[k] : 0.0;
}

TEST_F(EstimatorsTest, RegressorFollowsOrdersAndDeadSteps)
{
    const ShapeCase cases[] = {
        // na 1, m 0, d 0: phi = (-y(k-1), u(k-1)).
        {"FirstOrder", 1, 1, 0, {-0.8, 0.4},
         [](const std::vector<double>& y, const std::vector<double>& u, int k) {
             return 0.8 * at(y, k - 1) + 0.4 * at(u, k - 1);
         }},
        // Two dead steps: u(k-3).
        {"DeadSteps", 1, 1, 2, {-0.8, 0.4},
         [](const std::vector<double>& y, const std::vector<double>& u, int k) {
             return 0.8 * at(y, k - 1) + 0.4 * at(u, k - 3);
         }},
        // Numerator order = denominator order: (2z + 1)/(z - 0.5), u(k) itself.
        {"Biproper", 2, 1, 0, {-0.5, 2.0, 1.0},
         [](const std::vector<double>& y, const std::vector<double>& u, int k) {
             return 0.5 * at(y, k - 1) + 2.0 * at(u, k) + 1.0 * at(u, k - 1);
         }},
        // Numerator of order 0 under a second-order denominator: b0 u(k-2).
        {"LowNumerator", 1, 2, 0, {-1.5, 0.7, 0.3},
         [](const std::vector<double>& y, const std::vector<double>& u, int k) {
             return 1.5 * at(y, k - 1) - 0.7 * at(y, k - 2) + 0.3 * at(u, k - 2);
         }},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 gen(11);
        std::vector<double> u, y;
        for (int k = 0; k < 200; ++k) {
            u.push_back(gen() % 2 ? 1.0 : -1.0);
            y.push_back(c.plant(y, u, k));
        }
        for (int method : {0, 4}) {
            Estimator est(method, c.nb, c.na, c.d);
            est.set(1, method == 0 ? 1e6 : 0.001);
            est.reset();
            for (int k = 0; k < 200; ++k)
                est.step(u[k], y[k]);
            std::vector<double> theta = est.theta();
            ASSERT_EQ(c.theta.size(), theta.size());
            for (size_t i = 0; i < theta.size(); ++i)
                EXPECT_NEAR(c.theta[i], theta[i], 1e-6) << "method " << method << " coefficient " << i;
        }
    }
}

TEST_F(EstimatorsTest, FirstStepStartsFromRestAndReturnsThePriorError)
{
    // theta is 0 before the first step, so the a-priori error is y itself.
    Estimator est(0, 2, 2, 0);
    EXPECT_DOUBLE_EQ(0.75, est.step(1.0, 0.75));
}

// Least squares with white equation noise is unbiased: 20 seeded runs of
// 500 samples, sigma 0.1, Lambda 1, Alpha 10000.
TEST_F(EstimatorsTest, LeastSquaresWithNoiseIsUnbiased)
{
    const int runs = 20;
    std::vector<double> sum(4, 0.0);
    for (int r = 0; r < runs; ++r) {
        Samples s = simulatePlant(500, 1000 + r, 0.1);
        Estimator est(0, 2, 2, 0);
        est.set(0, 1.0);
        est.set(1, 10000);
        est.reset();
        for (size_t k = 0; k < s.u.size(); ++k)
            est.step(s.u[k], s.y[k]);
        std::vector<double> theta = est.theta();
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(kTheta[i], theta[i], 0.03) << "run " << r << " coefficient " << i;
            sum[i] += theta[i];
        }
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(kTheta[i], sum[i] / runs, 0.01) << "coefficient " << i;
}

// Without input the data carry no information on b, and with forgetting P
// grows every step; nothing may overflow into infinity or NaN.
TEST_F(EstimatorsTest, ZeroInputStaysFiniteInEveryMethod)
{
    for (double sigma : {0.0, 0.1}) {
        Samples s = simulatePlant(10000, 5, sigma, true);
        for (int method = 0; method < kIdentMethodCount; ++method) {
            SCOPED_TRACE("method " + std::to_string(method) + " sigma " + std::to_string(sigma));
            FakeHost::clear();
            Estimator est(method, 2, 2, 0);
            est.set(0, 0.98);
            est.reset();
            bool finite = true;
            for (size_t k = 0; k < s.u.size() && finite; ++k) {
                double e = est.step(s.u[k], s.y[k]);
                finite = std::isfinite(e);
                for (double v : est.theta())
                    finite = finite && std::isfinite(v);
                EXPECT_TRUE(finite) << "sample " << k;
            }
            EXPECT_TRUE(FakeHost::messages().empty());
        }
    }
}

// b1 steps from 1 to 2 at sample 300; at sample 500 forgetting has followed
// it, the plain update has not.
TEST_F(EstimatorsTest, ForgettingFollowsAChangedPlant)
{
    Samples s = simulatePlant(500, 3, 0.0, false, [](int t) { return t < 300 ? 1.0 : 2.0; });
    for (int method : {0, 3}) {
        for (double lambda : {0.98, 1.0}) {
            SCOPED_TRACE("method " + std::to_string(method) + " lambda " + std::to_string(lambda));
            Estimator est(method, 2, 2, 0);
            est.set(0, lambda);
            est.reset();
            for (size_t k = 0; k < s.u.size(); ++k)
                est.step(s.u[k], s.y[k]);
            double b1 = est.theta()[2];
            if (lambda < 1) {
                EXPECT_NEAR(2.0, b1, 0.05);
            } else {
                EXPECT_GT(std::fabs(b1 - 2.0), 0.3);
            }
        }
    }
}

struct GuardCase {
    const char* name;
    int method;
    double alpha;   // negative: the default
    double yAtStep; // the output fed at step 3 (NaN or a number)
};

TEST_F(EstimatorsTest, NumericalFailureIsReportedAndStopsTheRun)
{
    const GuardCase cases[] = {
        // R = 0: the triangular factor is singular and cannot be inverted.
        {"QRWithAlphaZero", 1, 0.0, 1.0},
        {"AdjustedWithAlphaZero", 5, 0.0, 1.0},
        // A NaN would reach the SVD, which never ends on one.
        {"TotalWithNaN", 4, -1, NAN},
        {"LeastSquaresWithNaN", 0, -1, NAN},
        {"LeastSquaresWithInfinity", 0, -1, INFINITY},
    };
    Samples s = simulatePlant(6, 2, 0.0);
    for (const GuardCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost::clear();
        Estimator est(c.method, 2, 2, 0);
        if (c.alpha >= 0)
            est.set(1, c.alpha);
        est.reset();
        double e = 0;
        for (int k = 0; k < 4 && FakeHost::stops() == 0; ++k)
            e = est.step(s.u[k], k == 3 ? c.yAtStep : s.y[k]);
        EXPECT_EQ(0.0, e);
        ASSERT_EQ(1u, FakeHost::messages().size());
        EXPECT_EQ("ID_STEP : Mathematischer Fehler!", FakeHost::messages()[0]);
        EXPECT_EQ(1, FakeHost::levels()[0]);
        EXPECT_EQ(1, FakeHost::stops());
        for (double v : est.theta())
            EXPECT_TRUE(std::isfinite(v));
    }
}

// ---------------------------------------------------------------------------
// The method table.

TEST_F(EstimatorsTest, MethodTableNamesAndParameters)
{
    struct Row {
        unsigned int name;
        std::vector<unsigned int> params;
    };
    const Row rows[] = {
        {26100, {26110, 26111}}, {26200, {26210, 26211}}, {26300, {26310, 26311, 26312, 26313}},
        {26400, {26410, 26411, 26412}}, {26500, {26510, 26511}}, {26600, {26610, 26611}},
    };
    for (int m = 0; m < kIdentMethodCount; ++m) {
        const IdentMethod& im = identMethods[m];
        EXPECT_EQ(rows[m].name, im.nameId);
        ASSERT_EQ(rows[m].params.size(), im.paramInfo(-1));
        for (size_t i = 0; i < rows[m].params.size(); ++i)
            EXPECT_EQ(rows[m].params[i], im.paramInfo(static_cast<int>(i)));
        EXPECT_EQ(26912u, im.paramInfo(static_cast<int>(rows[m].params.size())));
        EXPECT_EQ(26912u, im.paramInfo(-2));
    }
}

TEST_F(EstimatorsTest, DefaultsFollowTheWizardsTable)
{
    const double alpha[] = {10000, 100, 10000, 10000, 100, 100};
    for (int m = 0; m < kIdentMethodCount; ++m) {
        EXPECT_EQ(1.0, defaultParameter(m, 0, 2));
        EXPECT_EQ(alpha[m], defaultParameter(m, 1, 2));
    }
    EXPECT_EQ(0.9, defaultParameter(2, 2, 2));
    EXPECT_EQ(2.0, defaultParameter(2, 3, 1));
    EXPECT_EQ(2.0, defaultParameter(3, 2, 3));
    EXPECT_EQ(1.0, defaultParameter(3, 2, 1));  // min(2, na)
}

struct CheckCase {
    int method;
    int index;
    double value;
    int na;
    int accepted;
    const char* message;  // null: none
};

TEST_F(EstimatorsTest, CheckAcceptsTheLimitsAndReportsTheRest)
{
    const CheckCase cases[] = {
        {0, 0, 0.0, 2, 1, nullptr},
        {0, 0, 1.0, 2, 1, nullptr},
        {0, 0, 1.5, 2, 0, " Least Square\n Lambda : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {0, 0, NAN, 2, 0, " Least Square\n Lambda : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {0, 1, 1.0, 2, 1, nullptr},
        {0, 1, 1e6, 2, 1, nullptr},
        {0, 1, 0.5, 2, 0, " Least Square\n Alpha : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {1, 1, 0.0, 2, 1, nullptr},
        {1, 1, 10001, 2, 0, " Least Square mit QR\n Alpha : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {2, 2, 1.0, 2, 1, nullptr},
        {2, 3, 4, 2, 1, nullptr},
        {2, 3, 5, 2, 0, " Hilfsvariable\n d : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {2, 3, 0, 2, 0, " Hilfsvariable\n d : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {2, 3, 1.5, 2, 0, " Hilfsvariable\nd : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {3, 2, 2, 2, 1, nullptr},
        {3, 2, 3, 2, 0, " Extended LS\n Filtergrad : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {3, 2, 1.5, 2, 0, " Extended LS\nFiltergrad : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        {4, 1, 10000, 2, 1, nullptr},
        {5, 0, -0.1, 2, 0, " Adjusted LS\n Lambda : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!"},
        // Beyond the method's parameters: refused without a word.
        {0, 2, 1.0, 2, 0, nullptr},
        {2, -1, 1.0, 2, 0, nullptr},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "method " << c.method << " index " << c.index << " value " << c.value);
        FakeHost::clear();
        EXPECT_EQ(c.accepted, identMethods[c.method].check(c.index, c.value, c.na));
        if (c.message) {
            ASSERT_EQ(1u, FakeHost::messages().size());
            EXPECT_EQ(c.message, FakeHost::messages()[0]);
            EXPECT_EQ(1, FakeHost::stops());
        } else {
            EXPECT_TRUE(FakeHost::messages().empty());
            EXPECT_EQ(0, FakeHost::stops());
        }
    }
}

TEST_F(EstimatorsTest, ResetRefusesABadParameterAndKeepsTheState)
{
    Samples s = simulatePlant(50, 9, 0.0);
    Estimator est(3, 2, 2, 0);
    for (size_t k = 0; k < s.u.size(); ++k)
        est.step(s.u[k], s.y[k]);
    std::vector<double> before = est.theta();
    est.rec.params[2] = 7;  // Filtergrad above na, as no IDSET would let through
    EXPECT_EQ(0, est.reset());
    EXPECT_EQ(1, FakeHost::stops());
    EXPECT_EQ(before, est.theta());
    est.rec.params[2] = 1;
    EXPECT_EQ(1, est.reset());
    EXPECT_EQ(6u, est.theta().size());
}

// ARMAX noise: y(t) = 1.5 y(t-1) - 0.7 y(t-2) + u(t-1) + 0.5 u(t-2)
//                     + e(t) + 0.5 e(t-1) + 0.2 e(t-2), sigma 0.5.
// With Filtergrad = na the filter takes e(t-1), e(t-2), e(t-3), one
// residual more than na, so its coefficients approach (0.5, 0.2, 0).
TEST_F(EstimatorsTest, ExtendedLeastSquaresFindsTheNoiseFilter)
{
    std::mt19937 gen(21);
    std::normal_distribution<double> noise(0.0, 0.5);
    Estimator est(3, 2, 2, 0);
    est.set(2, 2);
    est.reset();
    double y1 = 0, y2 = 0, u1 = 0, u2 = 0, e1 = 0, e2 = 0;
    for (int t = 0; t < 5000; ++t) {
        double u = gen() % 2 ? 1.0 : -1.0;
        double e = noise(gen);
        double y = 1.5 * y1 - 0.7 * y2 + u1 + 0.5 * u2 + e + 0.5 * e1 + 0.2 * e2;
        est.step(u, y);
        y2 = y1;
        y1 = y;
        u2 = u1;
        u1 = u;
        e2 = e1;
        e1 = e;
    }
    const double expected[7] = {-1.5, 0.7, 1.0, 0.5, 0.5, 0.2, 0.0};
    std::vector<double> theta = est.theta();
    ASSERT_EQ(7u, theta.size());
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(expected[i], theta[i], 0.05) << "coefficient " << i;
    EXPECT_TRUE(FakeHost::messages().empty());
}

} // namespace
