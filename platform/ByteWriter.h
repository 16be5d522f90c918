#pragma once
// The counterpart of ByteReader: little-endian fields appended to a byte buffer, and patched
// in place once a size or an offset written earlier is known. Every file format the tools and
// the engine write goes through it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

inline void PutU8(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
}
inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    PutU8(out, v);
    PutU8(out, v >> 8);
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

class ByteWriter {
public:
    void U8(uint32_t v) { PutU8(bytes_, v); }
    void U16(uint32_t v) { PutU16(bytes_, v); }
    void U32(uint32_t v) { PutU32(bytes_, v); }
    void I16(int32_t v) { U16(static_cast<uint16_t>(v)); }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Bytes(std::span<const uint8_t> data) {
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }
    // Overwrites a field written before; `at` plus the field's size lies within Size().
    void PatchU16(size_t at, uint32_t v) {
        bytes_[at] = static_cast<uint8_t>(v);
        bytes_[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void PatchU32(size_t at, uint32_t v) {
        PatchU16(at, v & 0xFFFF);
        PatchU16(at + 2, v >> 16);
    }
    // Appends `count` zero bytes (room for a header filled in later).
    void Reserve(size_t count) { bytes_.resize(bytes_.size() + count); }

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Data() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace platform
