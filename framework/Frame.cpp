#include "Frame.h"

#include "Application.h"
#include "Menu.h"

namespace {

bool isEmptyGeometry(const Geometry* g)
{
    if (!g)
        return true;
    bool empty = g->x == 0 && g->y == 0 && g->width == 0 && g->height == 0;
    bool notGiven = g->x == kNotGiven && g->y == kNotGiven && g->width == kNotGiven && g->height == kNotGiven;
    return empty || notGiven;
}

} // namespace

FrameWindowCL::FrameWindowCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text)
    : WindowCL(parentWindow, g, windowStyle)
{
    initFrame();
    if (text)
        title = text;
}

FrameWindowCL::FrameWindowCL(WindowCL* parentWindow) : WindowCL(parentWindow)
{
    initFrame();
}

void FrameWindowCL::initFrame()
{
    id = 0;
    menu = nullptr;
    accelerators = nullptr;
    backColor = GetSysColor(COLOR_APPWORKSPACE);
    if (theApplication)
        theApplication->offerMainFrame(this);
}

FrameWindowCL::~FrameWindowCL()
{
    Menu* attached = menu;
    menu = nullptr;
    delete attached;
    if (theApplication) {
        theApplication->removeFrameAccelerators(this);
        theApplication->mainFrameDeleted(this);
    }
}

void FrameWindowCL::setAttachedMenu(Menu* m)
{
    if (m == menu)
        return;
    Menu* old = menu;
    menu = m;
    // The menu bar that was replaced goes with its object.
    if (old && m)
        delete old;
}

void FrameWindowCL::create()
{
    // 1. The class, registered on first use.
    registerWindowClass(classInfo(), false, nullptr);
    // 2. The window, without a parent on the Windows side; the title comes
    //    with the first show.
    hwnd = createAtGeometry(nullptr);
    if (!hwnd)
        return;
    // 3. Into the map.
    mapWindow();
    if (menu && menu->handle())
        SetMenu(hwnd, menu->handle());
    // 4. The real rectangle back into the geometry.
    RECT r;
    GetWindowRect(hwnd, &r);
    if (geometry) {
        if (isEmptyGeometry(geometry) && (style & WS_POPUP)) {
            geometry->x = r.left;
            geometry->y = r.top;
            geometry->width = 500;
            geometry->height = 500;
            MoveWindow(hwnd, r.left, r.top, 500, 500, TRUE);
        } else {
            // Screen coordinates: a frame is top-level whatever its parent
            // object, and WM_MOVE reports it so.
            geometry->x = r.left;
            geometry->y = r.top;
            geometry->width = r.right - r.left;
            geometry->height = r.bottom - r.top;
        }
    }
    // The timers made before the main frame get their pulse now.
    if (theApplication && static_cast<WindowCL*>(theApplication->mainFrame) == this && TimerService::current())
        TimerService::current()->ensurePulse();
}

int FrameWindowCL::loadAccelerators(const ResourceId& resource)
{
    HACCEL table = loadAcceleratorTable(resource);
    if (!table)
        return 0;
    accelerators = table;
    if (theApplication)
        theApplication->addFrameAccelerators(this);
    return 1;
}

AppFrameCL::AppFrameCL(void*, Geometry* g, DWORD windowStyle, const char* text)
    : FrameWindowCL(nullptr, g, windowStyle, text)
{
    className = "AppFrameCL";
    create();
}

WNDCLASSA* AppFrameCL::classInfo()
{
    WNDCLASSA* wc = WindowCL::classInfo();
    wc->style = 0;
    wc->lpfnWndProc = FrameWindowProc;
    wc->lpszClassName = "AppFrameCL";
    return wc;
}

void AppFrameCL::show(int cmd)
{
    if (!markFirstShow(cmd))
        return;
    SetWindowTextA(hwnd, title.text());
    ShowWindow(hwnd, cmd);
    UpdateWindow(hwnd);
    if (cmd)
        style |= WS_VISIBLE;
}
