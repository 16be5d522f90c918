// Writing the readable room-layout form; the format is described in BgText.h, the reader is
// in BgTextReader.cpp.
#include "core/BgText.h"

#include "core/ScriptNames.h"
#include "platform/Cp1251.h"

#include <cstdio>

namespace {

constexpr size_t kTrailingBytesPerLine = 16;

std::string Hex2(uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

// Whether a byte reads back as itself when written as its character: printable ASCII, and
// the Cyrillic and punctuation of Windows-1251 except the invisible ones (NBSP, soft hyphen)
// and 0x98, which has no character.
bool PlainByte(uint8_t byte) {
    if (byte < 0x80) return byte > 0x20 && byte != 0x7F;
    if (byte == 0x98 || byte == 0xA0 || byte == 0xAD) return false;
    const std::string one(1, static_cast<char>(byte));
    return platform::Utf8ToCp1251(platform::Cp1251ToUtf8(one)) == one;
}

bool BareWord(const std::string& bytes) {
    if (bytes.empty() || bytes[0] == '-' || (bytes[0] >= '0' && bytes[0] <= '9')) return false;
    for (char c : bytes)
        if (!PlainByte(static_cast<uint8_t>(c)) || c == '#' || c == '"' || c == '\\') return false;
    return true;
}

std::string Spelling(const std::string& bytes) {
    if (BareWord(bytes)) return platform::Cp1251ToUtf8(bytes);
    std::string text = "\"";
    for (char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        if (c == '"' || c == '\\')
            text += std::string("\\") + c;
        else if (PlainByte(byte) || c == ' ')
            text += platform::Cp1251ToUtf8(std::string(1, c));
        else
            text += "\\x" + Hex2(byte);
    }
    return text + "\"";
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
            out += Hex2(data.trailing[j]);
        }
        out += "\n";
    }
    return out;
}
