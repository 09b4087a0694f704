// Under wine: a compiled model with three marked outputs (sin t, cos t and a
// ramp, tests/plot/fixtures/dreisignale.kyt) runs through the simulator
// into the active plot frame of slot 1. During the run the frame shows the
// timer's texts and the circuit and refuses to close; afterwards its
// picture is saved (plot-run.png), copied to the clipboard, and the frame
// closes and frees its slot.
//
//   plot_run_test MODEL PNG-PATH
#include "Application.h"
#include "Frame.h"
#include "ActivePlotServices.h"
#include "PlotFrame.h"
#include "PlotPane.h"
#include "WineCheck.h"
#include "Workspace.h"
#include "WorkspacePlotHost.h"

#include "CompileRoad.h"
#include "HostServices.h"
#include "PiLoader.h"
#include "PiProgram.h"
#include "Simulator.h"

#include "ErrorReporter.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>

using winecheck::check;

namespace {

const COLORREF kBack = RGB(255, 255, 232);
const COLORREF kGrid = RGB(0, 64, 128);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 128, 0);

// Messages go to the test's output: no box may wait for a person.
class PrintingSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char* title) override { printf("box %s: %s\n", title, text); }
    [[noreturn]] void endProcess(int exitCode) override
    {
        fflush(stdout);
        ExitProcess(static_cast<UINT>(exitCode));
    }
};

void printNow(int level, const char* text)
{
    printf("message %d: %s\n", level, text);
}

// The framework's side of the run, as the main program's run object has
// it: the plot frame's texts go to whatever frame is active.
class TestRunHost : public RunHost {
public:
    bool confirmSettings(SimParams&, int) override { return true; }
    void getPlotParams(PlotParams& params) override { theWorkspace->getPlotParams(params); }
    const char* circuitName() override { return "dreisignale.kyt"; }
    void setMainStatus(int, const char*) override {}
    void setPlotStatus(int field, const char* text) override { ActivePlotServices::setStatus(field, text); }
    void startStatusTimer(int) override {}
    void stopStatusTimer() override {}
    void registerIdleTask() override {}
    void unlockEditing() override { theWorkspace->setSimulationStoppedUi(0); }
};

std::string text(const String& s)
{
    return s.text();
}

bool startsWith(const std::string& s, const char* head)
{
    return s.compare(0, strlen(head), head) == 0;
}

void checkPicture(PlotFrame* frame, const std::string& picture)
{
    PlotPane* pane = frame->pane();
    PlotModel& m = pane->model;
    HDC dc = GetDC(pane->hwnd);
    RECT area = {m.areaLeft() + 1, m.areaTop() + 1, m.areaRight(), m.areaBottom()};
    RECT client;
    GetClientRect(pane->hwnd, &client);
    RECT legend = {m.areaRight() + 2, 0, client.right, client.bottom};
    // Away from the curves: a pixel of the area that none of them passes.
    bool backFound = false;
    for (int y = area.top + 2; y < area.bottom - 2 && !backFound; y += 3)
        for (int x = area.left + 2; x < area.right - 2 && !backFound; x += 3)
            if (GetPixel(dc, x, y) == kBack && GetPixel(dc, x - 2, y - 2) == kBack && GetPixel(dc, x + 2, y + 2) == kBack)
                backFound = true;
    check(backFound, "inside the plot area, away from the curves, the colour is (255,255,232)");
    RECT top = {m.areaLeft(), m.areaTop(), m.areaRight() + 1, m.areaTop() + 1};
    check(winecheck::countPixels(dc, top, kGrid) > 0, "the frame line has (0,64,128) pixels");
    check(winecheck::countPixels(dc, area, kRed) > 0 && winecheck::countPixels(dc, area, kGreen) > 0,
          "the plot area holds (255,0,0) and (0,128,0) pixels");
    check(winecheck::countPixels(dc, legend, kRed) > 0 && winecheck::countPixels(dc, legend, kGreen) > 0,
          "so does the legend right of it");
    ReleaseDC(pane->hwnd, dc);
    check(winecheck::saveWindowPicture(frame->hwnd, picture), "plot-run.png is saved");
}

void checkClipboard(PlotFrame* frame)
{
    PlotPane* pane = frame->pane();
    SendMessageA(frame->hwnd, WM_COMMAND, 161, 0);
    RECT client;
    GetClientRect(pane->hwnd, &client);
    bool sized = false, same = false;
    if (OpenClipboard(frame->hwnd)) {
        HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        BITMAP info = {};
        if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
            sized = info.bmWidth == client.right && info.bmHeight == client.bottom;
            HDC mem = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(mem, bitmap);
            HDC paneDc = GetDC(pane->hwnd);
            PlotModel& m = pane->model;
            // The frame line, a curve's first point and the legend's corner.
            POINT probes[3] = {{m.areaLeft(), m.areaTop()},
                               {m.areaLeft() + 1, m.deviceYOf(1.0)},
                               {client.right - 12, m.deviceY(m.bottom) + 25}};
            same = true;
            for (const POINT& p : probes)
                if (GetPixel(mem, p.x, p.y) != GetPixel(paneDc, p.x, p.y))
                    same = false;
            ReleaseDC(pane->hwnd, paneDc);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        CloseClipboard();
    }
    check(sized, "161 leaves a CF_BITMAP of the pane's client size");
    check(same, "whose pixels equal the window's at three points");
}

