// The circuit editing pane of the main window: a framework pane that owns
// the circuit model, shows it over a 2000 x 2000 document and prints it.
// Keys, mouse and commands come with their own classes.
#ifndef KYT_EDITOR_GEDPANE_H
#define KYT_EDITOR_GEDPANE_H

#include "CircuitModel.h"
#include "DcCanvas.h"
#include "LocalLibrary.h"
#include "Pane.h"
#include "PaneController.h"

class BlockContextMenu;
class CompanionThreadStarter;
class PaneCommands;
class PaneDialogs;
class IconStore;
class InsertPopupMenu;
class StatusBarCL;

// The frame's clipboard-file commands, which the pane's Ctrl+C, Ctrl+X
// and Ctrl+V reach.
class ClipFileCommands {
public:
    virtual ~ClipFileCommands() {}
    virtual void copyToClipFile() = 0;
    virtual void cutToClipFile() = 0;
    virtual void pasteFromClipFile() = 0;
};

// The wait cursor of the system, as setCursorShape takes it.
const int kWaitCursor = 0xF001;
class SignalNameRegistry;

// The pane's background.
const Color kPaneBackground(255, 255, 232);
// The document the scroll bars cover.
const int kDocumentExtent = 2000;
// The design cursor of editor/'s resources.
const int kDesignCursor = 122;

class GedPane : public PaneWindowCL, public PaneView {
public:
    GedPane(WindowCL* parent, Geometry* geometry, DWORD style);
    ~GedPane() override;

    // kyt.ini of the installation directory into the workspace (a fatal
    // error when it cannot be opened).
    void readIniSetup(const char* installDirectory);

    int getExtent(Point& size) override;
    LRESULT paint(DeviceContext& dc) override;
    // The print command: set-up dialog, then a print job with the abort
    // dialog 21001; 1 when a job was started.
    int print();
    int printTo(DeviceContext* printer, int flag) override;

    // PaneView.
    Canvas& canvas() override { return *drawing; }
    Point scrollOffset() const override { return Point(0, 0); }
    void notePainted() override {}
    void invalidateRect(const Rect& pixels, int erase) override;
    void beep() override;
    void invalidateAll() override;
    void paintNow(GraphicObject& object, int zoomX, int zoomY) override;
    void showWaitCursor() override;
    void restoreCursor() override;

    // The circuit text of the pane's circuit, and reading one into it.
    void writeCircuit(FILE* stream, int forCompiler, int markedOnly)
    {
        circuit.writeCircuit(stream, forCompiler, markedOnly);
    }
    void readCircuit(CircuitReader& reader) { circuit.readCircuit(reader); }
    void xorLine(const Point& a, const Point& b) override;
    void xorBand(const Rect& r) override;
    void xorOutline(const Rect& r) override;
    // An id below 4096 is a cursor of the program; kWaitCursor the system's.
    void setCursorShape(int id) override;
    void setStatusHint(unsigned int id) override;
    void captureMouse(int on) override;
    int askYesNo(unsigned int text, unsigned int caption) override;
    void showInsertMenu(const Point& client) override;
    void showBlockMenu(const Point& client, BlockObject& block) override;
    // The text-block and frame-block dialogs of a right press; applied
    // when accepted.
    int editTextBlock(BlockObject& block) override;
    int editFrameBlock(BlockObject& block) override;
    // The visible part of the pane as a bitmap on the clipboard; 1.
    int copyToClipboard();
    // The insert menu last shown, kept until the next one for the command
    // its choice sends; null before the first.
    InsertPopupMenu* lastInsertMenu() const { return insertMenu; }
    BlockContextMenu* lastBlockMenu() const { return blockMenu; }
    // The block of the last block menu (the pane's current block).
    BlockObject* menuBlock() const { return control.contextBlock; }
    void copyToClipFile() override;
    void cutToClipFile() override;
    void pasteFromClipFile() override;

    // The commands of the block menu, the insert menu and its library
    // items; 0 leaves any other command to the frame.
    LRESULT onCommand(EventRecord* event) override;
    PaneCommands& commands() { return *paneCommands; }

    // The mouse and the keys.
    LRESULT onMouseMove(EventRecord* event) override;
    LRESULT onButtonUp(EventRecord* event) override;
    LRESULT onButtonDown(EventRecord* event) override;
    LRESULT onChar(EventRecord* event) override;
    LRESULT onKeyDown(EventRecord* event);
    LRESULT onKeyUp(EventRecord* event);
    LRESULT defaultEvent(EventRecord* event) override;

    // The main window's status bar (its field 2 shows the hints) and the
    // frame's clipboard-file commands; both may be null.
    void setStatusBar(StatusBarCL* bar) { statusBar = bar; }
    void setStatusField(int field, const char* text);
    void setClipFileCommands(ClipFileCommands* commands) { clipCommands = commands; }
    void setTool(int command) { control.setTool(command); }
    int getTool() const { return control.getTool(); }
    int cursorId() const { return currentCursor; }

    CircuitModel& model() { return circuit; }
    PaneController& controller() { return control; }

private:
    int mouse(EventRecord* event, int kind);
    void xorShape(const Rect& r, int line, int penStyle);

    CircuitModel circuit;
    HCURSOR previousCursor = nullptr;
    PaneController control;
    StatusBarCL* statusBar;
    ClipFileCommands* clipCommands;
    int currentCursor;
    DcCanvas* drawing;
    IconStore* ownIcons;
    SignalNameRegistry* ownRegistry;
    InsertPopupMenu* insertMenu = nullptr;
    PaneDialogs* dialogs = nullptr;
    CompanionThreadStarter* starter = nullptr;
    PaneCommands* paneCommands = nullptr;
    BlockContextMenu* blockMenu = nullptr;
};

// The instance lock of the programs: kyt.lock opened with share mode 0.
class WindowsLockFileSystem : public LockFileSystem {
public:
    intptr_t open(const char* path) override;
    void close(intptr_t handle) override;
};

#endif
