#include "platform/VirtualKeys.h"

#include <array>
#include <cctype>

namespace platform {

namespace {

struct NamedKey {
    std::string_view name;
    int code;
};

// Keys whose names are words. Letters, digits and F1..F12 are matched by pattern below.
// The first entry for a code is the name FormatReplayLine writes; later ones are aliases.
constexpr std::array<NamedKey, 12> kNamedKeys{{
    {"Escape", vk::Escape},
    {"Left", vk::Left},
    {"Right", vk::Right},
    {"Up", vk::Up},
    {"Down", vk::Down},
    {"Tab", vk::Tab},
    {"Backspace", vk::Backspace},
    {"Return", vk::Return},
    {"Enter", vk::Return},
    {"Space", vk::Space},
    {"Pause", vk::Pause},
    {"Backquote", vk::Backquote},
}};

constexpr int kFunctionKeyCount = 12;
constexpr int kLetterCount = 26;
constexpr int kDigitCount = 10;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (std::tolower(ca) != std::tolower(cb)) return false;
    }
    return true;
}

bool IsLetterKey(int code) {
    return code >= vk::LetterA && code < vk::LetterA + kLetterCount;
}
bool IsDigitKey(int code) {
    return code >= vk::Digit0 && code < vk::Digit0 + kDigitCount;
}
bool IsFunctionKey(int code) {
    return code >= vk::F1 && code < vk::F1 + kFunctionKeyCount;
}

// "F1".."F12" → the key code, else -1.
int FunctionKeyFromName(std::string_view name) {
    if (name.size() < 2 || name.size() > 3) return -1;
    if (name[0] != 'F' && name[0] != 'f') return -1;
    int number = 0;
    for (char c : name.substr(1)) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    if (name[1] == '0' || number < 1 || number > kFunctionKeyCount) return -1;
    return vk::F1 + number - 1;
}

} // namespace

int VirtualKeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const auto c = static_cast<unsigned char>(name[0]);
        if (std::isalpha(c) && c < 0x80) return vk::LetterA + (std::toupper(c) - 'A');
        if (std::isdigit(c)) return vk::Digit0 + (c - '0');
        return -1;
    }
    for (const NamedKey& key : kNamedKeys) {
        if (EqualsIgnoringCase(name, key.name)) return key.code;
    }
    return FunctionKeyFromName(name);
}

std::string VirtualKeyName(int code) {
    if (IsLetterKey(code) || IsDigitKey(code)) return std::string(1, static_cast<char>(code));
    if (IsFunctionKey(code)) return std::string("F").append(std::to_string(code - vk::F1 + 1));
    for (const NamedKey& key : kNamedKeys) {
        if (key.code == code) return std::string(key.name);
    }
    return {};
}

int CharacterForKey(int code) {
    // Letter and digit key codes equal their (upper-case) characters.
    if (IsLetterKey(code) || IsDigitKey(code)) return code;
    switch (code) {
    case vk::Backquote:
        return '`';
    case vk::Space:
    case vk::Return:
    case vk::Tab:
    case vk::Backspace:
    case vk::Escape:
        return code; // these codes equal their control characters
    default:
        return 0;
    }
}

} // namespace platform
