#pragma once
// Writing animations: an FLC file and its mask (.MSK) and change (.MS2) files from frames of
// palette indices. Index 0 is the transparent colour.
//
// The FLC holds frame 1 as a COLOR_256 palette chunk and a BYTE_RUN picture, every later
// frame as a DELTA_FLC against the frame before it (no chunk when nothing changed), and the
// ring frame N + 1 as a DELTA_FLC from frame N back to frame 1. Header offsets 80 and 84
// give frames 1 and 2.
//
// Rectangle lists cover pixels in bands of 16 rows: in each band, runs of columns holding a
// marked pixel (gaps under 8 columns bridged) become one rectangle each, trimmed to the rows
// that hold marked pixels; equal rectangles of consecutive bands are joined.
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/FlicChunks.h"
#include "graphics/FlicRects.h"

namespace codecs {

struct IndexedAnimation {
    int width = 0;
    int height = 0;
    int frameTime = 100; // milliseconds, 1..65535
    FlicPalette palette{};
    std::vector<std::vector<uint8_t>> frames; // each width * height indices, row by row
};

struct EncodedFlic {
    std::vector<uint8_t> flc;
    std::vector<uint8_t> mask;   // .MSK
    std::vector<uint8_t> change; // .MS2
    FrameRectLists maskLists;
    FrameRectLists changeLists;
    platform::Rect bounds; // union of the mask rectangles (right, bottom exclusive)
};

// The largest width and height: rectangles are stored as 16-bit signed values.
inline constexpr int kMaxEncodedSize = 32767;

bool EncodeFlic(const IndexedAnimation& animation, EncodedFlic& out, std::string& error);

// Rectangles (disjoint, right and bottom exclusive) covering every pixel whose `marked`
// byte is non-zero; `marked` holds width * height bytes row by row.
std::vector<platform::Rect> CoverPixels(int width, int height, const std::vector<uint8_t>& marked);

// The chunks of frame data, for tests and tools that build animations of their own.
std::vector<uint8_t> EncodeByteRun(const std::vector<uint8_t>& frame, int width, int height);
// Empty when the frames are equal.
std::vector<uint8_t> EncodeDeltaFlc(const std::vector<uint8_t>& previous,
                                    const std::vector<uint8_t>& current, int width, int height);

} // namespace codecs
