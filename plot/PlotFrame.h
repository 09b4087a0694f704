// The top-level window of one plot (a ZIZadir): the plot menu around a
// PlotPane, the commands of menu and tool bar, and the interfaces through
// which the workspace's slots and a simulation run reach it. The tool bar
// and the two status bars plug in through PlotFrameBars: PlotBars, or what
// a maker installed with setPlotFrameBarsMaker makes. The adapters that
// reach frames from outside stand beside it: ActivePlotServices (the run's
// feed to the active frame), WorkspacePlotHost and PlotFrameFactory (the
// workspace's side), PlotNetErrorSystem (the nets' error plot).
#ifndef KYT_PLOT_PLOTFRAME_H
#define KYT_PLOT_PLOTFRAME_H

#include "Frame.h"
#include "PlotFrameParts.h"
#include "PlotPane.h"
#include "PlotFrameServices.h"
#include "WorkspaceUi.h"

class PlotFrame;
class PrinterDC;
class DialogFrameCL;

// Makes the tool bar and status bars of a new frame, as children placed at
// its top and bottom; called before the pane is made. Null: the real tool
// bar and status bars (PlotBars).
typedef PlotFrameBars* (*PlotFrameBarsMaker)(PlotFrame* frame);
void setPlotFrameBarsMaker(PlotFrameBarsMaker maker);

// The print set-up before a print: true when confirmed (the printer may
// have been changed). By default the print set-up dialog; tests install an
// answer of their own, since it offers only the system's printers.
typedef bool (*PlotPrintSetup)(WindowCL* owner, PrinterDC& printer);
void setPlotPrintSetup(PlotPrintSetup setup);

// The questions of the exports: the file to write (the save dialog with
// its title, filters, pairs of text and pattern ending in null, and the
// extension a name typed without one gets), and whether an existing file
// is replaced (Yes/No box). Tests install answers of their own; null
// restores the dialogs.
typedef bool (*PlotFileChooser)(WindowCL* owner, const char* title, const char* const* filters,
                                const char* extension, String& path);
typedef bool (*PlotReplaceQuestion)(WindowCL* owner, const char* text, const char* caption);
void setPlotFileChooser(PlotFileChooser chooser);
void setPlotReplaceQuestion(PlotReplaceQuestion question);

// Called with each modal dialog of a frame after it is made and before it
// runs (tests post their script to it); null: none.
typedef void (*PlotDialogHook)(DialogFrameCL* dialog);
void setPlotDialogHook(PlotDialogHook hook);

// The colour chooser of the colour commands: true with the colour taken
// when it was confirmed. Tests install an answer of their own.
typedef bool (*PlotColourChooser)(WindowCL* owner, uint32_t& colour);
void setPlotColourChooser(PlotColourChooser chooser);
// The colour chooser as installed (the options dialog's "?" uses it too).
bool choosePlotColour(WindowCL* owner, uint32_t& colour);

class PlotFrame : public FrameWindowCL, public PlotWindow, private PlotFrameBars {
public:
    PlotFrame(WindowCL* owner, int x, int y, int width, int height, DWORD style, const char* title,
              PlotFrameHost* host, const PlotFrameIds& ids);
    ~PlotFrame() override;

    // ---- PlotWindow (the workspace's slots)
    void setTitle(const char* text) override;
    String getTitle() override;
    void checkCommand(int command, bool checked) override;
    void enableCommand(int command, bool enabled) override;
    void showAndRaise() override;
    bool currentPlotParams(PlotParams& params) override;
    void noteNewSettings() override { newSettings = 1; }

    // ---- what the run feeds (PlotServices) and the error plot use
    PlotServices& services() { return feed; }
    PlotPane* pane() const { return plotPane; }
    PlotFrameBars* frameBars() const { return bars; }
    // Status field 1-3 of "status" (the run timer's texts).
    void setRunStatus(int field, const char* text);
    // The text of a status field as shown (bar 1 or 2, field from 1).
    String statusField(int bar, int field) const;

    // Forwarders to the pane.
    void setSignal(int index, const char* name, uint32_t colour) { plotPane->setSignal(index, name, colour); }
    void setPlotTitle(const char* text) { plotPane->setTitle(text); }
    void setFont(const char* face, int size, uint32_t colour) { plotPane->setFont(face, size, colour); }
    uint32_t backColour() const { return plotPane->model.backColour; }
    uint32_t gridColour() const { return plotPane->model.gridColour; }
    uint32_t scaleColour() const { return plotPane->model.scaleColour; }
    void setBackColour(uint32_t c) { plotPane->setBackColour(c); }
    void setGridColour(uint32_t c) { plotPane->setGridColour(c); }
    void setScaleColour(uint32_t c) { plotPane->setScaleColour(c); }
    // Read by the circuit writer.
    int autoX() const { return plotPane->model.autoX; }
    int autoY() const { return plotPane->model.autoY; }
    double xScale() const { return plotPane->model.xscale; }
    double yScale() const { return plotPane->model.yscale; }
    double xOffset() const { return plotPane->model.xoff; }
    double yOffset() const { return plotPane->model.yoff; }

    // The run state: 0 hides the frame while a run's header changes the
    // plot, 1 shows it again.
    void setRunState(int state);

    LRESULT onCommand(EventRecord* event) override;
    LRESULT onClose(EventRecord* event) override;

    // Flag word: the frame wants the workspace's plot defaults at the next
    // run start. Set for a new frame.
    int newSettings;

private:
    // The frame as PlotServices; a member, since both interfaces name an
    // operation setTitle.
    class Feed : public PlotFrameServices {
    public:
        explicit Feed(PlotFrame* f) : owner(f) {}

    private:
        PlotFrame* frame() override { return owner; }
        PlotFrame* owner;
    };

    // PlotFrameBars: the frame's own record of the status texts, passed on
    // to the plugged-in bars.
    void setStatusField(int bar, int field, const char* text) override;

    void runCommand(int command);
    void chooseColour(int command);
    void copyToClipboard();
    void print();
    void exportPoints(int command);
    void chooseFont();
    void showOptions();
    void toggleGridLines();
    void freeze();

    PlotFrameHost* host;
    PlotFrameIds ids;
    PlotFrameBars* bars;
    // The frame's own tool bar and status bars (when no maker is set).
    PlotFrameBars* ownBars;
    PlotPane* plotPane;
    Feed feed;
    String statusTexts[2][kPlotStatusFields];
};

#endif
