// The fuzzy-block text: scanner, grammar, wizard-line positioning and the
// writer, with round trips through fixture files.
#include "FuzzyTestSupport.h"

#include "FuzzyBlockWriter.h"

#include "FileLayer.h"
#include "ResString.h"
#include "SmallStack.h"

#include <sys/stat.h>

using namespace fuzzytest;

namespace {

struct PassResult {
    int result;
    std::string message;
    std::vector<std::string> boxes;
};

// One pass over a text stored as a file, positioned as FZINIT does it.
PassResult runPass(FuzzyParser& parser, const std::string& text)
{
    ScratchDir dir;
    std::string path = dir.write("t.kyb", text);
    ErrorBoxScope scope;
    FILE* f = openFile(path.c_str(), "rt");
    EXPECT_TRUE(f != nullptr);
    FuzzyLineSource source = positionFuzzyInput(f);
    parser.setInput(&source);
    PassResult r;
    r.result = parser.parse();
    parser.setInput(nullptr);
    fclose(f);
    r.message = parser.getMessage();
    r.boxes = scope.sink.boxes;
    return r;
}

PassResult checkText(const std::string& text)
{
    FuzzyCheckParser p;
    return runPass(p, text);
}

// The block of a text, or null; the detail says why.
FuzzyKernel* buildText(const std::string& text, std::string* detail = nullptr)
{
    FuzzyReadResult r;
    return readText(text, &r, detail);
}

std::string writeToFile(const FuzzyBlock* b, const char* ruleText = nullptr)
{
    ScratchDir dir;
    std::string path = dir.file("out.kyb");
    EXPECT_EQ(1, FuzzyBlockWrite(b, path.c_str(), ruleText));
    return readFileBytes(path);
}

std::string writeToStream(const FuzzyBlock* b, const char* ruleText = nullptr)
{
    FILE* f = tmpfile();
    EXPECT_EQ(1, FuzzyBlockWrite(b, nullptr, ruleText, f));
    return bytesWrittenTo(f);
}

const std::string kFull = readFileBytes(fixturePath("full.kyb"));

TEST(FuzzyTextRoundTrip, FullFixtureIsWrittenBackByteForByte)
{
    ASSERT_FALSE(kFull.empty());
    std::string detail;
    KernelHolder k(buildText(kFull, &detail));
    ASSERT_TRUE(k.kernel) << detail;
    EXPECT_EQ(kFull, writeToFile(k->getBlock()));
    EXPECT_EQ(prefixLines(kFull), writeToStream(k->getBlock()));
}

TEST(FuzzyTextRoundTrip, EmbeddedInAWizardBlock)
{
    for (const char* line : {"$WIZARD Fuzzy \"C:\\KYT\\a.kyb\"", "$ WIZARD Fuzzy \"b\"", "$   WIZARD x"}) {
        SCOPED_TRACE(line);
        std::string detail;
        KernelHolder k(buildText(wizardBlock(kFull, line), &detail));
        ASSERT_TRUE(k.kernel) << detail;
        EXPECT_EQ(prefixLines(kFull), writeToStream(k->getBlock()));
    }
}

TEST(FuzzyTextRoundTrip, CrlfFileReadsLikeItsLfTwin)
{
    std::string crlf = replaceAll(kFull, "\n", "\r\n");
    for (const std::string& text : {crlf, replaceAll(wizardBlock(kFull), "\n", "\r\n")}) {
        std::string detail;
        KernelHolder k(buildText(text, &detail));
        ASSERT_TRUE(k.kernel) << detail;
        EXPECT_EQ(kFull, writeToFile(k->getBlock()));
        EXPECT_STREQ("Raumregler; Stellgröße in Prozent", k->getBlock()->comment);
    }
}

TEST(FuzzyTextModel, WhatTheBuildPassKeeps)
{
    KernelHolder k(buildText(kFull));
    ASSERT_TRUE(k.kernel);
    FuzzyBlock* b = k->getBlock();
    EXPECT_STREQ("Heizung Raum 1", b->name);
    EXPECT_EQ(FZ_INFERENCE_MAX_PROD, b->config->inference);
    EXPECT_EQ(FZ_DEFUZZ_MAX, b->config->defuzzification);
    FuzzyVariable* temp = b->inputs;
    EXPECT_STREQ("temp", temp->name);
    EXPECT_STREQ("dT", temp->next->name);
    EXPECT_EQ(nullptr, temp->next->next);
    EXPECT_STREQ("3.e+01", temp->xmax);
    EXPECT_STREQ("0.5", temp->grid);
    EXPECT_EQ(nullptr, temp->next->grid);
    FuzzyMember* kalt = temp->members;
    EXPECT_STREQ("kalt", kalt->name);
    EXPECT_STREQ("warm", kalt->next->name);
    EXPECT_STREQ("exakt", kalt->next->next->name);
    EXPECT_EQ(5, kalt->color);  // blue
    EXPECT_STREQ("12", kalt->position->first);
    EXPECT_STREQ("40", kalt->position->second);
    EXPECT_EQ(-10.5, kalt->set->value[0]);
    EXPECT_EQ(kFuzzyNoColor, kalt->next->next->color);
    EXPECT_EQ(FZ_SHAPE_SINGLETON, kalt->next->next->set->shape);
    EXPECT_EQ(21.5, kalt->next->next->set->value[0]);
    EXPECT_EQ(-1e-5, temp->next->members->set->value[0]);
    FuzzyRuleNode* r = b->rules;
    EXPECT_STREQ("0.75", r->rule->cfText);
    EXPECT_EQ(0.75, r->rule->cf);
    EXPECT_EQ(nullptr, r->next->rule->cfText);
    EXPECT_EQ(1.0, r->next->rule->cf);
    EXPECT_EQ(1.0, r->next->next->rule->cf);
    EXPECT_EQ(nullptr, r->next->next->next);
}

TEST(FuzzyTextModel, GroupingOfAndOrNot)
{
    struct {
        const char* premise;
        const char* written;
    } cases[] = {
        {"e==N OR e==Z AND de==P", "((e==N) OR ((e==Z) AND (de==P)))"},
        {"e==N AND e==Z OR de==P", "(((e==N) AND (e==Z)) OR (de==P))"},
        {"e==N OR e==Z OR de==P", "(((e==N) OR (e==Z)) OR (de==P))"},
        {"(e==N OR e==Z) AND de==P", "(((e==N) OR (e==Z)) AND (de==P))"},
        {"NOT e==N AND de==P", "(NOT ((e==N)) AND (de==P))"},
        {"NOT (e==N AND de==P)", "NOT (((e==N) AND (de==P)))"},
        {"((((e==N))))", "(e==N)"},
    };
    for (const auto& c : cases) {
        std::string text = replaceAll(readFileBytes(fixturePath("pd9T.kyb")), "IF ((e==N) AND (de==N)) THEN u=NB;",
                                      std::string("IF ") + c.premise + " THEN u=NB;");
        KernelHolder k(buildText(text));
        ASSERT_TRUE(k.kernel) << c.premise;
        std::string out = writeToFile(k->getBlock());
        EXPECT_NE(std::string::npos, out.find(std::string("\nIF ") + c.written + " THEN u=NB;\n")) << c.premise;
    }
}

// A premise of AND after AND, as long as the reader takes it: up to the
// nesting the reader's stack reads back the rule is written fully
// parenthesised, beyond it as one chain; either way it reads back to the
// same rule, and every walk over it holds on the programs' 1 MiB stack.
TEST(FuzzyTextWriter, LongChainsAreWrittenSoThatTheyReadBack)
{
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    const std::string firstRule = "IF ((e==N) AND (de==N)) THEN u=NB;";
    KernelHolder plain(buildText(pd9));
    ASSERT_TRUE(plain.kernel);
    const struct {
        int ands;
        bool full;
    } cases[] = {{74, true}, {75, false}, {5000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ands);
        std::string premise;
        std::string written = c.full ? std::string(static_cast<size_t>(c.ands), '(') : "(";
        for (int i = 0; i <= c.ands; ++i) {
            const char* compare = i % 2 ? "de==N" : "e==N";
            premise += std::string(i ? " AND " : "") + compare;
            written += std::string(i ? " AND " : "") + "(" + compare + ")" + (c.full && i ? ")" : "");
        }
        if (!c.full)
            written += ")";
        std::string text = replaceAll(pd9, firstRule, "IF " + premise + " THEN u=NB;");
        std::string first, again, detail;
        std::vector<double> degrees;
        ASSERT_TRUE(runOnSmallStack([&] {
            KernelHolder k(buildText(text, &detail));
            if (!k.kernel)
                return;
            first = writeToFile(k->getBlock());
            KernelHolder back(buildText(first, &detail));
            if (!back.kernel)
                return;
            again = writeToFile(back->getBlock());
            for (FuzzyKernel* kernel : {k.kernel, back.kernel})
                degrees.push_back(evaluate(kernel, 0.5, -0.25));
        }));
        ASSERT_EQ(2u, degrees.size()) << detail;
        EXPECT_EQ(replaceAll(pd9, firstRule, "IF " + written + " THEN u=NB;"), first);
        EXPECT_EQ(first, again);
        for (double d : degrees)
            EXPECT_EQ(evaluate(plain.kernel, 0.5, -0.25), d);
    }
}

// Writing a block without inputs, outputs and rules gives the skeleton,
// which reads back as a complete block.
TEST(FuzzyTextWriter, SkeletonOfAnEmptyBlock)
{
    FuzzyKernel* owner = new FuzzyKernel;
    KernelHolder hold(owner);
    FuzzyBlock::finish(owner, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    const std::string skeleton =
        "FBLOCK fuzzy;\n\nCONFIGURATION;\n   AND_METHOD = min;\n   OR_METHOD = max;\n"
        "   INFERENCE_METHOD = max_prod;\n   DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n\n"
        "INPUTVAR in1;\n   XMIN 0;\n   XMAX 100;\n   MEMBER msf1;\n      SINGLETON 50;\n   ENDMEMBER;\nENDINPUTVAR;\n\n"
        "OUTPUTVAR out1;\n   XMIN 0;\n   XMAX 100;\n   MEMBER msf1;\n      SINGLETON 50;\n   ENDMEMBER;\nENDOUTPUTVAR;\n\n"
        "RULEBASE;\n   IF (in1==msf1) THEN out1=msf1;\nENDRULEBASE;\n\nENDFBLOCK;\n";
    EXPECT_EQ(skeleton, writeToFile(owner->getBlock()));

    std::string detail;
    KernelHolder k(buildText(skeleton, &detail));
    ASSERT_TRUE(k.kernel) << detail;
    FuzzyBlock* b = k->getBlock();
    EXPECT_STREQ("fuzzy", b->name);
    EXPECT_STREQ("in1", b->inputs->name);
    EXPECT_STREQ("out1", b->outputs->name);
    EXPECT_STREQ("msf1", b->outputs->members->name);
    EXPECT_EQ(50.0, b->outputs->members->set->value[0]);
    EXPECT_NE(nullptr, b->rules);
    EXPECT_EQ(nullptr, b->rules->next);
}

TEST(FuzzyTextWriter, RuleTextReplacesTheRules)
{
    KernelHolder k(buildText(readFileBytes(fixturePath("pd9T.kyb"))));
    ASSERT_TRUE(k.kernel);
    const char* rules = "IF (e==N) THEN u=NB;\n\nIF (e==P) THEN u=PB;";
    std::string plain = writeToFile(k->getBlock(), rules);
    EXPECT_NE(std::string::npos, plain.find("RULEBASE;\nIF (e==N) THEN u=NB;\n\nIF (e==P) THEN u=PB;\nENDRULEBASE;\n"));
    std::string embedded = writeToStream(k->getBlock(), rules);
    EXPECT_NE(std::string::npos,
              embedded.find("#RULEBASE;\n#IF (e==N) THEN u=NB;\n#\n#IF (e==P) THEN u=PB;\n#ENDRULEBASE;\n"));

    // The editor holds its rule text with CR LF (a lone CR from a pasted
    // text too): the file gets the writer's line end alone, in both forms.
    for (const char* windows : {"IF (e==N) THEN u=NB;\r\n\r\nIF (e==P) THEN u=PB;\r\n",
                                "IF (e==N) THEN u=NB;\r\rIF (e==P) THEN u=PB;\r"}) {
        SCOPED_TRACE(windows);
        plain = writeToFile(k->getBlock(), windows);
        EXPECT_EQ(std::string::npos, plain.find('\r'));
        EXPECT_NE(std::string::npos, plain.find("RULEBASE;\nIF (e==N) THEN u=NB;\n\nIF (e==P) THEN u=PB;\nENDRULEBASE;\n"));
        embedded = writeToStream(k->getBlock(), windows);
        EXPECT_EQ(std::string::npos, embedded.find('\r'));
        EXPECT_NE(std::string::npos,
                  embedded.find("#RULEBASE;\n#IF (e==N) THEN u=NB;\n#\n#IF (e==P) THEN u=PB;\n#ENDRULEBASE;\n"));
    }
}

TEST(FuzzyTextWriter, ColoursAndPositionsAsTheModelHasThem)
{
    std::string text = replaceAll(kFull, "COLOR blue;", "COLOR purple;");
    text = replaceAll(text, "POSITION 12, 40;", "POSITION links;");
    KernelHolder k(buildText(text));
    ASSERT_TRUE(k.kernel);
    FuzzyMember* kalt = k->getBlock()->inputs->members;
    EXPECT_EQ(kFuzzyNoColor, kalt->color);
    EXPECT_EQ(nullptr, kalt->position);
    std::string expected = replaceAll(kFull, "      COLOR blue;\n      POSITION 12, 40;\n", "");
    EXPECT_EQ(expected, writeToFile(k->getBlock()));

    // A one-value position (as the editor may hold one) is written with one value.
    kalt->position = makeNamedValue(fuzzyCopyText("links"), fuzzyCopyText("x"));
    free(kalt->position->second);
    kalt->position->second = nullptr;
    std::string out = writeToFile(k->getBlock());
    EXPECT_NE(std::string::npos, out.find("      TRAPEZ -10.5, -10.5, 0, 10;\n      POSITION links;\n"));
    // Reading it back: a name is dropped, a number is a syntax error.
    KernelHolder back(buildText(out));
    ASSERT_TRUE(back.kernel);
    EXPECT_EQ(nullptr, back->getBlock()->inputs->members->position);
    EXPECT_EQ(1, checkText(replaceAll(out, "POSITION links;", "POSITION 12;")).result);
}

struct SyntaxCase {
    const char* what;
    std::string text;
    std::string message;  // the whole message of the parser base
};

std::string expected(int line, std::vector<std::string> names)
{
    std::string m = "In oder vor Zeile " + std::to_string(line) + ":\n";
    for (size_t i = 0; i < names.size(); ++i)
        m += std::string(getResString(i == 0 ? 19143 : 19145)) + "\" " + names[i] + " \"";
    return m;
}

TEST(FuzzyTextSyntax, ErrorsWithTheirExpectedLists)
{
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    const size_t rulesStart = pd9.find("\nRULEBASE;\n") + 11;
    const std::string noRules = pd9.substr(0, rulesStart) + pd9.substr(pd9.find("ENDRULEBASE;"));
    const SyntaxCase cases[] = {
        {"a rule base without rules", noRules, expected(70, {"IF"})},
        {"a variable without member sets",
         replaceAll(pd9, "OUTPUTVAR u;\n   XMIN -1;\n   XMAX 1;\n", "OUTPUTVAR u;\n   XMIN -1;\n   XMAX 1;\nENDOUTPUTVAR;\n"),
         expected(47, {"GRID", "MEMBER"})},
        {"COMMENT before RULEBASE", replaceAll(pd9, "\nRULEBASE;\n", "\nCOMMENT zu frueh;\nRULEBASE;\n"),
         expected(69, {"OUTPUTVAR", "RULEBASE"})},
        {"configuration statements in another order",
         replaceAll(pd9, "   AND_METHOD = min;\n   OR_METHOD = max;\n", "   OR_METHOD = max;\n   AND_METHOD = min;\n"),
         expected(4, {"AND_METHOD"})},
        {"a comment that is not the end of its line is a name",
         replaceAll(pd9, "ENDRULEBASE;\n\n", "ENDRULEBASE;\n\nCOMMENT a; b\n"), expected(81, {"COMMENT", "ENDFBLOCK"})},
        {"lower-case fblock is a name", replaceAll(pd9, "FBLOCK \"pd9\";", "fblock \"pd9\";"),
         expected(1, {"FBLOCK"})},
        {"upper-case E ends a number", replaceAll(pd9, "XMAX 1;\n\n   MEMBER N;", "XMAX 1E0;\n\n   MEMBER N;"),
         expected(12, {";"})},
        {"an empty text", "", expected(1, {"FBLOCK"})},
        {"a missing ENDFBLOCK", replaceAll(pd9, "ENDFBLOCK;\n", ""), expected(81, {"COMMENT", "ENDFBLOCK"})},
    };
    for (const SyntaxCase& c : cases) {
        SCOPED_TRACE(c.what);
        PassResult r = checkText(c.text);
        EXPECT_EQ(1, r.result);
        EXPECT_EQ(c.message, r.message);
        ASSERT_EQ(1u, r.boxes.size());
        EXPECT_NE(std::string::npos, r.boxes[0].find(c.message));
        // The build pass refuses the same text.
        FuzzyFileParser build;
        FuzzyKernel k;
        build.setKernel(&k);
        EXPECT_EQ(1, runPass(build, c.text).result);
        EXPECT_EQ(nullptr, k.getBlock());
    }
}

TEST(FuzzyTextSyntax, StrayCharactersAreDropped)
{
    // A "_" before a name, a "." before digits and blanks between tokens
    // start no token; "5." and "1e-5" are numbers; "#" starts a remark.
    std::string text = replaceAll(readFileBytes(fixturePath("pd9T.kyb")), "INPUTVAR de;\n   XMIN -1;\n   XMAX 1;",
                                  "INPUTVAR _de;  # Regeldifferenz\n   XMIN  -1.;\n   XMAX\t.1e-5;");
    KernelHolder k(buildText(text));
    ASSERT_TRUE(k.kernel);
    FuzzyVariable* de = k->getBlock()->inputs->next;
    EXPECT_STREQ("de", de->name);
    EXPECT_STREQ("-1.", de->xmin);
    EXPECT_STREQ("1e-5", de->xmax);
}

// A NUL byte in a line starts no token, like every stray character: the rest
// of its line is read, in a plain file and behind a wizard line.
TEST(FuzzyTextSyntax, NulBytesAreSkippedNotLineEnds)
{
    const std::string nul(1, '\0');
    std::string text = replaceAll(readFileBytes(fixturePath("pd9T.kyb")), "INPUTVAR de;\n   XMIN -1;\n   XMAX 1;",
                                  "INPUTVAR de;\n   XMIN" + nul + " -1;\n   XMAX 1" + nul + ";" + nul + "  # x" + nul + "y");
    for (const std::string& t : {text, wizardBlock(text)}) {
        std::string detail;
        KernelHolder k(buildText(t, &detail));
        ASSERT_TRUE(k.kernel) << detail;
        FuzzyVariable* de = k->getBlock()->inputs->next;
        EXPECT_STREQ("-1", de->xmin);
        EXPECT_STREQ("1", de->xmax);
    }
}

// Long lines of a few megabytes read as their short forms; runs of COMMENT
// in a line that ends in no ";" are names, each scanned once.
TEST(FuzzyTextSyntax, LongLinesAndRuns)
{
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    const std::string mega(1u << 20, 'a');
    std::string remark = replaceAll(pd9, "INPUTVAR de;", "INPUTVAR de; # " + mega);
    std::string comment = replaceAll(pd9, "ENDRULEBASE;\n", "ENDRULEBASE;\nCOMMENT " + mega + ";\n");
    for (const std::string& t : {remark, comment}) {
        std::string detail;
        KernelHolder k(buildText(t, &detail));
        ASSERT_TRUE(k.kernel) << detail;
    }

    std::string runs;
    for (int i = 0; i < 20000; ++i)
        runs += "COMMENT;";
    PassResult r = checkText(replaceAll(pd9, "ENDRULEBASE;\n", "ENDRULEBASE;\n" + runs + "x\n"));
    EXPECT_EQ(1, r.result);
    EXPECT_NE(std::string::npos, r.message.find("COMMENT")) << r.message;
}

// A text beyond the limit is refused with its own message, in bounded time
// and memory, also an endless one.
TEST(FuzzyTextSyntax, TextBeyondTheLimitIsRefused)
{
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    {
        ScratchDir dir;
        std::string path = dir.write("t.kyb", pd9);
        ErrorBoxScope scope;
        FILE* f = openFile(path.c_str(), "rt");
        ASSERT_TRUE(f);
        FuzzyLineSource source(f, false, 1, pd9.size() / 2);
        FuzzyCheckParser p;
        p.setInput(&source);
        EXPECT_EQ(1, p.parse());
        fclose(f);
        EXPECT_TRUE(source.isTooLong());
        ASSERT_EQ(1u, scope.sink.boxes.size());
        EXPECT_NE(std::string::npos, scope.sink.boxes[0].find("Der Fuzzy-Block-Text ist zu lang (mehr als 0 MB)!"))
            << scope.sink.boxes[0];
    }
    {
        // The whole text exactly at the limit is read.
        ScratchDir dir;
        std::string path = dir.write("t.kyb", pd9);
        ErrorBoxScope scope;
        FILE* f = openFile(path.c_str(), "rt");
        ASSERT_TRUE(f);
        FuzzyLineSource source(f, false, 1, pd9.size());
        FuzzyCheckParser p;
        p.setInput(&source);
        EXPECT_EQ(0, p.parse());
        fclose(f);
        EXPECT_TRUE(scope.sink.boxes.empty());
    }
    {
        ErrorBoxScope scope;
        FuzzyReadResult result;
        String detail;
        EXPECT_EQ(nullptr, readFuzzyBlockFile("/dev/zero", kFuzzyCheckTexts, &result, &detail));
        EXPECT_EQ(FZ_READ_SYNTAX, result);
        EXPECT_NE(std::string::npos, std::string(detail.text()).find("zu lang (mehr als 16 MB)")) << detail.text();
    }
}

TEST(FuzzyTextSyntax, DeepNestingFillsTheParserStack)
{
    std::string deep = std::string(200, '(') + "e==N" + std::string(200, ')');
    std::string text = replaceAll(readFileBytes(fixturePath("pd9T.kyb")), "IF ((e==N) AND (de==N))", "IF " + deep);
    PassResult r = checkText(text);
    EXPECT_EQ(1, r.result);
    EXPECT_NE(std::string::npos, r.message.find("yacc stack overflow"));
}

// The full stack names the line the parser stood in, as a syntax error does.
TEST(FuzzyTextSyntax, AFullParserStackNamesItsLine)
{
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    // Rule line 70 opens 20 parentheses, the two lines after it 200 more each:
    // the stack is full in line 71.
    const std::string deep = "IF " + std::string(20, '(') + "\n" + std::string(200, '(') + "\n" +
                             std::string(200, '(') + "e==N" + std::string(420, ')');
    const std::string text = replaceAll(pd9, "IF ((e==N) AND (de==N))", deep);
    const struct {
        const char* what;
        std::string text;
        int line;
    } cases[] = {
        {"a block file", text, 71},
        // The three lines of the wizard block in front of the text count as well.
        {"a wizard block", wizardBlock(text), 74},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PassResult r = checkText(c.text);
        EXPECT_EQ(1, r.result);
        char where[64];
        snprintf(where, sizeof where, getResString(19105), c.line);
        EXPECT_EQ(std::string(where) + ":\nyacc stack overflow", r.message);
    }
}

TEST(FuzzyTextSyntax, LongRulesPlainAndEmbedded)
{
    std::string premise = "(e==N)";
    while (premise.size() < 3000)
        premise += " OR (de==N)";
    std::string rule = "IF " + premise + " THEN u=NB;";
    ASSERT_GT(rule.size(), 3000u);
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    std::string text = replaceAll(pd9, "ENDRULEBASE;", rule + "\nENDRULEBASE;");
    // The same rule, short.
    KernelHolder shortRule(buildText(replaceAll(pd9, "ENDRULEBASE;", "IF (e==N) OR (de==N) THEN u=NB;\nENDRULEBASE;")));
    ASSERT_TRUE(shortRule.kernel);
    for (const std::string& t : {text, wizardBlock(text)}) {
        std::string detail;
        KernelHolder k(buildText(t, &detail));
        ASSERT_TRUE(k.kernel) << detail;
        int n = 0;
        for (FuzzyRuleNode* r = k->getRules(); r; r = r->next)
            ++n;
        EXPECT_EQ(10, n);
        for (double e : {-1.0, -0.3, 0.4})
            EXPECT_EQ(evaluate(shortRule.kernel, e, 0.2), evaluate(k.kernel, e, 0.2));
        EXPECT_LT(evaluate(k.kernel, -1, 1), -0.1);
    }
}

TEST(FuzzyTextPositioning, WizardLines)
{
    struct {
        const char* line;
        bool found;
    } cases[] = {
        {"$WIZARD Fuzzy \"a\"", true}, {"$ WIZARD Ident", true},  {"$    WIZARD x", true},
        {"$WIZARD ", true},            {"$WIZARD", false},        {"$ WIZARD", false},
        {"$WIZARDS x", false},         {" $WIZARD x", false},     {"$ wizard x", false},
        {"$\tWIZARD x", false},        {"$WIZARD\tx", false},     {"# $WIZARD x", false},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string path = dir.write("w", std::string("#  head\n") + c.line + "\n#data\nBLOCK w;\n");
        FILE* f = openFile(path.c_str(), "rt");
        ASSERT_TRUE(f);
        int line = 0;
        EXPECT_EQ(c.found, skipToWizardLine(f, &line));
        if (c.found) {
            EXPECT_EQ(2, line);
            String next;
            EXPECT_TRUE(readLine(f, next));
            EXPECT_STREQ("#data", next.text());
        }
        fclose(f);
    }
}

TEST(FuzzyTextPositioning, TheFirstLineWithoutHashEndsTheText)
{
    // The lines after the BLOCK line would complete the block; they must not
    // be read, and a "#" line after the end is not read either.
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    size_t cut = pd9.find("ENDRULEBASE;");
    std::string file = "$WIZARD Fuzzy \"p\"\n" + prefixLines(pd9.substr(0, cut)) + "BLOCK w;\n" +
                       prefixLines(pd9.substr(cut));
    PassResult r = checkText(file);
    EXPECT_EQ(1, r.result);
    EXPECT_EQ(0u, r.message.find("In oder vor Zeile 80:\n")) << r.message;

    // Only a wizard line positions; a plain file is read whole.
    EXPECT_EQ(0, checkText(pd9).result);
    EXPECT_EQ(0, checkText("$ WIZARD Fuzzy\n" + prefixLines(pd9)).result);
}

// A block with repeated names, as an editor may have left it: checked, its
// names are renamed; written then, it reads back as the same controller.
TEST(FuzzyTextRoundTrip, RenamedNamesReadBack)
{
    const std::string pd9 = readFileBytes(fixturePath("pd9T.kyb"));
    auto variableText = [](const char* kind, const char* name, std::vector<const char*> members) {
        std::string t = std::string(kind) + "VAR " + name + ";\n   XMIN 0;\n   XMAX 2;\n";
        for (const char* m : members)
            t += std::string("   MEMBER ") + m + ";\n      TRAPEZ 0, 0.5, 1, 2;\n   ENDMEMBER;\n";
        return t + "END" + kind + "VAR;\n\n";
    };
    std::string text = replaceAll(pd9, "ENDINPUTVAR;\n\nOUTPUTVAR u;",
                                  "   MEMBER Z;\n      TRAPEZ 0, 0.5, 0.5, 1;\n   ENDMEMBER;\nENDINPUTVAR;\n\n" +
                                      variableText("INPUT", "e", {"N", "Mem2", "N"}) +
                                      variableText("INPUT", "Input1", {"A"}) + "OUTPUTVAR u;");
    text = replaceAll(text, "ENDOUTPUTVAR;\n\nRULEBASE;",
                      "ENDOUTPUTVAR;\n\n" + variableText("OUTPUT", "e", {"A"}) +
                          variableText("OUTPUT", "Output1", {"A"}) + "RULEBASE;");

    FuzzyKernel* renamedKernel = new FuzzyKernel;
    KernelHolder renamed(renamedKernel);
    FuzzyFileParser parser;
    parser.setKernel(renamedKernel);
    ASSERT_EQ(0, runPass(parser, text).result);
    ASSERT_FALSE(checkFuzzyBlock(renamedKernel, kFuzzyCheckTexts));
    const std::string to = getResString(21102);
    EXPECT_EQ("Z" + to + "Mem1 !\n" + "e" + to + "Input2 !\n" + "N" + to + "Mem3 !\n" + "e" + to + "Output2 !\n",
              renamedKernel->message.text());

    const std::string written = writeToFile(renamedKernel->getBlock());
    for (const char* name : {"INPUTVAR Input2;", "MEMBER Mem1;", "MEMBER Mem3;", "OUTPUTVAR Output2;"})
        EXPECT_NE(std::string::npos, written.find(name)) << name;
    std::string detail;
    KernelHolder back(buildText(written, &detail));
    ASSERT_TRUE(back.kernel) << detail;
    EXPECT_EQ(written, writeToFile(back->getBlock()));
    // The extra variables take part in no rule: the controller computes what
    // pd9 does.
    KernelHolder plain(buildText(pd9));
    ASSERT_TRUE(plain.kernel);
    for (double e : {-0.8, -0.1, 0.3, 0.9})
        for (double de : {-0.6, 0.0, 0.7})
            EXPECT_EQ(evaluate(plain.kernel, e, de), evaluate(back.kernel, e, de)) << e << ", " << de;
}

TEST(FuzzyTextParser, RuleBaseAlone)
{
    ScratchDir dir;
    std::string path = dir.write("rules.txt", "IF (e==N) THEN u=NB;\nIF e==Z AND NOT de==P THEN u=ZO WITH 0.5;\n");
    FILE* f = openFile(path.c_str(), "rt");
    ASSERT_TRUE(f);
    FuzzyLineSource source(f);
    FuzzyFileParser p;
    p.setRulesOnly(true);
    p.setInput(&source);
    EXPECT_EQ(0, p.parse());
    fclose(f);
    FuzzyRuleNode* rules = p.takeRules();
    ASSERT_TRUE(rules && rules->next);
    EXPECT_STREQ("ZO", rules->next->rule->conclusion->term);
    EXPECT_STREQ("0.5", rules->next->rule->cfText);
    EXPECT_EQ(FZ_PREMISE_AND, rules->next->rule->premise->kind);
    EXPECT_EQ(FZ_PREMISE_NOT, rules->next->rule->premise->right->kind);
    freeRuleList(rules);
}

TEST(FuzzyTextWriter, FailuresLeaveTheOldFile)
{
    KernelHolder k(buildText(readFileBytes(fixturePath("pd9T.kyb"))));
    ASSERT_TRUE(k.kernel);
    ScratchDir dir;
    EXPECT_EQ(0, FuzzyBlockWrite(k->getBlock(), dir.file("no/such/dir/x.kyb").c_str()));
    EXPECT_EQ(0, FuzzyBlockWrite(k->getBlock(), ""));
    // A directory in place of the file: the new text is written, the
    // replacement fails, nothing is left behind.
    ASSERT_EQ(0, mkdir(dir.file("taken").c_str(), 0700));
    EXPECT_EQ(0, FuzzyBlockWrite(k->getBlock(), dir.file("taken").c_str()));
    struct stat st;
    EXPECT_NE(0, stat(dir.file("taken.new").c_str(), &st));
    // Overwriting a file works and leaves no temporary file.
    std::string path = dir.write("old.kyb", "alt");
    EXPECT_EQ(1, FuzzyBlockWrite(k->getBlock(), path.c_str()));
    EXPECT_EQ(readFileBytes(fixturePath("pd9T.kyb")), readFileBytes(path));
    EXPECT_NE(0, stat((path + ".new").c_str(), &st));
    // A stream that cannot take the text.
    FILE* full = fopen("/dev/full", "w");
    if (full) {
        EXPECT_EQ(0, FuzzyBlockWrite(k->getBlock(), nullptr, nullptr, full));
        fclose(full);
    }
}

} // namespace
