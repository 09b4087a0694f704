#include "EditorDialogs.h"

#include "Application.h"
#include "FsetPage.h"
#include "FuzzyOptions.h"
#include "LvarPage.h"
#include "MsfPage.h"
#include "ResString.h"
#include "RuleEditorWindow.h"
#include "RuleText.h"
#include "strings/KytfuzzyStrings.h"

#include <commdlg.h>

namespace {

const int kNameField = 1012;
const int kNameOk = 1017;
enum { TEMPLATE_CONFIGURATION = 108, TEMPLATE_VARIABLE = 109, TEMPLATE_SET = 111,
       TEMPLATE_RENAME_VARIABLE = 161, TEMPLATE_RENAME_SET = 162 };
enum { ID_AND = 1004, ID_OR = 1005, ID_INFERENCE = 1006, ID_DEFUZZIFICATION = 1007,
       ID_CHOOSE = 1020, ID_STANDARD = 1021, ID_SAMPLE = 1023 };
const COLORREF kStandardColour = RGB(254, 255, 223);

// Each dialog's "Hilfe" button and the topic of fuzzyhlp.txt it shows.
struct DialogHelp {
    int templateId;
    int button;
    const char* topic;
};
const DialogHelp kDialogHelp[] = {
    {TEMPLATE_CONFIGURATION, 1018, "IDH_HELP_Configuration"},
    {TEMPLATE_VARIABLE, 1016, "IDH_HELP_Lvar"},
    {TEMPLATE_SET, 1024, "IDH_HELP_Fset"},
    {TEMPLATE_RENAME_VARIABLE, 3, "IDH_HELP_ChangeLvarName"},
    {TEMPLATE_RENAME_SET, 3, "IDH_HELP_ChangeFsetName"},
};

const DialogHelp* helpOf(int templateId)
{
    for (const DialogHelp& h : kDialogHelp)
        if (h.templateId == templateId)
            return &h;
    return nullptr;
}

void showDialogHelp(FuzzyEditorFrame* frame, int templateId)
{
    if (const DialogHelp* h = helpOf(templateId))
        frame->getOptions()->showHelp(h->topic);
}

// The chooser's custom colours live for the run of the program.
COLORREF customColours[16] = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};

void stopBox(WindowCL* owner, unsigned int message)
{
    MessageBoxObject(owner, getResString(message), getResString(kStrFzProgramTitle), MB_OK | MB_ICONHAND);
}

void redrawGraphic(FuzzyEditorFrame* frame)
{
    if (MsfPage* msf = frame->getMembershipPage()) {
        msf->build(frame->pageState().variable);
        InvalidateRect(msf->hwnd, nullptr, TRUE);
    }
}

} // namespace

// ---------------------------------------------------------------- name dialogs

NameDialog::NameDialog(FuzzyEditorFrame* owner, int templateId, const std::string& initial)
    : FieldDialogCL(owner, ResourceId(templateId)), name(initial.c_str()), frame(owner), templateNumber(templateId)
{
    field = new EditCL(this, kNameField, &name, kAcceptEmpty);
    if (WindowCL* helpButton = helpOf(templateId) ? findChild(helpOf(templateId)->button) : nullptr)
        addCommandHandler(new NotifyHandlerRecord(helpButton->hwnd, BN_CLICKED, &NameDialog::help, this));
    if (WindowCL* okButton = findChild(kNameOk))
        addCommandHandler(new NotifyHandlerRecord(okButton->hwnd, BN_CLICKED, &NameDialog::ok, this));
    if (WindowCL* cancelButton = findChild(IDCANCEL))
        addCommandHandler(new NotifyHandlerRecord(cancelButton->hwnd, BN_CLICKED, &NameDialog::cancel, this));
}

void NameDialog::run()
{
    centerWindow(this, 1);
    show(SW_SHOW);
    SetFocus(field->hwnd);
    field->setSelection(0, 20);
    if (!finished)
        runModal();
}

