// Under wine: window objects with real windows. Messages are sent to them and
// the test reads back what the handlers, the virtual operations, the
// geometries and the screen saw.
#include "Application.h"
#include "Frame.h"
#include "Menu.h"
#include "Window.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

using winecheck::check;

namespace {

std::string trail;

class Recorder {
public:
    LRESULT menuHandler(EventRecord*) { trail += "menu,"; return 0; }
    LRESULT commandList(EventRecord*) { trail += "command,"; return 0; }
    LRESULT messageList(EventRecord*) { trail += "message,"; return 0; }
    LRESULT applicationList(EventRecord*) { trail += "application,"; return 0; }
    LRESULT wide(EventRecord*) { return static_cast<LRESULT>(0x100000001LL); }
    LRESULT keyOlder(EventRecord*) { trail += "older,"; return 5; }
    LRESULT keyNewer(EventRecord*) { trail += "newer,"; return 0; }
    LRESULT button(EventRecord* e)
    {
        const MouseEvent* m = static_cast<const MouseEvent*>(e);
        trail += "button,";
        if (m->isButton(1) && !m->isButton(2) && m->isButtonHeld(1) && !m->isButtonHeld(3) && m->x() == -3 &&
            m->y() == 5)
            trail += "left at (-3, 5),";
        return 1;
    }
    LRESULT ranged(EventRecord* e) { trail += "ranged" + std::to_string(HIWORD(e->wParam)) + ","; return 1; }
    LRESULT posted(EventRecord*) { trail += "posted,"; return 1; }
    // An idle task that posts a message on its first call and ends the loop
    // on its second.
    HWND postTo = nullptr;
    int postingCalls = 0;
    int postingIdle()
    {
        trail += "idle" + std::to_string(++postingCalls) + ",";
        if (postingCalls == 1) {
            PostMessageA(postTo, WM_USER + 9, 0, 0);
            return 0;
        }
        PostQuitMessage(8);
        return 1;
    }
    int idleCalls = 0;
    int idle()
    {
        ++idleCalls;
        if (idleCalls == 3) {
            PostQuitMessage(7);
            return 1;
        }
        return 0;
    }
};

class RecordingFrame : public AppFrameCL {
public:
    explicit RecordingFrame(const char* title)
        : AppFrameCL(nullptr, new Layout(60, 60, 420, 340), WS_OVERLAPPEDWINDOW, title)
    {
    }
    LRESULT onCommand(EventRecord*) override
    {
        trail += "onCommand,";
        return 0;
    }
    LRESULT defaultEvent(EventRecord* e) override
    {
        if (e->message == WM_COMMAND)
            trail += "default,";
        return AppFrameCL::defaultEvent(e);
    }
};

// A child window filled with its background colour.
class Patch : public VisualCtrl {
public:
    Patch(WindowCL* parentWindow, Geometry* g, COLORREF colour, const char* tag)
        : VisualCtrl(parentWindow, g, WS_VISIBLE), name(tag)
    {
        backColor = colour;
        create();
    }
    ~Patch() override { trail += std::string("delete ") + name + ","; }
    const char* name;
};

// A frame of a class of its own when classStyle is set before create.
class PlainFrame : public FrameWindowCL {
public:
    PlainFrame(Geometry* g, DWORD windowStyle, uint16_t ownClassStyle = 0)
        : FrameWindowCL(nullptr, g, windowStyle, "Rahmen")
    {
        className = "PlainFrameCL";
        classStyle = ownClassStyle;
        create();
    }
};

class CountingSource : public MessageSource {
public:
    int peeks = 0;
    int failNextGet = 0;
    BOOL getMessage(MSG* msg) override
    {
        if (failNextGet) {
            --failNextGet;
            return -1;
        }
        return MessageSource::getMessage(msg);
    }
    BOOL peekMessage(MSG* msg) override
    {
        ++peeks;
        return MessageSource::peekMessage(msg);
    }
};

COLORREF pixelOf(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

bool quitWaiting(WPARAM* code)
{
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        if (code)
            *code = msg.wParam;
        return true;
    }
    return false;
}

void dispatchOrder(Application* app, RecordingFrame* frame, Recorder& rec)
{
    Menu* menu = new Menu(frame, ResourceId(1));
    menu->onCommand(&rec, &Recorder::menuHandler, 100);
    check((frame->handlerFlags & HF_MENU) != 0, "a menu handler gives its window flag 8");
    frame->addCommandHandler(new HandlerRecord(100, &Recorder::commandList, &rec, WM_COMMAND));
    frame->AddEventHandler(&rec, &Recorder::messageList, WM_COMMAND);
    app->addApplicationHandler(&rec, &Recorder::applicationList, WM_COMMAND);

    trail.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, 100, 0);
    printf("order: %s\n", trail.c_str());
    check(trail == "menu,command,message,application,onCommand,default,",
          "WM_COMMAND: menu, command list, message list, application list, onCommand, DefWindowProcA");

