#include "Printing.h"

#include "Application.h"
#include "Bitmap.h"
#include "Buttons.h"
#include "Pane.h"
#include "Profile.h"
#include "ResString.h"
#include "strings/FrameworkStrings.h"
#include "TextControls.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Real printers: every call straight to GDI.
class GdiPrinterDevice : public PrinterDevice {
public:
    HDC createDC(const PrinterSpec& spec) override
    {
        return CreateDCA(spec.driver.c_str(), spec.device.c_str(), spec.port.c_str(), nullptr);
    }
    void deleteDC(HDC dc) override { DeleteDC(dc); }
    int deviceCaps(HDC dc, int index) override { return GetDeviceCaps(dc, index); }
    int setAbortProc(HDC dc, ABORTPROC procedure) override { return SetAbortProc(dc, procedure); }
    int startDoc(HDC dc, const char* name) override
    {
        DOCINFOA info;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.lpszDocName = name;
        return StartDocA(dc, &info);
    }
    int startPage(HDC dc) override { return StartPage(dc); }
    int endPage(HDC dc) override { return EndPage(dc); }
    int endDoc(HDC dc) override { return EndDoc(dc); }
    int abortDoc(HDC dc) override { return AbortDoc(dc); }
    int nextBand(HDC dc, RECT* band) override { return Escape(dc, NEXTBAND, 0, nullptr, band); }
};

GdiPrinterDevice gdiDevice;
PrinterDevice* installedDevice = nullptr;
PrintJob* currentJob = nullptr;

HWND mainFrameWindow()
{
    if (theApplication && theApplication->mainFrame && theApplication->mainFrame->isWindow())
        return theApplication->mainFrame->hwnd;
    return nullptr;
}

HGLOBAL globalCopy(const std::vector<uint8_t>& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block)
        return nullptr;
    if (void* p = GlobalLock(block)) {
        memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

} // namespace

PrinterDevice* setPrinterDevice(PrinterDevice* device)
{
    PrinterDevice* previous = installedDevice;
    installedDevice = device;
    return previous;
}

PrinterDevice* printerDevice()
{
    return installedDevice ? installedDevice : &gdiDevice;
}

// ---- No printer ----

namespace {
} // namespace

void showNoPrinter(WindowCL* owner)
{
    MessageBoxObject(owner, getResString(kStrNoPrinter), getResString(kStrCannotPrint), MB_OK | MB_ICONINFORMATION);
}

// ---- PrinterDC ----

PrinterDC::PrinterDC(const char* spec) : printerHdc(nullptr)
{
    contextKind = DC_PRINTER;
    horzRes = vertRes = logPixelsX = logPixelsY = horzSize = vertSize = 0;
    open(spec ? splitPrinterSpec(spec) : defaultPrinterSpec());
}

PrinterDC::~PrinterDC()
{
    while (nesting > 0)
        release();
    if (printerHdc)
        printerDevice()->deleteDC(printerHdc);
    printerHdc = nullptr;
}

void PrinterDC::open(const PrinterSpec& spec)
{
    if (!spec.driver.empty()) {
        printerHdc = printerDevice()->createDC(spec);
        driver = spec.driver.c_str();
        device = spec.device.c_str();
        port = spec.port.c_str();
    }
    readPrinterCaps();
    // Attached for the context's whole life.
    if (printerHdc)
        attach();
}

void PrinterDC::readPrinterCaps()
{
    PrinterDevice* d = printerDevice();
    HDC dc = printerHdc;
    horzRes = dc ? d->deviceCaps(dc, HORZRES) : 0;
    vertRes = dc ? d->deviceCaps(dc, VERTRES) : 0;
    logPixelsX = dc ? d->deviceCaps(dc, LOGPIXELSX) : 0;
    logPixelsY = dc ? d->deviceCaps(dc, LOGPIXELSY) : 0;
    horzSize = dc ? d->deviceCaps(dc, HORZSIZE) : 0;
    vertSize = dc ? d->deviceCaps(dc, VERTSIZE) : 0;
    page = Rect(0, 0, horzRes, vertRes);
}

