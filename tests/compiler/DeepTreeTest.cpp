// Long and deep model text on the stack the Winelib programs have (1 MiB):
// sequences of any length compile, expressions and lists up to the height
// limit compile, anything higher is refused with 20204 at the line where it
// starts. Nothing may crash, whatever the text.
#include "BackendTestSupport.h"
#include "SmallStack.h"

#include "BoundedText.h"

#include <functional>

namespace {

using namespace backendtest;

// n copies of item joined by separator.
std::string joined(const std::string& item, const std::string& separator, int n)
{
    std::string s;
    s.reserve((item.size() + separator.size()) * n);
    for (int i = 0; i < n; ++i) {
        if (i)
            s += separator;
        s += item;
    }
    return s;
}

// A block whose SIM section starts at line 5 with sim; a procedure p with
// body, scheduled by INIT when it has one, and init in the INIT section.
std::string model(const std::string& sim, const std::string& body = "", const std::string& init = "")
{
    std::string text = "BLOCK B;\nOUTPUT y;\nSTATE x = 0.;\nSIM\n" + sim + "x .= -x;\nENDSIM\n";
    if (!body.empty())
        text += "PROCEDURE p;\n" + body + "ENDPROCEDURE\n";
    if (!body.empty() || !init.empty())
        text += "INIT\n" + std::string(body.empty() ? "" : "SCHEDULE p AT 1;\n") + init + "ENDINIT\n";
    return text + "ENDBLOCK B;\nCIRCUIT C;\nUSE B AS b\nENDUSE\nENDCIRCUIT C;\n";
}

std::string tooDeep()
{
    char text[256];
    formatBounded(text, sizeof text, getResString(20204), kMaxTreeHeight);
    return text;
}

size_t count(const std::string& text, const std::string& piece)
{
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++n;
    return n;
}

// Generated text and what it must give.
struct DeepCase {
    const char* name;
    std::function<std::string()> text;
    const char* piece;     // compiled: a line of the PI text; null: refused
    size_t pieces;         // how often the PI text holds it
    int line;              // refused: the line the message names
    bool load = true;      // compiled: the PI text goes through the loader
};

// The sum of k terms and the assignment make a tree k + 1 high.
const int kDeepestSum = kMaxTreeHeight - 1;

std::string switchWith(int cases, const std::string& tail)
{
    std::string text = "SWITCH x\n";
    for (int i = 0; i < cases; ++i)
        text += "CASE " + std::to_string(i) + ": y = " + std::to_string(i) + ";\n";
    return text + tail + "ENDSWITCH\n";
}

const std::string kShow = "SHOW(\"a\");\n";

const std::vector<DeepCase>& refusedCases()
{
    static const std::vector<DeepCase> cases = {
        {"sum of 100,000 terms", [] { return model("y = " + joined("NOW", "+", 100000) + ";\n"); }, nullptr, 0, 5},
        {"a line of 1 MB: 1+1+...", [] { return model("y = " + joined("1", "+", 500000) + ";\n"); }, nullptr, 0, 5},
        {"one more term than the deepest sum",
         [] { return model("y = " + joined("NOW", "+", kDeepestSum + 1) + ";\n"); }, nullptr, 0, 5},
        {"condition of 100,000 comparisons",
         [] { return model("y = 0;\n", "IF " + joined("x > 1", " AND ", 100000) + " THEN\n y := 1;\nENDIF\n"); },
         nullptr, 0, 9},
        {"call with 5,000 arguments", [] { return model("SHOW(" + joined("1", ",", 5000) + ");\ny = 0;\n"); },
         nullptr, 0, 5},
        {"SWITCH with 2,000 cases", [] { return model(switchWith(2000, "")); }, nullptr, 0, 6},
    };
    return cases;
}

const std::vector<DeepCase>& acceptedCases()
{
    static const std::vector<DeepCase> cases = {
        {"the deepest sum", [] { return model("y = " + joined("NOW", "+", kDeepestSum) + ";\n"); },
         "   FUNC  ADD\n", kDeepestSum - 1, 0},
        // INIT keeps the condition in a hidden variable: it is written once.
        {"the deepest condition, in a procedure and in INIT",
         [] {
             std::string cond = joined("x > 1", " OR ", kDeepestSum - 2);
             return model("y = 0;\n", "IF " + cond + " THEN\n QUIT;\nENDIF\n",
                          "IF " + cond + " THEN\n x := 1;\n x := 2;\nENDIF\n");
         },
         "   NIFT  $", 2 * (kDeepestSum - 3), 0},
        // The rewrite into IFs tests all cases at once for DEFAULT.
        {"SWITCH with DEFAULT and the most cases",
         [] { return model(switchWith(kMaxTreeHeight - 10, "DEFAULT: y = -1;\n")); }, "   FUNC  EQ\n",
         2 * (kMaxTreeHeight - 10), 0},
        {"SIM section of 100,000 statements", [] { return model("y = NOW;\n" + joined(kShow, "", 100000)); },
         "   FUNC  UPROC 1 \"SHOW\"\n", 100000, 0},
        // A procedure keeps its IF's sequence up to the PI-code writer.
        {"IF over 20,000 statements in a procedure",
         [] { return model("y = 0;\n", "IF x > 1 THEN\n" + joined(kShow, "", 20000) + "ENDIF\n"); },
         "   FUNC  UPROC 1 \"SHOW\"\n", 20000, 0},
        // Split into 20,000 IFs, whose labels the loader links one by one:
        // the PI text is only written.
        {"IF over 20,000 statements in INIT",
         [] { return model("y = 0;\n", "", "IF x > 1 THEN\n" + joined(kShow, "", 20000) + "ENDIF\n"); },
         "   FUNC  UPROC 1 \"SHOW\"\n", 20000, 0, false},
    };
    return cases;
}

class DeepTreeTest : public BackendTest {
protected:
    // Parse and back end on the programs' stack, the symbol listing too.
    int generateOnSmallStack(const std::string& text)
    {
        int result = 0;
        EXPECT_TRUE(runOnSmallStack([&] { result = generate(text, nullptr, 1); }));
        return result;
    }
};

TEST_F(DeepTreeTest, TooDeepTreeIsRefusedWithOneMessageAtItsLine)
{
    for (const DeepCase& c : refusedCases()) {
        SCOPED_TRACE(c.name);
        forgetMessages();
        EXPECT_EQ(-1, generateOnSmallStack(c.text()));
        std::vector<Message> messages = shown();
        ASSERT_EQ(1u, messages.size());
        EXPECT_EQ(SHOWN_AT_LINE, messages[0].where);
        EXPECT_EQ(tooDeep(), messages[0].text);
        EXPECT_EQ(c.line, messages[0].line);
        EXPECT_EQ(0, registeredPointerCount());
    }
}

TEST_F(DeepTreeTest, DeepestTreesAndLongSequencesCompileAndLoad)
{
    for (const DeepCase& c : acceptedCases()) {
        SCOPED_TRACE(c.name);
        forgetMessages();
        int result = generateOnSmallStack(c.text());
        std::vector<Message> messages = shown();
        ASSERT_EQ(0, result) << (messages.empty() ? "" : messages[0].text);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(c.pieces, count(piText, c.piece));
        if (!c.load)
            continue;
        bool loaded = false;
        ASSERT_TRUE(runOnSmallStack([&] { loaded = loadBuffer(); }));
        EXPECT_TRUE(loaded);
    }
}

// The listing of kytparse prints each block's code whole, sequence and all.
TEST_F(DeepTreeTest, ListingOfLongAndDeepCode)
{
    std::string text = model("y = " + joined("NOW", "+", kDeepestSum) + ";\n" + joined(kShow, "", 100000));
    std::string written;
    ASSERT_TRUE(runOnSmallStack([&] {
        if (parse(text) == 0)
            written = listing();
    }));
    EXPECT_EQ(100000u, count(written, "SHOW(\"a\");\n"));
    EXPECT_EQ(1u, count(written, "y = NOW+NOW+"));
    EXPECT_EQ(size_t(kDeepestSum - 1), count(written, "+"));
}

}  // namespace
