// Under wine: kyt's editing pane starts the real companion programs as its
// wizards. kytfuzzy edits a wizard block (the block is rebuilt with the
// ports of the saved text), declines a block that is no wizard block,
// leaves a new block when its New is cancelled, and reports a save that
// fails with -1. kytident makes a new identification block that compiles
// in a circuit, and reports an OK that cannot write with -1. kyt.ini and
// library Local lie in a directory with a blank. The
// companions' message boxes are answered from here, by caption.
//
//   companions_wine_test BINDIR
#include "Application.h"
#include "CompileRoad.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "GedPane.h"
#include "Layout.h"
#include "ModuleRegistry.h"
#include "PaneCommands.h"
#include "ResString.h"
#include "RunRoad.h"
#include "RunTimeLibraries.h"
#include "StatusBar.h"
#include "CompanionWindows.h"
#include "WineCheck.h"
#include "WineRecordingSink.h"
#include "Workspace.h"

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using winecheck::check;

namespace {

const std::string kFixtures = KYT_FIXTURES;
const std::string kFuzzyData = KYT_FUZZY_DATA;
const std::string kIdentData = KYT_IDENT_DATA;
const std::string kInstallation = KYT_STAGED_INSTALLATION;

using winecheck::RecordingSink;
RecordingSink sink;

void writeFile(const std::string& path, const std::string& text)
{
    if (FILE* f = fopen(path.c_str(), "w")) {
        fputs(text.c_str(), f);
        fclose(f);
    }
}

std::string readFile(const std::string& path)
{
    std::string all;
    if (FILE* f = fopen(path.c_str(), "r")) {
        char buffer[512];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            all.append(buffer, n);
        fclose(f);
    }
    return all;
}

using winecheck::windowText;

// ---------------------------------------------------------------- the companions' windows

// foreign, waitForForeign, ForeignBoxes and anySeen: CompanionWindows.h.
using namespace companions;

// ---------------------------------------------------------------- the pane

struct Kyt {
    Application* app;
    AppFrameCL* frame;
    GedPane* pane;
};

// Sends the command; the test's script runs once the companion's window
// is up; then idle passes until the companion's end was seen.
template <typename Script>
bool runWizard(Kyt& kyt, int command, Script script)
{
    SendMessageA(kyt.pane->hwnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
    script();
    for (int i = 0; i < 800 && kyt.pane->commands().wizardRunning(); ++i) {
        winecheck::pump();
        kyt.app->runIdleTasks();
        Sleep(25);
    }
    return !kyt.pane->commands().wizardRunning();
}

BlockObject* lastBlock(CircuitModel& model)
{
    BlockObject* last = nullptr;
    for (GraphicObject* o : model.objects)
        if (o->kind() == 1)
            last = static_cast<BlockObject*>(o);
    return last;
}

int blockCount(CircuitModel& model)
{
    int n = 0;
    for (GraphicObject* o : model.objects)
        n += o->kind() == 1;
    return n;
}

// kytfuzzy's frame once the extracted block is open in it (its title names
// the file) and no box of it stands: commands posted earlier would run
// inside the start's boxes, before the block is there.
HWND waitForFuzzyEditor(Application* app)
{
    HWND editor = waitForForeign("", "KYTfuzzy 2.51", app);
    for (int i = 0; editor && i < 400 && windowText(editor).find(".kyb") == std::string::npos; ++i) {
        winecheck::pump();
        app->runIdleTasks();
        Sleep(25);
    }
    for (int i = 0; i < 20; ++i) {
        winecheck::pump();
        Sleep(25);
    }
    return editor;
}

void postCommand(HWND window, int id)
{
    if (window)
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// Presses a button of a companion's dialog as a click does: the dialogs
// know their buttons by the notification, a WM_COMMAND with the button's
// handle and BN_CLICKED; a bare command id is not theirs. Sent, not
// posted, so that the test goes on only once the dialog has taken it.
void pressButton(HWND dialog, int id)
{
    HWND button = dialog ? GetDlgItem(dialog, id) : nullptr;
    DWORD_PTR answer = 0;
    if (button)
        SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button),
                            SMTO_NORMAL, 5000, &answer);
}

// The fixture's wizard block with one input port while its "#" text has two.
std::string oneInputWizardBlock()
{
    std::string text = readFile(kFuzzyData + "/wizard2x1.mdl");
    const auto cut = [&](const std::string& line) {
        size_t at = text.find(line);
        if (at != std::string::npos)
            text.erase(at, line.size());
    };
    cut("   de \"[1] Eingang1\";\n");
    cut("   kde = 1.0 \"[1] Verstaerkung Eingang1\";\n");
    cut("   FZSETINPUT(blockhandle,1,de*kde);\n");
    return text;
}

void fuzzyWizard(Kyt& kyt, ForeignBoxes& boxes, const std::string& local)
{
    GedPane* pane = kyt.pane;
    const std::string blockFile = local + "/Fuzzy1";
    writeFile(blockFile, oneInputWizardBlock());
    BlockObject* block = pane->model().createBlock(Point(4, 4), Point(8, 9), ("Z:" + blockFile).c_str(), "Local", 1);
    check(block && block->inputCount == 1 && block->wizardFlag == 1, "the fixture block has one input port");
    if (!block)
        return;

    // 1. Edit: Save, then Exit.
    pane->controller().contextBlock = block;
    bool ended = runWizard(kyt, kCommandEditOrView, [&] {
        HWND editor = waitForFuzzyEditor(kyt.app);
        check(editor != nullptr, "172 starts kytfuzzy on the block");
        postCommand(editor, 113);
        postCommand(editor, 11004);
    });
    BlockObject* rebuilt = lastBlock(pane->model());
    check(ended && sink.boxes.empty(), "kytfuzzy ends with code 0");
    check(rebuilt && rebuilt != block && rebuilt->inputCount == 2, "kyt rebuilds the block with two input ports");
    const std::string saved = readFile(blockFile);
    check(saved.find("$WIZARD Fuzzy") != std::string::npos && saved.find("#INPUTVAR de;") != std::string::npos &&
              saved.find("FZSETINPUT(blockhandle,1,") != std::string::npos,
          "the block file is the wizard block of the saved text");

    // 2. A file that is no wizard block, answered No: code 1, nothing changes.
    const std::string plain = "BLOCK Fuzzy1;\nINPUT e;\nOUTPUT u;\nSIM\n  u = e;\nENDSIM\nENDBLOCK Fuzzy1;\n";
    writeFile(blockFile, plain);
    boxes.answer("KYTfuzzy Warnung", IDNO);
    boxes.clear();
    const int before = blockCount(pane->model());
    pane->controller().contextBlock = rebuilt;
    ended = runWizard(kyt, kCommandEditOrView, [] {});
    check(ended && anySeen(boxes, "kein Wizardblock") && sink.boxes.empty() && blockCount(pane->model()) == before &&
              pane->model().contains(rebuilt) && readFile(blockFile) == plain,
          "a block that is no wizard block, answered No: code 1, file and circuit unchanged");

    // 3. New block: New's configuration dialog cancelled, then Exit: code 1
    // and nothing inserted.
    boxes.clear();
    const int beforeNew = blockCount(pane->model());
    pane->controller().pressPoint = Point(300, 100);
    bool dialogGone = false;
    ended = runWizard(kyt, kCommandFuzzyWizard, [&] {
        HWND dialog = waitForForeign("DialogFrameCL", "Konfiguration ...", kyt.app);
        check(dialog != nullptr, "181 starts kytfuzzy, whose New shows the configuration dialog");
        // Shown comes before the modal run.
        Sleep(300);
        pressButton(dialog, IDCANCEL);
        for (int i = 0; dialog && i < 200 && IsWindowVisible(dialog); ++i) {
            winecheck::pump();
            Sleep(25);
        }
        dialogGone = dialog && !IsWindowVisible(dialog);
        HWND editor = waitForForeign("", "KYTfuzzy 2.51", kyt.app);
        postCommand(editor, 11004);
    });
    check(dialogGone, "Cancel ends kytfuzzy's configuration dialog");
    check(ended && sink.boxes.empty() && boxes.seen().empty() && blockCount(pane->model()) == beforeNew,
          "a cancelled New ends kytfuzzy with code 1, and kyt inserts nothing");

    // 4. The block file replaced by a directory after the extraction.
    writeFile(blockFile, readFile(kFuzzyData + "/wizard2x1.mdl"));
    boxes.clear();
    pane->controller().contextBlock = rebuilt;
    ended = runWizard(kyt, kCommandEditOrView, [&] {
        HWND editor = waitForFuzzyEditor(kyt.app);
        remove(blockFile.c_str());
        mkdir(blockFile.c_str(), 0777);
        writeFile(blockFile + "/inhalt", "x");
        postCommand(editor, 113);
        // The save's box first, then Exit (which must not ask).
        for (int i = 0; i < 200 && !anySeen(boxes, "KYTMDL-Script nicht erstellen"); ++i) {
            winecheck::pump();
            kyt.app->runIdleTasks();
            Sleep(25);
        }
        postCommand(editor, 11004);
    });
    check(ended && anySeen(boxes, "KYTMDL-Script nicht erstellen"), "a save that cannot write shows 17642 in kytfuzzy");
    check(ended && sink.boxes.size() == 1 && sink.boxes[0].find("(-1)") != std::string::npos,
          "kytfuzzy ends with -1 and kyt shows 18018");
    sink.boxes.clear();
    remove((blockFile + "/inhalt").c_str());
    rmdir(blockFile.c_str());
}

void identWizard(Kyt& kyt, ForeignBoxes& boxes, const std::string& local, const std::string& install)
{
    GedPane* pane = kyt.pane;
    // The fuzzy blocks' files are gone: a circuit of the new block alone.
    pane->model().clear();
    const int before = blockCount(pane->model());
    pane->controller().pressPoint = Point(100, 300);
    bool ended = runWizard(kyt, kCommandIdentWizard, [&] {
        HWND dialog = waitForForeign("DialogFrameCL", "", kyt.app);
        check(dialog != nullptr, "184 starts kytident");
        Sleep(300);
        postCommand(dialog, IDOK);
    });
    BlockObject* ident = lastBlock(pane->model());
    check(ended && sink.boxes.empty() && blockCount(pane->model()) == before + 1 && ident &&
              ident->inputCount == 2 && ident->outputCount == 1,
          "OK in kytident: kyt inserts a block with two inputs and one output");

    // The circuit with a control block and the marked error compiles.
    if (ident) {
        const int at = ident->symbolMarkIndex(SYMBOL_OUTPUT, 0);
        if (at >= 0) {
            if (static_cast<int>(ident->symbolMarks.size()) <= at)
                ident->symbolMarks.resize(static_cast<size_t>(at) + 1, 0);
            ident->symbolMarks[static_cast<size_t>(at)] = 1;
        }
    }
    BlockObject* control = pane->model().createBlock(Point(30, 20), Point(6, 4),
                                                     ("Z:" + kInstallation + "/allgemein/steuerung").c_str(), "Allgemein", 0);
    // A constant feeds both inputs.
    BlockObject* source = pane->model().createBlock(Point(30, 2), Point(6, 3),
                                                    ("Z:" + kInstallation + "/quellen/konstante").c_str(), "Quellen", 0);
    if (source && ident) {
        pane->model().createConnection(source, PortRef{2, 1}, ident, PortRef{1, 1});
        pane->model().createConnection(source, PortRef{2, 1}, ident, PortRef{1, 2});
    }
    const int outcome = control ? compileCircuit(pane->model()) : -1;
    check(outcome == COMPILE_LOADED, "the circuit with the identification block compiles");
    if (outcome != COMPILE_LOADED)
        for (const std::string& b : sink.boxes)
            printf("(the compiler: %s)\n", b.c_str());
    if (outcome == COMPILE_LOADED)
        releaseCompiledModel();
    (void)install;

    // Its file replaced by a non-empty directory: OK cannot write, -1, 18006.
    if (!ident)
        return;
    const std::string file = local + "/" + ident->typeName.text();
    remove(file.c_str());
    mkdir(file.c_str(), 0777);
    writeFile(file + "/inhalt", "x");
    boxes.clear();
    pane->controller().contextBlock = ident;
    ended = runWizard(kyt, kCommandEditOrView, [&] {
        HWND dialog = waitForForeign("DialogFrameCL", "", kyt.app);
        Sleep(300);
        postCommand(dialog, IDOK);
    });
    check(ended && sink.boxes.size() == 1 && sink.boxes[0].find("(-1)") != std::string::npos,
          "an OK that cannot write ends kytident with -1, and kyt shows 18006");
    remove((file + "/inhalt").c_str());
    rmdir(file.c_str());
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(280);
    setErrorSink(&sink);
    disableErrorLog();
    // The libraries kyt hands to the registry: the identification block calls IDENT.
    setModuleLibraryList(kRunTimeLibraries);
    const std::string bin = winecheck::trimmedArgument(app->commandLine.text());
    char tmpl[] = "/tmp/kyt-companions-XXXXXX";
    const std::string root = mkdtemp(tmpl) ? tmpl : "/tmp";
    // The installation lies in a directory with a blank, and library Local
    // in it: the companions get the Local directory as one quoted word.
    const std::string install = root + "/kyt dir";
    const std::string local = install + "/local";
    mkdir(install.c_str(), 0777);
    mkdir(local.c_str(), 0777);
    mkdir((install + "/schaltungen").c_str(), 0777);
    mkdir((install + "/tmp").c_str(), 0777);
    mkdir((install + "/hilfe").c_str(), 0777);
    writeFile(install + "/hilfe/fuzzyhlp.txt", readFile(kFuzzyData + "/fuzzyhlp.txt"));
    writeFile(install + "/hilfe/identhlp.txt", readFile(kIdentData + "/identhlp.txt"));
    const std::string z = "Z:" + install;
    writeFile(install + "/kyt.ini", "CIRCUITDIR = schaltungen;\nTEMPDIR = tmp;\nHELPDIR = hilfe;\nBINDIR = " + bin +
                                        ";\nICONDIR = " + kFixtures + "/icons;\nBLOCKLIBS\n    LIB Standard AT " + kFixtures +
                                        "/standard;\n    LIB Allgemein AT Z:" + kInstallation + "/allgemein;\n    LIB Quellen AT Z:" +
                                        kInstallation + "/quellen;\n    LIB Local AT local;\nENDBLOCKLIBS\n");
    Workspace workspace;
    setWorkspace(&workspace);
    {
        ForeignBoxes boxes;
        Kyt kyt;
        kyt.app = app;
        kyt.frame = new AppFrameCL(nullptr, new Layout(30, 30, 820, 620), WS_OVERLAPPEDWINDOW, "Schaltung");
        FrameStatusBarCL* bar = new FrameStatusBarCL(kyt.frame, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
        new StatusField(bar, 0, getResString(kResEditing), 1, 0);
        kyt.pane = new GedPane(kyt.frame, new FillLayout, WS_CHILD | WS_VISIBLE);
        kyt.pane->setStatusBar(bar);
        kyt.pane->readIniSetup(z.c_str());
        kyt.pane->model().setZoom(21, 21);
        kyt.frame->show(SW_SHOWNORMAL);
        winecheck::pump();

        fuzzyWizard(kyt, boxes, local);
        identWizard(kyt, boxes, local, install);
        for (const std::string& b : boxes.seen())
            printf("(a companion's box: %s)\n", b.c_str());
        DestroyWindow(kyt.frame->hwnd);
        winecheck::pump();
        delete kyt.frame;
    }
    setWorkspace(nullptr);
    system(("rm -rf '" + root + "'").c_str());
    app->exitCode = winecheck::summary();
}
