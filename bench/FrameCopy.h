#pragma once
// The yardstick every benchmark is read against: a memcpy of one 640x480 16-bit frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

inline void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint16_t> src(640 * 480, 1), dst(640 * 480);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size() * 2);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
