#include "MainFrame.h"

#include "AboutDialog.h"
#include "Application.h"
#include "BlockDialogs.h"
#include "CircuitReader.h"
#include "CommonFileChooser.h"
#include "DeferredMessages.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "GedPane.h"
#include "Layout.h"
#include "LocalLibrary.h"
#include "MainCircuitCommands.h"
#include "MainCommandRules.h"
#include "Menu.h"
#include "ResString.h"
#include "StatusBar.h"
#include "TextHelpers.h"
#include "UnitPoint.h"
#include "Workspace.h"
#include "WorkspaceWin.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

MainFrame* edWin = nullptr;

namespace {

const char kStateTemplate[] = "XXXXXXXXXXXX";
const int kButtonWidth = 27;
const int kButtonHeight = 25;
const int kLeadingGap = 4;
const int kGroupGap = 16;
// Two-state buttons that show their latched state.
const DWORD kToolButtonStyle = 0x230;
const int kFirstTool = 1267;
const int kLastTool = 1269;

// The tool bar, left to right: a button's command and bitmap, and the group
// it belongs to; a new group starts after a gap.
struct BarButton {
    int command;
    int bitmap;
    int group;
};
const BarButton kBarButtons[] = {
    {9003, 9003, 0}, {111, 111, 0},   {112, 112, 0},   {9001, 9001, 0}, {1267, 1267, 1},
    {1268, 1268, 1}, {1269, 1269, 1}, {4010, 9011, 2}, {9005, 9005, 3}, {9006, 9006, 3},
    {9007, 9007, 3}, {9008, 9008, 4}, {140, 140, 4},   {9031, 9031, 4}, {230, 136, 5},
};

[[noreturn]] void assertionFailed(const char* what)
{
    reportError(ERR_FATAL, "Assertion failed: %s", what);
    // reportError ends the program on a fatal report.
    ExitProcess(1);
}

// The workspace's view of the tool bar: enabling and disabling by command.
class ToolBarStates : public CommandStateSink {
public:
    explicit ToolBarStates(ToolBarCL* b) : bar(b) {}
    void enableCommand(int command, bool enabled) override { bar->enableButton(command, enabled ? 1 : 0); }

private:
    ToolBarCL* bar;
};

// The circuit reader's settings check the main menu's items.
void checkMainMenuItem(int command, int checked)
{
    if (edWin && edWin->getMenu())
        edWin->getMenu()->checkItem(static_cast<UINT>(command), checked);
}

} // namespace

MainToolBar::MainToolBar(WindowCL* parentWindow, Geometry* g, DWORD style)
    : ToolBarCL(parentWindow, g, style), tools(nullptr)
{
    setMargins(4, 1);
    int position = 1;
    addSpacer(position++, Point(kLeadingGap, 0));
    int group = 0;
    for (const BarButton& b : kBarButtons) {
        if (b.group != group) {
            addSpacer(position++, Point(kGroupGap, 0));
            group = b.group;
        }
        const bool tool = b.command >= kFirstTool && b.command <= kLastTool;
        BmpButtonCL* button = new BmpButtonCL(this, new BarItemLayout(position++, Point(kButtonWidth, kButtonHeight)),
                                              tool ? kToolButtonStyle : 0, "", b.command, nullptr);
        // A bitmap that does not load leaves a blank button that works.
        button->loadBitmap(ResourceId(b.bitmap));
        // One picture per button, as the plot frame's (whose print and
        // plot-window pictures these buttons share).
        if (BmpButtonItemCL* item = button->buttonItem())
            item->imageCount = 1;
    }
    tools = new RadioGroup(this, kFirstTool, kLastTool);
    enableButton(kCommandStop, 0);
    rebuildLayout();
    linkMenu();
}

MainToolBar::~MainToolBar()
{
    delete tools;
}

