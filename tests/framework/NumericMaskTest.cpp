// The numeric mask: shapes from the mask text, the [intl] formats, the
// keystroke rules, validation and the plain value.
#include "IntlSettings.h"
#include "NumericMask.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<const char*, const char*>> IntlKeys;

// Settings as read from an [intl] section holding the given keys.
IntlSettings* settingsOf(const IntlKeys& keys)
{
    TableProfile profile;
    for (const auto& k : keys)
        profile.set("intl", k.first, k.second);
    return new IntlSettings(IntlSettings::fromProfile(&profile));
}

// What a field shows after loading a value text ("+42", "-1234"), the way
// the field does it: the empty template first, then the whole text replaced.
std::string loaded(NumericMask& mask, const std::string& value)
{
    std::string text;
    Selection sel{0, 0};
    char none = 0;
    mask.apply(text, &none, 0, sel);
    if (!value.empty()) {
        std::string chars = value;
        sel = Selection{0, 32767};
        mask.apply(text, &chars[0], static_cast<int>(chars.size()), sel);
    }
    return text;
}

TEST(NumericMask, ShowsLoadedValues)
{
    struct Case {
        const char* mask;
        IntlKeys intl;
        const char* value;
        const char* shown;
    } cases[] = {
        {"-#####", {}, "-42", "-42"},
        {"-#####", {}, "+42", "42"},
        {"-#####", {{"sDecimal", ","}, {"iNegCurr", "0"}}, "-42", "-42"},
        {"-#####", {}, "+123456", "12345"},
        {"+#####", {}, "+42", "+42"},
        {"##", {}, "+7", "7"},
        {"##", {}, "-7", "7"},
        {"$#,###", {{"iNegCurr", "0"}}, "-1234", "($1,234)"},
        {"$#,###", {{"iNegCurr", "1"}}, "-1234", "-$1,234"},
        {"$#,###", {{"iNegCurr", "12"}}, "-1234", "-$1,234"},
        {"$#,###", {{"iNegCurr", "10"}}, "-1234", "$1,234-"},
        {"$#,###", {{"iNegCurr", "8"}}, "-1234", "-1,234 $"},
        {"$#,###", {{"iCurrency", "3"}}, "+1234", "1,234 $"},
        {"$#,###", {{"iCurrency", "1"}}, "+1234", "1,234$"},
        {"$#,###", {{"sCurrency", "DM"}, {"iCurrency", "2"}}, "+12", "DM 12"},
        {"#0.00", {}, "", "0.00"},
        {"#0.00", {{"sDecimal", ","}}, "", "0,00"},
        {"-#,###", {{"sDecimal", ","}, {"sThousand", "."}}, "-1234", "-1.234"},
        {"-#,###", {}, "+123", "123"},
        {"L*####", {}, "+12", "**12"},
        {"FL*#,###", {}, "+5", "*,**5"},
        {"#0.00", {}, "+7", "7.00"},
    };
    for (const Case& c : cases) {
        NumericMask mask(0, c.mask, settingsOf(c.intl));
        SCOPED_TRACE(std::string(c.mask) + " " + c.value);
        EXPECT_EQ(c.shown, loaded(mask, c.value));
    }
}

