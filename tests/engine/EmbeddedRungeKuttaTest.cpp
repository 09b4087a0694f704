// The Runge-Kutta methods: their coefficient tables, their convergence
// order on a non-autonomous problem, the shared error norm and step control,
// and the immediate failure on a discrete-flag change.
#include "EmbeddedRungeKutta.h"
#include "IntegratorTestSupport.h"
#include "RungeKuttaTableaux.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace inttest;

namespace {

struct TableCase {
    const char* name;
    const ButcherTableau* tab;
};

const TableCase kEmbeddedTables[] = {
    {"Fehlberg 2(3)", &kFehlberg23},       {"England 4(5)", &kEngland45},
    {"Fehlberg 4(5)", &kFehlberg45},       {"Dormand-Prince 5(4)", &kDormandPrince54},
    {"Dormand-Prince 8(6)", &kDormandPrince86},
};

double weightedPowerSum(const double* w, const double* c, int stages, int q)
{
    double sum = 0;
    for (int j = 0; j < stages; ++j)
        sum += w[j] * std::pow(c[j], q - 1);
    return sum;
}

} // namespace

TEST(RungeKuttaTables, RowSumsNodesAndWeightSums)
{
    prepareDormandPrince86();
    for (const TableCase& tc : kEmbeddedTables) {
        SCOPED_TRACE(tc.name);
        const ButcherTableau& t = *tc.tab;
        double sumB = 0, sumE = 0;
        for (int s = 0; s < t.stages; ++s) {
            double row = 0;
            for (int j = 0; j < s; ++j)
                row += t.a[s][j];
            EXPECT_NEAR(row, t.c[s], 1e-14) << "row " << s + 1;
            for (int j = s; j < kMaxStages; ++j)
                EXPECT_EQ(t.a[s][j], 0.0) << "not explicit: a(" << s + 1 << "," << j + 1 << ")";
            sumB += t.b[s];
            sumE += t.e[s];
        }
        EXPECT_NEAR(sumB, 1.0, 1e-14);
        EXPECT_NEAR(sumE, 0.0, 1e-14);
    }
}

// The figures the method description prints must stand in the tables.
TEST(RungeKuttaTables, PrintedCoefficients)
{
    prepareDormandPrince86();
    const double* e4 = kEngland45.e;
    const double england[] = {-42, 0, -224, -21, 162, 125};
    for (int j = 0; j < 6; ++j)
        EXPECT_DOUBLE_EQ(e4[j] * 336, england[j]);
    const double englandNodes[] = {0, 1.0 / 2, 1.0 / 2, 1, 2.0 / 3, 1.0 / 5};
    for (int j = 0; j < 6; ++j)
        EXPECT_DOUBLE_EQ(kEngland45.c[j], englandNodes[j]);

    const double f45b[] = {16.0 / 135, 0, 6656.0 / 12825, 28561.0 / 56430, -9.0 / 50, 2.0 / 55};
    const double f45e[] = {1.0 / 360, 0, -128.0 / 4275, -2197.0 / 75240, 1.0 / 50, 2.0 / 55};
    for (int j = 0; j < 6; ++j) {
        EXPECT_DOUBLE_EQ(kFehlberg45.b[j], f45b[j]);
        EXPECT_DOUBLE_EQ(kFehlberg45.e[j], f45e[j]);
    }
    const double dp5Nodes[] = {0, 1.0 / 5, 3.0 / 10, 4.0 / 5, 8.0 / 9, 1, 1};
    const double dp5e[] = {71.0 / 57600, 0, -71.0 / 16695, 71.0 / 1920, -17253.0 / 339200,
                           22.0 / 525,   -1.0 / 40};
    for (int j = 0; j < 7; ++j) {
        EXPECT_DOUBLE_EQ(kDormandPrince54.c[j], dp5Nodes[j]);
        EXPECT_DOUBLE_EQ(kDormandPrince54.e[j], dp5e[j]);
        EXPECT_EQ(kDormandPrince54.a[6][j], kDormandPrince54.b[j]) << "first same as last";
    }
    const ButcherTableau& d8 = kDormandPrince86;
    EXPECT_EQ(d8.a[1][0], 0.05260015195876773);
    EXPECT_EQ(d8.c[1], 0.05260015195876773);
    EXPECT_EQ(d8.a[2][0], 0.0197250569845379);
    EXPECT_EQ(d8.a[3][2], 0.08876275643042054);
    EXPECT_EQ(d8.a[4][0], 0.2413651341592667);
    EXPECT_EQ(d8.b[0], 0.054293734116568765);
    EXPECT_EQ(d8.b[11], 0.04471061572777259);
}

