#include "sound/WaveFile.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/ByteReader.h"

namespace sound {

namespace {

constexpr uint32_t kMinFormatSize = 14;
constexpr uint32_t kPcmFormatSize = 16;
constexpr uint32_t kMaxRate = 192000;

uint32_t FourCc(const char (&id)[5]) {
    return uint32_t(uint8_t(id[0])) | uint32_t(uint8_t(id[1])) << 8 |
           uint32_t(uint8_t(id[2])) << 16 | uint32_t(uint8_t(id[3])) << 24;
}

bool ReadFormat(WaveSource& source, uint64_t at, uint32_t size, WaveFormat& out) {
    std::array<uint8_t, kPcmFormatSize> bytes{};
    const size_t count = std::min<uint32_t>(size, kPcmFormatSize);
    if (!source.ReadAt(at, std::span(bytes.data(), count))) return false;
    platform::ByteReader r(std::span<const uint8_t>(bytes.data(), count));
    out.formatTag = r.U16();
    out.channels = r.U16();
    out.samplesPerSec = r.U32();
    out.avgBytesPerSec = r.U32();
    out.blockAlign = r.U16();
    // A 14-byte format (the oldest layout) has no sample size: it follows from the block.
    out.bitsPerSample = count >= kPcmFormatSize ? r.U16()
                        : out.channels != 0
                            ? static_cast<uint16_t>(out.blockAlign * 8 / out.channels)
                            : 0;
    return !r.Failed();
}

} // namespace

bool MemoryWaveSource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return true;
}

bool ParseWaveLayout(WaveSource& source, WaveLayout& out, std::string& reason) {
    std::array<uint8_t, 12> header{};
    if (!source.ReadAt(0, header)) {
        reason = "shorter than a RIFF header";
        return false;
    }
    platform::ByteReader h(header);
    const uint32_t riff = h.U32();
    const uint64_t riffEnd = uint64_t{h.U32()} + 8;
    if (riff != FourCc("RIFF") || h.U32() != FourCc("WAVE")) {
        reason = "not a RIFF WAVE file";
        return false;
    }
    bool haveFormat = false, haveData = false;
    uint64_t at = header.size();
    while (at < riffEnd && !(haveFormat && haveData)) {
        std::array<uint8_t, 8> chunk{};
        if (!source.ReadAt(at, chunk)) break; // the RIFF size promised more than the file has
        platform::ByteReader c(chunk);
        const uint32_t id = c.U32(), size = c.U32();
        if (id == FourCc("fmt ") && !haveFormat) {
            if (size < kMinFormatSize) {
                reason = "format chunk shorter than 14 bytes";
                return false;
            }
            if (!ReadFormat(source, at + 8, size, out.format)) break;
            out.formatSize = size;
            haveFormat = true;
        } else if (id == FourCc("data") && !haveData) {
            out.dataOffset = at + 8;
            out.dataSize = size;
            haveData = true;
        }
        at += 8 + uint64_t{size} + (size & 1); // odd chunks carry a pad byte
    }
    if (!haveFormat || !haveData) {
        reason = !haveFormat ? "no format chunk" : "no data chunk";
        return false;
    }
    if (source.Size() < out.dataSize) {
        reason = "file shorter than its data (" + std::to_string(out.dataSize) + " bytes)";
        return false;
    }
    return true;
}

bool IsPlayableFormat(const WaveFormat& f, std::string& reason) {
    if (f.formatTag != 1)
        reason = "not PCM (format tag " + std::to_string(f.formatTag) + ")";
    else if (f.channels != 1 && f.channels != 2)
        reason = std::to_string(f.channels) + " channels (1 or 2 are played)";
    else if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
        reason = std::to_string(f.bitsPerSample) + " bits per sample (8 or 16 are played)";
    else if (f.samplesPerSec == 0 || f.samplesPerSec > kMaxRate)
        reason = std::to_string(f.samplesPerSec) + " Hz (1 to 192000 are played)";
    else if (f.blockAlign != f.channels * f.bitsPerSample / 8)
        reason = "block align " + std::to_string(f.blockAlign) + " does not fit the format";
    else if (f.avgBytesPerSec != f.samplesPerSec * f.blockAlign)
        reason = "byte rate " + std::to_string(f.avgBytesPerSec) + " does not fit the format";
    else
        return true;
    return false;
}

uint32_t HeldDataBytes(const WaveLayout& layout, uint64_t fileSize) {
    const uint64_t held = fileSize > layout.dataOffset ? fileSize - layout.dataOffset : 0;
    const uint32_t bytes = static_cast<uint32_t>(std::min<uint64_t>(layout.dataSize, held));
    const uint32_t frame = std::max<uint16_t>(layout.format.blockAlign, 1);
    return bytes - bytes % frame;
}

bool IsStreamed(const WaveLayout& layout) {
    const uint32_t rate = layout.format.avgBytesPerSec;
    return rate != 0 && layout.dataSize / rate >= kStaticSeconds;
}

uint32_t StreamChunkBytes(const WaveFormat& f) {
    const uint64_t align = std::max<uint16_t>(f.blockAlign, 1);
    const uint64_t chunk = uint64_t{f.samplesPerSec} * align * 4 / 3;
    return static_cast<uint32_t>((chunk + align - 1) / align * align);
}

} // namespace sound
