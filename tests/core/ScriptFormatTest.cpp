#include "core/ScriptFormat.h"

#include "ScriptTestData.h"

#include <gtest/gtest.h>

#include <random>

using scripttest::Bytes;

namespace {

ScriptData ParseOk(const std::vector<uint8_t>& bytes) {
    ScriptData script;
    std::string error;
    EXPECT_TRUE(ParseScript(bytes, script, error)) << error;
    return script;
}

std::string ParseError(const std::vector<uint8_t>& bytes) {
    ScriptData script;
    std::string error;
    EXPECT_FALSE(ParseScript(bytes, script, error));
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
}

// Two players, a door with reactions (status byte 255, M = 0, a signed param3), one room;
// the door's name holds a NUL with bytes after it.
Bytes RichFile() {
    Bytes b;
    b.I32(3).I32(1);
    b.Object(0, "Tarvo", 0).Object(1, "Varnagel", 0);
    b.Object(7, std::string("Door\0xy", 7), 3);
    b.Reaction(1, 255, 0xFFFF, 2);
    b.Message(7, 9, 1, 2, 0xFFFE).Message(100, 3, 0, 0, 0x8000);
    b.Reaction(4, 2, 0, 0);
    b.Reaction(0x1234, 127, 1, 1).Message(0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0x7FFF);
    b.Object(100, "Hall", 0);
    return b;
}

} // namespace

TEST(ScriptFormat, MinimalFileHasTwoPlayersWithoutReactions) {
    const std::vector<uint8_t> bytes = scripttest::MinimalFile();
    ASSERT_EQ(bytes.size(), 8u + 2 * 10 + 5 + 8);
    const ScriptData script = ParseOk(bytes);
    EXPECT_EQ(script.objectCount, 2);
    EXPECT_EQ(script.roomCount, 0);
    ASSERT_EQ(script.objects.size(), 2u);
    EXPECT_EQ(script.objects[0].Name(), "Tarvo");
    EXPECT_EQ(script.objects[1].id, 1);
    EXPECT_EQ(script.objects[1].Name(), "Varnagel");
    EXPECT_TRUE(script.objects[1].reactions.empty());
    EXPECT_TRUE(script.trailing.empty());
    EXPECT_EQ(WriteScript(script), bytes);
}

TEST(ScriptFormat, ReadsRecordsInFileOrder) {
    const std::vector<uint8_t> bytes = RichFile().data;
    const ScriptData script = ParseOk(bytes);
    ASSERT_EQ(script.objects.size(), 4u);
    EXPECT_EQ(script.objectCount, 3);
    EXPECT_EQ(script.roomCount, 1);

    const ScriptObject& door = script.objects[2];
    EXPECT_EQ(door.id, 7);
    EXPECT_EQ(door.nameBytes, std::string("Door\0xy", 7)); // all L bytes are kept
    EXPECT_EQ(door.Name(), "Door");                        // the game's name stops at NUL
    ASSERT_EQ(door.reactions.size(), 3u);

    const ScriptReaction& use = door.reactions[0];
    EXPECT_EQ(use.type, 1);
    EXPECT_EQ(use.status, kAnyStatus); // byte 255
    EXPECT_EQ(use.sender, kAnyObjectId);
    ASSERT_EQ(use.messages.size(), 2u);
    EXPECT_EQ(use.messages[0], (ScriptMessage{7, 9, 1, 2, -2}));
    EXPECT_EQ(use.messages[1], (ScriptMessage{100, 3, 0, 0, -32768}));

    EXPECT_EQ(door.reactions[1].status, 2);
    EXPECT_EQ(door.reactions[1].sender, 0);
    EXPECT_TRUE(door.reactions[1].messages.empty()); // M = 0
    EXPECT_EQ(door.reactions[2].type, 0x1234);
    EXPECT_EQ(door.reactions[2].messages[0],
              (ScriptMessage{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0x7FFF}));
    EXPECT_EQ(script.objects[3].Name(), "Hall");
    EXPECT_EQ(WriteScript(script), bytes);
}

TEST(ScriptFormat, NegativeCountsMeanNoneAndAreWrittenBack) {
    Bytes b;
    b.I32(2).I32(0).Object(0, "A", -1).Object(1, "B", 1).Reaction(4, 0, 0, -70000);
    const ScriptData script = ParseOk(b.data);
    EXPECT_TRUE(script.objects[0].reactions.empty());
    EXPECT_EQ(script.objects[0].reactionCount, -1);
    EXPECT_TRUE(script.objects[1].reactions[0].messages.empty());
    EXPECT_EQ(script.objects[1].reactions[0].messageCount, -70000);
    EXPECT_EQ(WriteScript(script), b.data);
}

