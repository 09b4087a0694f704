#include "CommandLine.h"

std::string quoteCommandWord(const std::string& word)
{
    if (!word.empty() && word.find(' ') == std::string::npos)
        return word;
    return "\"" + word + "\"";
}

std::vector<std::string> splitCommandLine(const char* line)
{
    std::vector<std::string> words;
    if (!line)
        return words;
    const char* p = line;
    for (;;) {
        while (*p == ' ')
            ++p;
        if (!*p)
            break;
        std::string word;
        bool quoted = false;
        for (; *p && (quoted || *p != ' '); ++p) {
            if (*p == '"')
                quoted = !quoted;
            else
                word += *p;
        }
        words.push_back(word);
    }
    return words;
}

std::string joinCommandLine(const std::vector<std::string>& words)
{
    std::string line;
    for (const std::string& w : words) {
        if (!line.empty())
            line += ' ';
        line += quoteCommandWord(w);
    }
    return line;
}
