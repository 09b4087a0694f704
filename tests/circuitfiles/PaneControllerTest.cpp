// The editing pane's mouse and keys on a fixture circuit (grid 41 x 41):
// each row of the table is a script of events and what the model and the
// recorded pane hold afterwards.
#include "CircuitTestSupport.h"
#include "FileBytes.h"
#include "LocalLibrary.h"
#include "PaneController.h"
#include "RecordingUi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// An installation with library Standard and a library Local of its own.
class EditWorld {
public:
    EditWorld() : model(&pane, Point(41, 41)), control(model, pane)
    {
        scratch.mkdir("local");
        scratch.mkdir("tmp");
        std::string ini = "TEMPDIR = " + scratch.file("tmp") + ";\nICONDIR = " + kFixtures +
                          "/icons;\nBLOCKLIBS\n    LIB Standard AT " + kFixtures + "/standard;\n    LIB Local AT " +
                          scratch.file("local") + ";\nENDBLOCKLIBS\n";
        readInstallationFile(workspace, scratch.write("kyt.ini", ini).c_str());
        setWorkspace(&workspace);
        sNBase = &registry;
        iconBase = &icons;
        P = block("pt1.blk", Point(3, 3), Point(6, 4));
        Q = block("pt1.blk", Point(12, 3), Point(6, 4));
        R = block("pt1.blk", Point(20, 3), Point(6, 4));
        M = block("mimo.blk", Point(3, 14), Point(6, 6));
        X = block("pt1.blk", Point(31, 21), Point(6, 4));
        // The frame is made after X and lies over it in the list.
        F = block("frame.blk", Point(30, 20), Point(12, 8));
        F->setGeometry(12, 8);
    }
    ~EditWorld()
    {
        model.setView(nullptr);
        model.clear();
        model.clearUndo();
        iconBase = nullptr;
        sNBase = nullptr;
        setWorkspace(nullptr);
    }
    BlockObject* block(const char* file, const Point& at, const Point& size)
    {
        return model.createBlock(at, size, (kFixtures + "/standard/" + file).c_str(), "Standard", 0);
    }
    static Point cell(int x, int y) { return Point(x * 41 + 20, y * 41 + 20); }
    static Point centre(const BlockObject* b)
    {
        return Point((b->position.x() * 2 + b->size.x()) * 41 / 2, (b->position.y() * 2 + b->size.y()) * 41 / 2);
    }
    static Point port(const BlockObject* b, int side, int index)
    {
        return ConnectionObject::portPixel(b, PortRef{side, index}, 41, 41);
    }
    static Point corner(const BlockObject* b)
    {
        return Point((b->position.x() + b->size.x()) * 41 - 1, (b->position.y() + b->size.y()) * 41 - 1);
    }
    int count(int kind) const
    {
        int n = 0;
        for (GraphicObject* o : model.objects)
            n += o->kind() == kind;
        return n;
    }

    RecordingScope rec;
    ScratchDir scratch;
    Workspace workspace;
    SignalNameRegistry registry;
    IconStore icons;
    RecordingPane pane;
    CircuitModel model;
    PaneController control;
    BlockObject *P, *Q, *R, *M, *X, *F;
};

// One event of a script. A press is always preceded by a move to its point.
struct Step {
    enum Op { MOVE, PRESS, RELEASE, CLICK, RIGHT, LOST, KEY, CHAR } op;
    Point at;
    int ctrl;
    int code;
    int extended;
    int alt;
};

Step move(const Point& p) { return Step{Step::MOVE, p, 0, 0, 0, 0}; }
Step press(const Point& p, int ctrl = 0) { return Step{Step::PRESS, p, ctrl, 0, 0, 0}; }
Step release(const Point& p) { return Step{Step::RELEASE, p, 0, 0, 0, 0}; }
Step click(const Point& p, int ctrl = 0) { return Step{Step::CLICK, p, ctrl, 0, 0, 0}; }
Step right(const Point& p) { return Step{Step::RIGHT, p, 0, 0, 0, 0}; }
Step lost() { return Step{Step::LOST, Point(), 0, 0, 0, 0}; }
Step key(int vk, int extended, int alt = 0, int ctrl = 0) { return Step{Step::KEY, Point(), ctrl, vk, extended, alt}; }
Step chr(int c, int alt = 0) { return Step{Step::CHAR, Point(), 0, c, 0, alt}; }

