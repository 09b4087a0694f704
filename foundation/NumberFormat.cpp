#include "NumberFormat.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Significant digits of the format.
const int kDigits = 14;

size_t copyText(char* out, const char* s)
{
    size_t n = strlen(s);
    memcpy(out, s, n + 1);
    return n;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Decimal orders (a value lies in [10^(order-1), 10^order)) at and beyond
// which every double is infinite or zero, whatever the digits: 10^309 is
// above the largest double, 10^-324 below half the least subnormal.
const long long kOrderAlwaysInfinite = 310;
const long long kOrderAlwaysZero = -324;

// An exponent is summed only up to this magnitude. It lies far beyond both
// limits and far beyond the length of any text, so adding the mantissa's
// order cannot overflow: a mended fault, the exponent was read with strtol
// and the sum overflowed ("11e9223372036854775807" read as 0,
// "0.001e-9223372036854775808" as infinite).
const long long kExponentCap = 1000000000000000LL;

// Exponent texts longer than this are handed on in a short form.
const size_t kLongExponentText = 9;

} // namespace

size_t formatNumber(double v, char* out)
{
    return formatNumberDigits(v, kDigits, out);
}

namespace {

// Digits that the shortest text of a double may need.
const int kShortestDigits = 17;
// Significant digits up to which the shortest text decides the rounding
// (see roundedDigits).
const int kShortestRounds = 14;

const double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
                               1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

// The digits and the decimal exponent of a text d[.ddd]e±x that to_chars
// wrote in scientific form; returns the number of digits.
int splitScientific(const char* text, char* digits, int* exponent)
{
    int n = 0;
    const char* p = text;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            digits[n++] = *p;
    ++p;
    const bool negative = *p == '-';
    ++p;
    int x = 0;
    for (; isDigit(*p); ++p)
        x = x * 10 + (*p - '0');
    *exponent = negative ? -x : x;
    return n;
}

// The first `count` significant digits of a (finite, not negative) rounded
// to nearest, ties to even, and the decimal exponent of the rounded value:
// what to_chars writes with precision count - 1 in scientific form.
//
// That rounding of the exact binary value costs twice the shortest text
// that reads back as a, so the shortest text S is taken where it decides
// the same: S lies within half a unit in the last place of a, at most
// 2^-53·|a|, which is at most 2^-53·10^count of a unit in the count-th digit
// (a below 10^(x+1), that unit 10^(x+1-count)). When S has no more digits
// than count, S padded with zeros is the nearest text of count digits. With
// more, S is rounded unless the rest of S lies so near half a unit that a
// might lie on the other side of it; that case, and subnormal values (whose
// last place is wider), take the exact road.
void roundedDigits(double a, int count, char* digits, int* exponent)
{
    if (count <= kShortestRounds && (a == 0 || a >= DBL_MIN)) {
        char text[48];
        char s[kShortestDigits + 8];
        *std::to_chars(text, text + sizeof text - 1, a, std::chars_format::scientific).ptr = 0;
        int x;
        const int n = splitScientific(text, s, &x);
        if (n <= count) {
            memcpy(digits, s, static_cast<size_t>(n));
            memset(digits + n, '0', static_cast<size_t>(count - n));
            *exponent = x;
            return;
        }
        unsigned long long rest = 0;
        for (int i = count; i < n; ++i)
            rest = rest * 10 + static_cast<unsigned>(s[i] - '0');
        const double fraction = static_cast<double>(rest) / kPowersOfTen[n - count];
        const double reach = 2 * 0x1p-53 * kPowersOfTen[count];
        if (std::fabs(fraction - 0.5) > reach) {
            memcpy(digits, s, static_cast<size_t>(count));
            if (fraction > 0.5) {
                int i = count - 1;
                while (i >= 0 && digits[i] == '9')
                    digits[i--] = '0';
                if (i >= 0) {
                    ++digits[i];
                } else {
                    digits[0] = '1';
                    ++x;
                }
            }
            *exponent = x;
            return;
        }
    }
    char text[48];
    *std::to_chars(text, text + sizeof text - 1, a, std::chars_format::scientific, count - 1).ptr =
        0;
    splitScientific(text, digits, exponent);
}

// Drops trailing zeros of the digits after the first `keep`.
int trimmedLength(const char* digits, int length, int keep)
{
    while (length > keep && digits[length - 1] == '0')
        --length;
    return length;
}

} // namespace

