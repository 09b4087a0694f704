// The seam between the neural-net code and the plot window that shows the
// training error ("Error-Oszi"). The NN library decides when the window
// opens, what it shows and when it goes; the program's plot window implements
// the two interfaces below, tests record them.
#ifndef KYT_BLOCKS_NETERRORPLOT_H
#define KYT_BLOCKS_NETERRORPLOT_H

// Where and how the error plot frame is made: a child of the main frame at
// 450, 0 of 400 x 400 pixels, window style 0xcf0000 (WS_OVERLAPPEDWINDOW),
// titled "Error-Oszi".
struct NetErrorPlotFrame {
    int x;
    int y;
    int width;
    int height;
    unsigned long style;
    const char* title;
};

extern const NetErrorPlotFrame kNetErrorPlotFrame;

// One error plot window: a plot frame with its plot pane.
class NetErrorPlot {
public:
    virtual ~NetErrorPlot() {}
    // The pane's number of signals (PlotPane::setSignals).
    virtual void setSignalCount(int count) = 0;
    // The plot's title text under the curve ("Cycles").
    virtual void setPlotTitle(const char* text) = 0;
    // Name and colour of curve index; the colour is a Windows colour value
    // (0x00bbggrr: 0xff0000 is blue).
    virtual void setSignal(int index, const char* name, unsigned long colour) = 0;
    // The pane's drawing mode: 1 moves the x offset when a new point lies
    // outside the visible x range.
    virtual void setDrawingMode(int mode) = 0;
    // The frame's show operation (0 hide, 1 show).
    virtual void show(int how) = 0;
    // Appends the point (x, value) and draws it.
    virtual void addPoint(double x, double value) = 0;
    // Recomputes the scales (when auto-scaling is on) and repaints.
    virtual void rescale() = 0;
    // The pane's x scale.
    virtual double xScale() = 0;
    // The library no longer feeds this window: a later opening took its
    // place. The window stays on the screen until the user closes it.
    virtual void release() = 0;
    // Closes the window (the library is unloaded); the object is gone
    // afterwards.
    virtual void destroy() = 0;
};

// What the library needs of the program's windows.
class NetErrorPlotSystem {
public:
    virtual ~NetErrorPlotSystem() {}
    // Makes the frame as described (not yet shown); null when it cannot be
    // made.
    virtual NetErrorPlot* createErrorPlot(const NetErrorPlotFrame& frame) = 0;
};

// The window system in use; null (the default) opens no error plot and the
// points go nowhere.
void setNetErrorPlotSystem(NetErrorPlotSystem* system);
NetErrorPlotSystem* netErrorPlotSystem();

#endif
