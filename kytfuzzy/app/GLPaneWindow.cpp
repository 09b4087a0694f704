#include "GLPaneWindow.h"

#include "Application.h"
#include "Characteristic.h"
#include "Layout.h"
#include "WinMap.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

namespace {

bool classRegistered = false;
int registrations = 0;
bool canvasRegistered = false;
const char kCanvasClass[] = "GLCanvasCL";
const int kRenderGap = 16;

// The format every window asks for first: RGBA into the window, with
// OpenGL, single-buffered, 24 colour bits.
PIXELFORMATDESCRIPTOR requestedFormat(int depth, DWORD extraFlags)
{
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | extraFlags;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = static_cast<BYTE>(depth ? 16 : 32);
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

} // namespace

GLPaneWindowCL::GLPaneWindowCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int depth)
    : DialogFrameCL(parentWindow, g, windowStyle, text, 1)
{
    className = "GLPaneWindowCL";
    create();
    if (!isWindow())
        return;
    createCanvas();
    if (!canvas || !renderWindow)
        return;
    glDc = GetDC(renderWindow);
    setUpPixelFormat(depth);
    glContext = wglCreateContext(glDc);
    if (glContext)
        wglMakeCurrent(glDc, glContext);
}

GLPaneWindowCL::~GLPaneWindowCL()
{
    releaseGl();
}

int GLPaneWindowCL::classRegistrations()
{
    return registrations;
}

WNDCLASSA* GLPaneWindowCL::classInfo()
{
    WNDCLASSA* wc = WindowCL::classInfo();
    // A device context of its own: the rendering context stays bound to it.
    wc->style = CS_OWNDC;
    wc->hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc->hCursor = nullptr;
    wc->hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc->lpfnWndProc = windowProc;
    return wc;
}

void GLPaneWindowCL::create()
{
    className = "GLPaneWindowCL";
    if (!classRegistered)
        ++registrations;
    registerWindowClass(classInfo(), true, &classRegistered);
    const int x = geometry && geometry->x != kNotGiven ? geometry->x : CW_USEDEFAULT;
    const int y = geometry && geometry->y != kNotGiven ? geometry->y : CW_USEDEFAULT;
    const int w = geometry && geometry->width != kNotGiven ? geometry->width : CW_USEDEFAULT;
    const int h = geometry && geometry->height != kNotGiven ? geometry->height : CW_USEDEFAULT;
    // OpenGL must not paint over the tool bar or other windows.
    style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    hwnd = CreateWindowExA(0, className.text(), title.text(), style, x, y, w, h, parent ? parent->hwnd : nullptr,
                           nullptr, programInstance(), nullptr);
    if (hwnd)
        mapWindow();
}

