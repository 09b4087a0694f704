#include "LibraryHost.h"

#include "ErrorReporter.h"

#include <cstdarg>
#include <cstdio>

namespace {

int defaultIsCompiling(const char*)
{
    return 0;
}

int defaultAlwaysFalse(const char*)
{
    return 0;
}

int defaultRequestErrorStop(int)
{
    return 0;
}

void defaultModuleMessage(int level, const char* format, ...)
{
    char text[1025];
    va_list ap;
    va_start(ap, format);
    vsnprintf(text, sizeof text, format, ap);
    va_end(ap);
    reportError(level == 1 || level == 2 ? ERR_ERROR : ERR_FATAL, "%s", text);
}

const char* defaultStringConstant(int)
{
    return nullptr;
}

const HostServices defaultServices = {
    defaultIsCompiling, defaultAlwaysFalse, defaultRequestErrorStop,
    defaultModuleMessage, defaultStringConstant, nullptr, nullptr, nullptr};

} // namespace

LibraryHost::LibraryHost() : current(defaultServices) {}

void LibraryHost::attach(const HostServices* services)
{
    current = defaultServices;
    if (services) {
        current.isCompiling = services->isCompiling;
        current.alwaysFalse = services->alwaysFalse;
        current.requestErrorStop = services->requestErrorStop;
        current.moduleMessage = services->moduleMessage;
        current.stringConstant = services->stringConstant;
    }
}
