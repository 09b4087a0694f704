#include "TestSinks.h"

#include "CompilerOptions.h"
#include "ModuleRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

double dummy()
{
    return 0;
}

std::vector<std::string> calls;
int failingHook = -1;

int loadHook1() { calls.push_back("load1"); return failingHook == 1; }
int loadHook2() { calls.push_back("load2"); return failingHook == 2; }
int loadHook3() { calls.push_back("load3"); return 0; }
void startHook1() { calls.push_back("start1"); }
void startHook2() { calls.push_back("start2"); }
void unloadHook1() { calls.push_back("unload1"); }

ModuleEntry firstRows[] = {
    {"EINS", MODULE_FUNCTION(loadHook1), MODULE_LOAD_HOOK, nullptr},
    {"EINS", MODULE_FUNCTION(startHook1), MODULE_START_HOOK, nullptr},
    {"EINS", MODULE_FUNCTION(unloadHook1), MODULE_UNLOAD_HOOK, nullptr},
    {"EINS", MODULE_FUNCTION(dummy), MODULE_FOURTH_HOOK, nullptr},
    {"COS", MODULE_FUNCTION(dummy), 0x301, "dd"},
    {"ACOS", MODULE_FUNCTION(dummy), 0x301, "dd"},
    {"WRITE", MODULE_FUNCTION(dummy), MODULE_PROCEDURE_ROW, "sd"},
    {nullptr, nullptr, 0, nullptr},
};

ModuleEntry secondRows[] = {
    {"ZWEI", MODULE_FUNCTION(loadHook2), MODULE_LOAD_HOOK, nullptr},
    {"ZWEI", MODULE_FUNCTION(startHook2), MODULE_START_HOOK, nullptr},
    {"ABS", MODULE_FUNCTION(dummy), 0x301, "dd"},
    {"B", MODULE_FUNCTION(dummy), MODULE_FUNCTION_ROW, "d"},
    {"Ab", MODULE_FUNCTION(dummy), MODULE_FUNCTION_ROW, "d"},
    {nullptr, nullptr, 0, nullptr},
};

ModuleEntry thirdRows[] = {
    {"DREI", MODULE_FUNCTION(loadHook3), MODULE_LOAD_HOOK, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

ModuleEntry duplicateRows[] = {
    {"VORHER", MODULE_FUNCTION(dummy), MODULE_FUNCTION_ROW, "d"},
    {"COS", MODULE_FUNCTION(dummy), MODULE_PROCEDURE_ROW, "d"},
    {"NACHHER", MODULE_FUNCTION(dummy), MODULE_FUNCTION_ROW, "d"},
    {nullptr, nullptr, 0, nullptr},
};

ModuleDescriptor first = {0, 0, firstRows, "EINS"};
ModuleDescriptor second = {0, 0, secondRows, "ZWEI"};
ModuleDescriptor third = {0, 0, thirdRows, "DREI"};
ModuleDescriptor duplicate = {0, 0, duplicateRows, "DOPPELT"};
ModuleDescriptor empty = {0, 0, nullptr, "LEER"};

HostServices seen[3];

ModuleDescriptor* registerFirst(const HostServices* s) { calls.push_back("first"); seen[0] = *s; return &first; }
ModuleDescriptor* registerSecond(const HostServices*) { calls.push_back("second"); return &second; }
ModuleDescriptor* registerThird(const HostServices*) { calls.push_back("third"); return &third; }
ModuleDescriptor* registerDuplicate(const HostServices*) { calls.push_back("duplicate"); return &duplicate; }
ModuleDescriptor* registerEmpty(const HostServices*) { calls.push_back("empty"); return &empty; }

const ModuleRegisterFunction testList[] = {registerFirst, registerEmpty, registerSecond, registerThird, nullptr};

class ModuleRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        failingHook = -1;
        setModuleLibraryList(testList);
    }
    void TearDown() override
    {
        ModuleRegistryFree();
        setModuleLibraryList(nullptr);
    }

    std::vector<std::string> names(ModuleList list)
    {
        std::vector<std::string> out;
        for (int i = 0; i < moduleListLength(list); ++i)
            out.push_back(moduleListEntry(list, i)->name);
        return out;
    }

    RecordingScope scope;
};

// The engine knows only its own libraries; the programs hand in FUZZY and
// IDENT with them (RunTimeLibrariesTest).
TEST_F(ModuleRegistryTest, BuiltInLibrariesInTheirOrder)
{
    setModuleLibraryList(nullptr);
    const ModuleRegisterFunction* list = moduleLibraryList();
    const ModuleRegisterFunction expected[] = {BaseModuleRegister, FileModuleRegister, TableModuleRegister};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(expected[i], list[i]) << i;
    EXPECT_EQ(nullptr, list[3]);
    EXPECT_EQ(0, ModuleRegistryLoad());
    EXPECT_TRUE(scope.sink.boxes.empty());
}

