#include "CompilerTestSupport.h"
#include "GermanLocale.h"

#include "CompilerMessages.h"
#include "CompilerOptions.h"
#include "Tokens.h"

#include "FileLayer.h"
#include "ResString.h"
#include "TempDirFixture.h"

#include <cmath>

namespace {

struct TokenCase {
    const char* input;
    std::vector<int> tokens;
};

const TokenCase tokenCases[] = {
    {"dx1 := a.b;", {293, 299, 293, 274, 293, 276}},
    {"/* a*b */", {305, 304, 293, 304, 293, 304, 305}},
    {"/* ein Kommentar */ x", {293}},
    {"x // bis zum Zeilenende\ny", {293, 293}},
    {"x # bis zum Zeilenende\ny", {293, 293}},
    // A comment must end with its line: at the end of the file it is none.
    {"x // y", {293, 305, 305, 293}},
    {"$ BLOCKDIM 1 2 3 4\nx $ y", {293, 36, 293}},
    {"  $ x", {36, 293}},
    {"ANDx AND x && y OR z || NOT !", {293, 316, 293, 316, 293, 317, 293, 317, 318, 318}},
    {"circuit CIRCUIT PIx FILE STRING KILL", {293, 257, 293, 293, 286, 293}},
    {"== != >= <= > < = .= <- : [ ] ( ) + - * /",
     {310, 311, 312, 313, 314, 315, 298, 300, 301, 332, 308, 309, 306, 307, 303, 302, 304, 305}},
    {"\"text\" \"open", {295, 34, 293}},
    {"x\ry", {293, 13, 293}},
    {"x_1 _x", {293, 95, 293}},
    {"\xC4", {196}},
    {"\x7F \x80", {127, 128}},
};

TEST(ScannerTest, TokenSequences)
{
    for (const TokenCase& c : tokenCases) {
        std::vector<int> got;
        for (const ScannedToken& t : scanText(c.input))
            got.push_back(t.token);
        EXPECT_EQ(c.tokens, got) << c.input;
    }
}

struct NumberCase {
    const char* input;
    std::vector<double> numbers;   // NaN marks an identifier
};

TEST(ScannerTest, NumbersAndTheirNeighbours)
{
    const double ident = NAN;
    const NumberCase cases[] = {
        {"1.2.3", {1.2, 0.3}},
        {"12. .5 7", {12, 0.5, 7}},
        {"1E5 2.5e-3 3e+2", {1e5, 2.5e-3, 300}},
        {"1.5E", {1.5, ident}},
        {"1e", {1, ident}},
        {"-3", {ident, 3}},
        {"PI cE", {4 * atan(1.0), constantE()}},
    };
    for (const NumberCase& c : cases) {
        std::vector<ScannedToken> tokens = scanText(c.input);
        ASSERT_EQ(c.numbers.size(), tokens.size()) << c.input;
        for (size_t i = 0; i < tokens.size(); ++i) {
            if (std::isnan(c.numbers[i])) {
                EXPECT_NE(TOK_Number, tokens[i].token) << c.input << " #" << i;
            } else {
                EXPECT_EQ(TOK_Number, tokens[i].token) << c.input << " #" << i;
                EXPECT_DOUBLE_EQ(c.numbers[i], tokens[i].number) << c.input << " #" << i;
            }
        }
    }
    EXPECT_NEAR(2.718281828459045, constantE(), 1e-15);
}

TEST(ScannerTest, NumbersIgnoreTheLocale)
{
    // Under a German locale a point must still be the decimal point.
    const char* old = setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!setGermanLocale(LC_NUMERIC))
        GTEST_SKIP() << "no German locale installed";
    std::vector<ScannedToken> tokens = scanText("2.5");
    setlocale(LC_ALL, saved.c_str());
    ASSERT_EQ(1u, tokens.size());
    EXPECT_EQ(2.5, tokens[0].number);
}

TEST(ScannerTest, IdentifierAndStringValues)
{
    std::vector<ScannedToken> tokens = scanText("B_1 \"Eingang u\" \"\"");
    ASSERT_EQ(3u, tokens.size());
    EXPECT_EQ("B_1", tokens[0].text);
    EXPECT_EQ(TOK_String, tokens[1].token);
    EXPECT_EQ("Eingang u", tokens[1].text);
    EXPECT_EQ("", tokens[2].text);
}

