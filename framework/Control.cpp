#include "Control.h"

#include "Application.h"
#include "DeviceContext.h"
#include "ErrorReporter.h"
#include "ResString.h"
#include "Scrollers.h"
#include "strings/FrameworkStrings.h"

#include <string>

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

// Statics and buttons take their parent's colour from the start.
void takeParentColour(CtrlWindowCL* control)
{
    if (systemMajorVersion() >= 4 && control->parent) {
        COLORREF c = control->parent->backColor;
        if (c != kNoBackground && c != kParentBackground)
            control->setBackColor(Color(static_cast<uint32_t>(c)));
    }
}

int textLength(HWND hwnd)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

String windowText(HWND hwnd)
{
    int n = textLength(hwnd);
    String s(static_cast<unsigned int>(n + 1));
    if (hwnd && n > 0)
        GetWindowTextA(hwnd, s.getBuffer(), n + 1);
    else
        s.getBuffer()[0] = 0;
    s.markUncounted();
    return String(s.text());
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
    int32_t gx = 0, gy = 0, gw = 0, gh = 0;
    if (geometry) {
        gx = geometry->x == kNotGiven ? 0 : geometry->x;
        gy = geometry->y == kNotGiven ? 0 : geometry->y;
        gw = geometry->width == kNotGiven ? 0 : geometry->width;
        gh = geometry->height == kNotGiven ? 0 : geometry->height;
    }
    HWND parentHandle = parent ? parent->hwnd : nullptr;
    hwnd = CreateWindowExA(0, className.text(), title.text(), style, gx, gy, gw, gh, parentHandle,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(), creationParameter);
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
    return windowText(hwnd);
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

// ---------------------------------------------------------------- statics

StaticCL::StaticCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId)
{
    initStatic();
    if ((style & 0xFF) == SS_ICON) {
        icon = LoadIconA(programInstance(), title.text());
        if (geometry)
            geometry->setSize(Point(32, 32));
    }
    createControlWindow();
}

StaticCL::StaticCL(WindowCL* parentWindow, int controlId) : CtrlWindowCL(parentWindow, controlId)
{
    style &= ~static_cast<DWORD>(WS_TABSTOP);
}

void StaticCL::initStatic()
{
    className = "static";
    kind = KIND_STATIC;
    style |= WS_CHILD | WS_VISIBLE;
    // A static is never a tab stop.
    style &= ~static_cast<DWORD>(WS_TABSTOP);
    takeParentColour(this);
}

LRESULT StaticCL::defaultEvent(EventRecord* event)
{
    if (event->message == WM_PAINT && icon) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(event->hwnd, &ps);
        DrawIcon(dc, 0, 0, icon);
        EndPaint(event->hwnd, &ps);
        return 1;
    }
    return CtrlWindowCL::defaultEvent(event);
}

// ---------------------------------------------------------------- buttons

ButtonCL::ButtonCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId)
{
    initButton();
}

ButtonCL::ButtonCL(WindowCL* parentWindow, int controlId) : CtrlWindowCL(parentWindow, controlId) {}

void ButtonCL::initButton()
{
    className = "button";
    kind = KIND_BUTTON;
    style |= WS_CHILD | WS_VISIBLE;
    takeParentColour(this);
}

PushButtonCL::PushButtonCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : ButtonCL(parentWindow, g, controlStyle, text, controlId)
{
    createControlWindow();
}

PushButtonCL::PushButtonCL(WindowCL* parentWindow, int controlId) : ButtonCL(parentWindow, controlId) {}

DefPushButtonCL::DefPushButtonCL(WindowCL* parentWindow, int controlId) : ButtonCL(parentWindow, controlId) {}

DefPushButtonCL::DefPushButtonCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                 int controlId)
    : ButtonCL(parentWindow, g, controlStyle, text, controlId)
{
    style |= BS_DEFPUSHBUTTON;
    createControlWindow();
}

CheckBoxCL::CheckBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : ButtonCL(parentWindow, g, controlStyle, text, controlId), boundInt(nullptr), bindingKind(0)
{
    style |= BS_AUTOCHECKBOX;
    createControlWindow();
}

CheckBoxCL::CheckBoxCL(WindowCL* parentWindow, int controlId)
    : ButtonCL(parentWindow, controlId), boundInt(nullptr), bindingKind(0)
{
}

CheckBoxCL::CheckBoxCL(WindowCL* parentWindow, int controlId, int* variable)
    : ButtonCL(parentWindow, controlId), boundInt(variable), bindingKind(variable ? 1 : 0)
{
    if (boundInt)
        setCheck(*boundInt);
}