TEST_F(ModuleRegistryTest, AttachesInListOrderAndSortsFunctionsByName)
{
    ASSERT_EQ(0, ModuleRegistryLoad());
    EXPECT_EQ((std::vector<std::string>{"first", "empty", "second", "third"}), calls);
    // Ascending byte order: upper case before lower case.
    EXPECT_EQ((std::vector<std::string>{"ABS", "ACOS", "Ab", "B", "COS", "WRITE"}), names(MODULE_LIST_FUNCTIONS));
    EXPECT_EQ((std::vector<std::string>{"EINS", "ZWEI", "DREI"}), names(MODULE_LIST_LOAD));
    EXPECT_EQ((std::vector<std::string>{"EINS", "ZWEI"}), names(MODULE_LIST_START));
    EXPECT_EQ((std::vector<std::string>{"EINS"}), names(MODULE_LIST_UNLOAD));
    EXPECT_EQ((std::vector<std::string>{"EINS"}), names(MODULE_LIST_FOURTH));
    // The libraries receive the eight services.
    EXPECT_NE(nullptr, seen[0].isCompiling);
    EXPECT_NE(nullptr, seen[0].circuitDirectory);
}

TEST_F(ModuleRegistryTest, LookupWalksTheSortedList)
{
    ASSERT_EQ(0, ModuleRegistryLoad());
    const ModuleEntry* abs = ModuleRegistryLookup("ABS");
    ASSERT_NE(nullptr, abs);
    EXPECT_EQ(&secondRows[2], abs);
    EXPECT_EQ(0x301, abs->kind);   // filed as a function
    EXPECT_EQ(&firstRows[6], ModuleRegistryLookup("WRITE"));
    EXPECT_EQ(nullptr, ModuleRegistryLookup("AAA"));   // before the first
    EXPECT_EQ(nullptr, ModuleRegistryLookup("BB"));
    EXPECT_EQ(nullptr, ModuleRegistryLookup("ZZZ"));
    EXPECT_EQ(nullptr, ModuleRegistryLookup("EINS"));  // hooks are no functions
    EXPECT_EQ(nullptr, ModuleRegistryLookup("abs"));
}

TEST_F(ModuleRegistryTest, NameFiledTwiceStopsTheAttach)
{
    const ModuleRegisterFunction list[] = {registerFirst, registerDuplicate, registerSecond, nullptr};
    setModuleLibraryList(list);
    EXPECT_EQ(1, ModuleRegistryLoad());
    ASSERT_EQ(1u, scope.sink.boxes.size());
    const std::string box = scope.sink.boxes[0];
    EXPECT_EQ(0u, box.find("Fehler: KYTmdl Übersetzerinitialisierung:\nDoppelt definierte Prozedur/Funktion\n"));
    const std::string end = "\"COS\" verhindert das Laden!";
    EXPECT_EQ(box.size() - end.size(), box.rfind(end));
    EXPECT_EQ(1, scope.sink.beeps);
    // What was filed before the duplicate stays; nothing after it.
    EXPECT_NE(nullptr, ModuleRegistryLookup("VORHER"));
    EXPECT_EQ(nullptr, ModuleRegistryLookup("NACHHER"));
    EXPECT_EQ(nullptr, ModuleRegistryLookup("ABS"));
    EXPECT_EQ((std::vector<std::string>{"first", "duplicate"}), calls);
}

TEST_F(ModuleRegistryTest, AttachingAgainStartsFromEmptyLists)
{
    ASSERT_EQ(0, ModuleRegistryLoad());
    ASSERT_EQ(0, ModuleRegistryLoad());
    EXPECT_TRUE(scope.sink.boxes.empty());
    EXPECT_EQ(6, moduleListLength(MODULE_LIST_FUNCTIONS));
    ModuleRegistryFree();
    EXPECT_EQ(0, moduleListLength(MODULE_LIST_FUNCTIONS));
    EXPECT_EQ(0, moduleListLength(MODULE_LIST_LOAD));
    EXPECT_EQ(nullptr, ModuleRegistryLookup("ABS"));
}

TEST_F(ModuleRegistryTest, HooksRunInAttachOrder)
{
    ASSERT_EQ(0, ModuleRegistryLoad());
    calls.clear();
    EXPECT_EQ(0, runLoadHooks());
    EXPECT_EQ((std::vector<std::string>{"load1", "load2", "load3"}), calls);

    calls.clear();
    failingHook = 2;
    EXPECT_EQ(1, runLoadHooks());
    EXPECT_EQ((std::vector<std::string>{"load1", "load2"}), calls);

    calls.clear();
    runStartHooks();
    runUnloadHooks();
    EXPECT_EQ((std::vector<std::string>{"start1", "start2", "unload1"}), calls);
}

} // namespace
