#include "WizardLauncher.h"

#include "Application.h"
#include "CommandLine.h"

#include <windows.h>

int launchCompanion(const char* program, const std::vector<std::string>& words, const char* workDir)
{
    std::string file = std::string(program ? program : "") + ".so";
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        file = program ? program : "";
    // The command line starts with the program path, as a spawned program's
    // does; the companion splits the rest with the same rules.
    std::vector<std::string> all(1, program ? program : "");
    all.insert(all.end(), words.begin(), words.end());
    const std::string line = joinCommandLine(all);
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(file.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir && *workDir ? workDir : nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = static_cast<DWORD>(-1);
    if (!GetExitCodeProcess(process.hProcess, &code))
        code = static_cast<DWORD>(-1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

DWORD WINAPI wizardThreadProc(LPVOID parameter)
{
    WizardThreadJob* job = static_cast<WizardThreadJob*>(parameter);
    job->exitCode = launchCompanion(job->program.c_str(), job->words, job->workDir.c_str());
    job->done.store(1, std::memory_order_release);
    return 0;
}

CompanionThreadStarter::~CompanionThreadStarter()
{
    if (polling && theApplication)
        theApplication->removeIdleTask(this, &CompanionThreadStarter::onWizardProcessDone);
    // The thread writes into the job until the companion has ended.
    if (worker) {
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
    }
}

void CompanionThreadStarter::start(const String& program, const std::vector<String>& words, const String& workDir)
{
    // The previous run's thread has ended once its end was seen.
    if (worker) {
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
        worker = nullptr;
    }
    job.program = program.text();
    job.words.clear();
    for (const String& w : words)
        job.words.push_back(w.text());
    job.workDir = workDir.text();
    job.exitCode = 0;
    job.done.store(0, std::memory_order_relaxed);
    worker = CreateThread(nullptr, 0, wizardThreadProc, &job, 0, nullptr);
    if (!worker) {
        // A thread that cannot start is a companion that cannot start: the
        // editor must not wait for it.
        job.exitCode = -1;
        job.done.store(1, std::memory_order_release);
    }
    if (theApplication && !polling) {
        polling = true;
        theApplication->addIdleTask(this, &CompanionThreadStarter::onWizardProcessDone);
    }
}

int CompanionThreadStarter::onWizardProcessDone()
{
    if (!job.done.load(std::memory_order_acquire))
        return 0;
    polling = false;
    if (commands)
        commands->onWizardProcessDone(job.exitCode);
    return 1;
}
