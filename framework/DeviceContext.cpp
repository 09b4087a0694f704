#include "DeviceContext.h"

#include "Application.h"
#include "Bitmap.h"
#include "Window.h"

#include <cstring>

// ---------------------------------------------------------------- drawing objects

void GdiObject::deleteHandle()
{
    if (handle && !stock)
        DeleteObject(handle);
    handle = nullptr;
}

Pen::Pen(int penStyle, int penWidth, const Color& penColour)
    : GdiObject(CreatePen(penStyle, penWidth, colorRefOf(penColour)), 0), style(penStyle), width(penWidth),
      colour(penColour), stockIndex(-1)
{
}

Pen::Pen(StockObject s) : GdiObject(GetStockObject(s.index), 1), style(0), width(0), stockIndex(s.index) {}

Brush::Brush(const Color& fill)
    : GdiObject(CreateSolidBrush(colorRefOf(fill)), 0), hatch(kSolidBrush), stockIndex(-1), colour(fill),
      patternBitmap(nullptr)
{
}

Brush::Brush(int hatchStyle, const Color& fill)
    : GdiObject(CreateHatchBrush(hatchStyle, colorRefOf(fill)), 0), hatch(hatchStyle), stockIndex(-1), colour(fill),
      patternBitmap(nullptr)
{
}

Brush::Brush(Bitmap* pattern)
    : GdiObject(CreatePatternBrush(pattern ? pattern->bitmap() : nullptr), 0), hatch(kPatternBrush), stockIndex(-1),
      patternBitmap(pattern)
{
}

Brush::Brush(StockObject s)
    : GdiObject(GetStockObject(s.index), 1), hatch(kSolidBrush), stockIndex(s.index), patternBitmap(nullptr)
{
}

Brush::~Brush()
{
    deleteHandle();
    delete patternBitmap;
}

void copyFaceName(LOGFONTA& logFont, const char* faceName)
{
    memset(logFont.lfFaceName, 0, sizeof logFont.lfFaceName);
    if (faceName)
        strncpy(logFont.lfFaceName, faceName, sizeof logFont.lfFaceName - 1);
}

Font::Font(const char* faceName, int width, int height, int weight, int familyBits, int pitchBits, int styleBits,
           int escapement, int orientation, int charset, int outPrecision, int clipPrecision, int quality)
    : pointSize(0), stockIndex(-1)
{
    memset(&logFont, 0, sizeof logFont);
    logFont.lfHeight = height;
    logFont.lfWidth = width;
    logFont.lfEscapement = escapement;
    logFont.lfOrientation = orientation;
    logFont.lfWeight = weight;
    logFont.lfItalic = (styleBits & FONT_ITALIC) ? 1 : 0;
    logFont.lfUnderline = (styleBits & FONT_UNDERLINE) ? 1 : 0;
    logFont.lfStrikeOut = (styleBits & FONT_STRIKEOUT) ? 1 : 0;
    logFont.lfCharSet = static_cast<BYTE>(charset);
    logFont.lfOutPrecision = static_cast<BYTE>(outPrecision);
    logFont.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    logFont.lfQuality = static_cast<BYTE>(quality);
    logFont.lfPitchAndFamily = static_cast<BYTE>(familyBits | pitchBits);
    copyFaceName(logFont, faceName);
    make();
}

Font::Font(const FontDescription& description, DeviceContext* context)
    : logFont(description.logFont), pointSize(description.pointSize), stockIndex(-1)
{
    // The face name of a description may be unterminated.
    logFont.lfFaceName[sizeof logFont.lfFaceName - 1] = 0;
    if (context && pointSize) {
        logFont.lfHeight = -MulDiv(pointSize, context->deviceCaps(CAP_LOGPIXELSY), 720);
        logFont.lfWidth = 0;
    }
    make();
}

Font::Font(HFONT existing) : GdiObject(existing, 1), pointSize(0), stockIndex(-1)
{
    memset(&logFont, 0, sizeof logFont);
    if (existing)
        GetObjectA(existing, sizeof logFont, &logFont);
}

Font::Font(StockObject s) : GdiObject(GetStockObject(s.index), 1), pointSize(0), stockIndex(s.index)
{
    memset(&logFont, 0, sizeof logFont);
    GetObjectA(handle, sizeof logFont, &logFont);
}

