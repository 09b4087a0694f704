// Formatters of edit fields: each change of a field's text passes through
// one, which decides keystroke by keystroke what the new text and caret are,
// checks the whole text when the dialog is confirmed, and turns the shown
// text back into the plain value. No window is involved: the edit control
// of the framework hands the requests over and shows the results.
#ifndef KYT_FRAMEWORK_FIELDFORMATTER_H
#define KYT_FRAMEWORK_FIELDFORMATTER_H

#include <cstdint>
#include <string>

// Character positions in a field's text, start <= end.
struct Selection {
    int start;
    int end;
};

// Option bits of the flags word shared by the field and its formatter.
enum FieldFlag : uint32_t {
    FF_LETTERS = 0x0001,
    FF_DIGITS = 0x0002,
    FF_ALNUM_SIGNS = 0x0010,
    FF_CAPITALISE = 0x0020,
    FF_EMPTY_OK = 0x0100,
    FF_UPPER = 0x4000,
    FF_LOWER = 0x8000,
    FF_NO_LITERALS = 0x40000,
    FF_ALL_REQUIRED = 0x80000,
    FF_PLACEHOLDERS = 0x200000
};

// The longest text a field holds. Edits that would make a text longer are
// refused rather than written past the end of anything.
const int kMaxFieldText = 255;

// The character of a deletion request (Backspace with count 1, Delete with 2).
const char kDeleteRequest = 8;

// Results of apply.
enum ApplyResult { APPLY_REFUSED = 0, APPLY_AS_TYPED = 1, APPLY_DONE = 2 };

class FieldFormatter {
public:
    explicit FieldFormatter(uint32_t flagsWord) : flags(flagsWord) {}
    virtual ~FieldFormatter() {}

    // Replaces the selection of text by the count characters (which may be
    // changed in place); a first character 8 is a deletion request instead.
    // Result: APPLY_REFUSED (nothing changes), APPLY_AS_TYPED (the control
    // inserts the possibly changed character itself) or APPLY_DONE (text
    // and selection hold the new text and selection).
    virtual int apply(std::string& text, char* chars, int count, Selection& selection) = 0;
    // 1 valid; 0 invalid with the selection at the place to show.
    virtual int validate(const std::string& text, Selection& selection) = 0;
    // Turns shown text into the plain value in place.
    virtual int strip(std::string& text, uint32_t flagsWord);
    // The caret position after a value is shown.
    virtual int firstInputPos(const std::string& text);

    uint32_t flags;
};

// The plain keystroke filter of string fields: letters only, digits only,
// letters, digits and signs, capitalised words, forced case.
class CharFilter : public FieldFormatter {
public:
    explicit CharFilter(uint32_t flagsWord) : FieldFormatter(flagsWord) {}
    int apply(std::string& text, char* chars, int count, Selection& selection) override;
    int validate(const std::string& text, Selection& selection) override;

private:
    bool passes(unsigned char c) const;
};

// The decimal integer at the start of a plain value (optional sign, then
// digits; 0 when there are none). False when the number does not fit an
// int: such a value is never stored wrapped.
bool readPlainInt(const std::string& text, int& value);

#endif
