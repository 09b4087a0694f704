// What the tests of the loader, the interpreter and the simulator services
// share: PI text loaded through the real loader, a test library with
// functions and procedures of every arity, the deferred-message recorder
// and a regular expression for the loader's check messages.
#ifndef KYT_TESTS_ENGINE_PITESTSUPPORT_H
#define KYT_TESTS_ENGINE_PITESTSUPPORT_H

#include "BaseLibrary.h"
#include "CompilerOptions.h"
#include "HostServices.h"
#include "ModuleRegistry.h"
#include "PiLoader.h"
#include "PiTextBuffer.h"
#include "ResString.h"
#include "RunState.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pitest {

// Texts that moduleMessage queued for the main window, with their level.
struct QueuedMessage {
    int level;
    std::string text;
};
inline std::vector<QueuedMessage> queued;

inline void recordQueued(int level, const char* text)
{
    queued.push_back({level, text});
}

// The test library TEST: Fk(a1..ak) = a1 + 10 a2 + 100 a3 + ... shows the
// argument order; Pk stores its arguments in procedureArguments.
inline std::vector<double> procedureArguments;
inline int loadHookResult = 0;
inline int unloadHookRuns = 0;

inline double weigh(std::initializer_list<double> a)
{
    double sum = 0, w = 1;
    for (double x : a) {
        sum += w * x;
        w *= 10;
    }
    return sum;
}

inline double F0() { return 42; }
inline double F1(double a) { return weigh({a}); }
inline double F2(double a, double b) { return weigh({a, b}); }
inline double F3(double a, double b, double c) { return weigh({a, b, c}); }
inline double F4(double a, double b, double c, double d) { return weigh({a, b, c, d}); }
inline double F5(double a, double b, double c, double d, double e)
{
    return weigh({a, b, c, d, e});
}
inline double F6(double a, double b, double c, double d, double e, double f)
{
    return weigh({a, b, c, d, e, f});
}
inline double F7(double a, double b, double c, double d, double e, double f, double g)
{
    return weigh({a, b, c, d, e, f, g});
}
inline double F8(double a, double b, double c, double d, double e, double f, double g, double h)
{
    return weigh({a, b, c, d, e, f, g, h});
}
inline double F9(double a, double b, double c, double d, double e, double f, double g, double h,
                 double i)
{
    return weigh({a, b, c, d, e, f, g, h, i});
}
inline void P0() { procedureArguments = {}; }
inline void P1(double a) { procedureArguments = {a}; }
inline void P2(double a, double b) { procedureArguments = {a, b}; }
inline void P3(double a, double b, double c) { procedureArguments = {a, b, c}; }
inline void P4(double a, double b, double c, double d) { procedureArguments = {a, b, c, d}; }
inline void P5(double a, double b, double c, double d, double e)
{
    procedureArguments = {a, b, c, d, e};
}
inline void P6(double a, double b, double c, double d, double e, double f)
{
    procedureArguments = {a, b, c, d, e, f};
}
inline void P7(double a, double b, double c, double d, double e, double f, double g)
{
    procedureArguments = {a, b, c, d, e, f, g};
}
inline void P8(double a, double b, double c, double d, double e, double f, double g, double h)
{
    procedureArguments = {a, b, c, d, e, f, g, h};
}
inline void P9(double a, double b, double c, double d, double e, double f, double g, double h,
               double i)
{
    procedureArguments = {a, b, c, d, e, f, g, h, i};
}
inline int testLoad() { return loadHookResult; }
inline void testUnload() { ++unloadHookRuns; }

inline ModuleEntry testRows[] = {
    {"TEST", MODULE_FUNCTION(testLoad), MODULE_LOAD_HOOK, nullptr},
    {"TEST", MODULE_FUNCTION(testUnload), MODULE_UNLOAD_HOOK, nullptr},
    {"F0", MODULE_FUNCTION(F0), MODULE_FUNCTION_ROW, "d"},
    {"F1", MODULE_FUNCTION(F1), MODULE_FUNCTION_ROW, "dd"},
    {"F2", MODULE_FUNCTION(F2), MODULE_FUNCTION_ROW, "ddd"},
    {"F3", MODULE_FUNCTION(F3), MODULE_FUNCTION_ROW, "dddd"},
    {"F4", MODULE_FUNCTION(F4), MODULE_FUNCTION_ROW, "ddddd"},
    {"F5", MODULE_FUNCTION(F5), MODULE_FUNCTION_ROW, "dddddd"},
    {"F6", MODULE_FUNCTION(F6), MODULE_FUNCTION_ROW, "ddddddd"},
    {"F7", MODULE_FUNCTION(F7), MODULE_FUNCTION_ROW, "dddddddd"},
    {"F8", MODULE_FUNCTION(F8), MODULE_FUNCTION_ROW, "ddddddddd"},
    {"F9", MODULE_FUNCTION(F9), MODULE_FUNCTION_ROW, "dddddddddd"},
    {"P0", MODULE_FUNCTION(P0), MODULE_PROCEDURE_ROW, ""},
    {"P1", MODULE_FUNCTION(P1), MODULE_PROCEDURE_ROW, "d"},
    {"P2", MODULE_FUNCTION(P2), MODULE_PROCEDURE_ROW, "dd"},
    {"P3", MODULE_FUNCTION(P3), MODULE_PROCEDURE_ROW, "ddd"},
    {"P4", MODULE_FUNCTION(P4), MODULE_PROCEDURE_ROW, "dddd"},
    {"P5", MODULE_FUNCTION(P5), MODULE_PROCEDURE_ROW, "ddddd"},
    {"P6", MODULE_FUNCTION(P6), MODULE_PROCEDURE_ROW, "dddddd"},
    {"P7", MODULE_FUNCTION(P7), MODULE_PROCEDURE_ROW, "ddddddd"},
    {"P8", MODULE_FUNCTION(P8), MODULE_PROCEDURE_ROW, "dddddddd"},
    {"P9", MODULE_FUNCTION(P9), MODULE_PROCEDURE_ROW, "ddddddddd"},
    {nullptr, nullptr, 0, nullptr},
};
inline ModuleDescriptor testDescriptor = {0, 0, testRows, "TEST"};
inline ModuleDescriptor* TestModuleRegister(const HostServices*) { return &testDescriptor; }

