// The main program's single object of workspace state: the display options
// of the editor, the six directories of the installation, the current
// circuit's name and its simulation and plot settings, the command-line
// requests, the grid and the recent files of kyt.set, the nine plot-window
// slots, the busy state, the help window, the menus it keeps in step and the
// block-library catalogue. Windows are reached through the interfaces of
// WorkspaceUi.h only.
#ifndef KYT_WORKSPACE_WORKSPACE_H
#define KYT_WORKSPACE_WORKSPACE_H

#include "ADArray.h"
#include "LibraryRecords.h"
#include "PlotServices.h"
#include "SimParams.h"
#include "String.h"
#include "WorkspaceUi.h"

#include <cstdio>

struct GridSize {
    int x;
    int y;
};

const int kRecentFileCount = 5;
const int kPlotSlotCount = 9;

// The grid before kyt.set is read and wherever it names none: 40 x 40,
// stored odd.
const int kDefaultGrid = 40;
// Grid values outside 1..kMaxGrid count as missing.
const int kMaxGrid = 255;

// Commands of the File and Window menus.
const int kCommandWindowToFront = 230;
const int kCommandFirstPlotSlot = 201;

class Workspace {
public:
    Workspace();
    // Deletes the plot frames still in the slots (each once); not the menus,
    // the tool bar, the clipboard object nor the help window.
    ~Workspace();

    void setCircuitDir(String dir);
    void setIconDir(String dir);
    void setTempDir(String dir);
    void setFragDir(String dir);
    void setBinDir(String dir);
    void setHelpDir(String dir);

    // The directory of the first library whose name equals name byte for
    // byte; empty text when there is none.
    String findLibraryBlockFile(const char* name);

    // Fills the groups of library i of libs from an open ablocks.bfl.
    void readSectionedFile(FILE* stream, int i, ADArray<BlockLibrary>& libs);

    // Read directly by their users.
    String CIRCUITDIR;
    String ICONDIR;
    String TEMPDIR;
    String FRAGDIR;
    String BINDIR;
    String HELPDIR;

    // Simulation settings: every field to its default, the result file name
    // alone to "nul" (the circuit reader at ENDCIRCUIT), a copy out, a copy
    // in (FNAME: at most 79 characters and the terminator, whatever stands
    // in the record).
    void resetSimParams();
    void resetResultFileName();
    void getSimParams(SimParams& params) const;
    void setSimParams(SimParams params);

    void resetPlotParams();
    void getPlotParams(PlotParams& params) const;
    void setPlotParams(int autoX, int autoY, double xscale, double yscale, double xoff, double yoff);

    // The editor grid; setGrid stores each value odd, n / 2 * 2 + 1.
    GridSize getGrid() const;
    void setGrid(GridSize size);

    // kyt.set in TEMPDIR: the grid (41 x 41 unless a GRID line with two
    // values in 1..255 says otherwise) and the recent files; then the File
    // and Window menus are built.
    void readSettingsFile();
    // Replaces kyt.set whole, or leaves it as it was; reports nothing.
    // False when it was not written.
    bool writeSettingsFile();
    // Where kyt.set lies: in TEMPDIR.
    String settingsFilePath() const;

    // name becomes the first recent file, the others follow without a copy
    // of it; the File menu is rebuilt.
    void addRecentFile(const char* name);
    // The recent file of a File-menu command, or empty text.
    String recentFileByCommand(int command) const;

    void rebuildFileMenu();
    void rebuildWindowMenu();

    // The busy state. A wizard (wizard flag 1, force flag 1) and a run (both
    // 0) are kept apart, so that one that ends while the other goes on does
    // not unlock what the other needs locked.
    void setSimulationRunningUi(int wizard);
    void setSimulationStoppedUi(int force);
    // Whether the busy state leaves a main-menu or tool-bar command enabled
    // (true for a command that it does not touch).
    bool isCommandEnabled(int command) const;
    // Pushes the state to the main menu, the tool bar and the active plot
    // frame.
    void applyBusyState();
    bool simulationRunning() const { return runActive; }
    bool wizardRunning() const { return wizardActive != 0; }

