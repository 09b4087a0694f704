#include "IniReader.h"

#include "FileLayer.h"
#include "ResString.h"
#include "TempDirFixture.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace {

enum Dir { CIRCUIT, ICON, TEMP, HELP, BIN, FRAG, DIR_COUNT };

struct Expected {
    unsigned int id;
    int line;
    int column;
    const char* argument;  // the index path of 19139, relative to the test directory
};

struct IniCase {
    const char* what;
    std::string text;
    std::vector<std::pair<Dir, const char*>> dirs;  // the others stay empty
    std::vector<const char*> libraries;              // counted libraries, in order
    std::vector<Expected> messages;
};

// Three library directories: two with an index, one without.
void makeLibraries(const ScratchDir& d)
{
    d.mkdir("std");
    d.mkdir("disk");
    d.mkdir("fehlt");
    d.write("std/ablocks.bfl", "$Standard\npt1,pt1.blk\npi,pi.blk\n");
    d.write("disk/ablocks.bfl", "$Diskret\r\nzoh,zoh.blk\r\n");
}

struct Result {
    String dirs[DIR_COUNT];
    ADArray<BlockLibrary> libraries;
    int count = -1;
    std::vector<ViewerCall> calls;
};

void readText(const ScratchDir& d, const std::string& text, Result& r)
{
    RecordingScope rec;
    d.write("kyt.ini", text);
    std::string path = d.file("kyt.ini");
    FILE* f = openFile(path.c_str(), "rt");
    ASSERT_NE(nullptr, f);
    IniReader reader;
    reader.setFile(f, path.c_str());
    reader.read(r.libraries, r.count);
    fclose(f);
    r.dirs[CIRCUIT] = reader.getCircuitDir();
    r.dirs[ICON] = reader.getIconDir();
    r.dirs[TEMP] = reader.getTempDir();
    r.dirs[HELP] = reader.getHelpDir();
    r.dirs[BIN] = reader.getBinDir();
    r.dirs[FRAG] = reader.getFragDir();
    r.calls = rec.viewer.calls;
}

std::string frame(const std::string& file, int line, int column)
{
    char buf[600];
    snprintf(buf, sizeof buf, getResString(19400), file.c_str(), line, column);
    return buf;
}

const std::vector<IniCase>& cases()
{
    static const std::vector<IniCase> table = {
        {"no spacing", "TEMPDIR=C:\\TMP\n", {{TEMP, "C:\\TMP"}}, {}, {}},
        {"spacing and semicolon", "TEMPDIR = C:\\TMP ;\n", {{TEMP, "C:\\TMP"}}, {}, {}},
        {"tabs and CR LF", "\tTEMPDIR\t=\tC:\\TMP\r\nBINDIR = D:\\BIN\r\n", {{TEMP, "C:\\TMP"}, {BIN, "D:\\BIN"}}, {}, {}},
        {"quoted value", "TEMPDIR = \"C:\\TMP\"\n", {}, {}, {{19406, 1, 11, nullptr}}},
        {"semicolon instead of a value", "TEMPDIR = ;", {}, {}, {{19406, 1, 11, nullptr}}},
        {"end of file instead of a value", "TEMPDIR =", {}, {}, {{19406, 1, 9, nullptr}}},
        {"no equals sign", "TEMPDIR C:\\TMP\n", {}, {}, {{19415, 2, 0, nullptr}}},
        {"last word without newline", "TEMPDIR = C:\\TMP", {{TEMP, "C:\\TMP"}}, {}, {}},
        {"all six directories",
         "HELPDIR = h; BINDIR = b; FRAGDIR = f; ICONDIR = i; CIRCUITDIR = c; TEMPDIR = t",
         {{HELP, "h"}, {BIN, "b"}, {FRAG, "f"}, {ICON, "i"}, {CIRCUIT, "c"}, {TEMP, "t"}}, {}, {}},
        {"same key twice: the second wins", "TEMPDIR = A\nTEMPDIR = B\n", {{TEMP, "B"}}, {}, {}},
        {"lower-case keyword", "tempdir = X\n", {}, {}, {{19134, 1, 8, nullptr}}},
        {"dollar token", "$TEMPDIR = X\n", {}, {}, {{19134, 1, 1, nullptr}}},
        {"# note joins two lines", "TEMPDIR = C:\\TMP# note\nBINDIR = D:\\BIN\n",
         {{TEMP, "C:\\TMPBINDIR"}}, {}, {{19134, 2, 8, nullptr}}},
        {"// comment, next line starts with a blank", "CIRCUITDIR = C://X\n ICONDIR = I\n",
         {{CIRCUIT, "C:"}, {ICON, "I"}}, {}, {}},
        {"a single slash stays", "CIRCUITDIR = C:/X\n", {{CIRCUIT, "C:/X"}}, {}, {}},
        {"/*/ is a complete comment", "/*/ TEMPDIR = A\n", {{TEMP, "A"}}, {}, {}},
        {"comments inside a word and around", "# Kopf\nTEMP/* mitten */DIR /**/= // Rest\n  T /* offen",
         {{TEMP, "T"}}, {}, {}},
        {"stars before the end of a comment", "/* a ** b ***/TEMPDIR = A", {{TEMP, "A"}}, {}, {}},
        {"a slash before a newline is not counted twice", "TEMPDIR = a/\nb\nxx",
         {{TEMP, "a/"}}, {}, {{19134, 3, 0, nullptr}}},
        {"empty file", "", {}, {}, {}},
        {"only comments and blanks", "  # nichts\n\n/* auch nichts */\n", {}, {}, {}},
        {"Local on one line", "BLOCKLIBS LIB Local AT C:\\LIB\\LOCAL ENDBLOCKLIBS", {}, {"Local"}, {}},
        {"semicolon after ENDBLOCKLIBS", "BLOCKLIBS LIB Local AT C:\\LIB\\LOCAL ENDBLOCKLIBS;", {}, {"Local"},
         {{19134, 1, 49, nullptr}}},
        {"three libraries, the second without index",
         "BLOCKLIBS\nLIB Standard AT std;\nLIB Fehlt AT fehlt;\nLIB Diskret AT disk;\nENDBLOCKLIBS\nTEMPDIR = t\n",
         {{TEMP, "t"}}, {"Standard", "Diskret"}, {{19139, 3, 19, "fehlt/ablocks.bfl"}}},
        {"BLOCKLIBS without LIB", "BLOCKLIBS ENDBLOCKLIBS", {}, {},
         {{19137, 1, 22, nullptr}, {19138, 1, 22, nullptr}}},
        {"LIB without AT", "BLOCKLIBS LIB Local C:\\LIB ENDBLOCKLIBS", {}, {},
         {{19140, 1, 27, nullptr}, {19138, 1, 27, nullptr}}},
        {"no ENDBLOCKLIBS", "BLOCKLIBS LIB Local AT loc\n", {}, {"Local"}, {{19138, 2, 0, nullptr}}},
        {"libraries read before a later error stay", "BLOCKLIBS LIB Standard AT std ENDBLOCKLIBS\nFOO\n", {},
         {"Standard"}, {{19134, 3, 0, nullptr}}},
        {"two library lists append", "BLOCKLIBS LIB Local AT l ENDBLOCKLIBS BLOCKLIBS LIB Standard AT std ENDBLOCKLIBS",
         {}, {"Local", "Standard"}, {}},
    };
    return table;
}

