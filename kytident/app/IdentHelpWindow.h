// kytident's help window: a read-only text in a fixed-pitch font, in a
// window of its own beside the dialog (200 x 150 dialog units at (50, 50)).
// It is modeless and deletes itself when it is closed; the owner's pointer
// to it is cleared then.
#ifndef KYT_KYTIDENT_IDENTHELPWINDOW_H
#define KYT_KYTIDENT_IDENTHELPWINDOW_H

#include "Dialog.h"

#include <string>

class EditCL;

class IdentHelpWindow : public DialogFrameCL {
public:
    // Shown at once; *ownerSlot points to the window until it goes.
    IdentHelpWindow(WindowCL* owner, const std::string& title, const std::string& text, IdentHelpWindow** ownerSlot);
    ~IdentHelpWindow() override;

    LRESULT onSize(EventRecord* event) override;
    LRESULT onClose(EventRecord* event) override;

    // The text control (the help text with "\r\n" line ends).
    EditCL* textControl() const { return text; }

private:
    EditCL* text;
    IdentHelpWindow** slot;
};

#endif
