// The picture mask: the formatter of string fields given a mask text. It
// describes the text position by position (a digit here, a letter there, a
// fixed hyphen between), refuses keystrokes that do not fit the position
// under the caret, keeps the fixed characters in place while the user types,
// deletes and pastes, and can show a placeholder in every empty position.
//
// Mask characters: '!' any character, made upper case; '#' digit, sign or
// blank; '9' digit; 'A' letter or blank; 'N' letter or digit; 'X' any
// character; 'text' fixed characters; [set] with ranges and a leading '!'
// for its complement; (n) after a position repeats it to n in all. Other
// mask characters add nothing: fixed characters are quoted.
#ifndef KYT_FRAMEWORK_PICTUREMASK_H
#define KYT_FRAMEWORK_PICTUREMASK_H

#include "FieldFormatter.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MaskPosition {
public:
    enum Kind : uint16_t { LITERAL = 0x0001, INPUT = 0x0002 };
    MaskPosition(uint16_t k, char c) : kind(k), maskChar(c) {}
    virtual ~MaskPosition() {}
    // 1 when the character is taken; in test-only mode nothing is stored.
    virtual int accept(char c, bool testOnly, uint32_t flags) = 0;
    // The character shown for the position, 0 for none.
    virtual char shownChar(uint32_t flags) const = 0;
    // Empties an input position (1); literals have nothing to clear (0).
    virtual int clear() = 0;
    virtual MaskPosition* copy() const = 0;
    bool isInput() const { return kind & INPUT; }
    // The stored character of an input position, 0 when empty.
    virtual char held() const { return 0; }
    // The character that stands for an empty input position.
    virtual char placeholderChar() const { return 0; }

    uint16_t kind;
    char maskChar;
};

class LiteralPosition : public MaskPosition {
public:
    explicit LiteralPosition(char c) : MaskPosition(LITERAL, c) {}
    int accept(char c, bool, uint32_t) override { return c == maskChar; }
    char shownChar(uint32_t flags) const override { return (flags & FF_NO_LITERALS) ? 0 : maskChar; }
    int clear() override { return 0; }
    MaskPosition* copy() const override { return new LiteralPosition(*this); }
};

class CharPosition : public MaskPosition {
public:
    explicit CharPosition(char c);
    int accept(char c, bool testOnly, uint32_t flags) override;
    char shownChar(uint32_t flags) const override;
    int clear() override
    {
        stored = 0;
        return 1;
    }
    MaskPosition* copy() const override { return new CharPosition(*this); }
    char held() const override { return stored; }
    char placeholderChar() const override { return placeholder; }

    char stored;
    char placeholder;
};

class SetPosition : public MaskPosition {
public:
    SetPosition() : MaskPosition(INPUT, '['), negated(false), stored(0), placeholder('_') {}
    int accept(char c, bool testOnly, uint32_t flags) override;
    char shownChar(uint32_t flags) const override;
    int clear() override
    {
        stored = 0;
        return 1;
    }
    MaskPosition* copy() const override { return new SetPosition(*this); }
    char held() const override { return stored; }
    char placeholderChar() const override { return placeholder; }

    std::bitset<256> set;
    bool negated;
    char stored;
    char placeholder;
};

class PictureMask : public FieldFormatter {
public:
    static const int kMaxPositions = 256;

    PictureMask(uint32_t flagsWord, const char* mask);

    int apply(std::string& text, char* chars, int count, Selection& selection) override;
    int validate(const std::string& text, Selection& selection) override;
    int strip(std::string& text, uint32_t flagsWord) override;
    int firstInputPos(const std::string& text) override;

    // The mask's positions, in order. Owned.
    std::vector<std::unique_ptr<MaskPosition>> positions;
    // For each character of the text last laid out, its position.
    std::vector<int> textToPosition;
    // The literal positions in mask order (as many as the mask has).
    std::vector<int> literalIndex;
    std::string maskText;

private:
    void parse();
    void parseSet(size_t& i);
    void clearAll();
    // Lays text onto the positions from start; false when a character fits
    // nowhere. typed: a single keystroke (offered to an input position
    // before a literal). Records the positions taken in taken and the
    // position after the last one in next.
    bool fill(const std::string& text, int start, bool typed, std::vector<int>* taken, int* next);
    int nextOfKind(int from, bool input) const;
    bool isMaskLiteral(char c) const;
    std::string compose(uint32_t flagsWord) const;
    // The text index of a position: the characters shown before it.
    int textIndexOf(int position, uint32_t flagsWord) const;
};

#endif
