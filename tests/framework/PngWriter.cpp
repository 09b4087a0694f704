#include "PngWriter.h"

#include <png.h>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

} // namespace

std::vector<unsigned char> encodePng(const std::vector<unsigned char>& rgb, int width, int height)
{
    std::vector<unsigned char> out;
    if (width <= 0 || height <= 0 || rgb.size() < size_t(width) * size_t(height) * 3)
        return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return out;
    }
    // libpng reports its errors by long jump; no object here needs unwinding
    // between this point and the calls below.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgb.data() + size_t(y) * size_t(width) * 3));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}
