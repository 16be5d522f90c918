#pragma once
// The rectangle files that come with an animation, little-endian:
//
//   .MS2 (change file), and the .MSK (mask file) without its last 16 bytes, of B bytes:
//     one rectangle list per frame, anywhere: i32 count n (negative: empty), then n
//     rectangles of four i16 left, top, right, bottom (frame coordinates)
//     at the very end N u32 offsets from the start: frame k's list at bytes B - 4k .. B - 4k + 3
//   .MSK: then the bounding rectangle, four i32 left, top, right, bottom (right and bottom
//     exclusive as stored).
//
// Mask lists cover the frame's visible pixels, change lists the pixels that differ from the
// previous frame (frame 1 from frame N).
//
// Parsing is strict: an offset table that does not fit, an offset outside the data or a list
// running past it refuses the whole file (the animation is then invalid), so corrupt files
// are noticed once at load rather than as rectangles silently missing during play.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace codecs {

// Index k - 1 holds frame k's rectangles.
using FrameRectLists = std::vector<std::vector<platform::Rect>>;

inline constexpr size_t kMaskTrailerSize = 16;
// The screen height the bounding rectangle's bottom is clipped to.
inline constexpr int32_t kBoundsClipBottom = 480;

// Parses the lists of frames 1..frameCount (a change file, or mask data without the trailer).
bool ParseRectLists(std::span<const uint8_t> data, int frameCount, FrameRectLists& lists,
                    std::string& error);

// Parses a whole mask file: its lists and the bounding rectangle as stored.
bool ParseMaskFile(std::span<const uint8_t> file, int frameCount, FrameRectLists& lists,
                   platform::Rect& storedBounds, std::string& error);

// The bounding rectangle as the drawing code uses it: right and bottom moved in by one, then
// clipped to left >= 0, top >= 0, bottom <= 480 (the right side is not clipped). Values
// outside the 16-bit range of frame rectangles are first held to it.
platform::Rect AdjustBoundingRect(const platform::Rect& stored);

// How a still full-screen picture whose visible part is small keeps only that part.
struct StillCrop {
    platform::Rect source;  // the area of the decoded frame that is kept
    platform::Size surface; // the new surface: one pixel wider and higher than the area
    platform::Size size;    // the animation's width and height from then on
    platform::Point offset; // where the kept area lies inside the frame (the draw offset)
};

// The crop for a one-frame animation wider than 630 and higher than 470 whose adjusted
// bounding rectangle is narrower than 620 or lower than 460; nothing otherwise, nor for an
// inverted rectangle (an empty mask) or one larger than the picture.
std::optional<StillCrop> StillBackgroundCrop(int frameCount, int width, int height,
                                             const platform::Rect& adjustedBounds);

// Writes lists in the layout above (lists from offset 0 in frame order, then the table).
std::vector<uint8_t> WriteRectLists(const FrameRectLists& lists);
std::vector<uint8_t> WriteMaskFile(const FrameRectLists& lists, const platform::Rect& bounds);

} // namespace codecs
