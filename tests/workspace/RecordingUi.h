// Recorders of the workspace's windows: the main menu and title, a tool bar,
// plot frames and their factory, help viewers and their factory.
#ifndef KYT_TESTS_WORKSPACE_RECORDINGUI_H
#define KYT_TESTS_WORKSPACE_RECORDINGUI_H

#include "Workspace.h"

#include <map>
#include <string>
#include <vector>

class RecordingCommands : public CommandStateSink {
public:
    void enableCommand(int command, bool enabled) override { enabled_[command] = enabled; }
    // Never touched counts as enabled.
    bool enabled(int command) const
    {
        auto it = enabled_.find(command);
        return it == enabled_.end() || it->second;
    }
    bool touched(int command) const { return enabled_.count(command) != 0; }
    std::map<int, bool> enabled_;
};

struct RecordedPopup {
    std::string title;
    std::vector<MenuEntry> items;
};

class RecordingMenu : public MenuSink {
public:
    void enableCommand(int command, bool enabled) override { commands.enableCommand(command, enabled); }
    void replacePopup(int position, const char* t, const std::vector<MenuEntry>& items) override
    {
        popups[position] = RecordedPopup{t, items};
        ++rebuilds;
    }
    void setMainTitle(const char* t) override { title = t; }
    bool enabled(int command) const { return commands.enabled(command); }

    RecordingCommands commands;
    std::map<int, RecordedPopup> popups;
    std::string title;
    int rebuilds = 0;
};

// A plot frame that counts its own deletions.
class FakePlotWindow : public PlotWindow {
public:
    FakePlotWindow(int x, int y, const char* title, int* deletions) : x(x), y(y), title(title), deletions(deletions) {}
    ~FakePlotWindow() override { ++*deletions; }
    void setTitle(const char* t) override { title = t; }
    String getTitle() override { return String(title.c_str()); }
    void checkCommand(int command, bool on) override { checked[command] = on; }
    void enableCommand(int command, bool on) override { commands.enableCommand(command, on); }
    void showAndRaise() override { ++raised; }

    int x;
    int y;
    std::string title;
    std::map<int, bool> checked;
    RecordingCommands commands;
    int raised = 0;
    int* deletions;
};

class FakePlotFactory : public PlotWindowFactory {
public:
    PlotWindow* createPlotWindow(WindowCL*, int x, int y, int width, int height, const char* title) override
    {
        lastWidth = width;
        lastHeight = height;
        if (failing)
            return nullptr;
        FakePlotWindow* w = new FakePlotWindow(x, y, title, &deletions);
        made.push_back(w);
        return w;
    }
    bool failing = false;
    int deletions = 0;
    int lastWidth = 0;
    int lastHeight = 0;
    std::vector<FakePlotWindow*> made;
};

// A viewer that may close itself (its window destroyed), clearing the slot.
class FakeHelpViewer : public HelpViewer {
public:
    FakeHelpViewer(const std::string& text, HelpViewer** slot, int* deletions)
        : text(text), slot(slot), deletions(deletions)
    {
    }
    ~FakeHelpViewer() override
    {
        ++*deletions;
        if (*slot == this)
            *slot = nullptr;
    }
    void closeByUser() { delete this; }
    std::string text;
    HelpViewer** slot;
    int* deletions;
};

class FakeHelpFactory : public HelpViewerFactory {
public:
    HelpViewer* createHelpViewer(const char* t, const char* text, HelpViewer** slot) override
    {
        title = t;
        FakeHelpViewer* v = new FakeHelpViewer(text, slot, &deletions);
        made.push_back(v);
        return v;
    }
    std::string title;
    int deletions = 0;
    std::vector<FakeHelpViewer*> made;
};

#endif
