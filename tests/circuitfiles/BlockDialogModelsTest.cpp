// The editor's block dialogs without windows: the catalogue view and the
// insert menu's ids, the parameter dialog's controls and value checks, the
// layout dialog's fitting, the text-block factor, the mark-data lines and
// the signal-name rename pass.
#include "BlockCatalogue.h"
#include "BlockDialogModels.h"
#include "CircuitTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> texts(const std::vector<String>& v)
{
    std::vector<std::string> out;
    for (const String& s : v)
        out.push_back(s.text());
    return out;
}

// Library "Standard" at /lib with groups "Regler" [pt1, pt2 (hidden), pi,
// pid] and "Quellen" [step]; library "Local" with one empty group.
class CatalogueTest : public ::testing::Test {
protected:
    CatalogueTest()
    {
        BlockLibrary& standard = libs[0];
        standard.name = "Standard";
        standard.file = "/lib";
        standard.sectionCount = 2;
        LibrarySection& regler = standard.sections[0];
        regler.name = "Regler";
        const char* names[] = {"pt1", "pt2", "pi", "pid"};
        for (int i = 0; i < 4; ++i) {
            regler.setFirstName(i, names[i]);
            regler.setSecondName(i, (std::string(names[i]) + ".blk").c_str());
            regler.removed[i] = i == 1;
        }
        regler.count = 4;
        LibrarySection& sources = standard.sections[1];
        sources.name = "Quellen";
        sources.setFirstName(0, "step");
        sources.setSecondName(0, "step.blk");
        sources.removed[0] = 0;
        sources.count = 1;
        BlockLibrary& local = libs[1];
        local.name = "Local";
        local.file = "/local";
        local.sectionCount = 1;
        local.sections[0].name = "Local";
    }
    ADArray<BlockLibrary> libs;
};

TEST_F(CatalogueTest, HiddenBlocksAreNotListedAndLinesCountOnlyVisibleBlocks)
{
    BlockCatalogue catalogue(libs, 2);
    EXPECT_EQ(texts(catalogue.libraryNames()), (std::vector<std::string>{"Standard", "Local"}));
    EXPECT_EQ(texts(catalogue.groupNames(0)), (std::vector<std::string>{"Regler", "Quellen"}));
    EXPECT_EQ(texts(catalogue.visibleBlockNames(0, 0)), (std::vector<std::string>{"pt1", "pi", "pid"}));
    EXPECT_EQ(catalogue.blockPosition(0, 0, 1), 2);
    EXPECT_STREQ(catalogue.blockFilePath(0, 0, catalogue.blockPosition(0, 0, 1)).text(), "/lib\\pi.blk");
    EXPECT_EQ(catalogue.blockPosition(0, 0, 3), -1);
    EXPECT_STREQ(catalogue.blockFilePath(0, 0, -1).text(), "/lib\\");
    EXPECT_STREQ(catalogue.indexFilePath(1).text(), "/local\\ablocks.bfl");
}

TEST_F(CatalogueTest, ALibraryChangeKeepsTheGroupLineOnlyWhenTheLibraryHasIt)
{
    BlockCatalogue catalogue(libs, 2);
    EXPECT_EQ(catalogue.groupLineFor(0, 1), 1);
    EXPECT_EQ(catalogue.groupLineFor(1, 1), 0);  // equal to the group count
    EXPECT_EQ(catalogue.groupLineFor(1, 5), 0);
}

TEST_F(CatalogueTest, IndicesBeyondTheCatalogueGiveEmptyListsAndDoNotGrowIt)
{
    BlockCatalogue catalogue(libs, 2);
    unsigned before = libs.GetSize();
    EXPECT_TRUE(catalogue.groupNames(7).empty());
    EXPECT_TRUE(catalogue.visibleBlockNames(0, 9).empty());
    EXPECT_TRUE(catalogue.visibleBlockNames(-1, 0).empty());
    EXPECT_EQ(catalogue.blockPosition(5, 5, 0), -1);
    EXPECT_STREQ(catalogue.libraryName(3).text(), "");
    EXPECT_STREQ(catalogue.blockFilePath(4, 0, 0).text(), "\\");
    EXPECT_EQ(libs.GetSize(), before);
}

