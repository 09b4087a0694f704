#include "EditorStrings.h"
#include "FileLayer.h"
#include "FuzzyBlockWriter.h"
#include "FuzzyKernel.h"
#include "FuzzyModel.h"
#include "FuzzyParser.h"
#include "FuzzyParsers.h"
#include "WizardBlock.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kTwoInOneOut =
    "FBLOCK \"Regler\";\n"
    "CONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_prod;\n"
    " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n"
    "INPUTVAR e;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 1, 1, 1;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "INPUTVAR de;\n XMIN -2;\n XMAX 2;\n MEMBER neg;\n  TRAPEZ -2, -2, -2, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 2, 2, 2;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "OUTPUTVAR u;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -0.5, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 0.5, 1, 1;\n ENDMEMBER;\nENDOUTPUTVAR;\n"
    "RULEBASE;\nIF ((e==neg) AND (de==neg)) THEN u=pos;\nIF (e==pos) THEN u=neg WITH 0.5;\nENDRULEBASE;\n"
    "ENDFBLOCK;\n";

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct KernelDeleter {
    void operator()(FuzzyKernel* k) const { delete k; }
};
using KernelPtr = std::unique_ptr<FuzzyKernel, KernelDeleter>;

class WizardBlockTest : public EditorStringsTest {
protected:
    void SetUp() override
    {
        EditorStringsTest::SetUp();
        setenv("TZ", "UTC", 1);
        tzset();
        char tmpl[] = "/tmp/kytfuzzywizXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        std::string text = kTwoInOneOut;
        FILE* f = fmemopen(&text[0], text.size(), "rb");
        ASSERT_TRUE(f);
        kernel.reset(newFuzzyBlock());
        ASSERT_EQ(0, parseFuzzyBlock(kernel.get(), f));
        fclose(f);
    }
    void TearDown() override
    {
        for (const char* n : {"/Fuzzy1.mdl", "/plain.kyb", "/back.kyb"})
            remove((dir + n).c_str());
        rmdir(dir.c_str());
        EditorStringsTest::TearDown();
    }
    std::string dir;
    KernelPtr kernel;
};

// 2001-09-09 01:46:40 UTC.
const std::time_t kDate = 1000000000;

TEST_F(WizardBlockTest, TwoInputsOneOutputMatchesGolden)
{
    EXPECT_EQ("C:\\kyt\\Fuzzy1.mdl", wizardBlockPath("Fuzzy1.mdl", "C:\\kyt"));
    EXPECT_EQ("Fuzzy1.mdl", wizardBlockPath("Fuzzy1.mdl", ""));
    std::string target = dir + "/Fuzzy1.mdl";
    ASSERT_EQ(1, writeMdlBlock(kernel.get(), "C:\\kyt\\regler.kyb", "Fuzzy1", target.c_str(), "", nullptr, kDate));
    std::string got = fileText(target);
    std::string golden = fileText(KYTFUZZY_TEST_DATA "/wizard2x1.mdl");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(golden, got);
}

TEST_F(WizardBlockTest, FzinitReaderGetsTheFuzzyTextBack)
{
    std::string target = dir + "/Fuzzy1.mdl";
    ASSERT_EQ(1, writeMdlBlock(kernel.get(), "x.kyb", "Fuzzy1", target.c_str(), "", nullptr, kDate));
    FuzzyReadResult result;
    FuzzyKernel* back = readFuzzyBlockFile(target.c_str(), kFuzzyEditorCheckTexts, &result, nullptr);
    ASSERT_TRUE(back);
    EXPECT_EQ(FZ_READ_OK, result);
    ASSERT_EQ(1, FuzzyBlockWrite(kernel->getBlock(), (dir + "/plain.kyb").c_str()));
    ASSERT_EQ(1, FuzzyBlockWrite(back->getBlock(), (dir + "/back.kyb").c_str()));
    EXPECT_EQ(fileText(dir + "/plain.kyb"), fileText(dir + "/back.kyb"));
    delete back;
}

TEST_F(WizardBlockTest, UnwritableTargetFailsAndKeepsTheOldFile)
{
    std::string missing = dir + "/no/such/dir/Fuzzy1.mdl";
    EXPECT_EQ(0, writeMdlBlock(kernel.get(), "x.kyb", "Fuzzy1", missing.c_str(), "", nullptr, kDate));
    EXPECT_EQ("Schreibe KYTmdl-Script:\n\xd6" "ffnen der Datei \"" + missing + "\" fehlgeschlagen!",
              std::string(kernel->message.text()));

    // A directory in the target's place cannot be replaced: it stays as it was.
    std::string old = dir + "/Fuzzy1.mdl";
    ASSERT_EQ(0, mkdir(old.c_str(), 0700));
    EXPECT_EQ(0, writeMdlBlock(kernel.get(), "x.kyb", "Fuzzy1", old.c_str(), "", nullptr, kDate));
    EXPECT_EQ(0, rmdir(old.c_str()));
    EXPECT_NE(0, access(checkedWriteTemporary(old.c_str()).text(), F_OK));
}

TEST_F(WizardBlockTest, RuleTextLineEndsArePlain)
{
    std::string target = dir + "/Fuzzy1.mdl";
    ASSERT_EQ(1, writeMdlBlock(kernel.get(), "x.kyb", "Fuzzy1", target.c_str(), "",
                               "IF (e==neg) THEN u=pos;\r\nIF (e==pos) THEN u=neg;\r\n", kDate));
    std::string text = fileText(target);
    EXPECT_EQ(std::string::npos, text.find('\r'));
    EXPECT_NE(std::string::npos, text.find("IF (e==neg) THEN u=pos;\n#IF (e==pos) THEN u=neg;\n")) << text;
}

} // namespace
