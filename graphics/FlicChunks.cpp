#include "graphics/FlicChunks.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/ByteReader.h"

namespace codecs {

using platform::ByteReader;

namespace {

// The destination as the chunk decoders see it; Decode has checked that every row fits.
struct Rows {
    uint16_t* base = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    const FlicLut* lut = nullptr;

    uint16_t* Row(int y) const { return base + static_cast<size_t>(y) * pitch; }
};

// Chunk decoders return nullptr on success, else the reason of the fault.
using Fault = const char*;

constexpr Fault kTruncated = "chunk data ends early";
constexpr Fault kPastRow = "pixels past the end of a row";

// Four table entries packed into one 64-bit word, the first in the low bits.
uint64_t LookUpFour(uint32_t four, const uint16_t* table) {
    return uint64_t{table[four & 0xFF]} | uint64_t{table[(four >> 8) & 0xFF]} << 16 |
           uint64_t{table[(four >> 16) & 0xFF]} << 32 | uint64_t{table[four >> 24]} << 48;
}

// Palette indices through the table. Every literal run of every chunk kind passes here; on
// little-endian machines eight indices are read as one word and written as two, which
// takes well under half the loads and stores of one pixel at a time.
void MapBytes(uint16_t* out, std::span<const uint8_t> indices, const FlicLut& lut) {
    const uint8_t* in = indices.data();
    const size_t n = indices.size();
    const uint16_t* table = lut.data();
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            uint64_t eight;
            std::memcpy(&eight, in + i, sizeof eight);
            const uint64_t low = LookUpFour(static_cast<uint32_t>(eight), table);
            const uint64_t high = LookUpFour(static_cast<uint32_t>(eight >> 32), table);
            std::memcpy(out + i, &low, sizeof low);
            std::memcpy(out + i + 4, &high, sizeof high);
        }
    }
    for (; i < n; ++i)
        out[i] = table[in[i]];
}

// `count` copies of a pixel pair, stored as 32-bit words: the pair in memory order.
void FillPairs(uint16_t* out, uint16_t first, uint16_t second, int count) {
    uint32_t pair;
    const uint16_t both[2] = {first, second};
    std::memcpy(&pair, both, sizeof pair);
    for (int i = 0; i < count; ++i)
        std::memcpy(out + 2 * i, &pair, sizeof pair);
}

// Rows of runs: a count byte t >= 0 repeats the next index t times, t < 0 copies -t indices.
// The packet count byte in front of each row is not used: the runs fill the row exactly
// (the byte cannot count the packets of rows wider than 255 runs).
Fault DecodeByteRun(ByteReader& in, const Rows& rows) {
    for (int y = 0; y < rows.height; ++y) {
        uint16_t* row = rows.Row(y);
        in.U8();
        int x = 0;
        while (x < rows.width) {
            const int count = static_cast<int8_t>(in.U8());
            if (count >= 0) {
                const uint16_t value = (*rows.lut)[in.U8()];
                if (in.Failed()) return kTruncated;
                if (count > rows.width - x) return kPastRow;
                std::fill_n(row + x, count, value);
                x += count;
            } else {
                const std::span<const uint8_t> literal = in.Bytes(static_cast<size_t>(-count));
                if (in.Failed()) return kTruncated;
                if (-count > rows.width - x) return kPastRow;
                MapBytes(row + x, literal, *rows.lut);
                x -= count;
            }
        }
    }
    return in.Failed() ? kTruncated : nullptr;
}

