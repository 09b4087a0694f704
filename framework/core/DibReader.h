// The reader of device-independent bitmap files: the optional 14-byte file
// header, an info or core header, the colour table and the bits, read field
// by field in little-endian order (never by overlaying a struct), into the
// packed layout that the Windows layer hands to the DIB functions:
// a 40-byte info header, 4-byte colour-table entries, the bits.
#ifndef KYT_FRAMEWORK_DIBREADER_H
#define KYT_FRAMEWORK_DIBREADER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// The fields of a BITMAPINFOHEADER.
struct DibHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

enum DibCompression { DIB_BI_RGB = 0, DIB_BI_RLE8 = 1, DIB_BI_RLE4 = 2 };

const size_t kDibInfoHeaderBytes = 40;
const size_t kDibCoreHeaderBytes = 12;
// The largest image a file may ask for; a damaged header asks for more.
const uint64_t kDibMaxImageBytes = 64u * 1024u * 1024u;

// Colour-table entries of a header: biClrUsed when set, else 2, 16 or 256 by
// bit count, 0 for any other.
uint32_t dibColorTableEntries(const DibHeader& header);
// ((bit count x width + 31) / 32) x 4, in 64 bits.
uint64_t dibRowBytes(uint32_t bitCount, int64_t width);
// Row bytes x |height|.
uint64_t dibImageBytes(const DibHeader& header);
// The checks a header must pass before anything is allocated for it: one
// plane, a known bit count and compression, a colour table of at most
// min(2^bits, 256) entries, a width of at least 1 and a non-zero height, an
// image of at most 64 MiB, and an image size that fits the bits. biSizeImage
// and biClrUsed of 0 pass (they are filled in).
bool dibHeaderAcceptable(const DibHeader& header);

// Where the reader takes its bytes from.
class DibSource {
public:
    virtual ~DibSource() {}
    // Bytes read, fewer at the end.
    virtual size_t read(void* buffer, size_t count) = 0;
    virtual int64_t tell() = 0;
    virtual bool seek(int64_t position) = 0;
};

class FileDibSource : public DibSource {
public:
    explicit FileDibSource(FILE* f) : file(f) {}
    size_t read(void* buffer, size_t count) override;
    int64_t tell() override;
    bool seek(int64_t position) override;

private:
    FILE* file;
};

class MemoryDibSource : public DibSource {
public:
    MemoryDibSource(const uint8_t* bytes, size_t count) : data(bytes), size(count), pos(0) {}
    size_t read(void* buffer, size_t count) override;
    int64_t tell() override { return static_cast<int64_t>(pos); }
    bool seek(int64_t position) override;

private:
    const uint8_t* data;
    size_t size;
    size_t pos;
};

// Reads the headers and the colour table: header (converted to an info
// header for a core file, image size and colour count filled in) into
// header, the table as 4-byte entries into block after a 40-byte header.
// Leaves the source at the bits. false when the file is not a DIB the
// program accepts; then block holds nothing.
bool readDibHeaderAndTable(DibSource& source, DibHeader& header, std::vector<uint8_t>& block);
// The whole packed DIB; false (and an empty block) for a short or damaged file.
bool readDib(DibSource& source, std::vector<uint8_t>& block);

// The 40-byte little-endian form of a header, and back.
void writeDibHeader(const DibHeader& header, uint8_t* out);
DibHeader parseDibHeader(const uint8_t* in);
// The header of a packed DIB with biSizeImage and biClrUsed filled in where 0.
DibHeader dibInformation(const std::vector<uint8_t>& block);
// Offset of the bits in a packed DIB.
size_t dibBitsOffset(const DibHeader& header);

#endif
