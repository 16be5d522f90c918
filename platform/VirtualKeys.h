#pragma once
// Virtual-key codes (the values the game's key table uses) and their names in replay files.
#include <string>
#include <string_view>

namespace platform {

namespace vk {
inline constexpr int Backspace = 0x08;
inline constexpr int Tab = 0x09;
inline constexpr int Return = 0x0D;
inline constexpr int Pause = 0x13;
inline constexpr int Escape = 0x1B;
inline constexpr int Space = 0x20;
inline constexpr int Left = 0x25;
inline constexpr int Up = 0x26;
inline constexpr int Right = 0x27;
inline constexpr int Down = 0x28;
inline constexpr int Digit0 = 0x30;  // '0'..'9' are 0x30..0x39
inline constexpr int LetterA = 0x41; // 'A'..'Z' are 0x41..0x5A
inline constexpr int F1 = 0x70;      // F1..F12 are 0x70..0x7B
inline constexpr int F2 = 0x71;
inline constexpr int F3 = 0x72;
inline constexpr int F4 = 0x73;
inline constexpr int F5 = 0x74;
inline constexpr int F9 = 0x78;
inline constexpr int F11 = 0x7A;
inline constexpr int Backquote = 0xC0;
} // namespace vk

// "F2", "Escape", "Left", "I", "1", "Backquote", ...; -1 for an unknown name. Case-insensitive.
int VirtualKeyFromName(std::string_view name);
// The replay name of a code, or an empty string for a key without one.
std::string VirtualKeyName(int code);
// The character a key-down produces when translated (0x60 for Backquote, letters upper
// case, digits), or 0 when it produces none.
int CharacterForKey(int code);

} // namespace platform
