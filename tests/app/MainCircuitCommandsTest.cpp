// The main window's file and clip-file commands on a circuit of the fixture
// library Standard, in a scratch installation.
#include "MainCircuitCommands.h"

#include "BlockObject.h"
#include "CircuitModel.h"
#include "CircuitReader.h"
#include "ConnectionObject.h"
#include "Icon.h"
#include "LocalLibrary.h"
#include "ResString.h"
#include "SignalNameRegistry.h"
#include "TempDirFixture.h"
#include "TestSinks.h"
#include "Workspace.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>
#include <sys/resource.h>

namespace {

const std::string kFixtures = KYT_CIRCUIT_FIXTURES;

class FixedClock : public Clock {
public:
    ClockTime now() const override { return ClockTime{1970, 1, 1, 4, 0, 0, 0}; }
};

// The box of a report: the level's word (20908 "Warnung:", 20909
// "Fehler:"), a blank and the text.
std::string reported(unsigned int levelWord, unsigned int id, const std::string& name)
{
    char text[1200];
    snprintf(text, sizeof text, getResString(id), name.c_str());
    return std::string(getResString(levelWord)) + " " + text;
}

class MainCircuitCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.mkdir("local");
        scratch.mkdir("tmp");
        std::string ini = "CIRCUITDIR = " + scratch.path + ";\nICONDIR = " + kFixtures + "/icons;\nTEMPDIR = " +
                          scratch.file("tmp") + ";\nBLOCKLIBS\n    LIB Standard AT " + kFixtures +
                          "/standard;\n    LIB Local AT " + scratch.file("local") + ";\nENDBLOCKLIBS\n";
        readInstallationFile(workspace, scratch.write("kyt.ini", ini).c_str());
        setWorkspace(&workspace);
        sNBase = &registry;
        iconBase = &icons;
        previousClock = setCircuitClock(&clock);
        workspace.circuitName = "probe.kyt";
        LocalBlockLibrary().reset();
    }
    void TearDown() override
    {
        setCircuitClock(previousClock);
        iconBase = nullptr;
        sNBase = nullptr;
        setWorkspace(nullptr);
    }

    BlockObject* add(CircuitModel& m, const std::string& file, Point at)
    {
        BlockObject* b = m.createBlock(at, Point(6, 3), (kFixtures + "/standard/" + file).c_str(), "Standard", 1);
        EXPECT_TRUE(b) << file;
        return b;
    }
    // A step into a PT1, the line with two interpoints.
    void build(CircuitModel& m)
    {
        step = add(m, "sprung.blk", Point(2, 2));
        pt1 = add(m, "pt1.blk", Point(20, 2));
        ConnectionObject* c = m.createConnection(step, PortRef{2, 1}, pt1, PortRef{1, 1});
        ASSERT_TRUE(c);
        c->appendInterpoint(10, 3);
        c->appendInterpoint(12, 8);
    }
    std::string text(CircuitModel& m, int markedOnly = 0)
    {
        EXPECT_TRUE(m.saveCircuit(scratch.file("text.kyt").c_str(), 0, markedOnly));
        return scratch.read("text.kyt");
    }
    int countMarked(CircuitModel& m)
    {
        int n = 0;
        for (GraphicObject* o : m.objects)
            n += o->isMarked() ? 1 : 0;
        return n;
    }

    RecordingScope rec;
    ScratchDir scratch;
    Workspace workspace;
    SignalNameRegistry registry;
    IconStore icons;
    FixedClock clock;
    Clock* previousClock = nullptr;
    BlockObject* step = nullptr;
    BlockObject* pt1 = nullptr;
};

TEST_F(MainCircuitCommandsTest, SavedCircuitLoadsAsItWas)
{
    CircuitModel m;
    build(m);
    m.circuitSaved = 0;
    const std::string path = scratch.file("regler.kyt");
    ASSERT_EQ(1, saveWholeCircuit(m, workspace, path.c_str()));
    EXPECT_EQ(1, m.circuitSaved);
    EXPECT_STREQ(path.c_str(), workspace.circuitName.text());
    EXPECT_STREQ(scratch.path.c_str(), workspace.CIRCUITDIR.text());
    EXPECT_STREQ(path.c_str(), workspace.recentFiles[0].text());
    const std::string written = scratch.read("regler.kyt");

    // New circuit (its signal names are free again), then Open: the same
    // blocks, connections, interpoints and settings.
    const size_t objects = m.objects.size();
    m.clear();
    CircuitModel loaded;
    LocalBlockLibrary().reset();
    CircuitReader reader(0);
    ASSERT_EQ(1, reader.openFile(path.c_str()));
    loaded.readCircuit(reader);
    reader.closeFile();
    EXPECT_EQ(objects, loaded.objects.size());
    // The text names the circuit as it was named when it was written.
    workspace.circuitName = "probe.kyt";
    EXPECT_EQ(written, text(loaded));
    EXPECT_TRUE(rec.sink.boxes.empty());
}

