#pragma once
// "dialogue.fix" (which conversation belongs to which object and message, and the bytecode)
// and "dialogue.lod" (the spoken lines) as plain data. All integers are 32-bit little-endian;
// neither file has a magic number.
//
// dialogue.fix:
//   N i32, then N object records: id i32 (0xfffe: any object), M i32, a field the game
//   ignores i32. Then per object, in table order: M handler records (type i32, 0xfffe: any
//   OBJECTUSE; K i32; default entry i32; ignored i32), then per handler its K entry records
//   (start word i32, L i32, ignored i32) followed by the entries' lists (L i32 each). Then the
//   code: S i32 and S words.
// dialogue.lod:
//   P i32, P records (speaker id i32, 16 bytes speech file name with a NUL, ignored i32), then
//   P NUL-terminated texts (Windows-1251) in record order.
//
// The parsers refuse truncation, negative counts and counts that cannot fit the bytes left,
// with a one-line reason; nothing is allocated for a count before it is known to fit. The
// ignored fields and bytes after the last part are kept, so the writers reproduce every
// accepted file exactly.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr int32_t kDialogueAnyObject = 0xfffe;    // object id of any-object records
inline constexpr int32_t kDialogueAnyObjectUse = 0xfffe; // handler type: OBJECTUSE fallback

struct DialogueEntry {
    int32_t start = 0;         // word index where the conversation begins
    std::vector<int32_t> list; // kept with the entry; the interpreter does not read it
    uint32_t ignored = 0;

    bool operator==(const DialogueEntry&) const = default;
};

struct DialogueHandler {
    int32_t type = 0; // a message type, or the reaction key of an OBJECTUSE
    int32_t defaultEntry = 0;
    uint32_t ignored = 0;
    std::vector<DialogueEntry> entries;

    bool operator==(const DialogueHandler&) const = default;
};

struct DialogueObject {
    int32_t id = 0;
    uint32_t ignored = 0;
    std::vector<DialogueHandler> handlers;

    bool operator==(const DialogueObject&) const = default;
};

struct DialogueTables {
    std::vector<DialogueObject> objects;
    std::vector<uint32_t> code;
    std::vector<uint8_t> trailing; // bytes after the code

    bool operator==(const DialogueTables&) const = default;
};

inline constexpr size_t kSpeechNameField = 16;

struct DialoguePhrase {
    int32_t speakerId = 0;
    std::array<char, kSpeechNameField> nameField{}; // as stored, bytes after the NUL included
    uint32_t ignored = 0;
    std::string text; // Windows-1251, without the NUL

    // The speech file name (inside "SPEECH\"): the field up to its first NUL.
    std::string SoundName() const;
    // Sets the field to `name` padded with NULs; false when it does not fit with a NUL.
    bool SetSoundName(const std::string& name);

    bool operator==(const DialoguePhrase&) const = default;
};

struct DialoguePhrases {
    std::vector<DialoguePhrase> phrases;
    std::vector<uint8_t> trailing; // bytes after the last text

    bool operator==(const DialoguePhrases&) const = default;
};

// Parse a whole file image; on failure return false with a one-line reason in `error`.
bool ParseDialogueTables(std::span<const uint8_t> bytes, DialogueTables& out, std::string& error);
bool ParseDialoguePhrases(std::span<const uint8_t> bytes, DialoguePhrases& out, std::string& error);

// The file images; exact inverses of the parsers.
std::vector<uint8_t> WriteDialogueTables(const DialogueTables& tables);
std::vector<uint8_t> WriteDialoguePhrases(const DialoguePhrases& phrases);
