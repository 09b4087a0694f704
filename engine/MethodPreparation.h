// What the selection of an integration method needs beyond the shared values
// and the work vectors, and what the end of a run frees beyond them.
#ifndef KYT_ENGINE_METHODPREPARATION_H
#define KYT_ENGINE_METHODPREPARATION_H

#include "SimParams.h"

// Methods 2 to 7 refuse a relative bound that is not positive (their norm
// divides by it); method 7 derives its nodes and error weights; method 9
// sets the DASSL solver up for nstates states. False: the method cannot run
// with these settings (the run ends with the parameter message).
bool prepareMethod(const SimParams& settings, int method, int nstates);

// Method 9 frees its solver.
void releaseMethod(int method);

#endif
