// The nine plot-window slots and the active plot frame.
#include "Workspace.h"

#include "ErrorReporter.h"
#include "ResString.h"
#include "strings/WorkspaceStrings.h"

#include <cstdio>

namespace {


const int kSlotStep = 10;
const int kPlotSize = 400;

} // namespace

PlotWindow::~PlotWindow()
{
    if (holder)
        holder->forgetPlotWindow(this);
}

String Workspace::slotTitle(int slot, unsigned int stateText) const
{
    char title[256];
    snprintf(title, sizeof title, "%s %d %s", getResString(kStrPlotWindowTitle), slot, getResString(stateText));
    return String(title);
}

int Workspace::slotOf(const PlotWindow* frame) const
{
    if (!frame)
        return 0;
    for (int n = 1; n <= kPlotSlotCount; ++n)
        if (plotWindows[n - 1] == frame)
            return n;
    return 0;
}

int Workspace::openPlotWindow(WindowCL* owner)
{
    // A run with an active plot frame goes on in it.
    if (plotOszi)
        return 0;

    // 1.
    int n = 0;
    for (int i = 1; i <= kPlotSlotCount && !n; ++i)
        if (!plotWindows[i - 1])
            n = i;

    // 2.
    if (!n) {
        char text[512];
        snprintf(text, sizeof text, getResString(kStrAllPlotsUsed), kPlotSlotCount);
        int answer = askQuestion ? askQuestion(owner, text, getResString(kStrWarning)) : 0;
        if (answer != kAnswerYes)
            return 1;
        PlotWindow* old = plotWindows[0];
        plotWindows[0] = nullptr;
        if (plotOszi == old)
            plotOszi = nullptr;
        if (old) {
            old->holder = nullptr;
            delete old;
        }
        n = 1;
    }

    // 3. A mended fault: a frame that could not be made was stored as null
    // with result 0, and the run then stopped at its assertion on plotOszi.
    int at = kSlotStep * (n - 1);
    PlotWindow* frame = plotFactory ? plotFactory->createPlotWindow(owner, at, at, kPlotSize, kPlotSize,
                                                                    slotTitle(n, kStrPlotActive).text())
                                    : nullptr;
    if (!frame) {
        rebuildWindowMenu();
        return 1;
    }
    frame->holder = this;
    plotWindows[n - 1] = frame;
    plotOszi = frame;

    // 4.
    rebuildWindowMenu();
    return 0;
}

void Workspace::freezePlotWindow(PlotWindow* frame)
{
    int n = slotOf(frame);
    if (!n)
        return;
    frame->setTitle(slotTitle(n, kStrPlotFrozen).text());
    frame->checkCommand(kPlotFreezeCommand, true);
    frame->enableCommand(kPlotFreezeCommand, false);
    // The frozen frame keeps its data; the next run opens a new one.
    if (plotOszi == frame)
        plotOszi = nullptr;
    rebuildWindowMenu();
}

void Workspace::forgetPlotWindow(PlotWindow* frame)
{
    if (!frame)
        return;
    bool changed = false;
    if (plotOszi == frame) {
        plotOszi = nullptr;
        changed = true;
    }
    int n = slotOf(frame);
    if (n) {
        plotWindows[n - 1] = nullptr;
        changed = true;
    }
    if (frame->holder == this)
        frame->holder = nullptr;
    if (changed)
        rebuildWindowMenu();
}

int Workspace::bringPlotToFront(int command)
{
    PlotWindow* target = plotOszi;
    if (command != kCommandWindowToFront)
        for (int i = 0; i < kPlotSlotCount; ++i)
            if (plotWindowCommands[i] == command && plotWindows[i])
                target = plotWindows[i];
    if (!target) {
        reportError(ERR_ERROR, "%s", getResString(kStrNoActivePlot));
        return 0;
    }
    target->showAndRaise();
    return 1;
}
