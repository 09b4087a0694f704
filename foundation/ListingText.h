// The text of the line-numbered listing viewer: an excerpt of a file around
// one line, each line behind "%4d:   ", with the offsets of the chosen line
// for the viewer's selection. Every problem with the file ends up inside the
// text. kyt and kytfuzzy differ only in the excerpt, the highlight offsets
// and their texts, which the style gives.
#ifndef KYT_FOUNDATION_LISTINGTEXT_H
#define KYT_FOUNDATION_LISTINGTEXT_H

#include <string>

struct ListingStyle {
    // The excerpt for a chosen line: linesBefore above it, linesAfter below.
    int linesBefore;
    int linesAfter;
    // kytfuzzy's highlight: start behind the number field (+9), end behind
    // the piece with its newline. Otherwise kyt's: start at the number
    // field, end at the piece's last character.
    bool highlightBehindNumber;
    // The text for a file that does not open, with a "%s" for its name.
    std::string cannotOpen;
    // Appended after "\r\n" on a read error and on a listing too long.
    std::string readError;
    std::string tooLong;
};

// kyt's listing: lines line-150 to line+100, its string-table texts.
ListingStyle mainListingStyle();

struct Listing {
    std::string text;
    int firstLine = 1;
    // Offsets of the chosen line in text; both -1 without one.
    int highlightStart = -1;
    int highlightEnd = -1;
    // 1: the excerpt was read; 0: the file did not open, a read error or a
    // listing too long.
    int result = 0;
};

// Stops once the listing is longer than this.
const size_t kListingLimit = 16000;

// The listing of the file at path around line (0: from line 1 to 32000,
// nothing highlighted).
Listing loadListing(const char* path, int line, const ListingStyle& style);

#endif
