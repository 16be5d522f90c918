#pragma once
// The audio device: 44,100 Hz, 16-bit, stereo, fed by a function that the device's own thread
// calls whenever it needs more sound.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

inline constexpr int kAudioRate = 44100;

// Fills `frames` stereo frames (left, right, left, ...) at `samples`. Runs on the device's
// thread: it must not wait for files or for locks held while waiting.
using AudioPull = std::function<void(int16_t* samples, size_t frames)>;

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // The default device, started; null with `error` set when there is none or it refuses
    // the format. The device pulls from `pull` until the output is destroyed; once the
    // destructor has returned, `pull` is never called again.
    static std::unique_ptr<AudioOutput> Open(AudioPull pull, std::string& error);

    // The device's name as the system calls it, for the trace.
    virtual std::string DeviceName() const = 0;
};

} // namespace platform
