// Walk cycles from their step tables, and the walk along a path: the direction of each
// segment, frame-exact arrival, segments that keep or restart the cycle, perspective.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/ByteWriter.h"
#include "support/WalkCycles.h"
#include "walk/WalkMotion.h"

using namespace walk;
using platform::Point;

namespace {

using testing_support::StepTableOf;

// Every direction with `frames` frames moving `step` pixels along its own nominal angle
// (rounded), the anchor at (20, 90) in every frame; `without` lists directions left empty.
WalkCycle Uniform(double step, int frames = 4, std::vector<int> without = {}) {
    WalkCycle cycle;
    for (int d = 0; d < kDirectionCount; ++d) {
        if (std::find(without.begin(), without.end(), d) != without.end()) continue;
        const auto [off, leg] = testing_support::UniformTables(d, step, frames, Point{20, 90});
        cycle[static_cast<size_t>(d)] = BuildDirectionCycle(off, leg);
    }
    return cycle;
}

struct Walker {
    explicit Walker(WalkCycle c, double scale = 1.0)
        : cycle(std::move(c)), motion(cycle, [scale](int) { return scale; }) {}
    // Steps until arrival; the results, and the position after each step.
    std::vector<int> WalkAll(std::vector<Point>* positions = nullptr) {
        std::vector<int> results;
        for (int guard = 0; guard < 1000; ++guard) {
            results.push_back(motion.Step());
            if (positions != nullptr) positions->push_back(motion.Position());
            if (results.back() == kArrived) break;
        }
        return results;
    }
    WalkCycle cycle;
    WalkMotion motion;
};

} // namespace

TEST(WalkCycle, StepTablesReadAnyFileAndWriteItBack) {
    platform::ByteWriter w;
    for (int32_t v : {7, 1, 2, 3, 4})
        w.I32(v);
    std::vector<uint8_t> bytes = w.Take();
    bytes.insert(bytes.end(), {9, 9, 9});
    const StepTable table = ParseStepTable(bytes);
    EXPECT_EQ(table.header, 7);
    EXPECT_EQ(table.records, (std::vector<Point>{{1, 2}, {3, 4}}));
    EXPECT_EQ(table.trailing, (std::vector<uint8_t>{9, 9, 9}));
    EXPECT_EQ(WriteStepTable(table), bytes);
    const std::vector<uint8_t> stub{1, 2};
    EXPECT_FALSE(ParseStepTable(stub).header);
    EXPECT_EQ(WriteStepTable(ParseStepTable(stub)), stub);
    EXPECT_TRUE(ParseStepTable({}).records.empty());
}

TEST(WalkCycle, MotionComesFromOffsetsAndAnchorsAndRefusesBrokenDirections) {
    const DirectionCycle c = BuildDirectionCycle(StepTableOf({{0, 0}, {10, 0}, {12, 1}}),
                                                 StepTableOf({{5, 50}, {6, 50}, {4, 51}}));
    ASSERT_TRUE(c.Usable());
    EXPECT_EQ(c.frameCount, 2);
    // Into frame i: the picture's offset plus how far the anchor moved inside it.
    EXPECT_EQ(c.motion, (std::vector<Point>{{10, 2}, {11, 0}, {10, 2}}));
    EXPECT_DOUBLE_EQ(c.slope, (75.0 * 2) / (75.0 * 11 + 75.0 * 10));
    EXPECT_FALSE(c.upright);

    EXPECT_FALSE(BuildDirectionCycle(StepTableOf({{1, 1}}), StepTableOf({{0, 0}})).Usable());
    EXPECT_FALSE(BuildDirectionCycle(StepTable{}, StepTable{}).Usable());
    EXPECT_FALSE(
        BuildDirectionCycle(StepTableOf({{0, 0}, {1, 1}, {1, 1}}), StepTableOf({{0, 0}, {0, 0}}))
            .Usable()); // fewer anchors than frames
    EXPECT_TRUE(
        BuildDirectionCycle(StepTableOf({{0, 0}, {0, 5}}), StepTableOf({{0, 0}, {0, 0}})).upright);
}

TEST(WalkMotion, EachSegmentTakesTheNearestDirection) {
    const struct {
        Point to;
        int direction;
    } cases[] = {
        {{300, 200}, 2}, {{200, 100}, 0}, {{100, 200}, 6}, {{100, 199}, 6}, {{100, 201}, 6},
        {{300, 100}, 1}, {{300, 160}, 2}, {{300, 300}, 3}, {{200, 300}, 4}, {{100, 300}, 5},
        {{100, 100}, 7}, {{160, 300}, 4}, {{240, 100}, 0},
    };
    for (const auto& c : cases) {
        Walker w(Uniform(10));
        w.motion.Start({{200, 200}, c.to}, c.to);
        EXPECT_EQ(w.motion.Direction(), c.direction) << c.to.x << "," << c.to.y;
    }
}

