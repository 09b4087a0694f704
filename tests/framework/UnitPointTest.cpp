#include "UnitPoint.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A device with fixed metrics and a fixed font.
class FakeDevice : public DeviceMetrics {
public:
    int horzRes = 1000, vertRes = 500, horzSize = 250, vertSize = 125, logX = 96, logY = 120;
    int sampleWidth = 520, lineHeight = 16;
    mutable const char* measured = nullptr;

    int deviceCaps(int index) const override
    {
        switch (index) {
        case CAP_HORZRES: return horzRes;
        case CAP_VERTRES: return vertRes;
        case CAP_HORZSIZE: return horzSize;
        case CAP_VERTSIZE: return vertSize;
        case CAP_LOGPIXELSX: return logX;
        case CAP_LOGPIXELSY: return logY;
        }
        return 0;
    }
    int textExtentWidth(const char* text, int length) const override
    {
        measured = text;
        return length == 52 ? sampleWidth : 0;
    }
    int textLineHeight() const override { return lineHeight; }
};

class UnitPointTest : public ::testing::Test {
protected:
    void SetUp() override { saved = startupScreenMetrics(); }
    void TearDown() override
    {
        setStartupScreenMetrics(saved);
        setDialogBaseUnitsReader(nullptr);
        setScreenMetricsReader(nullptr);
    }
    ScreenMetrics saved{0, 0, 0, 0, 0, 0};
};

TEST_F(UnitPointTest, DialogUnitsWithAFontRoundTheAverageWidthAndAddThreeToY)
{
    FakeDevice dev;
    struct Case {
        int extent, unitX, pixelX;
    } cases[] = {
        {520, 7, 18},   // t = 70: 17 rest 2 rounds up
        {520, -7, -17}, // t = -70: rest -2 keeps the sign, toward zero
        {520, 4, 10},
        {546, 4, 11},   // 546 / 52 = 10 rest 26: average 11
        {545, 4, 10},   // rest 25: average 10
        {520, 0, 0},
    };
    for (const Case& c : cases) {
        dev.sampleWidth = c.extent;
        DialogUnitPoint p(c.unitX, 0, &dev);
        EXPECT_EQ(p.pixelX, c.pixelX) << "extent " << c.extent << " x " << c.unitX;
        EXPECT_EQ(p.unitX, c.unitX);
    }
    EXPECT_STREQ(dev.measured, "ABCDEFGHIJLKMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(DialogUnitPoint(0, 0, &dev).pixelY, 3);
    EXPECT_EQ(DialogUnitPoint(0, 8, &dev).pixelY, 19);
    EXPECT_EQ(DialogUnitPoint(0, 5, &dev).pixelY, 13); // 16 * 5 / 8 = 10, + 3
}

long baseUnits8x16()
{
    return 8 | (16L << 16);
}

long baseUnits6x13()
{
    return 6 | (13L << 16);
}

TEST_F(UnitPointTest, DialogUnitsWithoutADialogUseTheBaseUnitsWithoutTheAddedThree)
{
    setDialogBaseUnitsReader(baseUnits8x16);
    DialogUnitPoint p(10, 10);
    EXPECT_EQ(p.pixelX, 20);
    EXPECT_EQ(p.pixelY, 20);
    setDialogBaseUnitsReader(baseUnits6x13);
    DialogUnitPoint q(3, 3);
    EXPECT_EQ(q.pixelX, 4); // 18 / 4 truncates
    EXPECT_EQ(q.pixelY, 4); // 39 / 8 truncates
    Point asPoint = q;
    EXPECT_EQ(asPoint, Point(4, 4));
}

TEST_F(UnitPointTest, PhysicalUnitsConvertThroughTheDevice)
{
    FakeDevice dev; // 4 px/mm across, 4 px/mm down, 96 and 120 dpi
    struct Case {
        const char* name;
        UnitPoint p;
        int px, py;
    };
    Case cases[] = {
        {"tenth mm", TenthMillimetreSize(100, 50, &dev), 40, 20},
        {"hundredth mm", HundredthMillimetreSize(1000, 999, &dev), 40, 39},
        {"hundredth inch", HundredthInchSize(100, 100, &dev), 96, 120},
        {"thousandth inch", ThousandthInchSize(1000, 500, &dev), 96, 60},
        {"sixth inch", SixthInchSize(6, 1, &dev), 96, 20},
        {"tenth point", TenthPointSize(720, 100, &dev), 96, 16},
        {"tenth point negative", TenthPointSize(-100, -100, &dev), -13, -16},
        {"decipoint alias", DecipointPoint(360, 360, &dev), 48, 60},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.p.pixelX, c.px) << c.name;
        EXPECT_EQ(c.p.pixelY, c.py) << c.name;
    }
    UnitPoint plain(7, -3);
    EXPECT_EQ(plain.pixels(), Point(7, -3));
    UnitPoint zero;
    EXPECT_EQ(zero.pixelX, 0);
    EXPECT_EQ(zero.unitY, 0);
}

