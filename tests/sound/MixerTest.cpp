// The mixer: what a voice sounds like at its rate, volume, pan and frequency, how it ends or
// loops, and how a ring voice follows its producer.
#include <gtest/gtest.h>

#include <cmath>

#include "sound/DSsound.h"
#include "sound/Mixer.h"
#include "support/Waves.h"

using sound::Mixer;
using sound::PcmFormat;
using sound::VoiceBuffer;
using testing_support::PatternSamples;

namespace {

std::shared_ptr<VoiceBuffer> StaticBuffer(const PcmFormat& format, const std::vector<uint8_t>& b) {
    auto buffer = std::make_shared<VoiceBuffer>(format, b.size() / format.BlockAlign(),
                                                VoiceBuffer::Kind::Static);
    std::copy(b.begin(), b.end(), buffer->StaticBytes().begin());
    return buffer;
}

std::shared_ptr<VoiceBuffer> StaticBuffer(const PcmFormat& format,
                                          const std::vector<int16_t>& samples) {
    return StaticBuffer(format, testing_support::SampleBytes(samples));
}

std::vector<int16_t> Mix(Mixer& mixer, size_t frames) {
    std::vector<int16_t> out(2 * frames);
    mixer.Mix(out);
    return out;
}

std::vector<int16_t> Channel(const std::vector<int16_t>& stereo, int channel) {
    std::vector<int16_t> c;
    for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2)
        c.push_back(stereo[i]);
    return c;
}

struct Listener : sound::MixerListener {
    void VoicesNeedService() override { ++calls; }
    int calls = 0;
};

} // namespace

TEST(Mixer, PlaysEachFormatAtFullVolumeUnchanged) {
    const std::vector<int16_t> samples = PatternSamples(300);
    {
        Mixer m;
        m.Play(m.Add(StaticBuffer({1, 16, 44100}, samples)), false);
        const auto out = Mix(m, 300);
        EXPECT_EQ(Channel(out, 0), samples);
        EXPECT_EQ(Channel(out, 1), samples);
    }
    {
        Mixer m; // stereo: left and right stay apart
        m.Play(m.Add(StaticBuffer({2, 16, 44100}, samples)), false);
        EXPECT_EQ(Mix(m, 150), samples);
    }
    {
        Mixer m; // 8-bit: unsigned, 0x80 is silence, one step is 256
        m.Play(m.Add(StaticBuffer({1, 8, 44100}, std::vector<uint8_t>{0x80, 0x81, 0x00, 0xFF})),
               false);
        EXPECT_EQ(Channel(Mix(m, 4), 0), (std::vector<int16_t>{0, 256, -32768, 32512}));
    }
}

TEST(Mixer, ResamplesBetweenNeighbouringSamples) {
    Mixer m; // 22,050 Hz: every source sample, then the point halfway to the next
    m.Play(m.Add(StaticBuffer({1, 16, 22050}, std::vector<int16_t>{0, 1000, -1000, 3})), false);
    EXPECT_EQ(Channel(Mix(m, 10), 0),
              (std::vector<int16_t>{0, 500, 1000, 0, -1000, -499, 3, 1, 0, 0}));
}

TEST(Mixer, FrequencyChangesTheRate) {
    const std::vector<int16_t> samples = PatternSamples(200);
    Mixer m;
    const auto id = m.Add(StaticBuffer({1, 16, 44100}, samples));
    m.SetFrequency(id, 88200); // twice as fast: every other sample
    m.Play(id, false);
    const auto left = Channel(Mix(m, 100), 0);
    for (size_t i = 0; i < 100; ++i)
        ASSERT_EQ(left[i], samples[2 * i]) << i;
    m.SetFrequency(id, 0); // back to the buffer's own rate
    m.SetPosition(id, 0);
    m.Play(id, false);
    EXPECT_EQ(Channel(Mix(m, 200), 0), samples);
}

TEST(Mixer, VolumeAndPanLaws) {
    // Volumes 0..100 in hundredths of a decibel, and positions across a room as pans.
    const std::pair<int, int32_t> volumes[] = {{0, -10000}, {1, -8198}, {10, -4099},
                                               {50, -1234}, {99, -17},  {100, 0}};
    for (auto [volume, hundredths] : volumes)
        EXPECT_EQ(VolumeHundredths(volume), hundredths) << volume;
    EXPECT_EQ(PanForPosition(0, 640), -1250);
    EXPECT_EQ(PanForPosition(320, 640), 0);
    EXPECT_EQ(PanForPosition(640, 640), 1250);
    EXPECT_EQ(PanForPosition(1, 640), -1246); // truncated towards zero
    EXPECT_EQ(PanForPosition(100, 0), 0);

    // Hundredths of a decibel to a linear gain: -6.02 dB halves, -10000 is silence.
    EXPECT_EQ(sound::GainFromHundredths(0), 32768);
    EXPECT_EQ(sound::GainFromHundredths(-602), 16385);
    EXPECT_EQ(sound::GainFromHundredths(-2000), 3277);
    EXPECT_EQ(sound::GainFromHundredths(-10000), 0);

    // A pan to the left leaves the left side and lowers the right by its amount.
    Mixer m;
    const auto id = m.Add(StaticBuffer({1, 16, 44100}, std::vector<int16_t>(8, 20000)));
    m.SetPan(id, -602);
    m.Play(id, false);
    auto out = Mix(m, 2);
    EXPECT_EQ(out[0], 20000);
    EXPECT_EQ(out[1], 10000); // 20000 * 16385 / 32768, truncated
    m.SetVolume(id, -602);    // volume and pan add up on the lowered side
    out = Mix(m, 2);
    EXPECT_EQ(out[0], 10000);
    EXPECT_EQ(out[1], 5000);
    m.SetVolume(id, -10000);
    EXPECT_EQ(Mix(m, 2), (std::vector<int16_t>{0, 0, 0, 0}));
}

