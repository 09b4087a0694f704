// A recording host for the identification tests: the services a run-time
// library receives, with every message and stop request kept.
#ifndef KYT_TESTS_BLOCKS_IDENTTESTSUPPORT_H
#define KYT_TESTS_BLOCKS_IDENTTESTSUPPORT_H

#include "IdentHost.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

struct FakeHost {
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

    static int isCompiling(const char*) { return 0; }
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
        return strings()[index].c_str();
    }
    static double currentTime() { return 0.0; }
    static const char* directory() { return ""; }

    static HostServices services()
    {
        return HostServices{isCompiling, alwaysFalse, requestErrorStop, moduleMessage,
                            stringConstant, directory, currentTime, directory};
    }

    static void clear()
    {
        messages().clear();
        levels().clear();
        stops() = 0;
    }
    // Installs the fake as the identification code's host.
    static void install()
    {
        clear();
        HostServices s = services();
        setIdentHostServices(&s);
    }
};

#endif
