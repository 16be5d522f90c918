#pragma once
// The animations and pictures the decoder benchmarks work on, made by the engine's own
// encoders (and, for GIF, the tests' LZW maker) from a fixed recipe, so every run decodes
// the same bytes.
//
// Animations, 640 x 480, 200 frames: six 64 x 64 sprites moving over a patterned background
// that stays still (small deltas) or scrolls by a pixel a frame (every pixel changes).
// Pictures, 640 x 480, 8 bits: a room-like picture of flat shapes and gradients (long LZW
// strings), and a dithered one (short strings, the table refilled often).
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/FlicEncoder.h"

#include "codecs/PictureBuilders.h"

namespace benchsamples {

inline constexpr int kW = 640;
inline constexpr int kH = 480;
inline constexpr int kFrames = 200;
inline constexpr int kSprites = 6;
inline constexpr int kSpriteSize = 64;

inline std::vector<uint8_t> Background(int scroll) {
    std::vector<uint8_t> frame(static_cast<size_t>(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            frame[static_cast<size_t>(y) * kW + x] =
                static_cast<uint8_t>(1 + ((x + scroll) / 16 + y / 12 + (x + scroll) % 3) % 40);
    return frame;
}

// The FLC file; `scrolling` picks the background that changes every pixel.
inline std::vector<uint8_t> MakeAnimation(bool scrolling) {
    codecs::IndexedAnimation a;
    a.width = kW;
    a.height = kH;
    for (int i = 0; i < 256; ++i)
        a.palette[i] = codecs::Rgb{uint8_t(i), uint8_t(i * 3), uint8_t(255 - i)};
    for (int k = 0; k < kFrames; ++k) {
        std::vector<uint8_t> frame = Background(scrolling ? k : 0);
        for (int s = 0; s < kSprites; ++s) {
            const int left = (s * 97 + k * (3 + s)) % (kW - kSpriteSize);
            const int top = (s * 61 + k * (2 + s)) % (kH - kSpriteSize);
            for (int y = 0; y < kSpriteSize; ++y)
                for (int x = 0; x < kSpriteSize; ++x)
                    frame[static_cast<size_t>(top + y) * kW + left + x] =
                        static_cast<uint8_t>(100 + s * 20 + (x ^ y) % 16);
        }
        a.frames.push_back(std::move(frame));
    }
    codecs::EncodedFlic encoded;
    std::string error;
    codecs::EncodeFlic(a, encoded, error);
    return encoded.flc;
}

// The GIF file; `dithered` picks the picture with short strings.
inline std::vector<uint8_t> MakePicture(bool dithered) {
    std::vector<uint8_t> pixels(static_cast<size_t>(kW) * kH);
    uint32_t seed = 1;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            // Sky, a wall, a floor and a window: flat areas with banded gradients.
            int index = y < 160 ? 10 + y / 16 : (y < 380 ? 40 + (x / 80) % 3 : 60 + x / 64);
            if (x > 400 && x < 520 && y > 200 && y < 300) index = 90 + (x + y) % 4;
            if (dithered) {
                seed = seed * 1103515245u + 12345u;
                index = (index + static_cast<int>((seed >> 16) % 6)) % 256;
            }
            pixels[static_cast<size_t>(y) * kW + x] = static_cast<uint8_t>(index);
        }
    testpictures::GifSpec picture;
    picture.screenWidth = picture.width = kW;
    picture.screenHeight = picture.height = kH;
    picture.global = testpictures::Palette(256);
    picture.minCodeSize = 8;
    picture.codes = testpictures::LzwEncode(pixels, 8);
    return testpictures::BuildGif(picture);
}

} // namespace benchsamples
