// The circuit the editing pane holds, without the window: its blocks and
// connections in creation order, the grid, the tool, the connection being
// made, and the operations the pane's mouse, keys, commands, the circuit
// reader and the run command call. Painting goes through a PaneView.
#ifndef KYT_CIRCUITFILES_CIRCUITMODEL_H
#define KYT_CIRCUITFILES_CIRCUITMODEL_H

#include "BlockObject.h"
#include "ConnectionObject.h"
#include "GraphicObject.h"
#include "strings/CircuitStrings.h"
#include "strings/WorkspaceStrings.h"

#include <cstdio>
#include <cstddef>
#include <list>
#include <string>
#include <vector>

class CircuitReader;

// A marked output, state, derivative, variable or parameter: its name in the
// compiled program ("Block_y", "dBlock_x") and the label a plot shows.
struct MarkedSymbol {
    std::string name;
    std::string label;
};

// The time the header of written circuit text shows; the local time unless
// a clock is installed (tests fix one).
// (Its own record, not struct tm: <ctime> must not come before windows.h in
// the Winelib build.)
struct ClockTime {
    int year;      // e.g. 1970
    int month;     // 1 to 12
    int day;       // 1 to 31
    int weekday;   // 0 Sunday to 6 Saturday
    int hour;
    int minute;
    int second;
};
class Clock {
public:
    virtual ~Clock() {}
    virtual ClockTime now() const = 0;
};
// Installs a clock; null returns to the local time. Returns the previous one.
Clock* setCircuitClock(Clock* clock);
// The header's date: "Thu Jan 01 00:00:00 1970".
String formatCircuitDate(const ClockTime& when);

// Tools of the editor.
const int kToolEdit = 1267;
const int kToolDelete = 1268;
const int kToolConnections = 1269;

const unsigned int kResNoLocalBlock = kStrNoLocalBlockMade;
const unsigned int kResWarning = kStrWarning;
const unsigned int kResDeleteMarkedBlocks = kStrDeleteMarkedBlocks;
const unsigned int kResLocalBlockNotRemoved = kStrInternalLocalBlockNotDeleted;
// The undo command and how many deleted objects it keeps.
const int kUndoCommand = 1118;
const size_t kUndoLimit = 50;
// The document the pane shows, in pixels.
const int kDocumentSize = 2000;

// checkRunnable's findings and their texts.
enum class RunFinding { Runnable, NoControlBlock, NoCircuit, NoMarkedSignal };
const unsigned int kResNoControlBlock = kStrNoControlBlock;
const unsigned int kResNoCircuit = kStrNoCircuitToSimulate;
const unsigned int kResNoMarkedSignal = kStrNoSignalMarked;

// connectionRefusal's verdicts: none, a refusal that beeps, a silent one.
enum class ConnectionRefusal { None, WithBeep, Silent };

class CircuitModel {
public:
    // The grid in pixels per unit; painting goes to view (none: no drawing).
    explicit CircuitModel(PaneView* view = nullptr, const Point& grid = Point(41, 41));
    // Deletes every object.
    ~CircuitModel();

    void setView(PaneView* v) { view = v; }

    // Writes the circuit as circuit text: for the compiler with every block
    // description in a prolog and no local library; only the marked objects
    // without SAVE and settings. Every written block is renamed B_1, B_2, ...
    // in list order.
    void writeCircuit(FILE* stream, int forCompiler, int markedOnly);
    // The embedded section of library Local: the wizard blocks' files.
    void writeLocalLibrary(FILE* stream, int markedOnly);
    // writeCircuit into path through a temporary file renamed over it when
    // every write and the close succeeded; false with the old file
    // untouched.
    bool saveCircuit(const char* path, int forCompiler, int markedOnly);
    // Reads a circuit through a reader whose file is open (paste mode as
    // the reader was made): its local library, blocks, connections, marks
    // and settings.
    void readCircuit(CircuitReader& reader);

    // A block from a description file. Without a position it goes to the
    // next default place; a wizard block is first copied into library
    // Local (22011 when that fails). Null when nothing was made.
    BlockObject* createBlock(const Point& position, const Point& size, const char* blockFile,
                             const char* libraryName, int noWizardCheck);
    // A connection from end A to end B under the connection rules; null
    // (mostly with a beep) when refused.
    ConnectionObject* createConnection(BlockObject* blockA, const PortRef& portA, BlockObject* blockB,
                                       const PortRef& portB);
    // The nth (from 1) connection with that port at either end.
    ConnectionObject* findConnectionAtPort(const BlockObject* block, const PortRef& port, int nth) const;
    bool connectionExists(const BlockObject* blockA, const PortRef& portA, const BlockObject* blockB,
                          const PortRef& portB) const;
    // Hides or shows the lines that leave the outputs of a switching block.
    void updateFlaggedConnections(BlockObject* block);
    RunFinding checkRunnable() const;
    // The marked symbols of every block, in block order, named as the
    // compiled program names them (collectMarkedSymbols in RunRoad.h labels
    // the loaded program's rows with them).
    std::vector<MarkedSymbol> markedSymbols() const;
    void markInRect(const Rect& pixels);
    static Rect normaliseRect(int x1, int y1, int x2, int y2);
    // The point moves to the middle of its grid cell.
    void snapToGrid(Point& p) const;
    void standardSizeMarked();
    BlockObject* findBlockByName(const char* name) const;

