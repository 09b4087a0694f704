// Writing the block file: the golden blocks, their reading back, and a
// failed write that keeps the old file.
#include "IdentBlockFile.h"

#include "kytident/IdentTestSupport.h"

#include <cstdlib>
#include <ctime>
#include <string>
#include <sys/stat.h>

namespace {

const std::string kData = KYTIDENT_TEST_DATA;
const std::string kDate = "Mon Mar  3 10:15:42 2025";

class IdentBlockWriterTest : public IdentScratchTest {
protected:
    IdentBlockData document(const char* name)
    {
        IdentBlockData doc;
        doc.blockName = name;
        doc.directory = dir;
        return doc;
    }
    static void expectSameSettings(const IdentBlockData& a, const IdentBlockData& b)
    {
        EXPECT_EQ(a.algo, b.algo);
        EXPECT_EQ(a.numDeg, b.numDeg);
        EXPECT_EQ(a.denDeg, b.denDeg);
        EXPECT_EQ(a.sample, b.sample);
        EXPECT_EQ(a.dead, b.dead);
        EXPECT_EQ(a.pOutput, b.pOutput);
        EXPECT_EQ(a.gOutput, b.gOutput);
        for (int i = 0; i < kMaxIdentParameters; ++i)
            EXPECT_EQ(a.params[i], b.params[i]) << i;
    }
};

// The two golden blocks: RLS with result window and coefficient outputs,
// and extended least squares with its filter coefficients.
TEST_F(IdentBlockWriterTest, GoldenBlocksAndReadingThemBack)
{
    IdentBlockData rls = document("w1");
    rls.numDeg = 1;
    rls.denDeg = 2;
    rls.pOutput = 1;
    rls.gOutput = 1;
    rls.sample = 0.5;
    rls.dead = 1.0;

    IdentBlockData extended = document("w2");
    extended.setMethod(3);
    extended.pOutput = 1;
    ASSERT_EQ(2.0, extended.params[2]);

    struct Case {
        IdentBlockData* doc;
        const char* golden;
    } cases[] = {{&rls, "ident_rls.mdl"}, {&extended, "ident_erls.mdl"}};
    for (const Case& c : cases) {
        const std::string golden = read(kData + "/" + c.golden);
        ASSERT_FALSE(golden.empty()) << c.golden;
        EXPECT_EQ(golden, identBlockText(*c.doc, kDate)) << c.golden;
        ASSERT_TRUE(writeIdentBlock(*c.doc, kDate)) << c.golden;
        EXPECT_EQ(golden, read(dir + "/" + c.doc->blockName)) << c.golden;

        IdentBlockData back = document(c.doc->blockName.c_str());
        BoxRecorder boxes;
        ASSERT_EQ(IDENT_READ_OK, readIdentBlock(&back, boxes.ask())) << c.golden;
        EXPECT_TRUE(boxes.shown.empty()) << c.golden;
        expectSameSettings(*c.doc, back);
    }
}

TEST_F(IdentBlockWriterTest, OptionsDecideTheLines)
{
    struct Case {
        int pOutput;
        int gOutput;
        double sample;
        double dead;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    } cases[] = {
        {0, 0, 1.0, 0.0, {"   idhandle = IDOPEN(2, 1, 2, Tsamp, 0);\n", "   IDSET(idhandle, 3, d);\n"},
         {"IDWIN", "IDGET", "out_a", " a1 "}},
        {0, 3, 0.1, 0.3, {"   IDWINPUT(idhandle);\n", "   IDWINOPEN(idhandle, 3, TYPENAME, \"Hilfsvariable\");\n",
                          "   idhandle = IDOPEN(2, 1, 2, Tsamp, 3);\n", "   Gamma = 0.9;\n"},
         {"IDGET", "out_b"}},
        {1, 0, 2.0, 1.0, {"   out_b0 = IDGET(idhandle, 3);\n", "   idhandle = IDOPEN(2, 1, 2, Tsamp, 1);\n"},
         {"IDWIN", " c0"}},
    };
    for (const Case& c : cases) {
        IdentBlockData doc = document("w3");
        doc.setMethod(2);
        doc.pOutput = c.pOutput;
        doc.gOutput = c.gOutput;
        doc.sample = c.sample;
        doc.dead = c.dead;
        const std::string text = identBlockText(doc, kDate);
        for (const std::string& line : c.present)
            EXPECT_NE(std::string::npos, text.find(line)) << line << text;
        for (const std::string& part : c.absent)
            EXPECT_EQ(std::string::npos, text.find(part)) << part << text;
    }
}

TEST_F(IdentBlockWriterTest, FailedWriteKeepsTheOldFile)
{
    IdentBlockData doc = document("w4");
    const std::string old = write("w4", "BLOCK w4;\nENDBLOCK w4;\n");
    // The temporary copy cannot be made.
    ASSERT_EQ(0, mkdir((dir + "/w4.new").c_str(), 0755));
    write("w4.new/inhalt", "x");
    EXPECT_FALSE(writeIdentBlock(doc, kDate));
    EXPECT_EQ("BLOCK w4;\nENDBLOCK w4;\n", read(old));

    // The block file is a directory that holds something: it stays.
    IdentBlockData blocked = document("w5");
    ASSERT_EQ(0, mkdir((dir + "/w5").c_str(), 0755));
    write("w5/inhalt", "x");
    EXPECT_FALSE(writeIdentBlock(blocked, kDate));
    EXPECT_EQ("x", read(dir + "/w5/inhalt"));
    struct stat st;
    EXPECT_NE(0, stat((dir + "/w5.new").c_str(), &st)) << "temporary file left behind";
}

TEST_F(IdentBlockWriterTest, DateTextIsTheLibraryForm)
{
    const char* old = getenv("TZ");
    std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ("Thu Jan  1 00:00:00 1970", identDateText(0));
    EXPECT_EQ("Mon Mar  3 10:15:42 2025", identDateText(1740996942));
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace
