#include "MainCommandTable.h"
#include "ResString.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

TEST(MainCommandTableTest, EveryIdHasOneRow)
{
    std::set<int> seen;
    for (size_t i = 0; i < mainCommandRowCount(); ++i) {
        const MainCommandRow& row = mainCommandRows()[i];
        EXPECT_LE(row.firstId, row.lastId);
        EXPECT_NE(MAIN_UNKNOWN, row.handler);
        for (int id = row.firstId; id <= row.lastId; ++id) {
            EXPECT_TRUE(seen.insert(id).second) << id << " twice";
            EXPECT_EQ(&row, findMainCommand(id));
        }
    }
    // Five recent files, nine plot windows and the active one, 34 others.
    EXPECT_EQ(5u + 10u + 34u, seen.size());
    for (int id : {142, 4013, 4014, 4015, 4016, 4018, 9004, 9032, 12345, 0, 200, 210})
        EXPECT_EQ(nullptr, findMainCommand(id)) << id;
}

TEST(MainCommandTableTest, HandlersOfSomeIds)
{
    struct Case {
        int id;
        MainCommandHandler handler;
    } cases[] = {
        {2103, MAIN_RECENT_FILE}, {1105, MAIN_RECENT_FILE}, {205, MAIN_PLOT_TO_FRONT}, {230, MAIN_PLOT_TO_FRONT},
        {1268, MAIN_TOOL},        {4012, MAIN_DISPLAY_SWITCH}, {18010, MAIN_HELP},  {112, MAIN_SAVE},
    };
    for (const Case& c : cases) {
        const MainCommandRow* row = findMainCommand(c.id);
        ASSERT_NE(nullptr, row) << c.id;
        EXPECT_EQ(c.handler, row->handler) << c.id;
    }
}

// Accelerator table 130 as the rows give it.
TEST(MainCommandTableTest, AcceleratorTable)
{
    std::map<std::string, int> keys;
    for (size_t i = 0; i < mainCommandRowCount(); ++i) {
        const MainCommandRow& row = mainCommandRows()[i];
        if (row.key == KEY_NONE)
            continue;
        std::string name;
        if (row.key >= 'A' && row.key <= 'Z')
            name = std::string(row.ctrl ? "Ctrl+" : "") + static_cast<char>(row.key);
        else
            name = "F" + std::to_string(row.key - 0x70 + 1);
        EXPECT_TRUE(keys.emplace(name, row.firstId).second) << name << " twice";
    }
    const std::map<std::string, int> expected = {
        {"Ctrl+B", 9031}, {"Ctrl+D", 1100}, {"Ctrl+G", 9008}, {"Ctrl+I", 4010}, {"Ctrl+N", 9003}, {"Ctrl+O", 111},
        {"Ctrl+P", 9001}, {"Ctrl+R", 140},  {"Ctrl+S", 112},  {"Ctrl+T", 230},  {"Ctrl+Z", 1118}, {"F2", 1267},
        {"F3", 1268},     {"F4", 1269},     {"F5", 9007},     {"F7", 9006},     {"F8", 9005},     {"F12", 141},
    };
    EXPECT_EQ(expected, keys);
}

// Every entry of a menu has its text, in the table or in the string table,
// and the text shows its accelerator.
TEST(MainCommandTableTest, MenuTexts)
{
    const char* const fileMenuTexts[] = {"&Neue Schaltung\tCtrl+N", "Ö&ffne Schaltung ...\tCtrl+O"};
    EXPECT_STREQ(fileMenuTexts[0], getResString(findMainCommand(9003)->menuString));
    EXPECT_STREQ(fileMenuTexts[1], getResString(findMainCommand(111)->menuString));
    for (size_t i = 0; i < mainCommandRowCount(); ++i) {
        const MainCommandRow& row = mainCommandRows()[i];
        SCOPED_TRACE(row.firstId);
        if (row.handler == MAIN_RECENT_FILE || (row.handler == MAIN_PLOT_TO_FRONT && row.firstId != 230)) {
            EXPECT_EQ(nullptr, row.menuText);
            continue;
        }
        EXPECT_TRUE((row.menuText != nullptr) != (row.menuString != 0));
        const std::string text = row.menuText ? row.menuText : getResString(row.menuString);
        EXPECT_FALSE(text.empty());
        if (row.key != KEY_NONE) {
            const std::string shown = text.substr(text.find('\t') + 1);
            if (row.ctrl)
                EXPECT_EQ(std::string("Ctrl+") + static_cast<char>(row.key), shown);
            else
                EXPECT_EQ("F" + std::to_string(row.key - 0x70 + 1), shown);
        }
    }
}

} // namespace
