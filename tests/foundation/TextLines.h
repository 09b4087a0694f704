// Text in the tests line by line: model text written as a list of lines, and
// a text taken apart into its lines.
#ifndef KYT_TESTS_TEXTLINES_H
#define KYT_TESTS_TEXTLINES_H

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

// Each line with its line feed.
inline std::string lines(std::initializer_list<const char*> list)
{
    std::string text;
    for (const char* l : list)
        text += std::string(l) + "\n";
    return text;
}

// The lines of a text, without their line feeds.
inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        out.push_back(line);
    return out;
}

#endif
