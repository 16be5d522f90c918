// The sound engine as the game uses it, mixing on the clock: what comes out of the mixer is
// compared with the files that went in.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "sound/DSengine.h"
#include "sound/Mixer.h"
#include "support/Waves.h"

using namespace testing_support;
using sound::PcmFormat;

namespace {

constexpr PcmFormat kCd{1, 16, 44100};

class Engine : public ::testing::Test {
protected:
    Engine() : dir(true) {
        platform::SetMessageBoxMode(platform::MessageBoxMode::Headless);
        platform::SetMessageBoxCapture(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
        platform::TraceToFunction([this](std::string_view line) { trace.emplace_back(line); });
        SoundOutput output;
        output.record = [this](std::span<const int16_t> b) {
            mixed.insert(mixed.end(), b.begin(), b.end());
        };
        engine.Init(output);
    }
    ~Engine() override {
        platform::SetMessageBoxCapture(nullptr);
        platform::TraceOff();
    }
    // Mixes in steps of one 20 ms frame, as the main loop does.
    void Play(double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 50 + 0.5); ++i)
            engine.MixFrames(882);
    }
    std::vector<int16_t> Left(size_t from = 0) const {
        std::vector<int16_t> left;
        for (size_t i = 2 * from; i < mixed.size(); i += 2)
            left.push_back(mixed[i]);
        return left;
    }
    bool Traced(const std::string& line) const {
        return std::find(trace.begin(), trace.end(), line) != trace.end();
    }

    TempDir dir;
    DSengine engine;
    std::vector<int16_t> mixed;
    std::vector<std::string> boxes, trace;
};

// Counts how often an auto-reset event was set between two looks.
int Signals(platform::Event& e) {
    int n = 0;
    while (e.TryWait())
        ++n;
    return n;
}

} // namespace

TEST_F(Engine, StreamedSoundsPlayEverySampleAcrossTheRefills) {
    const size_t frames = 5 * 44100 + 12345; // just over 5 s: streamed
    const std::vector<int16_t> samples = PatternSamples(frames);
    WriteWave(dir, "long.wav", WaveBytes(kCd, samples));
    for (const bool looped : {false, true}) {
        mixed.clear();
        DSsound* s = engine.LoadSound("long.wav", kSoundMusic);
        ASSERT_NE(s, nullptr);
        ASSERT_TRUE(s->streaming);
        EXPECT_EQ(s->ChunkSize(), 117600u); // 4/3 s of 2-byte frames
        EXPECT_EQ(s->BufferSize(), 3 * 117600u);
        platform::Event ended(false, false);
        s->Play(looped, &ended);
        Play(12.0);
        const std::vector<int16_t> left = Left();
        ASSERT_EQ(left.size(), 12 * 44100u);
        size_t mismatches = 0, first = 0;
        for (size_t i = 0; i < left.size(); ++i) {
            const int16_t want = looped ? samples[i % frames] : i < frames ? samples[i] : 0;
            if (left[i] != want && mismatches++ == 0) first = i;
        }
        EXPECT_EQ(mismatches, 0u) << (looped ? "looped" : "once") << ", first at frame " << first;
        EXPECT_EQ(Signals(ended), looped ? 0 : 1);
        EXPECT_EQ(s->playing, looped ? 1 : 0);
        engine.RemoveSound("long.wav");
        EXPECT_EQ(Signals(ended), looped ? 1 : 0); // removing a playing sound ends it
    }
}

TEST_F(Engine, EndEventsPauseAndPlayByName) {
    const std::vector<int16_t> samples = PatternSamples(22050); // 0.5 s
    WriteWave(dir, "tick.wav", WaveBytes(kCd, samples));
    DSsound* s = engine.LoadSound("tick.wav", kSoundEffects);
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->streaming);
    EXPECT_TRUE(Traced("DSsound: \"tick.wav\"\n"));
    platform::Event ended(false, false);
    engine.PlaySound("tick.wav", false, &ended);
    EXPECT_TRUE(s->playing);
    EXPECT_FALSE(s->finishedEvent.TryWait());
    Play(0.2);
    s->Pause();
    Play(1.0); // paused longer than the sound lasts: nothing ends
    EXPECT_EQ(Signals(ended), 0);
    EXPECT_EQ(s->playing, 1);
    s->Resume();
    engine.PlaySound("tick.wav", false, &ended); // still playing: not started again
    Play(0.4);
    EXPECT_EQ(Signals(ended), 1);
    EXPECT_EQ(s->playing, 0);
    EXPECT_TRUE(s->finishedEvent.TryWait());
    // What was heard: 0.2 s, a second of silence, then the rest, with no sample twice.
    std::vector<int16_t> heard = Left();
    heard.erase(heard.begin() + 8820, heard.begin() + 8820 + 44100);
    heard.resize(samples.size());
    EXPECT_EQ(heard, samples);
    // Stopped by hand: the end is signalled at once, and the sound can play again.
    engine.PlaySound("tick.wav", false, &ended);
    s->Stop();
    EXPECT_EQ(Signals(ended), 1);
    engine.PlaySound("tick.wav", false, &ended);
    EXPECT_EQ(s->playing, 1);
    engine.RemoveSound("tick.wav"); // before `ended` goes, as the sound's end would set it
    EXPECT_EQ(Signals(ended), 1);
}

