// What the dialog shows: the parameter rows of a method, the output
// options, the fields and the help titles.
#include "IdentDialogModel.h"

#include "kytident/IdentTestSupport.h"
#include "ResString.h"

#include <string>
#include <vector>

namespace {

class IdentDialogModelTest : public EditorStringsTest {};

TEST_F(IdentDialogModelTest, ChoosingHilfsvariableGivesItsFourRows)
{
    IdentBlockData doc;
    doc.params[0] = 0.95;
    EXPECT_FALSE(chooseIdentMethodItem(&doc, 0));  // the current method: nothing changes
    EXPECT_EQ(0.95, doc.params[0]);

    ASSERT_TRUE(chooseIdentMethodItem(&doc, 1));
    EXPECT_EQ(2, doc.algo);
    std::vector<IdentParameterRow> rows = identParameterRows(doc);
    ASSERT_EQ(4u, rows.size());
    const char* names[] = {"Lambda :", "Alpha :", "Gamma :", "d :"};
    const char* values[] = {"1.", "10000.", "0.9", "2."};
    const char* labels[] = {"Vergessensfaktor", "Anfangswert", "Gewicht", "Verzögerung"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(names[i], rows[i].name);
        EXPECT_EQ(values[i], rows[i].value);
        EXPECT_EQ(labels[i], rows[i].label);
        EXPECT_EQ(102 + 15 * i, rows[i].top);
    }
    EXPECT_EQ("KYTident Hilfe - Hilfsvariable", identMethodHelpTitle(doc.algo));
    EXPECT_EQ("KYTident Hilfe", identGeneralHelpTitle());

    // Items beyond the list change nothing.
    EXPECT_FALSE(chooseIdentMethodItem(&doc, 4));
    EXPECT_EQ(2, doc.algo);
}

TEST_F(IdentDialogModelTest, OutputOptionsFollowTheShiftLetter)
{
    const char* z[] = {"&Keine Ausgabe", "G(&z)", "G(&s) mit Gh0", "G(s) mit &Ghp"};
    for (int g = 0; g < 4; ++g)
        EXPECT_STREQ(z[g], getResString(identOutputOptionText(g, 'z'))) << g;
    EXPECT_STREQ("G(&q)", getResString(identOutputOptionText(1, 'q')));
}

TEST_F(IdentDialogModelTest, FieldsReadAndShowNumbers)
{
    struct Case {
        const char* text;
        double value;
        const char* shown;
    } cases[] = {{"0.5", 0.5, "0.5"}, {"0,5", 0.5, "0.5"}, {" 1e-3 ", 0.001, "0.001"}, {"-1,5e-3", -0.0015, "-0.0015"},
                 {"abc", 0.0, "0."}, {"1e-3s", 0.0, "0."}, {"-2", -2.0, "-2."}, {"1e999", 0.0, "0."}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.value, readIdentNumberField(c.text)) << c.text;
        EXPECT_EQ(c.shown, identNumberText(readIdentNumberField(c.text))) << c.text;
    }
    EXPECT_EQ(12, readIdentOrderField("12"));
    EXPECT_EQ(0, readIdentOrderField(""));
    EXPECT_EQ(99, readIdentOrderField("1000"));
}

} // namespace
