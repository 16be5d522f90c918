#pragma once
// The readable forms of walk areas (".cvx", WalkArea.h) and walk-cycle step tables
// ("off"/"leg", WalkCycle.h): what `tarvo-tool walk dump` and `cycle dump` print, and what
// room walk areas are written in by hand. One statement per line; '#' starts a comment.
//
// A walk area:
//
//   point 24 318          # the outline's points, in order; the outline closes by itself
//   point 300 318
//   ...
//   outline               # ribs 0..Np-1: each point to the next, the last to the first
//   rib 2 9               # a rib joining two points by index
//   convex 0 1 11 9 10    # a convex by the indices of its ribs
//   convex points 2 3 8 9 # a convex by the loop of its points: ribs between consecutive
//                         # points are found, or added as new ribs
//   trailing 00 1F        # bytes after the rib lists (hex), rarely present
//
// Points, ribs and convexes are numbered in the order they are written. A dump writes every
// rib and every convex's rib indices, so file -> text -> file is exact.
//
// A step table:
//
//   header 0              # the header word (absent only in files shorter than 4 bytes)
//   step 12 0             # an (x, y) record
//   trailing 01 02        # the bytes of an incomplete last record
//
// Numbers are 32-bit signed, decimal or 0x hexadecimal.
#include <string>
#include <string_view>

#include "walk/WalkArea.h"
#include "walk/WalkCycle.h"

namespace walk {

// The text of an area, with what CheckWalkArea finds as comments at the top.
std::string WalkAreaToText(const WalkArea& area);
// On failure returns false and sets `error` to "LINE: reason".
bool WalkAreaFromText(std::string_view text, WalkArea& out, std::string& error);

std::string StepTableToText(const StepTable& table);
bool StepTableFromText(std::string_view text, StepTable& out, std::string& error);

} // namespace walk
