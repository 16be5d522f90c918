#pragma once
// What each fuzz target file defines: the entry point that libFuzzer (or the corpus runner)
// calls with one input, and the seeds that the tests' makers build for the corpus.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

struct Seed {
    std::string name; // the corpus file name, without the "maker-" prefix
    std::vector<uint8_t> bytes;
};

// Defined by every target; may be empty when the demo gives enough.
std::vector<Seed> MakerSeeds();

// A property every accepted input keeps (a writer giving back the bytes it read, a decoder
// staying inside its picture); a broken one aborts, which the fuzzer reports as a finding.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz: broken property: %s\n", what);
    std::abort();
}

// What a writer gives back for a file it read must be that file, byte for byte.
inline void RequireSameBytes(const std::vector<uint8_t>& written, std::span<const uint8_t> read,
                             const char* what) {
    Require(written.size() == read.size() &&
                std::equal(written.begin(), written.end(), read.begin()),
            what);
}

inline std::span<const uint8_t> Input(const uint8_t* data, size_t size) {
    return {data, size};
}

} // namespace fuzz

#define TARVO_FUZZ_TARGET(data, size)                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
