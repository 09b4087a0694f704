// Under wine, kyt in this process on a copy of the staged installation (in a
// directory with a blank, started on its example with the path quoted): a
// circuit opened through Datei > Öffnen (111, the real open dialog, the name
// typed and Open pressed) replaces the pane, and the new pane is set up as
// the one at the start: it fills the frame between tool bar and status bar,
// and the companions it starts run in the installation. The fuzzy block of
// fuzzy.kyt is edited in the real kytfuzzy (Save, Exit: code 0, the block
// rebuilt), the identification block of identifikation.kyt in the real
// kytident (Abbrechen: code 1, nothing changes; OK: code 0, the block
// rebuilt); no box of kyt or of a companion shows, and no ERROR.LOG lands in
// Beispiele. Datei > Neu (9003) gives an empty pane in the same place.
//
//   kyt_open_wizards_wine_test PNG-FOLDER STAGED-INSTALLATION (a Unix path)
#include "Application.h"
#include "BlockObject.h"
#include "CompanionWindows.h"
#include "ErrorReporter.h"
#include "GedPane.h"
#include "KytProgram.h"
#include "KytRegistry.h"
#include "MainFrame.h"
#include "PaneCommands.h"
#include "StatusBar.h"
#include "WineCheck.h"
#include "WineRecordingSink.h"
#include "Workspace.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using winecheck::check;
using namespace companions;

namespace {

// The file-name field of the common file dialogs.
const int kFileNameCombo = 0x47c;
const int kCommandOpen = 111;
const int kCommandNew = 9003;
// kytfuzzy's Save and Exit.
const int kFuzzySave = 113;
const int kFuzzyExit = 11004;

std::string folder;   // where the pictures go, DOS form with a closing backslash
std::string install;  // the copy of the installation, DOS form

using winecheck::RecordingSink;
RecordingSink sink;

bool fileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A window's rectangle in the client coordinates of another.
RECT rectIn(HWND window, HWND parent)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string rectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

// What the test did in the real open dialog.
struct OpenAnswer {
    std::string path;
    bool found = false;
};

// On a thread of its own: the open dialog of this process, the path typed
// into its name field and Open pressed.
DWORD WINAPI answerOpenDialog(LPVOID p)
{
    OpenAnswer* answer = static_cast<OpenAnswer*>(p);
    for (int i = 0; i < 300 && !answer->found; ++i) {
        HWND box = winecheck::findOwnBox("W\xe4hle eine Schaltung ...");
        if (!box || !IsWindowVisible(box)) {
            Sleep(50);
            continue;
        }
        Sleep(300);
        answer->found = true;
        SetDlgItemTextA(box, kFileNameCombo, answer->path.c_str());
        HWND open = GetDlgItem(box, IDOK);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(open));
    }
    return 0;
}

class OpenKyt : public KytProgram {
public:
    OpenKyt(Application* application, const std::string& line) : KytProgram(application, line.c_str()) {}

protected:
    void runCircuit(int) override {}
    int messageLoop() override
    {
        setErrorSink(&sink);
        settle();
        scenarios();
        frame()->getPane()->model().circuitSaved = 1;
        PostMessageA(frame()->hwnd, WM_COMMAND, kCommandExit, 0);
        return KytProgram::messageLoop();
    }

private:
    void settle()
    {
        for (int i = 0; i < 8; ++i) {
            winecheck::pump();
            app->runIdleTasks();
            Sleep(20);
        }
    }
    GedPane* pane() { return frame()->getPane(); }
    CircuitModel& model() { return pane()->model(); }

    void scenarios();
    // The rectangle between tool bar and status bar, over the frame's width.
    RECT restOfFrame();
    bool paneFillsTheRest(const std::string& when);
    bool openThroughTheDialog(const std::string& file);
    BlockObject* wizardBlock(const char* kind);
    template <typename Script>
    bool runWizard(BlockObject* block, Script script);
    void editFuzzyBlock(ForeignBoxes& boxes);
    void editIdentBlock(ForeignBoxes& boxes);
};

RECT OpenKyt::restOfFrame()
{
    HWND f = frame()->hwnd;
    RECT client;
    GetClientRect(f, &client);
    const RECT bar = rectIn(frame()->getToolBar()->hwnd, f);
    const RECT status = rectIn(frame()->getStatusBar()->hwnd, f);
    return RECT{client.left, bar.bottom, client.right, status.top};
}

