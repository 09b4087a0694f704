// The dialog template reader on templates built here byte by byte.
#include "DialogTemplate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Writes template bytes: words little-endian, texts as UTF-16.
class Bytes {
public:
    Bytes& word(uint16_t v)
    {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Bytes& dword(uint32_t v) { return word(static_cast<uint16_t>(v)).word(static_cast<uint16_t>(v >> 16)); }
    Bytes& text(const std::u16string& s)
    {
        for (char16_t c : s)
            word(static_cast<uint16_t>(c));
        return word(0);
    }
    Bytes& ordinal(uint16_t v) { return word(0xFFFF).word(v); }
    Bytes& align()
    {
        while (b.size() % 4)
            b.push_back(0xCC); // padding that must not be read as data
        return *this;
    }
    Bytes& rect(int16_t x, int16_t y, int16_t w, int16_t h)
    {
        return word(uint16_t(x)).word(uint16_t(y)).word(uint16_t(w)).word(uint16_t(h));
    }
    size_t size() const { return b.size(); }
    std::vector<uint8_t> b;
};

const uint32_t kVisible = 0x10000000u;
const uint32_t kPopupCaption = 0x80000000u | 0x00C00000u;

// A header with DS_SETFONT, a menu by ordinal, and items written by the caller.
Bytes headerWithFont(uint16_t count)
{
    Bytes t;
    t.dword(kPopupCaption | kVisible | 0x40 | 0x80).dword(0).word(count).rect(10, 20, 200, 100);
    t.ordinal(7).word(0).text(u"Einstellungen \u00e4ndern ...").word(8).text(u"MS Sans Serif");
    return t;
}

void addItem(Bytes& t, uint16_t atom, const std::u16string& className, uint16_t id, const std::u16string& title,
             const std::vector<uint8_t>& creationData = {})
{
    t.align().dword(0x50010000u).dword(0).rect(5, 6, 50, 14).word(id);
    if (atom)
        t.ordinal(atom);
    else
        t.text(className);
    t.text(title);
    t.word(static_cast<uint16_t>(creationData.size()));
    t.b.insert(t.b.end(), creationData.begin(), creationData.end());
}

std::string bytesOf(std::initializer_list<int> list)
{
    std::string s;
    for (int c : list)
        s.push_back(static_cast<char>(c));
    return s;
}

TEST(DialogTemplateTest, HeaderWithFontMenuByOrdinal)
{
    Bytes t = headerWithFont(0);
    DialogTemplate d = parseDialogTemplate(t.b.data(), t.size());
    ASSERT_TRUE(d.found);
    EXPECT_EQ(d.header.style, kPopupCaption | 0x40u | 0x80u) << "WS_VISIBLE is taken off";
    EXPECT_EQ(d.header.itemCount, 0);
    EXPECT_EQ(d.header.x, 10);
    EXPECT_EQ(d.header.y, 20);
    EXPECT_EQ(d.header.width, 200);
    EXPECT_EQ(d.header.height, 100);
    EXPECT_TRUE(d.header.menu.present && d.header.menu.isOrdinal);
    EXPECT_EQ(d.header.menu.ordinal, 7);
    EXPECT_FALSE(d.header.windowClass.present);
    EXPECT_EQ(d.header.title, "Einstellungen \xe4ndern ...");
    EXPECT_TRUE(d.header.hasFont);
    EXPECT_EQ(d.header.pointSize, 8);
    EXPECT_EQ(d.header.faceName, "MS Sans Serif");
    EXPECT_TRUE(d.items.empty());
}

TEST(DialogTemplateTest, MenuAndClassByNameWithoutFont)
{
    Bytes t;
    t.dword(kPopupCaption).dword(0x200).word(0).rect(-4, 0, 30, 40).text(u"HAUPTMENUE").text(u"MeineKlasse").word(0);
    DialogTemplate d = parseDialogTemplate(t.b.data(), t.size());
    ASSERT_TRUE(d.found);
    EXPECT_EQ(d.header.exStyle, 0x200u);
    EXPECT_EQ(d.header.x, -4);
    EXPECT_TRUE(d.header.menu.present && !d.header.menu.isOrdinal);
    EXPECT_EQ(d.header.menu.text, "HAUPTMENUE");
    EXPECT_EQ(d.header.windowClass.text, "MeineKlasse");
    EXPECT_EQ(d.header.title, "");
    EXPECT_FALSE(d.header.hasFont);
    EXPECT_EQ(d.header.faceName, "");
}

TEST(DialogTemplateTest, ItemsOnDwordBoundariesWithAtomsNamesAndCreationData)
{
    struct Case {
        uint16_t atom;
        std::u16string className;
        uint16_t id;
        std::u16string title;
        std::vector<uint8_t> data;
    };
    const std::vector<Case> cases = {
        {0x80, u"", 1, u"OK", {}},
        {0x81, u"", 101, u"", {1, 2, 3}}, // odd-sized data: the next item still aligns
        {0x82, u"", 102, u"x", {}},
        {0x83, u"", 103, u"", {9, 9}},
        {0x84, u"", 104, u"", {}},
        {0x85, u"", 105, u"ab", {}},
        {0, u"TestSwatch", 106, u"Farbe", {0xFF, 0xFF, 0x80, 0}},
    };
    Bytes t = headerWithFont(static_cast<uint16_t>(cases.size()));
    for (const Case& c : cases)
        addItem(t, c.atom, c.className, c.id, c.title, c.data);
    DialogTemplate d = parseDialogTemplate(t.b.data(), t.size());
    ASSERT_TRUE(d.found);
    ASSERT_EQ(d.items.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const DialogTemplateItem& item = d.items[i];
        EXPECT_EQ(item.style, 0x50010000u);
        EXPECT_EQ(item.x, 5);
        EXPECT_EQ(item.y, 6);
        EXPECT_EQ(item.width, 50);
        EXPECT_EQ(item.height, 14);
        EXPECT_EQ(item.id, cases[i].id);
        EXPECT_EQ(item.classAtom, cases[i].atom);
        EXPECT_EQ(item.className, cases[i].atom ? std::string() : std::string("TestSwatch"));
        std::string title(cases[i].title.begin(), cases[i].title.end());
        EXPECT_EQ(item.title.text, title);
        EXPECT_EQ(item.title.present, !title.empty());
    }
}

TEST(DialogTemplateTest, TextsBecomeCodePage1252)
{
    struct Case {
        std::u16string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {u"\u201eGr\u00f6\u00dfe\u201c \u2013 5 \u20ac",
         bytesOf({0x84, 0x47, 0x72, 0xF6, 0xDF, 0x65, 0x93, 0x20, 0x96, 0x20, 0x35, 0x20, 0x80})},
        {u"\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc", bytesOf({0xC4, 0xD6, 0xDC, 0xE4, 0xF6, 0xFC})},
        // Characters that 1252 lacks become '?', not their low byte.
        {u"\u0410\u4e2d", "??"},
    };
    for (const Case& c : cases) {
        Bytes t = headerWithFont(1);
        addItem(t, 0x82, u"", 7, c.text);
        DialogTemplate d = parseDialogTemplate(t.b.data(), t.size());
        ASSERT_EQ(d.items.size(), 1u);
        EXPECT_EQ(d.items[0].title.text, c.expected);
    }
}

TEST(DialogTemplateTest, CutTemplatesGiveWhatCameBeforeTheCut)
{
    Bytes t = headerWithFont(3);
    const size_t headerEnd = t.size();
    addItem(t, 0x80, u"", 1, u"OK");
    const size_t firstEnd = t.size();
    addItem(t, 0x81, u"", 2, u"Text", {1, 2, 3, 4});
    const size_t secondEnd = t.size();
    addItem(t, 0x82, u"", 3, u"Ende");
    struct Case {
        size_t size;
        bool found;
        size_t items;
    };
    const std::vector<Case> cases = {
        {0, false, 0},
        {1, false, 0},
        {headerEnd - 1, false, 0}, // inside the face name
        {headerEnd, true, 0},
        {headerEnd + 2, true, 0},
        {firstEnd - 1, true, 0},
        {firstEnd, true, 1},
        {secondEnd - 2, true, 1}, // inside the creation data
        {secondEnd, true, 2},
        {t.size() - 1, true, 2},
        {t.size(), true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        // The cut bytes are copied so that a read past the size shows in the sanitizer.
        std::vector<uint8_t> cut(t.b.begin(), t.b.begin() + static_cast<long>(c.size));
        DialogTemplate d = parseDialogTemplate(cut.empty() ? nullptr : cut.data(), cut.size());
        EXPECT_EQ(d.found, c.found);
        EXPECT_EQ(d.items.size(), c.items);
        if (c.found) {
            EXPECT_EQ(d.header.itemCount, 3);
        }
    }
}

TEST(DialogTemplateTest, ExtendedAndEmptyTemplatesAreNotFound)
{
    Bytes extended;
    extended.word(1).word(0xFFFF).dword(0).dword(0).dword(kPopupCaption).word(0).rect(0, 0, 10, 10).word(0).word(0).word(0);
    EXPECT_FALSE(parseDialogTemplate(extended.b.data(), extended.size()).found);
    const uint8_t empty[1] = {0};
    EXPECT_FALSE(parseDialogTemplate(empty, 0).found);
    EXPECT_FALSE(parseDialogTemplate(nullptr, 100).found);
}

} // namespace
