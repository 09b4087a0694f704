// The circuit the editing pane holds: connections and their polylines, the
// connection rules, default places, wizard blocks copied into library
// Local, the run check, marked symbols, marking, snapping and the painting
// passes; and library Local itself with its index, names, embedded blocks,
// reset and lock.
#include "CircuitModel.h"
#include "CircuitTestSupport.h"
#include "LocalLibrary.h"
#include "PiProgram.h"
#include "RunRoad.h"
#include "ResString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

// An installation in a scratch directory: the fixture library "Standard"
// and a library "Local" of its own (unless told otherwise).
class LocalWorld {
public:
    // Library Local in its own directory, in the circuit directory, or
    // not at all.
    enum LocalPlace { OWN, AT_CIRCUITS, NONE };
    explicit LocalWorld(LocalPlace place = OWN)
    {
        scratch.mkdir("local");
        scratch.mkdir("tmp");
        scratch.mkdir("circuits");
        bool withLocal = place != NONE;
        std::string local = scratch.file(place == AT_CIRCUITS ? "circuits" : "local");
        std::string ini = "CIRCUITDIR = " + scratch.file("circuits") + ";\nICONDIR = " + kFixtures +
                          "/icons;\nTEMPDIR = " + scratch.file("tmp") + ";\nBLOCKLIBS\n    LIB Standard AT " +
                          kFixtures + "/standard;\n";
        if (withLocal)
            ini += "    LIB Local AT " + local + ";\n";
        ini += "ENDBLOCKLIBS\n";
        readInstallationFile(workspace, scratch.write("kyt.ini", ini).c_str());
        setWorkspace(&workspace);
        sNBase = &registry;
        iconBase = &icons;
    }
    ~LocalWorld()
    {
        iconBase = nullptr;
        sNBase = nullptr;
        setWorkspace(nullptr);
    }
    std::string standard(const std::string& file) const { return kFixtures + "/standard/" + file; }
    std::string localFile(const std::string& name) const { return scratch.file("local/" + name); }
    std::string index() const { return scratch.read("local/ablocks.bfl"); }

    RecordingScope rec;
    ScratchDir scratch;
    Workspace workspace;
    SignalNameRegistry registry;
    IconStore icons;
};

int indexOf(const std::vector<std::string>& ops, const std::string& prefix)
{
    for (size_t i = 0; i < ops.size(); ++i)
        if (ops[i].compare(0, prefix.size(), prefix) == 0)
            return static_cast<int>(i);
    return -1;
}

std::string rectOp(const CircuitModel& model, const BlockObject* b)
{
    Point g = model.getZoom();
    return "rectangle " + std::to_string(b->position.x() * g.x()) + " " + std::to_string(b->position.y() * g.y()) +
           " ";
}

} // namespace

// ---- Connections ----

