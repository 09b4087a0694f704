#include "FieldFormatter.h"

#include "CharClass.h"

#include <climits>

int FieldFormatter::strip(std::string&, uint32_t)
{
    return 1;
}

int FieldFormatter::firstInputPos(const std::string&)
{
    return 0;
}

bool CharFilter::passes(unsigned char c) const
{
    using namespace charclass;
    if ((flags & FF_ALNUM_SIGNS) && !(isAlphaNumeric(c) || isBlank(c) || c == '-' || c == '+'))
        return false;
    if ((flags & FF_LETTERS) && !(isLetter(c) || isBlank(c)))
        return false;
    if ((flags & FF_DIGITS) && !isDigit(c))
        return false;
    return true;
}

int CharFilter::apply(std::string& text, char* chars, int count, Selection& selection)
{
    using namespace charclass;
    const int length = static_cast<int>(text.size());
    int start = selection.start < 0 ? 0 : (selection.start > length ? length : selection.start);
    int end = selection.end < start ? start : (selection.end > length ? length : selection.end);

    // 1. The characters before the selection.
    std::string result = text.substr(0, start);
    int rest = end;
    bool deletion = count > 0 && chars[0] == kDeleteRequest;
    // 2. Deletions of one character.
    if (deletion && start == end) {
        if (count == 1 && !result.empty())
            result.pop_back();
        else if (count == 2 && rest < length)
            ++rest;
    }
    // 3. The characters to insert, up to the first that fails.
    int inserted = 0;
    int toInsert = deletion ? 0 : count;
    for (; inserted < toInsert; ++inserted) {
        unsigned char c = static_cast<unsigned char>(chars[inserted]);
        if ((flags & FF_LOWER) && isUpper(c))
            c = toLower(c);
        if ((flags & FF_UPPER) && isLower(c))
            c = toUpper(c);
        if ((flags & FF_CAPITALISE) && isLetter(c) && (result.empty() || result.back() == ' '))
            c = toUpper(c);
        if (!passes(c))
            break;
        chars[inserted] = static_cast<char>(c);
        result += static_cast<char>(c);
    }
    // 4. The caret goes after the last inserted character.
    int caret = static_cast<int>(result.size());
    // 5. Whether the edit is taken.
    if (rest >= length && static_cast<int>(result.size()) >= length) {
        // Nothing followed the selection: a partly inserted text is kept.
    } else {
        result += text.substr(rest);
        if (inserted < toInsert)
            return APPLY_REFUSED;
    }
    if (static_cast<int>(result.size()) > kMaxFieldText)
        return APPLY_REFUSED;
    text = result;
    selection.start = selection.end = caret;
    return APPLY_DONE;
}

int CharFilter::validate(const std::string& text, Selection& selection)
{
    if (text.empty()) {
        if (flags & FF_EMPTY_OK)
            return 1;
        selection.start = selection.end = 0;
        return 0;
    }
    for (size_t i = 0; i < text.size(); ++i)
        if (!passes(static_cast<unsigned char>(text[i]))) {
            selection.start = selection.end = static_cast<int>(i);
            return 0;
        }
    return 1;
}

bool readPlainInt(const std::string& text, int& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    long long v = negative ? -magnitude : magnitude;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    value = static_cast<int>(v);
    return true;
}
