#pragma once
// BMP and GIF files assembled in memory for the decoder tests, with a small GIF LZW encoder
// written independently of the decoder (a map from (prefix, pixel) to code).
#include "graphics/Dib.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace testpictures {

using graphics::DibColor;
using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// --- BMP -------------------------------------------------------------------------------------

struct BmpSpec {
    uint32_t headerSize = 40; // 12, 40, or a longer version such as 108
    int32_t width = 0;
    int32_t height = 0; // negative: top row first
    uint16_t bitsPerPixel = 8;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<DibColor> palette; // written as given (3 or 4 bytes each)
    std::vector<uint32_t> masks;   // written at file offset 54 when not empty
    std::vector<Bytes> rows;       // in file order, unpadded; padded here to 4 bytes
    int64_t pixelOffset = -1;      // -1: right after the colour table
    int64_t fileSize = -1;         // -1: the real size
    uint16_t planes = 1;
};

inline BmpSpec Bmp(uint32_t headerSize, int32_t width, int32_t height, uint16_t bitsPerPixel,
                   uint32_t compression = 0) {
    BmpSpec s;
    s.headerSize = headerSize;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = bitsPerPixel;
    s.compression = compression;
    return s;
}

inline Bytes BuildBmp(const BmpSpec& s) {
    Bytes info;
    Put32(info, s.headerSize);
    if (s.headerSize == 12) {
        Put16(info, static_cast<uint32_t>(s.width));
        Put16(info, static_cast<uint32_t>(s.height));
        Put16(info, s.planes);
        Put16(info, s.bitsPerPixel);
    } else {
        Put32(info, static_cast<uint32_t>(s.width));
        Put32(info, static_cast<uint32_t>(s.height));
        Put16(info, s.planes);
        Put16(info, s.bitsPerPixel);
        Put32(info, s.compression);
        Put32(info, 0); // image size
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, s.colorsUsed);
        Put32(info, 0);
        for (uint32_t m : s.masks)
            Put32(info, m);
        info.resize(std::max<size_t>(info.size(), s.headerSize), 0);
    }
    Bytes table;
    for (const DibColor& c : s.palette) {
        for (uint8_t channel : {c.blue, c.green, c.red})
            table.push_back(channel);
        if (s.headerSize != 12) table.push_back(0);
    }
    Bytes pixels;
    for (Bytes row : s.rows) {
        row.resize((row.size() + 3) / 4 * 4, 0);
        Append(pixels, row);
    }
    const size_t tableEnd = 14 + info.size() + table.size();
    const size_t offset = s.pixelOffset < 0 ? tableEnd : static_cast<size_t>(s.pixelOffset);
    Bytes out = {'B', 'M'};
    const size_t total = std::max(offset, tableEnd) + pixels.size();
    Put32(out, s.fileSize < 0 ? static_cast<uint32_t>(total) : static_cast<uint32_t>(s.fileSize));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(s.pixelOffset < 0 ? tableEnd : s.pixelOffset));
    Append(out, info);
    Append(out, table);
    out.resize(std::max(offset, tableEnd), 0xEE); // a gap before the rows reads as noise
    Append(out, pixels);
    return out;
}

// Packs indexes of 1, 4 or 8 bits into a row, leftmost pixel in the high bits.
inline Bytes PackIndexes(const std::vector<uint8_t>& indexes, int bitsPerPixel) {
    Bytes row((indexes.size() * bitsPerPixel + 7) / 8, 0);
    for (size_t x = 0; x < indexes.size(); ++x) {
        const size_t bit = x * bitsPerPixel;
        row[bit / 8] |= static_cast<uint8_t>(indexes[x] << (8 - bitsPerPixel - bit % 8));
    }
    return row;
}

// --- GIF -------------------------------------------------------------------------------------

// Writes codes of varying width, least significant bit first.
class CodeWriter {
public:
    void Put(int code, int width) {
        bits_ |= static_cast<uint64_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    Bytes Finish() {
        if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(bits_));
        count_ = 0;
        bits_ = 0;
        return bytes_;
    }

private:
    Bytes bytes_;
    uint64_t bits_ = 0;
    int count_ = 0;
};

struct LzwOptions {
    bool clearWhenFull = true; // else the full table is kept (a "deferred clear")
    int clearEvery = 0;        // > 0: also a clear code after this many codes
    bool endCode = true;
};

