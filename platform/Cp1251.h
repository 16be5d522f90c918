#pragma once
// Game texts are 8-bit Windows-1251 (Cyrillic); the font rasteriser and the terminal want
// UTF-8. Constants compared with data names must be compared as their Windows-1251 bytes.
#include <string>
#include <string_view>

namespace platform {

// The Unicode character of one Windows-1251 byte. 0x98, the one code the page leaves
// undefined, becomes U+FFFD (the replacement character), so it shows as a visible mark.
char32_t Cp1251ToCodePoint(unsigned char byte);

std::string Cp1251ToUtf8(std::string_view text);
// Characters without a Windows-1251 code become '?' (U+FFFD too, so 0x98 does not survive a
// round trip); so does every byte that is not part of a well-formed UTF-8 sequence.
std::string Utf8ToCp1251(std::string_view text);

} // namespace platform
