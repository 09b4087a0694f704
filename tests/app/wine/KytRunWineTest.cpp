// Under wine, in this process: kyt's run command on screen. Dialog 1104 on
// the example (its combos, the picture, Euler greying the error fields,
// Cancel and OK), a run handled in idle time to its end, a run without end
// that stays live and stops on 9031, and the errors the road shows: no
// control block, a syntax error, a temporary directory that is gone, a
// library message (FZINIT on a file that is not there) and nine plot
// windows in use. A run of a million steps in kyt's own message loop stops
// when Stop in the tool bar is clicked with the mouse. Last, kyt closes
// while a run goes on: the run ends and its program is unloaded.
//
//   kyt_run_wine_test PNG-FOLDER INSTALLATION
#include "Application.h"
#include "DeferredMessages.h"
#include "GedPane.h"
#include "KytProgram.h"
#include "MainFrame.h"
#include "ModuleRegistry.h"
#include "PiProgram.h"
#include "PlotFrame.h"
#include "PlotFrameParts.h"
#include "PlotPane.h"
#include "ResultFile.h"
#include "ShowFile.h"
#include "SimOptionsDialog.h"
#include "SimulationRun.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "KytRegistry.h"
#include "WineCheck.h"
#include "Workspace.h"
#include "RunTimeLibraries.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

using winecheck::writeText;


std::string folder;  // where the pictures go
std::string install; // the installation, DOS form

using winecheck::dosPath;

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

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::string stateField(MainFrame* frame)
{
    StatusField* field = frame->getStatusBar()->fieldById(kStateField);
    return field ? field->getText() : std::string("(no field 1)");
}

// Messages and idle passes, as the program's own loop has them, until done
// says so or the give-up time has passed (never a check on time).
void runIdle(const std::function<bool()>& done, DWORD giveUpMs = 30000)
{
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < giveUpMs) {
        winecheck::pump();
        if (theApplication)
            theApplication->runIdleTasks();
        Sleep(1);
    }
}

void settle()
{
    for (int i = 0; i < 5; ++i) {
        winecheck::pump();
        Sleep(20);
    }
}

bool sameSettings(const SimParams& a, const SimParams& b)
{
    return strcmp(a.FNAME, b.FNAME) == 0 && a.RMODE == b.RMODE && a.HMODE == b.HMODE && a.MODE == b.MODE &&
           a.IALG == b.IALG && a.INITSTEP == b.INITSTEP && a.MINSTEP == b.MINSTEP && a.MAXSTEP == b.MAXSTEP &&
           a.ABSERR == b.ABSERR && a.RELERR == b.RELERR && a.LIMIT == b.LIMIT && a.XVAR == b.XVAR;
}

PlotFrame* activePlot()
{
    return dynamic_cast<PlotFrame*>(plotOszi);
}

bool unlocked()
{
    return theWorkspace && !theWorkspace->busy && theWorkspace->isCommandEnabled(kCommandStart) &&
           !theWorkspace->isCommandEnabled(kCommandStop);
}

// ---------------------------------------------------------------- dialog 1104

// What the test does with the dialog once it is on screen.
struct DialogPlan {
    int button = IDCANCEL;
    int method = 7; // Euler
    bool seen = false;
    std::string methodText;
    std::string firstXEntry;
    bool errorFieldsGreyed = false;
    bool picture = false;
    SimOptionsDialog* dialog = nullptr;
};
DialogPlan plan;

std::string comboText(HWND combo, int index)
{
    char text[256] = "";
    if (index >= 0 && SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) < static_cast<LRESULT>(sizeof text))
        SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

VOID CALLBACK dialogShown(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hwnd, id);
    plan.seen = true;
    HWND methods = GetDlgItem(hwnd, SIMOPT_METHOD);
    HWND xAxis = GetDlgItem(hwnd, SIMOPT_XAXIS);
    plan.methodText = comboText(methods, static_cast<int>(SendMessageA(methods, CB_GETCURSEL, 0, 0)));
    plan.firstXEntry = comboText(xAxis, 0);
    UpdateWindow(hwnd);
    if (!folder.empty() && plan.button == IDCANCEL)
        plan.picture = winecheck::saveWindowPicture(hwnd, folder + "sim-options-1104.png");
    SendMessageA(methods, CB_SETCURSEL, plan.method, 0);
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(SIMOPT_METHOD, CBN_SELCHANGE), reinterpret_cast<LPARAM>(methods));
    plan.errorFieldsGreyed =
        !IsWindowEnabled(GetDlgItem(hwnd, SIMOPT_ABSERR)) && !IsWindowEnabled(GetDlgItem(hwnd, SIMOPT_RELERR));
    PostMessageA(GetDlgItem(hwnd, plan.button), BM_CLICK, 0, 0);
}

