#include "AboutBox.h"

#include "Application.h"
#include "Bitmap.h"
#include "Characteristic.h"
#include "Control.h"
#include "DeviceContext.h"
#include "ErrorReporter.h"
#include "Layout.h"
#include "ResString.h"
#include "ResourceId.h"
#include "UnitPoint.h"
#include "strings/KytfuzzyStrings.h"

#include <windows.h>

#include <string>

namespace {

const DWORD kBoxStyle = 0xC80080; // WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
const int kCreditLineY[9] = {167, 184, 209, 234, 251, 268, 285, 310, 327};
const int kBuildLineY = 150;

const DeviceMetrics* injectedMetrics = nullptr;
AboutDialogHook dialogHook = nullptr;
int liveObjects = 0;

void assertion(bool ok, const char* expression)
{
    if (!ok)
        reportError(ERR_FATAL, "Assertion failed: %s, file %s", expression, "DIALOGS");
}

Bitmap* loadPicture(unsigned int id)
{
    Bitmap* b = new Bitmap(ResourceId(id));
    assertion(b->bitmap() != nullptr, "bmp");
    return b;
}

// Bits per pixel of a pane's context on the screen (or of the injected device).
int screenDepth(WindowCL* parent)
{
    if (injectedMetrics)
        return injectedMetrics->deviceCaps(BITSPIXEL) * injectedMetrics->deviceCaps(PLANES);
    HDC dc = GetDC(parent && parent->isWindow() ? parent->hwnd : nullptr);
    const int depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(parent && parent->isWindow() ? parent->hwnd : nullptr, dc);
    return depth;
}

AboutRect windowRect(HWND hwnd)
{
    RECT r = {0, 0, 0, 0};
    if (hwnd)
        GetWindowRect(hwnd, &r);
    return AboutRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Window size minus client size.
void nonClient(HWND hwnd, int& width, int& height)
{
    RECT w, c;
    GetWindowRect(hwnd, &w);
    GetClientRect(hwnd, &c);
    width = (w.right - w.left) - (c.right - c.left);
    height = (w.bottom - w.top) - (c.bottom - c.top);
}

// Centred on the picture: x = (int)(width * 0.5 + 0.5) - text width / 2.
void centredLine(HDC dc, int pictureWidth, int y, const std::string& text)
{
    SIZE s = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
    const int x = static_cast<int>(pictureWidth * 0.5 + 0.5) - s.cx / 2;
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

std::string buildLine()
{
    return std::string("Rev --") + " -- " + __DATE__ + " " + __TIME__ + " 32 bit";
}

} // namespace

const AboutContent& fuzzyAboutContent()
{
    static const AboutContent content = {
        159,
        {kStrFzAbout1, kStrFzAbout2, kStrFzAbout3, kStrFzAbout4, kStrFzAbout5, kStrFzAbout6, kStrFzAbout7, kStrFzAbout8, kStrFzAbout9},
        {{151, "&Idee", "Die Idee hinter KYTfuzzy"},
         {155, "&Team", "Das Team von KYTfuzzy"},
         {149, "&Dank", "Dank an alle Helfer"}}};
    return content;
}

void setAboutDeviceMetrics(const DeviceMetrics* metrics)
{
    injectedMetrics = metrics;
}

void setAboutDialogHook(AboutDialogHook hook)
{
    dialogHook = hook;
}

int aboutLiveObjects()
{
    return liveObjects;
}

// ---------------------------------------------------------------- AboutPane

AboutPane::AboutPane(WindowCL* parentWindow, const AboutContent& c)
    : PaneWindowCL(parentWindow, new FillLayout, WS_CHILD | WS_CLIPCHILDREN), content(c),
      bitmap(loadPicture(c.picture))
{
    ++liveObjects;
}

AboutPane::~AboutPane()
{
    --liveObjects;
    delete bitmap;
}

LRESULT AboutPane::onCommand(EventRecord* event)
{
    // The buttons are the pane's children; their clicks belong to the box.
    return parent ? parent->onCommand(event) : 0;
}

LRESULT AboutPane::paint(DeviceContext& dc)
{
    dc.drawBitmap(*bitmap, 0, 0, SRCCOPY);
    HDC h = dc.hdc;
    if (!h)
        return 1;
    const int height = -MulDiv(80, GetDeviceCaps(h, LOGPIXELSY), 720);
    HFONT font = CreateFontA(height, 0, 0, 0, 900, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, VARIABLE_PITCH, "Helv");
    assertion(font != nullptr, "cfnt");
    HGDIOBJ old = SelectObject(h, font);
    const int oldMode = SetBkMode(h, TRANSPARENT);
    const int width = bitmap->getSize().x();
    centredLine(h, width, kBuildLineY, buildLine());
    for (int i = 0; i < 9; ++i) {
        const char* text = getResString(content.creditLines[i]);
        centredLine(h, width, kCreditLineY[i], text ? text : "");
    }
    SetBkMode(h, oldMode);
    SelectObject(h, old);
    DeleteObject(font);
    return 1;
}

// ---------------------------------------------------------------- AboutDialog

AboutDialog::AboutDialog(WindowCL* parentWindow, const AboutContent& c, const char* text, DWORD windowStyle)
    : DialogFrameCL(parentWindow, new Layout, windowStyle | kBoxStyle, text), content(c), contentPane(nullptr)
{
    ++liveObjects;
    contentPane = new AboutPane(this, content);
    assertion(contentPane != nullptr, "bp");
    const Point picture = contentPane->picture()->getSize();
    int extraWidth = 0, extraHeight = 0;
    nonClient(hwnd, extraWidth, extraHeight);
    const DialogUnitPoint button(44, 12);
    const AboutLayout l = aboutLayout(picture.x(), picture.y(), extraWidth, extraHeight,
                                      windowRect(parent ? parent->hwnd : nullptr), button.pixelX, button.pixelY);
    MoveWindow(hwnd, l.box.left, l.box.top, l.box.width, l.box.height, FALSE);
    if (geometry)
        geometry->layout(nullptr);
    contentPane->show(SW_SHOW);
    ok = new ButtonCL(contentPane, new Geometry(l.centreX, l.buttonY, button.pixelX, button.pixelY),
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, "OK", IDOK);
    ok->create();
    ok->show(SW_SHOW);
    if (ok->isWindow())
        SetFocus(ok->hwnd);
    if (screenDepth(parent) >= 16) {
        const int xs[3] = {l.leftX, l.centreX, l.rightX};
        // The buttons sit left, centre, right: the centre one shares the
        // OK button's column, above the row's other two.
        const int ys[3] = {l.buttonY, l.buttonY - button.pixelY * 3 / 2, l.buttonY};
        for (int place = 0; place < 3; ++place) {
            credits[place] = new ButtonCL(contentPane, new Geometry(xs[place], ys[place], button.pixelX, button.pixelY),
                                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                          content.credits[place].text, content.credits[place].id);
            credits[place]->create();
            credits[place]->show(SW_SHOW);
        }
    }
    show(SW_SHOW);
    if (dialogHook)
        dialogHook(this);
    runModal();
}

AboutDialog::~AboutDialog()
{
    --liveObjects;
    // Open pictures go with the box; each clears its own slot.
    for (PictureDialog*& p : pictures)
        delete p;
    delete contentPane;
    contentPane = nullptr;
}

LRESULT AboutDialog::onCommand(EventRecord* event)
{
    const int id = LOWORD(event->wParam);
    if (id == IDOK || id == IDCANCEL) {
        endDialog();
        return 1;
    }
    for (int place = 0; place < 3; ++place)
        if (credits[place] && id == content.credits[place].id) {
            openPicture(place);
            return 1;
        }
    return 0;
}

void AboutDialog::openPicture(int place)
{
    if (pictures[place])
        return;
    EnableWindow(credits[place]->hwnd, FALSE);
    if (ok && ok->isWindow())
        SetFocus(ok->hwnd);
    new PictureDialog(this, place, content.credits[place].title, static_cast<unsigned>(content.credits[place].id),
                      &pictures[place], credits[place]);
}

// ---------------------------------------------------------------- PicturePane

PicturePane::PicturePane(WindowCL* parentWindow, unsigned int id)
    : PaneWindowCL(parentWindow, new FillLayout, WS_CHILD), bitmap(loadPicture(id))
{
    ++liveObjects;
}

PicturePane::~PicturePane()
{
    --liveObjects;
    delete bitmap;
}

LRESULT PicturePane::onCommand(EventRecord* event)
{
    return parent ? parent->onCommand(event) : 0;
}

LRESULT PicturePane::paint(DeviceContext& dc)
{
    dc.drawBitmap(*bitmap, 0, 0, SRCCOPY);
    return 1;
}

// ---------------------------------------------------------------- PictureDialog

PictureDialog::PictureDialog(AboutDialog* about, int place, const char* text, unsigned int picture,
                             PictureDialog** field, ButtonCL* creditButton)
    : DialogFrameCL(about, new Layout, kBoxStyle, text), pane(nullptr), slot(field), button(creditButton)
{
    ++liveObjects;
    *slot = this;
    pane = new PicturePane(this, picture);
    const Point size = pane->picture()->getSize();
    int extraWidth = 0, extraHeight = 0;
    nonClient(hwnd, extraWidth, extraHeight);
    const AboutRect r =
        creditWindowPlace(windowRect(about->hwnd), place, size.x() + extraWidth, size.y() + extraHeight);
    pane->show(SW_SHOW);
    MoveWindow(hwnd, r.left, r.top, r.width, r.height, FALSE);
    if (geometry)
        geometry->layout(nullptr);
    state |= STATE_AUTODELETE;
    show(SW_SHOW);
}

PictureDialog::~PictureDialog()
{
    --liveObjects;
    delete pane;
    pane = nullptr;
    if (slot && *slot == this)
        *slot = nullptr;
}

LRESULT PictureDialog::onClose(EventRecord*)
{
    if (button && button->isWindow())
        EnableWindow(button->hwnd, TRUE);
    return 0;
}
