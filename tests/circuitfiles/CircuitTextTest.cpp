// Circuit text: the writer against golden files, write-read-write round
// trips, insertion (paste mode), the reader's messages and bad input.
// Golden files live in fixtures/golden; KYT_UPDATE_GOLDEN=1 rewrites them.
#include "CircuitTextSupport.h"
#include "FileLayer.h"
#include "LocalLibrary.h"
#include "ResString.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

void markSymbol(BlockObject* b, int group, int i)
{
    int at = b->symbolMarkIndex(group, i);
    ASSERT_GE(at, 0);
    BlockObject::store(b->symbolMarks, at, 1);
}

// The sample: a text block of three lines with a quote, a frame, a mirrored
// control block with a string parameter, a wizard block of library Local,
// a step into a PT1, connections with end A an output and an input, marks
// of every group and settings with a very small step.
void buildSample(TextWorld& w, CircuitModel& m)
{
    BlockObject* text = w.add(m, "text.blk", Point(2, 2));
    text->setText("Regelkreis\r\nmit \"PT1\"\r\nund PID");
    BlockObject* frame = w.add(m, "frame.blk", Point(1, 10));
    BlockObject* step = w.add(m, "sprung.blk", Point(3, 12));
    step->setParameterValue("t0", "1");
    BlockObject* pt1 = w.add(m, "pt1.blk", Point(12, 12));
    pt1->setParameterValue("K", "2");
    pt1->setParameterValue("T", "0.5");
    BlockObject* pid = w.add(m, "pid.blk", Point(24, 12));
    pid->setParameterValue("title", "Regler A");
    BlockObject* wizard = w.add(m, "wizard.blk", Point(12, 22), 1);
    ASSERT_TRUE(text && frame && step && pt1 && pid && wizard);
    ConnectionObject* c1 = m.createConnection(step, PortRef{2, 1}, pt1, PortRef{1, 1});
    ASSERT_TRUE(c1);
    c1->appendInterpoint(8, 13);
    c1->appendInterpoint(9, 14);
    ConnectionObject* c2 = m.createConnection(pid, PortRef{1, 1}, pt1, PortRef{2, 1});
    ASSERT_TRUE(c2);
    c2->appendInterpoint(22, 13);
    c2->appendInterpoint(20, 16);
    c2->appendInterpoint(19, 14);
    ConnectionObject* c3 = m.createConnection(pt1, PortRef{2, 1}, wizard, PortRef{1, 1});
    ASSERT_TRUE(c3);
    markSymbol(pt1, SYMBOL_OUTPUT, 0);
    markSymbol(pt1, SYMBOL_STATE, 0);
    markSymbol(pt1, SYMBOL_DERIVATIVE, 0);
    markSymbol(pt1, SYMBOL_PARAMETER, 1);
    markSymbol(pid, SYMBOL_VARIABLE, 0);
    SimParams sim = defaultSimParams();
    setResultFileName(sim, "ergebnis.dat");
    sim.IALG = 1;
    sim.INITSTEP = 0.01;
    sim.MINSTEP = 1e-12;
    w.workspace.setSimParams(sim);
}

std::string goldenPath(const std::string& name)
{
    return kFixtures + "/golden/" + name;
}

void expectGolden(const std::string& name, const std::string& text)
{
    if (getenv("KYT_UPDATE_GOLDEN")) {
        writeFileBytes(goldenPath(name), text);
        return;
    }
    EXPECT_EQ(readFileBytes(goldenPath(name)), text) << name;
}

} // namespace

// ---- Writer ----

