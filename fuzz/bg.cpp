// "backgrnd.bg" as the main interface reads it. An accepted file is written back byte for
// byte, and its readable form (tarvo-tool bg dump) reads back as the same rooms.
#include "core/BgFormat.h"
#include "core/BgText.h"
#include "fuzz/FuzzTarget.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    BgData two;
    two.rooms.push_back({100, 2, {{2, 10, 20, 30, 40, 50}, {3, -1, 480, 0, 320, 400}}});
    two.rooms.push_back({101, -3, {}});
    BgData trailing = two;
    trailing.trailing = {0xDE, 0xAD};
    return {{"empty.bg", WriteBackgrounds(BgData{})},
            {"two-rooms.bg", WriteBackgrounds(two)},
            {"trailing.bg", WriteBackgrounds(trailing)}};
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> bytes = fuzz::Input(data, size);
    BgData rooms;
    std::string error;
    if (!ParseBackgrounds(bytes, rooms, error)) return 0;
    fuzz::RequireSameBytes(WriteBackgrounds(rooms), bytes,
                           "WriteBackgrounds gives back the bytes read");
    BgData again;
    fuzz::Require(BackgroundsFromText(BackgroundsToText(rooms, nullptr), nullptr, again, error),
                  "the dump reads back");
    fuzz::Require(again == rooms, "the dump reads back as the same rooms");
    return 0;
}
