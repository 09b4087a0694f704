// Blocks painted through the canvas adapter into a memory context at zoom
// 15: plain with an icon program, mirrored, marked, highlighted, text,
// filled frame, bitmap icon and one with a recorded parameter. The picture
// is saved; fills, the mark dot, the thick edges, the signal names and the
// dragged outline are read back from the pixels.
#include "Bitmap.h"
#include "BlockObject.h"
#include "DcCanvas.h"
#include "Icon.h"
#include "SignalNameRegistry.h"
#include "WineCheck.h"
#include "Workspace.h"

#include <memory>
#include <string>
#include <vector>

using winecheck::check;

namespace {

const int kZoom = 15;
const std::string kFixtures = KYT_FIXTURES;
const COLORREF kBackground = RGB(240, 240, 200);

std::unique_ptr<BlockObject> block(const char* file, int x, int y)
{
    std::string path = kFixtures + "/standard/" + file;
    return std::unique_ptr<BlockObject>(new BlockObject(Point(x, y), Point(0, 0), path.c_str(), "Standard"));
}

// The block's pixel rectangle.
RECT pixels(const BlockObject& b)
{
    RECT r = {b.getPosition().x() * kZoom, b.getPosition().y() * kZoom,
              (b.getPosition().x() + b.getWidth()) * kZoom, (b.getPosition().y() + b.getHeight()) * kZoom};
    return r;
}

bool anyPixel(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    RECT area = {left, top, right, bottom};
    return winecheck::countPixels(dc, area, colour) > 0;
}

} // namespace

