// What the editor pages share: the grey of their background, the creation
// of their labels, fields and lists at fixed pixel places, and the guard
// that keeps a commit from running again inside itself (a message box takes
// the focus from the field that is being committed).
#ifndef KYT_KYTFUZZY_PAGEKIT_H
#define KYT_KYTFUZZY_PAGEKIT_H

#include "Control.h"
#include "ErrorReporter.h"

#include <windows.h>

const Color kPageGrey(192, 192, 192);

// A created control, or the program's end naming the member and the source.
template <typename C>
C* assertControl(C* control, const char* member, const char* source)
{
    if (!control || !control->hwnd)
        reportError(ERR_FATAL, "Assertion failed: %s, file %s", member, source);
    return control;
}

inline StaticCL* pageLabel(WindowCL* page, int x, int y, int w, int h, const char* text, int id)
{
    StaticCL* label = new StaticCL(page, new Geometry(x, y, w, h), SS_LEFT, text, id);
    label->setBackColor(kPageGrey);
    label->show(SW_SHOW);
    return label;
}

// A field of the pages: Tab and Shift+Tab leave it for the next or the
// previous field of its page, as in a dialog (a multi-line edit would take
// the tab as a character and keep the focus). Leaving commits the field.
class PageFieldCL : public MultiEditCL {
public:
    PageFieldCL(WindowCL* page, Geometry* geometry, DWORD style, int id) : MultiEditCL(page, geometry, style, "", id) {}

    LRESULT defaultEvent(EventRecord* event) override
    {
        if (event->message == WM_CHAR && event->wParam == '\t')
            return 0;
        if (event->message == WM_KEYDOWN && event->wParam == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000)) {
            moveFocus((GetKeyState(VK_SHIFT) & 0x8000) != 0);
            return 0;
        }
        return MultiEditCL::defaultEvent(event);
    }

    // The next (or previous) tab stop of the page; with none but this field,
    // the page itself, so that the field is left all the same.
    void moveFocus(bool backwards)
    {
        if (!hwnd || !parent || !parent->hwnd)
            return;
        HWND next = GetNextDlgTabItem(parent->hwnd, hwnd, backwards ? TRUE : FALSE);
        SetFocus(next && next != hwnd ? next : parent->hwnd);
    }
};

// A one-line-high multi-line field: Enter scrolls it (EN_VSCROLL), so Enter
// and leaving the field (Tab among others) both commit.
inline MultiEditCL* pageField(WindowCL* page, int x, int y, int w, int h, DWORD style, String* buffer, int id)
{
    MultiEditCL* field = new PageFieldCL(page, new Geometry(x, y, w, h), style, id);
    field->bindBuffer(buffer);
    field->style |= ES_WANTRETURN;
    field->updateStyle();
    return field;
}

inline SortedComboBoxCL* pageList(WindowCL* page, int x, int y, int w, int h, String* buffer, int id)
{
    SortedComboBoxCL* list =
        new SortedComboBoxCL(page, new Geometry(x, y, w, h), CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, "", id);
    list->bindString(buffer);
    return list;
}

class CommitGuard {
public:
    explicit CommitGuard(bool& flag) : busy(flag), entered(!flag) { busy = true; }
    ~CommitGuard()
    {
        if (entered)
            busy = false;
    }
    // False inside another commit: the caller returns at once.
    bool entered_() const { return entered; }

private:
    bool& busy;
    bool entered;
};

#endif