TEST(Connection, SegmentTest)
{
    const struct {
        Point s, e, p;
        bool hit;
    } cases[] = {
        {Point(0, 0), Point(100, 0), Point(50, 2), true},
        {Point(0, 0), Point(100, 0), Point(50, -2), true},
        {Point(0, 0), Point(100, 0), Point(50, 3), false},
        {Point(0, 0), Point(100, 0), Point(102, 0), true},
        {Point(0, 0), Point(100, 0), Point(103, 0), false},
        {Point(0, 0), Point(100, 0), Point(-2, 1), true},
        {Point(0, 0), Point(100, 0), Point(-3, 0), false},
        {Point(10, 10), Point(10, 60), Point(12, 35), true},
        {Point(5, 5), Point(5, 5), Point(5, 5), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.hit, ConnectionObject::segmentHit(c.s, c.e, c.p))
            << c.p.x() << "," << c.p.y() << " on " << c.s.x() << "," << c.s.y() << "-" << c.e.x() << "," << c.e.y();
}

TEST(Connection, PathEditingHitsAndSignals)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane, Point(10, 10));
    BlockObject* a = model.createBlock(Point(2, 2), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* b = model.createBlock(Point(20, 10), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    ASSERT_TRUE(a && b);
    ConnectionObject* c = model.createConnection(a, PortRef{2, 1}, b, PortRef{1, 1});
    ASSERT_TRUE(c);

    // A's output cell and B's input cell, and the line between them.
    Point outCell = ConnectionObject::portCell(a, PortRef{2, 1});
    Point inCell = ConnectionObject::portCell(b, PortRef{1, 1});
    EXPECT_EQ(Point(7, 4), outCell);
    EXPECT_EQ(Point(20, 12), inCell);
    Point from = ConnectionObject::portPixel(a, PortRef{2, 1}, 10, 10);
    Point to = ConnectionObject::portPixel(b, PortRef{1, 1}, 10, 10);

    // Inserting on the only segment appends; then the first segment gives a
    // new head and the last one a new tail.
    Point mid((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
    ASSERT_EQ(1, c->editPath(mid, 10, 10, 1));
    ASSERT_EQ(1u, c->interpoints.size());
    Interpoint first = c->interpoints.front();
    Point centre = ConnectionObject::cellCentre(first.x, first.y, 10, 10);
    Point nearStart((from.x() + centre.x()) / 2, (from.y() + centre.y()) / 2);
    ASSERT_EQ(1, c->editPath(nearStart, 10, 10, 1));
    EXPECT_EQ(first.x, c->interpoints.back().x);
    Point nearEnd((centre.x() + to.x()) / 2, (centre.y() + to.y()) / 2);
    ASSERT_EQ(1, c->editPath(nearEnd, 10, 10, 1));
    ASSERT_EQ(3u, c->interpoints.size());
    EXPECT_EQ(nearEnd.x() / 10, c->interpoints.back().x);

    // A cell that holds an interpoint or a port beeps and changes nothing.
    EXPECT_EQ(0, c->editPath(centre, 10, 10, 1, &pane));
    EXPECT_EQ(0, c->editPath(ConnectionObject::cellCentre(inCell.x(), inCell.y(), 10, 10), 10, 10, 1, &pane));
    EXPECT_EQ(2, pane.beeps);
    EXPECT_EQ(3u, c->interpoints.size());
    // Off the line: nothing.
    EXPECT_EQ(0, c->editPath(Point(0, 500), 10, 10, 1, &pane));

    // Interpoints near a point, moved, marked, deleted.
    EXPECT_EQ(&c->interpoints.back(), c->findInterpointNear(ConnectionObject::cellCentre(c->interpoints.back().x, c->interpoints.back().y, 10, 10).x() + 2,
                                                             ConnectionObject::cellCentre(c->interpoints.back().x, c->interpoints.back().y, 10, 10).y() - 2, 10, 10));
    EXPECT_EQ(nullptr, c->findInterpointNear(centre.x() + 3, centre.y(), 10, 10));
    c->interpoints.front().mark = 1;
    EXPECT_EQ(1, c->countMarkedInterpoints());
    c->deleteMarkedInterpoints();
    EXPECT_EQ(2u, c->interpoints.size());

    // The signal at B's input is A's output signal; an output reference
    // and an unconnected input give nothing.
    EXPECT_STREQ(a->signalName(1).text(), c->signalNameAt(b, 1).text());
    EXPECT_STREQ("", c->signalNameAt(a, 1).text());
    EXPECT_STREQ("", c->signalNameAt(b, 2).text());
    EXPECT_EQ(1, c->touches(a));

    // A hidden connection is not painted but still hit.
    c->style |= kConnectionHidden;
    pane.dc.ops.clear();
    c->paint(pane, 10, 10);
    EXPECT_TRUE(pane.dc.ops.empty());
    EXPECT_EQ(1, c->hitTest(nearEnd, 10, 10));
}

TEST(Connection, PaintShowsMarksOnlyOnTheScreen)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane, Point(10, 10));
    BlockObject* a = model.createBlock(Point(2, 2), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* b = model.createBlock(Point(20, 10), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    ConnectionObject* c = model.createConnection(a, PortRef{2, 1}, b, PortRef{1, 1});
    c->appendInterpoint(12, 3, 1);
    pane.dc.ops.clear();
    c->paint(pane, 10, 10);
    // From A's right edge through the marked point (red circle) to B's left edge.
    Point endA = ConnectionObject::endPoint(a, PortRef{2, 1}, 10, 10);
    EXPECT_EQ(80, endA.x());
    EXPECT_EQ("moveTo 80 " + std::to_string(endA.y()), pane.dc.ops[1]);
    EXPECT_NE(-1, indexOf(pane.dc.ops, "pen 0 1 255,0,0"));
    EXPECT_NE(-1, indexOf(pane.dc.ops, "ellipse 125 35 2"));
    EXPECT_EQ("lineTo 200 " + std::to_string(ConnectionObject::endPoint(b, PortRef{1, 1}, 10, 10).y()),
              pane.dc.ops[pane.dc.ops.size() - 2]);
    world.workspace.printing = 1;
    pane.dc.ops.clear();
    c->paint(pane, 10, 10);
    EXPECT_EQ(-1, indexOf(pane.dc.ops, "ellipse"));
    world.workspace.printing = 0;
    world.workspace.hideConnectionLines = 1;
    pane.dc.ops.clear();
    c->paint(pane, 10, 10);
    EXPECT_TRUE(pane.dc.ops.empty());
}

// ---- The model ----

TEST(CircuitModel, ConnectionRules)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane);
    std::string pt1 = world.standard("pt1.blk");
    BlockObject* a = model.createBlock(Point(0, 0), Point(6, 3), pt1.c_str(), "Standard", 0);
    BlockObject* b = model.createBlock(Point(0, 0), Point(6, 3), pt1.c_str(), "Standard", 0);
    BlockObject* c = model.createBlock(Point(0, 0), Point(6, 3), pt1.c_str(), "Standard", 0);
    BlockObject* s = model.createBlock(Point(0, 0), Point(6, 3), pt1.c_str(), "Standard", 0);
    ASSERT_TRUE(a && b && c && s);
    s->kindFlags |= kKindGroup;
    const PortRef in{1, 1}, out{2, 1};
    struct Case {
        const char* what;
        BlockObject *x, *y;
        PortRef px, py;
        bool made;
        int beeps;
    } const cases[] = {
        {"output to input", a, b, out, in, true, 0},
        {"a second line into the input", c, b, out, in, false, 1},
        {"a second line out of the output", a, c, out, in, true, 0},
        {"output to output", a, c, out, out, false, 1},
        {"input to input", b, c, in, in, false, 1},
        {"a port to itself", a, a, out, out, false, 0},
        {"the same line reversed", c, a, in, out, false, 1},
        {"into the switching block's input", b, s, out, in, true, 0},
        {"out of the switching block", s, c, out, in, false, 1},
    };
    for (const Case& k : cases) {
        int before = pane.beeps;
        ConnectionObject* made = model.createConnection(k.x, k.px, k.y, k.py);
        EXPECT_EQ(k.made, made != nullptr) << k.what;
        EXPECT_EQ(k.beeps, pane.beeps - before) << k.what;
        if (made) {
            // The ends stay in the caller's order.
            EXPECT_EQ(k.x, made->blockA) << k.what;
            EXPECT_EQ(k.px, made->portA()) << k.what;
        }
    }
    EXPECT_TRUE(model.connectionExists(b, in, a, out));
    EXPECT_EQ(model.findConnectionAtPort(a, out, 2), model.findConnectionAtPort(c, in, 1));
    EXPECT_EQ(nullptr, model.findConnectionAtPort(a, out, 3));

    // Removing a block takes its lines with it.
    size_t objects = model.objects.size();
    model.removeBlock(a);
    EXPECT_EQ(objects - 3, model.objects.size());
    EXPECT_EQ(nullptr, model.findConnectionAtPort(b, in, 1));
}

TEST(CircuitModel, SwitchingBlockHidesTheLinesItDoesNotFeed)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane);
    std::string pt1 = world.standard("pt1.blk");
    BlockObject* sw = model.createBlock(Point(0, 0), Point(6, 3), pt1.c_str(), "Standard", 0);
    BlockObject* mid = model.createBlock(Point(0, 0), Point(6, 3), pt1.c_str(), "Standard", 0);
    BlockObject* end = model.createBlock(Point(0, 0), Point(6, 3), pt1.c_str(), "Standard", 0);
    sw->kindFlags |= kKindGroup;
    sw->parameterKinds[0] |= kParamFlagged;
    // The switching block's output feeds mid's input (a line the reader
    // makes); the line into mid is hidden while the switch is not "0".
    ConnectionObject* c = new ConnectionObject(sw, PortRef{2, 1}, mid, PortRef{1, 1});
    model.objects.push_back(c);
    ConnectionObject* d = model.createConnection(mid, PortRef{2, 1}, end, PortRef{1, 1});
    ASSERT_TRUE(d);
    ConnectionObject* first = model.findConnectionAtPort(mid, PortRef{1, 1}, 1);
    ASSERT_EQ(c, first);
    sw->setParameterValue(sw->parameterNames[0].text(), "1");
    model.updateFlaggedConnections(sw);
    EXPECT_EQ(kConnectionHidden, c->style & kConnectionHidden);
    sw->setParameterValue(sw->parameterNames[0].text(), "0");
    model.updateFlaggedConnections(sw);
    EXPECT_EQ(0, c->style & kConnectionHidden);
    EXPECT_FALSE(pane.invalidated.empty());
}