int CheckBoxCL::getCheck() const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, BM_GETCHECK, 0, 0)) : 0;
}

void CheckBoxCL::setCheck(int checkState)
{
    if (hwnd)
        SendMessageA(hwnd, BM_SETCHECK, static_cast<WPARAM>(checkState), 0);
}

int CheckBoxCL::storeValue()
{
    if (!hwnd)
        return 0;
    if (bindingKind == 1 && boundInt)
        *boundInt = getCheck();
    return 1;
}

int CheckBoxCL::loadValue()
{
    if (!boundInt || !hwnd)
        return 0;
    setCheck(*boundInt);
    return 1;
}

RadioButtonCL::RadioButtonCL(WindowCL* parentWindow, int controlId) : ButtonCL(parentWindow, controlId) {}

GroupBoxCL::GroupBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : ButtonCL(parentWindow, g, controlStyle, text, controlId)
{
    style |= BS_GROUPBOX;
    backColor = kParentBackground;
    createControlWindow();
}

GroupBoxCL::GroupBoxCL(WindowCL* parentWindow, int controlId) : ButtonCL(parentWindow, controlId)
{
    backColor = kParentBackground;
}

// ---------------------------------------------------------------- edits

EditCL::EditCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId), boundText(nullptr), options(0)
{
    initEdit();
    createControlWindow();
    setText(title);
    Cursor(IDC_IBEAM).applyTo(this);
}

EditCL::EditCL(WindowCL* parentWindow, int controlId, String* variable, int optionWord)
    : CtrlWindowCL(parentWindow, controlId), boundText(variable), options(optionWord)
{
    if (boundText && hwnd)
        setText(*boundText);
}

void EditCL::initEdit()
{
    className = "edit";
    kind = KIND_EDIT;
    style |= WS_CHILD | WS_VISIBLE;
}

LRESULT EditCL::defaultEvent(EventRecord* event)
{
    if (event->message == WM_KEYDOWN && event->wParam == VK_RETURN && !(style & ES_WANTRETURN) &&
        !(GetKeyState(VK_CONTROL) & 0x8000) && parent && parent->hwnd) {
        LifeWatch watch(*this);
        SendMessageA(parent->hwnd, WM_USER + 2, 0x1000, 0x1000);
        if (!watch.alive())
            return 0;
    }
    return CtrlWindowCL::defaultEvent(event);
}

void EditCL::setText(const String& text)
{
    setText(text.text());
}

void EditCL::setText(const char* text)
{
    title = text ? text : "";
    if (!hwnd)
        return;
    // A disabled edit would not show the change.
    bool disabled = (style & WS_DISABLED) || !IsWindowEnabled(hwnd);
    if (disabled)
        EnableWindow(hwnd, TRUE);
    SetWindowTextA(hwnd, title.text());
    if (disabled)
        EnableWindow(hwnd, FALSE);
}

void EditCL::getSelection(int& start, int& end) const
{
    DWORD s = 0, e = 0;
    if (hwnd)
        SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s < e ? s : e);
    end = static_cast<int>(s < e ? e : s);
}

String EditCL::selectedText() const
{
    int start, end;
    getSelection(start, end);
    String all = getText();
    std::string whole(all.text());
    if (start > static_cast<int>(whole.size()))
        start = static_cast<int>(whole.size());
    if (end > static_cast<int>(whole.size()))
        end = static_cast<int>(whole.size());
    return String(whole.substr(start, end - start).c_str());
}

