#include "EmbeddedRungeKutta.h"

#include "DiscreteFlags.h"
#include "Integrators.h"
#include "RungeKuttaTableaux.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// One evaluation of a stage: the model at (t, S) into D. A discrete flag that
// changed on the way fails the step at once: the simulator shortens it
// towards the event.
inline bool evaluate(double t, double* S, double* discreteCurrent, double* discreteNext,
                     double* D)
{
    integratorShared.newPointResult = modelFunction()(t, S, discreteCurrent, discreteNext, D);
    return stepFlagChanged();
}

double* workVector(int k)
{
    return integratorShared.work + static_cast<size_t>(k) * integratorShared.nstates;
}

// The stage count of a table: kStages when it is given at compile time (the
// sums over the stages are then unrolled; they add the same terms in the
// same order), else the table's own.
template <int kStages>
inline int stageCount(const ButcherTableau& tab)
{
    return kStages > 0 ? kStages : tab.stages;
}

// Stages 2 .. s of the table from (t, y) with k[0] = D. Each stage state is
// built in scratch (the new-state vector); its derivatives go to k[s]. For a
// table whose last stage runs at the new point, scratch holds the new state
// afterwards. True when a discrete flag changed.
template <int kStages = 0>
bool runStages(const ButcherTableau& tab, double t, double h, const double* y,
               double* const* k, double* scratch, double* discreteCurrent,
               double* discreteNext)
{
    const int n = integratorShared.nstates;
    for (int s = 1; s < stageCount<kStages>(tab); ++s) {
        const double* a = tab.a[s];
        for (int i = 0; i < n; ++i) {
            double sum = 0;
            for (int j = 0; j < s; ++j)
                sum += a[j] * k[j][i];
            scratch[i] = y[i] + h * sum;
        }
        if (evaluate(t + tab.c[s] * h, scratch, discreteCurrent, discreteNext, k[s]))
            return true;
    }
    return false;
}

// out = y + h·Σ b_j·k_j; out may be y.
template <int kStages = 0>
void combine(const ButcherTableau& tab, double h, const double* y, double* const* k, double* out)
{
    const int n = integratorShared.nstates;
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int j = 0; j < stageCount<kStages>(tab); ++j)
            sum += tab.b[j] * k[j][i];
        out[i] = y[i] + h * sum;
    }
}

// One step of the classical method from (t, y) with the derivatives D into
// out (which may be y): the stages use work vectors first .. first + 2 and
// scratch for their states.
bool classicalStep(double t, double h, double* y, double* D, int first, double* scratch,
                   double* out, double* discreteCurrent, double* discreteNext)
{
    double* k[4] = {D, workVector(first), workVector(first + 1), workVector(first + 2)};
    if (runStages<4>(kRungeKutta4, t, h, y, k, scratch, discreteCurrent, discreteNext))
        return true;
    combine<4>(kRungeKutta4, h, y, k, out);
    return false;
}

// |y| + h·|D| without overflow (h > 0): beyond the range of doubles it is
// infinite; a NaN stays NaN.
inline double relativeScale(double y, double h, double D)
{
    const double a = std::fabs(y);
    const double d = std::fabs(D);
    if (std::isnan(a) || std::isnan(d))
        return std::numeric_limits<double>::quiet_NaN();
    double b;
    if (std::isinf(d) || (h > 1 && d > DBL_MAX / h))
        b = HUGE_VAL;
    else
        b = h * d;
    if (std::isinf(a) || std::isinf(b) || a > DBL_MAX - b)
        return HUGE_VAL;
    return a + b;
}

