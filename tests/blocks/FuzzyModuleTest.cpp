// The FUZZY run-time library behind the registry, with the engine's host
// services on recording seams: the wizard-block fixture pd9 in a "Local"
// directory, handles, the errors that stop a run, and the hooks.
#include "FuzzyTestSupport.h"

#include "FuzzyModule.h"

#include "HostServices.h"
#include "ModuleRegistry.h"
#include "ResString.h"
#include "RunState.h"
#include "SmallStack.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace fuzzytest;

namespace {

// What the host shows and the string constants of the "loaded program".
struct FakeHost {
    std::vector<std::string> messages;
    std::vector<std::string> constants;
    std::string localDir;
};
FakeHost* fake = nullptr;

void queueMessage(int, const char* text)
{
    fake->messages.push_back(text);
}
int stringCount()
{
    return static_cast<int>(fake->constants.size());
}
const char* stringText(int i)
{
    return fake->constants[static_cast<size_t>(i)].c_str();
}
const char* localDir()
{
    return fake->localDir.c_str();
}

const ModuleRegisterFunction kFuzzyOnly[] = {FuzzyModuleRegister, nullptr};

class FuzzyModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake = &host;
        host.localDir = fixturePath("Local");
        HostSeams seams = {};
        seams.queueDeferredMessage = queueMessage;
        seams.stringCount = stringCount;
        seams.stringText = stringText;
        seams.localLibraryDirectory = localDir;
        setHostSeams(&seams);
        setModuleLibraryList(kFuzzyOnly);
        ASSERT_EQ(0, ModuleRegistryLoad());
        ASSERT_EQ(0, runLoadHooks());
        runState.errorFlag = 0;
    }
    void TearDown() override
    {
        runUnloadHooks();
        EXPECT_EQ(0, fuzzyBlockTable().usedCount());
        ModuleRegistryFree();
        setModuleLibraryList(nullptr);
        setHostSeams(nullptr);
        fake = nullptr;
    }

    // FZINIT of a name, through its string constant as the interpreter passes it.
    double init(const std::string& name)
    {
        host.constants.push_back(name);
        return FZINIT(static_cast<double>(host.constants.size() - 1));
    }
    bool stopped()
    {
        bool s = runState.errorFlag == kRunErrorStop;
        runState.errorFlag = 0;
        return s;
    }
    std::string lastMessage() const { return host.messages.empty() ? "" : host.messages.back(); }

    FakeHost host;
    ErrorBoxScope boxes;
};

typedef double (*Function1)(double);
typedef double (*Function2)(double, double);
typedef void (*Procedure1)(double);
typedef void (*Procedure3)(double, double, double);

TEST_F(FuzzyModuleTest, RowsAsTheRegistryFilesThem)
{
    struct {
        const char* name;
        int kind;
        const char* signature;
    } rows[] = {
        {"FZEXIT", MODULE_PROCEDURE_ROW, "d"},    {"FZGETOUTPUT", MODULE_FUNCTION_ROW, "ddd"},
        {"FZINIT", MODULE_FUNCTION_ROW, "ds"},    {"FZREINIT", MODULE_PROCEDURE_ROW, "d"},
        {"FZSETINPUT", MODULE_PROCEDURE_ROW, "ddd"}, {"FZSIMULATE", MODULE_PROCEDURE_ROW, "d"},
    };
    ASSERT_EQ(6, moduleListLength(MODULE_LIST_FUNCTIONS));
    for (int i = 0; i < 6; ++i) {
        const ModuleEntry* e = moduleListEntry(MODULE_LIST_FUNCTIONS, i);
        EXPECT_STREQ(rows[i].name, e->name);
        EXPECT_EQ(rows[i].kind, e->kind);
        EXPECT_STREQ(rows[i].signature, e->signature);
    }
    for (ModuleList l : {MODULE_LIST_LOAD, MODULE_LIST_START, MODULE_LIST_UNLOAD}) {
        ASSERT_EQ(1, moduleListLength(l));
        EXPECT_STREQ("FUZZY", moduleListEntry(l, 0)->name);
        EXPECT_EQ(nullptr, moduleListEntry(l, 0)->signature);
    }
    EXPECT_EQ(0, moduleListLength(MODULE_LIST_FOURTH));
    EXPECT_STREQ("FZ_HANDLE", FuzzyModuleRegister(nullptr)->errorKey);
}

