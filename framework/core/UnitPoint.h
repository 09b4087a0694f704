// Positions and sizes given in a physical or dialog unit, turned into device
// pixels, and the metrics of the screen and of a device that the conversion
// needs.
#ifndef KYT_FRAMEWORK_UNITPOINT_H
#define KYT_FRAMEWORK_UNITPOINT_H

#include "ValueTypes.h"

#include <cstdint>

// Indexes of the device capabilities, as GetDeviceCaps numbers them.
enum DeviceCapIndex {
    CAP_HORZSIZE = 4,
    CAP_VERTSIZE = 6,
    CAP_HORZRES = 8,
    CAP_VERTRES = 10,
    CAP_LOGPIXELSX = 88,
    CAP_LOGPIXELSY = 90
};

// What a unit conversion asks of a device; the device contexts of the window
// layer answer it, tests answer with fixed numbers.
class DeviceMetrics {
public:
    virtual ~DeviceMetrics() {}
    virtual int deviceCaps(int index) const = 0;
    // Width in pixels of the text in the device's current font.
    virtual int textExtentWidth(const char* text, int length) const = 0;
    // Height plus external leading of the device's current font.
    virtual int textLineHeight() const = 0;
};

// The screen's resolution in pixels, pixels per logical inch and size in
// millimetres. A resolution that reads 0 becomes 640 x 480.
struct ScreenMetrics {
    int32_t horzRes;
    int32_t vertRes;
    int32_t logPixelsX;
    int32_t logPixelsY;
    int32_t vertSize;
    int32_t horzSize;

    // Reads the screen now, through the installed reader.
    ScreenMetrics();
    ScreenMetrics(int32_t hres, int32_t vres, int32_t logX, int32_t logY, int32_t vsize, int32_t hsize);
};

// Fills the raw screen values; the Windows layer installs one that asks a DC
// of the desktop window. Without one every value reads 0.
typedef void (*ScreenMetricsReader)(int32_t& horzRes, int32_t& vertRes, int32_t& logPixelsX,
                                    int32_t& logPixelsY, int32_t& vertSize, int32_t& horzSize);
void setScreenMetricsReader(ScreenMetricsReader reader);

// The screen metrics read once at start-up, used by every conversion without
// a device.
const ScreenMetrics& startupScreenMetrics();
void setStartupScreenMetrics(const ScreenMetrics& metrics);

// The system's dialog base units: width in the low word, height in the high
// word (GetDialogBaseUnits in the Windows layer). Without a reader: (8, 16).
typedef long (*DialogBaseUnitsReader)();
void setDialogBaseUnitsReader(DialogBaseUnitsReader reader);
long dialogBaseUnits();

// A point in some unit and its pixel value. The base class takes units as
// pixels. The device, when given, supplies the metrics; null means the screen.
class UnitPoint {
public:
    UnitPoint() : pixelX(0), pixelY(0), unitX(0), unitY(0) {}
    UnitPoint(int32_t ux, int32_t uy) : pixelX(0), pixelY(0), unitX(0), unitY(0)
    {
        UnitPoint::setX(ux, nullptr);
        UnitPoint::setY(uy, nullptr);
    }
    virtual ~UnitPoint() {}

    virtual void setX(int32_t value, const DeviceMetrics* device);
    virtual void setY(int32_t value, const DeviceMetrics* device);

    Point pixels() const { return Point(pixelX, pixelY); }
    operator Point() const { return pixels(); }

    int32_t pixelX;
    int32_t pixelY;
    int32_t unitX;
    int32_t unitY;
};

#define KYT_UNIT_CLASS(Name)                                                       \
    class Name : public UnitPoint {                                                \
    public:                                                                        \
        Name() {}                                                                  \
        Name(int32_t ux, int32_t uy, const DeviceMetrics* device = nullptr)        \
        {                                                                          \
            Name::setX(ux, device);                                                \
            Name::setY(uy, device);                                                \
        }                                                                          \
        void setX(int32_t value, const DeviceMetrics* device) override;            \
        void setY(int32_t value, const DeviceMetrics* device) override;            \
    };

// 0.1 mm and 0.01 mm through resolution and size in millimetres.
KYT_UNIT_CLASS(TenthMillimetreSize)
KYT_UNIT_CLASS(HundredthMillimetreSize)
// 0.01, 0.001 and 1/6 inch and 1/720 inch through pixels per logical inch.
KYT_UNIT_CLASS(HundredthInchSize)
KYT_UNIT_CLASS(ThousandthInchSize)
KYT_UNIT_CLASS(SixthInchSize)
KYT_UNIT_CLASS(TenthPointSize)
// Dialog units: with a device, through its font (the dialog's font selected
// into it); without one, through the system's dialog base units.
KYT_UNIT_CLASS(DialogUnitPoint)

#undef KYT_UNIT_CLASS

// The name the later parts of the program use for 1/720 inch.
typedef TenthPointSize DecipointPoint;

// The text whose extent gives a dialog font's average character width.
extern const char* const kDialogUnitSample;

#endif
