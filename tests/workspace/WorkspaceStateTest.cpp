// The records, the grid, kyt.set, the recent files and the busy state.
#include "Workspace.h"

#include "FileLayer.h"
#include "RecordingUi.h"
#include "TempDirFixture.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void expectDefaultSimParams(const SimParams& p)
{
    EXPECT_STREQ("nul", p.FNAME);
    EXPECT_EQ(0, p.RMODE);
    EXPECT_EQ(1, p.HMODE);
    EXPECT_EQ(0, p.MODE);
    EXPECT_EQ(6, p.IALG);
    EXPECT_EQ(0.1, p.INITSTEP);
    EXPECT_EQ(1e-12, p.MINSTEP);
    EXPECT_EQ(1.0, p.MAXSTEP);
    EXPECT_EQ(1e-6, p.ABSERR);
    EXPECT_EQ(1e-6, p.RELERR);
    EXPECT_EQ(1e-6, p.LIMIT);
    EXPECT_EQ(0, p.XVAR);
}

TEST(WorkspaceRecordsTest, DefaultsHoldBeforeAndAfterReset)
{
    Workspace w;
    SimParams p;
    w.getSimParams(p);
    expectDefaultSimParams(p);
    PlotParams q;
    w.getPlotParams(q);
    EXPECT_EQ(1, q.autoX);
    EXPECT_EQ(1, q.autoY);
    EXPECT_EQ(1.0, q.xscale);
    EXPECT_EQ(1.0, q.yscale);
    EXPECT_EQ(0.0, q.xoff);
    EXPECT_EQ(0.0, q.yoff);
    EXPECT_EQ(nullptr, plotOszi);
    EXPECT_EQ(0, w.busy);
    EXPECT_EQ(1101, w.recentFileCommands[0]);
    EXPECT_EQ(1105, w.recentFileCommands[4]);
    EXPECT_EQ(209, w.plotWindowCommands[8]);

    p.IALG = 2;
    p.RELERR = 0.5;
    strcpy(p.FNAME, "ergebnis.dat");
    w.setSimParams(p);
    w.setPlotParams(0, 0, 2.0, 3.0, 4.0, 5.0);
    w.resetSimParams();
    w.resetPlotParams();
    w.getSimParams(p);
    expectDefaultSimParams(p);
    w.getPlotParams(q);
    EXPECT_EQ(1, q.autoX);
    EXPECT_EQ(1.0, q.yscale);
    EXPECT_EQ(0.0, q.yoff);
}

TEST(WorkspaceRecordsTest, ResultFileNameResetKeepsTheOtherSettings)
{
    Workspace w;
    SimParams p = defaultSimParams();
    p.IALG = 2;
    strcpy(p.FNAME, "ergebnis.dat");
    w.setSimParams(p);
    w.resetResultFileName();
    w.getSimParams(p);
    EXPECT_STREQ("nul", p.FNAME);
    EXPECT_EQ(2, p.IALG);
}

TEST(WorkspaceRecordsTest, UnterminatedResultFileNameIsCut)
{
    Workspace w;
    SimParams p = defaultSimParams();
    memset(p.FNAME, 'x', sizeof p.FNAME);
    w.setSimParams(p);
    SimParams q;
    w.getSimParams(q);
    EXPECT_EQ(std::string(79, 'x'), std::string(q.FNAME));
}

TEST(WorkspaceRecordsTest, GridIsStoredOdd)
{
    struct GridCase {
        GridSize in;
        GridSize stored;
    };
    const GridCase cases[] = {{{40, 40}, {41, 41}}, {{10, 7}, {11, 7}}, {{0, 0}, {1, 1}}, {{41, 41}, {41, 41}}};
    for (const GridCase& c : cases) {
        Workspace w;
        w.setGrid(c.in);
        EXPECT_EQ(c.stored.x, w.getGrid().x);
        EXPECT_EQ(c.stored.y, w.getGrid().y);
    }
}

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() { w.setTempDir(String(dir.path.c_str())); }
    ScratchDir dir;
    Workspace w;
};

