// The `tarvo` program run as a player would start it, headless.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/Options.h"

#include "core/ScriptFormat.h"
#include "platform/MessageBox.h"
#include "support/Archives.h"
#include "support/Subprocess.h"
#include "support/TempDir.h"
#include "support/World.h"

using testing_support::ProgramRun;
using testing_support::RunProgram;
using testing_support::ScriptBuilder;
using testing_support::TempDir;

namespace {

ProgramRun Tarvo(const std::string& args) {
    return RunProgram("app/tarvo", args);
}

// A one-room game; with `archived`, its script lies inside "main.str" as a shipped game's does.
void WriteGame(const TempDir& dir, bool archived = false) {
    ScriptBuilder s;
    s.Object(10, "Lamp");
    s.Room(100, "Hall");
    const std::vector<uint8_t> bytes = WriteScript(s.Data());
    const std::string script(bytes.begin(), bytes.end());
    if (archived) {
        const std::vector<uint8_t> image = testsupport::ArchiveImage({{"script.dat", script}});
        dir.Write("main.str", std::string(image.begin(), image.end()));
    } else {
        dir.Write("script.dat", script);
    }
    dir.Write("BGs.ini", "[Settings]\nStartRoom=Hall\n");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void ExpectLoadRestartAndShutdown(const ProgramRun& run) {
    EXPECT_EQ(run.status, 0) << run.output;
    for (const char* line : {"Load phase 1: ", "Load phase 2: ", "Load phase 9: ", "~CMainWindow\n",
                             "~QVideoSystem\n", "FPS is "})
        EXPECT_NE(run.output.find(line), std::string::npos) << line;
    // The restart loaded the world a second time.
    EXPECT_NE(run.output.find("Load phase 1: ", run.output.find("~QSystem")), std::string::npos);
    // Shutdown order: the world before the window, the frame rate last.
    EXPECT_LT(run.output.rfind("~QSystem"), run.output.rfind("~CMainWindow"));
    EXPECT_LT(run.output.rfind("~CMainWindow"), run.output.rfind("FPS is "));
}

} // namespace

TEST(Program, HeadlessRunTracesTheLoadPhasesRestartsAndQuitsOnClose) {
    for (const bool archived : {false, true}) {
        SCOPED_TRACE(archived ? "script in main.str" : "loose script");
        TempDir dir;
        WriteGame(dir, archived);
        dir.Write("replay.txt", "# restart once, then close the window\n5 key F9\n30 close\n");
        const ProgramRun run = Tarvo(dir.Path() + " --headless --frames 50 --trace=- --replay " +
                                     (dir / "replay.txt"));
        ExpectLoadRestartAndShutdown(run);
    }
}

TEST(Program, FramesLimitEndsAHeadlessRun) {
    TempDir dir;
    WriteGame(dir);
    const ProgramRun run = Tarvo(dir.Path() + " --headless --frames 20 --frame-ms 50 --trace=-");
    EXPECT_EQ(run.status, 0) << run.output;
    // 10 frames after the mark, at 50 ms each.
    EXPECT_NE(run.output.find("FPS is 20\n"), std::string::npos) << run.output;
}

TEST(Program, AMalformedScriptStopsStartUpWithAReason) {
    TempDir dir;
    WriteGame(dir);
    dir.Write("script.dat", std::string("\x01\x00\x00\x00\x00\x00\x00\x00", 8)); // N = 1
    const ProgramRun run = Tarvo(dir.Path() + " --headless --frames 5");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("tarvo: script.dat: "), std::string::npos) << run.output;
}

TEST(Program, StartUpFailuresSayWhatIsWrongWithTheGameFolder) {
    struct Case {
        const char* what;
        void (*make)(const TempDir&);
        const char* folder;   // given to the program, under the temporary folder
        std::string expected; // "DIR" stands for the temporary folder
    };
    const Case cases[] = {
        {"an empty folder", [](const TempDir&) {}, "",
         "tarvo: no game in DIR: script.dat is neither there nor in main.str\n"},
        {"a folder that does not exist", [](const TempDir&) {}, "/missing",
         "tarvo: cannot enter the game folder DIR/missing: No such file or directory\n"},
        {"a truncated main.str",
         [](const TempDir& d) {
             WriteGame(d, true);
             const std::string whole = ReadFile(d / "main.str");
             d.Write("main.str", whole.substr(0, whole.size() - 5));
         },
         "", "tarvo: main.str in DIR is damaged: it is not a complete archive\n"},
        {"a patch.str that is no archive",
         [](const TempDir& d) {
             WriteGame(d, true);
             d.Write("patch.str", "not an archive");
         },
         "", "tarvo: patch.str in DIR is damaged: it is not a complete archive\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        c.make(dir);
        const ProgramRun run = Tarvo(dir.Path() + c.folder + " --headless --frames 5");
        EXPECT_EQ(run.status, 1) << c.what;
        std::string expected = c.expected;
        expected.replace(expected.find("DIR"), 3, dir.Path());
        EXPECT_EQ(run.output, expected) << c.what;
    }
}

TEST(Program, ScreenshotsGoWhereAskedOrToTheCurrentFolderAndTheRunSaysSo) {
    TempDir game, here(true);
    WriteGame(game);
    game.Write("replay.txt", "3 shot first.png\n");
    const std::string replay = " --headless --frames 5 --replay " + (game / "replay.txt");
    ProgramRun run = Tarvo(game.Path() + replay);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(here / "first.png"));
    EXPECT_FALSE(std::filesystem::exists(game / "first.png")); // not into the game's data
    EXPECT_NE(run.output.find("tarvo: screenshot " + (here / "first.png") + "\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("tarvo: played 5 frames headless\n"), std::string::npos);

    // A folder that is not there yet is made, relative to the current folder.
    run = Tarvo(game.Path() + replay + " --screenshot-dir shots/today");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(here / "shots/today/first.png"));

    // One that cannot be made stops the start, before anything is played.
    here.Write("taken", "a file");
    run = Tarvo(game.Path() + replay + " --screenshot-dir taken");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("tarvo: cannot make the screenshot folder " + (here / "taken")),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("played"), std::string::npos);
}

TEST(Program, AStartFailureIsShownInABoxUnlessHeadless) {
    // Without a window system no real box can come up and wait for a click.
    std::vector<std::pair<const char*, std::string>> saved;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    std::vector<std::string> boxes;
    platform::SetMessageBoxCapture(
        [&](const std::string& text, const std::string&) { boxes.push_back(text); });
    Options options;
    for (const bool headless : {true, false}) {
        options.headless = headless;
        ShowStartFailure(options, "no game in /somewhere");
    }
    platform::SetMessageBoxCapture(nullptr);
    for (const auto& [name, value] : saved)
        ::setenv(name, value.c_str(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("no game in /somewhere"), std::string::npos);
}

TEST(Program, BadOptionsAndHelp) {
    ProgramRun run = Tarvo("--frames x");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("--frames"), std::string::npos);
    run = Tarvo("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("--replay FILE"), std::string::npos);
}

TEST(Program, AReplayedActivationChangeStopsFramesWhileAway) {
    TempDir dir;
    WriteGame(dir);
    // Ten frames, then 20 passes in the background, then ten more frames: the rate counts
    // the time away, 10 frames in 600 ms.
    dir.Write("replay.txt", "12 activate 0\n32 activate 1\n");
    const ProgramRun run =
        Tarvo(dir.Path() + " --headless --frames 20 --trace=- --replay " + (dir / "replay.txt"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("FPS is 16\n"), std::string::npos) << run.output;
}
