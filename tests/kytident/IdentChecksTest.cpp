// The OK checks: each input with the finding it gives, and what the answer
// does.
#include "IdentChecks.h"

#include "IdentBlockFile.h"

#include "kytident/IdentTestSupport.h"

#include <functional>
#include <string>

namespace {

class IdentChecksTest : public IdentScratchTest {};

TEST_F(IdentChecksTest, FirstFindingOfEachInput)
{
    enum Result { PASS, ERROR, QUESTION };
    struct Case {
        const char* what;
        std::function<void(IdentBlockData&)> set;
        Result result;
        unsigned int textId;
        IdentField field;
        std::string text;
    } cases[] = {
        {"orders 2 over 2", [](IdentBlockData& d) { d.numDeg = 2; d.denDeg = 2; }, PASS, 0, IDENT_FIELD_NONE, ""},
        {"orders 3 over 2", [](IdentBlockData& d) { d.numDeg = 3; d.denDeg = 2; }, ERROR, 26962,
         IDENT_FIELD_NUM_DEG, "Die Zählerordnung darf nicht größer als die Nennerordnung sein!"},
        {"orders 0 over 0", [](IdentBlockData& d) { d.numDeg = 0; d.denDeg = 0; }, ERROR, 26967,
         IDENT_FIELD_DEN_DEG, "Die Nennerordnung muß größer 0 sein!"},
        {"Tsamp 0", [](IdentBlockData& d) { d.sample = 0; }, ERROR, 26963, IDENT_FIELD_SAMPLE, ""},
        {"Tsamp negative", [](IdentBlockData& d) { d.sample = -1; }, ERROR, 26963, IDENT_FIELD_SAMPLE, ""},
        {"dead time -1", [](IdentBlockData& d) { d.dead = -1; }, ERROR, 26964, IDENT_FIELD_DEAD, ""},
        {"dead time 0.6 with Tsamp 0.5", [](IdentBlockData& d) { d.sample = 0.5; d.dead = 0.6; }, QUESTION, 26966,
         IDENT_FIELD_DEAD, ""},
        {"dead time 1.5 with Tsamp 0.5", [](IdentBlockData& d) { d.sample = 0.5; d.dead = 1.5; }, PASS, 0,
         IDENT_FIELD_NONE, ""},
        {"Lambda 0.95", [](IdentBlockData& d) { d.params[0] = 0.95; }, PASS, 0, IDENT_FIELD_NONE, ""},
        {"Lambda 0.5", [](IdentBlockData& d) { d.params[0] = 0.5; }, QUESTION, 26971, IDENT_FIELD_PARAMETER,
         "Lambda ist kleiner als 0.9!\nMöglicherweise wird dadurch die Identifikation nicht konvergieren.\n\n"
         "Sollen die Daten trotzdem übernommen werden?"},
        {"Lambda 1.5", [](IdentBlockData& d) { d.params[0] = 1.5; }, ERROR, 26969, IDENT_FIELD_PARAMETER,
         "Lambda größer als 1. ist nicht zulässig!"},
        {"Alpha 100, method 0", [](IdentBlockData& d) { d.params[1] = 100; }, QUESTION, 26971,
         IDENT_FIELD_PARAMETER, ""},
        {"Alpha 200000, method 0", [](IdentBlockData& d) { d.params[1] = 200000; }, QUESTION, 26972,
         IDENT_FIELD_PARAMETER, "Alpha ist größer als 100000.!\nMöglicherweise wird dadurch die Identifikation "
                                "nicht konvergieren.\n\nSollen die Daten trotzdem übernommen werden?"},
        {"Alpha 100, method 4", [](IdentBlockData& d) { d.setMethod(4); d.params[1] = 100; }, PASS, 0,
         IDENT_FIELD_NONE, ""},
        {"Alpha 0.5", [](IdentBlockData& d) { d.params[1] = 0.5; }, ERROR, 26968, IDENT_FIELD_PARAMETER,
         "Alpha kleiner als 1. ist nicht zulässig!"},
        {"Gamma 0.5", [](IdentBlockData& d) { d.setMethod(2); d.params[2] = 0.5; }, QUESTION, 26971,
         IDENT_FIELD_PARAMETER, ""},
        {"d 5 with n 2", [](IdentBlockData& d) { d.setMethod(2); d.params[3] = 5; }, QUESTION, 26977,
         IDENT_FIELD_PARAMETER, ""},
        {"d 4 with n 2", [](IdentBlockData& d) { d.setMethod(2); d.params[3] = 4; }, PASS, 0, IDENT_FIELD_NONE, ""},
        {"d 2.5", [](IdentBlockData& d) { d.setMethod(2); d.params[3] = 2.5; }, ERROR, 26974, IDENT_FIELD_PARAMETER,
         "d  muß ganzzahlig sein!"},
        {"d -1", [](IdentBlockData& d) { d.setMethod(2); d.params[3] = -1; }, ERROR, 26975, IDENT_FIELD_PARAMETER, ""},
        {"d 0", [](IdentBlockData& d) { d.setMethod(2); d.params[3] = 0; }, ERROR, 26989, IDENT_FIELD_PARAMETER, ""},
        {"Filtergrad 3 with n 2", [](IdentBlockData& d) { d.setMethod(3); d.params[2] = 3; }, ERROR, 26976,
         IDENT_FIELD_PARAMETER, ""},
        {"Filtergrad 0", [](IdentBlockData& d) { d.setMethod(3); d.params[2] = 0; }, PASS, 0, IDENT_FIELD_NONE, ""},
        {"Filtergrad 1.5", [](IdentBlockData& d) { d.setMethod(3); d.params[2] = 1.5; }, ERROR, 26974,
         IDENT_FIELD_PARAMETER, ""},
    };
    for (const Case& c : cases) {
        IdentBlockData doc;
        c.set(doc);
        IdentFinding f = findIdentProblem(doc);
        EXPECT_EQ(c.result != PASS, f.found) << c.what;
        if (c.result == PASS)
            continue;
        EXPECT_EQ(c.textId, f.message.textId) << c.what;
        EXPECT_EQ(c.result == QUESTION ? IDENT_BOX_QUESTION : IDENT_BOX_ERROR, f.message.kind) << c.what;
        EXPECT_EQ(c.result == QUESTION ? 26965u : 26961u, f.message.captionId) << c.what;
        EXPECT_EQ(c.field, f.field) << c.what;
        if (!c.text.empty()) {
            EXPECT_EQ(c.text, f.message.text) << c.what;
        }
    }
}

TEST_F(IdentChecksTest, AnswersDecideWhetherTheChecksGoOn)
{
    // Lambda 0.5 and Alpha 100: Yes to the first goes on to the second.
    IdentBlockData doc;
    doc.params[0] = 0.5;
    doc.params[1] = 100;
    BoxRecorder boxes;
    boxes.answers = {true, false};
    IdentFinding stop = checkIdentData(&doc, boxes.ask());
    EXPECT_EQ((std::vector<unsigned int>{26971, 26971}), boxes.ids());
    ASSERT_TRUE(stop.found);
    EXPECT_EQ(IDENT_FIELD_PARAMETER, stop.field);
    EXPECT_EQ(1, stop.parameter);

    boxes = BoxRecorder();
    boxes.answers = {true, true};
    EXPECT_FALSE(checkIdentData(&doc, boxes.ask()).found);
    EXPECT_EQ(2u, boxes.shown.size());

    // An error stops at once: no further box.
    doc = IdentBlockData();
    doc.sample = 0;
    doc.params[0] = 0.5;
    boxes = BoxRecorder();
    stop = checkIdentData(&doc, boxes.ask());
    EXPECT_EQ(std::vector<unsigned int>{26963}, boxes.ids());
    EXPECT_EQ(IDENT_FIELD_SAMPLE, stop.field);
}

TEST_F(IdentChecksTest, DeadTimeCorrectionKeepsTheDialogOpen)
{
    IdentBlockData doc;
    doc.sample = 0.5;
    doc.dead = 0.6;
    BoxRecorder boxes;
    boxes.answers = {false};
    IdentFinding stop = checkIdentData(&doc, boxes.ask());
    EXPECT_EQ(std::vector<unsigned int>{26966}, boxes.ids());
    EXPECT_EQ(IDENT_FIELD_DEAD, stop.field);
    EXPECT_EQ(0.6, doc.dead);

    boxes = BoxRecorder();
    boxes.answers = {true};
    stop = checkIdentData(&doc, boxes.ask());
    ASSERT_TRUE(stop.found);
    EXPECT_EQ(IDENT_FIELD_DEAD, stop.field);
    EXPECT_EQ(0.5, doc.dead);
    // The second OK goes on.
    EXPECT_FALSE(checkIdentData(&doc, boxes.ask()).found);
}

TEST_F(IdentChecksTest, ConfirmWritesOrTellsWhyNot)
{
    IdentBlockData doc;
    doc.blockName = "w1";
    doc.directory = dir;
    BoxRecorder boxes;
    IdentFinding stop;

    doc.numDeg = 3;
    EXPECT_EQ(IDENT_CONFIRM_STAY, confirmIdentData(&doc, boxes.ask(), "Mon Mar  3 10:15:42 2025", &stop));
    EXPECT_EQ(IDENT_FIELD_NUM_DEG, stop.field);
    EXPECT_EQ("", read(dir + "/w1"));

    doc.numDeg = 1;
    boxes = BoxRecorder();
    EXPECT_EQ(IDENT_CONFIRM_WRITTEN, confirmIdentData(&doc, boxes.ask(), "Mon Mar  3 10:15:42 2025", &stop));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_NE(std::string::npos, read(dir + "/w1").find("ENDBLOCK w1;\n"));

    // The block file is a directory that holds something.
    doc.blockName = "w2";
    ASSERT_EQ(0, system(("mkdir -p '" + dir + "/w2/x'").c_str()));
    EXPECT_EQ(IDENT_CONFIRM_FAILED, confirmIdentData(&doc, boxes.ask(), "Mon Mar  3 10:15:42 2025", &stop));
    ASSERT_EQ(std::vector<unsigned int>{26988}, boxes.ids());
    EXPECT_EQ(IDENT_BOX_ERROR, boxes.shown[0].kind);
    EXPECT_EQ(26961u, boxes.shown[0].captionId);
}

// The block of the shipped example as kyt hands it to the wizard: OK takes
// it without a question, so its Alpha lies inside the soft limits.
TEST_F(IdentChecksTest, TheShippedIdentificationExamplePassesWithoutAQuestion)
{
    const std::string circuit = read(KYT_EXAMPLES_DIR "/identifikation.kyt");
    const size_t start = circuit.find('\n', circuit.find("@START_BLOCK \"ident1\"")) + 1;
    const size_t end = circuit.find("@END_BLOCK", start);
    ASSERT_NE(std::string::npos, end);
    write("ident1", circuit.substr(start, end - start));
    IdentBlockData doc;
    doc.blockName = "ident1";
    doc.directory = dir;
    BoxRecorder boxes;
    ASSERT_EQ(IDENT_READ_OK, readIdentBlock(&doc, boxes.ask()));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(0, doc.algo);
    const IdentFinding finding = findIdentProblem(doc);
    EXPECT_FALSE(finding.found) << finding.message.text;
    const IdentLimits* alpha = identLimitsOf(IDENT_PARAM_ALPHA_LARGE);
    EXPECT_GE(doc.params[1], alpha->softMin);
    EXPECT_LE(doc.params[1], alpha->softMax);
}

} // namespace