void Font::make()
{
    handle = CreateFontIndirectA(&logFont);
    stock = 0;
}

// ---------------------------------------------------------------- DeviceContext

DeviceContext::DeviceContext()
    : nesting(0), hdc(nullptr), background(255, 255, 255, 0), foreground(0, 0, 0, 0), fontCurrent(nullptr),
      rop2(R2_COPYPEN), storedMapMode(0), contextKind(DC_PLAIN), horzRes(0), vertRes(0), logPixelsX(0),
      logPixelsY(0), horzSize(0), vertSize(0), backMode(OPAQUE)
{
    brushes.push_back(new Brush(StockObject{WHITE_BRUSH}));
    pens.push_back(new Pen(StockObject{BLACK_PEN}));
    // The default font stays at the bottom, but no font is selected until
    // the program pushes one: the HDC keeps its own.
    fonts.push_back(new Font(StockObject{DEVICE_DEFAULT_FONT}));
    fontCurrent = nullptr;
}

DeviceContext::~DeviceContext()
{
    for (Brush* b : brushes)
        delete b;
    for (Pen* p : pens)
        delete p;
    for (Font* f : fonts)
        delete f;
}

void DeviceContext::readCaps(HDC from)
{
    if (!from)
        return;
    horzRes = GetDeviceCaps(from, HORZRES);
    vertRes = GetDeviceCaps(from, VERTRES);
    logPixelsX = GetDeviceCaps(from, LOGPIXELSX);
    logPixelsY = GetDeviceCaps(from, LOGPIXELSY);
    horzSize = GetDeviceCaps(from, HORZSIZE);
    vertSize = GetDeviceCaps(from, VERTSIZE);
}

void DeviceContext::readScreenCaps()
{
    // Through the installed screen reader: the one place where the screen's
    // numbers come from, and where a test puts a device of its own.
    ScreenMetrics screen;
    horzRes = screen.horzRes;
    vertRes = screen.vertRes;
    logPixelsX = screen.logPixelsX;
    logPixelsY = screen.logPixelsY;
    horzSize = screen.horzSize;
    vertSize = screen.vertSize;
}

void DeviceContext::copyCaps(const DeviceContext& other)
{
    horzRes = other.deviceCaps(CAP_HORZRES);
    vertRes = other.deviceCaps(CAP_VERTRES);
    logPixelsX = other.deviceCaps(CAP_LOGPIXELSX);
    logPixelsY = other.deviceCaps(CAP_LOGPIXELSY);
    horzSize = other.deviceCaps(CAP_HORZSIZE);
    vertSize = other.deviceCaps(CAP_VERTSIZE);
}

void DeviceContext::applyState()
{
    SetBkColor(hdc, colorRefOf(background));
    SetTextColor(hdc, colorRefOf(foreground));
    if (GetBkMode(hdc) != backMode)
        SetBkMode(hdc, backMode);
    SelectObject(hdc, currentBrush()->handle);
    SelectObject(hdc, currentPen()->handle);
    SetROP2(hdc, rop2);
    if (storedMapMode)
        SetMapMode(hdc, storedMapMode);
    if (winOrigin != Point(0, 0))
        SetWindowOrgEx(hdc, winOrigin.x(), winOrigin.y(), nullptr);
    if (viewOrigin != Point(0, 0))
        SetViewportOrgEx(hdc, viewOrigin.x(), viewOrigin.y(), nullptr);
    if (winExtent.x() && winExtent.y())
        SetWindowExtEx(hdc, winExtent.x(), winExtent.y(), nullptr);
    if (viewExtent.x() && viewExtent.y())
        SetViewportExtEx(hdc, viewExtent.x(), viewExtent.y(), nullptr);
    if (fontCurrent)
        SelectObject(hdc, fontCurrent->handle);
}

void DeviceContext::attach()
{
    if (nesting == 0) {
        hdc = acquireHandle();
        if (hdc)
            applyState();
    }
    ++nesting;
}

void DeviceContext::release()
{
    if (nesting <= 0)
        return;
    if (--nesting == 0) {
        releaseHandle();
        hdc = nullptr;
    }
}

