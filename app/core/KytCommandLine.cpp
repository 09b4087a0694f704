#include "KytCommandLine.h"

#include "CommandLine.h"

#include <vector>

CommandLineRequest parseCommandLine(const char* text, const std::string& iniDirectory)
{
    CommandLineRequest request;
    request.iniDirectory = iniDirectory;
    const std::vector<std::string> words = splitCommandLine(text);
    for (const std::string& word : words) {
        // A quoted empty word names no file and no option.
        if (word.empty())
            continue;
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
