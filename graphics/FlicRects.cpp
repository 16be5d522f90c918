#include "graphics/FlicRects.h"

#include <algorithm>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace codecs {

using platform::ByteReader;
using platform::Rect;

namespace {

using platform::PutU16;
using platform::PutU32;

constexpr size_t kRectSize = 8; // four i16

// Still pictures qualify for cropping when they (almost) fill the 640 x 480 screen...
constexpr int kCropMinWidth = 630;
constexpr int kCropMinHeight = 470;
// ...and their visible part does not.
constexpr int kCropVisibleWidth = 620;
constexpr int kCropVisibleHeight = 460;

bool ParseList(std::span<const uint8_t> data, uint32_t offset, std::vector<Rect>& out) {
    ByteReader in(data);
    if (!in.Seek(offset)) return false;
    const int32_t count = in.I32();
    if (in.Failed()) return false;
    if (count <= 0) return true; // a negative count is an empty list
    if (static_cast<uint64_t>(count) * kRectSize > in.Remaining()) return false;
    out.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        Rect r;
        r.left = in.I16();
        r.top = in.I16();
        r.right = in.I16();
        r.bottom = in.I16();
        out.push_back(r);
    }
    return !in.Failed();
}

} // namespace

bool ParseRectLists(std::span<const uint8_t> data, int frameCount, FrameRectLists& lists,
                    std::string& error) {
    lists.clear();
    if (frameCount < 0 || static_cast<uint64_t>(frameCount) * 4 > data.size()) {
        error = "offset table larger than the file";
        return false;
    }
    FrameRectLists parsed(static_cast<size_t>(frameCount));
    for (int k = 1; k <= frameCount; ++k) {
        uint32_t offset = 0;
        ByteReader::U32At(data, data.size() - 4 * static_cast<size_t>(k), offset);
        if (!ParseList(data, offset, parsed[k - 1])) {
            error = "frame " + std::to_string(k) + ": rectangle list outside the file";
            return false;
        }
    }
    lists = std::move(parsed);
    return true;
}

bool ParseMaskFile(std::span<const uint8_t> file, int frameCount, FrameRectLists& lists,
                   Rect& storedBounds, std::string& error) {
    if (file.size() < kMaskTrailerSize) {
        error = "mask file shorter than its bounding rectangle";
        return false;
    }
    const size_t dataSize = file.size() - kMaskTrailerSize;
    ByteReader trailer(file.subspan(dataSize));
    Rect bounds;
    bounds.left = trailer.I32();
    bounds.top = trailer.I32();
    bounds.right = trailer.I32();
    bounds.bottom = trailer.I32();
    if (!ParseRectLists(file.first(dataSize), frameCount, lists, error)) return false;
    storedBounds = bounds;
    return true;
}

Rect AdjustBoundingRect(const Rect& stored) {
    // The rectangle bounds 16-bit frame rectangles. Values beyond that range come only from
    // a damaged file; holding them to it keeps every sum with a position from overflowing.
    auto held = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
    };
    Rect r{held(stored.left), held(stored.top), held(int64_t{stored.right} - 1),
           held(int64_t{stored.bottom} - 1)};
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.bottom = std::min(r.bottom, kBoundsClipBottom);
    return r;
}

std::optional<StillCrop> StillBackgroundCrop(int frameCount, int width, int height,
                                             const Rect& adjustedBounds) {
    const int64_t w = int64_t{adjustedBounds.right} - adjustedBounds.left;
    const int64_t h = int64_t{adjustedBounds.bottom} - adjustedBounds.top;
    if (frameCount != 1 || width <= kCropMinWidth || height <= kCropMinHeight) return {};
    if (w >= kCropVisibleWidth && h >= kCropVisibleHeight) return {};
    // An inverted rectangle (an empty mask), or one larger than the picture (a damaged mask
    // file), keeps the whole surface.
    if (w < 0 || h < 0 || w > width || h > height) return {};
    const int32_t cx = static_cast<int32_t>(w), cy = static_cast<int32_t>(h);
    return StillCrop{
        adjustedBounds, {cx + 1, cy + 1}, {cx, cy}, {adjustedBounds.left, adjustedBounds.top}};
}

std::vector<uint8_t> WriteRectLists(const FrameRectLists& lists) {
    std::vector<uint8_t> out;
    std::vector<uint32_t> offsets;
    for (const std::vector<Rect>& list : lists) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        PutU32(out, static_cast<uint32_t>(list.size()));
        for (const Rect& r : list) {
            PutU16(out, static_cast<uint16_t>(r.left));
            PutU16(out, static_cast<uint16_t>(r.top));
            PutU16(out, static_cast<uint16_t>(r.right));
            PutU16(out, static_cast<uint16_t>(r.bottom));
        }
    }
    // Frame k's offset sits 4k bytes before the end: the table runs from frame N to frame 1.
    for (auto it = offsets.rbegin(); it != offsets.rend(); ++it)
        PutU32(out, *it);
    return out;
}

std::vector<uint8_t> WriteMaskFile(const FrameRectLists& lists, const Rect& bounds) {
    std::vector<uint8_t> out = WriteRectLists(lists);
    PutU32(out, static_cast<uint32_t>(bounds.left));
    PutU32(out, static_cast<uint32_t>(bounds.top));
    PutU32(out, static_cast<uint32_t>(bounds.right));
    PutU32(out, static_cast<uint32_t>(bounds.bottom));
    return out;
}

} // namespace codecs
