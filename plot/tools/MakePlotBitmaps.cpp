// Build tool: writes the eight 27 x 25 tool-bar bitmaps of the plot frame
// as 24-bit BMP files into a folder, for the resource script:
// print, ASCII export, MATLAB export, rescale, options, solid grid lines,
// freeze and editor to front.
//
//   makeplotbitmaps FOLDER
#include "PictureFiles.h"

#include <cstdio>
#include <string>

namespace {

const int kWidth = 27;
const int kHeight = 25;

const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kDark = {128, 128, 128};
const Rgb kBlue = {0, 0, 128};
const Rgb kLight = {0, 64, 128};
const Rgb kRed = {255, 0, 0};
const Rgb kCyan = {0, 128, 255};

// One button picture; drawing and the file come from the shared picture.
class ButtonPicture : public Picture {
public:
    ButtonPicture() : Picture(kWidth, kHeight) {}

    // A sheet of paper with a folded corner.
    void sheet(int x0, int y0, int x1, int y1)
    {
        fill(x0, y0, x1, y1, kWhite);
        frame(x0, y0, x1, y1, kBlack);
        line(x1 - 3, y0, x1, y0 + 3, kBlack);
    }
};

ButtonPicture print()
{
    ButtonPicture p;
    p.sheet(8, 3, 18, 11);
    p.fill(4, 11, 22, 18, kDark);
    p.frame(4, 11, 22, 18, kBlack);
    p.set(19, 13, kRed);
    p.sheet(8, 16, 18, 21);
    return p;
}

ButtonPicture asciiExport()
{
    ButtonPicture p;
    p.sheet(6, 2, 20, 22);
    for (int y = 6; y <= 18; y += 3)
        p.line(8, y, y % 2 ? 15 : 17, y, kBlack);
    return p;
}

ButtonPicture matlabExport()
{
    ButtonPicture p;
    p.sheet(6, 2, 20, 22);
    const int ys[] = {12, 9, 7, 7, 9, 12, 15, 17, 17, 15, 12};
    for (int i = 0; i + 1 < 11; ++i)
        p.line(8 + i, ys[i], 9 + i, ys[i + 1], kBlue);
    p.line(8, 19, 18, 19, kBlack);
    return p;
}

ButtonPicture rescale()
{
    ButtonPicture p;
    p.frame(8, 7, 18, 17, kLight);
    // Arrows out of the corners.
    p.line(3, 2, 8, 7, kRed);
    p.line(3, 2, 6, 2, kRed);
    p.line(3, 2, 3, 5, kRed);
    p.line(23, 22, 18, 17, kRed);
    p.line(23, 22, 20, 22, kRed);
    p.line(23, 22, 23, 19, kRed);
    return p;
}

ButtonPicture options()
{
    ButtonPicture p;
    const int knobs[] = {9, 17, 12};
    for (int i = 0; i < 3; ++i) {
        int y = 6 + i * 6;
        p.line(4, y, 22, y, kBlack);
        p.fill(knobs[i] - 1, y - 2, knobs[i] + 1, y + 2, kBlue);
    }
    return p;
}

ButtonPicture solidGrid()
{
    ButtonPicture p;
    p.fill(4, 3, 22, 21, kWhite);
    for (int x = 4; x <= 22; x += 6)
        p.line(x, 3, x, 21, kLight);
    for (int y = 3; y <= 21; y += 6)
        p.line(4, y, 22, y, kLight);
    return p;
}

ButtonPicture freeze()
{
    ButtonPicture p;
    p.line(13, 2, 13, 22, kCyan);
    p.line(3, 12, 23, 12, kCyan);
    p.line(6, 5, 20, 19, kCyan);
    p.line(20, 5, 6, 19, kCyan);
    for (int d = -2; d <= 2; d += 4) {
        p.line(13, 5, 13 + d, 3, kCyan);
        p.line(13, 19, 13 + d, 21, kCyan);
        p.line(6, 12, 4, 12 + d, kCyan);
        p.line(20, 12, 22, 12 + d, kCyan);
    }
    return p;
}

ButtonPicture editorToFront()
{
    ButtonPicture p;
    p.fill(3, 3, 16, 15, kWhite);
    p.fill(3, 3, 16, 5, kDark);
    p.frame(3, 3, 16, 15, kBlack);
    p.fill(10, 9, 23, 21, kWhite);
    p.fill(10, 9, 23, 11, kBlue);
    p.frame(10, 9, 23, 21, kBlack);
    p.frame(13, 14, 16, 17, kBlack);
    p.line(16, 16, 19, 16, kBlack);
    p.frame(19, 15, 21, 18, kBlack);
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: makeplotbitmaps FOLDER\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    struct Item {
        const char* name;
        ButtonPicture picture;
    } items[] = {{"plotprint.bmp", print()},       {"plotascii.bmp", asciiExport()},
                 {"plotmatlab.bmp", matlabExport()}, {"plotrescale.bmp", rescale()},
                 {"plotoptions.bmp", options()},   {"plotgrid.bmp", solidGrid()},
                 {"plotfreeze.bmp", freeze()},     {"plotfront.bmp", editorToFront()}};
    for (const Item& item : items)
        if (!saveBmp(item.picture, dir + item.name)) {
            fprintf(stderr, "makeplotbitmaps: cannot write %s%s\n", dir.c_str(), item.name);
            return 1;
        }
    return 0;
}
