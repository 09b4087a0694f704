#include "PlotBars.h"

#include "Frame.h"
#include "StatusBar.h"
#include "ToolBar.h"

#include <windows.h>

namespace {

const int kStartSpacer = 4;
const int kGroupGap = 16;
// Button style: latches on a click, like a check box.
const DWORD kTwoStateButton = 0x200;

// Field widths: as wide as the widest texts they show, in the bar's font
// (the run's "t=%12.6g" and "tsim=%.1f", the date stamp). Sixteen and
// fourteen "X" were wider than a run's time and narrower than the date,
// and left the step "h=" too little room in a window of 400 pixels.
const char* const kRunTimeWidth = "t=-8.88888e-88";
const char* const kElapsedWidth = "tsim=88888.8";
const char* const kDateWidth = "88.88.8888, 88:88:88";

} // namespace

const PlotToolButton kPlotToolButtons[] = {
    {&PlotFrameIds::print, 9001, false, 0},
    {&PlotFrameIds::asciiExport, 153, false, 0},
    {&PlotFrameIds::matlabExport, 126, false, 0},
    {nullptr, 0, false, kGroupGap},
    {&PlotFrameIds::rescale, 9033, false, 0},
    {&PlotFrameIds::options, 9009, false, 0},
    {&PlotFrameIds::solidGrid, 9010, true, 0},
    {nullptr, 0, false, kGroupGap},
    {&PlotFrameIds::freeze, 9030, true, 0},
    {nullptr, 0, false, kGroupGap},
    {&PlotFrameIds::editorToFront, 136, false, 0},
};
const int kPlotToolButtonCount = sizeof kPlotToolButtons / sizeof kPlotToolButtons[0];

PlotBars::PlotBars(FrameWindowCL* frame, const PlotFrameIds& ids) : tbar(nullptr), status(nullptr), second(nullptr)
{
    tbar = new ToolBarCL(frame, new EdgeLayout(PLACE_TOP, 0, kPlotToolBarHeight), 0x001);
    int n = 1;
    tbar->addSpacer(n++, Point(kStartSpacer, 0));
    for (const PlotToolButton& b : kPlotToolButtons) {
        if (!b.command) {
            tbar->addSpacer(n++, Point(b.gap, 0));
            continue;
        }
        BmpButtonCL* button = new BmpButtonCL(tbar, new BarItemLayout(n++, Point(kPlotButtonWidth, kPlotButtonHeight)),
                                              b.twoState ? kTwoStateButton : 0, "", ids.*b.command, nullptr);
        // A bitmap that does not load leaves a blank button that still works.
        button->loadBitmap(ResourceId(static_cast<unsigned>(b.bitmap)));
        // One picture per button, not a strip of state cells: pressed it
        // moves, disabled it is greyed from the picture.
        if (BmpButtonItemCL* item = button->buttonItem())
            item->imageCount = 1;
    }

    // "status" is the lowest bar: field 1 at the left, 3 at the right and
    // 2 between them; the second bar above it: field 2 at the right, 1 the
    // rest. The field ids are the field numbers.
    status = new StatusBarCL(frame, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    new StatusField(status, PLACE_LEFT, kRunTimeWidth, 1, 0);
    new StatusField(status, PLACE_RIGHT, kElapsedWidth, 3, 0);
    new StatusField(status, PLACE_REST, nullptr, 2, 0);
    second = new StatusBarCL(frame, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    new StatusField(second, PLACE_RIGHT, kDateWidth, 2, 0);
    new StatusField(second, PLACE_REST, nullptr, 1, 0);

    tbar->show(SW_SHOW);
    status->show(SW_SHOW);
    second->show(SW_SHOW);
}

void PlotBars::enableCommand(int command, bool enabled)
{
    tbar->enableButton(command, enabled ? 1 : 0);
}

void PlotBars::checkCommand(int command, bool checked)
{
    tbar->checkButton(command, checked ? 1 : 0);
}

void PlotBars::setStatusField(int bar, int field, const char* text)
{
    if (StatusBarCL* b = statusBar(bar))
        b->setFieldText(field, text ? text : "");
}
