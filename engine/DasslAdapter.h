// Integration method 9 ("DASSL"): the states go to the IDA solver of
// SUNDIALS as the implicit system G(t, y, y') = f(t, y) − y' = 0, f being the
// model's CONT code. The adapter drives the solver to the end of each
// simulator step and turns its outcome into the step result; the solver's own
// messages go to the simulator's message service.
#ifndef KYT_ENGINE_DASSLADAPTER_H
#define KYT_ENGINE_DASSLADAPTER_H

#include <sundials/sundials_nvector.h>

// Sets the solver up for NEQ states (called by the method selection): its
// context, vectors, dense linear solver, tolerances RELERR and ABSERR,
// largest step MAXSTEP, the message handler. The solver starts at the first
// step. Non-zero when it cannot run (negative bounds, no memory).
int dasslSetup(double absErr, double relErr, int neq, double maxStep);

// The step function of method 9. Result 0 accepted, 1 rejected (a discrete
// flag changed in the step, or the solver failed: then the message "Probleme
// mit DDASSL(), IDID = %d" is queued and the solver restarts), 2 when the
// solver failed a second time in a row at the same time: the run cannot go
// on.
int dasslStep(double t, double h, double* y, double* D, double* discreteCurrent,
              double* discreteNext, double* proposal, double* yNew);

// The residual G = f(T, Y) − Y' into DELTA: the model at (T, Y) with this
// step's discrete buffers (the user data). Always 0.
int dasslResidual(double T, N_Vector Y, N_Vector YPRIME, N_Vector DELTA, void* userData);

// The solver's message handler: "%s(%d) %.*s" with the function, the code
// and the text to moduleMessage, warnings at level 2, errors at level 1.
void dasslMessage(int code, const char* module, const char* function, char* message,
                  void* userData);

// Frees every solver object and the context (the end of a run).
void dasslFree();

// Steps the solver has taken since the set-up, summed over its restarts.
long dasslStepCount();
// Times the solver was started (the first start included).
int dasslStartCount();
// Calls of the residual function since the program started (for measuring).
long dasslResidualCalls();

#endif
