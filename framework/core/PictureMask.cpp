#include "PictureMask.h"

#include "CharClass.h"
#include "TraceSink.h"

#include <cstring>

using namespace charclass;

// ---------------------------------------------------------------- positions

CharPosition::CharPosition(char c) : MaskPosition(INPUT, c), stored(0), placeholder(c == '#' || c == '9' ? '#' : '_')
{
}

int CharPosition::accept(char c, bool testOnly, uint32_t flags)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == placeholder) {
        if (!testOnly)
            stored = 0;
        return 1;
    }
    bool ok = false;
    switch (maskChar) {
    case '!':
        ok = true;
        if (isLower(u))
            c = static_cast<char>(toUpper(u));
        break;
    case '#': ok = isDigit(u) || c == '-' || c == '+' || c == ' '; break;
    case '9': ok = isDigit(u); break;
    case 'A': ok = isLetter(u) || c == ' '; break;
    case 'N': ok = isLetter(u) || isDigit(u); break;
    default: ok = true; break;
    }
    if (!ok)
        return 0;
    if (!testOnly) {
        if (flags & FF_LOWER)
            c = static_cast<char>(toLower(static_cast<unsigned char>(c)));
        if (flags & FF_UPPER)
            c = static_cast<char>(toUpper(static_cast<unsigned char>(c)));
        stored = c;
    }
    return 1;
}

char CharPosition::shownChar(uint32_t flags) const
{
    if (stored)
        return stored;
    if (flags & FF_NO_LITERALS)
        return 0;
    return (flags & FF_PLACEHOLDERS) ? placeholder : 0;
}

int SetPosition::accept(char c, bool, uint32_t)
{
    if (set.test(static_cast<unsigned char>(c)) != negated) {
        stored = c;
        return 1;
    }
    if (c == placeholder) {
        stored = 0;
        return 1;
    }
    return 0;
}

char SetPosition::shownChar(uint32_t flags) const
{
    if (stored)
        return stored;
    return (flags & FF_PLACEHOLDERS) ? placeholder : 0;
}

// ---------------------------------------------------------------- the mask

PictureMask::PictureMask(uint32_t flagsWord, const char* mask) : FieldFormatter(flagsWord), maskText(mask ? mask : "")
{
    parse();
    for (size_t p = 0; p < positions.size(); ++p)
        if (!positions[p]->isInput())
            literalIndex.push_back(static_cast<int>(p));
}

void PictureMask::parse()
{
    const std::string& m = maskText;
    size_t i = 0;
    int repeatable = -1; // the position a count may repeat
    auto room = [&]() { return static_cast<int>(positions.size()) < kMaxPositions; };
    while (i < m.size()) {
        char c = m[i];
        if (std::strchr("!#9ANX", c) && c) {
            repeatable = -1;
            if (room()) {
                positions.emplace_back(new CharPosition(c));
                repeatable = static_cast<int>(positions.size()) - 1;
            }
            ++i;
        } else if (c == '\'') {
            repeatable = -1;
            for (++i; i < m.size(); ++i) {
                if (m[i] == '\'') {
                    bool doubled = i + 1 < m.size() && m[i + 1] == '\'';
                    if (doubled && room())
                        positions.emplace_back(new LiteralPosition('\''));
                    i += doubled ? 2 : 1;
                    break;
                }
                if (room())
                    positions.emplace_back(new LiteralPosition(m[i]));
            }
        } else if (c == '[') {
            size_t before = positions.size();
            parseSet(i);
            repeatable = positions.size() > before ? static_cast<int>(positions.size()) - 1 : -1;
        } else if (c == '(') {
            size_t j = i + 1;
            int n = 0;
            while (j < m.size() && isDigit(static_cast<unsigned char>(m[j]))) {
                if (n < 10000)
                    n = n * 10 + (m[j] - '0');
                ++j;
            }
            if (j < m.size() && m[j] == ')')
                ++j;
            if (repeatable >= 0)
                for (int k = 1; k < n && room(); ++k)
                    positions.emplace_back(positions[repeatable]->copy());
            repeatable = -1;
            i = j;
        } else {
            // Blanks, '-', '/' and other letters add nothing.
            repeatable = -1;
            ++i;
        }
    }
}

void PictureMask::parseSet(size_t& i)
{
    const std::string& m = maskText;
    SetPosition* set = new SetPosition();
    bool bad = false;
    ++i;
    if (i < m.size() && m[i] == '!') {
        set->negated = true;
        ++i;
    }
    auto readChar = [&](unsigned char& out) {
        if (m[i] == '\'') {
            if (i + 1 >= m.size())
                return false;
            out = static_cast<unsigned char>(m[i + 1]);
            i += 2;
            return true;
        }
        out = static_cast<unsigned char>(m[i++]);
        return true;
    };
    bool closed = false;
    while (!bad && i < m.size()) {
        if (m[i] == ']') {
            ++i;
            closed = true;
            break;
        }
        unsigned char first;
        if (!readChar(first)) {
            bad = true;
            break;
        }
        if (i + 1 < m.size() && m[i] == '-' && m[i + 1] != ']') {
            ++i;
            unsigned char last;
            if (!readChar(last) || !(first < last)) {
                bad = true;
                break;
            }
            for (int c = first; c <= last; ++c)
                set->set.set(c);
        } else {
            set->set.set(first);
        }
    }
    if (bad || !closed) {
        // A malformed set takes nothing but its placeholder.
        set->set.reset();
        set->negated = false;
        while (i < m.size() && m[i] != ']')
            ++i;
        if (i < m.size())
            ++i;
    }
    if (static_cast<int>(positions.size()) < kMaxPositions)
        positions.emplace_back(set);
    else
        delete set;
}

