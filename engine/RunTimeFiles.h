// What the FILE and TABLE libraries share: how a file name of the model
// becomes a path, how the files are opened, and how handles, columns and
// string indexes that arrive as doubles become whole numbers.
#ifndef KYT_ENGINE_RUNTIMEFILES_H
#define KYT_ENGINE_RUNTIMEFILES_H

#include "ModuleDescriptor.h"
#include "ResString.h"
#include "String.h"

#include <cstdio>
#include <vector>

// Longest path of a data or table file; a longer one cannot be opened.
const int kMaxRunTimePath = 255;

// The path of a file the model names. A name that begins with "@:\" lies in
// the directory of the current circuit: that directory joined with the name
// after the prefix (which alone, relative, when the circuit has no
// directory). false when the path is longer than kMaxRunTimePath.
bool runTimeFilePath(const char* name, const char* circuitDirectory, String* path);

// Opens the files of FOPEN and TABLEOPEN. Tests put streams of their own
// here to count them or to make them fail; null restores openFile.
typedef FILE* (*RunTimeFileOpener)(const char* path, const char* mode);
void setRunTimeFileOpener(RunTimeFileOpener opener);
FILE* openRunTimeFile(const char* path, const char* mode);

// Opens for reading the file that the string constant name of the model
// names, as FOPEN and TABLEOPEN do. false when the host knows no such string
// (it has said so itself); otherwise true, with *stream null when the file
// cannot be opened and *path the path for the message.
bool openNamedRunTimeFile(const HostServices& host, double name, String* path, FILE** stream);

// The truncated whole number of v when it lies in [0, count). NaN, the
// infinities and huge values are checked here as doubles: converted first
// they would turn into some valid number.
bool runTimeIndex(double v, long long count, int* index);

// The whole number that a message shows for v: its truncation, held to the
// int range; -1 for NaN.
int runTimeMessageNumber(double v);

// The host services as FILE and TABLE keep them from their registration
// (all null until then), and what both ask of them.
class RunTimeHost {
public:
    explicit RunTimeHost(const char* key) : errorKey(key) {}

    // The table lives only during the registration call: keep a copy.
    void attach(const HostServices* table) { services = *table; }
    bool compiling() const { return services.isCompiling && services.isCompiling(errorKey); }
    void errorStop() const
    {
        if (services.requestErrorStop)
            services.requestErrorStop(0);
    }
    // Level 1: a queued error; every caller asks for the stop itself where
    // the library does.
    template <typename... Args>
    void message(int level, int text, Args... args) const
    {
        if (services.moduleMessage)
            services.moduleMessage(level, getResString(text), args...);
    }
    // The slot of a handle, or null after the error text (which shows the
    // handle's number) and an error stop.
    template <typename Slot>
    Slot* slot(std::vector<Slot>& slots, double handle, int noSuchText) const
    {
        int index = 0;
        if (!runTimeIndex(handle, static_cast<long long>(slots.size()), &index)) {
            message(1, noSuchText, runTimeMessageNumber(handle));
            errorStop();
            return nullptr;
        }
        return &slots[static_cast<size_t>(index)];
    }

    HostServices services = {};

private:
    const char* errorKey;
};

#endif
