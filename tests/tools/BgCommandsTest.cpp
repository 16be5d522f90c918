#include "tools/Command.h"

#include "core/BgFormat.h"
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

constexpr const char* kScriptText = "player 0 Tarvo\n"
                                    "player Varnagel\n"
                                    "object 7 Lamp\n"
                                    "object 8 Дверь\n"
                                    "room 100 Hall\n"
                                    "room 101 Yard\n";

// A layout with what a dump must carry over: a stored negative count and trailing bytes.
BgData SampleData() {
    BgData data;
    data.rooms.push_back(BgRoom{100, 2, {{7, 120, 300, 310, 140, 420}, {8, 600, 90, 5, 610, 400}}});
    data.rooms.push_back(BgRoom{101, -3, {}});
    data.trailing = {0x42};
    return data;
}

class BgToolTest : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        testsupport::TempDirTest::SetUp();
        WriteText("script.txt", kScriptText);
        ScriptData script;
        std::string error;
        ASSERT_TRUE(ScriptFromText(kScriptText, script, error)) << error;
        WriteBytes("script.dat", WriteScript(script));
        WriteBytes("backgrnd.bg", WriteBackgrounds(SampleData()));
    }
};

} // namespace

TEST_F(BgToolTest, DumpThenBuildGivesTheSameFileWithAndWithoutNames) {
    const std::vector<uint8_t> original = ReadBytes("backgrnd.bg");
    for (const std::vector<std::string>& script :
         {std::vector<std::string>{}, {"--script", "script.dat"}, {"--script=script.txt"}}) {
        std::vector<std::string> dumpArgs{"bg", "dump", "backgrnd.bg"};
        dumpArgs.insert(dumpArgs.end(), script.begin(), script.end());
        Result dump = Tool(dumpArgs);
        ASSERT_EQ(dump.code, 0) << dump.err;
        const bool named = !script.empty();
        EXPECT_NE(dump.out.find(named ? "place Дверь x 600" : "place 8 x 600"), std::string::npos)
            << dump.out;

        WriteText("layout.txt", dump.out);
        std::vector<std::string> buildArgs{"bg", "build", "layout.txt", "rebuilt.bg"};
        buildArgs.insert(buildArgs.end(), script.begin(), script.end());
        Result build = Tool(buildArgs);
        ASSERT_EQ(build.code, 0) << build.err;
        EXPECT_EQ(ReadBytes("rebuilt.bg"), original);
    }
}

TEST_F(BgToolTest, BuildResolvesNamesFromEitherScriptForm) {
    WriteText("layout.txt", "room Yard\n  place Lamp x 1 y 2 depth 3 walk 4 5\n");
    for (const char* script : {"script.dat", "script.txt"}) {
        Result r = Tool({"bg", "build", "layout.txt", "out.bg", "--script", script});
        ASSERT_EQ(r.code, 0) << r.err;
        BgData data;
        std::string error;
        ASSERT_TRUE(ParseBackgrounds(ReadBytes("out.bg"), data, error)) << error;
        ASSERT_EQ(data.rooms.size(), 1u);
        EXPECT_EQ(data.rooms[0].roomId, 101);
        EXPECT_EQ(data.rooms[0].placements.at(0), (BgPlacement{7, 1, 2, 3, 4, 5}));
    }
}

TEST_F(BgToolTest, FailuresAreOneLineWithFileAndReason) {
    std::vector<uint8_t> truncated = ReadBytes("backgrnd.bg");
    truncated.resize(20);
    WriteBytes("short.bg", truncated);
    WriteText("layout.txt", "room Hall\n  place Lamp x 1 y 2 depth 3 walk 4 5\n  place Lantern\n");
    WriteText("broken.txt", "player A\n  on LOK\n");

    const struct {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{"bg", "dump", "short.bg"},
         "tarvo-tool: bg dump: short.bg: not a valid room file: room record 0 (room 100): M = 2 "
         "placements do not fit in 10 bytes (22 bytes each)"},
        {{"bg", "build", "layout.txt", "out.bg", "--script", "script.dat"},
         "tarvo-tool: bg build: layout.txt:3: no script record is named 'Lantern'"},
        {{"bg", "build", "layout.txt", "out.bg"},
         "tarvo-tool: bg build: layout.txt:1: 'Hall' is a name, but no script was given"},
        {{"bg", "build", "layout.txt", "out.bg", "--script", "broken.txt"},
         "tarvo-tool: bg build: broken.txt:2: unknown message type 'LOK'"},
        {{"bg", "dump", "backgrnd.bg", "--script", "short.bg"},
         "tarvo-tool: bg dump: short.bg: not a valid script: "},
        {{"bg", "dump", "missing.bg"}, "tarvo-tool: bg dump: cannot open missing.bg"},
    };
    for (const auto& c : cases) {
        Result r = Tool(c.args);
        EXPECT_EQ(r.code, 1) << c.args[1];
        EXPECT_EQ(r.err.rfind(c.reason, 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_FALSE(std::filesystem::exists("out.bg")); // nothing is written on failure
}

TEST(BgToolHelp, ListsTheBgCommands) {
    Result r = Tool({"--help"});
    EXPECT_NE(r.out.find("bg dump FILE [--script FILE]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("bg build TEXT OUT [--script FILE]"), std::string::npos) << r.out;
}