    trail.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, MAKEWPARAM(100, 1), 0);
    check(trail.rfind("menu,", 0) == 0, "a menu handler for 100 sees the accelerator form (high word 1)");

    frame->AddEventHandler(&rec, &Recorder::wide, WM_COMMAND);
    LRESULT r = SendMessageA(frame->hwnd, WM_COMMAND, 100, 0);
    check(r == static_cast<LRESULT>(0x100000001LL), "a handler result 0x100000001 reaches SendMessageA whole");
    frame->RemoveEventHandler(&rec, &Recorder::wide, WM_COMMAND);
    check(SendMessageA(frame->hwnd, WM_COMMAND, 100, 0) == 0, "a removed handler is not asked");

    check(menu->removeCommandHandler(&rec, &Recorder::menuHandler) == 1,
          "removeCommandHandler finds a one-id handler");
    trail.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, 100, 0);
    check(trail == "command,message,application,onCommand,default,", "the removed menu handler is not called");

    frame->addCommandHandler(new HandlerRecord(90, 110, &Recorder::ranged, &rec, WM_COMMAND));
    trail.clear();
    SendMessageA(frame->hwnd, WM_COMMAND, MAKEWPARAM(105, 1), 0);
    check(trail == "ranged1,", "an accelerator command matches an id range on the low word");

    app->removeApplicationHandler(&rec, &Recorder::applicationList, WM_COMMAND);
    frame->removeCommandHandlerRecord(&rec, &Recorder::ranged);
}

void handlerFlags(RecordingFrame* frame, Recorder& rec)
{
    frame->AddEventHandler(&rec, &Recorder::button, WM_LBUTTONDOWN);
    frame->AddEventHandler(&rec, &Recorder::keyOlder, WM_KEYDOWN);
    frame->AddEventHandler(&rec, &Recorder::keyNewer, WM_KEYDOWN);
    trail.clear();
    SendMessageA(frame->hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    check(trail.empty(), "a WM_LBUTTONDOWN handler waits for flag 0x100");
    frame->setHandlerFlags(HF_BUTTONDOWN);
    SendMessageA(frame->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 5));
    check(trail == "button,left at (-3, 5),", "with flag 0x100 the button handler runs and reads the mouse event");
    trail.clear();
    LRESULT r = SendMessageA(frame->hwnd, WM_KEYDOWN, VK_F5, 0);
    check(trail == "newer,older," && r == 5,
          "a WM_KEYDOWN handler needs no flag; the newest is asked first and 0 passes on");
}

