#include "HelpSize.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string lines(int n, const std::string& each = "abc")
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += each + "\n";
    return text;
}

TEST(HelpSizeTest, SizeFollowsTheText)
{
    const int wide = 4000;
    const int high = 3000;
    struct Case {
        const char* what;
        std::string text;
        int screenWidth;
        int screenHeight;
        int width;
        int height;
    } cases[] = {
        // The last character is not measured: a text ending in its sixth
        // line feed counts five.
        {"5 line feeds", lines(5) + "\n", wide, high, 34, 144},
        {"12 line feeds: three lines more", lines(12) + "x", wide, high, 34, 270},
        {"13 line feeds: one line more", lines(13) + "x", wide, high, 34, 252},
        {"20 line feeds", lines(20) + "x", wide, high, 34, 378},
        {"longest run of 10", "0123456789\nab\nlast line not ended", wide, high, 94, 90},
        {"a run without its line feed does not count", "ab\n0123456789012345", wide, high, 26, 72},
        {"carriage returns count as characters", "abc\r\nx", wide, high, 43, 72},
        {"clamped to the screen width", std::string(500, 'x') + "\n.", 640, high, 640, 72},
        {"clamped to the screen height - 30", lines(100) + "x", wide, 480, 34, 450},
        {"empty text", "", wide, high, 9, 54},
        {"one character", "\n", wide, high, 9, 54},
        {"no limits", lines(300) + "x", 0, 0, 34, 18 * 301},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HelpWindowSize size = helpWindowSize(c.text, c.screenWidth, c.screenHeight);
        EXPECT_EQ(c.width, size.width);
        EXPECT_EQ(c.height, size.height);
    }
}

} // namespace
