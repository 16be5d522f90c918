// Reading the readable script form described in ScriptText.h. Lines are read one by one into
// the data; ids left out and names used as references are settled once every record is known,
// because a reaction may name an object written further down.
#include "core/ScriptText.h"

#include "core/MessageTypes.h"
#include "core/TextTokens.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <vector>

namespace {

using Token = TextToken;

enum class Kind { Player, Object, Room };

constexpr size_t kPlayerCount = 2;
constexpr size_t kNoMessage = static_cast<size_t>(-1);

bool LooksNumeric(const Token& token) {
    return !token.quoted && !token.text.empty() &&
           ((token.text[0] >= '0' && token.text[0] <= '9') || token.text[0] == '-');
}

// A name or id to be settled when all records are known.
struct Reference {
    size_t line = 0;
    std::string nameBytes;
    size_t object = 0;
    size_t reaction = 0;
    size_t message = kNoMessage; // kNoMessage: the reaction's sender
};

struct RecordInfo {
    size_t line = 0;
    bool idGiven = false;
};

class TextReader {
public:
    bool Run(std::string_view text, ScriptData& out, std::string& error);

private:
    bool Fail(const std::string& reason) { return FailAt(line_, reason); }
    bool FailAt(size_t line, const std::string& reason) {
        error_ = std::to_string(line) + ": " + reason;
        return false;
    }
    bool Number(const Token& token, const char* what, int64_t min, int64_t max, int64_t& value);
    bool Name(const Token& token, std::string& bytes);
    bool Type(const Token& token, uint16_t& type);
    bool ObjectRef(const Token& token, uint16_t& id, size_t message);

    bool Statement(const std::vector<Token>& tokens);
    bool Record(Kind kind, const std::vector<Token>& tokens);
    bool CheckRecordOrder(Kind kind);
    bool Reaction(const std::vector<Token>& tokens);
    bool ReactionOption(const std::vector<Token>& tokens, size_t& i, ScriptReaction& reaction);
    bool Message(const std::vector<Token>& tokens);
    bool Trailing(const std::vector<Token>& tokens);

    bool Finish();
    bool AssignIds();
    bool ResolveReferences();

