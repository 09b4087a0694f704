// Under wine: the editing pane starts the companion programs. kyt.ini lies
// in a directory with a blank, and its relative BINDIR and library Local
// with it; a dummy companion in that BINDIR stands in for kytfuzzy. New and edited Fuzzy blocks, the waiting
// state, exit codes 0, 1 and -1, a missing companion, and the current
// directory that never changes.
//
//   editor_wizard_test FOLDER     pictures go to FOLDER
#include "Application.h"
#include "EditorShell.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "GedPane.h"
#include "Layout.h"
#include "PaneCommands.h"
#include "ResString.h"
#include "StatusBar.h"
#include "WineCheck.h"
#include "WineRecordingSink.h"
#include "Workspace.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

using winecheck::check;

namespace {

const std::string kFixtures = KYT_FIXTURES;
const std::string kDummy = KYT_DUMMY_COMPANION;

using winecheck::RecordingSink;
RecordingSink sink;

// The shell's editor rewrites the file it is given and reports it saved;
// the help viewer records what it is shown.
class FakeShell : public EditorShell {
public:
    int editFile(const char* path, int readOnly) override
    {
        edited = path;
        editedReadOnly = readOnly;
        if (!replacement.empty()) {
            HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD written = 0;
            if (f != INVALID_HANDLE_VALUE) {
                WriteFile(f, replacement.data(), static_cast<DWORD>(replacement.size()), &written, nullptr);
                CloseHandle(f);
            }
        }
        return 1;
    }
    void showText(const char* title, const char* text) override
    {
        shownTitle = title;
        shownText = text;
    }
    std::string replacement;
    std::string edited;
    int editedReadOnly = -1;
    std::string shownTitle;
    std::string shownText;
};
FakeShell shell;

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

std::string currentDirectory()
{
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    return cwd;
}

std::string statusText(StatusBarCL* bar, int field)
{
    StatusField* f = bar->fieldById(field);
    return f ? f->getText() : std::string();
}

int blockCount(CircuitModel& model)
{
    int n = 0;
    for (GraphicObject* o : model.objects)
        n += o->kind() == 1;
    return n;
}

BlockObject* lastBlock(CircuitModel& model)
{
    BlockObject* last = nullptr;
    for (GraphicObject* o : model.objects)
        if (o->kind() == 1)
            last = static_cast<BlockObject*>(o);
    return last;
}

struct Run {
    std::string statusWhileRunning;
    bool markedWhileRunning = false;
    bool clickIgnored = true;
    bool ended = false;
};

// Sends the command and runs idle passes until the companion's end was seen.
Run runCommand(Application* app, GedPane* pane, StatusBarCL* bar, int command, BlockObject* edited)
{
    Run run;
    SendMessageA(pane->hwnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
    run.statusWhileRunning = statusText(bar, 1);
    run.markedWhileRunning = edited && edited->markWord;
    const int before = blockCount(pane->model());
    // A click on empty space while waiting: the busy pane takes no input.
    PostMessageA(pane->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(600, 500));
    PostMessageA(pane->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(600, 500));
    for (int i = 0; i < 400 && pane->commands().wizardRunning(); ++i) {
        winecheck::pump();
        app->runIdleTasks();
        Sleep(25);
    }
    run.clickIgnored = blockCount(pane->model()) >= before;
    run.ended = !pane->commands().wizardRunning();
    return run;
}

void wizards(Application* app, const std::string& root, const std::string& folder)
{
    // kyt.ini's values take no blanks, but its directory does: relative
    // entries put BINDIR and library Local on paths with a blank.
    const std::string install = root + "/kyt dir";
    const std::string zRoot = "Z:" + root;
    mkdir(install.c_str(), 0777);
    mkdir((install + "/bin").c_str(), 0777);
    mkdir((install + "/lokal").c_str(), 0777);
    mkdir((root + "/leer").c_str(), 0777);
    mkdir((install + "/tmp").c_str(), 0777);
    mkdir((install + "/schaltungen").c_str(), 0777);
    const std::string z = "Z:" + install;
    writeFile(install + "/kyt.ini", "CIRCUITDIR = schaltungen;\nTEMPDIR = tmp;\nBINDIR = bin;\nICONDIR = " + kFixtures +
                                        "/icons;\nBLOCKLIBS\n    LIB Standard AT " + kFixtures +
                                        "/standard;\n    LIB Local AT lokal;\nENDBLOCKLIBS\n");
    check(CopyFileA(("Z:" + kDummy).c_str(), (z + "/bin/kytfuzzy.exe.so").c_str(), FALSE) != 0,
          "the dummy companion is installed as kytfuzzy.exe.so");
    writeFile(install + "/fuzzy.txt", "$ WIZARD Fuzzy\nBLOCK Fuzzy;\nINPUT e;\nOUTPUT u1; u2;\nPARAMETER K = 1;\nSIM\nENDBLOCK\n");
    writeFile(install + "/fuzzy2.txt", "$ WIZARD Fuzzy\nBLOCK Fuzzy;\nINPUT e;\nOUTPUT u1;\nPARAMETER K = 1;\nSIM\nENDBLOCK\n");
    SetEnvironmentVariableA("KYT_DUMMY_CWD", z.c_str());
    SetEnvironmentVariableA("KYT_DUMMY_LOG", (z + "/dummy.log").c_str());
    SetEnvironmentVariableA("KYT_DUMMY_TEXT", (z + "/fuzzy.txt").c_str());
    SetEnvironmentVariableA("KYT_DUMMY_SLEEP", "700");
    SetEnvironmentVariableA("KYT_DUMMY_CODE", "0");

    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(30, 30, 820, 620), WS_OVERLAPPEDWINDOW, "Schaltung");
    FrameStatusBarCL* bar = new FrameStatusBarCL(frame, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    new StatusField(bar, 0, getResString(kResEditing), 1, 0);
    new StatusField(bar, 0, "", 2, 0);
    GedPane* pane = new GedPane(frame, new FillLayout, WS_CHILD | WS_VISIBLE);
    pane->setStatusBar(bar);
    pane->readIniSetup(z.c_str());
    std::string localDir;
    for (int i = 0; i < theWorkspace->libraryCount; ++i)
        if (std::string(theWorkspace->libraries[i].name.text()) == "Local")
            localDir = theWorkspace->libraries[i].file.text();
    check(localDir.find("kyt dir") != std::string::npos && localDir.find("lokal") != std::string::npos &&
              std::string(theWorkspace->BINDIR.text()).find("kyt dir") != std::string::npos,
          "kyt.ini's relative BINDIR and Local lie in its directory with the blank");
    pane->model().setZoom(21, 21);
    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    bar->show(SW_SHOW);
    winecheck::pump();
    const std::string cwdBefore = currentDirectory();

    // A new Fuzzy block: the dummy writes it and ends with 0.
    pane->controller().pressPoint = Point(100, 100);
    Run created = runCommand(app, pane, bar, kCommandFuzzyWizard, nullptr);
    std::string log = readFile(install + "/dummy.log");
    check(log.find("2\nFuzzy\n" + localDir + "\n") == 0, "new: the dummy sees exactly its two words");
    check(created.ended && created.statusWhileRunning == "In Wizard", "new: status field 1 reads In Wizard while it runs");
    check(created.clickIgnored, "new: a click while it runs changes nothing");
    BlockObject* block = lastBlock(pane->model());
    check(created.ended && blockCount(pane->model()) == 1 && block && block->wizardFlag == 1 &&
              std::string(block->wizardName.text()) == "Fuzzy" && block->position == Point(4, 4),
          "new: code 0 inserts the block at the snapped insert point");
    check(statusText(bar, 1) == "Bearbeiten" && theWorkspace->busy == 0, "new: the editor returns to Bearbeiten");
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::saveWindowPicture(pane->hwnd, folder + "wizard-block.png");
    if (block) {
        const int g = 21;
        COLORREF inside = winecheck::pixelOf(pane->hwnd, block->position.x() * g + 2 * g, block->position.y() * g + g + 3);
        bool frameBlack = false;
        for (int x = block->position.x() * g - 2; x <= block->position.x() * g + 2 && !frameBlack; ++x)
            frameBlack = winecheck::pixelOf(pane->hwnd, x, block->position.y() * g + 2 * g) == RGB(0, 0, 0);
        check(inside == RGB(255, 255, 255) && frameBlack, "wizard-block.png: white inside and a black frame");
    }

    // Edit with one output fewer.
    if (block) {
        BlockObject* other = pane->model().createBlock(Point(20, 4), Point(6, 3), (kFixtures + "/standard/pt1.blk").c_str(),
                                                       "Standard", 0);
        ConnectionObject* kept = pane->model().createConnection(block, PortRef{2, 1}, other, PortRef{1, 1});
        SetEnvironmentVariableA("KYT_DUMMY_TEXT", (z + "/fuzzy2.txt").c_str());
        pane->controller().contextBlock = block;
        Run edited = runCommand(app, pane, bar, kCommandEditOrView, block);
        log = readFile(install + "/dummy.log");
        check(edited.ended && edited.markedWhileRunning, "edit: the edited block is marked while it runs");
        check(log.find("2\nfuzzy\n") == 0, "edit: the dummy gets the block's file name");
        check(kept && pane->model().contains(kept) && kept->blockA != block && !pane->model().contains(block),
              "edit: code 0 rebuilds the block and keeps its connection");
    }

    // Code 1: nothing changes; code -1: 18018 with the program and -1.
    const int before = blockCount(pane->model());
    SetEnvironmentVariableA("KYT_DUMMY_CODE", "1");
    Run declined = runCommand(app, pane, bar, kCommandFuzzyWizard, nullptr);
    check(declined.ended && blockCount(pane->model()) == before && sink.boxes.empty(), "code 1 changes nothing");
    SetEnvironmentVariableA("KYT_DUMMY_CODE", "-1");
    Run failed = runCommand(app, pane, bar, kCommandFuzzyWizard, nullptr);
    check(failed.ended && sink.boxes.size() == 1 && sink.boxes[0].find("Fuzzywizards") != std::string::npos &&
              sink.boxes[0].find("(-1)") != std::string::npos && sink.boxes[0].find("kytfuzzy.exe") != std::string::npos,
          "code -1 gives 18018 with the program path and -1");

    // No companion in BINDIR.
    sink.boxes.clear();
    theWorkspace->BINDIR = (zRoot + "/leer").c_str();
    SetEnvironmentVariableA("KYT_DUMMY_CODE", "0");
    Run missing = runCommand(app, pane, bar, kCommandFuzzyWizard, nullptr);
    check(missing.ended && sink.boxes.size() == 1 && sink.boxes[0].find("(-1)") != std::string::npos &&
              statusText(bar, 1) == "Bearbeiten",
          "a BINDIR without the companion gives 18018 with -1");
    check(currentDirectory() == cwdBefore, "the current directory is the same before and after");

    // An Editor block: the text editor saves a changed default; the block is
    // rebuilt with its parameters and text.
    writeFile(install + "/lokal/editor", "# Ein eigener Block.\n$ WIZARD Editor\nBLOCK Editor;\nINPUT u;\nOUTPUT y;\n"
                                          "PARAMETER K = 1;\nSIM\n  y = K*u;\nENDBLOCK\n");
    BlockObject* editor = pane->model().createBlock(Point(20, 14), Point(6, 3), (localDir + "\\editor").c_str(),
                                                    "Local", 1);
    if (editor) {
        editor->setParameterValue("K", "4");
        editor->setText("Eigener Block");
        shell.replacement = "# Ein eigener Block.\n$ WIZARD Editor\nBLOCK Editor;\nINPUT u;\nOUTPUT y;\n"
                            "PARAMETER K = 2; T = 3;\nSIM\n  y = K*T*u;\nENDBLOCK\n";
        pane->controller().contextBlock = editor;
        SendMessageA(pane->hwnd, WM_COMMAND, kCommandEditOrView, 0);
        BlockObject* rebuilt = lastBlock(pane->model());
        check(shell.editedReadOnly == 0 && !pane->model().contains(editor) && rebuilt && rebuilt->parameterCount == 2 &&
                  std::string(rebuilt->parameterValues[0].text()) == "4" &&
                  std::string(rebuilt->getText().text()) == "Eigener Block",
              "Editor block: the saved file rebuilds the block with parameters and text");
        // Its help text through the viewer, titled with the caption.
        if (rebuilt) {
            pane->controller().contextBlock = rebuilt;
            SendMessageA(pane->hwnd, WM_COMMAND, kCommandBlockHelp, 0);
            check(shell.shownTitle == std::string("KYT Hilfe - ") + rebuilt->caption().text() &&
                      shell.shownText.find("Ein eigener Block.") != std::string::npos,
                  "135 shows the block's help text titled KYT Hilfe - and the caption");
        }
    } else {
        check(false, "the Editor block is made");
    }

    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(100);
    setErrorSink(&sink);
    disableErrorLog();
    setEditorShell(&shell);
    std::string folder = winecheck::trimmedArgument(app->commandLine.text());
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    char tmpl[] = "/tmp/kyt-wizard-XXXXXX";
    std::string dir = mkdtemp(tmpl) ? tmpl : "/tmp";
    Workspace workspace;
    setWorkspace(&workspace);
    wizards(app, dir, folder);
    setWorkspace(nullptr);
    system(("rm -rf '" + dir + "'").c_str());
    app->exitCode = winecheck::summary();
}
