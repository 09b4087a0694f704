// Picture masks: positions from the mask text, typing, deleting and pasting
// around fixed characters, placeholders, validation and the stored value.
#include "PictureMask.h"
#include "TraceSink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Applies one request; returns the result.
int edit(PictureMask& mask, std::string& text, Selection& sel, const std::string& chars, int count = -1)
{
    std::string buffer = chars;
    return mask.apply(text, &buffer[0], count < 0 ? static_cast<int>(buffer.size()) : count, sel);
}

// The text an empty field shows.
std::string emptyShown(PictureMask& mask, Selection& sel)
{
    std::string text;
    sel = Selection{0, 0};
    char none = 0;
    mask.apply(text, &none, 0, sel);
    return text;
}

TEST(PictureMask, TypingAroundALiteralWithPlaceholders)
{
    PictureMask mask(0x200000, "99'-'99");
    Selection sel;
    std::string text = emptyShown(mask, sel);
    EXPECT_EQ("##-##", text);
    EXPECT_EQ(0, sel.start);
    for (char c : std::string("123"))
        ASSERT_EQ(2, edit(mask, text, sel, std::string(1, c)));
    EXPECT_EQ("12-3#", text);
    EXPECT_EQ(4, sel.start);
    EXPECT_EQ(4, sel.end);
    // A letter is refused wherever the caret stands.
    for (int at = 0; at <= 5; ++at) {
        Selection here{at, at};
        std::string copy = text;
        EXPECT_EQ(0, edit(mask, copy, here, "a")) << at;
        EXPECT_EQ("12-3#", copy);
    }
    // Backspace right after the literal deletes the digit before it.
    sel = Selection{3, 3};
    ASSERT_EQ(2, edit(mask, text, sel, "\b", 1));
    EXPECT_EQ("13-##", text);
    EXPECT_EQ(1, sel.start);
}

TEST(PictureMask, Edits)
{
    struct Case {
        uint32_t flags;
        const char* mask;
        const char* text;
        Selection selection;
        const char* chars;
        int count;
        int result;
        const char* shown;
        int caret;
    } cases[] = {
        {0, "[a-f](4)", "", {0, 0}, "abcf", 4, 2, "abcf", 4},
        {0, "[a-f](4)", "ab", {2, 2}, "g", 1, 0, "ab", 2},
        {0, "[!0-9]", "", {0, 0}, "x", 1, 2, "x", 1},
        {0, "[!0-9]", "", {0, 0}, "5", 1, 0, "", 0},
        {0, "!(3)", "", {0, 0}, "abc", 3, 2, "ABC", 3},
        {0x4000, "AA", "", {0, 0}, "b", 1, 2, "B", 1},
        {0x8000, "XX", "", {0, 0}, "Q", 1, 2, "q", 1},
        // Without placeholders the literal shows all the time.
        {0, "99'-'99", "12-34", {3, 3}, "\b", 1, 2, "13-4", 1},
        {0, "99'-'99", "12-34", {0, 0}, "\b", 1, 2, "12-34", 0},
        {0, "99'-'99", "12-34", {5, 5}, "\b", 2, 0, "12-34", 5},
        {0, "99'-'99", "12-34", {0, 5}, "\b", 2, 2, "-", 0},
        {0, "99'-'99", "", {0, 0}, "1234", 4, 2, "12-34", 5},
        {0, "99'-'99", "", {0, 0}, "12-34", 5, 2, "12-34", 5},
        // More characters than positions do not fit.
        {0, "99'-'99", "", {0, 0}, "123456", 6, 0, "", 0},
        {0, "##", "", {0, 0}, "-5", 2, 2, "-5", 2},
    };
    for (const Case& c : cases) {
        PictureMask mask(c.flags, c.mask);
        std::string text = c.text;
        Selection sel = c.selection;
        SCOPED_TRACE(std::string(c.mask) + " " + c.text + " " + c.chars);
        EXPECT_EQ(c.result, edit(mask, text, sel, c.chars, c.count));
        EXPECT_EQ(c.shown, text);
        if (c.result == 2) {
            EXPECT_EQ(c.caret, sel.start);
        }
    }
}

TEST(PictureMask, ADecimalCommaTypedIsTheFixedPoint)
{
    PictureMask mask(0, "99'.'99");
    Selection sel{0, 0};
    std::string text;
    for (const char* typed : {"1", "2", ",", "5"})
        ASSERT_EQ(2, edit(mask, text, sel, typed)) << typed;
    EXPECT_EQ("12.5", text);
    // Where the picture has no point, a comma fits nowhere.
    PictureMask digits(0, "99");
    std::string shown = "1";
    Selection at{1, 1};
    EXPECT_EQ(0, edit(digits, shown, at, ","));
    EXPECT_EQ("1", shown);
}