void NameDialog::refuse(unsigned int message)
{
    if (message)
        stopBox(this, message);
    SetFocus(field->hwnd);
    field->setSelection(0, 30);
}

LRESULT NameDialog::ok(EventRecord*)
{
    field->storeValue();
    const DialogOutcome outcome = apply();
    switch (outcome.kind) {
    case DialogOutcome::REFUSED:
        refuse(outcome.message);
        return 1;
    case DialogOutcome::ENDED:
        if (outcome.message)
            stopBox(this, outcome.message);
        result = 0;
        finished = true;
        endDialog();
        return 1;
    case DialogOutcome::DONE:
        result = 1;
        finished = true;
        endDialog();
        applied();
        return 1;
    }
    return 1;
}

LRESULT NameDialog::help(EventRecord*)
{
    showDialogHelp(frame, templateNumber);
    return 1;
}

LRESULT NameDialog::cancel(EventRecord*)
{
    result = 0;
    finished = true;
    endDialog();
    cancelled();
    return 1;
}

LvarDlg::LvarDlg(FuzzyEditorFrame* f) : NameDialog(f, TEMPLATE_VARIABLE, initialVariableName(f->block()))
{
    run();
}

DialogOutcome LvarDlg::apply()
{
    return addVariable(frame->block(), name.text(), frame->pageState());
}

void LvarDlg::cancelled()
{
    if (MsfPage* msf = frame->getMembershipPage())
        InvalidateRect(msf->hwnd, nullptr, TRUE);
}

FsetDlg::FsetDlg(FuzzyEditorFrame* f) : NameDialog(f, TEMPLATE_SET, initialSetName(f->pageState().variable))
{
    run();
}

DialogOutcome FsetDlg::apply()
{
    return addSet(name.text(), frame->pageState());
}

void FsetDlg::applied()
{
    if (FsetPage* fset = frame->getSetPage())
        fset->showVariable();
    redrawGraphic(frame);
}

void FsetDlg::cancelled()
{
    frame->pageState().set = nullptr;
    redrawGraphic(frame);
}

ChangeLvarNameDlg::ChangeLvarNameDlg(FuzzyEditorFrame* f)
    : NameDialog(f, TEMPLATE_RENAME_VARIABLE, f->pageState().variableName.text() ? f->pageState().variableName.text() : "")
{
    run();
}

DialogOutcome ChangeLvarNameDlg::apply()
{
    const std::string old = frame->pageState().variableName.text() ? frame->pageState().variableName.text() : "";
    const DialogOutcome outcome = renameVariable(frame->block(), name.text(), frame->pageState());
    if (outcome.kind == DialogOutcome::REFUSED && isBlankName(name.text())) {
        name = old.c_str();
        field->loadValue();
    }
    return outcome;
}

void ChangeLvarNameDlg::applied()
{
    if (!frame->pageState().variable)
        return;
    if (LvarPage* lvar = frame->getVariablePage())
        lvar->refresh();
    redrawGraphic(frame);
    frame->setModified();
}

ChangeFsetNameDlg::ChangeFsetNameDlg(FuzzyEditorFrame* f)
    : NameDialog(f, TEMPLATE_RENAME_SET, f->pageState().setName.text() ? f->pageState().setName.text() : "")
{
    run();
}

DialogOutcome ChangeFsetNameDlg::apply()
{
    const std::string old = frame->pageState().setName.text() ? frame->pageState().setName.text() : "";
    const DialogOutcome outcome = renameSet(name.text(), frame->pageState());
    if (outcome.kind == DialogOutcome::REFUSED && isBlankName(name.text())) {
        name = old.c_str();
        field->loadValue();
    }
    return outcome;
}

void ChangeFsetNameDlg::applied()
{
    if (!frame->pageState().set)
        return;
    if (FsetPage* fset = frame->getSetPage())
        fset->showVariable();
    redrawGraphic(frame);
    frame->setModified();
}

// ---------------------------------------------------------------- configuration

