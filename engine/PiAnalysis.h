// What the loader learns of a linked section for the simulator: whether a
// run of the CONT code may be repeated or left out.
#ifndef KYT_ENGINE_PIANALYSIS_H
#define KYT_ENGINE_PIANALYSIS_H

#include "PiLoaderParts.h"

#include <vector>

// Whether every library call of the section as read is to a row free of
// side effects.
bool callsOnlyFreeRows(const std::vector<RawInstruction>& section);

// Whether a run of the linked code may be repeated, or left out, at the same
// time and states without anyone noticing: it calls only free library rows
// (callsFree), schedules, calls, aborts, tests no event and touches no
// delay line, writes no state, reads no derivative, jumps only forward, and
// reads no value slot that it writes itself before it wrote it on every path
// (such a slot would carry a value from one run into the next).
bool isRepeatable(const PiCode& code, bool callsFree);

#endif
