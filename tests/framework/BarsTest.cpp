// Under wine: a frame with a menu of the test ids, a tool bar laid out like
// the main bar with test strips (a radio group of three, the menu linked)
// and a frame status bar with clock, NUM, CAP and a main field that shows
// menu help. Clicks, latching, disabling, hover help, field texts, the clock
// and the key states, read back by state and pixels. Saves the frame.
//
//   framework_bars_test PNG-PATH
#include "Application.h"
#include "ControlSeams.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "Menu.h"
#include "Profile.h"
#include "StatusBar.h"
#include "Timer.h"
#include "ToolBar.h"
#include "WineCheck.h"

#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

using winecheck::check;
using winecheck::pixelOf;

namespace {

const int kMenu = 131;
const COLORREF kCells[6] = {RGB(200, 0, 0),   RGB(0, 200, 0),   RGB(0, 0, 200),
                            RGB(200, 200, 0), RGB(0, 200, 200), RGB(200, 0, 200)};
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGray = RGB(128, 128, 128);
const COLORREF kBlack = RGB(0, 0, 0);

uint32_t fakeTick = 1000;
uint32_t tick()
{
    return fakeTick;
}

std::time_t clockNow = 0;
std::time_t clockTime()
{
    return clockNow;
}

bool numOn = true;
bool toggled(int key)
{
    return key == VK_NUMLOCK ? numOn : false;
}

HWND pointerWindow = nullptr;
HWND pointer()
{
    return pointerWindow;
}

std::time_t todayAt(int hour, int minute, int second)
{
    std::tm t = {};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 11;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

void runTimers(uint32_t ms)
{
    fakeTick += ms;
    TimerService::instance().dispatch();
}

// A strip of six 16 x 16 cells of the test colours.
HBITMAP testStrip()
{
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 96, 16);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, strip);
    for (int i = 0; i < 6; ++i) {
        RECT r = {i * 16, 0, i * 16 + 16, 16};
        HBRUSH b = CreateSolidBrush(kCells[i]);
        FillRect(memory, &r, b);
        DeleteObject(b);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return strip;
}

struct Counter {
    std::vector<EventRecord> seen;
    LRESULT record(EventRecord* event)
    {
        seen.push_back(*event);
        return 0;
    }
    int count(UINT message, WPARAM low) const
    {
        int n = 0;
        for (const EventRecord& e : seen)
            n += e.message == message && LOWORD(e.wParam) == low;
        return n;
    }
};

void click(HWND hwnd)
{
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 12));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(13, 12));
}

bool menuChecked(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool menuGrayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

bool invalid(HWND hwnd)
{
    return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
}

RECT fieldRect(StatusField* f)
{
    const Rect b = f->bounds();
    return RECT{b.left(), b.top(), b.right(), b.bottom()};
}


// The main bar's sequence: 0 is a group gap.
const int kSequence[] = {9003, 111, 112, 9001, 0, 1267, 1268, 1269, 0, 4010, 0,
                         9005, 9006, 9007, 0,   9008, 140, 9031, 0,   230};

ToolBarCL* buildToolBar(AppFrameCL* frame)
{
    ToolBarCL* bar = new ToolBarCL(frame, new EdgeLayout(PLACE_TOP, 0, 30), 0x001);
    int n = 1;
    bar->addSpacer(n++, Point(4, 0));
    for (int id : kSequence) {
        if (!id) {
            bar->addSpacer(n++, Point(16, 0));
            continue;
        }
        const DWORD style = (id >= 1267 && id <= 1269) ? 0x230 : 0;
        new BmpButtonCL(bar, new BarItemLayout(n++, Point(27, 25)), style, "", id, testStrip());
    }
    return bar;
}

// Texts wider than their field, as the plot frame's file field gets a long
// path beside its date: each is shortened with "..." inside its own field (a
// path keeps its file name), nothing reaches the empty field beside it, and
// a short text after a long one leaves nothing of the long one behind.
void checkShortenedTexts(const std::string& picture)
{
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(40, 460, 320, 90), WS_OVERLAPPEDWINDOW, "Felder");
    StatusBarCL* bar = new StatusBarCL(frame, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    StatusField* beside = new StatusField(bar, PLACE_RIGHT, "11.12.2026, 16:47:35", 2, 0);
    StatusField* field = new StatusField(bar, PLACE_REST, nullptr, 1, 0);
    frame->show(SW_SHOW);
    bar->show(SW_SHOW);
    winecheck::pump();
    UpdateWindow(frame->hwnd);

    struct Case {
        const char* text;
        const char* shownStart; // how the shown text begins and ends; null: shown whole
        const char* shownEnd;
    } const cases[] = {
        {"Z:\\work\\main\\build\\install\\Beispiele\\laplace.kyt", "Z:\\", "...\\laplace.kyt"},
        {"Sprungantwort des Regelkreises mit PI-Regler und PT2-Strecke", "Sprungantwort", "..."},
        {"kurz", nullptr, nullptr},
    };
    HDC dc = GetDC(bar->hwnd);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const Case& c : cases) {
        const std::string text = c.text;
        bar->setFieldText(1, c.text);
        UpdateWindow(bar->hwnd);
        const std::string shown = field->shownText();
        if (c.shownEnd) {
            const std::string start = c.shownStart, end = c.shownEnd;
            check(shown != text && shown.size() >= start.size() + end.size() && shown.compare(0, start.size(), start) == 0 &&
                      shown.compare(shown.size() - end.size(), end.size(), end) == 0 &&
                      bar->textWidth(shown.c_str()) <= field->innerRect().right - field->innerRect().left,
                  ("\"" + text + "\" is shown as \"" + shown + "\", inside its field").c_str());
        } else {
            check(shown == text, ("\"" + text + "\" fits and is shown whole").c_str());
            const RECT inner = field->innerRect();
            const int textRight = inner.left + bar->textWidth(c.text) + 2;
            check(!winecheck::hasInk(dc, RECT{textRight, inner.top, inner.right, inner.bottom}, face),
                  "... with nothing of the longer text before it to its right");
        }
        check(!winecheck::hasInk(dc, beside->innerRect(), face), "... and the field beside it stays empty");
        if (&c == &cases[0]) {
            UpdateWindow(frame->hwnd);
            check(winecheck::saveWindowPicture(frame->hwnd, picture), "picture of the shortened path saved");
        }
    }
    ReleaseDC(bar->hwnd, dc);
    delete frame;
}

