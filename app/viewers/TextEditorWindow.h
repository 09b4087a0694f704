// The text editor window: one text file, normally a block's model-language
// source, in a plain multi-line editor with a menu, a small tool bar and a
// status bar. It edits the file and saves it on request, or shows it
// read-only. It runs modally inside its constructor; afterwards the caller
// reads the saved flag and deletes the window.
#ifndef KYT_APP_TEXTEDITORWINDOW_H
#define KYT_APP_TEXTEDITORWINDOW_H

#include "Clipboard.h"
#include "DeviceContext.h"
#include "Dialog.h"
#include "StatusBar.h"
#include "String.h"
#include "TextEditCtrl.h"
#include "ToolBar.h"

// The editing control: in read-only mode it swallows typing and the Delete
// key, but lets Ctrl+C through.
class EditorTextControl : public TextEditCtrlCL {
public:
    EditorTextControl(WindowCL* parent, Geometry* geometry, int32_t maximumSize, int readOnly);

    LRESULT onChar(EventRecord* event) override;
    LRESULT onKeyDown(EventRecord* event);

    int readOnly;
};

// The tool bar: cut, copy and paste after a 4-pixel gap.
class EditorToolBar : public ToolBarCL {
public:
    explicit EditorToolBar(WindowCL* parent);
};

class TextEditorWindow : public DialogFrameCL {
public:
    TextEditorWindow(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, String fileName,
                     int readOnly);
    ~TextEditorWindow() override;

    LRESULT onActivate(EventRecord* event) override;
    // A non-zero result keeps the window open.
    LRESULT onClose(EventRecord* event) override;
    LRESULT onCommand(EventRecord* event) override;
    LRESULT onFocus(EventRecord* event) override;

    // 1 when the window may close: read-only, unchanged, or the user agreed
    // to drop the changes.
    int canClose();

    EditorTextControl* editControl;
    String fileName;
    Clipboard* clipboard;
    int readOnly;
    int saved;
    Font* font;
    EditorToolBar* toolBar;
    FrameStatusBarCL* statusBar;

private:
    LRESULT onInitMenu(EventRecord* event);
    void saveAndClose();
    void focusEditor();
};

// Resources of the window.
const int kEditorMenu = 129;
const int kEditorMenuHelpField = 234;
const int kEditorToolBarHeight = 29;

#endif
