#include "PrintSetup.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

const char* const kCircuits[] = {"Schaltungen (*.kyt)", "*.kyt", nullptr};

TEST(FileFilterTest, FlattensPairsIntoOneDoublyTerminatedBlock)
{
    const char* const list[] = {"Schaltungen (*.kyt)", "*.kyt", "Alle (*.*)", "*.*", nullptr};
    EXPECT_EQ(std::string("Schaltungen (*.kyt)\0*.kyt\0Alle (*.*)\0*.*\0\0", 42), flattenFileFilter(list));
    EXPECT_EQ(std::string("All Files (*.*)\0*.*\0\0", 21), flattenFileFilter(nullptr));
}

struct StartCase {
    const char* name;
    bool withList;
    bool save;
    const char* path;
    const char* extension;
};

TEST(FileFilterTest, InitialNameGivesPathAndDefaultExtension)
{
    const StartCase cases[] = {
        {nullptr, true, false, "", "*"},
        {nullptr, true, true, "", ""},
        {"*.kyt", true, false, "*.kyt", "kyt"},
        {"*.kyt", true, true, "", "kyt"},
        {"kreis", true, false, "kreis", "kyt"},
        {"kreis", true, true, "kreis", "kyt"},
        {"kreis", false, false, "kreis", "*"},
        {"kreis", false, true, "kreis", ""},
        {"kreis.txt", false, true, "kreis.txt", "txt"},
        {"..\\alt\\kreis", false, true, "..\\alt\\kreis", ""},
        {"*.*", true, false, "*.*", ""},
        {"*.*", true, true, "", ""},
        {"*", true, false, "*", ""},
        {"*", true, true, "", ""},
        {"*.kyt;*.txt", true, false, "*.kyt;*.txt", ""},
    };
    for (const StartCase& c : cases) {
        FileDialogStart start = fileDialogStart(c.name, c.withList ? kCircuits : nullptr, c.save);
        std::string label = std::string(c.name ? c.name : "(none)") + (c.save ? " save" : " open") +
                            (c.withList ? " with list" : "");
        EXPECT_EQ(c.path, start.path) << label;
        EXPECT_EQ(c.extension, start.extension) << label;
    }
}

TEST(FileFilterTest, LongNamesAreCutTo255)
{
    std::string name(300, 'a');
    EXPECT_EQ(255u, fileDialogStart(name.c_str(), kCircuits, false).path.size());
    std::string pattern = "*." + std::string(300, 'x');
    FileDialogStart start = fileDialogStart(pattern.c_str(), nullptr, true);
    EXPECT_EQ("", start.path);
    EXPECT_EQ(253u, start.extension.size());
}

TEST(PrinterSpecTest, SplitsAtTheFirstTwoCommas)
{
    struct {
        const char* text;
        const char* device;
        const char* driver;
        const char* port;
    } cases[] = {
        {"Laser,PSCRIPT, LPT1:", "Laser", "PSCRIPT", "LPT1:"},
        {"Testdrucker,teststub,FILE:", "Testdrucker", "teststub", "FILE:"},
        {"", "", "", ""},
        {",,,,", "", "", ",,"},
        {"Nur Name", "Nur Name", "", ""},
        {"Kyocera Ä,  drv,  COM1:,x", "Kyocera Ä", "drv", "COM1:,x"},
    };
    for (const auto& c : cases) {
        PrinterSpec spec = splitPrinterSpec(c.text);
        EXPECT_EQ(c.device, spec.device) << c.text;
        EXPECT_EQ(c.driver, spec.driver) << c.text;
        EXPECT_EQ(c.port, spec.port) << c.text;
    }
    EXPECT_EQ("", splitPrinterSpec(nullptr).driver);
}

TEST(PrinterSpecTest, TextIsCutAt79Characters)
{
    std::string text = "D,T," + std::string(96, 'p');
    PrinterSpec spec = splitPrinterSpec(text.c_str());
    EXPECT_EQ(75u, spec.port.size());
    std::string device(100, 'd');
    EXPECT_EQ(79u, splitPrinterSpec(device.c_str()).device.size());
}

