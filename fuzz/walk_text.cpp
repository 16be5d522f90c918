// Walk areas in their text form as `tarvo-tool walk build` reads them: an accepted text
// becomes a file that the engine's loader takes, and its dump reads back to the same area.
#include "fuzz/TextSamples.h"
#include "walk/WalkArea.h"
#include "walk/WalkText.h"

#include "support/WalkAreas.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    return {{"u.txt", Bytes(walk::WalkAreaToText(walk_testing::UShape()))},
            {"row.txt", Bytes(walk::WalkAreaToText(walk_testing::Row(4)))},
            {"by-points.txt", Bytes("point 10 10\npoint 90 10\npoint 90 90\npoint 10 90\n"
                                    "outline\nconvex points 0 1 2\nconvex points 0 2 3\n"
                                    "trailing 00 1F\n")}};
}

TARVO_FUZZ_TARGET(data, size) {
    walk::WalkArea area;
    std::string error;
    if (!walk::WalkAreaFromText(fuzz::Text(data, size), area, error)) {
        fuzz::Require(!error.empty(), "a refused text has a reason");
        return 0;
    }
    walk::WalkArea loaded;
    fuzz::Require(walk::ParseWalkArea(walk::WriteWalkArea(area), loaded, error) && loaded == area,
                  "a built file loads as it was written");
    walk::WalkArea again;
    fuzz::Require(walk::WalkAreaFromText(walk::WalkAreaToText(area), again, error) && again == area,
                  "the dump reads back to the same area");
    return 0;
}
