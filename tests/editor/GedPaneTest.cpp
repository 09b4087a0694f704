// Under wine: the editing pane in a framed window shows a sample circuit (a
// block on a frame block, a mirrored and a text block, interpoints, one of
// them marked, and a hidden connection), prints it into a memory context at
// printer scale, opens a version-1.x circuit without its connection lines,
// and keeps a second instance away through kyt.lock.
//
//   editor_gedpane_test FOLDER          pictures go to FOLDER
//   editor_gedpane_test --lock KYT.INI  (the second instance) exit code 0
//                                       when the lock was had, 1 when
//                                       refused with 18019, else 2
#include "Application.h"
#include "Bitmap.h"
#include "CircuitReader.h"
#include "EditorInstallation.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "GedPane.h"
#include "Kyt1xBuilder.h"
#include "Layout.h"
#include "LocalLibrary.h"
#include "Profile.h"
#include "WineCheck.h"
#include "Workspace.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using winecheck::check;

namespace {

const std::string kFixtures = KYT_FIXTURES;
const COLORREF kBackground = RGB(255, 255, 232);

class BoxRecorder : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int code) override { ExitProcess(static_cast<UINT>(code)); }
    std::vector<std::string> boxes;
};

BoxRecorder sink;


std::string standard(const char* file)
{
    return kFixtures + "/standard/" + file;
}

int centreX(int cell, int grid)
{
    return static_cast<int>((cell + 0.5) * grid);
}

// The second instance: the lock of the same TEMPDIR.
int secondInstance(const char* ini)
{
    Workspace workspace;
    readInstallationFile(workspace, ini);
    setWorkspace(&workspace);
    WindowsLockFileSystem locks;
    setLockFileSystem(&locks);
    LocalBlockLibrary library;
    int had = library.acquireLock();
    library.close();
    setWorkspace(nullptr);
    if (had)
        return 0;
    // Refused with 18019, which names the lock file.
    bool told = sink.boxes.size() == 1 && sink.boxes[0].find("bereits verwendent") != std::string::npos &&
                sink.boxes[0].find("kyt.lock") != std::string::npos;
    return told ? 1 : 2;
}

