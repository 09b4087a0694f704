#include "EditorStrings.h"
#include "PageFixtures.h"
#include "PageRules.h"
#include "ResString.h"

#include <string>

namespace {

class PageRulesTest : public EditorStringsTest {
protected:
    TestBlock b;
};

// ---------------------------------------------------------------- comment

TEST(CommentLine, TakesTheFirstNonEmptyLine)
{
    struct Case {
        const char* field;
        bool found;
        const char* line;
    } const cases[] = {
        {"abc\r\ndef", true, "abc"}, {"\r\nxyz", true, "xyz"}, {"\n\n  a b\rc", true, "  a b"},
        {"abc", true, "abc"},        {"\r\n\r\n", false, ""},  {"", false, ""},
    };
    for (const Case& c : cases) {
        std::string line;
        EXPECT_EQ(commentFirstLine(c.field, &line), c.found) << c.field;
        if (c.found) {
            EXPECT_EQ(line, c.line) << c.field;
        }
    }
}

TEST_F(PageRulesTest, CommentCommitKeepsTheFirstLineOrTheOldComment)
{
    b.block.comment = fuzzyCopyText("alt");
    String field("abc\r\ndef");
    commitComment(&b.block, true, field);
    EXPECT_STREQ(b.block.comment, "abc");
    EXPECT_STREQ(field.text(), "abc");

    // An empty field is not valid; line breaks alone have no first line.
    String empty("");
    commitComment(&b.block, false, empty);
    EXPECT_STREQ(b.block.comment, "abc");
    String breaks("\r\n");
    commitComment(&b.block, true, breaks);
    EXPECT_STREQ(b.block.comment, "abc");
}

// ---------------------------------------------------------------- range commits

TEST_F(PageRulesTest, RangeCommitsNormaliseAndRefuseAnEmptyRange)
{
    struct Case {
        const char* what;
        bool xmin;
        const char* typed;
        const char* oldXmin;
        const char* oldXmax;
        RangeCommit result;
        const char* buffer;
        const char* model;
    } const cases[] = {
        {"1e3 into XMIN", true, "1e3", "0", "2000", RANGE_STORED, "1000.", "1000."},
        {"0.50 into XMIN", true, "0.50", "0", "1", RANGE_STORED, "0.5", "0.5"},
        {"-0,5 into XMIN", true, "-0,5", "0", "1", RANGE_STORED, "-0.5", "-0.5"},
        {"text reads as 0, then is checked", true, "abc", "-1", "1", RANGE_STORED, "0.", "0."},
        {"text as 0 above XMAX -1", true, "abc", "-5", "-1", RANGE_REFUSED, "-5", "-5"},
        {"XMIN equal to XMAX", true, "10", "0", "10", RANGE_REFUSED, "0", "0"},
        {"XMIN above XMAX", true, "11", "0", "10", RANGE_REFUSED, "0", "0"},
        {"XMAX equal to XMIN", false, "0", "0", "10", RANGE_REFUSED, "10", "10"},
        {"XMAX below XMIN", false, "-3", "0", "10", RANGE_REFUSED, "10", "10"},
        {"XMAX 5", false, "5", "0", "10", RANGE_STORED, "5.", "5."},
        {"the same value", true, "0.0", "0", "10", RANGE_SAME, "0.", "0"},
    };
    for (const Case& c : cases) {
        FuzzyVariable* v = b.addInput(makeTestVariable("e", c.oldXmin, c.oldXmax, nullptr));
        String buffer(c.typed);
        EXPECT_EQ(c.xmin ? commitXmin(v, true, buffer) : commitXmax(v, true, buffer), c.result) << c.what;
        EXPECT_STREQ(buffer.text(), c.buffer) << c.what;
        EXPECT_STREQ(c.xmin ? v->xmin : v->xmax, c.model) << c.what;
    }
}

TEST_F(PageRulesTest, AnEmptyRangeFieldChangesNothing)
{
    FuzzyVariable* v = b.addInput(makeTestVariable("e", "0", "10", nullptr));
    String buffer("");
    EXPECT_EQ(commitXmin(v, false, buffer), RANGE_EMPTY);
    EXPECT_STREQ(buffer.text(), "0.");
    EXPECT_STREQ(v->xmin, "0");
}

TEST_F(PageRulesTest, GridCommitTakesATenthOfTheSpanForZeroOrTooLarge)
{
    struct Case {
        const char* typed;
        const char* result;
    } const cases[] = {{"0", "1."}, {"5", "1."}, {"0.5", "0.5"}, {"-0.5", "-0.5"}, {"1", "1."}, {"-0", "1."}};
    const String xmin("0."), xmax("10.");
    for (const Case& c : cases) {
        FuzzyVariable* v = b.addInput(makeTestVariable("e", "0", "10", "0.1"));
        String grid(c.typed);
        EXPECT_TRUE(commitGrid(v, true, grid, xmin, xmax)) << c.typed;
        EXPECT_STREQ(grid.text(), c.result) << c.typed;
        EXPECT_STREQ(v->grid, c.result) << c.typed;
    }
    FuzzyVariable* v = b.addInput(makeTestVariable("e", "0", "10", "0.1"));
    String grid("");
    EXPECT_FALSE(commitGrid(v, false, grid, xmin, xmax));
    EXPECT_STREQ(v->grid, "0.1");
}

// ---------------------------------------------------------------- showing a variable

TEST_F(PageRulesTest, ShowingAVariableSettlesItsGrid)
{
    struct Case {
        const char* grid;
        const char* shown;
    } const cases[] = {{nullptr, "0.1"}, {"5", "0.1"}, {"-0.5", "0.5"}, {"0", "0.1"}, {"1", "1."}};
    for (const Case& c : cases) {
        FuzzyVariable* v = b.addInput(makeTestVariable("e", "0", "10", c.grid));
        FuzzyPageState state;
        showVariableTexts(&b.block, v, state);
        const std::string what = c.grid ? c.grid : "none";
        EXPECT_STREQ(state.grid.text(), c.shown) << what;
        EXPECT_STREQ(v->grid, c.shown) << what;
        EXPECT_STREQ(state.xmin.text(), "0.") << what;
        EXPECT_STREQ(state.xmax.text(), "10.") << what;
        EXPECT_STREQ(state.usage.text(), getResString(kResInputWord)) << what;
    }
    FuzzyVariable* out = b.addOutput(makeTestVariable("u", "0.50", "5", nullptr));
    FuzzyPageState state;
    showVariableTexts(&b.block, out, state);
    EXPECT_STREQ(state.xmin.text(), "0.5");
    EXPECT_STREQ(state.xmax.text(), "5.");
    EXPECT_STREQ(state.usage.text(), "Ausgang");
}

// ---------------------------------------------------------------- usage

TEST_F(PageRulesTest, AnInputMadeAnOutputGoesToTheEndOfTheOutputs)
{
    FuzzyVariable* e = b.addInput(makeTestVariable("e", "0", "1", nullptr));
    b.addInput(makeTestVariable("de", "0", "1", nullptr));
    b.addOutput(makeTestVariable("u", "0", "1", nullptr));
    FuzzyPageState state;
    state.variable = e;
    state.variableName = "e";
    state.usage = "Ausgang";
    EXPECT_EQ(changeUsage(&b.block, state), USAGE_MOVED);
    EXPECT_EQ(names(b.block.inputs), "de");
    EXPECT_EQ(names(b.block.outputs), "u e");
    EXPECT_EQ(state.variable, e);

    state.usage = "Eingang";
    EXPECT_EQ(changeUsage(&b.block, state), USAGE_MOVED);
    EXPECT_EQ(names(b.block.inputs), "de e");
    EXPECT_EQ(names(b.block.outputs), "u");
}

TEST_F(PageRulesTest, AnInputAndAnOutputOfOneNameSwitchWithoutMoving)
{
    FuzzyVariable* in = b.addInput(makeTestVariable("e", "0", "1", nullptr));
    FuzzyVariable* out = b.addOutput(makeTestVariable("e", "0", "2", nullptr));
    EXPECT_EQ(chooseVariable(&b.block, "e"), in);
    FuzzyPageState state;
    state.variable = in;
    state.variableName = "e";
    state.usage = "Ausgang";
    EXPECT_EQ(changeUsage(&b.block, state), USAGE_SWITCHED);
    EXPECT_EQ(state.variable, out);
    state.usage = "Eingang";
    EXPECT_EQ(changeUsage(&b.block, state), USAGE_SWITCHED);
    EXPECT_EQ(state.variable, in);
    EXPECT_EQ(names(b.block.inputs), "e");
    EXPECT_EQ(names(b.block.outputs), "e");
}

TEST_F(PageRulesTest, BadRangesAreNamed)
{
    b.addInput(makeTestVariable("e", "0", "10", nullptr));
    b.addInput(makeTestVariable("flach", "3", "3", nullptr));
    b.addOutput(makeTestVariable("u", "1e999", "2e999", nullptr));
    b.addOutput(makeTestVariable("v", "5", "-5", nullptr));
    EXPECT_EQ(badRangeNames(&b.block), "flach, u, v");
}

} // namespace
