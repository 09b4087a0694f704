// Under wine: device contexts, drawing objects, bitmaps, regions, DIB files
// and metafiles, drawn into memory contexts and read back pixel by pixel.
//
//   framework_draw_test PNG-PATH   the metafile picture is saved there
#include "Application.h"
#include "Bitmap.h"
#include "DeviceContext.h"
#include "Frame.h"
#include "Window.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using winecheck::check;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// A context on a memory bitmap of its own that counts how often its HDC is
// obtained; a device that may report no resolution.
class CountingDC : public DeviceContext {
public:
    CountingDC(int w, int h, bool zeroResolution = false) : zero(zeroResolution)
    {
        HDC screen = GetDC(nullptr);
        memory = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, w, h);
        readCaps(screen);
        ReleaseDC(nullptr, screen);
        old = SelectObject(memory, bitmap);
        PatBlt(memory, 0, 0, w, h, WHITENESS);
    }
    ~CountingDC() override
    {
        while (nesting > 0)
            release();
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    HDC acquireHandle() override
    {
        ++acquired;
        return memory;
    }
    void releaseHandle() override
    {
        ++released;
        // The stacks' objects may go after this: deselect them.
        SelectObject(memory, GetStockObject(BLACK_PEN));
        SelectObject(memory, GetStockObject(WHITE_BRUSH));
        SelectObject(memory, GetStockObject(SYSTEM_FONT));
    }
    int deviceCaps(int index) const override
    {
        if (zero && (index == CAP_HORZRES || index == CAP_VERTRES))
            return 0;
        return DeviceContext::deviceCaps(index);
    }

    HDC memory;
    HBITMAP bitmap;
    HGDIOBJ old;
    int acquired = 0;
    int released = 0;
    bool zero;
};

RECT rectOf(int l, int t, int r, int b)
{
    RECT x = {l, t, r, b};
    return x;
}

