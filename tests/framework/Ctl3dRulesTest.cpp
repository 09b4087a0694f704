// The window-free rules of the 3-D controls, the tool bar and the status bar.
#include "BarLayout.h"
#include "Ctl3dRules.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

Rect placed(const Geometry* g)
{
    return Rect(g->x, g->y, g->x + g->width, g->y + g->height);
}

struct Bar {
    Layout bar{0, 0, 600, 30};
    BarLayout* arranger = new BarLayout(1);
    std::vector<std::unique_ptr<BarItemLayout>> items;
    Bar() { bar.setArranger(arranger); }
    BarItemLayout* add(int n, int w, int h)
    {
        items.emplace_back(new BarItemLayout(n, Point(w, h), &bar));
        return items.back().get();
    }
    void run()
    {
        Rect r(0, 0, bar.width, bar.height);
        bar.layout(&r);
    }
};

TEST(BarLayoutTest, MissingNumberLeavesOneStep)
{
    Bar b;
    b.arranger->setMargins(0, 0);
    b.arranger->setDefaultStep(10, 0);
    BarItemLayout* one = b.add(1, 20, 10);
    BarItemLayout* two = b.add(2, 20, 10);
    BarItemLayout* four = b.add(4, 20, 10);
    b.run();
    EXPECT_EQ(0, one->x);
    EXPECT_EQ(20, two->x);
    EXPECT_EQ(50, four->x) << "a 10-pixel gap where 3 would be";
    EXPECT_EQ(10, one->y) << "centred across the bar";
}

TEST(BarLayoutTest, WidthZeroTakesTheRestAndMinusOneTheStep)
{
    Bar b;
    b.arranger->setMargins(4, 1);
    b.arranger->setDefaultStep(25, 20);
    b.add(1, 30, 20);
    BarItemLayout* step = b.add(2, -1, -1);
    BarItemLayout* rest = b.add(3, 0, 20);
    b.run();
    EXPECT_EQ(Rect(34, 5, 59, 25), placed(step));
    EXPECT_EQ(59, rest->x);
    EXPECT_EQ(596, rest->x + rest->width) << "up to the right margin";
}

TEST(BarLayoutTest, MainBarSequence)
{
    // Leading spacer, then buttons of 27 x 25 with group separators of 16.
    Bar b;
    b.arranger->setMargins(4, 1);
    const int sequence[] = {1, 1, 1, 1, 0, 1, 1, 1, 0, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1};
    int n = 1;
    b.add(n++, 4, 0);
    std::vector<BarItemLayout*> buttons;
    for (int isButton : sequence) {
        if (isButton)
            buttons.push_back(b.add(n++, 27, 25));
        else
            b.add(n++, 16, 0);
    }
    b.run();
    const int expected[] = {8, 35, 62, 89, 132, 159, 186, 229, 272, 299, 326, 369, 396, 423, 466};
    ASSERT_EQ(15u, buttons.size());
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(expected[i], buttons[i]->x) << "button " << i;
        EXPECT_EQ(2, buttons[i]->y) << "button " << i;
        EXPECT_EQ(27, buttons[i]->width);
        EXPECT_EQ(25, buttons[i]->height);
    }
}

TEST(BarLayoutTest, FreeChildrenKeepTheirPlaceAndSizeTheBar)
{
    Bar b;
    std::unique_ptr<LayoutItem> free(new LayoutItem(100, 3, 40, kNotGiven, PLACE_FREE, &b.bar));
    b.add(1, 20, 10);
    b.run();
    EXPECT_EQ(100, free->x);
    EXPECT_EQ(30, free->y + free->height) << "an unset height runs to the bar's bottom";
    SizeHints h;
    b.arranger->measure(h, *b.bar.children);
    EXPECT_EQ(140, h.prefWidth) << "numbered entries do not count";
}

// The cell table: style & 0x30, one- or two-state, states 0-4.
TEST(ButtonImageCellTest, TableOfCells)
{
    struct Case {
        uint32_t look;
        bool twoState;
        int cells[5]; // states 0-4
    };
    const Case cases[] = {
        {0x00, false, {0, 0, 0, 0, 1}}, {0x10, false, {0, 0, 2, 2, 1}}, {0x20, false, {0, 0, 2, 2, 1}},
        {0x30, false, {0, 0, 0, 0, 1}}, {0x00, true, {0, 0, 0, 0, 1}},  {0x10, true, {0, 0, 3, 2, 1}},
        {0x20, true, {4, 0, 3, 2, 1}},  {0x30, true, {4, 0, 4, 0, 1}},
    };
    for (const Case& c : cases)
        for (int state = 0; state <= 4; ++state)
            EXPECT_EQ(c.cells[state], buttonImageCell(c.look | 0x200, c.twoState, state, false))
                << "look " << c.look << " two-state " << c.twoState << " state " << state;
    EXPECT_EQ(1, buttonImageCell(0x230, true, BUTTON_UP, true)) << "disabled up";
    EXPECT_EQ(5, buttonImageCell(0x230, true, BUTTON_LATCHED, true)) << "disabled latched";
}

