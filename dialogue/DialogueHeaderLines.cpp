// The header lines of the conversation language (names, objects, handlers, entries, the
// phrase table, trailing bytes) and the tokens every line takes: ids, numbers, addresses.
#include "core/MessageTypes.h"
#include "core/ScriptNames.h"
#include "dialogue/DialogueReader.h"
#include "dialogue/DialogueText.h"

namespace dialogue_text {

bool Reader::ParseHeader(const Line& line) {
    if (!line.labels.empty())
        return Fail(line.number, "a label cannot stand before '" + line.tokens[0].text + "'");
    const std::string& word = line.tokens[0].text;
    if (word == "name") return true; // read before everything else
    if (word == "object") return ParseObject(line);
    if (word == "on") return ParseHandler(line);
    if (word == "entry") return ParseEntry(line);
    if (word == "phrase") return ParsePhraseRecord(line);
    return ParseTrailing(line);
}

// Reads `ignored V` and `default N` after the fixed part of a header line, from `from` on.
bool Reader::ParseOptions(const Line& line, size_t from, uint32_t& ignored, int32_t* defaultEntry) {
    for (size_t k = from; k < line.tokens.size(); k += 2) {
        const TextToken& key = line.tokens[k];
        const bool isDefault = defaultEntry != nullptr && IsWord(key, "default");
        if ((!isDefault && !IsWord(key, "ignored")) || k + 1 >= line.tokens.size())
            return Fail(line.number, "unexpected '" + key.text + "' (expected " +
                                         (defaultEntry ? "'default N' or " : "") + "'ignored V')");
        int64_t value = 0;
        if (isDefault) {
            if (!Number(line, line.tokens[k + 1], "default entry", INT32_MIN, INT32_MAX, value))
                return false;
            *defaultEntry = static_cast<int32_t>(value);
        } else {
            if (!Number(line, line.tokens[k + 1], "ignored field", INT32_MIN, UINT32_MAX, value))
                return false;
            ignored = static_cast<uint32_t>(value);
        }
    }
    return true;
}

bool Reader::ParseObject(const Line& line) {
    if (line.tokens.size() < 2) return Fail(line.number, "an object line is: object ID|NAME|any");
    ObjectLine object;
    if (!Id(line, line.tokens[1], "object", true, object.id)) return false;
    if (!ParseOptions(line, 2, object.ignored, nullptr)) return false;
    out_.objects.push_back(std::move(object));
    return true;
}

bool Reader::ParseHandler(const Line& line) {
    if (out_.objects.empty()) return Fail(line.number, "'on' needs an 'object' line above it");
    if (line.tokens.size() < 2) return Fail(line.number, "an on line is: on MESSAGE [ITEM]");
    HandlerLine handler;
    const TextToken& type = line.tokens[1];
    int64_t number = 0;
    const int named = type.quoted ? -1 : MessageTypeFromName(type.text);
    if (named >= 0) {
        handler.type = named;
    } else if (!type.quoted && ParseInteger(type.text, number)) {
        if (!Number(line, type, "message type", INT32_MIN, UINT32_MAX, number)) return false;
        handler.type = static_cast<int32_t>(number);
    } else {
        return Fail(line.number, "unknown message type '" + type.text + "'");
    }
    size_t next = 2;
    const bool hasItem = next < line.tokens.size() && !IsWord(line.tokens[next], "default") &&
                         !IsWord(line.tokens[next], "ignored");
    if (named == OBJECTUSE && hasItem) {
        int32_t item = 0;
        if (IsWord(line.tokens[next], "any")) {
            handler.type = kDialogueAnyObjectUse;
        } else {
            if (!Id(line, line.tokens[next], "item", false, item)) return false;
            if (item < 0 || item > 0xFFFF)
                return Fail(line.number, "item id " + std::to_string(item) + " is not 0..65535");
            handler.type = static_cast<int32_t>(OBJECTUSE + 65536u * static_cast<uint32_t>(item));
        }
        ++next;
    }
    if (!ParseOptions(line, next, handler.ignored, &handler.defaultEntry)) return false;
    out_.objects.back().handlers.push_back(std::move(handler));
    return true;
}

bool Reader::ParseEntry(const Line& line) {
    if (out_.objects.empty() || out_.objects.back().handlers.empty())
        return Fail(line.number, "'entry' needs an 'on' line above it");
    if (line.tokens.size() < 2) return Fail(line.number, "an entry line is: entry LABEL");
    EntryLine entry;
    if (!Address(line, line.tokens[1], entry.start)) return false;
    size_t next = 2;
    if (next < line.tokens.size() && IsWord(line.tokens[next], "list")) {
        for (++next; next < line.tokens.size() && !IsWord(line.tokens[next], "ignored"); ++next) {
            int64_t value = 0;
            if (!Number(line, line.tokens[next], "list value", INT32_MIN, INT32_MAX, value))
                return false;
            entry.list.push_back(static_cast<int32_t>(value));
        }
    }
    if (!ParseOptions(line, next, entry.ignored, nullptr)) return false;
    out_.objects.back().handlers.back().entries.push_back(std::move(entry));
    return true;
}

bool Reader::ParsePhraseRecord(const Line& line) {
    int64_t number = 0;
    if (line.tokens.size() < 2 || !Number(line, line.tokens[1], "phrase number", 0, 0xFFFF, number))
        return Fail(line.number, "a phrase line is: phrase N SPEAKER [FILE] \"TEXT\"");
    if (number != static_cast<int64_t>(out_.phrases.size()))
        return Fail(line.number, "phrase lines are numbered 0, 1, 2... in order: expected " +
                                     std::to_string(out_.phrases.size()));
    size_t to = line.tokens.size();
    DialoguePhrase phrase;
    if (to >= 4 && IsWord(line.tokens[to - 2], "ignored")) {
        if (!ParseOptions(line, to - 2, phrase.ignored, nullptr)) return false;
        to -= 2;
    }
    if (!ParsePhrase(line, 2, to, phrase)) return false;
    out_.explicitPhrases = true;
    out_.phrases.push_back(std::move(phrase));
    return true;
}

bool Reader::ParseTrailing(const Line& line) {
    const bool fix = line.tokens.size() >= 2 && IsWord(line.tokens[1], "fix");
    const bool lod = line.tokens.size() >= 2 && IsWord(line.tokens[1], "lod");
    if (!fix && !lod) return Fail(line.number, "a trailing line is: trailing fix|lod HEX...");
    std::vector<uint8_t>& bytes = fix ? out_.fixTrailing : out_.lodTrailing;
    for (size_t k = 2; k < line.tokens.size(); ++k) {
        const std::string& t = line.tokens[k].text;
        if (line.tokens[k].quoted || t.size() != 2 || HexDigit(t[0]) < 0 || HexDigit(t[1]) < 0)
            return Fail(line.number, "'" + t + "' is not a byte of two hex digits");
        bytes.push_back(static_cast<uint8_t>(HexDigit(t[0]) * 16 + HexDigit(t[1])));
    }
    return true;
}

bool Reader::Id(const Line& line, const TextToken& token, const char* what, bool allowAny,
                int32_t& out) {
    const std::string& t = token.text;
    if (!token.quoted && !t.empty() &&
        (std::isdigit(static_cast<unsigned char>(t[0])) || t[0] == '-')) {
        int64_t value = 0;
        if (!Number(line, token, what, INT32_MIN, INT32_MAX, value)) return false;
        out = static_cast<int32_t>(value);
        return true;
    }
    if (allowAny && IsWord(token, "any")) {
        out = kDialogueAnyObject;
        return true;
    }
    std::string name;
    if (!Bytes(line, token, name)) return false;
    const auto found = declared_.find(name);
    if (found != declared_.end()) {
        out = found->second;
        return true;
    }
    uint16_t id = 0;
    switch (names_.IdOf(name, id)) {
    case ScriptNames::Lookup::Found:
        out = id;
        return true;
    case ScriptNames::Lookup::Ambiguous:
        return Fail(line.number, "'" + t + "' names several objects of the script; write its id");
    case ScriptNames::Lookup::Unknown:
        break;
    }
    return Fail(line.number, std::string("unknown ") + what + " '" + t + "' (name it with 'name " +
                                 t + " = ID', or give the game's script with --script)");
}

bool Reader::Number(const Line& line, const TextToken& token, const char* what, int64_t min,
                    int64_t max, int64_t& out) {
    if (token.quoted || !ParseInteger(token.text, out))
        return Fail(line.number, std::string("expected a number for the ") + what + ", not '" +
                                     token.text + "'");
    if (out < min || out > max)
        return Fail(line.number, std::string("the ") + what + " " + token.text + " is outside " +
                                     std::to_string(min) + ".." + std::to_string(max));
    return true;
}

bool Reader::Address(const Line& line, const TextToken& token, AddressRef& out) {
    out.line = line.number;
    if (!token.quoted && token.text.size() > 1 && token.text[0] == '@') {
        TextToken number{token.text.substr(1), false};
        return Number(line, number, "address", INT32_MIN, INT32_MAX, out.address);
    }
    if (token.quoted || token.text.empty())
        return Fail(line.number, "a label is a bare word, not '\"" + token.text + "\"'");
    out.label = token.text;
    return true;
}

bool Reader::Bytes(const Line& line, const TextToken& token, std::string& out) {
    out.clear();
    if (token.quoted) {
        out = token.text;
        return true;
    }
    if (AppendFileBytes(token.text, out)) return true;
    return Fail(line.number, "'" + token.text + "' has characters without a Windows-1251 code");
}

} // namespace dialogue_text
