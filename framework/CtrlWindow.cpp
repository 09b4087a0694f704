#include "CtrlWindow.h"

#include "Application.h"
#include "ErrorReporter.h"
#include "ResString.h"
#include "strings/FrameworkStrings.h"

namespace {


HBRUSH sharedBrush = nullptr;

int systemMajorVersion()
{
    return static_cast<int>(LOBYTE(LOWORD(GetVersion())));
}

WindowCL* windowOf(HWND hwnd)
{
    return (theApplication && theApplication->winMap) ? theApplication->winMap->lookup(hwnd) : nullptr;
}

} // namespace

COLORREF drawingColour(const Color& colour)
{
    if (colour.flag == 0)
        return RGB(colour.red, colour.green, colour.blue);
    if (colour.flag == 1)
        return 0x01000000u | colour.red | (static_cast<COLORREF>(colour.green) << 8);
    return 0x02000000u | RGB(colour.red, colour.green, colour.blue);
}

HBRUSH sharedControlBrush(COLORREF colour)
{
    deleteSharedControlBrush();
    sharedBrush = CreateSolidBrush(colour);
    return sharedBrush;
}

void deleteSharedControlBrush()
{
    if (sharedBrush)
        DeleteObject(sharedBrush);
    sharedBrush = nullptr;
}

LRESULT controlColourAtParent(WindowCL* parentWindow, EventRecord* event)
{
    if (!parentWindow || !parentWindow->children || event->message < WM_CTLCOLORMSGBOX)
        return 0;
    HWND target = reinterpret_cast<HWND>(event->lParam);
    DListIteratorOf<WindowCL> walk(*parentWindow->children);
    while (WindowCL* child = walk.next()) {
        if (child->hwnd != target || child->backColor == kNoBackground)
            continue;
        CtrlWindowCL* control = dynamic_cast<CtrlWindowCL*>(child);
        COLORREF colour = child->backColor;
        HBRUSH brush = control ? control->backBrush : nullptr;
        if (colour == kParentBackground) {
            colour = parentWindow->backColor;
            if (colour == kNoBackground || colour == kParentBackground)
                return 0;
            brush = nullptr;
        }
        if (!brush)
            brush = sharedControlBrush(colour);
        HDC dc = reinterpret_cast<HDC>(event->wParam);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, colour);
        return reinterpret_cast<LRESULT>(brush);
    }
    return 0;
}

LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CtrlWindowCL* control = static_cast<CtrlWindowCL*>(windowOf(hwnd));
    if (!control)
        return 0;
    EventRecord event = {lParam, wParam, message, hwnd};
    if ((control->state & STATE_DELETING) && message != WM_NCDESTROY)
        return control->CtrlWindowCL::defaultEvent(&event);
    return control->dispatchControl(&event);
}

// ---------------------------------------------------------------- CtrlWindowCL

CtrlWindowCL::CtrlWindowCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : VisualCtrl(parentWindow, g, 0)
{
    initControl(controlStyle, text, controlId);
}

CtrlWindowCL::CtrlWindowCL(WindowCL* parentWindow, int controlId) : VisualCtrl(parentWindow, nullptr, 0)
{
    initControl(0, nullptr, controlId);
    style &= ~static_cast<DWORD>(WS_TABSTOP);
    takeOver(controlId);
}

void CtrlWindowCL::initControl(DWORD controlStyle, const char* text, int controlId)
{
    id = controlId;
    if (text)
        title = text;
    className = "CtrlWindowCL";
    kind = KIND_GENERIC;
    backColor = kNoBackground;
    backBrush = nullptr;
    savedProc = nullptr;
    linked = nullptr;
    icon = nullptr;
    missing = false;
    style |= controlStyle == 0 ? static_cast<DWORD>(WS_TABSTOP) : controlStyle;
}

