// Under wine: every example circuit of the staged installation, loaded into
// the editing pane as the program loads it (current directory and kyt.ini of
// the installation, library Local emptied), shows on the pane's background
// with every block's icon drawn. At the default zoom the visible blocks are
// checked and the window saved as pane-example-NAME.png; at zoom 15 the
// whole circuit is on the screen and every block is checked. (kyt itself
// saves example-NAME.png: tests/install/example-windows.)
//
//   install_pictures_test FOLDER     pictures go to FOLDER
#include "Application.h"
#include "CircuitReader.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "GedPane.h"
#include "Layout.h"
#include "LocalLibrary.h"
#include "WineCheck.h"
#include "Workspace.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>


namespace {

const std::string kInstallation = "Z:" KYT_INSTALL_DIR;
const COLORREF kBackground = RGB(255, 255, 232);
const COLORREF kWhite = RGB(255, 255, 255);

class BoxRecorder : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int code) override { ExitProcess(static_cast<UINT>(code)); }
    std::vector<std::string> boxes;
};

BoxRecorder sink;
std::string privateDir;

// The checks name the example and the block.
void expect(bool ok, const std::string& what)
{
    winecheck::check(ok, what.c_str());
}

std::vector<std::string> exampleNames()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((kInstallation + "/Beispiele/*.kyt").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string file = found.cFileName;
        names.push_back(file.substr(0, file.size() - 4));
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

bool hasInk(HDC dc, RECT area)
{
    RECT box = winecheck::inkBox(dc, area, kWhite);
    if (box.left > box.right)
        return false;
    // Ink that is only the pane's background does not count.
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c != kWhite && c != kBackground)
                return true;
        }
    return false;
}

// Checks the blocks that lie wholly in the client area; their number.
int checkBlocks(GedPane* pane, const std::string& name, bool all)
{
    CircuitModel& model = pane->model();
    const Point zoom = model.getZoom();
    const int zx = zoom.x(), zy = zoom.y();
    RECT client;
    GetClientRect(pane->hwnd, &client);
    HDC dc = GetDC(pane->hwnd);
    int checked = 0, blocks = 0;
    for (GraphicObject* object : model.objects) {
        if (object->kind() != 1)
            continue;
        ++blocks;
        BlockObject* b = static_cast<BlockObject*>(object);
        const int left = b->position.x() * zx, top = b->position.y() * zy;
        const int right = left + b->size.x() * zx, bottom = top + b->size.y() * zy;
        if (right >= client.right || bottom >= client.bottom)
            continue;
        ++checked;
        RECT area;
        std::string what;
        if (std::string(b->iconName.text()) != "*** NO PIC ***") {
            // The icon's box, aligned as the block's layout words say.
            const int iw = b->iconDim.x() * zx, ih = b->iconDim.y() * zy;
            const int freeX = (b->size.x() - 2) * zx - iw, freeY = (b->size.y() - 1) * zy - ih;
            const int ix = left + zx + (b->layout[2] == 1 ? freeX / 2 : b->layout[2] == 2 ? freeX : 0);
            const int iy = top + zy / 2 + (b->layout[3] == 1 ? freeY / 2 : b->layout[3] == 2 ? freeY : 0);
            area = RECT{ix, iy, ix + iw, iy + ih};
            what = "its icon";
        } else {
            area = RECT{left + 3, top + 3, right - 3, bottom - 3};
            what = "its text";
        }
        expect(hasInk(dc, area), name + ": block " + b->name.text() + " shows " + what + " at zoom " +
                                    std::to_string(zx));
    }
    ReleaseDC(pane->hwnd, dc);
    if (all)
        expect(checked == blocks, name + ": every block lies on the screen at zoom " + std::to_string(zx));
    return checked;
}

void showExample(const std::string& folder, const std::string& name)
{
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(0, 0, 1000, 740), WS_OVERLAPPEDWINDOW,
                                       ("Schaltung - " + name + ".kyt").c_str());
    GedPane* pane = new GedPane(frame, new FillLayout, WS_CHILD | WS_VISIBLE);
    pane->readIniSetup(kInstallation.c_str());
    // The library Local and TEMPDIR of a private directory: a kyt that runs
    // on the same installation keeps its own.
    theWorkspace->setTempDir((privateDir + "/tmp").c_str());
    for (int i = 0; i < theWorkspace->libraryCount; ++i)
        if (std::string(theWorkspace->libraries[i].name.text()) == "Local")
            theWorkspace->libraries[i].file = (privateDir + "/local").c_str();
    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    winecheck::pump();

    const size_t boxesBefore = sink.boxes.size();
    LocalBlockLibrary().reset();
    CircuitReader reader(0);
    bool opened = reader.openFile((kInstallation + "/Beispiele/" + name + ".kyt").c_str());
    expect(opened, name + ": the circuit file opens");
    if (opened) {
        pane->readCircuit(reader);
        reader.closeFile();
        expect(!reader.failed(), name + ": the circuit is read");
    }
    expect(sink.boxes.size() == boxesBefore,
           name + ": no message while loading" + (sink.boxes.size() > boxesBefore ? " (" + sink.boxes.back() + ")" : ""));

    auto repaint = [&] {
        InvalidateRect(pane->hwnd, nullptr, TRUE);
        UpdateWindow(pane->hwnd);
        winecheck::pump();
    };
    repaint();
    RECT client;
    GetClientRect(pane->hwnd, &client);
    // The top right corner stays free in every example.
    expect(winecheck::pixelOf(pane->hwnd, client.right - 20, 20) == kBackground,
          name + ": the pane's empty area is (255, 255, 232)");
    expect(checkBlocks(pane, name, false) >= 2, name + ": blocks show at the default zoom");
    if (!folder.empty())
        expect(winecheck::saveWindowPicture(frame->hwnd, folder + "pane-example-" + name + ".png"),
              name + ": the picture is saved");

    pane->model().setZoom(15, 15);
    repaint();
    checkBlocks(pane, name, true);
    if (!folder.empty())
        winecheck::saveWindowPicture(frame->hwnd, folder + "pane-example-" + name + "-15.png");

    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(240);
    setErrorSink(&sink);
    disableErrorLog();
    std::string folder = winecheck::trimmedArgument(app->commandLine.text());
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    // As the program runs: kyt.ini names its directories from here.
    expect(SetCurrentDirectoryA(kInstallation.c_str()) != 0, "the installation is the current directory");
    char tmpl[] = "/tmp/kyt-pictures-XXXXXX";
    const std::string scratch = mkdtemp(tmpl) ? tmpl : "/tmp";
    privateDir = "Z:" + scratch;
    mkdir((scratch + "/tmp").c_str(), 0777);
    mkdir((scratch + "/local").c_str(), 0777);
    Workspace workspace;
    setWorkspace(&workspace);
    std::vector<std::string> names = exampleNames();
    expect(names.size() >= 7, "the examples are installed");
    for (const std::string& name : names)
        showExample(folder, name);
    setWorkspace(nullptr);
    if (scratch != "/tmp")
        system(("rm -rf '" + scratch + "'").c_str());
    app->exitCode = winecheck::summary();
}
