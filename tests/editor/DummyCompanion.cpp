// A stand-in for kytfuzzy and kytident in the wizard tests: it takes
// exactly two words (the block file's name and the directory of library
// Local) from its command line, split as the companions split it, checks that it runs in the directory KYT_DUMMY_CWD names, logs
// what it saw to KYT_DUMMY_LOG, writes <dir>\<name> from the file
// KYT_DUMMY_TEXT names, waits KYT_DUMMY_SLEEP milliseconds and ends with
// the code KYT_DUMMY_CODE gives.
#include "CommandLine.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string env(const char* name)
{
    char value[1024] = "";
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value) : std::string();
}

// Drive letters, separators and case do not count.
std::string normalised(std::string p)
{
    for (char& c : p)
        c = c == '/' ? '\\' : static_cast<char>(tolower(static_cast<unsigned char>(c)));
    while (!p.empty() && p.back() == '\\')
        p.pop_back();
    return p;
}

} // namespace

int main()
{
    // The first word is the program path.
    std::vector<std::string> words = splitCommandLine(GetCommandLineA());
    if (!words.empty())
        words.erase(words.begin());
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    std::string log = env("KYT_DUMMY_LOG");
    if (!log.empty()) {
        // Through Win32: the path is a DOS one.
        std::string text = std::to_string(words.size()) + "\n";
        for (const std::string& w : words)
            text += w + "\n";
        text += std::string(cwd) + "\n";
        HANDLE f = CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(f);
        }
    }
    if (words.size() != 2)
        return -1;
    if (normalised(cwd) != normalised(env("KYT_DUMMY_CWD")))
        return -2;
    std::string text = env("KYT_DUMMY_TEXT");
    if (!text.empty()) {
        std::string target = words[1] + "\\" + words[0];
        if (!CopyFileA(text.c_str(), target.c_str(), FALSE))
            return -3;
    }
    std::string sleep = env("KYT_DUMMY_SLEEP");
    if (!sleep.empty())
        Sleep(static_cast<DWORD>(atoi(sleep.c_str())));
    return atoi(env("KYT_DUMMY_CODE").c_str());
}