void run(EditWorld& w, const std::vector<Step>& script)
{
    PaneController& c = w.control;
    for (const Step& s : script) {
        switch (s.op) {
        case Step::MOVE:
            c.onMouse(kMouseMove, 0, s.at, s.at, 0);
            break;
        case Step::PRESS:
            c.onMouse(kMouseMove, kLeftButton, s.at, s.at, s.ctrl);
            c.onMouse(kMousePress, kLeftButton, s.at, s.at, s.ctrl);
            break;
        case Step::RELEASE:
            c.onMouse(kMouseRelease, kLeftButton, s.at, s.at, 0);
            break;
        case Step::CLICK:
            c.onMouse(kMouseMove, 0, s.at, s.at, s.ctrl);
            c.onMouse(kMousePress, kLeftButton, s.at, s.at, s.ctrl);
            c.onMouse(kMouseRelease, kLeftButton, s.at, s.at, 0);
            break;
        case Step::RIGHT:
            c.onMouse(kMouseMove, 0, s.at, s.at, 0);
            c.onMouse(kMousePress, kRightButton, s.at, s.at, 0);
            c.onMouse(kMouseRelease, kRightButton, s.at, s.at, 0);
            break;
        case Step::LOST:
            c.captureLost();
            break;
        case Step::KEY:
            c.onKeyDown(s.code, s.extended, s.alt, s.ctrl);
            c.onKeyUp(0);
            break;
        case Step::CHAR:
            c.onChar(s.code, s.extended, s.alt);
            break;
        }
    }
}

struct Row {
    const char* name;
    std::function<std::vector<Step>(EditWorld&)> script;
    std::function<void(EditWorld&)> check;
};

// A connection P.y -> Q.u through cell (10, 8).
ConnectionObject* bentLine(EditWorld& w, int mark = 0)
{
    ConnectionObject* c = w.model.createConnection(w.P, PortRef{2, 1}, w.Q, PortRef{1, 1});
    c->appendInterpoint(10, 8, mark);
    return c;
}

