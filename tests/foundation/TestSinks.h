// Recorders of what the program would show: error boxes and the file viewer.
// Tests install them and read back every text.
#ifndef KYT_TESTS_TESTSINKS_H
#define KYT_TESTS_TESTSINKS_H

#include "ErrorReporter.h"
#include "ShowFile.h"

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

class RecordingErrorSink : public ErrorSink {
public:
    void beep() override { ++beeps; }
    void showBox(const char* text, const char* title) override
    {
        boxes.push_back(text);
        titles.push_back(title);
    }
    [[noreturn]] void endProcess(int exitCode) override { _exit(exitCode); }

    int beeps = 0;
    std::vector<std::string> boxes;
    std::vector<std::string> titles;
};

struct ViewerCall {
    std::string message;
    std::string path;
    int line;
};

class RecordingViewer : public FileViewer {
public:
    void showFile(const char* message, const char* path, int line) override
    {
        calls.push_back({message, path, line});
    }
    std::vector<ViewerCall> calls;
};

// Installs the box recorder for the lifetime of the object, with the error
// log off so that no ERROR.LOG appears in the test's directory.
class ErrorBoxScope {
public:
    ErrorBoxScope()
    {
        setErrorSink(&sink);
        disableErrorLog();
    }
    ~ErrorBoxScope()
    {
        setErrorSink(nullptr);
        enableErrorLog();
    }
    RecordingErrorSink sink;
};

// Both recorders, the same way.
class RecordingScope : public ErrorBoxScope {
public:
    RecordingScope() { setFileViewer(&viewer); }
    ~RecordingScope() { setFileViewer(nullptr); }
    RecordingViewer viewer;
};

#endif
