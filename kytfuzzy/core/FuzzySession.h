// One editing session of the fuzzy-block editor without windows: the block
// being edited, its file, title and rule text, the modified flag, the
// deletion that can be taken back, and the exit code the main program reads.
// The frame maps its commands onto it; questions, boxes, file choices and
// the editor dialogs come through FuzzySessionUi.
#ifndef KYT_KYTFUZZY_FUZZYSESSION_H
#define KYT_KYTFUZZY_FUZZYSESSION_H

#include "FuzzyKernel.h"

#include <cstddef>
#include <ctime>
#include <string>

// Rule lines are read whole up to this length.
const size_t kMaxFuzzyRuleLine = 16u << 20;

class FuzzySessionUi {
public:
    virtual ~FuzzySessionUi() {}
    // A question; true for Yes (or OK).
    virtual bool ask(const std::string& text) = 0;
    virtual void showBox(const std::string& text, const std::string& caption) = 0;
    // A box that only informs.
    virtual void inform(const std::string& text, const std::string& caption) { showBox(text, caption); }
    // The chosen path, empty when cancelled.
    virtual std::string chooseFileToOpen() = 0;
    virtual std::string chooseFileToSave() = 0;
    // The dialogs of a new block; true when confirmed. Until the dialogs
    // exist they are cancelled.
    virtual bool runConfigurationDialog(FuzzyKernel*) { return false; }
    virtual bool runNewVariableDialog(FuzzyKernel*) { return false; }
    virtual bool runNewSetDialog(FuzzyKernel*) { return false; }
    // The commands that need a block (menu entries 11020, 11014, 11036,
    // 11048, 11049, 11050 and their buttons).
    virtual void setBlockCommandsEnabled(bool) {}
    // Menu entry 11047.
    virtual void setUndoEnabled(bool) {}
    virtual void titleChanged(const std::string&) {}
    // The pages show the model anew.
    virtual void pagesChanged() {}
    // The block is about to be freed: nothing may point into it any more.
    virtual void modelDropped() {}
    // A file was opened or saved under its name.
    virtual void addRecentFile(const std::string&) {}
};

// The deletion that can be taken back: one variable or one member set.
class UndoDeletion {
public:
    ~UndoDeletion();
    // Keep a variable taken out of the block (usage word: "Eingang" for an
    // input), or a member set with the name of its variable; the object
    // kept before is freed.
    void rememberVariable(FuzzyVariable* variable, const std::string& usage);
    void rememberFuzzySet(FuzzyMember* member, const std::string& variableName);
    bool canUndo() const { return variable || member; }
    // Puts the kept object back into the block; false with the box text in
    // *refusal when its name is taken or its variable is gone.
    bool undo(FuzzyBlock* block, std::string* refusal, std::string* restoredVariable);
    void forget();

private:
    FuzzyVariable* variable = nullptr;
    std::string usage;
    FuzzyMember* member = nullptr;
    std::string variableName;
};

class FuzzySession {
public:
    typedef std::time_t (*Clock)();

    explicit FuzzySession(FuzzySessionUi* ui, Clock clock = nullptr);
    ~FuzzySession();

    // Wizard mode: started by the main program for blockName in directory.
    void setWizard(const std::string& blockName, const std::string& directory);
    bool isWizardMode() const { return !wizardSaveName.empty(); }

    // The commands; each 1 done, 0 not.
    int newBlock();
    // The file to open when set (a recent file, the extracted wizard text),
    // else the file dialog asks.
    int openBlock(const std::string& file = "");
    int save();
    int saveAs();
    // Exit or the window's close: true when the editor may end.
    bool close();
    int deleteVariable(const std::string& name);
    int deleteFuzzySet(const std::string& variableName, const std::string& setName);
    int undoDeletion();

    // The rule section of a fuzzy-block file: the lines between RULEBASE
    // and ENDRULEBASE, each ended by CR LF, trailing line ends trimmed to one.
    static std::string loadRuleText(const std::string& path);

    // The exit code the program ends with.
    int finalExitCode() const;

    FuzzyKernel* model() const { return kernel; }
    bool isModified() const { return modified; }
    void setModified() { modified = true; }
    const std::string& getTitle() const { return title; }
    const std::string& getCurrentFile() const { return currentFile; }
    const std::string& getRuleText() const { return ruleText; }
    void setRuleText(const std::string& text) { ruleText = text; }
    bool canUndo() const { return undo.canUndo(); }

private:
    bool askToSaveFirst(unsigned int question);
    void dropModel();
    void informBadRanges();
    void setTitle(const std::string& text);
    std::string fileTitle(const std::string& path) const;
    int saveWizardBlock();
    int writePlain(const std::string& path);

    FuzzySessionUi* ui;
    Clock clock;
    FuzzyKernel* kernel = nullptr;
    std::string currentFile;
    std::string title;
    std::string ruleText;
    bool modified = false;
    // 1 nothing to take over, -1 the last save failed, 0 the block was
    // written; a successful wizard save decides for good.
    int exitCode = 1;
    bool blockWritten = false;
    std::string wizardBlockName;
    std::string wizardDirectory;
    std::string wizardSaveName;
    UndoDeletion undo;
};

#endif