void CtrlWindowCL::takeOver(int controlId)
{
    CtrlWindowCL* placeholder = nullptr;
    if (parent && parent->children) {
        DListIteratorOf<WindowCL> walk(*parent->children);
        while (WindowCL* child = walk.next())
            if (child != this && child->id == controlId) {
                placeholder = dynamic_cast<CtrlWindowCL*>(child);
                break;
            }
    }
    if (!placeholder) {
        // A mended fault: an id the template lacks used to be followed into
        // nothing. The object stays without a window, and says so.
        missing = true;
        int dialogId = parent ? parent->id : 0;
        reportError(ERR_ERROR, getResString(kStrDialogItemMissing), dialogId, controlId);
        return;
    }
    adoptFrom(placeholder);
}

void CtrlWindowCL::adoptFrom(CtrlWindowCL* placeholder)
{
    // An owner-drawn item keeps everything; this object stays empty.
    if (placeholder->kind == KIND_OWNERDRAW)
        return;
    id = placeholder->id;
    hwnd = placeholder->hwnd;
    style = placeholder->style;
    className = placeholder->className;
    title = placeholder->title;
    cursor = placeholder->cursor;
    cursorFlag = placeholder->cursorFlag;
    backColor = placeholder->backColor;
    deleteHandlerList(messageHandlers);
    deleteHandlerList(commandHandlers);
    messageHandlers = placeholder->messageHandlers;
    commandHandlers = placeholder->commandHandlers;
    placeholder->messageHandlers = placeholder->commandHandlers = nullptr;
    savedProc = placeholder->savedProc;
    icon = placeholder->icon;
    handlerFlags = placeholder->handlerFlags;
    state |= placeholder->state & STATE_SHOWN;

    if (placeholder->kind == KIND_CUSTOM) {
        // The registered-class control keeps its window and leads to this object.
        if (placeholder->geometry) {
            const Geometry* g = placeholder->geometry;
            geometry = new Geometry(g->x, g->y, g->width, g->height);
        }
        placeholder->messageHandlers = messageHandlers;
        placeholder->commandHandlers = commandHandlers;
        messageHandlers = commandHandlers = nullptr;
        placeholder->linked = this;
        // Owned by the control that keeps the window, not by the parent.
        if (parent && parent->children)
            parent->children->remove(this);
        kind = KIND_CUSTOM;
        state |= STATE_AUTODELETE;
        hwnd = nullptr;
        savedProc = nullptr;
        return;
    }
    kind = placeholder->kind;
    backBrush = placeholder->backBrush;
    placeholder->backBrush = nullptr;
    // The geometry, in the parent's layout, comes along.
    geometry = placeholder->geometry;
    placeholder->geometry = nullptr;
    if (geometry)
        geometry->bindWindow(this);
    // This object takes the placeholder's place among the children.
    if (parent && parent->children) {
        parent->children->remove(this);
        DListNode* node = parent->children->find(placeholder);
        if (node)
            node->item = this;
        else
            parent->children->append(this);
    }
    placeholder->parent = nullptr;
    placeholder->hwnd = nullptr;
    placeholder->savedProc = nullptr;
    placeholder->state |= STATE_GONE;
    if (hwnd && theApplication && theApplication->winMap) {
        theApplication->winMap->remove(hwnd);
        theApplication->winMap->insert(hwnd, this);
    }
    delete placeholder;
}

CtrlWindowCL::~CtrlWindowCL()
{
    state &= ~STATE_AUTODELETE;
    state |= STATE_DELETING;
    if (children) {
        while (WindowCL* child = children->first())
            delete child;
    }
    // Destroyed here, while the object can still answer its own messages.
    if (!(state & STATE_GONE) && hwnd && IsWindow(hwnd))
        DestroyWindow(hwnd);
    if (backBrush)
        DeleteObject(backBrush);
    backBrush = nullptr;
}

LRESULT CtrlWindowCL::defaultEvent(EventRecord* event)
{
    if (savedProc)
        return CallWindowProcA(savedProc, event->hwnd, event->message, event->wParam, event->lParam);
    return DefWindowProcA(event->hwnd, event->message, event->wParam, event->lParam);
}

void CtrlWindowCL::setBackColor(const Color& colour)
{
    COLORREF rgb = RGB(colour.red, colour.green, colour.blue);
    backColor = colour.flag == 0 ? rgb : (0x02000000u | rgb);
    if (backBrush)
        DeleteObject(backBrush);
    backBrush = CreateSolidBrush(backColor);
}

