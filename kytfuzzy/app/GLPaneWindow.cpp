#include "GLPaneWindow.h"

#include "Application.h"
#include "Characteristic.h"
#include "Layout.h"
#include "WinMap.h"

#include <vector>

namespace {

bool classRegistered = false;
int registrations = 0;

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
    glDc = GetDC(hwnd);
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
    if (glDc && hwnd)
        ReleaseDC(hwnd, glDc);
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
    if (isWindow())
        InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT GLPaneWindowCL::paintNow()
{
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    int result = 0;
    if (glContext) {
        // Another OpenGL window of the run may have taken the thread's context.
        if (wglGetCurrentContext() != glContext)
            wglMakeCurrent(glDc, glContext);
        result = draw();
        if (doubleBuffered)
            SwapBuffers(glDc);
    }
    EndPaint(hwnd, &ps);
    return result;
}

LRESULT CALLBACK GLPaneWindowCL::windowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowCL* window = (theApplication && theApplication->winMap) ? theApplication->winMap->lookup(h) : nullptr;
    GLPaneWindowCL* pane = window && !(window->state & STATE_DELETING) ? dynamic_cast<GLPaneWindowCL*>(window)
                                                                       : nullptr;
    if (pane) {
        switch (message) {
        case WM_PAINT:
            if (LRESULT r = pane->paintNow())
                return r;
            return 0;
        case WM_ERASEBKGND:
            // The scene covers the whole client area.
            if (pane->glContext)
                return 1;
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
