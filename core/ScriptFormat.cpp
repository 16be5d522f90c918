#include "core/ScriptFormat.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Cp1251.h"

namespace {

constexpr size_t kHeaderSize = 8;      // N, R
constexpr size_t kMinObjectSize = 10;  // id, L, K with an empty name
constexpr size_t kMinReactionSize = 9; // type, status, sender, M
constexpr size_t kMessageSize = 10;    // target, type, param1, param2, param3

// Whether `count` records of at least `size` bytes each fit into `remaining` bytes. Checked
// before anything is reserved, so that a huge count in a small file never allocates.
bool Fits(int64_t count, size_t size, size_t remaining) {
    return count <= static_cast<int64_t>(remaining / size);
}

// A name for error messages: readable, on one line.
std::string Printable(const std::string& nameBytes) {
    std::string text = platform::Cp1251ToUtf8(nameBytes);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

class Parser {
public:
    explicit Parser(std::span<const uint8_t> bytes) : in_(bytes) {}

    bool Run(ScriptData& out, std::string& error);

private:
    bool Fail(std::string reason) {
        error_ = std::move(reason);
        return false;
    }
    bool ReadHeader(ScriptData& out);
    bool ReadObject(size_t index, ScriptObject& object);
    bool ReadReactions(const std::string& where, ScriptObject& object);
    bool ReadReaction(const std::string& where, size_t index, ScriptReaction& reaction);

    platform::ByteReader in_;
    std::string error_;
};

bool Parser::Run(ScriptData& out, std::string& error) {
    out = ScriptData{};
    bool ok = ReadHeader(out);
    for (size_t i = 0; ok && i < out.objects.size(); ++i)
        ok = ReadObject(i, out.objects[i]);
    if (!ok) {
        error = error_;
        return false;
    }
    std::span<const uint8_t> rest = in_.Bytes(in_.Remaining());
    out.trailing.assign(rest.begin(), rest.end());
    return true;
}

bool Parser::ReadHeader(ScriptData& out) {
    if (in_.Size() < kHeaderSize)
        return Fail("file is " + std::to_string(in_.Size()) + " bytes long; the header needs " +
                    std::to_string(kHeaderSize));
    out.objectCount = in_.I32();
    out.roomCount = in_.I32();
    if (out.objectCount < 2)
        return Fail("N is " + std::to_string(out.objectCount) + " (at least 2 objects are needed)");
    if (out.roomCount < 0)
        return Fail("R is " + std::to_string(out.roomCount) + " (a count cannot be negative)");
    const int64_t records = int64_t{out.objectCount} + out.roomCount;
    if (!Fits(records, kMinObjectSize, in_.Remaining()))
        return Fail("N + R = " + std::to_string(records) + " records do not fit in " +
                    std::to_string(in_.Remaining()) + " bytes (at least " +
                    std::to_string(kMinObjectSize) + " bytes each)");
    out.objects.resize(static_cast<size_t>(records));
    return true;
}

bool Parser::ReadObject(size_t index, ScriptObject& object) {
    const std::string record = "object record " + std::to_string(index);
    object.id = in_.U16();
    const int32_t nameLength = in_.I32();
    if (in_.Failed()) return Fail("file ends inside " + record);
    const std::string withId = record + " (id " + std::to_string(object.id) + ")";
    if (nameLength < 0)
        return Fail(withId + ": name length " + std::to_string(nameLength) + " is negative");
    if (static_cast<size_t>(nameLength) > in_.Remaining())
        return Fail(withId + ": name length " + std::to_string(nameLength) + " exceeds the " +
                    std::to_string(in_.Remaining()) + " bytes left");
    std::span<const uint8_t> name = in_.Bytes(static_cast<size_t>(nameLength));
    object.nameBytes.assign(name.begin(), name.end());
    return ReadReactions(record + " (\"" + Printable(object.Name()) + "\")", object);
}

bool Parser::ReadReactions(const std::string& where, ScriptObject& object) {
    object.reactionCount = in_.I32();
    if (in_.Failed()) return Fail("file ends inside " + where);
    if (object.reactionCount <= 0) return true;
    if (!Fits(object.reactionCount, kMinReactionSize, in_.Remaining()))
        return Fail(where + ": K = " + std::to_string(object.reactionCount) +
                    " reactions do not fit in " + std::to_string(in_.Remaining()) +
                    " bytes (at least " + std::to_string(kMinReactionSize) + " bytes each)");
    object.reactions.resize(static_cast<size_t>(object.reactionCount));
    for (size_t i = 0; i < object.reactions.size(); ++i)
        if (!ReadReaction(where, i, object.reactions[i])) return false;
    return true;
}

bool Parser::ReadReaction(const std::string& where, size_t index, ScriptReaction& reaction) {
    const std::string self = "reaction " + std::to_string(index) + " of " + where;
    reaction.type = in_.U16();
    reaction.status = static_cast<int8_t>(in_.U8());
    reaction.sender = in_.U16();
    reaction.messageCount = in_.I32();
    if (in_.Failed()) return Fail("file ends inside " + self);
    if (reaction.messageCount <= 0) return true;
    if (!Fits(reaction.messageCount, kMessageSize, in_.Remaining()))
        return Fail(self + ": M = " + std::to_string(reaction.messageCount) +
                    " messages do not fit in " + std::to_string(in_.Remaining()) + " bytes (" +
                    std::to_string(kMessageSize) + " bytes each)");
    reaction.messages.resize(static_cast<size_t>(reaction.messageCount));
    for (ScriptMessage& message : reaction.messages) {
        message.target = in_.U16();
        message.type = in_.U16();
        message.param1 = in_.U16();
        message.param2 = in_.U16();
        message.param3 = in_.I16();
    }
    // The size check above makes this unreachable; kept so a broken check cannot go unseen.
    if (in_.Failed()) return Fail("file ends inside " + self);
    return true;
}

// The count field for a list: its size, or for an empty list the stored "none" value.
int32_t StoredCount(int32_t stored, size_t listSize) {
    if (listSize > 0) return static_cast<int32_t>(listSize);
    return stored < 0 ? stored : 0;
}

void WriteReaction(platform::ByteWriter& out, const ScriptReaction& reaction) {
    out.U16(reaction.type);
    out.U8(static_cast<uint8_t>(reaction.status));
    out.U16(reaction.sender);
    out.I32(StoredCount(reaction.messageCount, reaction.messages.size()));
    for (const ScriptMessage& m : reaction.messages) {
        out.U16(m.target);
        out.U16(m.type);
        out.U16(m.param1);
        out.U16(m.param2);
        out.I16(m.param3);
    }
}

} // namespace

std::string ScriptObject::Name() const {
    return nameBytes.substr(0, nameBytes.find('\0'));
}

bool ParseScript(std::span<const uint8_t> bytes, ScriptData& out, std::string& error) {
    return Parser(bytes).Run(out, error);
}

std::vector<uint8_t> WriteScript(const ScriptData& script) {
    platform::ByteWriter out;
    out.I32(static_cast<int32_t>(script.objects.size()) - script.roomCount);
    out.I32(script.roomCount);
    for (const ScriptObject& object : script.objects) {
        out.U16(object.id);
        out.I32(static_cast<int32_t>(object.nameBytes.size()));
        out.Bytes(std::span(reinterpret_cast<const uint8_t*>(object.nameBytes.data()),
                            object.nameBytes.size()));
        out.I32(StoredCount(object.reactionCount, object.reactions.size()));
        for (const ScriptReaction& reaction : object.reactions)
            WriteReaction(out, reaction);
    }
    out.Bytes(script.trailing);
    return out.Take();
}
