// What the build tools that draw tool-bar strips, icons and pictures share:
// a true-colour picture and its files, a 24-bit BMP and a 24-bit icon with
// an all-opaque mask, the signs of the file commands that several tool bars
// show, and the 32 x 32 monochrome cursor. Header only: each tool is one
// source file.
#ifndef KYT_TOOLS_PICTUREFILES_H
#define KYT_TOOLS_PICTUREFILES_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct Rgb {
    unsigned char r, g, b;
};

// A new picture is the 3-D face colour all over.
class Picture {
public:
    Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * h, Rgb{192, 192, 192}) {}

    void set(int x, int y, Rgb c)
    {
        if (x >= 0 && x < width && y >= 0 && y < height)
            pixels[size_t(y) * width + x] = c;
    }
    Rgb get(int x, int y) const { return pixels[size_t(y) * width + x]; }
    void fill(int x0, int y0, int x1, int y1, Rgb c)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                set(x, y, c);
    }
    // Bresenham's line, both ends included.
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
    void frame(int x0, int y0, int x1, int y1, Rgb c)
    {
        for (int x = x0; x <= x1; ++x) {
            set(x, y0, c);
            set(x, y1, c);
        }
        for (int y = y0; y <= y1; ++y) {
            set(x0, y, c);
            set(x1, y, c);
        }
    }

    // 24-bit, bottom row first.
    std::vector<unsigned char> dibBits() const
    {
        const int row = (width * 3 + 3) / 4 * 4;
        std::vector<unsigned char> out;
        for (int y = height - 1; y >= 0; --y) {
            for (int x = 0; x < width; ++x) {
                const Rgb& c = get(x, y);
                out.push_back(c.b);
                out.push_back(c.g);
                out.push_back(c.r);
            }
            for (int pad = width * 3; pad < row; ++pad)
                out.push_back(0);
        }
        return out;
    }

    int width, height;
    std::vector<Rgb> pixels;
};

inline void put16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

inline void put32(std::vector<unsigned char>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

inline void infoHeader(std::vector<unsigned char>& out, int w, int h, uint32_t size)
{
    put32(out, 40);
    put32(out, static_cast<uint32_t>(w));
    put32(out, static_cast<uint32_t>(h));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, size);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
}

inline bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

inline bool saveBmp(const Picture& p, const std::string& path)
{
    std::vector<unsigned char> bits = p.dibBits();
    std::vector<unsigned char> out = {'B', 'M'};
    put32(out, static_cast<uint32_t>(14 + 40 + bits.size()));
    put32(out, 0);
    put32(out, 14 + 40);
    infoHeader(out, p.width, p.height, static_cast<uint32_t>(bits.size()));
    out.insert(out.end(), bits.begin(), bits.end());
    return writeFile(path, out);
}

// A 24-bit icon with an all-opaque mask.
inline bool saveIcon(const Picture& p, const std::string& path)
{
    std::vector<unsigned char> bits = p.dibBits();
    const int maskRow = (p.width + 31) / 32 * 4;
    const uint32_t size = static_cast<uint32_t>(40 + bits.size() + maskRow * p.height);
    std::vector<unsigned char> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, 1);
    out.push_back(static_cast<unsigned char>(p.width));
    out.push_back(static_cast<unsigned char>(p.height));
    out.push_back(0);
    out.push_back(0);
    put16(out, 1);
    put16(out, 24);
    put32(out, size);
    put32(out, 6 + 16);
    infoHeader(out, p.width, p.height * 2, 0);
    out.insert(out.end(), bits.begin(), bits.end());
    out.insert(out.end(), size_t(maskRow) * p.height, 0);
    return writeFile(path, out);
}

// The file commands' signs, drawn into the 21 x 19 cell at (ox, oy): a new
// sheet, an open folder, a disk; in the command's colour with black rims.
enum FileSign { FILE_SIGN_SHEET, FILE_SIGN_FOLDER, FILE_SIGN_DISK };

