// Build tool: writes the three tool-bar strips of the text editor window as
// 24-bit BMP files into a folder, for the resource script: cut, copy and
// paste. A strip has the six cells of a bitmap button (up, disabled, two
// pressed looks, latched, latched disabled), each 21 x 19 pixels so that it
// sits inside the 27 x 25 button; the disabled cells are the picture in grays.
//
//   makeeditorbitmaps FOLDER
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int kCellWidth = 21;
const int kCellHeight = 19;
const int kCells = 6;
const int kDisabledCells[] = {1, 5};

struct Rgb {
    unsigned char r, g, b;
};

const Rgb kFace = {192, 192, 192};
const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kDark = {128, 128, 128};
const Rgb kBlue = {0, 0, 128};

// One cell, drawn in cell coordinates.
class Cell {
public:
    Cell() : pixels(kCellWidth * kCellHeight, kFace) {}

    void set(int x, int y, Rgb c)
    {
        if (x >= 0 && x < kCellWidth && y >= 0 && y < kCellHeight)
            pixels[y * kCellWidth + x] = c;
    }
    Rgb get(int x, int y) const { return pixels[y * kCellWidth + x]; }
    void line(int x0, int y0, int x1, int y1, Rgb c)
    {
        int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            set(x0, y0, c);
            if (x0 == x1 && y0 == y1)
                break;
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void fill(int x0, int y0, int x1, int y1, Rgb c)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                set(x, y, c);
    }
    void frame(int x0, int y0, int x1, int y1, Rgb c)
    {
        line(x0, y0, x1, y0, c);
        line(x1, y0, x1, y1, c);
        line(x1, y1, x0, y1, c);
        line(x0, y1, x0, y0, c);
    }
    // A sheet of paper with a folded corner and lines of text.
    void sheet(int x0, int y0, int x1, int y1)
    {
        fill(x0, y0, x1, y1, kWhite);
        frame(x0, y0, x1, y1, kBlack);
        line(x1 - 3, y0, x1, y0 + 3, kBlack);
        for (int y = y0 + 3; y + 2 <= y1; y += 3)
            line(x0 + 2, y, x1 - 3, y, kBlue);
    }

private:
    std::vector<Rgb> pixels;
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

bool saveStrip(const Cell& cell, const std::string& path)
{
    const int width = kCellWidth * kCells;
    const int row = (width * 3 + 3) / 4 * 4;
    const uint32_t dataSize = static_cast<uint32_t>(row * kCellHeight);
    std::vector<unsigned char> out;
    auto put16 = [&](unsigned v) {
        out.push_back(static_cast<unsigned char>(v));
        out.push_back(static_cast<unsigned char>(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    out.push_back('B');
    out.push_back('M');
    put32(14 + 40 + dataSize);
    put32(0);
    put32(14 + 40);
    put32(40);
    put32(width);
    put32(kCellHeight);
    put16(1);
    put16(24);
    put32(0);
    put32(dataSize);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    // Bottom row first, blue green red.
    for (int y = kCellHeight - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const int index = x / kCellWidth;
            Rgb c = cell.get(x % kCellWidth, y);
            for (int d : kDisabledCells)
                if (index == d)
                    c = gray(c);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (int pad = width * 3; pad < row; ++pad)
            out.push_back(0);
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    return fclose(f) == 0 && ok;
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
