// The comment page: one field for the block's one-line comment, at the
// bottom of the editor frame.
#ifndef KYT_KYTFUZZY_COMPAGE_H
#define KYT_KYTFUZZY_COMPAGE_H

#include "Control.h"
#include "Pane.h"

class FuzzyEditorFrame;

class ComPage : public PaneWindowCL {
public:
    ComPage(FuzzyEditorFrame* frame, Geometry* geometry, DWORD style);

    LRESULT onSize(EventRecord* event) override;
    LRESULT paint(DeviceContext&) override { return 1; }
    LRESULT commitComment(EventRecord* event);

    MultiEditCL* e_line;
    StaticCL* s_text;

private:
    FuzzyEditorFrame* frame;
    bool committing = false;
};

#endif
