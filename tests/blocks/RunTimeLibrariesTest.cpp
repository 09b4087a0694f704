// The list the programs hand to the registry: the engine's own libraries and
// FUZZY and IDENT, which the engine alone does not know.
#include "TestSinks.h"

#include "FuzzyModule.h"
#include "IdentLibrary.h"
#include "ModuleRegistry.h"
#include "RunTimeLibraries.h"

#include <gtest/gtest.h>

namespace {

class RunTimeLibrariesTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        ModuleRegistryFree();
        setModuleLibraryList(nullptr);
    }
    RecordingScope scope;
};

TEST_F(RunTimeLibrariesTest, TheProgramsListHasTheFiveLibrariesInAttachOrder)
{
    const ModuleRegisterFunction expected[] = {BaseModuleRegister, FileModuleRegister, TableModuleRegister,
                                               FuzzyModuleRegister, IdentModuleRegister};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(expected[i], kRunTimeLibraries[i]) << i;
    EXPECT_EQ(nullptr, kRunTimeLibraries[5]);
}

TEST_F(RunTimeLibrariesTest, FuzzyAndIdentRowsExistOnlyWithTheProgramsList)
{
    const char* const blocksRows[] = {"FZINIT", "FZEXIT", "IDOPEN", "IDSTEP"};
    setModuleLibraryList(nullptr);
    ASSERT_EQ(0, ModuleRegistryLoad());
    EXPECT_NE(nullptr, ModuleRegistryLookup("SIN"));
    for (const char* name : blocksRows)
        EXPECT_EQ(nullptr, ModuleRegistryLookup(name)) << name;

    setModuleLibraryList(kRunTimeLibraries);
    ASSERT_EQ(0, ModuleRegistryLoad());
    EXPECT_NE(nullptr, ModuleRegistryLookup("SIN"));
    for (const char* name : blocksRows)
        EXPECT_NE(nullptr, ModuleRegistryLookup(name)) << name;
    EXPECT_TRUE(scope.sink.boxes.empty());
}

} // namespace