size_t formatNumberDigits(double v, int digits, char* out)
{
    if (digits < 1)
        digits = 1;
    if (digits > kMaxNumberDigits)
        digits = kMaxNumberDigits;
    if (std::isnan(v))
        return copyText(out, "1.#QNAN");
    if (std::isinf(v))
        return copyText(out, v < 0 ? "-1.#INF" : "1.#INF");

    // The exponent of the value rounded to the digits decides the style, as
    // in %g; both styles show the same rounded digits.
    char d[kMaxNumberDigits];
    int exponent;
    roundedDigits(std::fabs(v), digits, d, &exponent);

    char* p = out;
    if (std::signbit(v))
        *p++ = '-';
    if (exponent >= -4 && exponent < digits) {
        if (exponent >= 0) {
            // The integer part, the point, the rest without trailing zeros.
            const int whole = exponent + 1;
            memcpy(p, d, static_cast<size_t>(whole));
            p += whole;
            *p++ = '.';
            const int n = trimmedLength(d, digits, whole);
            memcpy(p, d + whole, static_cast<size_t>(n - whole));
            p += n - whole;
        } else {
            *p++ = '0';
            *p++ = '.';
            for (int i = -1; i > exponent; --i)
                *p++ = '0';
            const int n = trimmedLength(d, digits, 0);
            memcpy(p, d, static_cast<size_t>(n));
            p += n;
        }
        *p = 0;
        return static_cast<size_t>(p - out);
    }

    *p++ = d[0];
    *p++ = '.';
    const int n = trimmedLength(d, digits, 1);
    memcpy(p, d + 1, static_cast<size_t>(n - 1));
    p += n - 1;
    int a = exponent < 0 ? -exponent : exponent;
    *p++ = 'e';
    if (exponent < 0) {
        *p++ = '-';
        std::to_chars_result r = std::to_chars(p, p + 8, a);
        p = r.ptr;
    } else {
        // The old library printed at least three exponent digits.
        *p++ = '+';
        *p++ = static_cast<char>('0' + a / 100 % 10);
        *p++ = static_cast<char>('0' + a / 10 % 10);
        *p++ = static_cast<char>('0' + a % 10);
    }
    *p = 0;
    return static_cast<size_t>(p - out);
}

String formatDouble(double v)
{
    char buf[kMaxNumberText + 1];
    formatNumber(v, buf);
    return String(buf);
}

size_t parseNumber(const char* text, double* value)
{
    const char* s = text;
    while (*s == ' ' || *s == '\t')
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = *s == '-';
        ++s;
    }
    // A sign stands once: "+-5" was read as -5 (from_chars takes no plus
    // sign, so it was skipped here and the minus went on).
    if (*s == '+' || *s == '-')
        return 0;

    // The mantissa: digits, a point, digits; at least one digit.
    const char* mantissa = s;
    long long order = 0;
    bool nonZero = false;
    while (isDigit(*s)) {
        if (*s != '0' || nonZero) {
            nonZero = true;
            ++order;
        }
        ++s;
    }
    bool anyDigit = s != mantissa;
    if (*s == '.') {
        const char* f = s + 1;
        while (isDigit(*f)) {
            if (!nonZero) {
                if (*f == '0')
                    --order;
                else
                    nonZero = true;
            }
            ++f;
        }
        anyDigit = anyDigit || f != s + 1;
        if (anyDigit)
            s = f;
    }
    if (!anyDigit) {
        // "inf", "nan" and what is no number at all.
        double v = 0;
        std::from_chars_result r = std::from_chars(mantissa, mantissa + strlen(mantissa), v,
                                                   std::chars_format::general);
        if (r.ec != std::errc())
            return 0;
        *value = negative ? -v : v;
        return static_cast<size_t>(r.ptr - text);
    }
    const char* mantissaEnd = s;

    // The exponent, taken only when digits follow the "e" and its sign.
    long long exponent = 0;
    size_t exponentDigits = 0;
    if (*s == 'e' || *s == 'E') {
        const char* e = s + 1;
        bool exponentNegative = false;
        if (*e == '+' || *e == '-') {
            exponentNegative = *e == '-';
            ++e;
        }
        const char* digits = e;
        while (isDigit(*e)) {
            if (exponent < kExponentCap)
                exponent = exponent * 10 + (*e - '0');
            ++e;
        }
        if (e != digits) {
            exponentDigits = static_cast<size_t>(e - digits);
            if (exponentNegative)
                exponent = -exponent;
            s = e;
        }
    }

    double v = 0;
    if (nonZero) {
        long long lead = order + exponent;
        if (lead >= kOrderAlwaysInfinite) {
            v = HUGE_VAL;
        } else if (lead > kOrderAlwaysZero) {
            std::from_chars_result r;
            if (exponentDigits > kLongExponentText) {
                std::string shortForm(mantissa, mantissaEnd);
                shortForm += 'e';
                shortForm += std::to_string(exponent);
                r = std::from_chars(shortForm.data(), shortForm.data() + shortForm.size(), v,
                                    std::chars_format::general);
            } else {
                r = std::from_chars(mantissa, s, v, std::chars_format::general);
            }
            // The C library's answer beyond the range of double: infinity
            // when the decimal order is positive, else zero.
            if (r.ec == std::errc::result_out_of_range)
                v = lead > 0 ? HUGE_VAL : 0.0;
        }
    }
    *value = negative ? -v : v;
    return static_cast<size_t>(s - text);
}
