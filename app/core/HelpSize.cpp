#include "HelpSize.h"

namespace {

// The fixed-pitch system font: 8.5 pixels a character, 18 a line.
const int kHalfPixelsPerCharacter = 17;
const int kLineHeight = 18;
// A short text gets room for three more lines, a long one for one.
const int kShortText = 12;
const int kTaskBarRoom = 30;

} // namespace

HelpWindowSize helpWindowSize(const std::string& text, int screenWidth, int screenHeight)
{
    int lines = 0;
    int longest = 0;
    int run = 0;
    // The last character is not measured; an empty text measures nothing.
    const size_t measured = text.empty() ? 0 : text.size() - 1;
    for (size_t i = 0; i < measured; ++i) {
        if (text[i] == '\n') {
            ++lines;
            if (run > longest)
                longest = run;
            run = 0;
        } else {
            ++run;
        }
    }
    HelpWindowSize size;
    // The integer part of (longest + 1) * 8.5 + 0.5.
    size.width = ((longest + 1) * kHalfPixelsPerCharacter + 1) / 2;
    size.height = kLineHeight * (lines <= kShortText ? lines + 3 : lines + 1);
    if (screenWidth > 0 && size.width > screenWidth)
        size.width = screenWidth;
    if (screenHeight > 0 && size.height > screenHeight - kTaskBarRoom)
        size.height = screenHeight - kTaskBarRoom;
    return size;
}
