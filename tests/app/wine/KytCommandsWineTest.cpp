// Under wine, in this process: the main window's commands on the loaded
// example, sent as WM_COMMAND to the frame. The tools, the grid commands,
// the plot-window command without a plot window, the file commands through
// a stand-in chooser, and the real open dialog of comdlg32, which the test
// finds among its own windows and cancels.
//
//   kyt_commands_wine_test PNG-FOLDER INSTALLATION
#include "Application.h"
#include "BlockObject.h"
#include "ConnectionObject.h"
#include "GedPane.h"
#include "KytProgram.h"
#include "MainFrame.h"
#include "Printing.h"
#include "Profile.h"
#include "ResString.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "UnitPoint.h"
#include "KytRegistry.h"
#include "WineCheck.h"
#include "Workspace.h"
#include "ModuleRegistry.h"
#include "RunTimeLibraries.h"

#include <windows.h>

#include <sys/resource.h>

#include <cctype>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

// The controls of the common file dialogs: the file-type list and the name.
const int kFileTypeCombo = 0x470;
const int kFileNameCombo = 0x47c;

std::string folder;  // where the pictures go
std::string install; // the installation, DOS form

using winecheck::dosPath;

void settle()
{
    for (int i = 0; i < 5; ++i) {
        winecheck::pump();
        Sleep(20);
    }
}

bool fileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Stands in for the common dialogs: records every dialog asked for and
// answers with the next name of its list ("" cancels).
class StandInChooser : public FileNameChooser {
public:
    struct Asked {
        FileDialogRow dialog;
        std::string initialName;
    };
    bool chooseFileName(const FileDialogRow& dialog, const std::string& initialName, std::string& chosen) override
    {
        asked.push_back(Asked{dialog, initialName});
        if (answers.empty())
            return false;
        chosen = answers.front();
        answers.erase(answers.begin());
        return !chosen.empty();
    }
    std::vector<Asked> asked;
    std::vector<std::string> answers;
};

// What the test saw of the real file dialog before it cancelled it.
struct DialogSeen {
    std::string title;
    bool found = false;
    std::string fileType;
    std::string fileName;
    bool ownedByFrame = false;
    HWND frame = nullptr;
    HWND dialog = nullptr;
};

std::string comboText(HWND combo)
{
    if (!combo)
        return std::string();
    LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return std::string();
    char text[300] = "";
    if (SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0) >= static_cast<LRESULT>(sizeof text))
        return std::string();
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text));
    return text;
}

// On a thread of its own: finds the dialog of this process with the title,
// reads its file type and name, saves its picture and presses Cancel.
DWORD WINAPI cancelFileDialog(LPVOID p)
{
    DialogSeen* seen = static_cast<DialogSeen*>(p);
    for (int i = 0; i < 300 && !seen->found; ++i) {
        HWND box = winecheck::findOwnBox(seen->title.c_str());
        if (!box || !IsWindowVisible(box)) {
            Sleep(50);
            continue;
        }
        Sleep(300);
        seen->found = true;
        seen->dialog = box;
        seen->ownedByFrame = GetWindow(box, GW_OWNER) == seen->frame;
        seen->fileType = comboText(GetDlgItem(box, kFileTypeCombo));
        HWND name = GetDlgItem(box, kFileNameCombo);
        char text[300] = "";
        if (name)
            GetWindowTextA(name, text, sizeof text);
        seen->fileName = text;
        winecheck::saveWindowPicture(box, folder + "kyt-open-dialog.png");
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
    return 0;
}

// A visible top-level window of this process whose title holds part.
struct TitleSearch {
    const char* part;
    HWND found;
};

BOOL CALLBACK matchTitle(HWND hwnd, LPARAM p)
{
    TitleSearch* s = reinterpret_cast<TitleSearch*>(p);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char title[600] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && strstr(title, s->part)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findEdit(HWND hwnd, LPARAM p)
{
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) {
        *reinterpret_cast<HWND*>(p) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A framework dialog of this process, found by a part of its title and
// answered with a button as a click on it would.
struct DialogAnswer {
    const char* titlePart;
    int button;
    bool found = false;
};

DWORD WINAPI answerDialog(LPVOID p)
{
    DialogAnswer* answer = static_cast<DialogAnswer*>(p);
    for (int i = 0; i < 200 && !answer->found; ++i) {
        TitleSearch search = {answer->titlePart, nullptr};
        EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            Sleep(50);
            continue;
        }
        Sleep(200);
        answer->found = true;
        PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(answer->button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(search.found, answer->button)));
    }
    return 0;
}

// What the test saw of the text editor window before it closed it.
struct EditorSeen {
    bool found = false;
    std::string title;
    std::string text;
    HWND window = nullptr;
};

DWORD WINAPI closeSourceEditor(LPVOID p)
{
    EditorSeen* seen = static_cast<EditorSeen*>(p);
    for (int i = 0; i < 300 && !seen->found; ++i) {
        TitleSearch search = {" - schreibgesch\xfctzt", nullptr};
        EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            Sleep(50);
            continue;
        }
        Sleep(300);
        seen->found = true;
        seen->window = search.found;
        char title[600] = "";
        GetWindowTextA(search.found, title, sizeof title);
        seen->title = title;
        HWND edit = nullptr;
        EnumChildWindows(search.found, findEdit, reinterpret_cast<LPARAM>(&edit));
        if (edit) {
            std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1);
            GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
            seen->text = text.data();
        }
        winecheck::saveWindowPicture(search.found, folder + "kyt-source-editor.png");
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    }
    return 0;
}

