#include "CompanionStart.h"

#include "CommandLine.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "FuzzyParser.h"
#include "ResString.h"
#include "ShowFile.h"
#include "strings/KytfuzzyStrings.h"

#include <cstring>

namespace {


// A line's first blank-delimited word.
std::string firstWord(const std::string& line)
{
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos)
        return "";
    size_t end = line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

void CompanionIniReader::setFile(FILE* stream, const std::string& name)
{
    fp = stream;
    fileName = name;
}

void CompanionIniReader::getChar()
{
    int c = fp ? fgetc(fp) : EOF;
    if (c == EOF) {
        current = -1;
        return;
    }
    ++column;
    if (c == '\n') {
        column = 0;
        ++line;
    }
    if (c == '\r' || c == '\t')
        c = ' ';
    current = c;
}

// The character after the current one, left in the stream.
int CompanionIniReader::peekChar()
{
    int c = fp ? fgetc(fp) : EOF;
    if (c != EOF)
        ungetc(c, fp);
    return c;
}

void CompanionIniReader::skipComments()
{
    getChar();
    while (current == '#' || current == '/') {
        if (current == '#') {
            while (current != '\n' && current != -1)
                getChar();
            continue;
        }
        int next = peekChar();
        if (next == '/') {
            while (current != '\n' && current != -1)
                getChar();
        } else if (next == '*') {
            getChar();
            int previous = 0;
            getChar();
            while (current != -1 && !(previous == '*' && current == '/')) {
                previous = current;
                getChar();
            }
            if (current != -1)
                getChar();
        } else {
            // Not a comment: the "/" itself.
            return;
        }
    }
    if (current == '\n')
        current = ' ';
}

void CompanionIniReader::readWord()
{
    token.assign(1, static_cast<char>(current));
    for (;;) {
        skipComments();
        if (current == -1 || current == ';' || current == ',' || current == '"' || current == ' ' || current == '=')
            return;
        token += static_cast<char>(current);
    }
}

void CompanionIniReader::nextToken()
{
    if (kind != TOKEN_WORD)
        skipComments();
    switch (current) {
    case -1:
        kind = TOKEN_END;
        return;
    case ' ':
        kind = TOKEN_BLANK;
        return;
    case '"':
        kind = TOKEN_QUOTE;
        return;
    case '$':
        kind = TOKEN_DOLLAR;
        return;
    case ',':
        kind = TOKEN_COMMA;
        return;
    case ';':
        kind = TOKEN_SEMICOLON;
        return;
    case '=':
        kind = TOKEN_EQUALS;
        return;
    default:
        kind = TOKEN_WORD;
        readWord();
    }
}

void CompanionIniReader::skipBlanks()
{
    while (kind == TOKEN_BLANK)
        nextToken();
}

void CompanionIniReader::read()
{
    line = 1;
    column = 0;
    nextToken();
    skipBlanks();
    while (kind != TOKEN_END)
        parseStatement();
}

void CompanionIniReader::parseStatement()
{
    std::string* target = nullptr;
    if (kind == TOKEN_WORD && token == "TEMPDIR")
        target = &tempDir;
    else if (kind == TOKEN_WORD && token == "HELPDIR")
        target = &helpDir;
    if (!target) {
        nextToken();
        skipBlanks();
        return;
    }
    nextToken();
    skipBlanks();
    if (kind != TOKEN_EQUALS) {
        reportSyntaxError(kStrFzExpectEquals);
        return;
    }
    nextToken();
    skipBlanks();
    if (kind != TOKEN_WORD) {
        reportSyntaxError(kStrFzExpectString);
        return;
    }
    *target = token;
    nextToken();
    skipBlanks();
    if (kind == TOKEN_SEMICOLON) {
        nextToken();
        skipBlanks();
    }
}

void CompanionIniReader::reportSyntaxError(unsigned int detail)
{
    kind = TOKEN_END;
    char head[256];
    snprintf(head, sizeof head, getResString(kStrFzReadError), fileName.c_str(), line, column);
    std::string text = std::string(head) + "\n" + getResString(detail);
    showFileAtLine(text.c_str(), fileName.c_str(), line, 1);
}

CompanionIniResult readCompanionIni(const std::string& startDir, std::string* tempDir, std::string* helpDir,
                                    std::string* iniPath)
{
    std::string path = startDir;
    if (path.empty() || (path.back() != '\\' && path.back() != '/'))
        path += '\\';
    path += "kyt.ini";
    *iniPath = path;
    FILE* f = openFile(path.c_str(), "rt");
    if (!f)
        return COMPANION_INI_MISSING;
    CompanionIniReader reader;
    reader.setFile(f, path);
    reader.read();
    *tempDir = reader.getTempDir().empty() ? startDir : reader.getTempDir();
    // The backslash is always inserted: a TEMPDIR ending in one gives a
    // doubled one, which the file system takes.
    std::string test = tempDir->empty() ? "test.tmp" : *tempDir + "\\test.tmp";
    FILE* t = openFile(test.c_str(), "w");
    if (!t) {
        fclose(f);
        return COMPANION_INI_TEMPDIR_LOCKED;
    }
    fclose(t);
    remove(mapPath(test.c_str()).text());
    *helpDir = reader.getHelpDir().empty() ? startDir : reader.getHelpDir();
    fclose(f);
    return COMPANION_INI_OK;
}

bool splitWizardCommandLine(const std::string& commandLine, std::string* blockName, std::string* path)
{
    const std::vector<std::string> words = splitCommandLine(commandLine.c_str());
    if (words.size() != 2)
        return false;
    *blockName = words[0];
    *path = words[1];
    return true;
}

int extractWizardKyb(const std::string& blockName, const std::string& path, const std::string& tempDir,
                     const std::function<bool()>& askOverwrite, std::string* fileToOpen)
{
    std::string blockPath = path + "\\" + blockName;
    FILE* in = openFile(blockPath.c_str(), "rt");
    if (!in)
        return 0;
    // Whole lines: a long "#" line is one line of the fuzzy text.
    std::string line;
    bool found = false;
    while (!found && readBoundedLine(in, line, kMaxFuzzyText) != LINE_AT_END) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        found = isWizardLine(line.c_str());
    }
    if (!found) {
        fclose(in);
        return askOverwrite && askOverwrite() ? 0 : -1;
    }
    std::string output = tempDir + "\\InWizard.kyb";
    bool written = writeFileChecked(output.c_str(), "wt", [&](FILE* out) {
        bool good = true;
        while (readBoundedLine(in, line, kMaxFuzzyText) != LINE_AT_END) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty() && line[0] == '#')
                good = fputs(line.c_str() + 1, out) >= 0 && fputc('\n', out) != EOF && good;
            else if (firstWord(line) == "BLOCK")
                break;
        }
        return good && !ferror(in);
    });
    fclose(in);
    if (!written) {
        reportError(ERR_ERROR, getResString(kStrFzTempFileNotOpened), output.c_str());
        return -1;
    }
    *fileToOpen = output;
    return 1;
}

int finalExitCode(int exitCode, bool blockWritten)
{
    if (exitCode == 0)
        return blockWritten ? 0 : 1;
    return exitCode;
}