// stateErrorRatio, inline in the norm that runs it for every state of every
// step.
inline bool errorRatio(double error, double absErr, double yNew, double h, double D, double* ratio)
{
    // A NaN error comes from the model: it must shrink the step, never make
    // it NaN.
    if (std::isnan(error) || std::isinf(error))
        return false;
    error = std::fabs(error);
    if (error == 0) {
        *ratio = 0;
        return true;
    }
    double scale = relativeScale(yNew, h, D);
    if (std::isnan(scale))
        return false;
    if (std::isgreater(absErr, scale))
        scale = absErr;
    // With ABSERR 0 a state resting at 0 has no scale: 0/0 would give NaN
    // step sizes and raise the invalid flag that the math-error word blames
    // on the circuit. A zero error above was measured as 0; any other error
    // cannot be.
    if (scale == 0)
        return false;
    if (std::isinf(scale)) {
        *ratio = 0;
        return true;
    }
    if (scale < 1 && error > scale * DBL_MAX)
        return false;
    *ratio = error / scale;
    return true;
}

// The norm of methods 2 to 7 over every state, then the step control.
// errorOf(i) gives the error of state i.
template <class ErrorOf>
int measureAndControl(double h, const double* yNew, const double* D, ErrorOf errorOf,
                      double* proposal)
{
    const IntegratorShared& s = integratorShared;
    bool measurable = true;
    double largest = 0;
    for (int i = 0; i < s.nstates && measurable; ++i) {
        double ratio;
        measurable = errorRatio(errorOf(i), s.absErr ? s.absErr[i] : 0.0, yNew[i], h, D[i],
                                &ratio);
        if (measurable && ratio > largest)
            largest = ratio;
    }
    return controlStepSize(measurable, largest, h, proposal);
}

// One step of an embedded pair; the error of state i is h·Σ e_j·k_j.
template <int kStages>
int embeddedStep(const ButcherTableau& tab, double t, double h, double* y, double* D,
                 double* discreteCurrent, double* discreteNext, double* proposal, double* yNew)
{
    double* k[kMaxStages];
    k[0] = D;
    for (int s = 1; s < stageCount<kStages>(tab); ++s)
        k[s] = workVector(s - 1);
    *proposal = h;
    integratorShared.newPointDerivatives = nullptr;
    if (runStages<kStages>(tab, t, h, y, k, yNew, discreteCurrent, discreteNext))
        return 1;
    if (!tab.lastStageAtNewPoint)
        combine<kStages>(tab, h, y, k, yNew);
    else
        integratorShared.newPointDerivatives = k[tab.stages - 1];
    auto errorOf = [&](int i) {
        double sum = 0;
        for (int j = 0; j < stageCount<kStages>(tab); ++j)
            sum += tab.e[j] * k[j][i];
        return h * sum;
    };
    return measureAndControl(h, yNew, D, errorOf, proposal);
}

} // namespace

bool stateErrorRatio(double error, double absErr, double yNew, double h, double D, double* ratio)
{
    return errorRatio(error, absErr, yNew, h, D, ratio);
}

int controlStepSize(bool measurable, double largestRatio, double h, double* proposal)
{
    IntegratorShared& s = integratorShared;
    // Beyond the double range err is far above 9^5, where the factor is
    // below 0.1 anyway.
    if (!measurable || (s.relErr < 1 && largestRatio > s.relErr * DBL_MAX)) {
        *proposal = 0.1 * h;
        s.rejected = true;
        return 1;
    }
    double err = largestRatio / s.relErr;
    if (err < s.epsilon)
        err = s.epsilon;
    const double factor = 0.9 * std::pow(err, -0.2);
    if (err <= 1) {
        double next = factor >= 5 ? 5 * h : factor * h;
        if (s.rejected && next > h)
            next = h;
        s.rejected = false;
        *proposal = next;
        return 0;
    }
    *proposal = factor <= 0.1 ? 0.1 * h : factor * h;
    s.rejected = true;
    return 1;
}

