#include "String.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct CapacityCase {
    const char* what;
    String (*make)();
    unsigned int length;
    unsigned int capacity;
    const char* text;
};

const CapacityCase capacityCases[] = {
    {"default", [] { return String(); }, 0, 16, ""},
    {"number 20", [] { return String(20u); }, 0, 24, ""},
    {"empty text, extra 8", [] { return String("", 8); }, 0, 16, ""},
    {"7 characters, extra 8", [] { return String("abcdefg", 8); }, 7, 16, "abcdefg"},
    {"8 characters, extra 8", [] { return String("abcdefgh", 8); }, 8, 24, "abcdefgh"},
    {"null text, extra 8", [] { return String(static_cast<const char*>(nullptr), 8); }, 0, 16, ""},
    {"null text, no extra", [] { return String(static_cast<const char*>(nullptr)); }, 0, 8, ""},
    {"character x5, extra 8", [] { return String('x', 5, 8); }, 5, 16, "xxxxx"},
    {"copy of 20 characters, extra 8", [] { return String(String("abcdefghijklmnopqrst"), 8); }, 20, 32,
     "abcdefghijklmnopqrst"},
    {"String + String", [] { return String("abc") + String("defg"); }, 7, 16, "abcdefg"},
    {"String + text", [] { return String("abcdefgh") + "ijklmnop"; }, 16, 32, "abcdefghijklmnop"},
    {"text + String", [] { return "ab" + String("cd"); }, 4, 16, "abcd"},
};

TEST(StringTest, ConstructionGivesTheTabledLengthAndCapacity)
{
    for (const CapacityCase& c : capacityCases) {
        SCOPED_TRACE(c.what);
        String s = c.make();
        EXPECT_EQ(c.length, s.getLength());
        EXPECT_EQ(c.capacity, s.getCapacity());
        EXPECT_STREQ(c.text, s.text());
        EXPECT_EQ(0u, s.getCapacity() % 8);
    }
}

TEST(StringTest, RoundUpTo8)
{
    EXPECT_EQ(16u, String::roundUpTo8(9));
    EXPECT_EQ(16u, String::roundUpTo8(16));
    EXPECT_EQ(24u, String::roundUpTo8(17));
}

TEST(StringTest, AssigningALongerStringTakesTheSourceCapacity)
{
    String target;
    String source("abcdefghijklmnopqrst", 8);
    target = source;
    EXPECT_EQ(32u, target.getCapacity());
    EXPECT_STREQ("abcdefghijklmnopqrst", target.text());
    // The source is untouched and the buffers are separate.
    target.getBuffer()[0] = 'X';
    EXPECT_STREQ("abcdefghijklmnopqrst", source.text());
}

TEST(StringTest, AssigningPlainTextKeepsTheBufferWhileItFits)
{
    String s;
    const char* before = s.text();
    s = "123456789012345";  // 15 characters fit into 16 bytes
    EXPECT_EQ(before, s.text());
    EXPECT_EQ(16u, s.getCapacity());
    s = "1234567890123456";  // 16 do not
    EXPECT_EQ(32u, s.getCapacity());
    EXPECT_STREQ("1234567890123456", s.text());
}

TEST(StringTest, NullTextAppendsNothingAndAssignsEmpty)
{
    String s("abc");
    s += static_cast<const char*>(nullptr);
    EXPECT_STREQ("abc", s.text());
    s = static_cast<const char*>(nullptr);
    EXPECT_STREQ("", s.text());
    EXPECT_EQ(0u, s.getLength());
}

TEST(StringTest, SetCapacityShrinksAndGrows)
{
    String s("abc", 8);
    ASSERT_EQ(16u, s.getCapacity());
    EXPECT_EQ(7u, s.setCapacity(0));
    EXPECT_EQ(8u, s.getCapacity());
    EXPECT_STREQ("abc", s.text());
    EXPECT_EQ(39u, s.setCapacity(33));
    EXPECT_STREQ("abc", s.text());
}

TEST(StringTest, AppendingGrowsInStepsOfEight)
{
    String s;
    for (int i = 0; i < 40; ++i)
        s += static_cast<char>('a' + i % 26);
    EXPECT_EQ(40u, s.getLength());
    EXPECT_EQ(0u, s.getCapacity() % 8);
    EXPECT_GT(s.getCapacity(), 40u);
    s += String("XYZ");
    s += "!";
    EXPECT_EQ(44u, s.getLength());
    EXPECT_EQ(0, strcmp(s.text() + 40, "XYZ!"));
}

TEST(StringTest, AppendingItselfDoublesTheText)
{
    String s("abcdefghijklmno");  // capacity 16, full
    s += s;
    EXPECT_STREQ("abcdefghijklmnoabcdefghijklmno", s.text());
    String t("abcdefghijklmno");
    t += t.text();
    EXPECT_STREQ("abcdefghijklmnoabcdefghijklmno", t.text());
}

TEST(StringTest, UncountedLengthsAreCountedByComparison)
{
    String a(20u), b(20u);
    strcpy(a.getBuffer(), "Regler");
    strcpy(b.getBuffer(), "Regler");
    a.markUncounted();
    b.markUncounted();
    EXPECT_EQ(1, a == b);
    EXPECT_TRUE(a.isLengthCounted());
    EXPECT_TRUE(b.isLengthCounted());
    EXPECT_EQ(6u, a.getLength());

    String c("Reglerx");
    EXPECT_EQ(0, a == c);
    String d("Reglex");
    EXPECT_EQ(0, a == d);
}

TEST(StringTest, ToLowerHandlesUmlautBytesAsUnsigned)
{
    // "ÄÖÜ" in Windows-1252: bytes above 0x7F must not reach tolower as
    // negative values; ASCII letters are lowered.
    String s("MAX \xC4\xD6\xDC Gr\xF6\xDF" "e");
    s.toLower();
    EXPECT_STREQ("max \xC4\xD6\xDC gr\xF6\xDF" "e", s.text());
}

TEST(StringTest, LiteralsAreWindows1252)
{
    // Sources are UTF-8; the build stores narrow literals as Windows-1252.
    const char* t = "Übersetzen";
    EXPECT_EQ('\xDC', t[0]);
    EXPECT_EQ(10u, strlen(t));
}

TEST(StringTest, MissingResourceGivesEmptyStringOfCapacity16)
{
    String s(ResourceId(65000), 200);
    EXPECT_EQ(0u, s.getLength());
    EXPECT_EQ(16u, s.getCapacity());
}

TEST(StringTest, ResourceTextGetsRoomForNineMore)
{
    String s(ResourceId(20912), 200);
    EXPECT_STREQ("Nachricht", s.text());
    EXPECT_EQ(String::roundUpTo8(9 + 9), s.getCapacity());
    String cut(ResourceId(20912), 4);
    EXPECT_STREQ("Nach", cut.text());
}

} // namespace
