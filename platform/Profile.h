#pragma once
// The application profile: the player's settings as integers in sections of an INI file kept
// in $XDG_CONFIG_HOME/tarvo/ (or ~/.config/tarvo/). Values are written back at once.
#include <string>

namespace platform {

class Profile {
public:
    // A profile kept in the file at `path` (created on the first write, with its folder).
    explicit Profile(std::string path);

    // "$XDG_CONFIG_HOME/tarvo/tarvo.ini", or "$HOME/.config/tarvo/tarvo.ini".
    static std::string DefaultPath();

    const std::string& Path() const { return path_; }
    int GetInt(const std::string& section, const std::string& key, int defaultValue) const;
    // False when the file cannot be written.
    bool WriteInt(const std::string& section, const std::string& key, int value);

private:
    std::string path_;
};

} // namespace platform