// The packets of one DELTA_FLC row: column skip byte, then t >= 0 copies t pixel pairs,
// t < 0 repeats one pair -t times.
Fault DecodeFlcPackets(ByteReader& in, const Rows& rows, uint16_t* row, int packets) {
    int x = 0;
    for (int p = 0; p < packets; ++p) {
        x += in.U8();
        const int count = static_cast<int8_t>(in.U8());
        if (in.Failed()) return kTruncated;
        if (x > rows.width) return kPastRow;
        if (count >= 0) {
            const std::span<const uint8_t> pairs = in.Bytes(2 * static_cast<size_t>(count));
            if (in.Failed()) return kTruncated;
            if (2 * count > rows.width - x) return kPastRow;
            MapBytes(row + x, pairs, *rows.lut);
            x += 2 * count;
        } else {
            const uint16_t first = (*rows.lut)[in.U8()];
            const uint16_t second = (*rows.lut)[in.U8()];
            if (in.Failed()) return kTruncated;
            if (-2 * count > rows.width - x) return kPastRow;
            FillPairs(row + x, first, second, -count);
            x -= 2 * count;
        }
    }
    return nullptr;
}

// A count of rows with packets; before a row's packet count come optional words with the top
// bit set: 0x80nn sets the row's last pixel to nn (odd widths, where pairs cannot reach it),
// any other is a negative number of rows to skip.
Fault DecodeDeltaFlc(ByteReader& in, const Rows& rows) {
    const int lineCount = in.U16();
    int y = 0;
    for (int line = 0; line < lineCount; ++line) {
        int lastPixel = -1;
        uint16_t word = in.U16();
        while (!in.Failed() && (word & 0x8000) != 0) {
            if ((word >> 8) == 0x80) {
                lastPixel = word & 0xFF;
            } else {
                y += 0x10000 - word;
                if (y >= rows.height) return "line skip past the last row";
            }
            word = in.U16();
        }
        if (in.Failed()) return kTruncated;
        if (y >= rows.height) return "more lines than the frame has rows";
        uint16_t* row = rows.Row(y);
        if (Fault fault = DecodeFlcPackets(in, rows, row, word)) return fault;
        if (lastPixel >= 0) row[rows.width - 1] = (*rows.lut)[lastPixel];
        ++y;
    }
    return in.Failed() ? kTruncated : nullptr;
}

// Old FLI delta: first row, row count, then per row a packet count byte and packets of
// column skip byte and t > 0 copies t indices, t < 0 repeats one index -t times.
Fault DecodeDeltaFli(ByteReader& in, const Rows& rows) {
    int y = in.U16();
    const int lineCount = in.U16();
    if (in.Failed()) return kTruncated;
    for (int line = 0; line < lineCount; ++line, ++y) {
        if (y >= rows.height) return "more lines than the frame has rows";
        uint16_t* row = rows.Row(y);
        const int packets = in.U8();
        int x = 0;
        for (int p = 0; p < packets; ++p) {
            x += in.U8();
            const int count = static_cast<int8_t>(in.U8());
            if (in.Failed()) return kTruncated;
            if (x > rows.width) return kPastRow;
            if (count >= 0) {
                const std::span<const uint8_t> literal = in.Bytes(static_cast<size_t>(count));
                if (in.Failed()) return kTruncated;
                if (count > rows.width - x) return kPastRow;
                MapBytes(row + x, literal, *rows.lut);
                x += count;
            } else {
                const uint16_t value = (*rows.lut)[in.U8()];
                if (in.Failed()) return kTruncated;
                if (-count > rows.width - x) return kPastRow;
                std::fill_n(row + x, -count, value);
                x -= count;
            }
        }
    }
    return nullptr;
}

Fault DecodeFliCopy(ByteReader& in, const Rows& rows) {
    for (int y = 0; y < rows.height; ++y) {
        const std::span<const uint8_t> indices = in.Bytes(static_cast<size_t>(rows.width));
        if (in.Failed()) return kTruncated;
        MapBytes(rows.Row(y), indices, *rows.lut);
    }
    return nullptr;
}

Fault FillBlack(const Rows& rows) {
    for (int y = 0; y < rows.height; ++y)
        std::fill_n(rows.Row(y), rows.width, (*rows.lut)[0]);
    return nullptr;
}

