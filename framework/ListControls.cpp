#include "ListControls.h"

#include <string>

namespace {

// LB_ERR and CB_ERR: what an operation answers without a window.
const int kListError = -1;

// In the order of ListControlMessages: add, insert, delete, count, reset,
// get and set the selection, select by text, text length, text, and the
// notification of a changed selection.
const ListControlMessages kListBoxMessages = {
    LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETCOUNT, LB_RESETCONTENT, LB_GETCURSEL,
    LB_SETCURSEL, LB_SELECTSTRING, LB_GETTEXTLEN,   LB_GETTEXT,  LBN_SELCHANGE};
const ListControlMessages kComboBoxMessages = {
    CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_GETCOUNT, CB_RESETCONTENT, CB_GETCURSEL,
    CB_SETCURSEL, CB_SELECTSTRING, CB_GETLBTEXTLEN, CB_GETLBTEXT, CBN_SELCHANGE};

LPARAM textParameter(const char* text)
{
    return reinterpret_cast<LPARAM>(text ? text : "");
}

} // namespace

// ---------------------------------------------------------------- ListControlCL

ListControlCL::ListControlCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId,
                             const ListControlMessages& classMessages, const char* windowClass,
                             int32_t controlKind, DWORD styleBits)
    : CtrlWindowCL(parentWindow, g, controlStyle, text, controlId), binding(nullptr), bindingKind(BIND_NONE),
      options(0), messages(classMessages)
{
    className = windowClass;
    kind = controlKind;
    style |= styleBits;
}

ListControlCL::ListControlCL(WindowCL* parentWindow, int controlId, const ListControlMessages& classMessages)
    : CtrlWindowCL(parentWindow, controlId), binding(nullptr), bindingKind(BIND_NONE), options(0),
      messages(classMessages)
{
}

int ListControlCL::send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return hwnd ? static_cast<int>(SendMessageA(hwnd, message, wParam, lParam)) : kListError;
}

int ListControlCL::addString(const char* text)
{
    return send(messages.addString, 0, textParameter(text));
}

int ListControlCL::insertString(int index, const char* text)
{
    return send(messages.insertString, static_cast<WPARAM>(index), textParameter(text));
}

int ListControlCL::deleteString(int index)
{
    return send(messages.deleteString, static_cast<WPARAM>(index));
}

int ListControlCL::getCount() const
{
    return hwnd ? send(messages.getCount) : 0;
}

void ListControlCL::resetContent()
{
    send(messages.resetContent);
}

int ListControlCL::getCurSel() const
{
    return send(messages.getCurSel);
}

int ListControlCL::setCurSel(int index)
{
    return send(messages.setCurSel, static_cast<WPARAM>(index));
}

int ListControlCL::selectString(const char* text)
{
    return send(messages.selectString, static_cast<WPARAM>(-1), textParameter(text));
}

bool ListControlCL::getItemText(int index, String& text) const
{
    if (!hwnd)
        return false;
    if (index == -1)
        index = getCurSel();
    if (index < 0)
        return false;
    const int n = send(messages.getTextLength, static_cast<WPARAM>(index));
    if (n < 0)
        return false;
    std::string buffer(static_cast<size_t>(n) + 1, '\0');
    send(messages.getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&buffer[0]));
    text = buffer.c_str();
    return true;
}

void ListControlCL::bindString(String* variable)
{
    binding = variable;
    bindingKind = BIND_STRING;
}

void ListControlCL::bindInt(int* variable)
{
    binding = variable;
    bindingKind = BIND_INDEX;
}

void ListControlCL::fill(const char* const* texts)
{
    if (!hwnd || !texts)
        return;
    // Drawn once at the end rather than after every item.
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    for (const char* const* t = texts; *t; ++t)
        addString(*t);
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

String ListControlCL::valueText() const
{
    String text;
    getItemText(-1, text);
    return text;
}

int ListControlCL::validate()
{
    if (!hwnd)
        return 0;
    return !binding || (options & kAcceptEmpty) || hasValue();
}

int ListControlCL::storeValue()
{
    if (!binding || !hwnd)
        return 0;
    if (bindingKind == BIND_INDEX)
        *static_cast<int*>(binding) = getCurSel();
    else if (bindingKind == BIND_STRING)
        *static_cast<String*>(binding) = valueText();
    return 1;
}

int ListControlCL::loadValue()
{
    if (!binding || !hwnd)
        return 0;
    if (bindingKind == BIND_INDEX)
        setCurSel(*static_cast<int*>(binding));
    else if (bindingKind == BIND_STRING)
        selectString(static_cast<String*>(binding)->text());
    return 1;
}

// ---------------------------------------------------------------- list boxes

ListBoxCL::ListBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : ListControlCL(parentWindow, g, controlStyle, text, controlId, kListBoxMessages, "listbox", KIND_LISTBOX,
                    WS_CHILD | WS_VISIBLE)
{
}

ListBoxCL::ListBoxCL(WindowCL* parentWindow, int controlId) : ListControlCL(parentWindow, controlId, kListBoxMessages)
{
}

int ListBoxCL::directory(UINT attributes, const char* pattern)
{
    if (!hwnd)
        return LB_ERR;
    return static_cast<int>(SendMessageA(hwnd, LB_DIR, attributes, textParameter(pattern)));
}

SortedListBoxCL::SortedListBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                 int controlId)
    : ListBoxCL(parentWindow, g, controlStyle ? controlStyle : 0x00A00003u, text, controlId)
{
    createControlWindow();
}

// ---------------------------------------------------------------- combo boxes

ComboBoxCL::ComboBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text, int controlId)
    : ListControlCL(parentWindow, g, controlStyle, text, controlId, kComboBoxMessages, "combobox", KIND_COMBOBOX,
                    0x50800000u),
      innerColourValue(kNoBackground)
{
}

ComboBoxCL::ComboBoxCL(WindowCL* parentWindow, int controlId)
    : ListControlCL(parentWindow, controlId, kComboBoxMessages), innerColourValue(kNoBackground)
{
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

void ComboBoxCL::showList()
{
    if (hwnd)
        SendMessageA(hwnd, CB_SHOWDROPDOWN, TRUE, 0);
}

String ComboBoxCL::getEditText() const
{
    char buffer[201] = "";
    if (hwnd)
        GetWindowTextA(hwnd, buffer, 200);
    return String(buffer);
}

bool ComboBoxCL::hasValue() const
{
    return isEditable() ? textLength() > 0 : ListControlCL::hasValue();
}

String ComboBoxCL::valueText() const
{
    return isEditable() ? getText() : ListControlCL::valueText();
}

SortedComboBoxCL::SortedComboBoxCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* text,
                                   int controlId)
    : ComboBoxCL(parentWindow, g, controlStyle | CBS_SIMPLE | CBS_SORT, text, controlId)
{
    createControlWindow();
}
