// The state of the code run in progress that the interpreter keeps and the
// host services read and set.
#ifndef KYT_ENGINE_RUNSTATE_H
#define KYT_ENGINE_RUNSTATE_H

#include <csignal>

struct RunState {
    // 64 after a run-time library asked for an error stop (or a bad ABORT);
    // cleared when a simulation starts.
    int errorFlag;
    // The time of the code run in progress.
    double currentTime;
    // 2 while INIT, CONT at an accepted point, events and DISCRET sections
    // run; 0 while the integrator evaluates the model; 1 while a step that
    // changed a discrete flag and is already shorter than LIMIT is retried.
    int phase = 0;
    // Times closer than this are equal.
    double epsilon = 2.220446049250313e-14;
    // Math errors of this run: kMathErrorSignal, kMathErrorDivision.
    int mathErrors = 0;
    // The division message has been shown in this run.
    bool divisionReported = false;

    // The simulator's state machine (Simulator.h): the state 1..6, the
    // buffers of time and states and of the discrete states (current and
    // next; buffer 0 holds the initial values, 1 and 2 alternate), the step
    // size per buffer, the result flags gathered at the current point and
    // the end code that the final state returns.
    int state = 1;
    int current = 0;
    int next = 1;
    int discreteCurrent = 0;
    int discreteNext = 1;
    double stepSize[3] = {0, 0, 0};
    int flags = 0;
    int endCode = 0;
};

extern RunState runState;

// The stop flag: "St&op" (and Ctrl+C in the console runner, from a signal
// handler) sets it; the next step of the run honours it.
extern volatile std::sig_atomic_t stopRequest;

const int kRunErrorStop = 64;

// Bits of the math-error word.
const int kMathErrorSignal = 2;     // a floating-point exception signal
const int kMathErrorDivision = 4;   // a division by zero

// The start of a run: no error stop, the division message may show again.
inline void resetRunErrors()
{
    runState.errorFlag = 0;
    runState.divisionReported = false;
}

#endif