// A point on the line of bentLine between its bend and Q.
Point onLastSegment(EditWorld& w)
{
    Point a = EditWorld::cell(10, 8), b = EditWorld::port(w.Q, 1, 1);
    return Point((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
}

Point shifted(const Point& p, int dx, int dy) { return p.plus(dx, dy); }

const std::vector<Row>& rows()
{
    static const std::vector<Row> table = {
        // ---- Drag ----
        {"block +30 px stays in its cell",
         [](EditWorld& w) { Point c = EditWorld::centre(w.P);
             return std::vector<Step>{press(c), move(shifted(c, 15, 0)), move(shifted(c, 30, 0)), release(shifted(c, 30, 0))}; },
         [](EditWorld& w) { EXPECT_EQ(Point(3, 3), w.P->position); EXPECT_GT(w.pane.xorDrawn, 0); }},
        {"block +41 px moves one cell",
         [](EditWorld& w) { Point c = EditWorld::centre(w.P);
             return std::vector<Step>{press(c), move(shifted(c, 41, 0)), release(shifted(c, 41, 0))}; },
         [](EditWorld& w) { EXPECT_EQ(Point(4, 3), w.P->position); EXPECT_EQ(Point(12, 3), w.Q->position); }},
        {"marked interpoint dragged -1 px moves one cell left",
         [](EditWorld& w) { bentLine(w, 1); w.P->markWord = 1; Point c = EditWorld::centre(w.P);
             return std::vector<Step>{press(c), move(shifted(c, -1, 0)), release(shifted(c, -1, 0))}; },
         [](EditWorld& w) {
             ConnectionObject* c = w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1);
             ASSERT_TRUE(c);
             EXPECT_EQ(9, c->interpoints.front().x);
             EXPECT_EQ(8, c->interpoints.front().y);
             EXPECT_EQ(Point(2, 3), w.P->position); }},
        {"drop outside the document beeps and puts the block back",
         [](EditWorld& w) { Point c = EditWorld::centre(w.P);
             return std::vector<Step>{press(c), move(shifted(c, 1700, 0)), release(shifted(c, 1700, 0))}; },
         [](EditWorld& w) { EXPECT_EQ(Point(3, 3), w.P->position); EXPECT_EQ(1, w.pane.beeps); }},
        {"grabbed interpoint follows the release",
         [](EditWorld& w) { bentLine(w);
             return std::vector<Step>{press(EditWorld::cell(10, 8)), move(EditWorld::cell(10, 10)), release(EditWorld::cell(10, 10))}; },
         [](EditWorld& w) {
             ConnectionObject* c = w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1);
             EXPECT_EQ(10, c->interpoints.front().y);
             EXPECT_EQ(0, c->markWord); }},
        // ---- Marking ----
        {"Ctrl+press marks a block and the release moves nothing",
         [](EditWorld& w) { Point c = EditWorld::centre(w.P);
             return std::vector<Step>{press(c, 1), move(shifted(c, 80, 0)), release(shifted(c, 80, 0))}; },
         [](EditWorld& w) { EXPECT_EQ(1, w.P->markWord); EXPECT_EQ(Point(3, 3), w.P->position); }},
        {"Ctrl+press unmarks a marked block",
         [](EditWorld& w) { w.P->markWord = 1; w.Q->markWord = 1; Point c = EditWorld::centre(w.P);
             return std::vector<Step>{press(c, 1), move(shifted(c, 80, 0)), release(shifted(c, 80, 0))}; },
         [](EditWorld& w) { EXPECT_EQ(0, w.P->markWord); EXPECT_EQ(1, w.Q->markWord);
             EXPECT_EQ(Point(3, 3), w.P->position); EXPECT_EQ(Point(12, 3), w.Q->position); }},
        {"band marks exactly the blocks wholly inside",
         [](EditWorld&) { return std::vector<Step>{press(Point(100, 100)), move(Point(101, 101)), move(Point(500, 300)),
                                                   move(Point(900, 500)), release(Point(900, 500))}; },
         [](EditWorld& w) { EXPECT_EQ(1, w.P->markWord); EXPECT_EQ(1, w.Q->markWord); EXPECT_EQ(0, w.R->markWord);
             EXPECT_EQ(0, w.M->markWord); EXPECT_EQ(0, w.model.toggleMarking); }},
        {"band with Ctrl toggles the marks",
         [](EditWorld& w) { w.P->markWord = 1; w.M->markWord = 1;
             return std::vector<Step>{press(Point(100, 100), 1), move(Point(101, 101)), move(Point(900, 500)),
                                      release(Point(900, 500))}; },
         [](EditWorld& w) { EXPECT_EQ(0, w.P->markWord); EXPECT_EQ(1, w.Q->markWord); EXPECT_EQ(1, w.M->markWord); }},
        {"a band after a finished connection keeps its anchor",
         [](EditWorld& w) { return std::vector<Step>{click(EditWorld::port(w.P, 2, 1)), click(EditWorld::port(w.Q, 1, 1)),
                                                     press(Point(100, 100)), move(Point(101, 101)), move(Point(900, 500)),
                                                     release(Point(900, 500))}; },
         [](EditWorld& w) { EXPECT_EQ(1, w.count(2)); EXPECT_EQ(1, w.P->markWord); EXPECT_EQ(1, w.Q->markWord); }},
        // ---- Resizing ----
        {"resizing stops at 4 x 3",
         [](EditWorld& w) { return std::vector<Step>{press(EditWorld::corner(w.P)), move(Point(150, 150)), release(Point(150, 150))}; },
         [](EditWorld& w) { EXPECT_EQ(Point(4, 3), w.P->size); EXPECT_EQ(0, w.control.resizing);
             EXPECT_EQ(kCursorNormal, w.pane.cursors.back()); }},
        {"resizing a block with two outputs stops at height 4",
         [](EditWorld& w) { return std::vector<Step>{press(EditWorld::corner(w.M)), move(Point(140, 590)), release(Point(140, 590))}; },
         [](EditWorld& w) { EXPECT_EQ(Point(4, 4), w.M->size); }},
        {"resizing grows by whole cells",
         [](EditWorld& w) { Point c = EditWorld::corner(w.P);
             return std::vector<Step>{press(c), move(shifted(c, 90, 45)), release(shifted(c, 90, 45))}; },
         // A block with one port per side keeps an odd height.
         [](EditWorld& w) { EXPECT_EQ(Point(8, 6), w.P->size); EXPECT_EQ(Point(3, 3), w.P->position); }},
        // ---- Hit order ----
        {"a block on a frame takes the press",
         [](EditWorld& w) { return std::vector<Step>{click(EditWorld::centre(w.X))}; },
         [](EditWorld& w) { EXPECT_EQ(1, w.X->markWord); EXPECT_EQ(0, w.F->markWord); }},
        {"empty frame space takes the press",
         [](EditWorld&) { return std::vector<Step>{click(EditWorld::cell(39, 26))}; },
         [](EditWorld& w) { EXPECT_EQ(0, w.X->markWord); EXPECT_EQ(1, w.F->markWord); }},
        {"a press on a hidden connection falls through to the block",
         [](EditWorld& w) {
             ConnectionObject* c = w.model.createConnection(w.P, PortRef{2, 1}, w.R, PortRef{1, 1});
             c->appendInterpoint(1, 16);
             c->appendInterpoint(12, 16);
             c->style |= kConnectionHidden;
             return std::vector<Step>{click(Point(EditWorld::centre(w.M).x(), EditWorld::cell(0, 16).y()))}; },
         [](EditWorld& w) { EXPECT_EQ(1, w.M->markWord);
             EXPECT_EQ(2u, w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1)->interpoints.size()); }},
        {"a press on a shown connection adds a bend",
         [](EditWorld& w) {
             ConnectionObject* c = w.model.createConnection(w.P, PortRef{2, 1}, w.R, PortRef{1, 1});
             c->appendInterpoint(1, 16);
             c->appendInterpoint(12, 16);
             return std::vector<Step>{click(Point(EditWorld::centre(w.M).x(), EditWorld::cell(0, 16).y()))}; },
         [](EditWorld& w) { EXPECT_EQ(0, w.M->markWord);
             EXPECT_EQ(3u, w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1)->interpoints.size()); }},
        {"with lines hidden no rubber line is drawn and ports still connect",
         [](EditWorld& w) { w.workspace.hideConnectionLines = 1;
             return std::vector<Step>{click(EditWorld::port(w.P, 2, 1)), move(EditWorld::cell(10, 12)),
                                      click(EditWorld::cell(10, 12)), click(EditWorld::port(w.Q, 1, 1))}; },
         [](EditWorld& w) { EXPECT_EQ(0, w.pane.xorDrawn); ASSERT_EQ(1, w.count(2));
             EXPECT_TRUE(w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1)->interpoints.empty()); }},
        // ---- Connecting ----
        {"output, two empty cells, input: one connection through them",
         [](EditWorld& w) { return std::vector<Step>{click(EditWorld::port(w.P, 2, 1)), move(EditWorld::cell(10, 12)),
                                                     click(EditWorld::cell(10, 12)), move(EditWorld::cell(11, 13)),
                                                     click(EditWorld::cell(11, 13)), click(EditWorld::port(w.Q, 1, 1))}; },
         [](EditWorld& w) {
             ASSERT_EQ(1, w.count(2));
             ConnectionObject* c = w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1);
             ASSERT_EQ(2u, c->interpoints.size());
             EXPECT_EQ(10, c->interpoints.front().x); EXPECT_EQ(12, c->interpoints.front().y);
             EXPECT_EQ(11, c->interpoints.back().x); EXPECT_EQ(13, c->interpoints.back().y);
             EXPECT_EQ(w.Q, c->blockB);
             EXPECT_EQ(0, w.model.connectPending); EXPECT_TRUE(w.model.pendingPoints.empty());
             EXPECT_GT(w.pane.xorDrawn, 0); EXPECT_EQ(0, w.pane.beeps); }},
        {"the same connection again beeps and repaints the pane",
         [](EditWorld& w) { w.model.createConnection(w.P, PortRef{2, 1}, w.Q, PortRef{1, 1});
             return std::vector<Step>{click(EditWorld::port(w.P, 2, 1)), move(EditWorld::cell(10, 12)),
                                      click(EditWorld::port(w.Q, 1, 1))}; },
         [](EditWorld& w) { EXPECT_EQ(1, w.count(2)); EXPECT_EQ(1, w.pane.beeps); EXPECT_EQ(1, w.pane.invalidatedAll); }},
        // ---- Right press ----
        {"right press on an output flips only its mark",
         [](EditWorld& w) { return std::vector<Step>{right(EditWorld::port(w.M, 2, 2))}; },
         [](EditWorld& w) { EXPECT_EQ(0, BlockObject::at(w.M->symbolMarks, 0)); EXPECT_EQ(1, BlockObject::at(w.M->symbolMarks, 1));
             EXPECT_TRUE(w.pane.calls.empty()); }},
        {"right press on an input or the body opens the block menu",
         [](EditWorld& w) { return std::vector<Step>{right(EditWorld::port(w.P, 1, 1)), right(EditWorld::centre(w.P))}; },
         [](EditWorld& w) { ASSERT_EQ(2u, w.pane.calls.size());
             EXPECT_EQ("blockMenu " + RecordingPane::pointText(EditWorld::port(w.P, 1, 1)), w.pane.calls[0]);
             EXPECT_EQ("blockMenu " + RecordingPane::pointText(EditWorld::centre(w.P)), w.pane.calls[1]);
             EXPECT_EQ(w.P, w.control.contextBlock); }},
        {"right press on empty space opens the insert menu",
         [](EditWorld&) { return std::vector<Step>{right(Point(1500, 1500))}; },
         [](EditWorld& w) { ASSERT_EQ(1u, w.pane.calls.size()); EXPECT_EQ("insertMenu 1500 1500", w.pane.calls[0]); }},
        {"right press on a frame asks its dialog",
         [](EditWorld&) { return std::vector<Step>{right(EditWorld::cell(39, 26))}; },
         [](EditWorld& w) { ASSERT_EQ(1u, w.pane.calls.size()); EXPECT_EQ("frameBlock", w.pane.calls[0]); }},
        // ---- Delete tool ----
        {"delete tool: Yes moves the block and its lines into the undo list",
         [](EditWorld& w) { bentLine(w); w.model.tool = kToolDelete; w.pane.answers = {1};
             return std::vector<Step>{click(EditWorld::centre(w.P))}; },
         [](EditWorld& w) {
             ASSERT_EQ(1u, w.pane.questions.size());
             EXPECT_EQ(kResDeleteBlock, w.pane.questions[0].first); EXPECT_EQ(kResWarning, w.pane.questions[0].second);
             EXPECT_FALSE(w.model.contains(w.P)); EXPECT_EQ(0, w.count(2));
             ASSERT_EQ(2u, w.model.undoList.size()); EXPECT_EQ(w.P, w.model.undoList[0]);
             EXPECT_EQ(0, w.control.buttonDown); }},
        {"delete tool: No keeps everything",
         [](EditWorld& w) { bentLine(w); w.model.tool = kToolDelete; w.pane.answers = {0};
             return std::vector<Step>{click(EditWorld::centre(w.P))}; },
         [](EditWorld& w) { EXPECT_TRUE(w.model.contains(w.P)); EXPECT_EQ(1, w.count(2)); EXPECT_TRUE(w.model.undoList.empty()); }},
        {"delete tool: an interpoint, then the line",
         [](EditWorld& w) { bentLine(w); w.model.tool = kToolDelete;
             Point a = EditWorld::port(w.P, 2, 1), b = EditWorld::port(w.Q, 1, 1);
             return std::vector<Step>{click(EditWorld::cell(10, 8)), click(Point((a.x() + b.x()) / 2, (a.y() + b.y()) / 2))}; },
         [](EditWorld& w) { EXPECT_EQ(0, w.count(2)); EXPECT_TRUE(w.pane.questions.empty()); ASSERT_EQ(1u, w.model.undoList.size()); }},
        // ---- Keys ----
        {"extended Insert opens the insert menu, the keypad's does not",
         [](EditWorld&) { return std::vector<Step>{key(kKeyInsert, 0), key(kKeyInsert, 1)}; },
         [](EditWorld& w) { ASSERT_EQ(1u, w.pane.calls.size()); EXPECT_EQ("insertMenu 10 10", w.pane.calls[0]); }},
        {"Del with only interpoints marked deletes them without asking",
         [](EditWorld& w) { bentLine(w, 1); return std::vector<Step>{key(kKeyDelete, 1)}; },
         [](EditWorld& w) { EXPECT_TRUE(w.pane.questions.empty());
             EXPECT_TRUE(w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1)->interpoints.empty()); }},
        {"Del on marked blocks asks, and No keeps everything",
         [](EditWorld& w) { bentLine(w, 1); w.P->markWord = 1; w.pane.answers = {0};
             return std::vector<Step>{key(kKeyDelete, 1)}; },
         [](EditWorld& w) { ASSERT_EQ(1u, w.pane.questions.size()); EXPECT_EQ(kResDeleteMarkedBlocks, w.pane.questions[0].first);
             EXPECT_TRUE(w.model.contains(w.P)); EXPECT_EQ(1, w.P->markWord);
             EXPECT_EQ(1, w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1)->countMarkedInterpoints()); }},
        {"Del on marked blocks, Yes removes them with their lines",
         [](EditWorld& w) { bentLine(w); w.P->markWord = 1; w.pane.answers = {1};
             return std::vector<Step>{key(kKeyDelete, 1)}; },
         [](EditWorld& w) { EXPECT_FALSE(w.model.contains(w.P)); EXPECT_EQ(0, w.count(2)); EXPECT_TRUE(w.model.contains(w.Q));
             EXPECT_EQ(2u, w.model.undoList.size()); }},
        {"Ctrl+C with Alt does nothing; 3, 24 and 22 reach copy, cut and paste",
         [](EditWorld&) { return std::vector<Step>{chr(3, 1), chr(3), chr(24), chr(22), chr(65)}; },
         [](EditWorld& w) { EXPECT_EQ((std::vector<std::string>{"copy", "cut", "paste"}), w.pane.calls); }},
        // ---- Mended faults ----
        {"while busy the keys and the mouse do nothing",
         [](EditWorld& w) { bentLine(w, 1); w.P->markWord = 1; w.workspace.busy = 1; w.pane.answers = {1};
             return std::vector<Step>{key(kKeyInsert, 1), key(kKeyDelete, 1), chr(3), chr(24), chr(22),
                                      click(EditWorld::centre(w.Q))}; },
         [](EditWorld& w) { EXPECT_TRUE(w.pane.calls.empty()); EXPECT_TRUE(w.pane.questions.empty());
             EXPECT_TRUE(w.model.contains(w.P)); EXPECT_EQ(0, w.Q->markWord); }},
        {"an input end moved onto a connected input beeps",
         [](EditWorld& w) { w.model.createConnection(w.P, PortRef{2, 1}, w.Q, PortRef{1, 1});
             w.model.createConnection(w.Q, PortRef{2, 1}, w.R, PortRef{1, 1}); w.model.tool = kToolConnections;
             return std::vector<Step>{click(EditWorld::port(w.Q, 1, 1)), click(EditWorld::port(w.R, 1, 1))}; },
         [](EditWorld& w) { EXPECT_EQ(1, w.pane.beeps);
             EXPECT_EQ(w.Q, w.model.findConnectionAtPort(w.P, PortRef{2, 1}, 1)->blockB);
             EXPECT_EQ(0, w.model.connectPending); EXPECT_EQ(0, w.Q->connectStart.side); }},
        {"an output end moved onto the same line's kind beeps",
         [](EditWorld& w) { w.model.createConnection(w.P, PortRef{2, 1}, w.Q, PortRef{1, 1}); w.model.tool = kToolConnections;
             return std::vector<Step>{click(EditWorld::port(w.P, 2, 1)), click(EditWorld::port(w.R, 1, 1))}; },
         [](EditWorld& w) { EXPECT_EQ(1, w.pane.beeps); EXPECT_EQ(w.P, w.model.findConnectionAtPort(w.Q, PortRef{1, 1}, 1)->blockA); }},
        {"the end at the picked port of a self-loop moves",
         [](EditWorld& w) { w.model.createConnection(w.X, PortRef{2, 1}, w.X, PortRef{1, 1}); w.model.tool = kToolConnections;
             return std::vector<Step>{click(EditWorld::port(w.X, 1, 1)), click(EditWorld::port(w.R, 1, 1))}; },
         [](EditWorld& w) {
             ConnectionObject* c = w.model.findConnectionAtPort(w.X, PortRef{2, 1}, 1);
             ASSERT_TRUE(c);
             EXPECT_EQ(w.X, c->blockA); EXPECT_EQ((PortRef{2, 1}), c->portA());
             EXPECT_EQ(w.R, c->blockB); EXPECT_EQ((PortRef{1, 1}), c->portB);
             EXPECT_EQ(0, w.pane.beeps); }},
        {"a capture lost before the release leaves the block in place",
         [](EditWorld& w) { Point c = EditWorld::centre(w.P);
             return std::vector<Step>{press(c), move(shifted(c, 90, 0)), lost(), click(EditWorld::cell(40, 40))}; },
         [](EditWorld& w) { EXPECT_EQ(Point(3, 3), w.P->position); EXPECT_EQ(0, w.control.dragged); }},
        {"a capture lost during a band marks nothing",
         [](EditWorld&) { return std::vector<Step>{press(Point(100, 100)), move(Point(500, 300)), move(Point(900, 500)), lost(),
                                                   release(Point(900, 500))}; },
         [](EditWorld& w) { EXPECT_EQ(0, w.P->markWord); EXPECT_EQ(0, w.Q->markWord); }},
    };
    return table;
}

} // namespace

