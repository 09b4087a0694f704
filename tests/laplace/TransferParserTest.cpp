#include "PolyGrammarParser.h"
#include "PolyGrammarTab.h"
#include "PolyGrammarYacc.h"
#include "Polynomial.h"
#include "ResString.h"
#include "TransferTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ScanCase {
    const char* text;
    std::vector<int> tokens;
};

// Tokens up to the end of the input (0).
std::vector<int> scanAll(const char* text, std::vector<double>* numbers = nullptr)
{
    PolyGrammarParser d;
    d.setInput(text);
    PolyGrammarYacc engine;
    std::vector<int> tokens;
    for (int i = 0; i < 100; ++i) {
        int t = engine.yylex();
        tokens.push_back(t);
        if (t == TOK_PNUMBER && numbers)
            numbers->push_back(d.getNumberValue());
        if (t == 0)
            break;
    }
    return tokens;
}

TEST(TransferScannerTest, Tokens)
{
    const int NUM = TOK_PNUMBER, ID = TOK_PIDENT, KILL = TOK_PKILL;
    const ScanCase cases[] = {
        {" \t( ) * + - / ^", {TOK_PLBRACK, TOK_PRBRACK, TOK_PMULT, TOK_PPLUS, TOK_PMINUS, TOK_PDIV, TOK_PPOWER, 0}},
        {"s z j S Z J sz s1", {TOK_POPERATORS, TOK_POPERATORZ, TOK_POPERATORJ, ID, ID, ID, ID, ID, 0}},
        {"T_1 x2y", {ID, ID, 0}},
        {"3.5e-2", {NUM, 0}},
        {"12.", {NUM, 0}},
        // The exponent letter needs digits: 3E is a number and a name.
        {"3E", {NUM, ID, 0}},
        {"3e+x", {NUM, ID, TOK_PPLUS, ID, 0}},
        {"3S", {NUM, ID, 0}},
        {".5", {'.', NUM, 0}},
        {"1e999", {KILL, 0}},
        {"K\n", {ID, '\n', 0}},
        {"K\r\n", {ID, '\r', '\n', 0}},
        {"a,b", {ID, ',', ID, 0}},
        {"\xE4", {0xE4, 0}},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.tokens, scanAll(c.text));
    }
}

TEST(TransferScannerTest, NumberValues)
{
    std::vector<double> numbers;
    scanAll("3.5e-2 12. 7 1E3", &numbers);
    EXPECT_EQ((std::vector<double>{0.035, 12.0, 7.0, 1000.0}), numbers);
}

TEST(TransferScannerTest, LongTokensAreKilledWithinTheTokenText)
{
    std::string longName(300, 'a');
    std::string longNumber(300, '7');
    std::string both = longName + "+" + longNumber + "*" + std::string(255, 'b');
    EXPECT_EQ((std::vector<int>{TOK_PKILL, TOK_PPLUS, TOK_PKILL, TOK_PMULT, TOK_PIDENT, 0}), scanAll(both.c_str()));

    // Neither killed name becomes a parameter; the 255-character one does.
    PolyGrammarParser d;
    d.setInput(both.c_str());
    PolyGrammarYacc engine;
    while (engine.yylex() != 0) {
    }
    ASSERT_EQ(1, d.getParameters().getCount());
    EXPECT_EQ(std::string(255, 'b'), d.getParameters().first()->name);
}

TEST(TransferScannerTest, TokenNames)
{
    struct Case {
        int token;
        const char* name;
    };
    const Case cases[] = {
        {0, "End of File"},   {8, "'\\b'"},        {9, "'\\t'"},       {10, "'\\n'"},
        {12, "'\\f'"},        {13, "'\\r'"},       {256, "Error"},     {257, "Identifier"},
        {258, "s"},           {259, "OPERATORZ"},  {260, "j"},         {261, "Number"},
        {262, "-"},           {263, "+"},          {264, "*"},         {265, "/"},
        {266, "^"},           {267, "("},          {268, ")"},         {269, "KILL"},
        {270, "UMINUS"},      {',', "',`"},        {'a', "'a`"},       {271, "Symbol 271"},
        {1, "char 0x01"},     {127, "char 0x7F"},  {0xE4, "char 0xE4"},
    };
    PolyGrammarYacc engine;
    for (const Case& c : cases)
        EXPECT_STREQ(c.name, engine.tokenName(c.token)) << c.token;
}

