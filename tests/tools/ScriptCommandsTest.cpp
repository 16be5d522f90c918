#include "tools/Command.h"

#include "core/ScriptFormat.h"
#include "core/ScriptText.h"
#include "support/TempDirTest.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result Tool(std::vector<std::string> args) {
    std::ostringstream out, err;
    int code = tools::RunTool(args, out, err);
    return {code, out.str(), err.str()};
}

// A script with what a dump must carry over: Cyrillic and NUL in names, a stored negative
// count, a type without a name, and bytes after the last record.
std::vector<uint8_t> SampleFile() {
    ScriptData script;
    std::string error;
    EXPECT_TRUE(ScriptFromText("player Тарво\n"
                               "player Varnagel reactions -3\n"
                               "object 9 \"Door\\x00\\x98\"\n"
                               "  on USE status 255 sender Тарво\n"
                               "    WALK Door\n"
                               "    QM_SETWAIT Door 12 0 -5\n"
                               "room 500 Hall\n"
                               "  on 4660 messages -1\n"
                               "trailing 00 7F\n",
                               script, error))
        << error;
    return WriteScript(script);
}

class ScriptToolTest : public testsupport::TempDirTest {};

} // namespace

TEST_F(ScriptToolTest, DumpThenBuildGivesTheSameFile) {
    const std::vector<uint8_t> original = SampleFile();
    WriteBytes("script.dat", original);
    Result dump = Tool({"script", "dump", "script.dat"});
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_NE(dump.out.find("player 0 \"Тарво\""), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("QM_SETWAIT 9 12 0 -5"), std::string::npos) << dump.out;

    WriteText("script.txt", dump.out);
    Result build = Tool({"script", "build", "script.txt", "rebuilt.dat"});
    ASSERT_EQ(build.code, 0) << build.err;
    EXPECT_EQ(ReadBytes("rebuilt.dat"), original);
    EXPECT_EQ(Tool({"script", "dump", "rebuilt.dat"}).out, dump.out);
}

TEST_F(ScriptToolTest, BuildResolvesNamesInHandWrittenText) {
    WriteText("game.txt", "player 0 Tarvo\nplayer 1 Varnagel\nroom 100 Hall\n"
                          "  on INITBG\n    SET Hall 7\n    GOTO Hall\n");
    ASSERT_EQ(Tool({"script", "build", "game.txt", "script.dat"}).code, 0);
    ScriptData script;
    std::string error;
    ASSERT_TRUE(ParseScript(ReadBytes("script.dat"), script, error)) << error;
    EXPECT_EQ(script.roomCount, 1);
    const ScriptReaction& reaction = script.objects[2].reactions.at(0);
    EXPECT_EQ(reaction.messages.at(0), (ScriptMessage{100, 14, 7, 0, 0}));
    EXPECT_EQ(reaction.messages.at(1).target, 100);
}

TEST_F(ScriptToolTest, FailuresAreOneLineWithFileAndReason) {
    std::vector<uint8_t> truncated = SampleFile();
    truncated.resize(50); // inside the name of record 2
    WriteBytes("short.dat", truncated);
    WriteText("bad.txt", "player A\nplayer B\n  on LOK\n");

    const struct {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{"script", "dump", "short.dat"},
         "tarvo-tool: script dump: short.dat: not a valid script: "
         "object record 2 (id 9): name length 6 exceeds the 3 bytes left"},
        {{"script", "build", "bad.txt", "out.dat"},
         "tarvo-tool: script build: bad.txt:3: unknown message type 'LOK'"},
        {{"script", "dump", "missing.dat"}, "tarvo-tool: "},
    };
    for (const auto& c : cases) {
        Result r = Tool(c.args);
        EXPECT_EQ(r.code, 1) << c.args[1];
        EXPECT_EQ(r.err.rfind(c.reason, 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_FALSE(std::filesystem::exists("out.dat")); // nothing is written on failure
}

TEST(ScriptToolHelp, ListsTheScriptCommands) {
    Result r = Tool({"--help"});
    EXPECT_NE(r.out.find("script dump FILE"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("script build TEXT OUT"), std::string::npos) << r.out;
}