// Nodes of the published DOP853 table (Hairer, Nørsett, Wanner).
TEST(RungeKuttaTables, DormandPrince86DerivesThePublishedNodes)
{
    prepareDormandPrince86();
    const double published[kMaxStages] = {0,
                                          0.526001519587677318785587544488e-01,
                                          0.789002279381515978178381316732e-01,
                                          0.118350341907227396726757197510e+00,
                                          0.281649658092772603273242802490e+00,
                                          0.333333333333333333333333333333e+00,
                                          0.25,
                                          0.307692307692307692307692307692e+00,
                                          0.651282051282051282051282051282e+00,
                                          0.6,
                                          0.857142857142857142857142857142e+00,
                                          1.0};
    for (int s = 0; s < kMaxStages; ++s)
        EXPECT_NEAR(kDormandPrince86.c[s], published[s], 1e-14) << "node " << s + 1;
    // The third-order weights bhh1..3 of the published code, derived here.
    const double* w = dormandPrince86ThirdOrder;
    EXPECT_NEAR(w[0], 0.244094488188976377952755905512, 1e-14);
    EXPECT_NEAR(w[8], 0.733846688281611857341361741547, 1e-14);
    EXPECT_NEAR(w[11], 0.220588235294117647058823529412e-01, 1e-14);
    for (int j : {1, 2, 3, 4, 5, 6, 7, 9, 10})
        EXPECT_EQ(w[j], 0.0) << "stage " << j + 1;
}

namespace {

// Rooted trees in bracket form: "(" the children ")", a leaf "()".
// Elementary weight of stage i for the tree at text[pos]: the product over
// the children of sum_j a_ij·Phi_j(child); pos ends after the tree.
std::vector<double> elementaryWeights(const ButcherTableau& t, const std::string& text,
                                      size_t& pos, int& order, double& density)
{
    std::vector<double> phi(static_cast<size_t>(t.stages), 1.0);
    ++pos;   // "("
    int size = 1;
    double childDensity = 1;
    while (text[pos] == '(') {
        int childOrder = 0;
        double d = 1;
        const std::vector<double> child = elementaryWeights(t, text, pos, childOrder, d);
        for (int i = 0; i < t.stages; ++i) {
            double sum = 0;
            for (int j = 0; j < i; ++j)
                sum += t.a[i][j] * child[static_cast<size_t>(j)];
            phi[static_cast<size_t>(i)] *= sum;
        }
        size += childOrder;
        childDensity *= d;
    }
    ++pos;   // ")"
    order = size;
    density = size * childDensity;
    return phi;
}

// The 17 trees of orders 1 to 5, then the bushy and the tall tree of order 6.
const char* const kTrees[] = {
    "()",        "(())",       "(()())",     "((()))",     "(()()())",   "(()(()))",
    "((()()))",  "(((())))",   "(()()()())", "(()()(()))", "(()(()()))", "(()((())))",
    "((())(()))", "((()()()))", "((()(())))", "(((()())))", "((((()))))", "(()()()()())",
    "(((((())))))"};

// sum_i w_i·Phi_i(tree) and the tree's order and density.
double weightedTree(const ButcherTableau& t, const double* w, const char* tree, int& order,
                    double& density)
{
    size_t pos = 0;
    const std::vector<double> phi = elementaryWeights(t, tree, pos, order, density);
    double sum = 0;
    for (int i = 0; i < t.stages; ++i)
        sum += w[i] * phi[static_cast<size_t>(i)];
    return sum;
}

} // namespace

