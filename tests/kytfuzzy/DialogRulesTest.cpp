#include "DialogRules.h"
#include "EditorStrings.h"
#include "ErrorReporter.h"
#include "FuzzyParsers.h"
#include "PageFixtures.h"
#include "ResString.h"

#include <cstdio>
#include <string>

namespace {

class DialogRulesTest : public EditorStringsTest {
protected:
    TestBlock b;
};

TEST_F(DialogRulesTest, ANewBlocksConfiguration)
{
    ConfigurationTexts t = initialConfiguration(&b.block);
    EXPECT_EQ(t.name, "FBlock1");
    EXPECT_EQ(t.andMethod, "min");
    EXPECT_EQ(t.orMethod, "max");
    EXPECT_EQ(t.inference, "max_prod");
    EXPECT_EQ(t.defuzzification, "Schwerpunkt");

    t.name = "a\"b";
    t.inference = "max_min";
    t.defuzzification = "Maximum";
    applyConfiguration(&b.block, t);
    EXPECT_STREQ(b.block.name, "a'b");
    ASSERT_TRUE(b.block.config);
    EXPECT_EQ(b.block.config->inference, FZ_INFERENCE_MAX_MIN);
    EXPECT_EQ(b.block.config->defuzzification, FZ_DEFUZZ_MAX);
    t = initialConfiguration(&b.block);
    EXPECT_EQ(t.name, "a'b");
    EXPECT_EQ(t.inference, "max_min");
    EXPECT_EQ(t.defuzzification, "Maximum");
    // An unknown word leaves its method.
    t.inference = "irgendwas";
    applyConfiguration(&b.block, t);
    EXPECT_EQ(b.block.config->inference, FZ_INFERENCE_MAX_MIN);
    free(b.block.config);
    b.block.config = nullptr;
}

TEST_F(DialogRulesTest, NewVariables)
{
    b.addInput(makeTestVariable("e", "0", "1", nullptr));
    b.addInput(makeTestVariable("de", "0", "1", nullptr));
    b.addOutput(makeTestVariable("u", "0", "1", nullptr));
    EXPECT_EQ(initialVariableName(&b.block), "Variable4");
    FuzzyPageState state;
    DialogOutcome r = addVariable(&b.block, "Variable4", state);
    EXPECT_EQ(r.kind, DialogOutcome::DONE);
    EXPECT_EQ(names(b.block.inputs), "e de Variable4");
    ASSERT_TRUE(state.variable);
    EXPECT_STREQ(state.variable->xmin, "0");
    EXPECT_STREQ(state.variable->xmax, "100");
    EXPECT_EQ(state.variable->grid, nullptr);
    EXPECT_EQ(state.variable->members, nullptr);

    r = addVariable(&b.block, "u", state);
    EXPECT_EQ(r.kind, DialogOutcome::REFUSED);
    EXPECT_EQ(r.message, kResVariableNameTaken);
    r = addVariable(&b.block, " x", state);
    EXPECT_EQ(r.kind, DialogOutcome::REFUSED);
    EXPECT_EQ(r.message, 0u);
}

TEST_F(DialogRulesTest, NewSetsAndTheirColours)
{
    FuzzyPageState state;
    DialogOutcome r = addSet("Set1", state);
    EXPECT_EQ(r.kind, DialogOutcome::ENDED);
    EXPECT_EQ(r.message, kResSetNoVariable);

    state.variable = b.addInput(makeTestVariable("e", "0", "10", nullptr));
    EXPECT_EQ(initialSetName(state.variable), "Set1");
    EXPECT_EQ(addSet("Set1", state).kind, DialogOutcome::DONE);
    EXPECT_EQ(state.set->color, 1);
    EXPECT_STREQ(state.set->set->text[0], "2.");
    EXPECT_STREQ(state.setName.text(), "Set1");
    state.set->color = 6;
    EXPECT_EQ(addSet("Set2", state).kind, DialogOutcome::DONE);
    EXPECT_EQ(state.set->color, 0);
    EXPECT_EQ(initialSetName(state.variable), "Set3");
    // None current: after the last set.
    state.set = nullptr;
    EXPECT_EQ(addSet("Set3", state).kind, DialogOutcome::DONE);
    EXPECT_EQ(state.set->color, 1);
    r = addSet("Set1", state);
    EXPECT_EQ(r.kind, DialogOutcome::REFUSED);
    EXPECT_EQ(r.message, kResSetNameTaken);
}

TEST_F(DialogRulesTest, Renames)
{
    FuzzyPageState state;
    EXPECT_EQ(renameVariable(&b.block, "x", state).kind, DialogOutcome::DONE);
    state.variable = b.addInput(makeTestVariable("e", "0", "10", nullptr));
    b.addOutput(makeTestVariable("u", "0", "10", nullptr));
    DialogOutcome r = renameVariable(&b.block, "e", state);
    EXPECT_EQ(r.kind, DialogOutcome::REFUSED);
    EXPECT_EQ(r.message, 0u);
    EXPECT_EQ(renameVariable(&b.block, "u", state).kind, DialogOutcome::REFUSED);
    EXPECT_EQ(renameVariable(&b.block, "fehler", state).kind, DialogOutcome::DONE);
    EXPECT_STREQ(state.variable->name, "fehler");
    EXPECT_STREQ(state.variableName.text(), "fehler");

    addSet("neg", state);
    addSet("pos", state);
    EXPECT_EQ(renameSet("pos", state).kind, DialogOutcome::REFUSED);
    EXPECT_EQ(renameSet("neg", state).kind, DialogOutcome::REFUSED);
    EXPECT_EQ(renameSet("gross", state).kind, DialogOutcome::DONE);
    EXPECT_STREQ(state.set->name, "gross");
}

TEST_F(DialogRulesTest, NamesThatCannotBeWrittenAreRefused)
{
    struct Case {
        const char* name;
        bool valid;
    } const cases[] = {{"Temp 1", false}, {"1x", false},     {"IF", false},    {"INPUT", false},
                       {"x_1", true},     {"e", true},       {"_x", false},    {"ENDMEMBER", false},
                       {"a-b", false},    {"COMMENT", false}, {"If", true},     {"x\xe4", false}};
    for (const Case& c : cases)
        EXPECT_EQ(isValidFuzzyName(c.name), c.valid) << c.name;
    FuzzyPageState state;
    DialogOutcome r = addVariable(&b.block, "Temp 1", state);
    EXPECT_EQ(r.kind, DialogOutcome::REFUSED);
    EXPECT_EQ(r.message, kResBadName);
    EXPECT_EQ(b.block.inputs, nullptr);
}

// Every keyword the table names is one for the fuzzy scanner: as a set name
// in a rule it is a syntax error, while a plain name is not.
TEST_F(DialogRulesTest, TheFuzzyKeywordsAreTheScannersKeywords)
{
    auto checks = [](const std::string& word) {
        const std::string rule = "IF (e==" + word + ") THEN u=x;\n";
        FILE* f = fmemopen(const_cast<char*>(rule.data()), rule.size(), "rb");
        const int result = checkRuleBase(f);
        fclose(f);
        return result == 0;
    };
    // The parser's messages go nowhere here.
    setMessageBoxesEnabled(false);
    disableErrorLog();
    EXPECT_TRUE(checks("zero"));
    for (const char* word : {"FBLOCK", "MEMBER", "ENDRULEBASE", "WITH", "XMIN", "GRID", "COLOR"}) {
        EXPECT_FALSE(isValidFuzzyName(word)) << word;
        EXPECT_FALSE(checks(word)) << word;
    }
    enableErrorLog();
    setMessageBoxesEnabled(true);
}

} // namespace
