// Under wine: the fuzzy-block editor's frame as a plain editor (Open of a
// writer-made block, a file with a syntax error, Save, Exit after a change),
// its tool bar, menus and pages in a picture, and the program's start
// failures (no kyt.ini, a TEMPDIR that is a file), run as child processes.
//
//   kytfuzzy_frame_test PNG-PATH KYTFUZZY-PROGRAM SCRATCH-FOLDER
#include "Application.h"
#include "CommandLine.h"
#include "ErrorReporter.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyOptions.h"
#include "FuzzySession.h"
#include "Layout.h"
#include "Menu.h"
#include "ResString.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "WineCheck.h"

#include <windows.h>

#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;
using winecheck::pixelOf;

namespace {

using winecheck::writeText;
using winecheck::readText;

const char* const kBlock =
    "FBLOCK \"Regler\";\n"
    "CONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_prod;\n"
    " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n"
    "INPUTVAR e;\n XMIN -1;\n XMAX 1;\n GRID 0.1;\n MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 1, 1, 1;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "INPUTVAR de;\n XMIN -2;\n XMAX 2;\n GRID 0.2;\n MEMBER neg;\n  TRAPEZ -2, -2, -2, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 2, 2, 2;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "OUTPUTVAR u;\n XMIN -1;\n XMAX 1;\n GRID 0.1;\n MEMBER neg;\n  TRAPEZ -1, -1, -0.5, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 0.5, 1, 1;\n ENDMEMBER;\nENDOUTPUTVAR;\n"
    "RULEBASE;\nIF ((e==neg) AND (de==neg)) THEN u=pos;\nIF ((e==pos) AND (de==pos)) THEN u=neg;\n"
    "IF ((e==neg) AND (de==pos)) THEN u=neg;\nIF ((e==pos) AND (de==neg)) THEN u=pos;\nENDRULEBASE;\n"
    "ENDFBLOCK;\n";

const char* const kBroken = "FBLOCK \"x\";\nINPUTVAR ;\n";

const char kOpenTitle[] = "\xd6" "ffne Datei ...";
// The name field of the file dialogs: a combo box with an edit.
const int kNameCombo = 0x47c;

using winecheck::dosPath;

using winecheck::windowText;

bool grayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

bool quitPosted()
{
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

// A child window's place in the frame's client area.
RECT placeIn(HWND child, HWND parent)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The session the fixture is made with: it saves where it is told and asks nothing.
class FixtureUi : public FuzzySessionUi {
public:
    bool ask(const std::string&) override { return true; }
    void showBox(const std::string&, const std::string&) override {}
    std::string chooseFileToOpen() override { return std::string(); }
    std::string chooseFileToSave() override { return target; }
    std::string target;
};

// The fixture: the block written by the core's writer, so that a save
// must give the same bytes. Its grid steps are those the pages keep (a
// variable shown without one is given one).
bool makeFixture(const std::string& source, const std::string& fixture)
{
    if (!writeText(source, kBlock))
        return false;
    FixtureUi ui;
    ui.target = fixture;
    FuzzySession session(&ui);
    return session.openBlock(source) == 1 && session.saveAs() == 1;
}

void command(FuzzyEditorFrame* frame, unsigned int id)
{
    SendMessageA(frame->hwnd, WM_COMMAND, id, 0);
    winecheck::pump();
}

void openThroughDialog(FuzzyEditorFrame* frame, const std::string& path)
{
    BoxWatcher dialog(kOpenTitle, kNameCombo, path.c_str());
    command(frame, CMD_OPEN);
    check(dialog.found(), "Open (110) asks with the file dialog \"\xd6" "ffne Datei ...\"");
}

void checkPagesDocked(FuzzyEditorFrame* frame)
{
    RECT client;
    GetClientRect(frame->hwnd, &client);
    const RECT bar = placeIn(frame->getToolBar()->hwnd, frame->hwnd);
    const RECT status = placeIn(frame->getStatusBar()->hwnd, frame->hwnd);
    const RECT variable = placeIn(frame->page(0)->hwnd, frame->hwnd);
    const RECT comment = placeIn(frame->page(1)->hwnd, frame->hwnd);
    const RECT sets = placeIn(frame->page(2)->hwnd, frame->hwnd);
    const RECT membership = placeIn(frame->page(3)->hwnd, frame->hwnd);
    check(bar.top == 0 && bar.bottom == 29 && bar.right == client.right, "the tool bar is the top 29 pixels");
    check(variable.top == 29 && variable.bottom - variable.top == 90 && variable.right == client.right,
          "the variable page is 90 pixels under the tool bar");
    check(comment.bottom == status.top && comment.bottom - comment.top == 32,
          "the comment page shows 32 pixels over the status bar");
    check(sets.bottom == comment.top && sets.bottom - sets.top == 95, "the set page is 95 pixels over it");
    check(membership.top == variable.bottom && membership.bottom == sets.top && membership.right == client.right,
          "the membership page fills the rest");
}

void plainMode(FuzzyEditorFrame* frame, FuzzyOptions* options, const std::string& scratch, const std::string& picture)
{
    HMENU menu = frame->getMenu()->handle();
    ToolBarCL* bar = frame->getToolBar();
    const std::string title = getResString(17723);

    // Before a block.
    check(windowText(frame->hwnd) == title, "the frame starts titled KYTfuzzy 2.51");
    check(GetMenuItemCount(menu) == 6, "the menu bar has six popups");
    bool popups = true;
    for (int i = 0; i < 6; ++i)
        popups = popups && GetSubMenu(menu, i) != nullptr && GetMenuItemCount(GetSubMenu(menu, i)) > 0;
    check(popups, "... each with entries");
    check(grayed(menu, CMD_SAVE_AS) && grayed(menu, CMD_UNDO) && grayed(menu, CMD_GLOBAL_METHODS) &&
              !bar->isButtonEnabled(CMD_SAVE) && !bar->isButtonEnabled(CMD_ADD_VARIABLE),
          "without a block the block commands are disabled");
    check(bar->isButtonEnabled(CMD_NEW) && bar->isButtonEnabled(CMD_OPEN), "... New and Open are not");
    check((GetMenuState(menu, CMD_COMMENT_LINE, MF_BYCOMMAND) & MF_CHECKED) && bar->isButtonChecked(CMD_COMMENT_LINE),
          "the comment line's entry and button start checked");

    // Menu help in field 1111.
    SendMessageA(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(CMD_OPEN, 0), reinterpret_cast<LPARAM>(menu));
    StatusField* help = frame->getStatusBar()->fieldById(kFuzzyMenuHelp);
    check(help && help->getText() == getResString(CMD_OPEN), "a selected menu entry shows its help text in field 1111");
    SendMessageA(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    check(frame->getStatusBar()->fieldById(kFuzzyStatusText) != nullptr, "the status bar has the text field 1112");

    // The tool bar's pictures: New a white sheet, Open a yellow folder, Save
    // (disabled) its gray cell.
    const COLORREF white = RGB(255, 255, 255), yellow = RGB(255, 255, 0), dark = RGB(128, 128, 128);
    check(pixelOf(bar->button(CMD_NEW)->hwnd, 13, 12) == white, "the New button shows its white sheet");
    check(pixelOf(bar->button(CMD_OPEN)->hwnd, 13, 13) == yellow, "the Open button shows its yellow folder");
    check(pixelOf(bar->button(CMD_SAVE)->hwnd, 13, 16) == dark, "the disabled Save button shows its gray cell");
    check(pixelOf(bar->hwnd, 300, 28) == RGB(0, 0, 0), "the tool bar's bottom row (y 28) is black");

    // Open of a writer-made block.
    const std::string fixture = scratch + "\\regler.kyb";
    check(makeFixture(scratch + "\\source.kyb", fixture), "the fixture is written by the core's writer");
    const std::string before = readText(fixture);
    openThroughDialog(frame, fixture);
    check(windowText(frame->hwnd) == title + " - " + fixture, "after Open the title is KYTfuzzy 2.51 - PATH");
    check(!grayed(menu, CMD_SAVE_AS) && bar->isButtonEnabled(CMD_SAVE) && bar->isButtonEnabled(CMD_ADD_VARIABLE),
          "... the block commands are enabled");
    check(options->recentAt(0) == fixture, "... the path heads the recent list");
    char entry[600] = "";
    GetMenuStringA(menu, FuzzyOptions::kFirstRecentCommand, entry, sizeof entry, MF_BYCOMMAND);
    check(std::string(entry).find(fixture) != std::string::npos, "... and the File menu");
    check(frame->hasPages(), "... the four pages are there");
    if (frame->hasPages())
        checkPagesDocked(frame);
    check(frame->getCommentState() == 0 && bar->isButtonChecked(CMD_COMMENT_LINE) == 0,
          "the first Open shows the comment page (its entry unchecked)");

    winecheck::pump();
    UpdateWindow(frame->hwnd);
    check(winecheck::saveWindowPicture(frame->hwnd, picture), "the frame's picture is saved");

    // Save writes the file byte for byte as it was.
    {
        BoxWatcher failure("Fuzzy-Editor", IDOK, 5000);
        command(frame, CMD_SAVE);
        check(!failure.found(), "Save (113) reports no failure");
    }
    check(!before.empty() && readText(fixture) == before, "Save writes the opened file byte-identical");
    check(!frame->getSession().isModified(), "... and the block is not modified");

    // Save as onto a file that is there: the editor asks first; No keeps
    // the file as it was and the editor on its own file.
    {
        const std::string taken = scratch + "\\belegt.kyb";
        writeText(taken, "bleibt");
        const std::string saveTitle = "Speichere Fuzzy-Block als ...";
        BoxWatcher dialog(saveTitle.c_str(), kNameCombo, taken.c_str());
        BoxWatcher question(title.c_str(), IDNO);
        command(frame, CMD_SAVE_AS);
        check(dialog.found(), "Save as (11020) asks for the name with \"Speichere Fuzzy-Block als ...\"");
        check(question.found() && question.text() == "Die Datei \"" + taken + "\" gibt es schon.\nWollen Sie sie ersetzen?",
              "... a name in use is answered with the question whether to replace the file");
        check(readText(taken) == "bleibt" && windowText(frame->hwnd) == title + " - " + fixture,
              "... No leaves the file and the editor's own file as they were");
    }

    // A file with a syntax error.
    const std::string broken = scratch + "\\kaputt.kyb";
    writeText(broken, kBroken);
    {
        // One box, the editor's own: the parser keeps its message for it and
        // shows nothing through the error reporter.
        BoxWatcher parser(getResString(20912), IDOK, 8000);
        BoxWatcher box(title.c_str(), IDOK);
        openThroughDialog(frame, broken);
        check(box.found() && box.text().find(broken + " - In oder vor Zeile 2:") == 0 &&
                  box.text().find("erwartet wird: \" CONFIGURATION \"") != std::string::npos,
              "a syntax error shows PATH - MESSAGE with the line and the expected token");
        check(!parser.found(), "... in the one box: the parser shows none of its own");
        printf("box: %s\n", box.text().c_str());
    }
    check(grayed(menu, CMD_SAVE_AS) && !bar->isButtonEnabled(CMD_SAVE), "... the block commands stay disabled");
    check(!frame->hasPages() && frame->getSession().model() == nullptr, "... no block is loaded");
    check(options->recentAt(0) == fixture, "... the broken file is not in the recent list");

    // Exit after a change asks; No stays, Yes ends.
    command(frame, FuzzyOptions::kFirstRecentCommand);
    check(frame->getSession().model() != nullptr && windowText(frame->hwnd) == title + " - " + fixture,
          "the recent entry opens its file without a dialog");
    frame->getSession().setModified();
    {
        BoxWatcher question(title.c_str(), IDNO);
        command(frame, CMD_EXIT);
        check(question.found() && question.text() == getResString(17633), "Exit after a change asks 17633");
    }
    check(!quitPosted() && frame->getSession().model() != nullptr, "... No: the editor stays");
    {
        BoxWatcher question(title.c_str(), IDYES);
        SendMessageA(frame->hwnd, WM_CLOSE, 0, 0);
        check(question.found() && question.text() == getResString(17633), "closing the window asks the same");
    }
    check(quitPosted(), "... Yes: the editor ends");
    check(frame->getSession().finalExitCode() == 1, "... with exit code 1");
}

// A top-level window of another process with the class, or null.
struct WindowSearch {
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM search)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (process == s->process && IsWindowVisible(hwnd) && lstrcmpiA(cls, s->className) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND waitForWindow(DWORD process, const char* className, DWORD timeoutMs = 15000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        WindowSearch search = {process, className, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

bool startProgram(const std::string& program, const std::string& arguments, const std::string& folder,
                  PROCESS_INFORMATION* info)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::string line = "\"" + program + "\" " + arguments;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, info))
        return false;
    CloseHandle(info->hThread);
    return true;
}

// Waits for the program's end; its exit code.
int endOf(const PROCESS_INFORMATION& info)
{
    if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return static_cast<int>(code);
}

// One run of the program: its command line and current folder, the box it
// must show (none: no caption) with the button that answers it, whether it
// then shows its listing viewer or its frame, which the test closes.
struct ProgramRun {
    std::string arguments;
    std::string folder;
    const char* caption;
    int button;
    bool viewer;
    bool frame;
    // New runs the configuration dialog first: it is cancelled.
    bool cancelNew = false;
};

struct RunResult {
    int exitCode = -2;
    std::string boxText;
    std::string viewerTitle;
    std::string viewerText;
    std::string frameTitle;
};

RunResult runProgram(const std::string& program, const ProgramRun& run)
{
    RunResult result;
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::string line = "\"" + program + "\"" + (run.arguments.empty() ? "" : " " + run.arguments);
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, run.folder.c_str(), &startup, &info))
        return result;
    CloseHandle(info.hThread);
    if (run.caption) {
        BoxWatcher box(info.dwProcessId, run.caption, run.button, 20000);
        box.wait();
        result.boxText = box.text();
    }
    if (run.viewer) {
        // kyt's listing viewer: the message above, the listing below.
        if (HWND viewer = waitForWindow(info.dwProcessId, "DialogFrameCL")) {
            result.viewerTitle = windowText(viewer);
            for (HWND edit = FindWindowExA(viewer, nullptr, "Edit", nullptr); edit;
                 edit = FindWindowExA(viewer, edit, "Edit", nullptr)) {
                std::vector<char> text(70000);
                SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
                result.viewerText += std::string(text.data()) + "\n";
            }
            PostMessageA(viewer, WM_CLOSE, 0, 0);
        }
    }
    if (run.frame) {
        for (int i = 0; run.cancelNew && i < 300; ++i) {
            HWND dialog = winecheck::findOwnWindow("Konfiguration ...", info.dwProcessId);
            DWORD owner = 0;
            if (dialog)
                GetWindowThreadProcessId(dialog, &owner);
            if (dialog && owner == info.dwProcessId && IsWindowVisible(dialog)) {
                // Shown comes before the modal run.
                Sleep(500);
                DWORD_PTR answer = 0;
                SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)), SMTO_NORMAL, 5000,
                                    &answer);
                for (int j = 0; j < 100 && IsWindowVisible(dialog); ++j)
                    Sleep(50);
                printf("configuration dialog %s\n", IsWindowVisible(dialog) ? "still shown" : "gone");
                break;
            }
            Sleep(50);
        }
        if (HWND frame = waitForWindow(info.dwProcessId, "AppFrameCL")) {
            // The frame takes its title once the block is open.
            Sleep(500);
            result.frameTitle = windowText(frame);
            PostMessageA(frame, WM_CLOSE, 0, 0);
        }
    }
    if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) {
        struct Lister {
            static BOOL CALLBACK list(HWND hwnd, LPARAM process)
            {
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                char title[200] = "", cls[64] = "";
                GetWindowTextA(hwnd, title, sizeof title);
                GetClassNameA(hwnd, cls, sizeof cls);
                if (owner == static_cast<DWORD>(process))
                    printf("left open: [%s] %s visible %d enabled %d\n", cls, title, IsWindowVisible(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0);
                return TRUE;
            }
        };
        EnumWindows(Lister::list, static_cast<LPARAM>(info.dwProcessId));
        TerminateProcess(info.hProcess, 99);
    }
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    result.exitCode = static_cast<int>(code);
    return result;
}

