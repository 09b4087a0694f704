// What a plot frame needs from the program that makes it, and where its
// tool bar and status bars plug in. A program gives its frames a host (the
// workspace for kyt) and a table of ids (commands, titles, menu and
// accelerators); the frame itself only routes commands and draws its model.
#ifndef KYT_PLOT_CORE_PLOTFRAMEPARTS_H
#define KYT_PLOT_CORE_PLOTFRAMEPARTS_H

class PlotWindow;

// The program's side of a plot frame.
class PlotFrameHost {
public:
    virtual ~PlotFrameHost() {}
    // A simulation (or a wizard) goes on.
    virtual bool busy() = 0;
    // The frame that the running or next simulation feeds, or null.
    virtual PlotWindow* activePlot() = 0;
    // The frame is frozen: it keeps its data and nothing feeds it any more.
    virtual void freeze(PlotWindow* frame) = 0;
    // The frame goes: its slot and the active pointer are cleared.
    virtual void forget(PlotWindow* frame) = 0;
    // Brings the program's main frame to the front.
    virtual void raiseMainFrame() = 0;
    virtual void showHelp(const char* marker) = 0;
};

// Command ids, titles and resources of a program's plot frames.
struct PlotFrameIds {
    int asciiExport;
    int matlabExport;
    int print;
    int freeze;
    int copy;
    int rescale;
    int options;
    int background;
    int gridColour;
    int scaleColour;
    int font;
    int solidGrid;
    int editorToFront;
    int menu;
    int accelerators;
    unsigned int titleName;
    unsigned int titleActive;
    unsigned int titleFrozen;
};

// kyt's plot frames.
extern const PlotFrameIds kKytPlotFrameIds;

// Status bar "status" (bar 1: run time, step, elapsed time) and the second
// bar (bar 2: status text, date stamp); fields count from 1.
const int kPlotStatusBar = 1;
const int kPlotSecondBar = 2;
const int kPlotStatusFields = 3;
const int kPlotSecondFields = 2;

// The tool bar and the two status bars of a frame, as windows that plug in
// at its top and bottom. Without them the frame keeps the status texts to
// itself and its menu alone shows the command states.
class PlotFrameBars {
public:
    virtual ~PlotFrameBars() {}
    virtual void enableCommand(int command, bool enabled) = 0;
    virtual void checkCommand(int command, bool checked) = 0;
    virtual void setStatusField(int bar, int field, const char* text) = 0;
};

#endif