void onDialog(SimOptionsDialog* dialog)
{
    plan.dialog = dialog;
    SetTimer(dialog->hwnd, 1, 400, dialogShown);
}

// A run was going on when kyt closed; what was left loaded once its run
// object had gone (before the main frame goes).
bool runningAtClose = false;
bool programAfterRun = true;
bool librariesAfterRun = true;

class RunKyt : public KytProgram {
public:
    RunKyt(Application* application) : KytProgram(application, "example") {}

protected:
    void runCircuit(int) override {}
    void deleteLastRun() override
    {
        KytProgram::deleteLastRun();
        programAfterRun = piProgram.stack != nullptr || piProgram.nsymbols != 0;
        librariesAfterRun = ModuleRegistryLookup("SIN") != nullptr || ModuleRegistryLookup("FZINIT") != nullptr;
    }
    int messageLoop() override
    {
        settle();
        scenarios();
        // With a run going on, Exit is off: the loop ends as at the end of the
        // session.
        if (runningAtClose)
            theApplication->quit();
        else
            PostMessageA(frame()->hwnd, WM_COMMAND, kCommandExit, 0);
        return KytProgram::messageLoop();
    }

private:
    void load(const char* name)
    {
        printf("load %s\n", name);
        fflush(stdout);
        frame()->getPane()->model().circuitSaved = 1;
        // A circuit that does not read leaves a box: it is recorded, not waited for.
        BoxWatcher box("*", IDOK, 3000);
        frame()->loadCircuit(String(name));
        settle();
        box.wait();
        check(!box.found(), (std::string(name) + " loads without a message " + box.text()).c_str());
    }
    void command(int id)
    {
        PostMessageA(frame()->hwnd, WM_COMMAND, id, 0);
    }
    SimulationRun* current() { return currentSimulationRun(); }
    bool runEnded() { return current() && !current()->running() && !theWorkspace->busy; }

    void scenarios();
    void noControlBlock();
    void dialogCancel();
    void dialogOk();
    void decimalCommas();
    void syntaxError();
    void tempDirGone();
    void liveRun();
    void stopLongRun();
    void fuzzyNoFile();
    void tooManyPlots();
    void closeWhileRunning();
};


void RunKyt::noControlBlock()
{
    load("nocontrol");
    BoxWatcher box("Nachricht", IDOK, 15000);
    command(kCommandStart);
    winecheck::pump();
    box.wait();
    settle();
    check(box.found() && box.text().find("mindestens einen Kontrollblock") != std::string::npos,
          ("no control block: 9029 is shown: " + box.text()).c_str());
    bool none = plotOszi == nullptr;
    for (PlotWindow* w : theWorkspace->plotWindows)
        none = none && w == nullptr;
    check(none, "... and no plot window opens");
    check(!readText(install + "\\tmp\\kyttrans.tmp").size(), "... and kyttrans.tmp is not written");
}

void RunKyt::dialogCancel()
{
    load("example");
    SimParams before;
    theWorkspace->getSimParams(before);
    plan = DialogPlan();
    plan.button = IDCANCEL;
    SimOptionsDialog::shownHook = onDialog;
    command(kCommandStart);
    runIdle([] { return plan.seen; });
    settle();
    check(plan.seen, "9008 shows dialog 1104");
    check(plan.methodText == "RuKu-Dorm.-Prince, var. Schritt - 5(4)",
          ("the method combo reads \"RuKu-Dorm.-Prince, var. Schritt - 5(4)\": " + plan.methodText).c_str());
    check(plan.firstXEntry == "time", ("the x-axis combo starts with \"time\": " + plan.firstXEntry).c_str());
    check(plan.picture, "sim-options-1104.png is saved");
    check(plan.errorFieldsGreyed, "\"Euler, fix. Schritt - 1\" disables 1011 and 1012");
    runIdle([this] { return !theWorkspace->busy; }, 5000);
    SimParams after;
    theWorkspace->getSimParams(after);
    check(stateField(frame()) == "Bearbeiten" && unlocked(), "Cancel gives \"Bearbeiten\" and an unlocked interface");
    check(activePlot() != nullptr && theWorkspace->plotWindows[0] == plotOszi, "... the plot window 1 stays");
    check(sameSettings(before, after), "... and the workspace record is unchanged");
    const std::string text = readText(install + "\\tmp\\kyttrans.tmp");
    check(text.find("CIRCUIT") != std::string::npos, "kyttrans.tmp stays in TEMPDIR");
}