bool OpenKyt::paneFillsTheRest(const std::string& when)
{
    const RECT want = restOfFrame();
    const RECT is = rectIn(pane()->hwnd, frame()->hwnd);
    const bool fills = EqualRect(&want, &is) && want.bottom - want.top > 100;
    check(fills, (when + ": the pane fills the frame between tool bar and status bar " + rectText(is) + ", the rest " +
                  rectText(want))
                     .c_str());
    return fills;
}

bool OpenKyt::openThroughTheDialog(const std::string& file)
{
    // The new pane may take the old one's memory: its window tells them apart.
    HWND before = pane()->hwnd;
    OpenAnswer answer;
    answer.path = install + "\\Beispiele\\" + file;
    HANDLE watcher = CreateThread(nullptr, 0, answerOpenDialog, &answer, 0, nullptr);
    PostMessageA(frame()->hwnd, WM_COMMAND, kCommandOpen, 0);
    winecheck::pump();
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    const std::string title = "KYT 2.52 - " + answer.path;
    for (int i = 0; i < 200 && winecheck::windowText(frame()->hwnd) != title; ++i)
        settle();
    settle();
    const bool opened = answer.found && winecheck::windowText(frame()->hwnd) == title && pane()->hwnd != before;
    check(opened, ("111: the open dialog takes " + file + ", kyt shows it in a new pane: " +
                   winecheck::windowText(frame()->hwnd))
                      .c_str());
    return opened;
}

BlockObject* OpenKyt::wizardBlock(const char* kind)
{
    for (GraphicObject* object : model().objects)
        if (object->kind() == 1) {
            BlockObject* block = static_cast<BlockObject*>(object);
            if (block->wizardFlag && block->wizardName == String(kind))
                return block;
        }
    return nullptr;
}

// 172 on the block from its block menu; the script answers the companion;
// then idle passes until kyt saw its end.
template <typename Script>
bool OpenKyt::runWizard(BlockObject* block, Script script)
{
    pane()->controller().contextBlock = block;
    PostMessageA(pane()->hwnd, WM_COMMAND, kCommandEditOrView, 0);
    settle();
    script();
    for (int i = 0; i < 800 && pane()->commands().wizardRunning(); ++i) {
        winecheck::pump();
        app->runIdleTasks();
        Sleep(25);
    }
    settle();
    return !pane()->commands().wizardRunning();
}

void OpenKyt::editFuzzyBlock(ForeignBoxes& boxes)
{
    BlockObject* block = wizardBlock("Fuzzy");
    check(block != nullptr, "fuzzy.kyt holds a fuzzy wizard block");
    if (!block)
        return;
    const String type = block->typeName;
    bool editorShown = false;
    const bool ended = runWizard(block, [&] {
        HWND editor = waitForForeign("", "KYTfuzzy 2.51", app);
        for (int i = 0; editor && i < 400 && winecheck::windowText(editor).find(".kyb") == std::string::npos; ++i) {
            winecheck::pump();
            app->runIdleTasks();
            Sleep(25);
        }
        editorShown = editor && winecheck::windowText(editor).find(".kyb") != std::string::npos;
        // The editor lays out and paints its pages once the block is in.
        for (int i = 0; editorShown && i < 40; ++i) {
            winecheck::pump();
            app->runIdleTasks();
            Sleep(25);
        }
        if (editorShown)
            winecheck::saveWindowPicture(editor, folder + "kyt-open-kytfuzzy.png");
        if (editor) {
            PostMessageA(editor, WM_COMMAND, MAKEWPARAM(kFuzzySave, 0), 0);
            PostMessageA(editor, WM_COMMAND, MAKEWPARAM(kFuzzyExit, 0), 0);
        }
    });
    check(editorShown, "kytfuzzy starts on the fuzzy block");
    BlockObject* rebuilt = wizardBlock("Fuzzy");
    check(ended && rebuilt && !model().contains(block) && rebuilt->typeName == type,
          "Save and Exit end kytfuzzy with code 0: kyt rebuilds the block");
    check(boxes.seen().empty(), "kytfuzzy shows no box (it finds kyt.ini)");
    for (const std::string& b : boxes.seen())
        printf("(kytfuzzy's box: %s)\n", b.c_str());
}

