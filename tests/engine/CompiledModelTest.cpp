// Model text through the whole compile road into the interpreter: what the
// back end writes must run as the model says.
#include "PiTestSupport.h"
#include "TextLines.h"

#include "CompileRoad.h"
#include "PiInterpreter.h"

#include <cmath>

namespace {

using namespace pitest;

class CompiledModelTest : public PiEngineTest {
protected:
    // Compiles and loads the text (BASE and TEST attached); the result of
    // the compile road.
    int compile(const std::string& text, int stackSize = 1024)
    {
        CompileRequest request;
        request.stackSize = stackSize;
        return compile(text, request);
    }
    int compile(const std::string& text, const CompileRequest& request)
    {
        FILE* f = tmpfile();
        fwrite(text.data(), 1, text.size(), f);
        rewind(f);
        int result = compileModelStream(f, request);
        fclose(f);
        return result;
    }

    double value(const char* name)
    {
        const PiSymbol* s = findPiSymbol(name);
        EXPECT_NE(nullptr, s) << name;
        return s ? *s->value[0] : NAN;
    }

    int runProcedure(int section, double t = 1)
    {
        return runDiscreteSection(t, piProgram.state[0], nullptr, nullptr, section);
    }

    int boxesWith(unsigned int id)
    {
        int n = 0;
        for (const std::string& box : recording.sink.boxes)
            n += box.find(getResString(id)) != std::string::npos;
        return n;
    }
};

int generatedCalls = 0;
bool programLoadedAtGenerated = true;
void countGenerated()
{
    ++generatedCalls;
    programLoadedAtGenerated = piProgram.stack != nullptr;
}

// The hook of kyt's timing trace: once per generated program, before the
// load; never for a text that does not parse.
TEST_F(CompiledModelTest, GeneratedHookRunsOnceBeforeTheLoad)
{
    CompileRequest request;
    request.generated = countGenerated;
    const struct {
        std::string text;
        int outcome;
        int calls;
    } cases[] = {
        {lines({"BLOCK Lag;", "STATE x = 0;", "SIM", "  x .= 1 - x;", "ENDSIM", "ENDBLOCK Lag;", "CIRCUIT C;",
                "USE Lag AS g", "ENDUSE", "ENDCIRCUIT C;"}),
         COMPILE_LOADED, 1},
        {lines({"BLOCK Bad;", "SIM", "  y = 1 + * ;", "ENDSIM", "ENDBLOCK Bad;"}), COMPILE_PARSE_FAILED, 0},
    };
    for (const auto& c : cases) {
        generatedCalls = 0;
        programLoadedAtGenerated = true;
        EXPECT_EQ(c.outcome, compile(c.text, request)) << c.text;
        EXPECT_EQ(c.calls, generatedCalls) << c.text;
        EXPECT_TRUE(c.calls == 0 || !programLoadedAtGenerated) << c.text;
        unloadPICode();
    }
}

TEST_F(CompiledModelTest, ElseBranchSeesTheConditionAsItWasBeforeThen)
{
    ASSERT_EQ(COMPILE_LOADED, compile(lines({
                                  "BLOCK Flip;",
                                  "VAR s = 0 DISCRETE",
                                  "PROCEDURE flip;",
                                  "  IF s == 0 THEN",
                                  "    s := 1;",
                                  "  ELSE",
                                  "    s := 0;",
                                  "  ENDIF",
                                  "ENDPROCEDURE",
                                  "INIT",
                                  "  SCHEDULE flip AT 1;",
                                  "ENDINIT",
                                  "ENDBLOCK Flip;",
                                  "CIRCUIT C;",
                                  "USE Flip AS f",
                                  "ENDUSE",
                                  "ENDCIRCUIT C;",
                              })));
    runState.phase = 2;
    EXPECT_EQ(0, runInitCode(0, 1));
    EXPECT_EQ(0, value("f_s"));
    EXPECT_EQ(PI_RESULT_DISCRETE, runProcedure(0));
    EXPECT_EQ(1, value("f_s"));
    EXPECT_EQ(PI_RESULT_DISCRETE, runProcedure(0));
    EXPECT_EQ(0, value("f_s"));
    EXPECT_TRUE(recording.sink.boxes.empty());
}

TEST_F(CompiledModelTest, ProcedureCallingItselfIsAbandonedAtDepth)
{
    ASSERT_EQ(COMPILE_LOADED, compile(lines({
                                  "BLOCK R;",
                                  "VAR n = 0 DISCRETE",
                                  "PROCEDURE again;",
                                  "  n := n + 1 <- CALL again;",
                                  "ENDPROCEDURE",
                                  "INIT",
                                  "  SCHEDULE again AT 1;",
                                  "ENDINIT",
                                  "ENDBLOCK R;",
                                  "CIRCUIT C;",
                                  "USE R AS r",
                                  "ENDUSE",
                                  "ENDCIRCUIT C;",
                              })));
    runState.phase = 2;
    EXPECT_EQ(0, runInitCode(0, 1));
    int start = piProgram.stackPointer;
    EXPECT_EQ(PI_RESULT_ERROR, runProcedure(0));
    EXPECT_EQ(start, piProgram.stackPointer);
    EXPECT_EQ(kRunErrorStop, runState.errorFlag);
    EXPECT_EQ(1, boxesWith(20262));
    EXPECT_EQ(1u, recording.sink.boxes.size());
    // No call got as far as its assignment.
    EXPECT_EQ(0, value("r_n"));
}

// y = 1+(1+(...+(1+1))) with n ones needs n stack entries.
std::string nestedSum(int ones)
{
    std::string e = "1";
    for (int i = 1; i < ones; ++i)
        e = "1+(" + e + ")";
    return lines({"BLOCK S;", "OUTPUT y;", "SIM"}) + "  y = " + e + ";\n" +
           lines({"ENDSIM", "ENDBLOCK S;", "CIRCUIT C;", "USE S AS s", "ENDUSE", "ENDCIRCUIT C;"});
}

TEST_F(CompiledModelTest, ExpressionDeeperThanTheStackIsAbandoned)
{
    ASSERT_EQ(COMPILE_LOADED, compile(nestedSum(16), 16));
    runState.phase = 2;
    EXPECT_EQ(0, runContCode(0, piProgram.state[0], nullptr, nullptr, piProgram.derivative));
    EXPECT_EQ(16, value("s_y"));
    releaseCompiledModel();

    ASSERT_EQ(COMPILE_LOADED, compile(nestedSum(17), 16));
    int start = piProgram.stackPointer;
    EXPECT_EQ(PI_RESULT_ERROR, runContCode(0, piProgram.state[0], nullptr, nullptr, piProgram.derivative));
    EXPECT_EQ(start, piProgram.stackPointer);
    EXPECT_EQ(1, boxesWith(20263));
    EXPECT_EQ(0, value("s_y"));
}

TEST_F(CompiledModelTest, BaseFunctionsInAParameterAndAnOutput)
{
    ASSERT_EQ(COMPILE_LOADED, compile(lines({
                                  "BLOCK E;",
                                  "OUTPUT y;",
                                  "PARAMETER K = POW(2, 10);",
                                  "SIM",
                                  "  y = SIN(K*NOW);",
                                  "ENDSIM",
                                  "ENDBLOCK E;",
                                  "CIRCUIT C;",
                                  "USE E AS e",
                                  "ENDUSE",
                                  "ENDCIRCUIT C;",
                              })));
    runState.phase = 2;
    EXPECT_EQ(0, runInitCode(0, 1));
    EXPECT_EQ(0, runContCode(0.5, piProgram.state[0], nullptr, nullptr, piProgram.derivative));
    EXPECT_EQ(1024, value("e_K"));
    EXPECT_NEAR(std::sin(512.0), value("e_y"), 1e-12);   // analytic: sin(1024 * 0.5)
    EXPECT_TRUE(queued.empty());
}

} // namespace