TEST_F(MainCircuitCommandsTest, SaveThatFailsMidwayKeepsTheOldFileAndTheChangedState)
{
    CircuitModel m;
    build(m);
    const std::string path = scratch.write("regler.kyt", "die alte Fassung\n");
    workspace.addRecentFile("alt.kyt");
    m.circuitSaved = 0;

    // Every write past the 100th byte of a file fails.
    signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 100;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limited));
    const int saved = saveWholeCircuit(m, workspace, path.c_str());
    const int fragment = saveMarkedObjects(m, path.c_str());
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);

    EXPECT_EQ(0, saved);
    EXPECT_EQ(0, fragment);
    EXPECT_EQ("die alte Fassung\n", scratch.read("regler.kyt"));
    EXPECT_FALSE(scratch.exists("regler.kyt.new"));
    EXPECT_EQ(0, m.circuitSaved);
    EXPECT_STREQ("probe.kyt", workspace.circuitName.text());
    EXPECT_STREQ("alt.kyt", workspace.recentFiles[0].text());
    ASSERT_EQ(2u, rec.sink.boxes.size());
    EXPECT_EQ(reported(20908, 19200, path), rec.sink.boxes[0]);
    EXPECT_EQ(reported(20908, 19200, path), rec.sink.boxes[1]);
}

TEST_F(MainCircuitCommandsTest, FragmentHoldsOnlyTheMarkedObjects)
{
    CircuitModel m;
    build(m);
    m.unmarkAll();
    pt1->setMarked(1);
    const std::string path = scratch.file("teil.kyf");
    ASSERT_EQ(1, saveMarkedObjects(m, path.c_str()));
    EXPECT_EQ(text(m, 1), scratch.read("teil.kyf"));
    CircuitModel part;
    CircuitReader reader(1);
    ASSERT_EQ(1, reader.openFile(path.c_str()));
    part.readCircuit(reader);
    reader.closeFile();
    EXPECT_EQ(1u, part.objects.size());
}

TEST_F(MainCircuitCommandsTest, ClipFilesCopyCutPasteAndDuplicate)
{
    CircuitModel m;
    build(m);

    // Paste before anything was copied: nothing is added, nothing shows,
    // and the marks are gone as after every paste.
    EXPECT_EQ(0, pasteFromClipFile(m));
    EXPECT_EQ(3u, m.objects.size());
    EXPECT_EQ(0, countMarked(m));

    pt1->setMarked(1);
    ASSERT_EQ(1, copyToClipFile(m));
    EXPECT_TRUE(scratch.exists("tmp/kytclip.tmp"));
    EXPECT_EQ(text(m, 1), scratch.read("tmp/kytclip.tmp"));
    ASSERT_EQ(1, pasteFromClipFile(m));
    EXPECT_EQ(4u, m.objects.size());
    EXPECT_EQ(1, countMarked(m));
    EXPECT_FALSE(pt1->isMarked());
    EXPECT_TRUE(m.objects.back()->isMarked());

    // Duplicate: marked copies, and kytdup.tmp holds "empty".
    ASSERT_EQ(1, duplicateMarked(m));
    EXPECT_EQ(5u, m.objects.size());
    EXPECT_EQ(1, countMarked(m));
    EXPECT_EQ("empty", scratch.read("tmp/kytdup.tmp"));

    // Cut takes the marked block and its connection out.
    m.unmarkAll();
    step->setMarked(1);
    ASSERT_EQ(1, cutToClipFile(m));
    EXPECT_EQ(3u, m.objects.size());
    EXPECT_FALSE(m.contains(step));
    ASSERT_EQ(1, pasteFromClipFile(m));
    EXPECT_EQ(4u, m.objects.size());
    EXPECT_TRUE(rec.sink.boxes.empty());
}

TEST_F(MainCircuitCommandsTest, WithoutTempDirNothingIsCopiedCutOrDuplicated)
{
    CircuitModel m;
    build(m);
    m.unmarkAll();
    step->setMarked(1);
    const std::string gone = scratch.file("weg");
    workspace.setTempDir(gone.c_str());
    EXPECT_EQ(0, duplicateMarked(m));
    EXPECT_EQ(0, copyToClipFile(m));
    EXPECT_EQ(0, cutToClipFile(m));
    EXPECT_EQ(3u, m.objects.size());
    EXPECT_TRUE(m.contains(step));
    ASSERT_EQ(3u, rec.sink.boxes.size());
    for (const std::string& box : rec.sink.boxes)
        EXPECT_EQ(reported(20909, 19201, gone), box);
}

