#include "EditorStrings.h"
#include "PageFixtures.h"
#include "ResString.h"
#include "SetPageRules.h"

#include <string>

namespace {

class SetPageRulesTest : public EditorStringsTest {
protected:
    TestBlock b;
};

std::string texts(const FuzzyMember* m)
{
    std::string s;
    for (int i = 0; i < 4 && m->set->text[i]; ++i)
        s += std::string(i ? " " : "") + m->set->text[i];
    return s;
}

TEST_F(SetPageRulesTest, PointsOfATrapezoidStayInOrder)
{
    struct Case {
        int index;
        const char* typed;
        const char* shown;
        const char* after;
    } const cases[] = {
        {0, "5", "0.4", "0.4 0.4 0.6 0.8"},     {3, "-1", "0.6", "0.2 0.4 0.6 0.6"},
        {1, "0.1", "0.2", "0.2 0.2 0.6 0.8"},   {2, "abc", "0.4", "0.2 0.4 0.4 0.8"},
        {0, "abc", "0.", "0. 0.4 0.6 0.8"},     {1, "0.50", "0.5", "0.2 0.5 0.6 0.8"},
        {2, "0.7", "0.7", "0.2 0.4 0.7 0.8"},   {1, "0.9", "0.6", "0.2 0.6 0.6 0.8"},
    };
    for (const Case& c : cases) {
        MemberHolderGuard guard(makeTestMember("zero", "TRAPEZ", {"0.2", "0.4", "0.6", "0.8"}));
        String buffer(c.typed);
        EXPECT_TRUE(commitSetPoint(guard.member, c.index, true, buffer)) << c.typed;
        EXPECT_STREQ(buffer.text(), c.shown) << c.index << " " << c.typed;
        EXPECT_EQ(texts(guard.member), c.after) << c.index << " " << c.typed;
        EXPECT_DOUBLE_EQ(guard.member->set->value[c.index], fuzzyTextValue(c.shown));
    }
    MemberHolderGuard guard(makeTestMember("zero", "TRAPEZ", {"0.2", "0.4", "0.6", "0.8"}));
    String empty("");
    EXPECT_FALSE(commitSetPoint(guard.member, 0, false, empty));
    EXPECT_EQ(texts(guard.member), "0.2 0.4 0.6 0.8");
}

TEST_F(SetPageRulesTest, ASingletonCommitsOnlyItsPoint)
{
    MemberHolderGuard guard(makeTestMember("pos", "SINGLETON", {"8"}));
    String a("9"), b("3");
    EXPECT_TRUE(commitSetPoint(guard.member, 0, true, a));
    EXPECT_FALSE(commitSetPoint(guard.member, 1, true, b));
    EXPECT_EQ(texts(guard.member), "9.");
}

TEST_F(SetPageRulesTest, DefaultPoints)
{
    FuzzyVariable* unit = b.addInput(makeTestVariable("e", "0", "1", nullptr));
    FuzzyVariable* ten = b.addInput(makeTestVariable("f", "0", "10", nullptr));
    MemberHolderGuard t(makeTestMember("t", "SINGLETON", {"5"}));
    setDefaultPoints(t.member, unit, 0);
    EXPECT_EQ(texts(t.member), "0.2 0.4 0.6 0.8");
    setDefaultPoints(t.member, unit, 1);
    EXPECT_EQ(texts(t.member), "0.3 0.4 0.6 0.8");
    EXPECT_DOUBLE_EQ(t.member->set->value[0], 0.3);
    setDefaultPoints(t.member, ten, 0);
    EXPECT_STREQ(t.member->set->text[0], "2.");
}

TEST_F(SetPageRulesTest, Colours)
{
    MemberHolderGuard guard(makeTestMember("zero", "TRAPEZ", {"0", "1", "2", "3"}, 7));
    SampleColour sample;
    EXPECT_TRUE(chooseColour(guard.member, "grau", &sample));
    EXPECT_EQ(guard.member->color, 3);
    EXPECT_TRUE(sample == (SampleColour{160, 160, 164}));
    EXPECT_FALSE(chooseColour(guard.member, "lila", &sample));
    EXPECT_EQ(guard.member->color, 3);
    EXPECT_TRUE(sample == kSampleWhite);

    EXPECT_STREQ(colourName(9), "schwarz");
    EXPECT_STREQ(colourName(kFuzzyNoColor), "schwarz");
    EXPECT_TRUE(sampleColour(9) == (SampleColour{0, 0, 0}));
    EXPECT_STREQ(colourName(0), "gr\xfcn");
    EXPECT_STREQ(colourName(7), "rot");
}

TEST_F(SetPageRulesTest, TextsOfASet)
{
    MemberHolderGuard t(makeTestMember("zero", "TRAPEZ", {"2", "4.0", "6", "8"}, 7));
    FuzzyPageState state;
    showSetTexts(t.member, state);
    EXPECT_STREQ(state.setName.text(), "zero");
    EXPECT_STREQ(state.formName.text(), "Trapez");
    EXPECT_STREQ(state.colorName.text(), "rot");
    EXPECT_STREQ(state.point[0].text(), "2.");
    EXPECT_STREQ(state.point[1].text(), "4.");
    MemberHolderGuard s(makeTestMember("pos", "SINGLETON", {"8.0"}, 9));
    showSetTexts(s.member, state);
    EXPECT_STREQ(state.formName.text(), "Singleton");
    EXPECT_STREQ(state.point[0].text(), "8.0");
    EXPECT_STREQ(state.point[1].text(), "");
    EXPECT_STREQ(state.colorName.text(), "schwarz");
}

} // namespace
