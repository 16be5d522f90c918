#include "dialogue/DialogueFormat.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kObjectSize = 12;
constexpr size_t kHandlerSize = 16;
constexpr size_t kEntrySize = 12;
constexpr size_t kPhraseSize = 24;

class FixParser {
public:
    explicit FixParser(std::span<const uint8_t> bytes) : in_(bytes) {}

    bool Run(DialogueTables& out, std::string& error) {
        bool ok = ReadObjects(out.objects);
        for (size_t i = 0; ok && i < out.objects.size(); ++i)
            ok = ReadHandlers(i, out.objects[i]);
        ok = ok && ReadCode(out.code);
        if (!ok) {
            error = error_;
            return false;
        }
        const std::span<const uint8_t> rest = in_.Bytes(in_.Remaining());
        out.trailing.assign(rest.begin(), rest.end());
        return true;
    }

private:
    bool Fail(std::string reason) {
        error_ = std::move(reason);
        return false;
    }
    // Reads a count and checks that that many records of `size` bytes fit in what is left.
    bool Count(const std::string& what, size_t size, size_t& count) {
        const int32_t stored = in_.I32();
        if (in_.Failed()) return Fail("file ends before " + what);
        if (stored < 0) return Fail(what + " is " + std::to_string(stored) + " (negative)");
        if (static_cast<size_t>(stored) > in_.Remaining() / size)
            return Fail(what + " " + std::to_string(stored) + " does not fit in the " +
                        std::to_string(in_.Remaining()) + " bytes left (" + std::to_string(size) +
                        " bytes each)");
        count = static_cast<size_t>(stored);
        return true;
    }

    bool ReadObjects(std::vector<DialogueObject>& objects) {
        size_t count = 0;
        if (!Count("the object count", kObjectSize, count)) return false;
        objects.resize(count);
        handlerCounts_.resize(count);
        for (size_t i = 0; i < count; ++i) {
            objects[i].id = in_.I32();
            const int32_t handlers = in_.I32();
            objects[i].ignored = in_.U32();
            if (handlers < 0)
                return Fail("object " + std::to_string(i) + " has a handler count of " +
                            std::to_string(handlers));
            handlerCounts_[i] = static_cast<size_t>(handlers);
        }
        return true;
    }

    bool ReadHandlers(size_t index, DialogueObject& object) {
        const std::string where =
            "object " + std::to_string(index) + " (id " + std::to_string(object.id) + ")";
        if (handlerCounts_[index] > in_.Remaining() / kHandlerSize)
            return Fail(where + ": " + std::to_string(handlerCounts_[index]) +
                        " handlers do not fit in the " + std::to_string(in_.Remaining()) +
                        " bytes left");
        object.handlers.resize(handlerCounts_[index]);
        std::vector<size_t> entryCounts(object.handlers.size());
        for (size_t h = 0; h < object.handlers.size(); ++h) {
            DialogueHandler& handler = object.handlers[h];
            handler.type = in_.I32();
            const int32_t entries = in_.I32();
            handler.defaultEntry = in_.I32();
            handler.ignored = in_.U32();
            if (entries < 0)
                return Fail(where + ", handler " + std::to_string(h) + ": entry count " +
                            std::to_string(entries) + " is negative");
            entryCounts[h] = static_cast<size_t>(entries);
        }
        for (size_t h = 0; h < object.handlers.size(); ++h)
            if (!ReadEntries(where + ", handler " + std::to_string(h), entryCounts[h],
                             object.handlers[h]))
                return false;
        return true;
    }

    bool ReadEntries(const std::string& where, size_t count, DialogueHandler& handler) {
        if (count > in_.Remaining() / kEntrySize)
            return Fail(where + ": " + std::to_string(count) + " entries do not fit in the " +
                        std::to_string(in_.Remaining()) + " bytes left");
        handler.entries.resize(count);
        std::vector<size_t> listLengths(count);
        for (size_t e = 0; e < count; ++e) {
            handler.entries[e].start = in_.I32();
            const int32_t length = in_.I32();
            handler.entries[e].ignored = in_.U32();
            if (length < 0)
                return Fail(where + ", entry " + std::to_string(e) + ": list length " +
                            std::to_string(length) + " is negative");
            listLengths[e] = static_cast<size_t>(length);
        }
        for (size_t e = 0; e < count; ++e) {
            if (listLengths[e] > in_.Remaining() / 4)
                return Fail(where + ", entry " + std::to_string(e) + ": a list of " +
                            std::to_string(listLengths[e]) + " values does not fit in the " +
                            std::to_string(in_.Remaining()) + " bytes left");
            handler.entries[e].list.resize(listLengths[e]);
            for (int32_t& value : handler.entries[e].list)
                value = in_.I32();
        }
        return true;
    }