TEST_F(UnitPointTest, VirtualSettersConvertLaterValues)
{
    FakeDevice dev;
    TenthMillimetreSize size(0, 0, &dev);
    UnitPoint& base = size;
    base.setX(25, &dev);
    EXPECT_EQ(size.pixelX, 10);
    EXPECT_EQ(size.unitX, 25);
}

TEST_F(UnitPointTest, ADeviceReportingNoMillimetresUsesTheScreen)
{
    setStartupScreenMetrics(ScreenMetrics(1280, 1024, 96, 96, 270, 338));
    FakeDevice metafile;
    metafile.horzSize = 0;
    metafile.vertSize = 0;
    TenthMillimetreSize onScreen(100, 100, nullptr);
    TenthMillimetreSize onMetafile(100, 100, &metafile);
    EXPECT_EQ(onScreen.pixelX, 1280 * 100 / 3380);
    EXPECT_EQ(onScreen.pixelY, 1024 * 100 / 2700);
    EXPECT_EQ(onMetafile.pixelX, onScreen.pixelX);
    EXPECT_EQ(onMetafile.pixelY, onScreen.pixelY);
    HundredthMillimetreSize h(1000, 1000, &metafile);
    EXPECT_EQ(h.pixelX, onScreen.pixelX);

    // A screen that reports no size either goes by its logical inch.
    setStartupScreenMetrics(ScreenMetrics(1280, 1024, 96, 96, 0, 0));
    TenthMillimetreSize inch(254, 254, &metafile);
    EXPECT_EQ(inch.pixelX, 96);
    EXPECT_EQ(inch.pixelY, 96);
}

void zeroScreen(int32_t& a, int32_t& b, int32_t& c, int32_t& d, int32_t& e, int32_t& f)
{
    a = b = 0;
    c = d = 96;
    e = 200;
    f = 300;
}

TEST_F(UnitPointTest, AScreenThatReadsNoResolutionIs640By480)
{
    setScreenMetricsReader(zeroScreen);
    ScreenMetrics m;
    EXPECT_EQ(m.horzRes, 640);
    EXPECT_EQ(m.vertRes, 480);
    EXPECT_EQ(m.logPixelsX, 96);
    EXPECT_EQ(m.vertSize, 200);
    EXPECT_EQ(m.horzSize, 300);
}

TEST(ValueTypesTest, ColorBytesFollowTheColorrefOrder)
{
    Color c(0x04030201u);
    EXPECT_EQ(c.red, 1);
    EXPECT_EQ(c.green, 2);
    EXPECT_EQ(c.blue, 3);
    EXPECT_EQ(c.flag, 4);
    EXPECT_EQ(c.packed(), 0x04030201u);
    Color blue(0xff0000u);
    EXPECT_EQ(blue.blue, 0xff);
    EXPECT_EQ(blue.red, 0);
    unsigned char bytes[4];
    std::memcpy(bytes, &c, 4);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[3], 4);
}

TEST(ValueTypesTest, PointAndRectOperations)
{
    Point p(3, 4);
    EXPECT_EQ(p.plus(1, 2), Point(4, 6));
    EXPECT_EQ(p.minus(Point(1, 1)), Point(2, 3));
    Point out;
    p.offset(-5, 1, out);
    EXPECT_EQ(p, Point(-2, 5));
    EXPECT_EQ(out, p);
    p.x() = 9;
    EXPECT_EQ(p.x(), 9);
    Rect r = Rect::fromOriginSize(Point(10, 20), Point(30, 40));
    EXPECT_EQ(r, Rect(10, 20, 40, 60));
    r.bottomRight().y() = 70;
    EXPECT_EQ(r.height(), 50);
    int32_t raw[4];
    std::memcpy(raw, &r, sizeof raw);
    EXPECT_EQ(raw[0], 10);
    EXPECT_EQ(raw[1], 20);
    EXPECT_EQ(raw[2], 40);
    EXPECT_EQ(raw[3], 70);
}

} // namespace
