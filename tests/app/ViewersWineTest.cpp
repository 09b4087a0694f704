// Under wine: kyt's viewers on their own. A model with a syntax error is
// compiled and its message shows in the listing viewer over kyttrans.tmp
// (listing-viewer.png); the workspace shows help sections in the help
// viewer (help-viewer.png); the text editor window edits, saves, refuses and
// keeps a fixture block file (text-editor.png).
//
//   viewers_wine_test PICTURE-FOLDER FIXTURE-FOLDER
#include "Application.h"
#include "CompileRoad.h"
#include "DeferredMessages.h"
#include "EditorWindowRules.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "HelpSize.h"
#include "HelpViewerWindow.h"
#include "ListingText.h"
#include "ListingViewer.h"
#include "ResString.h"
#include "ShowFile.h"
#include "TextEditorWindow.h"
#include "WineCheck.h"
#include "Workspace.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using winecheck::check;

namespace {

std::string readAll(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "(missing)";
    int c;
    while ((c = getc(f)) != EOF)
        bytes += static_cast<char>(c);
    fclose(f);
    return bytes;
}

void writeAll(const std::string& path, const std::string& bytes)
{
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
}

std::string windowText(HWND hwnd)
{
    const int length = static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string formatted(unsigned int id, const std::string& name)
{
    char text[1200];
    snprintf(text, sizeof text, getResString(id), name.c_str());
    return text;
}

// The edit controls of a window, top to bottom.
std::vector<HWND> editsOf(HWND window)
{
    std::vector<HWND> edits;
    for (HWND e = FindWindowExA(window, nullptr, "Edit", nullptr); e; e = FindWindowExA(window, e, "Edit", nullptr))
        edits.push_back(e);
    auto top = [](HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        return r.top;
    };
    for (size_t i = 1; i < edits.size(); ++i)
        for (size_t j = i; j > 0 && top(edits[j]) < top(edits[j - 1]); --j)
            std::swap(edits[j], edits[j - 1]);
    return edits;
}

// ---------------------------------------------------------------- steps in a modal run

// The viewers run modally inside the code under test; these steps run from
// a thread timer of that run's message loop, one a tick, each on the window
// of the wanted title. A step that shows a box runs its own loop: the next
// step waits for it.
struct ModalScript {
    std::string title;
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    bool running = false;
    int ticks = 0;
};
ModalScript script;

VOID CALLBACK scriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (script.running || script.next >= script.steps.size())
        return;
    ++script.ticks;
    HWND window = FindWindowA(nullptr, script.title.c_str());
    if (!window || !IsWindowVisible(window))
        return;
    script.running = true;
    script.steps[script.next++](window);
    script.running = false;
}

class ScriptRun {
public:
    ScriptRun(const std::string& title, std::vector<std::function<void(HWND)>> steps)
    {
        script.title = title;
        script.steps = std::move(steps);
        script.next = 0;
        script.ticks = 0;
        timer = SetTimer(nullptr, 0, 100, scriptTick);
    }
    ~ScriptRun() { KillTimer(nullptr, timer); }
    bool allRan() const { return script.next == script.steps.size(); }

private:
    UINT_PTR timer;
};

void saveWindow(HWND window, const std::string& path)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    winecheck::pump();
    check(winecheck::saveWindowPicture(window, path), ("picture " + path).c_str());
}

