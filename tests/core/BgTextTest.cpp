#include "core/BgText.h"

#include "core/ScriptText.h"

#include <gtest/gtest.h>

namespace {

// Names the layouts below refer to: a Cyrillic one, one with a space, two records sharing a
// name, two records sharing an id.
ScriptData SampleScript() {
    ScriptData script;
    std::string error;
    EXPECT_TRUE(ScriptFromText("player 0 Tarvo\n"
                               "player Varnagel\n"
                               "object 7 Lamp\n"
                               "object 8 \"Old door\"\n"
                               "object 9 Лампа\n"
                               "object 10 Twin\n"
                               "object 11 Twin\n"
                               "object 12 Echo\n"
                               "object 12 Shadow\n"
                               "room 100 Hall\n"
                               "room 0xFFFE Cellar\n",
                               script, error))
        << error;
    return script;
}

BgData SampleData() {
    BgData data;
    data.rooms.push_back(
        BgRoom{100,
               4,
               {BgPlacement{7, 120, 300, 310, 140, 420}, BgPlacement{8, -5, 0, 0, -1, -1},
                BgPlacement{9, 1, 2, 3, 4, 5}, BgPlacement{10, 0, 0, 0, 0, 0}}});
    data.rooms.push_back(BgRoom{-2, 1, {BgPlacement{12, 6, 7, 8, 9, 10}}});
    data.rooms.push_back(BgRoom{555, -7, {}});
    data.trailing = {0x00, 0xAB};
    return data;
}

BgData ParseOk(std::string_view text, const ScriptData* script) {
    BgData data;
    std::string error;
    EXPECT_TRUE(BackgroundsFromText(text, script, data, error)) << error;
    return data;
}

std::string ParseError(std::string_view text, const ScriptData* script) {
    BgData data;
    std::string error;
    EXPECT_FALSE(BackgroundsFromText(text, script, data, error)) << text;
    return error;
}

} // namespace