TEST_F(Engine, CategoriesPansAndVolumesApplyAtOnce) {
    WriteWave(dir, "hum.wav", WaveBytes(kCd, std::vector<int16_t>(4410, 10000)));
    WriteWave(dir, "song.wav", WaveBytes(kCd, std::vector<int16_t>(4410, 10000)));
    engine.SetCategoryVolume(kSoundSpeech, 0);
    DSsound* hum = engine.LoadSound("hum.wav", kSoundEffects);
    // Loaded again under another category: the same sound, its first category kept.
    EXPECT_EQ(engine.LoadSound("hum.wav", kSoundSpeech), hum);
    EXPECT_EQ(hum->category, kSoundEffects);
    DSsound* song = engine.LoadSound("song.wav", kSoundMusic);
    engine.PlaySound("hum.wav", true);
    engine.PlaySound("song.wav", true);
    Play(0.02);
    EXPECT_EQ(mixed.back(), 20000);
    engine.SetCategoryVolume(kSoundMusic, 50); // the music only, from the next block on
    mixed.clear();
    Play(0.02);
    const int16_t half =
        static_cast<int16_t>(10000 + (10000 * sound::GainFromHundredths(-1234) >> 15));
    EXPECT_EQ(mixed.front(), half);
    EXPECT_EQ(mixed.back(), half);
    // The music pans with a position across the room: the far side is lowered by 12.5 dB.
    engine.PanSound("song.wav", 0, 1280);
    mixed.clear();
    Play(0.02);
    EXPECT_EQ(mixed[0], half);
    const int16_t lowered =
        static_cast<int16_t>(10000 + (10000 * sound::GainFromHundredths(-1234 - 1250) >> 15));
    EXPECT_EQ(mixed[1], lowered);
    EXPECT_EQ(engine.CategoryVolume(kSoundMusic), 50);
    (void)song;
}

