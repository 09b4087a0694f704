// The compiler reaches the run-time library rows only through the module
// catalog the program installs: it attaches them when a text is scanned,
// looks up each call and frees them with its tables, in that order; a
// refused attach stops the translation before anything is read.
#include "CompilerTestSupport.h"

#include "ModuleCatalog.h"
#include "TextLines.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;
int loadResult = 0;
ModuleEntry powRow = {"POW", MODULE_FUNCTION(testFunction), MODULE_FUNCTION_ROW, "ddd"};

const ModuleCatalog recordingCatalog = {
    [] {
        calls.push_back("load");
        return loadResult;
    },
    [] { calls.push_back("free"); },
    [](const char* name) -> const ModuleEntry* {
        calls.push_back(std::string("lookup ") + name);
        return strcmp(name, "POW") == 0 ? &powRow : nullptr;
    }};

class ModuleCatalogTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        calls.clear();
        loadResult = 0;
        setModuleCatalog(&recordingCatalog);
    }
    void TearDown() override
    {
        CompilerTest::TearDown();
        setModuleCatalog(&registryModuleCatalog);
    }
};

TEST_F(ModuleCatalogTest, AttachLookUpAndFreeGoThroughTheInstalledCatalog)
{
    struct Case {
        const char* title;
        std::string text;
        int result;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"a known function",
         lines({"BLOCK A;", "OUTPUT y;", "SIM", "  y = POW(2, 3);", "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;",
                "ENDCIRCUIT X;"}),
         0,
         {"load", "lookup POW", "free"}},
        {"an unknown procedure",
         lines({"BLOCK A;", "SIM", "  NOSUCH(1);", "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;", "ENDCIRCUIT X;"}),
         1,
         {"load", "lookup NOSUCH", "free"}},
        {"no call at all", lines({"CIRCUIT X;", "ENDCIRCUIT X;"}), 0, {"load", "free"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        calls.clear();
        // An accepted text keeps its tables until they are freed; a refused
        // one has been freed already.
        const int result = parse(c.text);
        EXPECT_EQ(c.result, result);
        if (result == 0)
            freeSymbolTables();
        EXPECT_EQ(c.calls, calls);
    }
}

TEST_F(ModuleCatalogTest, ARefusedAttachStopsTheTranslation)
{
    loadResult = 1;
    EXPECT_EQ(2, parse(lines({"BLOCK A;", "OUTPUT y;", "SIM", "  y = POW(2, 3);", "ENDSIM", "ENDBLOCK A;",
                              "CIRCUIT X;", "ENDCIRCUIT X;"})));
    // Nothing is read or looked up; what the refused attach filed is freed.
    EXPECT_EQ((std::vector<std::string>{"load", "free"}), calls);
    EXPECT_EQ(nullptr, circuitName());
}

} // namespace
