#include "CloseDecision.h"

#include "ResString.h"

#include <cstdio>
#include <vector>

bool askDiscard(DiscardQuestion& question, const char* circuitName)
{
    const std::string format = getResString(kResDiscardQuestion);
    const char* name = circuitName ? circuitName : "";
    std::vector<char> text(format.size() + std::string(name).size() + 1);
    snprintf(text.data(), text.size(), format.c_str(), name);
    return question.confirm(text.data(), getResString(kResDiscardCaption));
}

int closeQuery(const CircuitState& state, const char* circuitName, DiscardQuestion& question)
{
    if (state.busy)
        return 1;
    if (state.unchanged)
        return 0;
    if (!state.empty)
        return askDiscard(question, circuitName) ? 0 : 1;
    return 0;
}

DiscardDecision decideDiscard(int ask, int askOnly, const char* circuitName, DiscardQuestion& question)
{
    DiscardDecision decision = {1, false};
    if (ask)
        decision.result = askDiscard(question, circuitName) ? 1 : 0;
    decision.replace = decision.result == 1 && !askOnly;
    return decision;
}

bool decideLoadDiscard(const CircuitState& state, const char* circuitName, DiscardQuestion& question,
                       DiscardDecision& decision)
{
    if (state.empty) {
        decision = {1, false};
        return true;
    }
    decision = decideDiscard(state.unchanged ? 0 : 1, 0, circuitName, question);
    return decision.result == 1;
}
