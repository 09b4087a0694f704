#include "FileLayer.h"

#include "FileBytes.h"
#include "TempDirFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct JoinCase {
    const char* dir;
    const char* name;
    const char* joined;
};

TEST(FileLayerTest, JoinUsesTheSeparatorOfTheDirectory)
{
    const JoinCase cases[] = {
        {"C:\\KYT\\TMP", "kytsym.tmp", "C:\\KYT\\TMP\\kytsym.tmp"},
        {"C:\\KYT\\TMP\\", "kytsym.tmp", "C:\\KYT\\TMP\\kytsym.tmp"},
        {"/var/kyt/tmp", "kytsym.tmp", "/var/kyt/tmp/kytsym.tmp"},
        {"/var/kyt/tmp/", "kytsym.tmp", "/var/kyt/tmp/kytsym.tmp"},
        {"C:/KYT", "a.kyt", "C:/KYT/a.kyt"},
        {"C:\\KYT/lib", "a.kyt", "C:\\KYT/lib\\a.kyt"},
        {"lib", "ablocks.bfl", "lib\\ablocks.bfl"},
        {"", "kyt.ini", "kyt.ini"},
        {nullptr, "kyt.ini", "kyt.ini"},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.joined);
        EXPECT_STREQ(c.joined, joinPath(c.dir, c.name).text());
    }
}

struct SplitCase {
    const char* path;
    const char* dir;
    const char* file;
};

TEST(FileLayerTest, SplitAtTheLastSeparatorOfEitherKind)
{
    const SplitCase cases[] = {
        {"D:\\a\\b.kyt", "D:\\a", "b.kyt"},
        {"b.kyt", "", "b.kyt"},
        {"/home/u/kyt.ini", "/home/u", "kyt.ini"},
        {"C:\\kyt/lib\\x.blk", "C:\\kyt/lib", "x.blk"},
        {"C:\\KYT\\", "C:\\KYT", ""},
        {"/kyt.ini", "", "kyt.ini"},
        {"", "", ""},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.path);
        String dir("x");
        String file("y");
        splitPath(c.path, &dir, &file);
        EXPECT_STREQ(c.dir, dir.text());
        EXPECT_STREQ(c.file, file.text());
    }
    // Either output may be left out.
    String file;
    splitPath("a\\b", nullptr, &file);
    EXPECT_STREQ("b", file.text());
}

TEST(FileLayerTest, RelativePathsAreTakenFromTheBase)
{
    EXPECT_TRUE(isAbsolutePath("C:\\X"));
    EXPECT_TRUE(isAbsolutePath("c:"));
    EXPECT_TRUE(isAbsolutePath("/x"));
    EXPECT_TRUE(isAbsolutePath("\\x"));
    EXPECT_FALSE(isAbsolutePath("lib\\std"));
    EXPECT_FALSE(isAbsolutePath("1:x"));
    EXPECT_FALSE(isAbsolutePath(""));

    EXPECT_STREQ("/opt/kyt/lib/std", resolvePath("/opt/kyt", "lib/std").text());
    EXPECT_STREQ("C:\\KYT\\lib", resolvePath("C:\\KYT", "lib").text());
    EXPECT_STREQ("/opt/kyt/lib/std", resolvePath("/opt/kyt", "lib\\std").text());
    EXPECT_STREQ("C:\\KYT\\lib\\std", resolvePath("C:\\KYT\\", "lib/std").text());
    EXPECT_STREQ("D:\\LIB", resolvePath("/opt/kyt", "D:\\LIB").text());
    EXPECT_STREQ("lib", resolvePath("", "lib").text());
    EXPECT_STREQ("", resolvePath("/opt/kyt", "").text());
}

TEST(FileLayerTest, TextModeDropsCarriageReturnsBeforeLineFeeds)
{
    ScratchDir dir;
    dir.write("t.txt", std::string("a\r\nb\rc\r\n\r\r\nend\r", 15));
    FILE* f = openFile(dir.file("t.txt").c_str(), "rt");
    ASSERT_NE(nullptr, f);
    // A lone carriage return stays, also the last byte of the file.
    EXPECT_EQ("a\nb\rc\n\r\nend\r", readStreamBytes(f));
    fclose(f);

    f = openFile(dir.file("t.txt").c_str(), "rb");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(std::string("a\r\nb\rc\r\n\r\r\nend\r", 15), readStreamBytes(f));
    fclose(f);

    // "r" without "b" is text mode too, as in the Windows run-time library.
    f = openFile(dir.file("t.txt").c_str(), "r");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ("a\nb\rc\n\r\nend\r", readStreamBytes(f));
    rewind(f);
    char line[16];
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    EXPECT_STREQ("a\n", line);
    fclose(f);
}

