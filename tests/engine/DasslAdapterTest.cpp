// Method 9 on SUNDIALS IDA: accuracy on a stiff linear system, restarts at
// changed points, flag changes inside a step, the solver's messages and the
// end of a run after a repeated failure.
#include "DasslAdapter.h"
#include "ErrorReporter.h"
#include "IntegratorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace inttest;

namespace {

const int kDassl = 9;

void stiffPair(double, const double* y, double* D)
{
    D[0] = -y[0];
    D[1] = y[0] - 1000 * y[1];
}

void decay(double, const double* y, double* D) { D[0] = -y[0]; }

} // namespace

// y1' = −y1, y2' = y1 − 1000·y2, y(0) = (1, 0): y1 = e^−t,
// y2 = (e^−t − e^−1000t)/999 (analytic).
TEST(Dassl, StiffLinearSystemWithinTheBounds)
{
    SimParams s = defaultSimParams();
    SelectedMethod m(kDassl, 2, stiffPair, s);
    ASSERT_NE(m.step, nullptr);
    double worst = 0;
    auto check = [&](double t, double* y) {
        const double y1 = std::exp(-t);
        const double y2 = (std::exp(-t) - std::exp(-1000 * t)) / 999;
        const double e1 = std::fabs(y[0] - y1) / (10 * (s.RELERR * std::fabs(y1) + s.ABSERR));
        const double e2 = std::fabs(y[1] - y2) / (10 * (s.RELERR * std::fabs(y2) + s.ABSERR));
        worst = std::max(worst, std::max(e1, e2));
    };
    RunFigures r = drive(m.step, s, {1, 0}, 5, {}, check);
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(r.rejected, 0);
    EXPECT_LE(worst, 1.0) << "largest error in units of 10·(RELERR·|y| + ABSERR)";
    EXPECT_EQ(dasslStartCount(), 1);
    EXPECT_TRUE(queued.empty());
}

// x' = −x, x(0) = 1; an event at t = 1 sets x := 2, so x(2) = 2/e. A solver
// that went on from its own history would give e^−2.
TEST(Dassl, RestartsWhereAnEventSetAState)
{
    SimParams s = defaultSimParams();
    SelectedMethod m(kDassl, 1, decay, s);
    ASSERT_NE(m.step, nullptr);
    auto event = [](double t, double* y) {
        if (std::fabs(t - 1) < 1e-12)
            y[0] = 2;
    };
    RunFigures r = drive(m.step, s, {1}, 2, {1.0}, event);
    ASSERT_TRUE(r.ended);
    EXPECT_NEAR(r.y[0], 2 / std::exp(1.0), 1e-4);
    EXPECT_EQ(dasslStartCount(), 2);
}

// Events that change nothing leave the solver on its history.
TEST(Dassl, LandingsThatChangeNothingDoNotRestart)
{
    SimParams s = defaultSimParams();
    SelectedMethod m(kDassl, 1, decay, s);
    RunFigures r = drive(m.step, s, {1}, 2, {0.5, 1.0, 1.5});
    ASSERT_TRUE(r.ended);
    EXPECT_NEAR(r.y[0], std::exp(-2.0), 1e-5);
    EXPECT_EQ(dasslStartCount(), 1);
}

// Swapped discrete buffers and a changed discrete flag make another point.
TEST(Dassl, RestartsAfterSwappedBuffersOrAChangedFlag)
{
    SimParams s = defaultSimParams();
    allocDiscreteFlags(1);
    SelectedMethod m(kDassl, 1, decay, s);
    double buffers[3] = {0, 0, 0};
    double y = 1, D = -1, yNew = 0, proposal = 0;
    double t = 0, h = 0.1;
    auto stepOnce = [&](double* current, double* next) {
        ASSERT_EQ(m.step(t, h, &y, &D, current, next, &proposal, &yNew), 0);
        t += h;
        y = yNew;
        D = -y;
    };
    stepOnce(&buffers[1], &buffers[2]);
    stepOnce(&buffers[1], &buffers[2]);
    EXPECT_EQ(dasslStartCount(), 1);
    stepOnce(&buffers[2], &buffers[1]);
    EXPECT_EQ(dasslStartCount(), 2) << "buffers swapped";
    runState.phase = 2;
    DiscreteFlag(1, 1);
    runState.phase = 0;
    stepOnce(&buffers[2], &buffers[1]);
    EXPECT_EQ(dasslStartCount(), 3) << "flag changed";
    stepOnce(&buffers[2], &buffers[1]);
    EXPECT_EQ(dasslStartCount(), 3);
    EXPECT_NEAR(y, std::exp(-t), 1e-5);
    freeDiscreteFlags();
}