inline const ModuleRegisterFunction testLibraries[] = {BaseModuleRegister, TestModuleRegister,
                                                       nullptr};

// Attaches BASE and TEST, records queued messages and error boxes, and
// hands the loaded program's strings to the host services.
class PiEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        queued.clear();
        procedureArguments.clear();
        loadHookResult = 0;
        unloadHookRuns = 0;
        HostSeams seams = {};
        seams.queueDeferredMessage = recordQueued;
        seams.stringCount = piStringCount;
        seams.stringText = piStringText;
        setHostSeams(&seams);
        setModuleLibraryList(testLibraries);
        ASSERT_EQ(0, ModuleRegistryLoad());
        runState = RunState();
        runState.phase = 2;
        resetRunErrors();
        resetBaseRandom();
    }
    void TearDown() override
    {
        unloadPICode();
        freeCodeBuffer(&piTextBuffer);
        ModuleRegistryFree();
        setModuleLibraryList(nullptr);
        setHostSeams(nullptr);
        clearOption(OPTION_COMPILE_PHASE);
        runState = RunState();
    }

    RecordingScope recording;
};

// Puts text into the PI text buffer and loads it.
inline bool loadPiText(const std::string& text, int stackSize = 1024)
{
    freeCodeBuffer(&piTextBuffer);
    codeBufferPrintf(&piTextBuffer, "%s", text.c_str());
    flushCodeBuffer(&piTextBuffer);
    return loadPICode("from test", stackSize);
}

// A PI text with the declarations that the tests use and the given code:
//   t; states x0, x1 (1.5, -2); derivatives dx0, dx1; VARS 6: a, b, c (c
//   SAVE INP), three result slots; PARAMS 2: k = 2.5, m = -4; strings
//   "Ende" and "zwei"; 3 events, 2 delay lines.
// V i is value slot 2 + i. The CONT result slot is V 5.
inline std::string piProgramText(const std::string& init, const std::string& cont,
                                 const std::string& discrete = "DISCRET 0\n")
{
    return "// PI-code generated by hand\n"
           "EXAMPLE \"fixture\"\n\n"
           "INDEP\n"
           "   \"t\"   0.0 SAVE\n"
           "STATES   2\n"
           "   \"x0\"  1.5  SAVE // 0\n"
           "   \"x1\"  -2.  // 1\n"
           "DERIV\n"
           "   \"dx0\"  SAVE // 0\n"
           "   \"dx1\"   // 1\n"
           "DSTATES  0\n"
           "VARS     6\n"
           "   \"a\"  // 0\n"
           "   \"b\"  SAVE // 1\n"
           "   \"c\"  SAVE INP OUTP // 2\n"
           "   // return of p(0)  3\n"
           "   // return of INIT  4\n"
           "   // return of CONT  5\n"
           "PARAMS   2\n"
           "   \"k\"  2.5  // 0\n"
           "   \"m\"  -4.  SAVE // 1\n"
           "STRINGS  2\n"
           "   \"Ende\"  // 0\n"
           "   \"zwei\"  // 1\n"
           "EVENTS   3\n"
           "DELAYS   2\n"
           "INIT\n" +
           init + "CONT\n" + cont + discrete;
}

// Code that runs body and returns 0: the usual frame of a section.
inline std::string section(const std::string& body, const char* result = "0",
                           int slot = 5)
{
    std::string s = std::string("   PUSH  ") + result + "\n   POP   V " + std::to_string(slot) +
                    "  // return\n\n" + body;
    s += "   PUSH  V " + std::to_string(slot) + "  // return\n   END\n\n";
    return s;
}

inline double* valueSlot(int v)
{
    return piProgram.value + piProgram.nparameters + v;
}

// A regular expression for text taken literally.
inline std::string literal(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (strchr("\\^$.|?*+()[]{}", c))
            out += '\\';
        out += c;
    }
    return out;
}

// The loader's check message: any source line, the check text, the PI line.
inline std::string checkPattern(const std::string& check, int piLine)
{
    return "KYT:[0-9]+ Fehler " + literal(check) + "\nin der Zeile " + std::to_string(piLine);
}

// A string-table text up to its first format directive or non-ASCII
// letter, as a pattern.
inline std::string textPattern(unsigned int id)
{
    std::string s = getResString(id);
    size_t cut = 0;
    while (cut < s.size() && s[cut] != '%' && static_cast<unsigned char>(s[cut]) < 0x80)
        ++cut;
    return literal(s.substr(0, cut));
}

// Fatal reports go to standard error in a death test.
#define EXPECT_FATAL(statement, pattern)                                                 \
    EXPECT_EXIT(                                                                         \
        {                                                                                \
            setErrorSink(nullptr);                                                       \
            statement;                                                                   \
        },                                                                               \
        ::testing::ExitedWithCode(1), pattern)

} // namespace pitest

#endif
