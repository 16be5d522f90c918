#pragma once
// "script.dat": every scripted object of the game with its reactions, as plain data.
// Little-endian, byte-packed:
//
//   N i32, R i32, then N + R object records (0, 1: the player characters, 2..N-1: plain
//   objects, the last R: rooms)
//   object record:   id u16, L i32, L name bytes (Windows-1251; a NUL inside ends the name),
//                    K i32, K reaction records (none when K <= 0)
//   reaction record: type u16, status i8 (-1: any), sender u16 (0xFFFF: any), M i32,
//                    M message records (none when M <= 0)
//   message record:  target u16, type u16, param1 u16, param2 u16, param3 i16
//
// ParseScript refuses what the game could not load (truncation, N < 2, R < 0, a negative
// name length, counts that cannot fit the bytes left) with a one-line reason. Bytes after the
// last record are kept in `trailing`, so WriteScript reproduces every accepted file exactly.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr uint16_t kAnyObjectId = 0xFFFF; // sender condition: any sender
inline constexpr int8_t kAnyStatus = -1;         // status condition: any status

struct ScriptMessage {
    uint16_t target = 0;
    uint16_t type = 0;
    uint16_t param1 = 0;
    uint16_t param2 = 0;
    int16_t param3 = 0;

    bool operator==(const ScriptMessage&) const = default;
};

struct ScriptReaction {
    uint16_t type = 0;
    int8_t status = kAnyStatus;
    uint16_t sender = kAnyObjectId;
    // M as stored. It equals messages.size(), or is <= 0 when there are no messages (the
    // file may say "none" with any non-positive number; it is kept to write it back).
    int32_t messageCount = 0;
    std::vector<ScriptMessage> messages;

    bool operator==(const ScriptReaction&) const = default;
};

struct ScriptObject {
    uint16_t id = 0;
    std::string nameBytes; // all L bytes as stored, Windows-1251
    // K as stored: reactions.size(), or <= 0 when there are none (see messageCount).
    int32_t reactionCount = 0;
    std::vector<ScriptReaction> reactions;

    // The name the game uses: the stored bytes up to the first NUL.
    std::string Name() const;

    bool operator==(const ScriptObject&) const = default;
};

struct ScriptData {
    int32_t objectCount = 0; // N: player characters and plain objects
    int32_t roomCount = 0;   // R: the last R records
    std::vector<ScriptObject> objects;
    std::vector<uint8_t> trailing; // bytes after the last record

    bool operator==(const ScriptData&) const = default;
};

// Parses a whole file image. On failure returns false, leaves `out` unspecified and puts a
// one-line reason into `error`.
bool ParseScript(std::span<const uint8_t> bytes, ScriptData& out, std::string& error);

// The file image of `script`; the exact inverse of ParseScript. The lists are what is
// written: N = objects.size() - roomCount, and a non-empty list writes its size as K or M.
// An empty list writes its stored count when that is negative, else 0.
std::vector<uint8_t> WriteScript(const ScriptData& script);
