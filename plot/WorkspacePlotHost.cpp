#include "WorkspacePlotHost.h"

#include "Application.h"
#include "PlotFrame.h"
#include "Workspace.h"

#include <windows.h>

bool WorkspacePlotHost::busy()
{
    return theWorkspace && theWorkspace->busy;
}

PlotWindow* WorkspacePlotHost::activePlot()
{
    return plotOszi;
}

void WorkspacePlotHost::freeze(PlotWindow* frame)
{
    if (theWorkspace)
        theWorkspace->freezePlotWindow(frame);
    if (plotOszi == frame)
        plotOszi = nullptr;
}

void WorkspacePlotHost::forget(PlotWindow* frame)
{
    if (theWorkspace)
        theWorkspace->forgetPlotWindow(frame);
    else if (plotOszi == frame)
        plotOszi = nullptr;
}

void WorkspacePlotHost::raiseMainFrame()
{
    if (!theApplication || !theApplication->mainFrame)
        return;
    HWND main = theApplication->mainFrame->hwnd;
    if (!main || !IsWindow(main))
        return;
    ShowWindow(main, SW_HIDE);
    ShowWindow(main, SW_SHOW);
}

void WorkspacePlotHost::showHelp(const char* marker)
{
    if (theWorkspace)
        theWorkspace->showHelpSection(marker);
}

PlotWindow* PlotFrameFactory::createPlotWindow(WindowCL* owner, int x, int y, int width, int height,
                                               const char* title)
{
    PlotFrame* frame = new PlotFrame(owner, x, y, width, height, WS_OVERLAPPEDWINDOW, title, host, kKytPlotFrameIds);
    if (!frame->isWindow()) {
        delete frame;
        return nullptr;
    }
    frame->show(SW_SHOWNORMAL);
    return frame;
}
