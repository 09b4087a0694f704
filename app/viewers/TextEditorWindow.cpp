#include "TextEditorWindow.h"

#include "Application.h"
#include "EditorWindowRules.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "Menu.h"
#include "ResString.h"
#include "strings/MessagesStrings.h"
#include "strings/NnStrings.h"
#include "strings/ViewersStrings.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {


const int32_t kMaximumText = 0x7FFFFFFF;
const DWORD kButtonStyle = 0x30;
const int kButtonWidth = 27;
const int kButtonHeight = 25;
const int kStartGap = 4;

// The tool bar's buttons: command and bitmap.
struct EditorButton {
    int command;
    int bitmap;
};
const EditorButton kEditorButtons[] = {
    {EDITOR_CUT, 9034},
    {EDITOR_COPY, 9035},
    {EDITOR_PASTE, 9036},
};

// Bits of a key message's lParam.
const LPARAM kExtendedKey = 1 << 24;
const LPARAM kAltDown = 1 << 29;

std::string formatted(unsigned int id, const char* name)
{
    const char* format = getResString(id);
    std::vector<char> text(strlen(format) + strlen(name ? name : "") + 1);
    snprintf(text.data(), text.size(), format, name ? name : "");
    return text.data();
}

} // namespace

// ---------------------------------------------------------------- EditorTextControl

EditorTextControl::EditorTextControl(WindowCL* parentWindow, Geometry* g, int32_t maximumSize, int readOnlyFlag)
    : TextEditCtrlCL(parentWindow, g, maximumSize), readOnly(readOnlyFlag)
{
}

LRESULT EditorTextControl::onChar(EventRecord* event)
{
    if (!readOnly)
        return 0;
    return readOnlySwallowsChar(static_cast<unsigned>(event->wParam), (event->lParam & kExtendedKey) != 0,
                                (event->lParam & kAltDown) != 0)
               ? 1
               : 0;
}

LRESULT EditorTextControl::onKeyDown(EventRecord* event)
{
    if (!readOnly)
        return 0;
    return readOnlySwallowsKey(static_cast<unsigned>(event->wParam), (event->lParam & kExtendedKey) != 0,
                               (event->lParam & kAltDown) != 0)
               ? 1
               : 0;
}

// ---------------------------------------------------------------- EditorToolBar

EditorToolBar::EditorToolBar(WindowCL* parentWindow)
    : ToolBarCL(parentWindow, new EdgeLayout(PLACE_TOP, 0, kEditorToolBarHeight), 0x001)
{
    int position = 1;
    addSpacer(position++, Point(kStartGap, 0));
    for (const EditorButton& b : kEditorButtons) {
        BmpButtonCL* button = new BmpButtonCL(this, new BarItemLayout(position++, Point(kButtonWidth, kButtonHeight)),
                                              kButtonStyle, "", b.command, nullptr);
        if (!button->loadBitmap(ResourceId(b.bitmap)))
            reportError(ERR_FATAL, "Assertion failed: %s", "edit_tp_image");
    }
    rebuildLayout();
}

// ---------------------------------------------------------------- TextEditorWindow

TextEditorWindow::TextEditorWindow(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text,
                                   String name, int readOnlyFlag)
    : DialogFrameCL(parentWindow, g, windowStyle, text), editControl(nullptr), fileName(name), clipboard(nullptr),
      readOnly(readOnlyFlag), saved(0), font(nullptr), toolBar(nullptr), statusBar(nullptr)
{
    // 2. A file that cannot be opened for appending is shown read-only.
    if (FILE* probe = openFile(fileName.text(), "at"))
        fclose(probe);
    else
        readOnly = 1;
    // 3.
    new Menu(this, ResourceId(kEditorMenu));
    if (Menu* m = getMenu())
        m->onInitMenu(this, &TextEditorWindow::onInitMenu);
    // 4.
    setTitle(editorWindowTitle(text, readOnly != 0).c_str());
    // 5.
    clipboard = new Clipboard(this);
    // 6.
    toolBar = new EditorToolBar(this);
    if (!toolBar->hwnd)
        reportError(ERR_FATAL, "Assertion failed: %s", "edit_tp_image");
    toolBar->show(SW_SHOW);
    // 7.
    statusBar = new FrameStatusBarCL(this, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    if (!statusBar->hwnd)
        reportError(ERR_FATAL, "Assertion failed: %s", "status_line");
    new NumLockField(statusBar, PLACE_RIGHT, -1);
    new CapsLockField(statusBar, PLACE_RIGHT, -1, "CAPS ON", "");
    new StatusField(statusBar, PLACE_REST, nullptr, kEditorMenuHelpField, 0x401);
    statusBar->setMenuHelpField(kEditorMenuHelpField);
    statusBar->show(SW_SHOW);
    // 8.
    toolBar->enableButton(EDITOR_CUT, readOnly ? 0 : 1);
    toolBar->enableButton(EDITOR_PASTE, readOnly ? 0 : 1);
    toolBar->enableButton(EDITOR_COPY, 1);
    // 9.
    editControl = new EditorTextControl(this, new FillLayout, kMaximumText, readOnly);
    editControl->AddEventHandler(editControl, &EditorTextControl::onKeyDown, WM_SYSKEYDOWN);
    editControl->AddEventHandler(editControl, &EditorTextControl::onKeyDown, WM_KEYDOWN);
    // The filters let the context menu's Paste and Delete, Shift+Insert and
    // the keypad's Delete through; a read-only control refuses them all and
    // still copies.
    if (readOnly && editControl->hwnd)
        SendMessageA(editControl->hwnd, EM_SETREADONLY, TRUE, 0);
    focusEditor();
    // 10.
    font = new Font(StockObject{SYSTEM_FIXED_FONT});
    SendMessageA(editControl->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->font()), TRUE);
    editControl->show(SW_SHOW);
    editControl->style |= ES_WANTRETURN;
    editControl->updateStyle();
    focusEditor();
    if (geometry)
        geometry->layout(nullptr);
    // 11.
    if (!editControl->loadFile(fileName.text())) {
        const std::string message = formatted(kStrCannotOpen, fileName.text());
        MessageBoxObject(this, message.c_str(), getResString(kStrEditorCaption), MB_OK | MB_ICONSTOP);
    }
    // 12.
    centerWindow(this, 1);
    show(SW_SHOW);
    runModal();
}