TEST(CircuitModel, DefaultPlacesAndTheRunCheck)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane);
    EXPECT_EQ(RunFinding::NoCircuit, model.checkRunnable());
    const Point places[] = {Point(10, 5), Point(20, 5), Point(30, 5), Point(40, 5), Point(10, 10)};
    std::vector<BlockObject*> blocks;
    for (const Point& p : places) {
        BlockObject* b = model.createBlock(Point(0, 0), Point(6, 3), world.standard("text.blk").c_str(), "Standard", 0);
        ASSERT_TRUE(b);
        EXPECT_EQ(p, b->position);
        blocks.push_back(b);
    }
    EXPECT_GE(pane.painted, 5);
    EXPECT_EQ(RunFinding::NoControlBlock, model.checkRunnable());
    BlockObject* control = model.createBlock(Point(1, 1), Point(6, 3), world.standard("control.blk").c_str(), "Standard", 0);
    EXPECT_EQ(RunFinding::NoMarkedSignal, model.checkRunnable());
    BlockObject* pt1 = model.createBlock(Point(1, 20), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    pt1->symbolMarks[0] = 1;
    EXPECT_EQ(RunFinding::Runnable, model.checkRunnable());
    pt1->symbolMarks[0] = 0;
    control->symbolMarks.back() = 1;
    EXPECT_EQ(RunFinding::Runnable, model.checkRunnable());
    EXPECT_EQ(7, model.insertCount);

    EXPECT_EQ(pt1, model.findBlockByName(pt1->name.text()));
    std::string other = pt1->name.text();
    for (char& ch : other)
        ch = static_cast<char>(isupper(static_cast<unsigned char>(ch)) ? tolower(ch) : toupper(ch));
    EXPECT_EQ(nullptr, model.findBlockByName(other.c_str()));
}

