// The interpreter over hand-written PI texts loaded by the real loader:
// every opcode, the division and ABORT messages, CALL in its phases, the
// fatal ends, abandoned runs (CALL nesting, stack overflow), and the
// fixtures A, B and D run section by section.
#include "PiTestSupport.h"
#include "PiFixtures.h"

#include "DelayLines.h"
#include "DiscreteFlags.h"
#include "EventQueue.h"
#include "PiInterpreter.h"
#include "PiOpcodes.h"

#include <cmath>
#include <functional>
#include <set>

using namespace pitest;

namespace {

// DISC 0 stores (result 1 | 2) and sets a = 7.
const char kStoringSection[] = "DISCRET 1\n"
                               "DISC  0  // p:0\n"
                               "   PUSH  1\n"
                               "   POP   V 3  // return\n"
                               "   PUSH  7\n"
                               "   POP   V 0  // a\n"
                               "   PUSH  V 3  // return\n"
                               "   PUSH  2\n"
                               "   FUNC  OR\n"
                               "   POP   V 3  // return\n"
                               "   PUSH  V 3  // return\n"
                               "   END\n";

class PiInterpreterTest : public PiEngineTest {
protected:
    // Loads a program whose CONT runs body, and runs it at t = 0.75 on state
    // buffer 0 with D[0] = 0.25.
    int runBody(const std::string& body, int phase = 2, int stackSize = 1024,
                const std::string& discrete = kStoringSection)
    {
        EXPECT_TRUE(loadPiText(piProgramText(section(""), section(body), discrete), stackSize));
        piProgram.derivative[0] = 0.25;
        runState.phase = phase;
        return runContCode(0.75, piProgram.state[0], nullptr, nullptr, piProgram.derivative);
    }

