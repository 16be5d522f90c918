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

    // The field readers are defined here, inline: decoders call them for every packet.
    uint8_t U8() {
        if (!Has(1)) return Fail<uint8_t>();
        return data_[pos_++];
    }
    uint16_t U16() {
        if (!Has(2)) return Fail<uint16_t>();
        const uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32() {
        if (!Has(4)) return Fail<uint32_t>();
        const uint32_t v = static_cast<uint32_t>(data_[pos_]) |
                           (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                           (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
                           (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }

    // The next `count` bytes, or an empty span (and failure) when fewer remain.
    std::span<const uint8_t> Bytes(size_t count) {
        if (!Has(count)) return Fail<std::span<const uint8_t>>();
        const auto out = data_.subspan(pos_, count);
        pos_ += count;
        return out;
    }
    // Copies `count` bytes into `out`; on failure `out` is left unchanged.
    bool Read(void* out, size_t count);
    // Bytes up to (not including) the next NUL, which is consumed; fails without a NUL.
    std::string CString();

    // Whole-buffer helpers for random access: false when the field leaves the buffer.
    static bool U16At(std::span<const uint8_t> data, size_t offset, uint16_t& out);
    static bool U32At(std::span<const uint8_t> data, size_t offset, uint32_t& out);

private:
    bool Has(size_t count) const { return !failed_ && count <= data_.size() - pos_; }
    template <typename T> T Fail() {
        failed_ = true;
        return T{};
    }

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace platform
