#include "DialogRules.h"

#include "FuzzyModel.h"
#include "ResString.h"
#include "SetPageRules.h"
#include "Tokens.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

// The keywords of the fuzzy-block scanner (upper case only there).
const char* const kFuzzyKeywords[] = {
    "FBLOCK",    "CONFIGURATION", "AND_METHOD", "OR_METHOD",    "INFERENCE_METHOD", "DEFUZZIFICATION_METHOD",
    "ENDCONFIGURATION", "INPUTVAR", "XMIN",     "XMAX",         "GRID",             "MEMBER",
    "TRAPEZ",    "SINGLETON",     "COLOR",      "POSITION",     "ENDMEMBER",        "ENDINPUTVAR",
    "OUTPUTVAR", "ENDOUTPUTVAR",  "RULEBASE",   "IF",           "THEN",             "AND",
    "OR",        "NOT",           "WITH",       "ENDRULEBASE",  "ENDFBLOCK",        "COMMENT"};

const char* const kInferenceWords[2] = {"max_prod", "max_min"};

void replaceText(char** slot, const char* text)
{
    char* copy = fuzzyCopyText(text);
    free(*slot);
    *slot = copy;
}

int count(const FuzzyVariable* v)
{
    int n = 0;
    for (; v; v = v->next)
        ++n;
    return n;
}

DialogOutcome outcome(DialogOutcome::Kind kind, unsigned int message = 0)
{
    return DialogOutcome{kind, message};
}

} // namespace

bool isBlankName(const char* name)
{
    return !name || !*name || *name == ' ';
}

bool isValidFuzzyName(const char* name)
{
    if (!name || !std::isalpha(static_cast<unsigned char>(*name)))
        return false;
    for (const char* p = name; *p; ++p)
        if (!std::isalnum(static_cast<unsigned char>(*p)) && *p != '_')
            return false;
    for (const char* keyword : kFuzzyKeywords)
        if (strcmp(keyword, name) == 0)
            return false;
    return keywordToken(name) == 0;
}

ConfigurationTexts initialConfiguration(const FuzzyBlock* block)
{
    ConfigurationTexts t;
    t.name = block && block->name ? block->name : "FBlock1";
    t.andMethod = "min";
    t.orMethod = "max";
    const FuzzyConfiguration* c = block ? block->config : nullptr;
    t.inference = kInferenceWords[c && c->inference == FZ_INFERENCE_MAX_MIN ? 1 : 0];
    t.defuzzification = getResString(c && c->defuzzification == FZ_DEFUZZ_MAX ? kResMaximumWord : kResCentroidWord);
    return t;
}

void applyConfiguration(FuzzyBlock* block, const ConfigurationTexts& t)
{
    if (!block)
        return;
    std::string name = t.name;
    for (char& c : name)
        if (c == '"')
            c = '\'';
    replaceText(&block->name, name.c_str());
    if (!block->config)
        block->config = static_cast<FuzzyConfiguration*>(calloc(1, sizeof(FuzzyConfiguration)));
    FuzzyConfiguration* c = block->config;
    if (t.andMethod == "min")
        c->andMethod = 0;
    if (t.orMethod == "max")
        c->orMethod = 0;
    if (t.inference == kInferenceWords[0])
        c->inference = FZ_INFERENCE_MAX_PROD;
    else if (t.inference == kInferenceWords[1])
        c->inference = FZ_INFERENCE_MAX_MIN;
    if (t.defuzzification == getResString(kResCentroidWord))
        c->defuzzification = FZ_DEFUZZ_CENTROID;
    else if (t.defuzzification == getResString(kResMaximumWord))
        c->defuzzification = FZ_DEFUZZ_MAX;
}

std::string initialVariableName(const FuzzyBlock* block)
{
    const int n = block ? count(block->inputs) + count(block->outputs) : 0;
    return "Variable" + std::to_string(n + 1);
}

std::string initialSetName(const FuzzyVariable* variable)
{
    int n = 0;
    for (const FuzzyMember* m = variable ? variable->members : nullptr; m; m = m->next)
        ++n;
    return "Set" + std::to_string(n + 1);
}

DialogOutcome addVariable(FuzzyBlock* block, const std::string& name, FuzzyPageState& state)
{
    if (isBlankName(name.c_str()) || !block)
        return outcome(DialogOutcome::REFUSED);
    if (findModelVariable(block, name.c_str()))
        return outcome(DialogOutcome::REFUSED, kResVariableNameTaken);
    if (!isValidFuzzyName(name.c_str()))
        return outcome(DialogOutcome::REFUSED, kResBadName);
    FuzzyVariable* v = makeVariable(fuzzyCopyText(name.c_str()), fuzzyCopyText("0"), fuzzyCopyText("100"), nullptr,
                                    nullptr);
    block->inputs = appendVariable(block->inputs, v);
    state.variable = v;
    state.set = nullptr;
    state.variableName = name.c_str();
    return outcome(DialogOutcome::DONE);
}

DialogOutcome addSet(const std::string& name, FuzzyPageState& state)
{
    FuzzyVariable* v = state.variable;
    if (!v)
        return outcome(DialogOutcome::ENDED, kResSetNoVariable);
    if (isBlankName(name.c_str()))
        return outcome(DialogOutcome::REFUSED);
    if (findModelMember(v, name.c_str()))
        return outcome(DialogOutcome::REFUSED, kResSetNameTaken);
    if (!isValidFuzzyName(name.c_str()))
        return outcome(DialogOutcome::REFUSED, kResBadName);
    // The colour follows the current set's; with sets but none current,
    // the last set's.
    int predecessor = kNoPredecessorColor;
    if (state.set)
        predecessor = state.set->color;
    else
        for (const FuzzyMember* m = v->members; m; m = m->next)
            predecessor = m->color;
    FuzzyMember* m = newFuzzyMember(predecessor);
    m->name = fuzzyCopyText(name.c_str());
    freePosition(m->position);
    m->position = makeNamedValue(fuzzyCopyText("0"), fuzzyCopyText("0"));
    if (!v->members) {
        v->members = m;
    } else {
        FuzzyMember* last = v->members;
        while (last->next)
            last = last->next;
        last->next = m;
    }
    setDefaultPoints(m, v, FZ_SHAPE_TRAPEZ);
    state.set = m;
    state.setName = name.c_str();
    return outcome(DialogOutcome::DONE);
}

DialogOutcome renameVariable(FuzzyBlock* block, const std::string& name, FuzzyPageState& state)
{
    FuzzyVariable* v = state.variable;
    if (!v)
        return outcome(DialogOutcome::DONE);
    if (isBlankName(name.c_str()) || findModelVariable(block, name.c_str()))
        return outcome(DialogOutcome::REFUSED);
    if (!isValidFuzzyName(name.c_str()))
        return outcome(DialogOutcome::REFUSED, kResBadName);
    replaceText(&v->name, name.c_str());
    state.variableName = name.c_str();
    return outcome(DialogOutcome::DONE);
}

DialogOutcome renameSet(const std::string& name, FuzzyPageState& state)
{
    if (!state.variable || !state.set)
        return outcome(DialogOutcome::DONE);
    if (isBlankName(name.c_str()) || findModelMember(state.variable, name.c_str()))
        return outcome(DialogOutcome::REFUSED);
    if (!isValidFuzzyName(name.c_str()))
        return outcome(DialogOutcome::REFUSED, kResBadName);
    replaceText(&state.set->name, name.c_str());
    state.setName = name.c_str();
    return outcome(DialogOutcome::DONE);
}
