// The plot model without windows: nice scales, rescaling and scroll
// positions, extents (also of data that are not finite or very large),
// paging in time mode, the vertices of a repaint, zoom, tick labels, the
// legend, indexes outside the signal array, and the tick font and label
// layout of small windows.
#include "PlotModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// A model whose drawing is 1300 x 1250 pixels: one pixel per logical unit.
struct UnitModel : PlotModel {
    UnitModel() { setDrawingSize(1300, 1250); }
    void add(double t, std::vector<double> v, bool* paged = nullptr)
    {
        addPoint(t, v.data(), static_cast<int>(v.size()), &segments, paged);
    }
    std::vector<NewSegment> segments;
};

double yScaleOver(double lo, double hi)
{
    UnitModel m;
    m.setSignals(1);
    m.add(0, {lo});
    m.add(1, {hi});
    m.rescale();
    return m.yscale;
}

} // namespace

TEST(PlotScale, YScaleOverTenDivisions)
{
    struct Case {
        double lo, hi, scale;
    } cases[] = {{5, 5, 1.0}, {0, 9.5, 1.0}, {0, 12, 1.5}, {-1, 1, 0.2}, {0, 26, 5.0}};
    for (const Case& c : cases)
        EXPECT_NEAR(yScaleOver(c.lo, c.hi), c.scale, 1e-12) << c.lo << " .. " << c.hi;
}

TEST(PlotScale, NiceStepOfNonFiniteDifferenceKeepsTheScale)
{
    EXPECT_EQ(PlotModel::niceStep(kNaN, 1), 0.0);
    EXPECT_EQ(PlotModel::niceStep(-1.7e308, 1.7e308), 0.0);
    EXPECT_EQ(PlotModel::niceStep(2, 2), 0.1);
}

TEST(PlotScale, RescaleSetsOffsetsAndRanges)
{
    UnitModel m;
    m.setSignals(1);
    m.add(0, {-3});
    m.add(10, {7});
    m.rescale();
    EXPECT_DOUBLE_EQ(m.yscale, 1.0);
    EXPECT_DOUBLE_EQ(m.yoff, -3.0);
    EXPECT_DOUBLE_EQ(m.xoff, 0.0);
    EXPECT_EQ(m.verticalBar().minimum, m.verticalBar().maximum);

    // Without auto-Y the bar stands at the top: the upper end in view.
    m.autoY = 0;
    m.yscale = 0.5;
    m.rescale();
    EXPECT_EQ(m.verticalBar().minimum, -6);
    EXPECT_EQ(m.verticalBar().maximum, 4);
    EXPECT_DOUBLE_EQ(m.yoff, 2.0);
}

TEST(PlotScale, RescaleWithoutPointsChangesNothing)
{
    UnitModel m;
    m.setSignals(2);
    m.xscale = 3;
    m.yscale = 4;
    m.xoff = 5;
    m.yoff = 6;
    m.rescale();
    EXPECT_EQ(m.xscale, 3);
    EXPECT_EQ(m.yscale, 4);
    EXPECT_EQ(m.xoff, 5);
    EXPECT_EQ(m.yoff, 6);
    EXPECT_EQ(m.horizontalBar().minimum, 0);
    EXPECT_EQ(m.horizontalBar().maximum, 0);
}

TEST(PlotExtents, NoSignalsGiveZeroValueExtent)
{
    UnitModel m;
    m.setSignals(0);
    m.add(1, {});
    m.add(2, {});
    EXPECT_EQ(m.ymin, 0.0);
    EXPECT_EQ(m.ymax, 0.0);
    EXPECT_EQ(m.xmin, 1.0);
    EXPECT_EQ(m.xmax, 2.0);
    EXPECT_EQ(m.pointCount(), 2);
}

TEST(PlotExtents, WidenByEveryValueAndLeaveNonFiniteOnes)
{
    UnitModel m;
    m.setSignals(2);
    m.add(0, {1, 4});
    m.add(1, {4, 2});   // equal to the maximum: stays
    m.add(2, {kNaN, -kInf});
    m.add(kInf, {kInf, 3});
    EXPECT_EQ(m.ymin, 1.0);
    EXPECT_EQ(m.ymax, 4.0);
    EXPECT_EQ(m.xmin, 0.0);
    EXPECT_EQ(m.xmax, 2.0);
    // A value missing from the point reads as 0.
    m.add(3, {-1});
    EXPECT_EQ(m.ymin, -1.0);
    EXPECT_EQ(m.points().back().values.size(), 2u);
    EXPECT_EQ(m.points().back().values[1], 0.0);
}

