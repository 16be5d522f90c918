#include "core/BgFormat.h"

#include "ScriptTestData.h"

#include <gtest/gtest.h>

#include <random>

using scripttest::Bytes;

namespace {

Bytes& Room(Bytes& b, int16_t id, int32_t placements) {
    return b.U16(static_cast<uint16_t>(id)).I32(placements);
}

Bytes& Place(Bytes& b, uint16_t object, int32_t x, int32_t y, int32_t depth, int32_t walkX,
             int32_t walkY) {
    return b.U16(object).I32(x).I32(y).I32(depth).I32(walkX).I32(walkY);
}

// Two rooms (one with a negative id and a negative stored count), three placements with
// negative and extreme values, no trailing bytes.
std::vector<uint8_t> SampleFile() {
    Bytes b;
    b.I32(3);
    Room(b, 100, 2);
    Place(b, 7, 120, 300, 310, 140, 420);
    Place(b, 0xFFFF, -1, -2147483647 - 1, 2147483647, -1, -1);
    Room(b, -2, -5);
    Room(b, 101, 1);
    Place(b, 1, 0, 0, 0, 640, 479);
    return b.data;
}

BgData ParseOk(const std::vector<uint8_t>& bytes) {
    BgData data;
    std::string error;
    EXPECT_TRUE(ParseBackgrounds(bytes, data, error)) << error;
    return data;
}

std::string ParseError(const std::vector<uint8_t>& bytes) {
    BgData data;
    std::string error;
    EXPECT_FALSE(ParseBackgrounds(bytes, data, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
}

} // namespace

TEST(BgFormat, ReadsRoomsAndPlacementsInFileOrder) {
    const std::vector<uint8_t> bytes = SampleFile();
    ASSERT_EQ(bytes.size(), 4u + 3 * 6 + 3 * kBgPlacementSize);
    const BgData data = ParseOk(bytes);
    ASSERT_EQ(data.rooms.size(), 3u);

    const BgRoom& hall = data.rooms[0];
    EXPECT_EQ(hall.roomId, 100);
    EXPECT_EQ(hall.placementCount, 2);
    ASSERT_EQ(hall.placements.size(), 2u);
    EXPECT_EQ(hall.placements[0], (BgPlacement{7, 120, 300, 310, 140, 420}));
    EXPECT_EQ(hall.placements[1], (BgPlacement{0xFFFF, -1, -2147483647 - 1, 2147483647, -1, -1}));

    EXPECT_EQ(data.rooms[1].roomId, -2); // the id is signed
    EXPECT_EQ(data.rooms[1].placementCount, -5);
    EXPECT_TRUE(data.rooms[1].placements.empty());

    EXPECT_EQ(data.rooms[2].placements.at(0), (BgPlacement{1, 0, 0, 0, 640, 479}));
    EXPECT_TRUE(data.trailing.empty());
}

TEST(BgFormat, WritingGivesBackTheSameBytes) {
    std::vector<uint8_t> withTrailing = SampleFile();
    withTrailing.insert(withTrailing.end(), {0x00, 0x7F, 0xFF});
    const std::vector<uint8_t> files[] = {SampleFile(), withTrailing, Bytes().I32(0).data};
    for (const auto& bytes : files)
        EXPECT_EQ(WriteBackgrounds(ParseOk(bytes)), bytes);

    EXPECT_EQ(ParseOk(withTrailing).trailing, (std::vector<uint8_t>{0x00, 0x7F, 0xFF}));
}

TEST(BgFormat, WriterTakesTheListsOverTheStoredCounts) {
    BgData data;
    data.rooms.push_back(BgRoom{5, 99, {BgPlacement{1, 2, 3, 4, 5, 6}}}); // count is stale
    data.rooms.push_back(BgRoom{6, 3, {}});  // a positive count without placements
    data.rooms.push_back(BgRoom{7, -1, {}}); // "none", kept
    Bytes expected;
    expected.I32(3);
    Room(expected, 5, 1);
    Place(expected, 1, 2, 3, 4, 5, 6);
    Room(expected, 6, 0);
    Room(expected, 7, -1);
    EXPECT_EQ(WriteBackgrounds(data), expected.data);
}

TEST(BgFormat, EveryTruncationIsRefused) {
    const std::vector<uint8_t> bytes = SampleFile();
    for (size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        ParseError(std::vector<uint8_t>(bytes.begin(), bytes.begin() + size));
    }
}

TEST(BgFormat, ReasonsNameTheFault) {
    Bytes hugeRooms;
    hugeRooms.I32(0x7FFFFFFF);
    Room(hugeRooms, 1, 0);
    Bytes hugePlacements;
    hugePlacements.I32(1);
    Room(hugePlacements, 42, 0x7FFFFFFF);
    Place(hugePlacements, 1, 0, 0, 0, 0, 0);
    Bytes oneShort;
    oneShort.I32(1);
    Room(oneShort, 3, 2);
    Place(oneShort, 1, 0, 0, 0, 0, 0);
    oneShort.data.resize(oneShort.data.size() + kBgPlacementSize - 1);
    Bytes cutInSecondRoom;
    cutInSecondRoom.I32(2);
    Room(cutInSecondRoom, 1, 1);
    Place(cutInSecondRoom, 1, 0, 0, 0, 0, 0);
    cutInSecondRoom.U16(2).U8(0);

    const struct {
        std::vector<uint8_t> bytes;
        std::string reason;
    } cases[] = {
        {{1, 0}, "file is 2 bytes long; the room count needs 4"},
        {Bytes().I32(-1).data, "N is -1 (a count cannot be negative)"},
        {hugeRooms.data, "N = 2147483647 room records do not fit in 6 bytes (at least 6 bytes "
                         "each)"},
        {hugePlacements.data, "room record 0 (room 42): M = 2147483647 placements do not fit in "
                              "22 bytes (22 bytes each)"},
        {oneShort.data, "room record 0 (room 3): M = 2 placements do not fit in 43 bytes (22 "
                        "bytes each)"},
        {cutInSecondRoom.data, "file ends inside room record 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseError(c.bytes), c.reason);
}

TEST(BgFormat, RandomBytesNeverCrashAndWhatIsAcceptedWritesBackExactly) {
    std::mt19937 random(1234);
    for (int round = 0; round < 2000; ++round) {
        // Small counts are likelier to parse, so the accepted path is exercised as well.
        Bytes b;
        b.I32(static_cast<int32_t>(random() % 4) - 1);
        const size_t extra = random() % 80;
        for (size_t i = 0; i < extra; ++i)
            b.U8(random() % 3 == 0 ? static_cast<uint8_t>(random()) : 0);
        BgData data;
        std::string error;
        if (ParseBackgrounds(b.data, data, error))
            EXPECT_EQ(WriteBackgrounds(data), b.data);
        else
            EXPECT_FALSE(error.empty());
    }
}
