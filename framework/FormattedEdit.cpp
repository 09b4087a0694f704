#include "FormattedEdit.h"

#include "Clipboard.h"
#include "NumericMask.h"
#include "PictureMask.h"
#include "String.h"

#include <cstdio>
#include <cstring>

namespace {

bool held(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

FieldFormatter* filterFor(uint32_t flags)
{
    return (flags & 0xC037) ? new CharFilter(flags) : nullptr;
}

} // namespace

// ---------------------------------------------------------------- FormattedEditCL

FormattedEditCL::FormattedEditCL(WindowCL* parentWindow, int controlId, FieldFormatter* f, uint32_t flagsWord)
    : BorderEditCL(parentWindow, controlId)
{
    initFormatted(f, flagsWord);
    if (formatter) {
        std::string text;
        Selection sel{0, 0};
        char none = 0;
        if (formatter->apply(text, &none, 0, sel) == APPLY_DONE)
            showEdit(text, sel);
    } else {
        setSelection(0, 0);
    }
}

FormattedEditCL::FormattedEditCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, const char* initialText,
                                 int controlId, FieldFormatter* f, uint32_t flagsWord)
    : BorderEditCL(parentWindow, g, controlStyle, nullptr, controlId)
{
    initFormatted(f, flagsWord);
    if (formatter) {
        std::string text;
        std::string chars = initialText ? initialText : "";
        if (chars.size() > static_cast<size_t>(kMaxFieldText))
            chars.clear();
        Selection sel{0, 0};
        char none = 0;
        if (formatter->apply(text, chars.empty() ? &none : &chars[0], static_cast<int>(chars.size()), sel) ==
            APPLY_DONE)
            showEdit(text, sel);
    }
}

void FormattedEditCL::initFormatted(FieldFormatter* f, uint32_t flagsWord)
{
    formatter = f;
    flags = flagsWord;
    swallowNextChar = 0;
    if (hwnd) {
        AddEventHandler(this, &FormattedEditCL::onKeyDown, WM_KEYDOWN);
        AddEventHandler(this, &FormattedEditCL::onCut, WM_CUT);
        AddEventHandler(this, &FormattedEditCL::onPaste, WM_PASTE);
    }
}

FormattedEditCL::~FormattedEditCL()
{
    RemoveEventHandler(this, &FormattedEditCL::onKeyDown, WM_KEYDOWN);
    RemoveEventHandler(this, &FormattedEditCL::onCut, WM_CUT);
    RemoveEventHandler(this, &FormattedEditCL::onPaste, WM_PASTE);
    delete formatter;
    formatter = nullptr;
}

std::string FormattedEditCL::shownText() const
{
    return getText().text();
}

Selection FormattedEditCL::currentSelection() const
{
    Selection sel{0, 0};
    getSelection(sel.start, sel.end);
    return sel;
}

void FormattedEditCL::showEdit(const std::string& text, const Selection& selection)
{
    setText(text.c_str());
    setSelection(selection.start, selection.end);
}

int FormattedEditCL::insertText(const char* text)
{
    const char* t = text ? text : "";
    size_t length = std::strlen(t);
    // Longer than any field holds: refused as a whole, never cut or overrun.
    if (length > static_cast<size_t>(kMaxFieldText))
        return 0;
    if (!formatter) {
        setText(t);
        return 1;
    }
    std::string shown = shownText();
    Selection sel = currentSelection();
    std::string chars(t);
    char none = 0;
    int r = formatter->apply(shown, length ? &chars[0] : &none, static_cast<int>(length), sel);
    if (r == APPLY_DONE)
        showEdit(shown, sel);
    else if (r == APPLY_AS_TYPED)
        replaceSelection(chars.c_str());
    return 1;
}

String FormattedEditCL::getValue(uint32_t flagsWord)
{
    std::string text = shownText();
    if (formatter)
        formatter->strip(text, flagsWord);
    return String(text.c_str());
}

int FormattedEditCL::validate()
{
    if (!formatter)
        return 1;
    Selection sel{0, 32767};
    if (!formatter->validate(shownText(), sel)) {
        setSelection(sel.start, sel.end);
        return 0;
    }
    return 1;
}

