// Under wine with OpenGL: the characteristic of a fuzzy block. The OpenGL
// pane clears to its colour; the control surface of a two-input block opens
// in its window, its tool bar above the scene on the screen, turns by menu
// and tool bar, grows with the window, switches its mesh lines and is
// replaced by the next one; a division of 0 is refused; a block with three
// inputs asks for the third's value; a block with an inconsistent rule base
// opens nothing; a one-input block draws its curve into a plot window; the
// exports write the grid; the About box sits over the frame, shows its picture and opens and closes its
// credit pictures. Every window object is destroyed exactly once.
//
//   kytfuzzy_characteristic_test PICTURE-FOLDER SCRATCH-FOLDER
#include "AboutBox.h"
#include "Application.h"
#include "CommandLine.h"
#include "CharacteristicDialogs.h"
#include "Control.h"
#include "ErrorReporter.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyOptions.h"
#include "FuzzyPlots.h"
#include "FuzzySession.h"
#include "GLPaneWindow.h"
#include "Layout.h"
#include "Menu.h"
#include "ResString.h"
#include "SurfaceWindow.h"
#include "TableModel.h"
#include "TablePane.h"
#include "ToolBar.h"
#include "UnitPoint.h"
#include "WineCheck.h"

#include <GL/gl.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;
using winecheck::pixelOf;

namespace {

using winecheck::writeText;
using winecheck::readText;

std::string block(const std::string& inputs, const std::string& rules)
{
    return "FBLOCK \"Regler\";\n"
           "CONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_prod;\n"
           " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n" +
           inputs +
           "OUTPUTVAR u;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -0.5, 0;\n ENDMEMBER;\n"
           " MEMBER pos;\n  TRAPEZ 0, 0.5, 1, 1;\n ENDMEMBER;\nENDOUTPUTVAR;\n"
           "RULEBASE;\n" +
           rules + "ENDRULEBASE;\nENDFBLOCK;\n";
}

std::string input(const std::string& name, int range)
{
    const std::string r = std::to_string(range);
    return "INPUTVAR " + name + ";\n XMIN -" + r + ";\n XMAX " + r + ";\n MEMBER neg;\n  TRAPEZ -" + r + ", -" + r +
           ", -" + r + ", 0;\n ENDMEMBER;\n MEMBER pos;\n  TRAPEZ 0, " + r + ", " + r + ", " + r +
           ";\n ENDMEMBER;\nENDINPUTVAR;\n";
}

const char* const kRules = "IF ((e==neg) AND (de==neg)) THEN u=pos;\nIF ((e==pos) AND (de==pos)) THEN u=neg;\n"
                           "IF ((e==neg) AND (de==pos)) THEN u=neg;\nIF ((e==pos) AND (de==neg)) THEN u=pos;\n";

using winecheck::dosPath;

using winecheck::windowText;

// ---------------------------------------------------------------- pictures

struct GlPicture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb; // top row first

    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    bool looksLike(int x, int y, int r, int g, int b, int tolerance) const
    {
        const unsigned char* p = at(x, y);
        return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
    }
    // Share of pixels that differ from the other picture.
    double differenceTo(const GlPicture& o) const
    {
        if (o.width != width || o.height != height || rgb.empty())
            return 1.0;
        size_t changed = 0;
        for (size_t i = 0; i < rgb.size(); i += 3)
            if (rgb[i] != o.rgb[i] || rgb[i + 1] != o.rgb[i + 1] || rgb[i + 2] != o.rgb[i + 2])
                ++changed;
        return double(changed) / double(rgb.size() / 3);
    }
};