TEST(NumericMask, Keystrokes)
{
    struct Case {
        const char* mask;
        const char* text;
        Selection selection;
        const char* chars;
        int count;
        const char* shown;
        int caret;
    } cases[] = {
        // A sign typed anywhere.
        {"-#####", "42", {1, 1}, "-", 1, "-42", 2},
        {"-#####", "-42", {2, 2}, "+", 1, "42", 1},
        {"##", "42", {0, 0}, "-", 1, "42", 0},
        // A third digit into two positions drops the last one.
        {"##", "7", {1, 1}, "5", 1, "75", 2},
        {"##", "75", {2, 2}, "3", 1, "75", 2},
        // Zero replaced by the first digit; a leading '0' is not taken.
        {"-#####", "0", {1, 1}, "4", 1, "4", 1},
        {"-#####", "42", {0, 0}, "0", 1, "42", 0},
        // Grouping, and the caret past the separator.
        {"-#,###", "234", {0, 0}, "1", 1, "1,234", 2},
        {"-#,###", "1,234", {2, 2}, "\b", 1, "234", 0},
        {"-#,###", "1,234", {0, 5}, "\b", 2, "0", 1},
        // Fractions overwrite their fixed zeros.
        {"#0.00", "0.00", {2, 2}, "5", 1, "0.50", 3},
        {"#0.00", "0.50", {0, 0}, ".", 1, "0.50", 2},
        {"#0.00", "7.25", {2, 2}, "\b", 1, "0.25", 1},
        {"##.##", "12.5", {4, 4}, "\b", 1, "12.0", 3},
        // A decimal comma typed goes to the fraction as the point does.
        {"#0.00", "0.00", {0, 0}, ",", 1, "0.00", 2},
        {"##.##", "12", {2, 2}, ",", 1, "12.0", 3},
        // A character that fits nowhere changes nothing, nor does a comma
        // where there is no fraction.
        {"-#####", "42", {1, 1}, "a", 1, "42", 1},
        {"-#####", "42", {2, 2}, ",", 1, "42", 2},
    };
    for (const Case& c : cases) {
        NumericMask mask(0, c.mask, new IntlSettings());
        std::string text = c.text;
        std::string chars = c.chars;
        Selection sel = c.selection;
        SCOPED_TRACE(std::string(c.mask) + " " + c.text + " " + c.chars);
        EXPECT_EQ(2, mask.apply(text, &chars[0], c.count, sel));
        EXPECT_EQ(c.shown, text);
        EXPECT_EQ(c.caret, sel.start);
        EXPECT_EQ(sel.start, sel.end);
    }
}

TEST(NumericMask, BothDecimalCharactersAreTypedAsThePoint)
{
    // German settings show a comma; the point of the files is taken too.
    for (const char* typed : {",", "."}) {
        NumericMask mask(0, "##.##", settingsOf({{"sDecimal", ","}, {"sThousand", "."}}));
        std::string text = loaded(mask, "+12");
        Selection sel{2, 2};
        std::string chars = typed;
        mask.apply(text, &chars[0], 1, sel);
        chars = "5";
        mask.apply(text, &chars[0], 1, sel);
        EXPECT_EQ("12,50", text) << typed;
        std::string plain = text;
        mask.strip(plain, 0);
        EXPECT_EQ("12.50", plain) << typed;
    }
}

TEST(NumericMask, FixedIntegerPartOnceDigitsAreIn)
{
    NumericMask mask(0, "R1##.##", new IntlSettings());
    EXPECT_EQ("12.5", loaded(mask, "+12.5"));
    std::string text = "12.5";
    char c = '9';
    Selection sel{1, 1};
    EXPECT_EQ(2, mask.apply(text, &c, 1, sel));
    EXPECT_EQ("12.5", text);
    sel = Selection{3, 3};
    EXPECT_EQ(2, mask.apply(text, &c, 1, sel));
    EXPECT_EQ("12.95", text);
}

TEST(NumericMask, PlainValue)
{
    struct Case {
        const char* mask;
        IntlKeys intl;
        const char* shown;
        const char* plain;
    } cases[] = {
        {"-#,###", {}, "-1,234", "-1234"},
        {"-#,###", {{"sDecimal", ","}, {"sThousand", "."}}, "-1.234", "-1234"},
        {"$#,###", {{"iNegCurr", "0"}}, "($1,234)", "-1234"},
        {"$#,###", {{"sCurrency", "Fr."}}, "Fr.12", "12"},
        {"#0.00", {{"sDecimal", ","}}, "3,50", "3.50"},
        {"#.##", {}, ".5", "0.5"},
        {"-#####", {}, "", "0"},
        {"##", {}, "7", "7"},
    };
    for (const Case& c : cases) {
        NumericMask mask(0, c.mask, settingsOf(c.intl));
        std::string text = c.shown;
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(1, mask.strip(text, 0));
        EXPECT_EQ(c.plain, text);
    }
}

