#include "IdentHelp.h"

#include "FileLayer.h"
#include "IdentMessage.h"
#include "ResString.h"

#include <cctype>
#include <cstdio>

namespace {

bool isLetter(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool readWholeFile(const std::string& path, std::string* text)
{
    FILE* f = openFile(path.c_str(), "rt");
    if (!f)
        return false;
    text->clear();
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text->append(buf, n);
    fclose(f);
    return true;
}

// Copies from `from` up to the first "&" that stop() refuses, turning line
// feeds into CR LF and "&z" into the letter.
template <class Stop>
std::string copyHelp(const std::string& t, size_t from, char letter, Stop stop)
{
    std::string out;
    for (size_t i = from; i < t.size(); ++i) {
        char c = t[i];
        if (c == '&') {
            char next = i + 1 < t.size() ? t[i + 1] : '\0';
            if (next == 'z') {
                out += letter;
                ++i;
                continue;
            }
            if (stop(next))
                break;
            if (isLetter(next)) {
                ++i;
                continue;
            }
        }
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

std::string identHelpPath(const std::string& helpDir)
{
    std::string path = helpDir;
    if (path.empty() || (path.back() != '\\' && path.back() != '/'))
        path += '\\';
    return path + "identhlp.txt";
}

char probeIdentHelp(const std::string& helpPath, bool* opened)
{
    FILE* f = openFile(helpPath.c_str(), "rt");
    *opened = f != nullptr;
    if (!f)
        return 'z';
    char letter = 'z';
    int previous = EOF;
    int c;
    while ((c = getc(f)) != EOF) {
        if (previous == '&' && isLetter(static_cast<char>(c))) {
            letter = c == 'q' ? 'q' : 'z';
            break;
        }
        previous = c;
    }
    fclose(f);
    return letter;
}

bool extractIdentHelpSection(const std::string& t, int method, char letter, std::string* section)
{
    for (size_t at = t.find('&'); at != std::string::npos; at = t.find('&', at + 1)) {
        size_t end = at + 1;
        long number = 0;
        while (end < t.size() && isDigit(t[end]) && number < 1000000)
            number = number * 10 + (t[end++] - '0');
        if (end == at + 1 || number != method)
            continue;
        *section = copyHelp(t, end, letter, [](char) { return true; });
        return true;
    }
    return false;
}

std::string extractIdentGeneralHelp(const std::string& t, char letter)
{
    return copyHelp(t, 0, letter, [](char next) { return isDigit(next); });
}

bool identMethodHelp(const std::string& helpPath, int method, char letter, std::string* text)
{
    std::string file;
    if (!readWholeFile(helpPath, &file))
        return false;
    if (!extractIdentHelpSection(file, method, letter, text))
        *text = copyHelp(getResString(kIdentNoHelpSection), 0, letter, [](char) { return true; });
    return true;
}

bool identGeneralHelp(const std::string& helpPath, char letter, std::string* text)
{
    std::string file;
    if (!readWholeFile(helpPath, &file))
        return false;
    *text = extractIdentGeneralHelp(file, letter);
    return true;
}
