#pragma once
// The lexical side of the readable text forms of the data files (scripts, room layouts):
// a line splits into bare words and quoted names up to a '#' outside quotes. The text is
// UTF-8; quoted names are turned into the Windows-1251 bytes the files hold, with \" \\ and
// \xNN escapes for bytes that have no character.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct TextToken {
    std::string text; // bare words as written (UTF-8); quoted names as the file bytes they give
    bool quoted = false;
};

// Splits one line into tokens; false with a reason in `error` for an unclosed quote, a bad
// escape, a character without a Windows-1251 code, a quote inside a word, or a quoted name
// run together with what follows.
bool TokenizeLine(std::string_view line, std::vector<TextToken>& tokens, std::string& error);

// Appends the Windows-1251 bytes of UTF-8 text; false when a character has no code there (the
// conversion would not give the same text back).
bool AppendFileBytes(std::string_view utf8, std::string& out);

// The quoted form of file bytes that TokenizeLine reads back to the same bytes: characters
// as UTF-8; \" \\ and \xNN for quotes, backslashes, controls, invisible characters and bytes
// without a character (0x98).
std::string QuoteFileBytes(const std::string& fileBytes);

// Whether file bytes read back unchanged as a bare word: printable characters only, no '#',
// quote or backslash, and not starting like a number (a digit or '-').
bool IsBareWord(const std::string& fileBytes);

// Two upper-case hex digits.
std::string HexByte(uint8_t byte);

// The value of a hexadecimal digit, or -1.
int HexDigit(char c);

// Decimal or 0x hexadecimal with an optional '-'. False when the text is no such number;
// magnitudes beyond 2^40 (far outside every range the text forms use) read as 2^40.
bool ParseInteger(std::string_view text, int64_t& value);

// Runs `statement` on the tokens of every line of `text` (a leading byte order mark is
// skipped; lines without tokens are passed too). Stops at the first line that fails to
// tokenize or whose statement returns false; `error` is then "LINE: reason" (lines from 1).
using TextStatement =
    std::function<bool(const std::vector<TextToken>& tokens, std::string& reason)>;
bool ReadTextLines(std::string_view text, const TextStatement& statement, std::string& error);

// Bytes that belong to no record, as "trailing XX XX ..." lines of at most 16 bytes.
std::string TrailingLines(std::span<const uint8_t> bytes);
// Appends the bytes of a trailing line (tokens[0] is the keyword) to `out`; false with a
// reason for anything but two hex digits.
bool ReadTrailingLine(const std::vector<TextToken>& tokens, std::vector<uint8_t>& out,
                      std::string& reason);
