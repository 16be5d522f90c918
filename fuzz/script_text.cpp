// The script's text form as `tarvo-tool script build` reads it: an accepted text becomes a
// file that the engine's loader takes, and its dump reads back to the same script.
#include "core/ScriptFormat.h"
#include "core/ScriptText.h"
#include "fuzz/TextSamples.h"

#include "core/ScriptTestData.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    std::vector<Seed> seeds;
    scripttest::ScriptGenerator generator(14);
    for (int i = 0; i < 4; ++i)
        seeds.push_back(
            {"generated-" + std::to_string(i) + ".txt", Bytes(ScriptToText(generator.Next()))});
    return seeds;
}

TARVO_FUZZ_TARGET(data, size) {
    ScriptData script;
    std::string error;
    if (!ScriptFromText(fuzz::Text(data, size), script, error)) {
        fuzz::Require(!error.empty(), "a refused text has a reason");
        return 0;
    }
    const std::vector<uint8_t> file = WriteScript(script);
    ScriptData loaded;
    fuzz::Require(ParseScript(file, loaded, error), "a built script loads");
    fuzz::Require(loaded == script, "a built script loads as it was written");
    ScriptData again;
    fuzz::Require(ScriptFromText(ScriptToText(script), again, error) && again == script,
                  "the dump reads back to the same script");
    return 0;
}
