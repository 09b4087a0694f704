// The FILE library through its registry rows: reading data files line by
// line, the file table, its messages and its hooks.
#include "LibraryTestSupport.h"
#include "GermanLocale.h"

#include "FileLibrary.h"
#include "PiInterpreter.h"
#include "PiLoader.h"
#include "PiTextBuffer.h"

#include <clocale>

using namespace libtest;

namespace {

class FileLibraryTest : public LibraryTest {
protected:
    static double fopen(const std::string& file) { return f1("FOPEN", name(file)); }
    static void fread(double h) { p1("FREAD", h); }
    static void fclose(double h) { p1("FCLOSE", h); }
    static double fget(double h, double column) { return f2("FGET", h, column); }
    static double fstatus(double h) { return f1("FSTATUS", h); }

    // The columns of the current line up to the first that does not exist
    // (that one reports, so the message is taken off again).
    std::vector<double> columns(double h, int count)
    {
        std::vector<double> out;
        for (int c = 1; c <= count; ++c)
            out.push_back(fget(h, c));
        return out;
    }
};

TEST_F(FileLibraryTest, Rows)
{
    struct Row {
        const char* name;
        int kind;
        const char* signature;
    };
    const Row rows[] = {{"FOPEN", 1, "ds"}, {"FCLOSE", 2, "d"}, {"FGET", 1, "ddd"},
                        {"FSTATUS", 1, "dd"}, {"FREAD", 2, "d"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.kind, row(r.name).kind);
        EXPECT_STREQ(r.signature, row(r.name).signature);
    }
    // Hooks after BASE's, before TABLE's.
    ASSERT_EQ(3, moduleListLength(MODULE_LIST_LOAD));
    EXPECT_STREQ("FILE", moduleListEntry(MODULE_LIST_LOAD, 1)->name);
    EXPECT_STREQ("FILE", moduleListEntry(MODULE_LIST_START, 1)->name);
    EXPECT_STREQ("FILE", moduleListEntry(MODULE_LIST_UNLOAD, 1)->name);
}

// A comment line, two numbers, an empty line, two numbers; with LF and with
// CR LF line ends the same.
TEST_F(FileLibraryTest, CommentEmptyLineAndEndOfFile)
{
    for (const char* text : {"# Messwerte\n1 2\n\n3 4\n", "# Messwerte\r\n1 2\r\n\r\n3 4\r\n"}) {
        SCOPED_TRACE(text);
        scratch.write("daten.txt", text);
        const double h = fopen("daten.txt");
        EXPECT_EQ(0, h);
        EXPECT_EQ((std::vector<double>{1, 2}), columns(h, 2));
        EXPECT_EQ(0, fstatus(h));
        fread(h);  // the empty line keeps the columns
        EXPECT_EQ((std::vector<double>{1, 2}), columns(h, 2));
        EXPECT_EQ(0, fstatus(h));
        fread(h);
        EXPECT_EQ((std::vector<double>{3, 4}), columns(h, 2));
        EXPECT_EQ(0, fstatus(h));
        fread(h);  // the end of the file
        EXPECT_EQ(1, fstatus(h));
        EXPECT_EQ((std::vector<double>{3, 4}), columns(h, 2));
        fread(h);
        EXPECT_EQ(1, fstatus(h));
        EXPECT_TRUE(queued.empty());
        EXPECT_FALSE(stopped());
        fclose(h);
    }
}

struct LineCase {
    const char* what;
    const char* text;
    std::vector<double> columns;
};

TEST_F(FileLibraryTest, WordsOfALine)
{
    const LineCase cases[] = {
        {"a leading blank, text after a number", " 1.5abc\t2\n", {1.5, 2}},
        {"a comment after the numbers", "7 8 # Kommentar\n", {7, 8}},
        {"a # inside a word belongs to the word", "7#8 9\n", {7, 9}},
        {"blanks after the last number", "1 2  \t\n", {1, 2}},
        {"signs, exponents, tabs", "-2.5e1\t+3 .5E-1\n", {-25, 3, 0.05}},
        {"a comment line first", "  # nur Text\n\t# noch einer\n4\n", {4}},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.what);
        scratch.write("zeile.txt", c.text);
        const double h = fopen("zeile.txt");
        EXPECT_EQ(c.columns, columns(h, static_cast<int>(c.columns.size())));
        EXPECT_TRUE(queued.empty());
        EXPECT_FALSE(stopped());
        fclose(h);
    }
}

