#include "graphics/PictureConvert.h"

#include "graphics/Gif.h"
#include "platform/ImageBudget.h"

#include <array>
#include <unordered_map>

namespace graphics {

namespace {

using platform::Pixel;
using platform::PixelShifts;

// The colour table in display pixels; entries past the table stay black.
std::array<Pixel, 256> DisplayPalette(const DibImage& image, const PixelShifts& shifts) {
    std::array<Pixel, 256> table{};
    for (size_t i = 0; i < image.palette.size() && i < table.size(); ++i) {
        const DibColor& c = image.palette[i];
        table[i] = shifts.FromRgb(c.red, c.green, c.blue);
    }
    return table;
}

// Index of pixel x in a row of 1, 4 or 8 bits per pixel; the leftmost pixel sits in the
// high bits of a byte.
uint8_t IndexAt(const uint8_t* row, int x, int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) != 0 ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default:
        return row[x];
    }
}

uint32_t PackRgb(const uint8_t* p) {
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

// Palette in order of first appearance, or false when there are more than 256 colours.
bool CollectPalette(std::span<const uint8_t> rgb, size_t pixels, DibImage& out,
                    std::unordered_map<uint32_t, uint8_t>& indexOf) {
    out.palette.clear();
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = rgb.data() + i * 3;
        const uint32_t key = PackRgb(p);
        if (indexOf.count(key) != 0) continue;
        if (indexOf.size() == 256) return false;
        indexOf.emplace(key, static_cast<uint8_t>(indexOf.size()));
        out.palette.push_back(DibColor{p[0], p[1], p[2]});
    }
    return true;
}

} // namespace

bool DecodePicture(std::span<const uint8_t> file, DibImage& out, std::string& error) {
    std::string bmpError;
    if (ReadDib(file, out, bmpError)) return true;
    std::string gifError;
    if (ReadGif(file, out, gifError)) return true;
    // Report the failure of the format the file claims to be.
    const bool looksLikeBmp = file.size() >= 2 && file[0] == 'B' && file[1] == 'M';
    error = looksLikeBmp ? bmpError : gifError;
    return false;
}

bool DibToPixels(const DibImage& image, const PixelShifts& shifts, Pixel* dst, int pitchPixels) {
    if (!image.IsConsistent() || dst == nullptr || pitchPixels < image.width) return false;
    const std::array<Pixel, 256> palette = DisplayPalette(image, shifts);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = image.TopDownRow(y);
        Pixel* out = dst + static_cast<size_t>(y) * static_cast<size_t>(pitchPixels);
        if (image.bitsPerPixel == 24) {
            for (int x = 0; x < image.width; ++x, row += 3)
                out[x] = shifts.FromRgb(row[2], row[1], row[0]); // stored blue, green, red
        } else {
            for (int x = 0; x < image.width; ++x)
                out[x] = palette[IndexAt(row, x, image.bitsPerPixel)];
        }
    }
    return true;
}

std::optional<platform::Surface> DibToSurface(const DibImage& image, const PixelShifts& shifts) {
    if (!image.IsConsistent()) return std::nullopt;
    platform::Surface surface(image.width, image.height);
    const bool converted = DibToPixels(image, shifts, surface.Lock(), surface.Pitch() / 2);
    surface.Unlock();
    if (!converted) return std::nullopt;
    return surface;
}

bool StretchToSurface(platform::Surface& dst, const platform::Surface& picture, int sx, int sy,
                      int sw, int sh) {
    if (sw == 0) sw = picture.Width();
    if (sh == 0) sh = picture.Height();
    const platform::Rect source{sx, sy, sx + sw, sy + sh};
    return dst.Blt(dst.Bounds(), picture, source);
}

bool DibFromRgb(int width, int height, std::span<const uint8_t> rgb, bool trueColor,
                DibImage& out) {
    if (width <= 0 || height <= 0 || !platform::FitsImageBudget(width, height)) return false;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (rgb.size() < pixels * 3) return false;
    std::unordered_map<uint32_t, uint8_t> indexOf;
    const bool indexed = !trueColor && CollectPalette(rgb, pixels, out, indexOf);
    if (!indexed) out.palette.clear();
    out.width = width;
    out.height = height;
    out.bitsPerPixel = indexed ? 8 : 24;
    out.bits.assign(out.Stride() * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = rgb.data() + static_cast<size_t>(y) * width * 3;
        uint8_t* row = out.TopDownRow(y);
        for (int x = 0; x < width; ++x, source += 3) {
            if (indexed) {
                row[x] = indexOf.find(PackRgb(source))->second;
            } else {
                row[x * 3] = source[2];
                row[x * 3 + 1] = source[1];
                row[x * 3 + 2] = source[0];
            }
        }
    }
    return true;
}

} // namespace graphics
