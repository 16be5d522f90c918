// The `tarvo` program run as a player would start it, headless.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/ScriptFormat.h"
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

TEST(Program, MissingScriptAndBadOptions) {
    TempDir dir;
    ProgramRun run = Tarvo(dir.Path() + " --headless --frames 5");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("script.dat"), std::string::npos) << run.output;
    run = Tarvo("--frames x");
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
        Tarvo(dir.Path() + " --headless --frames 20 --trace=- --replay replay.txt");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("FPS is 16\n"), std::string::npos) << run.output;
}
