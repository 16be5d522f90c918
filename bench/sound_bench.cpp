// Mixing speed as a ratio to real time: each iteration mixes one second of 44,100 Hz stereo,
// so the "x_realtime" rate says how many times faster than playback the mixer runs. Target:
// at least 200x for 8 streamed voices.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/ByteWriter.h"
#include "sound/DSengine.h"
#include "sound/Mixer.h"
#include "sound/WaveWriter.h"

namespace {

// Six seconds of a sound in `format` (streamed: over five seconds), a slow sweep.
std::vector<uint8_t> WaveFile(const sound::PcmFormat& format) {
    const size_t frames = 6 * format.rate;
    platform::ByteWriter data;
    for (size_t i = 0; i < frames * format.channels; ++i) {
        const int v = static_cast<int>((i * 37 + (i * i >> 14)) % 50000) - 25000;
        if (format.bits == 8)
            data.U8(static_cast<uint32_t>(128 + v / 256));
        else
            data.I16(v);
    }
    std::vector<uint8_t> file = sound::WaveHeader(format, static_cast<uint32_t>(data.Size()));
    file.insert(file.end(), data.Data().begin(), data.Data().end());
    return file;
}

// Eight streamed sounds of the formats a game mixes, in a folder of their own.
class Streams {
public:
    Streams() : dir_(std::filesystem::temp_directory_path() / "tarvo-sound-bench") {
        std::filesystem::create_directories(dir_);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        const sound::PcmFormat formats[] = {{1, 16, 22050}, {2, 16, 44100}, {1, 8, 11025},
                                            {1, 16, 44100}, {2, 16, 22050}, {1, 16, 22050},
                                            {2, 8, 22050},  {1, 16, 48000}};
        for (size_t i = 0; i < std::size(formats); ++i) {
            const std::vector<uint8_t> bytes = WaveFile(formats[i]);
            names_.push_back("stream" + std::to_string(i) + ".wav");
            std::ofstream(names_.back(), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }
    ~Streams() {
        std::filesystem::current_path(previous_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::vector<std::string>& Names() const { return names_; }

private:
    std::filesystem::path dir_, previous_;
    std::vector<std::string> names_;
};

// The engine as a headless game runs it: 8 looped streamed sounds, mixed on the clock in
// 20 ms passes, each followed by the refills from the files.
void BM_EightStreamedVoices(benchmark::State& state) {
    Streams streams;
    DSengine engine;
    engine.Init(SoundOutput{});
    for (const std::string& name : streams.Names()) {
        DSsound* s = engine.LoadSound(name, kSoundMusic);
        if (s == nullptr || !s->streaming) {
            state.SkipWithError("a sound did not load as a streamed one");
            return;
        }
        engine.PanSound(name, 100, 640);
        s->Play(1, nullptr);
    }
    for (auto _ : state)
        for (int pass = 0; pass < 50; ++pass)
            engine.MixFrames(882);
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EightStreamedVoices)->Unit(benchmark::kMillisecond);

// The mixer alone: 8 looped static voices at 22,050 Hz, one second in 20 ms blocks.
void BM_MixerOnly(benchmark::State& state) {
    sound::Mixer mixer;
    const sound::PcmFormat format{1, 16, 22050};
    for (int v = 0; v < 8; ++v) {
        auto buffer =
            std::make_shared<sound::VoiceBuffer>(format, 22050, sound::VoiceBuffer::Kind::Static);
        for (size_t i = 0; i < buffer->StaticBytes().size(); ++i)
            buffer->StaticBytes()[i] = static_cast<uint8_t>(i * 7 + v);
        const auto id = mixer.Add(buffer);
        mixer.SetVolume(id, -600);
        mixer.Play(id, true);
    }
    std::vector<int16_t> block(2 * 882);
    for (auto _ : state) {
        for (int pass = 0; pass < 50; ++pass)
            mixer.Mix(block);
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixerOnly)->Unit(benchmark::kMillisecond);

} // namespace