struct GrammarCase {
    const char* text;
    const char* numerator;
    const char* denominator;
};

// Precedence and associativity: + - below * / below ^ below unary minus,
// all binary operators left-associative.
const GrammarCase grammarCases[] = {
    {"2^3^2", "64. @-", "1. @-"},       // (2^3)^2, not 2^9
    {"10-4-3", "3. @-", "1. @-"},       // (10-4)-3
    // Quotients keep numerator and denominator apart: 16/4, not 8/8.
    {"8/4*2", "16. @-", "4. @-"},       // (8/4)*2
    {"8/4/2", "8. @-", "8. @-"},        // (8/4)/2, not 8/(4/2) = 16/4
    {"2*-3^2", "18. @-", "1. @-"},      // 2*((-3)^2)
    {"-3^2", "9. @-", "1. @-"},         // (-3)^2
    {"-s^2", "0. | 0. | 1. @s", "1. @-"},
    {"1+2*3^2", "19. @-", "1. @-"},
    {"(1+2)*3", "9. @-", "1. @-"},
    {"--2", "2. @-", "1. @-"},
    {"a/b*c", "a*c @-", "b @-"},
    {"a/(b*c)", "a @-", "b*c @-"},
    {"a*-b^2", "a*-1.*b*-1.*b @-", "1. @-"},     // a*((-b)^2): one a
    {"(a*-b)^2", "a*-1.*b*a*-1.*b @-", "1. @-"},   // two
    {"K/(s+1)\n", "K @-", "1. | 1. @s"},
    {"1/(1+T*s)", "1. @-", "1. | T @s"},
    {"0.5/(z-0.5)", "0.5 @-", "-0.5 | 1. @z"},
};

TEST(TransferGrammarTest, PrecedenceAndAssociativity)
{
    for (const GrammarCase& c : grammarCases) {
        SCOPED_TRACE(c.text);
        ParseRun run = parseTransfer(c.text);
        EXPECT_EQ(0, run.rc);
        EXPECT_EQ(c.numerator, run.numerator);
        EXPECT_EQ(c.denominator, run.denominator);
        EXPECT_EQ(0u, run.messageId);
        EXPECT_TRUE(run.boxes.empty());
    }
}

