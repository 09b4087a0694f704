#include "AboutDialog.h"

#include "Control.h"
#include "DeviceContext.h"
#include "ResString.h"

#include <windows.h>

namespace {

// The picture pane shows rows 0 to kTextTop - 1, the text pane the rest.
const int kTextTop = 140;
const int kVersionRow = 150;
const int kCreditRows[8] = {167, 184, 209, 234, 251, 268, 293, 310};

HBITMAP loadBitmap(int id)
{
    return LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

Point bitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return Point(0, 0);
    return Point(info.bmWidth, info.bmHeight);
}

} // namespace

std::string aboutVersionLine()
{
    return std::string("Rev --") + " -- " + __DATE__ + " " + __TIME__ + " 64 bit";
}

BitmapPaneCL::BitmapPaneCL(WindowCL* parentWindow, Geometry* g, HBITMAP bitmap, int row)
    : PaneWindowCL(parentWindow, g, WS_CHILD | WS_VISIBLE), picture(bitmap), firstRow(row)
{
}

BitmapPaneCL::~BitmapPaneCL()
{
    if (picture)
        DeleteObject(picture);
}

LRESULT BitmapPaneCL::paint(DeviceContext& dc)
{
    if (!picture || !dc.hdc)
        return 1;
    HDC memory = CreateCompatibleDC(dc.hdc);
    HGDIOBJ old = SelectObject(memory, picture);
    Point size = bitmapSize(picture);
    BitBlt(dc.hdc, 0, 0, size.x(), size.y() - firstRow, memory, 0, firstRow, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return 1;
}

LRESULT BitmapPaneCL::onCommand(EventRecord* event)
{
    // The panes pass commands on to the dialog.
    return parent ? SendMessageA(parent->hwnd, WM_COMMAND, event->wParam, event->lParam) : 0;
}

AboutTextPaneCL::AboutTextPaneCL(WindowCL* parentWindow, Geometry* g, HBITMAP bitmap, int row, int width)
    : BitmapPaneCL(parentWindow, g, bitmap, row), pictureWidth(width)
{
}

LRESULT AboutTextPaneCL::paint(DeviceContext& dc)
{
    BitmapPaneCL::paint(dc);
    if (!dc.hdc)
        return 1;
    const int height = MulDiv(8, GetDeviceCaps(dc.hdc, LOGPIXELSY), 72);
    HFONT font = CreateFontA(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Helv");
    HGDIOBJ oldFont = SelectObject(dc.hdc, font);
    int oldMode = SetBkMode(dc.hdc, TRANSPARENT);
    const int middle = (pictureWidth + 1) / 2;
    drawnLines.clear();
    auto line = [&](const std::string& text, int row) {
        SIZE s = {0, 0};
        GetTextExtentPoint32A(dc.hdc, text.c_str(), static_cast<int>(text.size()), &s);
        TextOutA(dc.hdc, middle - s.cx / 2, row - firstRow, text.c_str(), static_cast<int>(text.size()));
        drawnLines.push_back(text);
    };
    line(aboutVersionLine(), kVersionRow);
    for (int i = 0; i < 8; ++i)
        line(getResString(kResFirstCredit + i), kCreditRows[i]);
    SetBkMode(dc.hdc, oldMode);
    SelectObject(dc.hdc, oldFont);
    DeleteObject(font);
    return 1;
}

AboutDialog::AboutDialog(WindowCL* parentWindow, const char* title)
    : DialogFrameCL(parentWindow, new Layout(0, 0, 0, 0), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                    title ? title : "Info", 1),
      picturePane(nullptr), textPane(nullptr), pictureWidth(0), pictureHeight(0)
{
    HBITMAP top = loadBitmap(kAboutBitmap);
    HBITMAP bottom = loadBitmap(kAboutBitmap);
    const Point size = bitmapSize(top);
    pictureWidth = size.x();
    pictureHeight = size.y();
    const LONG units = GetDialogBaseUnits();
    const int buttonWidth = MulDiv(44, LOWORD(units), 4);
    const int buttonHeight = MulDiv(12, HIWORD(units), 8);
    const int margin = 6;
    geometry->width = pictureWidth;
    geometry->height = pictureHeight + buttonHeight + 2 * margin;
    create();
    picturePane = new BitmapPaneCL(this, new Layout(0, 0, pictureWidth, kTextTop), top, 0);
    textPane = new AboutTextPaneCL(this, new Layout(0, kTextTop, pictureWidth, pictureHeight - kTextTop), bottom,
                                   kTextTop, pictureWidth);
    const int y = pictureHeight + margin;
    const int gap = (pictureWidth - 3 * buttonWidth) / 4;
    new DefPushButtonCL(this, new Layout(gap, y, buttonWidth, buttonHeight), WS_TABSTOP, "OK", IDOK);
    new PushButtonCL(this, new Layout(2 * gap + buttonWidth, y, buttonWidth, buttonHeight), WS_TABSTOP,
                     getResString(kResCreditButton1), kCreditButton1);
    new PushButtonCL(this, new Layout(3 * gap + 2 * buttonWidth, y, buttonWidth, buttonHeight), WS_TABSTOP,
                     getResString(kResCreditButton2), kCreditButton2);
    defaultId = IDOK;
    picturePane->show(SW_SHOW);
    textPane->show(SW_SHOW);
    centerWindow(this, 1);
    show(SW_SHOW);
    runModal();
}

void AboutDialog::showCredit(int bitmap)
{
    HBITMAP picture = loadBitmap(bitmap);
    const Point size = bitmapSize(picture);
    DialogFrameCL* window = new DialogFrameCL(this, new Layout(0, 0, size.x(), size.y()),
                                              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "KYT", 0);
    BitmapPaneCL* pane = new BitmapPaneCL(window, new Layout(0, 0, size.x(), size.y()), picture, 0);
    pane->show(SW_SHOW);
    centerWindow(window, 1);
    window->show(SW_SHOW);
    window->runModal();
    delete window;
}

LRESULT AboutDialog::onCommand(EventRecord* event)
{
    const int id = LOWORD(event->wParam);
    if (id == IDOK || id == IDCANCEL) {
        endDialog();
        return 1;
    }
    if (id == kCreditButton1 || id == kCreditButton2) {
        showCredit(id == kCreditButton1 ? kCreditBitmap1 : kCreditBitmap2);
        return 1;
    }
    return DialogFrameCL::onCommand(event);
}