ConfigurationDlg::ConfigurationDlg(FuzzyEditorFrame* f, FuzzyKernel* k)
    : FieldDialogCL(f, ResourceId(TEMPLATE_CONFIGURATION)), frame(f), kernel(k)
{
    const ConfigurationTexts initial = initialConfiguration(kernel ? kernel->getBlock() : nullptr);
    texts[0] = initial.name.c_str();
    texts[1] = initial.andMethod.c_str();
    texts[2] = initial.orMethod.c_str();
    texts[3] = initial.inference.c_str();
    texts[4] = initial.defuzzification.c_str();
    new EditCL(this, kNameField, &texts[0], kAcceptEmpty);
    const std::string centroid = getResString(kResCentroidWord), maximum = getResString(kResMaximumWord);
    struct List {
        int id;
        std::vector<std::string> words;
    } const lists[4] = {{ID_AND, {"min"}},
                        {ID_OR, {"max"}},
                        {ID_INFERENCE, {"max_prod", "max_min"}},
                        {ID_DEFUZZIFICATION, {centroid, maximum}}};
    for (int i = 0; i < 4; ++i) {
        BoundComboBoxCL* list = new BoundComboBoxCL(this, lists[i].id, &texts[i + 1]);
        for (const std::string& word : lists[i].words)
            list->addString(word.c_str());
        list->loadValue();
    }
    const FuzzyPaneColor& c = frame->getOptions()->color;
    colour = RGB(c.red, c.green, c.blue);
    sample = new StaticCL(this, ID_SAMPLE);
    showSample();
    if (WindowCL* okButton = findChild(IDOK))
        addCommandHandler(new NotifyHandlerRecord(okButton->hwnd, BN_CLICKED, &ConfigurationDlg::ok, this));
    if (WindowCL* cancelButton = findChild(IDCANCEL))
        addCommandHandler(new NotifyHandlerRecord(cancelButton->hwnd, BN_CLICKED, &ConfigurationDlg::cancel, this));
    if (WindowCL* choose = findChild(ID_CHOOSE))
        addCommandHandler(new NotifyHandlerRecord(choose->hwnd, BN_CLICKED, &ConfigurationDlg::chooseColour, this));
    if (WindowCL* helpButton = findChild(helpOf(TEMPLATE_CONFIGURATION)->button))
        addCommandHandler(new NotifyHandlerRecord(helpButton->hwnd, BN_CLICKED, &ConfigurationDlg::help, this));
    if (WindowCL* standard = findChild(ID_STANDARD))
        addCommandHandler(
            new NotifyHandlerRecord(standard->hwnd, BN_CLICKED, &ConfigurationDlg::standardColour, this));
    centerWindow(this, 1);
    show(SW_SHOW);
    if (WindowCL* nameField = findChild(kNameField)) {
        SetFocus(nameField->hwnd);
        SendMessageA(nameField->hwnd, EM_SETSEL, 0, 20);
    }
    if (!finished)
        runModal();
}

