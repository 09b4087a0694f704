// The fuzzy-set page under the membership graphic: the set of the current
// variable, its form, colour and support points a to d. It owns the
// routine that shows the current variable on the variable page, on itself
// and in the graphic; the graphic calls it when a set was picked or a point
// dropped.
#ifndef KYT_KYTFUZZY_FSETPAGE_H
#define KYT_KYTFUZZY_FSETPAGE_H

#include "Control.h"
#include "Pane.h"

class FuzzyEditorFrame;

class FsetPage : public PaneWindowCL {
public:
    FsetPage(FuzzyEditorFrame* frame, Geometry* geometry, DWORD style);

    // Shows the current variable on the variable page, here and in the
    // graphic; 1.
    int showVariable();
    // Shows the current set; 0 without one.
    int showFset();
    void enablePointFields(int flag);
    void fillChoiceLists();
    void enableControls(int flag);

    LRESULT onSize(EventRecord* event) override;
    LRESULT onMouseMove(EventRecord*) override { return 1; }
    LRESULT onButtonDown(EventRecord*) override { return 1; }
    LRESULT paint(DeviceContext&) override { return 1; }

    LRESULT chooseSet(EventRecord* event);
    LRESULT chooseForm(EventRecord* event);
    LRESULT chooseColour(EventRecord* event);
    LRESULT commitA(EventRecord*) { return commitPoint(0); }
    LRESULT commitB(EventRecord*) { return commitPoint(1); }
    LRESULT commitC(EventRecord*) { return commitPoint(2); }
    LRESULT commitD(EventRecord*) { return commitPoint(3); }
    LRESULT newSet(EventRecord* event);
    LRESULT deleteSet(EventRecord* event);

    StaticCL* s_text2;
    SortedComboBoxCL* c_box2;
    StaticCL* s_text5;
    SortedComboBoxCL* c_box3;
    StaticCL* s_text6;
    StaticCL* sample;
    SortedComboBoxCL* c_box4;
    PushButtonCL* new_fset_pb;
    PushButtonCL* del_fset_pb;
    StaticCL* s_text_p[4];
    MultiEditCL* e_line_p[4];

private:
    LRESULT commitPoint(int index);
    void paintSample(unsigned char red, unsigned char green, unsigned char blue);
    void redrawGraphic();

    FuzzyEditorFrame* frame;
    bool committing = false;
};

#endif
