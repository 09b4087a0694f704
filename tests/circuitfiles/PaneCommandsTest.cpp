// The editing pane's commands with scripted dialogs and a companion that
// ends at once: library items and the select-block dialog insert at the
// snapped press point, the block menu's commands, the wizard blocks
// (Fuzzy and Ident through the companion, Laplace through the real
// generator, Editor blocks through the shell), fragments and the copy of a
// library block into library Local.
#include "BlockCatalogue.h"
#include "CircuitTestSupport.h"
#include "EditorShell.h"
#include "FileBytes.h"
#include "FileLayer.h"
#include "LocalLibrary.h"
#include "PaneCommands.h"
#include "RecordingCanvas.h"
#include "ResString.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

class ScriptedWindows : public PaneCommandWindows {
public:
    ChosenBlock selectBlock(int startLibrary, int startGroup) override
    {
        starts.push_back({startLibrary, startGroup});
        return chosen;
    }
    int editParameters(BlockObject& block, std::vector<String>& values) override
    {
        return parameters ? parameters(block, values) : 0;
    }
    int editLayout(BlockObject& block, BlockLayoutValues& values) override
    {
        return layout ? layout(block, values) : 0;
    }
    void markData(BlockObject&) override { ++marked; }
    // Each answer: accepted, and the text typed.
    int askTransfer(String& text) override
    {
        offered.push_back(text.text());
        if (transfers.empty())
            return 0;
        auto answer = transfers.front();
        transfers.pop_front();
        if (answer.first)
            text = answer.second.c_str();
        return answer.first;
    }
    int chooseFragment(String& path) override
    {
        path = fragment.c_str();
        return !fragment.empty();
    }
    void setStatusField1(const char* text) override { status.push_back(text); }

    ChosenBlock chosen{0, 0, 0, String(), String()};
    std::vector<std::pair<int, int>> starts;
    std::function<int(BlockObject&, std::vector<String>&)> parameters;
    std::function<int(BlockObject&, BlockLayoutValues&)> layout;
    int marked = 0;
    std::deque<std::pair<int, std::string>> transfers;
    std::vector<std::string> offered;
    std::string fragment;
    std::vector<std::string> status;
};

// A companion that writes its block file (when told) and ends at once.
class InstantCompanion : public CompanionStarter {
public:
    void start(const String& program, const std::vector<String>& w, const String& dir) override
    {
        programs.push_back(program.text());
        words.clear();
        for (const String& s : w)
            words.push_back(s.text());
        workDir = dir.text();
        statusWhileRunning = windows->status.empty() ? "" : windows->status.back();
        busyWhileRunning = theWorkspace->busy;
        if (!blockText.empty() && words.size() == 2) {
            if (FILE* f = fopen((words[1] + "/" + words[0]).c_str(), "w")) {
                fputs(blockText.c_str(), f);
                fclose(f);
            }
        }
        commands->onWizardProcessDone(code);
    }
    PaneCommands* commands = nullptr;
    ScriptedWindows* windows = nullptr;
    int code = 0;
    std::string blockText;
    std::vector<std::string> programs;
    std::vector<std::string> words;
    std::string workDir;
    std::string statusWhileRunning;
    int busyWhileRunning = 0;
};

class FakeShell : public EditorShell {
public:
    int editFile(const char* path, int readOnly) override
    {
        files.push_back(path);
        readOnlyFlags.push_back(readOnly);
        if (rewrite)
            rewrite(path);
        return saved;
    }
    void showText(const char* title, const char* text) override { shown.push_back({title, text}); }
    std::vector<std::string> files;
    std::vector<int> readOnlyFlags;
    std::vector<std::pair<std::string, std::string>> shown;
    std::function<void(const char*)> rewrite;
    int saved = 0;
};

