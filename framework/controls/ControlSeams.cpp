#include "ControlSeams.h"

namespace {

std::time_t systemTime()
{
    return std::time(nullptr);
}

bool systemToggle(int virtualKey)
{
    return (GetKeyState(virtualKey) & 1) != 0;
}

HWND systemPointerWindow()
{
    POINT p;
    GetCursorPos(&p);
    return WindowFromPoint(p);
}

ClockSource clockSource = systemTime;
KeyToggleSource toggleSource = systemToggle;
PointerWindowSource pointerSource = systemPointerWindow;

} // namespace

void setClockSource(ClockSource source)
{
    clockSource = source ? source : systemTime;
}

void setKeyToggleSource(KeyToggleSource source)
{
    toggleSource = source ? source : systemToggle;
}

void setPointerWindowSource(PointerWindowSource source)
{
    pointerSource = source ? source : systemPointerWindow;
}

std::time_t currentClockTime()
{
    return clockSource();
}

bool keyToggled(int virtualKey)
{
    return toggleSource(virtualKey);
}

HWND windowUnderPointer()
{
    return pointerSource();
}
