#include "Layout.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// Windows are only addresses to the layouts; the port records what the
// layouts ask of them.
WindowCL* const frame = reinterpret_cast<WindowCL*>(0x1000);
WindowCL* const top = reinterpret_cast<WindowCL*>(0x2000);
WindowCL* const fill = reinterpret_cast<WindowCL*>(0x3000);

class RecordingPort : public LayoutWindowPort {
public:
    std::map<WindowCL*, Point> clients;
    std::vector<std::pair<WindowCL*, Rect>> moves;

    bool clientSize(WindowCL* w, int32_t& width, int32_t& height) override
    {
        auto it = clients.find(w);
        if (it == clients.end())
            return false;
        width = it->second.x();
        height = it->second.y();
        return true;
    }
    void moveWindow(WindowCL* w, const Rect& r, int) override { moves.emplace_back(w, r); }
    Rect lastMoveOf(WindowCL* w) const
    {
        for (auto it = moves.rbegin(); it != moves.rend(); ++it)
            if (it->first == w)
                return it->second;
        return Rect(-1, -1, -1, -1);
    }
};

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override { setLayoutWindowPort(&port); }
    void TearDown() override { setLayoutWindowPort(nullptr); }
    RecordingPort port;
};

// A child that reports fixed hints and remembers where it was put.
class Probe : public Geometry {
public:
    Probe(int k, int32_t w, int32_t h, Layout* parent) : Geometry(parent), pw(w), ph(h) { kind = k; }
    void getSizeHints(SizeHints& hints) override
    {
        hints.clear();
        hints.setFixedSize(pw, ph);
        hints.kind = kind;
        hints.x = x;
        hints.y = y;
    }
    void applyRect(const Rect& r, int flag) override
    {
        placed = r;
        placedFlag = flag;
    }
    int32_t pw, ph;
    Rect placed{-1, -1, -1, -1};
    int placedFlag = -1;
};

TEST_F(LayoutTest, StripsTakeTheirSidesAndACentredChildTheRest)
{
    Layout parent(0, 0, 400, 300);
    Probe a(PLACE_LEFT, 100, 0, &parent);
    Probe b(PLACE_LEFT, 50, 0, &parent);
    Probe rest(PLACE_CENTRED, 0, 0, &parent);
    Rect area(0, 0, 400, 300);
    parent.currentArranger().place(area, *parent.children, parent.childCount);
    EXPECT_EQ(a.placed, Rect(0, 0, 100, 300)) << "preferred height 0 takes the whole height";
    EXPECT_EQ(b.placed, Rect(100, 0, 150, 300));
    EXPECT_EQ(rest.placed, Rect(150, 0, 400, 300));
    EXPECT_EQ(area, Rect(0, 0, 400, 300)) << "a filled area is not shrunk";
    EXPECT_EQ(a.placedFlag, 0);
}

TEST_F(LayoutTest, EachSideAndTheCentre)
{
    struct Case {
        const char* name;
        int kind;
        int32_t w, h;
        Rect expected;
    } cases[] = {
        {"left, preferred height", PLACE_LEFT, 30, 50, Rect(10, 20, 40, 70)},
        {"right", PLACE_RIGHT, 30, 0, Rect(280, 20, 310, 220)},
        {"top", PLACE_TOP, 0, 40, Rect(10, 20, 310, 60)},
        {"top, preferred width", PLACE_TOP, 120, 40, Rect(10, 20, 130, 60)},
        {"bottom", PLACE_BOTTOM, 0, 25, Rect(10, 195, 310, 220)},
        {"centred smaller", PLACE_CENTRED, 100, 50, Rect(110, 95, 210, 145)},
        {"rest smaller, not centred", PLACE_REST, 100, 50, Rect(10, 20, 110, 70)},
        {"centred, wider than the area", PLACE_CENTRED, 400, 50, Rect(10, 95, 310, 145)},
        {"centred, negative preference", PLACE_CENTRED, -5, -5, Rect(10, 20, 310, 220)},
    };
    for (const Case& c : cases) {
        Layout parent;
        Probe p(c.kind, c.w, c.h, &parent);
        Rect area(10, 20, 310, 220); // 300 x 200 at (10, 20)
        parent.currentArranger().place(area, *parent.children, parent.childCount);
        EXPECT_EQ(p.placed, c.expected) << c.name;
    }
}

