// The back end's checks and the shapes of the PI text it writes, one small
// circuit per case: either the PI text holds the given pieces (and loads),
// or the compile stops with exactly one message, shown where the user must
// see it.
#include "BackendTestSupport.h"

#include "NumberFormat.h"

#include <cmath>

namespace {

using namespace backendtest;

// A block B (its lines given) used once as b, with more circuit lines.
std::string oneBlock(std::initializer_list<const char*> block, std::initializer_list<const char*> circuit = {})
{
    return lines(block) + "CIRCUIT C;\nUSE B AS b\nENDUSE\n" + lines(circuit) + "ENDCIRCUIT C;\n";
}

struct Outcome {
    unsigned int id;            // 0: the text compiles
    Shown where;
    int line;                   // SHOWN_AT_LINE: the line named
    std::string text;           // the message after its position
    std::vector<std::string> pieces;   // compiled: parts of the PI text
};

Outcome compiles(std::vector<std::string> pieces)
{
    return {0, SHOWN_IN_BOX, -1, "", std::move(pieces)};
}

Outcome atLine(unsigned int id, int line, std::string text)
{
    return {id, SHOWN_AT_LINE, line, std::move(text), {}};
}

Outcome inBox(unsigned int id, std::string text)
{
    return {id, SHOWN_IN_BOX, -1, std::move(text), {}};
}

Outcome withListing(unsigned int id)
{
    return {id, SHOWN_LISTING, -1, getResString(id), {}};
}

struct CompileCase {
    const char* name;
    std::string text;
    Outcome outcome;
};

// The text is the string-table format filled in: %s and %d stand for any text.
bool matchesFormat(const std::string& format, const std::string& text)
{
    std::string pattern;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 's' || format[i + 1] == 'd')) {
            pattern += "[^]*";
            ++i;
        } else if (strchr("\\^$.|?*+()[]{}", format[i])) {
            pattern += std::string("\\") + format[i];
        } else {
            pattern += format[i];
        }
    }
    return std::regex_match(text, std::regex(pattern, std::regex::ECMAScript));
}

