#include "LibraryIndex.h"

#include "FileLayer.h"

#include <string>
#include <vector>

const char kLibraryIndexFile[] = "ablocks.bfl";

namespace {

// Blanks, tabs and carriage returns around a name are not part of it: index
// files are written by hand as well.
std::string trimmed(const std::string& s)
{
    size_t b = 0;
    size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

// The non-empty pieces between commas, as strtok would cut them.
std::vector<std::string> tokens(const char* line)
{
    std::vector<std::string> out;
    std::string cur;
    for (const char* p = line;; ++p) {
        if (*p == ',' || *p == '\n' || *p == 0) {
            if (!cur.empty())
                out.push_back(cur);
            cur.clear();
            if (*p == 0)
                break;
        } else {
            cur += *p;
        }
    }
    return out;
}

} // namespace

bool readSectionedFile(FILE* stream, int libraryIndex, ADArray<BlockLibrary>& libraries)
{
    BlockLibrary& lib = libraries.ElementAt(libraryIndex);
    // A library is read again each time the block dialogs list it.
    lib.sections = ADArray<LibrarySection>(1);
    int groups = 0;
    LibrarySection* section = nullptr;

    std::string line;
    size_t taken = 0;
    bool withinLimits = true;
    while (stream) {
        // Lines are read whole up to their limit: a long line is never split
        // into a second entry.
        LineReadResult r = readBoundedLine(stream, line, kMaxIndexLine);
        if (r == LINE_AT_END)
            break;
        taken += line.size() + 1;
        if (r == LINE_TOO_LONG || taken > kMaxIndexFile) {
            withinLimits = false;
            break;
        }
        std::vector<std::string> tok = tokens(line.c_str());
        if (tok.empty())
            continue;
        std::string first = trimmed(tok[0]);
        if (!first.empty() && first[0] == '$') {
            section = &lib.sections.ElementAt(groups);
            *section = LibrarySection();
            section->name = trimmed(first.substr(1)).c_str();
            ++groups;
            continue;
        }
        if (!section)
            continue;
        // A blank line or a name without its file would make a block that
        // cannot be loaded.
        std::string file = tok.size() > 1 ? trimmed(tok[1]) : std::string();
        if (first.empty() || file.empty())
            continue;
        int n = section->count;
        section->setFirstName(n, String(first.c_str()));
        section->setSecondName(n, String(file.c_str()));
        section->removed.ElementAt(n) = 0;
        section->count = n + 1;
    }
    lib.sectionCount = groups;
    return withinLimits;
}