class CommandWorld {
public:
    explicit CommandWorld(bool withLocal = true)
        : model(&pane, Point(41, 41)), control(model, pane), commands(model, control, windows, companion)
    {
        scratch.mkdir("local");
        scratch.mkdir("tmp");
        scratch.mkdir("bin");
        std::string ini = "TEMPDIR = " + scratch.file("tmp") + ";\nBINDIR = " + scratch.file("bin") +
                          ";\nICONDIR = " + kFixtures + "/icons;\nBLOCKLIBS\n    LIB Standard AT " + kFixtures +
                          "/standard;\n";
        if (withLocal)
            ini += "    LIB Local AT " + scratch.file("local") + ";\n";
        ini += "ENDBLOCKLIBS\n";
        readInstallationFile(workspace, scratch.write("kyt.ini", ini).c_str());
        setWorkspace(&workspace);
        sNBase = &registry;
        iconBase = &icons;
        companion.commands = &commands;
        companion.windows = &windows;
        commands.setInstallDirectory(scratch.file("").c_str());
        previousShell = setEditorShell(&shell);
    }
    ~CommandWorld()
    {
        setEditorShell(previousShell);
        model.setView(nullptr);
        model.clear();
        model.clearUndo();
        iconBase = nullptr;
        sNBase = nullptr;
        setWorkspace(nullptr);
    }
    BlockObject* block(const char* file, const Point& at)
    {
        return model.createBlock(at, Point(6, 4), (kFixtures + "/standard/" + file).c_str(), "Standard", 0);
    }
    BlockObject* localBlock(const std::string& name, const std::string& text, const char* wizard)
    {
        scratch.write("local/" + name, text);
        BlockObject* b = model.createBlock(Point(10, 10), Point(6, 3), (scratch.file("local") + "\\" + name).c_str(),
                                           "Local", 1);
        if (b) {
            b->wizardFlag = 1;
            b->wizardName = wizard;
        }
        return b;
    }
    int count(int kind) const
    {
        int n = 0;
        for (GraphicObject* o : model.objects)
            n += o->kind() == kind;
        return n;
    }
    std::vector<BlockObject*> blocks() const
    {
        std::vector<BlockObject*> all;
        for (GraphicObject* o : model.objects)
            if (o->kind() == 1)
                all.push_back(static_cast<BlockObject*>(o));
        return all;
    }
    std::string index() const { return scratch.read("local/ablocks.bfl"); }
    const std::vector<std::string>& boxes() const { return rec.sink.boxes; }

    RecordingScope rec;
    ScratchDir scratch;
    Workspace workspace;
    SignalNameRegistry registry;
    IconStore icons;
    RecordingPane pane;
    CircuitModel model;
    PaneController control;
    ScriptedWindows windows;
    InstantCompanion companion;
    FakeShell shell;
    PaneCommands commands;
    EditorShell* previousShell;
};

const char* const kFuzzyBlock = "$ WIZARD Fuzzy\nBLOCK Fuzzy;\nINPUT e;\nOUTPUT u;\nPARAMETER K = 1;\nSIM\nENDBLOCK\n";

// ---------------------------------------------------------------- companions

