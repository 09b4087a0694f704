#include "WorkspaceSeams.h"

#include "DeferredMessages.h"
#include "NetHost.h"
#include "Workspace.h"

namespace {

const char* workspaceCircuitName()
{
    return theWorkspace ? theWorkspace->circuitName.text() : "";
}

const char* workspaceCircuitDir()
{
    return theWorkspace ? theWorkspace->CIRCUITDIR.text() : "";
}

} // namespace

void fillWorkspaceSeams(HostSeams& seams)
{
    seams.queueDeferredMessage = queueDeferredMessage;
    seams.circuitFileName = workspaceCircuitName;
}

void installWorkspaceDirectorySources()
{
    setNetCircuitsDirectorySource(workspaceCircuitDir);
}
