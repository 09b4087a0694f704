#include "TextControls.h"

#include "Application.h"
#include "DeviceContext.h"

#include <string>

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
    takeParentColour();
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
    return !boundText || textLength() > 0 || (options & kAcceptEmpty);
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
