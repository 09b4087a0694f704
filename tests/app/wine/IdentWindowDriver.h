// The IDENT library as the window test drives it, kept out of the window
// code: the library's headers (Meschach's among them) and windows.h do not
// mix. The library runs on the identification tests' recording host, whose
// string constants are "Test" (0) and "LS" (1).
#ifndef KYT_TESTS_APP_IDENTWINDOWDRIVER_H
#define KYT_TESTS_APP_IDENTWINDOWDRIVER_H

#include <string>
#include <vector>

namespace identdriver {

// Registers the library on the recording host and runs its load hook.
void attach();
// IDOPEN; IDWINOPEN(handle, mode, "Test", "LS"); IDWINPUT.
int open(int method, int num, int den, double tsamp, int dead);
void openWindow(int handle, int mode);
void put(int handle);
// 200 samples of y(t) - 1.5 y(t-1) + 0.7 y(t-2) = u(t-1) + 0.5 u(t-2)
// after IDSET (Alpha 1e6) and IDSETUP.
void identifyPlant(int handle);
// The estimate through IDGET, as many as the handle's nb + na.
std::vector<double> theta(int handle, int count);
// The G(s) display of the estimate for mode 2 or 3 ("" when the
// conversion fails).
std::string continuousDisplay(int handle, int mode, bool allDigits);
void unloadHook();
void startHook();
void closeAll();
bool isOpen(int handle);
// Messages the library reported since attach.
std::vector<std::string> messages();

} // namespace identdriver

#endif
