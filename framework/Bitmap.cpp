#include "Bitmap.h"

#include "Application.h"
#include "FileLayer.h"
#include "Frame.h"
#include "ResString.h"
#include "Window.h"
#include "strings/FrameworkStrings.h"

#include <cstring>
#include <string>

namespace {

// String id of "Can't open file".

} // namespace

// ---------------------------------------------------------------- Bitmap

Bitmap::Bitmap(int width, int height, int bitsPerPixel, int planes)
    : GdiObject(CreateBitmap(width, height, static_cast<UINT>(planes), static_cast<UINT>(bitsPerPixel), nullptr), 0)
{
}

Bitmap::Bitmap(int width, int height, DeviceContext& context)
{
    context.attach();
    handle = context.hdc ? CreateCompatibleBitmap(context.hdc, width, height) : nullptr;
    context.release();
}

Bitmap::Bitmap(const ResourceId& resource)
{
    ResourceModule module(resource);
    if (!module.failed())
        handle = LoadBitmapA(module.module(), resourceName(resource));
}

Point Bitmap::getSize() const
{
    BITMAP info;
    if (!handle || !GetObjectA(handle, sizeof info, &info))
        return Point();
    return Point(info.bmWidth, info.bmHeight);
}

// ---------------------------------------------------------------- Region

Region::Region() : GdiObject(CreateRectRgn(0, 0, 0, 0), 0), cornerWidth(0), cornerHeight(0) {}

Region::Region(HRGN existing) : GdiObject(existing, 0), cornerWidth(0), cornerHeight(0)
{
    bounds = boundingBox();
}

Region::Region(int left, int top, int right, int bottom)
    : GdiObject(CreateRectRgn(left, top, right, bottom), 0), bounds(left, top, right, bottom), cornerWidth(0),
      cornerHeight(0)
{
}

Region::Region(const RECT& r) : Region(r.left, r.top, r.right, r.bottom) {}

Region* Region::ellipse(int left, int top, int right, int bottom)
{
    Region* region = new Region(CreateEllipticRgn(left, top, right, bottom));
    region->bounds = Rect(left, top, right, bottom);
    return region;
}

Region::Region(const POINT* points, int count, int fillMode)
    : GdiObject(CreatePolygonRgn(points, count, fillMode), 0), cornerWidth(0), cornerHeight(0)
{
    bounds = boundingBox();
}

Region::Region(int left, int top, int right, int bottom, int w, int h)
    : GdiObject(CreateRoundRectRgn(left, top, right, bottom, w, h), 0), bounds(left, top, right, bottom),
      cornerWidth(w), cornerHeight(h)
{
}

int Region::combine(const Region& other, int mode)
{
    int r = CombineRgn(region(), region(), other.region(), mode);
    bounds = boundingBox();
    return r;
}

void Region::offset(int dx, int dy)
{
    OffsetRgn(region(), dx, dy);
    bounds = boundingBox();
}

bool Region::operator==(const Region& other) const
{
    return EqualRgn(region(), other.region()) != 0;
}

bool Region::contains(const Point& p) const
{
    return PtInRegion(region(), p.x(), p.y()) != 0;
}

bool Region::containsRect(const Rect& r) const
{
    RECT w = {r.left(), r.top(), r.right(), r.bottom()};
    return RectInRegion(region(), &w) != 0;
}

Rect Region::boundingBox() const
{
    RECT r = {0, 0, 0, 0};
    if (handle)
        GetRgnBox(region(), &r);
    return Rect(r.left, r.top, r.right, r.bottom);
}

// ---------------------------------------------------------------- DIB

bool readDibFile(FILE* file, DibBlock& block)
{
    FileDibSource source(file);
    return readDib(source, block);
}

Dib::Dib(DeviceContext& context, const char* fileName, HPALETTE palette)
{
    context.attach();
    std::string name = fileName ? fileName : "";
    if (name.find('.') == std::string::npos)
        name += ".bmp";
    // A mended fault: the name went into a fixed buffer unchecked. A name
    // that does not fit a Windows path is a file that cannot be opened.
    FILE* file = name.size() < MAX_PATH ? openFile(name.c_str(), "rb") : nullptr;
    if (!file) {
        context.release();
        WindowCL* owner = theApplication ? theApplication->mainFrame : nullptr;
        MessageBoxObject(owner, getResString(kStrCannotOpenFile), fileName ? fileName : "", MB_OK);
        return;
    }
    DibBlock dib;
    if (readDibFile(file, dib) && context.hdc) {
        const DibHeader header = parseDibHeader(dib.data());
        HPALETTE oldPalette = nullptr;
        if (palette) {
            oldPalette = SelectPalette(context.hdc, palette, FALSE);
            RealizePalette(context.hdc);
        }
        const BITMAPINFOHEADER* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
        handle = CreateDIBitmap(context.hdc, info, CBM_INIT, dib.data() + dibBitsOffset(header),
                                reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS);
        if (palette)
            SelectPalette(context.hdc, oldPalette, FALSE);
    }
    fclose(file);
    context.release();
}

