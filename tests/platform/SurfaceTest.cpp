#include "platform/Surface.h"

#include <gtest/gtest.h>

using platform::kBltSrcColorKey;
using platform::kBltWait;
using platform::Pixel;
using platform::Rect;
using platform::Surface;

namespace {

// A surface whose pixel at (x, y) is 1 + x + 16 * y, so every pixel tells where it came from.
Surface Numbered(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.Set(x, y, static_cast<Pixel>(1 + x + 16 * y));
    return s;
}

Pixel FromSource(int sx, int sy) {
    return static_cast<Pixel>(1 + sx + 16 * sy);
}

} // namespace

TEST(Surface, PitchCoversTheRowAndIsAligned) {
    Surface odd(3, 2);
    EXPECT_EQ(odd.Pitch(), 8); // 6 bytes of pixels, padded to 4
    EXPECT_EQ(Surface(4, 1).Pitch(), 8);
    Surface empty(-5, 10);
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Lock(), nullptr);
    empty.Unlock();
}

TEST(Surface, OpaqueCopyToAPoint) {
    Surface src = Numbered(4, 4);
    Surface dst(8, 8);
    EXPECT_TRUE(dst.BltFast(2, 3, src, Rect{1, 1, 3, 4}, kBltWait));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 4 && y >= 3 && y < 6;
            EXPECT_EQ(dst.At(x, y), inside ? FromSource(x - 1, y - 2) : 0) << x << "," << y;
        }
    }
}

TEST(Surface, KeyedCopySkipsOnlyPixelsEqualToTheKey) {
    Surface src(3, 1);
    src.Set(0, 0, 5);
    src.Set(1, 0, 6); // the key
    src.Set(2, 0, 7);
    src.SetColorKey(6);
    Surface dst(3, 1);
    dst.Fill(9);
    dst.BltFast(0, 0, src, src.Bounds(), kBltSrcColorKey | kBltWait);
    EXPECT_EQ(dst.At(0, 0), 5);
    EXPECT_EQ(dst.At(1, 0), 9);
    EXPECT_EQ(dst.At(2, 0), 7);

    // Without the flag, or without a key on the source, every pixel is copied.
    dst.Fill(9);
    dst.BltFast(0, 0, src, src.Bounds(), kBltWait);
    EXPECT_EQ(dst.At(1, 0), 6);
    src.ClearColorKey();
    dst.Fill(9);
    dst.BltFast(0, 0, src, src.Bounds(), kBltSrcColorKey);
    EXPECT_EQ(dst.At(1, 0), 6);
}

TEST(Surface, KeyedCopyOfAWideRowMatchesPixelByPixel) {
    // Long enough for any vectorised path plus a scalar tail.
    const int w = 37;
    Surface src(w, 2), dst(w, 2);
    for (int x = 0; x < w; ++x) {
        src.Set(x, 1, static_cast<Pixel>(x % 3 == 0 ? 0xF81F : x));
        dst.Set(x, 1, static_cast<Pixel>(1000 + x));
    }
    src.SetColorKey(0xF81F);
    dst.BltFast(0, 0, src, src.Bounds(), kBltSrcColorKey);
    for (int x = 0; x < w; ++x)
        EXPECT_EQ(dst.At(x, 1), x % 3 == 0 ? 1000 + x : x) << x;
}

TEST(Surface, CopiesClipOnAllFourSides) {
    Surface src = Numbered(4, 4);
    struct Case {
        int x, y;
        Rect dstVisible; // where pixels land
    };
    const Case cases[] = {
        {-2, 1, {0, 1, 2, 5}},  // left
        {1, -3, {1, 0, 5, 1}},  // top
        {4, 2, {4, 2, 6, 6}},   // right (dst is 6 wide)
        {0, 4, {0, 4, 4, 6}},   // bottom (dst is 6 high)
        {-3, -3, {0, 0, 1, 1}}, // corner
    };
    for (const Case& c : cases) {
        Surface dst(6, 6);
        EXPECT_TRUE(dst.BltFast(c.x, c.y, src, src.Bounds(), 0));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(dst.At(x, y),
                          c.dstVisible.Contains(x, y) ? FromSource(x - c.x, y - c.y) : 0)
                    << "case " << c.x << "," << c.y << " at " << x << "," << y;
    }
}