TEST(WizardCommands, NewFuzzyBlockByExitCode)
{
    struct Case {
        int code;
        int blocks;
        const char* box;  // a text the one box holds, or null for none
    } cases[] = {{1, 0, nullptr}, {-1, 0, "Fuzzywizards"}, {0, 1, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CommandWorld w;
        w.companion.code = c.code;
        w.companion.blockText = kFuzzyBlock;
        w.control.pressPoint = Point(100, 100);
        EXPECT_EQ(w.commands.onCommand(kCommandFuzzyWizard), 1);
        ASSERT_EQ(w.companion.programs.size(), 1u);
        EXPECT_EQ(w.companion.programs[0], w.scratch.file("bin") + "\\kytfuzzy.exe");
        EXPECT_EQ(w.companion.words, (std::vector<std::string>{"Fuzzy", w.scratch.file("local")}));
        EXPECT_EQ(w.companion.statusWhileRunning, "In Wizard");
        EXPECT_EQ(w.companion.busyWhileRunning, 1);
        EXPECT_EQ(w.windows.status.back(), "Bearbeiten");
        EXPECT_EQ(w.workspace.busy, 0);
        EXPECT_EQ(w.count(1), c.blocks);
        if (c.box) {
            ASSERT_EQ(w.boxes().size(), 1u);
            EXPECT_NE(w.boxes()[0].find(c.box), std::string::npos);
            EXPECT_NE(w.boxes()[0].find("kytfuzzy.exe"), std::string::npos);
            EXPECT_NE(w.boxes()[0].find("(-1)"), std::string::npos);
        } else {
            EXPECT_TRUE(w.boxes().empty());
        }
        if (c.blocks) {
            BlockObject* b = w.blocks()[0];
            EXPECT_EQ(b->position, Point(2, 2));
            EXPECT_EQ(b->wizardFlag, 1);
            EXPECT_STREQ(b->wizardName.text(), "Fuzzy");
            EXPECT_NE(w.index().find("Fuzzy"), std::string::npos);
        }
    }
}

TEST(WizardCommands, IdentFailureNamesItsOwnMessage)
{
    CommandWorld w;
    w.companion.code = -1;
    w.commands.onCommand(kCommandIdentWizard);
    ASSERT_EQ(w.boxes().size(), 1u);
    EXPECT_NE(w.boxes()[0].find("Identifikationswizards"), std::string::npos);
    EXPECT_NE(w.boxes()[0].find("kytident.exe"), std::string::npos);
}

TEST(WizardCommands, EditedFuzzyBlockWithOneOutputFewer)
{
    CommandWorld w;
    BlockObject* old = w.localBlock("Fuzzy", "BLOCK Fuzzy;\nINPUT e;\nOUTPUT u1; u2;\nPARAMETER K = 1;\nSIM\nENDBLOCK\n",
                                    "Fuzzy");
    ASSERT_NE(old, nullptr);
    old->setParameterValue("K", "5");
    old->setText("Mein Regler");
    BlockObject* a = w.block("pt1.blk", Point(30, 2));
    BlockObject* b = w.block("pt1.blk", Point(30, 12));
    ConnectionObject* kept = w.model.createConnection(old, PortRef{2, 1}, a, PortRef{1, 1});
    ConnectionObject* lost = w.model.createConnection(old, PortRef{2, 2}, b, PortRef{1, 1});
    ASSERT_TRUE(kept && lost);
    w.companion.blockText = "BLOCK Fuzzy;\nINPUT e;\nOUTPUT u1;\nPARAMETER K = 1;\nSIM\nENDBLOCK\n";
    w.control.contextBlock = old;
    EXPECT_EQ(w.commands.onCommand(kCommandEditOrView), 1);
    EXPECT_EQ(w.companion.words, (std::vector<std::string>{"fuzzy", w.scratch.file("local")}));
    EXPECT_FALSE(w.model.contains(old));
    BlockObject* fresh = kept->blockA;
    ASSERT_NE(fresh, old);
    EXPECT_TRUE(w.model.contains(kept));
    EXPECT_FALSE(w.model.contains(lost));
    EXPECT_EQ(w.model.undoList.size(), 2u);
    EXPECT_STREQ(BlockObject::at(fresh->parameterValues, 0).text(), "5");
    EXPECT_STRNE(fresh->getText().text(), "Mein Regler");
    EXPECT_EQ(fresh->wizardFlag, 1);
}

TEST(WizardCommands, AnEditedBlockDeletedMeanwhileIsLeftAlone)
{
    CommandWorld w;
    BlockObject* old = w.localBlock("Fuzzy", kFuzzyBlock, "Fuzzy");
    w.companion.blockText = kFuzzyBlock;
    w.model.deleteObject(old);
    w.commands.finishWizardBlock(0, "Fuzzy", (w.scratch.file("local") + "\\fuzzy").c_str(), "p", old, 1);
    EXPECT_EQ(w.count(1), 0);
}

// ---------------------------------------------------------------- Laplace

TEST(WizardCommands, LaplaceCancelErrorAndSuccess)
{
    CommandWorld w;
    w.commands.onCommand(kCommandLaplaceWizard);
    EXPECT_EQ(w.count(1), 0);
    EXPECT_EQ(w.windows.offered, (std::vector<std::string>{""}));

    w.windows.transfers = {{1, "K/(1+T*s"}, {1, "K/(1+T*s)"}};
    w.control.pressPoint = Point(100, 100);
    w.commands.onCommand(kCommandLaplaceWizard);
    ASSERT_EQ(w.windows.offered.size(), 3u);
    EXPECT_EQ(w.windows.offered[2], "K/(1+T*s");
    EXPECT_EQ(w.boxes().size(), 1u);
    ASSERT_EQ(w.count(1), 1);
    BlockObject* b = w.blocks()[0];
    EXPECT_STREQ(b->libraryName.text(), "Local");
    EXPECT_STREQ(b->wizardName.text(), "Laplace");
    EXPECT_EQ(b->position, Point(2, 2));
    EXPECT_NE(w.index().find("Laplace"), std::string::npos);

    // Editing regenerates the block in place and keeps its parameters.
    ASSERT_GT(b->parameterCount, 0);
    String name = b->parameterNames[0];
    b->parameterValues[0] = "42";
    w.windows.transfers = {{1, "K/(1+T*s)^2"}};
    w.control.contextBlock = b;
    w.commands.onCommand(kCommandEditOrView);
    EXPECT_EQ(w.windows.offered.back(), "K/(1+T*s)");
    ASSERT_EQ(w.count(1), 1);
    BlockObject* fresh = w.blocks()[0];
    EXPECT_NE(fresh, b);
    EXPECT_EQ(fresh->position, Point(2, 2));
    EXPECT_STREQ(fresh->parameterNames[0].text(), name.text());
    EXPECT_STREQ(fresh->parameterValues[0].text(), "42");
}

// A transfer function whose block the compiler would refuse (a^40^40 gives a
// product of 1600 factors in one statement) is refused by the wizard with
// its own message and nothing of the compiler's; a block being edited keeps
// its file.
TEST(WizardCommands, LaplaceRefusesABlockTheCompilerWouldRefuse)
{
    CommandWorld w;
    const char* tooLarge = "a^40^40/(z-0.5)";
    w.windows.transfers = {{1, tooLarge}, {0, ""}};
    w.commands.onCommand(kCommandLaplaceWizard);
    EXPECT_EQ(w.count(1), 0);
    ASSERT_EQ(w.boxes().size(), 1u);
    EXPECT_EQ(w.boxes()[0], std::string("Fehler: ") + getResString(18054));
    EXPECT_TRUE(w.rec.viewer.calls.empty());
    EXPECT_EQ(w.windows.offered.back(), tooLarge);

    w.windows.transfers = {{1, "a^4/(z-0.5)"}};
    w.commands.onCommand(kCommandLaplaceWizard);
    ASSERT_EQ(w.count(1), 1);
    BlockObject* b = w.blocks()[0];
    // The block's file in Local, found as the program finds it.
    const String file = LocalBlockLibrary::directory() + "\\" + b->typeName;
    auto contents = [&file]() {
        std::string text;
        if (FILE* f = openFile(file.text(), "rb")) {
            int c;
            while ((c = fgetc(f)) != EOF)
                text += static_cast<char>(c);
            fclose(f);
        }
        return text;
    };
    const std::string before = contents();
    ASSERT_NE(std::string::npos, before.find("BLOCK ")) << file.text();
    w.windows.transfers = {{1, tooLarge}, {0, ""}};
    w.control.contextBlock = b;
    w.commands.onCommand(kCommandEditOrView);
    EXPECT_EQ(before, contents());
    ASSERT_EQ(w.count(1), 1);
}

TEST(WizardCommands, OtherKindsAndNoLocalLibrary)
{
    CommandWorld w;
    EXPECT_EQ(w.commands.onCommand(kCommandNeuroWizard), 1);
    EXPECT_TRUE(w.boxes().empty());
    EXPECT_EQ(w.commands.createWizardBlock("Wurst"), 0);
    ASSERT_EQ(w.boxes().size(), 1u);
    EXPECT_NE(w.boxes()[0].find("Unbekannter Wizard! Interner Fehler!"), std::string::npos);

    CommandWorld none(false);
    none.commands.onCommand(kCommandFuzzyWizard);
    ASSERT_EQ(none.boxes().size(), 1u);
    EXPECT_NE(none.boxes()[0].find("Da kein Verzeichnis"), std::string::npos);
    EXPECT_TRUE(none.companion.programs.empty());
}

// ---------------------------------------------------------------- commands

TEST(PaneCommandDispatch, LibraryItemsAndFixedIds)
{
    CommandWorld w;
    BlockCatalogue view(w.workspace.libraries, w.workspace.libraryCount);
    InsertMenuTree tree(view);
    EXPECT_EQ(w.commands.onCommand(15003), 0);  // no menu shown
    w.commands.setLibraryMenu(&tree);
    w.control.pressPoint = Point(100, 100);
    const InsertMenuNode* item = tree.blockItem(15003);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(w.commands.onCommand(15003), 1);
    ASSERT_EQ(w.count(1), 1);
    EXPECT_EQ(w.blocks()[0]->position, Point(2, 2));
    EXPECT_EQ(w.control.pressPoint, Point(82, 82));
    EXPECT_EQ(w.commands.onCommand(tree.lastId() + 1), 0);
    EXPECT_EQ(w.commands.onCommand(15001), 0);  // a library's submenu
    EXPECT_EQ(w.commands.onCommand(4711), 0);
    EXPECT_EQ(w.count(1), 1);
}

TEST(PaneCommandDispatch, FixedIdsComeFirstEvenInsideALongMenu)
{
    CommandWorld w;
    // A catalogue of more than 3000 nodes reaches the fixed ids.
    ADArray<BlockLibrary> libs;
    libs[0].name = "Gross";
    libs[0].sectionCount = 1;
    LibrarySection& g = libs[0].sections[0];
    for (int i = 0; i < 3100; ++i) {
        g.setFirstName(i, "b");
        g.setSecondName(i, "b.blk");
        g.removed[i] = 0;
    }
    g.count = 3100;
    InsertMenuTree tree(BlockCatalogue(libs, 1));
    ASSERT_GT(tree.lastId(), kCommandToLocal);
    w.commands.setLibraryMenu(&tree);
    EXPECT_EQ(w.commands.onCommand(kCommandLoadFragment), 1);
    EXPECT_EQ(w.count(1), 0);
    EXPECT_EQ(w.commands.onCommand(kCommandToLocal), 1);  // no block: nothing
    EXPECT_EQ(w.count(1), 0);
}

TEST(PaneCommandDispatch, SelectBlockStartsWhereTheLastOneCameFrom)
{
    CommandWorld w;
    w.windows.chosen = ChosenBlock{1, 0, 1, (kFixtures + "/standard\\sprung.blk").c_str(), "Standard"};
    w.control.pressPoint = Point(250, 90);
    w.commands.onCommand(kCommandSelectBlock);
    ASSERT_EQ(w.count(1), 1);
    EXPECT_EQ(w.blocks()[0]->position, Point(6, 2));
    w.windows.chosen.accepted = 0;
    w.commands.onCommand(kCommandSelectBlock);
    EXPECT_EQ(w.windows.starts, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}}));
    EXPECT_EQ(w.count(1), 1);
}