void FormattedEditCL::deleteForward(bool copyFirst)
{
    std::string text = shownText();
    Selection sel = currentSelection();
    char request = kDeleteRequest;
    if (formatter->apply(text, &request, 2, sel) == APPLY_DONE) {
        if (copyFirst)
            SendMessageA(hwnd, WM_COPY, 0, 0);
        showEdit(text, sel);
    }
}

void FormattedEditCL::pasteClipboard()
{
    Clipboard clipboard(hwnd);
    if (!clipboard.hasText())
        return;
    char* text = clipboard.getText();
    if (text) {
        insertText(text);
        delete[] text;
    }
}

LRESULT FormattedEditCL::onKeyDown(EventRecord* event)
{
    if (!formatter)
        return 0;
    const bool shift = held(VK_SHIFT);
    const bool ctrl = held(VK_CONTROL);
    // Only the keys that Windows turns into a character as well (Ctrl+C,
    // Ctrl+V, Ctrl+X) mark the next character message as theirs: Insert and
    // Delete make none, and marking them would drop the next typed key.
    switch (event->wParam) {
    case VK_INSERT:
        if (shift) {
            pasteClipboard();
            return 1;
        }
        if (ctrl) {
            SendMessageA(hwnd, WM_COPY, 0, 0);
            return 1;
        }
        return 0;
    case VK_DELETE:
        deleteForward(shift);
        return 1;
    case 'C':
        if (!ctrl)
            return 0;
        swallowNextChar = 1;
        SendMessageA(hwnd, WM_COPY, 0, 0);
        return 1;
    case 'V':
        if (!ctrl)
            return 0;
        swallowNextChar = 1;
        pasteClipboard();
        return 1;
    case 'X':
        if (!ctrl)
            return 0;
        swallowNextChar = 1;
        deleteForward(true);
        return 1;
    default:
        return 0;
    }
}

LRESULT FormattedEditCL::onCut(EventRecord*)
{
    if (!formatter)
        return 0;
    deleteForward(true);
    return 1;
}

LRESULT FormattedEditCL::onPaste(EventRecord*)
{
    if (formatter) {
        pasteClipboard();
        return 1;
    }
    // Without a formatter the edit pastes, but never more than a field holds.
    Clipboard clipboard(hwnd);
    char* text = clipboard.hasText() ? clipboard.getText() : nullptr;
    bool tooLong = text && std::strlen(text) > static_cast<size_t>(kMaxFieldText);
    delete[] text;
    return tooLong ? 1 : 0;
}

LRESULT FormattedEditCL::onChar(EventRecord* event)
{
    if (!formatter || (event->lParam & (1 << 29)) || (GetWindowLongA(hwnd, GWL_STYLE) & ES_READONLY))
        return 0;
    if (swallowNextChar) {
        swallowNextChar = 0;
        return 1;
    }
    char c = static_cast<char>(event->wParam);
    if (c == '\r')
        return 1;
    if (c == 27) {
        // As a dialog does with Esc: the Cancel button's command.
        if (parent && parent->hwnd)
            PostMessageA(parent->hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(parent->hwnd, IDCANCEL)));
        return 1;
    }
    // Other control characters are the edit control's own (Ctrl+A and the like).
    if (static_cast<unsigned char>(c) < 0x20 && c != kDeleteRequest)
        return 0;
    std::string text = shownText();
    Selection sel = currentSelection();
    int r = formatter->apply(text, &c, 1, sel);
    if (r == APPLY_DONE) {
        showEdit(text, sel);
        return 1;
    }
    if (r == APPLY_REFUSED)
        return 1;
    event->wParam = static_cast<unsigned char>(c);
    return 0;
}

// ---------------------------------------------------------------- IntFieldCL

const char* const IntFieldCL::kDefaultMask = "-#####";

IntFieldCL::IntFieldCL(WindowCL* parentWindow, int controlId, int* variable, const char* mask, uint32_t flagsWord)
    : FormattedEditCL(parentWindow, controlId, new NumericMask(flagsWord, mask), flagsWord), value(variable)
{
    loadValue();
}

IntFieldCL::IntFieldCL(WindowCL* parentWindow, int controlId, int* variable, FieldFormatter* f, uint32_t flagsWord)
    : FormattedEditCL(parentWindow, controlId, f, flagsWord), value(variable)
{
    loadValue();
}

