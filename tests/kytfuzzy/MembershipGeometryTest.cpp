#include "MembershipGeometry.h"
#include "PageFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// A 400-pixel plot: value v of the range 0 ... 10 lies at 100 + 40 v.
PixelRect testPlot()
{
    PixelRect p;
    p.left = 100;
    p.top = 50;
    p.right = 500;
    p.bottom = 250;
    return p;
}
const int L = 100, T = 50, R = 500, B = 250;

struct MemberHolder {
    FuzzyMember* member;
    explicit MemberHolder(FuzzyMember* m) : member(m) {}
    ~MemberHolder() { freeMembers(member); }
};

TEST(MembershipLayout, FrameAndPlotFromTheArea)
{
    PixelRect area;
    area.right = 800;
    area.bottom = 300;
    MembershipLayout l = layoutMembership(area, false);
    EXPECT_EQ(l.frame.left, 80);
    EXPECT_EQ(l.frame.top, 30);
    EXPECT_EQ(l.frame.right, 720);
    EXPECT_EQ(l.frame.bottom, 255);
    EXPECT_EQ(l.plot.left, 80);
    EXPECT_EQ(l.plot.top, 63);
    EXPECT_EQ(l.plot.right, 688);
    EXPECT_EQ(l.plot.bottom, 255);
    EXPECT_DOUBLE_EQ(l.horizontalUnit, 1.0);
    EXPECT_DOUBLE_EQ(l.verticalUnit, 1.0);

    // Printing keeps the band from 0.2 to 0.6 of the page.
    area.right = 1000;
    area.bottom = 1000;
    l = layoutMembership(area, true);
    EXPECT_EQ(l.frame.left, 100);
    EXPECT_EQ(l.frame.top, 240);
    EXPECT_EQ(l.frame.right, 900);
    EXPECT_EQ(l.frame.bottom, 540);

    area.right = 624; // frame 500 wide
    EXPECT_TRUE(frameTooSmall(layoutMembership(area, false)));
    area.right = 625;
    EXPECT_FALSE(frameTooSmall(layoutMembership(area, false)));
}

TEST(MembershipMapping, SnapsToTheGridKeepingTheEdges)
{
    ValueMapping m(testPlot(), 0, 10, 0.5);
    ASSERT_TRUE(m.valid());
    EXPECT_EQ(m.pixelOf(2.5), 200);
    EXPECT_DOUBLE_EQ(m.valueOf(200), 2.5);
    EXPECT_DOUBLE_EQ(m.membershipOf(T), 1.0);
    EXPECT_DOUBLE_EQ(m.membershipOf(150), 0.5);
    struct Case {
        double value;
        const char* text;
    } const cases[] = {{1.74, "1.5"}, {1.75, "1.5"}, {1.76, "2."}, {-0.3, "-0.5"}, {-0.2, "0."}};
    for (const Case& c : cases)
        EXPECT_EQ(parameterText(m.snapValue(c.value)), c.text) << c.value;
    EXPECT_EQ(m.snapPixel(L), L);
    EXPECT_EQ(m.snapPixel(R), R);
    EXPECT_EQ(m.snapPixel(m.pixelOf(1.74)), m.pixelOf(1.5));

    // The range's ends are kept, even off the grid.
    ValueMapping off(testPlot(), 0.3, 9.9, 0.5);
    EXPECT_DOUBLE_EQ(off.snapValue(0.3), 0.3);
    EXPECT_DOUBLE_EQ(off.snapValue(9.9), 9.9);
    // No positive grid: nothing snaps.
    ValueMapping loose(testPlot(), 0, 10, -0.5);
    EXPECT_DOUBLE_EQ(loose.snapValue(1.74), 1.74);
}