void startFailures(const std::string& program, const std::string& scratch)
{
    const std::string any = "*";
    // No kyt.ini.
    const std::string bare = scratch + "\\ohne-ini";
    CreateDirectoryA(bare.c_str(), nullptr);
    DeleteFileA((bare + "\\ERROR.LOG").c_str());
    DeleteFileA((bare + "\\kyt.ini").c_str());
    RunResult r = runProgram(program, {"", bare, any.c_str(), IDOK, false, false});
    check(r.exitCode == 1, "without kyt.ini the program ends with exit code 1");
    const std::string log = readText(bare + "\\ERROR.LOG");
    const std::string expected = "Fatal Error: Kann Datei \"" + bare + "\\kyt.ini\" nicht \xf6" "ffnen!";
    check(log.find(expected) != std::string::npos, "ERROR.LOG names the missing kyt.ini as a fatal error");
    check(log.find("Program aborts!") != std::string::npos, "... and says Program aborts!");
    check(r.boxText.find("kyt.ini") != std::string::npos, "... after the box that names it");

    // TEMPDIR names a regular file.
    const std::string locked = scratch + "\\datei-temp";
    CreateDirectoryA(locked.c_str(), nullptr);
    writeText(locked + "\\keinordner", "x");
    writeText(locked + "\\kyt.ini", "TEMPDIR = " + locked + "\\keinordner;\n");
    r = runProgram(program, {"", locked, any.c_str(), IDOK, false, false});
    char message[600];
    snprintf(message, sizeof message, getResString(17730), (locked + "\\keinordner").c_str());
    check(r.exitCode == 1, "a TEMPDIR that is a file ends the program with exit code 1");
    check(r.boxText.find(message) != std::string::npos, "... after the box 17730 naming it");

    // A quoted TEMPDIR: the listing viewer shows kyt.ini at the line, and
    // the editor starts with the start directory as TEMPDIR.
    const std::string quoted = scratch + "\\zitat";
    CreateDirectoryA(quoted.c_str(), nullptr);
    writeText(quoted + "\\kyt.ini", "// Installation\nHELPDIR = " + quoted + ";\nTEMPDIR = \"" + quoted + "\";\n");
    DeleteFileA((quoted + "\\kytfuzzy.set").c_str());
    r = runProgram(program, {"", quoted, nullptr, IDOK, true, true});
    check(r.viewerTitle == quoted + "\\kyt.ini", "a quoted TEMPDIR opens the listing viewer on kyt.ini");
    check(r.viewerText.find("Zeile 3") != std::string::npos && r.viewerText.find(getResString(17668)) != std::string::npos,
          "... with 17668 at line 3");
    check(r.viewerText.find("   3:   TEMPDIR") != std::string::npos, "... and lists kyt.ini's lines, numbered");
    check(r.frameTitle == getResString(17723) && r.exitCode == 1, "... then the plain editor runs and ends with 1");
    check(GetFileAttributesA((quoted + "\\kytfuzzy.set").c_str()) != INVALID_FILE_ATTRIBUTES,
          "... and writes kytfuzzy.set into the start directory");
}

