#include "RunCommand.h"

int runCircuit(int startAtOnce)
{
    // Nothing is run yet: the run command comes with the simulation options
    // dialog.
    (void)startAtOnce;
    return 0;
}