TEST(CircuitModel, WizardBlocksBecomeCopiesInLocal)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane);
    BlockObject* w = model.createBlock(Point(0, 0), Point(6, 3), world.standard("wizard.blk").c_str(), "Standard", 0);
    ASSERT_TRUE(w);
    EXPECT_EQ(1, w->wizardFlag);
    EXPECT_STREQ("Laplace", w->wizardName.text());
    EXPECT_STREQ("Local", w->libraryName.text());
    EXPECT_EQ(world.scratch.read("local/w0"), readFileBytes(world.standard("wizard.blk")));
    EXPECT_EQ("$[Lokale Bloecke]\nw0,w0\n", world.index());
    BlockObject* again = model.createBlock(Point(0, 0), Point(6, 3), world.standard("wizard.blk").c_str(), "Standard", 0);
    ASSERT_TRUE(again);
    EXPECT_TRUE(world.scratch.exists("local/w1"));

    // A WIZARD line after another "$" line is not seen.
    std::string late = world.scratch.write("late.blk", "BLOCK L;\n$ TEXT \"L\"\n$ WIZARD Fuzzy x\nOUTPUT y;\nSIM\nENDBLOCK\n");
    BlockObject* plain = model.createBlock(Point(0, 0), Point(6, 3), late.c_str(), "Standard", 0);
    ASSERT_TRUE(plain);
    EXPECT_EQ(0, plain->wizardFlag);
    EXPECT_STREQ("Standard", plain->libraryName.text());
}

