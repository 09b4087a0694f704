#include "StartSequence.h"

int runStartSequence(StartSteps& steps, StartRequest& request)
{
    if (!steps.acquireLock()) {
        // Nothing was shown or loaded; what kyt.set holds belongs to the
        // instance that has the lock.
        steps.deleteFrame();
        return kExitFailed;
    }
    steps.resetLocalLibrary();
    steps.showFrame();
    if (!request.circuitFile.empty()) {
        const std::string name = request.circuitFile;
        if (steps.loadCircuit(name) == 1) {
            if (request.runAfterLoad) {
                request.runAfterLoad = 0;
                steps.runCircuit(1);
            } else if (request.printAfterLoad) {
                steps.printCircuit();
            }
        }
    }
    const int loop = steps.messageLoop();
    steps.closeIdentification();
    steps.deleteLastRun();
    steps.deleteFrame();
    steps.writeSettings();
    steps.closeLock();
    return loop == 0 ? kExitNormal : kExitFailed;
}
