// The integration methods: one step of the states of the loaded PI program
// at a time, with the method that the setting IALG selects, and the proposal
// of the next step size. Every method reaches the model through one
// evaluation function, the CONT code unless a benchmark puts native code in
// its place.
#ifndef KYT_ENGINE_INTEGRATORS_H
#define KYT_ENGINE_INTEGRATORS_H

#include "SimParams.h"

// One step from (t, y) with the size h. D holds the derivatives at (t, y),
// computed by the CONT code at the accepted point. The discrete buffers go
// to every evaluation unchanged. Writes the proposal for the next step size
// and, when accepted, the new states into yNew (yNew is not y). Returns 0
// for an accepted step, 1 for a rejected one (the method failed, or a
// discrete flag changed during an evaluation), 2 when the method gives up:
// the run ends with the accuracy message.
typedef int (*StepFunction)(double t, double h, double* y, double* D,
                            double* discreteCurrent, double* discreteNext,
                            double* proposal, double* yNew);

// The model: derivatives D at (t, S); the result flags of the code run.
typedef int (*ModelFunction)(double t, double* S, double* discreteCurrent,
                             double* discreteNext, double* D);

// Puts another model in place of the CONT code; null restores it.
void setModelFunction(ModelFunction model);
// Called at every evaluation of a stage, so inline.
extern ModelFunction currentModelFunction;
inline ModelFunction modelFunction()
{
    return currentModelFunction;
}

// One row per method, in IALG order. A method whose step function is still
// null is not available: selecting it gives none.
struct IntegrationMethod {
    int ialg;
    const char* name;    // the name the options dialog shows; null for 0
    int workVectors;     // state-sized work vectors the method needs
    StepFunction step;
};

extern const IntegrationMethod kIntegrationMethods[];
const int kIntegrationMethodCount = 10;

// The method without integration, used when the program has no states.
const int kMethodNone = 0;
const int kMethodRungeKutta4 = 1;
const int kMethodDormandPrince5 = 6;
const int kMethodEuler = 8;
const int kMethodDassl = 9;

// Values that the methods share, set by the selection.
struct IntegratorShared {
    double epsilon;      // also the simulator's time tolerance
    double initStep;     // ceiling of the fixed-step methods' proposal
    double relErr;
    double* absErr;      // one ABSERR per state, null when ABSERR is 0
    bool rejected;       // the last step was rejected; cleared at set-up
    int nstates;
    double* work;        // the method's work vectors, workVectors x nstates
    // After an accepted step whose last stage evaluated the model at the new
    // point (first same as last): those derivatives and the result of that
    // evaluation; null after any other step.
    double* newPointDerivatives = nullptr;
    int newPointResult = 0;
};

extern IntegratorShared integratorShared;

// Time tolerance of the simulator and the methods.
const double kTimeEpsilon = 2.220446049250313e-14;

// Sets the shared values, allocates the method's work vectors and returns
// its step function. None for a method outside 0..9, for a method that is
// not available, and for a method above 0 when the program has no states.
StepFunction selectIntegrator(const SimParams& settings, int method);
// Frees the method's work vectors (the end of a run).
void freeIntegrator(int method);

// The step functions of the methods available.
int stepNone(double t, double h, double* y, double* D, double* discreteCurrent,
             double* discreteNext, double* proposal, double* yNew);
int stepRungeKutta4(double t, double h, double* y, double* D, double* discreteCurrent,
                    double* discreteNext, double* proposal, double* yNew);
int stepEuler(double t, double h, double* y, double* D, double* discreteCurrent,
              double* discreteNext, double* proposal, double* yNew);

#endif