TEST(MembershipMapping, ARangeWithoutSpanMapsNothing)
{
    const double inf = HUGE_VAL;
    const double ranges[][2] = {{3, 3}, {5, -5}, {0, inf}, {-inf, 0}, {NAN, 1}};
    for (const auto& r : ranges) {
        ValueMapping m(testPlot(), r[0], r[1], 0.5);
        EXPECT_FALSE(m.valid()) << r[0] << " " << r[1];
        EXPECT_TRUE(axisTicks(m, false).major.empty());
        MemberHolder s(makeTestMember("s", "SINGLETON", {"3"}));
        MemberHolder t(makeTestMember("t", "TRAPEZ", {"-100", "-50", "50", "100"}));
        EXPECT_FALSE(buildSetShape(m, s.member, 10, 10).anyVisible());
        EXPECT_FALSE(buildSetShape(m, t.member, 10, 10).anyVisible());
        EXPECT_EQ(readoutText(m, L + 10, "3.", "4."), "3.");
        EXPECT_EQ(readoutText(m, R - 10, "3.", "4."), "4.");
    }
    EXPECT_EQ(tickStep(0, 400, false), 0);
}

TEST(MembershipTicks, StepsAndTicks)
{
    EXPECT_DOUBLE_EQ(tickStep(10, 400, false), 1.0);
    EXPECT_DOUBLE_EQ(tickStep(7, 400, false), 0.75);
    // Printing counts 250 pixels per tick: 1000 pixels give 4, raw 2.5, step 5.
    EXPECT_DOUBLE_EQ(tickStep(10, 1000, true), 5.0);
    EXPECT_DOUBLE_EQ(tickStep(10, 1000, false), 0.5);
    EXPECT_DOUBLE_EQ(tickStep(0.01, 400, false), 0.001);

    AxisTicks t = axisTicks(ValueMapping(testPlot(), 0, 10, 0.5), false);
    ASSERT_EQ(t.major.size(), 11u);
    for (int k = 0; k <= 10; ++k) {
        EXPECT_DOUBLE_EQ(t.major[k].value, k);
        EXPECT_EQ(t.major[k].x, L + 40 * k);
    }
    ASSERT_EQ(t.minor.size(), 40u);
    EXPECT_EQ(t.minor[0], L + 8);
    EXPECT_EQ(t.minor[3], L + 32);
    EXPECT_EQ(tickText(t.major[3].value), "3.");
    EXPECT_EQ(tickText(1.234567), "1.2346");

    // Ticks outside the plot are left out.
    AxisTicks odd = axisTicks(ValueMapping(testPlot(), 0.3, 7.3, 0.5), false);
    EXPECT_DOUBLE_EQ(odd.step, 0.75);
    ASSERT_FALSE(odd.major.empty());
    EXPECT_DOUBLE_EQ(odd.major.front().value, 0.75);
    EXPECT_DOUBLE_EQ(odd.major.back().value, 6.75);
}

// ---------------------------------------------------------------- shapes

// One support point as expected: hidden, or at x (the pixel of a value, or
// an edge) and at a membership.
struct PointWant {
    bool visible;
    int edge;
    char xKind; // 'v' value, 'L', 'R'
    double x;
    double mu;
};

