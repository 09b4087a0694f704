#include "DibReader.h"

#include <algorithm>
#include <cstring>

namespace {

uint16_t get16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool readAll(DibSource& source, void* buffer, size_t count)
{
    return source.read(buffer, count) == count;
}

bool knownBitCount(uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes the bits occupy in the file: the image size for a compressed file,
// the computed size for a plain one.
uint64_t bitsToRead(const DibHeader& header)
{
    return header.compression == DIB_BI_RGB ? dibImageBytes(header) : header.sizeImage;
}

} // namespace

uint32_t dibColorTableEntries(const DibHeader& header)
{
    if (header.size != kDibCoreHeaderBytes && header.clrUsed != 0)
        return header.clrUsed;
    switch (header.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

uint64_t dibRowBytes(uint32_t bitCount, int64_t width)
{
    return ((static_cast<uint64_t>(bitCount) * static_cast<uint64_t>(width) + 31) / 32) * 4;
}

uint64_t dibImageBytes(const DibHeader& header)
{
    const int64_t h = header.height;
    return dibRowBytes(header.bitCount, header.width) * static_cast<uint64_t>(h < 0 ? -h : h);
}

bool dibHeaderAcceptable(const DibHeader& header)
{
    if (header.planes != 1 || !knownBitCount(header.bitCount))
        return false;
    const bool plain = header.compression == DIB_BI_RGB;
    if (!plain && !(header.compression == DIB_BI_RLE8 && header.bitCount == 8) &&
        !(header.compression == DIB_BI_RLE4 && header.bitCount == 4))
        return false;
    const uint32_t tableLimit = header.bitCount >= 8 ? 256u : (1u << header.bitCount);
    if (header.clrUsed > tableLimit)
        return false;
    if (header.width < 1 || header.height == 0)
        return false;
    const uint64_t image = dibImageBytes(header);
    if (image > kDibMaxImageBytes)
        return false;
    if (plain)
        return header.sizeImage == 0 || (header.sizeImage >= image && header.sizeImage <= kDibMaxImageBytes);
    return header.sizeImage != 0 && header.sizeImage <= kDibMaxImageBytes;
}

// ---------------------------------------------------------------- sources

size_t FileDibSource::read(void* buffer, size_t count)
{
    return fread(buffer, 1, count, file);
}

int64_t FileDibSource::tell()
{
    return ftell(file);
}

bool FileDibSource::seek(int64_t position)
{
    return fseek(file, static_cast<long>(position), SEEK_SET) == 0;
}

size_t MemoryDibSource::read(void* buffer, size_t count)
{
    size_t n = std::min(count, size - pos);
    if (n)
        memcpy(buffer, data + pos, n);
    pos += n;
    return n;
}

bool MemoryDibSource::seek(int64_t position)
{
    if (position < 0 || static_cast<uint64_t>(position) > size)
        return false;
    pos = static_cast<size_t>(position);
    return true;
}

// ---------------------------------------------------------------- headers

void writeDibHeader(const DibHeader& h, uint8_t* out)
{
    put32(out, h.size);
    put32(out + 4, static_cast<uint32_t>(h.width));
    put32(out + 8, static_cast<uint32_t>(h.height));
    put16(out + 12, h.planes);
    put16(out + 14, h.bitCount);
    put32(out + 16, h.compression);
    put32(out + 20, h.sizeImage);
    put32(out + 24, static_cast<uint32_t>(h.xPelsPerMeter));
    put32(out + 28, static_cast<uint32_t>(h.yPelsPerMeter));
    put32(out + 32, h.clrUsed);
    put32(out + 36, h.clrImportant);
}

DibHeader parseDibHeader(const uint8_t* in)
{
    DibHeader h;
    h.size = get32(in);
    h.width = static_cast<int32_t>(get32(in + 4));
    h.height = static_cast<int32_t>(get32(in + 8));
    h.planes = get16(in + 12);
    h.bitCount = get16(in + 14);
    h.compression = get32(in + 16);
    h.sizeImage = get32(in + 20);
    h.xPelsPerMeter = static_cast<int32_t>(get32(in + 24));
    h.yPelsPerMeter = static_cast<int32_t>(get32(in + 28));
    h.clrUsed = get32(in + 32);
    h.clrImportant = get32(in + 36);
    return h;
}

size_t dibBitsOffset(const DibHeader& header)
{
    return kDibInfoHeaderBytes + static_cast<size_t>(dibColorTableEntries(header)) * 4;
}

DibHeader dibInformation(const std::vector<uint8_t>& block)
{
    DibHeader h;
    if (block.size() < kDibInfoHeaderBytes)
        return h;
    h = parseDibHeader(block.data());
    if (h.sizeImage == 0)
        h.sizeImage = static_cast<uint32_t>(dibImageBytes(h));
    if (h.clrUsed == 0)
        h.clrUsed = dibColorTableEntries(h);
    return h;
}

// ---------------------------------------------------------------- reading

bool readDibHeaderAndTable(DibSource& source, DibHeader& header, std::vector<uint8_t>& block)
{
    block.clear();
    // 1. The file header, when the file has one.
    const int64_t start = source.tell();
    uint8_t fileHeader[14];
    uint32_t bitsOffset = 0;
    if (readAll(source, fileHeader, sizeof fileHeader) && get16(fileHeader) == 0x4D42) {
        bitsOffset = get32(fileHeader + 10);
    } else if (!source.seek(start)) {
        return false;
    }
    // 2. The header: its size tells a core header from an info header.
    uint8_t raw[kDibInfoHeaderBytes] = {};
    if (!readAll(source, raw, 4))
        return false;
    const uint32_t size = get32(raw);
    const bool core = size == kDibCoreHeaderBytes;
    if (core) {
        if (!readAll(source, raw + 4, kDibCoreHeaderBytes - 4))
            return false;
        header = DibHeader();
        header.size = kDibCoreHeaderBytes;
        header.width = get16(raw + 4);
        header.height = get16(raw + 6);
        header.planes = get16(raw + 8);
        header.bitCount = get16(raw + 10);
        header.clrUsed = header.clrImportant = dibColorTableEntries(header);
        header.size = static_cast<uint32_t>(kDibInfoHeaderBytes);
    } else if (size == kDibInfoHeaderBytes) {
        if (!readAll(source, raw + 4, kDibInfoHeaderBytes - 4))
            return false;
        header = parseDibHeader(raw);
    } else {
        return false;
    }
    // A mended fault: the sizes come from the file, so a damaged header must
    // not reach an allocation.
    if (!dibHeaderAcceptable(header))
        return false;
    // 3. Image size and colour count filled in.
    if (header.sizeImage == 0)
        header.sizeImage = static_cast<uint32_t>(dibImageBytes(header));
    if (header.clrUsed == 0)
        header.clrUsed = dibColorTableEntries(header);
    // 4. Header and colour table, 4-byte entries; a core file has 3-byte ones.
    const size_t entries = header.clrUsed;
    block.assign(kDibInfoHeaderBytes + entries * 4, 0);
    writeDibHeader(header, block.data());
    uint8_t* table = block.data() + kDibInfoHeaderBytes;
    const size_t entryBytes = core ? 3 : 4;
    if (!readAll(source, table, entries * entryBytes)) {
        block.clear();
        return false;
    }
    if (core) {
        for (size_t i = entries; i-- > 0;) {
            uint8_t rgb[3] = {table[i * 3], table[i * 3 + 1], table[i * 3 + 2]};
            table[i * 4] = rgb[0];
            table[i * 4 + 1] = rgb[1];
            table[i * 4 + 2] = rgb[2];
            table[i * 4 + 3] = 0;
        }
    }
    // 5. The bits where the file header says they are.
    if (bitsOffset != 0 && !source.seek(start + bitsOffset)) {
        block.clear();
        return false;
    }
    return true;
}

bool readDib(DibSource& source, std::vector<uint8_t>& block)
{
    DibHeader header;
    if (!readDibHeaderAndTable(source, header, block))
        return false;
    // The block grows piece by piece, so a file cut short never costs the
    // whole image size it claims.
    uint64_t left = bitsToRead(header);
    const size_t piece = 32768;
    while (left > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, piece));
        const size_t at = block.size();
        block.resize(at + n);
        if (!readAll(source, block.data() + at, n)) {
            block.clear();
            block.shrink_to_fit();
            return false;
        }
        left -= n;
    }
    return true;
}
