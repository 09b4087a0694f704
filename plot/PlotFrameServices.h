// A plot frame as PlotServices: each call goes to the frame that frame()
// names at that time, and nowhere without one. The frame's own feed names
// the frame itself, ActivePlotServices the frame that is active.
#ifndef KYT_PLOT_PLOTFRAMESERVICES_H
#define KYT_PLOT_PLOTFRAMESERVICES_H

#include "PlotServices.h"

class PlotFrame;

class PlotFrameServices : public PlotServices {
public:
    void setSignals(int n) override;
    void setSignal(int index, const char* name, uint32_t colour) override;
    void setTitle(const char* text) override;
    void setPagingMode(int mode) override;
    void setRunState(int state) override;
    void stampDateTime() override;
    void setStatusText(const char* text) override;
    void clearPoints() override;
    void addPoint(double x, const double* values, int count) override;
    void rescale() override;
    int newSettingsFlag() override;
    void clearNewSettingsFlag() override;
    void setPlotParams(const PlotParams& params) override;

protected:
    virtual PlotFrame* frame() = 0;
};

#endif