TEST(PaneCommandDispatch, BlockMenuCommands)
{
    CommandWorld w;
    BlockObject* b = w.block("pt1.blk", Point(4, 4));
    w.control.contextBlock = b;
    // Parameters.
    w.windows.parameters = [](BlockObject&, std::vector<String>& v) {
        v[0] = "3";
        return 1;
    };
    w.model.circuitSaved = 1;
    w.commands.onCommand(kCommandParameters);
    EXPECT_STREQ(b->parameterValues[0].text(), "3");
    EXPECT_EQ(w.model.circuitSaved, 0);
    // Mirror twice.
    w.commands.onCommand(kCommandMirror);
    EXPECT_EQ(b->mirrored, 1);
    w.commands.onCommand(kCommandMirror);
    EXPECT_EQ(b->mirrored, 0);
    // A library block's source, read-only.
    w.commands.onCommand(kCommandEditOrView);
    ASSERT_EQ(w.shell.files.size(), 1u);
    EXPECT_EQ(w.shell.readOnlyFlags[0], 1);
    EXPECT_NE(w.shell.files[0].find("\\pt1.blk"), std::string::npos);
    // Help through the shell, titled with the caption.
    w.commands.onCommand(kCommandBlockHelp);
    ASSERT_EQ(w.shell.shown.size(), 1u);
    EXPECT_EQ(w.shell.shown[0].first, std::string("KYT Hilfe - ") + b->caption().text());
    // A block no longer in the circuit is left alone.
    w.model.deleteObject(b);
    EXPECT_EQ(w.commands.onCommand(kCommandMirror), 1);
    EXPECT_EQ(b->mirrored, 0);
}

