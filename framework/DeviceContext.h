// Drawing: a DeviceContext wraps an HDC and keeps the drawing state
// (colours, modes, mapping and stacks of pens, brushes and fonts), so that
// the state can be set before the HDC exists and is applied again every time
// the HDC is obtained. Window, memory and metafile contexts obtain the HDC in
// their own way; pens, brushes, fonts, bitmaps and regions are small owning
// wrappers of GDI handles.
#ifndef KYT_FRAMEWORK_DEVICECONTEXT_H
#define KYT_FRAMEWORK_DEVICECONTEXT_H

#include "ResourceId.h"
#include "UnitPoint.h"
#include "ValueTypes.h"

#include <windows.h>

#include <vector>

class Bitmap;
class Region;
class WindowCL;

// Names a stock object (GetStockObject index) for the constructors below.
struct StockObject {
    int index;
};

// A GDI handle and whether it is a stock object, which is never deleted.
class GdiObject {
public:
    GdiObject() : handle(nullptr), stock(0) {}
    GdiObject(HGDIOBJ h, int isStock) : handle(h), stock(isStock) {}
    virtual ~GdiObject() { deleteHandle(); }
    // DeleteObject unless it is a stock object; the handle is cleared.
    void deleteHandle();

    HGDIOBJ handle;
    int stock;

private:
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
};

class Pen : public GdiObject {
public:
    Pen(int penStyle, int penWidth, const Color& penColour);
    explicit Pen(StockObject stockIndex);
    HPEN pen() const { return static_cast<HPEN>(handle); }

    int style;
    int width;
    Color colour;
    int stockIndex;
};

// Hatch style of a solid and of a pattern brush.
const int kSolidBrush = 99;
const int kPatternBrush = 2;

class Brush : public GdiObject {
public:
    explicit Brush(const Color& fill);
    Brush(int hatchStyle, const Color& fill);
    // A pattern of the bitmap, which the brush then owns.
    explicit Brush(Bitmap* pattern);
    explicit Brush(StockObject stockIndex);
    ~Brush() override;
    HBRUSH brush() const { return static_cast<HBRUSH>(handle); }

    int hatch;
    int stockIndex;
    Color colour;
    Bitmap* patternBitmap;
};

// Style bits of a font.
enum FontStyleBit { FONT_ITALIC = 1, FONT_UNDERLINE = 2, FONT_STRIKEOUT = 4 };

// A font choice: the LOGFONT and its size in 1/720 inch.
struct FontDescription {
    LOGFONTA logFont;
    int pointSize;
};

class DeviceContext;

class Font : public GdiObject {
public:
    Font(const char* faceName, int width, int height, int weight, int familyBits, int pitchBits, int styleBits,
         int escapement = 0, int orientation = 0, int charset = ANSI_CHARSET, int outPrecision = OUT_DEFAULT_PRECIS,
         int clipPrecision = CLIP_DEFAULT_PRECIS, int quality = DEFAULT_QUALITY);
    // With a context and a point size, the height follows the context's
    // vertical resolution.
    explicit Font(const FontDescription& description, DeviceContext* context = nullptr);
    // An existing font, not owned.
    explicit Font(HFONT existing);
    explicit Font(StockObject stockIndex);
    HFONT font() const { return static_cast<HFONT>(handle); }

    LOGFONTA logFont;
    int pointSize;
    int stockIndex;

private:
    void make();
};

// A face name into the 32-byte LOGFONT field: at most 31 characters and the
// terminator (a mended fault: longer names ran past the field).
void copyFaceName(LOGFONTA& logFont, const char* faceName);

// Kinds of contexts.
enum DeviceContextKind { DC_PLAIN = 0, DC_WINDOW = 1, DC_MEMORY = 2, DC_PRINTER = 3, DC_METAFILE = 4 };

class DeviceContext : public DeviceMetrics {
public:
    DeviceContext();
    // Pops every object left on the stacks, defaults included, and deletes it.
    ~DeviceContext() override;

    // Obtains the HDC (null when none can be had).
    virtual HDC acquireHandle() { return nullptr; }
    virtual void releaseHandle() {}
    virtual Rect updateRect() { return Rect(); }
    virtual void invalidateRegion(Region*, bool) {}
    virtual void invalidateRect(const Rect*, bool) {}
    // Width and height of the text (length 0: up to the terminator).
    virtual Point textExtent(const char* text, int length);
    virtual Rect drawingArea() { return Rect(); }
    // Only while attached; 1 when drawn.
    virtual int drawBitmap(Bitmap& bitmap, int x, int y, DWORD rop = SRCCOPY);
    virtual int copyArea(DeviceContext& target, int x, int y, int w, int h, int sourceX = 0, int sourceY = 0);

    // Nesting acquire and release of the HDC; the first applies the state.
    void attach();
    void release();
    bool isAttached() const { return hdc != nullptr; }

    Color setBackColor(const Color& colour);
    Color setTextColor(const Color& colour);
    int setBackMode(int mode);
    // Push: on the stack, current and selected when attached. Pop: the one
    // below becomes current; the popped object belongs to the caller again.
    void pushBrush(Brush* brush);
    Brush* popBrush();
    Brush* setBrush(Brush* brush);
    void pushPen(Pen* pen);
    Pen* popPen();
    Pen* setPen(Pen* pen);
    void pushFont(Font* font);
    Font* popFont();
    Font* setFont(Font* font);
    Brush* currentBrush() const { return brushes.back(); }
    Pen* currentPen() const { return pens.back(); }
    Font* currentFont() const { return fontCurrent; }

