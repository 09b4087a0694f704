// Under wine: the identification result windows of kyt, driven by the IDENT
// library on the identification tests' recording host. The window's menu,
// tool bar and close rules during and after the run, the G(z) and G(s)
// texts in its pane, freezing across the next run, the clipboard, the
// hand-over to "KYTWork" (kytwork-stub accepting, refusing and gone) and the
// end of everything at program end.
//
//   ident_window_test PNG-PATH KYTWORK-STUB WORK-FOLDER
#include "Application.h"
#include "Clipboard.h"
#include "Dde.h"
#include "Frame.h"
#include "IdentResultFrame.h"
#include "IdentTexts.h"
#include "IdentWindowDriver.h"
#include "IdentWindowSystem.h"
#include "Layout.h"
#include "Menu.h"
#include "Pane.h"
#include "ToolBar.h"
#include "WineCheck.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

// The stub's log: the stub opens it by its Unix path, this program by its
// DOS one.
std::string unixLog;
std::string dosLog;
const char kNoPartner[] = "Morvane ist nicht gestartet!";
const char kNoResult[] = "Es ist kein Identifikationsresultat verf\xfc" "gbar!";
const int kButtons[] = {18301, 18300, 185, 186, 187, 9041, 18305, 9038};

using winecheck::dosPath;

std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        size_t end = text.find(' ', i);
        if (end == std::string::npos)
            end = text.size();
        if (end > i)
            out.push_back(text.substr(i, end - i));
        i = end;
    }
    return out;
}

