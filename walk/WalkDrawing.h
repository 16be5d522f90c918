#pragma once
// Pictures of walk areas for authors: the pixels of lines and filled convexes, handed to a
// plot function, so that the tool (into an RGB image) and the debug overlay (into the back
// surface) draw the same shapes.
#include <functional>
#include <vector>

#include "platform/Types.h"
#include "walk/WalkArea.h"

namespace walk {

using Plot = std::function<void(int x, int y)>;

// Every pixel of the line from a to b (both ends included) that lies inside `clip`.
void DrawLine(Point a, Point b, const platform::Rect& clip, const Plot& plot);
// Every pixel inside the convex polygon `loop` (its edges included) that lies inside `clip`.
void FillConvex(const std::vector<Point>& loop, const platform::Rect& clip, const Plot& plot);

// The parts of an area an author wants to see, as segments.
struct AreaLines {
    std::vector<std::pair<Point, Point>> outline;  // the outline's edges
    std::vector<std::pair<Point, Point>> interior; // ribs between convexes
};
// The area must have no index faults.
AreaLines LinesOf(const WalkArea& area);
// The smallest rectangle holding every point (right and bottom exclusive); empty for none.
platform::Rect BoundsOf(const std::vector<Point>& points);

} // namespace walk
