// What a result window asks of the IDENT library, kept out of the window
// code: the library's headers (Meschach's among them) and windows.h do not
// mix.
#ifndef KYT_APP_IDENTWINDOWLINK_H
#define KYT_APP_IDENTWINDOWLINK_H

#include <string>

// The denominator order of the handle (0 when it is gone).
int identWindowDenominatorOrder(int handle);

// A display command: the handle's new output mode (1-3), then the display
// rebuilt as IDWINPUT does.
void identWindowSetMode(int handle, int mode);
// The display rebuilt for the handle's output mode (IDWINPUT).
void identWindowRefresh(int handle);

// What the clipboard and the hand-over take: "(numerator)/(denominator)"
// for the handle's output mode, its dead time d * Tsamp and Tsamp. false
// when the handle is gone or the conversion of mode 2 or 3 fails.
struct IdentTransfer {
    std::string text;
    double deadTime = 0;
    double tsamp = 0;
};
bool identWindowTransfer(int handle, IdentTransfer* transfer);

// The window of the handle is gone: the handle is closed as IDCLOSE does.
void identWindowEnded(int handle);

#endif