// The error estimate of method 7 derives from the table: the solution is of
// order 8 on every tree up to order 6; the fifth-order error weights vanish
// on every tree up to order 5 and not beyond, the third-order error weights
// (solution less third-order weights) on every tree up to order 3; both weigh
// stage 12, where a step too long blows up.
TEST(RungeKuttaTables, DormandPrince86ErrorEstimatorOrders)
{
    prepareDormandPrince86();
    const ButcherTableau& t = kDormandPrince86;
    double e3[kMaxStages];
    for (int j = 0; j < kMaxStages; ++j)
        e3[j] = t.b[j] - dormandPrince86ThirdOrder[j];
    int checked = 0;
    for (const char* tree : kTrees) {
        SCOPED_TRACE(tree);
        int order = 0;
        double density = 0;
        const double solution = weightedTree(t, t.b, tree, order, density);
        EXPECT_NEAR(solution, 1 / density, 1e-13);
        const double fifth = weightedTree(t, t.e, tree, order, density);
        const double third = weightedTree(t, e3, tree, order, density);
        if (order <= 5) {
            EXPECT_NEAR(fifth, 0.0, 1e-13);
        } else {
            EXPECT_GT(std::fabs(fifth), 1e-5);
        }
        if (order <= 3) {
            EXPECT_NEAR(third, 0.0, 1e-13);
        } else if (order == 4) {
            EXPECT_GT(std::fabs(third), 1e-4);
        }
        checked += order == 5;
    }
    EXPECT_EQ(9, checked) << "every tree of order 5";
    EXPECT_NE(t.e[11], 0.0);
    EXPECT_NE(e3[11], 0.0);
}

// Mended: Robertson's stiff kinetics at RELERR = ABSERR = 1e-6 made method 7
// accept a step of 0.01 whose last stage had blown up (y ~ 1e24) and die
// with the accuracy error. Reference: the three concentrations sum to 1
// (y1' + y2' + y3' = 0), which a sound run keeps within the bounds.
TEST(RungeKuttaTables, DormandPrince86FollowsRobertsonToForty)
{
    SimParams s = defaultSimParams();
    s.RELERR = s.ABSERR = 1e-6;
    auto robertson = [](double, const double* y, double* D) {
        D[0] = -0.04 * y[0] + 1e4 * y[1] * y[2];
        D[2] = 3e7 * y[1] * y[1];
        D[1] = -D[0] - D[2];
    };
    SelectedMethod m(7, 3, robertson, s);
    ASSERT_NE(m.step, nullptr);
    const RunFigures r = drive(m.step, s, {1, 0, 0}, 40);
    ASSERT_TRUE(r.ended) << "stopped at t = " << r.t;
    EXPECT_NEAR(r.y[0] + r.y[1] + r.y[2], 1.0, 1e-6);
    for (double v : r.y)
        EXPECT_TRUE(std::isfinite(v) && v > -1e-6 && v < 1 + 1e-6) << v;
    // idaRoberts_dns at t = 40: y1 = 0.71579, y3 = 0.2842.
    EXPECT_NEAR(r.y[0], 0.71579, 1e-4);
}

// Quadrature conditions: the solution weights integrate c^(q-1) exactly up
// to the eighth order, the second weight row up to the sixth.
TEST(RungeKuttaTables, DormandPrince86QuadratureOrders)
{
    prepareDormandPrince86();
    const ButcherTableau& t = kDormandPrince86;
    for (int q = 1; q <= 8; ++q)
        EXPECT_NEAR(weightedPowerSum(t.b, t.c, t.stages, q), 1.0 / q, 1e-13) << "b, q = " << q;
    for (int q = 1; q <= 6; ++q)
        EXPECT_NEAR(weightedPowerSum(kDormandPrince86Alternative, t.c, t.stages, q), 1.0 / q, 1e-13)
            << "second row, q = " << q;
    // The second row is not of order 7: its difference estimates the error.
    EXPECT_GT(std::fabs(weightedPowerSum(kDormandPrince86Alternative, t.c, t.stages, 7) - 1.0 / 7),
              1e-6);
}

