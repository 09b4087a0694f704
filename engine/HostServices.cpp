#include "HostServices.h"

#include "RunState.h"

#include "CompilerOptions.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "ResString.h"
#include "String.h"
#include "strings/EngineStrings.h"

#include <cstdarg>
#include <cstdio>

namespace {

HostSeams seams = {};

// Texts handed to a library stay valid until the next call of the same
// service; they grow with the text instead of being cut.
String localDirectoryText;
String circuitDirectoryText;

} // namespace

void setHostSeams(const HostSeams* s)
{
    if (s)
        seams = *s;
    else
        seams = HostSeams();
}

void fillHostServices(HostServices* services)
{
    services->isCompiling = isCompiling;
    services->alwaysFalse = alwaysFalse;
    services->requestErrorStop = requestErrorStop;
    services->moduleMessage = moduleMessage;
    services->stringConstant = stringConstant;
    services->localLibraryDirectory = localLibraryDirectory;
    services->currentTime = currentTime;
    services->circuitDirectory = circuitDirectory;
}

int isCompiling(const char*)
{
    return testOption(OPTION_COMPILE_PHASE);
}

int alwaysFalse(const char*)
{
    testOption(OPTION_COMPILE_PHASE);
    return 0;
}

int requestErrorStop(int)
{
    int compiling = testOption(OPTION_COMPILE_PHASE);
    if (!compiling)
        runState.errorFlag = kRunErrorStop;
    return compiling;
}

void moduleMessage(int level, const char* format, ...)
{
    if (testOption(OPTION_COMPILE_PHASE))
        return;
    char text[kMaxModuleMessage + 1];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format ? format : "", args);
    va_end(args);
    if (level == 1 || level == 2) {
        // Level 1 is an error, level 2 a plain message, shown by the main
        // window once the running step has returned.
        int queued = level == 1 ? ERR_ERROR : ERR_MESSAGE;
        if (seams.queueDeferredMessage)
            seams.queueDeferredMessage(queued, text);
        else
            reportError(queued, "%s", text);
        return;
    }
    reportError(ERR_FATAL, "%s", text);
}

const char* stringConstant(int index)
{
    int count = seams.stringCount ? seams.stringCount() : 0;
    if (index < 0 || index >= count || !seams.stringText) {
        reportError(ERR_ERROR, getResString(kStrStringIndexOutOfRange), index);
        runState.errorFlag = kRunErrorStop;
        return nullptr;
    }
    return seams.stringText(index);
}

const char* localLibraryDirectory()
{
    const char* dir = seams.localLibraryDirectory ? seams.localLibraryDirectory() : nullptr;
    localDirectoryText = dir ? dir : "";
    if (!localDirectoryText.getLength())
        reportError(ERR_ERROR, "%s", getResString(kStrNoLocalForLoading));
    return localDirectoryText.text();
}

double currentTime()
{
    return runState.currentTime;
}

const char* circuitDirectory()
{
    const char* name = seams.circuitFileName ? seams.circuitFileName() : nullptr;
    splitPath(name ? name : "", &circuitDirectoryText, nullptr);
    return circuitDirectoryText.text();
}
