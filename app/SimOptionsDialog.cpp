#include "SimOptionsDialog.h"

#include "Control.h"
#include "NumberFields.h"
#include "ResourceId.h"
#include "Workspace.h"

#include <windows.h>

namespace {

// The six number fields, top to bottom.
const int kNumberFields[6] = {SIMOPT_INITSTEP, SIMOPT_MINSTEP, SIMOPT_MAXSTEP,
                              SIMOPT_RELERR,   SIMOPT_ABSERR,  SIMOPT_LIMIT};

const char kHelpMarker[] = "IDH_HELP_OptionsDlg";

std::string textOf(EditCL* edit)
{
    if (!edit || !edit->isWindow())
        return std::string();
    String t = edit->getText();
    return t.text() ? t.text() : "";
}

} // namespace

void (*SimOptionsDialog::shownHook)(SimOptionsDialog*) = nullptr;

SimOptionsDialog::SimOptionsDialog(WindowCL* parentWindow, SimOptionsModel& m)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(kTemplate))), model(m), methods(nullptr),
      xAxis(nullptr), edits{}
{
    methods = new ComboBoxCL(this, SIMOPT_METHOD);
    for (int i = 0; i < kDialogMethodCount; ++i)
        methods->addString(methodText(i));
    xAxis = new ComboBoxCL(this, SIMOPT_XAXIS);
    for (const std::string& entry : model.xAxisEntries)
        xAxis->addString(entry.c_str());
    for (int i = 0; i < 6; ++i) {
        // OK refuses a text that is no number, naming the field by its label.
        edits[i] = new NumberEditCL(this, kNumberFields[i]);
        edits[i]->limitText(kTextLimit);
    }
    showModel();
}

void SimOptionsDialog::showModel()
{
    methods->setCurSel(model.methodIndex);
    xAxis->setCurSel(model.xIndex);
    for (int i = 0; i < 6; ++i)
        if (std::string* text = model.field(kNumberFields[i]))
            edits[i]->setText(text->c_str());
    enableErrorFields();
}

void SimOptionsDialog::enableErrorFields()
{
    for (EditCL* edit : edits)
        edit->enable();
    if (!model.errorFieldsEnabled()) {
        for (EditCL* edit : edits)
            if (edit->id == SIMOPT_ABSERR || edit->id == SIMOPT_RELERR)
                edit->disable();
    }
}

void SimOptionsDialog::takeBack()
{
    const int method = methods->getCurSel();
    if (method >= 0)
        model.selectMethod(method);
    // An empty list keeps -1.
    if (xAxis->getCount() > 0 && xAxis->getCurSel() >= 0)
        model.xIndex = xAxis->getCurSel();
    for (EditCL* edit : edits)
        if (std::string* text = model.field(edit->id)) {
            *text = textOf(edit);
            model.leaveField(edit->id);
        }
}

bool SimOptionsDialog::ask()
{
    if (shownHook)
        shownHook(this);
    runModal();
    if (!accepted)
        return false;
    takeBack();
    return true;
}

LRESULT SimOptionsDialog::onCommand(EventRecord* event)
{
    const int id = LOWORD(event->wParam);
    const int code = HIWORD(event->wParam);
    if (id == SIMOPT_METHOD && code == CBN_SELCHANGE) {
        model.selectMethod(methods->getCurSel());
        enableErrorFields();
        return 1;
    }
    if (code == EN_KILLFOCUS && model.field(id)) {
        for (EditCL* edit : edits)
            if (edit->id == id) {
                *model.field(id) = textOf(edit);
                model.leaveField(id);
                edit->setText(model.field(id)->c_str());
            }
        return 1;
    }
    if (code == BN_CLICKED && id == SIMOPT_DEFAULTS) {
        // Only the fields: the circuit's settings change on OK alone.
        model.setDefaults();
        showModel();
        return 1;
    }
    if (code == BN_CLICKED && id == SIMOPT_HELP) {
        if (theWorkspace)
            theWorkspace->showHelpSection(kHelpMarker);
        return 1;
    }
    return FieldDialogCL::onCommand(event);
}
