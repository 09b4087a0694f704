#include "CompilerTestSupport.h"

#include "ResString.h"
#include "TextLines.h"

#include <cstring>

namespace {

// A block type of library "Standard" and type "pt1", lines 1 to 11.
const std::string pt1Block = lines({
    "FROM \"Standard\" \"pt1\"",
    "BLOCK PT1;",
    "INPUT u;",
    "OUTPUT y;",
    "PARAMETER K = 1.;",
    "STATE x;",
    "SIM",
    "  x .= K*u - x;",
    "  y = x;",
    "ENDSIM",
    "ENDBLOCK PT1;",
});

// The text is the format filled in: %s and %d stand for any text.
bool matchesFormat(const std::string& format, const std::string& text)
{
    std::string pattern;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 's' || format[i + 1] == 'd')) {
            pattern += ".*";
            ++i;
        } else if (strchr("\\^$.|?*+()[]{}", format[i])) {
            pattern += std::string("\\") + format[i];
        } else {
            pattern += format[i];
        }
    }
    return std::regex_match(text, std::regex(pattern));
}

struct Expected {
    unsigned int id;
    int line;
    const char* text;
};

struct MessageCase {
    const char* name;
    std::string text;
    std::vector<Expected> messages;
};

const std::vector<MessageCase>& messageCases()
{
    static const std::vector<MessageCase> cases = {
        {"circuit closed under another name",
         lines({"CIRCUIT C;", "ENDCIRCUIT D;"}),
         {{20001, 2, "Schaltungsname \"D\" am Ende sollte \"C\" lauten!"}}},
        {"instance twice",
         pt1Block + lines({"CIRCUIT C;", "FROM \"Standard\"", "USE pt1 AS B_1", "ENDUSE",
                           "FROM \"Standard\"", "USE pt1 AS B_1", "ENDUSE", "ENDCIRCUIT C;"}),
         {{20002, 18, "Mehrfach definierter Block \"B_1\"!"}}},
        {"unknown block type",
         pt1Block + lines({"CIRCUIT C;", "FROM \"Standard\"", "USE pt2 AS B_1", "ENDUSE", "ENDCIRCUIT C;"}),
         {{20003, 15, "Nicht definierter Block \"pt2\"!"}}},
        {"block type of another library",
         pt1Block + lines({"CIRCUIT C;", "USE pt1 AS B_1", "ENDUSE", "ENDCIRCUIT C;"}),
         {{20003, 14, "Nicht definierter Block \"pt1\"!"}}},
        {"instance name with d",
         pt1Block + lines({"CIRCUIT C;", "FROM \"Standard\"", "USE pt1 AS dX", "ENDUSE", "ENDCIRCUIT C;"}),
         {{20004, 15, "Nicht erlaubter Blockname \"dX\" - Er darf nicht mit \"d\" beginnen!"}}},
        {"parameter value twice",
         pt1Block + lines({"CIRCUIT C;", "FROM \"Standard\"", "USE pt1 AS B_1", "  K = 1;", "  K = 2;",
                           "ENDUSE", "ENDCIRCUIT C;"}),
         {{20005, 16, "Mehrfach definiertes Symbol \"K\"!"}}},
        {"save of an unknown signal",
         pt1Block + lines({"CIRCUIT C;", "SAVE X.y;", "ENDCIRCUIT C;"}),
         {{20008, 13, "Unbekanntes Signal \"X.y\" da der Block unbekannt ist!"},
          {20006, 13, "Nicht erlaubtes SAVE!"}}},
        {"connection of unknown signals",
         pt1Block + lines({"CIRCUIT C;", "FROM \"Standard\"", "USE pt1 AS B_1", "ENDUSE",
                           "CONNECT B_1.z TO B_1.u,", "  B_1.y TO dB_1.K;", "ENDCIRCUIT C;"}),
         {{20009, 16, "Unbekanntes Signal \"B_1.z\" da das Symbol unbekannt ist!"},
          {20009, 17, "Unbekanntes Signal \"dB_1.K\" da das Symbol unbekannt ist!"}}},
        {"block closed under another name",
         lines({"BLOCK A;", "ENDBLOCK B;", "BLOCK C;", "SIM", "ENDSIM", "ENDBLOCK C;", "CIRCUIT X;",
                "ENDCIRCUIT X;"}),
         {{20011, 2, "BLockname \"B\" am Ende sollte \"A\" lauten!"}}},
        {"block type twice",
         lines({"FROM \"L\" \"t\"", "BLOCK A;", "ENDBLOCK A;", "FROM \"L\" \"t\"", "BLOCK B;", "ENDBLOCK B;",
                "CIRCUIT X;", "ENDCIRCUIT X;"}),
         {{20012, 6, "Mehrfach definierter Blocktyp!"}}},
        {"symbol twice",
         lines({"BLOCK A;", "INPUT u;", "OUTPUT u;", "ENDBLOCK A;", "CIRCUIT X;", "ENDCIRCUIT X;"}),
         {{20013, 3, "Mehrfach definiertes Symbol \"u\" in Block \"A\"!"}}},
        {"procedure twice",
         lines({"BLOCK A;", "PROCEDURE p;", "ENDPROCEDURE;", "PROCEDURE p;", "ENDPROCEDURE;", "ENDBLOCK A;",
                "CIRCUIT X;", "ENDCIRCUIT X;"}),
         {{20014, 5, "Mehrfach definierte Prozedur \"p\" in Block \"A\"!"}}},
        {"TYPENAME outside a block",
         pt1Block + lines({"CIRCUIT C;", "FROM \"Standard\"", "USE pt1 AS B_1", "  K = TYPENAME;", "ENDUSE",
                           "ENDCIRCUIT C;"}),
         {{18014, 15, "Für das Schlüsselwort TYPENAME kann kein Namen des Blocks ermittelt werden!"}}},
        {"unknown procedure",
         lines({"BLOCK A;", "SIM", "  FOO(1);", "  SQR(2);", "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;",
                "ENDCIRCUIT X;"}),
         {{22001, 3, "Unbekannte Prozedur FOO(...) in Block \"A\"!"},
          {22001, 4, "Unbekannte Prozedur SQR(...) in Block \"A\"!"}}},
        {"procedure with the wrong parameters",
         lines({"BLOCK A;", "SIM", "  SHOW(1);", "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;", "ENDCIRCUIT X;"}),
         {{22002, 3, "Falsche Parameterliste für Prozedur SHOW(String) in Block \"A\"!"}}},
        {"unknown function",
         lines({"BLOCK A;", "OUTPUT y;", "SIM", "  y = FOO(1);", "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;",
                "ENDCIRCUIT X;"}),
         {{22003, 4, "Unbekannte Function FOO(...) in Block \"A\"!"}}},
        {"function with the wrong parameters",
         lines({"BLOCK A;", "OUTPUT y;", "SIM", "  y = POW(1);", "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;",
                "ENDCIRCUIT X;"}),
         {{22004, 4, "Falsche Parameterliste für Funktion POW(Zahl, Zahl) in Block \"A\"!"}}},
        {"number out of range",
         lines({"BLOCK A;", "OUTPUT y;", "SIM", "  y = 1e999;", "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;",
                "ENDCIRCUIT X;"}),
         {{20095, 4, "Zahl außerhalb des darstellbaren Bereichs!"}}},
        {"assignment to NOW",
         lines({"BLOCK A;", "SIM", "  NOW = 1;", "  NOW .= 1 <- p;", "ENDSIM", "PROCEDURE p;", "  NOW := 2;",
                "ENDPROCEDURE", "ENDBLOCK A;", "CIRCUIT X;", "ENDCIRCUIT X;"}),
         {{20096, 3, "NOW darf nicht zugewiesen werden!"},
          {20096, 4, "NOW darf nicht zugewiesen werden!"},
          {20096, 7, "NOW darf nicht zugewiesen werden!"}}},
    };
    return cases;
}

