#include "YaccParser.h"

#include "MessageLog.h"
#include "ResString.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A parser with the smallest grammar: none. It records every line change, as
// a derived parser that keeps its own counter would see them.
class ProbeParser : public YaccParser {
public:
    const char* tokenName(int) override { return "?"; }
    int parse() override
    {
        reset();
        return 0;
    }
    void setLine(int l) override
    {
        seenLines.push_back(l);
        YaccParser::setLine(l);
    }
    std::vector<int> seenLines;
};

const std::string kBoxPrefix = std::string(getResString(20909)) + " ";

// Table of message cases shared with the compiler log (see MessageTextsTest):
// what the parser shows for a sequence of calls.
struct ParserCase {
    const char* what;
    void (*setUp)(YaccParser& p);
    void (*calls)(YaccParser& p);
    std::vector<std::string> boxes;  // texts without the "Fehler: " prefix
};

const std::vector<ParserCase>& parserCases()
{
    static const std::vector<ParserCase> cases = {
        {"fresh parser: line counter 1 shown as 0",
         [](YaccParser&) {},
         [](YaccParser& p) { YaccParser::error(&p, "Unbekannter Block %s", "PT1"); },
         {"In oder vor Zeile 0:\nUnbekannter Block PT1"}},
        {"line counter 5 shown as 4",
         [](YaccParser& p) { p.setLine(5); },
         [](YaccParser& p) { YaccParser::error(&p, "x"); },
         {"In oder vor Zeile 4:\nx"}},
        {"explicit line named exactly, the next lowered again",
         [](YaccParser& p) { p.setLine(5); },
         [](YaccParser& p) {
             p.setMessageLine(9);
             YaccParser::error(&p, "a");
             YaccParser::error(&p, "b");
         },
         {"In oder vor Zeile 9:\na", "In oder vor Zeile 8:\nb"}},
        {"after enableMessageLog: no line part, colon only",
         [](YaccParser& p) { p.enableMessageLog(); },
         [](YaccParser& p) { YaccParser::error(&p, "leer"); },
         {":\nleer"}},
        {"after disableMessageLog: Während der Analyse",
         [](YaccParser& p) { p.disableMessageLog(); },
         [](YaccParser& p) { YaccParser::error(&p, "Regel %d", 3); },
         {"W\xE4hrend der Analyse\nRegel 3"}},
        {"two alternatives: one box, both quoted",
         [](YaccParser& p) { p.setLine(3); },
         [](YaccParser& p) {
             YaccParser::error(&p, nullptr, "IF");
             YaccParser::error(&p, nullptr, "THEN");
             YaccParser::error(&p, nullptr, nullptr);
         },
         {"In oder vor Zeile 2:\n\nerwartet wird: \" IF \"\n         oder: \" THEN \""}},
        {"closing call without a list: syntax error",
         [](YaccParser&) {},
         [](YaccParser& p) { YaccParser::error(&p, nullptr, nullptr); },
         {"In oder vor Zeile 0:\nsyntax error"}},
        {"a percent sign in the text is shown as it is",
         [](YaccParser&) {},
         [](YaccParser& p) { YaccParser::error(&p, "%s", "100%d %s"); },
         {"In oder vor Zeile 0:\n100%d %s"}},
        {"stack overflow of a generated parser",
         [](YaccParser& p) { p.setLine(2); },
         [](YaccParser& p) { p.stackOverflow(); },
         {"In oder vor Zeile 1:\nyacc stack overflow"}},
    };
    return cases;
}

TEST(YaccParserTest, MessagesOfTheCaseTable)
{
    for (const ParserCase& c : parserCases()) {
        SCOPED_TRACE(c.what);
        RecordingScope rec;
        ProbeParser p;
        c.setUp(p);
        c.calls(p);
        ASSERT_EQ(c.boxes.size(), rec.sink.boxes.size());
        for (size_t i = 0; i < c.boxes.size(); ++i)
            EXPECT_EQ(kBoxPrefix + c.boxes[i], rec.sink.boxes[i]);
        // The last text stays in the object for the code that ran the parse.
        EXPECT_EQ(c.boxes.back(), p.getMessage());
        EXPECT_EQ(0, p.isListOpen());
        EXPECT_TRUE(rec.viewer.calls.empty());
    }
}