    int setROP2(int mode);
    // The HDC's previous mode when attached, else the stored one (1 when none).
    int setMapMode(int mode);
    void setWindowOrigin(const Point& origin);
    void setViewportOrigin(const Point& origin);
    void setWindowExtent(const Point& extent);
    void setViewportExtent(const Point& extent);
    const Point& windowOrigin() const { return winOrigin; }
    const Point& viewportOrigin() const { return viewOrigin; }
    const Point& windowExtent() const { return winExtent; }
    const Point& viewportExtent() const { return viewExtent; }
    int mapMode() const { return storedMapMode; }
    int kind() const { return contextKind; }
    // The window origin: where a scrolled pane's document shows.
    const Point& scrollOrigin() const { return winOrigin; }
    int deviceWidthPixels() const { return horzRes; }
    int deviceHeightPixels() const { return vertRes; }
    int deviceWidthMillimetres() const { return horzSize; }
    int deviceHeightMillimetres() const { return vertSize; }
    int bitsPerPixel() const;
    const Color& backColor() const { return background; }
    const Color& textColor() const { return foreground; }

    int textOut(int x, int y, const char* text, int length);
    int patBlt(int x, int y, int w, int h, DWORD rop);
    int stretchBitmap(Bitmap& bitmap, int x, int y, int w, int h, DWORD rop = SRCCOPY, int stretchMode = COLORONCOLOR);

    // The drawing operations of the editor, the plot window and the
    // controls: on the attached HDC, as they are, with the Win32 result.
    BOOL moveTo(int x, int y);
    BOOL lineTo(int x, int y);
    BOOL rectangle(int left, int top, int right, int bottom);
    // Centre and radius.
    BOOL ellipse(int x, int y, int r);
    BOOL textOut(int x, int y, const char* text);

    // DeviceMetrics: the capabilities read when the context was made.
    int deviceCaps(int index) const override;
    int textExtentWidth(const char* text, int length) const override;
    int textLineHeight() const override;

    int nesting;
    HDC hdc;

protected:
    // The six capabilities from an HDC (a device of a test's own).
    void readCaps(HDC from);
    void copyCaps(const DeviceContext& other);
    // The six capabilities of the screen, through ScreenMetrics.
    void readScreenCaps();
    void applyState();

    Color background;
    Color foreground;
    std::vector<Brush*> brushes;
    std::vector<Pen*> pens;
    std::vector<Font*> fonts;
    Font* fontCurrent;
    int rop2;
    Point winOrigin;
    Point viewOrigin;
    Point winExtent;
    Point viewExtent;
    int storedMapMode;
    int contextKind;
    int horzRes;
    int vertRes;
    int logPixelsX;
    int logPixelsY;
    int horzSize;
    int vertSize;
    int backMode;

private:
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;
};

class WindowDC : public DeviceContext {
public:
    explicit WindowDC(WindowCL* window);

    HDC acquireHandle() override;
    void releaseHandle() override;
    Rect updateRect() override;
    void invalidateRegion(Region* region, bool erase) override;
    void invalidateRect(const Rect* rect, bool erase) override;
    Rect drawingArea() override;

    WindowCL* window;
    int painting;
    PAINTSTRUCT paint;
};

class MemoryDC : public DeviceContext {
public:
    // Compatible with the display, with the bitmap selected (owned).
    explicit MemoryDC(Bitmap* bitmap);
    // Compatible with the reference, with a new bitmap of that size.
    MemoryDC(DeviceContext& reference, int width, int height);
    // Compatible with the reference, with the bitmap selected (owned).
    MemoryDC(DeviceContext& reference, Bitmap* bitmap);
    ~MemoryDC() override;

    Rect updateRect() override;
    Rect drawingArea() override;
    int copyArea(DeviceContext& target, int x, int y, int w, int h, int sourceX = 0, int sourceY = 0) override;

    // Selects another bitmap and returns the previous one; null reselects
    // the initial bitmap and hands the current one back to the caller.
    Bitmap* selectBitmap(Bitmap* bitmap);
    Bitmap* bitmap() const { return selected; }

private:
    void init(HDC memory, Bitmap* bitmap);

    Bitmap* selected;
    HGDIOBJ initialBitmap;
};

struct TextMetrics {
    explicit TextMetrics(DeviceContext& context);
    TEXTMETRICA metrics;
};

struct FontInfo {
    TEXTMETRICA metrics;
    LOGFONTA logFont;
    const char* faceName() const { return logFont.lfFaceName; }
};
typedef std::vector<FontInfo*> FontList;

class DeviceCaps {
public:
    explicit DeviceCaps(DeviceContext& context);
    ~DeviceCaps();
    void begin();
    void end();
    int query(int index) const;

    // A new list of the fonts of the face (all fonts of all families when null).
    FontList* enumFonts(const char* faceName);
    static void freeFontList(FontList* list);

    int nesting;
    DeviceContext* context;
    HDC hdc;
    int driverVersion;
    int horzRes;
    int vertRes;
    int logPixelsX;
    int logPixelsY;
    int horzSize;
    int vertSize;
    int rasterCaps;
    int curveCaps;
    int lineCaps;
    int polygonalCaps;
    int textCaps;
    int ownsInformationContext;
};

class Cursor {
public:
    // A system cursor (IDC_*); null gives no cursor.
    explicit Cursor(LPCSTR systemId = IDC_ARROW);
    explicit Cursor(const ResourceId& resource);
    // The window shows this cursor from now on, also on every mouse move.
    void applyTo(WindowCL* window) const;

    HCURSOR handle;
    ResourceId resource;
    int fromResource;
};

#endif