// `tableFills` counts how often the table reached its 4096 entries.
inline Bytes LzwEncode(const std::vector<uint8_t>& pixels, int minCodeSize,
                       const LzwOptions& options = {}, int* tableFills = nullptr) {
    const int clear = 1 << minCodeSize;
    int width = 0, next = 0, sinceClear = 0;
    std::map<std::pair<int, int>, int> table;
    CodeWriter out;
    auto reset = [&] {
        out.Put(clear, width == 0 ? minCodeSize + 1 : width);
        table.clear();
        width = minCodeSize + 1;
        next = clear + 2;
        sinceClear = 0;
    };
    // Every code after the first since a clear makes the decoder add an entry; the width
    // grows once the entry count passes the current width.
    auto emit = [&](int code) {
        out.Put(code, width);
        ++sinceClear;
        if (next < 4096) {
            ++next;
            if (next > (1 << width) && width < 12) ++width;
            if (next == 4096 && tableFills != nullptr) ++*tableFills;
        }
    };
    reset();
    int prefix = -1;
    for (uint8_t p : pixels) {
        if (prefix < 0) {
            prefix = p;
            continue;
        }
        auto found = table.find({prefix, p});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        const int entry = next;
        emit(prefix);
        if (entry < 4096) table[{prefix, p}] = entry;
        prefix = p;
        const bool full = next >= 4096 && options.clearWhenFull;
        const bool periodic = options.clearEvery > 0 && sinceClear >= options.clearEvery;
        if (full || periodic) reset();
    }
    if (prefix >= 0) emit(prefix);
    if (options.endCode) out.Put(clear + 1, width);
    return out.Finish();
}

struct GifSpec {
    std::string version = "89a";
    int screenWidth = 0;
    int screenHeight = 0;
    uint8_t background = 0;
    std::vector<DibColor> global; // 2, 4, ... 256 entries, or none
    Bytes beforeImage;            // extensions and the like, written as given
    bool hasImage = true;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::vector<DibColor> local;
    int minCodeSize = 8;
    Bytes codes;      // the LZW stream, cut into sub-blocks here
    Bytes afterImage; // e.g. a second image
    bool trailer = true;
};

inline uint8_t TableSizeField(size_t entries) {
    uint8_t field = 0;
    while ((size_t{2} << field) < entries)
        ++field;
    return field;
}

inline void PutColorTable(Bytes& out, const std::vector<DibColor>& colors) {
    for (const DibColor& c : colors)
        for (uint8_t channel : {c.red, c.green, c.blue})
            out.push_back(channel);
}

inline Bytes SubBlocks(const Bytes& data) {
    Bytes out;
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + i, data.begin() + i + n);
    }
    out.push_back(0);
    return out;
}

inline Bytes BuildGif(const GifSpec& s) {
    Bytes out;
    for (char c : "GIF" + s.version)
        out.push_back(static_cast<uint8_t>(c));
    Put16(out, s.screenWidth);
    Put16(out, s.screenHeight);
    out.push_back(s.global.empty() ? 0 : 0x80 | TableSizeField(s.global.size()));
    out.push_back(s.background);
    out.push_back(0);
    PutColorTable(out, s.global);
    Append(out, s.beforeImage);
    if (s.hasImage) {
        out.push_back(0x2C);
        Put16(out, s.left);
        Put16(out, s.top);
        Put16(out, s.width);
        Put16(out, s.height);
        uint8_t packed = s.interlaced ? 0x40 : 0;
        if (!s.local.empty()) packed |= 0x80 | TableSizeField(s.local.size());
        out.push_back(packed);
        PutColorTable(out, s.local);
        out.push_back(static_cast<uint8_t>(s.minCodeSize));
        Append(out, SubBlocks(s.codes));
    }
    Append(out, s.afterImage);
    if (s.trailer) out.push_back(0x3B);
    return out;
}

// Rows of an image in the order an interlaced GIF stores them.
inline std::vector<uint8_t> Interlace(const std::vector<uint8_t>& pixels, int width, int height) {
    std::vector<uint8_t> out;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            out.insert(out.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
    return out;
}

inline std::vector<DibColor> Palette(int entries) {
    std::vector<DibColor> colors;
    for (int i = 0; i < entries; ++i)
        colors.push_back(DibColor{static_cast<uint8_t>(i * 37 + 1), static_cast<uint8_t>(255 - i),
                                  static_cast<uint8_t>(i * 11 + 128)});
    return colors;
}

// The colour of picture pixel (x, y), counted from the top, read directly from the bits.
inline DibColor ColorAt(const graphics::DibImage& image, int x, int y) {
    const uint8_t* row = image.bits.data() + (image.height - 1 - y) * image.Stride();
    if (image.bitsPerPixel == 24) return DibColor{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
    const int bpp = image.bitsPerPixel;
    const int bit = x * bpp;
    const int index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
    return index < static_cast<int>(image.palette.size()) ? image.palette[index] : DibColor{};
}

} // namespace testpictures
