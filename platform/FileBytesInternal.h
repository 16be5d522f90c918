#pragma once
// Whole-file reads and writes for the platform sources that load a file into memory and then
// parse it with ByteReader (replays, PNG images).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace platform::internal {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Files larger than this are refused rather than loaded: nothing the platform reads this
// way comes near it, and a bogus size must not turn into a huge allocation.
inline constexpr long kMaxWholeFileBytes = 256L * 1024 * 1024;

// False when the file cannot be opened or read, or is too large.
inline bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file.get());
    if (size < 0 || size > kMaxWholeFileBytes) return false;
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return false;
    out = std::move(bytes);
    return true;
}

// Creates or replaces the file; false when it cannot be written completely.
inline bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (!raw) return false;
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), raw) == bytes.size();
    const bool closed = std::fclose(raw) == 0;
    return written && closed;
}

} // namespace platform::internal
