#include "UnitPoint.h"

#include <cstring>

namespace {

void readNothing(int32_t& a, int32_t& b, int32_t& c, int32_t& d, int32_t& e, int32_t& f)
{
    a = b = c = d = e = f = 0;
}

ScreenMetricsReader screenReader = readNothing;

long defaultBaseUnits()
{
    return 8 | (16L << 16);
}

DialogBaseUnitsReader baseUnitsReader = defaultBaseUnits;

ScreenMetrics& startupMetrics()
{
    static ScreenMetrics metrics(0, 0, 0, 0, 0, 0);
    return metrics;
}

int capOf(const DeviceMetrics* device, int index)
{
    const ScreenMetrics& s = startupScreenMetrics();
    if (device)
        return device->deviceCaps(index);
    switch (index) {
    case CAP_HORZSIZE: return s.horzSize;
    case CAP_VERTSIZE: return s.vertSize;
    case CAP_HORZRES: return s.horzRes;
    case CAP_VERTRES: return s.vertRes;
    case CAP_LOGPIXELSX: return s.logPixelsX;
    case CAP_LOGPIXELSY: return s.logPixelsY;
    }
    return 0;
}

int32_t truncDiv(int64_t a, int64_t b)
{
    return b == 0 ? 0 : static_cast<int32_t>(a / b);
}

// value * RES / (SIZE * perMm) for a unit of 1/perMm millimetre. A device
// that reports 0 mm (a metafile or a printer context without a printer)
// would divide by zero: it takes the screen's metrics, as a null device
// does; a screen that reports 0 mm as well goes by its logical inch.
int32_t millimetreToPixels(int32_t value, const DeviceMetrics* device, int resIndex, int sizeIndex,
                           int logIndex, int perMm)
{
    if (device && device->deviceCaps(sizeIndex) != 0)
        return truncDiv(int64_t(value) * device->deviceCaps(resIndex),
                        int64_t(device->deviceCaps(sizeIndex)) * perMm);
    int size = capOf(nullptr, sizeIndex);
    if (size != 0)
        return truncDiv(int64_t(value) * capOf(nullptr, resIndex), int64_t(size) * perMm);
    // 25.4 mm to the inch.
    return truncDiv(int64_t(value) * capOf(nullptr, logIndex) * 10, int64_t(254) * perMm);
}

int32_t inchToPixels(int32_t value, const DeviceMetrics* device, int logIndex, int perInch)
{
    return truncDiv(int64_t(value) * capOf(device, logIndex), perInch);
}

} // namespace

const char* const kDialogUnitSample = "ABCDEFGHIJLKMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

ScreenMetrics::ScreenMetrics()
{
    int32_t hres, vres, lx, ly, vsize, hsize;
    screenReader(hres, vres, lx, ly, vsize, hsize);
    *this = ScreenMetrics(hres, vres, lx, ly, vsize, hsize);
}

ScreenMetrics::ScreenMetrics(int32_t hres, int32_t vres, int32_t logX, int32_t logY, int32_t vsize,
                             int32_t hsize)
    : horzRes(hres ? hres : 640), vertRes(vres ? vres : 480), logPixelsX(logX), logPixelsY(logY),
      vertSize(vsize), horzSize(hsize)
{
}

void setScreenMetricsReader(ScreenMetricsReader reader)
{
    screenReader = reader ? reader : readNothing;
}

const ScreenMetrics& startupScreenMetrics()
{
    return startupMetrics();
}

void setStartupScreenMetrics(const ScreenMetrics& metrics)
{
    startupMetrics() = metrics;
}

void setDialogBaseUnitsReader(DialogBaseUnitsReader reader)
{
    baseUnitsReader = reader ? reader : defaultBaseUnits;
}

long dialogBaseUnits()
{
    return baseUnitsReader();
}

void UnitPoint::setX(int32_t value, const DeviceMetrics*)
{
    unitX = value;
    pixelX = value;
}

void UnitPoint::setY(int32_t value, const DeviceMetrics*)
{
    unitY = value;
    pixelY = value;
}

void TenthMillimetreSize::setX(int32_t value, const DeviceMetrics* device)
{
    unitX = value;
    pixelX = millimetreToPixels(value, device, CAP_HORZRES, CAP_HORZSIZE, CAP_LOGPIXELSX, 10);
}

void TenthMillimetreSize::setY(int32_t value, const DeviceMetrics* device)
{
    unitY = value;
    pixelY = millimetreToPixels(value, device, CAP_VERTRES, CAP_VERTSIZE, CAP_LOGPIXELSY, 10);
}

void HundredthMillimetreSize::setX(int32_t value, const DeviceMetrics* device)
{
    unitX = value;
    pixelX = millimetreToPixels(value, device, CAP_HORZRES, CAP_HORZSIZE, CAP_LOGPIXELSX, 100);
}

void HundredthMillimetreSize::setY(int32_t value, const DeviceMetrics* device)
{
    unitY = value;
    pixelY = millimetreToPixels(value, device, CAP_VERTRES, CAP_VERTSIZE, CAP_LOGPIXELSY, 100);
}

#define KYT_INCH_UNIT(Name, perInch)                                   \
    void Name::setX(int32_t value, const DeviceMetrics* device)        \
    {                                                                  \
        unitX = value;                                                 \
        pixelX = inchToPixels(value, device, CAP_LOGPIXELSX, perInch); \
    }                                                                  \
    void Name::setY(int32_t value, const DeviceMetrics* device)        \
    {                                                                  \
        unitY = value;                                                 \
        pixelY = inchToPixels(value, device, CAP_LOGPIXELSY, perInch); \
    }

KYT_INCH_UNIT(HundredthInchSize, 100)
KYT_INCH_UNIT(ThousandthInchSize, 1000)
KYT_INCH_UNIT(SixthInchSize, 6)
KYT_INCH_UNIT(TenthPointSize, 720)

#undef KYT_INCH_UNIT

void DialogUnitPoint::setX(int32_t value, const DeviceMetrics* device)
{
    unitX = value;
    if (!device) {
        pixelX = static_cast<int32_t>((dialogBaseUnits() & 0xFFFF) * value / 4);
        return;
    }
    int width = device->textExtentWidth(kDialogUnitSample, 52);
    int average = width / 52 + (width % 52 >= 26 ? 1 : 0);
    int64_t t = int64_t(value) * average;
    // Rounds half away from zero on the positive side only; the remainder
    // keeps the sign of t, so negative values round toward zero.
    pixelX = static_cast<int32_t>(t / 4 + (t % 4 >= 2 ? 1 : 0));
}

void DialogUnitPoint::setY(int32_t value, const DeviceMetrics* device)
{
    unitY = value;
    if (!device) {
        pixelY = static_cast<int32_t>(((dialogBaseUnits() >> 16) & 0xFFFF) * value / 8);
        return;
    }
    pixelY = static_cast<int32_t>(int64_t(device->textLineHeight()) * value / 8) + 3;
}
