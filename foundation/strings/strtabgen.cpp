// Build tool: turns string-table sources (UTF-8, "number<TAB>name<TAB>text"
// per line) into a Windows-1252 resource script for wrc and a C++ table for
// the portable core, so that both give the same bytes; and into one header of
// named ids per source, so that code names a text instead of its number.
//
//   strtabgen OUT.rc OUT.cpp SOURCE... [--over SOURCE...]
//   strtabgen --headers DIR SOURCE... [--over SOURCE...]
//
// A number may stand only once in the shared sources. Sources after the
// argument --over belong to one program and replace shared texts of the same
// number (the companion programs give some ids texts of their own). A name
// may stand only once in all sources given; the name "-" gives a text no
// constant (texts the code reaches only from a named base by arithmetic).
// The header of x.strings is XStrings.h.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F (0: unused).
const unsigned int cp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

int toCp1252(unsigned int cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (cp1252High[i] == cp)
            return 0x80 + i;
    return -1;
}

[[noreturn]] void fail(const std::string& where, const std::string& what)
{
    fprintf(stderr, "%s: %s\n", where.c_str(), what.c_str());
    exit(1);
}

// UTF-8 with escapes to Windows-1252 bytes.
std::string convert(const std::string& in, const std::string& where)
{
    std::string out;
    for (size_t i = 0; i < in.size();) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        if (c == '\\') {
            if (i + 1 >= in.size())
                fail(where, "backslash at end of line");
            char e = in[i + 1];
            switch (e) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            default: fail(where, std::string("unknown escape \\") + e);
            }
            i += 2;
            continue;
        }
        unsigned int cp;
        int len;
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
        else fail(where, "invalid UTF-8");
        if (i + len > in.size())
            fail(where, "truncated UTF-8");
        for (int k = 1; k < len; ++k) {
            unsigned char d = static_cast<unsigned char>(in[i + k]);
            if ((d & 0xC0) != 0x80)
                fail(where, "invalid UTF-8");
            cp = (cp << 6) | (d & 0x3F);
        }
        int b = toCp1252(cp);
        if (b < 0)
            fail(where, "character not in Windows-1252");
        out += static_cast<char>(b);
        i += len;
    }
    if (out.size() > 200)
        fail(where, "text longer than 200 characters");
    return out;
}

// Octal escapes end after three digits, so no following character is taken in.
std::string cLiteral(const std::string& s)
{
    std::string r = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') { r += '\\'; r += static_cast<char>(c); }
        else if (c >= 0x20 && c < 0x7F) r += static_cast<char>(c);
        else { char buf[8]; snprintf(buf, sizeof buf, "\\%03o", c); r += buf; }
    }
    return r + "\"";
}

// wrc reads the bytes as Windows-1252 (#pragma code_page); quotes double.
std::string rcLiteral(const std::string& s)
{
    std::string r = "\"";
    for (char c : s) {
        if (c == '"') r += "\"\"";
        else if (c == '\\') r += "\\\\";
        else if (c == '\n') r += "\\n";
        else if (c == '\t') r += "\\t";
        else r += c;
    }
    return r + "\"";
}

} // namespace

