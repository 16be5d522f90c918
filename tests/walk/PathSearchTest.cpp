// Paths through hand-made walk areas: around a concave outline, straightened where the line
// is clear, with targets and starts outside, and data that is broken in the ways that used
// to hang or mislead a search.
#include <gtest/gtest.h>

#include "support/WalkAreas.h"
#include "walk/PathSearch.h"

using namespace walk;
using namespace walk_testing;

namespace {

struct Search {
    explicit Search(WalkArea a)
        : area(std::move(a)),
          search(area, [this](const std::string& m) { warnings.push_back(m); }) {}
    WalkArea area;
    std::vector<std::string> warnings;
    PathSearch search;
};

using Points = std::vector<Point>;

} // namespace

TEST(PathSearch, FindsTheWayAroundAConcaveOutlineAndStraightensWhereItCan) {
    const struct {
        const char* what;
        Point start, target;
        Points path;
        Point target2; // the target as the path ends at it
    } cases[] = {
        {"arm to arm: round both corners of the notch",
         {150, 150},
         {350, 150},
         {{150, 150}, {200, 240}, {300, 240}, {350, 150}},
         {350, 150}},
        {"inside one convex", {150, 150}, {150, 250}, {{150, 150}, {150, 250}}, {150, 250}},
        {"in sight across three convexes",
         {150, 250},
         {350, 250},
         {{150, 250}, {350, 250}},
         {350, 250}},
        {"the midpoint goes where the line clears the corner",
         {150, 120},
         {250, 260},
         {{150, 120}, {250, 260}},
         {250, 260}},
        {"a click on the start", {150, 150}, {150, 150}, {{150, 150}}, {150, 150}},
        // In the notch, 50 from its left and right sides: the first of the nearest ribs wins.
        {"a click outside goes to the nearest outline point",
         {150, 250},
         {250, 120},
         {{150, 250}, {200, 120}},
         {200, 120}},
        {"a start outside walks onto the area first",
         {250, 120},
         {350, 250},
         {{250, 120}, {200, 120}, {200, 240}, {350, 250}},
         {350, 250}},
    };
    for (const auto& c : cases) {
        Search s(UShape());
        const Path path = s.search.FindPath(c.start, c.target);
        EXPECT_EQ(path.points, c.path) << c.what;
        EXPECT_EQ(path.target, c.target2) << c.what;
        EXPECT_TRUE(s.warnings.empty()) << c.what;
    }
}

TEST(PathSearch, NoStraightenedSegmentEverCrossesTheOutline) {
    for (const WalkArea& area : {UShape(), Row(6)}) {
        Search s(area);
        Points inside;
        for (int y = 105; y < 300; y += 19)
            for (int x = 105; x < 400; x += 23)
                if (!s.search.IsOutside({x, y})) inside.push_back({x, y});
        ASSERT_GT(inside.size(), 20u);
        for (Point from : inside)
            for (Point to : inside) {
                const Path path = s.search.FindPath(from, to);
                ASSERT_EQ(path.points.front(), from);
                ASSERT_EQ(path.points.back(), to);
                ASSERT_LE(path.points.size(), area.convexes.size() + 1);
                for (size_t i = 1; i < path.points.size(); ++i)
                    ASSERT_EQ(s.search.CrossesOutline(path.points[i - 1], path.points[i]), 0)
                        << from.x << "," << from.y << " -> " << to.x << "," << to.y;
            }
        EXPECT_TRUE(s.warnings.empty());
    }
}