void RunKyt::dialogOk()
{
    plan = DialogPlan();
    plan.button = IDOK;
    command(kCommandStart);
    runIdle([] { return plan.seen; });
    runIdle([this] { return runEnded(); });
    SimOptionsDialog::shownHook = nullptr;
    SimParams after;
    theWorkspace->getSimParams(after);
    check(plan.seen && runEnded(), "OK with Euler runs to the end");
    check(after.IALG == 8, "... and IALG 8 stays in the workspace");
    check(current() && current()->simulator().lastEndCode() == SIM_END_NORMAL, "... the run ends normally");
    PlotFrame* plot = activePlot();
    bool ramp = false;
    if (plot && plot->pane()->model.pointCount() > 0) {
        const PlotPoint& last = plot->pane()->model.points().back();
        ramp = std::fabs(last.t - 10) < 1e-9 && std::fabs(last.values[0] - 10) < 1e-9;
    }
    check(ramp, "the plot's last point is t = 10, y = 10");
    check(stateField(frame()) == "Bearbeiten" && unlocked(), "at the end Start is enabled and Stop disabled");
}

// ---------------------------------------------------------------- decimal commas

// Typed as a German student types: "0,05" into the initial step, "abc" into
// the event accuracy; OK is refused naming that field, then "0,001" there.
struct CommaPlan {
    bool seen = false;
    bool refusedOpen = false;
    bool focusOnField = false;
    std::string boxText;
    bool picture = false;
};
CommaPlan comma;