TEST_F(MainCircuitCommandsTest, UndoBringsADeletedBlockBackWithItsConnections)
{
    CircuitModel m;
    build(m);
    BlockObject* after = add(m, "pt1.blk", Point(40, 2));
    ASSERT_TRUE(m.createConnection(pt1, PortRef{2, 1}, after, PortRef{1, 1}));
    const std::string before = text(m);

    // The PT1 in the middle goes with both its lines: three undo entries.
    m.unmarkAll();
    pt1->setMarked(1);
    m.removeMarkedObjects();
    ASSERT_EQ(2u, m.objects.size());
    ASSERT_EQ(3u, m.undoList.size());

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(1, undoDeletion(m));
    EXPECT_TRUE(m.undoList.empty());
    EXPECT_EQ(0, undoDeletion(m));
    // The block comes back last in the list; its name, its lines and their
    // interpoints in their order are as before.
    ASSERT_EQ(5u, m.objects.size());
    m.unmarkAll();
    CircuitModel reread;
    const std::string path = scratch.write("wieder.kyt", text(m));
    m.clear();
    CircuitReader reader(0);
    ASSERT_EQ(1, reader.openFile(path.c_str()));
    reread.readCircuit(reader);
    reader.closeFile();
    int interpoints = 0;
    std::vector<std::pair<int, int>> order;
    for (GraphicObject* o : reread.objects)
        if (o->kind() == 2)
            for (const Interpoint& p : static_cast<ConnectionObject*>(o)->interpoints) {
                ++interpoints;
                order.push_back({p.x, p.y});
            }
    EXPECT_EQ(2, interpoints);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{10, 3}, {12, 8}}), order);
    EXPECT_NE(std::string::npos, before.find("CONNECT B_1.y TO B_2.u;"));
    EXPECT_TRUE(rec.sink.boxes.empty());
}

TEST_F(MainCircuitCommandsTest, UndoOfALocalWizardBlockKeepsItsFile)
{
    CircuitModel m;
    BlockObject* w = m.createBlock(Point(0, 0), Point(6, 3), (kFixtures + "/standard/wizard.blk").c_str(), "Standard", 0);
    ASSERT_TRUE(w);
    const std::string file = "local/" + std::string(w->typeName.text());
    const std::string bytes = scratch.read(file);
    ASSERT_FALSE(bytes.empty());
    auto indexed = [&] { return scratch.read("local/ablocks.bfl").find(w->typeName.text()) != std::string::npos; };
    ASSERT_TRUE(indexed());

    w->setMarked(1);
    m.removeMarkedObjects();
    EXPECT_FALSE(indexed());
    ASSERT_EQ(1, undoDeletion(m));
    EXPECT_EQ(bytes, scratch.read(file));
    EXPECT_TRUE(indexed());
    EXPECT_TRUE(rec.sink.boxes.empty());

    // Gone from the disk: 22011, and the block is back all the same.
    w->setMarked(1);
    m.removeMarkedObjects();
    remove(scratch.file(file).c_str());
    ASSERT_EQ(1, undoDeletion(m));
    EXPECT_TRUE(m.contains(w));
    ASSERT_EQ(1u, rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, rec.sink.boxes[0].find(getResString(22011)));
}

} // namespace

TEST_F(MainCircuitCommandsTest, ACircuitLoadedWithoutABlockOfItsOwnIsNotSavedOverItsFile)
{
    // A circuit with a block of its own in the embedded library; the block
    // is larger than any file may grow while it loads (a full Local).
    CircuitModel m;
    build(m);
    const std::string saved = text(m);
    const std::string block = "# " + std::string(300, '-') + "\nBLOCK E;\nINPUT u;\nOUTPUT y;\nSIM\ny = u;\nENDBLOCK\n";
    const std::string circuit = "@START_BFL\n@END_BFL\n@START_BLOCK \"eigen\"\n" + block +
                                "@END_BLOCK\n@END_LOCALLIB\n" + saved.substr(0, saved.find("CONNECT")) +
                                "USE eigen AS B_3 \n$ BLOCKLIB Local\nENDUSE\n" + saved.substr(saved.find("CONNECT"));
    const std::string path = scratch.write("eigen.kyt", circuit);
    m.clear();

    CircuitModel loaded;
    LocalBlockLibrary().reset();
    CircuitReader reader(0);
    ASSERT_EQ(1, reader.openFile(path.c_str()));
    signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 200;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limited));
    loaded.readCircuit(reader);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    reader.closeFile();
    // The step, the PT1 and the line between them; the block of its own is missing.
    ASSERT_EQ(3u, loaded.objects.size());
    ASSERT_EQ(1u, rec.sink.boxes.size());
    rec.sink.boxes.clear();

    // Save onto the file it came from: refused, the file keeps the block.
    workspace.circuitName = path.c_str();
    loaded.circuitSaved = 0;
    EXPECT_EQ(0, saveWholeCircuit(loaded, workspace, path.c_str()));
    EXPECT_EQ(circuit, scratch.read("eigen.kyt"));
    ASSERT_EQ(1u, rec.sink.boxes.size());
    EXPECT_EQ(reported(20908, 19445, path), rec.sink.boxes[0]);
    EXPECT_EQ(0, loaded.circuitSaved);

    // Under another name the shorter circuit is what the user chose to keep.
    const std::string other = scratch.file("ohne.kyt");
    EXPECT_EQ(1, saveWholeCircuit(loaded, workspace, other.c_str()));
    EXPECT_TRUE(scratch.exists("ohne.kyt"));
}
