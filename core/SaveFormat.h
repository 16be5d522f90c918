#pragma once
// Saved games ("save.dat", "autosave.dat"). Little-endian, byte-packed, no header:
//
//   N i32: objects in the world list, the cursor, case and action menu included
//   N - 3 object records: name (i32 length + bytes), display name (the same), busy i32,
//         status u8, resource i32, z i32, x i32, y i32, visible i32, active i32, animate i32
//   M i32, M inventory ids (u16 each)
//   current room name (i32 length + bytes)
//   first character's foot x, y, second character's foot x, y (i32 each)
//   the dialogue interpreter's block: code size S u32, then S code words (u32 each)
//   cursor resource i32, cursor mode i32, held object id i32 (-1: none)
//
// ParseSavedGame checks every count and length against the bytes before it keeps anything,
// so a truncated or damaged file is refused whole with a one-line reason; WriteSavedGame is
// its exact inverse.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct SavedObject {
    std::string name;
    std::string displayName;
    int32_t busy = 0;
    uint8_t status = 0;
    int32_t resourceId = -1;
    int32_t z = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t visible = 0;
    int32_t active = 0;
    int32_t animate = 0;

    bool operator==(const SavedObject&) const = default;
};

struct SavedFoot {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const SavedFoot&) const = default;
};

struct SavedGame {
    std::vector<SavedObject> objects; // N - 3 records; N is written as objects.size() + 3
    std::vector<uint16_t> inventory;
    std::string roomName;
    SavedFoot tarvoFoot;
    SavedFoot varnagelFoot;
    // The dialogue interpreter's block as it wrote it: the size word and the code words.
    std::vector<uint8_t> dialogueState;
    int32_t cursorResource = 5002;
    int32_t cursorMode = 0;
    int32_t heldId = -1;

    bool operator==(const SavedGame&) const = default;
};

// The objects after the records that a save does not hold: cursor, case and action menu.
inline constexpr int32_t kUnsavedObjects = 3;
// Cursor modes 0..5 and 6 (holding an object).
inline constexpr int32_t kLastCursorMode = 6;

// Parses a whole file image. On failure returns false, leaves `out` unchanged and puts a
// one-line reason into `error`. Bytes after the cursor fields are refused: a save is written
// whole, so anything after its end means the file is not what it claims to be.
bool ParseSavedGame(std::span<const uint8_t> bytes, SavedGame& out, std::string& error);

std::vector<uint8_t> WriteSavedGame(const SavedGame& game);

// A readable listing of a save, one line per record and field group, for people and tools.
std::string DescribeSavedGame(const SavedGame& game);
