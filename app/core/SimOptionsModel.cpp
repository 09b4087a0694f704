#include "SimOptionsModel.h"

#include "NumberFormat.h"

#include <cstdlib>

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
    // The longest leading number; none gives 0.
    return number(strtod(text.c_str(), nullptr));
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
    s.INITSTEP = strtod(initStep.c_str(), nullptr);
    s.MINSTEP = strtod(minStep.c_str(), nullptr);
    s.MAXSTEP = strtod(maxStep.c_str(), nullptr);
    s.ABSERR = strtod(absErr.c_str(), nullptr);
    s.RELERR = strtod(relErr.c_str(), nullptr);
    s.LIMIT = strtod(limit.c_str(), nullptr);
    s.XVAR = xIndex;
}