TEST(MembershipShapes, TrapezoidCutByTheRange)
{
    const PointWant hidden = {false, 0, 'v', 0, 0};
    struct Case {
        const char* what;
        double xmin;
        double xmax;
        PointWant p[4];
    } const cases[] = {
        {"inside", 0, 10, {{true, 0, 'v', 2, 0}, {true, 0, 'v', 4, 1}, {true, 0, 'v', 6, 1}, {true, 0, 'v', 8, 0}}},
        {"a <= xmin < b", 3, 10, {{true, 1, 'L', 0, 0.5}, {true, 0, 'v', 4, 1}, {true, 0, 'v', 6, 1}, {true, 0, 'v', 8, 0}}},
        {"b <= xmin < c", 5, 10, {hidden, {true, 1, 'L', 0, 1}, {true, 0, 'v', 6, 1}, {true, 0, 'v', 8, 0}}},
        {"c <= xmin", 7, 10, {hidden, hidden, {true, 1, 'L', 0, 0.5}, {true, 0, 'v', 8, 0}}},
        {"c < xmax < d", 0, 7, {{true, 0, 'v', 2, 0}, {true, 0, 'v', 4, 1}, {true, 0, 'v', 6, 1}, {true, 2, 'R', 0, 0.5}}},
        {"b <= xmax <= c", 0, 5, {{true, 0, 'v', 2, 0}, {true, 0, 'v', 4, 1}, {true, 2, 'R', 0, 1}, hidden}},
        {"xmax < b", 0, 3, {{true, 0, 'v', 2, 0}, {true, 2, 'R', 0, 0.5}, hidden, hidden}},
        {"both sides cut", 3, 7, {{true, 1, 'L', 0, 0.5}, {true, 0, 'v', 4, 1}, {true, 0, 'v', 6, 1}, {true, 2, 'R', 0, 0.5}}},
        {"plateau only", 4.5, 5.5, {hidden, {true, 1, 'L', 0, 1}, {true, 2, 'R', 0, 1}, hidden}},
        {"left of the range", 8, 12, {hidden, hidden, hidden, hidden}},
        {"right of the range", -5, 2, {hidden, hidden, hidden, hidden}},
    };
    MemberHolder zero(makeTestMember("zero", "TRAPEZ", {"2", "4", "6", "8"}, 7));
    for (const Case& c : cases) {
        ValueMapping m(testPlot(), c.xmin, c.xmax, 0.5);
        SetShape s = buildSetShape(m, zero.member, 20, 10);
        for (int i = 0; i < 4; ++i) {
            const PointWant& w = c.p[i];
            const std::string what = std::string(c.what) + ", point " + std::to_string(i);
            EXPECT_EQ(s.point[i].visible, w.visible) << what;
            if (!w.visible)
                continue;
            EXPECT_EQ(s.point[i].edge, w.edge) << what;
            const int x = w.xKind == 'L' ? L : w.xKind == 'R' ? R : m.pixelOf(w.x);
            EXPECT_EQ(s.point[i].x, x) << what;
            EXPECT_EQ(s.point[i].y, m.heightOf(w.mu)) << what;
            EXPECT_EQ(s.point[i].handle.left, x - 5) << what;
            EXPECT_EQ(s.point[i].handle.bottom, m.heightOf(w.mu) + 5) << what;
        }
    }
    ValueMapping m(testPlot(), 0, 10, 0.5);
    SetShape s = buildSetShape(m, zero.member, 20, 10);
    EXPECT_TRUE(s.colour == (ShapeColour{255, 0, 0}));
    EXPECT_EQ(s.name, "zero");
    EXPECT_EQ(s.labelX, m.pixelOf(6) - 20);
    EXPECT_EQ(s.labelY, T - 15);
}

TEST(MembershipShapes, SingletonAndColours)
{
    ValueMapping m(testPlot(), 0, 10, 0.5);
    MemberHolder pos(makeTestMember("pos", "SINGLETON", {"8"}, 0));
    SetShape s = buildSetShape(m, pos.member, 20, 10);
    EXPECT_TRUE(s.point[0].visible && s.point[1].visible);
    EXPECT_EQ(s.point[0].x, 420);
    EXPECT_EQ(s.point[0].y, B);
    EXPECT_EQ(s.point[1].y, T);
    EXPECT_EQ(s.labelX, 420);

    MemberHolder outside(makeTestMember("weit", "SINGLETON", {"12"}));
    SetShape far = buildSetShape(m, outside.member, 20, 10);
    EXPECT_FALSE(far.anyVisible());
    EXPECT_FALSE(hitShape(far, m.pixelOf(12), 150));
    EXPECT_EQ(hitHandle(far, m.pixelOf(12), B), -1);

    EXPECT_TRUE(shapeColour(5) == (ShapeColour{0, 0, 255}));
    EXPECT_TRUE(shapeColour(3) == (ShapeColour{160, 160, 164}));
    EXPECT_TRUE(shapeColour(8) == (ShapeColour{0, 0, 0}));
    EXPECT_TRUE(shapeColour(9) == (ShapeColour{0, 255, 255}));
    EXPECT_TRUE(shapeColour(-1) == (ShapeColour{0, 255, 255}));
}

// ---------------------------------------------------------------- hits

