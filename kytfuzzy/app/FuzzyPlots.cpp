#include "FuzzyPlots.h"

#include "Application.h"
#include "FuzzyEditorFrame.h"
#include "SurfaceWindow.h"
#include "strings/KytfuzzyStrings.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// kyt's commands and resources, kytfuzzy's titles.
PlotFrameIds fuzzyPlotFrameIds()
{
    PlotFrameIds ids = kKytPlotFrameIds;
    ids.titleName = kStrFzPlotWindowTitle;   // "KYTfuzzy:ZIZAdir"
    ids.titleActive = kStrFzPlotActive; // "- aktiv"
    ids.titleFrozen = kStrFzPlotFrozen; // "- eingefroren"
    return ids;
}

} // namespace

// One window of the options: the frame it stands for.
class FuzzyPlots::Window : public FuzzyPlotWindow {
public:
    explicit Window(PlotFrame* f) : frame(f) {}
    void setTitle(const std::string& title) override { frame->setTitle(title.c_str()); }
    std::string getTitle() const override
    {
        String t = frame->getTitle();
        return t.text() ? t.text() : "";
    }
    void bringToFront() override
    {
        if (frame->isWindow()) {
            ShowWindow(frame->hwnd, SW_HIDE);
            ShowWindow(frame->hwnd, SW_SHOWNORMAL);
        }
    }
    void showFrozen() override
    {
        const PlotFrameIds ids = fuzzyPlotFrameIds();
        frame->checkCommand(ids.freeze, true);
        frame->enableCommand(ids.freeze, false);
    }
    void enableCurveCommands(bool on) override
    {
        const PlotFrameIds ids = fuzzyPlotFrameIds();
        for (int command : {ids.asciiExport, ids.matlabExport, ids.print, ids.copy, ids.freeze})
            frame->enableCommand(command, on);
    }
    void destroy() override
    {
        PlotFrame* f = frame;
        frame = nullptr;
        windows().erase(std::remove(windows().begin(), windows().end(), this), windows().end());
        delete f;
        delete this;
    }

    static std::vector<Window*>& windows()
    {
        static std::vector<Window*> all;
        return all;
    }

    PlotFrame* frame;
};

FuzzyPlots::FuzzyPlots(FuzzyEditorFrame* frame, FuzzyOptions* opts) : editor(frame), options(opts)
{
    options->setPlotHost(this);
}

FuzzyPlots::~FuzzyPlots()
{
    options->closePlotWindows();
    options->setPlotHost(nullptr);
}

FuzzyPlotWindow* FuzzyPlots::createPlotWindow(void*, int x, int y, int width, int height, const std::string& title)
{
    // A top-level window of its own, beside the editor.
    PlotFrame* frame =
        new PlotFrame(nullptr, x, y, width, height, WS_OVERLAPPEDWINDOW, title.c_str(), this, fuzzyPlotFrameIds());
    if (!frame->isWindow()) {
        delete frame;
        return nullptr;
    }
    frame->show(SW_SHOWNORMAL);
    Window* w = new Window(frame);
    Window::windows().push_back(w);
    return w;
}

bool FuzzyPlots::askYesNo(void*, const std::string& text, const std::string& caption)
{
    return MessageBoxObject(editor, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION).answer == IDYES;
}

bool FuzzyPlots::surfaceToFront()
{
    return raiseSurfaceWindow() != 0;
}

void FuzzyPlots::windowMenuChanged()
{
    if (editor)
        editor->rebuildMenus();
}

FuzzyPlots::Window* FuzzyPlots::windowOf(PlotWindow* frame) const
{
    for (Window* w : Window::windows())
        if (static_cast<PlotWindow*>(w->frame) == frame)
            return w;
    return nullptr;
}

PlotFrame* FuzzyPlots::frameOf(FuzzyPlotWindow* window)
{
    for (Window* w : Window::windows())
        if (w == window)
            return w->frame;
    return nullptr;
}

PlotWindow* FuzzyPlots::activePlot()
{
    Window* w = static_cast<Window*>(activePlotWindow());
    return frameOf(w) ? w->frame : nullptr;
}

void FuzzyPlots::freeze(PlotWindow* frame)
{
    if (Window* w = windowOf(frame))
        options->freezePlotWindow(w);
}

void FuzzyPlots::forget(PlotWindow* frame)
{
    // The frame closes and deletes itself: only the record goes.
    Window* w = windowOf(frame);
    if (!w)
        return;
    Window::windows().erase(std::remove(Window::windows().begin(), Window::windows().end(), w),
                            Window::windows().end());
    options->removePlotWindow(w);
    delete w;
}

void FuzzyPlots::raiseMainFrame()
{
    if (editor && editor->isWindow()) {
        ShowWindow(editor->hwnd, SW_HIDE);
        ShowWindow(editor->hwnd, SW_SHOWNORMAL);
    }
}

void FuzzyPlots::showHelp(const char* marker)
{
    if (helpFunction)
        helpFunction(marker);
}
