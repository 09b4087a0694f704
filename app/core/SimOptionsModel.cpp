#include "SimOptionsModel.h"

#include "NumberField.h"
#include "NumberFormat.h"

namespace {

std::string number(double v)
{
    return formatDouble(v).text();
}

// A method the list has; a circuit file may name another.
int methodIndexOf(int ialg)
{
    return ialg >= 1 && ialg <= kDialogMethodCount ? ialg - 1 : 5;
}

} // namespace

SimOptionsModel::SimOptionsModel(const SimParams& settings, const std::vector<std::string>& listed)
{
    fill(settings);
    for (size_t i = 0; i < listed.size(); ++i)
        xAxisEntries.push_back(i == 0 ? std::string("time") : listed[i]);
    // The x axis is one of the listed signals; none listed: -1.
    const int last = static_cast<int>(xAxisEntries.size()) - 1;
    if (xIndex > last)
        xIndex = last;
    if (xIndex < 0)
        xIndex = last < 0 ? -1 : 0;
}

void SimOptionsModel::fill(const SimParams& s)
{
    methodIndex = methodIndexOf(s.IALG);
    initStep = normalise(number(s.INITSTEP));
    minStep = normalise(number(s.MINSTEP));
    maxStep = normalise(number(s.MAXSTEP));
    absErr = normalise(number(s.ABSERR));
    relErr = normalise(number(s.RELERR));
    limit = normalise(number(s.LIMIT));
    xIndex = s.XVAR;
}

std::string SimOptionsModel::normalise(const std::string& text)
{
    // Mended: the longest leading number was taken and anything else gave 0
    // without a word, so "0,05" became 0 and the run failed for a reason
    // no field showed. A text that is no number now stays as it was typed,
    // and OK refuses it.
    double v = 0;
    if (!readNumberField(text.c_str(), &v))
        return text;
    return number(v);
}

void SimOptionsModel::selectMethod(int index)
{
    if (index >= 0 && index < kDialogMethodCount)
        methodIndex = index;
}

void SimOptionsModel::setDefaults()
{
    fill(defaultSimParams());
}

std::string* SimOptionsModel::field(int controlId)
{
    switch (controlId) {
    case SIMOPT_INITSTEP:
        return &initStep;
    case SIMOPT_MINSTEP:
        return &minStep;
    case SIMOPT_MAXSTEP:
        return &maxStep;
    case SIMOPT_ABSERR:
        return &absErr;
    case SIMOPT_RELERR:
        return &relErr;
    case SIMOPT_LIMIT:
        return &limit;
    default:
        return nullptr;
    }
}

void SimOptionsModel::leaveField(int controlId)
{
    if (std::string* text = field(controlId))
        *text = normalise(*text);
}

void SimOptionsModel::storeInto(SimParams& s) const
{
    s.IALG = methodIndex + 1;
    // A field that holds no number (a greyed error field the dialog did not
    // check) keeps the setting it had.
    readNumberField(initStep.c_str(), &s.INITSTEP);
    readNumberField(minStep.c_str(), &s.MINSTEP);
    readNumberField(maxStep.c_str(), &s.MAXSTEP);
    readNumberField(absErr.c_str(), &s.ABSERR);
    readNumberField(relErr.c_str(), &s.RELERR);
    readNumberField(limit.c_str(), &s.LIMIT);
    s.XVAR = xIndex;
}

int SimOptionsModel::firstFieldWithoutNumber() const
{
    const int order[6] = {SIMOPT_INITSTEP, SIMOPT_MINSTEP, SIMOPT_MAXSTEP, SIMOPT_RELERR, SIMOPT_ABSERR, SIMOPT_LIMIT};
    for (int id : order) {
        const bool greyed = !errorFieldsEnabled() && (id == SIMOPT_RELERR || id == SIMOPT_ABSERR);
        double v = 0;
        if (!greyed && !readNumberField(const_cast<SimOptionsModel*>(this)->field(id)->c_str(), &v))
            return id;
    }
    return 0;
}
