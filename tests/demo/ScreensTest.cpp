// The demo's options panel and map, played headless: opened from the case and by their keys,
// what lights up under the pointer, the volumes heard in the mixed sound, a save made from
// the panel, and the map's places leading where the script says.
#include <cmath>
#include <fstream>

#include "core/SaveFormat.h"
#include "demo/Playthrough.h"
#include "platform/ByteReader.h"
#include "sound/WaveFile.h"

using namespace demo_play;

namespace {

constexpr size_t kPassFrames = 882; // stereo frames mixed in a pass of 20 ms at 44,100 Hz

// The loudness (root mean square of the left channel) of the mix over passes [from, to).
double Loudness(const std::vector<uint8_t>& wave, int from, int to) {
    sound::MemoryWaveSource source(wave);
    sound::WaveLayout layout;
    std::string error;
    EXPECT_TRUE(sound::ParseWaveLayout(source, layout, error)) << error;
    platform::ByteReader r(wave);
    double sum = 0;
    size_t count = 0;
    for (size_t frame = static_cast<size_t>(from) * kPassFrames;
         frame < static_cast<size_t>(to) * kPassFrames; ++frame) {
        r.Seek(layout.dataOffset + frame * 4);
        const double left = r.I16();
        sum += left * left;
        ++count;
    }
    EXPECT_FALSE(r.Failed());
    return count != 0 ? std::sqrt(sum / static_cast<double>(count)) : 0;
}

// Whether two screenshots differ anywhere inside the rectangle.
bool Differ(const platform::RgbImage& a, const platform::RgbImage& b, int x0, int y0, int x1,
            int y1) {
    return !SameRegion(a, b, x0, y0, x1, y1);
}

// Whether the screenshot shows the frame of the animation inside the rectangle.
bool ShowsFrame(const platform::RgbImage& shot, const platform::Surface& frame, int x0, int y0,
                int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (!(At(shot, x, y) == Shown(frame, x, y))) return false;
    return true;
}

// Places on the board and on the chart (see demo/art/interface).
constexpr platform::Point kCaseOptionsButton{544, 247}, kNewGamePlate{170, 66};
constexpr platform::Point kMusicMinus{304, 363}, kSoundsMinus{466, 183}, kNowhere{610, 470};

std::string Line(int pass, const char* what, platform::Point p) {
    return std::to_string(pass) + " " + what + " " + std::to_string(p.x) + " " +
           std::to_string(p.y) + "\n";
}

} // namespace

TEST(Screens, ThePanelOpensFromTheCaseLightsItsPlatesAndTurnsTheSoundDown) {
    TempDir dir;
    std::string replay = "2 move 320 300\n4 key I\n" + Line(6, "move", kCaseOptionsButton) +
                         Line(8, "ldown", kCaseOptionsButton) + "9 shot room_under.png\n" +
                         Line(10, "move", kNowhere) + "12 shot panel.png\n" +
                         Line(14, "move", kNewGamePlate) + "16 shot lit.png\n" +
                         // saved from the panel with F2: the panel closes first
                         "18 key F2\n20 shot room.png\n" + "22 key O\n" +
                         Line(24, "move", kNowhere);
    // Passes 30..80 at full volume; then the music down 20 steps and the sounds 15.
    for (int i = 0; i < 20; ++i)
        replay += Line(82 + i, "ldown", kMusicMinus);
    for (int i = 0; i < 15; ++i)
        replay += Line(102 + i, "ldown", kSoundsMinus);
    replay += "170 rdown 320 240\n172 shot closed.png\n174 close\n";
    const Play play = RunDemo(dir, replay, "--audio-out " + (dir / "mix.wav"));
    ASSERT_EQ(play.status, 0) << play.output;
    EXPECT_FALSE(Contains(play.trace, "Warning")) << play.trace;

    const auto board = AnimationFrame("PANEL.FLC", 1);
    ASSERT_TRUE(board.has_value());
    const platform::RgbImage panel = Shot(dir, "panel.png"), lit = Shot(dir, "lit.png");
    // The header of the board is what shows; the room is gone.
    EXPECT_TRUE(ShowsFrame(panel, *board, 302, 14, 594, 44));
    EXPECT_TRUE(Differ(panel, Shot(dir, "room.png"), 302, 14, 594, 44));
    // The "New game" plate lights under the pointer; the "Load game" plate below stays.
    EXPECT_TRUE(Differ(panel, lit, 92, 40, 250, 92));
    EXPECT_TRUE(SameRegion(panel, lit, 92, 110, 250, 162));
    // Closed with the right button: the room is back as it was.
    EXPECT_TRUE(SameRegion(Shot(dir, "room.png"), Shot(dir, "closed.png"), 50, 100, 140, 250));

    // The save holds the room's look cursor, not the panel's pointer.
    SavedGame saved;
    std::string error;
    ASSERT_TRUE(ParseSavedGame(Bytes(dir / "save.dat"), saved, error)) << error;
    EXPECT_EQ(saved.cursorResource, 5002);
    EXPECT_EQ(saved.cursorMode, 0);

    // The waltz and the workshop's sounds, at full volume and then turned down to about half
    // each (music 20 of 40, sounds 16 of 31): clearly quieter, not silent.
    const std::vector<uint8_t> mix = Bytes(dir / "mix.wav");
    const double before = Loudness(mix, 30, 80), after = Loudness(mix, 120, 170);
    EXPECT_GT(before, 500);
    EXPECT_LT(after, before * 0.6);
    EXPECT_GT(after, before * 0.05);
}

