#include "IdentWizardDialog.h"

#include "Application.h"
#include "Control.h"
#include "FormattedEdit.h"
#include "AboutBox.h"
#include "IdentBlockFile.h"
#include "IdentDialogModel.h"
#include "IdentHelp.h"
#include "IdentHelpWindow.h"
#include "IdentStart.h"
#include "Layout.h"
#include "NumberField.h"
#include "NumberFields.h"
#include "PictureMask.h"
#include "ResString.h"
#include "UnitPoint.h"
#include "strings/KytidentStrings.h"

#include <ctime>

namespace {


// The order fields: two digits, sign or blank each.
const char kOrderPicture[] = "##";

// Dialog units of the screen's dialog base units into a pixel rectangle.
Layout* placeAt(int x, int y, int width, int height)
{
    const DialogUnitPoint origin(x, y);
    const DialogUnitPoint size(width, height);
    return new Layout(origin.pixelX, origin.pixelY, size.pixelX, size.pixelY);
}

std::string textOf(const CtrlWindowCL* control)
{
    const String text = control->getText();
    return text.text() ? text.text() : "";
}

UINT boxStyle(IdentBoxKind kind)
{
    switch (kind) {
    case IDENT_BOX_QUESTION:
        return MB_YESNO | MB_ICONQUESTION;
    case IDENT_BOX_NOTICE:
        return MB_ICONINFORMATION;
    default:
        return MB_ICONHAND;
    }
}

Layout* dialogGeometry()
{
    const DialogUnitPoint origin(kIdentDialogX, kIdentDialogY);
    const DialogUnitPoint size(kIdentDialogWidth, kIdentDialogHeight);
    return new Layout(origin.pixelX, origin.pixelY, size.pixelX, size.pixelY);
}

} // namespace

IdentWizardDialog::IdentWizardDialog(IdentBlockData* document, int* code)
    : DialogFrameCL(nullptr, dialogGeometry(), kIdentDialogStyle, getResString(kIdentTitle)),
      doc(document),
      exitCode(code),
      finished(false),
      guiFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))),
      methodList(nullptr),
      numDegField(nullptr),
      denDegField(nullptr),
      sampleField(nullptr),
      deadField(nullptr),
      outputOptions{},
      parameterOut(nullptr),
      okButton(nullptr),
      help(nullptr)
{
    if (!isWindow())
        return;
    // Windows gives an overlapped window its caption only when it makes it:
    // the client area is 205 x 210 dialog units with that caption.
    const DialogUnitPoint size(kIdentDialogWidth, kIdentDialogHeight);
    RECT outer = {0, 0, size.pixelX, size.pixelY};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    buildControls();
    showDocument();
    defaultId = IDOK;
}

IdentWizardDialog::~IdentWizardDialog()
{
    delete help;
    help = nullptr;
}

void IdentWizardDialog::open()
{
    if (!isWindow())
        return;
    setClassIcon(new Icon(ResourceId(static_cast<unsigned int>(kIdentIcon))));
    show(SW_SHOW);
    if (okButton && okButton->isWindow())
        SetFocus(okButton->hwnd);
}

