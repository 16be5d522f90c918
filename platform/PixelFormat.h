#pragma once
// 16-bit pixel formats: channel masks and the shifts derived from them, which turn an
// 8-bit-per-channel colour into a display pixel.
#include <cstdint>

namespace platform {

using Pixel = uint16_t;

struct PixelFormat {
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
};

inline constexpr PixelFormat kFormat565{0xF800, 0x07E0, 0x001F};
inline constexpr PixelFormat kFormat555{0x7C00, 0x03E0, 0x001F};

struct PixelShifts {
    int redShift = 11;
    int redBits = 5;
    int greenShift = 5;
    int greenBits = 6;
    int blueShift = 0;
    int blueBits = 5;

    Pixel FromRgb(uint8_t r, uint8_t g, uint8_t b) const {
        return static_cast<Pixel>(((r >> (8 - redBits)) << redShift) +
                                  ((g >> (8 - greenBits)) << greenShift) +
                                  ((b >> (8 - blueBits)) << blueShift));
    }
    // A text colour value: red in the low byte, blue in the high byte.
    Pixel FromColorRef(uint32_t colorRef) const {
        return FromRgb(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
    }
    friend bool operator==(const PixelShifts&, const PixelShifts&) = default;
};

// For each mask: shift = zero bits below the lowest set bit; bits = positions from there up
// to the highest set bit (the mask shifted down, counted until it becomes zero).
PixelShifts ShiftsFromFormat(const PixelFormat& format);

// Expands a 5-6-5 pixel to 8 bits per channel by bit replication.
void Rgb565ToRgb888(Pixel pixel, uint8_t& r, uint8_t& g, uint8_t& b);

} // namespace platform
