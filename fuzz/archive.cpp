// StOR archives as the file layer opens them: the header checked against the file's size,
// then the directory. Every entry the parser accepts lies inside the data area, and the
// members rebuilt into a new archive read back with the same names and contents.
#include "fuzz/FuzzTarget.h"
#include "resources/ArchiveFormat.h"

#include <algorithm>

using namespace resources;

namespace {

// Entries may overlap, so their copies can add up to far more than the input.
constexpr uint64_t kMaxRebuiltBytes = 16 << 20;

std::vector<uint8_t> Text(const std::string& s) {
    return {s.begin(), s.end()};
}

} // namespace

std::vector<fuzz::Seed> fuzz::MakerSeeds() {
    const std::vector<std::vector<ArchiveMember>> archives = {
        {},
        {{"resource.qrc", Text("5000 = MENU.FLC\n")}},
        {{"SPEECH\\A.WAV", Text("RIFF")}, {"empty", {}}, {"script.dat", {2, 0, 0, 0, 0, 0, 0, 0}}},
    };
    std::vector<Seed> seeds;
    for (size_t i = 0; i < archives.size(); ++i) {
        std::vector<uint8_t> image;
        BuildArchive(archives[i], image);
        seeds.push_back({"archive" + std::to_string(i) + ".str", image});
    }
    return seeds;
}

TARVO_FUZZ_TARGET(data, size) {
    const std::span<const uint8_t> image = fuzz::Input(data, size);
    uint32_t directory = 0;
    if (!ParseArchiveHeader(image.first(std::min(size, kArchiveHeaderSize)), size, directory))
        return 0;
    std::vector<ArchiveEntry> entries;
    if (!ParseArchiveDirectory(image.subspan(directory), directory, entries)) return 0;

    uint64_t total = 0;
    for (const ArchiveEntry& e : entries) {
        fuzz::Require(e.offset >= kArchiveHeaderSize && uint64_t{e.offset} + e.size <= directory,
                      "entries lie inside the data area");
        total += e.size;
    }
    if (total > kMaxRebuiltBytes) return 0;
    std::vector<ArchiveMember> members;
    for (const ArchiveEntry& e : entries) {
        const auto bytes = image.subspan(e.offset, e.size);
        members.push_back({e.name, {bytes.begin(), bytes.end()}});
    }
    std::vector<uint8_t> rebuilt;
    fuzz::Require(BuildArchive(members, rebuilt), "accepted members can be written again");
    std::vector<ArchiveEntry> again;
    fuzz::Require(ParseArchive(rebuilt, again), "a rebuilt archive reads back");
    fuzz::Require(again.size() == entries.size(), "a rebuilt archive keeps every entry");
    for (size_t i = 0; i < again.size(); ++i) {
        fuzz::Require(again[i].name == entries[i].name, "a rebuilt archive keeps the names");
        const auto bytes =
            std::span<const uint8_t>(rebuilt).subspan(again[i].offset, again[i].size);
        fuzz::Require(
            std::equal(bytes.begin(), bytes.end(), members[i].data.begin(), members[i].data.end()),
            "a rebuilt archive keeps the contents");
    }
    return 0;
}