// The map opens from the street: the game is saved in the workshop, and the save is moved to
// the street (as if the player had gone out) and loaded.
TEST(Screens, TheMapShowsItsPlacesAndTakesThePlayerWhereTheyLead) {
    TempDir dir;
    ASSERT_EQ(RunDemo(dir, "3 key F2\n5 close\n").status, 0);
    SavedGame saved;
    std::string error;
    ASSERT_TRUE(ParseSavedGame(Bytes(dir / "save.dat"), saved, error)) << error;
    saved.roomName = "Harbour";
    const std::vector<uint8_t> moved = WriteSavedGame(saved);
    dir.Write("save.dat", std::string(moved.begin(), moved.end()));

    const Play play = RunDemo(dir, R"(
3 key F3
6 key M
8 move 600 100
10 shot map.png
12 move 202 190
14 shot workshop.png
16 move 520 300
18 shot pier.png
19 ldown 520 300
21 move 250 240
23 shot street.png
24 move 202 190
25 ldown 202 190
40 shot inside.png
42 key M
44 shot still.png
46 close
)");
    ASSERT_EQ(play.status, 0) << play.output;
    const auto chart = AnimationFrame("MAP.FLC", 1);
    ASSERT_TRUE(chart.has_value());
    const platform::RgbImage map = Shot(dir, "map.png"), workshop = Shot(dir, "workshop.png"),
                             pier = Shot(dir, "pier.png"), street = Shot(dir, "street.png");
    EXPECT_TRUE(ShowsFrame(map, *chart, 50, 320, 150, 420)); // the compass rose
    // Each place shows only while the pointer is on it, with its name as the caption.
    struct Hover {
        const char* place;
        const platform::RgbImage& shot;
        platform::Rect area; // where the place is drawn
    };
    const Hover hovers[] = {
        {"workshop", workshop, {150, 142, 254, 226}},
        {"pier", pier, {450, 396, 592, 436}}, // its note: later
        {"street", street, {40, 228, 440, 250}},
    };
    EXPECT_EQ(CountColour(map, 100, 440, 540, 480, 0xFFFFC0), 0);
    for (const Hover& h : hovers) {
        SCOPED_TRACE(h.place);
        EXPECT_TRUE(Differ(map, h.shot, h.area.left, h.area.top, h.area.right, h.area.bottom));
        EXPECT_GT(CountColour(h.shot, 100, 440, 540, 480, 0xFFFFC0), 20);
        for (const Hover& other : hovers)
            if (&other != &h && other.area.left > h.area.right + 30) {
                EXPECT_TRUE(SameRegion(map, h.shot, other.area.left, other.area.top,
                                       other.area.right, other.area.bottom))
                    << other.place;
            }
    }
    // The pier leads nowhere yet; the workshop leads in, and indoors the map stays shut.
    EXPECT_TRUE(InOrder(play.trace, {Delivered("LOOK", 0, "MapPier", "MapPier"),
                                     Delivered("LOOK", 0, "MapWorkshop", "MapWorkshop"),
                                     Delivered("GOTO", 0, "Workshop", "MapWorkshop"),
                                     "Leave BG: Harbour\n", "The map is not allowed here\n"}));
    EXPECT_TRUE(SameRegion(Shot(dir, "inside.png"), Shot(dir, "still.png"), 50, 60, 190, 250));
}
