#include "walk/PathSearch.h"

#include <algorithm>
#include <cmath>

#include "walk/WalkGeometry.h"

namespace walk {

namespace {

constexpr double kInsideWinding = 3.14; // a loop winds round a point when |sum| exceeds it
constexpr int64_t kEntryDistance2 = 25; // an entry point nearer than 5 pixels is skipped

int64_t Distance2(Point a, Point b) {
    const int64_t dx = int64_t{a.x} - b.x, dy = int64_t{a.y} - b.y;
    return dx * dx + dy * dy;
}

bool Touch(const Rib& r, const Rib& s) {
    return r.a == s.a || r.a == s.b || r.b == s.a || r.b == s.b;
}

} // namespace

PathSearch::PathSearch(const WalkArea& area, WalkWarning warning)
    : area_(area), warning_(std::move(warning)) {
    const size_t n = area.convexes.size() + 1;
    chain_.assign(n, -1);
    tried_.assign(n, -1);
    entered_.assign(n, 0);
}

int PathSearch::CountCrossings(Point p, Point q, bool stopAtFirst) const {
    if (p == q) return 0;
    const size_t n = area_.points.size();
    int count = 0;
    // Edges 1..n-1 join point i-1 and point i; the closing edge joins the last and the first.
    for (size_t i = 1; i <= n; ++i) {
        const Point a = area_.points[i == n ? n - 1 : i - 1];
        const Point b = area_.points[i == n ? 0 : i];
        const std::optional<Point> at = SegmentCrossing(p, q, a, b);
        if (!at || *at == p || *at == q) continue;
        ++count;
        if (stopAtFirst) break;
    }
    return count;
}

int PathSearch::CrossesOutline(Point p, Point q) const {
    return CountCrossings(p, q, true) > 0 ? 1 : 0;
}

int PathSearch::IsOutside(Point p) const {
    const Point rays[8] = {{0, 0},     {0, p.y},   {0, 480}, {p.x, 480},
                           {640, 480}, {640, p.y}, {640, 0}, {p.x, 0}};
    int odd = 0;
    for (const Point& end : rays)
        odd += CountCrossings(p, end, false) % 2;
    return odd < 4 ? 1 : 0;
}

int PathSearch::SharedPoint(int r1, int r2) const {
    const Rib& a = area_.ribs[static_cast<size_t>(r1)];
    const Rib& b = area_.ribs[static_cast<size_t>(r2)];
    if (a.a == b.a || a.a == b.b) return a.a;
    if (a.b == b.a || a.b == b.b) return a.b;
    warning_(kRibsShareNoPoint);
    return 0;
}

bool PathSearch::Lists(int convex, int rib) const {
    const std::vector<int32_t>& ribs = area_.convexes[static_cast<size_t>(convex)];
    return std::find(ribs.begin(), ribs.end(), rib) != ribs.end();
}

int PathSearch::SharedRib(int c1, int c2) const {
    for (int32_t rib : area_.convexes[static_cast<size_t>(c1)])
        if (Lists(c2, rib)) return rib;
    warning_(kConvexesShareNoRib);
    return 0;
}

// Orders a convex's ribs into a loop in loop_: each next rib is the first of the list that
// touches the one before and is not the one before that. A loop that breaks ends early.
void PathSearch::ChainLoop(const std::vector<int32_t>& ribs) const {
    loop_.clear();
    if (ribs.empty()) return;
    loop_.push_back(ribs[0]);
    while (loop_.size() < ribs.size()) {
        const int32_t last = loop_.back();
        const int32_t beforeLast = loop_.size() >= 2 ? loop_[loop_.size() - 2] : -1;
        const Rib& lastRib = area_.ribs[static_cast<size_t>(last)];
        int32_t next = -1;
        for (int32_t r : ribs) {
            if (r == last || r == beforeLast) continue;
            if (!Touch(area_.ribs[static_cast<size_t>(r)], lastRib)) continue;
            next = r;
            break;
        }
        if (next < 0) return;
        loop_.push_back(next);
    }
}

bool PathSearch::Winds(const std::vector<int32_t>& ribs, Point p) const {
    ChainLoop(ribs);
    const size_t n = loop_.size();
    if (n == 0) return false;
    const PointD at = ToDouble(p);
    double sum = 0;
    PointD first{}, previous{};
    for (size_t i = 0; i < n; ++i) {
        const int corner = SharedPoint(loop_[i], loop_[(i + 1) % n]);
        const PointD vertex = ToDouble(area_.points[static_cast<size_t>(corner)]);
        if (i == 0)
            first = vertex;
        else
            sum += SignedAngle(at, previous, vertex);
        previous = vertex;
    }
    sum += SignedAngle(at, previous, first);
    return std::fabs(sum) > kInsideWinding;
}

int PathSearch::FindConvex(Point p) const {
    for (size_t c = 0; c < area_.convexes.size(); ++c)
        if (Winds(area_.convexes[c], p)) return static_cast<int>(c);
    return -1;
}

int PathSearch::ContainingConvex(Point p) const {
    return std::max(FindConvex(p), 0);
}

int PathSearch::ClosestOutlineRib(Point& p) const {
    const size_t outline = std::min(area_.points.size(), area_.ribs.size());
    if (outline == 0) return 0;
    size_t best = 0;
    double bestDistance = 0;
    PointD bestPoint{};
    for (size_t r = 0; r < outline; ++r) {
        const Rib& rib = area_.ribs[r];
        const PointD q = ClosestOnSegment(area_.points[static_cast<size_t>(rib.a)],
                                          area_.points[static_cast<size_t>(rib.b)], p);
        const double dx = q.x - p.x, dy = q.y - p.y;
        const double distance = dx * dx + dy * dy;
        if (r == 0 || distance < bestDistance) {
            best = r;
            bestDistance = distance;
            bestPoint = q;
        }
    }
    p = Point{static_cast<int32_t>(std::trunc(bestPoint.x)),
              static_cast<int32_t>(std::trunc(bestPoint.y))};
    for (size_t c = 0; c < area_.convexes.size(); ++c)
        if (Lists(static_cast<int>(c), static_cast<int>(best))) return static_cast<int>(c);
    warning_(kClosestRibInNoConvex);
    return 0;
}

int PathSearch::NeighbourFrom(int cv, size_t from, int& foundAt) const {
    const std::vector<int32_t>& ribs = area_.convexes[static_cast<size_t>(cv)];
    for (size_t i = from; i < ribs.size(); ++i)
        for (size_t j = 0; j < area_.convexes.size(); ++j) {
            if (static_cast<int>(j) == cv || !Lists(static_cast<int>(j), ribs[i])) continue;
            foundAt = static_cast<int>(i);
            return static_cast<int>(j);
        }
    return -1;
}

int PathSearch::NextNeighbour(int cv, int last) const {
    size_t from = 0;
    if (last >= 0) {
        const std::vector<int32_t>& ribs = area_.convexes[static_cast<size_t>(cv)];
        const auto at = std::find(ribs.begin(), ribs.end(), SharedRib(cv, last));
        // A rib that is not in the list (after a warning) leaves nothing to continue with.
        from = at == ribs.end() ? ribs.size() : static_cast<size_t>(at - ribs.begin()) + 1;
    }
    int foundAt = 0;
    return NeighbourFrom(cv, from, foundAt);
}

// Depth first from the start convex. Each chain entry goes on with its neighbours in list
// order; an entry without untried neighbours is removed and its predecessor goes on. A convex
// the search has entered once is never appended again, so that convexes joined in a cycle
// cannot keep it going round. False when the chain empties: no chain leads to the target.
bool PathSearch::SearchChain(int startConvex, int targetConvex) {
    std::fill(tried_.begin(), tried_.end(), -1);
    std::fill(chain_.begin(), chain_.end(), -1);
    std::fill(entered_.begin(), entered_.end(), 0);
    chain_[0] = startConvex;
    entered_[static_cast<size_t>(startConvex)] = 1;
    chainLength_ = 1;
    while (chain_[chainLength_ - 1] != targetConvex) {
        const size_t k = chainLength_;
        int foundAt = 0;
        const int n = NeighbourFrom(chain_[k - 1], static_cast<size_t>(tried_[k - 1] + 1), foundAt);
        if (n < 0) {
            chain_[k - 1] = tried_[k - 1] = -1;
            if (--chainLength_ == 0) return false;
            continue;
        }
        tried_[k - 1] = foundAt;
        if (entered_[static_cast<size_t>(n)]) continue;
        entered_[static_cast<size_t>(n)] = 1;
        chain_[chainLength_++] = n;
    }
    return true;
}

Point PathSearch::RibMidpoint(int rib) const {
    const Rib& r = area_.ribs[static_cast<size_t>(rib)];
    const Point a = area_.points[static_cast<size_t>(r.a)];
    const Point b = area_.points[static_cast<size_t>(r.b)];
    // Halved by an arithmetic shift: rounds towards minus infinity.
    return Point{static_cast<int32_t>((int64_t{a.x} + b.x) >> 1),
                 static_cast<int32_t>((int64_t{a.y} + b.y) >> 1)};
}

// Appends p; the point before it goes when the line from the one before that to p stays
// clear of the outline.
void PathSearch::AddStraightened(std::vector<Point>& points, Point p) const {
    points.push_back(p);
    const size_t k = points.size() - 1;
    if (k >= 2 && CrossesOutline(points[k - 2], points[k]) == 0)
        points.erase(points.begin() + static_cast<std::ptrdiff_t>(k - 1));
}

int PathSearch::ConvexFor(Point& p) const {
    if (!IsOutside(p))
        if (const int convex = FindConvex(p); convex >= 0) return convex;
    return ClosestOutlineRib(p);
}

Path PathSearch::FindPath(Point start, Point target) {
    Path path{{start}, target};
    if (area_.points.size() < 3 || area_.convexes.empty()) {
        if (start != target) path.points.push_back(target);
        return path;
    }
    const int targetConvex = ConvexFor(target);
    Point entry = start;
    const int startConvex = ConvexFor(entry);
    path.target = target;
    if (start == target) return path;
    if (CrossesOutline(start, target) == 0 || !SearchChain(startConvex, targetConvex)) {
        path.points.push_back(target);
        return path;
    }
    if (Distance2(start, entry) >= kEntryDistance2) path.points.push_back(entry);
    for (size_t i = 0; i + 1 < chainLength_; ++i)
        AddStraightened(path.points, RibMidpoint(SharedRib(chain_[i], chain_[i + 1])));
    AddStraightened(path.points, target);
    return path;
}

} // namespace walk
