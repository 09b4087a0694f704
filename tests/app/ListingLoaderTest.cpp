// kyt's listing of a file around a line, as its listing viewer shows it.
#include "ListingText.h"
#include "ResString.h"
#include "TempDirFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string numberedLines(int n, const char* lineEnd = "\n")
{
    std::string text;
    for (int i = 1; i <= n; ++i)
        text += "line " + std::to_string(i) + lineEnd;
    return text;
}

std::string listed(int n, const std::string& text)
{
    char field[16];
    snprintf(field, sizeof field, "%4d:   ", n);
    return field + text + "\r\n";
}

std::string listedLines(int first, int last)
{
    std::string text;
    for (int i = first; i <= last; ++i)
        text += listed(i, "line " + std::to_string(i));
    return text;
}

// The highlighted range of the listing.
std::string highlighted(const Listing& l)
{
    if (l.highlightStart < 0)
        return "(none)";
    return l.text.substr(l.highlightStart, l.highlightEnd - l.highlightStart);
}

TEST(ListingLoaderTest, ExcerptsAroundTheChosenLine)
{
    ScratchDir dir;
    const std::string lf600 = dir.write("lf600.txt", numberedLines(600));
    const std::string crlf600 = dir.write("crlf600.txt", numberedLines(600, "\r\n"));
    const std::string lf300 = dir.write("lf300.txt", numberedLines(300));
    struct Case {
        const char* what;
        std::string path;
        int line;
        std::string text;
        int firstLine;
        std::string highlight;
    } cases[] = {
        {"line 0 lists from line 1, nothing highlighted", lf600, 0, listedLines(1, 600), 1, "(none)"},
        {"line 3 starts at line 1", lf600, 3, listedLines(1, 103) + "...", 1, "   3:   line 3"},
        {"line 400 of 600", lf600, 400, "...\r\n" + listedLines(250, 500) + "...", 250, " 400:   line 400"},
        {"line 290 of 300 has no trailing dots", lf300, 290, "...\r\n" + listedLines(140, 300), 140,
         " 290:   line 290"},
        {"CRLF lists like LF", crlf600, 400, "...\r\n" + listedLines(250, 500) + "...", 250, " 400:   line 400"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Listing l = loadListing(c.path.c_str(), c.line, mainListingStyle());
        EXPECT_EQ(c.text, l.text);
        EXPECT_EQ(1, l.result);
        EXPECT_EQ(c.firstLine, l.firstLine);
        EXPECT_EQ(c.highlight, highlighted(l));
    }
}

TEST(ListingLoaderTest, FiveDigitLinesAndLastLineWithoutLineEnd)
{
    ScratchDir dir;
    // From line 10000 on the number field "%4d:   " is 9 characters wide;
    // the highlight still ends at the end of the line's text.
    const std::string longFile = dir.write("long.txt", std::string(10004, '\n') + "x = 1;\nnext\n");
    Listing at10005 = loadListing(longFile.c_str(), 10005, mainListingStyle());
    EXPECT_EQ("10005:   x = 1;", highlighted(at10005));
    EXPECT_EQ('\r', at10005.text[at10005.highlightEnd]);

    // The last line has no line feed: its last character is highlighted too.
    const std::string open = dir.write("open.txt", "a\nlast");
    Listing at2 = loadListing(open.c_str(), 2, mainListingStyle());
    EXPECT_EQ("   2:   last", highlighted(at2));
    EXPECT_EQ(listed(1, "a") + listed(2, "last"), at2.text);
}

TEST(ListingLoaderTest, LongLinesComeInNumberedPieces)
{
    ScratchDir dir;
    const std::string path = dir.write("f.txt", std::string(300, 'x') + "\nend\n");
    Listing l = loadListing(path.c_str(), 0, mainListingStyle());
    EXPECT_EQ(listed(1, std::string(253, 'x')) + listed(2, std::string(47, 'x')) + listed(3, "end"), l.text);
}

TEST(ListingLoaderTest, ProblemsEndUpInTheText)
{
    ScratchDir dir;
    Listing missing = loadListing(dir.file("nirgends.kyt").c_str(), 5, mainListingStyle());
    EXPECT_EQ("Die Datei " + dir.file("nirgends.kyt") + " kann nicht geöffnet werden!", missing.text);
    EXPECT_EQ(0, missing.result);

    // 2000 lines of 20 characters pass 16000 characters: what was read stays,
    // "\r\n" and 19203 follow.
    const std::string big = dir.write("big.txt", numberedLines(2000));
    Listing l = loadListing(big.c_str(), 0, mainListingStyle());
    EXPECT_EQ(0, l.result);
    EXPECT_EQ(0u, l.text.find(listedLines(1, 100)));
    const std::string tail = std::string("\r\n") + getResString(19203);
    ASSERT_GT(l.text.size(), kListingLimit + tail.size());
    EXPECT_EQ(tail, l.text.substr(l.text.size() - tail.size()));
}

} // namespace
