// Build tool: turns string-table sources (UTF-8, "number<TAB>text" per line)
// into a Windows-1252 resource script for wrc and a C++ table for the
// portable core, so that both give the same bytes.
//
//   strtabgen OUT.rc OUT.cpp SOURCE...
//
// A number may stand only once in the shared sources. Sources after the
// argument --over belong to one program and replace shared texts of the same
// number (the companion programs give some ids texts of their own).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

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

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: strtabgen OUT.rc OUT.cpp SOURCE...\n");
        return 2;
    }
    std::map<unsigned int, std::string> table;
    bool overriding = false;
    for (int a = 3; a < argc; ++a) {
        if (strcmp(argv[a], "--over") == 0) {
            overriding = true;
            continue;
        }
        std::ifstream in(argv[a], std::ios::binary);
        if (!in)
            fail(argv[a], "cannot open");
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
            if (tab == std::string::npos)
                fail(where, "expected number, tab, text");
            std::string number = line.substr(0, tab);
            char* end = nullptr;
            unsigned long id = strtoul(number.c_str(), &end, 10);
            if (number.empty() || *end || id > 0xFFFF)
                fail(where, "bad string number");
            if (!overriding && table.count(static_cast<unsigned int>(id)))
                fail(where, "string number " + number + " given twice");
            table[static_cast<unsigned int>(id)] = convert(line.substr(tab + 1), where);
        }
    }

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
