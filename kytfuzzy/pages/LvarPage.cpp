#include "LvarPage.h"

#include "Application.h"
#include "FsetPage.h"
#include "FuzzyEditorFrame.h"
#include "MsfPage.h"
#include "NumberFields.h"
#include "PageKit.h"
#include "PageRules.h"
#include "ResString.h"
#include "strings/KytfuzzyStrings.h"

namespace {

const char kSource[] = "LVAR_P";

enum {
    ID_VARIABLES = 201,
    ID_XMIN,
    ID_USAGE,
    ID_NEW,
    ID_DELETE,
    ID_XMAX,
    ID_GRID,
    ID_LABEL_VARIABLE,
    ID_LABEL_XMIN,
    ID_LABEL_USAGE,
    ID_LABEL_XMAX,
    ID_LABEL_GRID
};

// ES_RIGHT | ES_MULTILINE | ES_LOWERCASE | ES_AUTOVSCROLL | WS_TABSTOP.
const DWORD kFieldStyle = 0x10056;

} // namespace

LvarPage::LvarPage(FuzzyEditorFrame* owner, Geometry* g, DWORD windowStyle)
    : PaneWindowCL(owner, g, windowStyle | WS_CHILD | WS_CLIPCHILDREN), frame(owner)
{
    setBackColor(kPageGrey);
    FuzzyPageState& s = frame->pageState();
    s_text1 = assertControl(pageLabel(this, 20, 20, 75, 20, getResString(kStrFzVariableLabel), ID_LABEL_VARIABLE),
                            "s_text1", kSource);
    c_box1 = assertControl(pageList(this, 100, 16, 120, 80, &s.variableName, ID_VARIABLES), "c_box1", kSource);
    c_box1->onSelChange(this, &LvarPage::chooseVariable);
    s_text3 = assertControl(pageLabel(this, 240, 20, 40, 20, "xmin:", ID_LABEL_XMIN), "s_text3", kSource);
    e_line1 = assertControl(pageField(this, 285, 16, 60, 25, kFieldStyle, &s.xmin, ID_XMIN), "e_line1", kSource);
    e_line1->onKillFocus(this, &LvarPage::commitXmin);
    e_line1->onVScroll(this, &LvarPage::commitXmin);
    s_text7 = assertControl(pageLabel(this, 375, 20, 90, 20, getResString(kStrFzUsageLabel), ID_LABEL_USAGE), "s_text7",
                            kSource);
    c_box5 = assertControl(pageList(this, 470, 16, 85, 60, &s.usage, ID_USAGE), "c_box5", kSource);
    c_box5->onSelChange(this, &LvarPage::changeUsage);
    new_lvar_pb = assertControl(
        new PushButtonCL(this, new Geometry(65, 51, 70, 25), WS_TABSTOP, getResString(kStrFzNew), ID_NEW), "new_lvar_pb",
        kSource);
    new_lvar_pb->onClick(this, &LvarPage::newVariable);
    del_lvar_pb = assertControl(
        new PushButtonCL(this, new Geometry(150, 51, 70, 25), WS_TABSTOP, getResString(kStrFzDelete), ID_DELETE),
        "del_lvar_pb", kSource);
    del_lvar_pb->onClick(this, &LvarPage::deleteVariable);
    s_text4 = assertControl(pageLabel(this, 240, 55, 40, 20, "xmax:", ID_LABEL_XMAX), "s_text4", kSource);
    e_line2 = assertControl(pageField(this, 285, 51, 60, 25, kFieldStyle, &s.xmax, ID_XMAX), "e_line2", kSource);
    e_line2->onKillFocus(this, &LvarPage::commitXmax);
    e_line2->onVScroll(this, &LvarPage::commitXmax);
    s_text8 = assertControl(pageLabel(this, 375, 55, 60, 20, getResString(kStrFzGridLabel), ID_LABEL_GRID), "s_text8",
                            kSource);
    e_line3 = assertControl(pageField(this, 470, 51, 85, 25, kFieldStyle, &s.grid, ID_GRID), "e_line3", kSource);
    e_line3->onKillFocus(this, &LvarPage::commitGrid);
    e_line3->onVScroll(this, &LvarPage::commitGrid);

    SetFocus(c_box1->hwnd);
    refresh();
    FuzzyBlock* block = frame->block();
    s.comment = block && block->comment ? block->comment : "";
}

