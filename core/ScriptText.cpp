// Writing the readable script form; the format is described in ScriptText.h, the reader is
// in ScriptTextReader.cpp.
#include "core/ScriptText.h"

#include "core/MessageTypes.h"
#include "core/TextTokens.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <map>

namespace {

constexpr size_t kCommentColumn = 40; // comments after statements line up here
constexpr size_t kTrailingBytesPerLine = 16;

std::string Counted(size_t count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string TypeText(uint16_t type) {
    const char* identifier = MessageTypeIdentifier(type);
    return identifier ? identifier : std::to_string(type);
}

class TextWriter {
public:
    explicit TextWriter(const ScriptData& script) : script_(script) {
        // An id refers to the first object that has it, as lookups in the world do.
        for (const ScriptObject& object : script.objects)
            namesById_.emplace(object.id, &object);
    }

    std::string Run();

private:
    void Line(int indent, const std::string& statement, const std::string& comment = {});
    std::string ReferenceComment(uint16_t id, const char* prefix) const;
    void Object(const char* kind, const ScriptObject& object);
    void Reaction(const ScriptReaction& reaction);
    void Trailing();

    const ScriptData& script_;
    std::map<uint16_t, const ScriptObject*> namesById_;
    std::string text_;
};

void TextWriter::Line(int indent, const std::string& statement, const std::string& comment) {
    std::string line = std::string(static_cast<size_t>(indent) * 2, ' ') + statement;
    if (!comment.empty()) {
        line.resize(std::max(line.size() + 2, kCommentColumn), ' ');
        line += "# " + comment;
    }
    text_ += line + "\n";
}

std::string TextWriter::ReferenceComment(uint16_t id, const char* prefix) const {
    auto found = namesById_.find(id);
    if (found == namesById_.end()) return {};
    return prefix + QuoteFileBytes(found->second->Name());
}

std::string TextWriter::Run() {
    const size_t players = std::min<size_t>(2, script_.objects.size());
    const size_t rooms = std::min<size_t>(static_cast<size_t>(std::max(script_.roomCount, 0)),
                                          script_.objects.size() - players);
    const size_t plain = script_.objects.size() - players - rooms;
    text_ = "# script: " + Counted(players, "player character") + ", " + Counted(plain, "object") +
            ", " + Counted(rooms, "room") + "\n";
    for (size_t i = 0; i < script_.objects.size(); ++i) {
        const char* kind = i < players ? "player" : i < players + plain ? "object" : "room";
        text_ += "\n";
        Object(kind, script_.objects[i]);
    }
    Trailing();
    return std::move(text_);
}

void TextWriter::Object(const char* kind, const ScriptObject& object) {
    std::string statement = std::string(kind) + " " + std::to_string(object.id) + " " +
                            QuoteFileBytes(object.nameBytes);
    if (object.reactions.empty() && object.reactionCount != 0)
        statement += " reactions " + std::to_string(object.reactionCount);
    Line(0, statement);
    for (const ScriptReaction& reaction : object.reactions)
        Reaction(reaction);
}

void TextWriter::Reaction(const ScriptReaction& reaction) {
    std::string statement =
        "on " + TypeText(reaction.type) + " status " +
        (reaction.status == kAnyStatus ? "any" : std::to_string(reaction.status)) + " sender " +
        (reaction.sender == kAnyObjectId ? "any" : std::to_string(reaction.sender));
    if (reaction.messages.empty() && reaction.messageCount != 0)
        statement += " messages " + std::to_string(reaction.messageCount);
    const std::string comment = reaction.sender == kAnyObjectId
                                    ? std::string()
                                    : ReferenceComment(reaction.sender, "sender ");
    Line(1, statement, comment);
    for (const ScriptMessage& m : reaction.messages) {
        Line(2,
             TypeText(m.type) + " " + std::to_string(m.target) + " " + std::to_string(m.param1) +
                 " " + std::to_string(m.param2) + " " + std::to_string(m.param3),
             ReferenceComment(m.target, ""));
    }
}

void TextWriter::Trailing() {
    if (script_.trailing.empty()) return;
    text_ += "\n";
    for (size_t start = 0; start < script_.trailing.size(); start += kTrailingBytesPerLine) {
        std::string line = "trailing";
        const size_t end = std::min(start + kTrailingBytesPerLine, script_.trailing.size());
        for (size_t i = start; i < end; ++i) {
            line += ' ';
            line += HexByte(script_.trailing[i]);
        }
        text_ += line + "\n";
    }
}

} // namespace

std::string ScriptToText(const ScriptData& script) {
    return TextWriter(script).Run();
}
