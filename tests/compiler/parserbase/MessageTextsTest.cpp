// One table of message cases for the two message builders: the compiler's
// message log and the parser base of the other generated parsers. The same
// calls give the same texts where the two agree (position by line, the
// "Während der Analyse" prefix, an explicit line, "syntax error"); the table
// also pins down where they differ on purpose: the compiler names the token
// and shows positioned messages in the file viewer, the parsers quote their
// alternatives and always use an error box.
#include "MessageLog.h"
#include "ResString.h"
#include "TestSinks.h"
#include "YaccParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum Op { LINE, MESSAGE_LINE, DISABLE, MSG, ALT, CLOSE };

struct Step {
    Op op;
    int n;
    const char* text;
};

struct Shown {
    std::string text;
    int viewerLine;  // -1: an error box
};

struct MessageCase {
    const char* what;
    const char* token;  // the scanner's token text, seen by the compiler only
    std::vector<Step> steps;
    std::vector<Shown> compiler;
    std::vector<std::string> parser;  // always error boxes
};

const std::string k30(30, 'q');

const std::vector<MessageCase>& cases()
{
    static const std::vector<MessageCase> table = {
        {"line 7 near x1", "x1",
         {{LINE, 7, nullptr}, {MSG, 0, "Unbekannter Bezeichner"}},
         {{"In oder vor Zeile 7 in der N\xE4he von \"x1\":\nUnbekannter Bezeichner", 7}},
         {"In oder vor Zeile 6:\nUnbekannter Bezeichner"}},
        {"newline token: the line is lowered, no token part", "\n",
         {{LINE, 7, nullptr}, {MSG, 0, "Fehlt"}},
         {{"In oder vor Zeile 6:\nFehlt", 7}},
         {"In oder vor Zeile 6:\nFehlt"}},
        {"a token of 30 characters is quoted with 20", k30.c_str(),
         {{LINE, 3, nullptr}, {MSG, 0, "zu lang"}},
         {{"In oder vor Zeile 3 in der N\xE4he von \"" + std::string(20, 'q') + "\":\nzu lang", 3}},
         {"In oder vor Zeile 2:\nzu lang"}},
        {"a token is quoted up to its newline", "ab\ncd",
         {{LINE, 4, nullptr}, {MSG, 0, "m"}},
         {{"In oder vor Zeile 4 in der N\xE4he von \"ab\":\nm", 4}},
         {"In oder vor Zeile 3:\nm"}},
        {"two expected alternatives", "",
         {{LINE, 5, nullptr}, {ALT, 0, "IF"}, {ALT, 0, "THEN"}, {CLOSE, 0, nullptr}},
         {{"In oder vor Zeile 4:\n\nerwartet wird: IF\n         oder: THEN", 5}},
         {"In oder vor Zeile 4:\n\nerwartet wird: \" IF \"\n         oder: \" THEN \""}},
        {"no alternative: syntax error", "",
         {{LINE, 5, nullptr}, {CLOSE, 0, nullptr}},
         {{"In oder vor Zeile 4:\nsyntax error", 5}},
         {"In oder vor Zeile 4:\nsyntax error"}},
        {"log off: no position, an error box", "x1",
         {{DISABLE, 0, nullptr}, {MSG, 0, "Zyklus"}},
         {{"W\xE4hrend der Analyse\nZyklus", -1}},
         {"W\xE4hrend der Analyse\nZyklus"}},
        {"log off: a list of alternatives still goes to the viewer", "",
         {{DISABLE, 0, nullptr}, {ALT, 0, "ENDBLOCK"}, {CLOSE, 0, nullptr}},
         {{"W\xE4hrend der Analyse\n\nerwartet wird: ENDBLOCK", 1}},
         {"W\xE4hrend der Analyse\n\nerwartet wird: \" ENDBLOCK \""}},
        {"log off, explicit line 12, then without position again", "",
         {{DISABLE, 0, nullptr}, {MESSAGE_LINE, 12, nullptr}, {MSG, 0, "a"}, {MSG, 0, "b"}},
         {{"In oder vor Zeile 12:\na", 12}, {"W\xE4hrend der Analyse\nb", -1}},
         {"In oder vor Zeile 12:\na", "W\xE4hrend der Analyse\nb"}},
        {"log on, explicit line with a token near it", "y",
         {{LINE, 30, nullptr}, {MESSAGE_LINE, 12, nullptr}, {MSG, 0, "a"}, {MSG, 0, "b"}},
         {{"In oder vor Zeile 12 in der N\xE4he von \"y\":\na", 12},
          {"In oder vor Zeile 12 in der N\xE4he von \"y\":\nb", 12}},
         {"In oder vor Zeile 12:\na", "In oder vor Zeile 11:\nb"}},
        {"line 0 and no token: the compiler has no position", "",
         {{LINE, 0, nullptr}, {MSG, 0, "leer"}},
         {{"leer", -1}},
         {":\nleer"}},
        {"percent signs stay as they are", "%s",
         {{LINE, 2, nullptr}, {MSG, 0, "50% %d"}},
         {{"In oder vor Zeile 2 in der N\xE4he von \"%s\":\n50% %d", 2}},
         {"In oder vor Zeile 1:\n50% %d"}},
    };
    return table;
}

