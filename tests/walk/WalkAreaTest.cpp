// The .cvx format: what is read, what is refused, and what the checker tells an author.
#include <gtest/gtest.h>

#include "platform/ByteWriter.h"
#include "support/WalkAreas.h"
#include "walk/WalkArea.h"
#include "walk/WalkText.h"

using namespace walk;
using namespace walk_testing;

namespace {

std::vector<uint8_t> Words(std::initializer_list<int32_t> words) {
    platform::ByteWriter w;
    for (int32_t v : words)
        w.I32(v);
    return w.Take();
}

bool Has(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& l : lines)
        if (l.find(part) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(WalkAreaFormat, ReadsTheFieldsInFileOrderAndWritesThemBack) {
    // A triangle: 3 points, its 3 outline ribs, one convex listing them, then 2 stray bytes.
    std::vector<uint8_t> bytes =
        Words({3, 10, 20, 90, 20, 50, 70, 3, 0, 1, 1, 2, 2, 0, 1, 3, 2, 0, 1});
    bytes.push_back(0xAB);
    bytes.push_back(0xCD);
    WalkArea area;
    std::string error;
    ASSERT_TRUE(ParseWalkArea(bytes, area, error)) << error;
    EXPECT_EQ(area.points, (std::vector<Point>{{10, 20}, {90, 20}, {50, 70}}));
    EXPECT_EQ(area.ribs, (std::vector<Rib>{{0, 1}, {1, 2}, {2, 0}}));
    EXPECT_EQ(area.convexes, (std::vector<std::vector<int32_t>>{{2, 0, 1}}));
    EXPECT_EQ(area.trailing, (std::vector<uint8_t>{0xAB, 0xCD}));
    EXPECT_EQ(WriteWalkArea(area), bytes);
    EXPECT_TRUE(CheckWalkArea(area).empty());
}

TEST(WalkAreaFormat, RefusesWhatCannotBeReadWhole) {
    const struct {
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {{}, "where the point count should be"},
        {Words({-1}), "the point count is -1"},
        {Words({1000000000, 1, 2}), "1000000000 points do not fit"},
        {Words({1, 5, 5}), "where the rib count should be"},
        {Words({1, 5, 5, 1, 0}), "1 ribs do not fit"},
        {Words({1, 5, 5, 0, 2, 1}), "2 convexs do not fit"},
        {Words({1, 5, 5, 0, 1, -4}), "convex 0 lists -4 ribs"},
        {Words({1, 5, 5, 0, 2, 0x7FFFFFFF, 0x7FFFFFFF}), "the rib lists need 4294967294 indices"},
        {Words({1, 5, 5, 0, 1, 2, 0}), "the rib lists need 2 indices"},
    };
    for (const auto& c : cases) {
        WalkArea area;
        area.points.push_back(Point{1, 1});
        std::string error;
        EXPECT_FALSE(ParseWalkArea(c.bytes, area, error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_TRUE(area.Empty()) << c.reason;
    }
}

TEST(WalkAreaFormat, IndexFaultsAreFoundBeforeTheSearchCouldReadOutside) {
    WalkArea missingPoint = UShape();
    missingPoint.ribs[11].b = 10;
    WalkArea missingRib = UShape();
    missingRib.convexes[1].push_back(-1);
    WalkArea fewRibs = UShape();
    fewRibs.ribs.resize(9);
    fewRibs.convexes.clear();
    EXPECT_EQ(IndexFault(UShape()), "");
    EXPECT_EQ(IndexFault(missingPoint), "rib 11 joins point 10, but the area has 10 points");
    EXPECT_EQ(IndexFault(missingRib), "convex 1 lists rib -1, but the area has 12 ribs");
    EXPECT_EQ(IndexFault(fewRibs), "the area has 9 ribs, fewer than its 10 outline points");
}

TEST(WalkAreaFormat, TheCheckerNamesWhatAnAuthorGotWrong) {
    EXPECT_TRUE(CheckWalkArea(UShape()).empty());
    EXPECT_TRUE(CheckWalkArea(Row(5)).empty());

    WalkArea open = UShape(); // the middle convex loses its bottom rib
    open.convexes[1] = {2, 11, 10};
    const auto openProblems = CheckWalkArea(open);
    EXPECT_TRUE(Has(openProblems, "convex 1: its ribs do not close into one loop"));
    EXPECT_TRUE(Has(openProblems, "outline rib 7 is listed by 0 convexes (1 expected)"));

    WalkArea apart = UShape(); // the right arm no longer lists the rib it shares
    apart.convexes[2] = {3, 4, 5, 6};
    EXPECT_TRUE(Has(CheckWalkArea(apart), "the convexes fall into 2 groups"));

    WalkArea shuffled = UShape(); // rib 0 no longer joins outline points 0 and 1
    shuffled.ribs[0] = Rib{0, 2};
    EXPECT_TRUE(Has(CheckWalkArea(shuffled), "ribs 0..9 are not the outline's edges"));

    WalkArea dent =
        Area({{100, 100}, {300, 100}, {200, 150}, {300, 200}, {100, 200}}, {}, {{0, 1, 2, 3, 4}});
    EXPECT_TRUE(Has(CheckWalkArea(dent), "convex 0 is not convex"));

    WalkArea ring = Row(3); // square 0 also lists square 2's right side: the three are a ring
    ring.convexes[0].push_back(ring.convexes[2][1]);
    EXPECT_TRUE(Has(CheckWalkArea(ring), "the convexes form a cycle"));
}

TEST(WalkAreaText, AuthoredTextGivesTheAreaAndDumpsRoundTrip) {
    const char* authored = "# the U, written by hand\n"
                           "point 100 100\npoint 200 100\npoint 200 180\npoint 300 180\n"
                           "point 300 100\npoint 400 100\npoint 400 300\npoint 300 300\n"
                           "point 200 300\npoint 100 300\n"
                           "outline\n"
                           "convex points 0 1 2 8 9\n"
                           "convex points 2 3 7 8\n"
                           "convex points 3 4 5 6 7\n";
    WalkArea area;
    std::string error;
    ASSERT_TRUE(WalkAreaFromText(authored, area, error)) << error;
    EXPECT_EQ(area.points, UShape().points);
    EXPECT_EQ(area.ribs, UShape().ribs);
    EXPECT_TRUE(CheckWalkArea(area).empty());

    area.trailing = {1, 2, 3};
    WalkArea again;
    ASSERT_TRUE(WalkAreaFromText(WalkAreaToText(area), again, error)) << error;
    EXPECT_EQ(WriteWalkArea(again), WriteWalkArea(area));
}

TEST(WalkAreaText, MistakesNameTheirLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"point 1\n", "1: 'point' takes 2 numbers"},
        {"point 1 2\npoint 3 4\npoint 5 6\noutline\npoint 7 8\n", "5: points come before"},
        {"point 1 2\noutline\n", "2: 'outline' comes after three points"},
        {"point 1 2\npoint 3 4\nconvex points 0 1 5\n", "3: point 5 is not defined"},
        {"rib 0 x\n", "1: rib takes 32-bit numbers"},
        {"walkable 1 2\n", "1: unknown statement 'walkable'"},
        {"trailing 0G\n", "1: bad trailing byte '0G'"},
        {"trailing 00\npoint 1 2\n", "2: 'point' after the trailing bytes"},
    };
    for (const auto& c : cases) {
        WalkArea area;
        std::string error;
        EXPECT_FALSE(WalkAreaFromText(c.text, area, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}
