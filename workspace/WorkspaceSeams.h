// What the engine and the run-time libraries reach of the workspace, handed
// over at the program's start.
#ifndef KYT_WORKSPACE_WORKSPACESEAMS_H
#define KYT_WORKSPACE_WORKSPACESEAMS_H

#include "HostServices.h"

// Fills the workspace's seams: the deferred-message queue and the current
// circuit's name (theWorkspace's). The other seams belong to their owners
// (the loader, the "Local" library) and are left as they are.
void fillWorkspaceSeams(HostSeams& seams);

// The neural-net code's pattern directory: theWorkspace's CIRCUITDIR.
void installWorkspaceDirectorySources();

#endif