void EditCL::setSelection(int start, int end)
{
    if (hwnd)
        SendMessageA(hwnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void EditCL::replaceSelection(const char* text)
{
    if (hwnd)
        SendMessageA(hwnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

void EditCL::limitText(int count)
{
    if (hwnd)
        SendMessageA(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
}

void EditCL::cut()
{
    if (hwnd)
        SendMessageA(hwnd, WM_CUT, 0, 0);
}

void EditCL::copy()
{
    if (hwnd)
        SendMessageA(hwnd, WM_COPY, 0, 0);
}

void EditCL::paste()
{
    if (hwnd)
        SendMessageA(hwnd, WM_PASTE, 0, 0);
}

int EditCL::isModified() const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, EM_GETMODIFY, 0, 0)) : 0;
}

void EditCL::setModified(int flag)
{
    if (hwnd)
        SendMessageA(hwnd, EM_SETMODIFY, static_cast<WPARAM>(flag), 0);
}

void EditCL::setRect(const RECT& rect)
{
    if (hwnd)
        SendMessageA(hwnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rect));
}

void EditCL::lineScroll(int lines, int columns)
{
    if (hwnd)
        SendMessageA(hwnd, EM_LINESCROLL, static_cast<WPARAM>(columns), static_cast<LPARAM>(lines));
}

int EditCL::validate()
{
    if (!hwnd)
        return 0;
    return !boundText || textLength(hwnd) > 0 || (options & kAcceptEmpty);
}

int EditCL::storeValue()
{
    if (!boundText || !hwnd)
        return 0;
    *boundText = getText();
    return 1;
}

int EditCL::loadValue()
{
    if (!boundText || !hwnd)
        return 0;
    setText(*boundText);
    return 1;
}

MultiEditCL::MultiEditCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : EditCL(parentWindow, g, controlStyle | 0x10800004u, text, controlId)
{
}

MultiEditCL::MultiEditCL(WindowCL* parentWindow, int controlId, String* variable, int optionWord)
    : EditCL(parentWindow, controlId, variable, optionWord)
{
}

BorderEditCL::BorderEditCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : EditCL(parentWindow, g, controlStyle | 0x10800000u, text, controlId)
{
}

BorderEditCL::BorderEditCL(WindowCL* parentWindow, int controlId, String* variable, int optionWord)
    : EditCL(parentWindow, controlId, variable, optionWord)
{
}

// ---------------------------------------------------------------- combo boxes

ComboBoxCL::ComboBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId)
{
    initCombo();
    className = "combobox";
    kind = KIND_COMBOBOX;
    style |= 0x50800000u;
}

ComboBoxCL::ComboBoxCL(WindowCL* parentWindow, int controlId) : CtrlWindowCL(parentWindow, controlId)
{
    initCombo();
}

void ComboBoxCL::initCombo()
{
    binding = nullptr;
    bindingKind = BIND_NONE;
    options = 0;
    innerColourValue = kNoBackground;
}

LRESULT ComboBoxCL::innerColour(EventRecord* event)
{
    COLORREF colour = innerColourValue;
    if (colour == kNoBackground)
        return 0;
    if (colour == kParentBackground) {
        colour = parent ? parent->backColor : kNoBackground;
        if (colour == kNoBackground || colour == kParentBackground)
            return 0;
    }
    HDC dc = reinterpret_cast<HDC>(event->wParam);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, colour);
    return reinterpret_cast<LRESULT>(sharedControlBrush(colour));
}

void ComboBoxCL::setInnerColor(const Color& colour)
{
    innerColourValue = drawingColour(colour);
}

int ComboBoxCL::addString(const String& text)
{
    return addText(text.text());
}

int ComboBoxCL::addText(const char* text)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : "")))
                : CB_ERR;
}

int ComboBoxCL::deleteString(int index)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, CB_DELETESTRING, static_cast<WPARAM>(index), 0)) : CB_ERR;
}

int ComboBoxCL::insertString(int index, const char* text)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(text ? text : "")))
                : CB_ERR;
}

int ComboBoxCL::getCount() const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, CB_GETCOUNT, 0, 0)) : 0;
}

void ComboBoxCL::resetContent()
{
    if (hwnd)
        SendMessageA(hwnd, CB_RESETCONTENT, 0, 0);
}

void ComboBoxCL::showList()
{
    if (hwnd)
        SendMessageA(hwnd, CB_SHOWDROPDOWN, TRUE, 0);
}

int ComboBoxCL::getCurSel() const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, CB_GETCURSEL, 0, 0)) : CB_ERR;
}

int ComboBoxCL::setCurSel(int index)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0)) : CB_ERR;
}

int ComboBoxCL::selectString(const char* text)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(text ? text : "")))
                : CB_ERR;
}

int ComboBoxCL::getItemText(int index, String& text) const
{
    if (!hwnd)
        return 0;
    if (index == -1)
        index = getCurSel();
    if (index < 0)
        return 0;
    LRESULT n = SendMessageA(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR)
        return 0;
    std::string buffer(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&buffer[0]));
    text = buffer.c_str();
    return 1;
}

String ComboBoxCL::getEditText() const
{
    char buffer[201] = "";
    if (hwnd)
        GetWindowTextA(hwnd, buffer, 200);
    return String(buffer);
}

