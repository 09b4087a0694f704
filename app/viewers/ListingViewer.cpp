#include "ListingViewer.h"

#include "UnitPoint.h"

#include <string>

namespace {

// Dialog units of the bottom strip and its button.
const int kStripHeight = 14;
const int kButtonWidth = 40;
const int kButtonHeight = 12;
const float kMessageShare = 25.0f;
// The chosen line stands this many lines below the top.
const int kLinesAbove = 5;

// An edit control breaks lines only at "\r\n". A line end that is one
// already stays as it is.
std::string withCrLf(const char* text)
{
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n' && (out.empty() || out.back() != '\r'))
            out += '\r';
        out += *p;
    }
    return out;
}

} // namespace

ListingViewer::ListingViewer(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text,
                             const char* message, const char* fileName, int line,
                             const ListingStyle& listingStyle)
    : DialogFrameCL(parentWindow, g, windowStyle, text), firstLine(1), highlightStart(-1), highlightEnd(-1),
      messageControl(nullptr), listingControl(nullptr), okButton(nullptr), bottomStrip(nullptr)
{
    // 2.
    const std::string shownMessage = withCrLf(message);
    // 3.
    const Listing listing = loadListing(fileName ? fileName : "", line, listingStyle);
    listingText = listing.text.c_str();
    firstLine = listing.firstLine;
    highlightStart = listing.highlightStart;
    highlightEnd = listing.highlightEnd;
    // 4. The strip first: it docks at the bottom before the message takes
    // its quarter at the top and the listing the rest.
    Layout* own = geometry ? geometry->asLayout() : nullptr;
    const Point strip = DialogUnitPoint(0, kStripHeight);
    bottomStrip = new EdgeLayout(PLACE_BOTTOM, 0, strip.y(), own);
    messageControl = new MultiEditCL(this, new ProportionalLayout(PLACE_TOP, kMessageShare, 0.0f), kViewerTextStyle,
                                     shownMessage.c_str(), 0);
    listingControl = new MultiEditCL(this, new FillLayout, kViewerTextStyle, "", 0);
    if (listingControl->hwnd) {
        // The listing may be longer than an edit control takes by default.
        SendMessageA(listingControl->hwnd, EM_SETLIMITTEXT, 0, 0);
        listingControl->setText(listingText);
    }
    // 6.
    const Point button = DialogUnitPoint(kButtonWidth, kButtonHeight);
    okButton = new PushButtonCL(this, new EdgeLayout(PLACE_CENTRED, button, bottomStrip), 0, "OK", IDOK);
    okButton->onClick(this, &ListingViewer::onOk);
    // 7. The controls get their sizes before the listing is scrolled: an
    // edit control scrolls its caret into view when it is sized.
    messageControl->show(SW_SHOW);
    listingControl->show(SW_SHOW);
    okButton->show(SW_SHOW);
    if (geometry)
        geometry->layout(nullptr);
    // 5.
    if (line > 0 && highlightStart >= 0) {
        listingControl->setSelection(highlightStart + 1, highlightEnd);
        if (line > kLinesAbove && listingControl->hwnd) {
            // Down by line - first - 5 lines from the top, wherever the
            // selection has scrolled the control to.
            const int shown = static_cast<int>(SendMessageA(listingControl->hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
            listingControl->lineScroll(line - firstLine - kLinesAbove - shown);
        }
    }
    centerWindow(this, 1);
}

ListingViewer::~ListingViewer()
{
    delete bottomStrip;
    delete listingControl;
    delete messageControl;
    delete okButton;
}

LRESULT ListingViewer::onOk(EventRecord*)
{
    endDialog();
    return 1;
}

void ListingFileViewer::showFile(const char* message, const char* path, int line)
{
    // The window is 500 x 400 pixels; a dialog frame's geometry gives its
    // client area, which is smaller by the frame and the caption.
    const DWORD windowStyle = WS_OVERLAPPEDWINDOW;
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, windowStyle, FALSE, 0);
    const int width = kFileViewerWidth - (frame.right - frame.left);
    const int height = kFileViewerHeight - (frame.bottom - frame.top);
    ListingViewer* viewer = new ListingViewer(owner, new Layout(0, 0, width, height), windowStyle, path, message, path, line, style);
    viewer->show(SW_SHOW);
    viewer->runModal();
    delete viewer;
}