TEST(CircuitWriter, GoldenFiles)
{
    {
        TextWorld w;
        CircuitModel m;
        expectGolden("empty.kyt", w.text(m));
    }
    {
        // The example block of a single PT1.
        TextWorld w;
        CircuitModel m;
        BlockObject* b = w.add(m, "pt1.blk", Point(10, 12));
        b->setParameterValue("K", "2.");
        std::string text = w.text(m);
        size_t from = text.find("USE ");
        size_t to = text.find("ENDUSE\n");
        ASSERT_NE(std::string::npos, to);
        expectGolden("example-block.txt", text.substr(from, to + 7 - from));
    }
    {
        TextWorld w;
        CircuitModel m;
        buildSample(w, m);
        expectGolden("sample.kyt", w.text(m));
        SettingsPlotWindow plot;
        plotOszi = &plot;
        expectGolden("sample-plot.kyt", w.text(m));
        plotOszi = nullptr;
        expectGolden("sample-compiler.kyt", w.text(m, 1));

        // Marked only: the step and the PT1; the line into the PID is half
        // marked and stays out.
        for (GraphicObject* o : m.objects)
            if (o->kind() == 1) {
                BlockObject* b = static_cast<BlockObject*>(o);
                b->setMarked(b->typeName == String("sprung.blk") || b->typeName == String("pt1.blk"));
            }
        expectGolden("sample-marked.kyt", w.text(m, 0, 1));
        EXPECT_TRUE(w.rec.sink.boxes.empty());
    }
}

TEST(CircuitWriter, SecondWriteNumbersFromOneAgain)
{
    TextWorld w;
    CircuitModel m;
    BlockObject* a = w.add(m, "pt1.blk", Point(2, 2));
    BlockObject* b = w.add(m, "pt1.blk", Point(12, 2));
    std::string first = w.text(m);
    EXPECT_STREQ("B_1", a->name.text());
    EXPECT_STREQ("B_2", b->name.text());
    m.removeBlock(a);
    w.text(m);
    EXPECT_STREQ("B_1", b->name.text());
}

TEST(CircuitWriter, MissingLocalBlockFileIsReportedAndLeftOut)
{
    TextWorld w;
    CircuitModel m;
    BlockObject* wizard = w.add(m, "wizard.blk", Point(2, 2), 1);
    ASSERT_TRUE(wizard);
    remove(joinPath(LocalBlockLibrary::directory().text(), wizard->typeName.text()).text());
    std::string text = w.text(m);
    EXPECT_EQ(std::string::npos, text.find("@START_BLOCK"));
    ASSERT_EQ(1u, w.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, w.rec.sink.boxes[0].find(wizard->typeName.text()));
}

// ---- Reader: round trips ----

TEST(CircuitReaderBody, SampleRoundTrips)
{
    TextWorld w;
    CircuitModel m;
    buildSample(w, m);
    // The quote of the text is written as "_"; the model then holds it so.
    for (GraphicObject* o : m.objects)
        if (o->kind() == 1 && static_cast<BlockObject*>(o)->typeName == String("text.blk"))
            static_cast<BlockObject*>(o)->setText("Regelkreis\r\nmit _PT1_\r\nund PID");
    roundTrip(w, m);
}

TEST(CircuitReaderBody, InterpointsKeepTheirOrder)
{
    // Three points on lines whose end A is an output and an input: after
    // reading, each list runs from end A towards end B as drawn.
    TextWorld w;
    CircuitModel m;
    BlockObject* step = w.add(m, "sprung.blk", Point(2, 2));
    BlockObject* pt1 = w.add(m, "pt1.blk", Point(20, 2));
    BlockObject* g = w.add(m, "pt1.blk", Point(40, 2));
    ConnectionObject* c1 = m.createConnection(step, PortRef{2, 1}, pt1, PortRef{1, 1});
    ConnectionObject* c2 = m.createConnection(g, PortRef{1, 1}, pt1, PortRef{2, 1});
    ASSERT_TRUE(c1 && c2);
    for (auto p : {Point(8, 3), Point(10, 8), Point(15, 4)})
        c1->appendInterpoint(p.x(), p.y());
    for (auto p : {Point(36, 3), Point(30, 9), Point(27, 4)})
        c2->appendInterpoint(p.x(), p.y());
    roundTrip(w, m);
}

TEST(CircuitReaderBody, LocalBlockWithoutFinalLineEnd)
{
    TextWorld w;
    CircuitModel m;
    BlockObject* wizard = w.add(m, "wizard.blk", Point(2, 2), 1);
    ASSERT_TRUE(wizard);
    std::string path = joinPath(LocalBlockLibrary::directory().text(), wizard->typeName.text()).text();
    writeFileBytes(path, "$ WIZARD Laplace \"1/(1+s)\"\nBLOCK G;\nOUTPUT y;\nINPUT u;\nSIM\nENDBLOCK");
    std::string text = roundTrip(w, m);
    EXPECT_NE(std::string::npos, text.find("ENDBLOCK\n@END_BLOCK\n"));
    EXPECT_EQ("$ WIZARD Laplace \"1/(1+s)\"\nBLOCK G;\nOUTPUT y;\nINPUT u;\nSIM\nENDBLOCK\n",
              readFileBytes(path));
}

