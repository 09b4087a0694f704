#include "CommandLine.h"

namespace {

bool isSeparator(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

CommandLineRequest parseCommandLine(const char* text, const std::string& iniDirectory)
{
    CommandLineRequest request;
    request.iniDirectory = iniDirectory;
    const std::string line = text ? text : "";
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSeparator(line[i]))
            ++i;
        if (i >= line.size())
            break;
        const size_t start = i;
        while (i < line.size() && !isSeparator(line[i]))
            ++i;
        const std::string word = line.substr(start, i - start);
        if (word[0] != '-' && word[0] != '/') {
            request.circuitFile = word;
            continue;
        }
        if (word.size() < 2)
            continue;
        switch (word[1]) {
        case 'p':
        case 'P':
            request.printAfterLoad = 1;
            break;
        case 'r':
        case 'R':
            request.runAfterLoad = 1;
            break;
        case 'i':
        case 'I': {
            // Cut or overflowing, the directory would name another place:
            // a directory that does not fit is refused whole.
            const std::string directory = word.substr(2);
            if (directory.size() <= kMaxIniDirectory)
                request.iniDirectory = directory;
            break;
        }
        default:
            break;
        }
    }
    return request;
}
