#include "core/TextTokens.h"

#include <algorithm>
#include <charconv>

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

} // namespace

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