inline void drawFileSign(Picture& p, int ox, int oy, FileSign sign, Rgb c)
{
    const Rgb black = {0, 0, 0};
    auto f = [&](int x0, int y0, int x1, int y1, Rgb col) { p.fill(ox + x0, oy + y0, ox + x1, oy + y1, col); };
    auto fr = [&](int x0, int y0, int x1, int y1) { p.frame(ox + x0, oy + y0, ox + x1, oy + y1, black); };
    switch (sign) {
    case FILE_SIGN_SHEET:
        f(5, 2, 15, 16, c);
        fr(5, 2, 15, 16);
        break;
    case FILE_SIGN_FOLDER:
        f(3, 6, 17, 15, c);
        fr(3, 6, 17, 15);
        fr(3, 4, 8, 6);
        break;
    case FILE_SIGN_DISK:
        f(3, 2, 17, 16, c);
        f(6, 3, 14, 7, {255, 255, 255});
        fr(3, 2, 17, 16);
        break;
    }
}

// A 32 x 32 monochrome cursor: each cell transparent, black or white; the
// hot spot at (hotX, hotY).
class MonoCursor {
public:
    enum Cell { CLEAR = ' ', BLACK = '#', WHITE = 'o' };
    static const int kSize = 32;

    MonoCursor(int x, int y) : hotX(x), hotY(y), cells(kSize * kSize, CLEAR) {}

    void set(int x, int y, Cell c)
    {
        if (x >= 0 && x < kSize && y >= 0 && y < kSize)
            cells[size_t(y) * kSize + x] = c;
    }
    Cell get(int x, int y) const { return cells[size_t(y) * kSize + x]; }
    // Black cells, then a one-pixel white rim around every black cell where
    // the cursor is still clear.
    void rim()
    {
        std::vector<Cell> before = cells;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (before[size_t(y) * kSize + x] == BLACK)
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            if (x + dx >= 0 && x + dx < kSize && y + dy >= 0 && y + dy < kSize &&
                                get(x + dx, y + dy) == CLEAR)
                                set(x + dx, y + dy, WHITE);
    }

    int hotX, hotY;
    std::vector<Cell> cells;
};

// The cursor file: XOR rows (white) then AND rows (clear), bottom row first,
// one bit a pixel over a two-colour palette.
inline bool saveCursor(const MonoCursor& c, const std::string& path)
{
    const int size = MonoCursor::kSize;
    std::vector<unsigned char> image;
    put32(image, 40);
    put32(image, size);
    put32(image, size * 2);
    put16(image, 1);
    put16(image, 1);
    for (int i = 0; i < 6; ++i)
        put32(image, 0);
    put32(image, 0x00000000);
    put32(image, 0x00FFFFFF);
    for (int pass = 0; pass < 2; ++pass)
        for (int y = size - 1; y >= 0; --y)
            for (int byte = 0; byte < size / 8; ++byte) {
                unsigned char bits = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const MonoCursor::Cell cell = c.get(byte * 8 + bit, y);
                    if (pass == 0 ? cell == MonoCursor::WHITE : cell == MonoCursor::CLEAR)
                        bits |= static_cast<unsigned char>(0x80 >> bit);
                }
                image.push_back(bits);
            }
    std::vector<unsigned char> out;
    put16(out, 0);
    put16(out, 2);
    put16(out, 1);
    out.push_back(static_cast<unsigned char>(size));
    out.push_back(static_cast<unsigned char>(size));
    out.push_back(2);
    out.push_back(0);
    put16(out, static_cast<unsigned>(c.hotX));
    put16(out, static_cast<unsigned>(c.hotY));
    put32(out, static_cast<uint32_t>(image.size()));
    put32(out, 6 + 16);
    out.insert(out.end(), image.begin(), image.end());
    return writeFile(path, out);
}

#endif
