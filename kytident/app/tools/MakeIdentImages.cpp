// Build tool: draws kytident's icon and the picture of its About box into a
// folder, as 24-bit files the resource compiler reads. The icon shows a
// sampled step response, the picture the same curve large over a dark
// field, with room for the lines the box draws over it.
//
//   makeidentimages FOLDER
#include "PictureFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

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