class CommandsKyt : public KytProgram {
public:
    explicit CommandsKyt(Application* application) : KytProgram(application, "example") {}

protected:
    void runCircuit(int) override {}
    int messageLoop() override
    {
        settle();
        scenarios();
        frame()->setFileNameChooser(nullptr);
        frame()->getPane()->model().circuitSaved = 1;
        PostMessageA(frame()->hwnd, WM_COMMAND, kCommandExit, 0);
        return KytProgram::messageLoop();
    }

private:
    LRESULT command(int id) { return SendMessageA(frame()->hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    Point grid() { return frame()->getPane()->model().getZoom(); }
    void setGrid(int width, int height) { frame()->getPane()->model().setZoom(width, height); }

    void scenarios();
    void deleteTool();
    void zoomOut();
    void standardGrids();
    void plotToFront();
    void printWithoutPrinter();
    void unknownCommands();
    void fileDialogs();
    void realOpenDialog();
    void blockSource();
    void saveRoundTrip();
    void replaceQuestion();
    void displaySwitches();
    void clipFiles();
    void undo();
    void tempDirGone();
    void fragment();
    void resources();
    void toolBarClicks();
    void insertAndRecent();
    void foreignCircuits();
    void help();

    // Posts the command and answers the box it shows; its text, or "(no
    // box)".
    std::string boxOf(int id, const char* caption = "Nachricht", int button = IDOK)
    {
        BoxWatcher box(caption, button, 10000);
        PostMessageA(frame()->hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0);
        winecheck::pump();
        box.wait();
        settle();
        return box.found() ? box.text() : std::string("(no box)");
    }
    // Sends the command; true when it showed no box.
    bool quietly(int id)
    {
        BoxWatcher box("*", IDOK, 1500);
        command(id);
        box.wait();
        return !box.found();
    }
    CircuitModel& model() { return frame()->getPane()->model(); }
    BlockObject* firstBlock()
    {
        for (GraphicObject* object : model().objects)
            if (object->kind() == 1)
                return static_cast<BlockObject*>(object);
        return nullptr;
    }
    void markOnlyFirstBlock()
    {
        model().unmarkAll();
        if (BlockObject* block = firstBlock())
            block->markWord = 1;
    }
    int markedCount()
    {
        int n = 0;
        for (GraphicObject* object : model().objects)
            if (object->markWord)
                ++n;
        return n;
    }
    // The circuit as circuit text, without the comment lines of its header
    // (they hold the time).
    std::string circuitText()
    {
        const std::string path = install + "\\tmp\\commands-text.tmp";
        model().saveCircuit(path.c_str(), 0, 0);
        const std::string text = winecheck::readText(path);
        DeleteFileA(path.c_str());
        std::string kept;
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size() - 1;
            if (text[at] != '#')
                kept += text.substr(at, end + 1 - at);
            at = end + 1;
        }
        return kept;
    }
    StandInChooser* standIn = nullptr;
};

void CommandsKyt::scenarios()
{
    resources();
    deleteTool();
    zoomOut();
    standardGrids();
    plotToFront();
    printWithoutPrinter();
    unknownCommands();
    fileDialogs();
    StandInChooser chooser;
    standIn = &chooser;
    frame()->setFileNameChooser(&chooser);
    saveRoundTrip();
    replaceQuestion();
    displaySwitches();
    clipFiles();
    undo();
    tempDirGone();
    fragment();
    toolBarClicks();
    insertAndRecent();
    foreignCircuits();
    frame()->setFileNameChooser(nullptr);
    standIn = nullptr;
    realOpenDialog();
    blockSource();
    help();
}

// 112 under the circuit's own name, 9003, and 111 of that file give the
// same circuit back.
void CommandsKyt::saveRoundTrip()
{
    const std::string name = theWorkspace->circuitName.text();
    const std::string before = circuitText();
    const size_t asked = standIn->asked.size();
    model().circuitSaved = 0;
    check(quietly(112), "112 on a named circuit shows nothing");
    check(standIn->asked.size() == asked && model().circuitSaved == 1, "... asks for no name and marks the pane saved");
    check(quietly(9003) && model().objects.empty(), "9003 on the saved circuit empties the pane without a question");
    standIn->answers = {name};
    command(111);
    check(!model().objects.empty() && circuitText() == before && name == theWorkspace->circuitName.text(),
          "111 of the saved file gives back the same blocks, connections, interpoints and settings");

    // A file that does not open leaves the circuit on screen as it was.
    standIn->answers = {install + "\\examples\\fehlt"};
    const std::string missingBox = boxOf(111);
    check(missingBox.find("fehlt.kyt kann nicht ge\xf6" "ffnet werden!") != std::string::npos &&
              !model().objects.empty() && circuitText() == before && name == theWorkspace->circuitName.text(),
          ("111 of a missing file shows 20907 and keeps the circuit and its name: " + missingBox).c_str());

    // An unnamed circuit is saved as Save as saves.
    const size_t askedBefore = standIn->asked.size();
    theWorkspace->updateMainTitle(getResString(kResUntitled));
    command(112);
    check(standIn->asked.size() == askedBefore + 1 && standIn->asked.back().dialog.title == 19110 &&
              standIn->asked.back().dialog.save,
          "112 on \"(unbenannt)\" asks for a name");
    theWorkspace->updateMainTitle(name.c_str());
}

// Save as onto the circuit's own name asks nothing; onto another existing
// file it asks 19010, and No writes nothing.
void CommandsKyt::replaceQuestion()
{
    const std::string name = theWorkspace->circuitName.text();
    standIn->answers = {name};
    model().circuitSaved = 0;
    check(quietly(141) && model().circuitSaved == 1, "141 onto its own name asks nothing and saves");

    const std::string example = install + "\\examples\\example.kyt";
    const std::string exampleBefore = winecheck::readText(example);
    standIn->answers = {example};
    model().circuitSaved = 0;
    const std::string box = boxOf(141, "Warnung:", IDNO);
    check(box == "Soll die bereits existierende Datei\n" + example + "\nersetzt werden?",
          ("141 onto another existing file asks 19010: " + box).c_str());
    check(winecheck::readText(example) == exampleBefore && model().circuitSaved == 0 &&
              name == theWorkspace->circuitName.text(),
          "... and No writes nothing and keeps the name and the changed state");
    model().circuitSaved = 1;
}

void CommandsKyt::displaySwitches()
{
    HMENU menu = frame()->getMenu()->handle();
    auto checked = [menu](int id) { return (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0; };
    theWorkspace->showInputSignalNames = 0;
    theWorkspace->hideConnectionLines = 0;
    command(4012);
    check(theWorkspace->hideConnectionLines == 1 && theWorkspace->showInputSignalNames == 1 && checked(4012) &&
              checked(4011),
          "4012 on hides the lines and also sets 4011");
    command(4012);
    check(theWorkspace->hideConnectionLines == 0 && theWorkspace->showInputSignalNames == 1 && !checked(4012) &&
              checked(4011),
          "4012 off leaves 4011 on");
    command(4011);
    check(theWorkspace->showInputSignalNames == 0 && !checked(4011), "4011 switches the names off again");
}

void CommandsKyt::clipFiles()
{
    const std::string duplicateFile = install + "\\tmp\\kytdup.tmp";
    const std::string clipFile = install + "\\tmp\\kytclip.tmp";
    markOnlyFirstBlock();
    size_t count = model().objects.size();
    check(quietly(1100), "1100 shows nothing");
    check(model().objects.size() == count + 1 && markedCount() == 1, "... adds one marked copy of the marked block");
    check(winecheck::readText(duplicateFile) == "empty", "... and leaves kytdup.tmp holding \"empty\"");

    DeleteFileA(clipFile.c_str());
    count = model().objects.size();
    check(quietly(2002) && model().objects.size() == count, "paste without kytclip.tmp does nothing and shows nothing");

    markOnlyFirstBlock();
    check(quietly(2001) && fileExists(clipFile) && model().objects.size() == count, "2001 writes kytclip.tmp");
    check(quietly(2002) && model().objects.size() == count + 1 && markedCount() == 1,
          "2002 adds the clip file's block, marked alone");
    // The copies go again (Cut of the marked copy).
    check(quietly(2000) && model().objects.size() == count && markedCount() == 0, "2000 removes the marked copy");
    model().unmarkAll();
}

// A block with a connection of two interpoints, deleted with 149: two 1118
// bring them back, the interpoints in order, and grey 1118; a third does
// nothing.
void CommandsKyt::undo()
{
    BlockObject* block = firstBlock();
    ConnectionObject* line = nullptr;
    for (GraphicObject* object : model().objects)
        if (object->kind() == 2 && !line) {
            ConnectionObject* c = static_cast<ConnectionObject*>(object);
            if (c->blockA == block || c->blockB == block)
                line = c;
        }
    check(block && line, "the example's first block has a connection");
    if (!block || !line)
        return;
    BlockObject* otherEnd = line->blockA == block ? line->blockB : line->blockA;
    line->interpoints.clear();
    line->appendInterpoint(7, 3);
    line->appendInterpoint(7, 9);
    const size_t count = model().objects.size();
    // Only this deletion is to come back (the cut above is kept too).
    model().clearUndo();
    markOnlyFirstBlock();
    const std::string asked = boxOf(149, "Warnung:", IDYES);
    check(asked != "(no box)" && model().objects.size() == count - 2, ("149 asks and deletes the block and its line: " + asked).c_str());
    HMENU menu = frame()->getMenu()->handle();
    auto grey = [menu]() { return (GetMenuState(menu, kCommandUndoDelete, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0; };
    check(!grey(), "... and enables 1118");
    command(kCommandUndoDelete);
    command(kCommandUndoDelete);
    ConnectionObject* back = nullptr;
    for (GraphicObject* object : model().objects)
        if (object->kind() == 2) {
            ConnectionObject* c = static_cast<ConnectionObject*>(object);
            if ((c->blockA == block && c->blockB == otherEnd) || (c->blockB == block && c->blockA == otherEnd))
                back = c;
        }
    check(model().contains(block) && back && model().objects.size() == count, "two 1118 bring the block and its line back");
    std::string points;
    if (back)
        for (const Interpoint& p : back->interpoints)
            points += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    check(points == "(7,3)(7,9)", ("... the line with its interpoints in order: " + points).c_str());
    check(grey(), "... and grey 1118");
    check(quietly(kCommandUndoDelete) && model().objects.size() == count, "a third 1118 does nothing");
}

// Clicks on the tool-bar buttons reach the commands of their ids (those
// that neither print, run nor drop the circuit).
void CommandsKyt::toolBarClicks()
{
    MainFrame* f = frame();
    MainToolBar* bar = f->getToolBar();
    auto click = [&](int id) {
        BmpButtonCL* button = bar->button(id);
        if (button)
            SendMessageA(button->hwnd, BM_CLICK, 0, 0);
        settle();
        return button != nullptr;
    };
    const size_t asked = standIn->asked.size();
    check(click(111) && standIn->asked.size() == asked + 1 && standIn->asked.back().dialog.title == 19109,
          "the button 111 asks for a circuit to open");
    model().circuitSaved = 0;
    check(click(112) && model().circuitSaved == 1 && standIn->asked.size() == asked + 1,
          "the button 112 saves the named circuit");
    bool tools = true;
    for (int tool : {1269, 1268, 1267}) {
        click(tool);
        tools = tools && f->getPane()->getTool() == tool && bar->isButtonChecked(tool);
    }
    check(tools, "the buttons 1267 to 1269 change the tool");
    setGrid(5, 5);
    click(9005);
    const bool larger = grid().x() == 6;
    click(9006);
    const bool smaller = grid().x() == 5;
    click(9007);
    const GridSize standard = theWorkspace->getGrid();
    check(larger && smaller && grid().x() == standard.x && grid().y() == standard.y,
          "the buttons 9005, 9006 and 9007 change the grid");
    {
        BoxWatcher box("Nachricht", IDOK, 10000);
        PostMessageA(bar->button(230)->hwnd, BM_CLICK, 0, 0);
        winecheck::pump();
        box.wait();
        settle();
        check(box.found() && box.text().find(getResString(9018)) != std::string::npos,
              "the button 230 looks for the active plot window");
    }
    {
        // The signal-name dialog, cancelled: what was deleted can no longer
        // come back.
        markOnlyFirstBlock();
        {
            BoxWatcher yes("Warnung:", IDYES, 10000);
            PostMessageA(f->hwnd, WM_COMMAND, 149, 0);
            winecheck::pump();
        }
        const bool deleted = !model().undoList.empty();
        DialogAnswer cancel{"Signalnamen bearbeiten", IDCANCEL};
        HANDLE watcher = CreateThread(nullptr, 0, answerDialog, &cancel, 0, nullptr);
        PostMessageA(bar->button(4010)->hwnd, BM_CLICK, 0, 0);
        winecheck::pump();
        WaitForSingleObject(watcher, INFINITE);
        CloseHandle(watcher);
        settle();
        HMENU menu = f->getMenu()->handle();
        check(deleted && cancel.found && model().undoList.empty() &&
                  (GetMenuState(menu, kCommandUndoDelete, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) &&
                  model().circuitSaved == 0,
              "the button 4010 runs the signal-name dialog, empties the undo list, greys 1118 and marks the pane changed");
        model().circuitSaved = 1;
    }
}

// 1126 adds a circuit file's objects, marked; 1101 loads the first recent
// file; a name that does not open shows 20907.
void CommandsKyt::insertAndRecent()
{
    const std::string example = install + "\\examples\\example.kyt";
    const size_t count = model().objects.size();
    standIn->answers = {example};
    check(quietly(1126), "1126 of example.kyt shows nothing");
    check(model().objects.size() == count + 4 && markedCount() == 3,
          ("... and adds its three blocks, marked, and its connection: " + std::to_string(model().objects.size() - count) +
           " added, " + std::to_string(markedCount()) + " marked")
              .c_str());
    standIn->answers = {install + "\\examples\\fehlt"};
    const std::string box = boxOf(1126);
    check(box == std::string(getResString(20908)) + " Die Datei " + install + "\\examples\\fehlt.kyt kann nicht ge\xf6" "ffnet werden!",
          ("1126 of a missing file shows 20907: " + box).c_str());

    const std::string first = theWorkspace->recentFiles[0].text();
    theWorkspace->addRecentFile(example.c_str());
    theWorkspace->addRecentFile(first.c_str());
    model().circuitSaved = 1;
    check(quietly(2102) && std::string(theWorkspace->circuitName.text()) == example && model().objects.size() == 4,
          "2102 loads the second recent file");
    StatusField* state = frame()->getStatusBar()->fieldById(kStateField);
    check(state && state->getText() == "Bearbeiten", "... and status field 1 reads \"Bearbeiten\" again");
    model().circuitSaved = 1;
    check(quietly(1101) && std::string(theWorkspace->circuitName.text()) == example,
          "1101 loads the first recent file, now example.kyt");
}

// Circuits from elsewhere, opened with 111: an embedded block named to
// leave library Local is refused (19440) and nothing is written outside;
// a block that Local cannot take (every file of this process is held to
// 1000 bytes while it loads, a full disk as the program sees it) is
// reported (19442), and 112 does not write the shorter circuit over its
// file (19445).
void CommandsKyt::foreignCircuits()
{
    const std::string example = install + "\\examples\\example.kyt";
    const std::string text = winecheck::readText(example);
    const std::string rule = "#-------\n";
    const std::string escaping = rule + "@START_BFL\n@END_BFL\n\n@START_BLOCK \"..\\escaped\"\nBLOCK boese;\n"
                                 "ENDBLOCK\n@END_BLOCK\n\n@END_LOCALLIB\n" + rule + "\n" + text;
    const std::string student = install + "\\tmp\\schueler.kyt";
    check(winecheck::writeText(student, escaping), "the student's circuit is written");
    model().circuitSaved = 1;
    standIn->answers = {student};
    std::string box = boxOf(111);
    check(box.find("Der Blockname \"..\\escaped\" ist kein einfacher Dateiname") != std::string::npos,
          ("111 of a circuit whose block leaves Local shows 19440: " + box).c_str());
    check(!fileExists(install + "\\escaped") && model().objects.size() == 4 &&
              std::string(theWorkspace->circuitName.text()) == student,
          "... writes nothing beside Local and loads the rest of the circuit");
    winecheck::saveWindowPicture(frame()->hwnd, folder + "kyt-foreign-circuit.png");

    const size_t connect = text.find("CONNECT");
    check(connect != std::string::npos, "the example has a connection");
    const std::string full = install + "\\tmp\\voll.kyt";
    const std::string withBlock = rule + "@START_BFL\n@END_BFL\n\n@START_BLOCK \"eigen\"\n# " + std::string(2000, '-') +
                                  "\nBLOCK eigen;\nOUTPUT y;\nSIM\ny = 1;\nENDBLOCK\n@END_BLOCK\n\n@END_LOCALLIB\n" +
                                  rule + "\n" + text.substr(0, connect) + "USE eigen AS B_9 \n$ BLOCKLIB Local\nENDUSE\n" +
                                  text.substr(connect);
    check(winecheck::writeText(full, withBlock), "the circuit with a block of its own is written");
    model().circuitSaved = 1;
    standIn->answers = {full};
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &limited);
    box = boxOf(111);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    check(box.find("Der Block \"eigen\" kann nicht in die Bibliothek Local geschrieben werden") != std::string::npos,
          ("111 of a circuit whose block Local cannot take shows 19442: " + box).c_str());
    check(model().objects.size() == 4 && !fileExists(install + "\\local\\eigen") &&
              !fileExists(install + "\\local\\eigen.new"),
          "... leaves nothing half written in Local and shows the rest of the circuit");
    model().circuitSaved = 0;
    box = boxOf(112);
    check(box.find("wurde nicht vollst\xe4ndig geladen") != std::string::npos && winecheck::readText(full) == withBlock &&
              model().circuitSaved == 0,
          ("112 does not write the circuit without its block over its file (19445): " + box).c_str());

    // The example again, for what follows.
    model().circuitSaved = 1;
    standIn->answers = {example};
    command(111);
    DeleteFileA(student.c_str());
    DeleteFileA(full.c_str());
}

// 18021 writes the marked objects alone; on an empty circuit it shows 13.
void CommandsKyt::fragment()
{
    const std::string path = install + "\\tmp\\teil";
    DeleteFileA((path + ".kyf").c_str());
    markOnlyFirstBlock();
    standIn->answers = {path};
    check(quietly(18021), "18021 onto a new file asks nothing");
    const std::string text = winecheck::readText(path + ".kyf");
    size_t uses = 0;
    for (size_t at = text.find("\nUSE "); at != std::string::npos; at = text.find("\nUSE ", at + 1))
        ++uses;
    check(uses == 1 && text.find("CONNECT") == std::string::npos,
          ("... and writes teil.kyf with the marked block alone: " + std::to_string(uses) + " blocks").c_str());
    DeleteFileA((path + ".kyf").c_str());
    model().unmarkAll();

    std::list<GraphicObject*> kept;
    kept.swap(model().objects);
    const size_t asked = standIn->asked.size();
    const std::string box = boxOf(18021);
    check(box == "Es ist keine Schaltung zum Speichern vorhanden!" && standIn->asked.size() == asked,
          ("18021 on an empty circuit shows 13 and asks for no name: " + box).c_str());
    kept.swap(model().objects);
}

// A temporary directory that cannot be written: 1100, 2001 and 2000 show
// 19201 at error level and change nothing.
void CommandsKyt::tempDirGone()
{
    const String temp = theWorkspace->TEMPDIR;
    const std::string gone = install + "\\weg";
    theWorkspace->TEMPDIR = gone.c_str();
    const std::string expected = std::string(getResString(20909)) + " Keine Schreibrechte im tempor\xe4ren Verzeichnis " + gone + "!";
    for (int id : {1100, 2001, 2000}) {
        markOnlyFirstBlock();
        const size_t count = model().objects.size();
        const std::string box = boxOf(id);
        check(box == expected && model().objects.size() == count,
              (std::to_string(id) + " without TEMPDIR shows 19201 as an error and changes nothing: " + box).c_str());
    }
    theWorkspace->TEMPDIR = temp;
    model().unmarkAll();
}

// Menu 1102 and accelerator table 130 against the command table: every
// entry's text (Windows-1252) and every key.
void CommandsKyt::resources()
{
    HMENU menu = frame()->getMenu()->handle();
    std::string wrong;
    size_t keys = 0;
    for (size_t i = 0; i < mainCommandRowCount(); ++i) {
        const MainCommandRow& row = mainCommandRows()[i];
        if (row.key != KEY_NONE)
            ++keys;
        const char* expected = row.menuText ? row.menuText : row.menuString ? getResString(row.menuString) : nullptr;
        if (!expected)
            continue;
        char text[200] = "";
        GetMenuStringA(menu, static_cast<UINT>(row.firstId), text, sizeof text, MF_BYCOMMAND);
        if (std::string(text) != expected)
            wrong += " " + std::to_string(row.firstId) + "=\"" + text + "\"";
    }
    check(wrong.empty(), ("menu 1102 holds every command of the table with its text" + wrong).c_str());

    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kMainAccelerators));
    const int count = table ? CopyAcceleratorTableA(table, nullptr, 0) : 0;
    std::vector<ACCEL> entries(static_cast<size_t>(count > 0 ? count : 1));
    if (count > 0)
        CopyAcceleratorTableA(table, entries.data(), count);
    std::string unmatched;
    for (int e = 0; e < count; ++e) {
        const ACCEL& a = entries[static_cast<size_t>(e)];
        const MainCommandRow* row = findMainCommand(a.cmd);
        const bool ctrl = (a.fVirt & FCONTROL) != 0;
        if (!row || row->key != a.key || row->ctrl != ctrl || !(a.fVirt & FVIRTKEY) || (a.fVirt & (FSHIFT | FALT)))
            unmatched += " " + std::to_string(a.cmd);
    }
    check(count == 18 && static_cast<size_t>(count) == keys && unmatched.empty(),
          ("accelerator table 130 reads back as the table's 18 keys" + unmatched).c_str());
}

void CommandsKyt::deleteTool()
{
    MainFrame* f = frame();
    GedPane* pane = f->getPane();
    MainToolBar* bar = f->getToolBar();
    check(command(1268) == 1, "1268 is handled");
    settle();
    check(pane->cursorId() == 121 && pane->getTool() == 1268, "1268: the pane has cursor 121 and tool 1268");
    check(bar->isButtonChecked(1268) && !bar->isButtonChecked(1267) && !bar->isButtonChecked(1269),
          "1268: its button alone is checked");
    check(GetFocus() == pane->hwnd, "1268: the pane has the focus");
    command(1267);
    settle();
    check(pane->cursorId() == 122 && pane->getTool() == 1267 && bar->isButtonChecked(1267) &&
              !bar->isButtonChecked(1268),
          "1267 brings back cursor 122 and the edit tool");
}

void CommandsKyt::zoomOut()
{
    setGrid(1, 5);
    {
        BoxWatcher box("Nachricht", IDOK, 10000);
        PostMessageA(frame()->hwnd, WM_COMMAND, 9006, 0);
        winecheck::pump();
        box.wait();
        settle();
        check(box.found() && box.text() == "Die Rastergr\xf6\xdf" "e darf nicht weiter verkleinert werden!",
              ("9006 at 1 x 5 shows 11 as a plain message: " + box.text()).c_str());
    }
    check(grid().x() == 1 && grid().y() == 5, "... and the grid stays 1 x 5");
    setGrid(2, 2);
    {
        BoxWatcher box("*", IDOK, 1500);
        command(9006);
        box.wait();
        check(!box.found(), "9006 at 2 x 2 shows nothing");
    }
    check(grid().x() == 1 && grid().y() == 1, "... and gives 1 x 1");
    setGrid(5, 7);
    command(9005);
    check(grid().x() == 6 && grid().y() == 8, "9005 makes 5 x 7 into 6 x 8");
}

void CommandsKyt::standardGrids()
{
    setGrid(42, 42);
    command(143);
    const GridSize standard = theWorkspace->getGrid();
    check(standard.x == 43 && standard.y == 43, "143 at 42 x 42 makes the standard grid 43 x 43");
    check(grid().x() == 43 && grid().y() == 43, "... and the pane takes it");
    setGrid(3, 3);
    command(9007);
    check(grid().x() == 43 && grid().y() == 43, "9007 gives the pane the standard grid");

    // A new pane's grid: 4 mm on the screen, made odd.
    GedPane* fresh = new GedPane(frame(), new Layout(0, 0, 10, 10), WS_CHILD);
    const Point freshGrid = fresh->model().getZoom();
    delete fresh;
    setGrid(9, 9);
    command(144);
    const GridSize reset = theWorkspace->getGrid();
    check(reset.x == freshGrid.x() && reset.y == freshGrid.y() && grid().x() == freshGrid.x() &&
              grid().y() == freshGrid.y(),
          ("144 gives the standard grid and the pane a fresh pane's grid: " + std::to_string(reset.x) + " x " +
           std::to_string(reset.y) + ", fresh " + std::to_string(freshGrid.x()) + " x " +
           std::to_string(freshGrid.y()))
              .c_str());
    check(freshGrid.x() % 2 == 1 && freshGrid.y() % 2 == 1, "... which is odd");
}

void CommandsKyt::plotToFront()
{
    check(plotOszi == nullptr, "there is no active plot window");
    BoxWatcher box("Nachricht", IDOK, 10000);
    PostMessageA(frame()->hwnd, WM_COMMAND, 230, 0);
    winecheck::pump();
    box.wait();
    settle();
    const std::string expected = std::string(getResString(20909)) + " " + getResString(9018);
    check(box.found() && box.text() == expected, ("230 without a plot window shows 9018 as an error: " + box.text()).c_str());
}

// "Drucken" (9001) with no printer installed says so, and nothing prints.
void CommandsKyt::printWithoutPrinter()
{
    TableProfile none;
    setProfileSource(&none);
    const std::string said = boxOf(9001, "Kann nicht drucken");
    setProfileSource(nullptr);
    check(said == "Kein Druckertreiber vorhanden",
          ("9001 without a printer shows \"Kein Druckertreiber vorhanden\": " + said).c_str());
    check(!PrintJob::current() && !winecheck::findOwnBox("Drucken ..."), "... and starts no job");
}

void CommandsKyt::unknownCommands()
{
    std::string handled;
    for (int id : {142, 4013, 4014, 4015, 4016, 4018, 9004, 12345})
        if (command(id) != 0)
            handled += " " + std::to_string(id);
    check(handled.empty(), ("142, 4013 to 4016, 4018, 9004 and 12345 return 0" + handled).c_str());
}

void CommandsKyt::fileDialogs()
{
    MainFrame* f = frame();
    CircuitModel& model = f->getPane()->model();
    StandInChooser chooser;
    FileNameChooser* before = f->setFileNameChooser(&chooser);
    check(before != nullptr, "the frame starts with the common dialogs as its chooser");

    // Open, cancelled: the dialog of 111 and nothing loaded.
    const size_t objects = model.objects.size();
    command(111);
    check(chooser.asked.size() == 1 && chooser.asked[0].dialog.title == 19109 &&
              chooser.asked[0].dialog.filterText == 19108 &&
              std::string(chooser.asked[0].dialog.pattern) == "*.kyt" && !chooser.asked[0].dialog.save &&
              chooser.asked[0].initialName.empty(),
          "111 asks for a circuit with title 19109 and the filter 19108 *.kyt");
    check(model.objects.size() == objects, "... and a cancelled dialog loads nothing");

    // Save as onto a new name: written, titled and first of the recent files.
    const std::string copy = install + "\\examples\\kopie";
    DeleteFileA((copy + ".kyt").c_str());
    chooser.answers = {copy};
    model.circuitSaved = 0;
    command(141);
    check(chooser.asked.size() == 2 && chooser.asked[1].dialog.title == 19110 && chooser.asked[1].dialog.save &&
              chooser.asked[1].initialName == "example.kyt",
          "141 asks with title 19110, proposing example.kyt");
    check(fileExists(copy + ".kyt") && model.circuitSaved == 1 &&
              std::string(theWorkspace->circuitName.text()) == copy + ".kyt" &&
              std::string(theWorkspace->recentFiles[0].text()) == copy + ".kyt",
          "... writes kopie.kyt, marks the pane unchanged, takes the name and heads the recent files");

    // 18021 proposes the fragment's name; cancelled, nothing is written.
    for (GraphicObject* object : model.objects)
        object->markWord = 1;
    command(18021);
    check(chooser.asked.size() == 3 && chooser.asked[2].dialog.title == 18025 &&
              chooser.asked[2].dialog.filterText == 18023 && std::string(chooser.asked[2].dialog.pattern) == "*.kyf" &&
              chooser.asked[2].initialName == "kopie.kyf",
          "18021 asks with title 18025 and the filter 18023 *.kyf, proposing kopie.kyf");
    model.unmarkAll();

    // Save on an empty circuit: 13, and no dialog.
    std::list<GraphicObject*> kept;
    kept.swap(model.objects);
    {
        BoxWatcher box("Nachricht", IDOK, 10000);
        PostMessageA(f->hwnd, WM_COMMAND, 112, 0);
        winecheck::pump();
        box.wait();
        settle();
        check(box.found() && box.text() == "Es ist keine Schaltung zum Speichern vorhanden!",
              ("112 on an empty circuit shows 13: " + box.text()).c_str());
    }
    check(chooser.asked.size() == 3, "... and asks for no name");
    kept.swap(model.objects);
    f->setFileNameChooser(before);
}

void CommandsKyt::realOpenDialog()
{
    MainFrame* f = frame();
    CircuitModel& model = f->getPane()->model();
    f->setFileNameChooser(nullptr);
    const size_t objects = model.objects.size();
    const std::string name = theWorkspace->circuitName.text();
    DialogSeen seen;
    // "Wähle eine Schaltung ..." in Windows-1252.
    seen.title = "W\xe4hle eine Schaltung ...";
    seen.frame = f->hwnd;
    HANDLE watcher = CreateThread(nullptr, 0, cancelFileDialog, &seen, 0, nullptr);
    PostMessageA(f->hwnd, WM_COMMAND, 111, 0);
    winecheck::pump();
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    settle();
    check(seen.found, "111 opens the common open dialog titled \"W\xe4hle eine Schaltung ...\"");
    check(seen.ownedByFrame, "... owned by the main frame");
    check(seen.fileType == "KYT Schaltung (*.kyt)", ("... with the one filter \"KYT Schaltung (*.kyt)\": " + seen.fileType).c_str());
    check(seen.fileName.empty(), ("... and no name: " + seen.fileName).c_str());
    check(!seen.dialog || !IsWindow(seen.dialog), "Cancel closes it");
    check(!winecheck::findOwnBox("*"), "no dialog of this process is left open");
    check(model.objects.size() == objects && name == theWorkspace->circuitName.text(),
          "the cancelled dialog leaves the circuit as it was");
}

// The block menu's "view the source" (172) on a block of library "Grund":
// kyt's shell opens the block file read-only in the text editor window.
void CommandsKyt::blockSource()
{
    GedPane* pane = frame()->getPane();
    BlockObject* block = nullptr;
    for (GraphicObject* object : pane->model().objects)
        if (object->kind() == 1 && !block)
            block = static_cast<BlockObject*>(object);
    check(block != nullptr, "the example has a block");
    if (!block)
        return;
    std::string path = theWorkspace->findLibraryBlockFile(block->libraryName.text()).text();
    path += "\\";
    path += block->typeName.text();
    for (char& c : path)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    std::string fileText = winecheck::readText(path);
    EditorSeen seen;
    HANDLE watcher = CreateThread(nullptr, 0, closeSourceEditor, &seen, 0, nullptr);
    pane->controller().contextBlock = block;
    PostMessageA(pane->hwnd, WM_COMMAND, 172, 0);
    winecheck::pump();
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    settle();
    check(seen.found, "172 opens the block's file in the text editor window");
    check(seen.title == path + " - schreibgesch\xfctzt",
          ("... titled with its path, read-only: " + seen.title + " (" + path + ")").c_str());
    // The edit control shows the file with CR LF line ends.
    std::string shown;
    for (char c : seen.text)
        if (c != '\r')
            shown += c;
    std::string stored;
    for (char c : fileText)
        if (c != '\r')
            stored += c;
    check(!stored.empty() && shown == stored, "... showing the file's text");
    check(!seen.window || !IsWindow(seen.window), "closing it ends the modal run");
}

BOOL CALLBACK countHelpWindows(HWND hwnd, LPARAM p)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char title[100] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && lstrcmpA(title, "KYT Hilfe") == 0) {
        std::vector<HWND>* found = reinterpret_cast<std::vector<HWND>*>(p);
        found->push_back(hwnd);
    }
    return TRUE;
}

