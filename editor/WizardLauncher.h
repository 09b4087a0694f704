// The companion programs kytfuzzy and kytident, run on a worker thread that
// waits for them while the editor stays responsive. A Winelib program is
// started from its .so file: the shell wrapper beside it loses the exit
// code.
#ifndef KYT_EDITOR_WIZARDLAUNCHER_H
#define KYT_EDITOR_WIZARDLAUNCHER_H

#include "PaneCommands.h"
#include "String.h"

#include <atomic>
#include <string>
#include <vector>

// Runs program (program + ".so" when that file exists) with the words
// (quoted as CommandLine.h says) in workDir and waits for it; its exit code
// read as a signed int, -1 when no process could be made. The process's
// current directory stays as it is.
int launchCompanion(const char* program, const std::vector<std::string>& words, const char* workDir);

// The one job of the worker thread.
struct WizardThreadJob {
    std::string program;
    std::vector<std::string> words;
    std::string workDir;
    int exitCode = 0;
    // Stored with release after exitCode, read with acquire.
    std::atomic<int> done{0};
};

#include <windows.h>
DWORD WINAPI wizardThreadProc(LPVOID job);

// Starts the worker thread and polls it from an idle task; the exit code
// goes to the pane's commands.
class CompanionThreadStarter : public CompanionStarter {
public:
    explicit CompanionThreadStarter(PaneCommands* commands) : commands(commands) {}
    ~CompanionThreadStarter() override;
    void setCommands(PaneCommands* c) { commands = c; }
    void start(const String& program, const std::vector<String>& words, const String& workDir) override;
    // The idle task: 1 (removed) once the job is done.
    int onWizardProcessDone();

private:
    PaneCommands* commands;
    WizardThreadJob job;
    bool polling = false;
    // Kept so that the job outlives its thread.
    HANDLE worker = nullptr;
};

#endif
