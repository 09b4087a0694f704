#include "EditorStrings.h"
#include "ErrorReporter.h"
#include "FuzzyBlockWriter.h"
#include "FuzzyModel.h"
#include "FuzzyParsers.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string blockText(int inputs)
{
    std::string t = "FBLOCK \"n" + std::to_string(inputs) + "\";\n"
                    "CONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_min;\n"
                    " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n";
    for (int i = 0; i < inputs; ++i)
        t += "INPUTVAR e" + std::to_string(i) + ";\n XMIN -1;\n XMAX 1;\n"
             " MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n  COLOR red;\n ENDMEMBER;\n"
             " MEMBER pos;\n  TRAPEZ 0, 1, 1, 1;\n  POSITION 3, 4;\n ENDMEMBER;\nENDINPUTVAR;\n";
    t += "OUTPUTVAR u;\n XMIN -2;\n XMAX 2.5e+00;\n MEMBER neg;\n  SINGLETON -1;\n ENDMEMBER;\n"
         " MEMBER pos;\n  SINGLETON 1;\n ENDMEMBER;\nENDOUTPUTVAR;\nRULEBASE;\n";
    for (int i = 0; i < inputs; ++i)
        t += "IF ((e" + std::to_string(i) + "==neg) OR NOT (e0==pos)) THEN u=pos WITH 0.5;\n";
    return t + "ENDRULEBASE;\nCOMMENT drei Eing\xe4nge;\nENDFBLOCK;\n";
}

struct Stream {
    explicit Stream(const std::string& text) : data(text)
    {
        f = fmemopen(const_cast<char*>(data.data()), data.size(), "rb");
    }
    ~Stream()
    {
        if (f)
            fclose(f);
    }
    std::string data;
    FILE* f;
};

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct KernelDeleter {
    void operator()(FuzzyKernel* k) const { delete k; }
};
using KernelPtr = std::unique_ptr<FuzzyKernel, KernelDeleter>;

class FuzzyParsersTest : public EditorStringsTest {
protected:
    void SetUp() override
    {
        EditorStringsTest::SetUp();
        char tmpl[] = "/tmp/kytfuzzyparseXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
    }
    void TearDown() override
    {
        for (const char* n : {"/a.kyb", "/b.kyb"})
            remove((dir + n).c_str());
        rmdir(dir.c_str());
        EditorStringsTest::TearDown();
    }
    std::string dir;
};

TEST_F(FuzzyParsersTest, BuildPassRoundTripsWithOneToThreeInputs)
{
    for (int inputs = 1; inputs <= 3; ++inputs) {
        KernelPtr k(newFuzzyBlock());
        Stream in(blockText(inputs));
        ASSERT_EQ(0, checkFuzzyText(in.f)) << inputs;
        Stream again(blockText(inputs));
        ASSERT_EQ(0, parseFuzzyBlock(k.get(), again.f)) << inputs;
        FuzzyBlock* b = k->getBlock();
        int count = 0;
        for (FuzzyVariable* v = b->inputs; v; v = v->next)
            ++count;
        EXPECT_EQ(inputs, count);
        EXPECT_TRUE(checkAmbiguity(k.get()));
        EXPECT_TRUE(checkCompleteness(k.get()));

        // The writer's text read back and written again gives the same bytes.
        ASSERT_EQ(1, FuzzyBlockWrite(b, (dir + "/a.kyb").c_str()));
        std::string first = fileText(dir + "/a.kyb");
        KernelPtr k2(newFuzzyBlock());
        FILE* f = fopen((dir + "/a.kyb").c_str(), "rb");
        ASSERT_TRUE(f);
        EXPECT_EQ(0, parseFuzzyBlock(k2.get(), f));
        fclose(f);
        ASSERT_EQ(1, FuzzyBlockWrite(k2->getBlock(), (dir + "/b.kyb").c_str()));
        EXPECT_EQ(first, fileText(dir + "/b.kyb")) << inputs;
    }
}

TEST_F(FuzzyParsersTest, CheckPassesLeaveTheModelAlone)
{
    KernelPtr k(newFuzzyBlock());
    Stream block(blockText(2));
    ASSERT_EQ(0, parseFuzzyBlock(k.get(), block.f));
    FuzzyBlock* before = k->getBlock();
    FuzzyRuleNode* rules = before->rules;

    Stream other(blockText(3));
    EXPECT_EQ(0, checkFuzzyText(other.f));
    Stream ruleText("IF (e==neg) THEN u=pos;\n");
    EXPECT_EQ(0, checkRuleBase(ruleText.f));
    EXPECT_EQ(before, k->getBlock());
    EXPECT_EQ(rules, k->getBlock()->rules);
    EXPECT_STREQ("e1", before->inputs->next->name);
    EXPECT_EQ(nullptr, before->inputs->next->next);
}

