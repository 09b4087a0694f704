// Build tool: draws the eight tool-bar pictures of the identification
// result window into a folder, for the resource script: copy, hand-over, the
// three display modes G(z), G(s) with zero-order hold and with first-order
// hold, all digits, freeze and close. Each fills its 27 x 25 button, one
// picture per button (the button greys it when disabled).
//
//   makeidentwindowimages FOLDER
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
    unsigned char r, g, b;
};

const Rgb kFace = {192, 192, 192};
const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kNavy = {0, 0, 128};
const Rgb kGreen = {0, 128, 0};
const Rgb kRed = {192, 0, 0};
const Rgb kIce = {0, 96, 224};

const int kWidth = 27;
const int kHeight = 25;

class Picture {
public:
    Picture() : pixels(size_t(kWidth) * kHeight, kFace) {}

    void set(int x, int y, Rgb c)
    {
        if (x >= 0 && x < kWidth && y >= 0 && y < kHeight)
            pixels[size_t(y) * kWidth + x] = c;
    }
    void fill(int x0, int y0, int x1, int y1, Rgb c)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                set(x, y, c);
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
    void line(int x0, int y0, int x1, int y1, Rgb c)
    {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i)
            set(x0 + (x1 - x0) * i / (steps ? steps : 1), y0 + (y1 - y0) * i / (steps ? steps : 1), c);
    }

    // 24-bit, bottom row first, rows padded to four bytes.
    std::vector<unsigned char> dibBits() const
    {
        const int row = (kWidth * 3 + 3) / 4 * 4;
        std::vector<unsigned char> out;
        for (int y = kHeight - 1; y >= 0; --y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgb& c = pixels[size_t(y) * kWidth + x];
                out.push_back(c.b);
                out.push_back(c.g);
                out.push_back(c.r);
            }
            for (int pad = kWidth * 3; pad < row; ++pad)
                out.push_back(0);
        }
        return out;
    }

private:
    std::vector<Rgb> pixels;
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

void glyph(Picture& p, char c, int x, int y, Rgb colour)
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
void text(Picture& p, const std::string& t, Rgb colour)
{
    const int width = static_cast<int>(t.size()) * 8 - 2;
    int x = (kWidth - width) / 2;
    for (char c : t) {
        glyph(p, c, x, 7, colour);
        x += 8;
    }
}

void sheet(Picture& p, int x0, int y0, int x1, int y1)
{
    p.fill(x0, y0, x1, y1, kWhite);
    p.frame(x0, y0, x1, y1, kBlack);
    for (int y = y0 + 3; y < y1 - 1; y += 2)
        p.line(x0 + 2, y, x1 - 2, y, kNavy);
}

Picture copyPicture()
{
    Picture p;
    sheet(p, 4, 3, 15, 16);
    sheet(p, 11, 8, 22, 21);
    return p;
}

Picture handOverPicture()
{
    Picture p;
    sheet(p, 3, 4, 13, 20);
    // An arrow to the right, out of the sheet.
    p.fill(9, 11, 18, 13, kGreen);
    for (int i = 0; i < 5; ++i)
        p.line(18 + i, 7 + i, 18 + i, 17 - i, kGreen);
    return p;
}

Picture modePicture(const std::string& t, Rgb colour)
{
    Picture p;
    text(p, t, colour);
    return p;
}

Picture freezePicture()
{
    Picture p;
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

Picture closePicture()
{
    Picture p;
    p.frame(5, 3, 21, 21, kBlack);
    p.line(8, 6, 18, 18, kRed);
    p.line(9, 6, 19, 18, kRed);
    p.line(18, 6, 8, 18, kRed);
    p.line(19, 6, 9, 18, kRed);
    return p;
}

void put16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

bool saveBmp(const Picture& p, const std::string& path)
{
    const std::vector<unsigned char> bits = p.dibBits();
    std::vector<unsigned char> out = {'B', 'M'};
    put32(out, static_cast<uint32_t>(14 + 40 + bits.size()));
    put32(out, 0);
    put32(out, 14 + 40);
    put32(out, 40);
    put32(out, kWidth);
    put32(out, kHeight);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, static_cast<uint32_t>(bits.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    out.insert(out.end(), bits.begin(), bits.end());
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    return fclose(f) == 0 && ok;
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
        Picture picture;
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
