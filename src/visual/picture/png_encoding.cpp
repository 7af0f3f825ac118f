#include "picture/png_encoding.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace sonorel {
namespace {

struct Destination {
    std::vector<unsigned char>* png;
    char message[128];
};

void Append(png_structp writer, png_bytep data, png_size_t length) {
    auto* to = static_cast<Destination*>(png_get_io_ptr(writer));
    to->png->insert(to->png->end(), data, data + length);
}

void Flush(png_structp) {}

// libpng reports errors by longjmp; keep its message first.
[[noreturn]] void Fail(png_structp writer, png_const_charp message) {
    auto* to = static_cast<Destination*>(png_get_error_ptr(writer));
    std::strncpy(to->message, message, sizeof to->message - 1);
    png_longjmp(writer, 1);
}

// Everything between setjmp and a possible longjmp lives in the caller, so
// nothing here needs unwinding.
bool WriteImage(png_structp writer, png_infop info, const unsigned char* pixels, int width,
                int height, int strideBytes, unsigned char* row) {
    if (setjmp(png_jmpbuf(writer))) return false;
    png_set_IHDR(writer, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(writer, 1);
    png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(writer, info);
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(pixels + y * strideBytes);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<unsigned char>(from[x] >> 16);
            row[3 * x + 1] = static_cast<unsigned char>(from[x] >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(from[x]);
        }
        png_write_row(writer, row);
    }
    png_write_end(writer, nullptr);
    return true;
}

}  // namespace

bool EncodePng(const unsigned char* pixels, int width, int height, int strideBytes,
               std::vector<unsigned char>& png, std::string& error) {
    png.clear();
    Destination destination{&png, {}};
    png_structp writer =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &destination, Fail, nullptr);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    bool written = false;
    if (info != nullptr) {
        png_set_write_fn(writer, &destination, Append, Flush);
        written = WriteImage(writer, info, pixels, width, height, strideBytes, row.data());
    }
    png_destroy_write_struct(&writer, &info);
    if (!written) error = destination.message[0] ? destination.message : "PNG encoding failed";
    return written;
}

}  // namespace sonorel
