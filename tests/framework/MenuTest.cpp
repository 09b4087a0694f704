// Under wine: menus from the test resources, popup menus, command routing
// through menus, icons, raw resources and message boxes.
#include "Application.h"
#include "Frame.h"
#include "Menu.h"
#include "Window.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstring>
#include <string>

using winecheck::check;

namespace {

std::string trail;

class Recorder {
public:
    HMENU initPopup = nullptr;
    int enterIdle = 0;
    LRESULT popupCommand(EventRecord*) { trail += "popup,"; return 1; }
    LRESULT initMenu(EventRecord*) { trail += "initmenu,"; return 0; }
    LRESULT menuSelect(EventRecord* e) { trail += "select" + std::to_string(LOWORD(e->wParam)) + ","; return 0; }
    LRESULT onInitPopup(EventRecord* e)
    {
        if (!initPopup)
            initPopup = reinterpret_cast<HMENU>(e->wParam);
        return 0;
    }
    LRESULT onEnterIdle(EventRecord*)
    {
        // The test ends the menu itself; nobody waits for a click.
        if (++enterIdle == 1)
            EndMenu();
        return 0;
    }
};

class TestFrame : public AppFrameCL {
public:
    explicit TestFrame(const char* title) : AppFrameCL(nullptr, new Layout(80, 80, 360, 260), WS_OVERLAPPEDWINDOW, title) {}
};

std::string menuString(HMENU menu, UINT itemId)
{
    char buf[64] = "";
    GetMenuStringA(menu, itemId, buf, sizeof buf, MF_BYCOMMAND);
    return buf;
}

struct BoxSeen {
    bool found = false;
    HWND owner = reinterpret_cast<HWND>(1);
} boxSeen;

DWORD WINAPI answerBox(LPVOID)
{
    for (int i = 0; i < 200; ++i) {
        HWND box = winecheck::findOwnBox("Frage");
        if (box) {
            boxSeen.found = true;
            boxSeen.owner = GetWindow(box, GW_OWNER);
            Sleep(100);
            PostMessageA(box, WM_COMMAND, IDYES, 0);
            return 0;
        }
        Sleep(50);
    }
    return 0;
}

void resourceMenus(Application* app, Recorder& rec)
{
    TestFrame* frame = new TestFrame("Men\xFC");
    Menu* menu = new Menu(frame, ResourceId(1));
    check(menu->handle() && GetMenu(frame->hwnd) == menu->handle() && frame->getMenu() == menu,
          "menu 1 is loaded and set on the frame");
    // The resource compiler saw Windows-1252, so the bytes come back as such.
    check(menuString(menu->handle(), 101) == "&\xDC" "ber ...", "GetMenuStringA(101) gives the 1252 bytes of \"&Über ...\"");
    check(menuString(menu->handle(), 100) == "&\xD6" "ffnen ...", "item 100 is \"&Öffnen ...\"");
    HMENU file = GetSubMenu(menu->handle(), 0);
    check(GetMenuItemCount(file) == 2, "the Datei popup holds two items");

    UINT s100 = GetMenuState(menu->handle(), 100, MF_BYCOMMAND);
    UINT s101 = GetMenuState(menu->handle(), 101, MF_BYCOMMAND);
    menu->grayItem(999, 1);
    check(GetMenuState(menu->handle(), 100, MF_BYCOMMAND) == s100 && GetMenuState(menu->handle(), 101, MF_BYCOMMAND) == s101,
          "graying an id the menu lacks changes nothing");
    menu->grayItem(101, 1);
    check((GetMenuState(menu->handle(), 101, MF_BYCOMMAND) & MF_GRAYED) != 0, "grayItem grays");
    menu->grayItem(101, 0);
    check((GetMenuState(menu->handle(), 101, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0, "grayItem 0 enables");
    check(menu->enableItem(101, 0) == 1 && (GetMenuState(menu->handle(), 101, MF_BYCOMMAND) & MF_DISABLED) != 0,
          "enableItem 0 disables");
    check(menu->enableItem(999, 1) == 0, "enableItem of a missing id fails");
    menu->enableItem(101, 1);
    check(menu->checkItem(100, 1) == 1 && (GetMenuState(menu->handle(), 100, MF_BYCOMMAND) & MF_CHECKED) != 0,
          "checkItem checks");
    check(menu->checkItem(999, 1) == 0, "checkItem of a missing id fails");
    menu->checkItem(100, 0);

    menu->onInitMenu(&rec, &Recorder::initMenu);
    menu->onMenuSelect(&rec, &Recorder::menuSelect);
    trail.clear();
    SendMessageA(frame->hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu->handle()), 0);
    SendMessageA(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(101, MF_HILITE), reinterpret_cast<LPARAM>(file));
    check(trail == "initmenu,select101,", "WM_INITMENU and WM_MENUSELECT reach the menu's handlers");
    check(menu->removeMenuSelectHandler(&rec, &Recorder::menuSelect) == 1, "removeMenuSelectHandler");
    trail.clear();
    SendMessageA(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(100, MF_HILITE), reinterpret_cast<LPARAM>(file));
    check(trail.empty(), "the removed select handler is not called");

    // A menu built in code, with a submenu whose object goes first.
    TestFrame* second = new TestFrame("Zweites");
    Menu* bar = new Menu(second);
    bar->appendItem(300, "&Eins");
    bar->insertItemAt(0, 301, "&Null");
    bar->appendSeparator();
    check(GetMenuItemCount(bar->handle()) == 3 && GetMenuItemID(bar->handle(), 0) == 301, "appendItem and insertItemAt");
    check(bar->deleteItemAt(2) && GetMenuItemCount(bar->handle()) == 2, "deleteItemAt");
    Menu* sub = new Menu();
    sub->appendItem(310, "Unter");
    bar->appendPopup(sub, "&Mehr");
    HMENU subHandle = sub->handle();
    delete sub;
    check(IsMenu(subHandle) && GetSubMenu(bar->handle(), 2) == subHandle && menuString(bar->handle(), 310) == "Unter",
          "a submenu object deleted first leaves a working popup");
    Menu* front = new Menu();
    front->appendItem(320, "Vorn");
    bar->insertPopup(front, "&Vorn", 0);
    HMENU frontHandle = front->handle();
    bar->deleteItemAt(0);
    check(!IsMenu(frontHandle), "deleteItemAt destroys the submenu with its item");
    delete front;
    bar->redraw();

    // A new menu from the resource replaces the menu bar (and its object).
    Menu* replacement = new Menu(second, ResourceId(1));
    check(second->getMenu() == replacement && GetMenu(second->hwnd) == replacement->handle() && !IsMenu(subHandle),
          "a new attached menu replaces the old one, which goes with its submenus");
    HMENU attached = replacement->handle();
    DestroyWindow(second->hwnd);
    check(replacement->handle() == nullptr && !IsMenu(attached),
          "Windows destroys the menu with the window; the Menu only forgets its handle");
    delete second;

    // A menu whose window went first destroys only its handle.
    TestFrame* third = new TestFrame("Drittes");
    PopupMenu* orphan = new PopupMenu(5, 5, third, ResourceId(1));
    HMENU orphanLoaded = orphan->loaded;
    DestroyWindow(third->hwnd);
    delete orphan;
    check(!IsMenu(orphanLoaded), "deleting a popup whose window is gone destroys its loaded menu");
    delete third;

    SystemMenu* system = new SystemMenu(frame);
    HMENU systemHandle = system->handle();
    delete system;
    check(systemHandle && IsMenu(systemHandle), "the system menu stays with its window");

    delete frame;
    (void)app;
}

void popupMenus(Recorder& rec)
{
    TestFrame* frame = new TestFrame("Kontext");
    frame->show(SW_SHOWNORMAL);
    SetForegroundWindow(frame->hwnd);
    frame->AddEventHandler(&rec, &Recorder::onInitPopup, WM_INITMENUPOPUP);
    frame->AddEventHandler(&rec, &Recorder::onEnterIdle, WM_ENTERIDLE);
    PopupMenu* popup = new PopupMenu(20, 30, frame, ResourceId(1));
    POINT expected = {20, 30};
    ClientToScreen(frame->hwnd, &expected);
    check(popup->screenX == expected.x && popup->screenY == expected.y, "the popup point is converted to the screen");
    popup->onCommand(&rec, &Recorder::popupCommand, 100);
    popup->track();
    check(rec.initPopup == GetSubMenu(popup->loaded, 0),
          "a popup built from a resource tracks the first submenu");
    check(PopupMenu::active() == popup, "the tracked popup is the active one");
    trail.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, 100, 0);
    check(trail == "popup,", "the active popup sees a command after its menu closed");
    delete popup;
    trail.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, 100, 0);
    check(trail.empty() && PopupMenu::active() == nullptr, "a deleted popup sees nothing");

