#include "MainCommandRules.h"

#include <gtest/gtest.h>

namespace {

TEST(MainCommandRulesTest, GridSteps)
{
    struct Case {
        bool larger;
        int width, height;
        bool refused;
        int newWidth, newHeight;
    } cases[] = {
        {true, 41, 41, false, 42, 42},
        {false, 41, 41, false, 40, 40},
        {false, 2, 2, false, 1, 1},
        {false, 1, 5, true, 1, 5},
        {false, 5, 1, true, 5, 1},
        {true, 1, 1, false, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + (c.larger ? " larger" : " smaller"));
        GridStep step = c.larger ? zoomIn(c.width, c.height) : zoomOut(c.width, c.height);
        EXPECT_EQ(c.refused, step.refused);
        EXPECT_EQ(c.newWidth, step.width);
        EXPECT_EQ(c.newHeight, step.height);
    }
}

TEST(MainCommandRulesTest, DisplaySwitches)
{
    struct Case {
        const char* what;
        DisplayFlags before;
        int command;
        DisplayFlags after;
    } cases[] = {
        {"grid off", {0, 0, 0}, 4009, {1, 0, 0}},
        {"grid on again", {1, 1, 1}, 4009, {0, 1, 1}},
        {"signal names on", {0, 0, 0}, 4011, {0, 1, 0}},
        {"signal names off, lines stay hidden", {0, 1, 1}, 4011, {0, 0, 1}},
        {"hiding the lines shows the names", {0, 0, 0}, 4012, {0, 1, 1}},
        {"showing the lines keeps the names", {0, 1, 1}, 4012, {0, 1, 0}},
        {"other commands change nothing", {1, 0, 1}, 4013, {1, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DisplayFlags f = toggleDisplay(c.command, c.before);
        EXPECT_EQ(c.after.gridOff, f.gridOff);
        EXPECT_EQ(c.after.showSignalNames, f.showSignalNames);
        EXPECT_EQ(c.after.hideLines, f.hideLines);
        EXPECT_EQ(f.gridOff != 0, displayChecked(4009, f));
        EXPECT_EQ(f.showSignalNames != 0, displayChecked(4011, f));
        EXPECT_EQ(f.hideLines != 0, displayChecked(4012, f));
    }
}

TEST(MainCommandRulesTest, SaveRoutesAndReplaceQuestions)
{
    EXPECT_EQ(SAVE_NOTHING, saveRoute(112, true, true));
    EXPECT_EQ(SAVE_NOTHING, saveRoute(18021, true, true));
    EXPECT_EQ(SAVE_IN_PLACE, saveRoute(112, false, true));
    // An unnamed circuit is saved as Save as saves.
    EXPECT_EQ(SAVE_ASK_NAME, saveRoute(112, false, false));
    EXPECT_EQ(SAVE_ASK_NAME, saveRoute(141, false, true));
    EXPECT_EQ(SAVE_ASK_NAME, saveRoute(18021, false, true));

    const std::string own = "C:\\kyt\\regler.kyt";
    EXPECT_FALSE(asksBeforeReplacing(141, own, own, true));
    EXPECT_TRUE(asksBeforeReplacing(141, "C:\\kyt\\anders.kyt", own, true));
    EXPECT_FALSE(asksBeforeReplacing(141, "C:\\kyt\\neu.kyt", own, false));
    EXPECT_TRUE(asksBeforeReplacing(18021, "C:\\frag\\regler.kyf", own, true));
    EXPECT_FALSE(asksBeforeReplacing(18021, "C:\\frag\\neu.kyf", own, false));
}

TEST(MainCommandRulesTest, FileDialogsAndNames)
{
    struct Case {
        int command;
        unsigned int title;
        unsigned int filter;
        const char* pattern;
        bool save;
        const char* chosen;
        const char* completed;
    } cases[] = {
        {111, 19109, 19108, "*.kyt", false, "regler", "regler.kyt"},
        {1126, 19109, 19108, "*.kyt", false, "D:\\a.b\\x", "D:\\a.b\\x.kyt"},
        {112, 19110, 19108, "*.kyt", true, "regler.txt", "regler.txt"},
        {141, 19110, 19108, "*.kyt", true, "regler", "regler.kyt"},
        {18021, 18025, 18023, "*.kyf", true, "teil", "teil.kyf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const FileDialogRow* row = fileDialogOf(c.command);
        ASSERT_NE(nullptr, row);
        EXPECT_EQ(c.title, row->title);
        EXPECT_EQ(c.filter, row->filterText);
        EXPECT_STREQ(c.pattern, row->pattern);
        EXPECT_EQ(c.save, row->save);
        EXPECT_EQ(c.completed, withCommandExtension(c.command, c.chosen));
    }
    EXPECT_EQ(nullptr, fileDialogOf(9003));

    struct Proposal {
        const char* circuit;
        const char* fragment;
    } proposals[] = {
        {"example.kyt", "example.kyf"},
        {"EXAMPLE.KYT", "EXAMPLE.kyf"},
        {".kyt", ".kyf"},
        {"kyt", "kyt"},
        {"(unbenannt)", "(unbenannt)"},
        {"regler.kyt.bak", "regler.kyt.bak"},
        {"", ""},
    };
    for (const Proposal& p : proposals)
        EXPECT_EQ(p.fragment, proposeFragmentName(p.circuit)) << p.circuit;
}

TEST(MainCommandRulesTest, ToolCursors)
{
    EXPECT_EQ(122, toolCursor(1267));
    EXPECT_EQ(121, toolCursor(1268));
    EXPECT_EQ(1127, toolCursor(1269));
    EXPECT_EQ(0, toolCursor(1270));
}

} // namespace