TEST_F(FileLibraryTest, ColumnThatDoesNotExist)
{
    scratch.write("daten.txt", "7 8 # Kommentar\n9\n");
    const double h = fopen("daten.txt");
    EXPECT_EQ(0, fget(h, 3));
    EXPECT_EQ(std::vector<std::string>{"Es gibt keine Spalte 3 in der Datei #0!"}, messages());
    EXPECT_EQ(ERR_ERROR, queued[0].level);  // shown later as an error
    EXPECT_EQ(1, fstatus(h));
    EXPECT_TRUE(stopped());
    // The status ends the reading.
    fread(h);
    EXPECT_EQ(8, fget(h, 2));
    fclose(h);
}

TEST_F(FileLibraryTest, LineOfBlanksIsABadFormat)
{
    scratch.write("daten.txt", "1\n2\n   \n4\n");
    const double h = fopen("daten.txt");
    fread(h);
    EXPECT_EQ(2, fget(h, 1));
    EXPECT_TRUE(queued.empty());
    fread(h);
    EXPECT_EQ(std::vector<std::string>{"Falsches Datenformat in der Datei #0, Zeile 3!"}, messages());
    EXPECT_TRUE(stopped());
    EXPECT_EQ(1, fstatus(h));
    EXPECT_EQ(2, fget(h, 1));
    fclose(h);
}

TEST_F(FileLibraryTest, WordThatIsNoNumber)
{
    // The line number counts the comment line; the number before the bad
    // word is still taken.
    scratch.write("daten.txt", "# Kopf\n1 zwei 3\n");
    const double h = fopen("daten.txt");
    EXPECT_EQ(std::vector<std::string>{"Falsches Datenformat in der Datei #0, Zeile 2!"}, messages());
    EXPECT_EQ(1, fget(h, 1));
    EXPECT_EQ(1, fstatus(h));
    fclose(h);
}

// A sign stands once: a doubled sign is a word that is no number, as "%lf"
// reads it, and not -5.
TEST_F(FileLibraryTest, DoubledSignIsABadFormat)
{
    const char* lines[] = {"1 +-5 3\n", "1 -+5 3\n", "1 --5 3\n", "1 ++5 3\n"};
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        queued.clear();
        resetRunErrors();
        scratch.write("daten.txt", line);
        const double h = fopen("daten.txt");
        EXPECT_EQ(std::vector<std::string>{"Falsches Datenformat in der Datei #0, Zeile 1!"}, messages());
        EXPECT_EQ(1, fget(h, 1));
        EXPECT_EQ(1, fstatus(h));
        fclose(h);
    }
}

// An endless line (a device) costs no more than the line buffer.
TEST_F(FileLibraryTest, EndlessLineIsCutAtTheBuffer)
{
    const double h = fopen("/dev/zero");
    EXPECT_EQ(std::vector<std::string>{"In der Datei #0 ist eine Zeile zu lang (> 1024)!"}, messages());
    EXPECT_EQ(1, fstatus(h));
    fclose(h);
}

// Words of "1234 " over 2,000 characters: the first 1,023 characters hold
// 204 whole words and "123".
TEST_F(FileLibraryTest, LineTooLong)
{
    std::string line;
    while (line.size() < 2000)
        line += "1234 ";
    scratch.write("lang.txt", line + "\n5 6\n");
    const double h = fopen("lang.txt");
    EXPECT_EQ(std::vector<std::string>{"In der Datei #0 ist eine Zeile zu lang (> 1024)!"}, messages());
    EXPECT_TRUE(stopped());
    EXPECT_EQ(1, fstatus(h));
    EXPECT_EQ(1234, fget(h, 204));
    EXPECT_EQ(123, fget(h, 205));
    EXPECT_EQ(1u, queued.size());
    fget(h, 206);
    EXPECT_EQ("Es gibt keine Spalte 206 in der Datei #0!", queued.back().text);
    fclose(h);
}

