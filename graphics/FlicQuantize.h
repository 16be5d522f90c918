#pragma once
// Turning RGB pictures into palette frames for the encoder.
//
//  - Pure magenta (255, 0, 255) is the transparent colour: those pixels become index 0, whose
//    palette entry is magenta too.
//  - With at most 255 other colours, each gets its own index from 1 on, in the order the
//    colours first appear (frame by frame, row by row).
//  - With more, the colours are reduced by median cut to 255: starting from one box holding
//    every colour, the box with the widest spread in one channel is split at the pixel-count
//    median of that channel, until there are 255 boxes; each box's colour is the pixel-count
//    weighted mean of its colours. Ties are broken by box order and colour value, so the
//    result depends only on the pictures.
//  - An opaque colour that a 16-bit display would show exactly as the transparent colour
//    (red and blue >= 248, green < 8) gets green 8, so that it stays visible.
#include <span>
#include <string>

#include "graphics/FlicEncoder.h"
#include "platform/Png.h"

namespace codecs {

inline constexpr Rgb kTransparentRgb{255, 0, 255};
inline constexpr int kMaxOpaqueColors = 255;

// Fills width, height, palette and frames of `out` (frameTime is left as it is). All images
// must have the same size.
bool IndexFrames(std::span<const platform::RgbImage> images, IndexedAnimation& out,
                 std::string& error);

} // namespace codecs
