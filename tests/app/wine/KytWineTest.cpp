// Under wine: kyt's start and shutdown. In this process, the start sequence
// of kyt on the example (the main frame's title, status field, tool bar,
// menu state, focus and picture, library "Local" emptied, a change that asks
// before the frame closes), "-i" without a circuit and the run option; as
// child processes, kyt itself: closed unchanged, a second instance, an
// installation without library "Local" and one without kyt.ini.
//
//   kyt_wine_test PNG-PATH KYT-PROGRAM INSTALLATION
//   kyt_wine_test --close TITLE   waits for the window of that title and a
//                                 plot window of its process, then closes
//                                 it (the README's command under test)
#include "Application.h"
#include "GedPane.h"
#include "KytProgram.h"
#include "Layout.h"
#include "MainFrame.h"
#include "Menu.h"
#include "ResString.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "KytRegistry.h"
#include "WineCheck.h"
#include "Workspace.h"
#include "ModuleRegistry.h"
#include "RunTimeLibraries.h"

#include <windows.h>

#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

using winecheck::writeText;

const COLORREF kPaneBackground = RGB(255, 255, 232);
const int kButtonIds[] = {9003, 111, 112, 9001, 1267, 1268, 1269, 4010, 9005, 9006, 9007, 9008, 140, 9031, 230};
const int kButtonX[] = {8, 35, 62, 89, 132, 159, 186, 229, 272, 299, 326, 369, 396, 423, 466};

using winecheck::dosPath;

std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i >= text.size())
            break;
        if (text[i] == '"') {
            size_t end = text.find('"', i + 1);
            if (end == std::string::npos)
                end = text.size();
            out.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = text.find(' ', i);
            if (end == std::string::npos)
                end = text.size();
            out.push_back(text.substr(i, end - i));
            i = end;
        }
    }
    return out;
}

std::string readText(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return std::string();
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(f);
    return text;
}

bool fileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using winecheck::windowText;