void ConfigurationDlg::showSample()
{
    sample->setBackColor(Color(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    InvalidateRect(sample->hwnd, nullptr, TRUE);
}

LRESULT ConfigurationDlg::chooseColour(EventRecord*)
{
    CHOOSECOLORA choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = hwnd;
    choice.rgbResult = colour;
    choice.lpCustColors = customColours;
    choice.Flags = CC_RGBINIT;
    if (ChooseColorA(&choice)) {
        colour = choice.rgbResult;
        showSample();
    }
    return 1;
}

LRESULT ConfigurationDlg::standardColour(EventRecord*)
{
    colour = kStandardColour;
    showSample();
    return 1;
}

LRESULT ConfigurationDlg::help(EventRecord*)
{
    showDialogHelp(frame, TEMPLATE_CONFIGURATION);
    return 1;
}

LRESULT ConfigurationDlg::ok(EventRecord*)
{
    DListIteratorOf<WindowCL> walk(*children);
    while (WindowCL* child = walk.next())
        if (VisualCtrl* c = dynamic_cast<VisualCtrl*>(child))
            c->storeValue();
    ConfigurationTexts chosen;
    chosen.name = texts[0].text() ? texts[0].text() : "";
    chosen.andMethod = texts[1].text() ? texts[1].text() : "";
    chosen.orMethod = texts[2].text() ? texts[2].text() : "";
    chosen.inference = texts[3].text() ? texts[3].text() : "";
    chosen.defuzzification = texts[4].text() ? texts[4].text() : "";
    applyConfiguration(kernel ? kernel->getBlock() : nullptr, chosen);
    FuzzyPaneColor& c = frame->getOptions()->color;
    c.red = GetRValue(colour);
    c.green = GetGValue(colour);
    c.blue = GetBValue(colour);
    c.flag = 0;
    result = 1;
    finished = true;
    endDialog();
    return 1;
}

LRESULT ConfigurationDlg::cancel(EventRecord*)
{
    result = 0;
    finished = true;
    endDialog();
    return 1;
}

// ---------------------------------------------------------------- hooks

bool EditorDialogHooks::runConfigurationDialog(FuzzyKernel* kernel)
{
    ConfigurationDlg* dialog = new ConfigurationDlg(frame, kernel);
    const bool ok = dialog->result == 1;
    delete dialog;
    return ok;
}

bool EditorDialogHooks::runNewVariableDialog(FuzzyKernel*)
{
    LvarDlg* dialog = new LvarDlg(frame);
    const bool ok = dialog->result == 1;
    delete dialog;
    return ok;
}

bool EditorDialogHooks::runNewSetDialog(FuzzyKernel*)
{
    FsetDlg* dialog = new FsetDlg(frame);
    const bool ok = dialog->result == 1;
    delete dialog;
    return ok;
}

EditorDialogHooks::~EditorDialogHooks()
{
    if (rules && rules->isWindow())
        DestroyWindow(rules->hwnd);
}

void EditorDialogHooks::openRuleEditor()
{
    if (!frame->getSession().model())
        return;
    if (rules) {
        rules->show(SW_HIDE);
        rules->show(SW_SHOW);
        return;
    }
    // The editor control holds no more: it would open empty, and leaving it
    // would replace the rules with nothing.
    if (frame->getSession().getRuleText().size() > kMaxRuleText) {
        MessageBoxObject(frame, getResString(kResRulesTooLong), getResString(kStrFzRuleEditorTitle), MB_OK | MB_ICONHAND);
        return;
    }
    rules = new RuleEditorWindow(frame, &rules);
    rules->show(SW_SHOW);
}

bool EditorDialogHooks::command(unsigned int id)
{
    FuzzyPageState& s = frame->pageState();
    switch (id) {
    case CMD_RULE_EDITOR:
        openRuleEditor();
        return true;
    case CMD_GLOBAL_METHODS:
        if (!frame->getSession().model())
            return true;
        runConfigurationDialog(frame->getSession().model());
        if (MsfPage* msf = frame->getMembershipPage()) {
            msf->takeOptionsColour();
            if (FsetPage* fset = frame->getSetPage())
                fset->showVariable();
            InvalidateRect(msf->hwnd, nullptr, TRUE);
        }
        frame->setModified();
        return true;
    case CMD_ADD_VARIABLE:
        if (!frame->block())
            return true;
        if (runNewVariableDialog(nullptr)) {
            frame->setModified();
            runNewSetDialog(nullptr);
            if (LvarPage* lvar = frame->getVariablePage())
                lvar->refresh();
        }
        return true;
    case CMD_ADD_SET:
        if (!frame->block())
            return true;
        runNewSetDialog(nullptr);
        if (FsetPage* fset = frame->getSetPage())
            fset->showVariable();
        frame->setModified();
        return true;
    case CMD_RENAME_VARIABLE:
        if (s.variable)
            delete new ChangeLvarNameDlg(frame);
        return true;
    case CMD_RENAME_SET:
        if (s.variable && s.set)
            delete new ChangeFsetNameDlg(frame);
        return true;
    default:
        return false;
    }
}
