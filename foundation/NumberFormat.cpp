#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

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

// The C library's answer for a number beyond the range of double: infinity
// when its decimal order is positive, else zero, with its sign.
double outOfRangeValue(const char* s, const char* end)
{
    bool negative = *s == '-';
    if (negative)
        ++s;
    long order = 0;
    bool seenDigit = false;
    while (s < end && *s >= '0' && *s <= '9') {
        if (*s != '0' || seenDigit) {
            seenDigit = true;
            ++order;
        }
        ++s;
    }
    if (s < end && *s == '.') {
        ++s;
        while (!seenDigit && s < end && *s == '0') {
            --order;
            ++s;
        }
        while (s < end && *s >= '0' && *s <= '9')
            ++s;
    }
    if (s < end && (*s == 'e' || *s == 'E'))
        order += strtol(s + 1, nullptr, 10);
    double v = order > 0 ? HUGE_VAL : 0.0;
    return negative ? -v : v;
}

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
    if (*s == '+')
        ++s;  // from_chars takes no plus sign
    double v = 0;
    std::from_chars_result r = std::from_chars(s, s + strlen(s), v, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument)
        return 0;
    if (r.ec == std::errc::result_out_of_range)
        v = outOfRangeValue(s, r.ptr);
    *value = v;
    return static_cast<size_t>(r.ptr - text);
}
