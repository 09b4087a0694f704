#include "NumericMask.h"

#include "CharClass.h"

#include <algorithm>

using charclass::isDigit;

NumericMask::NumericMask(uint32_t flagsWord, const char* mask, IntlSettings* settings)
    : FieldFormatter(flagsWord), decimalIndex(0), intDigits(0), fracDigits(0), leadFill(' '), leadFillOn(false),
      trailFill(' '), trailFillOn(false), decimalChar('.'), groupChar(','), editMode(3), currency(false),
      signs(false), negativeAllowed(false), showPositive(false), fFlag(false), digitsEntered(false),
      intl(settings ? settings : IntlSettings::shared()), ownsIntl(settings != nullptr)
{
    parseMask(mask ? mask : "");
}

NumericMask::~NumericMask()
{
    if (ownsIntl)
        delete intl;
}

void NumericMask::parseMask(const char* mask)
{
    const std::string m(mask);
    size_t i = 0;
    bool stop = false;
    // A fill character in the place of a count ends the parse.
    auto fillAt = [&](size_t at, char& fill) {
        if (at >= m.size() || (m[at] >= '1' && m[at] <= '9'))
            return false;
        fill = m[at];
        return true;
    };
    while (!stop && i < m.size() && m[i] != '#' && m[i] != '0' && m[i] != '[') {
        switch (m[i]) {
        case ' ': ++i; break;
        case '$':
            currency = signs = negativeAllowed = showPositive = true;
            ++i;
            break;
        case '+':
            signs = negativeAllowed = showPositive = true;
            ++i;
            break;
        case '-':
            signs = negativeAllowed = true;
            ++i;
            break;
        case 'F':
            fFlag = true;
            ++i;
            break;
        case 'L':
        case 'T': {
            bool both = i + 1 < m.size() && (m[i + 1] == 'L' || m[i + 1] == 'T') && m[i + 1] != m[i];
            char fill;
            if (!fillAt(i + (both ? 2 : 1), fill)) {
                stop = true;
                break;
            }
            if (both || m[i] == 'L') {
                leadFill = fill;
                leadFillOn = true;
            }
            if (both || m[i] == 'T') {
                trailFill = fill;
                trailFillOn = true;
            }
            i += both ? 3 : 2;
            break;
        }
        case 'R':
            if (i + 1 < m.size() && m[i + 1] >= '1' && m[i + 1] <= '3') {
                editMode = m[i + 1] == '3' ? 0 : m[i + 1] - '0';
                i += 2;
            } else {
                stop = true;
            }
            break;
        default: stop = true; break;
        }
    }
    if (flags & FF_PLACEHOLDERS) {
        leadFill = trailFill = '#';
        leadFillOn = trailFillOn = true;
        fFlag = false;
    }
    bool afterPoint = false;
    auto hashFill = [&]() { return afterPoint ? (trailFillOn ? trailFill : ' ') : (leadFillOn ? leadFill : ' '); };
    while (!stop && i < m.size() && static_cast<int>(positions.size()) < kMaxPositions) {
        char c = m[i];
        if (c == '#') {
            positions.push_back({DIGIT_RANGE, '0', '9', hashFill()});
            ++i;
        } else if (c == '0') {
            positions.push_back({DIGIT_RANGE, '0', '9', '0'});
            ++i;
        } else if (c == ',') {
            positions.push_back({GROUP_SEPARATOR, 0, 0, 0});
            ++i;
        } else if (c == '.' && !afterPoint) {
            positions.push_back({DECIMAL_POINT, 0, 0, 0});
            afterPoint = true;
            ++i;
        } else if (c == '[' && i + 4 < m.size() + 0 && isDigit(m[i + 1]) && m[i + 2] == '-' && isDigit(m[i + 3]) &&
                   m[i + 4] == ']' && m[i + 1] <= m[i + 3]) {
            positions.push_back({DIGIT_RANGE, m[i + 1], m[i + 3], hashFill()});
            i += 5;
        } else if (c == '[' && i + 3 < m.size() && m[i + 1] == '!' && isDigit(m[i + 2]) && m[i + 3] == ']') {
            positions.push_back({DIGIT_BUT_ONE, m[i + 2], m[i + 2], hashFill()});
            i += 4;
        } else {
            stop = true;
        }
    }
    decimalIndex = static_cast<int>(positions.size());
    for (size_t p = 0; p < positions.size(); ++p)
        if (positions[p].kind == DECIMAL_POINT)
            decimalIndex = static_cast<int>(p);
    for (size_t p = 0; p < positions.size(); ++p)
        if (positions[p].kind == DIGIT_RANGE || positions[p].kind == DIGIT_BUT_ONE)
            ++(static_cast<int>(p) < decimalIndex ? intDigits : fracDigits);
    decimalChar = currency ? intl->monDecimalPoint : intl->decimalPoint;
    groupChar = currency ? intl->monThousandsSep : intl->thousandsSep;
}

