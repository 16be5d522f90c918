// The saved-game format from byte arrays: the layout field by field, the round trip, and the
// refusal of every truncated or damaged file without touching what the caller holds.
#include <gtest/gtest.h>

#include "core/SaveFormat.h"
#include "platform/ByteWriter.h"

namespace {

SavedGame Sample() {
    SavedGame g;
    g.objects.push_back(SavedObject{"Tarvo", "", 0, 1, 100, 200, 10, 20, 1, 1, 1});
    g.objects.push_back(SavedObject{"Lamp", "Old lamp", 0, 7, 4001, 300, -5, 60, 0, 0, 1});
    g.objects.push_back(SavedObject{"Hall", "", 0, 0, 1, 0, 0, 0, 1, 1, 0});
    g.inventory = {12, 40, 12}; // the same item twice is kept twice
    g.roomName = "Hall";
    g.tarvoFoot = {321, 444};
    g.varnagelFoot = {-3, 442};
    g.dialogueState = {2, 0, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD, 1, 2, 3, 4};
    g.cursorResource = 4001;
    g.cursorMode = 6;
    g.heldId = 10;
    return g;
}

void Text(platform::ByteWriter& w, const std::string& s) {
    w.I32(static_cast<int32_t>(s.size()));
    for (char c : s)
        w.U8(static_cast<uint8_t>(c));
}

} // namespace

TEST(SaveFormat, WritesTheFieldsInTheirOrder) {
    SavedGame g;
    g.objects.push_back(SavedObject{"Lamp", "Old", 1, 0x7F, -1, 300, -5, 60, 0, 1, 1});
    g.inventory = {0x1234};
    g.roomName = "Hall";
    g.tarvoFoot = {321, 444};
    g.varnagelFoot = {320, 442};
    g.dialogueState = {1, 0, 0, 0, 9, 8, 7, 6};
    g.cursorResource = 5004;
    g.cursorMode = 2;
    g.heldId = -1;

    platform::ByteWriter w;
    w.I32(4); // one record plus cursor, case and menu
    Text(w, "Lamp");
    Text(w, "Old");
    w.I32(1);   // busy
    w.U8(0x7F); // status: one byte
    for (int32_t v : {-1, 300, -5, 60, 0, 1, 1})
        w.I32(v); // resource, z, x, y, visible, active, animate
    w.I32(1);
    w.U16(0x1234);
    Text(w, "Hall");
    for (int32_t v : {321, 444, 320, 442})
        w.I32(v);
    for (uint8_t b : {1, 0, 0, 0, 9, 8, 7, 6})
        w.U8(b);
    for (int32_t v : {5004, 2, -1})
        w.I32(v);
    EXPECT_EQ(WriteSavedGame(g), w.Data());
}

TEST(SaveFormat, ReadsBackWhatItWrote) {
    const SavedGame g = Sample();
    const std::vector<uint8_t> bytes = WriteSavedGame(g);
    SavedGame back;
    std::string error;
    ASSERT_TRUE(ParseSavedGame(bytes, back, error)) << error;
    EXPECT_EQ(back, g);
    EXPECT_EQ(WriteSavedGame(back), bytes);
}

TEST(SaveFormat, EveryTruncationIsRefusedAndLeavesTheTargetAlone) {
    const std::vector<uint8_t> bytes = WriteSavedGame(Sample());
    for (size_t length = 0; length < bytes.size(); ++length) {
        SavedGame target;
        target.roomName = "untouched";
        std::string error;
        EXPECT_FALSE(ParseSavedGame(std::span(bytes).first(length), target, error)) << length;
        EXPECT_FALSE(error.empty()) << length;
        EXPECT_EQ(target.roomName, "untouched") << length;
    }
}

TEST(SaveFormat, DamagedFieldsAreRefusedWithTheirReason) {
    const std::vector<uint8_t> good = WriteSavedGame(Sample());
    // The offset of the first name length, of the dialogue size and of the cursor mode.
    const size_t nameLength = 4;
    const size_t cursorMode = good.size() - 8;
    const size_t dialogueSize = good.size() - 12 - Sample().dialogueState.size();
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        const char* reason;
    } cases[] = {
        {"fewer objects than a world has", 0, 2, "below the 3"},
        {"a negative object count", 0, 0xFFFFFFFF, "below the 3"},
        {"more records than bytes", 0, 100000, "more records than"},
        {"a negative name length", nameLength, 0x80000000, "the length of the name"},
        {"a name longer than the file", nameLength, 5000, "the length of the name"},
        {"a dialogue block beyond the end", dialogueSize, 0x40000000, "dialogue code size"},
        {"an unknown cursor mode", cursorMode, 7, "cursor mode is 7"},
        {"a held id below -1", cursorMode + 4, 0xFFFFFFFE, "held object id"},
        {"a held id above 16 bits", cursorMode + 4, 0x10000, "held object id"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[c.at + static_cast<size_t>(i)] = static_cast<uint8_t>(c.value >> (8 * i));
        SavedGame out;
        std::string error;
        EXPECT_FALSE(ParseSavedGame(bytes, out, error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    SavedGame out;
    std::string error;
    EXPECT_FALSE(ParseSavedGame(longer, out, error));
    EXPECT_NE(error.find("1 stray bytes"), std::string::npos) << error;
}
