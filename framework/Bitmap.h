// Device bitmaps, regions, device-independent bitmaps from ".bmp" files and
// from device bitmaps, and the metafile context that records drawing and
// plays it back scaled.
#ifndef KYT_FRAMEWORK_BITMAP_H
#define KYT_FRAMEWORK_BITMAP_H

#include "DeviceContext.h"
#include "DibReader.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class Bitmap : public GdiObject {
public:
    Bitmap() {}
    // CreateBitmap without initial bits.
    Bitmap(int width, int height, int bitsPerPixel, int planes);
    // CreateCompatibleBitmap of the context's HDC (attached for the call).
    Bitmap(int width, int height, DeviceContext& context);
    // From the program's module or the library the identifier names.
    explicit Bitmap(const ResourceId& resource);
    // An existing handle, owned.
    explicit Bitmap(HBITMAP existing) : GdiObject(existing, 0) {}
    HBITMAP bitmap() const { return static_cast<HBITMAP>(handle); }
    // Width and height; (0, 0) without a handle.
    Point getSize() const;
};

class Region : public GdiObject {
public:
    Region();
    explicit Region(HRGN existing);
    Region(int left, int top, int right, int bottom);
    explicit Region(const RECT& r);
    // Ellipse in the rectangle.
    static Region* ellipse(int left, int top, int right, int bottom);
    Region(const POINT* points, int count, int fillMode);
    Region(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    HRGN region() const { return static_cast<HRGN>(handle); }

    // The result replaces this region.
    int intersect(const Region& other) { return combine(other, RGN_AND); }
    int unite(const Region& other) { return combine(other, RGN_OR); }
    int exclusiveOr(const Region& other) { return combine(other, RGN_XOR); }
    int subtract(const Region& other) { return combine(other, RGN_DIFF); }
    void offset(int dx, int dy);
    void offsetBack(int dx, int dy) { offset(-dx, -dy); }
    bool operator==(const Region& other) const;
    bool operator!=(const Region& other) const { return !(*this == other); }
    bool contains(const Point& p) const;
    bool containsRect(const Rect& r) const;
    Rect boundingBox() const;

    Rect bounds;
    int cornerWidth;
    int cornerHeight;

private:
    int combine(const Region& other, int mode);
};

// A packed DIB: 40-byte header, colour table, bits.
typedef std::vector<uint8_t> DibBlock;

// Reads a DIB file; false (an empty block) when it is short or damaged.
bool readDibFile(FILE* file, DibBlock& block);

// A device bitmap made from a ".bmp" file for a context. A name without a
// dot gets ".bmp" appended. A file that cannot be opened (or a name too long
// for a Windows path) is reported with "Can't open file" under the name and
// gives no bitmap.
class Dib : public Bitmap {
public:
    Dib(DeviceContext& context, const char* fileName, HPALETTE palette = nullptr);
};

// A DIB of a device bitmap; bits per pixel 0 takes the bitmap's own.
// false (and an empty block) on failure.
bool dibFromBitmap(const Bitmap& bitmap, DWORD compression, int bitsPerPixel, HPALETTE palette, DibBlock& block);
// StretchDIBits into the context; without a DIB, PatBlt with the raster op.
int stretchDib(DeviceContext& context, int x, int y, int w, int h, const DibBlock* dib, int sourceX, int sourceY,
               int sourceW, int sourceH, DWORD rop = SRCCOPY);

struct MetafilePicture {
    int mapMode;
    int width;
    int height;
    HMETAFILE metafile;
};

class MetafileDC : public DeviceContext {
public:
    explicit MetafileDC(DeviceContext* reference = nullptr);
    // The metafile stays (its owner deletes it).
    ~MetafileDC() override {}

    HDC acquireHandle() override;
    void releaseHandle() override;
    Rect updateRect() override;
    Point textExtent(const char* text, int length) override;
    Rect drawingArea() override;
    // Plays the recording into the rectangle of the target.
    int copyArea(DeviceContext& target, int x, int y, int w, int h, int sourceX = 0, int sourceY = 0) override;

    void setBounds(const Rect& r) { bounds = r; }
    MetafilePicture picture();

    DeviceContext* reference;
    HMETAFILE metafile;
    Rect bounds;
};

#endif
