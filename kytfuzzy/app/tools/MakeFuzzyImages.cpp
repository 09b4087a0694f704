// Build tool: draws kytfuzzy's tool-bar strips and its icon into a folder,
// for the resource script. A strip has the six cells of a bitmap button
// (up, disabled, two pressed looks, latched, spare), each 21 x 19 pixels so
// that it sits inside the 27 x 25 button; the disabled cell is the picture in
// grays. The icons are 32 x 32 in true colour; the About box's pictures are
// drawn as colour fields with a few figures.
//
//   makefuzzyimages FOLDER
#include "PictureFiles.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const Rgb kFace = {192, 192, 192};
const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kDark = {128, 128, 128};

const int kCellWidth = 21;
const int kCellHeight = 19;
const int kCells = 6;

// What a button shows: a sign in the command's colour.
enum Sign {
    SHEET, FOLDER, DISK, PRINTER, NOTE, PLUS, MINUS, RULES, CURVE, WINDOW,
    TEXT_FILE, MATLAB_FILE, ARROW_LEFT, ARROW_UP, ARROW_DOWN, ARROW_RIGHT, HOME, GRID,
    SCISSORS, TWO_SHEETS, CLIPBOARD, CHECK_MARK, INFO, QUESTION
};

struct Strip {
    int id;
    Sign sign;
    Rgb colour;
};

const Strip kStrips[] = {
    {9003, SHEET, {255, 255, 255}}, {110, FOLDER, {255, 255, 0}}, {113, DISK, {0, 0, 128}},
    {9101, PRINTER, {64, 64, 64}},  {144, NOTE, {255, 255, 128}}, {117, PLUS, {0, 128, 0}},
    {118, PLUS, {0, 0, 255}},       {120, MINUS, {128, 0, 0}},    {121, MINUS, {255, 0, 0}},
    {116, RULES, {0, 128, 128}},    {138, CURVE, {255, 0, 0}},    {124, WINDOW, {0, 0, 255}},
    // The surface window's tool bar.
    {11048, TEXT_FILE, {0, 0, 0}},      {18012, MATLAB_FILE, {0, 0, 160}}, {18232, ARROW_LEFT, {0, 96, 0}},
    {18231, ARROW_UP, {0, 96, 0}},      {18233, ARROW_DOWN, {0, 96, 0}},   {18234, ARROW_RIGHT, {0, 96, 0}},
    {18013, HOME, {128, 0, 0}},         {9011, GRID, {0, 0, 0}},
    // The rule editor's tool bar. Cut is 9126 and the block information
    // 9110: 126 and 9010 are the plot windows' pictures, which kytfuzzy
    // carries too.
    {9126, SCISSORS, {0, 0, 128}},      {127, TWO_SHEETS, {255, 255, 255}}, {128, CLIPBOARD, {160, 96, 32}},
    {9013, CHECK_MARK, {0, 144, 0}},    {9110, INFO, {0, 0, 192}},          {9012, QUESTION, {0, 0, 192}},
};