// The chunks that draw; postage stamps and unknown types are skipped.
Fault DecodeImageChunk(uint16_t type, std::span<const uint8_t> data, const Rows& rows) {
    ByteReader in(data);
    switch (type) {
    case kChunkDeltaFlc:
        return DecodeDeltaFlc(in, rows);
    case kChunkDeltaFli:
        return DecodeDeltaFli(in, rows);
    case kChunkBlack:
        return FillBlack(rows);
    case kChunkByteRun:
        return DecodeByteRun(in, rows);
    case kChunkFliCopy:
        return DecodeFliCopy(in, rows);
    default:
        return nullptr;
    }
}

} // namespace

void FlicFrameDecoder::Reset(int width, int height, const platform::PixelShifts& shifts) {
    width_ = width;
    height_ = height;
    shifts_ = shifts;
    palette_ = {};
    lut_ = {};
    error_ = "";
}

bool FlicFrameDecoder::Fail(const char* reason) {
    error_ = reason;
    return false;
}

bool FlicFrameDecoder::Decode(std::span<const uint8_t> frame, const FlicCanvas& canvas) {
    error_ = "";
    if (width_ <= 0 || height_ <= 0) return Fail("no animation size");
    const size_t needed = static_cast<size_t>(height_ - 1) * static_cast<size_t>(canvas.pitch) +
                          static_cast<size_t>(width_);
    if (canvas.pitch < width_ || canvas.pixels.size() < needed)
        return Fail("destination smaller than the frame");
    const Rows rows{canvas.pixels.data(), canvas.pitch, width_, height_, &lut_};

    ByteReader in(frame);
    in.U32(); // the frame size; the caller has cut the frame out with it
    in.U16(); // frame type, not used
    const int chunkCount = in.U16();
    if (!in.Seek(kFrameHeaderSize)) return Fail("frame shorter than its header");
    for (int i = 0; i < chunkCount; ++i) {
        const size_t start = in.Tell();
        const uint32_t size = in.U32();
        const uint16_t type = in.U16();
        if (in.Failed()) return Fail("chunk header past the end of the frame");
        if (size < kChunkHeaderSize || size > frame.size() - start)
            return Fail("chunk size outside the frame");
        const std::span<const uint8_t> data =
            frame.subspan(start + kChunkHeaderSize, size - kChunkHeaderSize);
        if (type == kChunkColor256 || type == kChunkColor64) {
            if (!DecodePalette(data, type == kChunkColor64)) return false;
        } else if (Fault fault = DecodeImageChunk(type, data, rows)) {
            return Fail(fault);
        }
        in.Seek(start + size);
    }
    return true;
}

// Packets of (index skip byte, count byte with 0 meaning 256, count RGB triples); then the
// whole table is rebuilt, so a palette chunk costs one 256-entry pass.
bool FlicFrameDecoder::DecodePalette(std::span<const uint8_t> data, bool sixBit) {
    ByteReader in(data);
    const int packets = in.U16();
    int index = 0;
    for (int p = 0; p < packets; ++p) {
        index += in.U8();
        int count = in.U8();
        if (count == 0) count = 256;
        const std::span<const uint8_t> triples = in.Bytes(3 * static_cast<size_t>(count));
        if (in.Failed()) return Fail(kTruncated);
        if (count > 256 - index) return Fail("palette packet past colour 255");
        for (int i = 0; i < count; ++i) {
            const uint8_t* c = &triples[3 * static_cast<size_t>(i)];
            const int scale = sixBit ? 4 : 1;
            palette_[index + i] =
                Rgb{static_cast<uint8_t>(c[0] * scale), static_cast<uint8_t>(c[1] * scale),
                    static_cast<uint8_t>(c[2] * scale)};
        }
        index += count;
    }
    for (size_t i = 0; i < lut_.size(); ++i) {
        const Rgb& c = palette_[i];
        lut_[i] = sixBit ? PackColor64(c) : shifts_.FromRgb(c.r, c.g, c.b);
    }
    return true;
}

} // namespace codecs
