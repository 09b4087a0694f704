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