// Reads, pictures and answers the refusal box from a thread of its own: the
// dialog's thread sits in the box's loop meanwhile.
DWORD WINAPI answerRefusal(LPVOID)
{
    for (int waited = 0; waited < 10000; waited += 50) {
        HWND box = winecheck::findOwnBox("Nachricht");
        if (!box) {
            Sleep(50);
            continue;
        }
        Sleep(300);
        HWND text = nullptr;
        while ((text = FindWindowExA(box, text, "Static", nullptr)) != nullptr) {
            char shown[600] = "";
            if (GetWindowTextA(text, shown, sizeof shown) > 0)
                comma.boxText = shown;
        }
        if (!folder.empty())
            comma.picture = winecheck::saveWindowPicture(box, folder + "number-field-refused.png");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    return 0;
}

VOID CALLBACK commaDialogShown(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hwnd, id);
    comma.seen = true;
    SetDlgItemTextA(hwnd, SIMOPT_INITSTEP, "0,05");
    SetDlgItemTextA(hwnd, SIMOPT_LIMIT, "abc");
    HANDLE answer = CreateThread(nullptr, 0, answerRefusal, nullptr, 0, nullptr);
    SendMessageA(GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
    WaitForSingleObject(answer, 15000);
    CloseHandle(answer);
    winecheck::pump();
    comma.refusedOpen = IsWindowVisible(hwnd) != 0;
    comma.focusOnField = GetFocus() == GetDlgItem(hwnd, SIMOPT_LIMIT);
    SetDlgItemTextA(hwnd, SIMOPT_LIMIT, "0,001");
    PostMessageA(GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
}

void onCommaDialog(SimOptionsDialog* dialog)
{
    SetTimer(dialog->hwnd, 1, 400, commaDialogShown);
}

void RunKyt::decimalCommas()
{
    load("komma");
    comma = CommaPlan();
    SimOptionsDialog::shownHook = onCommaDialog;
    command(kCommandStart);
    runIdle([] { return comma.seen; });
    runIdle([this] { return runEnded(); });
    SimOptionsDialog::shownHook = nullptr;
    check(comma.seen && comma.refusedOpen && comma.focusOnField,
          "OK with \"abc\" as Ereignisgenauigkeit keeps dialog 1104 open with the focus on that field");
    check(comma.boxText.find("Im Feld \"Ereignisgenauigkeit\" steht keine Zahl: \"abc\"") != std::string::npos,
          ("... and the message names the field: " + comma.boxText).c_str());
    check(comma.picture, "number-field-refused.png is saved");
    SimParams after;
    theWorkspace->getSimParams(after);
    check(after.INITSTEP == 0.05 && after.LIMIT == 0.001,
          "\"0,05\" and \"0,001\" are the settings 0.05 and 0.001 (they were 0)");
    check(current() && current()->simulator().lastEndCode() == SIM_END_NORMAL, "... and the run ends normally");
    // Saved, the circuit holds them in the files' point form.
    frame()->getPane()->model().circuitSaved = 0;
    SendMessageA(frame()->hwnd, WM_COMMAND, 112, 0);
    settle();
    const std::string text = readText(install + "\\examples\\komma.kyt");
    check(text.find("$ INITSTEP     0.05") != std::string::npos && text.find("0,05") == std::string::npos &&
              text.find("$ LIMIT        0.001") != std::string::npos,
          "the saved circuit holds INITSTEP 0.05 and LIMIT 0.001 with points");
}

// The compiler's messages reach the file viewer (the listing viewer in
// the program); here they are recorded.
class RecordingViewer : public FileViewer {
public:
    void showFile(const char* message, const char* path, int line) override
    {
        text += message ? message : "";
        file = path ? path : "";
        at = line;
    }
    std::string text, file;
    int at = 0;
};

void RunKyt::syntaxError()
{
    SimulationRun* previous = current();
    load("syntax");
    RecordingViewer viewer;
    FileViewer* kept = getFileViewer();
    setFileViewer(&viewer);
    command(kCommandStartAtOnce);
    settle();
    setFileViewer(kept);
    check(viewer.text.find("erwartet") != std::string::npos && viewer.file.find("kyttrans.tmp") != std::string::npos &&
              viewer.at > 0,
          ("a syntax error: the compiler's message on kyttrans.tmp: " + viewer.text).c_str());
    check(stateField(frame()) == "Bearbeiten" && unlocked(), "... then \"Bearbeiten\" and an unlocked interface");
    check(current() == previous && previous != nullptr, "... and the previous run object is kept");
}

void RunKyt::tempDirGone()
{
    load("example");
    const String kept = theWorkspace->TEMPDIR;
    theWorkspace->TEMPDIR = (install + "\\tmp-gone").c_str();
    BoxWatcher box("Nachricht", IDOK, 15000);
    command(kCommandStartAtOnce);
    winecheck::pump();
    box.wait();
    settle();
    theWorkspace->TEMPDIR = kept;
    check(box.found() && box.text().find("Fehler:") != std::string::npos &&
              box.text().find("Keine Schreibrechte") != std::string::npos,
          ("TEMPDIR gone: 19201 with \"Fehler:\": " + box.text()).c_str());
    check(IsWindow(frame()->hwnd) && !frame()->getPane()->model().objects.empty(),
          "... kyt and the circuit stay");
    check(stateField(frame()) == "Bearbeiten" && unlocked(), "... \"Bearbeiten\", unlocked");
}

int postedShowPlot = 0;
HWND mainWindow = nullptr;

LRESULT CALLBACK watchPosted(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code >= 0 && wParam == PM_REMOVE && msg->hwnd == mainWindow && msg->message == WM_COMMAND &&
        LOWORD(msg->wParam) == 230)
        ++postedShowPlot;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void RunKyt::liveRun()
{
    load("endless");
    command(kCommandStartAtOnce);
    PlotFrame* plot = nullptr;
    runIdle([&] {
        plot = activePlot();
        return current() && current()->running() && plot && plot->pane()->model.pointCount() > 0;
    });
    check(plot && current() && current()->running(), "a run without end starts at once");
    if (!plot || !current() || !current()->running())
        return;
    std::string firstT;
    runIdle([&] {
        firstT = plot->statusField(kPlotStatusBar, 1).text() ? plot->statusField(kPlotStatusBar, 1).text() : "";
        return firstT.compare(0, 2, "t=") == 0;
    });
    mainWindow = frame()->hwnd;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, watchPosted, nullptr, GetCurrentThreadId());
    command(230);
    std::string laterT;
    runIdle([&] {
        laterT = plot->statusField(kPlotStatusBar, 1).text() ? plot->statusField(kPlotStatusBar, 1).text() : "";
        return postedShowPlot > 0 && laterT != firstT && laterT.compare(0, 2, "t=") == 0;
    });
    UnhookWindowsHookEx(hook);
    check(postedShowPlot == 1 && current()->running(), "a posted command (230) is handled while the run goes on");
    check(laterT != firstT, ("the plot's \"t=\" text changes: " + firstT + " -> " + laterT).c_str());
    // Start is off while the run goes on; a posted one starts nothing.
    SimulationRun* going = current();
    command(kCommandStartAtOnce);
    settle();
    check(current() == going && going->running(), "a posted 140 while the run goes on starts nothing");
    const int points = plot->pane()->model.pointCount();
    command(kCommandStop);
    runIdle([this] { return runEnded(); });
    check(runEnded() && stateField(frame()) == "Bearbeiten" && unlocked(), "9031 ends the run: \"Bearbeiten\"");
    check(plot->pane()->model.pointCount() >= points && points > 0, "... and the plot keeps its points");
}

// kyt's own message loop, until done says so or the give-up time has
// passed (a bound of the test, no check on time).
struct LoopWatch {
    std::function<bool()> done;
    DWORD start;
    DWORD giveUpMs;
};
LoopWatch* loopWatch = nullptr;

VOID CALLBACK watchLoop(HWND, UINT, UINT_PTR, DWORD)
{
    if (loopWatch && (loopWatch->done() || GetTickCount() - loopWatch->start > loopWatch->giveUpMs))
        PostQuitMessage(0);
}

void runOwnLoop(const std::function<bool()>& done, DWORD giveUpMs)
{
    LoopWatch watch = {done, GetTickCount(), giveUpMs};
    loopWatch = &watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, watchLoop);
    theApplication->MessageLoop();
    KillTimer(nullptr, timer);
    loopWatch = nullptr;
}

