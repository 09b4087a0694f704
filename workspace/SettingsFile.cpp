// kyt.set and the recent files.
#include "Workspace.h"

#include "FileLayer.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kSettingsFile[] = "kyt.set";
// Lines longer than this are not settings lines.
const size_t kMaxSettingsLine = 511;

// One line of any length without its line end; a lone carriage return or a
// control byte other than a tab marks it as binary. False at the end.
bool readSettingsLine(FILE* f, std::string& line, bool& binary)
{
    line.clear();
    binary = false;
    int c;
    bool any = false;
    while ((c = getc(f)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        if ((c < 0x20 && c != '\t') || c == 0x7f)
            binary = true;
        line += static_cast<char>(c);
    }
    // "\r\n" is a line end, whatever mode the stream reads in.
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
        binary = false;
        for (char ch : line) {
            unsigned char u = static_cast<unsigned char>(ch);
            if ((u < 0x20 && u != '\t') || u == 0x7f)
                binary = true;
        }
    }
    return any;
}

// A decimal integer after optional blanks; false when there is none or it
// does not fit.
bool readInt(const char*& p, long& value)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    char* end = nullptr;
    errno = 0;
    value = strtol(p, &end, 10);
    if (end == p || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    p = end;
    return true;
}

bool validGridValue(long v)
{
    return v >= 1 && v <= kMaxGrid;
}

} // namespace

void Workspace::readSettingsFile()
{
    // A mended fault: without a usable GRID line the grid stayed 0 x 0 and
    // the editor divided by it.
    setGrid(GridSize{kDefaultGrid, kDefaultGrid});
    String path = settingsFilePath();
    FILE* f = openFile(path.text(), "rt");
    if (f) {
        std::string line;
        bool binary = false;
        while (readSettingsLine(f, line, binary)) {
            if (binary || line.size() > kMaxSettingsLine)
                continue;
            const char* p = line.c_str();
            if (line.size() > 5 && strncmp(p, "GRID ", 5) == 0) {
                p += 5;
                long x = 0;
                long y = 0;
                // Values outside 1..255 count as no GRID line.
                if (readInt(p, x) && readInt(p, y) && validGridValue(x) && validGridValue(y))
                    setGrid(GridSize{static_cast<int>(x), static_cast<int>(y)});
            } else if (line.size() > 7 && strncmp(p, "FILE", 4) == 0) {
                p += 4;
                long index = -1;
                if (!readInt(p, index) || index < 0 || index >= kRecentFileCount)
                    continue;
                while (*p == ' ' || *p == '\t')
                    ++p;
                if (*p != '"')
                    continue;
                const char* name = p + 1;
                const char* close = strchr(name, '"');
                if (!close)
                    continue;
                recentFiles[index] = std::string(name, static_cast<size_t>(close - name)).c_str();
            }
        }
        fclose(f);
    }
    rebuildFileMenu();
    rebuildWindowMenu();
}

String Workspace::settingsFilePath() const
{
    return joinPath(TEMPDIR.text(), kSettingsFile);
}

bool Workspace::writeSettingsFile()
{
    String path = settingsFilePath();
    return writeFileChecked(path.text(), "wt", [this](FILE* f) {
        if (fprintf(f, "GRID %d %d\n", gridWidth, gridHeight) < 0)
            return false;
        for (int i = 0; i < kRecentFileCount && recentFiles[i].getLength(); ++i)
            if (fprintf(f, "FILE%d \"%s\"\n", i, recentFiles[i].text()) < 0)
                return false;
        return true;
    });
}

void Workspace::addRecentFile(const char* name)
{
    String fresh(name);
    String old[kRecentFileCount];
    for (int i = 0; i < kRecentFileCount; ++i)
        old[i] = recentFiles[i];
    recentFiles[0] = fresh;
    int filled = 1;
    for (int i = 0; i < kRecentFileCount && filled < kRecentFileCount; ++i) {
        if (old[i] == fresh)
            continue;
        recentFiles[filled++] = old[i];
    }
    for (; filled < kRecentFileCount; ++filled)
        recentFiles[filled] = "";
    rebuildFileMenu();
}

String Workspace::recentFileByCommand(int command) const
{
    for (int i = 0; i < kRecentFileCount; ++i)
        if (recentFileCommands[i] == command)
            return recentFiles[i];
    return String();
}
