// Under wine: the editing pane in a frame with a status bar, driven by
// posted mouse messages. A connection with one bend is drawn, a block is
// dragged, two blocks are band-marked, a port shows its hint and cursor,
// and the delete tool asks before a block goes.
//
//   editor_interaction_test FOLDER     the picture goes to FOLDER
#include "Application.h"
#include "EditorInstallation.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "GedPane.h"
#include "Layout.h"
#include "ResString.h"
#include "StatusBar.h"
#include "WineCheck.h"
#include "Workspace.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

using winecheck::check;

namespace {

const std::string kFixtures = KYT_FIXTURES;
const COLORREF kBackground = RGB(255, 255, 232);
const COLORREF kMarkedFill = RGB(192, 192, 192);
const int g = 21;

class QuietSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char*, const char*) override {}
    [[noreturn]] void endProcess(int code) override { ExitProcess(static_cast<UINT>(code)); }
};

QuietSink sink;


class Mouse {
public:
    explicit Mouse(HWND pane) : hwnd(pane) {}
    void post(UINT message, const Point& p, WPARAM keys = 0)
    {
        PostMessageA(hwnd, message, keys, MAKELPARAM(p.x(), p.y()));
        winecheck::pump();
    }
    void move(const Point& p, WPARAM keys = 0) { post(WM_MOUSEMOVE, p, keys); }
    void click(const Point& p, WPARAM keys = 0)
    {
        move(p, keys);
        post(WM_LBUTTONDOWN, p, keys | MK_LBUTTON);
        post(WM_LBUTTONUP, p, keys);
    }
    // A drag through the points, with the button held.
    void drag(const std::vector<Point>& points, WPARAM keys = 0)
    {
        move(points.front(), keys);
        post(WM_LBUTTONDOWN, points.front(), keys | MK_LBUTTON);
        for (size_t i = 1; i < points.size(); ++i)
            move(points[i], keys | MK_LBUTTON);
        post(WM_LBUTTONUP, points.back(), keys);
    }
    HWND hwnd;
};

Point inside(const BlockObject* b)
{
    return Point(b->position.x() * g + 3, b->position.y() * g + 3);
}

std::string standard(const char* file)
{
    return kFixtures + "/standard/" + file;
}