TEST(IniReaderTest, CaseTable)
{
    for (const IniCase& c : cases()) {
        SCOPED_TRACE(c.what);
        ScratchDir d;
        makeLibraries(d);
        Result r;
        readText(d, c.text, r);

        // Relative directories are taken from the directory of kyt.ini.
        std::string want[DIR_COUNT];
        for (const auto& e : c.dirs)
            want[e.first] = resolvePath(d.path.c_str(), e.second).text();
        for (int i = 0; i < DIR_COUNT; ++i)
            EXPECT_EQ(want[i], r.dirs[i].text()) << "directory " << i;

        ASSERT_EQ(static_cast<int>(c.libraries.size()), r.count);
        for (int i = 0; i < r.count; ++i)
            EXPECT_STREQ(c.libraries[i], r.libraries.ElementAt(i).name.text());

        std::string path = d.file("kyt.ini");
        ASSERT_EQ(c.messages.size(), r.calls.size());
        for (size_t i = 0; i < c.messages.size(); ++i) {
            const Expected& e = c.messages[i];
            std::string text = getResString(e.id);
            if (e.argument) {
                char buf[600];
                snprintf(buf, sizeof buf, getResString(e.id), d.file(e.argument).c_str());
                text = buf;
            }
            EXPECT_EQ(frame(path, e.line, e.column) + "\n" + text, r.calls[i].message);
            EXPECT_EQ(path, r.calls[i].path);
            EXPECT_EQ(e.line, r.calls[i].line);
        }
    }
}

TEST(IniReaderTest, LibrariesCarryTheirGroups)
{
    ScratchDir d;
    makeLibraries(d);
    Result r;
    readText(d, "BLOCKLIBS LIB Standard AT std; LIB Diskret AT disk; LIB Local AT loc ENDBLOCKLIBS", r);
    ASSERT_EQ(3, r.count);
    BlockLibrary& std = r.libraries.ElementAt(0);
    EXPECT_EQ(d.file("std"), std.file.text());
    ASSERT_EQ(1, std.sectionCount);
    LibrarySection& s = std.sections.ElementAt(0);
    EXPECT_STREQ("Standard", s.name.text());
    ASSERT_EQ(2, s.count);
    EXPECT_STREQ("pi", s.getFirstName(1).text());
    EXPECT_STREQ("pi.blk", s.getSecondName(1).text());
    // CR LF lines of a hand-written index.
    LibrarySection& z = r.libraries.ElementAt(1).sections.ElementAt(0);
    EXPECT_STREQ("Diskret", z.name.text());
    EXPECT_STREQ("zoh.blk", z.getSecondName(0).text());
    EXPECT_EQ(0, r.libraries.ElementAt(2).sectionCount);
}