void contexts()
{
    CountingDC dc(100, 60);
    dc.setTextColor(Color(255, 0, 0));
    Pen* pen = new Pen(PS_SOLID, 3, Color(0, 0, 255));
    dc.pushPen(pen);
    check(dc.acquired == 0 && !dc.isAttached(), "colour and pen set while detached obtain no HDC");
    dc.attach();
    check(GetTextColor(dc.hdc) == kRed, "the text colour set while detached is applied at attach");
    check(GetCurrentObject(dc.hdc, OBJ_PEN) == pen->handle, "the pen pushed while detached is selected at attach");
    dc.moveTo(10, 20);
    dc.lineTo(60, 20);
    check(GetPixel(dc.hdc, 30, 19) == kBlue && GetPixel(dc.hdc, 30, 20) == kBlue && GetPixel(dc.hdc, 30, 21) == kBlue &&
              GetPixel(dc.hdc, 30, 23) == kWhite,
          "the line is 3 px of blue");
    dc.attach();
    check(dc.acquired == 1, "a nested attach obtains the HDC once");
    dc.release();
    check(dc.isAttached() && dc.released == 0, "the inner release keeps the HDC");
    // Set while attached: at once.
    dc.setTextColor(Color(0, 0, 255));
    check(GetTextColor(dc.hdc) == kBlue, "a colour set while attached applies at once");
    check(dc.popPen() == pen, "pop hands the pen back");
    check(GetCurrentObject(dc.hdc, OBJ_PEN) == GetStockObject(BLACK_PEN), "the default pen is selected again");
    delete pen;
    // The five drawing operations.
    PatBlt(dc.hdc, 0, 0, 100, 60, WHITENESS);
    dc.pushBrush(new Brush(Color(0, 0, 0)));
    dc.ellipse(10, 10, 2);
    RECT ink = winecheck::inkBox(dc.hdc, rectOf(0, 0, 40, 40), kWhite);
    printf("ellipse ink: %ld,%ld - %ld,%ld\n", ink.left, ink.top, ink.right, ink.bottom);
    check(ink.left <= ink.right && ink.left >= 8 && ink.top >= 8 && ink.right <= 12 && ink.bottom <= 12,
          "ellipse of radius 2 at (10, 10) stays within (8, 8)-(12, 12)");
    PatBlt(dc.hdc, 0, 0, 100, 60, WHITENESS);
    dc.textOut(5, 5, "");
    check(!winecheck::hasInk(dc.hdc, rectOf(0, 0, 100, 60), kWhite), "textOut of an empty text draws nothing");
    dc.textOut(5, 5, "Kyt");
    check(winecheck::hasInk(dc.hdc, rectOf(0, 0, 100, 60), kWhite), "textOut of a text draws");
    dc.rectangle(50, 30, 60, 40);
    check(GetPixel(dc.hdc, 50, 30) == kBlack && GetPixel(dc.hdc, 59, 39) == kBlack && GetPixel(dc.hdc, 60, 40) == kWhite,
          "rectangle covers left/top to right-1/bottom-1");
    dc.release();
    check(dc.released == 1 && !dc.isAttached(), "the last release gives the HDC back");
    check(dc.scrollOrigin() == Point(0, 0) && dc.deviceWidthPixels() == 1024 && dc.deviceHeightPixels() == 768,
          "the context reports its origin and the screen's size");
    check(dc.bitsPerPixel() == 24 || dc.bitsPerPixel() == 32, "bits per pixel of the 24-bit display");

    CountingDC zero(10, 10, true);
    DeviceCaps caps(zero);
    check(caps.horzRes == 640 && caps.vertRes == 480, "a device reporting 0 resolution reads 640 x 480");
    DeviceCaps screenCaps(dc);
    check(screenCaps.horzRes == 1024 && screenCaps.logPixelsY > 0, "the screen's capabilities");

    std::string forty(40, 'F');
    Font font(forty.c_str(), 0, 12, FW_NORMAL, FF_SWISS, VARIABLE_PITCH, FONT_ITALIC);
    check(strlen(font.logFont.lfFaceName) == 31 && font.logFont.lfItalic == 1, "a 40-character face name is cut to 31");
    LOGFONTA made = {};
    GetObjectA(font.handle, sizeof made, &made);
    check(font.handle && strlen(made.lfFaceName) == 31, "the font is made with the cut name");
    FontDescription description = {};
    description.logFont = font.logFont;
    description.pointSize = 120; // 12 points in 1/720 inch
    Font sized(description, &dc);
    check(sized.logFont.lfHeight == -MulDiv(120, dc.deviceCaps(CAP_LOGPIXELSY), 720) && sized.logFont.lfWidth == 0,
          "a point size follows the context's vertical resolution");
}

void memoryBitmaps(DeviceContext& screen)
{
    MemoryDC* first = new MemoryDC(screen, 20, 20);
    first->pushBrush(new Brush(Color(255, 0, 0)));
    first->pushPen(new Pen(PS_SOLID, 1, Color(255, 0, 0)));
    first->rectangle(0, 0, 20, 20);
    check(first->drawingArea() == Rect(0, 0, 20, 20), "a memory context draws on its bitmap's area");
    Bitmap* kept = first->selectBitmap(nullptr);
    check(kept && first->bitmap() == nullptr, "selectBitmap(null) hands the bitmap back");
    delete first;
    check(kept->getSize() == Point(20, 20), "the bitmap outlives its context");
    MemoryDC second(screen, kept);
    check(GetPixel(second.hdc, 10, 10) == kRed, "and keeps what was drawn on it");
    check(Bitmap().getSize() == Point(0, 0), "an empty bitmap has no size");
}