std::vector<HWND> helpWindows()
{
    std::vector<HWND> found;
    EnumWindows(countHelpWindows, reinterpret_cast<LPARAM>(&found));
    return found;
}

// 18010 shows IDH_HELP_General in one help viewer; a second 18010 leaves
// one; a closed viewer is made anew by the next.
void CommandsKyt::help()
{
    theWorkspace->setHelpDir(KYT_APP_FIXTURES);
    command(18010);
    settle();
    std::vector<HWND> shown = helpWindows();
    check(shown.size() == 1 && theWorkspace->helpWindow != nullptr, "18010 opens one \"KYT Hilfe\" window");
    if (shown.size() == 1) {
        HWND edit = nullptr;
        EnumChildWindows(shown[0], findEdit, reinterpret_cast<LPARAM>(&edit));
        char text[200] = "";
        if (edit)
            GetWindowTextA(edit, text, sizeof text);
        check(text[0] != 0, ("... showing the general help: " + std::string(text).substr(0, 40)).c_str());
        winecheck::saveWindowPicture(shown[0], folder + "kyt-help.png");
    }
    command(18010);
    settle();
    check(helpWindows().size() == 1, "a second 18010 leaves one window");
    shown = helpWindows();
    if (!shown.empty())
        SendMessageA(shown[0], WM_CLOSE, 0, 0);
    settle();
    check(helpWindows().empty() && theWorkspace->helpWindow == nullptr, "closing it clears the workspace's slot");
    command(18010);
    settle();
    shown = helpWindows();
    check(shown.size() == 1 && theWorkspace->helpWindow != nullptr, "the next 18010 opens a new one");
    for (HWND w : shown)
        SendMessageA(w, WM_CLOSE, 0, 0);
    settle();

    // 4019: the About box titled 19111, closed with OK.
    DialogAnswer ok{"\xdc" "ber KYT ...", IDOK};
    HANDLE watcher = CreateThread(nullptr, 0, answerDialog, &ok, 0, nullptr);
    PostMessageA(frame()->hwnd, WM_COMMAND, 4019, 0);
    winecheck::pump();
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    settle();
    TitleSearch left = {"\xdc" "ber KYT ...", nullptr};
    EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&left));
    check(ok.found && !left.found, "4019 runs the About box titled \"\xdc" "ber KYT ...\", and OK closes it");
}

} // namespace

