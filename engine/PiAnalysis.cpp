#include "PiAnalysis.h"

#include "PiOpcodes.h"

#include <unordered_map>

bool callsOnlyFreeRows(const std::vector<RawInstruction>& section)
{
    for (const RawInstruction& r : section)
        if ((r.opcode >= PI_UFUNC0 && r.opcode <= PI_UPROC0 + kPiMaxArguments) && !r.freeCall)
            return false;
    return true;
}

bool isRepeatable(const PiCode& code, bool callsFree)
{
    if (!callsFree)
        return false;
    std::unordered_map<const double*, size_t> written;
    for (int i = 0; i < code.count; ++i)
        if (code.code[i].opcode == PI_POP_V)
            written.emplace(code.code[i].u.value, written.size());
    std::vector<char> done(written.size(), 0);   // written on every path so far
    std::unordered_map<int, std::vector<char>> atTarget;
    bool reachable = true;
    for (int i = 0; i < code.count; ++i) {
        auto pending = atTarget.find(i);
        if (pending != atTarget.end()) {
            if (reachable)
                for (size_t k = 0; k < done.size(); ++k)
                    done[k] = done[k] && pending->second[k];
            else
                done = pending->second;
            reachable = true;
            atTarget.erase(pending);
        }
        if (!reachable)
            continue;
        const PiInstruction& ins = code.code[i];
        switch (ins.opcode) {
        case PI_SCHED: case PI_EVENT: case PI_ABORT: case PI_CALL: case PI_DDELAY:
        case PI_SDELAY: case PI_DELAY: case PI_POP_S: case PI_PUSH_D:
            return false;
        case PI_PUSH_V: {
            auto w = written.find(ins.u.value);
            if (w != written.end() && !done[w->second])
                return false;
            break;
        }
        case PI_POP_V:
            done[written.at(ins.u.value)] = 1;
            break;
        case PI_IFT: case PI_IFF: case PI_NIFT: case PI_NIFF: case PI_GOTO: {
            const int target = static_cast<int>(ins.u.target - code.code);
            if (target <= i)
                return false;
            auto t = atTarget.find(target);
            if (t == atTarget.end())
                atTarget.emplace(target, done);
            else
                for (size_t k = 0; k < done.size(); ++k)
                    t->second[k] = t->second[k] && done[k];
            if (ins.opcode == PI_GOTO)
                reachable = false;
            break;
        }
        case PI_END:
            reachable = false;
            break;
        default:
            break;
        }
    }
    return true;
}
