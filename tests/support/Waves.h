#pragma once
// Wave files made in tests: samples with a recognisable pattern, written whole or chunk by
// chunk (for files with odd, missing or misplaced chunks).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ByteWriter.h"
#include "sound/VoiceBuffer.h"
#include "sound/WaveWriter.h"
#include "support/TempDir.h"

namespace testing_support {

// A 16-bit sample that differs from its neighbours far apart: frame i of a test sound, so
// that a gap or a repeat in playback shows as a mismatch.
inline int16_t PatternSample(size_t i) {
    return static_cast<int16_t>((i * 7919 + (i >> 9) * 13) % 60000 - 30000);
}

inline std::vector<int16_t> PatternSamples(size_t count, size_t from = 0) {
    std::vector<int16_t> s(count);
    for (size_t i = 0; i < count; ++i)
        s[i] = PatternSample(from + i);
    return s;
}

inline std::vector<uint8_t> SampleBytes(const std::vector<int16_t>& samples) {
    platform::ByteWriter w;
    for (int16_t s : samples)
        w.I16(s);
    return w.Take();
}

// A canonical PCM file.
inline std::vector<uint8_t> WaveBytes(const sound::PcmFormat& format,
                                      const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file = sound::WaveHeader(format, static_cast<uint32_t>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

inline std::vector<uint8_t> WaveBytes(const sound::PcmFormat& format,
                                      const std::vector<int16_t>& samples) {
    return WaveBytes(format, SampleBytes(samples));
}

inline void WriteWave(const TempDir& dir, const std::string& name,
                      const std::vector<uint8_t>& bytes) {
    dir.Write(name, std::string(bytes.begin(), bytes.end()));
}

// A RIFF file chunk by chunk; the RIFF size is filled in by Bytes().
class RiffBuilder {
public:
    RiffBuilder() {
        Id("RIFF");
        w_.U32(0);
        Id("WAVE");
    }
    // A chunk with its size as stored (`storedSize`, or the data's size) and its bytes, with
    // a pad byte after an odd size.
    RiffBuilder& Chunk(const char* id, const std::vector<uint8_t>& data, int64_t storedSize = -1) {
        Id(id);
        w_.U32(static_cast<uint32_t>(storedSize >= 0 ? storedSize : int64_t(data.size())));
        w_.Bytes(data);
        if (data.size() % 2 != 0) w_.U8(0);
        return *this;
    }
    // The PCM format fields; `size` 14 leaves out the sample size, larger sizes add zeros.
    static std::vector<uint8_t> Format(uint16_t channels, uint32_t rate, uint16_t bits,
                                       uint32_t size = 16, uint16_t tag = 1) {
        platform::ByteWriter f;
        const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
        f.U16(tag);
        f.U16(channels);
        f.U32(rate);
        f.U32(rate * align);
        f.U16(align);
        if (size >= 16) f.U16(bits);
        while (f.Size() < size)
            f.U8(0);
        return f.Take();
    }
    std::vector<uint8_t> Bytes(int64_t riffSize = -1) {
        w_.PatchU32(4, static_cast<uint32_t>(riffSize >= 0 ? riffSize : int64_t(w_.Size()) - 8));
        return w_.Data();
    }

private:
    void Id(const char* id) {
        for (int i = 0; i < 4; ++i)
            w_.U8(static_cast<uint8_t>(id[i]));
    }
    platform::ByteWriter w_;
};

} // namespace testing_support