    Point getZoom() const { return grid; }
    // Grid units below 1 become 1; the whole pane is drawn anew.
    void setZoom(int width, int height);

    // Takes a block out with every connection that touches it and deletes
    // them; an object out of the list alone.
    void removeBlock(BlockObject* block);
    void removeObject(GraphicObject* object);
    // Deletes every object.
    void clear();

    // The topmost object under a document point whose kind (1 block, 2
    // connection) has a bit in kindMask; a frame block only when nothing
    // else is hit.
    GraphicObject* objectAt(const Point& p, int kindMask) const;
    // The block under the point goes to block; true when one of its ports
    // is hit (then in port).
    bool portAt(const Point& p, PortRef& port, BlockObject*& block) const;
    // Connections of a moved or changed object are drawn anew.
    void updateConnectionsOf(GraphicObject* object);
    void unmarkAll();
    void clearInterpointMarks();
    // The next object after prev (from the head when null) that is marked
    // or holds a marked interpoint.
    GraphicObject* nextMarked(GraphicObject* prev) const;
    // Takes an object out of the list into the undo list.
    void deleteObject(GraphicObject* object);
    // Asks before it removes marked blocks; marked interpoints go without
    // asking.
    void deleteMarked();
    void removeMarkedObjects();
    // True when the objects (or only that one) lie inside the document.
    bool fitsInDocument(int checkBlocks, int checkConnections, GraphicObject* only) const;
    void pushUndo(GraphicObject* object);
    void clearUndo();

    // Replacing a block by a rebuilt one made at its place: the connections
    // of old move to the ports of fresh with the same kind and number (those
    // beyond fresh's ports stay on old); then the state carries over.
    void moveConnections(BlockObject* old, BlockObject* fresh);
    // Parameters with the same name at the same index (copyParameters),
    // marks of equally named outputs, the signal names (the old names go to
    // fresh; the old block's signals take free names with "x" appended),
    // mirroring, size, layout words, icon and picture size, and the text
    // (copyText).
    void carryOverBlockState(BlockObject* old, BlockObject* fresh, int copyParameters, int copyText);
    // The whole replacement: moveConnections, carryOverBlockState, the
    // connections left at old and old itself into the undo list, a repaint.
    void replaceBlock(BlockObject* old, BlockObject* fresh, int copyParameters, int copyText);
    // None when a connection between the ends obeys the rules (not
    // counting except).
    ConnectionRefusal connectionRefusal(const BlockObject* blockA, const PortRef& portA, const BlockObject* blockB,
                                        const PortRef& portB, const ConnectionObject* except) const;
    bool contains(const GraphicObject* object) const;
    PaneView* paneView() const { return view; }

    // Frame blocks, then the other blocks meeting the update rectangle
    // (widened by 10 pixels), then every connection, then the fixed part of
    // the connection being made.
    void paint(PaneView& pane, const Rect& update);
    // Paints into a printer's pane at printer scale: rx and ry are printer
    // pixels per screen pixel; the printout is half the size on the screen.
    void printInto(PaneView& printer, double rx, double ry, const Rect& page);
    static Point printGrid(const Point& grid, double rx, double ry);

    std::list<GraphicObject*> objects;
    Point grid;
    int tool;
    int insertCount;
    int toggleMarking;
    // The connection being made: its start and its fixed points.
    int connectPending;
    BlockObject* connectBlock;
    PortRef connectPort;
    std::vector<Point> pendingPoints;
    // Deleted objects kept for undo, the newest first.
    std::vector<GraphicObject*> undoList;
    Point documentSize;
    // 0 once the circuit was changed with the mouse.
    int circuitSaved;
    // The file of a load that lost blocks of its embedded library (they
    // could not be written to Local); empty when the circuit is whole. A
    // save must not write the shorter circuit over that file.
    String incompleteSource;

private:
    void paintNow(GraphicObject& object);

    PaneView* view;

    CircuitModel(const CircuitModel&) = delete;
    CircuitModel& operator=(const CircuitModel&) = delete;
};

// The model whose connections name the signals at block inputs (the last
// one made); null when none.
CircuitModel* signalSourceModel();

#endif
