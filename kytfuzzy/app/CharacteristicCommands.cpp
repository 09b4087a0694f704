#include "CharacteristicCommands.h"

#include "Application.h"
#include "CharacteristicDialogs.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyKernel.h"
#include "FuzzyModel.h"
#include "FuzzyOptions.h"
#include "FuzzyPlots.h"
#include "ResString.h"
#include "SurfaceWindow.h"
#include "strings/KytfuzzyStrings.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kCursorNormal = 147;

std::vector<std::string> names(FuzzyIoNode* list)
{
    std::vector<std::string> out;
    for (; list; list = list->next)
        out.push_back(list->name ? list->name : "");
    return out;
}

int count(FuzzyIoNode* list)
{
    int n = 0;
    for (; list; list = list->next)
        ++n;
    return n;
}

} // namespace

CharacteristicCommands::CharacteristicCommands(FuzzyEditorFrame* editorFrame, FuzzyOptions* opts)
    : frame(editorFrame), options(opts)
{
}

bool CharacteristicCommands::command(unsigned int id)
{
    switch (id) {
    case CMD_SHOW_CHARACTERISTIC:
        showCharacteristic(false);
        return true;
    case CMD_RECALCULATE:
        showCharacteristic(true);
        return true;
    case CMD_EXPORT_MATLAB:
        exportCharacteristic(true);
        return true;
    case CMD_EXPORT_ASCII:
        exportCharacteristic(false);
        return true;
    default:
        return false;
    }
}

void CharacteristicCommands::showBox(const char* text, unsigned int caption, unsigned int icon)
{
    MessageBoxObject(frame, text, getResString(caption), icon);
}

bool CharacteristicCommands::prepare(bool recalculate, SurfaceGrid* grid, int* keepView)
{
    FuzzyKernel* kernel = frame->getSession().model();
    if (!kernel)
        return false;
    if (!checkConfiguration(kernel)) {
        showBox(kernel->message.text(), kStrFzSurfaceNotComputedBecause, MB_ICONHAND);
        return false;
    }
    if (!checkAmbiguity(kernel)) {
        showBox(kernel->message.text(), kStrFzSurfaceAmbiguous, MB_ICONINFORMATION);
        return false;
    }
    if (!checkCompleteness(kernel)) {
        showBox(kernel->message.text(), kStrFzSurfaceInconsistent, MB_ICONINFORMATION);
        return false;
    }
    FuzzyMethodsSet(kernel);
    SurfaceDlg* surface = new SurfaceDlg(frame, names(kernel->getInputs()), names(kernel->getOutputs()),
                                         recalculate ? 1 : 0);
    const bool confirmed = surface->result == 1;
    const SurfaceChoiceModel choice = surface->choice;
    delete surface;
    if (!confirmed)
        return false;
    *keepView = choice.choiceStillValid;
    const std::string yName = choice.hasYAxis() ? choice.y : std::string();
    if (count(kernel->getInputs()) > 2) {
        HillDlg* hill = new HillDlg(frame, kernel, choice.x, yName);
        const bool ok = hill->result == 1;
        delete hill;
        if (!ok)
            return false;
    }
    frame->setCursorHandle(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    const bool computed =
        computeCharacteristic(kernel, choice.x, choice.xDivisions(), yName, choice.yDivisions(), choice.z, grid);
    HCURSOR normal = LoadCursorA(programInstance(), MAKEINTRESOURCEA(kCursorNormal));
    frame->setCursorHandle(normal ? normal : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return computed;
}

void CharacteristicCommands::showCharacteristic(bool recalculate)
{
    SurfaceGrid grid;
    int keepView = 0;
    if (!prepare(recalculate, &grid, &keepView))
        return;
    if (grid.isCurve()) {
        drawCurve(grid);
        return;
    }
    openSurfaceWindow(frame, std::move(grid), keepView, options->color);
}

void CharacteristicCommands::exportCharacteristic(bool matlab)
{
    SurfaceGrid grid;
    int keepView = 0;
    if (!prepare(false, &grid, &keepView))
        return;
    std::string path;
    if (!chooseCharacteristicFile(frame, matlab, path))
        return;
    if (matlab)
        writeCharacteristicMatlab(path.c_str(), grid);
    else
        writeCharacteristicText(path.c_str(), grid);
}

void CharacteristicCommands::drawCurve(const SurfaceGrid& grid)
{
    if (!activePlotWindow() && options->newPlotWindow(nullptr) != 0)
        return;
    PlotFrame* frame = FuzzyPlots::frameOf(activePlotWindow());
    if (!frame)
        return;
    const auto started = std::chrono::steady_clock::now();
    options->beginPlotUpdate(0);
    PlotServices& plot = frame->services();
    plot.clearPoints();
    const FuzzyPlotParams& p = options->plotParams;
    plot.setPlotParams(PlotParams{p.autoX, p.autoY, p.xScale, p.yScale, p.xOffset, p.yOffset});
    plot.setSignals(1);
    plot.setSignal(0, grid.zName.c_str(), plotColour(255, 0, 0));
    plot.setTitle(grid.xName.c_str());
    const char* heading = getResString(kStrFzCharacteristicTitle);
    plot.setStatusText((std::string(heading ? heading : "") + grid.zName + " = f(" + grid.xName + ")").c_str());
    for (const SurfacePoint& point : grid.points) {
        plot.addPoint(point.x, &point.z, 1);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        showCursorValues(frame, point.x, point.z, true, seconds);
    }
    options->endPlotUpdate(0);
    plot.rescale();
}

void showCursorValues(PlotFrame* frame, double x, double y, bool yGiven, double seconds)
{
    char text[64];
    snprintf(text, sizeof text, "x=%12.6lg", x);
    frame->setRunStatus(1, text);
    if (yGiven) {
        snprintf(text, sizeof text, "y=%12.6lg", y);
        frame->setRunStatus(2, text);
    }
    snprintf(text, sizeof text, "tsim=%.1lf", seconds);
    frame->setRunStatus(3, text);
}
