#include "TextEditCtrl.h"

#include "Application.h"
#include "DeviceContext.h"
#include "Printing.h"
#include "ErrorReporter.h"
#include "FileLayer.h"

#include <cstdio>
#include <vector>

TextEditCtrlCL::TextEditCtrlCL(WindowCL* parent, Geometry* geometry, int32_t maximumSize)
    : EditCL(parent, geometry, kStyle, "", 0), maximum(maximumSize), printing(false), pageStart(0), nextStart(0)
{
    // The control takes as much as a file may hold.
    if (hwnd && maximum > 0)
        SendMessageA(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(maximum), 0);
}

TextEditCtrlCL::~TextEditCtrlCL() {}

int TextEditCtrlCL::loadFile(const char* fileName)
{
    if (!fileName || !*fileName)
        return 0;
    FILE* file = openFile(fileName, "rb");
    if (!file)
        return 0;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        size = ftell(file);
    if (size < 0 || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        return 0;
    }
    if (size > static_cast<long>(maximum)) {
        fclose(file);
        getErrorSink()->beep();
        return 0;
    }
    std::vector<char> buffer(static_cast<size_t>(size) + 1);
    size_t got = fread(buffer.data(), 1, static_cast<size_t>(size), file);
    bool failed = ferror(file) != 0;
    fclose(file);
    if (failed)
        return 0;
    buffer[got] = 0;
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
    setModified(0);
    return 1;
}

int TextEditCtrlCL::saveFile(const char* fileName)
{
    if (!fileName || !*fileName || !hwnd)
        return 0;
    int length = GetWindowTextLengthA(hwnd);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    length = GetWindowTextA(hwnd, text.data(), length + 1);
    bool ok = writeFileChecked(fileName, "wb", [&text, length](FILE* stream) {
        return length <= 0 || fwrite(text.data(), 1, static_cast<size_t>(length), stream) == static_cast<size_t>(length);
    });
    if (!ok)
        return 0;
    setModified(0);
    return 1;
}

void TextEditCtrlCL::preparePrint(DeviceContext& printer)
{
    printing = true;
    int length = hwnd ? GetWindowTextLengthA(hwnd) : 0;
    std::vector<char> text(static_cast<size_t>(length) + 1);
    if (hwnd)
        length = GetWindowTextA(hwnd, text.data(), length + 1);
    printCopy.assign(text.data(), static_cast<size_t>(length > 0 ? length : 0));
    pageStart = 0;
    nextStart = 0;
    widths.reset(new CharWidths);
    printer.attach();
    for (int c = 0; c < 256; ++c) {
        char one = static_cast<char>(c);
        widths->widths[c] = printer.textExtent(&one, 1).x();
    }
    TextMetrics metrics(printer);
    widths->height = metrics.metrics.tmHeight;
    widths->externalLeading = metrics.metrics.tmExternalLeading;
    printer.release();
}

void TextEditCtrlCL::printPage(DeviceContext& printer)
{
    if (!widths)
        return;
    Rect area = printer.drawingArea();
    LaidOutPage page = layOutPrintPage(printCopy, pageStart, area.width(), area.height(), *widths);
    printer.attach();
    for (const LaidOutPage::Line& line : page.lines)
        printer.textOut(0, line.y, line.text.c_str(), static_cast<int>(line.text.size()));
    printer.release();
    nextStart = page.next;
}

int TextEditCtrlCL::print(const char* documentName, PrinterDC* printer, PrintAbortDialog* dialog)
{
    if (!printer)
        printer = new PrinterDC();
    if (!printer->hasPrinter()) {
        delete printer;
        delete dialog;
        return 0;
    }
    if (!dialog) {
        WindowCL* owner = theApplication ? static_cast<WindowCL*>(theApplication->mainFrame) : nullptr;
        dialog = new PrintAbortDialogCL(owner);
    }
    PrintJob* job = new PrintJob(printer, dialog);
    job->setCallbacks([this](DeviceContext& dc) { preparePrint(dc); }, [this](DeviceContext& dc) { printPage(dc); },
                      [this]() { return nextPage(); });
    job->setDocName(documentName ? documentName : "Print Job");
    job->print();
    return 1;
}

int TextEditCtrlCL::nextPage()
{
    if (printing && anotherPrintPage(printCopy, pageStart, nextStart)) {
        pageStart = nextStart;
        return 1;
    }
    widths.reset();
    printCopy.clear();
    printCopy.shrink_to_fit();
    printing = false;
    pageStart = nextStart = 0;
    return 0;
}
