#include "NumberFormat.h"

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

// Drops trailing zeros behind the point; the point itself stays.
void trimMantissa(char* begin, char** end)
{
    if (!memchr(begin, '.', static_cast<size_t>(*end - begin)))
        return;
    while (*end > begin && (*end)[-1] == '0')
        --*end;
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
    // in %g.
    char sci[48];
    std::to_chars_result r = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific, digits - 1);
    *r.ptr = 0;
    char* e = strchr(sci, 'e');
    int exponent = atoi(e + 1);

    char* p = out;
    if (exponent >= -4 && exponent < digits) {
        char fixed[48];
        r = std::to_chars(fixed, fixed + sizeof fixed, v, std::chars_format::fixed, digits - 1 - exponent);
        char* end = r.ptr;
        trimMantissa(fixed, &end);
        size_t n = static_cast<size_t>(end - fixed);
        memcpy(p, fixed, n);
        p += n;
        if (!memchr(fixed, '.', n))
            *p++ = '.';
        *p = 0;
        return static_cast<size_t>(p - out);
    }

    char* end = e;
    trimMantissa(sci, &end);
    size_t n = static_cast<size_t>(end - sci);
    memcpy(p, sci, n);
    p += n;
    if (!memchr(sci, '.', n))
        *p++ = '.';
    int a = exponent < 0 ? -exponent : exponent;
    *p++ = 'e';
    if (exponent < 0) {
        *p++ = '-';
        r = std::to_chars(p, p + 8, a);
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