NumericMask::Parsed NumericMask::parse(const std::string& text) const
{
    Parsed p;
    p.negative = false;
    p.dotShown = -1;
    // Decorations are passed over: the currency symbol (which may hold the
    // decimal character, as "Fr." does) and the signs.
    std::vector<bool> skip(text.size(), false);
    auto mark = [&](const std::string& piece, bool negative) {
        if (piece.empty())
            return;
        for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) {
            for (size_t k = at; k < at + piece.size(); ++k)
                skip[k] = true;
            if (negative)
                p.negative = true;
        }
    };
    if (currency) {
        mark(intl->currencySymbol, false);
        mark("(", true);
        mark(intl->negativeSign, true);
        mark(intl->positiveSign, false);
    } else {
        mark("-", true);
        mark("+", false);
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (skip[i])
            continue;
        char c = text[i];
        if (hasPoint() && p.dotShown < 0 && c == decimalChar) {
            p.dotShown = static_cast<int>(i);
        } else if (isDigit(c)) {
            if (p.dotShown < 0) {
                p.intPart += c;
                p.intShown.push_back(static_cast<int>(i));
            } else {
                p.fracPart += c;
                p.fracShown.push_back(static_cast<int>(i));
            }
        }
    }
    if (!negativeAllowed)
        p.negative = false;
    return p;
}

NumericMask::Caret NumericMask::locate(const Parsed& parsed, int shownPos) const
{
    Caret c;
    c.fraction = parsed.dotShown >= 0 && shownPos > parsed.dotShown;
    const std::vector<int>& shown = c.fraction ? parsed.fracShown : parsed.intShown;
    c.index = static_cast<int>(std::count_if(shown.begin(), shown.end(), [&](int at) { return at < shownPos; }));
    return c;
}

std::string NumericMask::renderInt(const std::string& digits, int caretIndex, int& caretPos) const
{
    // The digits go right to left onto the digit positions before the
    // decimal point; free positions show their fill (blank fills nothing).
    std::vector<char> shown(decimalIndex, 0);
    std::vector<bool> isDigitHere(decimalIndex, false);
    int k = static_cast<int>(digits.size()) - 1;
    for (int pos = decimalIndex - 1; pos >= 0; --pos) {
        if (positions[pos].kind == GROUP_SEPARATOR)
            continue;
        if (k >= 0) {
            shown[pos] = digits[k--];
            isDigitHere[pos] = true;
        } else if (positions[pos].fill != ' ') {
            shown[pos] = positions[pos].fill;
        }
    }
    // Digits beyond the mask's positions stand in front unchanged.
    std::string out = digits.substr(0, k + 1);
    std::vector<int> digitIndex;
    for (int d = 0; d <= k; ++d)
        digitIndex.push_back(d);
    bool digitLeft = k >= 0, charLeft = k >= 0;
    for (int pos = 0; pos < decimalIndex; ++pos) {
        if (positions[pos].kind == GROUP_SEPARATOR) {
            if (digitLeft || (fFlag && charLeft))
                out += groupChar;
            continue;
        }
        if (!shown[pos])
            continue;
        if (isDigitHere[pos]) {
            digitIndex.push_back(static_cast<int>(out.size()));
            digitLeft = true;
        }
        charLeft = true;
        out += shown[pos];
    }
    caretPos = caretIndex < static_cast<int>(digitIndex.size()) ? digitIndex[caretIndex] : static_cast<int>(out.size());
    if (out.empty()) {
        out = "0";
        caretPos = 1;
    }
    return out;
}

