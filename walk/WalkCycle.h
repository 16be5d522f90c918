#pragma once
// A character's walk cycle: per direction, how far the picture moves from frame to frame and
// where the feet are inside each frame, and from both the anchor's motion per frame.
//
// Each direction has two step tables, files named base + suffix + "off" (the picture's
// displacement from the previous frame) and base + suffix + "leg" (the anchor, the point the
// character stands on, inside the frame): a 32-bit header word, ignored, then (x, y) records
// of two 32-bit little-endian signed integers. With n + 1 "off" records a direction has n
// frames; record i (1..n) describes the step into frame i, record n the step back into the
// first frame.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/Types.h"

namespace walk {

using platform::Point;

struct StepTable {
    std::optional<int32_t> header; // missing only in files shorter than 4 bytes
    std::vector<Point> records;
    std::vector<uint8_t> trailing; // the bytes of an incomplete last record

    bool operator==(const StepTable&) const = default;
};

// Every file reads as a table: a missing or empty file has no records, and bytes that do not
// make a whole record are kept in `trailing`.
StepTable ParseStepTable(std::span<const uint8_t> bytes);
// The file image; the exact inverse of ParseStepTable.
std::vector<uint8_t> WriteStepTable(const StepTable& table);

struct Direction {
    const char* suffix; // "-w-ne.": the file names are base + suffix + "off" / "leg"
    double angle;       // radians, counter-clockwise from the right, up the screen positive
    const char* name;   // "NE", for messages
};

inline constexpr int kDirectionCount = 8;
// N, NE, E, SE, S, SW, W, NW.
extern const std::array<Direction, kDirectionCount> kDirections;

struct DirectionCycle {
    int frameCount = 0;         // n: "off" records minus 1
    std::vector<Point> anchors; // the "leg" records: the anchor inside each frame
    std::vector<Point> motion;  // n + 1 entries: the anchor's displacement into frame i
    double slope = 0;           // summed vertical over summed horizontal motion
    bool upright = false;       // the summed horizontal motion is 0: the slope is infinite
    // A direction without frames, or whose "leg" table is shorter than its "off" table,
    // cannot be walked: the character stands rather than step through garbage.
    bool Usable() const { return frameCount > 0; }
};

// The cycle of one direction from its two tables.
DirectionCycle BuildDirectionCycle(const StepTable& offsets, const StepTable& anchors);

using WalkCycle = std::array<DirectionCycle, kDirectionCount>;

} // namespace walk
