// The variable-step Runge-Kutta methods 2 to 7: step doubling of the
// classical method (2) and the embedded pairs (3 to 7), with the error norm
// and the step control that all six share. They work on the values that the
// method selection shares (Integrators.h) and evaluate the model through its
// evaluation function.
#ifndef KYT_ENGINE_EMBEDDEDRUNGEKUTTA_H
#define KYT_ENGINE_EMBEDDEDRUNGEKUTTA_H

// The step functions (the signature of StepFunction).
int stepDoubling(double t, double h, double* y, double* D, double* discreteCurrent,
                 double* discreteNext, double* proposal, double* yNew);
int stepFehlberg23(double t, double h, double* y, double* D, double* discreteCurrent,
                   double* discreteNext, double* proposal, double* yNew);
int stepEngland45(double t, double h, double* y, double* D, double* discreteCurrent,
                  double* discreteNext, double* proposal, double* yNew);
int stepFehlberg45(double t, double h, double* y, double* D, double* discreteCurrent,
                   double* discreteNext, double* proposal, double* yNew);
int stepDormandPrince54(double t, double h, double* y, double* D, double* discreteCurrent,
                        double* discreteNext, double* proposal, double* yNew);
int stepDormandPrince86(double t, double h, double* y, double* D, double* discreteCurrent,
                        double* discreteNext, double* proposal, double* yNew);

// State-sized work vectors of the methods: the stages after the first (whose
// derivatives the simulator hands in); method 2 keeps the three stages of one
// classical step, the midpoint state and its derivatives. Every method uses
// the new-state vector for its stage states.
const int kStepDoublingWorkVectors = 5;
const int kFehlberg23WorkVectors = 2;
const int kEngland45WorkVectors = 5;
const int kFehlberg45WorkVectors = 5;
const int kDormandPrince54WorkVectors = 6;
const int kDormandPrince86WorkVectors = 11;

// The error of one state measured against its scale max(absErr, |yNew| +
// h·|D|). False when no ratio can be formed: a NaN or infinite error, a zero
// scale under a non-zero error, or a ratio beyond the range of doubles; such
// a step is rejected with the smallest factor. Raises no floating-point
// exception flag.
bool stateErrorRatio(double error, double absErr, double yNew, double h, double D,
                     double* ratio);

// The step control of methods 2 to 7, from the largest ratio of the states:
// err = max(ratio / RELERR, epsilon), factor = 0.9·err^-0.2. Accepted (err ≤
// 1, result 0): the proposal is min(factor, 5)·h, at most h right after a
// rejection. Rejected (result 1, also when the ratio was not measurable): the
// proposal is max(factor, 0.1)·h. Sets the rejection flag on a rejection
// and clears it on an acceptance.
int controlStepSize(bool measurable, double largestRatio, double h, double* proposal);

#endif