    int boxesWith(unsigned int id)
    {
        std::string text = getResString(id);
        text = text.substr(0, text.find('%'));
        int n = 0;
        for (const std::string& b : recording.sink.boxes)
            n += b.find(text) != std::string::npos;
        return n;
    }
};

double a() { return *valueSlot(0); }
double b() { return *valueSlot(1); }

std::string pushArguments(int k)
{
    std::string s;
    for (int i = k; i >= 1; --i)
        s += "   PUSH  " + std::to_string(i) + "\n";
    return s;
}

TEST_F(PiInterpreterTest, EveryOpcode)
{
    struct Case {
        std::string name;
        std::string body;
        int phase;
        double a;                      // NaN: a is not compared
        std::function<void()> check;   // further effects
    };
    const double none = NAN;
    const std::string inf = "   PUSH  1e308\n   PUSH  10\n   FUNC  MUL\n";
    std::vector<Case> cases = {
        {"PUSH T", "   PUSH  T\n   POP   V 0\n", 2, 0.75, nullptr},
        {"PUSH S", "   PUSH  S 1\n   POP   V 0\n", 2, -2, nullptr},
        {"PUSH D", "   PUSH  D 0\n   POP   V 0\n", 2, 0.25, nullptr},
        {"PUSH P", "   PUSH  P 1\n   POP   V 0\n", 2, -4, nullptr},
        {"PUSH V", "   PUSH  P 0\n   POP   V 2\n   PUSH  V 2\n   POP   V 0\n", 2, 2.5, nullptr},
        {"PUSH number", "   PUSH  -1.5e-3\n   POP   V 0\n", 2, -1.5e-3, nullptr},
        {"POP S", "   PUSH  9\n   POP   S 0\n", 2, none,
         [] { EXPECT_EQ(9, piProgram.state[0][0]); }},
        {"POP D", "   PUSH  8\n   POP   D 1\n", 2, none,
         [] { EXPECT_EQ(8, piProgram.derivative[1]); }},
        {"POP P", "   PUSH  3\n   POP   P 1\n", 2, none, [] { EXPECT_EQ(3, piProgram.value[1]); }},
        {"ADD", "   PUSH  2\n   PUSH  3.5\n   FUNC  ADD\n   POP   V 0\n", 2, 5.5, nullptr},
        {"SUB", "   PUSH  2\n   PUSH  3.5\n   FUNC  SUB\n   POP   V 0\n", 2, -1.5, nullptr},
        {"MUL", "   PUSH  2\n   PUSH  3.5\n   FUNC  MUL\n   POP   V 0\n", 2, 7, nullptr},
        {"DIV", "   PUSH  7\n   PUSH  2\n   FUNC  DIV\n   POP   V 0\n", 2, 3.5, nullptr},
        {"7 / 0", "   PUSH  7\n   PUSH  0\n   FUNC  DIV\n   POP   V 0\n", 2, 1e100, nullptr},
        {"7 / -0", "   PUSH  7\n   PUSH  -0.\n   FUNC  DIV\n   POP   V 0\n", 2, 1e100, nullptr},
        {"-7 / 0", "   PUSH  -7\n   PUSH  0\n   FUNC  DIV\n   POP   V 0\n", 2, 1e100, nullptr},
        {"0 / 0", "   PUSH  0\n   PUSH  0\n   FUNC  DIV\n   POP   V 0\n", 2, 1e100, nullptr},
        {"AND(2.9, 3.5)", "   PUSH  2.9\n   PUSH  3.5\n   FUNC  AND\n   POP   V 0\n", 2, 2, nullptr},
        {"AND(NaN, 1)", inf + inf + "   FUNC  SUB\n   PUSH  1\n   FUNC  AND\n   POP   V 0\n", 2, 0,
         nullptr},
        {"AND(1e300, 1)", "   PUSH  1e300\n   PUSH  1\n   FUNC  AND\n   POP   V 0\n", 2, 0, nullptr},
        {"AND(2^32 + 3, 7)", "   PUSH  4294967299\n   PUSH  7\n   FUNC  AND\n   POP   V 0\n", 2,
         3, nullptr},
        {"OR(-1.5, 4)", "   PUSH  -1.5\n   PUSH  4\n   FUNC  OR\n   POP   V 0\n", 2, -1, nullptr},
        {"NOT(0.4)", "   PUSH  0.4\n   FUNC  NOT\n   POP   V 0\n", 2, 1, nullptr},
        {"NOT(-0)", "   PUSH  -0.\n   FUNC  NOT\n   POP   V 0\n", 2, 1, nullptr},
        {"NOT(3)", "   PUSH  3\n   FUNC  NOT\n   POP   V 0\n", 2, 0, nullptr},
        {"CHS", "   PUSH  2\n   FUNC  CHS\n   POP   V 0\n", 2, -2, nullptr},
        {"EQ", "   PUSH  2\n   PUSH  2\n   FUNC  EQ\n   POP   V 0\n", 2, 1, nullptr},
        {"NE", "   PUSH  2\n   PUSH  2\n   FUNC  NE\n   POP   V 0\n", 2, 0, nullptr},
        {"GT", "   PUSH  3\n   PUSH  2\n   FUNC  GT\n   POP   V 0\n", 2, 1, nullptr},
        {"GE", "   PUSH  2\n   PUSH  3\n   FUNC  GE\n   POP   V 0\n", 2, 0, nullptr},
        {"LT", "   PUSH  3\n   PUSH  2\n   FUNC  LT\n   POP   V 0\n", 2, 0, nullptr},
        {"LE", "   PUSH  2\n   PUSH  2\n   FUNC  LE\n   POP   V 0\n", 2, 1, nullptr},
        {"SCHED", "   PUSH  4.5\n   PUSH  7  // priority\n   PUSH  0  // p\n   FUNC  SCHED\n", 2,
         none,
         [] {
             const ScheduledEvent* e = firstEvent();
             ASSERT_NE(nullptr, e);
             EXPECT_EQ(4.5, e->time);
             EXPECT_EQ(7, e->priority);
             EXPECT_EQ(0, e->argument);
             EXPECT_EQ(0, e->kind);
             EXPECT_STREQ("discret", e->name);
             EXPECT_EQ(&runDiscreteSection, e->handler);
         }},
        {"EVENT", "   PUSH  1\n   PUSH  2\n   FUNC  EVENT\n   POP   V 0\n", 2, 1,
         [] { EXPECT_EQ(1, discreteFlagValue(2)); }},
        {"ABORT", "   PUSH  1  // \"zwei\"\n   FUNC  ABORT\n", 2, none,
         [] { EXPECT_STREQ("zwei", getExitMessage()); }},
        {"IFT jumps", "   PUSH  5\n   POP   V 0\n   PUSH  0.1\n   IFT   $1\n   PUSH  6\n"
                      "   POP   V 0\n$1\n", 2, 5, nullptr},
        {"IFT falls through on 0", "   PUSH  5\n   POP   V 0\n   PUSH  0\n   IFT   $1\n"
                                   "   PUSH  6\n   POP   V 0\n$1\n", 2, 6, nullptr},
        {"IFF jumps on -0", "   PUSH  5\n   POP   V 0\n   PUSH  -0.\n   IFF   $1\n   PUSH  6\n"
                            "   POP   V 0\n$1\n", 2, 5, nullptr},
        {"IFF falls through", "   PUSH  5\n   POP   V 0\n   PUSH  0.1\n   IFF   $1\n"
                              "   PUSH  6\n   POP   V 0\n$1\n", 2, 6, nullptr},
        {"NIFT keeps the value", "   PUSH  2\n   NIFT  $1\n   PUSH  9\n$1\n   POP   V 0\n", 2, 2,
         nullptr},
        {"NIFT drops a zero", "   PUSH  0\n   NIFT  $1\n   PUSH  9\n$1\n   POP   V 0\n", 2, 9,
         nullptr},
        {"NIFF keeps the zero", "   PUSH  0\n   NIFF  $1\n   PUSH  9\n$1\n   POP   V 0\n", 2, 0,
         nullptr},
        {"NIFF drops a value", "   PUSH  2\n   NIFF  $1\n   PUSH  9\n$1\n   POP   V 0\n", 2, 9,
         nullptr},
        {"GOTO", "   PUSH  1\n   POP   V 0\n   GOTO  $1\n   PUSH  2\n   POP   V 0\n$1\n", 2, 1,
         nullptr},
        {"CALL in phase 2", "   CALL  0  // p\n   POP   V 1\n", 2, 7,
         [] { EXPECT_EQ(2, b()); }},
        {"CALL in phase 0", "   CALL  0  // p\n   POP   V 1\n", 0, 0,
         [] { EXPECT_EQ(0, b()); }},
        {"CALL in phase 1", "   CALL  0  // p\n   POP   V 1\n", 1, 0, nullptr},
        {"DDELAY", "   PUSH  0.5\n   PUSH  1\n   FUNC  DDELAY\n", 2, none,
         [] { EXPECT_EQ(0.5, delayLine(1)->delay); }},
        {"SDELAY", "   PUSH  3\n   PUSH  1\n   FUNC  SDELAY\n", 2, none,
         [] {
             ASSERT_EQ(1, delayRecordCount(1));
             EXPECT_EQ(0.75, delayLine(1)->first->next->time);
             EXPECT_EQ(3, delayLine(1)->first->next->value);
         }},
        {"DELAY", "   PUSH  3\n   PUSH  1\n   FUNC  SDELAY\n   PUSH  T\n   PUSH  1\n"
                  "   FUNC  DELAY\n   POP   V 0\n", 2, 3, nullptr},
        {"UFUNC 2 POW", "   PUSH  3\n   PUSH  2\n   FUNC  UFUNC 2 \"POW\"\n   POP   V 0\n", 2, 8,
         nullptr},
    };
    for (int k = 0; k <= kPiMaxArguments; ++k) {
        double expected = k == 0 ? 42 : 0;
        for (int i = 1, w = 1; i <= k; ++i, w *= 10)
            expected += w * i;
        cases.push_back({"UFUNC " + std::to_string(k),
                         pushArguments(k) + "   FUNC  UFUNC " + std::to_string(k) + " \"F" +
                             std::to_string(k) + "\"\n   POP   V 0\n",
                         2, expected, nullptr});
        std::vector<double> arguments;
        for (int i = 1; i <= k; ++i)
            arguments.push_back(i);
        cases.push_back({"UPROC " + std::to_string(k),
                         pushArguments(k) + "   FUNC  UPROC " + std::to_string(k) + " \"P" +
                             std::to_string(k) + "\"\n",
                         2, none, [arguments] { EXPECT_EQ(arguments, procedureArguments); }});
    }

    std::set<int> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        procedureArguments = {-1};
        EXPECT_EQ(0, runBody(c.body, c.phase));
        if (!std::isnan(c.a)) {
            EXPECT_EQ(c.a, a());
        }
        if (c.check)
            c.check();
        EXPECT_EQ(0, piProgram.stackPointer);
        for (int i = 0; i < piProgram.cont.count; ++i)
            seen.insert(piProgram.cont.code[i].opcode);
    }
    // The label opcode never reaches a code array (see the fatal ends).
    for (int op = 0; op < kPiOpcodeCount; ++op)
        if (op != PI_LABEL) {
            EXPECT_TRUE(seen.count(op)) << kPiOpcodes[op].text;
        }
}

