// The commands of the DDE topic "Fuzzy" on the FUZZY library's slots, and
// SaveBlock writing blocks back to their files.
#include "FuzzyDdeCommands.h"
#include "FuzzyModule.h"
#include "FuzzyTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace fuzzytest;

namespace {

class FuzzyDdeCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { fuzzyBlockTable().releaseAll(); }
    void TearDown() override { fuzzyBlockTable().releaseAll(); }

    // The reply, or "<no data>".
    std::string ask(const std::string& item)
    {
        std::optional<std::string> reply = handleFuzzyCommand(item);
        return reply ? *reply : "<no data>";
    }
    std::string load(const std::string& name, const std::string& text)
    {
        return ask("LoadFile " + dir.write(name, text));
    }
    ErrorBoxScope boxes;
    ScratchDir dir;
};

TEST_F(FuzzyDdeCommandsTest, DrivesALoadedBlock)
{
    ASSERT_EQ("0", load("pd9.kyb", pd9Text('T', "max_min", "centroid")));
    struct Step {
        const char* item;
        const char* reply;
    } steps[] = {
        {"ShowInputNames 0", "INPUTS: e, de"},
        {"ShowOutputNames  0", "OUTPUTS: u"},
        {"ShowConfiguration 0", "AND: min\nOR: max\nINFERENCE: max_min\nDEFUZZIFICATION: centroid\n"},
        {"SetInputValue 0 e 0.5", "1"},
        {"SetInputValue 0 de -0.25", "1"},
        {"SimulateStep 0", "1"},
        {"GetOutputValue 0 nosuch", "0."},
        {"InitSimulation 0.9", "1"},
        {"SetParameterOfMemberOfVariable 0 1 Z e -0.123456789012", "1"},
        {"ShowParametersOfMemberOfVariable 0 Z e", "Z: \n\tTrapez: -0.123456789, 0, 0, 1\n"},
        {"SetParameterOfMemberOfVariable 0 5 Z e 1", "0"},
        {"SetParameterOfMemberOfVariable 0 1 Q e 1", "0"},
        {"SetCfOfRule 0 0.123456 3", "1"},
        {"SetCfOfRule 0 0.5 99", "0"},
        // Not commands, missing words and handles of no used slot.
        {"getoutputvalue 0 u", "<no data>"},
        {"GetOutputValue 0", "<no data>"},
        {"GetOutputValue abc u", "<no data>"},
        {"GetOutputValue 100 u", "<no data>"},
        {"GetOutputValue -1 u", "<no data>"},
        {"GetOutputValue 1 u", "<no data>"},
        {"GetOutputValue 0x u", "<no data>"},
        {"", "<no data>"},
        {"   ", "<no data>"},
    };
    for (const Step& s : steps)
        EXPECT_EQ(s.reply, ask(s.item)) << s.item;

    double u = atof(ask("GetOutputValue 0 u").c_str());
    EXPECT_NEAR(703.0 / 7498, u, 1e-9);
    EXPECT_NE(std::string::npos, ask("ShowCfOfRules 0").find("3 : 0.12346\n"));

    EXPECT_EQ("1", ask("CloseBlock 0"));
    EXPECT_EQ("<no data>", ask("GetOutputValue 0 u"));
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());
    EXPECT_TRUE(boxes.sink.boxes.empty());
}

TEST_F(FuzzyDdeCommandsTest, SingletonsAndMaximum)
{
    ASSERT_EQ("0", load("s.kyb", pd9Text('S', "max_prod", "centroid")));
    std::string before = ask("ShowParametersOfMemberOfVariable 0 ZO u");
    EXPECT_EQ("0", ask("SetParameterOfMemberOfVariable 0 2 ZO u 0.3"));
    EXPECT_EQ(before, ask("ShowParametersOfMemberOfVariable 0 ZO u"));
    ASSERT_EQ("1", load("t.kyb", pd9Text('T', "max_min", "max")));
    std::string configuration = ask("ShowConfiguration 1");
    EXPECT_EQ("maxim\n", configuration.substr(configuration.size() - 6));
}

TEST_F(FuzzyDdeCommandsTest, LoadFileRefusesBadBlocksAndAFullTable)
{
    std::string pd9 = pd9Text('T', "max_min", "centroid");
    std::string ambiguous = replaceAll(pd9, "INPUTVAR de;", "INPUTVAR e;");
    EXPECT_EQ("Error", ask("LoadFile " + dir.file("fehlt.kyb")));
    EXPECT_EQ("Error", load("syntax.kyb", replaceAll(pd9, "RULEBASE;", "RULEBASE")));
    EXPECT_EQ("Error", load("doppelt.kyb", ambiguous));
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());

    std::string path = dir.write("pd9.kyb", pd9);
    for (int i = 0; i < FuzzyBlockTable::kSlots; ++i)
        ASSERT_EQ(std::to_string(i), ask("LoadFile " + path));
    EXPECT_EQ("Error", ask("LoadFile " + path));
    EXPECT_EQ(FuzzyBlockTable::kSlots, fuzzyBlockTable().usedCount());
    EXPECT_EQ("1", ask("CloseAllBlocks"));
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());
}

