#include "platform/Profile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Ini.h"

namespace platform {

Profile::Profile(std::string path) : path_(std::move(path)) {}

std::string Profile::DefaultPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : ".") + "/.config";
    }
    return base + "/tarvo/tarvo.ini";
}

int Profile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
    return GetPrivateProfileInt(section, key, defaultValue, path_);
}

bool Profile::WriteInt(const std::string& section, const std::string& key, int value) {
    IniFile ini = IniFile::Load(path_);
    ini.Set(section, key, std::to_string(value));
    std::error_code ec;
    const std::filesystem::path path(path_);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    // Write a sibling file and rename it over the profile, so that a crash mid-write never
    // leaves a truncated profile behind.
    const std::string temp = path_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << ini.ToText();
        if (!out.flush()) return false;
    }
    std::filesystem::rename(temp, path_, ec);
    return !ec;
}

} // namespace platform
