// Help sections of kythelp.txt and the help viewer.
#include "DeferredMessages.h"
#include "Workspace.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "ResString.h"
#include "strings/WorkspaceStrings.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

const char kSectionMarker[] = "IDH_HELP_";

// One line without its line end; ended tells whether a line feed (with or
// without a carriage return before it) ended it. False at the end.
bool readHelpLine(FILE* f, std::string& line, bool& ended)
{
    line.clear();
    ended = false;
    int c;
    bool any = false;
    while ((c = getc(f)) != EOF) {
        any = true;
        if (c == '\n') {
            ended = true;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            break;
        }
        line += static_cast<char>(c);
    }
    return any;
}

bool isWordChar(char c)
{
    return isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// A mended fault: a marker matched anywhere, so "IDH_HELP_Font" found the
// section of "IDH_HELP_FontSelDlg".
bool holdsWord(const std::string& line, const char* word)
{
    size_t len = strlen(word);
    if (!len)
        return false;
    for (size_t at = line.find(word); at != std::string::npos; at = line.find(word, at + 1)) {
        bool before = at == 0 || !isWordChar(line[at - 1]);
        bool after = at + len >= line.size() || !isWordChar(line[at + len]);
        if (before && after)
            return true;
    }
    return false;
}

} // namespace

String loadHelpSection(const char* helpDir, const char* marker)
{
    // 1.
    String path = joinPath(helpDir, getResString(kStrHelpFileName));
    FILE* f = openFile(path.text(), "rb");
    if (!f) {
        reportError(ERR_MESSAGE, getResString(kStrNoHelpFile), path.text());
        return String();
    }
    // 2.
    std::string line;
    bool ended = false;
    bool found = false;
    while (!found && readHelpLine(f, line, ended))
        found = holdsWord(line, marker ? marker : "");
    // 3. A mended fault: every line lost its last character for the line
    // end, whether it had one or not; only a real line end becomes "\r\n".
    std::string text;
    if (found) {
        while (text.size() <= kMaxHelpText && readHelpLine(f, line, ended)) {
            if (line.find(kSectionMarker) != std::string::npos)
                break;
            text += line;
            if (ended)
                text += "\r\n";
        }
    }
    bool readError = ferror(f) != 0;
    fclose(f);
    // 4.
    if (text.empty() && !readError)
        reportError(ERR_MESSAGE, "%s", getResString(kStrNoHelp));
    // 5.
    if (readError)
        reportError(ERR_ERROR, "%s", getResString(kStrHelpReadError));
    else if (text.size() >= kMaxHelpText)
        reportError(ERR_WARNING, "%s", getResString(kStrHelpTooLong));
    return String(text.c_str());
}

String loadHelpSection(const char* marker)
{
    return loadHelpSection(theWorkspace ? theWorkspace->HELPDIR.text() : "", marker);
}

void Workspace::showHelpSection(const char* marker)
{
    String text = loadHelpSection(HELPDIR.text(), marker);
    if (!text.getLength())
        return;
    // A viewer that was closed has cleared the slot itself.
    if (helpWindow) {
        HelpViewer* old = helpWindow;
        helpWindow = nullptr;
        delete old;
    }
    if (helpFactory)
        helpWindow = helpFactory->createHelpViewer(getResString(kStrHelpTitle), text.text(), &helpWindow);
}
