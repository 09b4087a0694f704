// The framework's trace output: diagnostic lines that no user sees. Silent
// unless a sink is installed (tests record it, a developer may print it).
#ifndef KYT_FRAMEWORK_TRACESINK_H
#define KYT_FRAMEWORK_TRACESINK_H

#include <string>
#include <vector>

class TraceSink {
public:
    virtual ~TraceSink() {}
    virtual void traceLine(const char* text) = 0;
};

// Installs the sink (null: silent again); returns the previous one.
TraceSink* setTraceSink(TraceSink* sink);
// One line, formatted as by printf; nothing without a sink.
void trace(const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A sink that keeps every line, for tests.
class RecordingTraceSink : public TraceSink {
public:
    void traceLine(const char* text) override { lines.push_back(text ? text : ""); }
    bool holds(const std::string& text) const
    {
        for (const std::string& line : lines)
            if (line == text)
                return true;
        return false;
    }
    std::vector<std::string> lines;
};

#endif
