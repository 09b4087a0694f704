// The 8 x 13 raster font of the surface window's labels.
#ifndef KYT_KYTFUZZY_GLYPHFONT_H
#define KYT_KYTFUZZY_GLYPHFONT_H

// Glyphs of the codes 32 to 126: 13 bytes each, bottom row first, the most
// significant bit leftmost.
extern const unsigned char kGlyphs8x13[95][13];

#endif
