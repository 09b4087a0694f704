#include "IdentWindowSystem.h"

#include "Dde.h"
#include "IdentWindowLink.h"

#include <windows.h>

#include <algorithm>

namespace {

KytIdentWindowSystem* installed = nullptr;
UINT_PTR sweepTimer = 0;

void CALLBACK sweepLater(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, sweepTimer);
    sweepTimer = 0;
    if (installed)
        installed->sweepHandOvers();
}

} // namespace

KytIdentWindowSystem::KytIdentWindowSystem(WindowCL* ownerWindow)
    : owner(ownerWindow), client(nullptr)
{
}

KytIdentWindowSystem::~KytIdentWindowSystem()
{
    dropClient();
}

void KytIdentWindowSystem::dropClient()
{
    sweepHandOvers();
    if (!adopted.empty()) {
        // A hand-over still waits: the client is not uninitialised, which
        // would wait for it without end. The program is ending.
        for (Adopted& a : adopted)
            if (a.execute)
                a.execute->keeper = nullptr;
        adopted.clear();
        client = nullptr;
        return;
    }
    delete client;
    client = nullptr;
}

void KytIdentWindowSystem::adoptHandOver(DdeConversation* conversation, HandOverExecute* execute)
{
    adopted.push_back(Adopted{conversation, execute});
}

void KytIdentWindowSystem::handOverEnded(HandOverExecute* execute)
{
    for (Adopted& a : adopted)
        if (a.execute == execute)
            a.execute = nullptr;
    // The execute is being deleted by the DDE callback, which still uses
    // its conversation: that goes a moment later.
    if (!sweepTimer)
        sweepTimer = SetTimer(nullptr, 0, 50, sweepLater);
}

void KytIdentWindowSystem::sweepHandOvers()
{
    std::vector<Adopted> waiting;
    for (Adopted& a : adopted) {
        if (a.execute)
            waiting.push_back(a);
        else
            delete a.conversation;
    }
    adopted.swap(waiting);
}

void KytIdentWindowSystem::screenSize(int* width, int* height)
{
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

IdentResultWindow* KytIdentWindowSystem::createResultWindow(int handle, const char* title,
                                                            const IdentWindowPlacement& placement)
{
    IdentResultFrame* frame =
        new IdentResultFrame(owner, handle, identWindowDenominatorOrder(handle), title, placement, this);
    if (!frame->isWindow()) {
        delete frame;
        return nullptr;
    }
    open.push_back(frame);
    // Shown without taking the focus from the window the run was started in.
    frame->show(SW_SHOWNOACTIVATE);
    return frame;
}

void KytIdentWindowSystem::createDdeClient()
{
    if (!client)
        client = new DdeClient;
}

void KytIdentWindowSystem::deleteDdeClient()
{
    dropClient();
}

void KytIdentWindowSystem::frameGone(IdentResultFrame* frame)
{
    open.erase(std::remove(open.begin(), open.end(), frame), open.end());
}

IdentResultFrame* KytIdentWindowSystem::frameOf(int handle) const
{
    for (IdentResultFrame* frame : open)
        if (frame->handleNumber() == handle)
            return frame;
    return nullptr;
}

void installIdentWindowSystem(WindowCL* owner)
{
    setIdentWindowSystem(nullptr);
    delete installed;
    installed = owner ? new KytIdentWindowSystem(owner) : nullptr;
    setIdentWindowSystem(installed);
}

KytIdentWindowSystem* kytIdentWindowSystem()
{
    return installed;
}
