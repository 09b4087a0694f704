// Painting blocks onto the recording canvas: pens and fills by kind and
// state, names beside the ports, the mark dot, icon and text placement, and
// the balance of every push and pop.
#include "CircuitTestSupport.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool has(const std::vector<std::string>& ops, const std::string& op)
{
    return std::find(ops.begin(), ops.end(), op) != ops.end();
}

int countOf(const std::vector<std::string>& ops, const std::string& prefix)
{
    return static_cast<int>(std::count_if(ops.begin(), ops.end(), [&](const std::string& op) {
        return op.compare(0, prefix.size(), prefix) == 0;
    }));
}

void expectBalanced(const RecordingCanvas& dc)
{
    EXPECT_TRUE(dc.pens.empty());
    EXPECT_TRUE(dc.brushes.empty());
    EXPECT_TRUE(dc.fonts.empty());
    EXPECT_FALSE(dc.clipped);
    EXPECT_EQ(countOf(dc.ops, "pen "), countOf(dc.ops, "popPen"));
    EXPECT_EQ(countOf(dc.ops, "brush "), countOf(dc.ops, "popBrush"));
    EXPECT_EQ(countOf(dc.ops, "font "), countOf(dc.ops, "popFont"));
}

String drivingSignal(const BlockObject&, int input)
{
    return input == 1 ? String("e") : String();
}

} // namespace