TEST(LabelRulesTest, AmpersandMarkers)
{
    struct Case {
        const char* label;
        const char* text;
        int mnemonic;
    };
    const Case cases[] = {{"a&&b&c", "a&bc", 3}, {"&Datei", "Datei", 0}, {"ohne", "ohne", -1},
                          {"Ende&", "Ende", -1}, {"&&", "&", -1}};
    for (const Case& c : cases) {
        MnemonicText m = parseMnemonic(c.label);
        EXPECT_EQ(c.text, m.text) << c.label;
        EXPECT_EQ(c.mnemonic, m.mnemonic) << c.label;
    }
}

TEST(LabelRulesTest, EffectsByStyle)
{
    const TextEffect previous{EFFECT_GRAY, EFFECT_GRAY};
    struct Case {
        uint32_t style;
        int c1, c2, extra, offset;
    };
    const Case cases[] = {{0x000, EFFECT_NONE, EFFECT_NONE, 1, 0},  {0x080, EFFECT_NONE, EFFECT_WHITE, 2, 0},
                          {0x0C0, EFFECT_GRAY, EFFECT_WHITE, 2, 1}, {0x100, EFFECT_WHITE, EFFECT_NONE, 1, 1},
                          {0x140, EFFECT_WHITE, EFFECT_GRAY, 2, 1}, {0x040, EFFECT_GRAY, EFFECT_GRAY, 1, 1}};
    for (const Case& c : cases) {
        TextEffect e = textEffect(c.style, previous);
        EXPECT_EQ(c.c1, e.colour1) << c.style;
        EXPECT_EQ(c.c2, e.colour2) << c.style;
        EXPECT_EQ(c.extra, effectExtra(c.style)) << c.style;
        EXPECT_EQ(c.offset, effectOffset(c.style)) << c.style;
    }
}

TEST(LabelRulesTest, PlacesByStyle)
{
    EXPECT_EQ(11, checkLabelX(0x20, 10));
    EXPECT_EQ(29, checkLabelX(0, 10));
    int x = -1;
    EXPECT_FALSE(groupLabelX(0, 10, 100, 30, x));
    ASSERT_TRUE(groupLabelX(0x800, 10, 100, 30, x));
    EXPECT_EQ(16, x);
    ASSERT_TRUE(groupLabelX(0x1000, 10, 100, 30, x));
    EXPECT_EQ(45, x);
    ASSERT_TRUE(groupLabelX(0x1800, 10, 100, 30, x));
    EXPECT_EQ(74, x);
    EXPECT_EQ(45, panelLabelX(1, 10, 100, 4, 90, 30));
    EXPECT_EQ(69, panelLabelX(2, 10, 100, 4, 90, 30));
    EXPECT_EQ(15, panelLabelX(0, 10, 100, 4, 90, 30));
}

TEST(LabelRulesTest, PanelBevelFromStyle)
{
    int width = 999, gap = 999;
    panelBevel(0x0818, width, gap);
    EXPECT_EQ(3, width);
    EXPECT_EQ(1, gap);
    width = 2;
    gap = 999;
    panelBevel(0x0818, width, gap);
    EXPECT_EQ(2, width) << "only both 999 read the style";
    EXPECT_EQ(999, gap);
}

TEST(StatusBarRulesTest, HeightIsEightAboveTheFont)
{
    EXPECT_EQ(13 + 8, statusBarHeight(13, 2, 0, 2));
}

TEST(ClockTest, TextsByFormat)
{
    TableProfile profile;
    ClockFormat none = readClockFormat(&profile);
    EXPECT_EQ(0, none.iTime);
    EXPECT_EQ(":", none.separator);
    EXPECT_EQ("AM", none.morning);
    EXPECT_EQ("PM", none.evening);
    EXPECT_EQ("9:05 AM", clockText(none, 9, 5));
    EXPECT_EQ("12:30 AM", clockText(none, 0, 30));
    EXPECT_EQ("12:00 PM", clockText(none, 12, 0));
    EXPECT_EQ("11:59 PM", clockText(none, 23, 59));
    EXPECT_EQ("M:MM MM", clockTemplate(none));

    profile.set("intl", "iTime", "1");
    ClockFormat h24 = readClockFormat(&profile);
    EXPECT_EQ("09:05", clockText(h24, 9, 5));
    EXPECT_EQ("MM:MM", clockTemplate(h24));
    profile.set("intl", "sTime", ".");
    EXPECT_EQ("09.05", clockText(readClockFormat(&profile), 9, 5));
    EXPECT_EQ(":", readClockFormat(nullptr).separator);
}

