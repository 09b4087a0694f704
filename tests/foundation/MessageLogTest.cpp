#include "MessageLog.h"

#include "ResString.h"
#include "ShowFile.h"
#include "TempDirFixture.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

std::string tempDir;
const char* testTempDir() { return tempDir.c_str(); }

class SymbolFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tempDir = dir.path;
        setTempDirSource(testTempDir);
    }
    void TearDown() override
    {
        if (isSymbolFileOpen())
            closeSymbolFile();
        setTempDirSource(nullptr);
    }
    ScratchDir dir;
};

const std::string kError = std::string(getResString(20909)) + " ";

TEST_F(SymbolFileTest, WritesTheListingInTheTemporaryDirectory)
{
    RecordingScope rec;
    dir.write("kytsym.tmp", "alte Liste\n");
    openSymbolFile();
    ASSERT_TRUE(isSymbolFileOpen());
    symbolFilePrintf("%-10s %d\n", "PT1_y", 3);
    closeSymbolFile();
    EXPECT_FALSE(isSymbolFileOpen());
    // "wt" replaces an older listing.
    EXPECT_EQ("PT1_y      3\n", dir.read("kytsym.tmp"));
    EXPECT_TRUE(rec.sink.boxes.empty());
}

TEST_F(SymbolFileTest, MisuseIsAnErrorBoxAndTheProgramGoesOn)
{
    RecordingScope rec;
    closeSymbolFile();
    EXPECT_FALSE(isSymbolFileOpen());

    openSymbolFile();
    symbolFilePrintf("eins\n");
    openSymbolFile();  // the open file stays as it is
    symbolFilePrintf("zwei\n");
    closeSymbolFile();
    EXPECT_EQ("eins\nzwei\n", dir.read("kytsym.tmp"));

    // Writing while closed: reported, the file is reopened for appending,
    // and the text of this call is lost.
    symbolFilePrintf("verloren\n");
    EXPECT_TRUE(isSymbolFileOpen());
    symbolFilePrintf("drei\n");
    closeSymbolFile();
    EXPECT_EQ("eins\nzwei\ndrei\n", dir.read("kytsym.tmp"));

    ASSERT_EQ(3u, rec.sink.boxes.size());
    EXPECT_EQ(kError + "Symbol file already closed", rec.sink.boxes[0]);
    EXPECT_EQ(kError + "Symbol file already open", rec.sink.boxes[1]);
    EXPECT_EQ(kError + "Symbol file not open", rec.sink.boxes[2]);
}

TEST_F(SymbolFileTest, WritingWhileClosedCreatesTheFile)
{
    RecordingScope rec;
    symbolFilePrintf("x\n");
    EXPECT_TRUE(dir.exists("kytsym.tmp"));
    EXPECT_EQ("", dir.read("kytsym.tmp"));
}

TEST_F(SymbolFileTest, UnwritableTemporaryDirectoryIsFatal)
{
    tempDir = dir.file("gibt-es-nicht");
    EXPECT_EXIT(openSymbolFile(), ::testing::ExitedWithCode(1),
                "Keine Schreibrechte im tempor\xE4ren Verzeichnis .*gibt-es-nicht!");
}

TEST(ShowFileTest, RelativeNamesAreInTheTemporaryDirectory)
{
    RecordingScope rec;
    tempDir = "C:\\KYT\\TMP";
    setTempDirSource(testTempDir);
    showFileAtLine("Meldung", "kyttrans.tmp", 7, 0);
    showFileAtLine("Meldung", "/home/u/kyt.ini", 3, 1);
    tempDir = "/var/tmp/kyt";
    showFileAtLine("M", "kyttrans.tmp", 1, 0);
    setTempDirSource(nullptr);
    showFileAtLine("M", "kyttrans.tmp", 1, 0);

    ASSERT_EQ(4u, rec.viewer.calls.size());
    EXPECT_EQ("C:\\KYT\\TMP\\kyttrans.tmp", rec.viewer.calls[0].path);
    EXPECT_EQ(7, rec.viewer.calls[0].line);
    EXPECT_EQ("Meldung", rec.viewer.calls[0].message);
    EXPECT_EQ("/home/u/kyt.ini", rec.viewer.calls[1].path);
    EXPECT_EQ("/var/tmp/kyt/kyttrans.tmp", rec.viewer.calls[2].path);
    EXPECT_EQ("kyttrans.tmp", rec.viewer.calls[3].path);
}

TEST(MessageLogTest, TokenTextOfTheScannerAndItsLineCounter)
{
    RecordingScope rec;
    int scannerLine = 40;
    static const char* token = "dPT1";
    attachScanner(&scannerLine, [] { return token; });
    enableMessageLog();
    EXPECT_EQ(1, scannerLine);  // the log starts the scanner's counter
    scannerLine = 9;
    compilerMessage("Block %s unbekannt", "PT2");
    setMessageLine(4);
    EXPECT_EQ(4, scannerLine);
    disableMessageLog();
    detachScanner();

    ASSERT_EQ(1u, rec.viewer.calls.size());
    EXPECT_EQ("In oder vor Zeile 9 in der N\xE4he von \"dPT1\":\nBlock PT2 unbekannt", rec.viewer.calls[0].message);
    EXPECT_EQ(9, rec.viewer.calls[0].line);
}

