// The PI-code interpreter: runs one linked code array of the loaded program
// on its stack of doubles and returns the statement result flags.
#ifndef KYT_ENGINE_PIINTERPRETER_H
#define KYT_ENGINE_PIINTERPRETER_H

#include "PiProgram.h"

// Statement result flags of a code run.
enum PiResultFlag {
    PI_RESULT_DISCRETE = 1,   // the discrete state changed
    PI_RESULT_RECORD = 2,     // write an output record
    PI_RESULT_SNAPSHOT = 4,
    PI_RESULT_STOP = 8,
    PI_RESULT_EXIT = 16,      // stop with the EXIT message
    PI_RESULT_RESTART = 32,   // end the run and start it anew
    PI_RESULT_ERROR = 64,     // error stop (also the run error flag)
    PI_RESULT_AROUND = 128,   // a record before and after the events
    PI_RESULT_END = 256
};

// Deepest nesting of CALL; a deeper one abandons the whole code run.
const int kMaxCallDepth = 100;

// The double truncated toward zero, keeping the low 32 bits of the 64-bit
// truncation; NaN, the infinities and |x| >= 2^63 give 0.
int piInteger(double x);

// Runs code with the time t (which becomes the current time), the states S,
// the discrete buffers and the derivatives D. Returns the integer of the
// value that END finds on top. A run abandoned for too deep CALL nesting or
// a stack overflow returns 64 with the run error flag set and the stack
// pointer where the outermost run found it.
int execPICode(const PiCode& code, double t, double* S, double* discreteCurrent,
               double* discreteNext, double* D);

// Builds code.fused, the copy of code.code that the interpreter runs when
// the stack has room for code.maxDepth values (the loader calls it).
void fusePiCode(PiCode& code);

// The CONT code; the result ORed with the run error flag.
// contCodeRuns counts its runs since the program started (for measuring).
long contCodeRuns();
int runContCode(double t, double* S, double* discreteCurrent, double* discreteNext, double* D);
// The INIT code on state buffer 0, discrete buffer 0 and the derivatives;
// mode (1 new run, 0 continued run) is not used. ORed with the run error flag.
int runInitCode(double t, int mode);
// DISCRET section `section` with the derivatives; a number outside the
// sections is fatal. ORed with the run error flag. The handler of every
// event that SCHED creates.
int runDiscreteSection(double t, double* S, double* discreteCurrent, double* discreteNext,
                       int section);

#endif
