// Build tool: draws kyt's tool-bar pictures, its icon and its two tool
// cursors into a folder, for the resource script. A picture fills its
// 27 x 25 button, one picture per button as the plot frame's are (the
// button greys it when disabled and moves it when pressed). The icon is 32 x 32 in true colour; the
// cursors are 32 x 32 black shapes with a white rim.
//
//   makekytimages FOLDER
#include "PictureFiles.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};

const int kPictureWidth = 27;
const int kPictureHeight = 25;
// The sign's 21 x 19 cell in the middle of the picture.
const int kSignLeft = 3;
const int kSignTop = 3;

// What a button shows: a sign in the command's colour.
enum Sign { SHEET, FOLDER, DISK, ARROW, CROSS, LINK, NAME, ZOOM_IN, ZOOM_OUT, GRID, PLAY, PLAY_TWICE, STOP };

struct Strip {
    int id;
    Sign sign;
    Rgb colour;
};

// The main tool bar's pictures; print (9001) and the plot window (136) are
// the plot frame's, which kyt links as well.
const Strip kStrips[] = {
    {9003, SHEET, {255, 255, 255}}, {111, FOLDER, {255, 255, 0}},  {112, DISK, {0, 0, 128}},
    {1267, ARROW, {0, 0, 0}},       {1268, CROSS, {255, 0, 0}},    {1269, LINK, {0, 0, 255}},
    {9011, NAME, {0, 128, 0}},      {9005, ZOOM_IN, {0, 0, 128}},  {9006, ZOOM_OUT, {0, 0, 128}},
    {9007, GRID, {0, 0, 0}},        {9008, PLAY, {0, 160, 0}},     {140, PLAY_TWICE, {0, 160, 0}},
    {9031, STOP, {255, 0, 0}},
};

void drawSign(Picture& p, int ox, int oy, Sign sign, Rgb c)
{
    auto f = [&](int x0, int y0, int x1, int y1, Rgb col) { p.fill(ox + x0, oy + y0, ox + x1, oy + y1, col); };
    auto fr = [&](int x0, int y0, int x1, int y1) { p.frame(ox + x0, oy + y0, ox + x1, oy + y1, kBlack); };
    switch (sign) {
    case SHEET:
        drawFileSign(p, ox, oy, FILE_SIGN_SHEET, c);
        break;
    case FOLDER:
        drawFileSign(p, ox, oy, FILE_SIGN_FOLDER, c);
        break;
    case DISK:
        drawFileSign(p, ox, oy, FILE_SIGN_DISK, c);
        break;
    case ARROW:
        for (int y = 0; y < 11; ++y)
            f(6, 3 + y, 6 + y * 2 / 3, 3 + y, c);
        f(9, 13, 10, 16, c);
        break;
    case CROSS:
        for (int i = 0; i < 11; ++i) {
            f(5 + i, 4 + i, 6 + i, 4 + i, c);
            f(15 - i, 4 + i, 16 - i, 4 + i, c);
        }
        break;
    case LINK:
        fr(2, 3, 6, 7);
        fr(14, 11, 18, 15);
        f(6, 5, 10, 5, c);
        f(10, 5, 10, 13, c);
        f(10, 13, 14, 13, c);
        break;
    case NAME:
        f(3, 5, 17, 13, kWhite);
        fr(3, 5, 17, 13);
        for (int x = 5; x <= 15; x += 3)
            f(x, 8, x + 1, 10, c);
        break;
    case ZOOM_IN:
    case ZOOM_OUT:
        fr(3, 2, 13, 12);
        f(12, 12, 16, 16, kBlack);
        f(5, 7, 11, 7, c);
        if (sign == ZOOM_IN)
            f(8, 4, 8, 10, c);
        break;
    case GRID:
        for (int y = 3; y <= 15; y += 4)
            for (int x = 4; x <= 16; x += 4)
                f(x, y, x, y, c);
        break;
    case PLAY:
        for (int i = 0; i < 7; ++i)
            f(6 + i, 3 + i, 6 + i, 15 - i, c);
        break;
    case PLAY_TWICE:
        for (int i = 0; i < 7; ++i) {
            f(3 + i, 3 + i, 3 + i, 15 - i, c);
            f(10 + i, 3 + i, 10 + i, 15 - i, c);
        }
        break;
    case STOP:
        f(5, 4, 15, 14, c);
        fr(5, 4, 15, 14);
        break;
    }
}

// A cursor's shape: its black pixels; the file gets them with a white rim.
typedef std::set<std::pair<int, int>> Shape;

bool saveCursor(const Shape& shape, int hotX, int hotY, const std::string& path)
{
    MonoCursor cursor(hotX, hotY);
    for (const auto& p : shape)
        cursor.set(p.first, p.second, MonoCursor::BLACK);
    cursor.rim();
    return saveCursor(cursor, path);
}

void line(Shape& s, int x0, int y0, int x1, int y1)
{
    const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= n; ++i)
        s.insert({x0 + (n ? (x1 - x0) * i / n : 0), y0 + (n ? (y1 - y0) * i / n : 0)});
}

// The delete tool: a cross.
Shape deleteCursor()
{
    Shape s;
    for (int d = 0; d <= 1; ++d) {
        line(s, 6 + d, 6, 24 + d, 24);
        line(s, 24 + d, 6, 6 + d, 24);
    }
    return s;
}

// The change-connections tool: a cross hair with a bent line.
Shape connectionsCursor()
{
    Shape s;
    line(s, 15, 5, 15, 25);
    line(s, 5, 15, 25, 15);
    line(s, 18, 22, 26, 22);
    line(s, 26, 22, 26, 28);
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: makekytimages FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const Strip& s : kStrips) {
        Picture picture(kPictureWidth, kPictureHeight);
        drawSign(picture, kSignLeft, kSignTop, s.sign, s.colour);
        if (!saveBmp(picture, folder + "/kyt" + std::to_string(s.id) + ".bmp")) {
            fprintf(stderr, "makekytimages: cannot write into %s\n", folder.c_str());
            return 1;
        }
    }
    // The icon: a block feeding another over a white sheet.
    Picture icon(32, 32);
    icon.fill(0, 0, 31, 31, {255, 255, 232});
    icon.fill(3, 10, 12, 20, {0, 0, 128});
    icon.fill(19, 10, 28, 20, {0, 0, 128});
    icon.fill(12, 15, 19, 15, kBlack);
    if (!saveIcon(icon, folder + "/kyt.ico") || !saveCursor(deleteCursor(), 15, 15, folder + "/kytdelete.cur") ||
        !saveCursor(connectionsCursor(), 15, 15, folder + "/kytconnections.cur")) {
        fprintf(stderr, "makekytimages: cannot write the icon or the cursors\n");
        return 1;
    }
    return 0;
}
