#include "resources/ResourceTable.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

size_t CountEntries(std::string_view text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '=' && (i + 1 >= text.size() || text[i + 1] != '=')) ++count;
    return count;
}

} // namespace

ResourceTable ParseResourceTable(std::string_view text) {
    ResourceTable table;
    size_t pos = 0;
    const size_t entries = CountEntries(text);
    for (size_t e = 0; e < entries; ++e) {
        while (pos < text.size() && !IsDigit(text[pos]))
            ++pos;
        if (pos >= text.size()) break;
        // Numbers wrap like the 32-bit value they are stored in.
        uint32_t number = 0;
        while (pos < text.size() && IsDigit(text[pos]))
            number = number * 10 + static_cast<uint32_t>(text[pos++] - '0');
        while (pos < text.size() && text[pos] != '=')
            ++pos;
        if (pos >= text.size()) break;
        ++pos;
        bool keep = false;
        if (pos < text.size() && text[pos] == '=') {
            keep = true;
            ++pos;
        }
        while (pos < text.size() && IsSpace(text[pos]))
            ++pos;
        const size_t start = pos;
        while (pos < text.size() && static_cast<unsigned char>(text[pos]) > 32)
            ++pos;
        table[static_cast<int32_t>(number)] =
            ResourceEntry{std::string(text.substr(start, pos - start)), keep};
        if (pos < text.size()) ++pos; // the name's end is consumed with it
    }
    return table;
}

std::string CompanionSoundName(const std::string& fileName) {
    std::string upper = fileName;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper.find(".WAV") != std::string::npos) return upper;
    size_t dot = upper.find(".FLC");
    if (dot == std::string::npos || dot == 0) dot = upper.find(".BMP");
    if (dot == std::string::npos || dot == 0) return {};
    return upper.substr(0, dot) + ".WAV";
}