TEST(ScannerTest, OverlongIdentifiersAndStringsAreKill)
{
    const std::string name100(100, 'a');
    const std::string string100 = "\"" + std::string(98, 's') + "\"";
    const struct {
        std::string input;
        int token;
    } cases[] = {
        {name100, TOK_Identifier},
        {name100 + "b", TOK_KILL},
        {string100, TOK_String},
        {"\"" + std::string(99, 's') + "\"", TOK_KILL},
        {"\"" + std::string(10000, 's') + "\"", TOK_KILL},
    };
    for (const auto& c : cases) {
        std::vector<ScannedToken> tokens = scanText(c.input);
        ASSERT_EQ(1u, tokens.size()) << c.input.size();
        EXPECT_EQ(c.token, tokens[0].token) << c.input.size();
    }
    EXPECT_EQ(name100, scanText(name100)[0].text);
}

// Long tokens of a few megabytes, and runs that once made the scanner back
// up over the rest of the text at each character, give the tokens of short
// ones.
TEST(ScannerTest, LongTokensAndRuns)
{
    const std::string mega(3u << 20, 'a');
    const std::string slashes(1u << 16, '/');
    const std::string hashes(1u << 16, '#');
    const struct {
        const char* what;
        std::string input;
        std::vector<int> tokens;
        size_t count;  // of tokens, when they are not listed
    } cases[] = {
        {"a comment line", "// " + mega + "\nx", {TOK_Identifier}, 0},
        {"a remark line", "# " + mega + "\nx", {TOK_Identifier}, 0},
        {"a layout line", "$ " + mega + "\nx", {TOK_Identifier}, 0},
        {"a block comment", "/* " + mega + " */x", {TOK_Identifier}, 0},
        {"a long identifier", "x" + mega + " y", {TOK_KILL, TOK_Identifier}, 0},
        {"blanks and line feeds", std::string(1u << 20, ' ') + std::string(1u << 20, '\n') + "x", {TOK_Identifier}, 0},
        {"slashes in the last line", "x\n" + slashes, {}, 1 + slashes.size()},
        {"hashes in the last line", "x\n" + hashes, {}, 1 + hashes.size()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ScannedToken> tokens = scanText(c.input);
        if (c.count) {
            ASSERT_EQ(c.count, tokens.size());
            EXPECT_EQ(TOK_Identifier, tokens[0].token);
            EXPECT_EQ(c.input[2] == '/' ? TOK_SLASH : '#', tokens.back().token);
            continue;
        }
        std::vector<int> got;
        for (const ScannedToken& t : tokens)
            got.push_back(t.token);
        EXPECT_EQ(c.tokens, got);
    }
    // A long number is one number.
    std::vector<ScannedToken> number = scanText("1" + std::string(1u << 20, '0') + "e-1048576");
    ASSERT_EQ(1u, number.size());
    EXPECT_EQ(TOK_Number, number[0].token);
    EXPECT_EQ(1.0, number[0].number);
}

// Exponents beyond any integer type: a huge positive one is out of range
// (20095, the constant becomes 0), a huge negative one reads as 0.
TEST(ScannerTest, HugeExponents)
{
    const struct {
        const char* input;
        double number;
        int errors;
    } cases[] = {
        {"11e9223372036854775807", 0, 1},
        {"11e99999999999999999999", 0, 1},
        {"0.001e-9223372036854775808", 0, 0},
        {"1e-99999999999999999999", 0, 0},
        {"0e9223372036854775807", 0, 0},
        {"1e308", 1e308, 0},
        {"1e309", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        resetCompileErrorCount();
        std::vector<ScannedToken> tokens = scanText(c.input);
        ASSERT_EQ(1u, tokens.size());
        EXPECT_EQ(TOK_Number, tokens[0].token);
        EXPECT_EQ(c.number, tokens[0].number);
        EXPECT_EQ(c.errors, compileErrorCount());
    }
    resetCompileErrorCount();
}

// A text beyond the limit ends with one message, at the latest where the
// limit lies: nothing behind it is scanned.
TEST(ScannerTest, TextBeyondTheLimitIsRefused)
{
    size_t old = setModelTextLimit(1u << 20);
    resetCompileErrorCount();
    std::vector<ScannedToken> tokens = scanText("x\n" + std::string(2u << 20, ' ') + "y\n");
    EXPECT_EQ(1, compileErrorCount());
    EXPECT_LE(tokens.size(), 1u);
    // Exactly at the limit, nothing is refused.
    resetCompileErrorCount();
    std::string exact = "x" + std::string((1u << 20) - 3, ' ') + "y\n";
    EXPECT_EQ(2u, scanText(exact).size());
    EXPECT_EQ(0, compileErrorCount());
    setModelTextLimit(old);

    // An endless input of NUL bytes ends at its first byte, the end token.
    resetCompileErrorCount();
    FILE* f = fopen("/dev/zero", "rb");
    ASSERT_NE(nullptr, f);
    EXPECT_TRUE(scanStream(f).empty());
    fclose(f);
    EXPECT_EQ(0, compileErrorCount());
}

TEST(ScannerTest, CountsLines)
{
    FILE* f = streamOf("a\n/* x */\n$ layout\n// c\n# c\nb");
    kytfil = f;
    ASSERT_EQ(0, scanreset());
    EXPECT_EQ(TOK_Identifier, mdllex());
    EXPECT_EQ(1, scannerLine());
    EXPECT_EQ(TOK_Identifier, mdllex());
    EXPECT_EQ(6, scannerLine());
    EXPECT_STREQ("b", scannerTokenText());
    EXPECT_EQ(0, mdllex());
    ModuleRegistryFree();
    fclose(f);
}

TEST(ScannerTest, TextModeFileTurnsCrLfIntoLfAndKeepsALoneCr)
{
    ScratchDir dir;
    dir.write("text.kyt", "a\r\nb\rc\r\n");
    FILE* f = openFile(dir.file("text.kyt").c_str(), "rt");
    ASSERT_NE(nullptr, f);
    std::vector<int> got;
    for (const ScannedToken& t : scanStream(f))
        got.push_back(t.token);
    fclose(f);
    EXPECT_EQ((std::vector<int>{293, 293, 13, 293}), got);
}

TEST(ScannerTest, ResetPreparesTheCompile)
{
    EXPECT_NE(0, [] {
        kytfil = nullptr;
        return scanreset();
    }());
    FILE* f = streamOf("x");
    kytfil = f;
    setOption(OPTION_REAL_TIME);
    ASSERT_EQ(0, scanreset());
    EXPECT_EQ(1, testOption(OPTION_COMPILE_PHASE));
    EXPECT_EQ(0, testOption(OPTION_REAL_TIME));
    EXPECT_EQ(0, nextGeneratedProcedure());
    EXPECT_EQ(1, nextGeneratedProcedure());
    ASSERT_EQ(0, scanreset());
    EXPECT_EQ(0, nextGeneratedProcedure());
    ModuleRegistryFree();
    clearOptions();
    fclose(f);
}

TEST(TokenNameTest, NamesAsSyntaxErrorsShowThem)
{
    const struct {
        int token;
        const char* name;
    } cases[] = {
        {0, "Dateiende"},
        {8, "'\\b'"},
        {9, "'\\t'"},
        {10, "'\\n'"},
        {12, "'\\f'"},
        {13, "'\\r'"},
        {36, "'$`"},
        {95, "'_`"},
        {0xC4, "Zeichen 0xC4"},
        {1, "Zeichen 0x01"},
        {256, "Fehler"},
        {257, "CIRCUIT"},
        {274, "."},
        {286, "STRINGKEY"},
        {293, "Identifier"},
        {294, "Number"},
        {295, "String"},
        {316, "&&"},
        {317, "||"},
        {318, "!"},
        {339, "ENDIF"},
        {340, "KILL"},
        {341, "UNC"},
        {342, "-"},
        {343, "Symbol 343"},
        {400, "Symbol 400"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.name, tokenName(c.token).text()) << c.token;
}

TEST(TokenNameTest, KeywordSpellingsComeFromTheTable)
{
    EXPECT_EQ(TOK_STRINGKEY, keywordToken("STRING"));
    EXPECT_EQ(TOK_AND, keywordToken("AND"));
    EXPECT_EQ(0, keywordToken("FILE"));
    EXPECT_EQ(0, keywordToken("KILL"));
    EXPECT_EQ(0, keywordToken("Identifier"));
    // Every keyword the scanner knows scans as itself.
    for (int i = 0; i < tokenTableSize; ++i) {
        if (!tokenTable[i].spelling)
            continue;
        std::vector<ScannedToken> tokens = scanText(tokenTable[i].spelling);
        ASSERT_EQ(1u, tokens.size()) << tokenTable[i].spelling;
        EXPECT_EQ(tokenTable[i].token, tokens[0].token) << tokenTable[i].spelling;
    }
}

} // namespace
