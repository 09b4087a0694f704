// Build tool: writes the three tool-bar strips of the text editor window as
// 24-bit BMP files into a folder, for the resource script: cut, copy and
// paste. A strip has the six cells of a bitmap button (up, disabled, two
// pressed looks, latched, latched disabled), each 21 x 19 pixels so that it
// sits inside the 27 x 25 button; the disabled cells are the picture in grays.
//
//   makeeditorbitmaps FOLDER
#include "PictureFiles.h"

#include <cstdio>
#include <string>

namespace {

const int kCellWidth = 21;
const int kCellHeight = 19;
const int kCells = 6;
const int kDisabledCells[] = {1, 5};

const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kDark = {128, 128, 128};
const Rgb kBlue = {0, 0, 128};

// One cell, drawn in cell coordinates.
class Cell : public Picture {
public:
    Cell() : Picture(kCellWidth, kCellHeight) {}

    // A sheet of paper with a folded corner and lines of text.
    void sheet(int x0, int y0, int x1, int y1)
    {
        fill(x0, y0, x1, y1, kWhite);
        frame(x0, y0, x1, y1, kBlack);
        line(x1 - 3, y0, x1, y0 + 3, kBlack);
        for (int y = y0 + 3; y + 2 <= y1; y += 3)
            line(x0 + 2, y, x1 - 3, y, kBlue);
    }
};

Cell cut()
{
    Cell c;
    // Scissors: two blades crossing, two rings below.
    c.line(6, 1, 11, 11, kBlack);
    c.line(14, 1, 9, 11, kBlack);
    c.frame(4, 12, 8, 17, kBlue);
    c.frame(12, 12, 16, 17, kBlue);
    return c;
}

Cell copy()
{
    Cell c;
    c.sheet(1, 1, 11, 12);
    c.sheet(8, 6, 19, 17);
    return c;
}

Cell paste()
{
    Cell c;
    // A clipboard with its clip and a sheet on it.
    c.fill(1, 2, 13, 17, kDark);
    c.frame(1, 2, 13, 17, kBlack);
    c.fill(5, 0, 9, 3, kBlack);
    c.sheet(8, 7, 19, 18);
    return c;
}

Rgb gray(Rgb c)
{
    const unsigned char v = static_cast<unsigned char>(128 + (c.r + c.g + c.b) / 6);
    return {v, v, v};
}

// The cell six times side by side, the disabled ones in grays.
bool saveStrip(const Cell& cell, const std::string& path)
{
    Picture strip(kCellWidth * kCells, kCellHeight);
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < strip.width; ++x) {
            const int index = x / kCellWidth;
            Rgb c = cell.get(x % kCellWidth, y);
            for (int d : kDisabledCells)
                if (index == d)
                    c = gray(c);
            strip.set(x, y, c);
        }
    return saveBmp(strip, path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: makeeditorbitmaps FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct Named {
        const char* name;
        Cell cell;
    } strips[] = {{"editcut.bmp", cut()}, {"editcopy.bmp", copy()}, {"editpaste.bmp", paste()}};
    for (const Named& n : strips)
        if (!saveStrip(n.cell, folder + "/" + n.name)) {
            fprintf(stderr, "makeeditorbitmaps: cannot write %s\n", n.name);
            return 1;
        }
    return 0;
}
