// "dialogue.fix" and "dialogue.lod": exact round trips, and refusal of every truncated or
// impossible file with a reason.
#include <gtest/gtest.h>

#include "dialogue/DialogueFormat.h"
#include "platform/ByteWriter.h"

namespace {

DialogueTables SampleTables() {
    DialogueTables t;
    t.objects = {
        {7,
         0xAABBCCDD,
         {{10, 1, 0x11, {{0, {5, -6}, 0x22}, {3, {}, 0}}}, {26 + 65536 * 9, 0, 0, {{4, {1}, 0}}}}},
        {0xfffe, 0, {}},
        {12, 0, {{0xfffe, -1, 0, {}}}},
    };
    t.code = {0x07000000, 0x06000000, 0x02000301, 0x01000000, 0x03000001};
    t.trailing = {0xDE, 0xAD};
    return t;
}

DialoguePhrases SamplePhrases() {
    DialoguePhrases p;
    p.phrases.resize(3);
    p.phrases[0].speakerId = 7;
    p.phrases[0].SetSoundName("cm01.wav");
    p.phrases[0].text = "\xC4\xEE\xE1\xF0\xFB\xE9 \xE4\xE5\xED\xFC"; // Windows-1251
    p.phrases[1].speakerId = -1;
    p.phrases[1].nameField = {'a', 0, 'j', 'u', 'n', 'k'};
    p.phrases[1].ignored = 0x12345678;
    p.phrases[2].text = "";
    p.trailing = {1, 2, 3};
    return p;
}

} // namespace

TEST(DialogueFiles, BothFilesComeBackExactly) {
    const DialogueTables tables = SampleTables();
    const std::vector<uint8_t> fix = WriteDialogueTables(tables);
    DialogueTables parsed;
    std::string error;
    ASSERT_TRUE(ParseDialogueTables(fix, parsed, error)) << error;
    EXPECT_EQ(parsed, tables);
    EXPECT_EQ(WriteDialogueTables(parsed), fix);
    // The object table, then object 0's two handlers, handler 0's two entries and lists.
    EXPECT_EQ(fix.size(), 4 + 3 * 12 + 2 * 16 + 2 * 12 + 2 * 4 + 12 + 4 + 16 + 4 + 5 * 4 + 2);

    const DialoguePhrases phrases = SamplePhrases();
    const std::vector<uint8_t> lod = WriteDialoguePhrases(phrases);
    DialoguePhrases parsedPhrases;
    ASSERT_TRUE(ParseDialoguePhrases(lod, parsedPhrases, error)) << error;
    EXPECT_EQ(parsedPhrases, phrases);
    EXPECT_EQ(parsedPhrases.phrases[1].SoundName(), "a");
    EXPECT_EQ(WriteDialoguePhrases(parsedPhrases), lod);
}

TEST(DialogueFiles, EveryTruncationIsRefused) {
    DialogueTables tables = SampleTables();
    tables.trailing.clear();
    const std::vector<uint8_t> fix = WriteDialogueTables(tables);
    DialoguePhrases phrases = SamplePhrases();
    phrases.trailing.clear();
    const std::vector<uint8_t> lod = WriteDialoguePhrases(phrases);
    for (size_t size = 0; size < fix.size(); ++size) {
        DialogueTables out;
        std::string error;
        EXPECT_FALSE(ParseDialogueTables(std::span(fix.data(), size), out, error)) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
    for (size_t size = 0; size < lod.size(); ++size) {
        DialoguePhrases out;
        std::string error;
        EXPECT_FALSE(ParseDialoguePhrases(std::span(lod.data(), size), out, error)) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
}

TEST(DialogueFiles, ImpossibleCountsAreRefusedWithAReason) {
    auto fields = [](std::vector<int32_t> values) {
        platform::ByteWriter w;
        for (int32_t v : values)
            w.I32(v);
        return w.Take();
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        bool phrases;
        std::string reason;
    } cases[] = {
        {"huge object count", fields({0x7fffffff}), false,
         "the object count 2147483647 does not fit in the 0 bytes left (12 bytes each)"},
        {"negative object count", fields({-2}), false, "the object count is -2 (negative)"},
        {"negative handler count", fields({1, 7, -1, 0}), false,
         "object 0 has a handler count of -1"},
        {"huge handler count", fields({1, 7, 1000, 0, 0}), false,
         "object 0 (id 7): 1000 handlers do not fit in the 4 bytes left"},
        {"huge entry count", fields({1, 7, 1, 0, 10, 50000, 0, 0, 0}), false,
         "object 0 (id 7), handler 0: 50000 entries do not fit in the 4 bytes left"},
        {"huge list", fields({1, 7, 1, 0, 10, 1, 0, 0, 0, 99, 0, 0}), false,
         "object 0 (id 7), handler 0, entry 0: a list of 99 values does not fit in the 4 bytes "
         "left"},
        {"huge code size", fields({0, 0x40000000}), false,
         "the code size 1073741824 does not fit in the 0 bytes left (4 bytes each)"},
        {"no code size", fields({0}), false, "file ends before the code size"},
        {"huge phrase count", fields({0x10000000}), true,
         "phrase count 268435456 does not fit in the 0 bytes left (24 bytes each, then the texts)"},
        {"a text without its NUL",
         {1, 0, 0, 0, 7, 0, 0, 0, 'a', 0, 0, 0, 0, 0,   0,
          0, 0, 0, 0, 0, 0, 0, 0, 0,   0, 0, 0, 0, 'h', 'i'},
         true,
         "the text of phrase 0 is missing or has no NUL"},
    };
    for (const auto& c : cases) {
        std::string error;
        DialogueTables tables;
        DialoguePhrases phrases;
        const bool parsed = c.phrases ? ParseDialoguePhrases(c.bytes, phrases, error)
                                      : ParseDialogueTables(c.bytes, tables, error);
        EXPECT_FALSE(parsed) << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
    }
}

TEST(DialogueFiles, SoundNamesMustLeaveRoomForTheirNul) {
    DialoguePhrase phrase;
    EXPECT_TRUE(phrase.SetSoundName("fifteen_chars.w"));
    EXPECT_EQ(phrase.SoundName(), "fifteen_chars.w");
    EXPECT_FALSE(phrase.SetSoundName("sixteen_chars.wa"));
    EXPECT_EQ(phrase.SoundName(), "fifteen_chars.w"); // unchanged
}