TEST(PaneCommandDispatch, ParametersOfASwitchingBlockRestyleItsLines)
{
    CommandWorld w;
    BlockObject* sw = w.block("pt1.blk", Point(0, 0));
    BlockObject* mid = w.block("pt1.blk", Point(10, 0));
    sw->kindFlags |= kKindGroup;
    sw->parameterKinds[0] |= kParamFlagged;
    ConnectionObject* c = new ConnectionObject(sw, PortRef{2, 1}, mid, PortRef{1, 1});
    w.model.objects.push_back(c);
    w.control.contextBlock = sw;
    for (const char* value : {"1", "0"}) {
        w.windows.parameters = [value](BlockObject&, std::vector<String>& v) {
            v[0] = value;
            return 1;
        };
        w.commands.onCommand(kCommandParameters);
        EXPECT_EQ(c->style & kConnectionHidden, std::string(value) == "1" ? kConnectionHidden : 0) << value;
    }
}

TEST(PaneCommandDispatch, LayoutKeepsTheBlockCentred)
{
    struct Case {
        int width;
        int movedBy;
    } cases[] = {{4, 1}, {5, 0}, {6, 0}};
    for (const Case& c : cases) {
        CommandWorld w;
        BlockObject* b = w.block("pt1.blk", Point(4, 4));
        b->setGeometry(6, 4);
        w.control.contextBlock = b;
        w.windows.layout = [&](BlockObject&, BlockLayoutValues& v) {
            v.width = c.width;
            v.height = 5;
            return 1;
        };
        w.commands.onCommand(kCommandLayout);
        EXPECT_EQ(b->position.x(), 4 + c.movedBy) << c.width;
        EXPECT_EQ(b->size.x(), c.width);
    }
}

