#include "PlotOptionsDialog.h"

#include "Control.h"
#include "ErrorReporter.h"
#include "NumberField.h"
#include "NumberFields.h"
#include "NumberFormat.h"
#include "PlotExport.h"
#include "PlotFrame.h"
#include "PlotFrameParts.h"
#include "PlotPane.h"
#include "ResString.h"
#include "ResourceId.h"
#include "strings/PlotStrings.h"

#include <windows.h>

namespace {

// The names of the scale fields in the message that refuses a text that is
// no number: "Skalierung X", "Skalierung Y".

// A scale edit: OK checks it as leaving it does.
class ScaleEditCL : public EditCL {
public:
    ScaleEditCL(PlotOptionsDialog* dialog, int controlId) : EditCL(dialog, controlId), owner(dialog) {}
    int validate() override { return hwnd && owner->checkScale(this) ? 1 : 0; }

private:
    PlotOptionsDialog* owner;
};

} // namespace

PlotOptionsDialog::PlotOptionsDialog(WindowCL* frame, PlotPane* plotPane, PlotFrameHost* frameHost)
    : FieldDialogCL(frame, ResourceId(static_cast<unsigned>(kTemplate))), autoX(plotPane->model.autoX),
      autoY(plotPane->model.autoY), textLocked(plotPane->model.textLocked), printLarge(plotPane->model.printLarge),
      statusText(plotPane->model.statusText), xText(formatDouble(plotPane->model.xscale)),
      yText(formatDouble(plotPane->model.yscale)), pane(plotPane), host(frameHost), checking(false), closing(false)
{
    const PlotModel& m = pane->model;
    signalList = new ListBoxCL(this, kSignalList);
    colourField = new StaticCL(this, kColourField);
    shownCheck = new CheckBoxCL(this, kShown);
    autoXCheck = new CheckBoxCL(this, kAutoX, &autoX);
    xEdit = new ScaleEditCL(this, kXScale);
    autoYCheck = new CheckBoxCL(this, kAutoY, &autoY);
    yEdit = new ScaleEditCL(this, kYScale);
    lockCheck = new CheckBoxCL(this, kTextLock, &textLocked);
    statusEdit = new EditCL(this, kStatusText, &statusText, kAcceptEmpty);
    new CheckBoxCL(this, kPrintLarge, &printLarge);
    xEdit->setText(xText);
    yEdit->setText(yText);

    for (int i = 0; i < m.nSignals; ++i)
        signalList->addString(m.signalName(i).text());
    if (m.nSignals > 0)
        signalList->setCurSel(0);
    showSignal();
    enableFields();

    signalList->onSelChange(this, &PlotOptionsDialog::onSignalChosen);
    if (WindowCL* button = findChild(kColourButton))
        addCommandHandler(new NotifyHandlerRecord(button->hwnd, BN_CLICKED, &PlotOptionsDialog::onChooseColour, this));
    shownCheck->onClick(this, &PlotOptionsDialog::onShownClicked);
    autoXCheck->onClick(this, &PlotOptionsDialog::onAutoClicked);
    autoYCheck->onClick(this, &PlotOptionsDialog::onAutoClicked);
    lockCheck->onClick(this, &PlotOptionsDialog::onLockClicked);
    xEdit->onKillFocus(this, &PlotOptionsDialog::onScaleLeft);
    yEdit->onKillFocus(this, &PlotOptionsDialog::onScaleLeft);
    statusEdit->onKillFocus(this, &PlotOptionsDialog::onStatusLeft);
}

PlotOptionsDialog::~PlotOptionsDialog()
{
    closing = true;
    // The focus leaves the edits now, while this object can still ignore
    // it, not while the base class takes the children apart.
    if (isWindow()) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus))
            SetFocus(hwnd);
    }
    detach();
}

void PlotOptionsDialog::detach()
{
    if (pane && pane->optionsDialog == this)
        pane->optionsDialog = nullptr;
    pane = nullptr;
}

int PlotOptionsDialog::selectedSignal() const
{
    int at = signalList->getCurSel();
    if (!pane || at < 0 || at >= pane->model.nSignals)
        return -1;
    return at;
}

void PlotOptionsDialog::showSignal()
{
    int i = selectedSignal();
    // The list is in signal order: two signals of one name keep their own
    // colour and flag.
    uint32_t colour = i >= 0 ? pane->model.signalColour(i) : 0;
    shownCheck->setCheck(i >= 0 ? pane->model.signals[static_cast<size_t>(i)].shown : 0);
    colourField->setBackColor(Color(colour & 0xffffff));
    if (colourField->isWindow())
        InvalidateRect(colourField->hwnd, nullptr, TRUE);
}