// The loader's fused copy runs every sequence it fuses as the plain code
// does: each body runs fused and then plain from the same start, and a, b,
// the derivatives and the division message agree. The last bodies jump into
// the middle of a fused pair.
TEST_F(PiInterpreterTest, FusedSequencesRunAsThePlainCode)
{
    std::vector<std::string> bodies = {
        "   PUSH  S 1\n   POP   V 0\n   PUSH  V 0\n   POP   V 1\n",
        "   PUSH  -3.25\n   POP   V 0\n   PUSH  S 0\n   POP   D 1\n",
        "   PUSH  P 1\n   POP   D 0\n   PUSH  P 0\n   POP   V 1\n",
        "   PUSH  S 0\n   PUSH  S 1\n   FUNC  ADD\n   PUSH  S 0\n   FUNC  SUB\n"
        "   PUSH  S 1\n   FUNC  MUL\n   PUSH  S 0\n   FUNC  DIV\n   POP   V 0\n",
        "   PUSH  T\n   PUSH  P 0\n   FUNC  ADD\n   PUSH  P 1\n   FUNC  SUB\n"
        "   PUSH  P 0\n   FUNC  MUL\n   PUSH  P 1\n   FUNC  DIV\n   POP   D 1\n",
        "   PUSH  D 0\n   PUSH  3\n   FUNC  ADD\n   PUSH  0.5\n   FUNC  SUB\n"
        "   PUSH  -2\n   FUNC  MUL\n   PUSH  8\n   FUNC  DIV\n   POP   V 0\n",
        "   PUSH  7\n   PUSH  0\n   FUNC  DIV\n   POP   V 0\n"
        "   PUSH  V 2\n   POP   V 2\n   PUSH  T\n   PUSH  V 2\n   FUNC  DIV\n   POP   V 1\n",
        "   PUSH  S 0\n   NIFT  $0\n   PUSH  S 1\n$0\n   POP   V 0\n   PUSH  5\n   POP   V 1\n",
        "   PUSH  2\n   PUSH  0\n   NIFF  $0\n   PUSH  P 0\n$0\n   FUNC  MUL\n   POP   V 0\n",
    };
    // Every operation with every pushed operand, popped into D, into V and
    // left on the stack; the operands include a zero divisor (V 2).
    for (const char* op : {"ADD", "SUB", "MUL", "DIV"})
        for (const char* operand : {"S 1", "V 2", "P 0", "-0.5", "0"})
            for (const char* to : {"   POP   D 1\n", "   POP   V 1\n",
                                   "   FUNC  CHS\n   POP   V 1\n"})
                bodies.push_back(std::string("   PUSH  S 0\n   PUSH  ") + operand +
                                 "\n   FUNC  " + op + "\n" + to);
    for (const std::string& body : bodies) {
        SCOPED_TRACE(body);
        auto run = [&](bool fused) {
            EXPECT_TRUE(loadPiText(piProgramText(section(""), section(body))));
            ASSERT_NE(nullptr, piProgram.cont.fused);
            if (!fused) {
                delete[] piProgram.cont.fused;
                piProgram.cont.fused = nullptr;
            }
            piProgram.derivative[0] = 0.25;
            runState.phase = 2;
            EXPECT_EQ(0, runContCode(0.75, piProgram.state[0], nullptr, nullptr,
                                     piProgram.derivative));
            EXPECT_EQ(0, piProgram.stackPointer);
        };
        run(true);
        const double fusedValues[] = {a(), b(), piProgram.derivative[0], piProgram.derivative[1]};
        const int fusedBoxes = boxesWith(20210);
        recording.sink.boxes.clear();
        resetRunErrors();
        run(false);
        const double plainValues[] = {a(), b(), piProgram.derivative[0], piProgram.derivative[1]};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(plainValues[i], fusedValues[i]) << i;
        EXPECT_EQ(boxesWith(20210), fusedBoxes);
        recording.sink.boxes.clear();
        resetRunErrors();
    }
}

