#include "CompilerTestSupport.h"

#include "FileLayer.h"
#include "TempDirFixture.h"
#include "TextLines.h"

#ifndef KYT_COMPILER_FIXTURES
#error "KYT_COMPILER_FIXTURES names the fixture directory"
#endif

namespace {

// The lines between "   open" and "   close" of a listing.
std::string section(const std::string& listing, const std::string& open, const std::string& close)
{
    size_t from = listing.find("   " + open + "\n");
    if (from == std::string::npos)
        return "<no " + open + ">";
    from += open.size() + 4;
    size_t to = listing.find("   " + close + "\n", from);
    return listing.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

class ListingTest : public CompilerTest {
protected:
    // The block text followed by an empty circuit: accepted, listed.
    std::string listBlock(const std::string& block, int* failed = nullptr)
    {
        std::string text = block + lines({"CIRCUIT C;", "ENDCIRCUIT C;"});
        EXPECT_EQ(0, parse(text)) << (scope.viewer.calls.empty() ? "" : scope.viewer.calls[0].message);
        EXPECT_EQ(0, registeredPointerCount());
        return listing(failed);
    }
};

TEST_F(ListingTest, SwitchBecomesIfsLastCaseFirst)
{
    std::string out = listBlock(lines({
        "BLOCK B;",
        "OUTPUT y;",
        "VAR v DISCRETE;",
        "SIM",
        "  SWITCH v",
        "  CASE 1: y = 1;",
        "  CASE 2: y = 2;",
        "  DEFAULT: y = 3;",
        "  ENDSWITCH",
        "ENDSIM",
        "ENDBLOCK B;",
    }));
    EXPECT_EQ("   7:    IF v == 2. THEN\n"
              "   7:       y = 2.;\n"
              "   7:    ENDIF\n"
              "   6:    IF v == 1. THEN\n"
              "   6:       y = 1.;\n"
              "   6:    ENDIF\n"
              "   8:    IF !(v == 1. || v == 2.) THEN\n"
              "   8:       y = 3.;\n"
              "   8:    ENDIF\n",
              section(out, "SIM", "ENDSIM"));
}

TEST_F(ListingTest, SwitchRefusals)
{
    const struct {
        const char* name;
        std::string block;
        int line;
        const char* text;
    } cases[] = {
        {"two DEFAULT sections",
         lines({"BLOCK B;", "OUTPUT y;", "VAR v;", "SIM", "  SWITCH v", "  CASE 1: y = 1;", "  DEFAULT: y = 2;",
                "  DEFAULT: y = 3;", "  ENDSWITCH", "ENDSIM", "ENDBLOCK B;"}),
         8, "Mehr als ein DEFAULT Abschnitt in einer SWITCH Anweisung!"},
        {"DEFAULT alone",
         lines({"BLOCK B;", "OUTPUT y;", "VAR v;", "SIM", "  SWITCH v", "  DEFAULT: y = 2;", "  ENDSWITCH",
                "ENDSIM", "ENDBLOCK B;"}),
         5, "SWITCH Anweisung ohne CASE Abschnitt!"},
        {"no section at all",
         lines({"BLOCK B;", "VAR v;", "SIM", "  SWITCH v ENDSWITCH", "ENDSIM", "ENDBLOCK B;"}), 4,
         "SWITCH Anweisung ohne CASE Abschnitt!"},
        {"STORE in an IF of INIT",
         lines({"BLOCK B;", "VAR a;", "INIT", "  IF a > 0 THEN", "    STORE;", "  ENDIF", "ENDINIT",
                "ENDBLOCK B;"}),
         5, "QUIT und STORE [ALL] sind im INIT Abschnitt nicht erlaubt!"},
        {"QUIT in INIT",
         lines({"BLOCK B;", "INIT", "  QUIT;", "ENDINIT", "ENDBLOCK B;"}), 3,
         "QUIT und STORE [ALL] sind im INIT Abschnitt nicht erlaubt!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scope.viewer.calls.clear();
        int failed = 0;
        listBlock(c.block, &failed);
        EXPECT_EQ(1, failed);
        ASSERT_EQ(1u, scope.viewer.calls.size());
        ShownMessage m = splitMessage(scope.viewer.calls[0].message);
        EXPECT_EQ(c.line, m.line);
        EXPECT_EQ(c.line, scope.viewer.calls[0].line);
        EXPECT_EQ(c.text, m.text);
        freeSymbolTables();
    }
}

TEST_F(ListingTest, NestedIfsMergeAndEmptyIfsVanish)
{
    std::string out = listBlock(lines({
        "BLOCK B;",
        "VAR a; b; x; y;",
        "INIT",
        "  IF a > 0 THEN",
        "    IF b > 0 THEN",
        "      x = 1;",
        "    ENDIF",
        "  ENDIF",
        "  IF a > 1 THEN",
        "  ENDIF",
        "  y = 2;",
        "  IF a > 2 THEN IF b > 2 THEN ENDIF ENDIF",
        "ENDINIT",
        "ENDBLOCK B;",
    }));
    EXPECT_EQ("   4:    IF a > 0. && b > 0. THEN\n"
              "   6:       x = 1.;\n"
              "   4:    ENDIF\n"
              "  11:    y = 2.;\n",
              section(out, "INIT", "ENDINIT"));
}

TEST_F(ListingTest, IfOverSeveralStatementsTestsTheConditionOnceInWrittenOrder)
{
    std::string out = listBlock(lines({
        "BLOCK B;",
        "VAR s; t;",
        "PROCEDURE p;",
        "  IF s == 0 THEN",
        "    s = 1;",
        "    t = 2;",
        "  ENDIF",
        "ENDPROCEDURE",
        "ENDBLOCK B;",
    }));
    EXPECT_EQ("   4:    _IF1 = s == 0.;\n"
              "   5:    IF _IF1 THEN\n"
              "   5:       s = 1.;\n"
              "   5:    ENDIF\n"
              "   6:    IF _IF1 THEN\n"
              "   6:       t = 2.;\n"
              "   6:    ENDIF\n",
              section(out, "PROCEDURE p", "ENDPROCEDURE"));
    // The snapshot is a VAR of the block that no model text can name.
    EXPECT_NE(std::string::npos, out.find("   VAR _IF1\n"));
}

TEST_F(ListingTest, ElseRunsOnTheConditionAsItWasBeforeThen)
{
    std::string out = listBlock(lines({
        "BLOCK B;",
        "VAR s;",
        "INIT",
        "  IF s == 0 THEN",
        "    s := 1;",
        "  ELSE",
        "    s := 0;",
        "  ENDIF",
        "  IF s > 5 THEN s = 5; ELSE ENDIF",
        "ENDINIT",
        "ENDBLOCK B;",
    }));
    EXPECT_EQ("   4:    _IF1 = s == 0.;\n"
              "   4:    IF _IF1 THEN\n"
              "   5:       s = 1.;\n"
              "   4:    ENDIF\n"
              "   6:    IF !_IF1 THEN\n"
              "   7:       s = 0.;\n"
              "   6:    ENDIF\n"
              "   9:    _IF2 = s > 5.;\n"
              "   9:    IF _IF2 THEN\n"
              "   9:       s = 5.;\n"
              "   9:    ENDIF\n",
              section(out, "INIT", "ENDINIT"));
}

TEST_F(ListingTest, StatementForms)
{
    std::string out = listBlock(lines({
        "BLOCK B;",
        "INPUT a;",
        "OUTPUT y;",
        "PARAMETER f STRING = \"daten.txt\"; g SOCKET = THIS;",
        "  m BOOL = 1 \"Schalter\";",
        "STATE x = 0;",
        "DELAY d = 0.5;",
        "SIM",
        "  y = x <- CALL p(a, y) <- q;",
        "  x .= -a*LEN(f) + LEN(\"s\") + LEN(TYPENAME) + d[a - 1];",
        "  ONRISE a > 1 DO p;",
        "  ONRISE a > 2 DO y = 2;",
        "  ONRISE a > 3 DO PROCEDURE; y = 3; ENDPROCEDURE",
        "  ONRISE a > 4 DO PROCEDURE r; SHOW(THIS); ENDPROCEDURE;",
        "  EXIT \"Ende\";",
        "ENDSIM",
        "PROCEDURE p;",
        "  SCHEDULE q AT EXIT;",
        "  SCHEDULE q AT NOW + 1;",
        "  STORE ALL; BREAK;",
        "ENDPROCEDURE",
        "PROCEDURE q;",
        "ENDPROCEDURE",
        "ENDBLOCK B;",
    }));
    EXPECT_EQ("   9:    y = x <- SCHEDULE p(a, y) <- q;\n"
              "  10:    x .= -a*LEN(f)+LEN(\"s\")+LEN(\"B\")+(d[a-1.]);\n"
              "  11:    ONRISE a > 1. DO p;\n"
              "  12:    ONRISE a > 2. DO GenProc0;\n"
              "  13:    ONRISE a > 3. DO GenProc1;\n"
              "  14:    ONRISE a > 4. DO r;\n"
              "  15:    EXIT \"Ende\";\n",
              section(out, "SIM", "ENDSIM"));
    EXPECT_EQ("  18:    SCHEDULE q AT 1.e+030;\n"
              "  19:    SCHEDULE q AT NOW+1.;\n"
              "  20:    STORE ALL;\n"
              "  20:    BREAK;\n",
              section(out, "PROCEDURE p", "ENDPROCEDURE"));
    EXPECT_EQ("  12:    y = 2.;\n", section(out, "PROCEDURE GenProc0", "ENDPROCEDURE"));
    EXPECT_EQ("  13:    y = 3.;\n", section(out, "PROCEDURE GenProc1", "ENDPROCEDURE"));
    EXPECT_EQ("  14:    SHOW(\"\"$THIS$\"\");\n", section(out, "PROCEDURE r", "ENDPROCEDURE"));
    EXPECT_NE(std::string::npos, out.find("   PARAMETER f STRING = \"daten.txt\"\n"));
    EXPECT_NE(std::string::npos, out.find("   PARAMETER g SOCKET = \"\"$THIS$\"\"\n"));
    EXPECT_NE(std::string::npos, out.find("   PARAMETER m = 1. \"Schalter\"\n"));
    EXPECT_NE(std::string::npos, out.find("   DELAY d = 0.5\n"));
    // Strings in order of first appearance; THIS takes the index of the next.
    EXPECT_NE(std::string::npos, out.find("STRING 0 \"daten.txt\"\n"
                                          "STRING 1 \"\"$THIS$\"\"\n"
                                          "STRING 1 \"s\"\n"
                                          "STRING 2 \"B\"\n"
                                          "STRING 3 \"Ende\"\n"));
}

TEST_F(ListingTest, StringParametersPassTheirIndex)
{
    ASSERT_EQ(0, parse(lines({"BLOCK B;", "PARAMETER f STRING = \"x\";", "OUTPUT y;", "SIM", "  y = LEN(f);",
                              "ENDSIM", "ENDBLOCK B;", "CIRCUIT C;", "ENDCIRCUIT C;"})));
    const SyntaxNode* assign = blockTypeList()->continuousCode;
    ASSERT_EQ(NODE_ASSIGN, assign->type);
    const SyntaxNode* call = assign->right;
    ASSERT_EQ(NODE_FUNCTION_CALL, call->type);
    EXPECT_EQ(NODE_STRING_INDEX, call->right->type);
    ASSERT_NE(nullptr, call->entry);
    EXPECT_STREQ("LEN", static_cast<const ModuleEntry*>(call->entry)->name);
}

TEST_F(ListingTest, TypenameTakesTheOverrideOfTheFromClause)
{
    std::string out = listBlock(lines({"FROM \"Lib\" \"typ\"", "BLOCK Name;", "PARAMETER n STRING = TYPENAME;",
                                       "ENDBLOCK Name;", "BLOCK Zwei;", "PARAMETER n STRING = TYPENAME;",
                                       "ENDBLOCK Zwei;"}));
    EXPECT_NE(std::string::npos, out.find("BLOCK \"Lib\" \"typ\"\n   PARAMETER n STRING = \"typ\"\n"));
    EXPECT_NE(std::string::npos, out.find("BLOCK \"\" \"Zwei\"\n   PARAMETER n STRING = \"Zwei\"\n"));
}

// A circuit as the circuit writer hands it to the compiler.
TEST_F(ListingTest, CircuitMatchesItsGoldenListing)
{
    const std::string dir = KYT_COMPILER_FIXTURES;
    FILE* f = openFile((dir + "/regelkreis.kyt").c_str(), "rt");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(0, parseModelText(f));
    fclose(f);
    EXPECT_TRUE(scope.viewer.calls.empty()) << scope.viewer.calls[0].message;
    EXPECT_EQ(0, registeredPointerCount());
    setModuleLibraryList(nullptr);
    int failed = 1;
    EXPECT_EQ(readFileBytes(dir + "/regelkreis.listing"), listing(&failed));
    EXPECT_EQ(0, failed);
}

TEST_F(ListingTest, CarriageReturnsOfADosFileDoNotMatter)
{
    const std::string dir = KYT_COMPILER_FIXTURES;
    std::string text = readFileBytes(dir + "/regelkreis.kyt");
    std::string dos;
    for (char c : text) {
        if (c == '\n')
            dos += '\r';
        dos += c;
    }
    ScratchDir scratch;
    scratch.write("dos.kyt", dos);
    FILE* f = openFile(scratch.file("dos.kyt").c_str(), "rt");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(0, parseModelText(f));
    fclose(f);
    EXPECT_EQ(readFileBytes(dir + "/regelkreis.listing"), listing());
}

} // namespace
