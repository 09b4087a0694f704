// kyt's main window: the menu 1102, the main tool bar at the top, a status
// bar of two fields at the bottom and the circuit editing pane in the rest.
// It exists once (edWin), from the start to the shutdown.
#ifndef KYT_APP_MAINFRAME_H
#define KYT_APP_MAINFRAME_H

#include "CloseDecision.h"
#include "FileNameChooser.h"
#include "Frame.h"
#include "GedPane.h"
#include "MainCommandTable.h"
#include "String.h"
#include "ToolBar.h"
#include "strings/AppStrings.h"
#include "strings/PlotStrings.h"
#include "strings/SimulatorStrings.h"

class CommandStateSink;
class FrameMenuSink;
class FrameStatusBarCL;
class MainFrame;

// Resources and ids of the main window.
const int kMainMenu = 1102;
const int kMainAccelerators = 130;
const int kMainIcon = 118;
const int kMainToolBarHeight = 30;
// Status field 1, the state word, and field 2, the menu help.
const int kStateField = 1;
const int kMenuHelpField = 2;
// The menu help of command n is string kMenuHelpBase + n.
const int kMenuHelpBase = 30000;
const unsigned int kResStateEditing = kStrStateEditing;
const unsigned int kResStateLoading = kStrStateLoading;
const unsigned int kResStateSaving = kStrStateSaving;
const unsigned int kResStatePrinting = kStrStatePrinting;
const unsigned int kResUntitled = kStrUntitled;
const unsigned int kResGridTooSmall = kStrGridAtSmallest;
const unsigned int kResNothingToSave = kStrNoCircuitToSave;
const unsigned int kResReplaceFile = kStrReplaceFile;
const unsigned int kResAboutTitle = kStrAboutKyt;
// The signal-name dialog and the help section of 18010.
const int kSignalNameDialog = 132;
const char kGeneralHelpSection[] = "IDH_HELP_General";
// The main window's style: an overlapped window with every box.
const unsigned long kMainFrameStyle = 0xCF0000;

// Commands of the main window that the frame itself knows.
const int kCommandExit = 4017;
const int kCommandStop = 9031;
const int kCommandStart = 9008;
const int kCommandStartAtOnce = 140;
const int kCommandUndoDelete = 1118;
const int kToolCursorNormal = 122;
const int kToolCursorDelete = 121;
const int kToolCursorConnections = 1127;

// The one main frame; null before it is made and after it is gone.
extern MainFrame* edWin;

// The tool bar of the main window: 15 buttons in six groups, the three
// tools a radio group.
class MainToolBar : public ToolBarCL {
public:
    MainToolBar(WindowCL* parent, Geometry* geometry, DWORD style);
    ~MainToolBar() override;

private:
    RadioGroup* tools;
};

class MainFrame : public AppFrameCL, public ClipFileCommands, private DiscardQuestion {
public:
    // The parent is not used: the frame is a top-level window. kyt.ini is
    // read from iniDirectory, kyt.set from its TEMPDIR.
    MainFrame(void* parent, Geometry* geometry, DWORD style, const char* title, const char* iniDirectory);
    // The pane, the tool bar and the status bar, in this order.
    ~MainFrame() override;

    // The close query: 0 lets the frame close, 1 keeps it open.
    int canClose();
    LRESULT onClose(EventRecord* event) override;
    LRESULT onCommand(EventRecord* event) override;
    // WM_SETFOCUS, and WM_ACTIVATE when the frame becomes active: the pane
    // takes the keyboard focus.
    LRESULT onFocus(EventRecord* event) override;
    LRESULT onActivate(EventRecord* event) override;

    // 1 when the circuit may be (or was) dropped; replaced by an empty one
    // unless askOnly.
    int discardCircuit(int ask, int askOnly);
    // 1 when the file was opened and read into the pane.
    int loadCircuit(String name);
    // The run command (9008 with 0, 140 and "-r" with 1): 1 when a run was
    // started. stopRun: 9031, 1 when a run was told to stop.
    int runCircuit(int startAtOnce);
    int stopRun();
    // Cursor 122, tool 1267 and its button checked.
    void resetTool();
    void focusPane();

    // The editor's own clipboard through kytclip.tmp (2001, 2000, 2002);
    // the pane's Ctrl+C, Ctrl+X and Ctrl+V come here too.
    void copyToClipFile() override;
    void cutToClipFile() override;
    void pasteFromClipFile() override;

    // Where the file commands get their names: the common dialogs unless
    // another chooser is installed (null puts them back). Returns the
    // chooser installed before.
    FileNameChooser* setFileNameChooser(FileNameChooser* chooser);

    GedPane* getPane() const { return pane; }
    MainToolBar* getToolBar() const { return toolBar; }
    FrameStatusBarCL* getStatusBar() const { return statusBar; }
    CircuitState circuitState() const;

private:
    // A command's work; id is the command as it came.
    typedef void (MainFrame::*CommandWork)(int id);
    static CommandWork workOf(MainCommandHandler handler);

    void newCircuit(int id);
    void openCircuit(int id);
    void saveCircuit(int id);
    void loadRecentFile(int id);
    void insertCircuit(int id);
    void printCircuit(int id);
    void exitProgram(int id);
    void changeTool(int id);
    void popUpInsertMenu(int id);
    void editSignalNames(int id);
    void undoDelete(int id);
    void cutCommand(int id);
    void copyCommand(int id);
    void pasteCommand(int id);
    void deleteMarked(int id);
    void duplicate(int id);
    void saveFragment(int id);
    void copyPicture(int id);
    void standardSize(int id);
    void zoomInCommand(int id);
    void zoomOutCommand(int id);
    void zoomStandard(int id);
    void defineStandardGrid(int id);
    void resetStandardGrid(int id);
    void switchDisplay(int id);
    void startRun(int id);
    void stopCommand(int id);
    void plotToFront(int id);
    void showHelp(int id);
    void showAbout(int id);

    bool confirm(const std::string& text, const std::string& caption) override;
    // The editing pane, at the start and for every circuit that replaces
    // one: made in the rest between tool bar and status bar, set up from
    // kyt.ini of the installation (its directories, the companions' working
    // directory) and given the workspace's grid; shown. At the start kyt.set
    // is read too (its place, TEMPDIR, comes from kyt.ini).
    void createPane(bool atStart);
    void grayUndo();
    void setState(unsigned int text);
    // The file dialog of a file command; false when cancelled.
    bool chooseFileName(int command, const std::string& initialName, std::string& chosen);
    // 19010 for an existing file; true on Yes.
    bool replaceAllowed(const std::string& name);

    FrameStatusBarCL* statusBar;
    MainToolBar* toolBar;
    GedPane* pane;
    // The directory of kyt.ini, which every new pane reads.
    String installDirectory;
    // The workspace's views of the menu and the tool bar.
    FrameMenuSink* menuSink;
    CommandStateSink* toolBarStates;
    FileNameChooser* commonChooser;
    FileNameChooser* chooser;
};

#endif
