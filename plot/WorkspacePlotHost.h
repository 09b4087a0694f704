// The workspace as the host and the factory of kyt's plot frames.
#ifndef KYT_PLOT_WORKSPACEPLOTHOST_H
#define KYT_PLOT_WORKSPACEPLOTHOST_H

#include "PlotFrameParts.h"
#include "WorkspaceUi.h"

// The workspace as the host of kyt's plot frames.
class WorkspacePlotHost : public PlotFrameHost {
public:
    bool busy() override;
    PlotWindow* activePlot() override;
    void freeze(PlotWindow* frame) override;
    void forget(PlotWindow* frame) override;
    void raiseMainFrame() override;
    void showHelp(const char* marker) override;
};

// The workspace's factory of kyt's plot frames.
class PlotFrameFactory : public PlotWindowFactory {
public:
    explicit PlotFrameFactory(PlotFrameHost* frameHost) : host(frameHost) {}
    PlotWindow* createPlotWindow(WindowCL* owner, int x, int y, int width, int height, const char* title) override;

private:
    PlotFrameHost* host;
};

#endif
