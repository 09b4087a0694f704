#include "ComPage.h"

#include "FuzzyEditorFrame.h"
#include "PageKit.h"
#include "PageRules.h"
#include "ResString.h"
#include "strings/KytfuzzyStrings.h"

namespace {

const char kSource[] = "COM_P";
const int kCommentField = 301;
const int kCommentLabel = 302;
const int kCommentLength = 80;

} // namespace

ComPage::ComPage(FuzzyEditorFrame* owner, Geometry* g, DWORD windowStyle)
    : PaneWindowCL(owner, g, windowStyle | WS_CHILD | WS_CLIPCHILDREN), e_line(nullptr), s_text(nullptr), frame(owner)
{
    setBackColor(kPageGrey);
    Rect area = own->drawingArea();
    e_line = assertControl(new PageFieldCL(this, new Geometry(85, 1, area.width() - 2, area.height() - 2),
                                           ES_MULTILINE | ES_AUTOVSCROLL, kCommentField),
                           "e_line", kSource);
    e_line->bindBuffer(&frame->pageState().comment);
    e_line->limitText(kCommentLength);
    e_line->onKillFocus(this, &ComPage::commitComment);
    e_line->onVScroll(this, &ComPage::commitComment);
    e_line->style |= ES_WANTRETURN;
    e_line->updateStyle();
    s_text = assertControl(pageLabel(this, 1, 1, 70, 20, getResString(kStrFzCommentLabel), kCommentLabel), "s_text",
                           kSource);
}

LRESULT ComPage::onSize(EventRecord*)
{
    RECT client = {0, 0, 0, 0};
    if (isWindow())
        GetClientRect(hwnd, &client);
    if (s_text && s_text->hwnd) {
        MoveWindow(s_text->hwnd, 10, 7, 90, 20, TRUE);
        ShowWindow(s_text->hwnd, SW_SHOW);
    }
    if (e_line && e_line->hwnd) {
        MoveWindow(e_line->hwnd, 105, 2, client.right - 125, 26, TRUE);
        ShowWindow(e_line->hwnd, SW_SHOW);
        e_line->loadValue();
    }
    return 0;
}

LRESULT ComPage::commitComment(EventRecord*)
{
    CommitGuard guard(committing);
    if (!guard.entered_())
        return 1;
    FuzzyPageState& state = frame->pageState();
    e_line->storeValue();
    const bool valid = e_line->validate() != 0;
    ::commitComment(frame->block(), valid, state.comment);
    if (valid)
        e_line->loadValue();
    frame->setModified();
    return 1;
}
