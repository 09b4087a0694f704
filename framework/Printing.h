// Printing: the printer context, the print job that prints one page per
// idle pass, and the modeless abort dialog that shows page and band.
// Printer HDCs and the document calls go through a PrinterDevice, which is
// GDI for real printers and a stand-in of a test's own otherwise.
#ifndef KYT_FRAMEWORK_PRINTING_H
#define KYT_FRAMEWORK_PRINTING_H

#include "Dialog.h"
#include "DeviceContext.h"
#include "EventTarget.h"
#include "PrintSetup.h"
#include "ValueTypes.h"

#include <windows.h>

#include <functional>

class PaneWindowCL;
class PrintJob;
class StaticCL;
class DefPushButtonCL;

// Where printer contexts get their HDC, capabilities and document calls.
class PrinterDevice {
public:
    virtual ~PrinterDevice() {}
    // Null when the printer cannot be opened.
    virtual HDC createDC(const PrinterSpec& spec) = 0;
    virtual void deleteDC(HDC dc) = 0;
    virtual int deviceCaps(HDC dc, int index) = 0;
    virtual int setAbortProc(HDC dc, ABORTPROC procedure) = 0;
    virtual int startDoc(HDC dc, const char* documentName) = 0;
    virtual int startPage(HDC dc) = 0;
    virtual int endPage(HDC dc) = 0;
    virtual int endDoc(HDC dc) = 0;
    virtual int abortDoc(HDC dc) = 0;
    // The next band of the page; an empty rectangle ends the page.
    virtual int nextBand(HDC dc, RECT* band) = 0;
};

// The device in use; null restores GDI. Returns the previous one.
PrinterDevice* setPrinterDevice(PrinterDevice* device);
PrinterDevice* printerDevice();

// Tells the user in a box over owner that no printer is installed (a print
// that ended silently left the user waiting for paper).
void showNoPrinter(WindowCL* owner);

class PrinterDC : public DeviceContext {
public:
    // The printer named by spec ("device,driver,port"), else the default
    // printer of the profile. An empty driver name gives no HDC.
    explicit PrinterDC(const char* spec = nullptr);
    ~PrinterDC() override;

    HDC acquireHandle() override { return printerHdc; }
    Rect updateRect() override { return page; }
    Rect drawingArea() override { return page; }
    // Through a device-independent copy, as printers want it.
    int drawBitmap(Bitmap& bitmap, int x, int y, DWORD rop = SRCCOPY) override;

    // The print set-up dialog; 1 when another printer was chosen, 0 when
    // cancelled (the printer stays).
    int setup();

    bool hasPrinter() const { return printerHdc != nullptr; }
    const String& driverName() const { return driver; }
    const String& deviceName() const { return device; }
    const String& portName() const { return port; }
    const Rect& pageRect() const { return page; }

    // The document calls, on the printer's HDC.
    int startDoc(const char* documentName);
    int startPage();
    int endPage();
    int endDoc();
    int abortDoc();

private:
    void open(const PrinterSpec& spec);
    void readPrinterCaps();

    HDC printerHdc;
    String driver;
    String device;
    String port;
    Rect page;
};

// The base of abort dialogs: a modeless dialog that shows how far a job is.
class PrintAbortDialog : public DialogFrameCL {
public:
    PrintAbortDialog(WindowCL* parent, const ResourceId& templateId);
    virtual void showBand(int) {}
    virtual void showPage(int) {}
    PrintJob* job;
};

// The abort dialog of the templates 7001 and 21001 ("Drucken ..."): Cancel
// (2) ends the job, static 102 shows "Page #n", 103 "Band #n".
class PrintAbortDialogCL : public PrintAbortDialog {
public:
    enum { kDefaultTemplate = 7001, kProgramTemplate = 21001 };
    PrintAbortDialogCL(WindowCL* parent, const ResourceId& templateId = ResourceId(kDefaultTemplate));
    void showBand(int band) override;
    void showPage(int page) override;
    LRESULT onCommand(EventRecord* event) override;

private:
    DefPushButtonCL* cancel;
    StaticCL* bandText;
    StaticCL* pageText;
};

class PrintJob : public EventTarget {
public:
    typedef std::function<void(DeviceContext&)> PageFunction;
    typedef std::function<int()> MorePagesFunction;

    // The pages of a printable pane. The job takes the context and the
    // dialog and deletes them when it ends.
    PrintJob(PaneWindowCL* pane, PrinterDC* printer, PrintAbortDialog* dialog);
    // The pages of three functions, set before print.
    PrintJob(PrinterDC* printer, PrintAbortDialog* dialog);
    ~PrintJob() override;

    void setCallbacks(const PageFunction& prepare, const PageFunction& printPage, const MorePagesFunction& morePages);
    void setDocName(const char* name) { docName = name ? name : ""; }
    void setBanding(bool on) { banding = on; }

    // Starts the document and prints page 1; the other pages follow one per
    // idle pass. The job deletes itself when the document is done.
    void print();
    // One idle step; 1 when the job is over (the task is removed).
    int continueStep();
    // Cancel: the document is abandoned; the dialog stays to its owner.
    void abort();

    int pageNumber() const { return page; }
    int bandNumber() const { return band; }
    static PrintJob* current();

private:
    static BOOL CALLBACK abortProcedure(HDC dc, int error);
    void end(bool deleteDialog);
    void printOnePage();

    PrinterDC* printer;
    PaneWindowCL* pane;
    bool callbackMode;
    PageFunction prepare;
    PageFunction printPageFunction;
    MorePagesFunction morePages;
    String docName;
    PrintAbortDialog* dialog;
    bool banding;
    int band;
    int page;
    // An error reported to the abort procedure: the next idle step ends
    // the job (not the procedure itself, while GDI is in a call).
    int pendingError;
};

#endif
