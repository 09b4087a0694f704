#include "DiscreteFlags.h"

#include "HostServices.h"
#include "ResString.h"
#include "RunState.h"
#include "strings/PiStrings.h"

#include <cstddef>

bool discreteFlagChangedInStep = false;

namespace {

int* flags = nullptr;   // flags[0 .. flagCount]
int flagCount = 0;

// Refused the way a library error is: the run goes on to the end of the
// running code and stops there.
int refuseFlag(int index)
{
    moduleMessage(1, getResString(kStrInternalEventNotDeclared), index);
    requestErrorStop(0);
    return 0;
}

} // namespace

void allocDiscreteFlags(int n)
{
    freeDiscreteFlags();
    if (n < 0)
        n = 0;
    flags = new int[static_cast<size_t>(n) + 1]();
    flagCount = n;
}

void freeDiscreteFlags()
{
    delete[] flags;
    flags = nullptr;
    flagCount = 0;
    discreteFlagChangedInStep = false;
}

bool hasDiscreteFlags()
{
    return flags != nullptr;
}

int discreteFlagCount()
{
    return flagCount;
}

int discreteFlagValue(int index)
{
    if (!flags || index < 1 || index > flagCount)
        return 0;
    return flags[index];
}

void setDiscreteFlagValue(int index, int value)
{
    if (flags && index >= 1 && index <= flagCount)
        flags[index] = value;
}

int DiscreteFlag(int index, int value)
{
    const int phase = runState.phase;
    if (index == 0) {
        if (phase == 0 && value != 0)
            discreteFlagChangedInStep = true;
        return phase == 2 ? (value != 0) : 0;
    }
    // -index of the most negative int does not exist: compare before negating.
    if (!flags || index > flagCount || index < -flagCount)
        return refuseFlag(index);
    if (index > 0) {
        int& stored = flags[index];
        int rising = value != 0 && stored == 0;
        if (phase == 0 && rising)
            discreteFlagChangedInStep = true;
        if (phase != 2)
            return 0;
        stored = value;
        return rising;
    }
    int& stored = flags[-index];
    if (phase == 0 && value != stored)
        discreteFlagChangedInStep = true;
    if (phase == 2)
        stored = value;
    return stored;
}

