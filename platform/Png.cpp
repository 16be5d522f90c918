// PNG encoding and decoding with libpng. Files are read whole and fed to libpng through
// ByteReader; images are encoded into memory and written in one go. libpng reports errors by
// longjmp, so every libpng call sequence sits in a small function that calls setjmp itself
// and owns nothing with a destructor; the callers own the structures and buffers (RAII).
#include "platform/Png.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <vector>

#include "platform/ByteReader.h"
#include "platform/FileBytesInternal.h"
#include "platform/ImageBudget.h"
#include "platform/PixelFormat.h"
#include "platform/Trace.h"

namespace platform {

namespace {

// Larger images are refused on reading: a corrupt header must not become a huge allocation.
constexpr png_uint_32 kMaxReadDimension = static_cast<png_uint_32>(kMaxImageSide);
constexpr int kRgbChannels = 3;

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    Trace("PNG error: %s\n", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

class PngReadStruct {
public:
    PngReadStruct() {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
        if (png_ != nullptr) info_ = png_create_info_struct(png_);
    }
    ~PngReadStruct() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
    PngReadStruct(const PngReadStruct&) = delete;
    PngReadStruct& operator=(const PngReadStruct&) = delete;

    bool Valid() const { return png_ != nullptr && info_ != nullptr; }
    png_structp Png() const { return png_; }
    png_infop Info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

class PngWriteStruct {
public:
    PngWriteStruct() {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
        if (png_ != nullptr) info_ = png_create_info_struct(png_);
    }
    ~PngWriteStruct() { png_destroy_write_struct(&png_, info_ ? &info_ : nullptr); }
    PngWriteStruct(const PngWriteStruct&) = delete;
    PngWriteStruct& operator=(const PngWriteStruct&) = delete;

    bool Valid() const { return png_ != nullptr && info_ != nullptr; }
    png_structp Png() const { return png_; }
    png_infop Info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

void ReadFromByteReader(png_structp png, png_bytep out, size_t count) {
    auto* reader = static_cast<ByteReader*>(png_get_io_ptr(png));
    if (!reader->Read(out, count)) png_error(png, "unexpected end of file");
}

void AppendToBuffer(png_structp png, png_bytep data, size_t count) {
    auto* buffer = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    buffer->insert(buffer->end(), data, data + count);
}

void FlushNothing(png_structp) {}

template <typename Byte>
std::vector<Byte*> RowPointers(Byte* pixels, png_uint_32 width, png_uint_32 height) {
    std::vector<Byte*> rows(height);
    const size_t rowBytes = static_cast<size_t>(width) * kRgbChannels;
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = pixels + y * rowBytes;
    return rows;
}

// Writes the header and the 8-bit RGB rows. No time or text chunks, so equal images give
// equal files.
bool EncodeRgb(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height,
               png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

// Reads the header and sets up the transforms that turn any colour type and depth into
// 8-bit RGB; false unless the result is exactly that.
bool ReadHeaderAsRgb8(png_structp png, png_infop info, png_uint_32& width, png_uint_32& height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, kMaxReadDimension, kMaxReadDimension);
    png_read_info(png, info);
    png_set_expand(png); // palette → RGB, gray below 8 bits → 8 bits, transparency → alpha
    png_set_scale_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_channels(png, info) != kRgbChannels)
        return false;
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (!FitsImageBudget(width, height)) return false;
    return png_get_rowbytes(png, info) == static_cast<size_t>(width) * kRgbChannels;
}

bool ReadRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

} // namespace

bool WritePngRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0) return false;
    const size_t expected = static_cast<size_t>(width) * static_cast<size_t>(height) * kRgbChannels;
    if (rgb.size() != expected) return false;
    PngWriteStruct png;
    if (!png.Valid()) return false;
    std::vector<uint8_t> encoded;
    png_set_write_fn(png.Png(), &encoded, AppendToBuffer, FlushNothing);
    // libpng only reads the rows it is given; its row type is simply not const.
    auto* pixels = const_cast<png_byte*>(rgb.data());
    std::vector<png_bytep> rows = RowPointers(pixels, width, height);
    if (!EncodeRgb(png.Png(), png.Info(), width, height, rows.data())) return false;
    return internal::WriteWholeFile(path, encoded);
}

bool WritePng(const std::string& path, const Surface& surface) {
    const int width = surface.Width();
    const int height = surface.Height();
    if (width <= 0 || height <= 0) return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * kRgbChannels);
    uint8_t* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        const Pixel* row = surface.Row(y);
        for (int x = 0; x < width; ++x, out += kRgbChannels) {
            Rgb565ToRgb888(row[x], out[0], out[1], out[2]);
        }
    }
    return WritePngRgb(path, width, height, rgb);
}

bool ReadPngRgb(const std::string& path, RgbImage& out) {
    std::vector<uint8_t> bytes;
    if (!internal::ReadWholeFile(path, bytes)) return false;
    ByteReader reader(bytes);
    PngReadStruct png;
    if (!png.Valid()) return false;
    png_set_read_fn(png.Png(), &reader, ReadFromByteReader);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    if (!ReadHeaderAsRgb8(png.Png(), png.Info(), width, height)) return false;
    RgbImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgb.resize(static_cast<size_t>(width) * height * kRgbChannels);
    std::vector<png_bytep> rows = RowPointers(image.rgb.data(), width, height);
    if (!ReadRows(png.Png(), png.Info(), rows.data())) return false;
    out = std::move(image);
    return true;
}

} // namespace platform