    bool ReadCode(std::vector<uint32_t>& code) {
        size_t size = 0;
        if (!Count("the code size", 4, size)) return false;
        code.resize(size);
        for (uint32_t& word : code)
            word = in_.U32();
        return true;
    }

    platform::ByteReader in_;
    std::vector<size_t> handlerCounts_;
    std::string error_;
};

bool ReadPhraseRecords(platform::ByteReader& in, std::vector<DialoguePhrase>& phrases,
                       std::string& error) {
    const int32_t count = in.I32();
    if (in.Failed()) {
        error = "file ends before the phrase count";
        return false;
    }
    if (count < 0 || static_cast<size_t>(count) > in.Remaining() / kPhraseSize) {
        error = "phrase count " + std::to_string(count) + " does not fit in the " +
                std::to_string(in.Remaining()) + " bytes left (24 bytes each, then the texts)";
        return false;
    }
    phrases.resize(static_cast<size_t>(count));
    for (DialoguePhrase& phrase : phrases) {
        phrase.speakerId = in.I32();
        in.Read(phrase.nameField.data(), phrase.nameField.size());
        phrase.ignored = in.U32();
    }
    return true;
}

} // namespace

std::string DialoguePhrase::SoundName() const {
    const auto end = std::find(nameField.begin(), nameField.end(), '\0');
    return std::string(nameField.begin(), end);
}

bool DialoguePhrase::SetSoundName(const std::string& name) {
    if (name.size() >= nameField.size() || name.find('\0') != std::string::npos) return false;
    nameField.fill('\0');
    std::copy(name.begin(), name.end(), nameField.begin());
    return true;
}

bool ParseDialogueTables(std::span<const uint8_t> bytes, DialogueTables& out, std::string& error) {
    out = DialogueTables{};
    return FixParser(bytes).Run(out, error);
}

bool ParseDialoguePhrases(std::span<const uint8_t> bytes, DialoguePhrases& out,
                          std::string& error) {
    out = DialoguePhrases{};
    platform::ByteReader in(bytes);
    if (!ReadPhraseRecords(in, out.phrases, error)) return false;
    for (size_t i = 0; i < out.phrases.size(); ++i) {
        out.phrases[i].text = in.CString();
        if (in.Failed()) {
            error = "the text of phrase " + std::to_string(i) + " is missing or has no NUL";
            return false;
        }
    }
    const std::span<const uint8_t> rest = in.Bytes(in.Remaining());
    out.trailing.assign(rest.begin(), rest.end());
    return true;
}

std::vector<uint8_t> WriteDialogueTables(const DialogueTables& tables) {
    platform::ByteWriter out;
    out.I32(static_cast<int32_t>(tables.objects.size()));
    for (const DialogueObject& object : tables.objects) {
        out.I32(object.id);
        out.I32(static_cast<int32_t>(object.handlers.size()));
        out.U32(object.ignored);
    }
    for (const DialogueObject& object : tables.objects) {
        for (const DialogueHandler& handler : object.handlers) {
            out.I32(handler.type);
            out.I32(static_cast<int32_t>(handler.entries.size()));
            out.I32(handler.defaultEntry);
            out.U32(handler.ignored);
        }
        for (const DialogueHandler& handler : object.handlers) {
            for (const DialogueEntry& entry : handler.entries) {
                out.I32(entry.start);
                out.I32(static_cast<int32_t>(entry.list.size()));
                out.U32(entry.ignored);
            }
            for (const DialogueEntry& entry : handler.entries)
                for (int32_t value : entry.list)
                    out.I32(value);
        }
    }
    out.I32(static_cast<int32_t>(tables.code.size()));
    for (uint32_t word : tables.code)
        out.U32(word);
    out.Bytes(tables.trailing);
    return out.Take();
}

std::vector<uint8_t> WriteDialoguePhrases(const DialoguePhrases& table) {
    platform::ByteWriter out;
    out.I32(static_cast<int32_t>(table.phrases.size()));
    for (const DialoguePhrase& phrase : table.phrases) {
        out.I32(phrase.speakerId);
        out.Bytes(std::span(reinterpret_cast<const uint8_t*>(phrase.nameField.data()),
                            phrase.nameField.size()));
        out.U32(phrase.ignored);
    }
    for (const DialoguePhrase& phrase : table.phrases) {
        out.Bytes(
            std::span(reinterpret_cast<const uint8_t*>(phrase.text.data()), phrase.text.size()));
        out.U8(0);
    }
    out.Bytes(table.trailing);
    return out.Take();
}
