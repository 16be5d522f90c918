#pragma once
// Decoding of one FLC/FLI frame: the 16-byte frame header and its chunks, drawn into a
// 16-bit destination through a 256-entry colour lookup table. The palette and the table are
// state that lasts from frame to frame (a palette chunk changes them for all later frames).
//
// Chunk types handled:
//   4  COLOR_256   palette packets, 8-bit components; table built with the display's shifts
//   7  DELTA_FLC   word-oriented delta (line skips, last-pixel words, pixel-pair packets)
//   11 COLOR_64    palette packets, 6-bit components (x4); table built with a fixed 5-5-5-in-
//                  5-6-5 packing: green keeps its top five bits, bit 5 stays 0
//   12 DELTA_FLI   byte-oriented line delta of old FLI files
//   13 BLACK       every pixel set to palette index 0
//   15 BYTE_RUN    run-length coded full frame
//   16 FLI_COPY    uncompressed full frame
// Every other type (18, the postage stamp, among them) is skipped by its size.
//
// Anything that would read past a chunk or write past a row or the destination is a fault:
// Decode returns false and names the reason; pixels written before the fault stay written.
#include <array>
#include <cstdint>
#include <span>

#include "platform/PixelFormat.h"

namespace codecs {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using FlicPalette = std::array<Rgb, 256>;
using FlicLut = std::array<uint16_t, 256>;

inline constexpr size_t kFrameHeaderSize = 16;
inline constexpr size_t kChunkHeaderSize = 6;

enum FlicChunkType : uint16_t {
    kChunkColor256 = 4,
    kChunkDeltaFlc = 7,
    kChunkColor64 = 11,
    kChunkDeltaFli = 12,
    kChunkBlack = 13,
    kChunkByteRun = 15,
    kChunkFliCopy = 16,
    kChunkPostageStamp = 18,
};

// Where frames are drawn: `height` rows of `width` pixels, each row `pitch` pixels after the
// previous one. The span must hold the last row's pixels: (height - 1) * pitch + width.
struct FlicCanvas {
    std::span<uint16_t> pixels;
    int pitch = 0;
};

// The 16-bit value of a COLOR_64 palette entry (components already multiplied by 4).
inline uint16_t PackColor64(const Rgb& c) {
    return static_cast<uint16_t>(((c.r & 0xF8) << 8) | ((c.g & 0xF8) << 3) | (c.b >> 3));
}

class FlicFrameDecoder {
public:
    // Starts over for an animation of the given size: black palette, table of zeros.
    void Reset(int width, int height, const platform::PixelShifts& shifts);

    // Decodes one whole frame (frame header and chunks, exactly the frame's bytes).
    bool Decode(std::span<const uint8_t> frame, const FlicCanvas& canvas);

    const FlicPalette& Palette() const { return palette_; }
    const FlicLut& Lut() const { return lut_; }
    // Why the last Decode failed ("" after a success).
    const char* Error() const { return error_; }

private:
    bool DecodePalette(std::span<const uint8_t> data, bool sixBit);
    bool Fail(const char* reason);

    int width_ = 0;
    int height_ = 0;
    platform::PixelShifts shifts_;
    FlicPalette palette_{};
    FlicLut lut_{};
    const char* error_ = "";
};

} // namespace codecs
