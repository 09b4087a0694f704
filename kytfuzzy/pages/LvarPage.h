// The linguistic-variable page: the top strip of the editor frame, which
// chooses the current variable and edits its range, its grid step and its
// usage as input or output.
#ifndef KYT_KYTFUZZY_LVARPAGE_H
#define KYT_KYTFUZZY_LVARPAGE_H

#include "Control.h"
#include "Pane.h"

class FuzzyEditorFrame;

class LvarPage : public PaneWindowCL {
public:
    LvarPage(FuzzyEditorFrame* frame, Geometry* geometry, DWORD style);

    // Rebuilds the page from the model; 1.
    int refresh();
    void enableControls(int flag);
    // The focus into XMIN with its characters selected.
    void focusXmin();
    // The range, GRID and usage fields from their buffers; without a
    // variable the usage list is emptied.
    void loadVariableFields(bool hasVariable);

    LRESULT onSize(EventRecord* event) override;
    LRESULT onMouseMove(EventRecord*) override { return 1; }
    LRESULT onButtonDown(EventRecord*) override { return 1; }
    LRESULT paint(DeviceContext&) override { return 1; }

    LRESULT chooseVariable(EventRecord* event);
    LRESULT commitXmin(EventRecord* event);
    LRESULT commitXmax(EventRecord* event);
    LRESULT commitGrid(EventRecord* event);
    LRESULT changeUsage(EventRecord* event);
    LRESULT newVariable(EventRecord* event);
    LRESULT deleteVariable(EventRecord* event);

    SortedComboBoxCL* c_box5;
    MultiEditCL* e_line1;
    MultiEditCL* e_line2;
    MultiEditCL* e_line3;
    SortedComboBoxCL* c_box1;
    StaticCL* s_text1;
    StaticCL* s_text3;
    StaticCL* s_text4;
    StaticCL* s_text7;
    StaticCL* s_text8;
    PushButtonCL* new_lvar_pb;
    PushButtonCL* del_lvar_pb;

private:
    LRESULT commitBound(bool xmin);
    void redrawGraphic(bool rebuild);

    FuzzyEditorFrame* frame;
    bool committing = false;
};

#endif
