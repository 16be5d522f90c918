#pragma once
// "resource.qrc": resource numbers to file names, one "number = NAME" or "number == NAME"
// (permanent: kept across room changes) per line. The parser takes the file as the game has
// always read it: every "=" not followed by "=" counts one entry; for each, the next run of
// digits is the number, then past "=" or "==" and white space the name runs to the first
// character of code 32 or less. A number given twice keeps its last name and flag.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

struct ResourceEntry {
    std::string fileName;
    bool keep = false;
};

using ResourceTable = std::unordered_map<int32_t, ResourceEntry>;

ResourceTable ParseResourceTable(std::string_view text);

// The companion sound of a file name: NAME.WAV in upper case from NAME.FLC or NAME.BMP (a
// name holding ".WAV" is itself), or "" when there is no such base.
std::string CompanionSoundName(const std::string& fileName);
