// The scanner of the circuit-text reader: tokens, comments, line and column
// counting, and how errors are shown.
#include "CircuitReader.h"
#include "CircuitTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdio.h>

namespace {

std::string tokenName(const CircuitReader& r)
{
    switch (r.tokenKind()) {
    case TOK_WORD: return std::string("w:") + r.tokenText().text();
    case TOK_SEMICOLON: return ";";
    case TOK_QUOTE: return "q";
    case TOK_BLANK: return "_";
    case TOK_EQUALS: return "=";
    case TOK_DOLLAR: return "$";
    case TOK_COMMA: return ",";
    case TOK_EOF: return "EOF";
    }
    return "?";
}

struct ScanCase {
    const char* name;
    std::string text;
    const char* tokens;
    int line;
    int column;
};

const ScanCase kScanCases[] = {
    {"word ends at end of file", "abc", "w:abc EOF", 1, 3},
    {"slash and letter are a word", "a/b c", "w:a/b _ w:c EOF", 1, 5},
    {"lone slash at the end", "a/", "w:a/ EOF", 1, 2},
    {"line comment right after a word", "x// note\n;", "w:x ; EOF", 2, 1},
    {"number sign anywhere", "a # c\nb", "w:a _ w:b EOF", 2, 1},
    {"comment lines in a row", "#1\n#2\n//3\nBLOCK", "w:BLOCK EOF", 4, 5},
    {"block comment", "/* x\n y */=", "= EOF", 2, 6},
    {"unclosed block comment", "a /* x", "w:a _ EOF", 1, 6},
    {"line feed in a string is a blank", "\"a\nb\"", "q w:a _ w:b q EOF", 2, 2},
    {"single-character tokens", "x,y=z $;", "w:x , w:y = w:z _ $ ; EOF", 1, 8},
    {"dollar inside a word", "z$ ", "w:z$ _ EOF", 1, 3},
    {"CR LF is one line", "a\r\nb", "w:a _ w:b EOF", 2, 1},
    {"lone CR counts one column", "a\rb", "w:a _ w:b EOF", 1, 3},
    {"tab counts one column", "\t\tx;", "_ _ w:x ; EOF", 1, 4},
    {"zero byte is a blank", std::string("a\0b", 3), "w:a _ w:b EOF", 1, 3},
    {"empty text", "", "EOF", 1, 0},
};

} // namespace

TEST(CircuitScanner, TokensCommentsAndPositions)
{
    ScratchDir dir;
    for (const ScanCase& c : kScanCases) {
        SCOPED_TRACE(c.name);
        std::string path = dir.write("scan.txt", c.text);
        CircuitReader r(0);
        ASSERT_EQ(1, r.openFile(path.c_str()));
        r.beginRead();
        std::string seen;
        for (int i = 0; i < 100; ++i) {
            r.nextToken();
            seen += (seen.empty() ? "" : " ") + tokenName(r);
            if (r.tokenKind() == TOK_EOF)
                break;
        }
        EXPECT_EQ(c.tokens, seen);
        EXPECT_EQ(c.line, r.lineNumber());
        EXPECT_EQ(c.column, r.columnNumber());
    }
}

TEST(CircuitScanner, SyntaxErrorNamesFileLineAndColumn)
{
    CircuitWorld world;
    auto block = world.described("BLOCK x y;");
    EXPECT_EQ(1, block->errorFlag);
    ASSERT_EQ(1u, world.rec.viewer.calls.size());
    const ViewerCall& call = world.rec.viewer.calls[0];
    const std::string path = world.scratch.file("b.blk");
    EXPECT_EQ("FEHLER in Datei " + path + ":\nZeile 1, vor oder in Spalte 10\n"
              "HINWEIS: Ein Strichpunkt wird erwartet!",
              call.message);
    EXPECT_EQ(path, call.path);
    EXPECT_EQ(1, call.line);
    // What was read before the error stays.
    EXPECT_STREQ("x", block->getName().text());
    EXPECT_TRUE(world.rec.sink.boxes.empty());
}

namespace {

// A stream that delivers its first 100 bytes and then fails.
struct FailingSource {
    std::string bytes;
    size_t pos = 0;
};

ssize_t failingRead(void* cookie, char* buf, size_t size)
{
    FailingSource* s = static_cast<FailingSource*>(cookie);
    if (s->pos >= 100) {
        errno = EIO;
        return -1;
    }
    size_t n = std::min(size, std::min<size_t>(100, s->bytes.size()) - s->pos);
    memcpy(buf, s->bytes.data() + s->pos, n);
    s->pos += n;
    return static_cast<ssize_t>(n);
}

} // namespace