TEST_F(LayoutTest, ACentredChildWantingMoreThanTheRestGetsTheRest)
{
    Layout parent;
    Probe strip(PLACE_TOP, 0, 40, &parent);
    Probe big(PLACE_CENTRED, 400, 300, &parent);
    Rect area(0, 0, 400, 300);
    parent.currentArranger().place(area, *parent.children, parent.childCount);
    EXPECT_EQ(strip.placed, Rect(0, 0, 400, 40));
    EXPECT_EQ(big.placed, Rect(0, 40, 400, 300));
}

TEST_F(LayoutTest, WithoutAFillingChildTheAreaShrinksToTheStrips)
{
    Layout parent;
    Probe a(PLACE_LEFT, 100, 0, &parent);
    Probe b(PLACE_TOP, 0, 30, &parent);
    Probe c(PLACE_BOTTOM, 0, 20, &parent);
    Rect area(5, 5, 405, 305);
    parent.currentArranger().place(area, *parent.children, parent.childCount);
    EXPECT_EQ(area, Rect(5, 5, 105, 55));
    EXPECT_EQ(b.placed, Rect(105, 5, 405, 35));
    EXPECT_EQ(c.placed, Rect(105, 285, 405, 305));
}

TEST_F(LayoutTest, AFreeChildKeepsItsOwnPlaceEvenAtNegativeCoordinates)
{
    Layout parent;
    Probe freeChild(PLACE_FREE, 60, 30, &parent);
    freeChild.x = -20;
    freeChild.y = -10;
    Probe notGiven(PLACE_FREE, kNotGiven, kNotGiven, &parent);
    notGiven.x = 50;
    notGiven.y = 40;
    Rect area(0, 0, 400, 300);
    parent.currentArranger().place(area, *parent.children, parent.childCount);
    EXPECT_EQ(freeChild.placed, Rect(-20, -10, 40, 20));
    EXPECT_EQ(notGiven.placed, Rect(50, 40, 400, 300)) << "up to the remaining right and bottom edges";
}

// The frame of the framed application: a red strip of 40 at the top, a blue
// fill below; the parent's size event first sizes the fill to the whole client
// area, then the parent's layout fits it below the strip.
TEST_F(LayoutTest, FrameWithTopStripAndFill)
{
    Layout* frameLayout = new Layout(0, 0, 0, 0);
    frameLayout->bindWindow(frame);
    EdgeLayout* strip = new EdgeLayout(PLACE_TOP, 0, 40, frameLayout);
    strip->bindWindow(top);
    FillLayout* rest = new FillLayout;
    rest->bindWindow(fill);
    frameLayout->addChild(rest);

    SizeEvent size{400, 300, 0};
    rest->apply(fill, size);
    EXPECT_EQ(port.lastMoveOf(fill), Rect(0, 0, 400, 300));
    Rect client(150, 100, 550, 400); // the frame's origin on the screen and its new size
    frameLayout->layout(&client);
    EXPECT_EQ(port.lastMoveOf(top), Rect(0, 0, 400, 40));
    EXPECT_EQ(port.lastMoveOf(fill), Rect(0, 40, 400, 300));
    EXPECT_EQ(port.lastMoveOf(frame), Rect(-1, -1, -1, -1)) << "a window's own layout never moves it";
    EXPECT_EQ(frameLayout->x, 150);
    EXPECT_EQ(frameLayout->width, 400);

    // Without a rectangle, a layout bound to a window takes its client size.
    port.moves.clear();
    port.clients[frame] = Point(200, 100);
    rest->apply(fill, SizeEvent{200, 100, 0});
    frameLayout->layout(nullptr);
    EXPECT_EQ(frameLayout->width, 200);
    EXPECT_EQ(port.lastMoveOf(fill), Rect(0, 40, 200, 100));

    delete rest;
    EXPECT_EQ(frameLayout->childCount, 1);
    delete frameLayout;
    EXPECT_EQ(strip->parentLayout, nullptr) << "the parent's end clears the child's link";
    delete strip;
}