Color DeviceContext::setBackColor(const Color& colour)
{
    Color old = background;
    background = colour;
    if (hdc)
        SetBkColor(hdc, colorRefOf(colour));
    return old;
}

Color DeviceContext::setTextColor(const Color& colour)
{
    Color old = foreground;
    foreground = colour;
    if (hdc)
        SetTextColor(hdc, colorRefOf(colour));
    return old;
}

int DeviceContext::setBackMode(int mode)
{
    int old = backMode;
    backMode = mode;
    if (hdc)
        SetBkMode(hdc, mode);
    return old;
}

namespace {

// Pens, brushes and fonts live on stacks of the same shape: the top is the
// object selected into the device; the bottom one is never popped.
template <typename T>
void pushObject(HDC hdc, std::vector<T*>& stack, T* object)
{
    stack.push_back(object);
    if (hdc)
        SelectObject(hdc, object->handle);
}

template <typename T>
T* popObject(HDC hdc, std::vector<T*>& stack)
{
    if (stack.size() < 2)
        return nullptr;
    T* top = stack.back();
    stack.pop_back();
    if (hdc)
        SelectObject(hdc, stack.back()->handle);
    return top;
}

} // namespace

void DeviceContext::pushBrush(Brush* brush)
{
    pushObject(hdc, brushes, brush);
}

Brush* DeviceContext::popBrush()
{
    return popObject(hdc, brushes);
}

Brush* DeviceContext::setBrush(Brush* brush)
{
    Brush* old = popBrush();
    pushBrush(brush);
    return old;
}

void DeviceContext::pushPen(Pen* pen)
{
    pushObject(hdc, pens, pen);
}

Pen* DeviceContext::popPen()
{
    return popObject(hdc, pens);
}

Pen* DeviceContext::setPen(Pen* pen)
{
    Pen* old = popPen();
    pushPen(pen);
    return old;
}

void DeviceContext::pushFont(Font* font)
{
    fontCurrent = font;
    pushObject(hdc, fonts, font);
}

Font* DeviceContext::popFont()
{
    if (fonts.size() < 2)
        return nullptr;
    fontCurrent = fonts[fonts.size() - 2];
    return popObject(hdc, fonts);
}

Font* DeviceContext::setFont(Font* font)
{
    Font* old = popFont();
    pushFont(font);
    return old;
}

int DeviceContext::setROP2(int mode)
{
    int old = rop2;
    rop2 = mode;
    if (hdc)
        SetROP2(hdc, mode);
    return old;
}

int DeviceContext::setMapMode(int mode)
{
    int old = storedMapMode ? storedMapMode : MM_TEXT;
    storedMapMode = mode;
    if (hdc)
        old = SetMapMode(hdc, mode);
    return old;
}

void DeviceContext::setWindowOrigin(const Point& origin)
{
    winOrigin = origin;
    if (hdc)
        SetWindowOrgEx(hdc, origin.x(), origin.y(), nullptr);
}

void DeviceContext::setViewportOrigin(const Point& origin)
{
    viewOrigin = origin;
    if (hdc)
        SetViewportOrgEx(hdc, origin.x(), origin.y(), nullptr);
}

void DeviceContext::setWindowExtent(const Point& extent)
{
    winExtent = extent;
    if (hdc)
        SetWindowExtEx(hdc, extent.x(), extent.y(), nullptr);
}

void DeviceContext::setViewportExtent(const Point& extent)
{
    viewExtent = extent;
    if (hdc)
        SetViewportExtEx(hdc, extent.x(), extent.y(), nullptr);
}

int DeviceContext::bitsPerPixel() const
{
    if (hdc)
        return GetDeviceCaps(hdc, BITSPIXEL) * GetDeviceCaps(hdc, PLANES);
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bits;
}

Point DeviceContext::textExtent(const char* text, int length)
{
    if (!hdc || !text)
        return Point();
    if (length == 0)
        length = static_cast<int>(strlen(text));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(hdc, text, length, &size);
    return Point(size.cx, size.cy);
}