TEST(MessageLogTest, LongMessagesAreCut)
{
    RecordingScope rec;
    enableMessageLog();
    setCompilerLine(3);
    std::string name(5000, 'n');
    compilerMessage("Name %s", name.c_str());
    std::string shown = rec.viewer.calls.at(0).message;
    EXPECT_EQ(static_cast<size_t>(kMessageTextSize - 1), shown.size());
    // One formatted piece holds at most 499 characters, the message 519.
    std::string piece = "Name " + std::string(494, 'n');
    EXPECT_EQ(("In oder vor Zeile 2:\n" + piece).substr(0, kMessageTextSize - 1), shown);

    // Alternatives cannot overrun the message either.
    compilerMessage(nullptr, name.c_str());
    for (int i = 0; i < 50; ++i)
        compilerMessage(nullptr, name.c_str());
    compilerMessage(nullptr, nullptr);
    EXPECT_EQ(static_cast<size_t>(kMessageTextSize - 1), rec.viewer.calls.at(1).message.size());
    disableMessageLog();
}

// Each parse starts its log afresh: a line given for a message that never
// came and a list of alternatives that an aborted parse left open stay with
// the earlier parse.
TEST(MessageLogTest, AParseStartsWithoutWhatTheLastOneLeft)
{
    RecordingScope rec;
    enableMessageLog();
    setMessageLine(40);
    disableMessageLog();
    enableMessageLog();
    setCompilerLine(3);
    compilerMessage("Block %s unbekannt", "PT2");
    ASSERT_EQ(1u, rec.viewer.calls.size());
    EXPECT_EQ("In oder vor Zeile 2:\nBlock PT2 unbekannt", rec.viewer.calls[0].message);
    EXPECT_EQ(3, rec.viewer.calls[0].line);

    setCompilerLine(5);
    compilerMessage(nullptr, "IDENT");
    disableMessageLog();
    enableMessageLog();
    setCompilerLine(8);
    compilerMessage(nullptr, "NUMBER");
    compilerMessage(nullptr, nullptr);
    ASSERT_EQ(2u, rec.viewer.calls.size());
    const std::string& shown = rec.viewer.calls[1].message;
    EXPECT_EQ(0u, shown.find("In oder vor Zeile 7:\n"));
    EXPECT_NE(std::string::npos, shown.find("NUMBER"));
    EXPECT_EQ(std::string::npos, shown.find("IDENT"));
    disableMessageLog();
}

TEST(ResStringTableTest, EveryRowCanBeWalked)
{
    unsigned int n = compiledStringCount();
    ASSERT_GT(n, 10u);
    std::set<unsigned int> ids;
    unsigned int previous = 0;
    for (unsigned int i = 0; i < n; ++i) {
        unsigned int id = 0;
        const char* t = compiledStringAt(i, &id);
        ASSERT_NE(nullptr, t);
        EXPECT_LT(previous, id);
        previous = id;
        EXPECT_EQ(t, lookupCompiledString(id));
        EXPECT_LE(strlen(t), kMaxResString);
        ids.insert(id);
    }
    EXPECT_EQ(nullptr, compiledStringAt(n, nullptr));
    for (unsigned int id : {19105u, 19106u, 19142u, 19143u, 19145u, 19201u, 19134u, 19137u, 19138u, 19139u,
                            19140u, 19400u, 19406u, 19415u, 20907u})
        EXPECT_EQ(1u, ids.count(id)) << id;
}

TEST(ResStringTableTest, KeywordsOfTheInstallationFileMessages)
{
    // The reader's keywords, all seven, spelt as the reader knows them.
    std::string unknown = getResString(19134);
    for (const char* k : {"CIRCUITDIR", "ICONDIR", "TEMPDIR", "HELPDIR", "BINDIR", "FRAGDIR", "BLOCKLIBS"})
        EXPECT_NE(std::string::npos, unknown.find(k)) << k;
    EXPECT_STREQ("HINWEIS: Schl\xFCsselwort >ENDBLOCKLIBS< erwartet!", getResString(19138));
}

TEST(ResStringTableTest, SameIdSamePointerAndUnknownIdEmpty)
{
    freeResStringCache();
    const char* a = getResString(19400);
    EXPECT_EQ(a, getResString(19400));
    EXPECT_STREQ("FEHLER in Datei %s:\nZeile %d, vor oder in Spalte %d\n", a);
    const char* u = getResString(65000);
    EXPECT_STREQ("", u);
    EXPECT_EQ(u, getResString(65000));
    freeResStringCache();
}

} // namespace
