// Animation decoding: laps of a generated 640×480, 200-frame FLC written by the engine's
// encoder, in memory mode and in streaming mode, beside a memcpy of one 640×480×2 frame.
// Two animations: /0 six 64×64 sprites moving over a still patterned background (small
// deltas), /1 the same over a scrolling background (every pixel changes every frame).
// frames/s counts decoded frames (the ring frame included); bytes/s counts FLC bytes read.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/FlicDecoder.h"

#include "BenchSamples.h"

namespace {

using namespace benchsamples;

const std::vector<uint8_t>& Animation(bool scrolling) {
    static const std::vector<uint8_t> sprites = MakeAnimation(false);
    static const std::vector<uint8_t> scrolled = MakeAnimation(true);
    return scrolling ? scrolled : sprites;
}

class MemorySource : public codecs::FlicSource {
public:
    explicit MemorySource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        if (offset + out.size() > bytes_.size()) return false;
        std::memcpy(out.data(), bytes_.data() + offset, out.size());
        return true;
    }

private:
    const std::vector<uint8_t>& bytes_;
};

void DecodeLaps(benchmark::State& state, codecs::FlicPlayback& decoder, size_t fileSize) {
    std::vector<uint16_t> pixels(static_cast<size_t>(kW) * kH);
    for (auto _ : state) {
        for (int i = 0; i <= kFrames; ++i)
            if (!decoder.NextFrame({pixels, kW})) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * (kFrames + 1));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fileSize));
    state.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * (kFrames + 1)), benchmark::Counter::kIsRate);
}

void BM_FlicMemoryMode(benchmark::State& state) {
    const std::vector<uint8_t>& file = Animation(state.range(0) != 0);
    codecs::FlicDecoder decoder;
    if (!decoder.Open(file, platform::PixelShifts{})) state.SkipWithError("open failed");
    state.counters["file_bytes"] = static_cast<double>(file.size());
    DecodeLaps(state, decoder, file.size());
}

void BM_FlicStreamingMode(benchmark::State& state) {
    const std::vector<uint8_t>& file = Animation(state.range(0) != 0);
    codecs::FlicStreamDecoder decoder;
    if (!decoder.Open(std::make_unique<MemorySource>(file), platform::PixelShifts{}))
        state.SkipWithError("open failed");
    state.counters["buffer_bytes"] = static_cast<double>(codecs::MaxStreamFrameSize(kW, kH));
    DecodeLaps(state, decoder, file.size());
}

void BM_FrameMemcpy(benchmark::State& state) {
    std::vector<uint16_t> src(static_cast<size_t>(kW) * kH, 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size() * sizeof(uint16_t));
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 2);
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_FlicMemoryMode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlicStreamingMode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameMemcpy);
