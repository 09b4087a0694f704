#include "CharacteristicDialogs.h"

#include "Application.h"
#include "Control.h"
#include "FuzzyKernel.h"
#include "Layout.h"
#include "NumberFields.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "ResourceId.h"
#include "TableModel.h"
#include "TablePane.h"
#include "UnitPoint.h"
#include "strings/KytfuzzyStrings.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {


CharacteristicDialogHook dialogHook = nullptr;
std::function<void(const char*)>& helpFunction()
{
    static std::function<void(const char*)> help;
    return help;
}

void showHelp(const char* topic)
{
    if (helpFunction())
        helpFunction()(topic);
}

void runDialog(DialogFrameCL* dialog)
{
    centerWindow(dialog, 1);
    if (dialogHook)
        dialogHook(dialog);
    dialog->runModal();
}

std::string comboText(ComboBoxCL* list)
{
    String text;
    if (!list || list->getItemText(-1, text) == 0 || !text.text())
        return std::string();
    return text.text();
}

std::string editText(EditCL* edit)
{
    if (!edit || !edit->isWindow())
        return std::string();
    char buffer[64] = "";
    GetWindowTextA(edit->hwnd, buffer, sizeof buffer);
    return buffer;
}

void fill(ComboBoxCL* list, const std::vector<std::string>& names, const std::string& chosen)
{
    for (const std::string& name : names)
        list->addString(name.c_str());
    list->selectString(chosen.c_str());
}

// A value cell shows its text normalised, as a number.
class ValueCell : public TextCell {
public:
    ValueCell(TableModelBase* m, const CellPos& pos, const std::string& initial) : TextCell(m, pos, initial) {}
    void setText(const std::string& t) override { TextCell::setText(formatDouble(cellValue(t)).text()); }
};

} // namespace

void setCharacteristicDialogHook(CharacteristicDialogHook hook)
{
    dialogHook = hook;
}

void setCharacteristicHelp(const std::function<void(const char* topic)>& help)
{
    helpFunction() = help;
}

// ---------------------------------------------------------------- SurfaceDlg

SurfaceDlg::SurfaceDlg(WindowCL* parentWindow, const std::vector<std::string>& inputs,
                       const std::vector<std::string>& outputs, int silent)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(kTemplate))), choice(inputs, outputs)
{
    xList = new ComboBoxCL(this, kXList);
    yList = new ComboBoxCL(this, kYList);
    zList = new ComboBoxCL(this, kZList);
    xDivision = new EditCL(this, kXDivision);
    yDivision = new EditCL(this, kYDivision);
    if (silent) {
        rememberedSurfaceChoice() = SurfaceChoice{choice.x, choice.xDivision, choice.y, choice.yDivision, choice.z};
        result = 1;
        return;
    }
    fill(xList, inputs, choice.x);
    xDivision->setText(choice.xDivision.c_str());
    if (choice.hasYAxis()) {
        fill(yList, inputs, choice.y);
        yDivision->setText(choice.yDivision.c_str());
    } else {
        yList->addString(choice.y.c_str());
        yList->setCurSel(0);
        yDivision->setText(choice.yDivision.c_str());
        EnableWindow(yList->hwnd, FALSE);
        EnableWindow(yDivision->hwnd, FALSE);
    }
    fill(zList, outputs, choice.z);
    xDivision->onKillFocus(this, &SurfaceDlg::leaveDivision);
    yDivision->onKillFocus(this, &SurfaceDlg::leaveDivision);
    if (xList->isWindow())
        SetFocus(xList->hwnd);
    runDialog(this);
}

void SurfaceDlg::readFields()
{
    choice.x = comboText(xList);
    choice.z = comboText(zList);
    choice.xDivision = editText(xDivision);
    if (choice.hasYAxis()) {
        choice.y = comboText(yList);
        choice.yDivision = editText(yDivision);
    }
}

LRESULT SurfaceDlg::leaveDivision(EventRecord* event)
{
    EditCL* field = LOWORD(event->wParam) == kYDivision ? yDivision : xDivision;
    field->setText(SurfaceChoiceModel::leaveDivisionField(editText(field)).c_str());
    return 0;
}

void SurfaceDlg::refuseDivision(EditCL* field, unsigned int name)
{
    const char* format = getResString(kStrFzDivisionsTooFew);
    char text[200];
    snprintf(text, sizeof text, format ? format : "%s", getResString(name) ? getResString(name) : "");
    MessageBoxObject(this, text, getResString(kStrFzProgramTitle), MB_OK | MB_ICONHAND);
    if (field && field->isWindow()) {
        SetFocus(field->hwnd);
        SendMessageA(field->hwnd, EM_SETSEL, 0, -1);
    }
}

