// What the demo sounds like, heard through a headless replay's mixed output (--audio-out):
// the clock's tick comes with its pendulum, the oiled door creaks as it swings open, and going
// through it switches the room's ambience.
// The rooms' sounds are 22,050 Hz mono at full volume and the mixer doubles the rate by
// interpolation, so every other sample of the mix carries their samples unchanged, added to
// whatever else plays; a sound is found in the mix by its correlation with the file.
#include <algorithm>
#include <cmath>

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

bool PendulumMoved(const std::string& a, const std::string& b) {
    platform::RgbImage x, y;
    EXPECT_TRUE(platform::ReadPngRgb(a, x) && platform::ReadPngRgb(b, y)) << a << " " << b;
    // The pendulum below the clock's face (the clock stands at 232, 70 and is 80 wide).
    for (int row = 200; row < 300; ++row)
        for (int col = 240; col < 305; ++col)
            for (int c = 0; c < 3; ++c) {
                const size_t i = static_cast<size_t>((row * x.width + col) * 3 + c);
                if (x.rgb[i] != y.rgb[i]) return true;
            }
    return false;
}

// From pass 90 on: take the oil can with the action menu's take, take it out of the case, oil
// the stuck door with it, and once it has swung open (by pass 150) go out into the street.
constexpr const char* kOutIntoTheStreet = R"(
90 move 320 240
91 rdown 320 240
93 move 300 310
95 ldown 300 310
97 move 370 222
99 ldown 370 222
102 key I
104 move 256 232
107 ldown 256 232
109 move 300 300
111 key I
113 move 550 200
116 ldown 550 200
152 ldown 550 200
)";
constexpr int kOiled = 116, kGoingOut = 152;

} // namespace

TEST(Soundtrack, TheClockTicksWithItsPendulumAndTheDoorSwitchesTheAmbience) {
    TempDir dir;
    // Screenshots round the pendulum's first two passes through its first frame, then out
    // through the door once it is oiled. A shot is the frame shown before its pass.
    std::string replay;
    std::vector<int> shots;
    for (int pass = 1; pass <= 84; ++pass)
        if (pass <= 14 || pass >= 66) shots.push_back(pass);
    for (int pass : shots)
        replay += std::to_string(pass) + " shot " + std::to_string(pass) + ".png\n";
    replay += std::string(kOutIntoTheStreet) + "260 close\n";
    dir.Write("replay.txt", replay);
    const auto run = testing_support::RunProgram(
        "app/tarvo", kGame + " --headless --replay " + (dir / "replay.txt") + " --screenshot-dir " +
                         dir.Path() + " --audio-out " + (dir / "mix.wav"));
    ASSERT_EQ(run.status, 0) << run.output;
    std::ifstream in(dir / "mix.wav", std::ios::binary);
    const std::vector<int16_t> mix =
        Samples(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), true);
    ASSERT_EQ(mix.size(), 260 * kPassSamples); // every pass mixed, the last one too

    // The passes in which the pendulum moved on a frame.
    std::vector<int> moves;
    for (size_t i = 1; i < shots.size(); ++i)
        if (shots[i] == shots[i - 1] + 1 &&
            PendulumMoved(dir / (std::to_string(shots[i - 1]) + ".png"),
                          dir / (std::to_string(shots[i]) + ".png")))
            moves.push_back(shots[i - 1]);
    // The first move in each window: 12 frames of 110 ms (66 passes) apart.
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

    // The creak is heard as the oiled door starts to swing: it starts with a pass, once the
    // swing's first frame (90 ms) is over, five or six passes after the click.
    const std::vector<int16_t> creak = Samples(GameFile("WDOOROP.WAV"), false);
    const size_t creaked =
        FindStart(mix, creak, kOiled * kPassSamples, (kOiled + 10) * kPassSamples, 2048);
    EXPECT_GE(creaked, (kOiled + 4) * kPassSamples);
    EXPECT_LE(creaked, (kOiled + 6) * kPassSamples);
    EXPECT_EQ(creaked % kPassSamples, 0u);
    EXPECT_GT(Likeness(mix, creaked, creak, 0, 2048), 0.6);

    // The street's ambience starts with the room change, and the workshop's stops there.
    const std::vector<int16_t> workshop = Samples(GameFile("AMBSHOP.WAV"), false);
    const std::vector<int16_t> street = Samples(GameFile("AMBHARB.WAV"), false);
    // Found pass by pass, then sample by sample round that pass: it starts with a pass.
    const size_t pass =
        FindStart(mix, street, kGoingOut * kPassSamples, 220 * kPassSamples, 2048, kPassSamples);
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
    dir.Write("replay.txt", std::string(kOutIntoTheStreet) + "200 close\n");
    std::vector<std::string> mixes;
    for (const char* name : {"a.wav", "b.wav"}) {
        const auto run = testing_support::RunProgram(
            "app/tarvo", kGame + " --headless --replay " + (dir / "replay.txt") + " --audio-out " +
                             (dir / name));
        ASSERT_EQ(run.status, 0) << run.output;
        std::ifstream in(dir / name, std::ios::binary);
        mixes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(mixes[0].size(), 44 + 200 * 882 * 4u);
    EXPECT_TRUE(mixes[0] == mixes[1]);
}
