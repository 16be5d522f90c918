#pragma once
// Writing RIFF WAVE files: the header of a PCM file, and a recorder that streams the mixed
// output of a run into a file (`tarvo --audio-out`).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "sound/VoiceBuffer.h"

namespace sound {

// The 44 bytes before the samples of a canonical PCM file with `dataBytes` of data.
std::vector<uint8_t> WaveHeader(const PcmFormat& format, uint32_t dataBytes);

// 44,100 Hz 16-bit stereo, appended block by block; the sizes in the header are brought up to
// date when the recorder closes.
class WaveRecorder {
public:
    // Null with `error` set when the file cannot be created.
    static std::unique_ptr<WaveRecorder> Create(const std::string& path, std::string& error);
    ~WaveRecorder();
    WaveRecorder(const WaveRecorder&) = delete;
    WaveRecorder& operator=(const WaveRecorder&) = delete;

    // Interleaved stereo samples.
    void Append(std::span<const int16_t> samples);
    // Finishes the header and closes the file; false when a write failed.
    bool Close();
    uint64_t FramesWritten() const { return dataBytes_ / 4; }

private:
    explicit WaveRecorder(std::FILE* file) : file_(file) {}

    std::FILE* file_;
    uint64_t dataBytes_ = 0;
    bool failed_ = false;
};

} // namespace sound
