// The circuits A, B and D compile to PI text byte-equal to their golden
// files, whatever the locale; the listing file holds the same bytes, the
// loader takes the text, and kytsym.tmp matches its golden listing. C, the
// same loop with a gain in place of the PT1, is an algebraic loop.
#include "BackendTestSupport.h"

#include <clocale>

namespace {

using namespace backendtest;

struct Golden {
    const char* circuit;
    const char* symbols;   // golden kytsym.tmp, or null
};

const Golden goldens[] = {
    {"kreisA", "kreisA.kytsym"},
    {"kreisB", nullptr},
    {"kreisD", "kreisD.kytsym"},
};

class GoldenPiTextTest : public BackendTest {
protected:
    void compareAll()
    {
        for (const Golden& g : goldens) {
            SCOPED_TRACE(g.circuit);
            std::string model = readComparedFile(fixturePath(std::string(g.circuit) + ".kyt"));
            std::string listing = scratch.file("listing.pi");
            ASSERT_EQ(0, generate(model, listing.c_str(), g.symbols != nullptr));
            EXPECT_EQ(readComparedFile(fixturePath(std::string(g.circuit) + ".pi")), piText);
            EXPECT_EQ(piText, scratch.read("listing.pi"));
            if (g.symbols) {
                EXPECT_EQ(readComparedFile(fixturePath(g.symbols)), scratch.read("kytsym.tmp"));
            }
            EXPECT_TRUE(loadBuffer());
            EXPECT_TRUE(shown().empty());
        }
    }
};

TEST_F(GoldenPiTextTest, CircuitsGiveTheirGoldenText)
{
    compareAll();
}

TEST_F(GoldenPiTextTest, GermanLocaleChangesNoByte)
{
    const char* old = setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale";
    // The locale is really German: the C library writes a decimal comma.
    char probe[16];
    snprintf(probe, sizeof probe, "%.1f", 2.5);
    EXPECT_STREQ("2,5", probe);
    compareAll();
    setlocale(LC_ALL, saved.c_str());
}

TEST_F(GoldenPiTextTest, CompileRoadLoadsTheGoldenText)
{
    for (const Golden& g : goldens) {
        SCOPED_TRACE(g.circuit);
        CompileRequest request;
        std::string listing = scratch.file("road.pi");
        request.listingFile = listing.c_str();
        request.writeSymbols = 1;
        ASSERT_EQ(COMPILE_LOADED, compileModelFile(fixturePath(std::string(g.circuit) + ".kyt").c_str(), request));
        EXPECT_EQ(readComparedFile(fixturePath(std::string(g.circuit) + ".pi")), scratch.read("road.pi"));
        EXPECT_EQ(0, codeLineCount(&piTextBuffer));   // the loader has taken it
        EXPECT_GT(piProgram.nsymbols, 0);
        releaseCompiledModel();
        EXPECT_EQ(0, piProgram.nsymbols);
        EXPECT_EQ(0, moduleListLength(MODULE_LIST_FUNCTIONS));
    }
}

TEST_F(GoldenPiTextTest, AlgebraicLoopIsShownWithItsStatements)
{
    int result = compileModelFile(fixturePath("kreisC.kyt").c_str());
    EXPECT_EQ(COMPILE_GENERATION_FAILED, result);
    std::vector<Message> messages = shown();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(SHOWN_LISTING, messages[0].where);
    EXPECT_EQ("Algebraische Schleife oder\nfehlende Anweisungen im SIM Abschnitt!", messages[0].text);
    ASSERT_EQ(1u, scope.viewer.calls.size());
    EXPECT_EQ(-1, scope.viewer.calls[0].line);
    EXPECT_EQ(scratch.file("kytsym.tmp"), scope.viewer.calls[0].path);
    // The loop with the outputs' names through the aliases, then the
    // variables in error.
    EXPECT_EQ("  23:    sum_e = src_y-gain_y;\n"
              "  32:    gain_y = gain_K*sum_e;\n"
              "\n"
              "SYMBOL TABELLE - beschränkt auf die fehlerbehafteten Einträge\n"
              "VAR\n"
              "   sum_e = 0. - output   \n"
              "   gain_y = 0. - output    SAVE\n"
              "ENDE SYMBOLTABELLE\n",
              scratch.read("kytsym.tmp"));
    EXPECT_EQ(0, codeLineCount(&piTextBuffer));
    EXPECT_EQ(0, piProgram.nsymbols);
}

TEST_F(GoldenPiTextTest, RoadEndsEarlyWithoutLoading)
{
    EXPECT_EQ(COMPILE_NOT_OPENED, compileModelFile(scratch.file("fehlt.kyt").c_str()));
    ASSERT_EQ(1u, scope.sink.boxes.size());
    EXPECT_NE(std::string::npos, scope.sink.boxes[0].find("fehlt.kyt"));

    forgetMessages();
    EXPECT_EQ(COMPILE_PARSE_FAILED, compileModelFile(fixturePath("fehler.kyt").c_str()));
    EXPECT_FALSE(shown().empty());
    EXPECT_EQ(0, registeredPointerCount());
    EXPECT_EQ(0, moduleListLength(MODULE_LIST_FUNCTIONS));
    EXPECT_EQ(0, codeLineCount(&piTextBuffer));
}

// A library whose load hook refuses every program: the road unloads again.
int refuseLoad()
{
    return 1;
}

ModuleEntry refusingRows[] = {
    {"REFUSE", MODULE_FUNCTION(refuseLoad), MODULE_LOAD_HOOK, nullptr},
    {nullptr, nullptr, 0, nullptr},
};
ModuleDescriptor refusingDescriptor = {0, 0, refusingRows, "REFUSE"};
ModuleDescriptor* registerRefusing(const HostServices*)
{
    return &refusingDescriptor;
}
const ModuleRegisterFunction refusingList[] = {registerRefusing, nullptr};

TEST_F(GoldenPiTextTest, RefusedLoadLeavesNothingLoaded)
{
    setModuleLibraryList(refusingList);
    EXPECT_EQ(COMPILE_LOAD_FAILED, compileModelFile(fixturePath("kreisD.kyt").c_str()));
    EXPECT_EQ(0, piProgram.nsymbols);
    EXPECT_EQ(0, moduleListLength(MODULE_LIST_LOAD));
}

} // namespace
