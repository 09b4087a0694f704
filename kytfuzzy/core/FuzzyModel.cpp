#include "FuzzyModel.h"

#include "ResString.h"
#include "strings/KytfuzzyStrings.h"

#include <cstdlib>
#include <cstring>

const FuzzyCheckTexts kFuzzyEditorCheckTexts = {
    kStrFzNoFuzzyBlock, kStrFzNoInputs, kStrFzChangedTo, kStrFzNoOutputs, kStrFzNoRuleBase, kStrFzNoOutputNamed, kStrFzAndSoOn, kStrFzNoSetNamed, kStrFzForOutput, kStrFzNoInputNamed, kStrFzForInput,
    kStrFzNoConfiguration, kStrFzCheckNoInputs, kStrFzCheckNoOutputs, kStrFzCheckNoRuleBase
};

namespace {

template <typename T>
T* zeroRecord()
{
    return static_cast<T*>(calloc(1, sizeof(T)));
}

FuzzyVariable** listHolding(FuzzyBlock* block, FuzzyVariable* variable)
{
    for (FuzzyVariable** list : {&block->inputs, &block->outputs})
        for (FuzzyVariable* v = *list; v; v = v->next)
            if (v == variable)
                return list;
    return nullptr;
}

void appendTo(FuzzyVariable** list, FuzzyVariable* variable)
{
    variable->next = nullptr;
    while (*list)
        list = &(*list)->next;
    *list = variable;
}

void addFinding(FuzzyKernel* kernel, unsigned int id)
{
    kernel->message.append(getResString(id), getResString(kFuzzyEditorCheckTexts.andSoOn));
    ++kernel->findings;
}

} // namespace

FuzzyKernel* newFuzzyBlock()
{
    FuzzyKernel* kernel = new FuzzyKernel;
    FuzzyBlock::finish(kernel, nullptr, zeroRecord<FuzzyConfiguration>(), nullptr, nullptr, nullptr, nullptr);
    return kernel;
}

FuzzyVariable* newFuzzyVariable()
{
    return zeroRecord<FuzzyVariable>();
}

FuzzyMember* newFuzzyMember(int predecessorColor)
{
    FuzzyMember* m = zeroRecord<FuzzyMember>();
    m->color = (predecessorColor + 1) % 7;
    m->set = makeMember("TRAPEZ", fuzzyCopyText("0"), fuzzyCopyText("0"), fuzzyCopyText("0"), fuzzyCopyText("0"));
    m->position = makeNamedValue(fuzzyCopyText(""), fuzzyCopyText(""));
    return m;
}

FuzzyVariable* findModelVariable(FuzzyBlock* block, const char* name)
{
    if (!block || !name)
        return nullptr;
    FuzzyVariable* v = findVariable(block->inputs, name);
    return v ? v : findVariable(block->outputs, name);
}

FuzzyMember* findModelMember(FuzzyVariable* variable, const char* name)
{
    return variable && name ? findMember(variable, name) : nullptr;
}

bool variableNameInUse(FuzzyBlock* block, const char* name)
{
    return findModelVariable(block, name) != nullptr;
}

bool memberNameInUse(FuzzyVariable* variable, const char* name)
{
    return findModelMember(variable, name) != nullptr;
}

MemberRemoval removeMember(FuzzyVariable* variable, const char* name)
{
    if (!variable || !name)
        return MemberRemoval::NotFound;
    for (FuzzyMember** at = &variable->members; *at; at = &(*at)->next) {
        FuzzyMember* m = *at;
        if (!m->name || strcmp(m->name, name) != 0)
            continue;
        if (m == variable->members && !m->next)
            return MemberRemoval::Refused;
        *at = m->next;
        freeMember(m);
        return MemberRemoval::Removed;
    }
    return MemberRemoval::NotFound;
}

bool removeVariable(FuzzyBlock* block, FuzzyVariable* variable)
{
    FuzzyVariable** list = block && variable ? listHolding(block, variable) : nullptr;
    if (!list)
        return false;
    while (*list != variable)
        list = &(*list)->next;
    *list = variable->next;
    variable->next = nullptr;
    return true;
}

bool moveVariable(FuzzyBlock* block, FuzzyVariable* variable)
{
    FuzzyVariable** list = block && variable ? listHolding(block, variable) : nullptr;
    if (!list)
        return false;
    FuzzyVariable** other = list == &block->inputs ? &block->outputs : &block->inputs;
    removeVariable(block, variable);
    appendTo(other, variable);
    return true;
}

void freeVariable(FuzzyVariable* variable)
{
    if (!variable)
        return;
    variable->next = nullptr;
    freeVariables(variable);
}

void freeMember(FuzzyMember* member)
{
    if (!member)
        return;
    member->next = nullptr;
    freeMembers(member);
}

bool checkAmbiguity(FuzzyKernel* kernel)
{
    return checkFuzzyBlock(kernel, kFuzzyEditorCheckTexts);
}

bool checkConfiguration(FuzzyKernel* kernel)
{
    kernel->message.reset();
    kernel->findings = 0;
    FuzzyBlock* b = kernel->getBlock();
    if (!b) {
        addFinding(kernel, kFuzzyEditorCheckTexts.noBlock);
        return false;
    }
    if (!b->config)
        addFinding(kernel, kFuzzyEditorCheckTexts.noConfiguration);
    if (!b->inputs)
        addFinding(kernel, kFuzzyEditorCheckTexts.noInputList);
    if (!b->outputs)
        addFinding(kernel, kFuzzyEditorCheckTexts.noOutputList);
    if (!b->rules)
        addFinding(kernel, kFuzzyEditorCheckTexts.noRuleBase);
    return kernel->findings == 0;
}

bool checkCompleteness(FuzzyKernel* kernel)
{
    return checkFuzzyCompleteness(kernel, kFuzzyEditorCheckTexts);
}
