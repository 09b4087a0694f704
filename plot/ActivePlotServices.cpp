#include "ActivePlotServices.h"

#include "PlotFrame.h"
#include "Workspace.h"

PlotFrame* ActivePlotServices::active()
{
    return dynamic_cast<PlotFrame*>(plotOszi);
}

void ActivePlotServices::setStatus(int field, const char* text)
{
    if (PlotFrame* f = active())
        f->setRunStatus(field, text);
}
