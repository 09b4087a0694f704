// Under wine, in this process: the main window's commands on the loaded
// example, sent as WM_COMMAND to the frame. The tools, the grid commands,
// the plot-window command without a plot window, the file commands through
// a stand-in chooser, and the real open dialog of comdlg32, which the test
// finds among its own windows and cancels.
//
//   kyt_commands_wine_test PNG-FOLDER INSTALLATION
#include "Application.h"
#include "GedPane.h"
#include "KytProgram.h"
#include "MainFrame.h"
#include "ResString.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "UnitPoint.h"
#include "WineCheck.h"
#include "Workspace.h"

#include <windows.h>

#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

const char kRegistryKey[] = "Software\\Zelvoran\\KYT 2.52";
const char kRegistryValue[] = "KYT.INI Path";
// The controls of the common file dialogs: the file-type list and the name.
const int kFileTypeCombo = 0x470;
const int kFileNameCombo = 0x47c;

std::string folder;  // where the pictures go
std::string install; // the installation, DOS form

std::string dosPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void setRegistryValue(const std::string& directory)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, kRegistryValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(directory.c_str()),
                   static_cast<DWORD>(directory.size() + 1));
    RegCloseKey(key);
}

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
    void unknownCommands();
    void fileDialogs();
    void realOpenDialog();
};

void CommandsKyt::scenarios()
{
    deleteTool();
    zoomOut();
    standardGrids();
    plotToFront();
    unknownCommands();
    fileDialogs();
    realOpenDialog();
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

} // namespace

void appMain(Application* app)
{
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
