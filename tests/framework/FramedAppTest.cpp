// Under wine: a whole framed application through the framework's WinMain.
//
//   framedapp_test PNG-PATH   the framed application; saves what the window shows
//   framedapp_test --quit3    PostQuitMessage(3) before the loop: the program exits 3
//   framedapp_test --minus1   GetMessageA fails: the program exits -1
#include "Application.h"
#include "Frame.h"
#include "Menu.h"
#include "Window.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using winecheck::check;

namespace {

// ---------------------------------------------------------------- PNG writer
// Stored (uncompressed) deflate blocks: enough for a test picture.

uint32_t crcTable[256];

void makeCrcTable()
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crcTable[n] = c;
    }
}

uint32_t crc(const std::vector<unsigned char>& bytes, size_t from)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i)
        c = crcTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put32(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

void chunk(std::vector<unsigned char>& png, const char* type, const std::vector<unsigned char>& data)
{
    put32(png, static_cast<uint32_t>(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    std::vector<unsigned char> typed(png.begin() + start, png.end());
    put32(png, crc(typed, 0));
}

// rgb: width * height pixels, 3 bytes each, top row first.
std::vector<unsigned char> encodePng(const std::vector<unsigned char>& rgb, int width, int height)
{
    makeCrcTable();
    std::vector<unsigned char> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), rgb.begin() + size_t(y) * width * 3, rgb.begin() + size_t(y + 1) * width * 3);
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<unsigned char>(n));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n));
        z.push_back(static_cast<unsigned char>(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    put32(header, static_cast<uint32_t>(width));
    put32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

// What the window shows, frame and menu bar included. Read from the
// window's own DC: the screen may hold other tests' windows on top of it.
bool saveWindowPicture(HWND hwnd, const std::string& path)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC windowDc = GetWindowDC(hwnd);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, windowDc);
    GdiFlush();
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    const unsigned char* p = static_cast<const unsigned char*>(bits);
    for (size_t i = 0; i < size_t(w) * h; ++i) {
        rgb[i * 3] = p[i * 4 + 2];
        rgb[i * 3 + 1] = p[i * 4 + 1];
        rgb[i * 3 + 2] = p[i * 4];
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    std::string dir = path.substr(0, path.find_last_of("/\\"));
    CreateDirectoryA(dir.c_str(), nullptr);
    std::vector<unsigned char> png = encodePng(rgb, w, h);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == png.size();
}

// ---------------------------------------------------------------- the application

class Strip : public VisualCtrl {
public:
    Strip(WindowCL* parentWindow, Geometry* g, COLORREF colour) : VisualCtrl(parentWindow, g, WS_VISIBLE)
    {
        backColor = colour;
        create();
    }
};

COLORREF pixelOf(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

Rect placeInParent(HWND child, HWND parentWindow)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&r), 2);
    return Rect(r.left, r.top, r.right, r.bottom);
}

class FramedApp {
public:
    explicit FramedApp(const std::string& picture) : picturePath(picture) {}

    AppFrameCL* frame = nullptr;
    Strip* top = nullptr;
    Strip* fill = nullptr;
    Timer* timer = nullptr;
    std::string picturePath;
    std::vector<int> commandHighWords;
    int idleRuns = 0;
    int idleRunsAtCheck = -1;
    int ticks = 0;
    bool checked = false;

    int idle()
    {
        // Done on its fifth pass.
        return ++idleRuns == 5 ? 1 : 0;
    }

    LRESULT open(EventRecord* e)
    {
        commandHighWords.push_back(HIWORD(e->wParam));
        return 1;
    }

    void tick()
    {
        ++ticks;
        if (checked || ticks < 3 || commandHighWords.size() < 2 || idleRuns < 5)
            return;
        checked = true;
        idleRunsAtCheck = idleRuns;
        RECT client;
        GetClientRect(frame->hwnd, &client);
        check(client.right == 400 && client.bottom == 300, "the client area is 400 x 300");
        check(placeInParent(top->hwnd, frame->hwnd) == Rect(0, 0, 400, 40), "the top strip is {0, 0, 400, 40}");
        check(placeInParent(fill->hwnd, frame->hwnd) == Rect(0, 40, 400, 300), "the fill child is {0, 40, 400, 300}");
        check(top->geometry->rect() == Rect(0, 0, 400, 40) && fill->geometry->rect() == Rect(0, 40, 400, 300),
              "their geometries agree");
        check(pixelOf(top->hwnd, 200, 20) == RGB(255, 0, 0), "the strip reads back red");
        check(pixelOf(fill->hwnd, 200, 130) == RGB(0, 0, 255), "the fill child reads back blue");
        check(saveWindowPicture(frame->hwnd, picturePath), "the picture is saved");
        PostMessageA(frame->hwnd, WM_CLOSE, 0, 0);
    }

