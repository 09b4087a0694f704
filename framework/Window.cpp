#include "Window.h"

#include "Application.h"
#include "Frame.h"
#include "Menu.h"
#include "Scroll.h"

#include <cstdio>

namespace {

ControlColorRoutine controlColorRoutine = nullptr;

bool visualCtrlRegistered = false;

SizeEvent sizeEventOf(const EventRecord* event)
{
    SizeEvent size;
    size.width = LOWORD(event->lParam);
    size.height = HIWORD(event->lParam);
    size.type = static_cast<int32_t>(event->wParam);
    return size;
}

int32_t orZero(int32_t v)
{
    return v == kNotGiven ? 0 : v;
}

// The window object of the scroll-bar control a scroll message comes from.
WindowCL* scrollControlOf(const EventRecord* event)
{
    return theApplication ? theApplication->winMap->lookup(reinterpret_cast<HWND>(event->lParam)) : nullptr;
}

} // namespace

void setControlColorRoutine(ControlColorRoutine routine)
{
    controlColorRoutine = routine;
}

// ---------------------------------------------------------------- WindowCL

WindowCL::WindowCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle)
{
    init(parentWindow, g, windowStyle);
}

WindowCL::WindowCL(WindowCL* parentWindow)
{
    Layout* own = new Layout(nullptr);
    if (parentWindow && parentWindow->geometry && parentWindow->geometry->asLayout())
        parentWindow->geometry->asLayout()->addChild(own);
    init(parentWindow, own, 0);
}

WindowCL::WindowCL()
{
    init(nullptr, nullptr, 0);
}

void WindowCL::init(WindowCL* parentWindow, Geometry* g, DWORD windowStyle)
{
    id = 0;
    state = 0;
    handlerFlags = 0;
    geometry = g;
    hwnd = nullptr;
    style = windowStyle | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    className = "WindowCL";
    cursor = LoadCursorA(nullptr, IDC_ARROW);
    cursorFlag = 0;
    backColor = 0;
    classStyle = 0;
    vScrollState = nullptr;
    hScrollState = nullptr;
    messageHandlers = nullptr;
    commandHandlers = nullptr;
    children = nullptr;
    parent = parentWindow;
    scroller = nullptr;
    if (geometry)
        geometry->bindWindow(this);
}

WindowCL::~WindowCL()
{
    state &= ~STATE_AUTODELETE;
    state |= STATE_DELETING;
    if (parent)
        parent->removeChild(this);
    parent = nullptr;
    if (children) {
        // Each child leaves the list in its own destructor.
        while (WindowCL* child = children->first())
            delete child;
    }
    if (!(state & STATE_GONE) && hwnd && IsWindow(hwnd))
        DestroyWindow(hwnd);
    if (hwnd && theApplication && theApplication->winMap && theApplication->winMap->lookup(hwnd) == this)
        theApplication->winMap->remove(hwnd);
    delete vScrollState;
    delete hScrollState;
    vScrollState = hScrollState = nullptr;
    delete geometry;
    geometry = nullptr;
    deleteHandlerList(messageHandlers);
    deleteHandlerList(commandHandlers);
    delete children;
    children = nullptr;
}

LRESULT WindowCL::defaultEvent(EventRecord* event)
{
    return EventTarget::defaultEvent(event);
}

WNDCLASSA* WindowCL::classInfo()
{
    WNDCLASSA* wc = new WNDCLASSA();
    wc->style = 0;
    wc->cbClsExtra = 0;
    wc->cbWndExtra = 12;
    wc->hInstance = programInstance();
    wc->hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc->hCursor = nullptr;
    wc->hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_APPWORKSPACE + 1));
    wc->lpszMenuName = nullptr;
    wc->lpfnWndProc = nullptr;
    wc->lpszClassName = nullptr;
    return wc;
}

void WindowCL::relayout(EventRecord* event)
{
    SizeEvent size = sizeEventOf(event);
    if (!geometry)
        return;
    geometry->width = size.width;
    geometry->height = size.height;
    if (event->wParam == SIZE_MINIMIZED)
        return;
    if (children) {
        DListIteratorOf<WindowCL> walk(*children);
        while (WindowCL* child = walk.next())
            if (child->geometry)
                child->geometry->apply(child, size);
    }
    int32_t gx = orZero(geometry->x), gy = orZero(geometry->y);
    Rect r(gx, gy, gx + size.width, gy + size.height);
    geometry->layout(&r);
}

LRESULT WindowCL::onActivate(EventRecord*)
{
    return 0;
}

