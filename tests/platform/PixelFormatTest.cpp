#include "platform/PixelFormat.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(PixelFormat, ShiftsFromMasks) {
    const PixelShifts s565 = ShiftsFromFormat(kFormat565);
    EXPECT_EQ(s565.redShift, 11);
    EXPECT_EQ(s565.redBits, 5);
    EXPECT_EQ(s565.greenShift, 5);
    EXPECT_EQ(s565.greenBits, 6);
    EXPECT_EQ(s565.blueShift, 0);
    EXPECT_EQ(s565.blueBits, 5);
    const PixelShifts s555 = ShiftsFromFormat(kFormat555);
    EXPECT_EQ(s555.redShift, 10);
    EXPECT_EQ(s555.redBits, 5);
    EXPECT_EQ(s555.greenShift, 5);
    EXPECT_EQ(s555.greenBits, 5);
    EXPECT_EQ(s555.blueShift, 0);
    EXPECT_EQ(s555.blueBits, 5);
}

TEST(PixelFormat, ColoursBecomePixels) {
    const PixelShifts s565 = ShiftsFromFormat(kFormat565);
    EXPECT_EQ(s565.FromRgb(255, 255, 255), 0xFFFF);
    EXPECT_EQ(s565.FromRgb(255, 0, 0), 0xF800);
    EXPECT_EQ(s565.FromRgb(0, 255, 0), 0x07E0);
    EXPECT_EQ(s565.FromRgb(0, 0, 255), 0x001F);
    EXPECT_EQ(s565.FromColorRef(0x0000FF), 0xF800); // red in the low byte
    EXPECT_EQ(s565.FromColorRef(0xFFFFC0), s565.FromRgb(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(ShiftsFromFormat(kFormat555).FromRgb(0, 255, 0), 0x03E0);
}

TEST(PixelFormat, BitReplicationWidensToFullRange) {
    uint8_t r, g, b;
    Rgb565ToRgb888(0xFFFF, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
    Rgb565ToRgb888(0x0000, r, g, b);
    EXPECT_EQ(r + g + b, 0);
    Rgb565ToRgb888(0x8410, r, g, b); // 10000 100000 10000
    EXPECT_EQ(r, 0x84);
    EXPECT_EQ(g, 0x82);
    EXPECT_EQ(b, 0x84);
}
