// The parts of file dialogs and printing that need no window: the filter
// block and default extension of a file dialog, the printer entry ("name,driver,port")
// of the profile, the DEVNAMES block of the print set-up dialog and the
// layout of printed text lines and pages over a table of character widths.
#ifndef KYT_FRAMEWORK_PRINTSETUP_H
#define KYT_FRAMEWORK_PRINTSETUP_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- File dialogs ----

// The longest path a file dialog's 256-byte buffer holds.
const size_t kFileDialogPathMax = 255;

// A null-terminated list of string pairs (display text, pattern) flattened
// into one block: each string with its terminator, the block ending in a
// second terminator. Without a list: "All Files (*.*)", "*.*".
std::string flattenFileFilter(const char* const* list);

// The extension a pattern stands for: "*.kyt" gives "kyt"; "*", "*.*", a
// pattern under three characters and a list of patterns ("*.a;*.b") give
// none (empty).
std::string patternExtension(const char* pattern);

struct FileDialogStart {
    std::string path;      // the initial contents of the name field
    std::string extension; // the default extension, empty for none
};

// What a file dialog starts with for an initial name (null for none):
// open dialogs keep the name (a pattern too), save dialogs drop a pattern;
// the extension comes from a pattern, from the name's own extension or
// from the first filter pattern, and open falls back to "*" without a
// list. The name is cut to kFileDialogPathMax characters.
FileDialogStart fileDialogStart(const char* initialName, const char* const* filterList, bool save);

// ---- Printer entry ----

// "device,driver,port" split at the first two commas, blanks after each
// comma skipped; a text is cut to 79 characters first.
struct PrinterSpec {
    std::string device;
    std::string driver;
    std::string port;
};
const size_t kPrinterSpecMax = 79;
PrinterSpec splitPrinterSpec(const char* text);

// The profile's section [devices] read as records "name,value" (each cut
// to kPrinterSpecMax characters): keys is the double-terminated list of
// names that GetProfileString gives for a null key, of size bytes; value
// reads one entry.
std::vector<std::string> printerDeviceTexts(const char* keys, size_t size,
                                            const std::function<std::string(const char* name)>& value);

// ---- DEVNAMES ----

// The block of the print set-up dialog: four 16-bit words (the offsets of
// driver, device and port from the block's start, and the default flag 0),
// then the three names, each with its terminator.
std::vector<uint8_t> buildDevNames(const PrinterSpec& spec);
// Reads the names back; false for a block too short for its header or an
// offset outside it. A name without a terminator ends at the block's end.
bool readDevNames(const void* block, size_t size, PrinterSpec* spec);

// ---- Printed text ----

// The widths of the 256 byte values of the printer font and its line
// height components.
struct CharWidths {
    int height = 0;
    int externalLeading = 0;
    int widths[256] = {};
    int lineHeight() const { return height + externalLeading; }
    int width(char c) const { return widths[static_cast<unsigned char>(c)]; }
};

// The longest printed line: its buffer holds 256 bytes with the terminator.
const int kPrintLineMax = 255;

struct LaidOutLine {
    size_t stop = 0;  // where the copy stopped
    std::string text; // the columns written, tabs as blanks
};

// Copies characters from position until a CR or LF, the end of the text,
// the width or kPrintLineMax columns; a tab advances to the next multiple
// of 8 columns with blanks. A line not at a line end takes at least one
// character, so that every line makes progress.
LaidOutLine layOutPrintLine(const std::string& text, size_t position, int width, const CharWidths& widths);

struct LaidOutPage {
    struct Line {
        int y;
        std::string text;
    };
    std::vector<Line> lines; // the lines to draw, with their top
    size_t next = 0;         // where the next page starts
};

// Lays out one page of an area width × height starting at position: lines
// at y = 0, one line height apart, while y lies below height minus one line
// height; a line end (CR LF, LF CR, CR or LF) is skipped after each line.
LaidOutPage layOutPrintPage(const std::string& text, size_t position, int width, int height,
                            const CharWidths& widths);

// Whether a page that started at start and ended at next is followed by
// another: not at the end of the text, and the page made progress (a page
// that lays nothing out would come again for ever).
bool anotherPrintPage(const std::string& text, size_t start, size_t next);

#endif