namespace {

// y' = y·cos t, y(0) = 1: y = e^(sin t).
void cosineGrowth(double t, const double* y, double* D) { D[0] = y[0] * std::cos(t); }

// The error at t = 2 after fixed steps of h, every step accepted.
double errorWithStep(int method, double h)
{
    SelectedMethod m(method, 1, cosineGrowth, acceptingEverything());
    EXPECT_NE(m.step, nullptr);
    if (!m.step)
        return 0;
    const int steps = static_cast<int>(std::lround(2.0 / h));
    double y = 1, yNew = 0, D = 0, proposal = 0, t = 0;
    double dc[1] = {0}, dn[1] = {0};
    for (int i = 0; i < steps; ++i) {
        cosineGrowth(t, &y, &D);
        EXPECT_EQ(m.step(t, h, &y, &D, dc, dn, &proposal, &yNew), 0) << "step " << i;
        y = yNew;
        t = (i + 1) * h;
    }
    return std::fabs(y - std::exp(std::sin(2.0)));
}

struct OrderCase {
    int method;
    double order;
    double h;
};

// Reference: the analytic solution e^(sin 2). The step sizes keep the
// errors well above rounding and the methods in their asymptotic range.
const OrderCase kOrderCases[] = {
    {8, 1, 0.01}, {1, 4, 0.1},  {2, 5, 0.05}, {3, 3, 0.05},
    {4, 4, 0.1},  {5, 5, 0.05}, {6, 5, 0.1},  {7, 8, 0.2},
};

} // namespace

TEST(RungeKuttaConvergence, ObservedOrderOnNonAutonomousProblem)
{
    for (const OrderCase& oc : kOrderCases) {
        SCOPED_TRACE("method " + std::to_string(oc.method));
        const double coarse = errorWithStep(oc.method, oc.h);
        const double fine = errorWithStep(oc.method, oc.h / 2);
        ASSERT_GT(fine, 0.0);
        const double observed = std::log2(coarse / fine);
        EXPECT_NEAR(observed, oc.order, 0.3) << "errors " << coarse << " and " << fine;
    }
}

// A step of 0.2 with the default bounds 1e-6: the extrapolated new state of
// method 2 equals (16·y_half − y_full)/15 of two independent RK4 runs.
TEST(StepDoubling, NewStateIsTheExtrapolation)
{
    auto rk4 = [](double t, double y, double h) {
        double k1 = y * std::cos(t);
        double k2 = (y + h / 2 * k1) * std::cos(t + h / 2);
        double k3 = (y + h / 2 * k2) * std::cos(t + h / 2);
        double k4 = (y + h * k3) * std::cos(t + h);
        return y + h / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
    };
    const double h = 0.2;
    const double half = rk4(h / 2, rk4(0, 1, h / 2), h / 2);
    const double full = rk4(0, 1, h);
    const double extrapolated = (16 * half - full) / 15;

    SelectedMethod m(2, 1, cosineGrowth, acceptingEverything());
    double y = 1, D = 1, yNew = 0, proposal = 0, dc[1], dn[1];
    ASSERT_EQ(m.step(0, h, &y, &D, dc, dn, &proposal, &yNew), 0);
    EXPECT_NEAR(yNew, extrapolated, 1e-15);
    EXPECT_EQ(evaluations, 10) << "three stages, the midpoint, three, three";
}

// The norm against a hand computation: method 3 on y' = t² from (0, 0)
// has k = (0, h², h²/4), the new state h³/3, the error h³/6, D = 0, so the
// ratio is 1/2 whatever h is (ABSERR far below).
TEST(StepControl, Fehlberg23NormByHand)
{
    SimParams s = defaultSimParams();
    s.ABSERR = 1e-30;
    s.RELERR = 0.25;   // err = 0.5 / 0.25 = 2
    SelectedMethod m(3, 1, [](double t, const double*, double* D) { D[0] = t * t; }, s);
    double y = 0, D = 0, yNew = 0, proposal = 0, dc[1], dn[1];
    const double h = 0.1;
    EXPECT_EQ(m.step(0, h, &y, &D, dc, dn, &proposal, &yNew), 1);
    EXPECT_NEAR(proposal, 0.9 * std::pow(2.0, -0.2) * h, 1e-15);
    EXPECT_TRUE(integratorShared.rejected);
}

namespace {

// The shared values the control reads, for the control alone.
struct ControlScope {
    explicit ControlScope(double relErr)
    {
        integratorShared.relErr = relErr;
        integratorShared.epsilon = kTimeEpsilon;
        integratorShared.rejected = false;
    }
    ~ControlScope() { integratorShared.rejected = false; }
};

} // namespace