TEST(PaneController, ScriptedEdits)
{
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.name);
        EditWorld w;
        run(w, row.script(w));
        row.check(w);
        // Every drag, band and connection wipes its own feedback.
        EXPECT_TRUE(w.pane.xorLayer.empty()) << (w.pane.xorLayer.empty() ? "" : w.pane.xorLayer[0].text);
    }
}

TEST(PaneController, HoverCursorsAndHints)
{
    EditWorld w;
    bentLine(w);
    const struct {
        int tool;
        Point at;
        int cursor;
        unsigned int hint;
    } cases[] = {
        {kToolEdit, EditWorld::port(w.P, 2, 1), kCursorPort, kHintPort},
        {kToolEdit, EditWorld::cell(10, 8), kCursorInterpoint, kHintInterpoint},
        {kToolEdit, onLastSegment(w), kCursorLine, kHintLine},
        {kToolEdit, EditWorld::corner(w.P), kCursorResize, kHintResize},
        {kToolEdit, EditWorld::centre(w.P), kCursorBlock, kHintBlock},
        {kToolEdit, Point(1500, 1500), kCursorNormal, 0},
        {kToolDelete, EditWorld::port(w.P, 2, 1), -1, kHintDeletePort},
        {kToolDelete, EditWorld::cell(10, 8), -1, kHintDeleteInterpoint},
        {kToolDelete, onLastSegment(w), -1, kHintDeleteLine},
        {kToolDelete, EditWorld::centre(w.P), -1, kHintDeleteBlock},
        {kToolConnections, EditWorld::port(w.P, 2, 1), -1, kHintChangePort},
        {kToolConnections, EditWorld::centre(w.P), -1, kHintChangeBlock},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.tool) + " at " + RecordingPane::pointText(c.at));
        w.control.setTool(c.tool);
        w.pane.cursors.clear();
        w.pane.hints.clear();
        run(w, {move(c.at)});
        ASSERT_EQ(1u, w.pane.hints.size());
        EXPECT_EQ(c.hint, w.pane.hints.back());
        if (c.cursor < 0)
            EXPECT_TRUE(w.pane.cursors.empty());
        else
            EXPECT_EQ(std::vector<int>{c.cursor}, w.pane.cursors);
    }
}

