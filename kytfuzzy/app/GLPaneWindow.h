// A top-level window with an OpenGL rendering context: a modeless dialog
// frame that chooses a pixel format when it is made, keeps one device
// context and one rendering context for its whole life, builds a logical
// palette on palette devices, and draws through `draw` inside its paint.
// The scene is shown in a child window, the canvas, which takes the client
// area below a strip kept at the top for the frame's own children (a tool
// bar): under Wine the scene of a window covers all of its client area,
// children included, so a tool bar over the scene would never be seen.
// OpenGL draws into a second child of the canvas's size that lies outside
// the client area; each paint copies the finished scene onto the canvas.
#ifndef KYT_KYTFUZZY_GLPANEWINDOW_H
#define KYT_KYTFUZZY_GLPANEWINDOW_H

#include "Dialog.h"

#include <windows.h>

class GLPaneWindowCL : public DialogFrameCL {
public:
    // depth non-zero: a 16-bit depth buffer, else 32 bits.
    GLPaneWindowCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int depth);
    // Releases what WM_DESTROY has not released yet.
    ~GLPaneWindowCL() override;

    WNDCLASSA* classInfo() override;
    void create() override;

    // Draws the scene with the context current; non-zero when it painted.
    virtual int draw();
    // Asks for a repaint of the whole window.
    virtual void redraw();

    // The strip at the top of the client area that the canvas leaves free.
    void setCanvasTop(int top);
    int canvasTop() const { return topStrip; }
    // The child window OpenGL draws into; null when it could not be made.
    HWND canvasWindow() const { return canvas; }
    // Its client rectangle: the size of the scene.
    RECT canvasRect() const;

    HGLRC renderingContext() const { return glContext; }
    HDC deviceContext() const { return glDc; }
    HPALETTE palette() const { return ownPalette; }
    // Wine may offer no single-buffered format; the window then draws into
    // the back buffer and swaps at the end of each paint.
    bool isDoubleBuffered() const { return doubleBuffered; }
    int pixelFormat() const { return chosenFormat; }

    // How often the window class was registered in this run (once at most).
    static int classRegistrations();

    // The window procedure: paint and destroy here, the rest as a dialog.
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The canvas's: its paint is the pane's.
    static LRESULT CALLBACK canvasProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void createCanvas();
    void placeCanvas();
    void setUpPixelFormat(int depth);
    void buildPalette();
    void releaseGl();
    LRESULT paintNow();
    void showScene(HDC dc);

    HWND canvas = nullptr;
    HWND renderWindow = nullptr;
    int topStrip = 0;
    HGLRC glContext = nullptr;
    HDC glDc = nullptr;
    HPALETTE previousPalette = nullptr;
    HPALETTE ownPalette = nullptr;
    bool doubleBuffered = false;
    int chosenFormat = 0;
};

#endif
