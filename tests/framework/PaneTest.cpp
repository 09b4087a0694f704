// Under wine: a frame with a scrolled drawing pane (pen, hatched brush,
// bitmap, region-clipped fill) above a text pane that has scrolled after
// twelve lines; scroll bars, keys, printing into a memory context, the pane
// class, the caret. Saves what the frame shows.
//
//   framework_pane_test PNG-PATH
#include "Application.h"
#include "Bitmap.h"
#include "DeviceContext.h"
#include "Frame.h"
#include "Pane.h"
#include "Scroll.h"
#include "Window.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdio>
#include <string>

using winecheck::check;
using winecheck::pixelOf;

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kBlack = RGB(0, 0, 0);

class DrawingPane : public PaneWindowCL {
public:
    DrawingPane(WindowCL* parentWindow, Geometry* g)
        : PaneWindowCL(parentWindow, g, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL), extent(1000, 800)
    {
        // A 32 x 32 tile: red, yellow, green and blue quarters.
        MemoryDC tileDc(*own, 32, 32);
        const COLORREF quarters[4] = {kRed, RGB(255, 255, 0), kGreen, kBlue};
        for (int i = 0; i < 4; ++i) {
            RECT r = {(i % 2) * 16, (i / 2) * 16, (i % 2) * 16 + 16, (i / 2) * 16 + 16};
            HBRUSH b = CreateSolidBrush(quarters[i]);
            FillRect(tileDc.hdc, &r, b);
            DeleteObject(b);
        }
        tile = tileDc.selectBitmap(nullptr);
    }
    ~DrawingPane() override { delete tile; }

    int getExtent(Point& size) override
    {
        size = extent;
        return 1;
    }

    void dcChanged() override
    {
        ++dcChanges;
        // Another context draws the document where the screen shows it.
        if (current != own)
            current->setWindowOrigin(own->windowOrigin());
    }

    int printTo(DeviceContext* dc, int) override { return static_cast<int>(paintInto(dc)); }

    LRESULT paint(DeviceContext& dc) override
    {
        dc.pushPen(new Pen(PS_SOLID, 3, Color(0, 0, 255)));
        dc.moveTo(20, 60);
        dc.lineTo(300, 60);
        delete dc.setPen(new Pen(PS_SOLID, 1, Color(255, 0, 0)));
        // A marker on document row 40.
        dc.moveTo(350, 40);
        dc.lineTo(390, 40);
        delete dc.popPen();
        dc.pushBrush(new Brush(HS_DIAGCROSS, Color(0, 128, 0)));
        dc.rectangle(20, 80, 140, 160);
        delete dc.popBrush();
        dc.drawBitmap(*tile, 160, 80);
        // The clip region is in device coordinates.
        Region* clip = Region::ellipse(220, 80, 320, 160);
        clip->offset(-dc.windowOrigin().x(), -dc.windowOrigin().y());
        SelectClipRgn(dc.hdc, clip->region());
        dc.pushBrush(new Brush(Color(255, 0, 255)));
        dc.patBlt(200, 70, 140, 100, PATCOPY);
        delete dc.popBrush();
        SelectClipRgn(dc.hdc, nullptr);
        delete clip;
        dc.setBackMode(TRANSPARENT);
        dc.textOut(20, 175, "Zeichnung");
        dc.setBackMode(OPAQUE);
        return 0;
    }

    Point extent;
    Bitmap* tile = nullptr;
    int dcChanges = 0;
};

std::pair<int, int> rangeOf(HWND hwnd, int bar)
{
    int lo = -1, hi = -1;
    GetScrollRange(hwnd, bar, &lo, &hi);
    return {lo, hi};
}

void setCtrl(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

HWND caretWindow()
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    return info.hwndCaret;
}