TEST(PaneCommandDispatch, EditorBlockIsRebuiltAfterTheEditorSaved)
{
    CommandWorld w;
    BlockObject* old = w.localBlock("Editor", "$ WIZARD Editor\nBLOCK Editor;\nINPUT u;\nOUTPUT y;\n"
                                              "PARAMETER K = 1;\nSIM\nENDBLOCK\n", "Editor");
    ASSERT_NE(old, nullptr);
    old->setParameterValue("K", "8");
    old->setText("Eigener");
    w.shell.saved = 1;
    w.shell.rewrite = [&](const char*) {
        w.scratch.write("local/Editor", "$ WIZARD Editor\nBLOCK Editor;\nINPUT u;\nOUTPUT y;\n"
                                        "PARAMETER K = 2; T = 1;\nSIM\nENDBLOCK\n");
    };
    w.control.contextBlock = old;
    w.commands.onCommand(kCommandEditOrView);
    EXPECT_EQ(w.shell.readOnlyFlags, std::vector<int>{0});
    ASSERT_EQ(w.count(1), 1);
    BlockObject* fresh = w.blocks()[0];
    EXPECT_NE(fresh, old);
    EXPECT_EQ(fresh->parameterCount, 2);
    EXPECT_STREQ(fresh->parameterValues[0].text(), "8");
    EXPECT_STREQ(fresh->getText().text(), "Eigener");
}

// ---------------------------------------------------------------- copy to Local

