// The linker of PI code: binds the library calls to the registry's rows,
// the jumps to their labels and the CALLs to their DISCRET sections.
#ifndef KYT_ENGINE_PILINKER_H
#define KYT_ENGINE_PILINKER_H

#include "PiLoaderParts.h"

#include <vector>

// Binds FUNC UFUNC k (function) or UPROC k "name" to the library row of
// that name, checked for kind and arity while its line is being read.
void linkLibraryCall(RawInstruction& r, bool function, int k, const char* name);

// Copies a section's instructions without the label lines into its code
// array and binds every jump. Returns the PI line of each instruction.
std::vector<long> linkPiCode(const std::vector<RawInstruction>& section, PiCode& code);

// Every CALL must name one of the ndiscr DISCRET sections.
void linkSectionCalls(const std::vector<PendingCall>& calls, int ndiscr);

#endif