LRESULT WindowCL::onSize(EventRecord* event)
{
    if (geometry) {
        geometry->width = LOWORD(event->lParam);
        geometry->height = HIWORD(event->lParam);
    }
    return 0;
}

LRESULT WindowCL::onMove(EventRecord*)
{
    return 0;
}

LRESULT WindowCL::onClose(EventRecord*)
{
    return 0;
}

LRESULT WindowCL::onCommand(EventRecord*)
{
    return 0;
}

LRESULT WindowCL::onScroll(EventRecord* event)
{
    Scroller* target = scroller;
    if (event->lParam) {
        WindowCL* control = scrollControlOf(event);
        target = control ? control->scroller : nullptr;
    }
    return target ? target->handleScroll(event->message, LOWORD(event->wParam)) : 0;
}

LRESULT WindowCL::onMouseMove(EventRecord*)
{
    return 0;
}

LRESULT WindowCL::onButtonUp(EventRecord*)
{
    return 0;
}

LRESULT WindowCL::onButtonDown(EventRecord*)
{
    return 0;
}

LRESULT WindowCL::onFocus(EventRecord*)
{
    return 0;
}

LRESULT WindowCL::onEraseBackground(EventRecord* event)
{
    COLORREF colour = backColor;
    if (colour == kNoBackground)
        return 0;
    if (colour == kParentBackground)
        colour = parent ? parent->backColor : 0;
    if (colour == kNoBackground || colour == kParentBackground)
        colour = GetSysColor(COLOR_WINDOW);
    HDC dc = event ? reinterpret_cast<HDC>(event->wParam) : nullptr;
    bool fetched = false;
    if (!dc) {
        dc = GetDC(hwnd);
        fetched = true;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ old = SelectObject(dc, brush);
    RECT client;
    GetClientRect(hwnd, &client);
    PatBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(brush);
    if (fetched)
        ReleaseDC(hwnd, dc);
    return 1;
}

int WindowCL::getExtent(Point&)
{
    return 0;
}

void WindowCL::setBackColor(const Color& colour)
{
    COLORREF rgb = RGB(colour.red, colour.green, colour.blue);
    backColor = colour.flag == 0 ? rgb : (0x02000000u | rgb);
}

bool WindowCL::markFirstShow(int cmd)
{
    if (state & STATE_SHOWN) {
        if (isWindow())
            ShowWindow(hwnd, cmd);
        return false;
    }
    state |= STATE_SHOWN;
    return true;
}

void WindowCL::show(int cmd)
{
    if (!markFirstShow(cmd))
        return;
    ShowWindow(hwnd, cmd);
    UpdateWindow(hwnd);
    if (cmd)
        style |= WS_VISIBLE;
}

void WindowCL::create()
{
}

DListNode* WindowCL::addMessageHandler(HandlerRecord* record)
{
    if (!messageHandlers)
        messageHandlers = new HandlerList;
    return messageHandlers->prepend(record);
}

DListNode* WindowCL::addCommandHandler(HandlerRecord* record)
{
    if (!commandHandlers)
        commandHandlers = new HandlerList;
    return commandHandlers->prepend(record);
}

void WindowCL::setTitle(const String& text)
{
    title = text;
    if (isWindow())
        SetWindowTextA(hwnd, title.text());
}

void WindowCL::setTitle(const char* text)
{
    setTitle(String(text ? text : ""));
}

WindowCL* WindowCL::findChild(int childId)
{
    if (!children)
        return nullptr;
    DListIteratorOf<WindowCL> walk(*children);
    while (WindowCL* child = walk.next())
        if (child->id == childId)
            return child;
    return nullptr;
}

DListNode* WindowCL::findChildPosition(int childId)
{
    WindowCL* child = findChild(childId);
    return child ? children->find(child) : nullptr;
}

WindowCL* WindowCL::nextSibling()
{
    if (!parent || !parent->children)
        return this;
    DListNode* node = parent->children->find(this);
    if (!node)
        return this;
    DListNode* sentinel = parent->children->sentinelNode();
    DListNode* n = node->next;
    while (n->removed || n == sentinel) {
        if (n == node)
            return this;
        n = n->next;
    }
    return static_cast<WindowCL*>(n->item);
}

WindowCL* WindowCL::previousSibling()
{
    if (!parent || !parent->children)
        return this;
    DListNode* node = parent->children->find(this);
    if (!node)
        return this;
    DListNode* sentinel = parent->children->sentinelNode();
    DListNode* p = node->previous;
    // The first child gets itself.
    while (p != sentinel && p->removed)
        p = p->previous;
    return p == sentinel ? this : static_cast<WindowCL*>(p->item);
}

void WindowCL::updateStyle()
{
    if (isWindow())
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
}

void WindowCL::updateClassStyle()
{
    if (isWindow())
        SetClassLongA(hwnd, GCL_STYLE, classStyle);
}

void WindowCL::setCursorHandle(HCURSOR handle)
{
    cursor = handle;
    SetCursor(cursor);
}

void WindowCL::setClassIcon(Icon* icon)
{
    HICON handle = icon ? icon->handle : nullptr;
    if (isWindow())
        SetClassLongPtrA(hwnd, GCLP_HICON, reinterpret_cast<LONG_PTR>(handle));
    if (icon) {
        // The class keeps using the handle.
        icon->ownsHandle = 0;
        delete icon;
    }
}

void WindowCL::showWindow(int cmd)
{
    if (isWindow())
        ShowWindow(hwnd, cmd);
}

void WindowCL::rectToScreen(int mode, Rect& rect)
{
    if (mode != 0 || !isWindow())
        return;
    POINT a = {rect.left(), rect.top()};
    POINT b = {rect.right(), rect.bottom()};
    ClientToScreen(hwnd, &a);
    ClientToScreen(hwnd, &b);
    rect = Rect(a.x, a.y, b.x, b.y);
}

void WindowCL::addChild(WindowCL* child)
{
    if (!children)
        children = new DListOf<WindowCL>;
    children->append(child);
}

void WindowCL::removeChild(WindowCL* child)
{
    if (children)
        children->remove(child);
}

void WindowCL::registerWindowClass(WNDCLASSA* description, bool onceOnly, bool* registeredFlag)
{
    if (!description)
        return;
    if (classStyle) {
        // A class of its own, named by the object's full address.
        description->style = classStyle;
        char name[32];
        snprintf(name, sizeof name, "%lld",
                 static_cast<long long>(reinterpret_cast<intptr_t>(this)));
        className = name;
    }
    description->lpszClassName = className.text();
    if (!description->lpfnWndProc)
        description->lpfnWndProc = FrameWindowProc;
    if (!(onceOnly && registeredFlag && *registeredFlag)) {
        // A class that exists already is fine: the second frame of a kind.
        if (RegisterClassA(description) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
            if (registeredFlag)
                *registeredFlag = true;
        }
        if (theApplication)
            theApplication->recordClassName(className.text());
    }
    delete description;
}

HWND WindowCL::createAtGeometry(HWND parentHandle)
{
    int32_t gx = CW_USEDEFAULT, gy = CW_USEDEFAULT, gw = CW_USEDEFAULT, gh = CW_USEDEFAULT;
    if (geometry) {
        gx = geometry->x;
        gy = geometry->y;
        gw = geometry->width;
        gh = geometry->height;
    }
    return CreateWindowExA(0, className.text(), nullptr, style, gx, gy, gw, gh, parentHandle, nullptr,
                           programInstance(), nullptr);
}

HWND WindowCL::createControlAtGeometry(LPVOID creationParameter)
{
    int32_t gx = 0, gy = 0, gw = 0, gh = 0;
    if (geometry) {
        gx = orZero(geometry->x);
        gy = orZero(geometry->y);
        gw = orZero(geometry->width);
        gh = orZero(geometry->height);
    }
    return CreateWindowExA(0, className.text(), title.text(), style, gx, gy, gw, gh, parent ? parent->hwnd : nullptr,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(), creationParameter);
}

void WindowCL::mapWindow()
{
    if (hwnd && theApplication && theApplication->winMap)
        theApplication->winMap->insert(hwnd, this);
}

LRESULT WindowCL::askAllHandlers(EventRecord* event, bool commandListFirst, const LifeWatch& watch, bool* died)
{
    LRESULT r = 0;
    if (commandListFirst) {
        r = askHandlers(commandHandlers, event, &watch, died);
        if (r || *died)
            return r;
    }
    r = askHandlers(messageHandlers, event, &watch, died);
    if (r || *died)
        return r;
    if (theApplication) {
        r = askHandlers(theApplication->applicationHandlers, event, &watch, died);
        if (!watch.alive())
            *died = true;
    }
    return r;
}

LRESULT WindowCL::askHandlersThenOwn(EventRecord* event, DWORD flag, LRESULT (WindowCL::*own)(EventRecord*),
                                     const LifeWatch& watch, bool* died)
{
    LRESULT r = 0;
    if (handlerFlags & flag)
        r = askAllHandlers(event, false, watch, died);
    if (!r && !*died)
        r = (this->*own)(event);
    return r;
}

void WindowCL::showBarRange(int kind, int32_t minimum, int32_t maximum)
{
    if (isWindow())
        SetScrollRange(hwnd, kind, minimum, maximum, TRUE);
}

void WindowCL::showBarPosition(int kind, int32_t position)
{
    if (isWindow())
        SetScrollPos(hwnd, kind, position, TRUE);
}

LRESULT WindowCL::dispatchScroll(EventRecord* event, const LifeWatch& watch)
{
    ScrollBarState* bar = nullptr;
    if (event->lParam) {
        // A scroll-bar control: the state of its own window object.
        WindowCL* control = scrollControlOf(event);
        if (!control)
            return defaultEvent(event);
        bar = event->message == WM_VSCROLL ? control->vScrollState : control->hScrollState;
    } else {
        bar = event->message == WM_VSCROLL ? vScrollState : hScrollState;
    }
    if (bar)
        bar->applyScrollCode(LOWORD(event->wParam), static_cast<short>(HIWORD(event->wParam)));
    LRESULT r = onScroll(event);
    if (r || !watch.alive())
        return r;
    return defaultEvent(event);
}

LRESULT WindowCL::dispatchEvent(EventRecord* event)
{
    LifeWatch watch(*this);
    bool died = false;
    LRESULT r = 0;
    const UINT message = event->message;
    switch (message) {
    case WM_DESTROY:
        if (theApplication && theApplication->mainFrame && static_cast<WindowCL*>(theApplication->mainFrame) == this) {
            theApplication->idleTasks.disable();
            PostQuitMessage(0);
        }
        return 0;
    case WM_MOVE:
        r = onMove(event);
        if (!watch.alive())
            return r;
        // Signed words: a child at x -20 is at -20, not 65516.
        if (geometry) {
            geometry->x = static_cast<short>(LOWORD(event->lParam));
            geometry->y = static_cast<short>(HIWORD(event->lParam));
        }
        break;
    case WM_SIZE:
        r = onSize(event);
        if (!watch.alive())
            return r;
        relayout(event);
        if (!watch.alive())
            return r;
        break;
    case WM_ACTIVATE:
        r = askHandlersThenOwn(event, HF_ACTIVATE, &WindowCL::onActivate, watch, &died);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        r = askHandlersThenOwn(event, HF_FOCUS, &WindowCL::onFocus, watch, &died);
        break;
    case WM_CLOSE:
        r = askHandlersThenOwn(event, HF_CLOSE, &WindowCL::onClose, watch, &died);
        break;
    case WM_ERASEBKGND:
        r = onEraseBackground(event);
        break;
    case WM_SETCURSOR:
        if (handlerFlags & HF_SETCURSOR)
            r = askAllHandlers(event, false, watch, &died);
        break;
    case WM_NCDESTROY: {
        // Windows destroys a window's menu with the window.
        if (Menu* m = getMenu())
            m->clearHandle();
        state |= STATE_GONE;
        if (theApplication && theApplication->winMap)
            theApplication->winMap->remove(event->hwnd);
        if (state & STATE_AUTODELETE)
            delete this;
        return 0;
    }
    case WM_NCHITTEST:
        if (handlerFlags & HF_NCHITTEST)
            r = askAllHandlers(event, false, watch, &died);
        break;
    case WM_COMMAND: {
        if (PopupMenu* popup = PopupMenu::active()) {
            r = popup->dispatch(event);
            if (!watch.alive())
                return r;
        }
        Menu* m = getMenu();
        if (!r && (handlerFlags & HF_MENU) && m) {
            r = m->dispatch(event);
            if (!watch.alive())
                return r;
        }
        if (!r)
            r = askAllHandlers(event, true, watch, &died);
        if (!r && !died)
            r = onCommand(event);
        break;
    }
    case WM_TIMER:
        if (TimerService* timers = TimerService::current())
            timers->dispatch();
        if (!watch.alive())
            return DefWindowProcA(event->hwnd, message, event->wParam, event->lParam);
        // Never reported as handled, whatever the timer id.
        r = 0;
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        return dispatchScroll(event, watch);
    case WM_INITMENU:
    case WM_MENUSELECT: {
        Menu* m = getMenu();
        if ((handlerFlags & HF_MENU) && m) {
            r = m->dispatch(event);
            if (!watch.alive())
                return r;
        }
        if (!r)
            r = askAllHandlers(event, false, watch, &died);
        break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (controlColorRoutine)
            r = controlColorRoutine(this, event);
        break;
    case WM_MOUSEMOVE:
        if (cursor)
            SetCursor(cursor);
        r = askHandlersThenOwn(event, HF_MOUSEMOVE, &WindowCL::onMouseMove, watch, &died);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        r = askHandlersThenOwn(event, HF_BUTTONDOWN, &WindowCL::onButtonDown, watch, &died);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        r = askHandlersThenOwn(event, HF_BUTTONUP, &WindowCL::onButtonUp, watch, &died);
        break;
    default:
        r = askAllHandlers(event, false, watch, &died);
        break;
    }
    if (r)
        return r;
    if (died || !watch.alive())
        return DefWindowProcA(event->hwnd, message, event->wParam, event->lParam);
    return defaultEvent(event);
}

// ---------------------------------------------------------------- VisualCtrl

VisualCtrl::VisualCtrl(WindowCL* parentWindow, Geometry* g, DWORD windowStyle)
    : WindowCL(parentWindow, g, windowStyle)
{
    // A child's geometry belongs in its parent's layout, which places it.
    if (g && !g->parentLayout && parentWindow && parentWindow->geometry && parentWindow->geometry->asLayout())
        parentWindow->geometry->asLayout()->addChild(g);
    initChild();
}

VisualCtrl::VisualCtrl(WindowCL* parentWindow) : WindowCL(parentWindow)
{
    initChild();
}

void VisualCtrl::initChild()
{
    style |= WS_CHILD;
    backColor = GetSysColor(COLOR_WINDOW);
    id = 0;
    className = "VisualCtrl";
    if (parent)
        parent->addChild(this);
}

void VisualCtrl::show(int cmd)
{
    if (!markFirstShow(cmd))
        return;
    if (geometry && parent && parent->isWindow()) {
        RECT client;
        GetClientRect(parent->hwnd, &client);
        SizeEvent size{client.right - client.left, client.bottom - client.top, SIZE_RESTORED};
        // A free child keeps its own size; the others start from the parent's.
        if (geometry->kind != PLACE_FREE)
            geometry->setSize(Point(size.width, size.height));
        geometry->apply(this, size);
    }
    if (parent && parent->geometry && (parent->state & STATE_SHOWN))
        parent->geometry->layout(nullptr);
    else if (geometry)
        geometry->layout(nullptr);
    if (isWindow()) {
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
        ShowWindow(hwnd, cmd);
        UpdateWindow(hwnd);
    }
    if (cmd)
        style |= WS_VISIBLE;
}

void VisualCtrl::create()
{
    WNDCLASSA* description = classInfo();
    if (description) {
        bool isBaseClass = !classStyle && className == String("VisualCtrl");
        registerWindowClass(description, isBaseClass, isBaseClass ? &visualCtrlRegistered : nullptr);
    }
    HWND parentHandle = parent ? parent->hwnd : nullptr;
    hwnd = createAtGeometry(parentHandle);
    if (!hwnd)
        return;
    mapWindow();
    if (geometry) {
        RECT r;
        GetWindowRect(hwnd, &r);
        if (!(style & WS_POPUP) && parentHandle) {
            // Relative to the parent's client area, where the child lives.
            POINT origin = {r.left, r.top};
            ScreenToClient(parentHandle, &origin);
            geometry->x = origin.x;
            geometry->y = origin.y;
        } else {
            geometry->x = r.left;
            geometry->y = r.top;
        }
        geometry->width = r.right - r.left;
        geometry->height = r.bottom - r.top;
    }
}

LRESULT VisualCtrl::onChar(EventRecord*)
{
    return 0;
}

int VisualCtrl::storeValue()
{
    return 1;
}

int VisualCtrl::validate()
{
    return 1;
}

int VisualCtrl::loadValue()
{
    return 1;
}

// ---------------------------------------------------------------- window procedure

LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowCL* window = (theApplication && theApplication->winMap) ? theApplication->winMap->lookup(hwnd) : nullptr;
    if (!window)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if ((window->state & STATE_DELETING) && message != WM_DESTROY && message != WM_NCDESTROY)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    EventRecord event = {lParam, wParam, message, hwnd};
    return window->dispatchEvent(&event);
}

void centerWindow(WindowCL* window, int overParent)
{
    if (!window)
        return;
    Rect own;
    if (window->isWindow()) {
        RECT r;
        GetWindowRect(window->hwnd, &r);
        own = Rect(r.left, r.top, r.right, r.bottom);
    }
    Rect parentRect;
    bool useParent = overParent && window->parent && window->parent->isWindow();
    if (useParent) {
        RECT r;
        GetWindowRect(window->parent->hwnd, &r);
        parentRect = Rect(r.left, r.top, r.right, r.bottom);
    }
    Point at = centerPosition(own, useParent ? &parentRect : nullptr, readScreenMetrics());
    if (window->isWindow())
        MoveWindow(window->hwnd, at.x(), at.y(), own.width(), own.height(), TRUE);
}
