// The shared helpers the editor uses for numbers and file names.
#include "NumberFormat.h"
#include "TextHelpers.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorHelpersTest, FormatDouble)
{
    struct Case {
        double v;
        const char* text;
    } cases[] = {{100, "100."}, {0.5, "0.5"}, {1e-20, "1.e-20"}, {1e20, "1.e+020"}};
    for (const Case& c : cases)
        EXPECT_STREQ(c.text, formatDouble(c.v).text()) << c.v;
}

TEST(EditorHelpersTest, DefaultExtension)
{
    struct Case {
        const char* name;
        const char* result;
    } cases[] = {{"a\\b.*", "a\\b.kyb"}, {"a\\b", "a\\b.kyb"}, {"a.x\\b", "a.x\\b.kyb"}};
    for (const Case& c : cases)
        EXPECT_STREQ(c.result, setDefaultExtension(c.name, "kyb").text()) << c.name;
}

} // namespace
