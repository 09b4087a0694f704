// The numeric mask: the formatter of integer fields and numeric cells. A
// short mask text gives the number's shape (digit positions, fixed zeros,
// decimal point, grouping, fill characters, edit modes); the international
// settings give decimal and group characters, currency symbol and the place
// of the sign. The shown text turns back into a plain decimal number.
#ifndef KYT_FRAMEWORK_NUMERICMASK_H
#define KYT_FRAMEWORK_NUMERICMASK_H

#include "FieldFormatter.h"
#include "IntlSettings.h"

#include <cstdint>
#include <string>
#include <vector>

class NumericMask : public FieldFormatter {
public:
    enum PositionKind : uint32_t { DIGIT_RANGE = 0, DECIMAL_POINT = 1, GROUP_SEPARATOR = 2, DIGIT_BUT_ONE = 3 };
    struct Position {
        uint32_t kind;
        char low;
        char high;
        char fill;
    };
    // The most positions a mask has; the rest of a longer mask is not read.
    static const int kMaxPositions = 256;

    // Null settings: the process's shared record. Given settings belong to
    // the mask from then on.
    NumericMask(uint32_t flagsWord, const char* mask, IntlSettings* settings = nullptr);
    ~NumericMask() override;

    int apply(std::string& text, char* chars, int count, Selection& selection) override;
    int validate(const std::string& text, Selection& selection) override;
    int strip(std::string& text, uint32_t flagsWord) override;
    int firstInputPos(const std::string& text) override;

    // The text an empty field shows.
    std::string emptyTemplate() const;

    std::vector<Position> positions;
    int decimalIndex;
    int intDigits;
    int fracDigits;
    char leadFill;
    bool leadFillOn;
    char trailFill;
    bool trailFillOn;
    char decimalChar;
    char groupChar;
    int editMode;
    bool currency;
    bool signs;
    bool negativeAllowed;
    bool showPositive;
    bool fFlag;
    bool digitsEntered;
    IntlSettings* intl;

private:
    // A place in the number: the integer or the fraction digits, and the
    // count of digits of that part before it.
    struct Caret {
        bool fraction;
        int index;
        bool operator==(const Caret& o) const { return fraction == o.fraction && index == o.index; }
    };
    // A shown text taken apart: digits of both parts with their indexes in
    // the shown text, the decimal character's index (-1 without), the sign.
    struct Parsed {
        bool negative;
        std::string intPart;
        std::string fracPart;
        std::vector<int> intShown;
        std::vector<int> fracShown;
        int dotShown;
    };

    void parseMask(const char* mask);
    bool hasPoint() const { return decimalIndex < static_cast<int>(positions.size()); }
    Parsed parse(const std::string& text) const;
    Caret locate(const Parsed& parsed, int shownPos) const;
    // Shows the number with padding, grouping and decorations; the caret's
    // index in the result goes to caretPos.
    std::string render(bool negative, const std::string& intPart, const std::string& fracPart, Caret caret,
                       int& caretPos) const;
    std::string renderInt(const std::string& digits, int caretIndex, int& caretPos) const;
    std::string decorate(bool negative, const std::string& number, int& caretPos) const;
    void insertDigit(char digit, std::string& intPart, std::string& fracPart, Caret& caret) const;
    bool ownsIntl;
};

#endif