TEST(PictureMask, AnEditThatPushesCharactersOutIsUndone)
{
    RecordingTraceSink sink;
    TraceSink* before = setTraceSink(&sink);
    PictureMask mask(0, "AA99");
    std::string text = "ab12";
    Selection sel{0, 0};
    EXPECT_EQ(0, edit(mask, text, sel, "c"));
    EXPECT_EQ("ab12", text);
    EXPECT_EQ(0, sel.start);
    EXPECT_TRUE(sink.holds("addchars dest= ab12"));
    setTraceSink(before);
}

TEST(PictureMask, MaskReading)
{
    // An unquoted '-' adds no position.
    EXPECT_EQ(4u, PictureMask(0, "99-99").positions.size());
    EXPECT_EQ(5u, PictureMask(0, "99'-'99").positions.size());
    // Two quotes give one quote character.
    PictureMask quote(0, "9'''9");
    ASSERT_EQ(3u, quote.positions.size());
    EXPECT_EQ('\'', quote.positions[1]->maskChar);
    // A malformed set takes only its placeholder.
    PictureMask bad(0, "[f-a]");
    std::string text;
    Selection sel{0, 0};
    EXPECT_EQ(0, edit(bad, text, sel, "c"));
    // A count after a literal is read and ignored; copies stop at 256.
    EXPECT_EQ(2u, PictureMask(0, "'a'(5)9").positions.size());
    EXPECT_EQ(256u, PictureMask(0, "9(300)").positions.size());
    EXPECT_EQ(2, PictureMask(0, "'(('9").firstInputPos(""));
}

TEST(PictureMask, ManyLiterals)
{
    const char* letters = "abcdefghijklmnopqrstuvwxyzABCD";
    PictureMask mask(0, (std::string("9'") + letters + "'9").c_str());
    EXPECT_EQ(30u, mask.literalIndex.size());
    std::string text;
    Selection sel{0, 0};
    ASSERT_EQ(2, edit(mask, text, sel, "1"));
    EXPECT_EQ(std::string("1") + letters, text);
    EXPECT_EQ(1, sel.start);
    sel.start = sel.end = static_cast<int>(text.size());
    ASSERT_EQ(2, edit(mask, text, sel, "2"));
    EXPECT_EQ(std::string("1") + letters + "2", text);
    std::string plain = text;
    EXPECT_EQ(1, mask.strip(plain, 0x40000));
    EXPECT_EQ("12", plain);
}

TEST(PictureMask, LongTextsDoNotFit)
{
    PictureMask mask(0x200000, "99'-'99");
    Selection sel;
    std::string text = emptyShown(mask, sel);
    std::string longText(300, '1');
    sel = Selection{0, 32767};
    EXPECT_EQ(0, edit(mask, text, sel, longText));
    EXPECT_EQ("##-##", text);
    std::string plain = longText;
    EXPECT_EQ(0, mask.strip(plain, 0));
    EXPECT_EQ(longText, plain);
    // A mask of 256 positions never shows more than the longest text.
    PictureMask wide(0x200000, "X(256)");
    text.clear();
    char none = 0;
    sel = Selection{0, 0};
    EXPECT_EQ(0, wide.apply(text, &none, 0, sel));
}

TEST(PictureMask, PlainValue)
{
    PictureMask mask(0, "99'-'99");
    std::string text = "12-34";
    EXPECT_EQ(1, mask.strip(text, 0));
    EXPECT_EQ("12-34", text);
    text = "12-34";
    EXPECT_EQ(1, mask.strip(text, 0x40000));
    EXPECT_EQ("1234", text);
    // Placeholders never reach the value.
    PictureMask shown(0x200000, "99'-'99");
    text = "12-3#";
    EXPECT_EQ(1, shown.strip(text, 0x200000));
    EXPECT_EQ("12-3", text);
}

TEST(PictureMask, Validation)
{
    struct Case {
        uint32_t flags;
        const char* mask;
        const char* text;
        int valid;
        int caret;
    } cases[] = {
        {0, "99'-'99", "", 0, 0},
        {0x100, "99'-'99", "", 1, -1},
        {0, "99'-'99", "12-34", 1, -1},
        {0, "99'-'99", "12-a4", 0, 3},
        {0, "99'-'99", "12-345", 0, 5},
        {0x100 | 0x200000, "99'-'99", "##-##", 1, -1},
        {0x80000, "99'-'99", "12-3", 0, 4},
        {0x80000 | 0x200000, "99'-'99", "12-3#", 0, 4},
        {0, "99'-'99", "-", 0, 0},
        {0x100, "99'-'99", "-", 1, -1},
    };
    for (const Case& c : cases) {
        PictureMask mask(c.flags, c.mask);
        Selection sel{0, 32767};
        SCOPED_TRACE(std::string(c.mask) + " " + c.text);
        EXPECT_EQ(c.valid, mask.validate(c.text, sel));
        if (!c.valid) {
            EXPECT_EQ(c.caret, sel.start);
        }
    }
}

} // namespace
