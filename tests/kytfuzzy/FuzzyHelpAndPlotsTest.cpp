// Help topics, the popups the menus are built from, the plot-window slots
// and kytfuzzy's listing, on fake windows and a recording error sink.
#include "EditorStrings.h"
#include "ErrorReporter.h"
#include "FuzzyOptions.h"
#include "ListingText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class BoxRecorder : public ErrorSink {
public:
    void beep() override { ++beeps; }
    void showBox(const char* text, const char* title) override
    {
        boxes.push_back(text);
        titles.push_back(title);
    }
    [[noreturn]] void endProcess(int exitCode) override { _exit(exitCode); }
    int beeps = 0;
    std::vector<std::string> boxes;
    std::vector<std::string> titles;
};

// Help windows that count themselves and clear their owner's slot when
// they go, as the real one does when it is closed.
class FakeHelpWindow : public HelpViewer {
public:
    FakeHelpWindow(const std::string& t, const std::string& x, HelpViewer** s, int* live)
        : title(t), text(x), slot(s), live(live)
    {
        ++*live;
    }
    ~FakeHelpWindow() override
    {
        --*live;
        if (*slot == this)
            *slot = nullptr;
    }
    std::string title, text;
    HelpViewer** slot;
    int* live;
};

class FakeHelpFactory : public HelpViewerFactory {
public:
    HelpViewer* createHelpViewer(const char* title, const char* text, HelpViewer** slot) override
    {
        ++made;
        return new FakeHelpWindow(title, text, slot, &live);
    }
    int made = 0;
    int live = 0;
};

// The companions' reporter, writing its ERROR.LOG into a scratch directory.
class FuzzyOptionsCoreTest : public EditorStringsTest {
protected:
    void SetUp() override
    {
        EditorStringsTest::SetUp();
        char tmpl[] = "/tmp/kytfuzzyoptXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        ASSERT_TRUE(getcwd(oldDir, sizeof oldDir));
        ASSERT_EQ(0, chdir(dir.c_str()));
        setErrorSink(&sink);
        setCompanionReporting(true);
        options.setHelpDir(KYTFUZZY_TEST_DATA);
    }
    void TearDown() override
    {
        setCompanionReporting(false);
        setErrorSink(nullptr);
        EXPECT_EQ(0, chdir(oldDir));
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(0, system(cmd.c_str()));
        EditorStringsTest::TearDown();
    }
    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    }
    char oldDir[4096];
    std::string dir;
    BoxRecorder sink;
    FuzzyOptions options;
};

