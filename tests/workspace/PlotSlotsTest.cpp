// The nine plot-window slots with fake frames.
#include "Workspace.h"

#include "RecordingUi.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Question {
    std::string text;
    std::string caption;
};

class PlotSlotsTest : public ::testing::Test {
protected:
    PlotSlotsTest() : w(new Workspace)
    {
        w->setMainMenu(&menu);
        w->setPlotWindowFactory(&factory);
        w->setQuestionCallback([this](WindowCL*, const char* text, const char* caption) {
            questions.push_back(Question{text, caption});
            return answer;
        });
    }
    ~PlotSlotsTest() override { delete w; }

    // n opens, each frame frozen after it, as runs that each keep their
    // window.
    void openAndFreeze(int n)
    {
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(0, w->openPlotWindow(nullptr));
            w->freezePlotWindow(plotOszi);
        }
    }
    FakePlotWindow* slot(int n) { return static_cast<FakePlotWindow*>(w->plotWindows[n - 1]); }

    FakePlotFactory factory;
    RecordingMenu menu;
    std::vector<Question> questions;
    int answer = 7;
    Workspace* w;
};

TEST_F(PlotSlotsTest, TenthOpenAsksToReuseSlotOne)
{
    openAndFreeze(9);
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(10 * (n - 1), slot(n)->x);
        EXPECT_EQ(10 * (n - 1), slot(n)->y);
    }
    EXPECT_EQ(400, factory.lastWidth);
    EXPECT_EQ(400, factory.lastHeight);
    FakePlotWindow* first = slot(1);

    // No: nothing changes.
    answer = 7;
    EXPECT_EQ(1, w->openPlotWindow(nullptr));
    ASSERT_EQ(1u, questions.size());
    EXPECT_EQ("Es sind bereits 9 ZIZadirs ge\xf6""ffnet!\nSoll ZIZadir 1 wiederbenutzt werden?", questions[0].text);
    EXPECT_EQ("Warnung:", questions[0].caption);
    EXPECT_EQ(first, slot(1));
    EXPECT_EQ(nullptr, plotOszi);
    EXPECT_EQ(0, factory.deletions);

    // Yes: slot 1's frame goes, the new one takes its place.
    answer = 6;
    EXPECT_EQ(0, w->openPlotWindow(nullptr));
    EXPECT_EQ(1, factory.deletions);
    ASSERT_EQ(10u, factory.made.size());
    ASSERT_EQ(factory.made[9], slot(1));
    EXPECT_EQ(0, slot(1)->x);
    EXPECT_EQ(0, slot(1)->y);
    EXPECT_EQ("KYTide:ZIZAdir 1 - aktiv", slot(1)->title);
    EXPECT_EQ(slot(1), plotOszi);
}

TEST_F(PlotSlotsTest, AnActiveFrameIsReused)
{
    ASSERT_EQ(0, w->openPlotWindow(nullptr));
    PlotWindow* active = plotOszi;
    EXPECT_EQ(0, w->openPlotWindow(nullptr));
    EXPECT_EQ(active, plotOszi);
    EXPECT_EQ(1u, factory.made.size());
}

TEST_F(PlotSlotsTest, AClosedSlotIsTakenFirst)
{
    openAndFreeze(5);
    delete slot(4);
    EXPECT_EQ(nullptr, w->plotWindows[3]);
    ASSERT_EQ(0, w->openPlotWindow(nullptr));
    EXPECT_EQ(30, slot(4)->x);
    EXPECT_EQ(30, slot(4)->y);
    EXPECT_EQ("KYTide:ZIZAdir 4 - aktiv", slot(4)->title);
}

