#include "HelpViewerWindow.h"

#include "Application.h"
#include "ErrorReporter.h"
#include "HelpSize.h"
#include "ListingViewer.h"

#include <string>

HelpViewerWindow::HelpViewerWindow(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text,
                                   String helpText, HelpViewer** slot, int centre, const HelpViewerLook& look)
    : DialogFrameCL(parentWindow, g ? g : new Layout(), windowStyle, text), textControl(nullptr), font(nullptr), ownerSlot(slot)
{
    // 1.
    state |= STATE_AUTODELETE;
    font = new Font(StockObject{SYSTEM_FIXED_FONT});
    // The window's own icon, not the class's: every dialog frame of the
    // program shares that class.
    if (look.iconId && isWindow()) {
        if (HICON icon = LoadIconA(programInstance(), MAKEINTRESOURCEA(look.iconId))) {
            SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
    }
    // 2. and 3. A limit of 0 limits nothing.
    const std::string shown = helpText.text() ? helpText.text() : "";
    const int screenWidth = look.keepOnScreen ? GetSystemMetrics(SM_CXSCREEN) : 0;
    const int screenHeight = look.keepOnScreen ? GetSystemMetrics(SM_CYSCREEN) : 0;
    const HelpWindowSize size = helpWindowSize(shown, screenWidth, screenHeight);
    if (!look.keepOnScreen && isWindow()) {
        wantedWidth = size.width;
        wantedHeight = size.height;
        AddEventHandler(this, &HelpViewerWindow::onGetMinMaxInfo, WM_GETMINMAXINFO);
    }
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

LRESULT HelpViewerWindow::onGetMinMaxInfo(EventRecord* event)
{
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(event->lParam);
    if (!info)
        return 0;
    if (info->ptMaxTrackSize.x < wantedWidth)
        info->ptMaxTrackSize.x = wantedWidth;
    if (info->ptMaxTrackSize.y < wantedHeight)
        info->ptMaxTrackSize.y = wantedHeight;
    return 1;
}

LRESULT HelpViewerWindow::onClose(EventRecord*)
{
    leaveOwnerSlot();
    return 0;
}

HelpViewer* HelpViewerWindowFactory::createHelpViewer(const char* title, const char* text, HelpViewer** ownerSlot)
{
    return new HelpViewerWindow(owner, nullptr, WS_OVERLAPPEDWINDOW, title, String(text), ownerSlot, 0, look);
}
