// The File and Window menus, the busy state and the main title.
#include "Workspace.h"

#include "ResString.h"
#include "strings/WorkspaceStrings.h"

#include <cstdio>

namespace {

const int kFileMenuPosition = 0;
const int kWindowMenuPosition = 5;


struct FileMenuItem {
    int command;  // 0: separator
    unsigned int text;
};

// Up to the recent files, and after them.
const FileMenuItem kFileMenuHead[] = {
    {9003, kStrMenuNewCircuit}, {111, kStrMenuOpenCircuit}, {0, 0}, {112, kStrMenuSaveCircuit}, {141, kStrMenuSaveCircuitAs}, {0, 0}, {1126, kStrMenuInsertCircuit}, {0, 0}, {9001, kStrMenuPrint},
};
const FileMenuItem kFileMenuTail[] = {{0, 0}, {4017, kStrMenuExit}};

const int kCommandStart = 9008;
const int kCommandStartAtOnce = 140;
const int kCommandStop = 9031;
// Only the main tool bar has it.
const int kToolBarOnlyCommand = 4010;

// What a run or a wizard locks: files, exit, the editing tools and the
// editing commands. The recent files are added from the workspace's list.
const int kEditingCommands[] = {9003, 111, 112, 141, 1126, 9001, 4017, 1267, 1268, 1269, 18021, 1270,
                                4010, 1118, 2000, 2001, 2002, 149, 1100, 160, 138};

MenuEntry separator()
{
    return MenuEntry{0, String()};
}

String numbered(int n, const char* text)
{
    char prefix[16];
    snprintf(prefix, sizeof prefix, "&%d ", n);
    return String(prefix) + text;
}

} // namespace

void Workspace::rebuildFileMenu()
{
    if (!mainMenu)
        return;
    std::vector<MenuEntry> items;
    for (const FileMenuItem& item : kFileMenuHead)
        items.push_back(item.command ? MenuEntry{item.command, String(getResString(item.text))} : separator());
    if (recentFiles[0].getLength()) {
        items.push_back(separator());
        for (int i = 0; i < kRecentFileCount && recentFiles[i].getLength(); ++i)
            items.push_back(MenuEntry{recentFileCommands[i], numbered(i + 1, recentFiles[i].text())});
    }
    for (const FileMenuItem& item : kFileMenuTail)
        items.push_back(item.command ? MenuEntry{item.command, String(getResString(item.text))} : separator());
    mainMenu->replacePopup(kFileMenuPosition, getResString(kStrMenuFile), items);
    // New items come enabled: a rebuild during a run keeps them locked.
    if (busy)
        applyCommandStates(mainMenu, false);
}

void Workspace::rebuildWindowMenu()
{
    if (!mainMenu)
        return;
    std::vector<MenuEntry> items;
    items.push_back(MenuEntry{kCommandWindowToFront, String(getResString(kStrMenuActivePlotToFront))});
    bool any = false;
    for (int n = 1; n <= kPlotSlotCount; ++n) {
        PlotWindow* frame = plotWindows[n - 1];
        if (!frame)
            continue;
        if (!any)
            items.push_back(separator());
        any = true;
        items.push_back(MenuEntry{plotWindowCommands[n - 1], numbered(n, frame->getTitle().text())});
    }
    mainMenu->replacePopup(kWindowMenuPosition, getResString(kStrMenuWindow), items);
}

bool Workspace::isCommandEnabled(int command) const
{
    if (command == kCommandStart || command == kCommandStartAtOnce)
        return !runActive;
    if (command == kCommandStop)
        return runActive;
    for (int c : kEditingCommands)
        if (c == command)
            return !busy;
    for (int c : recentFileCommands)
        if (c == command)
            return !busy;
    return true;
}

void Workspace::applyCommandStates(CommandStateSink* sink, bool toolBar) const
{
    if (!sink)
        return;
    for (int c : kEditingCommands)
        if (toolBar || c != kToolBarOnlyCommand)
            sink->enableCommand(c, isCommandEnabled(c));
    if (!toolBar)
        for (int c : recentFileCommands)
            sink->enableCommand(c, isCommandEnabled(c));
    const int runCommands[] = {kCommandStart, kCommandStartAtOnce, kCommandStop};
    for (int c : runCommands)
        sink->enableCommand(c, isCommandEnabled(c));
}

void Workspace::applyBusyState()
{
    applyCommandStates(mainMenu, false);
    applyCommandStates(mainToolBar, true);
    // The active frame's own menu and tool bar: a frame built later may
    // have replaced the menu that the first one made.
    if (plotOszi)
        for (int c : kPlotRunCommands)
            plotOszi->enableCommand(c, !busy);
}

void Workspace::setSimulationRunningUi(int wizard)
{
    // A mended fault: one wizard flag for both made a wizard that ended
    // during a run unlock Start, and a second Start then deleted the running
    // run object.
    if (wizard)
        wizardActive = 1;
    else
        runActive = true;
    busy = 1;
    applyBusyState();
    updateMainTitle();
}

void Workspace::setSimulationStoppedUi(int force)
{
    if (force)
        wizardActive = 0;
    else
        runActive = false;
    busy = (wizardActive || runActive) ? 1 : 0;
    applyBusyState();
    updateMainTitle();
}

String Workspace::mainTitle() const
{
    String title = String(getResString(kStrMainTitle)) + circuitName;
    if (wizardActive)
        title = String("(") + title + ")" + getResString(kStrInWizardSuffix);
    return title;
}

String Workspace::updateMainTitle(const char* name)
{
    if (name)
        circuitName = name;
    if (mainMenu)
        mainMenu->setMainTitle(mainTitle().text());
    return circuitName;
}
