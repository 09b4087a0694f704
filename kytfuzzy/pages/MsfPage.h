// The membership-function graphic: the sets of the current variable drawn
// over its range, the set picked and its support points dragged with the
// mouse, the value under the pointer in the status bar; printed and copied
// to the clipboard through the page's current drawing context.
#ifndef KYT_KYTFUZZY_MSFPAGE_H
#define KYT_KYTFUZZY_MSFPAGE_H

#include "MembershipGeometry.h"
#include "Pane.h"

#include <vector>

class Clipboard;
class FuzzyEditorFrame;

class MsfPage : public PaneWindowCL {
public:
    MsfPage(FuzzyEditorFrame* frame, Geometry* geometry, DWORD style);
    ~MsfPage() override;

    // Lays the page out; with a variable the shapes are made anew from its
    // sets. 1.
    int build(const FuzzyVariable* variable);
    // Command 9001: the printer set-up, then a print job with the abort
    // dialog 125. 1.
    int print();
    // Command 11036: the page as a bitmap on the clipboard. 1.
    int copyToClipboard();
    // Background from the program options.
    void takeOptionsColour();

    LRESULT onSize(EventRecord* event) override;
    // The page has no children, and its place is the frame's rest: its own
    // size must not become a fixed size of its layout.
    void relayout(EventRecord*) override {}
    LRESULT onMouseMove(EventRecord* event) override;
    LRESULT onButtonDown(EventRecord* event) override;
    LRESULT onButtonUp(EventRecord* event) override;
    LRESULT paint(DeviceContext& dc) override;
    int printTo(DeviceContext* dc, int flag) override;

    // Where 9001 prints instead of a printer (tests); null: the printer.
    static void setPrintTarget(DeviceContext* dc);

    const std::vector<SetShape>& shapes() const { return shapeList; }
    const MembershipLayout& layout() const { return geometryNow; }
    // The mapping of the current variable with the GRID buffer's step.
    ValueMapping mapping() const;
    bool isTooSmall() const { return tooSmall; }

private:
    void layOut();
    void drawRubberBand();
    void chooseDragPoint(int x);
    void setCursorResource(int id);
    void paintHead(HDC dc);
    void paintAxes(HDC dc);
    void paintSets(HDC dc, const ValueMapping& m);

    FuzzyEditorFrame* frame;
    std::vector<SetShape> shapeList;
    int selected = -1;
    bool shapeHit = false;
    bool buttonHeld = false;
    bool dragging = false;
    int dragIndex = -1;
    bool firstMove = true;
    // Where the drag was pressed, and whether a move to a side has chosen
    // its point yet.
    int pressX = 0;
    int pressY = 0;
    bool directionKnown = false;
    DragPosition lastBand = {0, 0, 0};
    bool tooSmall = false;
    MembershipLayout geometryNow;
    bool printing = false;
    Clipboard* clipboard;
    int cursorId = 0;
};

#endif
