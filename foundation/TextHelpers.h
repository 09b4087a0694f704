// Small text operations on file names and numbers that the main program and
// the companions share. None of them depends on the process locale.
#ifndef KYT_FOUNDATION_TEXTHELPERS_H
#define KYT_FOUNDATION_TEXTHELPERS_H

#include "String.h"

// name completed with a default extension (given without its point): a file
// name without a point gets "." and the extension, one ending in ".*" has the
// "*" replaced by it, any other is returned unchanged. Only the file name is
// looked at, so a point in a directory ("D:\a.b\x") does not count.
String setDefaultExtension(const char* name, const char* extension);

// A copy of text with every blank turned into "_".
String blanksToUnderscores(const char* text);

// text read as a number (C-locale rules; no number reads as 0) and written
// back in the system's number format: "1e-6" gives "1.e-6".
String doubleToString(const char* text);

#endif
