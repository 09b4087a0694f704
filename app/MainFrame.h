// kyt's main window: the menu 1102, the main tool bar at the top, a status
// bar of two fields at the bottom and the circuit editing pane in the rest.
// It exists once (edWin), from the start to the shutdown.
#ifndef KYT_APP_MAINFRAME_H
#define KYT_APP_MAINFRAME_H

#include "CloseDecision.h"
#include "Frame.h"
#include "String.h"
#include "ToolBar.h"

class CommandStateSink;
class FrameMenuSink;
class FrameStatusBarCL;
class GedPane;
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
const unsigned int kResStateEditing = 19900;
const unsigned int kResUntitled = 19107;
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

class MainFrame : public AppFrameCL, private DiscardQuestion {
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

    GedPane* getPane() const { return pane; }
    MainToolBar* getToolBar() const { return toolBar; }
    FrameStatusBarCL* getStatusBar() const { return statusBar; }
    CircuitState circuitState() const;

private:
    bool confirm(const std::string& text, const std::string& caption) override;
    void createPane();
    void grayUndo();

    FrameStatusBarCL* statusBar;
    MainToolBar* toolBar;
    GedPane* pane;
    // The workspace's views of the menu and the tool bar.
    FrameMenuSink* menuSink;
    CommandStateSink* toolBarStates;
};

#endif