TEST(CircuitReaderBody, ResultFileNamesWithBlanksAndSeparators)
{
    const char* names[] = {"C:\\Ergebnisse\\lauf 1.dat", "a;b.dat", "x=1,y.dat", "c:/daten/r.dat", "plain.dat"};
    for (const char* name : names) {
        TextWorld w;
        CircuitModel m;
        w.add(m, "pt1.blk", Point(2, 2));
        SimParams sim = defaultSimParams();
        setResultFileName(sim, name);
        sim.XVAR = 3;
        w.workspace.setSimParams(sim);
        roundTrip(w, m);
        SimParams after;
        w.workspace.getSimParams(after);
        EXPECT_STREQ(name, after.FNAME);
        EXPECT_EQ(3, after.XVAR) << name;
    }
}

TEST(CircuitReaderBody, CommentSignsInsideQuotes)
{
    const char* nasty = "a # b // c /* d";
    TextWorld w;
    CircuitModel m;
    BlockObject* pt1 = w.add(m, "pt1.blk", Point(2, 2));
    BlockObject* pid = w.add(m, "pid.blk", Point(20, 2));
    pt1->setText(nasty);
    ASSERT_EQ(1, sNBase->rename(pt1->signalName(1).text(), nasty));
    pid->setParameterValue("title", nasty);
    std::string text = roundTrip(w, m);
    EXPECT_NE(std::string::npos, text.find(std::string("$ TEXT \"") + nasty + "\""));

    // A block description too.
    auto b = CircuitWorld().described("BLOCK x;\nPARAMETER p STRING = \"a # b /* c\" \"x // y\";\n");
    EXPECT_EQ(0, b->errorFlag);
    EXPECT_STREQ("a # b /* c", BlockObject::at(b->parameterValues, 0).text());
    EXPECT_STREQ("x // y", BlockObject::at(b->parameterComments, 0).text());
}

// ---- Reader: insertion ----

TEST(CircuitReaderBody, PasteRenamesMovesMarksAndKeepsSettings)
{
    TextWorld w;
    std::string text;
    {
        CircuitModel source;
        BlockObject* step = w.add(source, "sprung.blk", Point(3, 4));
        BlockObject* pt1 = w.add(source, "pt1.blk", Point(12, 4));
        ConnectionObject* c = source.createConnection(step, PortRef{2, 1}, pt1, PortRef{1, 1});
        ASSERT_TRUE(c);
        c->appendInterpoint(8, 5);
        c->appendInterpoint(9, 7);
        markSymbol(step, SYMBOL_OUTPUT, 0);
        text = w.text(source);
        source.clear();
    }
    ASSERT_NE(std::string::npos, text.find("SAVE  B_1.y;"));

    CircuitModel m;
    BlockObject* old = w.add(m, "pt1.blk", Point(30, 30));
    old->setName("B_1");
    SimParams sim;
    w.workspace.getSimParams(sim);
    setResultFileName(sim, "out.dat");
    w.workspace.setSimParams(sim);
    w.workspace.setPlotParams(0, 1, 2.0, 1.0, 0.0, 0.0);
    SettingsPlotWindow plot;
    plotOszi = &plot;

    w.read(m, text, 1);
    EXPECT_TRUE(w.rec.viewer.calls.empty());
    EXPECT_EQ("block B_1 pt1.blk Standard at 30,30 size 6x5 mirrored 0 kind 1 text [PT1] icon pt1.ico 4x3 "
              "layout 1 2 1 0 1 0 1 scale 1 colours 0 0 0 0 wizard 0 params K=1.0 T=1.0 signals y marks 0 0 0 0 0 "
              "selected 0\n"
              "block B_2 sprung.blk Standard at 4,5 size 4x3 mirrored 0 kind 1 text [Sprung] icon sprung.ico 2x2 "
              "layout 1 1 1 1 1 0 0 scale 1 colours 0 0 0 0 wizard 0 params t0=0 h=1 signals y_1 marks 1 0 0 "
              "selected 1\n"
              "block B_3 pt1.blk Standard at 13,5 size 6x5 mirrored 0 kind 1 text [PT1] icon pt1.ico 4x3 "
              "layout 1 2 1 0 1 0 1 scale 1 colours 0 0 0 0 wizard 0 params K=1.0 T=1.0 signals y_2 marks 0 0 0 0 0 "
              "selected 1\n"
              "line B_2.1 -> B_3.1 via 9,6* 10,8*\n",
              describe(m));
    SimParams after;
    w.workspace.getSimParams(after);
    EXPECT_STREQ("out.dat", after.FNAME);
    PlotParams plotAfter;
    w.workspace.getPlotParams(plotAfter);
    EXPECT_EQ(2.0, plotAfter.xscale);
    EXPECT_EQ(0, plotAfter.autoX);
    EXPECT_EQ(0, plot.newSettings);

    // A load resets what the text does not set and tells the window.
    m.clear();
    w.read(m, text, 0);
    w.workspace.getSimParams(after);
    EXPECT_STREQ("nul", after.FNAME);
    EXPECT_EQ(1, plot.newSettings);
}

