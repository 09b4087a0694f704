// How every number field of the programs reads what the user typed, and
// the text it refuses it with. German users write a decimal comma ("0,5");
// the files keep the point ("0.5"), so both are read and the point is stored.
//
// The rule, for a field that holds one number:
// - blanks around the number are ignored; an empty field is no number;
// - one decimal separator, a point or a comma: "0,5", "0.5", ",5", "5,";
// - an optional sign before and an exponent after: "-1,5e-3";
// - the whole text must be the number: "1,5,3", "12abc" and "abc" are none;
// - no digit grouping: "1.000,5" (a point and a comma) is refused, for the
//   point is the decimal point of the files ("1.000" reads one) and the
//   same text would mean a thousand to a German reader;
// - infinite and not-a-number values are none.
#ifndef KYT_FOUNDATION_NUMBERFIELD_H
#define KYT_FOUNDATION_NUMBERFIELD_H

#include <string>

// True and the value when the text is one number by the rule above.
bool readNumberField(const char* text, double* value);

// The text as the files write it: blanks dropped, the decimal comma a point,
// the typed digits otherwise kept ("  -0,50 " gives "-0.50"). False, and
// pointForm untouched, when the text is no number.
bool numberFieldPointForm(const char* text, std::string* pointForm);

// For a field that holds a model-language expression (a block parameter:
// "0,5", "K*0,5", "1/(2,5+T)"): each number written with a decimal comma
// gets a point. A comma inside a function's parentheses separates its
// arguments ("MAX(1,2)") and a comma after a number's fraction ("1,5,3")
// is no decimal comma: such a text gives false, and pointForm is untouched.
// A comma that is no decimal comma cannot be stored in a circuit either.
bool pointDecimalCommas(const char* expression, std::string* pointForm);

// The name of a field as its label shows it: "&Anfangsschrittweite:" gives
// "Anfangsschrittweite" (mnemonic markers, a closing colon and blanks go).
std::string fieldLabelName(const char* label);

// The message that refuses a typed text which is no number, naming the field.
std::string numberRefusalText(const char* fieldName, const char* typed);

#endif
