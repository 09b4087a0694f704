#include "BlockDialogs.h"

#include "BlockCatalogue.h"
#include "BlockObject.h"
#include "CommonDialogs.h"
#include "Control.h"
#include "DeviceContext.h"
#include "EditorShell.h"
#include "FileLayer.h"
#include "FormattedEdit.h"
#include "NumberField.h"
#include "Icon.h"
#include "LibraryIndex.h"
#include "NumberFields.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "SignalNameRegistry.h"
#include "TablePane.h"
#include "TableModel.h"
#include "Workspace.h"
#include "strings/CircuitStrings.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const char* const kTwoDigits = "##";

void showHelp(const char* section)
{
    if (theWorkspace)
        theWorkspace->showHelpSection(section);
}

bool clicked(EventRecord* event, int id)
{
    return LOWORD(event->wParam) == id && HIWORD(event->wParam) == BN_CLICKED;
}

// The dialog's title: the resource's title, " - " and the block's caption.
void titleWithCaption(WindowCL* dialog, const BlockObject* block)
{
    if (!dialog->isWindow() || !block)
        return;
    char title[256] = "";
    GetWindowTextA(dialog->hwnd, title, sizeof title);
    String full = String(title) + " - " + block->caption();
    SetWindowTextA(dialog->hwnd, full.text());
}

void runCentred(DialogFrameCL* dialog)
{
    centerWindow(dialog, 1);
    dialog->show(SW_SHOW);
    dialog->runModal();
}

} // namespace

Point dialogBaseUnits(HFONT font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    // The average letter width as Windows measures it for dialogs.
    static const char sample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE s = {0, 0};
    GetTextExtentPoint32A(dc, sample, 52, &s);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return Point((s.cx / 26 + 1) / 2, tm.tmHeight);
}

Rect dialogUnitsToPixels(const Rect& u, const Point& base)
{
    return Rect(MulDiv(u.left(), base.x(), 4), MulDiv(u.top(), base.y(), 8), MulDiv(u.right(), base.x(), 4),
                MulDiv(u.bottom(), base.y(), 8));
}

// ---------------------------------------------------------------- select block

SelectBlockDialog::SelectBlockDialog(WindowCL* parentWindow, int dialogResource, int startLibrary, int startGroup,
                                     ADArray<BlockLibrary>* libs, int count)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(dialogResource))), libraryIndex(startLibrary),
      groupIndex(startGroup), blockIndex(0), catalogue(libs), libraryCount(count)
{
    libraries = new BoundListBoxCL(this, kLibraryList, &libraryIndex, kAcceptEmpty);
    groups = new BoundListBoxCL(this, kGroupList, &groupIndex, kAcceptEmpty);
    blocks = new BoundListBoxCL(this, kBlockList, &blockIndex, 0);
    libraries->onSelChange(this, &SelectBlockDialog::onLibraryChanged);
    groups->onSelChange(this, &SelectBlockDialog::onGroupChanged);
    blocks->onDoubleClick(this, &SelectBlockDialog::onBlockDoubleClick);
    if (catalogue) {
        BlockCatalogue view(*catalogue, libraryCount);
        for (const String& name : view.libraryNames())
            libraries->addString(name.text());
    }
    libraries->setCurSel(startLibrary);
    listGroups(startLibrary, startGroup);
    runCentred(this);
}

void SelectBlockDialog::listGroups(int library, int line)
{
    groups->resetContent();
    blocks->resetContent();
    if (!catalogue)
        return;
    BlockCatalogue view(*catalogue, libraryCount);
    for (const String& name : view.groupNames(library))
        groups->addString(name.text());
    groups->setCurSel(line);
    listBlocks(library, line);
}

void SelectBlockDialog::listBlocks(int library, int group)
{
    blocks->resetContent();
    if (!catalogue)
        return;
    BlockCatalogue view(*catalogue, libraryCount);
    for (const String& name : view.visibleBlockNames(library, group))
        blocks->addString(name.text());
    blocks->setCurSel(0);
}