RECT placeIn(HWND child, HWND parent)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool menuChecked(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool menuGrayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::string stateField(MainFrame* frame)
{
    StatusField* field = frame->getStatusBar()->fieldById(kStateField);
    return field ? field->getText() : std::string("(no field 1)");
}

void settle()
{
    for (int i = 0; i < 5; ++i) {
        winecheck::pump();
        Sleep(20);
    }
}

// kyt's start sequence in this process; the message loop is the test's.
class TestedKyt : public KytProgram {
public:
    TestedKyt(Application* application, const char* line) : KytProgram(application, line) {}
    int runCalls = 0;
    int lastStartAtOnce = -1;

protected:
    void runCircuit(int startAtOnce) override
    {
        ++runCalls;
        lastStartAtOnce = startAtOnce;
    }
    int messageLoop() override
    {
        settle();
        checks();
        // Exit (4017) on an unchanged circuit ends the loop.
        PostMessageA(frame()->hwnd, WM_COMMAND, kCommandExit, 0);
        return KytProgram::messageLoop();
    }
    virtual void checks() {}
};

// ---------------------------------------------------------------- the example

struct Installation {
    std::string dos;     // the installation's directory, DOS form
    std::string program; // kyt.exe.so, DOS form
    std::string picture; // the picture of the main frame
};

class ExampleRun : public TestedKyt {
public:
    ExampleRun(Application* application, const Installation& installation)
        : TestedKyt(application, "example"), inst(installation)
    {
    }

protected:
    int messageLoop() override
    {
        settle();
        MainFrame* f = frame();
        GedPane* pane = f->getPane();
        MainToolBar* bar = f->getToolBar();
        HMENU menu = f->getMenu()->handle();

        check(windowText(f->hwnd) == "KYT 2.52 - example.kyt", "the title is \"KYT 2.52 - example.kyt\"");
        check(stateField(f) == "Bearbeiten", "status field 1 reads \"Bearbeiten\"");
        check(!pane->model().objects.empty(), "the example's blocks are in the pane");

        // The tool bar: 30 pixels at the top, the 15 buttons in their places.
        RECT barRect = placeIn(bar->hwnd, f->hwnd);
        check(barRect.top == 0 && barRect.bottom - barRect.top == kMainToolBarHeight, "the tool bar is 30 pixels high");
        bool placed = true;
        std::string misplaced;
        for (size_t i = 0; i < sizeof kButtonIds / sizeof kButtonIds[0]; ++i) {
            BmpButtonCL* button = bar->button(kButtonIds[i]);
            if (!button) {
                placed = false;
                misplaced += " missing " + std::to_string(kButtonIds[i]);
                continue;
            }
            RECT r = placeIn(button->hwnd, bar->hwnd);
            if (r.left != kButtonX[i] || r.top != 2 || r.right - r.left != 27 || r.bottom - r.top != 25) {
                placed = false;
                misplaced += " " + std::to_string(kButtonIds[i]) + "@" + std::to_string(r.left) + "," +
                         std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "x" +
                         std::to_string(r.bottom - r.top);
            }
        }
        check(placed, ("the 15 buttons lie at x = 8 ... 466, y = 2, 27 x 25" + misplaced).c_str());

        check(bar->isButtonChecked(1267) && menuChecked(menu, 1267), "the edit tool 1267 is checked");
        check(!bar->isButtonEnabled(kCommandStop) && menuGrayed(menu, kCommandStop),
              "Stop (9031) is disabled and greyed in the menu");
        check(menuGrayed(menu, kCommandUndoDelete), "undo (1118) is greyed");
        // Other wine tests share the display and may hold the activation:
        // kyt's frame is brought to the front first, as a click would.
        winecheck::bringToFront(f->hwnd);
        check(GetFocus() == pane->hwnd, "the pane has the focus");

        // Menu 1102: every command of the main window, "&Datei" at position
        // 0 and "&Fenster" at 5, and a help text for every entry.
        char popupTitle[64] = "";
        GetMenuStringA(menu, 0, popupTitle, sizeof popupTitle, MF_BYPOSITION);
        std::string fileTitle = popupTitle;
        GetMenuStringA(menu, 5, popupTitle, sizeof popupTitle, MF_BYPOSITION);
        check(fileTitle == "&Datei" && std::string(popupTitle) == "&Fenster",
              "\"&Datei\" is popup 0 and \"&Fenster\" popup 5");
        const int commands[] = {9003, 111,  112,  141,  1126, 9001, 4017, 1267, 1268, 1269, 1270, 4010,
                                1118, 2000, 2001, 2002, 149,  1100, 18021, 160, 138,  9005, 9006, 9007,
                                143,  144,  4009, 4011, 4012, 9008, 140,  9031, 230,  18010, 4019, 1101};
        std::string missing;
        for (int id : commands)
            if (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) == static_cast<UINT>(-1))
                missing += " " + std::to_string(id);
        check(missing.empty(), ("the menu holds every command of the main window" + missing).c_str());
        std::string withoutHelp;
        for (int p = 0; p < GetMenuItemCount(menu); ++p) {
            HMENU popup = GetSubMenu(menu, p);
            for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
                const UINT id = GetMenuItemID(popup, i);
                char text[200] = "";
                if (id != 0 && id != static_cast<UINT>(-1) &&
                    LoadStringA(GetModuleHandleA(nullptr), kMenuHelpBase + id, text, sizeof text) <= 0)
                    withoutHelp += " " + std::to_string(id);
            }
        }
        check(withoutHelp.empty(), ("every menu entry has its help text" + withoutHelp).c_str());

        // The program's icon, cursors and accelerators.
        HINSTANCE self = GetModuleHandleA(nullptr);
        check(LoadIconA(self, MAKEINTRESOURCEA(kMainIcon)) && LoadCursorA(self, MAKEINTRESOURCEA(121)) &&
                  LoadCursorA(self, MAKEINTRESOURCEA(122)) && LoadCursorA(self, MAKEINTRESOURCEA(1127)),
              "icon 118 and cursors 121, 122 and 1127 load");
        HACCEL keys = LoadAcceleratorsA(self, MAKEINTRESOURCEA(kMainAccelerators));
        check(keys && CopyAcceleratorTableA(keys, nullptr, 0) == 18, "accelerator table 130 has its 18 keys");

        // Menu help in field 2.
        SendMessageA(f->hwnd, WM_MENUSELECT, MAKEWPARAM(111, 0), reinterpret_cast<LPARAM>(menu));
        StatusField* help = f->getStatusBar()->fieldById(kMenuHelpField);
        check(help && help->getText() == getResString(kMenuHelpBase + 111) && !help->getText().empty(),
              "a selected menu entry shows its help in status field 2");
        SendMessageA(f->hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);

        // The picture: the empty pane in its colour, every block's rectangle
        // drawn on.
        InvalidateRect(f->hwnd, nullptr, TRUE);
        UpdateWindow(f->hwnd);
        settle();
        check(winecheck::saveWindowPicture(f->hwnd, inst.picture),
              "the main frame is saved as a picture");
        check(winecheck::pixelOf(pane->hwnd, 5, 5) == kPaneBackground &&
                  winecheck::pixelOf(pane->hwnd, 420, 60) == kPaneBackground,
              "the pane's empty area is RGB(255, 255, 232)");
        RECT client;
        GetClientRect(pane->hwnd, &client);
        HDC dc = GetDC(pane->hwnd);
        bool drawn = true;
        const Point zoom = pane->model().getZoom();
        for (GraphicObject* object : pane->model().objects) {
            if (object->kind() != 1)
                continue;
            BlockObject* block = static_cast<BlockObject*>(object);
            RECT r = {block->position.x() * zoom.x(), block->position.y() * zoom.y(),
                      (block->position.x() + block->getWidth()) * zoom.x(),
                      (block->position.y() + block->getHeight()) * zoom.y()};
            RECT visible;
            if (IntersectRect(&visible, &r, &client) && !winecheck::hasInk(dc, visible, kPaneBackground))
                drawn = false;
        }
        ReleaseDC(pane->hwnd, dc);
        check(drawn, "every block's rectangle holds other pixels");

        // Library "Local" was emptied at the start.
        check(!fileExists(inst.dos + "\\local\\stale.blk"), "a file put into \"Local\" before the start is gone");
        std::string index = readText(inst.dos + "\\local\\ablocks.bfl");
        check(fileExists(inst.dos + "\\local\\ablocks.bfl") &&
                  index.find_first_not_of(" \r\n") == std::string::npos,
              "... and its ablocks.bfl is empty");

        // The tools are a radio group.
        SendMessageA(bar->button(1268)->hwnd, BM_CLICK, 0, 0);
        settle();
        check(bar->isButtonChecked(1268) && !bar->isButtonChecked(1267) && !bar->isButtonChecked(1269),
              "BM_CLICK on 1268 unchecks 1267 and 1269");

        // A change: closing asks question 12; Cancel keeps kyt, OK ends it.
        pane->model().circuitSaved = 0;
        {
            BoxWatcher question("Warnung:", IDCANCEL, 10000);
            PostMessageA(f->hwnd, WM_CLOSE, 0, 0);
            // The close query's box runs inside the dispatch of WM_CLOSE.
            winecheck::pump();
            question.wait();
            check(question.found() && question.text() ==
                                          "Die Schaltung example.kyt wurde nicht gespeichert.\n"
                                          "Sollen die \xc4nderungen verworfen werden?",
                  "after a change WM_CLOSE asks question 12");
        }
        settle();
        check(IsWindow(f->hwnd) && IsWindowVisible(f->hwnd), "Cancel keeps kyt running");
        BoxWatcher ok("Warnung:", IDOK, 10000);
        PostMessageA(f->hwnd, WM_CLOSE, 0, 0);
        const int loop = KytProgram::messageLoop();
        check(ok.found(), "OK ends kyt");
        return loop;
    }

