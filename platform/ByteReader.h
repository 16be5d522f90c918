#pragma once
// The one way file data is read: a bounds-checked little-endian cursor over a byte image.
// A read that would leave the image fails, yields 0 and marks the reader failed; the flag
// stays set, so a loader can read a whole record and test Failed() once.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace platform {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t Size() const { return data_.size(); }
    size_t Tell() const { return pos_; }
    size_t Remaining() const { return data_.size() - pos_; }
    bool Failed() const { return failed_; }
    bool AtEnd() const { return pos_ == data_.size(); }

    // Moves to an absolute offset; an offset past the end fails (the end itself is allowed).
    bool Seek(size_t offset);
    bool Skip(size_t count);

    uint8_t U8();
    uint16_t U16();
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32();
    int32_t I32() { return static_cast<int32_t>(U32()); }

    // The next `count` bytes, or an empty span (and failure) when fewer remain.
    std::span<const uint8_t> Bytes(size_t count);
    // Copies `count` bytes into `out`; on failure `out` is left unchanged.
    bool Read(void* out, size_t count);
    // Bytes up to (not including) the next NUL, which is consumed; fails without a NUL.
    std::string CString();

    // Whole-buffer helpers for random access: false when the field leaves the buffer.
    static bool U16At(std::span<const uint8_t> data, size_t offset, uint16_t& out);
    static bool U32At(std::span<const uint8_t> data, size_t offset, uint32_t& out);

private:
    bool Has(size_t count) const { return !failed_ && count <= data_.size() - pos_; }

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace platform