void command(HWND window, int id)
{
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool grayed(HWND window, int id)
{
    HMENU menu = GetMenu(window);
    SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    return (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// ---------------------------------------------------------------- listing viewer

const int kErrorLine = 30;

void listingViewer(const std::string& tempDir, const std::string& pictures, WindowCL* frame)
{
    ListingFileViewer viewer(frame);
    setFileViewer(&viewer);
    // The unknown character stands in line 30: the listing scrolls it near
    // the top.
    const std::string model = "BLOCK A;\nOUTPUT y;\nSIM\n" + std::string(26, '\n') + "  y = @;\n" +
                              std::string(60, '\n') + "ENDSIM\nENDBLOCK A;\n";
    const std::string path = tempDir + "/kyttrans.tmp";
    writeAll(path, model);
    const std::string shownPath = fileAtLinePath("kyttrans.tmp", 0).text();
    const Listing expected = loadListing(shownPath.c_str(), kErrorLine, mainListingStyle());
    bool seen = false;
    {
        ScriptRun run(shownPath, {[&](HWND window) {
                          seen = true;
                          RECT outer;
                          GetWindowRect(window, &outer);
                          check(outer.right - outer.left == kFileViewerWidth &&
                                    outer.bottom - outer.top == kFileViewerHeight,
                                "listing viewer: the window is 500 x 400 pixels");
                          check(GetParent(window) == frame->hwnd || GetWindow(window, GW_OWNER) == frame->hwnd,
                                "listing viewer: owned by the main frame");
                          check(!IsWindowEnabled(frame->hwnd), "listing viewer: modal over the main frame");
                          std::vector<HWND> edits = editsOf(window);
                          check(edits.size() == 2, "listing viewer: a message and a listing control");
                          if (edits.size() != 2)
                              return;
                          const std::string message = windowText(edits[0]);
                          check(message.find("In oder vor Zeile 30") == 0 &&
                                    message.find("\r\n") != std::string::npos &&
                                    message.find("\n") == message.find("\r\n") + 1,
                                "listing viewer: the message stands above with its lines ended by CR LF");
                          check(windowText(edits[1]) == expected.text, "listing viewer: the listing of kyttrans.tmp");
                          DWORD start = 0, end = 0;
                          SendMessageA(edits[1], EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                       reinterpret_cast<LPARAM>(&end));
                          check(static_cast<int>(start) == expected.highlightStart + 1 &&
                                    static_cast<int>(end) == expected.highlightEnd,
                                "listing viewer: the selection is the loader's highlight of line 30");
                          check(SendMessageA(edits[1], EM_GETFIRSTVISIBLELINE, 0, 0) == kErrorLine - 1 - 5,
                                "listing viewer: line 30 stands with five lines above it");
                          check(GetWindowLongA(edits[1], GWL_STYLE) & ES_READONLY, "listing viewer: read-only");
                          RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                          winecheck::pump();
                          RECT client;
                          GetClientRect(edits[1], &client);
                          HDC dc = GetDC(edits[1]);
                          const int highlighted = winecheck::countPixels(dc, client, GetSysColor(COLOR_HIGHLIGHT));
                          ReleaseDC(edits[1], dc);
                          check(highlighted > 50, "listing viewer: the chosen line shows in the highlight colour");
                          saveWindow(window, pictures + "listing-viewer.png");
                          HWND ok = GetDlgItem(window, IDOK);
                          char okText[8] = "";
                          GetWindowTextA(ok, okText, sizeof okText);
                          check(ok && lstrcmpA(okText, "OK") == 0, "listing viewer: an OK button");
                          SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
                      }});
        const int result = compileModelFile(path.c_str());
        check(result == COMPILE_PARSE_FAILED, "the model with an unknown character does not compile");
        check(run.allRan(), "OK ended the viewer's modal run");
    }
    check(seen, "the compile error showed the listing viewer titled with kyttrans.tmp's path");
    releaseCompiledModel();
    setFileViewer(nullptr);

    // A file that does not open shows 20907 in the listing, and line 0
    // highlights nothing.
    const std::string missing = tempDir + "/fehlt.kyt";
    ListingViewer* noFile = new ListingViewer(frame, new Layout(0, 0, 500, 400), WS_OVERLAPPEDWINDOW, "fehlt",
                                              "eins\nzwei\r\ndrei", missing.c_str(), 0);
    check(windowText(noFile->listingControl->hwnd) == formatted(20907, missing),
          "listing viewer: a missing file shows 20907 in the listing");
    check(windowText(noFile->messageControl->hwnd) == "eins\r\nzwei\r\ndrei",
          "listing viewer: every line of the message ends with CR LF once");
    DWORD start = 1, end = 1;
    SendMessageA(noFile->listingControl->hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    check(start == 0 && end == 0, "listing viewer: line 0 selects nothing");
    delete noFile;
}

// ---------------------------------------------------------------- help viewer

BOOL CALLBACK countHelpWindow(HWND hwnd, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char title[64] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && lstrcmpA(title, "KYT Hilfe") == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int helpWindowCount()
{
    int count = 0;
    EnumWindows(countHelpWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

void helpViewer(Workspace& workspace, const std::string& fixtures, const std::string& pictures, WindowCL* frame)
{
    HelpViewerWindowFactory factory(frame);
    workspace.setHelpViewerFactory(&factory);
    workspace.HELPDIR = fixtures.c_str();
    const String section = loadHelpSection(fixtures.c_str(), "IDH_HELP_General");
    check(section.getLength() > 100, "the fixture kythelp.txt has the section IDH_HELP_General");

    // What command 18010 does.
    workspace.showHelpSection("IDH_HELP_General");
    HelpViewerWindow* first = dynamic_cast<HelpViewerWindow*>(workspace.helpWindow);
    check(first && first->isWindow(), "help: a viewer window is open and in the workspace's slot");
    if (!first)
        return;
    winecheck::pump();
    HWND firstWindow = first->hwnd;
    check(windowText(firstWindow) == "KYT Hilfe", "help: titled \"KYT Hilfe\"");
    check(windowText(first->textControl->hwnd) == section.text(), "help: the text is the section, read back");
    check(GetWindowLongA(first->textControl->hwnd, GWL_STYLE) & ES_READONLY, "help: the text is read-only");
    const HelpWindowSize size =
        helpWindowSize(section.text(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    RECT r;
    GetWindowRect(firstWindow, &r);
    printf("help window %ld x %ld, computed %d x %d\n", r.right - r.left, r.bottom - r.top, size.width, size.height);
    check(r.right - r.left == size.width && r.bottom - r.top == size.height, "help: the window has the computed size");
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(first->textControl->hwnd, WM_GETFONT, 0, 0));
    check(font == GetStockObject(SYSTEM_FIXED_FONT), "help: the text is in the fixed-pitch system font");
    saveWindow(firstWindow, pictures + "help-viewer.png");

    // A second help replaces the first: one window.
    workspace.showHelpSection("IDH_HELP_OptionsDlg");
    winecheck::pump();
    check(!IsWindow(firstWindow), "help: the second help deleted the first viewer");
    check(helpWindowCount() == 1, "help: a second help leaves one window");
    HelpViewerWindow* second = dynamic_cast<HelpViewerWindow*>(workspace.helpWindow);
    check(second && windowText(second->textControl->hwnd) ==
                        loadHelpSection(fixtures.c_str(), "IDH_HELP_OptionsDlg").text(),
          "help: the second viewer shows the other section");

    // Closed by the user: the slot is cleared and the object is gone; the
    // next help opens a new window and deletes nothing twice.
    HWND secondWindow = second ? second->hwnd : nullptr;
    SendMessageA(secondWindow, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(!IsWindow(secondWindow), "help: closing destroys the window");
    check(workspace.helpWindow == nullptr, "help: closing clears the owner's pointer");
    workspace.showHelpSection("IDH_HELP_General");
    winecheck::pump();
    check(workspace.helpWindow && helpWindowCount() == 1, "help: help after closing opens a new window");

    // A viewer that goes with its owner leaves the slot too.
    AppFrameCL* owner = new AppFrameCL(nullptr, new Layout(10, 10, 200, 100), WS_OVERLAPPEDWINDOW, "Besitzer");
    owner->show(SW_SHOW);
    HelpViewer* slot = nullptr;
    slot = new HelpViewerWindow(owner, nullptr, WS_OVERLAPPEDWINDOW, "Hilfe am Besitzer", String("a\nb\n"), &slot, 1);
    winecheck::pump();
    DestroyWindow(owner->hwnd);
    winecheck::pump();
    check(slot == nullptr, "help: a viewer destroyed with its owner clears the slot");
    delete owner;

    workspace.setHelpViewerFactory(nullptr);
    delete workspace.helpWindow;
    workspace.helpWindow = nullptr;
}

// ---------------------------------------------------------------- text editor window

// Runs the window on path; the steps run while it is open. The window
// object, which the caller deletes.
TextEditorWindow* runEditor(WindowCL* frame, const std::string& path, int readOnly, const std::string& shownTitle,
                            std::vector<std::function<void(HWND)>> steps, bool* allRan)
{
    ScriptRun run(shownTitle, std::move(steps));
    TextEditorWindow* w =
        new TextEditorWindow(frame, new Layout(0, 0, 560, 360), WS_OVERLAPPEDWINDOW, "block.kyb", String(path.c_str()),
                             readOnly);
    *allRan = run.allRan();
    return w;
}

HWND editOf(HWND window)
{
    return FindWindowExA(window, nullptr, "Edit", nullptr);
}

void putClipboardText(const char* text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    memcpy(GlobalLock(block), text, strlen(text) + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

std::string clipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return "(no clipboard)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void textEditorEdits(WindowCL* frame, const std::string& dir, const std::string& fixtures, const std::string& pictures)
{
    const std::string original = readAll(fixtures + "/block.kyb");
    const std::string path = dir + "/block.kyb";
    writeAll(path, original);
    std::string typed;
    bool allRan = false;
    TextEditorWindow* w = runEditor(
        frame, path, 0, "block.kyb",
        {[&](HWND window) {
             HWND edit = editOf(window);
             check(windowText(edit) == original, "editor: the file is loaded byte for byte");
             check(grayed(window, EDITOR_SAVE_AND_CLOSE), "editor: 131 is grey on an unchanged text");
             check(grayed(window, EDITOR_CUT) && grayed(window, EDITOR_COPY), "editor: cut and copy grey without a selection");
             HWND bar = FindWindowExA(window, nullptr, nullptr, nullptr);
             RECT client, barRect;
             GetClientRect(window, &client);
             int barHeight = 0;
             for (HWND child = bar; child; child = GetWindow(child, GW_HWNDNEXT)) {
                 GetWindowRect(child, &barRect);
                 POINT topLeft = {barRect.left, barRect.top};
                 ScreenToClient(window, &topLeft);
                 if (topLeft.y == 0 && child != edit)
                     barHeight = barRect.bottom - barRect.top;
             }
             check(barHeight == kEditorToolBarHeight, "editor: the tool bar at the top is 29 pixels high");
             check(SendMessageA(edit, WM_GETFONT, 0, 0) == reinterpret_cast<LRESULT>(GetStockObject(SYSTEM_FIXED_FONT)),
                   "editor: the text is in the fixed-pitch system font");
         },
         [&](HWND window) {
             HWND edit = editOf(window);
             SendMessageA(edit, EM_SETSEL, 0, 0);
             SendMessageA(edit, WM_CHAR, '#', 1);
             SendMessageA(edit, WM_CHAR, ' ', 1);
             typed = windowText(edit);
             check(typed == "# " + original, "editor: typing changes the text");
             check(!grayed(window, EDITOR_SAVE_AND_CLOSE), "editor: 131 is enabled after a change");
             SendMessageA(edit, EM_SETSEL, 0, 5);
             check(!grayed(window, EDITOR_CUT) && !grayed(window, EDITOR_COPY), "editor: cut and copy with a selection");
             SendMessageA(edit, EM_SETSEL, 2, 2);
             saveWindow(window, pictures + "text-editor.png");
         },
         [&](HWND window) {
             winecheck::BoxWatcher box("KYT Editor", IDNO);
             command(window, EDITOR_CLOSE);
             check(box.found() && box.text() == formatted(19130, path), "editor: 4017 on a changed text asks 19130");
             check(IsWindowVisible(window) && windowText(editOf(window)) == typed,
                   "editor: No keeps the window open with its text");
         },
         [&](HWND window) { command(window, EDITOR_SAVE_AND_CLOSE); }},
        &allRan);
    check(allRan, "editor: every step ran");
    check(w->saved == 1, "editor: 131 sets the saved flag");
    check(!w->isWindow() || !IsWindowVisible(w->hwnd), "editor: 131 closes the window");
    check(readAll(path) == typed, "editor: 131 wrote the text byte for byte");
    delete w;
}

void textEditorReadOnly(WindowCL* frame, const std::string& dir, const std::string& fixtures)
{
    const std::string original = readAll(fixtures + "/block.kyb");
    const std::string path = dir + "/nurlesen.kyb";
    writeAll(path, original);
    bool allRan = false;
    const std::string title = editorWindowTitle("block.kyb", true);
    bool noBox = false;
    TextEditorWindow* w = runEditor(
        frame, path, 1, title,
        {[&](HWND window) {
             check(windowText(window) == "block.kyb - schreibgeschützt", "read-only: the title says so");
             HWND edit = editOf(window);
             check(windowText(edit) == original, "read-only: the file is shown");
             check(grayed(window, EDITOR_SAVE_AND_CLOSE) && grayed(window, EDITOR_PASTE),
                   "read-only: save and paste are grey");
             putClipboardText("EINGEFUEGT");
             SendMessageA(edit, EM_SETSEL, 0, 5);
             SendMessageA(edit, WM_CHAR, 'x', 1);
             SendMessageA(edit, WM_CHAR, 22, 1); // Ctrl+V
             SendMessageA(edit, WM_CHAR, 24, 1); // Ctrl+X
             SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 1 | (1 << 24));
             SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 1);
             BYTE keys[256];
             GetKeyboardState(keys);
             keys[VK_SHIFT] = 0x80;
             SetKeyboardState(keys);
             SendMessageA(edit, WM_KEYDOWN, VK_INSERT, 1 | (1 << 24));
             keys[VK_SHIFT] = 0;
             SetKeyboardState(keys);
             SendMessageA(edit, WM_PASTE, 0, 0);
             command(window, EDITOR_PASTE);
             command(window, EDITOR_CUT);
             check(windowText(edit) == original, "read-only: typing, Delete, Shift+Insert, 18043 and 18045 change nothing");
             SendMessageA(edit, EM_SETSEL, 0, 5);
             SendMessageA(edit, WM_CHAR, 3, 1); // Ctrl+C
             check(clipboardText() == original.substr(0, 5), "read-only: Ctrl+C copies the selection");
             putClipboardText("nochmal");
             command(window, EDITOR_COPY);
             check(clipboardText() == original.substr(0, 5), "read-only: 18044 copies the selection");
         },
         [&](HWND window) {
             winecheck::BoxWatcher box("KYT Editor", IDYES, 1500);
             command(window, EDITOR_CLOSE);
             noBox = !box.found();
         }},
        &allRan);
    check(allRan && noBox, "read-only: 4017 closes without a question");
    check(w->saved == 0 && readAll(path) == original, "read-only: nothing was saved");
    delete w;

    // A file that cannot be opened for appending opens read-only.
    const std::string locked = dir + "/gesperrt.kyb";
    writeAll(locked, original);
    chmod(locked.c_str(), 0444);
    const bool root = access(locked.c_str(), W_OK) == 0;
    if (!root) {
        w = runEditor(frame, locked, 0, title, {[&](HWND window) { command(window, EDITOR_CLOSE); }}, &allRan);
        check(allRan && w->readOnly == 1, "a write-protected file opens read-only");
        delete w;
    }
    chmod(locked.c_str(), 0644);

    // A file that cannot be loaded: 20907 with caption "KYT Editor", the
    // window opens empty.
    const std::string nowhere = dir + "/fehlt/block.kyb";
    {
        winecheck::BoxWatcher box("KYT Editor");
        w = runEditor(frame, nowhere, 0, title,
                      {[&](HWND window) {
                          check(windowText(editOf(window)).empty(), "a file that does not load leaves the window empty");
                          // Closed by its system menu: a read-only window asks nothing.
                          SendMessageA(window, WM_CLOSE, 0, 0);
                      }},
                      &allRan);
        check(box.found() && box.text() == formatted(20907, nowhere), "a file that does not load shows 20907");
        check(allRan, "the window opened anyway");
        delete w;
    }
}

void textEditorSaveFails(WindowCL* frame, const std::string& dir, const std::string& fixtures)
{
    const std::string original = readAll(fixtures + "/block.kyb");
    const std::string sub = dir + "/weg";
    mkdir(sub.c_str(), 0777);
    const std::string path = sub + "/block.kyb";
    writeAll(path, original);
    bool allRan = false;
    std::string typed;
    TextEditorWindow* w = runEditor(
        frame, path, 0, "block.kyb",
        {[&](HWND window) {
             HWND edit = editOf(window);
             SendMessageA(edit, WM_CHAR, 'z', 1);
             typed = windowText(edit);
             const std::string removal = "rm -rf '" + sub + "'";
             check(system(removal.c_str()) == 0, "the file's directory is removed");
         },
         [&](HWND window) {
             winecheck::BoxWatcher box("KYT Editor");
             command(window, EDITOR_SAVE_AND_CLOSE);
             check(box.found() && box.text() == formatted(19200, path), "a failed save shows 19200 with the name");
             check(IsWindowVisible(window) && windowText(editOf(window)) == typed,
                   "after a failed save the window stays open with its text");
         },
         [&](HWND window) {
             winecheck::BoxWatcher box("KYT Editor", IDYES);
             command(window, EDITOR_CLOSE);
             check(box.found(), "closing the unsaved text asks");
         }},
        &allRan);
    check(allRan && w->saved == 0, "a failed save leaves the saved flag 0");
    delete w;
}

std::vector<std::string> arguments(const char* commandLine)
{
    std::vector<std::string> words;
    std::string word;
    for (const char* p = commandLine ? commandLine : ""; ; ++p) {
        if (!*p || *p == ' ' || *p == '\t') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            if (!*p)
                break;
        } else if (*p != '"') {
            word += *p;
        }
    }
    return words;
}

// Drive letter Z: is the Unix root.
std::string unixPath(const std::string& path)
{
    std::string p = path.compare(0, 2, "Z:") == 0 ? path.substr(2) : path;
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

class QuietSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char* caption) override
    {
        printf("box %s: %s\n", caption ? caption : "", text ? text : "");
        ++boxes;
    }
    [[noreturn]] void endProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
    int boxes = 0;
};

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(100);
    QuietSink sink;
    setErrorSink(&sink);
    disableErrorLog();
    const std::vector<std::string> args = arguments(app->commandLine.text());
    const std::string pictures = args.size() > 0 ? args[0] : std::string();
    const std::string fixtures = unixPath(args.size() > 1 ? args[1] : std::string("."));
    char dirTemplate[] = "/tmp/kyt-viewers-XXXXXX";
    const std::string dir = mkdtemp(dirTemplate) ? dirTemplate : "/tmp";

    Workspace workspace;
    setWorkspace(&workspace);
    workspace.setTempDir(("Z:" + dir).c_str());

    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(40, 40, 640, 480), WS_OVERLAPPEDWINDOW, "KYT");
    frame->show(SW_SHOW);
    winecheck::pump();

    listingViewer(dir, pictures, frame);
    helpViewer(workspace, fixtures, pictures, frame);
    textEditorEdits(frame, dir, fixtures, pictures);
    textEditorReadOnly(frame, dir, fixtures);
    textEditorSaveFails(frame, dir, fixtures);
    check(sink.boxes == 0, "no error box of the reporter came up");

    setWorkspace(nullptr);
    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
    if (dir != "/tmp")
        system(("rm -rf '" + dir + "'").c_str());
    app->exitCode = winecheck::summary();
}
