// Under wine, beside kyt: kyt was started through the launcher on one
// example of a copy of the installation (tests/install/example-windows). The
// circuit file is read here through the circuit reader, on the grid of the
// installation's kyt.set that kyt reads too; every block's rectangle and
// icon box follow from it. kyt's main frame must name the file in its title,
// show the pane's background in its empty area and draw every block whole
// inside the pane, none over another, with its icon beside its text (a block
// without a picture with its text); the frame is saved as example-NAME.png
// and kyt closed with WM_CLOSE, without a question, ending with 0.
//
//   example_window_test NAME INSTALLATION PICTURE
//     INSTALLATION (DOS form) is also the current directory, as for kyt.
#include "Application.h"
#include "CircuitModel.h"
#include "CircuitReader.h"
#include "ErrorReporter.h"
#include "LocalLibrary.h"
#include "SignalNameRegistry.h"
#include "WineCheck.h"
#include "Workspace.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using winecheck::check;

namespace {

const COLORREF kPaneBackground = RGB(255, 255, 232);
const COLORREF kWhite = RGB(255, 255, 255);
const char kTitlePrefix[] = "KYT 2.52 - ";

class BoxRecorder : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int code) override { ExitProcess(static_cast<UINT>(code)); }
    std::vector<std::string> boxes;
};

void expect(bool ok, const std::string& what)
{
    check(ok, what.c_str());
}

std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

// A block as the circuit file places it, in pane pixels.
struct PlacedBlock {
    std::string name;  // instance and type, for the messages
    RECT frame;        // the block's rectangle
    RECT icon;         // the icon's box inside it
    RECT text;         // the box of its text lines
    bool picture;      // it names a picture ("*** NO PIC ***" draws none)
};

// Where kyt writes a block's text: its lines (and, when the layout asks,
// its parameters) in Arial of 0.85 grid heights, aligned as the layout
// words say. Measured here with the same font, so that the icon check
// counts no letter as a picture.
RECT textBox(const BlockObject& b, const RECT& frame, int zx, int zy)
{
    std::vector<std::string> lines;
    for (const String& line : b.textLines)
        lines.push_back(line.text());
    if (b.layout[5])
        for (int i = 0; i < b.parameterCount; ++i)
            lines.push_back(std::string(b.parameterName(i).text()) +
                            ((BlockObject::at(b.parameterKinds, i) & kParamText)
                                 ? "=\"" + std::string(b.parameterValue(i).text()) + "\""
                                 : "=" + std::string(b.parameterValue(i).text())));
    LOGFONTA font = {};
    font.lfHeight = static_cast<int>(-0.85 * zy - 0.5);
    font.lfWeight = FW_NORMAL;
    font.lfPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    lstrcpyA(font.lfFaceName, "Arial");
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HFONT handle = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, handle);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    int width = 0, height = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        SIZE e = {0, 0};
        GetTextExtentPoint32A(dc, lines[i].c_str(), static_cast<int>(lines[i].size()), &e);
        width = std::max(width, static_cast<int>(e.cx));
        height += e.cy + (i + 1 < lines.size() ? metrics.tmExternalLeading : 0);
    }
    SelectObject(dc, old);
    DeleteObject(handle);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    int tx = frame.left + zx, ty = frame.top + zy / 2;
    if (b.layout[0] == 1)
        tx += ((b.size.x() - 2) * zx - width) / 2;
    else if (b.layout[0] == 2)
        tx += (b.size.x() - 2) * zx - width;
    if (b.layout[1] == 1)
        ty += ((b.size.y() - 1) * zy - height) / 2;
    else if (b.layout[1] == 2)
        ty += (b.size.y() - 1) * zy - height;
    return RECT{tx, ty, tx + width, ty + height};
}