void regions()
{
    Region united(0, 0, 10, 10), crossed(0, 0, 10, 10), cut(0, 0, 10, 10);
    Region other(5, 5, 15, 15);
    united.unite(other);
    crossed.intersect(other);
    cut.subtract(other);
    check(united.boundingBox() == Rect(0, 0, 15, 15), "unite gives the box (0,0,15,15)");
    check(crossed.boundingBox() == Rect(5, 5, 10, 10) && crossed == Region(5, 5, 10, 10), "intersect gives (5,5,10,10)");
    check(!cut.contains(Point(7, 7)) && cut.contains(Point(2, 2)) && cut.contains(Point(8, 2)),
          "subtracted, (7,7) is no longer in it");
    crossed.offset(10, 20);
    check(crossed.boundingBox() == Rect(15, 25, 20, 30) && crossed.containsRect(Rect(16, 26, 18, 28)),
          "offset moves the region");
    crossed.offsetBack(10, 20);
    check(crossed != united, "different regions are not equal");
}

// ---------------------------------------------------------------- DIB files

void put16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A 24-bit 4 x 2 bitmap file: bottom row blue, top row red; (3, 0) white.
std::vector<uint8_t> smallBmp(const DibHeader* damaged = nullptr)
{
    DibHeader h;
    h.width = 4;
    h.height = 2;
    h.bitCount = 24;
    if (damaged)
        h = *damaged;
    std::vector<uint8_t> f;
    put16(f, 0x4D42);
    put32(f, 14 + 40 + 24);
    put32(f, 0);
    put32(f, 14 + 40);
    uint8_t raw[40];
    writeDibHeader(h, raw);
    f.insert(f.end(), raw, raw + 40);
    for (int x = 0; x < 4; ++x) { // bottom row first
        f.push_back(255);
        f.push_back(0);
        f.push_back(0);
    }
    for (int x = 0; x < 4; ++x) {
        f.push_back(x == 3 ? 255 : 0);
        f.push_back(x == 3 ? 255 : 0);
        f.push_back(255);
    }
    return f;
}

std::string folder;

// The DOS path of a file in the test's folder.
std::string inFolder(const char* name)
{
    return folder + "\\" + name;
}