TEST(PrinterSpecTest, DevicesSectionGivesOneRecordPerEntry)
{
    std::map<std::string, std::string> section = {{"Laser", "PSCRIPT,LPT1:"}, {"Tinte", "HPPCL,COM2:"}};
    const char keys[] = "Laser\0Tinte\0";
    auto value = [&section](const char* name) { return section[name]; };
    std::vector<std::string> texts = printerDeviceTexts(keys, sizeof keys, value);
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ("Laser,PSCRIPT,LPT1:", texts[0]);
    EXPECT_EQ("Tinte,HPPCL,COM2:", texts[1]);
    EXPECT_TRUE(printerDeviceTexts("\0", 2, value).empty());
    // A list without its final terminator ends at its size.
    std::string longName(90, 'n');
    texts = printerDeviceTexts(longName.data(), longName.size(), value);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(79u, texts[0].size());
}

TEST(DevNamesTest, BuildsOffsetsFromEightAndReadsThemBack)
{
    PrinterSpec spec = splitPrinterSpec("Laser,PSCRIPT,LPT1:");
    std::vector<uint8_t> block = buildDevNames(spec);
    const uint8_t expected[] = {8, 0, 16, 0, 22, 0, 0, 0, 'P', 'S', 'C', 'R', 'I', 'P', 'T', 0,
                                'L', 'a', 's', 'e', 'r', 0, 'L', 'P', 'T', '1', ':', 0};
    EXPECT_EQ(std::vector<uint8_t>(expected, expected + sizeof expected), block);
    PrinterSpec back;
    ASSERT_TRUE(readDevNames(block.data(), block.size(), &back));
    EXPECT_EQ("Laser", back.device);
    EXPECT_EQ("PSCRIPT", back.driver);
    EXPECT_EQ("LPT1:", back.port);
}

TEST(DevNamesTest, BrokenBlocksAreRefused)
{
    std::vector<uint8_t> block = buildDevNames(splitPrinterSpec("Laser,PSCRIPT,LPT1:"));
    PrinterSpec back;
    back.device = "alt";
    EXPECT_FALSE(readDevNames(block.data(), 7, &back));
    EXPECT_FALSE(readDevNames(nullptr, 30, &back));
    std::vector<uint8_t> broken = block;
    broken[4] = 200; // port beyond the block
    EXPECT_FALSE(readDevNames(broken.data(), broken.size(), &back));
    broken = block;
    broken[0] = 2; // driver inside the header
    EXPECT_FALSE(readDevNames(broken.data(), broken.size(), &back));
    EXPECT_EQ("alt", back.device);
    // A last name without terminator ends at the block's end.
    ASSERT_TRUE(readDevNames(block.data(), block.size() - 1, &back));
    EXPECT_EQ("LPT1:", back.port);
}

class PrintLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        widths.height = 10;
        widths.externalLeading = 2;
        for (int& w : widths.widths)
            w = 10;
        widths.widths[static_cast<unsigned char>('i')] = 4;
    }
    std::vector<std::string> pageLines(const std::string& text, int width, int height = 100000)
    {
        std::vector<std::string> lines;
        for (const LaidOutPage::Line& line : layOutPrintPage(text, 0, width, height, widths).lines)
            lines.push_back(line.text);
        return lines;
    }
    CharWidths widths;
};

TEST_F(PrintLayoutTest, TabsAdvanceToTheNextMultipleOfEight)
{
    EXPECT_EQ(std::string(8, ' ') + "x", layOutPrintLine("\tx", 0, 1000, widths).text);
    EXPECT_EQ("abc" + std::string(5, ' ') + "x", layOutPrintLine("abc\tx", 0, 1000, widths).text);
    // The tab counts the width of its blanks.
    LaidOutLine line = layOutPrintLine("abc\tx", 0, 70, widths);
    EXPECT_EQ("abc", line.text);
    EXPECT_EQ(3u, line.stop);
}

TEST_F(PrintLayoutTest, LongLinesContinueWithoutLoss)
{
    std::string text(120, 'x');
    std::vector<std::string> lines = pageLines(text, 500);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(50u, lines[0].size());
    EXPECT_EQ(50u, lines[1].size());
    EXPECT_EQ(20u, lines[2].size());
}

TEST_F(PrintLayoutTest, EachLineEndEndsOneLine)
{
    for (const char* end : {"\r\n", "\n\r", "\r", "\n"}) {
        std::string text = std::string("eins") + end + "zwei" + end + end + "drei";
        LaidOutPage page = layOutPrintPage(text, 0, 1000, 1000, widths);
        ASSERT_EQ(3u, page.lines.size()) << "line end " << int(end[0]);
        EXPECT_EQ("eins", page.lines[0].text);
        EXPECT_EQ(0, page.lines[0].y);
        EXPECT_EQ("zwei", page.lines[1].text);
        EXPECT_EQ(12, page.lines[1].y);
        // The empty line between takes its place.
        EXPECT_EQ("drei", page.lines[2].text);
        EXPECT_EQ(36, page.lines[2].y);
        EXPECT_EQ(text.size(), page.next);
    }
}

