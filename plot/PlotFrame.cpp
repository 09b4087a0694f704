#include "PlotFrame.h"

#include "Application.h"
#include "Bitmap.h"
#include "Clipboard.h"
#include "CommonDialogs.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "FontSelectDialog.h"
#include "Menu.h"
#include "PlotExport.h"
#include "PlotBars.h"
#include "PlotOptionsDialog.h"
#include "Printing.h"
#include "ResString.h"
#include "ResourceId.h"
#include "TextHelpers.h"
#include "WinMap.h"
#include "Workspace.h"
#include "strings/MessagesStrings.h"
#include "strings/PlotStrings.h"
#include "strings/WorkspaceStrings.h"

#include <windows.h>

#include <cstdio>
#include <ctime>
#include <string>

namespace {

PlotFrameBarsMaker barsMaker = nullptr;


bool chooseWithDialog(WindowCL* owner, uint32_t& colour)
{
    ColorChooser chooser(owner, Color(colour));
    if (!chooser.ok)
        return false;
    colour = chooser.color.packed() & 0xffffff;
    return true;
}

PlotColourChooser colourChooser = chooseWithDialog;


bool setupWithDialog(WindowCL*, PrinterDC& printer)
{
    return printer.setup() == 1;
}

PlotPrintSetup printSetup = setupWithDialog;


// The extensions of the exports: MATLAB and Octave load a command file
// only by the name "*.m"; the columns are text.
const char kMatlabExtension[] = "m";
const char kAsciiExtension[] = "txt";

bool chooseWithSaveDialog(WindowCL* owner, const char* title, const char* const* filters, const char* extension,
                          String& path)
{
    // A save dialog started with a pattern shows an empty name and gives a
    // name typed without an extension the pattern's one.
    const std::string pattern = std::string("*.") + extension;
    FileSaveDialog dialog(owner, title, pattern.c_str(), filters);
    if (!dialog.ok)
        return false;
    path = dialog.path;
    return true;
}

bool askWithBox(WindowCL* owner, const char* text, const char* caption)
{
    HWND window = owner && owner->isWindow() ? owner->hwnd : nullptr;
    return MessageBoxA(window, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

PlotDialogHook dialogHook = nullptr;

PlotFileChooser fileChooser = chooseWithSaveDialog;
PlotReplaceQuestion replaceQuestion = askWithBox;

// A string-table format with one file name in it.
std::string withName(unsigned int id, const char* name)
{
    const char* format = getResString(id);
    int n = std::snprintf(nullptr, 0, format, name);
    if (n < 0)
        return format;
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(&text[0], text.size(), format, name);
    text.resize(static_cast<size_t>(n));
    return text;
}

// Solid grid lines: the menu item and the button are checked.
const int kGridSolid = 1;
const int kGridDotted = 2;

} // namespace

void setPlotFrameBarsMaker(PlotFrameBarsMaker maker)
{
    barsMaker = maker;
}

void setPlotPrintSetup(PlotPrintSetup setup)
{
    printSetup = setup ? setup : setupWithDialog;
}

void setPlotDialogHook(PlotDialogHook hook)
{
    dialogHook = hook;
}

void setPlotFileChooser(PlotFileChooser chooser)
{
    fileChooser = chooser ? chooser : chooseWithSaveDialog;
}

void setPlotReplaceQuestion(PlotReplaceQuestion question)
{
    replaceQuestion = question ? question : askWithBox;
}

void setPlotColourChooser(PlotColourChooser chooser)
{
    colourChooser = chooser ? chooser : chooseWithDialog;
}

bool choosePlotColour(WindowCL* owner, uint32_t& colour)
{
    return colourChooser(owner, colour);
}

// ---------------------------------------------------------------- PlotFrame

PlotFrame::PlotFrame(WindowCL* owner, int x, int y, int width, int height, DWORD frameStyle, const char* text,
                     PlotFrameHost* frameHost, const PlotFrameIds& frameIds)
    : FrameWindowCL(owner, new Layout(x, y, width, height), frameStyle, text), newSettings(1), host(frameHost),
      ids(frameIds), bars(nullptr), ownBars(nullptr), plotPane(nullptr), feed(this)
{
    className = "PlotFrameCL";
    create();
    if (isWindow() && text)
        SetWindowTextA(hwnd, text);
    new Menu(this, ResourceId(ids.menu));
    // The tool bar and status bars take their strips before the pane fills
    // the rest.
    if (barsMaker) {
        bars = barsMaker(this);
    } else {
        ownBars = new PlotBars(this, ids);
        bars = ownBars;
    }
    plotPane = new PlotPane(this, new RestLayout);
    plotPane->setStatusBars(this);
    plotPane->show(SW_SHOW);
    loadAccelerators(ResourceId(ids.accelerators));
    state |= STATE_AUTODELETE;
    // The date stamp of the new plot.
    plotPane->stampDateTime();
}

PlotFrame::~PlotFrame()
{
    // The options dialog is owned by this frame and edits its pane.
    if (plotPane) {
        delete plotPane->optionsDialog;
        plotPane->optionsDialog = nullptr;
    }
    // The pane and the bars are children: the window layer deletes them.
    plotPane = nullptr;
    bars = nullptr;
    delete ownBars;
}

void PlotFrame::setTitle(const char* text)
{
    WindowCL::setTitle(text);
}

String PlotFrame::getTitle()
{
    if (isWindow()) {
        char text[512] = "";
        GetWindowTextA(hwnd, text, sizeof text);
        return String(text);
    }
    return title;
}

void PlotFrame::checkCommand(int command, bool checked)
{
    if (menu)
        menu->checkItem(static_cast<UINT>(command), checked ? 1 : 0);
    if (bars)
        bars->checkCommand(command, checked);
}

void PlotFrame::enableCommand(int command, bool enabled)
{
    // A disabled item is greyed as well, so that it looks disabled.
    if (menu)
        menu->grayItem(static_cast<UINT>(command), enabled ? 0 : 1);
    if (bars)
        bars->enableCommand(command, enabled);
}

void PlotFrame::showAndRaise()
{
    if (!isWindow())
        return;
    ShowWindow(hwnd, SW_HIDE);
    ShowWindow(hwnd, SW_SHOW);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool PlotFrame::currentPlotParams(PlotParams& params)
{
    params = PlotParams{autoX(), autoY(), xScale(), yScale(), xOffset(), yOffset()};
    return true;
}

void PlotFrame::setStatusField(int bar, int field, const char* text)
{
    int fields = bar == kPlotStatusBar ? kPlotStatusFields : kPlotSecondFields;
    if ((bar != kPlotStatusBar && bar != kPlotSecondBar) || field < 1 || field > fields)
        return;
    statusTexts[bar - 1][field - 1] = text ? text : "";
    if (bars)
        bars->setStatusField(bar, field, text);
}

void PlotFrame::setRunStatus(int field, const char* text)
{
    setStatusField(kPlotStatusBar, field, text);
}

String PlotFrame::statusField(int bar, int field) const
{
    int fields = bar == kPlotStatusBar ? kPlotStatusFields : kPlotSecondFields;
    if ((bar != kPlotStatusBar && bar != kPlotSecondBar) || field < 1 || field > fields)
        return String();
    return statusTexts[bar - 1][field - 1];
}

void PlotFrame::setRunState(int runState)
{
    // The lines that came while it was shown are drawn before it hides.
    if (!runState)
        plotPane->drawNewPoints();
    if (isWindow())
        ShowWindow(hwnd, runState ? SW_SHOW : SW_HIDE);
}

LRESULT PlotFrame::onClose(EventRecord*)
{
    // The frame that a running simulation feeds stays.
    if (host && host->busy() && host->activePlot() == static_cast<PlotWindow*>(this))
        return 1;
    if (host)
        host->forget(this);
    return 0;
}

LRESULT PlotFrame::onCommand(EventRecord* event)
{
    // Menu items, accelerators and the tool bar's buttons (a click: code 0);
    // other controls' notifications are not commands of the frame.
    if (event->lParam && HIWORD(event->wParam) != 0)
        return 0;
    runCommand(LOWORD(event->wParam));
    return 1;
}

void PlotFrame::runCommand(int command)
{
    PlotModel& m = plotPane->model;
    if (command == ids.rescale) {
        int savedX = m.autoX, savedY = m.autoY;
        m.autoX = m.autoY = 1;
        plotPane->rescale();
        m.autoX = savedX;
        m.autoY = savedY;
    } else if (command == ids.asciiExport || command == ids.matlabExport) {
        exportPoints(command);
    } else if (command == ids.options) {
        showOptions();
    } else if (command == ids.font) {
        chooseFont();
    } else if (command == ids.print) {
        print();
    } else if (command == ids.copy) {
        copyToClipboard();
    } else if (command == ids.freeze) {
        freeze();
    } else if (command == ids.solidGrid) {
        toggleGridLines();
    } else if (command == ids.background || command == ids.gridColour || command == ids.scaleColour) {
        chooseColour(command);
    } else if (command == ids.editorToFront) {
        if (host)
            host->raiseMainFrame();
    }
}

void PlotFrame::copyToClipboard()
{
    Bitmap* picture = plotPane->makePicture();
    if (!picture)
        return;
    Clipboard clipboard(this);
    clipboard.empty();
    // The clipboard call owns the bitmap on every path.
    clipboard.putBitmap(picture);
}

void PlotFrame::exportPoints(int command)
{
    const bool matlab = command == ids.matlabExport;
    String title = getResString(matlab ? kStrSaveAsMatlab : kStrSaveAsAscii);
    String filterText = getResString(kStrMatlabFilter);
    const char* const matlabFilters[] = {filterText.text(), "*.m", nullptr};
    const char* const allFilters[] = {"*.*", "*.*", nullptr};
    const char* extension = matlab ? kMatlabExtension : kAsciiExtension;
    String chosen;
    if (!fileChooser(this, title.text(), matlab ? matlabFilters : allFilters, extension, chosen) || !chosen.text() ||
        !chosen.text()[0])
        return;
    // Whatever chose the name: "loop" is saved as loop.m.
    const String path = setDefaultExtension(chosen.text(), extension);
    if (FILE* existing = openFile(path.text(), "r")) {
        std::fclose(existing);
        String caption = getResString(kStrWarning);
        if (!replaceQuestion(this, withName(kStrReplaceFile, path.text()).c_str(), caption.text()))
            return;
    }
    // Written to a new copy that replaces the file only when every write,
    // the close and the rename were good: a failed export keeps the old
    // content. The writer is not called when the copy cannot be created.
    bool created = false;
    const PlotModel& m = plotPane->model;
    bool ok = writeFileChecked(path.text(), "w", [&](FILE* f) {
        created = true;
        return matlab ? exportMatlab(m, f) : exportAscii(m, f);
    });
    if (ok)
        return;
    reportError(2, "%s", withName(created ? kStrWriteFailed : kStrCannotOpen, path.text()).c_str());
}

void PlotFrame::showOptions()
{
    // One dialog per pane: a second call brings it to the front.
    if (PlotOptionsDialog* open = plotPane->optionsDialog) {
        if (open->isWindow()) {
            ShowWindow(open->hwnd, SW_HIDE);
            ShowWindow(open->hwnd, SW_SHOW);
            SetWindowPos(open->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
        return;
    }
    if (plotPane->model.pointCount() == 0)
        return;
    PlotOptionsDialog* dialog = new PlotOptionsDialog(this, plotPane, host);
    if (!dialog->isWindow()) {
        delete dialog;
        return;
    }
    plotPane->optionsDialog = dialog;
    // Closed, it deletes itself; the pane deletes it when it goes first.
    dialog->state |= STATE_AUTODELETE;
    dialog->show(SW_SHOW);
}

void PlotFrame::chooseFont()
{
    FontSelectDialog* dialog = new FontSelectDialog(this, plotPane, host);
    if (dialogHook)
        dialogHook(dialog);
    dialog->runModal();
    if (dialog->accepted)
        plotPane->setFont(dialog->chosenFace().text(), dialog->size, plotPane->model.scaleColour);
    delete dialog;
}

void PlotFrame::print()
{
    // One job at a time: the abort dialog of the running one is still up.
    if (PrintJob::current()) {
        plotBeep();
        return;
    }
    // Without a printer the user is told so: a beep alone was taken for a
    // print on its way.
    PrinterDC* printer = new PrinterDC();
    if (!printer->hasPrinter()) {
        delete printer;
        showNoPrinter(this);
        return;
    }
    if (!printSetup(this, *printer) || !printer->hasPrinter()) {
        delete printer;
        return;
    }
    PrintAbortDialogCL* dialog = new PrintAbortDialogCL(this, ResourceId(PrintAbortDialogCL::kProgramTemplate));
    // The job owns the printer and the dialog from here on and ends itself
    // in the idle passes; the pane abandons it if it goes first.
    PrintJob* job = new PrintJob(plotPane, printer, dialog);
    job->setDocName(getResString(kStrPlotPrintJob));
    plotPane->printJob = job;
    job->print();
}

void PlotFrame::freeze()
{
    // Only the frame that a run would feed can be frozen, and only by its
    // own command: a free frame (the nets' error plot) must not freeze the
    // simulation's plot.
    if (!host || host->activePlot() != static_cast<PlotWindow*>(this)) {
        // The two-state button latched on its click: it shows the state again.
        checkCommand(ids.freeze, false);
        return;
    }
    host->freeze(this);
}

void PlotFrame::toggleGridLines()
{
    PlotModel& m = plotPane->model;
    plotPane->setGridStyle(m.gridStyle == kGridSolid ? kGridDotted : kGridSolid);
    checkCommand(ids.solidGrid, m.gridStyle == kGridSolid);
}

void PlotFrame::chooseColour(int command)
{
    uint32_t colour = command == ids.background ? backColour()
                      : command == ids.gridColour ? gridColour()
                                                  : scaleColour();
    if (!colourChooser(this, colour))
        return;
    if (command == ids.background)
        setBackColour(colour);
    else if (command == ids.gridColour)
        setGridColour(colour);
    else
        setScaleColour(colour);
}
