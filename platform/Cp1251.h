#pragma once
// Game texts are 8-bit Windows-1251 (Cyrillic); the font rasteriser and the terminal want
// UTF-8. Constants compared with data names must be compared as their Windows-1251 bytes.
#include <string>
#include <string_view>

namespace platform {

std::string Cp1251ToUtf8(std::string_view text);
// Characters without a Windows-1251 code become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1251(std::string_view text);

} // namespace platform
