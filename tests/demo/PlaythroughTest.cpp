// The demo played headless from replays, checked by what a player would see: captions under
// the pointer, the cursor, the room change through the door, scrolling, and the autosave.
// Checks look at regions of the screenshots and at the trace rather than whole frames, so
// that redrawn art does not break them; the runs are deterministic, so two runs of the same
// replay must give identical screenshots.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "graphics/PictureConvert.h"
#include "platform/Png.h"
#include "resources/FileAccess.h"
#include "support/Subprocess.h"
#include "support/TempDir.h"

using testing_support::TempDir;

namespace {

const std::string kGame = std::string(TARVO_BINARY_DIR) + "/demo";

struct Play {
    int status = -1;
    std::string output;
    std::string trace;
};

// Runs the demo headless with `replay` (its lines, as in a replay file).
Play RunDemo(const TempDir& dir, const std::string& replay) {
    dir.Write("replay.txt", replay);
    const testing_support::ProgramRun run = testing_support::RunProgram(
        "app/tarvo", kGame + " --headless --replay " + (dir / "replay.txt") + " --screenshot-dir " +
                         dir.Path() + " --trace=" + (dir / "trace.txt"));
    Play play;
    play.status = run.status;
    play.output = run.output;
    std::ifstream in(dir / "trace.txt");
    play.trace.assign(std::istreambuf_iterator<char>(in), {});
    return play;
}

platform::RgbImage Shot(const TempDir& dir, const std::string& name) {
    platform::RgbImage image;
    EXPECT_TRUE(platform::ReadPngRgb(dir / name, image)) << name;
    return image;
}

struct Rgb {
    uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb At(const platform::RgbImage& image, int x, int y) {
    const size_t i = static_cast<size_t>((y * image.width + x) * 3);
    return {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]};
}

// How many pixels of the rectangle have exactly the colour `c` as the display shows it.
int CountColour(const platform::RgbImage& image, int x0, int y0, int x1, int y1,
                uint32_t colorRef) {
    uint8_t r, g, b;
    platform::Rgb565ToRgb888(platform::PixelShifts{}.FromColorRef(colorRef), r, g, b);
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += At(image, x, y) == Rgb{r, g, b};
    return n;
}

bool SameRegion(const platform::RgbImage& a, const platform::RgbImage& b, int x0, int y0, int x1,
                int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (!(At(a, x, y) == At(b, x, y))) return false;
    return true;
}

// A room picture as the engine converts it, read from the demo's archives.
std::optional<platform::Surface> RoomPicture(const std::string& name) {
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(kGame);
    ResetFileTable();
    OpenArchive("patch.str");
    OpenArchive("main.str");
    std::vector<uint8_t> bytes;
    const bool read = FileReadAll(name.c_str(), bytes);
    CloseArchives();
    std::filesystem::current_path(cwd);
    graphics::DibImage dib;
    std::string error;
    if (!read || !graphics::DecodePicture(bytes, dib, error)) return std::nullopt;
    return graphics::DibToSurface(dib, platform::PixelShifts{});
}

Rgb Shown(const platform::Surface& s, int x, int y) {
    uint8_t r, g, b;
    platform::Rgb565ToRgb888(s.At(x, y), r, g, b);
    return {r, g, b};
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Hover the clock, leave it, hover the door, use it, then scroll the street.
constexpr const char* kTour = R"(
2 shot start.png
4 move 270 150
6 shot clock.png
8 move 150 420
10 shot floor.png
12 move 560 200
14 key 4
16 ldown 560 200
30 shot street.png
32 key Right
33 key Right
34 key Right
35 key Right
36 key Right
50 shot scrolled.png
60 close
)";

constexpr uint32_t kCaption = 0xFFFFC0;

} // namespace

