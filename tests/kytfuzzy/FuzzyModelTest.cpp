#include "EditorStrings.h"
#include "FuzzyModel.h"
#include "FuzzyParser.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Two inputs "e" (ambiguous) and a rule whose output "v" does not exist.
const char* const kAmbiguousIncomplete =
    "FBLOCK \"test\";\n"
    "CONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_prod;\n"
    " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n"
    "INPUTVAR e;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 1, 1, 1;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "INPUTVAR e;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "OUTPUTVAR u;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  SINGLETON -1;\n ENDMEMBER;\n"
    " MEMBER pos;\n  SINGLETON 1;\n ENDMEMBER;\nENDOUTPUTVAR;\n"
    "RULEBASE;\nIF (e==neg) THEN v=pos;\nENDRULEBASE;\nENDFBLOCK;\n";

struct KernelDeleter {
    void operator()(FuzzyKernel* k) const { delete k; }
};
using KernelPtr = std::unique_ptr<FuzzyKernel, KernelDeleter>;

KernelPtr buildFromText(const std::string& text)
{
    FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
    if (!f)
        return nullptr;
    FuzzyLineSource source(f);
    KernelPtr kernel(new FuzzyKernel);
    FuzzyFileParser parser;
    parser.setInput(&source);
    parser.setKernel(kernel.get());
    int failed = parser.parse();
    fclose(f);
    return failed ? nullptr : std::move(kernel);
}

class FuzzyModelTest : public EditorStringsTest {};

TEST_F(FuzzyModelTest, AmbiguousBlockIsRenamedOnceThenPasses)
{
    KernelPtr k = buildFromText(kAmbiguousIncomplete);
    ASSERT_TRUE(k);
    EXPECT_FALSE(checkAmbiguity(k.get()));
    EXPECT_STREQ("e changed to Input1 !\n", k->message.text());
    EXPECT_STREQ("Input1", k->getBlock()->inputs->next->name);
    EXPECT_TRUE(checkAmbiguity(k.get()));
}

TEST_F(FuzzyModelTest, RenameSkipsNamesInUse)
{
    std::string text = kAmbiguousIncomplete;
    text.replace(text.find("OUTPUTVAR u"), strlen("OUTPUTVAR u"), "OUTPUTVAR Input1");
    KernelPtr k = buildFromText(text);
    ASSERT_TRUE(k);
    EXPECT_FALSE(checkAmbiguity(k.get()));
    EXPECT_STREQ("e changed to Input2 !\n", k->message.text());
}

TEST_F(FuzzyModelTest, IncompleteBlockNamesTheMissingOutput)
{
    KernelPtr k = buildFromText(kAmbiguousIncomplete);
    ASSERT_TRUE(k);
    EXPECT_FALSE(checkCompleteness(k.get()));
    EXPECT_STREQ("\nEs gibt keinen Ausgang mit Namen \"v\" !", k->message.text());
}

TEST_F(FuzzyModelTest, EmptyModelAndNoBlock)
{
    FuzzyKernel none;
    EXPECT_FALSE(checkAmbiguity(&none));
    EXPECT_STREQ("Fehler: Es ist kein Fuzzy-Block definiert!", none.message.text());
    EXPECT_FALSE(checkConfiguration(&none));
    EXPECT_STREQ("Fehler: Es ist kein Fuzzy-Block definiert!", none.message.text());

    KernelPtr fresh(newFuzzyBlock());
    FuzzyBlock* b = fresh->getBlock();
    ASSERT_TRUE(b);
    ASSERT_TRUE(b->config);
    EXPECT_EQ(FZ_INFERENCE_MAX_PROD, b->config->inference);
    EXPECT_EQ(FZ_DEFUZZ_CENTROID, b->config->defuzzification);
    EXPECT_FALSE(b->name || b->comment || b->inputs || b->outputs || b->rules);
    EXPECT_FALSE(checkConfiguration(fresh.get()));
    EXPECT_STREQ("\nEs sind keine Eingangsvariablen f\xfcr diesen Fuzzy-Block definiert!"
                 "\nEs sind keine Ausgangsvariablen f\xfcr diesen Fuzzy-Block definiert!"
                 "\nEs ist keine Regelbasis f\xfcr diesen Fuzzy-Block definiert!",
                 fresh->message.text());
}

TEST_F(FuzzyModelTest, NewMemberColours)
{
    struct Case {
        int predecessor;
        int expected;
    } cases[] = {{kNoPredecessorColor, 1}, {0, 1}, {1, 2}, {5, 6}, {6, 0}};
    for (const Case& c : cases) {
        FuzzyMember* m = newFuzzyMember(c.predecessor);
        EXPECT_EQ(c.expected, m->color) << c.predecessor;
        ASSERT_TRUE(m->set);
        EXPECT_EQ(FZ_SHAPE_TRAPEZ, m->set->shape);
        for (int i = 0; i < 4; ++i)
            EXPECT_STREQ("0", m->set->text[i]);
        ASSERT_TRUE(m->position);
        EXPECT_STREQ("", m->position->first);
        EXPECT_STREQ("", m->position->second);
        EXPECT_EQ(nullptr, m->name);
        freeMember(m);
    }
}

TEST_F(FuzzyModelTest, RemoveMember)
{
    KernelPtr k = buildFromText(kAmbiguousIncomplete);
    ASSERT_TRUE(k);
    FuzzyVariable* first = k->getBlock()->inputs;
    FuzzyVariable* second = first->next;
    EXPECT_EQ(MemberRemoval::NotFound, removeMember(first, "zero"));
    EXPECT_EQ(MemberRemoval::Removed, removeMember(first, "pos"));
    EXPECT_EQ(nullptr, findModelMember(first, "pos"));
    EXPECT_EQ(MemberRemoval::Refused, removeMember(first, "neg"));
    EXPECT_NE(nullptr, findModelMember(first, "neg"));
    EXPECT_EQ(MemberRemoval::Refused, removeMember(second, "neg"));

    FuzzyVariable* out = k->getBlock()->outputs;
    EXPECT_EQ(MemberRemoval::Removed, removeMember(out, "neg"));
    EXPECT_STREQ("pos", out->members->name);
}

TEST_F(FuzzyModelTest, MoveAndRemoveVariables)
{
    KernelPtr k = buildFromText(kAmbiguousIncomplete);
    ASSERT_TRUE(k);
    FuzzyBlock* b = k->getBlock();
    FuzzyVariable* u = findModelVariable(b, "u");
    ASSERT_TRUE(u);
    EXPECT_TRUE(variableNameInUse(b, "u"));
    EXPECT_FALSE(variableNameInUse(b, "x"));
    EXPECT_TRUE(moveVariable(b, u));
    EXPECT_EQ(nullptr, b->outputs);
    EXPECT_EQ(u, b->inputs->next->next);
    EXPECT_TRUE(moveVariable(b, b->inputs));
    EXPECT_EQ(u, b->inputs->next);
    ASSERT_TRUE(b->outputs);
    EXPECT_STREQ("e", b->outputs->name);

    EXPECT_TRUE(removeVariable(b, u));
    EXPECT_FALSE(removeVariable(b, u));
    EXPECT_EQ(nullptr, b->inputs->next);
    freeVariable(u);

    FuzzyVariable* fresh = newFuzzyVariable();
    EXPECT_FALSE(fresh->name || fresh->members || fresh->xmin);
    EXPECT_FALSE(moveVariable(b, fresh));
    freeVariable(fresh);
}

} // namespace
