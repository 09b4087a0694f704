// The outputs of a run: the result file in text and binary form, the plot's
// signals and points, and the state snapshot simul.dat with the continued
// run that reads it back.
#include "SimulationTestSupport.h"
#include "TextLines.h"

#include "EventQueue.h"
#include "FileLayer.h"
#include "NumberFormat.h"
#include "PiInterpreter.h"

#include <gmock/gmock.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace simtest;
using ::testing::HasSubstr;

namespace {

class ResultFileTest : public SimulationTest {};

std::string numberText(double v)
{
    char text[kMaxNumberText + 1];
    formatNumber(v, text);
    return text;
}

// The record of a point of the decay program (outputs t, x, v).
std::string recordLine(const RecordedPoint& p)
{
    return numberText(p.x) + " " + numberText(p.values[0]) + " " + numberText(p.values[1]);
}

TEST_F(ResultFileTest, ATextFileHoldsTheHeaderAndARecordLinePerPoint)
{
    SimParams s = testSettings();
    ASSERT_TRUE(setResultFileName(s, "out.txt"));
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.5"), s));
    const std::vector<std::string> file = linesOf(scratch.read("out.txt"));
    ASSERT_EQ(1 + plot.points.size(), file.size());
    EXPECT_EQ("SIMUL 1.0:REAL*8:ASCII:VAR:t:x:v:", file[0]);
    for (size_t i = 0; i < plot.points.size(); ++i)
        EXPECT_EQ(recordLine(plot.points[i]), file[i + 1]);
    // RK4's (1 - h + h^2/2 - h^3/6 + h^4/24)^50 with h = 0.01, computed in
    // exact rational arithmetic: 0.606530659738117 (e^-0.5 = 0.606530659712633).
    EXPECT_EQ("0.5 0.60653065973812 0.", file.back());

    // A second run appends its header and its records.
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.2"), s));
    const std::vector<std::string> both = linesOf(scratch.read("out.txt"));
    ASSERT_EQ(file.size() + 1 + plot.points.size(), both.size());
    EXPECT_EQ(file[0], both[file.size()]);
    EXPECT_EQ("0. 1. 0.", both[file.size() + 1]);
}

// The null device (the default name "nul", in any case, with a colon or a
// folder) gets no bytes at all, while the run and its plot points stay as
// with a file; any other device still gets every byte.
TEST_F(ResultFileTest, TheNullDeviceIsNeverWrittenAndTheRunIsTheSame)
{
    SimParams s = testSettings();
    ASSERT_TRUE(setResultFileName(s, "out.txt"));
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.5"), s));
    const std::vector<RecordedPoint> points = plot.points;
    const std::string file = scratch.read("out.txt");
    EXPECT_EQ(static_cast<long>(file.size()), resultFileBytesWritten());

    for (const char* name : {"nul", "NUL:", "sub\\Nul"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(setResultFileName(s, name));
        ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.5"), s));
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(0, resultFileBytesWritten());
        ASSERT_EQ(points.size(), plot.points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].x, plot.points[i].x);
            EXPECT_EQ(points[i].values, plot.points[i].values);
        }
    }
    EXPECT_EQ(file, scratch.read("out.txt"));

    ASSERT_TRUE(setResultFileName(s, "/dev/zero"));
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.5"), s));
    EXPECT_EQ(static_cast<long>(file.size()), resultFileBytesWritten());
}

// A limit on the size of the files this process writes stands in for a full
// disk: a write past it fails (EFBIG) instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        previous = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, previous);
    }

private:
    rlimit old;
    void (*previous)(int);
};