TEST(PaneController, NextMarkedWalksBlocksAndMarkedInterpoints)
{
    EditWorld w;
    w.model.clear();
    BlockObject* a = w.block("pt1.blk", Point(3, 3), Point(6, 4));
    BlockObject* b = w.block("pt1.blk", Point(12, 3), Point(6, 4));
    ConnectionObject* c = w.model.createConnection(a, PortRef{2, 1}, b, PortRef{1, 1});
    BlockObject* d = w.block("pt1.blk", Point(20, 3), Point(6, 4));
    c->appendInterpoint(10, 8, 1);
    a->markWord = 1;
    (void)d;
    EXPECT_EQ(a, w.model.nextMarked(nullptr));
    EXPECT_EQ(c, w.model.nextMarked(a));
    EXPECT_EQ(nullptr, w.model.nextMarked(c));
    EXPECT_EQ(nullptr, w.model.nextMarked(w.P)); // not in the list
}

TEST(PaneController, UndoListKeepsTheNewestFifty)
{
    RecordingMenu menu;
    EditWorld w;
    w.workspace.setMainMenu(&menu);
    std::vector<BlockObject*> made;
    for (int i = 0; i < 55; ++i)
        made.push_back(w.block("pt1.blk", Point(1 + i % 40, 30 + i / 40 * 5), Point(4, 3)));
    for (BlockObject* b : made)
        w.model.deleteObject(b);
    ASSERT_EQ(kUndoLimit, w.model.undoList.size());
    EXPECT_EQ(made.back(), w.model.undoList.front());
    EXPECT_EQ(made[5], w.model.undoList.back());
    EXPECT_TRUE(menu.enabled(kUndoCommand));
    w.workspace.setMainMenu(nullptr);
}

