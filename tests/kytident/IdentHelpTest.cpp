// The help file: the probe of the shift-operator letter and the sections of
// the methods.
#include "IdentHelp.h"

#include "kytident/IdentTestSupport.h"
#include "ResString.h"

#include <string>

namespace {

const std::string kData = KYTIDENT_TEST_DATA;

class IdentHelpTest : public IdentScratchTest {};

TEST_F(IdentHelpTest, ProbeTakesTheFirstAmpersandLetterPair)
{
    struct Case {
        const char* text;
        char letter;
    } cases[] = {
        {"&1 Hilfe zu G(&q)\n&z", 'q'},   // a digit does not decide
        {"G(&z) und G(&q)", 'z'},
        {"&Q", 'z'},                      // only a small q gives q
        {"Ohne Paar & q &", 'z'},
        {"", 'z'},
    };
    for (const Case& c : cases) {
        write("identhlp.txt", c.text);
        bool opened = false;
        EXPECT_EQ(c.letter, probeIdentHelp(dir + "/identhlp.txt", &opened)) << c.text;
        EXPECT_TRUE(opened);
    }
    bool opened = true;
    EXPECT_EQ('z', probeIdentHelp(dir + "/fehlt.txt", &opened));
    EXPECT_FALSE(opened);

    EXPECT_EQ("C:\\kyt\\hilfe\\identhlp.txt", identHelpPath("C:\\kyt\\hilfe"));
    EXPECT_EQ("C:\\kyt\\hilfe\\identhlp.txt", identHelpPath("C:\\kyt\\hilfe\\"));
}

TEST_F(IdentHelpTest, SectionsRunToTheNextMark)
{
    const std::string text = "Allgemein G(&z)\n&q&2\nZwei B(&z)\n&3\nDrei\n&20\nZwanzig\n&4";
    struct Case {
        int method;
        char letter;
        bool found;
        std::string section;
    } cases[] = {
        {2, 'q', true, "\r\nZwei B(q)\r\n"},
        {2, 'z', true, "\r\nZwei B(z)\r\n"},
        {3, 'z', true, "\r\nDrei\r\n"},
        {20, 'z', true, "\r\nZwanzig\r\n"},
        {4, 'z', true, ""},
        {0, 'z', false, ""},
    };
    for (const Case& c : cases) {
        std::string section;
        EXPECT_EQ(c.found, extractIdentHelpSection(text, c.method, c.letter, &section)) << c.method;
        if (c.found) {
            EXPECT_EQ(c.section, section) << c.method;
        }
    }
    // The general text ends at the first section; other "&" marks are left out.
    EXPECT_EQ("Allgemein G(q)\r\n", extractIdentGeneralHelp(text, 'q'));
}

TEST_F(IdentHelpTest, HelpFromTheFile)
{
    const std::string path = kData + "/identhlp.txt";
    std::string text;
    ASSERT_TRUE(identMethodHelp(path, 2, 'q', &text));
    EXPECT_EQ("\r\nHilfsvariable: Instrumentvariablen, Modell B(q)/A(q).\r\nGamma gewichtet, d verzögert.\r\n", text);
    ASSERT_TRUE(identGeneralHelp(path, 'z', &text));
    EXPECT_EQ("Hilfe zu KYTident: Identifikation zeitdiskreter Modelle G(z).\r\nDie Verfahren stehen unten.\r\n", text);

    // A method without a section: the text that says so.
    ASSERT_TRUE(identMethodHelp(path, 5, 'z', &text));
    std::string expected;
    for (const char* p = getResString(26980); *p; ++p)
        expected += *p == '\n' ? std::string("\r\n") : std::string(1, *p);
    EXPECT_EQ(expected, text);

    EXPECT_FALSE(identMethodHelp(dir + "/fehlt.txt", 0, 'z', &text));
    EXPECT_FALSE(identGeneralHelp(dir + "/fehlt.txt", 'z', &text));
}

} // namespace