TEST(StepControl, RejectionShrinksByTheFactorButAtMostToATenth)
{
    ControlScope scope(1e-6);
    struct {
        double err;
        double factor;
    } cases[] = {
        {2.0, 0.9 * std::pow(2.0, -0.2)},
        {1000.0, 0.9 * std::pow(1000.0, -0.2)},
        {1e6, 0.1},      // 0.9·1e6^−0.2 = 0.057
        {1e300, 0.1},
    };
    for (auto& c : cases) {
        double proposal = 0;
        EXPECT_EQ(controlStepSize(true, c.err * 1e-6, 0.5, &proposal), 1) << c.err;
        EXPECT_NEAR(proposal, c.factor * 0.5, 1e-14) << c.err;
        EXPECT_TRUE(integratorShared.rejected);
    }
}

TEST(StepControl, NoGrowthRightAfterARejection)
{
    ControlScope scope(1e-6);
    double proposal = 0;
    ASSERT_EQ(controlStepSize(true, 4e-6, 1.0, &proposal), 1);
    // err 1e-3 would grow h by 0.9·1e-3^−0.2 = 3.58: not right after.
    EXPECT_EQ(controlStepSize(true, 1e-9, 0.2, &proposal), 0);
    EXPECT_DOUBLE_EQ(proposal, 0.2);
    EXPECT_FALSE(integratorShared.rejected);
    // The next acceptance grows again.
    EXPECT_EQ(controlStepSize(true, 1e-9, 0.2, &proposal), 0);
    EXPECT_NEAR(proposal, 0.9 * std::pow(1e-3, -0.2) * 0.2, 1e-14);
    // A shrinking factor stays after a rejection.
    ASSERT_EQ(controlStepSize(true, 4e-6, 1.0, &proposal), 1);
    EXPECT_EQ(controlStepSize(true, 0.8e-6, 1.0, &proposal), 0);
    EXPECT_NEAR(proposal, 0.9 * std::pow(0.8, -0.2), 1e-14);
}

TEST(StepControl, ZeroErrorGrowsFiveFoldAndErrOneIsAccepted)
{
    ControlScope scope(1e-6);
    double proposal = 0;
    EXPECT_EQ(controlStepSize(true, 0.0, 0.3, &proposal), 0);
    EXPECT_DOUBLE_EQ(proposal, 1.5);
    EXPECT_EQ(controlStepSize(true, 1e-6, 0.3, &proposal), 0) << "err = 1 is accepted";
    EXPECT_NEAR(proposal, 0.27, 1e-15);
    EXPECT_EQ(controlStepSize(false, 0.0, 0.3, &proposal), 1) << "not measurable";
    EXPECT_NEAR(proposal, 0.03, 1e-15);
}

TEST(StepControl, StateErrorRatioEdges)
{
    double r = -1;
    // Scale max(ABSERR, |y| + h|D|).
    EXPECT_TRUE(stateErrorRatio(1e-3, 0, 2, 0.5, -2, &r));
    EXPECT_DOUBLE_EQ(r, 1e-3 / 3);
    EXPECT_TRUE(stateErrorRatio(1e-3, 10, 2, 0.5, -2, &r));
    EXPECT_DOUBLE_EQ(r, 1e-4);

    std::feclearexcept(FE_ALL_EXCEPT);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(stateErrorRatio(0, 0, 0, 0.1, 0, &r)) << "0 error, 0 scale";
    EXPECT_EQ(r, 0.0);
    EXPECT_FALSE(stateErrorRatio(1e-20, 0, 0, 0.1, 0, &r)) << "error over a zero scale";
    EXPECT_FALSE(stateErrorRatio(nan, 1e-6, 1, 0.1, 1, &r));
    EXPECT_FALSE(stateErrorRatio(inf, 1e-6, 1, 0.1, 1, &r));
    EXPECT_FALSE(stateErrorRatio(1e-3, 1e-6, nan, 0.1, 1, &r));
    EXPECT_FALSE(stateErrorRatio(1e300, 0, 1e-300, 0.1, 0, &r)) << "beyond the double range";
    EXPECT_TRUE(stateErrorRatio(1.0, 0, 1e308, 10, 1e308, &r)) << "scale overflows";
    EXPECT_EQ(r, 0.0);
    double proposal = 0;
    ControlScope scope(1e-300);
    EXPECT_EQ(controlStepSize(true, 1e10, 0.1, &proposal), 1) << "err beyond the double range";
    EXPECT_NEAR(proposal, 0.01, 1e-17);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
}

