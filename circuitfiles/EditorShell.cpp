#include "EditorShell.h"

namespace {

EditorShell* installed = nullptr;

} // namespace

EditorShell* editorShell()
{
    return installed;
}

EditorShell* setEditorShell(EditorShell* shell)
{
    EditorShell* previous = installed;
    installed = shell;
    return previous;
}
