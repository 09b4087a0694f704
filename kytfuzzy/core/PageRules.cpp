#include "PageRules.h"

#include "FuzzyModel.h"
#include "NumberField.h"
#include "NumberFormat.h"
#include "ResString.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The model's texts are heap copies of the fuzzy model's allocator.
void replaceText(char** slot, const char* text)
{
    char* copy = fuzzyCopyText(text);
    free(*slot);
    *slot = copy;
}

bool isFinite(double v)
{
    return std::isfinite(v);
}

} // namespace

void FuzzyPageState::clear()
{
    variable = nullptr;
    set = nullptr;
    String* buffers[] = {&comment, &variableName, &xmin,     &xmax,      &grid,     &usage,   &setName,
                         &formName, &colorName,   &point[0], &point[1], &point[2], &point[3]};
    for (String* b : buffers)
        *b = "";
}

// ---------------------------------------------------------------- comment

bool commentFirstLine(const char* text, std::string* line)
{
    if (!text)
        return false;
    const char* p = text;
    while (*p == '\r' || *p == '\n')
        ++p;
    const char* end = p;
    while (*end && *end != '\r' && *end != '\n')
        ++end;
    if (end == p)
        return false;
    line->assign(p, end);
    return true;
}

void commitComment(FuzzyBlock* block, bool valid, String& buffer)
{
    if (!valid || !block)
        return;
    buffer.markUncounted();
    std::string line;
    if (!commentFirstLine(buffer.text(), &line))
        return;
    replaceText(&block->comment, line.c_str());
    buffer = block->comment;
}

// ---------------------------------------------------------------- variable page

String normalizedNumber(const char* text)
{
    // A decimal comma is read as German users mean it ("0,5" was 0).
    double value = 0;
    if (readNumberField(text, &value))
        return formatDouble(value);
    return formatDouble(fuzzyTextValue(text));
}

namespace {

// The commit of one bound: mine is the slot written, other the bound it is
// checked against; below is true for XMIN.
RangeCommit commitBound(FuzzyVariable* variable, bool valid, String& buffer, bool below)
{
    buffer = normalizedNumber(buffer.text());
    if (!valid || !variable)
        return RANGE_EMPTY;
    char** mine = below ? &variable->xmin : &variable->xmax;
    const double typed = fuzzyTextValue(buffer.text());
    const double other = fuzzyTextValue(below ? variable->xmax : variable->xmin);
    const double xmin = below ? typed : other;
    const double xmax = below ? other : typed;
    // Written so that a NaN bound is refused as well.
    if (!(xmin < xmax)) {
        buffer = *mine ? *mine : "";
        return RANGE_REFUSED;
    }
    if (*mine && fuzzyTextValue(*mine) == typed)
        return RANGE_SAME;
    replaceText(mine, buffer.text());
    return RANGE_STORED;
}

} // namespace

RangeCommit commitXmin(FuzzyVariable* variable, bool valid, String& buffer)
{
    return commitBound(variable, valid, buffer, true);
}

RangeCommit commitXmax(FuzzyVariable* variable, bool valid, String& buffer)
{
    return commitBound(variable, valid, buffer, false);
}

bool commitGrid(FuzzyVariable* variable, bool valid, String& grid, const String& xmin, const String& xmax)
{
    grid = normalizedNumber(grid.text());
    if (!valid || !variable)
        return false;
    const double range = (fuzzyTextValue(xmax.text()) - fuzzyTextValue(xmin.text())) * 0.1;
    const double g = fuzzyTextValue(grid.text());
    if (range < std::fabs(g) || g == 0.0)
        grid = formatDouble(range);
    replaceText(&variable->grid, grid.text());
    return true;
}

double shownGridStep(const FuzzyVariable* variable)
{
    const double range = fuzzyTextValue(variable->xmax) - fuzzyTextValue(variable->xmin);
    if (variable->grid) {
        const double g = std::fabs(fuzzyTextValue(variable->grid));
        if (g != 0.0 && 0.1 * range >= g)
            return g;
    }
    return 0.01 * range;
}

bool isInputVariable(const FuzzyBlock* block, const FuzzyVariable* variable)
{
    for (const FuzzyVariable* v = block ? block->inputs : nullptr; v; v = v->next)
        if (v == variable)
            return true;
    return false;
}

void showVariableTexts(const FuzzyBlock* block, FuzzyVariable* variable, FuzzyPageState& state)
{
    if (!variable) {
        state.xmin = "";
        state.xmax = "";
        state.grid = "";
        state.usage = "";
        return;
    }
    state.xmin = normalizedNumber(variable->xmin);
    state.xmax = normalizedNumber(variable->xmax);
    state.grid = formatDouble(shownGridStep(variable));
    replaceText(&variable->grid, state.grid.text());
    state.usage = getResString(isInputVariable(block, variable) ? kResInputWord : kResOutputWord);
}

FuzzyVariable* chooseVariable(FuzzyBlock* block, const char* name)
{
    return block ? findModelVariable(block, name) : nullptr;
}

UsageChange changeUsage(FuzzyBlock* block, FuzzyPageState& state)
{
    const char* name = state.variableName.text();
    FuzzyVariable* input = findVariable(block->inputs, name);
    FuzzyVariable* output = findVariable(block->outputs, name);
    const bool wantsInput = state.usage == String(getResString(kResInputWord));
    const bool wantsOutput = state.usage == String(getResString(kResOutputWord));
    if (input && !output && wantsOutput) {
        moveVariable(block, input);
        state.variable = input;
        return USAGE_MOVED;
    }
    if (output && !input && wantsInput) {
        moveVariable(block, output);
        state.variable = output;
        return USAGE_MOVED;
    }
    if (input && output)
        state.variable = wantsInput ? input : output;
    return USAGE_SWITCHED;
}

bool hasDrawableRange(const FuzzyVariable* variable)
{
    if (!variable)
        return false;
    const double xmin = fuzzyTextValue(variable->xmin), xmax = fuzzyTextValue(variable->xmax);
    return isFinite(xmin) && isFinite(xmax) && xmin < xmax;
}

std::string badRangeNames(const FuzzyBlock* block)
{
    std::string names;
    if (!block)
        return names;
    for (const FuzzyVariable* list : {block->inputs, block->outputs})
        for (const FuzzyVariable* v = list; v; v = v->next)
            if (!hasDrawableRange(v)) {
                if (!names.empty())
                    names += ", ";
                names += v->name ? v->name : "";
            }
    return names;
}
