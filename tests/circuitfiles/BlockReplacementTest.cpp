// Replacing a block by a rebuilt one: connections move port by port, the
// surplus stays with the old block, signal names, marks, parameters, size
// and text carry over as the callers ask.
#include "CircuitModel.h"
#include "CircuitTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class Replacement : public ::testing::Test {
protected:
    BlockObject* make(const std::string& file, int x = 2, int y = 2)
    {
        return model.createBlock(Point(x, y), Point(0, 0), world.library(file).c_str(), "Standard", 1);
    }
    BlockObject* makeDescribed(const std::string& text)
    {
        std::string path = world.scratch.write("n" + std::to_string(++made) + ".blk", text);
        return model.createBlock(Point(2, 2), Point(0, 0), path.c_str(), "Standard", 1);
    }
    ConnectionObject* connect(BlockObject* a, PortRef pa, BlockObject* b, PortRef pb)
    {
        ConnectionObject* c = new ConnectionObject(a, pa, b, pb);
        model.objects.push_back(c);
        return c;
    }
    bool inUndo(GraphicObject* o) const
    {
        return std::find(model.undoList.begin(), model.undoList.end(), o) != model.undoList.end();
    }

    CircuitWorld world;
    CircuitModel model;
    int made = 0;
};

TEST_F(Replacement, SameOutputNameKeepsSignalAndMarkOtherNameOnlyTheSignal)
{
    for (bool sameName : {true, false}) {
        BlockObject* old = make("mimo.blk");
        ASSERT_NE(old, nullptr);
        std::string oldSignal = old->signalName(2).text();
        old->symbolMarks[1] = 1;
        BlockObject* fresh = makeDescribed(std::string("BLOCK N;\nINPUT u1; u2;\nOUTPUT y1; ") +
                                           (sameName ? "y2" : "z2") + ";\nSIM\nENDBLOCK\n");
        ASSERT_NE(fresh, nullptr);
        model.replaceBlock(old, fresh, 1, 0);
        EXPECT_EQ(fresh->signalName(2).text(), oldSignal) << sameName;
        EXPECT_EQ(old->signalName(2).text(), oldSignal + "x") << sameName;
        EXPECT_EQ(BlockObject::at(fresh->symbolMarks, 1), sameName ? 1 : 0);
        EXPECT_TRUE(inUndo(old));
        EXPECT_FALSE(model.contains(old));
        model.clear();
        model.clearUndo();
    }
}

TEST_F(Replacement, ATakenNameWithOneXGivesTheOldSignalTwo)
{
    BlockObject* old = make("pt1.blk");
    ASSERT_STREQ(old->signalName(1).text(), "y");
    String* taken = world.registry.add("yx");
    BlockObject* fresh = make("pt1.blk");
    model.replaceBlock(old, fresh, 1, 0);
    EXPECT_STREQ(fresh->signalName(1).text(), "y");
    EXPECT_STREQ(old->signalName(1).text(), "yxx");
    EXPECT_STREQ(taken->text(), "yx");
}

TEST_F(Replacement, ParametersByNameTextOnRequestAndTheLook)
{
    for (int copyText : {0, 1}) {
        BlockObject* old = make("pt1.blk");
        old->setParameterValue("K", "5");
        old->setText("Strecke");
        old->mirrored = 1;
        old->setGeometry(8, 5);
        old->layout[5] = 1;
        BlockObject* fresh = makeDescribed("BLOCK P;\nINPUT u;\nOUTPUT y;\nPARAMETER K = 1; X = 2;\nSIM\nENDBLOCK\n");
        fresh->parameterNames[1] = "X";
        model.replaceBlock(old, fresh, 1, copyText);
        EXPECT_STREQ(BlockObject::at(fresh->parameterValues, 0).text(), "5");
        EXPECT_STREQ(BlockObject::at(fresh->parameterValues, 1).text(), "2");  // another name at index 1
        EXPECT_STREQ(fresh->getText().text(), copyText ? "Strecke" : "P");
        EXPECT_EQ(fresh->mirrored, 1);
        EXPECT_EQ(fresh->size, Point(8, 5));
        EXPECT_EQ(fresh->layout[5], 1);
        model.clear();
        model.clearUndo();
    }
}

TEST_F(Replacement, ConnectionsMovePortByPortAndTheSurplusGoesWithTheOldBlock)
{
    BlockObject* source = make("mimo.blk", 0, 0);
    BlockObject* old = make("mimo.blk", 10, 0);
    BlockObject* sink = make("pt1.blk", 20, 0);
    ConnectionObject* in1 = connect(source, PortRef{2, 1}, old, PortRef{1, 1});
    ConnectionObject* in2 = connect(source, PortRef{2, 2}, old, PortRef{1, 2});
    ConnectionObject* out1 = connect(old, PortRef{2, 1}, sink, PortRef{1, 1});
    ConnectionObject* out2 = connect(old, PortRef{2, 2}, source, PortRef{1, 1});
    BlockObject* fresh = make("pt1.blk", 10, 0);  // one input, one output
    model.replaceBlock(old, fresh, 1, 0);
    EXPECT_EQ(in1->blockB, fresh);
    EXPECT_EQ(in1->portB, (PortRef{1, 1}));
    EXPECT_EQ(out1->blockA, fresh);
    EXPECT_EQ(out1->portA(), (PortRef{2, 1}));
    EXPECT_TRUE(model.contains(in1) && model.contains(out1));
    for (ConnectionObject* surplus : {in2, out2}) {
        EXPECT_FALSE(model.contains(surplus));
        EXPECT_TRUE(inUndo(surplus));
        EXPECT_EQ(surplus->touches(old), 1);
    }
}

TEST_F(Replacement, ALoopOfTheBlockOntoItselfMovesWhole)
{
    BlockObject* old = make("pt1.blk");
    ConnectionObject* loop = connect(old, PortRef{2, 1}, old, PortRef{1, 1});
    BlockObject* fresh = make("pt1.blk");
    model.replaceBlock(old, fresh, 1, 0);
    ASSERT_TRUE(model.contains(loop));
    EXPECT_EQ(loop->blockA, fresh);
    EXPECT_EQ(loop->portA(), (PortRef{2, 1}));
    EXPECT_EQ(loop->blockB, fresh);
    EXPECT_EQ(loop->portB, (PortRef{1, 1}));
}

} // namespace
