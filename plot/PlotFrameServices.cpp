#include "PlotFrameServices.h"

#include "PlotFrame.h"

void PlotFrameServices::setSignals(int n)
{
    if (PlotFrame* f = frame())
        f->pane()->setSignals(n);
}

void PlotFrameServices::setSignal(int index, const char* name, uint32_t colour)
{
    if (PlotFrame* f = frame())
        f->pane()->setSignal(index, name, colour);
}

void PlotFrameServices::setTitle(const char* text)
{
    if (PlotFrame* f = frame())
        f->pane()->setTitle(text);
}

void PlotFrameServices::setPagingMode(int mode)
{
    if (PlotFrame* f = frame())
        f->pane()->model.pagingMode = mode == kPlotPagingTime ? kPlotPagingTime : kPlotPagingNone;
}

void PlotFrameServices::setRunState(int state)
{
    if (PlotFrame* f = frame())
        f->setRunState(state);
}

void PlotFrameServices::stampDateTime()
{
    if (PlotFrame* f = frame())
        f->pane()->stampDateTime();
}

void PlotFrameServices::setStatusText(const char* text)
{
    if (PlotFrame* f = frame())
        f->pane()->setStatusText(text);
}

void PlotFrameServices::clearPoints()
{
    if (PlotFrame* f = frame())
        f->pane()->clearPoints();
}

void PlotFrameServices::addPoint(double x, const double* values, int count)
{
    if (PlotFrame* f = frame())
        f->pane()->addPoint(x, values, count);
}

void PlotFrameServices::rescale()
{
    if (PlotFrame* f = frame())
        f->pane()->rescale();
}

int PlotFrameServices::newSettingsFlag()
{
    PlotFrame* f = frame();
    return f ? f->newSettings : 0;
}

void PlotFrameServices::clearNewSettingsFlag()
{
    if (PlotFrame* f = frame())
        f->newSettings = 0;
}

void PlotFrameServices::setPlotParams(const PlotParams& params)
{
    if (PlotFrame* f = frame())
        f->pane()->model.setPlotParams(params);
}
