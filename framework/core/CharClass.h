// Character classes of the Windows-1252 (Western) code page, as the Windows
// ANSI character functions give them: letters, digits, upper and lower case
// and the case mappings. One table serves every field formatter, so a field
// behaves the same in the programs and in the native tests.
#ifndef KYT_FRAMEWORK_CHARCLASS_H
#define KYT_FRAMEWORK_CHARCLASS_H

namespace charclass {

// IsCharAlphaA
bool isLetter(unsigned char c);
// IsCharAlphaNumericA: the letters, '0' to '9' and the superscript digits.
bool isAlphaNumeric(unsigned char c);
// IsCharUpperA / IsCharLowerA
bool isUpper(unsigned char c);
bool isLower(unsigned char c);
// CharUpperA / CharLowerA on one character; unchanged when the code page
// has no partner ('ß', 'µ' and 'ƒ' have none).
unsigned char toUpper(unsigned char c);
unsigned char toLower(unsigned char c);
// White space of the C locale (isspace).
bool isBlank(unsigned char c);
// '0' to '9' only.
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

} // namespace charclass

#endif
