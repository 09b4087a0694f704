// The reader of PI text: the words of the text buffer's lines, the
// declarations (built into the loaded program's rows and value arrays at
// once) and the instruction lines of each code section. Every format error
// is fatal, at the PI line being read.
#ifndef KYT_ENGINE_PITEXTREADER_H
#define KYT_ENGINE_PITEXTREADER_H

#include "PiLoaderParts.h"

#include <vector>

// From the first line of the text buffer, no CALL read yet.
void startPiText();
// Forgets the line and the CALLs once the text is loaded.
void finishPiText();

// EXAMPLE up to DELAYS: the counts, values and rows of piProgram, the
// discrete flags and the delay lines.
void readPiDeclarations();

// The lines that open the sections: INIT, CONT, DISCRET n (returns n),
// DISC index (keeps the section's name from its comment), and the end of
// the text after the last section.
void readInitStart();
void readContStart();
int readDiscretCount();
void readDiscStart(int index, PiCode& code);
void readTextEnd();

// The instruction lines of one section up to and including END; library
// calls are bound (linkLibraryCall) as their lines are read.
void readPiInstructions(std::vector<RawInstruction>& section);

// The CALLs read so far, for the check against the DISCRET count.
const std::vector<PendingCall>& pendingPiCalls();

#endif