TEST(ScriptFormat, WriterTakesTheListsAsTheTruth) {
    ScriptData script = ParseOk(scripttest::MinimalFile());
    script.roomCount = 1;
    script.objects.push_back({});
    script.objects.back().reactionCount = 5; // stale: the list is empty
    script.objects[0].reactions.push_back({});
    script.objects[0].reactions[0].messages.push_back({1, 2, 3, 4, 5});
    script.objects[0].reactions[0].messageCount = -3; // stale: the list has a message

    ScriptData back;
    std::string error;
    ASSERT_TRUE(ParseScript(WriteScript(script), back, error)) << error;
    EXPECT_EQ(back.objectCount, 2);
    EXPECT_EQ(back.roomCount, 1);
    EXPECT_EQ(back.objects[2].reactionCount, 0);
    EXPECT_EQ(back.objects[0].reactionCount, 1);
    EXPECT_EQ(back.objects[0].reactions[0].messageCount, 1);
    EXPECT_EQ(back.objects[0].reactions[0].messages, script.objects[0].reactions[0].messages);
}

TEST(ScriptFormat, BytesAfterTheLastRecordAreKept) {
    std::vector<uint8_t> bytes = scripttest::MinimalFile();
    bytes.insert(bytes.end(), {0, 0xFF, 'x'});
    const ScriptData script = ParseOk(bytes);
    EXPECT_EQ(script.trailing, (std::vector<uint8_t>{0, 0xFF, 'x'}));
    EXPECT_EQ(WriteScript(script), bytes);
}

TEST(ScriptFormat, RefusesBadCountsAndLengthsWithAReason) {
    struct Case {
        Bytes file;
        const char* reason;
    };
    const Case cases[] = {
        {Bytes().I32(2), "file is 4 bytes long; the header needs 8"},
        {Bytes().I32(1).I32(0).Object(0, "A", 0), "N is 1 (at least 2 objects are needed)"},
        {Bytes().I32(-5).I32(0), "N is -5"},
        {Bytes().I32(2).I32(-1).Object(0, "A", 0).Object(1, "B", 0), "R is -1"},
        {Bytes().I32(2).I32(1).Object(0, "A", 0).Object(1, "B", 0),
         "N + R = 3 records do not fit in 22 bytes"},
        {Bytes().I32(0x7FFFFFFF).I32(0x7FFFFFFF).Object(0, "A", 0),
         "N + R = 4294967294 records do not fit"},
        {Bytes().I32(2).I32(0).Object(0, "A", 0).U16(5).I32(-3).I32(0).I32(0),
         "object record 1 (id 5): name length -3 is negative"},
        {Bytes().I32(2).I32(0).Object(0, "A", 0).U16(5).I32(100).I32(0).I32(0),
         "object record 1 (id 5): name length 100 exceeds the 8 bytes left"},
        {Bytes().I32(2).I32(0).Object(0, "Door", 0x7FFFFFFF).Object(1, "B", 0),
         "object record 0 (\"Door\"): K = 2147483647 reactions do not fit in 11 bytes"},
        {Bytes().I32(2).I32(0).Object(0, "A", 1).Reaction(4, 0, 0, 0x7FFFFFFF).Object(1, "B", 0),
         "reaction 0 of object record 0 (\"A\"): M = 2147483647 messages do not fit"},
        {Bytes().I32(2).I32(0).Object(0, "A", 2).Reaction(4, 0, 0, 1).Message(0, 0, 0, 0, 0),
         "file ends inside reaction 1 of object record 0 (\"A\")"},
        {Bytes().I32(2).I32(0).Object(0, "A", 0).U16(1).I32(1).Raw("B").U16(0),
         "file ends inside object record 1 (\"B\")"},
        {Bytes().I32(2).I32(0).Object(0, std::string(9, 'a'), 0).U16(1).U16(0),
         "file ends inside object record 1"},
    };
    for (const Case& c : cases) {
        const std::string error = ParseError(c.file.data);
        EXPECT_NE(error.find(c.reason), std::string::npos) << "got: " << error;
    }
}

TEST(ScriptFormat, EveryTruncationIsRefusedOrKeepsAShorterTail) {
    Bytes b = RichFile();
    const size_t recordsEnd = b.data.size();
    b.Raw("tail");
    for (size_t length = 0; length < b.data.size(); ++length) {
        const std::vector<uint8_t> prefix(b.data.begin(), b.data.begin() + length);
        ScriptData script;
        std::string error;
        const bool ok = ParseScript(prefix, script, error);
        EXPECT_EQ(ok, length >= recordsEnd) << "length " << length << ": " << error;
        if (ok) {
            EXPECT_EQ(script.trailing.size(), length - recordsEnd);
            EXPECT_EQ(WriteScript(script), prefix);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

// Random damage to valid files: the parser must never misbehave (run under ASan), and every
// file it accepts must be written back byte for byte.
TEST(ScriptFormat, DamagedFilesAreRefusedOrWrittenBackExactly) {
    scripttest::ScriptGenerator generator(7);
    std::mt19937 random(11);
    size_t accepted = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> bytes = WriteScript(generator.Next());
        for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips)
            bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
        ScriptData script;
        std::string error;
        if (ParseScript(bytes, script, error)) {
            ++accepted;
            EXPECT_EQ(WriteScript(script), bytes) << "round " << round;
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    EXPECT_GT(accepted, 0u); // some damage (to names and parameters) leaves a valid file
}
