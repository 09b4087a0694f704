#include "FsetPage.h"

#include "FuzzyEditorFrame.h"
#include "FuzzyModel.h"
#include "LvarPage.h"
#include "MsfPage.h"
#include "NumberFields.h"
#include "PageKit.h"
#include "PageRules.h"
#include "ResString.h"
#include "SetPageRules.h"
#include "strings/KytfuzzyStrings.h"

#include <cstring>

namespace {

const char kSource[] = "FSET_P";

enum {
    ID_SET_LABEL = 401,
    ID_SETS,
    ID_FORM_LABEL,
    ID_FORMS,
    ID_COLOUR_LABEL,
    ID_SAMPLE,
    ID_COLOURS,
    ID_NEW,
    ID_DELETE,
    ID_POINT_LABEL, // four
    ID_POINT = ID_POINT_LABEL + 4 // four
};

// ES_RIGHT | ES_MULTILINE | ES_LOWERCASE | ES_AUTOVSCROLL | WS_TABSTOP.
const DWORD kFieldStyle = 0x10056;
const char* const kPointNames[4] = {"a:", "b:", "c:", "d:"};
const char* const kPointMembers[4] = {"e_line_p1", "e_line_p2", "e_line_p3", "e_line_p4"};

// The colour sample: a black-frame static (style 7) with the text "HH",
// filled with the set's colour. A frame static draws no text, so "HH" is
// only the control's text; the fill is painted here, as the static itself
// would leave the inside to whatever lies below.
class ColourSample : public StaticCL {
public:
    ColourSample(WindowCL* parent, Geometry* g, int controlId)
        : StaticCL(parent, g, SS_BLACKFRAME, "HH", controlId)
    {
    }
    LRESULT defaultEvent(EventRecord* event) override
    {
        if (event->message != WM_PAINT)
            return StaticCL::defaultEvent(event);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(event->hwnd, &ps);
        RECT r;
        GetClientRect(event->hwnd, &r);
        const bool own = backColor != kNoBackground && backColor != kParentBackground;
        HBRUSH fill = CreateSolidBrush(own ? (backColor & 0xFFFFFF) : RGB(255, 255, 255));
        FillRect(dc, &r, fill);
        DeleteObject(fill);
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(event->hwnd, &ps);
        return 0;
    }
};

} // namespace