// ---- Reader: messages ----

namespace {

struct Shown {
    std::string text;
    int line;
    int column;
    bool error;
};

std::vector<Shown> shownMessages(const RecordingViewer& viewer)
{
    std::vector<Shown> result;
    for (const ViewerCall& call : viewer.calls) {
        Shown s{"", 0, 0, call.message.compare(0, 6, "FEHLER") == 0};
        size_t at = call.message.find("Zeile ");
        if (at != std::string::npos)
            sscanf(call.message.c_str() + at, "Zeile %d, vor oder in Spalte %d", &s.line, &s.column);
        size_t hint = call.message.find('\n', call.message.find('\n') + 1);
        s.text = hint == std::string::npos ? "" : call.message.substr(hint + 1);
        result.push_back(s);
    }
    return result;
}

const std::string kHead = "CIRCUIT a;\n";
const std::string kPt1 = "USE pt1.blk AS B_1\n$ BLOCKLIB Standard\nENDUSE\n";
const std::string kEnd = "ENDCIRCUIT a;\n";

} // namespace

TEST(CircuitReaderBody, MessagesTable)
{
    const struct {
        const char* name;
        std::string text;
        // The messages shown, in order: hint id (0: the literal), line, column
        // (the scanner stands on the character after the token it judged).
        std::vector<std::vector<int>> messages;
        int blocks;
    } cases[] = {
        {"no CIRCUIT", "# Kommentar\nUSE pt1.blk AS B_1;\n", {{19404, 3, 0}}, 0},
        {"USE without AS", kHead + "USE pt1.blk B_1\n", {{19413, 3, 0}}, 0},
        {"USE not closed", kHead + "USE pt1.blk AS B_1\n$ BLOCKLIB Standard\n;\n", {{19412, 4, 1}}, 1},
        {"CONNECT without TO", kHead + kPt1 + "CONNECT B_1.y B_1.u;\n", {{19416, 5, 20}}, 1},
        {"no INTERPOINTS", kHead + kPt1 + "CONNECT B_1.y TO B_1.u;\n$ PUNKTE\n" + kEnd, {{19428, 7, 0}}, 1},
        {"unknown parameter", kHead + "USE pt1.blk AS B_1\n$ BLOCKLIB Standard\n  Q = 3;\nENDUSE\n" + kEnd,
         {{19414, 4, 8}}, 1},
        {"no source block", kHead + kPt1 + "CONNECT B_9.y TO B_1.u;\n" + kEnd, {{19430, 5, 23}}, 1},
        {"no destination block", kHead + kPt1 + "CONNECT B_1.y TO B_9.u;\n" + kEnd, {{19431, 5, 23}}, 1},
        {"comma without item", kHead + kPt1 + "SAVE B_1.y, ;\n" + kEnd, {{19406, 5, 13}}, 1},
        {"destination keyword", kHead + kPt1 + "CONNECT B_1.y TO SAVE;\n" + kEnd, {{0, 5, 22}}, 1},
        {"not closed", kHead + kPt1 + "SAVE;\nENDE a;\n", {{19410, 6, 5}}, 1},
        {"bad settings key", kHead + kPt1 + kEnd + "$ IALG 3\n$ FOO 1\n$ XVAR 2\n", {{19429, 7, 6}}, 1},
    };
    for (const auto& c : cases) {
        TextWorld w;
        CircuitModel m;
        w.read(m, c.text);
        std::vector<Shown> shown = shownMessages(w.rec.viewer);
        ASSERT_EQ(c.messages.size(), shown.size()) << c.name;
        for (size_t i = 0; i < shown.size(); ++i) {
            int id = c.messages[i][0];
            std::string hint = id ? getResString(id) : kExpectConnectSaveEnd;
            if (id == 19429)
                hint += "FOO<!";
            bool warning = id == 19414 || id == 19430 || id == 19431 || id == 19406;
            EXPECT_EQ(hint, shown[i].text) << c.name;
            EXPECT_EQ(c.messages[i][1], shown[i].line) << c.name;
            EXPECT_EQ(c.messages[i][2], shown[i].column) << c.name;
            EXPECT_EQ(!warning, shown[i].error) << c.name;
        }
        int blocks = 0;
        for (GraphicObject* o : m.objects)
            blocks += o->kind() == 1;
        EXPECT_EQ(c.blocks, blocks) << c.name;
    }
}

