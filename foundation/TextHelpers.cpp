#include "TextHelpers.h"

#include "FileLayer.h"
#include "NumberFormat.h"

#include <cstring>
#include <string>

String setDefaultExtension(const char* name, const char* extension)
{
    const char* n = name ? name : "";
    const char* ext = extension ? extension : "";
    String file;
    splitPath(n, nullptr, &file);
    const char* f = file.text();
    size_t flen = strlen(f);
    if (!strchr(f, '.')) {
        String result(n);
        result += '.';
        result += ext;
        return result;
    }
    if (flen >= 2 && f[flen - 2] == '.' && f[flen - 1] == '*') {
        std::string s(n, strlen(n) - 1);
        s += ext;
        return String(s.c_str());
    }
    return String(n);
}

String blanksToUnderscores(const char* text)
{
    std::string s(text ? text : "");
    for (char& c : s)
        if (c == ' ')
            c = '_';
    return String(s.c_str());
}

String doubleToString(const char* text)
{
    double v = 0;
    if (parseNumber(text ? text : "", &v) == 0)
        v = 0;
    return formatDouble(v);
}
