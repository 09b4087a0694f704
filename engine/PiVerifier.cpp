#include "PiVerifier.h"

#include "PiLoaderParts.h"
#include "PiOpcodes.h"

#include <climits>

namespace {

// Where the run goes on after instruction i, which found depth values
// (relative to the section's start) and leaves after: the next instruction
// unless it is a GOTO, and the target of a jump. The count of successors.
int successorsOf(const PiCode& code, int i, int depth, int after, int successors[2],
                 int depths[2])
{
    const PiInstruction& ins = code.code[i];
    int n = 0;
    if (ins.opcode != PI_GOTO) {
        successors[n] = i + 1;
        depths[n++] = after;
    }
    if (kPiOpcodes[ins.opcode].operand == PI_OPERAND_TARGET) {
        successors[n] = static_cast<int>(ins.u.target - code.code);
        // NIFT and NIFF keep the tested value when they jump.
        depths[n++] = ins.opcode == PI_NIFT || ins.opcode == PI_NIFF ? depth : after;
    }
    return n;
}

} // namespace

// The depth each instruction finds, at its lowest over every path.
void checkStackDepth(const PiCode& code, const std::vector<long>& piLines)
{
    const int unseen = INT_MAX;
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
        if (d < info.pops)
            piCheckFailedAt("depth >= pops", __LINE__, piLines[static_cast<size_t>(i)]);
        int successors[2];
        int depths[2];
        int n = successorsOf(code, i, d, d - info.pops + info.pushes, successors, depths);
        for (int k = 0; k < n; ++k) {
            size_t s = static_cast<size_t>(successors[k]);
            if (s < depth.size() && depths[k] < depth[s]) {
                depth[s] = depths[k];
                work.push_back(successors[k]);
            }
        }
    }
}

// Every instruction pushes at most one value, so a depth above the count
// proves a loop.
bool highestStackDepth(const PiCode& code, int* highestDepth)
{
    std::vector<int> depth(static_cast<size_t>(code.count), -1);
    std::vector<int> work;
    int highest = 0;
    depth[0] = 0;
    work.push_back(0);
    while (!work.empty()) {
        int i = work.back();
        work.pop_back();
        const PiInstruction& ins = code.code[i];
        const PiOpcodeInfo& info = kPiOpcodes[ins.opcode];
        int d = depth[static_cast<size_t>(i)];
        if (ins.opcode == PI_END)
            continue;
        int after = d - info.pops + info.pushes;
        if (after > highest)
            highest = after;
        if (highest > code.count)
            return false;
        int successors[2];
        int depths[2];
        int n = successorsOf(code, i, d, after, successors, depths);
        for (int k = 0; k < n; ++k) {
            size_t s = static_cast<size_t>(successors[k]);
            if (s < depth.size() && depths[k] > depth[s]) {
                depth[s] = depths[k];
                work.push_back(successors[k]);
            }
        }
    }
    *highestDepth = highest > 0 ? highest : 1;
    return true;
}