TEST(CircuitModel, WizardBlockWithoutLocal)
{
    LocalWorld world(LocalWorld::NONE);
    RecordingPane pane;
    CircuitModel model(&pane);
    EXPECT_EQ(nullptr, model.createBlock(Point(0, 0), Point(6, 3), world.standard("wizard.blk").c_str(), "Standard", 0));
    EXPECT_TRUE(model.objects.empty());
    EXPECT_EQ(1, model.insertCount);
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, world.rec.sink.boxes[0].find(getResString(kResNoLocalBlock)));
    // A file that does not open says the same.
    EXPECT_EQ(nullptr, model.createBlock(Point(0, 0), Point(6, 3), "/nicht/da.blk", "Standard", 0));
    EXPECT_EQ(2u, world.rec.sink.boxes.size());
}

TEST(CircuitModel, SnapMarkAndStandardSize)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane, Point(41, 41));
    const struct {
        int in, out;
    } snaps[] = {{0, 20}, {40, 20}, {41, 61}, {81, 61}, {82, 102}};
    for (const auto& s : snaps) {
        Point p(s.in, s.in);
        model.snapToGrid(p);
        EXPECT_EQ(Point(s.out, s.out), p) << s.in;
    }
    EXPECT_EQ(Rect(1, 2, 5, 8), CircuitModel::normaliseRect(5, 8, 1, 2));

    model.setZoom(10, 10);
    BlockObject* a = model.createBlock(Point(1, 1), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* b = model.createBlock(Point(30, 1), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    ConnectionObject* c = model.createConnection(a, PortRef{2, 1}, b, PortRef{1, 1});
    c->appendInterpoint(15, 2);
    c->appendInterpoint(40, 9);
    Rect r(0, 0, 200, 100);
    model.markInRect(r);
    EXPECT_EQ(1, a->markWord);
    EXPECT_EQ(0, b->markWord);
    EXPECT_EQ(1, c->interpoints.front().mark);
    EXPECT_EQ(0, c->interpoints.back().mark);
    model.toggleMarking = 1;
    model.markInRect(r);
    EXPECT_EQ(0, a->markWord);
    EXPECT_EQ(0, c->interpoints.front().mark);

    a->markWord = 1;
    a->setGeometry(10, 8);
    int before = pane.invalidatedAll;
    model.standardSizeMarked();
    EXPECT_EQ(a->standardSize, a->size);
    EXPECT_EQ(before + 1, pane.invalidatedAll);
    model.standardSizeMarked();
    EXPECT_EQ(before + 1, pane.invalidatedAll);
}

TEST(CircuitModel, MarkedSymbolsLabelTheProgramsRows)
{
    LocalWorld world;
    CircuitModel model;
    BlockObject* b = model.createBlock(Point(1, 1), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    ASSERT_TRUE(b);
    b->setName("P1");
    b->symbolMarks[b->symbolMarkIndex(SYMBOL_STATE, 0)] = 1;
    b->symbolMarks[b->symbolMarkIndex(SYMBOL_DERIVATIVE, 0)] = 1;
    b->symbolMarks[b->symbolMarkIndex(SYMBOL_OUTPUT, 0)] = 1;
    char n1[] = "P1_x", n2[] = "dP1_x", n3[] = "P1_y", n4[] = "P1_K", n5[] = "P1_xx";
    PiSymbol rows[5] = {};
    char* names[] = {n1, n2, n3, n4, n5};
    for (int i = 0; i < 5; ++i)
        rows[i].name = names[i];
    PiProgram program = {};
    program.nsymbols = 5;
    program.symbols = rows;
    collectMarkedSymbols(model, program);
    EXPECT_STREQ("x", rows[0].label.text());
    EXPECT_STREQ("dx", rows[1].label.text());
    EXPECT_STREQ(b->signalName(1).text(), rows[2].label.text());
    EXPECT_STREQ("", rows[3].label.text());
    EXPECT_STREQ("", rows[4].label.text());
    program.symbols = nullptr;
}

// ---- Painting ----

TEST(CircuitPaint, FramesFirstThenBlocksThenLines)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane, Point(10, 10));
    BlockObject* a = model.createBlock(Point(2, 2), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* b = model.createBlock(Point(20, 2), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    ConnectionObject* c = model.createConnection(a, PortRef{2, 1}, b, PortRef{1, 1});
    BlockObject* frame = model.createBlock(Point(1, 1), Point(40, 10), world.standard("frame.blk").c_str(), "Standard", 0);
    ASSERT_TRUE(a && b && c && frame);
    pane.dc.ops.clear();
    model.paint(pane, Rect(0, 0, 2000, 2000));
    int frameAt = indexOf(pane.dc.ops, rectOp(model, frame));
    int aAt = indexOf(pane.dc.ops, rectOp(model, a));
    int bAt = indexOf(pane.dc.ops, rectOp(model, b));
    Point endA = ConnectionObject::endPoint(a, PortRef{2, 1}, 10, 10);
    int lineAt = indexOf(pane.dc.ops, "moveTo " + std::to_string(endA.x()) + " " + std::to_string(endA.y()));
    ASSERT_TRUE(frameAt >= 0 && aAt >= 0 && bAt >= 0 && lineAt >= 0);
    EXPECT_LT(frameAt, aAt);
    EXPECT_LT(aAt, bAt);
    EXPECT_LT(bAt, lineAt);

    // The connection being made: its start and fixed points, no more.
    model.connectPending = 1;
    model.connectBlock = b;
    model.connectPort = PortRef{2, 1};
    model.pendingPoints = {Point(400, 50), Point(400, 90)};
    pane.dc.ops.clear();
    model.paint(pane, Rect(0, 0, 2000, 2000));
    ASSERT_GE(pane.dc.ops.size(), 3u);
    EXPECT_EQ("lineTo 400 90", pane.dc.ops.back());
    EXPECT_EQ("lineTo 400 50", pane.dc.ops[pane.dc.ops.size() - 2]);
}

TEST(CircuitPaint, BlocksOutsideTheUpdateAreaAreSkipped)
{
    LocalWorld world;
    RecordingPane pane;
    CircuitModel model(&pane, Point(10, 10));
    // Ends at x = 70: the update area starts 9 and 10 pixels further right.
    BlockObject* a = model.createBlock(Point(1, 1), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* far = model.createBlock(Point(30, 0), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    ConnectionObject* c = model.createConnection(a, PortRef{2, 1}, far, PortRef{1, 1});
    ASSERT_TRUE(c);
    const struct {
        int left;
        bool painted;
    } cases[] = {{79, true}, {80, false}};
    for (const auto& k : cases) {
        pane.dc.ops.clear();
        model.paint(pane, Rect(k.left, 0, 100, 100));
        EXPECT_EQ(k.painted, indexOf(pane.dc.ops, rectOp(model, a)) >= 0) << k.left;
        // The line is painted whatever the area.
        Point endA = ConnectionObject::endPoint(a, PortRef{2, 1}, 10, 10);
        EXPECT_GE(indexOf(pane.dc.ops, "moveTo " + std::to_string(endA.x())), 0);
    }
}

TEST(CircuitPaint, PrintingAtHalfTheScreenSize)
{
    LocalWorld world;
    RecordingPane pane, printer;
    CircuitModel model(&pane, Point(41, 41));
    BlockObject* a = model.createBlock(Point(2, 2), Point(6, 3), world.standard("pt1.blk").c_str(), "Standard", 0);
    ASSERT_TRUE(a);
    EXPECT_EQ(Point(21, 21), CircuitModel::printGrid(Point(41, 41), 1.0, 1.0));
    EXPECT_EQ(Point(62, 103), CircuitModel::printGrid(Point(41, 41), 3.0, 5.0));
    int printedDuring = -1;
    struct Watch : RecordingPane {
        int* seen;
        void notePainted() override { *seen = theWorkspace->printing; }
    } watch;
    watch.seen = &printedDuring;
    model.printInto(watch, 1.0, 1.0, Rect(0, 0, 827, 1169));
    EXPECT_EQ(1, printedDuring);
    // The block at 21 pixels a unit.
    std::string printed = "rectangle 42 42 " + std::to_string((2 + a->size.x()) * 21) + " " +
                          std::to_string((2 + a->size.y()) * 21);
    EXPECT_GE(indexOf(watch.dc.ops, printed), 0);
    EXPECT_EQ(Point(41, 41), model.getZoom());
    EXPECT_EQ(0, world.workspace.printing);
}

// ---- Library Local ----

TEST(LocalLibrary, UniqueNames)
{
    LocalWorld world;
    LocalBlockLibrary::addEntry("PT1", "PT1");
    const struct {
        const char* name;
        const char* unique;
    } cases[] = {
        {"pt1", "w0pt1"}, {"w3pt1", "w0pt1"}, {"pid", "pid"}, {"", "w0"}, {"w12", "w0"}, {"W7pid", "pid"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.unique, LocalBlockLibrary::uniqueBlockName(c.name).text()) << c.name;
    LocalBlockLibrary::addEntry("x", "w0pt1");
    EXPECT_STREQ("w1pt1", LocalBlockLibrary::uniqueBlockName("pt1").text());
    // A file in the directory takes its name even without an entry.
    world.scratch.write("local/frei", "BLOCK F;\nENDBLOCK\n");
    EXPECT_STREQ("w0frei", LocalBlockLibrary::uniqueBlockName("frei").text());
    EXPECT_EQ(0, LocalBlockLibrary::isFileNameFree(""));
}

TEST(LocalLibrary, ImportRemoveAndTheIndex)
{
    LocalWorld world;
    String file;
    ASSERT_EQ(1, LocalBlockLibrary::importBlock(world.standard("pt1.blk").c_str(), "pt1", 0, &file));
    EXPECT_STREQ("pt1", file.text());
    EXPECT_EQ("$[Lokale Bloecke]\npt1,pt1\n", world.index());
    EXPECT_EQ(readFileBytes(world.standard("pt1.blk")), world.scratch.read("local/pt1"));

    // The register-only form enters the name as given.
    world.scratch.write("local/eigen", "BLOCK E;\nENDBLOCK\n");
    ASSERT_EQ(1, LocalBlockLibrary::importBlock("eigen", "Eigen", 1));
    EXPECT_EQ("$[Lokale Bloecke]\npt1,pt1\nEigen,eigen\n", world.index());

    ASSERT_EQ(1, LocalBlockLibrary::removeBlock("PT1"));
    EXPECT_EQ("$[Lokale Bloecke]\nEigen,eigen\n", world.index());
    // The file stays for undo, and nothing is written over it.
    EXPECT_TRUE(world.scratch.exists("local/pt1"));
    EXPECT_STREQ("w0pt1", LocalBlockLibrary::uniqueBlockName("pt1").text());

    // A source that does not open: 20907.
    EXPECT_EQ(0, LocalBlockLibrary::importBlock("/nicht/da.blk", nullptr));
    ASSERT_FALSE(world.rec.sink.boxes.empty());
    EXPECT_NE(std::string::npos, world.rec.sink.boxes.back().find("/nicht/da.blk"));
}

TEST(LocalLibrary, ImportWithoutLocal)
{
    LocalWorld world(LocalWorld::NONE);
    EXPECT_EQ(0, LocalBlockLibrary::importBlock(world.standard("pt1.blk").c_str(), "pt1"));
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, world.rec.sink.boxes[0].find(getResString(kResLocalNoDirectory)));
}

TEST(LocalLibrary, EmbeddedBlocksOfACircuit)
{
    LocalWorld world;
    LocalBlockLibrary::addEntry("pt1", "pt1");
    std::string longLine = "# " + std::string(5000, 'z');
    std::string circuit = "CIRCUIT x;\n@START_BFL\n$[Lokale Bloecke]\npt1,pt1\n@END_BFL\n"
                          "@START_BLOCK \"pt1\"\nBLOCK PT1;\n" +
                          longLine +
                          "\nENDBLOCK\n@END_BLOCK\n"
                          "@START_BLOCK \"Regler\"\nBLOCK R;\nENDBLOCK@END_BLOCK\n"
                          "@START_BLOCK \"offen\"\nBLOCK O;\n"
                          "@END_LOCALLIB\nUSE pt1 P1;\n";
    std::string path = world.scratch.write("c.kyt", circuit);
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_TRUE(f);
    CircuitReader reader(0);
    LocalBlockLibrary::readFromCircuit(f, &reader);
    fclose(f);
    // pt1 was taken: the block is w0pt1, and USE pt1 finds it by the rename.
    ASSERT_EQ(1u, reader.typeRenames.size());
    EXPECT_STREQ("pt1", reader.typeRenames[0].first.text());
    EXPECT_STREQ("w0pt1", reader.typeRenames[0].second.text());
    EXPECT_EQ("BLOCK PT1;\n" + longLine + "\nENDBLOCK\n", world.scratch.read("local/w0pt1"));
    EXPECT_EQ("BLOCK R;\nENDBLOCK\n", world.scratch.read("local/regler"));
    EXPECT_EQ("BLOCK O;\n", world.scratch.read("local/offen"));
    EXPECT_EQ("$[Lokale Bloecke]\npt1,pt1\npt1,w0pt1\nRegler,regler\noffen,offen\n", world.index());
}

TEST(LocalLibrary, ResetEmptiesOnlyItsOwnDirectory)
{
    {
        LocalWorld world;
        world.scratch.write("local/alt", "x");
        LocalBlockLibrary::addEntry("alt", "alt");
        LocalBlockLibrary library;
        library.reset();
        EXPECT_FALSE(world.scratch.exists("local/alt"));
        EXPECT_EQ("", world.index());
        EXPECT_EQ(0, LocalBlockLibrary::findLocalLibrary()->sectionCount);
        EXPECT_TRUE(world.rec.sink.boxes.empty());
    }
    {
        // Local at the circuit directory: the user's circuits stay, and no
        // index is written among them.
        LocalWorld atCircuits(LocalWorld::AT_CIRCUITS);
        std::string kyt = atCircuits.scratch.write("circuits/regel.kyt", "CIRCUIT r;\n");
        LocalBlockLibrary::addEntry("alt", "alt");
        LocalBlockLibrary library;
        library.reset();
        EXPECT_EQ("CIRCUIT r;\n", readFileBytes(kyt));
        EXPECT_FALSE(atCircuits.scratch.exists("circuits/ablocks.bfl"));
        ASSERT_EQ(1u, atCircuits.rec.sink.boxes.size());
        EXPECT_NE(std::string::npos, atCircuits.rec.sink.boxes[0].find("nicht gel\xF6scht"));
        EXPECT_EQ(0, LocalBlockLibrary::findLocalLibrary()->sectionCount);
    }
}

TEST(LocalLibrary, TheLockKeepsASecondInstanceAway)
{
    LocalWorld world;
    LocalBlockLibrary first, second;
    ASSERT_EQ(1, first.acquireLock());
    EXPECT_EQ(0, second.acquireLock());
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, world.rec.sink.boxes[0].find(world.scratch.file("tmp") + "/kyt.lock"));
    first.close();
    EXPECT_EQ(1, second.acquireLock());
    second.close();

    LocalWorld noLocal(LocalWorld::NONE);
    LocalBlockLibrary third;
    EXPECT_EQ(0, third.acquireLock());
    ASSERT_EQ(1u, noLocal.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, noLocal.rec.sink.boxes[0].find(getResString(kResNoLocalLibrary)));
}
