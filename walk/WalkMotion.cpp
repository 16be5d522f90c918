#include "walk/WalkMotion.h"

#include <algorithm>
#include <cmath>

namespace walk {

namespace {

constexpr double kPi = 3.14159;
constexpr double kTwoPi = 6.2831853;
constexpr double kRightAngle = 1.57;
constexpr double kNoDirectionYet = 4.0; // larger than any angle difference that counts
constexpr int kMissesToStop = 10;       // frames past the closest one before counting stops
// A bound on the frames of one segment, reached only when the scale is all but zero.
constexpr int kMaxSegmentSteps = 100000;

// A coordinate truncated to an integer, kept inside what an int can hold.
int32_t Truncate(double v) {
    return static_cast<int32_t>(std::trunc(std::clamp(v, -1.0e9, 1.0e9)));
}

PointD Scaled(Point motion, double scale) {
    return PointD{scale * motion.x, scale * motion.y};
}

} // namespace

WalkMotion::WalkMotion(const WalkCycle& cycle, ScaleAt scale)
    : cycle_(cycle), scaleAt_(std::move(scale)) {}

void WalkMotion::Start(std::vector<Point> path, Point target) {
    path_ = std::move(path);
    target_ = target;
    stopped_ = false;
    cos_ = sin_ = 0.0;
    direction_ = 0;
    segment_ = 0;
    frame_ = 0;
    remaining_ = 0;
    accumulated_ = PointD{};
    position_ = ToDouble(target);
    if (path_.size() < 2) return; // already there: the first Step reports arrival
    SetupSegment(path_[0], path_[1]);
    segment_ = 1;
}

PointD WalkMotion::Rotated(PointD origin, PointD d) const {
    return PointD{origin.x + d.x * cos_ - d.y * sin_, origin.y + d.x * sin_ + d.y * cos_};
}

int WalkMotion::ChooseDirection(Point p, Point q) const {
    const PointD from = ToDouble(p);
    const double theta = SignedAngle(from, PointD{from.x + 150, from.y}, ToDouble(q));
    const double wrapped = theta < 0 ? theta + kTwoPi : kTwoPi - theta;
    double best = kNoDirectionYet;
    int direction = 0;
    // Only a strictly nearer direction replaces the best: halfway between two, the lower
    // index wins.
    for (int d = 0; d < kDirectionCount; ++d)
        for (double angle : {theta, wrapped})
            if (std::fabs(kDirections[static_cast<size_t>(d)].angle - angle) < best) {
                best = std::fabs(kDirections[static_cast<size_t>(d)].angle - angle);
                direction = d;
            }
    return direction;
}

// The rotation that turns the direction's own motion onto the segment p-q.
double WalkMotion::CorrectionAngle(int direction, Point p, Point q) const {
    const DirectionCycle& c = cycle_[static_cast<size_t>(direction)];
    if (c.upright) return 0.0; // an infinite slope: the cycle's own direction is kept
    const double dx = static_cast<double>(q.x) - p.x;
    const PointD along{static_cast<double>(q.x), p.y + c.slope * dx};
    const double v = SignedAngle(ToDouble(p), ToDouble(q), along);
    if (v < -kRightAngle) return v + kPi;
    if (v > kRightAngle) return v - kPi;
    return v;
}

// Walks the segment in thought, frame by frame, and keeps the frame that came closest to q.
int WalkMotion::CountSteps(int direction, Point p, Point q) {
    const DirectionCycle& c = cycle_[static_cast<size_t>(direction)];
    const PointD start = ToDouble(p), end = ToDouble(q);
    const double dx = end.x - start.x, dy = end.y - start.y;
    PointD accumulated{}, at = start;
    double best = dx * dx + dy * dy + 1;
    int steps = 0, misses = 0, frame = 1 % c.frameCount;
    remaining_ = 0;
    while (misses < kMissesToStop && steps < kMaxSegmentSteps) {
        const PointD d = Scaled(c.motion[static_cast<size_t>(frame)], scaleAt_(Truncate(at.y)));
        accumulated.x += d.x;
        accumulated.y += d.y;
        at = Rotated(start, accumulated);
        ++steps;
        frame = (frame + 1) % c.frameCount;
        const double ex = at.x - end.x, ey = at.y - end.y;
        if (ex * ex + ey * ey < best) {
            best = ex * ex + ey * ey;
            remaining_ = steps;
            misses = 0;
        } else {
            ++misses;
        }
    }
    return remaining_;
}

int WalkMotion::SetupSegment(Point p, Point q) {
    if (p == q) return 0;
    const int direction = ChooseDirection(p, q);
    if (!cycle_[static_cast<size_t>(direction)].Usable()) {
        // No frames to walk this way: the walk ends here, where the character stands.
        stopped_ = true;
        target_ = p;
        position_ = ToDouble(p);
        return direction_;
    }
    const double v = CorrectionAngle(direction, p, q);
    cos_ = std::cos(v);
    sin_ = std::sin(v);
    CountSteps(direction, p, q);
    accumulated_ = PointD{};
    segmentStart_ = position_ = ToDouble(p);
    frame_ = 0;
    scale_ = scaleAt_(p.y);
    direction_ = direction;
    return direction;
}

void WalkMotion::Advance(const DirectionCycle& c) {
    scale_ = scaleAt_(Truncate(position_.y));
    const PointD d = Scaled(c.motion[static_cast<size_t>(frame_)], scale_);
    accumulated_.x += d.x;
    accumulated_.y += d.y;
    position_ = Rotated(segmentStart_, accumulated_);
}

int WalkMotion::Step() {
    const DirectionCycle& c = cycle_[static_cast<size_t>(direction_)];
    if (c.Usable()) frame_ = (frame_ + 1) % c.frameCount;
    --remaining_;
    if (stopped_) return kArrived;
    if (remaining_ >= 0) {
        Advance(c);
        return kStepped;
    }
    ++segment_;
    if (segment_ >= path_.size()) return kArrived;
    const int previous = direction_, frame = frame_;
    const int direction = SetupSegment(path_[segment_ - 1], path_[segment_]);
    if (stopped_) return kArrived;
    if (direction != previous) return kTurned;
    frame_ = frame; // the same direction goes on without restarting the cycle
    return kStepped;
}

Point WalkMotion::Position() const {
    return Point{Truncate(position_.x), Truncate(position_.y)};
}

Point WalkMotion::DrawPosition() {
    scale_ = scaleAt_(Truncate(position_.y));
    const DirectionCycle& c = cycle_[static_cast<size_t>(direction_)];
    const size_t frame = static_cast<size_t>(frame_);
    const Point anchor = frame < c.anchors.size() ? c.anchors[frame] : Point{};
    return Point{Truncate(position_.x - scale_ * anchor.x),
                 Truncate(position_.y - scale_ * anchor.y)};
}

} // namespace walk
