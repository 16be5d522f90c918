#include "walk/WalkCycle.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace walk {

namespace {

constexpr double kPi = 3.14159;
// The motion summed over this many frames gives a direction's slope.
constexpr int kSlopeTerms = 150;

} // namespace

const std::array<Direction, kDirectionCount> kDirections = {{
    {"-w-n.", 0.5 * kPi, "N"},
    {"-w-ne.", 0.25 * kPi, "NE"},
    {"-w-e.", 0.0, "E"},
    {"-w-se.", -0.25 * kPi, "SE"},
    {"-w-s.", -0.5 * kPi, "S"},
    {"-w-sw.", -0.25 * kPi - 0.5 * kPi, "SW"},
    {"-w-w.", kPi, "W"},
    {"-w-nw.", 0.75 * kPi, "NW"},
}};

StepTable ParseStepTable(std::span<const uint8_t> bytes) {
    platform::ByteReader in(bytes);
    StepTable table;
    if (bytes.size() >= 4) {
        table.header = in.I32();
        table.records.resize(in.Remaining() / 8);
        for (Point& p : table.records) {
            p.x = in.I32();
            p.y = in.I32();
        }
    }
    const std::span<const uint8_t> rest = in.Bytes(in.Remaining());
    table.trailing.assign(rest.begin(), rest.end());
    return table;
}

std::vector<uint8_t> WriteStepTable(const StepTable& table) {
    platform::ByteWriter w;
    if (table.header) w.I32(*table.header);
    for (const Point& p : table.records) {
        w.I32(p.x);
        w.I32(p.y);
    }
    w.Bytes(table.trailing);
    return w.Take();
}

DirectionCycle BuildDirectionCycle(const StepTable& offsets, const StepTable& anchors) {
    DirectionCycle cycle;
    const int n = static_cast<int>(offsets.records.size()) - 1;
    if (n <= 0 || anchors.records.size() < offsets.records.size()) return cycle;
    cycle.frameCount = n;
    cycle.anchors = anchors.records;
    cycle.motion.resize(static_cast<size_t>(n) + 1);
    for (size_t i = 1; i <= static_cast<size_t>(n); ++i) {
        const Point off = offsets.records[i], leg = anchors.records[i],
                    before = anchors.records[i - 1];
        cycle.motion[i] = Point{static_cast<int32_t>(int64_t{off.x} + leg.x - before.x),
                                static_cast<int32_t>(int64_t{off.y} + leg.y - before.y)};
    }
    cycle.motion[0] = cycle.motion[static_cast<size_t>(n)];
    double sumX = 0, sumY = 0;
    for (int term = 0, i = 1 % n; term < kSlopeTerms; ++term, i = (i + 1) % n) {
        sumX += cycle.motion[static_cast<size_t>(i)].x;
        sumY += cycle.motion[static_cast<size_t>(i)].y;
    }
    cycle.upright = sumX == 0;
    cycle.slope = cycle.upright ? 0.0 : sumY / sumX;
    return cycle;
}

} // namespace walk
