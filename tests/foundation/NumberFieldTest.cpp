#include "NumberField.h"
#include "GermanLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

struct FieldCase {
    const char* typed;
    bool number;
    double value;
    const char* pointForm;
};

// What a student types into a number field, and what is stored.
const FieldCase fieldCases[] = {
    {"0,5", true, 0.5, "0.5"},
    {"0.5", true, 0.5, "0.5"},
    {"-1,5e-3", true, -1.5e-3, "-1.5e-3"},
    {"+2,25E+2", true, 225.0, "+2.25E+2"},
    {"  0,05\t", true, 0.05, "0.05"},
    {",5", true, 0.5, ".5"},
    {"5,", true, 5.0, "5."},
    {"1.000", true, 1.0, "1.000"},  // the point is the files' decimal point
    {"12", true, 12.0, "12"},
    {"1e-12", true, 1e-12, "1e-12"},
    {"1,5,3", false, 0, nullptr},   // two commas
    {"1.000,5", false, 0, nullptr}, // no digit grouping
    {"1,000.5", false, 0, nullptr},
    {"1.5.3", false, 0, nullptr},
    {"", false, 0, nullptr},
    {"   ", false, 0, nullptr},
    {"abc", false, 0, nullptr},
    {"12abc", false, 0, nullptr},   // strtod took 12 silently
    {"0,5 s", false, 0, nullptr},
    {",", false, 0, nullptr},
    {"-", false, 0, nullptr},
    {"e5", false, 0, nullptr},
    {"1e", false, 0, nullptr},
    {"inf", false, 0, nullptr},
    {"nan", false, 0, nullptr},
    {"1e999", false, 0, nullptr},   // beyond double
    {"- 1", false, 0, nullptr},
};

TEST(NumberField, ReadsPointAndCommaAndRefusesTheRest)
{
    for (const FieldCase& c : fieldCases) {
        double v = -99;
        EXPECT_EQ(readNumberField(c.typed, &v), c.number) << "\"" << c.typed << "\"";
        if (c.number)
            EXPECT_DOUBLE_EQ(v, c.value) << c.typed;
        else
            EXPECT_EQ(v, -99) << "a refused text leaves the value: " << c.typed;
        std::string shown = "untouched";
        EXPECT_EQ(numberFieldPointForm(c.typed, &shown), c.number) << c.typed;
        EXPECT_EQ(shown, c.number ? c.pointForm : "untouched") << c.typed;
    }
    double v = 0;
    EXPECT_FALSE(readNumberField(nullptr, &v));
}

TEST(NumberField, TheProcessLocaleChangesNothing)
{
    // A German C locale reads "0,5" with strtod and stops at "0.5"; the rule
    // must not depend on it.
    const char* before = setlocale(LC_NUMERIC, nullptr);
    std::string saved = before ? before : "C";
    if (!setGermanLocale(LC_NUMERIC))
        GTEST_SKIP() << "no German locale";
    double a = 0, b = 0;
    EXPECT_TRUE(readNumberField("0,5", &a));
    EXPECT_TRUE(readNumberField("0.5", &b));
    setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(a, 0.5);
    EXPECT_EQ(b, 0.5);
}

struct ExpressionCase {
    const char* typed;
    const char* stored; // null: refused
};

TEST(NumberField, ExpressionsGetPointsInTheirNumbers)
{
    const ExpressionCase cases[] = {
        {"0,5", "0.5"},
        {"-0,5", "-0.5"},
        {"K*0,5", "K*0.5"},
        {"2,5e-3*T", "2.5e-3*T"},
        {"1/(2,5+T)", "1/(2.5+T)"},
        {"2*(0,5)", "2*(0.5)"},
        {",5", ".5"},
        {"K*2", "K*2"},
        {"1.5e3", "1.5e3"},
        {"x1*2", "x1*2"},
        {"", ""},
        {"1,5,3", nullptr},
        {"5,", nullptr},
        {"MAX(1,2)", nullptr}, // the comma separates arguments
        {"SIN(0,5)", nullptr}, // in a function's parentheses it could, too
        {"f2 (1,5)", nullptr},
        {"MAX((1,5),2)", nullptr},
        {"x1,2", nullptr},     // after a name no number begins
        {"a,b", nullptr},
    };
    for (const ExpressionCase& c : cases) {
        std::string stored = "untouched";
        EXPECT_EQ(pointDecimalCommas(c.typed, &stored), c.stored != nullptr) << c.typed;
        EXPECT_EQ(stored, c.stored ? c.stored : "untouched") << c.typed;
    }
}

TEST(NumberField, TheRefusalNamesTheFieldAndTheText)
{
    EXPECT_EQ(fieldLabelName("&Anfangsschrittweite:"), "Anfangsschrittweite");
    EXPECT_EQ(fieldLabelName(" Min. Schrittweite (Grenze): "), "Min. Schrittweite (Grenze)");
    EXPECT_EQ(fieldLabelName("A && B"), "A & B");
    EXPECT_EQ(fieldLabelName(nullptr), "");
    const std::string text = numberRefusalText("Anfangsschrittweite", "abc");
    EXPECT_EQ(text.rfind("Im Feld \"Anfangsschrittweite\" steht keine Zahl: \"abc\"", 0), 0u) << text;
    EXPECT_NE(text.find("0,5"), std::string::npos) << text;
    // A typed per cent sign is text, not a format.
    EXPECT_NE(numberRefusalText("K", "%s%d").find("\"%s%d\""), std::string::npos);
}

} // namespace