// A fill whose window has scroll bars: the window's own size events report
// the client area, smaller than the rectangle the parent gave. Layouts of
// the parent without a size event of its own (a sibling shown, a pane
// replaced) keep the fill over the whole rest: no band of the parent's
// background around a shrinking fill.
TEST_F(LayoutTest, AFillKeepsTheRestWhateverItsWindowReports)
{
    Layout* frameLayout = new Layout(0, 0, 0, 0);
    frameLayout->bindWindow(frame);
    port.clients[frame] = Point(400, 300);
    EdgeLayout* strip = new EdgeLayout(PLACE_TOP, 0, 40, frameLayout);
    strip->bindWindow(top);
    EdgeLayout* bar = new EdgeLayout(PLACE_BOTTOM, 0, 20, frameLayout);
    FillLayout* rest = new FillLayout;
    rest->bindWindow(fill);
    frameLayout->addChild(rest);

    // Shown in a frame that is already on the screen: the pane's first
    // show covers the client area, then the frame's layout fits it in.
    rest->setSize(Point(400, 300));
    rest->apply(fill, SizeEvent{400, 300, 0});
    frameLayout->layout(nullptr);
    const Rect whole(0, 40, 400, 280);
    EXPECT_EQ(port.lastMoveOf(fill), whole);
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        // The window's size event: its client area without the scroll bars.
        const Rect placed = port.lastMoveOf(fill);
        rest->width = placed.width() - 17;
        rest->height = placed.height() - 17;
        Rect client(0, 0, rest->width, rest->height);
        rest->layout(&client);
        frameLayout->layout(nullptr);
        EXPECT_EQ(port.lastMoveOf(fill), whole);
    }

    // A new size of the frame: the fill follows it, smaller and larger.
    for (Point size : {Point(300, 200), Point(500, 400)}) {
        port.clients[frame] = size;
        rest->apply(fill, SizeEvent{size.x(), size.y(), 0});
        frameLayout->layout(nullptr);
        rest->width = size.x() - 17;
        rest->height = size.y() - 60 - 17;
        frameLayout->layout(nullptr);
        EXPECT_EQ(port.lastMoveOf(fill), Rect(0, 40, size.x(), size.y() - 20));
    }
    delete rest;
    delete bar;
    delete strip;
    delete frameLayout;
}

TEST_F(LayoutTest, AFreeLayoutIsNotMovedByItsParent)
{
    Layout parent;
    Layout child(5, 6, 70, 80, &parent);
    child.bindWindow(top);
    Rect area(0, 0, 400, 300);
    parent.currentArranger().place(area, *parent.children, parent.childCount);
    EXPECT_TRUE(port.moves.empty());
    EXPECT_EQ(child.x, 5);
    EXPECT_EQ(child.width, 70);
}

TEST_F(LayoutTest, ProportionalLayoutTakesAShareOfTheParent)
{
    Layout parent(0, 0, 300, 200);
    ProportionalLayout half(PLACE_TOP, 50.0f, 0.0f, &parent);
    SizeHints h;
    half.getSizeHints(h);
    EXPECT_EQ(h.prefHeight, 100);
    EXPECT_EQ(h.prefWidth, 300);
    EXPECT_EQ(h.kind, PLACE_TOP);
    ProportionalLayout third(PLACE_LEFT, 0.0f, 33.3f, &parent);
    third.getSizeHints(h);
    EXPECT_EQ(h.prefWidth, 99);
    EXPECT_EQ(h.prefHeight, 200);
}

TEST_F(LayoutTest, MeasuringDockedChildren)
{
    Layout parent;
    parent.kind = PLACE_CENTRED;
    Probe toolBar(PLACE_TOP, 300, 29, &parent);
    Probe side(PLACE_LEFT, 100, 50, &parent);
    Probe status(PLACE_BOTTOM, 200, 20, &parent);
    Probe pane(PLACE_CENTRED, 250, 150, &parent);
    Probe freeChild(PLACE_FREE, 30, 30, &parent);
    freeChild.x = 500;
    freeChild.y = 0;
    SizeHints h;
    parent.getSizeHints(h);
    // From the back: pane 250 x 150, status under it 250 x 170, side panel
    // beside them 350 x 170, tool bar above 350 x 199; the free child reaches 530.
    EXPECT_EQ(h.prefHeight, 199);
    EXPECT_EQ(h.prefWidth, 530);
    EXPECT_EQ(h.minWidth, 350);
    EXPECT_EQ(h.kind, PLACE_CENTRED);
    // A free layout reports its own size instead.
    parent.kind = PLACE_FREE;
    parent.width = 640;
    parent.height = 480;
    parent.getSizeHints(h);
    EXPECT_EQ(h.prefWidth, 640);
    EXPECT_EQ(h.minHeight, 480);
}