// The circuit through the reader, as kyt loads it, into blocks on grid.
bool readBlocks(const std::string& installation, const std::string& name, Point& grid,
                std::vector<PlacedBlock>& blocks, BoxRecorder& sink)
{
    Workspace workspace;
    setWorkspace(&workspace);
    SignalNameRegistry registry;
    sNBase = &registry;
    readInstallationFile(workspace, (installation + "\\kyt.ini").c_str());
    // The grid that kyt takes from kyt.set at its start.
    workspace.readSettingsFile();
    const GridSize size = workspace.getGrid();
    grid = Point(size.x, size.y);

    // The reader copies the circuit's wizard blocks into library "Local":
    // here into a private one, kyt's own is kyt's.
    char folder[] = "/tmp/kyt-example-XXXXXX";
    const std::string scratch = mkdtemp(folder) ? folder : "";
    expect(!scratch.empty(), "a scratch folder for library \"Local\"");
    if (scratch.empty())
        return false;
    mkdir((scratch + "/local").c_str(), 0777);
    workspace.setTempDir(("Z:" + scratch).c_str());
    for (int i = 0; i < workspace.libraryCount; ++i)
        if (std::string(workspace.libraries[i].name.text()) == "Local")
            workspace.libraries[i].file = ("Z:" + scratch + "/local").c_str();
    LocalBlockLibrary().reset();

    CircuitModel model(nullptr, grid);
    CircuitReader reader(0);
    const std::string file = installation + "\\Beispiele\\" + name + ".kyt";
    bool read = reader.openFile(file.c_str()) != 0;
    expect(read, name + ": the circuit reader opens " + file);
    if (read) {
        model.readCircuit(reader);
        reader.closeFile();
        read = !reader.failed();
        expect(read, name + ": the circuit reader reads the file");
    }
    expect(sink.boxes.empty(), name + ": the circuit reader shows no message" +
                                   (sink.boxes.empty() ? "" : " (" + sink.boxes.front() + ")"));

    const int zx = grid.x(), zy = grid.y();
    for (GraphicObject* object : model.objects) {
        if (object->kind() != 1)
            continue;
        BlockObject* b = static_cast<BlockObject*>(object);
        PlacedBlock p;
        p.name = std::string(b->name.text()) + " (" + b->typeName.text() + ")";
        const int left = b->position.x() * zx, top = b->position.y() * zy;
        p.frame = RECT{left, top, left + b->size.x() * zx, top + b->size.y() * zy};
        // The icon's box as the block's layout words place it.
        Point dim = b->layout[6] ? Point(b->size.x() - 2, b->size.y() - 1) : b->iconDim;
        const int iw = dim.x() * zx, ih = dim.y() * zy;
        int ix = left + zx, iy = top + zy / 2;
        if (b->layout[2] == 1)
            ix += ((b->size.x() - 2) * zx - iw) / 2;
        else if (b->layout[2] == 2)
            ix += (b->size.x() - 2) * zx - iw;
        if (b->layout[3] == 1)
            iy += ((b->size.y() - 1) * zy - ih) / 2;
        else if (b->layout[3] == 2)
            iy += (b->size.y() - 1) * zy - ih;
        p.icon = RECT{ix, iy, ix + iw, iy + ih};
        p.text = textBox(*b, p.frame, zx, zy);
        p.picture = std::string(b->iconName.text()) != "*** NO PIC ***";
        blocks.push_back(p);
    }
    model.clear();
    LocalBlockLibrary().reset();
    sNBase = nullptr;
    setWorkspace(nullptr);
    system(("rm -rf '" + scratch + "'").c_str());
    return read;
}

// ---------------------------------------------------------------- kyt's windows