std::string rewritten(const std::string& text)
{
    ScratchDir dir;
    std::string in = dir.write("in", text);
    FILE* source = fopen(in.c_str(), "r");
    FILE* target = fopen(dir.file("out").c_str(), "w");
    bool ok = copyAsEditorBlock(source, target);
    fclose(source);
    fclose(target);
    return ok ? dir.read("out") : "FAILED";
}

TEST(CopyToLocal, HeaderRewrite)
{
    EXPECT_EQ(rewritten("# Kommentar\n  # noch einer\nBLOCK A;\nSIM\n"),
              "# Kommentar\n  # noch einer\n$ WIZARD Editor\nBLOCK A;\nSIM\n");
    EXPECT_EQ(rewritten("# K\n$ BLOCKDIM 1 1 6 3\nBLOCK A;\n"), "# K\n$ BLOCKDIM 1 1 6 3\nBLOCK A;\n");
    std::string longComment = "#" + std::string(3000, 'x') + "\n";
    EXPECT_EQ(rewritten(longComment + "BLOCK A;\n"), longComment + "$ WIZARD Editor\nBLOCK A;\n");
}

TEST(CopyToLocal, ReplacesTheBlockKeepingConnectionsParametersAndText)
{
    CommandWorld w;
    BlockObject* b = w.block("pt1.blk", Point(4, 4));
    BlockObject* sink = w.block("pt1.blk", Point(20, 4));
    ConnectionObject* c = w.model.createConnection(b, PortRef{2, 1}, sink, PortRef{1, 1});
    ASSERT_NE(c, nullptr);
    b->setParameterValue("K", "9");
    b->setText("Strecke");
    w.control.contextBlock = b;
    EXPECT_EQ(w.commands.onCommand(kCommandToLocal), 1);
    EXPECT_FALSE(w.model.contains(b));
    BlockObject* fresh = c->blockA;
    ASSERT_NE(fresh, b);
    EXPECT_STREQ(fresh->libraryName.text(), "Local");
    EXPECT_EQ(fresh->wizardFlag, 1);
    EXPECT_STREQ(fresh->wizardName.text(), "Editor");
    EXPECT_STREQ(fresh->parameterValues[0].text(), "9");
    EXPECT_STREQ(fresh->getText().text(), "Strecke");
    EXPECT_EQ(fresh->position, Point(4, 4));
    std::string file = w.scratch.read("local/Editor");
    EXPECT_NE(file.find("$ WIZARD Editor\nBLOCK PT1;"), std::string::npos);
    EXPECT_NE(w.index().find("Editor"), std::string::npos);
}

// ---------------------------------------------------------------- fragments

TEST(Fragments, CancelledLoadUnmarksAndReturnsToEditing)
{
    CommandWorld w;
    BlockObject* b = w.block("pt1.blk", Point(4, 4));
    b->markWord = 1;
    w.control.setTool(kToolDelete);
    w.commands.onCommand(kCommandLoadFragment);
    EXPECT_EQ(b->markWord, 0);
    EXPECT_EQ(w.control.getTool(), kToolEdit);
}

TEST(Fragments, ALoadedFragmentAddsBlocksAndKeepsTheSettings)
{
    CommandWorld w;
    w.block("pt1.blk", Point(4, 4));
    // A fragment: a circuit written from one marked block.
    CircuitModel source;
    BlockObject* b = source.createBlock(Point(20, 20), Point(6, 4), (kFixtures + "/standard/pt1.blk").c_str(),
                                        "Standard", 0);
    b->markWord = 1;
    std::string path = w.scratch.file("teil.kyf");
    ASSERT_TRUE(source.saveCircuit(path.c_str(), 0, 1));
    source.clear();
    w.workspace.simParams.MAXSTEP = 0.125;
    w.windows.fragment = w.scratch.file("teil");
    w.commands.onCommand(kCommandLoadFragment);
    EXPECT_EQ(w.count(1), 2);
    EXPECT_EQ(w.workspace.simParams.MAXSTEP, 0.125);
    EXPECT_TRUE(w.boxes().empty());
}

} // namespace