    ScriptData data_;
    std::vector<RecordInfo> records_;
    std::vector<Reference> references_;
    size_t line_ = 0;
    size_t players_ = 0;
    size_t rooms_ = 0;
    Kind lastKind_ = Kind::Player;
    bool countGiven_ = false;        // the current record said `reactions K`
    bool messageCountGiven_ = false; // the current reaction said `messages M`
    bool inTrailing_ = false;
    std::string error_;
};

bool TextReader::Run(std::string_view text, ScriptData& out, std::string& error) {
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
    if (ok) ok = Finish();
    if (!ok) {
        error = error_;
        return false;
    }
    out = std::move(data_);
    return true;
}

bool TextReader::Number(const Token& token, const char* what, int64_t min, int64_t max,
                        int64_t& value) {
    if (token.quoted || !ParseInteger(token.text, value))
        return Fail(std::string("bad number '") + token.text + "' for " + what);
    if (value < min || value > max)
        return Fail(std::string(what) + " " + token.text + " is out of range (" +
                    std::to_string(min) + ".." + std::to_string(max) + ")");
    return true;
}

bool TextReader::Name(const Token& token, std::string& bytes) {
    if (token.quoted) {
        bytes = token.text;
        return true;
    }
    if (LooksNumeric(token))
        return Fail("name '" + token.text + "' starts like a number; write it in quotes");
    bytes.clear();
    if (!AppendFileBytes(token.text, bytes))
        return Fail("name '" + token.text +
                    "' has characters without a Windows-1251 code (write such bytes as \\xNN)");
    return true;
}

bool TextReader::Type(const Token& token, uint16_t& type) {
    if (LooksNumeric(token)) {
        int64_t value = 0;
        if (!Number(token, "message type", 0, 0xFFFF, value)) return false;
        type = static_cast<uint16_t>(value);
        return true;
    }
    const int named = token.quoted ? -1 : MessageTypeFromName(token.text);
    if (named < 0) return Fail("unknown message type '" + token.text + "'");
    type = static_cast<uint16_t>(named);
    return true;
}

// An object given by id, by name (settled later) or as `any`. `message` is the index of the
// message in the current reaction, or kNoMessage for the reaction's sender.
bool TextReader::ObjectRef(const Token& token, uint16_t& id, size_t message) {
    if (!token.quoted && token.text == "any") {
        id = kAnyObjectId;
        return true;
    }
    if (LooksNumeric(token)) {
        int64_t value = 0;
        if (!Number(token, "object id", 0, 0xFFFF, value)) return false;
        id = static_cast<uint16_t>(value);
        return true;
    }
    Reference ref;
    if (!Name(token, ref.nameBytes)) return false;
    ref.line = line_;
    ref.object = data_.objects.size() - 1;
    ref.reaction = data_.objects.back().reactions.size() - 1;
    ref.message = message;
    references_.push_back(std::move(ref));
    return true;
}

bool TextReader::Statement(const std::vector<Token>& tokens) {
    if (tokens.empty()) return true;
    const Token& first = tokens[0];
    const std::string keyword = first.quoted ? std::string() : first.text;
    if (keyword == "trailing") return Trailing(tokens);
    if (inTrailing_) return Fail("only 'trailing' lines may follow the trailing bytes");
    if (keyword == "player") return Record(Kind::Player, tokens);
    if (keyword == "object") return Record(Kind::Object, tokens);
    if (keyword == "room") return Record(Kind::Room, tokens);
    if (keyword == "on") return Reaction(tokens);
    return Message(tokens);
}

bool TextReader::CheckRecordOrder(Kind kind) {
    if (kind == Kind::Player && players_ == kPlayerCount)
        return Fail("a third player record (there are two player characters)");
    if (kind != Kind::Player && players_ < kPlayerCount)
        return Fail("the two player records must come first");
    if (kind == Kind::Object && lastKind_ == Kind::Room)
        return Fail("an object record after the rooms (rooms come last)");
    return true;
}

bool TextReader::Record(Kind kind, const std::vector<Token>& tokens) {
    if (!CheckRecordOrder(kind)) return false;
    ScriptObject object;
    RecordInfo info{line_, false};
    size_t i = 1;
    if (i < tokens.size() && LooksNumeric(tokens[i])) {
        int64_t id = 0;
        if (!Number(tokens[i++], "object id", 0, 0xFFFF, id)) return false;
        object.id = static_cast<uint16_t>(id);
        info.idGiven = true;
    }
    if (i == tokens.size()) return Fail("a record needs a name");
    if (!Name(tokens[i++], object.nameBytes)) return false;
    countGiven_ = false;
    if (i < tokens.size() && !tokens[i].quoted && tokens[i].text == "reactions") {
        if (++i == tokens.size()) return Fail("'reactions' needs a count");
        int64_t count = 0;
        if (!Number(tokens[i++], "stored reaction count", INT32_MIN, 0, count)) return false;
        object.reactionCount = static_cast<int32_t>(count);
        countGiven_ = true;
    }
    if (i < tokens.size()) return Fail("unexpected '" + tokens[i].text + "' after the record");
    if (kind == Kind::Player) ++players_;
    if (kind == Kind::Room) ++rooms_;
    lastKind_ = kind;
    data_.objects.push_back(std::move(object));
    records_.push_back(info);
    return true;
}

bool TextReader::Reaction(const std::vector<Token>& tokens) {
    if (data_.objects.empty()) return Fail("a reaction before any record");
    if (countGiven_) return Fail("a reaction for a record with a stored count (it means none)");
    if (tokens.size() < 2) return Fail("'on' needs a message type");
    ScriptReaction reaction;
    if (!Type(tokens[1], reaction.type)) return false;
    data_.objects.back().reactions.push_back(reaction); // the sender may refer to it
    messageCountGiven_ = false;
    ScriptReaction& added = data_.objects.back().reactions.back();
    for (size_t i = 2; i < tokens.size();)
        if (!ReactionOption(tokens, i, added)) return false;
    return true;
}

bool TextReader::ReactionOption(const std::vector<Token>& tokens, size_t& i,
                                ScriptReaction& reaction) {
    const Token& key = tokens[i++];
    const std::string name = key.quoted ? std::string() : key.text;
    if (name != "status" && name != "sender" && name != "messages")
        return Fail("unexpected '" + key.text + "' (expected status, sender or messages)");
    if (i == tokens.size()) return Fail("'" + name + "' needs a value");
    const Token& value = tokens[i++];
    if (name == "sender") return ObjectRef(value, reaction.sender, kNoMessage);
    int64_t number = 0;
    if (name == "status") {
        if (!value.quoted && value.text == "any") {
            reaction.status = kAnyStatus;
            return true;
        }
        if (!Number(value, "status", -128, 255, number)) return false;
        reaction.status = static_cast<int8_t>(static_cast<uint8_t>(number & 0xFF));
        return true;
    }
    if (!Number(value, "stored message count", INT32_MIN, 0, number)) return false;
    reaction.messageCount = static_cast<int32_t>(number);
    messageCountGiven_ = true;
    return true;
}

bool TextReader::Message(const std::vector<Token>& tokens) {
    if (data_.objects.empty() || data_.objects.back().reactions.empty())
        return Fail("'" + tokens[0].text + "' is no statement here (a message belongs to a " +
                    "reaction: on TYPE ...)");
    if (messageCountGiven_)
        return Fail("a message for a reaction with a stored count (it means none)");
    ScriptMessage message;
    if (!Type(tokens[0], message.type)) return false;
    if (tokens.size() < 2) return Fail("the message needs a target");
    if (tokens.size() > 5) return Fail("unexpected '" + tokens[5].text + "' after the message");
    ScriptReaction& reaction = data_.objects.back().reactions.back();
    if (!ObjectRef(tokens[1], message.target, reaction.messages.size())) return false;
    const char* names[] = {"param1", "param2", "param3"};
    uint16_t params[3] = {0, 0, 0}; // each keeps the low 16 bits of what is written
    for (size_t p = 0; p + 2 < tokens.size(); ++p) {
        int64_t value = 0;
        if (!Number(tokens[p + 2], names[p], -32768, 65535, value)) return false;
        params[p] = static_cast<uint16_t>(value & 0xFFFF);
    }
    message.param1 = params[0];
    message.param2 = params[1];
    message.param3 = static_cast<int16_t>(params[2]);
    reaction.messages.push_back(message);
    return true;
}

bool TextReader::Trailing(const std::vector<Token>& tokens) {
    inTrailing_ = true;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string& text = tokens[i].text;
        if (tokens[i].quoted || text.size() != 2 || HexDigit(text[0]) < 0 || HexDigit(text[1]) < 0)
            return Fail("bad trailing byte '" + text + "' (two hex digits expected)");
        data_.trailing.push_back(static_cast<uint8_t>(HexDigit(text[0]) * 16 + HexDigit(text[1])));
    }
    return true;
}

