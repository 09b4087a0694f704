// What a simulation run uses of the plot window that watches it: the plot
// pane's signals, title, points and scaling and the frame's status texts.
// The plot window implements it; the console runner prints the points; tests
// record every call.
#ifndef KYT_ENGINE_PLOTSERVICES_H
#define KYT_ENGINE_PLOTSERVICES_H

#include <cstdint>

// The workspace's plot defaults, handed to the pane when it asks for new
// display settings.
struct PlotParams {
    int autoX;
    int autoY;
    double xscale;
    double yscale;
    double xoff;
    double yoff;
};

// Paging modes of the pane.
const int kPlotPagingTime = 1;   // x is the simulation time: the view pages on
const int kPlotPagingNone = 3;

class PlotServices {
public:
    virtual ~PlotServices() {}

    // n signals named "Signal %d", black and shown, until set.
    virtual void setSignals(int n) = 0;
    // Name and colour of signal index (0 .. n-1). The colour is packed as a
    // Windows colour value: red in the low byte, then green, blue and flag.
    virtual void setSignal(int index, const char* name, uint32_t colour) = 0;
    // The title of the x axis.
    virtual void setTitle(const char* text) = 0;
    virtual void setPagingMode(int mode) = 0;
    // The frame's run state: 0 while the header of a run changes the plot,
    // 1 when that is done and when a run has ended.
    virtual void setRunState(int state) = 0;
    // The date and time now into status field 2, kept for exports.
    virtual void stampDateTime() = 0;
    // Status field 1, unless the text is locked.
    virtual void setStatusText(const char* text) = 0;
    // Forgets every point (a run starts).
    virtual void clearPoints() = 0;
    // One point: x and a value per signal (count of them; the pane takes as
    // many as it has signals, a missing one reads as 0).
    virtual void addPoint(double x, const double* values, int count) = 0;
    // New scales when automatic scaling is on (a run has ended).
    virtual void rescale() = 0;
    // The flag that the pane wants new display settings; the run start
    // clears it and hands the workspace's plot defaults over.
    virtual int newSettingsFlag() = 0;
    virtual void clearNewSettingsFlag() = 0;
    virtual void setPlotParams(const PlotParams& params) = 0;
};

// Packs a colour the way setSignal takes it.
inline uint32_t plotColour(int red, int green, int blue)
{
    return static_cast<uint32_t>(red & 255) | (static_cast<uint32_t>(green & 255) << 8) |
           (static_cast<uint32_t>(blue & 255) << 16);
}

#endif