namespace {

// Fills a list or combo box with a null-terminated list of texts, drawing it
// once at the end rather than after every item.
template <typename Add>
void fillList(HWND hwnd, const char* const* texts, Add add)
{
    if (!hwnd || !texts)
        return;
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    for (const char* const* t = texts; *t; ++t)
        add(*t);
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

} // namespace

void ComboBoxCL::bindString(String* variable)
{
    binding = variable;
    bindingKind = BIND_STRING;
}

void ComboBoxCL::bindInt(int* variable)
{
    binding = variable;
    bindingKind = BIND_INDEX;
}

void ComboBoxCL::fill(const char* const* texts)
{
    fillList(hwnd, texts, [this](const char* text) { addText(text); });
}

int ComboBoxCL::validate()
{
    if (!hwnd)
        return 0;
    if (!binding || (options & kAcceptEmpty))
        return 1;
    if ((style & 3) < CBS_DROPDOWNLIST)
        return textLength(hwnd) > 0;
    return getCurSel() >= 0;
}

int ComboBoxCL::storeValue()
{
    if (!binding || !hwnd)
        return 0;
    if (bindingKind == BIND_INDEX) {
        *static_cast<int*>(binding) = getCurSel();
    } else if (bindingKind == BIND_STRING) {
        String* target = static_cast<String*>(binding);
        if ((style & 3) < CBS_DROPDOWNLIST) {
            *target = windowText(hwnd);
        } else {
            String text;
            getItemText(-1, text);
            *target = text;
        }
    }
    return 1;
}

int ComboBoxCL::loadValue()
{
    if (!binding || !hwnd)
        return 0;
    if (bindingKind == BIND_INDEX)
        setCurSel(*static_cast<int*>(binding));
    else if (bindingKind == BIND_STRING)
        selectString(static_cast<String*>(binding)->text());
    return 1;
}

SortedComboBoxCL::SortedComboBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                   int controlId)
    : ComboBoxCL(parentWindow, g, controlStyle | CBS_SIMPLE | CBS_SORT, text, controlId)
{
    createControlWindow();
}

BoundComboBoxCL::BoundComboBoxCL(WindowCL* parentWindow, int controlId, String* variable, int optionWord)
    : ComboBoxCL(parentWindow, controlId)
{
    bindString(variable);
    options = optionWord;
}

BoundComboBoxCL::BoundComboBoxCL(WindowCL* parentWindow, int controlId, int* variable, int optionWord)
    : ComboBoxCL(parentWindow, controlId)
{
    bindInt(variable);
    options = optionWord;
}

// ---------------------------------------------------------------- list boxes

ListBoxCL::ListBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId)
{
    initList();
    className = "listbox";
    kind = KIND_LISTBOX;
    style |= WS_CHILD | WS_VISIBLE;
}

ListBoxCL::ListBoxCL(WindowCL* parentWindow, int controlId) : CtrlWindowCL(parentWindow, controlId)
{
    initList();
}

ListBoxCL::~ListBoxCL() {}

void ListBoxCL::initList()
{
    binding = nullptr;
    bindingKind = BIND_NONE;
    options = 0;
}

int ListBoxCL::addString(const char* text)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : "")))
                : LB_ERR;
}

int ListBoxCL::insertString(int index, const char* text)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, LB_INSERTSTRING, static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(text ? text : "")))
                : LB_ERR;
}

int ListBoxCL::deleteString(int index)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, LB_DELETESTRING, static_cast<WPARAM>(index), 0)) : LB_ERR;
}

int ListBoxCL::getCount() const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, LB_GETCOUNT, 0, 0)) : 0;
}

void ListBoxCL::resetContent()
{
    if (hwnd)
        SendMessageA(hwnd, LB_RESETCONTENT, 0, 0);
}

int ListBoxCL::getCurSel() const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

int ListBoxCL::setCurSel(int index)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0)) : LB_ERR;
}

int ListBoxCL::selectString(const char* text)
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(text ? text : "")))
                : LB_ERR;
}

String ListBoxCL::getItemText(int index) const
{
    if (!hwnd)
        return String();
    LRESULT n = SendMessageA(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n < 1)
        return String();
    std::string buffer(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(hwnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&buffer[0]));
    return String(buffer.c_str());
}

int ListBoxCL::directory(UINT attributes, const char* pattern)
{
    if (!hwnd)
        return LB_ERR;
    return static_cast<int>(SendMessageA(hwnd, LB_DIR, attributes, reinterpret_cast<LPARAM>(pattern ? pattern : "")));
}

void ListBoxCL::bindString(String* variable)
{
    binding = variable;
    bindingKind = BIND_STRING;
}

void ListBoxCL::bindInt(int* variable)
{
    binding = variable;
    bindingKind = BIND_INDEX;
}

