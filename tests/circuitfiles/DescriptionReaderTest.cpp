// Block descriptions read into block objects: the head, the layout lines and
// the declarations, and the messages of faulty descriptions.
#include "CircuitTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const char* const kLayout =
    " $ TEXT \"t\" $ TEXTALIG 1 1 1 0 $ ICONNAME \"*** NO PIC ***\" $ ICONDIM 1 1 $ ICONALIG 1 1 0 ";

struct DescriptionCase {
    const char* name;
    std::string text;
    // The hint of the one message shown, or null when none is.
    const char* hint;
    int errorFlag;
    std::function<void(const BlockObject&)> check;
};

std::string endOf(const std::string& s, size_t n)
{
    return s.size() > n ? s.substr(s.size() - n) : s;
}

} // namespace

TEST(DescriptionReader, Cases)
{
    const DescriptionCase cases[] = {
        {"only the name", "BLOCK x;", nullptr, 0,
         [](const BlockObject& b) {
             EXPECT_STREQ("x", b.getName().text());
             EXPECT_EQ(0, b.inputCount + b.outputCount + b.parameterCount);
             EXPECT_EQ(kKindBlock, b.kindFlags);
             EXPECT_EQ(Point(4, 3), b.size);
             EXPECT_STREQ("x", b.getText().text());
         }},
        {"wizard header", "$ WIZARD Fuzzy \"arg\"\n# Fuzzy data\nBLOCK b;", nullptr, 0,
         [](const BlockObject& b) {
             EXPECT_STREQ("Fuzzy", b.wizardName.text());
             EXPECT_STREQ("arg", b.wizardArgument.text());
             EXPECT_EQ(1, b.wizardFlag);
             EXPECT_STREQ("b", b.getName().text());
         }},
        {"dollar without WIZARD", "$ BLOCK b;", "HINWEIS: Das Schl\xFCsselwort >WIZARD< wird erwartet!", 1,
         nullptr},
        {"wizard kind without BLOCK", "$ WIZARD Ident INPUT", "HINWEIS: Das Schl\xFCsselwort >BLOCK< wird erwartet!",
         1, nullptr},
        {"position kept at -1 -1", std::string("BLOCK b; $ BLOCKDIM -1 -1 6 5") + kLayout, nullptr, 0,
         [](const BlockObject& b) {
             EXPECT_EQ(Point(0, 0), b.getPosition());
             EXPECT_EQ(Point(6, 5), b.size);
             EXPECT_EQ(Point(6, 5), b.standardSize);
         }},
        {"position and mirror", std::string("BLOCK b; $ BLOCKDIM 3 4 6 5 1") + kLayout, nullptr, 0,
         [](const BlockObject& b) {
             EXPECT_EQ(Point(3, 4), b.getPosition());
             EXPECT_EQ(Rect(3, 4, 9, 9), b.getRect());
             EXPECT_EQ(1, b.mirrored);
         }},
        {"value words joined", "BLOCK b; PARAMETER x = 1 . 5;", nullptr, 0,
         [](const BlockObject& b) {
             EXPECT_STREQ("1.5", BlockObject::at(b.parameterValues, 0).text());
             EXPECT_EQ(kParamPlain, BlockObject::at(b.parameterKinds, 0));
         }},
        {"string value", "BLOCK b; PARAMETER p STRING = \"a b\";", nullptr, 0,
         [](const BlockObject& b) {
             EXPECT_STREQ("a b", BlockObject::at(b.parameterValues, 0).text());
             EXPECT_EQ(kParamText, BlockObject::at(b.parameterKinds, 0));
         }},
        {"quoted value of a plain parameter", "BLOCK b; PARAMETER p = \"a b\";",
         "HINWEIS: Eine Zeichenkette wird erwartet!", 1, nullptr},
        {"two group clauses", "BLOCK b; PARAMETER a SGROUP g1 = 1; b = 2; c BOOL SGROUP g2 = 3;", nullptr, 0,
         [](const BlockObject& b) {
             EXPECT_EQ(kParamPlain | kParamFlagged, BlockObject::at(b.parameterKinds, 0));
             EXPECT_EQ(kParamPlain, BlockObject::at(b.parameterKinds, 1));
             EXPECT_EQ(kParamBool | kParamFlagged, BlockObject::at(b.parameterKinds, 2));
             EXPECT_EQ(kKindBlock | kKindGroup, b.kindFlags);
             EXPECT_STREQ("1", b.flaggedEntryValue().text());
         }},
        {"nothing after SIM", "BLOCK b; INPUT u; SIM OUTPUT y; x = 1;", nullptr, 0,
         [](const BlockObject& b) {
             EXPECT_EQ(1, b.inputCount);
             EXPECT_EQ(0, b.outputCount);
         }},
        {"other tokens end the reading", "BLOCK b; OUTPUT y; $ x; INPUT u;", nullptr, 0,
         [](const BlockObject& b) { EXPECT_EQ(1, b.outputCount + b.inputCount); }},
        {"body words read as declarations", "BLOCK b; OUTPUT y; ENDBLOCK", "HINWEIS: Ein Strichpunkt wird erwartet!", 1,
         [](const BlockObject& b) { EXPECT_EQ(2, b.outputCount); }},
        {"no BLOCK", "INPUT u;", "HINWEIS: Das Schl\xFCsselwort >BLOCK< wird erwartet!", 1, nullptr},
        {"empty file", "", "HINWEIS: Das Schl\xFCsselwort >BLOCK< wird erwartet!", 1, nullptr},
        {"bad subtype", std::string("BLOCK b; $ SUBTYPE FOO $ BLOCKDIM -1 -1 6 5") + kLayout,
         "FEHLER: Parameter nach >SUBTYPE< erwartet!\nG\xFCltige Werte sind CONTROL und TEXTONLY!", 0,
         [](const BlockObject& b) { EXPECT_EQ(kKindBlock, b.kindFlags); }},
        {"missing dollar in the layout", "BLOCK b; $ BLOCKDIM -1 -1 6 5 TEXT", "HINWEIS: $ wird erwartet!", 0,
         nullptr},
        {"type word in VAR", "BLOCK b; VAR x BOOL;", "HINWEIS: Ein Strichpunkt wird erwartet!", 1, nullptr},
        {"unterminated string", "BLOCK b; INPUT u \"Eingang", "HINWEIS: \" wird erwartet!", 1,
         [](const BlockObject& b) { EXPECT_EQ(1, b.inputCount); }},
        {"group clause without a name", "BLOCK b; OUTPUT y SGROUP ;", "HINWEIS: Eine Zeichenkette wird erwartet!",
         1, nullptr},
        {"text lines with BEL", std::string("BLOCK b; $ BLOCKDIM -1 -1 6 5 $ TEXT \"a\x07") + "b\" $ \"c\"" +
                                    " $ TEXTALIG 1 1 1 0 $ ICONNAME \"*** NO PIC ***\" $ ICONDIM 1 1 $ ICONALIG 1 1 0",
         nullptr, 0,
         [](const BlockObject& b) {
             ASSERT_EQ(3u, b.textLines.size());
             EXPECT_STREQ("a\r\nb\r\nc", b.getText().text());
         }},
    };
    for (const DescriptionCase& c : cases) {
        SCOPED_TRACE(c.name);
        CircuitWorld world;
        auto block = world.described(c.text);
        EXPECT_EQ(c.errorFlag, block->errorFlag);
        if (c.hint) {
            ASSERT_EQ(1u, world.rec.viewer.calls.size());
            EXPECT_EQ(c.hint, endOf(world.rec.viewer.calls[0].message, strlen(c.hint)));
        } else {
            for (const ViewerCall& call : world.rec.viewer.calls)
                ADD_FAILURE() << call.message;
        }
        if (c.check)
            c.check(*block);
    }
}

