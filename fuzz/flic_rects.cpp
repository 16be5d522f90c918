// The rectangle files of an animation (.MSK and .MS2) for every frame count that could go
// with them: accepted lists are written back and read again unchanged, and the bounding
// rectangle's crop of a still background stays inside the frame it is cut from.
#include "fuzz/FuzzTarget.h"
#include "graphics/FlicRects.h"

#include <algorithm>

namespace {

constexpr int kMaxFrameCounts = 64;

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    using platform::Rect;
    const codecs::FrameRectLists lists = {
        {Rect{1, 2, 5, 6}}, {}, {Rect{0, 0, 1, 1}, Rect{-3, 4, 9, 9}}};
    return {{"three.msk", codecs::WriteMaskFile(lists, Rect{0, 0, 10, 10})},
            {"three.ms2", codecs::WriteRectLists(lists)},
            {"still.msk",
             codecs::WriteMaskFile({{Rect{100, 300, 400, 480}}}, Rect{100, 300, 401, 481})}};
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> file = fuzz::Input(data, size);
    const int counts = static_cast<int>(std::min<size_t>(kMaxFrameCounts, size / 4));
    for (int frames = 0; frames <= counts; ++frames) {
        codecs::FrameRectLists lists;
        std::string error;
        if (codecs::ParseRectLists(file, frames, lists, error)) {
            fuzz::Require(lists.size() == size_t(frames), "one list per frame");
            codecs::FrameRectLists again;
            fuzz::Require(
                codecs::ParseRectLists(codecs::WriteRectLists(lists), frames, again, error) &&
                    again == lists,
                "written lists read back unchanged");
        }
        platform::Rect stored;
        if (!codecs::ParseMaskFile(file, frames, lists, stored, error)) continue;
        const platform::Rect bounds = codecs::AdjustBoundingRect(stored);
        if (const auto crop = codecs::StillBackgroundCrop(frames, 640, 480, bounds)) {
            fuzz::Require(crop->size.cx >= 0 && crop->size.cy >= 0, "a crop is never inverted");
            fuzz::Require(crop->surface.cx == crop->size.cx + 1, "the crop keeps its edge column");
        }
    }
    return 0;
}