LRESULT LvarPage::onSize(EventRecord*)
{
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

void LvarPage::focusXmin()
{
    SetFocus(e_line1->hwnd);
    e_line1->setSelection(0, 50);
}

int LvarPage::refresh()
{
    FuzzyPageState& s = frame->pageState();
    FuzzyBlock* block = frame->block();
    c_box1->resetContent();
    int count = 0;
    if (block)
        for (FuzzyVariable* list : {block->inputs, block->outputs})
            for (FuzzyVariable* v = list; v; v = v->next) {
                c_box1->addString(v->name ? v->name : "");
                ++count;
            }
    ShowWindow(c_box1->hwnd, SW_SHOW);
    if (!s.variable) {
        String first;
        if (count > 0 && c_box1->getItemText(0, first)) {
            s.variableName = first;
            s.variable = ::chooseVariable(block, first.text());
        }
    } else {
        s.variableName = s.variable->name ? s.variable->name : "";
    }
    c_box1->loadValue();
    c_box5->resetContent();
    c_box5->addString(getResString(kResInputWord));
    c_box5->addString(getResString(kResOutputWord));
    if (FsetPage* fset = frame->getSetPage()) {
        fset->fillChoiceLists();
        if ((fset = frame->getSetPage()))
            fset->showVariable();
    }
    enableControls(count > 0 ? 1 : 0);
    return 1;
}

void LvarPage::enableControls(int flag)
{
    CtrlWindowCL* controls[] = {c_box1, e_line1, e_line2, e_line3, c_box5, del_lvar_pb};
    for (CtrlWindowCL* c : controls) {
        if (flag)
            c->enable();
        else
            c->disable();
    }
    frame->enableToolButton(CMD_DELETE_VARIABLE, flag != 0);
    if (!flag) {
        frame->enableToolButton(CMD_ADD_SET, false);
        frame->enableToolButton(CMD_DELETE_SET, false);
    }
}

void LvarPage::loadVariableFields(bool hasVariable)
{
    if (!hasVariable)
        c_box5->resetContent();
    e_line3->loadValue();
    e_line1->loadValue();
    e_line2->loadValue();
    c_box5->loadValue();
}

void LvarPage::redrawGraphic(bool rebuild)
{
    if (MsfPage* msf = frame->getMembershipPage()) {
        if (rebuild)
            msf->build(frame->pageState().variable);
        InvalidateRect(msf->hwnd, nullptr, TRUE);
    }
}

LRESULT LvarPage::chooseVariable(EventRecord*)
{
    FuzzyPageState& s = frame->pageState();
    c_box1->storeValue();
    s.variable = ::chooseVariable(frame->block(), s.variableName.text());
    s.set = nullptr;
    if (FsetPage* fset = frame->getSetPage())
        fset->showVariable();
    redrawGraphic(false);
    return 1;
}

LRESULT LvarPage::commitBound(bool xmin)
{
    CommitGuard guard(committing);
    if (!guard.entered_())
        return 1;
    FuzzyPageState& s = frame->pageState();
    MultiEditCL* field = xmin ? e_line1 : e_line2;
    // A text that is no number is refused, naming the field; the field
    // shows the bound it keeps, as for a refused range.
    if (!readNumberFieldOf(field->hwnd, nullptr)) {
        field->loadValue();
        field->setSelection(0, 50);
        return 1;
    }
    field->storeValue();
    const bool valid = field->validate() != 0;
    const RangeCommit result =
        xmin ? ::commitXmin(s.variable, valid, s.xmin) : ::commitXmax(s.variable, valid, s.xmax);
    if (result == RANGE_REFUSED) {
        field->loadValue();
        MessageBoxObject(frame, getResString(xmin ? kResXminNotBelowXmax : kResXmaxNotAboveXmin),
                         getResString(kStrFzProgramTitle), MB_OK | MB_ICONINFORMATION);
        SetFocus(field->hwnd);
        field->setSelection(0, 50);
        return 1;
    }
    if (result == RANGE_SAME) {
        field->loadValue();
        return 1;
    }
    if (result == RANGE_STORED) {
        field->loadValue();
        redrawGraphic(true);
    }
    frame->setModified();
    return 1;
}

LRESULT LvarPage::commitXmin(EventRecord*)
{
    return commitBound(true);
}

LRESULT LvarPage::commitXmax(EventRecord*)
{
    return commitBound(false);
}

LRESULT LvarPage::commitGrid(EventRecord*)
{
    CommitGuard guard(committing);
    if (!guard.entered_())
        return 1;
    FuzzyPageState& s = frame->pageState();
    if (!readNumberFieldOf(e_line3->hwnd, nullptr)) {
        e_line3->loadValue();
        e_line3->setSelection(0, 50);
        return 1;
    }
    e_line3->storeValue();
    const bool valid = e_line3->validate() != 0;
    // The new step counts from the next snapping on; the block does not
    // count as changed for it.
    if (::commitGrid(s.variable, valid, s.grid, s.xmin, s.xmax))
        e_line3->loadValue();
    return 1;
}

LRESULT LvarPage::changeUsage(EventRecord*)
{
    FuzzyPageState& s = frame->pageState();
    FuzzyBlock* block = frame->block();
    if (!block)
        return 1;
    c_box5->storeValue();
    if (::changeUsage(block, s) == USAGE_MOVED)
        refresh();
    if (FsetPage* fset = frame->getSetPage())
        fset->showVariable();
    redrawGraphic(false);
    frame->setModified();
    return 1;
}

LRESULT LvarPage::newVariable(EventRecord*)
{
    frame->runCommand(CMD_ADD_VARIABLE);
    return 1;
}

LRESULT LvarPage::deleteVariable(EventRecord*)
{
    frame->runCommand(CMD_DELETE_VARIABLE);
    return 1;
}