TEST(Playthrough, CaptionsCursorDoorAndScrolling) {
    TempDir dir;
    const Play play = RunDemo(dir, kTour);
    ASSERT_EQ(play.status, 0) << play.output;
    EXPECT_FALSE(Contains(play.output, "not found")) << play.output;

    // The clock's name appears under the pointer and goes when the pointer leaves it.
    const auto start = Shot(dir, "start.png"), clock = Shot(dir, "clock.png"),
               floor = Shot(dir, "floor.png");
    EXPECT_EQ(CountColour(start, 0, 450, 640, 480, kCaption), 0);
    EXPECT_GT(CountColour(clock, 0, 450, 640, 480, kCaption), 50);
    EXPECT_EQ(CountColour(floor, 0, 450, 640, 480, kCaption), 0);

    // The cursor is drawn at the pointer: the area there changes as the pointer comes and goes.
    EXPECT_FALSE(SameRegion(clock, floor, 255, 135, 285, 165));
    EXPECT_FALSE(SameRegion(clock, floor, 135, 405, 165, 435));

    // Using the door changes the room: the trace says so, the game autosaves, and the street's
    // own picture shows where no object stands (the sky at the top left).
    EXPECT_TRUE(Contains(play.trace, "USE             0     \"WorkshopDoor\""));
    EXPECT_TRUE(Contains(play.trace, "Leave BG: Workshop\n"));
    EXPECT_TRUE(Contains(play.trace, "Save requested: autosave.dat\n"));
    const auto street = Shot(dir, "street.png"), scrolled = Shot(dir, "scrolled.png");
    const auto harbour = RoomPicture("HARBOUR.BMP");
    ASSERT_TRUE(harbour);
    EXPECT_EQ(harbour->Width(), 1280);
    EXPECT_EQ(At(street, 20, 10), Shown(*harbour, 20, 10));
    // Five presses of the Right key: the view holds 30 pixels further into the street.
    EXPECT_EQ(At(scrolled, 20, 10), Shown(*harbour, 50, 10));
    EXPECT_EQ(At(scrolled, 300, 12), Shown(*harbour, 330, 12));
}

TEST(Playthrough, TheSameReplayGivesTheSameFrames) {
    TempDir first, second;
    ASSERT_EQ(RunDemo(first, kTour).status, 0);
    ASSERT_EQ(RunDemo(second, kTour).status, 0);
    for (const char* name : {"clock.png", "street.png", "scrolled.png"}) {
        std::ifstream a(first / name, std::ios::binary), b(second / name, std::ios::binary);
        const std::string bytesA((std::istreambuf_iterator<char>(a)), {}),
            bytesB((std::istreambuf_iterator<char>(b)), {});
        EXPECT_FALSE(bytesA.empty());
        EXPECT_EQ(bytesA, bytesB) << name;
    }
}

// Take the oil can with the pointer left on it, hover again, open and close the case, then
// walk away.
constexpr const char* kOilCan = R"(
2 move 370 225
4 key 3
6 ldown 370 225
20 shot taken.png
22 move 600 100
24 move 370 225
30 shot hovered.png
32 key I
36 key I
40 key 2
42 ldown 120 420
60 shot away.png
70 close
)";

TEST(Playthrough, TakingTheCanAndWalkingAwayLeavesNothingBehind) {
    TempDir dir;
    const Play play = RunDemo(dir, kOilCan);
    ASSERT_EQ(play.status, 0) << play.output;
    ASSERT_TRUE(Contains(play.trace, "ADDINV          0     \"OilCan\""));

    // The caption under the still pointer follows the can going: it is what a fresh hover of
    // the same point shows, not the can's name any more.
    const auto taken = Shot(dir, "taken.png"), hovered = Shot(dir, "hovered.png");
    EXPECT_TRUE(SameRegion(taken, hovered, 0, 450, 640, 480));

    // Where Tarvo stood by the bench, only the room's own picture is left (the can is in his
    // pocket, the cursor went with the click).
    const auto away = Shot(dir, "away.png");
    const auto workshop = RoomPicture("WORKSHOP.BMP");
    ASSERT_TRUE(workshop);
    int leftBehind = 0;
    for (int y = 240; y < 372; ++y)
        for (int x = 340; x < 412; ++x)
            leftBehind += !(At(away, x, y) == Shown(*workshop, x, y));
    EXPECT_EQ(leftBehind, 0);
}
