// Writing the readable room-layout form; the format is described in BgText.h, the reader is
// in BgTextReader.cpp.
#include "core/BgText.h"

#include "core/ScriptNames.h"
#include "core/TextTokens.h"
#include "platform/Cp1251.h"


namespace {

constexpr size_t kTrailingBytesPerLine = 16;

std::string Spelling(const std::string& bytes) {
    return IsBareWord(bytes) ? platform::Cp1251ToUtf8(bytes) : QuoteFileBytes(bytes);
}

// The name of an id when one leads back to it, else the number.
std::string Reference(const ScriptNames& names, uint16_t id, int64_t number) {
    const std::optional<std::string> name = names.NameOf(id);
    return name ? Spelling(*name) : std::to_string(number);
}

void WriteRoom(std::string& out, const BgRoom& room, const ScriptNames& names) {
    const auto id = static_cast<uint16_t>(room.roomId);
    out += "room " + Reference(names, id, room.roomId);
    if (room.placements.empty() && room.placementCount < 0)
        out += " placements " + std::to_string(room.placementCount);
    if (names.NameOf(id)) out += "  # " + std::to_string(room.roomId);
    out += "\n";
    for (const BgPlacement& p : room.placements) {
        out += "  place " + Reference(names, p.objectId, p.objectId);
        out += " x " + std::to_string(p.x) + " y " + std::to_string(p.y);
        out += " depth " + std::to_string(p.depth);
        out += " walk " + std::to_string(p.walkX) + " " + std::to_string(p.walkY);
        if (names.NameOf(p.objectId)) out += "  # " + std::to_string(p.objectId);
        out += "\n";
    }
}

} // namespace

std::string BackgroundsToText(const BgData& data, const ScriptData* script) {
    const ScriptNames names(script);
    std::string out = "# backgrnd.bg: " + std::to_string(data.rooms.size()) + " room records\n";
    for (const BgRoom& room : data.rooms)
        WriteRoom(out, room, names);
    for (size_t i = 0; i < data.trailing.size(); i += kTrailingBytesPerLine) {
        out += "trailing";
        for (size_t j = i; j < data.trailing.size() && j < i + kTrailingBytesPerLine; ++j) {
            out += ' ';
            out += HexByte(data.trailing[j]);
        }
        out += "\n";
    }
    return out;
}