void GLPaneWindowCL::createCanvas()
{
    if (!canvasRegistered) {
        WNDCLASSA wc = {};
        // A device context of its own: the rendering context stays bound to it.
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = canvasProc;
        wc.hInstance = programInstance();
        wc.hCursor = nullptr;
        wc.hbrBackground = nullptr;
        wc.lpszClassName = kCanvasClass;
        canvasRegistered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    RECT r;
    GetClientRect(hwnd, &r);
    const int w = r.right, h = std::max<int>(1, r.bottom - topStrip);
    canvas = CreateWindowExA(0, kCanvasClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, topStrip, w, h, hwnd,
                             nullptr, programInstance(), nullptr);
    // Left of the client area, where it covers nothing, and as large as the
    // screen: Wine gives a resized OpenGL child a drawable of its own that the
    // context does not draw into, so the size never changes and the scene
    // takes its lower left corner.
    const int rw = std::max<int>(w, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const int rh = std::max<int>(h, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    renderWindow = CreateWindowExA(0, kCanvasClass, "", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS,
                                   -(rw + kRenderGap), 0, rw, rh, hwnd, nullptr, programInstance(), nullptr);
    for (HWND child : {canvas, renderWindow})
        if (child)
            SetWindowLongPtrA(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void GLPaneWindowCL::setCanvasTop(int top)
{
    topStrip = std::max(0, top);
    placeCanvas();
}

void GLPaneWindowCL::placeCanvas()
{
    if (!canvas || !isWindow())
        return;
    RECT r;
    GetClientRect(hwnd, &r);
    const int w = r.right, h = std::max<int>(1, r.bottom - topStrip);
    MoveWindow(canvas, 0, topStrip, w, h, TRUE);
}

RECT GLPaneWindowCL::canvasRect() const
{
    RECT r = {0, 0, 0, 0};
    if (canvas)
        GetClientRect(canvas, &r);
    return r;
}

void GLPaneWindowCL::setUpPixelFormat(int depth)
{
    PIXELFORMATDESCRIPTOR pfd = requestedFormat(depth, 0);
    int format = ChoosePixelFormat(glDc, &pfd);
    if (!format) {
        // No single-buffered format here: take a double-buffered one.
        pfd = requestedFormat(depth, PFD_DOUBLEBUFFER);
        format = ChoosePixelFormat(glDc, &pfd);
    }
    if (!format) {
        MessageBoxA(nullptr, "ChoosePixelFormat failed", "Error", MB_OK);
        return;
    }
    if (!SetPixelFormat(glDc, format, &pfd)) {
        MessageBoxA(nullptr, "SetPixelFormat failed", "Error", MB_OK);
        return;
    }
    chosenFormat = format;
    PIXELFORMATDESCRIPTOR chosen = {};
    DescribePixelFormat(glDc, format, sizeof chosen, &chosen);
    doubleBuffered = (chosen.dwFlags & PFD_DOUBLEBUFFER) != 0;
    buildPalette();
}

void GLPaneWindowCL::buildPalette()
{
    PIXELFORMATDESCRIPTOR pfd = {};
    DescribePixelFormat(glDc, GetPixelFormat(glDc), sizeof pfd, &pfd);
    PixelLayout layout = {(pfd.dwFlags & PFD_NEED_PALETTE) != 0, pfd.cColorBits, pfd.cRedBits,  pfd.cRedShift,
                          pfd.cGreenBits,                        pfd.cGreenShift, pfd.cBlueBits, pfd.cBlueShift};
    const std::vector<PaletteColor> colours = buildGlPalette(layout);
    if (colours.empty())
        return;
    std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(colours.size());
    for (size_t i = 0; i < colours.size(); ++i)
        logical->palPalEntry[i] = {colours[i].red, colours[i].green, colours[i].blue, 0};
    ownPalette = CreatePalette(logical);
    if (ownPalette) {
        previousPalette = SelectPalette(glDc, ownPalette, FALSE);
        RealizePalette(glDc);
    }
}

void GLPaneWindowCL::releaseGl()
{
    if (glDc && previousPalette)
        SelectPalette(glDc, previousPalette, FALSE);
    previousPalette = nullptr;
    if (ownPalette)
        DeleteObject(ownPalette);
    ownPalette = nullptr;
    if (glContext) {
        if (wglGetCurrentContext() == glContext)
            wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(glContext);
    }
    glContext = nullptr;
    if (glDc && renderWindow)
        ReleaseDC(renderWindow, glDc);
    glDc = nullptr;
}

int GLPaneWindowCL::draw()
{
    return 0;
}

void GLPaneWindowCL::redraw()
{
    // Posting WM_PAINT to a window with nothing invalid paints nothing
    // under Wine; invalidating the whole window always repaints it.
    if (canvas && IsWindow(canvas))
        InvalidateRect(canvas, nullptr, FALSE);
}

LRESULT GLPaneWindowCL::paintNow()
{
    PAINTSTRUCT ps;
    BeginPaint(canvas, &ps);
    int result = 0;
    if (glContext) {
        // Another OpenGL window of the run may have taken the thread's context.
        if (wglGetCurrentContext() != glContext)
            wglMakeCurrent(glDc, glContext);
        result = draw();
        if (result)
            showScene(ps.hdc);
        if (doubleBuffered)
            SwapBuffers(glDc);
    }
    EndPaint(canvas, &ps);
    return result;
}

void GLPaneWindowCL::showScene(HDC dc)
{
    // Wine renders the scene of an OpenGL child window off the screen and
    // does not bring it there, while the child's own X window hides the
    // area with what lay behind it. So the scene is drawn in a child outside
    // the client area, read back and painted onto the canvas with GDI,
    // which is what the screen shows (and what a picture of the window holds).
    const RECT r = canvasRect();
    const int w = r.right, h = r.bottom;
    if (w <= 0 || h <= 0)
        return;
    glFinish();
    glReadBuffer(doubleBuffered ? GL_BACK : GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // GDI wants blue, green, red; the rows stay bottom up, as a DIB of
    // positive height has them.
    for (size_t i = 0; i < rgba.size(); i += 4)
        std::swap(rgba[i], rgba[i + 2]);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                      rgba.data(), &info, DIB_RGB_COLORS);
    GdiFlush();
}

LRESULT CALLBACK GLPaneWindowCL::canvasProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    GLPaneWindowCL* pane = reinterpret_cast<GLPaneWindowCL*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (pane && (pane->state & STATE_DELETING))
        pane = nullptr;
    switch (message) {
    case WM_PAINT:
        if (pane && pane->canvas == h) {
            pane->paintNow();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        // The scene covers the whole canvas.
        if (pane && pane->glContext)
            return 1;
        break;
    case WM_SETCURSOR:
        // The frame's cursor (the normal one, or the wait cursor of an export).
        if (pane && pane->cursor && LOWORD(lParam) == HTCLIENT) {
            SetCursor(pane->cursor);
            return TRUE;
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        if (pane && pane->canvas == h)
            pane->canvas = nullptr;
        if (pane && pane->renderWindow == h)
            pane->renderWindow = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcA(h, message, wParam, lParam);
}

LRESULT CALLBACK GLPaneWindowCL::windowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowCL* window = (theApplication && theApplication->winMap) ? theApplication->winMap->lookup(h) : nullptr;
    GLPaneWindowCL* pane = window && !(window->state & STATE_DELETING) ? dynamic_cast<GLPaneWindowCL*>(window)
                                                                       : nullptr;
    if (pane) {
        switch (message) {
        case WM_SIZE:
            pane->placeCanvas();
            break;
        case WM_DESTROY:
            pane->releaseGl();
            if (theApplication && theApplication->mainFrame == pane) {
                theApplication->idleTasks.disable();
                PostQuitMessage(0);
            }
            break;
        default:
            break;
        }
    }
    return DialogWindowProc(h, message, wParam, lParam);
}