TEST(CircuitScanner, ReadErrorIsReportedAndTheProgramLives)
{
    CircuitWorld world;
    FailingSource source;
    source.bytes = "BLOCK b;\nINPUT";
    for (int i = 0; i < 100; ++i)
        source.bytes += " u" + std::to_string(i) + ";";
    cookie_io_functions_t io = {failingRead, nullptr, nullptr, nullptr};
    FILE* f = fopencookie(&source, "r", io);
    ASSERT_NE(nullptr, f);
    BlockObject target(Point(0, 0), Point(0, 0), "", "Standard");
    CircuitReader r(0);
    r.attachStream(f, "kaputt.blk");
    r.readBlock(target);
    fclose(f);
    EXPECT_EQ(TOK_EOF, r.tokenKind());
    EXPECT_EQ(1, target.errorFlag);
    ASSERT_EQ(1u, world.rec.viewer.calls.size());
    const std::string& msg = world.rec.viewer.calls[0].message;
    EXPECT_EQ(0u, msg.find("FEHLER in Datei kaputt.blk:\nZeile 2, vor oder in Spalte "));
    EXPECT_NE(std::string::npos, msg.find("\nEin Lesefehler ist aufgetreten!"));
    // What was read before the failure stays.
    EXPECT_STREQ("b", target.getName().text());
    EXPECT_GT(target.inputCount, 5);
}

TEST(CircuitScanner, RenameListsKeepTheFirstMatch)
{
    RenameList list;
    CircuitReader::addRename(list, "B_1", "B_7");
    CircuitReader::addRename(list, "B_1", "B_9");
    ASSERT_NE(nullptr, CircuitReader::lookUpRename(list, "B_1"));
    EXPECT_STREQ("B_7", CircuitReader::lookUpRename(list, "B_1")->text());
    EXPECT_EQ(nullptr, CircuitReader::lookUpRename(list, "b_1"));
}

namespace {

// Treats every file as a version-1.x circuit and writes its conversion.
class FakeConverter : public OldCircuitConverter {
public:
    int convert(const char* name, const char* target) override
    {
        names.push_back(name);
        targets.push_back(target);
        writeFileBytes(target, "BLOCK alt x;");
        return 1;
    }
    std::vector<std::string> names;
    std::vector<std::string> targets;
};

std::vector<std::pair<int, int>> menuChecks;

void recordMenuCheck(int command, int checked)
{
    menuChecks.push_back({command, checked});
}

} // namespace

TEST(CircuitScanner, OldFilesAreReadFromTheirConversion)
{
    CircuitWorld world;
    world.workspace.TEMPDIR = world.scratch.path.c_str();
    FakeConverter converter;
    setOldCircuitConverter(&converter);
    setMenuCheckHook(recordMenuCheck);
    menuChecks.clear();
    std::string path = world.scratch.write("ALT.KYT", "1.x");
    BlockObject target(Point(0, 0), Point(0, 0), "", "Standard");
    CircuitReader r(0);
    int opened = r.openFile(path.c_str());
    r.readBlock(target);
    r.closeFile();
    setOldCircuitConverter(nullptr);
    setMenuCheckHook(nullptr);
    ASSERT_EQ(1, opened);

    std::string lower = path;
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    // The converter opens the file by its own name (file names are case
    // sensitive outside Windows); the message shows it in lower case.
    ASSERT_EQ(1u, converter.names.size());
    EXPECT_EQ(path, converter.names[0]);
    EXPECT_EQ(world.scratch.file("kyt1x.tmp"), converter.targets[0]);
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_EQ("Die Datei " + lower + " hat KYT 1.x Format!\nDie Verbindungslinien werden nicht angezeigt!",
              world.rec.sink.boxes[0]);
    EXPECT_EQ(1, world.workspace.hideConnectionLines);
    EXPECT_EQ(1, world.workspace.showInputSignalNames);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{4012, 1}, {4011, 1}}), menuChecks);
    // The converted text is read; messages name the file that was asked
    // for, and the viewer shows the text whose lines they count.
    EXPECT_STREQ("alt", target.getName().text());
    ASSERT_EQ(1u, world.rec.viewer.calls.size());
    EXPECT_EQ("FEHLER in Datei " + path + ":\nZeile 1, vor oder in Spalte 12\nHINWEIS: Ein Strichpunkt wird erwartet!",
              world.rec.viewer.calls[0].message);
    EXPECT_EQ(world.scratch.file("kyt1x.tmp"), world.rec.viewer.calls[0].path);
}

TEST(CircuitScanner, WithoutConverterTheFileIsReadAsItStands)
{
    CircuitWorld world;
    CircuitReader r(0);
    EXPECT_EQ(0, r.openFile(world.scratch.file("fehlt.kyt").c_str()));
    EXPECT_TRUE(world.rec.sink.boxes.empty());
    EXPECT_TRUE(world.rec.viewer.calls.empty());
    EXPECT_EQ(0, world.workspace.hideConnectionLines);
}
