// The verifier of linked PI code: the stack depth over every path of a
// section, the lowest (no instruction may read below the section's own
// values) and the highest (the room the fused code needs).
#ifndef KYT_ENGINE_PIVERIFIER_H
#define KYT_ENGINE_PIVERIFIER_H

#include "PiProgram.h"

#include <vector>

// Fatal at the PI line (piLines, one per instruction) of the first
// instruction found to take more values than the section pushed before it.
// The compiler's code always keeps to this; a broken text would read below
// the stack.
void checkStackDepth(const PiCode& code, const std::vector<long>& piLines);

// The most values on the stack over every path through the section (at
// least 1) in depth; false when a path can push without end (a loop).
bool highestStackDepth(const PiCode& code, int* depth);

#endif