TEST(PlotExtents, AllNaNDataKeepTheScales)
{
    UnitModel m;
    m.setSignals(1);
    m.xscale = 2;
    m.yscale = 3;
    m.add(kNaN, {kNaN});
    m.add(kNaN, {kNaN});
    m.rescale();
    EXPECT_EQ(m.xscale, 2);
    EXPECT_EQ(m.yscale, 3);
    EXPECT_TRUE(std::isfinite(m.xoff));
    EXPECT_TRUE(std::isfinite(m.yoff));
}

TEST(PlotExtents, FarAndHugeDataRescaleWithoutOverflow)
{
    struct Case {
        double lo, hi;
    } cases[] = {{1e12 - 1, 1e12 + 1}, {-1e308, 1e308}, {-1.7e308, 1.7e308}};
    for (const Case& c : cases) {
        UnitModel m;
        m.setSignals(1);
        m.add(0, {c.lo});
        m.add(1, {c.hi});
        m.rescale();
        EXPECT_TRUE(std::isfinite(m.yscale) && m.yscale > 0) << c.hi;
        EXPECT_TRUE(std::isfinite(m.yoff)) << c.hi;
        std::vector<PlotVertex> v;
        m.paintVertices(0, v);
        ASSERT_EQ(v.size(), 2u);
        for (const PlotVertex& p : v)
            EXPECT_LT(std::abs(p.y), 10000000) << c.hi;
    }
    // The first case: the lowest value is at the bottom edge.
    UnitModel m;
    m.setSignals(1);
    m.add(0, {1e12 - 1});
    m.add(1, {1e12 + 1});
    m.rescale();
    EXPECT_LE(m.yoff, 1e12 - 1);
    EXPECT_GT(m.yoff + 10 * m.yscale, 1e12 + 1);
}

namespace {

// Mode 1, x scale 1, view 0 to 10.
struct PagingModel : UnitModel {
    PagingModel()
    {
        setSignals(1);
        pagingMode = kPlotPagingTime;
        xscale = 1;
        yscale = 1;
    }
};

} // namespace

TEST(PlotPaging, PointBeyondTheRightEdgeMovesOnePage)
{
    PagingModel m;
    bool paged = false;
    for (int i = 0; i <= 20; ++i) {
        m.add(i * 0.5, {1}, &paged);
        EXPECT_FALSE(paged) << i;
    }
    m.add(10.5, {1}, &paged);
    EXPECT_TRUE(paged);
    EXPECT_DOUBLE_EQ(m.xoff, 10.0);
    EXPECT_EQ(std::string(m.xTickLabel(0).text()), "10.");
    // The new segment starts at the previous point, now on the left edge.
    ASSERT_EQ(m.segments.size(), 1u);
    EXPECT_EQ(m.segments[0].from.x, m.areaLeft());
    EXPECT_GT(m.segments[0].to.x, m.areaLeft());

    m.add(11, {1}, &paged);
    EXPECT_FALSE(paged);
    EXPECT_DOUBLE_EQ(m.xoff, 10.0);
    // Far above the top: y never pages, nor does it page x.
    m.add(11.5, {1e6}, &paged);
    EXPECT_FALSE(paged);
    m.add(12, {-1e6}, &paged);
    EXPECT_FALSE(paged);
    EXPECT_DOUBLE_EQ(m.xoff, 10.0);
}

TEST(PlotPaging, ModeThreeAndRepaintsNeverPage)
{
    PagingModel m;
    m.pagingMode = kPlotPagingNone;
    bool paged = false;
    m.add(0, {1}, &paged);
    m.add(25, {1}, &paged);
    EXPECT_FALSE(paged);
    EXPECT_EQ(m.xoff, 0.0);

    PagingModel r;
    r.add(0, {1});
    r.add(5, {1});
    r.xoff = 20;   // every point left of the view
    std::vector<PlotVertex> v;
    r.paintVertices(0, v);
    EXPECT_EQ(r.xoff, 20.0);
    EXPECT_EQ(r.pageX(50), r.deviceX(150 + 3000));
    EXPECT_EQ(r.xoff, 20.0);
}

