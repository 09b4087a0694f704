// Recorders of both sides of a simulation run: the plot window
// (PlotServices) and the framework (RunHost). Every call is kept in order so
// that a test can read back what a person would have seen.
#ifndef KYT_TESTS_ENGINE_RECORDINGRUN_H
#define KYT_TESTS_ENGINE_RECORDINGRUN_H

#include "PlotServices.h"
#include "Simulator.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecordedPoint {
    double x;
    std::vector<double> values;
};

struct RecordedSignal {
    std::string name;
    uint32_t colour;
};

class RecordingPlot : public PlotServices {
public:
    void setSignals(int n) override
    {
        calls.push_back("setSignals " + std::to_string(n));
        signals.assign(static_cast<size_t>(n > 0 ? n : 0), RecordedSignal{"", 0});
        for (int i = 0; i < n; ++i)
            signals[static_cast<size_t>(i)].name = "Signal " + std::to_string(i);
    }
    void setSignal(int index, const char* name, uint32_t colour) override
    {
        calls.push_back("setSignal " + std::to_string(index) + " " + name);
        if (index >= 0 && index < static_cast<int>(signals.size()))
            signals[static_cast<size_t>(index)] = RecordedSignal{name, colour};
    }
    void setTitle(const char* text) override
    {
        calls.push_back(std::string("setTitle ") + text);
        title = text;
    }
    void setPagingMode(int mode) override
    {
        calls.push_back("setPagingMode " + std::to_string(mode));
        pagingMode = mode;
    }
    void setRunState(int state) override { calls.push_back("setRunState " + std::to_string(state)); }
    void stampDateTime() override { calls.push_back("stampDateTime"); }
    void setStatusText(const char* text) override
    {
        calls.push_back(std::string("setStatusText ") + text);
        statusText = text;
    }
    void clearPoints() override
    {
        calls.push_back("clearPoints");
        points.clear();
    }
    void addPoint(double x, const double* values, int count) override
    {
        // The pane keeps one value per signal; a missing one reads as 0.
        RecordedPoint p{x, std::vector<double>(signals.size(), 0.0)};
        for (int i = 0; i < count && i < static_cast<int>(signals.size()); ++i)
            p.values[static_cast<size_t>(i)] = values[i];
        points.push_back(p);
    }
    void rescale() override { calls.push_back("rescale"); }
    int newSettingsFlag() override { return newSettings; }
    void clearNewSettingsFlag() override
    {
        calls.push_back("clearNewSettingsFlag");
        newSettings = 0;
    }
    void setPlotParams(const PlotParams& params) override
    {
        calls.push_back("setPlotParams");
        plotParams = params;
    }

    // Calls other than addPoint, in order.
    std::vector<std::string> calls;
    std::vector<RecordedSignal> signals;
    std::vector<RecordedPoint> points;
    std::string title = "Zeit";
    std::string statusText;
    int pagingMode = 3;
    int newSettings = 0;
    PlotParams plotParams = {0, 0, 0, 0, 0, 0};
};

class RecordingHost : public RunHost {
public:
    bool confirmSettings(SimParams& settings, int startAtOnce) override
    {
        calls.push_back("confirmSettings " + std::to_string(startAtOnce));
        if (confirmed)
            stored = settings;
        return confirmed;
    }
    void getPlotParams(PlotParams& params) override
    {
        calls.push_back("getPlotParams");
        params = plotParams;
    }
    const char* circuitName() override { return "Regelkreis"; }
    void setMainStatus(int field, const char* text) override
    {
        calls.push_back("main " + std::to_string(field) + " " + text);
    }
    void setPlotStatus(int field, const char* text) override
    {
        plotStatus.push_back(std::to_string(field) + " " + text);
    }
    void startStatusTimer(int milliseconds) override
    {
        calls.push_back("startStatusTimer " + std::to_string(milliseconds));
    }
    void stopStatusTimer() override { calls.push_back("stopStatusTimer"); }
    void registerIdleTask() override { calls.push_back("registerIdleTask"); }
    void unlockEditing() override { calls.push_back("unlockEditing"); }

    bool confirmed = true;
    SimParams stored = {};
    PlotParams plotParams = {1, 0, 2.5, 0.5, -1, 3};
    std::vector<std::string> calls;
    std::vector<std::string> plotStatus;
};

#endif