void IdentWizardDialog::buildControls()
{
    // The method list: the offered methods in number order.
    methodList = new ComboBoxCL(this, placeAt(10, 8, 120, 80), WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, "",
                                IDC_IDENT_METHOD);
    methodList->create();
    for (int item = 0; item < identOfferedMethodCount(); ++item)
        methodList->addString(getResString(IdentMethodTable[identMethodOfItem(item)].nameId));
    new PushButtonCL(this, placeAt(135, 8, 20, 13), WS_TABSTOP, "&?", IDC_IDENT_METHOD_HELP);

    new StaticCL(this, placeAt(10, 30, 70, 10), SS_LEFT, getResString(kStrIdNumeratorOrder), IDC_IDENT_LABEL_FIRST);
    numDegField = new FormattedEditCL(this, placeAt(85, 28, 20, 12), WS_TABSTOP | ES_AUTOHSCROLL, "",
                                      IDC_IDENT_NUM_DEG, new PictureMask(0, kOrderPicture), 0);
    new StaticCL(this, placeAt(10, 46, 70, 10), SS_LEFT, getResString(kStrIdDenominatorOrder), IDC_IDENT_LABEL_FIRST + 1);
    denDegField = new FormattedEditCL(this, placeAt(85, 44, 20, 12), WS_TABSTOP | ES_AUTOHSCROLL, "",
                                      IDC_IDENT_DEN_DEG, new PictureMask(0, kOrderPicture), 0);
    new StaticCL(this, placeAt(10, 62, 70, 10), SS_LEFT, getResString(kStrIdSampleTime), IDC_IDENT_LABEL_FIRST + 2);
    sampleField = new BorderEditCL(this, placeAt(70, 60, 50, 12), WS_TABSTOP | ES_AUTOHSCROLL, "", IDC_IDENT_SAMPLE);
    new StaticCL(this, placeAt(10, 78, 70, 10), SS_LEFT, getResString(kStrIdDeadTime), IDC_IDENT_LABEL_FIRST + 3);
    deadField = new BorderEditCL(this, placeAt(70, 76, 50, 12), WS_TABSTOP | ES_AUTOHSCROLL, "", IDC_IDENT_DEAD);

    new GroupBoxCL(this, placeAt(128, 24, 72, 62), WS_GROUP, getResString(kStrIdOutput), IDC_IDENT_OUTPUT_GROUP);
    for (int g = 0; g < 4; ++g) {
        outputOptions[g] = new ButtonCL(this, placeAt(133, 35 + 12 * g, 65, 10),
                                        (g == 0 ? WS_GROUP : 0) | WS_TABSTOP | BS_RADIOBUTTON,
                                        getResString(identOutputOptionText(g, doc->shiftLetter)),
                                        IDC_IDENT_OUTPUT_FIRST + g);
        outputOptions[g]->create();
    }
    parameterOut = new CheckBoxCL(this, placeAt(128, 88, 72, 10), WS_TABSTOP, getResString(kStrIdParametersOut),
                                  IDC_IDENT_PARAMETER_OUT);

    okButton = new DefPushButtonCL(this, placeAt(8, 186, 42, 14), WS_TABSTOP | WS_GROUP, getResString(kStrIdOk), IDOK);
    new PushButtonCL(this, placeAt(55, 186, 46, 14), WS_TABSTOP, getResString(kStrIdCancel), IDCANCEL);
    new PushButtonCL(this, placeAt(106, 186, 42, 14), WS_TABSTOP, getResString(kStrIdHelp), IDC_IDENT_HELP);
    new PushButtonCL(this, placeAt(153, 186, 44, 14), WS_TABSTOP, getResString(kStrIdInfo), IDC_IDENT_INFO);

    if (children) {
        DListIteratorOf<WindowCL> walk(*children);
        while (WindowCL* child = walk.next())
            if (child->isWindow())
                SendMessageA(child->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);
    }
}

