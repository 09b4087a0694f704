// The size of the help viewer: as wide as the longest line of its text and
// as high as its lines, in the fixed-pitch system font, kept on the screen.
#ifndef KYT_APP_HELPSIZE_H
#define KYT_APP_HELPSIZE_H

#include <string>

struct HelpWindowSize {
    int width;
    int height;
};

// Measured over all characters of text but the last: the line feeds, and the
// longest run of characters ended by a line feed. The width is at most
// screenWidth, the height at most screenHeight - 30; a limit of 0 or less
// limits nothing.
HelpWindowSize helpWindowSize(const std::string& text, int screenWidth, int screenHeight);

#endif