    PopupMenu* empty = new PopupMenu(0, 0, frame);
    empty->appendItem(400, "Leer");
    check(GetMenuItemCount(empty->handle()) == 1, "an empty popup takes items");
    delete empty;
    delete frame;
}

void resourcesAndBadInput(Application* app)
{
    check(app->loadAccelerators(ResourceId(2)) == 1 && app->accelerators, "the application loads accelerator table 2");
    HACCEL table = app->accelerators;
    check(app->loadAccelerators(ResourceId(77)) == 0 && app->accelerators == table,
          "an accelerator id the resources lack loads nothing");
    check(app->loadAccelerators(ResourceId(2, "gibtsnicht.dll")) == 0, "a library that does not load gives 0");

    TestFrame* frame = new TestFrame("Ohne Men\xFC");
    Menu* none = new Menu(frame, ResourceId(77));
    Menu* fromNowhere = new Menu(frame, ResourceId(1, "gibtsnicht.dll"));
    check(!none->handle() && !fromNowhere->handle() && GetMenu(frame->hwnd) == nullptr,
          "a menu id the resources lack, or a missing library, gives no menu");
    check(frame->loadAccelerators(ResourceId(77)) == 0, "a frame's missing accelerator table gives 0");
    frame->show(SW_SHOWNORMAL);
    check(IsWindowVisible(frame->hwnd), "the frame still opens");
    delete none;
    delete fromNowhere;

    Icon* icon = new Icon(ResourceId(3));
    HICON handle = icon->handle;
    check(handle != nullptr, "icon 3 loads");
    frame->setClassIcon(icon);
    check(reinterpret_cast<HICON>(GetClassLongPtrA(frame->hwnd, GCLP_HICON)) == handle, "setClassIcon sets the class icon");
    Icon missing(ResourceId(3, "gibtsnicht.dll"));
    check(missing.handle == nullptr, "an icon from a missing library stays null");

    ResourceData data(ResourceId(4));
    check(data.data && data.size == 12 && memcmp(data.data, "Regelkreis", 11) == 0, "raw resource 4 is found and locked");
    ResourceData absent(ResourceId(99));
    check(absent.data == nullptr, "a missing raw resource leaves the pointer null");

    HWND hwnd = frame->hwnd;
    DestroyWindow(hwnd);
    check(!IsWindow(hwnd), "the frame still closes");
    delete frame;

    HANDLE t = CreateThread(nullptr, 0, answerBox, nullptr, 0, nullptr);
    MessageBoxObject box(nullptr, "Weiter?", "Frage", MB_YESNO);
    WaitForSingleObject(t, 10000);
    CloseHandle(t);
    check(boxSeen.found && boxSeen.owner == nullptr && box.answer == IDYES,
          "a message box without owner has no owner and keeps its answer");
}

} // namespace

int main()
{
    winecheck::startWatchdog(60);
    Application* app = new Application(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
    // The main frame lives to the end: its destruction would post WM_QUIT,
    // which ends a popup menu's tracking loop.
    TestFrame* mainFrame = new TestFrame("Haupt");
    Recorder rec;
    resourceMenus(app, rec);
    popupMenus(rec);
    resourcesAndBadInput(app);
    delete mainFrame;
    app->shutdown();
    delete app;
    return winecheck::summary();
}
