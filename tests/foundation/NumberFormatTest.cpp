#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

// Expected texts: the old C library's "%#.14g" trimmed as the number text rule
// says (the examples of the model text, PI code and circuit files).
struct FormatCase {
    double value;
    const char* text;
};

const FormatCase formatCases[] = {
    {0.0, "0."},
    {-0.0, "-0."},
    {1.0, "1."},
    {6.0, "6."},
    {100.0, "100."},
    {12.5, "12.5"},
    {-2.5, "-2.5"},
    {-0.5, "-0.5"},
    {0.1, "0.1"},
    {1e-4, "0.0001"},
    {1e-5, "1.e-5"},
    {1e-6, "1.e-6"},
    {1e-12, "1.e-12"},
    {2.5e-300, "2.5e-300"},
    {1e20, "1.e+020"},
    {1e30, "1.e+030"},
    {1.7976931348623157e308, "1.7976931348623e+308"},
    {12345678901234.0, "12345678901234."},
    {123456789012345.0, "1.2345678901234e+014"},  // 15 digits: exponent style, round half even
    {99999999999999.5, "1.e+014"},                 // rounding raises the exponent
    {3.14159265358979323846, "3.1415926535898"},
    {2.220446049250313e-14, "2.2204460492503e-14"},
    {-1.0 / 3.0, "-0.33333333333333"},
};

TEST(NumberFormatTest, TextsFollowTheTable)
{
    for (const FormatCase& c : formatCases) {
        SCOPED_TRACE(c.text);
        char buf[kMaxNumberText + 1];
        size_t n = formatNumber(c.value, buf);
        EXPECT_STREQ(c.text, buf);
        EXPECT_EQ(strlen(c.text), n);
        EXPECT_STREQ(c.text, formatDouble(c.value).text());
    }
}

TEST(NumberFormatTest, NonFiniteValues)
{
    char buf[kMaxNumberText + 1];
    formatNumber(std::numeric_limits<double>::infinity(), buf);
    EXPECT_STREQ("1.#INF", buf);
    formatNumber(-std::numeric_limits<double>::infinity(), buf);
    EXPECT_STREQ("-1.#INF", buf);
    formatNumber(std::nan(""), buf);
    EXPECT_STREQ("1.#QNAN", buf);
}

struct ParseCase {
    const char* text;
    size_t taken;
    double value;
};

const ParseCase parseCases[] = {
    {"12.5", 4, 12.5},
    {"  -0.5;", 6, -0.5},
    {"+3", 2, 3.0},
    {"1.e+030", 7, 1e30},
    {"1.e-5", 5, 1e-5},
    {"1.5E", 3, 1.5},  // an exponent without digits is not taken
    {"1.2.3", 3, 1.2},
    {"abc", 0, 0.0},
    {"1e999", 5, HUGE_VAL},
    {"-1e999", 6, -HUGE_VAL},
    {"1e-999", 6, 0.0},
    {"0.000e400", 9, 0.0},
    // A sign stands once.
    {"+-5", 0, 0.0},
    {"-+5", 0, 0.0},
    {"--5", 0, 0.0},
    {"++5", 0, 0.0},
    {"+.5", 3, 0.5},
    // Exponents far beyond the range of any integer type.
    {"11e9223372036854775807", 22, HUGE_VAL},
    {"-11e9223372036854775807", 23, -HUGE_VAL},
    {"11e99999999999999999999999999", 29, HUGE_VAL},
    {"0.001e-9223372036854775808", 26, 0.0},
    {"-0.001e-9223372036854775808", 27, 0.0},
    {"1e-99999999999999999999999999", 29, 0.0},
    {"0e9223372036854775807", 21, 0.0},
    {"0.0e-9223372036854775808", 24, 0.0},
    {"0e99999999999999999999999999", 28, 0.0},
    // Long exponent texts that still name an ordinary number.
    {"1e000000000000000000000000005", 29, 1e5},
    {"25e-0000000000000000000000001", 29, 2.5},
    // The edges of the range.
    {"1e308", 5, 1e308},
    {"1.7976931348623157e308", 22, 1.7976931348623157e308},
    {"1e309", 5, HUGE_VAL},
    {"0.1e310", 7, HUGE_VAL},
    {"10e308", 6, HUGE_VAL},
    {"1e-308", 6, 1e-308},
    {"1e-330", 6, 0.0},
    {"-1e309", 6, -HUGE_VAL},
};

TEST(NumberFormatTest, ParsingTakesTheNumberAndNothingMore)
{
    for (const ParseCase& c : parseCases) {
        SCOPED_TRACE(c.text);
        double v = -99;
        EXPECT_EQ(c.taken, parseNumber(c.text, &v));
        if (c.taken) {
            EXPECT_EQ(c.value, v);
        }
    }
}

TEST(NumberFormatTest, GermanLocaleChangesNothing)
{
    const char* old = setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!setlocale(LC_ALL, "de_DE.UTF-8") && !setlocale(LC_ALL, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    char buf[kMaxNumberText + 1];
    formatNumber(12.5, buf);
    EXPECT_STREQ("12.5", buf);
    double v = 0;
    EXPECT_EQ(4u, parseNumber("12.5", &v));
    EXPECT_EQ(12.5, v);
    setlocale(LC_ALL, saved.c_str());
}

TEST(NumberFormatTest, EveryTextReadsBackToTheSameFourteenDigits)
{
    const double values[] = {1.0 / 7.0, 6.02214076e23, -9.81, 1e-7, 123.456e-10};
    for (double v : values) {
        char buf[kMaxNumberText + 1];
        formatNumber(v, buf);
        double back = 0;
        ASSERT_EQ(strlen(buf), parseNumber(buf, &back));
        EXPECT_NEAR(v, back, std::fabs(v) * 1e-13);
    }
}

// The mantissa's own length moves the decimal order; the exponent is summed
// with it without overflow.
TEST(NumberFormatTest, LongMantissasMeetHugeExponents)
{
    const std::string zeros(400, '0');
    struct Case {
        std::string text;
        double value;
    } cases[] = {
        {"0." + zeros + "1e401", 1.0},
        {"1" + zeros + "e-400", 1.0},
        {"1" + zeros + "e-9223372036854775808", 0.0},
        {"0." + zeros + "1e9223372036854775807", HUGE_VAL},
        {"0." + zeros + "1e-9223372036854775808", 0.0},
        {"1" + zeros + "e9223372036854775807", HUGE_VAL},
        {zeros + "." + zeros + "e9223372036854775807", 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        double v = -99;
        EXPECT_EQ(c.text.size(), parseNumber(c.text.c_str(), &v));
        EXPECT_EQ(c.value, v);
    }
}

} // namespace
