// The shared support of every wine test program: named checks that print ok
// or FAILED, a watchdog that ends a program that hangs (a menu or box nobody
// closes), a box watcher that finds a message box by its caption, reads its
// text and presses a button, pictures of windows and memory contexts saved
// as PNG files, and pixel reads. No test ever waits for a person.
#ifndef KYT_TESTS_FRAMEWORK_WINECHECK_H
#define KYT_TESTS_FRAMEWORK_WINECHECK_H

#include <windows.h>

#include "PngWriter.h"

#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace winecheck {

inline int& failures()
{
    static int n = 0;
    return n;
}

inline int& passes()
{
    static int n = 0;
    return n;
}

inline void check(bool ok, const char* what)
{
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (ok)
        ++passes();
    else
        ++failures();
}

inline int summary()
{
    printf("%d passed, %d failed\n", passes(), failures());
    fflush(stdout);
    return failures() ? 1 : 0;
}

inline DWORD WINAPI watchdogThread(LPVOID seconds)
{
    Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(seconds)) * 1000);
    printf("FAILED: the program did not finish in time\n");
    fflush(stdout);
    ExitProcess(4);
}

inline void startWatchdog(unsigned seconds)
{
    HANDLE t = CreateThread(nullptr, 0, watchdogThread, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(seconds)),
                            0, nullptr);
    CloseHandle(t);
}

// Counts WM_DESTROY per window handle: a window destroyed with its parent
// counts as well as one destroyed on its own.
inline std::map<HWND, int>& destroyCounts()
{
    static std::map<HWND, int> counts;
    return counts;
}

inline LRESULT CALLBACK sentMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_DESTROY)
        ++destroyCounts()[sent->hwnd];
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

inline HHOOK watchDestroys()
{
    return SetWindowsHookExA(WH_CALLWNDPROC, sentMessageHook, nullptr, GetCurrentThreadId());
}

// Takes every message waiting for this thread (not WM_QUIT) and dispatches it.
inline void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Brings a top-level window to the front, as a click would. Wine tests
// running beside each other share one display, and another program's new
// window may take the activation back for a moment: the request is
// repeated for up to two seconds. False when the window never came.
inline bool bringToFront(HWND window)
{
    for (int i = 0; i < 20; ++i) {
        SetForegroundWindow(window);
        pump();
        if (GetForegroundWindow() == window)
            return true;
        Sleep(100);
    }
    return false;
}

// ---------------------------------------------------------------- arguments

// A test program's argument: the command line without the blanks, tabs and
// quotes around it.
inline std::string trimmedArgument(const char* commandLine)
{
    std::string t = commandLine ? commandLine : "";
    size_t a = t.find_first_not_of(" \t\"");
    size_t b = t.find_last_not_of(" \t\"");
    return a == std::string::npos ? std::string() : t.substr(a, b - a + 1);
}

// ---------------------------------------------------------------- box watcher

// A dialog box of this process with the caption ("*": any caption). Wine tests run side by side
// on one display: a box of another test's process must not be answered here.
struct OwnBoxSearch {
    const char* caption;
    HWND found;
    // The process whose boxes count: this one, or a program the test started.
    DWORD process;
};

