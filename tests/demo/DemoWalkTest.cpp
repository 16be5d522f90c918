// The demo's walking data: every room has a walk area an author would sign off (no gaps, every
// walk point and entry on the floor), and both characters walk in all eight directions with
// step tables that fit their animations.
#include "demo/DemoData.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "walk/PathSearch.h"
#include "walk/WalkArea.h"
#include "walk/WalkCycle.h"

namespace {

using demo_test::DemoData;
using demo_test::ReadThroughFileLayer;
using platform::Point;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Whether a character sent to p gets there: p is on the floor, not moved onto the outline.
bool OnTheFloor(walk::PathSearch& search, Point p) {
    return search.FindPath(p, p).target == p;
}

} // namespace

TEST_F(DemoData, EveryRoomHasAWellMadeWalkAreaHoldingItsWalkPoints) {
    for (const BgRoom& room : rooms_.rooms) {
        if (IsScreen(static_cast<uint16_t>(room.roomId))) continue; // not rooms: no floor
        const ScriptObject& roomObject = *ById(static_cast<uint16_t>(room.roomId));
        int32_t picture = -1;
        for (const ScriptReaction& r : roomObject.reactions)
            for (const ScriptMessage& m : r.messages)
                if (m.type == SET && m.target == roomObject.id) picture = m.param1;
        const std::string image = Lower(table_.at(picture).fileName);
        const std::string name = image.substr(0, image.find(".bmp")) + ".cvx";
        SCOPED_TRACE(name);
        walk::WalkArea area;
        std::string error;
        ASSERT_TRUE(walk::ParseWalkArea(ReadThroughFileLayer(name), area, error)) << error;
        const std::vector<std::string> problems = walk::CheckWalkArea(area);
        EXPECT_TRUE(problems.empty()) << problems.front();
        std::vector<std::string> warnings;
        walk::PathSearch search(area, [&](const std::string& m) { warnings.push_back(m); });
        for (const BgPlacement& p : room.placements) {
            if (p.walkX == -1) continue;
            EXPECT_TRUE(OnTheFloor(search, {p.walkX, p.walkY}))
                << ById(p.objectId)->Name() << " at " << p.walkX << ", " << p.walkY;
        }
        // No gaps: every point inside the outline lies in a convex.
        int inside = 0;
        for (int y = 300; y < 480; y += 7)
            for (int x = 3; x < 1280; x += 11) {
                if (search.IsOutside({x, y})) continue;
                ++inside;
                ASSERT_TRUE(OnTheFloor(search, {x, y})) << x << ", " << y;
            }
        EXPECT_GT(inside, 500);
        EXPECT_TRUE(warnings.empty()) << warnings.front();
    }
}

TEST_F(DemoData, BothCharactersWalkEveryWayWithTablesThatFitTheirFrames) {
    ASSERT_EQ(BaseAnimations().size(), 2u);
    for (int32_t base : BaseAnimations()) {
        const std::string first = Lower(table_.at(base + 10).fileName);
        const std::string stem = first.substr(0, first.find("-w-n."));
        for (int d = 0; d < walk::kDirectionCount; ++d) {
            const walk::Direction& direction = walk::kDirections[static_cast<size_t>(d)];
            SCOPED_TRACE(stem + direction.suffix);
            EXPECT_EQ(Lower(table_.at(base + 10 + d).fileName), stem + direction.suffix + "flc");
            const walk::DirectionCycle cycle = walk::BuildDirectionCycle(
                walk::ParseStepTable(ReadThroughFileLayer(stem + direction.suffix + "off")),
                walk::ParseStepTable(ReadThroughFileLayer(stem + direction.suffix + "leg")));
            ASSERT_TRUE(cycle.Usable());
            EXPECT_FALSE(cycle.upright) << "the walk could not turn onto a path";
            const codecs::FlicHeader header = FlicHeaderOf(table_.at(base + 10 + d).fileName);
            EXPECT_EQ(cycle.frameCount, header.frameCount);
            for (const Point& anchor : cycle.anchors) {
                EXPECT_TRUE(platform::Rect(0, 0, header.width, header.height + 1)
                                .Contains(anchor.x, anchor.y));
                EXPECT_EQ(anchor.x * 2, header.width) << "the anchor is off the middle";
            }
            // The cycle carries the character the way its direction points.
            int64_t sumX = 0, sumY = 0;
            for (const Point& m : cycle.motion) {
                sumX += m.x;
                sumY += m.y;
            }
            const double angle = std::atan2(-static_cast<double>(sumY), static_cast<double>(sumX));
            EXPECT_NEAR(std::remainder(angle - direction.angle, 2 * 3.14159265), 0.0, 0.35);
            EXPECT_TRUE(table_.at(base + 10 + d).keep) << "walk animations stay loaded";
        }
    }
}