TEST(WalkMotion, ASegmentEndsOnTheFrameClosestToItsEnd) {
    Walker w(Uniform(10));
    w.motion.Start({{100, 200}, {155, 200}}, {155, 200});
    std::vector<Point> at;
    // 150 and 160 are both 5 away: the first one counts.
    EXPECT_EQ(w.WalkAll(&at), (std::vector<int>{1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(at[4], (Point{150, 200}));
    EXPECT_EQ(w.motion.Target(), (Point{155, 200}));

    Walker fast(Uniform(10), 2.0); // nearer the camera: the same way in fewer frames
    fast.motion.Start({{100, 200}, {155, 200}}, {155, 200});
    EXPECT_EQ(fast.WalkAll(), (std::vector<int>{1, 1, 1, 0}));
}

TEST(WalkMotion, SegmentsStartExactlyOnTheirPathPoints) {
    Walker w(Uniform(10, 4));
    const std::vector<Point> path{{100, 200}, {147, 200}, {196, 200}, {196, 263}};
    w.motion.Start(path, path.back());
    // Five frames to 150, the closest to 147; the sixth starts the second segment exactly on
    // 147 in the same direction, so the cycle goes on (frames 1, 2, 3, 0, 1, then 2).
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.motion.Step(), kStepped);
    EXPECT_EQ(w.motion.Position(), (Point{150, 200}));
    EXPECT_EQ(w.motion.Step(), kStepped);
    EXPECT_EQ(w.motion.Position(), (Point{147, 200}));
    EXPECT_EQ(w.motion.Frame(), 2);
    // The turn south restarts the cycle at frame 0 on the next path point.
    int result = kStepped;
    while (result == kStepped)
        result = w.motion.Step();
    EXPECT_EQ(result, kTurned);
    EXPECT_EQ(w.motion.Position(), (Point{196, 200}));
    EXPECT_EQ(w.motion.Frame(), 0);
    EXPECT_EQ(w.motion.Direction(), 4);
    EXPECT_EQ(w.WalkAll().back(), kArrived);
}

TEST(WalkMotion, TheCorrectionTurnsTheCycleOntoTheSegment) {
    for (Point to : {Point{300, 180}, Point{300, 230}, Point{120, 40}, Point{20, 260}}) {
        Walker w(Uniform(9));
        w.motion.Start({{200, 200}, to}, to);
        const int steps = w.motion.RemainingSteps();
        for (int i = 0; i < steps; ++i)
            w.motion.Step();
        const Point p = w.motion.Position();
        EXPECT_LE(std::hypot(p.x - to.x, p.y - to.y), 6.0) << to.x << "," << to.y;
    }
}

TEST(WalkMotion, ADirectionWithoutACycleStopsTheWalkWhereItIs) {
    Walker noSouth(Uniform(10, 4, {4}));
    const std::vector<Point> path{{100, 200}, {150, 200}, {150, 300}};
    noSouth.motion.Start(path, path.back());
    std::vector<Point> at;
    const std::vector<int> results = noSouth.WalkAll(&at);
    EXPECT_EQ(results.back(), kArrived);
    EXPECT_EQ(noSouth.motion.Target(), (Point{150, 200}));
    EXPECT_EQ(std::count(results.begin(), results.end(), kTurned), 0);

    Walker none(WalkCycle{});
    none.motion.Start({{100, 200}, {300, 200}}, {300, 200});
    EXPECT_EQ(none.motion.Step(), kArrived);
    EXPECT_EQ(none.motion.Target(), (Point{100, 200}));
}

TEST(WalkMotion, ThePictureIsPlacedByTheScaledAnchor) {
    Walker w(Uniform(10), 0.5);
    w.motion.Start({{100, 200}, {200, 200}}, {200, 200});
    w.motion.Step();
    EXPECT_EQ(w.motion.Position(), (Point{105, 200}));
    EXPECT_EQ(w.motion.DrawPosition(), (Point{105 - 10, 200 - 45}));
    Walker there(Uniform(10));
    there.motion.Start({{100, 200}}, {100, 200});
    EXPECT_EQ(there.motion.Step(), kArrived);
}