TEST(YaccParserTest, AlternativesWaitForTheClosingCall)
{
    RecordingScope rec;
    ProbeParser p;
    YaccParser::error(&p, nullptr, "Number");
    EXPECT_TRUE(rec.sink.boxes.empty());
    EXPECT_EQ(1, p.isListOpen());
    // A message with a format abandons the open list: its closing call then
    // has nothing stale to show.
    YaccParser::error(&p, "Abbruch");
    YaccParser::error(&p, nullptr, nullptr);
    ASSERT_EQ(2u, rec.sink.boxes.size());
    EXPECT_EQ(kBoxPrefix + "In oder vor Zeile 0:\nAbbruch", rec.sink.boxes[0]);
    EXPECT_EQ(kBoxPrefix + "In oder vor Zeile 0:\nsyntax error", rec.sink.boxes[1]);
}

TEST(YaccParserTest, LineChangesGoThroughTheDerivedSetLine)
{
    ProbeParser p;
    // The constructor sets the line without the table: the derived part did
    // not exist yet.
    EXPECT_TRUE(p.seenLines.empty());
    EXPECT_EQ(1, p.getLine());
    p.enableMessageLog();
    p.setMessageLine(12);
    p.reset();
    EXPECT_EQ((std::vector<int>{0, 12, 1}), p.seenLines);
    EXPECT_EQ(1, p.getLineMode());
    EXPECT_EQ(0, p.isLinePending());
}

TEST(YaccParserTest, ResetStartsOver)
{
    RecordingScope rec;
    ProbeParser p;
    p.disableMessageLog();
    p.setMessageLine(40);
    YaccParser::error(&p, nullptr, "a");
    p.parse();
    EXPECT_STREQ("", p.getMessage());
    EXPECT_EQ(0, p.isListOpen());
    EXPECT_EQ(1, p.getLineMode());
    YaccParser::error(&p, "z");
    EXPECT_STREQ("In oder vor Zeile 0:\nz", p.getMessage());
}

TEST(YaccParserTest, LongTextsAreCutAtTheMessageSize)
{
    RecordingScope rec;
    ProbeParser p;
    std::string longName(3000, 'n');
    YaccParser::error(&p, "Name %s Ende", longName.c_str());
    std::string m = p.getMessage();
    EXPECT_EQ(static_cast<size_t>(YaccParser::kMessageSize - 1), m.size());
    EXPECT_EQ("In oder vor Zeile 0:\nName nnn", m.substr(0, 29));

    // Alternatives that overflow the message are cut as well.
    for (int i = 0; i < 100; ++i)
        YaccParser::error(&p, nullptr, longName.c_str());
    YaccParser::error(&p, nullptr, nullptr);
    EXPECT_EQ(static_cast<size_t>(YaccParser::kMessageSize - 1), std::string(p.getMessage()).size());
    EXPECT_EQ(2u, rec.sink.boxes.size());
}

TEST(YaccParserTest, WithoutReportingTheMessageIsOnlyKept)
{
    RecordingScope rec;
    ProbeParser p;
    EXPECT_TRUE(p.isReporting());
    p.setReporting(false);
    p.setLine(3);
    YaccParser::error(&p, nullptr, "IF");
    YaccParser::error(&p, nullptr, nullptr);
    EXPECT_STREQ("In oder vor Zeile 2:\n\nerwartet wird: \" IF \"", p.getMessage());
    p.stackOverflow();
    // A parse starts over, and stays quiet.
    p.parse();
    YaccParser::error(&p, "x");
    EXPECT_TRUE(rec.sink.boxes.empty());
    EXPECT_STREQ("In oder vor Zeile 0:\nx", p.getMessage());
    p.setReporting(true);
    YaccParser::error(&p, "y");
    EXPECT_EQ(1u, rec.sink.boxes.size());
}

TEST(YaccParserTest, StackDepthOfTheGeneratedParsers)
{
    EXPECT_EQ(150, kYaccStackDepth);
    EXPECT_STREQ("yacc stack overflow", kYaccStackOverflow);
}

} // namespace
