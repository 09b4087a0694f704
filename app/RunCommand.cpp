#include "RunCommand.h"

#include "MainFrame.h"

int runCircuit(int startAtOnce)
{
    return edWin ? edWin->runCircuit(startAtOnce) : 0;
}
