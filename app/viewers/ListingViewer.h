// The listing viewer: a message above a numbered, read-only excerpt of a text
// file with one line highlighted, and an OK button below. The compiler and
// the readers show their errors next to the failing line this way.
#ifndef KYT_APP_LISTINGVIEWER_H
#define KYT_APP_LISTINGVIEWER_H

#include "Control.h"
#include "Dialog.h"
#include "ListingText.h"
#include "ShowFile.h"
#include "String.h"

class ListingViewer : public DialogFrameCL {
public:
    // Builds the window; line 0 highlights nothing. The caller shows it and
    // runs it modally. The listing style gives the excerpt and the texts
    // (kyt's by default).
    ListingViewer(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, const char* message,
                  const char* fileName, int line, const ListingStyle& listingStyle = mainListingStyle());
    ~ListingViewer() override;

    String listingText;
    int firstLine;
    int highlightStart;
    int highlightEnd;
    MultiEditCL* messageControl;
    MultiEditCL* listingControl;
    PushButtonCL* okButton;
    Layout* bottomStrip;

private:
    LRESULT onOk(EventRecord* event);
};

// Read-only, both scroll bars, selection kept visible without the focus,
// automatic scrolling both ways (ES_MULTILINE comes with the control).
const DWORD kViewerTextStyle = 0x3009C0;

// The programs' file viewer: shows the listing viewer modally over the
// owner, 500 x 400 pixels, overlapped, titled with the path; the listing
// style is the program's (kyt's by default).
const int kFileViewerWidth = 500;
const int kFileViewerHeight = 400;
class ListingFileViewer : public FileViewer {
public:
    explicit ListingFileViewer(WindowCL* owner, const ListingStyle& style = mainListingStyle())
        : owner(owner), style(style)
    {
    }
    void showFile(const char* message, const char* path, int line) override;

    WindowCL* owner;
    ListingStyle style;
};

#endif
