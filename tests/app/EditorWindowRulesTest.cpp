#include "EditorWindowRules.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorWindowRulesTest, MenuEntriesFollowSelectionClipboardAndChanges)
{
    struct Case {
        const char* what;
        EditorState state;
        bool cut, copy, paste, save;
    } cases[] = {
        {"fresh writable text", {false, false, false, false}, false, false, false, false},
        {"selection", {false, true, false, false}, true, true, false, false},
        {"clipboard text", {false, false, true, false}, false, false, true, false},
        {"modified", {false, false, false, true}, false, false, false, true},
        {"read-only copies only", {true, true, true, true}, false, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.cut, editorCommandEnabled(EDITOR_CUT, c.state));
        EXPECT_EQ(c.copy, editorCommandEnabled(EDITOR_COPY, c.state));
        EXPECT_EQ(c.paste, editorCommandEnabled(EDITOR_PASTE, c.state));
        EXPECT_EQ(c.save, editorCommandEnabled(EDITOR_SAVE_AND_CLOSE, c.state));
        EXPECT_TRUE(editorCommandEnabled(EDITOR_CLOSE, c.state));
        EXPECT_EQ(c.save, editorAsksBeforeClose(c.state));
    }
}

TEST(EditorWindowRulesTest, ReadOnlyFiltersLetOnlyCopyThrough)
{
    EXPECT_TRUE(readOnlySwallowsKey(0x2E, true, false));
    // The keypad Delete (not extended) and Alt+Delete pass the key filter;
    // the control's own read-only state stops them.
    EXPECT_FALSE(readOnlySwallowsKey(0x2E, false, false));
    EXPECT_FALSE(readOnlySwallowsKey(0x2E, true, true));
    EXPECT_FALSE(readOnlySwallowsKey(0x25, true, false));

    EXPECT_FALSE(readOnlySwallowsChar(3, false, false));
    EXPECT_TRUE(readOnlySwallowsChar(3, true, false));
    EXPECT_TRUE(readOnlySwallowsChar(3, false, true));
    EXPECT_TRUE(readOnlySwallowsChar('a', false, false));
    EXPECT_TRUE(readOnlySwallowsChar(22, false, false)); // Ctrl+V
    EXPECT_TRUE(readOnlySwallowsChar(8, false, false));  // Backspace
}

TEST(EditorWindowRulesTest, ReadOnlyTitle)
{
    EXPECT_EQ("block.kyb", editorWindowTitle("block.kyb", false));
    EXPECT_EQ("block.kyb - schreibgeschützt", editorWindowTitle("block.kyb", true));
}

} // namespace
