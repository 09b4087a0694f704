#include "IdentHelpWindow.h"

#include "Control.h"
#include "IdentDialogModel.h"
#include "Layout.h"
#include "UnitPoint.h"

namespace {

// Vertical and horizontal scroll bars, read-only, the selection kept
// visible, scrolling in both directions (a multi-line edit adds its own
// bits).
const DWORD kTextStyle = 0x3009C0;
const int kTextId = 100;

Layout* helpGeometry()
{
    const DialogUnitPoint origin(kIdentHelpX, kIdentHelpY);
    const DialogUnitPoint size(kIdentHelpWidth, kIdentHelpHeight);
    return new Layout(origin.pixelX, origin.pixelY, size.pixelX, size.pixelY);
}

} // namespace

IdentHelpWindow::IdentHelpWindow(WindowCL* owner, const std::string& title, const std::string& helpText,
                                 IdentHelpWindow** ownerSlot)
    : DialogFrameCL(owner, helpGeometry(), WS_OVERLAPPEDWINDOW, title.c_str()), text(nullptr), slot(ownerSlot)
{
    if (slot)
        *slot = this;
    state |= STATE_AUTODELETE;
    if (!isWindow())
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    text = new MultiEditCL(this, new Layout(0, 0, client.right, client.bottom), kTextStyle, "", kTextId);
    SendMessageA(text->hwnd, EM_SETLIMITTEXT, 0, 0);
    SendMessageA(text->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FIXED_FONT)), FALSE);
    text->setText(helpText.c_str());
    show(SW_SHOW);
}

IdentHelpWindow::~IdentHelpWindow()
{
    if (slot && *slot == this)
        *slot = nullptr;
}

LRESULT IdentHelpWindow::onSize(EventRecord* event)
{
    LRESULT r = DialogFrameCL::onSize(event);
    if (text && text->isWindow())
        MoveWindow(text->hwnd, 0, 0, LOWORD(event->lParam), HIWORD(event->lParam), TRUE);
    return r;
}

LRESULT IdentHelpWindow::onClose(EventRecord*)
{
    if (slot && *slot == this)
        *slot = nullptr;
    slot = nullptr;
    // The window closes the usual way and takes the object with it.
    return 0;
}