const std::vector<CompileCase>& compileCases()
{
    static const std::vector<CompileCase> cases = {
        // ---- order
        {"a statement follows the one that assigns what it reads",
         oneBlock({"BLOCK B;", "OUTPUT x; y;", "SIM", "  x = y;", "  y = 1;", "ENDSIM", "ENDBLOCK B;"}),
         compiles({"#line 5\n   PUSH  1.\n   POP   V 1  // b_y\n\n"
                   "#line 4\n   PUSH  V 1  // b_y\n   POP   V 0  // b_x\n\n"})},
        {"two statements reading each other are a loop",
         oneBlock({"BLOCK B;", "OUTPUT x; y;", "SIM", "  x = y;", "  y = x;", "ENDSIM", "ENDBLOCK B;"}),
         withListing(20068)},
        {"INIT statements reading each other are a loop",
         oneBlock({"BLOCK B;", "VAR a; c;", "INIT", "  a := c;", "  c := a;", "ENDINIT", "ENDBLOCK B;"}),
         withListing(20064)},
        {"procedures take priorities in the order of the statements that attach them",
         oneBlock({"BLOCK B;", "OUTPUT x; y;", "SIM", "  y = x <- q;", "  x = 1 <- p;", "ENDSIM",
                   "PROCEDURE p;", "ENDPROCEDURE", "PROCEDURE q;", "ENDPROCEDURE", "ENDBLOCK B;"}),
         compiles({"DISC  0  // b_p:999\n", "DISC  1  // b_q:998\n"})},
        {"a CALL trailer runs the procedure at once and joins its result",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1 <- CALL p;", "ENDSIM", "PROCEDURE p;",
                   "  STORE;", "ENDPROCEDURE", "ENDBLOCK B;"}),
         compiles({"#line 4\n   CALL  0  // b_p\n   PUSH  V 3  // return\n   FUNC  OR\n"
                   "   POP   V 3  // return\n\n   PUSH  1.\n   POP   V 0  // b_y\n\n",
                   "DISC  0  // b_p:999\n"})},

        // ---- parameters and connections
        {"a constant parameter value is folded, one naming a parameter is INIT code",
         lines({"BLOCK B;", "OUTPUT y;", "PARAMETER K = 1.; T = 1.;", "SIM", "  y = K*T;", "ENDSIM", "ENDBLOCK B;",
                "CIRCUIT C;", "USE B AS b", "  K = 2*3;", "  T = K;", "ENDUSE", "ENDCIRCUIT C;"}),
         compiles({"PARAMS   2\n   \"b_K\"  6.   // 0\n   \"b_T\"  0.   // 1\n",
                   "INIT\n   PUSH  0\n   POP   V 1  // return\n\n"
                   "#line 11\n   PUSH  P 0  // b_K\n   POP   P 1  // b_T\n\n   PUSH  V 1  // return\n"})},
        {"an input reads its output's slot",
         lines({"BLOCK Q;", "OUTPUT y;", "SIM", "  y = 1;", "ENDSIM", "ENDBLOCK Q;", "BLOCK B;", "INPUT u;",
                "OUTPUT y;", "SIM", "  y = u;", "ENDSIM", "ENDBLOCK B;", "CIRCUIT C;", "USE B AS b", "ENDUSE",
                "USE Q AS q", "ENDUSE", "CONNECT q.y TO b.u;", "ENDCIRCUIT C;"}),
         compiles({"VARS     4\n   \"b_y\"   // 0\n   \"q_y\"   // 1\n",
                   "   PUSH  V 1  // b_u alias q_y\n   POP   V 0  // b_y\n"})},
        {"a second connection to an input",
         lines({"BLOCK B;", "INPUT u;", "OUTPUT y;", "SIM", "  y = u;", "ENDSIM", "ENDBLOCK B;", "CIRCUIT C;",
                "USE B AS b", "ENDUSE", "USE B AS c", "ENDUSE", "CONNECT b.y TO c.u, c.y TO c.u;",
                "CONNECT c.y TO b.u;", "ENDCIRCUIT C;"}),
         inBox(20036, "CONNECT - Eingangssignal \"c.u\" ist bereits verbunden!")},
        {"a connection from an input",
         lines({"BLOCK B;", "INPUT u;", "OUTPUT y;", "SIM", "  y = u;", "ENDSIM", "ENDBLOCK B;", "CIRCUIT C;",
                "USE B AS b", "ENDUSE", "CONNECT b.u TO b.u;", "ENDCIRCUIT C;"}),
         inBox(20034, "CONNECT - Signal \"b.u\" ist kein Ausgang!")},
        {"a connection to an output",
         oneBlock({"BLOCK B;", "OUTPUT y; z;", "SIM", "  y = 1;", "  z = 2;", "ENDSIM", "ENDBLOCK B;"},
                  {"CONNECT b.y TO b.z;"}),
         inBox(20035, "CONNECT - Signal \"b.z\" ist kein Eingang!")},
        {"an input without connection",
         oneBlock({"BLOCK B;", "INPUT u;", "OUTPUT y;", "SIM", "  y = u;", "ENDSIM", "ENDBLOCK B;"}),
         inBox(20037, "CONNECT - Eingangssignal \"b_u\" ist nicht verbunden!")},
        {"an input saved",
         oneBlock({"BLOCK B;", "INPUT u;", "OUTPUT y;", "SIM", "  y = u;", "ENDSIM", "ENDBLOCK B;"},
                  {"CONNECT b.y TO b.u;", "SAVE b.u;"}),
         inBox(20039, "SAVE - Eingangssignal \"b.u\" kann nicht gespeichert werden!")},
        {"an unknown actual parameter",
         lines({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1;", "ENDSIM", "ENDBLOCK B;", "CIRCUIT C;", "USE B AS b",
                "  Z = 1;", "ENDUSE", "ENDCIRCUIT C;"}),
         inBox(20042, "Unbekannter Aktualparameter \"Z\" in Block \"b\"!")},
        {"an actual value for an output",
         lines({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1;", "ENDSIM", "ENDBLOCK B;", "CIRCUIT C;", "USE B AS b",
                "  y = 1;", "ENDUSE", "ENDCIRCUIT C;"}),
         inBox(20041, "Symbol \"y\" in Block \"b\" ist kein Parameter!")},
        {"a STRING parameter given a number",
         lines({"BLOCK B;", "PARAMETER name STRING = \"x\";", "SIM", "  SHOW(name);", "ENDSIM", "ENDBLOCK B;",
                "CIRCUIT C;", "USE B AS b", "  name = 5;", "ENDUSE", "ENDCIRCUIT C;"}),
         inBox(19151, "Auf der rechten Seite der Zuweisung zu name wird ein String erwartet(b)!")},
        {"a parameter given a string",
         lines({"BLOCK B;", "OUTPUT y;", "PARAMETER K = 1.;", "SIM", "  y = K;", "ENDSIM", "ENDBLOCK B;",
                "CIRCUIT C;", "USE B AS b", "  K = \"eins\";", "ENDUSE", "ENDCIRCUIT C;"}),
         inBox(19150, "Dem Parameter b_K darf kein String zugewiesen werden!")},
        {"a parameter without value",
         oneBlock({"BLOCK B;", "OUTPUT y;", "PARAMETER K;", "SIM", "  y = K;", "ENDSIM", "ENDBLOCK B;"}),
         inBox(20066, "PARAMETER Variable \"b_K\" wurde nicht initialisiert (b)!")},
        {"a parameter value beyond the range of double",
         lines({"BLOCK B;", "OUTPUT y;", "PARAMETER K = 1.;", "SIM", "  y = K;", "ENDSIM", "ENDBLOCK B;",
                "CIRCUIT C;", "USE B AS b", "  K = 1e200*1e200;", "ENDUSE", "ENDCIRCUIT C;"}),
         atLine(20095, 10, "Zahl außerhalb des darstellbaren Bereichs!")},

        // ---- sockets and strings
        {"sockets of the same text share one parameter slot",
         lines({"BLOCK S;", "OUTPUT y;", "PARAMETER bus SOCKET = \"Bus\";", "SIM", "  y = bus;", "ENDSIM",
                "ENDBLOCK S;", "BLOCK W;", "PARAMETER bus SOCKET = \"Bus\";", "SIM", "  bus = NOW;", "ENDSIM",
                "ENDBLOCK W;", "CIRCUIT C;", "USE S AS s1", "ENDUSE", "USE W AS w", "ENDUSE", "USE S AS s2",
                "ENDUSE", "ENDCIRCUIT C;"}),
         compiles({"PARAMS   1\n   \"s1_bus\"  0.   // 0 w_bus s2_bus\nSTRINGS", "   POP   P 0  // w_bus alias s1_bus\n",
                   "   PUSH  P 0  // s2_bus alias s1_bus\n"})},
        {"SOCKET = THIS shares by the instance's THIS name",
         lines({"BLOCK S;", "OUTPUT y;", "PARAMETER bus SOCKET = THIS;", "SIM", "  y = bus;", "ENDSIM",
                "ENDBLOCK S;", "BLOCK W;", "PARAMETER bus SOCKET = THIS;", "SIM", "  bus = NOW;", "ENDSIM",
                "ENDBLOCK W;", "CIRCUIT C;", "USE W AS w1 THIS Eins", "ENDUSE", "USE W AS w2 THIS Zwei", "ENDUSE",
                "USE S AS s THIS Zwei", "ENDUSE", "ENDCIRCUIT C;"}),
         compiles({"PARAMS   2\n   \"w1_bus\"  0.   // 0\n   \"w2_bus\"  0.   // 1 s_bus\n",
                   "   PUSH  P 1  // s_bus alias w2_bus\n"})},
        {"STRING = THIS pushes the index of the THIS name",
         lines({"BLOCK B;", "PARAMETER name STRING = THIS;", "SIM", "  SHOW(\"vorher\");", "  SHOW(name);",
                "ENDSIM", "ENDBLOCK B;", "CIRCUIT C;", "USE B AS b THIS Regler1", "ENDUSE", "ENDCIRCUIT C;"}),
         compiles({"STRINGS  2\n   \"vorher\"  // 0\n   \"Regler1\"  // 1\n",
                   "#line 5\n   PUSH  1  // \"Regler1\"\n   FUNC  UPROC 1 \"SHOW\"\n"})},
        {"a STRING parameter in arithmetic",
         oneBlock({"BLOCK B;", "OUTPUT y;", "PARAMETER name STRING = \"x\";", "SIM", "  y = name + 1;", "ENDSIM",
                   "ENDBLOCK B;"}),
         atLine(18015, 5, "An dieser Stelle ist keine Zeichenkette erlaubt!")},

        // ---- code shapes
        {"a call pushes its last argument first",
         oneBlock({"BLOCK B;", "OUTPUT y;", "PARAMETER a = 2.; c = 3.;", "SIM", "  y = POW(a, c);", "ENDSIM",
                   "ENDBLOCK B;"}),
         compiles({"   PUSH  P 1  // b_c\n   PUSH  P 0  // b_a\n   FUNC  UFUNC 2 \"POW\"\n   POP   V 0  // b_y\n"})},
        {"&& leaves a false left operand as its result",
         oneBlock({"BLOCK B;", "PARAMETER a = 2.; c = 3.;", "VAR y = 0 DISCRETE", "PROCEDURE p;",
                   "  IF a > 0 && c > 0 THEN", "    y := 1;", "  ENDIF", "ENDPROCEDURE", "INIT",
                   "  SCHEDULE p AT 0;", "ENDINIT", "ENDBLOCK B;"}),
         compiles({"   PUSH  P 0  // b_a\n   PUSH  0.\n   FUNC  GT\n   NIFF  $0\n   PUSH  P 1  // b_c\n"
                   "   PUSH  0.\n   FUNC  GT\n$0\n   IFF   $1\n   PUSH  1.\n   POP   V 0  // b_y\n\n$1\n"})},
        {"ONRISE numbers its event and schedules its procedure now",
         oneBlock({"BLOCK B;", "OUTPUT y;", "VAR n = 0 DISCRETE", "SIM", "  y = NOW;", "  ONRISE y > 1 DO n := n + 1;",
                   "ENDSIM", "ENDBLOCK B;"}),
         compiles({"EVENTS   1\n", "   PUSH  V 0  // b_y\n   PUSH  1.\n   FUNC  GT\n   PUSH  1\n   FUNC  EVENT\n"
                                   "   IFF   $0\n   PUSH  T\n   PUSH  0  // priority\n   PUSH  0  // b_GenProc0\n"
                                   "   FUNC  SCHED\n\n$0\n"})},
        {"a dead time of a delay",
         oneBlock({"BLOCK B;", "OUTPUT y;", "DELAY d = 0.5;", "SIM", "  d = NOW;", "  y = d[NOW - 0.5];",
                   "ENDSIM", "ENDBLOCK B;"}),
         compiles({"DELAYS   1\n", "   PUSH  0.5\n   PUSH  0  // b_d\n   FUNC  DDELAY\n",
                   "   PUSH  T\n   PUSH  0  // b_d\n   FUNC  SDELAY\n",
                   "   PUSH  0.5\n   FUNC  SUB\n   PUSH  0  // b_d\n   FUNC  DELAY\n"})},
        {"[ ] reads only a delay",
         oneBlock({"BLOCK B;", "INPUT u;", "OUTPUT y;", "SIM", "  y = u[NOW - 1];", "ENDSIM", "ENDBLOCK B;"},
                  {"CONNECT b.y TO b.u;"}),
         atLine(20097, 5, "Nur eine DELAY Variable kann mit [ ] gelesen werden (b_u)!")},
        {"EXIT ends with its text",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = NOW;", "  EXIT \"Schluss\";", "ENDSIM", "ENDBLOCK B;"}),
         compiles({"   PUSH  0  // \"Schluss\"\n   FUNC  ABORT\n   PUSH  V 2  // return\n   PUSH  16\n"
                   "   FUNC  OR\n   POP   V 2  // return \n\n"})},

        // ---- assignments the ordering refuses
        {"two assignments to one output",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1;", "  y = 2;", "ENDSIM", "ENDBLOCK B;"}),
         atLine(20073, 5, "Mehrfache Zuweisung zu \"b_y\"!")},
        {"a parameter assigned",
         oneBlock({"BLOCK B;", "PARAMETER K = 1.;", "SIM", "  K = 2;", "ENDSIM", "ENDBLOCK B;"}),
         atLine(20074, 4, "PARAMETER Variable \"b_K\" darf nicht zugewiesen werden!")},
        {"an input assigned",
         oneBlock({"BLOCK B;", "INPUT u;", "OUTPUT y;", "SIM", "  y = 1;", "  u = 2;", "ENDSIM", "ENDBLOCK B;"},
                  {"CONNECT b.y TO b.u;"}),
         atLine(20075, 6, "INPUT Variable \"b_u\" darf nicht zugeweisen werden!")},
        {"a state assigned with =",
         oneBlock({"BLOCK B;", "STATE x = 0.;", "SIM", "  x = 1;", "ENDSIM", "ENDBLOCK B;"}),
         atLine(20076, 4, "STATE Variable \"b_x\" darf nicht zugeweisen werden!")},
        {"a derivative of an output",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y .= 1;", "ENDSIM", "ENDBLOCK B;"}),
         atLine(20086, 4, "Die Variable auf der linken Seite muß eine Zustandsvariable (STATE) sein!")},
        {"an output assigned in INIT",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1;", "ENDSIM", "INIT", "  y := 2;", "ENDINIT",
                   "ENDBLOCK B;"}),
         atLine(20078, 7, "OUTPUT Variable \"b_y\" darf nicht zugewiesen werden!")},
        {"an undefined name",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = z + 1;", "ENDSIM", "ENDBLOCK B;"}),
         atLine(20055, 4, "Symbol \"z\" in Block \"b\" ist nicht definiert!")},
        {"an undefined procedure",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = NOW;", "  ONRISE y > 1 DO nix;", "ENDSIM", "ENDBLOCK B;"}),
         atLine(20056, 5, "Prozedur \"nix\" in block \"b\" ist nicht definiert!")},
        {"the SWITCH variable assigned in a case",
         oneBlock({"BLOCK B;", "OUTPUT y;", "VAR v DISCRETE;", "SIM", "  SWITCH v", "  CASE 1: y = 1;",
                   "  CASE 2: v = 1;", "  ENDSWITCH", "ENDSIM", "INIT", "  v := 0;", "ENDINIT", "ENDBLOCK B;"}),
         atLine(20062, 7, "Switchvariable \"v\" darf nicht LHS sein!")},
        {"a SWITCH whose cases assign different outputs",
         oneBlock({"BLOCK B;", "OUTPUT a; c;", "VAR v DISCRETE;", "SIM", "  SWITCH v", "  CASE 1: a = 1; c = 1;",
                   "  CASE 2: a = 2;", "  ENDSWITCH", "ENDSIM", "INIT", "  v := 0;", "ENDINIT", "ENDBLOCK B;"}),
         atLine(20057, 6, "Variable \"c\" wird in einer SWITCH Anwesiung unsymmetrisch benutzt!")},

        // ---- the checks after ordering
        {"a DISCRETE var without initial value",
         oneBlock({"BLOCK B;", "OUTPUT y;", "VAR v DISCRETE;", "SIM", "  y = v;", "ENDSIM", "ENDBLOCK B;"}),
         inBox(20067, "DISCRETE Variable \"b_v\" wurde nicht initialisiert (b)!")},
        {"a state whose derivative is never assigned",
         oneBlock({"BLOCK B;", "OUTPUT y;", "STATE x = 0.;", "SIM", "  y = x;", "ENDSIM", "ENDBLOCK B;"}),
         inBox(20069, "Ableitung von STATE \"b_x\" wurde nicht zugewiesen (b)!")},
        {"a delay never written",
         oneBlock({"BLOCK B;", "OUTPUT y;", "DELAY d = 1.;", "SIM", "  y = d[NOW];", "ENDSIM", "ENDBLOCK B;"}),
         inBox(20070, "DELAY Variable \"b_d\" wurde nicht zugewiesen (b)!")},
        {"an output never assigned",
         oneBlock({"BLOCK B;", "OUTPUT y; z;", "SIM", "  y = 1;", "ENDSIM", "ENDBLOCK B;"}),
         inBox(20071, "OUTPUT Variable \"b_z\" wurde nicht zugewiesen (b)!")},
        {"a procedure never used",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1;", "ENDSIM", "PROCEDURE p;", "ENDPROCEDURE",
                   "ENDBLOCK B;"}),
         inBox(20072, "PROCEDURE \"b_p\" wurde nie benutzt (B)!")},

        // ---- refused before the back end
        {"a number beyond the range of double",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1e999;", "ENDSIM", "ENDBLOCK B;"}),
         atLine(20095, 4, "Zahl außerhalb des darstellbaren Bereichs!")},
        {"NOW as a target",
         oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1;", "  NOW = 1;", "ENDSIM", "ENDBLOCK B;"}),
         atLine(20096, 5, "NOW darf nicht zugewiesen werden!")},
    };
    return cases;
}

