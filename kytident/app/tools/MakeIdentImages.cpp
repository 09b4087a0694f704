// Build tool: draws kytident's icon and the picture of its About box into a
// folder, as 24-bit files the resource compiler reads. The icon shows a
// sampled step response, the picture the same curve large over a dark
// field, with room for the lines the box draws over it.
//
//   makeidentimages FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
    unsigned char r, g, b;
};

struct Picture {
    Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * h, Rgb{0, 0, 0}) {}
    void fill(int x0, int y0, int x1, int y1, Rgb c)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (x >= 0 && y >= 0 && x < width && y < height)
                    pixels[size_t(y) * width + x] = c;
    }
    // Rows bottom-up, BGR, each padded to four bytes.
    std::vector<unsigned char> dibBits() const
    {
        const int row = (width * 3 + 3) / 4 * 4;
        std::vector<unsigned char> out(size_t(row) * height, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgb& p = pixels[size_t(y) * width + x];
                unsigned char* q = &out[size_t(height - 1 - y) * row + size_t(x) * 3];
                q[0] = p.b;
                q[1] = p.g;
                q[2] = p.r;
            }
        return out;
    }
    int width, height;
    std::vector<Rgb> pixels;
};

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

void infoHeader(std::vector<unsigned char>& out, int w, int h, uint32_t size)
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

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool saveBmp(const Picture& p, const std::string& path)
{
    const std::vector<unsigned char> bits = p.dibBits();
    std::vector<unsigned char> out = {'B', 'M'};
    put32(out, static_cast<uint32_t>(14 + 40 + bits.size()));
    put32(out, 0);
    put32(out, 14 + 40);
    infoHeader(out, p.width, p.height, static_cast<uint32_t>(bits.size()));
    out.insert(out.end(), bits.begin(), bits.end());
    return writeFile(path, out);
}

// A 24-bit icon with an all-opaque mask.
bool saveIcon(const Picture& p, const std::string& path)
{
    const std::vector<unsigned char> bits = p.dibBits();
    const int maskRow = (p.width + 31) / 32 * 4;
    const uint32_t size = static_cast<uint32_t>(40 + bits.size() + size_t(maskRow) * p.height);
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

// Samples of a second-order step response as bars from the base line.
void drawSteps(Picture& p, int x0, int base, int width, int height, int step, Rgb colour)
{
    for (int x = 0; x < width; x += step) {
        const double t = 6.0 * x / width;
        const double y = 1.0 - std::exp(-t) * (std::cos(1.5 * t) + std::sin(1.5 * t) / 1.5);
        const int top = base - static_cast<int>(y * height);
        p.fill(x0 + x, top, x0 + x + step / 2, base, colour);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: makeidentimages FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Rgb navy = {0, 0, 128}, yellow = {255, 255, 0}, white = {255, 255, 255}, teal = {0, 96, 128};

    Picture icon(32, 32);
    icon.fill(0, 0, 31, 31, navy);
    icon.fill(2, 28, 29, 29, white);
    drawSteps(icon, 3, 27, 27, 18, 3, yellow);

    // The step response over the upper part; the build and credit lines are
    // drawn in black over the light lower part.
    Picture about(360, 470);
    for (int y = 0; y < about.height; ++y) {
        const Rgb shade = y < 140 ? Rgb{0, static_cast<unsigned char>(32 + y / 3), 96}
                                  : Rgb{static_cast<unsigned char>(200 + (y - 140) / 8), 230, 220};
        about.fill(0, y, about.width - 1, y, shade);
    }
    about.fill(30, 130, 330, 131, white);
    drawSteps(about, 32, 128, 296, 90, 6, yellow);
    about.fill(30, 24, 31, 131, teal);

    if (!saveIcon(icon, folder + "/kytident.ico") || !saveBmp(about, folder + "/identabout.bmp")) {
        fprintf(stderr, "makeidentimages: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
