// The fuzzy-set page under the membership graphic. It owns the routine that
// shows the current variable on the variable page, on itself and in the
// graphic; the graphic calls its hooks when a set was picked or a point
// dropped.
#ifndef KYT_KYTFUZZY_FSETPAGE_H
#define KYT_KYTFUZZY_FSETPAGE_H

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

private:
    FuzzyEditorFrame* frame;
};

#endif
