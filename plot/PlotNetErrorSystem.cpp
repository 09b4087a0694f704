#include "PlotNetErrorSystem.h"

#include "Application.h"
#include "PlotFrame.h"
#include "WinMap.h"

#include <windows.h>

namespace {

// One error plot: a free frame, reached through its window handle, since
// the user may close it while the library still holds this object.
class FrameNetErrorPlot : public NetErrorPlot {
public:
    FrameNetErrorPlot(PlotFrame* f) : frame(f), hwnd(f->hwnd) {}

    void setSignalCount(int count) override
    {
        if (PlotFrame* f = alive())
            f->pane()->setSignals(count);
    }
    void setPlotTitle(const char* text) override
    {
        if (PlotFrame* f = alive())
            f->setPlotTitle(text);
    }
    void setSignal(int index, const char* name, unsigned long colour) override
    {
        if (PlotFrame* f = alive())
            f->setSignal(index, name, static_cast<uint32_t>(colour));
    }
    void setDrawingMode(int mode) override
    {
        if (PlotFrame* f = alive())
            f->services().setPagingMode(mode);
    }
    void show(int how) override
    {
        if (PlotFrame* f = alive())
            ShowWindow(f->hwnd, how ? SW_SHOW : SW_HIDE);
    }
    void addPoint(double x, double value) override
    {
        if (PlotFrame* f = alive()) {
            f->pane()->addPoint(x, &value, 1);
            // One point per pass of the net's training: drawn as it comes.
            f->pane()->drawNewPoints();
        }
    }
    void rescale() override
    {
        if (PlotFrame* f = alive())
            f->pane()->rescale();
    }
    double xScale() override
    {
        PlotFrame* f = alive();
        return f ? f->xScale() : 1.0;
    }
    void release() override { delete this; }
    void destroy() override
    {
        if (alive())
            DestroyWindow(hwnd);
        delete this;
    }

private:
    PlotFrame* alive() const
    {
        if (!hwnd || !IsWindow(hwnd) || !theApplication || !theApplication->winMap)
            return nullptr;
        return theApplication->winMap->lookup(hwnd) == static_cast<WindowCL*>(frame) ? frame : nullptr;
    }

    PlotFrame* frame;
    HWND hwnd;
};

} // namespace

NetErrorPlot* PlotNetErrorSystem::createErrorPlot(const NetErrorPlotFrame& f)
{
    PlotFrame* frame = new PlotFrame(ownerWindow, f.x, f.y, f.width, f.height, static_cast<DWORD>(f.style), f.title,
                                     host, kKytPlotFrameIds);
    if (!frame->isWindow()) {
        delete frame;
        return nullptr;
    }
    return new FrameNetErrorPlot(frame);
}
