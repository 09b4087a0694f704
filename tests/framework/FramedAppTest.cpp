// Under wine: a whole framed application through the framework's WinMain.
//
//   framedapp_test PNG-PATH   the framed application; saves what the window shows
//   framedapp_test --quit3    PostQuitMessage(3) before the loop: the program exits 3
//   framedapp_test --minus1   GetMessageA fails: the program exits -1
#include "Application.h"
#include "Frame.h"
#include "Menu.h"
#include "Window.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using winecheck::check;
using winecheck::pixelOf;
using winecheck::saveWindowPicture;

namespace {

// ---------------------------------------------------------------- the application

class Strip : public VisualCtrl {
public:
    Strip(WindowCL* parentWindow, Geometry* g, COLORREF colour) : VisualCtrl(parentWindow, g, WS_VISIBLE)
    {
        backColor = colour;
        create();
    }
};

Rect placeInParent(HWND child, HWND parentWindow)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&r), 2);
    return Rect(r.left, r.top, r.right, r.bottom);
}

class FramedApp {
public:
    explicit FramedApp(const std::string& picture) : picturePath(picture) {}

    AppFrameCL* frame = nullptr;
    Strip* top = nullptr;
    Strip* fill = nullptr;
    Timer* timer = nullptr;
    std::string picturePath;
    std::vector<int> commandHighWords;
    int idleRuns = 0;
    int idleRunsAtCheck = -1;
    int ticks = 0;
    bool checked = false;

    int idle()
    {
        // Done on its fifth pass.
        return ++idleRuns == 5 ? 1 : 0;
    }

    LRESULT open(EventRecord* e)
    {
        commandHighWords.push_back(HIWORD(e->wParam));
        return 1;
    }

    void tick()
    {
        ++ticks;
        if (checked || ticks < 3 || commandHighWords.size() < 2 || idleRuns < 5)
            return;
        checked = true;
        idleRunsAtCheck = idleRuns;
        RECT client;
        GetClientRect(frame->hwnd, &client);
        check(client.right == 400 && client.bottom == 300, "the client area is 400 x 300");
        check(placeInParent(top->hwnd, frame->hwnd) == Rect(0, 0, 400, 40), "the top strip is {0, 0, 400, 40}");
        check(placeInParent(fill->hwnd, frame->hwnd) == Rect(0, 40, 400, 300), "the fill child is {0, 40, 400, 300}");
        check(top->geometry->rect() == Rect(0, 0, 400, 40) && fill->geometry->rect() == Rect(0, 40, 400, 300),
              "their geometries agree");
        check(pixelOf(top->hwnd, 200, 20) == RGB(255, 0, 0), "the strip reads back red");
        check(pixelOf(fill->hwnd, 200, 130) == RGB(0, 0, 255), "the fill child reads back blue");
        check(saveWindowPicture(frame->hwnd, picturePath), "the picture is saved");
        PostMessageA(frame->hwnd, WM_CLOSE, 0, 0);
    }

    void run(Application* app)
    {
        winecheck::destroyCounts().clear();
        HHOOK hook = winecheck::watchDestroys();
        const DWORD frameStyle = WS_OVERLAPPEDWINDOW;
        RECT outer = {0, 0, 400, 300};
        AdjustWindowRectEx(&outer, frameStyle, TRUE, 0);
        frame = new AppFrameCL(nullptr, new Layout(120, 90, outer.right - outer.left, outer.bottom - outer.top),
                               frameStyle, "Regelkreis \xDC" "bersicht");
        Menu* menu = new Menu(frame, ResourceId(1));
        menu->onCommand(this, &FramedApp::open, 100);
        check(app->loadAccelerators(ResourceId(2)) == 1, "accelerator table 2 loads");
        frame->setClassIcon(new Icon(ResourceId(3)));
        top = new Strip(frame, new EdgeLayout(PLACE_TOP, 0, 40), RGB(255, 0, 0));
        fill = new Strip(frame, new FillLayout, RGB(0, 0, 255));
        frame->show(SW_SHOWNORMAL);
        top->show(SW_SHOW);
        fill->show(SW_SHOW);
        app->addIdleTask(this, &FramedApp::idle);
        timer = new Timer(this, &FramedApp::tick, 100);
        HWND frameWindow = frame->hwnd, topWindow = top->hwnd, fillWindow = fill->hwnd;

        PostMessageA(frame->hwnd, WM_COMMAND, 100, 0);
        PostMessageA(frame->hwnd, WM_KEYDOWN, VK_F2, 0x003C0001);
        int code = app->MessageLoop();

        check(code == 0, "a posted WM_CLOSE ends the loop with exit code 0");
        check(commandHighWords == std::vector<int>({0, 1}), "command 100 arrives with high word 0, then 1 (accelerator)");
        check(idleRuns == 5 && idleRunsAtCheck == 5, "the idle task runs until it returns 1, then never again");
        printf("timer ticks: %d\n", ticks);
        check(ticks >= 3, "the 100 ms timer fires at least three times");
        check(checked, "the window was checked while it ran");
        auto& counts = winecheck::destroyCounts();
        // Wine may destroy windows of its own (the input method's) with the last one.
        check(counts[frameWindow] == 1 && counts[topWindow] == 1 && counts[fillWindow] == 1,
              "each window destroyed once");
        size_t destroyed = counts.size();
        check(app->mainFrame == frame && (frame->state & STATE_GONE), "the main frame's window is gone");
        delete timer;
        delete frame;
        check(counts.size() == destroyed && counts[frameWindow] == 1 && counts[topWindow] == 1 &&
                  counts[fillWindow] == 1,
              "deleting the objects destroys nothing again");
        UnhookWindowsHookEx(hook);
        app->exitCode = code != 0 ? code : (winecheck::failures() ? 1 : 0);
        winecheck::summary();
    }
};

class FailingSource : public MessageSource {
public:
    BOOL getMessage(MSG*) override { return -1; }
};


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    std::string args = winecheck::trimmedArgument(app->commandLine.text());
    if (args == "--quit3") {
        AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(), WS_OVERLAPPEDWINDOW, "Ende");
        PostQuitMessage(3);
        printf("loop ended with %d\n", app->MessageLoop());
        delete frame;
        return;
    }
    if (args == "--minus1") {
        FailingSource failing;
        app->setMessageSource(&failing);
        printf("loop ended with %d\n", app->MessageLoop());
        app->setMessageSource(nullptr);
        return;
    }
    FramedApp framed(args);
    framed.run(app);
}