IntFieldCL::IntFieldCL(WindowCL* parentWindow, int controlId, int* variable, uint32_t flagsWord)
    : FormattedEditCL(parentWindow, controlId, new NumericMask(flagsWord, kDefaultMask), flagsWord), value(variable)
{
    loadValue();
}

IntFieldCL::IntFieldCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, int controlId, int* variable,
                       const char* mask, uint32_t flagsWord)
    : FormattedEditCL(parentWindow, g, controlStyle, nullptr, controlId, new NumericMask(flagsWord, mask), flagsWord),
      value(variable)
{
    loadValue();
}

IntFieldCL::IntFieldCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, int controlId, int* variable,
                       FieldFormatter* f, uint32_t flagsWord)
    : FormattedEditCL(parentWindow, g, controlStyle, nullptr, controlId, f, flagsWord), value(variable)
{
    loadValue();
}

IntFieldCL::IntFieldCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, int controlId, int* variable,
                       uint32_t flagsWord)
    : FormattedEditCL(parentWindow, g, controlStyle, nullptr, controlId, new NumericMask(flagsWord, kDefaultMask),
                      flagsWord),
      value(variable)
{
    loadValue();
}

int IntFieldCL::loadValue()
{
    if (!hwnd)
        return 0;
    int shownValue = value ? *value : 0;
    char text[16];
    std::snprintf(text, sizeof text, shownValue >= 0 ? "+%d" : "%d", shownValue);
    setSelection(0, 32767);
    insertText(text);
    int caret = formatter ? formatter->firstInputPos(shownText()) : 0;
    setSelection(caret, caret);
    return 1;
}

int IntFieldCL::validate()
{
    if (!FormattedEditCL::validate())
        return 0;
    // A mask of ten or more digits lets values through that no int holds:
    // such a field is invalid rather than stored wrapped.
    std::string plain = getValue(flags).text();
    int number = 0;
    if (!readPlainInt(plain, number)) {
        int end = static_cast<int>(shownText().size());
        setSelection(end, end);
        return 0;
    }
    return 1;
}

int IntFieldCL::storeValue()
{
    if (!value)
        return 0;
    int number = 0;
    if (readPlainInt(getValue(flags).text(), number))
        *value = number;
    return 1;
}

// ---------------------------------------------------------------- StringFieldCL

StringFieldCL::StringFieldCL(WindowCL* parentWindow, int controlId, String* variable, const char* mask,
                             uint32_t flagsWord)
    : FormattedEditCL(parentWindow, controlId, new PictureMask(flagsWord, mask), flagsWord), value(variable)
{
    loadValue();
}

StringFieldCL::StringFieldCL(WindowCL* parentWindow, int controlId, String* variable, FieldFormatter* f,
                             uint32_t flagsWord)
    : FormattedEditCL(parentWindow, controlId, f, flagsWord), value(variable)
{
    loadValue();
}

StringFieldCL::StringFieldCL(WindowCL* parentWindow, int controlId, String* variable, uint32_t flagsWord)
    : FormattedEditCL(parentWindow, controlId, filterFor(flagsWord), flagsWord), value(variable)
{
    loadValue();
}

StringFieldCL::StringFieldCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, int controlId,
                             String* variable, const char* mask, uint32_t flagsWord)
    : FormattedEditCL(parentWindow, g, controlStyle, nullptr, controlId, new PictureMask(flagsWord, mask), flagsWord),
      value(variable)
{
    loadValue();
}

StringFieldCL::StringFieldCL(WindowCL* parentWindow, Geometry* g, DWORD controlStyle, int controlId,
                             String* variable, uint32_t flagsWord)
    : FormattedEditCL(parentWindow, g, controlStyle, nullptr, controlId, filterFor(flagsWord), flagsWord),
      value(variable)
{
    loadValue();
}

String* StringFieldCL::bind(String* variable)
{
    String* previous = value;
    value = variable;
    return previous;
}

int StringFieldCL::loadValue()
{
    if (!hwnd)
        return 0;
    String empty;
    const String& shown = value ? *value : empty;
    setSelection(0, 32767);
    insertText(shown.text());
    int caret = formatter ? formatter->firstInputPos(shownText()) : 0;
    setSelection(caret, caret);
    return 1;
}

int StringFieldCL::storeValue()
{
    if (!value)
        return 0;
    std::string text = shownText();
    if (formatter)
        formatter->strip(text, flags);
    *value = text.c_str();
    return 1;
}
