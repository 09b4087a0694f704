// The main window of the fuzzy-block editor: menu, tool bar, status bar and
// the four pages, over one editing session. The frame maps its commands
// onto the session and answers the session's questions with message boxes
// and file dialogs.
#ifndef KYT_KYTFUZZY_FUZZYEDITORFRAME_H
#define KYT_KYTFUZZY_FUZZYEDITORFRAME_H

#include "Frame.h"
#include "FuzzySession.h"
#include "PageRules.h"

#include <string>

class CharacteristicCommands;
class ComPage;
class EdgeLayout;
class FrameStatusBarCL;
class FsetPage;
class LvarPage;
class MsfPage;
class FuzzyOptions;
class HelpViewerWindowFactory;
class ToolBarCL;
class VisualCtrl;

// Command ids of the frame (menu 101, accelerators 134, tool bar).
enum FuzzyCommand {
    CMD_OPEN = 110,
    CMD_SAVE = 113,
    CMD_RULE_EDITOR = 116,
    CMD_ADD_VARIABLE = 117,
    CMD_ADD_SET = 118,
    CMD_DELETE_VARIABLE = 120,
    CMD_DELETE_SET = 121,
    CMD_EXPORT_MATLAB = 138,
    CMD_COMMENT_LINE = 144,
    CMD_SHOW_CHARACTERISTIC = 163,
    CMD_PRINT = 9001,
    CMD_NEW = 9003,
    CMD_HELP_CONTENTS = 9016,
    CMD_EXIT = 11004,
    CMD_INFO = 11005,
    CMD_GLOBAL_METHODS = 11014,
    CMD_SAVE_AS = 11020,
    CMD_COPY = 11036,
    CMD_FIRST_RECENT = 11037,
    CMD_LAST_RECENT = 11041,
    CMD_HELP_ERRORS = 11042,
    CMD_UNDO = 11047,
    CMD_EXPORT_ASCII = 11048,
    CMD_RENAME_VARIABLE = 11049,
    CMD_RENAME_SET = 11050,
    CMD_FIRST_PLOT = 18201,
    CMD_LAST_PLOT = 18209,
    CMD_ACTIVE_PLOT = 18230,
    CMD_RECALCULATE = 18238
};

// Resources of the program.
const int kFuzzyMenu = 101;
const int kFuzzyIcon = 131;
const int kFuzzyHelpIcon = 141;
const int kFuzzyAccelerators = 134;
// Status-bar fields: the short text at the left and the menu help.
const int kFuzzyStatusText = 1112;
const int kFuzzyMenuHelp = 1111;

// What later parts of the editor plug in: the editor dialogs, the rule
// editor, printing and help. Without them a command does
// nothing (and the dialogs of New answer "cancelled").
class FuzzyEditorHooks {
public:
    virtual ~FuzzyEditorHooks() {}
    virtual bool runConfigurationDialog(FuzzyKernel*) { return false; }
    virtual bool runNewVariableDialog(FuzzyKernel*) { return false; }
    virtual bool runNewSetDialog(FuzzyKernel*) { return false; }
    // Commands 116, 11014, 117, 118, 120, 121, 11049, 11050; true when
    // handled.
    virtual bool command(unsigned int) { return false; }
};

class FuzzyEditorFrame : public AppFrameCL, private FuzzySessionUi {
public:
    FuzzyEditorFrame(void* unused, Geometry* geometry, DWORD style, const char* title, FuzzyOptions* options);
    ~FuzzyEditorFrame() override;

    LRESULT onClose(EventRecord* event) override;
    LRESULT onCommand(EventRecord* event) override;

    // The id's command, as the menu sends it; 1 when handled.
    int runCommand(unsigned int id);
    // Exit or the window's close: posts the quit message when the editor may end.
    void closeEditor();
    void toggleCommentLine();
    // Rebuilds the "&Datei" and "&Fenster" popups from the options.
    void rebuildMenus();

    FuzzySession& getSession() { return session; }
    void setHooks(FuzzyEditorHooks* h) { hooks = h ? h : &noHooks; }
    ToolBarCL* getToolBar() const { return toolBar; }
    FrameStatusBarCL* getStatusBar() const { return statusBar; }
    bool hasPages() const { return variablePage != nullptr; }
    VisualCtrl* page(int index) const;
    LvarPage* getVariablePage() const { return variablePage; }
    ComPage* getCommentPage() const { return commentPage; }
    FsetPage* getSetPage() const { return setPage; }
    MsfPage* getMembershipPage() const { return membershipPage; }
    FuzzyOptions* getOptions() const { return options; }

    // What the pages share: the current variable and set and the field buffers.
    FuzzyPageState& pageState() { return state; }
    // The block being edited; null without one.
    FuzzyBlock* block() const { return session.model() ? session.model()->getBlock() : nullptr; }
    void setModified() { session.setModified(); }
    void setStatusText(int field, const std::string& text);
    void enableToolButton(int id, bool on);
    int getCommentState() const { return commentState; }
    // The About box, modal over the frame.
    void showInfo();
    // The modal listing of a file (the kyt.ini reader's syntax errors).
    void showListing(const char* message, const char* path, int line);

private:
    // FuzzySessionUi.
    bool ask(const std::string& text) override;
    void showBox(const std::string& text, const std::string& caption) override;
    std::string chooseFileToOpen() override;
    std::string chooseFileToSave() override;
    bool runConfigurationDialog(FuzzyKernel* k) override { return hooks->runConfigurationDialog(k); }
    bool runNewVariableDialog(FuzzyKernel* k) override { return hooks->runNewVariableDialog(k); }
    bool runNewSetDialog(FuzzyKernel* k) override { return hooks->runNewSetDialog(k); }
    void setBlockCommandsEnabled(bool on) override;
    void setUndoEnabled(bool on) override;
    void titleChanged(const std::string& title) override;
    void pagesChanged() override;
    void modelDropped() override;
    void inform(const std::string& text, const std::string& caption) override;
    void addRecentFile(const std::string& path) override;

    void buildToolBar();
    void buildStatusBar();
    void buildPages();
    void deletePages();
    void applyCommandStates();
    int openGivenFile(unsigned int command);

    FuzzyOptions* options;
    FuzzySession session;
    CharacteristicCommands* characteristic = nullptr;
    // The options' help windows, owned by this frame.
    HelpViewerWindowFactory* helpViewers = nullptr;
    FuzzyEditorHooks noHooks;
    FuzzyEditorHooks* hooks = &noHooks;
    int commentState = 1;
    bool blockCommands = false;
    bool undoEnabled = false;
    ToolBarCL* toolBar = nullptr;
    FrameStatusBarCL* statusBar = nullptr;
    FuzzyPageState state;
    LvarPage* variablePage = nullptr;
    ComPage* commentPage = nullptr;
    FsetPage* setPage = nullptr;
    MsfPage* membershipPage = nullptr;
    EdgeLayout* commentLayout = nullptr;
};

#endif