class CompileTableTest : public BackendTest {};

TEST_F(CompileTableTest, EachCaseCompilesOrGivesItsOneMessage)
{
    for (const CompileCase& c : compileCases()) {
        SCOPED_TRACE(c.name);
        forgetMessages();
        int result = generate(c.text);
        std::vector<Message> messages = shown();
        if (c.outcome.id == 0) {
            ASSERT_EQ(0, result) << (messages.empty() ? "" : messages[0].text);
            for (const std::string& piece : c.outcome.pieces)
                EXPECT_NE(std::string::npos, piText.find(piece)) << piece << "\n---- in:\n" << piText;
            EXPECT_TRUE(loadBuffer());
            EXPECT_TRUE(shown().empty());
            continue;
        }
        EXPECT_NE(0, result);
        EXPECT_EQ(0, codeLineCount(&piTextBuffer));
        ASSERT_EQ(1u, messages.size());
        EXPECT_EQ(c.outcome.where, messages[0].where);
        EXPECT_EQ(c.outcome.text, messages[0].text);
        if (c.outcome.where != SHOWN_IN_BOX) {
            EXPECT_EQ(c.outcome.line, messages[0].line);
        }
        EXPECT_TRUE(matchesFormat(getResString(c.outcome.id), messages[0].text)) << c.outcome.id;
    }
}