TEST(PlotPaint, PointsOfOneColumnGiveOneVertexAtTheirMean)
{
    UnitModel m;
    m.setSignals(1);
    m.yscale = 1;
    m.xscale = 1;
    // 0.001 apart: 0.1 logical units, all on pixel column 150.
    m.add(0.0, {1});
    m.add(0.001, {2});
    m.add(0.002, {6});
    m.add(1.0, {0});
    std::vector<PlotVertex> v;
    m.paintVertices(0, v);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].x, 150);
    EXPECT_EQ(v[0].y, m.deviceY(100 + 300));
    EXPECT_EQ(v[0].move, 1);
    EXPECT_EQ(v[1].x, 250);
    EXPECT_EQ(v[1].move, 0);
}

TEST(PlotPaint, TimeModeStartsJustLeftOfTheViewAndStopsAtTheRightEdge)
{
    PagingModel m;
    for (int i = 0; i <= 30; ++i)
        m.add(i, {static_cast<double>(i)});
    m.xoff = 10.5;
    EXPECT_EQ(m.paintStart(), 10u);
    std::vector<PlotVertex> v;
    m.paintVertices(0, v);
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(v.front().x, m.pageX(10));
    EXPECT_EQ(v.back().x, m.pageX(20));
    EXPECT_EQ(v.size(), 11u);

    m.xoff = -5;   // no point left of the view: the first
    EXPECT_EQ(m.paintStart(), 0u);
}

TEST(PlotPaint, NotANumberBreaksTheCurve)
{
    UnitModel m;
    m.setSignals(2);
    m.add(0, {1, 1});
    m.add(1, {kNaN, 1});
    m.add(2, {1, 1});
    m.add(3, {1, 1});
    std::vector<PlotVertex> v;
    m.paintVertices(0, v);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].move, 1);
    EXPECT_EQ(v[1].move, 1);
    EXPECT_EQ(v[2].move, 0);
    m.paintVertices(1, v);
    EXPECT_EQ(v.size(), 4u);
    // The newest segment of a value that is not a number is not drawn.
    m.add(4, {kNaN, 1});
    ASSERT_EQ(m.segments.size(), 1u);
    EXPECT_EQ(m.segments[0].signal, 1);
}

TEST(PlotPaint, HiddenSignalsHaveNoNewSegmentAndNoLegendLine)
{
    UnitModel m;
    m.setSignals(3);
    m.signals[1].shown = 0;
    m.add(0, {1, 2, 3});
    m.add(1, {1, 2, 3});
    ASSERT_EQ(m.segments.size(), 2u);
    EXPECT_EQ(m.segments[0].signal, 0);
    EXPECT_EQ(m.segments[1].signal, 2);
    EXPECT_EQ(m.segments[1].hasFrom, 1);
    EXPECT_EQ(m.legendOrder(), (std::vector<int>{0, 2}));
}

TEST(PlotZoom, DragGivesQuarterScaleAndSnappedOffset)
{
    UnitModel m;
    m.setSignals(1);
    for (int i = 0; i <= 10; ++i)
        m.add(i, {static_cast<double>(i)});
    m.rescale();
    ASSERT_DOUBLE_EQ(m.xscale, 1.0);
    // Device x 350 is data x 2.0, 650 is 5.0; y from data 2 to 6.
    ASSERT_TRUE(m.zoom(350, m.deviceY(100 + 200), 650, m.deviceY(100 + 600)));
    EXPECT_DOUBLE_EQ(m.xscale, 3.0 / 0.25 / 10 * 0.25);
    EXPECT_NEAR(m.xscale, 0.3, 1e-15);
    EXPECT_NEAR(m.xoff, 2.1, 1e-12);
    EXPECT_EQ(m.autoX, 0);
    EXPECT_EQ(m.autoY, 0);
    EXPECT_NEAR(m.yscale, 0.4, 1e-15);
}

TEST(PlotZoom, NarrowDragChangesNothing)
{
    UnitModel m;
    m.setSignals(1);
    for (int i = 0; i <= 10; ++i)
        m.add(i, {static_cast<double>(i)});
    m.rescale();
    double xs = m.xscale, ys = m.yscale, xo = m.xoff, yo = m.yoff;
    EXPECT_FALSE(m.zoom(400, 500, 400, 500));
    EXPECT_FALSE(m.zoom(400, 500, 600, 500));
    EXPECT_EQ(m.xscale, xs);
    EXPECT_EQ(m.yscale, ys);
    EXPECT_EQ(m.xoff, xo);
    EXPECT_EQ(m.yoff, yo);
    EXPECT_EQ(m.autoX, 1);
    EXPECT_EQ(m.autoY, 1);
}