inline BOOL CALLBACK matchOwnBox(HWND hwnd, LPARAM search)
{
    OwnBoxSearch* s = reinterpret_cast<OwnBoxSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char cls[16] = "";
    char title[1100] = "";
    if (process == s->process && GetClassNameA(hwnd, cls, sizeof cls) &&
        lstrcmpA(cls, "#32770") == 0 && GetWindowTextA(hwnd, title, sizeof title) >= 0 &&
        (lstrcmpA(s->caption, "*") == 0 || lstrcmpA(title, s->caption) == 0)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

inline HWND findOwnBox(const char* caption, DWORD process = GetCurrentProcessId())
{
    OwnBoxSearch search = {caption, nullptr, process};
    EnumWindows(matchOwnBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline BOOL CALLBACK matchOwnWindow(HWND hwnd, LPARAM search)
{
    OwnBoxSearch* s = reinterpret_cast<OwnBoxSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char title[1100] = "";
    if (process == s->process && GetWindowTextA(hwnd, title, sizeof title) >= 0 && lstrcmpA(title, s->caption) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A top-level window of any class with this title, of this process or of a
// program the test started; other tests' windows on the shared display do
// not count.
inline HWND findOwnWindow(const char* title, DWORD process = GetCurrentProcessId())
{
    OwnBoxSearch search = {title, nullptr, process};
    EnumWindows(matchOwnWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}


// Watches on a thread of its own for a dialog box with the caption, reads
// its static text and presses the button (IDOK unless told). wait() ends the
// watch: after the box was answered, or after the time is up. With a count
// above 1 it answers that many boxes of the caption one after the other, each
// only once it has gone, and keeps their texts in order (texts()).
class BoxWatcher {
public:
    explicit BoxWatcher(const char* caption, int button = IDOK, DWORD timeoutMs = 10000, int count = 1)
        : wanted(caption), pressButton(button), timeout(timeoutMs), boxesWanted(count), seen(false), fieldId(0)
    {
        thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    // The same for a box of another process: a program the test started.
    BoxWatcher(DWORD otherProcess, const char* caption, int button, DWORD timeoutMs)
        : wanted(caption), pressButton(button), timeout(timeoutMs), boxesWanted(1), seen(false), fieldId(0),
          process(otherProcess)
    {
        thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    // Types text into the field (an edit, or the edit of a combo box) with
    // the id before it presses the button; fieldBefore() tells what the
    // field showed.
    BoxWatcher(const char* caption, int field, const char* typed, int button = IDOK, DWORD timeoutMs = 10000)
        : wanted(caption), pressButton(button), timeout(timeoutMs), boxesWanted(1), seen(false), fieldId(field),
          fieldText(typed ? typed : "")
    {
        thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    const std::string& fieldBefore()
    {
        wait();
        return fieldShown;
    }
    ~BoxWatcher() { wait(); }

    // Waits for the watch to end; true when the box was found.
    bool wait()
    {
        if (thread) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
            thread = nullptr;
        }
        return seen;
    }
    bool found() { return wait(); }
    const std::string& text()
    {
        wait();
        return boxText;
    }
    const std::vector<std::string>& texts()
    {
        wait();
        return boxTexts;
    }

private:
    static BOOL CALLBACK collectStatic(HWND child, LPARAM self)
    {
        char cls[32];
        char text[1100];
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
            reinterpret_cast<BoxWatcher*>(self)->boxText = text;
        return TRUE;
    }

    static DWORD WINAPI run(LPVOID p)
    {
        BoxWatcher* self = static_cast<BoxWatcher*>(p);
        HWND answered = nullptr;
        for (DWORD waited = 0; waited < self->timeout; waited += 50) {
            HWND box = findOwnBox(self->wanted.c_str(), self->process);
            // The box just answered may still stand for a moment.
            if (box && box == answered && IsWindow(box)) {
                Sleep(50);
                continue;
            }
            if (box) {
                Sleep(200);
                self->boxText.clear();
                EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(self));
                if (self->fieldId) {
                    HWND field = GetDlgItem(box, self->fieldId);
                    char cls[32] = "";
                    if (field)
                        GetClassNameA(field, cls, sizeof cls);
                    HWND edit = field && lstrcmpiA(cls, "ComboBox") == 0 ? FindWindowExA(field, nullptr, "Edit", nullptr)
                                                                      : field;
                    char shown[600] = "";
                    if (edit)
                        GetWindowTextA(edit, shown, sizeof shown);
                    self->fieldShown = shown;
                    if (edit)
                        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(self->fieldText.c_str()));
                }
                self->boxTexts.push_back(self->boxText);
                self->seen = true;
                if (getenv("KYT_SCREENSHOT_PAUSE"))
                    Sleep(3000);
                PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(self->pressButton), 0);
                if (static_cast<int>(self->boxTexts.size()) >= self->boxesWanted)
                    return 0;
                answered = box;
                continue;
            }
            Sleep(50);
        }
        return 0;
    }

    std::string wanted;
    int pressButton;
    DWORD timeout;
    int boxesWanted;
    volatile bool seen;
    std::string boxText;
    std::vector<std::string> boxTexts;
    int fieldId;
    std::string fieldText;
    std::string fieldShown;
    DWORD process = GetCurrentProcessId();
    HANDLE thread;
};

// ---------------------------------------------------------------- pixels

// A pixel of a window's client area, read from the window's own DC.
inline COLORREF pixelOf(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

// The box {left, top, right, bottom} (right and bottom inclusive) of the
// pixels inside area that differ from background; left > right when none.
inline RECT inkBox(HDC dc, const RECT& area, COLORREF background)
{
    RECT box = {area.right, area.bottom, area.left - 1, area.top - 1};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (GetPixel(dc, x, y) != background) {
                if (x < box.left) box.left = x;
                if (x > box.right) box.right = x;
                if (y < box.top) box.top = y;
                if (y > box.bottom) box.bottom = y;
            }
    return box;
}

inline bool hasInk(HDC dc, const RECT& area, COLORREF background)
{
    RECT box = inkBox(dc, area, background);
    return box.left <= box.right;
}

// Pixels of colour inside area.
inline int countPixels(HDC dc, const RECT& area, COLORREF colour)
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (GetPixel(dc, x, y) == colour)
                ++n;
    return n;
}

// ---------------------------------------------------------------- texts

// A window's text as GetWindowText gives it, whole.
inline std::string windowText(HWND hwnd)
{
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 2);
    GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

// A path of the test's command line (Z:/...) with DOS separators.
inline std::string dosPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// ---------------------------------------------------------------- files

// The whole text into the file (made anew); false when it was not written.
inline bool writeText(const std::string& path, const std::string& text)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == text.size();
}

// The file's whole text; empty when it cannot be read.
inline std::string readText(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return std::string();
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(f);
    return text;
}

// ---------------------------------------------------------------- PNG pictures
// Encoded by the native PngWriter (libpng); the file is written through
// Win32, so the path may be a Unix or a DOS one.

// Writes rgb (width * height pixels, 3 bytes each, top row first) as a PNG
// file; its folder is made.
inline bool savePng(const std::vector<unsigned char>& rgb, int width, int height, const std::string& path)
{
    std::string dir = path.substr(0, path.find_last_of("/\\"));
    CreateDirectoryA(dir.c_str(), nullptr);
    std::vector<unsigned char> png = encodePng(rgb, width, height);
    if (png.empty())
        return false;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == png.size();
}

// The w x h pixels of source at (x, y), top row first, as 32-bit words
// (blue in the low byte); empty when there are none.
inline std::vector<uint32_t> readPixels(HDC source, int x, int y, int w, int h)
{
    std::vector<uint32_t> out;
    if (w <= 0 || h <= 0)
        return out;
    HDC screen = GetDC(nullptr);
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
    BitBlt(mem, 0, 0, w, h, source, x, y, SRCCOPY);
    GdiFlush();
    if (bits) {
        out.resize(size_t(w) * h);
        memcpy(out.data(), bits, out.size() * sizeof(uint32_t));
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

// The same pixels as red, green and blue bytes.
inline std::vector<unsigned char> readRgb(HDC source, int x, int y, int w, int h)
{
    const std::vector<uint32_t> words = readPixels(source, x, y, w, h);
    std::vector<unsigned char> rgb(words.size() * 3);
    for (size_t i = 0; i < words.size(); ++i) {
        rgb[i * 3] = static_cast<unsigned char>(words[i] >> 16);
        rgb[i * 3 + 1] = static_cast<unsigned char>(words[i] >> 8);
        rgb[i * 3 + 2] = static_cast<unsigned char>(words[i]);
    }
    return rgb;
}

// The w x h pixels of source at (x, y) as a PNG file; its folder is made.
inline bool savePicture(HDC source, int x, int y, int w, int h, const std::string& path)
{
    if (w <= 0 || h <= 0 || path.empty())
        return false;
    const std::vector<unsigned char> rgb = readRgb(source, x, y, w, h);
    return !rgb.empty() && savePng(rgb, w, h, path);
}

// What the window shows, frame and menu bar included. Read from the
// window's own DC: the screen may hold other tests' windows on top of it.
inline bool saveWindowPicture(HWND hwnd, const std::string& path)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    HDC windowDc = GetWindowDC(hwnd);
    bool ok = savePicture(windowDc, 0, 0, r.right - r.left, r.bottom - r.top, path);
    ReleaseDC(hwnd, windowDc);
    return ok;
}

// The folder part of a picture path given on the command line (with its
// separator), for the further pictures of a program.
inline std::string pictureFolder(const std::string& path)
{
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

} // namespace winecheck

#endif
