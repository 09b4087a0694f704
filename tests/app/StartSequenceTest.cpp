#include "StartSequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every step in order; the lock and the load answer as told.
class RecordingSteps : public StartSteps {
public:
    int acquireLock() override { return note("lock"), lockTaken; }
    void resetLocalLibrary() override { note("reset Local"); }
    void showFrame() override { note("show"); }
    int loadCircuit(const std::string& name) override { return note("load " + name), loads; }
    void runCircuit(int startAtOnce) override { note("run " + std::to_string(startAtOnce)); }
    void printCircuit() override { note("print"); }
    int messageLoop() override { return note("loop"), loopResult; }
    void closeIdentification() override { note("ident"); }
    void deleteLastRun() override { note("delete run"); }
    void deleteFrame() override { note("delete frame"); }
    void writeSettings() override { note("write kyt.set"); }
    void closeLock() override { note("close lock"); }

    void note(const std::string& step) { steps.push_back(step); }
    bool has(const std::string& step) const
    {
        for (const std::string& s : steps)
            if (s == step)
                return true;
        return false;
    }

    int lockTaken = 1;
    int loads = 1;
    int loopResult = 0;
    std::vector<std::string> steps;
};

const std::vector<std::string> kShutdown = {"loop", "ident", "delete run", "delete frame", "write kyt.set",
                                            "close lock"};

std::vector<std::string> withShutdown(std::vector<std::string> start)
{
    start.insert(start.end(), kShutdown.begin(), kShutdown.end());
    return start;
}

struct Case {
    const char* what;
    StartRequest request;
    int loads;
    std::vector<std::string> steps;
};

TEST(StartSequence, LoadRunAndPrintOptions)
{
    const Case cases[] = {
        {"no file", {"", 1, 1}, 1, withShutdown({"lock", "reset Local", "show"})},
        {"-r -p with a loadable file runs once, at once, and does not print", {"f.kyt", 1, 1}, 1,
         withShutdown({"lock", "reset Local", "show", "load f.kyt", "run 1"})},
        {"-p prints", {"f.kyt", 0, 1}, 1, withShutdown({"lock", "reset Local", "show", "load f.kyt", "print"})},
        {"a file alone is loaded", {"f.kyt", 0, 0}, 1, withShutdown({"lock", "reset Local", "show", "load f.kyt"})},
        {"a file that does not open is neither run nor printed", {"nix.kyt", 1, 1}, 0,
         withShutdown({"lock", "reset Local", "show", "load nix.kyt"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSteps steps;
        steps.loads = c.loads;
        StartRequest request = c.request;
        EXPECT_EQ(runStartSequence(steps, request), kExitNormal);
        EXPECT_EQ(steps.steps, c.steps);
        if (c.loads && c.request.runAfterLoad && !c.request.circuitFile.empty()) {
            EXPECT_EQ(request.runAfterLoad, 0) << "the run option is used up";
        }
    }
}

TEST(StartSequence, FailedLockShowsNothingAndEndsWithOne)
{
    RecordingSteps steps;
    steps.lockTaken = 0;
    StartRequest request{"f.kyt", 1, 1};
    EXPECT_EQ(runStartSequence(steps, request), kExitFailed);
    EXPECT_FALSE(steps.has("show"));
    EXPECT_FALSE(steps.has("load f.kyt"));
    EXPECT_FALSE(steps.has("loop"));
    EXPECT_FALSE(steps.has("write kyt.set"));
    EXPECT_FALSE(steps.has("reset Local"));
}

TEST(StartSequence, FailedMessageLoopEndsWithOne)
{
    RecordingSteps steps;
    steps.loopResult = -1;
    StartRequest request;
    EXPECT_EQ(runStartSequence(steps, request), kExitFailed);
    EXPECT_TRUE(steps.has("write kyt.set"));
}

} // namespace
