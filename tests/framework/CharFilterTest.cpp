// The keystroke filter of string fields, the cp1252 character classes it
// tests with, and the reading of a stored integer value.
#include "CharClass.h"
#include "FieldFormatter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EditCase {
    uint32_t flags;
    const char* text;
    Selection selection;
    const char* chars;
    int count; // 1 Backspace / 2 Delete with chars "\b"
    int result;
    const char* shown;
    Selection after;
};

TEST(CharFilter, KeystrokesFollowTheFlags)
{
    const EditCase cases[] = {
        // Digits only: a letter is refused, a digit taken.
        {0x0002, "", {0, 0}, "a", 1, 2, "", {0, 0}},
        {0x0002, "12", {1, 1}, "a", 1, 0, "12", {1, 1}},
        {0x0002, "", {0, 0}, "5", 1, 2, "5", {1, 1}},
        {0x0002, "12", {1, 1}, "5", 1, 2, "152", {2, 2}},
        // Forced upper case reaches the letters beyond ASCII.
        {0x4000, "", {0, 0}, "\xE4", 1, 2, "\xC4", {1, 1}},
        {0x8000, "", {0, 0}, "\xC4", 1, 2, "\xE4", {1, 1}},
        // Letters only: 'ß' is a letter, '1' is not.
        {0x0001, "", {0, 0}, "\xDF", 1, 2, "\xDF", {1, 1}},
        {0x0001, "ab", {1, 1}, "1", 1, 0, "ab", {1, 1}},
        // Letters, digits and signs.
        {0x0010, "", {0, 0}, "-", 1, 2, "-", {1, 1}},
        {0x0010, "ab", {0, 0}, "*", 1, 0, "ab", {0, 0}},
        // Backspace at 0 and Delete at the end change nothing.
        {0, "abc", {0, 0}, "\b", 1, 2, "abc", {0, 0}},
        {0, "abc", {3, 3}, "\b", 2, 2, "abc", {3, 3}},
        {0, "abc", {2, 2}, "\b", 1, 2, "ac", {1, 1}},
        {0, "abc", {1, 1}, "\b", 2, 2, "ac", {1, 1}},
        {0, "12345", {1, 3}, "\b", 2, 2, "145", {1, 1}},
        // A replaced selection, and a paste that fails part way in the middle.
        {0, "12345", {1, 3}, "xy", 2, 2, "1xy45", {3, 3}},
        {0x0002, "12345", {1, 3}, "7x", 2, 0, "12345", {1, 3}},
        // At the end a partly taken paste keeps what fitted.
        {0x0002, "12", {2, 2}, "34x5", 4, 2, "1234", {4, 4}},
    };
    for (const EditCase& c : cases) {
        CharFilter filter(c.flags);
        std::string text = c.text;
        std::string chars = c.chars;
        Selection sel = c.selection;
        int r = filter.apply(text, &chars[0], c.count, sel);
        SCOPED_TRACE(std::string("text ") + c.text + " chars " + c.chars);
        EXPECT_EQ(c.result, r);
        if (r == 2) {
            EXPECT_EQ(c.shown, text);
            EXPECT_EQ(c.after.start, sel.start);
            EXPECT_EQ(c.after.end, sel.end);
        }
    }
}

TEST(CharFilter, CapitalisesEachWordAsTyped)
{
    CharFilter filter(0x0020);
    std::string text;
    Selection sel{0, 0};
    for (char c : std::string("hans meier")) {
        ASSERT_EQ(2, filter.apply(text, &c, 1, sel));
    }
    EXPECT_EQ("Hans Meier", text);
    EXPECT_EQ(10, sel.start);
}

TEST(CharFilter, NeverGrowsPastTheLongestText)
{
    CharFilter filter(0);
    std::string text(kMaxFieldText, 'x');
    Selection sel{kMaxFieldText, kMaxFieldText};
    char c = 'y';
    EXPECT_EQ(0, filter.apply(text, &c, 1, sel));
    EXPECT_EQ(static_cast<size_t>(kMaxFieldText), text.size());
}

TEST(CharFilter, Validation)
{
    struct Case {
        uint32_t flags;
        const char* text;
        int valid;
        int caret;
    } cases[] = {
        {0x0002, "", 0, 0},
        {0x0102, "", 1, -1},
        {0x0002, "12a4", 0, 2},
        {0x0001, "Hans Meier", 1, -1},
        {0x0010, "a-1 +", 1, -1},
    };
    for (const Case& c : cases) {
        CharFilter filter(c.flags);
        Selection sel{0, 32767};
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.valid, filter.validate(c.text, sel));
        if (!c.valid) {
            EXPECT_EQ(c.caret, sel.start);
            EXPECT_EQ(c.caret, sel.end);
        }
    }
}

TEST(CharClass, Cp1252LettersAndCases)
{
    using namespace charclass;
    EXPECT_EQ(0xC4, toUpper(0xE4));
    EXPECT_EQ(0x9F, toUpper(0xFF));
    EXPECT_EQ(0x9A, toLower(0x8A));
    EXPECT_EQ(0xDF, toUpper(0xDF)); // ß has no capital in the code page
    EXPECT_TRUE(isLetter(0x88) && !isUpper(0x88) && !isLower(0x88));
    EXPECT_FALSE(isLetter(0xD7)); // the multiplication sign
    EXPECT_TRUE(isAlphaNumeric(0xB2) && !isLetter(0xB2));
    EXPECT_TRUE(isLower(0xB5) && toUpper(0xB5) == 0xB5);
}

TEST(PlainInt, ReadsOrRefusesWhatDoesNotFit)
{
    struct Case {
        const char* text;
        bool fits;
        int value;
    } cases[] = {
        {"-1234", true, -1234},  {"+12", true, 12},          {"", true, 0},
        {"12.50", true, 12},     {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0}, {"9999999999", false, 0},   {"-99999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        int value = 77;
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.fits, readPlainInt(c.text, value));
        EXPECT_EQ(c.fits ? c.value : 77, value);
    }
}

} // namespace
