#include "MethodPreparation.h"

#include "DasslAdapter.h"
#include "RungeKuttaTableaux.h"

namespace {

const int kFirstVariableStep = 2;
const int kDormandPrince86Method = 7;
const int kDasslMethod = 9;

} // namespace

bool prepareMethod(const SimParams& settings, int method, int nstates)
{
    // Mended: the options dialog accepts RELERR 0 or below, which made the
    // error norm divide by zero or accept every step.
    if (method >= kFirstVariableStep && method <= kDormandPrince86Method &&
        !(settings.RELERR > 0))
        return false;
    if (method == kDormandPrince86Method)
        prepareDormandPrince86();
    if (method == kDasslMethod)
        return dasslSetup(settings.ABSERR, settings.RELERR, nstates, settings.MAXSTEP) == 0;
    return true;
}

void releaseMethod(int method)
{
    if (method == kDasslMethod)
        dasslFree();
}