void screenAndPrint(const std::string& folder, const std::string& dir)
{
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(40, 40, 820, 620), WS_OVERLAPPEDWINDOW, "Schaltung");
    GedPane* pane = new GedPane(frame, new FillLayout, WS_CHILD | WS_VISIBLE);
    pane->readIniSetup(("Z:" + dir).c_str());
    CircuitModel& model = pane->model();
    model.setZoom(21, 21);
    const int g = 21;

    BlockObject* frameBlock = model.createBlock(Point(1, 1), Point(12, 8), standard("frame.blk").c_str(), "Standard", 0);
    BlockObject* step = model.createBlock(Point(3, 3), Point(6, 3), standard("sprung.blk").c_str(), "Standard", 0);
    BlockObject* pt1 = model.createBlock(Point(18, 3), Point(6, 3), standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* mirrored = model.createBlock(Point(18, 14), Point(6, 3), standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* text = model.createBlock(Point(2, 18), Point(6, 3), standard("text.blk").c_str(), "Standard", 0);
    BlockObject* last = model.createBlock(Point(30, 14), Point(6, 3), standard("pt1.blk").c_str(), "Standard", 0);
    check(frameBlock && step && pt1 && mirrored && text && last, "the sample blocks are made");
    if (!(frameBlock && step && pt1 && mirrored && text && last))
        return;
    mirrored->mirrored = 1;
    ConnectionObject* a = model.createConnection(step, PortRef{2, 1}, pt1, PortRef{1, 1});
    ConnectionObject* b = model.createConnection(pt1, PortRef{2, 1}, mirrored, PortRef{1, 1});
    ConnectionObject* hidden = model.createConnection(mirrored, PortRef{2, 1}, last, PortRef{1, 1});
    check(a && b && hidden, "the connections are made");
    if (!(a && b && hidden))
        return;
    b->appendInterpoint(27, 4, 1);
    b->appendInterpoint(27, 15);
    hidden->style |= kConnectionHidden;
    hidden->appendInterpoint(28, 11);

    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    winecheck::pump();
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::pump();

    // The empty pane, the block over the frame's fill, a segment, the marked
    // interpoint's circle, and nothing along the hidden line.
    check(winecheck::pixelOf(pane->hwnd, 700, 500) == kBackground, "the pane's background is (255, 255, 232)");
    check(winecheck::pixelOf(pane->hwnd, 3 * g + g / 2, 3 * g + 2) == RGB(255, 255, 255),
          "the block lies white over the frame's fill");
    check(winecheck::pixelOf(pane->hwnd, 2 * g, 5 * g) == RGB(255, 255, 0),
          "the frame block's fill shows around it");
    // The vertical segment between the interpoints (27, 4) and (27, 15).
    check(winecheck::pixelOf(pane->hwnd, centreX(27, g), 10 * g) == RGB(0, 0, 0), "a segment is black");
    int cx = centreX(27, g), cy = centreX(4, g);
    check(winecheck::pixelOf(pane->hwnd, cx + 2, cy) == RGB(255, 0, 0) ||
              winecheck::pixelOf(pane->hwnd, cx - 2, cy) == RGB(255, 0, 0),
          "the marked interpoint has its red circle");
    // Along its last segment, from the interpoint to the input of the last block.
    Point from(centreX(28, g), centreX(11, g));
    Point to = ConnectionObject::endPoint(last, PortRef{1, 1}, g, g);
    bool lineAlongHidden = false;
    for (int i = 2; i <= 8; ++i) {
        int x = from.x() + (to.x() - from.x()) * i / 10, y = from.y() + (to.y() - from.y()) * i / 10;
        for (int d = -1; d <= 1; ++d)
            lineAlongHidden = lineAlongHidden || winecheck::pixelOf(pane->hwnd, x + d, y) == RGB(0, 0, 0);
    }
    check(!lineAlongHidden, "the hidden connection is not drawn");
    if (!folder.empty())
        check(winecheck::saveWindowPicture(frame->hwnd, folder + "circuit-pane.png"), "the pane is saved");

    // Printed into a memory context of the screen's resolution: 21-pixel
    // cells become 11, without the red circle.
    model.setZoom(41, 41);
    MemoryDC display(static_cast<Bitmap*>(nullptr));
    MemoryDC page(display, 1200, 900);
    PatBlt(page.hdc, 0, 0, 1200, 900, WHITENESS);
    pane->printTo(&page, 0);
    check(model.getZoom() == Point(41, 41) && theWorkspace->printing == 0, "printing restores grid and word");
    bool red = false;
    for (int y = 0; y < 900 && !red; y += 1)
        for (int x = 0; x < 1200 && !red; x += 1)
            red = GetPixel(page.hdc, x, y) == RGB(255, 0, 0);
    check(!red, "the printout has no red circle");
    check(GetPixel(page.hdc, centreX(27, 21), 10 * 21) == RGB(0, 0, 0) &&
              GetPixel(page.hdc, centreX(27, 41), 10 * 41) != RGB(0, 0, 0),
          "the printout draws at 21 pixels a cell");
    if (!folder.empty())
        check(winecheck::savePicture(page.hdc, 0, 0, 1200, 900, folder + "circuit-print.png"), "the printout is saved");

    // No printer: the user is told, nothing is printed and no box stays.
    TableProfile none;
    setProfileSource(&none);
    {
        winecheck::BoxWatcher watcher("Kann nicht drucken", IDOK, 10000);
        check(pane->print() == 0, "without a printer nothing is printed");
        check(watcher.found() && watcher.text() == "Kein Druckertreiber vorhanden",
              "... and a box says \"Kein Druckertreiber vorhanden\"");
    }
    check(!winecheck::findOwnBox("Drucken ..."), "no abort dialog is left");
    setProfileSource(nullptr);

    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
}

// Through the file API: the artifact folder is a wine path.
std::string fileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(f);
    return bytes;
}

// The sample circuit file loaded as the shell loads it: library Local
// emptied, then the file read into the pane.
bool loadInto(GedPane* pane, const std::string& path)
{
    LocalBlockLibrary().reset();
    CircuitReader reader(0);
    if (!reader.openFile(path.c_str()))
        return false;
    pane->readCircuit(reader);
    reader.closeFile();
    return !reader.failed();
}

std::string showAndSave(AppFrameCL* frame, GedPane* pane, const std::string& path)
{
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::pump();
    check(winecheck::saveWindowPicture(frame->hwnd, path), "the loaded circuit is saved as a picture");
    return fileBytes(path);
}

// The sample loaded, then saved, cleared and loaded again: the same picture.
void loadSaveReload(const std::string& folder, const std::string& dir)
{
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(40, 40, 820, 620), WS_OVERLAPPEDWINDOW, "Schaltung");
    GedPane* pane = new GedPane(frame, new FillLayout, WS_CHILD | WS_VISIBLE);
    pane->readIniSetup(("Z:" + dir).c_str());
    pane->model().setZoom(15, 15);
    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    winecheck::pump();

    std::string out = folder.empty() ? dir + "/" : folder;
    size_t boxesBefore = sink.boxes.size();
    check(loadInto(pane, kFixtures + "/golden/sample.kyt"), "the sample is read without a message");
    std::string loaded = showAndSave(frame, pane, out + "circuit-loaded.png");
    std::string saved = dir + "/gespeichert.kyt";
    check(pane->model().saveCircuit(saved.c_str(), 0, 0), "the circuit is saved");
    pane->model().clear();
    check(loadInto(pane, saved), "the saved circuit is read without a message");
    std::string reloaded = showAndSave(frame, pane, out + "circuit-reloaded.png");
    check(!loaded.empty() && loaded == reloaded, "saved and reloaded, the circuit looks the same");
    check(sink.boxes.size() == boxesBefore, "no message box");

    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
}

