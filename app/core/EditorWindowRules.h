// The decisions of the text editor window that need no window: which menu
// entries are enabled, when closing asks, what read-only mode swallows, and
// the title.
#ifndef KYT_APP_EDITORWINDOWRULES_H
#define KYT_APP_EDITORWINDOWRULES_H

#include <string>

// Commands of the text editor window (menu 129 and its tool bar).
enum EditorWindowCommand {
    EDITOR_SAVE_AND_CLOSE = 131,
    EDITOR_CLOSE = 4017,
    EDITOR_CUT = 18043,
    EDITOR_COPY = 18044,
    EDITOR_PASTE = 18045
};

// What the window and its control know when a menu opens.
struct EditorState {
    bool readOnly;
    bool hasSelection;
    bool clipboardHasText;
    bool modified;
};

// Whether the menu enables the command; commands of no rule stay enabled.
bool editorCommandEnabled(int command, const EditorState& state);

// The close query asks only for a writable, modified text.
bool editorAsksBeforeClose(const EditorState& state);

// Read-only input: the Delete key (virtual key 0x2E as an extended key,
// without ALT) is swallowed, and every character but Ctrl+C (code 3, neither
// extended nor with ALT), so that the text can still be copied.
bool readOnlySwallowsKey(unsigned virtualKey, bool extended, bool alt);
bool readOnlySwallowsChar(unsigned code, bool extended, bool alt);

// The title, with " - schreibgeschützt" (string 18029) when read-only.
std::string editorWindowTitle(const char* title, bool readOnly);

#endif
