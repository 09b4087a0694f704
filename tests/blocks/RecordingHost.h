// The services a run-time block library receives (IDENT, NN), with every
// message, stop request and compile question kept. The string constants of
// the "loaded program" are strings(); a bad index is refused with a stop, as
// the simulator does.
#ifndef KYT_TESTS_BLOCKS_RECORDINGHOST_H
#define KYT_TESTS_BLOCKS_RECORDINGHOST_H

#include "ModuleDescriptor.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

struct RecordingHost {
    static std::vector<std::string>& messages()
    {
        static std::vector<std::string> m;
        return m;
    }
    static std::vector<int>& levels()
    {
        static std::vector<int> l;
        return l;
    }
    static std::vector<std::string>& compileKeys()
    {
        static std::vector<std::string> k;
        return k;
    }
    static int& stops()
    {
        static int s = 0;
        return s;
    }
    static std::vector<std::string>& strings()
    {
        static std::vector<std::string> s;
        return s;
    }

    static int isCompiling(const char* key)
    {
        compileKeys().push_back(key ? key : "");
        return 0;
    }
    static int alwaysFalse(const char*) { return 0; }
    static int requestErrorStop(int)
    {
        ++stops();
        return 0;
    }
    static void moduleMessage(int level, const char* format, ...)
    {
        char text[1025];
        va_list ap;
        va_start(ap, format);
        vsnprintf(text, sizeof text, format, ap);
        va_end(ap);
        levels().push_back(level);
        messages().push_back(text);
    }
    static const char* stringConstant(int index)
    {
        if (index < 0 || index >= static_cast<int>(strings().size())) {
            ++stops();
            return nullptr;
        }
        return strings()[static_cast<size_t>(index)].c_str();
    }
    static double currentTime() { return 0.0; }
    static const char* directory() { return ""; }

    static HostServices services()
    {
        return HostServices{isCompiling, alwaysFalse, requestErrorStop, moduleMessage,
                            stringConstant, directory, currentTime, directory};
    }

    // Forgets what was recorded; the string constants stay.
    static void clear()
    {
        messages().clear();
        levels().clear();
        compileKeys().clear();
        stops() = 0;
    }
};

#endif