class ParserMessageTest : public CompilerTest {};

TEST_F(ParserMessageTest, EachMessageByIdAndTextAtItsLine)
{
    for (const MessageCase& c : messageCases()) {
        SCOPED_TRACE(c.name);
        scope.viewer.calls.clear();
        scope.sink.boxes.clear();
        EXPECT_EQ(1, parse(c.text));
        std::vector<ShownMessage> shown = messages();
        ASSERT_EQ(c.messages.size(), shown.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            const Expected& e = c.messages[i];
            EXPECT_EQ(e.line, shown[i].line) << e.id;
            EXPECT_EQ(e.text, shown[i].text) << e.id;
            // The string table holds the text under its id.
            EXPECT_TRUE(matchesFormat(getResString(e.id), e.text)) << e.id;
        }
        EXPECT_TRUE(scope.sink.boxes.empty());
        EXPECT_EQ(0, registeredPointerCount());
        freeSymbolTables();
    }
}

TEST_F(ParserMessageTest, ViewerOpensTheTranslatedFileAtTheLine)
{
    EXPECT_EQ(1, parse(lines({"CIRCUIT C;", "", "ENDCIRCUIT D;"})));
    ASSERT_EQ(1u, scope.viewer.calls.size());
    EXPECT_EQ(3, scope.viewer.calls[0].line);
    EXPECT_NE(std::string::npos, scope.viewer.calls[0].path.find("kyttrans.tmp"));
    EXPECT_EQ(0, scope.viewer.calls[0].message.find("In oder vor Zeile 3 in der Nähe von \";\":\n"));
}

