#include "DibReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void put16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void fileHeader(std::vector<uint8_t>& b, uint32_t fileSize, uint32_t bitsOffset)
{
    put16(b, 0x4D42);
    put32(b, fileSize);
    put32(b, 0);
    put32(b, bitsOffset);
}

void infoHeader(std::vector<uint8_t>& b, const DibHeader& h)
{
    uint8_t raw[40];
    writeDibHeader(h, raw);
    b.insert(b.end(), raw, raw + 40);
}

DibHeader header(int32_t w, int32_t h, uint16_t bits, uint32_t compression = DIB_BI_RGB)
{
    DibHeader d;
    d.width = w;
    d.height = h;
    d.bitCount = bits;
    d.compression = compression;
    return d;
}

// A complete 8-bit file: info header, a table of `entries`, the bits
// counting up; with or without the 14-byte file header.
std::vector<uint8_t> eightBitFile(bool withFileHeader, int w, int h, uint32_t clrUsed)
{
    DibHeader d = header(w, h, 8);
    d.clrUsed = clrUsed;
    std::vector<uint8_t> b;
    const uint32_t entries = clrUsed ? clrUsed : 256;
    const uint32_t image = static_cast<uint32_t>(dibRowBytes(8, w) * h);
    if (withFileHeader)
        fileHeader(b, 14 + 40 + entries * 4 + image, 14 + 40 + entries * 4);
    infoHeader(b, d);
    for (uint32_t i = 0; i < entries; ++i)
        put32(b, 0x00010203u * i);
    for (uint32_t i = 0; i < image; ++i)
        b.push_back(static_cast<uint8_t>(i));
    return b;
}

bool read(const std::vector<uint8_t>& file, std::vector<uint8_t>& block)
{
    MemoryDibSource source(file.data(), file.size());
    return readDib(source, block);
}

} // namespace

TEST(DibReader, ReadsFilesWithAndWithoutFileHeaderAlike)
{
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(read(eightBitFile(true, 5, 3, 4), a));
    ASSERT_TRUE(read(eightBitFile(false, 5, 3, 4), b));
    EXPECT_EQ(a, b);
    // 40-byte header, 4 entries, 8 bytes a row x 3 rows.
    ASSERT_EQ(a.size(), 40u + 16u + 24u);
    EXPECT_EQ(a[40 + 4], 0x03); // second entry, blue byte first
    EXPECT_EQ(a[56], 0);
    EXPECT_EQ(a[56 + 23], 23);
}

TEST(DibReader, CoreHeaderFourBitsWidensTableAndReadsBitsFromOffset)
{
    std::vector<uint8_t> f;
    const uint32_t gap = 10; // junk between the table and the bits
    const uint32_t offset = 14 + 12 + 16 * 3 + gap;
    fileHeader(f, 0, offset);
    put32(f, 12);
    put16(f, 7); // width
    put16(f, 2); // height
    put16(f, 1);
    put16(f, 4);
    for (int i = 0; i < 16; ++i) {
        f.push_back(static_cast<uint8_t>(i)); // blue
        f.push_back(static_cast<uint8_t>(100 + i));
        f.push_back(static_cast<uint8_t>(200 + i));
    }
    for (uint32_t i = 0; i < gap; ++i)
        f.push_back(0xEE);
    for (int i = 0; i < 8; ++i) // 4 bytes a row, 2 rows
        f.push_back(static_cast<uint8_t>(0x10 + i));
    std::vector<uint8_t> block;
    ASSERT_TRUE(read(f, block));
    ASSERT_EQ(block.size(), 40u + 64u + 8u);
    DibHeader h = parseDibHeader(block.data());
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 7);
    EXPECT_EQ(h.height, 2);
    EXPECT_EQ(h.bitCount, 4);
    EXPECT_EQ(h.clrUsed, 16u);
    EXPECT_EQ(h.clrImportant, 16u);
    EXPECT_EQ(h.sizeImage, 8u);
    for (int i = 0; i < 16; ++i) {
        const uint8_t* e = block.data() + 40 + i * 4;
        EXPECT_EQ(e[0], i);
        EXPECT_EQ(e[1], 100 + i);
        EXPECT_EQ(e[2], 200 + i);
        EXPECT_EQ(e[3], 0);
    }
    EXPECT_EQ(block[104], 0x10);
    EXPECT_EQ(block[111], 0x17);
}