int PrinterDC::drawBitmap(Bitmap& bitmap, int x, int y, DWORD rop)
{
    if (!hdc)
        return 0;
    Point size = bitmap.getSize();
    POINT extent = {size.x(), size.y()};
    DPtoLP(hdc, &extent, 1);
    DibBlock dib;
    if (!dibFromBitmap(bitmap, BI_RGB, 0, nullptr, dib))
        return 0;
    stretchDib(*this, x, y, extent.x, extent.y, &dib, 0, 0, size.x(), size.y(), rop);
    return 1;
}

int PrinterDC::setup()
{
    PRINTDLGA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mainFrameWindow();
    if (printerHdc) {
        PrinterSpec spec;
        spec.driver = driver.text();
        spec.device = device.text();
        spec.port = port.text();
        dialog.hDevNames = globalCopy(buildDevNames(spec));
    }
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION;
    BOOL ok = PrintDlgA(&dialog);
    int result = 0;
    if (ok) {
        PrinterSpec chosen;
        if (dialog.hDevNames) {
            if (const void* names = GlobalLock(dialog.hDevNames)) {
                readDevNames(names, GlobalSize(dialog.hDevNames), &chosen);
                GlobalUnlock(dialog.hDevNames);
            }
        }
        while (nesting > 0)
            release();
        if (printerHdc)
            printerDevice()->deleteDC(printerHdc);
        printerHdc = dialog.hDC;
        driver = chosen.driver.c_str();
        device = chosen.device.c_str();
        port = chosen.port.c_str();
        // The page stays as it was taken when the context was made.
        Rect kept = page;
        readPrinterCaps();
        page = kept;
        if (printerHdc)
            attach();
        result = 1;
    }
    if (dialog.hDevMode)
        GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames)
        GlobalFree(dialog.hDevNames);
    return result;
}

int PrinterDC::startDoc(const char* documentName)
{
    return printerHdc ? printerDevice()->startDoc(printerHdc, documentName) : -1;
}

int PrinterDC::startPage()
{
    return printerHdc ? printerDevice()->startPage(printerHdc) : -1;
}

int PrinterDC::endPage()
{
    return printerHdc ? printerDevice()->endPage(printerHdc) : -1;
}

int PrinterDC::endDoc()
{
    return printerHdc ? printerDevice()->endDoc(printerHdc) : -1;
}

int PrinterDC::abortDoc()
{
    return printerHdc ? printerDevice()->abortDoc(printerHdc) : -1;
}

// ---- Abort dialogs ----

PrintAbortDialog::PrintAbortDialog(WindowCL* parentWindow, const ResourceId& templateId)
    : DialogFrameCL(parentWindow, templateId), job(nullptr)
{
    state |= STATE_AUTODELETE;
}

PrintAbortDialogCL::PrintAbortDialogCL(WindowCL* parentWindow, const ResourceId& templateId)
    : PrintAbortDialog(parentWindow, templateId)
{
    cancel = new DefPushButtonCL(this, IDCANCEL);
    bandText = new StaticCL(this, 103);
    pageText = new StaticCL(this, 102);
}

void PrintAbortDialogCL::showBand(int number)
{
    bandText->setText(("Band #" + std::to_string(number)).c_str());
}

void PrintAbortDialogCL::showPage(int number)
{
    pageText->setText(("Page #" + std::to_string(number)).c_str());
}

LRESULT PrintAbortDialogCL::onCommand(EventRecord* event)
{
    if (LOWORD(event->wParam) != IDCANCEL)
        return DialogFrameCL::onCommand(event);
    if (job)
        job->abort();
    job = nullptr;
    endDialog();
    return 0;
}

// ---- PrintJob ----