TEST(PaneController, DeletedWizardBlockLeavesItsFileAndTheNextCopyANewName)
{
    EditWorld w;
    BlockObject* wizard = w.block("wizard.blk", Point(3, 25), Point(6, 4));
    ASSERT_TRUE(wizard);
    std::string first = w.scratch.read("local/w0");
    wizard->markWord = 1;
    w.pane.answers = {1};
    run(w, {key(kKeyDelete, 1)});
    EXPECT_FALSE(w.model.contains(wizard));
    EXPECT_EQ(first, w.scratch.read("local/w0"));
    BlockObject* again = w.block("wizard.blk", Point(3, 25), Point(6, 4));
    ASSERT_TRUE(again);
    EXPECT_STRNE("w0", again->getLibraryFile().text());
    EXPECT_TRUE(w.scratch.exists("local/w1"));
}

TEST(PaneController, FitsInDocumentCountsTheEdges)
{
    EditWorld w;
    // 2000 / 41 cells: a block ending at cell 48 (1968) fits, at 49 (2009) not.
    w.P->moveTo(Point(42, 3));
    EXPECT_TRUE(w.model.fitsInDocument(1, 0, w.P));
    w.P->moveTo(Point(43, 3));
    EXPECT_FALSE(w.model.fitsInDocument(1, 0, w.P));
    EXPECT_TRUE(w.model.fitsInDocument(0, 1, nullptr));
    w.P->moveTo(Point(0, 0));
    EXPECT_TRUE(w.model.fitsInDocument(1, 1, nullptr));
    ConnectionObject* c = w.model.createConnection(w.Q, PortRef{2, 1}, w.R, PortRef{1, 1});
    c->appendInterpoint(-1, 5);
    EXPECT_FALSE(w.model.fitsInDocument(0, 1, nullptr));
    EXPECT_TRUE(w.model.fitsInDocument(1, 0, nullptr));
}