void writeFile(const char* name, const std::vector<uint8_t>& bytes)
{
    HANDLE f = CreateFileA(inFolder(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

void dibFiles(DeviceContext& screen)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    folder = std::string(temp) + "kytdib";
    CreateDirectoryA(folder.c_str(), nullptr);
    writeFile("bild.bmp", smallBmp());
    writeFile("bild.dat", smallBmp());
    DeleteFileA(inFolder("fehlt.bmp").c_str());

    Dib plain(screen, inFolder("bild").c_str());
    check(plain.handle && plain.getSize() == Point(4, 2), "\"bild\" opens bild.bmp");
    Dib dotted(screen, inFolder("bild.dat").c_str());
    check(dotted.handle && dotted.getSize() == Point(4, 2), "\"bild.dat\" is opened as it is");
    if (plain.handle) {
        MemoryDC look(screen, 4, 2);
        look.drawBitmap(plain, 0, 0);
        check(GetPixel(look.hdc, 0, 0) == kRed && GetPixel(look.hdc, 3, 0) == kWhite && GetPixel(look.hdc, 1, 1) == kBlue,
              "the DIB's pixels arrive bottom row last");
    }

    {
        winecheck::BoxWatcher watcher(inFolder("fehlt").c_str());
        Dib missing(screen, inFolder("fehlt").c_str());
        check(watcher.found() && watcher.text() == "Can't open file", "a missing file shows \"Can't open file\" under its name");
        check(missing.handle == nullptr, "and gives no bitmap");
    }
    {
        std::string longName(300, 'n');
        winecheck::BoxWatcher watcher(longName.c_str());
        Dib refused(screen, longName.c_str());
        check(watcher.found() && refused.handle == nullptr, "a 300-character name is refused like a missing file");
    }

    // Damaged files: each header field out of range, cut in each section.
    struct Damage {
        const char* what;
        void (*spoil)(DibHeader&);
    } damages[] = {
        {"planes 2", [](DibHeader& h) { h.planes = 2; }},
        {"bit count 5", [](DibHeader& h) { h.bitCount = 5; }},
        {"compression 3", [](DibHeader& h) { h.compression = 3; }},
        {"RLE8 at 24 bits", [](DibHeader& h) { h.compression = 1; }},
        {"5000 colours", [](DibHeader& h) { h.clrUsed = 5000; }},
        {"width 0", [](DibHeader& h) { h.width = 0; }},
        {"height 0", [](DibHeader& h) { h.height = 0; }},
        {"100000 x 100000", [](DibHeader& h) { h.width = h.height = 100000; }},
        {"image size 3", [](DibHeader& h) { h.sizeImage = 3; }},
        {"header size 64", [](DibHeader& h) { h.size = 64; }},
    };
    bool allRefused = true;
    for (const Damage& d : damages) {
        DibHeader h;
        h.width = 4;
        h.height = 2;
        h.bitCount = 24;
        d.spoil(h);
        writeFile("kaputt.bmp", smallBmp(&h));
        Dib damaged(screen, inFolder("kaputt").c_str());
        if (damaged.handle) {
            printf("not refused: %s\n", d.what);
            allRefused = false;
        }
    }
    check(allRefused, "a damaged header field gives no bitmap");
    std::vector<uint8_t> whole = smallBmp();
    bool cutRefused = true;
    for (size_t cut : {size_t(0), size_t(10), size_t(14 + 20), size_t(14 + 40 + 5), whole.size() - 1}) {
        writeFile("kurz.bmp", std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
        Dib truncated(screen, inFolder("kurz").c_str());
        cutRefused = cutRefused && truncated.handle == nullptr;
    }
    check(cutRefused, "a file cut in any section gives no bitmap");
    for (const char* name : {"bild.bmp", "bild.dat", "kaputt.bmp", "kurz.bmp"})
        DeleteFileA(inFolder(name).c_str());
}

void dibStretch(DeviceContext& screen)
{
    MemoryDC source(screen, 8, 6);
    PatBlt(source.hdc, 0, 0, 8, 6, WHITENESS);
    source.pushPen(new Pen(PS_SOLID, 1, Color(255, 0, 0)));
    source.moveTo(0, 0);
    source.lineTo(8, 6);
    SetPixel(source.hdc, 7, 0, kBlue);
    SetPixel(source.hdc, 0, 5, RGB(0, 128, 0));
    std::vector<COLORREF> before;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            before.push_back(GetPixel(source.hdc, x, y));
    Bitmap* bitmap = source.selectBitmap(nullptr);
    DibBlock dib;
    check(dibFromBitmap(*bitmap, BI_RGB, 0, nullptr, dib) && dibInformation(dib).width == 8, "a DIB is made of the bitmap");
    delete bitmap;
    MemoryDC target(screen, 16, 12);
    stretchDib(target, 0, 0, 16, 12, &dib, 0, 0, 8, 6);
    bool same = true;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            same = same && GetPixel(target.hdc, x, y) == before[size_t(y / 2) * 8 + size_t(x / 2)];
    check(same, "bitmap, DIB, stretched 2x: the same pixels, scaled");
    stretchDib(target, 0, 0, 16, 12, nullptr, 0, 0, 0, 0, BLACKNESS);
    check(GetPixel(target.hdc, 15, 11) == kBlack, "without a DIB the raster operation fills");
}

void metafile(DeviceContext& screen, const std::string& picture)
{
    MetafileDC meta(&screen);
    meta.setBounds(Rect(0, 0, 200, 100));
    meta.attach();
    meta.pushPen(new Pen(PS_SOLID, 1, Color(255, 0, 0)));
    meta.pushBrush(new Brush(Color(255, 0, 0)));
    meta.rectangle(0, 0, 200, 100);
    meta.release();
    check(meta.metafile != nullptr, "the recording is closed into a metafile");
    MetafilePicture p = meta.picture();
    check(p.mapMode == MM_ANISOTROPIC && p.width == 200 && p.height == 100, "the picture holds map mode and size");

    MemoryDC target(screen, 200, 150);
    PatBlt(target.hdc, 0, 0, 200, 150, WHITENESS);
    meta.copyArea(target, 10, 20, 100, 50);
    RECT red = winecheck::inkBox(target.hdc, rectOf(0, 0, 200, 150), kWhite);
    printf("played: %ld,%ld - %ld,%ld\n", red.left, red.top, red.right, red.bottom);
    check(red.left == 10 && red.top == 20 && red.right == 109 && red.bottom == 69 &&
              winecheck::countPixels(target.hdc, rectOf(10, 20, 110, 70), kRed) == 100 * 50,
          "played into (10, 20, 100, 50) it covers x 10-109, y 20-69");
    target.moveTo(0, 120);
    target.lineTo(50, 120);
    RECT line = winecheck::inkBox(target.hdc, rectOf(0, 80, 200, 150), kWhite);
    check(line.left == 0 && line.right == 49 && line.top == 120 && line.bottom == 120,
          "a later line on the target lands unscaled");
    check(winecheck::savePicture(target.hdc, 0, 0, 200, 150, picture), "the metafile picture is saved");
    DeleteMetaFile(meta.metafile);
}

void cursor(Application*)
{
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(50, 50, 300, 200), WS_OVERLAPPEDWINDOW, "Cursor");
    frame->show(SW_SHOWNORMAL);
    Cursor beam(IDC_IBEAM);
    Cursor none(nullptr);
    check(beam.handle && !none.handle && Cursor().handle == LoadCursorA(nullptr, IDC_ARROW), "system cursors load");
    beam.applyTo(frame);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SendMessageA(frame->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    check(GetCursor() == beam.handle, "a window's IDC_IBEAM cursor is current after WM_MOUSEMOVE");
    {
        WindowDC windowDc(frame);
        check(windowDc.deviceWidthPixels() == 1024 && windowDc.deviceCaps(CAP_LOGPIXELSY) > 0,
              "a window context reads the screen");
        // A screen that reports no resolution.
        setScreenMetricsReader([](int32_t& h, int32_t& v, int32_t& lx, int32_t& ly, int32_t& vs, int32_t& hs) {
            h = v = 0;
            lx = ly = 96;
            vs = hs = 0;
        });
        WindowDC blind(frame);
        DeviceCaps caps(blind);
        check(blind.deviceWidthPixels() == 640 && blind.deviceHeightPixels() == 480 && caps.horzRes == 640 &&
                  caps.vertRes == 480,
              "a window context on a 0-resolution screen reads 640 x 480");
        setScreenMetricsReader(nullptr);
    }
    MouseEvent press;
    press.lParam = MAKELPARAM(5, 6);
    press.wParam = MK_RBUTTON | MK_MBUTTON;
    press.message = WM_RBUTTONDOWN;
    press.hwnd = frame->hwnd;
    check(press.isButtonDown(2) && press.isButtonDown(3) && !press.isButtonDown(1) && !press.isButtonDown(4) &&
              press.isButton(2) && !press.isButton(1),
          "mouse-button queries on the event record");
    Cursor missing(ResourceId(999, "gibtsnicht.dll"));
    check(missing.handle == nullptr && missing.fromResource == 1, "a cursor of a missing library is none");
    DestroyWindow(frame->hwnd);
    delete frame;
}

} // namespace

int main(int argc, char** argv)
{
    winecheck::startWatchdog(60);
    Application* app = new Application(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
    std::string picture = argc > 1 ? argv[1] : "";
    CountingDC screen(10, 10);
    contexts();
    memoryBitmaps(screen);
    regions();
    dibFiles(screen);
    dibStretch(screen);
    metafile(screen, picture);
    cursor(app);
    app->shutdown();
    delete app;
    return winecheck::summary();
}
