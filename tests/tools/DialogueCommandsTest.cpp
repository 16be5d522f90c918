// tarvo-tool dialogue: building conversation text, dumping it back, and what authors see
// when something is wrong.
#include "core/ScriptFormat.h"
#include "dialogue/DialogueFormat.h"
#include "support/TempDirTest.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Result = testsupport::ToolResult;

Result Tool(const std::vector<std::string>& args) {
    return testsupport::RunToolCapturing(args);
}

// A conversation that names its people through the game's script.
const char* const kWatchman = "object Watchman\n"
                              "  on TALK\n"
                              "    entry start\n"
                              "start:\n"
                              "  Watchman w01.wav \"Halt! Who goes there?\"\n"
                              "  menu\n"
                              "    choice Tarvo t01.wav \"Friends.\"\n"
                              "      notify 3\n"
                              "      end\n"
                              "    choice Varnagel \"Nobody.\" -> start\n"
                              "  end\n";

class DialogueToolTest : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ScriptData script;
        script.objectCount = 3;
        script.objects = {{0, "Tarvo", 0, {}}, {1, "Varnagel", 0, {}}, {5, "Watchman", 0, {}}};
        WriteBytes("script.dat", WriteScript(script));
        WriteText("watchman.txt", kWatchman);
    }
};

} // namespace

TEST_F(DialogueToolTest, BuildThenDumpSourceThenBuildGivesTheSameFiles) {
    Result build =
        Tool({"dialogue", "build", "watchman.txt", "a.fix", "a.lod", "--script", "script.dat"});
    ASSERT_EQ(build.code, 0) << build.err;
    DialogueTables tables;
    std::string error;
    ASSERT_TRUE(ParseDialogueTables(ReadBytes("a.fix"), tables, error)) << error;
    EXPECT_EQ(tables.objects.at(0).id, 5);

    Result source =
        Tool({"dialogue", "dump", "--source", "a.fix", "a.lod", "--script", "script.dat"});
    ASSERT_EQ(source.code, 0) << source.err;
    EXPECT_NE(source.out.find("name Watchman = 5\n"), std::string::npos) << source.out;
    EXPECT_NE(source.out.find("  Watchman w01.wav \"Halt! Who goes there?\"\n"), std::string::npos)
        << source.out;
    // The text declares its names: it builds without the script.
    WriteText("again.txt", source.out);
    ASSERT_EQ(Tool({"dialogue", "build", "again.txt", "b.fix", "b.lod"}).code, 0);
    EXPECT_EQ(ReadBytes("b.fix"), ReadBytes("a.fix"));
    EXPECT_EQ(ReadBytes("b.lod"), ReadBytes("a.lod"));

    Result listing = Tool({"dialogue", "dump", "a.fix", "a.lod", "--script", "script.dat"});
    ASSERT_EQ(listing.code, 0) << listing.err;
    EXPECT_NE(listing.out.find("object 0: id 5 Watchman\n"), std::string::npos) << listing.out;
    EXPECT_NE(listing.out.find("  0000  07000000  phrase 0  Watchman: \"Halt! Who goes there?\""),
              std::string::npos)
        << listing.out;
}

TEST_F(DialogueToolTest, FailuresAreOneLineWithFileLineAndReason) {
    WriteText("typo.txt", "start:\n  Watchman \"Halt!\"\n  goto strat\n");
    WriteBytes("short.fix", {1, 0, 0, 0, 7});
    WriteBytes("empty.lod", {0, 0, 0, 0});
    const struct {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{"dialogue", "build", "typo.txt", "o.fix", "o.lod", "--script", "script.dat"},
         "tarvo-tool: dialogue build: typo.txt:3: unknown label 'strat'\n"},
        {{"dialogue", "build", "watchman.txt", "o.fix", "o.lod"},
         "tarvo-tool: dialogue build: watchman.txt:1: unknown object 'Watchman' (name it with "
         "'name Watchman = ID', or give the game's script with --script)\n"},
        {{"dialogue", "dump", "short.fix", "empty.lod"},
         "tarvo-tool: dialogue dump: short.fix: not a dialogue table file: the object count 1 "
         "does not fit in the 1 bytes left (12 bytes each)\n"},
        {{"dialogue", "build", "watchman.txt", "o.fix", "o.lod", "--script", "watchman.txt"},
         "tarvo-tool: dialogue build: watchman.txt:1: "},
    };
    for (const auto& c : cases) {
        Result r = Tool(c.args);
        EXPECT_EQ(r.code, 1) << c.args[2];
        EXPECT_EQ(r.err.rfind(c.reason, 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_FALSE(std::filesystem::exists("o.fix")); // nothing is written on failure
    EXPECT_FALSE(std::filesystem::exists("o.lod"));
}

TEST_F(DialogueToolTest, LinesListEachRecordingOnceForWhoeverRecordsThem) {
    // The watchman's first line is said twice (the same file, the same words): listed once.
    WriteText("again.txt", std::string(kWatchman) + "again:\n"
                                                    "  Watchman w01.wav \"Halt! Who goes there?\"\n"
                                                    "  Watchman \"(mutters)\"\n"
                                                    "  end\n");
    ASSERT_EQ(
        Tool({"dialogue", "build", "again.txt", "a.fix", "a.lod", "--script", "script.dat"}).code,
        0);
    Result named = Tool({"dialogue", "lines", "a.lod", "--script", "script.dat"});
    ASSERT_EQ(named.code, 0) << named.err;
    EXPECT_EQ(named.out, "w01.wav\tWatchman\tHalt! Who goes there?\n"
                         "t01.wav\tTarvo\tFriends.\n");
    Result numbered = Tool({"dialogue", "lines", "a.lod"});
    EXPECT_EQ(numbered.out.substr(0, 10), "w01.wav\t5\t");

    // One recording for two different lines cannot be right.
    WriteText("clash.txt", "name Watchman = 5\n"
                           "start:\n"
                           "  Watchman w01.wav \"Halt!\"\n"
                           "  Watchman w01.wav \"Who goes there?\"\n"
                           "  end\n");
    ASSERT_EQ(Tool({"dialogue", "build", "clash.txt", "b.fix", "b.lod"}).code, 0);
    Result clash = Tool({"dialogue", "lines", "b.lod"});
    EXPECT_EQ(clash.code, 1);
    EXPECT_EQ(clash.err, "tarvo-tool: dialogue lines: b.lod: the speech file w01.wav is given to "
                         "two different lines\n");
}

TEST(DialogueToolHelp, ListsTheDialogueCommandsAndTheLanguage) {
    Result r = Tool({"--help"});
    EXPECT_NE(r.out.find("dialogue dump FIX LOD"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("dialogue build TEXT OUT.fix OUT.lod"), std::string::npos) << r.out;
    Result build = Tool({"dialogue", "build", "--help"});
    EXPECT_NE(build.out.find("choice key: Tarvo t02.wav"), std::string::npos) << build.out;
}
