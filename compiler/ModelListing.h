// The front half of a compile as the run command drives it, and a listing of
// what it produced: the symbol tables and each block's code after the
// rewrites of the back end. The console program kytparse is built on it.
#ifndef KYT_COMPILER_MODELLISTING_H
#define KYT_COMPILER_MODELLISTING_H

#include <cstdio>

// scanreset, message log on, yyparse, message log off. 0 when the text was
// accepted: the tables are filled. Otherwise every message has been shown,
// everything the parse made is freed, and the result is 1 (2 when scanreset
// refused: message 20802 has been reported).
int parseModelText(FILE* input);

// Writes the tables and, for each block, its SIM, procedure and INIT code
// after rewriteSwitch, rewriteIfSequence and mergeConditions (the INIT code
// also checked). 0, or 1 when a rewrite gave a message.
int writeModelListing(FILE* out);

#endif