TEST_F(ParserMessageTest, UnknownCharacterListsTheExpectedTokens)
{
    EXPECT_EQ(1, parse(lines({"BLOCK A;", "OUTPUT y;", "SIM", "  y = @;", "ENDSIM", "ENDBLOCK A;"})));
    ASSERT_EQ(1u, scope.viewer.calls.size());
    EXPECT_EQ(4, scope.viewer.calls[0].line);
    EXPECT_EQ("In oder vor Zeile 4 in der Nähe von \"@\":\n"
              "\nerwartet wird: Identifier"
              "\n         oder: Number"
              "\n         oder: -"
              "\n         oder: ("
              "\n         oder: NOW",
              scope.viewer.calls[0].message);
}

TEST_F(ParserMessageTest, SyntaxErrors)
{
    const std::string deep = "  y = " + std::string(200, '(') + "1" + std::string(200, ')') + ";";
    const struct {
        const char* name;
        std::string text;
        int line;
        const char* contains;
    } cases[] = {
        {"VAR with a value ends without semicolon",
         lines({"BLOCK A;", "VAR x = 1;", "ENDBLOCK A;", "CIRCUIT X;", "ENDCIRCUIT X;"}), 2,
         "in der Nähe von \";\":\n\nerwartet wird: "},
        {"overlong identifier",
         lines({"BLOCK A;", "OUTPUT y;", "SIM", "  y = 1;", (std::string("  ") + std::string(101, 'a') + " = 1;").c_str(),
                "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;", "ENDCIRCUIT X;"}),
         5, "erwartet wird: "},
        {"carriage return in a statement",
         lines({"BLOCK A;", "OUTPUT y;", "SIM", "  y = 1;\r", "ENDSIM", "ENDBLOCK A;"}), 4,
         "erwartet wird: "},
        {"no circuit", lines({"BLOCK A;", "ENDBLOCK A;"}), 2, "erwartet wird: CIRCUIT"},
        {"text after the circuit", lines({"CIRCUIT X;", "ENDCIRCUIT X", "Rest"}), 3, "Dateiende"},
        // A byte above 127 is a character of its own, never the end of the input.
        {"byte above 127 after the circuit", lines({"CIRCUIT X;", "ENDCIRCUIT X;", "\xC4"}), 3,
         "erwartet wird: Dateiende"},
        {"nesting beyond the parse stack",
         lines({"BLOCK A;", "OUTPUT y;", "SIM", deep.c_str(), "ENDSIM", "ENDBLOCK A;", "CIRCUIT X;",
                "ENDCIRCUIT X;"}),
         4, "yacc stack overflow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scope.viewer.calls.clear();
        EXPECT_EQ(1, parse(c.text));
        ASSERT_EQ(1u, scope.viewer.calls.size());
        ShownMessage m = splitMessage(scope.viewer.calls[0].message);
        EXPECT_EQ(c.line, m.line);
        EXPECT_NE(std::string::npos, scope.viewer.calls[0].message.find(c.contains))
            << scope.viewer.calls[0].message;
        EXPECT_EQ(0, registeredPointerCount());
    }
}

TEST_F(ParserMessageTest, VarWithValueAndNoSemicolonIsAccepted)
{
    EXPECT_EQ(0, parse(lines({"BLOCK A;", "VAR x = 1 y = 2 DISCRETE \"Zustand\"", "z;", "ENDBLOCK A;",
                              "CIRCUIT X;", "ENDCIRCUIT X;"})));
    Symbol* s = blockTypeList()->symbols;
    ASSERT_NE(nullptr, s);
    EXPECT_STREQ("x", s->name);
    ASSERT_NE(nullptr, s->next);
    EXPECT_EQ(SYMBOL_DISCRETE, s->next->attributes);
    EXPECT_STREQ("Zustand", s->next->comment);
    ASSERT_NE(nullptr, s->next->next);
    EXPECT_STREQ("z", s->next->next->name);
}

TEST_F(ParserMessageTest, ScanresetRefusalCompilesNothing)
{
    ModuleEntry rows[] = {
        {"TWICE", MODULE_FUNCTION(testFunction), MODULE_FUNCTION_ROW, "d"},
        {"TWICE", MODULE_FUNCTION(testFunction), MODULE_FUNCTION_ROW, "d"},
        {nullptr, nullptr, 0, nullptr},
    };
    static ModuleDescriptor descriptor;
    descriptor = {0, 0, rows, "X"};
    const ModuleRegisterFunction list[] = {[](const HostServices*) { return &descriptor; }, nullptr};
    setModuleLibraryList(list);
    EXPECT_EQ(2, parse(lines({"CIRCUIT X;", "ENDCIRCUIT X;"})));
    ASSERT_EQ(2u, scope.sink.boxes.size());
    EXPECT_NE(std::string::npos, scope.sink.boxes[1].find("scanreset()"));
    EXPECT_EQ(nullptr, circuitName());
    setModuleLibraryList(testLibraryList);
}

} // namespace
