// The editing pane's commands without the window: the block menu, the
// insert menu and its library items, the wizard blocks (Laplace generated
// here, Fuzzy and Ident by a companion program, Editor blocks in the text
// editor), fragments and the copy of a library block into library Local.
// Dialogs and the companion's start go through the interfaces below; the
// pane implements them, tests script them.
#ifndef KYT_CIRCUITFILES_PANECOMMANDS_H
#define KYT_CIRCUITFILES_PANECOMMANDS_H

#include "BlockDialogModels.h"
#include "CircuitModel.h"
#include "PaneController.h"
#include "String.h"
#include "strings/CircuitStrings.h"
#include "strings/SimulatorStrings.h"

#include <vector>

class InsertMenuTree;
class BlockCatalogue;

// Command ids of the block menu and the insert menu.
const int kCommandLayout = 113;
const int kCommandMarkData = 114;
const int kCommandBlockHelp = 135;
const int kCommandMirror = 137;
const int kCommandSelectBlock = 171;
const int kCommandEditOrView = 172;
const int kCommandFuzzyWizard = 181;
const int kCommandNeuroWizard = 182;
const int kCommandLaplaceWizard = 183;
const int kCommandIdentWizard = 184;
const int kCommandParameters = 1112;
const int kCommandLoadFragment = 18022;
const int kCommandToLocal = 18047;

const unsigned int kResNoLocalForWizard = kStrNoLocalForWizard;
const unsigned int kResIdentFailed = kStrIdentWizardFailed;
const unsigned int kResInWizard = kStrInWizard;
const unsigned int kResFuzzyFailed = kStrFuzzyWizardFailed;
const unsigned int kResFragmentFilter = kStrFragmentFilter;
const unsigned int kResFragmentTitle = kStrLoadFragment;
const unsigned int kResEditing = kStrStateEditing;
const unsigned int kResUnknownWizard = kStrUnknownWizard;

// The block a select-block dialog chose.
struct ChosenBlock {
    int accepted;
    int libraryIndex;
    int groupIndex;
    String file;
    String library;
};

// The dialogs and the status bar of the commands. Each dialog returns 1
// when the user accepted it.
class PaneCommandWindows {
public:
    virtual ~PaneCommandWindows() {}
    virtual ChosenBlock selectBlock(int startLibrary, int startGroup) = 0;
    // values holds the block's parameter values; the dialog edits them.
    virtual int editParameters(BlockObject& block, std::vector<String>& values) = 0;
    virtual int editLayout(BlockObject& block, BlockLayoutValues& values) = 0;
    virtual void markData(BlockObject& block) = 0;
    // The Laplace wizard dialog on text; the edited text comes back in it.
    virtual int askTransfer(String& text) = 0;
    // The fragment file dialog, opened in FRAGDIR; the chosen file's path.
    virtual int chooseFragment(String& path) = 0;
    virtual void setStatusField1(const char* text) = 0;
};

// Starts a companion program with its words in workDir and reports its
// exit code to PaneCommands::onWizardProcessDone once it has ended (−1 when
// it could not be started). A fake may report before start returns.
class CompanionStarter {
public:
    virtual ~CompanionStarter() {}
    virtual void start(const String& program, const std::vector<String>& words, const String& workDir) = 0;
};

// The one companion run of the program.
struct WizardJob {
    String program;
    String kind;
    String blockPath;
    int editFlag = 0;
    BlockObject* block = nullptr;
    int running = 0;
};

class PaneCommands {
public:
    PaneCommands(CircuitModel& model, PaneController& control, PaneCommandWindows& windows,
                 CompanionStarter& starter);

    // 1 for a command of the pane (also when it then does nothing), 0 for
    // any other id, which is the frame's. The fixed ids are tried before
    // the library items.
    int onCommand(int id);

    // The library items of the insert menu shown last (null: none).
    void setLibraryMenu(const InsertMenuTree* tree) { libraryMenu = tree; }
    // The directory of kyt.ini: the companions run there.
    void setInstallDirectory(const char* dir) { installDirectory = dir ? dir : ""; }

    int createWizardBlock(const char* kind);
    int editWizardBlock(BlockObject* block);
    void finishWizardBlock(int exitCode, const String& kind, const String& blockPath, const String& program,
                           BlockObject* block, int editFlag);
    // The companion ended (the starter's report).
    void onWizardProcessDone(int exitCode);
    // The library block becomes an editable block of library Local.
    int copyToLocal(BlockObject* block);
    // 1 when the companion of a job still runs.
    int wizardRunning() const { return job.running; }

    int lastLibrary;
    int lastEntry;

private:
    Point snappedPressPoint();
    BlockObject* insertAtPress(const char* file, const char* library, int noWizardCheck);
    void layout(BlockObject* block);
    void parameters(BlockObject* block);
    void blockHelp(BlockObject* block);
    void viewOrEdit(BlockObject* block);
    void loadFragment();
    void selectBlock();
    int insertLibraryItem(int id);
    // Laplace: the dialog until the generator accepts a text; 0 on Cancel.
    int laplaceLoop(String& text, const String& blockPath, const String& name);
    BlockObject* rebuild(BlockObject* old, const String& blockPath, int copyParameters, int copyText);
    void startWizardProcess(const String& kind, const String& blockPath, int editFlag, BlockObject* block,
                            const String& program, const std::vector<String>& words);
    String companionPath(const String& kind) const;
    void repaintAll();

    CircuitModel& model;
    PaneController& control;
    PaneCommandWindows& windows;
    CompanionStarter& starter;
    const InsertMenuTree* libraryMenu;
    String installDirectory;
    WizardJob job;
};

// The header rewrite of a library block copied into library Local: the
// "#" lines stay, then "$ WIZARD Editor" before the first other line
// unless that line starts with "$". Whole lines, whatever their length.
bool copyAsEditorBlock(FILE* source, FILE* target);

#endif