LRESULT SelectBlockDialog::onLibraryChanged(EventRecord*)
{
    libraryIndex = libraries->getCurSel();
    if (!catalogue)
        return 1;
    BlockCatalogue view(*catalogue, libraryCount);
    listGroups(libraryIndex, view.groupLineFor(libraryIndex, groupIndex));
    return 1;
}

LRESULT SelectBlockDialog::onGroupChanged(EventRecord*)
{
    groupIndex = groups->getCurSel();
    listBlocks(libraryIndex, groupIndex);
    return 1;
}

LRESULT SelectBlockDialog::onBlockDoubleClick(EventRecord* event)
{
    return onOk(event) + 1;
}

LRESULT SelectBlockDialog::onCommand(EventRecord* event)
{
    if (clicked(event, kEditIndex)) {
        editIndexFile();
        return 1;
    }
    if (clicked(event, kEditBlock)) {
        showBlockFile();
        return 1;
    }
    if (clicked(event, kHelpButtonId)) {
        showHelp("IDH_HELP_SelectBlockDlg");
        return 1;
    }
    return FieldDialogCL::onCommand(event);
}

void SelectBlockDialog::editIndexFile()
{
    if (!catalogue || !editorShell())
        return;
    BlockCatalogue view(*catalogue, libraryCount);
    String path = view.indexFilePath(libraryIndex);
    if (!editorShell()->editFile(path.text(), 0))
        return;
    FILE* f = openFile(path.text(), "rt");
    if (!f)
        return;
    readSectionedFile(f, libraryIndex, *catalogue);
    fclose(f);
    listGroups(libraryIndex, view.groupLineFor(libraryIndex, groupIndex));
}

void SelectBlockDialog::showBlockFile()
{
    // The lists are stored as for OK; the dialog stays open whatever the result.
    validateAll();
    accepted = 0;
    if (!editorShell())
        return;
    String path = blockFilePath();
    path.toLower();
    editorShell()->editFile(path.text(), 1);
}

String SelectBlockDialog::libraryName() const
{
    return catalogue ? BlockCatalogue(*catalogue, libraryCount).libraryName(libraryIndex) : String();
}

String SelectBlockDialog::blockFilePath() const
{
    if (!catalogue)
        return String();
    BlockCatalogue view(*catalogue, libraryCount);
    return view.blockFilePath(libraryIndex, groupIndex, view.blockPosition(libraryIndex, groupIndex, blockIndex));
}

// ---------------------------------------------------------------- parameters

BlockParameterDialog::BlockParameterDialog(WindowCL* parentWindow, BlockObject* shown)
    : DialogFrameCL(parentWindow, new Layout(0, 0, 0, 0), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                    (String(getResString(kResParameterTitle)) + " - " + shown->caption()).text(), 1),
      accepted(0), block(shown), parameterCount(shown->parameterCount)
{
    HDC screen = GetDC(nullptr);
    int height = MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font = new Font("MS Sans Serif", 0, -height, FW_NORMAL, 0, 0, 0);
    const Point base = dialogBaseUnits(font->font());
    ParameterDialogLayout layout = parameterDialogLayout(*block);
    Rect client = dialogUnitsToPixels(Rect(0, 0, layout.width, layout.height), base);
    geometry->x = 0;
    geometry->y = 0;
    geometry->width = client.right();
    geometry->height = client.bottom();
    create();

    controls.assign(parameterCount, nullptr);
    values.resize(parameterCount);
    for (int i = 0; i < parameterCount; ++i)
        values[i] = BlockObject::at(block->parameterValues, i);
    for (const ParameterControl& c : layout.controls) {
        Rect r = dialogUnitsToPixels(Rect(c.x, c.y, c.x + c.width, c.y + c.height), base);
        Layout* place = new Layout(r.left(), r.top(), r.right() - r.left(), r.bottom() - r.top());
        CtrlWindowCL* made = nullptr;
        switch (c.kind) {
        case ParameterControl::DEFAULT_BUTTON:
            made = new DefPushButtonCL(this, place, WS_TABSTOP, c.text.text(), c.id);
            break;
        case ParameterControl::BUTTON:
            made = new PushButtonCL(this, place, WS_TABSTOP, c.text.text(), c.id);
            break;
        case ParameterControl::GROUP_BOX:
            made = new GroupBoxCL(this, place, 0, c.text.text(), -1);
            break;
        case ParameterControl::STATIC:
            made = new StaticCL(this, place, SS_LEFT | SS_NOPREFIX, c.text.text(), -1);
            break;
        case ParameterControl::EDIT:
            made = new BorderEditCL(this, place, WS_TABSTOP | ES_AUTOHSCROLL, values[c.parameter].text(), c.id);
            break;
        case ParameterControl::CHECK_BOX: {
            CheckBoxCL* box = new CheckBoxCL(this, place, WS_TABSTOP, "", c.id);
            box->setCheck(checkBoxShowsChecked(values[c.parameter].text()));
            made = box;
            break;
        }
        }
        if (made && made->isWindow())
            SendMessageA(made->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->font()), TRUE);
        if (c.parameter >= 0)
            controls[c.parameter] = made;
    }
    defaultId = IDOK;
    runCentred(this);
}