TEST_F(PiInterpreterTest, DivisionByZeroIsShownOncePerRun)
{
    const std::string body = "   PUSH  7\n   PUSH  0\n   FUNC  DIV\n   POP   V 0\n"
                             "   PUSH  0\n   PUSH  -0.\n   FUNC  DIV\n   POP   V 1\n";
    EXPECT_EQ(0, runBody(body));
    EXPECT_EQ(1e100, a());
    EXPECT_EQ(1e100, b());
    EXPECT_EQ(1, boxesWith(20210));
    EXPECT_TRUE(runState.mathErrors & kMathErrorDivision);
    EXPECT_EQ(0, runContCode(0, piProgram.state[0], nullptr, nullptr, piProgram.derivative));
    EXPECT_EQ(1, boxesWith(20210));
    // The division goes on without stopping the run.
    EXPECT_EQ(0, runState.errorFlag);

    resetRunErrors();
    EXPECT_EQ(0, runContCode(0, piProgram.state[0], nullptr, nullptr, piProgram.derivative));
    EXPECT_EQ(2, boxesWith(20210));
}

TEST_F(PiInterpreterTest, AbortWithAStringIndexOutsideTheTable)
{
    const std::string body = "   PUSH  0\n   FUNC  ABORT\n   PUSH  5\n   FUNC  ABORT\n";
    EXPECT_EQ(kRunErrorStop, runBody(body));
    EXPECT_STREQ("", getExitMessage());
    EXPECT_EQ(kRunErrorStop, runState.errorFlag);
    ASSERT_EQ(1, boxesWith(20212));
    EXPECT_NE(std::string::npos, recording.sink.boxes.back().find("String Index 5 "));

    // ABORT 0 of a later run makes string 0 the EXIT message.
    resetRunErrors();
    EXPECT_EQ(0, runBody("   PUSH  0\n   FUNC  ABORT\n"));
    EXPECT_STREQ("Ende", getExitMessage());
}

