#include "PageFixtures.h"
#include "RuleText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(RuleText, LinesStayWholeAndEndWithOneLineEnd)
{
    struct Case {
        const char* what;
        std::string file;
        std::string text;
    } const cases[] = {
        {"three trailing empty lines", "IF (e==neg) THEN u=pos;\n\n\n\n", "IF (e==neg) THEN u=pos;\r\n"},
        {"no line end at the end", "IF (e==neg) THEN u=pos;", "IF (e==neg) THEN u=pos;\r\n"},
        {"CR LF in the file", "a;\r\nb;\r\n", "a;\r\nb;\r\n"},
        {"empty lines between rules stay", "a;\n\nb;\n", "a;\r\n\r\nb;\r\n"},
        {"only empty lines", "\n\n\n", "\r\n"},
        {"nothing", "", "\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rebuildRuleText(c.file), c.text) << c.what;
    const std::string longLine(250, 'x');
    EXPECT_EQ(rebuildRuleText(longLine + "\n"), longLine + "\r\n");
}

TEST(RuleText, PrintLayoutWrapsAt78Columns)
{
    const std::string line(100, 'r');
    const std::string printed = rulePrintLayout("Titel", "Wed Jan 02 02:03:55 1980", "Anmerkung", line + "\r\nkurz\r\n");
    const std::string head = "\n\n\n\n\tTitel\n\n\tWed Jan 02 02:03:55 1980\n\tAnmerkung\n\n\n\n";
    EXPECT_EQ(printed, head + std::string(78, 'r') + "\n\t\t" + std::string(22, 'r') + "\nkurz\n");
    // A continuation counts from column 8: 70 more characters fill it.
    const std::string longer = rulePrintLayout("T", "D", "C", std::string(148, 'r'));
    EXPECT_EQ(longer.substr(longer.size() - 3), "\n\t\t");
}

TEST(RuleText, DateLikeTheStandardLibrary)
{
    const char* before = getenv("TZ");
    const std::string saved = before ? before : "";
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(ruleDateText(315626635), "Wed Jan 02 02:03:55 1980");
    if (before)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(RuleText, BlockInformation)
{
    TestBlock b;
    FuzzyVariable* e = b.addInput(makeTestVariable("e", "0", "1", nullptr));
    addTestMember(e, makeTestMember("neg", "TRAPEZ", {"0", "0", "0", "1"}));
    addTestMember(e, makeTestMember("pos", "TRAPEZ", {"0", "1", "1", "1"}));
    FuzzyVariable* de = b.addInput(makeTestVariable("de", "0", "1", nullptr));
    addTestMember(de, makeTestMember("null", "SINGLETON", {"0"}));
    FuzzyVariable* u = b.addOutput(makeTestVariable("u", "0", "1", nullptr));
    addTestMember(u, makeTestMember("klein", "SINGLETON", {"0"}));
    const std::string golden = "Achtung:\r\nInformation ist nur solange g\xfcltig,\r\n"
                               "bis eine \xc4nderung an den Variablen\r\nvorgenommen wird!\r\n\r\n"
                               "EINGANGSVARIABLEN:\r\n\te:\r\n\t\tneg\r\n\t\tpos\r\n\tde:\r\n\t\tnull\r\n\r\n"
                               "AUSGANGSVARIABLEN:\r\n\tu:\r\n\t\tklein\r\n\r\n";
    EXPECT_EQ(blockInformation(&b.block), golden);
    TestBlock empty;
    EXPECT_EQ(blockInformation(&empty.block),
              "Achtung:\r\nInformation ist nur solange g\xfcltig,\r\n"
              "bis eine \xc4nderung an den Variablen\r\nvorgenommen wird!\r\n\r\n"
              "EINGANGSVARIABLEN:\r\nAUSGANGSVARIABLEN:\r\n");
}

} // namespace

#include "EditorStrings.h"
#include "ErrorReporter.h"
#include "FuzzyModel.h"
#include "FuzzySession.h"

#include <fstream>
#include <unistd.h>

namespace {

class RuleFileTest : public EditorStringsTest {
protected:
    void SetUp() override
    {
        EditorStringsTest::SetUp();
        setMessageBoxesEnabled(false);
        disableErrorLog();
        char tmpl[] = "/tmp/kytfuzzyrulesXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
    }
    void TearDown() override
    {
        EXPECT_EQ(0, system(("rm -rf '" + dir + "'").c_str()));
        enableErrorLog();
        setMessageBoxesEnabled(true);
        EditorStringsTest::TearDown();
    }
    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    }
    std::string dir;
};

struct QuietUi : FuzzySessionUi {
    bool ask(const std::string&) override { return true; }
    void showBox(const std::string&, const std::string&) override {}
    std::string chooseFileToOpen() override { return ""; }
    std::string chooseFileToSave() override { return ""; }
};

const char* const kTwoInputs =
    "FBLOCK \"R\";\nCONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_prod;\n"
    " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n"
    "INPUTVAR e;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 1, 1, 1;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "INPUTVAR de;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "OUTPUTVAR u;\n XMIN -1;\n XMAX 1;\n MEMBER pos;\n  SINGLETON 1;\n ENDMEMBER;\nENDOUTPUTVAR;\n"
    "RULEBASE;\nIF (e==neg) THEN u=pos;\nENDRULEBASE;\nENDFBLOCK;\n";

int countRules(FuzzyKernel* k)
{
    int n = 0;
    for (FuzzyRuleNode* r = k->getBlock()->rules; r; r = r->next)
        ++n;
    return n;
}

TEST_F(RuleFileTest, ChecksAndAppliesTheWorkFile)
{
    QuietUi ui;
    FuzzySession session(&ui);
    ASSERT_EQ(1, session.openBlock(write("r.kyb", kTwoInputs)));
    FuzzyKernel* k = session.model();
    std::string message;

    EXPECT_EQ(applyRuleFile(k, write("rule.tmp", "IF (e==neg) THEN u=pos;\nIF (de==neg) THEN u=pos;\n"), &message),
              RULES_CORRECT);
    EXPECT_EQ(countRules(k), 2);

    EXPECT_EQ(applyRuleFile(k, write("rule.tmp", "IF (e==neg) THEN u=;\n"), &message), RULES_SYNTAX_ERROR);
    EXPECT_EQ(0u, message.find("Rulebase : "));
    EXPECT_EQ(countRules(k), 2);

    EXPECT_EQ(applyRuleFile(k, write("rule.tmp", "IF (e==neg) THEN v=pos;\n"), &message), RULES_SEMANTIC_ERROR);
    EXPECT_NE(std::string::npos, message.find("Es gibt keinen Ausgang mit Namen \"v"));
    EXPECT_EQ(countRules(k), 1);

    EXPECT_EQ(applyRuleFile(k, dir + "/fehlt.tmp", &message), RULES_UNREADABLE);
}

} // namespace
