// Reading the readable room-layout form described in BgText.h, line by line.
#include "core/BgText.h"

#include "core/ScriptNames.h"
#include "core/TextTokens.h"
#include "platform/Cp1251.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

using Token = TextToken;

// Decimal or 0x hexadecimal with an optional '-'; false when the text is no such number or
// lies outside min..max.
bool ParseNumber(std::string_view text, int64_t min, int64_t max, int64_t& value) {
    return ParseInteger(text, value) && value >= min && value <= max;
}

class TextReader {
public:
    explicit TextReader(const ScriptData* script) : names_(script) {}

    bool Run(std::string_view text, BgData& out, std::string& error);

private:
    bool Fail(const std::string& reason) {
        error_ = std::to_string(line_) + ": " + reason;
        return false;
    }
    bool Statement(const std::vector<Token>& tokens);
    bool Room(const std::vector<Token>& tokens);
    bool Place(const std::vector<Token>& tokens);
    bool PlaceValue(const std::vector<Token>& tokens, size_t& i, BgPlacement& place,
                    unsigned& seen);
    bool Trailing(const std::vector<Token>& tokens);
    bool Value(const std::vector<Token>& tokens, size_t i, const std::string& what, int64_t min,
               int64_t max, int64_t& value);
    bool Reference(const Token& token, const char* what, int64_t min, int64_t& id);

    ScriptNames names_;
    BgData data_;
    size_t line_ = 0;
    bool countGiven_ = false; // the current room said `placements M`
    bool inTrailing_ = false;
    std::string error_;
};

bool TextReader::Run(std::string_view text, BgData& out, std::string& error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3); // byte order mark
    std::vector<Token> tokens;
    size_t start = 0;
    bool ok = true;
    while (ok && start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++line_;
        std::string reason;
        ok = TokenizeLine(text.substr(start, end - start), tokens, reason) ? Statement(tokens)
                                                                           : Fail(reason);
        start = end + 1;
    }
    if (!ok) {
        error = error_;
        return false;
    }
    out = std::move(data_);
    return true;
}

bool TextReader::Statement(const std::vector<Token>& tokens) {
    if (tokens.empty()) return true;
    const Token& keyword = tokens[0];
    if (!keyword.quoted && keyword.text == "trailing") return Trailing(tokens);
    const bool room = !keyword.quoted && keyword.text == "room";
    const bool place = !keyword.quoted && keyword.text == "place";
    if (!room && !place)
        return Fail("unknown statement '" + keyword.text + "' (room, place or trailing)");
    if (inTrailing_) return Fail("'" + keyword.text + "' after the trailing bytes");
    return room ? Room(tokens) : Place(tokens);
}

bool TextReader::Room(const std::vector<Token>& tokens) {
    if (tokens.size() < 2) return Fail("'room' needs a room name or id");
    int64_t id = 0;
    if (!Reference(tokens[1], "room id", -32768, id)) return false;
    BgRoom room;
    room.roomId = static_cast<int16_t>(static_cast<uint16_t>(id));
    countGiven_ = false;
    if (tokens.size() > 2) {
        if (tokens[2].quoted || tokens[2].text != "placements")
            return Fail("unexpected '" + tokens[2].text + "' after the room");
        int64_t count = 0;
        if (!Value(tokens, 3, "placements", std::numeric_limits<int32_t>::min(), 0, count))
            return Fail("'placements' takes a stored count <= 0 (a room without placements)");
        if (tokens.size() > 4) return Fail("unexpected '" + tokens[4].text + "' after the room");
        room.placementCount = static_cast<int32_t>(count);
        countGiven_ = true;
    }
    data_.rooms.push_back(std::move(room));
    return true;
}

bool TextReader::Place(const std::vector<Token>& tokens) {
    if (data_.rooms.empty()) return Fail("'place' before the first 'room'");
    if (countGiven_) return Fail("a room with 'placements' given has no placements");
    if (tokens.size() < 2) return Fail("'place' needs an object name or id");
    int64_t id = 0;
    if (!Reference(tokens[1], "object id", 0, id)) return false;
    BgPlacement place;
    place.objectId = static_cast<uint16_t>(id);
    unsigned seen = 0;
    for (size_t i = 2; i < tokens.size();)
        if (!PlaceValue(tokens, i, place, seen)) return false;
    const char* names[] = {"x", "y", "depth", "walk"};
    for (unsigned bit = 0; bit < 4; ++bit)
        if ((seen & (1u << bit)) == 0)
            return Fail(std::string("'place' lacks '") + names[bit] + "'");
    BgRoom& room = data_.rooms.back();
    room.placements.push_back(place);
    room.placementCount = static_cast<int32_t>(room.placements.size());
    return true;
}