TEST_F(CatalogueTest, InsertMenuItemsMapBackToTheirBlocks)
{
    BlockCatalogue catalogue(libs, 2);
    InsertMenuTree tree(catalogue);
    // Root 15000, Standard 15001, Regler 15002, pt1 15003, pi 15004, pid
    // 15005, Quellen 15006, step 15007, Local 15008, its group 15009.
    EXPECT_EQ(tree.lastId(), 15009);
    const InsertMenuNode* second = tree.blockItem(15004);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(catalogue.blockFilePath(second->libraryIndex, second->groupIndex, second->blockIndex).text(),
                 "/lib\\pi.blk");
    EXPECT_EQ(tree.blockItem(15002), nullptr);
    EXPECT_EQ(tree.blockItem(15010), nullptr);
}

TEST(InsertMenuIds, OneLibraryOneGroupTwoBlocks)
{
    ADArray<BlockLibrary> libs;
    libs[0].name = "L";
    libs[0].sectionCount = 1;
    LibrarySection& g = libs[0].sections[0];
    g.setFirstName(0, "a");
    g.setFirstName(1, "b");
    g.setSecondName(0, "a.blk");
    g.setSecondName(1, "b.blk");
    g.removed[0] = 0;
    g.removed[1] = 0;
    g.count = 2;
    BlockCatalogue catalogue(libs, 1);
    InsertMenuTree tree(catalogue);
    EXPECT_EQ(tree.top().id, 15000);
    EXPECT_EQ(tree.lastId(), 15004);
    for (int id = 14999; id <= 15005; ++id)
        EXPECT_EQ(tree.blockItem(id) != nullptr, id == 15003 || id == 15004) << id;
    EXPECT_EQ(tree.blockItem(15004)->blockIndex, 1);
    // Ids far beyond, among the program's fixed commands, map to nothing.
    EXPECT_EQ(tree.blockItem(18022), nullptr);
}

// ---------------------------------------------------------------- parameters

const char* const kTwoOneThree = "BLOCK T;\nINPUT u1 \"erster\"; u2;\nOUTPUT y;\n"
                                 "PARAMETER a = 1; b = 2; c = 3;\nSIM\nENDBLOCK\n";

int countKind(const ParameterDialogLayout& d, ParameterControl::Kind kind)
{
    int n = 0;
    for (const ParameterControl& c : d.controls)
        n += c.kind == kind;
    return n;
}

TEST(ParameterDialog, HeightFollowsPortsAndParameters)
{
    CircuitWorld world;
    auto empty = world.described("BLOCK E;\nSIM\nENDBLOCK\n");
    ParameterDialogLayout none = parameterDialogLayout(*empty);
    EXPECT_EQ(none.height, 100);
    EXPECT_EQ(none.width, 275);
    ASSERT_EQ(none.controls.size(), 3u);
    EXPECT_EQ(none.controls[0].kind, ParameterControl::DEFAULT_BUTTON);
    EXPECT_EQ(none.controls[2].id, kHelpButtonId);

    auto block = world.described(kTwoOneThree);
    ParameterDialogLayout d = parameterDialogLayout(*block);
    EXPECT_EQ(d.height, 130);
    EXPECT_EQ(countKind(d, ParameterControl::GROUP_BOX), 3);
    EXPECT_EQ(countKind(d, ParameterControl::EDIT), 3);
    std::vector<std::string> boxes;
    for (const ParameterControl& c : d.controls) {
        if (c.kind == ParameterControl::GROUP_BOX)
            boxes.push_back(c.text.text());
        // Every control lies inside the dialog.
        EXPECT_LE(c.y + c.height, d.height) << c.text.text();
        EXPECT_LE(c.x + c.width, d.width) << c.text.text();
    }
    EXPECT_EQ(boxes, (std::vector<std::string>{"Eingänge", "Ausgänge", "Parameter"}));
    bool commented = false;
    for (const ParameterControl& c : d.controls)
        commented |= std::string(c.text.text()) == "u1 - erster";
    EXPECT_TRUE(commented);
}

TEST(ParameterDialog, ManyParametersStillFitTheDialog)
{
    CircuitWorld world;
    std::string text = "BLOCK M;\nPARAMETER";
    for (int i = 0; i < 12; ++i)
        text += " p" + std::to_string(i) + " = 1;";
    auto block = world.described(text + "\nSIM\nENDBLOCK\n");
    ParameterDialogLayout d = parameterDialogLayout(*block);
    for (const ParameterControl& c : d.controls)
        EXPECT_LE(c.y + c.height, d.height);
}