void run(AppFrameCL* mainFrame, const std::string& model, const std::string& picture)
{
    Workspace* ws = new Workspace;
    setWorkspace(ws);
    WorkspacePlotHost plotHost;
    PlotFrameFactory factory(&plotHost);
    ws->setPlotWindowFactory(&factory);

    HostSeams seams = {};
    seams.queueDeferredMessage = printNow;
    seams.stringCount = piStringCount;
    seams.stringText = piStringText;
    setHostSeams(&seams);

    // The run command: a slot, the busy state, the compiled program.
    check(ws->openPlotWindow(mainFrame) == 0, "slot 1 opens");
    PlotFrame* frame = dynamic_cast<PlotFrame*>(ws->plotWindows[0]);
    if (!frame)
        return;
    MoveWindow(frame->hwnd, 20, 20, 640, 520, TRUE);
    ws->setSimulationRunningUi(0);
    int compiled = compileModelFile(model.c_str());
    check(compiled == COMPILE_LOADED, "the model compiles and loads");
    if (compiled != COMPILE_LOADED)
        return;
    for (int i = 0; i < piProgram.nsymbols; ++i)
        if (piProgram.symbols[i].flags & PI_SAVE)
            piProgram.symbols[i].label = piProgram.symbols[i].name;

    ActivePlotServices plot;
    TestRunHost host;
    Simulator* simulator = new Simulator(&plot, &host);
    SimParams settings;
    ws->getSimParams(settings);
    settings.IALG = 1;
    settings.INITSTEP = 0.01;
    check(simulator->startSimulation(settings, 1), "the run starts");
    bool statusSeen = false, closeRefused = false;
    for (long i = 0; i < 2000000; ++i) {
        if (simulator->SimulationRunStep())
            break;
        if (i == 500) {
            simulator->SimulationStatus();
            statusSeen = startsWith(text(frame->statusField(kPlotStatusBar, 1)), "t=") &&
                         startsWith(text(frame->statusField(kPlotStatusBar, 2)), "h=") &&
                         !text(frame->statusField(kPlotStatusBar, 3)).empty();
            SendMessageA(frame->hwnd, WM_CLOSE, 0, 0);
            closeRefused = IsWindow(frame->hwnd) && ws->plotWindows[0] == frame;
            winecheck::pump();
        }
    }
    check(simulator->lastEndCode() == SIM_END_NORMAL, "the run ends normally");
    check(statusSeen, "during the run \"status\" shows \"t=\", \"h=\" and the elapsed time");
    check(text(frame->statusField(kPlotSecondBar, 1)).find("dreisignale") != std::string::npos,
          "the second bar shows the circuit name");
    check(closeRefused, "WM_CLOSE is refused while the run goes on");
    PlotModel& m = frame->pane()->model;
    check(m.nSignals == 3 && m.pointCount() == 201, "three signals and 201 points arrived");
    const PlotPoint& last = m.points().back();
    check(std::fabs(last.t - 10) < 1e-9 && std::fabs(last.values[0] + 0.54402111088937) < 1e-6 &&
              std::fabs(last.values[1] + 0.83907152907645) < 1e-6 && std::fabs(last.values[2] - 10) < 1e-9,
          "the last point is (10, sin 10, cos 10, 10)");
    delete simulator;
    releaseCompiledModel();
    ws->setSimulationStoppedUi(0);

    UpdateWindow(frame->pane()->hwnd);
    winecheck::pump();
    checkPicture(frame, picture);
    checkClipboard(frame);

    SendMessageA(frame->hwnd, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(ws->plotWindows[0] == nullptr && plotOszi == nullptr, "WM_CLOSE then closes it, frees slot 1");
    setHostSeams(nullptr);
    delete ws;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(90);
    PrintingSink sink;
    setErrorSink(&sink);
    std::string args = app->commandLine.text();
    size_t cut = args.find(' ');
    std::string model = args.substr(0, cut);
    std::string picture = cut == std::string::npos ? std::string() : args.substr(cut + 1);
    AppFrameCL* mainFrame = new AppFrameCL(nullptr, new Layout(0, 0, 300, 200), WS_OVERLAPPEDWINDOW, "Editor");
    mainFrame->show(SW_SHOWNORMAL);
    run(mainFrame, model, picture);
    app->exitCode = winecheck::summary();
    setErrorSink(nullptr);
    DestroyWindow(mainFrame->hwnd);
}
