// Walk-cycle step tables in their text form as `tarvo-tool cycle build` reads them: an
// accepted text becomes a file that reads back as the same table, and so does its dump.
#include "fuzz/TextSamples.h"
#include "walk/WalkCycle.h"
#include "walk/WalkText.h"

#include "support/WalkCycles.h"

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    const auto [off, leg] = testing_support::UniformTables(3, 6, 8, platform::Point{12, 60});
    return {{"off.txt", Bytes(walk::StepTableToText(off))},
            {"leg.txt", Bytes(walk::StepTableToText(leg))},
            {"steps.txt", Bytes("header 0\nstep 12 0\nstep -3 0x10 # hex\nstep 5 -1\n")},
            {"trailing.txt", Bytes("header 7\nstep 1 2\ntrailing 01 02 03\n")},
            {"short.txt", Bytes("trailing 09 00\n")}};
}

TARVO_FUZZ_TARGET(data, size) {
    walk::StepTable table;
    std::string error;
    if (!walk::StepTableFromText(fuzz::Text(data, size), table, error)) {
        fuzz::Require(!error.empty(), "a refused text has a reason");
        return 0;
    }
    fuzz::Require(walk::ParseStepTable(walk::WriteStepTable(table)) == table,
                  "a built file loads as it was written");
    walk::StepTable again;
    fuzz::Require(walk::StepTableFromText(walk::StepTableToText(table), again, error) &&
                      again == table,
                  "the dump reads back to the same table");
    return 0;
}
