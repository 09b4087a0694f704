// Everything an oscilloscope plot holds and computes, free of any window:
// the signals and the recorded points, the extents of the data, the scales
// and offsets of both axes with their scroll ranges and positions, the
// mapping of data to logical units (0.1 mm) and to device pixels, paging of
// the time axis, the vertices of a repaint (one per pixel column, at the
// mean of that column's points), zooming to a dragged rectangle, the tick
// labels and the legend. The plot pane draws what this model returns; the
// tests drive it directly.
#ifndef KYT_PLOT_CORE_PLOTMODEL_H
#define KYT_PLOT_CORE_PLOTMODEL_H

#include "PlotServices.h"
#include "String.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct SignalEntry {
    String name;
    // A Windows colour value (red in the low byte), as plotColour packs it.
    uint32_t colour;
    // 1: the curve and its legend line are drawn.
    int shown;
};

struct PlotPoint {
    double t;
    std::vector<double> values;
};

// A device point of the drawing.
struct PlotXY {
    int x;
    int y;
};

// The line from a signal's previous point to the new one, drawn when a point
// arrives. hasFrom is 0 for a signal's first point (only moved to).
struct NewSegment {
    int signal;
    int hasFrom;
    PlotXY from;
    PlotXY to;
};

// One vertex of a repainted curve; move is 1 for the first vertex of a
// curve and after a break (a value that is not a number).
struct PlotVertex {
    int x;
    int y;
    int move;
};

// What the tick labels and the legend of a screen drawing take, in device
// pixels of the tick font. All zero: nothing measured (a page, a bitmap).
struct PlotLabelSpace {
    int textHeight = 0;  // the font's character height
    int xLabelWidth = 0; // the widest x tick label
    int yLabelWidth = 0; // the widest y tick label
    int legendWidth = 0; // the widest legend line (signal names, x title)
};

// The smallest difference of two doubles near 1: drags and scales below it
// count as nothing.
const double kPlotEpsilon = 2.220446049250313e-16;

class PlotModel {
public:
    PlotModel();

    // ---- signals and points
    // n fresh signals "Signal %d", black and shown; n below 0 counts as 0.
    void setSignals(int n);
    // Ignored when index is outside 0..nSignals-1.
    void setSignal(int index, const char* name, uint32_t colour);
    void setTitle(const char* text) { xTitle = text; }
    const String& title() const { return xTitle; }
    String signalName(int i) const;
    uint32_t signalColour(int i) const;
    uint32_t colourByName(const char* name) const;
    void setColourByName(const char* name, uint32_t colour);
    int isShownByName(const char* name) const;
    void setShownByName(const char* name, int flag);

    // Appends a point (count values; a missing one reads as 0), fills out
    // with the newest segment of every shown signal and widens the extents.
    // The view pages when the point lies off the plot area in time mode;
    // paged then tells the caller to redraw the axes. Non-finite values
    // leave the extents alone and break their curve.
    void addPoint(double t, const double* values, int count, std::vector<NewSegment>* out, bool* paged);
    void clearPoints();
    int pointCount() const { return nPoints; }
    const std::vector<PlotPoint>& points() const { return list; }

    // New scales where automatic scaling is on, scroll ranges and positions
    // from the extents; nothing while there are no points.
    void rescale();
    // The step of a nice scale over the extents a and b (already divided by
    // the divisions); 0 when the difference is not a finite number.
    static double niceStep(double a, double b);

    // ---- scrolling: ranges and positions as the bars show them
    struct Bar {
        int minimum;
        int maximum;
        int position;
    };
    Bar horizontalBar() const;
    Bar verticalBar() const;
    // The position handlers: xoff from a horizontal position, yoff from a
    // vertical one (the bar's top is the highest value). The position is
    // clamped into the bar's range.
    void setHorizontalPosition(double p);
    void setVerticalPosition(double p);

