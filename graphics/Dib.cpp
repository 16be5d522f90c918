#include "graphics/Dib.h"

#include "platform/ByteReader.h"
#include "platform/ImageBudget.h"

#include "platform/ByteWriter.h"
#include <fstream>

namespace graphics {

namespace {

using platform::PutU16;
using platform::PutU32;

using platform::ByteReader;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
// In every header version from 40 bytes up, the channel masks sit at the same file offset:
// right after a 40-byte header, or as the fields following its first 40 bytes.
constexpr size_t kMasksOffset = kFileHeaderSize + kInfoHeaderSize;

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;

struct BmpHeader {
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0; // negative: rows stored top row first
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = kCompressionNone;
    uint32_t colorsUsed = 0;
    uint32_t masks[3] = {0, 0, 0}; // red, green, blue; for 16 and 32 bits per pixel
};

bool Fail(std::string& error, const char* reason) {
    error = reason;
    return false;
}

bool ReadFileAndInfoHeaders(ByteReader& reader, BmpHeader& h, std::string& error) {
    if (reader.U8() != 'B' || reader.U8() != 'M') return Fail(error, "not a BMP file (no \"BM\")");
    h.fileSize = reader.U32();
    reader.Skip(4); // reserved
    h.pixelOffset = reader.U32();
    h.headerSize = reader.U32();
    if (reader.Failed()) return Fail(error, "file header cut short");
    if (h.headerSize == kCoreHeaderSize) {
        h.width = reader.U16();
        h.height = reader.U16();
        h.planes = reader.U16();
        h.bitsPerPixel = reader.U16();
    } else if (h.headerSize >= kInfoHeaderSize) {
        h.width = reader.I32();
        h.height = reader.I32();
        h.planes = reader.U16();
        h.bitsPerPixel = reader.U16();
        h.compression = reader.U32();
        reader.Skip(12); // image size and resolution: the rows are sized from the width
        h.colorsUsed = reader.U32();
    } else {
        return Fail(error, "unknown BMP header size");
    }
    if (reader.Failed()) return Fail(error, "BMP header cut short");
    return true;
}

bool CheckGeometry(const BmpHeader& h, std::string& error) {
    if (h.width <= 0 || h.height == 0) return Fail(error, "BMP picture has no pixels");
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    if (!platform::FitsImageBudget(h.width, rows)) {
        error = "BMP picture of " + platform::ImageBudgetRefusal(h.width, rows);
        return false;
    }
    if (h.planes != 1) return Fail(error, "BMP picture with more than one plane");
    const uint16_t bpp = h.bitsPerPixel;
    const bool core = h.headerSize == kCoreHeaderSize;
    const bool known =
        bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || (!core && (bpp == 16 || bpp == 32));
    if (!known) return Fail(error, "unsupported BMP bits per pixel");
    return true;
}

bool CheckCompression(const BmpHeader& h, std::string& error) {
    switch (h.compression) {
    case kCompressionNone:
        return true;
    case kCompressionBitFields:
        if (h.bitsPerPixel == 16 || h.bitsPerPixel == 32) return true;
        return Fail(error, "BMP bit-field masks need 16 or 32 bits per pixel");
    case kCompressionRle8:
    case kCompressionRle4:
        return Fail(error, "run-length compressed BMP pictures are not supported");
    default:
        return Fail(error, "unknown BMP compression");
    }
}

// Entries in the colour table: the count given, or by depth when it is 0.
uint64_t ColorCount(const BmpHeader& h) {
    if (h.headerSize != kCoreHeaderSize && h.colorsUsed != 0) return h.colorsUsed;
    return h.bitsPerPixel <= 8 ? (uint64_t{1} << h.bitsPerPixel) : 0;
}

bool ReadMasks(std::span<const uint8_t> file, BmpHeader& h, std::string& error) {
    if (h.compression != kCompressionBitFields) {
        const bool sixteen = h.bitsPerPixel == 16;
        h.masks[0] = sixteen ? 0x7C00 : 0xFF0000;
        h.masks[1] = sixteen ? 0x03E0 : 0x00FF00;
        h.masks[2] = sixteen ? 0x001F : 0x0000FF;
        return true;
    }
    ByteReader reader(file);
    reader.Seek(kMasksOffset);
    for (uint32_t& mask : h.masks)
        mask = reader.U32();
    if (reader.Failed()) return Fail(error, "BMP channel masks cut short");
    return true;
}

// Reads the colour table (keeping at most 256 entries) and returns where the rows start.
bool ReadColorTable(std::span<const uint8_t> file, const BmpHeader& h, DibImage& out,
                    uint64_t& pixelOffset, std::string& error) {
    const bool core = h.headerSize == kCoreHeaderSize;
    const uint64_t entrySize = core ? 3 : 4;
    uint64_t tableOffset = kFileHeaderSize + uint64_t{h.headerSize};
    if (h.compression == kCompressionBitFields && h.headerSize == kInfoHeaderSize)
        tableOffset += 12;
    const uint64_t count = ColorCount(h);
    const uint64_t tableEnd = tableOffset + count * entrySize;
    if (tableEnd > file.size()) return Fail(error, "BMP colour table cut short");

    out.palette.clear();
    if (h.bitsPerPixel <= 8) {
        ByteReader reader(file);
        reader.Seek(static_cast<size_t>(tableOffset));
        for (uint64_t i = 0; i < count && i < 256; ++i) {
            DibColor c;
            c.blue = reader.U8();
            c.green = reader.U8();
            c.red = reader.U8();
            if (!core) reader.Skip(1);
            out.palette.push_back(c);
        }
        if (reader.Failed()) return Fail(error, "BMP colour table cut short");
    }
    // The file header's offset is used when it is plausible; writers that left it 0 or
    // pointing into the table get the packed layout (rows right after the table).
    pixelOffset = h.pixelOffset >= tableEnd ? h.pixelOffset : tableEnd;
    return true;
}

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1u) == 0)
            ++shift;
        while (shift + bits < 32 && (mask >> (shift + bits)) != 0)
            ++bits;
    }
    // The channel as 8 bits: narrower fields are widened by repeating their bits, so that
    // full scale stays full scale; wider ones keep their top 8 bits.
    uint8_t Expand(uint32_t pixel) const {
        if (bits == 0) return 0;
        const uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
        uint32_t wide = 0;
        int filled = 0;
        while (filled < 8) {
            wide = (wide << bits) | value;
            filled += bits;
        }
        return static_cast<uint8_t>(wide >> (filled - 8));
    }
};

