#pragma once
// A room's walk area (".cvx"): an outline polygon cut into convex polygons along interior
// edges. Every edge is a rib joining two points; ribs 0..Np-1 are the outline's edges and the
// rest interior ones; a convex lists its ribs, and two convexes that list the same rib are
// neighbours. All integers are 32-bit little-endian signed, with no header:
//
//   Np, Np points (x, y)
//   Nr, Nr ribs (a, b): point indices
//   Nc, Nc rib counts, then the rib lists: each convex's rib indices, convex 0 first
//
// ParseWalkArea refuses what cannot be read whole (truncation, negative counts, counts that
// cannot fit the bytes left) with a one-line reason, and keeps bytes after the last list in
// `trailing`, so WriteWalkArea reproduces every accepted file exactly.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace walk {

using platform::Point;

struct Rib {
    int32_t a = 0;
    int32_t b = 0;
    bool operator==(const Rib&) const = default;
};

struct WalkArea {
    std::vector<Point> points;
    std::vector<Rib> ribs;
    std::vector<std::vector<int32_t>> convexes; // each convex's rib indices
    std::vector<uint8_t> trailing;              // bytes after the rib lists

    bool Empty() const { return points.empty() && ribs.empty() && convexes.empty(); }
    bool operator==(const WalkArea&) const = default;
};

// Parses a whole file image. On failure returns false, leaves `out` empty and puts a
// one-line reason into `error`.
bool ParseWalkArea(std::span<const uint8_t> bytes, WalkArea& out, std::string& error);

// The file image of `area`; the exact inverse of ParseWalkArea.
std::vector<uint8_t> WriteWalkArea(const WalkArea& area);

// The first fault that would make the path search read outside the area's tables (a rib
// naming a point that does not exist, a convex naming a rib that does not exist, fewer ribs
// than outline points), or "" when the search can run on the area.
std::string IndexFault(const WalkArea& area);

// The loop of point indices round convex `convex`, following its ribs from the first listed
// one; empty when its ribs do not close into one loop through all of them. The area must have
// no index faults.
std::vector<int32_t> ConvexPoints(const WalkArea& area, size_t convex);

// Everything an author should fix, one line each: the index faults, and the shape faults the
// search copes with badly (a convex whose ribs do not close into one loop, a rib listed by
// the wrong number of convexes, outline ribs that do not follow the outline, convexes that
// are not all joined or that form a cycle). Empty for a well-made area.
std::vector<std::string> CheckWalkArea(const WalkArea& area);

} // namespace walk
