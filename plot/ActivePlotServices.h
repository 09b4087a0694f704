// The PlotServices of whatever plot frame is active at the time of each
// call (the workspace's plotOszi); without one the call goes nowhere. The
// simulator keeps this one for the whole run.
#ifndef KYT_PLOT_ACTIVEPLOTSERVICES_H
#define KYT_PLOT_ACTIVEPLOTSERVICES_H

#include "PlotFrameServices.h"

class ActivePlotServices : public PlotFrameServices {
public:
    // The run timer's texts into status fields 1-3 of the active frame.
    static void setStatus(int field, const char* text);
    static PlotFrame* active();

protected:
    PlotFrame* frame() override { return active(); }
};

#endif