void WidenRow(std::span<const uint8_t> source, const BmpHeader& h, int width, uint8_t* dst) {
    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
    ByteReader reader(source);
    for (int x = 0; x < width; ++x) {
        const uint32_t pixel = h.bitsPerPixel == 16 ? reader.U16() : reader.U32();
        *dst++ = blue.Expand(pixel);
        *dst++ = green.Expand(pixel);
        *dst++ = red.Expand(pixel);
    }
}

bool ReadRows(std::span<const uint8_t> file, const BmpHeader& h, uint64_t pixelOffset,
              DibImage& out, std::string& error) {
    const size_t sourceStride = DibImage::StrideFor(out.width, h.bitsPerPixel);
    const uint64_t needed = uint64_t{sourceStride} * static_cast<uint64_t>(out.height);
    if (pixelOffset > file.size() || needed > file.size() - pixelOffset)
        return Fail(error, "BMP pixel rows cut short");
    ByteReader reader(file);
    reader.Seek(static_cast<size_t>(pixelOffset));
    const std::span<const uint8_t> rows = reader.Bytes(static_cast<size_t>(needed));
    if (reader.Failed()) return Fail(error, "BMP pixel rows cut short");

    const bool widened = h.bitsPerPixel == 16 || h.bitsPerPixel == 32;
    out.bitsPerPixel = widened ? 24 : h.bitsPerPixel;
    const size_t stride = out.Stride();
    out.bits.assign(stride * static_cast<size_t>(out.height), 0);
    for (int row = 0; row < out.height; ++row) {
        // Kept bottom row first, whichever way the file stores them.
        const int target = h.height < 0 ? out.height - 1 - row : row;
        const std::span<const uint8_t> source = rows.subspan(row * sourceStride, sourceStride);
        uint8_t* dst = out.bits.data() + static_cast<size_t>(target) * stride;
        if (widened)
            WidenRow(source, h, out.width, dst);
        else
            std::copy(source.begin(), source.end(), dst);
    }
    return true;
}

} // namespace

