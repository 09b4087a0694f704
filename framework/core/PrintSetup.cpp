#include "PrintSetup.h"

#include <cstring>

namespace {

std::string cut(const char* text, size_t max)
{
    std::string s(text ? text : "");
    if (s.size() > max)
        s.resize(max);
    return s;
}

// The name part of a path: behind its last '\', '/' or ':'.
size_t namePart(const std::string& path)
{
    size_t p = path.find_last_of("\\/:");
    return p == std::string::npos ? 0 : p + 1;
}

void putWord(std::vector<uint8_t>& block, size_t at, size_t value)
{
    block[at] = static_cast<uint8_t>(value & 0xFF);
    block[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

size_t getWord(const uint8_t* block, size_t at)
{
    return block[at] | (static_cast<size_t>(block[at + 1]) << 8);
}

bool readName(const uint8_t* block, size_t size, size_t offset, std::string* name)
{
    if (offset < 8 || offset > size)
        return false;
    const uint8_t* begin = block + offset;
    const uint8_t* end = static_cast<const uint8_t*>(memchr(begin, 0, size - offset));
    name->assign(reinterpret_cast<const char*>(begin), end ? end - begin : size - offset);
    return true;
}

} // namespace

std::string flattenFileFilter(const char* const* list)
{
    static const char* const kAllFiles[] = {"All Files (*.*)", "*.*", nullptr};
    if (!list || !list[0])
        list = kAllFiles;
    std::string block;
    for (const char* const* p = list; *p; ++p) {
        block += *p;
        block += '\0';
    }
    block += '\0';
    return block;
}

std::string patternExtension(const char* pattern)
{
    // A pattern under three characters has nothing after its first two.
    if (!pattern || strlen(pattern) < 3)
        return std::string();
    std::string extension(pattern + 2);
    if (extension.find_first_of("*?;") != std::string::npos)
        return std::string();
    return extension;
}

FileDialogStart fileDialogStart(const char* initialName, const char* const* filterList, bool save)
{
    FileDialogStart start;
    bool hasList = filterList && filterList[0] && filterList[1];
    if (!initialName || !*initialName) {
        if (!save)
            start.extension = "*";
        return start;
    }
    std::string name = cut(initialName, kFileDialogPathMax);
    if (name[0] == '*') {
        if (!save)
            start.path = name;
        start.extension = patternExtension(name.c_str());
        return start;
    }
    start.path = name;
    size_t dot = name.find('.', namePart(name));
    if (dot != std::string::npos)
        start.extension = name.substr(dot + 1);
    else if (hasList)
        start.extension = patternExtension(filterList[1]);
    else if (!save)
        start.extension = "*";
    if (save && !start.extension.empty() && start.extension[0] == '*')
        start.extension.clear();
    return start;
}

PrinterSpec splitPrinterSpec(const char* text)
{
    std::string s = cut(text, kPrinterSpecMax);
    std::string* fields[3] = {nullptr, nullptr, nullptr};
    PrinterSpec spec;
    fields[0] = &spec.device;
    fields[1] = &spec.driver;
    fields[2] = &spec.port;
    size_t field = 0;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == ',' && field < 2) {
            ++field;
            ++i;
            while (i < s.size() && s[i] == ' ')
                ++i;
            continue;
        }
        *fields[field] += s[i];
        ++i;
    }
    return spec;
}

std::vector<std::string> printerDeviceTexts(const char* keys, size_t size,
                                            const std::function<std::string(const char* name)>& value)
{
    std::vector<std::string> texts;
    if (!keys)
        return texts;
    size_t i = 0;
    while (i < size && keys[i]) {
        const char* end = static_cast<const char*>(memchr(keys + i, 0, size - i));
        size_t length = end ? static_cast<size_t>(end - (keys + i)) : size - i;
        std::string name(keys + i, length);
        std::string text = name + "," + (value ? value(name.c_str()) : std::string());
        if (text.size() > kPrinterSpecMax)
            text.resize(kPrinterSpecMax);
        texts.push_back(text);
        i += length + 1;
    }
    return texts;
}

std::vector<uint8_t> buildDevNames(const PrinterSpec& spec)
{
    const std::string* names[3] = {&spec.driver, &spec.device, &spec.port};
    std::vector<uint8_t> block(8, 0);
    for (int k = 0; k < 3; ++k) {
        putWord(block, 2 * k, block.size());
        block.insert(block.end(), names[k]->begin(), names[k]->end());
        block.push_back(0);
    }
    putWord(block, 6, 0);
    return block;
}

bool readDevNames(const void* block, size_t size, PrinterSpec* spec)
{
    if (!block || size < 8 || !spec)
        return false;
    const uint8_t* b = static_cast<const uint8_t*>(block);
    PrinterSpec read;
    if (!readName(b, size, getWord(b, 0), &read.driver) || !readName(b, size, getWord(b, 2), &read.device) ||
        !readName(b, size, getWord(b, 4), &read.port))
        return false;
    *spec = read;
    return true;
}

LaidOutLine layOutPrintLine(const std::string& text, size_t position, int width, const CharWidths& widths)
{
    LaidOutLine line;
    size_t p = position;
    int used = 0;
    while (p < text.size()) {
        char c = text[p];
        if (c == '\r' || c == '\n')
            break;
        int columns = 1;
        char put = c;
        if (c == '\t') {
            columns = 8 - static_cast<int>(line.text.size()) % 8;
            put = ' ';
        }
        int w = columns * widths.width(put);
        int total = static_cast<int>(line.text.size()) + columns;
        bool fits = used + w <= width && total <= kPrintLineMax;
        // Each line takes at least one character, however wide.
        if (!fits && !line.text.empty())
            break;
        line.text.append(static_cast<size_t>(columns), put);
        used += w;
        ++p;
        if (!fits)
            break;
    }
    line.stop = p;
    return line;
}

LaidOutPage layOutPrintPage(const std::string& text, size_t position, int width, int height,
                            const CharWidths& widths)
{
    LaidOutPage page;
    int lineHeight = widths.lineHeight();
    size_t p = position;
    for (int y = 0; y < height - lineHeight && p < text.size(); y += lineHeight) {
        LaidOutLine line = layOutPrintLine(text, p, width, widths);
        if (!line.text.empty())
            page.lines.push_back({y, line.text});
        p = line.stop;
        if (p >= text.size())
            break;
        char c = text[p];
        if (c == '\r' || c == '\n') {
            ++p;
            char pair = c == '\r' ? '\n' : '\r';
            if (p < text.size() && text[p] == pair)
                ++p;
        }
        if (lineHeight <= 0)
            break;
    }
    page.next = p;
    return page;
}

bool anotherPrintPage(const std::string& text, size_t start, size_t next)
{
    return next < text.size() && next > start;
}
