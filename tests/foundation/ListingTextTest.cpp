#include "ListingText.h"
#include "TempDirFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Lines "line 1" … "line n", each with its line feed.
std::string numberedLines(int n)
{
    std::string text;
    for (int i = 1; i <= n; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

std::string listedLine(int n)
{
    char field[16];
    snprintf(field, sizeof field, "%4d:   ", n);
    return field + std::string("line ") + std::to_string(n) + "\r\n";
}

// The listing of lines first..last as kyt shows them.
std::string listedLines(int first, int last)
{
    std::string text;
    for (int i = first; i <= last; ++i)
        text += listedLine(i);
    return text;
}

TEST(ListingTextTest, ExcerptAroundTheChosenLine)
{
    ScratchDir dir;
    std::string path = dir.write("f.txt", numberedLines(600));
    ListingStyle style = mainListingStyle();

    struct Case {
        int line;
        int first;
        int last;
        bool dotsBefore;
        bool dotsAfter;
    } cases[] = {
        {0, 1, 600, false, false},
        {3, 1, 103, false, true},
        {400, 250, 500, true, true},
        {550, 400, 600, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Listing l = loadListing(path.c_str(), c.line, style);
        std::string expected = (c.dotsBefore ? "...\r\n" : "") + listedLines(c.first, c.last) + (c.dotsAfter ? "..." : "");
        EXPECT_EQ(expected, l.text);
        EXPECT_EQ(1, l.result);
        EXPECT_EQ(c.first, l.firstLine);
        if (c.line == 0) {
            EXPECT_EQ(-1, l.highlightStart);
            continue;
        }
        // kyt selects from start + 1 to end: the text of the line behind
        // its number field, without the line end.
        std::string chosen = "line " + std::to_string(c.line);
        size_t at = l.text.find(listedLine(c.line));
        ASSERT_NE(std::string::npos, at);
        EXPECT_EQ(static_cast<int>(at), l.highlightStart);
        EXPECT_EQ(l.highlightStart + 8 + static_cast<int>(chosen.size()), l.highlightEnd);
    }
}

TEST(ListingTextTest, LongLinesAndLastLineWithoutLineEnd)
{
    ScratchDir dir;
    // 300 characters make two pieces of 253 and 47; each counts as a line.
    std::string path = dir.write("f.txt", std::string(300, 'x') + "\nend");
    Listing l = loadListing(path.c_str(), 0, mainListingStyle());
    EXPECT_EQ("   1:   " + std::string(253, 'x') + "\r\n   2:   " + std::string(47, 'x') + "\r\n   3:   end\r\n", l.text);
    EXPECT_EQ(1, l.result);
}

TEST(ListingTextTest, ProblemsEndUpInTheText)
{
    ScratchDir dir;
    ListingStyle style;
    style.linesBefore = 150;
    style.linesAfter = 100;
    style.highlightBehindNumber = false;
    style.cannotOpen = "kein %s";
    style.readError = "Lesefehler";
    style.tooLong = "zu lang";

    Listing missing = loadListing(dir.file("nirgends.txt").c_str(), 5, style);
    EXPECT_EQ("kein " + dir.file("nirgends.txt"), missing.text);
    EXPECT_EQ(0, missing.result);

    // 2000 lines of 20 characters pass the limit: what was read stays.
    std::string path = dir.write("lang.txt", numberedLines(2000));
    Listing big = loadListing(path.c_str(), 0, style);
    EXPECT_EQ(0, big.result);
    EXPECT_EQ(0u, big.text.find(listedLine(1)));
    ASSERT_GT(big.text.size(), kListingLimit);
    EXPECT_EQ("\r\nzu lang", big.text.substr(big.text.size() - 9));
}

} // namespace