TEST(Surface, SourceRectangleOutsideTheSourceIsClipped) {
    Surface src = Numbered(4, 4);
    Surface dst(8, 8);
    // The part left of the source moves the destination along with it.
    EXPECT_TRUE(dst.BltFast(0, 0, src, Rect{-2, 0, 2, 1}, 0));
    EXPECT_EQ(dst.At(0, 0), 0);
    EXPECT_EQ(dst.At(1, 0), 0);
    EXPECT_EQ(dst.At(2, 0), FromSource(0, 0));
    EXPECT_EQ(dst.At(3, 0), FromSource(1, 0));
    EXPECT_EQ(dst.At(4, 0), 0);
}

TEST(Surface, CopiesWhollyOutsideAreNoOps) {
    Surface src = Numbered(4, 4);
    Surface dst(8, 8);
    EXPECT_FALSE(dst.BltFast(8, 0, src, src.Bounds(), 0));
    EXPECT_FALSE(dst.BltFast(0, -4, src, src.Bounds(), 0));
    EXPECT_FALSE(dst.BltFast(0, 0, src, Rect{4, 0, 9, 4}, 0));
    EXPECT_FALSE(dst.BltFast(0, 0, src, Rect{3, 3, 1, 1}, 0)); // inverted
    EXPECT_FALSE(dst.BltFast(INT32_MAX, INT32_MIN, src, src.Bounds(), 0));
    EXPECT_FALSE(dst.BltFast(0, 0, src, Rect{INT32_MIN, INT32_MIN, INT32_MIN + 2, 0}, 0));
    EXPECT_FALSE(dst.Blt(Rect{8, 8, 20, 20}, src, src.Bounds()));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(dst.At(x, y), 0);
}

TEST(Surface, ScaledCopyIsNearestNeighbour) {
    Surface src = Numbered(2, 2);
    Surface dst(4, 4);
    EXPECT_TRUE(dst.Blt(Rect{0, 0, 4, 4}, src, src.Bounds()));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dst.At(x, y), FromSource(x / 2, y / 2));

    // Halving takes every second pixel.
    Surface big = Numbered(8, 8);
    Surface half(4, 4);
    half.Blt(half.Bounds(), big, big.Bounds());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(half.At(x, y), FromSource(2 * x, 2 * y));
}

TEST(Surface, ScaledCopyClipsToTheDestinationKeepingTheMapping) {
    Surface src = Numbered(4, 1);
    Surface dst(4, 1);
    // 8 wide destination starting at -4: only the right half of the stretch is visible.
    EXPECT_TRUE(dst.Blt(Rect{-4, 0, 4, 1}, src, src.Bounds()));
    EXPECT_EQ(dst.At(0, 0), FromSource(2, 0));
    EXPECT_EQ(dst.At(1, 0), FromSource(2, 0));
    EXPECT_EQ(dst.At(2, 0), FromSource(3, 0));
    EXPECT_EQ(dst.At(3, 0), FromSource(3, 0));
}

TEST(Surface, FillClipsToTheSurface) {
    Surface s(4, 3);
    s.Fill(Rect{-5, 1, 2, 99}, 7);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(s.At(x, y), (y >= 1 && x < 2) ? 7 : 0);
}

TEST(Surface, CopyWithinOneSurfaceMovesRowsIntact) {
    Surface s = Numbered(4, 4);
    s.BltFast(0, 1, s, Rect{0, 0, 4, 3}, 0); // shift everything down one row
    for (int y = 1; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(s.At(x, y), FromSource(x, y - 1));
}
