// The tokens of the model language: one table of numbers, printed names and
// keyword spellings, used by the scanner (keywords), the grammar (the
// numbers are declared there) and the token printer of syntax errors.
#ifndef KYT_COMPILER_TOKENS_H
#define KYT_COMPILER_TOKENS_H

#include "String.h"

const int kFirstNamedToken = 257;
const int kLastNamedToken = 342;

struct TokenRow {
    int token;
    const char* name;      // as the token printer shows it
    const char* spelling;  // the word the scanner reads as this token, or null
};

// Rows for the tokens 257 to 342, in number order.
extern const TokenRow tokenTable[];
extern const int tokenTableSize;

// The token of a keyword spelling; 0 when the word is no keyword.
int keywordToken(const char* word);

// The token as syntax-error messages name it.
String tokenName(int token);

#endif
