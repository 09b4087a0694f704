#include "NumberField.h"

#include "NumberFormat.h"
#include "ResString.h"
#include "strings/FoundationStrings.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {


bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '_';
}

// The text before a "(" ends in a name ("MAX", "f2"): the parentheses
// hold a function's arguments.
bool endsWithName(const std::string& text)
{
    size_t end = text.find_last_not_of(" \t");
    if (end == std::string::npos)
        return false;
    size_t start = end + 1;
    while (start > 0 && isNameChar(text[start - 1]))
        --start;
    return start <= end && !isDigit(text[start]);
}

std::string trimmed(const char* text)
{
    std::string t = text ? text : "";
    const size_t first = t.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return t.substr(first, t.find_last_not_of(" \t") - first + 1);
}

// The trimmed text with its one decimal comma as a point; false when the
// text cannot be a number of the rule (empty, two commas, point and comma).
bool pointSpelling(const char* text, std::string* spelled)
{
    std::string t = trimmed(text);
    if (t.empty())
        return false;
    const size_t comma = t.find(',');
    if (comma != std::string::npos) {
        if (t.find(',', comma + 1) != std::string::npos || t.find('.') != std::string::npos)
            return false;
        t[comma] = '.';
    }
    *spelled = t;
    return true;
}

} // namespace

bool readNumberField(const char* text, double* value)
{
    std::string t;
    if (!pointSpelling(text, &t))
        return false;
    double v = 0;
    if (parseNumber(t.c_str(), &v) != t.size() || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool numberFieldPointForm(const char* text, std::string* pointForm)
{
    double v = 0;
    if (!readNumberField(text, &v))
        return false;
    pointSpelling(text, pointForm);
    return true;
}

bool pointDecimalCommas(const char* expression, std::string* pointForm)
{
    const std::string e = expression ? expression : "";
    std::string out;
    out.reserve(e.size());
    // The open parentheses, inside out: true for a function's argument list.
    std::vector<bool> calls;
    size_t i = 0;
    while (i < e.size()) {
        const char c = e[i];
        const bool next = i + 1 < e.size() && isDigit(e[i + 1]);
        if (isNameChar(c) && !isDigit(c)) {
            // A name keeps its digits: "x1,2" is no number.
            while (i < e.size() && isNameChar(e[i]))
                out += e[i++];
            continue;
        }
        const bool afterName = !out.empty() && isNameChar(out.back());
        if (isDigit(c) || ((c == '.' || c == ',') && next && !afterName)) {
            // A number: digits, one separator, digits, an exponent.
            while (i < e.size() && isDigit(e[i]))
                out += e[i++];
            const bool commaBeforeDigit = i + 1 < e.size() && e[i] == ',' && isDigit(e[i + 1]);
            if (i < e.size() && (e[i] == '.' || commaBeforeDigit)) {
                if (e[i] == ',' && !calls.empty() && calls.back())
                    return false;
                out += '.';
                ++i;
                while (i < e.size() && isDigit(e[i]))
                    out += e[i++];
            }
            if (i < e.size() && (e[i] == 'e' || e[i] == 'E')) {
                size_t j = i + 1;
                if (j < e.size() && (e[j] == '+' || e[j] == '-'))
                    ++j;
                if (j < e.size() && isDigit(e[j])) {
                    out.append(e, i, j - i);
                    i = j;
                    while (i < e.size() && isDigit(e[i]))
                        out += e[i++];
                }
            }
            // "1,5,3", "5,": a comma after the number separates nothing.
            if (i < e.size() && e[i] == ',')
                return false;
            continue;
        }
        if (c == ',')
            return false;
        if (c == '(') {
            calls.push_back(endsWithName(out));
        } else if (c == ')' && !calls.empty()) {
            calls.pop_back();
        }
        out += c;
        ++i;
    }
    *pointForm = out;
    return true;
}

std::string fieldLabelName(const char* label)
{
    std::string name;
    for (const char* p = label ? label : ""; *p; ++p) {
        // "&&" shows one ampersand; a single one marks the mnemonic.
        if (*p == '&') {
            if (p[1] == '&')
                name += *++p;
            continue;
        }
        name += *p;
    }
    name = trimmed(name.c_str());
    while (!name.empty() && (name.back() == ':' || isBlank(name.back())))
        name.pop_back();
    return name;
}

std::string numberRefusalText(const char* fieldName, const char* typed)
{
    const char* format = getResString(kStrNotANumber);
    const std::string name = fieldName ? fieldName : "";
    const std::string text = typed ? typed : "";
    std::string out;
    // The format holds two %s: the field's name, then the typed text.
    const char* p = format;
    int filled = 0;
    while (*p) {
        if (p[0] == '%' && p[1] == 's' && filled < 2) {
            out += filled++ == 0 ? name : text;
            p += 2;
            continue;
        }
        out += *p++;
    }
    return out;
}