TEST_F(PlotSlotsTest, FreezeMarksTheFrame)
{
    openAndFreeze(2);
    ASSERT_EQ(0, w->openPlotWindow(nullptr));
    FakePlotWindow* third = slot(3);
    EXPECT_EQ(third, plotOszi);
    w->freezePlotWindow(third);
    EXPECT_EQ("KYTide:ZIZAdir 3 - eingefroren", third->title);
    EXPECT_TRUE(third->checked[150]);
    EXPECT_FALSE(third->commands.enabled(150));
    EXPECT_EQ(nullptr, plotOszi);
    // The Window menu lists the new title.
    const std::vector<MenuEntry>& items = menu.popups[5].items;
    ASSERT_EQ(5u, items.size());
    EXPECT_EQ(0, items[1].command);
    EXPECT_EQ(203, items[4].command);
    EXPECT_STREQ("&3 KYTide:ZIZAdir 3 - eingefroren", items[4].text.text());

    // A frame that no slot holds is passed over.
    FakePlotWindow stranger(0, 0, "fremd", &factory.deletions);
    w->freezePlotWindow(&stranger);
    w->freezePlotWindow(nullptr);
    EXPECT_EQ("fremd", stranger.title);
}

TEST_F(PlotSlotsTest, BringToFront)
{
    ErrorBoxScope boxes;
    EXPECT_EQ(0, w->bringPlotToFront(230));
    ASSERT_EQ(1u, boxes.sink.boxes.size());
    const std::string& box = boxes.sink.boxes[0];
    EXPECT_EQ(0u, box.find("Fehler:"));
    EXPECT_NE(std::string::npos, box.find("Es ist kein aktives ZIZadir verf\xfc""gbar.\nEs mu\xdf zuerst eine "
                                          "Simulation gestartet werden!"));
    EXPECT_EQ(1, boxes.sink.beeps);

    openAndFreeze(1);
    ASSERT_EQ(0, w->openPlotWindow(nullptr));
    EXPECT_EQ(1, w->bringPlotToFront(230));
    EXPECT_EQ(1, slot(2)->raised);
    EXPECT_EQ(1, w->bringPlotToFront(201));
    EXPECT_EQ(1, slot(1)->raised);
    // A slot without a frame: the active one.
    EXPECT_EQ(1, w->bringPlotToFront(205));
    EXPECT_EQ(2, slot(2)->raised);
}

TEST_F(PlotSlotsTest, FailingFactoryTakesNoSlot)
{
    factory.failing = true;
    EXPECT_EQ(1, w->openPlotWindow(nullptr));
    EXPECT_EQ(nullptr, plotOszi);
    for (PlotWindow* p : w->plotWindows)
        EXPECT_EQ(nullptr, p);
}

TEST_F(PlotSlotsTest, FramesAreDeletedOnce)
{
    openAndFreeze(3);
    ASSERT_EQ(0, w->openPlotWindow(nullptr));
    // A frame destroyed directly (not through its close request) leaves its
    // slot and the active pointer.
    delete slot(4);
    EXPECT_EQ(nullptr, plotOszi);
    EXPECT_EQ(nullptr, w->plotWindows[3]);
    delete slot(2);
    EXPECT_EQ(2, factory.deletions);
    int rebuilds = menu.rebuilds;
    delete w;
    w = nullptr;
    EXPECT_EQ(4, factory.deletions);
    // Deleting the frames at the end rebuilds no menu.
    EXPECT_EQ(rebuilds, menu.rebuilds);
}

TEST_F(PlotSlotsTest, BusyStateGreysTheActiveFrameOnly)
{
    openAndFreeze(1);
    ASSERT_EQ(0, w->openPlotWindow(nullptr));
    w->setSimulationRunningUi(0);
    for (int c : kPlotRunCommands) {
        EXPECT_FALSE(slot(2)->commands.enabled(c)) << c;
        EXPECT_FALSE(slot(1)->commands.touched(c) && c != 150) << c;
    }
    w->setSimulationStoppedUi(0);
    for (int c : kPlotRunCommands)
        EXPECT_TRUE(slot(2)->commands.enabled(c)) << c;
    // The frozen frame keeps its freeze command off.
    EXPECT_FALSE(slot(1)->commands.enabled(150));
}

} // namespace
