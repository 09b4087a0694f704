// The help viewer: a help text in the fixed-pitch system font, in a modeless
// window sized to the text. It deletes itself when it is closed and then
// clears its owner's pointer to it, so that the owner never deletes it again.
#ifndef KYT_APP_HELPVIEWERWINDOW_H
#define KYT_APP_HELPVIEWERWINDOW_H

#include "Control.h"
#include "DeviceContext.h"
#include "Dialog.h"
#include "String.h"
#include "WorkspaceUi.h"

class HelpViewerWindow : public DialogFrameCL, public HelpViewer {
public:
    // ownerSlot: the owner's pointer to this window (may be null); centre
    // non-zero centres the window over its parent. Shows the window.
    HelpViewerWindow(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, String text,
                     HelpViewer** ownerSlot, int centre);
    ~HelpViewerWindow() override;

    // The close query: clears the owner's pointer and lets the window close.
    LRESULT onClose(EventRecord* event) override;

    MultiEditCL* textControl;
    Font* font;
    HelpViewer** ownerSlot;

private:
    void leaveOwnerSlot();
};

// kyt's help viewers for the workspace: overlapped windows owned by owner.
class HelpViewerWindowFactory : public HelpViewerFactory {
public:
    explicit HelpViewerWindowFactory(WindowCL* owner) : owner(owner) {}
    HelpViewer* createHelpViewer(const char* title, const char* text, HelpViewer** ownerSlot) override;

    WindowCL* owner;
};

#endif