TEST(PathSearch, OutlineQueriesCountOnlyRealCrossings) {
    Search s(UShape());
    PathSearch& q = s.search;
    EXPECT_EQ(q.CrossesOutline({150, 150}, {200, 150}), 0); // ends on the outline
    EXPECT_EQ(q.CrossesOutline({150, 150}, {250, 150}), 1); // through the notch's side
    EXPECT_EQ(q.CrossesOutline({150, 130}, {250, 230}), 1); // through the notch's corner
    EXPECT_EQ(q.CrossesOutline({150, 150}, {150, 150}), 0);
    EXPECT_EQ(q.CrossesOutline({150, 250}, {350, 250}), 0); // along the band
    EXPECT_EQ(q.IsOutside({150, 150}), 0);
    EXPECT_EQ(q.IsOutside({250, 140}), 1); // in the notch
    EXPECT_EQ(q.IsOutside({50, 50}), 1);
    EXPECT_EQ(q.ContainingConvex({150, 150}), 0);
    EXPECT_EQ(q.ContainingConvex({250, 250}), 1);
    EXPECT_EQ(q.ContainingConvex({350, 150}), 2);
    EXPECT_EQ(q.ContainingConvex({200, 250}), 0); // on the rib between 0 and 1: the first
    EXPECT_EQ(q.NextNeighbour(1, -1), 2);         // through rib 11, listed before rib 10
    EXPECT_EQ(q.NextNeighbour(1, 2), 0);
    EXPECT_EQ(q.NextNeighbour(1, 0), -1);
    Point p{60, 200}; // left of the left arm
    EXPECT_EQ(q.ClosestOutlineRib(p), 0);
    EXPECT_EQ(p, (Point{100, 200}));
    EXPECT_TRUE(s.warnings.empty());
}

TEST(PathSearch, APointInTheOutlineButInNoConvexGoesToTheOutline) {
    WalkArea gap = UShape();
    gap.convexes[1] = {}; // the middle of the band belongs to no convex
    Search s(gap);
    EXPECT_EQ(s.search.ContainingConvex({250, 250}), 0);
    const Path path = s.search.FindPath({150, 250}, {250, 260});
    EXPECT_EQ(path.target, (Point{250, 300})); // the bottom is nearer than the notch
}

TEST(PathSearch, BrokenDataIsReportedAndNeverHangsTheSearch) {
    // Convexes 0 and 1 share two ribs and the right arm shares none (it lists a copy of rib
    // 11): a search that only skipped the convex it came from would go round forever.
    WalkArea twice = UShape();
    twice.convexes[0].push_back(11);
    twice.ribs.push_back(Rib{3, 7});
    twice.convexes[2] = {3, 4, 5, 6, 12};
    Search cut(twice);
    EXPECT_EQ(cut.search.FindPath({150, 150}, {350, 150}).points, (Points{{150, 150}, {350, 150}}));

    const struct {
        const char* what;
        void (*breakIt)(WalkArea&);
        const char* warning;
    } cases[] = {
        {"a convex whose ribs do not close",
         [](WalkArea& a) {
             a.convexes[1] = {2, 11, 7};
         },
         kRibsShareNoPoint},
        {"an outline rib in no convex",
         [](WalkArea& a) {
             a.convexes[0] = {0, 1, 10, 8};
         },
         kClosestRibInNoConvex},
    };
    for (const auto& c : cases) {
        WalkArea area = UShape();
        c.breakIt(area);
        Search s(area);
        const Path path = s.search.FindPath({350, 250}, {60, 200}); // to the left of the U
        EXPECT_EQ(path.points.front(), (Point{350, 250})) << c.what;
        EXPECT_NE(std::find(s.warnings.begin(), s.warnings.end(), c.warning), s.warnings.end())
            << c.what;
    }
    Search unrelated(UShape());
    EXPECT_EQ(unrelated.search.SharedRib(0, 2), 0);
    EXPECT_EQ(unrelated.warnings, std::vector<std::string>{kConvexesShareNoRib});
}

TEST(PathSearch, AnAreaWithoutConvexesWalksStraight) {
    Search none(WalkArea{});
    EXPECT_EQ(none.search.FindPath({10, 10}, {600, 400}).points, (Points{{10, 10}, {600, 400}}));
    EXPECT_EQ(none.search.FindPath({10, 10}, {10, 10}).points, (Points{{10, 10}}));
}
