#include "FuzzyOptions.h"

#include "FileLayer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const FuzzyPaneColor FuzzyOptions::kDefaultColor = {255, 255, 232, 0};
const FuzzyPaneColor FuzzyOptions::kBadColor = {254, 255, 223, 0};

namespace {

// Longest line the settings reader takes.
const size_t kMaxSettingsLine = 511;

// Exactly three whole numbers of 0 to 255. A mended fault: larger values
// were taken and wrapped in the colour bytes.
bool parseColor(const char* text, FuzzyPaneColor* c)
{
    long v[3];
    const char* p = text;
    for (long& x : v) {
        char* end = nullptr;
        x = strtol(p, &end, 10);
        if (end == p || x < 0 || x > 255)
            return false;
        p = end;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p)
        return false;
    *c = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), 0};
    return true;
}

} // namespace

FuzzyOptions::FuzzyOptions() : color{0, 0, 0, 0} {}

std::string FuzzyOptions::settingsPath() const
{
    return joinPath(tempDir.c_str(), "kytfuzzy.set").text();
}

void FuzzyOptions::readSettingsFile()
{
    FILE* f = openFile(settingsPath().c_str(), "rt");
    if (!f) {
        color = kDefaultColor;
        return;
    }
    std::string line;
    while (readBoundedLine(f, line, kMaxSettingsLine) != LINE_AT_END) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 6 && line.compare(0, 6, "COLOR ") == 0) {
            if (!parseColor(line.c_str() + 6, &color))
                color = kBadColor;
        } else if (line.size() > 7 && line.compare(0, 4, "FILE") == 0) {
            char* end = nullptr;
            long index = strtol(line.c_str() + 4, &end, 10);
            const char* open = strchr(end, '"');
            const char* close = open ? strchr(open + 1, '"') : nullptr;
            if (end != line.c_str() + 4 && index >= 0 && index < kRecentCount && close)
                recent[index].assign(open + 1, close);
        }
    }
    fclose(f);
}

bool FuzzyOptions::writeSettingsFile() const
{
    return writeFileChecked(settingsPath().c_str(), "wt", [this](FILE* f) {
        bool good = fprintf(f, "COLOR %d %d %d\n", color.red & 0xFF, color.green & 0xFF, color.blue & 0xFF) > 0;
        for (int i = 0; i < shownRecentCount(); ++i)
            good = fprintf(f, "FILE%d \"%s\"\n", i, recent[i].c_str()) > 0 && good;
        return good;
    });
}

void FuzzyOptions::addRecentFile(const std::string& path)
{
    int at = kRecentCount - 1;
    for (int i = 0; i < kRecentCount; ++i)
        if (recent[i] == path) {
            at = i;
            break;
        }
    for (int i = at; i > 0; --i)
        recent[i] = recent[i - 1];
    recent[0] = path;
}

std::string FuzzyOptions::getRecentFile(unsigned int command) const
{
    if (command < kFirstRecentCommand || command >= kFirstRecentCommand + kRecentCount)
        return "";
    return recent[command - kFirstRecentCommand];
}

int FuzzyOptions::shownRecentCount() const
{
    int n = 0;
    while (n < kRecentCount && !recent[n].empty())
        ++n;
    return n;
}