TEST(TransferGrammarTest, ParametersAreCollectedSortedAndOnce)
{
    struct Case {
        const char* text;
        std::vector<std::string> parameters;
    };
    const Case cases[] = {
        {"1/(1+T*s)", {"T"}},
        {"b*a*b", {"a", "b"}},
        {"Zgh0(s)", {"Zgh0"}},
        {"3*S", {"S"}},
        {"K*(1+T1*s)/(s*(1+T2*s))", {"K", "T1", "T2"}},
        {"Kb*KB*K_*K0", {"K0", "KB", "K_", "Kb"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ParseRun run = parseTransfer(c.text);
        EXPECT_EQ(0, run.rc);
        EXPECT_EQ(c.parameters, run.parameters);
    }
}

std::string quoted(const char* name)
{
    return std::string("\" ") + name + " \"";
}

// The syntax message: the position part of a fresh parse (the line counter
// 1, shown less 1), then every token that could be shifted, in code order.
std::string expectedSyntaxMessage(const std::vector<const char*>& names)
{
    char position[64];
    snprintf(position, sizeof position, getResString(19105), 0);
    std::string s = std::string("Fehler: ") + position + ":\n";
    for (size_t i = 0; i < names.size(); ++i)
        s += std::string(getResString(i ? 19145 : 19143)) + quoted(names[i]);
    return s;
}

TEST(TransferGrammarTest, SyntaxErrorsListTheExpectedTokens)
{
    static const std::string longName(300, 'a');
    const std::vector<const char*> afterOperand = {"End of File", "'\\n'", "-", "+", "*", "/", "^"};
    const std::vector<const char*> operandStart = {"Identifier", "s", "OPERATORZ", "j", "Number", "-", "("};
    struct Case {
        const char* text;
        std::vector<const char*> expected;
    };
    const Case cases[] = {
        {"K/(s+1) 2", afterOperand},
        {"2 3", afterOperand},
        {"3S", afterOperand},
        {"K/(s+1)\n\n", {"End of File"}},
        {"", operandStart},
        {"K*", operandStart},
        // After a name "(" is possible as well: a function call.
        {"(K", {"-", "+", "*", "/", "^", "(", ")"}},
        {longName.c_str(), operandStart},
        {"1e999", operandStart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ParseRun run = parseTransfer(c.text);
        EXPECT_EQ(1, run.rc);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(expectedSyntaxMessage(c.expected), run.boxes[0]);
        // The message store of the driver stays empty: the box is shown.
        EXPECT_EQ(0u, run.messageId);
    }
}

TEST(TransferGrammarTest, FailedParseFreesItsValues)
{
    // Values of the parse are still registered when the error is found.
    ErrorBoxScope scope;
    PolyGrammarParser d;
    RationalFunction r;
    d.setResult(&r);
    d.setInput("(K*s+1)*Zgh0((s+1)*(s+2) 3");
    EXPECT_EQ(1, d.parse());
    EXPECT_GT(d.countRegisteredPointers(), 0);
    d.freeRegisteredPointers();
    EXPECT_EQ(0, d.countRegisteredPointers());
}

std::string nested(int depth)
{
    return std::string(static_cast<size_t>(depth), '(') + "1" + std::string(static_cast<size_t>(depth), ')');
}

TEST(TransferGrammarTest, DeepNestingOverflowsTheStack)
{
    // 147 parentheses need the bottom state, 147 states of "(", the
    // number's and the closing parenthesis's: all 150 entries.
    ParseRun ok = parseTransfer(nested(147).c_str());
    EXPECT_EQ(0, ok.rc);
    EXPECT_EQ("1. @-", ok.numerator);
    EXPECT_TRUE(ok.boxes.empty());

    ParseRun full = parseTransfer(nested(148).c_str());
    EXPECT_EQ(1, full.rc);

    ParseRun deep = parseTransfer(nested(151).c_str());
    EXPECT_EQ(1, deep.rc);
    ASSERT_EQ(1u, deep.boxes.size());
    EXPECT_NE(std::string::npos, deep.boxes[0].find("yacc stack overflow"));
    EXPECT_EQ(0, deep.leftRegistered);

    ParseRun minus = parseTransfer((std::string(200, '-') + "1").c_str());
    EXPECT_EQ(1, minus.rc);
    ASSERT_EQ(1u, minus.boxes.size());
    EXPECT_NE(std::string::npos, minus.boxes[0].find("yacc stack overflow"));
}

TEST(TransferGrammarTest, TraceGoesToStandardOutput)
{
    PolyGrammarParser d;
    RationalFunction r;
    d.setResult(&r);
    d.setInput("K/(1+s)");
    PolyGrammarYacc engine;
    engine.setTrace(1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, engine.parse());
    std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, trace.find("Reducing stack by rule 1 "));
}

TEST(TransferGrammarTest, OnlyOneDriverAtATime)
{
    PolyGrammarParser d;
    EXPECT_EQ(&d, PolyGrammarParser::live());
    EXPECT_DEATH(
        {
            disableErrorLog();
            PolyGrammarParser second;
        },
        "Assertion");
}

TEST(TransferGrammarTest, AllocationListMisuseIsFatal)
{
    EXPECT_EXIT(
        {
            ErrorBoxScope scope;
            PolyGrammarParser d;
            int x = 0;
            d.registerPointer(&x, TRANSFER_TEXT);
            d.registerPointer(&x, TRANSFER_TEXT);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(
        {
            ErrorBoxScope scope;
            PolyGrammarParser d;
            int x = 0;
            d.unregisterPointer(&x);
        },
        ::testing::ExitedWithCode(1), "");
}

} // namespace