TEST(BgText, DumpWithoutScriptWritesNumbersAndReadsBack) {
    const BgData data = SampleData();
    const std::string text = BackgroundsToText(data, nullptr);
    EXPECT_NE(text.find("room 100\n  place 7 x 120 y 300 depth 310 walk 140 420\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("room -2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("room 555 placements -7\n"), std::string::npos) << text;
    EXPECT_NE(text.find("trailing 00 AB\n"), std::string::npos) << text;
    EXPECT_EQ(ParseOk(text, nullptr), data);
}

TEST(BgText, DumpWithScriptWritesNamesThatLeadBackToTheId) {
    const ScriptData script = SampleScript();
    const BgData data = SampleData();
    const std::string text = BackgroundsToText(data, &script);
    EXPECT_NE(text.find("room Hall  # 100\n"), std::string::npos) << text;
    EXPECT_NE(text.find("place Lamp x 120"), std::string::npos) << text;
    EXPECT_NE(text.find("place \"Old door\" x -5"), std::string::npos) << text;
    EXPECT_NE(text.find("place Лампа x 1"), std::string::npos) << text;
    EXPECT_NE(text.find("room Cellar  # -2\n"), std::string::npos) << text; // 0xFFFE as int16
    // A shared name or a shared id cannot stand for one record: the number is written.
    EXPECT_NE(text.find("place 10 x 0"), std::string::npos) << text;
    EXPECT_NE(text.find("place 12 x 6"), std::string::npos) << text;
    EXPECT_EQ(ParseOk(text, &script), data);
}

TEST(BgText, NamesThatNeedQuotesSurviveTheRoundTrip) {
    ScriptData script;
    std::string error;
    ASSERT_TRUE(ScriptFromText("player A\nplayer B\n"
                               "object 5 \"say \\\"hi\\\"\\\\\"\n"
                               "object 6 \"7up\"\n"
                               "object 7 \"x#y\"\n"
                               "object 8 \"\\x98\\x01\"\n",
                               script, error))
        << error;
    BgData data;
    data.rooms.push_back(BgRoom{1, 4, {}});
    for (uint16_t id = 5; id <= 8; ++id)
        data.rooms[0].placements.push_back(BgPlacement{id, id, 0, 0, 0, 0});
    const std::string text = BackgroundsToText(data, &script);
    EXPECT_NE(text.find("place \"say \\\"hi\\\"\\\\\" x 5"), std::string::npos) << text;
    EXPECT_NE(text.find("place \"7up\" x 6"), std::string::npos) << text;
    EXPECT_NE(text.find("place \"\\x98\\x01\" x 8"), std::string::npos) << text;
    EXPECT_EQ(ParseOk(text, &script).rooms, data.rooms);
}

TEST(BgText, HandWrittenLayoutsTakeValuesInAnyOrder) {
    const ScriptData script = SampleScript();
    const BgData data = ParseOk("# the hall\n"
                                "room Hall\n"
                                "  place Lamp walk 1 2 depth 0x10 y -3 x 4   # by the wall\n"
                                "\n"
                                "  place 40000 x 0 y 0 depth 0 walk -1 -1\n"
                                "room 65535\n",
                                &script);
    ASSERT_EQ(data.rooms.size(), 2u);
    ASSERT_EQ(data.rooms[0].placements.size(), 2u);
    EXPECT_EQ(data.rooms[0].placementCount, 2);
    EXPECT_EQ(data.rooms[0].placements[0], (BgPlacement{7, 4, -3, 16, 1, 2}));
    EXPECT_EQ(data.rooms[0].placements[1].objectId, 40000);
    EXPECT_EQ(data.rooms[1].roomId, -1); // the low 16 bits of 65535
}

TEST(BgText, ErrorsNameTheLineAndTheFault) {
    const ScriptData script = SampleScript();
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"room Hall\n  place Lamp x 1 y 2 depth 3\n", "2: 'place' lacks 'walk'"},
        {"room 1\nplace 2 x 1 x 2 y 0 depth 0 walk 0 0\n", "2: 'x' given twice"},
        {"room 1\nplace 2 x 1 y 0 depth 0 walk 0\n", "2: 'walk' needs a number"},
        {"room 1\nplace 2 x 1 y 0 depth 0 walk 0 0 z 1\n",
         "2: unknown value 'z' (x, y, depth or walk)"},
        {"room 1\nplace 2 x 2147483648 y 0 depth 0 walk 0 0\n",
         "2: bad number '2147483648' for 'x' (-2147483648..2147483647)"},
        {"room 1\nplace 2 x 1e3 y 0 depth 0 walk 0 0\n",
         "2: bad number '1e3' for 'x' (-2147483648..2147483647)"},
        {"place 2 x 1 y 0 depth 0 walk 0 0\n", "1: 'place' before the first 'room'"},
        {"room 65536\n", "1: bad room id '65536' (-32768..65535)"},
        {"room 1\nplace -1 x 0 y 0 depth 0 walk 0 0\n", "2: bad object id '-1' (0..65535)"},
        {"room Attic\n", "1: no script record is named 'Attic'"},
        {"room 1\nplace Twin x 0 y 0 depth 0 walk 0 0\n",
         "2: more than one script record is named 'Twin'"},
        {"room 1 placements 2\n", "1: 'placements' takes a stored count <= 0 (a room without "
                                  "placements)"},
        {"room 1 placements -1\nplace 2 x 0 y 0 depth 0 walk 0 0\n",
         "2: a room with 'placements' given has no placements"},
        {"room 1 extra\n", "1: unexpected 'extra' after the room"},
        {"trailing 00 0G\n", "1: bad trailing byte '0G' (two hex digits)"},
        {"trailing 00\nroom 1\n", "2: 'room' after the trailing bytes"},
        {"rooms 1\n", "1: unknown statement 'rooms' (room, place or trailing)"},
        {"room \"Hall\n", "1: a quoted name is not closed on its line"},
        {"room \"Hall\"x\n", "1: a space must follow the quoted name 'Hall'"},
        {"room \"a\\q\"\n", "1: bad escape in a name (use \\\", \\\\ or \\x and two hex digits)"},
        {"room 中\n", "1: name '中' has characters without a Windows-1251 code"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseError(c.text, &script), c.error);
    EXPECT_EQ(ParseError("room Hall\n", nullptr),
              "1: 'Hall' is a name, but no script was given to look names up in");
}