std::string readText(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
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

using winecheck::windowText;

bool menuChecked(IdentResultFrame* f, UINT id)
{
    return (GetMenuState(f->getMenu()->handle(), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool menuGrayed(IdentResultFrame* f, UINT id)
{
    return (GetMenuState(f->getMenu()->handle(), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

bool enabled(IdentResultFrame* f, int id)
{
    return f->toolBar()->isButtonEnabled(id) != 0;
}

template <typename F>
bool pumpUntil(F done, int ms = 5000)
{
    for (int waited = 0; waited < ms && !done(); waited += 20) {
        winecheck::pump();
        Sleep(20);
    }
    winecheck::pump();
    return done();
}

void settle()
{
    for (int i = 0; i < 5; ++i) {
        winecheck::pump();
        Sleep(20);
    }
}

void command(IdentResultFrame* f, int id)
{
    SendMessageA(f->hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// The rows of the pane, trailing blanks cut.
std::vector<std::string> paneRows(IdentResultFrame* f)
{
    std::vector<std::string> rows;
    TextRows& buffer = f->textPane()->rows();
    for (int r = 0; r < buffer.rows(); ++r) {
        std::string row = buffer.rowText(r);
        row.erase(row.find_last_not_of(' ') == std::string::npos ? 0 : row.find_last_not_of(' ') + 1);
        rows.push_back(row);
    }
    return rows;
}

// The lines of a display text as the pane's rows show them.
std::vector<std::string> displayRows(const std::string& text, int rows)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (static_cast<int>(out.size()) < rows) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back(start < text.size() ? text.substr(start) : std::string());
            start = text.size();
            continue;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

bool paneEmpty(IdentResultFrame* f)
{
    for (const std::string& row : paneRows(f))
        if (!row.empty())
            return false;
    return true;
}

std::string clipboardText(WindowCL* owner)
{
    Clipboard clipboard(owner);
    char* text = clipboard.getText();
    std::string out = text ? text : "";
    delete[] text;
    return out;
}

// ---------------------------------------------------------------- the stub

struct Stub {
    PROCESS_INFORMATION info = {};
    bool running = false;
};

// Starts kytwork-stub and waits until "KYTWork" answers.
Stub startStub(const std::string& program, bool refuse)
{
    Stub stub;
    DeleteFileA(dosLog.c_str());
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::string line = "\"" + program + "\" \"" + unixLog + "\"" + (refuse ? " --refuse" : "");
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &stub.info))
        return stub;
    CloseHandle(stub.info.hThread);
    DdeClient client;
    for (int i = 0; i < 100; ++i) {
        DdeConversation probe(&client, kHandOverService, kHandOverTopic);
        if (probe.isConnected()) {
            stub.running = true;
            break;
        }
        winecheck::pump();
        Sleep(100);
    }
    return stub;
}

// Ends the stub with its end command and waits for its process.
bool endStub(Stub& stub)
{
    if (!stub.info.hProcess)
        return false;
    {
        DdeClient client;
        DdeConversation conversation(&client, kHandOverService, kHandOverTopic);
        if (conversation.isConnected()) {
            DdeExecute end(&conversation, "STUB-ENDE", 5);
        }
    }
    bool ended = false;
    for (int i = 0; i < 100; ++i) {
        if (MsgWaitForMultipleObjects(1, &stub.info.hProcess, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        winecheck::pump();
    }
    if (!ended)
        TerminateProcess(stub.info.hProcess, 1);
    CloseHandle(stub.info.hProcess);
    stub.info.hProcess = nullptr;
    return ended;
}

// The log's lines without the stub's end command.
std::vector<std::string> logLines()
{
    std::vector<std::string> lines;
    const std::string text = readText(dosLog);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (line != "STUB-ENDE")
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// ---------------------------------------------------------------- the steps

struct Windows {
    AppFrameCL* main = nullptr;
    KytIdentWindowSystem* system = nullptr;
    int plant = -1;   // na 2, identifies the plant; frozen later
    int empty = -1;   // na 1, mode 2 on zero parameters: no result
    int closed = -1;  // closed with WM_CLOSE after the run
    int ended = -1;   // closed with 9038 after the run
    Stub refusing;    // still running at the program end
};

void opening(Windows& w)
{
    w.plant = identdriver::open(0, 1, 2, 0.1, 0);
    identdriver::openWindow(w.plant, 1);
    w.empty = identdriver::open(0, 0, 1, 0.1, 0);
    identdriver::openWindow(w.empty, 2);
    w.closed = identdriver::open(0, 1, 2, 0.1, 0);
    identdriver::openWindow(w.closed, 1);
    w.ended = identdriver::open(0, 1, 2, 0.1, 0);
    identdriver::openWindow(w.ended, 1);
    settle();
    IdentResultFrame* f = w.system->frameOf(w.plant);
    check(f && f->isWindow() && w.system->frames().size() == 4, "IDWINOPEN opens one window per handle");
    if (!f)
        return;
    check(windowText(f->hwnd) == "Test 0 - LS", ("the title reads \"Test 0 - LS\": " + windowText(f->hwnd)).c_str());
    check(f->toolBar()->isButtonChecked(185) && menuChecked(f, 185) && !menuChecked(f, 186),
          "mode 1 checks 185 in tool bar and menu");
    IdentResultFrame* g = w.system->frameOf(w.empty);
    check(g && g->toolBar()->isButtonChecked(186) && !g->toolBar()->isButtonChecked(185),
          "mode 2 checks 186");
    check(!enabled(f, 18305) && !enabled(f, 9038) && menuGrayed(f, 18305),
          "18305 and 9038 are disabled while the run lasts, 18305 greyed in the menu");
    check(enabled(f, 18301) && enabled(f, 18300) && enabled(f, 9041) && !menuGrayed(f, 18301),
          "copy, hand-over and all digits are enabled");

    bool all = true;
    for (int id : kButtons)
        all = all && f->toolBar()->button(id) != nullptr;
    RECT bar, client;
    GetWindowRect(f->toolBar()->hwnd, &bar);
    GetClientRect(f->hwnd, &client);
    check(all && bar.bottom - bar.top == kIdentToolBarHeight, "the tool bar holds the eight buttons and is 30 px high");
    check(GetParent(f->hwnd) == nullptr && GetWindow(f->hwnd, GW_OWNER) == w.main->hwnd,
          "the window is owned by the main frame");
    check(f->textPane()->rows().rows() == 9 && f->textPane()->rows().columns() == 35 * 2 + 60,
          "the pane has 9 rows of 35 * na + 60 columns");
    // The window shows them all, up to the width of the screen, and every
    // tool-bar button.
    Point extent;
    f->textPane()->getExtent(extent);
    RECT frameRect, pane;
    GetWindowRect(f->hwnd, &frameRect);
    GetClientRect(f->textPane()->hwnd, &pane);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    char size[160];
    snprintf(size, sizeof size, "the pane shows its 9 rows and its columns up to the screen's width: pane %ld x %ld, "
             "text %d x %d, frame %ld x %ld at %ld, %ld", pane.right, pane.bottom, extent.x(), extent.y(),
             frameRect.right - frameRect.left, frameRect.bottom - frameRect.top, frameRect.left, frameRect.top);
    check(pane.bottom >= extent.y() &&
              (pane.right >= extent.x() || (frameRect.right - frameRect.left == screenWidth && pane.right >= 600)),
          size);
    check(frameRect.left >= 0 && frameRect.right <= screenWidth, "the window lies on the screen");
    bool buttonsShown = true;
    for (int id : kButtons) {
        RECT button;
        BmpButtonCL* b = f->toolBar()->button(id);
        buttonsShown = buttonsShown && b && GetWindowRect(b->hwnd, &button) && button.right <= bar.right &&
                       button.bottom <= bar.bottom;
    }
    check(buttonsShown, "every tool-bar button lies inside the tool bar");

    SendMessageA(f->hwnd, WM_CLOSE, 0, 0);
    command(w.system->frameOf(w.ended), 9038);
    settle();
    check(IsWindow(f->hwnd) && w.system->frameOf(w.plant) == f, "WM_CLOSE is refused while the run lasts");
    check(w.system->frameOf(w.ended) != nullptr, "... and so is 9038");
}

void showing(Windows& w, const std::string& picture)
{
    IdentResultFrame* f = w.system->frameOf(w.plant);
    if (!f)
        return;
    identdriver::identifyPlant(w.plant);
    identdriver::put(w.plant);
    settle();
    const std::vector<double> theta = identdriver::theta(w.plant, 4);
    check(std::fabs(theta[0] + 1.5) < 1e-6 && std::fabs(theta[3] - 0.5) < 1e-6, "the plant is identified");
    const std::string z = identDiscreteDisplay(theta.data(), 2, 2, 0, false);
    check(paneRows(f) == displayRows(z, 9), "IDWINPUT writes the G(z) text into the pane's rows");
    check(paneRows(f)[1].compare(0, 7, "G(z) = ") == 0, ("the fraction line: " + paneRows(f)[1]).c_str());
    InvalidateRect(f->hwnd, nullptr, TRUE);
    UpdateWindow(f->hwnd);
    settle();
    check(winecheck::saveWindowPicture(f->hwnd, picture), "the window is saved as a picture");

    command(f, 9041);
    check(paneRows(f) == displayRows(identDiscreteDisplay(theta.data(), 2, 2, 0, true), 9) &&
              f->toolBar()->isButtonChecked(9041) && menuChecked(f, 9041),
          "9041 shows all digits and checks its button and entry");
    command(f, 9041);
    check(paneRows(f) == displayRows(z, 9) && !f->toolBar()->isButtonChecked(9041) && !menuChecked(f, 9041),
          "... and back");

    command(f, 186);
    const std::string s = identdriver::continuousDisplay(w.plant, 2, false);
    check(!s.empty() && paneRows(f) == displayRows(s, 9) && f->toolBar()->isButtonChecked(186) &&
              !f->toolBar()->isButtonChecked(185) && menuChecked(f, 186),
          "186 shows G(s) with zero-order hold and checks 186");
    InvalidateRect(f->hwnd, nullptr, TRUE);
    UpdateWindow(f->hwnd);
    settle();
    winecheck::saveWindowPicture(f->hwnd, winecheck::pictureFolder(picture) + "ident-window-gs.png");
    command(f, 187);
    const std::string ramp = identdriver::continuousDisplay(w.plant, 3, false);
    check(!ramp.empty() && ramp != s && paneRows(f) == displayRows(ramp, 9) && f->toolBar()->isButtonChecked(187) &&
              !f->toolBar()->isButtonChecked(186),
          "187 shows G(s) with first-order hold");
    command(f, 185);
    check(paneRows(f) == displayRows(z, 9) && f->toolBar()->isButtonChecked(185), "185 goes back to G(z)");

    command(f, 18301);
    check(clipboardText(w.main) == identDiscreteTransfer(theta.data(), 2, 2),
          ("18301 puts the transfer function on the clipboard: " + clipboardText(w.main)).c_str());
}

void noResult(Windows& w)
{
    IdentResultFrame* g = w.system->frameOf(w.empty);
    if (!g)
        return;
    identdriver::put(w.empty);
    check(paneEmpty(g), "a conversion that fails (a pole at z = 0) leaves the pane empty");
    for (int id : {18301, 18300}) {
        BoxWatcher box("Fehler", IDOK, 10000);
        command(g, id);
        check(box.found() && box.text() == kNoResult,
              (std::to_string(id) + " then shows 26973 with caption 26972: " + box.text()).c_str());
    }
    check(paneEmpty(g) && !g->handOverPending(), "... and does nothing else");
}

void runEnds(Windows& w)
{
    identdriver::unloadHook();
    settle();
    IdentResultFrame* f = w.system->frameOf(w.plant);
    if (!f)
        return;
    check(enabled(f, 18305) && enabled(f, 9038) && !menuGrayed(f, 18305) && !f->isRunning(),
          "the unload hook enables 18305 and 9038");

    HWND closedWindow = w.system->frameOf(w.closed)->hwnd;
    SendMessageA(closedWindow, WM_CLOSE, 0, 0);
    settle();
    check(!IsWindow(closedWindow) && !w.system->frameOf(w.closed) && !identdriver::isOpen(w.closed),
          "after the run WM_CLOSE closes the window and frees its handle");
    HWND endedWindow = w.system->frameOf(w.ended)->hwnd;
    command(w.system->frameOf(w.ended), 9038);
    settle();
    check(!IsWindow(endedWindow) && !w.system->frameOf(w.ended) && !identdriver::isOpen(w.ended),
          "so does 9038");

    command(f, 18305);
    check(windowText(f->hwnd) == "Test 0 - LS - eingefroren" && f->isFrozen(),
          ("18305 appends \" - eingefroren\": " + windowText(f->hwnd)).c_str());
    check(f->toolBar()->isButtonChecked(18305) && !enabled(f, 18305) && menuGrayed(f, 18305),
          "... checks and disables its button and greys the entry");

    HWND emptyWindow = w.system->frameOf(w.empty)->hwnd;
    identdriver::startHook();
    settle();
    check(w.system->frameOf(w.plant) == f && IsWindow(f->hwnd) && identdriver::isOpen(w.plant),
          "the frozen window and its handle outlive the next start hook");
    check(!IsWindow(emptyWindow) && !w.system->frameOf(w.empty) && !identdriver::isOpen(w.empty),
          "an unfrozen one does not");
    identdriver::unloadHook();
    check(w.system->frameOf(w.plant) == f && f->isFrozen(), "the next unload leaves the frozen window as it is");
}

void handOver(Windows& w, const std::string& stubProgram)
{
    IdentResultFrame* f = w.system->frameOf(w.plant);
    if (!f)
        return;
    const std::vector<double> theta = identdriver::theta(w.plant, 4);
    const std::string expected = identHandOverCommand(identDiscreteTransfer(theta.data(), 2, 2), 0.0, 0.1);

    {
        BoxWatcher box("Fehler", IDOK, 10000);
        command(f, 18300);
        check(box.found() && box.text() == kNoPartner,
              ("without KYTWork 18300 shows 26971 with caption 26972: " + box.text()).c_str());
    }

    Stub stub = startStub(stubProgram, false);
    check(stub.running, "kytwork-stub serves KYTWork");
    if (stub.running) {
        BoxWatcher none("Fehler", IDOK, 3000);
        command(f, 18300);
        pumpUntil([&] { return logLines().size() == 1 && !f->handOverPending(); });
        command(f, 18300);
        pumpUntil([&] { return logLines().size() == 2 && !f->handOverPending(); });
        settle();
        const std::vector<std::string> lines = logLines();
        check(lines.size() == 2 && lines[0] == expected && lines[1] == expected,
              ("the stub logs the hand-over line, twice for two hand-overs: " +
               (lines.empty() ? std::string("(none)") : lines[0]))
                  .c_str());
        check(expected.compare(0, 14, "CREATE Ident (") == 0 && expected.find(") 0. 0.1") != std::string::npos,
              ("... which reads " + expected).c_str());
        check(!none.found(), "an accepted hand-over shows no box");
        check(endStub(stub), "the stub ends");
        BoxWatcher box("Fehler", IDOK, 10000);
        command(f, 18300);
        check(box.found() && box.text() == kNoPartner, "after the stub's end the next hand-over shows 26971 at once");
    }

    w.refusing = startStub(stubProgram, true);
    check(w.refusing.running, "the refusing stub serves KYTWork");
    if (w.refusing.running) {
        // Wine completes a refused execute only after about ten seconds.
        BoxWatcher box("Fehler", IDOK, 40000);
        command(f, 18300);
        const bool sent = f->handOverPending();
        pumpUntil([&] { return !f->handOverPending(); }, 30000);
        settle();
        check(sent && box.found() && box.text() == kNoPartner && logLines().size() == 1,
              "a refused hand-over shows 26971 after its completion");
        // Left waiting for the program end.
        command(f, 18300);
        check(f->handOverPending(), "another hand-over waits for its answer");
    }
}

void programEnd(Windows& w)
{
    HWND frozen = w.system->frameOf(w.plant) ? w.system->frameOf(w.plant)->hwnd : nullptr;
    identdriver::closeAll();
    settle();
    check(w.system->frames().empty() && frozen && !IsWindow(frozen) && !FindWindowA(nullptr, "Test 0 - LS - eingefroren"),
          "identCloseAll leaves no window");
    check(w.system->handOverClient() == nullptr, "... and no DDE client");
    check(identdriver::messages().empty(), "the library reported nothing");
    if (w.refusing.running) {
        // The window's transaction was abandoned with it: its late answer
        // reaches nothing and shows nothing.
        BoxWatcher none("Fehler", IDOK, 2000);
        pumpUntil([] { return false; }, 14000);
        check(!none.found(), "a hand-over still waiting when its window goes shows nothing later");
        endStub(w.refusing);
    }
}

} // namespace

void appMain(Application* app)
{
    const std::vector<std::string> args = words(app->commandLine.text() ? app->commandLine.text() : "");
    if (args.size() != 3) {
        printf("usage: ident_window_test PNG-PATH KYTWORK-STUB WORK-FOLDER\n");
        app->exitCode = 2;
        return;
    }
    winecheck::startWatchdog(175);
    unixLog = args[2] + "/kytwork.log";
    dosLog = "Z:" + dosPath(unixLog);
    Windows w;
    w.main = new AppFrameCL(nullptr, new Layout(0, 0, 320, 200), WS_OVERLAPPEDWINDOW, "KYT");
    w.main->show(SW_SHOWNORMAL);
    installIdentWindowSystem(w.main);
    w.system = kytIdentWindowSystem();
    identdriver::attach();
    check(w.system->handOverClient() != nullptr, "the load hook makes the program's DDE client");

    opening(w);
    showing(w, args[0]);
    noResult(w);
    runEnds(w);
    handOver(w, dosPath(args[1]));
    programEnd(w);

    installIdentWindowSystem(nullptr);
    delete w.main;
    app->exitCode = winecheck::summary();
}