// A version-1.x circuit (made from its format) opened into the pane: the
// five blocks drawn, white inside a black frame, and no connection line.
void oldCircuit(const std::string& folder, const std::string& dir)
{
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(40, 40, 820, 620), WS_OVERLAPPEDWINDOW, "Schaltung");
    GedPane* pane = new GedPane(frame, new FillLayout, WS_CHILD | WS_VISIBLE);
    pane->readIniSetup(("Z:" + dir).c_str());
    BlockLibrary& old = theWorkspace->libraries.ElementAt(theWorkspace->libraryCount++);
    old.name = "KYT1.x_KompLib.";
    old.file = (kFixtures + "/kyt1x").c_str();
    old.sectionCount = 0;
    const int g = 15;
    pane->model().setZoom(g, g);
    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    winecheck::pump();

    const std::string path = dir + "/regel.k1";
    const std::string bytes = regelCircuit().text();
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    size_t boxesBefore = sink.boxes.size();
    check(loadInto(pane, "Z:" + path), "regel.k1 is read without a mistake");
    check(sink.boxes.size() == boxesBefore + 1 && sink.boxes.back().find("hat KYT 1.x Format!") != std::string::npos,
          "19402 says that the file has the 1.x format");
    check(theWorkspace->hideConnectionLines == 1, "the connection lines are hidden");
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::pump();
    std::string out = folder.empty() ? dir + "/" : folder;
    check(winecheck::saveWindowPicture(pane->hwnd, out + "v1-circuit.png"), "v1-circuit.png is saved");

    int blocks = 0;
    BlockObject* a = nullptr;
    BlockObject* b = nullptr;
    for (GraphicObject* o : pane->model().objects) {
        if (o->kind() != 1)
            continue;
        BlockObject* block = static_cast<BlockObject*>(o);
        ++blocks;
        if (std::string(block->name.text()) == "A")
            a = block;
        if (std::string(block->name.text()) == "B")
            b = block;
        bool white = false, black = false;
        const int x0 = block->position.x() * g, y0 = block->position.y() * g;
        const int x1 = x0 + block->size.x() * g, y1 = y0 + block->size.y() * g;
        for (int y = y0; y < y1; y += 2)
            for (int x = x0; x < x1; x += 2) {
                COLORREF c = winecheck::pixelOf(pane->hwnd, x, y);
                white = white || c == RGB(255, 255, 255);
                black = black || c == RGB(0, 0, 0);
            }
        check(white && black, (std::string("block ") + block->name.text() + " has white fill and a black frame").c_str());
    }
    check(blocks == 5, "the five blocks are there");
    if (a && b) {
        Point from = ConnectionObject::endPoint(a, PortRef{2, 1}, g, g);
        Point to = ConnectionObject::endPoint(b, PortRef{1, 1}, g, g);
        check(winecheck::pixelOf(pane->hwnd, (from.x() + to.x()) / 2, (from.y() + to.y()) / 2) == kBackground,
              "midway between A's output and B's input lies the background");
    }
    theWorkspace->hideConnectionLines = 0;
    theWorkspace->showInputSignalNames = 0;

    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
}

void lockAgainstASecondInstance(const std::string& dir, const std::string& self)
{
    WindowsLockFileSystem locks;
    setLockFileSystem(&locks);
    LocalBlockLibrary first;
    check(first.acquireLock() == 1, "the first instance holds kyt.lock");
    std::string line = "\"" + self + "\" --lock \"Z:" + dir + "/kyt.ini\"";
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    DWORD code = 99;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        WaitForSingleObject(info.hProcess, 30000);
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    check(code == 1, "a second instance on the same TEMPDIR does not get it");
    first.close();
    setLockFileSystem(nullptr);
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(120);
    setErrorSink(&sink);
    disableErrorLog();
    std::string args = app->commandLine.text();
    if (args.compare(0, 6, "--lock") == 0) {
        app->exitCode = secondInstance(winecheck::trimmedArgument(args.substr(6).c_str()).c_str());
        return;
    }
    std::string folder = winecheck::trimmedArgument(args.c_str());
    if (!folder.empty() && folder.back() != '/')
        folder += '/';

    char tmpl[] = "/tmp/kyt-gedpane-XXXXXX";
    std::string dir = mkdtemp(tmpl) ? tmpl : "/tmp";
    makeEditorInstallation(dir, kFixtures);
    Workspace workspace;
    setWorkspace(&workspace);
    screenAndPrint(folder, dir);
    loadSaveReload(folder, dir);
    oldCircuit(folder, dir);

    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    // A Winelib program starts from its .exe.so, not from the loader script.
    std::string program = self;
    if (program.size() > 4 && program.compare(program.size() - 4, 4, ".exe") == 0)
        program += ".so";
    lockAgainstASecondInstance(dir, program);
    setWorkspace(nullptr);
    system(("rm -rf '" + dir + "'").c_str());
    app->exitCode = winecheck::summary();
}
