#pragma once
// The "StOR" data archive format, little-endian:
//
//   0      4       magic "StOR"
//   4      4       D: file offset of the directory
//   8      D - 8   the members' data
//   D      4       N: number of entries
//   D + 4  12 * N  entries: name slot (ignored, written as 0), data offset, data size
//   ...            N names, each NUL-terminated, in entry order (to the end of the file)
//
// Parsing is strict: anything that does not describe a consistent archive is refused
// (bad magic, a directory outside the file or inside the header, more entries than the
// directory bytes can hold, an entry outside the data area [8, D), fewer names than entries).
// Used by the file layer (OpenArchive) and by `tarvo-tool archive`.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace resources {

inline constexpr size_t kArchiveHeaderSize = 8; // magic + directory offset
inline constexpr size_t kArchiveEntrySize = 12; // name slot + offset + size
inline constexpr char kArchiveMagic[4] = {'S', 't', 'O', 'R'};

struct ArchiveEntry {
    std::string name; // as stored, e.g. "SPEECH\\A.WAV"
    uint32_t offset = 0;
    uint32_t size = 0;
};

// Checks the 8-byte header of an archive of `fileSize` bytes and yields the directory offset D.
// Fails when the magic is wrong or the directory (at least its 4-byte count) is not inside
// the file after the header. `why` (optional) receives a one-line reason.
bool ParseArchiveHeader(std::span<const uint8_t> header, uint64_t fileSize,
                        uint32_t& directoryOffset, std::string* why = nullptr);

// Parses the directory: the bytes from D to the end of the file (count, entries, names).
bool ParseArchiveDirectory(std::span<const uint8_t> directory, uint32_t directoryOffset,
                           std::vector<ArchiveEntry>& entries, std::string* why = nullptr);

// Parses a whole archive image (header + directory); the entries' data is image[offset, +size).
bool ParseArchive(std::span<const uint8_t> image, std::vector<ArchiveEntry>& entries,
                  std::string* why = nullptr);

struct ArchiveMember {
    std::string name;
    std::vector<uint8_t> data;
};

// Builds an archive image holding the members in the given order (their data one after the
// other from offset 8, then the directory). Fails when a name contains a NUL or the image
// would not fit the format's 32-bit offsets.
bool BuildArchive(std::span<const ArchiveMember> members, std::vector<uint8_t>& image,
                  std::string* why = nullptr);

} // namespace resources