TEST(FileLayerTest, TextModeOverManyBuffers)
{
    ScratchDir dir;
    std::string crlf;
    std::string lf;
    for (int i = 0; i < 20000; ++i) {
        crlf += "Zeile " + std::to_string(i) + "\r\n";
        lf += "Zeile " + std::to_string(i) + "\n";
    }
    dir.write("big.txt", crlf);
    FILE* f = openFile(dir.file("big.txt").c_str(), "rt");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(lf, readStreamBytes(f));
    EXPECT_EQ(0, ferror(f));
    fclose(f);
}

TEST(FileLayerTest, TextWritingWritesPlainLineFeeds)
{
    ScratchDir dir;
    FILE* f = openFile(dir.file("w.txt").c_str(), "wt");
    ASSERT_NE(nullptr, f);
    fputs("eins\nzwei\n", f);
    fclose(f);
    f = openFile(dir.file("w.txt").c_str(), "at");
    ASSERT_NE(nullptr, f);
    fputs("drei\n", f);
    fclose(f);
    EXPECT_EQ("eins\nzwei\ndrei\n", dir.read("w.txt"));
}

TEST(FileLayerTest, OpensWhateverTheSeparator)
{
    ScratchDir dir;
    dir.mkdir("lib/std");
    dir.write("lib/std/ablocks.bfl", "$Standard\n");
    std::string dosForm = dir.path + "\\lib\\std\\ablocks.bfl";
    FILE* f = openFile(dosForm.c_str(), "rt");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ("$Standard\n", readStreamBytes(f));
    fclose(f);
}

TEST(FileLayerTest, RefusesDirectoriesAndMissingFiles)
{
    ScratchDir dir;
    EXPECT_EQ(nullptr, openFile(dir.path.c_str(), "rt"));
    EXPECT_EQ(nullptr, openFile(dir.path.c_str(), "rb"));
    EXPECT_EQ(nullptr, openFile(dir.file("fehlt.ini").c_str(), "rt"));
    EXPECT_EQ(nullptr, openFile(dir.file("x").c_str(), "q"));
    EXPECT_EQ(nullptr, openFile(nullptr, "r"));
}

String recordedPath;
String redirect(const char* path)
{
    recordedPath = path;
    return String("/dev/null");
}

TEST(FileLayerTest, PathsReachTheSystemThroughTheMapper)
{
    setPathMapper(redirect);
    FILE* f = openFile("C:\\KYT\\kyt.ini", "rt");
    setPathMapper(nullptr);
    ASSERT_NE(nullptr, f);
    fclose(f);
    EXPECT_STREQ("C:\\KYT\\kyt.ini", recordedPath.text());
    EXPECT_STREQ("a/b/c", mapPath("a\\b/c").text());
}

// The device NUL is the null device whatever mapper is installed (Wine's
// knows no devices); every other name goes to the mapper.
TEST(FileLayerTest, TheNullDeviceNeverReachesTheMapper)
{
    setPathMapper(redirect);
    for (const char* name : {"nul", "NUL", "Nul:", "C:\\KYT\\nul", "C:nul", "sub/nUl", "a\\b/NUL:"}) {
        recordedPath = "";
        EXPECT_STREQ("/dev/null", mapPath(name).text()) << name;
        EXPECT_STREQ("", recordedPath.text()) << name;
        EXPECT_TRUE(namesNullDevice(name)) << name;
    }
    for (const char* name : {"null", "nul.txt", "anul", "nul\\x", "nul:x", "C:\\nul\\kyt.ini", ""}) {
        recordedPath = "x";
        mapPath(name);
        EXPECT_STREQ(name, recordedPath.text()) << name;
        EXPECT_FALSE(namesNullDevice(name)) << name;
    }
    setPathMapper(nullptr);
    EXPECT_FALSE(namesNullDevice(nullptr));
    // The null device opens, for writing too, and takes what is written.
    FILE* f = openFile("C:\\KYT\\NUL", "at");
    ASSERT_NE(nullptr, f);
    EXPECT_GE(fputs("abc", f), 0);
    fclose(f);
}

TEST(FileLayerTest, ReadLineReadsWholeLines)
{
    ScratchDir dir;
    std::string longLine(100000, 'x');
    dir.write("l.txt", "eins\r\n\r\n" + longLine + "\nletzte");
    FILE* f = openFile(dir.file("l.txt").c_str(), "rt");
    ASSERT_NE(nullptr, f);
    String line;
    ASSERT_TRUE(readLine(f, line));
    EXPECT_STREQ("eins", line.text());
    ASSERT_TRUE(readLine(f, line));
    EXPECT_STREQ("", line.text());
    ASSERT_TRUE(readLine(f, line));
    EXPECT_EQ(longLine.size(), line.getLength());
    ASSERT_TRUE(readLine(f, line));
    EXPECT_STREQ("letzte", line.text());
    EXPECT_FALSE(readLine(f, line));
    fclose(f);
}

} // namespace