TEST_F(CompileTableTest, CircuitWithoutNameIsUnknown)
{
    // Only tables built by hand can lack the name: the grammar needs one.
    openBlock("", "B");
    addSymbol("y", SYMBOL_OUTPUT, "", 0, nullptr);
    setContinuousCode(makeNode(makeNameNode("y", NODE_VARIABLE, 3), makeNumberNode(1, 3), NODE_ASSIGN, 3));
    ASSERT_EQ(0, closeBlock("B"));
    ASSERT_EQ(0, addInstance("", "B", "b", ""));
    ASSERT_EQ(0, PiCodeGenerate(kPiCodeGenerator, nullptr, 0));
    EXPECT_EQ(0, bufferText().find("// PI-code generated by KYTmdl-compiler Oct 21 1997 11:33:53\n"
                                   "EXAMPLE \"Unknown\"\n\n"));
}

TEST_F(CompileTableTest, OnlyThePiCodeGeneratorExists)
{
    std::string text = oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1;", "ENDSIM", "ENDBLOCK B;"});
    EXPECT_EQ(1, generate(text, nullptr, 0, 1));
    std::vector<Message> messages = shown();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("Interner Fehler: Geforderter Codegenerator nict verfügbar!", messages[0].text);
    EXPECT_EQ(0, codeLineCount(&piTextBuffer));
}

