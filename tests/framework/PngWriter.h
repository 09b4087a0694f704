// PNG encoding of test pictures. Built with the native compiler: libpng is a
// Unix library, and a Winelib unit that included png.h would call it with
// the Windows calling convention.
#ifndef KYT_TESTS_PNGWRITER_H
#define KYT_TESTS_PNGWRITER_H

#include <vector>

// rgb: width * height pixels, 3 bytes each, top row first. The PNG file's
// bytes; empty on failure.
std::vector<unsigned char> encodePng(const std::vector<unsigned char>& rgb, int width, int height);

#endif
