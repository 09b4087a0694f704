#include "ListingText.h"

#include "FileLayer.h"
#include "ResString.h"
#include "strings/MessagesStrings.h"
#include "strings/ViewersStrings.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The standard line reader's buffer: 254 bytes, at most 253 characters a
// piece; a longer line comes as several pieces, each counted as a line.
const int kPieceBuffer = 254;

std::string formatted(const std::string& format, const char* name)
{
    std::vector<char> buffer(format.size() + strlen(name) + 1);
    snprintf(buffer.data(), buffer.size(), format.c_str(), name);
    return buffer.data();
}

} // namespace

ListingStyle mainListingStyle()
{
    ListingStyle style;
    style.linesBefore = 150;
    style.linesAfter = 100;
    style.highlightBehindNumber = false;
    style.cannotOpen = getResString(kStrCannotOpen);
    style.readError = getResString(kStrFileReadErrorShown);
    style.tooLong = getResString(kStrFileTooLargeToShow);
    return style;
}

Listing loadListing(const char* path, int line, const ListingStyle& style)
{
    Listing listing;
    int first = 1;
    int last = 32000;
    if (line > 0) {
        first = line - style.linesBefore;
        last = line + style.linesAfter;
    }
    if (first < 1)
        first = 1;
    listing.firstLine = first;

    FILE* f = openFile(path, "rt");
    if (!f) {
        listing.text = formatted(style.cannotOpen, path);
        return listing;
    }
    std::string& text = listing.text;
    if (first > 1)
        text += "...\r\n";

    char piece[kPieceBuffer];
    int number = 0;
    bool stoppedEarly = false;
    while (fgets(piece, sizeof piece, f)) {
        ++number;
        if (number > last || text.size() > kListingLimit) {
            stoppedEarly = true;
            break;
        }
        if (number < first)
            continue;
        size_t length = strlen(piece);
        bool endsLine = length > 0 && piece[length - 1] == '\n';
        char numberField[32];
        snprintf(numberField, sizeof numberField, "%4d:   ", number);
        if (number == line) {
            if (style.highlightBehindNumber) {
                listing.highlightStart = static_cast<int>(text.size()) + 9;
                listing.highlightEnd = listing.highlightStart + static_cast<int>(length);
            } else {
                // A mended fault: the end was counted with an 8-character
                // number field, one short from line 10000 on, and one short
                // for a last line without its line feed. It is the end of the
                // piece's text behind the field as it really stands.
                listing.highlightStart = static_cast<int>(text.size());
                listing.highlightEnd = listing.highlightStart + static_cast<int>(strlen(numberField)) +
                                       static_cast<int>(endsLine ? length - 1 : length);
            }
        }
        text += numberField;
        if (endsLine) {
            text.append(piece, length - 1);
            text += "\r\n";
        } else {
            text.append(piece, length);
            text += "\r\n";
        }
    }
    if (ferror(f)) {
        text += "\r\n";
        text += style.readError;
    } else if (text.size() >= kListingLimit) {
        text += "\r\n";
        text += style.tooLong;
    } else {
        if (stoppedEarly)
            text += "...";
        listing.result = 1;
    }
    fclose(f);
    return listing;
}
