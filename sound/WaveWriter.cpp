#include "sound/WaveWriter.h"

#include <algorithm>

#include "platform/ByteWriter.h"

namespace sound {

namespace {

constexpr PcmFormat kRecordedFormat{2, 16, 44100};
// A RIFF size counts 32 bits; a longer recording keeps its samples but states the largest
// size that fits (players then read to the end of the file).
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

} // namespace

std::vector<uint8_t> WaveHeader(const PcmFormat& format, uint32_t dataBytes) {
    platform::ByteWriter w;
    w.Bytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("RIFF"), 4));
    w.U32(36 + dataBytes);
    w.Bytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("WAVEfmt "), 8));
    w.U32(16);
    w.U16(1); // PCM
    w.U16(format.channels);
    w.U32(format.rate);
    w.U32(format.rate * format.BlockAlign());
    w.U16(format.BlockAlign());
    w.U16(format.bits);
    w.Bytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("data"), 4));
    w.U32(dataBytes);
    return w.Take();
}

std::unique_ptr<WaveRecorder> WaveRecorder::Create(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write the sound to " + path;
        return nullptr;
    }
    std::unique_ptr<WaveRecorder> recorder(new WaveRecorder(file));
    const std::vector<uint8_t> header = WaveHeader(kRecordedFormat, 0);
    recorder->failed_ = std::fwrite(header.data(), 1, header.size(), file) != header.size();
    return recorder;
}

WaveRecorder::~WaveRecorder() {
    Close();
}

void WaveRecorder::Append(std::span<const int16_t> samples) {
    if (file_ == nullptr || samples.empty()) return;
    platform::ByteWriter w;
    for (int16_t s : samples)
        w.I16(s);
    failed_ |= std::fwrite(w.Data().data(), 1, w.Size(), file_) != w.Size();
    dataBytes_ += w.Size();
}

bool WaveRecorder::Close() {
    if (file_ == nullptr) return !failed_;
    const auto stated = static_cast<uint32_t>(std::min(dataBytes_, kMaxDataBytes));
    const std::vector<uint8_t> header = WaveHeader(kRecordedFormat, stated);
    failed_ |= std::fseek(file_, 0, SEEK_SET) != 0;
    failed_ |= std::fwrite(header.data(), 1, header.size(), file_) != header.size();
    failed_ |= std::fclose(file_) != 0;
    file_ = nullptr;
    return !failed_;
}

} // namespace sound