LRESULT SurfaceDlg::onCommand(EventRecord* event)
{
    const int id = LOWORD(event->wParam);
    const int code = HIWORD(event->wParam);
    if (code != BN_CLICKED && code != 0)
        return FieldDialogCL::onCommand(event);
    switch (id) {
    case kOk:
    case IDOK:
        // A step count that is no number is refused, naming its field.
        for (EditCL* field : {xDivision, yDivision})
            if (field->isWindow() && IsWindowEnabled(field->hwnd) && !readNumberFieldOf(field->hwnd, nullptr))
                return 1;
        readFields();
        switch (choice.confirm()) {
        case SURFACE_CONFIRMED:
            result = 1;
            endDialog();
            return 1;
        case SURFACE_AXIS_MISSING:
            // An axis missing, or x equal to y: no message, the x list again.
            if (xList->isWindow())
                SetFocus(xList->hwnd);
            return 1;
        case SURFACE_X_DIVISION_ZERO:
            refuseDivision(xDivision, kStrFzDivisionsX);
            return 1;
        case SURFACE_Y_DIVISION_ZERO:
            refuseDivision(yDivision, kStrFzDivisionsY);
            return 1;
        }
        return 1;
    case IDCANCEL:
        result = 0;
        endDialog();
        return 1;
    case kHelp:
        showHelp("IDH_HELP_Surface");
        return 1;
    default:
        return FieldDialogCL::onCommand(event);
    }
}

// ---------------------------------------------------------------- HillDlg

HillDlg::HillDlg(WindowCL* parentWindow, FuzzyKernel* k, const std::string& xName, const std::string& yName)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(kTemplate))), kernel(k), model(nullptr),
      pane(nullptr)
{
    for (FuzzyIoNode* in = kernel ? kernel->getInputs() : nullptr; in; in = in->next)
        if (in->name && xName != in->name && yName != in->name)
            names.push_back(in->name);
    const int n = static_cast<int>(names.size());
    model = new TableModel(1, static_cast<uint32_t>(std::max(n, 1)));
    int row = 1;
    for (FuzzyIoNode* in = kernel ? kernel->getInputs() : nullptr; in; in = in->next)
        if (in->name && xName != in->name && yName != in->name)
            new ValueCell(model, CellPos(1, static_cast<uint32_t>(row++)), rangeMidpointText(in->minimum, in->maximum));
    const DialogUnitPoint origin(6, 15);
    const DialogUnitPoint size(n == 1 ? 76 : 85, std::min(12 * (n + 1), 88));
    pane = new TablePaneCL(this, new Geometry(origin.pixelX, origin.pixelY, size.pixelX, size.pixelY), 0, model);
    pane->setColumnWidths(1, 1, 65);
    pane->setOption(HEADER_ROWS, HEADER_STORED);
    pane->setOption(HEADER_COLUMNS, HEADER_STORED);
    for (int i = 0; i < n; ++i)
        pane->setHeaderText(HEADER_ROWS, static_cast<uint32_t>(i + 1), names[static_cast<size_t>(i)]);
    pane->setHeaderText(HEADER_COLUMNS, 1, getResString(kStrFzValue) ? getResString(kStrFzValue) : "Wert");
    pane->allowColumnResize(false);
    pane->allowRowResize(false);
    pane->setHeaderShown(true);
    new TableEditCL(pane, 0, kEditorId);
    pane->show(SW_SHOW);
    if (pane->isWindow())
        SetFocus(pane->hwnd);
    runDialog(this);
}

HillDlg::~HillDlg()
{
    // The pane goes before the model it shows.
    delete pane;
    pane = nullptr;
    delete model;
}

void HillDlg::storeValues()
{
    if (pane)
        pane->commitEdit(false);
    for (size_t i = 0; i < names.size(); ++i) {
        TableCell* cell = model->getCell(CellPos(1, static_cast<uint32_t>(i + 1)));
        setFuzzyInput(kernel, names[i].c_str(), cell ? cellValue(cell->getText()) : 0.0);
    }
}

LRESULT HillDlg::onCommand(EventRecord* event)
{
    const int id = LOWORD(event->wParam);
    const int code = HIWORD(event->wParam);
    if (code != BN_CLICKED && code != 0)
        return FieldDialogCL::onCommand(event);
    switch (id) {
    case kOk:
    case IDOK:
        validateAll();
        storeValues();
        result = 1;
        endDialog();
        return 1;
    case IDCANCEL:
        result = 0;
        endDialog();
        return 1;
    case kHelp:
        showHelp("IDH_HELP_Hill");
        return 1;
    default:
        return FieldDialogCL::onCommand(event);
    }
}
