#pragma once
// Small hand-made walk areas for the tests, away from the screen's edges (the inside test
// casts rays to the edges).
#include "walk/WalkArea.h"

namespace walk_testing {

using platform::Point;
using walk::Rib;
using walk::WalkArea;

// The outline `points` with ribs 0..N-1 along it, then `interior` ribs and `convexes`.
inline WalkArea Area(std::vector<Point> points, std::vector<Rib> interior,
                     std::vector<std::vector<int32_t>> convexes) {
    WalkArea a;
    a.points = std::move(points);
    const auto n = static_cast<int32_t>(a.points.size());
    for (int32_t i = 0; i < n; ++i)
        a.ribs.push_back(Rib{i, (i + 1) % n});
    a.ribs.insert(a.ribs.end(), interior.begin(), interior.end());
    a.convexes = std::move(convexes);
    return a;
}

// A U: a left and a right arm joined by a bottom band; the notch between the arms, above the
// band (x 200..300, y 100..180), is not walkable.
//
//   0 (100,100)-1 (200,100)    4 (300,100)-5 (400,100)
//        |        2 (200,180)-3 (300,180)        |
//   9 (100,300)-8 (200,300)----7 (300,300)-6 (400,300)
//
// Convexes: 0 the left arm (with the band's left end), 1 the middle of the band, 2 the right
// arm; interior ribs 10 (2-8) and 11 (3-7).
inline WalkArea UShape() {
    return Area({{100, 100},
                 {200, 100},
                 {200, 180},
                 {300, 180},
                 {300, 100},
                 {400, 100},
                 {400, 300},
                 {300, 300},
                 {200, 300},
                 {100, 300}},
                {{2, 8}, {3, 7}}, {{0, 1, 10, 8, 9}, {2, 11, 7, 10}, {3, 4, 5, 6, 11}});
}

// The same U made larger, for rooms: x 100..540, y 200..460, the notch x 250..390 down to 320.
inline WalkArea RoomU() {
    WalkArea a = UShape();
    const int xs[] = {100, 250, 250, 390, 390, 540, 540, 390, 250, 100};
    const int ys[] = {200, 200, 320, 320, 200, 200, 460, 460, 460, 460};
    for (size_t i = 0; i < a.points.size(); ++i)
        a.points[i] = Point{xs[i], ys[i]};
    return a;
}

// A row of `n` squares of 40 pixels from (100, 200): convex i joins convex i + 1. Points
// 0..n run along the top, n + 1..2n + 1 back along the bottom; interior rib T + k (T the
// point count) is the right side of square k.
inline WalkArea Row(int n) {
    std::vector<Point> points;
    for (int i = 0; i <= n; ++i)
        points.push_back(Point{100 + 40 * i, 200});
    for (int i = n; i >= 0; --i)
        points.push_back(Point{100 + 40 * i, 240});
    const auto total = static_cast<int32_t>(points.size());
    std::vector<Rib> interior;
    for (int32_t k = 0; k + 1 < n; ++k)
        interior.push_back(Rib{k + 1, 2 * n - k});
    std::vector<std::vector<int32_t>> convexes;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t right = i == n - 1 ? n : total + i;
        const int32_t left = i == 0 ? 2 * n + 1 : total + i - 1;
        convexes.push_back({i, right, 2 * n - i, left});
    }
    return Area(points, interior, convexes);
}

} // namespace walk_testing
