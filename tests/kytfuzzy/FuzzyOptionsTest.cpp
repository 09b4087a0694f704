#include "FuzzyOptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

class FuzzyOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/kytfuzzysetXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        options.setTempDir(dir);
    }
    void TearDown() override
    {
        remove(options.settingsPath().c_str());
        rmdir(dir.c_str());
    }
    void writeSettings(const std::string& text)
    {
        std::ofstream(options.settingsPath(), std::ios::binary) << text;
    }
    std::string settingsText()
    {
        std::ifstream in(options.settingsPath(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir;
    FuzzyOptions options;
};

TEST_F(FuzzyOptionsTest, ColourLines)
{
    options.readSettingsFile();
    EXPECT_EQ(FuzzyOptions::kDefaultColor, options.color);

    struct Case {
        const char* text;
        FuzzyPaneColor expected;
    } cases[] = {
        {"COLOR 1 2 3\n", {1, 2, 3, 0}},
        {"COLOR 1 2\n", FuzzyOptions::kBadColor},
        {"COLOR 1 -2 3\n", FuzzyOptions::kBadColor},
        {"COLOR 300 0 0\n", FuzzyOptions::kBadColor},
        {"COLOR 1 2 3 4\n", FuzzyOptions::kBadColor},
        {"FILE0 \"a.kyb\"\n", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        FuzzyOptions o;
        o.setTempDir(dir);
        writeSettings(c.text);
        o.readSettingsFile();
        EXPECT_EQ(c.expected, o.color) << c.text;
    }
}

TEST_F(FuzzyOptionsTest, RecentFileLines)
{
    writeSettings("COLOR 10 20 30\nFILE0 \"C:\\mit Blanks\\a b.kyb\"\nFILE2 \"c.kyb\"\nFILE7 \"x.kyb\"\nJUNK\n");
    options.readSettingsFile();
    EXPECT_EQ("C:\\mit Blanks\\a b.kyb", options.recentAt(0));
    EXPECT_EQ("", options.recentAt(1));
    EXPECT_EQ("c.kyb", options.recentAt(2));
    EXPECT_EQ(1, options.shownRecentCount());
    EXPECT_EQ("C:\\mit Blanks\\a b.kyb", options.getRecentFile(11037));
    EXPECT_EQ("", options.getRecentFile(11042));

    ASSERT_TRUE(options.writeSettingsFile());
    EXPECT_EQ("COLOR 10 20 30\nFILE0 \"C:\\mit Blanks\\a b.kyb\"\n", settingsText());
    FuzzyOptions back;
    back.setTempDir(dir);
    back.readSettingsFile();
    EXPECT_EQ(options.recentAt(0), back.recentAt(0));
    EXPECT_EQ(options.color, back.color);
}

TEST_F(FuzzyOptionsTest, AddRecentFileMovesToTheFront)
{
    for (const char* p : {"e", "d", "c", "b", "a"})
        options.addRecentFile(p);
    options.addRecentFile("c");
    const char* expected[] = {"c", "a", "b", "d", "e"};
    for (int i = 0; i < FuzzyOptions::kRecentCount; ++i)
        EXPECT_EQ(expected[i], options.recentAt(i)) << i;
    options.addRecentFile("f");
    EXPECT_EQ("f", options.recentAt(0));
    EXPECT_EQ("d", options.recentAt(4));
}

} // namespace