// An empty signal name would leave its column unnamed in the result file and
// the exports: it is refused with a warning, and the output keeps its name;
// a name after it still applies.
TEST(CircuitReaderBody, AnEmptySignalNameIsRefusedAndTheOutputKeepsItsName)
{
    TextWorld w;
    CircuitModel m;
    const std::string layout = "$ BLOCKDIM 1 1 6 4\n$ TEXT \"PT1\"\n$ TEXTALIG 1 2 1 0\n$ ICONNAME \"pt1.ico\"\n"
                               "$ ICONDIM 4 3\n$ ICONALIG 1 0 1\n";
    w.read(m, kHead + "USE pt1.blk AS B_1\n$ BLOCKLIB Standard\n" + layout +
                  "$ SIGNAMES\n$    \"\"\n$ ENDSIGNAMES\nENDUSE\n" + "USE pt1.blk AS B_2\n$ BLOCKLIB Standard\n" +
                  layout + "$ SIGNAMES\n$    \"Regelgroesse\"\n$ ENDSIGNAMES\nENDUSE\n" + kEnd);
    BlockObject* first = m.findBlockByName("B_1");
    BlockObject* second = m.findBlockByName("B_2");
    ASSERT_TRUE(first && second);
    EXPECT_STREQ("y", first->signalName(1).text());
    EXPECT_STREQ("Regelgroesse", second->signalName(1).text());
    std::vector<Shown> shown = shownMessages(w.rec.viewer);
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(getResString(kResEmptySignalName), shown[0].text);
    EXPECT_FALSE(shown[0].error);
    EXPECT_EQ(0, w.registry.rename("y", ""));
    EXPECT_EQ(1, w.registry.contains("y"));
}

