#include "walk/WalkGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace walk {

using platform::Point;

namespace {

void OrderByX(Point& p, Point& q) {
    if (p.x > q.x) std::swap(p, q);
}

void OrderByY(Point& p, Point& q) {
    if (p.y > q.y) std::swap(p, q);
}

bool Between(double lo, double v, double hi) {
    return lo <= v && v <= hi;
}

double D(int32_t v) {
    return static_cast<double>(v);
}

// y on the line through p and q (not vertical) at x.
double LineY(Point p, Point q, double x) {
    return p.y + (x - p.x) * (D(q.y) - p.y) / (D(q.x) - p.x);
}

} // namespace

std::optional<Point> SegmentCrossing(Point a1, Point a2, Point b1, Point b2) {
    OrderByX(a1, a2);
    OrderByX(b1, b2);
    // Differences in doubles: coordinates from a broken file may be anywhere in 32 bits.
    const double l = (D(a2.y) - a1.y) * (D(b2.x) - b1.x);
    const double m = (D(b2.y) - b1.y) * (D(a2.x) - a1.x);
    if (l == m) return std::nullopt; // parallel
    const bool aVertical = a1.x == a2.x, bVertical = b1.x == b2.x;
    double x = 0;
    if (aVertical) {
        x = a1.x;
        if (!Between(b1.x, x, b2.x)) return std::nullopt;
    } else if (bVertical) {
        x = b1.x;
        if (!Between(a1.x, x, a2.x)) return std::nullopt;
    } else {
        x = ((D(b2.x) - b1.x) * (D(a2.x) - a1.x) * (D(b1.y) - a1.y) + a1.x * l - b1.x * m) /
            (l - m);
        if (!(a1.x <= x && b1.x <= x && x <= a2.x && x <= b2.x)) return std::nullopt;
    }
    OrderByY(a1, a2);
    OrderByY(b1, b2);
    double y = 0;
    if (a1.y == a2.y) {
        y = a1.y;
        if (!Between(b1.y, y, b2.y)) return std::nullopt;
    } else if (b1.y == b2.y) {
        y = b1.y;
        if (!Between(a1.y, y, a2.y)) return std::nullopt;
    } else {
        y = aVertical ? LineY(b1, b2, x) : LineY(a1, a2, x);
        if (!Between(a1.y, y, a2.y) || !Between(b1.y, y, b2.y)) return std::nullopt;
    }
    return Point{static_cast<int32_t>(std::trunc(x)), static_cast<int32_t>(std::trunc(y))};
}

double SignedAngle(PointD o, PointD u, PointD w) {
    if ((o.x == u.x && o.y == u.y) || (o.x == w.x && o.y == w.y)) return 0.0;
    const double ux = u.x - o.x, uy = u.y - o.y, wx = w.x - o.x, wy = w.y - o.y;
    const double cosine =
        (ux * wx + uy * wy) / (std::sqrt(ux * ux + uy * uy) * std::sqrt(wx * wx + wy * wy));
    // Rounding can push the cosine of (nearly) parallel directions just past 1.
    const double angle = std::acos(std::clamp(cosine, -1.0, 1.0));
    return uy * wx - ux * wy > 0 ? angle : -angle;
}

PointD ClosestOnSegment(Point a, Point b, Point p) {
    double x = 0, y = 0;
    if (a.x == b.x) {
        x = a.x;
        y = p.y;
    } else {
        const double slope = (D(b.y) - a.y) / (D(b.x) - a.x);
        const double intercept = a.y - slope * a.x;
        x = (p.x + slope * (p.y - intercept)) / (slope * slope + 1);
        y = slope * x + intercept;
    }
    x = std::clamp(x, static_cast<double>(std::min(a.x, b.x)),
                   static_cast<double>(std::max(a.x, b.x)));
    y = std::clamp(y, static_cast<double>(std::min(a.y, b.y)),
                   static_cast<double>(std::max(a.y, b.y)));
    return PointD{x, y};
}

} // namespace walk