namespace {

std::string gFullLink;

// The temporary file of a checked write lands on /dev/full: every write
// fails, at the latest when the stream is flushed by its close.
String mapTemporaryToFullDevice(const char* path)
{
    std::string p(path);
    if (p.size() > 4 && p.compare(p.size() - 4, 4, ".new") == 0)
        return String(gFullLink.c_str());
    return String(path);
}

bool writeText(FILE* f, const char* text)
{
    return fputs(text, f) != EOF;
}

TEST(FileLayerTest, CheckedWriteReplacesTheFileWhole)
{
    ScratchDir dir;
    std::string target = dir.write("kyt.set", "alt\n");
    EXPECT_TRUE(writeFileChecked(target.c_str(), "wt", [](FILE* f) { return writeText(f, "GRID 41 41\n"); }));
    EXPECT_EQ("GRID 41 41\n", dir.read("kyt.set"));
    EXPECT_FALSE(dir.exists("kyt.set.new"));
    // A new file as well.
    EXPECT_TRUE(writeFileChecked(dir.file("neu.txt").c_str(), "wb", [](FILE* f) { return writeText(f, "x"); }));
    EXPECT_EQ("x", dir.read("neu.txt"));
}

TEST(FileLayerTest, CheckedWriteKeepsThePermissionsOfTheOldFile)
{
    ScratchDir dir;
    std::string target = dir.write("kyt.set", "alt\n");
    ASSERT_EQ(0, chmod(target.c_str(), 0640));
    EXPECT_TRUE(writeFileChecked(target.c_str(), "wt", [](FILE* f) { return writeText(f, "neu\n"); }));
    struct stat st;
    ASSERT_EQ(0, stat(target.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777);
    EXPECT_EQ("neu\n", dir.read("kyt.set"));
}

TEST(FileLayerTest, FailedCheckedWriteKeepsTheOldFile)
{
    ScratchDir dir;
    std::string target = dir.write("kyt.set", "alt\n");

    // The writer itself reports a failed write.
    EXPECT_FALSE(writeFileChecked(target.c_str(), "wt", [](FILE* f) {
        writeText(f, "halb");
        return false;
    }));
    EXPECT_EQ("alt\n", dir.read("kyt.set"));
    EXPECT_FALSE(dir.exists("kyt.set.new"));

    // A directory that does not exist.
    EXPECT_FALSE(writeFileChecked(dir.file("fehlt/kyt.set").c_str(), "wt", [](FILE*) { return true; }));
    EXPECT_FALSE(dir.exists("fehlt"));

    // Bad arguments.
    EXPECT_FALSE(writeFileChecked(target.c_str(), "rt", [](FILE*) { return true; }));
    EXPECT_FALSE(writeFileChecked("", "wt", [](FILE*) { return true; }));
    EXPECT_EQ("alt\n", dir.read("kyt.set"));
}

TEST(FileLayerTest, CheckedWriteOntoAFullDeviceKeepsTheOldFile)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    ScratchDir dir;
    std::string target = dir.write("kyt.set", "alt\n");
    gFullLink = dir.file("full-link");
    ASSERT_EQ(0, symlink("/dev/full", gFullLink.c_str()));
    setPathMapper(mapTemporaryToFullDevice);
    // The writer does not look at its writes: the stream's error and the
    // close are checked all the same.
    bool ok = writeFileChecked(target.c_str(), "wt", [](FILE* f) {
        writeText(f, "GRID 41 41\n");
        return true;
    });
    setPathMapper(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ("alt\n", dir.read("kyt.set"));
    // The temporary file (here the link) is removed; the device stays.
    EXPECT_FALSE(dir.exists("full-link"));
    EXPECT_EQ(0, access("/dev/full", F_OK));
}

} // namespace

TEST(FileLayerTest, PathsThatDoNotExistAsWrittenAreMatchedWithoutCase)
{
    ScratchDir d;
    ASSERT_EQ(0, system(("mkdir -p '" + d.path + "/Lib/Standard'").c_str()));
    d.write("Lib/Standard/PT1.blk", "BLOCK PT1;");
    // As the block object opens its help: the whole path lower-cased.
    std::string lower = d.path + "/lib/standard/pt1.blk";
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    FILE* f = openFile(lower.c_str(), "rt");
    ASSERT_NE(nullptr, f);
    fclose(f);
    EXPECT_STREQ((d.path + "/Lib/Standard/PT1.blk").c_str(), mapPath(lower.c_str()).text());
    // A name that exists as written is taken as it is; a missing one stays.
    EXPECT_STREQ((d.path + "/Lib/fehlt/x").c_str(), mapPath((d.path + "\\lib\\fehlt\\x").c_str()).text());
}
