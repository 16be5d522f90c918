#pragma once
// The frame-by-frame walk along a path. Each straight segment gets the direction nearest to
// it and a small rotation of that direction's motion so that the anchor runs exactly towards
// the segment's end; the motion is scaled by the perspective at the current row, and the
// segment ends on the frame that comes closest to its end, where the next one starts exactly
// on the path point. Pure: the cycle, the path and the scale come in as arguments.
#include <functional>
#include <vector>

#include "walk/WalkCycle.h"
#include "walk/WalkGeometry.h"

namespace walk {

// The perspective factor of a character whose feet are at a screen row.
using ScaleAt = std::function<double(int row)>;

// Step results.
inline constexpr int kArrived = 0;
inline constexpr int kStepped = 1;
inline constexpr int kTurned = 2; // a new segment in another direction began

class WalkMotion {
public:
    WalkMotion(const WalkCycle& cycle, ScaleAt scale);

    // Starts a walk along `path` (at least one point) to `target`: resets the motion and sets
    // up the first segment. A single point is a walk that is already over.
    void Start(std::vector<Point> path, Point target);
    // One frame: kArrived when the path is finished, kTurned when a segment in a new
    // direction begins (the caller switches the animation), else kStepped.
    int Step();

    Point Position() const;
    // Where the current frame's picture goes so that its anchor sits on the position, with
    // the scale at the current row (which is kept).
    Point DrawPosition();
    int Direction() const { return direction_; }
    // Where the walk ends: the target, or the path point where a direction without a usable
    // cycle stopped it.
    Point Target() const { return target_; }
    const std::vector<Point>& Path() const { return path_; }
    double Scale() const { return scale_; }
    int Frame() const { return frame_; }
    int RemainingSteps() const { return remaining_; }

    // Sets up the segment p-q and returns its direction (0 for p = q, which changes nothing).
    int SetupSegment(Point p, Point q);

private:
    int ChooseDirection(Point p, Point q) const;
    double CorrectionAngle(int direction, Point p, Point q) const;
    int CountSteps(int direction, Point p, Point q);
    PointD Rotated(PointD origin, PointD displacement) const;
    void Advance(const DirectionCycle& cycle);

    const WalkCycle& cycle_;
    ScaleAt scaleAt_;
    std::vector<Point> path_;
    Point target_{};
    int direction_ = 0;
    size_t segment_ = 0;
    PointD segmentStart_{};
    PointD position_{};
    PointD accumulated_{};
    double cos_ = 1.0;
    double sin_ = 0.0;
    int frame_ = 0;
    int remaining_ = 0;
    double scale_ = 1.0;
    bool stopped_ = false; // a segment's direction had no cycle: the walk ends where it is
};

} // namespace walk
