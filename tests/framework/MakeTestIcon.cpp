// Build tool: writes the icon of the framework tests, a 32 x 32 true-colour
// icon (a red bar over a blue field, the colours of the framed application).
//
//   maketesticon OUT.ico
#include "PictureFiles.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: maketesticon OUT.ico\n");
        return 2;
    }
    const int size = 32;
    const uint32_t xorBytes = size * size * 4;
    const uint32_t andBytes = size * 4; // one bit per pixel, rows of 4 bytes
    const uint32_t imageBytes = 40 + xorBytes + andBytes;

    std::vector<unsigned char> ico;
    put16(ico, 0); // reserved
    put16(ico, 1); // icon
    put16(ico, 1); // one image
    ico.push_back(size);
    ico.push_back(size);
    ico.push_back(0); // no palette
    ico.push_back(0);
    put16(ico, 1);  // planes
    put16(ico, 32); // bits per pixel
    put32(ico, imageBytes);
    put32(ico, 6 + 16);

    put32(ico, 40);
    put32(ico, size);
    put32(ico, size * 2); // colour and mask
    put16(ico, 1);
    put16(ico, 32);
    put32(ico, 0);
    put32(ico, xorBytes + andBytes);
    put32(ico, 0);
    put32(ico, 0);
    put32(ico, 0);
    put32(ico, 0);
    // Rows bottom-up, BGRA.
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            bool bar = y < 10;
            ico.push_back(bar ? 0x00 : 0xFF); // blue
            ico.push_back(0x00);              // green
            ico.push_back(bar ? 0xFF : 0x00); // red
            ico.push_back(0xFF);              // opaque
        }
    }
    ico.insert(ico.end(), andBytes, 0);

    if (!writeFile(argv[1], ico)) {
        fprintf(stderr, "maketesticon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