// What the window's OpenGL canvas shows, read back with glReadPixels
// after a paint.
GlPicture readGl(GLPaneWindowCL* window)
{
    GlPicture p;
    UpdateWindow(window->hwnd);
    if (window->canvasWindow())
        UpdateWindow(window->canvasWindow());
    winecheck::pump();
    const RECT r = window->canvasRect();
    p.width = r.right;
    p.height = r.bottom;
    if (p.width <= 0 || p.height <= 0 || !window->renderingContext())
        return p;
    wglMakeCurrent(window->deviceContext(), window->renderingContext());
    glFinish();
    glReadBuffer(GL_FRONT);
    std::vector<unsigned char> bottomUp(size_t(p.width) * p.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, p.width, p.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    p.rgb.resize(bottomUp.size());
    const size_t row = size_t(p.width) * 3;
    for (int y = 0; y < p.height; ++y)
        std::copy(bottomUp.begin() + long(y * row), bottomUp.begin() + long((y + 1) * row),
                  p.rgb.begin() + long((p.height - 1 - y) * row));
    return p;
}

bool savePicture(const GlPicture& p, const std::string& path)
{
    return !p.rgb.empty() && winecheck::savePng(p.rgb, p.width, p.height, path);
}

// w x h pixels of a device context at (x, y), top row first.
GlPicture grab(HDC source, int x, int y, int w, int h)
{
    GlPicture p;
    p.rgb = winecheck::readRgb(source, x, y, w, h);
    if (!p.rgb.empty()) {
        p.width = w;
        p.height = h;
    }
    return p;
}

// The whole surface window as the user sees it: frame, menu and tool bar
// as GDI painted them, the scene from OpenGL where the canvas lies.
GlPicture framePicture(GLPaneWindowCL* window)
{
    const GlPicture scene = readGl(window);
    RECT outer;
    GetWindowRect(window->hwnd, &outer);
    HDC dc = GetWindowDC(window->hwnd);
    GlPicture whole = grab(dc, 0, 0, outer.right - outer.left, outer.bottom - outer.top);
    ReleaseDC(window->hwnd, dc);
    POINT at = {0, 0};
    if (window->canvasWindow())
        ClientToScreen(window->canvasWindow(), &at);
    const int left = at.x - outer.left, top = at.y - outer.top;
    for (int y = 0; y < scene.height; ++y)
        for (int x = 0; x < scene.width; ++x)
            if (left + x >= 0 && left + x < whole.width && top + y >= 0 && top + y < whole.height)
                std::copy(scene.at(x, y), scene.at(x, y) + 3,
                          &whole.rgb[(size_t(top + y) * whole.width + (left + x)) * 3]);
    return whole;
}

// The tool bar's strip as the screen shows it and as the bar painted it:
// under Wine an OpenGL scene over the strip hides the bar on the screen
// while its own pixels stay as painted. The share of equal pixels.
double toolBarOnScreen(GLMeshWindow* window)
{
    HWND bar = window->toolBar()->hwnd;
    RECT r;
    GetClientRect(bar, &r);
    POINT at = {0, 0};
    ClientToScreen(bar, &at);
    HDC own = GetDC(bar);
    const GlPicture painted = grab(own, 0, 0, r.right, r.bottom);
    ReleaseDC(bar, own);
    HDC screen = GetDC(nullptr);
    const GlPicture shown = grab(screen, at.x, at.y, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    return 1.0 - shown.differenceTo(painted);
}

// The same for the scene: the screen over the canvas against what OpenGL
// drew.
double sceneOnScreen(GLMeshWindow* window)
{
    const GlPicture drawn = readGl(window);
    POINT at = {0, 0};
    ClientToScreen(window->canvasWindow(), &at);
    HDC screen = GetDC(nullptr);
    const GlPicture shown = grab(screen, at.x, at.y, drawn.width, drawn.height);
    ReleaseDC(nullptr, screen);
    return 1.0 - shown.differenceTo(drawn);
}

void clickButton(HWND button)
{
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 12));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(13, 12));
    winecheck::pump();
}

