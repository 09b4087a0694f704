// Under wine: the workspace's File and Window menus on a real menu bar, the
// posted 9032, and the File menu greyed during a run (a picture of it is
// saved to the path given as the argument).
#include "Application.h"
#include "DeferredMessages.h"
#include "Frame.h"
#include "Menu.h"
#include "Window.h"
#include "WineCheck.h"
#include "Workspace.h"
#include "WorkspaceWin.h"

#include "ErrorReporter.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using winecheck::check;

namespace {

// ---------------------------------------------------------------- pictures

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> data;  // top row first
    COLORREF at(int x, int y) const { return data[size_t(y) * width + x]; }
};

// The rectangle (screen coordinates) as the device context dc (at dcLeft,
// dcTop on the screen) shows it.
Pixels capture(HDC dc, const RECT& r, int dcLeft, int dcTop)
{
    Pixels px;
    px.width = r.right - r.left;
    px.height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = px.width;
    info.bmiHeader.biHeight = -px.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, px.width, px.height, dc, r.left - dcLeft, r.top - dcTop, SRCCOPY);
    GdiFlush();
    const unsigned char* p = static_cast<const unsigned char*>(bits);
    px.data.resize(size_t(px.width) * px.height);
    for (size_t i = 0; i < px.data.size(); ++i)
        px.data[i] = RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4]);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return px;
}

bool savePng(const Pixels& px, const std::string& path)
{
    std::vector<unsigned char> rgb(px.data.size() * 3);
    for (size_t i = 0; i < px.data.size(); ++i) {
        rgb[i * 3] = GetRValue(px.data[i]);
        rgb[i * 3 + 1] = GetGValue(px.data[i]);
        rgb[i * 3 + 2] = GetBValue(px.data[i]);
    }
    return winecheck::savePng(rgb, px.width, px.height, path);
}

// ---------------------------------------------------------------- the frames

// The test's main frame: six popups, as the main frame has them, and 9032
// routed to the deferred messages.
class TestMainFrame : public AppFrameCL {
public:
    TestMainFrame() : AppFrameCL(nullptr, new Layout(450, 40, 520, 360), WS_OVERLAPPEDWINDOW, "KYT")
    {
        Menu* bar = new Menu(this);
        const char* titles[] = {"&Datei", "&Bearbeiten", "&Simulation", "&Optionen", "&Ansicht", "&Fenster"};
        for (int i = 0; i < 6; ++i) {
            Menu popup;
            if (i == 1)
                for (int c : {1118, 2000, 2001, 2002, 149})
                    popup.appendItem(static_cast<UINT>(c), "Bearbeiten");
            if (i == 2) {
                popup.appendItem(9008, "&Start ...\tCtrl+G");
                popup.appendItem(140, "Starte so&fort\tCtrl+R");
                popup.appendItem(9031, "St&op");
            }
            bar->appendPopup(&popup, titles[i]);
        }
        bar->onCommand(this, &TestMainFrame::onDeferred, 9032);
    }
    LRESULT onDeferred(EventRecord* e) { return flushDeferredMessages(LOWORD(e->wParam)); }
};

// A plain frame in a plot slot, until the plot frame comes.
class PlainPlotFrame : public AppFrameCL, public PlotWindow {
public:
    PlainPlotFrame(int x, int y, int w, int h, const char* title)
        : AppFrameCL(nullptr, new Layout(x, y, w, h), WS_OVERLAPPEDWINDOW, title)
    {
        Menu* bar = new Menu(static_cast<AppFrameCL*>(this));
        Menu popup;
        for (int c : kPlotRunCommands)
            popup.appendItem(static_cast<UINT>(c), "Befehl");
        bar->appendPopup(&popup, "&ZIZadir");
        // The title comes with the first show.
        show(SW_SHOWNOACTIVATE);
    }
    void setTitle(const char* t) override { WindowCL::setTitle(t); }
    String getTitle() override { return WindowCL::getTitle(); }
    void checkCommand(int command, bool on) override
    {
        if (getMenu())
            getMenu()->checkItem(static_cast<UINT>(command), on);
    }
    void enableCommand(int command, bool on) override
    {
        if (getMenu())
            getMenu()->grayItem(static_cast<UINT>(command), on ? 0 : 1);
    }
    void showAndRaise() override
    {
        show(SW_SHOW);
        BringWindowToTop(hwnd);
    }
};

class PlainPlotFactory : public PlotWindowFactory {
public:
    PlotWindow* createPlotWindow(WindowCL*, int x, int y, int width, int height, const char* title) override
    {
        return new PlainPlotFrame(x, y, width, height, title);
    }
};

