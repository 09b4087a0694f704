// The one application object of a program: instance handle, registered window
// classes, main frame, idle tasks, window map, accelerators, timers and the
// application-wide handlers; its MessageLoop is the program's main loop and,
// nested, the loop of every modal dialog.
#ifndef KYT_FRAMEWORK_APPLICATION_H
#define KYT_FRAMEWORK_APPLICATION_H

#include "Collections.h"
#include "EventTarget.h"
#include "IdleTasks.h"
#include "ResourceId.h"
#include "String.h"
#include "Timer.h"
#include "UnitPoint.h"
#include "WinMap.h"

#include <windows.h>

class FrameWindowCL;
class WindowCL;

// A window class that a library brings (a custom control of a dialog
// template), with the window procedure the class had when it was recorded.
struct CustomControlClass {
    String className;
    HMODULE library;
    HINSTANCE instance;
    WNDPROC previousProcedure;
};

// Where MessageLoop takes its messages from: GetMessageA and PeekMessageA
// (PM_REMOVE: a message found is taken) by default; tests count the peeks
// and inject failures.
class MessageSource {
public:
    virtual ~MessageSource() {}
    virtual BOOL getMessage(MSG* msg);
    virtual BOOL peekMessage(MSG* msg);
};

class Application {
public:
    Application(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);
    // Calls shutdown when it has not run.
    ~Application();

    // Unregisters the window classes and deletes the window map and the timers.
    void shutdown();
    // PostQuitMessage(0).
    void quit();
    // Runs until WM_QUIT and returns (and keeps) its wParam as the exit code;
    // -1 when GetMessageA fails.
    int MessageLoop();

    // Appends an idle task: it runs on every idle pass until it returns non-zero.
    template <typename O, typename T>
    void addIdleTask(O* object, int (T::*function)())
    {
        idleTasks.add(object, function);
    }
    template <typename O, typename T>
    int removeIdleTask(O* object, int (T::*function)())
    {
        return idleTasks.remove(object, function);
    }
    void runIdleTasks() { idleTasks.runPass(); }

    // A handler for all ids of message on every window, asked after the
    // windows' own lists.
    template <typename O, typename T>
    void addApplicationHandler(O* object, LRESULT (T::*function)(EventRecord*), UINT message)
    {
        addApplicationHandler(new HandlerRecord(function, object, message));
    }
    void addApplicationHandler(HandlerRecord* record);
    template <typename O, typename T>
    int removeApplicationHandler(O* object, LRESULT (T::*function)(EventRecord*), UINT message)
    {
        return removeHandlerRecord(applicationHandlers, message, nullptr, EventCall(object, function));
    }

    // The main frame's accelerators; 1 when a table was loaded.
    int loadAccelerators(const ResourceId& resource);

    // Records a registered class name for unregistering at exit (once per name).
    void recordClassName(const char* name);
    bool hasClassName(const char* name) const;

    // Frames with accelerator tables of their own.
    void addFrameAccelerators(FrameWindowCL* frame);
    void removeFrameAccelerators(FrameWindowCL* frame);

    // The first frame constructed becomes the main frame.
    void offerMainFrame(FrameWindowCL* frame);
    void mainFrameDeleted(FrameWindowCL* frame);

    void setMessageSource(MessageSource* source) { messageSource = source ? source : &defaultSource; }

    // Records a custom control class of a library (loaded by the caller; the
    // record frees it at shutdown). 0 when the class is not registered.
    int addCustomControlClass(const char* name, HMODULE library, HINSTANCE classInstance);
    // The record of that class name, null when none (the programs record none).
    CustomControlClass* findCustomControlClass(const char* name);

    HINSTANCE instance;
    HINSTANCE previousInstance;
    SList classNames; // of String*
    int showCommand;
    String commandLine;
    FrameWindowCL* mainFrame;
    IdleTaskList idleTasks;
    WinMap* winMap;
    HACCEL accelerators;
    HandlerList* applicationHandlers;
    const char* defaultResourceLibrary;
    int exitCode;
    ScreenMetrics screenMetrics;

private:
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    bool translateAccelerators(MSG* msg);

    MessageSource defaultSource;
    MessageSource* messageSource;
    DListOf<FrameWindowCL> acceleratorFrames;
    DListOf<CustomControlClass> customControls;
    bool mainFrameTaken;
    bool shutDown;
};

// The application object of the program (null before WinMain made it).
extern Application* theApplication;
// The application's instance; before there is one, the program's module.
HINSTANCE programInstance();
// The modeless dialog whose messages go through IsDialogMessageA; 0 when none.
extern HWND currentModelessDialog;

// The program's main function, called by the framework's WinMain.
void appMain(Application* application);

// Resource loading from the library, module or instance that a ResourceId names.
class ResourceModule {
public:
    // A library named by the identifier is loaded; a handle below 32 is a
    // failure and nothing is to be loaded.
    explicit ResourceModule(const ResourceId& resource);
    // Frees a library it loaded.
    ~ResourceModule();
    HMODULE module() const { return handle; }
    bool failed() const { return loadFailed; }
    // Keeps a loaded library after the object goes (the caller frees it).
    HMODULE release();

private:
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    HMODULE handle;
    HMODULE loaded;
    bool loadFailed;
};

// MAKEINTRESOURCE of the identifier's number.
LPCSTR resourceName(const ResourceId& resource);

// The accelerator table the identifier names; null when its library or the
// table cannot be loaded.
HACCEL loadAcceleratorTable(const ResourceId& resource);

class Icon {
public:
    explicit Icon(const ResourceId& resource);
    // DestroyIcon when it owns the handle.
    ~Icon();

    HICON handle;
    int ownsHandle;
    ResourceId resource;
};

class MessageBoxObject {
public:
    MessageBoxObject(WindowCL* owner, const char* text, const char* caption, UINT style);
    int answer;
};

// The screen metrics read now from a DC of the desktop window.
ScreenMetrics readScreenMetrics();

#endif
