#include "ResetSimulator.h"

#include "DelayLines.h"
#include "DiscreteFlags.h"
#include "EventQueue.h"

void resetSimulator()
{
    freeEvents();
    freeDiscreteFlags();
    freeDelayLines();
}