void BlockParameterDialog::pressOk()
{
    // Every value must survive the circuit text; the first that would not
    // is refused with a message naming its parameter (the beep alone left
    // the dialog looking frozen), and the dialog stays open with the focus
    // on its field. A decimal comma in a number is stored as a point.
    std::vector<String> typed(static_cast<size_t>(parameterCount));
    for (int i = 0; i < parameterCount; ++i) {
        const int kind = BlockObject::at(block->parameterKinds, i);
        if (!controls[i] || parameterControlKind(kind) != ParameterControl::EDIT)
            continue;
        EditCL* edit = static_cast<EditCL*>(controls[i]);
        const String text = edit->getText();
        if (!parameterValueToStore(kind, text.text(), &typed[static_cast<size_t>(i)])) {
            const String name = BlockObject::at(block->parameterNames, i);
            refuseField(edit->hwnd, parameterRefusalText(kind, name.text(), text.text()).text());
            return;
        }
    }
    for (int i = 0; i < parameterCount; ++i) {
        if (!controls[i])
            continue;
        const int kind = BlockObject::at(block->parameterKinds, i);
        if (parameterControlKind(kind) == ParameterControl::EDIT)
            values[i] = typed[static_cast<size_t>(i)];
        else
            values[i] = static_cast<CheckBoxCL*>(controls[i])->getCheck() ? "1" : "0";
    }
    accepted = 1;
    endDialog();
}

LRESULT BlockParameterDialog::onCommand(EventRecord* event)
{
    const int id = LOWORD(event->wParam);
    if (HIWORD(event->wParam) != BN_CLICKED)
        return DialogFrameCL::onCommand(event);
    if (id == IDOK) {
        pressOk();
        return 1;
    }
    if (id == IDCANCEL) {
        endDialog();
        return 1;
    }
    if (id == kHelpButtonId) {
        String help = block->readHelpText();
        if (help.getLength() && editorShell())
            editorShell()->showText(getResString(kResHelpTitle), help.text());
        return 1;
    }
    return DialogFrameCL::onCommand(event);
}

void BlockParameterDialog::applyValues()
{
    if (!accepted)
        return;
    for (int i = 0; i < parameterCount; ++i)
        BlockObject::store(block->parameterValues, i, values[i].text());
}

// ---------------------------------------------------------------- layout

namespace {

const unsigned int kHorizontalTexts[] = {kStrAlignLeft, kStrAlignCentreHorizontal, kStrAlignRight};
const unsigned int kVerticalTexts[] = {kStrAlignTop, kStrAlignCentreVertical, kStrAlignBottom};

ComboBoxCL* alignmentBox(FieldDialogCL* dialog, int id, int* value, const unsigned int* texts)
{
    ComboBoxCL* box = new BoundComboBoxCL(dialog, id, value, 0);
    for (int i = 0; i < 3; ++i)
        box->addString(getResString(texts[i]));
    return box;
}

} // namespace