// Random circuits of pt1 blocks with clashing instance names, signal names
// (empty ones among them) and lines between random ends, some cut short:
// every read leaves unique block names and lines between blocks of the
// model, and what was read whole reads back after a save with the same
// blocks, lines and signal names. KYT_READER_ROUNDS sets the number of
// circuits (a longer run by hand).
TEST(CircuitBadInput, RandomCircuitsReadUniqueAndReadBack)
{
    const char* names[] = {"B_1", "B_2", "B_3", "X", "B_10"};
    const char* signalNames[] = {"", "y", "y_1", "u", "Sig 1"};
    const char* ports[] = {"y", "u", "x", "q"};
    std::mt19937 random(11);
    const char* rounds = getenv("KYT_READER_ROUNDS");
    const int n = rounds ? atoi(rounds) : 100;
    for (int round = 0; round < n; ++round) {
        std::string text = kHead;
        const int blocks = 1 + random() % 12;
        for (int i = 0; i < blocks; ++i)
            text += std::string("USE pt1.blk AS ") + names[random() % 5] +
                    "\n$ BLOCKLIB Standard\n$ BLOCKDIM " + std::to_string(1 + 8 * i) +
                    " 1 6 4\n$ TEXT \"PT1\"\n$ TEXTALIG 1 2 1 0\n$ ICONNAME \"pt1.ico\"\n$ ICONDIM 4 3\n"
                    "$ ICONALIG 1 0 1\n$ SIGNAMES\n$    \"" +
                    signalNames[random() % 5] + "\"\n$ ENDSIGNAMES\nENDUSE\n";
        const int lines = random() % 10;
        for (int i = 0; i < lines; ++i)
            text += std::string("CONNECT ") + names[random() % 5] + "." + ports[random() % 4] + " TO " +
                    names[random() % 5] + "." + ports[random() % 4] + ";\n";
        text += kEnd;
        const bool cut = random() % 4 == 0;
        if (cut)
            text = text.substr(0, random() % text.size());
        SCOPED_TRACE(text);

        TextWorld w;
        CircuitModel m;
        w.read(m, text);
        std::set<std::string> seen;
        std::vector<std::string> signals;
        int lineCount = 0;
        for (GraphicObject* o : m.objects) {
            if (o->kind() == 1) {
                BlockObject* b = static_cast<BlockObject*>(o);
                ASSERT_TRUE(seen.insert(b->name.text()).second) << b->name.text();
                for (int k = 1; k <= b->outputCount; ++k) {
                    ASSERT_GT(b->signalName(k).getLength(), 0u);
                    signals.push_back(b->signalName(k).text());
                }
            } else if (o->kind() == 2) {
                ConnectionObject* c = static_cast<ConnectionObject*>(o);
                ASSERT_TRUE(m.contains(c->blockA) && m.contains(c->blockB));
                ++lineCount;
            }
        }
        if (cut)
            continue;
        const std::string saved = w.text(m);
        m.clear();
        CircuitModel again;
        w.read(again, saved);
        std::vector<std::string> signalsAgain;
        int blocksAgain = 0;
        int linesAgain = 0;
        for (GraphicObject* o : again.objects) {
            if (o->kind() == 1) {
                BlockObject* b = static_cast<BlockObject*>(o);
                ++blocksAgain;
                for (int k = 1; k <= b->outputCount; ++k)
                    signalsAgain.push_back(b->signalName(k).text());
            }
            linesAgain += o->kind() == 2;
        }
        EXPECT_EQ(static_cast<int>(seen.size()), blocksAgain);
        EXPECT_EQ(lineCount, linesAgain);
        EXPECT_EQ(signals, signalsAgain);
        again.clear();
    }
}

TEST(CircuitReaderBody, WarningsLetReadingGoOnAndSettingsStayUntilAnError)
{
    TextWorld w;
    CircuitModel m;
    w.read(m, kHead + "USE pt1.blk AS B_1\n$ BLOCKLIB Standard\n  Q = 3;\n  K = 4;\nENDUSE\n" +
                  "CONNECT B_9.y TO B_1.u;\nSAVE B_1.y;\n" + kEnd + "$ IALG 3\n$ FOO 1\n$ XVAR 2\n");
    BlockObject* b = m.findBlockByName("B_1");
    ASSERT_TRUE(b);
    EXPECT_STREQ("4", BlockObject::at(b->parameterValues, 0).text());
    EXPECT_EQ(1, b->symbolMarks[0]);
    SimParams sim;
    w.workspace.getSimParams(sim);
    EXPECT_EQ(3, sim.IALG);
    EXPECT_EQ(0, sim.XVAR);
}

TEST(CircuitReaderBody, SaveItemsAndMissingSettings)
{
    const char* saves[] = {"SAVE B_1.y B_1.K;\n", "SAVE B_1.y, B_1.K;\n", "SAVE B_1.y;\nSAVE B_1.K;\n"};
    for (const char* save : saves) {
        TextWorld w;
        SimParams sim;
        w.workspace.getSimParams(sim);
        setResultFileName(sim, "alt.dat");
        sim.IALG = 4;
        w.workspace.setSimParams(sim);
        w.workspace.setPlotParams(0, 0, 3.0, 3.0, 1.0, 1.0);
        CircuitModel m;
        w.read(m, kHead + kPt1 + save + kEnd);
        EXPECT_TRUE(w.rec.viewer.calls.empty()) << save;
        BlockObject* b = m.findBlockByName("B_1");
        ASSERT_TRUE(b);
        // y, x, dx, K, T.
        EXPECT_EQ((std::vector<int>{1, 0, 0, 1, 0}), b->symbolMarks) << save;
        w.workspace.getSimParams(sim);
        EXPECT_STREQ("nul", sim.FNAME);
        EXPECT_EQ(4, sim.IALG);
        PlotParams plot;
        w.workspace.getPlotParams(plot);
        EXPECT_EQ(1, plot.autoX);
        EXPECT_EQ(1.0, plot.xscale);
    }
}

