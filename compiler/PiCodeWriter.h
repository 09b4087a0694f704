// The back end of the compiler: flattens, checks and orders the parsed
// circuit and writes it as PI text into the PI text buffer (and a listing
// file when one is named), which the loader reads right after the compile.
#ifndef KYT_COMPILER_PICODEWRITER_H
#define KYT_COMPILER_PICODEWRITER_H

#include <cstddef>

// The only generator there is.
const int kPiCodeGenerator = 0;

// The whole back end. generator must be kPiCodeGenerator (else message
// 20032). A listing file name receives a copy of the PI text; writeSymbols
// non-zero writes the full symbol listing into kytsym.tmp. 0 on success, 1
// when a check failed (its message has been shown); the PI text buffer then
// holds no text of this compile. The run command calls freeGeneratedCode
// afterwards in either case.
int PiCodeGenerate(int generator, const char* listingFileName, int writeSymbols);

// Appends PI text to the buffer and, while the listing file is open, to it.
void piEmit(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Ends the PI text: completes an unfinished last line, frees the buffer when
// failed is non-zero, closes the listing file (a failing close is fatal 20030).
void closePiOutput(int failed);

// The number text of the PI code and of the symbol listing (formatNumber):
// 0 -> "0.", 1e30 -> "1.e+030". A value that is not finite has no text the
// loader could read: false, and nothing is written.
bool writeNumber(double v, char* out);

// The build stamp of header line 1, in the form "Oct 21 1997 11:33:53".
// The program's own build time unless a stamp is set (tests fix it so that
// PI text compares byte for byte); null restores the build time.
void setPiBuildStamp(const char* stamp);
const char* piBuildStamp();

#endif