BlockLayoutDialog::BlockLayoutDialog(WindowCL* parentWindow, BlockObject* block)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(kLayoutTemplate))),
      values(BlockLayoutValues::fromBlock(*block))
{
    titleWithCaption(this, block);
    alignmentBox(this, 1027, &values.hallign, kHorizontalTexts);
    alignmentBox(this, 1028, &values.vallign, kVerticalTexts);
    alignmentBox(this, 1031, &values.pichallign, kHorizontalTexts);
    alignmentBox(this, 1032, &values.picvallign, kVerticalTexts);
    widthField = new IntFieldCL(this, 1015, &values.width, kTwoDigits, 0);
    heightField = new IntFieldCL(this, 1016, &values.height, kTwoDigits, 0);
    picWidthField = new IntFieldCL(this, 1020, &values.picwidth, kTwoDigits, 0);
    picHeightField = new IntFieldCL(this, 1021, &values.picheight, kTwoDigits, 0);
    inField = new IntFieldCL(this, 1018, &values.inConns, kTwoDigits, 0);
    outField = new IntFieldCL(this, 21005, &values.outConns, kTwoDigits, 0);
    new MultiEditCL(this, 1017, &values.labelText);
    new CheckBoxCL(this, 1030, &values.lineCenter);
    new CheckBoxCL(this, 1035, &values.parashow);
    autosizeBox = new CheckBoxCL(this, 1033, &values.autosize);
    icons = new BoundComboBoxCL(this, 1034, &values.labelIcon, kAcceptEmpty);
    fillIcons();
    widthField->onKillFocus(this, &BlockLayoutDialog::onWidthLeft);
    heightField->onKillFocus(this, &BlockLayoutDialog::onHeightLeft);
    inField->onKillFocus(this, &BlockLayoutDialog::onHeightLeft);
    outField->onKillFocus(this, &BlockLayoutDialog::onHeightLeft);
    autosizeBox->onClick(this, &BlockLayoutDialog::onAutosize);
    loadAll();
    inField->disable();
    outField->disable();
    enablePictureSize();
    runCentred(this);
}

void BlockLayoutDialog::fillIcons()
{
    icons->resetContent();
    if (iconBase)
        for (int i = 0; i < iconBase->count(); ++i)
            icons->addString(iconBase->nameAt(i).text());
    icons->selectString(values.labelIcon.text());
}

void BlockLayoutDialog::enablePictureSize()
{
    if (autosizeBox->getCheck()) {
        picWidthField->disable();
        picHeightField->disable();
    } else {
        picWidthField->enable();
        picHeightField->enable();
    }
}

LRESULT BlockLayoutDialog::onWidthLeft(EventRecord*)
{
    widthField->storeValue();
    values.width = fitLayoutWidth(values.width);
    widthField->loadValue();
    return 0;
}

LRESULT BlockLayoutDialog::onHeightLeft(EventRecord*)
{
    heightField->storeValue();
    inField->storeValue();
    outField->storeValue();
    values.height = fitLayoutHeight(values.height, values.inConns, values.outConns);
    heightField->loadValue();
    return 0;
}

LRESULT BlockLayoutDialog::onAutosize(EventRecord*)
{
    enablePictureSize();
    return 0;
}

void BlockLayoutDialog::addIcon()
{
    // The dialog opens in the icon directory by its initial name: the
    // process's current directory stays as it is.
    static const char* const filters[] = {"KYTicon, bitmap (*.;*.bmp)", "*.;*.bmp", "KYTicon (*.)", "*.",
                                          "Bitmap (*.bmp)", "*.bmp", nullptr};
    String initial = theWorkspace ? theWorkspace->ICONDIR : String();
    initial += "\\*.;*.bmp";
    FileOpenDialog chooser(this, getResString(kStrChooseIcon), initial.text(), filters);
    if (!chooser.ok || !iconBase)
        return;
    int before = iconBase->count();
    iconBase->loadFile(chooser.path);
    if (iconBase->count() > before)
        fillIcons();
}

LRESULT BlockLayoutDialog::onCommand(EventRecord* event)
{
    if (clicked(event, 1109)) {
        addIcon();
        return 1;
    }
    if (clicked(event, kHelpButtonId)) {
        showHelp("IDH_HELP_BlockLayoutDlg");
        return 1;
    }
    return FieldDialogCL::onCommand(event);
}

