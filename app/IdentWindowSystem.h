// kyt's side of the IDENT library's windows: the screen's size, the result
// frames (owned by the main frame) and the program's DDE client for the
// hand-overs. Installed at the start, removed at the end.
#ifndef KYT_APP_IDENTWINDOWSYSTEM_H
#define KYT_APP_IDENTWINDOWSYSTEM_H

#include "IdentResultFrame.h"
#include "IdentResultWindow.h"

#include <vector>

class WindowCL;

class KytIdentWindowSystem : public IdentWindowSystem, public HandOverClientSource {
public:
    // owner: the window that owns the result frames (the main frame).
    explicit KytIdentWindowSystem(WindowCL* owner);
    // Deletes a DDE client the library left; one whose hand-over still
    // waits for its answer is left to the program's end (see adoptHandOver).
    ~KytIdentWindowSystem() override;

    void screenSize(int* width, int* height) override;
    IdentResultWindow* createResultWindow(int handle, const char* title,
                                          const IdentWindowPlacement& placement) override;
    void createDdeClient() override;
    void deleteDdeClient() override;

    DdeClient* handOverClient() override { return client; }
    void frameGone(IdentResultFrame* frame) override;
    void adoptHandOver(DdeConversation* conversation, HandOverExecute* execute) override;
    void handOverEnded(HandOverExecute* execute) override;
    // Ends the conversations of adopted hand-overs that have their answer.
    void sweepHandOvers();

    // The open result frames, oldest first, and the one of a handle.
    const std::vector<IdentResultFrame*>& frames() const { return open; }
    IdentResultFrame* frameOf(int handle) const;

private:
    void dropClient();

    WindowCL* owner;
    DdeClient* client;
    // Adopted hand-overs; the execute is null once the answer came.
    struct Adopted {
        DdeConversation* conversation;
        HandOverExecute* execute;
    };
    std::vector<Adopted> adopted;
    std::vector<IdentResultFrame*> open;
};

// Installs the window system of the program with owner as the frames'
// owner; null removes it (after identCloseAll).
void installIdentWindowSystem(WindowCL* owner);
KytIdentWindowSystem* kytIdentWindowSystem();

#endif
