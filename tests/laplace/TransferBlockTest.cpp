#include "FileLayer.h"
#include "PolyGrammarParser.h"
#include "TransferBlockCases.h"
#include "TransferTestSupport.h"
#include "SmallStack.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

// True when lines holds want as a run of consecutive lines.
bool holdsRun(const std::vector<std::string>& lines, const char* const* want)
{
    size_t n = 0;
    while (n < 5 && want[n])
        ++n;
    for (size_t start = 0; start + n <= lines.size(); ++start) {
        size_t k = 0;
        while (k < n && lines[start + k] == want[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

TEST(TransferBlockTest, ExampleBlocksMatchTheGoldenFiles)
{
    struct Golden {
        const char* text;
        const char* name;
        const char* file;
    };
    const Golden goldens[] = {
        {"K/(1+T*s)", "G1", "G1_K_over_1_plus_Ts.blk"},
        {"0.5/(z-0.5)", "G2", "G2_half_over_z_minus_half.blk"},
    };
    for (const Golden& g : goldens) {
        SCOPED_TRACE(g.text);
        ScratchDir dir;
        BlockRun run = generateInto(dir, g.text, g.name);
        EXPECT_EQ(0, run.rc);
        EXPECT_EQ("", run.message);
        EXPECT_EQ(readFileBytes(std::string(LAPLACE_GOLDEN_DIR) + "/" + g.file), run.block);
        EXPECT_FALSE(run.workFileLeft);
        EXPECT_FALSE(run.temporaryLeft);
    }
}

TEST(TransferBlockTest, GeneratedLines)
{
    for (const TransferBlockCase& c : kTransferBlockCases) {
        SCOPED_TRACE(c.text);
        ScratchDir dir;
        BlockRun run = generateInto(dir, c.text, c.blockName);
        EXPECT_EQ(0, run.rc);
        EXPECT_EQ(0u, run.messageId) << run.message;
        ASSERT_TRUE(run.blockWritten);
        std::vector<std::string> lines = linesOf(run.block);
        EXPECT_TRUE(holdsRun(lines, c.lines)) << run.block;
        EXPECT_EQ(std::string("ENDBLOCK ") + c.blockName + ";", lines.back());
        EXPECT_FALSE(run.workFileLeft);
        EXPECT_FALSE(run.temporaryLeft);
        EXPECT_TRUE(run.boxes.empty());
    }
}

TEST(TransferBlockTest, ConstantsAndTheSamplingTimeAreNotDeclaredAsParameters)
{
    const char* texts[] = {"PI/(1+s)", "cE*K/(1+s)", "T*z/(z-1)", "PI*T*z/(z-cE)"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        ScratchDir dir;
        BlockRun run = generateInto(dir, text);
        ASSERT_EQ(0, run.rc);
        EXPECT_EQ(std::string::npos, run.block.find("   PI ="));
        EXPECT_EQ(std::string::npos, run.block.find("   cE ="));
        EXPECT_EQ(std::string::npos, run.block.find("   T = "));
    }
}

struct RefusalCase {
    const char* text;
    unsigned int messageId;
    const char* name;  // the name in message 18052, or null
};

const RefusalCase refusalCases[] = {
    {"s^2/(s+1)", 18036, nullptr},
    {"u/(1+T*s)", 18052, "u"},
    {"y*s/(1+s)", 18052, "y"},
    {"x1/(1+s)", 18052, "x1"},
    {"x2/(s^2+s+1)", 18052, "x2"},
    {"yp/(1+s)", 18052, "yp"},
    {"AND*s/(1+s)", 18052, "AND"},
    {"SIM/(1+s)", 18052, "SIM"},
    {"TYPENAME/(1+s)", 18052, "TYPENAME"},
    {"Pi/(1+s)", 18052, "Pi"},
    {"cPI/(1+s)", 18052, "cPI"},
    {"cPi/(1+s)", 18052, "cPi"},
    {KYT_NAME_100 "x/(1+s)", 18052, KYT_NAME_100 "x"},
    {"yk/(z+1)", 18052, "yk"},
    {"h/(z+1)", 18052, "h"},
    {"transfer/(z+1)", 18052, "transfer"},
    {"0*z", 18053, nullptr},
    {"(K*s+1)^30", 18039, nullptr},
    {"K/0", 20210, nullptr},
    {"j/(s+1)", 18030, nullptr},
    {"(s+1)/(z+1)", 18032, nullptr},
    {"Foo(s)/(s+1)", 18035, nullptr},
};

// Long sums on the programs' 1 MiB stack: what the parser takes, the walks
// over its trees hold (the node budget ends a sum of parameters at some 570
// terms, well before the height limit); a longer one is refused with 18039.
TEST(TransferBlockTest, LongSumsOnTheProgramsStack)
{
    const struct {
        int terms;
        unsigned int messageId;
    } cases[] = {{500, 0}, {100000, 18039}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.terms);
        std::string text = "(K";
        for (int i = 1; i < c.terms; ++i)
            text += i % 2 ? "+T" : "-T";
        text += ")/(1+s)";
        ScratchDir dir;
        BlockRun run;
        ASSERT_TRUE(runOnSmallStack([&] { run = generateInto(dir, text.c_str()); }));
        EXPECT_EQ(c.messageId, run.messageId) << run.message;
        EXPECT_EQ(c.messageId ? 1 : 0, run.rc);
        EXPECT_EQ(c.messageId == 0, run.blockWritten);
    }
}

TEST(TransferBlockTest, RefusalsWriteNothing)
{
    for (const RefusalCase& c : refusalCases) {
        SCOPED_TRACE(c.text);
        ScratchDir dir;
        BlockRun run = generateInto(dir, c.text);
        EXPECT_EQ(1, run.rc);
        EXPECT_EQ(c.messageId, run.messageId);
        if (c.name) {
            std::string expected = std::string("Der Name \"") + c.name + "\" ist im erzeugten Block nicht erlaubt!";
            EXPECT_EQ(expected, run.message);
        }
        EXPECT_FALSE(run.blockWritten);
        EXPECT_FALSE(run.workFileLeft);
        EXPECT_FALSE(run.temporaryLeft);
        // The generator shows nothing itself: the wizard shows the message.
        EXPECT_TRUE(run.boxes.empty());
    }
}

TEST(TransferBlockTest, MessageWithALongNameStaysInItsStore)
{
    std::string name(250, 'P');
    name += "AND";
    ScratchDir dir;
    BlockRun run = generateInto(dir, ("AND*" + name + "/(1+s)").c_str());
    EXPECT_EQ(18052u, run.messageId);
    EXPECT_EQ("Der Name \"AND\" ist im erzeugten Block nicht erlaubt!", run.message);

    BlockRun longRun = generateInto(dir, (name + "/(1+s)").c_str());
    EXPECT_EQ(18052u, longRun.messageId);
    EXPECT_EQ(static_cast<size_t>(kTransferMessageSize - 1), longRun.message.size());
    EXPECT_EQ(0u, longRun.message.find("Der Name \"PPPP"));
}

TEST(TransferBlockTest, SyntaxErrorShowsItsBoxAndWritesNothing)
{
    ScratchDir dir;
    BlockRun run = generateInto(dir, "K/(s+1) 2");
    EXPECT_EQ(1, run.rc);
    EXPECT_EQ("", run.message);
    EXPECT_EQ(1u, run.boxes.size());
    EXPECT_FALSE(run.blockWritten);
    EXPECT_FALSE(run.workFileLeft);
}

// A failed regeneration keeps the old block file byte for byte.
const char kOldBlock[] = "BLOCK Old;\r\n# keep me \xE4\n   y = u;\nENDBLOCK Old;";

// The mapper of the write-error test: the temporary file beside the block
// becomes a link to a device on which every write fails.
std::string gFullLink;

String mapToFullDevice(const char* path)
{
    std::string p(path);
    if (p.size() > 4 && p.compare(p.size() - 4, 4, ".new") == 0)
        return String(gFullLink.c_str());
    return String(path);
}

TEST(TransferBlockTest, FailedRegenerationKeepsTheOldBlock)
{
    const char* texts[] = {"K/(s+1) 2", "s^2/(s+1)", "u/(1+s)"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        ScratchDir dir;
        writeFileBytes(dir.path("G1.blk"), kOldBlock);
        BlockRun run = generateInto(dir, text);
        EXPECT_EQ(1, run.rc);
        EXPECT_EQ(kOldBlock, run.block);
        EXPECT_FALSE(run.workFileLeft);
        EXPECT_FALSE(run.temporaryLeft);
    }
}

// Coefficients beyond the range of numbers: written, they were "1.#INF" (or,
// with a NaN imaginary part, the message on complex numbers) in a block the
// compiler rejects, over the old block.
const char* const overflowTexts[] = {
    "1/(1e-310*s+1)",              // 1/1e-310 when the leading coefficient becomes 1
    "1e200*1e200*K/(1+s)",         // a product folded in the parse
    "1e200*1e200/(1+s)",           // the same with a NaN imaginary part
    "(s+1)/(1e-310*s+2)",          // in the feed-through
    "1/(1e-310*z+1)",              // a G(z)
    "(1e200*s+1)^2/(s+1)^2",       // in the polynomial product
    "1e308*10/(s^2+s+1)",          // right at the limit
    "K/(1e-200*s^2+1e200*s+1)",    // in a denominator coefficient
    "-(1e200*1e200)/(s+1)",        // negated
};

TEST(TransferBlockTest, OverflowRefusesTheBlockAndKeepsTheOldOne)
{
    for (const char* text : overflowTexts) {
        SCOPED_TRACE(text);
        ScratchDir dir;
        writeFileBytes(dir.path("G1.blk"), kOldBlock);
        BlockRun run = generateInto(dir, text);
        EXPECT_EQ(1, run.rc);
        EXPECT_EQ(18040u, run.messageId);
        EXPECT_EQ("Zahlenüberlauf - ein Koeffizient der Übertragungsfunktion liegt außerhalb des Zahlenbereichs!",
                  run.message);
        EXPECT_EQ(kOldBlock, run.block);
        EXPECT_FALSE(run.workFileLeft);
        EXPECT_FALSE(run.temporaryLeft);
        EXPECT_TRUE(run.boxes.empty());
    }
}

// Large and tiny coefficients that stay numbers give a block.
TEST(TransferBlockTest, LargeFiniteCoefficientsAreWritten)
{
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"1e300/(1e-5*s+1)", "   yp  = - 100000.*x1 + 1.e+305*u;"},
        {"1e200*1e100/(s+1)", "   yp  = -x1 + 1.e+300*u;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ScratchDir dir;
        BlockRun run = generateInto(dir, c.text);
        EXPECT_EQ(0, run.rc) << run.message;
        EXPECT_TRUE(run.blockWritten);
        EXPECT_EQ(std::string::npos, run.block.find("INF"));
        EXPECT_NE(std::string::npos, run.block.find(c.line)) << run.block;
    }
}

TEST(TransferBlockTest, WriteErrorWhileCopyingKeepsTheOldBlock)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    ScratchDir dir;
    writeFileBytes(dir.path("G1.blk"), kOldBlock);
    gFullLink = dir.path("full-link");
    ASSERT_EQ(0, symlink("/dev/full", gFullLink.c_str()));
    setPathMapper(mapToFullDevice);
    BlockRun run = generateInto(dir, "K/(1+T*s)");
    setPathMapper(nullptr);
    EXPECT_EQ(1, run.rc);
    EXPECT_EQ(18002u, run.messageId);
    EXPECT_EQ(kOldBlock, run.block);
    EXPECT_FALSE(run.workFileLeft);
    // The temporary file (here the link) is removed; the device stays.
    EXPECT_FALSE(fileExists(gFullLink));
    EXPECT_TRUE(fileExists("/dev/full"));
}

TEST(TransferBlockTest, RegenerationReplacesTheOldBlock)
{
    ScratchDir dir;
    writeFileBytes(dir.path("G1.blk"), kOldBlock);
    BlockRun run = generateInto(dir, "K/(1+T*s)");
    EXPECT_EQ(0, run.rc);
    EXPECT_EQ(readFileBytes(std::string(LAPLACE_GOLDEN_DIR) + "/G1_K_over_1_plus_Ts.blk"), run.block);
    EXPECT_FALSE(run.temporaryLeft);
}

TEST(TransferBlockTest, FilesThatCannotBeOpened)
{
    ErrorBoxScope scope;
    ScratchDir dir;
    std::string block = dir.path("G1.blk");
    {
        PolyGrammarParser d;
        EXPECT_EQ(1, d.generateBlock("K/(1+s)", dir.path("missing/laplace.tmp").c_str(), block.c_str(), "G1"));
        EXPECT_EQ(18001u, d.getMessageId());
    }
    {
        PolyGrammarParser d;
        std::string work = dir.path("laplace.tmp");
        EXPECT_EQ(1, d.generateBlock("K/(1+s)", work.c_str(), dir.path("missing/G1.blk").c_str(), "G1"));
        EXPECT_EQ(18002u, d.getMessageId());
        EXPECT_FALSE(fileExists(work));
    }
    EXPECT_FALSE(fileExists(block));
}

TEST(TransferBlockTest, DosPathsReachTheFiles)
{
    ErrorBoxScope scope;
    ScratchDir dir;
    std::string work = dir.root() + "\\laplace.tmp";
    std::string block = dir.root() + "\\G1.blk";
    PolyGrammarParser d;
    EXPECT_EQ(0, d.generateBlock("K/(1+T*s)", work.c_str(), block.c_str(), "G1"));
    EXPECT_TRUE(fileExists(dir.path("G1.blk")));
    EXPECT_FALSE(fileExists(dir.path("laplace.tmp")));
}

TEST(TransferBlockTest, DateLineComesFromTheClock)
{
    ScratchDir dir;
    BlockRun run = generateInto(dir, "1");
    EXPECT_EQ("#  Tue Mar  4 09:05:07 1997", linesOf(run.block)[3]);
}

} // namespace