void ListBoxCL::fill(const char* const* texts)
{
    fillList(hwnd, texts, [this](const char* text) { addString(text); });
}

int ListBoxCL::validate()
{
    if (!hwnd)
        return 0;
    return !binding || getCurSel() >= 0 || (options & kAcceptEmpty);
}

int ListBoxCL::storeValue()
{
    if (!binding || !hwnd)
        return 0;
    if (bindingKind == BIND_INDEX)
        *static_cast<int*>(binding) = getCurSel();
    else if (bindingKind == BIND_STRING)
        *static_cast<String*>(binding) = getItemText(getCurSel());
    return 1;
}

int ListBoxCL::loadValue()
{
    if (!binding || !hwnd)
        return 0;
    if (bindingKind == BIND_INDEX)
        setCurSel(*static_cast<int*>(binding));
    else if (bindingKind == BIND_STRING)
        selectString(static_cast<String*>(binding)->text());
    return 1;
}

SortedListBoxCL::SortedListBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                 int controlId)
    : ListBoxCL(parentWindow, g, controlStyle ? controlStyle : 0x00A00003u, text, controlId)
{
    createControlWindow();
}

BoundListBoxCL::BoundListBoxCL(WindowCL* parentWindow, int controlId, String* variable, int optionWord)
    : ListBoxCL(parentWindow, controlId)
{
    bindString(variable);
    options = optionWord;
}

BoundListBoxCL::BoundListBoxCL(WindowCL* parentWindow, int controlId, int* variable, int optionWord)
    : ListBoxCL(parentWindow, controlId)
{
    bindInt(variable);
    options = optionWord;
}

// ---------------------------------------------------------------- scroll bars

ScrollBarCL::ScrollBarCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId), barState(nullptr)
{
    className = "scrollbar";
    kind = KIND_SCROLLBAR;
    style |= WS_CHILD | WS_VISIBLE;
    initScrollBar(BAR_CTL);
}

ScrollBarCL::ScrollBarCL(WindowCL* parentWindow, int controlId)
    : CtrlWindowCL(parentWindow, controlId), barState(nullptr)
{
    initScrollBar(BAR_CTL);
}

void ScrollBarCL::initScrollBar(int barKind)
{
    delete barState;
    barState = new ScrollBarState(this, barKind);
}

ScrollBarCL::~ScrollBarCL()
{
    delete barState;
    barState = nullptr;
}

VertScrollBarCL::VertScrollBarCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                 int controlId)
    : ScrollBarCL(parentWindow, g, controlStyle | SBS_VERT, text, controlId)
{
    initScrollBar(BAR_VERT);
    createControlWindow();
}

HorzScrollBarCL::HorzScrollBarCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                 int controlId)
    : ScrollBarCL(parentWindow, g, controlStyle | SBS_HORZ, text, controlId)
{
    initScrollBar(BAR_HORZ);
    createControlWindow();
}

CreatedScrollBarCL::CreatedScrollBarCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                       int controlId)
    : ScrollBarCL(parentWindow, g, controlStyle, text, controlId)
{
    createControlWindow();
}

// ---------------------------------------------------------------- registered classes

CustomCtrlCL::CustomCtrlCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId,
                           const char* controlClass, LPVOID parameter)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId), record(nullptr), creationParameter(parameter)
{
    kind = KIND_CUSTOM;
    style |= WS_CHILD | WS_VISIBLE;
    record = theApplication ? theApplication->findCustomControlClass(controlClass) : nullptr;
    if (!record)
        return;
    className = record->className;
    createControlWindow(creationParameter);
    if (hwnd)
        record->previousProcedure = savedProc;
}

CustomCtrlCL::CustomCtrlCL(WindowCL* parentWindow, int controlId)
    : CtrlWindowCL(parentWindow, controlId), record(nullptr), creationParameter(nullptr)
{
}

CustomCtrlCL::~CustomCtrlCL()
{
    CtrlWindowCL* follower = linked;
    linked = nullptr;
    if (follower && (follower->state & STATE_AUTODELETE)) {
        follower->state &= ~STATE_AUTODELETE;
        delete follower;
    }
}

LRESULT CustomCtrlCL::defaultEvent(EventRecord* event)
{
    WNDPROC procedure = record ? record->previousProcedure : savedProc;
    if (procedure)
        return CallWindowProcA(procedure, event->hwnd, event->message, event->wParam, event->lParam);
    return DefWindowProcA(event->hwnd, event->message, event->wParam, event->lParam);
}