TEST_F(PiInterpreterTest, FatalEnds)
{
    // Two values at END, and none (a section of only END).
    EXPECT_FATAL(runBody("   PUSH  1\n"), textPattern(20260));
    auto onlyEnd = [] {
        loadPiText(piProgramText(section(""), section(""), "DISCRET 1\nDISC 0\n   END\n"));
        runDiscreteSection(0, piProgram.state[0], nullptr, nullptr, 0);
    };
    EXPECT_FATAL(onlyEnd(), textPattern(20260));

    ASSERT_TRUE(loadPiText(piProgramText(section(""), section(""), kStoringSection)));
    PiInstruction label[2] = {};
    label[0].opcode = PI_LABEL;
    label[1].opcode = PI_END;
    PiCode code = {label, 2, ""};
    EXPECT_FATAL(execPICode(code, 0, nullptr, nullptr, nullptr, nullptr), textPattern(20261));
    label[0].opcode = kPiOpcodeCount;
    EXPECT_FATAL(execPICode(code, 0, nullptr, nullptr, nullptr, nullptr), textPattern(20261));

    EXPECT_FATAL(runDiscreteSection(0, piProgram.state[0], nullptr, nullptr, piProgram.ndiscr),
                 checkPattern("arg >= 0 && arg < ndiscr", 0));
    EXPECT_FATAL(runDiscreteSection(0, piProgram.state[0], nullptr, nullptr, -1),
                 checkPattern("arg >= 0 && arg < ndiscr", 0));
}

