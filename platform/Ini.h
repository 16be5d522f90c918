#pragma once
// INI values the way the game data expects them: sections and keys matched without regard to
// case, values trimmed of blanks (and of one pair of enclosing quotes), the default when the
// file, section or key is missing, and the result truncated to the caller's buffer.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
public:
    static IniFile Parse(std::string_view text);
    // Reads a file from disk (names as the data writes them: ".\\names.ini" is found without
    // regard to case). A missing file gives an empty IniFile.
    static IniFile Load(const std::string& fileName);

    // The value, or null when the section or key is missing. The first of duplicates wins.
    const std::string* Find(std::string_view section, std::string_view key) const;
    std::vector<std::string> Keys(std::string_view section) const;
    std::vector<std::string> Sections() const;

    // Sets a value (for writing profiles) and renders the whole file back as text.
    void Set(const std::string& section, const std::string& key, const std::string& value);
    std::string ToText() const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;

    std::vector<Section> sections_;
};

// Copies the value (or the default) into `out` of `size` bytes, truncated and NUL-terminated,
// and returns the number of characters copied (not counting the NUL).
size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, char* out, size_t size,
                               const std::string& fileName);
// The same as an integer: the default when the key is missing, else the leading decimal
// digits after an optional sign (0 when there are none).
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& fileName);

} // namespace platform