// One `KEYWORD VALUE...` of a place line, starting at tokens[i]; i ends after it.
bool TextReader::PlaceValue(const std::vector<Token>& tokens, size_t& i, BgPlacement& place,
                            unsigned& seen) {
    const std::string& keyword = tokens[i].text;
    struct Field {
        const char* name;
        int32_t* first;
        int32_t* second;
    };
    const Field fields[] = {{"x", &place.x, nullptr},
                            {"y", &place.y, nullptr},
                            {"depth", &place.depth, nullptr},
                            {"walk", &place.walkX, &place.walkY}};
    for (unsigned bit = 0; bit < 4; ++bit) {
        const Field& field = fields[bit];
        if (tokens[i].quoted || keyword != field.name) continue;
        if ((seen & (1u << bit)) != 0) return Fail("'" + keyword + "' given twice");
        seen |= 1u << bit;
        constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
        constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
        int64_t value = 0;
        if (!Value(tokens, i + 1, keyword, kMin, kMax, value)) return false;
        *field.first = static_cast<int32_t>(value);
        i += 2;
        if (field.second == nullptr) return true;
        if (!Value(tokens, i, keyword, kMin, kMax, value)) return false;
        *field.second = static_cast<int32_t>(value);
        ++i;
        return true;
    }
    return Fail("unknown value '" + keyword + "' (x, y, depth or walk)");
}

bool TextReader::Trailing(const std::vector<Token>& tokens) {
    inTrailing_ = true;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string& hex = tokens[i].text;
        if (tokens[i].quoted || hex.size() != 2 || HexDigit(hex[0]) < 0 || HexDigit(hex[1]) < 0)
            return Fail("bad trailing byte '" + hex + "' (two hex digits)");
        data_.trailing.push_back(static_cast<uint8_t>(HexDigit(hex[0]) * 16 + HexDigit(hex[1])));
    }
    return true;
}

bool TextReader::Value(const std::vector<Token>& tokens, size_t i, const std::string& what,
                       int64_t min, int64_t max, int64_t& value) {
    if (i >= tokens.size()) return Fail("'" + what + "' needs a number");
    if (tokens[i].quoted || !ParseNumber(tokens[i].text, min, max, value))
        return Fail("bad number '" + tokens[i].text + "' for '" + what + "' (" +
                    std::to_string(min) + ".." + std::to_string(max) + ")");
    return true;
}

// An id given as a number (min..65535) or as a script name.
bool TextReader::Reference(const Token& token, const char* what, int64_t min, int64_t& id) {
    const bool numeric = !token.quoted && !token.text.empty() &&
                         ((token.text[0] >= '0' && token.text[0] <= '9') || token.text[0] == '-');
    if (numeric) {
        if (ParseNumber(token.text, min, 0xFFFF, id)) return true;
        return Fail("bad " + std::string(what) + " '" + token.text + "' (" + std::to_string(min) +
                    "..65535)");
    }
    std::string bytes;
    if (token.quoted)
        bytes = token.text;
    else if (!AppendFileBytes(token.text, bytes))
        return Fail("name '" + token.text + "' has characters without a Windows-1251 code");
    const std::string shown = platform::Cp1251ToUtf8(bytes);
    if (!names_.HasScript())
        return Fail("'" + shown + "' is a name, but no script was given to look names up in");
    uint16_t found = 0;
    switch (names_.IdOf(bytes, found)) {
    case ScriptNames::Lookup::Unknown:
        return Fail("no script record is named '" + shown + "'");
    case ScriptNames::Lookup::Ambiguous:
        return Fail("more than one script record is named '" + shown + "'");
    case ScriptNames::Lookup::Found:
        break;
    }
    id = found;
    return true;
}

} // namespace

bool BackgroundsFromText(std::string_view text, const ScriptData* script, BgData& out,
                         std::string& error) {
    return TextReader(script).Run(text, out, error);
}