// What a DDE transaction does with damaged files: the server takes the
// reports for the transaction, so no box opens, and every file gets "Error".
TEST_F(FuzzyDdeCommandsTest, DamagedFilesGetErrorWithTheirReportsKeptForTheTransaction)
{
    const std::string pd9 = pd9Text('T', "max_min", "centroid");
    const size_t rules = pd9.find("RULEBASE;\n") + 10;
    const struct {
        const char* name;
        std::string text;
    } damaged[] = {
        {"cut.kyb", pd9.substr(0, 600)},
        {"leer.kyb", pd9.substr(0, rules) + pd9.substr(pd9.find("ENDRULEBASE;"))},
        {"cut.kyb", pd9.substr(0, 600)},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.name);
        CollectedReports reports;
        EXPECT_EQ("Error", load(d.name, d.text));
        ASSERT_GE(reports.count(), 1);
        EXPECT_NE(std::string::npos, std::string(reports.text(0)).find("Zeile")) << reports.text(0);
    }
    EXPECT_TRUE(boxes.sink.boxes.empty());
    EXPECT_EQ(0, fuzzyBlockTable().usedCount());
    EXPECT_EQ("0", load("pd9.kyb", pd9));
}

TEST_F(FuzzyDdeCommandsTest, LongDumpsAreCutAndActiveBlocksListed)
{
    std::string text = pd9Text('T', "max_min", "centroid");
    std::string sets;
    for (int i = 0; i < 200; ++i)
        sets += "   MEMBER M" + std::to_string(i) + ";\n      TRAPEZ -1, 0, 0, 1;\n   ENDMEMBER;\n";
    text = replaceAll(text, "ENDOUTPUTVAR;", sets + "ENDOUTPUTVAR;");
    ASSERT_EQ("0", load("viele.kyb", text));
    EXPECT_EQ(kMaxFuzzyReply, ask("ShowMembersOfVariable 0 u").size());

    // A block of FZINIT: the stored name and the path it was read from.
    FuzzyKernel* kernel = readText(pd9Text('S', "max_prod", "centroid"));
    ASSERT_TRUE(kernel);
    ASSERT_EQ(1, fuzzyBlockTable().store(kernel, "pd9", "/nirgends/Local/pd9"));
    EXPECT_EQ("0 : " + dir.file("viele.kyb") + " | pd9\n1 : pd9 | pd9\n", ask("ShowActiveBlocks"));
}

TEST_F(FuzzyDdeCommandsTest, SaveBlockRewritesOnlyTheFuzzyLinesOfAWizardBlock)
{
    std::string pd9 = pd9Text('T', "max_min", "centroid");
    std::string wizard = wizardBlock(pd9);
    std::string path = dir.write("w1", wizard);
    ASSERT_EQ("0", ask("LoadFile " + path));
    ASSERT_EQ("1", ask("SetCfOfRule 0 0.25 2"));
    ASSERT_EQ("1", ask("SaveBlock 0"));

    std::string saved = dir.read("w1");
    // Outside the "#" lines after the wizard line, nothing changed.
    size_t wizardEnd = wizard.find("$WIZARD");
    wizardEnd = wizard.find('\n', wizardEnd) + 1;
    EXPECT_EQ(wizard.substr(0, wizardEnd), saved.substr(0, wizardEnd));
    const std::string model = "BLOCK w1;\nINPUT\n   e;\nENDBLOCK w1;\n";
    EXPECT_EQ(model, saved.substr(saved.size() - model.size()));
    EXPECT_NE(wizard, saved);

    ASSERT_EQ("1", ask("LoadFile " + path));
    EXPECT_NE(std::string::npos, ask("ShowCfOfRules 1").find("2 : 0.25\n"));
}

TEST_F(FuzzyDdeCommandsTest, SaveBlockWritesAPlainBlockWhole)
{
    std::string path = dir.write("pd9.kyb", pd9Text('T', "max_min", "centroid"));
    ASSERT_EQ("0", ask("LoadFile " + path));
    std::string dump = ask("ShowParametersOfMemberOfVariable 0 PS u");
    ASSERT_EQ("1", ask("SetParameterOfMemberOfVariable 0 4 PS u 0.875"));
    ASSERT_EQ("1", ask("SaveBlock 0"));
    ASSERT_EQ("1", ask("LoadFile " + path));
    EXPECT_EQ(ask("ShowParametersOfMemberOfVariable 0 PS u"), ask("ShowParametersOfMemberOfVariable 1 PS u"));
    EXPECT_NE(dump, ask("ShowParametersOfMemberOfVariable 1 PS u"));
    EXPECT_EQ(ask("ShowCfOfRules 0"), ask("ShowCfOfRules 1"));

    // The file became a directory: nothing is written, and the reply says so.
    std::string text = dir.read("pd9.kyb");
    ASSERT_EQ(0, remove(path.c_str()));
    dir.mkdir("pd9.kyb");
    EXPECT_EQ("0", ask("SaveBlock 0"));
    EXPECT_FALSE(dir.exists("pd9.kyb.new"));
}

} // namespace