private:
    const Installation& inst;
};

void theExample(Application* app, const Installation& inst)
{
    setRegistryValue(inst.dos);
    SetCurrentDirectoryA((inst.dos + "\\examples").c_str());
    DeleteFileA((inst.dos + "\\tmp\\kyt.set").c_str());
    writeText(inst.dos + "\\local\\stale.blk", "BLOCK Alt;\nSIM\nENDBLOCK\n");
    ExampleRun run(app, inst);
    const int code = run.run();
    check(code == 0, "after OK kyt ends with exit code 0");
    const std::string settings = readText(inst.dos + "\\tmp\\kyt.set");
    check(settings.find("GRID ") != std::string::npos && settings.find("FILE0 \"example.kyt\"") != std::string::npos,
          "kyt.set holds GRID and FILE0 \"example.kyt\"");
}

// "-i" with no registry value and no circuit: the untitled circuit.
class UntitledRun : public TestedKyt {
public:
    using TestedKyt::TestedKyt;
    std::string title;

protected:
    void checks() override { title = windowText(frame()->hwnd); }
};

void untitled(Application* app, const Installation& inst)
{
    deleteRegistryValue();
    SetCurrentDirectoryA((inst.dos + "\\icons").c_str());
    UntitledRun run(app, ("-i" + inst.dos).c_str());
    const int code = run.run();
    check(run.title == "KYT 2.52 - (unbenannt)", "\"-i\" without a circuit: the title is \"KYT 2.52 - (unbenannt)\"");
    check(code == 0, "... Exit (4017) ends it with 0");
}

