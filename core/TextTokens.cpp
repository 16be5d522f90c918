#include "core/TextTokens.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "platform/Cp1251.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Reads a quoted name starting at line[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(std::string_view line, size_t& pos, std::string& bytes, std::string& error) {
    std::string run; // UTF-8 text waiting for conversion
    auto flush = [&] {
        if (AppendFileBytes(run, bytes)) {
            run.clear();
            return true;
        }
        error = "name '" + run +
                "' has characters without a Windows-1251 code (write such bytes as \\xNN)";
        return false;
    };
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return flush();
        }
        if (c != '\\') {
            run += c;
            continue;
        }
        if (!flush()) return false;
        const char escaped = pos + 1 < line.size() ? line[pos + 1] : '\0';
        if (escaped == '"' || escaped == '\\') {
            bytes += escaped;
            ++pos;
        } else if (escaped == 'x' && pos + 3 < line.size() && HexDigit(line[pos + 2]) >= 0 &&
                   HexDigit(line[pos + 3]) >= 0) {
            bytes += static_cast<char>(HexDigit(line[pos + 2]) * 16 + HexDigit(line[pos + 3]));
            pos += 3;
        } else {
            error = "bad escape in a name (use \\\", \\\\ or \\x and two hex digits)";
            return false;
        }
    }
    error = "a quoted name is not closed on its line";
    return false;
}

// Whether a name byte may appear as its character inside quotes. Others are written \xNN:
// controls, characters that are invisible or look like a space, and bytes the conversion
// cannot bring back (0x98 has no character).
bool WritesAsCharacter(uint8_t byte, const std::string& utf8) {
    if (byte < 0x20 || byte == 0x7F || byte == '"' || byte == '\\') return false;
    if (byte < 0x80) return true;
    const auto lead = static_cast<uint8_t>(utf8[0]);
    const auto next = utf8.size() > 1 ? static_cast<uint8_t>(utf8[1]) : 0;
    const bool c1Control = lead == 0xC2 && next < 0xA0;
    const bool invisible = lead == 0xC2 && (next == 0xA0 || next == 0xAD); // NBSP, soft hyphen
    if (c1Control || invisible) return false;
    return platform::Utf8ToCp1251(utf8) == std::string(1, static_cast<char>(byte));
}

// How each file byte appears inside a quoted name; computed once.
const std::array<std::string, 256>& ByteSpellings() {
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> spelling;
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<uint8_t>(b);
            const std::string utf8 = platform::Cp1251ToUtf8(std::string(1, static_cast<char>(b)));
            if (byte == '"' || byte == '\\')
                spelling[b] = std::string("\\") + static_cast<char>(byte);
            else if (!utf8.empty() && WritesAsCharacter(byte, utf8))
                spelling[b] = utf8;
            else
                spelling[b] = "\\x" + HexByte(byte);
        }
        return spelling;
    }();
    return table;
}

} // namespace

std::string HexByte(uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string QuoteFileBytes(const std::string& fileBytes) {
    std::string quoted = "\"";
    for (char c : fileBytes)
        quoted += ByteSpellings()[static_cast<uint8_t>(c)];
    return quoted + "\"";
}

bool IsBareWord(const std::string& fileBytes) {
    if (fileBytes.empty() || fileBytes[0] == '-' || (fileBytes[0] >= '0' && fileBytes[0] <= '9'))
        return false;
    for (char c : fileBytes) {
        const auto byte = static_cast<uint8_t>(c);
        // Printable ASCII, and the characters of the code page that quotes need not escape
        // (not the invisible NBSP and soft hyphen, nor 0x98, which has no character).
        if (byte <= 0x20 || byte == 0x7F || c == '#' || c == '"' || c == '\\') return false;
        if (byte >= 0x80 && ByteSpellings()[byte].rfind("\\x", 0) == 0) return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool AppendFileBytes(std::string_view utf8, std::string& out) {
    const std::string bytes = platform::Utf8ToCp1251(utf8);
    if (platform::Cp1251ToUtf8(bytes) != utf8) return false;
    out += bytes;
    return true;
}

bool ParseInteger(std::string_view text, int64_t& value) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    constexpr uint64_t kHuge = uint64_t{1} << 40;
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (text.empty() || end != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range)
        magnitude = kHuge;
    else if (ec != std::errc())
        return false;
    magnitude = std::min(magnitude, kHuge);
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool TokenizeLine(std::string_view line, std::vector<TextToken>& tokens, std::string& error) {
    tokens.clear();
    size_t pos = 0;
    while (true) {
        while (pos < line.size() && IsSpace(line[pos]))
            ++pos;
        if (pos == line.size() || line[pos] == '#') return true;
        TextToken token;
        if (line[pos] == '"') {
            token.quoted = true;
            if (!ReadQuoted(line, pos, token.text, error)) return false;
            if (pos < line.size() && !IsSpace(line[pos]) && line[pos] != '#') {
                error = "a space must follow the quoted name '" + token.text + "'";
                return false;
            }
        } else {
            const size_t start = pos;
            while (pos < line.size() && !IsSpace(line[pos]) && line[pos] != '#' && line[pos] != '"')
                ++pos;
            token.text = std::string(line.substr(start, pos - start));
            if (pos < line.size() && line[pos] == '"') {
                error = "a quote inside the word '" + token.text + "'; quote the whole name";
                return false;
            }
        }
        tokens.push_back(std::move(token));
    }
}

bool ReadTextLines(std::string_view text, const TextStatement& statement, std::string& error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3); // byte order mark
    std::vector<TextToken> tokens;
    size_t line = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++line;
        std::string reason;
        if (!TokenizeLine(text.substr(start, end - start), tokens, reason) ||
            !statement(tokens, reason)) {
            error = std::to_string(line) + ": " + reason;
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::string TrailingLines(std::span<const uint8_t> bytes) {
    constexpr size_t kPerLine = 16;
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += kPerLine) {
        out += "trailing";
        for (size_t j = i; j < bytes.size() && j < i + kPerLine; ++j) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", bytes[j]);
            out += hex;
        }
        out += "\n";
    }
    return out;
}

bool ReadTrailingLine(const std::vector<TextToken>& tokens, std::vector<uint8_t>& out,
                      std::string& reason) {
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string& hex = tokens[i].text;
        if (tokens[i].quoted || hex.size() != 2 || HexDigit(hex[0]) < 0 || HexDigit(hex[1]) < 0) {
            reason = "bad trailing byte '" + hex + "' (two hex digits)";
            return false;
        }
        out.push_back(static_cast<uint8_t>(HexDigit(hex[0]) * 16 + HexDigit(hex[1])));
    }
    return true;
}
