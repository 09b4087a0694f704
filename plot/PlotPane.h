// The drawing pane of a plot window: it draws its PlotModel as an
// oscilloscope screen (grid, tick labels, legend, one curve per shown
// signal) on the screen, a printer or a bitmap, draws the new points in
// batches, pages the time axis, scrolls and zooms to a dragged rectangle.
// All arithmetic is the model's; this class routes messages and draws.
#ifndef KYT_PLOT_PLOTPANE_H
#define KYT_PLOT_PLOTPANE_H

#include "Pane.h"
#include "PlotModel.h"
#include "Scroll.h"

#include <memory>
#include <vector>

class Bitmap;
class WindowDC;
class PlotPane;
struct SegmentBatch;
class PlotFrameBars;
class PlotOptionsDialog;
class PrintJob;

// The pane's scroll handler: the bars set the model's offsets.
class PlotScroller : public Scroller {
public:
    explicit PlotScroller(PlotPane* pane);

    int handleScroll(unsigned message, int code) override;
    // yoff from the vertical position, and the same again for the second
    // entry of the bar.
    virtual int scrollVertical();
    virtual int scrollVertical2();
    // xoff from the horizontal position; the second entry beeps first when
    // the position asked for is below 0.
    virtual int scrollHorizontal();
    virtual int scrollHorizontal2(int requested);

private:
    PlotPane* plot;
};

// The geometry of a pane that takes whatever its frame's bars leave, at
// every size of the frame. (A centred fill keeps the size its window last
// reported, the client size without scroll bars, and never grows back.)
class RestLayout : public Layout {
public:
    RestLayout() : Layout(nullptr) { kind = PLACE_REST; }
    void getSizeHints(SizeHints& hints) override
    {
        hints.clear();
        hints.kind = PLACE_REST;
    }
};

// A beep of the plot windows (MessageBeep unless a test counts them).
typedef void (*PlotBeepHook)();
void setPlotBeepHook(PlotBeepHook hook);
void plotBeep();

class PlotPane : public PaneWindowCL {
public:
    PlotPane(WindowCL* parent, Geometry* geometry);
    ~PlotPane() override;

    // ---- feeding (what the run and the net's error plot call)
    void setSignals(int n);
    void setSignal(int index, const char* name, uint32_t colour);
    void setTitle(const char* text);
    // Appends a point to the model; its lines are drawn in the next idle
    // pass, by drawNewPoints, or before anything else draws in the pane.
    void addPoint(double t, const double* values, int count);
    // Draws the lines of the points fed since the last call, in the order
    // they came wherever lines of different colours could touch, so that
    // the picture is the one a drawing per point would give. Lines fed
    // while the pane was not visible are not drawn.
    void drawNewPoints();
    void clearPoints();
    // New scales (where automatic), bars and a repaint.
    void rescale();
    void stampDateTime();
    void setStatusText(const char* text);
    // Where the status texts go (the frame); null for nowhere.
    void setStatusBars(PlotFrameBars* bars) { statusBars = bars; }

    // ---- drawing
    LRESULT paint(DeviceContext& dc) override;
    int printTo(DeviceContext* dc, int flag) override;
    LRESULT onSize(EventRecord* event) override;
    LRESULT onMouseMove(EventRecord* event) override;
    LRESULT onButtonDown(EventRecord* event) override;
    LRESULT onButtonUp(EventRecord* event) override;

    void setFont(const char* face, int size, uint32_t colour);
    void setBackColour(uint32_t colour);
    void setGridColour(uint32_t colour);
    void setScaleColour(uint32_t colour);
    void setGridStyle(int style);
    // A bitmap of the client size with the plot drawn on the background;
    // null when it cannot be made. Owned by the caller.
    Bitmap* makePicture();
    // The tick font of the last drawing (screen, page or bitmap).
    Font* tickFont() const { return ticFont; }
    // The bars show the model's ranges and positions; the pane repaints.
    void showBars();
    void repaint();

    PlotModel model;
    // The print job of this pane while it may still run (it ends itself in
    // idle passes); a pane that goes first abandons it.
    PrintJob* printJob;
    // The open options dialog of this pane (its dialog-open flag); it
    // clears this when it closes, and goes with the pane.
    PlotOptionsDialog* optionsDialog;
    // The zoom drag, in client pixels.
    int dragging;
    POINT pressPoint;
    POINT bandPoint;

protected:
    void setupMetrics(DeviceContext& dc);
    void drawAxes(DeviceContext& dc);
    void fillBackground(HDC hdc, int width, int height);

private:
    friend class PlotScroller;

    // The context new lines are drawn into: the pane's own, or one of the
    // whole window while the own one is held by a paint.
    DeviceContext* drawingContext(std::unique_ptr<WindowDC>& whole);
    void makeTickFont(DeviceContext& dc, int minimum);
    void fitLabels(DeviceContext& dc);
    void drawCurves(DeviceContext& dc);
    // The idle task that draws the new points once.
    int drawNewPointsWhenIdle();
    void drawBand(POINT to);
    void showStatusField(int bar, int field, const String& text);

    Font* ticFont;
    // Drawing the clipboard's bitmap: it keeps the font and margins of
    // 0.1 mm, as a page does.
    bool drawingPicture;
    PlotFrameBars* statusBars;
    std::vector<NewSegment> segments;
    // The lines of the points fed since the last drawing, and whether one
    // of them paged the view (the page is drawn anew first).
    std::vector<NewSegment> newSegments;
    bool newPage;
    bool idleTaskOn;
    SegmentBatch* batch;
    std::vector<PlotVertex> vertices;
    std::vector<POINT> polyline;
};

#endif
