// The run road without windows: the circuit is written for the compiler
// into kyttrans.tmp in the temporary directory, compiled and loaded. The
// caller checks the circuit before (checkRunnable) and labels the loaded
// program after (collectMarkedSymbols), so that the run command can open
// its plot window in between.
#ifndef KYT_CIRCUITFILES_RUNROAD_H
#define KYT_CIRCUITFILES_RUNROAD_H

class CircuitModel;
struct PiProgram;

// The file the compiler reads.
const char* const kCompilerFileName = "kyttrans.tmp";

// A CompileOutcome: COMPILE_LOADED when the program is loaded (ended with
// releaseCompiledModel); COMPILE_NOT_OPENED, with 20907 shown, also when
// the circuit could not be written.
int compileCircuit(CircuitModel& model);

// Labels the rows of the loaded program that belong to the circuit's marked
// symbols.
void collectMarkedSymbols(const CircuitModel& model, PiProgram& program);

#endif