void CtrlWindowCL::create()
{
    createControlWindow();
}

void CtrlWindowCL::createControlWindow(LPVOID creationParameter)
{
    style &= ~static_cast<DWORD>(WS_CLIPSIBLINGS);
    title.markUncounted();
    hwnd = createControlAtGeometry(creationParameter);
    if (!hwnd)
        return;
    mapWindow();
    savedProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlWindowProc));
}

void CtrlWindowCL::enable()
{
    style &= ~static_cast<DWORD>(WS_DISABLED);
    if (hwnd)
        EnableWindow(hwnd, TRUE);
}

void CtrlWindowCL::disable()
{
    style |= WS_DISABLED;
    if (hwnd)
        EnableWindow(hwnd, FALSE);
}

bool CtrlWindowCL::isEnabled() const
{
    return hwnd && IsWindowEnabled(hwnd);
}

String CtrlWindowCL::getText() const
{
    int n = textLength();
    String s(static_cast<unsigned int>(n + 1));
    if (hwnd && n > 0)
        GetWindowTextA(hwnd, s.getBuffer(), n + 1);
    else
        s.getBuffer()[0] = 0;
    s.markUncounted();
    return String(s.text());
}

int CtrlWindowCL::textLength() const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

void CtrlWindowCL::takeParentColour()
{
    if (systemMajorVersion() >= 4 && parent) {
        COLORREF c = parent->backColor;
        if (c != kNoBackground && c != kParentBackground)
            setBackColor(Color(static_cast<uint32_t>(c)));
    }
}

void CtrlWindowCL::setText(const String& text)
{
    setText(text.text());
}

void CtrlWindowCL::setText(const char* text)
{
    title = text ? text : "";
    if (hwnd)
        SetWindowTextA(hwnd, title.text());
}

int CtrlWindowCL::removeNotifyRecord(const EventCall& call, UINT code)
{
    if (!parent || !parent->commandHandlers)
        return 0;
    DListIteratorOf<HandlerRecord> walk(*parent->commandHandlers);
    while (HandlerRecord* record = walk.next()) {
        NotifyHandlerRecord* notify = dynamic_cast<NotifyHandlerRecord*>(record);
        if (notify && notify->control == hwnd && notify->code == code &&
            notify->firstId == static_cast<UINT>(id & 0xFFFF) && notify->isFor(call)) {
            walk.removeCurrent();
            delete notify;
            return 1;
        }
    }
    return 0;
}

LRESULT CtrlWindowCL::dispatchControl(EventRecord* event)
{
    LifeWatch watch(*this);
    bool died = false;
    LRESULT r = 0;
    switch (event->message) {
    case WM_MOVE:
        r = onMove(event);
        if (!watch.alive())
            return r;
        // A mended fault: signed words, so a control at x -20 stays at -20.
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
    case WM_DESTROY:
        r = 0;
        break;
    case WM_NCDESTROY: {
        state |= STATE_GONE;
        if (theApplication && theApplication->winMap && theApplication->winMap->lookup(event->hwnd) == this)
            theApplication->winMap->remove(event->hwnd);
        WNDPROC procedure = savedProc;
        savedProc = nullptr;
        if (state & STATE_AUTODELETE)
            delete this;
        if (procedure)
            return CallWindowProcA(procedure, event->hwnd, event->message, event->wParam, event->lParam);
        return DefWindowProcA(event->hwnd, event->message, event->wParam, event->lParam);
    }
    case WM_CHAR:
    case WM_SYSCHAR:
        r = onChar(event);
        if (!r && watch.alive())
            r = askAllHandlers(event, false, watch, &died);
        break;
    case WM_COMMAND:
        r = askAllHandlers(event, true, watch, &died);
        if (!r && !died)
            r = onCommand(event);
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (kind == KIND_COMBOBOX)
            r = innerColour(event);
        else
            r = askAllHandlers(event, false, watch, &died);
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
        return 0;
    return defaultEvent(event);
}
