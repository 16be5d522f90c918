// Full-screen copies between 640×480 16-bit surfaces, beside a plain memcpy of the same
// bytes: the opaque copy draws room backgrounds, the keyed copy every sprite.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/Surface.h"

using platform::Pixel;
using platform::Surface;

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

Surface MakeSprite() {
    Surface s(kW, kH);
    // About a third transparent, in runs, like a sprite sheet over a background.
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            s.Set(x, y, ((x / 7 + y / 5) % 3 == 0) ? 0xF81F : static_cast<Pixel>(x * 31 + y));
    s.SetColorKey(0xF81F);
    return s;
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<Pixel> src(kW * kH, 1), dst(kW * kH);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size() * sizeof(Pixel));
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 2);
}

void BM_OpaqueCopy(benchmark::State& state) {
    Surface src = MakeSprite(), dst(kW, kH);
    for (auto _ : state) {
        dst.BltFast(0, 0, src, src.Bounds(), platform::kBltWait);
        benchmark::DoNotOptimize(dst.Row(0));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 2);
}

void BM_KeyedCopy(benchmark::State& state) {
    Surface src = MakeSprite(), dst(kW, kH);
    for (auto _ : state) {
        dst.BltFast(0, 0, src, src.Bounds(), platform::kBltSrcColorKey | platform::kBltWait);
        benchmark::DoNotOptimize(dst.Row(0));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 2);
}

void BM_ScaledCopy(benchmark::State& state) {
    Surface src = MakeSprite(), dst(kW * 3 / 4, kH * 3 / 4);
    for (auto _ : state) {
        dst.Blt(dst.Bounds(), src, src.Bounds());
        benchmark::DoNotOptimize(dst.Row(0));
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_OpaqueCopy);
BENCHMARK(BM_KeyedCopy);
BENCHMARK(BM_ScaledCopy);