TEST(ParameterDialog, NamesAreCutAndKindsGiveTheirControls)
{
    CircuitWorld world;
    auto block = world.described("BLOCK N;\nPARAMETER abcdefghijklmnopqrst = 1; f = 2; s = 3;\nSIM\nENDBLOCK\n");
    block->parameterKinds[1] = kParamBool;
    block->parameterKinds[2] = kParamText;
    ParameterDialogLayout d = parameterDialogLayout(*block);
    bool cut = false;
    for (const ParameterControl& c : d.controls)
        cut |= std::string(c.text.text()) == "abcdefghijklm";
    EXPECT_TRUE(cut);
    EXPECT_EQ(countKind(d, ParameterControl::CHECK_BOX), 1);
    EXPECT_EQ(countKind(d, ParameterControl::EDIT), 2);
    EXPECT_EQ(parameterControlKind(0), ParameterControl::GROUP_BOX);  // no control
    EXPECT_EQ(checkBoxShowsChecked("2"), 1);
    EXPECT_EQ(checkBoxShowsChecked("0"), 0);
}

TEST(ParameterDialog, ValuesThatWouldBreakTheSavedCircuitAreRefused)
{
    struct Case {
        int kind;
        const char* value;
        int valid;
    } cases[] = {
        {kParamPlain, "1.5e3", 1},   {kParamPlain, "K*2", 1},     {kParamPlain, "1;2", 0},
        {kParamPlain, "1,2", 0},     {kParamPlain, "a=b", 0},     {kParamPlain, "a\"b", 0},
        {kParamPlain, "1 # x", 0},   {kParamPlain, "1 // x", 0},  {kParamPlain, "1 /* x", 0},
        {kParamPlain, "1/2", 1},     {kParamText, "a;b,c=d", 1},  {kParamText, "a\"b", 0},
        {kParamPlain | kParamFlagged, "2;", 0},                   {kParamBool, "1", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parameterValueValid(c.kind, c.value), c.valid) << c.kind << " " << c.value;
}

TEST(ParameterDialog, DecimalCommasAreStoredAsPoints)
{
    struct Case {
        int kind;
        const char* typed;
        const char* stored; // null: refused
    } cases[] = {
        {kParamPlain, "0,5", "0.5"},         {kParamPlain, "-1,5e-3", "-1.5e-3"}, {kParamPlain, "K*0,5", "K*0.5"},
        {kParamPlain, "0.5", "0.5"},         {kParamPlain, "1,5,3", nullptr},     {kParamPlain, "MAX(1,2)", nullptr},
        {kParamPlain, "0,5;", nullptr},      {kParamPlain, "abc", "abc"},         {kParamText, "a,b", "a,b"},
        {kParamText, "0,5", "0,5"},          {kParamPlain | kParamFlagged, "2,5", "2.5"},
    };
    for (const Case& c : cases) {
        String stored("untouched");
        EXPECT_EQ(parameterValueToStore(c.kind, c.typed, &stored), c.stored ? 1 : 0) << c.typed;
        EXPECT_STREQ(stored.text(), c.stored ? c.stored : "untouched") << c.typed;
    }
    const std::string plain = parameterRefusalText(kParamPlain, "Kp", "1,5,3").text();
    EXPECT_EQ(plain.rfind("Der Wert im Feld \"Kp\" l\xe4sst sich so nicht speichern: \"1,5,3\"", 0), 0u) << plain;
    const std::string text = parameterRefusalText(kParamText, "name", "a\"b").text();
    EXPECT_EQ(text.rfind("Der Text im Feld \"name\" darf kein", 0), 0u) << text;
}

// ---------------------------------------------------------------- layout

TEST(LayoutFitting, HeightAndWidth)
{
    struct Case {
        int height, inputs, outputs, fitted;
    } cases[] = {
        {6, 3, 1, 7}, {2, 0, 0, 3}, {3, 0, 2, 4}, {4, 1, 2, 5}, {3, 5, 0, 5}, {7, 3, 3, 7}, {99, 0, 0, 99},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitLayoutHeight(c.height, c.inputs, c.outputs), c.fitted)
            << c.height << " " << c.inputs << " " << c.outputs;
    EXPECT_EQ(fitLayoutWidth(1), 4);
    EXPECT_EQ(fitLayoutWidth(4), 4);
    EXPECT_EQ(fitLayoutWidth(9), 9);
}

TEST(LayoutValues, TheFittedHeightIsWhatTheBlockKeeps)
{
    CircuitWorld world;
    auto block = world.block("mimo.blk");
    BlockLayoutValues v = BlockLayoutValues::fromBlock(*block);
    v.height = fitLayoutHeight(3, v.inConns, v.outConns);
    v.width = fitLayoutWidth(2);
    v.labelText = "A\r\nB";
    v.hallign = 2;
    v.autosize = 1;
    v.applyTo(*block);
    EXPECT_EQ(block->size.y(), v.height);
    EXPECT_EQ(block->size.x(), 4);
    EXPECT_EQ(block->textLines.size(), 2u);
    EXPECT_EQ(block->layout[0], 2);
    EXPECT_EQ(block->layout[6], 1);
}

TEST(TextBlock, FactorAndValues)
{
    EXPECT_DOUBLE_EQ(textFactorFrom("1.5", 1.0), 1.5);
    EXPECT_DOUBLE_EQ(textFactorFrom("abc", 1.0), 0.0);
    EXPECT_DOUBLE_EQ(textFactorFrom("0,5", 1.0), 0.5);
    EXPECT_DOUBLE_EQ(textFactorFrom("1e300", 2.0), 2.0);
    EXPECT_DOUBLE_EQ(textFactorFrom("-101", 2.0), 2.0);
    EXPECT_DOUBLE_EQ(textFactorFrom("100", 2.0), 100.0);
    CircuitWorld world;
    auto block = world.block("text.blk");
    applyTextBlockValues(*block, "Regler\r\nKreis", 1, 1.5);
    EXPECT_EQ(block->textLines.size(), 2u);
    EXPECT_EQ(block->layout[0], 1);
    EXPECT_EQ(block->layout[1], 1);
    EXPECT_EQ(block->layout[4], 1);
    EXPECT_DOUBLE_EQ(block->scale, 1.5);
}

// ---------------------------------------------------------------- marks

TEST(MarkData, LinesTogglesAndAll)
{
    CircuitWorld world;
    auto block = world.block("pt1.blk");  // 1 output, 1 state, 2 parameters
    ASSERT_EQ(markDataTotal(*block), 5);
    block->symbolMarks.resize(7, 0);  // marks beyond the quantities
    std::vector<std::string> lines = texts(markDataLines(*block));
    std::string signal = "  " + std::string(block->signalName(1).text()) + " (signal)";
    EXPECT_EQ(lines, (std::vector<std::string>{signal, "  x (state)", "  dx (der.)", "  K (param.)", "  T (param.)"}));

    EXPECT_EQ(toggleMarkLine(*block, 2), 1);
    EXPECT_EQ(texts(markDataLines(*block))[2], "* dx (der.)");
    toggleMarkLine(*block, 2);
    EXPECT_EQ(block->symbolMarks[2], 0);
    EXPECT_EQ(toggleMarkLine(*block, 5), 0);

    setAllMarks(*block, 1);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(block->symbolMarks[i], 1);
    EXPECT_EQ(block->symbolMarks[5], 0);
    EXPECT_EQ(block->symbolMarks[6], 0);
    setAllMarks(*block, 0);
    EXPECT_EQ(block->anyOutputMarked() + block->anyOtherSymbolMarked(), 0);
}

// ---------------------------------------------------------------- signal names

TEST(SignalNames, RenamePass)
{
    struct Case {
        const char* name;
        std::vector<SignalRename> renames;
        std::vector<std::string> expected;  // what a, b and z read afterwards
        int conflict;
    } cases[] = {
        {"swap", {{"a", "b"}, {"b", "a"}}, {"b", "a", "z"}, 0},
        {"same new name", {{"a", "c"}, {"b", "c"}}, {"c", "c_conflict", "z"}, 1},
        {"empty cells", {{"a", ""}, {"b", ""}}, {"a", "b", "z"}, 0},
        {"taken for good", {{"a", "z"}}, {"z_conflict", "b", "z"}, 1},
    };
    for (const Case& c : cases) {
        RecordingScope rec;
        SignalNameRegistry registry;
        String* a = registry.add("a");
        String* b = registry.add("b");
        String* z = registry.add("z");
        EXPECT_EQ(applySignalRenames(registry, c.renames), c.conflict) << c.name;
        EXPECT_EQ((std::vector<std::string>{a->text(), b->text(), z->text()}), c.expected) << c.name;
        if (c.conflict) {
            ASSERT_EQ(rec.sink.boxes.size(), 1u) << c.name;
            EXPECT_NE(rec.sink.boxes[0].find("Mindestens ein neuer Signalname verursacht einen Konflikt!"),
                      std::string::npos);
        } else {
            EXPECT_TRUE(rec.sink.boxes.empty()) << c.name;
        }
    }
    EXPECT_EQ(signalNameValid("a\"b"), 0);
    EXPECT_EQ(signalNameValid("y 1"), 1);
}

} // namespace
