// The rule-base editor: a window with the rules as plain text. Checking and
// leaving run the rule parsers over its work file rule.tmp in the temporary
// directory; leaving stores the text back into the frame. A tool bar and a
// status line frame the text; it prints the rules through rule_pr.tmp and
// shows the block's variables and sets in a text viewer.
#ifndef KYT_KYTFUZZY_RULEEDITORWINDOW_H
#define KYT_KYTFUZZY_RULEEDITORWINDOW_H

#include "Frame.h"

#include <string>

class FrameStatusBarCL;
class FuzzyEditorFrame;
class HelpViewer;
class PrintAbortDialog;
class PrintJob;
class PrinterDC;
class TextEditCtrlCL;
class ToolBarCL;

// The rule editor's commands (menu 114 and its tool bar).
enum RuleEditorCommand {
    CMD_RULE_CUT = 126,
    CMD_RULE_COPY = 127,
    CMD_RULE_PASTE = 128,
    CMD_RULE_BLOCK_INFO = 9010,
    CMD_RULE_HELP = 9012,
    CMD_RULE_CHECK = 9013,
    CMD_RULE_PRINT = 9014,
    CMD_RULE_LEAVE = 11023
};

// Resources of the window.
const int kRuleEditorIcon = 133;
const int kRuleEditorMenu = 114;
// The status line's menu-help field.
const int kRuleMenuHelpField = 1113;

// The print set-up of a print: 1 when the user confirmed it. By default the
// printer's own set-up dialog; tests answer it themselves.
typedef int (*RulePrintSetup)(PrinterDC* printer);
void setRulePrintSetup(RulePrintSetup setup);

class RuleEditorWindow : public AppFrameCL {
public:
    // owner is cleared when the window goes.
    RuleEditorWindow(FuzzyEditorFrame* frame, RuleEditorWindow** owner);
    ~RuleEditorWindow() override;

    LRESULT defaultEvent(EventRecord* event) override;
    LRESULT onCommand(EventRecord* event) override;
    LRESULT onClose(EventRecord* event) override;
    LRESULT onFocus(EventRecord* event) override;

    // 9013; 11023 and the close box; 9014; 9010.
    void check();
    void leave();
    void print();
    void showBlockInformation();
    TextEditCtrlCL* editor() const { return text; }
    ToolBarCL* getToolBar() const { return toolBar; }
    FrameStatusBarCL* getStatusLine() const { return statusLine; }
    const std::string& getWorkPath() const { return workPath; }

    // The program's one text viewer (help and block information), kept by
    // the options; null when none.
    HelpViewer* textViewer() const;

private:
    void buildToolBar();
    void buildStatusLine();
    bool saveWorkFile();
    void workFileFailure();
    void close();
    void abandonPrintJob();
    void updateMenu(HMENU popup);
    // The block information and help: in the program's one text viewer,
    // titled "KYT-Fuzzy Hilfe".
    void showInViewer(const std::string& shown);

    FuzzyEditorFrame* frame;
    RuleEditorWindow** owner;
    ToolBarCL* toolBar = nullptr;
    FrameStatusBarCL* statusLine = nullptr;
    TextEditCtrlCL* text = nullptr;
    PrinterDC* printer = nullptr;
    // The job printing this editor's text and its abort dialog, until it ends.
    PrintJob* printJob = nullptr;
    PrintAbortDialog* printDialog = nullptr;
    HWND printDialogWindow = nullptr;
    std::string workPath;
    std::string printPath;
};

#endif