struct GridFileCase {
    const char* what;
    const char* text;  // null: no kyt.set
    int x;
    int y;
};

TEST_F(SettingsFileTest, GridLines)
{
    const GridFileCase cases[] = {
        {"missing file", nullptr, 41, 41},
        {"values below 1", "GRID 0 10\n", 41, 41},
        {"no GRID line", "FILEx\n", 41, 41},
        {"values above 255", "GRID 999 999\n", 41, 41},
        {"one value", "GRID 20\n", 41, 41},
        {"a good line", "GRID 20 10\n", 21, 11},
        {"CR LF", "GRID 20 10\r\n", 21, 11},
        {"the bounds", "GRID 1 255\n", 1, 255},
        {"a too large number", "GRID 99999999999999999999 10\n", 41, 41},
    };
    for (const GridFileCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir d;
        if (c.text)
            d.write("kyt.set", c.text);
        Workspace ws;
        ws.setTempDir(String(d.path.c_str()));
        ws.setGrid(GridSize{0, 0});
        ws.readSettingsFile();
        EXPECT_EQ(c.x, ws.getGrid().x);
        EXPECT_EQ(c.y, ws.getGrid().y);
        for (int i = 0; i < kRecentFileCount; ++i)
            EXPECT_STREQ("", ws.recentFiles[i].text());
    }
}

TEST_F(SettingsFileTest, BadFileLinesAreIgnored)
{
    std::string longLine = "FILE2 \"" + std::string(600, 'a') + "\"\n";
    dir.write("kyt.set", "GRID 20 10\n"
                         "FILE5 \"fuenf.kyt\"\n"
                         "FILE-1 \"minus.kyt\"\n"
                         "FILE0 \"abc\n" +
                             longLine +
                             "FILE3 \"bin\x01\xe4r.kyt\"\n"
                             "FILE1 \"C:\\Meine Schaltungen\\regler 1.kyt\"\n"
                             "FILE4 \"R\xfc"
                             "ckf\xfchrung.kyt\"\n");
    w.readSettingsFile();
    EXPECT_STREQ("", w.recentFiles[0].text());
    EXPECT_STREQ("C:\\Meine Schaltungen\\regler 1.kyt", w.recentFiles[1].text());
    EXPECT_STREQ("", w.recentFiles[2].text());
    EXPECT_STREQ("", w.recentFiles[3].text());
    EXPECT_STREQ("R\xfc"
                 "ckf\xfchrung.kyt",
                 w.recentFiles[4].text());
}

TEST_F(SettingsFileTest, RecentFilesRoundTrip)
{
    dir.write("kyt.set", "FILE0 \"C:\\Meine Schaltungen\\regler 1.kyt\"\nGRID 20 10\n");
    w.readSettingsFile();
    ASSERT_STREQ("C:\\Meine Schaltungen\\regler 1.kyt", w.recentFiles[0].text());
    w.addRecentFile("b.kyt");
    w.addRecentFile("c.kyt");
    ASSERT_TRUE(w.writeSettingsFile());
    EXPECT_EQ("GRID 21 11\nFILE0 \"c.kyt\"\nFILE1 \"b.kyt\"\nFILE2 \"C:\\Meine Schaltungen\\regler 1.kyt\"\n",
              dir.read("kyt.set"));
    EXPECT_FALSE(dir.exists("kyt.set.new"));

    Workspace again;
    again.setTempDir(String(dir.path.c_str()));
    again.readSettingsFile();
    EXPECT_EQ(21, again.getGrid().x);
    EXPECT_STREQ("c.kyt", again.recentFiles[0].text());
    EXPECT_STREQ("C:\\Meine Schaltungen\\regler 1.kyt", again.recentFiles[2].text());
    EXPECT_STREQ("", again.recentFiles[3].text());
}

std::string gBlockedDir;

