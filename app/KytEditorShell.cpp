#include "KytEditorShell.h"

#include "HelpViewerWindow.h"
#include "TextEditorWindow.h"

#include <windows.h>

int KytEditorShell::editFile(const char* path, int readOnly)
{
    if (!path || !*path)
        return 0;
    TextEditorWindow* editor = new TextEditorWindow(owner, new Layout(0, 0, kSourceEditorWidth, kSourceEditorHeight),
                                                    WS_OVERLAPPEDWINDOW, path, String(path), readOnly);
    const int saved = editor->saved;
    delete editor;
    return saved;
}

void KytEditorShell::showText(const char* title, const char* text)
{
    // The viewer deletes itself when it is closed; no one keeps it.
    new HelpViewerWindow(owner, nullptr, WS_OVERLAPPEDWINDOW, title ? title : "", String(text ? text : ""), nullptr,
                         0);
}
