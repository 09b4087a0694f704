// The help viewer: a help text in the fixed-pitch system font, in a modeless
// window sized to the text. It deletes itself when it is closed and then
// clears its owner's pointer to it, so that the owner never deletes it again.
// kyt and kytfuzzy share it; kytfuzzy's has an icon of its own and is not
// kept on the screen.
#ifndef KYT_APP_HELPVIEWERWINDOW_H
#define KYT_APP_HELPVIEWERWINDOW_H

#include "Control.h"
#include "DeviceContext.h"
#include "Dialog.h"
#include "HelpViewer.h"
#include "String.h"

// What sets one program's help windows apart from another's.
struct HelpViewerLook {
    // Width and height at most the screen's (less room for the task bar).
    bool keepOnScreen = true;
    // The window's icon resource; 0 leaves the class icon.
    unsigned int iconId = 0;
};

class HelpViewerWindow : public DialogFrameCL, public HelpViewer {
public:
    // ownerSlot: the owner's pointer to this window (may be null); centre
    // non-zero centres the window over its parent. Shows the window.
    HelpViewerWindow(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, String text,
                     HelpViewer** ownerSlot, int centre, const HelpViewerLook& look = HelpViewerLook());
    ~HelpViewerWindow() override;

    // The close query: clears the owner's pointer and lets the window close.
    LRESULT onClose(EventRecord* event) override;

    MultiEditCL* textControl;
    Font* font;
    HelpViewer** ownerSlot;

private:
    void leaveOwnerSlot();
    // A window not kept on the screen may be as large as its text needs:
    // the system would cut it to the screen's size.
    LRESULT onGetMinMaxInfo(EventRecord* event);
    int wantedWidth = 0;
    int wantedHeight = 0;
};

// Help viewers for their owner (kyt's workspace, kytfuzzy's options):
// overlapped windows owned by the window owner, which takes them along
// when it goes.
class HelpViewerWindowFactory : public HelpViewerFactory {
public:
    explicit HelpViewerWindowFactory(WindowCL* owner, const HelpViewerLook& look = HelpViewerLook())
        : owner(owner), look(look)
    {
    }
    HelpViewer* createHelpViewer(const char* title, const char* text, HelpViewer** ownerSlot) override;

    WindowCL* owner;
    HelpViewerLook look;
};

#endif