// 1,023 characters fit the buffer with or without the line end; 1,024 do not.
TEST_F(FileLibraryTest, LongestLine)
{
    std::string fits(1021, ' ');
    fits = "1 " + fits.substr(2) + "2";  // 1,022 characters
    fits += ' ';
    ASSERT_EQ(1023u, fits.size());
    for (const char* end : {"\n", ""}) {
        SCOPED_TRACE(*end ? "with a line end" : "last line");
        scratch.write("grenze.txt", fits + end);
        const double h = fopen("grenze.txt");
        EXPECT_EQ((std::vector<double>{1, 2}), columns(h, 2));
        EXPECT_TRUE(queued.empty());
        fread(h);
        EXPECT_EQ(1, fstatus(h));
        EXPECT_TRUE(queued.empty());
        fclose(h);
    }
    scratch.write("grenze.txt", fits + "3\n");
    const double h = fopen("grenze.txt");
    EXPECT_EQ(std::vector<std::string>{"In der Datei #0 ist eine Zeile zu lang (> 1024)!"}, messages());
    fclose(h);
}

TEST_F(FileLibraryTest, LastLineWithoutLineEnd)
{
    scratch.write("daten.txt", "1 2\n5 6");
    const double h = fopen("daten.txt");
    fread(h);
    EXPECT_EQ((std::vector<double>{5, 6}), columns(h, 2));
    EXPECT_EQ(0, fstatus(h));
    fread(h);
    EXPECT_EQ(1, fstatus(h));
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(stopped());
    fclose(h);
}

TEST_F(FileLibraryTest, MissingFile)
{
    const double h = fopen("daten.txt");
    EXPECT_EQ(0, h);
    EXPECT_EQ(std::vector<std::string>{"Die Datei daten.txt kann nicht geöffnet werden!"}, messages());
    EXPECT_TRUE(stopped());
    // The status of the failed slot is an answer, not another error.
    EXPECT_EQ(1, fstatus(h));
    EXPECT_EQ(1u, queued.size());
    // Its values are not there.
    EXPECT_EQ(0, fget(h, 1));
    EXPECT_EQ("Datei #0 wurde nie geöffnet!", queued.back().text);
    // The next FOPEN takes the slot again.
    scratch.write("da.txt", "3\n");
    EXPECT_EQ(0, fopen("da.txt"));
    EXPECT_EQ(1, fileSlotCount());
    EXPECT_EQ(3, fget(0, 1));
    fclose(0);
}

TEST_F(FileLibraryTest, SlotsAreTakenAndReused)
{
    scratch.write("a.txt", "1\n");
    scratch.write("b.txt", "2\n");
    EXPECT_EQ(0, fopen("a.txt"));
    EXPECT_EQ(1, fopen("b.txt"));
    EXPECT_EQ(2, fopen("a.txt"));
    fclose(1);
    EXPECT_EQ(1, fopen("b.txt"));
    EXPECT_EQ(3, fileSlotCount());
    EXPECT_EQ(1, fget(0, 1));
    EXPECT_EQ(2, fget(1, 1));
    EXPECT_EQ(1, fget(2, 1));
    EXPECT_EQ(3, liveStreams);
    EXPECT_TRUE(queued.empty());
    // The start of a run closes them all.
    runStartHooks();
    EXPECT_EQ(0, liveStreams);
    EXPECT_EQ(1, fstatus(2));
}

TEST_F(FileLibraryTest, NamesInTheCircuitDirectory)
{
    scratch.write("kreis/daten.txt", "42\n");
    const double h = fopen("@:\\daten.txt");
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(42, fget(h, 1));
    fclose(h);
    scratch.mkdir("kreis/unter");
    scratch.write("kreis/unter/x.txt", "43\n");
    EXPECT_EQ(43, fget(fopen("@:\\unter\\x.txt"), 1));
    EXPECT_TRUE(queued.empty());
    fclose(h);
    fopen("@:\\fehlt.txt");
    EXPECT_EQ(std::vector<std::string>{"Die Datei " + scratch.file("kreis/fehlt.txt") + " kann nicht geöffnet werden!"},
              messages());
    queued.clear();

    // A path of 255 characters opens; one of 300 is refused although the
    // file is there.
    const std::string dir(150, 'v');
    scratch.mkdir(dir);
    const std::string fits = dir + "/" + std::string(104, 'f');
    const std::string tooLong = dir + "/" + std::string(149, 'g');
    ASSERT_EQ(255u, fits.size());
    ASSERT_EQ(300u, tooLong.size());
    scratch.write(fits, "1\n");
    scratch.write(tooLong, "1\n");
    ASSERT_TRUE(scratch.exists(tooLong));
    const double ok = fopen(fits);
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(1, fget(ok, 1));
    const double refused = fopen(tooLong);
    EXPECT_EQ(std::vector<std::string>{"Die Datei " + tooLong + " kann nicht geöffnet werden!"}, messages());
    EXPECT_EQ(1, fstatus(refused));
    fclose(ok);
}