void runOption(Application* app, const Installation& inst)
{
    setRegistryValue(inst.dos);
    SetCurrentDirectoryA((inst.dos + "\\examples").c_str());
    TestedKyt run(app, "-r example");
    run.run();
    check(run.runCalls == 1 && run.lastStartAtOnce == 1, "\"-r\" starts the run once, at once");

    // A start circuit that does not open: the warning, then neither run nor
    // print, and the untitled circuit.
    UntitledRun missing(app, "-r -p nix");
    BoxWatcher warning("Nachricht", IDOK, 20000);
    missing.run();
    warning.wait();
    check(warning.found() && warning.text().find("Die Datei nix.kyt kann nicht ge\xf6" "ffnet werden!") !=
                                 std::string::npos,
          ("a start circuit that does not open gives the warning 20907: " + warning.text()).c_str());
    check(missing.runCalls == 0 && missing.title == "KYT 2.52 - (unbenannt)", "... and is neither run nor loaded");
}

// A kyt.set that cannot be written at the end (a folder of that name stands
// in its way) is said in a message naming it; kyt still ends with 0.
void settingsNotWritten(Application* app, const Installation& inst)
{
    setRegistryValue(inst.dos);
    SetCurrentDirectoryA((inst.dos + "\\examples").c_str());
    const std::string settings = inst.dos + "\\tmp\\kyt.set";
    DeleteFileA(settings.c_str());
    CreateDirectoryA(settings.c_str(), nullptr);
    UntitledRun run(app, "");
    BoxWatcher box("Nachricht", IDOK, 20000);
    const int code = run.run();
    box.wait();
    RemoveDirectoryA(settings.c_str());
    check(box.found() && box.text().find("konnten nicht in") != std::string::npos &&
              box.text().find("kyt.set") != std::string::npos,
          ("a kyt.set that cannot be written is reported at the end: " + box.text()).c_str());
    check(code == 0, "... and kyt ends with 0");
}

// ---------------------------------------------------------------- child processes