void OpenKyt::editIdentBlock(ForeignBoxes& boxes)
{
    BlockObject* block = wizardBlock("Ident");
    check(block != nullptr, "identifikation.kyt holds an identification wizard block");
    if (!block)
        return;
    // Abbrechen: code 1, the block stays as it is.
    bool shown = false;
    bool ended = runWizard(block, [&] {
        HWND dialog = waitForForeign("DialogFrameCL", "", app);
        shown = dialog != nullptr;
        Sleep(300);
        if (dialog)
            winecheck::saveWindowPicture(dialog, folder + "kyt-open-kytident.png");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    check(shown, "kytident starts on the identification block");
    check(ended && model().contains(block) && sink.boxes.empty(),
          "Abbrechen ends kytident with code 1: the block stays as it was");
    check(boxes.seen().empty(), "kytident shows no box (it finds kyt.ini and its help)");
    for (const std::string& b : boxes.seen())
        printf("(kytident's box: %s)\n", b.c_str());
    // OK: the example's alpha lies within kytident's usual range, so OK
    // asks nothing (any question is answered, and fails the check). Code 0,
    // the block is rebuilt.
    boxes.clear();
    boxes.answer("KYTident Warnung", IDYES);
    ended = runWizard(block, [&] {
        HWND dialog = waitForForeign("DialogFrameCL", "", app);
        Sleep(300);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    check(ended && !model().contains(block) && wizardBlock("Ident") != nullptr && sink.boxes.empty(),
          "OK ends kytident with code 0: kyt rebuilds the block");
    const std::vector<std::string> asked = boxes.seen();
    check(asked.empty(), "... without a question: the example's alpha is within kytident's range");
    for (const std::string& b : asked)
        printf("(kytident's box: %s)\n", b.c_str());
}

void OpenKyt::scenarios()
{
    check(winecheck::windowText(frame()->hwnd) == "KYT 2.52 - " + install + "\\Beispiele\\example.kyt",
          ("the quoted path with a blank on the command line loads the example: " +
           winecheck::windowText(frame()->hwnd))
              .c_str());
    paneFillsTheRest("at the start");
    ForeignBoxes boxes;
    if (openThroughTheDialog("fuzzy.kyt")) {
        paneFillsTheRest("after Datei > \xd6" "ffnen");
        winecheck::saveWindowPicture(frame()->hwnd, folder + "kyt-open-fuzzy.png");
        editFuzzyBlock(boxes);
    }
    boxes.clear();
    if (openThroughTheDialog("identifikation.kyt")) {
        paneFillsTheRest("after a second Datei > \xd6" "ffnen");
        editIdentBlock(boxes);
    }
    check(sink.boxes.empty(), "kyt shows no box");
    for (const std::string& b : sink.boxes)
        printf("(kyt's box: %s)\n", b.c_str());
    check(!fileExists(install + "\\Beispiele\\ERROR.LOG"), "no ERROR.LOG in Beispiele");

    // Datei > Neu: an empty pane in the same place, set up alike.
    model().circuitSaved = 1;
    HWND before = pane()->hwnd;
    SendMessageA(frame()->hwnd, WM_COMMAND, kCommandNew, 0);
    settle();
    check(pane()->hwnd != before && model().objects.empty(), "9003 gives a new, empty pane");
    paneFillsTheRest("after Datei > Neu");
    winecheck::saveWindowPicture(frame()->hwnd, folder + "kyt-open-new.png");
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(280);
    std::string line = app->commandLine.text() ? app->commandLine.text() : "";
    size_t cut = line.find(' ');
    if (cut == std::string::npos) {
        printf("usage: kyt_open_wizards_wine_test PNG-FOLDER STAGED-INSTALLATION\n");
        app->exitCode = 2;
        return;
    }
    folder = winecheck::dosPath(line.substr(0, cut));
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    const std::string staged = winecheck::trimmedArgument(line.substr(cut + 1).c_str());
    // A copy: the companions write into its library Local and kyt.set.
    char tmpl[] = "/tmp/kyt-open-XXXXXX";
    const std::string root = mkdtemp(tmpl) ? tmpl : "/tmp";
    const std::string copy = root + "/KYT Installation";
    if (system(("cp -r '" + staged + "' '" + copy + "' && rm -f '" + copy + "/tmp/kyt.lock'").c_str()) != 0)
        printf("(the copy of %s failed)\n", staged.c_str());
    install = "Z:" + winecheck::dosPath(copy);
    setRegistryValue(install);
    // Started in the installation, as the launcher is; the open dialog then
    // changes into Beispiele.
    SetCurrentDirectoryA(install.c_str());
    {
        OpenKyt kyt(app, "\"" + install + "\\Beispiele\\example.kyt\"");
        const int code = kyt.run();
        check(code == 0, "kyt ends with code 0");
    }
    deleteRegistryValue();
    if (!winecheck::failures())
        system(("rm -rf '" + root + "'").c_str());
    app->exitCode = winecheck::summary();
}
