// The PI text buffer and the loader: tables built from fixture texts, the
// format's edge cases, every format error as a fatal report, and reloading.
#include "PiTestSupport.h"
#include "PiFixtures.h"

#include "DelayLines.h"
#include "DiscreteFlags.h"
#include "EventQueue.h"
#include "PiOpcodes.h"

#include <cstring>

using namespace pitest;

namespace {

// ---- PI text buffer

class PiTextBufferTest : public ::testing::Test {
protected:
    void TearDown() override { freeCodeBuffer(&piTextBuffer); }
    RecordingScope recording;   // also keeps ERROR.LOG from being written
};

std::vector<std::string> readAll()
{
    std::vector<std::string> lines;
    rewindCodeBuffer(&piTextBuffer, 0);
    while (const char* l = nextCodeLine(&piTextBuffer))
        lines.push_back(l);
    return lines;
}

TEST_F(PiTextBufferTest, LinesAreCompletedAcrossCallsAndFlushed)
{
    codeBufferPrintf(&piTextBuffer, "   PUSH  %s", "V");
    codeBufferPrintf(&piTextBuffer, " %d  // x\nEND", 3);
    EXPECT_EQ(1, codeLineCount(&piTextBuffer));
    flushCodeBuffer(&piTextBuffer);
    flushCodeBuffer(&piTextBuffer);  // nothing pending: no empty line
    EXPECT_EQ((std::vector<std::string>{"   PUSH  V 3  // x\n", "END\n"}), readAll());
}

TEST_F(PiTextBufferTest, ALineOfAnyLengthIsKept)
{
    std::string comment(5000, 'a');
    codeBufferPrintf(&piTextBuffer, "   \"p\"  1.  // 0 %s\n", comment.c_str());
    std::vector<std::string> lines = readAll();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(5000u + 18u, lines[0].size());
}

TEST_F(PiTextBufferTest, RewindWithForgetStartsAnEmptyText)
{
    codeBufferPrintf(&piTextBuffer, "a\nb\npartial");
    rewindCodeBuffer(&piTextBuffer, 1);
    EXPECT_EQ(0, codeLineCount(&piTextBuffer));
    codeBufferPrintf(&piTextBuffer, "c\n");
    EXPECT_EQ((std::vector<std::string>{"c\n"}), readAll());
}

TEST_F(PiTextBufferTest, ReadCodeLineCopiesAndRefusesASmallBuffer)
{
    codeBufferPrintf(&piTextBuffer, "abc\n");
    rewindCodeBuffer(&piTextBuffer, 0);
    char line[5];
    ASSERT_NE(nullptr, readCodeLine(line, sizeof line, &piTextBuffer));
    EXPECT_STREQ("abc\n", line);
    EXPECT_EQ(nullptr, readCodeLine(line, sizeof line, &piTextBuffer));
    rewindCodeBuffer(&piTextBuffer, 0);
    char small[4];
    EXPECT_FATAL(readCodeLine(small, sizeof small, &piTextBuffer), textPattern(20222));
}

// ---- the loaded tables

class PiLoaderTest : public PiEngineTest {};

TEST_F(PiLoaderTest, FixtureABuildsRowsValuesAndCode)
{
    ASSERT_TRUE(loadPiText(kFixtureA));
    const PiProgram& p = piProgram;
    EXPECT_EQ(1, p.nstates);
    EXPECT_EQ(8, p.nvariables);
    EXPECT_EQ(5, p.nparameters);
    EXPECT_EQ(2, p.ndiscr);
    EXPECT_EQ(0, p.nstrings);
    EXPECT_EQ(1024, p.stackSize);
    EXPECT_EQ(0, p.stackPointer);

    struct Row {
        const char* name;
        int kind;
        int flags;
    };
    const Row rows[] = {
        {"t", PI_INDEPENDENT, PI_SAVE},   {"plant_x", PI_STATE, 0},
        {"dplant_x", PI_DERIVATIVE, PI_SAVE}, {"src_y", PI_VARIABLE, 0},
        {"src_on", PI_VARIABLE, 0},       {"sum_e", PI_VARIABLE, 0},
        {"plant_y", PI_VARIABLE, PI_SAVE}, {"src_h", PI_PARAMETER, 0},
        {"src_t0", PI_PARAMETER, 0},      {"plant_K", PI_PARAMETER, 0},
        {"plant_T", PI_PARAMETER, 0},     {"ctl_tend", PI_PARAMETER, 0},
    };
    ASSERT_EQ(static_cast<int>(sizeof rows / sizeof rows[0]), p.nsymbols);
    for (int i = 0; i < p.nsymbols; ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_STREQ(rows[i].name, p.symbols[i].name);
        EXPECT_EQ(rows[i].kind, p.symbols[i].kind);
        EXPECT_EQ(rows[i].flags, p.symbols[i].flags);
        EXPECT_EQ(0u, p.symbols[i].label.getLength());
    }

    // The value addresses by kind: three buffers, or one slot.
    EXPECT_EQ(&p.t[2], findPiSymbol("t")->value[2]);
    EXPECT_EQ(&p.state[1][0], findPiSymbol("plant_x")->value[1]);
    EXPECT_EQ(&p.derivative[0], findPiSymbol("dplant_x")->value[0]);
    EXPECT_EQ(nullptr, findPiSymbol("dplant_x")->value[1]);
    EXPECT_EQ(valueSlot(3), findPiSymbol("plant_y")->value[0]);
    EXPECT_EQ(&p.value[3], findPiSymbol("plant_T")->value[0]);
    EXPECT_EQ(6.0, *findPiSymbol("plant_T")->value[0]);
    EXPECT_EQ(10.0, p.value[4]);
    EXPECT_EQ(nullptr, findPiSymbol("sum_x"));

    // Label lines and blank lines are not instructions; the operands are
    // resolved.
    ASSERT_EQ(14, p.init.count);
    ASSERT_EQ(22, p.cont.count);
    EXPECT_EQ(PI_PUSH_V, p.cont.code[2].opcode);
    EXPECT_EQ(&p.value[0], p.cont.code[2].u.value);        // P 0
    EXPECT_EQ(valueSlot(1), p.cont.code[3].u.value);       // V 1
    EXPECT_EQ(12, p.cont.code[2].line);
    EXPECT_EQ(PI_POP_D, p.cont.code[19].opcode);
    EXPECT_EQ(PI_END, p.cont.code[21].opcode);
    EXPECT_EQ(PI_SCHED, p.init.code[7].opcode);
    EXPECT_EQ(8, p.discrete[1].count);
    EXPECT_TRUE(hasDiscreteFlags());  // EVENTS 0: only the immediate flag
    EXPECT_EQ(0, discreteFlagCount());
    EXPECT_EQ(0, delayLineCount());
}

TEST_F(PiLoaderTest, FixtureBReadsAtExitAsExactlyTheNoTime)
{
    ASSERT_TRUE(loadPiText(kFixtureB));
    const PiProgram& p = piProgram;
    EXPECT_EQ(0, p.nstates);
    ASSERT_EQ(1, p.nstrings);
    EXPECT_STREQ("Ende", p.strings[0]);
    EXPECT_STREQ("Ende", piStringText(0));
    EXPECT_EQ(nullptr, piStringText(1));
    const PiInstruction& atExit = p.init.code[8];
    ASSERT_EQ(PI_PUSH_NUMBER, atExit.opcode);
    EXPECT_EQ(1e30, atExit.u.number);
    EXPECT_EQ(30, atExit.line);
}

TEST_F(PiLoaderTest, FixtureDCreatesTheDelayLine)
{
    ASSERT_TRUE(loadPiText(kFixtureD));
    EXPECT_EQ(1, delayLineCount());
    EXPECT_EQ(0, delayRecordCount(0));
    EXPECT_EQ(PI_DELAY, piProgram.cont.code[11].opcode);
}

TEST_F(PiLoaderTest, JumpsGoToTheInstructionAfterTheirLabel)
{
    std::string cont = section("   PUSH  V 0\n"
                               "   NIFF  $1\n"
                               "$0\n"
                               "   GOTO  $0\n"
                               "$1\n"
                               "$1\n"
                               "   PUSH  1\n"
                               "   FUNC  ADD\n"
                               "   POP   V 0\n");
    ASSERT_TRUE(loadPiText(piProgramText(section(""), cont)));
    const PiInstruction* code = piProgram.cont.code;
    EXPECT_EQ(PI_NIFF, code[3].opcode);
    EXPECT_EQ(&code[5], code[3].u.target);  // the first $1
    EXPECT_EQ(&code[4], code[4].u.target);  // GOTO $0 jumps to itself
}

TEST_F(PiLoaderTest, LoadingClearsTheCompilePhaseAndRunsTheLoadHooks)
{
    setOption(OPTION_COMPILE_PHASE);
    loadHookResult = 1;
    EXPECT_FALSE(loadPiText(kFixtureA));
    EXPECT_EQ(0, testOption(OPTION_COMPILE_PHASE));
    EXPECT_EQ(0, codeLineCount(&piTextBuffer));  // the text is freed
    unloadPICode();
    EXPECT_EQ(1, unloadHookRuns);
}

// The edge cases of the format that load.
TEST_F(PiLoaderTest, EdgeCasesThatLoad)
{
    struct Case {
        const char* name;
        std::string text;
    };
    const std::string minimal = piProgramText(section(""), section(""));
    const Case cases[] = {
        {"blank and comment lines before EXAMPLE",
         "\n  \n// a comment\n   // another\n" + minimal},
        {"DISCRET 0 without DISC", minimal},
        {"a section that holds only END",
         piProgramText("   END\n", section(""), "DISCRET 1\nDISC 0\n   END\n")},
        {"a 5000-character PARAMS line",
         [&] {
             std::string t = minimal;
             std::string line = "   \"k\"  2.5  // 0";
             t.replace(t.find(line), line.size(), line + std::string(5000, 'x'));
             return t;
         }()},
        {"no INDEP and no STRINGS",
         "EXAMPLE \"x\"\nSTATES 0\nDERIV\nDSTATES 0\nVARS 1\nPARAMS 0\nEVENTS 0\nDELAYS 0\n"
         "INIT\n   PUSH 0\n   END\nCONT\n   PUSH 0\n   END\nDISCRET 0\n"},
        {"tabs as blanks",
         "EXAMPLE\t\"x\"\nSTATES\t0\nDERIV\nDSTATES 0\nVARS 1\n\t\"v\"\tSAVE\tINP\nPARAMS 0\n"
         "EVENTS 0\nDELAYS 0\nINIT\n\tPUSH\t-1.5e-3\n\tEND\nCONT\n\tPUSH\t.5\n\tEND\nDISCRET 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(loadPiText(c.text));
        unloadPICode();
    }
}

TEST_F(PiLoaderTest, PushVZeroIsTheSlotAfterTheLastParameter)
{
    ASSERT_TRUE(loadPiText(piProgramText(section(""), section("   PUSH  V 0\n   POP   P 1\n"))));
    EXPECT_EQ(piProgram.value + 2, piProgram.cont.code[2].u.value);
    EXPECT_EQ(piProgram.value + 1, piProgram.cont.code[3].u.value);
}

// Every format error ends the program: its own message, or 19800 with the
// check text and the PI line.
TEST_F(PiLoaderTest, FormatErrorsAreFatal)
{
    struct Case {
        const char* name;
        std::string text;
        std::string pattern;
    };
    const std::string good = piProgramText(section(""), section(""));
    // good with the first occurrence of from replaced.
    auto edit = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        size_t at = t.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        t.replace(at, from.size(), to);
        return t;
    };
    // The PI line of the first line that holds what.
    auto lineOf = [](const std::string& text, const std::string& what) {
        size_t at = text.find(what);
        int line = 1;
        for (size_t i = 0; i < at; ++i)
            line += text[i] == '\n';
        return line;
    };
    auto lineOfAfter = [](const std::string& text, const std::string& after,
                          const std::string& what) {
        size_t at = text.find(what, text.find(after));
        int line = 1;
        for (size_t i = 0; i < at; ++i)
            line += text[i] == '\n';
        return line;
    };
    auto check = [&](const std::string& text, const std::string& test, const std::string& at) {
        return checkPattern(test, lineOf(text, at));
    };

    std::vector<Case> cases;
    auto add = [&](const char* name, const std::string& text, const std::string& pattern) {
        cases.push_back({name, text, pattern});
    };
    {
        std::string t = edit("DSTATES  0", "DSTATES  1");
        add("DSTATES 1", t, textPattern(20225));
    }
    {
        std::string t = edit("   END\n", "   END//x\n");
        add("END//x", t, textPattern(20224) + std::to_string(lineOf(t, "END//x")));
    }
    {
        std::string t = edit("   \"x1\"  -2.  // 1\n", "   \"x1\"  -2.  // 1\n   \"x2\"  0.\n");
        add("a third line under STATES 2", t, check(t, "nstate < nmaxstate", "\"x2\""));
    }
    {
        std::string t = edit("   \"dx1\"   // 1\n", "   \"dx1\"   // 1\n   \"dx2\"\n");
        add("a third line under DERIV", t, check(t, "nstate < nmaxstate", "\"dx2\""));
    }
    {
        std::string t = edit("VARS     6", "VARS     2");
        add("VARS 2 with three lines", t, check(t, "nstate < nmaxstate", "\"c\""));
    }
    {
        std::string t = edit("PARAMS   2", "PARAMS   1");
        add("PARAMS 1 with two lines", t, check(t, "nstate < nmaxstate", "\"m\""));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5", "   PUSH  V -1\n   POP   V 5");
        add("PUSH V -1", t,
            check(t, "p.u.index >= 0 && p.u.index < nvariables", "PUSH  V -1"));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5", "   PUSH  V 6\n   POP   V 5");
        add("PUSH V beyond the VARS count", t,
            check(t, "p.u.index >= 0 && p.u.index < nvariables", "PUSH  V 6"));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5", "   PUSH  P 0.5\n   POP   V 5");
        add("PUSH P of a fraction", t,
            check(t, "p.u.index >= 0 && p.u.index < nparameters", "PUSH  P 0.5"));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5", "   PUSH  S 2\n   POP   V 5");
        add("PUSH S beyond the states", t,
            check(t, "p.u.index >= 0 && p.u.index < ordn", "PUSH  S 2"));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5", "   PUSH  0\n   POP   T");
        add("POP T", t, check(t, "ftoken == ATPUSH", "POP   T"));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5",
                             "   PUSH  1\n   FUNC  UFUNC 1 \"NOSUCH\"\n   POP   V 5");
        add("an unknown UFUNC", t, check(t, "f != (KYT2xFunction*)0", "NOSUCH"));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5",
                             "   PUSH  1\n   FUNC  UFUNC 1 \"F2\"\n   POP   V 5");
        add("a UFUNC with the wrong argument count", t,
            check(t, "k == argumentCount(f)", "\"F2\""));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5",
                             "   PUSH  1\n   FUNC  UPROC 1 \"F0\"\n   PUSH  0\n   POP   V 5");
        add("a function called as a procedure", t,
            check(t, "f->kind & (ATUFUNC ? 1 : 2)", "\"F0\""));
    }
    {
        std::string t = edit("   \"k\"  2.5", "   \"k\"  -inf");
        add("-inf", t, check(t, "sscanf(s, \"%lf\", &ctok.u.number) == 1", "-inf"));
    }
    {
        std::string t = edit("   \"k\"  2.5", "   \"k\"  1e999");
        add("1e999", t, check(t, "sscanf(s, \"%lf\", &ctok.u.number) == 1", "1e999"));
    }
    {
        std::string t = edit("   \"k\"  2.5", "   \"k\"  2.5x");
        add("a number glued to a word", t,
            check(t, "sscanf(s, \"%lf\", &ctok.u.number) == 1", "2.5x"));
    }
    {
        std::string t = edit("EVENTS   3", "EVENTS   -1");
        add("EVENTS -1", t, check(t, "n >= 0", "EVENTS"));
    }
    {
        std::string t = edit("DISCRET 0\n", "DISCRET -1\n");
        add("DISCRET -1", t, check(t, "ndiscr >= 0", "DISCRET"));
    }
    {
        std::string t = edit("   PUSH  0\n   POP   V 5", "   CALL  2\n   POP   V 5");
        t.replace(t.find("DISCRET 0\n"), 10, "DISCRET 1\nDISC 0\n   PUSH 1\n   END\n");
        add("CALL 2 with DISCRET 1", t, check(t, "callIndex < ndiscr", "CALL  2"));
    }
    {
        std::string t = edit("DISCRET 0\n", "DISCRET 1\nDISC 1\n   PUSH 1\n   END\n");
        add("DISC numbered out of order", t, check(t, "i == (int)ctok.u.number", "DISC 1"));
    }
    {
        std::string t = good + "END\n";
        add("text after the last section", t,
            checkPattern("ctok.token == ATEOF", lineOfAfter(t, "DISCRET", "END")));
    }
    {
        std::string t = piProgramText(section("   PUSH 0\n   IFF $1\n$1\n"),
                                      section("   PUSH 0\n   IFF $1\n"));
        add("a jump to a label of another section", t,
            checkPattern("h1 != (picodelist *)0", lineOfAfter(t, "\nCONT\n", "IFF $1")));
    }
    {
        std::string t = piProgramText(section("   FUNC  ADD\n   POP V 0\n"), section(""));
        add("an operator without operands", t,
            checkPattern("depth >= pops", lineOf(t, "FUNC  ADD")));
    }
    {
        std::string t = piProgramText(section(""), "   PUSH  0\n");
        add("a section without END", t, check(t, "error", "DISCRET"));
    }
    {
        std::string t = edit("   \"zwei\"  // 1\n", "   \"zwei\"  // 1\n   \"drei\"\n");
        add("a third string under STRINGS 2", t, check(t, "index < nstrings", "\"drei\""));
    }
    {
        std::string t = edit("STRINGS  2", "STRINGS  3");
        add("fewer strings than counted", t, checkPattern("nstate == nmaxstate", lineOf(t, "EVENTS")));
    }
    {
        std::string t = edit("   \"zwei\"  // 1\n", "   \"zwei\"  // 1\nSTRINGS 1\n");
        add("a second STRINGS section", t, textPattern(20229));
    }
    {
        std::string t = edit("   \"Ende\"  // 0", "   \"Ende  // 0");
        add("a string open at the line end", t, textPattern(20223));
    }
    {
        std::string t = edit("EXAMPLE \"fixture\"", "EXAMPLE fixture");
        add("a name without quotes", t, textPattern(20224));
    }
    {
        std::string t = edit("DELAYS   2\n", "");
        add("no DELAYS", t, check(t, "ctok.token == ATDELAYS", "INIT\n"));
    }
    {
        std::string t = edit("   \"b\"  SAVE // 1", "   \"b\"  INP SAVE // 1");
        add("the optional words out of order", t, check(t, "ctok.token == ATEOL", "INP SAVE"));
    }
    {
        std::string t = good;
        t.replace(t.find("\"fixture\""), 9, "\"" + std::string(1024, 'n') + "\"");
        add("a string of 1024 characters", t, checkPattern("s < PBUFSZ", 2));
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FATAL(loadPiText(c.text), c.pattern);
    }
}

