#include "SetPageRules.h"

#include "MembershipGeometry.h"
#include "NumberFormat.h"
#include "ResString.h"

#include <cstdlib>
#include <cstring>

const char kTrapezWord[] = "Trapez";
const char kSingletonWord[] = "Singleton";

namespace {

const SampleColour kSamples[kFuzzyColorCount] = {
    {0, 128, 0}, {0, 128, 128}, {128, 64, 0}, {160, 160, 164}, {128, 0, 128}, {0, 0, 255}, {0, 0, 0}, {255, 0, 0}};
const int kBlackIndex = 6;

void replaceText(char** slot, const char* text)
{
    char* copy = fuzzyCopyText(text);
    free(*slot);
    *slot = copy;
}

bool knownIndex(int index)
{
    return index >= 0 && index < kFuzzyColorCount;
}

} // namespace

SampleColour sampleColour(int index)
{
    return knownIndex(index) ? kSamples[index] : kSamples[kBlackIndex];
}

const char* colourName(int index)
{
    return getResString(kResFirstColourName + (knownIndex(index) ? index : kBlackIndex));
}

bool chooseColour(FuzzyMember* member, const char* name, SampleColour* sample)
{
    for (int i = 0; i < kFuzzyColorCount; ++i)
        if (name && strcmp(name, getResString(kResFirstColourName + i)) == 0) {
            member->color = i;
            *sample = kSamples[i];
            return true;
        }
    *sample = kSampleWhite;
    return false;
}

void showSetTexts(const FuzzyMember* member, FuzzyPageState& state)
{
    state.setName = member->name ? member->name : "";
    const FuzzyMemberSet* set = member->set;
    if (set && set->shape == FZ_SHAPE_TRAPEZ) {
        for (int i = 0; i < 4; ++i)
            state.point[i] = normalizedNumber(set->text[i]);
        state.formName = kTrapezWord;
    } else if (set && set->shape == FZ_SHAPE_SINGLETON) {
        state.point[0] = set->text[0] ? set->text[0] : "";
        for (int i = 1; i < 4; ++i)
            state.point[i] = "";
        state.formName = kSingletonWord;
    }
    state.colorName = colourName(member->color);
}

bool commitSetPoint(FuzzyMember* member, int index, bool valid, String& buffer)
{
    buffer = normalizedNumber(buffer.text());
    if (!valid || !member || !member->set || index < 0 || index > 3)
        return false;
    FuzzyMemberSet* set = member->set;
    if (set->shape == FZ_SHAPE_SINGLETON) {
        if (index != 0)
            return false;
    } else {
        // The typed value against both neighbours; the neighbour's text
        // replaces it where it would leave the order.
        const double v = fuzzyTextValue(buffer.text());
        if (index > 0 && v < set->value[index - 1])
            buffer = set->text[index - 1] ? set->text[index - 1] : "";
        else if (index < 3 && v > set->value[index + 1])
            buffer = set->text[index + 1] ? set->text[index + 1] : "";
    }
    replaceText(&set->text[index], buffer.text());
    set->value[index] = fuzzyTextValue(buffer.text());
    return true;
}

void setDefaultPoints(FuzzyMember* member, const FuzzyVariable* variable, int form)
{
    if (!member || !member->set || !variable)
        return;
    const double xmin = fuzzyTextValue(variable->xmin);
    const double span = fuzzyTextValue(variable->xmax) - xmin;
    const double factors[4] = {form == FZ_SHAPE_SINGLETON ? 0.3 : 0.2, 0.4, 0.6, 0.8};
    for (int i = 0; i < 4; ++i) {
        const double v = xmin + span * factors[i];
        member->set->value[i] = v;
        replaceText(&member->set->text[i], parameterText(v).c_str());
    }
}
