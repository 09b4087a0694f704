#include "PiVerifier.h"

#include "PiLoaderParts.h"
#include "PiOpcodes.h"

#include <climits>

namespace {

// Walks the section from its first instruction with the depth (relative to
// the section's start) that each instruction finds: the next instruction
// unless it is a GOTO, and the target of a jump, follow; a successor is
// walked again whenever a path brings it a depth that better(new, old)
// prefers. step(i, depth, after) sees each walk of an instruction but END;
// false from it ends the walk, and the result.
template <typename Better, typename Step>
bool walkStackDepths(const PiCode& code, int unseen, Better better, Step step)
{
    std::vector<int> depth(static_cast<size_t>(code.count), unseen);
    std::vector<int> work;
    depth[0] = 0;
    work.push_back(0);
    while (!work.empty()) {
        int i = work.back();
        work.pop_back();
        const PiInstruction& ins = code.code[i];
        const PiOpcodeInfo& info = kPiOpcodes[ins.opcode];
        int d = depth[static_cast<size_t>(i)];
        if (ins.opcode == PI_END)
            continue;  // END checks the balance when it runs
        int after = d - info.pops + info.pushes;
        if (!step(i, d, after))
            return false;
        int successors[2];
        int depths[2];
        int n = 0;
        if (ins.opcode != PI_GOTO) {
            successors[n] = i + 1;
            depths[n++] = after;
        }
        if (info.operand == PI_OPERAND_TARGET) {
            successors[n] = static_cast<int>(ins.u.target - code.code);
            // NIFT and NIFF keep the tested value when they jump.
            depths[n++] = ins.opcode == PI_NIFT || ins.opcode == PI_NIFF ? d : after;
        }
        for (int k = 0; k < n; ++k) {
            size_t s = static_cast<size_t>(successors[k]);
            if (s < depth.size() && better(depths[k], depth[s])) {
                depth[s] = depths[k];
                work.push_back(successors[k]);
            }
        }
    }
    return true;
}

} // namespace

// The depth each instruction finds, at its lowest over every path.
void checkStackDepth(const PiCode& code, const std::vector<long>& piLines)
{
    walkStackDepths(code, INT_MAX, [](int d, int old) { return d < old; },
                    [&](int i, int d, int) {
                        if (d < kPiOpcodes[code.code[i].opcode].pops)
                            piCheckFailedAt("depth >= pops", __LINE__,
                                            piLines[static_cast<size_t>(i)]);
                        return true;
                    });
}

// Every instruction pushes at most one value, so a depth above the count
// proves a loop.
bool highestStackDepth(const PiCode& code, int* depth)
{
    int highest = 0;
    bool bounded = walkStackDepths(code, -1, [](int d, int old) { return d > old; },
                                   [&](int, int, int after) {
                                       if (after > highest)
                                           highest = after;
                                       return highest <= code.count;
                                   });
    if (!bounded)
        return false;
    *depth = highest > 0 ? highest : 1;
    return true;
}
