#include "MainFrame.h"

#include "Application.h"
#include "CircuitReader.h"
#include "DeferredMessages.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "GedPane.h"
#include "Layout.h"
#include "LocalLibrary.h"
#include "Menu.h"
#include "ResString.h"
#include "StatusBar.h"
#include "TextHelpers.h"
#include "Workspace.h"
#include "WorkspaceWin.h"

#include <windows.h>

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
      menuSink(nullptr), toolBarStates(nullptr)
{
    edWin = this;

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

    createPane();
    if (!pane)
        assertionFailed("ep");
    pane->readIniSetup(iniDirectory);
    if (theWorkspace) {
        theWorkspace->readSettingsFile();
        GridSize grid = theWorkspace->getGrid();
        pane->model().setZoom(grid.x, grid.y);
    }
    pane->show(SW_SHOW);

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
    if (edWin == this)
        edWin = nullptr;
}

void MainFrame::createPane()
{
    pane = new GedPane(this, new FillLayout, WS_CHILD | WS_VISIBLE);
    if (pane)
        pane->setStatusBar(statusBar);
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
    switch (id) {
    case kCommandExit: {
        const CircuitState state = circuitState();
        if (!state.empty && !state.unchanged) {
            const char* name = theWorkspace ? theWorkspace->circuitName.text() : "";
            if (!decideDiscard(1, 1, name, *this).result)
                return 1;
        }
        if (theApplication)
            theApplication->quit();
        return 1;
    }
    case kCommandStart:
        runCircuit(0);
        return 1;
    case kCommandStartAtOnce:
        runCircuit(1);
        return 1;
    case kCommandStop:
        stopRun();
        return 1;
    default:
        return 0;
    }
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
        createPane();
        if (!pane)
            assertionFailed("ep != NULL");
        if (theWorkspace) {
            GridSize grid = theWorkspace->getGrid();
            pane->model().setZoom(grid.x, grid.y);
        }
        pane->show(SW_SHOW);
        if (theWorkspace)
            theWorkspace->updateMainTitle(getResString(kResUntitled));
        if (geometry)
            geometry->layout(nullptr);
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
        if (decision.replace)
            discardCircuit(0, 0);
        const String file = setDefaultExtension(name.text(), "kyt");
        if (!reader.openFile(file.text())) {
            reportError(ERR_WARNING, getResString(kResFileNotOpened), file.text());
            grayUndo();
        } else {
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