FsetPage::FsetPage(FuzzyEditorFrame* owner, Geometry* g, DWORD windowStyle)
    : PaneWindowCL(owner, g, windowStyle | WS_CHILD | WS_CLIPCHILDREN), frame(owner)
{
    setBackColor(kPageGrey);
    FuzzyPageState& s = frame->pageState();
    s_text2 = assertControl(pageLabel(this, 20, 20, 75, 20, getResString(kResSetLabel), ID_SET_LABEL), "s_text2",
                            kSource);
    c_box2 = assertControl(pageList(this, 100, 16, 120, 80, &s.setName, ID_SETS), "c_box2", kSource);
    c_box2->onSelChange(this, &FsetPage::chooseSet);
    s_text5 = assertControl(pageLabel(this, 240, 20, 50, 20, getResString(kResFormLabel), ID_FORM_LABEL), "s_text5",
                            kSource);
    c_box3 = assertControl(pageList(this, 295, 16, 109, 80, &s.formName, ID_FORMS), "c_box3", kSource);
    c_box3->onSelChange(this, &FsetPage::chooseForm);
    s_text6 = assertControl(pageLabel(this, 424, 20, 48, 20, getResString(kResColourLabel), ID_COLOUR_LABEL),
                            "s_text6", kSource);
    sample = assertControl(new ColourSample(this, new Geometry(474, 16, 25, 25), ID_SAMPLE), "sample", kSource);
    c_box4 = assertControl(pageList(this, 514, 16, 108, 80, &s.colorName, ID_COLOURS), "c_box4", kSource);
    c_box4->onSelChange(this, &FsetPage::chooseColour);
    new_fset_pb = assertControl(
        new PushButtonCL(this, new Geometry(65, 51, 70, 25), WS_TABSTOP, getResString(kStrFzNew), ID_NEW), "new_fset_pb",
        kSource);
    new_fset_pb->onClick(this, &FsetPage::newSet);
    del_fset_pb = assertControl(
        new PushButtonCL(this, new Geometry(150, 51, 70, 25), WS_TABSTOP, getResString(kStrFzDelete), ID_DELETE),
        "del_fset_pb", kSource);
    del_fset_pb->onClick(this, &FsetPage::deleteSet);
    typedef LRESULT (FsetPage::*Commit)(EventRecord*);
    const Commit commits[4] = {&FsetPage::commitA, &FsetPage::commitB, &FsetPage::commitC, &FsetPage::commitD};
    for (int i = 0; i < 4; ++i) {
        const int x = 240 + 98 * i;
        s_text_p[i] = assertControl(pageLabel(this, x, 55, 18, 20, kPointNames[i], ID_POINT_LABEL + i), "s_text_p",
                                    kSource);
        e_line_p[i] = assertControl(pageField(this, x + 20, 51, 68, 25, kFieldStyle, &s.point[i], ID_POINT + i),
                                    kPointMembers[i], kSource);
        e_line_p[i]->onKillFocus(this, commits[i]);
        e_line_p[i]->onVScroll(this, commits[i]);
    }
    c_box3->addString(kTrapezWord);
    c_box3->addString(kSingletonWord);
    // Placeholders until a variable fills the list.
    for (const char* name : {"rot", "blau", "gruen", "gelb"})
        c_box4->addString(name);
    if (s.variable) {
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

void FsetPage::paintSample(unsigned char red, unsigned char green, unsigned char blue)
{
    sample->setBackColor(Color(red, green, blue));
    InvalidateRect(sample->hwnd, nullptr, TRUE);
    ShowWindow(sample->hwnd, SW_SHOW);
}

void FsetPage::redrawGraphic()
{
    if (MsfPage* msf = frame->getMembershipPage()) {
        msf->build(frame->pageState().variable);
        InvalidateRect(msf->hwnd, nullptr, TRUE);
    }
}

int FsetPage::showVariable()
{
    FuzzyPageState& s = frame->pageState();
    LvarPage* lvar = frame->getVariablePage();
    showVariableTexts(frame->block(), s.variable, s);
    if (!s.variable) {
        for (int i = 0; i < 4; ++i) {
            s.point[i] = "";
            e_line_p[i]->loadValue();
        }
        c_box2->resetContent();
        c_box3->resetContent();
        s.setName = "";
        s.formName = "";
        s.set = nullptr;
        c_box4->resetContent();
        s.colorName = "";
        paintSample(255, 255, 255);
        if (lvar)
            lvar->loadVariableFields(false);
    } else {
        if (lvar)
            lvar->loadVariableFields(true);
        for (int i = 0; i < 4; ++i) {
            s.point[i] = "";
            e_line_p[i]->loadValue();
        }
        c_box2->resetContent();
        int count = 0;
        for (const FuzzyMember* m = s.variable->members; m; m = m->next, ++count)
            c_box2->addString(m->name ? m->name : "");
        if (count > 0) {
            String first;
            if (s.set && s.set->name)
                s.setName = s.set->name;
            else if (c_box2->getItemText(0, first))
                s.setName = first;
            s.set = findModelMember(s.variable, s.setName.text());
            c_box2->loadValue();
            showFset();
        } else {
            s.formName = "   ";
            c_box3->loadValue();
            s.colorName = "    ";
            c_box4->loadValue();
            paintSample(255, 255, 255);
        }
    }
    enableControls(s.variable && s.variable->members ? 1 : 0);
    redrawGraphic();
    return 1;
}

int FsetPage::showFset()
{
    FuzzyPageState& s = frame->pageState();
    if (!s.set)
        return 0;
    showSetTexts(s.set, s);
    c_box2->loadValue();
    const int shape = s.set->set ? s.set->set->shape : -1;
    if (shape == FZ_SHAPE_TRAPEZ || shape == FZ_SHAPE_SINGLETON) {
        for (int i = 0; i < 4; ++i) {
            const bool shown = shape == FZ_SHAPE_TRAPEZ || i == 0;
            ShowWindow(s_text_p[i]->hwnd, shown ? SW_SHOW : SW_HIDE);
            ShowWindow(e_line_p[i]->hwnd, shown ? SW_SHOW : SW_HIDE);
            if (shown)
                e_line_p[i]->enable();
            else
                e_line_p[i]->disable();
            e_line_p[i]->loadValue();
        }
        c_box3->loadValue();
    }
    c_box4->loadValue();
    const SampleColour c = sampleColour(s.set->color);
    paintSample(c.red, c.green, c.blue);
    return 1;
}

void FsetPage::fillChoiceLists()
{
    c_box3->resetContent();
    c_box3->addString(kTrapezWord);
    c_box3->addString(kSingletonWord);
    c_box4->resetContent();
    for (int i = 0; i < kFuzzyColorCount; ++i)
        c_box4->addString(getResString(kResFirstColourName + i));
}

void FsetPage::enableControls(int flag)
{
    CtrlWindowCL* controls[] = {c_box2, c_box3, e_line_p[0], e_line_p[1], e_line_p[2], e_line_p[3],
                                sample, c_box4, del_fset_pb};
    for (CtrlWindowCL* c : controls) {
        if (flag)
            c->enable();
        else
            c->disable();
    }
    const bool canAdd = flag != 0 || frame->pageState().variable != nullptr;
    if (canAdd)
        new_fset_pb->enable();
    else
        new_fset_pb->disable();
    frame->enableToolButton(CMD_ADD_SET, canAdd);
    frame->enableToolButton(CMD_DELETE_SET, flag != 0);
}

void FsetPage::enablePointFields(int flag)
{
    for (MultiEditCL* field : e_line_p) {
        if (flag)
            field->enable();
        else
            field->disable();
        InvalidateRect(field->hwnd, nullptr, TRUE);
    }
}

LRESULT FsetPage::commitPoint(int index)
{
    CommitGuard guard(committing);
    if (!guard.entered_())
        return 1;
    FuzzyPageState& s = frame->pageState();
    MultiEditCL* field = e_line_p[index];
    // A text that is no number is refused, naming the point; the field
    // shows the point it keeps.
    if (IsWindowEnabled(field->hwnd) && !readNumberFieldOf(field->hwnd, nullptr)) {
        field->loadValue();
        field->setSelection(0, 50);
        return 1;
    }
    field->storeValue();
    const bool valid = field->validate() != 0;
    commitSetPoint(s.set, index, valid, s.point[index]);
    if (valid && s.set) {
        field->loadValue();
        redrawGraphic();
    }
    frame->setModified();
    return 1;
}

LRESULT FsetPage::chooseSet(EventRecord*)
{
    FuzzyPageState& s = frame->pageState();
    c_box2->storeValue();
    s.set = s.variable ? findModelMember(s.variable, s.setName.text()) : nullptr;
    showFset();
    redrawGraphic();
    return 1;
}

LRESULT FsetPage::chooseForm(EventRecord*)
{
    FuzzyPageState& s = frame->pageState();
    if (!s.set || !s.set->set)
        return 0;
    c_box3->storeValue();
    if (s.formName == String(kTrapezWord)) {
        s.set->set->shape = FZ_SHAPE_TRAPEZ;
        setDefaultPoints(s.set, s.variable, FZ_SHAPE_TRAPEZ);
    } else if (s.formName == String(kSingletonWord)) {
        s.set->set->shape = FZ_SHAPE_SINGLETON;
        setDefaultPoints(s.set, s.variable, FZ_SHAPE_SINGLETON);
    }
    showFset();
    redrawGraphic();
    frame->setModified();
    return 1;
}

LRESULT FsetPage::chooseColour(EventRecord*)
{
    FuzzyPageState& s = frame->pageState();
    if (!s.set)
        return 0;
    c_box4->storeValue();
    SampleColour c;
    ::chooseColour(s.set, s.colorName.text(), &c);
    redrawGraphic();
    paintSample(c.red, c.green, c.blue);
    c_box4->loadValue();
    frame->setModified();
    return 1;
}

LRESULT FsetPage::newSet(EventRecord*)
{
    frame->runCommand(CMD_ADD_SET);
    return 1;
}

LRESULT FsetPage::deleteSet(EventRecord*)
{
    frame->runCommand(CMD_DELETE_SET);
    return 1;
}