TEST_F(LayoutTest, HintsOfLayoutsWithoutChildren)
{
    Layout plain(1, 2, 30, 40);
    plain.kind = PLACE_LEFT;
    SizeHints h;
    plain.getSizeHints(h);
    EXPECT_EQ(h.prefWidth, 30);
    EXPECT_EQ(h.maxHeight, 40);
    EXPECT_EQ(h.x, 1);
    EXPECT_EQ(h.kind, PLACE_LEFT);
    EdgeLayout bar(PLACE_BOTTOM, 999, 22);
    bar.getSizeHints(h);
    EXPECT_EQ(h.prefWidth, 0) << "a bottom strip sets its height only";
    EXPECT_EQ(h.prefHeight, 22);
    EdgeLayout box(7, 15, 16);
    box.getSizeHints(h);
    EXPECT_EQ(h.prefWidth, 15);
    EXPECT_EQ(h.prefHeight, 16);
    Geometry bare(0, 0, 10, 10);
    SizeHints untouched;
    bare.getSizeHints(untouched);
    EXPECT_EQ(untouched.prefWidth, 0);
    EXPECT_EQ(untouched.kind, PLACE_FREE);
}

// Two measured strips at the top, the rest below: each layout asks the
// measure again, so a longer text pushes what follows it.
TEST_F(LayoutTest, MeasuredStripTakesWhatItsMeasureSaysEachTime)
{
    Layout column(0, 0, 200, 100);
    Point first(40, 12);
    MeasuredEdgeLayout a(PLACE_TOP, [&first] { return first; }, &column);
    MeasuredEdgeLayout b(PLACE_TOP, [] { return Point(30, 10); }, &column);
    LayoutItem rest(0, 0, 0, 0, PLACE_REST, &column);
    Rect area(0, 0, 200, 100);
    column.layout(&area);
    EXPECT_EQ(a.rect(), Rect(0, 0, 40, 12));
    EXPECT_EQ(b.rect(), Rect(0, 12, 30, 22));
    EXPECT_EQ(rest.rect(), Rect(0, 22, 200, 100));
    first = Point(90, 25);
    column.layout(&area);
    EXPECT_EQ(a.rect(), Rect(0, 0, 90, 25));
    EXPECT_EQ(b.rect(), Rect(0, 25, 30, 35));
    MeasuredEdgeLayout none(PLACE_TOP, MeasuredEdgeLayout::Measure(), nullptr);
    SizeHints h;
    none.getSizeHints(h);
    EXPECT_EQ(h.prefHeight, 0) << "without a measure the strip takes no room";
    EXPECT_EQ(h.kind, PLACE_TOP);
}

TEST_F(LayoutTest, FittedEdgeLayoutFixesOneExtentToItsOwn)
{
    FittedEdgeLayout bar(PLACE_TOP, 1);
    bar.height = 29;
    LayoutItem a(0, 0, 40, 20, PLACE_LEFT, &bar);
    LayoutItem b(0, 0, 60, 25, PLACE_LEFT, &bar);
    SizeHints h;
    bar.getSizeHints(h);
    EXPECT_EQ(h.prefWidth, 100);
    EXPECT_EQ(h.prefHeight, 29);
    EXPECT_EQ(h.minHeight, 29);
    EXPECT_EQ(h.kind, PLACE_TOP);
}