int DeviceContext::drawBitmap(Bitmap& bitmap, int x, int y, DWORD rop)
{
    if (!hdc)
        return 0;
    HDC memory = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(memory, bitmap.handle);
    SetMapMode(memory, GetMapMode(hdc));
    Point size = bitmap.getSize();
    POINT extent = {size.x(), size.y()};
    DPtoLP(hdc, &extent, 1);
    POINT origin = {0, 0};
    DPtoLP(memory, &origin, 1);
    BitBlt(hdc, x, y, extent.x, extent.y, memory, origin.x, origin.y, rop);
    SelectObject(memory, old);
    DeleteDC(memory);
    return 1;
}

int DeviceContext::stretchBitmap(Bitmap& bitmap, int x, int y, int w, int h, DWORD rop, int stretchMode)
{
    if (!hdc)
        return 0;
    HDC memory = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(memory, bitmap.handle);
    SetMapMode(memory, GetMapMode(hdc));
    Point size = bitmap.getSize();
    POINT extent = {size.x(), size.y()};
    DPtoLP(hdc, &extent, 1);
    POINT origin = {0, 0};
    DPtoLP(memory, &origin, 1);
    SetStretchBltMode(hdc, stretchMode);
    StretchBlt(hdc, x, y, w, h, memory, origin.x, origin.y, extent.x, extent.y, rop);
    SelectObject(memory, old);
    DeleteDC(memory);
    return 1;
}

int DeviceContext::copyArea(DeviceContext&, int, int, int, int, int, int)
{
    return 0;
}

int DeviceContext::textOut(int x, int y, const char* text, int length)
{
    return hdc && text ? TextOutA(hdc, x, y, text, length) : 0;
}

int DeviceContext::patBlt(int x, int y, int w, int h, DWORD rop)
{
    return hdc ? PatBlt(hdc, x, y, w, h, rop) : 0;
}

BOOL DeviceContext::moveTo(int x, int y)
{
    return MoveToEx(hdc, x, y, nullptr);
}

BOOL DeviceContext::lineTo(int x, int y)
{
    return LineTo(hdc, x, y);
}

BOOL DeviceContext::rectangle(int left, int top, int right, int bottom)
{
    return Rectangle(hdc, left, top, right, bottom);
}

BOOL DeviceContext::ellipse(int x, int y, int r)
{
    return Ellipse(hdc, x - r, y - r, x + r, y + r);
}

BOOL DeviceContext::textOut(int x, int y, const char* text)
{
    return TextOutA(hdc, x, y, text, text ? static_cast<int>(strlen(text)) : 0);
}

int DeviceContext::deviceCaps(int index) const
{
    switch (index) {
    case CAP_HORZRES: return horzRes;
    case CAP_VERTRES: return vertRes;
    case CAP_LOGPIXELSX: return logPixelsX;
    case CAP_LOGPIXELSY: return logPixelsY;
    case CAP_HORZSIZE: return horzSize;
    case CAP_VERTSIZE: return vertSize;
    default: return hdc ? GetDeviceCaps(hdc, index) : 0;
    }
}

int DeviceContext::textExtentWidth(const char* text, int length) const
{
    DeviceContext* self = const_cast<DeviceContext*>(this);
    self->attach();
    int width = self->textExtent(text, length).x();
    self->release();
    return width;
}

int DeviceContext::textLineHeight() const
{
    DeviceContext* self = const_cast<DeviceContext*>(this);
    self->attach();
    TEXTMETRICA tm = {};
    if (hdc)
        GetTextMetricsA(hdc, &tm);
    self->release();
    return tm.tmHeight + tm.tmExternalLeading;
}

// ---------------------------------------------------------------- WindowDC

WindowDC::WindowDC(WindowCL* w) : window(w), painting(0), paint()
{
    contextKind = DC_WINDOW;
    readScreenCaps();
    background = Color(static_cast<uint32_t>(GetSysColor(COLOR_WINDOW)) & 0xFFFFFFu);
    foreground = Color(static_cast<uint32_t>(GetSysColor(COLOR_WINDOWTEXT)) & 0xFFFFFFu);
    Color windowColour = background;
    delete brushes.front();
    brushes.front() = new Brush(windowColour);
}

HDC WindowDC::acquireHandle()
{
    if (!window || !window->hwnd)
        return nullptr;
    if (painting)
        return BeginPaint(window->hwnd, &paint);
    return GetDC(window->hwnd);
}

