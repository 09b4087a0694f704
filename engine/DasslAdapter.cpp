#include "DasslAdapter.h"

#include "DiscreteFlags.h"
#include "HostServices.h"
#include "Integrators.h"
#include "ResString.h"
#include "strings/IntegratorsStrings.h"

#include <ida/ida.h>
#include <nvector/nvector_serial.h>
#include <sundials/sundials_context.h>
#include <sunlinsol/sunlinsol_dense.h>
#include <sunmatrix/sunmatrix_dense.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

// The discrete buffers of the step in progress: they go back to the CONT
// code unchanged.
struct DiscreteBuffers {
    double* current;
    double* next;
};

struct DasslSolver {
    SUNContext context = nullptr;
    void* ida = nullptr;
    N_Vector yy = nullptr;
    N_Vector yp = nullptr;
    SUNMatrix matrix = nullptr;
    SUNLinearSolver linearSolver = nullptr;
    int neq = 0;
    double absErr = 0;
    double relErr = 0;
    double maxStep = 0;
    bool initialised = false;   // IDAInit has run
    DiscreteBuffers buffers = {nullptr, nullptr};

    // The point where the solver stands after its last accepted step; it
    // goes on from its own history only from exactly there.
    bool canContinue = false;
    double lastT = 0;
    std::vector<double> lastY;
    DiscreteBuffers lastBuffers = {nullptr, nullptr};
    std::vector<int> lastFlags;

    // A failure at failedAt; a second one there ends the run.
    bool failedBefore = false;
    double failedAt = 0;

    std::vector<double> derivatives;   // the new point's, for the flag test
    long earlierSteps = 0;             // steps before the last start
    int starts = 0;
};

DasslSolver solver;

// DDASSL's "too much work before TOUT" (IDID −1) only asked to be called
// again. IDA's step limit is switched off instead, which is the same and
// keeps IDA from reporting it as an error (with the code −22) first.
const long kNoStepLimit = -1;


void currentFlags(std::vector<int>& flags)
{
    const int n = discreteFlagCount();
    flags.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        flags[static_cast<size_t>(i)] = discreteFlagValue(i + 1);
}

// Mended: the solver continued from its own history although states set by
// events or DISCRET code, swapped discrete buffers or changed discrete flags
// made the point handed in another one. It goes on only from the point it
// returned.
bool pointIsTheSolvers(double t, const double* y, double* discreteCurrent, double* discreteNext)
{
    if (!solver.canContinue || t != solver.lastT)
        return false;
    if (discreteCurrent != solver.lastBuffers.current || discreteNext != solver.lastBuffers.next)
        return false;
    for (int i = 0; i < solver.neq; ++i)
        if (!(y[i] == solver.lastY[static_cast<size_t>(i)]))
            return false;
    const int flags = discreteFlagCount();
    if (static_cast<size_t>(flags) != solver.lastFlags.size())
        return false;
    for (int i = 0; i < flags; ++i)
        if (discreteFlagValue(i + 1) != solver.lastFlags[static_cast<size_t>(i)])
            return false;
    return true;
}

void remember(double t, const double* y, double* discreteCurrent, double* discreteNext)
{
    solver.canContinue = true;
    solver.lastT = t;
    solver.lastY.assign(y, y + solver.neq);
    solver.lastBuffers = {discreteCurrent, discreteNext};
    currentFlags(solver.lastFlags);
}

long solverSteps()
{
    long steps = 0;
    if (solver.ida && solver.initialised)
        IDAGetNumSteps(solver.ida, &steps);
    return steps;
}

// A fresh start at (t, y, y' = D): D is consistent for G = f − y', so the
// solver needs no initial-condition computation.
bool startAt(double t, const double* y, const double* D)
{
    double* yy = N_VGetArrayPointer(solver.yy);
    double* yp = N_VGetArrayPointer(solver.yp);
    memcpy(yy, y, sizeof(double) * static_cast<size_t>(solver.neq));
    memcpy(yp, D, sizeof(double) * static_cast<size_t>(solver.neq));
    solver.earlierSteps += solverSteps();
    ++solver.starts;
    if (solver.initialised)
        return IDAReInit(solver.ida, t, solver.yy, solver.yp) == IDA_SUCCESS;
    if (IDAInit(solver.ida, dasslResidual, t, solver.yy, solver.yp) != IDA_SUCCESS)
        return false;
    solver.initialised = true;
    return IDASStolerances(solver.ida, solver.relErr, solver.absErr) == IDA_SUCCESS &&
           IDASetLinearSolver(solver.ida, solver.linearSolver, solver.matrix) == IDA_SUCCESS;
}

// A failure: the message, a restart at the next try, and the end of the
// run when the last try at this time failed as well.
int failure(int flag, double t, double h, double* proposal)
{
    moduleMessage(1, getResString(kStrDasslProblem), flag);
    solver.canContinue = false;
    *proposal = h;
    // Mended: retrying with the same h forever queued a message each time
    // and never read Stop. One restart, then the run ends.
    if (solver.failedBefore && solver.failedAt == t) {
        solver.failedBefore = false;
        // The run ends here, not at a shorter step.
        clearStepFlagChanged();
        return 2;
    }
    solver.failedBefore = true;
    solver.failedAt = t;
    return 1;
}

} // namespace