// A result file that fills up ends the run with an error that names the
// file, whether a record finds the disk full during the run (the stream's
// buffer overflows) or only the close does; so does one that cannot take
// even its header, and one that does not open at all says that, not
// "falscher Simulationsparameter".
TEST_F(ResultFileTest, AResultFileThatCannotBeWrittenEndsTheRunWithAMessageNamingIt)
{
    struct Case {
        const char* what;
        const char* name;
        const char* tEnd;
        rlim_t limit;
        const char* message;
        bool runsToTheEnd;
    };
    const Case cases[] = {
        {"full at the close", "out.txt", "0.5", 100, "kann nicht geschrieben werden", true},
        {"full during the run", "out.txt", "50", 2000, "kann nicht geschrieben werden", false},
        {"no room for the header", "/dev/full", "0.5", RLIM_INFINITY, "kann nicht geschrieben werden", false},
        {"no such folder", "fehlt/out.txt", "0.5", RLIM_INFINITY, "kann nicht geöffnet werden", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimParams s = testSettings();
        ASSERT_TRUE(setResultFileName(s, c.name));
        remove("out.txt");
        recording.sink.boxes.clear();
        int end;
        {
            FileSizeLimit limit(c.limit);
            end = loadAndRun(decayProgram(c.tEnd), s);
        }
        EXPECT_EQ(SIM_END_ERROR, end);
        ASSERT_EQ(1u, boxes().size());
        EXPECT_THAT(boxes()[0], HasSubstr(c.name));
        EXPECT_THAT(boxes()[0], HasSubstr(c.message));
        EXPECT_THAT(boxes()[0], ::testing::Not(HasSubstr("Simulationsparameter")));
        if (c.runsToTheEnd) {
            ASSERT_FALSE(plot.points.empty());
            EXPECT_NEAR(atof(c.tEnd), plot.points.back().x, 1e-9);
        } else if (c.limit != RLIM_INFINITY) {
            ASSERT_FALSE(plot.points.empty());
            EXPECT_LT(plot.points.back().x, atof(c.tEnd) / 2);
        }
        EXPECT_FALSE(resultFileIsOpen());
    }
    // The next run with room writes its file whole again.
    SimParams s = testSettings();
    ASSERT_TRUE(setResultFileName(s, "out.txt"));
    remove("out.txt");
    recording.sink.boxes.clear();
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.5"), s));
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(static_cast<long>(scratch.read("out.txt").size()), resultFileBytesWritten());
}

// A mapper as Wine's: it knows no DOS devices and makes every name a file in
// the current directory.
String fileInCurrentDirectory(const char* path)
{
    String name;
    splitPath(path, nullptr, &name);
    return name;
}

// Under any path mapping the name of the device NUL opens no file: a run
// leaves no file "nul" behind (kyt under Wine wrote one into its current
// directory, growing with every run), and the binary form is still refused.
struct MapperScope {
    explicit MapperScope(PathMapper mapper) { setPathMapper(mapper); }
    ~MapperScope() { setPathMapper(nullptr); }
};

TEST_F(ResultFileTest, NoFileIsOpenedForTheNullDeviceUnderAnyMapping)
{
    MapperScope wineLike(fileInCurrentDirectory);
    SimParams s = testSettings();
    for (const char* name : {"nul", "NUL", "Nul:", "C:\\KYT\\Beispiele\\nul", "C:nul", "sub/nUl"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(setResultFileName(s, name));
        s.RMODE = 0;
        EXPECT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.2"), s));
        EXPECT_TRUE(boxes().empty());
        EXPECT_FALSE(plot.points.empty());
        EXPECT_EQ(0, resultFileBytesWritten());
        s.RMODE = 1;
        EXPECT_EQ(SIM_END_PARAMETERS, loadAndRun(decayProgram("0.2"), s));
        recording.sink.boxes.clear();
    }
    // A name that only looks like it is an ordinary file.
    ASSERT_TRUE(setResultFileName(s, "nul.txt"));
    s.RMODE = 0;
    EXPECT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.2"), s));
    EXPECT_TRUE(scratch.exists("nul.txt"));
    for (const char* file : {"nul", "NUL", "Nul", "Nul:", "nUl", "C:nul"})
        EXPECT_FALSE(scratch.exists(file)) << file;
}

TEST_F(ResultFileTest, ABinaryFileReadsBackBitEqual)
{
    SimParams s = testSettings();
    s.RMODE = 1;
    ASSERT_TRUE(setResultFileName(s, "out.bin"));
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.5"), s));
    const std::string bytes = scratch.read("out.bin");
    const std::string header = "SIMUL 1.0:REAL*8:BINARY:VAR:t:x:v:\n";
    ASSERT_EQ(header.size() + 3 * 8 * plot.points.size(), bytes.size());
    EXPECT_EQ(header, bytes.substr(0, header.size()));
    const unsigned char* at = reinterpret_cast<const unsigned char*>(bytes.data()) + header.size();
    for (const RecordedPoint& p : plot.points) {
        const double expected[3] = {p.x, p.values[0], p.values[1]};
        for (double e : expected) {
            uint64_t bits = 0;
            for (int i = 0; i < 8; ++i)
                bits |= static_cast<uint64_t>(at[i]) << (8 * i);   // little-endian
            uint64_t wanted;
            memcpy(&wanted, &e, 8);
            EXPECT_EQ(wanted, bits);
            at += 8;
        }
    }
}

TEST_F(ResultFileTest, WithoutHeaderModeNeitherFileNorPlotGetTheHeader)
{
    SimParams s = testSettings();
    s.HMODE = 0;
    ASSERT_TRUE(setResultFileName(s, "out.txt"));
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.2"), s));
    const std::vector<std::string> file = linesOf(scratch.read("out.txt"));
    ASSERT_EQ(plot.points.size(), file.size());
    EXPECT_EQ("0. 1. 0.", file[0]);
    EXPECT_EQ(0, std::count(plot.calls.begin(), plot.calls.end(), "stampDateTime"));
}

// Mended: MODE 2 on a program that never ran skipped its INIT code, so
// nothing was scheduled and the run had no end. Such a program starts as a
// new run: its INIT code schedules the records and the end, the file opens.
TEST_F(ResultFileTest, Mode2OnAProgramThatNeverRanStartsIt)
{
    SimParams s = testSettings();
    s.MODE = 2;
    ASSERT_TRUE(setResultFileName(s, "out.txt"));
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(decayProgram("0.3"), s));
    ASSERT_EQ(4u, plot.points.size());
    EXPECT_NEAR(std::exp(-0.3), plot.points.back().values[0], 1e-9);
    EXPECT_EQ(5u, linesOf(scratch.read("out.txt")).size());
}

// Going on after a new start (result bit 32) with MODE 2: no INIT code and no
// file; the states go on from where the first run ended, to the same end.
TEST_F(ResultFileTest, Mode2AfterANewStartGoesOnWithoutInitAndFile)
{
    // Procedure 2 at 0.5 asks for the new start.
    const std::string restart = section(orResult(procedureSlot(2), 32), procedureSlot(2), 1);
    const std::string text = program(
        declarations(),
        section(schedule(push("0."), 0) + schedule(push("1."), 1) + schedule(push("0.5"), 2),
                kInitSlot),
        section(kDecay, kContSlot),
        {section(orResult(procedureSlot(0), 2) +
                     schedule(push("T") + push("0.25") + "   FUNC  ADD\n", 0),
                 procedureSlot(0), 1),
         section(orResult(procedureSlot(1), 8), procedureSlot(1), 1), restart});
    SimParams s = testSettings();
    s.MODE = 2;
    ASSERT_TRUE(setResultFileName(s, "out.txt"));
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(text, s));
    std::vector<double> times;
    for (const RecordedPoint& p : plot.points)
        times.push_back(p.x);
    // The first run records 0 and 0.25 into the file; after the new start
    // at 0.5 only the plot takes the records.
    EXPECT_EQ((std::vector<double>{0, 0.25, 0.5, 0.75, 1}), times);
    EXPECT_NEAR(std::exp(-1.0), plot.points.back().values[0], 1e-8);
    EXPECT_EQ(3u, linesOf(scratch.read("out.txt")).size());
}

