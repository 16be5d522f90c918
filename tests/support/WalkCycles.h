#pragma once
// Walk cycles for tests: every direction moving a fixed distance per frame along its own
// angle, as step tables in memory or as the 16 files a walker reads.
#include <cmath>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "walk/WalkCycle.h"

namespace testing_support {

// `step` pixels along direction d's angle, rounded (y grows down the screen).
inline platform::Point DirectionStep(int d, double step) {
    const double a = walk::kDirections[static_cast<size_t>(d)].angle;
    return platform::Point{static_cast<int32_t>(std::lround(step * std::cos(a))),
                           static_cast<int32_t>(std::lround(-step * std::sin(a)))};
}

inline walk::StepTable StepTableOf(std::vector<platform::Point> records) {
    walk::StepTable t;
    t.header = 0;
    t.records = std::move(records);
    return t;
}

// The "off" and "leg" tables of direction d: `frames` frames, each moving DirectionStep,
// the anchor at `anchor` in every frame.
inline std::pair<walk::StepTable, walk::StepTable> UniformTables(int d, double step, int frames,
                                                                 platform::Point anchor) {
    const size_t n = static_cast<size_t>(frames) + 1;
    return {StepTableOf(std::vector<platform::Point>(n, DirectionStep(d, step))),
            StepTableOf(std::vector<platform::Point>(n, anchor))};
}

// Writes BASE-w-n.off, BASE-w-n.leg, ... BASE-w-nw.leg into `dir`.
inline void WriteUniformCycle(const TempDir& dir, const std::string& base, double step, int frames,
                              platform::Point anchor) {
    auto text = [](const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); };
    for (int d = 0; d < walk::kDirectionCount; ++d) {
        const auto [off, leg] = UniformTables(d, step, frames, anchor);
        const std::string stem = base + walk::kDirections[static_cast<size_t>(d)].suffix;
        dir.Write(stem + "off", text(walk::WriteStepTable(off)));
        dir.Write(stem + "leg", text(walk::WriteStepTable(leg)));
    }
}

} // namespace testing_support