TEST_F(LayoutTest, RowArrangerSharesTheSpaceAboveTheMinimum)
{
    SizeHints base;
    base.kind = PLACE_FREE;
    auto item = [&](int32_t minW, int32_t prefW, Layout* parent) {
        SizeHints h = base;
        h.minWidth = minW;
        h.prefWidth = h.maxWidth = prefW;
        h.minHeight = h.prefHeight = h.maxHeight = 20;
        return new HintsLayoutItem(h, parent);
    };
    struct Case {
        int32_t width;
        int32_t w0, w1, w2;
    } cases[] = {
        {200, 50, 100, 50}, // room for all preferred widths
        {120, 30, 60, 30},  // 40 above the summed minimum 80, shared 30 : 60 : 30
        {60, 20, 40, 20},   // below the minimum: minimum each
    };
    for (const Case& c : cases) {
        Layout row;
        row.kind = PLACE_TOP;
        row.setArranger(new RowArranger);
        HintsLayoutItem* a = item(20, 50, &row);
        HintsLayoutItem* b = item(40, 100, &row);
        HintsLayoutItem* d = item(20, 50, &row);
        row.applyRect(Rect(10, 0, 10 + c.width, 30), 1);
        EXPECT_EQ(a->width, c.w0) << c.width;
        EXPECT_EQ(b->width, c.w1) << c.width;
        EXPECT_EQ(d->width, c.w2) << c.width;
        EXPECT_EQ(a->x, 10);
        EXPECT_EQ(b->x, 10 + c.w0);
        EXPECT_EQ(d->height, 20);
        SizeHints h;
        row.getSizeHints(h);
        EXPECT_EQ(h.prefWidth, 200);
        EXPECT_EQ(h.minWidth, 80);
        EXPECT_EQ(h.prefHeight, 20);
        delete a;
        delete b;
        delete d;
        EXPECT_EQ(row.childCount, 0);
    }
}

TEST_F(LayoutTest, ColumnArrangerStacksDownwards)
{
    Layout column;
    column.setArranger(new BoxArranger(2));
    KindLayoutItem a(PLACE_FREE, Point(30, 10), &column);
    KindLayoutItem b(PLACE_FREE, Point(0, 15), &column);
    column.applyRect(Rect(0, 100, 50, 200), 1);
    EXPECT_EQ(a.y, 100);
    EXPECT_EQ(a.height, 10);
    EXPECT_EQ(a.width, 30);
    EXPECT_EQ(b.y, 110);
    EXPECT_EQ(b.width, 50) << "no preferred width: the column's width";
}

TEST_F(LayoutTest, GeometriesLeaveTheirParentAndCanMove)
{
    Layout parent;
    Geometry* g = new Geometry(Point(1, 2), Point(3, 4), &parent);
    Layout other;
    other.addChild(g);
    EXPECT_EQ(parent.childCount, 0);
    EXPECT_EQ(other.childCount, 1);
    EXPECT_EQ(g->parentLayout, &other);
    g->detach();
    EXPECT_EQ(other.childCount, 0);
    EXPECT_EQ(g->parentLayout, nullptr);
    g->setOrigin(Point(-5, 6));
    g->setSize(Point(7, 8));
    EXPECT_EQ(g->rect(), Rect(-5, 6, 2, 14));
    delete g;
    Geometry fresh;
    EXPECT_EQ(fresh.x, kNotGiven);
    EXPECT_EQ(fresh.rect(), Rect(0, 0, 0, 0));
}

TEST(CenterTest, CentresOnTheScreenOrOverTheParentNeverOffTheScreen)
{
    ScreenMetrics screen(1024, 768, 96, 96, 0, 0);
    EXPECT_EQ(centerPosition(Rect(0, 0, 200, 100), nullptr, screen), Point(412, 334));
    EXPECT_EQ(centerPosition(Rect(0, 0, 1200, 900), nullptr, screen), Point(0, 0))
        << "a window larger than the screen is centred at 0";
    Rect parent(100, 100, 500, 400);
    EXPECT_EQ(centerPosition(Rect(0, 0, 200, 100), &parent, screen), Point(200, 200));
    Rect nearEdge(900, 700, 1100, 800);
    EXPECT_EQ(centerPosition(Rect(0, 0, 300, 200), &nearEdge, screen), Point(724, 568));
    Rect offLeft(-400, -300, -100, -100);
    EXPECT_EQ(centerPosition(Rect(0, 0, 100, 100), &offLeft, screen), Point(0, 0));
}

} // namespace