TEST(NumericMask, Validation)
{
    struct Case {
        const char* mask;
        uint32_t flags;
        const char* text;
        int valid;
        int caret;
    } cases[] = {
        {"##", 0x100, "7", 1, -1},
        {"[1-5]#", 0, "72", 0, 0},
        {"#[!0]", 0, "70", 0, 1},
        {"-#,###", 0, "-1,234", 1, -1},
        {"-#####", 0x80000, "42", 0, 2},
        {"##.##", 0x80000, "12.5", 0, 4},
        {"##.##", 0x80000, "12.50", 1, -1},
        {"##########", 0, "9999999999", 1, -1},
    };
    for (const Case& c : cases) {
        NumericMask mask(c.flags, c.mask, new IntlSettings());
        Selection sel{0, 32767};
        SCOPED_TRACE(std::string(c.mask) + " " + c.text);
        EXPECT_EQ(c.valid, mask.validate(c.text, sel));
        if (!c.valid) {
            EXPECT_EQ(c.caret, sel.start);
        }
    }
}

TEST(NumericMask, MaskReading)
{
    NumericMask dflt(0, "-#####", new IntlSettings());
    EXPECT_EQ(5, dflt.intDigits);
    EXPECT_TRUE(dflt.negativeAllowed && !dflt.showPositive);
    NumericMask two(0, "##", new IntlSettings());
    EXPECT_FALSE(two.signs);
    NumericMask money(0, "$#,##0.00", new IntlSettings());
    EXPECT_EQ(4, money.intDigits);
    EXPECT_EQ(2, money.fracDigits);
    EXPECT_TRUE(money.currency);
    // An unexpected character keeps what was read before it.
    NumericMask cut(0, "-##x##", new IntlSettings());
    EXPECT_EQ(2, cut.intDigits);
    NumericMask placeholders(0x200000, "F##", new IntlSettings());
    EXPECT_EQ("##", placeholders.emptyTemplate());
    EXPECT_FALSE(placeholders.fFlag);
    EXPECT_EQ(1, dflt.firstInputPos("-42"));
}

TEST(NumericMask, RefusesTextsPastTheLongest)
{
    // 150 digit positions with a separator between each: the shown text
    // would reach 299 characters.
    std::string shape;
    for (int i = 0; i < 150; ++i)
        shape += i ? ",#" : "#";
    NumericMask mask(0, shape.c_str(), new IntlSettings());
    std::string text = loaded(mask, "");
    Selection sel{static_cast<int>(text.size()), static_cast<int>(text.size())};
    int refused = 0;
    for (int i = 0; i < 150; ++i) {
        char c = '1';
        sel.start = sel.end = static_cast<int>(text.size());
        if (!mask.apply(text, &c, 1, sel))
            ++refused;
        ASSERT_LE(text.size(), static_cast<size_t>(kMaxFieldText));
    }
    EXPECT_GT(refused, 0);
}

TEST(IntlSettings, FromTheProfile)
{
    TableProfile profile;
    profile.set("intl", "sDecimal", ",");
    profile.set("intl", "sThousand", "");
    profile.set("intl", "sCurrency", "DM");
    profile.set("intl", "iCurrDigits", "3");
    profile.set("intl", "iCurrency", "3");
    IntlSettings s = IntlSettings::fromProfile(&profile);
    EXPECT_EQ(',', s.decimalPoint);
    EXPECT_EQ(',', s.monDecimalPoint);
    EXPECT_EQ(',', s.thousandsSep); // an empty entry keeps the comma
    EXPECT_EQ("DM", s.currencySymbol);
    EXPECT_EQ('3', s.fracDigits);
    EXPECT_EQ('0', s.currencyPrecedes);
    EXPECT_EQ('1', s.currencySepBySpace);

    const char* positions = "01420132112";
    for (int n = 0; n <= 10; ++n) {
        IntlSettings t;
        t.setNegCurrencyFormat(std::to_string(n));
        EXPECT_EQ(positions[n], t.negSignPosn) << n;
        EXPECT_EQ((n >= 4 && n <= 8) ? '0' : '1', t.negCurrencyPrecedes) << n;
        EXPECT_EQ((n == 8 || n == 9) ? '1' : '0', t.negSepBySpace) << n;
    }
    IntlSettings defaults = IntlSettings::fromProfile(nullptr);
    EXPECT_EQ('.', defaults.decimalPoint);
    EXPECT_EQ("$", defaults.currencySymbol);
}

} // namespace
