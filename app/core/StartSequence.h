// The middle of kyt's start and its shutdown, once the main frame stands:
// the instance lock, library "Local" emptied, the frame shown, the circuit
// of the command line loaded and run or printed, the message loop, and the
// shutdown in its fixed order. The steps are a small interface that the
// program implements with its windows and the tests record.
#ifndef KYT_APP_CORE_STARTSEQUENCE_H
#define KYT_APP_CORE_STARTSEQUENCE_H

#include <string>

class StartSteps {
public:
    virtual ~StartSteps() {}
    // 1 when kyt.lock was taken (the failure is shown by the lock itself).
    virtual int acquireLock() = 0;
    virtual void resetLocalLibrary() = 0;
    virtual void showFrame() = 0;
    // MainFrame::loadCircuit: 1 when the file was opened and read.
    virtual int loadCircuit(const std::string& name) = 0;
    virtual void runCircuit(int startAtOnce) = 0;
    virtual void printCircuit() = 0;
    // Until WM_QUIT; its result is the loop's exit value (0 normally).
    virtual int messageLoop() = 0;
    // Identification objects, windows and the DDE client.
    virtual void closeIdentification() = 0;
    virtual void deleteLastRun() = 0;
    virtual void deleteFrame() = 0;
    // kyt.set in TEMPDIR.
    virtual void writeSettings() = 0;
    // The lock file's handle; kyt.lock itself stays.
    virtual void closeLock() = 0;
};

// What the command line asked for.
struct StartRequest {
    std::string circuitFile;
    int runAfterLoad = 0;
    int printAfterLoad = 0;
};

const int kExitNormal = 0;
const int kExitFailed = 1;

// From the lock to the end of the shutdown before the workspace goes; the
// exit code. A lock that is not taken shows no frame, loads nothing, leaves
// kyt.set alone and ends with kExitFailed (the frame is still deleted). A
// circuit that loads is run at once when asked (the run option wins and is
// cleared in request), else printed when asked.
int runStartSequence(StartSteps& steps, StartRequest& request);

#endif
