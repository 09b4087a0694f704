#include "HelpViewerWindow.h"

#include "ErrorReporter.h"
#include "HelpSize.h"
#include "ListingViewer.h"

#include <string>

HelpViewerWindow::HelpViewerWindow(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text,
                                   String helpText, HelpViewer** slot, int centre)
    : DialogFrameCL(parentWindow, g ? g : new Layout(), windowStyle, text), textControl(nullptr), font(nullptr), ownerSlot(slot)
{
    // 1.
    state |= STATE_AUTODELETE;
    font = new Font(StockObject{SYSTEM_FIXED_FONT});
    // 2. and 3.
    const std::string shown = helpText.text() ? helpText.text() : "";
    const HelpWindowSize size =
        helpWindowSize(shown, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (isWindow())
        MoveWindow(hwnd, 0, 0, size.width, size.height, TRUE);
    // 4.
    textControl = new MultiEditCL(this, new FillLayout, kViewerTextStyle, shown.c_str(), 0);
    if (!textControl->hwnd)
        reportError(ERR_FATAL, "Assertion failed: %s", "reader");
    SendMessageA(textControl->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->font()), TRUE);
    textControl->show(SW_SHOW);
    if (geometry)
        geometry->layout(nullptr);
    // 5.
    if (centre)
        centerWindow(this, 1);
    show(SW_SHOW);
}

HelpViewerWindow::~HelpViewerWindow()
{
    // A window that goes with its parent was never asked to close: its
    // owner must not keep a pointer to it either.
    leaveOwnerSlot();
    delete textControl;
    textControl = nullptr;
    delete font;
}

void HelpViewerWindow::leaveOwnerSlot()
{
    if (ownerSlot && *ownerSlot == static_cast<HelpViewer*>(this))
        *ownerSlot = nullptr;
}

LRESULT HelpViewerWindow::onClose(EventRecord*)
{
    leaveOwnerSlot();
    return 0;
}

HelpViewer* HelpViewerWindowFactory::createHelpViewer(const char* title, const char* text, HelpViewer** ownerSlot)
{
    return new HelpViewerWindow(owner, nullptr, WS_OVERLAPPEDWINDOW, title, String(text), ownerSlot, 0);
}