// The outputs of pd9 (T, max_min, centroid) by hand; the block driven as
// its wizard block does it, through the rows the loader binds.
TEST_F(FuzzyModuleTest, Pd9ThroughTheLibraryRows)
{
    host.constants.push_back("pd9");
    Function1 fzInit = reinterpret_cast<Function1>(ModuleRegistryLookup("FZINIT")->function);
    Procedure3 fzSetInput = reinterpret_cast<Procedure3>(ModuleRegistryLookup("FZSETINPUT")->function);
    Procedure1 fzSimulate = reinterpret_cast<Procedure1>(ModuleRegistryLookup("FZSIMULATE")->function);
    Function2 fzGetOutput = reinterpret_cast<Function2>(ModuleRegistryLookup("FZGETOUTPUT")->function);
    Procedure1 fzExit = reinterpret_cast<Procedure1>(ModuleRegistryLookup("FZEXIT")->function);

    double h = fzInit(0);
    ASSERT_EQ(0.0, h) << lastMessage();
    EXPECT_FALSE(stopped());
    const struct {
        double e, de, u;
    } cases[] = {
        {0, 0, 0},
        {0.5, -0.25, 703.0 / 7498},
        {-0.7, 0.3, -250.0 / 1887},
        {0.25, 0.75, 1503.0 / 4025},
        {1, 1, 0.84},
        {2, -3, 0},
    };
    for (const auto& c : cases) {
        fzSetInput(h, 0, c.e);
        fzSetInput(h, 1, c.de);
        fzSimulate(h);
        EXPECT_NEAR(c.u, fzGetOutput(h, 0), 1e-9) << c.e << ", " << c.de;
    }
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(stopped());
    fzExit(h);
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());
    EXPECT_EQ(nullptr, fuzzyBlockTable().current());
}

// A rule of 25,000 ORs (a text of 200 KB): FZINIT reads, checks and binds
// it and a step evaluates it on the programs' 1 MiB stack, as the same
// rule with one OR.
TEST_F(FuzzyModuleTest, RuleOfManyOrsOnTheProgramsStack)
{
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    const std::string firstRule = "IF ((e==N) AND (de==N)) THEN u=NB;";
    std::string premise = "e==N";
    for (int i = 0; i < 25000; ++i)
        premise += i % 2 ? " OR e==N" : " OR de==N";
    ScratchDir local;
    local.write("many", replaceAll(pd9, firstRule, "IF " + premise + " THEN u=NB;"));
    local.write("one", replaceAll(pd9, firstRule, "IF e==N OR de==N THEN u=NB;"));
    host.localDir = local.path;
    Procedure3 fzSetInput = reinterpret_cast<Procedure3>(ModuleRegistryLookup("FZSETINPUT")->function);
    Procedure1 fzSimulate = reinterpret_cast<Procedure1>(ModuleRegistryLookup("FZSIMULATE")->function);
    Function2 fzGetOutput = reinterpret_cast<Function2>(ModuleRegistryLookup("FZGETOUTPUT")->function);
    Procedure1 fzExit = reinterpret_cast<Procedure1>(ModuleRegistryLookup("FZEXIT")->function);

    const double inputs[][2] = {{0.5, -0.25}, {-0.7, 0.3}, {0.25, 0.75}};
    std::vector<double> outputs[2];
    ASSERT_TRUE(runOnSmallStack([&] {
        double handles[2] = {init("many"), init("one")};
        for (int b = 0; b < 2; ++b) {
            if (stopped())
                return;
            for (const auto& in : inputs) {
                fzSetInput(handles[b], 0, in[0]);
                fzSetInput(handles[b], 1, in[1]);
                fzSimulate(handles[b]);
                outputs[b].push_back(fzGetOutput(handles[b], 0));
            }
            fzExit(handles[b]);
        }
    }));
    EXPECT_TRUE(host.messages.empty()) << lastMessage();
    ASSERT_EQ(3u, outputs[0].size());
    EXPECT_EQ(outputs[1], outputs[0]);
    EXPECT_NE(outputs[1][0], outputs[1][1]);
}

