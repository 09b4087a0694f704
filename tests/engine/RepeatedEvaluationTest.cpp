// CONT code without side effects is not run twice at one point: the state
// machine and the methods take the derivatives they already have. A program
// whose CONT code has side effects (here a random source) keeps every
// evaluation, and its results are those of the runs before the reuse came.
#include "SimulationTestSupport.h"

#include "PiInterpreter.h"

using namespace simtest;

namespace {

class RepeatedEvaluationTest : public SimulationTest {};

// x' = -x from 1, a record at every accepted point (CONT result 2) and QUIT
// at 1 (procedure 0). extraCont goes after the derivative.
std::string decayEveryPoint(const std::string& extraCont)
{
    return program(declarations(), section(schedule(push("1."), 0), kInitSlot),
                   section(kDecay + extraCont + orResult(kContSlot, 2), kContSlot),
                   {section(orResult(procedureSlot(0), 8), procedureSlot(0), 1)});
}

// Reads the derivative into w: harmless for the results, but a read of a
// value that the run has not computed itself makes the code one with side
// effects, evaluated as often as ever.
const std::string kReadsDerivative = push("D 0") + "   POP   V 1\n";
// v = RND, and x' = -x + 0.1 v.
const std::string kRandomSource = std::string("   FUNC  UFUNC 0 \"RND\"\n   POP   V 0\n") +
                                  push("D 0") + push("V 0") + push("0.1") +
                                  "   FUNC  MUL\n   FUNC  ADD\n   POP   D 0\n";

struct RunFigures {
    long evaluations;
    std::vector<RecordedPoint> points;
};

struct MethodCase {
    int method;
    double initStep;
    double relErr;
};

const MethodCase kMethods[] = {
    {kMethodRungeKutta4, 0.01, 1e-6},
    {kMethodDormandPrince5, 0.01, 1e-6},
    {9, 0.01, 1e-6},
};

TEST_F(RepeatedEvaluationTest, LoaderMarksCodeWithoutSideEffects)
{
    struct Case {
        const char* name;
        std::string cont;
        bool repeatable;
    };
    const std::vector<Case> cases = {
        {"decay", kDecay, true},
        {"a free library function", kDecay + push("S 0") + "   FUNC  UFUNC 1 \"SIN\"\n   POP   V 0\n",
         true},
        {"a value written, then read", kDecay + push("S 0") + "   POP   V 0\n" + push("V 0") +
                                           "   POP   V 1\n",
         true},
        {"a random source", kDecay + kRandomSource, false},
        {"a derivative read", kDecay + kReadsDerivative, false},
        {"a value read before it is written", kDecay + push("V 0") + "   POP   V 1\n" +
                                                   push("S 0") + "   POP   V 0\n",
         false},
        {"a value written on one branch only",
         kDecay + push("S 0") + "   IFF   $0\n" + push("1") + "   POP   V 0\n$0\n" + push("V 0") +
             "   POP   V 1\n",
         false},
        {"a value written on both branches",
         kDecay + push("S 0") + "   IFF   $0\n" + push("1") + "   POP   V 0\n   GOTO  $1\n$0\n" +
             push("2") + "   POP   V 0\n$1\n" + push("V 0") + "   POP   V 1\n",
         true},
        {"an event test", kDecay + push("S 0") + push("1") + "   FUNC  EVENT\n   POP   V 0\n",
         false},
        {"a state written", kDecay + push("1") + "   POP   S 0\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(program(declarations(), section("", kInitSlot), section(c.cont, kContSlot), {}));
        EXPECT_EQ(c.repeatable, piProgram.contRepeatable);
    }
}

// The same run with CONT code free of side effects and with its twin that
// reads the derivative: the same points bit for bit, and one evaluation
// fewer per accepted step (RK4: 4 per step, 3 stages and the accepted point;
// Dormand-Prince 6 per step tried; DASSL the residuals and 1 per step).
TEST_F(RepeatedEvaluationTest, FreeCodeIsEvaluatedOncePerPoint)
{
    for (const MethodCase& m : kMethods) {
        SCOPED_TRACE(m.method);
        SimParams s = testSettings(m.initStep);
        s.IALG = m.method;
        s.RELERR = m.relErr;
        RunFigures runs[2];
        for (int twin = 0; twin < 2; ++twin) {
            const long before = contCodeRuns();
            ASSERT_EQ(SIM_END_NORMAL,
                      loadAndRun(decayEveryPoint(twin ? kReadsDerivative : ""), s));
            runs[twin] = {contCodeRuns() - before, plot.points};
        }
        ASSERT_EQ(runs[1].points.size(), runs[0].points.size());
        for (size_t i = 0; i < runs[0].points.size(); ++i) {
            EXPECT_EQ(runs[1].points[i].x, runs[0].points[i].x);
            EXPECT_EQ(runs[1].points[i].values, runs[0].points[i].values);
        }
        // A record at the start and at every accepted point.
        const long steps = static_cast<long>(runs[0].points.size()) - 1;
        ASSERT_GT(steps, 5);
        EXPECT_EQ(steps, runs[1].evaluations - runs[0].evaluations);
        // The start and the QUIT event evaluate once each.
        if (m.method == kMethodRungeKutta4) {
            EXPECT_EQ(4 * steps + 2, runs[0].evaluations);
        }
        if (m.method == kMethodDormandPrince5) {
            EXPECT_EQ(0, (runs[0].evaluations - 2) % 6);
        }
    }
}

// A random source in the CONT code: every evaluation stays, and with it the
// random numbers each one draws. The figures are those of the runs before
// evaluations were reused.
TEST_F(RepeatedEvaluationTest, ARandomSourceKeepsItsResults)
{
    struct RandomCase {
        MethodCase method;
        size_t points;
        long evaluations;
        double x;      // x(1)
        double v;      // the last random number recorded
    };
    // The noise keeps the variable steps short: looser tolerances there.
    const RandomCase cases[] = {
        {{kMethodRungeKutta4, 0.01, 1e-6}, 101, 502, 0.39842864904801933, 0.61871215382107658},
        {{kMethodDormandPrince5, 0.01, 1e-4}, 37, 350, 0.39654396865260338, 0.16385873804257964},
        {{9, 0.01, 1e-3}, 368, 4205, 0.39716376874468207, 0.70499439473682524},
    };
    for (const RandomCase& c : cases) {
        SCOPED_TRACE(c.method.method);
        SimParams s = testSettings(c.method.initStep);
        s.IALG = c.method.method;
        s.RELERR = c.method.relErr;
        const long before = contCodeRuns();
        ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayEveryPoint(kRandomSource), s));
        EXPECT_EQ(c.evaluations, contCodeRuns() - before);
        ASSERT_EQ(c.points, plot.points.size());
        EXPECT_EQ(1.0, plot.points.back().x);
        EXPECT_EQ(c.x, plot.points.back().values[0]);
        EXPECT_EQ(c.v, plot.points.back().values[1]);
    }
}

} // namespace
