#include "core/ScriptText.h"

#include "ScriptTestData.h"
#include "core/MessageTypes.h"

#include <gtest/gtest.h>

namespace {

ScriptData FromText(const std::string& text) {
    ScriptData script;
    std::string error;
    EXPECT_TRUE(ScriptFromText(text, script, error)) << error;
    return script;
}

std::string TextError(const std::string& text) {
    ScriptData script;
    std::string error;
    EXPECT_FALSE(ScriptFromText(text, script, error)) << text;
    return error;
}

// Text -> data -> text and data -> text -> data are both exact.
void ExpectRoundTrip(const ScriptData& script) {
    const std::string text = ScriptToText(script);
    const ScriptData back = FromText(text);
    EXPECT_EQ(back, script) << text;
    EXPECT_EQ(ScriptToText(back), text);
}

const char kHandWritten[] = R"(# a small game, written by hand
player Tarvo
player Varnagel
object 10 "Old door"      # ids may be given ...
  on USE sender Tarvo
    WALK "Old door"
    GOTO Hall 0 0 -1      # a forward reference
  on LOOK status 200
    SAY Tarvo 0x10
object Key reactions -2   # ... or counted on from the previous record
room 100 Hall
  on INITBG status any sender any messages 0
room Street
  on 4660 sender 5
    SYSTEM2 Street 242
    QM_LEAVEBG any
)";

} // namespace

TEST(MessageTypes, NamesAndIdentifiers) {
    for (int type = 0; type < kMessageTypeCount; ++type) {
        ASSERT_NE(MessageTypeIdentifier(type), nullptr);
        EXPECT_EQ(MessageTypeFromName(MessageTypeIdentifier(type)), type);
    }
    EXPECT_STREQ(MessageTypeName(SYSTEM), "SYSTEM");
    EXPECT_STREQ(MessageTypeName(SYSTEM2), "SYSTEM");
    EXPECT_EQ(MessageTypeFromName("SYSTEM"), SYSTEM);
    for (int type = QM_AMBIENCE; type <= QM_LEAVEBG; ++type)
        EXPECT_EQ(MessageTypeName(type), nullptr);
    EXPECT_STREQ(MessageTypeName(USE), "USE");
    EXPECT_STREQ(MessageTypeName(INITBG), "INITBG");
    EXPECT_STREQ(MessageTypeName(SETINV), "SETINV");
    EXPECT_STREQ(MessageTypeName(QM_MESSAGE_NUMBER), "QM_MESSAGE_NUMBER");
    EXPECT_EQ(MessageTypeName(56), nullptr);
    EXPECT_EQ(MessageTypeName(-1), nullptr);
    EXPECT_EQ(MessageTypeFromName("look"), -1); // names are case-sensitive
}

TEST(ScriptText, HandWrittenScriptResolvesNamesAndCountsIds) {
    const ScriptData script = FromText(kHandWritten);
    EXPECT_EQ(script.objectCount, 4);
    EXPECT_EQ(script.roomCount, 2);
    ASSERT_EQ(script.objects.size(), 6u);
    const uint16_t ids[] = {0, 1, 10, 11, 100, 101};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(script.objects[i].id, ids[i]) << i;

    const ScriptObject& door = script.objects[2];
    EXPECT_EQ(door.nameBytes, "Old door");
    ASSERT_EQ(door.reactionCount, 2);
    EXPECT_EQ(door.reactions[0].status, kAnyStatus);
    EXPECT_EQ(door.reactions[0].sender, 0);
    EXPECT_EQ(door.reactions[0].messageCount, 2);
    EXPECT_EQ(door.reactions[0].messages[0], (ScriptMessage{10, WALK, 0, 0, 0}));
    EXPECT_EQ(door.reactions[0].messages[1], (ScriptMessage{100, GOTO, 0, 0, -1}));
    EXPECT_EQ(door.reactions[1].status, -56);
    EXPECT_EQ(door.reactions[1].sender, kAnyObjectId);
    EXPECT_EQ(door.reactions[1].messages[0], (ScriptMessage{0, SAY, 16, 0, 0}));

    EXPECT_EQ(script.objects[3].reactionCount, -2);
    EXPECT_EQ(script.objects[4].reactions[0].type, INITBG);
    EXPECT_EQ(script.objects[4].reactions[0].messageCount, 0);
    const ScriptReaction& street = script.objects[5].reactions[0];
    EXPECT_EQ(street.type, 0x1234);
    EXPECT_EQ(street.sender, 5);
    EXPECT_EQ(street.messages[0], (ScriptMessage{101, SYSTEM2, 242, 0, 0}));
    EXPECT_EQ(street.messages[1], (ScriptMessage{kAnyObjectId, QM_LEAVEBG, 0, 0, 0}));
}

TEST(ScriptText, DumpWritesIdsWithNamesAsComments) {
    const std::string expected = R"(# script: 2 player characters, 2 objects, 2 rooms

player 0 "Tarvo"

player 1 "Varnagel"

object 10 "Old door"
  on USE status any sender 0            # sender "Tarvo"
    WALK 10 0 0 0                       # "Old door"
    GOTO 100 0 0 -1                     # "Hall"
  on LOOK status -56 sender any
    SAY 0 16 0 0                        # "Tarvo"

object 11 "Key" reactions -2

room 100 "Hall"
  on INITBG status any sender any

room 101 "Street"
  on 4660 status any sender 5
    SYSTEM2 101 242 0 0                 # "Street"
    QM_LEAVEBG 65535 0 0 0
)";
    const ScriptData script = FromText(kHandWritten);
    EXPECT_EQ(ScriptToText(script), expected);
    EXPECT_EQ(FromText(expected), script);
}

