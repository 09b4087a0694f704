// What the bars and buttons read from the system, replaceable by tests: the
// time of day, the toggle state of NUM LOCK and CAPS LOCK, and the window
// under the pointer.
#ifndef KYT_FRAMEWORK_CONTROLSEAMS_H
#define KYT_FRAMEWORK_CONTROLSEAMS_H

#include <windows.h>

#include <ctime>

typedef std::time_t (*ClockSource)();
typedef bool (*KeyToggleSource)(int virtualKey);
typedef HWND (*PointerWindowSource)();

// null restores the system's.
void setClockSource(ClockSource source);
void setKeyToggleSource(KeyToggleSource source);
void setPointerWindowSource(PointerWindowSource source);

std::time_t currentClockTime();
bool keyToggled(int virtualKey);
HWND windowUnderPointer();

#endif
