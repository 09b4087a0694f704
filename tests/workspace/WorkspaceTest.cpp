#include "Workspace.h"

#include "FileLayer.h"
#include "LibraryIndex.h"
#include "ShowFile.h"
#include "TempDirFixture.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Entry {
    const char* block;
    const char* file;
};

struct Group {
    const char* name;
    std::vector<Entry> entries;
};

struct IndexCase {
    const char* what;
    std::string text;
    std::vector<Group> groups;
};

const std::string kLongFile(300, 'f');

const std::vector<IndexCase>& indexCases()
{
    static const std::vector<IndexCase> table = {
        {"one group, two blocks", "$Standard\npt1,pt1\npi,pi\n", {{"Standard", {{"pt1", "pt1"}, {"pi", "pi"}}}}},
        {"lines before the first group add nothing", "pt1,pt1\nvorab,x\n$G\na,a.blk\n", {{"G", {{"a", "a.blk"}}}}},
        // A blank line, or a block without its file, would be a block that
        // cannot be loaded.
        {"blank lines and lines without a file are passed over", "$G\n\n   \nabc\na,a.blk\n,\n,,\nb,\n",
         {{"G", {{"a", "a.blk"}}}}},
        {"several groups, an empty one among them", "$Eins\na,a\n$Leer\n$Drei\nc,c\n",
         {{"Eins", {{"a", "a"}}}, {"Leer", {}}, {"Drei", {{"c", "c"}}}}},
        {"blanks around names, CR LF, further fields", "$ Quellen \r\n Sprung , sprung.blk , alt\r\n",
         {{"Quellen", {{"Sprung", "sprung.blk"}}}}},
        {"a long line is read whole, not split", "$G\nlang," + kLongFile + "\nb,b\n",
         {{"G", {{"lang", kLongFile.c_str()}, {"b", "b"}}}}},
        {"a group named only by the dollar sign", "$\na,a\n", {{"", {{"a", "a"}}}}},
        {"no groups at all", "a,a\n", {}},
        {"empty file", "", {}},
    };
    return table;
}

TEST(LibraryIndexTest, CaseTable)
{
    for (const IndexCase& c : indexCases()) {
        SCOPED_TRACE(c.what);
        ScratchDir d;
        d.write("ablocks.bfl", c.text);
        FILE* f = openFile(d.file("ablocks.bfl").c_str(), "rt");
        ASSERT_NE(nullptr, f);
        Workspace w;
        ADArray<BlockLibrary> libs;
        w.readSectionedFile(f, 2, libs);
        fclose(f);

        BlockLibrary& lib = libs.ElementAt(2);
        ASSERT_EQ(static_cast<int>(c.groups.size()), lib.sectionCount);
        for (size_t g = 0; g < c.groups.size(); ++g) {
            LibrarySection& s = lib.sections.ElementAt(static_cast<int>(g));
            EXPECT_STREQ(c.groups[g].name, s.name.text());
            ASSERT_EQ(static_cast<int>(c.groups[g].entries.size()), s.count);
            for (int e = 0; e < s.count; ++e) {
                EXPECT_STREQ(c.groups[g].entries[e].block, s.getFirstName(e).text());
                EXPECT_STREQ(c.groups[g].entries[e].file, s.getSecondName(e).text());
                EXPECT_EQ(0, s.removed.ElementAt(e));
            }
        }
    }
}

TEST(LibraryIndexTest, ReadingAgainReplacesTheGroups)
{
    ScratchDir d;
    d.write("a.bfl", "$A\na,a\n$B\nb,b\n");
    d.write("b.bfl", "$C\nc,c\n");
    ADArray<BlockLibrary> libs;
    for (const char* name : {"a.bfl", "b.bfl"}) {
        FILE* f = openFile(d.file(name).c_str(), "rt");
        ASSERT_NE(nullptr, f);
        readSectionedFile(f, 0, libs);
        fclose(f);
    }
    BlockLibrary& lib = libs.ElementAt(0);
    EXPECT_EQ(1, lib.sectionCount);
    EXPECT_EQ(1u, lib.sections.GetSize());
    EXPECT_STREQ("C", lib.sections.ElementAt(0).name.text());
    EXPECT_EQ(1, lib.sections.ElementAt(0).count);
}

TEST(WorkspaceTest, FindLibraryBlockFile)
{
    Workspace w;
    EXPECT_STREQ("", w.findLibraryBlockFile("Local").text());
    w.libraries.ElementAt(0).name = "Standard";
    w.libraries.ElementAt(0).file = "C:\\KYT\\STD";
    w.libraries.ElementAt(1).name = "Local";
    w.libraries.ElementAt(1).file = "C:\\KYT\\LOCAL";
    // Behind the count: a library whose index could not be read.
    w.libraries.ElementAt(2).name = "Kaputt";
    w.libraries.ElementAt(2).file = "C:\\KYT\\KAPUTT";
    w.libraryCount = 2;
    EXPECT_STREQ("C:\\KYT\\LOCAL", w.findLibraryBlockFile("Local").text());
    EXPECT_STREQ("", w.findLibraryBlockFile("local").text());
    EXPECT_STREQ("", w.findLibraryBlockFile("Kaputt").text());
}