// A click with the mouse, through the input queue, in the middle of a window.
void clickOn(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

HWND childWithId(HWND parent, int id);

// A million steps: the run goes on in kyt's own message loop, which must
// still take the click on Stop: the run ends long before its end time.
void RunKyt::stopLongRun()
{
    load("million");
    command(kCommandStartAtOnce);
    PlotFrame* plot = nullptr;
    runIdle([&] {
        plot = activePlot();
        return current() && current()->running() && plot && plot->pane()->model.pointCount() > 100;
    });
    check(plot && current() && current()->running(), "a run of a million steps starts at once");
    if (!plot || !current() || !current()->running())
        return;
    SetWindowPos(frame()->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    HWND stop = childWithId(frame()->hwnd, kCommandStop);
    check(stop && IsWindowEnabled(stop), "Stop (9031) is enabled during the run");
    if (!stop)
        return;
    clickOn(stop);
    const DWORD clicked = GetTickCount();
    runOwnLoop([this] { return runEnded(); }, 20000);
    const DWORD took = GetTickCount() - clicked;
    const double lastT = plot->pane()->model.points().empty() ? -1 : plot->pane()->model.points().back().t;
    check(runEnded() && current()->simulator().lastEndCode() == SIM_END_STOPPED,
          "a click on Stop in kyt's own loop stops the run of a million steps");
    check(took < 5000 && lastT > 0 && lastT < 9000,
          ("... within a moment of the click (" + std::to_string(took) + " ms), at t = " + std::to_string(lastT) +
           " of 10000")
              .c_str());
    check(stateField(frame()) == "Bearbeiten" && unlocked(), "... and kyt is ready to edit again");
    if (!runEnded()) {
        // The click went astray: the later scenarios need the run ended.
        command(kCommandStop);
        runIdle([this] { return runEnded(); });
    }
    settle();
    check(winecheck::saveWindowPicture(plot->hwnd, folder + "kyt-long-run-stopped.png"),
          "kyt-long-run-stopped.png is saved");
}

// A block whose INIT calls FZINIT on a file that library "Local" lacks: the
// library's message waits for 9032, which shows it; the run stops there.
void RunKyt::fuzzyNoFile()
{
    load("fznofile");
    SimulationRun* previous = current();
    BoxWatcher box("*", IDOK, 20000);
    command(kCommandStartAtOnce);
    // The INIT code ends the run at once; the message follows with 9032.
    runIdle([&] { return current() != previous && runEnded() && deferredMessageCount() == 0; });
    box.wait();
    settle();
    check(box.found() && box.text().find("Unable to open \"nofile\" !") != std::string::npos,
          ("FZINIT(\"nofile\") shows \"Unable to open ...\" through 9032: " + box.text()).c_str());
    const int code = current() ? current()->simulator().lastEndCode() : -1;
    check(runEnded() && code == SIM_END_ERROR, ("... the run stops: end code " + std::to_string(code)).c_str());
    check(stateField(frame()) == "Bearbeiten" && unlocked(), "... and the interface unlocks");
}

// All nine plot windows in use, none active: 19700 asks whether window 1 is
// to be used again; No leaves everything as it was.
void RunKyt::tooManyPlots()
{
    load("example");
    for (int i = 0; i < kPlotSlotCount; ++i) {
        if (!plotOszi)
            theWorkspace->openPlotWindow(nullptr);
        if (plotOszi)
            theWorkspace->freezePlotWindow(plotOszi);
    }
    bool all = plotOszi == nullptr;
    for (PlotWindow* w : theWorkspace->plotWindows)
        all = all && w != nullptr;
    check(all, "nine plot windows, none active");
    const std::string tempFile = install + "\\tmp\\kyttrans.tmp";
    const std::string before = readText(tempFile);
    SimulationRun* previous = current();
    BoxWatcher box("Warnung:", IDNO, 15000);
    command(kCommandStartAtOnce);
    winecheck::pump();
    box.wait();
    settle();
    check(box.found() && box.text().find("Es sind bereits 9 ZIZadirs") != std::string::npos,
          ("nine plot windows: 19700 is asked: " + box.text()).c_str());
    check(!before.empty() && readText(tempFile) == before, "... No leaves kyttrans.tmp as it was");
    check(plotOszi == nullptr && current() == previous && unlocked(), "... no run starts, nothing is locked");
}

// A run without end that writes a result file, going on when kyt closes.
// The checks on what it left follow the program's end (appMain).
void RunKyt::closeWhileRunning()
{
    load("closing");
    // The nine windows are still in use: Yes gives window 1 to the run.
    SimulationRun* previous = current();
    BoxWatcher box("Warnung:", IDYES, 15000);
    command(kCommandStartAtOnce);
    PlotFrame* plot = nullptr;
    runIdle([&] {
        plot = activePlot();
        // Enough records that some still wait in the file's buffer.
        return current() != previous && current()->running() && plot && plot->pane()->model.pointCount() > 50;
    });
    box.wait();
    check(box.found() && plot && theWorkspace->plotWindows[0] == plotOszi,
          "Yes on 19700 gives plot window 1 to the run");
    runningAtClose = current() && current()->running() && resultFileIsOpen();
    check(runningAtClose, "... a run without end goes on, its result file open, when kyt closes");
}

void RunKyt::scenarios()
{
    noControlBlock();
    dialogCancel();
    dialogOk();
    decimalCommas();
    syntaxError();
    tempDirGone();
    liveRun();
    stopLongRun();
    fuzzyNoFile();
    tooManyPlots();
    closeWhileRunning();
}

// The run that was going on when kyt closed has ended: no run object, the
// program unloaded, the libraries freed, the result file closed with every
// record in it.
void checkClosedRun(const std::string& resultFile)
{
    if (!runningAtClose)
        return;
    check(currentSimulationRun() == nullptr, "at the close the run object goes");
    check(!programAfterRun, "... the program is unloaded with it");
    check(!librariesAfterRun, "... the libraries are freed with it");
    // Text mode may write each line end as CR LF.
    const std::string text = readText(resultFile);
    long size = static_cast<long>(text.size());
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        --size;
    const long written = resultFileBytesWritten();
    check(!resultFileIsOpen() && written > 0 && size == written,
          ("... and the result file is closed with all " + std::to_string(written) + " bytes in it (" +
           std::to_string(size) + " on disk)")
              .c_str());
}

// The circuits of the errors and of the run without end, from the example.
void writeCircuits()
{
    const std::string dir = install + "\\examples\\";
    const std::string example = readText(dir + "example.kyt");
    const size_t control = example.find("USE control ");
    const size_t controlEnd = example.find("ENDUSE", control);
    std::string noControl = example;
    if (control != std::string::npos && controlEnd != std::string::npos)
        noControl.erase(control, controlEnd + 6 - control);
    writeText(dir + "nocontrol.kyt", noControl);
    writeText(dir + "syntax.kyt", replaced(example, "    c = 1;", "    c = 1 + * ;"));
    writeText(dir + "komma.kyt", example);
    // A million steps of the fixed-step method.
    writeText(dir + "million.kyt",
              replaced(replaced(example, "tend = 10;", "tend = 10000;"), "$ IALG         6", "$ IALG         1"));
    const std::string endless = replaced(example, "tend = 10;", "tend = 1e30;");
    writeText(dir + "endless.kyt", endless);
    DeleteFileA((dir + "closing.txt").c_str());
    writeText(dir + "closing.kyt", replaced(endless, "$ FNAME        nul", "$ FNAME        closing.txt"));
    // A block of library "Local" that opens a fuzzy block file that is not there.
    const std::string block = "@START_BLOCK \"fzbad\"\n"
                              "BLOCK fzbad;\n"
                              "$ BLOCKDIM -1 -1 5 3\n"
                              "$ TEXT \"fzbad\"\n"
                              "$ TEXTALIG 1 1 1 0\n"
                              "$ ICONNAME \"*** NO PIC ***\"\n"
                              "$ ICONDIM 2 2\n"
                              "$ ICONALIG 1 1 0\n"
                              "OUTPUT y \"Ausgang\";\n"
                              "VAR h DISCRETE;\n"
                              "SIM\n"
                              "  y = h;\n"
                              "ENDSIM\n"
                              "INIT\n"
                              "  h = FZINIT(\"nofile\");\n"
                              "ENDINIT\n"
                              "ENDBLOCK fzbad;\n"
                              "@END_BLOCK\n\n";
    const std::string use = "USE fzbad AS B_9 \n"
                            "$ BLOCKLIB Local\n"
                            "$ BLOCKDIM 20 12 5 3\n"
                            "$ TEXT \"fzbad\"\n"
                            "$ TEXTALIG 1 1 1 0 \n"
                            "$ ICONNAME \"*** NO PIC ***\"\n"
                            "$ ICONDIM 2 2\n"
                            "$ ICONALIG 1 1 0\n"
                            "$ SIGNAMES\n"
                            "$    \"y\"\n"
                            "$ ENDSIGNAMES\n"
                            "ENDUSE\n";
    writeText(dir + "fznofile.kyt",
              replaced(replaced(example, "@END_LOCALLIB", block + "@END_LOCALLIB"), "\nCONNECT ", "\n" + use + "CONNECT "));
}

// ---------------------------------------------------------------- kyt -r, watched

struct FrameSearch {
    const char* cls;
    DWORD process;
    HWND found;
};

BOOL CALLBACK findVisible(HWND hwnd, LPARAM p)
{
    FrameSearch* s = reinterpret_cast<FrameSearch*>(p);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (lstrcmpA(cls, s->cls) == 0 && IsWindowVisible(hwnd) && process == s->process) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible window of the class that belongs to the process of owner (kyt's
// frame): other wine tests show their plot windows on the same display.
HWND visibleWindowOf(HWND owner, const char* cls)
{
    if (!owner)
        return nullptr;
    FrameSearch search = {cls, 0, nullptr};
    GetWindowThreadProcessId(owner, &search.process);
    EnumWindows(findVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The menus of another process are out of reach; its tool-bar buttons are
// windows whose state any process reads.
struct ButtonSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findButton(HWND hwnd, LPARAM p)
{
    ButtonSearch* s = reinterpret_cast<ButtonSearch*>(p);
    if (GetDlgCtrlID(hwnd) == s->id) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND childWithId(HWND parent, int id)
{
    ButtonSearch search = {id, nullptr};
    EnumChildWindows(parent, findButton, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool buttonEnabled(HWND frame, int id)
{
    HWND button = childWithId(frame, id);
    return button && IsWindowEnabled(button);
}

// The last record of the text result file: its first two numbers.
bool lastRecord(const std::string& path, double& t, double& y)
{
    const std::string text = readText(path);
    size_t end = text.find_last_not_of(" \r\n\t");
    if (end == std::string::npos)
        return false;
    size_t start = text.find_last_of('\n', end);
    const std::string line = text.substr(start == std::string::npos ? 0 : start + 1);
    return sscanf(line.c_str(), "%lf %lf", &t, &y) == 2;
}

// kyt was started with "-r example" by the launcher: its plot window 1, the
// end of the run in the menu, the result file, kyttrans.tmp and the ramp.
int watchRun(const std::string& picture, const std::string& result, const std::string& tempFile)
{
    winecheck::startWatchdog(200);
    HWND frame = nullptr, plot = nullptr;
    for (int i = 0; i < 1200 && !(frame && plot); ++i) {
        frame = FindWindowA("AppFrameCL", "KYT 2.52 - example.kyt");
        plot = visibleWindowOf(frame, "PlotFrameCL");
        Sleep(100);
    }
    check(frame && plot, "kyt -r shows the example and a plot window");
    if (!frame || !plot)
        return winecheck::summary();
    RECT r;
    GetWindowRect(plot, &r);
    check(r.left == 0 && r.top == 0 && r.right - r.left == 400 && r.bottom - r.top == 400,
          "plot window 1 opens at (0, 0), 400 x 400");
    double t = 0, y = 0;
    bool ended = false;
    for (int i = 0; i < 1200 && !ended; ++i) {
        ended = buttonEnabled(frame, 9008) && !buttonEnabled(frame, 9031) && lastRecord(result, t, y) &&
                std::fabs(t - 10) < 1e-9;
        Sleep(100);
    }
    check(ended, "when the run ends, Start (9008) is enabled and Stop (9031) disabled");
    check(std::fabs(t - 10) < 1e-9 && std::fabs(y - 10) < 1e-9, "the result file's last record is t = 10, y = 10");
    check(readText(tempFile).find("CIRCUIT") != std::string::npos, "kyttrans.tmp stays in TEMPDIR");
    Sleep(500);
    RedrawWindow(plot, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(500);
    check(winecheck::saveWindowPicture(plot, picture), "kyt-run-example.png is saved");
    // The ramp: red pixels whose highest one climbs column by column, in
    // the plot pane (the strip between the tool bar and the status bars).
    HDC dc = GetWindowDC(plot);
    const int width = r.right - r.left, height = r.bottom - r.top;
    int first = -1, last = -1, columns = 0, drops = 0, previous = -1;
    for (int x = 0; x < width * 8 / 10; ++x) {
        int top = -1;
        for (int yy = 80; yy < height - 80 && top < 0; ++yy)
            if (GetPixel(dc, x, yy) == RGB(255, 0, 0))
                top = yy;
        if (top < 0)
            continue;
        ++columns;
        if (first < 0)
            first = top;
        if (previous >= 0 && top > previous + 1)
            ++drops;
        previous = last = top;
    }
    ReleaseDC(plot, dc);
    check(columns > 20 && drops == 0 && first > last + 20,
          ("the plot area holds the red ramp, climbing left to right: " + std::to_string(columns) + " columns, " +
           std::to_string(first) + " -> " + std::to_string(last))
              .c_str());
    PostMessageA(frame, WM_CLOSE, 0, 0);
    return winecheck::summary();
}

// kyt was started with "-r CIRCUIT" by the launcher on an example whose
// result file is "nul", the circuit's path holding a blank: kyt's window
// names the whole path, the run ends, kyt-run-nul.png is saved and kyt is
// closed. What the run left in the installation the script checks.
int watchRunToEnd(const std::string& picture, const std::string& circuit)
{
    winecheck::startWatchdog(200);
    const std::string title = "KYT 2.52 - " + circuit;
    HWND frame = nullptr, plot = nullptr;
    for (int i = 0; i < 1200 && !(frame && plot); ++i) {
        frame = FindWindowA("AppFrameCL", title.c_str());
        plot = visibleWindowOf(frame, "PlotFrameCL");
        Sleep(100);
    }
    check(frame != nullptr, ("kyt -r loads the circuit with a blank in its path: \"" + title + "\"").c_str());
    check(plot != nullptr, "... and runs it in a plot window");
    if (!frame || !plot)
        return winecheck::summary();
    int steady = 0;
    for (int i = 0; i < 1200 && steady < 10; ++i) {
        steady = buttonEnabled(frame, 9008) && !buttonEnabled(frame, 9031) ? steady + 1 : 0;
        Sleep(100);
    }
    check(steady >= 10, "the run ends: Start (9008) enabled, Stop (9031) disabled");
    RedrawWindow(plot, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(500);
    check(winecheck::saveWindowPicture(plot, picture), "kyt-run-nul.png is saved");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    return winecheck::summary();
}

} // namespace

void appMain(Application* app)
{
    // The libraries kyt hands to the registry (FUZZY and IDENT with the engine's own).
    setModuleLibraryList(kRunTimeLibraries);
    {
        const std::string line = app->commandLine.text() ? app->commandLine.text() : "";
        const size_t toEnd = line.find("--watch-end ");
        if (toEnd != std::string::npos) {
            // The picture (no blank), then the circuit's DOS path to the end.
            const std::string rest = line.substr(toEnd + 12);
            const size_t a = rest.find(' ');
            if (a != std::string::npos) {
                app->exitCode = watchRunToEnd(rest.substr(0, a), winecheck::trimmedArgument(rest.substr(a + 1).c_str()));
                return;
            }
        }
        const size_t mode = line.find("--watch-run ");
        if (mode != std::string::npos) {
            const std::string rest = line.substr(mode + 12);
            const size_t a = rest.find(' ');
            const size_t b = a == std::string::npos ? a : rest.find(' ', a + 1);
            if (b != std::string::npos) {
                app->exitCode = watchRun(rest.substr(0, a), rest.substr(a + 1, b - a - 1), rest.substr(b + 1));
                return;
            }
        }
    }
    winecheck::startWatchdog(240);
    std::string line = app->commandLine.text() ? app->commandLine.text() : "";
    size_t cut = line.find(' ');
    if (cut == std::string::npos) {
        printf("usage: kyt_run_wine_test PNG-FOLDER INSTALLATION\n");
        app->exitCode = 2;
        return;
    }
    folder = dosPath(line.substr(0, cut));
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    install = dosPath(winecheck::trimmedArgument(line.substr(cut + 1).c_str()));
    setRegistryValue(install);
    SetCurrentDirectoryA((install + "\\examples").c_str());
    DeleteFileA((install + "\\tmp\\kyttrans.tmp").c_str());
    writeCircuits();
    {
        RunKyt kyt(app);
        kyt.run();
    }
    checkClosedRun(install + "\\examples\\closing.txt");
    app->exitCode = winecheck::summary();
}
