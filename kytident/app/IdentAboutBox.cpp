#include "IdentAboutBox.h"

#include "Application.h"
#include "Control.h"
#include "IdentDialogModel.h"
#include "Layout.h"
#include "ResString.h"
#include "UnitPoint.h"

namespace {

// WS_CAPTION, WS_SYSMENU and DS_MODALFRAME.
const DWORD kAboutStyle = 0xC80080;
const int kPictureId = 159;
// The program's lines under the build line.
const unsigned int kResFirstLine = 26920;
const int kLineCount = 4;
const int kBuildLineY = 150;
const int kLineY[kLineCount] = {170, 190, 215, 235};

int centredX(HDC dc, int width, const std::string& text)
{
    SIZE s = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
    return static_cast<int>(width * 0.5 + 0.5) - s.cx / 2;
}

} // namespace

std::string identBuildLine()
{
    return std::string("Rev --") + " -- " + __DATE__ + " " + __TIME__ + " 32 bit";
}

IdentAboutBox::IdentAboutBox(WindowCL* parentWindow)
    : DialogFrameCL(parentWindow, new Layout(0, 0, 320, 280), kAboutStyle, getResString(kIdentInfoTitle)),
      picture(LoadBitmapA(programInstance(), MAKEINTRESOURCEA(kPictureId))),
      pictureWidth(320),
      pictureHeight(280)
{
    if (!isWindow())
        return;
    if (picture) {
        BITMAP info;
        if (GetObjectA(picture, sizeof info, &info)) {
            pictureWidth = info.bmWidth;
            pictureHeight = info.bmHeight;
        }
    }
    AddEventHandler(this, &IdentAboutBox::onPaint, WM_PAINT);
    // The picture fills the client area; the box is centred over its parent.
    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    const int width = pictureWidth + (window.right - window.left) - client.right;
    const int height = pictureHeight + (window.bottom - window.top) - client.bottom;
    int x = 0, y = 0;
    if (parent && parent->isWindow()) {
        RECT p;
        GetWindowRect(parent->hwnd, &p);
        x = p.left + ((p.right - p.left) - width) / 2;
        y = p.top + ((p.bottom - p.top) - height) / 2;
    }
    MoveWindow(hwnd, x, y, width, height, FALSE);

    const DialogUnitPoint button(44, 12);
    const int bw = button.pixelX, bh = button.pixelY;
    const int rowY = pictureHeight - static_cast<int>(1.2 * bh) - 8;
    DefPushButtonCL* ok =
        new DefPushButtonCL(this, new Layout(pictureWidth / 2 - bw / 2, rowY, bw, bh), WS_TABSTOP, "OK", IDOK);
    if (ok->isWindow()) {
        SendMessageA(ok->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        SetFocus(ok->hwnd);
    }
    defaultId = IDOK;
    show(SW_SHOW);
    runModal();
}

IdentAboutBox::~IdentAboutBox()
{
    RemoveEventHandler(this, &IdentAboutBox::onPaint, WM_PAINT);
    if (picture)
        DeleteObject(picture);
}

LRESULT IdentAboutBox::onCommand(EventRecord* event)
{
    const int control = LOWORD(event->wParam);
    if (control == IDOK || control == IDCANCEL) {
        endDialog();
        return 1;
    }
    return 0;
}

LRESULT IdentAboutBox::onPaint(EventRecord*)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (picture) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, picture);
        BitBlt(dc, 0, 0, pictureWidth, pictureHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    const int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = CreateFontA(height, 0, 0, 0, 900, 0, 0, 0, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, VARIABLE_PITCH, "Helv");
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const std::string build = identBuildLine();
    TextOutA(dc, centredX(dc, pictureWidth, build), kBuildLineY, build.c_str(), static_cast<int>(build.size()));
    for (int i = 0; i < kLineCount; ++i) {
        const std::string line = getResString(kResFirstLine + static_cast<unsigned int>(i));
        TextOutA(dc, centredX(dc, pictureWidth, line), kLineY[i], line.c_str(), static_cast<int>(line.size()));
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    if (font)
        DeleteObject(font);
    EndPaint(hwnd, &ps);
    return 1;
}