TEST_F(FuzzyOptionsCoreTest, HelpTopicsAreTheLinesUpToTheNextTopic)
{
    struct Case {
        const char* topic;
        const char* text;
    } cases[] = {
        {"IDH_HELP_Lvar",
         "Eine linguistische Variable hat einen Namen,\r\neinen Wertebereich und ihre Fuzzy-Sets.\r\n\r\n"
         "Neue Sets erscheinen rechts.\r\n"},
        // "General" also stands inside "FuzzyGeneral": the first line wins.
        {"IDH_HELP_General", "Allgemeine Hinweise zur Bedienung.\r\n"},
        {"IDH_HELP_Hill", "H\xFCgel: ein Set mit gleichen mittleren Eckpunkten.\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, options.loadHelpText(c.topic)) << c.topic;
    EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(FuzzyOptionsCoreTest, HelpProblemsAreReported)
{
    EXPECT_EQ("", options.loadHelpText("IDH_HELP_Unbekannt"));
    ASSERT_EQ(1u, sink.boxes.size());
    EXPECT_EQ("\nWarning: Es ist leider keine Hilfe zu diesem Thema verf\xFCgbar!", sink.boxes[0]);

    options.setHelpDir(dir);
    EXPECT_EQ("", options.loadHelpText("IDH_HELP_Lvar"));
    ASSERT_EQ(2u, sink.boxes.size());
    EXPECT_EQ("\nWarning: Hilfedatei \"" + dir + "/fuzzyhlp.txt\"  ist nicht verf\xFCgbar!", sink.boxes[1]);

    // A topic of 16000 characters or more still comes back, reported at
    // level 1, and one line of 20000 characters is read whole.
    std::string line(99, 'a');
    std::string big = "IDH_HELP_Lang\n";
    for (int i = 0; i < 200; ++i)
        big += line + "\n";
    big += "IDH_HELP_Lvar\nx\n";
    write("fuzzyhlp.txt", big + "IDH_HELP_Zeile\n" + std::string(20000, 'z') + "\n");
    std::string text = options.loadHelpText("IDH_HELP_Lang");
    EXPECT_GE(text.size(), 16000u);
    EXPECT_EQ(0u, text.size() % 101);
    ASSERT_EQ(3u, sink.boxes.size());
    EXPECT_EQ("\nWarning: Hilfetext ist zu lang\num ihn anzuzeigen!", sink.boxes[2]);
    EXPECT_EQ(std::string(20000, 'z') + "\r\n", options.loadHelpText("IDH_HELP_Zeile"));
    EXPECT_EQ(0, sink.beeps);
}

TEST_F(FuzzyOptionsCoreTest, OneHelpWindowAtATime)
{
    FakeHelpFactory factory;
    {
        FuzzyOptions owner;
        owner.setHelpDir(KYTFUZZY_TEST_DATA);
        owner.setHelpViewerFactory(&factory);
        owner.showHelp("IDH_HELP_FuzzyGeneral");
        owner.showHelp("IDH_HELP_Errormessages");
        EXPECT_EQ(2, factory.made);
        EXPECT_EQ(1, factory.live);
        FakeHelpWindow* shown = dynamic_cast<FakeHelpWindow*>(owner.getHelpWindow());
        ASSERT_NE(nullptr, shown);
        EXPECT_EQ("KYT-Fuzzy Hilfe", shown->title);
        EXPECT_EQ("Fehlermeldungen nennen die Zeile der Blockdatei.\r\n", shown->text);

        // Closed by the user: the window clears the slot; help again makes
        // a new one.
        delete shown;
        EXPECT_EQ(nullptr, owner.getHelpWindow());
        owner.showHelp("IDH_HELP_Lvar");
        EXPECT_EQ(3, factory.made);
        EXPECT_EQ(1, factory.live);

        // A topic without text leaves the window that stands.
        owner.showHelp("IDH_HELP_Unbekannt");
        EXPECT_EQ(3, factory.made);
        EXPECT_NE(nullptr, owner.getHelpWindow());
        ASSERT_EQ(1u, sink.boxes.size());

        // A missing help file: the German message, no window made.
        owner.setHelpDir(dir);
        owner.showHelp("IDH_HELP_Lvar");
        EXPECT_EQ(3, factory.made);
        ASSERT_EQ(2u, sink.boxes.size());
        EXPECT_EQ("\nWarning: Hilfedatei \"" + dir + "/fuzzyhlp.txt\"  ist nicht verf\xFCgbar!", sink.boxes[1]);
    }
    // The options take their window along.
    EXPECT_EQ(0, factory.live);
}

TEST_F(FuzzyOptionsCoreTest, MenusListRecentFilesAndPlotWindows)
{
    options.addRecentFile("b.kyb");
    options.addRecentFile("a.kyb");
    std::vector<FuzzyMenuItem> file = options.fileMenuItems();
    std::vector<unsigned int> ids;
    for (const FuzzyMenuItem& item : file)
        ids.push_back(item.id);
    EXPECT_EQ((std::vector<unsigned int>{9003, 110, 113, 11020, 9001, 0, 11037, 11038, 0, 11004}), ids);
    EXPECT_EQ("&0 a.kyb", file[6].text);
    EXPECT_EQ("&1 b.kyb", file[7].text);
    EXPECT_EQ("&Beenden", file[9].text);

    FuzzyOptions empty;
    ASSERT_EQ(7u, empty.fileMenuItems().size());
    std::vector<FuzzyMenuItem> window = empty.windowMenuItems();
    ASSERT_EQ(1u, window.size());
    EXPECT_EQ(18230u, window[0].id);
}

// Fake plot windows that record what the options do to them.
struct FakePlot;
struct FakeHost : FuzzyPlotHost {
    FuzzyPlotWindow* createPlotWindow(void*, int x, int y, int w, int h, const std::string& title) override;
    bool askYesNo(void*, const std::string& text, const std::string& caption) override
    {
        questions.push_back(caption + "|" + text);
        return answer;
    }
    bool surfaceToFront() override { return surface; }
    void windowMenuChanged() override { ++menuRebuilds; }

    FuzzyOptions* options = nullptr;
    bool answer = false;
    bool surface = false;
    int menuRebuilds = 0;
    int alive = 0;
    std::vector<std::string> questions;
    std::vector<std::string> placements;
};

struct FakePlot : FuzzyPlotWindow {
    explicit FakePlot(FakeHost* h, const std::string& t) : host(h), title(t) { ++host->alive; }
    ~FakePlot() override { --host->alive; }
    void setTitle(const std::string& t) override { title = t; }
    std::string getTitle() const override { return title; }
    void bringToFront() override { ++fronts; }
    void showFrozen() override { frozen = true; }
    void enableCurveCommands(bool on) override { commandsOn = on; }
    void destroy() override
    {
        host->options->removePlotWindow(this);
        delete this;
    }
    FakeHost* host;
    std::string title;
    int fronts = 0;
    bool frozen = false;
    bool commandsOn = true;
};

FuzzyPlotWindow* FakeHost::createPlotWindow(void*, int x, int y, int w, int h, const std::string& title)
{
    placements.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
                         std::to_string(h));
    return new FakePlot(this, title);
}

TEST_F(FuzzyOptionsCoreTest, NinePlotSlotsThenTheQuestion)
{
    FakeHost host;
    {
        FuzzyOptions plots;
        host.options = &plots;
        plots.setPlotHost(&host);
        for (int i = 0; i < 9; ++i)
            ASSERT_EQ(0, plots.newPlotWindow(nullptr));
        EXPECT_EQ("0,0 400x400", host.placements.front());
        EXPECT_EQ("80,80 400x400", host.placements.back());
        EXPECT_EQ("KYTfuzzy:ZIZAdir 9 - aktiv", activePlotWindow()->getTitle());
        EXPECT_EQ(11u, plots.windowMenuItems().size());
        EXPECT_EQ("&9 KYTfuzzy:ZIZAdir 9 - aktiv", plots.windowMenuItems()[10].text);

        FuzzyPlotWindow* first = plots.plotWindowAt(0);
        EXPECT_EQ(1, plots.newPlotWindow(nullptr));
        ASSERT_EQ(1u, host.questions.size());
        EXPECT_EQ("Warnung:|Es sind bereits 9 ZIZadirs ge\xF6" "ffnet!\nSoll ZIZadir 1 wiederbenutzt werden?",
                  host.questions[0]);
        EXPECT_EQ(first, plots.plotWindowAt(0));

        host.answer = true;
        EXPECT_EQ(0, plots.newPlotWindow(nullptr));
        // Slot 1's window was replaced by a new one at its place.
        EXPECT_EQ(10u, host.placements.size());
        EXPECT_EQ("0,0 400x400", host.placements.back());
        EXPECT_EQ(9, host.alive);
        EXPECT_EQ(plots.plotWindowAt(0), activePlotWindow());
    }
    // The options delete what is left.
    EXPECT_EQ(0, host.alive);
    EXPECT_EQ(nullptr, activePlotWindow());
}

TEST_F(FuzzyOptionsCoreTest, FreezeFrontAndUpdates)
{
    FakeHost host;
    FuzzyOptions plots;
    host.options = &plots;
    plots.setPlotHost(&host);

    // Nothing active and no surface window.
    EXPECT_EQ(0, plots.bringPlotWindowToFront(18230));
    ASSERT_EQ(1u, sink.boxes.size());
    EXPECT_EQ("\nError: Es ist kein aktives ZIZadir verf\xFCgbar.\nEs mu\xDF zuerst eine Regelkennfl\xE4" "che berechnet werden!",
              sink.boxes[0]);
    EXPECT_EQ(1, sink.beeps);
    host.surface = true;
    EXPECT_EQ(1, plots.bringPlotWindowToFront(18230));
    EXPECT_EQ(1u, sink.boxes.size());

    ASSERT_EQ(0, plots.newPlotWindow(nullptr));
    ASSERT_EQ(0, plots.newPlotWindow(nullptr));
    auto* one = static_cast<FakePlot*>(plots.plotWindowAt(0));
    auto* two = static_cast<FakePlot*>(plots.plotWindowAt(1));

    // A window that no longer takes the curves does not freeze.
    plots.freezePlotWindow(one);
    EXPECT_FALSE(one->frozen);
    plots.freezePlotWindow(two);
    EXPECT_TRUE(two->frozen);
    EXPECT_EQ("KYTfuzzy:ZIZAdir 2 - eingefroren", two->getTitle());
    EXPECT_EQ(nullptr, activePlotWindow());

    EXPECT_EQ(1, plots.bringPlotWindowToFront(18201));
    EXPECT_EQ(1, one->fronts);

    ASSERT_EQ(0, plots.newPlotWindow(nullptr));
    auto* three = static_cast<FakePlot*>(plots.plotWindowAt(2));
    plots.beginPlotUpdate(1);
    EXPECT_FALSE(three->commandsOn);
    plots.endPlotUpdate(0);
    EXPECT_TRUE(three->commandsOn);
    EXPECT_TRUE(plots.isPlotUpdating());
    plots.endPlotUpdate(1);
    EXPECT_FALSE(plots.isPlotUpdating());

    three->destroy();
    EXPECT_EQ(nullptr, plots.plotWindowAt(2));
    EXPECT_EQ(nullptr, activePlotWindow());
}

TEST_F(FuzzyOptionsCoreTest, ListingShowsFiftyLinesAboveAndTenBelow)
{
    std::string text;
    for (int i = 1; i <= 200; ++i)
        text += "z" + std::to_string(i) + "\n";
    std::string path = write("f.kyb", text);
    ListingStyle style = fuzzyListingStyle();

    Listing at100 = loadListing(path.c_str(), 100, style);
    EXPECT_EQ(0u, at100.text.find("...\r\n  50:   z50\r\n"));
    EXPECT_NE(std::string::npos, at100.text.find(" 110:   z110\r\n..."));
    EXPECT_EQ(std::string::npos, at100.text.find(" 111:"));
    // kytfuzzy selects from start + 1 to end: "z100" and its line end.
    size_t line100 = at100.text.find(" 100:   z100");
    EXPECT_EQ(static_cast<int>(line100) + 9, at100.highlightStart);
    EXPECT_EQ(at100.highlightStart + 5, at100.highlightEnd);

    Listing at30 = loadListing(path.c_str(), 30, style);
    EXPECT_EQ(0u, at30.text.find("   1:   z1\r\n"));
    EXPECT_NE(std::string::npos, at30.text.find("  40:   z40\r\n..."));

    Listing missing = loadListing((dir + "/X").c_str(), 1, style);
    EXPECT_EQ("Cannot open file " + dir + "/X!", missing.text);
    EXPECT_EQ(0, missing.result);
}

} // namespace