// Outputs t, a, b, c with a = 1 + t, b = 2 t, c = 3 t; a record at every
// accepted point.
std::string fourOutputs()
{
    const std::string decl = "INDEP\n   \"t\"   0.0 SAVE\nSTATES   0\nDERIV\nDSTATES  0\n"
                             "VARS     5\n   \"a\"  SAVE\n   \"b\"  SAVE\n   \"c\"  SAVE\n"
                             "   // return of INIT 3\n   // return of CONT 4\n"
                             "PARAMS   0\nEVENTS   0\nDELAYS   0\n";
    const std::string cont = push("T") + push("1") + "   FUNC  ADD\n   POP   V 0\n" + push("T") +
                             push("2") + "   FUNC  MUL\n   POP   V 1\n" + push("T") + push("3") +
                             "   FUNC  MUL\n   POP   V 2\n" + orResult(4, 2) + push("T") +
                             push("0.35") + "   FUNC  GE\n   IFF   $1\n" + orResult(4, 8) + "$1\n";
    return program(decl, section("", 3), section(cont, 4), {});
}

TEST_F(ResultFileTest, AnOutputChosenAsXBecomesTheTitleAndTheOthersTheCurves)
{
    SimParams s = testSettings(0.1);
    s.XVAR = 2;
    // Method 0 (no states) doubles its step; MAXSTEP keeps it at 0.1.
    s.MAXSTEP = 0.1;
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(fourOutputs(), s));
    EXPECT_EQ("b", plot.title);
    ASSERT_EQ(2u, plot.signals.size());
    EXPECT_EQ("a", plot.signals[0].name);
    EXPECT_EQ(plotColour(255, 0, 0), plot.signals[0].colour);
    EXPECT_EQ("c", plot.signals[1].name);
    EXPECT_EQ(plotColour(0, 128, 0), plot.signals[1].colour);
    EXPECT_EQ(kPlotPagingNone, plot.pagingMode);
    ASSERT_EQ(5u, plot.points.size());
    for (size_t i = 0; i < plot.points.size(); ++i) {
        const double t = 0.1 * static_cast<double>(i);
        EXPECT_NEAR(2 * t, plot.points[i].x, 1e-12);
        EXPECT_NEAR(1 + t, plot.points[i].values[0], 1e-12);
        EXPECT_NEAR(3 * t, plot.points[i].values[1], 1e-12);
    }
}