namespace {

struct Entry {
    unsigned int id;
    std::string name;   // "-": no constant
    std::string source; // the text as the source writes it
};

struct Source {
    std::string path;
    bool over;
    std::vector<Entry> entries;
};

bool isIdentifier(const std::string& s)
{
    if (s.empty() || !(isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_'))
        return false;
    for (char c : s)
        if (!(isalnum(static_cast<unsigned char>(c)) || c == '_'))
            return false;
    return true;
}

// Reads every source; fails on a malformed line, a number given twice in the
// shared sources and a name given twice anywhere. table gets the converted
// texts, later sources over earlier ones.
std::vector<Source> readSources(int argc, char** argv, int first, std::map<unsigned int, std::string>& table)
{
    std::vector<Source> sources;
    std::map<std::string, std::string> nameWhere;
    bool overriding = false;
    for (int a = first; a < argc; ++a) {
        if (strcmp(argv[a], "--over") == 0) {
            overriding = true;
            continue;
        }
        std::ifstream in(argv[a], std::ios::binary);
        if (!in)
            fail(argv[a], "cannot open");
        Source source{argv[a], overriding, {}};
        std::string line;
        int lineNo = 0;
        while (std::getline(in, line)) {
            ++lineNo;
            std::string where = std::string(argv[a]) + ":" + std::to_string(lineNo);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty() || line[0] == '#')
                continue;
            size_t tab = line.find('\t');
            size_t tab2 = tab == std::string::npos ? tab : line.find('\t', tab + 1);
            if (tab2 == std::string::npos)
                fail(where, "expected number, tab, name, tab, text");
            std::string number = line.substr(0, tab);
            std::string name = line.substr(tab + 1, tab2 - tab - 1);
            char* end = nullptr;
            unsigned long id = strtoul(number.c_str(), &end, 10);
            if (number.empty() || *end || id > 0xFFFF)
                fail(where, "bad string number");
            if (name != "-" && !isIdentifier(name))
                fail(where, "bad string name \"" + name + "\"");
            if (!overriding && table.count(static_cast<unsigned int>(id)))
                fail(where, "string number " + number + " given twice");
            if (name != "-") {
                auto known = nameWhere.find(name);
                if (known != nameWhere.end())
                    fail(where, "string name " + name + " given twice (first at " + known->second + ")");
                nameWhere[name] = where;
            }
            std::string text = line.substr(tab2 + 1);
            table[static_cast<unsigned int>(id)] = convert(text, where);
            source.entries.push_back({static_cast<unsigned int>(id), name, text});
        }
        sources.push_back(source);
    }
    return sources;
}

// "dir/engine.strings" -> "EngineStrings"
std::string headerStem(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
    size_t dot = base.find('.');
    if (dot != std::string::npos)
        base = base.substr(0, dot);
    if (base.empty() || !isIdentifier(base))
        fail(path, "source name gives no header name");
    base[0] = static_cast<char>(toupper(static_cast<unsigned char>(base[0])));
    return base + "Strings";
}

// Writes the file only when its bytes change, so that a new text elsewhere
// does not rebuild every user of an unchanged header.
void writeIfChanged(const std::string& path, const std::string& bytes)
{
    std::ifstream old(path, std::ios::binary);
    if (old) {
        std::string present((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
        if (present == bytes)
            return;
    }
    FILE* out = fopen(path.c_str(), "wb");
    if (!out || fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || fclose(out) != 0)
        fail(path, "cannot write");
}

void writeHeaders(const std::string& dir, const std::vector<Source>& sources)
{
    for (const Source& source : sources) {
        std::string stem = headerStem(source.path);
        std::string guard = "KYT_STRINGS_";
        for (char c : stem)
            guard += static_cast<char>(toupper(static_cast<unsigned char>(c)));
        guard += "_H";
        size_t slash = source.path.find_last_of("/\\");
        std::string file = source.path.substr(slash == std::string::npos ? 0 : slash + 1);
        std::string h = "// Generated from " + file + "; do not edit. The ids of its texts by name.\n"
                        "#ifndef " + guard + "\n#define " + guard + "\n\n";
        for (const Entry& e : source.entries) {
            if (e.name == "-")
                continue;
            h += "const unsigned int " + e.name + " = " + std::to_string(e.id) + "; // \"" + e.source + "\"\n";
        }
        h += "\n#endif\n";
        writeIfChanged(dir + "/" + stem + ".h", h);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::map<unsigned int, std::string> table;
    if (argc >= 2 && strcmp(argv[1], "--headers") == 0) {
        if (argc < 4) {
            fprintf(stderr, "usage: strtabgen --headers DIR SOURCE...\n");
            return 2;
        }
        writeHeaders(argv[2], readSources(argc, argv, 3, table));
        return 0;
    }
    if (argc < 4) {
        fprintf(stderr, "usage: strtabgen OUT.rc OUT.cpp SOURCE...\n");
        return 2;
    }
    readSources(argc, argv, 3, table);

    FILE* rc = fopen(argv[1], "wb");
    FILE* cpp = fopen(argv[2], "wb");
    if (!rc || !cpp)
        fail("strtabgen", "cannot write output");
    fprintf(rc, "/* Generated from the string sources; do not edit. */\n#pragma code_page(1252)\n\n"
                "STRINGTABLE\nBEGIN\n");
    fprintf(cpp, "// Generated from the string sources; do not edit.\n#include \"ResString.h\"\n\n"
                 "#include <algorithm>\n\nnamespace {\n\nstruct Row {\n    unsigned int id;\n    const char* text;\n};\n\n"
                 "const Row rows[] = {\n");
    for (const auto& e : table) {
        fprintf(rc, "    %u, %s\n", e.first, rcLiteral(e.second).c_str());
        fprintf(cpp, "    {%u, %s},\n", e.first, cLiteral(e.second).c_str());
    }
    fprintf(rc, "END\n");
    fprintf(cpp, "};\n\n} // namespace\n\nconst char* lookupCompiledString(unsigned int id)\n{\n"
                 "    const Row* end = rows + sizeof rows / sizeof rows[0];\n"
                 "    const Row* r = std::lower_bound(rows, end, id, [](const Row& a, unsigned int b) { return a.id < b; });\n"
                 "    return r != end && r->id == id ? r->text : nullptr;\n}\n\n"
                 "unsigned int compiledStringCount()\n{\n    return sizeof rows / sizeof rows[0];\n}\n\n"
                 "const char* compiledStringAt(unsigned int index, unsigned int* id)\n{\n"
                 "    if (index >= compiledStringCount())\n        return nullptr;\n"
                 "    if (id)\n        *id = rows[index].id;\n    return rows[index].text;\n}\n");
    fclose(rc);
    fclose(cpp);
    return 0;
}
