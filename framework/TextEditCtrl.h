// A multi-line edit control that holds a whole text file: loads it up to a
// maximum size, saves it (only ever as a complete copy) and lays its text
// out page by page for a printer context.
#ifndef KYT_FRAMEWORK_TEXTEDITCTRL_H
#define KYT_FRAMEWORK_TEXTEDITCTRL_H

#include "Control.h"
#include "PrintSetup.h"

#include <cstdint>
#include <memory>
#include <string>

class DeviceContext;
class PrinterDC;
class PrintAbortDialog;

class TextEditCtrlCL : public EditCL {
public:
    // WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_NOHIDESEL | ES_AUTOHSCROLL |
    // ES_AUTOVSCROLL | ES_MULTILINE.
    enum : DWORD { kStyle = 0x103001C4 };
    TextEditCtrlCL(WindowCL* parent, Geometry* geometry, int32_t maximumSize);
    ~TextEditCtrlCL() override;

    // The file byte for byte as the control's text; 0 when it does not open,
    // and 0 with a beep when it is larger than the maximum size. A refused
    // load keeps the old text. Clears the modified flag.
    int loadFile(const char* fileName);
    // The text into the file through a checked write and rename: 1 and the
    // modified flag cleared only when the whole file was written; otherwise
    // 0, with the old file and the flag as they were.
    int saveFile(const char* fileName);

    // Prints the text through a print job named documentName ("Print Job"
    // when null) on the printer (the profile's default printer when null),
    // showing the abort dialog (template 7001 over the main frame when
    // null). The job takes printer and dialog. 0 when there is no printer.
    int print(const char* documentName = nullptr, PrinterDC* printer = nullptr, PrintAbortDialog* dialog = nullptr);

    // Printing: copy of the text and the width table of the context.
    virtual void preparePrint(DeviceContext& printer);
    // One page, line by line, into the context's drawing area.
    virtual void printPage(DeviceContext& printer);
    // 1 when another page follows; a page that made no progress ends the
    // document. At the end the copy and the table are freed.
    virtual int nextPage();

    int32_t maximumSize() const { return maximum; }
    bool isPrinting() const { return printing; }

private:
    int32_t maximum;
    bool printing;
    std::string printCopy;
    size_t pageStart;
    size_t nextStart;
    std::unique_ptr<CharWidths> widths;
};

#endif
