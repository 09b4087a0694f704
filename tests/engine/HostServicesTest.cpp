#include "TestSinks.h"

#include "CompilerOptions.h"
#include "HostServices.h"
#include "RunState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Queued {
    int level;
    std::string text;
};

std::vector<Queued> queued;
std::vector<std::string> programStrings;
std::string localDirectory;
std::string circuitFile;

void queueMessage(int level, const char* text) { queued.push_back({level, text}); }
int stringCount() { return static_cast<int>(programStrings.size()); }
const char* stringText(int i) { return programStrings[static_cast<size_t>(i)].c_str(); }
const char* localDir() { return localDirectory.c_str(); }
const char* circuitName() { return circuitFile.c_str(); }

class HostServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        queued.clear();
        programStrings = {"a.dat", "b.dat", "c.dat"};
        localDirectory.clear();
        circuitFile.clear();
        HostSeams seams = {queueMessage, stringCount, stringText, localDir, circuitName};
        setHostSeams(&seams);
        runState.errorFlag = 0;
        clearOptions();
    }
    void TearDown() override
    {
        setHostSeams(nullptr);
        clearOptions();
        runState.errorFlag = 0;
    }
    RecordingScope scope;
};

TEST_F(HostServicesTest, TableHoldsTheEightServicesInOrder)
{
    HostServices s;
    fillHostServices(&s);
    EXPECT_EQ(isCompiling, s.isCompiling);
    EXPECT_EQ(alwaysFalse, s.alwaysFalse);
    EXPECT_EQ(requestErrorStop, s.requestErrorStop);
    EXPECT_EQ(moduleMessage, s.moduleMessage);
    EXPECT_EQ(stringConstant, s.stringConstant);
    EXPECT_EQ(localLibraryDirectory, s.localLibraryDirectory);
    EXPECT_EQ(currentTime, s.currentTime);
    EXPECT_EQ(circuitDirectory, s.circuitDirectory);
}

TEST_F(HostServicesTest, CompilePhaseDecidesWhatTheServicesDo)
{
    setOption(OPTION_COMPILE_PHASE);
    EXPECT_NE(0, isCompiling("FZ_HANDLE"));
    EXPECT_EQ(0, alwaysFalse("FZ_HANDLE"));
    EXPECT_NE(0, requestErrorStop(0));
    EXPECT_EQ(0, runState.errorFlag);
    moduleMessage(1, "%s : %s", "FZSTEP", "Handle ungültig");
    moduleMessage(3, "fatal but compiling");
    EXPECT_TRUE(queued.empty());
    EXPECT_TRUE(scope.sink.boxes.empty());

    clearOption(OPTION_COMPILE_PHASE);
    EXPECT_EQ(0, isCompiling(nullptr));
    EXPECT_EQ(0, alwaysFalse(nullptr));
    EXPECT_EQ(0, requestErrorStop(0));
    EXPECT_EQ(kRunErrorStop, runState.errorFlag);
}

TEST_F(HostServicesTest, MessagesAreQueuedForTheMainWindow)
{
    moduleMessage(1, "%s : %s", "FZSTEP", "Handle ungültig");
    moduleMessage(2, "Hinweis %d", 7);
    ASSERT_EQ(2u, queued.size());
    EXPECT_EQ(2, queued[0].level);   // shown as an error
    EXPECT_EQ("FZSTEP : Handle ungültig", queued[0].text);
    EXPECT_EQ(0, queued[1].level);   // shown as a plain message
    EXPECT_EQ("Hinweis 7", queued[1].text);
    EXPECT_TRUE(scope.sink.boxes.empty());

    const std::string longText(3000, 'x');
    moduleMessage(1, "%s", longText.c_str());
    EXPECT_EQ(static_cast<size_t>(kMaxModuleMessage), queued.back().text.size());
}

TEST_F(HostServicesTest, WithoutAQueueMessagesAreShownAtOnce)
{
    setHostSeams(nullptr);
    moduleMessage(1, "kaputt");
    ASSERT_EQ(1u, scope.sink.boxes.size());
    EXPECT_EQ("Fehler: kaputt", scope.sink.boxes[0]);
}

TEST_F(HostServicesTest, OtherLevelsAreFatal)
{
    EXPECT_EXIT(moduleMessage(3, "Ende"), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(moduleMessage(0, "Ende"), ::testing::ExitedWithCode(1), "");
}

TEST_F(HostServicesTest, StringConstantsOfTheLoadedProgram)
{
    EXPECT_STREQ("b.dat", stringConstant(1));
    EXPECT_EQ(0, runState.errorFlag);
    for (int index : {5, 3, -1}) {
        scope.sink.boxes.clear();
        runState.errorFlag = 0;
        EXPECT_EQ(nullptr, stringConstant(index)) << index;
        EXPECT_EQ(kRunErrorStop, runState.errorFlag);
        ASSERT_EQ(1u, scope.sink.boxes.size());
        EXPECT_EQ("Fehler: String Index " + std::to_string(index) + " ist außerhalb des zulässigen Bereichs!",
                  scope.sink.boxes[0]);
    }
    setHostSeams(nullptr);
    EXPECT_EQ(nullptr, stringConstant(0));
}

TEST_F(HostServicesTest, LocalLibraryDirectory)
{
    localDirectory = std::string("C:\\KYT\\") + std::string(400, 'l');
    EXPECT_EQ(localDirectory, localLibraryDirectory());
    EXPECT_TRUE(scope.sink.boxes.empty());

    localDirectory.clear();
    EXPECT_STREQ("", localLibraryDirectory());
    ASSERT_EQ(1u, scope.sink.boxes.size());
    EXPECT_EQ("Fehler: Da kein Verzeichnis für die Blockbibliothek Local installiert wurde, kann ein lokaler "
              "Block nicht geladen werden!",
              scope.sink.boxes[0]);
}

TEST_F(HostServicesTest, CircuitDirectoryIsTheDirectoryOfTheCircuitFile)
{
    const struct {
        std::string file;
        const char* directory;
    } cases[] = {
        {"C:\\Schaltungen\\regelkreis.kyt", "C:\\Schaltungen"},
        {"/home/kyt/schaltungen/regelkreis.kyt", "/home/kyt/schaltungen"},
        {"regelkreis.kyt", ""},
        {"", ""},
        {"/" + std::string(600, 'd') + "/x.kyt", nullptr},
    };
    for (const auto& c : cases) {
        circuitFile = c.file;
        std::string expected = c.directory ? c.directory : "/" + std::string(600, 'd');
        EXPECT_EQ(expected, circuitDirectory()) << c.file;
    }
}

TEST_F(HostServicesTest, CurrentTimeOfTheRunningCode)
{
    runState.currentTime = 2.5;
    EXPECT_EQ(2.5, currentTime());
}

} // namespace