// ---------------------------------------------------------------- text block

TextBlockDialog::TextBlockDialog(WindowCL* parentWindow, BlockObject* block)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(kTextBlockTemplate))), text(block->getText()),
      lineCenter(block->layout[4]), factorText(formatDouble(block->scale)), factor(block->scale)
{
    new MultiEditCL(this, kTextField, &text);
    new CheckBoxCL(this, kCentreBox, &lineCenter);
    factorField = new NumberEditCL(this, kFactorField, nullptr, &factorText);
    factorField->limitText(5);
    factorField->onKillFocus(this, &TextBlockDialog::onFactorLeft);
    loadAll();
    runCentred(this);
}

LRESULT TextBlockDialog::onFactorLeft(EventRecord*)
{
    // A text that is no number stays for OK to refuse.
    double typed = 0;
    if (!readNumberField(factorField->getText().text(), &typed))
        return 0;
    factor = textFactorFrom(factorField->getText().text(), factor);
    factorField->setText(formatDouble(factor));
    return 0;
}

void TextBlockDialog::apply(BlockObject& block)
{
    factor = textFactorFrom(factorText.text(), factor);
    applyTextBlockValues(block, text.text(), lineCenter, factor);
}

LRESULT TextBlockDialog::onCommand(EventRecord* event)
{
    if (clicked(event, kHelpButtonId)) {
        showHelp("IDH_HELP_TextBlockLayoutDlg");
        return 1;
    }
    return FieldDialogCL::onCommand(event);
}

// ---------------------------------------------------------------- frame block

FrameBlockDialog::FrameBlockDialog(WindowCL* parentWindow, BlockObject* shown)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(kFrameBlockTemplate))),
      values(FrameBlockValues::fromBlock(*shown)), block(shown)
{
    new CheckBoxCL(this, kOutlineBox, &values.outline);
    new CheckBoxCL(this, kFillBox, &values.fill);
    outlineShown = new StaticCL(this, kOutlineColour);
    fillShown = new StaticCL(this, kFillColour);
    outlineShown->setBackColor(values.outlineColour);
    fillShown->setBackColor(values.fillColour);
    loadAll();
    runCentred(this);
}

void FrameBlockDialog::chooseColour(Color& colour, StaticCL* shown)
{
    ColorChooser chooser(this, colour);
    if (!chooser.ok)
        return;
    colour = chooser.color;
    shown->setBackColor(colour);
    if (shown->isWindow())
        InvalidateRect(shown->hwnd, nullptr, TRUE);
}

LRESULT FrameBlockDialog::onCommand(EventRecord* event)
{
    if (clicked(event, kOutlineChoose)) {
        chooseColour(values.outlineColour, outlineShown);
        return 1;
    }
    if (clicked(event, kFillChoose)) {
        chooseColour(values.fillColour, fillShown);
        return 1;
    }
    if (clicked(event, kMoreLayout)) {
        BlockLayoutDialog* layout = new BlockLayoutDialog(this, block);
        if (layout->accepted)
            layout->apply(*block);
        delete layout;
        return 1;
    }
    if (clicked(event, kHelpButtonId)) {
        showHelp("IDH_HELP_FrameBlockLayoutDlg");
        return 1;
    }
    return FieldDialogCL::onCommand(event);
}

// ---------------------------------------------------------------- mark data

MarkDataDialog::MarkDataDialog(WindowCL* parentWindow, BlockObject* shown)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(kMarkDataTemplate))), block(shown)
{
    titleWithCaption(this, block);
    list = new ListBoxCL(this, kList);
    refill(0);
    runCentred(this);
}

void MarkDataDialog::refill(int line)
{
    list->resetContent();
    for (const String& text : markDataLines(*block))
        list->addString(text.text());
    list->setCurSel(line);
}