TEST_F(FuzzyModuleTest, HandlesAreCutTowardZero)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(i, init("pd9"));
    ASSERT_EQ(4, init("pd9s"));
    // 3.9 addresses slot 3 and -0.5 slot 0; both pd9 T.
    FZSETINPUT(3.9, 0, 0.5);
    FZSETINPUT(3.9, 1, -0.25);
    FZSIMULATE(3.9);
    EXPECT_NEAR(703.0 / 7498, FZGETOUTPUT(3, 0), 1e-9);
    EXPECT_EQ(fuzzyBlockTable().kernelAt(3), fuzzyBlockTable().current());
    FZSETINPUT(-0.5, 0, 0.5);
    FZSETINPUT(-0.5, 1, -0.25);
    FZSIMULATE(-0.5);
    EXPECT_NEAR(703.0 / 7498, FZGETOUTPUT(0.2, 0.9), 1e-9);
    // Slot 4 holds pd9s (S, max_prod, centroid).
    FZSETINPUT(4, 0, 0.5);
    FZSETINPUT(4, 1, -0.25);
    FZSIMULATE(4);
    EXPECT_NEAR(0.1, FZGETOUTPUT(4, 0), 1e-9);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(stopped());
    // An unknown output index gives 0.0 and does not stop; NaN is unknown too.
    EXPECT_EQ(0.0, FZGETOUTPUT(0, 1));
    EXPECT_EQ(0.0, FZGETOUTPUT(0, std::nan("")));
    EXPECT_EQ(0.0, FZGETOUTPUT(0, 1e300));
    FZSETINPUT(0, std::nan(""), 1.0);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(stopped());
}

TEST_F(FuzzyModuleTest, BadHandlesStopTheRun)
{
    ASSERT_EQ(0, init("pd9"));
    const double bad[] = {100, -1, 99, 1, std::nan(""), 1e300, -1e300,
                          std::numeric_limits<double>::infinity()};
    for (double h : bad) {
        SCOPED_TRACE(h);
        for (int call = 0; call < 4; ++call) {
            host.messages.clear();
            switch (call) {
            case 0: FZSETINPUT(h, 0, 0.5); break;
            case 1: FZSIMULATE(h); break;
            case 2: EXPECT_EQ(0.0, FZGETOUTPUT(h, 0)); break;
            case 3: FZEXIT(h); break;
            }
            ASSERT_EQ(1u, host.messages.size());
            EXPECT_EQ("Unacceptable handle for fuzzy-block !", host.messages[0]);
            EXPECT_TRUE(stopped());
        }
    }
    EXPECT_EQ(1, fuzzyBlockTable().usedCount());
    FZEXIT(0);
    EXPECT_FALSE(stopped());
    FZSIMULATE(0);  // freed: refused now
    EXPECT_TRUE(stopped());
    FZREINIT(0);    // does nothing, also for a free slot
    EXPECT_FALSE(stopped());
}

TEST_F(FuzzyModuleTest, TheHundredAndFirstBlockIsRefused)
{
    for (int i = 0; i < FuzzyBlockTable::kSlots; ++i)
        ASSERT_EQ(i, init("pd9"));
    EXPECT_FALSE(stopped());
    EXPECT_EQ(0.0, init("pd9"));
    EXPECT_EQ("More than 100 Fuzzy-Blocks are in use !", lastMessage());
    EXPECT_TRUE(stopped());
    EXPECT_EQ(100, fuzzyBlockTable().usedCount());
    FZEXIT(42);
    EXPECT_EQ(42, init("pd9"));
}

struct InitErrorCase {
    const char* what;
    std::string fileName;
    std::string fileText;     // stored in Local under fileName; empty: no file
    std::string messageStart;
    std::vector<std::string> contains;
};