// DISC 0 counts a up and calls itself while a < limit.
std::string countingSection(int limit)
{
    return "DISCRET 1\n"
           "DISC  0  // p:0\n"
           "   PUSH  1\n"
           "   POP   V 3  // return\n"
           "   PUSH  V 0\n   PUSH  1\n   FUNC  ADD\n   POP   V 0\n"
           "   PUSH  V 0\n   PUSH  " +
           std::to_string(limit) +
           "\n   FUNC  LT\n   IFF   $0\n"
           "   CALL  0  // p\n   PUSH  V 3\n   FUNC  OR\n   POP   V 3\n"
           "$0\n"
           "   PUSH  V 3  // return\n"
           "   END\n";
}

TEST_F(PiInterpreterTest, CallNestingUpToTheLimitRuns)
{
    EXPECT_EQ(0, runBody("   CALL  0\n   POP   V 1\n", 2, 1024, countingSection(kMaxCallDepth)));
    EXPECT_EQ(kMaxCallDepth, a());
    EXPECT_EQ(0, boxesWith(20262));
    EXPECT_EQ(0, runState.errorFlag);
}

TEST_F(PiInterpreterTest, TooDeepCallNestingAbandonsTheWholeRun)
{
    // A procedure that calls itself without end.
    const int r = runBody("   PUSH  5\n   CALL  0\n   POP   V 1\n   POP   V 2\n", 2, 1024,
                          countingSection(1000000));
    EXPECT_EQ(kRunErrorStop, r);
    EXPECT_EQ(kMaxCallDepth, a());
    EXPECT_EQ(1, boxesWith(20262));
    EXPECT_EQ(kRunErrorStop, runState.errorFlag);
    EXPECT_EQ(0, piProgram.stackPointer);
    EXPECT_EQ(0, b());  // nothing after the CALL ran

    // The next run starts afresh from the same stack position.
    piProgram.stackPointer = 3;
    *valueSlot(0) = 0;
    runState.errorFlag = 0;
    EXPECT_EQ(kRunErrorStop, runDiscreteSection(0, piProgram.state[0], nullptr, nullptr, 0));
    EXPECT_EQ(3, piProgram.stackPointer);
    EXPECT_EQ(2, boxesWith(20262));
}

TEST_F(PiInterpreterTest, StackOverflowAbandonsTheRun)
{
    // n values on the stack at once.
    auto body = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += "   PUSH  " + std::to_string(i) + "\n";
        for (int i = 0; i < n; ++i)
            s += "   POP   V 0\n";
        return s;
    };
    EXPECT_EQ(0, runBody(body(16), 2, 16));
    EXPECT_EQ(0, boxesWith(20263));

    EXPECT_EQ(kRunErrorStop, runBody(body(17) + "   PUSH  1\n   POP   V 1\n", 2, 16));
    EXPECT_EQ(1, boxesWith(20263));
    EXPECT_EQ(0, piProgram.stackPointer);
    EXPECT_EQ(0, b());

    // An overflow inside a called section gives one message and restores the
    // outer stack.
    std::string deep = "DISCRET 1\nDISC 0\n" + body(20) + "   PUSH 1\n   END\n";
    EXPECT_EQ(kRunErrorStop, runBody("   PUSH  1\n   CALL  0\n   POP   V 1\n   POP   V 1\n", 2,
                                     16, deep));
    EXPECT_EQ(2, boxesWith(20263));
    EXPECT_EQ(0, boxesWith(20262));
    EXPECT_EQ(0, piProgram.stackPointer);
}

