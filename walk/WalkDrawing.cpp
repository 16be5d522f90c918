#include "walk/WalkDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace walk {

namespace {

// Cuts segment a-b to the rectangle (Liang-Barsky); false when nothing of it is inside.
bool ClipSegment(Point& a, Point& b, const platform::Rect& clip) {
    const double x0 = a.x, y0 = a.y, dx = static_cast<double>(b.x) - a.x,
                 dy = static_cast<double>(b.y) - a.y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - clip.left, clip.right - 1 - x0, y0 - clip.top, clip.bottom - 1 - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    b = Point{static_cast<int32_t>(std::lround(x0 + t1 * dx)),
              static_cast<int32_t>(std::lround(y0 + t1 * dy))};
    a = Point{static_cast<int32_t>(std::lround(x0 + t0 * dx)),
              static_cast<int32_t>(std::lround(y0 + t0 * dy))};
    return true;
}

} // namespace

void DrawLine(Point a, Point b, const platform::Rect& clip, const Plot& plot) {
    if (clip.IsEmpty() || !ClipSegment(a, b, clip)) return;
    int64_t x = a.x, y = a.y;
    const int64_t dx = std::llabs(int64_t{b.x} - a.x), dy = -std::llabs(int64_t{b.y} - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int64_t error = dx + dy;
    while (true) {
        if (clip.Contains(static_cast<int32_t>(x), static_cast<int32_t>(y)))
            plot(static_cast<int>(x), static_cast<int>(y));
        if (x == b.x && y == b.y) return;
        const int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void FillConvex(const std::vector<Point>& loop, const platform::Rect& clip, const Plot& plot) {
    if (loop.size() < 3) return;
    const platform::Rect box = platform::Intersect(BoundsOf(loop), clip);
    for (int32_t y = box.top; y < box.bottom; ++y) {
        double left = box.right, right = box.left - 1.0;
        for (size_t i = 0; i < loop.size(); ++i) {
            const Point a = loop[i], b = loop[(i + 1) % loop.size()];
            if ((y < a.y && y < b.y) || (y > a.y && y > b.y)) continue;
            if (a.y == b.y) {
                left = std::min<double>({left, static_cast<double>(a.x), static_cast<double>(b.x)});
                right =
                    std::max<double>({right, static_cast<double>(a.x), static_cast<double>(b.x)});
                continue;
            }
            const double x = a.x + (static_cast<double>(y) - a.y) * (b.x - a.x) / (b.y - a.y);
            left = std::min(left, x);
            right = std::max(right, x);
        }
        const double from = std::max(std::ceil(left), static_cast<double>(box.left));
        const double to = std::min(right, box.right - 1.0);
        for (auto x = static_cast<int32_t>(from); x <= to; ++x)
            plot(x, y);
    }
}

AreaLines LinesOf(const WalkArea& area) {
    AreaLines lines;
    const size_t n = area.points.size();
    for (size_t i = 0; i < n; ++i)
        lines.outline.emplace_back(area.points[i], area.points[(i + 1) % n]);
    for (size_t r = n; r < area.ribs.size(); ++r)
        lines.interior.emplace_back(area.points[static_cast<size_t>(area.ribs[r].a)],
                                    area.points[static_cast<size_t>(area.ribs[r].b)]);
    return lines;
}

platform::Rect BoundsOf(const std::vector<Point>& points) {
    if (points.empty()) return platform::Rect{};
    platform::Rect r{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
    for (const Point& p : points) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x + 1);
        r.bottom = std::max(r.bottom, p.y + 1);
    }
    return r;
}

} // namespace walk
