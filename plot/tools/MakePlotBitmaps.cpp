// Build tool: writes the eight 27 x 25 tool-bar bitmaps of the plot frame
// as 24-bit BMP files into a folder, for the resource script:
// print, ASCII export, MATLAB export, rescale, options, solid grid lines,
// freeze and editor to front.
//
//   makeplotbitmaps FOLDER
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int kWidth = 27;
const int kHeight = 25;

struct Rgb {
    unsigned char r, g, b;
};

const Rgb kFace = {192, 192, 192};
const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kDark = {128, 128, 128};
const Rgb kBlue = {0, 0, 128};
const Rgb kLight = {0, 64, 128};
const Rgb kRed = {255, 0, 0};
const Rgb kCyan = {0, 128, 255};

class Picture {
public:
    Picture() : pixels(kWidth * kHeight, kFace) {}

    void set(int x, int y, Rgb c)
    {
        if (x >= 0 && x < kWidth && y >= 0 && y < kHeight)
            pixels[y * kWidth + x] = c;
    }
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
    // A sheet of paper with a folded corner.
    void sheet(int x0, int y0, int x1, int y1)
    {
        fill(x0, y0, x1, y1, kWhite);
        frame(x0, y0, x1, y1, kBlack);
        line(x1 - 3, y0, x1, y0 + 3, kBlack);
    }

    bool save(const std::string& path) const
    {
        const int row = (kWidth * 3 + 3) / 4 * 4;
        const uint32_t dataSize = static_cast<uint32_t>(row * kHeight);
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
        put32(kWidth);
        put32(kHeight);
        put16(1);
        put16(24);
        put32(0);
        put32(dataSize);
        put32(2835);
        put32(2835);
        put32(0);
        put32(0);
        // Bottom row first, blue green red.
        for (int y = kHeight - 1; y >= 0; --y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgb& c = pixels[y * kWidth + x];
                out.push_back(c.b);
                out.push_back(c.g);
                out.push_back(c.r);
            }
            for (int pad = kWidth * 3; pad < row; ++pad)
                out.push_back(0);
        }
        FILE* f = fopen(path.c_str(), "wb");
        if (!f)
            return false;
        bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
        return fclose(f) == 0 && ok;
    }

private:
    std::vector<Rgb> pixels;
};

Picture print()
{
    Picture p;
    p.sheet(8, 3, 18, 11);
    p.fill(4, 11, 22, 18, kDark);
    p.frame(4, 11, 22, 18, kBlack);
    p.set(19, 13, kRed);
    p.sheet(8, 16, 18, 21);
    return p;
}

Picture asciiExport()
{
    Picture p;
    p.sheet(6, 2, 20, 22);
    for (int y = 6; y <= 18; y += 3)
        p.line(8, y, y % 2 ? 15 : 17, y, kBlack);
    return p;
}

Picture matlabExport()
{
    Picture p;
    p.sheet(6, 2, 20, 22);
    const int ys[] = {12, 9, 7, 7, 9, 12, 15, 17, 17, 15, 12};
    for (int i = 0; i + 1 < 11; ++i)
        p.line(8 + i, ys[i], 9 + i, ys[i + 1], kBlue);
    p.line(8, 19, 18, 19, kBlack);
    return p;
}

Picture rescale()
{
    Picture p;
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

Picture options()
{
    Picture p;
    const int knobs[] = {9, 17, 12};
    for (int i = 0; i < 3; ++i) {
        int y = 6 + i * 6;
        p.line(4, y, 22, y, kBlack);
        p.fill(knobs[i] - 1, y - 2, knobs[i] + 1, y + 2, kBlue);
    }
    return p;
}

Picture solidGrid()
{
    Picture p;
    p.fill(4, 3, 22, 21, kWhite);
    for (int x = 4; x <= 22; x += 6)
        p.line(x, 3, x, 21, kLight);
    for (int y = 3; y <= 21; y += 6)
        p.line(4, y, 22, y, kLight);
    return p;
}

Picture freeze()
{
    Picture p;
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

Picture editorToFront()
{
    Picture p;
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
        Picture picture;
    } items[] = {{"plotprint.bmp", print()},       {"plotascii.bmp", asciiExport()},
                 {"plotmatlab.bmp", matlabExport()}, {"plotrescale.bmp", rescale()},
                 {"plotoptions.bmp", options()},   {"plotgrid.bmp", solidGrid()},
                 {"plotfreeze.bmp", freeze()},     {"plotfront.bmp", editorToFront()}};
    for (const Item& item : items)
        if (!item.picture.save(dir + item.name)) {
            fprintf(stderr, "makeplotbitmaps: cannot write %s%s\n", dir.c_str(), item.name);
            return 1;
        }
    return 0;
}
