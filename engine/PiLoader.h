// The loader of PI code: reads the PI text buffer that the compiler's back
// end wrote and builds the loaded PI program (PiProgram.h). Its parts: the
// reader (PiTextReader), the linker (PiLinker), the verifier of the stack
// depth (PiVerifier) and what the simulator learns of the code (PiAnalysis).
#ifndef KYT_ENGINE_PILOADER_H
#define KYT_ENGINE_PILOADER_H

#include "PiProgram.h"

// Longest string, label or number word of PI text, the NUL included.
const int kPiWordSize = 1024;
// Largest count of a declaration (STATES, VARS, ...): a larger one is a
// broken text, not a circuit.
const int kPiMaxCount = 1 << 24;

// Loads the PI text of piTextBuffer with an interpreter stack of stackSize
// doubles, frees the buffer and runs the libraries' load hooks: true when
// loaded, false when a hook failed. Clears the compile-phase bit first. A
// program still loaded is freed without its unload hooks. Every format
// error is fatal (the program ends). sourceName is not used.
bool loadPICode(const char* sourceName, int stackSize);

// Runs the unload hooks, resets the simulator (events, discrete flags,
// delay lines) and frees the loaded program; every count becomes 0.
void unloadPICode();

// The text of the last ABORT, "" when there was none.
const char* getExitMessage();

// The row of that name, or null.
const PiSymbol* findPiSymbol(const char* name);

// The string constants of the loaded program, in the form of the host
// services' seams (HostSeams::stringCount and stringText).
int piStringCount();
const char* piStringText(int index);

#endif
