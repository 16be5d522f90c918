// Walk-cycle step tables ("off"/"leg") as a walker reads them: one file parsed and written
// back byte for byte, through its text form and back, then made into a whole cycle (every
// direction's "off" table is the file, its "leg" table the file's records from the
// direction's number on) and walked a few frames along a path that turns through every
// direction, at a scale that changes with the row.
#include "fuzz/FuzzTarget.h"
#include "walk/WalkCycle.h"
#include "walk/WalkMotion.h"
#include "walk/WalkText.h"

#include "support/WalkCycles.h"

namespace {

using platform::Point;

constexpr int kFramesWalked = 64;

walk::WalkCycle MakeCycle(const walk::StepTable& table) {
    walk::WalkCycle cycle;
    for (size_t d = 0; d < cycle.size(); ++d) {
        walk::StepTable anchors = table;
        anchors.records.erase(anchors.records.begin(),
                              anchors.records.begin() +
                                  static_cast<std::ptrdiff_t>(std::min(d, table.records.size())));
        cycle[d] = walk::BuildDirectionCycle(table, anchors);
        const walk::DirectionCycle& c = cycle[d];
        fuzz::Require(c.Usable() == (table.records.size() >= 2 &&
                                     anchors.records.size() >= table.records.size()),
                      "a direction is usable when its tables hold two steps or more");
        fuzz::Require(!c.Usable() || (c.motion.size() == size_t(c.frameCount) + 1 &&
                                      c.anchors.size() >= c.motion.size()),
                      "a usable direction has a motion and an anchor per frame");
    }
    return cycle;
}

// A star from the middle of the screen, out and back in every direction.
std::vector<Point> Path(std::span<const uint8_t> bytes) {
    const int32_t reach = 20 + (bytes.empty() ? 0 : bytes.back() % 200);
    std::vector<Point> path{{320, 240}};
    for (int d = 0; d < walk::kDirectionCount; ++d) {
        const Point step = testing_support::DirectionStep(d, reach);
        path.push_back(Point{320 + step.x, 240 + step.y});
        path.push_back(Point{320, 240});
    }
    return path;
}

void Walk(const walk::WalkCycle& cycle, const std::vector<Point>& path) {
    // Rows above the screen give a scale of 0 and below it one of more than 1, as a room's
    // perspective with its horizon on screen does.
    walk::WalkMotion motion(cycle, [](int row) { return std::max(0.0, row / 240.0); });
    motion.Start(path, path.back());
    for (int frame = 0; frame < kFramesWalked; ++frame) {
        const int step = motion.Step();
        fuzz::Require(step == walk::kArrived || step == walk::kStepped || step == walk::kTurned,
                      "a step reports arrival, a step or a turn");
        const walk::DirectionCycle& c = cycle[static_cast<size_t>(motion.Direction())];
        fuzz::Require(motion.Frame() >= 0 && (!c.Usable() || motion.Frame() < c.frameCount),
                      "the frame stays inside the cycle");
        motion.DrawPosition();
        if (step == walk::kArrived) break;
    }
}

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    using testing_support::UniformTables;
    std::vector<Seed> seeds;
    const auto [off, leg] = UniformTables(2, 7, 8, Point{12, 60});
    seeds.push_back({"east.off", walk::WriteStepTable(off)});
    seeds.push_back({"east.leg", walk::WriteStepTable(leg)});
    walk::StepTable uneven = UniformTables(1, 5, 3, Point{4, 4}).first;
    uneven.trailing = {1, 2, 3};
    seeds.push_back({"trailing.off", walk::WriteStepTable(uneven)});
    seeds.push_back({"short.off", {9, 0, 0}});
    return seeds;
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> bytes = fuzz::Input(data, size);
    const walk::StepTable table = walk::ParseStepTable(bytes);
    fuzz::RequireSameBytes(walk::WriteStepTable(table), bytes,
                           "WriteStepTable gives back the bytes");
    walk::StepTable again;
    std::string error;
    fuzz::Require(walk::StepTableFromText(walk::StepTableToText(table), again, error),
                  "the text form reads back");
    fuzz::Require(again == table, "the text form reads back to the same table");
    Walk(MakeCycle(table), Path(bytes));
    return 0;
}
