// "script.dat" as the world loads it. An accepted file is written back byte for byte, and its
// readable form (tarvo-tool script dump) reads back as the same script.
#include "core/ScriptFormat.h"
#include "core/ScriptText.h"
#include "fuzz/FuzzTarget.h"

#include "core/ScriptTestData.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    std::vector<Seed> seeds = {{"minimal.dat", scripttest::MinimalFile()}};
    scripttest::ScriptGenerator generator(14);
    for (int i = 0; i < 8; ++i)
        seeds.push_back({"generated" + std::to_string(i) + ".dat", WriteScript(generator.Next())});
    return seeds;
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> bytes = fuzz::Input(data, size);
    ScriptData script;
    std::string error;
    if (!ParseScript(bytes, script, error)) return 0;
    fuzz::RequireSameBytes(WriteScript(script), bytes, "WriteScript gives back the bytes read");
    ScriptData again;
    fuzz::Require(ScriptFromText(ScriptToText(script), again, error), "the dump reads back");
    fuzz::Require(again == script, "the dump reads back as the same script");
    return 0;
}