std::string windowText(HWND hwnd)
{
    char text[512] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string className(HWND hwnd)
{
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}

// The message of a box: its first static text that is not empty.
std::string boxText(HWND box)
{
    char text[1100] = "";
    HWND label = FindWindowExA(box, nullptr, "Static", nullptr);
    while (label && GetWindowTextA(label, text, sizeof text) == 0)
        label = FindWindowExA(box, label, "Static", nullptr);
    return text;
}

struct FrameSearch {
    HWND found;
};

// kyt's main frame: its title begins with "KYT 2.52 - ". Only one kyt runs
// at a time on the tests' display (the tests that start kyt share a lock).
BOOL CALLBACK findKytFrame(HWND hwnd, LPARAM p)
{
    if (className(hwnd) == "AppFrameCL" && IsWindowVisible(hwnd) &&
        windowText(hwnd).compare(0, sizeof kTitlePrefix - 1, kTitlePrefix) == 0) {
        reinterpret_cast<FrameSearch*>(p)->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The editing pane: the largest pane of the frame (the tool and status
// bars are panes too).
BOOL CALLBACK findPane(HWND hwnd, LPARAM p)
{
    FrameSearch* s = reinterpret_cast<FrameSearch*>(p);
    RECT r, best = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    if (s->found)
        GetClientRect(s->found, &best);
    if (className(hwnd) == "PaneWindowCL" && GetParent(hwnd) == GetAncestor(hwnd, GA_ROOT) && IsWindowVisible(hwnd) &&
        long(r.right) * r.bottom > long(best.right) * best.bottom)
        s->found = hwnd;
    return TRUE;
}

// kyt's frame once its title names the circuit (it may first show the
// untitled one); the title last seen in title. After a minute the frame
// with whatever title it has, or none.
HWND waitForFrame(const std::string& wanted, std::string& title)
{
    HWND frame = nullptr;
    for (int i = 0; i < 600; ++i) {
        FrameSearch search = {nullptr};
        EnumWindows(findKytFrame, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            frame = search.found;
            title = windowText(frame);
            if (title == wanted)
                break;
        }
        Sleep(100);
    }
    return frame;
}

// The client area of a pane of another process, row by row. Read through
// the frame's window DC, as the saved picture is: a child's own DC of
// another process reads back black under wine.
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

Capture capture(HWND frame, HWND pane)
{
    Capture c;
    RECT client, outer;
    GetClientRect(pane, &client);
    GetWindowRect(frame, &outer);
    POINT origin = {0, 0};
    ClientToScreen(pane, &origin);
    c.width = client.right;
    c.height = client.bottom;
    if (c.width <= 0 || c.height <= 0)
        return c;
    HDC source = GetWindowDC(frame);
    HDC mem = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = c.width;
    info.bmiHeader.biHeight = -c.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, c.width, c.height, source, origin.x - outer.left, origin.y - outer.top, SRCCOPY);
    GdiFlush();
    const unsigned char* p = static_cast<const unsigned char*>(bits);
    c.pixels.resize(size_t(c.width) * c.height);
    for (size_t i = 0; i < c.pixels.size(); ++i)
        c.pixels[i] = RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4]);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(frame, source);
    return c;
}

bool inside(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

std::string rgbText(COLORREF c)
{
    return "(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
           std::to_string(GetBValue(c)) + ")";
}

std::string rectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") - (" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

// ---------------------------------------------------------------- the checks

void checkPicture(const std::string& name, const Capture& pane, const std::vector<PlacedBlock>& blocks)
{
    // The empty area: what lies outside every block is the pane's colour,
    // but for connection lines and signal names.
    std::map<COLORREF, long> colours;
    long outside = 0;
    for (int y = 0; y < pane.height; ++y)
        for (int x = 0; x < pane.width; ++x) {
            bool inBlock = false;
            for (const PlacedBlock& b : blocks)
                inBlock = inBlock || inside(b.frame, x, y);
            if (!inBlock) {
                ++colours[pane.at(x, y)];
                ++outside;
            }
        }
    COLORREF most = 0;
    long mostCount = 0;
    for (const auto& c : colours)
        if (c.second > mostCount) {
            most = c.first;
            mostCount = c.second;
        }
    expect(outside > 0 && most == kPaneBackground && mostCount * 10 >= outside * 9,
           name + ": the pane's empty area is (255, 255, 232) (there " + rgbText(most) + " in " +
               std::to_string(mostCount) + " of " + std::to_string(outside) + " pixels)");
    expect(pane.width > 0 && pane.at(pane.width - 2, pane.height - 2) == kPaneBackground,
           name + ": the pane's bottom right corner is (255, 255, 232)");

    for (const PlacedBlock& b : blocks) {
        const RECT& f = b.frame;
        const bool whole = f.left >= 0 && f.top >= 0 && f.right <= pane.width && f.bottom <= pane.height;
        expect(whole, name + ": block " + b.name + " at " + rectText(f) + " lies inside the pane of " +
                          std::to_string(pane.width) + " x " + std::to_string(pane.height) + " pixels");
        if (!whole)
            continue;
        // The icon is drawn: its box holds pixels other than the block's
        // white fill and the pane's colour, outside the block's text. A
        // block without a picture (the Laplace wizard's) shows its text.
        const RECT& area = b.picture ? b.icon : b.text;
        int ink = 0;
        for (int y = std::max(area.top, f.top + 1); y < std::min(area.bottom, f.bottom - 1); ++y)
            for (int x = std::max(area.left, f.left + 1); x < std::min(area.right, f.right - 1); ++x) {
                const COLORREF c = pane.at(x, y);
                if (c != kWhite && c != kPaneBackground && (!b.picture || !inside(b.text, x, y)))
                    ++ink;
            }
        expect(ink > 0, name + ": block " + b.name + (b.picture ? " draws its icon in " : " shows its text in ") +
                            rectText(area) + (b.picture ? " (text in " + rectText(b.text) + ")" : ""));
    }

    // No block covers another.
    for (size_t i = 0; i < blocks.size(); ++i)
        for (size_t j = i + 1; j < blocks.size(); ++j) {
            RECT common;
            expect(!IntersectRect(&common, &blocks[i].frame, &blocks[j].frame),
                   name + ": blocks " + blocks[i].name + " and " + blocks[j].name + " do not overlap");
        }
}

// WM_CLOSE on the unchanged circuit: kyt ends with 0 and asks nothing. A
// box of kyt is noted and answered, so that nothing waits for a person.
void closeKyt(const std::string& name, HWND frame, DWORD process)
{
    HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, process);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    std::vector<std::string> boxes;
    bool ended = false;
    for (int i = 0; i < 300 && handle && !ended; ++i) {
        ended = WaitForSingleObject(handle, 100) == WAIT_OBJECT_0;
        if (HWND box = winecheck::findOwnBox("*", process)) {
            boxes.push_back(boxText(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            Sleep(300);
        }
    }
    expect(boxes.empty(), name + ": kyt closes without a question" + (boxes.empty() ? "" : " (" + boxes[0] + ")"));
    DWORD code = 99;
    if (handle && !ended) {
        TerminateProcess(handle, 99);
        WaitForSingleObject(handle, 5000);
    }
    if (handle) {
        GetExitCodeProcess(handle, &code);
        CloseHandle(handle);
    }
    expect(ended && code == 0, name + ": kyt ends with exit code 0 (" + std::to_string(code) + ")");
}

int watch(const std::string& name, const std::string& installation, const std::string& picture)
{
    BoxRecorder sink;
    setErrorSink(&sink);
    disableErrorLog();
    Point grid;
    std::vector<PlacedBlock> blocks;
    readBlocks(installation, name, grid, blocks, sink);
    expect(blocks.size() >= 3, name + ": the circuit has blocks (" + std::to_string(blocks.size()) + ")");

    // The title shows the circuit's name as kyt was given it.
    const std::string wanted = kTitlePrefix + std::string("Beispiele\\") + name + ".kyt";
    std::string title;
    HWND frame = waitForFrame(wanted, title);
    expect(frame != nullptr, name + ": kyt shows its main frame");
    if (!frame)
        return winecheck::summary();
    expect(title == wanted, name + ": kyt's title is \"" + wanted + "\" (seen: \"" + title + "\")");
    DWORD process = 0;
    GetWindowThreadProcessId(frame, &process);

    // kyt paints on its own time: the frame is drawn anew and left to settle.
    Sleep(1000);
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(1000);
    if (HWND box = winecheck::findOwnBox("*", process)) {
        expect(false, name + ": kyt opens the example without a message (" + boxText(box) + ")");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        Sleep(500);
    }

    FrameSearch search = {nullptr};
    EnumChildWindows(frame, findPane, reinterpret_cast<LPARAM>(&search));
    expect(search.found != nullptr, name + ": kyt's frame holds the editing pane");
    if (search.found) {
        // kyt's window is read from the display, where the windows of tests
        // running beside this one may cover it: it goes on top of them.
        // It may still read back black for a while after it is shown: it is
        // read again until its pane shows its colour, at most ten seconds.
        SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(500);
        Capture pane = capture(frame, search.found);
        for (int i = 0; i < 20 && (pane.width == 0 || pane.at(pane.width - 2, pane.height - 2) != kPaneBackground);
             ++i) {
            Sleep(500);
            RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Sleep(200);
            pane = capture(frame, search.found);
        }
        expect(winecheck::saveWindowPicture(frame, picture), name + ": the frame is saved as " + picture);
        checkPicture(name, pane, blocks);
    }

    closeKyt(name, frame, process);

    // kyt keeps the grid it drew with in kyt.set.
    const std::string settings = winecheck::readText(installation + "\\tmp\\kyt.set");
    const std::string gridLine = "GRID " + std::to_string(grid.x()) + " " + std::to_string(grid.y());
    expect(settings.compare(0, gridLine.size(), gridLine) == 0,
           name + ": kyt drew on the grid read here, " + gridLine + " (kyt.set: " +
               settings.substr(0, settings.find('\n')) + ")");
    return winecheck::summary();
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(120);
    const std::vector<std::string> args = words(app->commandLine.text() ? app->commandLine.text() : "");
    if (args.size() != 3) {
        printf("usage: example_window_test NAME INSTALLATION PICTURE\n");
        app->exitCode = 2;
        return;
    }
    app->exitCode = watch(args[0], args[1], args[2]);
}