void run(Application* app, const std::string& picture)
{
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    const int paneHeight = 300 + cy, textHeight = 200;
    const DWORD frameStyle = WS_OVERLAPPEDWINDOW;
    RECT outer = {0, 0, 400 + cx, paneHeight + textHeight};
    AdjustWindowRectEx(&outer, frameStyle, FALSE, 0);
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(60, 40, outer.right - outer.left, outer.bottom - outer.top),
                                       frameStyle, "Zeichnen und Rollen");
    DrawingPane* pane = new DrawingPane(frame, new EdgeLayout(PLACE_TOP, 0, paneHeight));
    TextPaneCL* text = new TextPaneCL(frame, new FillLayout, WS_CHILD | WS_VISIBLE, 10, 40);
    check(pane->dcChanges == 0, "no context change before the first show");
    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    text->show(SW_SHOW);
    winecheck::pump();
    check(pane->dcChanges == 1, "dcChanged runs before the first show");

    RECT client;
    GetClientRect(pane->hwnd, &client);
    check(client.right == 400 && client.bottom == 300, "the drawing pane's client area is 400 x 300");
    ExtentScroller* scroller = new ExtentScroller(pane);
    pane->scroller = scroller;
    scroller->setHorzLine(10);
    // Page unit: the bar's page step of 10 lines of 10 pixels.
    scroller->setView(nullptr, 10, 0);
    scroller->updateBars();
    check(rangeOf(pane->hwnd, SB_HORZ) == std::make_pair(0, 60) && rangeOf(pane->hwnd, SB_VERT) == std::make_pair(0, 50),
          "ranges (0, 60) and (0, 50) for 1000 x 800 in 400 x 300 by 10");
    for (int i = 0; i < 3; ++i)
        SendMessageA(pane->hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
    winecheck::pump();
    check(pane->ownContext()->windowOrigin() == Point(0, 30) && GetScrollPos(pane->hwnd, SB_VERT) == 3,
          "three SB_LINEDOWN give origin y 30");
    check(pixelOf(pane->hwnd, 370, 10) == kRed, "document y 40 shows at client y 10");
    check(pixelOf(pane->hwnd, 100, 29) == kBlue && pixelOf(pane->hwnd, 100, 31) == kBlue &&
              pixelOf(pane->hwnd, 100, 33) != kBlue,
          "the 3-px pen line at its scrolled place");
    HDC paneDc = GetDC(pane->hwnd);
    RECT hatchInside = {21, 51, 139, 129};
    check(GetPixel(paneDc, 80, 50) == kBlack && winecheck::countPixels(paneDc, hatchInside, kGreen) > 200 &&
              winecheck::countPixels(paneDc, hatchInside, GetSysColor(COLOR_WINDOW)) > 2000,
          "the hatched rectangle at its scrolled place");
    check(GetPixel(paneDc, 168, 58) == kRed && GetPixel(paneDc, 184, 58) == RGB(255, 255, 0) &&
              GetPixel(paneDc, 184, 74) == kBlue,
          "the bitmap at its scrolled place");
    check(GetPixel(paneDc, 270, 90) == kMagenta && GetPixel(paneDc, 205, 45) != kMagenta &&
              GetPixel(paneDc, 335, 135) != kMagenta,
          "the fill is clipped to the ellipse region");
    ReleaseDC(pane->hwnd, paneDc);

    // The text pane: twelve lines in ten rows.
    for (int i = 1; i <= 12; ++i) {
        if (i > 1)
            *text << '\n';
        text->printAt(0, text->rows().cursorRow(), "Zeile %d: Regelkreis", i);
    }
    winecheck::pump();
    const CellGeometry& cells = text->cellGeometry();
    printf("text cell %d x %d, margins %d, %d\n", cells.cellWidth, cells.cellHeight, cells.leftMargin, cells.topMargin);
    check(text->rows().rowText(0).compare(0, 7, "Zeile 3") == 0 && text->rows().cursorRow() == 9,
          "after twelve lines the text pane shows lines 3 to 12");
    HDC textDc = GetDC(text->hwnd);
    RECT textClient;
    GetClientRect(text->hwnd, &textClient);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    RECT firstRow = {cells.leftMargin, cells.topMargin, cells.leftMargin + 40 * cells.cellWidth,
                     cells.topMargin + cells.cellHeight};
    RECT topMargin = {0, 0, textClient.right, cells.topMargin};
    RECT leftMargin = {0, 0, cells.leftMargin, textClient.bottom};
    check(winecheck::hasInk(textDc, firstRow, window), "ink in the text pane's first cell row");
    check(!winecheck::hasInk(textDc, topMargin, window) && !winecheck::hasInk(textDc, leftMargin, window),
          "none in its margins");
    RECT lastRow = {cells.leftMargin, cells.topMargin + 9 * cells.cellHeight, textClient.right,
                    cells.topMargin + 10 * cells.cellHeight};
    check(winecheck::hasInk(textDc, lastRow, window), "the last row holds line 12");
    ReleaseDC(text->hwnd, textDc);
    Point cell = text->cellAt(Point(-50, 10000));
    check(cell == Point(0, 9), "cellAt outside the text gives the nearest cell");
    Point extent;
    check(text->getExtent(extent) == 1 && extent == cells.extent(), "the text pane's extent");

    check(winecheck::saveWindowPicture(frame->hwnd, picture), "the picture is saved");

    // Printing into a memory context gives the screen's pixels.
    MemoryDC memory(*pane->ownContext(), 400, 300);
    RECT all = {0, 0, 400, 300};
    FillRect(memory.hdc, &all, GetSysColorBrush(COLOR_WINDOW));
    int changes = pane->dcChanges;
    pane->printTo(&memory, 0);
    check(pane->dcChanges == changes + 2 && pane->currentContext() == pane->ownContext(),
          "dcChanged runs at both switches and the own context is current again");
    // The pane gave the memory context its scroll origin: read device pixels.
    check(memory.windowOrigin() == Point(0, 30), "the printed context drew at the screen's origin");
    memory.setWindowOrigin(Point(0, 0));
    // A hatch pattern's phase follows the window's place on the screen: inside
    // the hatched rectangle only the amount of hatching is compared.
    paneDc = GetDC(pane->hwnd);
    int differing = 0;
    for (int y = 0; y < 300; y += 2)
        for (int x = 0; x < 400; x += 2) {
            const bool hatched = x > 20 && x < 139 && y > 50 && y < 129;
            if (!hatched && GetPixel(paneDc, x, y) != GetPixel(memory.hdc, x, y))
                ++differing;
        }
    const int screenGreen = winecheck::countPixels(paneDc, hatchInside, kGreen);
    const int printedGreen = winecheck::countPixels(memory.hdc, hatchInside, kGreen);
    ReleaseDC(pane->hwnd, paneDc);
    printf("pixels differing between screen and memory: %d; hatching %d and %d\n", differing, screenGreen, printedGreen);
    winecheck::savePicture(memory.hdc, 0, 0, 400, 300, winecheck::pictureFolder(picture) + "panes-printed.png");
    check(differing == 0 && GetPixel(memory.hdc, 100, 30) == kBlue && printedGreen * 20 > screenGreen * 19 &&
              printedGreen * 20 < screenGreen * 21,
          "printTo into a memory context gives the screen's pixels");

    // Keys: Ctrl+End to the bottom, Home without Ctrl is not a scroll key.
    setCtrl(true);
    SendMessageA(pane->hwnd, WM_KEYDOWN, VK_END, 0);
    check(GetScrollPos(pane->hwnd, SB_VERT) == 50 && pane->ownContext()->windowOrigin() == Point(0, 500),
          "Ctrl+End scrolls to the bottom");
    setCtrl(false);
    check(SendMessageA(pane->hwnd, WM_KEYDOWN, VK_HOME, 0) == 0 && GetScrollPos(pane->hwnd, SB_VERT) == 50,
          "Home without Ctrl does not scroll");
    SendMessageA(pane->hwnd, WM_KEYDOWN, VK_PRIOR, 0);
    check(GetScrollPos(pane->hwnd, SB_VERT) == 40 && pane->ownContext()->windowOrigin() == Point(0, 400),
          "Page Up moves a page");

    // The document shrinks to fit.
    pane->extent = Point(300, 200);
    scroller->updateBars();
    check(rangeOf(pane->hwnd, SB_HORZ) == std::make_pair(0, 0) && rangeOf(pane->hwnd, SB_VERT) == std::make_pair(0, 0) &&
              pane->ownContext()->windowOrigin() == Point(0, 0),
          "after the document shrinks to 300 x 200 the ranges and the origin are 0");

    // A second pane: the class is there already.
    PaneWindowCL* second = new PaneWindowCL(frame, nullptr, WS_CHILD);
    check(second->classInfo() == nullptr && second->isWindow(), "a second pane gets no class description and is created");
    delete second;
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, frame->hwnd, nullptr, nullptr, nullptr);
    PaneWindowCL* wrapped = new PaneWindowCL(plain, frame, nullptr, WS_CHILD);
    check(GetWindowLongPtrA(plain, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(PaneWindowProc) &&
              app->winMap->lookup(plain) == wrapped,
          "an existing window is subclassed and mapped");
    delete wrapped;

    // Focus shows the caret, losing it hides it.
    text->setCaret(2, cells.cellHeight);
    SetFocus(text->hwnd);
    check(caretWindow() == text->hwnd, "focus shows the caret");
    SetFocus(pane->hwnd);
    check(caretWindow() == nullptr, "losing the focus hides it");

    delete scroller;
    check(pane->ownContext()->windowOrigin() == Point(0, 0), "the scroller leaves the origin at 0");
    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    run(app, winecheck::trimmedArgument(app->commandLine.text()));
    app->exitCode = winecheck::summary();
}