void layoutAndPaint(RecordingFrame* frame)
{
    Patch* strip = new Patch(frame, new EdgeLayout(PLACE_TOP, 0, 40), RGB(255, 0, 0), "strip");
    Patch* rest = new Patch(frame, new FillLayout, RGB(0, 0, 255), "rest");
    frame->show(SW_SHOWNORMAL);
    strip->show(SW_SHOW);
    rest->show(SW_SHOW);
    RECT client;
    GetClientRect(frame->hwnd, &client);
    RECT a, b;
    GetWindowRect(strip->hwnd, &a);
    GetWindowRect(rest->hwnd, &b);
    MapWindowPoints(nullptr, frame->hwnd, reinterpret_cast<POINT*>(&a), 2);
    MapWindowPoints(nullptr, frame->hwnd, reinterpret_cast<POINT*>(&b), 2);
    check(a.left == 0 && a.top == 0 && a.right == client.right && a.bottom == 40, "the top strip takes 40 pixels");
    check(b.left == 0 && b.top == 40 && b.right == client.right && b.bottom == client.bottom,
          "the fill child takes the rest");
    UpdateWindow(frame->hwnd);
    UpdateWindow(strip->hwnd);
    UpdateWindow(rest->hwnd);
    check(pixelOf(strip->hwnd, 3, 3) == RGB(255, 0, 0), "the strip is painted red");
    check(pixelOf(rest->hwnd, 3, 3) == RGB(0, 0, 255), "the fill child is painted blue");

    // Minimised: the size is stored, nothing is laid out.
    SendMessageA(frame->hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    RECT a2;
    GetWindowRect(strip->hwnd, &a2);
    MapWindowPoints(nullptr, frame->hwnd, reinterpret_cast<POINT*>(&a2), 2);
    check(frame->geometry->width == 0 && frame->geometry->height == 0 && a2.right == a.right,
          "WM_SIZE with SIZE_MINIMIZED stores 0 x 0 and lays nothing out");
    SendMessageA(frame->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));

    // A moved child keeps a negative origin.
    MoveWindow(strip->hwnd, -20, -10, 60, 30, TRUE);
    check(strip->geometry->x == -20 && strip->geometry->y == -10, "a child moved to (-20, -10) has that origin");

    // Erasing: -2 leaves the background alone, -3 takes the parent's colour.
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    RECT all = {0, 0, 8, 8};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(mem, &all, green);
    EventRecord erase = {0, reinterpret_cast<WPARAM>(mem), WM_ERASEBKGND, strip->hwnd};
    strip->backColor = kNoBackground;
    check(strip->onEraseBackground(&erase) == 0 && GetPixel(mem, 2, 2) == RGB(0, 255, 0),
          "a window with background -2 is not erased by the framework");
    frame->backColor = RGB(10, 20, 30);
    strip->backColor = kParentBackground;
    check(strip->onEraseBackground(&erase) == 1 && GetPixel(mem, 2, 2) == RGB(10, 20, 30),
          "background -3 paints the parent's colour");
    strip->setBackColor(Color(0x01336699u));
    check(strip->backColor == 0x02336699u, "a colour with a flag becomes palette-relative");
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteObject(green);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    check(strip->nextSibling() == rest && rest->nextSibling() == strip && rest->previousSibling() == strip &&
              strip->previousSibling() == strip,
          "siblings wrap forward; the first child is its own previous");
    rest->id = 7;
    check(frame->findChild(7) == rest && frame->findChild(8) == nullptr && frame->findChildPosition(7) != nullptr,
          "findChild by id");
}

void lifecycle(Application* app)
{
    winecheck::destroyCounts().clear();
    HHOOK hook = winecheck::watchDestroys();
    PlainFrame* parent = new PlainFrame(new Layout(10, 10, 300, 200), WS_OVERLAPPEDWINDOW);
    Patch* one = new Patch(parent, new Layout(0, 0, 50, 50), RGB(1, 2, 3), "one");
    Patch* two = new Patch(parent, new Layout(60, 0, 50, 50), RGB(1, 2, 3), "two");
    HWND hp = parent->hwnd, h1 = one->hwnd, h2 = two->hwnd;
    trail.clear();
    delete parent;
    check(trail == "delete one,delete two,", "deleting a parent deletes its children first");
    auto& counts = winecheck::destroyCounts();
    check(counts[hp] == 1 && counts[h1] == 1 && counts[h2] == 1, "each window destroyed once");
    check(app->winMap->lookup(hp) == nullptr && app->winMap->lookup(h1) == nullptr, "the map forgets them");

    // A window destroyed by Windows leaves its object alive unless auto-delete.
    PlainFrame* keeper = new PlainFrame(new Layout(10, 10, 200, 100), WS_OVERLAPPEDWINDOW);
    Patch* autoChild = new Patch(keeper, new Layout(0, 0, 20, 20), RGB(0, 0, 0), "auto");
    autoChild->state |= STATE_AUTODELETE;
    trail.clear();
    DestroyWindow(keeper->hwnd);
    check(trail == "delete auto," && (keeper->state & STATE_GONE) != 0 && keeper->findChild(0) == nullptr,
          "WM_NCDESTROY deletes an auto-delete child and marks the parent gone");
    counts.clear();
    delete keeper;
    check(counts.empty(), "deleting an object whose window is gone destroys nothing");

    WPARAM code = 99;
    PlainFrame* other = new PlainFrame(new Layout(10, 10, 200, 100), WS_OVERLAPPEDWINDOW);
    DestroyWindow(other->hwnd);
    check(!quitWaiting(&code), "WM_DESTROY of a frame that is not the main frame posts nothing");
    delete other;
    UnhookWindowsHookEx(hook);
}