void PlotOptionsDialog::enableFields()
{
    autoXCheck->getCheck() ? xEdit->disable() : xEdit->enable();
    autoYCheck->getCheck() ? yEdit->disable() : yEdit->enable();
    lockCheck->getCheck() ? statusEdit->disable() : statusEdit->enable();
}

LRESULT PlotOptionsDialog::onSignalChosen(EventRecord*)
{
    showSignal();
    return 1;
}

LRESULT PlotOptionsDialog::onChooseColour(EventRecord*)
{
    int i = selectedSignal();
    if (i < 0)
        return 1;
    uint32_t colour = pane->model.signalColour(i);
    if (!choosePlotColour(this, colour) || !pane)
        return 1;
    i = selectedSignal();
    if (i < 0)
        return 1;
    pane->model.signals[static_cast<size_t>(i)].colour = colour;
    showSignal();
    pane->repaint();
    return 1;
}

LRESULT PlotOptionsDialog::onShownClicked(EventRecord*)
{
    int i = selectedSignal();
    if (i < 0)
        return 1;
    pane->model.signals[static_cast<size_t>(i)].shown = shownCheck->getCheck() ? 1 : 0;
    pane->repaint();
    return 1;
}

LRESULT PlotOptionsDialog::onAutoClicked(EventRecord*)
{
    xEdit->setText(xText);
    yEdit->setText(yText);
    enableFields();
    return 1;
}

LRESULT PlotOptionsDialog::onLockClicked(EventRecord*)
{
    statusText = statusEdit->getText();
    enableFields();
    return 1;
}

LRESULT PlotOptionsDialog::onScaleLeft(EventRecord* event)
{
    if (closing || checking || !isWindow() || !IsWindowVisible(hwnd))
        return 1;
    EditCL* edit = reinterpret_cast<HWND>(event->lParam) == yEdit->hwnd ? yEdit : xEdit;
    if (!checkScale(edit) && isWindow() && edit->isWindow())
        // Back to the field once the message is gone.
        PostMessageA(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit->hwnd), TRUE);
    return 1;
}

LRESULT PlotOptionsDialog::onStatusLeft(EventRecord*)
{
    if (closing || !isWindow())
        return 1;
    statusText = statusEdit->getText();
    statusEdit->setText(statusText);
    return 1;
}

bool PlotOptionsDialog::checkScale(EditCL* edit)
{
    String& lastGood = edit == yEdit ? yText : xText;
    String text = edit->getText();
    double value = 0;
    if (parseScaleText(text.text(), &value)) {
        lastGood = formatDouble(value);
        edit->setText(lastGood);
        return true;
    }
    // The message box takes the focus from the edit: that is no second
    // leaving.
    checking = true;
    double typed = 0;
    if (!readNumberField(text.text(), &typed))
        refuseField(edit->hwnd,
                    numberRefusalText(getResString(edit == yEdit ? kStrScalingY : kStrScalingX), text.text()));
    else
        reportError(ERR_ERROR, getResString(edit == yEdit ? kStrBadYScale : kStrBadXScale), text.text());
    checking = false;
    if (edit->isWindow()) {
        edit->setText(lastGood);
        SendMessageA(edit->hwnd, EM_SETSEL, 0, -1);
    }
    return false;
}

void PlotOptionsDialog::apply()
{
    if (!pane)
        return;
    PlotModel& m = pane->model;
    // The texts were checked when they were left and again by OK.
    double value = 0;
    if (parseScaleText(xText.text(), &value))
        m.xscale = value;
    if (parseScaleText(yText.text(), &value))
        m.yscale = value;
    m.autoX = autoX;
    m.autoY = autoY;
    m.textLocked = 0;
    pane->setStatusText(statusEdit->getText().text());
    m.textLocked = textLocked;
    m.printLarge = printLarge;
    if (m.pointCount() > 0)
        pane->rescale();
    else
        pane->repaint();
}

void PlotOptionsDialog::endDialog()
{
    if (!closing && accepted)
        apply();
    closing = true;
    detach();
    FieldDialogCL::endDialog();
}

LRESULT PlotOptionsDialog::onCommand(EventRecord* event)
{
    // Enter in an edit sends OK without a button (and Escape Cancel).
    if (!event->lParam && LOWORD(event->wParam) == IDOK)
        return onOk(event);
    if (!event->lParam && LOWORD(event->wParam) == IDCANCEL)
        return onCancel(event);
    if (LOWORD(event->wParam) == kHelpButton && HIWORD(event->wParam) == BN_CLICKED) {
        if (host)
            host->showHelp("IDH_HELP_ZizAdirOptionsDlg");
        return 0;
    }
    return FieldDialogCL::onCommand(event);
}