// The command line: wrong calls, and the wizard's start from a block file.
void commandLines(const std::string& program, const std::string& scratch)
{
    const std::string folder = scratch + "\\aufruf";
    const std::string temp = folder + "\\temp";
    const std::string local = folder + "\\local";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA(temp.c_str(), nullptr);
    CreateDirectoryA(local.c_str(), nullptr);
    writeText(folder + "\\kyt.ini", "TEMPDIR = " + temp + ";\n");
    const std::string plainBlock = "BLOCK alt;\nENDBLOCK;\n";
    writeText(local + "\\alt.mdl", plainBlock);
    std::string wizardBlock = "# Kopf\n$WIZARD Fuzzy \"regler.kyb\"\n";
    std::string text = kBlock;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        wizardBlock += "#" + text.substr(start, end - start) + "\n";
        start = end + 1;
    }
    wizardBlock += "BLOCK w1;\nENDBLOCK;\n#nicht kopiert\n";
    writeText(local + "\\w1.mdl", wizardBlock);
    DeleteFileA((temp + "\\InWizard.kyb").c_str());

    const std::string wrong = getResString(11051);
    const std::string notWizard = getResString(11054);
    const std::string title = getResString(17723);
    struct Case {
        const char* what;
        std::string arguments;
        const char* caption;
        int button;
        bool frame;
        std::string boxText;
        std::string frameTitle;
        int exitCode;
    };
    const Case cases[] = {
        {"one word", "alt.mdl", "KYTfuzzy Fehler", IDOK, true, wrong, title, 1},
        {"three words", "alt.mdl " + local + " x", "KYTfuzzy Fehler", IDOK, true, wrong, title, 1},
        {"a tab between the words", "alt.mdl\t" + local, "KYTfuzzy Fehler", IDOK, true, wrong, title, 1},
        {"a block file without wizard line, No", "alt.mdl  " + local, "KYTfuzzy Warnung", IDNO, false, notWizard, "",
         1},
        {"a missing block file (New, its dialogs cancelled)", "neu.mdl " + local, nullptr, IDOK, true, "",
         title + " : UNNAMED", 1},
        {"a wizard block (its text opened)", "w1.mdl " + local, nullptr, IDOK, true, "",
         title + " - " + temp + "\\InWizard.kyb", 1},
    };
    for (const Case& c : cases) {
        RunResult r = runProgram(program, {c.arguments, folder, c.caption, c.button, false, c.frame,
                                           c.frameTitle.find("UNNAMED") != std::string::npos});
        const std::string what = std::string(c.what) + ": ";
        if (c.caption)
            check(r.boxText == c.boxText, (what + "the box " + c.caption).c_str());
        if (c.frame)
            check(r.frameTitle == c.frameTitle, (what + "the frame is titled " + c.frameTitle).c_str());
        check(r.exitCode == c.exitCode, (what + "exit code " + std::to_string(c.exitCode)).c_str());
        if (c.frame && r.frameTitle != c.frameTitle)
            printf("title: %s\n", r.frameTitle.c_str());
        if (r.exitCode != c.exitCode)
            printf("exit code: %d\n", r.exitCode);
    }
    check(readText(local + "\\alt.mdl") == plainBlock, "the declined block file is unchanged");

    // Save in wizard mode writes the wizard block back; Exit then ends with 0.
    PROCESS_INFORMATION info;
    if (startProgram(program, "w1.mdl " + local, folder, &info)) {
        HWND frame = waitForWindow(info.dwProcessId, "AppFrameCL");
        Sleep(500);
        SendMessageA(frame, WM_COMMAND, CMD_SAVE, 0);
        PostMessageA(frame, WM_COMMAND, CMD_EXIT, 0);
        const int code = endOf(info);
        const std::string written = readText(local + "\\w1.mdl");
        check(code == 0, "wizard mode: Save, then Exit ends with exit code 0");
        check(written.find("$WIZARD Fuzzy") != std::string::npos && written.find("INPUTVAR de") != std::string::npos &&
                  written.find("BLOCK w1") != std::string::npos,
              "... and the block file is the written wizard block");
    }
    // A block file that cannot be written: 17642, Exit without a question, -1.
    // An earlier run leaves the directory of that name.
    DeleteFileA((local + "\\w2.mdl\\inhalt").c_str());
    RemoveDirectoryA((local + "\\w2.mdl").c_str());
    writeText(local + "\\w2.mdl", wizardBlock);
    if (startProgram(program, "w2.mdl " + local, folder, &info)) {
        HWND frame = waitForWindow(info.dwProcessId, "AppFrameCL");
        // The block file is replaced only once its text is open.
        for (int i = 0; i < 200 && windowText(frame).find("InWizard.kyb") == std::string::npos; ++i)
            Sleep(50);
        DeleteFileA((local + "\\w2.mdl").c_str());
        CreateDirectoryA((local + "\\w2.mdl").c_str(), nullptr);
        writeText(local + "\\w2.mdl\\inhalt", "x");
        BoxWatcher failure(info.dwProcessId, getResString(17642), IDOK, 15000);
        PostMessageA(frame, WM_COMMAND, CMD_SAVE, 0);
        check(failure.found(), "wizard mode: a block file that cannot be written shows 17642");
        // The answered box may still stand for a moment.
        for (int i = 0; i < 100 && winecheck::findOwnBox(getResString(17642), info.dwProcessId); ++i)
            Sleep(50);
        BoxWatcher question(info.dwProcessId, "*", IDOK, 3000);
        PostMessageA(frame, WM_COMMAND, CMD_EXIT, 0);
        check(!question.found(), "... Exit asks nothing");
        if (question.found())
            printf("box after Exit: %s\n", question.text().c_str());
        const int code = endOf(info);
        check(code == -1, "... and the exit code is -1");
    }
    check(readText(temp + "\\InWizard.kyb") == text, "InWizard.kyb holds the block's \"#\" text");
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(200);
    disableErrorLog();
    std::vector<std::string> args = splitCommandLine(app->commandLine.text());
    if (args.size() != 3) {
        printf("usage: kytfuzzy_frame_test PNG-PATH KYTFUZZY-PROGRAM SCRATCH-FOLDER\n");
        app->exitCode = 2;
        return;
    }
    const std::string scratch = dosPath(args[2]);
    CreateDirectoryA(scratch.c_str(), nullptr);

    FuzzyOptions* options = new FuzzyOptions;
    options->setTempDir(scratch);
    FuzzyEditorFrame* frame = new FuzzyEditorFrame(nullptr, new Layout(0, 0, 700, 520), WS_OVERLAPPEDWINDOW,
                                                   getResString(17723), options);
    frame->rebuildMenus();
    frame->show(SW_SHOW);
    winecheck::pump();
    UpdateWindow(frame->hwnd);
    winecheck::pump();
    plainMode(frame, options, scratch, args[0]);
    delete frame;
    delete options;

    startFailures(dosPath(args[1]), scratch);
    commandLines(dosPath(args[1]), scratch);
    app->exitCode = winecheck::summary();
}