std::string NumericMask::decorate(bool negative, const std::string& number, int& caretPos) const
{
    bool neg = negative && negativeAllowed;
    std::string prefix, suffix;
    if (!currency) {
        if (signs && neg)
            prefix = "-";
        else if (signs && showPositive)
            prefix = "+";
    } else {
        const std::string& symbol = intl->currencySymbol;
        bool precedes = (neg ? intl->negCurrencyPrecedes : intl->currencyPrecedes) == '1';
        std::string blank = (neg ? intl->negSepBySpace : intl->currencySepBySpace) == '1' ? " " : "";
        std::string sign;
        char posn = 0;
        if (neg) {
            sign = intl->negativeSign;
            posn = intl->negSignPosn;
        } else if (showPositive) {
            sign = intl->positiveSign;
            posn = intl->posSignPosn;
        }
        std::string before = (posn == '3') ? sign : "";
        std::string after = (posn == '4') ? sign : "";
        if (precedes)
            prefix = before + symbol + after + blank;
        else
            suffix = blank + before + symbol + after;
        if (posn == '0' && neg) {
            prefix = "(" + prefix;
            suffix += ")";
        } else if (posn == '1') {
            prefix = sign + prefix;
        } else if (posn == '2') {
            suffix += sign;
        }
    }
    caretPos += static_cast<int>(prefix.size());
    return prefix + number + suffix;
}

std::string NumericMask::render(bool negative, const std::string& intPart, const std::string& fracPart, Caret caret,
                                int& caretPos) const
{
    std::string digits = intPart;
    size_t zeros = 0;
    while (zeros < digits.size() && digits[zeros] == '0')
        ++zeros;
    digits.erase(0, zeros);
    if (!caret.fraction)
        caret.index = std::max(0, caret.index - static_cast<int>(zeros));
    int intCaret = 0;
    std::string number = renderInt(digits, caret.index, intCaret);
    caretPos = intCaret;
    if (hasPoint()) {
        std::string fraction = fracPart;
        int p = decimalIndex + 1;
        for (size_t used = 0; p < static_cast<int>(positions.size()); ++p) {
            if (positions[p].kind == GROUP_SEPARATOR)
                continue;
            if (used < fracPart.size()) {
                ++used;
                continue;
            }
            if (positions[p].fill != ' ')
                fraction += positions[p].fill;
        }
        if (fraction.empty())
            fraction = "0";
        if (caret.fraction)
            caretPos = static_cast<int>(number.size()) + 1 + std::min(caret.index, static_cast<int>(fracPart.size()));
        number += decimalChar;
        number += fraction;
    }
    return decorate(negative, number, caretPos);
}

std::string NumericMask::emptyTemplate() const
{
    int caretPos = 0;
    return render(false, "", "", Caret{false, 0}, caretPos);
}

void NumericMask::insertDigit(char digit, std::string& intPart, std::string& fracPart, Caret& caret) const
{
    if (caret.fraction) {
        if (fracDigits == 0)
            return;
        caret.index = std::min(caret.index, static_cast<int>(fracPart.size()));
        fracPart.insert(fracPart.begin() + caret.index, digit);
        if (static_cast<int>(fracPart.size()) > fracDigits)
            fracPart.pop_back();
        caret.index = std::min(caret.index + 1, static_cast<int>(fracPart.size()));
        return;
    }
    if (intDigits == 0)
        return;
    if (intPart.empty()) {
        if (digit != '0') {
            intPart = digit;
            caret.index = 1;
        }
        return;
    }
    caret.index = std::min(caret.index, static_cast<int>(intPart.size()));
    if (digit == '0' && caret.index == 0)
        return;
    intPart.insert(intPart.begin() + caret.index, digit);
    if (static_cast<int>(intPart.size()) > intDigits)
        intPart.pop_back();
    caret.index = std::min(caret.index + 1, static_cast<int>(intPart.size()));
}

