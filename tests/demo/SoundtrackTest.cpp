// What the demo sounds like, heard through a headless replay's mixed output (--audio-out):
// the clock's tick comes with its pendulum, the oiled door creaks as it swings open, and going
// through it switches the room's ambience.
// The rooms' sounds are 22,050 Hz mono at full volume and the mixer doubles the rate by
// interpolation, so every other sample of the mix carries their samples unchanged, added to
// whatever else plays; a sound is found in the mix by its correlation with the file.
#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "demo/Playthrough.h"
#include "platform/ByteReader.h"
#include "sound/WaveFile.h"

using namespace demo_play;

namespace {

constexpr size_t kPassSamples = 441; // 20 ms at 22,050 Hz

// The samples of a 16-bit wave file; with `everyOther`, only the even frames of its left
// channel (the mix at the rooms' rate).
std::vector<int16_t> Samples(const std::vector<uint8_t>& file, bool everyOther) {
    sound::MemoryWaveSource source(file);
    sound::WaveLayout layout;
    std::string error;
    EXPECT_TRUE(sound::ParseWaveLayout(source, layout, error)) << error;
    platform::ByteReader r(file);
    r.Seek(layout.dataOffset);
    const size_t step = everyOther ? 2u * layout.format.channels : 1u;
    std::vector<int16_t> samples;
    for (size_t i = 0; i < layout.dataSize / 2; ++i) {
        const int16_t s = r.I16();
        if (i % step == 0) samples.push_back(s);
    }
    return samples;
}

// How much of `mix` from `at` on looks like `sound` from `from` on, over `length` samples:
// the normalised correlation, 1 for the sound alone.
double Likeness(const std::vector<int16_t>& mix, size_t at, const std::vector<int16_t>& sound,
                size_t from, size_t length) {
    double both = 0, mixed = 0, alone = 0;
    for (size_t i = 0; i < length; ++i) {
        const double m = mix.at(at + i), s = sound.at((from + i) % sound.size());
        both += m * s;
        mixed += m * m;
        alone += s * s;
    }
    return mixed > 0 && alone > 0 ? both / std::sqrt(mixed * alone) : 0;
}

// Where in `mix` (within [from, to), looking every `step` samples) `sound` starts: the best
// match of its first samples.
size_t FindStart(const std::vector<int16_t>& mix, const std::vector<int16_t>& sound, size_t from,
                 size_t to, size_t length, size_t step = 1) {
    size_t best = from;
    double bestLikeness = -1;
    for (size_t at = from; at < to; at += step) {
        const double l = Likeness(mix, at, sound, 0, length);
        if (l > bestLikeness) bestLikeness = l, best = at;
    }
    return best;
}

// Whether the rectangle [x0, x1) x [y0, y1) differs between two screenshots.
bool RegionChanged(const std::string& a, const std::string& b, int x0, int y0, int x1, int y1) {
    platform::RgbImage x, y;
    EXPECT_TRUE(platform::ReadPngRgb(a, x) && platform::ReadPngRgb(b, y)) << a << " " << b;
    for (int row = y0; row < y1; ++row)
        for (int col = x0; col < x1; ++col)
            for (int c = 0; c < 3; ++c) {
                const size_t i = static_cast<size_t>((row * x.width + col) * 3 + c);
                if (x.rgb[i] != y.rgb[i]) return true;
            }
    return false;
}

// The passes, among consecutive screenshots `shots` (named PASS.png in `dir`), in which the
// rectangle changed. A shot is the frame shown before its pass.
std::vector<int> ChangesIn(const TempDir& dir, const std::vector<int>& shots, int x0, int y0,
                           int x1, int y1) {
    std::vector<int> changes;
    for (size_t i = 1; i < shots.size(); ++i)
        if (shots[i] == shots[i - 1] + 1 &&
            RegionChanged(dir / (std::to_string(shots[i - 1]) + ".png"),
                          dir / (std::to_string(shots[i]) + ".png"), x0, y0, x1, y1))
            changes.push_back(shots[i - 1]);
    return changes;
}

// From pass 90 on: take the oil can with the action menu's take (Tarvo walks to the bench for
// it, arriving by pass 250), take it out of the case, oil the stuck door with it (he walks to
// the door, about 70 passes, and it swings open, 36 more) and once it is open go out into the
// street.
constexpr const char* kOutIntoTheStreet = R"(
90 move 320 240
91 rdown 320 240
93 move 300 310
95 ldown 300 310
97 move 370 222
99 ldown 370 222
260 key I
262 move 256 232
265 ldown 256 232
267 move 300 300
269 key I
271 move 550 200
274 ldown 550 200
400 ldown 550 200
)";
constexpr int kOiled = 274, kGoingOut = 400, kPasses = 480;

} // namespace