TEST(WorkspaceTest, TheWorkspaceGivesTheTemporaryDirectory)
{
    RecordingScope rec;
    {
        Workspace w;
        setWorkspace(&w);
        w.setTempDir("/var/tmp/kyt");
        EXPECT_EQ(&w, theWorkspace);
        EXPECT_STREQ("/var/tmp/kyt", getTempDir());
        showFileAtLine("M", "kyttrans.tmp", 3, 0);
    }
    // A deleted workspace is no longer asked.
    EXPECT_EQ(nullptr, theWorkspace);
    EXPECT_STREQ("", getTempDir());
    ASSERT_EQ(1u, rec.viewer.calls.size());
    EXPECT_EQ("/var/tmp/kyt/kyttrans.tmp", rec.viewer.calls[0].path);
}

const std::string kGood = std::string(KYT_FIXTURES) + "/good";

TEST(WorkspaceTest, RealisticInstallationFile)
{
    RecordingScope rec;
    Workspace w;
    readInstallationFile(w, installationFilePath(kGood.c_str()).text());
    EXPECT_TRUE(rec.viewer.calls.empty());

    EXPECT_EQ(kGood + "/circuits", w.CIRCUITDIR.text());
    EXPECT_EQ(kGood + "/lib/icons", w.ICONDIR.text());
    EXPECT_EQ(kGood + "/tmp", w.TEMPDIR.text());
    // Not in the file: FRAGDIR from CIRCUITDIR, BINDIR and HELPDIR the
    // installation directory.
    EXPECT_EQ(kGood + "/circuits", w.FRAGDIR.text());
    EXPECT_EQ(kGood, w.BINDIR.text());
    EXPECT_EQ(kGood, w.HELPDIR.text());

    struct Lib {
        const char* name;
        const char* dir;
        std::vector<std::pair<const char*, int>> groups;
    };
    const Lib want[] = {
        {"Local", "lib/local", {}},
        {"Standard", "lib/standard", {{"Lineare Bl\xF6" "cke", 3}, {"Quellen", 2}}},
        {"Nichtlinear", "lib/nichtlinear", {{"Kennlinien", 3}}},
        {"Diskret", "lib/diskret", {{"Abtastglieder", 1}, {"Filter", 1}}},
    };
    ASSERT_EQ(4, w.libraryCount);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(want[i].name);
        BlockLibrary& lib = w.libraries.ElementAt(i);
        EXPECT_STREQ(want[i].name, lib.name.text());
        EXPECT_EQ(kGood + "/" + want[i].dir, lib.file.text());
        ASSERT_EQ(static_cast<int>(want[i].groups.size()), lib.sectionCount);
        for (int g = 0; g < lib.sectionCount; ++g) {
            EXPECT_STREQ(want[i].groups[g].first, lib.sections.ElementAt(g).name.text());
            EXPECT_EQ(want[i].groups[g].second, lib.sections.ElementAt(g).count);
        }
    }
    LibrarySection& lin = w.libraries.ElementAt(1).sections.ElementAt(0);
    EXPECT_STREQ("PI-Regler", lin.getFirstName(2).text());
    EXPECT_STREQ("pi.blk", lin.getSecondName(2).text());
    EXPECT_STREQ("fir.blk", w.libraries.ElementAt(3).sections.ElementAt(1).getSecondName(0).text());
    EXPECT_EQ(kGood + "/lib/local", w.findLibraryBlockFile("Local").text());
}

TEST(WorkspaceTest, ReadingAgainReplacesTheCatalogue)
{
    RecordingScope rec;
    ScratchDir d;
    d.write("kyt.ini", "BLOCKLIBS LIB Local AT loc ENDBLOCKLIBS");
    Workspace w;
    readInstallationFile(w, installationFilePath(kGood.c_str()).text());
    ASSERT_EQ(4, w.libraryCount);
    readInstallationFile(w, d.file("kyt.ini").c_str());
    EXPECT_EQ(1, w.libraryCount);
    EXPECT_EQ(1u, w.libraries.GetSize());
    // Without CIRCUITDIR in the file the temporary directory stays empty.
    EXPECT_STREQ("", w.TEMPDIR.text());
    EXPECT_EQ(d.path, w.BINDIR.text());
}

TEST(WorkspaceDeathTest, MissingInstallationFileIsFatal)
{
    Workspace w;
    std::string path = kGood + "/fehlt/kyt.ini";
    EXPECT_EXIT(readInstallationFile(w, path.c_str()), ::testing::ExitedWithCode(1),
                "Die Datei .*fehlt/kyt.ini kann nicht ge\xF6" "ffnet werden!");
    // A directory opens on this system, but is no file to read.
    EXPECT_EXIT(readInstallationFile(w, kGood.c_str()), ::testing::ExitedWithCode(1),
                "Die Datei .*good kann nicht ge\xF6" "ffnet werden!");
}

TEST(WorkspaceTest, InstallationFilePath)
{
    EXPECT_STREQ("C:\\KYT\\kyt.ini", installationFilePath("C:\\KYT").text());
    EXPECT_STREQ("C:\\KYT\\kyt.ini", installationFilePath("C:\\KYT\\").text());
    EXPECT_STREQ("/opt/kyt/kyt.ini", installationFilePath("/opt/kyt").text());
    EXPECT_STREQ("kyt.ini", installationFilePath("").text());
}

} // namespace