void appMain(Application* app)
{
    // The libraries kyt hands to the registry (FUZZY and IDENT with the engine's own).
    setModuleLibraryList(kRunTimeLibraries);
    winecheck::startWatchdog(240);
    std::string line = app->commandLine.text() ? app->commandLine.text() : "";
    size_t cut = line.find(' ');
    if (cut == std::string::npos) {
        printf("usage: kyt_commands_wine_test PNG-FOLDER INSTALLATION\n");
        app->exitCode = 2;
        return;
    }
    folder = dosPath(line.substr(0, cut));
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    install = dosPath(winecheck::trimmedArgument(line.substr(cut + 1).c_str()));
    setRegistryValue(install);
    SetCurrentDirectoryA((install + "\\examples").c_str());
    // The grids and recent files of the commands must not reach the other
    // tests of the installation: kyt.set goes back as it was.
    const std::string settings = install + "\\tmp\\kyt.set";
    const bool hadSettings = fileExists(settings);
    const std::string settingsBefore = winecheck::readText(settings);
    {
        CommandsKyt kyt(app);
        kyt.run();
    }
    if (hadSettings)
        winecheck::writeText(settings, settingsBefore);
    else
        DeleteFileA(settings.c_str());
    DeleteFileA((install + "\\examples\\kopie.kyt").c_str());
    app->exitCode = winecheck::summary();
}