void drawSign(Picture& p, int ox, Sign sign, Rgb c)
{
    auto f = [&](int x0, int y0, int x1, int y1, Rgb col) { p.fill(ox + x0, y0, ox + x1, y1, col); };
    auto fr = [&](int x0, int y0, int x1, int y1) { p.frame(ox + x0, y0, ox + x1, y1, kBlack); };
    switch (sign) {
    case SHEET:
        drawFileSign(p, ox, 0, FILE_SIGN_SHEET, c);
        break;
    case FOLDER:
        drawFileSign(p, ox, 0, FILE_SIGN_FOLDER, c);
        break;
    case DISK:
        drawFileSign(p, ox, 0, FILE_SIGN_DISK, c);
        break;
    case PRINTER:
        f(6, 2, 14, 7, kWhite);
        fr(6, 2, 14, 7);
        f(3, 8, 17, 14, c);
        fr(3, 8, 17, 14);
        break;
    case NOTE:
        f(3, 3, 17, 15, c);
        fr(3, 3, 17, 15);
        for (int y = 6; y <= 12; y += 3)
            f(5, y, 15, y, kBlack);
        break;
    case PLUS:
        f(9, 3, 11, 15, c);
        f(4, 8, 16, 10, c);
        break;
    case MINUS:
        f(4, 8, 16, 10, c);
        fr(3, 7, 17, 11);
        break;
    case RULES:
        f(3, 2, 17, 16, kWhite);
        fr(3, 2, 17, 16);
        for (int y = 5; y <= 13; y += 4)
            f(5, y, 15, y + 1, c);
        break;
    case CURVE:
        fr(2, 2, 18, 16);
        for (int x = 3; x <= 17; ++x) {
            const int y = 14 - (x - 3) * (x - 3) / 20;
            f(x, y, x, y + 1, c);
        }
        break;
    case WINDOW:
        f(3, 3, 17, 6, c);
        f(3, 7, 17, 15, kWhite);
        fr(3, 3, 17, 15);
        break;
    case TEXT_FILE:
    case MATLAB_FILE:
        f(4, 1, 16, 17, kWhite);
        fr(4, 1, 16, 17);
        for (int y = 4; y <= 14; y += 2)
            f(6, y, sign == TEXT_FILE ? 14 : 10, y, c);
        if (sign == MATLAB_FILE) {
            f(11, 9, 15, 15, {255, 128, 0});
            fr(11, 9, 15, 15);
        }
        break;
    case ARROW_LEFT:
    case ARROW_RIGHT:
        for (int i = 0; i <= 6; ++i) {
            const int x = sign == ARROW_LEFT ? 3 + i : 17 - i;
            f(x, 9 - i, x, 9 + i, c);
        }
        f(sign == ARROW_LEFT ? 10 : 4, 7, sign == ARROW_LEFT ? 16 : 10, 11, c);
        break;
    case ARROW_UP:
    case ARROW_DOWN:
        for (int i = 0; i <= 6; ++i) {
            const int y = sign == ARROW_UP ? 2 + i : 16 - i;
            f(10 - i, y, 10 + i, y, c);
        }
        f(8, sign == ARROW_UP ? 9 : 3, 12, sign == ARROW_UP ? 16 : 9, c);
        break;
    case HOME:
        for (int i = 0; i <= 7; ++i)
            f(10 - i, 2 + i, 10 + i, 2 + i, c);
        f(5, 10, 15, 16, kWhite);
        fr(5, 10, 15, 16);
        f(9, 12, 11, 16, c);
        break;
    case GRID:
        for (int k = 3; k <= 17; k += 4) {
            f(3, k - 1, 17, k - 1, c);
            f(k, 2, k, 16, c);
        }
        break;
    case SCISSORS:
        // Two blades crossing over two finger rings.
        for (int i = 0; i <= 9; ++i) {
            f(5 + i / 2, 2 + i, 6 + i / 2, 2 + i, kBlack);
            f(15 - i / 2 - 1, 2 + i, 15 - i / 2, 2 + i, kBlack);
        }
        fr(3, 11, 8, 16);
        fr(12, 11, 17, 16);
        f(4, 12, 7, 15, c);
        f(13, 12, 16, 15, c);
        break;
    case TWO_SHEETS:
        f(3, 2, 11, 12, c);
        fr(3, 2, 11, 12);
        f(8, 6, 16, 16, c);
        fr(8, 6, 16, 16);
        for (int y = 9; y <= 13; y += 2)
            f(10, y, 14, y, kBlack);
        break;
    case CLIPBOARD:
        f(3, 3, 15, 16, c);
        fr(3, 3, 15, 16);
        f(6, 1, 12, 4, kDark);
        fr(6, 1, 12, 4);
        f(9, 7, 17, 17, kWhite);
        fr(9, 7, 17, 17);
        for (int y = 10; y <= 14; y += 2)
            f(11, y, 15, y, kBlack);
        break;
    case CHECK_MARK:
        // A sheet of rules with a tick over it.
        f(3, 2, 13, 16, kWhite);
        fr(3, 2, 13, 16);
        for (int y = 5; y <= 13; y += 4)
            f(5, y, 11, y, kDark);
        for (int i = 0; i <= 3; ++i)
            f(8 + i, 10 + i, 9 + i, 11 + i, c);
        for (int i = 0; i <= 6; ++i)
            f(12 + i, 12 - 2 * i, 13 + i, 13 - 2 * i, c);
        break;
    case INFO:
        f(4, 2, 16, 16, kWhite);
        fr(4, 2, 16, 16);
        f(9, 4, 11, 6, c);
        f(8, 8, 11, 8, c);
        f(9, 9, 11, 13, c);
        f(8, 14, 12, 14, c);
        break;
    case QUESTION:
        f(7, 3, 13, 4, c);
        f(6, 4, 7, 7, c);
        f(13, 4, 14, 8, c);
        f(11, 8, 13, 9, c);
        f(9, 9, 11, 11, c);
        f(9, 14, 11, 16, c);
        break;
    }
}

