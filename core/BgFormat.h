#pragma once
// "backgrnd.bg": which objects stand in which room, and where. Little-endian, byte-packed,
// no header and no checksum:
//
//   N i32, then N room records
//   room record: room id i16, M i32, M placements (none when M <= 0)
//   placement:   object id u16, x i32, y i32, depth i32, walk x i32, walk y i32 (22 bytes)
//
// ParseBackgrounds refuses what cannot be read whole (truncation, a negative N, counts that
// cannot fit the bytes left) with a one-line reason. A negative M is read as "no placements"
// and kept, and bytes after the last record are kept in `trailing`, so WriteBackgrounds
// reproduces every accepted file exactly.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct BgPlacement {
    uint16_t objectId = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t depth = 0;
    int32_t walkX = 0;
    int32_t walkY = 0;

    bool operator==(const BgPlacement&) const = default;
};

struct BgRoom {
    int16_t roomId = 0;
    // M as stored: placements.size(), or <= 0 when there are none.
    int32_t placementCount = 0;
    std::vector<BgPlacement> placements;

    bool operator==(const BgRoom&) const = default;
};

struct BgData {
    std::vector<BgRoom> rooms;
    std::vector<uint8_t> trailing; // bytes after the last record

    bool operator==(const BgData&) const = default;
};

inline constexpr size_t kBgRoomHeaderSize = 6; // room id, M
inline constexpr size_t kBgPlacementSize = 22; // 2 + 5 x 4, fields back to back

// Parses a whole file image. On failure returns false, leaves `out` unspecified and puts a
// one-line reason into `error`.
bool ParseBackgrounds(std::span<const uint8_t> bytes, BgData& out, std::string& error);

// The file image of `data`; the exact inverse of ParseBackgrounds. A non-empty placement list
// writes its size as M; an empty one writes the stored count when it is negative, else 0.
std::vector<uint8_t> WriteBackgrounds(const BgData& data);
