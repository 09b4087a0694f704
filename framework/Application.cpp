#include "Application.h"

#include "CtrlWindow.h"
#include "Frame.h"
#include "WinServices.h"
#include "Window.h"

Application* theApplication = nullptr;
HWND currentModelessDialog = nullptr;

HINSTANCE programInstance()
{
    return theApplication ? theApplication->instance : GetModuleHandleA(nullptr);
}

namespace {

// What the layouts ask of real windows.
class WindowPort : public LayoutWindowPort {
public:
    bool clientSize(WindowCL* window, int32_t& width, int32_t& height) override
    {
        if (!window || !window->isWindow())
            return false;
        RECT r;
        GetClientRect(window->hwnd, &r);
        width = r.right - r.left;
        height = r.bottom - r.top;
        return true;
    }
    void moveWindow(WindowCL* window, const Rect& r, int repaint) override
    {
        if (window && window->isWindow())
            MoveWindow(window->hwnd, r.left(), r.top(), r.width(), r.height(), repaint);
    }
};

WindowPort windowPort;

// The timers' pulse: one Windows timer of 100 ms on the main frame.
class MainFramePulse : public TimerPulse {
public:
    int start() override
    {
        if (!theApplication || !theApplication->mainFrame || !theApplication->mainFrame->isWindow())
            return 0;
        return SetTimer(theApplication->mainFrame->hwnd, 1, 100, nullptr) ? 1 : 0;
    }
    void stop(int timerId) override
    {
        if (theApplication && theApplication->mainFrame && theApplication->mainFrame->isWindow())
            KillTimer(theApplication->mainFrame->hwnd, static_cast<UINT_PTR>(timerId));
    }
};

MainFramePulse mainFramePulse;

uint32_t windowsTick()
{
    return GetTickCount();
}

long windowsDialogBaseUnits()
{
    return GetDialogBaseUnits();
}

void readScreen(int32_t& hres, int32_t& vres, int32_t& logX, int32_t& logY, int32_t& vsize, int32_t& hsize)
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    hres = GetDeviceCaps(dc, HORZRES);
    vres = GetDeviceCaps(dc, VERTRES);
    logX = GetDeviceCaps(dc, LOGPIXELSX);
    logY = GetDeviceCaps(dc, LOGPIXELSY);
    hsize = GetDeviceCaps(dc, HORZSIZE);
    vsize = GetDeviceCaps(dc, VERTSIZE);
    ReleaseDC(desktop, dc);
}

} // namespace

BOOL MessageSource::getMessage(MSG* msg)
{
    return GetMessageA(msg, nullptr, 0, 0);
}

BOOL MessageSource::peekMessage(MSG* msg)
{
    return PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE);
}

ScreenMetrics readScreenMetrics()
{
    return ScreenMetrics();
}

Application::Application(HINSTANCE inst, HINSTANCE previous, const char* cmdLine, int show)
    : instance(inst), previousInstance(previous), showCommand(show), commandLine(cmdLine ? cmdLine : ""),
      mainFrame(nullptr), winMap(new WinMap(97)), accelerators(nullptr), applicationHandlers(nullptr),
      defaultResourceLibrary(nullptr), exitCode(0), screenMetrics(0, 0, 0, 0, 0, 0),
      messageSource(&defaultSource), mainFrameTaken(false), shutDown(false)
{
    theApplication = this;
    currentModelessDialog = nullptr;
    // The message boxes of the error reporter and the string table of the module.
    installWindowsServices(inst);
    setLayoutWindowPort(&windowPort);
    setTickSource(windowsTick);
    setTimerPulse(&mainFramePulse);
    setDialogBaseUnitsReader(windowsDialogBaseUnits);
    setScreenMetricsReader(readScreen);
    screenMetrics = ScreenMetrics();
    setStartupScreenMetrics(screenMetrics);
    // Every window answers WM_CTLCOLOR* with its controls' colours.
    setControlColorRoutine(controlColourAtParent);
}

Application::~Application()
{
    if (!shutDown)
        shutdown();
    deleteHandlerList(applicationHandlers);
    if (theApplication == this)
        theApplication = nullptr;
}

void Application::shutdown()
{
    if (shutDown)
        return;
    shutDown = true;
    TimerService::destroyCurrent();
    setTimerPulse(nullptr);
    while (!classNames.isEmpty()) {
        String* name = static_cast<String*>(classNames.removeFirst());
        UnregisterClassA(name->text(), instance);
        delete name;
    }
    {
        DListIteratorOf<CustomControlClass> walk(customControls);
        while (CustomControlClass* record = walk.next()) {
            if (reinterpret_cast<UINT_PTR>(record->library) > 32)
                FreeLibrary(record->library);
            walk.removeCurrent();
            delete record;
        }
    }
    delete winMap;
    winMap = nullptr;
    setLayoutWindowPort(nullptr);
    deleteSharedControlBrush();
}

void Application::quit()
{
    PostQuitMessage(0);
}