bool dibFromBitmap(const Bitmap& bitmap, DWORD compression, int bitsPerPixel, HPALETTE palette, DibBlock& block)
{
    block.clear();
    BITMAP bm;
    if (!bitmap.handle || !GetObjectA(bitmap.handle, sizeof bm, &bm))
        return false;
    if (!palette)
        palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    if (bitsPerPixel == 0)
        bitsPerPixel = bm.bmPlanes * bm.bmBitsPixel;
    DibHeader header;
    header.width = bm.bmWidth;
    header.height = bm.bmHeight;
    header.bitCount = static_cast<uint16_t>(bitsPerPixel);
    header.compression = compression;
    const size_t table = static_cast<size_t>(dibColorTableEntries(header)) * 4;
    block.assign(kDibInfoHeaderBytes + table, 0);
    writeDibHeader(header, block.data());
    HDC screen = GetDC(nullptr);
    HPALETTE oldPalette = SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(block.data());
    bool ok = GetDIBits(screen, bitmap.bitmap(), 0, static_cast<UINT>(bm.bmHeight), nullptr, info, DIB_RGB_COLORS) != 0;
    if (ok) {
        header = parseDibHeader(block.data());
        uint64_t image = header.sizeImage;
        if (image == 0) {
            image = dibImageBytes(header);
            if (compression != BI_RGB)
                image = image * 3 / 2;
        }
        ok = image <= kDibMaxImageBytes;
        if (ok) {
            block.resize(dibBitsOffset(header) + static_cast<size_t>(image));
            info = reinterpret_cast<BITMAPINFO*>(block.data());
            ok = GetDIBits(screen, bitmap.bitmap(), 0, static_cast<UINT>(bm.bmHeight),
                           block.data() + dibBitsOffset(header), info, DIB_RGB_COLORS) != 0;
        }
    }
    SelectPalette(screen, oldPalette, FALSE);
    ReleaseDC(nullptr, screen);
    if (!ok)
        block.clear();
    return ok;
}

int stretchDib(DeviceContext& context, int x, int y, int w, int h, const DibBlock* dib, int sourceX, int sourceY,
               int sourceW, int sourceH, DWORD rop)
{
    if (!context.hdc)
        return 0;
    if (!dib || dib->size() < kDibInfoHeaderBytes)
        return PatBlt(context.hdc, x, y, w, h, rop);
    const DibHeader header = parseDibHeader(dib->data());
    return StretchDIBits(context.hdc, x, y, w, h, sourceX, sourceY, sourceW, sourceH,
                         dib->data() + dibBitsOffset(header), reinterpret_cast<const BITMAPINFO*>(dib->data()),
                         DIB_RGB_COLORS, rop);
}

// ---------------------------------------------------------------- MetafileDC

MetafileDC::MetafileDC(DeviceContext* ref) : reference(ref), metafile(nullptr)
{
    contextKind = DC_METAFILE;
    storedMapMode = MM_ANISOTROPIC;
    if (reference) {
        reference->attach();
        copyCaps(*reference);
        background = reference->backColor();
        foreground = reference->textColor();
        reference->release();
    }
}

HDC MetafileDC::acquireHandle()
{
    HDC recording = CreateMetaFileA(nullptr);
    if (!recording)
        return nullptr;
    SetMapMode(recording, MM_ANISOTROPIC);
    SetWindowOrgEx(recording, 0, 0, nullptr);
    Rect area = bounds.left() != bounds.right() ? bounds : drawingArea();
    SetWindowExtEx(recording, area.width(), area.height(), nullptr);
    return recording;
}

void MetafileDC::releaseHandle()
{
    HMETAFILE closed = CloseMetaFile(hdc);
    if (closed) {
        if (metafile)
            DeleteMetaFile(metafile);
        metafile = closed;
    }
}

Rect MetafileDC::updateRect()
{
    if (bounds.left() != bounds.right())
        return bounds;
    if (reference) {
        Rect area = reference->drawingArea();
        if (area.width() || area.height())
            return area;
    }
    return Rect(0, 0, horzRes, vertRes);
}

Rect MetafileDC::drawingArea()
{
    if (reference)
        reference->attach();
    Rect area = updateRect();
    if (reference)
        reference->release();
    return area;
}

Point MetafileDC::textExtent(const char* text, int length)
{
    if (!reference)
        return Point();
    reference->attach();
    Point size = reference->textExtent(text, length);
    reference->release();
    return size;
}

int MetafileDC::copyArea(DeviceContext& target, int x, int y, int w, int h, int, int)
{
    if (!target.hdc)
        return 0;
    // A mended fault: the played records change the target's mapping; saved
    // and restored, later drawing on the target is not scaled or shifted.
    const int saved = SaveDC(target.hdc);
    SetMapMode(target.hdc, MM_ANISOTROPIC);
    SetWindowOrgEx(target.hdc, x, y, nullptr);
    SetWindowExtEx(target.hdc, w, h, nullptr);
    SetViewportOrgEx(target.hdc, x, y, nullptr);
    SetViewportExtEx(target.hdc, w, h, nullptr);
    int r = metafile ? PlayMetaFile(target.hdc, metafile) : 0;
    RestoreDC(target.hdc, saved);
    return r;
}

MetafilePicture MetafileDC::picture()
{
    Rect area = drawingArea();
    MetafilePicture p = {storedMapMode ? storedMapMode : 1, area.width(), area.height(), metafile};
    return p;
}
