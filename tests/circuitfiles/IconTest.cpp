// The icon language: parsing into draw operations, the extent, drawing into
// a rectangle, and the icon store.
#include "CircuitTestSupport.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> drawn(const char* program, int x, int y, int w, int h)
{
    IconStore store;
    store.add(program, "p");
    RecordingCanvas dc;
    store.draw("P", dc, x, y, w, h);
    EXPECT_TRUE(dc.pens.empty());
    EXPECT_TRUE(dc.brushes.empty());
    return dc.ops;
}

// The drawing operations only, without pens and fills.
std::vector<std::string> strokes(const std::vector<std::string>& ops)
{
    std::vector<std::string> out;
    for (const std::string& op : ops)
        if (op.compare(0, 3, "pen") && op.compare(0, 5, "brush") && op.compare(0, 3, "pop"))
            out.push_back(op);
    return out;
}

typedef std::vector<std::string> Ops;

} // namespace

TEST(IconLanguage, Extent)
{
    struct Case {
        const char* program;
        double width, height, margin;
    } const cases[] = {
        {"", 1, 1, 1},
        {"MT 0 0 LT 10 10", 10, 10, 1},
        {"EL 10 4", 10, 4, 1},
        {"LS 1 3 MT 0 0 LT 1 1", 1, 1, 3},
        // A mended fault: the maxima started above zero.
        {"MT -10 -10 LT -2 -2", 8, 8, 1},
        {"MT 0 0 LT 0 10", 0, 10, 1},
        {"MT 2 3 RT 4 5", 4, 5, 1},
        {"XX 1 2 FS 1 2 LC 3", 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        Icon icon(c.program, "i");
        EXPECT_DOUBLE_EQ(c.width, icon.getMaxWidth());
        EXPECT_DOUBLE_EQ(c.height, icon.getMaxHeight());
        EXPECT_DOUBLE_EQ(c.margin, icon.getMargin());
    }
}

TEST(IconLanguage, ParsingSeparatorsAndMissingArguments)
{
    auto same = [](const char* a, const char* b) {
        auto x = parseIconProgram(a), y = parseIconProgram(b);
        if (x.size() != y.size())
            return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (x[i].command != y[i].command || x[i].a != y[i].a || x[i].b != y[i].b)
                return false;
        return true;
    };
    EXPECT_TRUE(same("MT 0,0;LT 5 5", "MT 0 0 LT 5 5"));
    EXPECT_TRUE(same("MT 1 2\r\n\nLT 3 4", "MT 1 2 LT 3 4"));
    EXPECT_TRUE(same("MT 1 2 ZZ LT 3 4", "MT 1 2 LT 3 4"));
    // A missing argument keeps the value the previous command had there.
    auto ops = parseIconProgram("MT 7 8 LT 9");
    ASSERT_EQ(2u, ops.size());
    EXPECT_EQ(9, ops[1].a);
    EXPECT_EQ(8, ops[1].b);
    ops = parseIconProgram("LC 3 LT");
    ASSERT_EQ(2u, ops.size());
    EXPECT_EQ(ICON_LC, ops[0].command);
    EXPECT_EQ(3, ops[1].a);
    EXPECT_EQ(0, ops[1].b);
    // Lower case is no command.
    EXPECT_TRUE(parseIconProgram("mt 1 1").empty());
}

TEST(IconLanguage, DrawingIntoARectangle)
{
    EXPECT_EQ((Ops{"pen 0 1 0,0,0", "brush 101 0,0,0", "moveTo 101 201", "lineTo 139 239", "popBrush", "popPen"}),
              drawn("MT 0 0 LT 10 10", 100, 200, 40, 40));
    // Centred on the rectangle's top-left inner corner.
    EXPECT_EQ((Ops{"ellipseBox -18 -8 20 10"}), strokes(drawn("EL 10 4", 0, 0, 40, 20)));
    // The wider pen widens the margin; the colour table; black for others.
    EXPECT_EQ((Ops{"pen 0 1 0,0,0", "brush 101 0,0,0", "popPen", "pen 1 3 0,0,0", "popPen", "pen 1 3 0,0,255",
                   "popPen", "pen 1 3 0,0,0", "moveTo 3 3", "lineTo 37 37", "popBrush", "popPen"}),
              drawn("LS 2 3 LC 3 LC 9 MT 0 0 LT 10 10", 0, 0, 40, 40));
    EXPECT_EQ((Ops{"pen 0 1 0,0,0", "brush 101 0,0,0", "popBrush", "brush 4 255,0,0", "moveTo 1 1",
                   "rectangle 1 1 21 11",
                   "popBrush", "brush 101 0,0,0", "popBrush", "popPen"}),
              drawn("FS 3 1 MT 0 0 RT 10 5 FS 7 2", 0, 0, 22, 12));
}

TEST(IconLanguage, DegenerateProgramsDrawNothing)
{
    // Zero width: no scale can be taken (UBSan watches the division).
    EXPECT_TRUE(strokes(drawn("MT 0 0 LT 0 10", 0, 0, 40, 40)).empty());
    EXPECT_TRUE(strokes(drawn("", 0, 0, 40, 40)).empty());
    EXPECT_TRUE(drawn("LC 3", 0, 0, 40, 40).empty());
    // A coordinate no int holds is passed over; the line after it starts
    // afresh.
    EXPECT_EQ((Ops{"moveTo 1 1", "lineTo 39 39", "moveTo 1 39"}),
              strokes(drawn("MT 0 0 LT 10 10 LT 1e999 5 LT 0 10", 0, 0, 40, 40)));
    // An extent no double holds draws nothing.
    EXPECT_TRUE(strokes(drawn("MT 0 0 LT 1e308 1e308 LT -1e308 -1e308", 0, 0, 40, 40)).empty());
    // A rectangle narrower than its margins turns the picture over.
    auto ops = strokes(drawn("MT 0 0 LT 1 1", 0, 0, 1, 1));
    EXPECT_EQ((Ops{"moveTo 1 1", "lineTo 0 0"}), ops);
}

TEST(IconStore, FilesAndNames)
{
    CircuitWorld world;
    IconStore& store = world.icons;
    EXPECT_EQ(1, store.find("*** no pic ***"));
    store.loadFile((kFixtures + "\\icons\\PT1.ICO").c_str());
    ASSERT_EQ(1, store.find("pt1.ico"));
    EXPECT_EQ(0, store.get("pt1.ico")->getKind());
    EXPECT_STREQ("pt1.ico", store.get("PT1.ico")->getName().text());
    // Once in the store, a program is not loaded again.
    int count = store.count();
    store.loadFile((kFixtures + "/icons/pt1.ico").c_str());
    EXPECT_EQ(count, store.count());
    // A missing file adds nothing.
    store.loadFile((kFixtures + "/icons/fehlt.ico").c_str());
    EXPECT_EQ(count, store.count());
    EXPECT_EQ(0, store.find("fehlt.ico"));
    // A bitmap is stretched into the rectangle.
    store.loadFile((kFixtures + "/icons/bild.bmp").c_str());
    ASSERT_EQ(1, store.find("bild.bmp"));
    RecordingCanvas dc;
    store.draw("BILD.BMP", dc, 1, 2, 30, 40);
    EXPECT_EQ((Ops{"bitmap " + kFixtures + "/icons/bild.bmp 1 2 30 40"}), dc.ops);
    dc.ops.clear();
    store.draw("unbekannt", dc, 1, 2, 30, 40);
    store.draw("*** NO PIC ***", dc, 1, 2, 30, 40);
    EXPECT_TRUE(dc.ops.empty());
}

TEST(IconStore, BlocksLoadTheirIconsFromTheIconDirectory)
{
    CircuitWorld world;
    auto pt1 = world.block("pt1.blk");
    EXPECT_STREQ("pt1.ico", pt1->getIconName().text());
    EXPECT_EQ(1, world.icons.find("pt1.ico"));
    auto mimo = world.block("mimo.blk");
    ASSERT_EQ(1, world.icons.find("bild.bmp"));
    EXPECT_EQ(1, world.icons.get("bild.bmp")->getKind());
}
