#include "CompilerMessages.h"

#include "BoundedText.h"
#include "ErrorReporter.h"
#include "MessageLog.h"
#include "ResString.h"

#include <cstdarg>
#include <cstdlib>

namespace {

int errorCount = 0;

} // namespace

void compileError(unsigned int id, ...)
{
    ++errorCount;
    va_list args;
    va_start(args, id);
    vCompilerMessage(getResString(id), args);
    va_end(args);
}

void compileErrorAtLine(int line, unsigned int id, ...)
{
    ++errorCount;
    setMessageLine(line);
    va_list args;
    va_start(args, id);
    vCompilerMessage(getResString(id), args);
    va_end(args);
}

void compileInternalError(unsigned int id, ...)
{
    char text[kMaxReportText + 1];
    va_list args;
    va_start(args, id);
    BoundedText t(text, sizeof text);
    t.vappendf(getResString(id), args);
    va_end(args);
    reportError(ERR_FATAL, "%s", text);
    abort();   // not reached: a fatal report ends the program
}

int compileErrorCount()
{
    return errorCount;
}

void resetCompileErrorCount()
{
    errorCount = 0;
}