void PictureMask::clearAll()
{
    for (auto& p : positions)
        p->clear();
}

int PictureMask::nextOfKind(int from, bool input) const
{
    for (int p = from < 0 ? 0 : from; p < static_cast<int>(positions.size()); ++p)
        if (positions[p]->isInput() == input)
            return p;
    return -1;
}

bool PictureMask::isMaskLiteral(char c) const
{
    for (int p : literalIndex)
        if (positions[p]->maskChar == c)
            return true;
    return false;
}

bool PictureMask::fill(const std::string& text, int start, bool typed, std::vector<int>* taken, int* next)
{
    int p = start;
    // A decimal comma typed where the picture has a fixed point is that
    // point (German users type "0,5"; it was refused with a beep).
    const bool commaIsPoint = typed && isMaskLiteral('.') && !isMaskLiteral(',');
    for (char typedChar : text) {
        const char c = commaIsPoint && typedChar == ',' ? '.' : typedChar;
        int lit = nextOfKind(p, false);
        int in = nextOfKind(p, true);
        int at = -1;
        auto tryLiteral = [&]() {
            if (at < 0 && lit >= 0 && positions[lit]->maskChar == c)
                at = lit;
        };
        auto tryInput = [&]() {
            if (at < 0 && in >= 0 && positions[in]->accept(c, false, flags))
                at = in;
        };
        if (lit < 0 || in < 0) {
            tryInput();
            tryLiteral();
        } else if (lit < in) {
            if (typed) {
                tryInput();
                tryLiteral();
            } else {
                tryLiteral();
                tryInput();
            }
        } else {
            // A fixed character typed or pasted before its place is taken
            // as that literal further on.
            if (isMaskLiteral(c))
                for (int q = lit; q < static_cast<int>(positions.size()) && at < 0; ++q)
                    if (!positions[q]->isInput() && positions[q]->maskChar == c)
                        at = q;
            tryInput();
            tryLiteral();
        }
        // The fixed character the caret has just passed, typed: nothing to
        // add ("12" shows "12." and the user types the point or a comma).
        if (at < 0 && typed && p > 0 && !positions[p - 1]->isInput() && positions[p - 1]->maskChar == c)
            at = p - 1;
        if (at < 0)
            return false;
        if (taken)
            taken->push_back(at);
        p = at + 1;
    }
    if (next)
        *next = p;
    return true;
}

std::string PictureMask::compose(uint32_t flagsWord) const
{
    std::string out;
    for (const auto& p : positions)
        if (char c = p->shownChar(flagsWord))
            out += c;
    return out;
}

int PictureMask::textIndexOf(int position, uint32_t flagsWord) const
{
    int index = 0;
    for (int p = 0; p < position && p < static_cast<int>(positions.size()); ++p)
        if (positions[p]->shownChar(flagsWord))
            ++index;
    return index;
}