void run(Application*, const std::string& picture)
{
    TableProfile profile;
    profile.set("intl", "iTime", "1");
    setProfileSource(&profile);
    clockNow = todayAt(9, 5, 10);

    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(40, 40, 620, 260), WS_OVERLAPPEDWINDOW, "Leisten");
    new Menu(frame, ResourceId(kMenu));
    HMENU menu = frame->getMenu() ? frame->getMenu()->handle() : nullptr;
    check(menu != nullptr, "the test menu is attached");
    ToolBarCL* bar = buildToolBar(frame);
    RadioGroup* scale = new RadioGroup(bar, 1267, 1269);
    bar->linkMenu();
    FrameStatusBarCL* status = new FrameStatusBarCL(frame, new EdgeLayout(PLACE_BOTTOM, 0, 0),
                                                    0x1000 | 0x0800 | 0x4000 | 0x0100 | 0x8000);
    frame->show(SW_SHOW);
    bar->show(SW_SHOW);
    status->show(SW_SHOW);
    winecheck::pump();
    UpdateWindow(frame->hwnd);
    winecheck::pump();

    // Layout.
    const int xs[] = {8, 35, 62, 89, 132, 159, 186, 229, 272, 299, 326, 369, 396, 423, 466};
    bool placed = true;
    int i = 0;
    for (int id : kSequence) {
        if (!id)
            continue;
        RECT r;
        GetWindowRect(bar->button(id)->hwnd, &r);
        MapWindowPoints(nullptr, bar->hwnd, reinterpret_cast<POINT*>(&r), 2);
        placed = placed && r.left == xs[i] && r.top == 2 && r.right - r.left == 27 && r.bottom - r.top == 25;
        ++i;
    }
    check(placed, "the main bar's buttons are 27 x 25 at y 2 and x 8, 35, 62, ... 466");

    // Clicks.
    Counter commands;
    frame->AddEventHandler(&commands, &Counter::record, WM_COMMAND);
    HWND open = bar->button(9003)->hwnd;
    click(open);
    check(commands.count(WM_COMMAND, 9003) == 1 &&
              reinterpret_cast<HWND>(commands.seen.back().lParam) == open,
          "a click on 9003 sends one WM_COMMAND 9003 with the button as lParam");
    commands.seen.clear();
    SendMessageA(open, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 12));
    SendMessageA(open, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 12));
    SendMessageA(open, WM_LBUTTONUP, 0, MAKELPARAM(60, 12));
    check(commands.count(WM_COMMAND, 9003) == 0, "press, move outside, release sends nothing");
    // BM_CLICK clicks as the system's buttons do, but not a disabled button.
    SendMessageA(open, BM_CLICK, 0, 0);
    check(commands.count(WM_COMMAND, 9003) == 1, "BM_CLICK on 9003 sends one WM_COMMAND 9003");
    commands.seen.clear();
    bar->enableButton(9003, 0);
    SendMessageA(open, BM_CLICK, 0, 0);
    bar->enableButton(9003, 1);
    check(commands.count(WM_COMMAND, 9003) == 0, "BM_CLICK on a disabled button sends nothing");
    check(pixelOf(open, 6, 1) == kWhite, "pixel (6, 1) of an up button is white");
    SendMessageA(open, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 12));
    check(pixelOf(open, 6, 1) == kGray, "... gray while pressed");
    SendMessageA(open, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 12));
    SendMessageA(open, WM_LBUTTONUP, 0, MAKELPARAM(60, 12));
    check(pixelOf(bar->hwnd, 300, 29) == kBlack && pixelOf(bar->hwnd, 5, 29) == kBlack,
          "the bar's bottom row is black");

    // The radio group and the menu.
    check(bar->isButtonChecked(1267) == 1 && menuChecked(menu, 1267), "the group starts with its first button");
    HWND linear = bar->button(1267)->hwnd, logarithmic = bar->button(1268)->hwnd;
    click(logarithmic);
    check(bar->isButtonChecked(1268) == 1 && pixelOf(logarithmic, 13, 12) == kCells[4],
          "clicking 1268 latches it (the latched cell)");
    check(pixelOf(logarithmic, 6, 1) == kGray, "a latched button is gray at (6, 1)");
    check(bar->isButtonChecked(1267) == 0 && pixelOf(linear, 13, 12) == kCells[0] && !menuChecked(menu, 1267),
          "... and unlatches 1267 (up cell, menu item unchecked)");
    check(commands.count(WM_COMMAND, 1268) == 1, "the group's command still reaches the frame");
    bar->checkButton(1269, 1);
    check(menuChecked(menu, 1269) && bar->isButtonChecked(1269) == 1, "checkButton(1269, 1) checks menu item 1269");
    bar->checkButton(1269, 0);
    check(bar->isButtonChecked(1267) == 1 && bar->isButtonChecked(1269) == 0,
          "checkButton(1269, 0) selects 1267, the next id round the range");
    Counter setChecks;
    bar->button(1267)->AddEventHandler(&setChecks, &Counter::record, BM_SETCHECK);
    check(setCheck(bar->button(1267), 1) == 0 && setChecks.seen.empty(),
          "re-checking a checked button sends no BM_SETCHECK");
    bar->button(1267)->RemoveEventHandler(&setChecks, &Counter::record, BM_SETCHECK);

    // A group deleted before the bar leaves it.
    RadioGroup* transient = new RadioGroup(bar, 9005, 9007);
    delete transient;
    check(bar->radioGroups->size() == 1, "a deleted radio group leaves the bar's list");
    commands.seen.clear();
    click(bar->button(9006)->hwnd);
    check(commands.count(WM_COMMAND, 9006) == 1 && bar->isButtonChecked(9005) == 0,
          "... and its handler: 9006 clicks like any button");

    // Disabling.
    bar->enableButton(9031, 0);
    winecheck::pump();
    check(menuGrayed(menu, 9031), "enableButton(9031, 0) grays menu item 9031");
    check(pixelOf(bar->button(9031)->hwnd, 13, 12) == kCells[1], "... and shows cell 1");
    check(bar->isButtonEnabled(9031) == 0, "isButtonEnabled reads it back");

    // Bad input.
    bar->enableButton(4711, 0);
    check(bar->checkButton(4711, 1) == 0 && bar->isButtonChecked(4711) == 0, "an unknown id does nothing");
    BmpButtonCL* info = bar->button(230);
    check(!info->loadBitmap(ResourceId(4711u)), "a bitmap that fails to load is reported");
    commands.seen.clear();
    click(info->hwnd);
    check(commands.count(WM_COMMAND, 230) == 1, "... and the button still clicks");

    // Status bar.
    HWND statusWindow = status->hwnd;
    RECT client;
    GetClientRect(statusWindow, &client);
    check(client.bottom == status->fontHeight() + 8, "the status bar is the font's height + 8 high");
    check(pixelOf(statusWindow, 50, 0) == kBlack && pixelOf(statusWindow, 50, 1) == kWhite,
          "its top row is black, its second white");
    status->setFieldText(0, "\xdc" "bersetzen");
    UpdateWindow(statusWindow);
    check(status->fieldById(0)->getText() == "\xdc" "bersetzen", "setFieldText shows the text");
    StatusField* main = status->fieldById(0);
    RECT mainRect = fieldRect(main);
    check(winecheck::hasInk(GetDC(statusWindow), RECT{mainRect.left + 3, mainRect.top + 3, mainRect.left + 40,
                                                      mainRect.bottom - 3},
                            GetSysColor(COLOR_BTNFACE)),
          "... on the screen");
    status->setFieldText(0, "\xdc" "bersetzen");
    check(!invalid(statusWindow), "the same text again does not repaint");
    status->setFieldText(4711, "nichts");
    std::string longText(600, 'x');
    status->setFieldText(0, longText.c_str());
    check(main->getText().size() == 499, "a 600-character field text keeps its first 499");
    status->setFieldText(0, "Bereit");
    UpdateWindow(statusWindow);

    // Clock: iTime 1.
    StatusField* clock = status->fields[0];
    check(clock->getText() == "09:05", "at 09:05 the clock reads 09:05");
    clockNow = todayAt(9, 5, 50);
    runTimers(600);
    check(!invalid(statusWindow), "no repaint within the minute");
    clockNow = todayAt(9, 6, 0);
    runTimers(600);
    check(invalid(statusWindow), "a repaint within one tick after the minute changes");
    UpdateWindow(statusWindow);
    check(clock->getText() == "09:06", "... showing 09:06");

    // NUM and CAP.
    StatusField* num = status->fields[1];
    StatusField* caps = status->fields[2];
    numOn = true;
    runTimers(1100);
    check(num->getText() == "NUM" && caps->getText().empty(), "NUM shows NUM when on, CAP nothing when off");
    numOn = false;
    runTimers(1100);
    check(num->getText().empty(), "... and nothing when off");
    setKeyToggleSource([](int) { return true; });
    CapsLockField* capsOn = new CapsLockField(status, PLACE_RIGHT, 77, "CAPS ON");
    status->geometry->layout(nullptr);
    capsOn->paint(nullptr);
    check(capsOn->getText() == "CAPS ON", "a CapsLockField with the on text CAPS ON shows it");
    setKeyToggleSource(toggled);

    // Hover help in field 0.
    Counter selects;
    frame->AddEventHandler(&selects, &Counter::record, WM_MENUSELECT);
    HWND openFile = bar->button(111)->hwnd;
    pointerWindow = openFile;
    SendMessageA(openFile, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    SendMessageA(openFile, WM_MOUSEMOVE, 0, MAKELPARAM(12, 10));
    check(main->getText() == "\xd6" "ffnet eine Schaltung", "hovering over 111 shows its help text in field 0");
    check(selects.count(WM_MENUSELECT, 111) == 1, "... once");
    runTimers(600);
    check(main->getText() != "Bereit", "a tick with the pointer still over it keeps the help");
    pointerWindow = frame->hwnd;
    runTimers(600);
    check(main->getText() == "Bereit", "a tick with the pointer elsewhere restores field 0's text");
    frame->RemoveEventHandler(&selects, &Counter::record, WM_MENUSELECT);

    winecheck::pump();
    UpdateWindow(frame->hwnd);
    check(winecheck::saveWindowPicture(frame->hwnd, picture), "picture of the tool bar and status bar saved");

    // Help across the bar hides the clock.
    AppFrameCL* second = new AppFrameCL(nullptr, new Layout(40, 320, 400, 120), WS_OVERLAPPEDWINDOW, "Hilfe");
    new Menu(second, ResourceId(kMenu));
    FrameStatusBarCL* across =
        new FrameStatusBarCL(second, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0x1000 | 0x2000 | 0x0100);
    second->show(SW_SHOW);
    across->show(SW_SHOW);
    winecheck::pump();
    UpdateWindow(second->hwnd);
    SendMessageA(second->hwnd, WM_MENUSELECT, MAKEWPARAM(112, 0), reinterpret_cast<LPARAM>(GetMenu(second->hwnd)));
    UpdateWindow(across->hwnd);
    check(across->helpShownInBar() && across->help.barText == "Speichert die Schaltung", "help shows across the bar");
    clockNow = todayAt(9, 7, 0);
    runTimers(600);
    UpdateWindow(across->hwnd);
    RECT clockRect = fieldRect(across->fields[0]);
    check(pixelOf(across->hwnd, (clockRect.left + clockRect.right) / 2, (clockRect.top + clockRect.bottom) / 2) ==
              GetSysColor(COLOR_BTNFACE),
          "while help shows across the bar the clock's rectangle stays the bar colour");
    SendMessageA(second->hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    check(!across->helpShownInBar(), "closing the menu shows the fields again");
    delete second;

    checkShortenedTexts(winecheck::pictureFolder(picture) + "statusbar-shortened.png");

    delete scale;
    delete frame;
    setProfileSource(nullptr);
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    disableErrorLog();
    setTickSource(tick);
    setClockSource(clockTime);
    setKeyToggleSource(toggled);
    setPointerWindowSource(pointer);
    run(app, winecheck::trimmedArgument(app->commandLine.text()));
    app->exitCode = winecheck::summary();
}
