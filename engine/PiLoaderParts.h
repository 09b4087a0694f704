// What the parts of the PI loader hand each other: an instruction as the
// reader read it, a CALL waiting for the section count, and the fatal
// reports of a broken text. Only the loader's own files include it.
#ifndef KYT_ENGINE_PILOADERPARTS_H
#define KYT_ENGINE_PILOADERPARTS_H

#include "PiProgram.h"

#include <string>

// One instruction as read, before its section is linked.
struct RawInstruction {
    int opcode;
    int sourceLine;
    long piLine;
    PiInstruction linked;    // operand already resolved, except jumps
    std::string label;       // jump target or label name
    bool freeCall = false;   // a call of a library row free of side effects
};

// A CALL read before the DISCRET count was known.
struct PendingCall {
    int section;
    long piLine;
};

// The fatal reports of a broken text; each ends the program. The check
// message 19800 names the module, the source line of the check, its text
// and the PI line: the line being read, or the line of the instruction
// concerned (piCheckFailedAt).
[[noreturn]] void piLoadFatal(const char* text);
[[noreturn]] void piCheckFailed(const char* text, int checkLine);
[[noreturn]] void piCheckFailedAt(const char* text, int checkLine, long piLine);

#define PI_CHECK(condition, text) ((condition) ? (void)0 : piCheckFailed(text, __LINE__))

// n zeroed doubles (at least one), freed with delete[].
double* newPiValues(int n);

#endif
