#pragma once
// The largest picture or animation frame any decoder or loader accepts: 8192 pixels on a side
// and 32 M pixels in all (a 64 MB surface at 16 bits per pixel). Rooms of the game are a few
// screens wide; a header asking for more is corrupt, and checking it before anything is
// allocated keeps a small broken file from reserving gigabytes.
#include <cstdint>
#include <string>

namespace platform {

inline constexpr int64_t kMaxImageSide = 8192;
inline constexpr int64_t kMaxImagePixels = int64_t{32} << 20;

inline constexpr bool FitsImageBudget(int64_t width, int64_t height) {
    return width >= 0 && height >= 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

// "65535 x 65535 pixels is over the limit of 8192 on a side, 32 M pixels in all"
inline std::string ImageBudgetRefusal(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) +
           " pixels is over the limit of " + std::to_string(kMaxImageSide) +
           " on a side, 32 M pixels in all";
}

} // namespace platform