TEST(MembershipHits, PlateauSlopeSingletonAndHandles)
{
    ValueMapping m(testPlot(), 0, 10, 0.5);
    MemberHolder zero(makeTestMember("zero", "TRAPEZ", {"2", "4", "6", "8"}));
    MemberHolder pos(makeTestMember("pos", "SINGLETON", {"8"}));
    const SetShape t = buildSetShape(m, zero.member, 20, 10);
    const SetShape s = buildSetShape(m, pos.member, 20, 10);
    // The points: (180, 250), (260, 50), (340, 50), (420, 250).
    struct Case {
        const char* what;
        const SetShape* shape;
        int x;
        int y;
        bool hit;
    } const cases[] = {
        {"plateau, 3 below", &t, 300, 53, true},
        {"plateau, 4 below", &t, 300, 54, false},
        {"plateau, 3 above", &t, 300, 47, true},
        {"plateau within 6 of its end", &t, 265, 50, false},
        {"plateau 7 from its end", &t, 267, 50, true},
        {"slope, 3 off", &t, 220, 153, true},
        {"slope, 4 off", &t, 220, 154, false},
        {"falling slope on the line", &t, 380, 150, true},
        {"slope near its foot", &t, 182, 245, false},
        {"slope 10 above its foot", &t, 184, 240, true},
        {"left of the shape", &t, 170, 250, false},
        {"singleton, 2 beside", &s, 422, 150, true},
        {"singleton, 3 beside", &s, 423, 150, false},
        {"singleton, 5 below the top", &s, 420, 55, false},
        {"singleton, 6 below the top", &s, 420, 56, true},
        {"singleton, 6 above the bottom", &s, 420, 244, true},
        {"singleton, 5 above the bottom", &s, 420, 245, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hitShape(*c.shape, c.x, c.y), c.hit) << c.what;
    EXPECT_EQ(hitHandle(t, 265, 45), 1);
    EXPECT_EQ(hitHandle(t, 266, 50), -1);
    EXPECT_EQ(hitHandle(t, 420, 250), 3);
}

// ---------------------------------------------------------------- drops

struct Placed {
    bool visible;
    int x;
    int y;
};

TEST(MembershipDrops, TheDropTable)
{
    const Placed gone = {false, 0, 0};
    struct Case {
        const char* what;
        double xmin;
        double xmax;
        bool singleton;
        int index;
        DragPosition at;
        Placed p[4];
    } const cases[] = {
        {"singleton moves both ends", 0, 10, true, 0, {300, 120, 0}, {{true, 300, B}, {true, 300, T}, gone, gone}},
        {"point 0 inside", 0, 10, false, 0, {220, 100, 0}, {{true, 220, B}, {true, 260, T}, {true, 340, T}, {true, 420, B}}},
        {"point 0 not right of point 1", 0, 10, false, 0, {300, 100, 0},
         {{true, 260, B}, {true, 260, T}, {true, 340, T}, {true, 420, B}}},
        {"point 0 on the left edge", 0, 10, false, 0, {L, 150, 1},
         {{true, L, 150}, {true, 260, T}, {true, 340, T}, {true, 420, B}}},
        {"point 0 on the edge not below point 1", 0, 10, false, 0, {L, T, 1},
         {{true, L, T + 5}, {true, 260, T}, {true, 340, T}, {true, 420, B}}},
        {"point 1 inside", 0, 10, false, 1, {300, 100, 0}, {{true, 180, B}, {true, 300, T}, {true, 340, T}, {true, 420, B}}},
        {"point 1 not left of point 0", 0, 10, false, 1, {140, 100, 0},
         {{true, 180, B}, {true, 180, T}, {true, 340, T}, {true, 420, B}}},
        {"point 1 on the left edge", 0, 10, false, 1, {L, 150, 1}, {gone, {true, L, T}, {true, 340, T}, {true, 420, B}}},
        {"point 1 on the right edge", 0, 10, false, 1, {R, 150, 2}, {{true, 180, B}, {true, R, 150}, gone, gone}},
        {"point 1 on the right edge at the bottom", 0, 10, false, 1, {R, B, 2},
         {{true, 180, B}, {true, R, B - 1}, gone, gone}},
        {"point 1 brings point 0 back", 5, 10, false, 1, {150, 60, 0},
         {{true, L, B}, {true, 150, T}, {true, 180, T}, {true, 340, B}}},
        {"point 2 not right of point 3", 0, 10, false, 2, {460, 100, 0},
         {{true, 180, B}, {true, 260, T}, {true, 420, T}, {true, 420, B}}},
        {"point 2 on the left edge", 0, 10, false, 2, {L, 150, 1}, {gone, gone, {true, L, 150}, {true, 420, B}}},
        {"point 2 on the left edge at the bottom", 0, 10, false, 2, {L, B, 1},
         {gone, gone, {true, L, B - 1}, {true, 420, B}}},
        {"point 2 on the right edge", 0, 10, false, 2, {R, 150, 2},
         {{true, 180, B}, {true, 260, T}, {true, R, T}, gone}},
        {"point 2 brings point 3 back", 0, 5, false, 2, {460, 60, 0},
         {{true, 260, B}, {true, 420, T}, {true, 460, T}, {true, R, B}}},
        {"point 3 not left of point 2", 0, 10, false, 3, {300, 100, 0},
         {{true, 180, B}, {true, 260, T}, {true, 340, T}, {true, 340, B}}},
        {"point 3 on the right edge", 0, 10, false, 3, {R, 150, 2},
         {{true, 180, B}, {true, 260, T}, {true, 340, T}, {true, R, 150}}},
        {"point 3 on the edge not below point 2", 0, 10, false, 3, {R, T, 2},
         {{true, 180, B}, {true, 260, T}, {true, 340, T}, {true, R, T + 5}}},
    };
    MemberHolder zero(makeTestMember("zero", "TRAPEZ", {"2", "4", "6", "8"}));
    MemberHolder pos(makeTestMember("pos", "SINGLETON", {"8"}));
    for (const Case& c : cases) {
        // "brings back" rows use other ranges: their pixels are those of that range.
        ValueMapping m(testPlot(), c.xmin, c.xmax, 0.5);
        SetShape s = buildSetShape(m, c.singleton ? pos.member : zero.member, 20, 10);
        if (c.xmin == 5) {
            // Range 5 ... 10: point 1 is at (L, T), point 2 at 6, point 3 at 8.
            EXPECT_FALSE(s.point[0].visible) << c.what;
        }
        dropPoint(s, c.index, c.at, m.plot);
        const int count = c.singleton ? 2 : 4;
        for (int i = 0; i < count; ++i) {
            const std::string what = std::string(c.what) + ", point " + std::to_string(i);
            EXPECT_EQ(s.point[i].visible, c.p[i].visible) << what;
            if (!c.p[i].visible)
                continue;
            EXPECT_EQ(s.point[i].x, c.p[i].x) << what;
            EXPECT_EQ(s.point[i].y, c.p[i].y) << what;
            EXPECT_EQ(s.point[i].handle.top, c.p[i].y - 5) << what;
        }
    }
}

TEST(MembershipDrops, WrittenBackValues)
{
    struct Case {
        const char* what;
        int index;
        int x; // pointer, before clamping and snapping
        int y;
        const char* texts[4];
    } const cases[] = {
        {"point 1 at the pixel of 3.4 snaps to 3.5", 1, 236, 60, {"2.", "3.5", "6.", "8."}},
        {"point 0 on the left edge at 0.5 follows the line through point 1", 0, 90, 150, {"-4.", "4.", "6.", "8."}},
        {"point 3 on the right edge at 0.5 follows the line through point 2", 3, 520, 150, {"2.", "4.", "6.", "14."}},
        {"point 1 on the left edge pulls the hidden point 0 along", 1, 60, 100, {"0.", "0.", "6.", "8."}},
        {"point 2 on the right edge keeps the hidden point 3", 2, 600, 100, {"2.", "4.", "10.", "10."}},
    };
    for (const Case& c : cases) {
        ValueMapping m(testPlot(), 0, 10, 0.5);
        MemberHolder zero(makeTestMember("zero", "TRAPEZ", {"2", "4", "6", "8"}));
        SetShape s = buildSetShape(m, zero.member, 20, 10);
        dropPoint(s, c.index, dragPosition(m, c.x, c.y), m.plot);
        writeBackShape(m, s, zero.member);
        for (int i = 0; i < 4; ++i) {
            EXPECT_STREQ(zero.member->set->text[i], c.texts[i]) << c.what << ", point " << i;
            EXPECT_DOUBLE_EQ(zero.member->set->value[i], std::atof(c.texts[i])) << c.what << ", point " << i;
        }
    }
    // A singleton writes back its one value.
    ValueMapping m(testPlot(), 0, 10, 0.5);
    MemberHolder pos(makeTestMember("pos", "SINGLETON", {"8"}));
    SetShape s = buildSetShape(m, pos.member, 20, 10);
    dropPoint(s, 0, dragPosition(m, m.pixelOf(3.3), 100), m.plot);
    writeBackShape(m, s, pos.member);
    EXPECT_STREQ(pos.member->set->text[0], "3.5");
    EXPECT_EQ(pos.member->set->text[1], nullptr);
}

TEST(MembershipDrops, TheApexOfATriangleGoesEitherWay)
{
    // TRAPEZ 2, 5, 5, 8: points 1 and 2 share the apex at (300, 50), and
    // point 1 cannot pass point 2. The move decides which of them is taken.
    struct Case {
        const char* what;
        int pressX;
        int pressY;
        int movedX;
        int index;
        double dropValue;
        const char* texts[4];
    } const cases[] = {
        {"to the right: point 2", 300, 50, 305, 2, 6.5, {"2.", "5.", "6.5", "8."}},
        {"to the left: point 1", 300, 50, 295, 1, 3.5, {"2.", "3.5", "5.", "8."}},
        {"straight down: the first", 302, 53, 302, 1, 5, {"2.", "5.", "5.", "8."}},
        {"beside the handles: none", 320, 50, 330, -1, 0, {}},
    };
    for (const Case& c : cases) {
        ValueMapping m(testPlot(), 0, 10, 0.5);
        MemberHolder tri(makeTestMember("dreieck", "TRAPEZ", {"2", "5", "5", "8"}));
        SetShape s = buildSetShape(m, tri.member, 20, 10);
        ASSERT_EQ(s.point[1].x, s.point[2].x) << c.what;
        const int index = dragPointFor(s, c.pressX, c.pressY, c.movedX);
        EXPECT_EQ(index, c.index) << c.what;
        if (index < 0)
            continue;
        dropPoint(s, index, dragPosition(m, m.pixelOf(c.dropValue), T + 10), m.plot);
        writeBackShape(m, s, tri.member);
        for (int i = 0; i < 4; ++i)
            EXPECT_STREQ(tri.member->set->text[i], c.texts[i]) << c.what << ", point " << i;
    }
    // A trapezoid's corners lie apart: each handle is its own.
    ValueMapping m(testPlot(), 0, 10, 0.5);
    MemberHolder zero(makeTestMember("zero", "TRAPEZ", {"2", "4", "6", "8"}));
    const SetShape t = buildSetShape(m, zero.member, 20, 10);
    EXPECT_EQ(dragPointFor(t, 260, 50, 200), 1);
    EXPECT_EQ(dragPointFor(t, 260, 50, 300), 1);
    EXPECT_EQ(dragPointFor(t, 340, 50, 200), 2);
}

TEST(MembershipDrops, RubberBandFollowsTheDrop)
{
    ValueMapping m(testPlot(), 0, 10, 0.5);
    MemberHolder zero(makeTestMember("zero", "TRAPEZ", {"2", "4", "6", "8"}));
    SetShape s = buildSetShape(m, zero.member, 20, 10);
    RubberBand band = rubberBand(s, 1, DragPosition{300, 80, 0}, m.plot);
    ASSERT_EQ(band.handleCount, 1);
    EXPECT_EQ(band.handles[0].left, 295);
    EXPECT_EQ(band.handles[0].top, T - 5);
    EXPECT_EQ(band.line, (std::vector<int>{180, B, 300, T, 340, T}));
    // The shape itself does not move.
    EXPECT_EQ(s.point[1].x, 260);
}

TEST(MembershipReadout, SnappedValueOrTheBoundTexts)
{
    ValueMapping m(testPlot(), 0, 10, 0.5);
    EXPECT_EQ(readoutText(m, m.pixelOf(2.3), "0.", "10."), "2.5");
    EXPECT_EQ(readoutText(m, L, "0.", "10."), "0.");
    EXPECT_EQ(readoutText(m, L - 30, "0.", "10."), "0.");
    EXPECT_EQ(readoutText(m, R, "0.", "10."), "10.");
    ValueMapping loose(testPlot(), 0, 10, 0);
    EXPECT_EQ(readoutText(loose, 192, "0.", "10."), "2.3");
}

} // namespace
