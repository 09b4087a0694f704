// kytfuzzy's plot windows: the plot frame of kyt with kytfuzzy's titles, in
// the options' nine slots. The characteristic curve of a one-input block is
// drawn into the active one.
#ifndef KYT_KYTFUZZY_FUZZYPLOTS_H
#define KYT_KYTFUZZY_FUZZYPLOTS_H

#include "FuzzyOptions.h"
#include "PlotFrame.h"

#include <functional>

class FuzzyEditorFrame;

class FuzzyPlots : public FuzzyPlotHost, public PlotFrameHost {
public:
    FuzzyPlots(FuzzyEditorFrame* frame, FuzzyOptions* options);
    ~FuzzyPlots() override;

    // FuzzyPlotHost.
    FuzzyPlotWindow* createPlotWindow(void* parent, int x, int y, int width, int height,
                                      const std::string& title) override;
    bool askYesNo(void* parent, const std::string& text, const std::string& caption) override;
    bool surfaceToFront() override;
    void windowMenuChanged() override;

    // PlotFrameHost.
    bool busy() override { return false; }
    PlotWindow* activePlot() override;
    void freeze(PlotWindow* frame) override;
    void forget(PlotWindow* frame) override;
    void raiseMainFrame() override;
    void showHelp(const char* marker) override;

    // The frame of one of the options' windows; null for another.
    static PlotFrame* frameOf(FuzzyPlotWindow* window);
    void setHelp(const std::function<void(const char*)>& help) { helpFunction = help; }

private:
    class Window;
    Window* windowOf(PlotWindow* frame) const;

    FuzzyEditorFrame* editor;
    FuzzyOptions* options;
    std::function<void(const char*)> helpFunction;
};

#endif
