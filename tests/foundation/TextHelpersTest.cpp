#include "TextHelpers.h"
#include "GermanLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

struct ExtensionCase {
    const char* name;
    const char* completed;
};

TEST(TextHelpersTest, DefaultExtensionLooksAtTheFileNameOnly)
{
    const ExtensionCase cases[] = {
        {"x", "x.kyt"},
        {"x.*", "x.kyt"},
        {"x.txt", "x.txt"},
        {"x.", "x."},
        {"D:\\a.b\\x", "D:\\a.b\\x.kyt"},
        {"D:\\a.b\\x.*", "D:\\a.b\\x.kyt"},
        {"/home/a.b/regler", "/home/a.b/regler.kyt"},
        {"C:\\KYT\\regler.kyt", "C:\\KYT\\regler.kyt"},
        {"", ".kyt"},
    };
    for (const ExtensionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.completed, setDefaultExtension(c.name, "kyt").text());
    }
}

TEST(TextHelpersTest, BlanksBecomeUnderscores)
{
    EXPECT_STREQ("B_1_y", blanksToUnderscores("B_1 y").text());
    EXPECT_STREQ("__a__", blanksToUnderscores("  a  ").text());
    EXPECT_STREQ("", blanksToUnderscores(nullptr).text());
}

// The companions normalise dialog texts this way; a German LC_NUMERIC (comma
// as the decimal point) must change nothing.
TEST(TextHelpersTest, DoubleToStringIgnoresTheLocale)
{
    const char* old = setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!setGermanLocale(LC_NUMERIC))
        GTEST_SKIP() << "no German locale installed";
    EXPECT_STREQ("1.e-6", doubleToString("1e-6").text());
    EXPECT_STREQ("2.5", doubleToString("2.5").text());
    EXPECT_STREQ("-100.", doubleToString(" -100").text());
    EXPECT_STREQ("0.", doubleToString("abc").text());
    setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
