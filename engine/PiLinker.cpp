#include "PiLinker.h"

#include "ModuleRegistry.h"
#include "PiOpcodes.h"
#include "ResString.h"
#include "strings/PiStrings.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

void linkLibraryCall(RawInstruction& r, bool function, int k, const char* name)
{
    const ModuleEntry* f = ModuleRegistryLookup(name);
    PI_CHECK(f != nullptr, "f != (KYT2xFunction*)0");
    // The interpreter calls the row with k doubles: a row of another
    // kind or arity would be called through the wrong function type.
    int wanted = function ? MODULE_FUNCTION_ROW : MODULE_PROCEDURE_ROW;
    PI_CHECK((f->kind & wanted) != 0, "f->kind & (ATUFUNC ? 1 : 2)");
    int arguments = f->signature ? static_cast<int>(strlen(f->signature)) : -1;
    if (function)
        --arguments;
    PI_CHECK(arguments == k, "k == argumentCount(f)");
    r.opcode = (function ? PI_UFUNC0 : PI_UPROC0) + k;
    r.linked.u.function = f->function;
    r.freeCall = f->effects == MODULE_FREE;
}

// Every jump goes to the first instruction after the first label line of
// that name in the same section.
std::vector<long> linkPiCode(const std::vector<RawInstruction>& section, PiCode& code)
{
    int count = 0;
    for (const RawInstruction& r : section)
        if (r.opcode != PI_LABEL)
            ++count;
    if (count == 0)
        piLoadFatal(getResString(kStrInternalNoPiCode));
    code.code = new PiInstruction[static_cast<size_t>(count)];
    code.count = count;
    // Where each label stands (the first line of its name), found once: a
    // walk of the section per jump took time growing with the square of a
    // section full of IFs.
    std::unordered_map<std::string_view, int> labelPosition;
    int position = 0;
    for (const RawInstruction& r : section) {
        if (r.opcode == PI_LABEL)
            labelPosition.emplace(r.label, position);
        else
            ++position;
    }
    std::vector<long> piLines;
    int k = 0;
    for (const RawInstruction& r : section) {
        if (r.opcode == PI_LABEL)
            continue;
        PiInstruction& ins = code.code[k++];
        ins = r.linked;
        ins.opcode = r.opcode;
        ins.line = r.sourceLine;
        piLines.push_back(r.piLine);
        if (kPiOpcodes[r.opcode].operand != PI_OPERAND_TARGET)
            continue;
        auto label = labelPosition.find(r.label);
        int target = label != labelPosition.end() ? label->second : -1;
        if (target < 0)
            piCheckFailedAt("h1 != (picodelist *)0", __LINE__, r.piLine);
        ins.u.target = code.code + target;
    }
    return piLines;
}

// The interpreter runs a CALL's section without looking.
void linkSectionCalls(const std::vector<PendingCall>& calls, int ndiscr)
{
    for (const PendingCall& c : calls)
        if (c.section >= ndiscr)
            piCheckFailedAt("callIndex < ndiscr", __LINE__, c.piLine);
}