TEST(ScriptText, CyrillicNamesAreReadableBothWays) {
    const std::string door = "\xC4\xE2\xE5\xF0\xFC"; // "Дверь" in Windows-1251
    const ScriptData script =
        FromText("player Тарво\nplayer \"Варнагель\"\nobject Дверь\n on USE\n  HIDE Дверь\n");
    EXPECT_EQ(script.objects[0].nameBytes, "\xD2\xE0\xF0\xE2\xEE");
    EXPECT_EQ(script.objects[2].nameBytes, door);
    EXPECT_EQ(script.objects[2].reactions[0].messages[0].target, 2);
    const std::string text = ScriptToText(script);
    EXPECT_NE(text.find("object 2 \"Дверь\""), std::string::npos) << text;
    ExpectRoundTrip(script);
}

TEST(ScriptText, NamesWithBytesWithoutCharactersStayExact) {
    ScriptData script = FromText("player A\nplayer B\n");
    script.objects[1].nameBytes = std::string("Door\0\x98\x01\"\\\xE9\xA0", 11);
    const std::string text = ScriptToText(script);
    EXPECT_NE(text.find(R"(player 1 "Door\x00\x98\x01\"\\й\xA0")"), std::string::npos) << text;
    ExpectRoundTrip(script);
}

TEST(ScriptText, EveryTypeNumberRoundTrips) {
    ScriptData script = FromText("player A\nplayer B\n");
    std::vector<uint16_t> types;
    for (uint16_t type = 0; type < kMessageTypeCount; ++type)
        types.push_back(type);
    types.push_back(0x1234);
    for (uint16_t type : types) {
        ScriptReaction reaction;
        reaction.type = type;
        reaction.messages.push_back({0, type, 1, 2, 3});
        reaction.messageCount = 1;
        script.objects[0].reactions.push_back(reaction);
    }
    script.objects[0].reactionCount = static_cast<int32_t>(types.size());
    const std::string text = ScriptToText(script);
    for (const char* line : {"on SYSTEM status", "on SYSTEM2 status", "on QM_AMBIENCE status",
                             "on QM_LEAVEBG status", "on 4660 status", "    QM_ZERO 0 1 2 3"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    ExpectRoundTrip(script);
}

TEST(ScriptText, GeneratedScriptsRoundTripThroughTextAndFile) {
    scripttest::ScriptGenerator generator(5);
    for (int round = 0; round < 200; ++round) {
        const ScriptData script = generator.Next();
        ExpectRoundTrip(script);
        // file -> data -> text -> file
        const std::vector<uint8_t> bytes = WriteScript(script);
        ScriptData parsed;
        std::string error;
        ASSERT_TRUE(ParseScript(bytes, parsed, error)) << error;
        EXPECT_EQ(parsed, script);
        EXPECT_EQ(WriteScript(FromText(ScriptToText(parsed))), bytes) << "round " << round;
    }
}

TEST(ScriptText, ErrorsNameTheLineAndTheFault) {
    const std::string players = "player A\nplayer B\n";
    struct Case {
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {players + "object C\n  on USE\n    WALK Dor\n", "5: unknown object name 'Dor'"},
        {players + "  on LOK\n", "3: unknown message type 'LOK'"},
        {players + "  on USE\n    SAY A 12x\n", "4: bad number '12x' for param1"},
        {players + "  on USE\n    SAY A 0 70000\n",
         "4: param2 70000 is out of range (-32768..65535)"},
        {players + "  on USE\n    SAY A 0 0 0 0\n", "4: unexpected '0' after the message"},
        {players + "  on USE\n    SAY\n", "4: the message needs a target"},
        {players + "  on USE status 256\n", "3: status 256 is out of range (-128..255)"},
        {players + "  on USE colour 3\n", "3: unexpected 'colour'"},
        {players + "  on USE sender\n", "3: 'sender' needs a value"},
        {"player A\nplayer A\n on USE\n  SAY A\n",
         "4: object name 'A' is ambiguous (records on lines 1 and 2); use the id"},
        {players + "player C\n", "3: a third player record"},
        {"player A\nobject B\n", "2: the two player records must come first"},
        {players + "room R\nobject C\n", "4: an object record after the rooms"},
        {players + "SAY A\n", "3: 'SAY' is no statement here"},
        {"player A reactions -1\n on USE\n", "2: a reaction for a record with a stored count"},
        {players + " on USE messages -1\n  SAY A\n", "4: a message for a reaction with a stored"},
        {"player A reactions 2\n", "1: stored reaction count 2 is out of range"},
        {"player \"A\n", "1: a quoted name is not closed"},
        {"player \"A\\q\"\n", "1: bad escape"},
        {"player \"A\"B\n", "1: a space must follow the quoted name 'A'"},
        {"player A\"B\"\n", "1: a quote inside the word 'A'"},
        {"player 日本\n", "1: name '日本' has characters without a Windows-1251 code"},
        {"player 7\n", "1: a record needs a name"},
        {"player 7 8\n", "1: name '8' starts like a number"},
        {"player 70000 A\n", "1: object id 70000 is out of range (0..65535)"},
        {"player 65535 A\nplayer B\n", "2: no id follows 65535"},
        {"player 5 A\nplayer 4 B\nobject C\n",
         "3: the counted id 5 is taken by the record on line 1"},
        {players + "trailing 00\nobject C\n", "4: only 'trailing' lines may follow"},
        {players + "trailing 0G\n", "3: bad trailing byte '0G'"},
        {"player A\n", "1: the script needs two player records, it has 1"},
        {"", "1: the script needs two player records, it has 0"},
    };
    for (const Case& c : cases) {
        const std::string error = TextError(c.text);
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error;
    }
}