TEST(ClockTest, RepaintsOnlyOnANewMinute)
{
    EXPECT_FALSE(minuteChanged(120, 179));
    EXPECT_TRUE(minuteChanged(179, 180));
}

TEST(KeyStateTest, TextsAndWidthTemplate)
{
    EXPECT_EQ("NUM", keyStateText(true, "", "", "NUM"));
    EXPECT_EQ("", keyStateText(false, "", "", "NUM"));
    EXPECT_EQ("CAPS ON", keyStateText(true, "CAPS ON", "", "CAP"));
    EXPECT_EQ("aus", keyStateText(false, "", "aus", "CAP"));
    EXPECT_EQ("MMMMMM", keyStateTemplate("NUMLCK", ""));
    EXPECT_EQ("MMM", keyStateTemplate("", ""));
    EXPECT_EQ("MMMM", keyStateTemplate("", "frei"));
}

// A bar and its help field as the state machine sees them.
class FakeHelpPort : public MenuHelpPort {
public:
    bool helpText(unsigned id, std::string& text) override
    {
        if (id == 111) {
            text = "Öffnet eine Datei";
            return true;
        }
        if (id == 112) {
            text = "Speichert";
            return true;
        }
        return false;
    }
    std::string fieldText() override { return field; }
    void setFieldText(const std::string& text) override
    {
        field = text;
        help->fieldTextSet(text);
    }
    void showHelpInBar(bool on) override
    {
        inBar = on;
        ++switches;
    }
    void barTextChanged() override { ++barRepaints; }

    MenuHelp* help = nullptr;
    std::string field = "Bereit";
    bool inBar = false;
    int switches = 0;
    int barRepaints = 0;
};

TEST(MenuHelpTest, InTheHelpField)
{
    MenuHelp help;
    help.mode = MENUHELP_FIELD;
    FakeHelpPort port;
    port.help = &help;
    help.menuSelect(0, 111, 1, port);
    EXPECT_EQ("Öffnet eine Datei", port.field);
    help.menuSelect(0x10, 5, 1, port);
    EXPECT_EQ("Öffnet eine Datei", port.field) << "a popup keeps the text";
    help.menuSelect(0x800, 0, 1, port);
    EXPECT_EQ("Öffnet eine Datei", port.field) << "a separator keeps the text";
    help.menuSelect(0, 999, 1, port);
    EXPECT_EQ("", port.field) << "no help string: empty, not the previous";
    // Program text while the menu is open shows and stays.
    port.setFieldText("Übersetzen");
    help.menuSelect(0xFFFF, 0, 0, port);
    EXPECT_EQ("Übersetzen", port.field);
    EXPECT_FALSE(help.inMenu);
}

TEST(MenuHelpTest, FieldTextReturnsWhenTheMenuCloses)
{
    MenuHelp help;
    help.mode = MENUHELP_FIELD;
    FakeHelpPort port;
    port.help = &help;
    help.menuSelect(0, 112, 1, port);
    help.menuSelect(0xFFFF, 0, 0, port);
    EXPECT_EQ("Bereit", port.field);
    help.menuSelect(0xFFFF, 0, 0, port);
    EXPECT_EQ("Bereit", port.field) << "a second close changes nothing";
}

TEST(MenuHelpTest, AcrossTheBar)
{
    MenuHelp help;
    help.mode = MENUHELP_BAR;
    FakeHelpPort port;
    port.help = &help;
    help.menuSelect(0, 111, 1, port);
    EXPECT_TRUE(port.inBar);
    EXPECT_EQ("Öffnet eine Datei", help.barText);
    EXPECT_EQ(1, port.barRepaints);
    help.menuSelect(0, 111, 1, port);
    EXPECT_EQ(1, port.barRepaints) << "the same text again does not repaint";
    help.menuSelect(0x2000, 111, 1, port);
    EXPECT_EQ(1, port.barRepaints) << "the system menu keeps the text";
    help.menuSelect(0, 4711, 1, port);
    EXPECT_EQ("", help.barText);
    help.menuSelect(0xFFFF, 0, 0, port);
    EXPECT_FALSE(port.inBar);
    EXPECT_EQ(2, port.switches);
    EXPECT_EQ("Bereit", port.field) << "the field is not touched";
}

} // namespace