struct WindowSearch {
    DWORD process;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK matchFrame(HWND hwnd, LPARAM p)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(p);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (process == s->process && lstrcmpA(cls, "AppFrameCL") == 0 && (!s->visibleOnly || IsWindowVisible(hwnd))) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND visibleFrame(DWORD process)
{
    WindowSearch search = {process, true, nullptr};
    EnumWindows(matchFrame, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForFrame(DWORD process, DWORD timeoutMs = 20000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (HWND frame = visibleFrame(process))
            return frame;
        Sleep(50);
    }
    return nullptr;
}

bool start(const Installation& inst, const std::string& arguments, const std::string& folder,
           PROCESS_INFORMATION* info)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::string line = "\"" + inst.program + "\" " + arguments;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, info))
        return false;
    CloseHandle(info->hThread);
    return true;
}

// The exit code; a program that does not end is ended (99).
int endOf(const PROCESS_INFORMATION& info, DWORD timeoutMs = 30000)
{
    if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 99);
    WaitForSingleObject(info.hProcess, 5000);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return static_cast<int>(code);
}

void closedUnchanged(const Installation& inst)
{
    setRegistryValue(inst.dos);
    DeleteFileA((inst.dos + "\\tmp\\kyt.set").c_str());
    PROCESS_INFORMATION info;
    if (!start(inst, "example", inst.dos + "\\examples", &info)) {
        check(false, "kyt starts");
        return;
    }
    HWND frame = waitForFrame(info.dwProcessId);
    check(frame != nullptr, "kyt shows its main frame");
    Sleep(300);
    check(!winecheck::findOwnBox("*", info.dwProcessId), "... with no message");
    if (frame)
        PostMessageA(frame, WM_CLOSE, 0, 0);
    check(endOf(info) == 0 && !winecheck::findOwnBox("*", info.dwProcessId),
          "WM_CLOSE on the unchanged circuit ends kyt with 0 and no question");
    const std::string settings = readText(inst.dos + "\\tmp\\kyt.set");
    check(settings.find("GRID ") != std::string::npos && settings.find("FILE0 \"example.kyt\"") != std::string::npos,
          "kyt.set holds GRID and FILE0 \"example.kyt\"");
    check(fileExists(inst.dos + "\\tmp\\kyt.lock"), "kyt.lock stays");
}

void secondInstance(const Installation& inst)
{
    setRegistryValue(inst.dos);
    PROCESS_INFORMATION first;
    if (!start(inst, "example", inst.dos + "\\examples", &first)) {
        check(false, "the first kyt starts");
        return;
    }
    HWND firstFrame = waitForFrame(first.dwProcessId);
    check(firstFrame != nullptr, "the first kyt shows its frame");
    PROCESS_INFORMATION second;
    if (start(inst, "example", inst.dos + "\\examples", &second)) {
        BoxWatcher box(second.dwProcessId, "Nachricht", IDOK, 20000);
        bool frameShown = false;
        for (int i = 0; i < 400 && !box.found() && WaitForSingleObject(second.hProcess, 0) == WAIT_TIMEOUT; ++i) {
            frameShown = frameShown || visibleFrame(second.dwProcessId) != nullptr;
            Sleep(50);
        }
        box.wait();
        const std::string text = box.text();
        check(text.find("bereits verwendent") != std::string::npos &&
                  text.find("kyt.lock") != std::string::npos,
              ("a second kyt shows 18019 with the lock path: " + text).c_str());
        frameShown = frameShown || visibleFrame(second.dwProcessId) != nullptr;
        const int code = endOf(second);
        check(!frameShown, "... shows no frame");
        check(code == 1, "... and ends with exit code 1");
    }
    check(WaitForSingleObject(first.hProcess, 0) == WAIT_TIMEOUT && firstFrame && IsWindow(firstFrame),
          "the first kyt keeps running");
    if (firstFrame)
        PostMessageA(firstFrame, WM_CLOSE, 0, 0);
    check(endOf(first) == 0, "... and ends with 0 when closed");
}

