#pragma once
// FLC/FLI files assembled byte by byte for the decoder tests, and a destination picture with
// guard pixels around the frame that must stay untouched.
#include "graphics/FlicDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace flictest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline Bytes Chunk(uint16_t type, const Bytes& data) {
    Bytes out;
    Put32(out, static_cast<uint32_t>(6 + data.size()));
    Put16(out, type);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

inline Bytes Frame(const std::vector<Bytes>& chunks) {
    Bytes out(16, 0);
    out[4] = 0xFA;
    out[5] = 0xF1;
    out[6] = static_cast<uint8_t>(chunks.size());
    for (const Bytes& c : chunks)
        out.insert(out.end(), c.begin(), c.end());
    out[0] = static_cast<uint8_t>(out.size());
    out[1] = static_cast<uint8_t>(out.size() >> 8);
    out[2] = static_cast<uint8_t>(out.size() >> 16);
    return out;
}

// A file of the given frames; unless told, the last one is the ring frame (of two or more). Offsets
// 80 and 84 are filled for FLC files and left 0 for FLI files.
inline Bytes Flic(int width, int height, const std::vector<Bytes>& frames, int frameCount = -1,
                  uint16_t magic = codecs::kFlcMagic, uint16_t speed = 70) {
    Bytes out(128, 0);
    auto set16 = [&](size_t at, uint32_t v) {
        out[at] = static_cast<uint8_t>(v);
        out[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    set16(4, magic);
    set16(6, static_cast<uint32_t>(frameCount >= 0 ? frameCount
                                                   : std::max(1, int(frames.size()) - 1)));
    set16(8, static_cast<uint32_t>(width));
    set16(10, static_cast<uint32_t>(height));
    set16(16, speed);
    if (magic == codecs::kFlcMagic) {
        set16(80, 128);
        set16(84, static_cast<uint32_t>(128 + (frames.empty() ? 0 : frames[0].size())));
    }
    for (const Bytes& f : frames)
        out.insert(out.end(), f.begin(), f.end());
    return out;
}

// COLOR_256 chunk setting colours first..first+count-1 (count 256 is written as 0) to the
// test colours below, or to `rgb` when given.
inline Bytes Palette256(int first, int count, const Bytes& rgb = {}) {
    Bytes data;
    Put16(data, 1);
    data.push_back(static_cast<uint8_t>(first));
    data.push_back(static_cast<uint8_t>(count & 0xFF));
    for (int i = 0; i < count; ++i) {
        const int c = first + i;
        if (rgb.empty()) {
            // Red carries the low five bits of the index, green the top three: every index
            // gets its own 5-6-5 value.
            data.push_back(static_cast<uint8_t>((c & 0x1F) << 3));
            data.push_back(static_cast<uint8_t>((c >> 5) << 2));
            data.push_back(0);
        } else {
            data.insert(data.end(), rgb.begin() + 3 * i, rgb.begin() + 3 * i + 3);
        }
    }
    return Chunk(codecs::kChunkColor256, data);
}

// A small, otherwise well-formed file whose header claims a picture of width x height: a
// full palette, then a frame and a ring frame that change nothing (about 1 KB whatever the
// size claimed).
inline Bytes ClaimedSizeFlic(int width, int height) {
    const Bytes nothing = Chunk(codecs::kChunkDeltaFlc, {0, 0});
    return Flic(width, height, {Frame({Palette256(0, 256), nothing}), Frame({nothing})});
}

// BYTE_RUN rows from raw packet bytes (each row's packet count byte included).
inline Bytes ByteRun(const Bytes& rows) {
    return Chunk(codecs::kChunkByteRun, rows);
}

// A full frame of one index per pixel, as BYTE_RUN literal rows.
inline Bytes LiteralFrame(int width, const std::vector<int>& indices, bool withPalette = false) {
    Bytes rows;
    for (size_t start = 0; start < indices.size(); start += width) {
        rows.push_back(1);
        rows.push_back(static_cast<uint8_t>(256 - width));
        for (int x = 0; x < width; ++x)
            rows.push_back(static_cast<uint8_t>(indices[start + x]));
    }
    std::vector<Bytes> chunks;
    if (withPalette) chunks.push_back(Palette256(0, 256));
    chunks.push_back(ByteRun(rows));
    return Frame(chunks);
}

// Streaming reads from memory; a read past the end fails the test.
class MemorySource : public codecs::FlicSource {
public:
    explicit MemorySource(Bytes bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        EXPECT_LE(offset + out.size(), bytes_.size()) << "read past the end of the file";
        if (offset + out.size() > bytes_.size()) return false;
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
        return true;
    }

private:
    Bytes bytes_;
};

// A destination of width x height with a pitch 3 pixels wider and 2 rows extra; every
// pixel outside the frame is a guard that the decoder must never write.
struct Picture {
    static constexpr uint16_t kGuard = 0xBEEF;
    int width, height, pitch;
    std::vector<uint16_t> pixels;

    Picture(int w, int h)
        : width(w), height(h), pitch(w + 3), pixels(static_cast<size_t>(pitch) * (h + 2), kGuard) {
        for (int y = 0; y < h; ++y)
            std::fill_n(&pixels[static_cast<size_t>(y) * pitch], w, 0);
    }
    codecs::FlicCanvas Canvas() { return {pixels, pitch}; }
    uint16_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * pitch + x]; }
    bool GuardsIntact() const {
        for (size_t i = 0; i < pixels.size(); ++i) {
            const bool inside =
                static_cast<int>(i / pitch) < height && static_cast<int>(i % pitch) < width;
            if (!inside && pixels[i] != kGuard) return false;
        }
        return true;
    }
    // The frame as palette indices, through the inverse of the decoder's table.
    std::vector<int> Indices(const codecs::FlicLut& lut) const {
        std::vector<int> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto it = std::find(lut.begin(), lut.end(), At(x, y));
                out.push_back(it == lut.end() ? -1 : static_cast<int>(it - lut.begin()));
            }
        return out;
    }
};

} // namespace flictest