    // name (when given) becomes the circuit name; the main title is set.
    // Returns the circuit name.
    String updateMainTitle(const char* name = nullptr);
    // "KYT 2.52 - " and the circuit name, in brackets with " - in Wizard"
    // while a wizard runs.
    String mainTitle() const;

    // The plot-window slots. openPlotWindow: 0 when there is an active plot
    // frame (a run reuses it) or a new one was made, 1 when the user kept
    // all nine or the frame could not be made.
    int openPlotWindow(WindowCL* owner);
    void freezePlotWindow(PlotWindow* frame);
    void forgetPlotWindow(PlotWindow* frame);
    // Window-menu commands 230 and 201 to 209; 1 when a frame was raised.
    int bringPlotToFront(int command);
    // The slot (1 to 9) of a frame, 0 when none holds it.
    int slotOf(const PlotWindow* frame) const;

    // The section of kythelp.txt for marker in a new help viewer, which
    // replaces the previous one; an empty section changes nothing.
    void showHelpSection(const char* marker);

    // The windows' side, installed by the program (and by tests). The main
    // frame sets mainMenu when it is built and clears it when it goes; no
    // menu is touched while it is null.
    void setMainMenu(MenuSink* menu) { mainMenu = menu; }
    void setMainToolBar(CommandStateSink* toolBar) { mainToolBar = toolBar; }
    void setPlotWindowFactory(PlotWindowFactory* factory) { plotFactory = factory; }
    void setQuestionCallback(QuestionCallback callback) { askQuestion = callback; }
    void setHelpViewerFactory(HelpViewerFactory* factory) { helpFactory = factory; }

    // Display options of the editor (menu items 4009, 4011, 4012).
    int gridInactive;
    int showInputSignalNames;
    int hideConnectionLines;

    String circuitName;
    int printing;
    SimParams simParams;
    String commandLineCircuit;
    int runAfterLoad;
    int printAfterLoad;
    PlotParams plotParams;
    int gridWidth;
    int gridHeight;
    String recentFiles[kRecentFileCount];
    int recentFileCommands[kRecentFileCount];
    PlotWindow* plotWindows[kPlotSlotCount];
    int plotWindowCommands[kPlotSlotCount];
    void* clipboard;
    // A run or a wizard goes on.
    int busy;
    // A wizard goes on.
    int wizardActive;
    HelpViewer* helpWindow;
    MenuSink* mainMenu;
    CommandStateSink* mainToolBar;

    // The block-library catalogue; users go by libraryCount.
    ADArray<BlockLibrary> libraries;
    int libraryCount;

private:
    void applyCommandStates(CommandStateSink* sink, bool toolBar) const;
    String slotTitle(int slot, unsigned int stateText) const;

    bool runActive;
    PlotWindowFactory* plotFactory;
    QuestionCallback askQuestion;
    HelpViewerFactory* helpFactory;

    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
};

// The one workspace of the program, null before the main function makes it.
extern Workspace* theWorkspace;

// The active plot frame: the one the running or next simulation feeds; null
// when there is none or it was frozen.
extern PlotWindow* plotOszi;

// Makes w the program's workspace: theWorkspace, and the temporary directory
// that the message log and the file viewer use. Null removes it.
void setWorkspace(Workspace* w);

// The installation file in an installation directory: the directory, a
// backslash unless it already ends with a separator, and "kyt.ini".
String installationFilePath(const char* installDir);

// Start-up reading of kyt.ini at iniPath: the catalogue is replaced by the
// libraries read, the six directories are set, with the defaults for those
// the file leaves empty (TEMPDIR and FRAGDIR: CIRCUITDIR; HELPDIR and BINDIR:
// the directory of kyt.ini). A file that cannot be opened is a fatal error.
void readInstallationFile(Workspace& w, const char* iniPath);

#endif