TEST_F(FileLibraryTest, BadHandlesAndColumns)
{
    scratch.write("daten.txt", "1 2\n");
    const double h = fopen("daten.txt");
    const RefusedCall cases[] = {
        {"FREAD(7)", [] { fread(7); }, "Es gibt keine Datei mit der #7!"},
        {"FREAD(-1)", [] { fread(-1); }, "Es gibt keine Datei mit der #-1!"},
        {"FREAD(1e300)", [] { fread(1e300); }, "Es gibt keine Datei mit der #2147483647!"},
        {"FCLOSE(NaN)", [] { fclose(kNaN); }, "Es gibt keine Datei mit der #-1!"},
        {"FSTATUS(3)", [] { EXPECT_EQ(0, fstatus(3)); }, "Es gibt keine Datei mit der #3!"},
        {"FGET(0, NaN)", [h] { EXPECT_EQ(0, fget(h, kNaN)); }, "Es gibt keine Spalte -1 in der Datei #0!"},
        {"FGET(0, -1)", [h] { EXPECT_EQ(0, fget(h, -1)); }, "Es gibt keine Spalte -1 in der Datei #0!"},
        {"FGET(0, inf)", [h] { EXPECT_EQ(0, fget(h, INFINITY)); },
         "Es gibt keine Spalte 2147483647 in der Datei #0!"},
    };
    expectEachRefused(cases);
    // Truncated as the model's handles are: 0.9 is handle 0, column 1.
    queued.clear();
    EXPECT_EQ(1, fget(0.9, 1.9));
    EXPECT_TRUE(queued.empty());
    fclose(h);
}

TEST_F(FileLibraryTest, ClosedFile)
{
    scratch.write("daten.txt", "1 2\n3 4\n");
    const double h = fopen("daten.txt");
    fclose(h);
    EXPECT_EQ(0, liveStreams);
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(1, fstatus(h));
    fread(h);
    EXPECT_EQ(std::vector<std::string>{"Datei #0 wurde nie geöffnet!"}, messages());
    EXPECT_TRUE(stopped());
    queued.clear();
    resetRunErrors();
    fclose(h);  // a second close says nothing
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(stopped());
}

TEST_F(FileLibraryTest, StreamFailingMidRead)
{
    scratch.write("daten.txt", "1 2\n3 4\n");
    nextFaults.failAfter = 4;  // the first line, then an error
    const double h = fopen("daten.txt");
    EXPECT_EQ((std::vector<double>{1, 2}), columns(h, 2));
    EXPECT_TRUE(queued.empty());
    fread(h);
    EXPECT_EQ(std::vector<std::string>{"Lesefehler bei Datei #0!"}, messages());
    EXPECT_TRUE(stopped());
    EXPECT_EQ(1, fstatus(h));
    EXPECT_EQ((std::vector<double>{1, 2}), columns(h, 2));
    fclose(h);
}

TEST_F(FileLibraryTest, CloseThatFails)
{
    scratch.write("daten.txt", "1\n");
    nextFaults.failClose = true;
    const double h = fopen("daten.txt");
    fclose(h);
    EXPECT_EQ(std::vector<std::string>{"Die Datei #0 kann nicht geschlossen werden!"}, messages());
    EXPECT_FALSE(stopped());
    // The stream is gone all the same: nothing is closed twice later.
    EXPECT_EQ(0, liveStreams);
    EXPECT_EQ(1, fstatus(h));

    // The start hook reports the same and goes on.
    queued.clear();
    nextFaults.failClose = true;
    fopen("daten.txt");
    scratch.write("b.txt", "2\n");
    fopen("b.txt");
    runStartHooks();
    EXPECT_EQ(std::vector<std::string>{"Die Datei #0 kann nicht geschlossen werden!"}, messages());
    EXPECT_EQ(0, liveStreams);
}

// Load, start and unload twice in a row, each time with files open.
TEST_F(FileLibraryTest, HooksTwice)
{
    scratch.write("daten.txt", "1\n");
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        runUnloadHooks();
        EXPECT_EQ(0, liveStreams);
        ASSERT_EQ(0, runLoadHooks());
        runStartHooks();
        EXPECT_EQ(0, fopen("daten.txt"));
        EXPECT_EQ(1, fopen("daten.txt"));
        runStartHooks();
        EXPECT_EQ(0, liveStreams);
        EXPECT_EQ(0, fopen("daten.txt"));
    }
    EXPECT_TRUE(queued.empty());
}