TextEditorWindow::~TextEditorWindow()
{
    delete editControl;
    editControl = nullptr;
    delete font;
    delete clipboard;
}

void TextEditorWindow::focusEditor()
{
    if (editControl && editControl->isWindow())
        SetFocus(editControl->hwnd);
}

LRESULT TextEditorWindow::onActivate(EventRecord* event)
{
    DialogFrameCL::onActivate(event);
    if (LOWORD(event->wParam) != WA_INACTIVE)
        focusEditor();
    return 1;
}

LRESULT TextEditorWindow::onFocus(EventRecord*)
{
    focusEditor();
    return 1;
}

LRESULT TextEditorWindow::onInitMenu(EventRecord*)
{
    Menu* m = getMenu();
    if (!m || !editControl)
        return 0;
    int start = 0, end = 0;
    editControl->getSelection(start, end);
    EditorState state;
    state.readOnly = readOnly != 0;
    state.hasSelection = end > start;
    state.clipboardHasText = clipboard->hasText();
    state.modified = editControl->isModified() != 0;
    for (int command : {EDITOR_COPY, EDITOR_PASTE, EDITOR_CUT, EDITOR_SAVE_AND_CLOSE})
        m->grayItem(command, editorCommandEnabled(command, state) ? 0 : 1);
    return 0;
}

int TextEditorWindow::canClose()
{
    EditorState state = {readOnly != 0, false, false, editControl && editControl->isModified() != 0};
    if (!editorAsksBeforeClose(state))
        return 1;
    const std::string question = formatted(kStrEditorDiscardChanges, fileName.text());
    return MessageBoxObject(this, question.c_str(), getResString(kStrEditorCaption),
                            MB_YESNO | MB_ICONSTOP | MB_SYSTEMMODAL)
                   .answer == IDYES
               ? 1
               : 0;
}

LRESULT TextEditorWindow::onClose(EventRecord*)
{
    return canClose() ? 0 : 1;
}

void TextEditorWindow::saveAndClose()
{
    // The menu greys the entry for a read-only or unchanged text; a command
    // that comes anyway writes nothing over a read-only file.
    if (readOnly)
        return;
    if (editControl->saveFile(fileName.text())) {
        saved = 1;
        endDialog();
        return;
    }
    // A mended fault: a failed save closed the window and lost the edits.
    // The window stays open with its text, and the old file stays as it was.
    const std::string message = formatted(kStrSaveFailed, fileName.text());
    MessageBoxObject(this, message.c_str(), getResString(kStrEditorCaption), MB_OK | MB_ICONSTOP);
}

LRESULT TextEditorWindow::onCommand(EventRecord* event)
{
    // Notifications of the edit control are no commands.
    if (event->lParam && HIWORD(event->wParam) != 0 && HIWORD(event->wParam) != BN_CLICKED)
        return 0;
    switch (LOWORD(event->wParam)) {
    case EDITOR_SAVE_AND_CLOSE:
        saveAndClose();
        return 1;
    case EDITOR_CLOSE:
        if (canClose())
            endDialog();
        return 1;
    case EDITOR_CUT:
        if (!readOnly)
            editControl->cut();
        return 1;
    case EDITOR_COPY:
        editControl->copy();
        return 1;
    case EDITOR_PASTE:
        if (!readOnly && clipboard->hasText())
            editControl->paste();
        return 1;
    default:
        return 0;
    }
}