TEST(DescriptionReader, ControlBlockWithSignalGroup)
{
    CircuitWorld world;
    auto b = world.block("pid.blk");
    EXPECT_EQ(0, b->errorFlag);
    EXPECT_TRUE(world.rec.viewer.calls.empty());
    // The group bit comes on top: still a control block.
    EXPECT_EQ(kKindBlock | kKindControl | kKindGroup, b->kindFlags);
    EXPECT_STREQ("pid.blk", b->typeName.text());
    EXPECT_STREQ("PID [Standard : pid.blk]", b->caption().text());
    EXPECT_EQ(1, b->mirrored);
    EXPECT_STREQ("Regelabweichung", BlockObject::at(b->inputComments, 0).text());
    EXPECT_STREQ("Stellgr\xF6\xDF" "e", BlockObject::at(b->outputComments, 0).text());
    ASSERT_EQ(4, b->parameterCount);
    const int kinds[] = {kParamPlain, kParamBool, kParamText, kParamText | kParamFlagged};
    const char* values[] = {"2.5", "1", "PID mit Grenze", "com1"};
    const char* names[] = {"Kp", "limit", "title", "port"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(kinds[i], BlockObject::at(b->parameterKinds, i)) << i;
        EXPECT_STREQ(values[i], BlockObject::at(b->parameterValues, i).text()) << i;
        EXPECT_STREQ(names[i], BlockObject::at(b->parameterNames, i).text()) << i;
    }
    EXPECT_STREQ("Schnittstelle", BlockObject::at(b->parameterComments, 3).text());
    EXPECT_STREQ("com1", b->flaggedEntryValue().text());
    ASSERT_EQ(2, b->variableCount);
    EXPECT_STREQ("ud", BlockObject::at(b->variableNames, 1).text());
    ASSERT_EQ(1, b->stateCount);
    EXPECT_STREQ("xi", BlockObject::at(b->stateNames, 0).text());
    // One mark per output, parameter and variable, two per state.
    EXPECT_EQ(1u + 4u + 2u + 2u, b->symbolMarks.size());
    // TEXTALIG fills words 1, 2, 5, 6; ICONALIG words 3, 4, 7.
    const int layout[] = {1, 0, 1, 1, 1, 1, 1};
    for (int i = 0; i < kLayoutWords; ++i)
        EXPECT_EQ(layout[i], b->layout[i]) << i;
    EXPECT_EQ(Point(4, 4), b->iconDim);
}

