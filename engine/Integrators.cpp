#include "Integrators.h"

#include "DasslAdapter.h"
#include "DiscreteFlags.h"
#include "EmbeddedRungeKutta.h"
#include "MethodPreparation.h"
#include "PiInterpreter.h"
#include "PiProgram.h"
#include "RunState.h"

#include <cstddef>

ModelFunction currentModelFunction = runContCode;

IntegratorShared integratorShared = {kTimeEpsilon, 0.0, 0.0, nullptr, false, 0, nullptr};

namespace {

// One evaluation of a stage: the model at (t, S) into D. A discrete flag
// that changed on the way makes the step fail at once: the simulator
// shortens it towards the event.
inline bool evaluate(double t, double* S, double* discreteCurrent, double* discreteNext,
                     double* D)
{
    currentModelFunction(t, S, discreteCurrent, discreteNext, D);
    return stepFlagChanged();
}

// The fixed-step methods double the step after one that was shortened (to
// meet an event), but never beyond INITSTEP.
inline double fixedStepProposal(double h)
{
    return 2 * h < integratorShared.initStep ? 2 * h : integratorShared.initStep;
}

double* workVector(int k)
{
    return integratorShared.work + static_cast<size_t>(k) * integratorShared.nstates;
}

} // namespace

const IntegrationMethod kIntegrationMethods[kIntegrationMethodCount] = {
    {0, nullptr, 0, stepNone},
    {1, "RuKu, fix. Schritt - 4", 3, stepRungeKutta4},
    {2, "RuKu, var. Schritt - 5(4)", kStepDoublingWorkVectors, stepDoubling},
    {3, "RuKu-Fehlberg, var. Schritt - 2(3)", kFehlberg23WorkVectors, stepFehlberg23},
    {4, "RuKu-England, var. Schritt - 4(5)", kEngland45WorkVectors, stepEngland45},
    {5, "RuKu-Fehlberg, var. Schritt - 4(5)", kFehlberg45WorkVectors, stepFehlberg45},
    {6, "RuKu-Dorm.-Prince, var. Schritt - 5(4)", kDormandPrince54WorkVectors, stepDormandPrince54},
    {7, "RuKu-Dorm.-Prince, var. Schritt - 8(6)", kDormandPrince86WorkVectors, stepDormandPrince86},
    {8, "Euler, fix. Schritt - 1", 0, stepEuler},
    {9, "DASSL", 0, dasslStep},
};

void setModelFunction(ModelFunction m)
{
    currentModelFunction = m ? m : runContCode;
}

StepFunction selectIntegrator(const SimParams& settings, int method)
{
    const PiProgram& p = piProgram;
    if (method < 0 || method >= kIntegrationMethodCount)
        return nullptr;
    const IntegrationMethod& m = kIntegrationMethods[method];
    if (!m.step || (method > 0 && p.nstates <= 0))
        return nullptr;
    if (!prepareMethod(settings, method, p.nstates))
        return nullptr;

    IntegratorShared& s = integratorShared;
    s.epsilon = kTimeEpsilon;
    runState.epsilon = kTimeEpsilon;
    s.initStep = settings.INITSTEP;
    s.relErr = settings.RELERR;
    s.nstates = p.nstates;
    s.absErr = nullptr;
    if (settings.ABSERR != 0 && p.nstates > 0) {
        for (int i = 0; i < p.nstates; ++i)
            p.stateWork[i] = settings.ABSERR;
        s.absErr = p.stateWork;
    }
    delete[] s.work;
    s.work = nullptr;
    if (m.workVectors > 0 && p.nstates > 0)
        s.work = new double[static_cast<size_t>(m.workVectors) * p.nstates]();
    return m.step;
}

void freeIntegrator(int method)
{
    releaseMethod(method);
    delete[] integratorShared.work;
    integratorShared.work = nullptr;
}

int stepNone(double, double h, double*, double*, double*, double*, double* proposal, double*)
{
    const double twice = 2 * h;
    *proposal = integratorShared.initStep > twice ? integratorShared.initStep : twice;
    return 0;
}

int stepEuler(double t, double h, double* y, double* D, double* discreteCurrent,
              double* discreteNext, double* proposal, double* yNew)
{
    if (evaluate(t, y, discreteCurrent, discreteNext, D))
        return 1;
    const int n = integratorShared.nstates;
    for (int i = 0; i < n; ++i)
        yNew[i] = y[i] + h * D[i];
    *proposal = fixedStepProposal(h);
    return 0;
}

// Three work vectors: the stage states, k2 (later k2 + k3) and k3 (later k4).
int stepRungeKutta4(double t, double h, double* y, double* D, double* discreteCurrent,
                    double* discreteNext, double* proposal, double* yNew)
{
    const int n = integratorShared.nstates;
    double* stage = workVector(0);
    double* ka = workVector(1);
    double* kb = workVector(2);
    const double half = h / 2;

    for (int i = 0; i < n; ++i)
        stage[i] = y[i] + half * D[i];
    if (evaluate(t + half, stage, discreteCurrent, discreteNext, ka))
        return 1;
    for (int i = 0; i < n; ++i)
        stage[i] = y[i] + half * ka[i];
    if (evaluate(t + half, stage, discreteCurrent, discreteNext, kb))
        return 1;
    for (int i = 0; i < n; ++i) {
        stage[i] = y[i] + h * kb[i];
        ka[i] += kb[i];
    }
    if (evaluate(t + h, stage, discreteCurrent, discreteNext, kb))
        return 1;
    const double third = h / 3;
    for (int i = 0; i < n; ++i)
        yNew[i] = y[i] + third * (D[i] / 2 + ka[i] + kb[i] / 2);
    *proposal = fixedStepProposal(h);
    return 0;
}