PrintJob::PrintJob(PaneWindowCL* printable, PrinterDC* printerContext, PrintAbortDialog* abortDialog)
    : printer(printerContext), pane(printable), callbackMode(false), docName(""), dialog(abortDialog),
      banding(false), band(0), page(1), pendingError(0)
{
    currentJob = this;
    if (dialog)
        dialog->job = this;
}

PrintJob::PrintJob(PrinterDC* printerContext, PrintAbortDialog* abortDialog)
    : PrintJob(nullptr, printerContext, abortDialog)
{
    callbackMode = true;
}

PrintJob::~PrintJob()
{
    if (currentJob == this)
        currentJob = nullptr;
    if (dialog && dialog->job == this)
        dialog->job = nullptr;
    delete printer;
}

PrintJob* PrintJob::current()
{
    return currentJob;
}

void PrintJob::setCallbacks(const PageFunction& prepareFunction, const PageFunction& printFunction,
                            const MorePagesFunction& moreFunction)
{
    prepare = prepareFunction;
    printPageFunction = printFunction;
    morePages = moreFunction;
}

BOOL CALLBACK PrintJob::abortProcedure(HDC, int error)
{
    if (error == 0)
        return TRUE;
    // GDI is still inside a call on the printer's HDC: only note the error.
    if (currentJob)
        currentJob->pendingError = error;
    return FALSE;
}

void PrintJob::printOnePage()
{
    if (callbackMode) {
        if (printPageFunction)
            printPageFunction(*printer);
    } else if (pane) {
        pane->printTo(printer, 0);
    }
}

void PrintJob::print()
{
    if (!printer || !printer->hasPrinter()) {
        // Nothing to print on.
        end(true);
        delete this;
        return;
    }
    printerDevice()->setAbortProc(printer->hdc, abortProcedure);
    if (callbackMode) {
        if (prepare)
            prepare(*printer);
    } else if (pane) {
        pane->preparePrint(printer, 0);
    }
    printer->startDoc(docName.text());
    if (dialog) {
        dialog->showPage(page);
        if (!dialog->isWindow() || !IsWindowVisible(dialog->hwnd))
            dialog->show(SW_SHOW);
    }
    if (theApplication)
        theApplication->addIdleTask(this, &PrintJob::continueStep);
    printer->startPage();
    printOnePage();
    printer->endPage();
}

int PrintJob::continueStep()
{
    if (pendingError && printer) {
        // An error reached the abort procedure: the document is abandoned.
        printer->abortDoc();
        end(true);
    }
    if (!pane && !callbackMode) {
        delete this;
        return 1;
    }
    if (banding) {
        RECT area = {0, 0, 0, 0};
        printerDevice()->nextBand(printer->hdc, &area);
        if (area.left || area.top || area.right || area.bottom) {
            ++band;
            if (dialog)
                dialog->showBand(band);
            printOnePage();
            return 0;
        }
    }
    // Without banding each page was ended right after it was printed.
    int another = 0;
    if (callbackMode)
        another = morePages ? morePages() : 0;
    else
        another = pane->nextPage();
    if (another) {
        band = 0;
        ++page;
        if (dialog)
            dialog->showPage(page);
        printer->startPage();
        printOnePage();
        printer->endPage();
        return 0;
    }
    printer->endDoc();
    end(true);
    delete this;
    return 1;
}

void PrintJob::abort()
{
    if (printer)
        printer->abortDoc();
    end(false);
}

void PrintJob::end(bool deleteDialog)
{
    delete printer;
    printer = nullptr;
    if (dialog) {
        dialog->job = nullptr;
        if (deleteDialog)
            delete dialog;
    }
    dialog = nullptr;
    if (currentJob == this)
        currentJob = nullptr;
    pane = nullptr;
    callbackMode = false;
    prepare = nullptr;
    printPageFunction = nullptr;
    morePages = nullptr;
    band = 0;
    page = 0;
    pendingError = 0;
}