void frames(Application* app)
{
    PlainFrame* popup = new PlainFrame(new Layout(0, 0, 0, 0), WS_POPUP);
    RECT r;
    GetWindowRect(popup->hwnd, &r);
    check(r.right - r.left == 500 && r.bottom - r.top == 500 && popup->geometry->width == 500,
          "a popup frame with an empty geometry comes up 500 x 500");
    delete popup;

    PlainFrame* overlapped = new PlainFrame(new Layout(), WS_OVERLAPPEDWINDOW);
    GetWindowRect(overlapped->hwnd, &r);
    check(overlapped->geometry->width == r.right - r.left && overlapped->geometry->height == r.bottom - r.top &&
              overlapped->geometry->width > 0 && overlapped->geometry->x == r.left,
          "an overlapped frame with a default geometry keeps the size Windows chose");
    delete overlapped;

    PlainFrame* a = new PlainFrame(new Layout(0, 0, 100, 100), WS_OVERLAPPEDWINDOW, CS_DBLCLKS);
    PlainFrame* b = new PlainFrame(new Layout(0, 0, 100, 100), WS_OVERLAPPEDWINDOW, CS_DBLCLKS);
    char ca[64] = "", cb[64] = "", expected[64];
    GetClassNameA(a->hwnd, ca, sizeof ca);
    GetClassNameA(b->hwnd, cb, sizeof cb);
    snprintf(expected, sizeof expected, "%lld", static_cast<long long>(reinterpret_cast<intptr_t>(a)));
    check(strcmp(ca, cb) != 0 && strcmp(ca, expected) == 0 && GetClassLongA(a->hwnd, GCL_STYLE) == CS_DBLCLKS,
          "two frames with class-style words get two classes named by their addresses");
    check(app->hasClassName(ca) && app->hasClassName(cb), "both class names are kept for unregistering");
    delete a;
    delete b;

    int before = app->classNames.getCount();
    AppFrameCL* second = new AppFrameCL(nullptr, new Layout(30, 30, 200, 150), WS_OVERLAPPEDWINDOW, "Zweites");
    second->show(SW_SHOWNORMAL);
    char title[32] = "";
    GetWindowTextA(second->hwnd, title, sizeof title);
    check(app->classNames.getCount() == before && second->hwnd && strcmp(title, "Zweites") == 0,
          "a second AppFrameCL registers nothing new and still works");
    second->setTitle("Dritter Titel");
    GetWindowTextA(second->hwnd, title, sizeof title);
    check(strcmp(title, "Dritter Titel") == 0 && second->getTitle() == String("Dritter Titel"), "setTitle");
    delete second;

    check(app->findCustomControlClass("AppFrameCL") == nullptr, "no custom control class is recorded at first");
    check(app->addCustomControlClass("AppFrameCL", nullptr, app->instance) == 1 &&
              app->findCustomControlClass("appframecl") &&
              app->findCustomControlClass("AppFrameCL")->previousProcedure == FrameWindowProc &&
              app->addCustomControlClass("GibtsNicht", nullptr, app->instance) == 0,
          "custom control classes are found by name with the procedure they had");

    // A window that no object owns goes to DefWindowProcA.
    HWND stranger = CreateWindowExA(0, "AppFrameCL", "fremd", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                    app->instance, nullptr);
    char text[16] = "";
    SendMessageA(stranger, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    trail.clear();
    SendMessageA(stranger, WM_COMMAND, 100, 0);
    check(stranger && strcmp(text, "fremd") == 0 && trail.empty(), "a message for an unknown HWND goes to DefWindowProcA");
    DestroyWindow(stranger);
}

void messageLoop(Application* app, RecordingFrame* frame, Recorder& rec)
{
    CountingSource source;
    app->setMessageSource(&source);

    PostQuitMessage(3);
    int code = app->MessageLoop();
    check(code == 3 && app->exitCode == 3 && source.peeks == 0, "with no idle task the loop never peeks");

    app->addIdleTask(&rec, &Recorder::idle);
    code = app->MessageLoop();
    check(code == 7 && rec.idleCalls == 3 && source.peeks >= 3, "idle tasks run while the queue is empty");

    frame->AddEventHandler(&rec, &Recorder::posted, WM_USER + 9);
    // While idle tasks run, the look that finds a message takes it: it is
    // dispatched once, and the idle passes go on after it.
    rec.postTo = frame->hwnd;
    app->addIdleTask(&rec, &Recorder::postingIdle);
    trail.clear();
    code = app->MessageLoop();
    check(code == 8 && trail == "idle1,posted,idle2,",
          ("a message posted during idle passes is dispatched once between them: " + trail).c_str());

    PostMessageA(frame->hwnd, WM_USER + 9, 0, 0);
    source.failNextGet = 1;
    trail.clear();
    code = app->MessageLoop();
    check(code == -1 && app->exitCode == -1 && trail.empty(), "GetMessageA failing ends the loop with -1, nothing dispatched");
    winecheck::pump();
    check(trail == "posted,", "the message stays for the next loop");

    // Accelerators of a frame's own, only while it is enabled.
    PlainFrame* plot = new PlainFrame(new Layout(40, 40, 200, 150), WS_OVERLAPPEDWINDOW);
    check(plot->loadAccelerators(ResourceId(2)) == 1, "a frame loads accelerator table 2");
    plot->addCommandHandler(new HandlerRecord(100, &Recorder::ranged, &rec, WM_COMMAND));
    trail.clear();
    PostMessageA(plot->hwnd, WM_KEYDOWN, VK_F2, 0x003C0001);
    PostQuitMessage(0);
    app->MessageLoop();
    check(trail == "ranged1,", "F2 to the frame becomes its command 100 with high word 1");
    EnableWindow(plot->hwnd, FALSE);
    trail.clear();
    PostMessageA(plot->hwnd, WM_KEYDOWN, VK_F2, 0x003C0001);
    PostQuitMessage(0);
    app->MessageLoop();
    check(trail.empty(), "a disabled frame gets no accelerators");
    delete plot;
    app->setMessageSource(nullptr);
}

} // namespace