TEST_F(ResultFileTest, CurveColoursCycleThroughSeven)
{
    const uint32_t expected[8] = {plotColour(255, 0, 0),   plotColour(0, 128, 0),
                                  plotColour(0, 0, 128),   plotColour(0, 0, 255),
                                  plotColour(255, 0, 255), plotColour(128, 128, 0),
                                  plotColour(0, 255, 0),   plotColour(255, 0, 0)};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(expected[k], curveColour(k)) << k;
}

// ---- the snapshot

// Procedure 2 at 0.5 asks for a snapshot and a record; QUIT at 1. CONT
// records at every point when recordAll.
std::string snapshotProgram(bool recordAll)
{
    const std::string snap =
        section(orResult(procedureSlot(2), 4 | 2), procedureSlot(2), 1);
    return program(declarations(),
                   section(schedule(push("0.5"), 2) + schedule(push("1."), 0), kInitSlot),
                   section(kDecay + (recordAll ? orResult(kContSlot, 2) : ""), kContSlot),
                   {section(orResult(procedureSlot(0), 8), procedureSlot(0), 1),
                    section("", procedureSlot(1), 1), snap});
}

double doubleAt(const std::string& bytes, size_t offset)
{
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    double v;
    memcpy(&v, &bits, 8);
    return v;
}

int32_t intAt(const std::string& bytes, size_t offset)
{
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return static_cast<int32_t>(bits);
}

TEST_F(ResultFileTest, TheSnapshotHasItsFieldsAtTheirOffsets)
{
    SimParams s = testSettings(0.25);
    load(snapshotProgram(false));
    EXPECT_EQ(152 + 16 + 76 + 8 + 56, snapshotSize(1));
    ASSERT_EQ(SIM_END_NORMAL, run(s));
    const std::string bytes = scratch.read("simul.dat");
    // 152 settings + 16 step sizes; rows t 20, x 20, dx 4, v 4, w 4, k 12,
    // n 12; two flags 8; the pending QUIT at 1 as one event of 56.
    ASSERT_EQ(152u + 16 + 76 + 8 + 56, bytes.size());
    EXPECT_EQ("nul", std::string(bytes.c_str()));
    EXPECT_EQ(std::string(77, '\0'), bytes.substr(3, 77));
    EXPECT_EQ(0, intAt(bytes, 80));      // RMODE
    EXPECT_EQ(1, intAt(bytes, 84));      // HMODE
    EXPECT_EQ(1, intAt(bytes, 92));      // IALG
    EXPECT_EQ(0.25, doubleAt(bytes, 96));   // INITSTEP
    EXPECT_EQ(1e-6, doubleAt(bytes, 136));  // LIMIT
    EXPECT_EQ(0, intAt(bytes, 144));     // XVAR
    EXPECT_EQ(0.25, doubleAt(bytes, 152));  // step size of buffer 0
    EXPECT_EQ(0.25, doubleAt(bytes, 160));  // current step size
    // Row t: flags, start value, current value.
    EXPECT_EQ(1, intAt(bytes, 168));
    EXPECT_EQ(0.0, doubleAt(bytes, 172));
    EXPECT_EQ(0.5, doubleAt(bytes, 180));
    // Row x: the record at 0.5 holds the same current value.
    EXPECT_EQ(1, intAt(bytes, 188));
    EXPECT_EQ(1.0, doubleAt(bytes, 192));
    ASSERT_EQ(1u, plot.points.size());
    EXPECT_EQ(plot.points[0].values[0], doubleAt(bytes, 200));
    // Row k: flags and value only.
    EXPECT_EQ(0, intAt(bytes, 220));
    EXPECT_EQ(1.0, doubleAt(bytes, 224));
    // The event: time, kind, handler 0, section, priority, name, next 0.
    const size_t e = 152 + 16 + 76 + 8;
    EXPECT_EQ(1.0, doubleAt(bytes, e));
    EXPECT_EQ(0, intAt(bytes, e + 12));
    EXPECT_EQ(0, intAt(bytes, e + 16));
    EXPECT_EQ("discret", std::string(bytes.c_str() + e + 24));
    EXPECT_EQ(0, intAt(bytes, e + 48));
}

