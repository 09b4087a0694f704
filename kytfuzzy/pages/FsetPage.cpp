#include "FsetPage.h"

#include "FuzzyEditorFrame.h"
#include "FuzzyModel.h"
#include "LvarPage.h"
#include "MsfPage.h"
#include "PageKit.h"
#include "PageRules.h"

#include <cstring>

FsetPage::FsetPage(FuzzyEditorFrame* owner, Geometry* g, DWORD windowStyle)
    : PaneWindowCL(owner, g, windowStyle | WS_CHILD | WS_CLIPCHILDREN), frame(owner)
{
    setBackColor(kPageGrey);
    if (frame->pageState().variable) {
        fillChoiceLists();
        showVariable();
    } else {
        enableControls(0);
    }
}

LRESULT FsetPage::onSize(EventRecord*)
{
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

int FsetPage::showVariable()
{
    FuzzyPageState& s = frame->pageState();
    LvarPage* lvar = frame->getVariablePage();
    showVariableTexts(frame->block(), s.variable, s);
    if (!s.variable) {
        s.set = nullptr;
        s.setName = "";
        s.formName = "";
        s.colorName = "";
    } else {
        // The current set, or else the alphabetically first set (as the
        // sorted set list offers it first).
        const FuzzyMember* chosen = s.set;
        if (!chosen)
            for (const FuzzyMember* m = s.variable->members; m; m = m->next)
                if (m->name && (!chosen || strcmp(m->name, chosen->name) < 0))
                    chosen = m;
        s.setName = chosen && chosen->name ? chosen->name : "";
        s.set = chosen ? findModelMember(s.variable, s.setName.text()) : nullptr;
        if (s.set)
            showFset();
    }
    if (lvar)
        lvar->loadVariableFields(s.variable != nullptr);
    enableControls(s.variable && s.variable->members ? 1 : 0);
    if (MsfPage* msf = frame->getMembershipPage()) {
        msf->build(s.variable);
        InvalidateRect(msf->hwnd, nullptr, TRUE);
    }
    return 1;
}

int FsetPage::showFset()
{
    FuzzyPageState& s = frame->pageState();
    if (!s.set)
        return 0;
    s.setName = s.set->name ? s.set->name : "";
    return 1;
}

void FsetPage::enablePointFields(int)
{
}

void FsetPage::fillChoiceLists()
{
}

void FsetPage::enableControls(int flag)
{
    FuzzyPageState& s = frame->pageState();
    frame->enableToolButton(CMD_ADD_SET, flag != 0 || s.variable != nullptr);
    frame->enableToolButton(CMD_DELETE_SET, flag != 0);
}
