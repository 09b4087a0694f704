// The integration methods on their own: one step of each fixed-step method
// against its closed form, the step proposals, and the selection.
#include "PiTestSupport.h"

#include "DiscreteFlags.h"
#include "Integrators.h"

#include <cmath>

using namespace pitest;

namespace {

// Two states, x0' = -x0 and x1' = 2 (evaluated natively below).
const char kTwoStates[] = "EXAMPLE \"two\"\n"
                          "INDEP\n   \"t\"   0.0 SAVE\n"
                          "STATES   2\n   \"x0\"  1.  SAVE\n   \"x1\"  0.\n"
                          "DERIV\n   \"dx0\"\n   \"dx1\"\n"
                          "DSTATES  0\nVARS     2\nPARAMS   0\nEVENTS   1\nDELAYS   0\n"
                          "INIT\n   PUSH  0\n   END\nCONT\n   PUSH  0\n   END\nDISCRET  0\n";

int evaluations = 0;
double lastTime = 0;

int decayAndRamp(double t, double* S, double*, double*, double* D)
{
    ++evaluations;
    lastTime = t;
    D[0] = -S[0];
    D[1] = 2;
    return 0;
}

// The same model with an immediate flag raised in every evaluation.
int flagging(double t, double* S, double* a, double* b, double* D)
{
    DiscreteFlag(0, 1);
    return decayAndRamp(t, S, a, b, D);
}

class IntegratorsTest : public PiEngineTest {
protected:
    void SetUp() override
    {
        PiEngineTest::SetUp();
        ASSERT_TRUE(loadPiText(kTwoStates));
        setModelFunction(decayAndRamp);
        evaluations = 0;
        runState.phase = 0;
        settings = defaultSimParams();
        settings.INITSTEP = 0.1;
    }
    void TearDown() override
    {
        freeIntegrator(0);
        clearStepFlagChanged();
        setModelFunction(nullptr);
        PiEngineTest::TearDown();
    }

    // One step of the method from y = (1, 0) with D computed at (0, y).
    int stepOnce(int method, double h)
    {
        StepFunction step = selectIntegrator(settings, method);
        if (!step)
            return -1;
        y[0] = 1;
        y[1] = 0;
        decayAndRamp(0, y, nullptr, nullptr, D);
        evaluations = 0;
        return step(0, h, y, D, nullptr, nullptr, &proposal, yNew);
    }

    SimParams settings;
    double y[2] = {1, 0};
    double D[2] = {0, 0};
    double yNew[2] = {0, 0};
    double proposal = 0;
};

TEST_F(IntegratorsTest, RungeKutta4TakesOneStepOfItsTaylorPolynomial)
{
    const double h = 0.05;
    ASSERT_EQ(0, stepOnce(kMethodRungeKutta4, h));
    // For x' = -x the step multiplies by 1 - h + h^2/2 - h^3/6 + h^4/24.
    EXPECT_NEAR(1 - h + h * h / 2 - h * h * h / 6 + h * h * h * h / 24, yNew[0], 1e-15);
    EXPECT_NEAR(2 * h, yNew[1], 1e-15);
    EXPECT_EQ(3, evaluations);
    EXPECT_EQ(h, lastTime);
    EXPECT_EQ(2 * h, proposal);   // 2h is below INITSTEP
    ASSERT_EQ(0, stepOnce(kMethodRungeKutta4, 0.08));
    EXPECT_EQ(0.1, proposal);     // never beyond INITSTEP
}

TEST_F(IntegratorsTest, EulerEvaluatesAtTheStartAndStepsAlongIt)
{
    ASSERT_EQ(0, stepOnce(kMethodEuler, 0.01));
    EXPECT_EQ(1 + 0.01 * -1.0, yNew[0]);
    EXPECT_EQ(0.02, yNew[1]);
    EXPECT_EQ(1, evaluations);
    EXPECT_EQ(0.02, proposal);
}

TEST_F(IntegratorsTest, MethodZeroOnlyProposesAtLeastInitStep)
{
    ASSERT_EQ(0, stepOnce(kMethodNone, 0.3));
    EXPECT_EQ(0.6, proposal);
    ASSERT_EQ(0, stepOnce(kMethodNone, 0.01));
    EXPECT_EQ(0.1, proposal);
    EXPECT_EQ(0, evaluations);
}

TEST_F(IntegratorsTest, AFlagChangedInAStageRejectsTheStepAtOnce)
{
    setModelFunction(flagging);
    EXPECT_EQ(1, stepOnce(kMethodRungeKutta4, 0.1));
    EXPECT_EQ(1, evaluations);
    EXPECT_TRUE(stepFlagChanged());
}

TEST_F(IntegratorsTest, TheSelectionSetsTheSharedValues)
{
    settings.ABSERR = 1e-3;
    settings.RELERR = 2e-4;
    ASSERT_NE(nullptr, selectIntegrator(settings, kMethodRungeKutta4));
    EXPECT_EQ(0.1, integratorShared.initStep);
    EXPECT_EQ(2e-4, integratorShared.relErr);
    ASSERT_NE(nullptr, integratorShared.absErr);
    EXPECT_EQ(1e-3, integratorShared.absErr[0]);
    EXPECT_EQ(1e-3, integratorShared.absErr[1]);
    EXPECT_NE(nullptr, integratorShared.work);
    EXPECT_EQ(2.220446049250313e-14, runState.epsilon);
    freeIntegrator(kMethodRungeKutta4);
    EXPECT_EQ(nullptr, integratorShared.work);

    settings.ABSERR = 0;
    ASSERT_NE(nullptr, selectIntegrator(settings, kMethodEuler));
    EXPECT_EQ(nullptr, integratorShared.absErr);
}

TEST_F(IntegratorsTest, NoMethodOutsideTheTableOrWithoutStates)
{
    EXPECT_EQ(nullptr, selectIntegrator(settings, -1));
    EXPECT_EQ(nullptr, selectIntegrator(settings, kIntegrationMethodCount));
    piProgram.nstates = 0;   // as a program without states
    EXPECT_EQ(nullptr, selectIntegrator(settings, kMethodRungeKutta4));
    EXPECT_NE(nullptr, selectIntegrator(settings, kMethodNone));
    piProgram.nstates = 2;
}

TEST_F(IntegratorsTest, TheMethodTableNamesTheDialogsEntriesInOrder)
{
    EXPECT_EQ(nullptr, kIntegrationMethods[0].name);
    EXPECT_STREQ("RuKu, fix. Schritt - 4", kIntegrationMethods[1].name);
    EXPECT_STREQ("Euler, fix. Schritt - 1", kIntegrationMethods[8].name);
    EXPECT_STREQ("DASSL", kIntegrationMethods[9].name);
    for (int i = 0; i < kIntegrationMethodCount; ++i)
        EXPECT_EQ(i, kIntegrationMethods[i].ialg);
}

} // namespace
