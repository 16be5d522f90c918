#include "resources/ArchiveFormat.h"

#include "platform/ByteReader.h"

#include "platform/ByteWriter.h"
#include <algorithm>
#include <cstring>
#include <limits>

namespace resources {

namespace {

using platform::PutU16;
using platform::PutU32;

bool Fail(std::string* why, const char* reason) {
    if (why != nullptr) *why = reason;
    return false;
}

} // namespace

bool ParseArchiveHeader(std::span<const uint8_t> header, uint64_t fileSize,
                        uint32_t& directoryOffset, std::string* why) {
    platform::ByteReader r(header);
    auto magic = r.Bytes(sizeof kArchiveMagic);
    uint32_t d = r.U32();
    if (r.Failed() || fileSize < kArchiveHeaderSize)
        return Fail(why, "file too short for a header");
    if (std::memcmp(magic.data(), kArchiveMagic, sizeof kArchiveMagic) != 0)
        return Fail(why, "not a StOR archive (bad magic)");
    // The directory starts after the header and holds at least its 4-byte entry count.
    if (d < kArchiveHeaderSize || uint64_t{d} + 4 > fileSize)
        return Fail(why, "directory offset outside the file");
    directoryOffset = d;
    return true;
}

bool ParseArchiveDirectory(std::span<const uint8_t> directory, uint32_t directoryOffset,
                           std::vector<ArchiveEntry>& entries, std::string* why) {
    platform::ByteReader r(directory);
    uint32_t count = r.U32();
    if (r.Failed()) return Fail(why, "directory too short for the entry count");
    // Each entry takes 12 bytes plus at least the NUL of its name.
    if (uint64_t{count} * (kArchiveEntrySize + 1) > r.Remaining())
        return Fail(why, "entry count larger than the directory can hold");

    std::vector<ArchiveEntry> parsed(count);
    for (ArchiveEntry& e : parsed) {
        r.U32(); // name slot: ignored
        e.offset = r.U32();
        e.size = r.U32();
        // The data area is [8, D); 64-bit sums so that nothing wraps around.
        if (e.offset < kArchiveHeaderSize || uint64_t{e.offset} + e.size > directoryOffset)
            return Fail(why, "entry data outside the data area");
    }
    for (ArchiveEntry& e : parsed) {
        e.name = r.CString();
        if (r.Failed()) return Fail(why, "fewer names than entries");
    }
    entries = std::move(parsed);
    return true;
}

bool ParseArchive(std::span<const uint8_t> image, std::vector<ArchiveEntry>& entries,
                  std::string* why) {
    uint32_t d = 0;
    if (!ParseArchiveHeader(image.first(std::min(image.size(), kArchiveHeaderSize)), image.size(),
                            d, why))
        return false;
    return ParseArchiveDirectory(image.subspan(d), d, entries, why);
}

bool BuildArchive(std::span<const ArchiveMember> members, std::vector<uint8_t>& image,
                  std::string* why) {
    constexpr uint64_t kLimit = std::numeric_limits<uint32_t>::max();
    uint64_t dataEnd = kArchiveHeaderSize;
    uint64_t total = kArchiveHeaderSize + 4;
    for (const ArchiveMember& m : members) {
        if (m.name.find('\0') != std::string::npos) return Fail(why, "a name contains a NUL");
        dataEnd += m.data.size();
        total += m.data.size() + kArchiveEntrySize + m.name.size() + 1;
        if (dataEnd > kLimit) return Fail(why, "members too large for 32-bit offsets");
    }
    // RawSize/RawTell report positions as int32, so keep archives below 2 GiB.
    if (total > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
        return Fail(why, "archive would exceed 2 GiB");

    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(total));
    out.insert(out.end(), kArchiveMagic, kArchiveMagic + sizeof kArchiveMagic);
    PutU32(out, static_cast<uint32_t>(dataEnd));
    for (const ArchiveMember& m : members)
        out.insert(out.end(), m.data.begin(), m.data.end());
    PutU32(out, static_cast<uint32_t>(members.size()));
    uint32_t offset = kArchiveHeaderSize;
    for (const ArchiveMember& m : members) {
        PutU32(out, 0);
        PutU32(out, offset);
        PutU32(out, static_cast<uint32_t>(m.data.size()));
        offset += static_cast<uint32_t>(m.data.size());
    }
    for (const ArchiveMember& m : members) {
        out.insert(out.end(), m.name.begin(), m.name.end());
        out.push_back(0);
    }
    image = std::move(out);
    return true;
}

} // namespace resources