// The temporary file of the write lands where nothing can be made, even by
// the superuser: a directory that refuses new files.
String mapTemporaryAway(const char* path)
{
    std::string p(path);
    if (p.size() > 4 && p.compare(p.size() - 4, 4, ".new") == 0)
        return String((gBlockedDir + "/kyt.set.new").c_str());
    return String(path);
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheOldFileSilently)
{
    ErrorBoxScope boxes;
    const std::string old = "GRID 11 11\nFILE0 \"alt.kyt\"\n";
    dir.write("kyt.set", old);
    w.setGrid(GridSize{20, 20});
    w.addRecentFile("neu.kyt");

    // A missing TEMPDIR.
    Workspace missing;
    missing.setTempDir(String(dir.file("fehlt").c_str()));
    EXPECT_FALSE(missing.writeSettingsFile());
    EXPECT_FALSE(dir.exists("fehlt"));

    // A TEMPDIR where no file can be made.
    gBlockedDir = "/proc/self";
    setPathMapper(mapTemporaryAway);
    bool written = w.writeSettingsFile();
    setPathMapper(nullptr);
    EXPECT_FALSE(written);
    EXPECT_EQ(old, dir.read("kyt.set"));
    EXPECT_FALSE(dir.exists("kyt.set.new"));

    // A read-only TEMPDIR, where the permissions hold.
    if (geteuid() != 0) {
        ASSERT_EQ(0, chmod(dir.path.c_str(), 0555));
        EXPECT_FALSE(w.writeSettingsFile());
        chmod(dir.path.c_str(), 0755);
        EXPECT_EQ(old, dir.read("kyt.set"));
        EXPECT_FALSE(dir.exists("kyt.set.new"));
    }
    EXPECT_TRUE(boxes.sink.boxes.empty());
}

