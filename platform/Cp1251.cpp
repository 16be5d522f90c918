#include "platform/Cp1251.h"

#include <array>
#include <cstdint>

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// 0x80–0xBF: the page's punctuation and the Cyrillic letters outside the basic alphabet.
// 0xC0–0xFF are А..я in order (U+0410..U+044F) and need no table.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
};

constexpr char32_t kFirstAlphabetLetter = 0x0410; // А, at 0xC0
constexpr char32_t kLastAlphabetLetter = 0x044F;  // я, at 0xFF

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        // Every character of the page lies in the basic plane.
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char CodePointToCp1251(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    if (cp >= kFirstAlphabetLetter && cp <= kLastAlphabetLetter)
        return static_cast<char>(0xC0 + (cp - kFirstAlphabetLetter));
    if (cp == kReplacement) return '?'; // would otherwise find 0x98's table slot
    for (size_t i = 0; i < kUpperHalf.size(); ++i)
        if (kUpperHalf[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Decodes one well-formed UTF-8 sequence at text[pos]. Returns its length, or 0 when the
// bytes there are not one (stray continuation, truncation, overlong form, surrogate, or a
// value beyond U+10FFFF).
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, cp = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(b)) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    if (cp < minimum || surrogate || cp > 0x10FFFF) return 0;
    return length;
}

} // namespace

char32_t Cp1251ToCodePoint(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return kFirstAlphabetLetter + (byte - 0xC0);
    return kUpperHalf[byte - 0x80];
}

std::string Cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text)
        AppendUtf8(out, Cp1251ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        const size_t length = DecodeUtf8(text, pos, cp);
        if (length == 0) {
            // Skip only the offending byte, so that text after a damaged sequence survives.
            out += '?';
            ++pos;
            continue;
        }
        out += CodePointToCp1251(cp);
        pos += length;
    }
    return out;
}

} // namespace platform