// A pane that only clears to the graphic panes' colour.
class ClearPane : public GLPaneWindowCL {
public:
    ClearPane() : GLPaneWindowCL(nullptr, new Layout(60, 60, 200, 150), WS_OVERLAPPEDWINDOW, "Leer", 1)
    {
        show(SW_SHOWNORMAL);
    }
    int draw() override
    {
        glClearColor(255 / 256.0f, 255 / 256.0f, 232 / 256.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFlush();
        return 1;
    }
};

// ---------------------------------------------------------------- scripted dialogs

// What the next characteristic dialogs are answered with.
struct Script {
    std::string xDivision = "10", yDivision = "10";
    std::string x, y;
    bool cancel = false;
    int surfaceRuns = 0, hillRuns = 0;
    std::string hillRowTitle, hillValue;
    // A refused division: the box's text and where the focus went; then
    // the x division is typed anew and OK pressed again.
    std::string retryXDivision;
    std::string refusal;
    bool focusOnField = false;
    HANDLE retry = nullptr;
} script;

// Answers the refusal box of the dialog on a thread of its own (the test's
// thread runs the dialog and the box), then corrects the field and presses
// OK once more.
BOOL CALLBACK refusalText(HWND child, LPARAM)
{
    char cls[32] = "", text[400] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
        script.refusal = text;
    return TRUE;
}

DWORD WINAPI answerRefusal(LPVOID dialogHandle)
{
    HWND dialog = static_cast<HWND>(dialogHandle);
    HWND box = nullptr;
    for (int waited = 0; waited < 10000 && !box; waited += 50) {
        box = winecheck::findOwnBox(getResString(17723));
        if (!box)
            Sleep(50);
    }
    if (!box)
        return 0;
    Sleep(100);
    // The box's text is its static with text (the icon's has none).
    EnumChildWindows(box, refusalText, 0);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    for (int waited = 0; waited < 5000 && IsWindow(box); waited += 50)
        Sleep(50);
    Sleep(100);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    script.focusOnField = gui.hwndFocus == GetDlgItem(dialog, SurfaceDlg::kXDivision);
    SendDlgItemMessageA(dialog, SurfaceDlg::kXDivision, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(script.retryXDivision.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(SurfaceDlg::kOk, BN_CLICKED), 0);
    return 0;
}

void setCombo(DialogFrameCL* dialog, int id, const std::string& text)
{
    if (!text.empty())
        SendDlgItemMessageA(dialog->hwnd, id, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(text.c_str()));
}

void answerDialog(DialogFrameCL* dialog)
{
    if (SurfaceDlg* surface = dynamic_cast<SurfaceDlg*>(dialog)) {
        ++script.surfaceRuns;
        SetDlgItemTextA(dialog->hwnd, SurfaceDlg::kXDivision, script.xDivision.c_str());
        SetDlgItemTextA(dialog->hwnd, SurfaceDlg::kYDivision, script.yDivision.c_str());
        setCombo(dialog, SurfaceDlg::kXList, script.x);
        setCombo(dialog, SurfaceDlg::kYList, script.y);
        if (!script.retryXDivision.empty())
            script.retry = CreateThread(nullptr, 0, answerRefusal, dialog->hwnd, 0, nullptr);
        (void)surface;
    } else if (HillDlg* hill = dynamic_cast<HillDlg*>(dialog)) {
        ++script.hillRuns;
        TableCell* cell = hill->table()->getModel()->getCell(CellPos(1, 1));
        script.hillValue = cell ? cell->getText() : "";
    }
    PostMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(script.cancel ? IDCANCEL : 1017, BN_CLICKED), 0);
}

std::string chosenFile;
bool answerFile(WindowCL*, const char*, const char* const*, std::string& path)
{
    path = chosenFile;
    return !chosenFile.empty();
}

void command(WindowCL* window, int id)
{
    SendMessageA(window->hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    winecheck::pump();
}

bool openBlock(FuzzyEditorFrame* frame, const std::string& scratch, const std::string& name, const std::string& text)
{
    const std::string path = scratch + "\\" + name;
    if (!writeText(path, text))
        return false;
    frame->getSession().openBlock(path);
    winecheck::pump();
    return frame->getSession().model() != nullptr;
}

// ---------------------------------------------------------------- the cases

void glPane(const std::string& pictures)
{
    ClearPane* first = new ClearPane;
    const GlPicture cleared = readGl(first);
    check(first->renderingContext() != nullptr && first->pixelFormat() != 0,
          "the OpenGL pane has a pixel format and a rendering context");
    check(!cleared.rgb.empty() && cleared.looksLike(cleared.width / 2, cleared.height / 2, 254, 254, 231, 1),
          "it clears to the graphic panes' colour (254, 254, 231 after the division by 256)");
    check(first->palette() == nullptr, "a true-colour display needs no palette");
    ClearPane* second = new ClearPane;
    check(second->isWindow() && GLPaneWindowCL::classRegistrations() == 1,
          "a second window does not register the class again");
    delete second;
    delete first;
    savePicture(cleared, pictures + "\\kytfuzzy-glpane.png");
}

void surface(FuzzyEditorFrame* frame, const std::string& scratch, const std::string& pictures)
{
    check(openBlock(frame, scratch, "zwei.kyb", block(input("e", 1) + input("de", 2), kRules)),
          "a two-input block opens");
    script = Script();
    command(frame, CMD_SHOW_CHARACTERISTIC);
    GLMeshWindow* window = currentSurfaceWindow();
    check(script.surfaceRuns == 1 && script.hillRuns == 0, "163 asks for the axes, not for further values");
    check(window && windowText(window->hwnd) == "KYTfuzzy:ZIZAdir3D 1 - aktiv",
          "163 answered with 10 and 10 opens \"KYTfuzzy:ZIZAdir3D 1 - aktiv\"");
    if (!window)
        return;
    check(window->grid().nx == 11 && window->grid().ny == 11 && window->grid().points.size() == 121,
          "... over 11 x 11 points");
    check(GLMeshWindow::liveCount() == 1, "one surface window lives");

    const GlPicture start = readGl(window);
    check(!start.rgb.empty() && !start.looksLike(start.width / 2, start.height / 2, 254, 254, 231, 2),
          "the surface covers the centre of the window");
    check(!start.rgb.empty() && start.looksLike(2, 2, 254, 254, 231, 1), "a corner shows the background");

    // The tool bar above the scene: the canvas begins below its strip, and
    // the screen shows the bar as it painted itself.
    RECT client, barRect, canvasAt;
    GetClientRect(window->hwnd, &client);
    GetWindowRect(window->toolBar()->hwnd, &barRect);
    GetWindowRect(window->canvasWindow(), &canvasAt);
    check(barRect.bottom - barRect.top == 30 && canvasAt.top == barRect.bottom &&
              canvasAt.bottom - canvasAt.top == client.bottom - 30 && canvasAt.right - canvasAt.left == client.right,
          "the scene's canvas fills the client area below the 30-pixel tool bar");
    check(start.width == client.right && start.height == client.bottom - 30, "... and the scene is the canvas's size");
    // Another test's window may come up over it for a moment: asked again.
    double shown = 0, scene = 0;
    for (int attempt = 0; attempt < 3 && (shown <= 0.95 || scene <= 0.95); ++attempt) {
        winecheck::bringToFront(window->hwnd);
        UpdateWindow(window->toolBar()->hwnd);
        winecheck::pump();
        shown = toolBarOnScreen(window);
        scene = sceneOnScreen(window);
    }
    check(shown > 0.95, "the screen shows the tool bar, not the scene or what lay there before");
    check(scene > 0.95, "... and below it the scene, not what lay there before");
    if (shown <= 0.95 || scene <= 0.95)
        printf("on the screen: %.3f of the tool bar's pixels, %.3f of the scene's\n", shown, scene);
    const GlPicture whole = framePicture(window);
    check(savePicture(whole, pictures + "\\kytfuzzy-surface.png"), "the picture of the whole surface window is saved");

    // A larger window: the canvas and the scene grow with it.
    SetWindowPos(window->hwnd, nullptr, 0, 0, 700, 450, SWP_NOMOVE | SWP_NOZORDER);
    winecheck::pump();
    GetClientRect(window->hwnd, &client);
    const GlPicture wider = readGl(window);
    check(wider.width == client.right && wider.height == client.bottom - 30,
          "a wider window gives a wider canvas and scene");
    check(!wider.rgb.empty() && wider.looksLike(wider.width - 3, wider.height / 2, 254, 254, 231, 1) &&
              wider.looksLike(2, 2, 254, 254, 231, 1),
          "... cleared to its right edge");
    double widerOnScreen = sceneOnScreen(window);
    for (int attempt = 0; attempt < 2 && widerOnScreen <= 0.95; ++attempt) {
        winecheck::bringToFront(window->hwnd);
        widerOnScreen = sceneOnScreen(window);
    }
    check(widerOnScreen > 0.95, "... and shown whole on the screen");
    if (widerOnScreen <= 0.95)
        printf("wider scene on the screen: %.3f\n", widerOnScreen);
    SetWindowPos(window->hwnd, nullptr, 0, 0, 550, 500, SWP_NOMOVE | SWP_NOZORDER);
    winecheck::pump();
    check(readGl(window).differenceTo(start) < 0.001, "back at its first size it shows the first picture");

    // The bar's buttons work the window.
    clickButton(window->toolBar()->button(SURFACE_TURN_RIGHT)->hwnd);
    check(surfaceView().aboutZ == 40.0 && readGl(window).differenceTo(start) > 0.01,
          "the bar's button 18234 turns the picture to the right");
    clickButton(window->toolBar()->button(SURFACE_HOME)->hwnd);
    check(surfaceView().aboutZ == 30.0 && readGl(window).differenceTo(start) < 0.001,
          "... and its button 18235 turns it back");

    command(window, SURFACE_TURN_LEFT);
    const GlPicture turned = readGl(window);
    check(turned.differenceTo(start) > 0.01, "18232 turns the picture");
    for (int i = 0; i < 35; ++i)
        command(window, SURFACE_TURN_LEFT);
    const GlPicture around = readGl(window);
    check(around.differenceTo(start) < 0.001, "36 turns to the left return to the first picture");
    check(surfaceView().aboutZ == 30.0 - 360.0, "... with an angle 360 degrees smaller");
    command(window, SURFACE_TURN_UP);
    command(window, SURFACE_HOME);
    check(readGl(window).differenceTo(start) < 0.001, "18235 gives the picture of a fresh window");

    HMENU menu = window->getMenu() ? window->getMenu()->handle() : nullptr;
    check(menu && (GetMenuState(menu, SURFACE_SOLID_LINES, MF_BYCOMMAND) & MF_CHECKED) &&
              window->toolBar()->isButtonChecked(SURFACE_SOLID_LINES),
          "solid mesh lines start with entry and button 18044 checked");
    command(window, SURFACE_SOLID_LINES);
    check(window->dottedLines() && !(GetMenuState(menu, SURFACE_SOLID_LINES, MF_BYCOMMAND) & MF_CHECKED) &&
              !window->toolBar()->isButtonChecked(SURFACE_SOLID_LINES),
          "18044 makes the lines dotted and unchecks its entry and button");
    check(readGl(window).differenceTo(start) > 0.0, "... which changes the picture");

    // The window's own exports.
    chosenFile = scratch + "\\flaeche";
    command(window, SURFACE_EXPORT_TEXT);
    check(readText(chosenFile + ".txt") == characteristicText(window->grid()),
          "18034 writes the grid as a text table, the name completed with .txt");
    command(window, SURFACE_EXPORT_MATLAB);
    check(readText(chosenFile + ".m") == characteristicMatlab(window->grid()),
          "18035 writes the MATLAB commands, the name completed with .m");

    // Turning is kept for the next window with the same choice.
    command(window, SURFACE_TURN_RIGHT);
    // The new object may take the old one's memory: the windows tell them apart.
    const HWND first = window->hwnd;
    command(frame, CMD_SHOW_CHARACTERISTIC);
    GLMeshWindow* next = currentSurfaceWindow();
    check(next && next->hwnd != first && !IsWindow(first) && GLMeshWindow::liveCount() == 1,
          "a second 163 replaces the window");
    check(surfaceView().aboutZ == 40.0, "... keeping the view when the same variables are chosen");
    // 18238: the last choice without the dialog.
    const int runs = script.surfaceRuns;
    command(frame, CMD_RECALCULATE);
    check(script.surfaceRuns == runs && currentSurfaceWindow() && currentSurfaceWindow()->grid().nx == 11,
          "18238 recomputes with the last choice, without the dialog");

    // The frame's exports run the dialogs and write the same grid.
    chosenFile = scratch + "\\kennfeld.m";
    command(frame, CMD_EXPORT_MATLAB);
    check(readText(chosenFile) == characteristicMatlab(currentSurfaceWindow()->grid()),
          "138 writes the MATLAB commands of the chosen grid");
    chosenFile = scratch + "\\kennfeld";
    command(frame, CMD_EXPORT_ASCII);
    check(readText(chosenFile + ".txt") == characteristicText(currentSurfaceWindow()->grid()),
          "11048 writes the text table");

    // A target that is a directory with a file in it.
    const std::string blocked = scratch + "\\belegt.txt";
    CreateDirectoryA(blocked.c_str(), nullptr);
    writeText(blocked + "\\innen", "x");
    {
        BoxWatcher box("*");
        chosenFile = blocked;
        command(frame, CMD_EXPORT_ASCII);
        check(box.found() && box.text().find("belegt.txt") != std::string::npos,
              "a target replaced by a directory gives a message naming it");
    }
    chosenFile.clear();

    // A division of 0 would give a line between two points that says
    // nothing: OK refuses it with a box naming the field, which gets the
    // focus. Too many divisions are clamped.
    script.xDivision = "0";
    script.yDivision = "100000";
    script.retryXDivision = "3";
    command(frame, CMD_SHOW_CHARACTERISTIC);
    if (script.retry) {
        WaitForSingleObject(script.retry, 10000);
        CloseHandle(script.retry);
        script.retry = nullptr;
    }
    winecheck::pump();
    check(script.refusal.find("Die x-Teilung muss mindestens 1 sein") == 0,
          "OK with an x division of 0 is refused: \"Die x-Teilung muss mindestens 1 sein ...\"");
    if (script.refusal.find("Die x-Teilung") != 0)
        printf("refusal: [%s]\n", script.refusal.c_str());
    check(script.focusOnField, "... and the x division field has the focus");
    check(currentSurfaceWindow() && currentSurfaceWindow()->grid().nx == 4 && currentSurfaceWindow()->grid().ny == 501,
          "corrected to 3, OK computes 4 points along x; a division of 100000 is clamped to 500");
    script.retryXDivision.clear();

    // Cancel keeps the window there.
    GLMeshWindow* kept = currentSurfaceWindow();
    script.cancel = true;
    command(frame, CMD_SHOW_CHARACTERISTIC);
    check(currentSurfaceWindow() == kept, "Cancel in the dialog leaves the surface window as it was");
    script = Script();

    // The close box deletes the window once.
    PostMessageA(kept->hwnd, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(currentSurfaceWindow() == nullptr && GLMeshWindow::liveCount() == 0,
          "the close box deletes the surface window, once");
}

void threeInputs(FuzzyEditorFrame* frame, const std::string& scratch)
{
    const std::string rules = std::string(kRules) + "IF (z==pos) THEN u=neg;\nIF (z==neg) THEN u=pos;\n";
    check(openBlock(frame, scratch, "drei.kyb", block(input("e", 1) + input("de", 2) + input("z", 4), rules)),
          "a three-input block opens");
    script = Script();
    command(frame, CMD_SHOW_CHARACTERISTIC);
    check(script.hillRuns == 1 && script.hillValue == "0.", "the third input is asked for, proposed as 0.");
    check(currentSurfaceWindow() != nullptr, "... and the surface opens");
    deleteSurfaceWindow();
}

void inconsistent(FuzzyEditorFrame* frame, const std::string& scratch)
{
    const std::string rules = std::string(kRules) + "IF (e==neg) THEN v=pos;\n";
    {
        // Opening it only tells that it is not complete.
        BoxWatcher told("*");
        if (!openBlock(frame, scratch, "kaputt.kyb", block(input("e", 1) + input("de", 2), rules))) {
            check(false, "the inconsistent block opens");
            return;
        }
    }
    script = Script();
    BoxWatcher box(getResString(17655));
    command(frame, CMD_SHOW_CHARACTERISTIC);
    check(box.found(),
          "an inconsistent rule base gives \"Kann Regelkennfläche wegen Inkonsistenz nicht berechnen!\"");
    check(script.surfaceRuns == 0 && currentSurfaceWindow() == nullptr, "... and opens nothing");
}

void curve(FuzzyEditorFrame* frame, const std::string& scratch, const std::string& pictures)
{
    check(openBlock(frame, scratch, "eins.kyb", block(input("e", 1), "IF (e==neg) THEN u=pos;\nIF (e==pos) THEN u=neg;\n")),
          "a one-input block opens");
    script = Script();
    script.xDivision = "20";
    command(frame, CMD_SHOW_CHARACTERISTIC);
    PlotFrame* plot = FuzzyPlots::frameOf(activePlotWindow());
    check(plot && windowText(plot->hwnd) == "KYTfuzzy:ZIZAdir 1 - aktiv" && currentSurfaceWindow() == nullptr,
          "a one-input block draws into plot window \"KYTfuzzy:ZIZAdir 1 - aktiv\"");
    if (!plot)
        return;
    const PlotModel& m = plot->pane()->model;
    check(m.points().size() == 21 && m.signals.size() == 1 && m.signals[0].colour == plotColour(255, 0, 0),
          "... 21 points of one red signal");
    const std::string heading = getResString(17743);
    check(std::string(m.statusText.text() ? m.statusText.text() : "").compare(0, heading.size(), heading) == 0,
          "... under a text starting \"2D-Regelkennlinie : \"");
    check(std::string(plot->statusField(1, 1).text()).find("x=") == 0 &&
              std::string(plot->statusField(1, 3).text()).find("tsim=") == 0,
          "the status bar shows the last x and the computing time");
    UpdateWindow(plot->hwnd);
    winecheck::pump();
    RECT area;
    GetClientRect(plot->pane()->hwnd, &area);
    HDC dc = GetDC(plot->pane()->hwnd);
    const int red = winecheck::countPixels(dc, area, RGB(255, 0, 0));
    ReleaseDC(plot->pane()->hwnd, dc);
    check(red > 20, "the plot area holds pixels of the signal's red");
    winecheck::saveWindowPicture(plot->hwnd, pictures + "\\kytfuzzy-curve.png");

    // A second curve goes into the same window.
    command(frame, CMD_SHOW_CHARACTERISTIC);
    check(FuzzyPlots::frameOf(activePlotWindow()) == plot && plot->pane()->model.points().size() == 21,
          "the next curve replaces the points of the active window");
}

// ---------------------------------------------------------------- About box

class EightBits : public DeviceMetrics {
public:
    int deviceCaps(int index) const override { return index == BITSPIXEL ? 8 : 1; }
    int textExtentWidth(const char*, int) const override { return 0; }
    int textLineHeight() const override { return 0; }
};

struct AboutCheck {
    std::string pictures;
    bool eightBits = false;
    bool ran = false;
} aboutCheck;

COLORREF bitmapPixel(unsigned int id, int x, int y)
{
    HBITMAP b = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(b);
    return c;
}

void inspectAbout(DialogFrameCL* dialog)
{
    AboutDialog* about = dynamic_cast<AboutDialog*>(dialog);
    aboutCheck.ran = true;
    if (!about)
        return;
    winecheck::pump();
    UpdateWindow(about->hwnd);
    winecheck::pump();
    if (aboutCheck.eightBits) {
        check(about->okButton() && !about->creditButton(0) && !about->creditButton(1) && !about->creditButton(2),
              "at 8 bits per pixel only OK exists");
        PostMessageA(about->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return;
    }
    RECT box, parent;
    GetWindowRect(about->hwnd, &box);
    GetWindowRect(about->parent->hwnd, &parent);
    const int width = box.right - box.left, height = box.bottom - box.top;
    check(box.left == parent.left + (parent.right - parent.left - width) / 2 &&
              box.top == parent.top + (parent.bottom - parent.top - height) / 2,
          "11005 centres the box over the frame");
    RECT client;
    GetClientRect(about->hwnd, &client);
    check(client.right == 360 && client.bottom == 470, "the box's client area is the picture's size");
    HWND pane = about->pane()->hwnd;
    check(pixelOf(pane, 0, 0) == bitmapPixel(159, 0, 0) && pixelOf(pane, 20, 60) == bitmapPixel(159, 20, 60),
          "the box shows bitmap 159");
    winecheck::saveWindowPicture(about->hwnd, aboutCheck.pictures + "\\kytfuzzy-about.png");

    const int before = aboutLiveObjects();
    SendMessageA(pane, WM_COMMAND, MAKEWPARAM(151, BN_CLICKED), reinterpret_cast<LPARAM>(about->creditButton(0)->hwnd));
    winecheck::pump();
    PictureDialog* left = about->pictureWindow(0);
    check(left && left->isWindow() && !IsWindowEnabled(about->creditButton(0)->hwnd),
          "a credit button opens its picture and stays disabled while it is open");
    check(aboutLiveObjects() == before + 2, "... a picture window and its pane");
    PostMessageA(left->hwnd, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(about->pictureWindow(0) == nullptr && IsWindowEnabled(about->creditButton(0)->hwnd) &&
              aboutLiveObjects() == before,
          "closing the picture enables the button again and deletes the window once");
    SendMessageA(pane, WM_COMMAND, MAKEWPARAM(151, BN_CLICKED), reinterpret_cast<LPARAM>(about->creditButton(0)->hwnd));
    SendMessageA(pane, WM_COMMAND, MAKEWPARAM(149, BN_CLICKED), reinterpret_cast<LPARAM>(about->creditButton(2)->hwnd));
    winecheck::pump();
    check(about->pictureWindow(0) && about->pictureWindow(2) && aboutLiveObjects() == before + 4,
          "two pictures open at once");
    RECT rightPicture;
    GetWindowRect(about->pictureWindow(2)->hwnd, &rightPicture);
    check(rightPicture.right == box.right, "the right picture's right edge is the box's");
    // Closing the box with both open.
    PostMessageA(about->hwnd, WM_CLOSE, 0, 0);
}

void aboutBox(FuzzyEditorFrame* frame, const std::string& pictures)
{
    aboutCheck.pictures = pictures;
    setAboutDialogHook(inspectAbout);
    command(frame, CMD_INFO);
    check(aboutCheck.ran, "11005 opens the About box");
    winecheck::pump();
    check(aboutLiveObjects() == 0, "closing the box with two pictures open removes all of it, each object once");

    EightBits eight;
    setAboutDeviceMetrics(&eight);
    aboutCheck.eightBits = true;
    aboutCheck.ran = false;
    command(frame, CMD_INFO);
    check(aboutCheck.ran && aboutLiveObjects() == 0, "the 8-bit box opens and closes");
    setAboutDeviceMetrics(nullptr);
    setAboutDialogHook(nullptr);
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(200);
    disableErrorLog();
    std::vector<std::string> args = splitCommandLine(app->commandLine.text());
    if (args.size() != 2) {
        printf("usage: kytfuzzy_characteristic_test PICTURE-FOLDER SCRATCH-FOLDER\n");
        app->exitCode = 2;
        return;
    }
    const std::string pictures = dosPath(args[0]);
    const std::string scratch = dosPath(args[1]);
    CreateDirectoryA(pictures.c_str(), nullptr);
    CreateDirectoryA(scratch.c_str(), nullptr);
    setCharacteristicDialogHook(answerDialog);
    setCharacteristicFileChooser(answerFile);

    FuzzyOptions* options = new FuzzyOptions;
    options->setTempDir(scratch);
    // No kytfuzzy.set there: the default colours.
    options->readSettingsFile();
    FuzzyEditorFrame* frame = new FuzzyEditorFrame(nullptr, new Layout(0, 0, 700, 520), WS_OVERLAPPEDWINDOW,
                                                   getResString(17723), options);
    frame->show(SW_SHOW);
    winecheck::pump();

    glPane(pictures);
    surface(frame, scratch, pictures);
    threeInputs(frame, scratch);
    inconsistent(frame, scratch);
    FuzzyPlots* plots = new FuzzyPlots(frame, options);
    curve(frame, scratch, pictures);
    aboutBox(frame, pictures);

    // Program end with a surface window open.
    if (openBlock(frame, scratch, "zwei.kyb", block(input("e", 1) + input("de", 2), kRules))) {
        command(frame, CMD_SHOW_CHARACTERISTIC);
        deleteSurfaceWindow();
    }
    check(GLMeshWindow::liveCount() == 0, "every surface window is destroyed exactly once");
    delete plots;
    check(activePlotWindow() == nullptr && options->plotWindowAt(0) == nullptr, "the plot windows go with their host");
    delete frame;
    delete options;
    app->exitCode = winecheck::summary();
}