// A snapshot that cannot be written whole ends the run with a message and
// leaves the last simul.dat as it was, with no half-written copy beside it.
TEST_F(ResultFileTest, ASnapshotThatCannotBeWrittenKeepsTheOldOne)
{
    SimParams s = testSettings(0.25);
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(snapshotProgram(false), s));
    const std::string before = scratch.read("simul.dat");
    ASSERT_FALSE(before.empty());
    recording.sink.boxes.clear();
    int end;
    {
        FileSizeLimit limit(before.size() / 2);
        end = loadAndRun(snapshotProgram(false), s);
    }
    EXPECT_EQ(SIM_END_ERROR, end);
    ASSERT_EQ(1u, boxes().size());
    EXPECT_THAT(boxes()[0], HasSubstr("simul.dat"));
    EXPECT_EQ(before, scratch.read("simul.dat"));
    EXPECT_EQ(nullptr, fopen("simul.dat.new", "rb"));
}

TEST_F(ResultFileTest, Mode1ResumesAtTheSnapshotsTimeAndStates)
{
    SimParams s = testSettings(0.25);
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(snapshotProgram(false), s));
    ASSERT_EQ(1u, plot.points.size());
    const RecordedPoint atSnapshot = plot.points[0];

    // The same declarations with other code: a record at every point.
    s.MODE = 1;
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(snapshotProgram(true), s));
    ASSERT_GE(plot.points.size(), 2u);
    EXPECT_EQ(0.5, plot.points[0].x);
    EXPECT_EQ(atSnapshot.values[0], plot.points[0].values[0]);
    // It goes on from there: x = e^-t.
    EXPECT_NEAR(1.0, plot.points.back().x, 1e-12);
    EXPECT_NEAR(std::exp(-1.0), plot.points.back().values[0], 1e-4);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ResultFileTest, Mode1WithoutASnapshotStartsFromTheInitialValues)
{
    SimParams s = testSettings(0.25);
    s.MODE = 1;
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(snapshotProgram(true), s));
    ASSERT_FALSE(plot.points.empty());
    EXPECT_EQ(0.0, plot.points[0].x);
    EXPECT_EQ(1.0, plot.points[0].values[0]);
}

TEST_F(ResultFileTest, AnotherProgramsSnapshotIsRefused)
{
    SimParams s = testSettings(0.25);
    ASSERT_EQ(SIM_END_NORMAL, loadAndRun(snapshotProgram(false), s));

    // w is an output here: one row's flags differ, the size is the same.
    std::string other = snapshotProgram(true);
    other.replace(other.find("\"w\"   // 1"), 10, "\"w\"  SAVE // 1");
    s.MODE = 1;
    ASSERT_TRUE(setResultFileName(s, "resumed.txt"));
    EXPECT_EQ(SIM_END_PARAMETERS, loadAndRun(other, s));
    ASSERT_EQ(1u, boxes().size());
    EXPECT_THAT(boxes()[0], HasSubstr("Fehler aufgrund falscher Simulationsparameter!"));
    EXPECT_FALSE(scratch.exists("resumed.txt"));

    // A file cut short does not fit either.
    const std::string bytes = scratch.read("simul.dat");
    scratch.write("simul.dat", bytes.substr(0, bytes.size() - 3));
    EXPECT_EQ(SIM_END_PARAMETERS, loadAndRun(snapshotProgram(true), s));
}

} // namespace