void interaction(const std::string& folder, const std::string& dir)
{
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(40, 40, 820, 620), WS_OVERLAPPEDWINDOW, "Schaltung");
    FrameStatusBarCL* status = new FrameStatusBarCL(frame, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    new StatusField(status, 0, getResString(kHintPort), 2, 0);
    GedPane* pane = new GedPane(frame, new FillLayout, WS_CHILD | WS_VISIBLE);
    pane->setStatusBar(status);
    pane->readIniSetup(("Z:" + dir).c_str());
    CircuitModel& model = pane->model();
    model.setZoom(g, g);
    BlockObject* a = model.createBlock(Point(3, 3), Point(6, 3), standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* b = model.createBlock(Point(18, 3), Point(6, 3), standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* c = model.createBlock(Point(3, 12), Point(6, 3), standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* d = model.createBlock(Point(18, 12), Point(6, 3), standard("pt1.blk").c_str(), "Standard", 0);
    BlockObject* e = model.createBlock(Point(28, 20), Point(6, 3), standard("pt1.blk").c_str(), "Standard", 0);
    check(a && b && c && d && e, "the sample blocks are made");
    if (!(a && b && c && d && e))
        return;

    frame->show(SW_SHOWNORMAL);
    status->show(SW_SHOW);
    pane->show(SW_SHOW);
    winecheck::pump();
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::pump();
    Mouse mouse(pane->hwnd);

    // A connection from A's output through cell (13, 8) to B's input.
    Point bend(static_cast<int>(13.5 * g), static_cast<int>(8.5 * g));
    mouse.click(ConnectionObject::portPixel(a, PortRef{2, 1}, g, g));
    mouse.move(bend);
    mouse.click(bend);
    mouse.click(ConnectionObject::portPixel(b, PortRef{1, 1}, g, g));
    ConnectionObject* line = model.findConnectionAtPort(a, PortRef{2, 1}, 1);
    check(line && line->blockB == b && line->interpoints.size() == 1 && line->interpoints.front().x == 13 &&
              line->interpoints.front().y == 8,
          "one connection from A to B with its bend at (13, 8)");

    // C dragged by two cells to the right.
    Point from(c->position.x() * g + 40, c->position.y() * g + 30);
    mouse.drag({from, from.plus(10, 0), from.plus(2 * g, 0)});
    check(c->position == Point(5, 12), "the dragged block moved two cells");

    // A band around C and D marks both.
    Point anchor(90, 241), corner(530, 380);
    mouse.drag({anchor, anchor.plus(1, 0), Point(300, 300), corner});
    check(c->markWord == 1 && d->markWord == 1 && a->markWord == 0 && b->markWord == 0,
          "the band marks the two blocks inside it");

    // Over a port: hint 9016 and cursor 120.
    mouse.move(ConnectionObject::portPixel(a, PortRef{1, 1}, g, g));
    StatusField* hint = status->fieldById(2);
    check(hint && hint->getText() == getResString(kHintPort), "status field 2 shows hint 9016");
    check(GetCursor() == LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kCursorPort)),
          "the port cursor is shown");
    check(pane->cursorId() == kCursorPort, "the pane remembers cursor 120");

    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    winecheck::pump();
    check(winecheck::pixelOf(pane->hwnd, inside(c).x(), inside(c).y()) == kMarkedFill &&
              winecheck::pixelOf(pane->hwnd, inside(d).x(), inside(d).y()) == kMarkedFill,
          "both marked blocks are light grey");
    check(winecheck::pixelOf(pane->hwnd, inside(a).x(), inside(a).y()) == RGB(255, 255, 255),
          "an unmarked block stays white");
    // Along the segment from the bend to B's input.
    Point to = ConnectionObject::endPoint(b, PortRef{1, 1}, g, g);
    bool onLine = false;
    for (int i = 3; i <= 7; ++i) {
        int x = bend.x() + (to.x() - bend.x()) * i / 10, y = bend.y() + (to.y() - bend.y()) * i / 10;
        for (int dy = -1; dy <= 1; ++dy)
            onLine = onLine || winecheck::pixelOf(pane->hwnd, x, y + dy) == RGB(0, 0, 0);
    }
    check(onLine, "the line leaves the bend's cell towards B");
    check(winecheck::pixelOf(pane->hwnd, 300, 241) == kBackground && winecheck::pixelOf(pane->hwnd, 530, 290) == kBackground,
          "the band's outline is gone after the release");
    if (!folder.empty())
        check(winecheck::saveWindowPicture(frame->hwnd, folder + "editor-interaction.png"), "the picture is saved");

    // Another window takes the capture in mid-drag: nothing moves.
    Point grip(a->position.x() * g + 40, a->position.y() * g + 30);
    mouse.move(grip);
    mouse.post(WM_LBUTTONDOWN, grip, MK_LBUTTON);
    mouse.move(grip.plus(3 * g, 0), MK_LBUTTON);
    SetCapture(frame->hwnd);
    winecheck::pump();
    ReleaseCapture();
    mouse.post(WM_LBUTTONUP, grip.plus(3 * g, 0));
    check(a->position == Point(3, 3) && pane->controller().buttonDown == 0, "a lost capture leaves the block in place");

    // The delete tool asks 5001; Yes takes the block.
    pane->setTool(kToolDelete);
    {
        winecheck::BoxWatcher watcher("Warnung:", IDYES, 10000);
        mouse.click(Point(e->position.x() * g + 40, e->position.y() * g + 30));
        check(watcher.found() && watcher.text() == getResString(kResDeleteBlock), "the delete tool asks 5001");
    }
    check(!model.contains(e) && model.undoList.size() == 1, "the block went into the undo list");
    pane->setTool(kToolEdit);

    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(120);
    setErrorSink(&sink);
    disableErrorLog();
    std::string folder = app->commandLine.text();
    size_t a = folder.find_first_not_of(" \t\"");
    size_t b = folder.find_last_not_of(" \t\"");
    folder = a == std::string::npos ? std::string() : folder.substr(a, b - a + 1);
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    char tmpl[] = "/tmp/kyt-interaction-XXXXXX";
    std::string dir = mkdtemp(tmpl) ? tmpl : "/tmp";
    makeEditorInstallation(dir, kFixtures);
    Workspace workspace;
    setWorkspace(&workspace);
    interaction(folder, dir);
    setWorkspace(nullptr);
    system(("rm -rf '" + dir + "'").c_str());
    app->exitCode = winecheck::summary();
}