// ---- Bad input ----

TEST(CircuitBadInput, CutSampleAndRandomBytesReadWithoutHarm)
{
    TextWorld w;
    std::string sample;
    {
        CircuitModel m;
        buildSample(w, m);
        sample = w.text(m);
        m.clear();
    }
    std::vector<std::string> inputs;
    for (size_t n = 0; n <= sample.size(); ++n)
        inputs.push_back(sample.substr(0, n));
    std::mt19937 rng(7);
    for (int i = 0; i < 20; ++i) {
        std::string noise(2000, '\0');
        for (char& c : noise)
            c = static_cast<char>(rng() & 0xFF);
        inputs.push_back(noise);
        // Noise after a sound start reaches the statement readers.
        inputs.push_back(sample.substr(0, sample.find("USE ")) + noise);
    }
    inputs.push_back(sample);
    size_t most = 0;
    for (const std::string& text : inputs) {
        CircuitModel m;
        w.read(m, text);
        // What was read before the cut stays; a cut name may keep a block
        // from being made, nothing makes more.
        EXPECT_LE(m.objects.size(), 9u) << text.size();
        most = std::max(most, m.objects.size());
        m.clear();
        w.rec.viewer.calls.clear();
        w.rec.sink.boxes.clear();
    }
    EXPECT_EQ(9u, most);
}

TEST(CircuitBadInput, FailedSaveLeavesTheOldFile)
{
    TextWorld w;
    CircuitModel m;
    buildSample(w, m);
    const std::string old = "alte Schaltung\n";

    // A directory that does not exist.
    EXPECT_FALSE(m.saveCircuit(w.scratch.file("fehlt/s.kyt").c_str(), 0, 0));

    // A stream that fails after 100 bytes: the file size limit of the process.
    std::string path = w.scratch.write("s.kyt", old);
    struct rlimit saved;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 100;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
    bool result = m.saveCircuit(path.c_str(), 0, 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_FALSE(result);
    EXPECT_EQ(old, w.scratch.read("s.kyt"));
    EXPECT_FALSE(w.scratch.exists("s.kyt.new"));

    // A read-only directory (which does not stop the superuser).
    w.scratch.mkdir("fest");
    std::string locked = w.scratch.write("fest/s.kyt", old);
    chmod(w.scratch.file("fest").c_str(), 0555);
    if (geteuid() != 0) {
        EXPECT_FALSE(m.saveCircuit(locked.c_str(), 0, 0));
        EXPECT_EQ(old, w.scratch.read("fest/s.kyt"));
    }
    chmod(w.scratch.file("fest").c_str(), 0755);

    // And a sound save replaces it.
    EXPECT_TRUE(m.saveCircuit(path.c_str(), 0, 0));
    EXPECT_NE(old, w.scratch.read("s.kyt"));
}

TEST(CircuitReaderBody, ClashingInstanceNamesBindToTheLaterBlock)
{
    TextWorld w;
    CircuitModel m;
    const std::string use = "USE pt1.blk AS x\n$ BLOCKLIB Standard\nENDUSE\n";
    w.read(m, kHead + use + use + "USE sprung.blk AS q\n$ BLOCKLIB Standard\nENDUSE\n" +
                  "CONNECT q.y TO x.u;\nSAVE x.y;\n" + kEnd);
    EXPECT_TRUE(w.rec.viewer.calls.empty());
    BlockObject* first = m.findBlockByName("x");
    BlockObject* second = m.findBlockByName("B_1");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(0, first->symbolMarks[0]);
    EXPECT_EQ(1, second->symbolMarks[0]);
    ConnectionObject* c = m.findConnectionAtPort(second, PortRef{1, 1}, 1);
    ASSERT_TRUE(c);
    EXPECT_FALSE(m.findConnectionAtPort(first, PortRef{1, 1}, 1));
}
