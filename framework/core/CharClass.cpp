#include "CharClass.h"

#include <cctype>
#include <initializer_list>

namespace charclass {

namespace {

enum Bits : unsigned char { LETTER = 1, DIGITLIKE = 2, UPPER = 4, LOWER = 8 };

struct Table {
    unsigned char bits[256];
    unsigned char upper[256];
    unsigned char lower[256];

    void pair(int big, int small)
    {
        bits[big] |= LETTER | UPPER;
        bits[small] |= LETTER | LOWER;
        lower[big] = static_cast<unsigned char>(small);
        upper[small] = static_cast<unsigned char>(big);
    }

    Table()
    {
        for (int c = 0; c < 256; ++c) {
            bits[c] = 0;
            upper[c] = lower[c] = static_cast<unsigned char>(c);
        }
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 0x20);
        // Š Œ Ž and their small letters, Ÿ and ÿ.
        pair(0x8A, 0x9A);
        pair(0x8C, 0x9C);
        pair(0x8E, 0x9E);
        pair(0x9F, 0xFF);
        // À to Þ without the multiplication sign, and their small letters.
        for (int c = 0xC0; c <= 0xDE; ++c)
            if (c != 0xD7)
                pair(c, c + 0x20);
        // Small letters without a capital in the code page: ƒ ª µ º ß.
        for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF})
            bits[c] |= LETTER | LOWER;
        // The modifier letter circumflex is a letter of neither case.
        bits[0x88] |= LETTER;
        for (int c = '0'; c <= '9'; ++c)
            bits[c] |= DIGITLIKE;
        // The superscript digits count as alphanumeric.
        for (int c : {0xB2, 0xB3, 0xB9})
            bits[c] |= DIGITLIKE;
    }
};

const Table& table()
{
    static const Table t;
    return t;
}

} // namespace

bool isLetter(unsigned char c) { return table().bits[c] & LETTER; }
bool isAlphaNumeric(unsigned char c) { return table().bits[c] & (LETTER | DIGITLIKE); }
bool isUpper(unsigned char c) { return table().bits[c] & UPPER; }
bool isLower(unsigned char c) { return table().bits[c] & LOWER; }
unsigned char toUpper(unsigned char c) { return table().upper[c]; }
unsigned char toLower(unsigned char c) { return table().lower[c]; }
bool isBlank(unsigned char c) { return std::isspace(c) != 0; }

} // namespace charclass
