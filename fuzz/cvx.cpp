// Walk areas (".cvx") as a room change loads them: parsed, written back byte for byte, turned
// into their text form and back, checked as the tool checks them, and, when no index points
// outside the tables, searched for paths between points taken from the area and the input,
// each path then walked for a few frames.
#include "fuzz/FuzzTarget.h"
#include "walk/PathSearch.h"
#include "walk/WalkArea.h"
#include "walk/WalkMotion.h"
#include "walk/WalkText.h"

#include "support/WalkAreas.h"
#include "support/WalkCycles.h"

namespace {

using platform::Point;

constexpr int kFramesWalked = 48;
constexpr size_t kMaxQueries = 6;

const walk::WalkCycle& Cycle() {
    static const walk::WalkCycle cycle = [] {
        walk::WalkCycle c;
        for (int d = 0; d < walk::kDirectionCount; ++d) {
            const auto [off, leg] = testing_support::UniformTables(d, 6, 6, Point{10, 40});
            c[static_cast<size_t>(d)] = walk::BuildDirectionCycle(off, leg);
        }
        return c;
    }();
    return cycle;
}

// A point from four input bytes, on or around the screen.
Point FromBytes(std::span<const uint8_t> bytes, size_t at) {
    auto byte = [&](size_t i) { return static_cast<int32_t>(bytes[(at + i) % bytes.size()]); };
    return Point{(byte(0) | byte(1) << 8) % 800 - 80, (byte(2) | byte(3) << 8) % 640 - 80};
}

std::vector<std::pair<Point, Point>> Queries(const walk::WalkArea& area,
                                             std::span<const uint8_t> bytes) {
    std::vector<std::pair<Point, Point>> queries;
    const std::vector<Point>& p = area.points;
    if (!p.empty()) {
        queries.push_back({p.front(), p[p.size() / 2]});
        queries.push_back({p.back(), Point{320, 240}});
    }
    if (!area.ribs.empty()) {
        // Between the middles of the first and the last rib: inside a well-made area.
        auto middle = [&](const walk::Rib& r) {
            const Point a = p[static_cast<size_t>(r.a)], b = p[static_cast<size_t>(r.b)];
            return Point{static_cast<int32_t>((int64_t{a.x} + b.x) / 2),
                         static_cast<int32_t>((int64_t{a.y} + b.y) / 2)};
        };
        queries.push_back({middle(area.ribs.front()), middle(area.ribs.back())});
    }
    queries.push_back({Point{-10, -10}, Point{650, 490}});
    for (size_t at = 0; queries.size() < kMaxQueries && at + 8 <= bytes.size(); at += 97)
        queries.push_back({FromBytes(bytes, at), FromBytes(bytes, at + 4)});
    return queries;
}

void Walk(const walk::Path& path) {
    walk::WalkMotion motion(Cycle(), [](int row) { return 0.5 + (row & 0x3FF) / 1024.0; });
    motion.Start(path.points, path.target);
    for (int frame = 0; frame < kFramesWalked; ++frame) {
        const int step = motion.Step();
        fuzz::Require(step == walk::kArrived || step == walk::kStepped || step == walk::kTurned,
                      "a step reports arrival, a step or a turn");
        motion.DrawPosition();
        if (step == walk::kArrived) break;
    }
}

void Search(const walk::WalkArea& area, std::span<const uint8_t> bytes) {
    walk::PathSearch search(area, [](const std::string& message) {
        fuzz::Require(!message.empty(), "a warning has a text");
    });
    for (const auto& [start, target] : Queries(area, bytes)) {
        const walk::Path path = search.FindPath(start, target);
        fuzz::Require(!path.points.empty() && path.points.front() == start,
                      "a path starts where the character stands");
        fuzz::Require(path.points.size() <= area.convexes.size() + 3,
                      "a path has a point per convex crossed at most");
        Walk(path);
        search.IsOutside(start);
        search.ContainingConvex(target);
    }
}

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    return {{"u.cvx", walk::WriteWalkArea(walk_testing::UShape())},
            {"room-u.cvx", walk::WriteWalkArea(walk_testing::RoomU())},
            {"row.cvx", walk::WriteWalkArea(walk_testing::Row(5))}};
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> bytes = fuzz::Input(data, size);
    walk::WalkArea area;
    std::string error;
    if (!walk::ParseWalkArea(bytes, area, error)) {
        fuzz::Require(!error.empty() && area.Empty(), "a refused area leaves nothing behind");
        return 0;
    }
    fuzz::RequireSameBytes(walk::WriteWalkArea(area), bytes, "WriteWalkArea gives back the bytes");
    walk::WalkArea again;
    fuzz::Require(walk::WalkAreaFromText(walk::WalkAreaToText(area), again, error),
                  "the text form reads back");
    fuzz::Require(again == area, "the text form reads back to the same area");
    const std::vector<std::string> faults = walk::CheckWalkArea(area);
    if (!walk::IndexFault(area).empty()) {
        fuzz::Require(!faults.empty(), "an index fault is reported by the check");
        return 0;
    }
    for (size_t c = 0; c < area.convexes.size(); ++c)
        walk::ConvexPoints(area, c);
    Search(area, bytes);
    return 0;
}
