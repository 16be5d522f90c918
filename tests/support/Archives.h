#pragma once
// Archive images for tests: well-formed ones through the writer, and hand-made byte images
// for malformed ones.
#include "resources/ArchiveFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

using Members = std::vector<std::pair<std::string, std::string>>; // name, content

inline std::vector<uint8_t> ArchiveImage(const Members& members) {
    std::vector<resources::ArchiveMember> list;
    for (const auto& [name, content] : members)
        list.push_back({name, std::vector<uint8_t>(content.begin(), content.end())});
    std::vector<uint8_t> image;
    std::string why;
    EXPECT_TRUE(resources::BuildArchive(list, image, &why)) << why;
    return image;
}

inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline void SetU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct RawEntry {
    uint32_t offset;
    uint32_t size;
};

// An image laid out by hand: magic, D, data, N, entries, then `names` verbatim.
inline std::vector<uint8_t> RawArchive(const std::string& magic, uint32_t directoryOffset,
                                       const std::string& data, uint32_t count,
                                       const std::vector<RawEntry>& entries,
                                       const std::string& names) {
    std::vector<uint8_t> out(magic.begin(), magic.end());
    PutU32(out, directoryOffset);
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, count);
    for (const RawEntry& e : entries) {
        PutU32(out, 0xDEADBEEF); // name slot: ignored
        PutU32(out, e.offset);
        PutU32(out, e.size);
    }
    out.insert(out.end(), names.begin(), names.end());
    return out;
}

} // namespace testsupport
