#pragma once
// Device-independent bitmaps: the in-memory picture every room background becomes, whether
// it was stored as a Windows BMP file or as a GIF. The layout mirrors a packed DIB (header,
// colour table, pixel rows bottom row first, each row padded to 4 bytes), so that it can be
// written back out as a BMP file unchanged.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace graphics {

struct DibColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const DibColor&, const DibColor&) = default;
};

struct DibImage {
    int width = 0;
    int height = 0;       // always positive; rows are kept bottom-up whatever the file said
    int bitsPerPixel = 0; // 1, 4 or 8 (indexes into `palette`) or 24 (blue, green, red)
    std::vector<DibColor> palette;
    std::vector<uint8_t> bits; // Stride() * height bytes, the bottom row first

    // Bytes per stored row: whole 32-bit words.
    size_t Stride() const { return StrideFor(width, bitsPerPixel); }
    static size_t StrideFor(int width, int bitsPerPixel) {
        return (static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32 * 4;
    }
    // True when the fields describe a picture this module can convert and write (within
    // the image budget of platform/ImageBudget.h).
    bool IsConsistent() const;
    // Stored row of picture row y counted from the top.
    const uint8_t* TopDownRow(int y) const { return bits.data() + (height - 1 - y) * Stride(); }
    uint8_t* TopDownRow(int y) { return bits.data() + (height - 1 - y) * Stride(); }
};

// Reads a BMP file: "BM" file header, then a 12-byte core header or an info header of 40 bytes
// or more (the later, longer versions are read through their first 40 bytes and masks).
// Depths 1, 4, 8 and 24 are kept as stored; 16 and 32 bits per pixel (5-5-5, or the masks of
// a bit-fields header) are widened to 24 bits. Run-length compressed files are refused.
// On failure returns false with a reason in `error`; `out` is then unspecified.
bool ReadDib(std::span<const uint8_t> file, DibImage& out, std::string& error);

// The BMP file of a picture: file header, 40-byte info header, colour table, rows as stored.
// Empty when the picture is not consistent.
std::vector<uint8_t> EncodeDibFile(const DibImage& image);

// Writes EncodeDibFile to `path`, replacing any earlier file. False when it cannot.
bool WriteDibFile(const std::string& path, const DibImage& image);

// The name under which a decoded GIF is saved as a BMP for inspection.
inline constexpr const char* kGifDumpFileName = "work.dib";

} // namespace graphics
