// Under wine: printer contexts from the profile, print jobs that print one
// page per idle pass with their abort dialog, and the text editor control's
// print, all onto a stand-in printer (wine has no printer here).
//
//   framework_print_test FOLDER   pages and the abort dialog are saved there
#include "Application.h"
#include "DeviceContext.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "Printing.h"
#include "Profile.h"
#include "TextEditCtrl.h"
#include "StandInPrinter.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using winecheck::check;

namespace {

StandInPrinter standIn;
TableProfile profile;
int jobDeletions = 0;
int dialogDeletions = 0;

class CountedJob : public PrintJob {
public:
    CountedJob(PrinterDC* printer, PrintAbortDialog* dialog) : PrintJob(printer, dialog) {}
    ~CountedJob() override { ++jobDeletions; }
};

class CountedDialog : public PrintAbortDialogCL {
public:
    explicit CountedDialog(WindowCL* parent) : PrintAbortDialogCL(parent) {}
    ~CountedDialog() override { ++dialogDeletions; }
};

std::string itemText(HWND dialog, int id)
{
    char text[100] = "";
    if (IsWindow(dialog))
        GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

int idleCount()
{
    return theApplication->idleTasks.getCount();
}

// Idle passes until the task list is empty (at most limit), with the
// messages in between; after each pass the dialog's item id is read.
std::vector<std::string> runPasses(HWND dialog, int id, int limit = 20)
{
    std::vector<std::string> shown;
    for (int i = 0; i < limit && idleCount() > 0; ++i) {
        theApplication->runIdleTasks();
        winecheck::pump();
        if (IsWindow(dialog))
            shown.push_back(itemText(dialog, id));
    }
    winecheck::pump();
    return shown;
}

// A job of pages pages whose pages say "Seite n".
CountedJob* makeJob(WindowCL* owner, int pages, HWND* dialogWindow)
{
    CountedDialog* dialog = new CountedDialog(owner);
    *dialogWindow = dialog->hwnd;
    CountedJob* job = new CountedJob(new PrinterDC(), dialog);
    int* printed = new int(0);
    job->setCallbacks([](DeviceContext&) {},
                      [printed](DeviceContext& dc) {
                          ++*printed;
                          std::string text = "Seite " + std::to_string(*printed);
                          dc.textOut(100, 100, text.c_str());
                      },
                      [printed, pages]() {
                          if (*printed < pages)
                              return 1;
                          delete printed;
                          return 0;
                      });
    job->setDocName("Testdokument");
    return job;
}

void printerContexts()
{
    PrinterDC printer;
    check(printer.hasPrinter(), "the profile's printer gets a context");
    check(printer.deviceName() == "Testdrucker" && printer.driverName() == "teststub" &&
              printer.portName() == "FILE:",
          "device, driver and port come from the profile");
    Rect page = printer.drawingArea();
    check(page.width() == kPageWidth && page.height() == kPageHeight, "the page is 827 x 1169");
    check(printer.kind() == DC_PRINTER && printer.deviceCaps(LOGPIXELSY) == 100, "a printer context at 100 dpi");

    PrinterDC named("Laser,PSCRIPT, LPT1:");
    check(named.deviceName() == "Laser" && named.driverName() == "PSCRIPT" && named.portName() == "LPT1:",
          "a named printer is split, the blank after the comma skipped");
    check(!named.hasPrinter() && named.drawingArea().width() == 0, "a printer that does not open has no HDC");

    PrinterDC commas(",,,,");
    check(!commas.hasPrinter(), "\",,,,\" gives no HDC");

    // Cancelling the set-up keeps the printer. Wine, which has no printer
    // here, shows its print dialog and then a box asking to install one;
    // every box is cancelled as it comes.
    {
        winecheck::BoxWatcher watcher("*", IDCANCEL, 20000, 5);
        check(printer.setup() == 0, "a cancelled set-up gives 0");
        for (const std::string& t : watcher.texts())
            printf("box during set-up: %s\n", t.c_str());
    }
    check(printer.hasPrinter() && printer.deviceName() == "Testdrucker", "and keeps the printer");
}

void threePages(WindowCL* owner)
{
    standIn.begin("pages");
    HWND dialog = nullptr;
    CountedJob* job = makeJob(owner, 3, &dialog);
    int jobs = jobDeletions, dialogs = dialogDeletions;
    job->print();
    check(idleCount() == 1, "a printing job has one idle task");
    std::vector<std::string> shown = {itemText(dialog, 102)};
    check(IsWindowVisible(dialog), "the abort dialog shows");
    check(GetDlgItem(dialog, IDCANCEL) && itemText(dialog, IDCANCEL) == "Abbrechen", "with its Cancel button");
    theApplication->runIdleTasks();
    winecheck::pump();
    shown.push_back(itemText(dialog, 102));
    UpdateWindow(dialog);
    if (!standIn.folder.empty())
        check(winecheck::saveWindowPicture(dialog, standIn.folder + "print-abort.png"), "the abort dialog is saved");
    for (const std::string& s : runPasses(dialog, 102))
        shown.push_back(s);
    check(shown.size() >= 3 && shown[0] == "Page #1" && shown[1] == "Page #2" && shown[2] == "Page #3",
          "the dialog shows Page #1, Page #2, Page #3");
    check(idleCount() == 0, "afterwards the idle list is empty");
    check(jobDeletions == jobs + 1 && dialogDeletions == dialogs + 1 && standIn.count("DeleteDC") == 1,
          "job, dialog and context are each deleted once");
    const std::vector<std::string> expected = {"SetAbortProc", "StartDoc:Testdokument", "StartPage", "EndPage",
                                               "StartPage", "EndPage", "StartPage", "EndPage", "EndDoc",
                                               "DeleteDC"};
    check(standIn.log == expected, "the document calls come in order");
    check(!IsWindow(dialog), "the dialog is gone");
    check(PrintJob::current() == nullptr, "no job is current");
}

void bands(WindowCL* owner)
{
    standIn.begin("bands");
    standIn.bandsPerPage = 2;
    HWND dialog = nullptr;
    CountedJob* job = makeJob(owner, 1, &dialog);
    job->setBanding(true);
    job->print();
    std::vector<std::string> shown = runPasses(dialog, 103);
    check(shown.size() >= 2 && shown[0] == "Band #1" && shown[1] == "Band #2", "two bands show Band #1, Band #2");
    check(standIn.count("EndDoc") == 1 && idleCount() == 0, "and the document ends");
}

void errorAtPageTwo(WindowCL* owner)
{
    standIn.begin("error");
    standIn.errorPage = 2;
    HWND dialog = nullptr;
    CountedJob* job = makeJob(owner, 3, &dialog);
    int jobs = jobDeletions, dialogs = dialogDeletions;
    job->print();
    runPasses(dialog, 102);
    check(standIn.count("AbortDoc") == 1 && standIn.count("EndDoc") == 0, "an error at page 2 aborts the document");
    check(standIn.count("StartPage") == 2, "page 3 is not started");
    check(jobDeletions == jobs + 1 && dialogDeletions == dialogs + 1 && standIn.count("DeleteDC") == 1,
          "job, dialog and context are deleted once");
    check(idleCount() == 0 && !IsWindow(dialog), "nothing is left");
}

void cancelAfterPageOne(WindowCL* owner)
{
    standIn.begin("cancel");
    HWND dialog = nullptr;
    CountedJob* job = makeJob(owner, 3, &dialog);
    int jobs = jobDeletions, dialogs = dialogDeletions;
    job->print();
    SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    runPasses(dialog, 102);
    check(standIn.count("StartPage") == 1 && standIn.count("AbortDoc") == 1 && standIn.count("EndDoc") == 0,
          "Cancel after page 1 prints no page 2");
    check(jobDeletions == jobs + 1 && dialogDeletions == dialogs + 1 && standIn.count("DeleteDC") == 1,
          "job, dialog and context are deleted once");
    check(idleCount() == 0 && !IsWindow(dialog), "nothing is left");
}

void editorControl(WindowCL* owner)
{
    standIn.begin("editor");
    TextEditCtrlCL* edit = new TextEditCtrlCL(owner, new Geometry(5, 5, 300, 200), 100000);
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += "Zeile " + std::to_string(i + 1) + "\tGr\xF6\xDF" "e\r\n";
    edit->setText(text.c_str());
    check(edit->print("Editor") == 1, "the editor control prints");
    runPasses(nullptr, 0);
    check(standIn.count("StartPage") == 3 && standIn.count("EndDoc") == 1, "its text prints on 3 pages");
    check(!standIn.log.empty() && standIn.log[1] == "StartDoc:Editor", "under the given name");
    if (standIn.inkBoxes.size() == 3) {
        RECT first = standIn.inkBoxes[0];
        RECT last = standIn.inkBoxes[2];
        check(first.top >= 0 && first.top < 20, "page 1 has ink in its first line band");
        check(last.bottom < kPageHeight / 2, "page 3 is white below its text");
    }

    // No printer in the profile: nothing is printed, no job, no dialog.
    standIn.begin("none");
    TableProfile empty;
    setProfileSource(&empty);
    check(edit->print() == 0, "without a printer the control prints nothing");
    check(standIn.log.empty() && idleCount() == 0 && !winecheck::findOwnBox("Drucken ..."), "no job and no dialog");
    setProfileSource(&profile);
    DestroyWindow(edit->hwnd);
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(120);
    disableErrorLog();
    std::string folder = winecheck::trimmedArgument(app->commandLine.text());
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    standIn.folder = folder;
    profile.set("windows", "Device", "Testdrucker,teststub,FILE:");
    setProfileSource(&profile);
    setPrinterDevice(&standIn);

    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(100, 100, 640, 480), WS_OVERLAPPEDWINDOW, "Drucktest");
    frame->show(SW_SHOW);
    winecheck::pump();
    printerContexts();
    threePages(frame);
    bands(frame);
    errorAtPageTwo(frame);
    cancelAfterPageOne(frame);
    editorControl(frame);
    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
    setPrinterDevice(nullptr);
    setProfileSource(nullptr);
    app->exitCode = winecheck::summary();
}