int PictureMask::apply(std::string& text, char* chars, int count, Selection& selection)
{
    const int length = static_cast<int>(text.size());
    Selection sel;
    sel.start = selection.start < 0 ? 0 : (selection.start > length ? length : selection.start);
    sel.end = selection.end < sel.start ? sel.start : (selection.end > length ? length : selection.end);

    // 1. The current text on the positions; what they held is kept for an undo.
    clearAll();
    textToPosition.clear();
    if (!fill(text, 0, false, &textToPosition, nullptr))
        return APPLY_REFUSED;
    std::vector<char> scratch;
    for (const auto& p : positions)
        scratch.push_back(p->held());
    auto restore = [&]() {
        clearAll();
        for (size_t p = 0; p < positions.size(); ++p)
            if (scratch[p])
                positions[p]->accept(scratch[p], false, 0);
    };

    // 2. The position of the caret.
    auto mapPosition = [&](int index) {
        if (index < length && positions[textToPosition[index]]->isInput())
            return textToPosition[index];
        int previous = index > 0 ? textToPosition[index - 1] : -1;
        return nextOfKind(previous + 1, true);
    };
    const bool deletion = count > 0 && chars[0] == kDeleteRequest;
    const bool backspace = deletion && count == 1;
    int caretPos = mapPosition(sel.start);
    if (caretPos < 0 && !(backspace && sel.start == sel.end))
        return APPLY_REFUSED;

    // 3. The positions the edit clears: [first, after).
    int first, after;
    if (sel.start == sel.end) {
        if (backspace) {
            int limit = caretPos < 0 ? static_cast<int>(positions.size()) : caretPos;
            first = -1;
            for (int p = limit - 1; p >= 0 && first < 0; --p)
                if (positions[p]->isInput())
                    first = p;
            if (first < 0) {
                selection = sel;
                return APPLY_DONE;
            }
            after = first + 1;
        } else {
            first = caretPos;
            after = deletion ? caretPos + 1 : caretPos;
        }
    } else {
        first = caretPos;
        after = textToPosition[sel.end - 1] + 1;
        if (after < first)
            after = first;
    }
    std::vector<char> moved;
    for (int p = after; p < static_cast<int>(positions.size()); ++p)
        if (positions[p]->isInput() && positions[p]->held())
            moved.push_back(positions[p]->held());
    for (int p = first; p < static_cast<int>(positions.size()); ++p)
        positions[p]->clear();

    // 4. The new characters from the caret on.
    int next = first;
    if (!deletion && count > 0) {
        if (!fill(std::string(chars, count), first, count == 1, nullptr, &next)) {
            restore();
            return APPLY_REFUSED;
        }
    }
    const int reached = next;
    // 5. The characters after the edit close up behind the new ones.
    for (char c : moved) {
        int q = nextOfKind(next, true);
        if (q >= 0 && positions[q]->accept(c, false, flags)) {
            next = q + 1;
            continue;
        }
        // 6. With placeholders shown a gap is allowed; otherwise the edit
        // is undone as a whole.
        if (flags & FF_PLACEHOLDERS) {
            if (q >= 0)
                next = q + 1;
            continue;
        }
        restore();
        trace("addchars dest= %s", text.c_str());
        return APPLY_REFUSED;
    }
    const uint32_t shown = flags & ~static_cast<uint32_t>(FF_NO_LITERALS);
    std::string result = compose(shown);
    if (static_cast<int>(result.size()) > kMaxFieldText) {
        restore();
        return APPLY_REFUSED;
    }
    text = result;
    selection.start = selection.end = textIndexOf(reached, shown);
    return APPLY_DONE;
}

int PictureMask::validate(const std::string& text, Selection& selection)
{
    const bool emptyOk = flags & FF_EMPTY_OK;
    const bool allRequired = flags & FF_ALL_REQUIRED;
    if (text.empty()) {
        if (emptyOk)
            return 1;
        selection.start = selection.end = 0;
        return 0;
    }
    clearAll();
    const int firstInput = nextOfKind(0, true);
    std::vector<int> where;
    bool takenByInput = false;
    int p = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const int at_i = static_cast<int>(i);
        int lit = nextOfKind(p, false);
        int in = nextOfKind(p, true);
        int at = -1;
        bool literalFirst = in < 0 || (lit >= 0 && lit < in);
        if (literalFirst) {
            if (lit >= 0 && positions[lit]->maskChar == c)
                at = lit;
            else if (in >= 0 && positions[in]->accept(c, true, flags))
                at = in;
        } else {
            if (positions[in]->accept(c, true, flags))
                at = in;
            else if (lit >= 0 && positions[lit]->maskChar == c)
                at = lit;
        }
        if (at < 0) {
            selection.start = selection.end = at_i;
            return 0;
        }
        where.push_back(at);
        if (positions[at]->isInput()) {
            takenByInput = true;
            if (c == positions[at]->placeholderChar()) {
                if (emptyOk && (flags & FF_PLACEHOLDERS) && at == firstInput) {
                    if (!allRequired)
                        return 1;
                    selection.start = selection.end = at_i;
                    return 0;
                }
                if (!emptyOk && allRequired) {
                    selection.start = selection.end = at_i;
                    return 0;
                }
            } else {
                positions[at]->accept(c, false, 0);
            }
        }
        p = at + 1;
    }
    int firstEmpty = -1;
    bool anyHeld = false;
    for (int q = 0; q < static_cast<int>(positions.size()); ++q) {
        if (!positions[q]->isInput())
            continue;
        if (positions[q]->held())
            anyHeld = true;
        else if (firstEmpty < 0)
            firstEmpty = q;
    }
    auto textIndex = [&](int position) {
        for (size_t i = 0; i < where.size(); ++i)
            if (where[i] >= position)
                return static_cast<int>(i);
        return static_cast<int>(text.size());
    };
    // Every input position filled means every one, also without placeholders.
    if (anyHeld && allRequired && firstEmpty >= 0) {
        selection.start = selection.end = textIndex(firstEmpty);
        return 0;
    }
    if (anyHeld || firstEmpty < 0)
        return 1;
    selection.start = selection.end = textIndex(firstEmpty);
    if ((!takenByInput && emptyOk) || (takenByInput && !allRequired))
        return 1;
    return 0;
}

int PictureMask::strip(std::string& text, uint32_t flagsWord)
{
    clearAll();
    if (!fill(text, 0, false, nullptr, nullptr))
        return 0;
    text = compose(flagsWord & ~static_cast<uint32_t>(FF_PLACEHOLDERS));
    return 1;
}

int PictureMask::firstInputPos(const std::string&)
{
    int p = nextOfKind(0, true);
    return p < 0 ? static_cast<int>(positions.size()) : p;
}
