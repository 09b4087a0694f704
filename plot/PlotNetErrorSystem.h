// The neural nets' error plot in a free plot frame.
#ifndef KYT_PLOT_PLOTNETERRORSYSTEM_H
#define KYT_PLOT_PLOTNETERRORSYSTEM_H

#include "NetErrorPlot.h"
#include "PlotFrameParts.h"

class WindowCL;

class PlotNetErrorSystem : public NetErrorPlotSystem {
public:
    PlotNetErrorSystem(WindowCL* owner, PlotFrameHost* frameHost) : ownerWindow(owner), host(frameHost) {}
    NetErrorPlot* createErrorPlot(const NetErrorPlotFrame& frame) override;

private:
    WindowCL* ownerWindow;
    PlotFrameHost* host;
};

#endif