TEST(DibReader, ZeroImageSizeAndColourCountAreFilledIn)
{
    std::vector<uint8_t> block;
    ASSERT_TRUE(read(eightBitFile(false, 3, 2, 0), block));
    DibHeader h = parseDibHeader(block.data());
    EXPECT_EQ(h.sizeImage, 8u); // 4 bytes a row
    EXPECT_EQ(h.clrUsed, 256u);
    EXPECT_EQ(dibInformation(block).sizeImage, 8u);
    EXPECT_EQ(dibBitsOffset(h), 40u + 1024u);
}

TEST(DibReader, TopDownHeightCountsByItsSize)
{
    DibHeader d = header(4, -3, 24);
    std::vector<uint8_t> f;
    infoHeader(f, d);
    f.resize(f.size() + 36, 0x7F);
    std::vector<uint8_t> block;
    ASSERT_TRUE(read(f, block));
    EXPECT_EQ(block.size(), 40u + 36u);
}

TEST(DibReader, UnknownHeaderSizeAndShortFilesGiveNone)
{
    std::vector<uint8_t> block;
    std::vector<uint8_t> f = eightBitFile(true, 5, 3, 4);
    std::vector<uint8_t> big = f;
    big[14] = 64; // an OS/2 2.x header
    EXPECT_FALSE(read(big, block));
    EXPECT_TRUE(block.empty());
    // Cut in each section: file header, info header, colour table, bits.
    for (size_t cut : {size_t(6), size_t(14 + 20), size_t(14 + 40 + 6), f.size() - 1}) {
        std::vector<uint8_t> shortFile(f.begin(), f.begin() + cut);
        EXPECT_FALSE(read(shortFile, block)) << "cut at " << cut;
        EXPECT_TRUE(block.empty());
    }
}

TEST(DibReader, DamagedHeaderFieldsAreRefusedBeforeAnyAllocation)
{
    struct Case {
        const char* what;
        DibHeader h;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, DibHeader h) { cases.push_back({what, h}); };
    DibHeader h = header(16, 16, 8);
    h.planes = 2;
    add("two planes", h);
    add("bit count 7", header(16, 16, 7));
    add("bit count 0", header(16, 16, 0));
    add("bit fields", header(16, 16, 16, 3));
    add("RLE8 at 4 bits", header(16, 16, 4, DIB_BI_RLE8));
    add("RLE4 at 8 bits", header(16, 16, 8, DIB_BI_RLE4));
    h = header(16, 16, 8);
    h.clrUsed = 5000;
    add("5000 colours", h);
    h = header(16, 16, 1);
    h.clrUsed = 3;
    add("3 colours at 1 bit", h);
    add("width 0", header(0, 16, 8));
    add("negative width", header(-5, 16, 8));
    add("height 0", header(16, 0, 8));
    add("100000 x 100000 at 24 bits", header(100000, 100000, 24));
    add("top-down 100000 x -100000", header(100000, -100000, 24));
    h = header(16, 16, 8);
    h.sizeImage = 100;
    add("image size below the computed size", h);
    add("RLE8 with image size 0", header(16, 16, 8, DIB_BI_RLE8));
    h = header(16, 16, 8, DIB_BI_RLE8);
    h.sizeImage = 0x7FFFFFFF;
    add("RLE8 with a 2 GiB image", h);
    for (const Case& c : cases) {
        std::vector<uint8_t> f;
        fileHeader(f, 0, 0);
        infoHeader(f, c.h);
        // Enough bytes after the header that only the checks can refuse.
        f.resize(f.size() + 4096, 0);
        std::vector<uint8_t> block;
        EXPECT_FALSE(read(f, block)) << c.what;
        EXPECT_TRUE(block.empty()) << c.what;
        EXPECT_EQ(block.capacity(), 0u) << c.what;
    }
}

TEST(DibReader, AcceptsEachKnownBitCount)
{
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        DibHeader d = header(3, 2, bits);
        std::vector<uint8_t> f;
        infoHeader(f, d);
        f.resize(f.size() + dibColorTableEntries(d) * 4 + dibImageBytes(d), 1);
        std::vector<uint8_t> block;
        EXPECT_TRUE(read(f, block)) << bits;
        EXPECT_EQ(block.size(), f.size()) << bits;
    }
}
