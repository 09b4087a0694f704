// The main routine of kyt: the floating-point set-up, where kyt.ini lies,
// the DDE server, the workspace, the command line, the main frame, then the
// lock, the start circuit, the message loop and the shutdown (StartSteps,
// whose order is the portable core's), and the exit code.
#ifndef KYT_APP_KYTPROGRAM_H
#define KYT_APP_KYTPROGRAM_H

#include "IniDirectory.h"
#include "LocalLibrary.h"
#include "StartSequence.h"

#include <string>

class Application;
class MainFrame;
class Workspace;

// The directory of kyt.ini while kyt runs ("" before and after); the wizard
// worker changes into it before it starts a companion program.
const char* kytIniDirectory();

// The x87 control word of old (64-bit mantissa, projective infinity).
void setFloatControl();

class KytProgram : public StartSteps {
public:
    // commandLine: the text after the program's name.
    KytProgram(Application* application, const char* commandLine);
    ~KytProgram() override;

    // The whole of the program; its exit code.
    int run();

    MainFrame* frame() const { return mainFrame; }
    Workspace* workspace() const { return work; }

protected:
    int acquireLock() override;
    void resetLocalLibrary() override;
    void showFrame() override;
    int loadCircuit(const std::string& name) override;
    void runCircuit(int startAtOnce) override;
    void printCircuit() override;
    int messageLoop() override;
    void closeIdentification() override;
    void deleteLastRun() override;
    void deleteFrame() override;
    void writeSettings() override;
    void closeLock() override;

    Application* app;

private:
    void installSeams();
    void removeSeams();

    std::string commandLine;
    Workspace* work;
    MainFrame* mainFrame;
    LocalBlockLibrary lock;
};

#endif