TEST_F(PiLoaderTest, AStackOfNoEntriesIsRefused)
{
    EXPECT_FATAL(loadPiText(kFixtureA, 0), textPattern(20600));
}

TEST_F(PiLoaderTest, UnloadZeroesEveryCountAndReloadWorks)
{
    ASSERT_TRUE(loadPiText(piProgramText(section(""), section(""), "DISCRET 1\nDISC 0\n"
                                                                     "   PUSH 1\n   END\n")));
    EXPECT_EQ(3, discreteFlagCount());
    ScheduleEvent(5, 0, nullptr, 0, 0, "x");
    unloadPICode();
    const PiProgram& p = piProgram;
    EXPECT_EQ(0, p.nstates);
    EXPECT_EQ(0, p.nvariables);
    EXPECT_EQ(0, p.nparameters);
    EXPECT_EQ(0, p.nstrings);
    EXPECT_EQ(0, p.ndiscr);
    EXPECT_EQ(0, p.nsymbols);
    EXPECT_EQ(0, p.stackSize);
    EXPECT_EQ(0, p.init.count);
    EXPECT_EQ(0, p.cont.count);
    EXPECT_EQ(nullptr, p.value);
    EXPECT_EQ(0, eventCount());
    EXPECT_FALSE(hasDiscreteFlags());
    EXPECT_EQ(0, delayLineCount());
    EXPECT_STREQ("", getExitMessage());

    ASSERT_TRUE(loadPiText(kFixtureA));
    EXPECT_EQ(8, piProgram.nvariables);
    // Loading over a loaded program frees the old one first.
    ASSERT_TRUE(loadPiText(kFixtureD));
    EXPECT_EQ(1, delayLineCount());
}

} // namespace