TEST_F(PiInterpreterTest, IntegerKeepsTheLow32BitsAndRefusesTheRest)
{
    EXPECT_EQ(2, piInteger(2.9));
    EXPECT_EQ(-2, piInteger(-2.9));
    EXPECT_EQ(3, piInteger(4294967299.0));
    EXPECT_EQ(-1, piInteger(4294967295.0));
    EXPECT_EQ(0, piInteger(NAN));
    EXPECT_EQ(0, piInteger(INFINITY));
    EXPECT_EQ(0, piInteger(-INFINITY));
    EXPECT_EQ(0, piInteger(9223372036854775808.0));
    EXPECT_EQ(0, piInteger(-9223372036854775808.0));
}

// A procedure with IF s == 0 THEN s := 1; ELSE s := 0; ENDIF as the parser
// leaves it: the condition in a hidden VAR, then the two IFs in written
// order.
TEST_F(PiInterpreterTest, IfElseThroughAHiddenCondition)
{
    const std::string discrete = "DISCRET 1\n"
                                 "DISC  0  // blk_p:0\n"
                                 "   PUSH  1\n"
                                 "   POP   V 3  // return\n\n"
                                 "#line 4\n"
                                 "   PUSH  V 0  // blk_s\n"
                                 "   PUSH  0\n"
                                 "   FUNC  EQ\n"
                                 "   POP   V 1  // blk_if0\n\n"
                                 "   PUSH  V 1  // blk_if0\n"
                                 "   IFF   $0\n"
                                 "#line 4\n"
                                 "   PUSH  1\n"
                                 "   POP   V 0  // blk_s\n\n"
                                 "$0\n"
                                 "   PUSH  V 1  // blk_if0\n"
                                 "   FUNC  NOT\n"
                                 "   IFF   $1\n"
                                 "#line 4\n"
                                 "   PUSH  0\n"
                                 "   POP   V 0  // blk_s\n\n"
                                 "$1\n"
                                 "   PUSH  V 3  // return\n"
                                 "   END\n";
    ASSERT_TRUE(loadPiText(piProgramText(section(""), section(""), discrete)));
    runState.phase = 2;
    EXPECT_EQ(1, runDiscreteSection(0, piProgram.state[0], nullptr, nullptr, 0));
    EXPECT_EQ(1, a());
    EXPECT_EQ(1, runDiscreteSection(0, piProgram.state[0], nullptr, nullptr, 0));
    EXPECT_EQ(0, a());
}

// A parameter POW(2, 10) and an output SIN(parameter * NOW).
TEST_F(PiInterpreterTest, LibraryFunctionsInInitAndCont)
{
    const std::string init = section("   PUSH  10\n   PUSH  2\n   FUNC  UFUNC 2 \"POW\"\n"
                                     "   POP   P 0  // blk_k\n",
                                     "0", 4);
    const std::string cont = section("   PUSH  T\n   PUSH  P 0  // blk_k\n   FUNC  MUL\n"
                                     "   FUNC  UFUNC 1 \"SIN\"\n   POP   V 1  // blk_y\n");
    ASSERT_TRUE(loadPiText(piProgramText(init, cont)));
    runState.phase = 2;
    EXPECT_EQ(0, runInitCode(0, 1));
    EXPECT_EQ(0, runContCode(0.5, piProgram.state[0], nullptr, nullptr, piProgram.derivative));
    EXPECT_EQ(1024, piProgram.value[0]);
    EXPECT_NEAR(std::sin(512.0), b(), 1e-12);
}

// ---- the fixtures, section by section as the simulator will run them