TEST(Mixer, VoicesAddUpAndClip) {
    Mixer m;
    for (int i = 0; i < 3; ++i)
        m.Play(m.Add(StaticBuffer({1, 16, 44100}, std::vector<int16_t>{12000, -12000})), false);
    EXPECT_EQ(Mix(m, 2), (std::vector<int16_t>{32767, 32767, -32768, -32768}));
}

TEST(Mixer, AStaticVoiceEndsOrLoopsAndResumesWhereItStopped) {
    Listener listener;
    Mixer m(&listener);
    const std::vector<int16_t> samples{100, 200, 300};
    auto buffer = StaticBuffer({1, 16, 44100}, samples);
    const auto id = m.Add(buffer);
    m.Play(id, false);
    EXPECT_EQ(Channel(Mix(m, 5), 0), (std::vector<int16_t>{100, 200, 300, 0, 0}));
    EXPECT_FALSE(m.IsPlaying(id));
    EXPECT_TRUE(buffer->TakeEnded());
    EXPECT_FALSE(buffer->TakeEnded()); // taken once
    EXPECT_EQ(listener.calls, 1);

    m.SetPosition(id, 0);
    m.Play(id, true);
    EXPECT_EQ(Channel(Mix(m, 7), 0), (std::vector<int16_t>{100, 200, 300, 100, 200, 300, 100}));
    m.Stop(id); // stays at its position
    EXPECT_EQ(Mix(m, 1), (std::vector<int16_t>{0, 0}));
    m.Play(id, true);
    EXPECT_EQ(Channel(Mix(m, 2), 0), (std::vector<int16_t>{200, 300}));
    EXPECT_FALSE(buffer->TakeEnded());
    m.Remove(id);
    EXPECT_EQ(m.VoiceCount(), 0u);
}

TEST(Mixer, ARingVoiceWaitsForItsProducerAndEndsWhereTheDataEnds) {
    Listener listener;
    Mixer m(&listener);
    const PcmFormat format{1, 16, 44100};
    auto ring = std::make_shared<VoiceBuffer>(format, 8, VoiceBuffer::Kind::Ring);
    const auto id = m.Add(ring);
    m.SetRefillThreshold(id, 4);
    const std::vector<int16_t> samples = PatternSamples(20);
    size_t produced = 0;
    auto produce = [&](size_t frames) {
        const auto region = ring->Writable(ring->Written(), frames);
        const auto bytes = testing_support::SampleBytes(
            std::vector<int16_t>(samples.begin() + produced, samples.begin() + produced + frames));
        std::copy(bytes.begin(), bytes.begin() + region.first.size(), region.first.begin());
        std::copy(bytes.begin() + region.first.size(), bytes.end(), region.second.begin());
        ring->Publish(frames);
        produced += frames;
    };
    produce(8);
    EXPECT_EQ(ring->FreeFrames(), 0u);
    m.Play(id, true);
    // Seven frames can be played: the eighth needs its neighbour, which is not there yet.
    std::vector<int16_t> heard = Channel(Mix(m, 10), 0);
    EXPECT_EQ(std::vector<int16_t>(heard.begin(), heard.begin() + 7),
              std::vector<int16_t>(samples.begin(), samples.begin() + 7));
    EXPECT_EQ(std::vector<int16_t>(heard.begin() + 7, heard.end()), std::vector<int16_t>(3, 0));
    EXPECT_EQ(m.Position(id), 7u);
    EXPECT_EQ(ring->FreeFrames(), 7u);
    EXPECT_GE(listener.calls, 1); // room for a refill
    // The producer wraps round the ring; the voice goes on with no gap and no repeat.
    produce(7);
    ring->EndAtWritten(); // 15 frames in all
    heard = Channel(Mix(m, 10), 0);
    EXPECT_EQ(std::vector<int16_t>(heard.begin(), heard.begin() + 8),
              std::vector<int16_t>(samples.begin() + 7, samples.begin() + 15));
    EXPECT_FALSE(m.IsPlaying(id));
    EXPECT_TRUE(ring->TakeEnded());
}