TEST(PlotLabels, TickLabelsAtScaleOneTenth)
{
    UnitModel m;
    m.xscale = 0.1;
    const char* expected[] = {"0.", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1."};
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(std::string(m.xTickLabel(i).text()), expected[i]) << i;
}

TEST(PlotSignals, DefaultsAndIndexesOutsideTheArray)
{
    UnitModel m;
    m.setSignals(2);
    EXPECT_EQ(std::string(m.signalName(1).text()), "Signal 1");
    EXPECT_EQ(m.signals[0].shown, 1);
    m.setSignal(5, "x", 7);
    m.setSignal(-1, "x", 7);
    EXPECT_EQ(std::string(m.signalName(0).text()), "Signal 0");
    EXPECT_EQ(std::string(m.signalName(1).text()), "Signal 1");
    m.setSignal(1, "y", plotColour(255, 0, 0));
    EXPECT_EQ(m.colourByName("y"), plotColour(255, 0, 0));
    EXPECT_EQ(m.colourByName("z"), 0u);
    EXPECT_EQ(std::string(m.signalName(7).text()), "");
    m.setSignals(-1);
    EXPECT_EQ(m.nSignals, 0);
    EXPECT_TRUE(m.signals.empty());
    EXPECT_EQ(std::string(m.title().text()), "Zeit");
}

namespace {

struct Box {
    int left, top, right, bottom;
};

bool apart(const Box& a, const Box& b)
{
    return a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
}

// Every tick label that is drawn, the x title and the legend lines as
// boxes, laid out as the pane draws them with labels of the given sizes.
std::vector<Box> labelBoxes(const PlotModel& m, const PlotLabelSpace& s, int legendLines)
{
    std::vector<Box> boxes;
    for (int i = 0; i <= m.xDivisions(); i += m.xLabelStep()) {
        int x = m.deviceX(m.left + i * m.gridPx);
        boxes.push_back({x - (s.xLabelWidth + 1) / 2, m.xLabelTop(), x + (s.xLabelWidth + 1) / 2,
                         m.xLabelTop() + s.textHeight});
    }
    for (int k = 0; k <= m.yDivisions(); k += m.yLabelStep()) {
        int y = m.deviceY(m.bottom + k * m.gridPx);
        boxes.push_back({m.yLabelRight() - s.yLabelWidth, y - s.textHeight / 2, m.yLabelRight(),
                         y - s.textHeight / 2 + s.textHeight});
    }
    const int legendX = m.drawingWidth() - 10 - s.legendWidth;
    boxes.push_back({legendX, m.xLabelTop(), legendX + s.legendWidth, m.xLabelTop() + s.textHeight});
    const int legendTop = static_cast<int>(std::lround(m.bottom * m.yFactor));
    for (int k = 1; k <= legendLines; ++k)
        boxes.push_back({legendX, legendTop + (k + 1) * s.textHeight, legendX + s.legendWidth,
                         legendTop + (k + 2) * s.textHeight});
    return boxes;
}

} // namespace

TEST(PlotMetrics, TickFontIsTenthsOfAMillimetreButNotBelowTheMinimum)
{
    struct {
        int w, h, fontSize, minimum, expected;
    } cases[] = {
        {376, 260, 20, 0, 4},     // a small window by the millimetre rule
        {376, 260, 20, 13, 13},   // ... on the screen
        {1300, 1250, 20, 13, 20}, // a large window is above the minimum
        {1300, 1250, 30, 0, 30},
        {10, 10, 20, 0, 1}, // never below one pixel
    };
    for (const auto& c : cases) {
        PlotModel m;
        m.fontSize = c.fontSize;
        m.setDrawingSize(c.w, c.h);
        EXPECT_EQ(m.tickFontHeight(c.minimum), c.expected) << c.w << "x" << c.h << " min " << c.minimum;
        // Grown margins do not feed back into the font.
        m.fitLabels(PlotLabelSpace{13, 40, 40, 60});
        EXPECT_EQ(m.tickFontHeight(c.minimum), c.expected) << c.w << "x" << c.h << " fitted";
    }
}

TEST(PlotMetrics, ScreenLabelsNeitherTouchEachOtherNorThePlotArea)
{
    struct {
        int w, h;
        PlotLabelSpace space;
    } cases[] = {
        {376, 252, {13, 22, 28, 42}}, // the default 400 x 400 window, labels "-0.75", legend "cosinus"
        {376, 252, {13, 44, 50, 80}}, // long labels ("1.5e+04") and names
        {250, 150, {13, 22, 28, 42}}, // a window made small
        {616, 380, {13, 22, 28, 42}},
        {376, 252, {16, 30, 30, 30}},
    };
    for (const auto& c : cases) {
        PlotModel m;
        m.setDrawingSize(c.w, c.h);
        m.fitLabels(c.space);
        const Box area = {m.areaLeft(), m.areaTop(), m.areaRight() + 1, m.areaBottom() + 1};
        const std::vector<Box> boxes = labelBoxes(m, c.space, 3);
        const std::string label = std::to_string(c.w) + "x" + std::to_string(c.h) + " labels " +
                                  std::to_string(c.space.xLabelWidth) + "/" + std::to_string(c.space.yLabelWidth);
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_TRUE(apart(boxes[i], area)) << label << ": box " << i << " on the plot area";
            EXPECT_GE(boxes[i].left, 0) << label << ": box " << i;
            EXPECT_LE(boxes[i].right, c.w) << label << ": box " << i;
            EXPECT_GE(boxes[i].top, 0) << label << ": box " << i;
            EXPECT_LE(boxes[i].bottom, c.h) << label << ": box " << i;
            for (size_t j = i + 1; j < boxes.size(); ++j)
                EXPECT_TRUE(apart(boxes[i], boxes[j])) << label << ": boxes " << i << " and " << j;
        }
        // The first and last lines keep their labels; the plot area keeps
        // its ten divisions and at least a third of the window.
        EXPECT_EQ(m.xDivisions() % m.xLabelStep(), 0) << label;
        EXPECT_EQ(m.yDivisions() % m.yLabelStep(), 0) << label;
        EXPECT_GE(m.areaRight() - m.areaLeft(), c.w / 3 - 1) << label;
        EXPECT_GE(m.areaBottom() - m.areaTop(), c.h / 3 - 1) << label;
    }
}

