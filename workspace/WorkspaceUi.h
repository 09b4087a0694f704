// What the workspace needs of windows, as small interfaces: the Winelib
// adapter implements them with the framework, the plot frame implements the
// plot window, and the tests record every call.
#ifndef KYT_WORKSPACE_WORKSPACEUI_H
#define KYT_WORKSPACE_WORKSPACEUI_H

#include "HelpViewer.h"
#include "String.h"

#include <functional>
#include <vector>

struct PlotParams;

class WindowCL;
class Workspace;

// The five commands of a plot frame that a run greys: ASCII export, MATLAB
// export, print, freeze and copy to the clipboard.
const int kPlotRunCommands[] = {151, 116, 2003, 150, 161};
const int kPlotRunCommandCount = 5;
const int kPlotFreezeCommand = 150;

// One plot frame (a ZIZadir window) as the slots see it.
class PlotWindow {
public:
    PlotWindow() : holder(nullptr) {}
    // A frame that goes, however it goes, leaves its slot and stops being
    // the active one.
    virtual ~PlotWindow();

    virtual void setTitle(const char* title) = 0;
    virtual String getTitle() = 0;
    // A command of the frame, in its menu and in its tool bar.
    virtual void checkCommand(int command, bool checked) = 0;
    virtual void enableCommand(int command, bool enabled) = 0;
    // Shows the window and brings it to the front.
    virtual void showAndRaise() = 0;
    // The frame's current plot settings (written with a circuit); false when
    // it has none of its own, and the workspace's defaults stand.
    virtual bool currentPlotParams(PlotParams& params) { (void)params; return false; }
    // A circuit was read: the pane takes new display settings at the next run.
    virtual void noteNewSettings() {}

    // The workspace whose slot holds the frame; set by the workspace.
    Workspace* holder;
};

class PlotWindowFactory {
public:
    virtual ~PlotWindowFactory() {}
    // A new overlapped plot frame owned by owner; null when it cannot be
    // made.
    virtual PlotWindow* createPlotWindow(WindowCL* owner, int x, int y, int width, int height,
                                         const char* title) = 0;
};

// The Yes/No question with the question icon, owned by owner: 6 for Yes.
typedef std::function<int(WindowCL* owner, const char* text, const char* caption)> QuestionCallback;
const int kAnswerYes = 6;

// One item of a rebuilt popup: a command with its text, or a separator
// (command 0).
struct MenuEntry {
    int command;
    String text;
};

// A set of commands that can be enabled and disabled: a menu or a tool bar.
class CommandStateSink {
public:
    virtual ~CommandStateSink() {}
    // Enabled, or disabled and greyed. A command that is not there is
    // passed over.
    virtual void enableCommand(int command, bool enabled) = 0;
};

// The main frame's menu and title.
class MenuSink : public CommandStateSink {
public:
    // Removes the popup at position of the menu bar, inserts a new one with
    // these items there and redraws the menu bar.
    virtual void replacePopup(int position, const char* title, const std::vector<MenuEntry>& items) = 0;
    virtual void setMainTitle(const char* title) = 0;
};

#endif
