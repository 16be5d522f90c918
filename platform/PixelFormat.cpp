#include "platform/PixelFormat.h"

namespace platform {

namespace {

void MaskToShift(uint32_t mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    if (mask == 0) return;
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    while (mask != 0) {
        mask >>= 1;
        ++bits;
    }
}

} // namespace

PixelShifts ShiftsFromFormat(const PixelFormat& format) {
    PixelShifts s;
    MaskToShift(format.redMask, s.redShift, s.redBits);
    MaskToShift(format.greenMask, s.greenShift, s.greenBits);
    MaskToShift(format.blueMask, s.blueShift, s.blueBits);
    return s;
}

void Rgb565ToRgb888(Pixel pixel, uint8_t& r, uint8_t& g, uint8_t& b) {
    const unsigned r5 = (pixel >> 11) & 0x1F;
    const unsigned g6 = (pixel >> 5) & 0x3F;
    const unsigned b5 = pixel & 0x1F;
    r = static_cast<uint8_t>((r5 << 3) | (r5 >> 2));
    g = static_cast<uint8_t>((g6 << 2) | (g6 >> 4));
    b = static_cast<uint8_t>((b5 << 3) | (b5 >> 2));
}

} // namespace platform
