// What the Windows programs plug into the portable core: the message box and
// beep of the error reporter, and string-table loading from their modules.
#ifndef KYT_FRAMEWORK_WINSERVICES_H
#define KYT_FRAMEWORK_WINSERVICES_H

#include <windows.h>

// Installs the message-box error sink and the LoadStringA loader. The
// application object does it when it is made; a program without one calls it
// first thing.
void installWindowsServices(HINSTANCE instance);

// The window that owns the error boxes (the main window while there is one).
void setReportOwnerWindow(HWND owner);
HWND getReportOwnerWindow();

// Instance handle given to installWindowsServices.
HINSTANCE getApplicationInstance();

#endif
