// The one number text of the system: model text, PI code, symbol listing,
// circuit files, dialogs and plot exports all write numbers this way.
//
// It is "%#.14g" as the old C library printed it (three-digit exponents),
// then trimmed: leading blanks and trailing mantissa zeros go (the point
// stays), a negative exponent loses its leading zeros, a positive one keeps
// sign and three digits: 0 -> "0.", 12.5 -> "12.5", 1e-5 -> "1.e-5",
// 1e30 -> "1.e+030". The text is built here, without printf and locale, so it
// is byte-identical on every machine.
#ifndef KYT_FOUNDATION_NUMBERFORMAT_H
#define KYT_FOUNDATION_NUMBERFORMAT_H

#include "String.h"

#include <cstddef>

// Longest text formatNumber writes, without the NUL.
const size_t kMaxNumberText = 32;

// Writes the text of v into out (room for kMaxNumberText + 1 bytes) and
// returns its length. Non-finite values give "1.#INF", "-1.#INF", "1.#QNAN".
size_t formatNumber(double v, char* out);

// The same text with another count of significant digits (1 to
// kMaxNumberDigits): the fuzzy kernel writes certainty factors with 5,
// parameters with 10 and new names with 3.
const int kMaxNumberDigits = 20;
size_t formatNumberDigits(double v, int digits, char* out);

String formatDouble(double v);

// Reads a number with C-locale rules whatever the process locale: optional
// blanks and sign, digits with an optional point, an optional exponent.
// Returns the number of characters taken (0: no number) and stores the value.
size_t parseNumber(const char* text, double* value);

#endif