TEST(RecentFilesTest, AddingMovesToTheFront)
{
    Workspace w;
    RecordingMenu menu;
    w.setMainMenu(&menu);
    for (const char* name : {"e", "d", "c", "b", "a"})
        w.addRecentFile(name);
    w.addRecentFile("c");
    const char* afterC[] = {"c", "a", "b", "d", "e"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(afterC[i], w.recentFiles[i].text());
    w.addRecentFile("f");
    const char* afterF[] = {"f", "c", "a", "b", "d"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(afterF[i], w.recentFiles[i].text());
    EXPECT_STREQ("a", w.recentFileByCommand(2103).text());
    EXPECT_STREQ("", w.recentFileByCommand(9999).text());
    // The File menu follows the list.
    const std::vector<MenuEntry>& items = menu.popups[0].items;
    ASSERT_EQ(17u, items.size());
    EXPECT_EQ(1101, items[10].command);
    EXPECT_STREQ("&1 f", items[10].text.text());
    EXPECT_EQ(1105, items[14].command);
    EXPECT_STREQ("&5 d", items[14].text.text());
}

TEST(MenuBuildTest, FileAndWindowMenus)
{
    Workspace w;
    RecordingMenu menu;
    w.setMainMenu(&menu);
    w.rebuildFileMenu();
    w.rebuildWindowMenu();
    const int without[] = {9003, 111, 0, 112, 141, 0, 1126, 0, 9001, 0, 4017};
    ASSERT_EQ(11u, menu.popups[0].items.size());
    for (size_t i = 0; i < 11; ++i)
        EXPECT_EQ(without[i], menu.popups[0].items[i].command);
    EXPECT_EQ("&Datei", menu.popups[0].title);
    EXPECT_STREQ("&Beenden", menu.popups[0].items[10].text.text());
    EXPECT_EQ("&Fenster", menu.popups[5].title);
    ASSERT_EQ(1u, menu.popups[5].items.size());
    EXPECT_EQ(230, menu.popups[5].items[0].command);
    EXPECT_STREQ("&Aktives ZIZadir nach vorne\tCtrl+T", menu.popups[5].items[0].text.text());

    // Once the main frame has gone, nothing is rebuilt.
    w.setMainMenu(nullptr);
    int before = menu.rebuilds;
    w.addRecentFile("x.kyt");
    EXPECT_EQ(before, menu.rebuilds);
}

// The commands of the busy table.
const int kEditing[] = {9003, 111, 112, 141, 1126, 9001, 4017, 1267, 1268, 1269, 18021, 1270,
                        1118, 2000, 2001, 2002, 149, 1100, 160, 138, 1101, 2102, 2103, 2104, 1105};

struct BusyExpect {
    bool start;
    bool stop;
    bool editing;
    bool plot;
    const char* title;
};

class BusyStateTest : public ::testing::Test {
protected:
    BusyStateTest()
    {
        w.setMainMenu(&menu);
        w.setMainToolBar(&toolBar);
        w.setPlotWindowFactory(&factory);
        w.updateMainTitle("regler.kyt");
        EXPECT_EQ(0, w.openPlotWindow(nullptr));
    }
    void expectState(const char* what, const BusyExpect& e)
    {
        SCOPED_TRACE(what);
        EXPECT_EQ(e.start, menu.enabled(9008));
        EXPECT_EQ(e.start, menu.enabled(140));
        EXPECT_EQ(e.start, toolBar.enabled(140));
        EXPECT_EQ(e.stop, menu.enabled(9031));
        EXPECT_EQ(e.stop, toolBar.enabled(9031));
        for (int c : kEditing)
            EXPECT_EQ(e.editing, menu.enabled(c)) << c;
        EXPECT_EQ(e.editing, toolBar.enabled(4010));
        EXPECT_FALSE(menu.commands.touched(4010));
        for (int c : kPlotRunCommands)
            EXPECT_EQ(e.plot, factory.made[0]->commands.enabled(c)) << c;
        EXPECT_EQ(e.title, menu.title);
        EXPECT_EQ(e.editing ? 0 : 1, w.busy);
    }
    FakePlotFactory factory;
    RecordingMenu menu;
    RecordingCommands toolBar;
    Workspace w;
};

const BusyExpect kIdle = {true, false, true, true, "KYT 2.52 - regler.kyt"};
const BusyExpect kRunning = {false, true, false, false, "KYT 2.52 - regler.kyt"};
const BusyExpect kWizard = {true, false, false, false, "(KYT 2.52 - regler.kyt) - in Wizard"};
const BusyExpect kBoth = {false, true, false, false, "(KYT 2.52 - regler.kyt) - in Wizard"};

TEST_F(BusyStateTest, RunAlone)
{
    w.setSimulationRunningUi(0);
    expectState("run", kRunning);
    w.setSimulationStoppedUi(0);
    expectState("run end", kIdle);
}

TEST_F(BusyStateTest, WizardAlone)
{
    w.setSimulationRunningUi(1);
    expectState("wizard", kWizard);
    EXPECT_TRUE(w.wizardRunning());
    w.setSimulationStoppedUi(1);
    expectState("wizard end", kIdle);
}

TEST_F(BusyStateTest, WizardEndsDuringARun)
{
    w.setSimulationRunningUi(1);
    w.setSimulationRunningUi(0);
    expectState("wizard and run", kBoth);
    w.setSimulationStoppedUi(1);
    expectState("wizard end", kRunning);
    w.setSimulationStoppedUi(0);
    expectState("run end", kIdle);
}

TEST_F(BusyStateTest, RunEndsDuringAWizard)
{
    w.setSimulationRunningUi(1);
    w.setSimulationRunningUi(0);
    w.setSimulationStoppedUi(0);
    expectState("run end", kWizard);
    w.setSimulationStoppedUi(1);
    expectState("wizard end", kIdle);
}

TEST_F(BusyStateTest, RebuiltFileMenuStaysLocked)
{
    w.setSimulationRunningUi(0);
    menu.commands.enabled_.clear();
    w.addRecentFile("neu.kyt");
    EXPECT_FALSE(menu.enabled(1101));
    EXPECT_FALSE(menu.enabled(9003));
    EXPECT_FALSE(menu.enabled(9008));
}

} // namespace