// ---------------------------------------------------------------- checks

std::string itemText(HMENU menu, UINT id)
{
    char buf[300] = "";
    GetMenuStringA(menu, id, buf, sizeof buf, MF_BYCOMMAND);
    return buf;
}

std::vector<int> itemIds(HMENU menu)
{
    std::vector<int> ids;
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        ids.push_back((info.fType & MFT_SEPARATOR) ? 0 : static_cast<int>(info.wID));
    }
    return ids;
}

void fileMenu(TestMainFrame* frame, Workspace& w)
{
    w.rebuildFileMenu();
    HMENU file = GetSubMenu(GetMenu(frame->hwnd), 0);
    check(itemIds(file) == std::vector<int>({9003, 111, 0, 112, 141, 0, 1126, 0, 9001, 0, 4017}),
          "without recent files the File menu ends 9001, -, 4017");

    w.addRecentFile("C:\\Schaltungen\\alt.kyt");
    w.addRecentFile("C:\\Schaltungen\\mitte.kyt");
    w.addRecentFile("C:\\Meine Schaltungen\\R\xfc""ckf\xfchrung.kyt");
    file = GetSubMenu(GetMenu(frame->hwnd), 0);
    check(itemIds(file) ==
              std::vector<int>({9003, 111, 0, 112, 141, 0, 1126, 0, 9001, 0, 1101, 2102, 2103, 0, 4017}),
          "the File menu with three recent files");
    char title[32] = "";
    GetMenuStringA(GetMenu(frame->hwnd), 0, title, sizeof title, MF_BYPOSITION);
    check(std::string(title) == "&Datei", "the File menu stays at position 0");
    check(itemText(file, 1101) == "&1 C:\\Meine Schaltungen\\R\xfc""ckf\xfchrung.kyt",
          "the newest recent file is item &1, in Windows-1252");
    check(itemText(file, 2103) == "&3 C:\\Schaltungen\\alt.kyt", "the oldest is item &3");
    check(itemText(file, 111) == "\xd6&ffne Schaltung ...\tCtrl+O", "the texts are Windows-1252 bytes");
    check(itemText(file, 4017) == "&Beenden", "Beenden closes the menu");
}

void windowMenu(TestMainFrame* frame, Workspace& w)
{
    for (int i = 0; i < 3; ++i) {
        check(w.openPlotWindow(frame) == 0, "a plot frame opens");
        if (i < 2)
            w.freezePlotWindow(plotOszi);
    }
    HMENU win = GetSubMenu(GetMenu(frame->hwnd), 5);
    check(itemIds(win) == std::vector<int>({230, 0, 201, 202, 203}), "the Window menu lists three slots");
    check(itemText(win, 230) == "&Aktives ZIZadir nach vorne\tCtrl+T", "230 comes first");
    check(itemText(win, 201) == "&1 KYTide:ZIZAdir 1 - eingefroren", "slot 1 frozen");
    check(itemText(win, 203) == "&3 KYTide:ZIZAdir 3 - aktiv", "slot 3 active");
    char text[100] = "";
    GetWindowTextA(static_cast<PlainPlotFrame*>(plotOszi)->hwnd, text, sizeof text);
    check(std::string(text) == "KYTide:ZIZAdir 3 - aktiv", "the frame carries its title");
    char title[32] = "";
    GetMenuStringA(GetMenu(frame->hwnd), 5, title, sizeof title, MF_BYPOSITION);
    check(std::string(title) == "&Fenster", "the Window menu stays at position 5");
}

void postedMessages(TestMainFrame* frame)
{
    // The program's own message boxes, answered by the box watcher in the
    // order they come.
    int pauseWord = 0;
    setRunPauseWord(&pauseWord);
    setDeferredCommandPoster(commandPosterFor(frame));
    queueDeferredMessage(ERR_MESSAGE, "erste 100%");
    queueDeferredMessage(ERR_MESSAGE, "zweite %d");
    check(pauseWord == 1, "the run pauses");
    winecheck::BoxWatcher boxes("Nachricht", IDOK, 10000, 2);
    // The boxes are modal inside the 9032 handler: pump until the drain ends.
    for (int i = 0; i < 500 && pauseWord != 0; ++i) {
        winecheck::pump();
        Sleep(10);
    }
    check(boxes.texts() == std::vector<std::string>({"erste 100%", "zweite %d"}),
          "the posted 9032 shows both messages in two boxes, in order and as they stand");
    winecheck::pump();
    check(pauseWord == 0, "and the run goes on");
    setDeferredCommandPoster(nullptr);
    setRunPauseWord(nullptr);
}