TEST(Soundtrack, TheClockTicksWithItsPendulumAndTheDoorSwitchesTheAmbience) {
    TempDir dir;
    // Screenshots round the pendulum's first two passes through its first frame and round the
    // door's swing, then out through the door once it is open.
    std::vector<int> clockShots, doorShots;
    for (int pass = 1; pass <= 84; ++pass)
        if (pass <= 14 || pass >= 66) clockShots.push_back(pass);
    for (int pass = kOiled + 55; pass <= kOiled + 85; ++pass)
        doorShots.push_back(pass);
    // The replay's lines by pass; a shot comes before the input of its pass.
    std::multimap<int, std::string> lines;
    for (const auto* shots : {&clockShots, &doorShots})
        for (int pass : *shots)
            lines.emplace(pass, "shot " + std::to_string(pass) + ".png");
    std::istringstream given(kOutIntoTheStreet);
    for (int pass; given >> pass;) {
        std::string event;
        std::getline(given >> std::ws, event);
        lines.emplace(pass, event);
    }
    lines.emplace(kPasses, "close");
    std::string replay;
    for (const auto& [pass, event] : lines)
        replay += std::to_string(pass) + " " + event + "\n";
    dir.Write("replay.txt", replay);
    const auto run = testing_support::RunProgram(
        "app/tarvo", kGame + " --headless --replay " + (dir / "replay.txt") + " --screenshot-dir " +
                         dir.Path() + " --audio-out " + (dir / "mix.wav"));
    ASSERT_EQ(run.status, 0) << run.output;
    std::ifstream in(dir / "mix.wav", std::ios::binary);
    const std::vector<int16_t> mix =
        Samples(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), true);
    ASSERT_EQ(mix.size(), kPasses * kPassSamples); // every pass mixed, the last one too

    // The passes in which the pendulum (below the clock's face; the clock stands at 232, 70
    // and is 80 wide) moved on a frame. The first move in each window: 12 frames of 110 ms
    // (66 passes) apart.
    const std::vector<int> moves = ChangesIn(dir, clockShots, 240, 200, 305, 300);
    const auto second = std::find_if(moves.begin(), moves.end(), [](int p) { return p >= 66; });
    ASSERT_FALSE(moves.empty());
    ASSERT_NE(second, moves.end()) << ::testing::PrintToString(moves);
    EXPECT_EQ(*second - moves.front(), 66);
    const std::vector<int16_t> tick = Samples(GameFile("CLOCK.WAV"), false);
    for (int pass : {moves.front(), *second}) {
        // The tick is heard from the first sample mixed in that pass, not a pass earlier or later.
        const size_t at = static_cast<size_t>(pass) * kPassSamples;
        EXPECT_EQ(FindStart(mix, tick, at - 3 * kPassSamples, at + 3 * kPassSamples, 800), at)
            << "pendulum left frame 1 in pass " << pass;
        EXPECT_GT(Likeness(mix, at, tick, 0, 800), 0.7);
    }

    // The creak is heard as the oiled door, once Tarvo has walked to it, swings: the swing
    // shows its first frame for 90 ms, and the creak starts with the first sample of the pass
    // in which the door leaves that frame.
    const std::vector<int> swings = ChangesIn(dir, doorShots, 520, 130, 580, 160);
    ASSERT_GE(swings.size(), 2u) << "the door did not swing by pass " << doorShots.back();
    ASSERT_GT(swings.front(), doorShots.front())
        << "the door swung before pass " << doorShots.front();
    const std::vector<int16_t> creak = Samples(GameFile("WDOOROP.WAV"), false);
    const size_t swung = static_cast<size_t>(swings[1]) * kPassSamples;
    EXPECT_EQ(FindStart(mix, creak, swung - 6 * kPassSamples, swung + 6 * kPassSamples, 2048),
              swung)
        << "the door moved in passes " << ::testing::PrintToString(swings);
    EXPECT_GT(Likeness(mix, swung, creak, 0, 2048), 0.6);

    // The street's ambience starts with the room change, and the workshop's stops there.
    const std::vector<int16_t> workshop = Samples(GameFile("AMBSHOP.WAV"), false);
    const std::vector<int16_t> street = Samples(GameFile("AMBHARB.WAV"), false);
    // Found pass by pass, then sample by sample round that pass: it starts with a pass.
    const size_t pass = FindStart(mix, street, kGoingOut * kPassSamples,
                                  (kPasses - 20) * kPassSamples, 2048, kPassSamples);
    const size_t change = FindStart(mix, street, pass - kPassSamples, pass + kPassSamples, 2048);
    EXPECT_EQ(change, pass);
    // The door was already open, so the room changes within a pass or two of the click.
    EXPECT_LE(change, (kGoingOut + 3) * kPassSamples);
    constexpr size_t kWindow = 8820; // 0.4 s
    EXPECT_GT(Likeness(mix, change, street, 0, kWindow), 0.4);
    EXPECT_LT(std::abs(Likeness(mix, change - kWindow, street, 0, kWindow)), 0.15);
    // The workshop's ambience started with the game and loops; it is there up to the change.
    EXPECT_GT(Likeness(mix, change - kWindow, workshop, change - kWindow, kWindow), 0.2);
    EXPECT_LT(std::abs(Likeness(mix, change, workshop, change, kWindow)), 0.15);
    // The waltz plays through the change: the same music at the same place, not restarted.
    const std::vector<int16_t> waltz = Samples(GameFile("TUNE.WAV"), false);
    EXPECT_GT(Likeness(mix, change, waltz, change, kWindow), 0.4);
}

TEST(Soundtrack, AHeadlessRunMixesTheSameSamplesEveryTime) {
    TempDir dir;
    dir.Write("replay.txt",
              std::string(kOutIntoTheStreet) + std::to_string(kGoingOut + 20) + " close\n");
    std::vector<std::string> mixes;
    for (const char* name : {"a.wav", "b.wav"}) {
        const auto run = testing_support::RunProgram(
            "app/tarvo", kGame + " --headless --replay " + (dir / "replay.txt") + " --audio-out " +
                             (dir / name));
        ASSERT_EQ(run.status, 0) << run.output;
        std::ifstream in(dir / name, std::ios::binary);
        mixes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(mixes[0].size(), 44 + (kGoingOut + 20) * 882 * 4u);
    EXPECT_TRUE(mixes[0] == mixes[1]);
}