const char* caseToken = "";
const char* tokenSource() { return caseToken; }

const std::string kBoxPrefix = std::string(getResString(20909)) + " ";

class MessageTextsTest : public ::testing::Test {
protected:
    void SetUp() override { attachScanner(nullptr, tokenSource); }
    void TearDown() override
    {
        detachScanner();
        disableMessageLog();
    }
};

void runCompiler(const MessageCase& c)
{
    caseToken = c.token;
    enableMessageLog();
    for (const Step& s : c.steps) {
        switch (s.op) {
        case LINE: setCompilerLine(s.n); break;
        case MESSAGE_LINE: setMessageLine(s.n); break;
        case DISABLE: disableMessageLog(); break;
        case MSG: compilerMessage("%s", s.text); break;
        case ALT: compilerMessage(nullptr, s.text); break;
        case CLOSE: compilerMessage(nullptr, nullptr); break;
        }
    }
}

class Parser : public YaccParser {
public:
    const char* tokenName(int) override { return ""; }
    int parse() override { return 0; }
};

void runParser(const MessageCase& c, YaccParser& p)
{
    for (const Step& s : c.steps) {
        switch (s.op) {
        case LINE: p.setLine(s.n); break;
        case MESSAGE_LINE: p.setMessageLine(s.n); break;
        case DISABLE: p.disableMessageLog(); break;
        case MSG: YaccParser::error(&p, "%s", s.text); break;
        case ALT: YaccParser::error(&p, nullptr, s.text); break;
        case CLOSE: YaccParser::error(&p, nullptr, nullptr); break;
        }
    }
}

TEST_F(MessageTextsTest, CompilerLog)
{
    for (const MessageCase& c : cases()) {
        SCOPED_TRACE(c.what);
        RecordingScope rec;
        runCompiler(c);
        size_t box = 0;
        size_t view = 0;
        // Boxes and viewer calls in the order the table gives them.
        for (const Shown& e : c.compiler) {
            if (e.viewerLine < 0) {
                ASSERT_LT(box, rec.sink.boxes.size());
                EXPECT_EQ(kBoxPrefix + e.text, rec.sink.boxes[box++]);
            } else {
                ASSERT_LT(view, rec.viewer.calls.size());
                const ViewerCall& v = rec.viewer.calls[view++];
                EXPECT_EQ(e.text, v.message);
                EXPECT_EQ(e.viewerLine, v.line);
                EXPECT_EQ("kyttrans.tmp", v.path);
            }
        }
        EXPECT_EQ(box, rec.sink.boxes.size());
        EXPECT_EQ(view, rec.viewer.calls.size());
    }
}

TEST_F(MessageTextsTest, ParserBase)
{
    for (const MessageCase& c : cases()) {
        SCOPED_TRACE(c.what);
        RecordingScope rec;
        Parser p;
        runParser(c, p);
        ASSERT_EQ(c.parser.size(), rec.sink.boxes.size());
        for (size_t i = 0; i < c.parser.size(); ++i)
            EXPECT_EQ(kBoxPrefix + c.parser[i], rec.sink.boxes[i]);
        EXPECT_TRUE(rec.viewer.calls.empty());
    }
}

} // namespace
