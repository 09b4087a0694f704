#include "Scrollers.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct FakeBars : ScrollBarOwner {
    std::vector<std::pair<int32_t, int32_t>> ranges;
    std::vector<int32_t> positions;
    void showBarRange(int, int32_t minimum, int32_t maximum) override { ranges.push_back({minimum, maximum}); }
    void showBarPosition(int, int32_t position) override { positions.push_back(position); }
};

struct ScrollCall {
    int dx, dy;
    bool operator==(const ScrollCall& o) const { return dx == o.dx && dy == o.dy; }
};

class FakePane : public ScrollPane {
public:
    FakePane() : vertical(&bars, BAR_VERT), horizontal(&bars, BAR_HORZ) {}

    ScrollBarState* verticalBar() override { return hasVertical ? &vertical : nullptr; }
    ScrollBarState* horizontalBar() override { return hasHorizontal ? &horizontal : nullptr; }
    Scroller* paneScroller() override { return scroller; }
    bool paneIsWindow() override { return true; }
    Rect paneClientRect() override { return client; }
    int paneExtent(Point& size) override
    {
        size = extent;
        return knowsExtent ? 1 : 0;
    }
    void scrollContents(int dx, int dy, const Rect*) override { scrolls.push_back({dx, dy}); }
    Point contextOrigin() override { return origin; }
    void setContextOrigin(const Point& o) override { origin = o; }
    void invalidatePane() override { ++invalidations; }
    void updatePane() override { ++updates; }
    bool controlKeyDown() override { return ctrl; }
    void addKeyHandler(KeyScroller*) override { ++keyHandlers; }
    void removeKeyHandler(KeyScroller*) override { --keyHandlers; }

    FakeBars bars;
    ScrollBarState vertical;
    ScrollBarState horizontal;
    bool hasVertical = true;
    bool hasHorizontal = true;
    Scroller* scroller = nullptr;
    Rect client{0, 0, 400, 300};
    Point extent{1000, 800};
    bool knowsExtent = true;
    std::vector<ScrollCall> scrolls;
    Point origin;
    int invalidations = 0;
    int updates = 0;
    bool ctrl = false;
    int keyHandlers = 0;
};

// A bar message as the window dispatch hands it on: the code moved the bar,
// then the scroller runs.
int barMessage(FakePane& pane, bool vertical, int code, int thumb = 0)
{
    ScrollBarState* bar = vertical ? pane.verticalBar() : pane.horizontalBar();
    bar->applyScrollCode(code, thumb);
    return pane.scroller->handleScroll(vertical ? kMessageVScroll : kMessageHScroll, code);
}

struct RangeFixture : ::testing::Test {
    void SetUp() override
    {
        scroller.reset(new RangeScroller(&pane));
        pane.scroller = scroller.get();
        scroller->setVertLine(10);
        scroller->setVertPage(100);
        pane.vertical.setRange(Point(0, 20));
        pane.vertical.page = 5;
        pane.horizontal.setRange(Point(0, 20));
        pane.horizontal.page = 5;
    }
    FakePane pane;
    std::unique_ptr<RangeScroller> scroller;
};

} // namespace

TEST_F(RangeFixture, EmptyRangeIgnoresPageKeysAndBlocksTheSidewaysKeys)
{
    pane.vertical.setRange(Point(0, 0));
    for (int key : {kKeyPageUp, kKeyPageDown})
        EXPECT_EQ(scroller->onKeyDown(key), 0);
    pane.ctrl = true;
    for (int key : {kKeyHome, kKeyEnd, kKeyPageUp, kKeyPageDown})
        EXPECT_EQ(scroller->onKeyDown(key), 0) << key;
    EXPECT_TRUE(pane.scrolls.empty());
    EXPECT_EQ(pane.horizontal.position, 0);
    // With the vertical bar gone, Ctrl+Page Down moves sideways.
    pane.hasVertical = false;
    EXPECT_EQ(scroller->onKeyDown(kKeyPageDown), 1);
    EXPECT_EQ(pane.horizontal.position, 5);
    EXPECT_EQ(pane.scrolls, std::vector<ScrollCall>({{-10, 0}}));
}

