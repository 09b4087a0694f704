// The error reporter's sink of the wine tests that run program code in their
// own process: every box is recorded instead of shown, and a fatal report
// ends the process as the program's sink would.
#ifndef KYT_TESTS_WINERECORDINGSINK_H
#define KYT_TESTS_WINERECORDINGSINK_H

#include "ErrorReporter.h"

#include <windows.h>

#include <string>
#include <vector>

namespace winecheck {

class RecordingSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text ? text : ""); }
    [[noreturn]] void endProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
    std::vector<std::string> boxes;
};

} // namespace winecheck

#endif