// Method 2: two classical steps of h/2 and one of h; the new state is the
// extrapolation (16·y_half − y_full)/15, the error |y_half − y_ext|/15. Work
// vectors 0..2 hold the stages, 3 the midpoint and then y_half, 4 the
// derivatives at the midpoint; yNew holds the stage states, then y_full.
int stepDoubling(double t, double h, double* y, double* D, double* discreteCurrent,
                 double* discreteNext, double* proposal, double* yNew)
{
    const int n = integratorShared.nstates;
    double* half = workVector(3);
    double* midD = workVector(4);
    const double h2 = h / 2;
    *proposal = h;
    if (classicalStep(t, h2, y, D, 0, yNew, half, discreteCurrent, discreteNext))
        return 1;
    if (evaluate(t + h2, half, discreteCurrent, discreteNext, midD))
        return 1;
    if (classicalStep(t + h2, h2, half, midD, 0, yNew, half, discreteCurrent, discreteNext))
        return 1;
    if (classicalStep(t, h, y, D, 0, yNew, yNew, discreteCurrent, discreteNext))
        return 1;
    for (int i = 0; i < n; ++i)
        yNew[i] = (16 * half[i] - yNew[i]) / 15;
    auto errorOf = [&](int i) { return (half[i] - yNew[i]) / 15; };
    return measureAndControl(h, yNew, D, errorOf, proposal);
}

int stepFehlberg23(double t, double h, double* y, double* D, double* discreteCurrent,
                   double* discreteNext, double* proposal, double* yNew)
{
    return embeddedStep<3>(kFehlberg23, t, h, y, D, discreteCurrent, discreteNext, proposal, yNew);
}

int stepEngland45(double t, double h, double* y, double* D, double* discreteCurrent,
                  double* discreteNext, double* proposal, double* yNew)
{
    return embeddedStep<6>(kEngland45, t, h, y, D, discreteCurrent, discreteNext, proposal, yNew);
}

int stepFehlberg45(double t, double h, double* y, double* D, double* discreteCurrent,
                   double* discreteNext, double* proposal, double* yNew)
{
    return embeddedStep<6>(kFehlberg45, t, h, y, D, discreteCurrent, discreteNext, proposal, yNew);
}

// The seventh stage evaluates the model at the new state, which is why the
// simulator does not evaluate the new point again for this method.
int stepDormandPrince54(double t, double h, double* y, double* D, double* discreteCurrent,
                        double* discreteNext, double* proposal, double* yNew)
{
    return embeddedStep<7>(kDormandPrince54, t, h, y, D, discreteCurrent, discreteNext, proposal,
                        yNew);
}

// The estimate of the published DOP853 code, state by state: from the
// fifth-order error e5 (the table's error weights) and the third-order error
// e3 (the solution weights less the third-order ones), e5²/sqrt(e5² +
// 0.01·e3²). Near a converged step e3 is of the size of e5 and the estimate
// is about e5; a stage that blows up makes both large.
int stepDormandPrince86(double t, double h, double* y, double* D, double* discreteCurrent,
                        double* discreteNext, double* proposal, double* yNew)
{
    const ButcherTableau& tab = kDormandPrince86;
    double* k[kMaxStages];
    k[0] = D;
    for (int s = 1; s < tab.stages; ++s)
        k[s] = workVector(s - 1);
    *proposal = h;
    if (runStages(tab, t, h, y, k, yNew, discreteCurrent, discreteNext))
        return 1;
    combine(tab, h, y, k, yNew);
    auto errorOf = [&](int i) {
        double e5 = 0, e3 = 0;
        for (int j = 0; j < tab.stages; ++j) {
            e5 += tab.e[j] * k[j][i];
            e3 += (tab.b[j] - dormandPrince86ThirdOrder[j]) * k[j][i];
        }
        const double a = std::fabs(h * e5);
        const double b = 0.1 * std::fabs(h * e3);
        // hypot keeps the squares from overflowing; an infinite or NaN part
        // goes on as it is, which rejects the step.
        if (a == 0 || !std::isfinite(a) || !std::isfinite(b))
            return a;
        return a * (a / std::hypot(a, b));
    };
    return measureAndControl(h, yNew, D, errorOf, proposal);
}