void IdentWizardDialog::buildParameterRows()
{
    const std::vector<IdentParameterRow> rows = identParameterRows(*doc);
    for (size_t i = 0; i < rows.size(); ++i) {
        const IdentParameterRow& row = rows[i];
        const int n = static_cast<int>(i);
        StaticCL* name = new StaticCL(this, placeAt(kIdentRowNameX, row.top + 1, kIdentRowNameWidth, kIdentRowHeight),
                                      SS_LEFT, row.name.c_str(), IDC_IDENT_ROW_NAME_FIRST + n);
        EditCL* field = new BorderEditCL(this, placeAt(kIdentRowFieldX, row.top, kIdentRowFieldWidth, kIdentRowHeight),
                                         WS_TABSTOP | ES_AUTOHSCROLL, row.value.c_str(), IDC_IDENT_ROW_FIELD_FIRST + n);
        StaticCL* label = new StaticCL(this,
                                       placeAt(kIdentRowLabelX, row.top + 1, kIdentRowLabelWidth, kIdentRowHeight),
                                       SS_LEFT, row.label.c_str(), IDC_IDENT_ROW_LABEL_FIRST + n);
        for (CtrlWindowCL* c : {static_cast<CtrlWindowCL*>(name), static_cast<CtrlWindowCL*>(field),
                                static_cast<CtrlWindowCL*>(label)}) {
            if (c->isWindow())
                SendMessageA(c->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), TRUE);
            rowControls.push_back(c);
        }
        parameterFields.push_back(field);
    }
    // The rows stand before the buttons in the tab order.
    for (CtrlWindowCL* c : rowControls)
        if (c->isWindow() && okButton && okButton->isWindow())
            SetWindowPos(c->hwnd, GetWindow(okButton->hwnd, GW_HWNDPREV), 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void IdentWizardDialog::deleteParameterRows()
{
    for (CtrlWindowCL* c : rowControls)
        delete c;
    rowControls.clear();
    parameterFields.clear();
}

void IdentWizardDialog::showDocument()
{
    methodList->setCurSel(identItemOfMethod(doc->algo));
    showOrderField(numDegField, doc->numDeg);
    showOrderField(denDegField, doc->denDeg);
    showNumberField(sampleField, doc->sample);
    showNumberField(deadField, doc->dead);
    checkOutputOption(doc->gOutput);
    SendMessageA(parameterOut->hwnd, BM_SETCHECK, doc->pOutput ? BST_CHECKED : BST_UNCHECKED, 0);
    deleteParameterRows();
    buildParameterRows();
}

bool IdentWizardDialog::holdsNumber(EditCL* field)
{
    double v = 0;
    return readNumberField(textOf(field).c_str(), &v);
}

void IdentWizardDialog::showNumberField(EditCL* field, double value)
{
    field->setText(identNumberText(value).c_str());
}

void IdentWizardDialog::showOrderField(FormattedEditCL* field, int value)
{
    // Through the picture, as if typed into the whole field.
    field->setSelection(0, -1);
    field->insertText(std::to_string(value).c_str());
}

void IdentWizardDialog::checkOutputOption(int gOutput)
{
    for (int g = 0; g < 4; ++g)
        if (outputOptions[g] && outputOptions[g]->isWindow())
            SendMessageA(outputOptions[g]->hwnd, BM_SETCHECK, g == gOutput ? BST_CHECKED : BST_UNCHECKED, 0);
}

void IdentWizardDialog::readFields()
{
    doc->sample = readIdentNumberField(textOf(sampleField));
    doc->dead = readIdentNumberField(textOf(deadField));
    doc->numDeg = readIdentOrderField(textOf(numDegField));
    doc->denDeg = readIdentOrderField(textOf(denDegField));
    for (size_t i = 0; i < parameterFields.size() && i < static_cast<size_t>(kMaxIdentParameters); ++i) {
        doc->params[i] = readIdentNumberField(textOf(parameterFields[i]));
        showNumberField(parameterFields[i], doc->params[i]);
    }
    showNumberField(sampleField, doc->sample);
    showNumberField(deadField, doc->dead);
}

LRESULT IdentWizardDialog::onCommand(EventRecord* event)
{
    const int control = LOWORD(event->wParam);
    const int code = HIWORD(event->wParam);
    switch (control) {
    case IDOK:
        if (code == BN_CLICKED)
            confirm();
        return 1;
    case IDCANCEL:
        if (code == BN_CLICKED)
            cancel();
        return 1;
    case IDC_IDENT_METHOD_HELP:
        if (code == BN_CLICKED)
            showMethodHelp();
        return 1;
    case IDC_IDENT_HELP:
        if (code == BN_CLICKED)
            showGeneralHelp();
        return 1;
    case IDC_IDENT_INFO:
        if (code == BN_CLICKED)
            showInfo();
        return 1;
    case IDC_IDENT_METHOD:
        if (code == CBN_SELCHANGE)
            chooseMethodItem(methodList->getCurSel());
        return 1;
    case IDC_IDENT_PARAMETER_OUT:
        if (code == BN_CLICKED)
            doc->pOutput = SendMessageA(parameterOut->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        return 1;
    case IDC_IDENT_SAMPLE:
    case IDC_IDENT_DEAD:
        if (code == EN_KILLFOCUS && !finished) {
            EditCL* field = control == IDC_IDENT_SAMPLE ? sampleField : deadField;
            double& value = control == IDC_IDENT_SAMPLE ? doc->sample : doc->dead;
            // A text that is no number stays for OK to refuse.
            if (holdsNumber(field)) {
                value = readIdentNumberField(textOf(field));
                showNumberField(field, value);
            }
        }
        return 1;
    case IDC_IDENT_NUM_DEG:
    case IDC_IDENT_DEN_DEG:
        if (code == EN_KILLFOCUS && !finished) {
            doc->numDeg = readIdentOrderField(textOf(numDegField));
            doc->denDeg = readIdentOrderField(textOf(denDegField));
        }
        return 1;
    default:
        break;
    }
    const int row = control - IDC_IDENT_ROW_FIELD_FIRST;
    if (row >= 0 && row < static_cast<int>(parameterFields.size())) {
        // Shown again as the number it is read as; stored on OK.
        if (code == EN_KILLFOCUS && !finished && holdsNumber(parameterFields[static_cast<size_t>(row)]))
            showNumberField(parameterFields[static_cast<size_t>(row)],
                            readIdentNumberField(textOf(parameterFields[static_cast<size_t>(row)])));
        return 1;
    }
    if (control >= IDC_IDENT_OUTPUT_FIRST && control < IDC_IDENT_OUTPUT_FIRST + 4) {
        if (code == BN_CLICKED) {
            doc->gOutput = control - IDC_IDENT_OUTPUT_FIRST;
            checkOutputOption(doc->gOutput);
        }
        return 1;
    }
    return 0;
}

LRESULT IdentWizardDialog::onClose(EventRecord*)
{
    cancel();
    // The program deletes the dialog once its loop is left.
    return 1;
}

bool IdentWizardDialog::ask(const IdentMessage& message)
{
    return MessageBoxObject(this, message.text.c_str(), getResString(message.captionId), boxStyle(message.kind))
               .answer == IDYES;
}

void IdentWizardDialog::confirm()
{
    if (finished)
        return;
    // A number field whose text is no number is refused, naming it; the
    // dialog stays with the focus there (it was read as 0 without a word).
    std::vector<EditCL*> numberFields = {sampleField, deadField};
    numberFields.insert(numberFields.end(), parameterFields.begin(), parameterFields.end());
    for (EditCL* field : numberFields)
        if (field && field->isWindow() && !readNumberFieldOf(field->hwnd, nullptr))
            return;
    readFields();
    IdentFinding stop;
    const IdentConfirmResult result =
        confirmIdentData(doc, [this](const IdentMessage& m) { return ask(m); }, identDateText(std::time(nullptr)),
                         &stop);
    switch (result) {
    case IDENT_CONFIRM_STAY:
        // The dead-time correction shows its new value.
        showNumberField(deadField, doc->dead);
        focusOn(stop);
        return;
    case IDENT_CONFIRM_WRITTEN:
        *exitCode = kIdentExitWritten;
        finish();
        return;
    case IDENT_CONFIRM_FAILED:
        // 26988 was shown; the exit code stays -1.
        finish();
        return;
    }
}

void IdentWizardDialog::focusOn(const IdentFinding& finding)
{
    EditCL* field = nullptr;
    switch (finding.field) {
    case IDENT_FIELD_NUM_DEG:
        field = numDegField;
        break;
    case IDENT_FIELD_DEN_DEG:
        field = denDegField;
        break;
    case IDENT_FIELD_SAMPLE:
        field = sampleField;
        break;
    case IDENT_FIELD_DEAD:
        field = deadField;
        break;
    case IDENT_FIELD_PARAMETER:
        if (finding.parameter >= 0 && finding.parameter < static_cast<int>(parameterFields.size()))
            field = parameterFields[static_cast<size_t>(finding.parameter)];
        break;
    default:
        break;
    }
    if (field && field->isWindow())
        SetFocus(field->hwnd);
}

void IdentWizardDialog::cancel()
{
    if (finished)
        return;
    *exitCode = kIdentExitNothing;
    finish();
}

void IdentWizardDialog::finish()
{
    finished = true;
    if (isWindow())
        ShowWindow(hwnd, SW_HIDE);
    PostQuitMessage(0);
}

void IdentWizardDialog::chooseMethodItem(int item)
{
    // What was typed into the old method's rows is dropped: the new method
    // starts from its defaults.
    if (!chooseIdentMethodItem(doc, item))
        return;
    deleteParameterRows();
    buildParameterRows();
    InvalidateRect(hwnd, nullptr, TRUE);
}

void IdentWizardDialog::showMethodHelp()
{
    HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    std::string text;
    const bool opened = identMethodHelp(doc->helpPath, doc->algo, doc->shiftLetter, &text);
    SetCursor(old ? old : LoadCursorA(nullptr, IDC_ARROW));
    if (!opened) {
        ask(identMessage(IDENT_BOX_ERROR, kIdentHelpMissing, kIdentCaptionHelp));
        return;
    }
    showHelpText(identMethodHelpTitle(doc->algo), text);
}

void IdentWizardDialog::showGeneralHelp()
{
    std::string text;
    if (!identGeneralHelp(doc->helpPath, doc->shiftLetter, &text)) {
        ask(identMessage(IDENT_BOX_ERROR, kIdentHelpMissing, kIdentCaptionHelp));
        return;
    }
    showHelpText(identGeneralHelpTitle(), text);
}

void IdentWizardDialog::showHelpText(const std::string& title, const std::string& text)
{
    // One help window at a time: a new help replaces the open one.
    delete help;
    help = nullptr;
    new IdentHelpWindow(this, title, text, &help);
}

const AboutContent& identAboutContent()
{
    static const AboutContent content = {
        159,
        {kStrIdAbout1, kStrIdAbout2, kStrIdAbout3, kStrIdAbout4, kStrIdAbout5, kStrIdAbout6, kStrIdAbout7, kStrIdAbout8, kStrIdAbout9},
        {{151, "&Idee", "Die Idee hinter KYTident"},
         {155, "&Team", "Das Team von KYTident"},
         {149, "&Dank", "Dank an alle Helfer"}}};
    return content;
}

void IdentWizardDialog::showInfo()
{
    AboutDialog* box = new AboutDialog(this, identAboutContent(), getResString(kIdentInfoTitle), 0);
    delete box;
}
