// Build tool: draws the eight tool-bar pictures of the identification
// result window into a folder, for the resource script: copy, hand-over, the
// three display modes G(z), G(s) with zero-order hold and with first-order
// hold, all digits, freeze and close. Each fills its 27 x 25 button, one
// picture per button (the button greys it when disabled).
//
//   makeidentwindowimages FOLDER
#include "PictureFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kNavy = {0, 0, 128};
const Rgb kGreen = {0, 128, 0};
const Rgb kRed = {192, 0, 0};
const Rgb kIce = {0, 96, 224};

const int kWidth = 27;
const int kHeight = 25;

// One button picture. Its lines step evenly along the longer axis (not
// Bresenham's), which the pictures' diagonals were drawn with.
class ButtonPicture : public Picture {
public:
    ButtonPicture() : Picture(kWidth, kHeight) {}

    void line(int x0, int y0, int x1, int y1, Rgb c)
    {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i)
            set(x0 + (x1 - x0) * i / (steps ? steps : 1), y0 + (y1 - y0) * i / (steps ? steps : 1), c);
    }
};

// Glyphs of 3 x 5 cells, drawn two pixels to a cell: a row is three bits,
// the leftmost the highest.
struct Glyph {
    char c;
    unsigned char rows[5];
};
const Glyph kGlyphs[] = {
    {'G', {7, 4, 5, 5, 7}}, {'z', {0, 7, 1, 2, 7}}, {'s', {0, 7, 6, 1, 7}}, {'0', {7, 5, 5, 5, 7}},
    {'1', {2, 6, 2, 2, 7}}, {'9', {7, 5, 7, 1, 7}}, {'.', {0, 0, 0, 0, 2}},
};

void glyph(ButtonPicture& p, char c, int x, int y, Rgb colour)
{
    for (const Glyph& g : kGlyphs) {
        if (g.c != c)
            continue;
        for (int r = 0; r < 5; ++r)
            for (int col = 0; col < 3; ++col)
                if (g.rows[r] & (4 >> col))
                    p.fill(x + 2 * col, y + 2 * r, x + 2 * col + 1, y + 2 * r + 1, colour);
    }
}

// A text of glyphs, 8 pixels apart, in the middle of the picture.
void text(ButtonPicture& p, const std::string& t, Rgb colour)
{
    const int width = static_cast<int>(t.size()) * 8 - 2;
    int x = (kWidth - width) / 2;
    for (char c : t) {
        glyph(p, c, x, 7, colour);
        x += 8;
    }
}

void sheet(ButtonPicture& p, int x0, int y0, int x1, int y1)
{
    p.fill(x0, y0, x1, y1, kWhite);
    p.frame(x0, y0, x1, y1, kBlack);
    for (int y = y0 + 3; y < y1 - 1; y += 2)
        p.line(x0 + 2, y, x1 - 2, y, kNavy);
}

ButtonPicture copyPicture()
{
    ButtonPicture p;
    sheet(p, 4, 3, 15, 16);
    sheet(p, 11, 8, 22, 21);
    return p;
}

ButtonPicture handOverPicture()
{
    ButtonPicture p;
    sheet(p, 3, 4, 13, 20);
    // An arrow to the right, out of the sheet.
    p.fill(9, 11, 18, 13, kGreen);
    for (int i = 0; i < 5; ++i)
        p.line(18 + i, 7 + i, 18 + i, 17 - i, kGreen);
    return p;
}

ButtonPicture modePicture(const std::string& t, Rgb colour)
{
    ButtonPicture p;
    text(p, t, colour);
    return p;
}

ButtonPicture freezePicture()
{
    ButtonPicture p;
    // A snow crystal: three strokes through the middle with short twigs.
    p.line(13, 3, 13, 21, kIce);
    p.line(5, 7, 21, 17, kIce);
    p.line(5, 17, 21, 7, kIce);
    p.line(11, 4, 13, 6, kIce);
    p.line(15, 4, 13, 6, kIce);
    p.line(11, 20, 13, 18, kIce);
    p.line(15, 20, 13, 18, kIce);
    return p;
}

ButtonPicture closePicture()
{
    ButtonPicture p;
    p.frame(5, 3, 21, 21, kBlack);
    p.line(8, 6, 18, 18, kRed);
    p.line(9, 6, 19, 18, kRed);
    p.line(18, 6, 8, 18, kRed);
    p.line(19, 6, 9, 18, kRed);
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: makeidentwindowimages FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        int id;
        ButtonPicture picture;
    } pictures[] = {
        {18301, copyPicture()},
        {18300, handOverPicture()},
        {185, modePicture("Gz", kNavy)},
        {186, modePicture("G0", kGreen)},
        {187, modePicture("G1", kRed)},
        {9041, modePicture("9.9", kBlack)},
        {18305, freezePicture()},
        {9038, closePicture()},
    };
    for (const auto& entry : pictures) {
        const std::string path = folder + "/ident" + std::to_string(entry.id) + ".bmp";
        if (!saveBmp(entry.picture, path)) {
            fprintf(stderr, "makeidentwindowimages: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