TEST_F(RangeFixture, PageDownTwoLinesBeforeTheEndScrollsTheRemainingLines)
{
    pane.vertical.setPosition(18);
    pane.vertical.setPrevious(18);
    EXPECT_EQ(scroller->onKeyDown(kKeyPageDown), 1);
    EXPECT_EQ(pane.vertical.position, 20);
    EXPECT_EQ(pane.vertical.previous, 20);
    EXPECT_EQ(pane.scrolls, std::vector<ScrollCall>({{0, -20}}));
    // The same through the bar: the dispatch clamps, the page step becomes a bottom.
    pane.scrolls.clear();
    pane.vertical.setPosition(18);
    pane.vertical.setPrevious(18);
    EXPECT_EQ(barMessage(pane, true, SCROLL_PAGEDOWN), 1);
    EXPECT_EQ(pane.scrolls, std::vector<ScrollCall>({{0, -20}}));
    // A whole page inside the range is a page unit.
    pane.scrolls.clear();
    pane.vertical.setPosition(5);
    pane.vertical.setPrevious(5);
    EXPECT_EQ(scroller->onKeyDown(kKeyPageDown), 1);
    EXPECT_EQ(pane.scrolls, std::vector<ScrollCall>({{0, -100}}));
}

TEST_F(RangeFixture, UnchangedPositionMovesNothingAndIsHandled)
{
    EXPECT_EQ(barMessage(pane, true, SCROLL_LINEUP), 1); // already at the top
    pane.vertical.setPosition(20);
    pane.vertical.setPrevious(20);
    EXPECT_EQ(barMessage(pane, true, SCROLL_LINEDOWN), 1);
    EXPECT_EQ(barMessage(pane, true, SCROLL_ENDSCROLL), 1);
    EXPECT_TRUE(pane.scrolls.empty());
    EXPECT_EQ(scroller->onKeyDown(kKeyPageDown), 0);
}

TEST_F(RangeFixture, LineStepsAndTheirResynchronisation)
{
    EXPECT_EQ(barMessage(pane, true, SCROLL_LINEDOWN), 1);
    EXPECT_EQ(barMessage(pane, true, SCROLL_LINEDOWN), 1);
    EXPECT_EQ(barMessage(pane, true, SCROLL_LINEUP), 1);
    EXPECT_EQ(pane.scrolls, std::vector<ScrollCall>({{0, -10}, {0, -10}, {0, 10}}));
    // A move up from a drawn position that is not positive is no plain
    // step: the contents catch up like a thumb move.
    pane.scrolls.clear();
    pane.vertical.setRange(Point(-10, 20));
    pane.vertical.trackTo(0);
    pane.vertical.setPrevious(0);
    pane.vertical.trackTo(-3);
    EXPECT_EQ(scroller->scrollVertLine(), 1);
    EXPECT_EQ(pane.scrolls, std::vector<ScrollCall>({{0, 30}}));
    EXPECT_EQ(pane.vertical.previous, -3);
    pane.vertical.setRange(Point(0, 20));
    pane.vertical.trackTo(1);
    pane.vertical.setPrevious(1);
    // Top and thumb.
    pane.scrolls.clear();
    EXPECT_EQ(barMessage(pane, true, SCROLL_THUMBPOSITION, 9), 1);
    EXPECT_EQ(barMessage(pane, true, SCROLL_TOP), 1);
    EXPECT_EQ(pane.scrolls, std::vector<ScrollCall>({{0, -80}, {0, 90}}));
    EXPECT_EQ(pane.vertical.position, 0);
}

