#include "SurfaceWindow.h"

#include "Application.h"
#include "CommonDialogs.h"
#include "DeviceContext.h"
#include "ErrorReporter.h"
#include "GlyphFont.h"
#include "Layout.h"
#include "Menu.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "ResourceId.h"
#include "TextHelpers.h"
#include "ToolBar.h"
#include "strings/KytfuzzyStrings.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

namespace {

const int kCursorNormal = 147;
const int kToolBarHeight = 30;

GLMeshWindow* surfaceWindow = nullptr;
WindowCL* editorWindow = nullptr;
CharacteristicFileChooser fileChooser = nullptr;
int liveWindows = 0;

std::string res(unsigned int id)
{
    const char* text = getResString(id);
    return text ? text : "";
}

// The tool bar: gaps of 4 and 16 pixels, then the buttons.
struct BarEntry {
    int command;    // 0: a gap
    int bitmap;     // or the gap's width
    DWORD style;
};
const BarEntry kBar[] = {
    {0, 4, 0},
    {SURFACE_EXPORT_TEXT, 11048, 0},
    {SURFACE_EXPORT_MATLAB, 18012, 0},
    {0, 16, 0},
    {SURFACE_TURN_LEFT, 18232, 0},
    {SURFACE_TURN_UP, 18231, 0},
    {SURFACE_TURN_DOWN, 18233, 0},
    {SURFACE_TURN_RIGHT, 18234, 0},
    {SURFACE_HOME, 18013, 0},
    {0, 16, 0},
    {SURFACE_SOLID_LINES, 9011, 0x230},
    {0, 16, 0},
    {SURFACE_EDITOR_TO_FRONT, 124, 0},
};

class SurfaceToolBar : public ToolBarCL {
public:
    using ToolBarCL::ToolBarCL;
};

bool dialogChooser(WindowCL* owner, const char* title, const char* const* filters, std::string& path)
{
    FileSaveDialog dialog(owner, title, "", filters);
    if (!dialog.ok)
        return false;
    path = dialog.path;
    return true;
}

void showNormalCursor(WindowCL* window)
{
    HCURSOR c = LoadCursorA(programInstance(), MAKEINTRESOURCEA(kCursorNormal));
    window->setCursorHandle(c ? c : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

} // namespace

void setCharacteristicFileChooser(CharacteristicFileChooser chooser)
{
    fileChooser = chooser;
}

bool chooseCharacteristicFile(WindowCL* owner, bool matlab, std::string& path)
{
    const std::string title = res(kStrFzSaveSurfaceAs), kind = res(matlab ? kStrFzMatlabFilter : kStrFzTextFilter),
                      all = res(kStrFzAllFilesFilter);
    const char* const filters[] = {kind.c_str(), matlab ? "*.m" : "*.txt", all.c_str(), "*.*", nullptr};
    std::string chosen;
    if (!(fileChooser ? fileChooser : dialogChooser)(owner, title.c_str(), filters, chosen))
        return false;
    path = setDefaultExtension(chosen.c_str(), matlab ? "m" : "txt").text();
    return true;
}

SurfaceView& surfaceView()
{
    static SurfaceView view;
    return view;
}

int GLMeshWindow::liveCount()
{
    return liveWindows;
}

GLMeshWindow::GLMeshWindow(SurfaceGrid grid, int keepView, const FuzzyPaneColor& backgroundColour)
    : GLPaneWindowCL(nullptr, new Layout(100, 100, 550, 500), WS_OVERLAPPEDWINDOW, res(kStrFzSurfaceWindowTitle).c_str(), 1),
      points(std::move(grid)), background(backgroundColour)
{
    ++liveWindows;
    char text[128];
    snprintf(text, sizeof text, "%s %d %s", res(kStrFzSurfaceWindowTitle).c_str(), 1, res(kStrFzPlotActive).c_str());
    setTitle(text);
    if (!keepView)
        surfaceView() = SurfaceView();
    new Menu(this, ResourceId(static_cast<unsigned>(kSurfaceMenu)));
    bar = new SurfaceToolBar(this, new EdgeLayout(PLACE_TOP, 0, kToolBarHeight), 0x001);
    if (!bar)
        reportError(ERR_FATAL, "Assertion failed: %s", "tbar");
    int position = 1;
    for (const BarEntry& e : kBar) {
        if (!e.command) {
            bar->addSpacer(position++, Point(e.bitmap, 0));
            continue;
        }
        BmpButtonCL* button =
            new BmpButtonCL(bar, new BarItemLayout(position++, Point(27, 25)), e.style, "", e.command, nullptr);
        button->loadBitmap(ResourceId(static_cast<unsigned>(e.bitmap)));
    }
    bar->linkMenu();
    bar->checkButton(SURFACE_SOLID_LINES, 1);
    if (getMenu())
        getMenu()->checkItem(SURFACE_SOLID_LINES, 1);
    bar->show(SW_SHOW);
    // The scene goes below the tool bar, which stays in sight.
    setCanvasTop(kToolBarHeight);
    box = surfaceBox(points.bounds);
    setUpGl();
    setClassIcon(new Icon(ResourceId(static_cast<unsigned>(kSurfaceIcon))));
    showNormalCursor(this);
    show(SW_SHOWNORMAL);
    if (geometry)
        geometry->layout(nullptr);
    projectAndRedraw();
}

GLMeshWindow::~GLMeshWindow()
{
    --liveWindows;
    if (renderingContext() && fontBase) {
        if (wglGetCurrentContext() != renderingContext())
            wglMakeCurrent(deviceContext(), renderingContext());
        glDeleteLists(fontBase, 128);
    }
    delete bar;
    bar = nullptr;
    if (surfaceWindow == this)
        surfaceWindow = nullptr;
}

void GLMeshWindow::setUpGl()
{
    if (!renderingContext())
        return;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    fontBase = glGenLists(128);
    static const unsigned char empty[13] = {};
    for (int c = 32; c <= 126; ++c) {
        glNewList(fontBase + c, GL_COMPILE);
        glBitmap(8, 13, 4.0f, 6.0f, 9.0f, 0.0f, kGlyphs8x13[c - 32]);
        glEndList();
    }
    // Moves the raster position one character back.
    glNewList(fontBase + 127, GL_COMPILE);
    glBitmap(8, 13, 4.0f, 6.0f, -9.0f, 0.0f, empty);
    glEndList();
    glClearColor(background.red / 256.0f, background.green / 256.0f, background.blue / 256.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
}

LRESULT GLMeshWindow::onSize(EventRecord*)
{
    setProjection(false);
    return 1;
}

void GLMeshWindow::projectAndRedraw()
{
    resizePending = 1;
    setProjection(true);
}

void GLMeshWindow::setProjection(bool force)
{
    if (!isWindow())
        return;
    // The canvas is the client area less the tool bar's strip.
    const RECT r = canvasRect();
    if (!force && !resizePending && r.right == client.right && r.bottom == client.bottom)
        return;
    resizePending = 0;
    client = r;
    if (!renderingContext())
        return;
    if (wglGetCurrentContext() != renderingContext())
        wglMakeCurrent(deviceContext(), renderingContext());
    const int w = std::max<int>(1, r.right - r.left);
    const int h = std::max<int>(1, r.bottom - r.top);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (h < w)
        glOrtho(-0.9 * w / h, 0.9 * w / h, -0.9, 0.9, -0.9, 0.9);
    else
        glOrtho(-0.9, 0.9, -0.9 * h / w, 0.9 * h / w, -0.9, 0.9);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    redraw();
}

void GLMeshWindow::centredText(double x, double y, double z, const std::string& text)
{
    glRasterPos3d(x, y, z);
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase);
    const int n = static_cast<int>(text.size());
    const std::string back(static_cast<size_t>(std::min(n / 2, 20)), '\x7f');
    glCallLists(static_cast<GLsizei>(back.size()), GL_UNSIGNED_BYTE, back.data());
    glCallLists(n, GL_UNSIGNED_BYTE, text.data());
    glPopAttrib();
}

int GLMeshWindow::draw()
{
    const SurfaceBox& b = box;
    const SurfaceView& view = surfaceView();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glRotated(view.aboutX, 1, 0, 0);
    glRotated(view.aboutZ, 0, 0, 1);
    glScaled(1 / b.xRange, 1 / b.yRange, 1 / b.zRange);
    glTranslated(-(b.xMin + b.xMax) / 2, -(b.yMin + b.yMax) / 2, -(b.zMin + b.zMax) / 2);

    glColor3f(0, 0, 0);
    glBegin(GL_LINES);
    glVertex3d(b.xMin, b.yMin, b.zMin);
    glVertex3d(b.xMin, b.yMax, b.zMin);
    glVertex3d(b.xMin, b.yMin, b.zMin);
    glVertex3d(b.xMax, b.yMin, b.zMin);
    glVertex3d(b.xMin, b.yMax, b.zMin);
    glVertex3d(b.xMin, b.yMax, b.zMax);
    glEnd();

    // The floor, the back wall and the side wall carry a dotted 4 x 4 grid.
    glLineStipple(2, 0xAAAA);
    glEnable(GL_LINE_STIPPLE);
    const double sx = b.xRange / 4, sy = b.yRange / 4, sz = b.zRange / 4;
    glBegin(GL_LINES);
    glVertex3d(b.xMax, b.yMin, b.zMin);
    glVertex3d(b.xMax, b.yMin, b.zMax);
    for (int k = 1; k <= 4; ++k) {
        const double x = b.xMin + k * sx, y = b.yMin + k * sy, z = b.zMin + k * sz;
        glVertex3d(x, b.yMin, b.zMin);
        glVertex3d(x, b.yMax, b.zMin);
        glVertex3d(x, b.yMax, b.zMin);
        glVertex3d(x, b.yMax, b.zMax);
        glVertex3d(b.xMin, y, b.zMin);
        glVertex3d(b.xMax, y, b.zMin);
        glVertex3d(b.xMax, y, b.zMin);
        glVertex3d(b.xMax, y, b.zMax);
        glVertex3d(b.xMin, b.yMax, z);
        glVertex3d(b.xMax, b.yMax, z);
        glVertex3d(b.xMax, b.yMax, z);
        glVertex3d(b.xMax, b.yMin, z);
    }
    glEnd();
    glDisable(GL_LINE_STIPPLE);

    auto number = [](double v) { return std::string(formatDouble(v).text()); };
    const double belowY = b.yMin - 0.15 * b.yRange, besideX = b.xMin - 0.15 * b.xRange;
    for (int k = 1; k <= 3; ++k) {
        centredText(b.xMin + k * sx, belowY, b.zMin, number(b.xMin + k * sx));
        centredText(besideX, b.yMin + k * sy, b.zMin, number(b.yMin + k * sy));
        centredText(besideX, b.yMax, b.zMin + k * sz, number(b.zMin + k * sz));
    }
    centredText(b.xMax, belowY, b.zMin, points.xName);
    centredText(besideX, b.yMax, b.zMin, points.yName);
    centredText(besideX, b.yMax, b.zMax, points.zName);

    const double dz = 0.005 * b.zRange;
    auto vertex = [&](const SurfacePoint& p) {
        const std::array<float, 3> c = surfaceColor(p.z, b.zMin, b.zRange);
        glColor3f(c[0], c[1], c[2]);
        glVertex3d(p.x, p.y, p.z);
    };
    glBegin(GL_TRIANGLES);
    for (const std::array<int, 3>& t : surfaceTriangles(points))
        for (int index : t)
            vertex(points.points[static_cast<size_t>(index)]);
    glEnd();
    if (dotted)
        glEnable(GL_LINE_STIPPLE);
    glColor3f(0, 0, 0);
    glBegin(GL_LINES);
    for (const std::array<int, 4>& l : surfaceMeshLines(points)) {
        const SurfacePoint& from = points.points[static_cast<size_t>(l[0])];
        glVertex3d(from.x, from.y, from.z + dz);
        const SurfacePoint& a = points.points[static_cast<size_t>(l[1])];
        glVertex3d(a.x, a.y, a.z + dz);
        const SurfacePoint& from2 = points.points[static_cast<size_t>(l[2])];
        glVertex3d(from2.x, from2.y, from2.z + dz);
        const SurfacePoint& c = points.points[static_cast<size_t>(l[3])];
        glVertex3d(c.x, c.y, c.z + dz);
    }
    glEnd();
    glDisable(GL_LINE_STIPPLE);
    glFlush();
    return 1;
}

LRESULT GLMeshWindow::onClose(EventRecord*)
{
    // The window's one owner deletes it; nothing else does.
    deleteSurfaceWindow();
    return 1;
}

void GLMeshWindow::exportGrid(bool matlab)
{
    std::string path;
    if (!chooseCharacteristicFile(this, matlab, path))
        return;
    setCursorHandle(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    if (matlab)
        writeCharacteristicMatlab(path.c_str(), points);
    else
        writeCharacteristicText(path.c_str(), points);
    showNormalCursor(this);
}

LRESULT GLMeshWindow::onCommand(EventRecord* event)
{
    SurfaceView& view = surfaceView();
    switch (LOWORD(event->wParam)) {
    case SURFACE_EXPORT_TEXT:
        exportGrid(false);
        return 1;
    case SURFACE_EXPORT_MATLAB:
        exportGrid(true);
        return 1;
    case SURFACE_SOLID_LINES:
        dotted = !dotted;
        if (getMenu())
            getMenu()->checkItem(SURFACE_SOLID_LINES, dotted ? 0 : 1);
        if (bar)
            bar->checkButton(SURFACE_SOLID_LINES, dotted ? 0 : 1);
        projectAndRedraw();
        return 1;
    case SURFACE_EDITOR_TO_FRONT:
        if (editorWindow && editorWindow->isWindow()) {
            ShowWindow(editorWindow->hwnd, SW_HIDE);
            ShowWindow(editorWindow->hwnd, SW_SHOWNORMAL);
        }
        return 1;
    case SURFACE_TURN_UP:
        view.aboutX -= 10;
        break;
    case SURFACE_TURN_LEFT:
        view.aboutZ -= 10;
        break;
    case SURFACE_TURN_DOWN:
        view.aboutX += 10;
        break;
    case SURFACE_TURN_RIGHT:
        view.aboutZ += 10;
        break;
    case SURFACE_HOME:
        view = SurfaceView();
        break;
    default:
        return GLPaneWindowCL::onCommand(event);
    }
    projectAndRedraw();
    return 1;
}

void openSurfaceWindow(WindowCL* editorFrame, SurfaceGrid grid, int keepView, const FuzzyPaneColor& background)
{
    deleteSurfaceWindow();
    editorWindow = editorFrame;
    surfaceWindow = new GLMeshWindow(std::move(grid), keepView, background);
}

void deleteSurfaceWindow()
{
    GLMeshWindow* w = surfaceWindow;
    surfaceWindow = nullptr;
    delete w;
}

int raiseSurfaceWindow()
{
    if (!surfaceWindow || !surfaceWindow->isWindow())
        return 0;
    ShowWindow(surfaceWindow->hwnd, SW_HIDE);
    ShowWindow(surfaceWindow->hwnd, SW_SHOWNORMAL);
    return 1;
}

GLMeshWindow* currentSurfaceWindow()
{
    return surfaceWindow;
}
