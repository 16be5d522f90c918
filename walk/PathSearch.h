#pragma once
// The path search over a walk area: from the convex that holds the start, from convex to
// convex through the midpoints of the shared ribs, to the convex that holds the target; then
// every midpoint that a straight line past it can skip without crossing the outline is
// dropped. Pure: the area and the points come in as arguments, inconsistent data is reported
// through the warning function, and nothing else is touched.
#include <functional>
#include <string>
#include <vector>

#include "walk/WalkArea.h"

namespace walk {

// Receives the text of a "Walk bug" warning; the query then goes on with index 0.
using WalkWarning = std::function<void(const std::string& message)>;

inline constexpr const char* kRibsShareNoPoint = "Ribs have no common point !";
inline constexpr const char* kConvexesShareNoRib = "Convexs have no common rib !";
inline constexpr const char* kClosestRibInNoConvex =
    "Closest rib doesn't belong\nto any primary convex !";

struct Path {
    std::vector<Point> points; // from the start to the target; one point when they are equal
    Point target;              // the target, moved onto the outline when it lay outside
};

class PathSearch {
public:
    // `area` must have no index faults (IndexFault) and must outlive the search.
    PathSearch(const WalkArea& area, WalkWarning warning);

    // The path from `start` to `target`. A target outside every convex is moved to the
    // nearest point of the outline first. A start outside every convex stays the first
    // point; the nearest point of the outline follows it when it is 5 pixels or more away,
    // so that the walk enters the area there. Without a chain of convexes from start to
    // target, and in an area without convexes, the path is the straight line.
    Path FindPath(Point start, Point target);

    // The queries the search is built on, public for tools and tests.
    // 1 when segment p-q meets the outline at a point other than p and q.
    int CrossesOutline(Point p, Point q) const;
    // 1 when p lies outside the outline: fewer than four of eight rays from p cross it an
    // odd number of times.
    int IsOutside(Point p) const;
    // The first convex that holds p (its loop winds round p), 0 when none does.
    int ContainingConvex(Point p) const;
    // Moves p onto the nearest outline rib (the first of equally near ones) and returns the
    // first convex listing that rib.
    int ClosestOutlineRib(Point& p) const;
    // The next neighbour of convex `cv` after neighbour `last` (-1: the first), or -1.
    int NextNeighbour(int cv, int last) const;
    // The first rib of c1's list that c2 lists too.
    int SharedRib(int c1, int c2) const;
    // The point rib r1 and rib r2 both end at.
    int SharedPoint(int r1, int r2) const;

private:
    int FindConvex(Point p) const; // -1 when no convex holds p
    bool Winds(const std::vector<int32_t>& ribs, Point p) const;
    void ChainLoop(const std::vector<int32_t>& ribs) const;
    int ConvexFor(Point& p) const;
    int CountCrossings(Point p, Point q, bool stopAtFirst) const;
    // The first neighbour of `cv` through a rib at list position `from` or later; its
    // position goes to `foundAt`.
    int NeighbourFrom(int cv, size_t from, int& foundAt) const;
    bool SearchChain(int startConvex, int targetConvex);
    void AddStraightened(std::vector<Point>& points, Point p) const;
    Point RibMidpoint(int rib) const;
    bool Lists(int convex, int rib) const;

    const WalkArea& area_;
    WalkWarning warning_;
    // Work arrays of the search, sized once for the area: the chain of convexes, per chain
    // entry the rib-list position of the neighbour last tried (-1: none), and the convexes
    // the search has entered.
    std::vector<int32_t> chain_;
    std::vector<int32_t> tried_;
    std::vector<char> entered_;
    size_t chainLength_ = 0;
    mutable std::vector<int32_t> loop_; // ContainingConvex: the ribs of one convex in order
};

} // namespace walk