// Every stage evaluation looks at the mark of a changed discrete flag: a
// flag that changes in the first evaluation ends the step there.
TEST(StepControl, FlagChangeInAStageFailsAtOnce)
{
    for (int method = 2; method <= 7; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        SelectedMethod m(method, 1, [](double, const double*, double* D) {
            D[0] = 1;
            DiscreteFlag(0, 1);   // phase 0: marks the step
        });
        ASSERT_NE(m.step, nullptr);
        double y = 0, D = 1, yNew = 0, proposal = 0, dc[1], dn[1];
        EXPECT_EQ(m.step(0, 0.1, &y, &D, dc, dn, &proposal, &yNew), 1);
        EXPECT_EQ(evaluations, 1);
        EXPECT_TRUE(stepFlagChanged());
        EXPECT_FALSE(integratorShared.rejected) << "not a rejection of the control";
    }
}

// Mended: with ABSERR 0 a state resting at 0 gave 0/0. Now the steps are
// accepted, every proposal is finite and no exception flag is raised.
TEST(StepControl, AbsErrZeroWithAStateRestingAtZero)
{
    SimParams s = defaultSimParams();
    s.ABSERR = 0;
    for (int method = 2; method <= 7; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        SelectedMethod m(method, 2, [](double, const double* y, double* D) {
            D[0] = -y[0];
            D[1] = 0;
        }, s);
        ASSERT_NE(m.step, nullptr);
        EXPECT_EQ(integratorShared.absErr, nullptr);
        std::feclearexcept(FE_ALL_EXCEPT);
        RunFigures r = drive(m.step, s, {1, 0}, 5);
        EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
        EXPECT_TRUE(r.ended);
        EXPECT_EQ(r.y[1], 0.0);
        EXPECT_NEAR(r.y[0], std::exp(-5.0), 1e-4 * std::exp(-5.0));
    }
}

// A NaN from the model shrinks the step to a tenth; the step never becomes
// NaN.
TEST(StepControl, NanFromTheModelRejectsWithATenth)
{
    for (int method = 2; method <= 7; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        SelectedMethod m(method, 1, [](double t, const double*, double* D) {
            D[0] = t > 0.05 ? std::numeric_limits<double>::quiet_NaN() : 1;
        });
        double y = 0, D = 1, yNew = 0, proposal = 0, dc[1], dn[1];
        EXPECT_EQ(m.step(0, 0.2, &y, &D, dc, dn, &proposal, &yNew), 1);
        EXPECT_NEAR(proposal, 0.02, 1e-17);
    }
}

TEST(MethodSelection, RelErrNotPositiveRefusesTheVariableStepMethods)
{
    SimParams s = defaultSimParams();
    for (double relErr : {0.0, -1e-6}) {
        s.RELERR = relErr;
        for (int method = 2; method <= 7; ++method) {
            SelectedMethod m(method, 1, cosineGrowth, s);
            EXPECT_EQ(m.step, nullptr) << method << " with RELERR " << relErr;
        }
        SelectedMethod rk4(1, 1, cosineGrowth, s);
        EXPECT_NE(rk4.step, nullptr) << "the fixed-step methods have no norm";
    }
}

// Every method with the default settings follows y' = y·cos t to the
// analytic end value; the error control holds the global error near the
// bounds (1e-6).
TEST(MethodSelection, EveryVariableStepMethodRunsWithTheDefaults)
{
    const SimParams s = defaultSimParams();
    for (int method = 2; method <= 7; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        SelectedMethod m(method, 1, cosineGrowth, s);
        ASSERT_NE(m.step, nullptr);
        RunFigures r = drive(m.step, s, {1}, 10);
        EXPECT_TRUE(r.ended);
        EXPECT_NEAR(r.y[0], std::exp(std::sin(10.0)), 2e-5);
    }
}