TEST_F(CompileTableTest, ListingFileThatCannotBeOpened)
{
    std::string text = oneBlock({"BLOCK B;", "OUTPUT y;", "SIM", "  y = 1;", "ENDSIM", "ENDBLOCK B;"});
    std::string listing = scratch.file("kein/verzeichnis.pi");
    EXPECT_EQ(1, generate(text, listing.c_str()));
    ASSERT_EQ(1u, shown().size());
    EXPECT_EQ("Die Datei " + listing + " kann nicht geöffnet werden!", shown()[0].text);
    EXPECT_EQ(0, codeLineCount(&piTextBuffer));
}

TEST_F(CompileTableTest, SymbolListingOfEveryKindAndFlag)
{
    std::string text =
        lines({"BLOCK B;", "INPUT u;", "OUTPUT y;", "PARAMETER K = 2.; name STRING = \"Text\";",
               "  bus SOCKET = \"Bus\";", "VAR v = 0 DISCRETE", "STATE x = 1.;", "DELAY d = K;", "SIM",
               "  x .= -x;", "  bus = x;", "  d = u;", "  SWITCH v", "  CASE 0: y = d[NOW - K];", "  ENDSWITCH",
               "ENDSIM", "ENDBLOCK B;", "CIRCUIT C;", "USE B AS b", "ENDUSE",
               "CONNECT b.y TO b.u;", "SAVE b.y, db.x, b.x, b.K;", "ENDCIRCUIT C;"});
    ASSERT_EQ(0, generate(text, nullptr, 1));
    EXPECT_EQ("SYMBOL TABELLE\n"
              "VAR\n"
              "   b_u = 0. - input     alias b_y\n"
              "   b_y = 0. - output    assigned within an if SAVE\n"
              "   b_v = 0. - variable  discrete initialized\n"
              "PARAMETER\n"
              "   b_K = 2. - parameter initialized SAVE\n"
              "   b_name = 0. - string    initialized\n"
              "    =    4: name = \"Text\";\n"
              "   b_bus = 0. - socket    assigned initialized\n"
              "    =    5: bus = \"Bus\";\n"
              "STATE\n"
              "   b_x = 1. - state     assigned initialized SAVE SAVE DERIVATE\n"
              "DELAY\n"
              "   b_d = 0. - delay     assigned initialized\n"
              "STRING\n"
              "   \"Text\" /* 0 */\n"
              "   \"Bus\" /* 1 */\n"
              "ENDE SYMBOLTABELLE\n"
              "\n"
              "INITS\n"
              "   6:    b_v = 0.;\n"
              "   8:    b_d = b_K;\n"
              "ENDINITS\n"
              "\n"
              "SIMS\n"
              "  10:    b_x .= -b_x;\n"
              "  11:    b_bus = b_x;\n"
              "  14:    IF b_v == 0. THEN\n"
              "  14:       b_y = b_d[NOW-b_K];\n"
              "  14:    ENDIF\n"
              "  12:    b_d = b_u;\n"
              "ENDSIMS\n",
              scratch.read("kytsym.tmp"));
}

