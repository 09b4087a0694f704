#include "DialogTemplate.h"

namespace {

// The characters 0x80-0x9F of code page 1252; 0 where it has none.
const uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

class Reader {
public:
    Reader(const uint8_t* b, size_t n, WideTextConverter c) : bytes(b), size(n), pos(0), convert(c) {}

    bool word(uint16_t& v)
    {
        if (size - pos < 2 || pos > size)
            return false;
        v = static_cast<uint16_t>(bytes[pos] | (bytes[pos + 1] << 8));
        pos += 2;
        return true;
    }
    bool dword(uint32_t& v)
    {
        uint16_t lo, hi;
        if (!word(lo) || !word(hi))
            return false;
        v = lo | (static_cast<uint32_t>(hi) << 16);
        return true;
    }
    bool shortValue(int16_t& v)
    {
        uint16_t w;
        if (!word(w))
            return false;
        v = static_cast<int16_t>(w);
        return true;
    }
    // A zero-terminated UTF-16 text; false when the terminator is missing.
    bool text(std::string& out)
    {
        std::vector<uint16_t> chars;
        for (;;) {
            uint16_t c;
            if (!word(c))
                return false;
            if (c == 0)
                break;
            chars.push_back(c);
        }
        out = chars.empty() ? std::string() : convert(chars.data(), chars.size());
        return true;
    }
    // 0: nothing; 0xFFFF and an ordinal; else a text.
    bool name(TemplateName& out)
    {
        out = TemplateName();
        uint16_t first;
        if (!word(first))
            return false;
        if (first == 0)
            return true;
        out.present = true;
        if (first == 0xFFFF) {
            out.isOrdinal = true;
            return word(out.ordinal);
        }
        pos -= 2;
        return text(out.text);
    }
    bool alignDword()
    {
        size_t aligned = (pos + 3) & ~size_t(3);
        if (aligned > size)
            return false;
        pos = aligned;
        return true;
    }
    bool skip(size_t n)
    {
        if (size - pos < n)
            return false;
        pos += n;
        return true;
    }

private:
    const uint8_t* bytes;
    size_t size;
    size_t pos;
    WideTextConverter convert;
};

bool readItem(Reader& in, DialogTemplateItem& item)
{
    if (!in.alignDword() || !in.dword(item.style) || !in.dword(item.exStyle) || !in.shortValue(item.x) ||
        !in.shortValue(item.y) || !in.shortValue(item.width) || !in.shortValue(item.height) || !in.word(item.id))
        return false;
    TemplateName cls;
    if (!in.name(cls))
        return false;
    if (cls.isOrdinal)
        item.classAtom = cls.ordinal;
    else
        item.className = cls.text;
    uint16_t dataSize;
    if (!in.name(item.title) || !in.word(dataSize))
        return false;
    // The creation data follows its size word; the reader has no use for it.
    return in.skip(dataSize);
}

} // namespace

std::string wideTo1252(const uint16_t* text, size_t count)
{
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        uint16_t c = text[i];
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            b = static_cast<char>(c);
        } else {
            for (int k = 0; k < 32; ++k)
                if (kHighControls[k] == c) {
                    b = static_cast<char>(0x80 + k);
                    break;
                }
        }
        out.push_back(b);
    }
    return out;
}

DialogTemplate parseDialogTemplate(const uint8_t* bytes, size_t size, WideTextConverter convert)
{
    DialogTemplate result;
    if (!bytes || size == 0)
        return result;
    if (!convert)
        convert = wideTo1252;
    Reader in(bytes, size, convert);
    DialogTemplateHeader& h = result.header;
    uint16_t first, second;
    if (!in.word(first) || !in.word(second))
        return result;
    // The extended form starts with version 1 and signature 0xFFFF.
    if (first == 1 && second == 0xFFFF)
        return result;
    h.style = first | (static_cast<uint32_t>(second) << 16);
    TemplateName cls;
    TemplateName title;
    if (!in.dword(h.exStyle) || !in.word(h.itemCount) || !in.shortValue(h.x) || !in.shortValue(h.y) ||
        !in.shortValue(h.width) || !in.shortValue(h.height) || !in.name(h.menu) || !in.name(h.windowClass) ||
        !in.name(title))
        return result;
    h.title = title.isOrdinal ? std::string() : title.text;
    if (h.style & kTemplateSetFont) {
        if (!in.word(h.pointSize) || !in.text(h.faceName))
            return result;
        h.hasFont = true;
    }
    h.style &= ~kTemplateVisible;
    result.found = true;
    for (uint16_t i = 0; i < h.itemCount; ++i) {
        DialogTemplateItem item;
        if (!readItem(in, item))
            break;
        result.items.push_back(item);
    }
    return result;
}