TEST_F(FuzzyParsersTest, RuleBaseBuildsRulesInOrder)
{
    KernelPtr k(newFuzzyBlock());
    Stream ruleText("IF (e==neg) THEN u=pos;\nIF (e==pos) THEN u=neg WITH 0.5;");
    ASSERT_EQ(0, parseRuleBase(k.get(), ruleText.f));
    FuzzyRuleNode* n = k->getBlock()->rules;
    ASSERT_TRUE(n && n->next);
    EXPECT_EQ(nullptr, n->next->next);
    EXPECT_STREQ("pos", n->rule->conclusion->term);
    EXPECT_EQ(nullptr, n->rule->cfText);
    EXPECT_STREQ("neg", n->next->rule->conclusion->term);
    EXPECT_STREQ("0.5", n->next->rule->cfText);

    // A text with an error keeps the rules.
    Stream bad("IF (e==neg) THEN u=pos;\nIF e==pos THEN;");
    std::string message;
    EXPECT_EQ(1, parseRuleBase(k.get(), bad.f, &message));
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(n, k->getBlock()->rules);
}

TEST_F(FuzzyParsersTest, SyntaxErrorListsTheExpectedTokens)
{
    std::string text = blockText(1);
    text.replace(text.find("XMAX 1;"), 7, "XMAX 1");
    Stream in(text);
    std::string message;
    EXPECT_EQ(1, checkFuzzyText(in.f, &message));
    EXPECT_NE(std::string::npos, message.find("\nerwartet wird: ")) << message;
}

// Counts what would reach the user through the error reporter.
class CountingSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int exitCode) override { _exit(exitCode); }
    std::vector<std::string> boxes;
};

TEST_F(FuzzyParsersTest, TheReadersKeepTheirMessageAndShowNoBox)
{
    // The editor shows a syntax error in one German box of its own; the
    // parser must not show a second one through the error reporter.
    std::string block = blockText(1);
    block.replace(block.find("XMAX 1;"), 7, "XMAX 1");
    const std::string rules = "IF (e0==neg) THEN u=;\n";
    struct Reader {
        const char* what;
        const std::string* text;
        int (*read)(FuzzyKernel* k, FILE* f, std::string* m);
        int line;
        const char* expected;
    } readers[] = {
        {"#4 block check", &block, [](FuzzyKernel*, FILE* f, std::string* m) { return checkFuzzyText(f, m); }, 11,
         "\" ; \""},
        {"#1 block build", &block, [](FuzzyKernel* k, FILE* f, std::string* m) { return parseFuzzyBlock(k, f, m); }, 11,
         "\" ; \""},
        {"#2 rule check", &rules, [](FuzzyKernel*, FILE* f, std::string* m) { return checkRuleBase(f, m); }, 1,
         "\" Identifier \""},
        {"#3 rule build", &rules, [](FuzzyKernel* k, FILE* f, std::string* m) { return parseRuleBase(k, f, m); }, 1,
         "\" Identifier \""},
    };
    for (const Reader& r : readers) {
        SCOPED_TRACE(r.what);
        CountingSink sink;
        setErrorSink(&sink);
        disableErrorLog();
        Stream in(*r.text);
        KernelPtr k(newFuzzyBlock());
        std::string message;
        EXPECT_EQ(1, r.read(k.get(), in.f, &message));
        setErrorSink(nullptr);
        enableErrorLog();
        EXPECT_TRUE(sink.boxes.empty()) << sink.boxes.front();
        EXPECT_EQ(0u, message.find("In oder vor Zeile " + std::to_string(r.line) + ":")) << message;
        EXPECT_NE(std::string::npos, message.find(std::string("erwartet wird: ") + r.expected)) << message;
    }
}

TEST_F(FuzzyParsersTest, DeepNestingOverflowsTheParserStack)
{
    std::string text = "IF " + std::string(151, '(') + "e==neg" + std::string(151, ')') + " THEN u=pos;\n";
    for (int build = 0; build < 2; ++build) {
        Stream in(text);
        std::string message;
        KernelPtr k(newFuzzyBlock());
        int result = build ? parseRuleBase(k.get(), in.f, &message) : checkRuleBase(in.f, &message);
        EXPECT_EQ(1, result);
        EXPECT_NE(std::string::npos, message.find("yacc stack overflow")) << message;
        EXPECT_EQ(nullptr, k->getBlock()->rules);
    }
}

TEST_F(FuzzyParsersTest, PlainModeKeepsHashAsRemarkAndDropsCarriageReturns)
{
    // A wizard block's "#" lines are no fuzzy text for the editor's reader.
    Stream wizard("$ WIZARD x\n#" + blockText(1));
    EXPECT_EQ(1, checkFuzzyText(wizard.f));
    std::string crlf;
    for (char c : blockText(1)) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    KernelPtr k(newFuzzyBlock());
    Stream in(crlf);
    ASSERT_EQ(0, parseFuzzyBlock(k.get(), in.f));
    EXPECT_STREQ("drei Eing\xe4nge", k->getBlock()->comment);
}

} // namespace
