// The scanner of the model language: reads the global stream kytfil and
// hands tokens, with their values in the parser's value cell, to the parser.
#ifndef KYT_COMPILER_SCANNER_H
#define KYT_COMPILER_SCANNER_H

#include <cstddef>
#include <cstdio>

// The compiler's input: the run command opens it (in the file layer's text
// mode) before scanreset and closes it after the compile.
extern FILE* kytfil;

// Prepares a new translation of kytfil: empties the scanner's buffers,
// attaches the run-time libraries, restarts the generated-procedure numbers
// and sets the option word to the compile phase. 0, or non-zero when the
// translation cannot start (no input, or the libraries could not be
// attached).
int scanreset();

// The next number for a "GenProc%ld" name.
long nextGeneratedProcedure();

// The scanner's current line and the text of its current token ("" before
// the first token).
int scannerLine();
const char* scannerTokenText();

// One token (the parser's yylex); its value is in the parser's value cell.
int mdllex();

// Most bytes of model text one translation reads. Models are written by
// hand or from circuits, a few hundred kilobytes at most; a longer input (a
// device, a wrong file) is refused there with 20098 instead of filling the
// memory. The benchmark of the scanner sets another limit; the old one is
// returned.
const size_t kMaxModelText = 32u << 20;
size_t setModelTextLimit(size_t bytes);

// Longest identifier or string (quotes included) the scanner accepts;
// longer ones are the token KILL.
const int kMaxTokenText = 100;

#endif