MainFrame::MainFrame(void* parentWindow, Geometry* g, DWORD frameStyle, const char* text, const char* iniDirectory)
    : AppFrameCL(parentWindow, g, frameStyle, text), statusBar(nullptr), toolBar(nullptr), pane(nullptr),
      installDirectory(iniDirectory ? iniDirectory : ""), menuSink(nullptr), toolBarStates(nullptr), commonChooser(nullptr), chooser(nullptr)
{
    edWin = this;
    commonChooser = new CommonFileChooser(this);
    chooser = commonChooser;

    new Menu(this, ResourceId(kMainMenu));
    if (!getMenu() || !getMenu()->handle())
        assertionFailed("appMenu");
    menuSink = new FrameMenuSink(this);
    if (theWorkspace) {
        theWorkspace->setMainMenu(menuSink);
        theWorkspace->updateMainTitle(text);
    }
    setMenuCheckHook(checkMainMenuItem);

    statusBar = new FrameStatusBarCL(this, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    if (!statusBar)
        assertionFailed("status");
    new StatusField(statusBar, PLACE_LEFT, kStateTemplate, kStateField, 0x401);
    new StatusField(statusBar, PLACE_REST, nullptr, kMenuHelpField, 0x401);
    statusBar->setMenuHelpField(kMenuHelpField, ResourceId(kMenuHelpBase));
    statusBar->setFieldText(kStateField, getResString(kResStateEditing));
    statusBar->show(SW_SHOW);

    toolBar = new MainToolBar(this, new EdgeLayout(PLACE_TOP, 0, kMainToolBarHeight), 0x001);
    if (!toolBar)
        assertionFailed("tbar");
    toolBarStates = new ToolBarStates(toolBar);
    if (theWorkspace)
        theWorkspace->setMainToolBar(toolBarStates);
    toolBar->show(SW_SHOW);

    createPane(true);

    setClassIcon(new Icon(ResourceId(kMainIcon)));
    if (theApplication)
        theApplication->loadAccelerators(ResourceId(kMainAccelerators));
}

MainFrame::~MainFrame()
{
    if (theWorkspace) {
        theWorkspace->setMainMenu(nullptr);
        theWorkspace->setMainToolBar(nullptr);
    }
    setMenuCheckHook(nullptr);
    delete pane;
    pane = nullptr;
    delete toolBar;
    toolBar = nullptr;
    delete statusBar;
    statusBar = nullptr;
    delete toolBarStates;
    toolBarStates = nullptr;
    delete menuSink;
    menuSink = nullptr;
    delete commonChooser;
    commonChooser = nullptr;
    chooser = nullptr;
    if (edWin == this)
        edWin = nullptr;
}

void MainFrame::createPane(bool atStart)
{
    pane = new GedPane(this, new FillLayout, WS_CHILD | WS_VISIBLE);
    if (!pane)
        assertionFailed(atStart ? "ep" : "ep != NULL");
    pane->setStatusBar(statusBar);
    pane->setClipFileCommands(this);
    pane->readIniSetup(installDirectory.text());
    if (theWorkspace) {
        if (atStart)
            theWorkspace->readSettingsFile();
        GridSize grid = theWorkspace->getGrid();
        pane->model().setZoom(grid.x, grid.y);
    }
    pane->show(SW_SHOW);
}

CircuitState MainFrame::circuitState() const
{
    CircuitState s;
    s.busy = theWorkspace && theWorkspace->busy;
    s.empty = !pane || pane->model().objects.empty();
    s.unchanged = !pane || pane->model().circuitSaved != 0;
    return s;
}

bool MainFrame::confirm(const std::string& text, const std::string& caption)
{
    return MessageBoxObject(this, text.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONQUESTION).answer == IDOK;
}

int MainFrame::canClose()
{
    const char* name = theWorkspace ? theWorkspace->circuitName.text() : "";
    return closeQuery(circuitState(), name, *this);
}

LRESULT MainFrame::onClose(EventRecord*)
{
    return canClose();
}

LRESULT MainFrame::onCommand(EventRecord* event)
{
    const int id = LOWORD(event->wParam);
    if (flushDeferredMessages(id))
        return 1;
    // The command table decides which work a command id gets; ids it does
    // not know are left to the framework.
    const MainCommandRow* row = findMainCommand(id);
    CommandWork work = row ? workOf(row->handler) : nullptr;
    if (!work)
        return 0;
    (this->*work)(id);
    return 1;
}

MainFrame::CommandWork MainFrame::workOf(MainCommandHandler handler)
{
    struct WorkRow {
        MainCommandHandler handler;
        CommandWork work;
    };
    static const WorkRow rows[] = {
        {MAIN_NEW_CIRCUIT, &MainFrame::newCircuit},
        {MAIN_OPEN, &MainFrame::openCircuit},
        {MAIN_SAVE, &MainFrame::saveCircuit},
        {MAIN_SAVE_AS, &MainFrame::saveCircuit},
        {MAIN_RECENT_FILE, &MainFrame::loadRecentFile},
        {MAIN_INSERT_CIRCUIT, &MainFrame::insertCircuit},
        {MAIN_PRINT, &MainFrame::printCircuit},
        {MAIN_EXIT, &MainFrame::exitProgram},
        {MAIN_TOOL, &MainFrame::changeTool},
        {MAIN_INSERT_MENU, &MainFrame::popUpInsertMenu},
        {MAIN_SIGNAL_NAMES, &MainFrame::editSignalNames},
        {MAIN_UNDO, &MainFrame::undoDelete},
        {MAIN_CUT, &MainFrame::cutCommand},
        {MAIN_COPY, &MainFrame::copyCommand},
        {MAIN_PASTE, &MainFrame::pasteCommand},
        {MAIN_DELETE, &MainFrame::deleteMarked},
        {MAIN_DUPLICATE, &MainFrame::duplicate},
        {MAIN_SAVE_FRAGMENT, &MainFrame::saveFragment},
        {MAIN_COPY_PICTURE, &MainFrame::copyPicture},
        {MAIN_STANDARD_SIZE, &MainFrame::standardSize},
        {MAIN_ZOOM_IN, &MainFrame::zoomInCommand},
        {MAIN_ZOOM_OUT, &MainFrame::zoomOutCommand},
        {MAIN_ZOOM_STANDARD, &MainFrame::zoomStandard},
        {MAIN_DEFINE_STANDARD, &MainFrame::defineStandardGrid},
        {MAIN_RESET_STANDARD, &MainFrame::resetStandardGrid},
        {MAIN_DISPLAY_SWITCH, &MainFrame::switchDisplay},
        {MAIN_START, &MainFrame::startRun},
        {MAIN_START_AT_ONCE, &MainFrame::startRun},
        {MAIN_STOP, &MainFrame::stopCommand},
        {MAIN_PLOT_TO_FRONT, &MainFrame::plotToFront},
        {MAIN_HELP, &MainFrame::showHelp},
        {MAIN_ABOUT, &MainFrame::showAbout},
    };
    for (const WorkRow& r : rows)
        if (r.handler == handler)
            return r.work;
    return nullptr;
}

// ---------------------------------------------------------------- helpers

namespace {

const char* circuitName()
{
    return theWorkspace ? theWorkspace->circuitName.text() : "";
}

void changeDirectory(const String& directory)
{
    if (directory.getLength())
        SetCurrentDirectoryA(directory.text());
}

bool fileExists(const std::string& name)
{
    FILE* f = openFile(name.c_str(), "r");
    if (!f)
        return false;
    fclose(f);
    return true;
}

std::string filePart(const char* path)
{
    String part;
    splitPath(path, nullptr, &part);
    return part.text();
}

void showPlainMessage(unsigned int text)
{
    reportError(ERR_MESSAGE, "%s", getResString(text));
}

} // namespace

FileNameChooser* MainFrame::setFileNameChooser(FileNameChooser* replacement)
{
    FileNameChooser* previous = chooser;
    chooser = replacement ? replacement : commonChooser;
    return previous;
}

bool MainFrame::chooseFileName(int command, const std::string& initialName, std::string& chosen)
{
    const FileDialogRow* dialog = fileDialogOf(command);
    if (!dialog || !chooser)
        return false;
    chosen.clear();
    return chooser->chooseFileName(*dialog, initialName, chosen);
}

bool MainFrame::replaceAllowed(const std::string& name)
{
    char text[kMaxResString + 600];
    snprintf(text, sizeof text, getResString(kResReplaceFile), name.c_str());
    return MessageBoxObject(this, text, getResString(kResWarning), MB_YESNO | MB_ICONQUESTION).answer == IDYES;
}

void MainFrame::setState(unsigned int text)
{
    if (statusBar)
        statusBar->setFieldText(kStateField, getResString(text));
}

// ---------------------------------------------------------------- file commands

void MainFrame::newCircuit(int)
{
    if (!pane->model().objects.empty()) {
        const int changed = pane->model().circuitSaved ? 0 : 1;
        if (discardCircuit(changed, 0))
            grayUndo();
    }
    resetTool();
}

void MainFrame::openCircuit(int id)
{
    if (theWorkspace)
        changeDirectory(theWorkspace->CIRCUITDIR);
    std::string chosen;
    if (chooseFileName(id, "", chosen)) {
        setState(kResStateLoading);
        loadCircuit(String(chosen.c_str()));
        setState(kResStateEditing);
    }
    focusPane();
}

void MainFrame::saveCircuit(int id)
{
    CircuitModel& model = pane->model();
    const std::string current = circuitName();
    const bool named = current != getResString(kResUntitled);
    const SaveRoute route = saveRoute(id, model.objects.empty(), named);
    if (route == SAVE_NOTHING || !theWorkspace) {
        showPlainMessage(kResNothingToSave);
        return;
    }
    changeDirectory(theWorkspace->CIRCUITDIR);
    std::string name = current;
    if (route == SAVE_ASK_NAME) {
        std::string chosen;
        if (!chooseFileName(id, filePart(current.c_str()), chosen)) {
            focusPane();
            return;
        }
        name = withCommandExtension(id, chosen);
        if (asksBeforeReplacing(id, name, current, fileExists(name)) && !replaceAllowed(name)) {
            focusPane();
            return;
        }
    }
    // A file that could not be written whole keeps the old one and the
    // pane's changed state; saveWholeCircuit reports it.
    setState(kResStateSaving);
    saveWholeCircuit(model, *theWorkspace, name.c_str());
    setState(kResStateEditing);
    focusPane();
}

void MainFrame::loadRecentFile(int id)
{
    const String name = theWorkspace ? theWorkspace->recentFileByCommand(id) : String();
    if (!name.getLength())
        return;
    setState(kResStateLoading);
    loadCircuit(name);
    setState(kResStateEditing);
    focusPane();
}

void MainFrame::insertCircuit(int id)
{
    if (theWorkspace)
        changeDirectory(theWorkspace->CIRCUITDIR);
    std::string chosen;
    const bool picked = chooseFileName(id, "", chosen);
    pane->model().unmarkAll();
    if (picked) {
        CircuitReader reader(1);
        const String file = setDefaultExtension(chosen.c_str(), "kyt");
        if (reader.openFile(file.text())) {
            pane->showWaitCursor();
            pane->readCircuit(reader);
            reader.closeFile();
            pane->invalidateAll();
            pane->restoreCursor();
        } else {
            reportError(ERR_WARNING, getResString(kResFileNotOpened), file.text());
        }
    }
    resetTool();
}

void MainFrame::printCircuit(int)
{
    setState(kResStatePrinting);
    pane->print();
    setState(kResStateEditing);
}

void MainFrame::exitProgram(int)
{
    const CircuitState state = circuitState();
    if (!state.empty && !state.unchanged) {
        if (!decideDiscard(1, 1, circuitName(), *this).result)
            return;
    }
    if (theApplication)
        theApplication->quit();
}

void MainFrame::saveFragment(int id)
{
    CircuitModel& model = pane->model();
    if (model.objects.empty() || !theWorkspace) {
        showPlainMessage(kResNothingToSave);
        return;
    }
    changeDirectory(theWorkspace->FRAGDIR);
    std::string chosen;
    if (chooseFileName(id, proposeFragmentName(filePart(circuitName())), chosen)) {
        const std::string name = withCommandExtension(id, chosen);
        if (!asksBeforeReplacing(id, name, circuitName(), fileExists(name)) || replaceAllowed(name)) {
            setState(kResStateSaving);
            saveMarkedObjects(model, name.c_str());
            setState(kResStateEditing);
        }
    }
    focusPane();
}

// ---------------------------------------------------------------- editing

void MainFrame::changeTool(int id)
{
    pane->model().unmarkAll();
    pane->setCursorShape(toolCursor(id));
    toolBar->checkButton(pane->getTool(), 0);
    pane->setTool(id);
    toolBar->checkButton(id, 1);
    focusPane();
}

void MainFrame::popUpInsertMenu(int)
{
    pane->showInsertMenu(Point(10, 10));
}

void MainFrame::editSignalNames(int)
{
    // The dialog may rename signals that deleted objects still use: what
    // was deleted can no longer come back.
    pane->model().clearUndo();
    grayUndo();
    delete new SignalNameDialog(this, kSignalNameDialog);
    pane->invalidateAll();
    pane->model().circuitSaved = 0;
    focusPane();
    pane->controller().ctrlDown = 0;
}

void MainFrame::undoDelete(int)
{
    CircuitModel& model = pane->model();
    if (!undoDeletion(model))
        return;
    if (model.undoList.empty())
        grayUndo();
    pane->invalidateAll();
}

void MainFrame::cutCommand(int)
{
    cutToClipFile();
}

void MainFrame::copyCommand(int)
{
    copyToClipFile();
}

void MainFrame::pasteCommand(int)
{
    pasteFromClipFile();
}

void MainFrame::copyToClipFile()
{
    ::copyToClipFile(pane->model());
}

void MainFrame::cutToClipFile()
{
    if (::cutToClipFile(pane->model()))
        pane->invalidateAll();
}

void MainFrame::pasteFromClipFile()
{
    pane->showWaitCursor();
    if (::pasteFromClipFile(pane->model()))
        pane->invalidateAll();
    pane->restoreCursor();
    resetTool();
}

void MainFrame::deleteMarked(int)
{
    pane->model().deleteMarked();
    pane->invalidateAll();
}

void MainFrame::duplicate(int)
{
    pane->showWaitCursor();
    duplicateMarked(pane->model());
    pane->restoreCursor();
    pane->invalidateAll();
    resetTool();
}

void MainFrame::copyPicture(int)
{
    pane->copyToClipboard();
}

void MainFrame::standardSize(int)
{
    pane->model().standardSizeMarked();
    pane->invalidateAll();
}

// ---------------------------------------------------------------- grid and display

void MainFrame::zoomInCommand(int)
{
    const Point grid = pane->model().getZoom();
    const GridStep step = zoomIn(grid.x(), grid.y());
    pane->model().setZoom(step.width, step.height);
    focusPane();
}

void MainFrame::zoomOutCommand(int)
{
    const Point grid = pane->model().getZoom();
    const GridStep step = zoomOut(grid.x(), grid.y());
    if (step.refused)
        showPlainMessage(kResGridTooSmall);
    else
        pane->model().setZoom(step.width, step.height);
    focusPane();
}

void MainFrame::zoomStandard(int)
{
    if (theWorkspace) {
        const GridSize standard = theWorkspace->getGrid();
        pane->model().setZoom(standard.x, standard.y);
    }
    focusPane();
}

void MainFrame::defineStandardGrid(int)
{
    if (theWorkspace) {
        const Point grid = pane->model().getZoom();
        theWorkspace->setGrid(GridSize{grid.x(), grid.y()});
        const GridSize standard = theWorkspace->getGrid();
        pane->model().setZoom(standard.x, standard.y);
    }
    focusPane();
}

void MainFrame::resetStandardGrid(int)
{
    if (theWorkspace) {
        // 4 mm on the screen, as a new pane has it.
        const Point pixels = TenthMillimetreSize(40, 40).pixels();
        theWorkspace->setGrid(GridSize{pixels.x() < 1 ? 1 : pixels.x(), pixels.y() < 1 ? 1 : pixels.y()});
        const GridSize standard = theWorkspace->getGrid();
        pane->model().setZoom(standard.x, standard.y);
    }
    focusPane();
}

void MainFrame::switchDisplay(int id)
{
    if (!theWorkspace)
        return;
    DisplayFlags flags{theWorkspace->gridInactive, theWorkspace->showInputSignalNames,
                       theWorkspace->hideConnectionLines};
    flags = toggleDisplay(id, flags);
    theWorkspace->gridInactive = flags.gridOff;
    theWorkspace->showInputSignalNames = flags.showSignalNames;
    theWorkspace->hideConnectionLines = flags.hideLines;
    static const int switches[] = {4009, 4011, 4012};
    if (Menu* m = getMenu())
        for (int command : switches)
            m->checkItem(static_cast<UINT>(command), displayChecked(command, flags) ? 1 : 0);
    pane->invalidateAll();
}

// ---------------------------------------------------------------- runs, windows, help

void MainFrame::startRun(int id)
{
    runCircuit(id == kCommandStartAtOnce ? 1 : 0);
}

void MainFrame::stopCommand(int)
{
    stopRun();
}

void MainFrame::plotToFront(int id)
{
    if (theWorkspace)
        theWorkspace->bringPlotToFront(id);
}

void MainFrame::showHelp(int)
{
    if (theWorkspace)
        theWorkspace->showHelpSection(kGeneralHelpSection);
}

void MainFrame::showAbout(int)
{
    delete new AboutDialog(this, getResString(kResAboutTitle));
}

void MainFrame::focusPane()
{
    if (pane && pane->isWindow())
        SetFocus(pane->hwnd);
}

LRESULT MainFrame::onFocus(EventRecord* event)
{
    if (event->message != WM_SETFOCUS)
        return 0;
    focusPane();
    return 1;
}

LRESULT MainFrame::onActivate(EventRecord* event)
{
    if (LOWORD(event->wParam) == WA_INACTIVE)
        return 0;
    focusPane();
    return 1;
}

int MainFrame::discardCircuit(int ask, int askOnly)
{
    const char* name = theWorkspace ? theWorkspace->circuitName.text() : "";
    const DiscardDecision decision = decideDiscard(ask, askOnly, name, *this);
    if (decision.replace) {
        // The blocks of library "Local" belong to the circuit that goes.
        LocalBlockLibrary().reset();
        delete pane;
        pane = nullptr;
        createPane(false);
        if (theWorkspace)
            theWorkspace->updateMainTitle(getResString(kResUntitled));
    }
    return decision.result;
}

void MainFrame::grayUndo()
{
    if (Menu* m = getMenu())
        m->grayItem(kCommandUndoDelete, 1);
}

void MainFrame::resetTool()
{
    if (!pane)
        return;
    pane->setCursorShape(kToolCursorNormal);
    pane->setTool(kFirstTool);
    toolBar->checkButton(kFirstTool, 1);
}

int MainFrame::loadCircuit(String name)
{
    CircuitReader reader(0);
    int result = 0;
    const char* current = theWorkspace ? theWorkspace->circuitName.text() : "";
    DiscardDecision decision{};
    if (decideLoadDiscard(circuitState(), current, *this, decision)) {
        // The file is opened first: a circuit that cannot be opened (or
        // converted) leaves the one on screen as it is.
        const String file = setDefaultExtension(name.text(), "kyt");
        if (!reader.openFile(file.text())) {
            reportError(ERR_WARNING, getResString(kResFileNotOpened), file.text());
            grayUndo();
        } else {
            if (decision.replace)
                discardCircuit(0, 0);
            pane->showWaitCursor();
            if (theWorkspace) {
                GridSize grid = theWorkspace->getGrid();
                pane->model().setZoom(grid.x, grid.y);
            }
            LocalBlockLibrary().reset();
            pane->readCircuit(reader);
            reader.closeFile();
            pane->invalidateAll();
            pane->restoreCursor();

            String directory, part;
            splitPath(file.text(), &directory, &part);
            pane->model().circuitSaved = 1;
            if (theWorkspace) {
                theWorkspace->setCircuitDir(directory);
                theWorkspace->updateMainTitle(file.text());
                theWorkspace->addRecentFile(file.text());
            }
            grayUndo();
            result = 1;
        }
    }
    resetTool();
    return result;
}