TEST_F(FuzzyModuleTest, ErrorsOfFzinit)
{
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    const std::string longName(600, 'v');
    const std::string dupInputs = replaceAll(pd9, "INPUTVAR de;", "INPUTVAR e;");
    const std::string unknownSet = replaceAll(pd9, "(de==Z)) THEN u=NS;", "(de==Q)) THEN u=NS;");
    const std::string longNames = replaceAll(replaceAll(pd9, "INPUTVAR de;", "INPUTVAR " + longName + ";"),
                                             "INPUTVAR e;", "INPUTVAR " + longName + ";");
    const InitErrorCase cases[] = {
        {"a missing file", "nofile", "", "Unable to open \"nofile\" !", {}},
        {"a syntax error", "broken", wizardBlock(replaceAll(pd9, "XMAX 1;", "XMAX;")),
         "Fuzzy-Grammar: In oder vor Zeile 15:\n", {"\" Number \""}},
        {"repeated input names", "dup", wizardBlock(dupInputs),
         "Fuzzy-Compiler: File dup was ambiguous !\nUse Fuzzy-Editor for elimination of ambiguity!",
         {std::string("e") + getResString(21102) + "Input1 !\n"}},
        {"a rule naming an unknown set", "damaged", wizardBlock(unknownSet),
         "Fuzzy-Compiler: File damaged is damaged !\nUse Fuzzy-Editor to eliminate errors.",
         {std::string(getResString(21107)) + "Q" + getResString(21110) + "de\" !"}},
        {"600-character names", "long", wizardBlock(longNames), "Fuzzy-Compiler: File long was ambiguous !",
         {std::string(getResString(21106))}},
        {"a file name of 600 characters", longName, "", "Unable to open \"" + std::string(255, 'v') + "\" !", {}},
    };
    ScratchDir local;
    host.localDir = local.path;
    for (const InitErrorCase& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.fileText.empty())
            local.write(c.fileName, c.fileText);
        host.messages.clear();
        EXPECT_EQ(0.0, init(c.fileName));
        EXPECT_TRUE(stopped());
        ASSERT_EQ(1u, host.messages.size());
        const std::string& m = host.messages[0];
        EXPECT_EQ(0u, m.find(c.messageStart)) << m;
        for (const std::string& part : c.contains)
            EXPECT_NE(std::string::npos, m.find(part)) << m;
        EXPECT_LE(m.size(), 1024u);
        EXPECT_EQ(0, fuzzyBlockTable().usedCount());
    }
}

TEST_F(FuzzyModuleTest, HostRefusalsEndFzinitQuietly)
{
    // A string index the program does not have: the host reports it.
    EXPECT_EQ(0.0, FZINIT(7));
    EXPECT_EQ(0.0, FZINIT(std::nan("")));
    EXPECT_TRUE(stopped());
    EXPECT_TRUE(host.messages.empty());
    // No "Local" library: the host has said so; FZINIT adds nothing.
    host.localDir = "";
    boxes.sink.boxes.clear();
    EXPECT_EQ(0.0, init("pd9"));
    EXPECT_TRUE(stopped());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(1u, boxes.sink.boxes.size());
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());
}

TEST_F(FuzzyModuleTest, HooksFreeEverySlot)
{
    ASSERT_EQ(0, init("pd9"));
    ASSERT_EQ(1, init("pd9s"));
    FZSIMULATE(1);
    EXPECT_NE(nullptr, fuzzyBlockTable().current());
    EXPECT_STREQ("pd9s", fuzzyBlockTable().fileNameAt(1));
    runUnloadHooks();
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());
    EXPECT_EQ(nullptr, fuzzyBlockTable().current());

    ASSERT_EQ(0, init("pd9"));
    runStartHooks();
    EXPECT_EQ(1, fuzzyBlockTable().usedCount());
    // A new program is loaded: what the old one left is freed.
    EXPECT_EQ(0, runLoadHooks());
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());
    EXPECT_EQ(nullptr, fuzzyBlockTable().current());
    EXPECT_FALSE(stopped());
}

} // namespace