void WindowDC::releaseHandle()
{
    if (!window || !window->hwnd)
        return;
    if (painting)
        EndPaint(window->hwnd, &paint);
    else
        ReleaseDC(window->hwnd, hdc);
}

Rect WindowDC::updateRect()
{
    if (!painting)
        return Rect();
    const RECT& r = paint.rcPaint;
    return Rect(r.left + winOrigin.x(), r.top + winOrigin.y(), r.right + winOrigin.x(), r.bottom + winOrigin.y());
}

void WindowDC::invalidateRegion(Region* region, bool erase)
{
    if (window && window->isWindow())
        InvalidateRgn(window->hwnd, region ? region->region() : nullptr, erase);
}

void WindowDC::invalidateRect(const Rect* rect, bool erase)
{
    if (!window || !window->isWindow())
        return;
    if (rect) {
        RECT r = {rect->left(), rect->top(), rect->right(), rect->bottom()};
        InvalidateRect(window->hwnd, &r, erase);
    } else {
        InvalidateRect(window->hwnd, nullptr, erase);
    }
}

Rect WindowDC::drawingArea()
{
    if (!window || !window->isWindow())
        return Rect();
    RECT r;
    GetClientRect(window->hwnd, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
}

// ---------------------------------------------------------------- MemoryDC

MemoryDC::MemoryDC(Bitmap* b) : selected(nullptr), initialBitmap(nullptr)
{
    HDC display = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    HDC memory = CreateCompatibleDC(display);
    DeleteDC(display);
    init(memory, b);
    readScreenCaps();
}

MemoryDC::MemoryDC(DeviceContext& reference, int width, int height) : selected(nullptr), initialBitmap(nullptr)
{
    reference.attach();
    HDC memory = CreateCompatibleDC(reference.hdc);
    Bitmap* b = new Bitmap(width, height, reference);
    reference.release();
    init(memory, b);
    copyCaps(reference);
}

MemoryDC::MemoryDC(DeviceContext& reference, Bitmap* b) : selected(nullptr), initialBitmap(nullptr)
{
    reference.attach();
    HDC memory = CreateCompatibleDC(reference.hdc);
    reference.release();
    init(memory, b);
    copyCaps(reference);
}

void MemoryDC::init(HDC memory, Bitmap* b)
{
    contextKind = DC_MEMORY;
    hdc = memory;
    selected = b;
    initialBitmap = b ? SelectObject(memory, b->handle) : GetCurrentObject(memory, OBJ_BITMAP);
    // Attached for its whole life; acquireHandle keeps the HDC it has.
    nesting = 1;
    applyState();
}

MemoryDC::~MemoryDC()
{
    HDC memory = hdc;
    if (memory) {
        SelectObject(memory, initialBitmap);
        // The stacks' objects are deleted by the base: deselect them first.
        SelectObject(memory, GetStockObject(WHITE_BRUSH));
        SelectObject(memory, GetStockObject(BLACK_PEN));
        SelectObject(memory, GetStockObject(SYSTEM_FONT));
    }
    delete selected;
    selected = nullptr;
    if (memory)
        DeleteDC(memory);
    nesting = 0;
    hdc = nullptr;
}

Rect MemoryDC::updateRect()
{
    return drawingArea();
}

Rect MemoryDC::drawingArea()
{
    Point size = selected ? selected->getSize() : Point();
    return Rect(0, 0, size.x(), size.y());
}

int MemoryDC::copyArea(DeviceContext& target, int x, int y, int w, int h, int sourceX, int sourceY)
{
    return target.hdc && hdc ? BitBlt(target.hdc, x, y, w, h, hdc, sourceX, sourceY, SRCCOPY) : 0;
}

Bitmap* MemoryDC::selectBitmap(Bitmap* b)
{
    Bitmap* previous = selected;
    SelectObject(hdc, b ? b->handle : initialBitmap);
    selected = b;
    return previous;
}

// ---------------------------------------------------------------- TextMetrics, DeviceCaps

TextMetrics::TextMetrics(DeviceContext& context) : metrics()
{
    context.attach();
    if (context.hdc)
        GetTextMetricsA(context.hdc, &metrics);
    context.release();
}

DeviceCaps::DeviceCaps(DeviceContext& c)
    : nesting(0), context(&c), hdc(nullptr), driverVersion(0), horzRes(0), vertRes(0), logPixelsX(0), logPixelsY(0),
      horzSize(0), vertSize(0), rasterCaps(0), curveCaps(0), lineCaps(0), polygonalCaps(0), textCaps(0),
      ownsInformationContext(0)
{
    c.attach();
    hdc = c.hdc;
    // What the context read when it was made, through its metrics: a test
    // device may report what it likes.
    driverVersion = hdc ? GetDeviceCaps(hdc, DRIVERVERSION) : 0;
    horzRes = c.deviceCaps(CAP_HORZRES);
    vertRes = c.deviceCaps(CAP_VERTRES);
    logPixelsX = c.deviceCaps(CAP_LOGPIXELSX);
    logPixelsY = c.deviceCaps(CAP_LOGPIXELSY);
    horzSize = c.deviceCaps(CAP_HORZSIZE);
    vertSize = c.deviceCaps(CAP_VERTSIZE);
    if (hdc) {
        rasterCaps = GetDeviceCaps(hdc, RASTERCAPS);
        curveCaps = GetDeviceCaps(hdc, CURVECAPS);
        lineCaps = GetDeviceCaps(hdc, LINECAPS);
        polygonalCaps = GetDeviceCaps(hdc, POLYGONALCAPS);
        textCaps = GetDeviceCaps(hdc, TEXTCAPS);
    }
    if (horzRes == 0)
        horzRes = 640;
    if (vertRes == 0)
        vertRes = 480;
    c.release();
    hdc = nullptr;
}

DeviceCaps::~DeviceCaps()
{
    while (nesting > 0)
        end();
}

void DeviceCaps::begin()
{
    if (nesting++ == 0) {
        context->attach();
        hdc = context->hdc;
    }
}

void DeviceCaps::end()
{
    if (nesting > 0 && --nesting == 0) {
        context->release();
        hdc = nullptr;
    }
}

int DeviceCaps::query(int index) const
{
    if (!hdc)
        return 0;
    if (index == NUMRESERVED || index == COLORRES) {
        const bool palette = driverVersion >= 0x300 && (rasterCaps & RC_PALETTE);
        return palette ? GetDeviceCaps(hdc, index) : 0;
    }
    return GetDeviceCaps(hdc, index);
}

namespace {

int CALLBACK collectFont(const LOGFONTA* logFont, const TEXTMETRICA* metrics, DWORD, LPARAM list)
{
    FontInfo* info = new FontInfo;
    info->logFont = *logFont;
    info->metrics = *metrics;
    reinterpret_cast<FontList*>(list)->push_back(info);
    return 1;
}

} // namespace

FontList* DeviceCaps::enumFonts(const char* faceName)
{
    FontList* list = new FontList;
    begin();
    if (hdc) {
        if (faceName) {
            EnumFontsA(hdc, faceName, reinterpret_cast<FONTENUMPROCA>(collectFont), reinterpret_cast<LPARAM>(list));
        } else {
            FontList families;
            EnumFontsA(hdc, nullptr, reinterpret_cast<FONTENUMPROCA>(collectFont),
                       reinterpret_cast<LPARAM>(&families));
            for (FontInfo* family : families) {
                EnumFontsA(hdc, family->faceName(), reinterpret_cast<FONTENUMPROCA>(collectFont),
                           reinterpret_cast<LPARAM>(list));
                delete family;
            }
        }
    }
    end();
    return list;
}

void DeviceCaps::freeFontList(FontList* list)
{
    if (!list)
        return;
    for (FontInfo* info : *list)
        delete info;
    delete list;
}

// ---------------------------------------------------------------- Cursor

Cursor::Cursor(LPCSTR systemId) : handle(nullptr), resource(0u), fromResource(0)
{
    if (systemId)
        handle = LoadCursorA(nullptr, systemId);
}

Cursor::Cursor(const ResourceId& r) : handle(nullptr), resource(r), fromResource(1)
{
    ResourceModule module(r);
    if (!module.failed())
        handle = LoadCursorA(module.module(), resourceName(r));
}

void Cursor::applyTo(WindowCL* window) const
{
    if (window)
        window->setCursorHandle(handle);
}