TEST(PlotMetrics, LabelsThatFitKeepTheMillimetreLayout)
{
    PlotModel m;
    m.setDrawingSize(1300, 1250);
    m.fitLabels(PlotLabelSpace{20, 40, 40, 60});
    EXPECT_EQ(m.left, 150);
    EXPECT_EQ(m.right, 150);
    EXPECT_EQ(m.bottom, 100);
    EXPECT_EQ(m.top, 150);
    EXPECT_DOUBLE_EQ(m.xFactor, 1.0);
    EXPECT_DOUBLE_EQ(m.yFactor, 1.0);
    EXPECT_EQ(m.xLabelStep(), 1);
    EXPECT_EQ(m.yLabelStep(), 1);
    // Labels 20 units below and left of the plot area, as on a page.
    EXPECT_EQ(m.xLabelTop(), 1250 - 80);
    EXPECT_EQ(m.yLabelRight(), 130);
}

TEST(PlotMetrics, FitIsKeptOverResizesAndDroppedForPagesAndEmptySpace)
{
    PlotModel m;
    m.setDrawingSize(376, 252);
    const double ruleX = m.xFactor;
    m.fitLabels(PlotLabelSpace{13, 22, 28, 42});
    EXPECT_LT(m.xFactor, ruleX);
    EXPECT_EQ(m.xLabelStep(), 2);
    // A new size lays the same labels out again.
    m.setDrawingSize(300, 200);
    EXPECT_LT(m.xFactor, 300 / 1300.0);
    EXPECT_EQ(m.labelSpace().xLabelWidth, 22);
    // A page keeps the margins of 0.1 mm.
    m.setPrintMetrics(827 / 2100.0, 1169 / 2970.0);
    EXPECT_EQ(m.left, 150);
    EXPECT_EQ(m.bottom, 100);
    EXPECT_DOUBLE_EQ(m.xFactor, m.drawingWidth() / 1300.0);
    EXPECT_EQ(m.xLabelStep(), 1);
    m.setDrawingSize(376, 252);
    m.fitLabels(PlotLabelSpace{13, 22, 28, 42});
    m.fitLabels(PlotLabelSpace());
    EXPECT_EQ(m.left, 150);
    EXPECT_DOUBLE_EQ(m.xFactor, 376 / 1300.0);
    EXPECT_EQ(m.xLabelStep(), 1);
}