bool Application::translateAccelerators(MSG* msg)
{
    // A frame's own table first, for messages to that enabled frame or its children.
    if (!acceleratorFrames.isEmpty() && msg->hwnd) {
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        DListIteratorOf<FrameWindowCL> walk(acceleratorFrames);
        while (FrameWindowCL* frame = walk.next()) {
            if (frame->hwnd == root && frame->accelerators && IsWindowEnabled(frame->hwnd) &&
                TranslateAcceleratorA(frame->hwnd, frame->accelerators, msg))
                return true;
        }
    }
    // Disabled main frames (a modal dialog runs) get no accelerators.
    return accelerators && mainFrame && mainFrame->isWindow() && IsWindowEnabled(mainFrame->hwnd) &&
           TranslateAcceleratorA(mainFrame->hwnd, accelerators, msg);
}

int Application::MessageLoop()
{
    MSG msg = {};
    for (;;) {
        // Without idle tasks the loop blocks and uses no processor time.
        // With them, a message found is taken by that one look: each look
        // is a wineserver round trip.
        BOOL got = TRUE;
        if (idleTasks.getCount() > 0 && idleTasks.isEnabled()) {
            if (!messageSource->peekMessage(&msg)) {
                runIdleTasks();
                continue;
            }
        } else {
            got = messageSource->getMessage(&msg);
        }
        if (got == -1) {
            // GetMessageA failed (a bad window handle or message pointer): the
            // message is not valid; dispatching it would act on garbage.
            exitCode = -1;
            return exitCode;
        }
        if (got == 0 || msg.message == WM_QUIT)
            break;
        if (translateAccelerators(&msg))
            continue;
        if (currentModelessDialog && IsWindow(currentModelessDialog) &&
            IsDialogMessageA(currentModelessDialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    exitCode = static_cast<int>(msg.wParam);
    return exitCode;
}

void Application::addApplicationHandler(HandlerRecord* record)
{
    if (!applicationHandlers)
        applicationHandlers = new HandlerList;
    applicationHandlers->prepend(record);
}

int Application::loadAccelerators(const ResourceId& resource)
{
    HACCEL table = loadAcceleratorTable(resource);
    if (!table)
        return 0;
    accelerators = table;
    return 1;
}

void Application::recordClassName(const char* name)
{
    if (!name || hasClassName(name))
        return;
    classNames.append(new String(name));
}

bool Application::hasClassName(const char* name) const
{
    SListIterator walk(classNames);
    while (void* p = walk.next())
        if (lstrcmpiA(static_cast<String*>(p)->text(), name) == 0)
            return true;
    return false;
}

void Application::addFrameAccelerators(FrameWindowCL* frame)
{
    if (!acceleratorFrames.find(frame))
        acceleratorFrames.append(frame);
}

void Application::removeFrameAccelerators(FrameWindowCL* frame)
{
    acceleratorFrames.remove(frame);
}

void Application::offerMainFrame(FrameWindowCL* frame)
{
    if (mainFrameTaken)
        return;
    mainFrameTaken = true;
    mainFrame = frame;
}

void Application::mainFrameDeleted(FrameWindowCL* frame)
{
    // The main frame stays the main frame; only the pointer must not dangle.
    if (mainFrame == frame)
        mainFrame = nullptr;
}

int Application::addCustomControlClass(const char* name, HMODULE library, HINSTANCE classInstance)
{
    WNDCLASSA wc;
    if (!name || !GetClassInfoA(classInstance, name, &wc))
        return 0;
    CustomControlClass* record = new CustomControlClass{String(name), library, classInstance, wc.lpfnWndProc};
    customControls.append(record);
    return 1;
}

CustomControlClass* Application::findCustomControlClass(const char* name)
{
    DListIteratorOf<CustomControlClass> walk(customControls);
    while (CustomControlClass* record = walk.next())
        if (name && lstrcmpiA(record->className.text(), name) == 0)
            return record;
    return nullptr;
}

// ---------------------------------------------------------------- resources

LPCSTR resourceName(const ResourceId& resource)
{
    return resource.name();
}

HACCEL loadAcceleratorTable(const ResourceId& resource)
{
    ResourceModule from(resource);
    if (from.failed())
        return nullptr;
    return LoadAcceleratorsA(from.module(), resourceName(resource));
}

ResourceModule::ResourceModule(const ResourceId& resource) : handle(nullptr), loaded(nullptr), loadFailed(false)
{
    if (resource.libraryFile) {
        HMODULE lib = LoadLibraryA(resource.libraryFile);
        // Handles below 32 are failures in the old convention.
        if (reinterpret_cast<UINT_PTR>(lib) < 32) {
            loadFailed = true;
            return;
        }
        handle = loaded = lib;
    } else if (resource.module) {
        handle = static_cast<HMODULE>(resource.module);
    } else {
        handle = programInstance();
    }
}

ResourceModule::~ResourceModule()
{
    if (loaded)
        FreeLibrary(loaded);
}

HMODULE ResourceModule::release()
{
    HMODULE lib = loaded;
    loaded = nullptr;
    return lib;
}

Icon::Icon(const ResourceId& res) : handle(nullptr), ownsHandle(0), resource(res)
{
    ResourceModule from(res);
    if (from.failed())
        return;
    handle = LoadIconA(from.module(), resourceName(res));
    ownsHandle = handle != nullptr;
}

Icon::~Icon()
{
    if (handle && ownsHandle)
        DestroyIcon(handle);
}

MessageBoxObject::MessageBoxObject(WindowCL* owner, const char* text, const char* caption, UINT style)
    : answer(MessageBoxA(owner ? owner->hwnd : nullptr, text, caption, style & 0xFFFFu))
{
}
