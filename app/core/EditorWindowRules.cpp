#include "EditorWindowRules.h"

#include "ResString.h"
#include "strings/ViewersStrings.h"

namespace {

const unsigned kDeleteKey = 0x2E;
const unsigned kCtrlC = 3;

} // namespace

bool editorCommandEnabled(int command, const EditorState& state)
{
    switch (command) {
    case EDITOR_COPY:
        return state.hasSelection;
    case EDITOR_PASTE:
        return !state.readOnly && state.clipboardHasText;
    case EDITOR_CUT:
        return !state.readOnly && state.hasSelection;
    case EDITOR_SAVE_AND_CLOSE:
        return !state.readOnly && state.modified;
    default:
        return true;
    }
}

bool editorAsksBeforeClose(const EditorState& state)
{
    return !state.readOnly && state.modified;
}

bool readOnlySwallowsKey(unsigned virtualKey, bool extended, bool alt)
{
    return virtualKey == kDeleteKey && extended && !alt;
}

bool readOnlySwallowsChar(unsigned code, bool extended, bool alt)
{
    return !(code == kCtrlC && !extended && !alt);
}

std::string editorWindowTitle(const char* title, bool readOnly)
{
    std::string text = title ? title : "";
    if (readOnly)
        text += getResString(kStrReadOnlySuffix);
    return text;
}