bool TextReader::Finish() {
    if (players_ < kPlayerCount)
        return FailAt(std::max<size_t>(line_, 1),
                      "the script needs two player records, it has " + std::to_string(players_));
    if (!AssignIds() || !ResolveReferences()) return false;
    for (ScriptObject& object : data_.objects) {
        if (!object.reactions.empty())
            object.reactionCount = static_cast<int32_t>(object.reactions.size());
        for (ScriptReaction& reaction : object.reactions)
            if (!reaction.messages.empty())
                reaction.messageCount = static_cast<int32_t>(reaction.messages.size());
    }
    data_.roomCount = static_cast<int32_t>(rooms_);
    data_.objectCount = static_cast<int32_t>(data_.objects.size() - rooms_);
    return true;
}

bool TextReader::AssignIds() {
    int64_t previous = -1;
    for (size_t i = 0; i < records_.size(); ++i) {
        if (!records_[i].idGiven) {
            if (previous == 0xFFFF)
                return FailAt(records_[i].line, "no id follows 65535; give the id");
            data_.objects[i].id = static_cast<uint16_t>(previous + 1);
        }
        previous = data_.objects[i].id;
    }
    std::multimap<uint16_t, size_t> recordsById;
    for (size_t i = 0; i < records_.size(); ++i)
        recordsById.emplace(data_.objects[i].id, i);
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i].idGiven) continue;
        const uint16_t id = data_.objects[i].id;
        for (auto [it, end] = recordsById.equal_range(id); it != end; ++it)
            if (it->second != i)
                return FailAt(records_[i].line, "the counted id " + std::to_string(id) +
                                                    " is taken by the record on line " +
                                                    std::to_string(records_[it->second].line) +
                                                    "; give the id");
    }
    return true;
}

bool TextReader::ResolveReferences() {
    std::multimap<std::string, size_t> recordsByName;
    for (size_t i = 0; i < data_.objects.size(); ++i)
        recordsByName.emplace(data_.objects[i].Name(), i);
    for (const Reference& ref : references_) {
        const std::string shown = platform::Cp1251ToUtf8(ref.nameBytes);
        auto [first, end] = recordsByName.equal_range(ref.nameBytes);
        if (first == end) return FailAt(ref.line, "unknown object name '" + shown + "'");
        if (std::next(first) != end)
            return FailAt(ref.line, "object name '" + shown + "' is ambiguous (records on lines " +
                                        std::to_string(records_[first->second].line) + " and " +
                                        std::to_string(records_[std::next(first)->second].line) +
                                        "); use the id");
        const uint16_t id = data_.objects[first->second].id;
        ScriptReaction& reaction = data_.objects[ref.object].reactions[ref.reaction];
        (ref.message == kNoMessage ? reaction.sender : reaction.messages[ref.message].target) = id;
    }
    return true;
}

} // namespace

bool ScriptFromText(std::string_view text, ScriptData& out, std::string& error) {
    return TextReader().Run(text, out, error);
}