int dasslSetup(double absErr, double relErr, int neq, double maxStep)
{
    dasslFree();
    if (neq <= 0 || absErr < 0 || relErr < 0)
        return 1;
    solver.neq = neq;
    solver.absErr = absErr;
    solver.relErr = relErr;
    solver.maxStep = maxStep;
    if (SUNContext_Create(nullptr, &solver.context) != 0)
        return 1;
    solver.yy = N_VNew_Serial(neq, solver.context);
    solver.yp = N_VNew_Serial(neq, solver.context);
    if (solver.yy && solver.yp)
        solver.matrix = SUNDenseMatrix(neq, neq, solver.context);
    if (solver.matrix)
        solver.linearSolver = SUNLinSol_Dense(solver.yy, solver.matrix, solver.context);
    if (solver.linearSolver)
        solver.ida = IDACreate(solver.context);
    // The handler first: nothing of the solver may go to stderr.
    if (!solver.ida || IDASetErrHandlerFn(solver.ida, dasslMessage, nullptr) != IDA_SUCCESS ||
        IDASetUserData(solver.ida, &solver.buffers) != IDA_SUCCESS ||
        IDASetMaxStep(solver.ida, maxStep) != IDA_SUCCESS ||
        IDASetMaxNumSteps(solver.ida, kNoStepLimit) != IDA_SUCCESS) {
        dasslFree();
        return 1;
    }
    try {
        solver.lastY.reserve(static_cast<size_t>(neq));
        solver.derivatives.assign(static_cast<size_t>(neq), 0.0);
    } catch (const std::bad_alloc&) {
        dasslFree();
        return 1;
    }
    return 0;
}

int dasslStep(double t, double h, double* y, double* D, double* discreteCurrent,
              double* discreteNext, double* proposal, double* yNew)
{
    // 1.
    const double tout = t + h;
    const int n = solver.neq;
    solver.buffers = {discreteCurrent, discreteNext};
    if (!solver.ida)
        return failure(IDA_MEM_NULL, t, h, proposal);
    if (!pointIsTheSolvers(t, y, discreteCurrent, discreteNext) && !startAt(t, y, D))
        return failure(IDA_ILL_INPUT, t, h, proposal);

    // 2. The stop time keeps the solver from stepping past TOUT.
    double tret = t;
    int flag = IDASetStopTime(solver.ida, tout);
    if (flag == IDA_SUCCESS)
        flag = IDASolve(solver.ida, tout, &tret, solver.yy, solver.yp, IDA_NORMAL);
    const double* yy = N_VGetArrayPointer(solver.yy);
    memcpy(yNew, yy, sizeof(double) * static_cast<size_t>(n));

    // 8. A failure.
    if (flag != IDA_SUCCESS && flag != IDA_TSTOP_RETURN)
        return failure(flag, t, h, proposal);
    solver.failedBefore = false;

    // 4. A flag that changed on the way counts only when it changes at the
    // point reached as well; 6: then the step is rejected.
    if (stepFlagChanged()) {
        clearStepFlagChanged();
        modelFunction()(tret, yNew, discreteCurrent, discreteNext, solver.derivatives.data());
        if (stepFlagChanged()) {
            solver.canContinue = false;
            *proposal = h;
            return 1;
        }
    }

    // 7. TOUT reached: the proposal is the solver's next step size.
    double next = h;
    if (IDAGetCurrentStep(solver.ida, &next) != IDA_SUCCESS || !(next > 0))
        next = h;
    *proposal = next;
    remember(tout, yNew, discreteCurrent, discreteNext);
    return 0;
}

namespace {
long residualCalls = 0;
}

long dasslResidualCalls()
{
    return residualCalls;
}

int dasslResidual(double T, N_Vector Y, N_Vector YPRIME, N_Vector DELTA, void* userData)
{
    ++residualCalls;
    const DiscreteBuffers* buffers = static_cast<const DiscreteBuffers*>(userData);
    double* y = N_VGetArrayPointer(Y);
    const double* yp = N_VGetArrayPointer(YPRIME);
    double* delta = N_VGetArrayPointer(DELTA);
    modelFunction()(T, y, buffers->current, buffers->next, delta);
    const sunindextype n = N_VGetLength(DELTA);
    for (sunindextype i = 0; i < n; ++i)
        delta[i] -= yp[i];
    return 0;
}

void dasslMessage(int code, const char* /*module*/, const char* function, char* message,
                  void* /*userData*/)
{
    const char* text = message ? message : "";
    moduleMessage(code == IDA_WARNING ? 2 : 1, "%s(%d) %.*s", function ? function : "", code,
                  static_cast<int>(strlen(text)), text);
}

void dasslFree()
{
    if (solver.ida)
        IDAFree(&solver.ida);
    if (solver.linearSolver)
        SUNLinSolFree(solver.linearSolver);
    if (solver.matrix)
        SUNMatDestroy(solver.matrix);
    if (solver.yy)
        N_VDestroy(solver.yy);
    if (solver.yp)
        N_VDestroy(solver.yp);
    if (solver.context)
        SUNContext_Free(&solver.context);
    solver = DasslSolver();
}

long dasslStepCount()
{
    return solver.earlierSteps + solverSteps();
}

int dasslStartCount()
{
    return solver.starts;
}