int NumericMask::apply(std::string& text, char* chars, int count, Selection& selection)
{
    // 1. A request that begins with the decimal character is a row of keystrokes.
    if (count > 1 && chars[0] == decimalChar) {
        std::string work = text;
        Selection sel = selection;
        for (int i = 0; i < count; ++i) {
            char one = chars[i];
            if (!apply(work, &one, 1, sel))
                return APPLY_REFUSED;
        }
        text = work;
        selection = sel;
        return APPLY_DONE;
    }
    const int length = static_cast<int>(text.size());
    Selection sel;
    sel.start = std::max(0, std::min(selection.start, length));
    sel.end = std::max(sel.start, std::min(selection.end, length));
    // 2. An empty text starts from the template.
    std::string work = text;
    if (work.empty()) {
        work = emptyTemplate();
        sel.start = sel.end = 0;
    }
    Parsed parsed = parse(work);
    bool negative = parsed.negative;
    std::string intPart = parsed.intPart;
    std::string fracPart = parsed.fracPart;
    Caret start = locate(parsed, sel.start);
    Caret end = locate(parsed, sel.end);
    // Leading zeros are no digits of the value.
    size_t zeros = 0;
    while (zeros < intPart.size() && intPart[zeros] == '0')
        ++zeros;
    intPart.erase(0, zeros);
    for (Caret* c : {&start, &end})
        if (!c->fraction)
            c->index = std::max(0, c->index - static_cast<int>(zeros));

    const bool deletion = count > 0 && chars[0] == kDeleteRequest;
    const bool backspace = deletion && count == 1;
    auto unchanged = [&]() {
        if (text.empty()) {
            text = work;
            selection = sel;
        }
        return APPLY_DONE;
    };
    // A typed point or comma is the decimal character, whatever the
    // international settings say: German users type "0,5", the files "0.5"
    // (a comma that fit nowhere was refused with a beep).
    const bool typedPoint = count == 1 && hasPoint() && (chars[0] == decimalChar || chars[0] == '.' || chars[0] == ',');
    // 3. Edit modes.
    if (editMode != 3 && hasPoint()) {
        if (typedPoint && sel.start == sel.end) {
            int caretPos = 0;
            text = render(negative, intPart, fracPart, Caret{true, 0}, caretPos);
            selection.start = selection.end = caretPos;
            return APPLY_DONE;
        }
        if (digitsEntered) {
            bool empty = start == end;
            if (editMode == 0) {
                selection.end = selection.start = sel.start;
                return unchanged();
            }
            if (editMode == 1) {
                if (empty && (!start.fraction || (backspace && start.index == 0)))
                    return unchanged();
                if (!empty && !end.fraction) {
                    selection.end = selection.start = sel.start;
                    return unchanged();
                }
                if (!empty && !start.fraction)
                    start = Caret{true, 0};
            } else if (editMode == 2) {
                if (empty && (start.fraction ||
                              (deletion && !backspace && start.index >= static_cast<int>(intPart.size()))))
                    return unchanged();
                if (!empty && start.fraction) {
                    selection.end = selection.start = sel.start;
                    return unchanged();
                }
                if (!empty && end.fraction)
                    end = Caret{false, static_cast<int>(intPart.size())};
            }
        }
    }
    auto removeSelected = [&]() {
        if (start == end)
            return;
        if (!start.fraction && !end.fraction) {
            intPart.erase(start.index, end.index - start.index);
        } else if (start.fraction && end.fraction) {
            fracPart.erase(start.index, end.index - start.index);
        } else {
            intPart.erase(start.index);
            fracPart.erase(0, end.index);
        }
        end = start;
    };
    Caret caret = start;
    if (deletion) {
        // 8. Deletions; the decimal character itself stays.
        if (!(start == end)) {
            removeSelected();
        } else if (!backspace) {
            std::string& part = caret.fraction ? fracPart : intPart;
            if (caret.index < static_cast<int>(part.size()))
                part.erase(caret.index, 1);
            else if (!caret.fraction && !fracPart.empty())
                fracPart.erase(0, 1);
        } else if (caret.index > 0) {
            std::string& part = caret.fraction ? fracPart : intPart;
            part.erase(--caret.index, 1);
        } else if (caret.fraction && !intPart.empty()) {
            intPart.pop_back();
            caret = Caret{false, static_cast<int>(intPart.size())};
        }
    } else {
        int i = 0;
        // 5. A loaded value brings its sign in front.
        if (count > 1 && (chars[0] == '-' || chars[0] == '+')) {
            negative = chars[0] == '-';
            i = 1;
        }
        bool changed = false;
        for (; i < count; ++i) {
            char c = chars[i];
            bool isPoint = c == decimalChar || (count > 1 && c == '.') || typedPoint;
            if (c == '-' || c == '+' || isPoint || isDigit(c)) {
                // 6. The selected digits go first.
                removeSelected();
                caret = start;
            }
            if (c == '-' || c == '+') {
                negative = c == '-';
            } else if (isPoint) {
                if (hasPoint())
                    caret = Caret{true, 0};
                start = end = caret;
            } else if (isDigit(c)) {
                insertDigit(c, intPart, fracPart, caret);
                digitsEntered = true;
                start = end = caret;
            } else if (count == 1) {
                // A keystroke that fits nowhere leaves everything as it was.
                return unchanged();
            } else {
                continue;
            }
            changed = true;
        }
        if (!changed && count > 0)
            return unchanged();
    }
    int caretPos = 0;
    std::string result = render(negative, intPart, fracPart, caret, caretPos);
    if (static_cast<int>(result.size()) > kMaxFieldText)
        return APPLY_REFUSED;
    text = result;
    selection.start = selection.end = std::max(0, caretPos);
    return APPLY_DONE;
}

