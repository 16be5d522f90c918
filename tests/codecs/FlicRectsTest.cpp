#include "graphics/FlicRects.h"

#include "FlicBuilders.h"

#include <gtest/gtest.h>

using namespace flictest;
using codecs::FrameRectLists;
using platform::Rect;

namespace {

void PutRect(Bytes& out, int l, int t, int r, int b) {
    for (int v : {l, t, r, b})
        Put16(out, static_cast<uint16_t>(v));
}

// Frames 1 and 3 share a list of two rectangles at offset 0; frame 2's list at 20 has a
// negative count. The offset table holds frame 3, frame 2, frame 1.
Bytes ThreeFrameLists() {
    Bytes data;
    Put32(data, 2);
    PutRect(data, -4, 0, 10, 5);
    PutRect(data, 1, 2, 3, 4);
    Put32(data, 0xFFFFFFFF);
    for (uint32_t offset : {0u, 20u, 0u})
        Put32(data, offset);
    return data;
}

} // namespace

TEST(FlicRects, ListsAreFoundThroughTheTableAtTheEnd) {
    const std::vector<Rect> shared = {{-4, 0, 10, 5}, {1, 2, 3, 4}};
    const FrameRectLists expected = {shared, {}, shared};
    FrameRectLists lists;
    std::string error;
    ASSERT_TRUE(codecs::ParseRectLists(ThreeFrameLists(), 3, lists, error)) << error;
    EXPECT_EQ(lists, expected);

    Bytes mask = ThreeFrameLists();
    for (uint32_t v : {10u, 20u, 110u, 220u})
        Put32(mask, v);
    Rect stored;
    ASSERT_TRUE(codecs::ParseMaskFile(mask, 3, lists, stored, error)) << error;
    EXPECT_EQ(lists, expected);
    EXPECT_EQ(stored, (Rect{10, 20, 110, 220}));
}

TEST(FlicRects, DamagedFilesAreRefusedWhole) {
    auto withOffset = [](uint32_t frame1Offset) {
        Bytes b = ThreeFrameLists();
        b.resize(b.size() - 4);
        Put32(b, frame1Offset);
        return b;
    };
    Bytes countTooLarge = ThreeFrameLists();
    countTooLarge[0] = 5; // five rectangles would run past the end of the data
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"offset past the end", withOffset(1000)},
        {"offset in the last bytes",
         withOffset(static_cast<uint32_t>(ThreeFrameLists().size() - 2))},
        {"count past the end", countTooLarge},
        {"table larger than the file", Bytes(8, 0)},
    };
    for (const auto& [name, data] : cases) {
        FrameRectLists lists = {{}};
        std::string error;
        EXPECT_FALSE(codecs::ParseRectLists(data, 3, lists, error)) << name;
        EXPECT_TRUE(lists.empty()) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
    FrameRectLists lists;
    Rect stored;
    std::string error;
    EXPECT_FALSE(codecs::ParseMaskFile(Bytes(15, 0), 0, lists, stored, error));
}

TEST(FlicRects, BoundingRectangleIsAdjustedAndSmallStillsAreCropped) {
    EXPECT_EQ(codecs::AdjustBoundingRect({10, 20, 110, 220}), (Rect{10, 20, 109, 219}));
    EXPECT_EQ(codecs::AdjustBoundingRect({-5, -3, 900, 600}), (Rect{0, 0, 899, 480}));

    const Rect bounds = codecs::AdjustBoundingRect({100, 300, 401, 481});
    EXPECT_EQ(bounds, (Rect{100, 300, 400, 480}));
    const auto crop = codecs::StillBackgroundCrop(1, 640, 480, bounds);
    ASSERT_TRUE(crop.has_value());
    EXPECT_EQ(crop->source, bounds);
    EXPECT_EQ(crop->surface, (platform::Size{301, 181}));
    EXPECT_EQ(crop->size, (platform::Size{300, 180}));
    EXPECT_EQ(crop->offset, (platform::Point{100, 300}));

    EXPECT_FALSE(codecs::StillBackgroundCrop(2, 640, 480, bounds));           // animated
    EXPECT_FALSE(codecs::StillBackgroundCrop(1, 630, 480, bounds));           // not full width
    EXPECT_FALSE(codecs::StillBackgroundCrop(1, 640, 470, bounds));           // not full height
    EXPECT_FALSE(codecs::StillBackgroundCrop(1, 640, 480, {5, 5, 625, 465})); // mostly visible
    EXPECT_TRUE(codecs::StillBackgroundCrop(1, 640, 480, {5, 5, 624, 465}));
    EXPECT_FALSE(codecs::StillBackgroundCrop(1, 640, 480, {0, 0, -1, -1})); // empty mask
}

TEST(FlicRects, DamagedBoundingRectanglesNeitherOverflowNorAskForHugeCrops) {
    // Values at the ends of the 32-bit range are held to the 16-bit range of the frame
    // rectangles before the rectangle is moved in and clipped.
    EXPECT_EQ(codecs::AdjustBoundingRect({INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}),
              (Rect{0, 0, INT16_MIN, INT16_MIN}));
    EXPECT_EQ(codecs::AdjustBoundingRect({INT32_MAX, 5, INT32_MAX, INT32_MAX}),
              (Rect{INT16_MAX, 5, INT16_MAX, 480}));
    // A visible part far wider than the picture came from a damaged mask: the still keeps
    // its whole surface rather than one 30,000 pixels wide.
    const Rect wide = codecs::AdjustBoundingRect({0, 0, INT32_MAX, 100});
    EXPECT_FALSE(codecs::StillBackgroundCrop(1, 640, 480, wide));
    EXPECT_FALSE(codecs::StillBackgroundCrop(1, 640, 480, {-20000, 0, 30000, 100}));
    EXPECT_TRUE(codecs::StillBackgroundCrop(1, 640, 480, {0, 0, 640, 100}));
}