TEST_F(FileLibraryTest, LoadWithoutUnloadIsFatal)
{
    scratch.write("daten.txt", "1\n");
    fopen("daten.txt");
    EXPECT_EXIT(
        {
            setErrorSink(nullptr);
            runLoadHooks();
        },
        ::testing::ExitedWithCode(1), "Interner Fehler: Dateien wurden bereits deklariert");
}

// A German number locale does not change how data files read.
TEST_F(FileLibraryTest, NumbersReadWithoutTheLocale)
{
    const std::string saved = setlocale(LC_ALL, nullptr);
    if (!setGermanLocale(LC_NUMERIC))
        GTEST_SKIP() << "no German locale";
    scratch.write("daten.txt", "1.5 2,5\n");
    const double h = fopen("daten.txt");
    std::vector<double> got = columns(h, 2);
    setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ((std::vector<double>{1.5, 2}), got);
    fclose(h);
}

// A while loop of the model's kind: FOPEN once, FREAD and FGET at each step,
// all through PI code that the loader binds to the rows.
TEST_F(FileLibraryTest, ReadFromPiCode)
{
    scratch.write("kreis/messwerte.txt", "# t u\n0 1.5\n1 2.5\n2 -4\n");
    const std::string pi = "// PI-code generated by hand\n"
                           "EXAMPLE \"datei\"\n\n"
                           "INDEP\n   \"t\"   0.0 SAVE\n"
                           "STATES   0\nDERIV\nDSTATES  0\n"
                           "VARS     4\n"
                           "   \"blk_u\"  SAVE // 0\n"
                           "   \"blk_s\"  // 1\n"
                           "   // return of INIT  2\n"
                           "   // return of CONT  3\n"
                           "PARAMS   1\n   \"blk_h\"  0.   // 0\n"
                           "STRINGS  1\n   \"@:\\messwerte.txt\"  // 0\n"
                           "EVENTS   0\nDELAYS   0\n"
                           "INIT\n"
                           "   PUSH  0\n   POP   V 2  // return\n"
                           "   PUSH  0  // \"@:\\messwerte.txt\"\n"
                           "   FUNC  UFUNC 1 \"FOPEN\"\n   POP   P 0  // blk_h\n"
                           "   PUSH  V 2  // return\n   END\n\n"
                           "CONT\n"
                           "   PUSH  0\n   POP   V 3  // return\n"
                           "   PUSH  2\n   PUSH  P 0  // blk_h\n"
                           "   FUNC  UFUNC 2 \"FGET\"\n   POP   V 0  // blk_u\n"
                           "   PUSH  P 0  // blk_h\n"
                           "   FUNC  UFUNC 1 \"FSTATUS\"\n   POP   V 1  // blk_s\n"
                           "   PUSH  P 0  // blk_h\n"
                           "   FUNC  UPROC 1 \"FREAD\"\n"
                           "   PUSH  V 3  // return\n   END\n\n"
                           "DISCRET 0\n";
    freeCodeBuffer(&piTextBuffer);
    codeBufferPrintf(&piTextBuffer, "%s", pi.c_str());
    flushCodeBuffer(&piTextBuffer);
    HostSeams seams = {};
    seams.queueDeferredMessage = recordQueued;
    seams.stringCount = piStringCount;
    seams.stringText = piStringText;
    seams.circuitFileName = circuitFileName;
    setHostSeams(&seams);
    ASSERT_TRUE(loadPICode("from test", 1024));
    runStartHooks();
    EXPECT_EQ(0, runInitCode(0, 1));
    double* v = piProgram.value + piProgram.nparameters;
    const double expected[][2] = {{1.5, 0}, {2.5, 0}, {-4, 0}, {-4, 1}};
    for (const auto& e : expected) {
        EXPECT_EQ(0, runContCode(0, piProgram.state[0], nullptr, nullptr, piProgram.derivative));
        EXPECT_EQ(e[0], v[0]);
        EXPECT_EQ(e[1], v[1]);
    }
    EXPECT_TRUE(queued.empty());
    unloadPICode();
    freeCodeBuffer(&piTextBuffer);
    EXPECT_EQ(0, liveStreams);
}

} // namespace