int main(int argc, char** argv)
{
    winecheck::startWatchdog(60);
    const std::string picture = argc > 1 ? argv[1] : "";

    Workspace workspace;
    readInstallationFile(workspace, (kFixtures + "/kyt.ini").c_str());
    setWorkspace(&workspace);
    SignalNameRegistry registry;
    sNBase = &registry;
    IconStore icons;
    iconBase = &icons;

    HDC screen = GetDC(nullptr);
    HBITMAP surface = CreateCompatibleBitmap(screen, 600, 400);
    ReleaseDC(nullptr, screen);
    MemoryDC memory(new Bitmap(surface));
    memory.attach();
    RECT all = {0, 0, 600, 400};
    HBRUSH background = CreateSolidBrush(kBackground);
    FillRect(memory.hdc, &all, background);
    DeleteObject(background);

    std::vector<std::unique_ptr<BlockObject>> blocks;
    blocks.push_back(block("pt1.blk", 1, 1));      // 0 plain, icon program
    blocks.push_back(block("pid.blk", 10, 1));     // 1 mirrored
    blocks.push_back(block("sprung.blk", 19, 1));  // 2 marked
    blocks.push_back(block("sprung.blk", 26, 1));  // 3 highlighted
    blocks.push_back(block("text.blk", 1, 9));     // 4 text
    blocks.push_back(block("frame.blk", 10, 9));   // 5 filled frame
    blocks.push_back(block("mimo.blk", 20, 9));    // 6 bitmap icon
    blocks.push_back(block("pt1.blk", 30, 9));     // 7 recorded parameter
    blocks[2]->markWord = 1;
    blocks[3]->highlightWord = 1;
    blocks[7]->symbolMarks[blocks[7]->symbolMarkIndex(SYMBOL_PARAMETER, 1)] = 1;
    for (const auto& b : blocks)
        check(b->errorFlag == 0, "the block description is read");

    ContextPane pane(memory);
    for (const auto& b : blocks)
        b->paint(pane, kZoom, kZoom);
    HDC dc = memory.hdc;

    const RECT plain = pixels(*blocks[0]);
    check(GetPixel(dc, plain.left + 4, plain.top + 4) == RGB(255, 255, 255), "a plain block is filled white");
    check(GetPixel(dc, plain.right - 1, plain.top + 4) == RGB(0, 0, 0) &&
              GetPixel(dc, plain.right, plain.top + 4) == RGB(0, 0, 0),
          "its right edge is two pixels of black");
    check(anyPixel(dc, plain.right + 2, plain.top + 2 * kZoom, plain.right + 2 * kZoom, plain.top + 3 * kZoom,
                   RGB(0, 0, 255)),
          "the output's name is blue, right of its row");
    check(anyPixel(dc, plain.left + kZoom, plain.top + 5, plain.right - kZoom, plain.bottom - 20, RGB(0, 0, 255)),
          "the icon program draws in its blue pen");

    const RECT mirrored = pixels(*blocks[1]);
    check(GetPixel(dc, mirrored.right, mirrored.top + 4) == RGB(0, 0, 0), "the mirrored block's right edge is black");
    check(anyPixel(dc, mirrored.left - 2 * kZoom, mirrored.top + kZoom, mirrored.left - 1, mirrored.bottom,
                   RGB(0, 0, 255)),
          "the mirrored block names its output on the left");
    check(!anyPixel(dc, mirrored.right + 2, mirrored.top, mirrored.right + 2 * kZoom, mirrored.bottom, RGB(0, 0, 255)),
          "and nothing on the right");

    const RECT marked = pixels(*blocks[2]);
    check(GetPixel(dc, marked.left + 4, marked.top + 4) == RGB(192, 192, 192), "a marked block is light grey");
    check(GetPixel(dc, marked.right, marked.top + 4) == RGB(0, 0, 0), "its right edge is black");
    const RECT highlighted = pixels(*blocks[3]);
    check(GetPixel(dc, highlighted.left + 4, highlighted.top + 4) == RGB(255, 0, 0), "a highlighted block is red");

    const RECT text = pixels(*blocks[4]);
    check(anyPixel(dc, text.left, text.top, text.right, text.bottom, RGB(0, 0, 0)), "the text block shows its text");
    check(GetPixel(dc, text.right, text.top + 2) == kBackground, "a text block has no frame");

    const RECT frame = pixels(*blocks[5]);
    check(GetPixel(dc, frame.right - 4, frame.bottom - 4) == RGB(255, 255, 0), "the frame block has its fill");
    check(GetPixel(dc, frame.left, frame.bottom - 4) == RGB(0, 0, 128), "and its outline colour");

    const RECT bitmap = pixels(*blocks[6]);
    check(anyPixel(dc, bitmap.left, bitmap.top, bitmap.right, bitmap.bottom, RGB(0, 0, 255)) &&
              anyPixel(dc, bitmap.left, bitmap.top, bitmap.right, bitmap.bottom, RGB(255, 255, 0)),
          "the bitmap icon is stretched into the block");

    const RECT recorded = pixels(*blocks[7]);
    const int r = static_cast<int>(0.2 * kZoom);
    check(GetPixel(dc, recorded.right - r, recorded.top + r) == RGB(255, 0, 0), "the red dot's centre");
    check(GetPixel(dc, plain.right - r, plain.top + r) != RGB(255, 0, 0), "no dot without a recorded symbol");

    winecheck::savePicture(dc, 0, 0, 600, 400, picture);

    // The outline of a dragged block, drawn twice, leaves every pixel.
    std::vector<COLORREF> before;
    for (int y = 0; y < 400; y += 2)
        for (int x = 0; x < 600; x += 2)
            before.push_back(GetPixel(dc, x, y));
    DcCanvas canvas(memory);
    int rop = memory.setROP2(R2_COPYPEN);
    for (int i = 0; i < 2; ++i)
        blocks[0]->paintTo(canvas, Point(20, 20), Point(200, 150), kZoom, kZoom);
    bool same = true;
    size_t k = 0;
    for (int y = 0; y < 400; y += 2)
        for (int x = 0; x < 600; x += 2)
            same = same && before[k++] == GetPixel(dc, x, y);
    check(same, "paintTo twice changes no pixel");
    check(memory.setROP2(rop) == R2_COPYPEN, "paintTo restores the raster operation");

    blocks.clear();
    check(registry.count() == 0, "the blocks' signal names are freed");
    memory.release();
    iconBase = nullptr;
    sNBase = nullptr;
    setWorkspace(nullptr);
    return winecheck::summary();
}