// A flag that rises inside the step and stays risen at its end rejects the
// step with the proposal h; the simulator then halves towards LIMIT.
TEST(Dassl, FlagFlippingInsideAStepRejectsWithProposalH)
{
    allocDiscreteFlags(1);
    SelectedMethod m(kDassl, 1, [](double t, const double* y, double* D) {
        D[0] = -y[0];
        DiscreteFlag(1, t > 0.5);
    });
    double y = 1, D = -1, yNew = 0, proposal = 0, dc[1], dn[1];
    EXPECT_EQ(m.step(0, 1.0, &y, &D, dc, dn, &proposal, &yNew), 1);
    EXPECT_EQ(proposal, 1.0);
    EXPECT_TRUE(stepFlagChanged());
    clearStepFlagChanged();
    // The half that stays before the edge goes through and continues.
    EXPECT_EQ(m.step(0, 0.5, &y, &D, dc, dn, &proposal, &yNew), 0);
    EXPECT_FALSE(stepFlagChanged());
    EXPECT_NEAR(yNew, std::exp(-0.5), 1e-5);
    freeDiscreteFlags();
}

// ABSERR 0 and a state at 0: IDA refuses the zero error weight. The message
// pair comes twice (the failure and the one retry after the restart), then
// the method gives up and the run ends.
TEST(Dassl, RepeatedFailureGivesUpAfterOneRetry)
{
    SimParams s = defaultSimParams();
    s.ABSERR = 0;
    SelectedMethod m(kDassl, 2, [](double, const double* y, double* D) {
        D[0] = -y[0];
        D[1] = 0;
    }, s);
    ASSERT_NE(m.step, nullptr);
    RunFigures r = drive(m.step, s, {1, 0}, 1);
    EXPECT_FALSE(r.ended);
    EXPECT_EQ(r.lastResult, 2);
    EXPECT_EQ(r.rejected, 2);
    const Queued expected[] = {
        {ERR_ERROR, "IDAInitialSetup(-22) Some initial ewt component = 0.0 illegal."},
        {ERR_ERROR, "Probleme mit DDASSL(), IDID = -22"},
        {ERR_ERROR, "IDAInitialSetup(-22) Some initial ewt component = 0.0 illegal."},
        {ERR_ERROR, "Probleme mit DDASSL(), IDID = -22"},
    };
    ASSERT_EQ(queued.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(queued[i].level, expected[i].level);
        EXPECT_EQ(queued[i].text, expected[i].text);
    }
}

TEST(Dassl, MessageHandlerFormatAndLevels)
{
    SelectedMethod m(kDassl, 1, decay);
    char error[] = "tout too close to t0 to start integration.";
    char warning[] = "Warning: t + h = t on the next step.";
    dasslMessage(-22, "IDA", "IDASolve", error, nullptr);
    dasslMessage(99, "IDA", "IDASolve", warning, nullptr);
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0].level, ERR_ERROR);
    EXPECT_EQ(queued[0].text, "IDASolve(-22) tout too close to t0 to start integration.");
    EXPECT_EQ(queued[1].level, ERR_MESSAGE);
    EXPECT_EQ(queued[1].text, "IDASolve(99) Warning: t + h = t on the next step.");
}

TEST(Dassl, SetUpRefusesNegativeBounds)
{
    SimParams s = defaultSimParams();
    s.ABSERR = -1e-6;
    SelectedMethod m(kDassl, 1, decay, s);
    EXPECT_EQ(m.step, nullptr);
}

// Two runs in a row: everything of the first is freed (the sanitizer build
// finds what is not).
TEST(Dassl, TwoRunsInARow)
{
    for (int run = 0; run < 2; ++run) {
        SimParams s = defaultSimParams();
        SelectedMethod m(kDassl, 2, stiffPair, s);
        ASSERT_NE(m.step, nullptr);
        RunFigures r = drive(m.step, s, {1, 0}, 1);
        EXPECT_TRUE(r.ended);
        EXPECT_NEAR(r.y[0], std::exp(-1.0), 1e-5);
        EXPECT_GT(dasslStepCount(), 0);
    }
}
