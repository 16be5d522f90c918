// Room layouts in their text form as `tarvo-tool bg build` reads them, with the demo's
// script for the names: an accepted text becomes a file that the engine's loader takes, and
// its dump reads back to the same layouts.
#include "core/BgFormat.h"
#include "core/BgText.h"
#include "fuzz/TextSamples.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    return {{"ids.txt", Bytes("room 100\n  place 7 x 0 y 0 depth 5 walk -1 -1\n"
                              "room 101 placements -2\ntrailing 00 1F\n")},
            {"keywords.txt", Bytes("room 0x65 # hex\n  place 3 walk 1 2 depth 3 y 4 x 5\n")}};
}

TARVO_FUZZ_TARGET(data, size) {
    const ScriptData& script = fuzz::DemoScript();
    BgData layouts;
    std::string error;
    if (!BackgroundsFromText(fuzz::Text(data, size), &script, layouts, error)) {
        fuzz::Require(!error.empty(), "a refused text has a reason");
        return 0;
    }
    BgData loaded;
    fuzz::Require(ParseBackgrounds(WriteBackgrounds(layouts), loaded, error) && loaded == layouts,
                  "a built file loads as it was written");
    BgData again;
    fuzz::Require(BackgroundsFromText(BackgroundsToText(layouts, &script), &script, again, error) &&
                      again == layouts,
                  "the dump reads back to the same layouts");
    return 0;
}