TEST(IniReaderTest, ReadReplacesTheCatalogue)
{
    ScratchDir d;
    makeLibraries(d);
    Result r;
    for (int i = 0; i < 5; ++i)
        r.libraries.ElementAt(i).name = "alt";
    readText(d, "BLOCKLIBS LIB Local AT loc ENDBLOCKLIBS", r);
    EXPECT_EQ(1, r.count);
    EXPECT_EQ(1u, r.libraries.GetSize());
    EXPECT_STREQ("Local", r.libraries.ElementAt(0).name.text());
}

TEST(IniReaderTest, LongFileNamesAreCutInTheFrame)
{
    ScratchDir d;
    std::string longDir = std::string(200, 'v');
    d.mkdir(longDir);
    std::string name = longDir + "/kyt.ini";
    d.write(name, "tempdir = X");
    std::string path = d.file(name);
    RecordingScope rec;
    FILE* f = openFile(path.c_str(), "rt");
    ASSERT_NE(nullptr, f);
    IniReader reader;
    reader.setFile(f, path.c_str());
    ADArray<BlockLibrary> libs;
    int n = 0;
    reader.read(libs, n);
    fclose(f);
    ASSERT_EQ(1u, rec.viewer.calls.size());
    const std::string& m = rec.viewer.calls[0].message;
    size_t frameEnd = m.find("\n\n");
    ASSERT_NE(std::string::npos, frameEnd);
    EXPECT_LE(frameEnd + 1, 255u);
    // The end of the name, the line and the column are still there.
    EXPECT_NE(std::string::npos, m.find("vvv/kyt.ini:\nZeile 1, vor oder in Spalte 8\n"));
    EXPECT_EQ(0u, m.find("FEHLER in Datei ..."));
    // The viewer still gets the whole path.
    EXPECT_EQ(path, rec.viewer.calls[0].path);
}

TEST(IniReaderTest, BadInputGivesAMessageNotAnOverrun)
{
    ScratchDir d;
    // Binary: every byte value, NUL included.
    std::string binary;
    for (int k = 0; k < 64; ++k)
        for (int b = 0; b < 256; ++b)
            binary += static_cast<char>((b * 7 + k) & 0xFF);
    Result rb;
    readText(d, binary, rb);
    EXPECT_GE(rb.calls.size(), 1u);
    EXPECT_LE(rb.calls.size(), 2u);

    // 10 MB: a value as long as the file, an open comment, one long word.
    const size_t big = 10u * 1024u * 1024u;
    Result rv;
    readText(d, "TEMPDIR = " + std::string(big, 'x'), rv);
    EXPECT_TRUE(rv.calls.empty());
    EXPECT_EQ(d.path.size() + 1 + big, rv.dirs[TEMP].getLength());

    Result rc;
    readText(d, "/*" + std::string(big, '*'), rc);
    EXPECT_TRUE(rc.calls.empty());

    Result rw;
    readText(d, std::string(big, 'w'), rw);
    ASSERT_EQ(1u, rw.calls.size());
    EXPECT_NE(std::string::npos, rw.calls[0].message.find(getResString(19134)));
}

} // namespace

namespace {

// An endless installation file, or an endless or overlong library index, is
// read up to its limit only, with a message; what was read before stays.
TEST(IniReaderTest, InputsBeyondTheLimitsAreCut)
{
    ScratchDir d;
    {
        RecordingScope rec;
        FILE* f = openFile("/dev/zero", "rt");
        ASSERT_NE(nullptr, f);
        IniReader reader;
        reader.setFile(f, "/dev/zero");
        ADArray<BlockLibrary> libs;
        int count = -1;
        reader.read(libs, count);
        fclose(f);
        EXPECT_EQ(0, count);
        ASSERT_EQ(1u, rec.viewer.calls.size());
        EXPECT_NE(std::string::npos, rec.viewer.calls[0].message.find("ist länger als 16777216 Byte"))
            << rec.viewer.calls[0].message;
    }

    d.mkdir("zero");
    ASSERT_EQ(0, symlink("/dev/zero", d.file("zero/ablocks.bfl").c_str()));
    d.mkdir("lang");
    d.write("lang/ablocks.bfl", "$Standard\npt1,pt1.blk\n" + std::string(5000, 'x') + ",x.blk\npi,pi.blk\n");
    struct Case {
        const char* what;
        const char* dir;
        int groups;
        int entries;  // of the first group
    } cases[] = {
        {"an endless index", "zero", 0, 0},
        {"a line beyond 4096 bytes", "lang", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Result r;
        readText(d, std::string("BLOCKLIBS\nLIB Lib AT ") + c.dir + ";\nENDBLOCKLIBS\n", r);
        ASSERT_EQ(1, r.count);
        EXPECT_EQ(c.groups, r.libraries.ElementAt(0).sectionCount);
        if (c.groups > 0) {
            EXPECT_EQ(c.entries, r.libraries.ElementAt(0).sections.ElementAt(0).count);
        }
        ASSERT_EQ(1u, r.calls.size());
        EXPECT_NE(std::string::npos, r.calls[0].message.find("ist zu groß oder hat eine zu lange Zeile"))
            << r.calls[0].message;
    }
}

} // namespace