TEST_F(PrintLayoutTest, LinesAreCutAt255Columns)
{
    std::vector<std::string> lines = pageLines(std::string(400, 'i'), 5000);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(255u, lines[0].size());
    EXPECT_EQ(145u, lines[1].size());
    // A tab that would pass column 255 goes onto the next line whole.
    std::string text = std::string(250, 'i') + "\tx";
    lines = pageLines(text, 5000);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(250u, lines[0].size());
    EXPECT_EQ(std::string(8, ' ') + "x", lines[1]);
}

TEST_F(PrintLayoutTest, PagesFollowEachOtherAndEnd)
{
    // Lines stand while y is below the height minus one line height: at
    // height 100 and line height 12 that is y = 0 … 84, eight lines.
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "Zeile " + std::to_string(i) + "\r\n";
    size_t start = 0;
    int pages = 0;
    std::vector<std::string> all;
    while (true) {
        LaidOutPage page = layOutPrintPage(text, start, 1000, 100, widths);
        ++pages;
        for (const auto& line : page.lines)
            all.push_back(line.text);
        if (!anotherPrintPage(text, start, page.next))
            break;
        start = page.next;
        ASSERT_LT(pages, 10);
    }
    EXPECT_EQ(3, pages);
    ASSERT_EQ(20u, all.size());
    EXPECT_EQ("Zeile 19", all[19]);
}

TEST_F(PrintLayoutTest, PagesWithoutProgressEndTheDocument)
{
    // A character wider than the area is still printed, one a line.
    std::vector<std::string> lines = pageLines("xyz", 5);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("x", lines[0]);
    // A line higher than the area lays nothing out: no further page.
    LaidOutPage page = layOutPrintPage("Text", 0, 1000, 10, widths);
    EXPECT_TRUE(page.lines.empty());
    EXPECT_EQ(0u, page.next);
    EXPECT_FALSE(anotherPrintPage("Text", 0, page.next));
    // An empty text has no page after the first.
    EXPECT_FALSE(anotherPrintPage("", 0, layOutPrintPage("", 0, 1000, 1000, widths).next));
}

TEST_F(PrintLayoutTest, UmlautsUseTheirOwnWidths)
{
    widths.widths[0xE4] = 100;
    LaidOutLine line = layOutPrintLine("a\xE4" "b", 0, 109, widths);
    EXPECT_EQ("a", line.text);
    EXPECT_EQ(1u, line.stop);
}

} // namespace

#include "Profile.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { previous = setProfileSource(&table); }
    void TearDown() override { setProfileSource(previous); }
    TableProfile table;
    ProfileSource* previous = nullptr;
};

TEST_F(ProfileTest, TheDefaultPrinterComesFromWindowsDevice)
{
    EXPECT_EQ("", defaultPrinterSpec().driver) << "no entry: no driver, no device context";
    table.set("windows", "Device", "Laser,PSCRIPT, LPT1:");
    PrinterSpec spec = defaultPrinterSpec();
    EXPECT_EQ("Laser", spec.device);
    EXPECT_EQ("PSCRIPT", spec.driver);
    EXPECT_EQ("LPT1:", spec.port);
    table.set("windows", "Device", ",,,,");
    EXPECT_EQ("", defaultPrinterSpec().driver);
    table.set("windows", "Device", std::string(100, 'x'));
    EXPECT_EQ(79u, defaultPrinterSpec().device.size());
    setProfileSource(nullptr);
    EXPECT_EQ("", defaultPrinterSpec().driver);
}

TEST_F(ProfileTest, DevicesGiveOneRecordPerEntry)
{
    EXPECT_TRUE(printerDevices().empty());
    table.set("devices", "Laser", "PSCRIPT,LPT1:");
    table.set("devices", "Testdrucker", "teststub,FILE:");
    table.set("windows", "Device", "Laser,PSCRIPT,LPT1:");
    std::vector<std::string> devices = printerDevices();
    ASSERT_EQ(2u, devices.size());
    EXPECT_EQ("Laser,PSCRIPT,LPT1:", devices[0]);
    EXPECT_EQ("Testdrucker,teststub,FILE:", devices[1]);
}

} // namespace
