#include "TraceSink.h"

#include <cstdarg>
#include <cstdio>

namespace {
TraceSink* gSink = nullptr;
}

TraceSink* setTraceSink(TraceSink* sink)
{
    TraceSink* previous = gSink;
    gSink = sink;
    return previous;
}

void trace(const char* format, ...)
{
    if (!gSink || !format)
        return;
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    gSink->traceLine(text);
}