int NumericMask::validate(const std::string& text, Selection& selection)
{
    std::string copy = text.size() > 256 ? text.substr(0, 256) : text;
    Parsed parsed = parse(copy);
    // 1. Each digit against its position, outwards from the decimal point.
    int pos = decimalIndex - 1;
    for (int k = static_cast<int>(parsed.intPart.size()) - 1; k >= 0; --k) {
        while (pos >= 0 && positions[pos].kind == GROUP_SEPARATOR)
            --pos;
        char d = parsed.intPart[k];
        bool fits = pos >= 0 && (positions[pos].kind == DIGIT_BUT_ONE ? d != positions[pos].low
                                                                      : d >= positions[pos].low && d <= positions[pos].high);
        // A leading zero is no digit of the value.
        bool leadingZero = d == '0' && parsed.intPart.find_first_not_of('0') > static_cast<size_t>(k);
        if (!fits && !(pos < 0 && leadingZero)) {
            selection.start = selection.end = parsed.intShown[k];
            return 0;
        }
        --pos;
    }
    pos = decimalIndex + 1;
    for (size_t k = 0; k < parsed.fracPart.size(); ++k) {
        while (pos < static_cast<int>(positions.size()) && positions[pos].kind == GROUP_SEPARATOR)
            ++pos;
        char d = parsed.fracPart[k];
        bool fits = pos < static_cast<int>(positions.size()) &&
                    (positions[pos].kind == DIGIT_BUT_ONE ? d != positions[pos].low
                                                          : d >= positions[pos].low && d <= positions[pos].high);
        if (!fits) {
            selection.start = selection.end = parsed.fracShown[k];
            return 0;
        }
        ++pos;
    }
    const int intCount = static_cast<int>(parsed.intPart.size());
    const int fracCount = static_cast<int>(parsed.fracPart.size());
    const bool entered = intCount > 0 || (hasPoint() && fracCount > 0);
    int intEnd = parsed.dotShown >= 0 ? parsed.dotShown
                                      : (intCount > 0 ? parsed.intShown.back() + 1 : static_cast<int>(copy.size()));
    const bool emptyOk = flags & FF_EMPTY_OK;
    const bool allRequired = flags & FF_ALL_REQUIRED;
    // 2. and 3.
    if (!allRequired) {
        if (emptyOk || entered)
            return 1;
        selection.start = selection.end = intEnd;
        return 0;
    }
    if (emptyOk && !entered)
        return 1;
    // 4. Every digit position must hold a digit.
    if (intCount < intDigits) {
        selection.start = selection.end = intEnd;
        return 0;
    }
    if (hasPoint() && fracCount < fracDigits) {
        selection.start = selection.end = static_cast<int>(copy.size());
        return 0;
    }
    return 1;
}

int NumericMask::strip(std::string& text, uint32_t)
{
    Parsed parsed = parse(text);
    std::string plain = parsed.intPart;
    if (hasPoint()) {
        plain += '.';
        plain += parsed.fracPart;
        if (plain[0] == '.')
            plain.insert(plain.begin(), '0');
        if (plain.back() == '.')
            plain += '0';
    } else if (plain.empty()) {
        plain = "0";
    }
    if (parsed.negative)
        plain.insert(plain.begin(), '-');
    text = plain;
    return 1;
}

int NumericMask::firstInputPos(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (isDigit(c) || (leadFillOn && c == leadFill) || (trailFillOn && c == trailFill))
            return static_cast<int>(i);
    }
    return static_cast<int>(text.size());
}