bool DibImage::IsConsistent() const {
    const bool depth =
        bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24;
    if (!depth || width <= 0 || height <= 0 || !platform::FitsImageBudget(width, height))
        return false;
    return palette.size() <= 256 && bits.size() == Stride() * static_cast<size_t>(height);
}

bool ReadDib(std::span<const uint8_t> file, DibImage& out, std::string& error) {
    ByteReader reader(file);
    BmpHeader h;
    if (!ReadFileAndInfoHeaders(reader, h, error)) return false;
    // A file shorter than its header says is a broken copy, even if the rows would fit.
    if (h.fileSize > file.size()) return Fail(error, "BMP file shorter than its header says");
    if (!CheckGeometry(h, error) || !CheckCompression(h, error)) return false;
    if ((h.bitsPerPixel == 16 || h.bitsPerPixel == 32) && !ReadMasks(file, h, error)) return false;
    out.width = static_cast<int>(h.width);
    out.height = static_cast<int>(h.height < 0 ? -h.height : h.height);
    uint64_t pixelOffset = 0;
    if (!ReadColorTable(file, h, out, pixelOffset, error)) return false;
    return ReadRows(file, h, pixelOffset, out, error);
}

std::vector<uint8_t> EncodeDibFile(const DibImage& image) {
    if (!image.IsConsistent()) return {};
    const bool indexed = image.bitsPerPixel <= 8;
    // An indexed picture without colours still gets a full (black) table, so that the file
    // reads back with the same meaning.
    const size_t entries =
        !indexed ? 0
                 : (image.palette.empty() ? size_t{1} << image.bitsPerPixel : image.palette.size());
    const size_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + entries * 4;
    const size_t total = pixelOffset + image.bits.size();

    std::vector<uint8_t> out;
    out.reserve(total);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, static_cast<uint32_t>(total));
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(pixelOffset));
    PutU32(out, kInfoHeaderSize);
    PutU32(out, static_cast<uint32_t>(image.width));
    PutU32(out, static_cast<uint32_t>(image.height)); // positive: bottom row first
    PutU16(out, 1);
    PutU16(out, static_cast<uint32_t>(image.bitsPerPixel));
    PutU32(out, kCompressionNone);
    PutU32(out, static_cast<uint32_t>(image.bits.size()));
    PutU32(out, 0); // horizontal resolution: unknown
    PutU32(out, 0); // vertical resolution
    PutU32(out, static_cast<uint32_t>(entries));
    PutU32(out, 0); // all colours important
    for (size_t i = 0; i < entries; ++i) {
        const DibColor c = i < image.palette.size() ? image.palette[i] : DibColor{};
        out.insert(out.end(), {c.blue, c.green, c.red, 0});
    }
    out.insert(out.end(), image.bits.begin(), image.bits.end());
    return out;
}

bool WriteDibFile(const std::string& path, const DibImage& image) {
    const std::vector<uint8_t> data = EncodeDibFile(image);
    if (data.empty()) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    file.close();
    return !file.fail();
}

} // namespace graphics