LRESULT MarkDataDialog::onCommand(EventRecord* event)
{
    if (clicked(event, kToggle)) {
        int line = list->getCurSel();
        if (toggleMarkLine(*block, line))
            refill(line);
        return 1;
    }
    if (clicked(event, kMarkAll) || clicked(event, kUnmarkAll)) {
        setAllMarks(*block, clicked(event, kMarkAll) ? 1 : 0);
        refill(0);
        return 1;
    }
    if (clicked(event, kHelpButtonId)) {
        showHelp("IDH_HELP_MarkDataDlg");
        return 1;
    }
    return FieldDialogCL::onCommand(event);
}

// ---------------------------------------------------------------- signal names

namespace {

const int kTableEditorId = 4001;

} // namespace

SignalNameDialog::SignalNameDialog(WindowCL* parentWindow, int resource)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(resource))), table(nullptr), model(nullptr),
      editor(nullptr), rows(sNBase ? sNBase->count() : 0)
{
    model = new TableModel(2, static_cast<uint32_t>(rows));
    for (int i = 0; i < rows; ++i) {
        new TextCell(model, CellPos(1, i + 1), sNBase->nameAt(i).text());
        new TextCell(model, CellPos(2, i + 1), "");
    }
    if (rows > 0)
        model->addAttribute(new MarkAttribute(CellRange(1, 1, 1, static_cast<uint32_t>(rows))));
    HFONT dialogFont = font ? font->font() : nullptr;
    Rect r = dialogUnitsToPixels(Rect(6, 6, 176, 206), dialogBaseUnits(dialogFont));
    table = new TablePaneCL(this, new Geometry(r.left(), r.top(), r.right() - r.left(), r.bottom() - r.top()), 0,
                            model);
    table->setOption(HEADER_COLUMNS, HEADER_STORED);
    table->setHeaderText(HEADER_COLUMNS, 1, getResString(kResSignalCurrentName));
    table->setHeaderText(HEADER_COLUMNS, 2, getResString(kResSignalNewName));
    table->allowColumnResize(false);
    table->allowRowResize(false);
    editor = new TableEditCL(table, 0, kTableEditorId);
    if (WindowCL* ok = findChild(IDOK))
        static_cast<ButtonCL*>(ok)->onClick(this, &SignalNameDialog::onOkPressed);
    table->show(SW_SHOW);
    runCentred(this);
}

SignalNameDialog::~SignalNameDialog()
{
    // The pane goes with the dialog's children; the model after it.
    delete table;
    table = nullptr;
    delete model;
}

LRESULT SignalNameDialog::onOkPressed(EventRecord*)
{
    if (editor && editor->isShown())
        table->commitEdit(false);
    std::vector<SignalRename> renames;
    for (int i = 0; i < rows; ++i) {
        TableCell* wanted = model->getCell(CellPos(2, i + 1));
        std::string name = wanted ? wanted->getText() : std::string();
        if (!signalNameValid(name.c_str())) {
            MessageBeep(0);
            table->setCurrentCell(CellPos(2, i + 1));
            SetFocus(table->hwnd);
            return 1;
        }
        TableCell* current = model->getCell(CellPos(1, i + 1));
        renames.push_back(SignalRename{current ? current->getText().c_str() : "", name.c_str()});
    }
    if (sNBase)
        applySignalRenames(*sNBase, renames);
    accepted = 1;
    endDialog();
    return 1;
}

LRESULT SignalNameDialog::onCommand(EventRecord* event)
{
    if (clicked(event, kHelpButtonId)) {
        showHelp("IDH_HELP_SigNameDlg");
        return 1;
    }
    return FieldDialogCL::onCommand(event);
}

// ---------------------------------------------------------------- Laplace

LaplaceWizardDialog::LaplaceWizardDialog(WindowCL* parentWindow, int resource, const char* text)
    : FieldDialogCL(parentWindow, ResourceId(static_cast<unsigned>(resource))), transfer(text ? text : "")
{
    // A coefficient may be written with a decimal comma; OK stores points.
    new ModelTextEditCL(this, kTransferField, &transfer);
    loadAll();
    runCentred(this);
}

LRESULT LaplaceWizardDialog::onCommand(EventRecord* event)
{
    if (clicked(event, kHelpButton)) {
        showHelp("IDH_HELP_LaplaceWizardDlg");
        return 1;
    }
    return FieldDialogCL::onCommand(event);
}