TEST(DescriptionReader, LibraryBlocks)
{
    CircuitWorld world;
    auto text = world.block("text.blk");
    EXPECT_EQ(kKindBlock | kKindText, text->kindFlags);
    EXPECT_DOUBLE_EQ(1.5, text->scale);
    EXPECT_STREQ("Regelkreis\r\nmit PT1", text->getText().text());

    auto frame = world.block("frame.blk");
    EXPECT_EQ(kKindBlock | kKindFrame, frame->kindFlags);
    EXPECT_EQ(1, frame->frameOutline);
    EXPECT_EQ(1, frame->frameFill);
    EXPECT_EQ(Color(0, 0, 128), frame->textColour);
    EXPECT_EQ(Color(255, 255, 0), frame->frameColour);

    auto wizard = world.block("wizard.blk");
    EXPECT_STREQ("Laplace", wizard->wizardName.text());
    EXPECT_STREQ("1/(1+s)", wizard->wizardArgument.text());
    EXPECT_EQ(1, wizard->inputCount);
    EXPECT_EQ(1, wizard->outputCount);

    auto delay = world.block("delay.blk");
    EXPECT_EQ(0, delay->errorFlag);
    EXPECT_EQ(1, delay->parameterCount);
    EXPECT_EQ(0, delay->variableCount);
    EXPECT_EQ(0, delay->stateCount);

    auto control = world.block("control.blk");
    EXPECT_EQ(kKindBlock | kKindControl, control->kindFlags);
    for (const ViewerCall& call : world.rec.viewer.calls)
        ADD_FAILURE() << call.message;
}

TEST(DescriptionReader, PasteModeShiftsThePosition)
{
    CircuitWorld world;
    std::string path = world.scratch.write("p.blk", std::string("BLOCK b; $ BLOCKDIM 3 4 6 5") + kLayout);
    BlockObject b(Point(0, 0), Point(0, 0), "", "Standard");
    CircuitReader r(1);
    ASSERT_EQ(1, r.openFile(path.c_str()));
    r.readBlock(b);
    EXPECT_EQ(Point(4, 5), b.getPosition());
}
