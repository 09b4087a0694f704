#include "EditorStrings.h"

#include "ResString.h"
#include "ResourceId.h"

#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {

// The source is UTF-8; the programs see Windows-1252 (the texts stay in Latin-1).
std::string toProgramText(const std::string& s)
{
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\\' && i + 1 < s.size()) {
            char e = s[++i];
            r += e == 'n' ? '\n' : e == 't' ? '\t' : e;
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < s.size()) {
            unsigned char n = static_cast<unsigned char>(s[++i]);
            r += static_cast<char>(((c & 0x1F) << 6) | (n & 0x3F));
        } else {
            r += static_cast<char>(c);
        }
    }
    return r;
}

const std::map<unsigned int, std::string>& editorTable()
{
    static const std::map<unsigned int, std::string> table = [] {
        std::map<unsigned int, std::string> t;
        std::ifstream in(KYTFUZZY_STRINGS_FILE, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            // number, tab, name, tab, text
            size_t tab = line.find('\t');
            size_t textTab = tab == std::string::npos ? tab : line.find('\t', tab + 1);
            if (line.empty() || line[0] == '#' || textTab == std::string::npos)
                continue;
            t[static_cast<unsigned int>(std::stoul(line.substr(0, tab)))] = toProgramText(line.substr(textTab + 1));
        }
        return t;
    }();
    return table;
}

int editorLoader(const ResourceId& id, char* buf, int maxLen)
{
    const auto& table = editorTable();
    auto it = table.find(id.id & 0xFFFFu);
    const char* text = it != table.end() ? it->second.c_str() : lookupCompiledString(id.id & 0xFFFFu);
    if (!text)
        return 0;
    int n = static_cast<int>(strlen(text));
    if (n > maxLen)
        n = maxLen;
    memcpy(buf, text, n);
    buf[n] = '\0';
    return n;
}

} // namespace

void useEditorStrings()
{
    setResourceStringLoader(editorLoader);
}

void useSharedStrings()
{
    setResourceStringLoader(nullptr);
}