TEST_F(CompileTableTest, ParamsLineOfAnyLengthLoads)
{
    // Every instance's socket joins the first one's PARAMS line.
    std::string text = lines({"BLOCK S;", "OUTPUT y;", "PARAMETER bus SOCKET = \"Bus\";", "SIM", "  y = bus;",
                              "ENDSIM", "ENDBLOCK S;", "BLOCK W;", "PARAMETER bus SOCKET = \"Bus\";", "SIM",
                              "  bus = NOW;", "ENDSIM", "ENDBLOCK W;", "CIRCUIT C;", "USE W AS w", "ENDUSE"});
    for (int i = 0; i < 150; ++i)
        text += "USE S AS instanz" + std::to_string(i) + "\nENDUSE\n";
    text += "ENDCIRCUIT C;\n";
    ASSERT_EQ(0, generate(text));
    size_t from = piText.find("   \"w_bus\"");
    ASSERT_NE(std::string::npos, from);
    size_t to = piText.find('\n', from);
    EXPECT_GT(to - from, 1500u);
    EXPECT_TRUE(loadBuffer());
}

TEST(WriteNumberTest, TextOfTheLoaderAndNothingForNonFiniteValues)
{
    const struct {
        double v;
        const char* text;
    } cases[] = {
        {0, "0."}, {12.5, "12.5"}, {1e-5, "1.e-5"}, {1e14, "1.e+014"}, {1e30, "1.e+030"},
        {-2.5e-300, "-2.5e-300"}, {0.3, "0.3"}, {-6, "-6."},
    };
    for (const auto& c : cases) {
        char text[kMaxNumberText + 1];
        EXPECT_TRUE(writeNumber(c.v, text));
        EXPECT_STREQ(c.text, text);
        // One formatter for the PI text and the symbol listing.
        char listed[kMaxNumberText + 1];
        formatNumber(c.v, listed);
        EXPECT_STREQ(listed, text);
    }
    char text[kMaxNumberText + 1];
    EXPECT_FALSE(writeNumber(HUGE_VAL, text));
    EXPECT_FALSE(writeNumber(-HUGE_VAL, text));
    EXPECT_FALSE(writeNumber(NAN, text));
}

} // namespace
