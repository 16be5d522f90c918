#include "platform/ByteReader.h"

#include <cstring>

namespace platform {

bool ByteReader::Seek(size_t offset) {
    if (failed_ || offset > data_.size()) {
        failed_ = true;
        return false;
    }
    pos_ = offset;
    return true;
}

bool ByteReader::Skip(size_t count) {
    if (!Has(count)) {
        failed_ = true;
        return false;
    }
    pos_ += count;
    return true;
}

bool ByteReader::Read(void* out, size_t count) {
    auto bytes = Bytes(count);
    if (failed_) return false;
    if (count > 0) std::memcpy(out, bytes.data(), count);
    return true;
}

std::string ByteReader::CString() {
    if (failed_ || pos_ >= data_.size()) {
        failed_ = true;
        return {};
    }
    const void* nul = std::memchr(data_.data() + pos_, 0, data_.size() - pos_);
    if (nul == nullptr) {
        failed_ = true;
        return {};
    }
    size_t length = static_cast<const uint8_t*>(nul) - (data_.data() + pos_);
    std::string s(reinterpret_cast<const char*>(data_.data() + pos_), length);
    pos_ += length + 1;
    return s;
}

bool ByteReader::U16At(std::span<const uint8_t> data, size_t offset, uint16_t& out) {
    ByteReader r(data);
    if (!r.Seek(offset)) return false;
    out = r.U16();
    return !r.Failed();
}

bool ByteReader::U32At(std::span<const uint8_t> data, size_t offset, uint32_t& out) {
    ByteReader r(data);
    if (!r.Seek(offset)) return false;
    out = r.U32();
    return !r.Failed();
}

} // namespace platform
