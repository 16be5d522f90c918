#include "core/BgFormat.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace {

// Whether `count` records of `size` bytes each fit into `remaining` bytes. Checked before
// anything is reserved, so that a huge count in a small file never allocates.
bool Fits(int64_t count, size_t size, size_t remaining) {
    return count <= static_cast<int64_t>(remaining / size);
}

class Parser {
public:
    explicit Parser(std::span<const uint8_t> bytes) : in_(bytes) {}

    bool Run(BgData& out, std::string& error);

private:
    bool Fail(std::string reason) {
        error_ = std::move(reason);
        return false;
    }
    bool ReadCount(BgData& out);
    bool ReadRoom(size_t index, BgRoom& room);

    platform::ByteReader in_;
    std::string error_;
};

bool Parser::Run(BgData& out, std::string& error) {
    out = BgData{};
    bool ok = ReadCount(out);
    for (size_t i = 0; ok && i < out.rooms.size(); ++i)
        ok = ReadRoom(i, out.rooms[i]);
    if (!ok) {
        error = error_;
        return false;
    }
    std::span<const uint8_t> rest = in_.Bytes(in_.Remaining());
    out.trailing.assign(rest.begin(), rest.end());
    return true;
}

bool Parser::ReadCount(BgData& out) {
    const int32_t count = in_.I32();
    if (in_.Failed())
        return Fail("file is " + std::to_string(in_.Size()) +
                    " bytes long; the room count needs 4");
    if (count < 0) return Fail("N is " + std::to_string(count) + " (a count cannot be negative)");
    if (!Fits(count, kBgRoomHeaderSize, in_.Remaining()))
        return Fail("N = " + std::to_string(count) + " room records do not fit in " +
                    std::to_string(in_.Remaining()) + " bytes (at least " +
                    std::to_string(kBgRoomHeaderSize) + " bytes each)");
    out.rooms.resize(static_cast<size_t>(count));
    return true;
}

bool Parser::ReadRoom(size_t index, BgRoom& room) {
    const std::string record = "room record " + std::to_string(index);
    room.roomId = in_.I16();
    room.placementCount = in_.I32();
    if (in_.Failed()) return Fail("file ends inside " + record);
    const std::string self = record + " (room " + std::to_string(room.roomId) + ")";
    if (room.placementCount <= 0) return true;
    if (!Fits(room.placementCount, kBgPlacementSize, in_.Remaining()))
        return Fail(self + ": M = " + std::to_string(room.placementCount) +
                    " placements do not fit in " + std::to_string(in_.Remaining()) + " bytes (" +
                    std::to_string(kBgPlacementSize) + " bytes each)");
    room.placements.resize(static_cast<size_t>(room.placementCount));
    for (BgPlacement& p : room.placements) {
        p.objectId = in_.U16();
        p.x = in_.I32();
        p.y = in_.I32();
        p.depth = in_.I32();
        p.walkX = in_.I32();
        p.walkY = in_.I32();
    }
    // The size check above makes this unreachable; kept so a broken check cannot go unseen.
    if (in_.Failed()) return Fail("file ends inside " + self);
    return true;
}

int32_t StoredCount(const BgRoom& room) {
    if (!room.placements.empty()) return static_cast<int32_t>(room.placements.size());
    return room.placementCount < 0 ? room.placementCount : 0;
}

} // namespace

bool ParseBackgrounds(std::span<const uint8_t> bytes, BgData& out, std::string& error) {
    return Parser(bytes).Run(out, error);
}

std::vector<uint8_t> WriteBackgrounds(const BgData& data) {
    platform::ByteWriter out;
    out.I32(static_cast<int32_t>(data.rooms.size()));
    for (const BgRoom& room : data.rooms) {
        out.U16(static_cast<uint16_t>(room.roomId));
        out.I32(StoredCount(room));
        for (const BgPlacement& p : room.placements) {
            out.U16(p.objectId);
            out.I32(p.x);
            out.I32(p.y);
            out.I32(p.depth);
            out.I32(p.walkX);
            out.I32(p.walkY);
        }
    }
    out.Bytes(data.trailing);
    return out.Take();
}