    void run(Application* app)
    {
        winecheck::destroyCounts().clear();
        HHOOK hook = winecheck::watchDestroys();
        const DWORD frameStyle = WS_OVERLAPPEDWINDOW;
        RECT outer = {0, 0, 400, 300};
        AdjustWindowRectEx(&outer, frameStyle, TRUE, 0);
        frame = new AppFrameCL(nullptr, new Layout(120, 90, outer.right - outer.left, outer.bottom - outer.top),
                               frameStyle, "Regelkreis \xDC" "bersicht");
        Menu* menu = new Menu(frame, ResourceId(1));
        menu->onCommand(this, &FramedApp::open, 100);
        check(app->loadAccelerators(ResourceId(2)) == 1, "accelerator table 2 loads");
        frame->setClassIcon(new Icon(ResourceId(3)));
        top = new Strip(frame, new EdgeLayout(PLACE_TOP, 0, 40), RGB(255, 0, 0));
        fill = new Strip(frame, new FillLayout, RGB(0, 0, 255));
        frame->show(SW_SHOWNORMAL);
        top->show(SW_SHOW);
        fill->show(SW_SHOW);
        app->addIdleTask(this, &FramedApp::idle);
        timer = new Timer(this, &FramedApp::tick, 100);
        HWND frameWindow = frame->hwnd, topWindow = top->hwnd, fillWindow = fill->hwnd;

        PostMessageA(frame->hwnd, WM_COMMAND, 100, 0);
        PostMessageA(frame->hwnd, WM_KEYDOWN, VK_F2, 0x003C0001);
        int code = app->MessageLoop();

        check(code == 0, "a posted WM_CLOSE ends the loop with exit code 0");
        check(commandHighWords == std::vector<int>({0, 1}), "command 100 arrives with high word 0, then 1 (accelerator)");
        check(idleRuns == 5 && idleRunsAtCheck == 5, "the idle task runs until it returns 1, then never again");
        printf("timer ticks: %d\n", ticks);
        check(ticks >= 3, "the 100 ms timer fires at least three times");
        check(checked, "the window was checked while it ran");
        auto& counts = winecheck::destroyCounts();
        // Wine may destroy windows of its own (the input method's) with the last one.
        check(counts[frameWindow] == 1 && counts[topWindow] == 1 && counts[fillWindow] == 1,
              "each window destroyed once");
        size_t destroyed = counts.size();
        check(app->mainFrame == frame && (frame->state & STATE_GONE), "the main frame's window is gone");
        delete timer;
        delete frame;
        check(counts.size() == destroyed && counts[frameWindow] == 1 && counts[topWindow] == 1 &&
                  counts[fillWindow] == 1,
              "deleting the objects destroys nothing again");
        UnhookWindowsHookEx(hook);
        app->exitCode = code != 0 ? code : (winecheck::failures() ? 1 : 0);
        winecheck::summary();
    }
};

class FailingSource : public MessageSource {
public:
    BOOL getMessage(MSG*) override { return -1; }
};

std::string trimmed(const char* text)
{
    std::string s = text ? text : "";
    size_t a = s.find_first_not_of(" \t\"");
    size_t b = s.find_last_not_of(" \t\"");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    std::string args = trimmed(app->commandLine.text());
    if (args == "--quit3") {
        AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(), WS_OVERLAPPEDWINDOW, "Ende");
        PostQuitMessage(3);
        printf("loop ended with %d\n", app->MessageLoop());
        delete frame;
        return;
    }
    if (args == "--minus1") {
        FailingSource failing;
        app->setMessageSource(&failing);
        printf("loop ended with %d\n", app->MessageLoop());
        app->setMessageSource(nullptr);
        return;
    }
    FramedApp framed(args);
    framed.run(app);
}