// ---------------------------------------------------------------- the open File menu

struct MenuLook {
    HWND frame = nullptr;
    HMENU file = nullptr;
    std::string picture;
    int textPixels = -1;
    bool seen = false;
};
MenuLook look;

void CALLBACK lookAtMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup) {
        EndMenu();
        return;
    }
    look.seen = true;
    RECT pr;
    GetWindowRect(popup, &pr);
    HDC dc = GetWindowDC(popup);
    Pixels px = capture(dc, pr, pr.left, pr.top);
    ReleaseDC(popup, dc);
    COLORREF textColour = GetSysColor(COLOR_MENUTEXT);
    int count = 0;
    int n = GetMenuItemCount(look.file);
    for (int i = 0; i < n; ++i) {
        RECT r;
        if (!GetMenuItemRect(nullptr, look.file, static_cast<UINT>(i), &r))
            continue;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                int cx = x - pr.left, cy = y - pr.top;
                if (cx >= 0 && cy >= 0 && cx < px.width && cy < px.height && px.at(cx, cy) == textColour)
                    ++count;
            }
    }
    look.textPixels = count;
    if (!look.picture.empty()) {
        // The frame and the open menu, as the screen shows them.
        RECT fr;
        GetWindowRect(look.frame, &fr);
        RECT all;
        UnionRect(&all, &fr, &pr);
        HDC screen = GetDC(nullptr);
        Pixels shot = capture(screen, all, 0, 0);
        ReleaseDC(nullptr, screen);
        check(savePng(shot, look.picture), "the picture of the open File menu is saved");
    }
    EndMenu();
}

// Opens the File menu below the frame's menu bar and looks at it.
int menuTextPixels(TestMainFrame* frame, const std::string& picture)
{
    look = MenuLook();
    look.frame = frame->hwnd;
    look.file = GetSubMenu(GetMenu(frame->hwnd), 0);
    look.picture = picture;
    RECT r;
    GetWindowRect(frame->hwnd, &r);
    SetForegroundWindow(frame->hwnd);
    SetTimer(nullptr, 0, 400, lookAtMenu);
    TrackPopupMenu(look.file, TPM_LEFTALIGN | TPM_TOPALIGN, r.left + 10, r.top + 50, 0, frame->hwnd, nullptr);
    winecheck::pump();
    check(look.seen, "the File menu was open");
    return look.textPixels;
}

} // namespace

int main(int argc, char** argv)
{
    winecheck::startWatchdog(60);
    std::string picture = argc > 1 ? argv[1] : "";
    Application* app = new Application(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
    TestMainFrame* frame = new TestMainFrame();
    frame->show(SW_SHOWNORMAL);
    UpdateWindow(frame->hwnd);

    Workspace* w = new Workspace;
    setWorkspace(w);
    FrameMenuSink menu(frame);
    PlainPlotFactory plots;
    w->setMainMenu(&menu);
    w->setPlotWindowFactory(&plots);
    w->setQuestionCallback(askWithMessageBox);
    w->updateMainTitle("regler.kyt");

    fileMenu(frame, *w);
    windowMenu(frame, *w);
    postedMessages(frame);

    char title[100] = "";
    w->setSimulationRunningUi(0);
    GetWindowTextA(frame->hwnd, title, sizeof title);
    check(std::string(title) == "KYT 2.52 - regler.kyt", "the main title");
    HMENU bar = GetMenu(frame->hwnd);
    check((GetMenuState(bar, 9008, MF_BYCOMMAND) & MF_GRAYED) && !(GetMenuState(bar, 9031, MF_BYCOMMAND) & MF_GRAYED),
          "during a run Start is grey and Stop is not");
    check(GetMenuState(bar, 2000, MF_BYCOMMAND) & MF_GRAYED, "during a run editing is grey");
    SetForegroundWindow(frame->hwnd);
    winecheck::pump();
    int during = menuTextPixels(frame, picture);
    check(during == 0, "during a run no File menu item shows the menu-text colour");
    w->setSimulationStoppedUi(0);
    check(!(GetMenuState(bar, 9008, MF_BYCOMMAND) & MF_GRAYED) && (GetMenuState(bar, 9031, MF_BYCOMMAND) & MF_GRAYED),
          "after the run Start is on and Stop grey");
    int after = menuTextPixels(frame, "");
    printf("menu-text pixels: %d during the run, %d after\n", during, after);
    check(after > 0, "after the run the File menu items show the menu-text colour");

    // Frames first, then the menu's frame.
    delete w;
    w = nullptr;
    clearDeferredMessages();
    delete frame;
    app->shutdown();
    delete app;
    return winecheck::summary();
}
