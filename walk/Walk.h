#pragma once
// A player character's walker: its walk cycle, read once from the step tables named after its
// walk animations, and the walk area of the current room, read at every room change. It
// finds paths in the area and moves the character along them frame by frame (the pure work
// is done by PathSearch and WalkMotion; this class reads the files and shows the warnings).
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "walk/PathSearch.h"
#include "walk/WalkArea.h"
#include "walk/WalkCycle.h"
#include "walk/WalkMotion.h"

class Walk {
public:
    // `resourceId` is the first of the character's eight walk animations (north); its file
    // name, cut before "-w-n.", is the base name of the 16 step tables. `scale` gives the
    // perspective factor at a screen row.
    Walk(int32_t resourceId, walk::ScaleAt scale);
    ~Walk();
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    // Replaces the walk area by the one named after the room picture `imageName` (".bmp"
    // becomes ".cvx"). A missing file, or a name shorter than 4 characters, leaves the area
    // empty: the characters then walk in straight lines. A broken file is reported once and
    // left out the same way.
    void LoadWalkArea(const std::string& imageName);
    // Finds the path and sets up its first segment; a walk in progress is dropped.
    void FindPath(platform::Point start, platform::Point target);
    // One frame of the walk: walk::kArrived, kStepped or kTurned.
    int Step() { return motion_.Step(); }

    platform::Point GetPosition() const { return motion_.Position(); }
    platform::Point GetDrawPosition() { return motion_.DrawPosition(); }
    int GetDirection() const { return motion_.Direction(); }
    platform::Point GetTarget() const { return motion_.Target(); }

    const walk::WalkArea& Area() const { return area_; }
    const std::string& AreaName() const { return areaName_; }
    const std::vector<platform::Point>& Path() const { return motion_.Path(); }
    const walk::WalkCycle& Cycle() const { return cycle_; }

private:
    void ReadCycle(const std::string& baseName);
    // Shows a "Walk bug" box, each text once per loaded area.
    void Warn(const std::string& message);

    walk::WalkCycle cycle_;
    walk::WalkArea area_;
    std::string areaName_;
    std::unique_ptr<walk::PathSearch> search_;
    walk::WalkMotion motion_;
    std::set<std::string> warned_;
};
