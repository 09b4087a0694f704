// The block object: fitting of the height to the ports, text, caption,
// signal names, help text, an unreadable description, and the geometry of
// ports and hits.
#include "CircuitTestSupport.h"

#include <gtest/gtest.h>

namespace {

const char* const kLayoutTail =
    " $ TEXT \"t\" $ TEXTALIG 1 1 1 0 $ ICONNAME \"*** NO PIC ***\" $ ICONDIM 1 1 $ ICONALIG 1 1 0 ";

std::string withSize(int w, int h, const std::string& declarations)
{
    return "BLOCK b; $ BLOCKDIM -1 -1 " + std::to_string(w) + " " + std::to_string(h) + kLayoutTail +
           declarations;
}

} // namespace

TEST(BlockObject, HeightFitsThePorts)
{
    struct Case {
        const char* name;
        int height;
        const char* declarations;
        int fitted;
    } const cases[] = {
        {"no ports keep the height", 4, "", 4},
        {"one port makes an even height odd", 4, "INPUT u;", 5},
        {"one port at an odd height", 5, "OUTPUT y;", 5},
        {"three ports at equal spacing", 4, "INPUT a; b; c;", 5},
        {"five inputs", 6, "INPUT a; b; c; d; e;", 9},
        // A mended fault: two outputs at height 3 shared one row.
        {"one input, two outputs", 3, "INPUT u; OUTPUT y1; y2;", 4},
        {"two inputs, two outputs", 3, "INPUT u1; u2; OUTPUT y1; y2;", 4},
        {"three outputs", 3, "OUTPUT a; b; c;", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CircuitWorld world;
        auto b = world.described(withSize(6, c.height, c.declarations));
        EXPECT_EQ(0, b->errorFlag);
        EXPECT_EQ(c.fitted, b->getHeight());
        EXPECT_EQ(b->size, b->standardSize);
        // Every port has a row of its own, inside the block.
        for (int side = 1; side <= 2; ++side) {
            int n = side == 1 ? b->inputCount : b->outputCount;
            for (int i = 1; i <= n; ++i) {
                int row = b->portPosition(side, i).y();
                EXPECT_GE(row, 1);
                EXPECT_LE(row, b->getHeight());
                for (int j = 1; j < i; ++j)
                    EXPECT_NE(b->portPosition(side, j).y(), row) << side << " " << i;
            }
        }
    }
}

TEST(BlockObject, DefaultSizeAndRaisedGeometry)
{
    CircuitWorld world;
    BlockObject small(Point(2, 3), Point(2, 2), "", "Standard");
    EXPECT_EQ(Point(4, 3), small.size);
    EXPECT_EQ(Point(3, 2), small.iconDim);
    EXPECT_STREQ("Block", small.getText().text());
    EXPECT_STREQ(kNoPictureName, small.getIconName().text());

    auto mixed = world.described(withSize(6, 3, "INPUT u; OUTPUT y1; y2;"));
    ASSERT_EQ(4, mixed->getHeight());
    EXPECT_EQ(2, mixed->portPosition(2, 1).y());
    EXPECT_EQ(3, mixed->portPosition(2, 2).y());
    // A lower height asked for later is raised as well.
    mixed->setGeometry(7, 2);
    EXPECT_EQ(Point(7, 4), mixed->size);
    EXPECT_EQ(Rect(0, 0, 7, 4), mixed->getRect());
}

TEST(BlockObject, TextAndCaption)
{
    CircuitWorld world;
    BlockObject b(Point(0, 0), Point(4, 3), "", "Regler");
    b.setText("a\r\n\r\nb");
    ASSERT_EQ(3u, b.textLines.size());
    EXPECT_STREQ(" ", b.textLines[1].text());
    EXPECT_STREQ("a\r\n \r\nb", b.getText().text());
    b.setText("a\n\nb\r");
    ASSERT_EQ(2u, b.textLines.size());
    EXPECT_STREQ("b", b.textLines[1].text());
    b.setName("P1");
    b.setTypeName("pid");
    EXPECT_STREQ("P1 [Regler : pid]", b.caption().text());
}

TEST(BlockObject, SignalNamesAreRegisteredAndFreed)
{
    CircuitWorld world;
    {
        auto first = world.block("pt1.blk");
        auto second = world.block("pt1.blk");
        EXPECT_STREQ("y", first->signalName(1).text());
        EXPECT_STREQ("y_1", second->signalName(1).text());
        EXPECT_STREQ("", first->signalName(2).text());
        // An output without a model name gets an automatic one.
        second->setPortCount(1, 2);
        EXPECT_STREQ("Sig 1", second->signalName(2).text());
        EXPECT_EQ(3, world.registry.count());
        second->setPortCount(2, 1);
        EXPECT_EQ(0, world.registry.contains("Sig 1"));
        EXPECT_EQ(2, world.registry.count());
    }
    EXPECT_EQ(0, world.registry.count());
    EXPECT_EQ(0, world.registry.contains("y"));
}

TEST(BlockObject, PortsByNameAndMarks)
{
    CircuitWorld world;
    auto b = world.block("mimo.blk");
    EXPECT_EQ((PortRef{1, 2}), b->portIndexByName("u2"));
    EXPECT_EQ((PortRef{2, 1}), b->portIndexByName("y1"));
    EXPECT_EQ((PortRef{0, 0}), b->portIndexByName("z"));
    EXPECT_STREQ("y2", b->portModelName(2, 2).text());
    EXPECT_STREQ("", b->portModelName(1, 3).text());

    auto pt1 = world.block("pt1.blk");
    pt1->setParameterValue("T", "2.5");
    pt1->setParameterValue("X", "9");
    EXPECT_STREQ("2.5", BlockObject::at(pt1->parameterValues, 1).text());
    EXPECT_EQ(2, pt1->parameterCount);
    EXPECT_EQ(0, pt1->anyOutputMarked());
    pt1->symbolMarks[pt1->symbolMarkIndex(SYMBOL_OUTPUT, 0)] = 1;
    EXPECT_EQ(1, pt1->anyOutputMarked());
    EXPECT_EQ(0, pt1->anyOtherSymbolMarked());
    pt1->symbolMarks[pt1->symbolMarkIndex(SYMBOL_PARAMETER, 1)] = 1;
    EXPECT_EQ(1, pt1->anyOtherSymbolMarked());
}

TEST(BlockObject, MarkOrder)
{
    CircuitWorld world;
    // One output, four parameters, two variables, one state.
    auto b = world.block("pid.blk");
    ASSERT_EQ(9u, b->symbolMarks.size());
    EXPECT_EQ(0, b->symbolMarkIndex(SYMBOL_OUTPUT, 0));
    EXPECT_EQ(1, b->symbolMarkIndex(SYMBOL_STATE, 0));
    EXPECT_EQ(2, b->symbolMarkIndex(SYMBOL_DERIVATIVE, 0));
    EXPECT_EQ(3, b->symbolMarkIndex(SYMBOL_VARIABLE, 0));
    EXPECT_EQ(4, b->symbolMarkIndex(SYMBOL_VARIABLE, 1));
    EXPECT_EQ(5, b->symbolMarkIndex(SYMBOL_PARAMETER, 0));
    EXPECT_EQ(8, b->symbolMarkIndex(SYMBOL_PARAMETER, 3));
    EXPECT_EQ(-1, b->symbolMarkIndex(SYMBOL_PARAMETER, 4));
    EXPECT_EQ(-1, b->symbolMarkIndex(SYMBOL_OUTPUT, 1));
    EXPECT_EQ(-1, b->symbolMarkIndex(7, 0));
}

TEST(BlockObject, HelpText)
{
    CircuitWorld world;
    auto pid = world.block("pid.blk");
    EXPECT_STREQ("PID-Regler mit Begrenzung.\r\n\r\nParameter: Kp, Ti, Td.\r\n", pid->readHelpText().text());
    EXPECT_TRUE(world.rec.sink.boxes.empty());

    auto control = world.block("control.blk");
    EXPECT_STREQ("", control->readHelpText().text());
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_EQ("Es ist leider keine Hilfe verf\xFCgbar!", world.rec.sink.boxes[0]);
}

TEST(BlockObject, OverlongHelpText)
{
    // A library of its own, its directory in mixed case: the help file is
    // opened by its lower-cased path.
    CircuitWorld world;
    ScratchDir lib;
    std::string text = "BLOCK lang;\n";
    for (int i = 0; i < 200; ++i)
        text = "#" + std::string(99, 'h') + "\n" + text;
    std::string file = lib.write("Lang.blk", text);
    world.workspace.libraries.ElementAt(world.workspace.libraryCount).name = "Eigene";
    world.workspace.libraries.ElementAt(world.workspace.libraryCount).file = lib.path.c_str();
    ++world.workspace.libraryCount;
    BlockObject b(Point(0, 0), Point(0, 0), file.c_str(), "Eigene");
    EXPECT_EQ(0, b.errorFlag);
    EXPECT_STREQ("lang.blk", b.typeName.text());
    EXPECT_STREQ("", b.readHelpText().text());
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_EQ("Warnung: Hilfetext zu lang f\xFCr die Anzeige!", world.rec.sink.boxes[0]);
}

TEST(BlockObject, MissingDescriptionKeepsTheDefaultBlock)
{
    CircuitWorld world;
    std::string path = world.library("fehlt.blk");
    BlockObject b(Point(1, 1), Point(6, 5), path.c_str(), "Standard");
    EXPECT_EQ(1, b.errorFlag);
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_EQ("Fehler: Die Datei >" + path + "< kann nicht gelesen werden!\n(Bibliothek: Standard)!",
              world.rec.sink.boxes[0]);
    EXPECT_EQ(1, world.rec.sink.beeps);
    EXPECT_EQ(Point(6, 5), b.size);
    EXPECT_EQ(0, b.inputCount + b.outputCount);
    EXPECT_TRUE(b.signals.empty());
    EXPECT_STREQ("Block", b.getText().text());
}

TEST(BlockGeometry, PortsAndHits)
{
    CircuitWorld world;
    auto b = world.described(withSize(4, 3, "INPUT u; OUTPUT y;"));
    b->moveTo(Point(10, 5));
    struct Hit {
        int x, y;
        int block, corner;
    } const hits[] = {
        {100, 50, 1, 0}, {140, 80, 1, 1}, {141, 80, 0, 0}, {99, 60, 0, 0},
        {135, 75, 1, 1}, {134, 75, 1, 0}, {140, 74, 1, 0}, {120, 81, 0, 0},
    };
    for (const Hit& h : hits) {
        SCOPED_TRACE(std::to_string(h.x) + "," + std::to_string(h.y));
        EXPECT_EQ(h.block, b->hitTest(Point(h.x, h.y), 10, 10));
        EXPECT_EQ(h.corner, b->hitResizeCorner(Point(h.x, h.y), 10, 10));
    }
    // Height 3 with one port each: row 2.
    PortRef port{0, 0};
    EXPECT_EQ(1, b->hitPort(105, 65, port, 10, 10));
    EXPECT_EQ((PortRef{1, 1}), port);
    EXPECT_EQ(1, b->hitPort(135, 65, port, 10, 10));
    EXPECT_EQ((PortRef{2, 1}), port);
    // The middle column and other rows hit no port.
    EXPECT_EQ(0, b->hitPort(120, 65, port, 10, 10));
    EXPECT_EQ(0, b->hitPort(105, 55, port, 10, 10));
    EXPECT_EQ(0, b->hitPort(105, 65, port, 10, 0));
    EXPECT_EQ(Point(105, 65), b->portPoint(1, 2, 10, 10));
    EXPECT_EQ(Point(135, 65), b->portPoint(2, 2, 10, 10));
}

TEST(BlockGeometry, PortRows)
{
    CircuitWorld world;
    struct Case {
        int height;
        const char* declarations;
        int side;
        std::vector<int> rows;
    } const cases[] = {
        {5, "INPUT a; b;", 1, {1, 5}},
        {5, "OUTPUT a; b;", 2, {2, 4}},
        {5, "INPUT a;", 1, {3}},
        {5, "OUTPUT a;", 2, {3}},
        {5, "INPUT a; b; c;", 1, {1, 3, 5}},
        {5, "OUTPUT a; b; c;", 2, {2, 3, 4}},
        {5, "", 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.declarations);
        auto b = world.described(withSize(6, c.height, c.declarations));
        ASSERT_EQ(c.height, b->getHeight());
        for (size_t i = 0; i < c.rows.size(); ++i)
            EXPECT_EQ(Point(c.side, c.rows[i]), b->portPosition(c.side, static_cast<int>(i) + 1));
        if (c.rows.empty()) {
            EXPECT_EQ(0, b->portPosition(c.side, 1).y());
        }
    }
}

TEST(BlockGeometry, MirroredBlockHasItsOutputsOnTheLeft)
{
    CircuitWorld world;
    auto b = world.block("mimo.blk");
    b->mirrored = 1;
    b->moveTo(Point(2, 2));
    ASSERT_EQ(Point(6, 4), b->size);
    PortRef port{0, 0};
    // Outputs sit on rows 2 and 3 of the left column, inputs on rows 1 and 4
    // of the right one.
    EXPECT_EQ(1, b->hitPort(25, 35, port, 10, 10));
    EXPECT_EQ((PortRef{2, 1}), port);
    EXPECT_EQ(1, b->hitPort(25, 45, port, 10, 10));
    EXPECT_EQ((PortRef{2, 2}), port);
    EXPECT_EQ(0, b->hitPort(25, 25, port, 10, 10));
    EXPECT_EQ(1, b->hitPort(75, 25, port, 10, 10));
    EXPECT_EQ((PortRef{1, 1}), port);
    EXPECT_EQ(1, b->hitPort(75, 55, port, 10, 10));
    EXPECT_EQ((PortRef{1, 2}), port);
    EXPECT_EQ(Point(25, 35), b->portPoint(2, 2, 10, 10));
    EXPECT_EQ(Point(75, 25), b->portPoint(1, 1, 10, 10));
}

TEST(GraphicObject, BaseOperations)
{
    GraphicObject o(Point(3, 4));
    RecordingPane pane;
    EXPECT_EQ(65535, o.kind());
    EXPECT_EQ(0, o.hitTest(Point(3, 4), 10, 10));
    EXPECT_EQ(Point(0, 0), o.portPosition(2, 1));
    o.moveTo(Point(5, 7));
    EXPECT_EQ(Rect(5, 7, 5, 7), o.getRect());
    EXPECT_EQ(Point(50, 70), o.scalePosition(10, 10));
    o.rect = Rect(5, 7, 9, 10);
    pane.offset = Point(10, 20);
    o.invalidate(pane, 10, 10, 1);
    ASSERT_EQ(1u, pane.invalidated.size());
    EXPECT_EQ(Rect(40, 50, 80, 80), pane.invalidated[0]);
}
