// The application shell's windows that the editor's dialogs open: the text
// editor on a file (modal) and the help viewer on a text. The program
// installs its shell; tests install a fake.
#ifndef KYT_CIRCUITFILES_EDITORSHELL_H
#define KYT_CIRCUITFILES_EDITORSHELL_H

class EditorShell {
public:
    virtual ~EditorShell() {}
    // Opens the file in the text editor, modally, read-only or editable;
    // 1 when the user saved it.
    virtual int editFile(const char* path, int readOnly) = 0;
    // Shows a text in a help viewer titled title.
    virtual void showText(const char* title, const char* text) = 0;
};

// The installed shell; null when there is none (nothing is opened then).
EditorShell* editorShell();
// Installs a shell; returns the previous one.
EditorShell* setEditorShell(EditorShell* shell);

#endif