TEST_F(RangeFixture, AUnitOfZeroActsAsOne)
{
    scroller->setVertLine(0);
    scroller->setHorzLine(-4);
    scroller->setVertPage(0);
    EXPECT_EQ(scroller->vertLineUnit(), 1);
    EXPECT_EQ(scroller->horzLineUnit(), 1);
    EXPECT_EQ(scroller->vertPageUnit(), 1);
    EXPECT_EQ(barMessage(pane, true, SCROLL_LINEDOWN), 1);
    EXPECT_EQ(pane.scrolls, std::vector<ScrollCall>({{0, -1}}));
    scroller->setView(nullptr, 0, 0);
    EXPECT_EQ(scroller->vertLineUnit(), 1);
    EXPECT_EQ(scroller->vertPageUnit(), 5); // page step 5 / line step 1 x 1
}

TEST(ExtentScroller, RangesOriginAndShrinkingDocument)
{
    FakePane pane;
    {
        ExtentScroller scroller(&pane);
        pane.scroller = &scroller;
        EXPECT_EQ(pane.keyHandlers, 1);
        scroller.setHorzLine(10);
        scroller.setVertLine(10);
        scroller.updateBars();
        EXPECT_EQ(pane.horizontal.minimum, 0);
        EXPECT_EQ(pane.horizontal.maximum, 60);
        EXPECT_EQ(pane.vertical.minimum, 0);
        EXPECT_EQ(pane.vertical.maximum, 50);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(barMessage(pane, true, SCROLL_LINEDOWN), 1);
        EXPECT_EQ(pane.origin, Point(0, 30));
        EXPECT_EQ(pane.updates, 3);
        // Bottom puts the origin at line unit x position.
        EXPECT_EQ(barMessage(pane, true, SCROLL_BOTTOM), 1);
        EXPECT_EQ(pane.origin, Point(0, 500));
        EXPECT_EQ(barMessage(pane, true, SCROLL_TOP), 1);
        EXPECT_EQ(pane.origin, Point(0, 0));
        // Growing keeps the thumb in proportion: 25 of 50 becomes 55 of 110.
        EXPECT_EQ(barMessage(pane, true, SCROLL_THUMBPOSITION, 25), 1);
        pane.extent = Point(1000, 1400);
        scroller.updateBars();
        EXPECT_EQ(pane.vertical.maximum, 110);
        EXPECT_EQ(pane.vertical.position, 55);
        EXPECT_EQ(pane.vertical.previous, 55);
        EXPECT_EQ(pane.origin, Point(0, 550));
        // Shrinking to fit: no range, origin 0, repainted.
        int invalidations = pane.invalidations;
        pane.extent = Point(300, 200);
        scroller.updateBars();
        EXPECT_EQ(pane.horizontal.minimum, 0);
        EXPECT_EQ(pane.horizontal.maximum, 0);
        EXPECT_EQ(pane.vertical.maximum, 0);
        EXPECT_EQ(pane.vertical.position, 0);
        EXPECT_EQ(pane.origin, Point(0, 0));
        EXPECT_GT(pane.invalidations, invalidations);
        pane.bars.ranges.clear();
    }
    EXPECT_EQ(pane.keyHandlers, 0);
    EXPECT_FALSE(pane.bars.ranges.empty()); // the destructor reset the bars
}

TEST(ExtentScroller, GrowingFromHalfWayKeepsTheThumbProportional)
{
    FakePane pane;
    pane.extent = Point(400, 400); // 100 lines of 1 pixel beyond the client
    ExtentScroller scroller(&pane);
    pane.scroller = &scroller;
    EXPECT_EQ(pane.vertical.maximum, 100);
    EXPECT_EQ(barMessage(pane, true, SCROLL_THUMBPOSITION, 50), 1);
    pane.extent = Point(400, 500);
    scroller.updateBars();
    EXPECT_EQ(pane.vertical.maximum, 200);
    EXPECT_EQ(pane.vertical.position, 100);
}
