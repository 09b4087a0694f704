// The workspace's windows through the framework: the main frame's menu bar
// and title, the Yes/No question, the posted command and the busy state of a
// frame's menu.
#ifndef KYT_WORKSPACE_WORKSPACEWIN_H
#define KYT_WORKSPACE_WORKSPACEWIN_H

#include "DeferredMessages.h"
#include "WorkspaceUi.h"

class Menu;

// The menu bar of a frame (whatever menu it shows at the time) and its title.
class FrameMenuSink : public MenuSink {
public:
    explicit FrameMenuSink(WindowCL* frame) : frame(frame) {}
    void enableCommand(int command, bool enabled) override;
    void replacePopup(int position, const char* title, const std::vector<MenuEntry>& items) override;
    void setMainTitle(const char* title) override;

private:
    WindowCL* frame;
};

// The 19700 question: a message box with Yes and No and the question icon.
int askWithMessageBox(WindowCL* owner, const char* text, const char* caption);

// Posts a command (WM_COMMAND, no control) to a frame's window.
CommandPoster commandPosterFor(WindowCL* frame);

#endif