TEST(BlockPaint, PensAndFillsByKindAndState)
{
    CircuitWorld world;
    struct Case {
        const char* name;
        const char* file;
        int mark, highlight, outline;
        const char* pen;
        const char* fill;
        bool frame;
    } const cases[] = {
        {"plain", "pt1.blk", 0, 0, 1, "pen 0 1 0,0,0", "brush 100 255,255,255", true},
        {"marked", "pt1.blk", 1, 0, 1, "pen 0 1 0,0,0", "brush 100 192,192,192", true},
        {"highlighted", "pt1.blk", 0, 1, 1, "pen 0 1 0,0,0", "brush 100 255,0,0", true},
        {"marked before highlighted", "pt1.blk", 1, 1, 1, "pen 0 1 0,0,0", "brush 100 192,192,192", true},
        {"frame block", "frame.blk", 0, 0, 1, "pen 0 1 0,0,128", "brush 100 255,255,0", true},
        {"frame block without outline", "frame.blk", 0, 0, 0, "pen 5 1 0,0,128", "brush 100 255,255,0", true},
        {"marked frame block", "frame.blk", 1, 0, 0, "pen 1 1 0,0,128", "brush 100 255,255,0", true},
        {"text block", "text.blk", 0, 0, 1, "pen 0 1 0,0,0", "brush 100 255,255,255", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto b = world.block(c.file, Point(1, 2));
        b->markWord = c.mark;
        b->highlightWord = c.highlight;
        if (c.outline == 0)
            b->frameOutline = 0;
        RecordingPane pane;
        pane.dc.charWidth = 1;
        b->paint(pane, 10, 10);
        const auto& ops = pane.dc.ops;
        ASSERT_GE(ops.size(), 3u);
        EXPECT_EQ("bkMode 1", ops[0]);
        EXPECT_EQ(c.pen, ops[1]);
        EXPECT_EQ(c.fill, ops[2]);
        int w = b->getWidth() * 10, h = b->getHeight() * 10;
        std::string frame = "rectangle 10 20 " + std::to_string(10 + w) + " " + std::to_string(20 + h);
        EXPECT_EQ(c.frame, has(ops, frame));
        EXPECT_GE(pane.painted, 1);
        expectBalanced(pane.dc);
    }
}

TEST(BlockPaint, FrameNamesAndPortMarks)
{
    CircuitWorld world;
    auto b = world.block("pt1.blk");
    ASSERT_EQ(Point(6, 5), b->size);
    RecordingPane pane;
    b->paint(pane, 10, 10);
    const auto& ops = pane.dc.ops;
    // The thick right and bottom edges.
    EXPECT_TRUE(has(ops, "rectangle 0 0 60 50"));
    EXPECT_TRUE(has(ops, "moveTo 60 0"));
    EXPECT_TRUE(has(ops, "lineTo 60 50"));
    EXPECT_TRUE(has(ops, "lineTo 0 50"));
    // The output's name in blue, 0.4 grid units right of the edge, in its
    // row (3 of 5); the rectangle grows by its width.
    EXPECT_TRUE(has(ops, "textColor 0,0,255"));
    EXPECT_TRUE(has(ops, "font Arial 10 400"));
    EXPECT_TRUE(has(ops, "textOut 64 20 y"));
    EXPECT_EQ(2, b->rightOverhang);
    EXPECT_EQ(Rect(0, 0, 10, 7), b->getRect());
    // The text in the block's font.
    EXPECT_TRUE(has(ops, "font Arial -9 400"));
    EXPECT_EQ(1, countOf(ops, "textOut ") - 1);
    expectBalanced(pane.dc);
}

TEST(BlockPaint, PrintingDrawsTheFrameOnceMoreOnTop)
{
    CircuitWorld world;
    auto plain = world.block("pt1.blk");
    auto frame = world.block("frame.blk");
    world.workspace.printing = 1;
    RecordingPane pane;
    plain->paint(pane, 10, 10);
    EXPECT_EQ(2, countOf(pane.dc.ops, "rectangle 0 0 60 50"));
    // The second one hollow, after the text.
    auto last = std::find(pane.dc.ops.rbegin(), pane.dc.ops.rend(), "rectangle 0 0 60 50");
    EXPECT_EQ("brush 101 0,0,0", *(last + 1));
    pane.dc.ops.clear();
    frame->paint(pane, 10, 10);
    EXPECT_EQ(1, countOf(pane.dc.ops, "rectangle "));
    expectBalanced(pane.dc);
}

TEST(BlockPaint, ConnectStartAndInputNames)
{
    CircuitWorld world;
    setInputSignalLookup(drivingSignal);
    world.workspace.showInputSignalNames = 1;
    auto b = world.block("mimo.blk");
    b->setConnectStart(1, 2);
    RecordingPane pane;
    pane.dc.charWidth = 6;
    b->paint(pane, 10, 10);
    setInputSignalLookup(nullptr);
    const auto& ops = pane.dc.ops;
    // Input 1 is named left of the block; input 2 has no driver.
    EXPECT_TRUE(has(ops, "textOut -10 0 e"));
    EXPECT_EQ(2, b->leftOverhang);
    EXPECT_EQ(-2, b->getRect().left());
    // The port where a connection starts is marked in red.
    EXPECT_EQ(1, countOf(ops, "pen 0 1 255,0,0"));
    auto red = std::find(ops.begin(), ops.end(), "pen 0 1 255,0,0");
    ASSERT_NE(ops.end(), red);
    EXPECT_EQ("moveTo 0 33", *(red + 1));
    EXPECT_EQ(0, b->clearConnectStart());
    expectBalanced(pane.dc);
}

TEST(BlockPaint, RedDotForRecordedInnerSymbols)
{
    CircuitWorld world;
    auto b = world.block("pt1.blk");
    RecordingPane pane;
    b->symbolMarks[b->symbolMarkIndex(SYMBOL_OUTPUT, 0)] = 1;
    b->paint(pane, 15, 15);
    EXPECT_EQ(0, countOf(pane.dc.ops, "ellipse "));
    b->symbolMarks[b->symbolMarkIndex(SYMBOL_PARAMETER, 0)] = 1;
    pane.dc.ops.clear();
    b->paint(pane, 15, 15);
    // Radius trunc(0.2 * 15) = 3 at the top-right inner corner.
    EXPECT_TRUE(has(pane.dc.ops, "ellipse 87 3 3"));
    EXPECT_TRUE(has(pane.dc.ops, "brush 100 255,0,0"));
    expectBalanced(pane.dc);
}

TEST(BlockPaint, IconFittedToTheBlock)
{
    CircuitWorld world;
    world.icons.add("MT 0 0 LT 10 10", "diag");
    auto b = world.described(
        "BLOCK b; $ BLOCKDIM -1 -1 8 5 $ TEXT \"\" $ TEXTALIG 0 0 0 0 $ ICONNAME \"diag\" $ ICONDIM 1 1 "
        "$ ICONALIG 0 0 1");
    ASSERT_EQ(Point(8, 5), b->size);
    RecordingPane pane;
    b->paint(pane, 10, 10);
    EXPECT_EQ(Point(6, 4), b->iconDim);
    EXPECT_TRUE(has(pane.dc.ops, "clip 0 0 80 50"));
    // 60 x 40 pixels from (10, 5), inside a margin of 1.
    EXPECT_TRUE(has(pane.dc.ops, "moveTo 11 6"));
    EXPECT_TRUE(has(pane.dc.ops, "lineTo 69 44"));
    expectBalanced(pane.dc);
}

TEST(BlockPaint, TextBlockTakesTheSizeOfItsText)
{
    CircuitWorld world;
    auto b = world.block("text.blk");
    b->scale = 1.0;
    b->setText(std::string(53, 'x').c_str());
    RecordingPane pane;
    pane.dc.charWidth = 1;
    pane.dc.lineHeight = 14;
    b->paint(pane, 10, 10);
    EXPECT_EQ(Point(7, 2), b->size);
    EXPECT_EQ(2, pane.painted);
    // No frame while not marked.
    EXPECT_EQ(0, countOf(pane.dc.ops, "rectangle"));
    // While printing the size stays.
    world.workspace.printing = 1;
    b->setText(std::string(20, 'x').c_str());
    pane.dc.ops.clear();
    b->paint(pane, 10, 10);
    EXPECT_EQ(Point(7, 2), b->size);
    expectBalanced(pane.dc);
}

TEST(BlockPaint, ParametersListedUnderTheText)
{
    CircuitWorld world;
    auto b = world.block("pid.blk");
    b->mirrored = 0;
    RecordingPane pane;
    pane.dc.charWidth = 1;
    pane.dc.lineHeight = 8;
    pane.dc.leading = 1;
    b->paint(pane, 10, 10);
    const auto& ops = pane.dc.ops;
    // Text origin (10, 5), centred lines; parameters follow the text.
    std::vector<std::string> texts;
    for (const std::string& op : ops)
        if (op.compare(0, 8, "textOut ") == 0)
            texts.push_back(op);
    ASSERT_GE(texts.size(), 5u);
    EXPECT_NE(std::string::npos, texts[texts.size() - 4].find(" Kp=2.5"));
    EXPECT_NE(std::string::npos, texts[texts.size() - 2].find(" title=\"PID mit Grenze\""));
    EXPECT_NE(std::string::npos, texts.back().find(" port=\"com1\""));
    expectBalanced(pane.dc);
}

TEST(BlockPaint, PaintToDrawsTheOutlineTwiceAndRestores)
{
    CircuitWorld world;
    auto b = world.block("pt1.blk");
    RecordingCanvas dc;
    dc.rop2 = 13;
    b->paintTo(dc, Point(5, 6), Point(25, 36), 10, 10);
    EXPECT_EQ((std::vector<std::string>{"rop2 7", "brush 101 0,0,0", "pen 2 1 128,128,128",
                                        "rectangle 5 6 65 56", "rectangle 25 36 85 86", "popPen",
                                        "popBrush", "rop2 13"}),
              dc.ops);
    expectBalanced(dc);
}