Rgb gray(Rgb c)
{
    // Drawn lines stay visible as dark gray; light areas become the face.
    const int level = (c.r * 30 + c.g * 59 + c.b * 11) / 100;
    if (c.r == kFace.r && c.g == kFace.g && c.b == kFace.b)
        return c;
    return level < 100 ? kDark : kFace;
}

// A black bar with a white border, drawn into a cursor.
void bar(MonoCursor& c, int x0, int y0, int x1, int y1)
{
    for (int y = y0 - 1; y <= y1 + 1; ++y)
        for (int x = x0 - 1; x <= x1 + 1; ++x)
            if (y >= 0 && y < MonoCursor::kSize && x >= 0 && x < MonoCursor::kSize && c.get(x, y) == MonoCursor::CLEAR)
                c.set(x, y, MonoCursor::WHITE);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            c.set(x, y, MonoCursor::BLACK);
}

// The membership graphic's cursors: 147 a cross hair over the page, 148 a
// pointing cross over a set, 150 the four-way arrow over a support point.
bool saveCursors(const std::string& folder)
{
    MonoCursor cross(15, 15);
    bar(cross, 15, 4, 15, 26);
    bar(cross, 4, 15, 26, 15);
    MonoCursor pick(15, 15);
    bar(pick, 15, 2, 15, 28);
    bar(pick, 2, 15, 28, 15);
    bar(pick, 11, 11, 19, 11);
    bar(pick, 11, 19, 19, 19);
    bar(pick, 11, 11, 11, 19);
    bar(pick, 19, 11, 19, 19);
    MonoCursor move(15, 15);
    bar(move, 15, 3, 15, 27);
    bar(move, 3, 15, 27, 15);
    for (int i = 1; i <= 4; ++i) {
        bar(move, 15 - i, 3 + i, 15 + i, 3 + i);
        bar(move, 15 - i, 27 - i, 15 + i, 27 - i);
        bar(move, 3 + i, 15 - i, 3 + i, 15 + i);
        bar(move, 27 - i, 15 - i, 27 - i, 15 + i);
    }
    return saveCursor(cross, folder + "/fuzzy147.cur") && saveCursor(pick, folder + "/fuzzy148.cur") &&
           saveCursor(move, folder + "/fuzzy150.cur");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: makefuzzyimages FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const Strip& s : kStrips) {
        Picture strip(kCellWidth * kCells, kCellHeight);
        for (int cell = 0; cell < kCells; ++cell)
            drawSign(strip, cell * kCellWidth, s.sign, s.colour);
        for (int y = 0; y < kCellHeight; ++y)
            for (int x = kCellWidth; x < 2 * kCellWidth; ++x)
                strip.set(x, y, gray(strip.get(x, y)));
        if (!saveBmp(strip, folder + "/fuzzy" + std::to_string(s.id) + ".bmp")) {
            fprintf(stderr, "makefuzzyimages: cannot write into %s\n", folder.c_str());
            return 1;
        }
    }
    // The icon: a membership triangle over an axis.
    Picture icon(32, 32);
    icon.fill(0, 0, 31, 31, {0, 0, 128});
    for (int x = 4; x <= 27; ++x) {
        const int h = x <= 16 ? (x - 4) * 2 : (27 - x) * 2;
        icon.fill(x, 27 - h, x, 27, {255, 255, 0});
    }
    icon.fill(2, 28, 29, 29, kWhite);
    if (!saveIcon(icon, folder + "/kytfuzzy.ico")) {
        fprintf(stderr, "makefuzzyimages: cannot write the icon\n");
        return 1;
    }
    // The rule editor's icon: a sheet of rules, IF ... THEN, in the
    // program's colours.
    Picture rules(32, 32);
    rules.fill(0, 0, 31, 31, {0, 0, 128});
    rules.fill(5, 2, 26, 29, kWhite);
    rules.frame(5, 2, 26, 29, kBlack);
    for (int y = 7; y <= 25; y += 6) {
        rules.fill(8, y, 12, y + 2, {255, 0, 0});
        rules.fill(14, y + 1, 23, y + 1, kBlack);
    }
    if (!saveIcon(rules, folder + "/rules.ico")) {
        fprintf(stderr, "makefuzzyimages: cannot write the icon\n");
        return 1;
    }
    // The surface window's icon: a coloured hill in a box.
    Picture hill(32, 32);
    hill.fill(0, 0, 31, 31, {255, 255, 232});
    for (int x = 3; x <= 28; ++x) {
        const int h = 20 - ((x - 16) * (x - 16)) / 9;
        for (int y = 28 - h; y <= 28; ++y)
            hill.set(x, y, y < 16 ? Rgb{255, 255, 0} : (y < 22 ? Rgb{255, 0, 0} : Rgb{0, 160, 0}));
    }
    hill.frame(2, 2, 29, 29, kBlack);
    if (!saveIcon(hill, folder + "/surface.ico")) {
        fprintf(stderr, "makefuzzyimages: cannot write the icon\n");
        return 1;
    }
    // The About box's picture (its text is drawn over the lower half) and
    // the three credit pictures.
    Picture about(360, 470);
    for (int y = 0; y < 470; ++y)
        for (int x = 0; x < 360; ++x)
            about.set(x, y, {static_cast<unsigned char>(40 + y / 3), static_cast<unsigned char>(90 + y / 5),
                             static_cast<unsigned char>(210 - y / 8)});
    // A control surface's hill over the text.
    for (int x = 40; x <= 320; ++x) {
        const int d = x - 180;
        const int top = 30 + (d * d) / 200;
        for (int y = top; y <= 130; ++y)
            about.set(x, y, y < 60 ? Rgb{255, 255, 0} : (y < 95 ? Rgb{255, 0, 0} : Rgb{0, 160, 0}));
    }
    about.frame(0, 0, 359, 469, kBlack);
    const struct {
        int id;
        Rgb colour;
    } credits[] = {{159, {0, 0, 0}}, {151, {255, 200, 120}}, {155, {150, 220, 150}}, {149, {170, 190, 255}}};
    for (const auto& c : credits) {
        bool ok;
        if (c.id == 159) {
            ok = saveBmp(about, folder + "/about159.bmp");
        } else {
            Picture p(200, 150);
            p.fill(0, 0, 199, 149, c.colour);
            for (int k = 0; k < 5; ++k)
                p.fill(20 + k * 36, 110 - k * 18, 44 + k * 36, 130, {static_cast<unsigned char>(60 + k * 40), 40, 120});
            p.frame(0, 0, 199, 149, kBlack);
            ok = saveBmp(p, folder + "/about" + std::to_string(c.id) + ".bmp");
        }
        if (!ok) {
            fprintf(stderr, "makefuzzyimages: cannot write the pictures\n");
            return 1;
        }
    }
    if (!saveCursors(folder)) {
        fprintf(stderr, "makefuzzyimages: cannot write the cursors\n");
        return 1;
    }
    return 0;
}
