// The editor dialogs: the block's configuration, a new variable or set,
// and the renaming of the current variable or set. Each runs modally in its
// constructor; the frame reads the result and deletes it. The frame's hooks
// run them for New and for the commands 11014, 117, 118, 11049 and 11050.
#ifndef KYT_KYTFUZZY_EDITORDIALOGS_H
#define KYT_KYTFUZZY_EDITORDIALOGS_H

#include "Control.h"
#include "Dialog.h"
#include "DialogRules.h"
#include "FuzzyEditorFrame.h"

// The dialogs with one name field (templates 109, 111, 161, 162).
class NameDialog : public FieldDialogCL {
public:
    int result = 0;
    String name;
    EditCL* field;

protected:
    NameDialog(FuzzyEditorFrame* frame, int templateId, const std::string& initial);
    void run();
    LRESULT ok(EventRecord* event);
    LRESULT cancel(EventRecord* event);
    LRESULT help(EventRecord* event);
    // The change of OK on the model.
    virtual DialogOutcome apply() = 0;
    // After a change: the pages show it.
    virtual void applied() {}
    virtual void cancelled() {}
    void refuse(unsigned int message);

    FuzzyEditorFrame* frame;
    int templateNumber;
    // An answer that came before the modal run began (showing the dialog
    // may deliver it): the run is not started then.
    bool finished = false;
};

class LvarDlg : public NameDialog {
public:
    explicit LvarDlg(FuzzyEditorFrame* frame);

private:
    DialogOutcome apply() override;
    void cancelled() override;
};

class FsetDlg : public NameDialog {
public:
    explicit FsetDlg(FuzzyEditorFrame* frame);

private:
    DialogOutcome apply() override;
    void applied() override;
    void cancelled() override;
};

class ChangeLvarNameDlg : public NameDialog {
public:
    explicit ChangeLvarNameDlg(FuzzyEditorFrame* frame);

private:
    DialogOutcome apply() override;
    void applied() override;
};

class ChangeFsetNameDlg : public NameDialog {
public:
    explicit ChangeFsetNameDlg(FuzzyEditorFrame* frame);

private:
    DialogOutcome apply() override;
    void applied() override;
};

class ConfigurationDlg : public FieldDialogCL {
public:
    ConfigurationDlg(FuzzyEditorFrame* frame, FuzzyKernel* kernel);
    int result = 0;

private:
    LRESULT ok(EventRecord* event);
    LRESULT cancel(EventRecord* event);
    LRESULT chooseColour(EventRecord* event);
    LRESULT standardColour(EventRecord* event);
    LRESULT help(EventRecord* event);
    void showSample();

    FuzzyEditorFrame* frame;
    FuzzyKernel* kernel;
    bool finished = false;
    String texts[5];
    StaticCL* sample;
    COLORREF colour;
};

class RuleEditorWindow;

// The frame's hooks that run the dialogs and the rule editor.
class EditorDialogHooks : public FuzzyEditorHooks {
public:
    explicit EditorDialogHooks(FuzzyEditorFrame* f) : frame(f) {}
    ~EditorDialogHooks() override;
    RuleEditorWindow* ruleEditor() const { return rules; }
    bool runConfigurationDialog(FuzzyKernel* kernel) override;
    bool runNewVariableDialog(FuzzyKernel* kernel) override;
    bool runNewSetDialog(FuzzyKernel* kernel) override;
    bool command(unsigned int id) override;

private:
    void openRuleEditor();

    FuzzyEditorFrame* frame;
    RuleEditorWindow* rules = nullptr;
};

#endif
