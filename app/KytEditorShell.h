// kyt's shell for the editor's dialogs: block sources and library index
// files open in the text editor window, block help texts in help viewers.
#ifndef KYT_APP_KYTEDITORSHELL_H
#define KYT_APP_KYTEDITORSHELL_H

#include "EditorShell.h"

class WindowCL;

// The text editor window on a file: 640 x 480, overlapped, the path as its
// title.
const int kSourceEditorWidth = 640;
const int kSourceEditorHeight = 480;

class KytEditorShell : public EditorShell {
public:
    explicit KytEditorShell(WindowCL* owner) : owner(owner) {}
    // Runs the text editor window modally over the owner; 1 when the file
    // was saved.
    int editFile(const char* path, int readOnly) override;
    // A help viewer of its own, which goes when it is closed.
    void showText(const char* title, const char* text) override;

private:
    WindowCL* owner;
};

#endif
