#pragma once
// Timing for the decoder comparisons: the best of several runs of a decode, each run long
// enough to be measured, so that other work on a shared machine disturbs the result less.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace compare {

inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Items (frames, pictures) per second of two decodes, each of which decodes `items` of them
// and returns false on failure (a rate of 0). Runs of the two alternate, so that both meet
// the same conditions; the best run of each counts.
template <typename Ours, typename Theirs>
std::pair<double, double> BestRates(int items, Ours ours, Theirs theirs) {
    constexpr int kRuns = 15;
    constexpr double kMinRunSeconds = 0.2;
    auto rate = [items](auto& decode) {
        int repeats = 0;
        double seconds = 0;
        const auto start = std::chrono::steady_clock::now();
        do {
            if (!decode()) return 0.0;
            ++repeats;
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        } while (seconds < kMinRunSeconds);
        return repeats * items / seconds;
    };
    double bestOurs = 0, bestTheirs = 0;
    for (int run = 0; run < kRuns; ++run) {
        const double a = rate(ours), b = rate(theirs);
        if (a == 0 || b == 0) return {a, b};
        bestOurs = std::max(bestOurs, a);
        bestTheirs = std::max(bestTheirs, b);
    }
    return {bestOurs, bestTheirs};
}

inline void Report(const std::string& what, const char* unit, double ours, const char* other,
                   double theirs, double target) {
    const double ratio = theirs > 0 ? ours / theirs : 0;
    std::printf("%s\n", what.c_str());
    std::printf("  tarvo    %10.1f %s/s\n", ours, unit);
    std::printf("  %-8s %10.1f %s/s\n", other, theirs, unit);
    std::printf("  ratio    %10.2fx   (target %.0fx: %s)\n", ratio, target,
                ratio >= target ? "met" : "NOT met");
}

} // namespace compare