    // ---- metrics and mapping
    // The drawing is w x h device pixels.
    void setDrawingSize(int w, int h);
    // The drawing on a page: pixels per 0.1 mm in x and y. Pages keep the
    // margins of 0.1 mm.
    void setPrintMetrics(double xmetric, double ymetric);
    // The tick font's height: fontSize tenths of a millimetre of the
    // drawing, at least minimum pixels (the screen's dialog font; 0 on a
    // page or a bitmap) and at least 1.
    int tickFontHeight(int minimum) const;
    // The screen's labels in their font: margins grow (the plot area
    // shrinks) where labels or the legend would not fit beside the plot
    // area, and labels are thinned where neighbours would touch. Kept for
    // later sizes of the drawing; an empty space gives the margins of
    // 0.1 mm.
    void fitLabels(const PlotLabelSpace& space);
    const PlotLabelSpace& labelSpace() const { return labels; }
    // Device places of the tick labels: the top of the x labels, the right
    // end of the y labels.
    int xLabelTop() const;
    int yLabelRight() const;
    // Every xLabelStep-th vertical line (from the left) and every
    // yLabelStep-th horizontal line (from the bottom) has its label.
    int xLabelStep() const { return xStep; }
    int yLabelStep() const { return yStep; }
    int drawingWidth() const { return drawW; }
    int drawingHeight() const { return height; }
    int xDivisions() const { return gridPx > 0 ? plotW / gridPx : 0; }
    int yDivisions() const { return gridPx > 0 ? plotH / gridPx : 0; }
    // Logical (0.1 mm, y upward from the bottom edge) to device pixels.
    int deviceX(double lx) const;
    int deviceY(double ly) const;
    // The logical distance of v from the plot area's left or bottom edge;
    // sets or clears the overflow flags.
    double mapToPlot(double v, double scale, double off, int divisions);
    // The device x of a data x; pages when allowed (adding in time mode).
    int pageX(double t, bool* paged = nullptr);
    int deviceYOf(double value);
    // The plot area in device pixels.
    int areaLeft() const { return deviceX(left); }
    int areaRight() const { return deviceX(left + plotW); }
    int areaTop() const { return deviceY(bottom + plotH); }
    int areaBottom() const { return deviceY(bottom); }

    // ---- repaint
    // Index of the first point a repaint draws.
    size_t paintStart() const;
    // The vertices of signal i for a repaint, one per device column.
    void paintVertices(int signal, std::vector<PlotVertex>& out);
    // Tick labels: the i-th vertical line from the left, the k-th horizontal
    // line from the bottom.
    String xTickLabel(int i) const;
    String yTickLabel(int k) const;
    // Indexes of the shown signals, in legend order.
    std::vector<int> legendOrder() const;

    // ---- zoom to the rectangle between two device points; false when it
    // is too narrow and nothing changed.
    bool zoom(int px1, int py1, int px2, int py2);

    // The workspace's plot defaults for a new run.
    void setPlotParams(const PlotParams& p);

    // The plot state that the frame, the dialogs and the circuit writer
    // read and write.
    std::vector<SignalEntry> signals;
    int nSignals;
    double xmin, xmax, ymin, ymax;
    double xscale, yscale;
    double xoff, yoff;
    int autoX, autoY;
    int gridPx, plotW, plotH;
    double xLow, xHigh, yLow, yHigh;
    int pagingMode;
    int adding;
    String xTitle;
    String statusText;
    String dateText;
    int textLocked;

    // Drawing fields, logical units of 0.1 mm.
    int left, right, bottom, top;
    double xFactor, yFactor;
    int height;
    int drawW;
    uint32_t backColour, gridColour, scaleColour;
    String fontFace;
    int fontSize;
    int gridStyle;
    int printing;
    int printLarge;
    int overRight, overLeft;

private:
    void widenExtents(const PlotPoint& p);
    void layOutLabels();

    PlotLabelSpace labels;
    int xStep, yStep;
    int xGap, yGap;

    std::vector<PlotPoint> list;
    int nPoints;
    bool xKnown;
    bool yKnown;
    // Ranges and positions as whole numbers in doubles: far data need more
    // than a bar's int, which gets them clamped.
    double hMin, hMax, hPos;
    double vMin, vMax, vPos;
};

#endif