int main()
{
    winecheck::startWatchdog(60);
    Application* app = new Application(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
    check(app->screenMetrics.horzRes == 1024 && app->screenMetrics.vertRes == 768, "screen metrics of the 1024 x 768 display");
    DialogUnitPoint du(8, 16);
    long base = GetDialogBaseUnits();
    check(du.pixelX == LOWORD(base) * 2 && du.pixelY == HIWORD(base) * 2, "dialog units without a dialog use the base units");

    Recorder rec;
    RecordingFrame* frame = new RecordingFrame("Hauptfenster");
    check(app->mainFrame == frame, "the first frame is the main frame");
    dispatchOrder(app, frame, rec);
    handlerFlags(frame, rec);
    layoutAndPaint(frame);
    lifecycle(app);
    frames(app);
    messageLoop(app, frame, rec);

    check(app->mainFrame == frame, "the main frame stays the main frame");
    DestroyWindow(frame->hwnd);
    WPARAM code = 99;
    check(quitWaiting(&code) && code == 0 && !app->idleTasks.isEnabled(),
          "destroying the main frame disables the idle tasks and posts WM_QUIT(0)");
    delete frame;
    check(app->mainFrame == nullptr, "no dangling main frame");
    app->shutdown();
    delete app;
    return winecheck::summary();
}