// A refused start: the box the program shows and its exit code.
void refusedStart(const Installation& inst, const std::string& arguments, const char* what,
                  const std::vector<std::string>& fragments)
{
    PROCESS_INFORMATION info;
    if (!start(inst, arguments, inst.dos + "\\examples", &info)) {
        check(false, what);
        return;
    }
    BoxWatcher box(info.dwProcessId, "Nachricht", IDOK, 20000);
    box.wait();
    bool told = box.found();
    for (const std::string& f : fragments)
        told = told && box.text().find(f) != std::string::npos;
    check(told, (std::string(what) + ": " + box.text()).c_str());
    const bool frameShown = visibleFrame(info.dwProcessId) != nullptr;
    const int code = endOf(info);
    check(code == 1 && !frameShown, (std::string(what) + ": no frame, exit code 1").c_str());
}

// The README's command under test: the window of that title is closed.
// A visible plot frame of the process.
struct PlotSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findProcessPlot(HWND hwnd, LPARAM p)
{
    PlotSearch* s = reinterpret_cast<PlotSearch*>(p);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == s->process && lstrcmpA(cls, "PlotFrameCL") == 0 && IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The README's command opens the example and runs it: its frame, then a
// plot window of the same process. kyt keeps its frame while the run goes
// on, so the close is asked again until the frame has gone.
int closeWindow(const std::string& title)
{
    HWND frame = nullptr;
    for (int i = 0; i < 1200 && !(frame && IsWindowVisible(frame)); ++i) {
        frame = FindWindowA("AppFrameCL", title.c_str());
        if (!frame)
            Sleep(100);
    }
    if (!frame) {
        printf("FAILED: no window \"%s\"\n", title.c_str());
        return 1;
    }
    printf("ok: the window \"%s\" is shown\n", title.c_str());
    int failed = 0;
    PlotSearch plot = {0, nullptr};
    GetWindowThreadProcessId(frame, &plot.process);
    for (int i = 0; i < 300 && !plot.found; ++i) {
        EnumWindows(findProcessPlot, reinterpret_cast<LPARAM>(&plot));
        if (!plot.found)
            Sleep(100);
    }
    if (plot.found) {
        char text[128] = "";
        GetWindowTextA(plot.found, text, sizeof text);
        printf("ok: the example runs: plot window \"%s\"\n", text);
    } else {
        printf("FAILED: the example does not run: no plot window\n");
        failed = 1;
    }
    Sleep(500);
    for (int i = 0; i < 600 && IsWindow(frame); ++i) {
        if (i % 10 == 0)
            PostMessageA(frame, WM_CLOSE, 0, 0);
        Sleep(100);
    }
    if (IsWindow(frame)) {
        printf("FAILED: the window \"%s\" does not close\n", title.c_str());
        failed = 1;
    }
    return failed;
}

} // namespace

void appMain(Application* app)
{
    // The libraries kyt hands to the registry (FUZZY and IDENT with the engine's own).
    setModuleLibraryList(kRunTimeLibraries);
    const std::vector<std::string> args = words(app->commandLine.text() ? app->commandLine.text() : "");
    if (args.size() == 2 && args[0] == "--close") {
        app->exitCode = closeWindow(args[1]);
        return;
    }
    winecheck::startWatchdog(280);
    if (args.size() != 3) {
        printf("usage: kyt_wine_test PNG-PATH KYT-PROGRAM INSTALLATION\n");
        app->exitCode = 2;
        return;
    }
    Installation inst;
    inst.picture = args[0];
    inst.program = dosPath(args[1]);
    inst.dos = dosPath(args[2]);

    theExample(app, inst);
    untitled(app, inst);
    runOption(app, inst);
    settingsNotWritten(app, inst);

    closedUnchanged(inst);
    secondInstance(inst);
    refusedStart(inst, "-i" + inst.dos + "\\nolocal", "a kyt.ini without \"LIB Local AT\" gives 18020",
                 {"LIB Local AT"});
    refusedStart(inst, "-i" + inst.dos + "\\nirgends", "\"-i\" without kyt.ini gives the fatal 20907",
                 {"kann nicht ge\xf6" "ffnet werden", "nirgends"});

    deleteRegistryValue();
    app->exitCode = winecheck::summary();
}
