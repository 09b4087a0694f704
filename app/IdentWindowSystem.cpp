#include "IdentWindowSystem.h"

#include "Dde.h"
#include "IdentWindowLink.h"

#include <windows.h>

#include <algorithm>

namespace {

KytIdentWindowSystem* installed = nullptr;

} // namespace

KytIdentWindowSystem::KytIdentWindowSystem(WindowCL* ownerWindow) : owner(ownerWindow), client(nullptr)
{
}

KytIdentWindowSystem::~KytIdentWindowSystem()
{
    delete client;
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
    delete client;
    client = nullptr;
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