TEST_F(Engine, FilesItCannotPlay) {
    RiffBuilder noData;
    noData.Chunk("fmt ", RiffBuilder::Format(1, 22050, 16));
    WriteWave(dir, "bad.wav", noData.Bytes());
    WriteWave(dir, "deep.wav",
              RiffBuilder()
                  .Chunk("fmt ", RiffBuilder::Format(1, 22050, 24))
                  .Chunk("data", std::vector<uint8_t>(30))
                  .Bytes());
    struct Case {
        const char* name;
        const char* box;   // "" when none
        const char* trace; // "" when none
    };
    const Case cases[] = {
        {"missing.wav", "", ""}, // a missing sound only leaves its object silent
        {"bad.wav", "Invalid Wave file: \"bad.wav\"\n", "Invalid Wave file: \"bad.wav\"\n"},
        {"deep.wav", "",
         "DSsound: \"deep.wav\" not played: 24 bits per sample (8 or 16 are played)\n"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        boxes.clear();
        trace.clear();
        EXPECT_EQ(engine.LoadSound(c.name, kSoundEffects), nullptr) << c.name;
        EXPECT_EQ(boxes, *c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
        if (*c.trace)
            EXPECT_TRUE(Traced(c.trace)) << c.name;
        else
            EXPECT_TRUE(trace.empty()) << c.name;
    }
    EXPECT_EQ(engine.SoundCount(), 0u);
    DSengine notStarted; // no output: nothing loads
    WriteWave(dir, "fine.wav", WaveBytes(kCd, PatternSamples(10)));
    EXPECT_EQ(notStarted.LoadSound("fine.wav", kSoundEffects), nullptr);
    EXPECT_NE(engine.LoadSound("fine.wav", kSoundEffects), nullptr);
}

TEST_F(Engine, TheRecordingIsAWaveFileOfWhatWasMixed) {
    WriteWave(dir, "tick.wav", WaveBytes(PcmFormat{2, 16, 44100}, PatternSamples(2000)));
    std::string error;
    auto recorder = sound::WaveRecorder::Create(dir / "out.wav", error);
    ASSERT_TRUE(recorder) << error;
    engine.LoadSound("tick.wav", kSoundEffects);
    engine.PlaySound("tick.wav");
    Play(0.1);
    recorder->Append(mixed);
    EXPECT_TRUE(recorder->Close());
    EXPECT_EQ(recorder->FramesWritten(), 4410u);
    std::ifstream in(dir / "out.wav", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    sound::MemoryWaveSource source(file);
    sound::WaveLayout layout;
    ASSERT_TRUE(sound::ParseWaveLayout(source, layout, error)) << error;
    EXPECT_EQ(layout.format.channels, 2);
    EXPECT_EQ(layout.format.samplesPerSec, 44100u);
    EXPECT_EQ(layout.dataSize, 4410u * 4);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 44, file.end()), SampleBytes(mixed));
    EXPECT_FALSE(sound::WaveRecorder::Create(dir / "no/such/folder/out.wav", error));
    EXPECT_EQ(error, "cannot write the sound to " + (dir / "no/such/folder/out.wav"));
}

// The main thread plays, stops and removes streamed sounds while another thread mixes as an
// audio device would and the refill worker refills them.
TEST(EngineThreads, StoppingASoundWhileItRefills) {
    TempDir dir(true);
    // 96 kHz is used up more than twice as fast as the output: the ring of four seconds needs
    // refills within two seconds of mixing.
    const PcmFormat fast{1, 16, 96000};
    const std::vector<int16_t> samples = PatternSamples(6 * 96000);
    WriteWave(dir, "a.wav", WaveBytes(fast, samples));
    WriteWave(dir, "b.wav", WaveBytes(fast, samples));
    DSengine engine;
    SoundOutput output;
    output.refillThread = true;
    engine.Init(output);
    std::atomic<bool> done{false};
    std::thread device([&] {
        std::vector<int16_t> block(2 * 2048);
        while (!done.load())
            engine.Mix(block);
    });
    platform::Event ended(true, false);
    uint64_t furthest = 0;
    for (int round = 0; round < 100; ++round) {
        const char* name = round % 2 ? "a.wav" : "b.wav";
        DSsound* s = engine.LoadSound(name, kSoundEffects);
        ASSERT_NE(s, nullptr);
        engine.PlaySound(name, round % 3 == 0, &ended);
        EXPECT_FALSE(ended.TryWait());
        if (round % 10 == 9) {
            // Once in ten rounds until the ring has been played through (a generous limit):
            // this playback needs refills.
            for (int i = 0; i < 500 && s->PlayPosition() <= 4 * 96000; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2 * (round % 10)));
        }
        if (round % 4 == 0) {
            s->Pause();
            s->Resume();
        }
        furthest = std::max(furthest, s->PlayPosition());
        if (round % 2 == 0) {
            s->Stop();
            EXPECT_EQ(s->playing, 0);
            EXPECT_TRUE(s->finishedEvent.TryWait());
        } else {
            engine.RemoveSound(name); // stops it, after a refill in progress
        }
        EXPECT_TRUE(ended.TryWait()) << round; // every playback ends with its event
    }
    done = true;
    device.join();
    // Some playbacks went on past the first fill of the ring: the worker refilled them.
    EXPECT_GT(furthest, 4u * 96000);
}

// Through the audio device (SDL's dummy driver in the tests): the device's thread mixes, the
// refill worker ends the sound, and the main thread sees its events.
TEST(EngineThreads, ASoundOnTheDeviceEndsWithItsEvent) {
    TempDir dir(true);
    WriteWave(dir, "tick.wav", WaveBytes(kCd, PatternSamples(4410))); // 0.1 s
    DSengine engine;
    SoundOutput output;
    output.device = true;
    engine.Init(output);
    if (engine.MixesOnClock()) GTEST_SKIP() << "no audio device";
    DSsound* s = engine.LoadSound("tick.wav", kSoundEffects);
    ASSERT_NE(s, nullptr);
    platform::Event ended(true, false);
    s->Play(0, &ended);
    EXPECT_TRUE(ended.Wait(5000)); // a generous limit: the sound lasts 0.1 s
    EXPECT_TRUE(s->finishedEvent.Wait(5000));
    EXPECT_EQ(s->playing, 0);
}
