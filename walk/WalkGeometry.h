#pragma once
// The geometry the path search and the walk motion are built on. All arithmetic is in double
// precision and every conversion to an integer truncates towards zero, so that paths and step
// counts come out the same on every machine.
#include <optional>

#include "platform/Types.h"

namespace walk {

struct PointD {
    double x = 0;
    double y = 0;
};

inline PointD ToDouble(platform::Point p) {
    return PointD{static_cast<double>(p.x), static_cast<double>(p.y)};
}

// Where segment a1-a2 meets segment b1-b2 (end points included), truncated to integers; none
// for parallel segments or segments that do not meet.
std::optional<platform::Point> SegmentCrossing(platform::Point a1, platform::Point a2,
                                               platform::Point b1, platform::Point b2);

// The angle at `o` from the direction to `u` to the direction to `w`, in radians, 0..pi in
// size; positive when `w` lies counter-clockwise of `u` on the screen (y down), that is when
// (u-o).y * (w-o).x - (u-o).x * (w-o).y > 0. 0 when `o` equals either point.
double SignedAngle(PointD o, PointD u, PointD w);

// The point of segment a-b nearest to `p`: the foot of the perpendicular, with x and y each
// clamped to the segment's range.
PointD ClosestOnSegment(platform::Point a, platform::Point b, platform::Point p);

} // namespace walk