TEST_F(PiInterpreterTest, FixtureAStepIntoAPt1)
{
    ASSERT_TRUE(loadPiText(kFixtureA));
    PiProgram& p = piProgram;
    runState.phase = 2;
    runState.currentTime = 0;
    EXPECT_EQ(0, runInitCode(0, 1));
    // INIT schedules src_step AT t0 = 1 and ctl_stop AT tend = 10.
    ASSERT_EQ(2, eventCount());
    EXPECT_EQ(1.0, firstEvent()->time);
    EXPECT_EQ(0, firstEvent()->argument);
    EXPECT_EQ(10.0, firstEvent()->next->time);
    EXPECT_EQ(1, firstEvent()->next->argument);

    double* x = p.state[0];
    EXPECT_EQ(0, runContCode(0, x, nullptr, nullptr, p.derivative));
    EXPECT_EQ(0, *findPiSymbol("src_y")->value[0]);
    EXPECT_EQ(0, p.derivative[0]);

    ScheduledEvent* step = takeFirstEvent();
    EXPECT_EQ(PI_RESULT_DISCRETE,
              step->handler(step->time, x, nullptr, nullptr, step->argument));
    freeEvent(step);
    EXPECT_EQ(1, *findPiSymbol("src_on")->value[0]);

    // The loop in data-flow order: src_y, plant_y, sum_e, then dx.
    x[0] = 0.5;
    EXPECT_EQ(0, runContCode(1, x, nullptr, nullptr, p.derivative));
    EXPECT_EQ(1, *findPiSymbol("src_y")->value[0]);
    EXPECT_EQ(0.5, *findPiSymbol("plant_y")->value[0]);
    EXPECT_EQ(0.5, *findPiSymbol("sum_e")->value[0]);
    EXPECT_DOUBLE_EQ((2 * 0.5 - 0.5) / 6, p.derivative[0]);  // (K*u - x)/T

    ScheduledEvent* stop = takeFirstEvent();
    EXPECT_EQ(PI_RESULT_DISCRETE | PI_RESULT_STOP,
              stop->handler(stop->time, x, nullptr, nullptr, stop->argument));
    freeEvent(stop);
}

TEST_F(PiInterpreterTest, FixtureBSamplerAndExit)
{
    ASSERT_TRUE(loadPiText(kFixtureB));
    PiProgram& p = piProgram;
    runState.phase = 2;
    EXPECT_EQ(0, runInitCode(0, 1));
    ASSERT_EQ(2, eventCount());
    EXPECT_EQ(1e30, firstEvent()->next->time);

    // Each sample holds u at its time and schedules the next one Ts later.
    for (int k = 0; k < 4; ++k) {
        double t = 0.5 * k;
        runState.currentTime = t;
        EXPECT_EQ(0, runContCode(t, p.state[0], nullptr, nullptr, p.derivative));
        ScheduledEvent* e = takeFirstEvent();
        ASSERT_EQ(t, e->time);
        EXPECT_EQ(1, e->handler(e->time, p.state[0], nullptr, nullptr, e->argument));
        freeEvent(e);
        EXPECT_EQ(2 * t, *findPiSymbol("smp_yk")->value[0]);
        ASSERT_EQ(2, eventCount());
        EXPECT_EQ(t + 0.5, firstEvent()->time);
    }

    // fin at the end of the run: EXIT "Ende".
    ScheduledEvent* fin = firstEvent()->next;
    EXPECT_EQ(PI_RESULT_DISCRETE | PI_RESULT_EXIT,
              fin->handler(fin->time, p.state[0], nullptr, nullptr, fin->argument));
    EXPECT_STREQ("Ende", getExitMessage());
}

TEST_F(PiInterpreterTest, FixtureDDeadTime)
{
    ASSERT_TRUE(loadPiText(kFixtureD));
    PiProgram& p = piProgram;
    runState.phase = 2;
    EXPECT_EQ(0, runInitCode(0, 1));
    EXPECT_EQ(0.3, delayLine(0)->delay);
    // u = t sampled every 0.1: y(t) = u(t - 0.3) held, 0 before the first.
    for (int k = 0; k <= 30; ++k) {
        double t = k / 10.0;
        EXPECT_EQ(0, runContCode(t, p.state[0], nullptr, nullptr, p.derivative));
        double expected = k >= 3 ? (k - 3) / 10.0 : 0.0;
        EXPECT_NEAR(expected, *findPiSymbol("tot_y")->value[0], 1e-12) << "t = " << t;
    }
    // Old records are freed as the line moves on.
    EXPECT_LE(delayRecordCount(0), 5);
}

} // namespace
