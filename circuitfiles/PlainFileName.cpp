#include "PlainFileName.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

const char* const kDevices[] = {"nul", "con", "aux", "prn", "conin$", "conout$", "clock$"};

bool isDeviceName(const char* name)
{
    // Windows reaches the device whatever follows the first dot, and drops
    // trailing blanks and dots: "NUL.txt", "con " and "aux." are devices.
    std::string base;
    for (const char* p = name; *p && *p != '.'; ++p)
        base += static_cast<char>(tolower(static_cast<unsigned char>(*p)));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (const char* device : kDevices)
        if (base == device)
            return true;
    // COM and LPT with a digit, also a superscript one (Windows-1252 B9, B2
    // and B3), which Windows takes for the same ports.
    const unsigned char digit = base.size() == 4 ? static_cast<unsigned char>(base[3]) : 0;
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
           (isdigit(digit) || digit == 0xB9 || digit == 0xB2 || digit == 0xB3);
}

} // namespace

bool isPlainFileName(const char* name)
{
    if (!name || !*name)
        return false;
    bool onlyDots = true;
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '/' || c == '\\' || c == ':' || c < 0x20 || c == 0x7F)
            return false;
        if (c != '.' && c != ' ')
            onlyDots = false;
    }
    return !onlyDots && !isDeviceName(name);
}
