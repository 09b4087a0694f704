// The tool bar "tbar" and the two status bars of a plot frame: the buttons
// of the plot's commands in their fixed order, the bar "status" (run time,
// step, elapsed time) and the second bar (status text, date stamp).
#ifndef KYT_PLOT_PLOTBARS_H
#define KYT_PLOT_PLOTBARS_H

#include "PlotFrameParts.h"

class FrameWindowCL;
class StatusBarCL;
class ToolBarCL;

// One entry of the tool bar, in order: a command (a member of the frame's
// ids, or null for a gap of that width), its bitmap, two-state or not.
struct PlotToolButton {
    int PlotFrameIds::*command;
    int bitmap;
    bool twoState;
    int gap;
};

extern const PlotToolButton kPlotToolButtons[];
extern const int kPlotToolButtonCount;

const int kPlotToolBarHeight = 30;
const int kPlotButtonWidth = 27;
const int kPlotButtonHeight = 25;

// The windows are children of the frame and go with it; this object only
// addresses them and belongs to the frame.
class PlotBars : public PlotFrameBars {
public:
    PlotBars(FrameWindowCL* frame, const PlotFrameIds& ids);

    void enableCommand(int command, bool enabled) override;
    void checkCommand(int command, bool checked) override;
    void setStatusField(int bar, int field, const char* text) override;

    ToolBarCL* toolBar() const { return tbar; }
    StatusBarCL* statusBar(int bar) const { return bar == kPlotStatusBar ? status : bar == kPlotSecondBar ? second : nullptr; }

private:
    ToolBarCL* tbar;
    StatusBarCL* status;
    StatusBarCL* second;
};

#endif
