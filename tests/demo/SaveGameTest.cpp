// Saves of the demo, made and loaded by the program itself: a save cut short anywhere is
// refused and the game goes on as if nothing had been tried, and a game killed in the middle
// of saving leaves the previous save to be loaded.
#include <csignal>
#include <cstdlib>
#include <fstream>

#include "core/SaveFormat.h"
#include "demo/Playthrough.h"

using namespace demo_play;

namespace {

void WriteBytes(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    dir.Write(name, std::string(bytes.begin(), bytes.end()));
}

// Out in the street with the door oiled open, then saved.
std::string SaveInTheStreet() {
    return std::string(kOutToTheCrates) + "880 key F2\n";
}

// Load save.dat at once, then save again and take a picture of the screen.
constexpr const char* kLoadThenSave = R"(
5 key F3
8 key F2
10 shot after.png
)";

} // namespace

TEST(DemoSaves, ASaveCutShortAnywhereIsRefusedAndTheGameGoesOn) {
    TempDir made;
    const Play street = RunDemo(made, SaveInTheStreet());
    ASSERT_EQ(street.status, 0) << street.output;
    const std::vector<uint8_t> whole = Bytes(made / "save.dat");
    ASSERT_EQ(Parsed(whole).roomName, "Harbour");

    // What the game is when the load finds nothing: the start, in the workshop.
    TempDir fresh;
    const Play untouched = RunDemo(fresh, kLoadThenSave);
    ASSERT_EQ(untouched.status, 0) << untouched.output;
    const std::vector<uint8_t> startSave = Bytes(fresh / "save.dat");
    ASSERT_EQ(Parsed(startSave).roomName, "Workshop");
    const auto startShot = Shot(fresh, "after.png");

    std::vector<size_t> cuts;
    for (size_t cut = 0; cut < whole.size(); cut += 64)
        cuts.push_back(cut);
    cuts.push_back(whole.size() - 1);
    for (size_t cut : cuts) {
        TempDir dir;
        WriteBytes(dir, "save.dat", std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
        const Play play = RunDemo(dir, kLoadThenSave);
        ASSERT_EQ(play.status, 0) << cut << play.output;
        EXPECT_TRUE(Contains(play.output, "save.dat is damaged and was not loaded: "))
            << cut << play.output;
        EXPECT_FALSE(Contains(play.trace, "Restored save.dat")) << cut;
        // Nothing of the cut save reached the game: it saves and shows what it did untouched.
        EXPECT_EQ(Bytes(dir / "save.dat"), startSave) << cut;
        const auto shot = Shot(dir, "after.png");
        EXPECT_TRUE(SameRegion(shot, startShot, 0, 0, 640, 480)) << cut;
    }

    // The whole save loads: the game is back in the street.
    TempDir dir;
    WriteBytes(dir, "save.dat", whole);
    const Play loaded = RunDemo(dir, kLoadThenSave);
    ASSERT_EQ(loaded.status, 0) << loaded.output;
    EXPECT_TRUE(Contains(loaded.trace, "Restored save.dat\n"));
    EXPECT_EQ(Parsed(Bytes(dir / "save.dat")).roomName, "Harbour");
}

TEST(DemoSaves, AGameKilledWhileSavingLeavesTheOldSaveToLoad) {
    TempDir dir;
    const Play first = RunDemo(dir, "5 key F2\n");
    ASSERT_EQ(first.status, 0) << first.output;
    const std::vector<uint8_t> old = Bytes(dir / "save.dat");
    ASSERT_EQ(Parsed(old).roomName, "Workshop");

    // Out into the street (its autosave goes through), then killed in the middle of F2:
    // after the new save is written in full, before it takes the old one's name.
    const std::string shim = std::string(TARVO_BINARY_DIR) + "/tests/libkill_before_rename.so";
    ::setenv("TARVO_KILL_BEFORE_RENAME", "save.dat", 1);
    ::setenv("LD_PRELOAD", shim.c_str(), 1);
    const Play killed = RunDemo(dir, SaveInTheStreet());
    ::unsetenv("LD_PRELOAD");
    ::unsetenv("TARVO_KILL_BEFORE_RENAME");
    // It did not exit: it was killed (the shell that started it reports 128 + the signal).
    EXPECT_EQ(killed.status, 128 + SIGKILL) << killed.output;
    EXPECT_TRUE(Contains(killed.trace, "Saved autosave.dat\n"));
    EXPECT_EQ(Bytes(dir / "save.dat"), old);
    std::vector<std::filesystem::path> strays;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        if (entry.path().filename().string().rfind("save.dat.tmp", 0) == 0)
            strays.push_back(entry.path());
    ASSERT_EQ(strays.size(), 1u) << "the kill came before the new save was written";
    EXPECT_EQ(Parsed(Bytes(strays[0])).roomName, "Harbour");

    // The next run loads the old save, and saves again beside the stray file.
    const Play after = RunDemo(dir, kLoadThenSave);
    ASSERT_EQ(after.status, 0) << after.output;
    EXPECT_TRUE(Contains(after.trace, "Restored save.dat\n"));
    EXPECT_TRUE(Contains(after.trace, "Saved save.dat\n"));
    EXPECT_EQ(Parsed(Bytes(dir / "save.dat")).roomName, "Workshop");
}
