// A fresh directory under /tmp for one test, removed with everything in it.
#ifndef KYT_TESTS_TEMPDIRFIXTURE_H
#define KYT_TESTS_TEMPDIRFIXTURE_H

#include "FileBytes.h"

#include <cstdio>
#include <cstdlib>
#include <string>

class ScratchDir {
public:
    ScratchDir()
    {
        char tmpl[] = "/tmp/kyt-test-XXXXXX";
        const char* d = mkdtemp(tmpl);
        path = d ? d : "";
    }
    ~ScratchDir()
    {
        if (!path.empty()) {
            std::string cmd = "rm -rf '" + path + "'";
            if (system(cmd.c_str()) != 0)
                fprintf(stderr, "could not remove %s\n", path.c_str());
        }
    }
    std::string file(const std::string& name) const { return path + "/" + name; }

    // Writes bytes exactly as given; the file's path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        writeFileBytes(file(name), bytes);
        return file(name);
    }
    std::string read(const std::string& name) const { return readFileBytes(file(name)); }
    bool exists(const std::string& name) const
    {
        FILE* f = fopen(file(name).c_str(), "rb");
        if (f)
            fclose(f);
        return f != nullptr;
    }
    void mkdir(const std::string& name) const
    {
        std::string cmd = "mkdir -p '" + file(name) + "'";
        if (system(cmd.c_str()) != 0)
            fprintf(stderr, "could not make %s\n", name.c_str());
    }

    std::string path;
};

#endif
