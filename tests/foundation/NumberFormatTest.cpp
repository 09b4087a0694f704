#include "NumberFormat.h"
#include "GermanLocale.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

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
    if (!setGermanLocale(LC_ALL))
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

namespace {

// The number text as it was built before the shortest text decided the
// rounding: the value rounded by to_chars in scientific form to find the
// exponent, then printed again in fixed form where %g would. Kept as the
// reference of the faster road.
std::string twoPassText(double v, int digits)
{
    if (std::isnan(v))
        return "1.#QNAN";
    if (std::isinf(v))
        return v < 0 ? "-1.#INF" : "1.#INF";
    auto trim = [](std::string s) {
        if (s.find('.') != std::string::npos)
            while (!s.empty() && s.back() == '0')
                s.pop_back();
        if (s.find('.') == std::string::npos)
            s += '.';
        return s;
    };
    char sci[64];
    *std::to_chars(sci, sci + sizeof sci - 1, v, std::chars_format::scientific, digits - 1).ptr = 0;
    char* e = strchr(sci, 'e');
    const int exponent = atoi(e + 1);
    if (exponent >= -4 && exponent < digits) {
        char fixed[400];
        *std::to_chars(fixed, fixed + sizeof fixed - 1, v, std::chars_format::fixed,
                       digits - 1 - exponent)
             .ptr = 0;
        return trim(fixed);
    }
    std::string text = trim(std::string(sci, e));
    const int a = exponent < 0 ? -exponent : exponent;
    char tail[16];
    if (exponent < 0)
        snprintf(tail, sizeof tail, "e-%d", a);
    else
        snprintf(tail, sizeof tail, "e+%03d", a);
    return text + tail;
}

std::string fastText(double v, int digits)
{
    char buf[kMaxNumberText + 1];
    const size_t n = formatNumberDigits(v, digits, buf);
    EXPECT_EQ(strlen(buf), n);
    return buf;
}

// Values whose 15th and later digits lie at or next to half a unit of the
// 14th: the shortest text then cannot decide the rounding alone.
double nearTie(std::mt19937_64& random)
{
    // 14 digits, then 5, then a small perturbation of a few last places.
    const unsigned long long mantissa = 10000000000000ULL + random() % 90000000000000ULL;
    const double base = static_cast<double>(mantissa) * 10 + 5;
    const int scale = static_cast<int>(random() % 40) - 20;
    double v = base * std::pow(10.0, scale - 14);
    for (int steps = static_cast<int>(random() % 5) - 2; steps != 0; steps += steps > 0 ? -1 : 1)
        v = std::nextafter(v, steps > 0 ? HUGE_VAL : 0.0);
    return random() % 2 ? v : -v;
}

} // namespace

// The number text comes from the shortest text of the value where that
// decides the rounding, and from the exact rounding elsewhere: on a large
// table of random values (any bit pattern, subnormals included; values of
// simulation runs; near-ties of the 14th digit; integers; powers of ten and
// their neighbours) it is the text of the two-pass road, for every count of
// digits.
TEST(NumberFormatTest, FasterTextEqualsTheTwoPassTextOnRandomValues)
{
    std::mt19937_64 random(20261211);
    std::vector<double> values;
    for (int i = 0; i < 400000; ++i) {
        double v;
        const uint64_t bits = random();
        memcpy(&v, &bits, sizeof v);
        values.push_back(v);
    }
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 400000; ++i)
        values.push_back(unit(random) * std::pow(10.0, static_cast<int>(random() % 24) - 12));
    for (int i = 0; i < 200000; ++i)
        values.push_back(nearTie(random));
    for (int i = 0; i < 20000; ++i)
        values.push_back(static_cast<double>(static_cast<int64_t>(random() % 2000000000000000ULL) -
                                             1000000000000000LL));
    for (int k = -330; k <= 310; ++k) {
        const double p = std::pow(10.0, k);
        values.push_back(p);
        values.push_back(std::nextafter(p, 0.0));
        values.push_back(std::nextafter(p, HUGE_VAL));
        values.push_back(-p);
    }
    for (double v : {0.0, -0.0, 5e-324, -5e-324, DBL_MIN, DBL_MAX, 0.1, 0.2, 0.3, 0.1 + 0.2,
                     99999999999999.5, 9.99999999999995, 0.000099999999999999995})
        values.push_back(v);

    int differing = 0;
    for (size_t i = 0; i < values.size() && differing < 10; ++i) {
        const double v = values[i];
        const std::string expected = twoPassText(v, 14);
        const std::string got = fastText(v, 14);
        if (got != expected) {
            ++differing;
            ADD_FAILURE() << std::hexfloat << v << ": " << got << " instead of " << expected;
        }
    }
    // Every other count of digits on a part of the table.
    for (size_t i = 0; i < values.size() && differing < 10; i += 7) {
        const int digits = 1 + static_cast<int>(i / 7 % kMaxNumberDigits);
        const double v = values[i];
        const std::string expected = twoPassText(v, digits);
        const std::string got = fastText(v, digits);
        if (got != expected) {
            ++differing;
            ADD_FAILURE() << std::hexfloat << v << " with " << digits << " digits: " << got
                          << " instead of " << expected;
        }
    }
}
