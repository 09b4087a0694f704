// The services every run-time library receives when it is attached, and the
// seams through which they reach the parts of the program that own the data
// (the loaded PI program's strings, the workspace's deferred messages, the
// "Local" library and the current circuit). Programs plug their owners in;
// tests record.
#ifndef KYT_ENGINE_HOSTSERVICES_H
#define KYT_ENGINE_HOSTSERVICES_H

#include "ModuleDescriptor.h"

// Fills the eight entries in their order.
void fillHostServices(HostServices* services);

int isCompiling(const char* errorKey);
int alwaysFalse(const char* errorKey);
int requestErrorStop(int unused);
void moduleMessage(int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
const char* stringConstant(int index);
const char* localLibraryDirectory();
double currentTime();
const char* circuitDirectory();

// Longest text of one moduleMessage; longer texts are cut.
const int kMaxModuleMessage = 1024;

struct HostSeams {
    // Appends a text to the queue of deferred messages that the main window
    // shows later (level 2 error, level 0 plain message) and pauses the run.
    // Null: the text is shown at once through the error reporter.
    void (*queueDeferredMessage)(int level, const char* text);
    // The string constants of the loaded PI program. Null: there is none.
    int (*stringCount)();
    const char* (*stringText)(int index);
    // The directory of the block library named "Local", "" when none is
    // installed. Null: none.
    const char* (*localLibraryDirectory)();
    // The file name of the current circuit, "" when it has none. Null: none.
    const char* (*circuitFileName)();
};

// Installs the seams (copied); null restores the defaults above.
void setHostSeams(const HostSeams* seams);

#endif
