#include "graphics/FlicEncoder.h"
#include "graphics/FlicQuantize.h"

#include "FlicBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using codecs::EncodedFlic;
using codecs::IndexedAnimation;
using platform::Rect;

namespace {

// A sprite moving over a transparent background with a fixed opaque stripe; its colour
// changes from frame to frame, one frame repeats the one before, and the sprite reaches
// the last column of odd widths.
IndexedAnimation MovingSprite(int width, int height, int frames) {
    IndexedAnimation a;
    a.width = width;
    a.height = height;
    a.frameTime = 40;
    for (int i = 0; i < 256; ++i)
        a.palette[i] = codecs::Rgb{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
    for (int k = 0; k < frames; ++k) {
        std::vector<uint8_t> frame(static_cast<size_t>(width) * height, 0);
        for (int x = 0; x < width; ++x)
            frame[x] = static_cast<uint8_t>(200 + x % 3);
        const int step = k == 2 ? 1 : k; // frame 3 repeats frame 2
        const int left = std::min(width - 5, step * (width / 2)),
                  top = std::min(height - 4, 1 + step);
        for (int y = top; y < top + 4 && y < height; ++y)
            for (int x = std::max(0, left); x < left + 5; ++x)
                frame[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(1 + step);
        a.frames.push_back(std::move(frame));
    }
    return a;
}

std::vector<uint16_t> Expected(const std::vector<uint8_t>& frame, const codecs::FlicLut& lut) {
    std::vector<uint16_t> out;
    for (uint8_t index : frame)
        out.push_back(lut[index]);
    return out;
}

bool Covered(const std::vector<Rect>& rects, int x, int y) {
    return std::any_of(rects.begin(), rects.end(), [&](const Rect& r) { return r.Contains(x, y); });
}

} // namespace

TEST(FlicEncoder, DecodedFramesEqualTheInputThroughTwoLaps) {
    // Odd width (last-pixel words), wide rows (column skips over 255), the tallest frames
    // the decoder takes (line skips of thousands of rows, down to the last row).
    const std::vector<IndexedAnimation> animations = {
        MovingSprite(37, 23, 7), MovingSprite(601, 6, 3), MovingSprite(6, 8192, 2)};
    for (IndexedAnimation a : animations) {
        if (a.height == 8192) a.frames[1][static_cast<size_t>(8191) * 6 + 2] = 9;
        SCOPED_TRACE(std::to_string(a.width) + "x" + std::to_string(a.height));
        EncodedFlic encoded;
        std::string error;
        ASSERT_TRUE(codecs::EncodeFlic(a, encoded, error)) << error;
        codecs::FlicDecoder decoder;
        ASSERT_TRUE(decoder.Open(encoded.flc, platform::PixelShifts{})) << decoder.Error();
        EXPECT_EQ(decoder.FrameTime(), 40);
        const int n = static_cast<int>(a.frames.size());
        std::vector<uint16_t> pixels(static_cast<size_t>(a.width) * a.height);
        for (int step = 0; step < 2 * n; ++step) {
            ASSERT_TRUE(decoder.NextFrame({pixels, a.width})) << decoder.Error();
            ASSERT_EQ(decoder.CurrentFrame(), step % n + 1);
            ASSERT_EQ(pixels, Expected(a.frames[step % n], decoder.Lut())) << "step " << step;
        }
    }
}

TEST(FlicEncoder, MaskAndChangeFilesCoverTheFrames) {
    const IndexedAnimation a = MovingSprite(37, 23, 5);
    EncodedFlic encoded;
    std::string error;
    ASSERT_TRUE(codecs::EncodeFlic(a, encoded, error)) << error;
    codecs::FrameRectLists masks, changes;
    Rect stored;
    ASSERT_TRUE(codecs::ParseMaskFile(encoded.mask, 5, masks, stored, error)) << error;
    ASSERT_TRUE(codecs::ParseRectLists(encoded.change, 5, changes, error)) << error;
    EXPECT_EQ(masks, encoded.maskLists);
    EXPECT_EQ(changes, encoded.changeLists);
    EXPECT_EQ(stored, encoded.bounds);
    EXPECT_TRUE(changes[2].empty()); // frame 3 repeats frame 2
    for (int k = 0; k < 5; ++k)
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x) {
                const size_t i = static_cast<size_t>(y) * a.width + x;
                if (a.frames[k][i] != 0) {
                    ASSERT_TRUE(Covered(masks[k], x, y)) << k << " " << x << "," << y;
                    ASSERT_TRUE(stored.Contains(x, y));
                }
                if (a.frames[k][i] != a.frames[(k + 4) % 5][i]) {
                    ASSERT_TRUE(Covered(changes[k], x, y)) << k << " " << x << "," << y;
                }
            }
}

TEST(FlicQuantize, FewColoursKeepTheirValuesInOrderOfAppearance) {
    platform::RgbImage first{2, 1, {10, 20, 30, 255, 0, 255}};
    platform::RgbImage second{2, 1, {250, 2, 250, 10, 20, 30}};
    IndexedAnimation a;
    std::string error;
    ASSERT_TRUE(codecs::IndexFrames(std::vector{first, second}, a, error)) << error;
    EXPECT_EQ(a.frames, (std::vector<std::vector<uint8_t>>{{1, 0}, {2, 1}}));
    EXPECT_EQ(a.palette[0], codecs::kTransparentRgb);
    EXPECT_EQ(a.palette[1], (codecs::Rgb{10, 20, 30}));
    EXPECT_EQ(a.palette[2], (codecs::Rgb{250, 8, 250})); // would show as transparent otherwise
    platform::RgbImage other{1, 1, {0, 0, 0}};
    EXPECT_FALSE(codecs::IndexFrames(std::vector{first, other}, a, error));
}

TEST(FlicQuantize, ManyColoursAreReducedDeterministicallyAndClosely) {
    platform::RgbImage image{64, 64, {}};
    for (int i = 0; i < 64 * 64; ++i) // 4096 colours: a 16 x 16 x 16 grid
        for (int shift : {8, 4, 0})
            image.rgb.push_back(static_cast<uint8_t>(((i >> shift) & 15) * 17));
    IndexedAnimation a, again;
    std::string error;
    ASSERT_TRUE(codecs::IndexFrames(std::vector{image}, a, error));
    ASSERT_TRUE(codecs::IndexFrames(std::vector{image}, again, error));
    EXPECT_EQ(a.frames, again.frames);
    EXPECT_EQ(a.palette, again.palette);
    double error_sum = 0;
    for (size_t i = 0; i < a.frames[0].size(); ++i) {
        const codecs::Rgb& c = a.palette[a.frames[0][i]];
        const bool magenta =
            image.rgb[3 * i] == 255 && image.rgb[3 * i + 1] == 0 && image.rgb[3 * i + 2] == 255;
        ASSERT_EQ(a.frames[0][i] == 0, magenta) << i; // the grid holds magenta once
        error_sum += std::abs(c.r - image.rgb[3 * i]) + std::abs(c.g - image.rgb[3 * i + 1]) +
                     std::abs(c.b - image.rgb[3 * i + 2]);
    }
    // Each entry stands for about 16 grid colours, a box some 2.5 grid steps wide: the mean
    // error per channel stays under 13, three quarters of a step of 17.
    EXPECT_LT(error_sum / (3.0 * a.frames[0].size()), 13.0);
}
